// The design form as a value: every control that a rule or the design run
// reads or changes, with its value and whether the user may change it, and
// the caption of the Max RoF hint.
//
// A FormState is what undo, design files and comparisons hold; the window
// only shows one. It is plain data: copy it, compare it, store it.
#pragma once

#include <string>

#include "engine/design.h"

namespace brennick {

// A text field: its text as typed.
struct TextControl {
  std::string text;
  bool enabled = true;
  bool operator==(const TextControl&) const = default;
};

// A check box.
struct CheckControl {
  bool checked = false;
  bool enabled = true;
  bool operator==(const CheckControl&) const = default;
};

// An option group: the selected item, 0 for the first, -1 for none.
struct GroupControl {
  int index = -1;
  bool enabled = true;
  bool operator==(const GroupControl&) const = default;
};

// The caption the Max RoF hint shows before any rule has rewritten it.
inline constexpr const char* kMaxRoFStart = "Max RoF:";

struct FormState {
  // The form as the window opens: the start values of DesignInput and the
  // start enabled states of the field table. It is not the state the rules
  // would produce (no mechanism is selected, yet RoF is disabled), and no
  // rule runs to make it so.
  FormState();

  // Text fields.
  TextControl NameEdit, TLEdit, BoreSizeEdit, PowerModEdit, BarrelsEdit, ChambersEdit, RoFEdit,
      ShotsEdit, ArbWeight, ArbCF;

  // Option groups.
  GroupControl ConfigurationBox, BarrelBox, LoadingMechanismBox, PropellantBox, PLBBox,
      GaussHCCBBox, MuzzleBox, CamouflageBox, StylingBox, QualityAccurate, QualityReliable,
      TargetingSoftware;

  // Check boxes the design run reads.
  CheckControl RecoillessCheckBox, ColdCountermassBox, ShotgunBox, ExtraLowBox, BipodBox,
      ElectricBox, ClosedBoltBox, CaselessBox, HouseETCBox, HouseGauss, HouseDRBox, KYOSBox,
      PaperBox, HUDLinkBox, DataChip, GreenEyes, HUDCable, MicroRadio, SecureEncryption,
      TinyComputer, MultispectralLaserSightBox, CTSBox, ETSBox, TransponderRingBox,
      RecognitionGripBox, RGPalm, RGVoice, RGGlove, RGGPS, RGIFF, SDATBox, DiagnosticComputerBox,
      AntiTamper, DTagBox, IFFBox, IronSightsBox, AccRailU, AccRailO, AccRailS, AccRailT,
      GravCompBox, SmartgripBox, MuzzleWeightBox, SpaceProof, FoldingStockBox, DisguisedBox,
      RuggedBox;

  // Check boxes of the form that the design run never reads: the generator
  // flips "Gun/Launcher", and "Only automatic" steers the generator.
  CheckControl GunLauncherCheckBox{false, false};
  CheckControl OnlyAuto{true, true};

  // The Max RoF hint beside the RoF field.
  std::string MaxRoFLabel = kMaxRoFStart;

  // Every design input as the controls hold it, enabled or not.
  DesignInput Input() const;

  bool operator==(const FormState&) const = default;
};

}  // namespace brennick
