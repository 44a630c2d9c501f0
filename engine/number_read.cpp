// Reading the numbers typed into the form's text fields.
#include <algorithm>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "engine/design_error.h"
#include "engine/internal/float_chars.h"
#include "engine/internal/run.h"
#include "engine/number_text.h"

namespace brennick {

DesignError InvalidFloatText(std::string_view text) {
  return DesignError("'" + std::string(text) + "' is not a valid floating point value");
}

DesignError InvalidIntegerText(std::string_view text) {
  return DesignError("'" + std::string(text) + "' is not a valid integer value");
}

// ---------------------------------------------------------------------------
// Parsing

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Whether a validated number text (normalised to '.', without its sign) that
// does not fit a double is too small for one rather than too large: the
// decimal exponent of its first significant digit is negative.
bool TooSmallForDouble(std::string_view norm) {
  const std::size_t e = std::min(norm.find_first_of("eE"), norm.size());
  const std::string_view mantissa = norm.substr(0, e);
  const std::size_t first = mantissa.find_first_of("123456789");
  if (first == std::string_view::npos) return true;  // all zeros
  const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
  long long exp10 = first < point ? static_cast<long long>(point - first) - 1
                                  : -static_cast<long long>(first - point);
  long long written = 0;  // the exponent part, capped: only its sign matters here
  std::size_t i = e + 1;
  const bool negative = i < norm.size() && norm[i] == '-';
  if (i < norm.size() && (norm[i] == '+' || norm[i] == '-')) ++i;
  for (; i < norm.size(); ++i) {
    if (written < 1000000000) written = written * 10 + (norm[i] - '0');
  }
  exp10 += negative ? -written : written;
  return exp10 < 0;
}

using detail::kExactPow10;

// The value of the usual kind of number text, digits with an optional
// separator and fraction and trailing spaces, when its digits form an integer
// that a double holds exactly and at most 22 of them follow the separator:
// that integer divided by an exact power of ten is then one correctly rounded
// operation, which gives the same double as the general conversion. Nothing
// for any other text.
std::optional<double> PlainDecimal(std::string_view text, char dec) {
  std::size_t i = 0;
  const std::size_t n = text.size();
  std::uint64_t mantissa = 0;
  int digits = 0;
  int fraction = 0;
  while (i < n && IsDigit(text[i]) && digits < 19) {
    mantissa = mantissa * 10 + static_cast<unsigned>(text[i++] - '0');
    ++digits;
  }
  if (i < n && text[i] == dec) {
    ++i;
    while (i < n && IsDigit(text[i]) && digits < 19) {
      mantissa = mantissa * 10 + static_cast<unsigned>(text[i++] - '0');
      ++digits;
      ++fraction;
    }
  }
  while (i < n && text[i] == ' ') ++i;
  if (i != n || digits == 0 || mantissa > (std::uint64_t{1} << 53) || fraction > 22) {
    return std::nullopt;
  }
  const double whole = static_cast<double>(mantissa);
  return fraction == 0 ? whole : whole / kExactPow10[fraction];
}

}  // namespace

std::optional<double> detail::TryParseFloatGeneral(std::string_view text, char dec) {
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n && text[i] == ' ') ++i;
  bool negative = false;
  if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (const std::optional<double> plain = PlainDecimal(text.substr(i), dec)) {
    return negative ? -*plain : *plain;
  }
  std::string norm;
  norm.reserve(n);
  std::size_t digits = 0;
  while (i < n && IsDigit(text[i])) norm += text[i++], ++digits;
  if (i < n && text[i] == dec) {
    norm += '.';
    ++i;
    while (i < n && IsDigit(text[i])) norm += text[i++], ++digits;
  }
  if (digits == 0) return std::nullopt;
  if (i < n && (text[i] == 'e' || text[i] == 'E')) {
    norm += 'e';
    ++i;
    if (i < n && (text[i] == '+' || text[i] == '-')) norm += text[i++];
    std::size_t expDigits = 0;
    while (i < n && IsDigit(text[i])) norm += text[i++], ++expDigits;
    if (expDigits == 0) return std::nullopt;
  }
  while (i < n && text[i] == ' ') ++i;
  if (i != n) return std::nullopt;

  double value = 0;
  auto [ptr, ec] = detail::FromChars(norm.data(), norm.data() + norm.size(), value);
  if (ec == std::errc::result_out_of_range) {
    if (!TooSmallForDouble(norm)) return std::nullopt;  // too large: not a valid value
    value = 0;
  } else if (ec != std::errc() || ptr != norm.data() + norm.size()) {
    return std::nullopt;
  }
  return negative ? -value : value;
}

void detail::ThrowInvalidFloatText(std::string_view text) {
  throw InvalidFloatText(text);
}

std::optional<std::int32_t> detail::TryParseIntGeneral(std::string_view text) {
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n && text[i] == ' ') ++i;
  bool negative = false;
  if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int base = 10;
  if (i < n && text[i] == '$') {
    base = 16;
    ++i;
  } else if (i < n && (text[i] == 'x' || text[i] == 'X')) {
    base = 16;
    ++i;
  } else if (i + 1 < n && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i == n) return std::nullopt;
  // Accumulate the magnitude; anything beyond 2^31 cannot fit either sign.
  constexpr std::uint64_t kLimit = 1ull << 31;
  std::uint64_t magnitude = 0;
  for (; i < n; ++i) {
    int d = base == 16 ? HexDigit(text[i]) : (IsDigit(text[i]) ? text[i] - '0' : -1);
    if (d < 0) return std::nullopt;
    magnitude = magnitude * static_cast<unsigned>(base) + static_cast<unsigned>(d);
    if (magnitude > kLimit) return std::nullopt;
  }
  if (negative) return static_cast<std::int32_t>(-static_cast<std::int64_t>(magnitude));
  if (magnitude == kLimit) return std::nullopt;
  return static_cast<std::int32_t>(magnitude);
}

void detail::ThrowInvalidIntegerText(std::string_view text) {
  throw InvalidIntegerText(text);
}

}  // namespace brennick
