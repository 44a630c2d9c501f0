// Strength, bulk and recoil: ST, KYOS ST, Bulk and Rcl lines.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "design.h"

namespace brennick {
namespace {

struct StrengthOutcome {
  Statblock lines;
  std::optional<std::string> error;
};

StrengthOutcome Rate(const DesignInput& in, double dice, double loadedWeight) {
  StrengthOutcome out;
  DesignQuantities q;
  q.DamageDice = dice;
  q.LoadedWeightLb = loadedWeight;
  DesignRun run{in, '.', q, out.lines};
  try {
    RunStrengthStage(run);
  } catch (const DesignError& e) {
    out.error = e.what();
  }
  return out;
}

DesignInput Gun(int configuration, int barrel = kMedium) {
  DesignInput in;
  in.ConfigurationBox = configuration;
  in.BarrelBox = barrel;
  return in;
}

struct Case {
  const char* name;
  DesignInput in;
  double dice;
  double weight;
  Statblock lines;
};

void CheckAll(const Case* begin, const Case* end) {
  for (const Case* c = begin; c != end; ++c) {
    SCOPED_TRACE(c->name);
    const StrengthOutcome out = Rate(c->in, c->dice, c->weight);
    EXPECT_FALSE(out.error) << *out.error;
    EXPECT_EQ(out.lines, c->lines);
  }
}

template <typename F>
DesignInput With(DesignInput in, F set) {
  set(in);
  return in;
}

TEST(StrengthStage, RecoilAndStrength) {
  const Case cases[] = {
      // Recoils 2, 3 and 2 (0.75 rounds to 1, raised to 2); strengths 9, 11, 9.
      {"pistol", Gun(kPistol), 3, 3, {"ST 9", "Bulk -3", "Rcl 2"}},
      {"Gauss pistol shows its variants",
       With(Gun(kPistol), [](DesignInput& in) { in.PropellantBox = kGauss; }),
       3,
       3,
       {"ST 9", "- Boosted Velocity ST 11", "- Low Velocity ST 9", "Bulk -3", "Rcl 2",
        "- Boosted Velocity Rcl 3", "- Low Velocity Rcl 2"}},
      {"pistol recoil 2.5 rounds to 2", Gun(kPistol), 3.25, 3, {"ST 9", "Bulk -3", "Rcl 2"}},
      {"pistol shotgun: round(D) + 1, at least 2",
       With(Gun(kPistol), [](DesignInput& in) { in.ShotgunBox = true; }),
       0,
       3,
       {"ST 9", "Bulk -3", "Rcl 2"}},
      {"rifle", Gun(kRifle), 6, 8, {"ST 9\u2020", "Bulk -4", "Rcl 2"}},
      {"rifle on a bipod",
       With(Gun(kRifle), [](DesignInput& in) { in.BipodBox = true; }),
       6,
       8,
       {"ST 9B\u2020 (ST 6 on a bipod)", "Bulk -4", "Rcl 2"}},
      // Recoil 1 takes the heavier hold: sqrt(4 x 10 + 3.5 x 10) = 8.66.
      {"recoilless rifle",
       With(Gun(kRifle), [](DesignInput& in) { in.RecoillessCheckBox = true; }),
       6,
       10,
       {"ST 9\u2020", "Bulk -5", "Rcl 1"}},
      {"Grav rifle",
       With(Gun(kRifle), [](DesignInput& in) { in.PropellantBox = kGrav; }),
       6,
       8,
       {"ST 8\u2020", "Bulk -4", "Rcl 1"}},
      // Recoils round(2.6), round(4), round(1.8).
      {"liquid rifle shotgun",
       With(Gun(kRifle),
            [](DesignInput& in) {
              in.ShotgunBox = true;
              in.PropellantBox = kLiquid;
            }),
       4,
       8,
       {"ST 10\u2020", "- Boosted Velocity ST 12\u2020", "- Low Velocity ST 9\u2020", "Bulk -4",
        "Rcl 3", "- Boosted Velocity Rcl 4", "- Low Velocity Rcl 2"}},
      // At 10 dice the Gauss row gives 10 / 4 = 2.5 -> 2, the base row 10 / 3.3 -> 3.
      {"base rifle row at 10 dice",
       With(Gun(kRifle), [](DesignInput& in) { in.PropellantBox = kETC; }),
       10,
       8,
       {"ST 10\u2020", "Bulk -4", "Rcl 3"}},
      {"Gauss rifle row, Gauss",
       With(Gun(kRifle), [](DesignInput& in) { in.PropellantBox = kGauss; }),
       10,
       8,
       {"ST 9\u2020", "- Boosted Velocity ST 10\u2020", "- Low Velocity ST 9\u2020", "Bulk -4",
        "Rcl 2", "- Boosted Velocity Rcl 3", "- Low Velocity Rcl 2"}},
      // Support Gauss: 10 / 5 = 2; base row 10 / 3.3 = 3.
      {"Gauss support",
       With(Gun(kSupport), [](DesignInput& in) { in.PropellantBox = kGauss; }),
       10,
       8,
       {"ST 9\u2020", "- Boosted Velocity ST 9\u2020", "- Low Velocity ST 9\u2020", "Bulk -5",
        "Rcl 2", "- Boosted Velocity Rcl 2", "- Low Velocity Rcl 2"}},
      {"support shotgun overrides Gauss",
       With(Gun(kSupport),
            [](DesignInput& in) {
              in.PropellantBox = kGauss;
              in.ShotgunBox = true;
            }),
       4,
       8,
       {"ST 12\u2020", "- Boosted Velocity ST 13\u2020", "- Low Velocity ST 9\u2020", "Bulk -5",
        "Rcl 4", "- Boosted Velocity Rcl 5", "- Low Velocity Rcl 2"}},
      {"SMG shotgun",
       With(Gun(kSMG), [](DesignInput& in) { in.ShotgunBox = true; }),
       4,
       8,
       {"ST 12\u2020", "Bulk -4", "Rcl 4"}},
      {"smartgrip",
       With(Gun(kPistol), [](DesignInput& in) { in.SmartgripBox = true; }),
       3,
       3,
       {"ST 8", "Bulk -3", "Rcl 2"}},
      {"smartgrip and compensator",
       With(Gun(kRifle),
            [](DesignInput& in) {
              in.SmartgripBox = true;
              in.MuzzleBox = kCompensator;
            }),
       6,
       8,
       {"ST 7\u2020", "Bulk -4", "Rcl 2"}},
      {"cannon", Gun(kCannon), 6, 8, {"ST 0M", "Bulk -0", "Rcl 0"}},
      {"cannon with smartgrip, muzzle weight, recoilless",
       With(Gun(kCannon),
            [](DesignInput& in) {
              in.SmartgripBox = true;
              in.MuzzleWeightBox = true;
              in.RecoillessCheckBox = true;
            }),
       6,
       8,
       {"ST -1M", "Bulk -1", "Rcl 1"}},
      {"Gauss cannon",
       With(Gun(kCannon),
            [](DesignInput& in) {
              in.PropellantBox = kGauss;
              in.BipodBox = true;
            }),
       6,
       8,
       {"ST 0M", "- Boosted Velocity ST 0M", "- Low Velocity ST 0M", "Bulk -0", "Rcl 0",
        "- Boosted Velocity Rcl 0", "- Low Velocity Rcl 0"}},
      {"no configuration writes empty strength lines",
       With(Gun(-1), [](DesignInput& in) { in.PropellantBox = kLiquid; }),
       6,
       8,
       {"", "", "", "Bulk -0", "Rcl 0", "- Boosted Velocity Rcl 0", "- Low Velocity Rcl 0"}},
  };
  CheckAll(std::begin(cases), std::end(cases));
}

// An SMG with Gauss, KYOS and a bipod: recoils 6.88 / 1.7 = 4.05, 8.6 / 1.7 =
// 5.06 and 3.44 / 1.7 = 2.02; strengths sqrt(25.434 + 32.97 R) = 13, 14, 10;
// KYOS 20 log10(13) - 10 = 12.28.
TEST(StrengthStage, SixStrengthLines) {
  DesignInput in = Gun(kSMG);
  in.PropellantBox = kGauss;
  in.KYOSBox = true;
  in.BipodBox = true;
  const StrengthOutcome out = Rate(in, 6.88, 9.42);
  EXPECT_FALSE(out.error);
  EXPECT_EQ(out.lines, (Statblock{
                           "ST 13B\u2020 (ST 9 on a bipod)",
                           "- Boosted Velocity ST 14B\u2020 (ST 9 on a bipod)",
                           "- Low Velocity ST 10B\u2020 (ST 7 on a bipod)",
                           "KYOS ST 12B\u2020 (ST 8 on a bipod)",
                           "- Boosted Velocity KYOS ST 14B\u2020 (ST 9 on a bipod)",
                           "- Low Velocity KYOS ST 10B\u2020 (ST 7 on a bipod)",
                           "Bulk -4",
                           "Rcl 4",
                           "- Boosted Velocity Rcl 5",
                           "- Low Velocity Rcl 2",
                       }));
}

// A pistol with recoil 2 needs ST round(sqrt(28 W)); weights picked for ST 1,
// 2, 9, 10, 16 and 100.
TEST(StrengthStage, KyosScale) {
  struct Kyos {
    double weight;
    bool smartgrip;
    const char* st;
    const char* kyos;
  };
  const Kyos cases[] = {
      {3.57, false, "ST 10", "KYOS ST 10"}, {2.89, false, "ST 9", "KYOS ST 9"},
      {9.14, false, "ST 16", "KYOS ST 14"}, {0.14, false, "ST 2", "KYOS ST 1"},
      {0.04, false, "ST 1", "KYOS ST 1"},   {357.142857, false, "ST 100", "KYOS ST 30"},
      {3.57, true, "ST 9", "KYOS ST 9"},
  };
  for (const Kyos& c : cases) {
    SCOPED_TRACE(c.st);
    DesignInput in = Gun(kPistol);
    in.KYOSBox = true;
    in.SmartgripBox = c.smartgrip;
    const StrengthOutcome out = Rate(in, 0, c.weight);
    EXPECT_FALSE(out.error);
    ASSERT_GE(out.lines.size(), 2u);
    EXPECT_EQ(out.lines[0], c.st);
    EXPECT_EQ(out.lines[1], c.kyos);
  }
}

TEST(StrengthStage, BipodFigure) {
  // An SMG with recoil 2 needs ST round(sqrt(9.7 W)).
  struct Bipod {
    double weight;
    const char* line;
  };
  const Bipod cases[] = {
      {17.42, "ST 13B\u2020 (ST 9 on a bipod)"},
      {14.85, "ST 12B\u2020 (ST 8 on a bipod)"},
  };
  for (const Bipod& c : cases) {
    DesignInput in = Gun(kSMG);
    in.BipodBox = true;
    const StrengthOutcome out = Rate(in, 0, c.weight);
    ASSERT_FALSE(out.lines.empty());
    EXPECT_EQ(out.lines[0], c.line);
  }
}

TEST(StrengthStage, Bulk) {
  struct BulkCase {
    const char* name;
    int configuration;
    int barrel;
    double weight;
    bool muzzleWeight;
    const char* line;
  };
  const BulkCase cases[] = {
      {"pistol short, log 1.41", kPistol, kShort, 1, false, "Bulk -1"},
      {"pistol short, below the minimum", kPistol, kShort, 0.01, false, "Bulk -1"},
      {"pistol long, log 3.12", kPistol, kLong, 3, false, "Bulk -3"},
      {"SMG short, log 2.505", kSMG, kShort, 1, false, "Bulk -3"},
      {"SMG long, log 4.11", kSMG, kLong, 10, false, "Bulk -4"},
      {"rifle long, log 5.66", kRifle, kLong, 10, false, "Bulk -6"},
      {"rifle short, minimum 4", kRifle, kShort, 1, false, "Bulk -4"},
      {"muzzle weight after the minimum", kRifle, kShort, 1, true, "Bulk -5"},
      {"support short, minimum 5", kSupport, kShort, 1, false, "Bulk -5"},
      {"support medium, log 5.46", kSupport, kMedium, 10, false, "Bulk -5"},
      {"support long, log 6.26", kSupport, kLong, 20, false, "Bulk -6"},
      {"cannon takes no logarithm", kCannon, -1, 0, true, "Bulk -1"},
  };
  for (const BulkCase& c : cases) {
    SCOPED_TRACE(c.name);
    DesignInput in = Gun(c.configuration, c.barrel);
    in.MuzzleWeightBox = c.muzzleWeight;
    const StrengthOutcome out = Rate(in, 0, c.weight);
    EXPECT_FALSE(out.error);
    ASSERT_EQ(out.lines.size(), 3u);
    EXPECT_EQ(out.lines[1], c.line);
  }
}

// A logarithm that cannot be taken stops the run; the lines before it stay.
TEST(StrengthStage, FailuresKeepEarlierLines) {
  struct Fail {
    const char* name;
    DesignInput in;
    double weight;
    Statblock lines;
    const char* error;
  };
  const Fail cases[] = {
      {"cannon with KYOS: strength 0",
       With(Gun(kCannon), [](DesignInput& in) { in.KYOSBox = true; }),
       8,
       {"ST 0M"},
       kDivByZero},
      {"cannon with KYOS and smartgrip: strength -1",
       With(Gun(kCannon),
            [](DesignInput& in) {
              in.KYOSBox = true;
              in.SmartgripBox = true;
            }),
       8,
       {"ST -1M"},
       kInvalidFloatOp},
      {"Gauss cannon with KYOS",
       With(Gun(kCannon),
            [](DesignInput& in) {
              in.KYOSBox = true;
              in.PropellantBox = kGauss;
            }),
       8,
       {"ST 0M", "- Boosted Velocity ST 0M", "- Low Velocity ST 0M"},
       kDivByZero},
      {"no configuration with KYOS",
       With(Gun(-1), [](DesignInput& in) { in.KYOSBox = true; }),
       8,
       {""},
       kDivByZero},
      {"rifle without a barrel length",
       With(Gun(kRifle, -1), [](DesignInput& in) { in.KYOSBox = true; }),
       8,
       {"ST 9\u2020", "KYOS ST 9\u2020"},
       kDivByZero},
      {"pistol without a barrel length", Gun(kPistol, -1), 3, {"ST 13"}, kDivByZero},
      {"negative loaded weight", Gun(kPistol), -1, {}, kInvalidFloatOp},
  };
  for (const Fail& c : cases) {
    SCOPED_TRACE(c.name);
    const StrengthOutcome out = Rate(c.in, 6, c.weight);
    EXPECT_EQ(out.lines, c.lines);
    EXPECT_EQ(out.error, c.error);
  }
}

// The three worked designs through the whole run: damage and loaded weight
// from the earlier stages feed recoil, strength and bulk.
TEST(StrengthStage, WorkedDesigns) {
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

  struct Worked {
    const char* name;
    DesignInput in;
    Statblock lines;
  };
  const Worked cases[] = {
      // 3.3 dice, 3.21 lb: recoil round(2.55) = 3, ST round(sqrt(118.77)) = 11.
      {"10 mm pistol", pistol, {"ST 11", "Bulk -3", "Rcl 3"}},
      // 5.88 dice, 7.28 lb: recoils 2 (1.78, 2.23, 0.89), ST round(sqrt(70.616)) = 8.
      {"7 mm liquid rifle",
       liquid,
       {"ST 8\u2020", "- Boosted Velocity ST 8\u2020", "- Low Velocity ST 8\u2020", "Bulk -4",
        "Rcl 2", "- Boosted Velocity Rcl 2", "- Low Velocity Rcl 2"}},
      // 6.88 dice, 9.42 lb: recoils 2 (1.72, 2.15, 0.86), ST round(sqrt(91.374)) = 10.
      {"4 mm Gauss rifle",
       gauss,
       {"ST 10\u2020", "- Boosted Velocity ST 10\u2020", "- Low Velocity ST 10\u2020", "Bulk -6",
        "Rcl 2", "- Boosted Velocity Rcl 2", "- Low Velocity Rcl 2"}},
  };
  for (const Worked& c : cases) {
    SCOPED_TRACE(c.name);
    const DesignResult r = RunDesign(c.in);
    Statblock lines;
    for (const std::string& line : r.lines) {
      for (const char* prefix :
           {"ST ", "- Boosted Velocity ", "- Low Velocity ", "KYOS ", "Bulk -", "Rcl "}) {
        if (line.rfind(prefix, 0) == 0) {
          lines.push_back(line);
          break;
        }
      }
    }
    EXPECT_EQ(lines, c.lines);
  }
}

}  // namespace
}  // namespace brennick
