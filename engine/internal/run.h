// The inside of the design run: the state handed from stage to stage, the
// checked arithmetic the stages share, and the stages themselves.
//
// Only the engine's own sources and its tests include this header; everything
// else goes through RunDesign in design.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <type_traits>

#include "design.h"

namespace brennick {

// ---------------------------------------------------------------------------
// Rounding and checked arithmetic. All throw DesignError with the arithmetic
// messages where the value cannot be represented.

// Drops the fraction toward zero; |x| beyond 64 bits (or NaN) is invalid.
std::int64_t Truncate(long double x);
// Wraps a 64-bit value into 32 bits (two's complement), as a 32-bit quantity
// receiving a wide result does.
std::int32_t Wrap32(std::int64_t x);
// Integer halving toward zero: 7 -> 3, -7 -> -3.
std::int32_t Halve(std::int32_t x);
// Stores an extended-precision result into a double quantity: beyond the range
// of a double is an overflow, NaN an invalid operation.
double StoreDouble(long double x);
// round(x * scale) / scale, ties to even (scale 100 for hundredths).
double RoundToScale(long double x, long double scale);
long double CheckedSqrt(long double x);
long double CheckedLog10(long double x);
long double CheckedCbrt(long double x);  // x to the power 1/3

// A double quantity multiplied by a factor at extended precision and stored
// back as a double.
inline double Times(double x, ext factor) {
  return StoreDouble(ext(x) * factor);
}

// ---------------------------------------------------------------------------
// Small helpers shared by the stages.

// Pistol, SMG, Rifle and Support have rows in the factor tables; Cannon and
// "nothing selected" do not, and their factors stay 0.
inline bool IsTabledConfiguration(int c) {
  return c >= kPistol && c <= kSupport;
}
// Row of a configuration's factor table: 0 for chemical propellants (and none
// selected), 1 for Gauss, 2 for Grav.
inline int PropellantRow(int p) {
  return p == kGauss ? 1 : p == kGrav ? 2 : 0;
}
// The barrel-length column, or -1 when no barrel length is selected.
inline int BarrelColumn(int b) {
  return b >= kShort && b <= kLong ? b : -1;
}

// The entry of a table indexed by an option group's item for the selected
// item, or `none` when nothing is selected or the index lies beyond the table.
template <typename T, std::size_t N>
constexpr T ItemOr(const T (&table)[N], int index, std::type_identity_t<T> none) {
  return index >= 0 && index < static_cast<int>(N) ? table[index] : none;
}

// Ranges are quoted in round figures: tens below 1000, hundreds below 10000,
// thousands above (ties to even).
std::int32_t RoundRange(std::int32_t v);

// ---------------------------------------------------------------------------
// The run.

// Quantities handed from stage to stage. All start at zero.
struct DesignQuantities {
  double BoreMm = 0;
  double PowerMod = 0;
  double DamageDice = 0;
  double LoadedWeightLb = 0;
  double EmptyWeightLb = 0;
  double WeightPerShotLb = 0;
  std::int32_t MalfNumber = 0;
};

// The state of one run, passed to every stage.
struct DesignRun {
  const DesignInput& in;
  char dec;
  DesignQuantities q;
  Statblock& out;

  void Append(std::string line) { out.push_back(std::move(line)); }
  // TL read strictly (throws the integer message on a bad text).
  std::int32_t StrictTL() const {
    if (const auto& read = TL()) return *read;
    throw InvalidIntegerText(in.TLEdit);
  }
  // TL read leniently, 0 for a text that is not a whole number.
  std::int32_t LenientTL() const { return TL().value_or(0); }

  // Many stages read the TL; the text is parsed once per run.
  const std::optional<std::int32_t>& TL() const {
    if (!tlRead) {
      tl = TryParseInt(in.TLEdit);
      tlRead = true;
    }
    return tl;
  }
  mutable std::optional<std::int32_t> tl = std::nullopt;
  mutable bool tlRead = false;
  bool VelocityVariants() const {
    return in.PropellantBox == kLiquid || in.PropellantBox == kGauss;
  }
};

// The stages, in the order the run calls them. Each appends its lines.
void RunDamageStage(DesignRun& r);      // damage.cpp
void RunRangeStage(DesignRun& r);       // range.cpp
void RunWeightStage(DesignRun& r);      // weight.cpp
void RunRateOfFireStage(DesignRun& r);  // rof.cpp
void RunPowerNoteStage(DesignRun& r);   // power.cpp
void RunStrengthStage(DesignRun& r);    // strength.cpp
void RunCostStage(DesignRun& r);        // cost.cpp
void RunDurabilityStage(DesignRun& r);  // durability.cpp
void RunNotesStage(DesignRun& r);       // notes.cpp
void RunAmmunitionStage(DesignRun& r);  // ammo.cpp

}  // namespace brennick
