// Rate of fire and shots: the RoF line from the loading mechanism, and the
// shots line with its reload time in brackets.
#include "internal/run.h"

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
    return;
  }
  const std::int64_t seconds = RoundHalfEven(ext(r.q.BoreMm) / bands.divisor[band]);
  r.Line("Shots: ", in.BarrelsEdit, "(", seconds, close);
}

void BurstLine(DesignRun& r, std::int32_t burst) {
  r.Line("RoF: ", r.in.RoFEdit, "# (Bursts of ", burst, ")");
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
      BurstLine(r, enhanced ? n / 2 : n / 3);
    } else {
      r.Line("RoF: ", rof);
    }
  } else if (in.PLBBox == kHighCyclic) {
    BurstLine(r, r.StrictRoF() / 3);
  } else if (in.PLBBox == kPreloaded) {
    BurstLine(r, r.StrictRoF() / 2);
  } else {
    r.Line("RoF: ", rof);
  }
}

std::string_view ClosedBoltMark(const DesignInput& in) {
  return in.ClosedBoltBox ? "+1"sv : ""sv;
}

}  // namespace

void RunRateOfFireStage(DesignRun& r) {
  const DesignInput& in = r.in;
  const double bore = r.q.BoreMm;

  switch (in.LoadingMechanismBox) {
    case kMuzzleloader:
    case kMuzzleloaderCarriage:
      r.Line("RoF: ", in.BarrelsEdit);
      SingleShotLine(r, kMuzzleloaderReload[in.ConfigurationBox > kSMG ? 1 : 0],
                     bore >= kMuzzleloaderBigBore);
      break;
    case kBreechloader:
      r.Line("RoF: ", in.BarrelsEdit);
      SingleShotLine(r, kBreechloaderReload, bore > kBreechloaderBigBore);
      break;
    case kManualRepeater:
      r.Line("RoF: ", in.RoFEdit);
      r.Line("Shots: ", in.ShotsEdit, ClosedBoltMark(in), "(3)");
      break;
    case kRevolver:
      r.Line("RoF: ", in.RoFEdit);
      // Early revolvers are loaded a round at a time; later ones take speedloaders.
      r.Line("Shots: ", in.ChambersEdit, r.StrictTL() < 6 ? "(5i)"sv : "(3i)"sv);
      break;
    case kMechanicalGatling:
      r.Line(bore <= 60 ? "RoF: 15"sv : "RoF: 10"sv);
      r.Line("Shots: ", in.ShotsEdit, ClosedBoltMark(in), "(5)");
      break;
    case kSlowAutoloader:
      if (bore <= 30) {
        r.Line("RoF: 1");
      } else {
        r.Line("RoF: 1/", RoundHalfEven(ext(bore) / 20));
      }
      r.Line("Shots: ", in.ShotsEdit);
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
      r.Line("Shots: ", in.ShotsEdit, "(3)");
      break;
    case kLightAutomatic:
    case kHeavyAutomatic:
    case kElectricGatling:
      AutomaticRoFLine(r);
      // Swapping a preloaded barrel block takes twice as long as a magazine.
      r.Line("Shots: ", in.ShotsEdit, ClosedBoltMark(in),
             in.PLBBox == kPreloaded ? "(6)"sv : "(3)"sv);
      break;
    default:
      r.Line("Shots: ");
      break;
  }
}

}  // namespace brennick
