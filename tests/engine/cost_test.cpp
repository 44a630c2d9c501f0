// Malfunction number and price of a design.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "engine/design.h"
#include "engine/design_error.h"
#include "engine/internal/run.h"

namespace brennick {
namespace {

struct CostOutcome {
  Statblock lines;
  std::optional<std::string> error;
  std::int32_t malf = 0;
};

CostOutcome RunCost(const DesignInput& in, double loadedLb, double emptyLb = 0) {
  CostOutcome out;
  DesignRun r{in, '.', {}, out.lines};
  r.q.LoadedWeightLb = loadedLb;
  r.q.EmptyWeightLb = emptyLb;
  try {
    RunCostStage(r);
  } catch (const DesignError& e) {
    out.error = e.what();
  }
  out.malf = r.q.MalfNumber;
  return out;
}

using Edit = std::function<void(DesignInput&)>;

// A TL 9 caseless Pistol with the priced accessories of the form's start
// values removed, so the Cost line shows the weight-based price alone.
DesignInput BarePistol(const Edit& edit) {
  DesignInput in;
  in.ConfigurationBox = kPistol;
  in.IronSightsBox = in.HUDLinkBox = in.RecognitionGripBox = false;
  edit(in);
  return in;
}

Edit Config(int config, const char* rof = "1", int propellant = kStandard) {
  return [=](DesignInput& in) {
    in.ConfigurationBox = config;
    in.RoFEdit = rof;
    in.PropellantBox = propellant;
  };
}
Edit Set(bool DesignInput::*a, bool DesignInput::*b = nullptr) {
  return [=](DesignInput& in) {
    in.*a = true;
    if (b) in.*b = true;
  };
}
Edit Pick(int DesignInput::*group, int item) {
  return [=](DesignInput& in) { in.*group = item; };
}
Edit TL(const char* tl, bool caseless = true) {
  return [=](DesignInput& in) {
    in.TLEdit = tl;
    in.CaselessBox = caseless;
  };
}
Edit Both(Edit a, Edit b) {
  return [=](DesignInput& in) {
    a(in);
    b(in);
  };
}

TEST(Cost, FormStartValuesOnAPistol) {
  DesignInput in;
  in.ConfigurationBox = kPistol;
  // 150 $/lb x 2.5 lb x 1.0 = 375; + 50 iron sights + 250 HUD link + 100 grip.
  const CostOutcome out = RunCost(in, 2.5);
  EXPECT_EQ(out.lines, (Statblock{"Malf 18", "Cost $775"}));
  EXPECT_EQ(out.malf, 18);
}

TEST(Cost, MalfunctionNumberAndLine) {
  const Edit breechRifle = Both(Pick(&DesignInput::ConfigurationBox, kRifle),
                                Pick(&DesignInput::LoadingMechanismBox, kBreechloader));
  const struct {
    Edit edit;
    std::int32_t malf;
    const char* line;
  } cases[] = {
      {TL("3", false), 12, "Malf 12"},
      {TL("4", false), 14, "Malf 14"},
      {TL("5", false), 16, "Malf 16"},
      {TL("$C", false), 17, "Malf 17"},  // TL 12
      {TL("13", false), 0, "Malf 0"},
      {TL("-1", false), 0, "Malf 0"},
      {Both(TL("4"), breechRifle), 12, "Malf 12"},
      {Both(TL("5"), breechRifle), 17, "Malf 17"},
      {Both(TL("-2", false), breechRifle), -3, "Malf Ver. (Crit.)"},
      {Pick(&DesignInput::QualityReliable, kFine), 19, "Malf Ver."},
      {Pick(&DesignInput::QualityReliable, kVeryFine), 20, "Malf Ver. (Crit.)"},
      {Both(TL("13", false), Pick(&DesignInput::QualityAccurate, kCheap)), -1, "Malf Ver. (Crit.)"},
      {Both(Pick(&DesignInput::QualityAccurate, kCheap),
            Pick(&DesignInput::QualityReliable, kCheap)),
       17, "Malf 17"},
      {Pick(&DesignInput::PropellantBox, kLiquid), 19, "Malf Ver."},
      {Set(&DesignInput::ElectricBox), 19, "Malf Ver."},
      {Pick(&DesignInput::PropellantBox, kGauss), 18, "Malf 18"},  // caseless counted once
      {Both(TL("9", false), Pick(&DesignInput::PropellantBox, kGrav)), 18, "Malf 18"},
      {Pick(&DesignInput::PLBBox, kPreloaded), 17, "Malf 17"},
      {Both(TL("10"), Pick(&DesignInput::PLBBox, kPreloaded)), 18, "Malf 18"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.malf);
    const CostOutcome out = RunCost(BarePistol(c.edit), 2.5);
    ASSERT_FALSE(out.error) << *out.error;
    EXPECT_EQ(out.malf, c.malf);
    EXPECT_EQ(out.lines.at(0), c.line);
  }
}

TEST(Cost, CostLine) {
  const struct {
    const char* name;
    Edit edit;
    double loadedLb;
    std::int32_t cost;
  } cases[] = {
      // Rate by configuration, RoF and propellant. Below 20 lb a pistol's
      // multiplier is 1; a rifle's or support weapon's is 0.75, so 4 lb costs 3 x rate.
      {"pistol RoF 3", Config(kPistol, "3"), 1, 150},
      {"pistol RoF 4", Config(kPistol, "4"), 1, 220},
      {"RoF not a number counts as 1", Config(kPistol, "x"), 1, 150},
      {"pistol Grav RoF 4", Config(kPistol, "4", kGrav), 1, 550},
      {"SMG Grav", Config(kSMG, "1", kGrav), 1, 480},
      {"rifle Gauss", Config(kRifle, "1", kGauss), 4, 1260},
      {"support RoF 4", Config(kSupport, "4"), 4, 840},
      {"support Gauss RoF 5: 295.4 -> 295", Config(kSupport, "5", kGauss), 4, 885},
      {"support Grav", Config(kSupport, "1", kGrav), 4, 19800},
      // Weight bands.
      {"rifle 8 lb", Config(kRifle), 8, 900},
      {"rifle 19.99 lb: 2248.875", Config(kRifle), 19.99, 2249},
      {"rifle 20 lb", Config(kRifle), 20, 4500},
      {"rifle 20 lb RoF 5", Config(kRifle, "5"), 20, 8800},
      {"rifle 1000 lb", Config(kRifle), 1000, 30000},
      {"pistol 20 lb", Config(kPistol), 20, 3600},
      {"extra-low pistol: 262.5 to even", Set(&DesignInput::ExtraLowBox), 3.5, 262},
      {"extra-low rifle is full price", Both(Config(kRifle), Set(&DesignInput::ExtraLowBox)), 4,
       450},
      // 150 x 3.21 is a hair below 481.5 when formed at extended precision.
      {"loaded weight 3.21", Config(kPistol), 3.21, 481},
      {"cannon: accessories only",
       Both(Config(kCannon), Set(&DesignInput::IronSightsBox, &DesignInput::ETSBox)), 100, 8000},
      {"no configuration", Config(-1), 100, 0},
      // Cost factor, on a 4 lb pistol (600).
      {"electric gatling counted once",
       Both(Pick(&DesignInput::LoadingMechanismBox, kElectricGatling),
            Set(&DesignInput::ElectricBox)),
       4, 900},
      {"recoilless, cold counter-mass",
       Set(&DesignInput::RecoillessCheckBox, &DesignInput::ColdCountermassBox), 4, 1020},
      {"ETC", Pick(&DesignInput::PropellantBox, kETC), 4, 1200},
      {"house-ruled ETC",
       Both(Pick(&DesignInput::PropellantBox, kETC), Set(&DesignInput::HouseETCBox)), 4, 900},
      {"house-ruled ETK",
       Both(Pick(&DesignInput::PropellantBox, kETK), Set(&DesignInput::HouseETCBox)), 4, 1200},
      {"extra CF", [](DesignInput& in) { in.ArbCF = "-0.5"; }, 4, 300},
      {"extra CF not a number", [](DesignInput& in) { in.ArbCF = "lots"; }, 4, 600},
      {"styling +3", Pick(&DesignInput::StylingBox, 3), 4, 6000},
      {"very fine accuracy and reliability",
       Both(Pick(&DesignInput::QualityAccurate, kVeryFine),
            Pick(&DesignInput::QualityReliable, kVeryFine)),
       4, 3600},
      {"cheap counted once",
       Both(Pick(&DesignInput::QualityAccurate, kCheap),
            Pick(&DesignInput::QualityReliable, kCheap)),
       4, 240},
      {"floor: 1 - 1 - 0.6 raised to 0.2",
       [](DesignInput& in) {
         in.QualityReliable = kCheap;
         in.ArbCF = "-1";
       },
       4, 120},
      {"375 x 1.5 = 562.5 to even", Pick(&DesignInput::PropellantBox, kLiquid), 2.5, 562},
      {"every other factor: 1 + 0.5 + 0.5 + 1 + 0.5 + 0.2 + 4 + 1 + 0.25 + 0.75",
       [](DesignInput& in) {
         in.LoadingMechanismBox = kMechanicalGatling;
         in.PLBBox = kHighCyclic;
         in.StylingBox = in.GaussHCCBBox = 1;
         in.SpaceProof = in.DisguisedBox = in.RuggedBox = true;
         in.QualityReliable = in.QualityAccurate = kFine;
       },
       4, 5820},
      // Accessory amounts, on a 4 lb pistol.
      {"iron sights, SMG", Both(Config(kSMG), Set(&DesignInput::IronSightsBox)), 4, 700},
      {"iron sights, support", Both(Config(kSupport), Set(&DesignInput::IronSightsBox)), 4, 660},
      {"HUD link options without the link",
       [](DesignInput& in) {
         in.DataChip = in.GreenEyes = in.MicroRadio = in.SecureEncryption = in.TinyComputer = true;
         in.TargetingSoftware = 2;
       },
       4, 600},
      {"grip options without the grip",
       [](DesignInput& in) { in.RGGlove = in.RGGPS = in.RGIFF = true; }, 4, 600},
      {"every amount: 600 + 50 + 250 + 551 + 500 + 140 + 320 + 400 + 500 + 100 - 50 + 9000 "
       "+ 2500 + 250 + 100",
       [](DesignInput& in) {
         in.IronSightsBox = in.HUDLinkBox = in.DataChip = in.GreenEyes = in.MicroRadio = true;
         in.SecureEncryption = in.TinyComputer = in.HUDCable = true;
         in.TargetingSoftware = 1;
         in.RecognitionGripBox = in.RGPalm = in.RGVoice = in.RGGlove = in.RGGPS = in.RGIFF = true;
         in.TransponderRingBox = in.SDATBox = in.DTagBox = in.IFFBox = true;
         in.AccRailU = in.AccRailO = in.AccRailS = in.AccRailT = true;
         in.SmartgripBox = in.FoldingStockBox = in.AntiTamper = in.CTSBox = in.ETSBox = true;
         in.CamouflageBox = 6;
         in.MuzzleBox = kZeroGCompensator;
         in.MuzzleWeightBox = true;
       },
       4, 15211},
      {"negative total: 15 - 50", Set(&DesignInput::AntiTamper), 0.1, -35},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const CostOutcome out = RunCost(BarePistol(c.edit), c.loadedLb);
    ASSERT_FALSE(out.error) << *out.error;
    ASSERT_EQ(out.lines.size(), 2u);
    EXPECT_EQ(out.lines[1], "Cost $" + std::to_string(c.cost));
  }
}

TEST(Cost, TargetingSoftwareByTL) {
  const struct {
    const char* tl;
    int grade;
    std::int32_t amount;
  } cases[] = {{"0", 1, 500}, {"9", 2, 1500}, {"10", 1, 50}, {"10", 2, 150}, {"11", 2, 15},
               {"12", 1, 1},  {"12", 2, 2},   {"13", 2, 0},  {"-1", 1, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string("TL ") + c.tl);
    DesignInput in = BarePistol(Both(TL(c.tl), Pick(&DesignInput::TargetingSoftware, c.grade)));
    in.HUDLinkBox = true;
    EXPECT_EQ(RunCost(in, 4).lines.at(1), "Cost $" + std::to_string(850 + c.amount));
    in.HUDLinkBox = false;
    EXPECT_EQ(RunCost(in, 4).lines.at(1), "Cost $600");
  }
}

TEST(Cost, GraviticCompensatorByEmptyWeight) {
  const struct {
    double emptyLb;
    std::int32_t cost;
  } cases[] = {{9.99, 600}, {10, 700}, {25, 800}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.emptyLb);
    const DesignInput in = BarePistol(Set(&DesignInput::GravCompBox));
    EXPECT_EQ(RunCost(in, 4, c.emptyLb).lines.at(1), "Cost $" + std::to_string(c.cost));
  }
}

TEST(Cost, HugeWeightsWrapOrFail) {
  // 8400 $/lb x 2,000,000 lb x 0.2 = 3,360,000,000, which wraps around 2^32.
  const DesignInput in = BarePistol(Config(kSupport, "4", kGrav));
  CostOutcome out = RunCost(in, 2e6);
  EXPECT_EQ(out.lines.at(1), "Cost $-934967296");
  // Beyond 64 bits the price cannot be rounded at all; the Malf line stays.
  out = RunCost(in, 1e300);
  EXPECT_EQ(out.error, kInvalidFloatOp);
  EXPECT_EQ(out.lines, (Statblock{"Malf 18"}));
}

TEST(Cost, InvalidTLStopsBeforeTheMalfLine) {
  const CostOutcome out = RunCost(BarePistol(TL("9a")), 2.5);
  EXPECT_EQ(out.error, "'9a' is not a valid integer value");
  EXPECT_TRUE(out.lines.empty());
}

}  // namespace
}  // namespace brennick
