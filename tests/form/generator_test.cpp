// The random design generator: clicks worked out draw by draw, and the
// promises of a few thousand clicks.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <map>
#include <regex>
#include <set>
#include <span>
#include <sstream>
#include <string>
#include <tuple>
#include <type_traits>
#include <vector>

#include "engine/design.h"
#include "engine/number_text.h"
#include "engine/random.h"
#include "form/fields.h"
#include "form/form_model.h"
#include "form/form_state.h"
#include "tests/form/form_test_util.h"

namespace {

using namespace brennick;
using namespace brennick::formtest;
using F = FormState;

// Seed 0, "Only automatic" checked, from the start form. Each draw advances
// the seed to seed x 134775813 + 1 (mod 2^32) and takes the high 32 bits of
// seed x n. Seeds, then values, by step:
//  2. mechanism 1 -> 8 Light Automatic: RoF and Shots "1" enabled, hint
//     "RoF: 3-16" (the empty bore counts 1), chambers and barrels "1"
//     disabled, Electric enabled. 3. electric 134775814 -> 0
//  4. muzzle 3698175007 -> 3. 5. extra-low 870078620 -> 0, so 6 unchecks
//     (unchanged). 8. gun/launcher 1172187917 -> 0
//  9. configuration 2884733762 -> 4 Cannon: bipod enabled, recoilless
//     disabled (already unchecked: no recoilless rule). 10. barrel 1368768587 -> 0
// 11. propellant 694906232 -> 0, unchanged. 13. closed-bolt 1598751577 -> 0,
//     caseless 1828254910 -> 0: its rule disables and clears the mods, then
//     "None" goes into them. 19. RoF 352239543 -> 4
// 20. bore 2039224980 -> 1002, "10.02": hint 160 / 10.02 = 15.97 -> 16
// 22. shots 303092965 -> 15. 23. bipod 3611442298 -> 1. 24. paper 256513635 -> 0
// 25. camouflage 1259699184 -> 1. 26. HUD link 3939707825 -> 1 (unchanged)
// 27. chip 1580146294 -> 0, green eyes 3327160399 -> 1, cable 1408429452 -> 0,
//     radio 2996491197 -> 1, tiny computer 3625686706 -> 1 (software enabled),
//     encryption 3083712891 -> 1, software 1317014376 -> 0
// 28. laser 698472713 -> 0, transponder 1415176494 -> 0, rails 2001542631 -> 0,
//     1059369348 -> 0, 3546253205 -> 1, 1198422506 -> 0, grip 2069170579 -> 0:
//     its rule unchecks and disables the options, so 29 draws nothing
// 30. diagnostic 640744416 -> 0: anti-tampering off, no draw for it
// 31. iron sights 3755240289 -> 1, then SDAT to space-proof 0 1 1 0 1 1 0 0 0 1
//     0 1 (the last from seed 2546634309)
// 32. accuracy 41442138 -> 0, reliability 3326357699 -> 1. 33. styling 2794553296 -> 1
TEST(FormGeneratorTest, SeedZeroGivesTheDesignWorkedOutByHand) {
  for (const char dec : {'.', ','}) {
    FormModel model(dec);
    model.RandomButtonClick(0);
    const FormState expected = With(
        FormState(),
        "LoadingMechanismBox RoFEdit ShotsEdit ElectricBox MaxRoFLabel MuzzleBox ConfigurationBox "
        "BipodBox RecoillessCheckBox BarrelBox CaselessBox PLBBox BoreSizeEdit CamouflageBox "
        "GreenEyes HUDCable MicroRadio TinyComputer SecureEncryption TargetingSoftware "
        "MultispectralLaserSightBox AccRailS RecognitionGripBox RGPalm RGVoice RGGlove RGIFF "
        "RGGPS DiagnosticComputerBox AntiTamper DTagBox IFFBox SmartgripBox MuzzleWeightBox "
        "CTSBox SpaceProof QualityReliable StylingBox",
        "8 on | 4 on | 15 on | - on | Max RoF: 16 | 3 on | 4 on | x on | - off | 0 on | - on | "
        "0 off | 10" +
            std::string(1, dec) +
            "02 on | 1 on | x on | - on | x on | x on | x on | 0 on | - on | x on | - on | - off "
            "| - off | - off | - off | - off | - on | - off | x on | x on | x on | x on | x on | "
            "x on | 1 on | 1 on");
    ExpectSameForm(model.state(), expected);
    EXPECT_EQ(model.randomSource().seed(), 2794553296u);  // 48 draws, the last for styling
  }
}

// Clicks from the start form, draws worked by hand as for seed 0 (values in
// order; "Only automatic" checked, so each begins with the mechanism):
//  9627: 8, electric 0, muzzle 3, extra-low 0, gun 1, configuration 4,
//        barrel 1, propellant 0, closed-bolt 1, caseless 1, mods 0, RoF 3, bore 1250
//   324: 8, 1, 2, extra-low 1 (shotgun 0, recoilless 0), 0, 2, 1, 0, 0, 1, 1,
//        RoF 13, bore 1500 (160 / 15 = 10.7)
//  1696: 8, 0, 0, 0, 1, 0, 0, 0, 1, 1, 0, RoF 15, bore 1000 (not above 10 mm)
//  5140: 8, 1, 1, extra-low 1 (shotgun 1, recoilless 0), 1, 5, 0, 0, 1, 1, 0,
//        RoF 14, bore 1280 (160 / 12.8 = 12.5, to even)
//    86: 10, 0, 0, 0, 1, 1, 1, propellant 1 Liquid (its rule unchecks
//        "Caseless", whose rule clears the mods, and enables the electric
//        box the Gatling's rule had disabled), closed-bolt 1, caseless 1 (mods
//        enabled again), mods 1, barrels 8, bore 698, RoF 3..133 (8 x 16.67 =
//        133.4) 89, shots 30, paper 1, camouflage 4, HUD link 0 (its rule
//        clears the options; no draws), laser 0, transponder 0, rails 0 1 0 1,
//        grip 1, palm 0, voice 1, glove 0, IFF 1, GPS 1, diagnostic 1,
//        anti-tampering 1, thirteen features, accuracy 3 Cheap (no reliability
//        draw), styling 0; the last seed 540852001.
TEST(FormGeneratorTest, WorkedClicks) {
  const char* bore = "BoreSizeEdit RoFEdit MaxRoFLabel";
  const std::tuple<std::uint32_t, char, const char*, const char*> rows[] = {
      {9627, ',', bore, "12,5 on | 3 on | Max RoF: 13"},
      {9627, '.', bore, "12.5 on | 3 on | Max RoF: 13"},
      {324, '.', bore, "15 on | 13 on | Max RoF: 11"},
      {1696, ',', bore, "10 on | 15 on | RoF: 3-16"},
      {5140, ',', bore, "12,8 on | 14 on | Max RoF: 12"},
      {86, '.',
       "LoadingMechanismBox BarrelsEdit BoreSizeEdit RoFEdit ShotsEdit MaxRoFLabel ElectricBox "
       "PropellantBox CaselessBox PLBBox HUDLinkBox HUDCable TargetingSoftware RecognitionGripBox "
       "RGPalm RGVoice RGGlove RGIFF RGGPS DiagnosticComputerBox AntiTamper QualityAccurate "
       "QualityReliable StylingBox",
       "10 on | 8 on | 6.98 on | 89 on | 30 on | Max RoF: 133 | - on | 1 on | x on | 1 on | - on | "
       "- off | 0 off | x on | - on | x on | - on | x on | x on | x on | x on | 0 off | 3 on | "
       "0 on"},
  };
  for (const auto& [seed, dec, controls, expected] : rows) {
    FormModel model(dec);
    model.RandomButtonClick(seed);
    EXPECT_EQ(Snap(model.state(), controls), expected) << seed;
  }
  FormModel model;
  model.RandomButtonClick(86);
  EXPECT_EQ(model.randomSource().seed(), 540852001u);
}

// From seed 3601880883 the first draw comes from seed 0x70000000:
// 0x70000000 x 11 / 2^32 = 4.8 -> 4, the revolver, whose rule reads the TL.
// The click stops there; only what the mechanism rule did before the TL
// read stays.
TEST(FormGeneratorTest, RevolverWithABadTLStopsTheClick) {
  FormModel model;
  model.Set(&F::OnlyAuto, false);
  model.Set(&F::TLEdit, "abc");
  try {
    model.RandomButtonClick(3601880883u);
    ADD_FAILURE() << "no error";
  } catch (const DesignError& e) {
    EXPECT_STREQ(e.what(), "'abc' is not a valid integer value");
  }
  EXPECT_EQ(model.randomSource().seed(), 0x70000000u);
  ExpectSameForm(model.state(),
                 With(FormState(), "OnlyAuto TLEdit LoadingMechanismBox ChambersEdit",
                      "- on | abc on | 4 on | 1 on"));
}

// Many clicks in a row from the start form, with the user's own fields set:
// every design keeps the generator's promises and the rules' end states.
TEST(FormGeneratorTest, EveryRandomDesignKeepsTheGeneratorsPromises) {
  const char* user =
      "NameEdit TLEdit PowerModEdit ArbWeight ArbCF HouseETCBox HouseGauss HouseDRBox KYOSBox";
  const char* userValues = "Rnd on | 12 on | 2 on | 1.5 on | 3 on | x on | x on | x on | x on";
  std::map<std::string, std::set<int>> seen;  // the indices each group ended at
  bool liquidCaseless = false;
  for (const bool onlyAuto : {true, false}) {
    const char dec = onlyAuto ? '.' : ',';
    const std::regex boreText(std::string("[1-9][0-9]?([") + dec + "][0-9]?[1-9])?");
    FormModel model = ModelWith(With(FormState(), user, userValues), dec);
    model.Set(&F::OnlyAuto, onlyAuto);
    const std::string userState = Snap(model.state(), std::string(user) + " OnlyAuto");
    for (std::uint32_t i = 0; i < 1500; ++i) {
      const std::uint32_t seed = i * 2654435761u;
      const int propellantBefore = model.state().PropellantBox.index;
      model.RandomButtonClick(seed);
      const FormState& s = model.state();
      const std::string where = "seed " + std::to_string(seed);
      const int m = s.LoadingMechanismBox.index, p = s.PropellantBox.index;
      const int rof = std::stoi(s.RoFEdit.text), shots = std::stoi(s.ShotsEdit.text);
      const int barrels = std::stoi(s.BarrelsEdit.text);
      const int chambers = std::stoi(s.ChambersEdit.text);
      for (const FieldInfo& f : FormFields()) {
        if (f.kind == FieldKind::Group) seen[f.name].insert((s.*f.groupControl).index);
      }
      seen["GunLauncherCheckBox"].insert(s.GunLauncherCheckBox.checked);

      // Mechanism, its fields and their enabled states.
      ASSERT_TRUE(m >= (onlyAuto ? kLightAutomatic : kMuzzleloader) && m <= kElectricGatling);
      EXPECT_TRUE(m > kMechanicalGatling ? shots >= 1 && shots <= 199 : shots == 1) << where;
      EXPECT_TRUE(m == kRevolver ? chambers >= 2 && chambers <= 11 : chambers == 1) << where;
      const bool manyBarrels = m <= kBreechloader || m == kElectricGatling;
      EXPECT_TRUE(manyBarrels ? barrels >= 1 && barrels <= 11 : barrels == 1) << where;
      const int maxRoF = m == kLightAutomatic    ? 16
                         : m == kHeavyAutomatic  ? 20
                         : m == kElectricGatling ? static_cast<int>(std::lround(barrels * 16.67))
                                                 : 0;
      const int fixedRoF = m == kRevolver ? 3 : m == kMechanicalGatling ? 15 : 1;
      EXPECT_TRUE(maxRoF ? rof >= 3 && rof <= maxRoF && maxRoF <= 183 : rof == fixedRoF)
          << where << " RoF " << rof;
      EXPECT_EQ(s.RoFEdit.enabled, m >= kLightAutomatic) << where;
      EXPECT_EQ(s.ShotsEdit.enabled, m > kBreechloader && m != kRevolver) << where;
      EXPECT_EQ(s.ChambersEdit.enabled, m == kRevolver) << where;
      EXPECT_EQ(s.BarrelsEdit.enabled, manyBarrels) << where;

      // Bore in hundredths, smaller for Gauss and Grav; the hint matches the
      // final bore and barrels.
      EXPECT_TRUE(std::regex_match(s.BoreSizeEdit.text, boreText))
          << where << " " << s.BoreSizeEdit.text;
      const double bore = FloatOr(s.BoreSizeEdit.text, dec, -1);
      EXPECT_TRUE(bore >= 1 && bore <= (p == kGauss ? 9.99 : p == kGrav ? 7.99 : 19.99)) << where;
      const std::string hint =
          m == kLightAutomatic
              ? (bore > 10 ? "Max RoF: " + std::to_string(std::lround(std::nearbyint(160 / bore)))
                           : "RoF: 3-16")
          : m == kHeavyAutomatic  ? "RoF: 3-20"
          : m == kElectricGatling ? "Max RoF: " + std::to_string(maxRoF)
                                  : "Max RoF:";
      EXPECT_EQ(s.MaxRoFLabel, hint) << where;

      // Electromagnetic guns have no case, bolt or recoilless mount. The
      // configuration rule may enable "Recoilless" again (the rules do not
      // cross-check), but nothing checks it.
      if (p == kGauss || p == kGrav) {
        EXPECT_EQ(Snap(s, "CaselessBox ClosedBoltBox ColdCountermassBox PLBBox"),
                  "- off | - off | - off | 0 off")
            << where;
        EXPECT_FALSE(s.RecoillessCheckBox.checked) << where;
      }
      if (p == kGauss && propellantBefore != kGauss) {
        EXPECT_EQ(Snap(s, "ElectricBox RecoillessCheckBox"), "x off | - off") << where;
      }
      // A checked "Caseless" has its mods enabled; only it allows a mod.
      EXPECT_TRUE(s.PLBBox.enabled || !s.CaselessBox.checked) << where;
      EXPECT_TRUE(s.PLBBox.index == kPLBNone ||
                  (s.CaselessBox.checked && s.PLBBox.index == kHighCyclic))
          << where;
      liquidCaseless |= p == kLiquid && s.CaselessBox.checked && s.PLBBox.enabled;
      if (!s.ExtraLowBox.checked) {
        EXPECT_FALSE(s.ShotgunBox.checked || s.RecoillessCheckBox.checked ||
                     s.ColdCountermassBox.checked)
            << where;
      }
      EXPECT_TRUE(s.ConfigurationBox.index > kSMG || !s.BipodBox.checked) << where;

      // Cheap accuracy ends as normal accuracy (disabled) with cheap reliability.
      const std::string quality = Snap(s, "QualityAccurate QualityReliable");
      EXPECT_TRUE(quality == "0 off | 3 on" ||
                  std::regex_match(quality, std::regex("[0-2] on \\| [01] on")))
          << where << " " << quality;

      // "Gun/Launcher" stays disabled; the user's own fields keep their values.
      EXPECT_FALSE(s.GunLauncherCheckBox.enabled) << where;
      EXPECT_EQ(Snap(s, std::string(user) + " OnlyAuto"), userState) << where;
    }
  }
  // Never chosen: long barrels, the zero-G compensator, the ultimate
  // chameleon surface, preloaded barrels, very fine reliability, targeting
  // software +2, styling +3; Cheap accuracy ends as Normal.
  std::string groups;
  for (const auto& [name, indices] : seen) {
    groups += " " + name + ":";
    for (const int i : indices) groups += std::to_string(i);
  }
  EXPECT_EQ(groups,
            " BarrelBox:01 CamouflageBox:012345 ConfigurationBox:01234 GaussHCCBBox:01 "
            "GunLauncherCheckBox:01 LoadingMechanismBox:012345678910 MuzzleBox:0123 PLBBox:01 "
            "PropellantBox:012345 QualityAccurate:012 QualityReliable:013 StylingBox:012 "
            "TargetingSoftware:01");
  EXPECT_TRUE(liquidCaseless);
}

}  // namespace
