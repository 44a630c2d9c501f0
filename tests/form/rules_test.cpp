// The rules that keep the form plausible while it is edited, and the Max RoF
// hint beside the RoF field.
#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <tuple>
#include <vector>

#include "engine/design_error.h"
#include "form/fields.h"
#include "form/form_model.h"
#include "form/form_state.h"
#include "tests/form/form_test_util.h"

namespace {

using namespace brennick;
using namespace brennick::formtest;
using F = FormState;

// One change on a loaded form: the `controls` hold `before`, then the first
// of them changes to `value` (its rule runs), and they must read `after`.
struct Case {
  const char* controls;
  const char* before;
  const char* value;
  const char* after;
};

void RunCases(std::initializer_list<Case> cases) {
  for (const Case& c : cases) {
    FormModel model = ModelWith(With(FormState(), c.controls, c.before));
    Change(model, Split(c.controls, " ")[0], c.value);
    EXPECT_EQ(Snap(model.state(), c.controls), c.after)
        << c.controls << ": " << c.before << ", then " << c.value;
  }
}

std::string ErrorOf(FormModel& model, const std::string& control, const std::string& value) {
  try {
    Change(model, control, value);
  } catch (const DesignError& e) {
    return e.what();
  }
  return "";
}

// Every mechanism from a form whose fields hold other texts, once with the
// fields and "Electric Autoloader/Automatic" enabled and once disabled: the
// result depends on neither. Bore 30 and barrels 4 feed the hint.
TEST(FormRulesTest, EachLoadingMechanismSetsItsFieldsAndHint) {
  // Mechanism, TL; RoF, Shots, Chambers, Barrels, Electric, hint.
  const std::tuple<int, const char*, const char*> rows[] = {
      {0, "9", "1 off | 1 off | 1 off | 4 on | x off | Max RoF:"},
      {2, "9", "1 off | 1 off | 1 off | 4 on | x off | Max RoF:"},
      {3, "9", "1 off | 1 on | 1 off | 1 off | x off | Max RoF:"},
      // A revolver fires double-action from TL 6: RoF 3, else 1.
      {4, "9", "3 off | 1 off | 6 on | 1 off | x off | Max RoF:"},
      {4, " 6", "3 off | 1 off | 6 on | 1 off | x off | Max RoF:"},
      {4, "$5", "1 off | 1 off | 6 on | 1 off | x off | Max RoF:"},
      {5, "9", "15 off | 1 on | 1 off | 1 off | x off | Max RoF:"},
      {7, "9", "1 off | 1 on | 1 off | 1 off | x on | Max RoF:"},
      // 160 / 30 = 5.3; 400 / 30 = 13.3; 334 / 30 = 11.1 -> 11, times 4 barrels.
      {8, "9", "1 on | 1 on | 1 off | 1 off | x on | Max RoF: 5"},
      {9, "abc", "1 on | 1 on | 1 off | 1 off | x on | Max RoF: 13"},  // TL not read
      {10, "9", "1 on | 1 on | 1 off | 4 on | x off | Max RoF: 44"},
  };
  for (const auto& [m, tl, expected] : rows) {
    for (const std::string on : {" on", " off"}) {
      FormModel model = ModelWith(With(
          FormState(), "TLEdit BoreSizeEdit RoFEdit ShotsEdit ChambersEdit BarrelsEdit ElectricBox",
          std::string(tl) + " on | 30 on | 9" + on + " | 7" + on + " | 6" + on + " | 4" + on +
              " | x" + on));
      model.Set(&F::LoadingMechanismBox, m);
      EXPECT_EQ(
          Snap(model.state(), "RoFEdit ShotsEdit ChambersEdit BarrelsEdit ElectricBox MaxRoFLabel"),
          expected)
          << m << " TL '" << tl << "' fields" << on;
    }
  }
}

// Choosing a revolver with a TL that is not a whole number fails after the
// hint was reset and the chambers enabled; those stay, and nothing after the
// TL read happens: RoF, Shots, the electric box and Barrels keep their state.
TEST(FormRulesTest, RevolverWithABadTLKeepsWhatWasDoneBeforeTheFailure) {
  for (const std::string tl : {"", "abc", "6.0", "9 ", "2147483648"}) {
    const FormState before =
        With(FormState(),
             "LoadingMechanismBox RoFEdit ShotsEdit ChambersEdit BarrelsEdit "
             "ElectricBox TLEdit MaxRoFLabel",
             "10 on | 7 on | 20 on | 5 off | 4 on | x on | " + tl + " on | Max RoF: 44");
    FormModel model = ModelWith(before);
    EXPECT_EQ(ErrorOf(model, "LoadingMechanismBox", "4"),
              "'" + tl + "' is not a valid integer value");
    FormState expected = before;
    expected.LoadingMechanismBox.index = 4;
    expected.ChambersEdit.enabled = true;
    expected.MaxRoFLabel = "Max RoF:";
    ExpectSameForm(model.state(), expected);
  }
}

// With a revolver selected, editing the TL or the power modifier rereads
// the TL (the edited text stays when it fails); other mechanisms never read it.
TEST(FormRulesTest, TLAndPowerModEditsSetTheRevolversRoF) {
  // Mechanism, TL, the control edited and its new text; RoF, error.
  const std::tuple<int, const char*, const char*, const char*, const char*, const char*> rows[] = {
      {4, "9", "TLEdit", "5", "1 off", ""},
      {4, "5", "TLEdit", "0x10", "3 off", ""},
      {4, "9", "PowerModEdit", "2", "3 off", ""},
      {4, "9", "TLEdit", "", "8 off", "'' is not a valid integer value"},
      {4, "9", "TLEdit", "abc", "8 off", "'abc' is not a valid integer value"},
      {4, "abc", "PowerModEdit", "2", "8 off", "'abc' is not a valid integer value"},
      {8, "9", "TLEdit", "abc", "8 off", ""},
      {5, "abc", "PowerModEdit", "2", "8 off", ""},
  };
  for (const auto& [m, tl, control, text, rof, error] : rows) {
    FormModel model = ModelWith(With(FormState(), "LoadingMechanismBox TLEdit RoFEdit",
                                     std::to_string(m) + " on | " + tl + " on | 8 off"));
    EXPECT_EQ(ErrorOf(model, control, text), error) << control << " " << text;
    EXPECT_EQ(Snap(model.state(), std::string("RoFEdit ") + control),
              rof + std::string(" | ") + text + " on");
  }
}

// Every propellant from a form with the options it resets set otherwise,
// with "Caseless" checked or not before. Unchecking "Caseless" inside the
// propellant rule runs the caseless rule, which disables "Caseless Mods" and
// clears its selection after the propellant rule has set it.
TEST(FormRulesTest, EachPropellantSetsItsOptions) {
  // Propellant, mechanism, caseless before; mods, Gauss HCCB, recoilless,
  // cold, caseless, closed-bolt, electric.
  const std::tuple<int, int, bool, const char*> rows[] = {
      {0, 8, true, "-1 off | 0 off | - on | - off | - on | - on | - on"},
      {0, 8, false, "2 on | 0 off | - on | - off | - on | - on | - on"},
      {1, 8, true, "-1 off | 0 off | - on | - off | - on | - on | - on"},
      {1, 8, false, "0 off | 0 off | - on | - off | - on | - on | - on"},
      {2, 2, false, "2 on | 0 off | - on | - off | - on | - on | - on"},
      {3, 2, true, "-1 off | 0 off | - on | - off | - on | - on | - on"},
      {4, 8, true, "-1 off | 1 on | - off | - off | - off | - off | x off"},
      {4, 2, false, "0 off | 1 on | - off | - off | - off | - off | x off"},
      {5, 6, true, "-1 off | 1 on | - off | - off | - off | - off | x off"},
      {5, 5, false, "0 off | 1 on | - off | - off | - off | - off | - off"},
  };
  for (const auto& [p, m, caseless, expected] : rows) {
    FormModel model = ModelWith(
        With(FormState(),
             "PropellantBox LoadingMechanismBox CaselessBox PLBBox GaussHCCBBox RecoillessCheckBox "
             "ColdCountermassBox ClosedBoltBox ElectricBox",
             std::string(p == 3 ? "2" : "3") + " on | " + std::to_string(m) + " on | " +
                 (caseless ? "x" : "-") + " off | 2 off | 1 off | x off | x on | x off | - off"));
    model.Set(&F::PropellantBox, p);
    EXPECT_EQ(Snap(model.state(),
                   "PLBBox GaussHCCBBox RecoillessCheckBox ColdCountermassBox CaselessBox "
                   "ClosedBoltBox ElectricBox"),
              expected)
        << "propellant " << p << " mechanism " << m << " caseless " << caseless;
  }
}

TEST(FormRulesTest, CaselessConfigurationRecoillessAndExtraLow) {
  const char* caseless = "CaselessBox PLBBox";
  const char* config = "ConfigurationBox BipodBox RecoillessCheckBox ColdCountermassBox";
  const char* recoilless = "RecoillessCheckBox ColdCountermassBox";
  const char* extraLow = "ExtraLowBox PropellantBox ConfigurationBox RecoillessCheckBox";
  RunCases({
      {caseless, "- on | 2 off", "x", "x on | 2 on"},
      {caseless, "x on | 2 on", "-", "- on | -1 off"},
      // Long arms take a bipod and cannot be recoilless. Unchecking
      // "Recoilless" runs its rule, which disables "Cold Counter-Mass" and
      // leaves it checked; enabling "Recoilless" runs no rule.
      {config, "-1 on | x on | x off | x off", "0", "0 on | x off | x on | x off"},
      {config, "2 on | x on | - off | - off", "1", "1 on | x off | - on | - off"},
      {config, "-1 on | - off | x on | x on", "2", "2 on | - on | - off | x off"},
      {config, "0 on | x off | x on | - on", "3", "3 on | x on | - off | - off"},
      {config, "1 on | - off | - on | x on", "4", "4 on | - on | - off | x on"},  // no change
      {config, "4 on | x on | - off | - off", "-1", "-1 on | x off | - on | - off"},
      {recoilless, "- on | x off", "x", "x on | x on"},
      {recoilless, "x on | x on", "-", "- on | x off"},
      // Extra-low powder allows "Recoilless" except with Gauss and Grav;
      // otherwise a long arm disables it, without unchecking it.
      {extraLow, "- on | 0 on | 2 on | x off", "x", "x on | 0 on | 2 on | x on"},
      {extraLow, "- on | 3 on | -1 on | - off", "x", "x on | 3 on | -1 on | - on"},
      {extraLow, "- on | 4 on | 2 on | x on", "x", "x on | 4 on | 2 on | x off"},
      {extraLow, "- on | 5 on | 1 on | - off", "x", "x on | 5 on | 1 on | - off"},
      {extraLow, "x on | 0 on | 3 on | x on", "-", "- on | 0 on | 3 on | x off"},
      {extraLow, "x on | 0 on | 1 on | - off", "-", "- on | 0 on | 1 on | - off"},
  });
}

// "Cheap" is one quality for the whole gun. Each group's rule changes the
// other, whose rule runs nested before the first one goes on.
TEST(FormRulesTest, CheapQualityKeepsTheOtherGroupAtNormal) {
  const char* acc = "QualityAccurate QualityReliable";
  const char* rel = "QualityReliable QualityAccurate";
  RunCases({
      {rel, "0 on | 0 on", "3", "3 on | 0 off"},
      {rel, "0 on | 1 on", "3", "3 on | 0 off"},
      {rel, "3 on | 0 off", "1", "1 on | 0 on"},
      {acc, "0 on | 1 on", "3", "3 on | 0 off"},
      {acc, "3 on | 0 off", "2", "2 on | 0 on"},
      // Reliability leaving Cheap runs its rule, which enables accuracy again.
      {acc, "0 off | 3 on", "3", "3 on | 0 off"},
      {rel, "0 off | 3 on", "3", "3 on | 0 off"},
  });
}

TEST(FormRulesTest, FeatureOptionsFollowTheirFeature) {
  const char* grip = "RecognitionGripBox RGPalm RGVoice RGGlove RGIFF RGGPS";
  const char* diag = "DiagnosticComputerBox AntiTamper";
  const char* hud =
      "HUDLinkBox DataChip GreenEyes HUDCable MicroRadio SecureEncryption TinyComputer "
      "TargetingSoftware";
  const char* tiny = "TinyComputer TargetingSoftware";
  RunCases({
      {grip, "x on | x on | x on | x on | x on | x on", "-",
       "- on | - off | - off | - off | - off | - off"},
      {grip, "- on | x off | - off | x off | - off | x off", "x",
       "x on | x on | - on | x on | - on | x on"},
      {diag, "x on | x on", "-", "- on | - off"},
      {diag, "- on | x off", "x", "x on | x on"},
      {hud, "x on | x on | x on | x on | x on | x on | x on | 2 on", "-",
       "- on | - off | - off | - off | - off | - off | - off | 0 off"},
      // Enabling the options runs no rule: the software stays disabled.
      {hud, "- on | - off | x off | - off | x off | - off | x off | 1 off", "x",
       "x on | - on | x on | - on | x on | - on | x on | 1 off"},
      {tiny, "- on | 2 off", "x", "x on | 2 on"},
      {tiny, "x on | 2 on", "-", "- on | 0 off"},
  });

  // Off and on again: the options come back unchecked; the software waits
  // for the tiny computer.
  FormModel model;
  model.Set(&F::TinyComputer, true);
  model.Set(&F::HUDLinkBox, false);
  model.Set(&F::HUDLinkBox, true);
  EXPECT_EQ(Snap(model.state(), hud), "x on | - on | - on | - on | - on | - on | - on | 0 off");
  model.Set(&F::TinyComputer, true);
  EXPECT_EQ(Snap(model.state(), "TargetingSoftware"), "0 on");
}

// Setting a control to the value it holds notifies nothing: the rule's
// effect on a deliberately inconsistent form does not appear.
TEST(FormRulesTest, SettingTheSameValueRunsNoRule) {
  RunCases({
      {"LoadingMechanismBox RoFEdit", "5 on | 7 on", "5", "5 on | 7 on"},
      {"LoadingMechanismBox MaxRoFLabel", "10 on | stale", "99", "10 on | stale"},
      {"CaselessBox PLBBox", "x on | 2 off", "x", "x on | 2 off"},
      {"PropellantBox CaselessBox", "4 on | x on", "4", "4 on | x on"},
      {"ConfigurationBox BipodBox", "-1 on | x on", "-3", "-1 on | x on"},
      {"HUDLinkBox DataChip", "x on | x off", "x", "x on | x off"},
      {"BoreSizeEdit LoadingMechanismBox MaxRoFLabel", "30 on | 8 on | stale", "30",
       "30 on | 8 on | stale"},
      {"TLEdit LoadingMechanismBox RoFEdit", "9 on | 4 on | 8 off", "9", "9 on | 4 on | 8 off"},
  });
}

// The hint, run in full by a key press on the window. Rounding is to the
// nearest, ties to even; a bad bore or barrel count counts as 1.
TEST(FormRulesTest, MaxRoFHintByMechanismBoreAndBarrels) {
  // Decimal separator, mechanism, bore, barrels; hint.
  const std::tuple<char, int, const char*, const char*, const char*> rows[] = {
      {'.', 8, "12.7", "1", "Max RoF: 13"},  // 160 / 12.7 = 12.6
      {'.', 8, "10", "1", "RoF: 3-16"},
      {'.', 8, "", "1", "RoF: 3-16"},
      {'.', 8, "64", "1", "Max RoF: 2"},  // 2.5
      {'.', 9, "25", "1", "Max RoF: 16"},
      {'.', 9, "20", "1", "RoF: 3-20"},
      {'.', 9, "20.01", "1", "Max RoF: 20"},
      {'.', 9, "32", "1", "Max RoF: 12"},  // 12.5
      // Electric Gatling: above 20 mm the rounded bore quotient times the
      // barrels, else 16.67 per barrel, rounded once.
      {'.', 10, "30", "6", "Max RoF: 66"},
      {'.', 10, "7.62", "3", "Max RoF: 50"},
      {'.', 10, "7.62", "x", "Max RoF: 17"},
      {'.', 10, "", "11", "Max RoF: 183"},
      {'.', 10, "20.5", "2", "Max RoF: 32"},
      {'.', 10, "668", "5", "Max RoF: 0"},  // 0.5 rounds to 0 before the product
      {'.', 10, "21", "2147483647", "Max RoF: 34359738352"},
      {'.', 10, "21", "2147483648", "Max RoF: 16"},
      // The bore is read with the system's decimal separator.
      {',', 8, "12,7", "1", "Max RoF: 13"},
      {'.', 8, "12,7", "1", "RoF: 3-16"},
      {',', 10, "30,5", "2", "Max RoF: 22"},
      // Other mechanisms leave the caption alone.
      {'.', 5, "30", "2", "stale"},
      {'.', -1, "30", "2", "stale"},
  };
  for (const auto& [dec, m, bore, barrels, hint] : rows) {
    FormModel model =
        ModelWith(With(FormState(), "LoadingMechanismBox BoreSizeEdit BarrelsEdit MaxRoFLabel",
                       std::to_string(m) + " on | " + bore + " on | " + barrels + " on | stale"),
                  dec);
    model.FormKeyPress();
    EXPECT_EQ(model.state().MaxRoFLabel, hint)
        << m << " bore '" << bore << "' barrels '" << barrels << "' " << dec;
  }
}

// The bore reruns the whole hint; barrels and the two arbitrary extras only
// its Electric Gatling rows; TL and power modifier never. Each edit types 40
// into a form with bore 30 and 2 barrels: 160 / 40 = 4; 334 / 40 = 8.35 -> 8,
// times 2; 334 / 30 = 11.1 -> 11, times 40 or 2.
TEST(FormRulesTest, WhichEditsUpdateTheHint) {
  const std::tuple<int, const char*, const char*> rows[] = {
      {8, "BoreSizeEdit", "Max RoF: 4"},
      {10, "BoreSizeEdit", "Max RoF: 16"},
      {5, "BoreSizeEdit", "stale"},
      {8, "BarrelsEdit", "stale"},
      {10, "BarrelsEdit", "Max RoF: 440"},
      {10, "ArbWeight", "Max RoF: 22"},
      {10, "ArbCF", "Max RoF: 22"},
      {9, "ArbCF", "stale"},
      {9, "TLEdit", "stale"},
      {10, "PowerModEdit", "stale"},
  };
  for (const auto& [m, control, hint] : rows) {
    FormModel model =
        ModelWith(With(FormState(), "LoadingMechanismBox BoreSizeEdit BarrelsEdit MaxRoFLabel",
                       std::to_string(m) + " on | 30 on | 2 on | stale"));
    Change(model, control, "40");
    EXPECT_EQ(model.state().MaxRoFLabel, hint) << m << " " << control;
  }
}

// "Gun/Launcher" belongs to the generator: no rule changes it.
TEST(FormRulesTest, NoRuleTouchesTheGunLauncherBox) {
  for (const int m : {3, 4, 8, 10}) {
    FormModel model =
        ModelWith(With(FormState(), "LoadingMechanismBox PropellantBox GunLauncherCheckBox",
                       std::to_string(m) + " on | 4 on | x off"));
    for (const FieldInfo& f : FormFields()) {
      if (f.rule) (model.*f.rule)();
    }
    model.FormKeyPress();
    EXPECT_EQ(Snap(model.state(), "GunLauncherCheckBox"), "x off") << m;
  }
}

}  // namespace
