// Damage: how many dice the weapon rolls, and its wound suffix.
#include "internal/run.h"

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

// The wound suffix with its leading space: the armour divisor of a Gauss slug
// (unless the house rule drops it) and the wounding class by bore.
std::string_view WoundSuffix(const DesignInput& in, double bore) {
  static constexpr std::string_view kPiercing[2][4] = {
      {" pi++", " pi+", " pi", " pi-"},
      {" (3) pi++", " (3) pi+", " (3) pi", " (3) pi-"},
  };
  const bool gauss = in.PropellantBox == kGauss;
  if (in.PropellantBox == kGrav) return " (10) imp inc";
  const std::string_view(&row)[4] = kPiercing[gauss && !in.HouseGauss ? 1 : 0];
  if (bore >= 15) return row[0];
  if (bore >= 10) return row[1];
  if (bore >= 8) return row[2];
  if (bore >= 5.9L && in.ConfigurationBox > kSMG) return row[2];
  if (bore >= 4 && gauss && in.HouseGauss) return row[2];
  return row[3];
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

  const std::string_view suffix = WoundSuffix(in, r.q.BoreMm);
  r.Line("Damage: ", Dice{dice}, suffix);
  if (r.VelocityVariants()) {
    const std::string_view drained =
        in.PropellantBox == kLiquid ? "propellant bottle"sv : "magazine cell"sv;
    r.Line("-Boosted Velocity: ", Dice{Times(dice, 1.25)}, suffix,
           ". Each shot counts as 1.5 shots for purposes of draining the ", drained, ".");
    r.Line("-Low Velocity: ", Dice{Times(dice, 0.5)}, suffix,
           ". Rolls to hear the weapon fire are made at -3. Each shot counts as 1/4 shot for "
           "purposes of draining the ",
           drained, ".");
  }
}

}  // namespace brennick
