// The field and the rule a failed run names: the field whose strict read
// stopped the run, in the order the run reads them when several are
// unreadable, and no field when the arithmetic stopped it.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "engine/design.h"

namespace brennick {
namespace {

using Field = std::string DesignInput::*;

// A Rifle with a 7 mm bore at TL 9: every strict field reads well.
DesignInput Rifle() {
  DesignInput in;
  in.BoreSizeEdit = "7";
  in.ConfigurationBox = kRifle;
  in.BarrelBox = kMedium;
  return in;
}

struct Case {
  const char* why;
  std::function<void(DesignInput&)> change;
  Field field;       // null: the arithmetic stopped the run
  const char* rule;  // null: the run went through
  const char* message;
};

const std::vector<Case>& Cases() {
  static const std::vector<Case> cases = {
      {"the bore", [](DesignInput& in) { in.BoreSizeEdit = "x"; }, &DesignInput::BoreSizeEdit,
       "damage", "'x' is not a valid floating point value"},
      {"the power modifier", [](DesignInput& in) { in.PowerModEdit = "p"; },
       &DesignInput::PowerModEdit, "damage", "'p' is not a valid floating point value"},
      // The bore is read before the power modifier, both before any TL.
      {"bore, power modifier and TL: the bore first",
       [](DesignInput& in) {
         in.BoreSizeEdit = "x";
         in.PowerModEdit = "x";
         in.TLEdit = "x";
       },
       &DesignInput::BoreSizeEdit, "damage", "'x' is not a valid floating point value"},
      {"power modifier and TL: the power modifier first",
       [](DesignInput& in) {
         in.PowerModEdit = "p";
         in.TLEdit = "t";
       },
       &DesignInput::PowerModEdit, "damage", "'p' is not a valid floating point value"},
      // A Rifle's damage reads the TL.
      {"TL, read by a Rifle's damage", [](DesignInput& in) { in.TLEdit = "t"; },
       &DesignInput::TLEdit, "damage", "'t' is not a valid integer value"},
      // A Cannon's damage and range have no TL factor; the malfunction number
      // is the first to read it.
      {"TL, read by a Cannon's malfunction number",
       [](DesignInput& in) {
         in.ConfigurationBox = kCannon;
         in.TLEdit = "t";
       },
       &DesignInput::TLEdit, "malfunction and cost", "'t' is not a valid integer value"},
      // High-cyclic bursts read the RoF for the RoF line.
      {"RoF, read for high-cyclic bursts",
       [](DesignInput& in) {
         in.LoadingMechanismBox = kLightAutomatic;
         in.PLBBox = kHighCyclic;
         in.RoFEdit = "r";
       },
       &DesignInput::RoFEdit, "rate of fire", "'r' is not a valid integer value"},
      {"RoF and TL on a Rifle: the damage reads TL first",
       [](DesignInput& in) {
         in.LoadingMechanismBox = kLightAutomatic;
         in.PLBBox = kHighCyclic;
         in.RoFEdit = "x";
         in.TLEdit = "x";
       },
       &DesignInput::TLEdit, "damage", "'x' is not a valid integer value"},
      {"RoF and TL on a Gauss cannon: the RoF first",
       [](DesignInput& in) {
         in.ConfigurationBox = kCannon;
         in.PropellantBox = kGauss;
         in.LoadingMechanismBox = kLightAutomatic;
         in.RoFEdit = "x";
         in.TLEdit = "x";
       },
       &DesignInput::RoFEdit, "rate of fire", "'x' is not a valid integer value"},
      {"TL on a Gauss cannon whose RoF reads",
       [](DesignInput& in) {
         in.ConfigurationBox = kCannon;
         in.PropellantBox = kGauss;
         in.LoadingMechanismBox = kLightAutomatic;
         in.RoFEdit = "12";
         in.TLEdit = "x";
       },
       &DesignInput::TLEdit, "malfunction and cost", "'x' is not a valid integer value"},
      // A negative bore reads well; the range's square root of it fails.
      {"arithmetic", [](DesignInput& in) { in.BoreSizeEdit = "-7"; }, nullptr, "range",
       "Invalid floating point operation"},
      {"a sound design", [](DesignInput&) {}, nullptr, nullptr, nullptr},
  };
  return cases;
}

TEST(FailingFieldTest, TheRunNamesTheFieldAndRuleItStoppedOn) {
  for (const Case& c : Cases()) {
    DesignInput in = Rifle();
    c.change(in);
    for (const Explain explain : {Explain::No, Explain::Yes}) {
      const DesignResult result = RunDesign(in, '.', explain);
      const std::string why = std::string(c.why) + (explain == Explain::Yes ? ", explained" : "");
      EXPECT_EQ(result.error.value_or(""), c.message ? c.message : "") << why;
      EXPECT_EQ(result.failedField, c.field) << why;
      EXPECT_STREQ(result.failedRule, c.rule) << why;
      if (explain == Explain::No || !c.field) continue;
      // The derivation of the failing read names the same rule and field.
      const StrictField* field = FindStrictField(c.field);
      ASSERT_NE(field, nullptr) << why;
      ASSERT_FALSE(result.explain.empty()) << why;
      ASSERT_FALSE(result.explain.back().empty()) << why;
      EXPECT_EQ(result.explain.back().front(),
                std::string("The ") + c.rule + " reads " + field->caption + ".")
          << why;
    }
  }
}

// Every strict field of the field list is the one at fault in some case
// above, so a new strict field needs a case of its own.
TEST(FailingFieldTest, EveryStrictFieldHasACase) {
  for (const StrictField& field : kStrictFields) {
    EXPECT_TRUE(std::any_of(Cases().begin(), Cases().end(), [&](const Case& c) {
      return c.field == field.text;
    })) << field.caption;
  }
  // The four the run reads strictly, and how.
  const std::set<std::pair<std::string, bool>> expected = {
      {"TL", true}, {"Bore Size, mm", false}, {"PowerMod", false}, {"RoF", true}};
  std::set<std::pair<std::string, bool>> listed;
  for (const StrictField& field : kStrictFields) listed.insert({field.caption, field.wholeNumber});
  EXPECT_EQ(listed, expected);
  EXPECT_EQ(FindStrictField(&DesignInput::ShotsEdit), nullptr);
  EXPECT_EQ(FindStrictField(nullptr), nullptr);
}

}  // namespace
}  // namespace brennick
