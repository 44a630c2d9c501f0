// Accuracy and range: the Acc line, the half-damage and maximum ranges.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "engine/ext.h"
#include "engine/internal/run.h"

namespace brennick {
namespace {

// Range factor by configuration, propellant row (chemical, Gauss, Grav) and
// barrel length (Short, Medium, Long).
constexpr double kRangeBarrelFactor[4][3][3] = {
    {{0.162, 0.25, 0.375}, {0.125, 1.05, 1.35}, {0.125, 0.8, 1.35}},  // Pistol
    {{0.162, 0.25, 0.375}, {0.25, 1.47, 1.75}, {0.25, 1.22, 1.45}},   // SMG
    {{0.52, 0.68, 0.72}, {1.224, 2.6, 2.7}, {1.6, 4.9, 6.2}},         // Rifle
    {{0.6, 0.76, 0.8}, {1.224, 2.15, 2.7}, {2.2, 6.2, 7.2}},          // Support
};

// Base accuracy by configuration: {other propellants, Grav}.
constexpr int kBaseAccuracy[4][2] = {{2, 3}, {3, 6}, {5, 11}, {5, 11}};

double RangeTLFactor(int config, std::int32_t tl) {
  if (tl >= 0 && tl <= 5) return 0.32;
  if (tl >= 6 && tl <= 8) return 0.6;
  if (tl >= 9 && tl <= 12) return config == kSupport ? 1.4 : 0.95;
  return 0;
}

std::int32_t RoundedSqrt(std::int32_t v) {
  return Wrap32(RoundHalfEven(CheckedSqrt(v)));
}

}  // namespace

namespace {
// v to the nearest multiple of `step`, ties to the even multiple.
std::int32_t RoundToMultiple(std::int32_t v, std::int32_t step) {
  std::int64_t q = v / step;
  const std::int32_t rest = v % step;  // v is positive here
  if (2 * rest > step || (2 * rest == step && q % 2 != 0)) ++q;
  return Wrap32(q * step);
}
}  // namespace

std::int32_t RoundRange(std::int32_t v) {
  if (v > 100 && v < 1000) v = RoundToMultiple(v, 10);
  if (v > 1000 && v < 10000) v = RoundToMultiple(v, 100);
  if (v > 10000) v = RoundToMultiple(v, 1000);
  return v;
}

namespace {

// A range rounded to round figures, and the rule that did it.
std::string RoundFigures(const DesignRun& r, std::int32_t before, std::int32_t after) {
  std::string rule = "kept as it is (100 or less, 1000 or 10000 exactly)";
  if (before > 100 && before < 1000) rule = "to tens (above 100, below 1000)";
  if (before > 1000 && before < 10000) rule = "to hundreds (above 1000, below 10000)";
  if (before > 10000) rule = "to thousands (above 10000)";
  return "In round figures, " + rule + ", ties to even: " + r.Num(before) + " -> " + r.Num(after);
}

// Accuracy before it is kept from going below 0: the base for the
// configuration, then each rule that applies, passed to `step(why, by, acc)`
// with the accuracy it leaves.
template <typename Step>
int Accuracy(const DesignRun& r, Step step) {
  const DesignInput& in = r.in;
  const int config = in.ConfigurationBox;
  int acc = 0;
  const auto rule = [&](bool applies, std::string_view why, int by) {
    if (!applies) return;
    acc += by;
    step(why, by, acc);
  };
  if (IsTabledConfiguration(config)) {
    acc = kBaseAccuracy[config][in.PropellantBox == kGrav ? 1 : 0];
    rule(r.q.BoreMm < 7, "Bore below 7 mm", -1);
    rule(in.BarrelBox == kShort, "Short barrel", -1);
    rule(in.BarrelBox == kLong, "Long barrel", 1);
  }
  rule(in.QualityAccurate == kFine, "Fine (accurate)", 1);
  rule(in.QualityAccurate == kVeryFine, "Very fine (accurate)", 2);
  rule(in.QualityAccurate == kCheap || in.QualityReliable == kCheap, "Cheap", -1);
  return acc;
}

[[gnu::cold, gnu::noinline]] void ExplainAccuracy(DesignRun& r) {
  const DesignInput& in = r.in;
  const int config = in.ConfigurationBox;
  Derivation d;
  if (IsTabledConfiguration(config)) {
    d.push_back("Base accuracy of a " + std::string(ConfigurationName(config)) +
                (in.PropellantBox == kGrav ? " (Grav)" : "") + ": " +
                IntText(kBaseAccuracy[config][in.PropellantBox == kGrav ? 1 : 0]));
  } else {
    d.push_back("A " + std::string(ConfigurationName(config)) +
                " has no accuracy table: base accuracy 0");
  }
  const int acc = Accuracy(
      r, [&](std::string_view why, int by, int now) { d.push_back(RuleStepText(why, by, now)); });
  if (acc < 0) d.push_back("Accuracy is never below 0");
  r.Explained(std::move(d), 5);
}

struct RangeSteps {
  double barrelFactor;
  double tlFactor;
  double loadingFactor;
  double boreFactor;
  ext product;
  std::int32_t rounded;      // the product rounded
  std::int32_t beforeRound;  // after the shotgun and propellant steps
  std::int32_t half;
  std::int32_t maxBefore;
  std::int32_t max;
};

[[gnu::cold, gnu::noinline]] void ExplainRange(DesignRun& r, const RangeSteps& s) {
  const DesignInput& in = r.in;
  const int config = in.ConfigurationBox;
  const int barrel = BarrelColumn(in.BarrelBox);
  const int prop = in.PropellantBox;
  Derivation d;
  d.push_back("Bore Size, mm " + Quoted(in.BoreSizeEdit) + " read as " + r.Num(r.q.BoreMm) +
              ", PowerMod " + Quoted(in.PowerModEdit) + " read as " + r.Num(r.q.PowerMod));
  if (!IsTabledConfiguration(config)) {
    d.push_back("A " + std::string(ConfigurationName(config)) +
                " has no range table: range factor, TL factor and bore factor 0");
  } else {
    if (barrel < 0) {
      d.push_back("No barrel length selected: range factor 0");
    } else {
      d.push_back(
          "Range table, " + std::string(ConfigurationName(config)) + ", " +
          std::string(BarrelName(barrel)) + ", " +
          std::string(PropellantRow(prop) == 0 ? "chemical propellant" : PropellantName(prop)) +
          ": range factor " + r.Num(s.barrelFactor));
    }
    std::string tl = r.TLRead() + ": TL factor " + r.Num(s.tlFactor);
    if (s.tlFactor == 0) tl += " (TL outside the tables, 0 to 12)";
    d.push_back(tl);
    d.push_back(std::string("Bore factor ") + r.Num(s.boreFactor) + " (bore " +
                (s.boreFactor == 375 ? "at least " : "below ") + (config <= kSMG ? "6" : "5.9") +
                " mm)");
  }
  const int mech = in.LoadingMechanismBox;
  d.push_back(std::string(MechanismName(mech)) + ": loading factor " +
              (mech >= kMuzzleloader && mech <= kBreechloader ? "0.5" : "1") +
              (in.ExtraLowBox ? ", x 0.5 extra-low-powered" : "") + " = " + r.Num(s.loadingFactor));
  d.push_back(
      "Half-damage range = square root of the bore x TL factor x bore factor x loading "
      "factor x range factor x PowerMod = " +
      r.Num(CheckedSqrt(r.q.BoreMm)) + " x " + r.Num(s.tlFactor) + " x " + r.Num(s.boreFactor) +
      " x " + r.Num(s.loadingFactor) + " x " + r.Num(s.barrelFactor) + " x " + r.Num(r.q.PowerMod) +
      " = " + r.Num(s.product));
  std::string rounding = "Rounded to the nearest whole yard, ties to even: " + r.Num(s.rounded);
  const ext fraction = s.product - ExtFloor(s.product);
  if (fraction != 0.5_ext && ExtFabs(fraction - 0.5_ext) < 1e-9_ext) {
    rounding += fraction > 0.5_ext ? " (the product lies a hair above the half)"
                                   : " (the product lies a hair below the half)";
  }
  d.push_back(rounding);
  if (in.ShotgunBox) {
    d.push_back(std::string("Shotgun: divided by ") +
                ((prop == kGauss || prop == kGrav) ? "10" : "5") + ", the fraction dropped");
  }
  if (prop == kETC) d.push_back(std::string("ETC: x ") + (in.HouseETCBox ? "1.25" : "1.5"));
  if (prop == kETK) d.push_back(std::string("ETK: x ") + (in.HouseETCBox ? "1.5" : "2"));
  d.push_back(RoundFigures(r, s.beforeRound, s.half));
  if (in.ShotgunBox) {
    d.push_back("Shotgun maximum range: 5 x half-damage range = " + r.Num(s.maxBefore));
  } else if (prop == kGrav) {
    d.push_back("Grav maximum range: 3 x half-damage range = " + r.Num(s.maxBefore));
  } else {
    const std::int64_t factor = prop == kGauss ? 70 : 120;
    d.push_back("Maximum range = half-damage range + " + IntText(factor) +
                " x square root of it (" + r.Num(CheckedSqrt(s.half)) + ", rounded " +
                IntText(Wrap32(RoundHalfEven(CheckedSqrt(s.half)))) + ") = " + r.Num(s.maxBefore));
  }
  d.push_back(RoundFigures(r, s.maxBefore, s.max));
  r.Explained(std::move(d), 7);
}

[[gnu::cold, gnu::noinline]] void ExplainVariantRange(DesignRun& r, bool boosted, std::int32_t half,
                                                      std::int32_t max) {
  Derivation d;
  if (boosted) {
    d.push_back("Boosted velocity: both ranges x 1.3, not rounded: " + r.Num(half) + " x 1.3 = " +
                r.Num(ext(half) * 1.3) + ", " + r.Num(max) + " x 1.3 = " + r.Num(ext(max) * 1.3));
  } else {
    d.push_back("Low velocity: both ranges halved, the fraction dropped: " + r.Num(half) +
                " / 2 -> " + IntText(Halve(half)) + ", " + r.Num(max) + " / 2 -> " +
                IntText(Halve(max)));
  }
  r.Explained(std::move(d), boosted ? 19 : 15);
}

}  // namespace

void RunRangeStage(DesignRun& r) {
  const DesignInput& in = r.in;
  const int config = in.ConfigurationBox;
  const int barrel = BarrelColumn(in.BarrelBox);
  const int prop = in.PropellantBox;
  const double bore = r.q.BoreMm;

  double barrelFactor = 0;
  if (IsTabledConfiguration(config) && barrel >= 0) {
    barrelFactor = kRangeBarrelFactor[config][PropellantRow(prop)][barrel];
  }
  double tlFactor = 0;
  if (IsTabledConfiguration(config)) tlFactor = RangeTLFactor(config, r.StrictTL());

  const int mech = in.LoadingMechanismBox;
  double loadingFactor = mech >= kMuzzleloader && mech <= kBreechloader ? 0.5 : 1.0;
  if (in.ExtraLowBox) loadingFactor *= 0.5;

  double boreFactor = 0;
  if (config == kPistol || config == kSMG) {
    boreFactor = bore >= 6 ? 375 : 250;
  } else if (config == kRifle || config == kSupport) {
    boreFactor = bore >= 5.9_ext ? 375 : 250;
  }

  // Half-damage range: one product, rounded once.
  const ext product =
      CheckedSqrt(bore) * tlFactor * boreFactor * loadingFactor * barrelFactor * r.q.PowerMod;
  std::int32_t half = Wrap32(RoundHalfEven(product));
  const std::int32_t rounded = half;
  if (in.ShotgunBox) half /= (prop == kGauss || prop == kGrav) ? 10 : 5;
  if (prop == kETC) half = Wrap32(RoundHalfEven(ext(half) * (in.HouseETCBox ? 1.25 : 1.5)));
  if (prop == kETK) {
    half = in.HouseETCBox ? Wrap32(RoundHalfEven(ext(half) * 1.5)) : Wrap32(std::int64_t{half} * 2);
  }
  const std::int32_t beforeRound = half;
  half = RoundRange(half);

  std::int32_t max = Wrap32(half + std::int64_t{120} * RoundedSqrt(half));
  if (prop == kGauss) max = Wrap32(half + std::int64_t{70} * RoundedSqrt(half));
  if (prop == kGrav) max = Wrap32(std::int64_t{3} * half);
  if (in.ShotgunBox) max = Wrap32(std::int64_t{5} * half);
  const std::int32_t maxBefore = max;
  max = RoundRange(max);

  const int accuracy = std::max(Accuracy(r, [](std::string_view, int, int) {}), 0);
  r.Line("Acc: ", accuracy);
  if (r.explain) [[unlikely]]
    ExplainAccuracy(r);
  r.Line("Range: ", half, "/", max);
  if (r.explain) [[unlikely]] {
    ExplainRange(r, {barrelFactor, tlFactor, loadingFactor, boreFactor, product, rounded,
                     beforeRound, half, maxBefore, max});
  }
  if (r.VelocityVariants()) {
    r.Line("-Boosted Velocity: ", ExtNumber{ext(half) * 1.3}, "/", ExtNumber{ext(max) * 1.3});
    if (r.explain) [[unlikely]]
      ExplainVariantRange(r, true, half, max);
    r.Line("-Low Velocity: ", Halve(half), "/", Halve(max));
    if (r.explain) [[unlikely]]
      ExplainVariantRange(r, false, half, max);
  }
}

}  // namespace brennick
