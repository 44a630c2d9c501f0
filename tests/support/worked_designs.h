// The three worked designs the game's rules are illustrated with, as they are
// entered on the form.
#pragma once

#include <string>

#include "engine/design.h"

namespace brennick::examples {

// 10 mm Pistol, Medium barrel, TL 9, Standard Propellant, Fast Autoloader,
// 20 shots, not caseless, iron sights.
inline DesignInput TenMmPistol() {
  DesignInput in;
  in.NameEdit = "Pistol";
  in.BoreSizeEdit = "10";
  in.ConfigurationBox = kPistol;
  in.BarrelBox = kMedium;
  in.LoadingMechanismBox = kFastAutoloader;
  in.PropellantBox = kStandard;
  in.ShotsEdit = "20";
  in.CaselessBox = false;
  return in;
}

// 7 mm Rifle, Medium barrel, TL 9, Liquid Propellant, Light Automatic,
// 30 shots, caseless, iron sights.
inline DesignInput SevenMmLiquidRifle() {
  DesignInput in;
  in.NameEdit = "LP Rifle";
  in.BoreSizeEdit = "7";
  in.ConfigurationBox = kRifle;
  in.BarrelBox = kMedium;
  in.LoadingMechanismBox = kLightAutomatic;
  in.PropellantBox = kLiquid;
  in.ShotsEdit = "30";
  return in;
}

// 4 mm Gauss Rifle, Long barrel, TL 10, Light Automatic, 50 shots, caseless,
// iron sights, no house rule.
inline DesignInput FourMmGaussRifle() {
  DesignInput in;
  in.NameEdit = "Gauss Rifle";
  in.TLEdit = "10";
  in.BoreSizeEdit = "4";
  in.ConfigurationBox = kRifle;
  in.BarrelBox = kLong;
  in.LoadingMechanismBox = kLightAutomatic;
  in.PropellantBox = kGauss;
  in.ShotsEdit = "50";
  return in;
}

// The click of Randomize seeded with 0, "Only automatic" ticked, on a fresh
// form, worked out draw by draw: a Light Automatic Cannon with short barrels
// and a Muzzle Port, bore 10.02 (draw 1002, typed with `dec`), RoF 4, 15
// shots, bipod, weapon camouflage, the HUD link with green eyes, micro radio,
// tiny computer and secure encryption, the cable dropped, rail S, no laser
// sight, grip or diagnostic computer, D-tag, IFF, smartgrip, muzzle weight,
// CTS and space-proof, Fine reliability, styling +1; caseless unchecked, so
// the caseless mods are cleared to "None".
inline DesignInput SeedZeroOnlyAutomatic(char dec = '.') {
  DesignInput in;  // the start values, then what the click changed
  in.LoadingMechanismBox = kLightAutomatic;
  in.MuzzleBox = kMuzzlePort;
  in.ConfigurationBox = kCannon;
  in.BarrelBox = kShort;
  in.CaselessBox = false;
  in.PLBBox = kPLBNone;
  in.RoFEdit = "4";
  in.BoreSizeEdit = std::string("10") + dec + "02";
  in.ShotsEdit = "15";
  in.BipodBox = true;
  in.CamouflageBox = 1;
  in.GreenEyes = true;
  in.HUDCable = false;
  in.MicroRadio = true;
  in.TinyComputer = true;
  in.SecureEncryption = true;
  in.MultispectralLaserSightBox = false;
  in.AccRailS = true;
  in.RecognitionGripBox = false;
  in.RGPalm = false;
  in.DiagnosticComputerBox = false;
  in.DTagBox = true;
  in.IFFBox = true;
  in.SmartgripBox = true;
  in.MuzzleWeightBox = true;
  in.CTSBox = true;
  in.SpaceProof = true;
  in.QualityReliable = kFine;
  in.StylingBox = 1;
  return in;
}

}  // namespace brennick::examples
