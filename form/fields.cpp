#include "fields.h"

#include <array>

#include "form_model.h"

namespace brennick {
namespace {

constexpr std::array<const char*, 5> kConfigurationItems = {"Pistol", "SMG", "Rifle", "Support",
                                                            "Cannon"};
constexpr std::array<const char*, 3> kBarrelItems = {"Short", "Medium", "Long"};
constexpr std::array<const char*, 11> kMechanismItems = {
    "Muzzleloader (TL3)",    "Muzzleloader with a carriage (TL3)",
    "Breechloader (TL3)",    "Manual Repeater (TL5)",
    "Revolver (TL5)",        "Mechanical Gatling (TL5)",
    "Slow Autoloader (TL6)", "Fast Autoloader (TL6)",
    "Light Automatic (TL6)", "Heavy Automatic (TL6)",
    "Electric Gatling (TL7)"};
constexpr std::array<const char*, 6> kPropellantItems = {
    "Standard Propellant", "Liquid Propellant", "ETC", "ETK", "Gauss", "Grav"};
constexpr std::array<const char*, 3> kPLBItems = {"None", "High-Cyclic Controlled Bursts (RoF 6+)",
                                                  "Preloaded Barrels (RoF 2+)"};
constexpr std::array<const char*, 2> kGaussHCCBItems = {"Standard", "Enhanced"};
constexpr std::array<const char*, 5> kMuzzleItems = {
    "None", "Compensator (TL6) (TS76)", "Flash Hider (TL6) (TS76)", "Muzzle Port (TL7) (TS77)",
    "Zero-G Compensator (TL9) (P55-7)"};
constexpr std::array<const char*, 7> kCamouflageItems = {
    "None",
    "Weapon Camouflage (TL6) (TS76)",
    "Programmable Camouflage (TL9) (UT99)",
    "Thermo-Optic Chameleon Surface (TL9) (UT98)",
    "Multispectral Chameleon Surface (TL10) (UT99)",
    "Dynamic Multispectral Chameleon Surface (TL11) (UT99)",
    "Ultimate Chameleon Surface (TL12) (UT99)"};
constexpr std::array<const char*, 4> kStylingItems = {"None", "+1", "+2", "+3"};
constexpr std::array<const char*, 4> kQualityAccurateItems = {
    "Normal", "Fine (only if base Acc 2+)", "Very Fine (only if base Acc 4+)", "Cheap"};
constexpr std::array<const char*, 4> kQualityReliableItems = {"Normal", "Fine", "Very Fine",
                                                              "Cheap"};
constexpr std::array<const char*, 3> kTargetingItems = {"None", "+1 (Complexity 3)",
                                                        "+2 (Complexity 4)"};

using Rule = void (FormModel::*)();

FieldInfo Text(const char* name, const char* label, const char* caption,
               std::string DesignInput::*member, TextControl FormState::*control, Rule rule,
               bool enabled) {
  FieldInfo f{name, FieldKind::Text, caption};
  f.text = member;
  f.textControl = control;
  f.label = label;
  f.rule = rule;
  f.startEnabled = enabled;
  return f;
}
FieldInfo Group(const char* name, const char* caption, int DesignInput::*member,
                std::span<const char* const> items, GroupControl FormState::*control, Rule rule,
                bool enabled) {
  FieldInfo f{name, FieldKind::Group, caption};
  f.group = member;
  f.items = items;
  f.groupControl = control;
  f.rule = rule;
  f.startEnabled = enabled;
  return f;
}
FieldInfo Check(const char* name, const char* caption, bool DesignInput::*member,
                CheckControl FormState::*control, Rule rule, bool enabled) {
  FieldInfo f{name, FieldKind::Check, caption};
  f.check = member;
  f.checkControl = control;
  f.rule = rule;
  f.startEnabled = enabled;
  return f;
}
// A check box of the form that the design run does not read.
FieldInfo FormCheck(const char* name, const char* caption, CheckControl FormState::*control,
                    bool enabled) {
  FieldInfo f{name, FieldKind::Check, caption};
  f.checkControl = control;
  f.startEnabled = enabled;
  return f;
}

using D = DesignInput;
using F = FormState;

// The design fields first, in the order of the design object's keys.
const std::array<FieldInfo, 71> kFields = {
    Text("NameEdit", "Label7", "Weapon Name", &D::NameEdit, &F::NameEdit, nullptr, true),
    Text("TLEdit", "Label6", "TL", &D::TLEdit, &F::TLEdit, &FormModel::TLEditChange, true),
    Text("BoreSizeEdit", "Label3", "Bore Size, mm", &D::BoreSizeEdit, &F::BoreSizeEdit,
         &FormModel::BoreSizeEditChange, true),
    Text("PowerModEdit", "Label10", "PowerMod", &D::PowerModEdit, &F::PowerModEdit,
         &FormModel::TLEditChange, true),
    Text("BarrelsEdit", "BarrelsLabel", "Barrels", &D::BarrelsEdit, &F::BarrelsEdit,
         &FormModel::BarrelsEditChange, false),
    Text("ChambersEdit", "ChambersLabel", "Chambers", &D::ChambersEdit, &F::ChambersEdit, nullptr,
         false),
    Text("RoFEdit", "RoFLabel", "RoF", &D::RoFEdit, &F::RoFEdit, nullptr, false),
    Text("ShotsEdit", "ShotsLabel", "Shots", &D::ShotsEdit, &F::ShotsEdit, nullptr, true),
    Text("ArbWeight", "Label8", "Arbitrary Extra Weight", &D::ArbWeight, &F::ArbWeight,
         &FormModel::BarrelsEditChange, true),
    Text("ArbCF", "Label9", "Arbitrary Extra CF", &D::ArbCF, &F::ArbCF,
         &FormModel::BarrelsEditChange, true),
    Group("ConfigurationBox", "Configuration", &D::ConfigurationBox, kConfigurationItems,
          &F::ConfigurationBox, &FormModel::ConfigurationBoxClick, true),
    Group("BarrelBox", "Barrel Length", &D::BarrelBox, kBarrelItems, &F::BarrelBox, nullptr, true),
    Group("LoadingMechanismBox", "Loading Mechanism", &D::LoadingMechanismBox, kMechanismItems,
          &F::LoadingMechanismBox, &FormModel::LoadingMechanismBoxClick, true),
    Group("PropellantBox", "Propellant", &D::PropellantBox, kPropellantItems, &F::PropellantBox,
          &FormModel::PropellantBoxClick, true),
    Group("PLBBox", "Caseless Mods", &D::PLBBox, kPLBItems, &F::PLBBox, nullptr, true),
    Group("GaussHCCBBox", "Gauss HCCB", &D::GaussHCCBBox, kGaussHCCBItems, &F::GaussHCCBBox,
          nullptr, false),
    Group("MuzzleBox", "Muzzle Attachment", &D::MuzzleBox, kMuzzleItems, &F::MuzzleBox, nullptr,
          true),
    Group("CamouflageBox", "Camouflage", &D::CamouflageBox, kCamouflageItems, &F::CamouflageBox,
          nullptr, true),
    Group("StylingBox", "Styling", &D::StylingBox, kStylingItems, &F::StylingBox, nullptr, true),
    Group("QualityAccurate", "Quality (Accurate)", &D::QualityAccurate, kQualityAccurateItems,
          &F::QualityAccurate, &FormModel::QualityAccurateClick, true),
    Group("QualityReliable", "Quality (Reliable)", &D::QualityReliable, kQualityReliableItems,
          &F::QualityReliable, &FormModel::QualityReliableClick, true),
    Group("TargetingSoftware", "Targeting Software", &D::TargetingSoftware, kTargetingItems,
          &F::TargetingSoftware, nullptr, false),
    Check("RecoillessCheckBox", "Recoilless", &D::RecoillessCheckBox, &F::RecoillessCheckBox,
          &FormModel::RecoillessCheckBoxClick, true),
    Check("ColdCountermassBox", "Cold Counter-Mass", &D::ColdCountermassBox, &F::ColdCountermassBox,
          nullptr, false),
    Check("ShotgunBox", "Shotgun", &D::ShotgunBox, &F::ShotgunBox, nullptr, true),
    Check("ExtraLowBox", "Extra-Low-Powered", &D::ExtraLowBox, &F::ExtraLowBox,
          &FormModel::ExtraLowBoxClick, true),
    Check("BipodBox", "Bipod", &D::BipodBox, &F::BipodBox, nullptr, false),
    Check("ElectricBox", "Electric Autoloader/Automatic", &D::ElectricBox, &F::ElectricBox, nullptr,
          false),
    Check("ClosedBoltBox", "Closed-Bolt", &D::ClosedBoltBox, &F::ClosedBoltBox, nullptr, true),
    Check("CaselessBox", "Caseless", &D::CaselessBox, &F::CaselessBox, &FormModel::CaselessBoxClick,
          true),
    Check("HouseETCBox", "Houseruled ETC and ETK", &D::HouseETCBox, &F::HouseETCBox, nullptr, true),
    Check("HouseGauss", "Houseruled Gauss", &D::HouseGauss, &F::HouseGauss, nullptr, true),
    Check("HouseDRBox", "Houseruled DR and HT", &D::HouseDRBox, &F::HouseDRBox, nullptr, true),
    Check("KYOSBox", "Knowing Your Own Strength ST", &D::KYOSBox, &F::KYOSBox, nullptr, true),
    Check("PaperBox", "Uses Paper Cells (P#12)", &D::PaperBox, &F::PaperBox, nullptr, true),
    Check("HUDLinkBox", "HUD Link (TL9) (UT149)", &D::HUDLinkBox, &F::HUDLinkBox,
          &FormModel::HUDLinkBoxClick, true),
    Check("DataChip", "Datachip (TL9) (UT51)", &D::DataChip, &F::DataChip, nullptr, true),
    Check("GreenEyes", "\"Green eyes\" effect", &D::GreenEyes, &F::GreenEyes, nullptr, true),
    Check("HUDCable", "Cable connection", &D::HUDCable, &F::HUDCable, nullptr, true),
    Check("MicroRadio", "Micro radio communicator (UT44)", &D::MicroRadio, &F::MicroRadio, nullptr,
          true),
    Check("SecureEncryption", "Secure encryption (UT47)", &D::SecureEncryption,
          &F::SecureEncryption, nullptr, true),
    Check("TinyComputer", "Tiny Computer (UT22)", &D::TinyComputer, &F::TinyComputer,
          &FormModel::TinyComputerClick, true),
    Check("MultispectralLaserSightBox", "Multispectral Laser Sight (TL9) (UT149)",
          &D::MultispectralLaserSightBox, &F::MultispectralLaserSightBox, nullptr, true),
    Check("CTSBox", "Compact Targeting Scope (TL9) (UT149)", &D::CTSBox, &F::CTSBox, nullptr, true),
    Check("ETSBox", "Enhanced Targeting Scope (TL9) (UT149)", &D::ETSBox, &F::ETSBox, nullptr,
          true),
    Check("TransponderRingBox", "Transponder Ring (TL9) (UT150)", &D::TransponderRingBox,
          &F::TransponderRingBox, nullptr, true),
    Check("RecognitionGripBox", "Recognition Grip (TL9) (UT150)", &D::RecognitionGripBox,
          &F::RecognitionGripBox, &FormModel::RecognitionGripBoxClick, true),
    Check("RGPalm", "Requires palm print", &D::RGPalm, &F::RGPalm, nullptr, true),
    Check("RGVoice", "Requires voice print", &D::RGVoice, &F::RGVoice, nullptr, true),
    Check("RGGlove", "Works through gloves", &D::RGGlove, &F::RGGlove, nullptr, true),
    Check("RGGPS", "Requires GPS input", &D::RGGPS, &F::RGGPS, nullptr, true),
    Check("RGIFF", "Does not work without IFF", &D::RGIFF, &F::RGIFF, nullptr, true),
    Check("SDATBox", "Self-Destruct Anti-Theft (TL10^) (UT150)", &D::SDATBox, &F::SDATBox, nullptr,
          true),
    Check("DiagnosticComputerBox", "Diagnostic Computer (TL9) (UT151)", &D::DiagnosticComputerBox,
          &F::DiagnosticComputerBox, &FormModel::DiagnosticComputerBoxClick, true),
    Check("AntiTamper", "Anti-tampering protection", &D::AntiTamper, &F::AntiTamper, nullptr, true),
    Check("DTagBox", "D-Tag (TL9) (UT151)", &D::DTagBox, &F::DTagBox, nullptr, true),
    Check("IFFBox", "IFF Interrogator (TL9) (UT151)", &D::IFFBox, &F::IFFBox, nullptr, true),
    Check("IronSightsBox", "Iron Sights", &D::IronSightsBox, &F::IronSightsBox, nullptr, true),
    Check("AccRailU", "Under barrel", &D::AccRailU, &F::AccRailU, nullptr, true),
    Check("AccRailO", "Over barrel", &D::AccRailO, &F::AccRailO, nullptr, true),
    Check("AccRailS", "Side of stock", &D::AccRailS, &F::AccRailS, nullptr, true),
    Check("AccRailT", "Top of stock", &D::AccRailT, &F::AccRailT, nullptr, true),
    Check("GravCompBox", "Gravitic Compensator (TL11^) (UT152)", &D::GravCompBox, &F::GravCompBox,
          nullptr, true),
    Check("SmartgripBox", "Smartgrip (TL10) (UT152)", &D::SmartgripBox, &F::SmartgripBox, nullptr,
          true),
    Check("MuzzleWeightBox", "Muzzle Weight (TL7) (TS76)", &D::MuzzleWeightBox, &F::MuzzleWeightBox,
          nullptr, true),
    Check("SpaceProof", "Space-Proof (TL9) (P55-7)", &D::SpaceProof, &F::SpaceProof, nullptr, true),
    Check("FoldingStockBox", "Folding Stock (TL7) (HT160)", &D::FoldingStockBox,
          &F::FoldingStockBox, nullptr, true),
    Check("DisguisedBox", "Disguised (UT15)", &D::DisguisedBox, &F::DisguisedBox, nullptr, true),
    Check("RuggedBox", "Rugged (UT15)", &D::RuggedBox, &F::RuggedBox, nullptr, true),
    FormCheck("GunLauncherCheckBox", "Gun/Launcher", &F::GunLauncherCheckBox, false),
    FormCheck("OnlyAuto", "Only automatic", &F::OnlyAuto, true),
};
constexpr std::size_t kDesignFieldCount = 69;

}  // namespace

std::span<const FieldInfo> DesignFields() {
  return std::span<const FieldInfo>(kFields).first(kDesignFieldCount);
}

std::span<const FieldInfo> FormFields() {
  return kFields;
}

const FieldInfo* FindField(std::string_view name) {
  for (const FieldInfo& f : DesignFields()) {
    if (name == f.name) return &f;
  }
  return nullptr;
}

const FieldInfo* FindFormField(std::string_view name) {
  for (const FieldInfo& f : kFields) {
    if (name == f.name) return &f;
  }
  return nullptr;
}

int ItemIndex(const FieldInfo& field, std::string_view caption) {
  for (std::size_t i = 0; i < field.items.size(); ++i) {
    if (caption == field.items[i]) return static_cast<int>(i);
  }
  return -1;
}

FormState::FormState() {
  const DesignInput start;
  for (const FieldInfo& f : kFields) {
    switch (f.kind) {
      case FieldKind::Text:
        (this->*f.textControl).text = start.*f.text;
        (this->*f.textControl).enabled = f.startEnabled;
        break;
      case FieldKind::Group:
        (this->*f.groupControl).index = start.*f.group;
        (this->*f.groupControl).enabled = f.startEnabled;
        break;
      case FieldKind::Check:
        if (f.check) (this->*f.checkControl).checked = start.*f.check;
        (this->*f.checkControl).enabled = f.startEnabled;
        break;
    }
  }
}

DesignInput FormState::Input() const {
  DesignInput in;
  for (const FieldInfo& f : DesignFields()) {
    switch (f.kind) {
      case FieldKind::Text:
        in.*f.text = (this->*f.textControl).text;
        break;
      case FieldKind::Group:
        in.*f.group = (this->*f.groupControl).index;
        break;
      case FieldKind::Check:
        in.*f.check = (this->*f.checkControl).checked;
        break;
    }
  }
  return in;
}

}  // namespace brennick
