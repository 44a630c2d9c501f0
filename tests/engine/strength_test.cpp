// Strength, bulk and recoil: ST, KYOS ST, Bulk and Rcl lines.
#include <gtest/gtest.h>

#include <initializer_list>
#include <optional>
#include <string>
#include <utility>

#include "tests/engine/stage_test_util.h"
#include "tests/support/worked_designs.h"

namespace brennick {
namespace {

#define DAGGER "\u2020"

struct Case {
  const char* edits;
  double dice, weight;
  const char* lines;
  std::optional<std::string> error = std::nullopt;
};

void CheckAll(std::initializer_list<Case> cases) {
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.edits << " D " << c.dice << " W " << c.weight);
    const test::StageOutcome out =
        test::RunStage(RunStrengthStage, test::Form(c.edits, test::Form("BarrelBox=1")),
                       {.DamageDice = c.dice, .LoadedWeightLb = c.weight});
    EXPECT_EQ(out.lines, c.lines);
    EXPECT_EQ(out.error, c.error);
  }
}

TEST(StrengthStage, RecoilStrengthAndLines) {
  CheckAll({
      // Recoils 2, 3, 2 (0.75 rounds to 1, raised to 2); ST sqrt(30 + 27 R).
      {"ConfigurationBox=0", 3, 3, "ST 9|Bulk -3|Rcl 2"},
      {"ConfigurationBox=0 PropellantBox=4", 3, 3,
       "ST 9|- Boosted Velocity ST 11|- Low Velocity ST 9|Bulk -3|Rcl 2|"
       "- Boosted Velocity Rcl 3|- Low Velocity Rcl 2"},
      {"ConfigurationBox=0", 3.25, 3, "ST 9|Bulk -3|Rcl 2"},  // 2.5 rounds to 2
      {"ConfigurationBox=2", 6, 8, "ST 9" DAGGER "|Bulk -4|Rcl 2"},
      {"ConfigurationBox=2 BipodBox=1", 6, 8, "ST 9B" DAGGER " (ST 6 on a bipod)|Bulk -4|Rcl 2"},
      {"ConfigurationBox=2 SmartgripBox=1 MuzzleBox=1", 6, 8, "ST 7" DAGGER "|Bulk -4|Rcl 2"},
      // Recoil 1 takes the 4 x W hold: sqrt(40 + 35).
      {"ConfigurationBox=2 RecoillessCheckBox=1", 6, 10, "ST 9" DAGGER "|Bulk -5|Rcl 1"},
      // At 10 dice the base row gives 10 / 3.3 -> 3, the Gauss row 10 / 4 -> 2.
      {"ConfigurationBox=2", 10, 8, "ST 10" DAGGER "|Bulk -4|Rcl 3"},
      {"ConfigurationBox=2 PropellantBox=4", 10, 8,
       "ST 9" DAGGER "|- Boosted Velocity ST 10" DAGGER "|- Low Velocity ST 9" DAGGER
       "|Bulk -4|Rcl 2|- Boosted Velocity Rcl 3|- Low Velocity Rcl 2"},
      // Shotgun rows win over Gauss: round(2.6), round(4), round(1.8).
      {"ConfigurationBox=2 ShotgunBox=1 PropellantBox=1", 4, 8,
       "ST 10" DAGGER "|- Boosted Velocity ST 12" DAGGER "|- Low Velocity ST 9" DAGGER
       "|Bulk -4|Rcl 3|- Boosted Velocity Rcl 4|- Low Velocity Rcl 2"},
      {"ConfigurationBox=3 ShotgunBox=1 PropellantBox=4", 4, 8,
       "ST 12" DAGGER "|- Boosted Velocity ST 13" DAGGER "|- Low Velocity ST 9" DAGGER
       "|Bulk -5|Rcl 4|- Boosted Velocity Rcl 5|- Low Velocity Rcl 2"},
      {"ConfigurationBox=4", 6, 8, "ST 0M|Bulk -0|Rcl 0"},
      {"ConfigurationBox=4 SmartgripBox=1 MuzzleWeightBox=1 RecoillessCheckBox=1", 6, 8,
       "ST -1M|Bulk -1|Rcl 1"},
      {"ConfigurationBox=-1 PropellantBox=1", 6, 8,
       "|||Bulk -0|Rcl 0|- Boosted Velocity Rcl 0|- Low Velocity Rcl 0"},
      // Gauss SMG: recoils 6.88 / 1.7 -> 4, 5, 2; ST 13, 14, 10; KYOS 12.28.
      {"ConfigurationBox=1 PropellantBox=4 KYOSBox=1 BipodBox=1", 6.88, 9.42,
       "ST 13B" DAGGER " (ST 9 on a bipod)|- Boosted Velocity ST 14B" DAGGER
       " (ST 9 on a bipod)|- Low Velocity ST 10B" DAGGER " (ST 7 on a bipod)|KYOS ST 12B" DAGGER
       " (ST 8 on a bipod)|- Boosted Velocity KYOS ST 14B" DAGGER
       " (ST 9 on a bipod)|- Low Velocity KYOS ST 10B" DAGGER
       " (ST 7 on a bipod)|Bulk -4|Rcl 4|- Boosted Velocity Rcl 5|- Low Velocity Rcl 2"},
  });
}

// Pistol at recoil 2: ST round(sqrt(28 W)); SMG at recoil 2: round(sqrt(9.7 W)).
TEST(StrengthStage, KyosAndBipodFigures) {
  CheckAll({
      {"ConfigurationBox=0 KYOSBox=1", 0, 3.57, "ST 10|KYOS ST 10|Bulk -3|Rcl 2"},
      {"ConfigurationBox=0 KYOSBox=1", 0, 9.14, "ST 16|KYOS ST 14|Bulk -3|Rcl 2"},
      {"ConfigurationBox=0 KYOSBox=1", 0, 0.14, "ST 2|KYOS ST 1|Bulk -2|Rcl 2"},
      {"ConfigurationBox=1 BipodBox=1", 0, 17.42,
       "ST 13B" DAGGER " (ST 9 on a bipod)|Bulk -4|Rcl 2"},
      {"ConfigurationBox=1 BipodBox=1", 0, 14.85,
       "ST 12B" DAGGER " (ST 8 on a bipod)|Bulk -4|Rcl 2"},
  });
}

TEST(StrengthStage, Bulk) {
  CheckAll({
      {"ConfigurationBox=0 BarrelBox=0", 0, 0.01, "ST 1|Bulk -1|Rcl 2"},  // log -0.59, minimum 1
      {"ConfigurationBox=2 BarrelBox=2", 0, 10, "ST 10" DAGGER "|Bulk -6|Rcl 2"},  // log 5.66
      {"ConfigurationBox=2 BarrelBox=0 MuzzleWeightBox=1", 0, 1,
       "ST 3" DAGGER "|Bulk -5|Rcl 2"},  // log 2.89, minimum 4, then + 1
      {"ConfigurationBox=3 BarrelBox=2", 0, 20, "ST 14" DAGGER "|Bulk -6|Rcl 2"},  // log 6.26
  });
}

// A logarithm that cannot be taken stops the run; the lines before it stay.
TEST(StrengthStage, Failures) {
  CheckAll({
      {"ConfigurationBox=4 KYOSBox=1", 6, 8, "ST 0M", kDivByZero},
      {"ConfigurationBox=4 KYOSBox=1 SmartgripBox=1", 6, 8, "ST -1M", kInvalidFloatOp},
      {"ConfigurationBox=4 KYOSBox=1 PropellantBox=4", 6, 8,
       "ST 0M|- Boosted Velocity ST 0M|- Low Velocity ST 0M", kDivByZero},
      {"ConfigurationBox=2 BarrelBox=-1 KYOSBox=1", 6, 8, "ST 9" DAGGER "|KYOS ST 9" DAGGER,
       kDivByZero},
      {"ConfigurationBox=0 BarrelBox=-1", 6, 3, "ST 13", kDivByZero},
      {"ConfigurationBox=0", 6, -1, "", kInvalidFloatOp},
  });
}

// The worked designs end to end: damage and loaded weight from earlier stages.
TEST(StrengthStage, WorkedDesigns) {
  const std::pair<DesignInput, const char*> cases[] = {
      // 3.3 dice, 3.21 lb: recoil round(2.55) = 3, ST round(sqrt(118.77)) = 11.
      {test::TenMmPistol(), "ST 11|Bulk -3|Rcl 3"},
      // 5.88 dice, 7.28 lb: all recoils 2, ST round(sqrt(70.616)) = 8.
      {test::SevenMmLiquidRifle(),
       "ST 8" DAGGER "|- Boosted Velocity ST 8" DAGGER "|- Low Velocity ST 8" DAGGER
       "|Bulk -4|Rcl 2|- Boosted Velocity Rcl 2|- Low Velocity Rcl 2"},
      // 6.88 dice, 9.42 lb: all recoils 2, ST round(sqrt(91.374)) = 10.
      {test::FourMmGaussRifle(),
       "ST 10" DAGGER "|- Boosted Velocity ST 10" DAGGER "|- Low Velocity ST 10" DAGGER
       "|Bulk -6|Rcl 2|- Boosted Velocity Rcl 2|- Low Velocity Rcl 2"},
  };
  for (const auto& [in, lines] : cases) {
    EXPECT_EQ(test::LinesOf(RunDesign(in), {"ST ", "- Boosted Velocity ", "- Low Velocity ",
                                            "KYOS ", "Bulk -", "Rcl "}),
              lines);
  }
}

}  // namespace
}  // namespace brennick
