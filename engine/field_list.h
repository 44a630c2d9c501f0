// The fields of the design form: the one list every layer builds its view of a
// field from.
//
// Each row names a control of the form that the design run reads, in the
// order of the form's tables (text fields, then option groups, then check
// boxes). From these rows come the members of DesignInput and their start
// values, the strict reads of the run and the names a failing read gives
// (design.h), the form state's controls and the field table with its counts
// (form/), and the window's controls (ui/). Adding a field is one row here and
// its tooltip in form/tooltips.cpp; what the field does is then the business
// of the rules and stages that read it.
//
// Each list takes a row macro X and a context C that is handed to every row
// unchanged (empty for most uses; a macro that lists names alone passes its
// own row macro there). The columns of a row:
//   text:  X(C, name, label, caption, start text, start state, read, rule)
//   group: X(C, name, caption, items, start index, start state, rule)
//   check: X(C, name, caption, start checked, start state, rule)
// `name` is the control's name, the member of DesignInput and the key of a
// design object; `label` the name of the label beside a text field, which is
// enabled together with it; `caption` the group's or check box's caption, or
// the label's text. `start state` is enabled or disabled as the window opens.
// `read` tells how the run reads a text: Lenient (a text that is no number
// falls back to a default), AnyNumber or WholeNumber (a text that is no such
// number stops the run). `rule` is the form model's rule a change runs, by its
// name in brennick::FormModel, or NoRule. The engine reads only the name, the
// caption, the start value and the read.
#pragma once

#include <cstddef>
#include <string>

namespace brennick {

// An item of an option group.
struct OptionItem {
  const char* caption;          // as the form shows it
  const char* named = nullptr;  // as a derivation's sentence names it, where that differs
};

// The items of the option groups, in index order.
inline constexpr OptionItem kConfigurationItems[] = {
    {"Pistol"}, {"SMG"}, {"Rifle"}, {"Support"}, {"Cannon"}};
inline constexpr OptionItem kBarrelItems[] = {
    {"Short", "Short barrel"}, {"Medium", "Medium barrel"}, {"Long", "Long barrel"}};
inline constexpr OptionItem kMechanismItems[] = {
    {"Muzzleloader (TL3)", "Muzzleloader"},
    {"Muzzleloader with a carriage (TL3)", "Muzzleloader with a carriage"},
    {"Breechloader (TL3)", "Breechloader"},
    {"Manual Repeater (TL5)", "Manual Repeater"},
    {"Revolver (TL5)", "Revolver"},
    {"Mechanical Gatling (TL5)", "Mechanical Gatling"},
    {"Slow Autoloader (TL6)", "Slow Autoloader"},
    {"Fast Autoloader (TL6)", "Fast Autoloader"},
    {"Light Automatic (TL6)", "Light Automatic"},
    {"Heavy Automatic (TL6)", "Heavy Automatic"},
    {"Electric Gatling (TL7)", "Electric Gatling"}};
inline constexpr OptionItem kPropellantItems[] = {{"Standard Propellant", "standard propellant"},
                                                  {"Liquid Propellant", "liquid propellant"},
                                                  {"ETC"},
                                                  {"ETK"},
                                                  {"Gauss"},
                                                  {"Grav"}};
inline constexpr OptionItem kPLBItems[] = {
    {"None"}, {"High-Cyclic Controlled Bursts (RoF 6+)"}, {"Preloaded Barrels (RoF 2+)"}};
inline constexpr OptionItem kGaussHCCBItems[] = {{"Standard"}, {"Enhanced"}};
inline constexpr OptionItem kMuzzleItems[] = {{"None"},
                                              {"Compensator (TL6) (TS76)"},
                                              {"Flash Hider (TL6) (TS76)"},
                                              {"Muzzle Port (TL7) (TS77)"},
                                              {"Zero-G Compensator (TL9) (P55-7)"}};
inline constexpr OptionItem kCamouflageItems[] = {
    {"None"},
    {"Weapon Camouflage (TL6) (TS76)"},
    {"Programmable Camouflage (TL9) (UT99)"},
    {"Thermo-Optic Chameleon Surface (TL9) (UT98)"},
    {"Multispectral Chameleon Surface (TL10) (UT99)"},
    {"Dynamic Multispectral Chameleon Surface (TL11) (UT99)"},
    {"Ultimate Chameleon Surface (TL12) (UT99)"}};
inline constexpr OptionItem kStylingItems[] = {{"None"}, {"+1"}, {"+2"}, {"+3"}};
inline constexpr OptionItem kQualityAccurateItems[] = {
    {"Normal"}, {"Fine (only if base Acc 2+)"}, {"Very Fine (only if base Acc 4+)"}, {"Cheap"}};
inline constexpr OptionItem kQualityReliableItems[] = {
    {"Normal"}, {"Fine"}, {"Very Fine"}, {"Cheap"}};
inline constexpr OptionItem kTargetingItems[] = {
    {"None"}, {"+1 (Complexity 3)"}, {"+2 (Complexity 4)"}};

// How the run reads a text field (the `read` column).
enum class TextRead { Lenient, AnyNumber, WholeNumber };
// Whether a control is enabled as the window opens (the `start state` column).
enum class FieldStart { enabled, disabled };

// clang-format off
#define BRENNICK_TEXT_FIELDS(X, C) \
  X(C, NameEdit,     Label7,        "Weapon Name",            "",  enabled,  Lenient,     NoRule) \
  X(C, TLEdit,       Label6,        "TL",                     "9", enabled,  WholeNumber, TLEditChange) \
  X(C, BoreSizeEdit, Label3,        "Bore Size, mm",          "",  enabled,  AnyNumber,   BoreSizeEditChange) \
  X(C, PowerModEdit, Label10,       "PowerMod",               "1", enabled,  AnyNumber,   TLEditChange) \
  X(C, BarrelsEdit,  BarrelsLabel,  "Barrels",                "1", disabled, Lenient,     BarrelsEditChange) \
  X(C, ChambersEdit, ChambersLabel, "Chambers",               "1", disabled, Lenient,     NoRule) \
  X(C, RoFEdit,      RoFLabel,      "RoF",                    "1", disabled, WholeNumber, NoRule) \
  X(C, ShotsEdit,    ShotsLabel,    "Shots",                  "1", enabled,  Lenient,     NoRule) \
  X(C, ArbWeight,    Label8,        "Arbitrary Extra Weight", "0", enabled,  Lenient,     BarrelsEditChange) \
  X(C, ArbCF,        Label9,        "Arbitrary Extra CF",     "0", enabled,  Lenient,     BarrelsEditChange)

#define BRENNICK_GROUP_FIELDS(X, C) \
  X(C, ConfigurationBox,    "Configuration",      kConfigurationItems,   -1, enabled,  ConfigurationBoxClick) \
  X(C, BarrelBox,           "Barrel Length",      kBarrelItems,          -1, enabled,  NoRule) \
  X(C, LoadingMechanismBox, "Loading Mechanism",  kMechanismItems,       -1, enabled,  LoadingMechanismBoxClick) \
  X(C, PropellantBox,       "Propellant",         kPropellantItems,       0, enabled,  PropellantBoxClick) \
  X(C, PLBBox,              "Caseless Mods",      kPLBItems,              0, enabled,  NoRule) \
  X(C, GaussHCCBBox,        "Gauss HCCB",         kGaussHCCBItems,        0, disabled, NoRule) \
  X(C, MuzzleBox,           "Muzzle Attachment",  kMuzzleItems,           0, enabled,  NoRule) \
  X(C, CamouflageBox,       "Camouflage",         kCamouflageItems,       0, enabled,  NoRule) \
  X(C, StylingBox,          "Styling",            kStylingItems,          0, enabled,  NoRule) \
  X(C, QualityAccurate,     "Quality (Accurate)", kQualityAccurateItems,  0, enabled,  QualityAccurateClick) \
  X(C, QualityReliable,     "Quality (Reliable)", kQualityReliableItems,  0, enabled,  QualityReliableClick) \
  X(C, TargetingSoftware,   "Targeting Software", kTargetingItems,        0, disabled, NoRule)

#define BRENNICK_CHECK_FIELDS(X, C) \
  X(C, RecoillessCheckBox,         "Recoilless",                               false, enabled,  RecoillessCheckBoxClick) \
  X(C, ColdCountermassBox,         "Cold Counter-Mass",                        false, disabled, NoRule) \
  X(C, ShotgunBox,                 "Shotgun",                                  false, enabled,  NoRule) \
  X(C, ExtraLowBox,                "Extra-Low-Powered",                        false, enabled,  ExtraLowBoxClick) \
  X(C, BipodBox,                   "Bipod",                                    false, disabled, NoRule) \
  X(C, ElectricBox,                "Electric Autoloader/Automatic",            false, disabled, NoRule) \
  X(C, ClosedBoltBox,              "Closed-Bolt",                              false, enabled,  NoRule) \
  X(C, CaselessBox,                "Caseless",                                 true,  enabled,  CaselessBoxClick) \
  X(C, HouseETCBox,                "Houseruled ETC and ETK",                   false, enabled,  NoRule) \
  X(C, HouseGauss,                 "Houseruled Gauss",                         false, enabled,  NoRule) \
  X(C, HouseDRBox,                 "Houseruled DR and HT",                     false, enabled,  NoRule) \
  X(C, KYOSBox,                    "Knowing Your Own Strength ST",             false, enabled,  NoRule) \
  X(C, PaperBox,                   "Uses Paper Cells (P#12)",                  false, enabled,  NoRule) \
  X(C, HUDLinkBox,                 "HUD Link (TL9) (UT149)",                   true,  enabled,  HUDLinkBoxClick) \
  X(C, DataChip,                   "Datachip (TL9) (UT51)",                    false, enabled,  NoRule) \
  X(C, GreenEyes,                  "\"Green eyes\" effect",                    false, enabled,  NoRule) \
  X(C, HUDCable,                   "Cable connection",                         true,  enabled,  NoRule) \
  X(C, MicroRadio,                 "Micro radio communicator (UT44)",          false, enabled,  NoRule) \
  X(C, SecureEncryption,           "Secure encryption (UT47)",                 false, enabled,  NoRule) \
  X(C, TinyComputer,               "Tiny Computer (UT22)",                     false, enabled,  TinyComputerClick) \
  X(C, MultispectralLaserSightBox, "Multispectral Laser Sight (TL9) (UT149)",  true,  enabled,  NoRule) \
  X(C, CTSBox,                     "Compact Targeting Scope (TL9) (UT149)",    false, enabled,  NoRule) \
  X(C, ETSBox,                     "Enhanced Targeting Scope (TL9) (UT149)",   false, enabled,  NoRule) \
  X(C, TransponderRingBox,         "Transponder Ring (TL9) (UT150)",           false, enabled,  NoRule) \
  X(C, RecognitionGripBox,         "Recognition Grip (TL9) (UT150)",           true,  enabled,  RecognitionGripBoxClick) \
  X(C, RGPalm,                     "Requires palm print",                      true,  enabled,  NoRule) \
  X(C, RGVoice,                    "Requires voice print",                     false, enabled,  NoRule) \
  X(C, RGGlove,                    "Works through gloves",                     false, enabled,  NoRule) \
  X(C, RGGPS,                      "Requires GPS input",                       false, enabled,  NoRule) \
  X(C, RGIFF,                      "Does not work without IFF",                false, enabled,  NoRule) \
  X(C, SDATBox,                    "Self-Destruct Anti-Theft (TL10^) (UT150)", false, enabled,  NoRule) \
  X(C, DiagnosticComputerBox,      "Diagnostic Computer (TL9) (UT151)",        true,  enabled,  DiagnosticComputerBoxClick) \
  X(C, AntiTamper,                 "Anti-tampering protection",                false, enabled,  NoRule) \
  X(C, DTagBox,                    "D-Tag (TL9) (UT151)",                      false, enabled,  NoRule) \
  X(C, IFFBox,                     "IFF Interrogator (TL9) (UT151)",           false, enabled,  NoRule) \
  X(C, IronSightsBox,              "Iron Sights",                              true,  enabled,  NoRule) \
  X(C, AccRailU,                   "Under barrel",                             false, enabled,  NoRule) \
  X(C, AccRailO,                   "Over barrel",                              false, enabled,  NoRule) \
  X(C, AccRailS,                   "Side of stock",                            false, enabled,  NoRule) \
  X(C, AccRailT,                   "Top of stock",                             false, enabled,  NoRule) \
  X(C, GravCompBox,                "Gravitic Compensator (TL11^) (UT152)",     false, enabled,  NoRule) \
  X(C, SmartgripBox,               "Smartgrip (TL10) (UT152)",                 false, enabled,  NoRule) \
  X(C, MuzzleWeightBox,            "Muzzle Weight (TL7) (TS76)",               false, enabled,  NoRule) \
  X(C, SpaceProof,                 "Space-Proof (TL9) (P55-7)",                false, enabled,  NoRule) \
  X(C, FoldingStockBox,            "Folding Stock (TL7) (HT160)",              false, enabled,  NoRule) \
  X(C, DisguisedBox,               "Disguised (UT15)",                         false, enabled,  NoRule) \
  X(C, RuggedBox,                  "Rugged (UT15)",                            false, enabled,  NoRule)
// clang-format on

// Counts a row of any list: 0 BRENNICK_TEXT_FIELDS(BRENNICK_COUNT_ROW, ) is
// the number of text fields.
#define BRENNICK_COUNT_ROW(C, ...) +1

inline constexpr std::size_t kTextFieldCount = 0 BRENNICK_TEXT_FIELDS(BRENNICK_COUNT_ROW, );
inline constexpr std::size_t kGroupFieldCount = 0 BRENNICK_GROUP_FIELDS(BRENNICK_COUNT_ROW, );
inline constexpr std::size_t kCheckFieldCount = 0 BRENNICK_CHECK_FIELDS(BRENNICK_COUNT_ROW, );
// The fields of a design: the keys of a design object.
inline constexpr std::size_t kDesignFieldCount =
    kTextFieldCount + kGroupFieldCount + kCheckFieldCount;

}  // namespace brennick
