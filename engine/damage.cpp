// Damage: how many dice the weapon rolls, and its wound suffix.
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "engine/ext.h"
#include "engine/internal/run.h"

namespace brennick {
namespace {

using namespace std::string_view_literals;

// Damage factor by configuration, propellant row (chemical, Gauss, Grav) and
// barrel length (Short, Medium, Long).
constexpr double kDamageBarrelFactor[4][3][3] = {
    {{0.25, 0.33, 0.37}, {0.33, 0.77, 0.9}, {0.2, 0.33, 0.44}},  // Pistol
    {{0.37, 0.46, 0.51}, {0.8, 1.0, 1.11}, {0.42, 0.62, 0.67}},  // SMG
    {{0.54, 0.84, 1.1}, {0.8, 1.61, 1.72}, {0.64, 1.0, 1.2}},    // Rifle
    {{0.83, 1.1, 1.3}, {0.85, 1.63, 1.81}, {1.0, 1.3, 1.6}},     // Support
};

// The wound suffix with its leading space, and why: the armour divisor of a
// Gauss slug (unless the house rule drops it) and the wounding class by bore.
struct Wound {
  std::string_view suffix;
  const char* why;  // the bore's band in the derivation's words; null for Grav
};
Wound WoundOf(const DesignInput& in, double bore) {
  static constexpr std::string_view kPiercing[2][4] = {
      {" pi++", " pi+", " pi", " pi-"},
      {" (3) pi++", " (3) pi+", " (3) pi", " (3) pi-"},
  };
  const bool gauss = in.PropellantBox == kGauss;
  if (in.PropellantBox == kGrav) return {" (10) imp inc", nullptr};
  const std::string_view(&row)[4] = kPiercing[gauss && !in.HouseGauss ? 1 : 0];
  if (bore >= 15) return {row[0], "bore 15 mm or more"};
  if (bore >= 10) return {row[1], "bore 10 mm to below 15 mm"};
  if (bore >= 8) return {row[2], "bore 8 mm to below 10 mm"};
  if (bore >= 5.9_ext && in.ConfigurationBox > kSMG) {
    return {row[2], "bore 5.9 mm to below 8 mm on a long arm"};
  }
  if (bore >= 4 && gauss && in.HouseGauss) {
    return {row[2], "bore 4 mm to below 5.9 mm, Gauss under the house rule"};
  }
  return {row[3], "a small bore"};
}

// How a number of dice is written, and why.
std::string DiceReason(const DesignRun& r, double dice) {
  const std::string n = r.Num(dice);
  const DiceWriting written = DiceWritingOf(dice);
  if (written.band == nullptr) {
    std::string bands;
    for (const SmallDiceBand& band : kSmallDiceBands) {
      bands += bands.empty() ? "up to " : "; ";
      bands += std::string(band.limit) + ": 1" + std::string(band.suffix.text());
    }
    return n + " dice, below 1 die: written " + DiceText(dice) + " (" + bands + "; above: 1" +
           std::string(kAboveSmallDice.text()) + ")";
  }
  return n + " dice: " + IntText(written.whole) + " whole dice and a fraction of " +
         r.Num(written.fraction) + " (" + written.band->reason + "): " + DiceText(dice);
}

// Why the wound suffix is what it is.
std::string WoundReason(const DesignInput& in, const Wound& wound) {
  const std::string written = "wound suffix" + std::string(wound.suffix);
  if (wound.why == nullptr) return "A Grav weapon's projectile: " + written;
  std::string why = wound.why;
  if (in.PropellantBox == kGauss && !in.HouseGauss) why += ", armour divisor (3) of a Gauss slug";
  return "Wound class by " + why + ": " + written;
}

// The steps of the damage line.
[[gnu::cold, gnu::noinline]] void ExplainDamage(DesignRun& r, double tableFactor,
                                                double barrelFactor, double loadingFactor,
                                                double tlFactor, const Wound& wound) {
  const DesignInput& in = r.in;
  const int config = in.ConfigurationBox;
  const int barrel = BarrelColumn(in.BarrelBox);
  Derivation d;
  d.push_back("Bore Size, mm " + Quoted(in.BoreSizeEdit) + " read as " + r.Num(r.q.BoreMm));
  d.push_back("PowerMod " + Quoted(in.PowerModEdit) + " read as " + r.Num(r.q.PowerMod));
  if (!IsTabledConfiguration(config)) {
    d.push_back("A " + std::string(ConfigurationName(config)) +
                " has no damage table: barrel factor 0 and TL factor 0");
  } else if (barrel < 0) {
    d.push_back("No barrel length selected: barrel factor 0");
  } else {
    d.push_back("Damage table, " + std::string(ConfigurationName(config)) + ", " +
                std::string(BarrelName(barrel)) + ", " +
                std::string(PropellantRow(in.PropellantBox) == 0
                                ? "chemical propellant"
                                : PropellantName(in.PropellantBox)) +
                ": barrel factor " + r.Num(tableFactor));
  }
  if (barrelFactor != tableFactor) {
    d.push_back("Shotgun on a long arm: barrel factor x 0.95 = " + r.Num(barrelFactor));
  }
  const int mech = in.LoadingMechanismBox;
  std::string loading = std::string(MechanismName(mech)) + ": loading factor " +
                        (mech >= kMuzzleloader && mech <= kBreechloader ? "0.5" : "1");
  if (in.ExtraLowBox) loading += ", x 0.5 extra-low-powered";
  if (in.HouseGauss && in.PropellantBox == kGauss) loading += ", x 1.25 houseruled Gauss";
  d.push_back(loading + " = " + r.Num(loadingFactor));
  if (IsTabledConfiguration(config)) {
    std::string tl = r.TLRead() + ": TL factor " + r.Num(tlFactor);
    if (tlFactor == 0.45) tl += " (TL 0 to 8)";
    if (tlFactor == 1.0) tl += " (TL 9 to 12)";
    if (tlFactor == 0) tl += " (TL outside the tables, 0 to 12)";
    d.push_back(tl);
  }
  const ext product = ext(r.q.BoreMm) * barrelFactor * loadingFactor * tlFactor * r.q.PowerMod;
  d.push_back("Dice = bore x barrel factor x loading factor x TL factor x PowerMod = " +
              r.Num(r.q.BoreMm) + " x " + r.Num(barrelFactor) + " x " + r.Num(loadingFactor) +
              " x " + r.Num(tlFactor) + " x " + r.Num(r.q.PowerMod) + " = " + r.Num(product));
  double dice = StoreDouble(product);
  if (in.PropellantBox == kETC || in.PropellantBox == kETK) {
    const double f =
        in.PropellantBox == kETC ? (in.HouseETCBox ? 1.25 : 1.5) : (in.HouseETCBox ? 1.5 : 2.0);
    dice = Times(dice, f);
    d.push_back(std::string(PropellantName(in.PropellantBox)) +
                (in.HouseETCBox ? " (houseruled)" : "") + ": x " + r.Num(f) + " = " + r.Num(dice));
  }
  if (in.MuzzleBox == kMuzzlePort) {
    d.push_back("Muzzle Port: - 0.25 = " + r.Num(r.q.DamageDice));
  }
  d.push_back(DiceReason(r, r.q.DamageDice));
  d.push_back(WoundReason(in, wound));
  r.Explained(std::move(d), 8);
}

// The steps of a velocity variant's damage line.
[[gnu::cold, gnu::noinline]] void ExplainVariantDamage(DesignRun& r, bool boosted,
                                                       std::string_view suffix) {
  const double dice = Times(r.q.DamageDice, boosted ? 1.25 : 0.5);
  Derivation d;
  d.push_back(std::string(boosted ? "Boosted velocity" : "Low velocity") + ": damage dice " +
              r.Num(r.q.DamageDice) + " x " + (boosted ? "1.25" : "0.5") + " = " + r.Num(dice));
  d.push_back(DiceReason(r, dice));
  d.push_back("The wound suffix and the propellant's draining sentence follow:" +
              std::string(suffix));
  r.Explained(std::move(d), boosted ? 19 : 15);
}

}  // namespace

void RunDamageStage(DesignRun& r) {
  const DesignInput& in = r.in;
  const int config = in.ConfigurationBox;
  const int barrel = BarrelColumn(in.BarrelBox);

  double barrelFactor = 0;
  if (IsTabledConfiguration(config) && barrel >= 0) {
    barrelFactor = kDamageBarrelFactor[config][PropellantRow(in.PropellantBox)][barrel];
  }
  const double tableFactor = barrelFactor;
  // Shot spreads its energy: long arms lose a little, pistols nothing.
  if (in.ShotgunBox && config >= kSMG && config <= kSupport) {
    barrelFactor = Times(barrelFactor, 0.95);
  }

  const int mech = in.LoadingMechanismBox;
  double loadingFactor = mech >= kMuzzleloader && mech <= kBreechloader ? 0.5 : 1.0;
  if (in.ExtraLowBox) loadingFactor *= 0.5;
  if (in.HouseGauss && in.PropellantBox == kGauss) loadingFactor *= 1.25;

  double tlFactor = 0;
  if (IsTabledConfiguration(config)) {
    const std::int32_t tl = r.StrictTL();
    if (tl >= 0 && tl <= 8) {
      tlFactor = 0.45;
    } else if (tl >= 9 && tl <= 12) {
      tlFactor = 1.0;
    }
  }

  double dice =
      StoreDouble(ext(r.q.BoreMm) * barrelFactor * loadingFactor * tlFactor * r.q.PowerMod);
  if (in.PropellantBox == kETC) dice = Times(dice, in.HouseETCBox ? 1.25 : 1.5);
  if (in.PropellantBox == kETK) dice = Times(dice, in.HouseETCBox ? 1.5 : 2.0);
  if (in.MuzzleBox == kMuzzlePort) dice = StoreDouble(ext(dice) - 0.25);
  r.q.DamageDice = dice;

  const Wound wound = WoundOf(in, r.q.BoreMm);
  const std::string_view suffix = wound.suffix;
  r.Line("Damage: ", Dice{dice}, suffix);
  if (r.explain) [[unlikely]] {
    ExplainDamage(r, tableFactor, barrelFactor, loadingFactor, tlFactor, wound);
  }
  if (r.VelocityVariants()) {
    const std::string_view drained =
        in.PropellantBox == kLiquid ? "propellant bottle"sv : "magazine cell"sv;
    r.Line("-Boosted Velocity: ", Dice{Times(dice, 1.25)}, suffix,
           ". Each shot counts as 1.5 shots for purposes of draining the ", drained, ".");
    if (r.explain) [[unlikely]]
      ExplainVariantDamage(r, true, suffix);
    r.Line("-Low Velocity: ", Dice{Times(dice, 0.5)}, suffix,
           ". Rolls to hear the weapon fire are made at -3. Each shot counts as 1/4 shot for "
           "purposes of draining the ",
           drained, ".");
    if (r.explain) [[unlikely]]
      ExplainVariantDamage(r, false, suffix);
  }
}

}  // namespace brennick
