// Accuracy and range: the Acc line, the half-damage and maximum ranges.
#include "internal/run.h"

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
    boreFactor = bore >= 5.9L ? 375 : 250;
  }

  // Half-damage range: one product, rounded once.
  std::int32_t half = Wrap32(RoundHalfEven(CheckedSqrt(bore) * tlFactor * boreFactor *
                                           loadingFactor * barrelFactor * r.q.PowerMod));
  if (in.ShotgunBox) half /= (prop == kGauss || prop == kGrav) ? 10 : 5;
  if (prop == kETC) half = Wrap32(RoundHalfEven(ext(half) * (in.HouseETCBox ? 1.25 : 1.5)));
  if (prop == kETK) {
    half = in.HouseETCBox ? Wrap32(RoundHalfEven(ext(half) * 1.5)) : Wrap32(std::int64_t{half} * 2);
  }
  half = RoundRange(half);

  std::int32_t max = Wrap32(half + std::int64_t{120} * RoundedSqrt(half));
  if (prop == kGauss) max = Wrap32(half + std::int64_t{70} * RoundedSqrt(half));
  if (prop == kGrav) max = Wrap32(std::int64_t{3} * half);
  if (in.ShotgunBox) max = Wrap32(std::int64_t{5} * half);
  max = RoundRange(max);

  int accuracy = 0;
  if (IsTabledConfiguration(config)) {
    accuracy = kBaseAccuracy[config][prop == kGrav ? 1 : 0];
    if (bore < 7) --accuracy;
    if (in.BarrelBox == kShort) --accuracy;
    if (in.BarrelBox == kLong) ++accuracy;
  }
  if (in.QualityAccurate == kFine) accuracy += 1;
  if (in.QualityAccurate == kVeryFine) accuracy += 2;
  if (in.QualityAccurate == kCheap || in.QualityReliable == kCheap) accuracy -= 1;
  if (accuracy < 0) accuracy = 0;

  r.Line("Acc: ", accuracy);
  r.Line("Range: ", half, "/", max);
  if (r.VelocityVariants()) {
    r.Line("-Boosted Velocity: ", ExtNumber{ext(half) * 1.3}, "/", ExtNumber{ext(max) * 1.3});
    r.Line("-Low Velocity: ", Halve(half), "/", Halve(max));
  }
}

}  // namespace brennick
