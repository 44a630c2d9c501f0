// Weight: the gun's body, its accessories, magazine and cells, and a full load
// of ammunition. Sets the empty, loaded and per-shot weights for later stages.
#include "internal/run.h"

namespace brennick {
namespace {

// Body-weight factor by configuration, propellant row (chemical, Gauss, Grav)
// and barrel length (Short, Medium, Long).
constexpr double kConfigurationFactor[4][3][3] = {
    {{0.035, 0.085, 0.24}, {0.035, 0.32, 0.52}, {0.35, 1.2, 2.0}},  // Pistol
    {{0.12, 0.21, 0.35}, {0.25, 0.76, 1.2}, {0.45, 0.95, 1.5}},     // SMG
    {{0.36, 0.42, 0.46}, {1.25, 1.55, 1.65}, {1.85, 2.14, 3.25}},   // Rifle
    {{0.36, 0.42, 0.46}, {2.25, 2.75, 3.15}, {3.95, 4.75, 6.15}},   // Support
};

// Body-weight factor by configuration for TL 0-8, TL 9 and TL 10-12. Support
// weapons only get lighter at TL 10.
constexpr double kTLWeightFactor[4][3] = {
    {1.4, 1.2, 1.2},  // Pistol
    {1.4, 1.2, 1.2},  // SMG
    {1.4, 1.2, 1.2},  // Rifle
    {1.7, 1.7, 1.2},  // Support
};

// Action weight by loading mechanism. The revolver and the electric Gatling
// also grow with their chambers or barrels (see MechanismFactor).
constexpr double kMechanismFactor[11] = {
    0.2,   // Muzzleloader
    0.4,   // Muzzleloader with a carriage
    0.6,   // Breechloader
    0.4,   // Manual Repeater
    0.5,   // Revolver, plus 0.05 per chamber
    1.5,   // Mechanical Gatling
    0.75,  // Slow Autoloader
    1.0,   // Fast Autoloader
    1.0,   // Light Automatic
    1.5,   // Heavy Automatic
    1.5,   // Electric Gatling, plus 0.3 per barrel
};

// Scale of the bore class: bigger guns carry proportionally heavier actions.
struct BoreClass {
  double above;
  double factor;
};
constexpr BoreClass kBoreClasses[] = {{60, 1.0}, {50, 0.75}, {40, 0.5}, {25, 0.375}};
constexpr double kSmallBoreFactor = 0.25;

// Camouflage weight by item: none and paint weigh nothing, the programmable
// skin half a pound, the chameleon surfaces a pound.
constexpr double kCamouflageWeight[7] = {0, 0, 0.5, 1.0, 1.0, 1.0, 1.0};

// A cell's weight: {standard cell, paper cell}. Paper cells weigh a tenth.
struct Cell {
  double standard;
  double paper;
};
constexpr Cell kCellA = {0.005, 0.0005};
constexpr Cell kCellB = {0.05, 0.005};
constexpr Cell kCellC = {0.5, 0.05};
constexpr Cell kCellD = {5.0, 0.5};
constexpr Cell kNoCell = {0, 0};
// The built-in cell of two B cells of an SMG.
constexpr Cell kTwoCellsB = {0.1, 0.01};

// Built-in cell of a Gauss or Grav weapon, by configuration (none for a
// Cannon).
constexpr Cell kBuiltInCell[5] = {kCellB, kTwoCellsB, kCellC, kCellD, kNoCell};

// Removable energy cell of an ETC/ETK Pistol, SMG or Rifle: {light cell (ETC,
// or ETK under the house rule), heavy cell (ETK)}.
constexpr Cell kEnergyCell[3][2] = {{kCellA, kCellB}, {kCellB, kCellC}, {kCellC, kCellD}};

double CellWeight(const Cell& cell, bool paper) {
  return paper ? cell.paper : cell.standard;
}

double ConfigurationFactor(const DesignInput& in) {
  const int barrel = BarrelColumn(in.BarrelBox);
  if (!IsTabledConfiguration(in.ConfigurationBox) || barrel < 0) return 0;
  return kConfigurationFactor[in.ConfigurationBox][PropellantRow(in.PropellantBox)][barrel];
}

double TLWeightFactor(int config, std::int32_t tl) {
  if (!IsTabledConfiguration(config)) return 0;
  if (tl >= 0 && tl <= 8) return kTLWeightFactor[config][0];
  if (tl == 9) return kTLWeightFactor[config][1];
  if (tl >= 10 && tl <= 12) return kTLWeightFactor[config][2];
  return 0;
}

double BoreClassFactor(double effectiveBore) {
  for (const BoreClass& c : kBoreClasses) {
    if (effectiveBore > c.above) return c.factor;
  }
  return kSmallBoreFactor;
}

double MechanismFactor(const DesignRun& r) {
  const int mech = r.in.LoadingMechanismBox;
  if (mech < kMuzzleloader || mech > kElectricGatling) return 0;
  const double base = kMechanismFactor[mech];
  if (mech == kRevolver) {
    const double chambers = FloatOr(r.in.ChambersEdit, r.dec, 1.0);
    return StoreDouble(base + ext(0.05) * chambers);
  }
  if (mech == kElectricGatling) {
    const double barrels = FloatOr(r.in.BarrelsEdit, r.dec, 1.0);
    return StoreDouble(base + ext(0.3) * barrels);
  }
  return base;
}

// The muzzle attachment's weight. Handguns take a small brake; a long arm a
// big one, unless the load is gentle enough (extra-low-powered rifle, or shot)
// for a lighter one.
double MuzzleAttachmentWeight(const DesignInput& in) {
  const int config = in.ConfigurationBox;
  switch (in.MuzzleBox) {
    case kCompensator:
      if (config == kPistol || config == kSMG) return 0.1;
      if ((config == kRifle && in.ExtraLowBox) || in.ShotgunBox) return 0.25;
      return 0.35;
    case kFlashHider:
      return 0.1;
    case kZeroGCompensator:
      return 0.5;
    default:
      return 0;
  }
}

// Fixed additions: the spare B cell, sights, rails, electronics, camouflage,
// muzzle devices and stock, added one after another, each sum rounded to a
// double. The weights lie between a few thousandths of a pound and two pounds
// and the total stays below eight, so each sum is exact at extended precision
// and rounds as a plain sum of doubles does: the additions are made in
// doubles, and what is not fitted adds 0 rather than being left out.
double AccessoryWeight(const DesignInput& in) {
  double acc = CellWeight(kCellB, in.PaperBox);
  const auto add = [&acc](bool fitted, double w) { acc += fitted ? w : 0.0; };
  add(in.IronSightsBox, in.ConfigurationBox == kPistol ? 0.1 : 0.2);
  // The electric Gatling's motor runs from a cell of its own.
  add(in.LoadingMechanismBox == kElectricGatling, CellWeight(kCellB, in.PaperBox));
  add(in.AccRailS, 0.2);
  add(in.AccRailT, 0.2);
  add(in.AccRailU, 0.2);
  add(in.AccRailO, 0.2);
  add(in.CTSBox, 0.5);
  add(in.ETSBox, 2.0);
  add(in.DataChip, 0.01);
  add(in.TinyComputer, 0.05);
  acc += ItemOr(kCamouflageWeight, in.CamouflageBox, 0.0);
  add(in.MuzzleWeightBox, 0.25);
  acc += MuzzleAttachmentWeight(in);
  add(in.FoldingStockBox, 0.5);
  return acc;
}

}  // namespace

void RunWeightStage(DesignRun& r) {
  const DesignInput& in = r.in;
  const int config = in.ConfigurationBox;
  const int prop = in.PropellantBox;
  const double bore = r.q.BoreMm;
  const std::int32_t tl = r.LenientTL();

  const double configurationFactor = ConfigurationFactor(in);
  const double tlFactor = TLWeightFactor(config, tl);

  double powerFactor = r.q.PowerMod;
  if (in.ExtraLowBox) powerFactor = Times(powerFactor, 0.35);
  if (in.ShotgunBox) powerFactor = StoreDouble(ext(powerFactor) / 4);

  // From TL 6 a handgun's action is sized for half its bore.
  double effectiveBore = bore;
  if (tl > 5 && config <= kSMG) effectiveBore = StoreDouble(ext(bore) / 2);
  const double boreClassFactor = BoreClassFactor(effectiveBore);
  const double mechanismFactor = MechanismFactor(r);

  double accessory = AccessoryWeight(in);

  // Empty magazine, with the power cell of a Gauss or Grav gun.
  double magazine = config == kPistol ? 0.25 : 0.5;
  if ((prop == kGauss || prop == kGrav) && config >= kPistol && config <= kCannon) {
    magazine = StoreDouble(ext(magazine) + CellWeight(kBuiltInCell[config], in.PaperBox));
  }
  // Below TL 10 a preloaded barrel block weighs as much as two magazines.
  if (in.PLBBox == kPreloaded && r.StrictTL() < 10) magazine = Times(magazine, 2);
  accessory = StoreDouble(ext(accessory) + magazine);

  double body = StoreDouble(ext(bore) * bore * configurationFactor * tlFactor * powerFactor *
                            mechanismFactor * boreClassFactor);
  // Extra barrels: Gatlings already count theirs in the mechanism.
  const int mech = in.LoadingMechanismBox;
  if (mech != kMechanicalGatling && mech != kElectricGatling) {
    const std::int32_t barrels = IntOr(in.BarrelsEdit, 1);
    body = Times(body, ext(0.3) * barrels + 0.7);
  }

  // A gravitic compensator weighs a whole pound per ten pounds of gun.
  if (in.GravCompBox) accessory = StoreDouble(ext(accessory) + ext(Truncate(ext(body) / 10)));

  if (in.SpaceProof) body = Times(body, 1.2);
  if (in.RuggedBox) body = Times(body, 1.2);
  if (in.RecoillessCheckBox && prop != kGrav) body = Times(body, 0.7);

  accessory = StoreDouble(ext(accessory) + FloatOr(in.ArbWeight, r.dec, 0.0));

  double empty = StoreDouble(ext(body) + accessory);
  // ETC and ETK handguns and rifles carry a removable energy cell; Support
  // weapons and cannons add none here.
  if ((prop == kETC || prop == kETK) && config >= kPistol && config <= kRifle) {
    const bool heavyCell = prop == kETK && !in.HouseETCBox;
    empty =
        StoreDouble(ext(empty) + CellWeight(kEnergyCell[config][heavyCell ? 1 : 0], in.PaperBox));
  }
  empty = RoundToScale(empty, 100);
  r.q.EmptyWeightLb = empty;

  // One shot: projectile (and case) scale with the bore's cross-section.
  const bool bigBore = bore >= 20;
  double configCoefficient = 0;
  if (config == kPistol || config == kSMG) configCoefficient = 0.2;
  if (config == kRifle || config == kSupport || config == kCannon) configCoefficient = 0.5;
  const bool longBarrel = in.BarrelBox == kMedium || in.BarrelBox == kLong;
  const double barrelCoefficient = longBarrel ? (bigBore ? 1.7 : 2.5) : 1.5;
  const bool recoilless = in.RecoillessCheckBox && prop != kGrav;
  double perShot = StoreDouble(ext(bore) * bore * (bigBore ? 0.00026 : 0.0002) * configCoefficient *
                               barrelCoefficient * (recoilless ? 1.5 : 1.0));
  // A case adds weight; a Gauss slug always carries its sabot.
  if (!in.CaselessBox || prop == kGauss) perShot = Times(perShot, 1.3);
  if (prop == kLiquid) perShot = Times(perShot, 0.5);
  if (prop == kGrav) perShot = Times(perShot, 0.5);
  if (prop == kETK && !in.HouseETCBox) perShot = Times(perShot, 0.5);
  perShot = RoundToScale(perShot, 1000);
  r.q.WeightPerShotLb = perShot;

  // Preloaded barrels fire two shots per load; a closed bolt keeps one chambered.
  std::int32_t shotCount = IntOr(in.ShotsEdit, 1);
  if (in.PLBBox == kPreloaded) shotCount = Halve(shotCount);
  if (in.ClosedBoltBox) shotCount = Wrap32(std::int64_t{shotCount} + 1);

  // Liquid propellant: the load is projectiles plus an equal weight of propellant.
  const ext ammunition = ext(shotCount) * perShot;
  double loaded = StoreDouble(ammunition + empty);
  if (prop == kLiquid) loaded = StoreDouble(ext(loaded) + ammunition);
  loaded = RoundToScale(loaded, 100);
  r.q.LoadedWeightLb = loaded;

  // A reload is a full magazine; for liquid propellant it is the bottle alone,
  // taken as it is (adding the load and taking it away again would lose the
  // bottle to rounding once the load weighs trillions of pounds).
  const double reload =
      RoundToScale(prop == kLiquid ? magazine : StoreDouble(ammunition + magazine), 100);

  r.Line("Weight: ", Number{loaded}, "/", Number{reload});
  if (prop == kLiquid) r.Line("Propellant Bottle Weight: ", Number{reload});
}

}  // namespace brennick
