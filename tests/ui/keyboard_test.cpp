// The window without a mouse: option groups as single Tab stops with arrow
// keys and Space, Return on a focused button, the window's shortcuts, and a
// whole design made from the keyboard alone.
#include <QProcess>
#include <QSignalSpy>
#include <QVBoxLayout>
#include <set>

#include "tests/support/worked_designs.h"
#include "tests/ui/support.h"

namespace {

using namespace brennick;

class KeyboardTest : public FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
  }

  // Keys go where the window system sends them: to the control with the focus.
  QWidget* Focus() const { return form->focusWidget(); }
  // The control with the focus; an option stands for its group.
  QWidget* FocusedControl() const {
    QWidget* focus = Focus();
    return qobject_cast<QRadioButton*>(focus) ? focus->parentWidget() : focus;
  }
  void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(Focus(), key, modifiers);
  }
  void Keys(const char* text) { QTest::keyClicks(Focus(), QLatin1String(text)); }
  // Presses Tab until `control` has the focus; fails after a round of the form.
  void TabTo(QWidget* control) {
    for (int i = 0; i < 100 && FocusedControl() != control; ++i) Key(Qt::Key_Tab);
    ASSERT_EQ(FocusedControl(), control) << control->objectName().toStdString();
  }
};

QStringList CliStatblock(const QByteArray& design) {
  QProcess cli;
  cli.start(QStringLiteral(BRENNICK_CLI_PATH), {});
  cli.write(design);
  cli.closeWriteChannel();
  EXPECT_TRUE(cli.waitForFinished(30000));
  EXPECT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
  QString text = QString::fromUtf8(cli.readAllStandardOutput());
  while (text.endsWith(QLatin1Char('\n'))) text.chop(1);
  return text.split(QLatin1Char('\n'));
}

TEST_F(KeyboardTest, AKeyboardOnlySessionDesignsTheLiquidPropellantRifle) {
  ASSERT_EQ(FocusedControl(), Control<QLineEdit>(*form, "BoreSizeEdit"));
  Keys("7");
  TabTo(Control<QLineEdit>(*form, "NameEdit"));
  Keys("LP Rifle");
  // Nothing is selected yet: Tab enters the group at its first option and
  // leaves it unselected.
  Key(Qt::Key_Tab);
  ASSERT_EQ(Focus(), Control<TRadioGroup>(*form, "ConfigurationBox")->button(kPistol));
  EXPECT_EQ(Control<TRadioGroup>(*form, "ConfigurationBox")->itemIndex(), -1);
  Key(Qt::Key_Down);  // SMG
  Key(Qt::Key_Down);  // Rifle
  Key(Qt::Key_Tab);
  ASSERT_EQ(FocusedControl(), Control<TRadioGroup>(*form, "LoadingMechanismBox"));
  for (int m = kMuzzleloaderCarriage; m <= kLightAutomatic; ++m) Key(Qt::Key_Down);
  TabTo(
      Control<QLineEdit>(*form, "ShotsEdit"));  // Tab selects the field's text: typing replaces it
  Keys("30");
  TabTo(Control<TRadioGroup>(*form, "PropellantBox"));
  Key(Qt::Key_Down);  // Liquid Propellant; its rule unchecks "Caseless"
  TabTo(Control<QCheckBox>(*form, "CaselessBox"));
  Key(Qt::Key_Space);
  TabTo(Control<TRadioGroup>(*form, "BarrelBox"));
  Key(Qt::Key_Down);  // from the focused, unselected "Short" to "Medium"
  Key(Qt::Key_Return, Qt::ControlModifier);

  ASSERT_TRUE(errors.isEmpty()) << errors.join(QLatin1Char('\n')).toStdString();
  const DesignInput rifle = examples::SevenMmLiquidRifle();
  for (std::string DesignInput::*text : {&DesignInput::NameEdit, &DesignInput::BoreSizeEdit,
                                         &DesignInput::TLEdit, &DesignInput::ShotsEdit}) {
    EXPECT_EQ(form->ReadInput().*text, rifle.*text);
  }
  for (int DesignInput::*group : {&DesignInput::ConfigurationBox, &DesignInput::BarrelBox,
                                  &DesignInput::LoadingMechanismBox, &DesignInput::PropellantBox}) {
    EXPECT_EQ(form->ReadInput().*group, rifle.*group);
  }
  EXPECT_TRUE(Control<QCheckBox>(*form, "CaselessBox")->isChecked());
  const QStringList pane = Pane();
  const QByteArray design =
      "{\"NameEdit\": \"LP Rifle\", \"BoreSizeEdit\": \"7\", \"ConfigurationBox\": \"Rifle\", "
      "\"BarrelBox\": \"Medium\", \"LoadingMechanismBox\": \"Light Automatic (TL6)\", "
      "\"PropellantBox\": \"Liquid Propellant\", \"ShotsEdit\": \"30\"}";
  EXPECT_EQ(pane, CliStatblock(design));
  // The rifle as the rules work it out by hand: 5.88 dice, range 641 -> 640
  // and 3640 -> 3600, accuracy 5, a caseless medium liquid-propellant round.
  ASSERT_GE(pane.size(), 2);
  EXPECT_EQ(pane[1], QStringLiteral("Damage: 6d pi"));
  EXPECT_TRUE(pane.contains(QStringLiteral("Acc: 5")));
  EXPECT_TRUE(pane.contains(QStringLiteral("Range: 640/3600")));
  EXPECT_TRUE(pane.contains(QStringLiteral("7mmCLM-LP (TL9)")));
}

// Arrows run each option's rule on the way, exactly as clicks on the same
// options do: passing the muzzleloaders and the manual repeater sets the
// chambers back to 1 before the revolver keeps that text.
TEST_F(KeyboardTest, ArrowsReachTheRevolverAndRunItsRuleAsClicksDo) {
  TForm1 clicked;
  clicked.setDialogs(dialogs);
  clicked.show();
  for (TForm1* window : {form.get(), &clicked}) {
    window->Change(Control<QLineEdit>(*window, "ChambersEdit"), QStringLiteral("6"));
  }
  for (int m = kMuzzleloader; m <= kRevolver; ++m)
    Choose(Control<TRadioGroup>(clicked, "LoadingMechanismBox"), m);

  TabTo(Control<TRadioGroup>(*form, "LoadingMechanismBox"));
  EXPECT_EQ(Control<TRadioGroup>(*form, "LoadingMechanismBox")->itemIndex(), -1);
  Key(Qt::Key_Space);  // Muzzleloader
  for (int m = kMuzzleloaderCarriage; m <= kRevolver; ++m) Key(Qt::Key_Down);
  EXPECT_EQ(Focus(), Control<TRadioGroup>(*form, "LoadingMechanismBox")->button(kRevolver));
  EXPECT_EQ(form->model().state(), clicked.model().state());
  EXPECT_EQ(
      Snap({Control<QLineEdit>(*form, "RoFEdit"), Control<QLineEdit>(*form, "ShotsEdit"),
            Control<QLineEdit>(*form, "ChambersEdit"), Control<QLineEdit>(*form, "BarrelsEdit"),
            Control<QCheckBox>(*form, "ElectricBox"), Control<QLabel>(*form, "MaxRoFLabel")}),
      "3 off | 1 off | 1 on | 1 off | - off | Max RoF:");
  // Space on the selected option, and back and forth to it, change nothing
  // more than the rules of the options passed.
  QSignalSpy changes(Control<TRadioGroup>(*form, "LoadingMechanismBox"),
                     &TRadioGroup::itemIndexChanged);
  Key(Qt::Key_Space);
  EXPECT_EQ(changes.count(), 0);
  Key(Qt::Key_Up);
  Key(Qt::Key_Down);
  EXPECT_EQ(changes.count(), 2);
  EXPECT_TRUE(errors.isEmpty());
}

TEST_F(KeyboardTest, ArrowsToTheRevolverWithABadTLReportThroughTheErrorReport) {
  form->Change(Control<QLineEdit>(*form, "TLEdit"), QStringLiteral("nine"));
  TabTo(Control<TRadioGroup>(*form, "LoadingMechanismBox"));
  for (int m = kMuzzleloaderCarriage; m <= kRevolver; ++m) Key(Qt::Key_Down);
  EXPECT_EQ(errors, QStringList{"'nine' is not a valid integer value"});
  EXPECT_EQ(Control<TRadioGroup>(*form, "LoadingMechanismBox")->itemIndex(), kRevolver);
}

// One group on its own: where the arrows and Space go from a focused option,
// which options they select and how often the group notifies.
TEST(RadioGroupKeys, ArrowsSkipDisabledOptionsWrapRoundAndSpaceSelectsTheFocusedOne) {
  struct Row {
    int selected;
    std::set<int> disabled;
    int focused;
    Qt::Key key;
    int expected;
    int notifications;
  };
  const Row rows[] = {
      {-1, {}, 0, Qt::Key_Space, 0, 1}, {-1, {}, 0, Qt::Key_Down, 1, 1},
      {-1, {1}, 0, Qt::Key_Down, 2, 1}, {-1, {1, 2}, 3, Qt::Key_Up, 0, 1},
      {0, {}, 0, Qt::Key_Up, 3, 1},     {3, {}, 3, Qt::Key_Down, 0, 1},
      {3, {0}, 3, Qt::Key_Right, 1, 1}, {2, {}, 2, Qt::Key_Left, 1, 1},
      {2, {}, 2, Qt::Key_Space, 2, 0},  {0, {1, 2, 3}, 0, Qt::Key_Down, 0, 0},
      {1, {}, 1, Qt::Key_Escape, 1, 0},
  };
  for (const Row& row : rows) {
    QWidget host;
    auto* group = new TRadioGroup(QStringLiteral("Sizes"), QStringLiteral("Size"),
                                  {"S", "M", "L", "XL"}, 1, &host);
    (new QVBoxLayout(&host))->addWidget(group);
    group->setItemIndex(row.selected);
    for (int i : row.disabled) group->button(i)->setEnabled(false);
    host.show();
    group->button(row.focused)->setFocus();
    QSignalSpy changes(group, &TRadioGroup::itemIndexChanged);
    QTest::keyClick(group->button(row.focused), row.key);
    EXPECT_EQ(group->itemIndex(), row.expected) << "key " << row.key << " from " << row.focused;
    EXPECT_EQ(changes.count(), row.notifications) << "key " << row.key << " from " << row.focused;
    const int focus = row.notifications ? row.expected : row.focused;
    EXPECT_EQ(host.focusWidget(), group->button(focus)) << "key " << row.key;
  }
}

TEST(RadioGroupKeys, TheGroupIsOneTabStopAtItsSelectedOrFirstEnabledOption) {
  struct Row {
    int selected;
    std::set<int> disabled;
    int stop;
  };
  for (const Row& row :
       {Row{-1, {}, 0}, Row{2, {}, 2}, Row{-1, {0}, 1}, Row{2, {2}, 0}, Row{1, {0, 1, 2}, 1}}) {
    TRadioGroup group(QStringLiteral("Sizes"), QStringLiteral("Size"), {"S", "M", "L"});
    group.setItemIndex(row.selected);
    for (int i : row.disabled) group.button(i)->setEnabled(false);
    EXPECT_EQ(group.tabStop(), group.button(row.stop)) << "selected " << row.selected;
    for (int i = 0; i < group.count(); ++i) {
      EXPECT_EQ(bool(group.button(i)->focusPolicy() & Qt::TabFocus), i == row.stop)
          << "selected " << row.selected << ", option " << i;
    }
  }
}

TEST_F(KeyboardTest, TabLeavesAGroupFromAnyOptionAndShiftTabComesBackToTheSelectedOne) {
  form->Change(Control<TRadioGroup>(*form, "LoadingMechanismBox"), kFastAutoloader);
  TabTo(Control<TRadioGroup>(*form, "LoadingMechanismBox"));
  EXPECT_EQ(Focus(), Control<TRadioGroup>(*form, "LoadingMechanismBox")->button(kFastAutoloader));
  Key(Qt::Key_Tab);
  EXPECT_EQ(Focus(), Control<QCheckBox>(*form, "ElectricBox"));
  Key(Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_EQ(Focus(), Control<TRadioGroup>(*form, "LoadingMechanismBox")->button(kFastAutoloader));
  Key(Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_EQ(Focus(), Control<TRadioGroup>(*form, "ConfigurationBox")->button(kPistol));
}

TEST_F(KeyboardTest, ReturnAndEnterPressTheFocusedButton) {
  TabTo(Control<QPushButton>(*form, "DesignButton"));
  Key(Qt::Key_Return);
  EXPECT_EQ(Pane(), QStringList{" (TL9)"});
  EXPECT_EQ(errors.size(), 1);
  TabTo(Control<QPushButton>(*form, "DesignButton"));
  Key(Qt::Key_Enter, Qt::KeypadModifier);
  EXPECT_EQ(errors.size(), 2);

  TabTo(Control<QPushButton>(*form, "RandomButton"));
  Key(Qt::Key_Return);
  // "Only automatic" is ticked: the generator chose an automatic mechanism.
  EXPECT_GE(Control<TRadioGroup>(*form, "LoadingMechanismBox")->itemIndex(), kLightAutomatic);
  EXPECT_EQ(errors.size(), 2);
}

TEST_F(KeyboardTest, ShortcutsWorkFromAnyControlAndAreNoKeyPressOfTheWindow) {
  form->setSeedClock([] { return 5u; });
  QWidget* surface = form->findChild<QWidget*>(QStringLiteral("FormSurface"));
  for (QWidget* from :
       {static_cast<QWidget*>(Control<QLineEdit>(*form, "NameEdit")),
        static_cast<QWidget*>(Control<QPlainTextEdit>(*form, "StatblockMemo")), surface}) {
    errors.clear();
    from->setFocus();
    Control<QLabel>(*form, "MaxRoFLabel")->setText(QStringLiteral("stale"));
    Key(Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(errors, QStringList{"'' is not a valid floating point value"})
        << from->objectName().toStdString();
    EXPECT_EQ(Control<QLabel>(*form, "MaxRoFLabel")->text(), QStringLiteral("stale"))
        << from->objectName().toStdString();
  }
  Control<QLineEdit>(*form, "NameEdit")->setFocus();
  Key(Qt::Key_R, Qt::ControlModifier);
  EXPECT_GE(Control<TRadioGroup>(*form, "LoadingMechanismBox")->itemIndex(), kLightAutomatic);
  EXPECT_EQ(Control<QLineEdit>(*form, "NameEdit")->text(), QString());  // Ctrl+R typed nothing
}

}  // namespace
