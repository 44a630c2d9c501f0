// The window's keys: the shortcut list made from the actions, the window's
// shortcuts from wherever the focus is, the statblock pane's own undo, the
// Alt keys of the field captions and New's focus.
#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QSpinBox>
#include <map>
#include <memory>

#include "tests/ui/support.h"
#include "ui/Armoury.h"
#include "ui/ShortcutList.h"

namespace {

using brennick::keys::ShortcutLine;
using brennick::keys::ShortcutLines;
using brennick::keys::WindowActions;

class KeysTest : public FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    dialogs->onMessage = [this](const QString& title, const QString& text) {
      messages << title + QStringLiteral(": ") + text;
    };
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
  }
  void Key(QKeyCombination key) {
    QTest::keyClick(form->focusWidget(), key.key(), key.keyboardModifiers());
  }
  QStringList messages;
};

// Every key of every action an object holds, in a set that counts repeats.
std::multiset<QString> KeysOfActions(const QObject& holder) {
  std::multiset<QString> keys;
  for (const QAction* action : holder.findChildren<QAction*>()) {
    for (const QKeySequence& key : action->shortcuts()) keys.insert(key.toString());
  }
  return keys;
}

std::multiset<QString> KeysOfLines(const std::vector<ShortcutLine>& lines) {
  std::multiset<QString> keys;
  for (const ShortcutLine& line : lines) {
    for (const QKeySequence& key : line.keys) keys.insert(key.toString());
  }
  return keys;
}

TEST(ShortcutLines, NameTheKeysAndWhatTheyDo) {
  struct Case {
    const char* text;
    QList<QKeySequence> keys;
    const char* help;      // null: none set
    const char* expected;  // null: no line
  };
  const Case cases[] = {
      {"&Undo", {QKeySequence(Qt::CTRL | Qt::Key_Z)}, "undo", "Ctrl+Z: undo"},
      {"Export P&DF...",
       {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E)},
       nullptr,
       "Ctrl+Shift+E: Export PDF"},
      {"Save && &Close", {QKeySequence(Qt::CTRL | Qt::Key_W)}, nullptr, "Ctrl+W: Save & Close"},
      {"&Redo",
       {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)},
       "redo",
       "Ctrl+Shift+Z, Ctrl+Y: redo"},
      {"Design",
       {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)},
       nullptr,
       "Ctrl+Return: Design (Ctrl+Enter on the keypad too)"},
      // The keypad's key alone is a key of its own.
      {"Go", {QKeySequence(Qt::CTRL | Qt::Key_Enter)}, nullptr, "Ctrl+Enter: Go"},
      {"&About", {}, "about", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    QAction action(QString::fromUtf8(c.text));
    action.setShortcuts(c.keys);
    if (c.help != nullptr) brennick::keys::SetKeyHelp(&action, QString::fromUtf8(c.help));
    const std::vector<ShortcutLine> lines = ShortcutLines({&action});
    if (c.expected == nullptr) {
      EXPECT_TRUE(lines.empty());
      continue;
    }
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].text, QString::fromUtf8(c.expected));
    EXPECT_EQ(lines[0].keys, c.keys);
  }
}

// The list holds every key of the window's actions and of the armoury's,
// none twice and none that is not an action's.
TEST_F(KeysTest, TheShortcutListIsMadeOfEveryActionsKeys) {
  const std::vector<ShortcutLine> window = ShortcutLines(WindowActions(form.get()));
  EXPECT_EQ(KeysOfLines(window), KeysOfActions(*form));
  TArmouryWindow armoury(dialogs);
  const std::vector<ShortcutLine> inArmoury = ShortcutLines(WindowActions(&armoury));
  EXPECT_EQ(KeysOfLines(inArmoury), KeysOfActions(armoury));

  Control<QAction>(*form, "ShortcutsAction")->trigger();
  ASSERT_EQ(messages.size(), 1);
  const QString title = QStringLiteral("Keyboard Shortcuts: ");
  ASSERT_TRUE(messages[0].startsWith(title));
  const QStringList shown = messages[0].mid(title.size()).split(QLatin1Char('\n'));
  for (const ShortcutLine& line : window) {
    EXPECT_EQ(shown.count(line.text), 1) << line.text.toStdString();
  }
  for (const ShortcutLine& line : inArmoury) EXPECT_TRUE(shown.contains(line.text));
  // A few lines as a reader finds them.
  for (const char* expected :
       {"Ctrl+K, Ctrl+F: find a control by its caption or tooltip",
        "Ctrl+Return: Design (Ctrl+Enter on the keypad too)", "Ctrl+E: export the statblock",
        "Alt+F: File menu", "Alt+F, R: File > Open Recent", "Alt+V, T: View > Theme",
        "Alt+H: Help menu"}) {
    EXPECT_TRUE(shown.contains(QLatin1String(expected))) << expected;
  }
}

// Each of the window's shortcuts runs its action whatever control has the
// focus: the text fields' own Ctrl+E, Ctrl+K and Ctrl+Z among them.
TEST_F(KeysTest, EveryShortcutWorksWhereverTheFocusIs) {
  // A combo box and a spin box, as any later control of the form might be.
  QWidget* surface = form->findChild<QWidget*>(QStringLiteral("FormSurface"));
  auto* combo = new QComboBox(surface);
  combo->setEditable(true);
  combo->addItems({QStringLiteral("one"), QStringLiteral("two")});
  auto* spin = new QSpinBox(surface);
  combo->show();
  spin->show();
  auto* name = Control<QLineEdit>(*form, "NameEdit");
  name->setText(QStringLiteral("Marsh"));
  std::map<QAction*, std::unique_ptr<QSignalSpy>> spies;
  for (QAction* action : WindowActions(form.get())) {
    if (action->shortcuts().isEmpty()) continue;
    // What the action does is other tests' business: here it is only counted.
    QObject::disconnect(action, &QAction::triggered, nullptr, nullptr);
    QObject::disconnect(action, &QAction::toggled, nullptr, nullptr);
    spies[action] = std::make_unique<QSignalSpy>(action, &QAction::triggered);
  }
  ASSERT_GE(spies.size(), 17u);
  for (QWidget* focus : std::initializer_list<QWidget*>{
           name, Control<QCheckBox>(*form, "BipodBox"),
           Control<QPlainTextEdit>(*form, "StatblockMemo"), combo, spin}) {
    for (const auto& [action, spy] : spies) {
      for (const QKeySequence& key : action->shortcuts()) {
        action->setEnabled(true);
        focus->setFocus();
        name->setCursorPosition(0);
        const qsizetype before = spy->count();
        Key(key[0]);
        EXPECT_EQ(spy->count(), before + 1)
            << key.toString().toStdString() << " in " << focus->metaObject()->className();
      }
    }
  }
  EXPECT_EQ(name->text(), QStringLiteral("Marsh"));  // no key took the field's text
  EXPECT_EQ(Control<QPlainTextEdit>(*form, "StatblockMemo")->toPlainText(), QString());
}

// In the statblock pane, Ctrl+Z and Ctrl+Shift+Z undo and redo the pane's
// own edits while it holds any, and the form's otherwise.
TEST_F(KeysTest, ThePaneUndoesItsOwnEditsFirstThenTheForms) {
  auto* name = Control<QLineEdit>(*form, "NameEdit");
  auto* pane = Control<QPlainTextEdit>(*form, "StatblockMemo");
  name->setFocus();
  QTest::keyClicks(name, QStringLiteral("Marsh"));
  pane->setFocus();  // the name's typing is one step now
  // The pane's own typing is one step of its own; the form's undo brings
  // back the empty name, its redo the name.
  struct Step {
    const char* typed;  // typed into the pane first, when not null
    QKeyCombination key;
    const char* pane;
    const char* name;
  };
  const QKeyCombination undo(Qt::CTRL, Qt::Key_Z);
  const QKeyCombination redo(Qt::CTRL | Qt::SHIFT, Qt::Key_Z);
  const Step steps[] = {
      {"ab", undo, "", "Marsh"},       // the pane's typing undone
      {nullptr, undo, "", ""},         // nothing left in the pane: the form's
      {nullptr, redo, "ab", ""},       // the pane's typing redone
      {nullptr, redo, "ab", "Marsh"},  // the form's
  };
  int at = 0;
  for (const Step& s : steps) {
    SCOPED_TRACE(at++);
    if (s.typed != nullptr) QTest::keyClicks(pane, QLatin1String(s.typed));
    Key(s.key);
    EXPECT_EQ(pane->toPlainText(), QLatin1String(s.pane));
    EXPECT_EQ(name->text(), QLatin1String(s.name));
  }
}

// Alt and the underlined letter of a field's caption go to the field, when
// it is open; no letter serves two captions, a menu or a button.
TEST_F(KeysTest, CaptionsTakeTheFocusToTheirFieldsByAltKeys) {
  struct Case {
    const char* label;
    const char* field;
    Qt::Key letter;
    bool openAtStart;
  };
  const Case cases[] = {
      {"Label7", "NameEdit", Qt::Key_N, true},
      {"Label6", "TLEdit", Qt::Key_T, true},
      {"Label3", "BoreSizeEdit", Qt::Key_B, true},
      {"Label10", "PowerModEdit", Qt::Key_P, true},
      {"BarrelsLabel", "BarrelsEdit", Qt::Key_L, false},
      {"ChambersLabel", "ChambersEdit", Qt::Key_C, false},
      {"RoFLabel", "RoFEdit", Qt::Key_R, false},
      {"ShotsLabel", "ShotsEdit", Qt::Key_S, true},
      {"Label8", "ArbWeight", Qt::Key_W, true},
      {"Label9", "ArbCF", Qt::Key_A, true},
  };
  // Every Alt letter of the window, by what holds it.
  std::multimap<QString, QString> letters;
  const auto add = [&letters](const QString& text, const QString& holder) {
    const QKeySequence alt = QKeySequence::mnemonic(text);
    if (!alt.isEmpty()) letters.insert({alt.toString(), holder});
  };
  for (QAction* menu : form->menuBar()->actions()) add(menu->text(), menu->text());
  for (QLabel* label : form->findChildren<QLabel*>()) add(label->text(), label->objectName());
  for (QAbstractButton* button : form->findChildren<QAbstractButton*>()) {
    add(button->text(), button->objectName());
  }
  for (const auto& [letter, holder] : letters) {
    EXPECT_EQ(letters.count(letter), 1u) << letter.toStdString() << " of " << holder.toStdString();
  }
  Control<QLineEdit>(*form, "ShotsEdit")->setFocus();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    auto* label = Control<QLabel>(*form, c.label);
    auto* field = Control<QLineEdit>(*form, c.field);
    EXPECT_EQ(label->buddy(), field);
    EXPECT_EQ(QKeySequence::mnemonic(label->text()), QKeySequence(Qt::ALT | c.letter));
    EXPECT_EQ(field->isEnabled(), c.openAtStart);
    QWidget* before = form->focusWidget();
    Key(QKeyCombination(Qt::ALT, c.letter));
    EXPECT_EQ(form->focusWidget(), c.openAtStart ? field : before);
  }
}

// New starts at the first control of the keyboard's order, the bore; a New
// cancelled leaves the focus where it was.
TEST_F(KeysTest, NewFocusesTheFirstControl) {
  struct Case {
    const char* what;
    bool changed;
    const char* focused;
  };
  const Case cases[] = {{"unchanged form", false, "BoreSizeEdit"},
                        {"changes kept by Cancel", true, "ShotsEdit"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto* shots = Control<QLineEdit>(*form, "ShotsEdit");
    shots->setFocus();
    if (c.changed) {
      Type(shots, QStringLiteral("30"));
      dialogs->unsavedAnswer = [](const QString&) {
        return TDialogServices::UnsavedAnswer::Cancel;
      };
    }
    Key(QKeyCombination(Qt::CTRL, Qt::Key_N));
    EXPECT_EQ(form->focusWidget()->objectName(), QLatin1String(c.focused));
    EXPECT_EQ(dialogs->asked.size(), c.changed ? 1 : 0);
  }
}

}  // namespace
