// The design window's layout: four columns, sized to fit a laptop's screen.
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QSplitter>
#include <QStyle>
#include <QTextDocument>
#include <QVBoxLayout>
#include <algorithm>
#include <array>

#include "ui/DerivationPanel.h"
#include "ui/Unit1.h"

namespace {

// Where the settings keep the line between the pane and the panel.
constexpr const char* kSplitterKey = "window/statblockSplitter";

}  // namespace

void TForm1::EnlargeDerivations(bool large) {
  // Large, the panel takes three quarters of the column, the pane keeps a
  // quarter; back, the sizes from before. The splitter reports no move, so
  // the remembered line stays the user's own.
  if (large) {
    if (!DerivationPanel->isVisible()) ShowDerivations(true);
    const QList<int> sizes = StatblockSplitter->sizes();
    if (sizes.size() == 2) {
      smallPanel_ = sizes;
      const int total = sizes[0] + sizes[1];
      StatblockSplitter->setSizes({total / 4, total - total / 4});
    }
    DerivationPanel->setFocus(Qt::ShortcutFocusReason);
  } else if (smallPanel_.size() == 2) {
    StatblockSplitter->setSizes(smallPanel_);
    smallPanel_.clear();
  }
  if (actions_.EnlargeDerivations->isChecked() != large) {
    actions_.EnlargeDerivations->setChecked(large);
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
  // The captions of the text fields take an Alt key each, to their field:
  // no letter twice, and none of the menu bar's (F, E, V, H).
  const std::pair<QLabel*, const char*> mnemonics[] = {{Label7, "Weapon &Name"},
                                                       {Label6, "&TL"},
                                                       {Label3, "&Bore Size, mm"},
                                                       {Label10, "&PowerMod"},
                                                       {BarrelsLabel, "Barre&ls"},
                                                       {ChambersLabel, "&Chambers"},
                                                       {RoFLabel, "&RoF"},
                                                       {ShotsLabel, "&Shots"},
                                                       {Label8, "Arbitrary Extra &Weight"},
                                                       {Label9, "&Arbitrary Extra CF"}};
  for (const auto& [label, caption] : mnemonics) {
    // Only the mark is added: a caption changed elsewhere keeps its words.
    QString marked = QString::fromUtf8(caption);
    if (QString(marked).remove(QLatin1Char('&')) == label->text()) label->setText(marked);
  }
  const QFontMetrics metrics(font());
  const auto narrow = [&](QLineEdit* edit, int characters) {
    edit->setFixedWidth(metrics.horizontalAdvance(QLatin1Char('0')) * characters + 12);
  };

  // --- 1. Input area ---
  // Name and bore across the top; under them the configuration and barrel
  // length, the loading mechanism and the numeric fields side by side; under
  // those the propellant and what follows from it, beside the caseless mods,
  // muzzle attachment, camouflage and the last house rules.
  auto* input = column(2);
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
  // The house rules one line apart, as every other list of check boxes.
  auto* rules = column();
  for (QCheckBox* rule : {HouseDRBox, KYOSBox, PaperBox}) rules->addWidget(rule);
  attachments->addLayout(rules);
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
  // Over the pane, a note when its statblock is not the form's: made from
  // an earlier form, or stopped by a failure. One line, cut at the pane's
  // width, so that no message widens the window.
  StatblockNote = new QLabel(form);
  StatblockNote->setObjectName(QStringLiteral("StatblockNote"));
  StatblockNote->setAccessibleName(tr("Statblock note"));
  StatblockNote->setTextFormat(Qt::PlainText);
  StatblockNote->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
  StatblockNote->setHidden(true);
  StatblockNote->setMargin(3);
  ColourStatblockNote();
  output->addWidget(StatblockNote);
  // The pane over the derivation panel, the line between them moved by the
  // user and remembered; the panel keeps its few lines as the window grows,
  // the pane takes the rest.
  StatblockSplitter = new QSplitter(Qt::Vertical, form);
  StatblockSplitter->setObjectName(QStringLiteral("StatblockSplitter"));
  StatblockSplitter->setChildrenCollapsible(false);
  StatblockSplitter->addWidget(StatblockMemo);
  StatblockSplitter->addWidget(DerivationPanel);
  StatblockSplitter->setStretchFactor(0, 1);
  StatblockSplitter->setStretchFactor(1, 0);
  const QByteArray splitState = Settings().value(QLatin1String(kSplitterKey)).toByteArray();
  if (!splitState.isEmpty()) StatblockSplitter->restoreState(splitState);
  connect(StatblockSplitter, &QSplitter::splitterMoved, this, [this] {
    Settings().setValue(QLatin1String(kSplitterKey), StatblockSplitter->saveState());
  });
  output->addWidget(StatblockSplitter, 1);
  // The pane is the column that gives and takes: it grows with the window
  // and shrinks on a small screen, never below the width of an ordinary
  // statblock line such as "ST 9B† (ST 6 on a bipod)".
  const QFontMetrics paneMetrics(StatblockMemo->font());
  const int paneChrome = 2 * StatblockMemo->frameWidth() +
                         2 * static_cast<int>(StatblockMemo->document()->documentMargin()) +
                         StatblockMemo->verticalScrollBar()->sizeHint().width() + 4;
  StatblockMemo->setMinimumWidth(
      paneMetrics.horizontalAdvance(QString::fromUtf8("ST 13B\u2020 (ST 9 on a bipod)")) +
      paneChrome);
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
  root->setContentsMargins(6, 2, 6, 2);
  root->setSpacing(2);
  root->addWidget(Label1);
  root->addLayout(regions, 1);
}
