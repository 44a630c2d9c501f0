// The form member of design files: what it keeps beyond the design's values,
// a form opened without it, and the members it refuses.
#include "form/form_member.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <span>
#include <utility>

#include "form/fields.h"
#include "form/form_model.h"
#include "tests/form/form_test_util.h"
#include "tests/support/field_changes.h"

namespace {

using namespace brennick;
using namespace brennick::formtest;

// Every control of the field table, changed alone in value and enabled state,
// comes back exactly through the design's values and the member.
TEST(FormMemberTest, EveryControlComesBackWithItsEnabledState) {
  for (const FieldInfo& f : FormFields()) {
    for (const bool enabled : {true, false}) {
      FormState s = testing_support::WithFieldChanged(f, enabled, "12,7 x");
      s.MaxRoFLabel = "Max RoF: 183";
      const FormState back = FormOfDesign(s.Input(), FormMemberOf(s));
      ExpectSameForm(back, s);
    }
  }
}

TEST(FormMemberTest, FormsOfTheRulesAndTheGeneratorComeBack) {
  for (std::uint32_t seed = 0; seed < 300; ++seed) {
    FormModel model;
    model.Set(&FormState::OnlyAuto, seed % 2 == 0);
    model.RandomButtonClick(seed);
    const FormState& s = model.state();
    ASSERT_TRUE(FormOfDesign(s.Input(), FormMemberOf(s)) == s) << "seed " << seed;
  }
}

TEST(FormMemberTest, ADesignWithoutTheMemberOpensLikeTheStartForm) {
  DesignInput design;
  design.LoadingMechanismBox = kElectricGatling;
  design.BoreSizeEdit = "30";
  design.BarrelsEdit = "6";
  design.CaselessBox = false;
  design.RoFEdit = "40";
  // The values are set, but no rule runs: RoF and barrels stay disabled as
  // at start, the hint keeps its start caption, and "Gun/Launcher" and "Only
  // automatic" keep their start values.
  const FormState s = FormOfDesign(design);
  FormState expected =
      With(FormState(), "LoadingMechanismBox BoreSizeEdit BarrelsEdit CaselessBox RoFEdit",
           "10 on | 30 on | 6 off | - on | 40 off");
  ExpectSameForm(s, expected);
  ExpectSameForm(FormOfDesign(design, FormMember{}), expected);
}

TEST(FormMemberTest, EachMemberLeftOutKeepsTheStartForm) {
  FormMember member;
  member.maxRoFLabel = "RoF: 3-20";
  FormState s = FormOfDesign(DesignInput{}, member);
  EXPECT_EQ(s.MaxRoFLabel, "RoF: 3-20");
  EXPECT_FALSE(s.RoFEdit.enabled);  // start enabled states

  member = {};
  member.disabled = std::vector<std::string>{"NameEdit", "OnlyAuto"};
  member.onlyAuto = false;
  s = FormOfDesign(DesignInput{}, member);
  EXPECT_FALSE(s.NameEdit.enabled);
  EXPECT_EQ(s.OnlyAuto, (CheckControl{false, false}));
  EXPECT_TRUE(s.RoFEdit.enabled);  // a list of the disabled controls names them all
  EXPECT_EQ(s.MaxRoFLabel, kMaxRoFStart);
  EXPECT_EQ(s.GunLauncherCheckBox, (CheckControl{false, true}));
}

TEST(FormMemberTest, RefusesWhatTheFormCannotShow) {
  struct Case {
    const char* what;
    FormMember member;
    const char* message;
  } cases[] = {
      {"unknown control",
       {std::vector<std::string>{"RoFEdit", "RoFLabel"}, {}, {}, {}},
       "key \"Form\": \"Disabled\" names no control \"RoFLabel\""},
      {"a name in another case",
       {std::vector<std::string>{"roFEdit"}, {}, {}, {}},
       "key \"Form\": \"Disabled\" names no control \"roFEdit\""},
      {"listed twice",
       {std::vector<std::string>{"BipodBox", "ElectricBox", "BipodBox"}, {}, {}, {}},
       "key \"Form\": \"Disabled\" lists \"BipodBox\" twice"},
      {"caption",
       {{}, std::string("Max RoF: lots"), {}, {}},
       "key \"Form\": \"MaxRoFLabel\" is not a caption of the Max RoF hint"},
  };
  for (const Case& c : cases) {
    try {
      FormOfDesign(DesignInput{}, c.member);
      ADD_FAILURE() << c.what << ": accepted";
    } catch (const DesignError& e) {
      EXPECT_EQ(std::string(e.what()), c.message) << c.what;
    }
  }
}

TEST(FormMemberTest, CaptionsOfTheMaxRoFHint) {
  const std::pair<const char*, bool> cases[] = {
      {"Max RoF:", true},
      {"RoF: 3-16", true},
      {"RoF: 3-20", true},
      {"Max RoF: 0", true},
      {"Max RoF: 183", true},
      {"Max RoF: -50", true},  // a negative barrel count
      {"Max RoF: 9223372036854775807", true},
      {"", false},
      {"Max RoF", false},
      {"Max RoF: ", false},
      {"Max RoF: 12a", false},
      {"Max RoF: +3", false},
      {"Max RoF:  3", false},
      {"RoF: 3-17", false},
      {"max rof:", false},
      {"Max RoF: 12345678901234567890", false},
  };
  for (const auto& [caption, valid] : cases) EXPECT_EQ(IsMaxRoFCaption(caption), valid) << caption;
}

TEST(FormMemberTest, JsonOfTheStartForm) {
  EXPECT_EQ(FormMemberJson(FormMemberOf(FormState()), 2),
            "{\n"
            "    \"Disabled\": [\"BarrelsEdit\", \"ChambersEdit\", \"RoFEdit\", \"GaussHCCBBox\", "
            "\"TargetingSoftware\", \"ColdCountermassBox\", \"BipodBox\", \"ElectricBox\", "
            "\"GunLauncherCheckBox\"],\n"
            "    \"MaxRoFLabel\": \"Max RoF:\",\n"
            "    \"GunLauncherCheckBox\": false,\n"
            "    \"OnlyAuto\": true\n"
            "  }");
  EXPECT_EQ(FormMemberJson(FormMember{}, 0), "{}");
}

}  // namespace
