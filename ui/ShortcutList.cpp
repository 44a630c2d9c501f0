#include "ui/ShortcutList.h"

#include <QAction>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QVariant>
#include <QWidget>
#include <utility>

namespace brennick::keys {
namespace {

const char* const kKeyHelp = "brennickKeyHelp";

// A menu text as it reads: no mnemonic marks, no "..." of a dialog to come.
QString Plain(QString text) {
  text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
  text.remove(QLatin1Char('&'));
  text.replace(QStringLiteral("\x01"), QStringLiteral("&"));
  if (text.endsWith(QStringLiteral("..."))) text.chop(3);
  if (text.endsWith(QChar(0x2026))) text.chop(1);
  return text;
}

QMenuBar* MenuBarOf(const QWidget* window) {
  if (const auto* main = qobject_cast<const QMainWindow*>(window)) {
    // menuBar() would make one; a window without any has no menu keys.
    return main->findChild<QMenuBar*>(QString(), Qt::FindDirectChildrenOnly);
  }
  return window->findChild<QMenuBar*>(QString(), Qt::FindDirectChildrenOnly);
}

void AddMenuActions(const QMenu* menu, QList<QAction*>& into) {
  for (QAction* action : menu->actions()) {
    if (action->isSeparator()) continue;
    into << action;
    if (action->menu() != nullptr) AddMenuActions(action->menu(), into);
  }
}

bool Shortcut(const QWidget* window, const QKeyEvent& key) {
  // The keypad's Enter is the keypad's key, whatever the modifier says.
  const QKeySequence pressed(
      QKeyCombination(key.modifiers() & ~Qt::KeypadModifier, Qt::Key(key.key())));
  for (const QAction* action : WindowActions(window)) {
    if (!action->isEnabled()) continue;
    for (const QKeySequence& shortcut : action->shortcuts()) {
      if (shortcut.matches(pressed) == QKeySequence::ExactMatch) return true;
    }
  }
  return false;
}

}  // namespace

void SetKeyHelp(QAction* action, const QString& help) {
  action->setProperty(kKeyHelp, help);
}

QList<QAction*> WindowActions(const QWidget* window) {
  QList<QAction*> actions = window->actions();
  if (QMenuBar* bar = MenuBarOf(window)) {
    for (QAction* menu : bar->actions()) {
      if (menu->menu() != nullptr) AddMenuActions(menu->menu(), actions);
    }
  }
  return actions;
}

std::vector<ShortcutLine> ShortcutLines(const QList<QAction*>& actions) {
  std::vector<ShortcutLine> lines;
  const QKeySequence ctrlReturn(Qt::CTRL | Qt::Key_Return);
  const QKeySequence ctrlEnter(Qt::CTRL | Qt::Key_Enter);
  for (const QAction* action : actions) {
    const QList<QKeySequence> keys = action->shortcuts();
    if (keys.isEmpty()) continue;
    const QString help = action->property(kKeyHelp).toString();
    ShortcutLine line{keys, help.isEmpty() ? Plain(action->text()) : help, {}};
    QStringList named;
    bool keypad = false;
    for (const QKeySequence& key : keys) {
      if (key == ctrlEnter && keys.contains(ctrlReturn)) {
        keypad = true;
        continue;
      }
      named << key.toString(QKeySequence::NativeText);
    }
    line.text = named.join(QStringLiteral(", ")) + QStringLiteral(": ") + line.what;
    if (keypad) {
      line.text += QCoreApplication::translate("TForm1", " (%1 on the keypad too)")
                       .arg(ctrlEnter.toString(QKeySequence::NativeText));
    }
    lines.push_back(line);
  }
  return lines;
}

QStringList MenuKeyLines(const QWidget* window) {
  QStringList lines;
  QMenuBar* bar = MenuBarOf(window);
  if (bar == nullptr) return lines;
  const auto letter = [](const QString& text) {
    const QKeySequence mnemonic = QKeySequence::mnemonic(text);
    return mnemonic.isEmpty() ? QString()
                              : QKeySequence(QKeyCombination(mnemonic[0].key()))
                                    .toString(QKeySequence::NativeText);
  };
  for (const QAction* menu : bar->actions()) {
    if (menu->menu() == nullptr) continue;
    const QKeySequence alt = QKeySequence::mnemonic(menu->text());
    if (alt.isEmpty()) continue;
    const QString altText = alt.toString(QKeySequence::NativeText);
    const QString title = Plain(menu->text());
    lines << QCoreApplication::translate("TForm1", "%1: %2 menu").arg(altText, title);
    for (const QAction* entry : menu->menu()->actions()) {
      if (entry->menu() == nullptr || letter(entry->text()).isEmpty()) continue;
      lines << QCoreApplication::translate("TForm1", "%1, %2: %3 > %4")
                   .arg(altText, letter(entry->text()), title, Plain(entry->text()));
    }
  }
  return lines;
}

TWindowShortcuts::TWindowShortcuts(QWidget* window, KeepForControl keepForControl)
    : QObject(window), window_(window), keepForControl_(std::move(keepForControl)) {
  QCoreApplication::instance()->installEventFilter(this);
}

bool TWindowShortcuts::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::ShortcutOverride && watched->isWidgetType()) {
    auto* control = static_cast<QWidget*>(watched);
    const auto& key = *static_cast<QKeyEvent*>(event);
    if (control != window_ && control->window() == window_ && Shortcut(window_, key) &&
        !(keepForControl_ && keepForControl_(control, key))) {
      event->ignore();  // not the control's: the window's shortcut runs
      return true;
    }
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace brennick::keys
