// Wiring the window to its form model: the user's changes of the controls
// become model changes, program steps change controls through the model, and
// the window then shows the model's state with its widgets kept quiet.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalBlocker>

#include "ui/DerivationPanel.h"
#include "ui/ShownText.h"
#include "ui/Theme.h"
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

  // Whatever takes the focus is scrolled into the form's visible part, on a
  // screen too small for the whole form: the keys never reach a control
  // that cannot be seen.
  connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
    if (now == nullptr || !surface_->isAncestorOf(now)) return;
    // The whole control, not only its text cursor as the scroll area
    // would have it.
    const QRect shown(now->mapTo(surface_, QPoint(0, 0)), now->size());
    scroller_->ensureVisible(shown.center().x(), shown.center().y(), shown.width() / 2 + 4,
                             shown.height() / 2 + 4);
  });

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
  AfterFormChange();
}

// ---------------------------------------------------------------------------
// The pane and the form it was made from

void TForm1::AfterFormChange() {
  // Until the window is laid out there is no pane to speak of.
  if (StatblockNote == nullptr || designing_) return;
  if (liveStatblock() && (!designedInput_ || *designedInput_ != session_.form().Input())) {
    DesignQuietly();
    return;
  }
  UpdateStatblockNote();
}

bool TForm1::statblockStale() const {
  return designedInput_ && *designedInput_ != session_.form().Input();
}

QString TForm1::statblockNote() const {
  return StatblockNote && !StatblockNote->isHidden() ? StatblockNote->text() : QString();
}

void TForm1::UpdateStatblockNote() {
  if (StatblockNote == nullptr) return;
  const bool stale = statblockStale();
  QString note;
  if (stale) {
    note = tr("The form has changed since this statblock: %1 (%2) updates it")
               .arg(tr("Design"), actions_.Design->shortcut().toString(QKeySequence::NativeText));
  } else if (!quietFailure_.isEmpty()) {
    note = tr("Design stopped: %1").arg(quietFailure_);
  } else if (designedInput_ && DerivationPanel->lastDesign().error) {
    note =
        tr("Design stopped: %1").arg(QString::fromStdString(*DerivationPanel->lastDesign().error));
  }
  // A message may quote a very long typed text: the note shows its start, on
  // one line; the panel below has it whole.
  note = brennick::shown::ShownText(note).section(QLatin1Char('\n'), 0, 0);
  if (StatblockNote->text() != note) StatblockNote->setText(note);
  StatblockNote->setHidden(note.isEmpty());
  // The statblock of an earlier form is dimmed.
  if (StatblockMemo->property("stale").toBool() != stale) {
    StatblockMemo->setProperty("stale", stale);
    ColourStatblockNote();
  }
}

void TForm1::ColourStatblockNote() {
  if (StatblockNote == nullptr) return;
  // Every colour comes from the window's palette, so that the note reads
  // on a light theme and a dark one alike: a faint yellow over the light
  // ground, a dark amber under light text. Only the roles set here are the
  // widgets' own; all the others follow the palette as it changes.
  const QPalette window = palette();
  QPalette note;
  note.setColor(QPalette::Window, brennick::theme::NoteBackground(window));
  note.setColor(QPalette::WindowText, brennick::theme::NoteText(window));
  StatblockNote->setPalette(note);
  StatblockNote->setAutoFillBackground(true);
  // The dimmed statblock keeps its text readable, half way to the ground.
  QPalette pane;
  if (StatblockMemo->property("stale").toBool()) {
    const QColor faint = brennick::theme::DimmedText(window);
    pane.setColor(QPalette::Active, QPalette::Text, faint);
    pane.setColor(QPalette::Inactive, QPalette::Text, faint);
  }
  StatblockMemo->setPalette(pane);
}

void TForm1::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::PaletteChange) ColourStatblockNote();
}

void TForm1::SetLiveStatblock(bool live) {
  if (actions_.LiveStatblock->isChecked() != live) {
    actions_.LiveStatblock->setChecked(live);  // comes back here through toggled
    return;
  }
  Settings().setValue(QStringLiteral("view/liveStatblock"), live);
  AfterFormChange();
}

bool TForm1::liveStatblock() const {
  return actions_.LiveStatblock != nullptr && actions_.LiveStatblock->isChecked();
}

bool TForm1::ConfirmShownStatblock(const QString& command) {
  return !statblockStale() || dialogs_->AskStaleStatblock(this, command);
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
  designFailed_ = false;
  faultName_.clear();
  try {
    ModelStep(event);
  } catch (const std::exception& error) {
    // A design message quotes the text as typed, which may hold a NUL: take
    // it whole, not up to the first NUL as what() would give it.
    const auto* design = dynamic_cast<const brennick::DesignError*>(&error);
    const QString message =
        QString::fromStdString(design ? design->message() : std::string(error.what()));
    if (designFailed_) {
      // A failed Design names the field it could not read in its title.
      dialogs_->ShowFailure(
          this,
          faultName_.isEmpty() ? tr("Design failed") : tr("Design failed: %1").arg(faultName_),
          message);
    } else {
      ReportError(message);
    }
    // Once the message is acknowledged, the field Design could not read
    // takes the focus with its text selected, ready to be typed over.
    if (faultField_ && faultField_->isEnabled()) {
      scroller_->ensureWidgetVisible(faultField_);
      faultField_->setFocus(Qt::OtherFocusReason);
      faultField_->selectAll();
    }
  }
  faultField_ = nullptr;
  designFailed_ = false;
  session_.Changed(before, typing);
  UpdateTitle();
}
