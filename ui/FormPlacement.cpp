// The design window on the screen: its size and place, and the keyboard
// order of its controls.
#include <QCheckBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QWindow>
#include <algorithm>

#include "ui/DerivationPanel.h"
#include "ui/Unit1.h"
#include "ui/WindowFit.h"

QSize TForm1::sizeHint() const {
  // The whole form with the pane at a comfortable width and the menu bar;
  // the scroll area around the form would offer only a fraction of it.
  const QSize form = surface_->sizeHint();
  const int shown = StatblockMemo->sizeHint().expandedTo(StatblockMemo->minimumSize()).width();
  const int pane = std::max(paneWidthHint_ - shown, 0);
  return QSize(form.width() + pane, form.height() + menuBar()->sizeHint().height());
}

void TForm1::PlaceOnScreen() {
  // The window opens at the size the form wants, at the stored place (61,
  // 54) where the screen leaves room for it; on a smaller screen it shrinks
  // so that the whole window, title bar and borders included, lies inside
  // the screen's available area, and the form scrolls. The frame counts
  // once the window system has told it, after the first show.
  if (fit_ == nullptr) {
    fit_ = new TWindowFit(
        this, [this] { return sizeHint(); }, QPoint(61, 54));
  } else {
    fit_->Fit(windowHandle() ? windowHandle()->frameMargins() : QMargins());
  }
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
                                                 DerivationPanel,
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
