// Typing into a field is one step to undo; an undo closes it. Typing into
// the same field again after an undo is a step of its own, so the next undo
// takes back that typing alone and leaves the earlier change standing.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QTest>

#include "tests/ui/support.h"
#include "ui/Unit1.h"

namespace {

class TypingUndoTest : public FormTest {
 protected:
  QLineEdit* Field(const char* name) const {
    auto* field = form->findChild<QLineEdit*>(QLatin1String(name));
    EXPECT_NE(field, nullptr) << name;
    EXPECT_TRUE(field && field->isEnabled()) << name;
    return field;
  }
  // Types `text` key by key at the end of what the field holds.
  static void Type(QLineEdit* field, const char* text) {
    field->setFocus();
    field->end(false);
    QTest::keyClicks(field, QLatin1String(text));
  }
  void Trigger(const char* action) const {
    auto* a = form->findChild<QAction*>(QLatin1String(action));
    ASSERT_NE(a, nullptr) << action;
    a->trigger();
  }
};

TEST_F(TypingUndoTest, AfterAnUndoTheSameFieldBeginsAStepOfItsOwn) {
  // The earlier change, then the field typed into, undone and typed again.
  const struct {
    const char* earlier;
    const char* earlierText;
    const char* field;
  } cases[] = {
      {"BoreSizeEdit", "7", "NameEdit"},
      {"NameEdit", "Carbine", "BoreSizeEdit"},
      {"NameEdit", "Carbine", "PowerModEdit"},
      {"PowerModEdit", "2", "NameEdit"},
  };
  for (const auto& c : cases) {
    form = std::make_unique<TForm1>();
    form->setDialogs(dialogs);
    form->show();
    QLineEdit* earlier = Field(c.earlier);
    QLineEdit* field = Field(c.field);
    ASSERT_TRUE(earlier && field);
    const QString earlierStart = earlier->text();
    const QString start = field->text();

    Type(earlier, c.earlierText);
    const QString earlierTyped = earlier->text();
    Type(field, "12");
    ASSERT_EQ(field->text(), start + "12") << c.field;
    Trigger("UndoAction");
    EXPECT_EQ(field->text(), start) << c.field;
    EXPECT_EQ(earlier->text(), earlierTyped) << c.earlier;

    // Typed again in the same field, without leaving it.
    Type(field, "34");
    ASSERT_EQ(field->text(), start + "34") << c.field;
    Trigger("UndoAction");
    EXPECT_EQ(field->text(), start) << c.field << " after " << c.earlier;
    EXPECT_EQ(earlier->text(), earlierTyped) << c.earlier << " before " << c.field;

    // Redo brings the second typing back; two more undos take back the
    // earlier change, then nothing is left to undo.
    Trigger("RedoAction");
    EXPECT_EQ(field->text(), start + "34") << c.field;
    Trigger("UndoAction");
    Trigger("UndoAction");
    EXPECT_EQ(field->text(), start) << c.field;
    EXPECT_EQ(earlier->text(), earlierStart) << c.earlier;
    EXPECT_FALSE(form->findChild<QAction*>(QStringLiteral("UndoAction"))->isEnabled());
  }
  EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(TypingUndoTest, AnUndoOfTypingLeavesAnEarlierClickStanding) {
  auto* box = form->findChild<QCheckBox*>(QStringLiteral("SpaceProof"));
  ASSERT_NE(box, nullptr);
  ASSERT_TRUE(box->isEnabled());
  const bool was = box->isChecked();
  QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(7, box->height() / 2));
  ASSERT_NE(box->isChecked(), was);
  QLineEdit* name = Field("NameEdit");
  ASSERT_NE(name, nullptr);
  Type(name, "Ab");
  Trigger("UndoAction");
  Type(name, "Cd");
  Trigger("UndoAction");
  EXPECT_EQ(name->text(), QString());
  EXPECT_NE(box->isChecked(), was);
  Trigger("UndoAction");
  EXPECT_EQ(box->isChecked(), was);
  EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

}  // namespace
