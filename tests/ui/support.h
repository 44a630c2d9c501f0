// Shared set-up of the window tests: a fresh window per test whose error
// report is recorded instead of shown, and helpers that act as a user does.
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

#include "RadioGroup.h"
#include "Unit1.h"

// Readable failure output for texts and lists of lines.
inline void PrintTo(const QString& text, std::ostream* os) {
  *os << '"' << text.toStdString() << '"';
}

class FormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    errors.clear();
    form = std::make_unique<TForm1>();
    form->setErrorReporter([this](const QString& message) { errors << message; });
    form->show();
  }

  // The statblock pane, one entry per line.
  QStringList Pane() const {
    const QString text = form->StatblockMemo->toPlainText();
    return text.isEmpty() ? QStringList{} : text.split(QLatin1Char('\n'));
  }

  // A number typed with the system's decimal separator, e.g. Decimal("7", "62").
  static QString Decimal(const char* whole, const char* fraction) {
    return QLatin1String(whole) + QLatin1Char(TForm1::DecimalSeparator()) + QLatin1String(fraction);
  }

  // --- Acting as the user. ---
  // Clicks on the box or option itself (its indicator), as a mouse would.
  static void Click(QAbstractButton* button) {
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(7, button->height() / 2));
  }
  static void Choose(TRadioGroup* group, int index) { Click(group->button(index)); }
  static void PressButton(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
  // Replaces the whole text of a field by typing, one key at a time.
  static void Type(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    if (text.isEmpty()) {
      QTest::keyClick(edit, Qt::Key_Backspace);
    } else {
      QTest::keyClicks(edit, text);
    }
  }

  std::unique_ptr<TForm1> form;
  QStringList errors;
};
