// Malfunction and cost: how often the weapon jams, and what it sells for.
//
// The price is built in three layers: a base cost that grows with the loaded
// weight, a cost factor for the chosen options that multiplies it, and fixed
// dollar amounts for accessories added at the end.
#include <iterator>
#include <string>
#include <utility>

#include "internal/run.h"

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

std::int32_t MalfunctionNumber(const DesignInput& in, std::int32_t tl) {
  std::int32_t malf = MalfunctionBase(tl);
  // Early breech-loading rifles foul and misfire.
  if (tl <= 4 && in.ConfigurationBox == kRifle && in.LoadingMechanismBox == kBreechloader) {
    malf -= 3;
  }
  if (in.PropellantBox == kLiquid) malf += 1;
  if (in.ElectricBox) malf += 1;
  // No brass to extract: caseless rounds and electromagnetic projectiles.
  if (in.CaselessBox || in.PropellantBox == kGauss || in.PropellantBox == kGrav) malf += 1;
  if (in.PLBBox == kPreloaded && tl < 10) malf -= 1;
  if (in.QualityReliable == kFine) malf += 1;
  if (in.QualityReliable == kVeryFine) malf += 2;
  if (in.QualityAccurate == kCheap || in.QualityReliable == kCheap) malf -= 1;
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

// Cannons (and a weapon without a configuration) have no price per pound:
// their cost is the accessories alone.
std::int32_t BaseCost(const DesignRun& r) {
  const DesignInput& in = r.in;
  const int config = in.ConfigurationBox;
  if (!IsTabledConfiguration(config)) return 0;

  const std::int32_t rof = IntOr(in.RoFEdit, 1);
  const bool fast = rof > 3;
  const CostRateRow& row = kCostRate[config];
  std::int32_t rate = fast ? row.fast : row.slow;
  if (in.PropellantBox == kGauss) rate = Wrap32(RoundHalfEven(ext(rate) * row.gauss));
  if (in.PropellantBox == kGrav) rate = Wrap32(RoundHalfEven(ext(rate) * row.grav));

  const double w = r.q.LoadedWeightLb;
  int band = 0;
  if (w >= 1000) {
    band = 3;
  } else if (w >= 20) {
    band = fast ? 2 : 1;
  }
  double multiplier = kWeightCostMultiplier[config][band];
  if (config == kPistol && in.ExtraLowBox) multiplier = Times(multiplier, 0.5);

  return Wrap32(RoundHalfEven(ext(rate) * w * multiplier));
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
  bool DesignInput::*box;
  std::int32_t dollars;
  bool DesignInput::*parent = nullptr;
};

constexpr AccessoryPrice kHUDLinkPrices[] = {
    {&DesignInput::HUDLinkBox, 250},
    {&DesignInput::DataChip, 1, &DesignInput::HUDLinkBox},
    {&DesignInput::GreenEyes, -10, &DesignInput::HUDLinkBox},
    {&DesignInput::MicroRadio, 10, &DesignInput::HUDLinkBox},
    {&DesignInput::SecureEncryption, 500, &DesignInput::HUDLinkBox},
    {&DesignInput::TinyComputer, 50, &DesignInput::HUDLinkBox},
};

constexpr AccessoryPrice kFittingPrices[] = {
    {&DesignInput::RecognitionGripBox, 100},
    {&DesignInput::RGGlove, 50, &DesignInput::RecognitionGripBox},
    {&DesignInput::RGGPS, -5, &DesignInput::RecognitionGripBox},
    {&DesignInput::RGIFF, -5, &DesignInput::RecognitionGripBox},
    {&DesignInput::TransponderRingBox, 100},
    {&DesignInput::SDATBox, 100},
    {&DesignInput::DTagBox, 20},
    {&DesignInput::IFFBox, 100},
    {&DesignInput::AccRailU, 100},
    {&DesignInput::AccRailO, 100},
    {&DesignInput::AccRailS, 100},
    {&DesignInput::AccRailT, 100},
    {&DesignInput::SmartgripBox, 500},
    {&DesignInput::FoldingStockBox, 100},
    {&DesignInput::AntiTamper, -50},
    {&DesignInput::CTSBox, 1000},
    {&DesignInput::ETSBox, 8000},
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
  const DesignInput& in = r.in;
  Derivation d;
  std::int32_t malf = MalfunctionBase(tl);
  d.push_back(r.TLRead() + ": base malfunction number " + IntText(malf) +
              (malf == 0 ? " (TL outside the tables, 0 to 12)" : ""));
  const auto step = [&](bool applies, std::string_view why, std::int32_t by) {
    if (!applies) return;
    malf += by;
    d.push_back(std::string(why) + (by > 0 ? ": +" : ": ") + IntText(by) + " = " + IntText(malf));
  };
  step(tl <= 4 && in.ConfigurationBox == kRifle && in.LoadingMechanismBox == kBreechloader,
       "Early breech-loading rifle", -3);
  step(in.PropellantBox == kLiquid, "Liquid propellant", 1);
  step(in.ElectricBox, "Electric autoloader or automatic", 1);
  step(in.CaselessBox || in.PropellantBox == kGauss || in.PropellantBox == kGrav,
       in.CaselessBox ? "Caseless" : "No case to extract", 1);
  step(in.PLBBox == kPreloaded && tl < 10, "Preloaded barrels below TL 10", -1);
  step(in.QualityReliable == kFine, "Fine (reliable)", 1);
  step(in.QualityReliable == kVeryFine, "Very fine (reliable)", 2);
  step(in.QualityAccurate == kCheap || in.QualityReliable == kCheap, "Cheap", -1);
  if (malf == 19) d.push_back("Malfunction number 19 is written Ver.");
  if (malf > 19 || malf < 0) d.push_back("A malfunction number beyond 19 is written Ver. (Crit.)");
  r.Explained(std::move(d), 5);
}

[[gnu::cold, gnu::noinline]] void ExplainCost(DesignRun& r, std::int32_t baseCost, double factor,
                                              std::int32_t tl) {
  const DesignInput& in = r.in;
  const int config = in.ConfigurationBox;
  Derivation d;
  if (!IsTabledConfiguration(config)) {
    d.push_back("A " + std::string(ConfigurationName(config)) +
                " has no price per pound: base cost 0, the cost is the accessories alone");
  } else {
    const std::int32_t rof = IntOr(in.RoFEdit, 1);
    const bool fast = rof > 3;
    const CostRateRow& row = kCostRate[config];
    std::int32_t rate = fast ? row.fast : row.slow;
    d.push_back(r.WholeRead("RoF", in.RoFEdit, 1) + (fast ? ", above 3" : ", 3 or less") + ": $" +
                IntText(rate) + " a pound for a " + std::string(ConfigurationName(config)));
    if (in.PropellantBox == kGauss || in.PropellantBox == kGrav) {
      const double by = in.PropellantBox == kGauss ? row.gauss : row.grav;
      rate = Wrap32(RoundHalfEven(ext(rate) * by));
      d.push_back(std::string(PropellantName(in.PropellantBox)) + ": x " + r.Num(by) +
                  ", rounded: $" + IntText(rate) + " a pound");
    }
    const double w = r.q.LoadedWeightLb;
    int band = 0;
    std::string bandName = "below 20 lb";
    if (w >= 1000) {
      band = 3;
      bandName = "1000 lb or more";
    } else if (w >= 20) {
      band = fast ? 2 : 1;
      bandName = fast ? "20 lb to below 1000 lb, RoF above 3" : "20 lb to below 1000 lb";
    }
    double multiplier = kWeightCostMultiplier[config][band];
    d.push_back("Loaded weight " + r.Num(w) + " lb, " + bandName + ": weight multiplier " +
                r.Num(multiplier));
    if (config == kPistol && in.ExtraLowBox) {
      multiplier = Times(multiplier, 0.5);
      d.push_back("Extra-low-powered pistol: multiplier x 0.5 = " + r.Num(multiplier));
    }
    d.push_back("Base cost = " + IntText(rate) + " x " + r.Num(w) + " x " + r.Num(multiplier) +
                " = " + r.Num(ext(rate) * w * multiplier) +
                ", rounded to whole dollars, ties to even: " + IntText(baseCost));
  }
  d.push_back("Cost factor of the options (1 plus each option's share, at least 0.2; " +
              r.NumberRead("Arbitrary Extra CF", in.ArbCF, 0.0) + "): " + r.Num(factor));
  std::int32_t cost = Wrap32(RoundHalfEven(ext(baseCost) * factor));
  d.push_back("Base cost x cost factor = " + IntText(baseCost) + " x " + r.Num(factor) + " = " +
              r.Num(ext(baseCost) * factor) + ", rounded: " + IntText(cost));
  std::string list;
  const auto add = [&](bool fitted, std::string_view name, std::int64_t dollars) {
    if (!fitted || dollars == 0) return;
    AddDollars(cost, dollars);
    list += list.empty() ? "" : ", ";
    list += std::string(name) + " " + (dollars < 0 ? "-$" : "$") +
            IntText(dollars < 0 ? -dollars : dollars);
  };
  add(in.IronSightsBox && (config == kSMG || config == kRifle), "iron sights", 100);
  add(in.IronSightsBox && config == kPistol, "iron sights", 50);
  add(in.HUDLinkBox, "HUD Link", 250);
  add(in.HUDLinkBox && in.DataChip, "data chip", 1);
  add(in.HUDLinkBox && in.GreenEyes, "green eyes", -10);
  add(in.HUDLinkBox && in.MicroRadio, "micro radio", 10);
  add(in.HUDLinkBox && in.SecureEncryption, "secure encryption", 500);
  add(in.HUDLinkBox && in.TinyComputer, "tiny computer", 50);
  add(in.HUDLinkBox, "targeting software", TargetingSoftwarePrice(in.TargetingSoftware, tl));
  add(in.RecognitionGripBox, "Recognition Grip", 100);
  add(in.RecognitionGripBox && in.RGGlove, "glove", 50);
  add(in.RecognitionGripBox && in.RGGPS, "GPS", -5);
  add(in.RecognitionGripBox && in.RGIFF, "IFF", -5);
  add(in.TransponderRingBox, "Transponder Ring", 100);
  add(in.SDATBox, "SDAT", 100);
  add(in.DTagBox, "D-tag", 20);
  add(in.IFFBox, "IFF", 100);
  add(in.AccRailU, "under-barrel rail", 100);
  add(in.AccRailO, "over-barrel rail", 100);
  add(in.AccRailS, "side rail", 100);
  add(in.AccRailT, "top rail", 100);
  add(in.SmartgripBox, "smartgrip", 500);
  add(in.FoldingStockBox, "folding stock", 100);
  add(in.AntiTamper, "anti-tamper", -50);
  add(in.CTSBox, "CTS", 1000);
  add(in.ETSBox, "ETS", 8000);
  add(true, "camouflage", ItemOr(kCamouflagePrice, in.CamouflageBox, 0));
  add(true, "muzzle attachment", ItemOr(kMuzzleAttachmentPrice, in.MuzzleBox, 0));
  add(in.MuzzleWeightBox, "muzzle weight", 100);
  if (in.GravCompBox) {
    add(true, "gravitic compensator ($100 per whole ten pounds empty)",
        std::int64_t{100} * Wrap32(Truncate(ext(r.q.EmptyWeightLb) / 10)));
  }
  d.push_back("Accessories: " + (list.empty() ? std::string("none") : list) + "; in all $" +
              IntText(cost));
  r.Explained(std::move(d), 5);
}

}  // namespace

void RunCostStage(DesignRun& r) {
  const DesignInput& in = r.in;
  const std::int32_t tl = r.StrictTL();

  r.q.MalfNumber = MalfunctionNumber(in, tl);
  MalfLine(r, r.q.MalfNumber);
  if (r.explain) [[unlikely]]
    ExplainMalfunction(r, tl);

  const std::int32_t baseCost = BaseCost(r);
  const double factor = CostFactor(in, r.dec);
  std::int32_t cost = Wrap32(RoundHalfEven(ext(baseCost) * factor));

  // Iron sights come free on support weapons and cannons.
  if (in.IronSightsBox) {
    if (in.ConfigurationBox == kSMG || in.ConfigurationBox == kRifle) AddDollars(cost, 100);
    if (in.ConfigurationBox == kPistol) AddDollars(cost, 50);
  }
  AddCheckedPrices<kHUDLinkPrices>(in, cost);
  if (in.HUDLinkBox) AddDollars(cost, TargetingSoftwarePrice(in.TargetingSoftware, tl));
  AddCheckedPrices<kFittingPrices>(in, cost);
  AddDollars(cost, ItemOr(kCamouflagePrice, in.CamouflageBox, 0));
  AddDollars(cost, ItemOr(kMuzzleAttachmentPrice, in.MuzzleBox, 0));
  if (in.MuzzleWeightBox) AddDollars(cost, 100);
  // A gravitic compensator is priced by the ten pounds of gun it steadies.
  if (in.GravCompBox) {
    const std::int32_t tens = Wrap32(Truncate(ext(r.q.EmptyWeightLb) / 10));
    AddDollars(cost, std::int64_t{100} * tens);
  }

  r.Line("Cost $", cost);
  if (r.explain) [[unlikely]]
    ExplainCost(r, baseCost, factor, tl);
}

}  // namespace brennick
