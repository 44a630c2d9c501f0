// The form as the window opens, and how option groups take their indices.
#include <gtest/gtest.h>

#include <cstddef>
#include <initializer_list>
#include <map>
#include <set>
#include <span>
#include <string>
#include <utility>

#include "engine/design.h"
#include "form/fields.h"
#include "form/form_model.h"
#include "form/form_state.h"
#include "tests/form/form_test_util.h"

namespace {

using namespace brennick;
using namespace brennick::formtest;

// The stored start state, not the one the rules would make: no mechanism is
// selected, yet RoF is disabled and "Caseless" is checked.
TEST(FormStartTest, EveryControlHoldsItsStoredValueAndEnabledState) {
  const std::set<std::string> disabled = {
      "ElectricBox",  "BipodBox", "ColdCountermassBox", "GunLauncherCheckBox", "BarrelsEdit",
      "ChambersEdit", "RoFEdit",  "GaussHCCBBox",       "TargetingSoftware"};
  const std::set<std::string> checked = {
      "CaselessBox",   "OnlyAuto", "HUDLinkBox", "MultispectralLaserSightBox", "RecognitionGripBox",
      "IronSightsBox", "RGPalm",   "HUDCable",   "DiagnosticComputerBox"};
  const std::set<std::string> unselected = {"ConfigurationBox", "BarrelBox", "LoadingMechanismBox"};
  const std::map<std::string, std::string> texts = {
      {"NameEdit", ""},     {"BoreSizeEdit", ""},  {"TLEdit", "9"},  {"PowerModEdit", "1"},
      {"BarrelsEdit", "1"}, {"ChambersEdit", "1"}, {"RoFEdit", "1"}, {"ShotsEdit", "1"},
      {"ArbWeight", "0"},   {"ArbCF", "0"}};
  for (const auto& names : {disabled, checked, unselected}) {
    for (const std::string& name : names) EXPECT_NE(FindFormField(name), nullptr) << name;
  }

  const FormState start;
  int textCount = 0;
  for (const FieldInfo& f : FormFields()) {
    std::string value;
    switch (f.kind) {
      case FieldKind::Text:
        ++textCount;
        value = texts.contains(f.name) ? texts.at(f.name) : "(none)";
        break;
      case FieldKind::Check:
        value = checked.contains(f.name) ? "x" : "-";
        break;
      case FieldKind::Group:
        value = unselected.contains(f.name) ? "-1" : "0";
        break;
    }
    const bool enabled = !disabled.contains(f.name);
    EXPECT_EQ(Snap(start, f.name), value + (enabled ? " on" : " off")) << f.name;
    EXPECT_EQ(f.startEnabled, enabled) << f.name;
  }
  EXPECT_EQ(textCount, 10);
  EXPECT_EQ(FormFields().size(), 71u);
  EXPECT_EQ(start.MaxRoFLabel, "Max RoF:");
  EXPECT_TRUE(start.Input() == DesignInput());
  EXPECT_TRUE(FormModel().state() == start);
}

// An index beyond the last item selects the last, one below -1 means -1;
// either way the group's rule runs as for the index it ends at.
TEST(FormStartTest, GroupIndicesAreClampedToTheirItems) {
  const std::map<std::string, int> itemCounts = {
      {"ConfigurationBox", 5}, {"BarrelBox", 3},       {"LoadingMechanismBox", 11},
      {"PropellantBox", 6},    {"PLBBox", 3},          {"GaussHCCBBox", 2},
      {"MuzzleBox", 5},        {"CamouflageBox", 7},   {"StylingBox", 4},
      {"QualityAccurate", 4},  {"QualityReliable", 4}, {"TargetingSoftware", 3}};
  int groups = 0;
  for (const FieldInfo& f : FormFields()) {
    if (f.kind != FieldKind::Group) continue;
    ++groups;
    ASSERT_TRUE(itemCounts.contains(f.name)) << f.name;
    const int last = itemCounts.at(f.name) - 1;
    EXPECT_EQ(f.items.size(), static_cast<std::size_t>(last + 1)) << f.name;
    const std::pair<int, int> cases[] = {{last + 1, last}, {last + 40, last}, {-2, -1}};
    for (const auto& [set, same] : cases) {
      FormModel clamped, exact;
      clamped.SetIndex(f, set);
      exact.SetIndex(f, same);
      EXPECT_EQ((clamped.state().*f.groupControl).index, same) << f.name << " " << set;
      EXPECT_TRUE(clamped.state() == exact.state()) << f.name << " " << set;
    }
  }
  EXPECT_EQ(groups, 12);
}

}  // namespace
