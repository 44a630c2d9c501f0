// Power supply notes: the one line naming the bottle or cell that feeds a gun.
#include <gtest/gtest.h>

#include <string>

#include "design.h"

namespace brennick {
namespace {

Statblock Note(int propellant, int configuration, bool house, bool paper) {
  DesignInput in;
  in.PropellantBox = propellant;
  in.ConfigurationBox = configuration;
  in.HouseETCBox = house;
  in.PaperBox = paper;
  Statblock lines;
  DesignRun run{in, '.', {}, lines};
  RunPowerNoteStage(run);
  return lines;
}

std::string Removable(const char* cell, int seconds) {
  return std::string("Removable ") + cell +
         " cell (UT19) provides power to fire 10 magazines of ammunition. Takes " +
         std::to_string(seconds) + " seconds to reload.";
}

std::string RemovablePaper(const char* cell, int seconds) {
  return std::string("Removable ") + cell +
         " paper cell (P#3-12, p. 12) provides power to fire 10 magazines of ammunition. Takes " +
         std::to_string(seconds) + " seconds to reload.";
}

const char* const kBottle =
    "A propellant bottle can fire three magazines of shots and takes five seconds to reload.";

TEST(PowerNoteStage, Lines) {
  struct Case {
    const char* name;
    int propellant;
    int configuration;
    bool house;
    bool paper;
    Statblock lines;
  };
  const Case cases[] = {
      {"liquid pistol", kLiquid, kPistol, false, false, {kBottle}},
      {"liquid cannon", kLiquid, kCannon, false, true, {kBottle}},
      {"liquid, no configuration", kLiquid, -1, false, false, {kBottle}},
      {"ETC pistol", kETC, kPistol, false, false, {Removable("A", 3)}},
      {"ETC SMG, paper", kETC, kSMG, false, true, {RemovablePaper("B", 3)}},
      {"ETC rifle, house rule changes nothing", kETC, kRifle, true, false, {Removable("C", 3)}},
      {"ETC support", kETC, kSupport, false, false, {Removable("D", 5)}},
      {"ETC support, paper", kETC, kSupport, false, true, {RemovablePaper("D", 6)}},
      {"ETK pistol", kETK, kPistol, false, false, {Removable("B", 3)}},
      {"ETK SMG", kETK, kSMG, false, false, {Removable("C", 3)}},
      {"ETK rifle", kETK, kRifle, false, false, {Removable("D", 5)}},
      {"house-ruled ETK rifle", kETK, kRifle, true, false, {Removable("C", 3)}},
      {"house-ruled ETK pistol, paper", kETK, kPistol, true, true, {RemovablePaper("A", 3)}},
      {"ETK support", kETK, kSupport, false, false, {Removable("E", 10)}},
      {"ETK support, paper",
       kETK,
       kSupport,
       false,
       true,
       {"Removable E paper cell (P#3-12, p. 12) provides power to fire 10 magazines of "
        "ammunition. Takes 12 seconds to reload."}},
      {"Gauss pistol",
       kGauss,
       kPistol,
       false,
       false,
       {"The B cell (UT19) that powers the weapon provides enough energy for firing its "
        "specified number of Shots, and is included in the weight."}},
      {"Grav SMG",
       kGrav,
       kSMG,
       false,
       false,
       {"The two B cells (UT19) that power the weapon provide enough energy for firing its "
        "specified number of Shots, and are included in the weight."}},
      {"Gauss SMG, paper",
       kGauss,
       kSMG,
       false,
       true,
       {"The two B paper cells (P#3-12, p. 12) that power the weapon provide enough energy for "
        "firing its specified number of Shots, and are included in the weight."}},
      {"Gauss rifle, paper",
       kGauss,
       kRifle,
       false,
       true,
       {"The C paper cell (P#3-12, p. 12) that powers the weapon provides enough energy for "
        "firing its specified number of Shots, and is included in the weight."}},
      {"Grav support",
       kGrav,
       kSupport,
       true,
       false,
       {"The D cell (UT19) that powers the weapon provides enough energy for firing its "
        "specified number of Shots, and is included in the weight."}},
      {"standard propellant", kStandard, kRifle, false, false, {}},
      {"no propellant", -1, kRifle, false, false, {}},
      {"ETC cannon", kETC, kCannon, false, false, {}},
      {"ETK cannon", kETK, kCannon, false, false, {}},
      {"Gauss cannon", kGauss, kCannon, false, false, {}},
      {"Grav cannon", kGrav, kCannon, false, true, {}},
      {"ETC, no configuration", kETC, -1, false, false, {}},
      {"Gauss, no configuration", kGauss, -1, false, false, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Note(c.propellant, c.configuration, c.house, c.paper), c.lines);
  }
}

}  // namespace
}  // namespace brennick
