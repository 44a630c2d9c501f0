// Random designs for the benchmarks, drawn the way the window's Randomize
// button draws them (mechanism, muzzle, extra-low options, configuration,
// barrel, propellant, caseless options, chambers, barrels, rate of fire, bore,
// shots and the feature boxes), but without the window's interlocks: only the
// spread of designs matters here, not the exact form the window would show.
#pragma once

#include <cmath>
#include <string>
#include <vector>

#include "design.h"
#include "random.h"

namespace brennick::bench {

inline DesignInput RandomDesign(RandomSource& rng) {
  DesignInput in;
  const bool onlyAuto = rng.Coin();
  const int m = onlyAuto ? rng.Between(8, 10) : rng.Between(0, 10);
  in.LoadingMechanismBox = m;
  if (m > 5) in.ElectricBox = rng.Coin();
  in.MuzzleBox = rng.Between(0, 3);
  in.ExtraLowBox = rng.Coin();
  if (in.ExtraLowBox) {
    in.ShotgunBox = rng.Coin();
    in.RecoillessCheckBox = rng.Coin();
    in.ColdCountermassBox = in.RecoillessCheckBox && rng.Coin();
  }
  const int c = rng.Between(0, 5);
  in.ConfigurationBox = c > kCannon ? kCannon : c;
  in.BarrelBox = rng.Between(0, 1);
  const int p = rng.Between(0, 5);
  in.PropellantBox = p;
  if (p == kGauss) in.GaussHCCBBox = rng.Between(0, 1);
  if (p == kGauss || p == kGrav) {
    in.RecoillessCheckBox = in.ColdCountermassBox = false;
    in.ClosedBoltBox = in.CaselessBox = false;
    in.ElectricBox = true;
  } else {
    in.ClosedBoltBox = rng.Coin();
    in.CaselessBox = rng.Coin();
    if (in.CaselessBox) in.PLBBox = rng.Between(0, 1);
  }
  in.ChambersEdit = "1";
  if (m == kRevolver) {
    in.ChambersEdit = std::to_string(rng.Between(2, 11));
    in.RoFEdit = "3";
  }
  const bool manyBarrels = m <= kBreechloader || m == kElectricGatling;
  const int barrels = manyBarrels ? rng.Between(1, 11) : 1;
  in.BarrelsEdit = std::to_string(barrels);
  if (m < kRevolver) in.RoFEdit = in.ShotsEdit = "1";
  if (m == kMechanicalGatling) in.RoFEdit = "15";
  if (m == kSlowAutoloader || m == kFastAutoloader) in.RoFEdit = "1";
  if (m == kLightAutomatic) in.RoFEdit = std::to_string(rng.Between(3, 16));
  if (m == kHeavyAutomatic) in.RoFEdit = std::to_string(rng.Between(3, 20));
  const int k = p == kGauss  ? rng.Between(100, 999)
                : p == kGrav ? rng.Between(100, 799)
                             : rng.Between(100, 1999);
  in.BoreSizeEdit = GeneralNumberText(ext(k) / 100, '.');
  if (m == kElectricGatling) {
    const int ceiling = static_cast<int>(std::nearbyint(barrels * 16.67));
    in.RoFEdit = std::to_string(rng.Between(3, ceiling));
  }
  in.ShotsEdit = m > kMechanicalGatling ? std::to_string(rng.Between(1, 199)) : "1";
  in.BipodBox = c > kSMG && rng.Coin();
  in.PaperBox = rng.Coin();
  in.CamouflageBox = rng.Between(0, 5);
  in.HUDLinkBox = rng.Coin();
  if (in.HUDLinkBox) {
    in.DataChip = rng.Coin();
    in.GreenEyes = rng.Coin();
    in.HUDCable = rng.Coin();
    in.MicroRadio = rng.Coin();
    in.TinyComputer = rng.Coin();
    in.SecureEncryption = in.MicroRadio && rng.Coin();
    in.TargetingSoftware = in.TinyComputer ? rng.Between(0, 1) : 0;
  } else {
    in.DataChip = in.GreenEyes = in.HUDCable = in.MicroRadio = in.TinyComputer = false;
  }
  for (bool* box : {&in.MultispectralLaserSightBox, &in.TransponderRingBox, &in.AccRailU,
                    &in.AccRailO, &in.AccRailS, &in.AccRailT, &in.RecognitionGripBox}) {
    *box = rng.Coin();
  }
  for (bool* box : {&in.RGPalm, &in.RGVoice, &in.RGGlove, &in.RGIFF, &in.RGGPS}) {
    *box = in.RecognitionGripBox && rng.Coin();
  }
  in.DiagnosticComputerBox = rng.Coin();
  in.AntiTamper = in.DiagnosticComputerBox && rng.Coin();
  for (bool* box : {&in.IronSightsBox, &in.SDATBox, &in.DTagBox, &in.IFFBox, &in.GravCompBox,
                    &in.SmartgripBox, &in.MuzzleWeightBox, &in.FoldingStockBox, &in.DisguisedBox,
                    &in.RuggedBox, &in.CTSBox, &in.ETSBox, &in.SpaceProof}) {
    *box = rng.Coin();
  }
  in.QualityAccurate = rng.Between(0, 3);
  in.QualityReliable = in.QualityAccurate == kCheap ? kCheap : rng.Between(0, 1);
  if (in.QualityReliable == kCheap) in.QualityAccurate = kNormal;
  in.StylingBox = rng.Between(0, 2);
  return in;
}

inline std::vector<DesignInput> RandomDesigns(std::size_t count, std::uint32_t seed) {
  RandomSource rng(seed);
  std::vector<DesignInput> designs;
  designs.reserve(count);
  for (std::size_t i = 0; i < count; ++i) designs.push_back(RandomDesign(rng));
  return designs;
}

}  // namespace brennick::bench
