// Fuzz target: the number texts of the statblock and the rounding helpers
// that feed them.
//
// Input: one mode byte, then the bytes of a value. The low two bits of the
// mode choose the value: a raw double (1 or 3; any bit pattern: NaN,
// infinities, subnormals), an extended value built from a 64-bit mantissa and
// an exponent (0), so that the whole range of the extended type is reached
// with valid encodings only, or a value a few units in the last place from a
// rounding half of the fifteenth digit (2). Bit 2 negates the extended value,
// bit 3 chooses ',' as the decimal separator.
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

#include "engine/design_error.h"
#include "engine/ext.h"
#include "engine/internal/run.h"
#include "engine/number_text.h"
#include "fuzz/fuzz_check.h"

using brennick::DesignError;
using brennick::ext;
using brennick::fuzz::Fail;
using brennick::fuzz::Require;

namespace {

constexpr ext kTwo63 = 9223372036854775808.0L;

std::string Describe(ext v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.21Lg", v);
  return buf;
}

// Runs f; returns the DesignError message when it throws one, or nothing.
template <typename F>
std::optional<std::string> ErrorOf(F&& f) {
  try {
    f();
  } catch (const DesignError& e) {
    return e.message();
  }
  return std::nullopt;
}

bool IsArithmeticMessage(const std::string& m) {
  return m == brennick::kInvalidFloatOp || m == brennick::kDivByZero || m == brennick::kOverflow;
}

// Splits a general number text into its significant digits and decimal
// exponent, checking the form on the way: an optional '-', digits, an optional
// separator with digits, an optional 'E' with an optional '-' and digits.
struct TextParts {
  std::string digits;  // significant digits, leading zeros removed
  int exponent = 0;    // decimal exponent of the first significant digit
  bool scientific = false;
};

TextParts CheckForm(std::string_view t, char dec, ext v) {
  const std::string what = Describe(v) + " -> " + std::string(t);
  TextParts parts;
  std::size_t i = 0;
  if (i < t.size() && t[i] == '-') ++i;
  Require((t[0] == '-') == std::signbit(v), "sign of the text is wrong", what);
  std::string intPart, fracPart;
  while (i < t.size() && t[i] >= '0' && t[i] <= '9') intPart += t[i++];
  if (i < t.size() && t[i] == dec) {
    ++i;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') fracPart += t[i++];
    Require(!fracPart.empty(), "separator without fraction digits", what);
    Require(fracPart.back() != '0', "trailing zero in the fraction", what);
  }
  Require(!intPart.empty(), "no digit before the separator", what);
  Require(intPart.size() == 1 || intPart[0] != '0', "leading zero", what);
  int exp10 = 0;
  if (i < t.size() && t[i] == 'E') {
    parts.scientific = true;
    ++i;
    bool negative = false;
    if (i < t.size() && t[i] == '-') negative = true, ++i;
    std::string e;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') e += t[i++];
    Require(!e.empty() && e[0] != '0', "exponent missing or with a leading zero", what);
    Require(intPart.size() == 1 && intPart[0] != '0', "scientific mantissa not d.ddd", what);
    exp10 = std::stoi(e) * (negative ? -1 : 1);
    Require(std::fabs(v) < 1e-4L || std::fabs(v) >= 1e15L, "scientific form inside the plain range",
            what);
  }
  Require(i == t.size(), "unexpected character in a number text", what);

  std::string all = intPart + fracPart;
  std::size_t firstNonZero = all.find_first_not_of('0');
  Require(firstNonZero != std::string::npos, "a nonzero value written as zero", what);
  parts.digits = all.substr(firstNonZero);
  while (parts.digits.size() > 1 && parts.digits.back() == '0') parts.digits.pop_back();
  Require(parts.digits.size() <= 15, "more than 15 significant digits", what);
  parts.exponent = parts.scientific
                       ? exp10
                       : static_cast<int>(intPart.size()) - 1 - static_cast<int>(firstNonZero);
  if (!parts.scientific) {
    Require(std::fabs(v) >= 1e-4L && std::fabs(v) < 1e15L, "plain form outside its range", what);
  }
  return parts;
}

// The general number text worked out from the C library's correctly rounded
// fifteen-digit conversion.
std::string ReferenceGeneralText(ext v, char dec) {
  if (v == 0) return "0";
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.14Le", v);  // [-]d.dddddddddddddde[+-]x
  std::string_view sci(buf);
  std::string out;
  if (sci[0] == '-') {
    out += '-';
    sci.remove_prefix(1);
  }
  const std::size_t e = sci.find('e');
  std::string digits;
  for (char c : sci.substr(0, e)) {
    if (c != '.') digits += c;
  }
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  const int exponent = std::atoi(std::string(sci.substr(e + 1)).c_str());
  if (std::fabs(v) < 1e-4L || std::fabs(v) >= 1e15L) {
    out += digits[0];
    if (digits.size() > 1) out += dec + digits.substr(1);
    return out + "E" + std::to_string(exponent);
  }
  if (exponent < 0) return out + "0" + dec + std::string(-exponent - 1, '0') + digits;
  const std::size_t whole = static_cast<std::size_t>(exponent) + 1;
  if (digits.size() <= whole) return out + digits + std::string(whole - digits.size(), '0');
  return out + digits.substr(0, whole) + dec + digits.substr(whole);
}

void CheckGeneralNumberText(ext v, char dec) {
  std::string text;
  auto error = ErrorOf([&] { text = brennick::GeneralNumberText(v, dec); });
  if (std::isnan(v)) {
    Require(error == brennick::kInvalidFloatOp, "NaN not reported as an invalid operation");
    return;
  }
  if (std::isinf(v)) {
    Require(error == brennick::kOverflow, "infinity not reported as an overflow");
    return;
  }
  Require(!error, "a finite value could not be written", Describe(v));
  if (v == 0) {
    Require(text == "0", "zero not written as 0", text);
    return;
  }
  const TextParts parts = CheckForm(text, dec, v);
  Require(text == ReferenceGeneralText(v, dec), "number text differs from the exact rounding",
          Describe(v) + " -> " + text + " instead of " + ReferenceGeneralText(v, dec));

  const ext mag = std::fabs(v);
  const std::optional<double> back = brennick::TryParseFloat(text, dec);
  // Fifteen digits of the very largest doubles round up beyond the range of a
  // double (1.79769313486232E308), which the reader rightly refuses.
  if (mag >= 1.797693134862315e308L) return;
  Require(back.has_value(), "a number text does not read back", Describe(v) + " -> " + text);
  // Near and below the smallest normal double only the order of magnitude
  // survives: the reader may give a subnormal or zero there.
  if (mag < 2.3e-308L) return;

  // Within half a unit of the fifteenth significant digit, plus the rounding
  // into a double.
  const ext unit = std::pow(10.0L, static_cast<ext>(parts.exponent - 14));
  const ext tolerance = 0.5L * unit * (1 + 1e-12L) + mag * 0x1p-52L;
  Require(std::fabs(ext(*back) - v) <= tolerance, "a number text reads back to another value",
          Describe(v) + " -> " + text);
  // Fifteen digits always survive a double: the text is a fixed point, except
  // where rounding carried the digits across 0.0001 or 10^15 and the value
  // read back falls on the other side of the line between the two forms.
  const ext backMag = std::fabs(ext(*back));
  const bool backScientific = backMag < 1e-4L || backMag >= 1e15L;
  if (backScientific == parts.scientific) {
    Require(brennick::GeneralNumberText(*back, dec) == text,
            "reading a number text back and writing it again changes it", text);
  }
}

void CheckDiceText(double dice) {
  std::string text;
  auto error = ErrorOf([&] { text = brennick::DiceText(dice); });
  if (std::isnan(dice) || ext(dice) >= kTwo63) {
    Require(error == brennick::kInvalidFloatOp, "dice beyond 64 bits not an invalid operation",
            Describe(dice));
    return;
  }
  Require(!error, "DiceText failed below 2^63", Describe(dice));
  const std::size_t d = text.find('d');
  Require(d != std::string::npos && d > 0, "dice text without a die count", text);
  const std::string count = text.substr(0, d);
  const std::string adds = text.substr(d + 1);
  Require(count.find_first_not_of("0123456789") == std::string::npos && count[0] != '0',
          "die count is not a positive whole number", text);
  if (dice < 1) {
    Require(count == "1", "less than one die written as more", text);
    Require(adds.empty() || adds == "-1" || adds == "-2" || adds == "-3" || adds == "-4" ||
                adds == "-5",
            "a fraction of a die written with a wrong adds", text);
    return;
  }
  Require(adds.empty() || adds == "+1" || adds == "+2" || adds == "-1",
          "dice text with a wrong adds", text);
  const std::int64_t whole = static_cast<std::int64_t>(dice);
  const std::string plainWhole = std::to_string(whole);
  const std::string nextWhole = std::to_string(whole + 1);
  Require(count == plainWhole || count == nextWhole, "die count is not the whole dice or one more",
          text);
  if (adds == "-1") Require(count == nextWhole, "-1 adds on the wrong die count", text);
  if (adds == "+1" || adds == "+2") Require(count == plainWhole, "+adds on the wrong count", text);
}

void CheckRounding(ext x) {
  const bool beyond64 = std::isnan(x) || x < -kTwo63 || x >= kTwo63;  // -2^63 itself fits
  const bool inRange = x > -kTwo63 + 1 && x < kTwo63 - 1;  // rounding cannot leave 64 bits

  std::int64_t rounded = 0;
  auto error = ErrorOf([&] { rounded = brennick::RoundHalfEven(x); });
  if (beyond64) {
    Require(error == brennick::kInvalidFloatOp, "rounding beyond 64 bits not invalid", Describe(x));
  } else if (inRange) {
    Require(!error, "rounding inside 64 bits failed", Describe(x));
    const ext diff = ext(rounded) - x;
    Require(std::fabs(diff) <= 0.5L, "rounding moved more than one half", Describe(x));
    if (std::fabs(diff) == 0.5L) Require(rounded % 2 == 0, "a tie rounded to odd", Describe(x));
  }

  std::int64_t truncated = 0;
  error = ErrorOf([&] { truncated = brennick::Truncate(x); });
  if (beyond64) {
    Require(error == brennick::kInvalidFloatOp, "truncating beyond 64 bits not invalid",
            Describe(x));
  } else {
    Require(!error, "truncating inside 64 bits failed", Describe(x));
    Require(std::fabs(x - ext(truncated)) < 1 && std::fabs(ext(truncated)) <= std::fabs(x),
            "truncation not toward zero", Describe(x));
  }

  double stored = 0;
  error = ErrorOf([&] { stored = brennick::StoreDouble(x); });
  if (std::isnan(x)) {
    Require(error == brennick::kInvalidFloatOp, "storing NaN not invalid");
  } else if (std::fabs(x) > DBL_MAX) {
    Require(error == brennick::kOverflow, "storing beyond a double not an overflow", Describe(x));
  } else {
    Require(!error && (stored == x || std::fabs(ext(stored) - x) <= std::fabs(x) * 0x1p-53L ||
                       std::fabs(x) < DBL_MIN),
            "storing a double changed it by more than its rounding", Describe(x));
  }

  // The remaining helpers may only ever fail with one of the arithmetic messages.
  for (ext scale : {100.0L, 1000.0L}) {
    error = ErrorOf([&] { (void)brennick::RoundToScale(x, scale); });
    if (error) Require(IsArithmeticMessage(*error), "unexpected message from RoundToScale", *error);
  }
  ext root = 0;
  error = ErrorOf([&] { root = brennick::CheckedSqrt(x); });
  if (x < 0 || std::isnan(x)) {
    Require(error == brennick::kInvalidFloatOp, "square root of a negative not invalid");
  } else {
    Require(!error && !std::isnan(root), "square root failed", Describe(x));
  }
  error = ErrorOf([&] { root = brennick::CheckedCbrt(x); });
  if (x < 0 || std::isnan(x)) {
    Require(error == brennick::kInvalidFloatOp, "cube root of a negative not invalid");
  } else {
    Require(!error && !std::isnan(root), "cube root failed", Describe(x));
  }
  error = ErrorOf([&] { root = brennick::CheckedLog10(x); });
  if (x < 0 || std::isnan(x)) {
    Require(error == brennick::kInvalidFloatOp, "logarithm of a negative not invalid");
  } else if (x == 0) {
    Require(error == brennick::kDivByZero, "logarithm of zero not a division by zero");
  } else {
    Require(!error && !std::isnan(root), "logarithm failed", Describe(x));
  }

  // Wrap32 and Halve are total: any 64-bit value wraps, any 32-bit one halves.
  if (!beyond64) {
    const std::int64_t whole = static_cast<std::int64_t>(x);
    const std::int32_t wrapped = brennick::Wrap32(whole);
    Require(static_cast<std::uint32_t>(wrapped) == static_cast<std::uint32_t>(whole),
            "Wrap32 did not keep the low 32 bits", Describe(x));
    const std::int32_t half = brennick::Halve(wrapped);
    Require(std::int64_t{half} * 2 + wrapped % 2 == wrapped, "Halve did not truncate", Describe(x));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::uint8_t mode = data[0];
  const char dec = brennick::fuzz::SeparatorFrom(mode >> 3);
  data += 1;
  size -= 1;

  if ((mode & 3) == 2) {
    // A value within a few units in the last place of a rounding half of the
    // fifteenth digit: (D + 1/2) * 10^k for a fifteen-digit D, nudged.
    if (size < 11) return 0;
    std::uint64_t d;
    std::memcpy(&d, data, sizeof d);
    d = 100000000000000ull + d % 900000000000000ull;
    const int k = static_cast<int>(data[8] % 60) - 40;
    const int nudge = static_cast<int>(static_cast<std::int8_t>(data[9]));
    ext v = (static_cast<ext>(d) + 0.5L) * std::pow(10.0L, static_cast<ext>(k));
    for (int i = 0; i < std::abs(nudge) % 64; ++i) {
      v = std::nextafter(v, nudge < 0 ? 0.0L : HUGE_VALL);
    }
    if (data[10] & 1) v = -v;
    CheckGeneralNumberText(v, dec);
    if (data[10] & 2) CheckGeneralNumberText(static_cast<double>(v), dec);
  } else if (mode & 1) {
    // A raw double: every bit pattern, NaNs and infinities included.
    if (size < 8) return 0;
    double d;
    std::memcpy(&d, data, sizeof d);
    CheckGeneralNumberText(d, dec);
    CheckDiceText(d);
    CheckRounding(d);
  } else {
    // An extended value: mantissa * 2^exponent over the whole extended range.
    if (size < 10) return 0;
    std::uint64_t mantissa;
    std::int16_t exponent;
    std::memcpy(&mantissa, data, sizeof mantissa);
    std::memcpy(&exponent, data + 8, sizeof exponent);
    ext v = std::ldexp(static_cast<ext>(mantissa), exponent);
    if (mode & 4) v = -v;
    CheckGeneralNumberText(v, dec);
    CheckRounding(v);
    if (std::fabs(v) <= DBL_MAX) CheckDiceText(static_cast<double>(v));
  }
  return 0;
}
