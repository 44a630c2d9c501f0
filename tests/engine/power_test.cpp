// Power supply notes: the one line naming the bottle or cell that feeds a gun.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "tests/engine/stage_test_util.h"

namespace brennick {
namespace {

std::string Removable(const std::string& cell, int seconds) {
  return "Removable " + cell + " provides power to fire 10 magazines of ammunition. Takes " +
         std::to_string(seconds) + " seconds to reload.";
}

TEST(PowerNoteStage, Lines) {
  const std::pair<const char*, std::string> cases[] = {
      {"PropellantBox=1 ConfigurationBox=4",
       "A propellant bottle can fire three magazines of shots and takes five seconds to reload."},
      {"PropellantBox=2 ConfigurationBox=0", Removable("A cell (UT19)", 3)},
      {"PropellantBox=2 ConfigurationBox=3 PaperBox=1",
       Removable("D paper cell (P#3-12, p. 12)", 6)},
      {"PropellantBox=3 ConfigurationBox=2", Removable("D cell (UT19)", 5)},
      {"PropellantBox=3 ConfigurationBox=2 HouseETCBox=1", Removable("C cell (UT19)", 3)},
      {"PropellantBox=3 ConfigurationBox=3", Removable("E cell (UT19)", 10)},
      {"PropellantBox=3 ConfigurationBox=3 PaperBox=1",
       "Removable E paper cell (P#3-12, p. 12) provides power to fire 10 magazines of "
       "ammunition. Takes 12 seconds to reload."},
      {"PropellantBox=4 ConfigurationBox=0",
       "The B cell (UT19) that powers the weapon provides enough energy for firing its specified "
       "number of Shots, and is included in the weight."},
      {"PropellantBox=5 ConfigurationBox=1 PaperBox=1",
       "The two B paper cells (P#3-12, p. 12) that power the weapon provide enough energy for "
       "firing its specified number of Shots, and are included in the weight."},
      {"PropellantBox=0 ConfigurationBox=2", ""},
      {"PropellantBox=3 ConfigurationBox=4", ""},
      {"PropellantBox=4 ConfigurationBox=-1", ""},
  };
  for (const auto& [edits, line] : cases) {
    SCOPED_TRACE(edits);
    EXPECT_EQ(test::RunStage(RunPowerNoteStage, test::Form(edits), {}).lines, line);
  }
}

}  // namespace
}  // namespace brennick
