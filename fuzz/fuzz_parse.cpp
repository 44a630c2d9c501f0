// Fuzz target: the strict and lenient readers of decimal and integer texts.
//
// Input: the first byte chooses the decimal separator ('.' or ','), the rest
// is the text as a user might type it. Every reader must agree with the
// others and with a straightforward reference reading of the same grammar,
// and a rejected text must be quoted exactly in the error message.
#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "engine/design_error.h"
#include "engine/number_text.h"
#include "fuzz/fuzz_check.h"

using brennick::DesignError;
using brennick::fuzz::Require;

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
bool IsHexDigit(char c) {
  return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
int HexValue(char c) {
  if (IsDigit(c)) return c - '0';
  return (c | 0x20) - 'a' + 10;
}

// Reference reading of a decimal text: the text with the sign, digits,
// '.' for the separator and the exponent, or nothing when the grammar does
// not match. Spaces may lead and trail; a sign may lead; at least one digit
// before or after the separator; an exponent needs digits.
std::optional<std::string> ReferenceDecimalText(std::string_view t, char dec) {
  std::size_t i = 0;
  while (i < t.size() && t[i] == ' ') ++i;
  std::size_t end = t.size();
  while (end > i && t[end - 1] == ' ') --end;
  t = t.substr(i, end - i);
  std::string out;
  i = 0;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) out += t[i++];
  std::size_t digits = 0;
  while (i < t.size() && IsDigit(t[i])) out += t[i++], ++digits;
  if (i < t.size() && t[i] == dec) {
    out += '.';
    ++i;
    while (i < t.size() && IsDigit(t[i])) out += t[i++], ++digits;
  }
  if (digits == 0) return std::nullopt;
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
    out += 'e';
    ++i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) out += t[i++];
    std::size_t expDigits = 0;
    while (i < t.size() && IsDigit(t[i])) out += t[i++], ++expDigits;
    if (expDigits == 0) return std::nullopt;
  }
  if (i != t.size()) return std::nullopt;
  return out;
}

struct ReferenceInt {
  bool valid = false;
  bool hex = false;
  std::int64_t value = 0;
};

// Reference reading of an integer text: leading spaces, a sign, then decimal
// digits or hex digits after $, x, X, 0x or 0X, nothing after, within 32 bits.
ReferenceInt ReferenceInteger(std::string_view t) {
  ReferenceInt r;
  std::size_t i = 0;
  while (i < t.size() && t[i] == ' ') ++i;
  bool negative = false;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) negative = t[i++] == '-';
  std::string_view rest = t.substr(i);
  if (rest.starts_with('$') || rest.starts_with('x') || rest.starts_with('X')) {
    r.hex = true;
    rest.remove_prefix(1);
  } else if (rest.starts_with("0x") || rest.starts_with("0X")) {
    r.hex = true;
    rest.remove_prefix(2);
  }
  if (rest.empty()) return r;
  __int128 magnitude = 0;
  for (char c : rest) {
    if (!(r.hex ? IsHexDigit(c) : IsDigit(c))) return r;
    magnitude = magnitude * (r.hex ? 16 : 10) + (r.hex ? HexValue(c) : c - '0');
    if (magnitude > (__int128{1} << 40)) magnitude = __int128{1} << 40;  // far out of range
  }
  const __int128 value = negative ? -magnitude : magnitude;
  if (value < INT32_MIN || value > INT32_MAX) return r;
  r.valid = true;
  r.value = static_cast<std::int64_t>(value);
  return r;
}

bool SameDouble(std::optional<double> a, std::optional<double> b) {
  if (a.has_value() != b.has_value()) return false;
  return !a || (*a == *b && std::signbit(*a) == std::signbit(*b));
}

void CheckDecimal(const std::string& text, char dec) {
  const std::optional<double> parsed = brennick::TryParseFloat(text, dec);

  // The strict reader throws exactly when the lenient one declines, and
  // quotes the text as typed.
  try {
    const double strict = brennick::ParseFloatStrict(text, dec);
    Require(parsed.has_value() && SameDouble(strict, parsed), "strict and lenient decimal differ",
            text);
  } catch (const DesignError& e) {
    Require(!parsed.has_value(), "strict decimal threw on a text the lenient reader took", text);
    Require(e.message() == "'" + text + "' is not a valid floating point value",
            "decimal error message does not quote the text", e.message());
  }
  const double fallback = -12345.25;
  Require(SameDouble(brennick::FloatOr(text, dec, fallback), parsed.value_or(fallback)),
          "FloatOr differs from TryParseFloat", text);
  if (parsed) Require(std::isfinite(*parsed), "a decimal text read as infinity or NaN", text);

  // Against the reference grammar and the C library's correctly rounded reading.
  const std::optional<std::string> ref = ReferenceDecimalText(text, dec);
  if (!ref) {
    Require(!parsed, "a text outside the decimal grammar was accepted", text);
    return;
  }
  errno = 0;
  const double expected = std::strtod(ref->c_str(), nullptr);
  if (std::isinf(expected)) {
    Require(!parsed, "a decimal beyond the range of a double was accepted", text);
  } else if (expected == 0 || std::fabs(expected) >= DBL_MIN) {
    Require(parsed.has_value(), "a valid decimal text was rejected", text);
    Require(*parsed == expected, "a decimal text was read to the wrong value", text);
  } else {
    // Below the smallest normal double: read as zero or as the subnormal.
    Require(parsed.has_value(), "a tiny decimal text was rejected", text);
    Require(*parsed == 0 || *parsed == expected, "a tiny decimal was read to the wrong value",
            text);
  }

  // The separator is only a separator: the same text written with the other
  // one reads the same under the other setting.
  const char other = dec == '.' ? ',' : '.';
  if (text.find(other) == std::string::npos) {
    std::string swapped = text;
    for (char& c : swapped) {
      if (c == dec) c = other;
    }
    Require(SameDouble(brennick::TryParseFloat(swapped, other), parsed),
            "the reading depends on which separator is in use", text);
  }
}

void CheckInteger(const std::string& text, char dec) {
  const std::optional<std::int32_t> parsed = brennick::TryParseInt(text);
  try {
    const std::int32_t strict = brennick::ParseIntStrict(text);
    Require(parsed.has_value() && strict == *parsed, "strict and lenient integer differ", text);
  } catch (const DesignError& e) {
    Require(!parsed.has_value(), "strict integer threw on a text the lenient reader took", text);
    Require(e.message() == "'" + text + "' is not a valid integer value",
            "integer error message does not quote the text", e.message());
  }
  Require(brennick::IntOr(text, -777) == parsed.value_or(-777), "IntOr differs from TryParseInt",
          text);

  const ReferenceInt ref = ReferenceInteger(text);
  Require(ref.valid == parsed.has_value(), "integer validity differs from the reference", text);
  if (!parsed) return;
  Require(*parsed == ref.value, "integer value differs from the reference", text);

  // A whole number in decimal digits is also a valid decimal number, of the
  // same value, whichever the separator.
  if (!ref.hex) {
    const std::optional<double> asDecimal = brennick::TryParseFloat(text, dec);
    Require(asDecimal.has_value() && *asDecimal == *parsed,
            "an integer text does not read as the same decimal number", text);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0 || size > 4096) return 0;
  const char dec = brennick::fuzz::SeparatorFrom(data[0]);
  const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
  CheckDecimal(text, dec);
  CheckInteger(text, dec);
  return 0;
}
