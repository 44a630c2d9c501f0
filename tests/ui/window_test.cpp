// The design window: its start state, the Design button, the error report,
// option groups and start-up.
#include <QApplication>
#include <QGroupBox>
#include <QSignalSpy>
#include <QTimer>
#include <set>
#include <string>

#include "tests/ui/support.h"
#include "ui/Unit2.h"

namespace {

using namespace brennick;

QStringList Lines(const DesignResult& run) {
  QStringList lines;
  for (const std::string_view line : run.lines) {
    lines << QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()));
  }
  return lines;
}

TEST_F(FormTest, StartsInTheStoredState) {
  DesignInput stored;  // written out here rather than taken from the defaults
  stored.TLEdit = "9";
  stored.CaselessBox = stored.HUDLinkBox = stored.MultispectralLaserSightBox = true;
  stored.RecognitionGripBox = stored.DiagnosticComputerBox = stored.IronSightsBox = true;
  stored.RGPalm = stored.HUDCable = true;
  EXPECT_EQ(form->ReadInput(), stored);
  EXPECT_EQ(
      Snap({Control<QLineEdit>(*form, "NameEdit"), Control<QLineEdit>(*form, "BoreSizeEdit"),
            Control<QLineEdit>(*form, "PowerModEdit"), Control<QLineEdit>(*form, "RoFEdit"),
            Control<QLineEdit>(*form, "ShotsEdit"), Control<QLineEdit>(*form, "ArbCF"),
            Control<TRadioGroup>(*form, "ConfigurationBox"),
            Control<TRadioGroup>(*form, "BarrelBox"),
            Control<TRadioGroup>(*form, "LoadingMechanismBox"),
            Control<TRadioGroup>(*form, "PropellantBox"), Control<QCheckBox>(*form, "OnlyAuto"),
            Control<QCheckBox>(*form, "GunLauncherCheckBox"),
            Control<QLabel>(*form, "MaxRoFLabel")}),
      " on | "
      " on | 1 on | 1 off | 1 on | 0 on | -1 on | -1 on | -1 on | 0 on | x on | "
      "- off | Max RoF:");
  EXPECT_TRUE(Control<QPlainTextEdit>(*form, "StatblockMemo")->toPlainText().isEmpty());

  const std::set<std::string> disabled = {
      "ElectricBox",  "BipodBox",    "ColdCountermassBox", "GunLauncherCheckBox",
      "BarrelsLabel", "BarrelsEdit", "ChambersLabel",      "ChambersEdit",
      "RoFLabel",     "RoFEdit",     "GaussHCCBBox",       "TargetingSoftware"};
  for (QWidget* control : form->findChildren<QWidget*>()) {
    const std::string name = control->objectName().toStdString();
    if (name.empty() || qobject_cast<QRadioButton*>(control)) continue;
    EXPECT_EQ(control->isEnabled(), disabled.count(name) == 0) << name;
  }
}

TEST_F(FormTest, ShowsTheCaptionsOfTheForm) {
  EXPECT_EQ(form->windowTitle(), QStringLiteral("Brennick"));
  EXPECT_EQ(Snap({Control<QLabel>(*form, "Label1"), Control<QLabel>(*form, "Label5"),
                  Control<QLabel>(*form, "Label10"), Control<QLabel>(*form, "BarrelsLabel"),
                  Control<QLabel>(*form, "Label4"), Control<QLabel>(*form, "Label9")}),
            "Conventional Slugthrowers and Electromagnetic Guns | Grav Needle = 3 mm | PowerMod | "
            "Barrels | Accessory Rails (TL9) (UT150) | Arbitrary Extra CF");
  EXPECT_EQ(Control<QCheckBox>(*form, "GreenEyes")->text(),
            QStringLiteral("\"Green eyes\" effect"));
  EXPECT_EQ(Control<QCheckBox>(*form, "SDATBox")->text(),
            QStringLiteral("Self-Destruct Anti-Theft (TL10^) (UT150)"));
  EXPECT_EQ(Control<QGroupBox>(*form, "GroupBox2")->title(),
            QStringLiteral("Diagnostic Computer Features"));
  EXPECT_EQ(Control<TRadioGroup>(*form, "PLBBox")->title(), QStringLiteral("Caseless Mods"));
  EXPECT_EQ(Control<QLabel>(*form, "Label6")->buddy(), Control<QLineEdit>(*form, "TLEdit"));
  // Options are found under their group, in item order.
  const auto options =
      Control<TRadioGroup>(*form, "LoadingMechanismBox")->findChildren<QRadioButton*>();
  ASSERT_EQ(options.size(), 11);
  EXPECT_EQ(options[1]->text(), QStringLiteral("Muzzleloader with a carriage (TL3)"));
  EXPECT_EQ(options[10]->text(), QStringLiteral("Electric Gatling (TL7)"));
  EXPECT_EQ(Control<TRadioGroup>(*form, "CamouflageBox")
                ->findChild<QRadioButton*>(QStringLiteral("CamouflageBoxItem6"))
                ->text(),
            QStringLiteral("Ultimate Chameleon Surface (TL12) (UT99)"));
  // The pane wraps, scrolls and can show the strength dagger.
  EXPECT_EQ(Control<QPlainTextEdit>(*form, "StatblockMemo")->lineWrapMode(),
            QPlainTextEdit::WidgetWidth);
  EXPECT_TRUE(
      QFontMetrics(Control<QPlainTextEdit>(*form, "StatblockMemo")->font()).inFontUcs4(0x2020));
}

TEST_F(FormTest, TabOrderFollowsTheForm) {
  const QStringList expected =
      QStringLiteral(
          "BoreSizeEdit TLEdit RecoillessCheckBox GunLauncherCheckBox NameEdit ConfigurationBox "
          "LoadingMechanismBox ElectricBox BarrelsEdit ChambersEdit DesignButton StatblockMemo "
          "DerivationPanel "
          "BipodBox HUDLinkBox MultispectralLaserSightBox TransponderRingBox RecognitionGripBox "
          "DiagnosticComputerBox IronSightsBox RoFEdit ShotsEdit ClosedBoltBox ColdCountermassBox "
          "PropellantBox CaselessBox HouseETCBox BarrelBox ExtraLowBox ShotgunBox PLBBox "
          "StylingBox "
          "AccRailU AccRailO AccRailS AccRailT SDATBox DTagBox IFFBox GravCompBox SmartgripBox "
          "CamouflageBox SpaceProof MuzzleBox MuzzleWeightBox FoldingStockBox DisguisedBox "
          "RuggedBox "
          "HouseDRBox KYOSBox PaperBox QualityAccurate QualityReliable CTSBox ETSBox GaussHCCBBox "
          "RGGlove RGPalm RGVoice RGIFF RGGPS AntiTamper GreenEyes DataChip HUDCable MicroRadio "
          "SecureEncryption TinyComputer TargetingSoftware HouseGauss ArbWeight ArbCF RandomButton "
          "OnlyAuto PowerModEdit")
          .split(QLatin1Char(' '));
  // Once round the focus chain; an option stands for its group.
  QStringList order;
  QWidget* w = Control<QLineEdit>(*form, "BoreSizeEdit");
  do {
    QString name =
        qobject_cast<QRadioButton*>(w) ? w->parentWidget()->objectName() : w->objectName();
    if ((w->focusPolicy() & Qt::TabFocus) && (order.isEmpty() || order.back() != name)) {
      order << name;
    }
    w = w->nextInFocusChain();
  } while (w != Control<QLineEdit>(*form, "BoreSizeEdit"));
  EXPECT_EQ(order, expected);
}

TEST_F(FormTest, DesignAtStartStopsAtTheEmptyBore) {
  Press(Control<QPushButton>(*form, "DesignButton"));
  EXPECT_EQ(Pane(), QStringList{" (TL9)"});
  EXPECT_EQ(errors, QStringList{"'' is not a valid floating point value"});
}

TEST_F(FormTest, ErrorReportGetsTheExactMessageAndTheWindowStaysUsable) {
  Type(Control<QLineEdit>(*form, "NameEdit"), QStringLiteral("Mk <b>1</b>"));
  Type(Control<QLineEdit>(*form, "BoreSizeEdit"), QStringLiteral("abc"));
  Press(Control<QPushButton>(*form, "DesignButton"));
  EXPECT_EQ(Pane(), QStringList{"Mk <b>1</b> (TL9)"});
  EXPECT_EQ(errors, QStringList{"'abc' is not a valid floating point value"});

  // A pistol's damage reads TL strictly, right after the title line.
  Type(Control<QLineEdit>(*form, "BoreSizeEdit"), QStringLiteral("9"));
  Choose(Control<TRadioGroup>(*form, "ConfigurationBox"), kPistol);
  Type(Control<QLineEdit>(*form, "TLEdit"), QStringLiteral("9a"));
  Press(Control<QPushButton>(*form, "DesignButton"));
  EXPECT_EQ(Pane(), QStringList{"Mk <b>1</b> (TL9a)"});
  EXPECT_EQ(errors.value(1), QStringLiteral("'9a' is not a valid integer value"));
}

// A design entered through the controls; the pane must hold the engine's run
// of the same inputs, written down here independently.
TEST_F(FormTest, PaneHoldsTheStatblockOfTheControlsEveryTime) {
  Type(Control<QLineEdit>(*form, "NameEdit"), QStringLiteral("Field Rifle"));
  Type(Control<QLineEdit>(*form, "BoreSizeEdit"), Decimal("7", "62"));
  Choose(Control<TRadioGroup>(*form, "ConfigurationBox"), kRifle);
  Choose(Control<TRadioGroup>(*form, "BarrelBox"), kMedium);
  Choose(Control<TRadioGroup>(*form, "LoadingMechanismBox"), kFastAutoloader);
  Type(Control<QLineEdit>(*form, "ShotsEdit"), QStringLiteral("20"));
  for (QCheckBox* box :
       {Control<QCheckBox>(*form, "BipodBox"), Control<QCheckBox>(*form, "HouseDRBox"),
        Control<QCheckBox>(*form, "AccRailU"), Control<QCheckBox>(*form, "IronSightsBox")}) {
    Click(box);
  }
  Choose(Control<TRadioGroup>(*form, "CamouflageBox"), 2);
  Choose(Control<TRadioGroup>(*form, "QualityAccurate"), kFine);
  Type(Control<QLineEdit>(*form, "ArbWeight"), Decimal("1", "5"));
  form->Change(Control<QLineEdit>(*form, "ChambersEdit"),
               QStringLiteral("3"));  // disabled, still read
  Press(Control<QPushButton>(*form, "DesignButton"));

  DesignInput expected;
  expected.NameEdit = "Field Rifle";
  expected.BoreSizeEdit = Decimal("7", "62").toStdString();
  expected.ConfigurationBox = kRifle;
  expected.BarrelBox = kMedium;
  expected.LoadingMechanismBox = kFastAutoloader;
  expected.ShotsEdit = "20";
  expected.ChambersEdit = "3";
  expected.BipodBox = expected.HouseDRBox = expected.AccRailU = true;
  expected.IronSightsBox = false;
  expected.CamouflageBox = 2;
  expected.QualityAccurate = kFine;
  expected.ArbWeight = Decimal("1", "5").toStdString();
  EXPECT_EQ(form->ReadInput(), expected);
  EXPECT_FALSE(Control<QLineEdit>(*form, "ChambersEdit")->isEnabled());

  const DesignResult run = RunDesign(expected, TForm1::DecimalSeparator());
  EXPECT_EQ(Pane(), Lines(run));
  EXPECT_EQ(errors.size(), run.error ? 1 : 0);
  // 7.62 x 0.84 = 6.4 dice; sqrt(7.62) x 0.95 x 375 x 0.68 = 668.7 -> 670,
  // 670 + 120 x 26 = 3790 -> 3800; accuracy 5 + 1 for fine quality.
  EXPECT_EQ(Pane().mid(1, 3), (QStringList{"Damage: 6d+1 pi", "Acc: 6", "Range: 670/3800"}));

  // Again: the same statblock, never the two concatenated.
  Press(Control<QPushButton>(*form, "DesignButton"));
  EXPECT_EQ(Pane(), Lines(run));
}

TEST_F(FormTest, ClickOnTheSelectedOptionOrADisabledOneChangesNothing) {
  QSignalSpy propellant(Control<TRadioGroup>(*form, "PropellantBox"),
                        &TRadioGroup::itemIndexChanged);
  Choose(Control<TRadioGroup>(*form, "PropellantBox"), kStandard);
  Choose(Control<TRadioGroup>(*form, "GaussHCCBBox"), 1);  // disabled
  EXPECT_EQ(propellant.count(), 0);
  EXPECT_TRUE(Control<TRadioGroup>(*form, "PropellantBox")->button(kStandard)->isChecked());
  EXPECT_EQ(
      Snap({Control<TRadioGroup>(*form, "PropellantBox"),
            Control<TRadioGroup>(*form, "GaussHCCBBox"), Control<QCheckBox>(*form, "CaselessBox")}),
      "0 on | 0 off | x on");
  EXPECT_FALSE(Control<TRadioGroup>(*form, "GaussHCCBBox")->button(1)->isChecked());
}

TEST(RadioGroup, ClampsTheIndexAndNotifiesOnlyRealChanges) {
  TRadioGroup group(QStringLiteral("Sizes"), QStringLiteral("Size"), {"S", "M", "L"});
  QSignalSpy changes(&group, &TRadioGroup::itemIndexChanged);
  for (const auto& [set, expected, notifications] :
       {std::tuple{1, 1, 1}, {1, 1, 1}, {7, 2, 2}, {-5, -1, 3}, {-1, -1, 3}, {0, 0, 4}}) {
    group.setItemIndex(set);
    EXPECT_EQ(group.itemIndex(), expected) << "set " << set;
    EXPECT_EQ(changes.count(), notifications) << "set " << set;
    for (int i = 0; i < 3; ++i) EXPECT_EQ(group.button(i)->isChecked(), i == expected);
  }
}

TEST(StartUp, SecondWindowReseedsTheSourceAndClosingTheMainWindowEndsTheLoop) {
  TForm1 form;
  form.setSeedClock([] { return 1000u; });
  TForm2 sheet(form);
  EXPECT_EQ(form.randomSource().seed(), 1000u);
  EXPECT_EQ(sheet.findChild<QLabel*>()->text(), QStringLiteral("Beam Weapons"));

  form.show();
  QTimer::singleShot(0, &form, [&] { form.close(); });
  QTimer guard;  // fails rather than hangs when closing does not end the loop
  QObject::connect(&guard, &QTimer::timeout, [] { QApplication::exit(1); });
  guard.start(10000);
  EXPECT_EQ(QApplication::exec(), 0);
  EXPECT_TRUE(sheet.isHidden());
}

}  // namespace
