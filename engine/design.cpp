#include <algorithm>
#include <array>
#include <bit>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstring>
#include <iterator>
#include <limits>
#include <memory>
#include <utility>

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
  auto [ptr, ec] = std::from_chars(norm.data(), norm.data() + norm.size(), value);
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

// ---------------------------------------------------------------------------
// Number texts

namespace {
// "00" to "99".
constexpr auto kDigitPairs = [] {
  std::array<char, 200> pairs{};
  for (int i = 0; i < 100; ++i) {
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
  static_assert(
      std::numeric_limits<ext>::digits == 64 && std::endian::native == std::endian::little,
      "the extended type is the x87 80-bit format");
  std::uint64_t mantissa = 0;
  std::uint16_t signAndExponent = 0;
  std::memcpy(&mantissa, &v, sizeof mantissa);
  std::memcpy(&signAndExponent, reinterpret_cast<const char*>(&v) + sizeof mantissa,
              sizeof signAndExponent);
  return {mantissa, (signAndExponent & 0x7FFF) - 16383};
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
char* WriteGeneralNumber(char* out, long double value, char dec) {
  if (std::isnan(value)) throw DesignError(kInvalidFloatOp);
  if (std::isinf(value)) throw DesignError(kOverflow);
  if (value == 0) {
    *out++ = '0';
    return out;
  }
  const ext magnitude = std::fabs(value);
  if (value < 0) *out++ = '-';
  // The form goes by the value itself, so 9.999999999999999E-5 stays
  // scientific even though its fifteen digits round up to 0.0001.
  if (!(magnitude >= 1e-4L && magnitude < 1e15L)) return WriteScientific(out, magnitude, dec);
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
    return WriteGeneralNumber(out, static_cast<long double>(value), dec);
  }
  if (value < 0) *out++ = '-';
  if (char* end = WriteShortDecimal(out, magnitude, dec)) return end;
  std::uint64_t mantissa = 0;
  int exponent = 0;
  FifteenDigits(BinaryOf(magnitude), mantissa, exponent);
  return WritePlain(out, mantissa, exponent, dec);
}

std::string GeneralNumberText(long double value, char dec) {
  char buf[kGeneralNumberTextSize];
  // A value that a double holds takes the way of the run's decimal quantities.
  const auto asDouble = static_cast<double>(value);
  if (static_cast<long double>(asDouble) == value) {
    return std::string(buf, WriteGeneralNumber(buf, asDouble, dec));
  }
  return std::string(buf, WriteGeneralNumber(buf, value, dec));
}

namespace {
char* WriteText(char* out, std::string_view text) {
  return std::copy(text.begin(), text.end(), out);
}
}  // namespace

char* WriteDiceText(char* out, double dice) {
  // The band limits below 1 die and the fraction limits are the game's
  // published breakpoints, compared at extended precision.
  if (dice < 1) {
    if (dice <= 0.032L) return WriteText(out, "1d-5");
    if (dice <= 0.42L) return WriteText(out, "1d-4");
    if (dice <= 0.56L) return WriteText(out, "1d-3");
    if (dice <= 0.75L) return WriteText(out, "1d-2");
    if (dice <= 0.95L) return WriteText(out, "1d-1");
    return WriteText(out, "1d");
  }
  const std::int64_t whole = Truncate(dice);
  const ext fraction = ext(dice) - ext(whole);
  if (fraction < 0.15L) return WriteText(WriteInt(out, whole), "d");
  if (fraction < 0.43L) return WriteText(WriteInt(out, whole), "d+1");
  if (fraction < 0.65L) return WriteText(WriteInt(out, whole), "d+2");
  if (fraction < 0.85L) return WriteText(WriteInt(out, whole + 1), "d-1");
  return WriteText(WriteInt(out, whole + 1), "d");
}

std::string DiceText(double dice) {
  char buf[kDiceTextSize];
  return std::string(buf, WriteDiceText(buf, dice));
}

// ---------------------------------------------------------------------------
// The statblock

Statblock::Statblock(std::initializer_list<std::string_view> lines) {
  for (std::string_view line : lines) push_back(line);
}

namespace {

// The block of the statblock last destroyed on this thread, kept for the next
// one: a program that designs one weapon after another (the command-line
// designer, the benchmarks) then takes memory from the allocator only once.
// The record itself has no destructor, so a statblock that outlives the
// thread's other objects still finds it; a guard frees the block when the
// thread ends and closes the record.
struct SpareBlock {
  std::byte* block;
  std::size_t lineCapacity;
  std::size_t textCapacity;
  bool closed;
};
thread_local SpareBlock spare{};

struct SpareGuard {
  ~SpareGuard() {
    delete[] spare.block;
    spare = {nullptr, 0, 0, true};
  }
};
thread_local SpareGuard spareGuard;

}  // namespace

Statblock::Statblock(const Statblock& other) {
  *this = other;
}

Statblock::~Statblock() {
  if (!block_ || spare.closed) return;
  if (spare.block && spare.lineCapacity >= lineCapacity_ && spare.textCapacity >= textCapacity_) {
    return;  // the spare is as large already; this block goes back to the allocator
  }
  [[maybe_unused]] const SpareGuard* guard = &spareGuard;  // frees the spare at the thread's end
  delete[] spare.block;
  spare = {block_.release(), lineCapacity_, textCapacity_, false};
}

Statblock& Statblock::operator=(const Statblock& other) {
  if (this == &other) return *this;
  lines_ = size_ = 0;
  if (other.lines_ > lineCapacity_ || other.size_ > textCapacity_) {
    block_.reset();
    ends_ = nullptr;
    text_ = nullptr;
    lineCapacity_ = textCapacity_ = 0;
    Reallocate(other.lines_, other.size_);
  }
  std::copy_n(other.ends_, other.lines_, ends_);
  std::copy_n(other.text_, other.size_, text_);
  lines_ = other.lines_;
  size_ = other.size_;
  return *this;
}

void Statblock::Take(Statblock& other) noexcept {
  block_ = std::move(other.block_);
  ends_ = std::exchange(other.ends_, nullptr);
  text_ = std::exchange(other.text_, nullptr);
  lines_ = std::exchange(other.lines_, 0);
  lineCapacity_ = std::exchange(other.lineCapacity_, 0);
  size_ = std::exchange(other.size_, 0);
  textCapacity_ = std::exchange(other.textCapacity_, 0);
}

void Statblock::reserve(size_type lines, size_type bytes) {
  if (lines > lineCapacity_ || bytes > textCapacity_) {
    Reallocate(std::max(lines, lineCapacity_), std::max(bytes, textCapacity_));
  }
}

void Statblock::Reallocate(size_type lines, size_type bytes) {
  size_type lineCapacity =
      lines <= lineCapacity_ ? lineCapacity_ : std::max({lines, 2 * lineCapacity_, size_type{8}});
  size_type textCapacity =
      bytes <= textCapacity_ ? textCapacity_ : std::max({bytes, 2 * textCapacity_, size_type{256}});
  std::unique_ptr<std::byte[]> block;
  if (spare.block && spare.lineCapacity >= lineCapacity && spare.textCapacity >= textCapacity) {
    block.reset(std::exchange(spare.block, nullptr));
    lineCapacity = spare.lineCapacity;
    textCapacity = spare.textCapacity;
  } else {
    block = std::make_unique_for_overwrite<std::byte[]>(lineCapacity * sizeof(size_type) +
                                                        textCapacity);
  }
  auto* ends = reinterpret_cast<size_type*>(block.get());
  char* text = reinterpret_cast<char*>(block.get() + lineCapacity * sizeof(size_type));
  std::copy_n(ends_, lines_, ends);
  std::copy_n(text_, size_, text);
  block_ = std::move(block);
  ends_ = ends;
  text_ = text;
  lineCapacity_ = lineCapacity;
  textCapacity_ = textCapacity;
}

std::string_view Statblock::at(size_type i) const {
  if (i >= size()) throw std::out_of_range("statblock line " + std::to_string(i));
  return (*this)[i];
}

void Statblock::push_back(std::string_view line) {
  EndLine(std::copy(line.begin(), line.end(), LineRoom(line.size())));
}

bool operator==(const Statblock& a, const Statblock& b) {
  return a.lines_ == b.lines_ && a.Text() == b.Text() &&
         std::equal(a.ends_, a.ends_ + a.lines_, b.ends_);
}

bool operator==(const Statblock& a, const std::vector<std::string>& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin());
}

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
