// Rate of fire and shots: the RoF line from the loading mechanism, and the
// shots line with its reload time in brackets.
#include "internal/run.h"

namespace brennick {
namespace {

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
  const char* fixed[4];
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

// "(" + time: fixed below the big-bore limit, from the bore at or above it.
std::string ReloadMark(const ReloadBands& bands, int band, double bore, bool bigBore) {
  if (!bigBore) return bands.fixed[band];
  return "(" + IntText(RoundHalfEven(ext(bore) / bands.divisor[band]));
}

// Single-shot guns reload every barrel in turn: "i)" marks the time as per barrel.
std::string CloseReloadMark(const DesignInput& in) {
  return IntOr(in.BarrelsEdit, 1) >= 2 ? "i)" : ")";
}

std::string BurstForm(const std::string& rof, std::int32_t burst) {
  return "RoF: " + rof + "# (Bursts of " + IntText(burst) + ")";
}

// The automatic weapons' RoF line. Caseless controlled bursts fire a third of
// the rate per burst, preloaded barrels a half; a Gauss gun's capacitor bank
// gives bursts of its own once the rate is high enough.
std::string AutomaticRoFLine(const DesignInput& in) {
  const std::string& rof = in.RoFEdit;
  if (in.PropellantBox == kGauss) {
    const std::int32_t n = ParseIntStrict(rof);
    if (in.GaussHCCBBox == 1) return n >= 4 ? BurstForm(rof, n / 2) : "RoF: " + rof;
    return n >= 6 ? BurstForm(rof, n / 3) : "RoF: " + rof;
  }
  if (in.PLBBox == kHighCyclic) return BurstForm(rof, ParseIntStrict(rof) / 3);
  if (in.PLBBox == kPreloaded) return BurstForm(rof, ParseIntStrict(rof) / 2);
  return "RoF: " + rof;
}

std::string ClosedBoltMark(const DesignInput& in) {
  return in.ClosedBoltBox ? "+1" : "";
}

}  // namespace

void RunRateOfFireStage(DesignRun& r) {
  const DesignInput& in = r.in;
  const double bore = r.q.BoreMm;
  std::string shots;

  switch (in.LoadingMechanismBox) {
    case kMuzzleloader:
    case kMuzzleloaderCarriage: {
      r.Append("RoF: " + in.BarrelsEdit);
      const ReloadBands& bands = kMuzzleloaderReload[in.ConfigurationBox > kSMG ? 1 : 0];
      shots = in.BarrelsEdit +
              ReloadMark(bands, TLBand(r.LenientTL()), bore, bore >= kMuzzleloaderBigBore) +
              CloseReloadMark(in);
      break;
    }
    case kBreechloader:
      r.Append("RoF: " + in.BarrelsEdit);
      shots = in.BarrelsEdit +
              ReloadMark(kBreechloaderReload, TLBand(r.LenientTL()), bore,
                         bore > kBreechloaderBigBore) +
              CloseReloadMark(in);
      break;
    case kManualRepeater:
      r.Append("RoF: " + in.RoFEdit);
      shots = in.ShotsEdit + ClosedBoltMark(in) + "(3)";
      break;
    case kRevolver:
      r.Append("RoF: " + in.RoFEdit);
      // Early revolvers are loaded a round at a time; later ones take speedloaders.
      shots = in.ChambersEdit + (r.StrictTL() < 6 ? "(5i)" : "(3i)");
      break;
    case kMechanicalGatling:
      r.Append(bore <= 60 ? "RoF: 15" : "RoF: 10");
      shots = in.ShotsEdit + ClosedBoltMark(in) + "(5)";
      break;
    case kSlowAutoloader:
      r.Append(bore <= 30 ? std::string("RoF: 1")
                          : "RoF: 1/" + IntText(RoundHalfEven(ext(bore) / 20)));
      shots = in.ShotsEdit;
      break;
    case kFastAutoloader:
      if (bore <= 20) {
        r.Append("RoF: 3");
      } else if (bore <= 30) {
        r.Append("RoF: 2");
      } else if (bore <= 60) {
        r.Append("RoF: 1");
      } else {
        r.Append("RoF: 1/" + IntText(RoundHalfEven(ext(bore) / 40)));
      }
      shots = in.ShotsEdit + "(3)";
      break;
    case kLightAutomatic:
    case kHeavyAutomatic:
    case kElectricGatling:
      r.Append(AutomaticRoFLine(in));
      // Swapping a preloaded barrel block takes twice as long as a magazine.
      shots = in.ShotsEdit + ClosedBoltMark(in) + (in.PLBBox == kPreloaded ? "(6)" : "(3)");
      break;
    default:
      break;
  }
  r.Append("Shots: " + shots);
}

}  // namespace brennick
