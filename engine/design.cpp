// The design run: the checked arithmetic the stages share, and the run itself.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/design_error.h"
#include "engine/ext.h"
#include "engine/internal/run.h"

namespace brennick {

// ---------------------------------------------------------------------------
// Rounding and checked arithmetic

void detail::ThrowArithmetic(const char* message) {
  throw DesignError(message);
}

ext CheckedLog10(ext x) {
  if (ExtIsNaN(x) || x < 0) throw DesignError(kInvalidFloatOp);
  if (x == 0) throw DesignError(kDivByZero);
  return ExtLog10(x);
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

std::int64_t RoundedLog10(ext x) {
  // The same for powers of ten: between 10^(k - 1/2) and 10^(k + 1/2), and
  // not within a hair of either, the logarithm rounds to k.
  constexpr int kLowest = -10;
  static constexpr auto kHalfPowers = [] {
    std::array<ext, 41> powers{};
    ext p = 3.16227766016837933199889354443271853_ext;  // 10^(1/2)
    for (int k = 0; k > kLowest; --k) p /= 10;
    for (ext& power : powers) {
      power = p;
      p *= 10;
    }
    return powers;
  }();
  constexpr ext kMargin = 1e-12_ext;
  if (x >= kHalfPowers.front() && x < kHalfPowers.back()) {
    const auto above = std::upper_bound(kHalfPowers.begin(), kHalfPowers.end(), x);
    const bool clear = x > above[-1] * (1 + kMargin) && x < above[0] * (1 - kMargin);
    if (clear) return kLowest + (above - kHalfPowers.begin());
  }
  return RoundHalfEven(CheckedLog10(x));
}

ext CheckedCbrt(ext x) {
  if (ExtIsNaN(x) || x < 0) throw DesignError(kInvalidFloatOp);
  if (x == 0) return 0;
  // The power 1/3 with 1/3 at extended precision (a hair above a third). The
  // cube root agrees with it to far better than a millionth except in its last
  // bits, which only matter when the root lies on a half (an enormous weight
  // that is exactly a cube of n + 1/2); only there is the slower power taken.
  const ext root = ExtCbrt(x);
  if (ExtFabs(root - ExtFloor(root) - 0.5_ext) < 1e-9_ext * root) return ExtPowThird(x);
  return root;
}

// ---------------------------------------------------------------------------
// The run

void DesignRun::FailedRead(std::string DesignInput::*text) const {
  failedField = text;
  const StrictField* field = FindStrictField(text);
  if (field != nullptr && field->wholeNumber) throw InvalidIntegerText(in.*text);
  throw InvalidFloatText(in.*text);
}

namespace {

// Runs one stage, naming its rule for a failure. When derivations are asked
// for, it gives every line the stage wrote without one a short one.
inline void RunStage(DesignRun& run, void (*stage)(DesignRun&), const char* rule) {
  run.rule = rule;
  if (run.explain) [[unlikely]] {
    const std::size_t first = run.out.size();
    stage(run);
    ExplainRemainingLines(run, first);
    return;
  }
  stage(run);
}

DesignResult Run(const DesignInput& input, char decimalSeparator,
                 std::vector<Derivation>* explain) {
  DesignResult result;
  // Room for a long statblock: the longest has some eighty lines, most of
  // them short.
  result.lines.reserve(80, 4096 + input.NameEdit.size() + 2 * input.TLEdit.size());
  DesignRun run{input, decimalSeparator, {}, result.lines};
  run.explain = explain;
  try {
    run.Line(input.NameEdit, " (TL", input.TLEdit, ")");
    if (run.explain) [[unlikely]]
      ExplainTitle(run);
    // The bore and the power modifier are read for the damage, and kept for
    // every stage after it.
    run.rule = "damage";
    run.q.BoreMm = run.StrictNumber<&DesignInput::BoreSizeEdit>();
    run.q.PowerMod = run.StrictNumber<&DesignInput::PowerModEdit>();
    RunStage(run, RunDamageStage, "damage");
    RunStage(run, RunRangeStage, "range");
    RunStage(run, RunWeightStage, "weight");
    RunStage(run, RunRateOfFireStage, "rate of fire");
    RunStage(run, RunPowerNoteStage, "power supply note");
    RunStage(run, RunStrengthStage, "strength, bulk and recoil");
    RunStage(run, RunCostStage, "malfunction and cost");
    RunStage(run, RunDurabilityStage, "durability");
    RunStage(run, RunNotesStage, "notes");
    RunStage(run, RunAmmunitionStage, "ammunition");
  } catch (const DesignError& e) {
    result.error = e.message();
    result.failedRule = run.rule;
    result.failedField = run.failedField;
    if (run.explain) [[unlikely]]
      ExplainFailure(run, e.message());
  }
  return result;
}

}  // namespace

DesignResult RunDesign(const DesignInput& input, char decimalSeparator) {
  return Run(input, decimalSeparator, nullptr);
}

DesignResult RunDesign(const DesignInput& input, char decimalSeparator, Explain explain) {
  if (explain == Explain::No) return Run(input, decimalSeparator, nullptr);
  std::vector<Derivation> derivations;
  DesignResult result = Run(input, decimalSeparator, &derivations);
  result.explain = std::move(derivations);
  return result;
}

}  // namespace brennick
