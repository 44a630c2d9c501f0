// Weight stage: body, accessories, magazine and cells, ammunition load.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>

#include "tests/engine/stage_test_util.h"
#include "tests/support/worked_designs.h"

namespace brennick {
namespace {

using test::Form;

test::StageOutcome Weigh(const DesignInput& in, double bore, double power = 1, char dec = '.') {
  return test::RunStage(RunWeightStage, in, {.BoreMm = bore, .PowerMod = power}, dec);
}

TEST(WeightStage, WorkedDesigns) {
  struct Case {
    DesignInput in;
    double bore;
    const char* lines;
    double empty, perShot, loaded;
  };
  const Case cases[] = {
      {test::TenMmPistol(), 10, "Weight: 3.21/0.51", 2.95, 0.013, 3.21},
      {test::SevenMmLiquidRifle(), 7, "Weight: 7.28/0.5|Propellant Bottle Weight: 0.5", 6.92, 0.006,
       7.28},
      {test::FourMmGaussRifle(), 4, "Weight: 9.42/1.25", 9.17, 0.005, 9.42},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lines);
    EXPECT_EQ(test::LinesOf(RunDesign(c.in), {"Weight: ", "Propellant Bottle"}), c.lines);
    const test::StageOutcome w = Weigh(c.in, c.bore);
    EXPECT_DOUBLE_EQ(w.q.EmptyWeightLb, c.empty);
    EXPECT_DOUBLE_EQ(w.q.WeightPerShotLb, c.perShot);
    EXPECT_DOUBLE_EQ(w.q.LoadedWeightLb, c.loaded);
  }
}

// Without a barrel length the body weighs nothing: the line shows the
// additions (0.05 spare cell, 0.5 magazine for a Rifle) and the reload.
TEST(WeightStage, AdditionsAndCells) {
  const DesignInput base =
      Form("ConfigurationBox=2 LoadingMechanismBox=7 IronSightsBox=0 ShotsEdit=0");
  const std::pair<const char*, const char*> cases[] = {
      {"", "Weight: 0.55/0.5"},
      {"IronSightsBox=1 AccRailS=1 AccRailT=1 AccRailU=1 AccRailO=1 CTSBox=1 ETSBox=1 DataChip=1 "
       "TinyComputer=1 CamouflageBox=3 MuzzleWeightBox=1 MuzzleBox=1 FoldingStockBox=1 "
       "ArbWeight=1.5",
       "Weight: 7.71/0.5"},
      {"ConfigurationBox=3 MuzzleBox=1 ExtraLowBox=1 ArbWeight=-2", "Weight: -1.1/0.5"},
      // Gauss/Grav cells ride in the magazine; paper cells weigh a tenth.
      {"ConfigurationBox=3 PropellantBox=4 LoadingMechanismBox=10", "Weight: 5.6/5.5"},
      {"ConfigurationBox=3 PropellantBox=4 LoadingMechanismBox=10 PaperBox=1", "Weight: 1.01/1"},
      // ETC/ETK cells count in the empty weight, not in a reload.
      {"PropellantBox=3 LoadingMechanismBox=10", "Weight: 5.6/0.5"},
      {"PropellantBox=3 LoadingMechanismBox=10 PaperBox=1", "Weight: 1.01/0.5"},
      {"ConfigurationBox=0 PropellantBox=2 LoadingMechanismBox=10 PaperBox=1", "Weight: 0.26/0.25"},
  };
  for (const auto& [edits, line] : cases) {
    SCOPED_TRACE(edits);
    EXPECT_EQ(Weigh(Form(edits, base), 10).lines, line);
  }
}

// A 10 mm Rifle, Medium barrel, TL 9, fast autoloader: body 100 x 0.42 x 1.2
// x 0.25 = 12.6, additions 0.55 (0.6 with the Gatling motor cell).
TEST(WeightStage, EmptyWeight) {
  const DesignInput base =
      Form("ConfigurationBox=2 BarrelBox=1 LoadingMechanismBox=7 IronSightsBox=0 ShotsEdit=0");
  struct Case {
    const char* edits;
    double bore, power, empty;
  };
  const Case cases[] = {
      {"", 10, 1, 13.15},
      {"LoadingMechanismBox=4 ChambersEdit=6", 10, 1, 10.63},   // 0.8
      {"LoadingMechanismBox=10 BarrelsEdit=6", 10, 1, 42.18},   // 3.3, no barrels multiplier
      {"LoadingMechanismBox=9 BarrelsEdit=2", 10, 1, 25.12},    // 1.5 x 1.3
      {"LoadingMechanismBox=9 BarrelsEdit=2.5", 10, 1, 19.45},  // not whole: 1 barrel
      {"TLEdit=abc", 10, 1, 15.25},                             // counts as TL 0: 1.4
      {"ConfigurationBox=3", 10, 1, 18.4},                      // Support keeps 1.7 at TL 9
      {"ConfigurationBox=3 TLEdit=10 BarrelBox=2 PropellantBox=4", 10, 1, 100.05},
      {"ExtraLowBox=1 ShotgunBox=1", 10, 1, 1.65},  // 12.6 x 0.35 / 4
      {"SpaceProof=1 RuggedBox=1 RecoillessCheckBox=1", 10, 1, 13.25},
      {"", 25, 1, 79.3},                     // bore classes: 25 is 0.25,
      {"", 50, 1, 630.55},                   // 50 is 0.5,
      {"", 61, 1, 1875.93},                  // above 60 is 1.0
      {"ConfigurationBox=0", 50, 1, 64.05},  // TL 9 pistol: counts as 25 mm
      {"ConfigurationBox=0 TLEdit=5", 50, 1, 149.05},
      // Gravitic compensator on an SMG, Long barrel: body 10.5 x power.
      {"ConfigurationBox=1 BarrelBox=2 GravCompBox=1", 10, 0.9514285714285714, 10.54},  // 9.99
      {"ConfigurationBox=1 BarrelBox=2 GravCompBox=1", 10, 1, 12.05},
      {"ConfigurationBox=1 BarrelBox=2 GravCompBox=1 SpaceProof=1 RuggedBox=1", 10, 0.9, 14.16},
      {"ConfigurationBox=1 BarrelBox=2 GravCompBox=1 BarrelsEdit=3", 10, 0.9, 16.67},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.edits << " bore " << c.bore << " power " << c.power);
    const test::StageOutcome w = Weigh(Form(c.edits, base), c.bore, c.power);
    ASSERT_FALSE(w.error) << *w.error;
    EXPECT_DOUBLE_EQ(w.q.EmptyWeightLb, c.empty);
  }
}

TEST(WeightStage, WeightPerShot) {
  const DesignInput base = Form("ConfigurationBox=2 BarrelBox=1");
  struct Case {
    const char* edits;
    double bore, perShot;
  };
  const Case cases[] = {
      {"", 12, 0.036},
      {"CaselessBox=0", 12, 0.047},
      {"PropellantBox=4", 12, 0.047},  // a Gauss slug always counts its sabot
      {"PropellantBox=3", 12, 0.018},
      {"RecoillessCheckBox=1 PropellantBox=5", 12, 0.018},
      {"", 19.9, 0.099},
      {"", 20, 0.088},  // 20 mm takes 0.00026 and 1.7
      {"BarrelBox=-1", 20, 0.078},
      {"ConfigurationBox=4", 100, 2.21},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.edits << " bore " << c.bore);
    EXPECT_DOUBLE_EQ(Weigh(Form(c.edits, base), c.bore).q.WeightPerShotLb, c.perShot);
  }
}

// 20 mm rounds of 0.078 lb from a Rifle without a barrel length (additions 0.55).
TEST(WeightStage, ShotCountAndReload) {
  const DesignInput base = Form("ConfigurationBox=2 IronSightsBox=0 ShotsEdit=15");
  const std::pair<const char*, const char*> cases[] = {
      {"", "Weight: 1.72/1.67"},
      {"PLBBox=2", "Weight: 1.6/1.55"},  // 7 shots, magazine doubled below TL 10
      {"PLBBox=2 ClosedBoltBox=1", "Weight: 1.67/1.62"},
      {"PLBBox=2 TLEdit=10", "Weight: 1.1/1.05"},
      {"PropellantBox=1", "Weight: 1.72/0.5|Propellant Bottle Weight: 0.5"},
  };
  for (const auto& [edits, line] : cases) {
    SCOPED_TRACE(edits);
    EXPECT_EQ(Weigh(Form(edits, base), 20).lines, line);
  }
  EXPECT_EQ(Weigh(Form("ArbWeight=0,25 PropellantBox=1 ShotsEdit=0", base), 20, 1, ',').lines,
            "Weight: 0,8/0,5|Propellant Bottle Weight: 0,5");
}

// The bottle of a liquid-propellant gun is its reload, however heavy the load:
// 10^8 shots of a 10^6 mm round (110500000 lb each from a Rifle's Medium
// barrel, 44200000 lb from a Pistol's) weigh far more than the rounding of the
// sum can keep a 0.25 or 0.5 lb bottle in.
TEST(WeightStage, LiquidPropellantReloadIsTheBottleAtAnyWeight) {
  const DesignInput base = Form(
      "ConfigurationBox=2 BarrelBox=1 LoadingMechanismBox=8 PropellantBox=1 ShotsEdit=100000000");
  const std::pair<const char*, const char*> cases[] = {
      // Body 10^12 x 0.42 x 1.2 = 5.04E11, additions 0.75, ammunition twice 1.105E16.
      {"", "Weight: 2.2100504E16/0.5|Propellant Bottle Weight: 0.5"},
      // Body 10^12 x 0.085 x 1.2 = 1.02E11, additions 0.4, ammunition twice 4.42E15.
      {"ConfigurationBox=0 LoadingMechanismBox=7",
       "Weight: 8.840102E15/0.25|Propellant Bottle Weight: 0.25"},
      // Preloaded barrels below TL 10: two magazines' worth, half the shots.
      {"PLBBox=2 ShotsEdit=200000000", "Weight: 2.2100504E16/1|Propellant Bottle Weight: 1"},
  };
  for (const auto& [edits, lines] : cases) {
    SCOPED_TRACE(edits);
    EXPECT_EQ(Weigh(Form(edits, base), 1e6).lines, lines);
  }
}

TEST(WeightStage, Failures) {
  const DesignInput base = Form("ConfigurationBox=2 BarrelBox=1 LoadingMechanismBox=7");
  struct Case {
    const char* edits;
    double bore;
    std::optional<std::string> error;
  };
  const Case cases[] = {
      {"TLEdit=9a", 10, std::nullopt},  // TL is only strict for preloaded barrels
      {"TLEdit=9a PLBBox=2", 10, "'9a' is not a valid integer value"},
      {"", 1e300, kOverflow},
      {"ArbWeight=1e300", 10, kInvalidFloatOp},
      {"ShotsEdit=2147483647 ClosedBoltBox=1 BarrelsEdit=2147483647", 10, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.edits);
    const test::StageOutcome w = Weigh(Form(c.edits, base), c.bore);
    EXPECT_EQ(w.error, c.error);
    if (c.error) {
      EXPECT_EQ(w.lines, "");
    }
  }
}

}  // namespace
}  // namespace brennick
