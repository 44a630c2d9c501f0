// Wiring the window to its form model: the user's changes of the controls
// become model changes, program steps change controls through the model, and
// the window then shows the model's state with its widgets kept quiet.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalBlocker>

#include "ui/Unit1.h"

using brennick::FieldInfo;
using brennick::FieldKind;

namespace {

const FieldInfo& FieldOf(const QObject* control) {
  const FieldInfo* field = brennick::FindFormField(control->objectName().toStdString());
  if (field == nullptr) throw std::logic_error("a control without a form field");
  return *field;
}

}  // namespace

// Qt signals reach these bindings only for changes the user made: the window
// shows the model's state with the widgets' signals blocked.
void TForm1::BindEvents() {
  const auto fields = brennick::FormFields();
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const FieldInfo& field = fields[i];
    QWidget* control = fieldWidgets_[i];
    switch (field.kind) {
      case FieldKind::Text:
        // Typing a field's own text over it is no change: the model compares.
        connect(static_cast<QLineEdit*>(control), &QLineEdit::textChanged, this,
                [this, &field](const QString& text) {
                  UserEvent(
                      [this, &field, text] { session_.model().SetText(field, text.toStdString()); },
                      field.name);
                });
        break;
      case FieldKind::Check:
        connect(
            static_cast<QCheckBox*>(control), &QCheckBox::toggled, this,
            [this, &field](bool checked) {
              UserEvent([this, &field, checked] { session_.model().SetChecked(field, checked); });
            });
        break;
      case FieldKind::Group:
        connect(static_cast<TRadioGroup*>(control), &TRadioGroup::itemIndexChanged, this,
                [this, &field](int index) {
                  UserEvent([this, &field, index] { session_.model().SetIndex(field, index); });
                });
        break;
    }
  }

  connect(DesignButton, &QPushButton::clicked, this,
          [this] { UserEvent([this] { DesignButtonClick(); }); });
  connect(RandomButton, &QPushButton::clicked, this,
          [this] { UserEvent([this] { RandomButtonClick(); }); });
}

void TForm1::ShowState(bool everything) {
  // Only what the model changed since it was last shown is written, as the
  // rules themselves would write it; everything at start and after a whole
  // form is restored.
  const brennick::FormState& state = session_.form();
  const auto fields = brennick::FormFields();
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const FieldInfo& field = fields[i];
    QWidget* control = fieldWidgets_[i];
    const QSignalBlocker quiet(control);
    bool enabled = true;
    switch (field.kind) {
      case FieldKind::Text: {
        const brennick::TextControl& value = state.*field.textControl;
        if (!everything && value == shown_.*field.textControl) continue;
        auto* edit = static_cast<QLineEdit*>(control);
        // A field being typed into already holds its text: writing it again
        // would move the cursor.
        const QString text = QString::fromStdString(value.text);
        if (edit->text() != text) edit->setText(text);
        enabled = value.enabled;
        break;
      }
      case FieldKind::Check: {
        const brennick::CheckControl& value = state.*field.checkControl;
        if (!everything && value == shown_.*field.checkControl) continue;
        static_cast<QCheckBox*>(control)->setChecked(value.checked);
        enabled = value.enabled;
        break;
      }
      case FieldKind::Group: {
        const brennick::GroupControl& value = state.*field.groupControl;
        if (!everything && value == shown_.*field.groupControl) continue;
        static_cast<TRadioGroup*>(control)->setItemIndex(value.index);
        enabled = value.enabled;
        break;
      }
    }
    control->setEnabled(enabled);
    if (QLabel* label = fieldLabels_[i]) label->setEnabled(enabled);
  }
  if (everything || session_.model().hintWrites() != shownHintWrites_) {
    MaxRoFLabel->setText(QString::fromStdString(state.MaxRoFLabel));
  }
  shown_ = state;
  shownHintWrites_ = session_.model().hintWrites();
}

void TForm1::ModelStep(const std::function<void()>& step) {
  try {
    step();
  } catch (...) {
    ShowState();
    throw;
  }
  ShowState();
}

void TForm1::Change(QLineEdit* edit, const QString& text) {
  ModelStep([this, edit, &text] { session_.model().SetText(FieldOf(edit), text.toStdString()); });
}
void TForm1::Change(QCheckBox* box, bool checked) {
  ModelStep([this, box, checked] { session_.model().SetChecked(FieldOf(box), checked); });
}
void TForm1::Change(TRadioGroup* group, int index) {
  ModelStep([this, group, index] { session_.model().SetIndex(FieldOf(group), index); });
}

void TForm1::UserEvent(const std::function<void()>& event, std::string_view typing) {
  // Nothing may unwind into Qt's event dispatch: DesignError (and anything
  // unforeseen) ends here, in the error report, after the window shows what
  // the event changed before it failed. Whatever the event changed, failed
  // or not, is one step to undo.
  const brennick::FormState before = session_.form();
  faultField_ = nullptr;
  try {
    ModelStep(event);
  } catch (const std::exception& error) {
    // A design message quotes the text as typed, which may hold a NUL: take
    // it whole, not up to the first NUL as what() would give it.
    const auto* design = dynamic_cast<const brennick::DesignError*>(&error);
    ReportError(QString::fromStdString(design ? design->message() : std::string(error.what())));
    // Once the message is acknowledged, the field Design could not read
    // takes the focus with its text selected, ready to be typed over.
    if (faultField_ && faultField_->isEnabled()) {
      scroller_->ensureWidgetVisible(faultField_);
      faultField_->setFocus(Qt::OtherFocusReason);
      faultField_->selectAll();
    }
  }
  faultField_ = nullptr;
  session_.Changed(before, typing);
  UpdateTitle();
}
