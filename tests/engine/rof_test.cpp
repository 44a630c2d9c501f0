// Rate of fire and shots: the RoF and Shots lines per loading mechanism.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "design.h"

namespace brennick {
namespace {

struct RoFOutcome {
  Statblock lines;
  std::optional<std::string> error;
};

RoFOutcome Fire(const DesignInput& in, double bore) {
  RoFOutcome out;
  DesignQuantities q;
  q.BoreMm = bore;
  DesignRun run{in, '.', q, out.lines};
  try {
    RunRateOfFireStage(run);
  } catch (const DesignError& e) {
    out.error = e.what();
  }
  return out;
}

struct Case {
  const char* name;
  int mechanism;
  int configuration;
  const char* tl;
  double bore;
  void (*set)(DesignInput&);
  Statblock lines;
};

void Check(const Case& c) {
  SCOPED_TRACE(c.name);
  DesignInput in;
  in.LoadingMechanismBox = c.mechanism;
  in.ConfigurationBox = c.configuration;
  in.TLEdit = c.tl;
  c.set(in);
  const RoFOutcome out = Fire(in, c.bore);
  EXPECT_FALSE(out.error) << *out.error;
  EXPECT_EQ(out.lines, c.lines);
}

void Nothing(DesignInput&) {}
void TwoBarrels(DesignInput& in) {
  in.BarrelsEdit = "2";
}

TEST(RateOfFireStage, Muzzleloaders) {
  const Case cases[] = {
      {"20 mm rifle at TL 4", kMuzzleloader, kRifle, "4", 20, Nothing, {"RoF: 1", "Shots: 1(60)"}},
      {"two barrels reload each",
       kMuzzleloader,
       kRifle,
       "4",
       20,
       TwoBarrels,
       {"RoF: 2", "Shots: 2(60i)"}},
      {"2.5 barrels is not a whole number",
       kMuzzleloader,
       kRifle,
       "4",
       20,
       [](DesignInput& in) { in.BarrelsEdit = "2.5"; },
       {"RoF: 2.5", "Shots: 2.5(60)"}},
      {"barrels text kept as typed",
       kMuzzleloader,
       kRifle,
       "4",
       20,
       [](DesignInput& in) { in.BarrelsEdit = " 3"; },
       {"RoF:  3", "Shots:  3(60i)"}},
      {"rifle band A", kMuzzleloaderCarriage, kRifle, "3", 20, Nothing, {"RoF: 1", "Shots: 1(90)"}},
      {"rifle band C", kMuzzleloader, kSupport, "5", 20, Nothing, {"RoF: 1", "Shots: 1(20)"}},
      {"rifle band D", kMuzzleloader, kCannon, "6", 20, Nothing, {"RoF: 1", "Shots: 1(8)"}},
      {"pistol band A", kMuzzleloader, kPistol, "0", 10, Nothing, {"RoF: 1", "Shots: 1(45)"}},
      {"pistol band B", kMuzzleloader, kSMG, "4", 10, Nothing, {"RoF: 1", "Shots: 1(30)"}},
      {"pistol band C",
       kMuzzleloaderCarriage,
       kPistol,
       "5",
       10,
       Nothing,
       {"RoF: 1", "Shots: 1(10)"}},
      {"pistol band D", kMuzzleloader, kPistol, "9", 10, Nothing, {"RoF: 1", "Shots: 1(4)"}},
      {"negative TL is band D",
       kMuzzleloader,
       kPistol,
       "-1",
       10,
       Nothing,
       {"RoF: 1", "Shots: 1(4)"}},
      {"TL not a number counts as TL 0",
       kMuzzleloader,
       kPistol,
       "abc",
       10,
       Nothing,
       {"RoF: 1", "Shots: 1(45)"}},
      {"no configuration uses the handgun row",
       kMuzzleloader,
       -1,
       "4",
       10,
       Nothing,
       {"RoF: 1", "Shots: 1(30)"}},
      // From 120 mm the reload grows with the bore: bore / divisor.
      {"150 mm cannon at TL 3",
       kMuzzleloader,
       kCannon,
       "3",
       150,
       Nothing,
       {"RoF: 1", "Shots: 1(56)"}},
      {"120 mm cannon at TL 3",
       kMuzzleloader,
       kCannon,
       "3",
       120,
       Nothing,
       {"RoF: 1", "Shots: 1(45)"}},
      {"119.9 mm cannon at TL 3",
       kMuzzleloader,
       kCannon,
       "3",
       119.9,
       Nothing,
       {"RoF: 1", "Shots: 1(90)"}},
      {"150 mm cannon at TL 9",
       kMuzzleloader,
       kCannon,
       "9",
       150,
       TwoBarrels,
       {"RoF: 2", "Shots: 2(5i)"}},
      {"150 mm pistol at TL 0",
       kMuzzleloader,
       kPistol,
       "0",
       150,
       Nothing,
       {"RoF: 1", "Shots: 1(113)"}},
      {"150 mm pistol at TL 4",
       kMuzzleloader,
       kPistol,
       "4",
       150,
       Nothing,
       {"RoF: 1", "Shots: 1(75)"}},
      {"150 mm pistol at TL 5",
       kMuzzleloader,
       kPistol,
       "5",
       150,
       Nothing,
       {"RoF: 1", "Shots: 1(25)"}},
      {"150 mm pistol at TL 7",
       kMuzzleloader,
       kPistol,
       "7",
       150,
       Nothing,
       {"RoF: 1", "Shots: 1(10)"}},
  };
  for (const Case& c : cases) Check(c);
}

TEST(RateOfFireStage, Breechloaders) {
  const Case cases[] = {
      {"60 mm at TL 3", kBreechloader, kRifle, "3", 60, Nothing, {"RoF: 1", "Shots: 1(40)"}},
      {"60 mm at TL 4", kBreechloader, kPistol, "4", 60, Nothing, {"RoF: 1", "Shots: 1(20)"}},
      {"60 mm at TL 5", kBreechloader, kCannon, "5", 60, Nothing, {"RoF: 1", "Shots: 1(5)"}},
      {"60 mm at TL 8", kBreechloader, kRifle, "8", 60, TwoBarrels, {"RoF: 2", "Shots: 2(3i)"}},
      {"60.5 mm at TL 5", kBreechloader, kRifle, "5", 60.5, Nothing, {"RoF: 1", "Shots: 1(5)"}},
      {"90 mm at TL 3", kBreechloader, kRifle, "3", 90, Nothing, {"RoF: 1", "Shots: 1(60)"}},
      {"90 mm at TL 4", kBreechloader, kRifle, "4", 90, Nothing, {"RoF: 1", "Shots: 1(30)"}},
      // 7.5 and 4.5 round to the even neighbour.
      {"90 mm at TL 5", kBreechloader, kRifle, "5", 90, Nothing, {"RoF: 1", "Shots: 1(8)"}},
      {"90 mm at TL 9", kBreechloader, kRifle, "9", 90, Nothing, {"RoF: 1", "Shots: 1(4)"}},
  };
  for (const Case& c : cases) Check(c);
}

TEST(RateOfFireStage, RepeatersRevolversAndAutoloaders) {
  auto closedBolt = [](DesignInput& in) {
    in.ShotsEdit = "5";
    in.RoFEdit = "abc";
    in.ClosedBoltBox = true;
  };
  const Case cases[] = {
      {"manual repeater, closed bolt",
       kManualRepeater,
       kRifle,
       "9",
       8,
       closedBolt,
       {"RoF: abc", "Shots: 5+1(3)"}},
      {"revolver at TL 5",
       kRevolver,
       kPistol,
       "5",
       9,
       [](DesignInput& in) { in.ChambersEdit = "6"; },
       {"RoF: 1", "Shots: 6(5i)"}},
      {"revolver at TL 6",
       kRevolver,
       kPistol,
       "6",
       9,
       [](DesignInput& in) { in.ChambersEdit = "6"; },
       {"RoF: 1", "Shots: 6(3i)"}},
      {"revolver, chambers as typed",
       kRevolver,
       kPistol,
       "9",
       9,
       [](DesignInput& in) { in.ChambersEdit = "six"; },
       {"RoF: 1", "Shots: six(3i)"}},
      {"mechanical Gatling, 60 mm",
       kMechanicalGatling,
       kSupport,
       "9",
       60,
       closedBolt,
       {"RoF: 15", "Shots: 5+1(5)"}},
      {"mechanical Gatling, 60.1 mm",
       kMechanicalGatling,
       kSupport,
       "9",
       60.1,
       Nothing,
       {"RoF: 10", "Shots: 1(5)"}},
      {"slow autoloader, 30 mm, closed bolt not shown",
       kSlowAutoloader,
       kRifle,
       "9",
       30,
       closedBolt,
       {"RoF: 1", "Shots: 5"}},
      {"slow autoloader, 50 mm",
       kSlowAutoloader,
       kRifle,
       "9",
       50,
       Nothing,
       {"RoF: 1/2", "Shots: 1"}},
      {"slow autoloader, 70 mm",
       kSlowAutoloader,
       kRifle,
       "9",
       70,
       Nothing,
       {"RoF: 1/4", "Shots: 1"}},
      {"fast autoloader, 20 mm, closed bolt not shown",
       kFastAutoloader,
       kRifle,
       "9",
       20,
       closedBolt,
       {"RoF: 3", "Shots: 5(3)"}},
      {"fast autoloader, 20.1 mm",
       kFastAutoloader,
       kRifle,
       "9",
       20.1,
       Nothing,
       {"RoF: 2", "Shots: 1(3)"}},
      {"fast autoloader, 30 mm",
       kFastAutoloader,
       kRifle,
       "9",
       30,
       Nothing,
       {"RoF: 2", "Shots: 1(3)"}},
      {"fast autoloader, 60 mm",
       kFastAutoloader,
       kRifle,
       "9",
       60,
       Nothing,
       {"RoF: 1", "Shots: 1(3)"}},
      {"fast autoloader, 100 mm",
       kFastAutoloader,
       kRifle,
       "9",
       100,
       Nothing,
       {"RoF: 1/2", "Shots: 1(3)"}},
      {"fast autoloader, 140 mm",
       kFastAutoloader,
       kRifle,
       "9",
       140,
       Nothing,
       {"RoF: 1/4", "Shots: 1(3)"}},
      {"no loading mechanism", -1, kRifle, "9", 10, closedBolt, {"Shots: "}},
  };
  for (const Case& c : cases) Check(c);
}

TEST(RateOfFireStage, Automatics) {
  struct Auto {
    const char* name;
    int propellant;
    int plb;
    int gaussHCCB;
    const char* rof;
    bool closedBolt;
    Statblock lines;
  };
  const Auto cases[] = {
      {"plain", kStandard, kPLBNone, 0, "10", false, {"RoF: 10", "Shots: 30(3)"}},
      {"plain RoF shown as typed",
       kStandard,
       kPLBNone,
       0,
       "ten",
       false,
       {"RoF: ten", "Shots: 30(3)"}},
      {"high-cyclic bursts",
       kStandard,
       kHighCyclic,
       0,
       "10",
       false,
       {"RoF: 10# (Bursts of 3)", "Shots: 30(3)"}},
      {"preloaded barrels",
       kLiquid,
       kPreloaded,
       0,
       "10",
       false,
       {"RoF: 10# (Bursts of 5)", "Shots: 30(6)"}},
      {"preloaded barrels, closed bolt",
       kStandard,
       kPreloaded,
       0,
       "10",
       true,
       {"RoF: 10# (Bursts of 5)", "Shots: 30+1(6)"}},
      {"hexadecimal RoF keeps its text",
       kStandard,
       kHighCyclic,
       0,
       "$10",
       false,
       {"RoF: $10# (Bursts of 5)", "Shots: 30(3)"}},
      {"negative RoF",
       kStandard,
       kHighCyclic,
       0,
       "-10",
       false,
       {"RoF: -10# (Bursts of -3)", "Shots: 30(3)"}},
      {"no caseless mods selected", kStandard, -1, 0, "10", true, {"RoF: 10", "Shots: 30+1(3)"}},
      {"Gauss standard below 6", kGauss, kPLBNone, 0, "5", false, {"RoF: 5", "Shots: 30(3)"}},
      {"Gauss standard at 6",
       kGauss,
       kPLBNone,
       0,
       "6",
       false,
       {"RoF: 6# (Bursts of 2)", "Shots: 30(3)"}},
      {"Gauss with nothing selected is standard",
       kGauss,
       kPLBNone,
       -1,
       "20",
       false,
       {"RoF: 20# (Bursts of 6)", "Shots: 30(3)"}},
      {"Gauss enhanced below 4", kGauss, kPLBNone, 1, "3", false, {"RoF: 3", "Shots: 30(3)"}},
      {"Gauss enhanced at 4",
       kGauss,
       kPLBNone,
       1,
       "4",
       false,
       {"RoF: 4# (Bursts of 2)", "Shots: 30(3)"}},
      {"Gauss ignores caseless mods for the RoF",
       kGauss,
       kHighCyclic,
       0,
       "5",
       false,
       {"RoF: 5", "Shots: 30(3)"}},
      {"Gauss preloaded barrels still reload in 6",
       kGauss,
       kPreloaded,
       1,
       "9",
       false,
       {"RoF: 9# (Bursts of 4)", "Shots: 30(6)"}},
  };
  for (int mechanism : {kLightAutomatic, kHeavyAutomatic, kElectricGatling}) {
    for (const Auto& c : cases) {
      SCOPED_TRACE(std::string(c.name) + ", mechanism " + std::to_string(mechanism));
      DesignInput in;
      in.LoadingMechanismBox = mechanism;
      in.ConfigurationBox = kRifle;
      in.PropellantBox = c.propellant;
      in.PLBBox = c.plb;
      in.GaussHCCBBox = c.gaussHCCB;
      in.RoFEdit = c.rof;
      in.ShotsEdit = "30";
      in.ClosedBoltBox = c.closedBolt;
      const RoFOutcome out = Fire(in, 7);
      EXPECT_FALSE(out.error) << *out.error;
      EXPECT_EQ(out.lines, c.lines);
    }
  }
}

// A RoF that must be counted but is not a whole number stops the run before
// either line; a bad TL stops a revolver after its RoF line.
TEST(RateOfFireStage, Failures) {
  struct Fail {
    const char* name;
    void (*set)(DesignInput&);
    Statblock lines;
    const char* error;
  };
  const Fail cases[] = {
      {"high-cyclic bursts",
       [](DesignInput& in) {
         in.LoadingMechanismBox = kLightAutomatic;
         in.PLBBox = kHighCyclic;
         in.RoFEdit = "10.5";
       },
       {},
       "'10.5' is not a valid integer value"},
      {"preloaded barrels",
       [](DesignInput& in) {
         in.LoadingMechanismBox = kHeavyAutomatic;
         in.PLBBox = kPreloaded;
         in.RoFEdit = "";
       },
       {},
       "'' is not a valid integer value"},
      {"every Gauss automatic",
       [](DesignInput& in) {
         in.LoadingMechanismBox = kElectricGatling;
         in.PropellantBox = kGauss;
         in.RoFEdit = "3 ";
       },
       {},
       "'3 ' is not a valid integer value"},
      {"revolver TL",
       [](DesignInput& in) {
         in.LoadingMechanismBox = kRevolver;
         in.ConfigurationBox = kCannon;
         in.TLEdit = "x";
       },
       {"RoF: 1"},
       "'x' is not a valid integer value"},
      {"bore too large to count reloads",
       [](DesignInput& in) { in.LoadingMechanismBox = kFastAutoloader; },
       {},
       kInvalidFloatOp},
  };
  for (const Fail& c : cases) {
    SCOPED_TRACE(c.name);
    DesignInput in;
    in.ConfigurationBox = kRifle;
    c.set(in);
    const RoFOutcome out = Fire(in, in.LoadingMechanismBox == kFastAutoloader ? 1e30 : 7);
    EXPECT_EQ(out.lines, c.lines);
    EXPECT_EQ(out.error, c.error);
  }
}

TEST(RateOfFireStage, WholeRunKeepsWeightLinesOnFailure) {
  DesignInput in;
  in.BoreSizeEdit = "7";
  in.ConfigurationBox = kRifle;
  in.BarrelBox = kMedium;
  in.LoadingMechanismBox = kLightAutomatic;
  in.PLBBox = kHighCyclic;
  in.RoFEdit = "lots";
  const DesignResult r = RunDesign(in);
  ASSERT_FALSE(r.lines.empty());
  EXPECT_EQ(r.lines.back().rfind("Weight: ", 0), 0u) << r.lines.back();
  EXPECT_EQ(r.error, "'lots' is not a valid integer value");
}

}  // namespace
}  // namespace brennick
