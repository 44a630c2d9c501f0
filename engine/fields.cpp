#include "fields.h"

#include <array>

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

FieldInfo Text(const char* name, std::string DesignInput::*member) {
  return FieldInfo{name, FieldKind::Text, "", member, nullptr, nullptr, {}};
}
FieldInfo Group(const char* name, const char* caption, int DesignInput::*member,
                std::span<const char* const> items) {
  return FieldInfo{name, FieldKind::Group, caption, nullptr, member, nullptr, items};
}
FieldInfo Check(const char* name, const char* caption, bool DesignInput::*member) {
  return FieldInfo{name, FieldKind::Check, caption, nullptr, nullptr, member, {}};
}

using D = DesignInput;

const std::array<FieldInfo, 69> kFields = {
    Text("NameEdit", &D::NameEdit),
    Text("TLEdit", &D::TLEdit),
    Text("BoreSizeEdit", &D::BoreSizeEdit),
    Text("PowerModEdit", &D::PowerModEdit),
    Text("BarrelsEdit", &D::BarrelsEdit),
    Text("ChambersEdit", &D::ChambersEdit),
    Text("RoFEdit", &D::RoFEdit),
    Text("ShotsEdit", &D::ShotsEdit),
    Text("ArbWeight", &D::ArbWeight),
    Text("ArbCF", &D::ArbCF),
    Group("ConfigurationBox", "Configuration", &D::ConfigurationBox, kConfigurationItems),
    Group("BarrelBox", "Barrel Length", &D::BarrelBox, kBarrelItems),
    Group("LoadingMechanismBox", "Loading Mechanism", &D::LoadingMechanismBox, kMechanismItems),
    Group("PropellantBox", "Propellant", &D::PropellantBox, kPropellantItems),
    Group("PLBBox", "Caseless Mods", &D::PLBBox, kPLBItems),
    Group("GaussHCCBBox", "Gauss HCCB", &D::GaussHCCBBox, kGaussHCCBItems),
    Group("MuzzleBox", "Muzzle Attachment", &D::MuzzleBox, kMuzzleItems),
    Group("CamouflageBox", "Camouflage", &D::CamouflageBox, kCamouflageItems),
    Group("StylingBox", "Styling", &D::StylingBox, kStylingItems),
    Group("QualityAccurate", "Quality (Accurate)", &D::QualityAccurate, kQualityAccurateItems),
    Group("QualityReliable", "Quality (Reliable)", &D::QualityReliable, kQualityReliableItems),
    Group("TargetingSoftware", "Targeting Software", &D::TargetingSoftware, kTargetingItems),
    Check("RecoillessCheckBox", "Recoilless", &D::RecoillessCheckBox),
    Check("ColdCountermassBox", "Cold Counter-Mass", &D::ColdCountermassBox),
    Check("ShotgunBox", "Shotgun", &D::ShotgunBox),
    Check("ExtraLowBox", "Extra-Low-Powered", &D::ExtraLowBox),
    Check("BipodBox", "Bipod", &D::BipodBox),
    Check("ElectricBox", "Electric Autoloader/Automatic", &D::ElectricBox),
    Check("ClosedBoltBox", "Closed-Bolt", &D::ClosedBoltBox),
    Check("CaselessBox", "Caseless", &D::CaselessBox),
    Check("HouseETCBox", "Houseruled ETC and ETK", &D::HouseETCBox),
    Check("HouseGauss", "Houseruled Gauss", &D::HouseGauss),
    Check("HouseDRBox", "Houseruled DR and HT", &D::HouseDRBox),
    Check("KYOSBox", "Knowing Your Own Strength ST", &D::KYOSBox),
    Check("PaperBox", "Uses Paper Cells (P#12)", &D::PaperBox),
    Check("HUDLinkBox", "HUD Link (TL9) (UT149)", &D::HUDLinkBox),
    Check("DataChip", "Datachip (TL9) (UT51)", &D::DataChip),
    Check("GreenEyes", "\"Green eyes\" effect", &D::GreenEyes),
    Check("HUDCable", "Cable connection", &D::HUDCable),
    Check("MicroRadio", "Micro radio communicator (UT44)", &D::MicroRadio),
    Check("SecureEncryption", "Secure encryption (UT47)", &D::SecureEncryption),
    Check("TinyComputer", "Tiny Computer (UT22)", &D::TinyComputer),
    Check("MultispectralLaserSightBox", "Multispectral Laser Sight (TL9) (UT149)",
          &D::MultispectralLaserSightBox),
    Check("CTSBox", "Compact Targeting Scope (TL9) (UT149)", &D::CTSBox),
    Check("ETSBox", "Enhanced Targeting Scope (TL9) (UT149)", &D::ETSBox),
    Check("TransponderRingBox", "Transponder Ring (TL9) (UT150)", &D::TransponderRingBox),
    Check("RecognitionGripBox", "Recognition Grip (TL9) (UT150)", &D::RecognitionGripBox),
    Check("RGPalm", "Requires palm print", &D::RGPalm),
    Check("RGVoice", "Requires voice print", &D::RGVoice),
    Check("RGGlove", "Works through gloves", &D::RGGlove),
    Check("RGGPS", "Requires GPS input", &D::RGGPS),
    Check("RGIFF", "Does not work without IFF", &D::RGIFF),
    Check("SDATBox", "Self-Destruct Anti-Theft (TL10^) (UT150)", &D::SDATBox),
    Check("DiagnosticComputerBox", "Diagnostic Computer (TL9) (UT151)", &D::DiagnosticComputerBox),
    Check("AntiTamper", "Anti-tampering protection", &D::AntiTamper),
    Check("DTagBox", "D-Tag (TL9) (UT151)", &D::DTagBox),
    Check("IFFBox", "IFF Interrogator (TL9) (UT151)", &D::IFFBox),
    Check("IronSightsBox", "Iron Sights", &D::IronSightsBox),
    Check("AccRailU", "Under barrel", &D::AccRailU),
    Check("AccRailO", "Over barrel", &D::AccRailO),
    Check("AccRailS", "Side of stock", &D::AccRailS),
    Check("AccRailT", "Top of stock", &D::AccRailT),
    Check("GravCompBox", "Gravitic Compensator (TL11^) (UT152)", &D::GravCompBox),
    Check("SmartgripBox", "Smartgrip (TL10) (UT152)", &D::SmartgripBox),
    Check("MuzzleWeightBox", "Muzzle Weight (TL7) (TS76)", &D::MuzzleWeightBox),
    Check("SpaceProof", "Space-Proof (TL9) (P55-7)", &D::SpaceProof),
    Check("FoldingStockBox", "Folding Stock (TL7) (HT160)", &D::FoldingStockBox),
    Check("DisguisedBox", "Disguised (UT15)", &D::DisguisedBox),
    Check("RuggedBox", "Rugged (UT15)", &D::RuggedBox),
};

}  // namespace

std::span<const FieldInfo> DesignFields() {
  return kFields;
}

const FieldInfo* FindField(std::string_view name) {
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

}  // namespace brennick
