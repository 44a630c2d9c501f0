#include "form/form_model.h"

#include <array>
#include <cstddef>
#include <initializer_list>
#include <span>
#include <stdexcept>
#include <string>
#include <utility>

#include "engine/design.h"
#include "engine/ext.h"
#include "engine/number_text.h"

namespace brennick {
namespace {

using F = FormState;

// Finds the table row of a control of the form state.
template <class Control>
const FieldInfo& FieldOf(Control FormState::*control) {
  for (const FieldInfo& f : FormFields()) {
    if constexpr (std::is_same_v<Control, TextControl>) {
      if (f.textControl == control) return f;
    } else if constexpr (std::is_same_v<Control, CheckControl>) {
      if (f.checkControl == control) return f;
    } else {
      if (f.groupControl == control) return f;
    }
  }
  throw std::logic_error("a control outside the field table");
}

// The Electric Gatling's ceiling: a bore above 20 mm limits each barrel by
// the bore, a smaller one allows 16.67 shots per barrel.
std::int64_t GatlingMaxRoF(double bore, std::int32_t barrels) {
  if (bore > 20) return RoundHalfEven(ext(334) / bore) * barrels;
  return RoundHalfEven(ext(barrels) * 16.67);
}

std::string MaxRoFText(std::int64_t rof) {
  return "Max RoF: " + IntText(rof);
}

bool TakesSeveralBarrels(int m) {
  return m == kMuzzleloader || m == kMuzzleloaderCarriage || m == kBreechloader ||
         m == kElectricGatling;
}

}  // namespace

FormModel::FormModel(char decimalSeparator) : dec_(decimalSeparator) {}

// ---------------------------------------------------------------------------
// Change notification

void FormModel::Set(TextControl FormState::*control, std::string_view text) {
  TextControl& c = state_.*control;
  if (c.text == text) return;
  c.text = text;
  RunRule(FieldOf(control));
}

void FormModel::Set(CheckControl FormState::*control, bool checked) {
  CheckControl& c = state_.*control;
  if (c.checked == checked) return;
  c.checked = checked;
  RunRule(FieldOf(control));
}

void FormModel::Set(GroupControl FormState::*control, int index) {
  const FieldInfo& field = FieldOf(control);
  const int last = static_cast<int>(field.items.size()) - 1;
  index = index > last ? last : index < -1 ? -1 : index;
  GroupControl& c = state_.*control;
  if (c.index == index) return;
  c.index = index;
  RunRule(field);
}

void FormModel::SetText(const FieldInfo& field, std::string_view text) {
  Set(field.textControl, text);
}
void FormModel::SetChecked(const FieldInfo& field, bool checked) {
  Set(field.checkControl, checked);
}
void FormModel::SetIndex(const FieldInfo& field, int index) {
  Set(field.groupControl, index);
}

void FormModel::RunRule(const FieldInfo& field) {
  if (field.rule) (this->*field.rule)();
}

// ---------------------------------------------------------------------------
// Rules

void FormModel::UncheckAndDisable(CheckControl FormState::*control) {
  Set(control, false);
  Enable(control, false);
}

std::string_view FormModel::RevolverRoF() const {
  return ParseIntStrict(state_.TLEdit.text) >= 6 ? "3" : "1";
}

void FormModel::ShowMaxRoF(bool gatlingOnly) {
  const int m = Mechanism();
  if (m != kLightAutomatic && m != kHeavyAutomatic && m != kElectricGatling) return;
  if (gatlingOnly && m != kElectricGatling) return;
  // Read leniently: a half-typed bore or barrel count counts as 1.
  const double bore = FloatOr(state_.BoreSizeEdit.text, dec_, 1);
  const std::int32_t barrels = IntOr(state_.BarrelsEdit.text, 1);
  switch (m) {
    case kLightAutomatic:
      WriteHint(bore > 10 ? MaxRoFText(RoundHalfEven(ext(160) / bore)) : "RoF: 3-16");
      break;
    case kHeavyAutomatic:
      WriteHint(bore > 20 ? MaxRoFText(RoundHalfEven(ext(400) / bore)) : "RoF: 3-20");
      break;
    default:
      WriteHint(MaxRoFText(GatlingMaxRoF(bore, barrels)));
      break;
  }
}

void FormModel::WriteHint(std::string text) {
  state_.MaxRoFLabel = std::move(text);
  ++hintWrites_;
}

void FormModel::LoadingMechanismBoxClick() {
  const int m = Mechanism();
  WriteHint(kMaxRoFStart);

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
  if (m >= 0 && m < static_cast<int>(kFields.size()) && kFields[static_cast<std::size_t>(m)].rof) {
    const Fields& fields = kFields[static_cast<std::size_t>(m)];
    Set(&F::RoFEdit, fields.rof);
    Enable(&F::RoFEdit, fields.rofEnabled);
    Set(&F::ShotsEdit, "1");
    Enable(&F::ShotsEdit, fields.shotsEnabled);
  }

  if (m >= kLightAutomatic && m <= kElectricGatling) ShowMaxRoF(false);

  if (m == kRevolver) {
    // A revolver's chambers are its magazine; its RoF follows the TL.
    Enable(&F::ChambersEdit, true);
    Set(&F::RoFEdit, RevolverRoF());
    Enable(&F::RoFEdit, false);
    Set(&F::ShotsEdit, "1");
    Enable(&F::ShotsEdit, false);
  } else {
    Set(&F::ChambersEdit, "1");
    Enable(&F::ChambersEdit, false);
  }

  Enable(&F::ElectricBox, m >= kSlowAutoloader && m <= kHeavyAutomatic);

  // Only muzzleloaders, breechloaders and the electric Gatling take several barrels.
  if (TakesSeveralBarrels(m)) {
    Enable(&F::BarrelsEdit, true);
  } else {
    Set(&F::BarrelsEdit, "1");
    Enable(&F::BarrelsEdit, false);
  }
}

void FormModel::ConfigurationBoxClick() {
  // Only long arms rest on a bipod; they are too heavy to be recoilless.
  const bool longArm = Configuration() > kSMG;
  Enable(&F::BipodBox, longArm);
  if (longArm) {
    Enable(&F::RecoillessCheckBox, false);
    Set(&F::RecoillessCheckBox, false);
  } else {
    Enable(&F::RecoillessCheckBox, true);
  }
}

void FormModel::RecoillessCheckBoxClick() {
  Enable(&F::ColdCountermassBox, Checked(&F::RecoillessCheckBox));
}

void FormModel::ExtraLowBoxClick() {
  if (Checked(&F::ExtraLowBox) && Propellant() < kGauss) {
    Enable(&F::RecoillessCheckBox, true);
  } else if (Configuration() > kSMG) {
    Enable(&F::RecoillessCheckBox, false);
  }
}

void FormModel::PropellantBoxClick() {
  const int p = Propellant();
  if (p == kLiquid) {
    Set(&F::PLBBox, kPLBNone);
    Enable(&F::PLBBox, false);
  } else {
    Enable(&F::PLBBox, true);
  }

  if (p >= kStandard && p <= kETK) {
    Set(&F::GaussHCCBBox, 0);
    Enable(&F::GaussHCCBBox, false);
    Set(&F::RecoillessCheckBox, false);
    Enable(&F::RecoillessCheckBox, true);
    UncheckAndDisable(&F::ColdCountermassBox);
    Set(&F::CaselessBox, false);
    Enable(&F::CaselessBox, true);
    Set(&F::ClosedBoltBox, false);
    Enable(&F::ClosedBoltBox, true);
    Enable(&F::ElectricBox, true);
  }

  if (p == kGauss || p == kGrav) {
    // Electromagnetic guns have no cartridge and no recoil to balance.
    Set(&F::PLBBox, kPLBNone);
    Enable(&F::PLBBox, false);
    Enable(&F::GaussHCCBBox, true);
    UncheckAndDisable(&F::RecoillessCheckBox);
    UncheckAndDisable(&F::ColdCountermassBox);
    UncheckAndDisable(&F::CaselessBox);
    UncheckAndDisable(&F::ClosedBoltBox);
    if (Mechanism() > kMechanicalGatling) Set(&F::ElectricBox, true);
  }

  if (p == kGauss) {
    Set(&F::ElectricBox, true);
    Enable(&F::ElectricBox, false);
  }
}

void FormModel::CaselessBoxClick() {
  if (Checked(&F::CaselessBox)) {
    Enable(&F::PLBBox, true);
  } else {
    Enable(&F::PLBBox, false);
    Set(&F::PLBBox, -1);
  }
}

void FormModel::QualityAccurateClick() {
  // Cheap is one quality for the whole gun: the other group gives way.
  if (state_.QualityAccurate.index == kCheap) {
    Set(&F::QualityReliable, kNormal);
    Enable(&F::QualityReliable, false);
  } else {
    Enable(&F::QualityReliable, true);
  }
}

void FormModel::QualityReliableClick() {
  if (state_.QualityReliable.index == kCheap) {
    Set(&F::QualityAccurate, kNormal);
    Enable(&F::QualityAccurate, false);
  } else {
    Enable(&F::QualityAccurate, true);
  }
}

void FormModel::RecognitionGripBoxClick() {
  for (CheckControl FormState::*option :
       {&F::RGPalm, &F::RGVoice, &F::RGIFF, &F::RGGPS, &F::RGGlove}) {
    if (Checked(&F::RecognitionGripBox)) {
      Enable(option, true);
    } else {
      UncheckAndDisable(option);
    }
  }
}

void FormModel::DiagnosticComputerBoxClick() {
  if (Checked(&F::DiagnosticComputerBox)) {
    Enable(&F::AntiTamper, true);
  } else {
    UncheckAndDisable(&F::AntiTamper);
  }
}

void FormModel::HUDLinkBoxClick() {
  const std::array<CheckControl FormState::*, 6> options = {&F::DataChip,         &F::GreenEyes,
                                                            &F::HUDCable,         &F::MicroRadio,
                                                            &F::SecureEncryption, &F::TinyComputer};
  if (Checked(&F::HUDLinkBox)) {
    for (auto option : options) Enable(option, true);
    return;
  }
  for (auto option : options) UncheckAndDisable(option);
  Set(&F::TargetingSoftware, 0);
  Enable(&F::TargetingSoftware, false);
}

void FormModel::TinyComputerClick() {
  // Targeting software needs a computer to run on.
  if (Checked(&F::TinyComputer)) {
    Enable(&F::TargetingSoftware, true);
  } else {
    Set(&F::TargetingSoftware, 0);
    Enable(&F::TargetingSoftware, false);
  }
}

void FormModel::BoreSizeEditChange() {
  ShowMaxRoF(false);
}

void FormModel::BarrelsEditChange() {
  ShowMaxRoF(true);
}

void FormModel::TLEditChange() {
  if (Mechanism() == kRevolver) Set(&F::RoFEdit, RevolverRoF());
}

void FormModel::FormKeyPress() {
  ShowMaxRoF(false);
}

// ---------------------------------------------------------------------------
// The random design generator

void FormModel::RandomButtonClick(std::uint32_t seed) {
  const auto number = [](std::int64_t n) { return IntText(n); };
  RandomSource& draw = random_;

  // 1-2: a fresh seed, then the loading mechanism.
  draw.Seed(seed);
  const int m = Checked(&F::OnlyAuto) ? draw.Between(kLightAutomatic, kElectricGatling)
                                      : draw.Between(kMuzzleloader, kElectricGatling);
  Set(&F::LoadingMechanismBox, m);
  // 3-7: electric action, muzzle attachment (never the zero-G compensator),
  // extra-low powder and what it allows.
  if (m > kMechanicalGatling) Set(&F::ElectricBox, draw.Coin());
  Set(&F::MuzzleBox, draw.Between(kMuzzleNone, kMuzzlePort));
  Set(&F::ExtraLowBox, draw.Coin());
  if (Checked(&F::ExtraLowBox)) {
    Set(&F::ShotgunBox, draw.Coin());
    Set(&F::RecoillessCheckBox, draw.Coin());
    if (Checked(&F::RecoillessCheckBox)) {
      Set(&F::ColdCountermassBox, draw.Coin());
    } else {
      Set(&F::ColdCountermassBox, false);
    }
  } else {
    Set(&F::ShotgunBox, false);
    Set(&F::RecoillessCheckBox, false);
    Set(&F::ColdCountermassBox, false);
  }
  if (Propellant() == kGauss || Propellant() == kGrav) {
    Set(&F::RecoillessCheckBox, false);
    Set(&F::ColdCountermassBox, false);
  }
  Set(&F::GunLauncherCheckBox, draw.Coin());

  // 9-13: configuration (a draw of 5 is the last item, so cannons come up
  // twice as often), barrel (never long), propellant and its options.
  Set(&F::ConfigurationBox, draw.Between(0, 5));
  Set(&F::BarrelBox, draw.Between(kShort, kMedium));
  const int p = draw.Between(kStandard, kGrav);
  Set(&F::PropellantBox, p);
  Set(&F::GaussHCCBBox, p == kGauss ? draw.Between(0, 1) : 0);
  if (p == kGauss || p == kGrav) {
    Set(&F::ClosedBoltBox, false);
    Set(&F::CaselessBox, false);
    Set(&F::PLBBox, kPLBNone);
  } else {
    Set(&F::ClosedBoltBox, draw.Coin());
    Set(&F::CaselessBox, draw.Coin());
    Set(&F::PLBBox, Checked(&F::CaselessBox) ? draw.Between(kPLBNone, kHighCyclic) : kPLBNone);
  }

  // 14-19: chambers, barrels and the rate of fire each mechanism allows.
  if (m == kRevolver) {
    Set(&F::ChambersEdit, number(draw.Between(2, 11)));
    Set(&F::RoFEdit, "3");
  } else {
    Set(&F::ChambersEdit, "1");
  }
  if (TakesSeveralBarrels(m)) {
    Set(&F::BarrelsEdit, number(draw.Between(1, 11)));
  } else {
    Set(&F::BarrelsEdit, "1");
  }
  if (m < kRevolver) {
    Set(&F::RoFEdit, "1");
    Set(&F::ShotsEdit, "1");
  }
  if (m == kMechanicalGatling) Set(&F::RoFEdit, "15");
  if (m == kSlowAutoloader || m == kFastAutoloader) Set(&F::RoFEdit, "1");
  if (m == kLightAutomatic) Set(&F::RoFEdit, number(draw.Between(3, 16)));
  if (m == kHeavyAutomatic) Set(&F::RoFEdit, number(draw.Between(3, 20)));

  // 20: the bore in hundredths of a millimetre; electromagnetic guns stay small.
  const int hundredths = p <= kETK     ? draw.Between(100, 1999)
                         : p == kGauss ? draw.Between(100, 999)
                                       : draw.Between(100, 799);
  Set(&F::BoreSizeEdit, GeneralNumberText(ext(hundredths) / 100, dec_));

  // 21-22: the Gatling's rate of fire up to its ceiling, then the shots.
  if (m == kElectricGatling) {
    const double bore = FloatOr(state_.BoreSizeEdit.text, dec_, 1);
    const std::int32_t barrels = IntOr(state_.BarrelsEdit.text, 1);
    const auto ceiling = static_cast<int>(GatlingMaxRoF(bore, barrels));
    Set(&F::RoFEdit, number(draw.Between(3, ceiling)));
  }
  Set(&F::ShotsEdit, m > kMechanicalGatling ? number(draw.Between(1, 199)) : "1");

  // 23-27: bipod for long arms, paper cells, camouflage (never the ultimate
  // surface), the HUD link and its options.
  if (Configuration() > kSMG) {
    Set(&F::BipodBox, draw.Coin());
  } else {
    Set(&F::BipodBox, false);
  }
  Set(&F::PaperBox, draw.Coin());
  Set(&F::CamouflageBox, draw.Between(0, 5));
  Set(&F::HUDLinkBox, draw.Coin());
  if (Checked(&F::HUDLinkBox)) {
    for (auto option :
         {&F::DataChip, &F::GreenEyes, &F::HUDCable, &F::MicroRadio, &F::TinyComputer}) {
      Set(option, draw.Coin());
    }
    if (Checked(&F::MicroRadio)) {
      Set(&F::SecureEncryption, draw.Coin());
    } else {
      Set(&F::SecureEncryption, false);
    }
    Set(&F::TargetingSoftware, Checked(&F::TinyComputer) ? draw.Between(0, 1) : 0);
  } else {
    for (auto option : {&F::DataChip, &F::GreenEyes, &F::HUDCable, &F::MicroRadio, &F::TinyComputer,
                        &F::SecureEncryption}) {
      Set(option, false);
    }
    Set(&F::TargetingSoftware, 0);
  }

  // 28-31: accessories, the recognition grip and the diagnostic computer.
  for (auto feature : {&F::MultispectralLaserSightBox, &F::TransponderRingBox, &F::AccRailU,
                       &F::AccRailO, &F::AccRailS, &F::AccRailT, &F::RecognitionGripBox}) {
    Set(feature, draw.Coin());
  }
  const bool grip = Checked(&F::RecognitionGripBox);
  for (auto option : {&F::RGPalm, &F::RGVoice, &F::RGGlove, &F::RGIFF, &F::RGGPS}) {
    Set(option, grip && draw.Coin());
  }
  Set(&F::DiagnosticComputerBox, draw.Coin());
  Set(&F::AntiTamper, Checked(&F::DiagnosticComputerBox) && draw.Coin());
  for (auto feature : {&F::IronSightsBox, &F::SDATBox, &F::DTagBox, &F::IFFBox, &F::GravCompBox,
                       &F::SmartgripBox, &F::MuzzleWeightBox, &F::FoldingStockBox, &F::DisguisedBox,
                       &F::RuggedBox, &F::CTSBox, &F::ETSBox, &F::SpaceProof}) {
    Set(feature, draw.Coin());
  }

  // 32-33: quality (cheap is for the whole gun; never very fine
  // reliability) and styling (never +3).
  Set(&F::QualityAccurate, draw.Between(kNormal, kCheap));
  if (state_.QualityAccurate.index == kCheap) {
    Set(&F::QualityReliable, kCheap);
  } else {
    Set(&F::QualityReliable, draw.Between(kNormal, kFine));
  }
  Set(&F::StylingBox, draw.Between(0, 2));
}

}  // namespace brennick
