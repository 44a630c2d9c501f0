// The interlock rules and the Max RoF hint, driven both as a user does
// (clicks and typing) and by program steps: both paths run the same rules.
#include <QLabel>
#include <QScrollArea>
#include <string>

#include "support.h"

namespace {

using namespace brennick;

// How the change is made: by the user, or by a program step.
enum class Path { User, Program };

class RulesTest : public FormTest {
 protected:
  void Select(TRadioGroup* group, int index, Path path = Path::User) {
    if (path == Path::User) {
      Choose(group, index);
    } else {
      form->Change(group, index);
    }
  }
  void SetText(QLineEdit* edit, const QString& text, Path path = Path::User) {
    if (path == Path::User) {
      Type(edit, text);
    } else {
      form->Change(edit, text);
    }
  }
  void SetChecked(QCheckBox* box, bool checked, Path path = Path::User) {
    if (path == Path::User) {
      if (box->isChecked() != checked) Click(box);
    } else {
      form->Change(box, checked);
    }
  }
  QLabel* LabelOf(QLineEdit* edit) const {
    for (QLabel* label : form->findChildren<QLabel*>()) {
      if (label->buddy() == edit) return label;
    }
    return nullptr;
  }
  // A field is its text and its enabled state, shared with its label.
  void ExpectField(QLineEdit* edit, const char* text, bool enabled, const std::string& where) {
    EXPECT_EQ(edit->text(), QLatin1String(text))
        << where << " " << edit->objectName().toStdString();
    EXPECT_EQ(edit->isEnabled(), enabled) << where << " " << edit->objectName().toStdString();
    QLabel* label = LabelOf(edit);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->isEnabled(), enabled)
        << where << " label of " << edit->objectName().toStdString();
  }
  void ExpectBox(QCheckBox* box, bool checked, bool enabled, const std::string& where = "") {
    EXPECT_EQ(box->isChecked(), checked) << where << " " << box->objectName().toStdString();
    EXPECT_EQ(box->isEnabled(), enabled) << where << " " << box->objectName().toStdString();
  }
  void ExpectGroup(TRadioGroup* group, int index, bool enabled, const std::string& where = "") {
    EXPECT_EQ(group->itemIndex(), index) << where << " " << group->objectName().toStdString();
    EXPECT_EQ(group->isEnabled(), enabled) << where << " " << group->objectName().toStdString();
  }
  QString Hint() const { return form->MaxRoFLabel->text(); }
};

// --- Loading mechanism -------------------------------------------------------

struct MechanismRow {
  int m;
  const char* rof;
  bool rofOn;
  bool shotsOn;
  const char* chambers;
  bool chambersOn;
  const char* barrels;
  bool barrelsOn;
  bool electricOn;
  const char* hint;
};

// Barrels "4" and chambers "6" are typed first, so a kept text shows as such;
// the bore is empty (counts 1), TL is 9. The Gatling's hint is 4 x 16.67 =
// 66.68 -> 67.
constexpr MechanismRow kMechanismRows[] = {
    {kMuzzleloader, "1", false, false, "1", false, "4", true, false, "Max RoF:"},
    {kMuzzleloaderCarriage, "1", false, false, "1", false, "4", true, false, "Max RoF:"},
    {kBreechloader, "1", false, false, "1", false, "4", true, false, "Max RoF:"},
    {kManualRepeater, "1", false, true, "1", false, "1", false, false, "Max RoF:"},
    {kRevolver, "3", false, false, "6", true, "1", false, false, "Max RoF:"},
    {kMechanicalGatling, "15", false, true, "1", false, "1", false, false, "Max RoF:"},
    {kSlowAutoloader, "1", false, true, "1", false, "1", false, true, "Max RoF:"},
    {kFastAutoloader, "1", false, true, "1", false, "1", false, true, "Max RoF:"},
    {kLightAutomatic, "1", true, true, "1", false, "1", false, true, "RoF: 3-16"},
    {kHeavyAutomatic, "1", true, true, "1", false, "1", false, true, "RoF: 3-20"},
    {kElectricGatling, "1", true, true, "1", false, "4", true, false, "Max RoF: 67"},
};

TEST_F(RulesTest, EachLoadingMechanismSetsItsFields) {
  for (const Path path : {Path::User, Path::Program}) {
    for (const MechanismRow& row : kMechanismRows) {
      SetUp();
      const std::string where =
          "mechanism " + std::to_string(row.m) + (path == Path::User ? " (user)" : " (program)");
      for (QLineEdit* edit :
           {form->BarrelsEdit, form->ChambersEdit, form->RoFEdit, form->ShotsEdit}) {
        edit->setEnabled(true);  // so that the user can type into it
      }
      SetText(form->BarrelsEdit, QStringLiteral("4"), path);
      SetText(form->ChambersEdit, QStringLiteral("6"), path);
      SetText(form->RoFEdit, QStringLiteral("9"), path);
      SetText(form->ShotsEdit, QStringLiteral("9"), path);
      Select(form->LoadingMechanismBox, row.m, path);

      ExpectField(form->RoFEdit, row.rof, row.rofOn, where);
      ExpectField(form->ShotsEdit, "1", row.shotsOn, where);
      ExpectField(form->ChambersEdit, row.chambers, row.chambersOn, where);
      ExpectField(form->BarrelsEdit, row.barrels, row.barrelsOn, where);
      EXPECT_EQ(form->ElectricBox->isEnabled(), row.electricOn) << where;
      EXPECT_FALSE(form->ElectricBox->isChecked()) << where;
      EXPECT_EQ(Hint(), QLatin1String(row.hint)) << where;
      EXPECT_TRUE(errors.isEmpty()) << where;
    }
  }
}

TEST_F(RulesTest, ElectricBoxKeepsItsCheckWhenDisabled) {
  Select(form->LoadingMechanismBox, kLightAutomatic);
  Click(form->ElectricBox);
  Select(form->LoadingMechanismBox, kManualRepeater);
  ExpectBox(form->ElectricBox, true, false);
}

// --- The Max RoF hint ---------------------------------------------------------

struct HintRow {
  int m;
  const char* whole;     // the bore typed, whole part
  const char* fraction;  // and fraction (nullptr: none)
  const char* barrels;   // typed for the Gatling only
  const char* hint;
};

constexpr HintRow kHintRows[] = {
    {kLightAutomatic, "12", "7", nullptr, "Max RoF: 13"},  // 160 / 12.7 = 12.6
    {kLightAutomatic, "10", nullptr, nullptr, "RoF: 3-16"},
    {kLightAutomatic, "", nullptr, nullptr, "RoF: 3-16"},
    {kLightAutomatic, "abc", nullptr, nullptr, "RoF: 3-16"},
    {kLightAutomatic, "64", nullptr, nullptr, "Max RoF: 2"},  // 2.5, ties to even
    {kHeavyAutomatic, "25", nullptr, nullptr, "Max RoF: 16"},
    {kHeavyAutomatic, "20", nullptr, nullptr, "RoF: 3-20"},
    {kHeavyAutomatic, "80", nullptr, nullptr, "Max RoF: 5"},
    {kElectricGatling, "30", nullptr, "6", "Max RoF: 66"},  // 334 / 30 -> 11, x 6
    {kElectricGatling, "40", nullptr, "3", "Max RoF: 24"},  // 8.35 -> 8, x 3
    {kElectricGatling, "7", "62", "3", "Max RoF: 50"},      // 3 x 16.67 = 50.01
    {kElectricGatling, "7", "62", "x", "Max RoF: 17"},      // 1 x 16.67
    {kElectricGatling, "20", nullptr, "11", "Max RoF: 183"},
};

TEST_F(RulesTest, MaxRoFHintFollowsMechanismBoreAndBarrels) {
  for (const Path path : {Path::User, Path::Program}) {
    for (const HintRow& row : kHintRows) {
      SetUp();
      const QString bore =
          row.fraction ? Decimal(row.whole, row.fraction) : QLatin1String(row.whole);
      const std::string where = bore.toStdString() +
                                (row.barrels ? std::string(" x ") + row.barrels : "") +
                                (path == Path::User ? " (user)" : " (program)");
      Select(form->LoadingMechanismBox, row.m, path);
      if (row.barrels) SetText(form->BarrelsEdit, QLatin1String(row.barrels), path);
      SetText(form->BoreSizeEdit, bore, path);
      EXPECT_EQ(Hint(), QLatin1String(row.hint)) << where;
    }
  }
}

TEST_F(RulesTest, BarrelsAndArbitraryExtrasUpdateTheHintOnlyForTheGatling) {
  Select(form->LoadingMechanismBox, kLightAutomatic);
  Type(form->BoreSizeEdit, QStringLiteral("40"));
  ASSERT_EQ(Hint(), QStringLiteral("Max RoF: 4"));
  for (QLineEdit* edit : {form->BarrelsEdit, form->ArbWeight, form->ArbCF}) {
    form->MaxRoFLabel->setText(QStringLiteral("stale"));
    form->Change(edit, QStringLiteral("2"));
    EXPECT_EQ(Hint(), QStringLiteral("stale")) << edit->objectName().toStdString();
  }

  Select(form->LoadingMechanismBox, kElectricGatling);
  Type(form->BarrelsEdit, QStringLiteral("6"));
  ASSERT_EQ(Hint(), QStringLiteral("Max RoF: 48"));  // 334 / 40 = 8.35 -> 8, x 6
  for (QLineEdit* edit : {form->ArbWeight, form->ArbCF}) {
    form->MaxRoFLabel->setText(QStringLiteral("stale"));
    Type(edit, QStringLiteral("3"));
    EXPECT_EQ(Hint(), QStringLiteral("Max RoF: 48")) << edit->objectName().toStdString();
  }
  Type(form->BarrelsEdit, QStringLiteral("7"));
  EXPECT_EQ(Hint(), QStringLiteral("Max RoF: 56"));
}

TEST_F(RulesTest, OtherMechanismsLeaveTheHintAlone) {
  Select(form->LoadingMechanismBox, kHeavyAutomatic);
  Type(form->BoreSizeEdit, QStringLiteral("25"));
  ASSERT_EQ(Hint(), QStringLiteral("Max RoF: 16"));
  Select(form->LoadingMechanismBox, kMechanicalGatling);
  EXPECT_EQ(Hint(), QStringLiteral("Max RoF:"));
  Type(form->BoreSizeEdit, QStringLiteral("30"));
  EXPECT_EQ(Hint(), QStringLiteral("Max RoF:"));
}

TEST_F(RulesTest, KeyPressReachesTheHintOnlyWhenNoControlHasTheFocus) {
  Select(form->LoadingMechanismBox, kLightAutomatic);
  Type(form->BoreSizeEdit, Decimal("12", "7"));
  ASSERT_EQ(Hint(), QStringLiteral("Max RoF: 13"));

  // A key the bore field does not use travels on to the window: it is still
  // the field's key.
  form->BoreSizeEdit->setFocus();
  form->MaxRoFLabel->setText(QStringLiteral("stale"));
  QTest::keyClick(form->BoreSizeEdit, Qt::Key_F5);
  QTest::keyClick(form.get(), Qt::Key_A);
  EXPECT_EQ(Hint(), QStringLiteral("stale"));

  // With the bare form focused, the window receives the key itself.
  form->findChild<QWidget*>(QStringLiteral("FormSurface"))->setFocus();
  QTest::keyClick(form.get(), Qt::Key_A);
  EXPECT_EQ(Hint(), QStringLiteral("Max RoF: 13"));
  form->MaxRoFLabel->setText(QStringLiteral("stale"));
  QTest::keyClick(form->findChild<QWidget*>(QStringLiteral("FormSurface")), Qt::Key_A);
  EXPECT_EQ(Hint(), QStringLiteral("Max RoF: 13"));
}

// --- Revolver and TL ------------------------------------------------------------

TEST_F(RulesTest, RevolverRoFFollowsTheTL) {
  Select(form->LoadingMechanismBox, kRevolver);
  ExpectField(form->RoFEdit, "3", false, "TL 9");
  ExpectField(form->ChambersEdit, "1", true, "TL 9");

  Type(form->TLEdit, QStringLiteral("5"));
  ExpectField(form->RoFEdit, "1", false, "TL 5");
  Type(form->TLEdit, QStringLiteral("6"));
  ExpectField(form->RoFEdit, "3", false, "TL 6");
  EXPECT_TRUE(errors.isEmpty());

  // Editing the power modifier runs the same rule and reads TL again.
  form->Change(form->RoFEdit, QStringLiteral("8"));
  Type(form->PowerModEdit, QStringLiteral("2"));
  ExpectField(form->RoFEdit, "3", false, "power modifier");

  Type(form->TLEdit, QString());
  EXPECT_EQ(errors, QStringList{"'' is not a valid integer value"});
  ExpectField(form->RoFEdit, "3", false, "empty TL");
  Type(form->PowerModEdit, QStringLiteral("1"));
  EXPECT_EQ(errors.size(), 2);

  // The window stays usable.
  Type(form->TLEdit, QStringLiteral("4"));
  ExpectField(form->RoFEdit, "1", false, "TL 4");
  EXPECT_EQ(errors.size(), 2);
}

TEST_F(RulesTest, RevolverWithABadTLStopsHalfWay) {
  Select(form->LoadingMechanismBox, kLightAutomatic);
  Type(form->RoFEdit, QStringLiteral("12"));
  Type(form->ShotsEdit, QStringLiteral("30"));
  Type(form->TLEdit, QStringLiteral("nine"));  // not read while M is not the revolver
  ASSERT_TRUE(errors.isEmpty());
  ASSERT_EQ(Hint(), QStringLiteral("RoF: 3-16"));

  Select(form->LoadingMechanismBox, kRevolver);
  EXPECT_EQ(errors, QStringList{"'nine' is not a valid integer value"});
  EXPECT_EQ(form->LoadingMechanismBox->itemIndex(), kRevolver);
  EXPECT_EQ(Hint(), QStringLiteral("Max RoF:"));
  ExpectField(form->ChambersEdit, "1", true, "chambers");
  ExpectField(form->RoFEdit, "12", true, "rof");
  ExpectField(form->ShotsEdit, "30", true, "shots");
  EXPECT_TRUE(form->ElectricBox->isEnabled());  // step 5 never ran

  // A program step meets the same failure as an exception of its own.
  Select(form->LoadingMechanismBox, kLightAutomatic);
  EXPECT_THROW(form->Change(form->LoadingMechanismBox, kRevolver), DesignError);
}

TEST_F(RulesTest, SameValueRunsNothing) {
  Select(form->LoadingMechanismBox, kRevolver);
  form->Change(form->RoFEdit, QStringLiteral("7"));
  form->Change(form->TLEdit, QStringLiteral("9"));
  EXPECT_EQ(form->RoFEdit->text(), QStringLiteral("7"));

  form->Change(form->PropellantBox, kStandard);
  Click(form->PropellantBox->button(kStandard));
  ExpectBox(form->CaselessBox, true, true);  // the propellant rule would uncheck it
  ExpectGroup(form->PLBBox, kPLBNone, true);

  Click(form->BipodBox);  // disabled: the click does nothing
  ExpectBox(form->BipodBox, false, false);
}

// --- Propellant ---------------------------------------------------------------------

TEST_F(RulesTest, ChemicalPropellantResetsTheCaselessChoices) {
  // From the start state: caseless checked, Standard selected.
  Select(form->PropellantBox, kETC);
  ExpectBox(form->CaselessBox, false, true, "ETC");
  ExpectGroup(form->PLBBox, -1, false, "ETC");  // the caseless rule cleared it
  ExpectGroup(form->GaussHCCBBox, 0, false, "ETC");

  Click(form->CaselessBox);
  ExpectGroup(form->PLBBox, -1, true, "caseless again");
  Select(form->PLBBox, kHighCyclic);
  Select(form->PropellantBox, kStandard);
  ExpectBox(form->CaselessBox, false, true, "Standard");
  ExpectGroup(form->PLBBox, -1, false, "Standard");

  // With "Caseless" already unchecked the mods are enabled and keep their choice.
  form->Change(form->PLBBox, kPreloaded);
  Select(form->PropellantBox, kETK);
  ExpectGroup(form->PLBBox, kPreloaded, true, "ETK");
}

TEST_F(RulesTest, LiquidPropellantDisablesTheCaselessMods) {
  Click(form->CaselessBox);  // unchecked: the mods are left to the propellant rule
  Select(form->PLBBox, kHighCyclic);
  Select(form->PropellantBox, kLiquid);
  ExpectGroup(form->PLBBox, kPLBNone, false, "liquid");

  Select(form->PropellantBox, kStandard);
  Click(form->CaselessBox);
  Select(form->PropellantBox, kLiquid);
  ExpectBox(form->CaselessBox, false, true, "liquid, was caseless");
  ExpectGroup(form->PLBBox, -1, false, "liquid, was caseless");
}

TEST_F(RulesTest, GaussMakesTheGunElectric) {
  for (const Path path : {Path::User, Path::Program}) {
    SetUp();
    const std::string where = path == Path::User ? "user" : "program";
    Select(form->LoadingMechanismBox, kLightAutomatic, path);
    SetChecked(form->RecoillessCheckBox, true, path);
    SetChecked(form->ColdCountermassBox, true, path);
    SetChecked(form->ClosedBoltBox, true, path);
    Select(form->PropellantBox, kGauss, path);

    ExpectBox(form->ElectricBox, true, false, where);
    ExpectGroup(form->GaussHCCBBox, 0, true, where);
    for (QCheckBox* box : {form->RecoillessCheckBox, form->ColdCountermassBox, form->CaselessBox,
                           form->ClosedBoltBox}) {
      ExpectBox(box, false, false, where);
    }
    EXPECT_FALSE(form->PLBBox->isEnabled()) << where;

    // Back to a chemical propellant: the switches come back, unchecked.
    Select(form->PropellantBox, kStandard, path);
    ExpectBox(form->ElectricBox, true, true, where);
    ExpectGroup(form->GaussHCCBBox, 0, false, where);
    ExpectBox(form->RecoillessCheckBox, false, true, where);
    ExpectBox(form->ColdCountermassBox, false, false, where);
    ExpectBox(form->CaselessBox, false, true, where);
    ExpectBox(form->ClosedBoltBox, false, true, where);
  }
}

TEST_F(RulesTest, GravChecksElectricOnlyForLaterMechanisms) {
  Select(form->LoadingMechanismBox, kManualRepeater);
  Select(form->PropellantBox, kGrav);
  ExpectBox(form->ElectricBox, false, false);
  ExpectGroup(form->PLBBox, -1, false);

  Select(form->PropellantBox, kStandard);
  Select(form->LoadingMechanismBox, kHeavyAutomatic);
  Select(form->PropellantBox, kGrav);
  ExpectBox(form->ElectricBox, true, true);
}

// --- Configuration, extra-low powder and recoilless -------------------------------

TEST_F(RulesTest, LongArmsTakeABipodAndCannotBeRecoilless) {
  Click(form->RecoillessCheckBox);
  ExpectBox(form->ColdCountermassBox, false, true);
  Click(form->ColdCountermassBox);

  Select(form->ConfigurationBox, kRifle);
  EXPECT_TRUE(form->BipodBox->isEnabled());
  ExpectBox(form->RecoillessCheckBox, false, false);
  ExpectBox(form->ColdCountermassBox, true, false);  // disabled, still checked

  Select(form->ConfigurationBox, kSMG);
  EXPECT_FALSE(form->BipodBox->isEnabled());
  ExpectBox(form->RecoillessCheckBox, false, true);
}

TEST_F(RulesTest, ExtraLowPowderAllowsARecoillessLongArm) {
  struct Row {
    int configuration;
    int propellant;
    bool enabledWhenChecked;
    bool enabledWhenUnchecked;
  };
  // Recoilless starts disabled for a long arm and enabled for a short one.
  for (const Row& row : {Row{kRifle, kStandard, true, false}, Row{kCannon, kETK, true, false},
                         Row{kRifle, kGauss, false, false}, Row{kPistol, kStandard, true, true},
                         Row{kPistol, kGrav, false, false}}) {
    SetUp();
    const std::string where = "configuration " + std::to_string(row.configuration) +
                              ", propellant " + std::to_string(row.propellant);
    Select(form->ConfigurationBox, row.configuration);
    Select(form->PropellantBox, row.propellant);
    Click(form->ExtraLowBox);
    EXPECT_EQ(form->RecoillessCheckBox->isEnabled(), row.enabledWhenChecked) << where;
    Click(form->ExtraLowBox);
    EXPECT_EQ(form->RecoillessCheckBox->isEnabled(), row.enabledWhenUnchecked) << where;
  }
}

TEST_F(RulesTest, RecoillessUncheckedKeepsColdCounterMassChecked) {
  Click(form->RecoillessCheckBox);
  Click(form->ColdCountermassBox);
  Click(form->RecoillessCheckBox);
  ExpectBox(form->ColdCountermassBox, true, false);
}

// --- Quality -------------------------------------------------------------------------

TEST_F(RulesTest, CheapQualityIsForTheWholeGun) {
  for (const Path path : {Path::User, Path::Program}) {
    SetUp();
    const std::string where = path == Path::User ? "user" : "program";
    Select(form->QualityAccurate, kVeryFine, path);
    Select(form->QualityReliable, kCheap, path);
    ExpectGroup(form->QualityAccurate, kNormal, false, where);
    ExpectGroup(form->QualityReliable, kCheap, true, where);
    Select(form->QualityReliable, kFine, path);
    ExpectGroup(form->QualityAccurate, kNormal, true, where);

    // The mirror image, from accuracy.
    Select(form->QualityAccurate, kCheap, path);
    ExpectGroup(form->QualityReliable, kNormal, false, where);
    ExpectGroup(form->QualityAccurate, kCheap, true, where);
    Select(form->QualityAccurate, kFine, path);
    ExpectGroup(form->QualityReliable, kNormal, true, where);
  }
}

// --- Feature options -----------------------------------------------------------------

TEST_F(RulesTest, RecognitionGripOptionsFollowTheGrip) {
  const QList<QCheckBox*> options = {form->RGPalm, form->RGVoice, form->RGGlove, form->RGIFF,
                                     form->RGGPS};
  Click(form->RGGlove);
  Click(form->RecognitionGripBox);
  for (QCheckBox* box : options) ExpectBox(box, false, false, "grip off");
  Click(form->RecognitionGripBox);
  for (QCheckBox* box : options) ExpectBox(box, false, true, "grip on");
}

TEST_F(RulesTest, AntiTamperingFollowsTheDiagnosticComputer) {
  Click(form->AntiTamper);
  Click(form->DiagnosticComputerBox);
  ExpectBox(form->AntiTamper, false, false);
  Click(form->DiagnosticComputerBox);
  ExpectBox(form->AntiTamper, false, true);
}

TEST_F(RulesTest, HUDLinkOptionsAndTargetingSoftware) {
  const QList<QCheckBox*> options = {form->DataChip,   form->GreenEyes,        form->HUDCable,
                                     form->MicroRadio, form->SecureEncryption, form->TinyComputer};
  Click(form->DataChip);
  Click(form->TinyComputer);
  ExpectGroup(form->TargetingSoftware, 0, true, "tiny computer");
  Select(form->TargetingSoftware, 1);

  Click(form->HUDLinkBox);
  for (QCheckBox* box : options) ExpectBox(box, false, false, "HUD link off");
  ExpectGroup(form->TargetingSoftware, 0, false, "HUD link off");

  Click(form->HUDLinkBox);
  for (QCheckBox* box : options) ExpectBox(box, false, true, "HUD link on");
  ExpectGroup(form->TargetingSoftware, 0, false, "HUD link on");

  Click(form->TinyComputer);
  ExpectGroup(form->TargetingSoftware, 0, true, "tiny computer again");
  Select(form->TargetingSoftware, 2);
  Click(form->TinyComputer);
  ExpectGroup(form->TargetingSoftware, 0, false, "tiny computer off");
}

}  // namespace
