// Rate of fire and shots: the RoF line from the loading mechanism, and the
// shots line with its reload time in brackets.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "engine/ext.h"
#include "engine/internal/run.h"

namespace brennick {
namespace {

using namespace std::string_view_literals;

// Reloading gets quicker as loading drills and cartridges improve: band A is
// TL 0-3, B TL 4, C TL 5, D everything else (TL 6 and up, and negative TLs).
int TLBand(std::int32_t tl) {
  if (tl >= 0 && tl <= 3) return 0;
  if (tl == 4) return 1;
  if (tl == 5) return 2;
  return 3;
}

// Reload marks by band: a fixed time in seconds for ordinary bores, or the bore
// divided by a divisor for the big ones.
struct ReloadBands {
  std::string_view fixed[4];
  double divisor[4];
};

// Muzzleloaders, by handgun (Pistol, SMG, none) or long arm (Rifle and up).
constexpr ReloadBands kMuzzleloaderReload[2] = {
    {{"(45", "(30", "(10", "(4"}, {1.33, 2, 6, 15}},
    {{"(90", "(60", "(20", "(8"}, {2.67, 4, 12, 30}},
};
constexpr double kMuzzleloaderBigBore = 120;

constexpr ReloadBands kBreechloaderReload = {{"(40", "(20", "(5", "(3"}, {1.5, 3, 12, 20}};
constexpr double kBreechloaderBigBore = 60;

const char* const kBandNames[] = {"TL 0 to 3", "TL 4", "TL 5", "TL 6 and up (or below 0)"};

[[gnu::cold, gnu::noinline]] void ExplainSingleShot(DesignRun& r, const ReloadBands& bands,
                                                    int band, std::string_view close,
                                                    bool bigBore) {
  const DesignInput& in = r.in;
  Derivation d;
  d.push_back("A single-shot gun holds one shot per barrel: Barrels as typed, " +
              Quoted(in.BarrelsEdit));
  d.push_back(r.TLRead() + ": reload times of " + kBandNames[band]);
  if (bigBore) {
    d.push_back("A big bore reloads in bore / " + r.Num(bands.divisor[band]) +
                " seconds = " + r.Num(ext(r.q.BoreMm) / bands.divisor[band]) +
                ", rounded: " + IntText(RoundHalfEven(ext(r.q.BoreMm) / bands.divisor[band])));
  } else {
    d.push_back("Reload time " + std::string(bands.fixed[band].substr(1)) + " seconds");
  }
  d.push_back(close == "i)" ? r.WholeRead("Barrels", in.BarrelsEdit, 1) +
                                  ", two or more: i marks the time as per barrel"
                            : r.WholeRead("Barrels", in.BarrelsEdit, 1) + ": one barrel");
  r.Explained(std::move(d), 7);
}

// The shots line of a single-shot gun: the barrels, then "(" and the reload
// time, fixed below the big-bore limit and from the bore at or above it.
// Single-shot guns reload every barrel in turn: "i)" marks the time as per
// barrel.
void SingleShotLine(DesignRun& r, const ReloadBands& bands, bool bigBore) {
  const DesignInput& in = r.in;
  const int band = TLBand(r.LenientTL());
  const std::string_view close = IntOr(in.BarrelsEdit, 1) >= 2 ? "i)"sv : ")"sv;
  if (!bigBore) {
    r.Line("Shots: ", in.BarrelsEdit, bands.fixed[band], close);
    if (r.explain) [[unlikely]]
      ExplainSingleShot(r, bands, band, close, false);
    return;
  }
  const std::int64_t seconds = RoundHalfEven(ext(r.q.BoreMm) / bands.divisor[band]);
  r.Line("Shots: ", in.BarrelsEdit, "(", seconds, close);
  if (r.explain) [[unlikely]]
    ExplainSingleShot(r, bands, band, close, true);
}

void BurstLine(DesignRun& r, std::int32_t burst, const char* why) {
  r.Line("RoF: ", r.in.RoFEdit, "# (Bursts of ", burst, ")");
  if (r.explain) [[unlikely]] {
    ExplainLine(r, 5, [&] {
      return Derivation{
          "RoF as typed: " + Quoted(r.in.RoFEdit) + ", read as " + IntText(r.StrictRoF()),
          std::string(why) + ": bursts of " + IntText(burst) + ", the fraction dropped",
          "# marks a rate of fire fired in bursts"};
    });
  }
}

// The steps of a line that writes what was typed, or a fixed figure.
[[gnu::cold, gnu::noinline]] void ExplainAsTyped(DesignRun& r, std::string why, std::size_t label) {
  ExplainLine(r, label, [&] { return Derivation{std::move(why)}; });
}

// The automatic weapons' RoF line. Caseless controlled bursts fire a third of
// the rate per burst, preloaded barrels a half; a Gauss gun's capacitor bank
// gives bursts of its own once the rate is high enough.
void AutomaticRoFLine(DesignRun& r) {
  const DesignInput& in = r.in;
  const std::string& rof = in.RoFEdit;
  if (in.PropellantBox == kGauss) {
    const std::int32_t n = r.StrictRoF();
    const bool enhanced = in.GaussHCCBBox == 1;
    if (n >= (enhanced ? 4 : 6)) {
      BurstLine(r, enhanced ? n / 2 : n / 3,
                enhanced ? "Enhanced Gauss HCCB from RoF 4: a half of the rate"
                         : "Standard Gauss HCCB from RoF 6: a third of the rate");
    } else {
      r.Line("RoF: ", rof);
      if (r.explain) [[unlikely]] {
        ExplainLine(r, 5, [&] {
          return Derivation{"RoF as typed: " + Quoted(rof) + ", below the rate for Gauss bursts (" +
                            (enhanced ? "4" : "6") + ")"};
        });
      }
    }
  } else if (in.PLBBox == kHighCyclic) {
    BurstLine(r, r.StrictRoF() / 3, "High-cyclic controlled bursts: a third of the rate");
  } else if (in.PLBBox == kPreloaded) {
    BurstLine(r, r.StrictRoF() / 2, "Preloaded barrels: a half of the rate");
  } else {
    r.Line("RoF: ", rof);
    if (r.explain) [[unlikely]] {
      ExplainLine(r, 5, [&] {
        return Derivation{"An automatic weapon fires the RoF as typed: " + Quoted(rof)};
      });
    }
  }
}

std::string_view ClosedBoltMark(const DesignInput& in) {
  return in.ClosedBoltBox ? "+1"sv : ""sv;
}

[[gnu::cold, gnu::noinline]] void ExplainShots(DesignRun& r, const char* reload) {
  const DesignInput& in = r.in;
  Derivation d;
  d.push_back("Shots as typed: " + Quoted(in.ShotsEdit));
  if (in.ClosedBoltBox) d.push_back("Closed bolt: +1, a shot kept in the chamber");
  d.push_back(std::string("In brackets: ") + reload);
  r.Explained(std::move(d), 7);
}

[[gnu::cold, gnu::noinline]] void ExplainAutoloaderRoF(DesignRun& r, int divisor, int limit) {
  const double bore = r.q.BoreMm;
  const bool fast = divisor == 40;
  Derivation d;
  d.push_back(std::string(fast ? "A fast autoloader" : "A slow autoloader") + ", bore " +
              r.Num(bore) + " mm");
  if (fast && bore <= 20) {
    d.push_back("20 mm or less: RoF 3");
  } else if (fast && bore <= 30) {
    d.push_back("above 20 mm up to 30 mm: RoF 2");
  } else if (bore <= limit) {
    d.push_back("up to " + IntText(limit) + " mm: RoF 1");
  } else {
    d.push_back("above " + IntText(limit) + " mm: one shot every bore / " + IntText(divisor) +
                " turns = " + r.Num(ext(bore) / divisor) +
                ", rounded: " + IntText(RoundHalfEven(ext(bore) / divisor)));
  }
  r.Explained(std::move(d), 5);
}

}  // namespace

void RunRateOfFireStage(DesignRun& r) {
  const DesignInput& in = r.in;
  const double bore = r.q.BoreMm;

  switch (in.LoadingMechanismBox) {
    case kMuzzleloader:
    case kMuzzleloaderCarriage:
      r.Line("RoF: ", in.BarrelsEdit);
      if (r.explain) [[unlikely]] {
        ExplainAsTyped(
            r, "A muzzleloader fires each barrel once: Barrels as typed, " + Quoted(in.BarrelsEdit),
            5);
      }
      SingleShotLine(r, kMuzzleloaderReload[in.ConfigurationBox > kSMG ? 1 : 0],
                     bore >= kMuzzleloaderBigBore);
      break;
    case kBreechloader:
      r.Line("RoF: ", in.BarrelsEdit);
      if (r.explain) [[unlikely]] {
        ExplainAsTyped(
            r, "A breechloader fires each barrel once: Barrels as typed, " + Quoted(in.BarrelsEdit),
            5);
      }
      SingleShotLine(r, kBreechloaderReload, bore > kBreechloaderBigBore);
      break;
    case kManualRepeater:
      r.Line("RoF: ", in.RoFEdit);
      if (r.explain) [[unlikely]]
        ExplainLine(r, 5, [&] { return Derivation{"RoF as typed: " + Quoted(in.RoFEdit)}; });
      r.Line("Shots: ", in.ShotsEdit, ClosedBoltMark(in), "(3)");
      if (r.explain) [[unlikely]]
        ExplainShots(r, "3 seconds to reload a magazine");
      break;
    case kRevolver:
      r.Line("RoF: ", in.RoFEdit);
      if (r.explain) [[unlikely]]
        ExplainLine(r, 5, [&] { return Derivation{"RoF as typed: " + Quoted(in.RoFEdit)}; });
      // Early revolvers are loaded a round at a time; later ones take speedloaders.
      r.Line("Shots: ", in.ChambersEdit, r.StrictTL() < 6 ? "(5i)"sv : "(3i)"sv);
      if (r.explain) [[unlikely]] {
        ExplainLine(r, 7, [&] {
          return Derivation{"A revolver holds a shot per chamber, Chambers as typed " +
                            Quoted(in.ChambersEdit) + "; " + r.TLRead() +
                            (r.StrictTL() < 6
                                 ? ": below TL 6, 5 seconds a round (i)"
                                 : ": from TL 6, a speedloader, 3 seconds a round (i)")};
        });
      }
      break;
    case kMechanicalGatling:
      r.Line(bore <= 60 ? "RoF: 15"sv : "RoF: 10"sv);
      if (r.explain) [[unlikely]] {
        ExplainLine(r, 5, [&] {
          return Derivation{
              "A mechanical Gatling, bore " + r.Num(bore) +
              (bore <= 60 ? " mm, 60 mm or less: RoF 15" : " mm, above 60 mm: RoF 10")};
        });
      }
      r.Line("Shots: ", in.ShotsEdit, ClosedBoltMark(in), "(5)");
      if (r.explain) [[unlikely]]
        ExplainShots(r, "5 seconds to reload");
      break;
    case kSlowAutoloader:
      if (bore <= 30) {
        r.Line("RoF: 1");
      } else {
        r.Line("RoF: 1/", RoundHalfEven(ext(bore) / 20));
      }
      if (r.explain) [[unlikely]]
        ExplainAutoloaderRoF(r, 20, 30);
      r.Line("Shots: ", in.ShotsEdit);
      if (r.explain) [[unlikely]] {
        ExplainLine(r, 7, [&] {
          return Derivation{"Shots as typed: " + Quoted(in.ShotsEdit) + ", no reload time"};
        });
      }
      break;
    case kFastAutoloader:
      if (bore <= 20) {
        r.Line("RoF: 3");
      } else if (bore <= 30) {
        r.Line("RoF: 2");
      } else if (bore <= 60) {
        r.Line("RoF: 1");
      } else {
        r.Line("RoF: 1/", RoundHalfEven(ext(bore) / 40));
      }
      if (r.explain) [[unlikely]]
        ExplainAutoloaderRoF(r, 40, 60);
      r.Line("Shots: ", in.ShotsEdit, "(3)");
      if (r.explain) [[unlikely]]
        ExplainShots(r, "3 seconds to reload a magazine");
      break;
    case kLightAutomatic:
    case kHeavyAutomatic:
    case kElectricGatling:
      AutomaticRoFLine(r);
      // Swapping a preloaded barrel block takes twice as long as a magazine.
      r.Line("Shots: ", in.ShotsEdit, ClosedBoltMark(in),
             in.PLBBox == kPreloaded ? "(6)"sv : "(3)"sv);
      if (r.explain) [[unlikely]] {
        ExplainShots(r, in.PLBBox == kPreloaded ? "6 seconds to swap a preloaded barrel block"
                                                : "3 seconds to reload a magazine");
      }
      break;
    default:
      r.Line("Shots: ");
      if (r.explain) [[unlikely]] {
        ExplainLine(r, 7, [&] {
          return Derivation{
              "No loading mechanism selected: no RoF line, and no shots or reload time"};
        });
      }
      break;
  }
}

}  // namespace brennick
