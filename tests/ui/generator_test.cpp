// The random design generator: one click worked out draw by draw, and the
// invariants of many clicks.
#include <QRegularExpression>
#include <set>
#include <string>

#include "support.h"

namespace {

using namespace brennick;

class GeneratorTest : public FormTest {
 protected:
  void Randomize(std::uint32_t seed) {
    form->setSeedClock([seed] { return seed; });
    form->RandomButton->click();
  }
  int Int(QLineEdit* edit) const {
    bool ok = false;
    const int value = edit->text().toInt(&ok);
    EXPECT_TRUE(ok) << edit->objectName().toStdString() << " '" << edit->text().toStdString()
                    << "'";
    return value;
  }
};

// Seed 0 with "Only automatic" checked, from the start state. The draws, as
// seed -> value (seeds from seed x 134775813 + 1 mod 2^32):
//   2. mechanism 8..10:   1          -> 8  Light Automatic; its rule sets RoF "1" and
//                                           Shots "1" enabled, the hint "RoF: 3-16"
//                                           (empty bore counts 1), chambers and
//                                           barrels "1" disabled, Electric enabled
//   3. electric coin:     134775814  -> 0
//   4. muzzle 0..3:       3698175007 -> 3  Muzzle Port
//   5. extra-low coin:    870078620  -> 0; 6. shotgun, recoilless, cold unchecked
//   7. propellant is Standard: nothing
//   8. gun/launcher coin: 1172187917 -> 0
//   9. configuration 0..5: 2884733762 -> 4 Cannon: bipod enabled, recoilless disabled
//  10. barrel 0..1:       1368768587 -> 0  Short
//  11. propellant 0..5:   694906232  -> 0  unchanged, so no propellant rule
//  12. Gauss HCCB "Standard" (unchanged)
//  13. closed-bolt coin:  1598751577 -> 0; caseless coin: 1828254910 -> 0, which
//      unchecks it: the caseless rule disables the mods and clears them, then
//      "None" is selected in the disabled group
//  14-15. chambers "1", barrels "1"
//  19. RoF 3..16:         352239543  -> 4
//  20. bore 100..1999:    2039224980 -> 1002, "10.02"; hint 160 / 10.02 -> 16
//  22. shots 1..199:      303092965  -> 15
//  23. bipod coin:        3611442298 -> 1
//  24. paper coin:        256513635  -> 0
//  25. camouflage 0..5:   1259699184 -> 1
//  26. HUD link coin:     3939707825 -> 1 (already checked)
//  27. data chip 1580146294 -> 0, green eyes 3327160399 -> 1, cable 1408429452 -> 0,
//      radio 2996491197 -> 1, tiny computer 3625686706 -> 1 (enables the software),
//      encryption 3083712891 -> 1, targeting software 0..1: 1317014376 -> 0
//  28. laser sight 698472713 -> 0, transponder 1415176494 -> 0, rail U 2001542631
//      -> 0, rail O 1059369348 -> 0, rail S 3546253205 -> 1, rail T 1198422506
//      -> 0, recognition grip 2069170579 -> 0 (its rule unchecks and disables
//      the five options; 29 draws nothing)
//  30. diagnostic coin:   640744416  -> 0 (its rule unchecks and disables
//      anti-tampering; no draw for it)
//  31. iron sights 1, SDAT 0, D-tag 1, IFF 1, gravitic 0, smartgrip 1, muzzle
//      weight 1, folding stock 0, disguised 0, rugged 0, CTS 1, ETS 0,
//      space-proof 1 (seeds 3755240289 ... 2546634309)
//  32. accuracy 0..3:     41442138   -> 0; reliability 0..1: 3326357699 -> 1
//  33. styling 0..2:      2794553296 -> 1
TEST_F(GeneratorTest, SeedZeroGivesTheDesignWorkedOutByHand) {
  form->StatblockMemo->setPlainText(QStringLiteral("earlier statblock"));
  Randomize(0);
  EXPECT_TRUE(errors.isEmpty());

  DesignInput expected;  // the start values, then what the click changed
  expected.LoadingMechanismBox = kLightAutomatic;
  expected.MuzzleBox = kMuzzlePort;
  expected.ConfigurationBox = kCannon;
  expected.BarrelBox = kShort;
  expected.CaselessBox = false;
  expected.PLBBox = kPLBNone;
  expected.RoFEdit = "4";
  expected.BoreSizeEdit = Decimal("10", "02").toStdString();
  expected.ShotsEdit = "15";
  expected.BipodBox = true;
  expected.CamouflageBox = 1;
  expected.GreenEyes = true;
  expected.HUDCable = false;
  expected.MicroRadio = true;
  expected.TinyComputer = true;
  expected.SecureEncryption = true;
  expected.MultispectralLaserSightBox = false;
  expected.AccRailS = true;
  expected.RecognitionGripBox = false;
  expected.RGPalm = false;
  expected.DiagnosticComputerBox = false;
  expected.DTagBox = true;
  expected.IFFBox = true;
  expected.SmartgripBox = true;
  expected.MuzzleWeightBox = true;
  expected.CTSBox = true;
  expected.SpaceProof = true;
  expected.QualityReliable = kFine;
  expected.StylingBox = 1;
  EXPECT_EQ(form->ReadInput(), expected);

  EXPECT_FALSE(form->GunLauncherCheckBox->isChecked());
  EXPECT_EQ(form->MaxRoFLabel->text(), QStringLiteral("Max RoF: 16"));
  EXPECT_TRUE(form->RoFEdit->isEnabled());
  EXPECT_TRUE(form->ShotsEdit->isEnabled());
  EXPECT_FALSE(form->BarrelsEdit->isEnabled());
  EXPECT_FALSE(form->ChambersEdit->isEnabled());
  EXPECT_TRUE(form->ElectricBox->isEnabled());
  EXPECT_TRUE(form->BipodBox->isEnabled());
  EXPECT_FALSE(form->RecoillessCheckBox->isEnabled());
  EXPECT_FALSE(form->PLBBox->isEnabled());
  EXPECT_TRUE(form->TargetingSoftware->isEnabled());
  for (QCheckBox* option :
       {form->RGPalm, form->RGVoice, form->RGGlove, form->RGIFF, form->RGGPS, form->AntiTamper}) {
    EXPECT_FALSE(option->isEnabled()) << option->objectName().toStdString();
  }
  EXPECT_TRUE(form->QualityAccurate->isEnabled());
  EXPECT_TRUE(form->QualityReliable->isEnabled());
  EXPECT_EQ(form->StatblockMemo->toPlainText(), QStringLiteral("earlier statblock"));
  EXPECT_EQ(form->randomSource().seed(), 2794553296u);  // 48 draws, the last for styling
}

// The first draw from 0..10 with seed 3601880883 is from seed 0x70000000:
// 0x70000000 x 11 / 2^32 = 4.81 -> 4, the revolver, whose rule reads TL.
TEST_F(GeneratorTest, RevolverWithABadTLStopsTheGenerator) {
  Click(form->OnlyAuto);
  Type(form->TLEdit, QStringLiteral("abc"));
  form->StatblockMemo->setPlainText(QStringLiteral("kept"));
  Randomize(3601880883u);
  EXPECT_EQ(errors, QStringList{"'abc' is not a valid integer value"});
  EXPECT_EQ(form->randomSource().seed(), 0x70000000u);  // no draw after the failure

  DesignInput expected;
  expected.TLEdit = "abc";
  expected.LoadingMechanismBox = kRevolver;
  EXPECT_EQ(form->ReadInput(), expected);
  EXPECT_TRUE(form->ChambersEdit->isEnabled());
  EXPECT_FALSE(form->ElectricBox->isEnabled());
  EXPECT_EQ(form->StatblockMemo->toPlainText(), QStringLiteral("kept"));
}

TEST_F(GeneratorTest, ReseedsFromTheClockOnEveryClick) {
  std::uint32_t ticks = 0;
  form->setSeedClock([&ticks] { return ticks; });
  form->RandomButton->click();
  const DesignInput first = form->ReadInput();
  ticks = 7;
  form->RandomButton->click();
  ticks = 0;
  form->RandomButton->click();
  EXPECT_EQ(form->ReadInput(), first);
}

// Many clicks, each checked against the rules of the generator and the
// interlocks that run inside it, then designed.
TEST_F(GeneratorTest, EveryRandomDesignKeepsTheGeneratorsPromises) {
  const QRegularExpression boreText(QStringLiteral("^[1-9][0-9]?(\\%1[0-9]?[1-9])?$")
                                        .arg(QLatin1Char(TForm1::DecimalSeparator())));
  const QRegularExpression runMessage(QStringLiteral(
      "^('.*' is not a valid (floating point|integer) value|Invalid floating point operation|"
      "Floating point division by zero|Floating point overflow)$"));
  std::set<int> mechanisms;
  bool liquidCaselessSeen = false;
  int completed = 0;

  // The user's own fields, which the generator never touches.
  Type(form->NameEdit, QStringLiteral("Rnd"));
  Type(form->PowerModEdit, QStringLiteral("1"));
  Click(form->HouseDRBox);
  Click(form->HouseGauss);

  for (const bool onlyAuto : {true, false}) {
    if (form->OnlyAuto->isChecked() != onlyAuto) Click(form->OnlyAuto);
    for (std::uint32_t seed = 0; seed < 1500; ++seed) {
      const std::string where =
          "seed " + std::to_string(seed) + (onlyAuto ? " only automatic" : " any mechanism");
      const int propellantBefore = form->PropellantBox->itemIndex();
      form->StatblockMemo->setPlainText(QStringLiteral("before"));
      Randomize(seed * 2654435761u);
      ASSERT_TRUE(errors.isEmpty()) << where;
      EXPECT_EQ(form->StatblockMemo->toPlainText(), QStringLiteral("before")) << where;

      const int m = form->LoadingMechanismBox->itemIndex();
      const int p = form->PropellantBox->itemIndex();
      mechanisms.insert(m);
      ASSERT_GE(m, onlyAuto ? kLightAutomatic : kMuzzleloader) << where;
      ASSERT_LE(m, kElectricGatling) << where;

      // Shots, chambers, barrels and RoF by mechanism.
      const int shots = Int(form->ShotsEdit);
      if (m > kMechanicalGatling) {
        EXPECT_TRUE(shots >= 1 && shots <= 199) << where;
      } else {
        EXPECT_EQ(shots, 1) << where;
      }
      const int rof = Int(form->RoFEdit);
      const int barrels = Int(form->BarrelsEdit);
      const int chambers = Int(form->ChambersEdit);
      switch (m) {
        case kRevolver:
          EXPECT_TRUE(chambers >= 2 && chambers <= 11) << where;
          EXPECT_EQ(rof, 3) << where;
          EXPECT_EQ(barrels, 1) << where;
          break;
        case kMechanicalGatling:
          EXPECT_EQ(rof, 15) << where;
          EXPECT_EQ(barrels, 1) << where;
          break;
        case kLightAutomatic:
          EXPECT_TRUE(rof >= 3 && rof <= 16) << where;
          break;
        case kHeavyAutomatic:
          EXPECT_TRUE(rof >= 3 && rof <= 20) << where;
          break;
        case kElectricGatling:
          // Bores stay under 20 mm: the ceiling is barrels x 16.67.
          EXPECT_TRUE(barrels >= 1 && barrels <= 11) << where;
          EXPECT_GE(rof, 3) << where;
          EXPECT_LE(rof, RoundHalfEven(ext(barrels) * 16.67)) << where;
          break;
        default:
          EXPECT_EQ(rof, 1) << where;
      }
      if (m != kRevolver) {
        EXPECT_EQ(chambers, 1) << where;
      }
      if (m != kMuzzleloader && m != kMuzzleloaderCarriage && m != kBreechloader &&
          m != kElectricGatling) {
        EXPECT_EQ(barrels, 1) << where;
      } else {
        EXPECT_TRUE(barrels >= 1 && barrels <= 11) << where;
      }

      // The bore, in hundredths of a millimetre, by propellant.
      const QString bore = form->BoreSizeEdit->text();
      EXPECT_TRUE(boreText.match(bore).hasMatch()) << where << " bore " << bore.toStdString();
      const double mm = FloatOr(bore.toStdString(), TForm1::DecimalSeparator(), -1);
      const double top = p == kGauss ? 9.99 : p == kGrav ? 7.99 : 19.99;
      EXPECT_TRUE(mm >= 1 && mm <= top) << where << " bore " << mm;

      // The hint matches the final bore and barrels.
      const QString hint = form->MaxRoFLabel->text();
      form->FormKeyPress();
      EXPECT_EQ(form->MaxRoFLabel->text(), hint) << where;

      // Electromagnetic guns.
      if (p == kGauss || p == kGrav) {
        EXPECT_FALSE(form->CaselessBox->isChecked()) << where;
        EXPECT_FALSE(form->ClosedBoltBox->isChecked()) << where;
        EXPECT_FALSE(form->RecoillessCheckBox->isChecked()) << where;
        EXPECT_EQ(form->PLBBox->itemIndex(), kPLBNone) << where;
      }
      if (p == kGauss && propellantBefore != kGauss) {
        EXPECT_TRUE(form->ElectricBox->isChecked()) << where;
        EXPECT_FALSE(form->ElectricBox->isEnabled()) << where;
        EXPECT_FALSE(form->CaselessBox->isEnabled()) << where;
        EXPECT_FALSE(form->ClosedBoltBox->isEnabled()) << where;
      }
      if (p == kLiquid && form->CaselessBox->isChecked() && form->PLBBox->isEnabled()) {
        liquidCaselessSeen = true;
      }

      // Quality: a cheap draw ends with cheap reliability and normal accuracy.
      const int accurate = form->QualityAccurate->itemIndex();
      const int reliable = form->QualityReliable->itemIndex();
      EXPECT_NE(accurate, kCheap) << where;
      if (reliable == kCheap) {
        EXPECT_EQ(accurate, kNormal) << where;
        EXPECT_FALSE(form->QualityAccurate->isEnabled()) << where;
        EXPECT_TRUE(form->QualityReliable->isEnabled()) << where;
      } else {
        EXPECT_TRUE(reliable == kNormal || reliable == kFine) << where;
        EXPECT_TRUE(form->QualityAccurate->isEnabled()) << where;
      }

      // Options the generator never chooses.
      EXPECT_NE(form->BarrelBox->itemIndex(), kLong) << where;
      EXPECT_NE(form->MuzzleBox->itemIndex(), kZeroGCompensator) << where;
      EXPECT_NE(form->CamouflageBox->itemIndex(), 6) << where;
      EXPECT_NE(form->PLBBox->itemIndex(), kPreloaded) << where;
      EXPECT_NE(form->TargetingSoftware->itemIndex(), 2) << where;
      EXPECT_NE(form->StylingBox->itemIndex(), 3) << where;
      if (form->ConfigurationBox->itemIndex() <= kSMG) {
        EXPECT_FALSE(form->BipodBox->isChecked()) << where;
      }
      if (!form->HUDLinkBox->isChecked()) {
        EXPECT_FALSE(form->TinyComputer->isChecked()) << where;
        EXPECT_EQ(form->TargetingSoftware->itemIndex(), 0) << where;
      }

      // The user's own fields.
      EXPECT_EQ(form->NameEdit->text(), QStringLiteral("Rnd")) << where;
      EXPECT_EQ(form->TLEdit->text(), QStringLiteral("9")) << where;
      EXPECT_TRUE(form->HouseDRBox->isChecked() && form->HouseGauss->isChecked()) << where;
      EXPECT_EQ(form->OnlyAuto->isChecked(), onlyAuto) << where;

      // Design completes, or stops with one of the run's own messages.
      PressButton(form->DesignButton);
      const QStringList pane = Pane();
      ASSERT_FALSE(pane.isEmpty()) << where;
      EXPECT_EQ(pane.front(), QStringLiteral("Rnd (TL9)")) << where;
      if (errors.isEmpty()) {
        ++completed;
        EXPECT_TRUE(pane.back().startsWith(QLatin1String("LC "))) << where;
      } else {
        EXPECT_EQ(errors.size(), 1) << where;
        EXPECT_TRUE(runMessage.match(errors.front()).hasMatch())
            << where << ": " << errors.front().toStdString();
        errors.clear();
      }
    }
  }
  EXPECT_EQ(mechanisms.size(), 11u);
  EXPECT_TRUE(liquidCaselessSeen);
  // With a valid TL and no KYOS strength (which a cannon cannot have), every
  // random design runs to its last line.
  EXPECT_EQ(completed, 3000);
}

}  // namespace
