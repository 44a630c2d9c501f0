#include "form/fields.h"

#include <array>

#include "form/form_model.h"

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
               bool enabled, const char* tooltip) {
  FieldInfo f{name, FieldKind::Text, caption};
  f.text = member;
  f.textControl = control;
  f.label = label;
  f.rule = rule;
  f.startEnabled = enabled;
  f.tooltip = tooltip;
  return f;
}
FieldInfo Group(const char* name, const char* caption, int DesignInput::*member,
                std::span<const char* const> items, GroupControl FormState::*control, Rule rule,
                bool enabled, const char* tooltip) {
  FieldInfo f{name, FieldKind::Group, caption};
  f.group = member;
  f.items = items;
  f.groupControl = control;
  f.rule = rule;
  f.startEnabled = enabled;
  f.tooltip = tooltip;
  return f;
}
FieldInfo Check(const char* name, const char* caption, bool DesignInput::*member,
                CheckControl FormState::*control, Rule rule, bool enabled, const char* tooltip) {
  FieldInfo f{name, FieldKind::Check, caption};
  f.check = member;
  f.checkControl = control;
  f.rule = rule;
  f.startEnabled = enabled;
  f.tooltip = tooltip;
  return f;
}
// A check box of the form that the design run does not read.
FieldInfo FormCheck(const char* name, const char* caption, CheckControl FormState::*control,
                    bool enabled, const char* tooltip) {
  FieldInfo f{name, FieldKind::Check, caption};
  f.checkControl = control;
  f.startEnabled = enabled;
  f.tooltip = tooltip;
  return f;
}

using D = DesignInput;
using F = FormState;

// The design fields first, in the order of the design object's keys. Each row
// ends with the control's tooltip, written in the player's words: what the
// control changes in the statblock and which controls its rule opens, closes
// or resets.
const std::array<FieldInfo, 71> kFields = {
    Text("NameEdit", "Label7", "Weapon Name", &D::NameEdit, &F::NameEdit, nullptr, true,
         "The weapon's name, copied as typed into the statblock's title line ahead of the TL. It "
         "changes no figure."),
    Text("TLEdit", "Label6", "TL", &D::TLEdit, &F::TLEdit, &FormModel::TLEditChange, true,
         "Tech level, a whole number from 0 to 12: it sets damage, range, weight, Malf and reload "
         "times and is copied into the title and the ammunition designation. With Revolver (TL5) "
         "selected, changing it sets RoF to 3 from TL 6 up and to 1 below."),
    Text("BoreSizeEdit", "Label3", "Bore Size, mm", &D::BoreSizeEdit, &F::BoreSizeEdit,
         &FormModel::BoreSizeEditChange, true,
         "Bore in millimetres: damage and range grow with it, the gun's own weight and its "
         "ammunition with its square, and it picks pi-, pi, pi+ or pi++, the legality class and "
         "the start of the designation. Changing it updates the Max RoF hint."),
    Text("PowerModEdit", "Label10", "PowerMod", &D::PowerModEdit, &F::PowerModEdit,
         &FormModel::TLEditChange, true,
         "Power modifier, 1 for a normal load: damage, half-damage range and the gun's own weight "
         "all scale with it."),
    Text("BarrelsEdit", "BarrelsLabel", "Barrels", &D::BarrelsEdit, &F::BarrelsEdit,
         &FormModel::BarrelsEditChange, false,
         "Number of barrels, open only for the muzzleloaders, the breechloader and the Electric "
         "Gatling; more barrels weigh more. A muzzleloader or breechloader shows it as its RoF and "
         "Shots, and with the Electric Gatling it raises the Max RoF hint."),
    Text("ChambersEdit", "ChambersLabel", "Chambers", &D::ChambersEdit, &F::ChambersEdit, nullptr,
         false,
         "Number of chambers, open only with Revolver (TL5): it is the revolver's Shots figure, "
         "and each chamber adds to the gun's weight."),
    Text("RoFEdit", "RoFLabel", "RoF", &D::RoFEdit, &F::RoFEdit, nullptr, false,
         "Rate of fire, open for the Light and Heavy Automatic and the Electric Gatling and filled "
         "in by the form otherwise (15 for the Mechanical Gatling, 3 or 1 by TL for the Revolver, "
         "else 1). A RoF above 3 raises the cost; bursts are shown with the burst options."),
    Text("ShotsEdit", "ShotsLabel", "Shots", &D::ShotsEdit, &F::ShotsEdit, nullptr, true,
         "Shots in a full load: shown on the Shots line, and each shot's ammunition adds to the "
         "loaded weight. Closed for the muzzleloaders, the breechloader and the Revolver, whose "
         "shots come from the barrels or chambers."),
    Text("ArbWeight", "Label8", "Arbitrary Extra Weight", &D::ArbWeight, &F::ArbWeight,
         &FormModel::BarrelsEditChange, true,
         "Extra weight in pounds added to the empty weight, so it also counts in the loaded weight "
         "and all that follows from it (ST, Bulk, cost, HP); it may be negative."),
    Text("ArbCF", "Label9", "Arbitrary Extra CF", &D::ArbCF, &F::ArbCF,
         &FormModel::BarrelsEditChange, true,
         "Extra cost factor, added to the factor that multiplies the weapon's base cost (the whole "
         "factor never drops below 0.2); it may be negative."),
    Group("ConfigurationBox", "Configuration", &D::ConfigurationBox, kConfigurationItems,
          &F::ConfigurationBox, &FormModel::ConfigurationBoxClick, true,
          "The kind of weapon: it picks the tables for damage, range, Acc, weight, ST, Bulk, "
          "recoil and cost. Rifle, Support and Cannon enable Bipod and uncheck and disable "
          "Recoilless; Pistol and SMG enable Recoilless and disable Bipod."),
    Group("BarrelBox", "Barrel Length", &D::BarrelBox, kBarrelItems, &F::BarrelBox, nullptr, true,
          "Longer barrels give more damage and range but more weight and Bulk; Short costs 1 Acc "
          "and Long adds 1. The ammunition designation gets S, M or L."),
    Group("LoadingMechanismBox", "Loading Mechanism", &D::LoadingMechanismBox, kMechanismItems,
          &F::LoadingMechanismBox, &FormModel::LoadingMechanismBoxClick, true,
          "Sets the RoF and Shots lines and part of the weight; the three TL3 mechanisms halve "
          "damage and half-damage range. It opens only the fields you may set for it (Barrels, "
          "Chambers, RoF, Shots) and enables Electric Autoloader/Automatic for the autoloaders and "
          "the Light and Heavy Automatic."),
    Group("PropellantBox", "Propellant", &D::PropellantBox, kPropellantItems, &F::PropellantBox,
          &FormModel::PropellantBoxClick, true,
          "Changes nearly every figure; Liquid Propellant and Gauss add boosted and low velocity "
          "lines. A change unchecks Recoilless, Cold Counter-Mass, Caseless and Closed-Bolt; Gauss "
          "and Grav also disable them and Caseless Mods and enable Gauss HCCB, and Gauss checks "
          "Electric Autoloader/Automatic."),
    Group("PLBBox", "Caseless Mods", &D::PLBBox, kPLBItems, &F::PLBBox, nullptr, true,
          "High-Cyclic Controlled Bursts (cost factor +0.5) or Preloaded Barrels (+1): an "
          "automatic's RoF line shows bursts of a third or a half of the RoF, and Preloaded "
          "Barrels lowers Malf by 1 below TL 10. Unchecking Caseless disables and clears this "
          "group; checking it enables it."),
    Group("GaussHCCBBox", "Gauss HCCB", &D::GaussHCCBBox, kGaussHCCBItems, &F::GaussHCCBBox,
          nullptr, false,
          "Bursts of a Gauss automatic: Standard shows bursts of a third of the RoF from RoF 6, "
          "Enhanced bursts of half from RoF 4 and adds 0.5 to the cost factor. Enabled by choosing "
          "Gauss or Grav."),
    Group("MuzzleBox", "Muzzle Attachment", &D::MuzzleBox, kMuzzleItems, &F::MuzzleBox, nullptr,
          true,
          "Compensator: ST -1, $175 and 0.1 to 0.35 lb; Flash Hider: $25 and 0.1 lb; Muzzle Port: "
          "0.25 dice less damage and $100; Zero-G Compensator: $250 and 0.5 lb. The attachment is "
          "listed among the features."),
    Group("CamouflageBox", "Camouflage", &D::CamouflageBox, kCamouflageItems, &F::CamouflageBox,
          nullptr, true,
          "Adds its cost, from $10 for Weapon Camouflage to $2,500 for the Ultimate Chameleon "
          "Surface, and a feature line; Programmable Camouflage weighs 0.5 lb and the chameleon "
          "surfaces 1 lb."),
    Group("StylingBox", "Styling", &D::StylingBox, kStylingItems, &F::StylingBox, nullptr, true,
          "Styling +1, +2 or +3 adds 1, 4 or 9 to the cost factor and a line granting that bonus "
          "to reactions from collectors and buyers and to Merchant rolls made as Influence rolls."),
    Group("QualityAccurate", "Quality (Accurate)", &D::QualityAccurate, kQualityAccurateItems,
          &F::QualityAccurate, &FormModel::QualityAccurateClick, true,
          "Fine adds 1 to Acc (cost factor +0.75), Very Fine adds 2 (+3.75); Cheap lowers Acc and "
          "Malf by 1 (cost factor -0.6). Choosing Cheap sets Quality (Reliable) to Normal and "
          "disables it; any other choice enables it."),
    Group("QualityReliable", "Quality (Reliable)", &D::QualityReliable, kQualityReliableItems,
          &F::QualityReliable, &FormModel::QualityReliableClick, true,
          "Fine raises Malf by 1 (cost factor +0.25), Very Fine by 2 (+1.25); Cheap lowers Malf "
          "and Acc by 1 (cost factor -0.6). Choosing Cheap sets Quality (Accurate) to Normal and "
          "disables it; any other choice enables it."),
    Group("TargetingSoftware", "Targeting Software", &D::TargetingSoftware, kTargetingItems,
          &F::TargetingSoftware, nullptr, false,
          "Software run by the tiny computer and listed under it: $500 (+1) or $1,500 (+2) up to "
          "TL 9, a tenth of that at TL 10 and less beyond. Enabled only while Tiny Computer (UT22) "
          "is checked."),
    Check("RecoillessCheckBox", "Recoilless", &D::RecoillessCheckBox, &F::RecoillessCheckBox,
          &FormModel::RecoillessCheckBoxClick, true,
          "Recoil drops to 1 and the gun weighs 30% less, but its ammunition weighs 50% more, the "
          "cost factor rises by 0.5, a backblast note is added and the designation gets RL. "
          "Checking it enables Cold Counter-Mass; unchecking disables it."),
    Check("ColdCountermassBox", "Cold Counter-Mass", &D::ColdCountermassBox, &F::ColdCountermassBox,
          nullptr, false,
          "Makes a recoilless gun's backblast harmless; its ammunition costs 50% more per shot and "
          "is designated RL-C, and the cost factor rises by 0.2. Enabled only while Recoilless is "
          "checked."),
    Check("ShotgunBox", "Shotgun", &D::ShotgunBox, &F::ShotgunBox, nullptr, true,
          "Half-damage range falls to a fifth (a tenth with Gauss or Grav) and Max range becomes "
          "five times that; recoil rises, damage drops 5% except on a Pistol, and the gun's own "
          "weight falls to a quarter."),
    Check("ExtraLowBox", "Extra-Low-Powered", &D::ExtraLowBox, &F::ExtraLowBox,
          &FormModel::ExtraLowBoxClick, true,
          "Halves damage and half-damage range, cuts the gun's own weight to 35% and halves a "
          "Pistol's base cost. Checking it enables Recoilless unless the propellant is Gauss or "
          "Grav; unchecking it disables Recoilless on a Rifle, Support or Cannon."),
    Check("BipodBox", "Bipod", &D::BipodBox, &F::BipodBox, nullptr, false,
          "Adds the ST needed when firing from a bipod, two thirds of the ST and marked B, to the "
          "ST lines of a Rifle or Support weapon; a Cannon's ST is unchanged. Enabled only for "
          "Rifle, Support and Cannon."),
    Check("ElectricBox", "Electric Autoloader/Automatic", &D::ElectricBox, &F::ElectricBox, nullptr,
          false,
          "An electrically driven action: Malf rises by 1 and the cost factor by 0.5 (a Gatling "
          "pays this already). Enabled for the autoloaders and the Light and Heavy Automatic; "
          "Gauss checks and disables it."),
    Check("ClosedBoltBox", "Closed-Bolt", &D::ClosedBoltBox, &F::ClosedBoltBox, nullptr, true,
          "One more round in the chamber: the loaded weight counts it, and the Shots line shows +1 "
          "for the Manual Repeater, the Mechanical Gatling and the automatics. Any change of "
          "propellant unchecks it, and Gauss and Grav disable it."),
    Check("CaselessBox", "Caseless", &D::CaselessBox, &F::CaselessBox, &FormModel::CaselessBoxClick,
          true,
          "Rounds without cases: their weight per shot drops (cased rounds weigh 30% more) but "
          "each costs about three times as much, Malf rises by 1 and the designation gets CL. "
          "Checking it enables Caseless Mods; unchecking clears and disables them."),
    Check("HouseETCBox", "Houseruled ETC and ETK", &D::HouseETCBox, &F::HouseETCBox, nullptr, true,
          "House rule: ETC multiplies damage and half-damage range by 1.25 instead of 1.5 and adds "
          "0.5 instead of 1 to the cost factor; ETK multiplies them by 1.5 instead of 2 and uses "
          "the ETC cells, ammunition weight and cost per shot."),
    Check("HouseGauss", "Houseruled Gauss", &D::HouseGauss, &F::HouseGauss, nullptr, true,
          "House rule for Gauss: damage is multiplied by 1.25, the Damage lines lose the (3), and "
          "a bore of 4 mm or more does at least pi."),
    Check("HouseDRBox", "Houseruled DR and HT", &D::HouseDRBox, &F::HouseDRBox, nullptr, true,
          "House rule: HT and DR follow the TL (HT 10 and DR 6 up to TL 9, rising to HT 12 and DR "
          "20 at TL 12) instead of HT 10 and DR 4 at every TL."),
    Check("KYOSBox", "Knowing Your Own Strength ST", &D::KYOSBox, &F::KYOSBox, nullptr, true,
          "Adds a KYOS ST line: the minimum ST converted to the Knowing Your Own Strength scale."),
    Check("PaperBox", "Uses Paper Cells (P#12)", &D::PaperBox, &F::PaperBox, nullptr, true,
          "Every power cell becomes a paper cell: a tenth of the weight, named as a paper cell in "
          "the notes, and the D and E cells take longer to reload."),
    Check("HUDLinkBox", "HUD Link (TL9) (UT149)", &D::HUDLinkBox, &F::HUDLinkBox,
          &FormModel::HUDLinkBoxClick, true,
          "Adds $250 and the HUD Link line with its chosen features listed under it. Unchecking it "
          "unchecks and disables the six HUD Link Features and sets Targeting Software to None; "
          "checking it enables the six again."),
    Check("DataChip", "Datachip (TL9) (UT51)", &D::DataChip, &F::DataChip, nullptr, true,
          "Records muzzle footage: +$1, 0.01 lb and a line under the HUD link. Enabled only while "
          "HUD Link is checked."),
    Check("GreenEyes", "\"Green eyes\" effect", &D::GreenEyes, &F::GreenEyes, nullptr, true,
          "The link's green-eyes backglow in non-enclosed helmets: $10 less and a line under the "
          "HUD link. Enabled only while HUD Link is checked."),
    Check("HUDCable", "Cable connection", &D::HUDCable, &F::HUDCable, nullptr, true,
          "Connects the HUD link by cable: a line under it, no cost or weight. Enabled only while "
          "HUD Link is checked."),
    Check("MicroRadio", "Micro radio communicator (UT44)", &D::MicroRadio, &F::MicroRadio, nullptr,
          true,
          "Connects the HUD link by radio: +$10 and a line under it. Enabled only while HUD Link "
          "is checked."),
    Check("SecureEncryption", "Secure encryption (UT47)", &D::SecureEncryption,
          &F::SecureEncryption, nullptr, true,
          "Encrypts the HUD link: +$500 and a line under it. Enabled only while HUD Link is "
          "checked."),
    Check("TinyComputer", "Tiny Computer (UT22)", &D::TinyComputer, &F::TinyComputer,
          &FormModel::TinyComputerClick, true,
          "An integral tiny computer: +$50, 0.05 lb and lines under the HUD link with its "
          "Complexity by TL (3 up to TL 9, 7 at TL 12). Checking it enables Targeting Software; "
          "unchecking sets it to None and disables it."),
    Check("MultispectralLaserSightBox", "Multispectral Laser Sight (TL9) (UT149)",
          &D::MultispectralLaserSightBox, &F::MultispectralLaserSightBox, nullptr, true,
          "Lists a Multispectral Laser Sight among the features; it adds no weight or cost."),
    Check("CTSBox", "Compact Targeting Scope (TL9) (UT149)", &D::CTSBox, &F::CTSBox, nullptr, true,
          "Adds a Compact Targeting Scope: 0.5 lb, $1,000 and a feature line."),
    Check("ETSBox", "Enhanced Targeting Scope (TL9) (UT149)", &D::ETSBox, &F::ETSBox, nullptr, true,
          "Adds an Enhanced Targeting Scope: 2 lb, $8,000 and a feature line."),
    Check("TransponderRingBox", "Transponder Ring (TL9) (UT150)", &D::TransponderRingBox,
          &F::TransponderRingBox, nullptr, true,
          "Adds a Transponder Ring: $100 and a feature line."),
    Check("RecognitionGripBox", "Recognition Grip (TL9) (UT150)", &D::RecognitionGripBox,
          &F::RecognitionGripBox, &FormModel::RecognitionGripBoxClick, true,
          "Adds $100 and the Recognition Grip line with its chosen features listed under it. "
          "Unchecking it unchecks and disables the five Recognition Grip Features; checking it "
          "enables them again."),
    Check("RGPalm", "Requires palm print", &D::RGPalm, &F::RGPalm, nullptr, true,
          "The grip requires a palm print: a line under the Recognition Grip, no cost. Enabled "
          "only while Recognition Grip is checked."),
    Check("RGVoice", "Requires voice print", &D::RGVoice, &F::RGVoice, nullptr, true,
          "The grip requires a voice print: a line under the Recognition Grip, no cost. Enabled "
          "only while Recognition Grip is checked."),
    Check("RGGlove", "Works through gloves", &D::RGGlove, &F::RGGlove, nullptr, true,
          "The grip works through gloves: +$50 and a line under the Recognition Grip. Enabled only "
          "while Recognition Grip is checked."),
    Check("RGGPS", "Requires GPS input", &D::RGGPS, &F::RGGPS, nullptr, true,
          "The grip needs GPS input or the HUD link to work: $5 less and a line under the "
          "Recognition Grip. Enabled only while Recognition Grip is checked."),
    Check("RGIFF", "Does not work without IFF", &D::RGIFF, &F::RGIFF, nullptr, true,
          "The grip needs an IFF interrogator to work: $5 less and a line under the Recognition "
          "Grip. Enabled only while Recognition Grip is checked."),
    Check("SDATBox", "Self-Destruct Anti-Theft (TL10^) (UT150)", &D::SDATBox, &F::SDATBox, nullptr,
          true, "Adds Self-Destruct Anti-Theft: $100 and a feature line."),
    Check("DiagnosticComputerBox", "Diagnostic Computer (TL9) (UT151)", &D::DiagnosticComputerBox,
          &F::DiagnosticComputerBox, &FormModel::DiagnosticComputerBoxClick, true,
          "Adds the Diagnostic Computer line, at no cost. Checking it enables Anti-tampering "
          "protection; unchecking it unchecks and disables that option."),
    Check("AntiTamper", "Anti-tampering protection", &D::AntiTamper, &F::AntiTamper, nullptr, true,
          "Only a certified armorer of the maker may maintain the gun: $50 less and a line under "
          "the Diagnostic Computer. Enabled only while Diagnostic Computer is checked."),
    Check("DTagBox", "D-Tag (TL9) (UT151)", &D::DTagBox, &F::DTagBox, nullptr, true,
          "Adds a D-Tag: $20 and a feature line."),
    Check("IFFBox", "IFF Interrogator (TL9) (UT151)", &D::IFFBox, &F::IFFBox, nullptr, true,
          "Adds an IFF Interrogator: $100 and a feature line."),
    Check("IronSightsBox", "Iron Sights", &D::IronSightsBox, &F::IronSightsBox, nullptr, true,
          "Adds 0.1 lb and $50 on a Pistol, 0.2 lb and $100 on an SMG or Rifle, and 0.2 lb at no "
          "cost on Support or Cannon, with a feature line."),
    Check("AccRailU", "Under barrel", &D::AccRailU, &F::AccRailU, nullptr, true,
          "An accessory rail under the barrel: 0.2 lb, $100 and a feature line."),
    Check("AccRailO", "Over barrel", &D::AccRailO, &F::AccRailO, nullptr, true,
          "An accessory rail over the barrel: 0.2 lb, $100 and a feature line."),
    Check("AccRailS", "Side of stock", &D::AccRailS, &F::AccRailS, nullptr, true,
          "An accessory rail on the side of the stock: 0.2 lb, $100 and a feature line."),
    Check("AccRailT", "Top of stock", &D::AccRailT, &F::AccRailT, nullptr, true,
          "An accessory rail on top of the stock: 0.2 lb, $100 and a feature line."),
    Check("GravCompBox", "Gravitic Compensator (TL11^) (UT152)", &D::GravCompBox, &F::GravCompBox,
          nullptr, true,
          "Adds 1 lb for every full 10 lb of the gun's own weight, $100 for every full 10 lb of "
          "its empty weight, and a feature line."),
    Check("SmartgripBox", "Smartgrip (TL10) (UT152)", &D::SmartgripBox, &F::SmartgripBox, nullptr,
          true, "Lowers every ST figure by 1 and adds $500 and a feature line."),
    Check("MuzzleWeightBox", "Muzzle Weight (TL7) (TS76)", &D::MuzzleWeightBox, &F::MuzzleWeightBox,
          nullptr, true, "Adds 0.25 lb, $100 and a feature line, and makes Bulk 1 worse."),
    Check("SpaceProof", "Space-Proof (TL9) (P55-7)", &D::SpaceProof, &F::SpaceProof, nullptr, true,
          "The gun's own weight rises by 20% and the cost factor by 0.2, with a feature line."),
    Check("FoldingStockBox", "Folding Stock (TL7) (HT160)", &D::FoldingStockBox,
          &F::FoldingStockBox, nullptr, true, "Adds 0.5 lb, $100 and a feature line."),
    Check("DisguisedBox", "Disguised (UT15)", &D::DisguisedBox, &F::DisguisedBox, nullptr, true,
          "Adds 4 to the cost factor and a feature line."),
    Check("RuggedBox", "Rugged (UT15)", &D::RuggedBox, &F::RuggedBox, nullptr, true,
          "The gun's own weight rises by 20%, the cost factor by 1 and HT by 2, and DR doubles; a "
          "feature line is added."),
    FormCheck("GunLauncherCheckBox", "Gun/Launcher", &F::GunLauncherCheckBox, false,
              "Marks a gun/launcher; the statblock does not use it. It stays disabled, and only "
              "Randomize changes it."),
    FormCheck("OnlyAuto", "Only automatic", &F::OnlyAuto, true,
              "While checked, Randomize picks only the Light Automatic, the Heavy Automatic or the "
              "Electric Gatling as the loading mechanism. The statblock does not use it."),
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
