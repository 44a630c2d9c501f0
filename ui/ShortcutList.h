// The windows' keys in one place: the list Help > Keyboard Shortcuts shows,
// made from the windows' actions so that it names every key they have and
// no other, and the rule that lets a window's shortcut through the control
// with the focus, which would otherwise take some of those keys for its own
// editing (Ctrl+E and Ctrl+K in a text field on Linux, Ctrl+Z anywhere).
#pragma once

#include <QCoreApplication>
#include <QKeySequence>
#include <QList>
#include <QObject>
#include <QString>
#include <functional>
#include <vector>

class QAction;
class QKeyEvent;
class QWidget;

namespace brennick::keys {

// What the list says an action does, when its menu text would say too
// little ("new design" for New); without it the list takes the menu text.
void SetKeyHelp(QAction* action, const QString& help);

// The actions of a window that may carry keys: its own (actions()), then
// those of its menu bar's menus, submenus included, in menu order.
QList<QAction*> WindowActions(const QWidget* window);

// One line of the list: the keys of an action and what it does.
struct ShortcutLine {
  QList<QKeySequence> keys;
  QString what;
  QString text;  // as the list shows it: "Ctrl+Shift+Z, Ctrl+Y: redo"
};

// A line for each action with keys, in the order given. The keypad's
// Ctrl+Enter beside Ctrl+Return is one key for the user, named after it.
std::vector<ShortcutLine> ShortcutLines(const QList<QAction*>& actions);

// The menu bar's Alt keys ("Alt+F: File menu") and those of its submenus
// ("Alt+F, R: File > Open Recent").
QStringList MenuKeyLines(const QWidget* window);

// Lets the shortcuts of `window`'s actions through the control with the
// focus: a key that is a shortcut of one of them, pressed in a control of
// that window, goes to the action, unless `keepForControl` says the control
// needs it for edits of its own (the statblock pane's undo while it holds
// some). Watches the whole application; ends with `window`.
class TWindowShortcuts : public QObject {
 public:
  using KeepForControl = std::function<bool(QWidget* control, const QKeyEvent& key)>;
  TWindowShortcuts(QWidget* window, KeepForControl keepForControl);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* window_;
  KeepForControl keepForControl_;
};

}  // namespace brennick::keys
