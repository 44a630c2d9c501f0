// Shared set-up of the window tests: a fresh window per test whose dialogs
// are answered by a scripted double and whose error report is recorded,
// controls found by their names, helpers that act as a user does, and a
// one-line description of controls' states for compact expectations.
#pragma once

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>
#include <QTest>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <string>

#include "tests/ui/scripted_dialogs.h"
#include "ui/RadioGroup.h"
#include "ui/Unit1.h"

inline void PrintTo(const QString& text, std::ostream* os) {
  *os << '"' << text.toStdString() << '"';
}

// A label's caption as the user reads it: the mark of its Alt key (the '&'
// before the underlined letter) taken out, a doubled "&&" read as one '&'.
inline QString ShownCaption(const QLabel* label) {
  QString text = label->text();
  text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
  text.remove(QLatin1Char('&'));
  return text.replace(QStringLiteral("\x01"), QStringLiteral("&"));
}

// The control of `window` named `name`, of the kind T: Control<QLineEdit>(form,
// "BoreSizeEdit"). A test that names a control the window lacks fails there.
template <class T>
T* Control(const QObject& window, const char* name) {
  T* control = window.findChild<T*>(QLatin1String(name));
  if (control == nullptr) {
    throw std::logic_error(std::string("no control named ") + name + " of that kind in " +
                           window.objectName().toStdString());
  }
  return control;
}

class FormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    errors.clear();
    dialogs = std::make_shared<ScriptedDialogs>();
    dialogs->onError = [this](const QString& message) { errors << message; };
    form = std::make_unique<TForm1>();
    form->setDialogs(dialogs);
    form->show();
  }

  QStringList Pane() const {
    const QString text = Control<QPlainTextEdit>(*form, "StatblockMemo")->toPlainText();
    return text.isEmpty() ? QStringList{} : text.split(QLatin1Char('\n'));
  }
  // A number typed with the system's decimal separator: Decimal("7", "62").
  static QString Decimal(const char* whole, const char* fraction) {
    return QLatin1String(whole) + QLatin1Char(TForm1::DecimalSeparator()) + QLatin1String(fraction);
  }

  // --- Acting as the user: clicks on the indicator, typing key by key. ---
  static void Click(QAbstractButton* button) {
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(7, button->height() / 2));
  }
  static void Choose(TRadioGroup* group, int index) { Click(group->button(index)); }
  static void Press(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
  static void Type(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    if (text.isEmpty()) {
      QTest::keyClick(edit, Qt::Key_Backspace);
    } else {
      QTest::keyClicks(edit, text);
    }
  }

  // States in one line: a field as its text and "on"/"off" (a "!" when its
  // label disagrees), a check box as "x"/"-" and on/off, a group as its index
  // and on/off, a label as its caption; separated by " | ".
  static QString Snap(std::initializer_list<QWidget*> controls) {
    QStringList parts;
    for (QWidget* c : controls) {
      const QString on = c->isEnabled() ? QStringLiteral(" on") : QStringLiteral(" off");
      if (auto* edit = qobject_cast<QLineEdit*>(c)) {
        QString part = edit->text() + on;
        for (QLabel* label : c->window()->findChildren<QLabel*>()) {
          if (label->buddy() == edit && label->isEnabled() != edit->isEnabled()) part += '!';
        }
        parts << part;
      } else if (auto* box = qobject_cast<QCheckBox*>(c)) {
        parts << (box->isChecked() ? QStringLiteral("x") : QStringLiteral("-")) + on;
      } else if (auto* group = qobject_cast<TRadioGroup*>(c)) {
        parts << QString::number(group->itemIndex()) + on;
      } else if (auto* label = qobject_cast<QLabel*>(c)) {
        parts << ShownCaption(label);
      }
    }
    return parts.join(QStringLiteral(" | "));
  }

  std::unique_ptr<TForm1> form;
  std::shared_ptr<ScriptedDialogs> dialogs;
  QStringList errors;
};
