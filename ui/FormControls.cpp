// Building the design window's controls: made from the field table and named
// as on the form, each with its caption as its accessible name, and the
// controls that hold no form value.
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <type_traits>

#include "form/tooltips.h"
#include "ui/DerivationPanel.h"
#include "ui/Unit1.h"

namespace {

// How many columns of options each option group spreads over; the rest keep
// their options in one column.
int OptionColumns(const QString& group) {
  if (group == QLatin1String("StylingBox")) return 2;
  return 1;
}

QString Utf8(const char* text) {
  return QString::fromUtf8(text);
}

QLabel* NewLabel(const QString& caption, QWidget* parent, const char* name) {
  auto* label = new QLabel(caption, parent);
  label->setObjectName(QLatin1String(name));
  label->setTextFormat(Qt::PlainText);
  return label;
}

QCheckBox* NewCheckBox(const QString& caption, QWidget* parent, const char* name) {
  auto* box = new QCheckBox(caption, parent);
  box->setObjectName(QLatin1String(name));
  box->setAccessibleName(caption);
  return box;
}

// A push button that Return and Enter press while it has the focus, as Space
// does.
QPushButton* NewButton(const QString& caption, QWidget* parent, const char* name) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(QLatin1String(name));
  button->setAccessibleName(caption);
  button->setAutoDefault(true);
  return button;
}

QGroupBox* NewFrame(const QString& caption, QWidget* parent, const char* name) {
  auto* frame = new QGroupBox(caption, parent);
  frame->setObjectName(QLatin1String(name));
  frame->setAccessibleName(caption);
  return frame;
}

}  // namespace

void TForm1::CreateControls() {
  // The form scrolls when the screen is smaller than the form.
  auto* scroller = new QScrollArea(this);
  scroller->setObjectName(QStringLiteral("FormScroller"));
  scroller->setFrameShape(QFrame::NoFrame);
  scroller->setWidgetResizable(true);
  scroller->setFocusPolicy(Qt::NoFocus);
  setCentralWidget(scroller);
  scroller_ = scroller;
  auto* form = new QWidget;
  form->setObjectName(QStringLiteral("FormSurface"));
  // A click on the bare form takes the focus away from the controls, so that
  // keys typed next reach the window itself (the Max RoF hint).
  form->setFocusPolicy(Qt::ClickFocus);
  scroller->setWidget(form);
  surface_ = form;

  // One control per field of the form, named after it; a text field with the
  // label that names it.
  for (const brennick::FieldInfo& field : brennick::FormFields()) {
    const QString name = QLatin1String(field.name);
    QWidget* control = nullptr;
    QLabel* label = nullptr;
    switch (field.kind) {
      case brennick::FieldKind::Text: {
        auto* edit = new QLineEdit(form);
        edit->setObjectName(name);
        label = NewLabel(Utf8(field.caption), form, field.label);
        label->setBuddy(edit);
        edit->setAccessibleName(label->text());
        control = edit;
        break;
      }
      case brennick::FieldKind::Group: {
        QStringList items;
        for (const char* item : field.items) items << Utf8(item);
        control = new TRadioGroup(name, Utf8(field.caption), items, OptionColumns(name), form);
        break;
      }
      case brennick::FieldKind::Check:
        control = NewCheckBox(Utf8(field.caption), form, field.name);
        break;
    }
    fieldWidgets_.push_back(control);
    fieldLabels_.push_back(label);
  }

#define BRENNICK_TAKE(control) \
  control = findChild<std::remove_pointer_t<decltype(control)>*>(QStringLiteral(#control));
  BRENNICK_TEXT_CONTROLS(BRENNICK_TAKE)
  BRENNICK_GROUP_CONTROLS(BRENNICK_TAKE)
  BRENNICK_CHECK_CONTROLS(BRENNICK_TAKE)
  BRENNICK_TAKE(Label7)
  BRENNICK_TAKE(Label3)
  BRENNICK_TAKE(Label10)
  BRENNICK_TAKE(BarrelsLabel)
  BRENNICK_TAKE(Label6)
  BRENNICK_TAKE(ChambersLabel)
  BRENNICK_TAKE(RoFLabel)
  BRENNICK_TAKE(ShotsLabel)
  BRENNICK_TAKE(Label8)
  BRENNICK_TAKE(Label9)
#undef BRENNICK_TAKE

  // Controls that hold no form value.
  Label1 = NewLabel(tr("Conventional Slugthrowers and Electromagnetic Guns"), form, "Label1");
  Label2 = NewLabel(tr("Input"), form, "Label2");
  Label17 = NewLabel(tr("Output"), form, "Label17");
  Label5 = NewLabel(tr("Grav Needle = 3 mm"), form, "Label5");
  MaxRoFLabel = NewLabel(QString(), form, "MaxRoFLabel");
  Label4 = NewLabel(tr("Accessory Rails (TL9) (UT150)"), form, "Label4");
  Label15 = NewLabel(tr("Additional Features"), form, "Label15");

  DesignButton = NewButton(tr("Design"), form, "DesignButton");
  RandomButton = NewButton(tr("Randomize"), form, "RandomButton");

  StatblockMemo = new QPlainTextEdit(form);
  StatblockMemo->setObjectName(QStringLiteral("StatblockMemo"));
  StatblockMemo->setAccessibleName(tr("Statblock"));
  StatblockMemo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  StatblockMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  StatblockMemo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  // Tab moves on to the next control rather than typing into the statblock.
  StatblockMemo->setTabChangesFocus(true);

  GroupBox1 = NewFrame(tr("Recognition Grip Features"), form, "GroupBox1");
  GroupBox2 = NewFrame(tr("Diagnostic Computer Features"), form, "GroupBox2");
  GroupBox3 = NewFrame(tr("HUD Link Features"), form, "GroupBox3");

  // Every control explains itself: what it changes in the statblock and on
  // the form.
  for (QWidget* control : form->findChildren<QWidget*>()) {
    if (const char* tip = brennick::ControlTooltip(control->objectName().toStdString())) {
      control->setToolTip(Utf8(tip));
    }
  }

  // Under the pane, how its lines come about; it has its own tooltip.
  DerivationPanel = new TDerivationPanel(StatblockMemo, form);
}
