// Rate of fire and shots: the RoF and Shots lines per loading mechanism.
#include <gtest/gtest.h>

#include <initializer_list>
#include <optional>
#include <string>

#include "tests/engine/stage_test_util.h"
#include "tests/support/worked_designs.h"

namespace brennick {
namespace {

using test::Form;

test::StageOutcome Fire(const DesignInput& in, double bore) {
  return test::RunStage(RunRateOfFireStage, in, {.BoreMm = bore});
}

struct Case {
  const char* edits;
  double bore;
  const char* lines;
};

void CheckAll(std::initializer_list<Case> cases) {
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.edits << " bore " << c.bore);
    const test::StageOutcome out = Fire(Form(c.edits), c.bore);
    EXPECT_FALSE(out.error) << *out.error;
    EXPECT_EQ(out.lines, c.lines);
  }
}

TEST(RateOfFireStage, SingleShotReloads) {
  CheckAll({
      // Muzzleloaders: fixed marks below 120 mm, by handgun or long-arm row.
      {"LoadingMechanismBox=0 ConfigurationBox=2 TLEdit=4", 20, "RoF: 1|Shots: 1(60)"},
      {"LoadingMechanismBox=0 ConfigurationBox=2 TLEdit=4 BarrelsEdit=2", 20,
       "RoF: 2|Shots: 2(60i)"},
      {"LoadingMechanismBox=0 ConfigurationBox=2 TLEdit=4 BarrelsEdit=2.5", 20,
       "RoF: 2.5|Shots: 2.5(60)"},
      {"LoadingMechanismBox=1 ConfigurationBox=0 TLEdit=5", 10, "RoF: 1|Shots: 1(10)"},
      {"LoadingMechanismBox=0 ConfigurationBox=-1 TLEdit=-1", 10, "RoF: 1|Shots: 1(4)"},
      {"LoadingMechanismBox=0 ConfigurationBox=0 TLEdit=abc", 10, "RoF: 1|Shots: 1(45)"},
      {"LoadingMechanismBox=0 ConfigurationBox=4 TLEdit=3", 119.9, "RoF: 1|Shots: 1(90)"},
      // From 120 mm: bore / divisor, ties to even.
      {"LoadingMechanismBox=0 ConfigurationBox=4 TLEdit=3", 120, "RoF: 1|Shots: 1(45)"},
      {"LoadingMechanismBox=0 ConfigurationBox=4 TLEdit=3", 150, "RoF: 1|Shots: 1(56)"},
      {"LoadingMechanismBox=0 ConfigurationBox=4 TLEdit=9 BarrelsEdit=2", 150,
       "RoF: 2|Shots: 2(5i)"},
      {"LoadingMechanismBox=0 ConfigurationBox=0 TLEdit=0", 150, "RoF: 1|Shots: 1(113)"},
      // Breechloaders: fixed marks up to 60 mm.
      {"LoadingMechanismBox=2 ConfigurationBox=0 TLEdit=3", 60, "RoF: 1|Shots: 1(40)"},
      {"LoadingMechanismBox=2 ConfigurationBox=2 TLEdit=5", 60.5, "RoF: 1|Shots: 1(5)"},
      {"LoadingMechanismBox=2 ConfigurationBox=2 TLEdit=5", 90, "RoF: 1|Shots: 1(8)"},
  });
}

TEST(RateOfFireStage, RepeatersRevolversAndAutoloaders) {
  CheckAll({
      {"LoadingMechanismBox=3 RoFEdit=abc ShotsEdit=5 ClosedBoltBox=1", 8,
       "RoF: abc|Shots: 5+1(3)"},
      {"LoadingMechanismBox=4 ChambersEdit=6 TLEdit=5", 9, "RoF: 1|Shots: 6(5i)"},
      {"LoadingMechanismBox=4 ChambersEdit=6 TLEdit=6", 9, "RoF: 1|Shots: 6(3i)"},
      {"LoadingMechanismBox=5 ShotsEdit=100 ClosedBoltBox=1", 60, "RoF: 15|Shots: 100+1(5)"},
      {"LoadingMechanismBox=6 ShotsEdit=5 ClosedBoltBox=1", 30, "RoF: 1|Shots: 5"},
      {"LoadingMechanismBox=6", 50, "RoF: 1/2|Shots: 1"},
      {"LoadingMechanismBox=6", 70, "RoF: 1/4|Shots: 1"},
      {"LoadingMechanismBox=7 ShotsEdit=5 ClosedBoltBox=1", 20, "RoF: 3|Shots: 5(3)"},
      {"LoadingMechanismBox=7", 20.1, "RoF: 2|Shots: 1(3)"},
      {"LoadingMechanismBox=7", 100, "RoF: 1/2|Shots: 1(3)"},
      {"LoadingMechanismBox=-1 ClosedBoltBox=1", 10, "Shots: "},
  });
}

TEST(RateOfFireStage, Automatics) {
  CheckAll({
      {"LoadingMechanismBox=8 RoFEdit=ten ShotsEdit=30", 7, "RoF: ten|Shots: 30(3)"},
      {"LoadingMechanismBox=9 PLBBox=1 RoFEdit=10 ShotsEdit=30", 7,
       "RoF: 10# (Bursts of 3)|Shots: 30(3)"},
      {"LoadingMechanismBox=10 PLBBox=2 RoFEdit=10 ShotsEdit=30 ClosedBoltBox=1", 7,
       "RoF: 10# (Bursts of 5)|Shots: 30+1(6)"},
      {"LoadingMechanismBox=8 PLBBox=1 RoFEdit=$10", 7, "RoF: $10# (Bursts of 5)|Shots: 1(3)"},
      // Gauss: its own burst rule; caseless mods only change the reload.
      {"LoadingMechanismBox=8 PropellantBox=4 PLBBox=1 RoFEdit=5", 7, "RoF: 5|Shots: 1(3)"},
      {"LoadingMechanismBox=9 PropellantBox=4 RoFEdit=6", 7, "RoF: 6# (Bursts of 2)|Shots: 1(3)"},
      {"LoadingMechanismBox=10 PropellantBox=4 GaussHCCBBox=1 RoFEdit=3", 7, "RoF: 3|Shots: 1(3)"},
      {"LoadingMechanismBox=8 PropellantBox=4 GaussHCCBBox=1 PLBBox=2 RoFEdit=4", 7,
       "RoF: 4# (Bursts of 2)|Shots: 1(6)"},
  });
}

// A RoF that must be counted but is not a whole number stops the run before
// either line; a bad TL stops a revolver after its RoF line.
TEST(RateOfFireStage, Failures) {
  struct Fail {
    DesignInput in;
    double bore;
    const char* lines;
    std::string error;
  };
  const Fail cases[] = {
      {Form("LoadingMechanismBox=8 PLBBox=1 RoFEdit=10.5"), 7, "",
       "'10.5' is not a valid integer value"},
      {Form("LoadingMechanismBox=9 PLBBox=2 RoFEdit="), 7, "", "'' is not a valid integer value"},
      {Form("LoadingMechanismBox=10 PropellantBox=4 RoFEdit=x"), 7, "",
       "'x' is not a valid integer value"},
      {Form("LoadingMechanismBox=4 ConfigurationBox=4 TLEdit=x"), 7, "RoF: 1",
       "'x' is not a valid integer value"},
      {Form("LoadingMechanismBox=7"), 1e30, "", kInvalidFloatOp},
  };
  for (const Fail& c : cases) {
    SCOPED_TRACE(c.error);
    const test::StageOutcome out = Fire(c.in, c.bore);
    EXPECT_EQ(out.lines, c.lines);
    EXPECT_EQ(out.error, c.error);
  }

  const DesignResult run =
      RunDesign(Form("LoadingMechanismBox=8 PLBBox=1 RoFEdit=lots", test::TenMmPistol()));
  ASSERT_FALSE(run.lines.empty());
  EXPECT_EQ(run.lines.back(), "Weight: 3.21/0.51");
  EXPECT_EQ(run.error, "'lots' is not a valid integer value");
}

}  // namespace
}  // namespace brennick
