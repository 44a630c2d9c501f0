// Weight stage: body, accessories, magazine and cells, ammunition load.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "design.h"

namespace brennick {
namespace {

struct WeightOutcome {
  Statblock lines;
  std::optional<std::string> error;
  DesignQuantities q;
};

WeightOutcome Weigh(const DesignInput& in, double bore, double powerMod = 1) {
  WeightOutcome out;
  DesignQuantities q;
  q.BoreMm = bore;
  q.PowerMod = powerMod;
  DesignRun run{in, '.', q, out.lines};
  try {
    RunWeightStage(run);
  } catch (const DesignError& e) {
    out.error = e.what();
  }
  out.q = run.q;
  return out;
}

// A Rifle with no barrel length: the body weighs nothing, so the empty weight
// is the additions alone (0.05 spare cell + 0.5 magazine), and no ammunition.
DesignInput Additions() {
  DesignInput in;
  in.ConfigurationBox = kRifle;
  in.BarrelBox = -1;
  in.LoadingMechanismBox = kFastAutoloader;
  in.IronSightsBox = false;
  in.ShotsEdit = "0";
  return in;
}

// A 10 mm Rifle, Medium barrel, TL 9, fast autoloader: body 100 x 0.42 x 1.2
// x 0.25 = 12.6; additions 0.55; no ammunition.
DesignInput TenMmRifle() {
  DesignInput in = Additions();
  in.BarrelBox = kMedium;
  return in;
}

TEST(WeightStage, WorkedDesigns) {
  struct Case {
    const char* name;
    DesignInput in;
    double empty, perShot, loaded;
    Statblock lines;
  };
  DesignInput pistol;
  pistol.BoreSizeEdit = "10";
  pistol.ConfigurationBox = kPistol;
  pistol.BarrelBox = kMedium;
  pistol.LoadingMechanismBox = kFastAutoloader;
  pistol.ShotsEdit = "20";
  pistol.CaselessBox = false;

  DesignInput liquid;
  liquid.BoreSizeEdit = "7";
  liquid.ConfigurationBox = kRifle;
  liquid.BarrelBox = kMedium;
  liquid.PropellantBox = kLiquid;
  liquid.LoadingMechanismBox = kLightAutomatic;
  liquid.ShotsEdit = "30";

  DesignInput gauss;
  gauss.BoreSizeEdit = "4";
  gauss.TLEdit = "10";
  gauss.ConfigurationBox = kRifle;
  gauss.BarrelBox = kLong;
  gauss.PropellantBox = kGauss;
  gauss.LoadingMechanismBox = kLightAutomatic;
  gauss.ShotsEdit = "50";

  const Case cases[] = {
      {"10 mm pistol", pistol, 2.95, 0.013, 3.21, {"Weight: 3.21/0.51"}},
      {"7 mm liquid rifle",
       liquid,
       6.92,
       0.006,
       7.28,
       {"Weight: 7.28/0.5", "Propellant Bottle Weight: 0.5"}},
      {"4 mm Gauss rifle", gauss, 9.17, 0.005, 9.42, {"Weight: 9.42/1.25"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const DesignResult full = RunDesign(c.in);
    Statblock weightLines;
    for (const std::string& line : full.lines) {
      if (line.rfind("Weight: ", 0) == 0 || line.rfind("Propellant Bottle Weight: ", 0) == 0) {
        weightLines.push_back(line);
      }
    }
    EXPECT_EQ(weightLines, c.lines);

    const WeightOutcome w = Weigh(c.in, ParseFloatStrict(c.in.BoreSizeEdit, '.'));
    EXPECT_DOUBLE_EQ(w.q.EmptyWeightLb, c.empty);
    EXPECT_DOUBLE_EQ(w.q.WeightPerShotLb, c.perShot);
    EXPECT_DOUBLE_EQ(w.q.LoadedWeightLb, c.loaded);
  }
}

TEST(WeightStage, AdditionsAndCells) {
  struct Case {
    const char* name;
    void (*set)(DesignInput&);
    const char* line;
  };
  const Case cases[] = {
      {"bare rifle", [](DesignInput&) {}, "Weight: 0.55/0.5"},
      {"every accessory and 1.5 lb extra",
       [](DesignInput& in) {
         in.IronSightsBox = true;
         in.AccRailS = in.AccRailT = in.AccRailU = in.AccRailO = true;
         in.CTSBox = in.ETSBox = in.DataChip = in.TinyComputer = true;
         in.CamouflageBox = 3;
         in.MuzzleWeightBox = true;
         in.MuzzleBox = kCompensator;
         in.FoldingStockBox = true;
         in.ArbWeight = "1.5";
       },
       "Weight: 7.71/0.5"},
      {"iron sights on a pistol",
       [](DesignInput& in) {
         in.ConfigurationBox = kPistol;
         in.IronSightsBox = true;
       },
       "Weight: 0.4/0.25"},
      {"iron sights on a cannon",
       [](DesignInput& in) {
         in.ConfigurationBox = kCannon;
         in.IronSightsBox = true;
       },
       "Weight: 0.75/0.5"},
      {"pistol compensator",
       [](DesignInput& in) {
         in.ConfigurationBox = kPistol;
         in.MuzzleBox = kCompensator;
       },
       "Weight: 0.4/0.25"},
      {"SMG compensator",
       [](DesignInput& in) {
         in.ConfigurationBox = kSMG;
         in.MuzzleBox = kCompensator;
       },
       "Weight: 0.65/0.5"},
      {"rifle compensator, extra-low",
       [](DesignInput& in) {
         in.MuzzleBox = kCompensator;
         in.ExtraLowBox = true;
       },
       "Weight: 0.8/0.5"},
      {"support compensator, extra-low",
       [](DesignInput& in) {
         in.ConfigurationBox = kSupport;
         in.MuzzleBox = kCompensator;
         in.ExtraLowBox = true;
       },
       "Weight: 0.9/0.5"},
      {"support compensator, shotgun",
       [](DesignInput& in) {
         in.ConfigurationBox = kSupport;
         in.MuzzleBox = kCompensator;
         in.ShotgunBox = true;
       },
       "Weight: 0.8/0.5"},
      {"flash hider", [](DesignInput& in) { in.MuzzleBox = kFlashHider; }, "Weight: 0.65/0.5"},
      {"muzzle port", [](DesignInput& in) { in.MuzzleBox = kMuzzlePort; }, "Weight: 0.55/0.5"},
      {"zero-G compensator", [](DesignInput& in) { in.MuzzleBox = kZeroGCompensator; },
       "Weight: 1.05/0.5"},
      {"weapon camouflage", [](DesignInput& in) { in.CamouflageBox = 1; }, "Weight: 0.55/0.5"},
      {"programmable camouflage", [](DesignInput& in) { in.CamouflageBox = 2; },
       "Weight: 1.05/0.5"},
      {"ultimate chameleon", [](DesignInput& in) { in.CamouflageBox = 6; }, "Weight: 1.55/0.5"},
      {"negative extra weight", [](DesignInput& in) { in.ArbWeight = "-2"; }, "Weight: -1.45/0.5"},
      {"extra weight not a number", [](DesignInput& in) { in.ArbWeight = "abc"; },
       "Weight: 0.55/0.5"},
      // Gauss/Grav cells travel with the magazine; the Gatling motor cell and
      // the spare cell add 0.05 each (paper: 0.005).
      {"Gauss support, electric Gatling",
       [](DesignInput& in) {
         in.ConfigurationBox = kSupport;
         in.PropellantBox = kGauss;
         in.LoadingMechanismBox = kElectricGatling;
       },
       "Weight: 5.6/5.5"},
      {"Gauss support, electric Gatling, paper",
       [](DesignInput& in) {
         in.ConfigurationBox = kSupport;
         in.PropellantBox = kGauss;
         in.LoadingMechanismBox = kElectricGatling;
         in.PaperBox = true;
       },
       "Weight: 1.01/1"},
      {"Grav pistol",
       [](DesignInput& in) {
         in.ConfigurationBox = kPistol;
         in.PropellantBox = kGrav;
       },
       "Weight: 0.35/0.3"},
      {"Grav cannon carries no cell",
       [](DesignInput& in) {
         in.ConfigurationBox = kCannon;
         in.PropellantBox = kGrav;
       },
       "Weight: 0.55/0.5"},
      // ETC/ETK cells count in the empty weight only, not in a reload.
      {"ETK rifle, heavy D cell",
       [](DesignInput& in) {
         in.PropellantBox = kETK;
         in.LoadingMechanismBox = kElectricGatling;
       },
       "Weight: 5.6/0.5"},
      {"ETK rifle, heavy D cell, paper",
       [](DesignInput& in) {
         in.PropellantBox = kETK;
         in.LoadingMechanismBox = kElectricGatling;
         in.PaperBox = true;
       },
       "Weight: 1.01/0.5"},
      {"ETC rifle, C cell, paper",
       [](DesignInput& in) {
         in.PropellantBox = kETC;
         in.LoadingMechanismBox = kElectricGatling;
         in.PaperBox = true;
       },
       "Weight: 0.56/0.5"},
      {"house-ruled ETK rifle takes the ETC cell",
       [](DesignInput& in) {
         in.PropellantBox = kETK;
         in.HouseETCBox = true;
       },
       "Weight: 1.05/0.5"},
      {"ETK pistol, B cell",
       [](DesignInput& in) {
         in.ConfigurationBox = kPistol;
         in.PropellantBox = kETK;
         in.LoadingMechanismBox = kElectricGatling;
       },
       "Weight: 0.4/0.25"},
      {"ETC pistol, paper A cell",
       [](DesignInput& in) {
         in.ConfigurationBox = kPistol;
         in.PropellantBox = kETC;
         in.LoadingMechanismBox = kElectricGatling;
         in.PaperBox = true;
       },
       "Weight: 0.26/0.25"},
      {"ETK support has no cell weight",
       [](DesignInput& in) {
         in.ConfigurationBox = kSupport;
         in.PropellantBox = kETK;
       },
       "Weight: 0.55/0.5"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DesignInput in = Additions();
    c.set(in);
    const WeightOutcome w = Weigh(in, 10);
    EXPECT_FALSE(w.error);
    EXPECT_EQ(w.lines, Statblock{c.line});
  }
}

// Empty weights of a body of 12.6 x mechanism x barrels plus 0.55 of additions
// (0.6 for an electric Gatling, whose motor cell adds 0.05).
TEST(WeightStage, BodyFactors) {
  struct Case {
    const char* name;
    void (*set)(DesignInput&);
    double bore;
    double power;
    double empty;
  };
  const Case cases[] = {
      {"fast autoloader", [](DesignInput&) {}, 10, 1, 13.15},
      {"revolver, 6 chambers",
       [](DesignInput& in) {
         in.LoadingMechanismBox = kRevolver;
         in.ChambersEdit = "6";
       },
       10, 1, 10.63},
      {"revolver, chambers not a number",
       [](DesignInput& in) {
         in.LoadingMechanismBox = kRevolver;
         in.ChambersEdit = "abc";
       },
       10, 1, 7.48},
      {"electric Gatling, 6 barrels",
       [](DesignInput& in) {
         in.LoadingMechanismBox = kElectricGatling;
         in.BarrelsEdit = "6";
       },
       10, 1, 42.18},
      {"electric Gatling, 2.5 barrels",
       [](DesignInput& in) {
         in.LoadingMechanismBox = kElectricGatling;
         in.BarrelsEdit = "2.5";
       },
       10, 1, 28.95},
      {"mechanical Gatling ignores barrels",
       [](DesignInput& in) {
         in.LoadingMechanismBox = kMechanicalGatling;
         in.BarrelsEdit = "6";
       },
       10, 1, 19.45},
      {"heavy automatic, 2 barrels",
       [](DesignInput& in) {
         in.LoadingMechanismBox = kHeavyAutomatic;
         in.BarrelsEdit = "2";
       },
       10, 1, 25.12},
      {"heavy automatic, 2.5 barrels counts 1",
       [](DesignInput& in) {
         in.LoadingMechanismBox = kHeavyAutomatic;
         in.BarrelsEdit = "2.5";
       },
       10, 1, 19.45},
      {"muzzleloader, 0 barrels",
       [](DesignInput& in) {
         in.LoadingMechanismBox = kMuzzleloader;
         in.BarrelsEdit = "0";
       },
       10, 1, 2.31},
      {"-1 barrels", [](DesignInput& in) { in.BarrelsEdit = "-1"; }, 10, 1, 5.59},
      {"no mechanism", [](DesignInput& in) { in.LoadingMechanismBox = -1; }, 10, 1, 0.55},
      {"TL not a number counts as TL 0", [](DesignInput& in) { in.TLEdit = "abc"; }, 10, 1, 15.25},
      {"TL 13 has no factor", [](DesignInput& in) { in.TLEdit = "13"; }, 10, 1, 0.55},
      {"cannon has no factor", [](DesignInput& in) { in.ConfigurationBox = kCannon; }, 10, 1, 0.55},
      {"extra-low-powered", [](DesignInput& in) { in.ExtraLowBox = true; }, 10, 1, 4.96},
      {"shotgun", [](DesignInput& in) { in.ShotgunBox = true; }, 10, 1, 3.7},
      {"recoilless", [](DesignInput& in) { in.RecoillessCheckBox = true; }, 10, 1, 9.37},
      {"space-proof and rugged", [](DesignInput& in) { in.SpaceProof = in.RuggedBox = true; }, 10,
       1, 18.69},
      // Bore classes: 25, 40, 50 and 60 exactly take the class below.
      {"bore 25", [](DesignInput&) {}, 25, 1, 79.3},
      {"bore 40", [](DesignInput&) {}, 40, 1, 302.95},
      {"bore 50", [](DesignInput&) {}, 50, 1, 630.55},
      {"bore 60", [](DesignInput&) {}, 60, 1, 1361.35},
      {"bore 61", [](DesignInput&) {}, 61, 1, 1875.93},
      // A TL 6+ handgun's action is sized on half its bore.
      {"pistol, 50 mm at TL 9 counts as 25", [](DesignInput& in) { in.ConfigurationBox = kPistol; },
       50, 1, 64.05},
      {"pistol, 50 mm at TL 5",
       [](DesignInput& in) {
         in.ConfigurationBox = kPistol;
         in.TLEdit = "5";
       },
       50, 1, 149.05},
      // Support weapons keep the heavy TL factor through TL 9.
      {"support at TL 9", [](DesignInput& in) { in.ConfigurationBox = kSupport; }, 10, 1, 18.4},
      {"support at TL 10",
       [](DesignInput& in) {
         in.ConfigurationBox = kSupport;
         in.TLEdit = "10";
       },
       10, 1, 13.15},
      // Gauss and Grav bodies, Support rows, with the D cell in the magazine.
      {"Gauss support, long",
       [](DesignInput& in) {
         in.ConfigurationBox = kSupport;
         in.BarrelBox = kLong;
         in.PropellantBox = kGauss;
         in.TLEdit = "10";
       },
       10, 1, 100.05},
      {"Grav support, short",
       [](DesignInput& in) {
         in.ConfigurationBox = kSupport;
         in.BarrelBox = kShort;
         in.PropellantBox = kGrav;
         in.TLEdit = "10";
       },
       10, 1, 124.05},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DesignInput in = TenMmRifle();
    c.set(in);
    const WeightOutcome w = Weigh(in, c.bore, c.power);
    ASSERT_FALSE(w.error) << *w.error;
    EXPECT_DOUBLE_EQ(w.q.EmptyWeightLb, c.empty);
  }
}

// A gravitic compensator adds a whole pound per full ten pounds of body,
// counted after extra barrels and before space-proofing and ruggedising. The
// 10.5 lb body is a 10 mm SMG, Long barrel, TL 9 (100 x 0.35 x 1.2 x 0.25).
TEST(WeightStage, GraviticCompensator) {
  struct Case {
    const char* name;
    const char* power;
    void (*set)(DesignInput&);
    double empty;
  };
  const Case cases[] = {
      {"9.99 lb body adds nothing", "0.9514285714285714", [](DesignInput&) {}, 10.54},
      {"10.5 lb body adds 1", "1", [](DesignInput&) {}, 12.05},
      {"19.95 lb body adds 1", "1.9", [](DesignInput&) {}, 21.5},
      {"21 lb body adds 2", "2", [](DesignInput&) {}, 23.55},
      {"counted before space-proof and rugged", "0.9",
       [](DesignInput& in) { in.SpaceProof = in.RuggedBox = true; }, 14.16},
      {"counted after extra barrels", "0.9", [](DesignInput& in) { in.BarrelsEdit = "3"; }, 16.67},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DesignInput in = TenMmRifle();
    in.ConfigurationBox = kSMG;
    in.BarrelBox = kLong;
    in.GravCompBox = true;
    c.set(in);
    const WeightOutcome w = Weigh(in, 10, ParseFloatStrict(c.power, '.'));
    ASSERT_FALSE(w.error) << *w.error;
    EXPECT_DOUBLE_EQ(w.q.EmptyWeightLb, c.empty);
  }
}

TEST(WeightStage, WeightPerShot) {
  struct Case {
    const char* name;
    void (*set)(DesignInput&);
    double bore;
    double perShot;
  };
  const Case cases[] = {
      {"caseless rifle, 12 mm", [](DesignInput&) {}, 12, 0.036},
      {"cased rifle", [](DesignInput& in) { in.CaselessBox = false; }, 12, 0.047},
      {"Gauss slug always counts its sabot", [](DesignInput& in) { in.PropellantBox = kGauss; }, 12,
       0.047},
      {"ETK", [](DesignInput& in) { in.PropellantBox = kETK; }, 12, 0.018},
      {"house-ruled ETK",
       [](DesignInput& in) {
         in.PropellantBox = kETK;
         in.HouseETCBox = true;
       },
       12, 0.036},
      {"cased ETK",
       [](DesignInput& in) {
         in.PropellantBox = kETK;
         in.CaselessBox = false;
       },
       12, 0.023},
      {"Grav", [](DesignInput& in) { in.PropellantBox = kGrav; }, 12, 0.018},
      {"recoilless", [](DesignInput& in) { in.RecoillessCheckBox = true; }, 12, 0.054},
      {"recoilless Grav",
       [](DesignInput& in) {
         in.RecoillessCheckBox = true;
         in.PropellantBox = kGrav;
       },
       12, 0.018},
      {"bore 19.9", [](DesignInput&) {}, 19.9, 0.099},
      {"bore 20 takes the big-bore coefficients", [](DesignInput&) {}, 20, 0.088},
      {"bore 20, short barrel", [](DesignInput& in) { in.BarrelBox = kShort; }, 20, 0.078},
      {"no barrel length counts as short", [](DesignInput& in) { in.BarrelBox = -1; }, 20, 0.078},
      {"pistol, no barrel length",
       [](DesignInput& in) {
         in.ConfigurationBox = kPistol;
         in.BarrelBox = -1;
         in.CaselessBox = false;
       },
       10, 0.008},
      {"cannon counts as a long arm", [](DesignInput& in) { in.ConfigurationBox = kCannon; }, 100,
       2.21},
      {"no configuration", [](DesignInput& in) { in.ConfigurationBox = -1; }, 12, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DesignInput in = TenMmRifle();
    c.set(in);
    const WeightOutcome w = Weigh(in, c.bore);
    ASSERT_FALSE(w.error) << *w.error;
    EXPECT_DOUBLE_EQ(w.q.WeightPerShotLb, c.perShot);
  }
}

TEST(WeightStage, ShotCountAndReload) {
  struct Case {
    const char* name;
    void (*set)(DesignInput&);
    const char* line;
  };
  // 20 mm rounds of 0.078 lb from a Rifle without a barrel length; additions
  // 0.55 (magazine 0.5).
  const Case cases[] = {
      {"15 shots", [](DesignInput& in) { in.ShotsEdit = "15"; }, "Weight: 1.72/1.67"},
      {"preloaded barrels at TL 9: 7 shots, double magazine",
       [](DesignInput& in) {
         in.ShotsEdit = "15";
         in.PLBBox = kPreloaded;
       },
       "Weight: 1.6/1.55"},
      {"preloaded barrels and closed bolt: 8 shots",
       [](DesignInput& in) {
         in.ShotsEdit = "15";
         in.PLBBox = kPreloaded;
         in.ClosedBoltBox = true;
       },
       "Weight: 1.67/1.62"},
      {"preloaded barrels at TL 10: single magazine",
       [](DesignInput& in) {
         in.ShotsEdit = "15";
         in.PLBBox = kPreloaded;
         in.TLEdit = "10";
       },
       "Weight: 1.1/1.05"},
      {"shots not a number count 1", [](DesignInput& in) { in.ShotsEdit = "many"; },
       "Weight: 0.63/0.58"},
      {"negative shots", [](DesignInput& in) { in.ShotsEdit = "-4"; }, "Weight: 0.24/0.19"},
      {"liquid: ammunition twice, bottle alone",
       [](DesignInput& in) {
         in.ShotsEdit = "15";
         in.PropellantBox = kLiquid;
       },
       "Weight: 1.72/0.5"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DesignInput in = Additions();
    c.set(in);
    const WeightOutcome w = Weigh(in, 20);
    ASSERT_FALSE(w.error) << *w.error;
    ASSERT_FALSE(w.lines.empty());
    EXPECT_EQ(w.lines[0], c.line);
  }
}

TEST(WeightStage, DecimalSeparatorAndBottleLine) {
  DesignInput in = Additions();
  in.PropellantBox = kLiquid;
  in.ArbWeight = "0,25";
  WeightOutcome out;
  DesignQuantities q;
  q.BoreMm = 10;
  q.PowerMod = 1;
  DesignRun run{in, ',', q, out.lines};
  RunWeightStage(run);
  EXPECT_EQ(out.lines, (Statblock{"Weight: 0,8/0,5", "Propellant Bottle Weight: 0,5"}));
}

TEST(WeightStage, TLIsStrictOnlyForPreloadedBarrels) {
  DesignInput in = TenMmRifle();
  in.TLEdit = "9a";
  EXPECT_FALSE(Weigh(in, 10).error);

  in.PLBBox = kPreloaded;
  const WeightOutcome w = Weigh(in, 10);
  EXPECT_EQ(w.error, "'9a' is not a valid integer value");
  EXPECT_TRUE(w.lines.empty());
}

// Extreme inputs end the run with an arithmetic message, never a crash.
TEST(WeightStage, ExtremeInputsFailCleanly) {
  struct Case {
    const char* name;
    void (*set)(DesignInput&);
    double bore;
    std::optional<std::string> error;
  };
  const Case cases[] = {
      {"body beyond a double", [](DesignInput&) {}, 1e300, kOverflow},
      {"extra weight too large to round", [](DesignInput& in) { in.ArbWeight = "1e300"; }, 10,
       kInvalidFloatOp},
      {"shot count wraps past the largest whole number",
       [](DesignInput& in) {
         in.ShotsEdit = "2147483647";
         in.ClosedBoltBox = true;
       },
       10, std::nullopt},
      {"huge barrel count", [](DesignInput& in) { in.BarrelsEdit = "2147483647"; }, 10,
       std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DesignInput in = TenMmRifle();
    c.set(in);
    const WeightOutcome w = Weigh(in, c.bore);
    EXPECT_EQ(w.error, c.error);
  }
}

}  // namespace
}  // namespace brennick
