#include "Unit1.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <array>
#include <chrono>
#include <type_traits>

#include "fields.h"

using brennick::DesignError;
using brennick::ext;

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
std::string Std(const QString& text) {
  return text.toStdString();
}

// The low 32 bits of a nanosecond monotonic counter: a different seed for
// every click, however quickly the user clicks.
std::uint32_t MonotonicClock() {
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<std::uint32_t>(
      std::chrono::duration_cast<std::chrono::nanoseconds>(now).count());
}

// The Electric Gatling's ceiling: a bore above 20 mm limits each barrel by
// the bore, a smaller one allows 16.67 shots per barrel.
std::int64_t GatlingMaxRoF(double bore, std::int32_t barrels) {
  if (bore > 20) return brennick::RoundHalfEven(ext(334) / bore) * barrels;
  return brennick::RoundHalfEven(ext(barrels) * 16.67);
}

QString MaxRoFText(std::int64_t rof) {
  return QStringLiteral("Max RoF: ") + QString::number(rof);
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

TForm1::TForm1(QWidget* parent) : QMainWindow(parent), seedClock_(MonotonicClock) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QStringLiteral("Brennick"));
  CreateControls();
  LoadStartValues();
  LayOutControls();
  SetTabOrder();
  BindRules();
  FormCreate();
}

// ---------------------------------------------------------------------------
// Building the window

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

  // The design inputs, one control per field, named after it.
  for (const brennick::FieldInfo& field : brennick::DesignFields()) {
    const QString name = QLatin1String(field.name);
    switch (field.kind) {
      case brennick::FieldKind::Text: {
        auto* edit = new QLineEdit(form);
        edit->setObjectName(name);
        break;
      }
      case brennick::FieldKind::Group: {
        QStringList items;
        for (const char* item : field.items) items << Utf8(item);
        new TRadioGroup(name, Utf8(field.caption), items, OptionColumns(name), form);
        break;
      }
      case brennick::FieldKind::Check:
        NewCheckBox(Utf8(field.caption), form, field.name);
        break;
    }
  }

#define BRENNICK_TAKE(control) \
  control = findChild<std::remove_pointer_t<decltype(control)>*>(QStringLiteral(#control))
  BRENNICK_TAKE(NameEdit);
  BRENNICK_TAKE(BoreSizeEdit);
  BRENNICK_TAKE(TLEdit);
  BRENNICK_TAKE(PowerModEdit);
  BRENNICK_TAKE(BarrelsEdit);
  BRENNICK_TAKE(ChambersEdit);
  BRENNICK_TAKE(RoFEdit);
  BRENNICK_TAKE(ShotsEdit);
  BRENNICK_TAKE(ArbWeight);
  BRENNICK_TAKE(ArbCF);
  BRENNICK_TAKE(ConfigurationBox);
  BRENNICK_TAKE(BarrelBox);
  BRENNICK_TAKE(LoadingMechanismBox);
  BRENNICK_TAKE(PropellantBox);
  BRENNICK_TAKE(PLBBox);
  BRENNICK_TAKE(GaussHCCBBox);
  BRENNICK_TAKE(MuzzleBox);
  BRENNICK_TAKE(CamouflageBox);
  BRENNICK_TAKE(StylingBox);
  BRENNICK_TAKE(QualityAccurate);
  BRENNICK_TAKE(QualityReliable);
  BRENNICK_TAKE(TargetingSoftware);
  BRENNICK_TAKE(RecoillessCheckBox);
  BRENNICK_TAKE(ColdCountermassBox);
  BRENNICK_TAKE(ShotgunBox);
  BRENNICK_TAKE(ExtraLowBox);
  BRENNICK_TAKE(BipodBox);
  BRENNICK_TAKE(ElectricBox);
  BRENNICK_TAKE(ClosedBoltBox);
  BRENNICK_TAKE(CaselessBox);
  BRENNICK_TAKE(HouseETCBox);
  BRENNICK_TAKE(HouseGauss);
  BRENNICK_TAKE(HouseDRBox);
  BRENNICK_TAKE(KYOSBox);
  BRENNICK_TAKE(PaperBox);
  BRENNICK_TAKE(HUDLinkBox);
  BRENNICK_TAKE(DataChip);
  BRENNICK_TAKE(GreenEyes);
  BRENNICK_TAKE(HUDCable);
  BRENNICK_TAKE(MicroRadio);
  BRENNICK_TAKE(SecureEncryption);
  BRENNICK_TAKE(TinyComputer);
  BRENNICK_TAKE(MultispectralLaserSightBox);
  BRENNICK_TAKE(CTSBox);
  BRENNICK_TAKE(ETSBox);
  BRENNICK_TAKE(TransponderRingBox);
  BRENNICK_TAKE(RecognitionGripBox);
  BRENNICK_TAKE(RGPalm);
  BRENNICK_TAKE(RGVoice);
  BRENNICK_TAKE(RGGlove);
  BRENNICK_TAKE(RGGPS);
  BRENNICK_TAKE(RGIFF);
  BRENNICK_TAKE(SDATBox);
  BRENNICK_TAKE(DiagnosticComputerBox);
  BRENNICK_TAKE(AntiTamper);
  BRENNICK_TAKE(DTagBox);
  BRENNICK_TAKE(IFFBox);
  BRENNICK_TAKE(IronSightsBox);
  BRENNICK_TAKE(AccRailU);
  BRENNICK_TAKE(AccRailO);
  BRENNICK_TAKE(AccRailS);
  BRENNICK_TAKE(AccRailT);
  BRENNICK_TAKE(GravCompBox);
  BRENNICK_TAKE(SmartgripBox);
  BRENNICK_TAKE(MuzzleWeightBox);
  BRENNICK_TAKE(SpaceProof);
  BRENNICK_TAKE(FoldingStockBox);
  BRENNICK_TAKE(DisguisedBox);
  BRENNICK_TAKE(RuggedBox);
#undef BRENNICK_TAKE

  // Controls that are not design inputs.
  Label1 = NewLabel(QStringLiteral("Conventional Slugthrowers and Electromagnetic Guns"), form,
                    "Label1");
  Label2 = NewLabel(QStringLiteral("Input"), form, "Label2");
  Label17 = NewLabel(QStringLiteral("Output"), form, "Label17");
  Label7 = NewLabel(QStringLiteral("Weapon Name"), form, "Label7");
  Label3 = NewLabel(QStringLiteral("Bore Size, mm"), form, "Label3");
  Label5 = NewLabel(QStringLiteral("Grav Needle = 3 mm"), form, "Label5");
  Label10 = NewLabel(QStringLiteral("PowerMod"), form, "Label10");
  BarrelsLabel = NewLabel(QStringLiteral("Barrels"), form, "BarrelsLabel");
  Label6 = NewLabel(QStringLiteral("TL"), form, "Label6");
  ChambersLabel = NewLabel(QStringLiteral("Chambers"), form, "ChambersLabel");
  RoFLabel = NewLabel(QStringLiteral("RoF"), form, "RoFLabel");
  MaxRoFLabel = NewLabel(QStringLiteral("Max RoF:"), form, "MaxRoFLabel");
  ShotsLabel = NewLabel(QStringLiteral("Shots"), form, "ShotsLabel");
  Label4 = NewLabel(QStringLiteral("Accessory Rails (TL9) (UT150)"), form, "Label4");
  Label15 = NewLabel(QStringLiteral("Additional Features"), form, "Label15");
  Label8 = NewLabel(QStringLiteral("Arbitrary Extra Weight"), form, "Label8");
  Label9 = NewLabel(QStringLiteral("Arbitrary Extra CF"), form, "Label9");

  Label7->setBuddy(NameEdit);
  Label3->setBuddy(BoreSizeEdit);
  Label10->setBuddy(PowerModEdit);
  BarrelsLabel->setBuddy(BarrelsEdit);
  Label6->setBuddy(TLEdit);
  ChambersLabel->setBuddy(ChambersEdit);
  RoFLabel->setBuddy(RoFEdit);
  ShotsLabel->setBuddy(ShotsEdit);
  Label8->setBuddy(ArbWeight);
  Label9->setBuddy(ArbCF);

  GunLauncherCheckBox = NewCheckBox(QStringLiteral("Gun/Launcher"), form, "GunLauncherCheckBox");
  OnlyAuto = NewCheckBox(QStringLiteral("Only automatic"), form, "OnlyAuto");

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
}

void TForm1::LoadStartValues() {
  // The stored start state, written before any rule is bound: it is not the
  // state the rules would produce (no mechanism, yet RoF disabled).
  const brennick::DesignInput start;
  for (const brennick::FieldInfo& field : brennick::DesignFields()) {
    QWidget* control = NamedControl(field.name);
    switch (field.kind) {
      case brennick::FieldKind::Text:
        static_cast<QLineEdit*>(control)->setText(QString::fromStdString(start.*field.text));
        break;
      case brennick::FieldKind::Group:
        static_cast<TRadioGroup*>(control)->setItemIndex(start.*field.group);
        break;
      case brennick::FieldKind::Check:
        static_cast<QCheckBox*>(control)->setChecked(start.*field.check);
        break;
    }
  }
  OnlyAuto->setChecked(true);

  for (QWidget* off : std::initializer_list<QWidget*>{
           ElectricBox, BipodBox, ColdCountermassBox, GunLauncherCheckBox, BarrelsLabel,
           BarrelsEdit, ChambersLabel, ChambersEdit, RoFLabel, RoFEdit, GaussHCCBBox,
           TargetingSoftware}) {
    off->setEnabled(false);
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

void TForm1::BindRules() {
  Bind(BoreSizeEdit, &TForm1::BoreSizeEditChange);
  Bind(ExtraLowBox, &TForm1::ExtraLowBoxClick);
  Bind(ConfigurationBox, &TForm1::ConfigurationBoxClick);
  Bind(LoadingMechanismBox, &TForm1::LoadingMechanismBoxClick);
  Bind(RecoillessCheckBox, &TForm1::RecoillessCheckBoxClick);
  Bind(PowerModEdit, &TForm1::TLEditChange);
  Bind(BarrelsEdit, &TForm1::BarrelsEditChange);
  Bind(TLEdit, &TForm1::TLEditChange);
  Bind(CaselessBox, &TForm1::CaselessBoxClick);
  Bind(PropellantBox, &TForm1::PropellantBoxClick);
  Bind(HUDLinkBox, &TForm1::HUDLinkBoxClick);
  Bind(RecognitionGripBox, &TForm1::RecognitionGripBoxClick);
  Bind(DiagnosticComputerBox, &TForm1::DiagnosticComputerBoxClick);
  Bind(QualityAccurate, &TForm1::QualityAccurateClick);
  Bind(QualityReliable, &TForm1::QualityReliableClick);
  Bind(TinyComputer, &TForm1::TinyComputerClick);
  Bind(ArbWeight, &TForm1::BarrelsEditChange);
  Bind(ArbCF, &TForm1::BarrelsEditChange);

  connect(DesignButton, &QPushButton::clicked, this,
          [this] { UserEvent([this] { DesignButtonClick(); }); });
  connect(RandomButton, &QPushButton::clicked, this,
          [this] { UserEvent([this] { RandomButtonClick(); }); });
}

// ---------------------------------------------------------------------------
// Change notification

// Qt signals reach these bindings only for changes the user made: every
// program step changes controls through Change(), which keeps them quiet.
void TForm1::Bind(QLineEdit* edit, Rule rule) {
  rules_.insert(edit, rule);
  seenText_.insert(edit, edit->text());
  connect(edit, &QLineEdit::textChanged, this, [this, edit](const QString& text) {
    QString& seen = seenText_[edit];
    if (text == seen) return;  // retyped or pasted over with the same text: no change
    seen = text;
    UserEvent([this, edit] { RunRule(edit); });
  });
}

void TForm1::Bind(QCheckBox* box, Rule rule) {
  rules_.insert(box, rule);
  connect(box, &QCheckBox::toggled, this,
          [this, box] { UserEvent([this, box] { RunRule(box); }); });
}

void TForm1::Bind(TRadioGroup* group, Rule rule) {
  rules_.insert(group, rule);
  connect(group, &TRadioGroup::itemIndexChanged, this,
          [this, group] { UserEvent([this, group] { RunRule(group); }); });
}

void TForm1::RunRule(const QObject* control) {
  const auto rule = rules_.constFind(control);
  if (rule != rules_.constEnd()) (this->*rule.value())();
}

namespace {

// Stores a value into a control, reporting whether it changed.
bool Store(QLineEdit* edit, const QString& text) {
  if (edit->text() == text) return false;
  edit->setText(text);
  return true;
}
bool Store(QCheckBox* box, bool checked) {
  if (box->isChecked() == checked) return false;
  box->setChecked(checked);
  return true;
}
bool Store(TRadioGroup* group, int index) {
  const int before = group->itemIndex();
  group->setItemIndex(index);
  return group->itemIndex() != before;
}

}  // namespace

// The one way a program step changes a control: stored without notifying
// the Qt bindings (those are for the user's changes), then the control's
// rule runs directly, and only when the value really changed.
template <class Control, class Value>
void TForm1::ChangeQuietly(Control* control, const Value& value) {
  bool changed = false;
  {
    const QSignalBlocker quiet(control);
    changed = Store(control, value);
  }
  if (changed) RunRule(control);
}

void TForm1::Change(QLineEdit* edit, const QString& text) {
  if (const auto seen = seenText_.find(edit); seen != seenText_.end()) *seen = text;
  ChangeQuietly(edit, text);
}
void TForm1::Change(QCheckBox* box, bool checked) {
  ChangeQuietly(box, checked);
}
void TForm1::Change(TRadioGroup* group, int index) {
  ChangeQuietly(group, index);
}

void TForm1::UserEvent(const std::function<void()>& event) {
  // Nothing may unwind into Qt's event dispatch: DesignError (and anything
  // unforeseen) ends here, in the error report.
  try {
    event();
  } catch (const std::exception& error) {
    ReportError(QString::fromStdString(error.what()));
  }
}

void TForm1::ReportError(const QString& message) {
  if (errorReporter_) {
    errorReporter_(message);
    return;
  }
  QMessageBox box(QMessageBox::Critical, windowTitle(), message, QMessageBox::Ok, this);
  // The message may quote what the user typed: never read it as markup.
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

void TForm1::setErrorReporter(std::function<void(const QString&)> reporter) {
  errorReporter_ = std::move(reporter);
}

// ---------------------------------------------------------------------------
// Window events

void TForm1::FormCreate() {
  SeedRandomSource();
}

void TForm1::FormClose() {
  QApplication::quit();
}

void TForm1::closeEvent(QCloseEvent* event) {
  FormClose();
  event->accept();
}

void TForm1::keyPressEvent(QKeyEvent* event) {
  // Keys typed into a control belong to that control; Qt hands the ones it
  // does not use on to the window, and those must not count as the window's.
  QWidget* focus = focusWidget();
  if (focus == nullptr || focus == this || focus == surface_) {
    UserEvent([this] { FormKeyPress(); });
  }
  QMainWindow::keyPressEvent(event);
}

void TForm1::FormKeyPress() {
  ShowMaxRoF(false);
}

void TForm1::SeedRandomSource() {
  random_.Seed(seedClock_());
}

void TForm1::setSeedClock(std::function<std::uint32_t()> clock) {
  seedClock_ = std::move(clock);
}

char TForm1::DecimalSeparator() {
  const QString point = QLocale::system().decimalPoint();
  // The design run reads single-byte separators; any other falls back to '.'.
  if (point.isEmpty() || point.front().unicode() >= 0x80) return '.';
  return static_cast<char>(point.front().unicode());
}

QWidget* TForm1::NamedControl(const char* name) const {
  return findChild<QWidget*>(QLatin1String(name));
}

brennick::DesignInput TForm1::ReadInput() const {
  brennick::DesignInput input;
  for (const brennick::FieldInfo& field : brennick::DesignFields()) {
    QWidget* control = NamedControl(field.name);
    switch (field.kind) {
      case brennick::FieldKind::Text:
        input.*field.text = Std(static_cast<QLineEdit*>(control)->text());
        break;
      case brennick::FieldKind::Group:
        input.*field.group = static_cast<TRadioGroup*>(control)->itemIndex();
        break;
      case brennick::FieldKind::Check:
        input.*field.check = static_cast<QCheckBox*>(control)->isChecked();
        break;
    }
  }
  return input;
}

// ---------------------------------------------------------------------------
// The design run

void TForm1::DesignButtonClick() {
  StatblockMemo->clear();
  const brennick::DesignResult result = brennick::RunDesign(ReadInput(), DecimalSeparator());
  QStringList lines;
  lines.reserve(static_cast<qsizetype>(result.lines.size()));
  for (const std::string_view line : result.lines) {
    lines << QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()));
  }
  StatblockMemo->setPlainText(lines.join(QLatin1Char('\n')));
  if (result.error) throw DesignError(*result.error);
}

// ---------------------------------------------------------------------------
// Rules

int TForm1::Mechanism() const {
  return LoadingMechanismBox->itemIndex();
}
int TForm1::Propellant() const {
  return PropellantBox->itemIndex();
}
int TForm1::Configuration() const {
  return ConfigurationBox->itemIndex();
}
std::int32_t TForm1::StrictTL() const {
  return brennick::ParseIntStrict(Std(TLEdit->text()));
}

void TForm1::SetFieldEnabled(QLineEdit* edit, bool enabled) {
  edit->setEnabled(enabled);
  if (auto* label = edit == RoFEdit        ? RoFLabel
                    : edit == ShotsEdit    ? ShotsLabel
                    : edit == BarrelsEdit  ? BarrelsLabel
                    : edit == ChambersEdit ? ChambersLabel
                                           : nullptr) {
    label->setEnabled(enabled);
  }
}

void TForm1::UncheckAndDisable(QCheckBox* box) {
  Change(box, false);
  box->setEnabled(false);
}

void TForm1::ShowMaxRoF(bool gatlingOnly) {
  using namespace brennick;
  const int m = Mechanism();
  if (m != kLightAutomatic && m != kHeavyAutomatic && m != kElectricGatling) return;
  if (gatlingOnly && m != kElectricGatling) return;
  // Read leniently: a half-typed bore or barrel count counts as 1.
  const double bore = FloatOr(Std(BoreSizeEdit->text()), DecimalSeparator(), 1);
  const std::int32_t barrels = IntOr(Std(BarrelsEdit->text()), 1);
  switch (m) {
    case kLightAutomatic:
      MaxRoFLabel->setText(bore > 10 ? MaxRoFText(RoundHalfEven(ext(160) / bore))
                                     : QStringLiteral("RoF: 3-16"));
      break;
    case kHeavyAutomatic:
      MaxRoFLabel->setText(bore > 20 ? MaxRoFText(RoundHalfEven(ext(400) / bore))
                                     : QStringLiteral("RoF: 3-20"));
      break;
    default:
      MaxRoFLabel->setText(MaxRoFText(GatlingMaxRoF(bore, barrels)));
      break;
  }
}

void TForm1::LoadingMechanismBoxClick() {
  using namespace brennick;
  const int m = Mechanism();
  MaxRoFLabel->setText(QStringLiteral("Max RoF:"));

  // RoF and Shots by mechanism; the revolver sets its own below.
  struct Fields {
    const char* rof;
    bool rofEnabled;
    bool shotsEnabled;
  };
  static constexpr std::array<Fields, 11> kFields = {{
      {"1", false, false},      // muzzleloader
      {"1", false, false},      // muzzleloader with a carriage
      {"1", false, false},      // breechloader
      {"1", false, true},       // manual repeater
      {nullptr, false, false},  // revolver
      {"15", false, true},      // mechanical Gatling
      {"1", false, true},       // slow autoloader
      {"1", false, true},       // fast autoloader
      {"1", true, true},        // light automatic
      {"1", true, true},        // heavy automatic
      {"1", true, true},        // electric Gatling
  }};
  if (m >= 0 && m < static_cast<int>(kFields.size()) && kFields[m].rof) {
    Change(RoFEdit, QLatin1String(kFields[m].rof));
    SetFieldEnabled(RoFEdit, kFields[m].rofEnabled);
    Change(ShotsEdit, QStringLiteral("1"));
    SetFieldEnabled(ShotsEdit, kFields[m].shotsEnabled);
  }

  if (m >= kLightAutomatic && m <= kElectricGatling) ShowMaxRoF(false);

  if (m == kRevolver) {
    // A revolver's chambers are its magazine; its RoF follows the TL.
    SetFieldEnabled(ChambersEdit, true);
    Change(RoFEdit, StrictTL() >= 6 ? QStringLiteral("3") : QStringLiteral("1"));
    SetFieldEnabled(RoFEdit, false);
    Change(ShotsEdit, QStringLiteral("1"));
    SetFieldEnabled(ShotsEdit, false);
  } else {
    Change(ChambersEdit, QStringLiteral("1"));
    SetFieldEnabled(ChambersEdit, false);
  }

  ElectricBox->setEnabled(m >= kSlowAutoloader && m <= kHeavyAutomatic);

  // Only muzzleloaders, breechloaders and the electric Gatling take several barrels.
  if (m == kMuzzleloader || m == kMuzzleloaderCarriage || m == kBreechloader ||
      m == kElectricGatling) {
    SetFieldEnabled(BarrelsEdit, true);
  } else {
    Change(BarrelsEdit, QStringLiteral("1"));
    SetFieldEnabled(BarrelsEdit, false);
  }
}

void TForm1::ConfigurationBoxClick() {
  // Only long arms rest on a bipod; they are too heavy to be recoilless.
  const bool longArm = Configuration() > brennick::kSMG;
  BipodBox->setEnabled(longArm);
  if (longArm) {
    RecoillessCheckBox->setEnabled(false);
    Change(RecoillessCheckBox, false);
  } else {
    RecoillessCheckBox->setEnabled(true);
  }
}

void TForm1::RecoillessCheckBoxClick() {
  ColdCountermassBox->setEnabled(RecoillessCheckBox->isChecked());
}

void TForm1::ExtraLowBoxClick() {
  if (ExtraLowBox->isChecked() && Propellant() < brennick::kGauss) {
    RecoillessCheckBox->setEnabled(true);
  } else if (Configuration() > brennick::kSMG) {
    RecoillessCheckBox->setEnabled(false);
  }
}

void TForm1::PropellantBoxClick() {
  using namespace brennick;
  const int p = Propellant();
  if (p == kLiquid) {
    Change(PLBBox, kPLBNone);
    PLBBox->setEnabled(false);
  } else {
    PLBBox->setEnabled(true);
  }

  if (p >= kStandard && p <= kETK) {
    Change(GaussHCCBBox, 0);
    GaussHCCBBox->setEnabled(false);
    Change(RecoillessCheckBox, false);
    RecoillessCheckBox->setEnabled(true);
    UncheckAndDisable(ColdCountermassBox);
    Change(CaselessBox, false);
    CaselessBox->setEnabled(true);
    Change(ClosedBoltBox, false);
    ClosedBoltBox->setEnabled(true);
    ElectricBox->setEnabled(true);
  }

  if (p == kGauss || p == kGrav) {
    // Electromagnetic guns have no cartridge and no recoil to balance.
    Change(PLBBox, kPLBNone);
    PLBBox->setEnabled(false);
    GaussHCCBBox->setEnabled(true);
    UncheckAndDisable(RecoillessCheckBox);
    UncheckAndDisable(ColdCountermassBox);
    UncheckAndDisable(CaselessBox);
    UncheckAndDisable(ClosedBoltBox);
    if (Mechanism() > kMechanicalGatling) Change(ElectricBox, true);
  }

  if (p == kGauss) {
    Change(ElectricBox, true);
    ElectricBox->setEnabled(false);
  }
}

void TForm1::CaselessBoxClick() {
  if (CaselessBox->isChecked()) {
    PLBBox->setEnabled(true);
  } else {
    PLBBox->setEnabled(false);
    Change(PLBBox, -1);
  }
}

void TForm1::QualityAccurateClick() {
  // Cheap is one quality for the whole gun: the other group gives way.
  if (QualityAccurate->itemIndex() == brennick::kCheap) {
    Change(QualityReliable, brennick::kNormal);
    QualityReliable->setEnabled(false);
  } else {
    QualityReliable->setEnabled(true);
  }
}

void TForm1::QualityReliableClick() {
  if (QualityReliable->itemIndex() == brennick::kCheap) {
    Change(QualityAccurate, brennick::kNormal);
    QualityAccurate->setEnabled(false);
  } else {
    QualityAccurate->setEnabled(true);
  }
}

void TForm1::RecognitionGripBoxClick() {
  const std::array<QCheckBox*, 5> options = {RGPalm, RGVoice, RGIFF, RGGPS, RGGlove};
  for (QCheckBox* option : options) {
    if (RecognitionGripBox->isChecked()) {
      option->setEnabled(true);
    } else {
      UncheckAndDisable(option);
    }
  }
}

void TForm1::DiagnosticComputerBoxClick() {
  if (DiagnosticComputerBox->isChecked()) {
    AntiTamper->setEnabled(true);
  } else {
    UncheckAndDisable(AntiTamper);
  }
}

void TForm1::HUDLinkBoxClick() {
  const std::array<QCheckBox*, 6> options = {DataChip,   GreenEyes,        HUDCable,
                                             MicroRadio, SecureEncryption, TinyComputer};
  if (HUDLinkBox->isChecked()) {
    for (QCheckBox* option : options) option->setEnabled(true);
    return;
  }
  for (QCheckBox* option : options) UncheckAndDisable(option);
  Change(TargetingSoftware, 0);
  TargetingSoftware->setEnabled(false);
}

void TForm1::TinyComputerClick() {
  // Targeting software needs a computer to run on.
  if (TinyComputer->isChecked()) {
    TargetingSoftware->setEnabled(true);
  } else {
    Change(TargetingSoftware, 0);
    TargetingSoftware->setEnabled(false);
  }
}

void TForm1::BoreSizeEditChange() {
  ShowMaxRoF(false);
}

void TForm1::BarrelsEditChange() {
  ShowMaxRoF(true);
}

void TForm1::TLEditChange() {
  // A revolver fires double-action from TL 6 on.
  if (Mechanism() == brennick::kRevolver) {
    Change(RoFEdit, StrictTL() >= 6 ? QStringLiteral("3") : QStringLiteral("1"));
  }
}

// ---------------------------------------------------------------------------
// The random design generator

void TForm1::RandomButtonClick() {
  using namespace brennick;
  const auto number = [](std::int64_t n) { return QString::number(n); };
  RandomSource& draw = random_;

  // 1-2: a fresh seed, then the loading mechanism.
  SeedRandomSource();
  const int m = OnlyAuto->isChecked() ? draw.Between(kLightAutomatic, kElectricGatling)
                                      : draw.Between(kMuzzleloader, kElectricGatling);
  Change(LoadingMechanismBox, m);
  // 3-7: electric action, muzzle attachment (never the zero-G compensator),
  // extra-low powder and what it allows.
  if (m > kMechanicalGatling) Change(ElectricBox, draw.Coin());
  Change(MuzzleBox, draw.Between(kMuzzleNone, kMuzzlePort));
  Change(ExtraLowBox, draw.Coin());
  if (ExtraLowBox->isChecked()) {
    Change(ShotgunBox, draw.Coin());
    Change(RecoillessCheckBox, draw.Coin());
    if (RecoillessCheckBox->isChecked()) {
      Change(ColdCountermassBox, draw.Coin());
    } else {
      Change(ColdCountermassBox, false);
    }
  } else {
    Change(ShotgunBox, false);
    Change(RecoillessCheckBox, false);
    Change(ColdCountermassBox, false);
  }
  if (Propellant() == kGauss || Propellant() == kGrav) {
    Change(RecoillessCheckBox, false);
    Change(ColdCountermassBox, false);
  }
  Change(GunLauncherCheckBox, draw.Coin());

  // 9-13: configuration (a draw of 5 is the last item, so cannons come up
  // twice as often), barrel (never long), propellant and its options.
  Change(ConfigurationBox, draw.Between(0, 5));
  Change(BarrelBox, draw.Between(kShort, kMedium));
  const int p = draw.Between(kStandard, kGrav);
  Change(PropellantBox, p);
  Change(GaussHCCBBox, p == kGauss ? draw.Between(0, 1) : 0);
  if (p == kGauss || p == kGrav) {
    Change(ClosedBoltBox, false);
    Change(CaselessBox, false);
    Change(PLBBox, kPLBNone);
  } else {
    Change(ClosedBoltBox, draw.Coin());
    Change(CaselessBox, draw.Coin());
    Change(PLBBox, CaselessBox->isChecked() ? draw.Between(kPLBNone, kHighCyclic) : kPLBNone);
  }

  // 14-19: chambers, barrels and the rate of fire each mechanism allows.
  if (m == kRevolver) {
    Change(ChambersEdit, number(draw.Between(2, 11)));
    Change(RoFEdit, QStringLiteral("3"));
  } else {
    Change(ChambersEdit, QStringLiteral("1"));
  }
  if (m == kMuzzleloader || m == kMuzzleloaderCarriage || m == kBreechloader ||
      m == kElectricGatling) {
    Change(BarrelsEdit, number(draw.Between(1, 11)));
  } else {
    Change(BarrelsEdit, QStringLiteral("1"));
  }
  if (m < kRevolver) {
    Change(RoFEdit, QStringLiteral("1"));
    Change(ShotsEdit, QStringLiteral("1"));
  }
  if (m == kMechanicalGatling) Change(RoFEdit, QStringLiteral("15"));
  if (m == kSlowAutoloader || m == kFastAutoloader) Change(RoFEdit, QStringLiteral("1"));
  if (m == kLightAutomatic) Change(RoFEdit, number(draw.Between(3, 16)));
  if (m == kHeavyAutomatic) Change(RoFEdit, number(draw.Between(3, 20)));

  // 20: the bore in hundredths of a millimetre; electromagnetic guns stay small.
  const int hundredths = p <= kETK     ? draw.Between(100, 1999)
                         : p == kGauss ? draw.Between(100, 999)
                                       : draw.Between(100, 799);
  Change(BoreSizeEdit,
         QString::fromStdString(GeneralNumberText(ext(hundredths) / 100, DecimalSeparator())));

  // 21-22: the Gatling's rate of fire up to its ceiling, then the shots.
  if (m == kElectricGatling) {
    const double bore = FloatOr(Std(BoreSizeEdit->text()), DecimalSeparator(), 1);
    const std::int32_t barrels = IntOr(Std(BarrelsEdit->text()), 1);
    const auto ceiling = static_cast<int>(GatlingMaxRoF(bore, barrels));
    Change(RoFEdit, number(draw.Between(3, ceiling)));
  }
  Change(ShotsEdit, m > kMechanicalGatling ? number(draw.Between(1, 199)) : QStringLiteral("1"));

  // 23-27: bipod for long arms, paper cells, camouflage (never the ultimate
  // surface), the HUD link and its options.
  if (Configuration() > kSMG) {
    Change(BipodBox, draw.Coin());
  } else {
    Change(BipodBox, false);
  }
  Change(PaperBox, draw.Coin());
  Change(CamouflageBox, draw.Between(0, 5));
  Change(HUDLinkBox, draw.Coin());
  if (HUDLinkBox->isChecked()) {
    for (QCheckBox* option : {DataChip, GreenEyes, HUDCable, MicroRadio, TinyComputer}) {
      Change(option, draw.Coin());
    }
    if (MicroRadio->isChecked()) {
      Change(SecureEncryption, draw.Coin());
    } else {
      Change(SecureEncryption, false);
    }
    Change(TargetingSoftware, TinyComputer->isChecked() ? draw.Between(0, 1) : 0);
  } else {
    for (QCheckBox* option :
         {DataChip, GreenEyes, HUDCable, MicroRadio, TinyComputer, SecureEncryption}) {
      Change(option, false);
    }
    Change(TargetingSoftware, 0);
  }

  // 28-31: accessories, the recognition grip and the diagnostic computer.
  for (QCheckBox* feature : {MultispectralLaserSightBox, TransponderRingBox, AccRailU, AccRailO,
                             AccRailS, AccRailT, RecognitionGripBox}) {
    Change(feature, draw.Coin());
  }
  const bool grip = RecognitionGripBox->isChecked();
  for (QCheckBox* option : {RGPalm, RGVoice, RGGlove, RGIFF, RGGPS}) {
    Change(option, grip && draw.Coin());
  }
  Change(DiagnosticComputerBox, draw.Coin());
  Change(AntiTamper, DiagnosticComputerBox->isChecked() && draw.Coin());
  for (QCheckBox* feature :
       {IronSightsBox, SDATBox, DTagBox, IFFBox, GravCompBox, SmartgripBox, MuzzleWeightBox,
        FoldingStockBox, DisguisedBox, RuggedBox, CTSBox, ETSBox, SpaceProof}) {
    Change(feature, draw.Coin());
  }

  // 32-33: quality (cheap is for the whole gun; never very fine
  // reliability) and styling (never +3).
  Change(QualityAccurate, draw.Between(kNormal, kCheap));
  if (QualityAccurate->itemIndex() == kCheap) {
    Change(QualityReliable, kCheap);
  } else {
    Change(QualityReliable, draw.Between(kNormal, kFine));
  }
  Change(StylingBox, draw.Between(0, 2));
}
