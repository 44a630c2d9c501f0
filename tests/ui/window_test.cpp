// The design window: its start state, the Design button, the error report and
// the option groups' selection behaviour.
#include <QApplication>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QSignalSpy>
#include <QTimer>
#include <set>
#include <string>

#include "Unit2.h"
#include "fields.h"
#include "support.h"

namespace {

using brennick::DesignInput;

template <class T>
T* Named(const TForm1& form, const char* name) {
  T* control = form.findChild<T*>(QLatin1String(name));
  EXPECT_NE(control, nullptr) << name;
  return control;
}

TEST_F(FormTest, StartsWithTheStoredTextsSelectionsAndChecks) {
  struct TextAtStart {
    const char* name;
    const char* text;
  };
  for (const TextAtStart& t : {TextAtStart{"NameEdit", ""},
                               {"BoreSizeEdit", ""},
                               {"TLEdit", "9"},
                               {"PowerModEdit", "1"},
                               {"BarrelsEdit", "1"},
                               {"ChambersEdit", "1"},
                               {"RoFEdit", "1"},
                               {"ShotsEdit", "1"},
                               {"ArbWeight", "0"},
                               {"ArbCF", "0"}}) {
    EXPECT_EQ(Named<QLineEdit>(*form, t.name)->text(), QLatin1String(t.text)) << t.name;
  }

  struct IndexAtStart {
    const char* name;
    int index;
  };
  for (const IndexAtStart& g : {IndexAtStart{"ConfigurationBox", -1},
                                {"BarrelBox", -1},
                                {"LoadingMechanismBox", -1},
                                {"PropellantBox", 0},
                                {"PLBBox", 0},
                                {"GaussHCCBBox", 0},
                                {"MuzzleBox", 0},
                                {"CamouflageBox", 0},
                                {"StylingBox", 0},
                                {"QualityAccurate", 0},
                                {"QualityReliable", 0},
                                {"TargetingSoftware", 0}}) {
    auto* group = Named<TRadioGroup>(*form, g.name);
    EXPECT_EQ(group->itemIndex(), g.index) << g.name;
    for (int i = 0; i < group->count(); ++i) {
      EXPECT_EQ(group->button(i)->isChecked(), i == g.index) << g.name << " option " << i;
    }
  }

  const std::set<std::string> checked = {"CaselessBox",
                                         "HUDLinkBox",
                                         "MultispectralLaserSightBox",
                                         "RecognitionGripBox",
                                         "DiagnosticComputerBox",
                                         "IronSightsBox",
                                         "RGPalm",
                                         "HUDCable",
                                         "OnlyAuto"};
  for (QCheckBox* box : form->findChildren<QCheckBox*>()) {
    const std::string name = box->objectName().toStdString();
    EXPECT_EQ(box->isChecked(), checked.count(name) == 1) << name;
  }
  EXPECT_EQ(form->StatblockMemo->toPlainText(), QString());
  EXPECT_EQ(form->MaxRoFLabel->text(), QStringLiteral("Max RoF:"));
}

TEST_F(FormTest, StartsWithOnlyTheStoredControlsDisabled) {
  const std::set<std::string> disabled = {
      "ElectricBox",  "BipodBox",    "ColdCountermassBox", "GunLauncherCheckBox",
      "BarrelsLabel", "BarrelsEdit", "ChambersLabel",      "ChambersEdit",
      "RoFLabel",     "RoFEdit",     "GaussHCCBBox",       "TargetingSoftware"};
  int seen = 0;
  for (QWidget* control : form->findChildren<QWidget*>()) {
    const std::string name = control->objectName().toStdString();
    if (name.empty() || qobject_cast<QRadioButton*>(control)) continue;
    const bool off = disabled.count(name) == 1;
    seen += off;
    EXPECT_EQ(control->isEnabled(), !off) << name;
  }
  EXPECT_EQ(seen, static_cast<int>(disabled.size()));
}

TEST_F(FormTest, ShowsTheCaptionsAndItemsOfTheForm) {
  EXPECT_EQ(form->windowTitle(), QStringLiteral("Brennick"));
  struct Caption {
    const char* name;
    const char* text;
  };
  for (const Caption& c : {Caption{"Label1", "Conventional Slugthrowers and Electromagnetic Guns"},
                           {"Label2", "Input"},
                           {"Label17", "Output"},
                           {"Label15", "Additional Features"},
                           {"Label7", "Weapon Name"},
                           {"Label3", "Bore Size, mm"},
                           {"Label5", "Grav Needle = 3 mm"},
                           {"Label10", "PowerMod"},
                           {"Label6", "TL"},
                           {"BarrelsLabel", "Barrels"},
                           {"ChambersLabel", "Chambers"},
                           {"RoFLabel", "RoF"},
                           {"ShotsLabel", "Shots"},
                           {"Label4", "Accessory Rails (TL9) (UT150)"},
                           {"Label8", "Arbitrary Extra Weight"},
                           {"Label9", "Arbitrary Extra CF"}}) {
    EXPECT_EQ(Named<QLabel>(*form, c.name)->text(), QString::fromUtf8(c.text)) << c.name;
  }
  for (const Caption& c : {Caption{"GreenEyes", "\"Green eyes\" effect"},
                           {"GunLauncherCheckBox", "Gun/Launcher"},
                           {"OnlyAuto", "Only automatic"},
                           {"SDATBox", "Self-Destruct Anti-Theft (TL10^) (UT150)"},
                           {"PaperBox", "Uses Paper Cells (P#12)"},
                           {"DesignButton", "Design"},
                           {"RandomButton", "Randomize"}}) {
    EXPECT_EQ(Named<QAbstractButton>(*form, c.name)->text(), QString::fromUtf8(c.text)) << c.name;
  }
  for (const Caption& c : {Caption{"GroupBox1", "Recognition Grip Features"},
                           {"GroupBox2", "Diagnostic Computer Features"},
                           {"GroupBox3", "HUD Link Features"},
                           {"PLBBox", "Caseless Mods"},
                           {"QualityAccurate", "Quality (Accurate)"}}) {
    EXPECT_EQ(Named<QGroupBox>(*form, c.name)->title(), QString::fromUtf8(c.text)) << c.name;
  }

  // The options of the loading mechanism, found under their group.
  const char* mechanisms[] = {"Muzzleloader (TL3)",    "Muzzleloader with a carriage (TL3)",
                              "Breechloader (TL3)",    "Manual Repeater (TL5)",
                              "Revolver (TL5)",        "Mechanical Gatling (TL5)",
                              "Slow Autoloader (TL6)", "Fast Autoloader (TL6)",
                              "Light Automatic (TL6)", "Heavy Automatic (TL6)",
                              "Electric Gatling (TL7)"};
  const auto options = form->LoadingMechanismBox->findChildren<QRadioButton*>();
  ASSERT_EQ(options.size(), 11);
  for (int i = 0; i < 11; ++i) EXPECT_EQ(options[i]->text(), QLatin1String(mechanisms[i]));
  EXPECT_EQ(form->findChild<QRadioButton*>(QStringLiteral("CamouflageBoxItem6"))->text(),
            QStringLiteral("Ultimate Chameleon Surface (TL12) (UT99)"));
}

TEST_F(FormTest, LabelsAreBuddiesOfTheirFields) {
  EXPECT_EQ(form->Label3->buddy(), form->BoreSizeEdit);
  EXPECT_EQ(form->Label6->buddy(), form->TLEdit);
  EXPECT_EQ(form->RoFLabel->buddy(), form->RoFEdit);
  EXPECT_EQ(form->Label9->buddy(), form->ArbCF);
}

TEST_F(FormTest, TabOrderFollowsTheForm) {
  const QStringList expected = {"BoreSizeEdit",
                                "TLEdit",
                                "RecoillessCheckBox",
                                "GunLauncherCheckBox",
                                "NameEdit",
                                "ConfigurationBox",
                                "LoadingMechanismBox",
                                "ElectricBox",
                                "BarrelsEdit",
                                "ChambersEdit",
                                "DesignButton",
                                "StatblockMemo",
                                "BipodBox",
                                "HUDLinkBox",
                                "MultispectralLaserSightBox",
                                "TransponderRingBox",
                                "RecognitionGripBox",
                                "DiagnosticComputerBox",
                                "IronSightsBox",
                                "RoFEdit",
                                "ShotsEdit",
                                "ClosedBoltBox",
                                "ColdCountermassBox",
                                "PropellantBox",
                                "CaselessBox",
                                "HouseETCBox",
                                "BarrelBox",
                                "ExtraLowBox",
                                "ShotgunBox",
                                "PLBBox",
                                "StylingBox",
                                "AccRailU",
                                "AccRailO",
                                "AccRailS",
                                "AccRailT",
                                "SDATBox",
                                "DTagBox",
                                "IFFBox",
                                "GravCompBox",
                                "SmartgripBox",
                                "CamouflageBox",
                                "SpaceProof",
                                "MuzzleBox",
                                "MuzzleWeightBox",
                                "FoldingStockBox",
                                "DisguisedBox",
                                "RuggedBox",
                                "HouseDRBox",
                                "KYOSBox",
                                "PaperBox",
                                "QualityAccurate",
                                "QualityReliable",
                                "CTSBox",
                                "ETSBox",
                                "GaussHCCBBox",
                                "RGGlove",
                                "RGPalm",
                                "RGVoice",
                                "RGIFF",
                                "RGGPS",
                                "AntiTamper",
                                "GreenEyes",
                                "DataChip",
                                "HUDCable",
                                "MicroRadio",
                                "SecureEncryption",
                                "TinyComputer",
                                "TargetingSoftware",
                                "HouseGauss",
                                "ArbWeight",
                                "ArbCF",
                                "RandomButton",
                                "OnlyAuto",
                                "PowerModEdit"};
  // Walk the focus chain once round, naming each tab stop; an option stands
  // for its group.
  QStringList order;
  QWidget* w = form->BoreSizeEdit;
  do {
    if (w->focusPolicy() & Qt::TabFocus) {
      QString name = w->objectName();
      if (qobject_cast<QRadioButton*>(w)) name = w->parentWidget()->objectName();
      if (!name.isEmpty() && (order.isEmpty() || order.back() != name)) order << name;
    }
    w = w->nextInFocusChain();
  } while (w != form->BoreSizeEdit);
  EXPECT_EQ(order, expected);
}

TEST_F(FormTest, PaneCanShowTheDagger) {
  const QChar dagger(0x2020);
  EXPECT_TRUE(QFontMetrics(form->StatblockMemo->font()).inFontUcs4(dagger.unicode()));
  EXPECT_EQ(form->StatblockMemo->lineWrapMode(), QPlainTextEdit::WidgetWidth);
  EXPECT_FALSE(form->StatblockMemo->isReadOnly());
  EXPECT_EQ(form->StatblockMemo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
}

TEST_F(FormTest, DesignAtStartStopsAtTheEmptyBore) {
  PressButton(form->DesignButton);
  EXPECT_EQ(Pane(), QStringList{" (TL9)"});
  EXPECT_EQ(errors, QStringList{"'' is not a valid floating point value"});
}

TEST_F(FormTest, ErrorReportGetsTheExactMessageAndTheWindowStaysUsable) {
  Type(form->NameEdit, QStringLiteral("Mk <b>1</b>"));
  Type(form->BoreSizeEdit, QStringLiteral("abc"));
  PressButton(form->DesignButton);
  EXPECT_EQ(Pane(), QStringList{"Mk <b>1</b> (TL9)"});
  EXPECT_EQ(errors, QStringList{"'abc' is not a valid floating point value"});

  // An integer TL is read strictly by the damage stage of a pistol.
  Type(form->BoreSizeEdit, QStringLiteral("9"));
  Choose(form->ConfigurationBox, brennick::kPistol);
  Type(form->TLEdit, QStringLiteral("9a"));
  PressButton(form->DesignButton);
  EXPECT_EQ(Pane(), QStringList{"Mk <b>1</b> (TL9a)"});
  EXPECT_EQ(errors.size(), 2);
  EXPECT_EQ(errors.back(), QStringLiteral("'9a' is not a valid integer value"));
}

// The first worked design: a 10 mm pistol with a medium barrel and a fast
// autoloader at TL 9. Damage 10 x 0.33 = 3.3 dice; half-damage range
// sqrt(10) x 0.95 x 375 x 0.25 = 281.6 -> 282 -> 280, maximum 280 + 120 x 17
// = 2320 -> 2300; accuracy 2.
TEST_F(FormTest, DesignEnteredByHandGivesTheStatblockTwiceNeverConcatenated) {
  Type(form->NameEdit, QStringLiteral("Pocket Ten"));
  Type(form->BoreSizeEdit, QStringLiteral("10"));
  Choose(form->ConfigurationBox, brennick::kPistol);
  Choose(form->BarrelBox, brennick::kMedium);
  Choose(form->LoadingMechanismBox, brennick::kFastAutoloader);
  Click(form->CaselessBox);  // a cased round
  PressButton(form->DesignButton);

  const QStringList first = Pane();
  ASSERT_GE(first.size(), 4);
  EXPECT_EQ(first.mid(0, 4),
            (QStringList{"Pocket Ten (TL9)", "Damage: 3d+1 pi+", "Acc: 2", "Range: 280/2300"}));
  EXPECT_TRUE(errors.isEmpty()) << errors.join(QLatin1Char('\n')).toStdString();

  PressButton(form->DesignButton);
  EXPECT_EQ(Pane(), first);
}

// A design whose controls are entered through the window, compared with the
// engine's run of the same inputs written down independently.
TEST_F(FormTest, PaneHoldsTheEngineStatblockOfTheControls) {
  Type(form->NameEdit, QStringLiteral("Field Rifle"));
  Type(form->BoreSizeEdit, Decimal("7", "62"));
  Choose(form->ConfigurationBox, brennick::kRifle);
  Choose(form->BarrelBox, brennick::kMedium);
  Choose(form->LoadingMechanismBox, brennick::kFastAutoloader);
  Type(form->ShotsEdit, QStringLiteral("20"));
  Click(form->HouseDRBox);
  Click(form->KYOSBox);
  Click(form->AccRailU);
  Choose(form->CamouflageBox, 2);
  Choose(form->QualityAccurate, brennick::kFine);
  Click(form->IronSightsBox);
  Type(form->ArbWeight, Decimal("1", "5"));
  PressButton(form->DesignButton);

  DesignInput expected;
  expected.NameEdit = "Field Rifle";
  expected.BoreSizeEdit = Decimal("7", "62").toStdString();
  expected.ConfigurationBox = brennick::kRifle;
  expected.BarrelBox = brennick::kMedium;
  expected.LoadingMechanismBox = brennick::kFastAutoloader;
  expected.ShotsEdit = "20";
  expected.HouseDRBox = true;
  expected.KYOSBox = true;
  expected.AccRailU = true;
  expected.CamouflageBox = 2;
  expected.QualityAccurate = brennick::kFine;
  expected.IronSightsBox = false;
  expected.ArbWeight = Decimal("1", "5").toStdString();
  EXPECT_EQ(form->ReadInput(), expected);

  const brennick::DesignResult run = brennick::RunDesign(expected, TForm1::DecimalSeparator());
  QStringList lines;
  for (const std::string& line : run.lines) lines << QString::fromStdString(line);
  EXPECT_EQ(Pane(), lines);
  EXPECT_EQ(errors.size(), run.error ? 1 : 0);
  ASSERT_GE(lines.size(), 4);
  // 7.62 x 0.84 = 6.4 dice; sqrt(7.62) x 0.95 x 375 x 0.68 = 668.7 -> 670,
  // 670 + 120 x 26 = 3790 -> 3800; accuracy 5 + 1 for fine quality.
  EXPECT_EQ(lines.mid(1, 3), (QStringList{"Damage: 6d+1 pi", "Acc: 6", "Range: 670/3800"}));
}

TEST_F(FormTest, DisabledControlsAreStillRead) {
  ASSERT_FALSE(form->ElectricBox->isEnabled());
  ASSERT_FALSE(form->RoFEdit->isEnabled());
  form->Change(form->ElectricBox, true);
  form->Change(form->RoFEdit, QStringLiteral("7"));
  EXPECT_FALSE(form->ElectricBox->isEnabled());
  const DesignInput input = form->ReadInput();
  EXPECT_TRUE(input.ElectricBox);
  EXPECT_EQ(input.RoFEdit, "7");
}

TEST_F(FormTest, ClickOnTheSelectedOptionOrADisabledOneChangesNothing) {
  QSignalSpy propellant(form->PropellantBox, &TRadioGroup::itemIndexChanged);
  Click(form->PropellantBox->button(brennick::kStandard));
  EXPECT_EQ(propellant.count(), 0);
  EXPECT_EQ(form->PropellantBox->itemIndex(), brennick::kStandard);
  EXPECT_TRUE(form->PropellantBox->button(brennick::kStandard)->isChecked());

  QSignalSpy hccb(form->GaussHCCBBox, &TRadioGroup::itemIndexChanged);
  Choose(form->GaussHCCBBox, 1);
  EXPECT_EQ(hccb.count(), 0);
  EXPECT_EQ(form->GaussHCCBBox->itemIndex(), 0);
  EXPECT_FALSE(form->GaussHCCBBox->button(1)->isChecked());
}

TEST(RadioGroup, ClampsTheIndexAndNotifiesOnlyRealChanges) {
  TRadioGroup group(QStringLiteral("Sizes"), QStringLiteral("Size"),
                    {QStringLiteral("S"), QStringLiteral("M"), QStringLiteral("L")});
  QSignalSpy changes(&group, &TRadioGroup::itemIndexChanged);
  struct Step {
    int set;
    int expected;
    int notifications;
  };
  for (const Step& s : {Step{1, 1, 1}, {1, 1, 1}, {7, 2, 2}, {-5, -1, 3}, {-1, -1, 3}, {0, 0, 4}}) {
    group.setItemIndex(s.set);
    EXPECT_EQ(group.itemIndex(), s.expected) << "set " << s.set;
    EXPECT_EQ(changes.count(), s.notifications) << "set " << s.set;
    for (int i = 0; i < group.count(); ++i)
      EXPECT_EQ(group.button(i)->isChecked(), i == s.expected);
  }
  EXPECT_EQ(group.findChild<QRadioButton*>(QStringLiteral("SizesItem2"))->text(),
            QStringLiteral("L"));
}

TEST(StartUp, SecondWindowReseedsTheRandomSourceAndStaysHidden) {
  TForm1 form;
  std::uint32_t ticks = 1000;
  form.setSeedClock([&ticks] { return ticks++; });
  TForm2 sheet(form);
  EXPECT_EQ(form.randomSource().seed(), 1000u);
  EXPECT_TRUE(sheet.isHidden());
  EXPECT_EQ(sheet.windowTitle(), QStringLiteral("Brennick"));
  EXPECT_NE(sheet.findChild<QLabel*>(), nullptr);
  EXPECT_EQ(sheet.findChild<QLabel*>()->text(), QStringLiteral("Beam Weapons"));
}

TEST(StartUp, ClosingTheMainWindowEndsTheMessageLoop) {
  TForm1 form;
  TForm2 sheet(form);
  form.show();
  bool closed = false;
  QTimer::singleShot(0, &form, [&] { closed = form.close(); });
  // A guard so that a window that does not end the loop fails, not hangs.
  QTimer guard;
  guard.setSingleShot(true);
  bool timedOut = false;
  QObject::connect(&guard, &QTimer::timeout, [&] {
    timedOut = true;
    QApplication::exit(1);
  });
  guard.start(10000);
  EXPECT_EQ(QApplication::exec(), 0);
  EXPECT_TRUE(closed);
  EXPECT_FALSE(timedOut);
  EXPECT_TRUE(sheet.isHidden());
}

}  // namespace
