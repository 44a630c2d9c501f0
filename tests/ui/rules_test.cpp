// The interlock rules and the Max RoF hint, driven as a user does (clicks and
// typing) and by program steps (Change): both paths run the same rules.
#include <string>

#include "tests/ui/support.h"

namespace {

using namespace brennick;

enum class Path { User, Program };

class RulesTest : public FormTest {
 protected:
  void Select(TRadioGroup* group, int index, Path path = Path::User) {
    path == Path::User ? Choose(group, index) : form->Change(group, index);
  }
  void SetText(QLineEdit* edit, const QString& text, Path path = Path::User) {
    path == Path::User ? Type(edit, text) : form->Change(edit, text);
  }
  void Check(QCheckBox* box, bool checked, Path path = Path::User) {
    if (path == Path::Program) return form->Change(box, checked);
    if (box->isChecked() != checked) Click(box);
  }
  QString Hint() const { return Control<QLabel>(*form, "MaxRoFLabel")->text(); }
};

const char* Name(Path path) {
  return path == Path::User ? "user" : "program";
}

// RoF, Shots, Chambers, Barrels, Electric and the hint after selecting each
// mechanism. Barrels "4" and chambers "6" are set first so that a kept text
// shows; RoF and Shots start at "9"; the bore is empty (counts 1); TL is 9.
// The Gatling's hint is round(4 x 16.67) = round(66.68) = 67.
TEST_F(RulesTest, EachLoadingMechanismSetsItsFields) {
  const char* rows[] = {
      "1 off | 1 off | 1 off | 4 on | - off | Max RoF:",
      "1 off | 1 off | 1 off | 4 on | - off | Max RoF:",
      "1 off | 1 off | 1 off | 4 on | - off | Max RoF:",
      "1 off | 1 on | 1 off | 1 off | - off | Max RoF:",
      "3 off | 1 off | 6 on | 1 off | - off | Max RoF:",
      "15 off | 1 on | 1 off | 1 off | - off | Max RoF:",
      "1 off | 1 on | 1 off | 1 off | - on | Max RoF:",
      "1 off | 1 on | 1 off | 1 off | - on | Max RoF:",
      "1 on | 1 on | 1 off | 1 off | - on | RoF: 3-16",
      "1 on | 1 on | 1 off | 1 off | - on | RoF: 3-20",
      "1 on | 1 on | 1 off | 4 on | - off | Max RoF: 67",
  };
  for (const Path path : {Path::User, Path::Program}) {
    for (int m = kMuzzleloader; m <= kElectricGatling; ++m) {
      SetUp();
      form->Change(Control<QLineEdit>(*form, "BarrelsEdit"), QStringLiteral("4"));
      form->Change(Control<QLineEdit>(*form, "ChambersEdit"), QStringLiteral("6"));
      form->Change(Control<QLineEdit>(*form, "RoFEdit"), QStringLiteral("9"));
      form->Change(Control<QLineEdit>(*form, "ShotsEdit"), QStringLiteral("9"));
      Select(Control<TRadioGroup>(*form, "LoadingMechanismBox"), m, path);
      EXPECT_EQ(
          Snap({Control<QLineEdit>(*form, "RoFEdit"), Control<QLineEdit>(*form, "ShotsEdit"),
                Control<QLineEdit>(*form, "ChambersEdit"), Control<QLineEdit>(*form, "BarrelsEdit"),
                Control<QCheckBox>(*form, "ElectricBox"), Control<QLabel>(*form, "MaxRoFLabel")}),
          rows[m])
          << "mechanism " << m << " " << Name(path);
      EXPECT_TRUE(errors.isEmpty());
    }
  }
}

TEST_F(RulesTest, MaxRoFHintFollowsMechanismBoreAndBarrels) {
  struct Row {
    int m;
    QString bore;
    const char* barrels;  // typed for the Gatling only
    const char* hint;
  };
  const Row rows[] = {
      {kLightAutomatic, Decimal("12", "7"), nullptr, "Max RoF: 13"},  // 160 / 12.7 = 12.6
      {kLightAutomatic, "10", nullptr, "RoF: 3-16"},
      {kLightAutomatic, "", nullptr, "RoF: 3-16"},
      {kLightAutomatic, "64", nullptr, "Max RoF: 2"},  // 2.5, ties to even
      {kHeavyAutomatic, "25", nullptr, "Max RoF: 16"},
      {kHeavyAutomatic, "20", nullptr, "RoF: 3-20"},
      {kElectricGatling, "30", "6", "Max RoF: 66"},                // 334 / 30 = 11.1 -> 11, x 6
      {kElectricGatling, Decimal("7", "62"), "3", "Max RoF: 50"},  // 3 x 16.67 = 50.01
      {kElectricGatling, Decimal("7", "62"), "x", "Max RoF: 17"},  // 1 x 16.67
      {kElectricGatling, "abc", "11", "Max RoF: 183"},
  };
  for (const Path path : {Path::User, Path::Program}) {
    for (const Row& row : rows) {
      SetUp();
      Select(Control<TRadioGroup>(*form, "LoadingMechanismBox"), row.m, path);
      if (row.barrels)
        SetText(Control<QLineEdit>(*form, "BarrelsEdit"), QLatin1String(row.barrels), path);
      SetText(Control<QLineEdit>(*form, "BoreSizeEdit"), row.bore, path);
      EXPECT_EQ(Hint(), QLatin1String(row.hint)) << row.bore.toStdString() << " " << Name(path);
    }
  }
}

TEST_F(RulesTest, BarrelsAndExtrasRefreshTheHintOnlyForTheGatling) {
  Choose(Control<TRadioGroup>(*form, "LoadingMechanismBox"), kLightAutomatic);
  Type(Control<QLineEdit>(*form, "BoreSizeEdit"), QStringLiteral("40"));
  for (QLineEdit* edit :
       {Control<QLineEdit>(*form, "BarrelsEdit"), Control<QLineEdit>(*form, "ArbWeight"),
        Control<QLineEdit>(*form, "ArbCF")}) {
    Control<QLabel>(*form, "MaxRoFLabel")->setText(QStringLiteral("stale"));
    form->Change(edit, QStringLiteral("2"));
    EXPECT_EQ(Hint(), QStringLiteral("stale")) << edit->objectName().toStdString();
  }
  Choose(Control<TRadioGroup>(*form, "LoadingMechanismBox"), kElectricGatling);
  for (QLineEdit* edit :
       {Control<QLineEdit>(*form, "BarrelsEdit"), Control<QLineEdit>(*form, "ArbWeight"),
        Control<QLineEdit>(*form, "ArbCF")}) {
    Control<QLabel>(*form, "MaxRoFLabel")->setText(QStringLiteral("stale"));
    Type(edit, QStringLiteral("6"));
    EXPECT_EQ(Hint(), QStringLiteral("Max RoF: 48")) << edit->objectName().toStdString();
  }
  // Another mechanism resets the hint, and then the bore leaves it alone.
  Choose(Control<TRadioGroup>(*form, "LoadingMechanismBox"), kMechanicalGatling);
  Type(Control<QLineEdit>(*form, "BoreSizeEdit"), QStringLiteral("30"));
  EXPECT_EQ(Hint(), QStringLiteral("Max RoF:"));
}

TEST_F(RulesTest, KeyPressRefreshesTheHintOnlyWhenNoControlHasTheFocus) {
  Choose(Control<TRadioGroup>(*form, "LoadingMechanismBox"), kLightAutomatic);
  Type(Control<QLineEdit>(*form, "BoreSizeEdit"), Decimal("12", "7"));
  // A key the focused field does not use travels on to the window; it is
  // still the field's key.
  Control<QLineEdit>(*form, "BoreSizeEdit")->setFocus();
  Control<QLabel>(*form, "MaxRoFLabel")->setText(QStringLiteral("stale"));
  QTest::keyClick(Control<QLineEdit>(*form, "BoreSizeEdit"), Qt::Key_F5);
  QTest::keyClick(form.get(), Qt::Key_A);
  EXPECT_EQ(Hint(), QStringLiteral("stale"));

  QWidget* surface = form->findChild<QWidget*>(QStringLiteral("FormSurface"));
  surface->setFocus();
  QTest::keyClick(surface, Qt::Key_A);
  EXPECT_EQ(Hint(), QStringLiteral("Max RoF: 13"));
}

TEST_F(RulesTest, RevolverRoFFollowsTheTL) {
  Choose(Control<TRadioGroup>(*form, "LoadingMechanismBox"), kRevolver);
  EXPECT_EQ(Snap({Control<QLineEdit>(*form, "RoFEdit"), Control<QLineEdit>(*form, "ChambersEdit"),
                  Control<QLineEdit>(*form, "ShotsEdit")}),
            "3 off | 1 on | 1 off");
  Type(Control<QLineEdit>(*form, "TLEdit"), QStringLiteral("5"));
  EXPECT_EQ(Control<QLineEdit>(*form, "RoFEdit")->text(), QStringLiteral("1"));
  form->Change(Control<QLineEdit>(*form, "RoFEdit"), QStringLiteral("8"));
  Type(Control<QLineEdit>(*form, "PowerModEdit"), QStringLiteral("2"));  // runs the TL rule too
  EXPECT_EQ(Control<QLineEdit>(*form, "RoFEdit")->text(), QStringLiteral("1"));
  ASSERT_TRUE(errors.isEmpty());

  Type(Control<QLineEdit>(*form, "TLEdit"), QString());
  EXPECT_EQ(errors, QStringList{"'' is not a valid integer value"});
  EXPECT_EQ(Control<QLineEdit>(*form, "RoFEdit")->text(), QStringLiteral("1"));
  Type(Control<QLineEdit>(*form, "TLEdit"), QStringLiteral("6"));  // still usable
  EXPECT_EQ(Control<QLineEdit>(*form, "RoFEdit")->text(), QStringLiteral("3"));
  EXPECT_EQ(errors.size(), 1);
}

TEST_F(RulesTest, RevolverWithABadTLStopsHalfWay) {
  Choose(Control<TRadioGroup>(*form, "LoadingMechanismBox"), kLightAutomatic);
  Type(Control<QLineEdit>(*form, "RoFEdit"), QStringLiteral("12"));
  Type(Control<QLineEdit>(*form, "ShotsEdit"), QStringLiteral("30"));
  Type(Control<QLineEdit>(*form, "TLEdit"),
       QStringLiteral("nine"));  // not read while M is not the revolver
  ASSERT_TRUE(errors.isEmpty());

  Choose(Control<TRadioGroup>(*form, "LoadingMechanismBox"), kRevolver);
  EXPECT_EQ(errors, QStringList{"'nine' is not a valid integer value"});
  // Hint reset and chambers enabled; RoF, Shots, Electric, Barrels untouched.
  EXPECT_EQ(
      Snap({Control<TRadioGroup>(*form, "LoadingMechanismBox"),
            Control<QLabel>(*form, "MaxRoFLabel"), Control<QLineEdit>(*form, "ChambersEdit"),
            Control<QLineEdit>(*form, "RoFEdit"), Control<QLineEdit>(*form, "ShotsEdit"),
            Control<QCheckBox>(*form, "ElectricBox"), Control<QLineEdit>(*form, "BarrelsEdit")}),
      "4 on | Max RoF: | 1 on | 12 on | 30 on | - on | 1 off");

  Choose(Control<TRadioGroup>(*form, "LoadingMechanismBox"), kLightAutomatic);
  EXPECT_THROW(form->Change(Control<TRadioGroup>(*form, "LoadingMechanismBox"), kRevolver),
               DesignError);
}

TEST_F(RulesTest, SameValueRunsNothing) {
  Choose(Control<TRadioGroup>(*form, "LoadingMechanismBox"), kRevolver);
  form->Change(Control<QLineEdit>(*form, "RoFEdit"), QStringLiteral("7"));
  form->Change(Control<QLineEdit>(*form, "TLEdit"), QStringLiteral("9"));
  form->Change(Control<TRadioGroup>(*form, "PropellantBox"),
               kStandard);  // its rule would uncheck "Caseless"
  EXPECT_EQ(Snap({Control<QLineEdit>(*form, "RoFEdit"), Control<QCheckBox>(*form, "CaselessBox")}),
            "7 off | x on");

  // Typing a field's own text over it changes nothing either, though Qt
  // reports the edit: RoF keeps the 7 the TL rule would overwrite, and a bad
  // TL is reported once, not again for every retyped power modifier.
  Type(Control<QLineEdit>(*form, "PowerModEdit"), QStringLiteral("1"));
  Type(Control<QLineEdit>(*form, "TLEdit"), QStringLiteral("9"));
  EXPECT_EQ(Control<QLineEdit>(*form, "RoFEdit")->text(), QStringLiteral("7"));
  Type(Control<QLineEdit>(*form, "TLEdit"), QStringLiteral("x"));
  Type(Control<QLineEdit>(*form, "PowerModEdit"), QStringLiteral("1"));
  EXPECT_EQ(errors, QStringList{"'x' is not a valid integer value"});
}

TEST_F(RulesTest, PropellantResetsTheCaselessChoices) {
  Choose(Control<TRadioGroup>(*form, "PropellantBox"),
         kETC);  // "Caseless" was checked: its rule clears the mods
  EXPECT_EQ(Snap({Control<QCheckBox>(*form, "CaselessBox"), Control<TRadioGroup>(*form, "PLBBox"),
                  Control<TRadioGroup>(*form, "GaussHCCBBox")}),
            "- on | -1 off | 0 off");
  Click(Control<QCheckBox>(*form, "CaselessBox"));
  Choose(Control<TRadioGroup>(*form, "PLBBox"), kHighCyclic);
  Choose(Control<TRadioGroup>(*form, "PropellantBox"), kStandard);
  EXPECT_EQ(Snap({Control<QCheckBox>(*form, "CaselessBox"), Control<TRadioGroup>(*form, "PLBBox")}),
            "- on | -1 off");

  // "Caseless" already unchecked: the mods are enabled and keep their choice.
  form->Change(Control<TRadioGroup>(*form, "PLBBox"), kPreloaded);
  Choose(Control<TRadioGroup>(*form, "PropellantBox"), kETK);
  EXPECT_EQ(Snap({Control<QCheckBox>(*form, "CaselessBox"), Control<TRadioGroup>(*form, "PLBBox")}),
            "- on | 2 on");
  Choose(Control<TRadioGroup>(*form, "PropellantBox"), kLiquid);
  EXPECT_EQ(Snap({Control<QCheckBox>(*form, "CaselessBox"), Control<TRadioGroup>(*form, "PLBBox")}),
            "- on | 0 off");
}

TEST_F(RulesTest, GaussAndGravMakeTheGunElectric) {
  for (const Path path : {Path::User, Path::Program}) {
    SetUp();
    Select(Control<TRadioGroup>(*form, "LoadingMechanismBox"), kLightAutomatic, path);
    for (QCheckBox* box : {Control<QCheckBox>(*form, "RecoillessCheckBox"),
                           Control<QCheckBox>(*form, "ColdCountermassBox"),
                           Control<QCheckBox>(*form, "ClosedBoltBox")}) {
      Check(box, true, path);
    }
    Select(Control<TRadioGroup>(*form, "PropellantBox"), kGauss, path);
    EXPECT_EQ(
        Snap({Control<QCheckBox>(*form, "ElectricBox"), Control<TRadioGroup>(*form, "GaussHCCBBox"),
              Control<QCheckBox>(*form, "RecoillessCheckBox"),
              Control<QCheckBox>(*form, "ColdCountermassBox"),
              Control<QCheckBox>(*form, "CaselessBox"), Control<QCheckBox>(*form, "ClosedBoltBox"),
              Control<TRadioGroup>(*form, "PLBBox")}),
        "x off | 0 on | - off | - off | - off | - off | -1 off")
        << Name(path);
    Select(Control<TRadioGroup>(*form, "PropellantBox"), kStandard, path);
    EXPECT_EQ(
        Snap({Control<QCheckBox>(*form, "ElectricBox"), Control<TRadioGroup>(*form, "GaussHCCBBox"),
              Control<QCheckBox>(*form, "RecoillessCheckBox"),
              Control<QCheckBox>(*form, "ColdCountermassBox"),
              Control<QCheckBox>(*form, "CaselessBox"),
              Control<QCheckBox>(*form, "ClosedBoltBox")}),
        "x on | 0 off | - on | - off | - on | - on")
        << Name(path);
  }
  // Grav checks "Electric" only for mechanisms after the mechanical Gatling.
  SetUp();
  Choose(Control<TRadioGroup>(*form, "LoadingMechanismBox"), kManualRepeater);
  Choose(Control<TRadioGroup>(*form, "PropellantBox"), kGrav);
  EXPECT_EQ(Snap({Control<QCheckBox>(*form, "ElectricBox")}), "- off");
  Choose(Control<TRadioGroup>(*form, "LoadingMechanismBox"), kHeavyAutomatic);
  Choose(Control<TRadioGroup>(*form, "PropellantBox"), kETC);
  Choose(Control<TRadioGroup>(*form, "PropellantBox"), kGrav);
  EXPECT_EQ(Snap({Control<QCheckBox>(*form, "ElectricBox")}), "x on");
}

TEST_F(RulesTest, ConfigurationAndExtraLowPowderAgainstRecoilless) {
  Click(Control<QCheckBox>(*form, "RecoillessCheckBox"));
  Click(Control<QCheckBox>(*form, "ColdCountermassBox"));
  Choose(Control<TRadioGroup>(*form, "ConfigurationBox"), kRifle);
  // Bipod allowed; recoilless unchecked and disabled; cold counter-mass
  // disabled but still checked.
  EXPECT_EQ(
      Snap({Control<QCheckBox>(*form, "BipodBox"), Control<QCheckBox>(*form, "RecoillessCheckBox"),
            Control<QCheckBox>(*form, "ColdCountermassBox")}),
      "- on | - off | x off");
  Choose(Control<TRadioGroup>(*form, "ConfigurationBox"), kSMG);
  EXPECT_EQ(Snap({Control<QCheckBox>(*form, "BipodBox"),
                  Control<QCheckBox>(*form, "RecoillessCheckBox")}),
            "- off | - on");

  // Recoilless enabled with extra-low powder (checked, unchecked) per case.
  struct Row {
    int configuration, propellant;
    const char* states;
  };
  for (const Row& row : {Row{kRifle, kStandard, "on off"}, Row{kCannon, kETK, "on off"},
                         Row{kRifle, kGauss, "off off"}, Row{kPistol, kStandard, "on on"},
                         Row{kPistol, kGrav, "off off"}}) {
    SetUp();
    Choose(Control<TRadioGroup>(*form, "ConfigurationBox"), row.configuration);
    Choose(Control<TRadioGroup>(*form, "PropellantBox"), row.propellant);
    QStringList states;
    for (int i = 0; i < 2; ++i) {
      Click(Control<QCheckBox>(*form, "ExtraLowBox"));
      states << (Control<QCheckBox>(*form, "RecoillessCheckBox")->isEnabled() ? "on" : "off");
    }
    EXPECT_EQ(states.join(' '), QLatin1String(row.states))
        << row.configuration << " " << row.propellant;
  }
}

TEST_F(RulesTest, CheapQualityIsForTheWholeGun) {
  for (const Path path : {Path::User, Path::Program}) {
    SetUp();
    Select(Control<TRadioGroup>(*form, "QualityAccurate"), kVeryFine, path);
    Select(Control<TRadioGroup>(*form, "QualityReliable"), kCheap, path);
    EXPECT_EQ(Snap({Control<TRadioGroup>(*form, "QualityAccurate"),
                    Control<TRadioGroup>(*form, "QualityReliable")}),
              "0 off | 3 on")
        << Name(path);
    Select(Control<TRadioGroup>(*form, "QualityReliable"), kFine, path);
    EXPECT_EQ(Snap({Control<TRadioGroup>(*form, "QualityAccurate"),
                    Control<TRadioGroup>(*form, "QualityReliable")}),
              "0 on | 1 on")
        << Name(path);
    Select(Control<TRadioGroup>(*form, "QualityAccurate"), kCheap, path);
    EXPECT_EQ(Snap({Control<TRadioGroup>(*form, "QualityAccurate"),
                    Control<TRadioGroup>(*form, "QualityReliable")}),
              "3 on | 0 off")
        << Name(path);
    Select(Control<TRadioGroup>(*form, "QualityAccurate"), kFine, path);
    EXPECT_EQ(Snap({Control<TRadioGroup>(*form, "QualityAccurate"),
                    Control<TRadioGroup>(*form, "QualityReliable")}),
              "1 on | 0 on")
        << Name(path);
  }
}

TEST_F(RulesTest, FeatureOptionsFollowTheirFeature) {
  Click(Control<QCheckBox>(*form, "RGGlove"));
  Click(Control<QCheckBox>(*form, "AntiTamper"));
  Click(Control<QCheckBox>(*form, "DataChip"));
  Click(Control<QCheckBox>(*form, "TinyComputer"));
  Choose(Control<TRadioGroup>(*form, "TargetingSoftware"), 1);
  const auto options = [this] {
    return Snap({Control<QCheckBox>(*form, "RGPalm"), Control<QCheckBox>(*form, "RGVoice"),
                 Control<QCheckBox>(*form, "RGGlove"), Control<QCheckBox>(*form, "RGIFF"),
                 Control<QCheckBox>(*form, "RGGPS"), Control<QCheckBox>(*form, "AntiTamper"),
                 Control<QCheckBox>(*form, "DataChip"), Control<QCheckBox>(*form, "GreenEyes"),
                 Control<QCheckBox>(*form, "HUDCable"), Control<QCheckBox>(*form, "MicroRadio"),
                 Control<QCheckBox>(*form, "SecureEncryption"),
                 Control<QCheckBox>(*form, "TinyComputer"),
                 Control<TRadioGroup>(*form, "TargetingSoftware")});
  };
  ASSERT_EQ(options(),
            "x on | - on | x on | - on | - on | x on | x on | - on | x on | - on | - on | x on | "
            "1 on");
  for (QCheckBox* feature : {Control<QCheckBox>(*form, "RecognitionGripBox"),
                             Control<QCheckBox>(*form, "DiagnosticComputerBox"),
                             Control<QCheckBox>(*form, "HUDLinkBox")}) {
    Click(feature);
  }
  EXPECT_EQ(options(),
            "- off | - off | - off | - off | - off | - off | - off | - off | - off | - off | - off "
            "| - off | 0 off");
  for (QCheckBox* feature : {Control<QCheckBox>(*form, "RecognitionGripBox"),
                             Control<QCheckBox>(*form, "DiagnosticComputerBox"),
                             Control<QCheckBox>(*form, "HUDLinkBox")}) {
    Click(feature);
  }
  // Back on, unchecked; the software waits for the tiny computer.
  EXPECT_EQ(options(),
            "- on | - on | - on | - on | - on | - on | - on | - on | - on | - on | - on | - on | "
            "0 off");
  Click(Control<QCheckBox>(*form, "TinyComputer"));
  EXPECT_EQ(Snap({Control<TRadioGroup>(*form, "TargetingSoftware")}), "0 on");
}

}  // namespace
