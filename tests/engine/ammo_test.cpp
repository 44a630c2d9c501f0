// The ammunition block, and the statblock tail from the Malf line to the end.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/design.h"
#include "engine/internal/run.h"

namespace brennick {
namespace {

Statblock RunAmmo(const DesignInput& in, double boreMm, double wpsLb, char dec = '.') {
  Statblock lines;
  DesignRun r{in, dec, {}, lines};
  r.q.BoreMm = boreMm;
  r.q.WeightPerShotLb = wpsLb;
  RunAmmunitionStage(r);
  return lines;
}

TEST(Ammunition, Designation) {
  struct Case {
    double bore;
    bool caseless;
    int barrel;
    int propellant;
    bool recoilless;
    bool cold;
    const char* tl;
    const char* designation;
  };
  const Case cases[] = {
      {9, true, kMedium, kStandard, false, false, "9", "9mmCLM (TL9)"},
      {9, false, kMedium, kStandard, false, false, "9", "9mmM (TL9)"},
      {5.56, false, kShort, -1, false, false, "7", "5.56mmS (TL7)"},
      {20, false, -1, kETC, false, false, "9", "20mm-ETC (TL9)"},
      {20, false, kLong, kETK, false, false, "9", "20mmL-ETK (TL9)"},
      {20, true, kLong, kGrav, false, false, "12", "20mmCLL-GR (TL12)"},
      {84, false, kShort, kStandard, true, false, "7", "84mmSRL (TL7)"},
      {84, false, kShort, kStandard, true, true, "7", "84mmSRL-C (TL7)"},
      {9, true, kMedium, kGauss, false, false, " 9", "9mmCLM-GA (TL 9)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.designation);
    DesignInput in;
    in.TLEdit = c.tl;
    in.CaselessBox = c.caseless;
    in.BarrelBox = c.barrel;
    in.PropellantBox = c.propellant;
    in.RecoillessCheckBox = c.recoilless;
    in.ColdCountermassBox = c.cold;
    EXPECT_EQ(RunAmmo(in, c.bore, 0.1).at(2), c.designation);
  }
}

TEST(Ammunition, NumbersUseTheSystemSeparator) {
  DesignInput in;
  in.BarrelBox = kMedium;
  const Statblock lines = RunAmmo(in, 5.56, 0.005, ',');
  EXPECT_EQ(lines.at(2), "5,56mmCLM (TL9)");
  EXPECT_EQ(lines.at(3), "WPS 0,005");
  EXPECT_EQ(lines.at(4), "CPS 0,01");
}

TEST(Ammunition, CostPerShotAndLegalityClass) {
  // Caseless standard ammunition weighing 1 lb a shot, unless a case says
  // otherwise, shows the per-pound rate of its bore directly.
  struct Case {
    const char* name;
    double bore;
    bool caseless;
    int propellant;
    bool recoilless;
    bool cold;
    bool house;
    const char* cps;
    const char* lc;
  };
  const Case cases[] = {
      {"bore 7", 7, true, kStandard, false, false, false, "CPS 2", "LC 3"},
      {"bore 7.01", 7.01, true, kStandard, false, false, false, "CPS 20", "LC 3"},
      {"bore 15.5", 15.5, true, kStandard, false, false, false, "CPS 20", "LC 2"},
      {"bore 64", 64, true, kStandard, false, false, false, "CPS 20", "LC 2"},
      {"bore 65", 65, true, kStandard, false, false, false, "CPS 100", "LC 1"},
      {"negative bore", -3, true, kStandard, false, false, false, "CPS 2", "LC 3"},
      {"cased", 5, false, kStandard, false, false, false, "CPS 0.66", "LC 3"},
      {"cased liquid", 5, false, kLiquid, false, false, false, "CPS 0.99", "LC 3"},
      {"caseless liquid", 5, true, kLiquid, false, false, false, "CPS 3", "LC 3"},
      {"cased ETC", 5, false, kETC, false, false, false, "CPS 0.66", "LC 3"},
      {"cased ETK", 5, false, kETK, false, false, false, "CPS 0.99", "LC 3"},
      {"cased house-ruled ETK", 5, false, kETK, false, false, true, "CPS 0.66", "LC 3"},
      {"cased Gauss", 5, false, kGauss, false, false, false, "CPS 10", "LC 3"},
      {"cased Grav", 5, false, kGrav, false, false, false, "CPS 8", "LC 3"},
      {"cold counter-mass", 5, true, kStandard, true, true, false, "CPS 3", "LC 3"},
      {"cold counter-mass alone", 5, true, kStandard, false, true, false, "CPS 2", "LC 3"},
      {"cased cold counter-mass", 5, false, kStandard, true, true, false, "CPS 0.99", "LC 3"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DesignInput in;
    in.CaselessBox = c.caseless;
    in.PropellantBox = c.propellant;
    in.RecoillessCheckBox = c.recoilless;
    in.ColdCountermassBox = c.cold;
    in.HouseETCBox = c.house;
    const Statblock lines = RunAmmo(in, c.bore, 1);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[3], "WPS 1");
    EXPECT_EQ(lines[4], c.cps);
    EXPECT_EQ(lines[5], c.lc);
  }
}

TEST(Ammunition, SmallNumbersInScientificForm) {
  DesignInput in;
  const Statblock lines = RunAmmo(in, 2, 0.00002);
  EXPECT_EQ(lines.at(3), "WPS 2E-5");
  EXPECT_EQ(lines.at(4), "CPS 4E-5");
}

// The worked designs from the Malf line to the end, with the weights their
// weight stage produces.
struct TailCase {
  const char* name;
  DesignInput in;
  double bore, loadedLb, emptyLb, wpsLb;
  std::vector<std::string> lines;
};

Statblock RunTail(const TailCase& c) {
  Statblock lines;
  DesignRun r{c.in, '.', {}, lines};
  r.q.BoreMm = c.bore;
  r.q.LoadedWeightLb = c.loadedLb;
  r.q.EmptyWeightLb = c.emptyLb;
  r.q.WeightPerShotLb = c.wpsLb;
  RunCostStage(r);
  RunDurabilityStage(r);
  RunNotesStage(r);
  RunAmmunitionStage(r);
  return lines;
}

DesignInput Worked(int config, int barrel, int mech, int propellant, bool caseless,
                   const char* tl) {
  DesignInput in;
  in.TLEdit = tl;
  in.ConfigurationBox = config;
  in.BarrelBox = barrel;
  in.LoadingMechanismBox = mech;
  in.PropellantBox = propellant;
  in.CaselessBox = caseless;
  return in;
}

TEST(StatblockTail, WorkedDesigns) {
  const std::vector<std::string> features = {"HUD Link (TL9) (UT149)",
                                             "- Cable connection",
                                             "Multispectral Laser Sight (TL9) (UT149)",
                                             "Recognition Grip (TL9) (UT150)",
                                             "- Requires palm print",
                                             "Diagnostic Computer (TL9) (UT151)",
                                             "Iron Sights"};
  using Lines = std::vector<std::string>;
  auto tail = [&](Lines head, const Lines& ammo) {
    head.insert(head.end(), features.begin(), features.end());
    head.insert(head.end(), ammo.begin(), ammo.end());
    return head;
  };
  const TailCase cases[] = {
      // 150 x 3.21 = 481.4999... -> 481; + 50 + 250 + 100.
      {"10 mm pistol", Worked(kPistol, kMedium, kFastAutoloader, kStandard, false, "9"), 10, 3.21,
       2.95, 0.013,
       tail({"Malf 17", "Cost $881", "HP: 4", "HT: 10", "DR: 4", " ", "Internal B Cell (UT19)"},
            {" ", "Ammunition", "10mmM (TL9)", "WPS 0.013", "CPS 0.0858", "LC 3"})},
      // 150 x 7.28 x 0.75 = 819; x 1.5 = 1228.5 -> 1228; + 100 + 250 + 100.
      {"7 mm liquid-propellant rifle", Worked(kRifle, kMedium, kLightAutomatic, kLiquid, true, "9"),
       7, 7.28, 6.92, 0.006,
       tail({"Malf Ver.", "Cost $1678", "HP: 8", "HT: 10", "DR: 4", " ",
             "Malf Ver. means that the weapon is very reliable: on an unmodified roll of 18, roll "
             "against unmodified weapon skill to verify the critical failure, with only a failure "
             "meaning a malfunction occurs. Otherwise, it is just a miss.",
             "Internal B Cell (UT19)"},
            {" ", "Ammunition", "7mmCLM-LP (TL9)", "WPS 0.006", "CPS 0.018", "LC 3"})},
      // 420 x 9.42 x 0.75 = 2967.3 -> 2967; + 100 + 250 + 100.
      {"4 mm Gauss rifle", Worked(kRifle, kLong, kLightAutomatic, kGauss, true, "10"), 4, 9.42,
       9.17, 0.005,
       tail({"Malf 18", "Cost $3417", "HP: 8", "HT: 10", "DR: 4", " ", "Internal B Cell (UT19)"},
            {" ", "Ammunition", "4mmCLL-GA (TL10)", "WPS 0.005", "CPS 0.05", "LC 3"})},
  };
  for (const TailCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(RunTail(c), c.lines);
  }
}

}  // namespace
}  // namespace brennick
