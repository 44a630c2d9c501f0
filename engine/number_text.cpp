// Number texts: integers, general number texts and damage dice.
#include "engine/number_text.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "engine/internal/float_chars.h"
#include "engine/internal/run.h"

namespace brennick {

// ---------------------------------------------------------------------------
// Number texts

namespace {

using detail::kExactPow10;
// "00" to "99".
constexpr auto kDigitPairs = [] {
  std::array<char, 200> pairs{};
  for (std::size_t i = 0; i < 100; ++i) {
    pairs[2 * i] = static_cast<char>('0' + i / 10);
    pairs[2 * i + 1] = static_cast<char>('0' + i % 10);
  }
  return pairs;
}();
}  // namespace

char* WriteInt(char* out, std::int64_t value) {
  // Nearly every number of a statblock has one to four digits.
  if (value < 0 || value >= 10000) return std::to_chars(out, out + kIntTextSize, value).ptr;
  const auto v = static_cast<unsigned>(value);
  if (v < 10) {
    *out = static_cast<char>('0' + v);
    return out + 1;
  }
  if (v < 100) {
    std::memcpy(out, &kDigitPairs[2 * v], 2);
    return out + 2;
  }
  if (v < 1000) {
    *out = static_cast<char>('0' + v / 100);
    std::memcpy(out + 1, &kDigitPairs[2 * (v % 100)], 2);
    return out + 3;
  }
  std::memcpy(out, &kDigitPairs[2 * (v / 100)], 2);
  std::memcpy(out + 2, &kDigitPairs[2 * (v % 100)], 2);
  return out + 4;
}

std::string IntText(std::int64_t value) {
  char buf[kIntTextSize];
  return std::string(buf, WriteInt(buf, value));
}

namespace {

// Powers of ten up to 10^19, the largest that 64 bits hold.
constexpr auto kPow10Int = [] {
  std::array<std::uint64_t, 20> p{};
  p[0] = 1;
  for (std::size_t i = 1; i < p.size(); ++i) p[i] = p[i - 1] * 10;
  return p;
}();

__extension__ using Uint128 = unsigned __int128;

// A positive value as mantissa x 2^(exponent - 63), the mantissa's top bit set.
struct Binary {
  std::uint64_t mantissa;
  int exponent;
};

Binary BinaryOf(double v) {  // a normal double
  const auto bits = std::bit_cast<std::uint64_t>(v);
  return {((bits & ((std::uint64_t{1} << 52) - 1)) | (std::uint64_t{1} << 52)) << 11,
          static_cast<int>((bits >> 52) & 0x7FF) - 1023};
}

Binary BinaryOf(ext v) {  // a normal extended value
#if BRENNICK_EXT_IS_SOFT
  return {v.SignificandBits(), (v.SignExponentBits() & 0x7FFF) - 16383};
#else
  static_assert(
      std::numeric_limits<ext>::digits == 64 && std::endian::native == std::endian::little,
      "the extended type is the x87 80-bit format");
  std::uint64_t mantissa = 0;
  std::uint16_t signAndExponent = 0;
  std::memcpy(&mantissa, &v, sizeof mantissa);
  std::memcpy(&signAndExponent, reinterpret_cast<const char*>(&v) + sizeof mantissa,
              sizeof signAndExponent);
  return {mantissa, (signAndExponent & 0x7FFF) - 16383};
#endif
}

// The fifteen significant digits of a value from 10^-4 to below 10^15 as an
// integer from 10^14 to 10^15 - 1, correctly rounded (an exact half to the
// even neighbour), and the decimal exponent of the first digit. The value
// times a power of ten is worked out exactly, in integers.
void FifteenDigits(Binary v, std::uint64_t& digits, int& exponent) {
  const int shift = 63 - v.exponent;  // 14 to 77 over the range
  // The decimal exponent is that of the binary one's power of two, or one more.
  int e = std::min(((v.exponent * 1233) >> 12) + 1, 14);
  Uint128 product = Uint128{v.mantissa} * kPow10Int[static_cast<std::size_t>(14 - e)];
  Uint128 whole = product >> shift;
  if (whole < kPow10Int[14]) {
    --e;
    product = Uint128{v.mantissa} * kPow10Int[static_cast<std::size_t>(14 - e)];
    whole = product >> shift;
  }
  const Uint128 rest = product - (whole << shift);
  const Uint128 half = Uint128{1} << (shift - 1);
  digits = static_cast<std::uint64_t>(whole);
  if (rest > half || (rest == half && (digits & 1) != 0)) ++digits;
  exponent = e;
  if (digits == kPow10Int[15]) {
    digits = kPow10Int[14];
    ++exponent;
  }
}

// The same, exactly, through the library's correctly rounded conversion.
void FifteenDigitsExact(ext v, std::uint64_t& digits, int& exponent) {
#if BRENNICK_EXT_IS_SOFT
  // The library's conversion does not know the software type; its own
  // conversion is exact as well.
  SoftFifteenDigits(v, digits, exponent);
#else
  char buf[64];
#if defined(__cpp_lib_to_chars)
  auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific, 14);
#else
  // No floating-point to_chars in the library: the same text from the bits.
  // An extended subnormal (integer bit clear) has the exponent of the
  // smallest normal one.
  const Binary b = BinaryOf(v);
  const int binaryExponent = (b.mantissa >> 63) != 0 ? b.exponent : -16382;
  auto res = detail::ScientificText(buf, buf + sizeof buf, b.mantissa, binaryExponent - 63, 14);
#endif
  std::string_view sci(buf, static_cast<std::size_t>(res.ptr - buf));
  const std::size_t e = sci.find('e');
  digits = 0;
  for (char c : sci.substr(0, e)) {
    if (c != '.') digits = digits * 10 + static_cast<unsigned>(c - '0');
  }
  const char* expBegin = sci.data() + e + 1;
  if (*expBegin == '+') ++expBegin;
  std::from_chars(expBegin, sci.data() + sci.size(), exponent);
#endif
}

// Writes the fifteen digits of `m` (10^14 <= m < 10^15) at `out` and returns
// how many there are without the trailing zeros (at most fourteen of them).
int FifteenDigitsText(char* out, std::uint64_t m) {
  const auto high = static_cast<std::uint32_t>(m / 100000000);  // seven digits
  const auto low = static_cast<std::uint32_t>(m % 100000000);   // eight digits
  auto pair = [](char* at, std::uint32_t v) { std::memcpy(at, &kDigitPairs[2 * v], 2); };
  out[0] = static_cast<char>('0' + high / 1000000);
  pair(out + 1, high / 10000 % 100);
  pair(out + 3, high / 100 % 100);
  pair(out + 5, high % 100);
  pair(out + 7, low / 1000000);
  pair(out + 9, low / 10000 % 100);
  pair(out + 11, low / 100 % 100);
  pair(out + 13, low % 100);
  int count = 15;
  std::uint32_t rest = low;
  if (low == 0) {
    count = 7;
    rest = high;
  }
  if (rest % 10000 == 0) {
    rest /= 10000;
    count -= 4;
  }
  if (rest % 100 == 0) {
    rest /= 100;
    count -= 2;
  }
  if (rest % 10 == 0) --count;
  return count;
}

// Most numbers of a statblock are doubles of a few decimals: weights in
// hundredths, weights per shot in thousandths, bores as typed. Such a double
// lies within one part in 2^53 of its decimal, far closer than half a step of
// the fifteenth digit (and no other decimal of fifteen digits is as close), so
// that decimal is the rounding to fifteen digits; written plainly, it is the
// text. Takes a double from 10^-4 to below 10^15 and writes it when it is the
// double nearest to a decimal of at most fifteen digits and eight decimals;
// nothing (nullptr) otherwise.
char* WriteShortDecimal(char* out, double v, char dec) {
  // Hundredths and thousandths first; whole numbers and tenths are hundredths
  // as well, unless they are too large for that.
  static constexpr int kDecimals[] = {2, 3, 0, 1, 4, 5, 6, 7, 8};
  for (int decimals : kDecimals) {
    const double scaled = v * kExactPow10[decimals];
    if (!(scaled < 1e15)) continue;
    // The candidate: the nearest integer, or one next to it (the check below
    // decides).
    auto digits = static_cast<std::uint64_t>(scaled + 0.5);
    if (static_cast<double>(digits) / kExactPow10[decimals] != v) continue;
    while (decimals > 0 && digits % 10 == 0) {
      digits /= 10;
      --decimals;
    }
    // At most sixteen digits, copied in blocks that reach beyond them.
    char text[32] = {};
    const int count = static_cast<int>(WriteInt(text, static_cast<std::int64_t>(digits)) - text);
    char* p = out;
    if (count <= decimals) {
      *p++ = '0';
      *p++ = dec;
      std::memcpy(p, "00000000", 8);
      p += decimals - count;
      std::memcpy(p, text, 16);
      return p + count;
    }
    std::memcpy(p, text, 16);
    p += count - decimals;
    if (decimals == 0) return p;
    *p++ = dec;
    std::memcpy(p, text + count - decimals, 8);
    return p + decimals;
  }
  return nullptr;
}

// The plain form: the fifteen digits `mantissa` (10^14 <= mantissa < 10^15),
// the first of them at the decimal `exponent` (-4 to 14), without trailing
// zeros. Needs 40 bytes of room at `out`.
char* WritePlain(char* out, std::uint64_t mantissa, int exponent, char dec) {
  // The digits, then room to copy them in blocks of sixteen.
  char digits[32] = {};
  const int count = FifteenDigitsText(digits, mantissa);
  char* p = out;
  if (exponent < 0) {
    *p++ = '0';
    *p++ = dec;
    std::memcpy(p, "0000", 4);
    p += -exponent - 1;
    std::memcpy(p, digits, 16);
    return p + count;
  }
  const int intDigits = exponent + 1;
  std::memcpy(p, digits, 16);
  if (count <= intDigits) {
    std::memcpy(p + count, "0000000000000000", 16);
    return p + intDigits;
  }
  p += intDigits;
  *p++ = dec;
  std::memcpy(p, digits + intDigits, 16);
  return p + count - intDigits;
}

// The scientific form of a value below 10^-4 or from 10^15.
char* WriteScientific(char* out, ext magnitude, char dec) {
  std::uint64_t mantissa = 0;
  int exponent = 0;
  FifteenDigitsExact(magnitude, mantissa, exponent);
  char digits[32] = {};
  const int count = FifteenDigitsText(digits, mantissa);
  char* p = out;
  *p++ = digits[0];
  if (count > 1) {
    *p++ = dec;
    std::memcpy(p, digits + 1, 16);
    p += count - 1;
  }
  *p++ = 'E';
  return WriteInt(p, exponent);
}

}  // namespace

// The text takes at most a sign, "0", the separator, four zeros and fifteen
// digits, or a sign, fifteen digits, the separator, "E-" and a four-digit
// exponent; the blocks of sixteen copied reach beyond it, within the room.
char* WriteGeneralNumber(char* out, ext value, char dec) {
  if (ExtIsNaN(value)) throw DesignError(kInvalidFloatOp);
  if (ExtIsInf(value)) throw DesignError(kOverflow);
  if (value == 0) {
    *out++ = '0';
    return out;
  }
  const ext magnitude = ExtFabs(value);
  if (value < 0) *out++ = '-';
  // The form goes by the value itself, so 9.999999999999999E-5 stays
  // scientific even though its fifteen digits round up to 0.0001.
  if (!(magnitude >= 1e-4_ext && magnitude < 1e15_ext)) return WriteScientific(out, magnitude, dec);
  std::uint64_t mantissa = 0;
  int exponent = 0;
  FifteenDigits(BinaryOf(magnitude), mantissa, exponent);
  return WritePlain(out, mantissa, exponent, dec);
}

char* WriteGeneralNumber(char* out, double value, char dec) {
  const double magnitude = std::fabs(value);
  // The double nearest 10^-4 lies above the extended one, so this is within
  // the plain form's range; anything else (zero, NaN, infinities, the
  // scientific form) takes the extended way.
  if (!(magnitude >= 1e-4 && magnitude < 1e15)) {
    return WriteGeneralNumber(out, ext(value), dec);
  }
  if (value < 0) *out++ = '-';
  if (char* end = WriteShortDecimal(out, magnitude, dec)) return end;
  std::uint64_t mantissa = 0;
  int exponent = 0;
  FifteenDigits(BinaryOf(magnitude), mantissa, exponent);
  return WritePlain(out, mantissa, exponent, dec);
}

std::string GeneralNumberText(ext value, char dec) {
  char buf[kGeneralNumberTextSize];
  // A value that a double holds takes the way of the run's decimal quantities.
  const auto asDouble = static_cast<double>(value);
  if (ext(asDouble) == value) {
    return std::string(buf, WriteGeneralNumber(buf, asDouble, dec));
  }
  return std::string(buf, WriteGeneralNumber(buf, value, dec));
}

char* WriteDiceText(char* out, double dice) {
  const DiceWriting written = DiceWritingOf(dice);
  char* end = WriteInt(out, written.dice);
  // All three bytes of the suffix, whatever its size: the room for dice text
  // holds them after the longest number of dice.
  std::memcpy(end, written.suffix->bytes, sizeof written.suffix->bytes);
  return end + written.suffix->size;
}

std::string DiceText(double dice) {
  char buf[kDiceTextSize];
  return std::string(buf, WriteDiceText(buf, dice));
}

}  // namespace brennick
