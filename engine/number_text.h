// Numbers as the form's text fields hold them and as a statblock writes them:
// reading the texts typed (strictly, or with a fallback), the texts of
// integers, general numbers and damage dice, and the rounding the run uses.
//
// A strict read or a rounding that cannot be done throws DesignError with the
// message the user sees.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/design_error.h"
#include "engine/ext.h"

namespace brennick {

// ---------------------------------------------------------------------------
// Reading text fields. `dec` is the system's decimal separator.

// The usual texts, a few digits with perhaps a separator and a fraction, are
// read where they are asked for; the readers below take every other text.
namespace detail {
std::optional<double> TryParseFloatGeneral(std::string_view text, char dec);
std::optional<std::int32_t> TryParseIntGeneral(std::string_view text);
[[noreturn]] void ThrowInvalidFloatText(std::string_view text);
[[noreturn]] void ThrowInvalidIntegerText(std::string_view text);
// Powers of ten that are exact doubles.
inline constexpr double kExactPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                         1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                         1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
}  // namespace detail

// Strict decimal number: spaces, sign, digits with an optional separator and
// fraction, an optional exponent, trailing spaces. Anything else is nothing.
inline std::optional<double> TryParseFloat(std::string_view text, char dec) {
  // At most fifteen digits and a separator: the digits as a whole number
  // divided by an exact power of ten is one correctly rounded operation, the
  // same double the general reading gives.
  const std::size_t n = text.size();
  if (n != 0 && n <= 16) {
    std::uint64_t digits = 0;
    std::size_t point = n;  // where the separator is, n for none
    std::size_t i = 0;
    for (; i < n; ++i) {
      const char c = text[i];
      if (c >= '0' && c <= '9') {
        digits = digits * 10 + static_cast<unsigned>(c - '0');
      } else if (c == dec && point == n) {
        point = i;
      } else {
        break;
      }
    }
    if (i == n && (point == n ? n <= 15 : n >= 2)) {
      const double whole = static_cast<double>(digits);
      return point >= n - 1 ? whole : whole / detail::kExactPow10[n - 1 - point];
    }
  }
  return detail::TryParseFloatGeneral(text, dec);
}
// As TryParseFloat, but anything else throws the floating point message.
inline double ParseFloatStrict(std::string_view text, char dec) {
  if (const std::optional<double> v = TryParseFloat(text, dec)) return *v;
  detail::ThrowInvalidFloatText(text);
}
inline double FloatOr(std::string_view text, char dec, double fallback) {
  return TryParseFloat(text, dec).value_or(fallback);
}

// Strict integer: leading spaces, sign, decimal digits or hex introduced by
// $, x, X, 0x or 0X; nothing may follow; must fit 32 bits. Anything else is
// nothing.
inline std::optional<std::int32_t> TryParseInt(std::string_view text) {
  // One to nine decimal digits always fit.
  const std::size_t n = text.size();
  if (n != 0 && n <= 9) {
    std::int32_t value = 0;
    std::size_t i = 0;
    for (; i < n && text[i] >= '0' && text[i] <= '9'; ++i) value = value * 10 + (text[i] - '0');
    if (i == n) return value;
  }
  return detail::TryParseIntGeneral(text);
}
// As TryParseInt, but anything else throws the integer message.
inline std::int32_t ParseIntStrict(std::string_view text) {
  if (const std::optional<std::int32_t> v = TryParseInt(text)) return *v;
  detail::ThrowInvalidIntegerText(text);
}
inline std::int32_t IntOr(std::string_view text, std::int32_t fallback) {
  return TryParseInt(text).value_or(fallback);
}

// ---------------------------------------------------------------------------
// Number texts.

std::string IntText(std::int64_t value);
// At most 15 significant digits, no trailing zeros, scientific form below
// 0.0001 and from 10^15.
std::string GeneralNumberText(ext value, char dec);
// Damage in dice as the game writes it: 1d-5 ... 1d, 3d+1, 7d-1, ...
std::string DiceText(double dice);

// ---------------------------------------------------------------------------
// Rounding and arithmetic.

// Extended precision (engine/ext.h): the products and sums of a run are
// formed in `ext` and stored into double quantities.

namespace detail {
[[noreturn]] void ThrowArithmetic(const char* message);
inline bool FitsInt64(ext x) {  // false for NaN
  // One comparison in the usual case; -2^63 is the one value it leaves over.
  return ExtFabs(x) < ext(0x1p63) || x == ext(-0x1p63);
}
}  // namespace detail

// Nearest integer, ties to even; |x| beyond 64 bits (or NaN) throws the
// "Invalid floating point operation" message.
inline std::int64_t RoundHalfEven(ext x) {
  if (!detail::FitsInt64(x)) detail::ThrowArithmetic(kInvalidFloatOp);
  // The default rounding mode: nearest, ties to even. Every extended value
  // below 2^63 rounds to at most 2^63 - 1, so the result always fits.
  return ExtRoundToInt64(x);
}

}  // namespace brennick
