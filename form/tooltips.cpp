#include "form/tooltips.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <functional>
#include <string>

#include "form/fields.h"

namespace brennick {
namespace {

// One or two plain sentences for each field of the form, in the player's
// words: what the control changes in the statblock and which controls its rule
// opens, closes or resets. Every field of the field list and every check box
// of the form's own has exactly one (the build checks it), in any order.
constexpr ControlTip kFieldTips[] = {
    {"NameEdit",
     "The weapon's name, copied as typed into the statblock's title line ahead of the TL. It "
     "changes no figure."},
    {"TLEdit",
     "Tech level, a whole number from 0 to 12: it sets damage, range, weight, Malf and reload "
     "times and is copied into the title and the ammunition designation. With Revolver (TL5) "
     "selected, changing it sets RoF to 3 from TL 6 up and to 1 below."},
    {"BoreSizeEdit",
     "Bore in millimetres: damage and range grow with it, the gun's own weight and its "
     "ammunition with its square, and it picks pi-, pi, pi+ or pi++, the legality class and "
     "the start of the designation. Changing it updates the Max RoF hint."},
    {"PowerModEdit",
     "Power modifier, 1 for a normal load: damage, half-damage range and the gun's own weight "
     "all scale with it."},
    {"BarrelsEdit",
     "Number of barrels, open only for the muzzleloaders, the breechloader and the Electric "
     "Gatling; more barrels weigh more. A muzzleloader or breechloader shows it as its RoF and "
     "Shots, and with the Electric Gatling it raises the Max RoF hint."},
    {"ChambersEdit",
     "Number of chambers, open only with Revolver (TL5): it is the revolver's Shots figure, "
     "and each chamber adds to the gun's weight."},
    {"RoFEdit",
     "Rate of fire, open for the Light and Heavy Automatic and the Electric Gatling and filled "
     "in by the form otherwise (15 for the Mechanical Gatling, 3 or 1 by TL for the Revolver, "
     "else 1). A RoF above 3 raises the cost; bursts are shown with the burst options."},
    {"ShotsEdit",
     "Shots in a full load: shown on the Shots line, and each shot's ammunition adds to the "
     "loaded weight. Closed for the muzzleloaders, the breechloader and the Revolver, whose "
     "shots come from the barrels or chambers."},
    {"ArbWeight",
     "Extra weight in pounds added to the empty weight, so it also counts in the loaded weight "
     "and all that follows from it (ST, Bulk, cost, HP); it may be negative."},
    {"ArbCF",
     "Extra cost factor, added to the factor that multiplies the weapon's base cost (the whole "
     "factor never drops below 0.2); it may be negative."},
    {"ConfigurationBox",
     "The kind of weapon: it picks the tables for damage, range, Acc, weight, ST, Bulk, "
     "recoil and cost. Rifle, Support and Cannon enable Bipod and uncheck and disable "
     "Recoilless; Pistol and SMG enable Recoilless and disable Bipod."},
    {"BarrelBox",
     "Longer barrels give more damage and range but more weight and Bulk; Short costs 1 Acc "
     "and Long adds 1. The ammunition designation gets S, M or L."},
    {"LoadingMechanismBox",
     "Sets the RoF and Shots lines and part of the weight; the three TL3 mechanisms halve "
     "damage and half-damage range. It opens only the fields you may set for it (Barrels, "
     "Chambers, RoF, Shots) and enables Electric Autoloader/Automatic for the autoloaders and "
     "the Light and Heavy Automatic."},
    {"PropellantBox",
     "Changes nearly every figure; Liquid Propellant and Gauss add boosted and low velocity "
     "lines. A change unchecks Recoilless, Cold Counter-Mass, Caseless and Closed-Bolt; Gauss "
     "and Grav also disable them and Caseless Mods and enable Gauss HCCB, and Gauss checks "
     "Electric Autoloader/Automatic."},
    {"PLBBox",
     "High-Cyclic Controlled Bursts (cost factor +0.5) or Preloaded Barrels (+1): an "
     "automatic's RoF line shows bursts of a third or a half of the RoF, and Preloaded "
     "Barrels lowers Malf by 1 below TL 10. Unchecking Caseless disables and clears this "
     "group; checking it enables it."},
    {"GaussHCCBBox",
     "Bursts of a Gauss automatic: Standard shows bursts of a third of the RoF from RoF 6, "
     "Enhanced bursts of half from RoF 4 and adds 0.5 to the cost factor. Enabled by choosing "
     "Gauss or Grav."},
    {"MuzzleBox",
     "Compensator: ST -1, $175 and 0.1 to 0.35 lb; Flash Hider: $25 and 0.1 lb; Muzzle Port: "
     "0.25 dice less damage and $100; Zero-G Compensator: $250 and 0.5 lb. The attachment is "
     "listed among the features."},
    {"CamouflageBox",
     "Adds its cost, from $10 for Weapon Camouflage to $2,500 for the Ultimate Chameleon "
     "Surface, and a feature line; Programmable Camouflage weighs 0.5 lb and the chameleon "
     "surfaces 1 lb."},
    {"StylingBox",
     "Styling +1, +2 or +3 adds 1, 4 or 9 to the cost factor and a line granting that bonus "
     "to reactions from collectors and buyers and to Merchant rolls made as Influence rolls."},
    {"QualityAccurate",
     "Fine adds 1 to Acc (cost factor +0.75), Very Fine adds 2 (+3.75); Cheap lowers Acc and "
     "Malf by 1 (cost factor -0.6). Choosing Cheap sets Quality (Reliable) to Normal and "
     "disables it; any other choice enables it."},
    {"QualityReliable",
     "Fine raises Malf by 1 (cost factor +0.25), Very Fine by 2 (+1.25); Cheap lowers Malf "
     "and Acc by 1 (cost factor -0.6). Choosing Cheap sets Quality (Accurate) to Normal and "
     "disables it; any other choice enables it."},
    {"TargetingSoftware",
     "Software run by the tiny computer and listed under it: $500 (+1) or $1,500 (+2) up to "
     "TL 9, a tenth of that at TL 10 and less beyond. Enabled only while Tiny Computer (UT22) "
     "is checked."},
    {"RecoillessCheckBox",
     "Recoil drops to 1 and the gun weighs 30% less, but its ammunition weighs 50% more, the "
     "cost factor rises by 0.5, a backblast note is added and the designation gets RL. "
     "Checking it enables Cold Counter-Mass; unchecking disables it."},
    {"ColdCountermassBox",
     "Makes a recoilless gun's backblast harmless; its ammunition costs 50% more per shot and "
     "is designated RL-C, and the cost factor rises by 0.2. Enabled only while Recoilless is "
     "checked."},
    {"ShotgunBox",
     "Half-damage range falls to a fifth (a tenth with Gauss or Grav) and Max range becomes "
     "five times that; recoil rises, damage drops 5% except on a Pistol, and the gun's own "
     "weight falls to a quarter."},
    {"ExtraLowBox",
     "Halves damage and half-damage range, cuts the gun's own weight to 35% and halves a "
     "Pistol's base cost. Checking it enables Recoilless unless the propellant is Gauss or "
     "Grav; unchecking it disables Recoilless on a Rifle, Support or Cannon."},
    {"BipodBox",
     "Adds the ST needed when firing from a bipod, two thirds of the ST and marked B, to the "
     "ST lines of a Rifle or Support weapon; a Cannon's ST is unchanged. Enabled only for "
     "Rifle, Support and Cannon."},
    {"ElectricBox",
     "An electrically driven action: Malf rises by 1 and the cost factor by 0.5 (a Gatling "
     "pays this already). Enabled for the autoloaders and the Light and Heavy Automatic; "
     "Gauss checks and disables it."},
    {"ClosedBoltBox",
     "One more round in the chamber: the loaded weight counts it, and the Shots line shows +1 "
     "for the Manual Repeater, the Mechanical Gatling and the automatics. Any change of "
     "propellant unchecks it, and Gauss and Grav disable it."},
    {"CaselessBox",
     "Rounds without cases: their weight per shot drops (cased rounds weigh 30% more) but "
     "each costs about three times as much, Malf rises by 1 and the designation gets CL. "
     "Checking it enables Caseless Mods; unchecking clears and disables them."},
    {"HouseETCBox",
     "House rule: ETC multiplies damage and half-damage range by 1.25 instead of 1.5 and adds "
     "0.5 instead of 1 to the cost factor; ETK multiplies them by 1.5 instead of 2 and uses "
     "the ETC cells, ammunition weight and cost per shot."},
    {"HouseGauss",
     "House rule for Gauss: damage is multiplied by 1.25, the Damage lines lose the (3), and "
     "a bore of 4 mm or more does at least pi."},
    {"HouseDRBox",
     "House rule: HT and DR follow the TL (HT 10 and DR 6 up to TL 9, rising to HT 12 and DR "
     "20 at TL 12) instead of HT 10 and DR 4 at every TL."},
    {"KYOSBox",
     "Adds a KYOS ST line: the minimum ST converted to the Knowing Your Own Strength scale."},
    {"PaperBox",
     "Every power cell becomes a paper cell: a tenth of the weight, named as a paper cell in "
     "the notes, and the D and E cells take longer to reload."},
    {"HUDLinkBox",
     "Adds $250 and the HUD Link line with its chosen features listed under it. Unchecking it "
     "unchecks and disables the six HUD Link Features and sets Targeting Software to None; "
     "checking it enables the six again."},
    {"DataChip",
     "Records muzzle footage: +$1, 0.01 lb and a line under the HUD link. Enabled only while "
     "HUD Link is checked."},
    {"GreenEyes",
     "The link's green-eyes backglow in non-enclosed helmets: $10 less and a line under the "
     "HUD link. Enabled only while HUD Link is checked."},
    {"HUDCable",
     "Connects the HUD link by cable: a line under it, no cost or weight. Enabled only while "
     "HUD Link is checked."},
    {"MicroRadio",
     "Connects the HUD link by radio: +$10 and a line under it. Enabled only while HUD Link "
     "is checked."},
    {"SecureEncryption",
     "Encrypts the HUD link: +$500 and a line under it. Enabled only while HUD Link is "
     "checked."},
    {"TinyComputer",
     "An integral tiny computer: +$50, 0.05 lb and lines under the HUD link with its "
     "Complexity by TL (3 up to TL 9, 7 at TL 12). Checking it enables Targeting Software; "
     "unchecking sets it to None and disables it."},
    {"MultispectralLaserSightBox",
     "Lists a Multispectral Laser Sight among the features; it adds no weight or cost."},
    {"CTSBox", "Adds a Compact Targeting Scope: 0.5 lb, $1,000 and a feature line."},
    {"ETSBox", "Adds an Enhanced Targeting Scope: 2 lb, $8,000 and a feature line."},
    {"TransponderRingBox", "Adds a Transponder Ring: $100 and a feature line."},
    {"RecognitionGripBox",
     "Adds $100 and the Recognition Grip line with its chosen features listed under it. "
     "Unchecking it unchecks and disables the five Recognition Grip Features; checking it "
     "enables them again."},
    {"RGPalm",
     "The grip requires a palm print: a line under the Recognition Grip, no cost. Enabled "
     "only while Recognition Grip is checked."},
    {"RGVoice",
     "The grip requires a voice print: a line under the Recognition Grip, no cost. Enabled "
     "only while Recognition Grip is checked."},
    {"RGGlove",
     "The grip works through gloves: +$50 and a line under the Recognition Grip. Enabled only "
     "while Recognition Grip is checked."},
    {"RGGPS",
     "The grip needs GPS input or the HUD link to work: $5 less and a line under the "
     "Recognition Grip. Enabled only while Recognition Grip is checked."},
    {"RGIFF",
     "The grip needs an IFF interrogator to work: $5 less and a line under the Recognition "
     "Grip. Enabled only while Recognition Grip is checked."},
    {"SDATBox", "Adds Self-Destruct Anti-Theft: $100 and a feature line."},
    {"DiagnosticComputerBox",
     "Adds the Diagnostic Computer line, at no cost. Checking it enables Anti-tampering "
     "protection; unchecking it unchecks and disables that option."},
    {"AntiTamper",
     "Only a certified armorer of the maker may maintain the gun: $50 less and a line under "
     "the Diagnostic Computer. Enabled only while Diagnostic Computer is checked."},
    {"DTagBox", "Adds a D-Tag: $20 and a feature line."},
    {"IFFBox", "Adds an IFF Interrogator: $100 and a feature line."},
    {"IronSightsBox",
     "Adds 0.1 lb and $50 on a Pistol, 0.2 lb and $100 on an SMG or Rifle, and 0.2 lb at no "
     "cost on Support or Cannon, with a feature line."},
    {"AccRailU", "An accessory rail under the barrel: 0.2 lb, $100 and a feature line."},
    {"AccRailO", "An accessory rail over the barrel: 0.2 lb, $100 and a feature line."},
    {"AccRailS", "An accessory rail on the side of the stock: 0.2 lb, $100 and a feature line."},
    {"AccRailT", "An accessory rail on top of the stock: 0.2 lb, $100 and a feature line."},
    {"GravCompBox",
     "Adds 1 lb for every full 10 lb of the gun's own weight, $100 for every full 10 lb of "
     "its empty weight, and a feature line."},
    {"SmartgripBox", "Lowers every ST figure by 1 and adds $500 and a feature line."},
    {"MuzzleWeightBox", "Adds 0.25 lb, $100 and a feature line, and makes Bulk 1 worse."},
    {"SpaceProof",
     "The gun's own weight rises by 20% and the cost factor by 0.2, with a feature line."},
    {"FoldingStockBox", "Adds 0.5 lb, $100 and a feature line."},
    {"DisguisedBox", "Adds 4 to the cost factor and a feature line."},
    {"RuggedBox",
     "The gun's own weight rises by 20%, the cost factor by 1 and HT by 2, and DR doubles; a "
     "feature line is added."},
    {"GunLauncherCheckBox",
     "Marks a gun/launcher; the statblock does not use it. It stays disabled, and only "
     "Randomize changes it."},
    {"OnlyAuto",
     "While checked, Randomize picks only the Light Automatic, the Heavy Automatic or the "
     "Electric Gatling as the loading mechanism. The statblock does not use it."},
};

// The tooltips in the order of the form's fields.
constexpr auto kFieldTooltips = [] {
  std::array<const char*, kFormFieldCount> tips{};
  for (const ControlTip& tip : kFieldTips) {
    std::size_t i = 0;
    while (i < kFormFieldNames.size() && kFormFieldNames[i] != tip.name) ++i;
    // A tooltip of a control the form does not have, or a second one for a
    // field, stops the build here ("not a constant expression").
    if (i == kFormFieldNames.size() || tips[i] != nullptr) throw "a tooltip for no field";
    tips[i] = tip.text;
  }
  return tips;
}();
static_assert(std::ranges::none_of(kFieldTooltips, [](const char* tip) { return tip == nullptr; }),
              "every field of the form has its tooltip in kFieldTips");

const std::array<ControlTip, 5> kWindowTips = {{
    {"DesignButton",
     "Writes the statblock of the form as it stands into the pane, replacing what was there; "
     "greyed-out controls count too. A field that cannot be read stops it with a message, keeping "
     "the lines written so far."},
    {"RandomButton",
     "Fills the form with a random design, the form's rules applying as it goes; the name, TL, "
     "power modifier, extra weight and CF, the Houseruled boxes and Knowing Your Own Strength ST "
     "are "
     "kept. Press Design to see the new statblock."},
    {"StatblockMemo",
     "The statblock written by Design, as ordinary editable text: select it and copy it into your "
     "notes. Design replaces it; Randomize leaves it as it is."},
    {"MaxRoFLabel",
     "For the Light Automatic, Heavy Automatic and Electric Gatling: the highest RoF the bore (and "
     "the Electric Gatling's barrels) allows. It follows the loading mechanism, bore and barrels "
     "as you change them."},
    {"Label5",
     "A gravitic needle gun fires a 3 mm needle: enter 3 as its bore. This note changes nothing "
     "by itself."},
}};

}  // namespace

std::span<const char* const> FieldTooltips() {
  return kFieldTooltips;
}

std::span<const ControlTip> WindowTooltips() {
  return kWindowTips;
}

const char* ControlTooltip(std::string_view name) {
  for (const FieldInfo& f : FormFields()) {
    if (name == f.name || (f.label != nullptr && name == f.label)) return f.tooltip;
  }
  for (const ControlTip& tip : kWindowTips) {
    if (name == tip.name) return tip.text;
  }
  return nullptr;
}

}  // namespace brennick
