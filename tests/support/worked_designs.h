// The three worked designs the game's rules are illustrated with, as they are
// entered on the form.
#pragma once

#include "design.h"

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

}  // namespace brennick::examples
