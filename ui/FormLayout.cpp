// Building the design window: its controls, made from the field table and
// named as on the form, each with its caption as its accessible name; their
// layout in four columns, sized to fit a laptop's screen; and the keyboard
// order.
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QShowEvent>
#include <QStyle>
#include <QTextDocument>
#include <QVBoxLayout>
#include <QWindow>
#include <algorithm>
#include <array>
#include <type_traits>

#include "Unit1.h"
#include "tooltips.h"

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
  Label1 = NewLabel(QStringLiteral("Conventional Slugthrowers and Electromagnetic Guns"), form,
                    "Label1");
  Label2 = NewLabel(QStringLiteral("Input"), form, "Label2");
  Label17 = NewLabel(QStringLiteral("Output"), form, "Label17");
  Label5 = NewLabel(QStringLiteral("Grav Needle = 3 mm"), form, "Label5");
  MaxRoFLabel = NewLabel(QString(), form, "MaxRoFLabel");
  Label4 = NewLabel(QStringLiteral("Accessory Rails (TL9) (UT150)"), form, "Label4");
  Label15 = NewLabel(QStringLiteral("Additional Features"), form, "Label15");

  DesignButton = NewButton(QStringLiteral("Design"), form, "DesignButton");
  RandomButton = NewButton(QStringLiteral("Randomize"), form, "RandomButton");

  StatblockMemo = new QPlainTextEdit(form);
  StatblockMemo->setObjectName(QStringLiteral("StatblockMemo"));
  StatblockMemo->setAccessibleName(QStringLiteral("Statblock"));
  StatblockMemo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  StatblockMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  StatblockMemo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  // Tab moves on to the next control rather than typing into the statblock.
  StatblockMemo->setTabChangesFocus(true);

  GroupBox1 = NewFrame(QStringLiteral("Recognition Grip Features"), form, "GroupBox1");
  GroupBox2 = NewFrame(QStringLiteral("Diagnostic Computer Features"), form, "GroupBox2");
  GroupBox3 = NewFrame(QStringLiteral("HUD Link Features"), form, "GroupBox3");

  // Every control explains itself: what it changes in the statblock and on
  // the form.
  for (QWidget* control : form->findChildren<QWidget*>()) {
    if (const char* tip = brennick::ControlTooltip(control->objectName().toStdString())) {
      control->setToolTip(Utf8(tip));
    }
  }
}

void TForm1::LayOutControls() {
  QWidget* form = surface_;

  QFont titleFont = font();
  titleFont.setPointSizeF(titleFont.pointSizeF() * 16 / 11);
  titleFont.setBold(true);
  Label1->setFont(titleFont);
  QFont headingFont = font();
  headingFont.setPointSizeF(headingFont.pointSizeF() * 13 / 11);
  headingFont.setBold(true);
  for (QLabel* heading : {Label2, Label17, Label15}) heading->setFont(headingFont);

  // Check boxes and options stand one text line apart with a little leading,
  // as in a list: the form has a great many of them and must fit a laptop's
  // screen. Their height follows the font, so larger fonts keep their room.
  const int optionHeight =
      std::max(fontMetrics().height(), style()->pixelMetric(QStyle::PM_IndicatorHeight)) + 2;
  for (QCheckBox* box : form->findChildren<QCheckBox*>()) box->setFixedHeight(optionHeight);
  for (TRadioGroup* group : form->findChildren<TRadioGroup*>()) {
    group->setOptionHeight(optionHeight);
  }

  const auto column = [](int spacing = 0) {
    auto* box = new QVBoxLayout;
    box->setSpacing(spacing);
    box->setContentsMargins(0, 0, 0, 0);
    return box;
  };
  const auto row = [](int spacing = 6) {
    auto* box = new QHBoxLayout;
    box->setSpacing(spacing);
    box->setContentsMargins(0, 0, 0, 0);
    return box;
  };
  const auto indented = [](QWidget* control) {
    auto* box = new QHBoxLayout;
    box->setContentsMargins(16, 0, 0, 0);
    box->addWidget(control);
    return box;
  };
  const QFontMetrics metrics(font());
  const auto narrow = [&](QLineEdit* edit, int characters) {
    edit->setFixedWidth(metrics.horizontalAdvance(QLatin1Char('0')) * characters + 12);
  };

  // --- 1. Input area ---
  // Name and bore across the top; under them the configuration and barrel
  // length, the loading mechanism and the numeric fields side by side; under
  // those the propellant and what follows from it, beside the caseless mods,
  // muzzle attachment, camouflage and the last house rules.
  auto* input = column(4);
  input->addWidget(Label2);

  auto* nameRow = row();
  nameRow->addWidget(Label7);
  nameRow->addWidget(NameEdit, 1);
  nameRow->addSpacing(8);
  nameRow->addWidget(Label3);
  nameRow->addWidget(BoreSizeEdit);
  narrow(BoreSizeEdit, 7);
  nameRow->addWidget(Label5);
  input->addLayout(nameRow);

  // Configuration over barrel length, with the powder's switches under them;
  // the loading mechanism beside them; then the numeric fields and the
  // weapon's other switches.
  auto* upper = row(6);
  auto* left = column();
  left->addWidget(ConfigurationBox);
  left->addSpacing(2);
  left->addWidget(BarrelBox);
  left->addSpacing(4);
  left->addWidget(ExtraLowBox);
  left->addWidget(RecoillessCheckBox);
  left->addLayout(indented(ColdCountermassBox));
  left->addStretch(1);
  upper->addLayout(left);

  auto* mechanism = column();
  mechanism->addWidget(LoadingMechanismBox);
  mechanism->addWidget(ElectricBox);
  mechanism->addStretch(1);
  upper->addLayout(mechanism);

  auto* numbers = new QGridLayout;
  numbers->setContentsMargins(0, 0, 0, 0);
  numbers->setHorizontalSpacing(4);
  numbers->setVerticalSpacing(2);
  const std::array<std::pair<QLabel*, QLineEdit*>, 6> fields = {{{Label6, TLEdit},
                                                                 {Label10, PowerModEdit},
                                                                 {BarrelsLabel, BarrelsEdit},
                                                                 {ChambersLabel, ChambersEdit},
                                                                 {RoFLabel, RoFEdit},
                                                                 {ShotsLabel, ShotsEdit}}};
  int line = 0;
  for (const auto& [label, edit] : fields) {
    numbers->addWidget(label, line, 0);
    numbers->addWidget(edit, line, 1);
    narrow(edit, 5);
    if (edit == RoFEdit) numbers->addWidget(MaxRoFLabel, ++line, 0, 1, 2);
    ++line;
  }
  for (QCheckBox* box : {ClosedBoltBox, CaselessBox, BipodBox, ShotgunBox, GunLauncherCheckBox}) {
    numbers->addWidget(box, line++, 0, 1, 2);
  }
  numbers->setRowStretch(line, 1);
  upper->addLayout(numbers);
  upper->addStretch(1);
  input->addLayout(upper);

  auto* lower = row(6);
  auto* propellant = column();
  propellant->addWidget(PropellantBox);
  propellant->addWidget(HouseETCBox);
  propellant->addWidget(HouseGauss);
  propellant->addSpacing(2);
  propellant->addWidget(GaussHCCBBox);
  propellant->addWidget(StylingBox);
  propellant->addSpacing(4);
  // The rails' caption may take two lines in this narrow column.
  Label4->setWordWrap(true);
  propellant->addWidget(Label4);
  for (QCheckBox* rail : {AccRailU, AccRailO, AccRailS, AccRailT}) propellant->addWidget(rail);
  propellant->addStretch(1);
  lower->addLayout(propellant);

  auto* attachments = column(2);
  attachments->addWidget(PLBBox);
  attachments->addWidget(MuzzleBox);
  attachments->addWidget(CamouflageBox);
  attachments->addSpacing(2);
  for (QCheckBox* rule : {HouseDRBox, KYOSBox, PaperBox}) attachments->addWidget(rule);
  attachments->addStretch(1);
  lower->addLayout(attachments);
  lower->addStretch(1);
  input->addLayout(lower, 1);

  // --- 2. Output column ---
  auto* output = column(4);
  output->addWidget(Label17);
  auto* buttons = row(8);
  buttons->addWidget(DesignButton);
  DesignButton->setMinimumHeight(2 * optionHeight + 4);
  auto* random = column(2);
  random->addWidget(RandomButton);
  random->addWidget(OnlyAuto);
  buttons->addLayout(random);
  buttons->addStretch(1);
  output->addLayout(buttons);
  output->addWidget(StatblockMemo, 1);
  // The pane is the column that gives and takes: it grows with the window
  // and shrinks on a small screen, never below the width of an ordinary
  // statblock line such as "ST 9B† (ST 6 on a bipod)".
  const QFontMetrics paneMetrics(StatblockMemo->font());
  const int paneChrome = 2 * StatblockMemo->frameWidth() +
                         2 * static_cast<int>(StatblockMemo->document()->documentMargin()) +
                         StatblockMemo->verticalScrollBar()->sizeHint().width() + 4;
  StatblockMemo->setMinimumWidth(
      paneMetrics.horizontalAdvance(Utf8("ST 13B\u2020 (ST 9 on a bipod)")) + paneChrome);
  paneWidthHint_ =
      paneMetrics.horizontalAdvance(QStringLiteral("Self-Destruct Anti-Theft (TL10^) (UT150)")) +
      paneChrome;

  // --- 3. Feature column ---
  auto* features = column();
  features->addWidget(Label15);
  features->addSpacing(4);
  for (QCheckBox* box :
       {HUDLinkBox, MultispectralLaserSightBox, TransponderRingBox, RecognitionGripBox,
        DiagnosticComputerBox, IronSightsBox, SDATBox, DTagBox, IFFBox, GravCompBox, SmartgripBox,
        SpaceProof, MuzzleWeightBox, FoldingStockBox, DisguisedBox, RuggedBox, CTSBox, ETSBox}) {
    features->addWidget(box);
  }
  features->addSpacing(6);
  features->addWidget(QualityAccurate);
  features->addSpacing(2);
  features->addWidget(QualityReliable);
  features->addStretch(1);

  // --- 4. Feature-options column ---
  auto* options = column(2);
  options->addSpacing(QFontMetrics(headingFont).height() + 4);
  const auto frame = [&](QGroupBox* box, std::initializer_list<QWidget*> inside) {
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(6, 0, 6, 2);
    layout->setSpacing(0);
    for (QWidget* control : inside) layout->addWidget(control);
    options->addWidget(box);
  };
  frame(GroupBox1, {RGPalm, RGVoice, RGGlove, RGIFF, RGGPS});
  frame(GroupBox2, {AntiTamper});
  frame(GroupBox3, {DataChip, GreenEyes, HUDCable, MicroRadio, SecureEncryption, TinyComputer,
                    TargetingSoftware});
  options->addSpacing(6);
  for (const auto& [label, edit] : {std::pair{Label8, ArbWeight}, std::pair{Label9, ArbCF}}) {
    auto* pair = row();
    pair->addWidget(label);
    pair->addWidget(edit);
    narrow(edit, 6);
    options->addLayout(pair);
  }
  options->addStretch(1);

  auto* regions = row(6);
  regions->addLayout(input);
  regions->addLayout(output, 1);
  regions->addLayout(features);
  regions->addLayout(options);

  auto* root = new QVBoxLayout(form);
  root->setContentsMargins(6, 2, 6, 4);
  root->setSpacing(2);
  root->addWidget(Label1);
  root->addLayout(regions, 1);
}

QSize TForm1::sizeHint() const {
  // The whole form with the pane at a comfortable width and the menu bar;
  // the scroll area around the form would offer only a fraction of it.
  const QSize form = surface_->sizeHint();
  const int shown = StatblockMemo->sizeHint().expandedTo(StatblockMemo->minimumSize()).width();
  const int pane = std::max(paneWidthHint_ - shown, 0);
  return QSize(form.width() + pane, form.height() + menuBar()->sizeHint().height());
}

void TForm1::PlaceOnScreen(const QMargins& frame) {
  // The window opens at the size the form wants, at the stored place (61,
  // 54) where the screen leaves room for it; on a smaller screen it shrinks
  // to the screen's available area, moved into it, and the form scrolls. The
  // frame around the window counts once the window system has told it.
  ensurePolished();
  const QScreen* shown = screen() ? screen() : QGuiApplication::primaryScreen();
  if (shown == nullptr) {
    resize(sizeHint());
    return;
  }
  const QRect area = shown->availableGeometry();
  const QSize border(frame.left() + frame.right(), frame.top() + frame.bottom());
  const QSize size = sizeHint().boundedTo(area.size() - border);
  resize(size);
  const int x = std::clamp(61, 0, std::max(area.width() - size.width() - border.width(), 0));
  const int y = std::clamp(54, 0, std::max(area.height() - size.height() - border.height(), 0));
  move(area.topLeft() + QPoint(x, y));
}

void TForm1::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (framePlaced_ || event->spontaneous() || windowHandle() == nullptr) return;
  framePlaced_ = true;
  const QMargins frame = windowHandle()->frameMargins();
  if (!frame.isNull()) PlaceOnScreen(frame);
}

void TForm1::SetTabOrder() {
  // The keyboard order of the form, first to last; a frame brings its
  // options along, the first inside it leading.
  const std::initializer_list<QWidget*> order = {BoreSizeEdit,
                                                 TLEdit,
                                                 RecoillessCheckBox,
                                                 GunLauncherCheckBox,
                                                 NameEdit,
                                                 ConfigurationBox,
                                                 LoadingMechanismBox,
                                                 ElectricBox,
                                                 BarrelsEdit,
                                                 ChambersEdit,
                                                 DesignButton,
                                                 StatblockMemo,
                                                 BipodBox,
                                                 HUDLinkBox,
                                                 MultispectralLaserSightBox,
                                                 TransponderRingBox,
                                                 RecognitionGripBox,
                                                 DiagnosticComputerBox,
                                                 IronSightsBox,
                                                 RoFEdit,
                                                 ShotsEdit,
                                                 ClosedBoltBox,
                                                 ColdCountermassBox,
                                                 PropellantBox,
                                                 CaselessBox,
                                                 HouseETCBox,
                                                 BarrelBox,
                                                 ExtraLowBox,
                                                 ShotgunBox,
                                                 PLBBox,
                                                 StylingBox,
                                                 AccRailU,
                                                 AccRailO,
                                                 AccRailS,
                                                 AccRailT,
                                                 SDATBox,
                                                 DTagBox,
                                                 IFFBox,
                                                 GravCompBox,
                                                 SmartgripBox,
                                                 CamouflageBox,
                                                 SpaceProof,
                                                 MuzzleBox,
                                                 MuzzleWeightBox,
                                                 FoldingStockBox,
                                                 DisguisedBox,
                                                 RuggedBox,
                                                 HouseDRBox,
                                                 KYOSBox,
                                                 PaperBox,
                                                 QualityAccurate,
                                                 QualityReliable,
                                                 CTSBox,
                                                 ETSBox,
                                                 GaussHCCBBox,
                                                 RGGlove,
                                                 RGPalm,
                                                 RGVoice,
                                                 RGIFF,
                                                 RGGPS,
                                                 AntiTamper,
                                                 GreenEyes,
                                                 DataChip,
                                                 HUDCable,
                                                 MicroRadio,
                                                 SecureEncryption,
                                                 TinyComputer,
                                                 TargetingSoftware,
                                                 HouseGauss,
                                                 ArbWeight,
                                                 ArbCF,
                                                 RandomButton,
                                                 OnlyAuto,
                                                 PowerModEdit};
  // Qt chains single widgets, so an option group is chained option by option.
  QWidget* previous = nullptr;
  const auto chain = [&previous](QWidget* stop) {
    if (previous) QWidget::setTabOrder(previous, stop);
    previous = stop;
  };
  for (QWidget* control : order) {
    if (auto* group = qobject_cast<TRadioGroup*>(control)) {
      for (int i = 0; i < group->count(); ++i) chain(group->button(i));
    } else {
      chain(control);
    }
  }
  BoreSizeEdit->setFocus();
}
