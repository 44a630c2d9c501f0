// The Max RoF hint at the bores where its rule changes. An Electric Gatling
// fires 16.67 shots a barrel up to a bore of 20 mm; above 20 mm each barrel
// fires 334 / bore, rounded. A Light Automatic is 3-16 up to 10 mm, then
// 160 / bore; a Heavy Automatic 3-20 up to 20 mm, then 400 / bore. Rounding
// is to the nearest whole shot, ties to even.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include "engine/design.h"
#include "tests/ui/support.h"
#include "ui/Unit1.h"

namespace {

using namespace brennick;

class MaxRoFHintTest : public FormTest {
 protected:
  template <typename T>
  T* Control(const QString& name) const {
    T* control = form->findChild<T*>(name);
    EXPECT_NE(control, nullptr) << name.toStdString();
    return control;
  }
  void ChooseMechanism(int item) const {
    auto* option = Control<QRadioButton>(QStringLiteral("LoadingMechanismBoxItem%1").arg(item));
    ASSERT_NE(option, nullptr);
    QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(7, option->height() / 2));
    ASSERT_TRUE(option->isChecked());
  }
  // Replaces what the field holds, key by key; a '.' is typed as the
  // system's decimal separator.
  void Retype(const char* name, QString text) const {
    auto* field = Control<QLineEdit>(QLatin1String(name));
    ASSERT_NE(field, nullptr);
    ASSERT_TRUE(field->isEnabled()) << name;
    text.replace(QLatin1Char('.'), QLatin1Char(TForm1::DecimalSeparator()));
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, text);
    ASSERT_EQ(field->text(), text);
  }
  QString Hint() const { return Control<QLabel>(QStringLiteral("MaxRoFLabel"))->text(); }
};

TEST_F(MaxRoFHintTest, AnElectricGatlingAtAndAroundTwentyMillimetres) {
  const struct {
    const char* bore;
    const char* barrels;
    const char* hint;
  } cases[] = {
      // 16.67 a barrel: 6 barrels 100.02, 3 barrels 50.01, 1 barrel 16.67.
      {"20", "6", "Max RoF: 100"},
      {"20", "3", "Max RoF: 50"},
      {"20", "1", "Max RoF: 17"},
      {"19.99", "6", "Max RoF: 100"},
      {"10", "2", "Max RoF: 33"},
      // 334 / 20.01 = 16.69, 17 a barrel.
      {"20.01", "6", "Max RoF: 102"},
      {"20.01", "3", "Max RoF: 51"},
      // 334 / 21 = 15.90, 16 a barrel; 334 / 30 = 11.13, 11; 334 / 40 = 8.35, 8.
      {"21", "2", "Max RoF: 32"},
      {"30", "6", "Max RoF: 66"},
      {"40", "3", "Max RoF: 24"},
  };
  ChooseMechanism(kElectricGatling);
  for (const auto& c : cases) {
    // Barrels first, then the bore, and the other way round.
    Retype("BarrelsEdit", QLatin1String(c.barrels));
    Retype("BoreSizeEdit", QLatin1String(c.bore));
    EXPECT_EQ(Hint(), QLatin1String(c.hint)) << c.bore << " mm, " << c.barrels << " barrels";
    Retype("BoreSizeEdit", QStringLiteral("1"));
    Retype("BarrelsEdit", QStringLiteral("1"));
    Retype("BoreSizeEdit", QLatin1String(c.bore));
    Retype("BarrelsEdit", QLatin1String(c.barrels));
    EXPECT_EQ(Hint(), QLatin1String(c.hint)) << c.bore << " mm, " << c.barrels << " barrels";
  }
  EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(MaxRoFHintTest, TheAutomaticsAtTheBoresWhereTheirCeilingBegins) {
  const struct {
    int mechanism;
    const char* bore;
    const char* hint;
  } cases[] = {
      {kLightAutomatic, "9.99", "RoF: 3-16"},
      {kLightAutomatic, "10", "RoF: 3-16"},
      {kLightAutomatic, "10.01", "Max RoF: 16"},  // 15.98
      {kLightAutomatic, "12", "Max RoF: 13"},     // 13.33
      {kLightAutomatic, "64", "Max RoF: 2"},      // 2.5, ties to even
      {kHeavyAutomatic, "19.99", "RoF: 3-20"},
      {kHeavyAutomatic, "20", "RoF: 3-20"},
      {kHeavyAutomatic, "20.01", "Max RoF: 20"},  // 19.99
      {kHeavyAutomatic, "25", "Max RoF: 16"},
      {kHeavyAutomatic, "160", "Max RoF: 2"},  // 2.5, ties to even
  };
  for (const auto& c : cases) {
    ChooseMechanism(c.mechanism);
    Retype("BoreSizeEdit", QLatin1String(c.bore));
    EXPECT_EQ(Hint(), QLatin1String(c.hint)) << c.mechanism << " " << c.bore << " mm";
  }
  EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

}  // namespace
