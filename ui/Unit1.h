// The design window: every input of a weapon design, the Design and Randomize
// buttons and the pane that receives the statblock.
//
// The window keeps the form plausible while it is edited: each control change
// runs that control's rule at once (whether the user or a program step made
// it), and rules changing other controls run those controls' rules nested.
// Program steps change controls only through Change(), which stores the value
// without Qt notifications and then calls the rule directly; user edits enter
// through UserEvent(), the one place that catches a failure and reports it.
#pragma once

#include <QHash>
#include <QMainWindow>
#include <QString>
#include <cstdint>
#include <functional>

#include "RadioGroup.h"
#include "design.h"
#include "random.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

class TForm1 : public QMainWindow {
  Q_OBJECT
 public:
  explicit TForm1(QWidget* parent = nullptr);

  // --- Event operations, named after their control and event. ---
  void FormCreate();
  void FormClose();
  void FormKeyPress();
  void DesignButtonClick();
  void RandomButtonClick();

  void LoadingMechanismBoxClick();
  void ConfigurationBoxClick();
  void RecoillessCheckBoxClick();
  void ExtraLowBoxClick();
  void PropellantBoxClick();
  void CaselessBoxClick();
  void QualityAccurateClick();
  void QualityReliableClick();
  void RecognitionGripBoxClick();
  void DiagnosticComputerBoxClick();
  void HUDLinkBoxClick();
  void TinyComputerClick();
  void BoreSizeEditChange();
  void BarrelsEditChange();
  void TLEditChange();

  // --- Changing controls. ---
  // A program step's change of a control: the value is stored, and when it
  // differs from the one the control had, the control's rule runs at once.
  // A failing rule throws brennick::DesignError to the caller.
  void Change(QLineEdit* edit, const QString& text);
  void Change(QCheckBox* box, bool checked);
  void Change(TRadioGroup* group, int index);

  // Runs one user event; a failure inside it goes to the error report, and
  // whatever the event changed before the failure stays.
  void UserEvent(const std::function<void()>& event);
  // The error report every user event goes through (a message box by default).
  void ReportError(const QString& message);
  void setErrorReporter(std::function<void(const QString&)> reporter);

  // --- The random source of the generator. ---
  brennick::RandomSource& randomSource() { return random_; }
  // Reseeds the random source from the seed clock.
  void SeedRandomSource();
  void setSeedClock(std::function<std::uint32_t()> clock);

  // Every design input as the controls hold it now, enabled or not.
  brennick::DesignInput ReadInput() const;
  // The system's decimal separator, as the design run and the hint read it.
  static char DecimalSeparator();

  // --- Controls, named as on the form. ---
  QLabel *Label1, *Label2, *Label17, *Label7, *Label3, *Label5, *Label10, *Label6, *Label4,
      *Label15, *Label8, *Label9;
  QLabel *BarrelsLabel, *ChambersLabel, *RoFLabel, *ShotsLabel, *MaxRoFLabel;
  QLineEdit *NameEdit, *BoreSizeEdit, *TLEdit, *PowerModEdit, *BarrelsEdit, *ChambersEdit, *RoFEdit,
      *ShotsEdit, *ArbWeight, *ArbCF;
  TRadioGroup *ConfigurationBox, *BarrelBox, *LoadingMechanismBox, *PropellantBox, *PLBBox,
      *GaussHCCBBox, *MuzzleBox, *CamouflageBox, *StylingBox, *QualityAccurate, *QualityReliable,
      *TargetingSoftware;
  QCheckBox *RecoillessCheckBox, *ColdCountermassBox, *ShotgunBox, *ExtraLowBox, *BipodBox,
      *ElectricBox, *ClosedBoltBox, *CaselessBox, *HouseETCBox, *HouseGauss, *HouseDRBox, *KYOSBox,
      *PaperBox, *HUDLinkBox, *DataChip, *GreenEyes, *HUDCable, *MicroRadio, *SecureEncryption,
      *TinyComputer, *MultispectralLaserSightBox, *CTSBox, *ETSBox, *TransponderRingBox,
      *RecognitionGripBox, *RGPalm, *RGVoice, *RGGlove, *RGGPS, *RGIFF, *SDATBox,
      *DiagnosticComputerBox, *AntiTamper, *DTagBox, *IFFBox, *IronSightsBox, *AccRailU, *AccRailO,
      *AccRailS, *AccRailT, *GravCompBox, *SmartgripBox, *MuzzleWeightBox, *SpaceProof,
      *FoldingStockBox, *DisguisedBox, *RuggedBox;
  QCheckBox *GunLauncherCheckBox, *OnlyAuto;
  QGroupBox *GroupBox1, *GroupBox2, *GroupBox3;
  QPushButton *DesignButton, *RandomButton;
  QPlainTextEdit* StatblockMemo;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  using Rule = void (TForm1::*)();

  void CreateControls();
  void LoadStartValues();
  void LayOutControls();
  void SetTabOrder();
  void BindRules();
  void Bind(QLineEdit* edit, Rule rule);
  void Bind(QCheckBox* box, Rule rule);
  void Bind(TRadioGroup* group, Rule rule);
  void RunRule(const QObject* control);
  template <class Control, class Value>
  void ChangeQuietly(Control* control, const Value& value);

  // The Max RoF hint beside the RoF field; `gatlingOnly` limits it to the
  // Electric Gatling rows, leaving the caption alone for other mechanisms.
  void ShowMaxRoF(bool gatlingOnly);
  // A field is its text field and its label, enabled or disabled together.
  void SetFieldEnabled(QLineEdit* edit, bool enabled);
  void UncheckAndDisable(QCheckBox* box);
  int Mechanism() const;
  int Propellant() const;
  int Configuration() const;
  std::int32_t StrictTL() const;

  QWidget* NamedControl(const char* name) const;

  QWidget* surface_ = nullptr;  // the form's background, inside the scroll area
  QHash<const QObject*, Rule> rules_;
  // The text each bound field had when its rule last saw it: Qt reports a
  // field's text as changed even when typing replaces it with the same text.
  QHash<const QLineEdit*, QString> seenText_;
  std::function<void(const QString&)> errorReporter_;
  std::function<std::uint32_t()> seedClock_;
  brennick::RandomSource random_;
};
