// The title, damage, accuracy and range lines, and where a run stops.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/design.h"
#include "tests/support/worked_designs.h"

namespace brennick {
namespace {

using examples::FourMmGaussRifle;
using examples::SevenMmLiquidRifle;
using examples::TenMmPistol;

// The first `n` lines of a run (the title, damage and range lines come first
// whatever the later stages add).
using Lines = std::vector<std::string>;
Lines Head(const DesignInput& in, std::size_t n) {
  const Statblock lines = RunDesign(in).lines;
  return Lines(lines.begin(),
               lines.begin() + static_cast<std::ptrdiff_t>(std::min(n, lines.size())));
}

const char* kBottleBoost =
    ". Each shot counts as 1.5 shots for purposes of draining the propellant bottle.";
const char* kBottleLow =
    ". Rolls to hear the weapon fire are made at -3. Each shot counts as 1/4 shot for purposes "
    "of draining the propellant bottle.";
const char* kCellBoost =
    ". Each shot counts as 1.5 shots for purposes of draining the magazine cell.";
const char* kCellLow =
    ". Rolls to hear the weapon fire are made at -3. Each shot counts as 1/4 shot for purposes "
    "of draining the magazine cell.";

TEST(WorkedDesigns, TenMmPistol) {
  EXPECT_EQ(Head(TenMmPistol(), 4),
            (Lines{"Pistol (TL9)", "Damage: 3d+1 pi+", "Acc: 2", "Range: 280/2300"}));
}

TEST(WorkedDesigns, SevenMmLiquidRifle) {
  EXPECT_EQ(Head(SevenMmLiquidRifle(), 8),
            (Lines{"LP Rifle (TL9)", "Damage: 6d pi",
                   std::string("-Boosted Velocity: 7d+1 pi") + kBottleBoost,
                   std::string("-Low Velocity: 3d pi") + kBottleLow, "Acc: 5", "Range: 640/3600",
                   "-Boosted Velocity: 832/4680", "-Low Velocity: 320/1800"}));
}

TEST(WorkedDesigns, FourMmGaussRifleRoundsItsRangeTieAtExtendedPrecision) {
  // 2 x 0.95 x 250 x 1.0 x 2.7 is a hair above 1282.5 at extended precision:
  // 1283, which range rounding makes 1300 (a double product would give 1280).
  EXPECT_EQ(Head(FourMmGaussRifle(), 8),
            (Lines{"Gauss Rifle (TL10)", "Damage: 7d (3) pi-",
                   std::string("-Boosted Velocity: 8d+2 (3) pi-") + kCellBoost,
                   std::string("-Low Velocity: 3d+2 (3) pi-") + kCellLow, "Acc: 5",
                   "Range: 1300/3800", "-Boosted Velocity: 1690/4940", "-Low Velocity: 650/1900"}));
}

// A 7.62 mm Rifle with a Medium barrel at TL 9, Standard Propellant, Fast
// Autoloader, varied one input at a time.
DesignInput Rifle762() {
  DesignInput in;
  in.BoreSizeEdit = "7.62";
  in.ConfigurationBox = kRifle;
  in.BarrelBox = kMedium;
  in.LoadingMechanismBox = kFastAutoloader;
  return in;
}

struct HeadCase {
  const char* name;
  std::function<void(DesignInput&)> change;
  Lines damageAccRange;  // lines 2 to 4
};

TEST(DamageAndRange, VariationsOfOneRifle) {
  const HeadCase cases[] = {
      {"as is", [](DesignInput&) {}, {"Damage: 6d+1 pi", "Acc: 5", "Range: 670/3800"}},
      // 7.62 x 0.84 x 0.45 = 2.88; sqrt(7.62) x 0.6 x 375 x 0.68 = 422.4 -> 420.
      {"TL 8",
       [](DesignInput& in) { in.TLEdit = "8"; },
       {"Damage: 3d pi", "Acc: 5", "Range: 420/2800"}},
      // Nothing in the tables beyond TL 12.
      {"TL 13",
       [](DesignInput& in) { in.TLEdit = "13"; },
       {"Damage: 1d-5 pi", "Acc: 5", "Range: 0/0"}},
      // 0.84 x 0.95 = 0.798, x 7.62 = 6.08; 669 / 5 = 133 -> 130, max 5 x 130.
      {"shotgun",
       [](DesignInput& in) { in.ShotgunBox = true; },
       {"Damage: 6d pi", "Acc: 5", "Range: 130/650"}},
      // Half damage and half range for the old single-shot actions.
      {"breechloader",
       [](DesignInput& in) { in.LoadingMechanismBox = kBreechloader; },
       {"Damage: 3d+1 pi", "Acc: 5", "Range: 330/2500"}},
      // ETC: 6.4008 x 1.5 = 9.6012; range 670 x 1.5 = 1005 -> 1000.
      {"ETC",
       [](DesignInput& in) { in.PropellantBox = kETC; },
       {"Damage: 9d+2 pi", "Acc: 5", "Range: 1000/4800"}},
      // ETK: x 2 both; 1340 -> 1300.
      {"ETK",
       [](DesignInput& in) { in.PropellantBox = kETK; },
       {"Damage: 13d-1 pi", "Acc: 5", "Range: 1300/5600"}},
      // House-ruled ETK equals plain ETC on damage.
      {"ETK house",
       [](DesignInput& in) {
         in.PropellantBox = kETK;
         in.HouseETCBox = true;
       },
       {"Damage: 9d+2 pi", "Acc: 5", "Range: 1000/4800"}},
      // Grav: 7.62 x 1.0; range sqrt(7.62) x 0.95 x 375 x 4.9 = 4818.8 -> 4800, max x3.
      {"Grav",
       [](DesignInput& in) { in.PropellantBox = kGrav; },
       {"Damage: 7d+2 (10) imp inc", "Acc: 11", "Range: 4800/14000"}},
      // Muzzle port takes a quarter die off.
      {"muzzle port",
       [](DesignInput& in) { in.MuzzleBox = kMuzzlePort; },
       {"Damage: 6d+1 pi", "Acc: 5", "Range: 670/3800"}},
      // 7.62 x 0.54 = 4.11; sqrt(7.62) x 0.95 x 375 x 0.52 = 511.4 -> 510, 510 + 120 x 23.
      {"short barrel, fine",
       [](DesignInput& in) {
         in.BarrelBox = kShort;
         in.QualityAccurate = kFine;
       },
       {"Damage: 4d pi", "Acc: 5", "Range: 510/3300"}},
      {"both cheap count once",
       [](DesignInput& in) {
         in.QualityAccurate = kCheap;
         in.QualityReliable = kCheap;
       },
       {"Damage: 6d+1 pi", "Acc: 4", "Range: 670/3800"}},
      {"no configuration",
       [](DesignInput& in) { in.ConfigurationBox = -1; },
       {"Damage: 1d-5 pi-", "Acc: 0", "Range: 0/0"}},
      {"Cannon, very fine",
       [](DesignInput& in) {
         in.ConfigurationBox = kCannon;
         in.QualityAccurate = kVeryFine;
       },
       {"Damage: 1d-5 pi", "Acc: 2", "Range: 0/0"}},
      {"Cannon with a muzzle port and any TL text",
       [](DesignInput& in) {
         in.ConfigurationBox = kCannon;
         in.MuzzleBox = kMuzzlePort;
         in.TLEdit = "abc";
       },
       {"Damage: 1d-5 pi", "Acc: 0", "Range: 0/0"}},
  };
  for (const auto& c : cases) {
    DesignInput in = Rifle762();
    c.change(in);
    Lines head = Head(in, 4);
    ASSERT_GE(head.size(), 2u) << c.name;
    head.erase(head.begin());
    EXPECT_EQ(head, c.damageAccRange) << c.name;
  }
}

struct SuffixCase {
  const char* bore;
  int config;
  int propellant;
  bool houseGauss;
  const char* damageLineEnd;
};

TEST(Damage, WoundSuffixFollowsBoreConfigurationAndPropellant) {
  const SuffixCase cases[] = {
      {"15", kPistol, kStandard, false, " pi++"},  {"14.99", kPistol, kStandard, false, " pi+"},
      {"10", kPistol, kStandard, false, " pi+"},   {"8", kPistol, kStandard, false, " pi"},
      {"7.99", kPistol, kStandard, false, " pi-"}, {"5.9", kPistol, kStandard, false, " pi-"},
      {"5.9", kRifle, kStandard, false, " pi"},    {"5.89", kRifle, kStandard, false, " pi-"},
      {"5.9", kCannon, kStandard, false, " pi"},   {"4", kRifle, kGauss, false, " (3) pi-"},
      {"4", kRifle, kGauss, true, " pi"},          {"3.99", kRifle, kGauss, true, " pi-"},
      {"10", kRifle, kGauss, false, " (3) pi+"},   {"30", kRifle, kGrav, false, " (10) imp inc"},
  };
  for (const auto& c : cases) {
    DesignInput in;
    in.BoreSizeEdit = c.bore;
    in.ConfigurationBox = c.config;
    in.BarrelBox = kMedium;
    in.PropellantBox = c.propellant;
    in.HouseGauss = c.houseGauss;
    const Lines head = Head(in, 2);
    ASSERT_EQ(head.size(), 2u);
    EXPECT_TRUE(head[1].ends_with(c.damageLineEnd)) << c.bore << " " << head[1];
  }
}

TEST(Damage, ShotgunSparesPistolsAndHouseGaussHitsHarder) {
  DesignInput pistol = TenMmPistol();
  pistol.ShotgunBox = true;
  EXPECT_EQ(Head(pistol, 2)[1], "Damage: 3d+1 pi+");

  // 4 x 1.72 x 1.25 = 8.6 dice, and no "(3) " with the house rule.
  DesignInput gauss = FourMmGaussRifle();
  gauss.HouseGauss = true;
  EXPECT_EQ(Head(gauss, 2)[1], "Damage: 8d+2 pi");
}

TEST(Range, BoreFactorThresholdsDifferByConfiguration) {
  // A typed 5.9 counts as at least 5.9 on long arms (factor 375) but a pistol
  // needs 6: sqrt(5.9) x 0.95 x 250 x 0.25 = 144.2 -> 140.
  DesignInput pistol;
  pistol.BoreSizeEdit = "5.9";
  pistol.ConfigurationBox = kPistol;
  pistol.BarrelBox = kMedium;
  EXPECT_EQ(Head(pistol, 4)[3], "Range: 140/1600");
  // sqrt(5.9) x 0.95 x 375 x 0.68 = 594.9 -> 590.
  DesignInput rifle = pistol;
  rifle.ConfigurationBox = kRifle;
  EXPECT_EQ(Head(rifle, 4)[3], "Range: 590/3500");
}

struct FailureCase {
  const char* name;
  std::function<void(DesignInput&)> change;
  std::size_t linesKept;
  const char* message;
};

TEST(DesignRun, FailuresKeepTheLinesBeforeThem) {
  const FailureCase cases[] = {
      {"empty bore", [](DesignInput& in) { in.BoreSizeEdit = ""; }, 1,
       "'' is not a valid floating point value"},
      {"letters for a bore", [](DesignInput& in) { in.BoreSizeEdit = "abc"; }, 1,
       "'abc' is not a valid floating point value"},
      {"bad power modifier", [](DesignInput& in) { in.PowerModEdit = "1,5"; }, 1,
       "'1,5' is not a valid floating point value"},
      {"bad TL", [](DesignInput& in) { in.TLEdit = "9a"; }, 1, "'9a' is not a valid integer value"},
      {"negative bore", [](DesignInput& in) { in.BoreSizeEdit = "-5"; }, 2,
       "Invalid floating point operation"},
      {"negative power", [](DesignInput& in) { in.PowerModEdit = "-1"; }, 2,
       "Invalid floating point operation"},
      {"dice beyond 64 bits", [](DesignInput& in) { in.BoreSizeEdit = "1e300"; }, 1,
       "Invalid floating point operation"},
  };
  for (const auto& c : cases) {
    DesignInput in = Rifle762();
    c.change(in);
    const DesignResult r = RunDesign(in);
    EXPECT_EQ(r.lines.size(), c.linesKept) << c.name;
    EXPECT_EQ(r.error, std::optional<std::string>(c.message)) << c.name;
  }
}

TEST(DesignRun, TitleIsCopiedAsTypedAndRunsAreIndependent) {
  DesignInput in = Rifle762();
  in.NameEdit = "";
  in.TLEdit = "9a";
  EXPECT_EQ(RunDesign(in).lines.front(), " (TL9a)");

  in = Rifle762();
  const DesignResult first = RunDesign(in);
  const DesignResult second = RunDesign(in);
  EXPECT_EQ(first.lines, second.lines);
  EXPECT_EQ(first.error, second.error);
}

TEST(DesignRun, DecimalSeparatorComesFromTheSystem) {
  DesignInput in = Rifle762();
  in.BoreSizeEdit = "7,62";
  EXPECT_EQ(RunDesign(in, ',').lines[1], "Damage: 6d+1 pi");
  EXPECT_EQ(RunDesign(in, '.').error, "'7,62' is not a valid floating point value");
}

}  // namespace
}  // namespace brennick
