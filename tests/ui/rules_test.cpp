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
  QString Hint() const { return form->MaxRoFLabel->text(); }
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
      form->Change(form->BarrelsEdit, QStringLiteral("4"));
      form->Change(form->ChambersEdit, QStringLiteral("6"));
      form->Change(form->RoFEdit, QStringLiteral("9"));
      form->Change(form->ShotsEdit, QStringLiteral("9"));
      Select(form->LoadingMechanismBox, m, path);
      EXPECT_EQ(Snap({form->RoFEdit, form->ShotsEdit, form->ChambersEdit, form->BarrelsEdit,
                      form->ElectricBox, form->MaxRoFLabel}),
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
      Select(form->LoadingMechanismBox, row.m, path);
      if (row.barrels) SetText(form->BarrelsEdit, QLatin1String(row.barrels), path);
      SetText(form->BoreSizeEdit, row.bore, path);
      EXPECT_EQ(Hint(), QLatin1String(row.hint)) << row.bore.toStdString() << " " << Name(path);
    }
  }
}

TEST_F(RulesTest, BarrelsAndExtrasRefreshTheHintOnlyForTheGatling) {
  Choose(form->LoadingMechanismBox, kLightAutomatic);
  Type(form->BoreSizeEdit, QStringLiteral("40"));
  for (QLineEdit* edit : {form->BarrelsEdit, form->ArbWeight, form->ArbCF}) {
    form->MaxRoFLabel->setText(QStringLiteral("stale"));
    form->Change(edit, QStringLiteral("2"));
    EXPECT_EQ(Hint(), QStringLiteral("stale")) << edit->objectName().toStdString();
  }
  Choose(form->LoadingMechanismBox, kElectricGatling);
  for (QLineEdit* edit : {form->BarrelsEdit, form->ArbWeight, form->ArbCF}) {
    form->MaxRoFLabel->setText(QStringLiteral("stale"));
    Type(edit, QStringLiteral("6"));
    EXPECT_EQ(Hint(), QStringLiteral("Max RoF: 48")) << edit->objectName().toStdString();
  }
  // Another mechanism resets the hint, and then the bore leaves it alone.
  Choose(form->LoadingMechanismBox, kMechanicalGatling);
  Type(form->BoreSizeEdit, QStringLiteral("30"));
  EXPECT_EQ(Hint(), QStringLiteral("Max RoF:"));
}

TEST_F(RulesTest, KeyPressRefreshesTheHintOnlyWhenNoControlHasTheFocus) {
  Choose(form->LoadingMechanismBox, kLightAutomatic);
  Type(form->BoreSizeEdit, Decimal("12", "7"));
  // A key the focused field does not use travels on to the window; it is
  // still the field's key.
  form->BoreSizeEdit->setFocus();
  form->MaxRoFLabel->setText(QStringLiteral("stale"));
  QTest::keyClick(form->BoreSizeEdit, Qt::Key_F5);
  QTest::keyClick(form.get(), Qt::Key_A);
  EXPECT_EQ(Hint(), QStringLiteral("stale"));

  QWidget* surface = form->findChild<QWidget*>(QStringLiteral("FormSurface"));
  surface->setFocus();
  QTest::keyClick(surface, Qt::Key_A);
  EXPECT_EQ(Hint(), QStringLiteral("Max RoF: 13"));
}

TEST_F(RulesTest, RevolverRoFFollowsTheTL) {
  Choose(form->LoadingMechanismBox, kRevolver);
  EXPECT_EQ(Snap({form->RoFEdit, form->ChambersEdit, form->ShotsEdit}), "3 off | 1 on | 1 off");
  Type(form->TLEdit, QStringLiteral("5"));
  EXPECT_EQ(form->RoFEdit->text(), QStringLiteral("1"));
  form->Change(form->RoFEdit, QStringLiteral("8"));
  Type(form->PowerModEdit, QStringLiteral("2"));  // runs the TL rule too
  EXPECT_EQ(form->RoFEdit->text(), QStringLiteral("1"));
  ASSERT_TRUE(errors.isEmpty());

  Type(form->TLEdit, QString());
  EXPECT_EQ(errors, QStringList{"'' is not a valid integer value"});
  EXPECT_EQ(form->RoFEdit->text(), QStringLiteral("1"));
  Type(form->TLEdit, QStringLiteral("6"));  // still usable
  EXPECT_EQ(form->RoFEdit->text(), QStringLiteral("3"));
  EXPECT_EQ(errors.size(), 1);
}

TEST_F(RulesTest, RevolverWithABadTLStopsHalfWay) {
  Choose(form->LoadingMechanismBox, kLightAutomatic);
  Type(form->RoFEdit, QStringLiteral("12"));
  Type(form->ShotsEdit, QStringLiteral("30"));
  Type(form->TLEdit, QStringLiteral("nine"));  // not read while M is not the revolver
  ASSERT_TRUE(errors.isEmpty());

  Choose(form->LoadingMechanismBox, kRevolver);
  EXPECT_EQ(errors, QStringList{"'nine' is not a valid integer value"});
  // Hint reset and chambers enabled; RoF, Shots, Electric, Barrels untouched.
  EXPECT_EQ(Snap({form->LoadingMechanismBox, form->MaxRoFLabel, form->ChambersEdit, form->RoFEdit,
                  form->ShotsEdit, form->ElectricBox, form->BarrelsEdit}),
            "4 on | Max RoF: | 1 on | 12 on | 30 on | - on | 1 off");

  Choose(form->LoadingMechanismBox, kLightAutomatic);
  EXPECT_THROW(form->Change(form->LoadingMechanismBox, kRevolver), DesignError);
}

TEST_F(RulesTest, SameValueRunsNothing) {
  Choose(form->LoadingMechanismBox, kRevolver);
  form->Change(form->RoFEdit, QStringLiteral("7"));
  form->Change(form->TLEdit, QStringLiteral("9"));
  form->Change(form->PropellantBox, kStandard);  // its rule would uncheck "Caseless"
  EXPECT_EQ(Snap({form->RoFEdit, form->CaselessBox}), "7 off | x on");

  // Typing a field's own text over it changes nothing either, though Qt
  // reports the edit: RoF keeps the 7 the TL rule would overwrite, and a bad
  // TL is reported once, not again for every retyped power modifier.
  Type(form->PowerModEdit, QStringLiteral("1"));
  Type(form->TLEdit, QStringLiteral("9"));
  EXPECT_EQ(form->RoFEdit->text(), QStringLiteral("7"));
  Type(form->TLEdit, QStringLiteral("x"));
  Type(form->PowerModEdit, QStringLiteral("1"));
  EXPECT_EQ(errors, QStringList{"'x' is not a valid integer value"});
}

TEST_F(RulesTest, PropellantResetsTheCaselessChoices) {
  Choose(form->PropellantBox, kETC);  // "Caseless" was checked: its rule clears the mods
  EXPECT_EQ(Snap({form->CaselessBox, form->PLBBox, form->GaussHCCBBox}), "- on | -1 off | 0 off");
  Click(form->CaselessBox);
  Choose(form->PLBBox, kHighCyclic);
  Choose(form->PropellantBox, kStandard);
  EXPECT_EQ(Snap({form->CaselessBox, form->PLBBox}), "- on | -1 off");

  // "Caseless" already unchecked: the mods are enabled and keep their choice.
  form->Change(form->PLBBox, kPreloaded);
  Choose(form->PropellantBox, kETK);
  EXPECT_EQ(Snap({form->CaselessBox, form->PLBBox}), "- on | 2 on");
  Choose(form->PropellantBox, kLiquid);
  EXPECT_EQ(Snap({form->CaselessBox, form->PLBBox}), "- on | 0 off");
}

TEST_F(RulesTest, GaussAndGravMakeTheGunElectric) {
  for (const Path path : {Path::User, Path::Program}) {
    SetUp();
    Select(form->LoadingMechanismBox, kLightAutomatic, path);
    for (QCheckBox* box :
         {form->RecoillessCheckBox, form->ColdCountermassBox, form->ClosedBoltBox}) {
      Check(box, true, path);
    }
    Select(form->PropellantBox, kGauss, path);
    EXPECT_EQ(
        Snap({form->ElectricBox, form->GaussHCCBBox, form->RecoillessCheckBox,
              form->ColdCountermassBox, form->CaselessBox, form->ClosedBoltBox, form->PLBBox}),
        "x off | 0 on | - off | - off | - off | - off | -1 off")
        << Name(path);
    Select(form->PropellantBox, kStandard, path);
    EXPECT_EQ(Snap({form->ElectricBox, form->GaussHCCBBox, form->RecoillessCheckBox,
                    form->ColdCountermassBox, form->CaselessBox, form->ClosedBoltBox}),
              "x on | 0 off | - on | - off | - on | - on")
        << Name(path);
  }
  // Grav checks "Electric" only for mechanisms after the mechanical Gatling.
  SetUp();
  Choose(form->LoadingMechanismBox, kManualRepeater);
  Choose(form->PropellantBox, kGrav);
  EXPECT_EQ(Snap({form->ElectricBox}), "- off");
  Choose(form->LoadingMechanismBox, kHeavyAutomatic);
  Choose(form->PropellantBox, kETC);
  Choose(form->PropellantBox, kGrav);
  EXPECT_EQ(Snap({form->ElectricBox}), "x on");
}

TEST_F(RulesTest, ConfigurationAndExtraLowPowderAgainstRecoilless) {
  Click(form->RecoillessCheckBox);
  Click(form->ColdCountermassBox);
  Choose(form->ConfigurationBox, kRifle);
  // Bipod allowed; recoilless unchecked and disabled; cold counter-mass
  // disabled but still checked.
  EXPECT_EQ(Snap({form->BipodBox, form->RecoillessCheckBox, form->ColdCountermassBox}),
            "- on | - off | x off");
  Choose(form->ConfigurationBox, kSMG);
  EXPECT_EQ(Snap({form->BipodBox, form->RecoillessCheckBox}), "- off | - on");

  // Recoilless enabled with extra-low powder (checked, unchecked) per case.
  struct Row {
    int configuration, propellant;
    const char* states;
  };
  for (const Row& row : {Row{kRifle, kStandard, "on off"}, Row{kCannon, kETK, "on off"},
                         Row{kRifle, kGauss, "off off"}, Row{kPistol, kStandard, "on on"},
                         Row{kPistol, kGrav, "off off"}}) {
    SetUp();
    Choose(form->ConfigurationBox, row.configuration);
    Choose(form->PropellantBox, row.propellant);
    QStringList states;
    for (int i = 0; i < 2; ++i) {
      Click(form->ExtraLowBox);
      states << (form->RecoillessCheckBox->isEnabled() ? "on" : "off");
    }
    EXPECT_EQ(states.join(' '), QLatin1String(row.states))
        << row.configuration << " " << row.propellant;
  }
}

TEST_F(RulesTest, CheapQualityIsForTheWholeGun) {
  for (const Path path : {Path::User, Path::Program}) {
    SetUp();
    Select(form->QualityAccurate, kVeryFine, path);
    Select(form->QualityReliable, kCheap, path);
    EXPECT_EQ(Snap({form->QualityAccurate, form->QualityReliable}), "0 off | 3 on") << Name(path);
    Select(form->QualityReliable, kFine, path);
    EXPECT_EQ(Snap({form->QualityAccurate, form->QualityReliable}), "0 on | 1 on") << Name(path);
    Select(form->QualityAccurate, kCheap, path);
    EXPECT_EQ(Snap({form->QualityAccurate, form->QualityReliable}), "3 on | 0 off") << Name(path);
    Select(form->QualityAccurate, kFine, path);
    EXPECT_EQ(Snap({form->QualityAccurate, form->QualityReliable}), "1 on | 0 on") << Name(path);
  }
}

TEST_F(RulesTest, FeatureOptionsFollowTheirFeature) {
  Click(form->RGGlove);
  Click(form->AntiTamper);
  Click(form->DataChip);
  Click(form->TinyComputer);
  Choose(form->TargetingSoftware, 1);
  const auto options = [this] {
    return Snap({form->RGPalm, form->RGVoice, form->RGGlove, form->RGIFF, form->RGGPS,
                 form->AntiTamper, form->DataChip, form->GreenEyes, form->HUDCable,
                 form->MicroRadio, form->SecureEncryption, form->TinyComputer,
                 form->TargetingSoftware});
  };
  ASSERT_EQ(options(),
            "x on | - on | x on | - on | - on | x on | x on | - on | x on | - on | - on | x on | "
            "1 on");
  for (QCheckBox* feature :
       {form->RecognitionGripBox, form->DiagnosticComputerBox, form->HUDLinkBox}) {
    Click(feature);
  }
  EXPECT_EQ(options(),
            "- off | - off | - off | - off | - off | - off | - off | - off | - off | - off | - off "
            "| - off | 0 off");
  for (QCheckBox* feature :
       {form->RecognitionGripBox, form->DiagnosticComputerBox, form->HUDLinkBox}) {
    Click(feature);
  }
  // Back on, unchecked; the software waits for the tiny computer.
  EXPECT_EQ(options(),
            "- on | - on | - on | - on | - on | - on | - on | - on | - on | - on | - on | - on | "
            "0 off");
  Click(form->TinyComputer);
  EXPECT_EQ(Snap({form->TargetingSoftware}), "0 on");
}

}  // namespace
