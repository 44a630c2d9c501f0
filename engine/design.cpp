// The design run: the checked arithmetic the stages share, and the run itself.
#include <algorithm>
#include <array>
#include <cmath>

#include "internal/run.h"

namespace brennick {

// ---------------------------------------------------------------------------
// Rounding and checked arithmetic

void detail::ThrowArithmetic(const char* message) {
  throw DesignError(message);
}

long double CheckedLog10(long double x) {
  if (std::isnan(x) || x < 0) throw DesignError(kInvalidFloatOp);
  if (x == 0) throw DesignError(kDivByZero);
  return std::log10(x);
}

std::int64_t RoundedCbrt(double x) {
  // Up to some million pounds the root lies between two halves k - 1/2 and
  // k + 1/2 whose cubes bound x; unless it comes within a hair of one of them
  // (the margin is far wider than the near-half test of CheckedCbrt and the
  // root's own error), it rounds to k, found without taking the root.
  static constexpr auto kHalfCubes = [] {
    std::array<double, 101> cubes{};
    for (std::size_t k = 0; k < cubes.size(); ++k) {
      const double twice = 2.0 * static_cast<double>(k) + 1;  // exact cubes: (2k + 1)^3 / 8
      cubes[k] = twice * twice * twice / 8;
    }
    return cubes;
  }();
  constexpr double kMargin = 5e-8;
  if (x >= 0 && x < kHalfCubes.back()) {
    const auto above = std::upper_bound(kHalfCubes.begin(), kHalfCubes.end(), x);
    const auto k = above - kHalfCubes.begin();
    const bool clearBelow = k == 0 || x > above[-1] * (1 + kMargin);
    if (clearBelow && x < above[0] * (1 - kMargin)) return k;
  }
  return RoundHalfEven(CheckedCbrt(x));
}

std::int64_t RoundedLog10(long double x) {
  // The same for powers of ten: between 10^(k - 1/2) and 10^(k + 1/2), and
  // not within a hair of either, the logarithm rounds to k.
  constexpr int kLowest = -10;
  static constexpr auto kHalfPowers = [] {
    std::array<ext, 41> powers{};
    ext p = 3.16227766016837933199889354443271853L;  // 10^(1/2)
    for (int k = 0; k > kLowest; --k) p /= 10;
    for (ext& power : powers) {
      power = p;
      p *= 10;
    }
    return powers;
  }();
  constexpr ext kMargin = 1e-12L;
  if (x >= kHalfPowers.front() && x < kHalfPowers.back()) {
    const auto above = std::upper_bound(kHalfPowers.begin(), kHalfPowers.end(), x);
    const bool clear = x > above[-1] * (1 + kMargin) && x < above[0] * (1 - kMargin);
    if (clear) return kLowest + (above - kHalfPowers.begin());
  }
  return RoundHalfEven(CheckedLog10(x));
}

long double CheckedCbrt(long double x) {
  if (std::isnan(x) || x < 0) throw DesignError(kInvalidFloatOp);
  if (x == 0) return 0;
  // The power 1/3 with 1/3 at extended precision (a hair above a third). The
  // cube root agrees with it to far better than a millionth except in its last
  // bits, which only matter when the root lies on a half (an enormous weight
  // that is exactly a cube of n + 1/2); only there is the slower power taken.
  const ext root = std::cbrt(x);
  if (std::fabs(root - std::floor(root) - 0.5L) < 1e-9L * root) return std::pow(x, 1.0L / 3.0L);
  return root;
}

// ---------------------------------------------------------------------------
// The run

DesignResult RunDesign(const DesignInput& input, char decimalSeparator) {
  DesignResult result;
  // Room for a long statblock: the longest has some eighty lines, most of
  // them short.
  result.lines.reserve(80, 4096 + input.NameEdit.size() + 2 * input.TLEdit.size());
  DesignRun run{input, decimalSeparator, {}, result.lines};
  try {
    run.Line(input.NameEdit, " (TL", input.TLEdit, ")");
    run.q.BoreMm = ParseFloatStrict(input.BoreSizeEdit, decimalSeparator);
    run.q.PowerMod = ParseFloatStrict(input.PowerModEdit, decimalSeparator);
    RunDamageStage(run);
    RunRangeStage(run);
    RunWeightStage(run);
    RunRateOfFireStage(run);
    RunPowerNoteStage(run);
    RunStrengthStage(run);
    RunCostStage(run);
    RunDurabilityStage(run);
    RunNotesStage(run);
    RunAmmunitionStage(run);
  } catch (const DesignError& e) {
    result.error = e.message();
  }
  return result;
}

DesignResult RunDesign(const DesignInput& input, char decimalSeparator, Explain explain) {
  DesignResult result = RunDesign(input, decimalSeparator);
  if (explain == Explain::Yes) {
    // The stages do not yet say how their lines came about: each derivation
    // is empty until they do.
    result.explain.resize(result.lines.size() + (result.error ? 1 : 0));
  }
  return result;
}

}  // namespace brennick
