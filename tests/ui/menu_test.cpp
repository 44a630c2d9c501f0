// The menu bar and its commands, the accessible names of the controls, and
// where the focus goes when Design cannot read a field.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QGroupBox>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

#include "tests/ui/support.h"

namespace {

using namespace brennick;

class MenuTest : public FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    dialogs->onMessage = [this](const QString& title, const QString& text) {
      messages << title + QStringLiteral(": ") + text;
    };
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
  }
  void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(form->focusWidget(), key, modifiers);
  }
  QStringList messages;
};

TEST_F(MenuTest, TheMenuBarHoldsFileEditViewAndHelp) {
  QStringList menus;
  for (QAction* menu : form->menuBar()->actions()) {
    QStringList entries;
    for (QAction* entry : menu->menu()->actions()) {
      if (entry->isSeparator()) continue;
      entries << entry->text().remove(QLatin1Char('&')) + QStringLiteral(" [") +
                     entry->shortcut().toString(QKeySequence::PortableText) + QLatin1Char(']');
    }
    menus << menu->text().remove(QLatin1Char('&')) + QStringLiteral(": ") +
                 entries.join(QStringLiteral(", "));
  }
  EXPECT_EQ(menus,
            (QStringList{"File: New [Ctrl+N], Open... [Ctrl+O], Open Recent [], Save [Ctrl+S], "
                         "Save As... [Ctrl+Shift+S], Open Armoury... [Ctrl+Shift+O], "
                         "Export Statblock... [Ctrl+E], Print... [Ctrl+P], "
                         "Export PDF... [Ctrl+Shift+E], Quit [Ctrl+Q]",
                         "Edit: Undo [Ctrl+Z], Redo [Ctrl+Shift+Z], Copy Statblock [Ctrl+Shift+C], "
                         "Copy as Markdown [Ctrl+Shift+M], Find Control... [Ctrl+K]",
                         "View: Show Derivations [Ctrl+Shift+D], Compare... [Ctrl+Shift+K], "
                         "Live Statblock [], Enlarge Derivations [F6], Theme []",
                         "Help: Keyboard Shortcuts [], About Brennick []"}));
}

TEST_F(MenuTest, CopyStatblockCopiesThePaneExactly) {
  // What Design writes, including the separator lines of one space; what the
  // user may type into the pane, no-break spaces included.
  const QStringList texts = {" (TL9)", QString::fromUtf8("ST 9B\u2020 (ST 6 on a bipod)\n \nLC 3"),
                             QString::fromUtf8("7\u00A0mm\n\ntrailing  ")};
  Press(Control<QPushButton>(*form, "DesignButton"));
  for (const QString& text : texts) {
    if (text != texts.front()) Control<QPlainTextEdit>(*form, "StatblockMemo")->setPlainText(text);
    QApplication::clipboard()->clear();
    Control<QLineEdit>(*form, "NameEdit")->setFocus();
    Key(Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), text);
    EXPECT_EQ(Control<QLineEdit>(*form, "NameEdit")->text(), QString());
  }
}

TEST_F(MenuTest, HelpListsTheShortcutsAndAboutNamesTheVersion) {
  Control<QAction>(*form, "ShortcutsAction")->trigger();
  ASSERT_EQ(messages.size(), 1);
  for (const char* keys :
       {"Ctrl+Return: Design", "Ctrl+R: Randomize", "Ctrl+Shift+C", "Ctrl+Q", "Arrow keys", "Space",
        "Return", "Ctrl+N: new design", "Ctrl+O: open", "Ctrl+S: save", "Ctrl+Shift+S: save as",
        "Ctrl+Shift+O: open an armoury", "Ctrl+P: print", "Ctrl+Z: undo",
        "Ctrl+Shift+Z, Ctrl+Y: redo", "Ctrl+Shift+M", "Ctrl+Shift+D: show or hide the derivations",
        "Ctrl+Shift+K: compare statblocks"}) {
    EXPECT_TRUE(messages[0].contains(QLatin1String(keys))) << keys;
  }
  EXPECT_TRUE(messages[0].startsWith(QStringLiteral("Keyboard Shortcuts: ")));

  Control<QAction>(*form, "AboutAction")->trigger();
  ASSERT_EQ(messages.size(), 2);
  EXPECT_TRUE(messages[1].startsWith(QStringLiteral("About Brennick: Brennick " BRENNICK_VERSION)))
      << messages[1].toStdString();
  EXPECT_EQ(TForm1::Version(), QStringLiteral(BRENNICK_VERSION));
}

TEST(Quit, CtrlQEndsTheProgramAsClosingTheWindowDoes) {
  TForm1 form;
  form.show();
  form.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  QTimer::singleShot(0, &form,
                     [&] { QTest::keyClick(form.focusWidget(), Qt::Key_Q, Qt::ControlModifier); });
  QTimer guard;  // fails rather than hangs when Ctrl+Q does not end the loop
  QObject::connect(&guard, &QTimer::timeout, [] { QApplication::exit(1); });
  guard.start(10000);
  EXPECT_EQ(QApplication::exec(), 0);
  EXPECT_FALSE(form.isVisible());
}

TEST_F(MenuTest, EveryControlIsNamedByItsCaption) {
  int named = 0;
  for (QWidget* control : form->centralWidget()->findChildren<QWidget*>()) {
    QString caption;
    if (auto* button = qobject_cast<QAbstractButton*>(control)) {
      caption = button->text();
    } else if (auto* frame = qobject_cast<QGroupBox*>(control)) {
      caption = frame->title();
    } else if (auto* edit = qobject_cast<QLineEdit*>(control)) {
      for (QLabel* label : form->findChildren<QLabel*>()) {
        if (label->buddy() == edit) caption = ShownCaption(label);
      }
    } else {
      continue;
    }
    EXPECT_FALSE(caption.isEmpty()) << control->objectName().toStdString();
    EXPECT_EQ(control->accessibleName(), caption) << control->objectName().toStdString();
    ++named;
  }
  // 10 fields, 49 check boxes, 12 groups with 57 options, 3 frames, 2 buttons.
  EXPECT_EQ(named, 10 + 49 + 12 + 57 + 3 + 2);
  EXPECT_EQ(Control<QPlainTextEdit>(*form, "StatblockMemo")->accessibleName(),
            QStringLiteral("Statblock"));
  EXPECT_EQ(Control<QLineEdit>(*form, "TLEdit")->accessibleName(), QStringLiteral("TL"));
  EXPECT_EQ(Control<TRadioGroup>(*form, "LoadingMechanismBox")->accessibleName(),
            QStringLiteral("Loading Mechanism"));
}

// When Design stops at a field it cannot read, that field takes the focus
// with its text selected once the message has been acknowledged; a failure
// of the arithmetic leaves the focus where it was.
TEST_F(MenuTest, AFailedDesignFocusesTheFieldItCouldNotRead) {
  struct Row {
    const char* why;
    std::function<void(TForm1&)> enter;
    const char* field;  // null: nothing is focused
    const char* message;
  };
  const Row rows[] = {
      {"empty bore at start", [](TForm1&) {}, "BoreSizeEdit",
       "'' is not a valid floating point value"},
      {"TL read by a pistol's damage",
       [](TForm1& f) {
         f.Change(Control<QLineEdit>(f, "BoreSizeEdit"), QStringLiteral("9"));
         f.Change(Control<TRadioGroup>(f, "ConfigurationBox"), kPistol);
         f.Change(Control<QLineEdit>(f, "TLEdit"), QStringLiteral("9a"));
       },
       "TLEdit", "'9a' is not a valid integer value"},
      {"bore and power modifier alike: the bore is read first",
       [](TForm1& f) {
         f.Change(Control<QLineEdit>(f, "BoreSizeEdit"), QStringLiteral("x"));
         f.Change(Control<QLineEdit>(f, "PowerModEdit"), QStringLiteral("x"));
       },
       "BoreSizeEdit", "'x' is not a valid floating point value"},
      {"power modifier",
       [](TForm1& f) {
         f.Change(Control<QLineEdit>(f, "BoreSizeEdit"), QStringLiteral("7"));
         f.Change(Control<QLineEdit>(f, "PowerModEdit"), QStringLiteral("p"));
       },
       "PowerModEdit", "'p' is not a valid floating point value"},
      // A cannon's damage and range do not read TL; a Gauss automatic reads
      // its RoF for the bursts before the cost reads TL.
      {"RoF and TL alike: the RoF is read first",
       [](TForm1& f) {
         f.Change(Control<QLineEdit>(f, "BoreSizeEdit"), QStringLiteral("5"));
         f.Change(Control<TRadioGroup>(f, "ConfigurationBox"), kCannon);
         f.Change(Control<TRadioGroup>(f, "PropellantBox"), kGauss);
         f.Change(Control<TRadioGroup>(f, "LoadingMechanismBox"), kLightAutomatic);
         f.Change(Control<QLineEdit>(f, "TLEdit"), QStringLiteral("x"));
         f.Change(Control<QLineEdit>(f, "RoFEdit"), QStringLiteral("x"));
       },
       "RoFEdit", "'x' is not a valid integer value"},
      {"TL, once the RoF reads",
       [](TForm1& f) {
         f.Change(Control<QLineEdit>(f, "BoreSizeEdit"), QStringLiteral("5"));
         f.Change(Control<TRadioGroup>(f, "ConfigurationBox"), kCannon);
         f.Change(Control<TRadioGroup>(f, "PropellantBox"), kGauss);
         f.Change(Control<TRadioGroup>(f, "LoadingMechanismBox"), kLightAutomatic);
         f.Change(Control<QLineEdit>(f, "TLEdit"), QStringLiteral("x"));
         f.Change(Control<QLineEdit>(f, "RoFEdit"), QStringLiteral("12"));
       },
       "TLEdit", "'x' is not a valid integer value"},
      // A negative bore fails in the range's square root.
      {"arithmetic",
       [](TForm1& f) {
         f.Change(Control<QLineEdit>(f, "BoreSizeEdit"), QStringLiteral("-7"));
         f.Change(Control<TRadioGroup>(f, "ConfigurationBox"), kRifle);
       },
       nullptr, "Invalid floating point operation"},
  };
  for (const Row& row : rows) {
    SetUp();
    row.enter(*form);
    Control<QLineEdit>(*form, "NameEdit")->setFocus();
    QWidget* focusAtReport = nullptr;
    dialogs->onError = [&](const QString& message) {
      errors << message;
      focusAtReport = form->focusWidget();
    };
    Key(Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(errors, QStringList{row.message}) << row.why;
    EXPECT_EQ(focusAtReport, Control<QLineEdit>(*form, "NameEdit")) << row.why;
    QLineEdit* expected = Control<QLineEdit>(*form, row.field ? row.field : "NameEdit");
    EXPECT_EQ(form->focusWidget(), expected) << row.why;
    if (row.field) {
      EXPECT_EQ(expected->selectedText(), expected->text()) << row.why;
    }
  }
}

}  // namespace
