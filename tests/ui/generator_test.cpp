// The random design generator: one click worked out draw by draw, and the
// invariants of many clicks.
#include <QRegularExpression>
#include <set>
#include <string>

#include "engine/number_text.h"
#include "tests/support/worked_designs.h"
#include "tests/ui/support.h"

namespace {

using namespace brennick;

class GeneratorTest : public FormTest {
 protected:
  void Randomize(std::uint32_t seed) {
    form->setSeedClock([seed] { return seed; });
    Control<QPushButton>(*form, "RandomButton")->click();
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
  Control<QPlainTextEdit>(*form, "StatblockMemo")
      ->setPlainText(QStringLiteral("earlier statblock"));
  Randomize(0);
  EXPECT_TRUE(errors.isEmpty());

  const DesignInput expected = examples::SeedZeroOnlyAutomatic(TForm1::DecimalSeparator());
  EXPECT_EQ(form->ReadInput(), expected);

  // Gun/launcher, hint, RoF, Shots, Barrels, Chambers, Electric, Bipod,
  // Recoilless, Caseless Mods, Targeting Software, grip options, qualities.
  EXPECT_EQ(
      Snap({Control<QCheckBox>(*form, "GunLauncherCheckBox"), Control<QLabel>(*form, "MaxRoFLabel"),
            Control<QLineEdit>(*form, "RoFEdit"), Control<QLineEdit>(*form, "ShotsEdit"),
            Control<QLineEdit>(*form, "BarrelsEdit"), Control<QLineEdit>(*form, "ChambersEdit"),
            Control<QCheckBox>(*form, "ElectricBox"), Control<QCheckBox>(*form, "BipodBox"),
            Control<QCheckBox>(*form, "RecoillessCheckBox"), Control<TRadioGroup>(*form, "PLBBox"),
            Control<TRadioGroup>(*form, "TargetingSoftware"), Control<QCheckBox>(*form, "RGPalm"),
            Control<QCheckBox>(*form, "RGGlove"), Control<QCheckBox>(*form, "AntiTamper"),
            Control<TRadioGroup>(*form, "QualityAccurate"),
            Control<TRadioGroup>(*form, "QualityReliable")}),
      "- off | Max RoF: 16 | 4 on | 15 on | 1 off | 1 off | - on | x on | - off | 0 off | "
      "0 on | - off | - off | - off | 0 on | 1 on");
  EXPECT_EQ(Control<QPlainTextEdit>(*form, "StatblockMemo")->toPlainText(),
            QStringLiteral("earlier statblock"));
  EXPECT_EQ(form->randomSource().seed(), 2794553296u);  // 48 draws, the last for styling
}

// The first draw from 0..10 with seed 3601880883 is from seed 0x70000000:
// 0x70000000 x 11 / 2^32 = 4.81 -> 4, the revolver, whose rule reads TL.
TEST_F(GeneratorTest, RevolverWithABadTLStopsTheGenerator) {
  Click(Control<QCheckBox>(*form, "OnlyAuto"));
  Type(Control<QLineEdit>(*form, "TLEdit"), QStringLiteral("abc"));
  Control<QPlainTextEdit>(*form, "StatblockMemo")->setPlainText(QStringLiteral("kept"));
  Randomize(3601880883u);
  EXPECT_EQ(errors, QStringList{"'abc' is not a valid integer value"});
  EXPECT_EQ(form->randomSource().seed(), 0x70000000u);  // no draw after the failure

  DesignInput expected;
  expected.TLEdit = "abc";
  expected.LoadingMechanismBox = kRevolver;
  EXPECT_EQ(form->ReadInput(), expected);
  EXPECT_TRUE(Control<QLineEdit>(*form, "ChambersEdit")->isEnabled());
  EXPECT_FALSE(Control<QCheckBox>(*form, "ElectricBox")->isEnabled());
  EXPECT_EQ(Control<QPlainTextEdit>(*form, "StatblockMemo")->toPlainText(), QStringLiteral("kept"));
}

TEST_F(GeneratorTest, ReseedsFromTheClockOnEveryClick) {
  std::uint32_t ticks = 0;
  form->setSeedClock([&ticks] { return ticks; });
  Control<QPushButton>(*form, "RandomButton")->click();
  const DesignInput first = form->ReadInput();
  ticks = 7;
  Control<QPushButton>(*form, "RandomButton")->click();
  ticks = 0;
  Control<QPushButton>(*form, "RandomButton")->click();
  EXPECT_EQ(form->ReadInput(), first);
}

// Many clicks, each checked against the generator's promises and the rules
// that run inside it, then designed.
TEST_F(GeneratorTest, EveryRandomDesignKeepsTheGeneratorsPromises) {
  const QRegularExpression boreText(QStringLiteral("^[1-9][0-9]?(\\%1[0-9]?[1-9])?$")
                                        .arg(QLatin1Char(TForm1::DecimalSeparator())));
  const QRegularExpression runMessage(QStringLiteral(
      "^('.*' is not a valid (floating point|integer) value|Invalid floating point operation|"
      "Floating point division by zero|Floating point overflow)$"));
  const auto number = [](QLineEdit* edit) { return edit->text().toInt(); };
  std::set<int> mechanisms;
  bool liquidCaseless = false;
  int completed = 0;

  // The user's own fields, which the generator never touches.
  Type(Control<QLineEdit>(*form, "NameEdit"), QStringLiteral("Rnd"));
  Click(Control<QCheckBox>(*form, "HouseDRBox"));
  for (const bool onlyAuto : {true, false}) {
    if (Control<QCheckBox>(*form, "OnlyAuto")->isChecked() != onlyAuto)
      Click(Control<QCheckBox>(*form, "OnlyAuto"));
    for (std::uint32_t i = 0; i < 1500; ++i) {
      const std::uint32_t seed = i * 2654435761u;
      const std::string where = "seed " + std::to_string(seed);
      const int propellantBefore = Control<TRadioGroup>(*form, "PropellantBox")->itemIndex();
      Control<QPlainTextEdit>(*form, "StatblockMemo")->setPlainText(QStringLiteral("before"));
      Randomize(seed);
      ASSERT_TRUE(errors.isEmpty()) << where;
      EXPECT_EQ(Control<QPlainTextEdit>(*form, "StatblockMemo")->toPlainText(),
                QStringLiteral("before"))
          << where;

      const int m = Control<TRadioGroup>(*form, "LoadingMechanismBox")->itemIndex();
      const int p = Control<TRadioGroup>(*form, "PropellantBox")->itemIndex();
      const int rof = number(Control<QLineEdit>(*form, "RoFEdit")),
                shots = number(Control<QLineEdit>(*form, "ShotsEdit"));
      const int barrels = number(Control<QLineEdit>(*form, "BarrelsEdit")),
                chambers = number(Control<QLineEdit>(*form, "ChambersEdit"));
      mechanisms.insert(m);
      ASSERT_TRUE(m >= (onlyAuto ? kLightAutomatic : kMuzzleloader) && m <= kElectricGatling);
      EXPECT_TRUE(m > kMechanicalGatling ? shots >= 1 && shots <= 199 : shots == 1) << where;
      EXPECT_TRUE(m == kRevolver ? chambers >= 2 && chambers <= 11 : chambers == 1) << where;
      const bool manyBarrels = m <= kBreechloader || m == kElectricGatling;
      EXPECT_TRUE(manyBarrels ? barrels >= 1 && barrels <= 11 : barrels == 1) << where;
      const int maxRoF = m == kLightAutomatic   ? 16
                         : m == kHeavyAutomatic ? 20
                         : m == kElectricGatling
                             ? static_cast<int>(RoundHalfEven(ext(barrels) * 16.67))
                             : 0;
      const int fixedRoF = m == kRevolver ? 3 : m == kMechanicalGatling ? 15 : 1;
      EXPECT_TRUE(maxRoF ? rof >= 3 && rof <= maxRoF : rof == fixedRoF) << where << " " << rof;

      // The bore in hundredths of a millimetre, smaller for Gauss and Grav;
      // the hint already matches the final bore and barrels.
      const QString bore = Control<QLineEdit>(*form, "BoreSizeEdit")->text();
      const double mm = FloatOr(bore.toStdString(), TForm1::DecimalSeparator(), -1);
      EXPECT_TRUE(boreText.match(bore).hasMatch()) << where << " " << bore.toStdString();
      EXPECT_TRUE(mm >= 1 && mm <= (p == kGauss ? 9.99 : p == kGrav ? 7.99 : 19.99)) << where;
      const QString hint = Control<QLabel>(*form, "MaxRoFLabel")->text();
      form->FormKeyPress();
      EXPECT_EQ(Control<QLabel>(*form, "MaxRoFLabel")->text(), hint) << where;

      if (p == kGauss || p == kGrav) {
        EXPECT_FALSE(Control<QCheckBox>(*form, "CaselessBox")->isChecked() ||
                     Control<QCheckBox>(*form, "ClosedBoltBox")->isChecked() ||
                     Control<QCheckBox>(*form, "RecoillessCheckBox")->isChecked())
            << where;
        EXPECT_EQ(Control<TRadioGroup>(*form, "PLBBox")->itemIndex(), kPLBNone) << where;
      }
      if (p == kGauss && propellantBefore != kGauss) {
        EXPECT_EQ(Snap({Control<QCheckBox>(*form, "ElectricBox"),
                        Control<QCheckBox>(*form, "CaselessBox"),
                        Control<QCheckBox>(*form, "ClosedBoltBox")}),
                  "x off | - off | - off")
            << where;
      }
      liquidCaseless |= p == kLiquid && Control<QCheckBox>(*form, "CaselessBox")->isChecked() &&
                        Control<TRadioGroup>(*form, "PLBBox")->isEnabled();

      // Cheap accuracy ends as normal accuracy (disabled) and cheap reliability.
      const QString quality = Snap({Control<TRadioGroup>(*form, "QualityAccurate"),
                                    Control<TRadioGroup>(*form, "QualityReliable")});
      EXPECT_TRUE(quality == "0 off | 3 on" ||
                  QRegularExpression("^[0-2] on \\| [01] on$").match(quality).hasMatch())
          << where << " " << quality.toStdString();

      // Options the generator never chooses, and the ones it must leave.
      EXPECT_NE(Control<TRadioGroup>(*form, "BarrelBox")->itemIndex(), kLong) << where;
      EXPECT_NE(Control<TRadioGroup>(*form, "MuzzleBox")->itemIndex(), kZeroGCompensator) << where;
      EXPECT_NE(Control<TRadioGroup>(*form, "CamouflageBox")->itemIndex(), 6)
          << where;  // ultimate chameleon
      EXPECT_NE(Control<TRadioGroup>(*form, "PLBBox")->itemIndex(), kPreloaded) << where;
      EXPECT_NE(Control<TRadioGroup>(*form, "TargetingSoftware")->itemIndex(), 2) << where;
      EXPECT_NE(Control<TRadioGroup>(*form, "StylingBox")->itemIndex(), 3) << where;
      EXPECT_EQ(
          Snap({Control<QLineEdit>(*form, "NameEdit"), Control<QLineEdit>(*form, "TLEdit"),
                Control<QCheckBox>(*form, "HouseDRBox"), Control<QCheckBox>(*form, "OnlyAuto")}),
          QStringLiteral("Rnd on | 9 on | x on | %1 on").arg(onlyAuto ? "x" : "-"))
          << where;

      // Design completes, or stops with one of the run's own messages.
      Press(Control<QPushButton>(*form, "DesignButton"));
      if (errors.isEmpty()) {
        ++completed;
        EXPECT_TRUE(Pane().back().startsWith(QLatin1String("LC "))) << where;
      } else {
        EXPECT_TRUE(errors.size() == 1 && runMessage.match(errors.front()).hasMatch())
            << where << ": " << errors.join(' ').toStdString();
        errors.clear();
      }
    }
  }
  EXPECT_EQ(mechanisms.size(), 11u);
  EXPECT_TRUE(liquidCaseless);
  // With a valid TL and no KYOS strength (which a cannon cannot have), every
  // random design runs to its last line.
  EXPECT_EQ(completed, 3000);
}

}  // namespace
