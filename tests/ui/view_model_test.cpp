// The window is a view of its form model: the same user actions, made with
// the mouse and keyboard on the window and as plain calls on a model of its
// own, must end in the same form, and the widgets must show exactly that form.
#include <QLabel>
#include <cstdint>
#include <random>
#include <string>

#include "form/fields.h"
#include "form/form_model.h"
#include "form/tooltips.h"
#include "tests/ui/support.h"

namespace {

using namespace brennick;

// The form as the widgets show it, read by name through the field table.
FormState ShownState(const TForm1& window) {
  FormState shown;
  for (const FieldInfo& field : FormFields()) {
    auto* control = window.findChild<QWidget*>(QLatin1String(field.name));
    switch (field.kind) {
      case FieldKind::Text: {
        auto* edit = static_cast<QLineEdit*>(control);
        shown.*field.textControl = {edit->text().toStdString(), edit->isEnabled()};
        // A field's label is enabled with it.
        auto* label = window.findChild<QLabel*>(QLatin1String(field.label));
        EXPECT_EQ(label->isEnabled(), edit->isEnabled()) << field.label;
        break;
      }
      case FieldKind::Check: {
        auto* box = static_cast<QCheckBox*>(control);
        shown.*field.checkControl = {box->isChecked(), box->isEnabled()};
        break;
      }
      case FieldKind::Group: {
        auto* group = static_cast<TRadioGroup*>(control);
        shown.*field.groupControl = {group->itemIndex(), group->isEnabled()};
        break;
      }
    }
  }
  shown.MaxRoFLabel = Control<QLabel>(window, "MaxRoFLabel")->text().toStdString();
  return shown;
}

// Texts that exercise the rules: numbers around the hint's thresholds, TLs
// on both sides of the revolver's 6, and texts no rule can read.
const char* const kTexts[] = {"",   "1",   "6",  "5",  "9",   "10",   "12.7", "20", "25",  "30",
                              "64", "abc", "$A", "-3", "1e3", "7.62", "11",   "0",  " 9 ", "2.5e1"};

class ViewModelTest : public FormTest {};

TEST_F(ViewModelTest, TheSameActionsOnWindowAndModelGiveTheSameForm) {
  std::mt19937 pick(20261208);
  FormModel model(TForm1::DecimalSeparator());
  ASSERT_EQ(form->model().state(), model.state());
  ASSERT_EQ(ShownState(*form), model.state());
  const auto fields = FormFields();
  int modelErrors = 0;

  for (int step = 0; step < 1500; ++step) {
    const auto roll = pick() % 100;
    if (roll < 4) {
      // Randomize with a known seed.
      const std::uint32_t seed = pick();
      form->setSeedClock([seed] { return seed; });
      Press(Control<QPushButton>(*form, "RandomButton"));
      try {
        model.RandomButtonClick(seed);
      } catch (const DesignError&) {
        ++modelErrors;
      }
    } else {
      const FieldInfo& field = fields[pick() % fields.size()];
      auto* control = form->findChild<QWidget*>(QLatin1String(field.name));
      // The user can only change what is enabled.
      if (!control->isEnabled()) continue;
      try {
        switch (field.kind) {
          case FieldKind::Text: {
            const char* text = kTexts[pick() % std::size(kTexts)];
            std::string typed = text;
            for (char& c : typed) {
              if (c == '.') c = TForm1::DecimalSeparator();
            }
            Type(static_cast<QLineEdit*>(control), QString::fromStdString(typed));
            // Typing over the whole text key by key passes through every
            // prefix of the new text; an empty text is one Backspace.
            if (typed.empty()) model.SetText(field, "");
            for (std::size_t n = 1; n <= typed.size(); ++n) {
              model.SetText(field, typed.substr(0, n));
            }
            break;
          }
          case FieldKind::Check: {
            auto* box = static_cast<QCheckBox*>(control);
            const bool checked = !box->isChecked();
            Click(box);
            model.SetChecked(field, checked);
            break;
          }
          case FieldKind::Group: {
            const int index = static_cast<int>(pick() % field.items.size());
            Choose(static_cast<TRadioGroup*>(control), index);
            model.SetIndex(field, index);
            break;
          }
        }
      } catch (const DesignError&) {
        ++modelErrors;
      }
    }
    ASSERT_EQ(form->model().state(), model.state()) << "step " << step;
    ASSERT_EQ(ShownState(*form), model.state()) << "step " << step;
  }
  EXPECT_EQ(errors.size(), modelErrors);
}

}  // namespace

namespace {

// Every control of the form, its label and the window's own controls carry
// the tooltip of their row in the tables, and nothing else claims one.
TEST_F(ViewModelTest, EveryControlShowsItsTooltip) {
  QStringList names;
  for (const FieldInfo& field : FormFields()) {
    names << QLatin1String(field.name);
    if (field.label) names << QLatin1String(field.label);
  }
  for (const ControlTip& tip : WindowTooltips()) names << QLatin1String(tip.name);
  for (const QString& name : names) {
    auto* control = form->findChild<QWidget*>(name);
    ASSERT_NE(control, nullptr) << name.toStdString();
    EXPECT_EQ(control->toolTip(), QString::fromUtf8(ControlTooltip(name.toStdString())))
        << name.toStdString();
    EXPECT_FALSE(control->toolTip().isEmpty()) << name.toStdString();
  }
}

}  // namespace

namespace {

// A typed text is quoted whole in the error report, even past a NUL.
TEST_F(ViewModelTest, ErrorMessagesCarryTheWholeText) {
  const QString bore = QStringLiteral("10") + QChar(0) + QStringLiteral("x");
  Control<QLineEdit>(*form, "BoreSizeEdit")->setText(bore);
  Press(Control<QPushButton>(*form, "DesignButton"));
  ASSERT_EQ(errors.size(), 1);
  EXPECT_EQ(errors[0],
            QLatin1Char('\'') + bore + QStringLiteral("' is not a valid floating point value"));
}

}  // namespace
