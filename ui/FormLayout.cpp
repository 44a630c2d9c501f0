// Building the design window: its controls, made from the field table and
// named as on the form, their layout in four columns, and the keyboard order.
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QVBoxLayout>
#include <array>
#include <type_traits>

#include "Unit1.h"
#include "tooltips.h"

namespace {

// How many columns of options each option group spreads over; the rest keep
// their options in one column.
int OptionColumns(const QString& group) {
  if (group == QLatin1String("GaussHCCBBox")) return 2;
  if (group == QLatin1String("StylingBox")) return 4;
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
  return box;
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

  DesignButton = new QPushButton(QStringLiteral("Design"), form);
  DesignButton->setObjectName(QStringLiteral("DesignButton"));
  RandomButton = new QPushButton(QStringLiteral("Randomize"), form);
  RandomButton->setObjectName(QStringLiteral("RandomButton"));

  StatblockMemo = new QPlainTextEdit(form);
  StatblockMemo->setObjectName(QStringLiteral("StatblockMemo"));
  StatblockMemo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  StatblockMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  StatblockMemo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  // Tab moves on to the next control rather than typing into the statblock.
  StatblockMemo->setTabChangesFocus(true);

  GroupBox1 = new QGroupBox(QStringLiteral("Recognition Grip Features"), form);
  GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
  GroupBox2 = new QGroupBox(QStringLiteral("Diagnostic Computer Features"), form);
  GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
  GroupBox3 = new QGroupBox(QStringLiteral("HUD Link Features"), form);
  GroupBox3->setObjectName(QStringLiteral("GroupBox3"));

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
  titleFont.setPointSizeF(titleFont.pointSizeF() * 21 / 11);
  titleFont.setBold(true);
  Label1->setFont(titleFont);
  QFont headingFont = font();
  headingFont.setPointSizeF(headingFont.pointSizeF() * 16 / 11);
  headingFont.setBold(true);
  for (QLabel* heading : {Label2, Label17, Label15}) heading->setFont(headingFont);

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
    box->setContentsMargins(20, 0, 0, 0);
    box->addWidget(control);
    return box;
  };
  const QFontMetrics metrics(font());
  const auto narrow = [&](QLineEdit* edit, int characters) {
    edit->setFixedWidth(metrics.horizontalAdvance(QLatin1Char('0')) * characters + 12);
  };

  // --- 1. Input area ---
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

  // Configuration, barrel length and loading mechanism side by side, with the
  // weapon's switches under the first two and the numeric fields beside.
  auto* groups = row(6);
  auto* left = column();
  auto* configAndBarrel = row(6);
  configAndBarrel->addWidget(ConfigurationBox, 0, Qt::AlignTop);
  configAndBarrel->addWidget(BarrelBox, 0, Qt::AlignTop);
  left->addLayout(configAndBarrel);
  left->addSpacing(4);
  left->addWidget(ExtraLowBox);
  left->addWidget(RecoillessCheckBox);
  left->addLayout(indented(ColdCountermassBox));
  left->addWidget(BipodBox);
  left->addWidget(ShotgunBox);
  left->addWidget(GunLauncherCheckBox);
  left->addStretch(1);
  groups->addLayout(left);

  auto* mechanism = column();
  mechanism->addWidget(LoadingMechanismBox);
  mechanism->addWidget(ElectricBox);
  mechanism->addStretch(1);
  groups->addLayout(mechanism);

  auto* numbers = new QGridLayout;
  numbers->setContentsMargins(0, 0, 0, 0);
  numbers->setHorizontalSpacing(4);
  numbers->setVerticalSpacing(3);
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
  numbers->addWidget(ClosedBoltBox, line++, 0, 1, 2);
  numbers->addWidget(CaselessBox, line++, 0, 1, 2);
  numbers->setRowStretch(line, 1);
  groups->addLayout(numbers);
  groups->addStretch(1);
  input->addLayout(groups);

  // Propellant and the choices that follow from it; the accessory rails,
  // muzzle and camouflage beside them.
  auto* lower = row(6);
  auto* propellant = column();
  propellant->addWidget(PropellantBox);
  propellant->addWidget(HouseETCBox);
  propellant->addWidget(HouseGauss);
  propellant->addSpacing(2);
  propellant->addWidget(GaussHCCBBox);
  propellant->addWidget(StylingBox);
  propellant->addSpacing(4);
  propellant->addWidget(Label4);
  auto* rails = new QGridLayout;
  rails->setContentsMargins(0, 0, 0, 0);
  rails->setVerticalSpacing(0);
  rails->addWidget(AccRailU, 0, 0);
  rails->addWidget(AccRailO, 1, 0);
  rails->addWidget(AccRailS, 0, 1);
  rails->addWidget(AccRailT, 1, 1);
  propellant->addLayout(rails);
  propellant->addStretch(1);
  propellant->addWidget(HouseDRBox);
  propellant->addWidget(KYOSBox);
  propellant->addWidget(PaperBox);
  lower->addLayout(propellant);

  auto* attachments = column(2);
  attachments->addWidget(PLBBox);
  attachments->addWidget(MuzzleBox);
  attachments->addWidget(CamouflageBox);
  attachments->addStretch(1);
  lower->addLayout(attachments);
  lower->addStretch(1);
  input->addLayout(lower, 1);

  // --- 2. Output column ---
  auto* output = column(4);
  output->addWidget(Label17);
  auto* buttons = row(8);
  buttons->addWidget(DesignButton);
  DesignButton->setMinimumHeight(41);
  auto* random = column(2);
  random->addWidget(RandomButton);
  random->addWidget(OnlyAuto);
  buttons->addLayout(random);
  buttons->addStretch(1);
  output->addLayout(buttons);
  output->addWidget(StatblockMemo, 1);
  StatblockMemo->setMinimumWidth(257);

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
  options->addSpacing(headingFont.pointSize() > 0 ? QFontMetrics(headingFont).height() + 4 : 24);
  const auto frame = [&](QGroupBox* box, std::initializer_list<QWidget*> inside) {
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(6, 2, 6, 4);
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

  auto* regions = row(8);
  regions->addLayout(input);
  regions->addLayout(output, 1);
  regions->addLayout(features);
  regions->addLayout(options);

  auto* root = new QVBoxLayout(form);
  root->setContentsMargins(8, 4, 8, 8);
  root->setSpacing(2);
  root->addWidget(Label1);
  root->addLayout(regions, 1);

  // Open at the stored size, or larger where the fonts need it, but never
  // beyond the screen: the form scrolls instead.
  move(61, 54);
  QSize size = QSize(1277, 627).expandedTo(form->sizeHint());
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    size = size.boundedTo(screen->availableSize() - QSize(61, 54));
  }
  resize(size);
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
