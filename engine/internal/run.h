// The inside of the design run: the state handed from stage to stage, the
// checked arithmetic the stages share, and the stages themselves.
//
// Only the engine's own sources and its tests include this header; everything
// else goes through RunDesign in design.h.
#pragma once

#include <algorithm>
#include <cfloat>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

// The stages take the run's input and write its results and number texts
// through this header alone: it passes on both headers on purpose.
#include "engine/design.h"  // IWYU pragma: export
#include "engine/design_error.h"
#include "engine/ext.h"
#include "engine/number_text.h"  // IWYU pragma: export

namespace brennick {

// Extended constants in the stages: 0.032_ext.
using namespace literals;

// ---------------------------------------------------------------------------
// Rounding and checked arithmetic. All throw DesignError with the arithmetic
// messages where the value cannot be represented.

// Drops the fraction toward zero; |x| beyond 64 bits (or NaN) is invalid.
inline std::int64_t Truncate(ext x) {
  if (!detail::FitsInt64(x)) detail::ThrowArithmetic(kInvalidFloatOp);
  return static_cast<std::int64_t>(x);
}
// Wraps a 64-bit value into 32 bits (two's complement), as a 32-bit quantity
// receiving a wide result does.
inline std::int32_t Wrap32(std::int64_t x) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(x)));
}
// Integer halving toward zero: 7 -> 3, -7 -> -3.
inline std::int32_t Halve(std::int32_t x) {
  return x / 2;
}
// Stores an extended-precision result into a double quantity: beyond the range
// of a double is an overflow, NaN an invalid operation.
inline double StoreDouble(ext x) {
  if (!(ExtFabs(x) <= static_cast<ext>(DBL_MAX))) [[unlikely]] {
    detail::ThrowArithmetic(ExtIsNaN(x) ? kInvalidFloatOp : kOverflow);
  }
  return static_cast<double>(x);
}
// round(x * scale) / scale, ties to even (scale 100 for hundredths).
inline double RoundToScale(ext x, ext scale) {
  return StoreDouble(ext(RoundHalfEven(x * scale)) / scale);
}
// The square root, the logarithm and the power 1/3 of the stages; a negative
// (or NaN) argument is invalid, the logarithm of 0 a division by zero.
inline ext CheckedSqrt(ext x) {
  if (!(x >= 0)) [[unlikely]] {  // negative or NaN
    detail::ThrowArithmetic(kInvalidFloatOp);
  }
  return ExtSqrt(x);
}
ext CheckedLog10(ext x);
ext CheckedCbrt(ext x);
// RoundHalfEven(CheckedCbrt(x)) and RoundHalfEven(CheckedLog10(x)), with the
// same failures, mostly without taking the root or the logarithm.
std::int64_t RoundedCbrt(double x);
std::int64_t RoundedLog10(ext x);

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
// Number texts written straight into a statblock's text.

// Each writes its text at `out` and returns the end. The room each needs at
// `out`: an integer (sign and nineteen digits), a general number text (whose
// digits are copied in blocks that reach beyond the text itself), dice text
// (an integer and "d+1").
inline constexpr std::size_t kIntTextSize = 20;
inline constexpr std::size_t kGeneralNumberTextSize = 48;
inline constexpr std::size_t kDiceTextSize = 24;
char* WriteInt(char* out, std::int64_t value);
// Throws the invalid-operation message for NaN and the overflow message for
// an infinity before writing anything. Both give the text of the value itself.
char* WriteGeneralNumber(char* out, ext value, char dec);
char* WriteGeneralNumber(char* out, double value, char dec);
// Throws where the dice do not fit 64 bits, before writing anything.
char* WriteDiceText(char* out, double dice);

// Damage in dice as the game writes it: the statblock's dice text and the
// damage derivation both read these bands.
//
// What follows the number of dice: "d", "d+1", "d-5" and so on, at most three
// characters, kept in three bytes so that it is copied in one piece.
struct DiceSuffix {
  char bytes[3] = {};
  std::uint8_t size = 0;
  constexpr DiceSuffix(std::string_view text) : size(static_cast<std::uint8_t>(text.size())) {
    for (std::size_t i = 0; i < text.size(); ++i) bytes[i] = text[i];
  }
  std::string_view text() const { return {bytes, size}; }
};
// Below 1 die, the first band whose limit the dice do not exceed gives "1d-5"
// to "1d-1"; above the last, "1d".
struct SmallDiceBand {
  ext upTo;
  const char* limit;  // upTo as the derivation writes it
  DiceSuffix suffix;  // after the one die
};
inline constexpr SmallDiceBand kSmallDiceBands[] = {
    {0.032_ext, "0.032", {"d-5"}}, {0.42_ext, "0.42", {"d-4"}}, {0.56_ext, "0.56", {"d-3"}},
    {0.75_ext, "0.75", {"d-2"}},   {0.95_ext, "0.95", {"d-1"}},
};
inline constexpr DiceSuffix kAboveSmallDice{"d"};
// From 1 die: the whole dice and the first band the fraction beyond them lies
// below, which may make one more die.
struct DiceFractionBand {
  ext below;
  std::int64_t moreDice;
  DiceSuffix suffix;   // after the dice
  const char* reason;  // the band in the derivation's words
};
inline constexpr DiceFractionBand kDiceFractionBands[] = {
    {0.15_ext, 0, {"d"}, "below 0.15 adds nothing"},
    {0.43_ext, 0, {"d+1"}, "0.15 to below 0.43 adds +1"},
    {0.65_ext, 0, {"d+2"}, "0.43 to below 0.65 adds +2"},
    {0.85_ext, 1, {"d-1"}, "0.65 to below 0.85 makes one more die, -1"},
    {ExtInfinity(), 1, {"d"}, "0.85 and more makes one more die"},
};
// How a number of dice is written: `dice` and `suffix` ("3" and "d+1"); from
// 1 die also the band, the whole dice and the fraction beyond them. The band
// limits are compared at extended precision. Dice from 1 up that do not fit
// 64 bits (or NaN) throw the invalid-operation message.
struct DiceWriting {
  std::int64_t dice;
  const DiceSuffix* suffix;
  const DiceFractionBand* band = nullptr;  // null below 1 die
  std::int64_t whole = 0;
  ext fraction = 0;
};
// The loops are unrolled into the chain of comparisons they stand for: the
// statblock writes several dice texts per design.
inline DiceWriting DiceWritingOf(double dice) {
  if (dice < 1) {
#pragma GCC unroll 8
    for (const SmallDiceBand& band : kSmallDiceBands) {
      if (dice <= band.upTo) return {1, &band.suffix};
    }
    return {1, &kAboveSmallDice};
  }
  const std::int64_t whole = Truncate(dice);
  const ext fraction = ext(dice) - ext(whole);
  // The last band takes every fraction.
#pragma GCC unroll 8
  for (const DiceFractionBand& band : kDiceFractionBands) {
    if (fraction < band.below) return {whole + band.moreDice, &band.suffix, &band, whole, fraction};
  }
  return {};  // no fraction lies beyond the last band
}

// Pieces of a statblock line besides texts and integers: a decimal quantity
// or an extended-precision result in the general number text, and damage in
// dice text.
struct Number {
  double value;
};
struct ExtNumber {
  ext value;
};
struct Dice {
  double dice;
};

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

  // Appends one line made of the pieces in order: texts, integers (integer
  // text), Number, ExtNumber and Dice. A piece that throws appends nothing.
  template <typename... Pieces>
  void Line(const Pieces&... pieces) {
    char* end = out.LineRoom((RoomFor(pieces) + ... + 0));
    (Write(end, pieces), ...);
    out.EndLine(end);
  }

  // A text field read strictly as any number: one that is not throws the
  // floating point message and is noted as the failing read.
  template <std::string DesignInput::*Field>
  double StrictNumber() const {
    static_assert(StrictReadKind(Field) == 1, "the field list reads this field as any number");
    if (const auto read = TryParseFloat(in.*Field, dec)) [[likely]] {
      return *read;
    }
    FailedRead(Field);
  }
  // A text field read strictly as a whole number; one that is not throws the
  // integer message and is noted as the failing read.
  template <std::string DesignInput::*Field>
  std::int32_t StrictWhole() const {
    static_assert(StrictReadKind(Field) == 2, "the field list reads this field as a whole number");
    if (const auto read = TryParseInt(in.*Field)) return *read;
    FailedRead(Field);
  }

  // TL read strictly (throws the integer message on a bad text).
  std::int32_t StrictTL() const {
    static_assert(StrictReadKind(&DesignInput::TLEdit) == 2,
                  "the field list reads TL as a whole number");
    if (const auto& read = TL()) return *read;
    FailedRead(&DesignInput::TLEdit);
  }
  // TL read leniently, 0 for a text that is not a whole number.
  std::int32_t LenientTL() const { return TL().value_or(0); }

  // RoF read strictly (throws the integer message on a bad text).
  std::int32_t StrictRoF() const { return StrictWhole<&DesignInput::RoFEdit>(); }

  // Notes the strict field `text` as the failing read and throws the message
  // for its text: the integer message for a whole number, else the floating
  // point one.
  [[noreturn, gnu::cold]] void FailedRead(std::string DesignInput::*text) const;

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
  // Derivations. `explain` is set only when they are asked for; every use of
  // what follows (but the rule and the failing field, which the result
  // carries) sits behind a check of it, so a run without derivations builds no
  // text and allocates nothing for them.
  std::vector<Derivation>* explain = nullptr;
  // The rule running, as the failing read names it ("the damage").
  const char* rule = nullptr;
  // The strict field whose read failed, set where the read throws.
  mutable std::string DesignInput::*failedField = nullptr;

  // A number as the statblock writes it.
  std::string Num(ext value) const { return GeneralNumberText(value, dec); }
  // Records the derivation of the line just written: the steps, then "= " and
  // the line's figures, the line after its label of `labelSize` characters
  // (0 for a line that is text throughout).
  void Explained(Derivation steps, std::size_t labelSize = 0);
  // The TL as typed and what it was read as.
  std::string TLRead() const;
  // A text field as typed and what it was read as, or the default taken for
  // a text that is no number.
  std::string NumberRead(std::string_view caption, std::string_view text, double fallback) const;
  std::string WholeRead(std::string_view caption, std::string_view text,
                        std::int32_t fallback) const;

  bool VelocityVariants() const {
    return in.PropellantBox == kLiquid || in.PropellantBox == kGauss;
  }

 private:
  // The room each piece needs, and the piece written at `end`, which moves on.
  static std::size_t RoomFor(std::string_view piece) { return piece.size(); }
  template <std::size_t N>
  static constexpr std::size_t RoomFor(const char (&)[N]) {
    return N - 1;
  }
  static constexpr std::size_t RoomFor(std::int64_t) { return kIntTextSize; }
  static constexpr std::size_t RoomFor(Number) { return kGeneralNumberTextSize; }
  static constexpr std::size_t RoomFor(ExtNumber) { return kGeneralNumberTextSize; }
  static constexpr std::size_t RoomFor(Dice) { return kDiceTextSize; }

  static void Write(char*& end, std::string_view piece) {
    end = std::copy(piece.begin(), piece.end(), end);
  }
  // A string literal: its length is known without counting.
  template <std::size_t N>
  static void Write(char*& end, const char (&piece)[N]) {
    std::memcpy(end, piece, N - 1);
    end += N - 1;
  }
  static void Write(char*& end, std::int64_t piece) { end = WriteInt(end, piece); }
  void Write(char*& end, Number piece) const { end = WriteGeneralNumber(end, piece.value, dec); }
  void Write(char*& end, ExtNumber piece) const { end = WriteGeneralNumber(end, piece.value, dec); }
  static void Write(char*& end, Dice piece) { end = WriteDiceText(end, piece.dice); }
};

// Derivations the run itself writes (explain.cpp): the title line's; a short
// one for every line from `first` on that its stage left without one; and the
// failing read's, after the lines written before it.
void ExplainTitle(DesignRun& r);
void ExplainRemainingLines(DesignRun& r, std::size_t first);
void ExplainFailure(DesignRun& r, const std::string& message);
// A text as typed, in quotation marks.
std::string Quoted(std::string_view text);
// A rule that adds to a figure: "Cheap: -1 = 4", its reason, the change and
// the figure it leaves.
std::string RuleStepText(std::string_view why, std::int64_t by, std::int64_t now);
// The captions of the selected items, or "no ..." when none is selected.
std::string_view ConfigurationName(int config);
std::string_view BarrelName(int barrel);
std::string_view PropellantName(int propellant);
std::string_view MechanismName(int mechanism);

// Records the derivation `steps()` builds for the line just written (see
// DesignRun::Explained), in a function of its own, out of the run's way.
template <typename Steps>
[[gnu::cold, gnu::noinline]] void ExplainLine(DesignRun& r, std::size_t labelSize, Steps steps) {
  r.Explained(steps(), labelSize);
}

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
