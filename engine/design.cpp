#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

#include "internal/run.h"

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

}  // namespace

std::optional<double> TryParseFloat(std::string_view text, char dec) {
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n && text[i] == ' ') ++i;
  bool negative = false;
  if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
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
  auto [ptr, ec] = std::from_chars(norm.data(), norm.data() + norm.size(), value);
  if (ec == std::errc::result_out_of_range) {
    if (!TooSmallForDouble(norm)) return std::nullopt;  // too large: not a valid value
    value = 0;
  } else if (ec != std::errc() || ptr != norm.data() + norm.size()) {
    return std::nullopt;
  }
  return negative ? -value : value;
}

double ParseFloatStrict(std::string_view text, char dec) {
  if (auto v = TryParseFloat(text, dec)) return *v;
  throw InvalidFloatText(text);
}

double FloatOr(std::string_view text, char dec, double fallback) {
  return TryParseFloat(text, dec).value_or(fallback);
}

std::optional<std::int32_t> TryParseInt(std::string_view text) {
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

std::int32_t ParseIntStrict(std::string_view text) {
  if (auto v = TryParseInt(text)) return *v;
  throw InvalidIntegerText(text);
}

std::int32_t IntOr(std::string_view text, std::int32_t fallback) {
  return TryParseInt(text).value_or(fallback);
}

// ---------------------------------------------------------------------------
// Number texts

std::string IntText(std::int64_t value) {
  return std::to_string(value);
}

namespace {

// Powers of ten that are exact at extended precision (5^27 fits 64 bits).
constexpr ext kPow10[] = {1e0L,  1e1L,  1e2L,  1e3L,  1e4L,  1e5L,  1e6L,  1e7L,  1e8L,  1e9L,
                          1e10L, 1e11L, 1e12L, 1e13L, 1e14L, 1e15L, 1e16L, 1e17L, 1e18L, 1e19L};

// The fifteen significant digits of a positive value as an integer from 10^14
// to 10^15 - 1, and the decimal exponent of the first digit. One scaling by an
// exact power of ten is enough unless the scaled value lies within a hair of
// a rounding half, where the exact conversion decides instead.
bool FifteenDigitsFast(ext v, std::uint64_t& digits, int& exponent) {
  if (!(v >= 1e-4L && v < 1e15L)) return false;
  // First guess of the exponent (v x 10^4 against exact powers of ten), then
  // a correction either way should the one rounding have misled it.
  int e = 14;
  while (e > -4 && v * kPow10[4] < kPow10[e + 4]) --e;
  ext scaled = 0;
  for (int attempt = 0; attempt < 3; ++attempt) {
    if (e < -5 || e > 14) return false;
    scaled = v * kPow10[14 - e];
    if (scaled >= 1e15L) {
      ++e;
    } else if (scaled < 1e14L) {
      --e;
    } else {
      break;
    }
  }
  if (!(scaled >= 1e14L && scaled < 1e15L)) return false;
  const std::int64_t rounded = std::llrint(scaled);
  if (0.5L - std::fabs(scaled - ext(rounded)) < 1e-3L) return false;
  digits = static_cast<std::uint64_t>(rounded);
  exponent = e;
  if (digits == 1000000000000000ull) {
    digits /= 10;
    ++exponent;
  }
  return true;
}

// The same, exactly, through the library's correctly rounded conversion.
void FifteenDigitsExact(ext v, std::uint64_t& digits, int& exponent) {
  char buf[64];
  auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific, 14);
  std::string_view sci(buf, static_cast<std::size_t>(res.ptr - buf));
  const std::size_t e = sci.find('e');
  digits = 0;
  for (char c : sci.substr(0, e)) {
    if (c != '.') digits = digits * 10 + static_cast<unsigned>(c - '0');
  }
  const char* expBegin = sci.data() + e + 1;
  if (*expBegin == '+') ++expBegin;
  std::from_chars(expBegin, sci.data() + sci.size(), exponent);
}

}  // namespace

std::string GeneralNumberText(long double value, char dec) {
  if (std::isnan(value)) throw DesignError(kInvalidFloatOp);
  if (std::isinf(value)) throw DesignError(kOverflow);
  if (value == 0) return "0";

  const bool negative = value < 0;
  const ext magnitude = negative ? -value : value;
  std::uint64_t mantissa = 0;
  int exponent = 0;
  if (!FifteenDigitsFast(magnitude, mantissa, exponent)) {
    FifteenDigitsExact(magnitude, mantissa, exponent);
  }
  char digitBuf[24];
  auto end = std::to_chars(digitBuf, digitBuf + sizeof digitBuf, mantissa).ptr;
  while (end - digitBuf > 1 && end[-1] == '0') --end;
  const std::string_view digits(digitBuf, static_cast<std::size_t>(end - digitBuf));

  std::string out;
  // Room for the line the number usually goes into, so that the words put
  // before and after it need no second allocation.
  out.reserve(24);
  if (negative) out += '-';
  // The form goes by the value itself, so 9.999999999999999E-5 stays
  // scientific even though its fifteen digits round up to 0.0001.
  if (magnitude < 1e-4L || magnitude >= 1e15L) {
    out += digits[0];
    if (digits.size() > 1) {
      out += dec;
      out.append(digits.substr(1));
    }
    out += 'E';
    out += std::to_string(exponent);
  } else if (exponent < 0) {
    out += '0';
    out += dec;
    out.append(static_cast<std::size_t>(-exponent - 1), '0');
    out.append(digits);
  } else {
    const std::size_t intDigits = static_cast<std::size_t>(exponent) + 1;
    if (digits.size() <= intDigits) {
      out.append(digits);
      out.append(intDigits - digits.size(), '0');
    } else {
      out.append(digits.substr(0, intDigits));
      out += dec;
      out.append(digits.substr(intDigits));
    }
  }
  return out;
}

std::string DiceText(double dice) {
  // The band limits below 1 die and the fraction limits are the game's
  // published breakpoints, compared at extended precision.
  if (dice < 1) {
    if (dice <= 0.032L) return "1d-5";
    if (dice <= 0.42L) return "1d-4";
    if (dice <= 0.56L) return "1d-3";
    if (dice <= 0.75L) return "1d-2";
    if (dice <= 0.95L) return "1d-1";
    return "1d";
  }
  const std::int64_t whole = Truncate(dice);
  const ext fraction = ext(dice) - ext(whole);
  if (fraction < 0.15L) return IntText(whole) + "d";
  if (fraction < 0.43L) return IntText(whole) + "d+1";
  if (fraction < 0.65L) return IntText(whole) + "d+2";
  if (fraction < 0.85L) return IntText(whole + 1) + "d-1";
  return IntText(whole + 1) + "d";
}

// ---------------------------------------------------------------------------
// Rounding and checked arithmetic

namespace {
constexpr ext kTwo63 = 9223372036854775808.0L;
bool FitsInt64(ext x) {
  return x >= -kTwo63 && x < kTwo63;
}  // false for NaN
}  // namespace

std::int64_t RoundHalfEven(long double x) {
  if (!FitsInt64(x)) throw DesignError(kInvalidFloatOp);
  // The default rounding mode: nearest, ties to even. Every extended value
  // below 2^63 rounds to at most 2^63 - 1, so the result always fits.
  return std::llrint(x);
}

std::int64_t Truncate(long double x) {
  if (!FitsInt64(x)) throw DesignError(kInvalidFloatOp);
  return std::llrint(std::trunc(x));
}

std::int32_t Wrap32(std::int64_t x) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(x)));
}

std::int32_t Halve(std::int32_t x) {
  return x / 2;
}

double StoreDouble(long double x) {
  if (std::isnan(x)) throw DesignError(kInvalidFloatOp);
  if (std::fabs(x) > static_cast<ext>(DBL_MAX)) throw DesignError(kOverflow);
  return static_cast<double>(x);
}

double RoundToScale(long double x, long double scale) {
  return StoreDouble(ext(RoundHalfEven(x * scale)) / scale);
}

long double CheckedSqrt(long double x) {
  if (std::isnan(x) || x < 0) throw DesignError(kInvalidFloatOp);
  return std::sqrt(x);
}

long double CheckedLog10(long double x) {
  if (std::isnan(x) || x < 0) throw DesignError(kInvalidFloatOp);
  if (x == 0) throw DesignError(kDivByZero);
  return std::log10(x);
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
  result.lines.reserve(48);
  DesignRun run{input, decimalSeparator, {}, result.lines};
  try {
    run.Append(input.NameEdit + " (TL" + input.TLEdit + ")");
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

}  // namespace brennick
