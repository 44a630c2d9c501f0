// Weight: the gun's body, its accessories, magazine and cells, and a full load
// of ammunition. Sets the empty, loaded and per-shot weights for later stages.
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "engine/ext.h"
#include "engine/internal/run.h"

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
// muzzle devices and stock, in the order they are added, each passed to
// `visit(fitted, name, weight)`.
template <typename Visit>
void FixedItems(const DesignInput& in, Visit visit) {
  visit(true, in.PaperBox ? "spare B paper cell" : "spare B cell", CellWeight(kCellB, in.PaperBox));
  visit(in.IronSightsBox, "iron sights", in.ConfigurationBox == kPistol ? 0.1 : 0.2);
  // The electric Gatling's motor runs from a cell of its own.
  visit(in.LoadingMechanismBox == kElectricGatling, "the Gatling motor's B cell",
        CellWeight(kCellB, in.PaperBox));
  visit(in.AccRailS, "side rail", 0.2);
  visit(in.AccRailT, "top rail", 0.2);
  visit(in.AccRailU, "under-barrel rail", 0.2);
  visit(in.AccRailO, "over-barrel rail", 0.2);
  visit(in.CTSBox, "CTS", 0.5);
  visit(in.ETSBox, "ETS", 2.0);
  visit(in.DataChip, "data chip", 0.01);
  visit(in.TinyComputer, "tiny computer", 0.05);
  visit(true, "camouflage", ItemOr(kCamouflageWeight, in.CamouflageBox, 0.0));
  visit(in.MuzzleWeightBox, "muzzle weight", 0.25);
  visit(true, "muzzle attachment", MuzzleAttachmentWeight(in));
  visit(in.FoldingStockBox, "folding stock", 0.5);
}

// The fixed additions summed one after another, each sum rounded to a double.
// The weights lie between a few thousandths of a pound and two pounds and the
// total stays below eight, so each sum is exact at extended precision and
// rounds as a plain sum of doubles does: the additions are made in doubles,
// and what is not fitted adds 0 rather than being left out.
double AccessoryWeight(const DesignInput& in) {
  double acc = 0.0;
  FixedItems(in, [&acc](bool fitted, std::string_view, double w) { acc += fitted ? w : 0.0; });
  return acc;
}

// The figures of the weight stage, for its derivation.
struct WeightSteps {
  double configurationFactor;
  double tlFactor;
  double powerFactor;
  double effectiveBore;
  double boreClassFactor;
  double mechanismFactor;
  double items;
  double magazine;
  ext bodyProduct;
  double body;
  double accessory;
  double empty;
  ext perShotProduct;
  double perShot;
  std::int32_t shotCount;
  ext ammunition;
  double loaded;
  double reload;
};

// The fixed additions that are fitted, by name, with their weights.
std::string FittedItems(const DesignRun& r) {
  std::string list;
  FixedItems(r.in, [&](bool fitted, std::string_view name, double w) {
    if (!fitted || w == 0) return;
    list += list.empty() ? "" : ", ";
    list += std::string(name) + " " + r.Num(w);
  });
  return list;
}

[[gnu::cold, gnu::noinline]] void ExplainWeight(DesignRun& r, const WeightSteps& s) {
  const DesignInput& in = r.in;
  const int config = in.ConfigurationBox;
  const int barrel = BarrelColumn(in.BarrelBox);
  const int prop = in.PropellantBox;
  const int mech = in.LoadingMechanismBox;
  Derivation d;
  d.push_back("Bore Size, mm " + Quoted(in.BoreSizeEdit) + " read as " + r.Num(r.q.BoreMm));
  if (!IsTabledConfiguration(config)) {
    d.push_back("A " + std::string(ConfigurationName(config)) +
                " has no body-weight table: configuration factor 0 and TL factor 0, the body "
                "weighs nothing");
  } else {
    if (barrel < 0) {
      d.push_back("No barrel length selected: configuration factor 0, the body weighs nothing");
    } else {
      d.push_back(
          "Weight table, " + std::string(ConfigurationName(config)) + ", " +
          std::string(BarrelName(barrel)) + ", " +
          std::string(PropellantRow(prop) == 0 ? "chemical propellant" : PropellantName(prop)) +
          ": configuration factor " + r.Num(s.configurationFactor));
    }
    std::string tl = r.TLRead() + ": TL factor " + r.Num(s.tlFactor);
    if (s.tlFactor == 0) tl += " (TL outside the tables, 0 to 12)";
    d.push_back(tl);
  }
  std::string power = "PowerMod " + Quoted(in.PowerModEdit) + " read as " + r.Num(r.q.PowerMod);
  if (in.ExtraLowBox) power += ", x 0.35 extra-low-powered";
  if (in.ShotgunBox) power += ", / 4 shotgun";
  d.push_back(power + ": power factor " + r.Num(s.powerFactor));
  std::string action = std::string(MechanismName(mech)) + ": action factor ";
  if (mech == kRevolver) {
    action += "0.5 + 0.05 x chambers (" + r.NumberRead("Chambers", in.ChambersEdit, 1.0) + ") = ";
  } else if (mech == kElectricGatling) {
    action += "1.5 + 0.3 x barrels (" + r.NumberRead("Barrels", in.BarrelsEdit, 1.0) + ") = ";
  }
  d.push_back(action + r.Num(s.mechanismFactor));
  d.push_back((s.effectiveBore != r.q.BoreMm ? "A handgun from TL 6 has an action sized for half "
                                               "its bore, " +
                                                   r.Num(s.effectiveBore) + " mm"
                                             : "Bore " + r.Num(s.effectiveBore) + " mm") +
              ": bore class factor " + r.Num(s.boreClassFactor) +
              " (above 60 mm: 1; 50: 0.75; 40: 0.5; 25: 0.375; else 0.25)");
  d.push_back(
      "Body = bore x bore x configuration factor x TL factor x power factor x action "
      "factor x bore class factor = " +
      r.Num(r.q.BoreMm) + " x " + r.Num(r.q.BoreMm) + " x " + r.Num(s.configurationFactor) + " x " +
      r.Num(s.tlFactor) + " x " + r.Num(s.powerFactor) + " x " + r.Num(s.mechanismFactor) + " x " +
      r.Num(s.boreClassFactor) + " = " + r.Num(s.bodyProduct));
  if (mech != kMechanicalGatling && mech != kElectricGatling) {
    d.push_back(r.WholeRead("Barrels", in.BarrelsEdit, 1) + ": body x (0.3 x barrels + 0.7)");
  }
  if (in.SpaceProof) d.push_back("Space-proof: body x 1.2");
  if (in.RuggedBox) d.push_back("Rugged: body x 1.2");
  if (in.RecoillessCheckBox && prop != kGrav) d.push_back("Recoilless: body x 0.7");
  d.push_back("Body = " + r.Num(s.body));
  d.push_back("Fitted items: " + FittedItems(r) + ", in all " + r.Num(s.items));
  std::string magazine = std::string("Empty magazine ") + (config == kPistol ? "0.25" : "0.5");
  if ((prop == kGauss || prop == kGrav) && config >= kPistol && config <= kCannon) {
    magazine += " with the built-in power cell";
  }
  if (in.PLBBox == kPreloaded && r.LenientTL() < 10) {
    magazine += ", x 2 preloaded barrels below TL 10";
  }
  d.push_back(magazine + " = " + r.Num(s.magazine));
  if (in.GravCompBox) {
    d.push_back("Gravitic compensator: a pound per whole ten pounds of body, " +
                IntText(Truncate(ext(s.body) / 10)));
  }
  d.push_back(r.NumberRead("Arbitrary Extra Weight", in.ArbWeight, 0.0));
  d.push_back("Accessories = " + r.Num(s.accessory));
  if ((prop == kETC || prop == kETK) && config >= kPistol && config <= kRifle) {
    d.push_back("Removable energy cell of an " + std::string(PropellantName(prop)) +
                " gun added to the empty weight");
  }
  d.push_back("Empty weight = body + accessories, rounded to hundredths: " + r.Num(s.empty));
  const bool bigBore = r.q.BoreMm >= 20;
  d.push_back(
      std::string("Weight per shot = bore x bore x ") + (bigBore ? "0.00026" : "0.0002") + " x " +
      (config <= kSMG && config >= kPistol ? "0.2" : "0.5") + " x " +
      (in.BarrelBox == kMedium || in.BarrelBox == kLong ? (bigBore ? "1.7" : "2.5") : "1.5") +
      (in.RecoillessCheckBox && prop != kGrav ? " x 1.5 recoilless" : "") + " = " +
      r.Num(s.perShotProduct));
  if (!in.CaselessBox || prop == kGauss) {
    d.push_back(prop == kGauss ? "A Gauss slug's sabot: x 1.3" : "Cased ammunition: x 1.3");
  }
  if (prop == kLiquid || prop == kGrav || (prop == kETK && !in.HouseETCBox)) {
    d.push_back(std::string(PropellantName(prop)) + ": x 0.5");
  }
  d.push_back("Rounded to thousandths: weight per shot " + r.Num(s.perShot));
  std::string shots = r.WholeRead("Shots", in.ShotsEdit, 1);
  if (in.PLBBox == kPreloaded) shots += ", halved for preloaded barrels";
  if (in.ClosedBoltBox) shots += ", +1 in the chamber of a closed bolt";
  d.push_back(shots + ": " + IntText(s.shotCount) + " shots");
  d.push_back("Ammunition = " + IntText(s.shotCount) + " x " + r.Num(s.perShot) + " = " +
              r.Num(s.ammunition));
  d.push_back(std::string("Loaded weight = empty weight + ammunition") +
              (prop == kLiquid ? " + as much again in liquid propellant" : "") +
              ", rounded to hundredths: " + r.Num(s.loaded));
  d.push_back(prop == kLiquid ? "Reload = the propellant bottle (the empty magazine), rounded to "
                                "hundredths: " +
                                    r.Num(s.reload)
                              : "Reload = ammunition + empty magazine, rounded to hundredths: " +
                                    r.Num(s.reload));
  r.Explained(std::move(d), 8);
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
  const double items = accessory;

  // Empty magazine, with the power cell of a Gauss or Grav gun.
  double magazine = config == kPistol ? 0.25 : 0.5;
  if ((prop == kGauss || prop == kGrav) && config >= kPistol && config <= kCannon) {
    magazine = StoreDouble(ext(magazine) + CellWeight(kBuiltInCell[config], in.PaperBox));
  }
  // Below TL 10 a preloaded barrel block weighs as much as two magazines.
  if (in.PLBBox == kPreloaded && r.StrictTL() < 10) magazine = Times(magazine, 2);
  accessory = StoreDouble(ext(accessory) + magazine);

  const ext bodyProduct = ext(bore) * bore * configurationFactor * tlFactor * powerFactor *
                          mechanismFactor * boreClassFactor;
  double body = StoreDouble(bodyProduct);
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
  const ext perShotProduct = ext(bore) * bore * (bigBore ? 0.00026 : 0.0002) * configCoefficient *
                             barrelCoefficient * (recoilless ? 1.5 : 1.0);
  double perShot = StoreDouble(perShotProduct);
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
  if (r.explain) [[unlikely]] {
    ExplainWeight(r, {configurationFactor, tlFactor, powerFactor, effectiveBore, boreClassFactor,
                      mechanismFactor, items, magazine, bodyProduct, body, accessory, empty,
                      perShotProduct, perShot, shotCount, ammunition, loaded, reload});
  }
  if (prop == kLiquid) {
    r.Line("Propellant Bottle Weight: ", Number{reload});
    if (r.explain) [[unlikely]] {
      ExplainLine(r, 26, [&] {
        return Derivation{
            "The propellant bottle weighs what the empty magazine of a liquid-propellant "
            "gun weighs: " +
            r.Num(reload)};
      });
    }
  }
}

}  // namespace brennick
