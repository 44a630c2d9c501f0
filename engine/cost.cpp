// Malfunction and cost: how often the weapon jams, and what it sells for.
//
// The price is built in three layers: a base cost that grows with the loaded
// weight, a cost factor for the chosen options that multiplies it, and fixed
// dollar amounts for accessories added at the end.
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>
#include <string_view>
#include <utility>

#include "engine/ext.h"
#include "engine/internal/run.h"

namespace brennick {
namespace {

using namespace std::string_view_literals;

// ---------------------------------------------------------------------------
// Malfunction

std::int32_t MalfunctionBase(std::int32_t tl) {
  if (tl >= 0 && tl <= 3) return 12;
  if (tl == 4) return 14;
  if (tl == 5) return 16;
  if (tl >= 6 && tl <= 12) return 17;
  return 0;  // beyond the tables: no base reliability at all
}

// The malfunction number: the base for the TL, then each rule that applies,
// passed to `step(why, by, malf)` with the number it leaves.
template <typename Step>
std::int32_t MalfunctionNumber(const DesignInput& in, std::int32_t tl, Step step) {
  std::int32_t malf = MalfunctionBase(tl);
  const auto rule = [&](bool applies, std::string_view why, std::int32_t by) {
    if (!applies) return;
    malf += by;
    step(why, by, malf);
  };
  // Early breech-loading rifles foul and misfire.
  rule(tl <= 4 && in.ConfigurationBox == kRifle && in.LoadingMechanismBox == kBreechloader,
       "Early breech-loading rifle", -3);
  rule(in.PropellantBox == kLiquid, "Liquid propellant", 1);
  rule(in.ElectricBox, "Electric autoloader or automatic", 1);
  // No brass to extract: caseless rounds and electromagnetic projectiles.
  rule(in.CaselessBox || in.PropellantBox == kGauss || in.PropellantBox == kGrav,
       in.CaselessBox ? "Caseless" : "No case to extract", 1);
  rule(in.PLBBox == kPreloaded && tl < 10, "Preloaded barrels below TL 10", -1);
  rule(in.QualityReliable == kFine, "Fine (reliable)", 1);
  rule(in.QualityReliable == kVeryFine, "Very fine (reliable)", 2);
  rule(in.QualityAccurate == kCheap || in.QualityReliable == kCheap, "Cheap", -1);
  return malf;
}

void MalfLine(DesignRun& r, std::int32_t malf) {
  if (malf >= 0 && malf <= 18) {
    r.Line("Malf ", malf);
  } else {
    r.Line(malf == 19 ? "Malf Ver."sv : "Malf Ver. (Crit.)"sv);
  }
}

// ---------------------------------------------------------------------------
// Base cost

// Dollars per pound by configuration: at RoF 3 or less, above RoF 3, and the
// multipliers (rounded afterwards) for Gauss and Grav weapons.
struct CostRateRow {
  std::int32_t slow;
  std::int32_t fast;
  double gauss;
  double grav;
};
constexpr CostRateRow kCostRate[4] = {
    {150, 220, 2.5, 2.5},     // Pistol
    {150, 220, 2.0, 3.2},     // SMG
    {150, 220, 2.8, 13.0},    // Rifle
    {220, 280, 1.055, 30.0},  // Support
};

// Weight multiplier by configuration: below 20 lb; 20 lb to below 1000 lb at
// RoF 3 or less; the same band above RoF 3; 1000 lb and more.
constexpr double kWeightCostMultiplier[4][4] = {
    {1.0, 1.2, 2.0, 0.2},   // Pistol
    {1.0, 1.2, 2.0, 0.2},   // SMG
    {0.75, 1.5, 2.0, 0.2},  // Rifle
    {0.75, 1.5, 2.0, 0.2},  // Support
};

// The base cost and the figures it comes from.
struct BaseCostSteps {
  bool fast = false;           // RoF above 3
  std::int32_t tableRate = 0;  // dollars a pound from the table
  double propellantBy = 0;     // the Gauss or Grav multiplier, 0 for neither
  std::int32_t rate = 0;       // dollars a pound after it
  int band = 0;                // the weight band, a column of kWeightCostMultiplier
  double multiplier = 0;       // the band's multiplier, after the extra-low-power halving
  std::int32_t cost = 0;
};

// Cannons (and a weapon without a configuration) have no price per pound:
// their cost is the accessories alone.
BaseCostSteps BaseCost(const DesignRun& r) {
  const DesignInput& in = r.in;
  const int config = in.ConfigurationBox;
  BaseCostSteps s;
  if (!IsTabledConfiguration(config)) return s;

  const std::int32_t rof = IntOr(in.RoFEdit, 1);
  s.fast = rof > 3;
  const CostRateRow& row = kCostRate[config];
  s.tableRate = s.fast ? row.fast : row.slow;
  s.rate = s.tableRate;
  if (in.PropellantBox == kGauss) s.propellantBy = row.gauss;
  if (in.PropellantBox == kGrav) s.propellantBy = row.grav;
  if (s.propellantBy != 0) s.rate = Wrap32(RoundHalfEven(ext(s.rate) * s.propellantBy));

  const double w = r.q.LoadedWeightLb;
  if (w >= 1000) {
    s.band = 3;
  } else if (w >= 20) {
    s.band = s.fast ? 2 : 1;
  }
  s.multiplier = kWeightCostMultiplier[config][s.band];
  if (config == kPistol && in.ExtraLowBox) s.multiplier = Times(s.multiplier, 0.5);

  s.cost = Wrap32(RoundHalfEven(ext(s.rate) * w * s.multiplier));
  return s;
}

// ---------------------------------------------------------------------------
// Cost factor

constexpr double kStylingFactor[] = {0, 1, 4, 9};

double CostFactor(const DesignInput& in, char dec) {
  double factor = 1.0;
  auto add = [&factor](double x) { factor = StoreDouble(ext(factor) + x); };

  const int mech = in.LoadingMechanismBox;
  if (mech == kMechanicalGatling || mech == kElectricGatling || in.ElectricBox) add(0.5);
  if (in.RecoillessCheckBox) add(0.5);
  if (in.ColdCountermassBox) add(0.2);
  if (in.PropellantBox == kLiquid) add(0.5);
  if (in.PropellantBox == kETC) add(in.HouseETCBox ? 0.5 : 1.0);
  if (in.PropellantBox == kETK) add(1.0);
  if (in.PLBBox == kHighCyclic) add(0.5);
  if (in.PLBBox == kPreloaded) add(1.0);
  add(FloatOr(in.ArbCF, dec, 0));
  if (const double styling = ItemOr(kStylingFactor, in.StylingBox, 0.0); styling != 0) add(styling);
  if (in.GaussHCCBBox == 1) add(0.5);
  if (in.SpaceProof) add(0.2);
  if (in.DisguisedBox) add(4);
  if (in.RuggedBox) add(1);
  if (in.QualityReliable == kFine) add(0.25);
  if (in.QualityReliable == kVeryFine) add(1.25);
  if (in.QualityAccurate == kFine) add(0.75);
  if (in.QualityAccurate == kVeryFine) add(3.75);
  if (in.QualityAccurate == kCheap || in.QualityReliable == kCheap) add(-0.6);

  // However many discounts pile up, a gun is never sold below a fifth of its
  // base cost.
  if (factor < 0.2) factor = 0.2;
  return factor;
}

// ---------------------------------------------------------------------------
// Accessory amounts

// A check-box accessory with a fixed price. An option of the HUD link or the
// recognition grip is paid for only when its parent is fitted.
struct AccessoryPrice {
  const char* name;
  bool DesignInput::*box;
  std::int32_t dollars;
  bool DesignInput::*parent = nullptr;
};

constexpr AccessoryPrice kHUDLinkPrices[] = {
    {"HUD Link", &DesignInput::HUDLinkBox, 250},
    {"data chip", &DesignInput::DataChip, 1, &DesignInput::HUDLinkBox},
    {"green eyes", &DesignInput::GreenEyes, -10, &DesignInput::HUDLinkBox},
    {"micro radio", &DesignInput::MicroRadio, 10, &DesignInput::HUDLinkBox},
    {"secure encryption", &DesignInput::SecureEncryption, 500, &DesignInput::HUDLinkBox},
    {"tiny computer", &DesignInput::TinyComputer, 50, &DesignInput::HUDLinkBox},
};

constexpr AccessoryPrice kFittingPrices[] = {
    {"Recognition Grip", &DesignInput::RecognitionGripBox, 100},
    {"glove", &DesignInput::RGGlove, 50, &DesignInput::RecognitionGripBox},
    {"GPS", &DesignInput::RGGPS, -5, &DesignInput::RecognitionGripBox},
    {"IFF", &DesignInput::RGIFF, -5, &DesignInput::RecognitionGripBox},
    {"Transponder Ring", &DesignInput::TransponderRingBox, 100},
    {"SDAT", &DesignInput::SDATBox, 100},
    {"D-tag", &DesignInput::DTagBox, 20},
    {"IFF", &DesignInput::IFFBox, 100},
    {"under-barrel rail", &DesignInput::AccRailU, 100},
    {"over-barrel rail", &DesignInput::AccRailO, 100},
    {"side rail", &DesignInput::AccRailS, 100},
    {"top rail", &DesignInput::AccRailT, 100},
    {"smartgrip", &DesignInput::SmartgripBox, 500},
    {"folding stock", &DesignInput::FoldingStockBox, 100},
    {"anti-tamper", &DesignInput::AntiTamper, -50},
    {"CTS", &DesignInput::CTSBox, 1000},
    {"ETS", &DesignInput::ETSBox, 8000},
};

// Targeting software, grade +1 and +2, at TL 0 to 9, 10, 11 and 12: the
// software gets cheaper as computing gets commonplace.
constexpr std::int32_t kTargetingSoftwarePrice[2][4] = {{500, 50, 5, 1}, {1500, 150, 15, 2}};

constexpr std::int32_t kCamouflagePrice[] = {0, 10, 250, 1000, 1500, 2000, 2500};
constexpr std::int32_t kMuzzleAttachmentPrice[] = {0, 175, 25, 100, 250};

std::int32_t TargetingSoftwarePrice(int grade, std::int32_t tl) {
  if (grade != 1 && grade != 2) return 0;
  int column = -1;
  if (tl >= 0 && tl <= 9) {
    column = 0;
  } else if (tl >= 10 && tl <= 12) {
    column = tl - 9;
  }
  return column < 0 ? 0 : kTargetingSoftwarePrice[grade - 1][column];
}

// Iron sights come free on support weapons and cannons.
std::int64_t IronSightsPrice(const DesignInput& in) {
  if (!in.IronSightsBox) return 0;
  if (in.ConfigurationBox == kSMG || in.ConfigurationBox == kRifle) return 100;
  return in.ConfigurationBox == kPistol ? 50 : 0;
}

// A gravitic compensator is priced by the ten pounds of gun it steadies.
std::int64_t GravCompPrice(const DesignRun& r) {
  if (!r.in.GravCompBox) return 0;
  return std::int64_t{100} * Wrap32(Truncate(ext(r.q.EmptyWeightLb) / 10));
}

constexpr std::int64_t kMuzzleWeightPrice = 100;

// Adds dollars to a 32-bit cost; a total beyond 32 bits wraps.
void AddDollars(std::int32_t& cost, std::int64_t dollars) {
  cost = Wrap32(std::int64_t{cost} + dollars);
}

// The price of an accessory, nothing when its box or its parent's is not
// ticked (both read, so that no branch is taken).
constexpr std::int64_t PriceIfFitted(const DesignInput& in, const AccessoryPrice& p) {
  const bool parent = p.parent == nullptr || in.*p.parent;
  return std::int64_t{p.dollars} * (in.*p.box & parent);
}

// The prices of the fitted accessories of a table, spelled out entry by entry.
template <const auto& kPrices, std::size_t... i>
std::int64_t FittedPrices(const DesignInput& in, std::index_sequence<i...>) {
  return (PriceIfFitted(in, kPrices[i]) + ...);
}

// Adds the prices of the fitted accessories of a table: summed first, since
// wrapping the total once is wrapping after each addition.
template <const auto& kPrices>
void AddCheckedPrices(const DesignInput& in, std::int32_t& cost) {
  AddDollars(cost, FittedPrices<kPrices>(in, std::make_index_sequence<std::size(kPrices)>{}));
}

// ---------------------------------------------------------------------------
// Derivations

[[gnu::cold, gnu::noinline]] void ExplainMalfunction(DesignRun& r, std::int32_t tl) {
  Derivation d;
  const std::int32_t base = MalfunctionBase(tl);
  d.push_back(r.TLRead() + ": base malfunction number " + IntText(base) +
              (base == 0 ? " (TL outside the tables, 0 to 12)" : ""));
  const std::int32_t malf =
      MalfunctionNumber(r.in, tl, [&](std::string_view why, std::int32_t by, std::int32_t now) {
        d.push_back(RuleStepText(why, by, now));
      });
  if (malf == 19) d.push_back("Malfunction number 19 is written Ver.");
  if (malf > 19 || malf < 0) d.push_back("A malfunction number beyond 19 is written Ver. (Crit.)");
  r.Explained(std::move(d), 5);
}

// The weight bands of kWeightCostMultiplier's columns.
constexpr const char* kWeightBandNames[] = {"below 20 lb", "20 lb to below 1000 lb",
                                            "20 lb to below 1000 lb, RoF above 3",
                                            "1000 lb or more"};

[[gnu::cold, gnu::noinline]] void ExplainCost(DesignRun& r, const BaseCostSteps& base,
                                              double factor, std::int32_t tl) {
  const DesignInput& in = r.in;
  const int config = in.ConfigurationBox;
  Derivation d;
  if (!IsTabledConfiguration(config)) {
    d.push_back("A " + std::string(ConfigurationName(config)) +
                " has no price per pound: base cost 0, the cost is the accessories alone");
  } else {
    d.push_back(r.WholeRead("RoF", in.RoFEdit, 1) + (base.fast ? ", above 3" : ", 3 or less") +
                ": $" + IntText(base.tableRate) + " a pound for a " +
                std::string(ConfigurationName(config)));
    if (base.propellantBy != 0) {
      d.push_back(std::string(PropellantName(in.PropellantBox)) + ": x " +
                  r.Num(base.propellantBy) + ", rounded: $" + IntText(base.rate) + " a pound");
    }
    const double w = r.q.LoadedWeightLb;
    const double bandMultiplier = kWeightCostMultiplier[config][base.band];
    d.push_back("Loaded weight " + r.Num(w) + " lb, " + kWeightBandNames[base.band] +
                ": weight multiplier " + r.Num(bandMultiplier));
    if (base.multiplier != bandMultiplier) {
      d.push_back("Extra-low-powered pistol: multiplier x 0.5 = " + r.Num(base.multiplier));
    }
    d.push_back("Base cost = " + IntText(base.rate) + " x " + r.Num(w) + " x " +
                r.Num(base.multiplier) + " = " + r.Num(ext(base.rate) * w * base.multiplier) +
                ", rounded to whole dollars, ties to even: " + IntText(base.cost));
  }
  d.push_back("Cost factor of the options (1 plus each option's share, at least 0.2; " +
              r.NumberRead("Arbitrary Extra CF", in.ArbCF, 0.0) + "): " + r.Num(factor));
  std::int32_t cost = Wrap32(RoundHalfEven(ext(base.cost) * factor));
  d.push_back("Base cost x cost factor = " + IntText(base.cost) + " x " + r.Num(factor) + " = " +
              r.Num(ext(base.cost) * factor) + ", rounded: " + IntText(cost));
  // The accessories in the order the run adds them.
  std::string list;
  const auto add = [&](std::string_view name, std::int64_t dollars) {
    if (dollars == 0) return;
    AddDollars(cost, dollars);
    list += list.empty() ? "" : ", ";
    list += std::string(name) + " " + (dollars < 0 ? "-$" : "$") +
            IntText(dollars < 0 ? -dollars : dollars);
  };
  add("iron sights", IronSightsPrice(in));
  for (const AccessoryPrice& p : kHUDLinkPrices) add(p.name, PriceIfFitted(in, p));
  if (in.HUDLinkBox) add("targeting software", TargetingSoftwarePrice(in.TargetingSoftware, tl));
  for (const AccessoryPrice& p : kFittingPrices) add(p.name, PriceIfFitted(in, p));
  add("camouflage", ItemOr(kCamouflagePrice, in.CamouflageBox, 0));
  add("muzzle attachment", ItemOr(kMuzzleAttachmentPrice, in.MuzzleBox, 0));
  if (in.MuzzleWeightBox) add("muzzle weight", kMuzzleWeightPrice);
  add("gravitic compensator ($100 per whole ten pounds empty)", GravCompPrice(r));
  d.push_back("Accessories: " + (list.empty() ? std::string("none") : list) + "; in all $" +
              IntText(cost));
  r.Explained(std::move(d), 5);
}

}  // namespace

void RunCostStage(DesignRun& r) {
  const DesignInput& in = r.in;
  const std::int32_t tl = r.StrictTL();

  r.q.MalfNumber = MalfunctionNumber(in, tl, [](std::string_view, std::int32_t, std::int32_t) {});
  MalfLine(r, r.q.MalfNumber);
  if (r.explain) [[unlikely]]
    ExplainMalfunction(r, tl);

  const BaseCostSteps base = BaseCost(r);
  const std::int32_t baseCost = base.cost;
  const double factor = CostFactor(in, r.dec);
  std::int32_t cost = Wrap32(RoundHalfEven(ext(baseCost) * factor));

  AddDollars(cost, IronSightsPrice(in));
  AddCheckedPrices<kHUDLinkPrices>(in, cost);
  if (in.HUDLinkBox) AddDollars(cost, TargetingSoftwarePrice(in.TargetingSoftware, tl));
  AddCheckedPrices<kFittingPrices>(in, cost);
  AddDollars(cost, ItemOr(kCamouflagePrice, in.CamouflageBox, 0));
  AddDollars(cost, ItemOr(kMuzzleAttachmentPrice, in.MuzzleBox, 0));
  if (in.MuzzleWeightBox) AddDollars(cost, kMuzzleWeightPrice);
  AddDollars(cost, GravCompPrice(r));

  r.Line("Cost $", cost);
  if (r.explain) [[unlikely]]
    ExplainCost(r, base, factor, tl);
}

}  // namespace brennick
