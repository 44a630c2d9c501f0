// The extended type in software: the 80-bit format of the x87 (a sign, a
// 15-bit exponent and a 64-bit significand whose integer bit is stored), with
// the x87's own results in its 64-bit precision mode, on any processor.
//
// The statblock's figures are formed at this precision: products and sums
// that round one way at 64 significant bits and another at 53 or 113, and the
// fifteen-digit number texts. `long double` is this type only on x86 with GCC
// and Clang; elsewhere it is IEEE quad (64-bit ARM Linux, WebAssembly) or a
// plain double (MSVC, Apple ARM). SoftExt gives the same bits everywhere.
//
// What it does, operation by operation, as the x87 does it with every
// exception masked and rounding to nearest, ties to even:
//  - +, -, *, / and their compound assignments, unary minus and plus, sqrt:
//    the exact result rounded once to 64 significant bits; gradual underflow,
//    rounded on the grid of the denormals (a result below half the smallest
//    denormal is a signed zero); overflow to an infinity.
//  - Zeros keep their signs as the x87 gives them: x - x is +0, -0 + -0 is -0,
//    the sign of a product or quotient is the sign of the two.
//  - NaN: a NaN operand comes out quieted with its sign and payload; of two,
//    a quiet one before a signalling one, then the larger significand, then
//    the positive one (as measured on the x87 of an AMD EPYC); invalid operations (inf - inf, 0 *
//    inf, 0 / 0, inf / inf, the square root of a negative number) give the x87's "indefinite" NaN
//    (negative, significand 0xC000000000000000). Encodings the x87 refuses
//    (an exponent with the integer bit clear: unnormals, pseudo-infinities,
//    pseudo-NaNs) are invalid operands and give the indefinite NaN too.
//    Pseudo-denormals (exponent 0, integer bit set) are read as their value;
//    no operation makes one.
//  - Comparisons: NaN is unordered (only != holds), -0 == +0.
//  - Conversions: from double, float, and integers up to 64 bits exactly;
//    to double rounded to nearest even with double's subnormals and overflow
//    to infinity (as the x87 stores a double); to a signed integer truncating
//    like a C cast, and llrint rounding half to even; a value whose result
//    does not fit (and NaN) gives the x87's "integer indefinite", the lowest
//    value of the type.
//
// Exact constants: a double, float or integer converts exactly (SoftExt(0.3)
// is the double nearest 0.3, as `ext(0.3)` is). A long double literal does
// not: the constructor from long double is deleted, so 0.3L cannot silently
// lose its bits through a double. Write `0.3_ext` instead (using namespace
// brennick::literals): the decimal is rounded to nearest at compile time, the
// same bits as the x87 compiler's 0.3L. SoftExt::Parse does the same for a
// string, and FromParts(negative, significand, exponent) makes the exact
// value significand x 2^exponent.
//
// Needs unsigned __int128 (GCC, Clang, and so emscripten).
#pragma once

#include <bit>
#include <concepts>  // IWYU pragma: keep (std::integral, std::same_as: iwyu misses concepts)
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>
#include <string_view>
#include <type_traits>

#if !defined(__SIZEOF_INT128__)
#error "SoftExt needs unsigned __int128"
#endif

namespace brennick {

namespace soft_ext_detail {
__extension__ using U128 = unsigned __int128;
__extension__ using S128 = __int128;
inline constexpr int kBias = 16383;
// A sanitizer build (-DBRENNICK_SANITIZE=ON) reports the conversions and the
// divisions by zero that are undefined with the x87's long double, so that,
// built with this type, it catches what it catches with the x87's (the design
// run must never reach one). ReportUndefined ends the program.
#if defined(BRENNICK_REPORT_UNDEFINED_FLOAT)
inline constexpr bool kReportsUndefined = true;
#else
inline constexpr bool kReportsUndefined = false;
#endif
[[noreturn]] void ReportUndefined(const char* what);
inline constexpr int kMaxField = 0x7FFF;
inline constexpr std::uint64_t kTop = std::uint64_t{1} << 63;
inline constexpr std::uint64_t kQuiet = std::uint64_t{1} << 62;

constexpr int Clz128(U128 x) {
  const auto hi = static_cast<std::uint64_t>(x >> 64);
  return hi != 0 ? std::countl_zero(hi) : 64 + std::countl_zero(static_cast<std::uint64_t>(x));
}
}  // namespace soft_ext_detail

class SoftExt {
 public:
  // The parts of a finite nonzero value: significand x 2^(exponent - 63), the
  // significand's top bit set (a denormal is given normalised, its exponent
  // below -16382).
  struct Parts {
    bool negative;
    int exponent;
    std::uint64_t significand;
  };

  constexpr SoftExt() = default;  // +0
  constexpr SoftExt(double d) : SoftExt(FromDouble(d)) {}
  constexpr SoftExt(float f) : SoftExt(FromDouble(static_cast<double>(f))) {}
  template <std::integral T>
  requires(!std::same_as<T, bool> && sizeof(T) <= 8) constexpr SoftExt(T v) {
    if constexpr (std::is_signed_v<T>) {
      const auto x = static_cast<std::int64_t>(v);
      *this = FromMagnitude(
          x < 0, x < 0 ? 0 - static_cast<std::uint64_t>(x) : static_cast<std::uint64_t>(x));
    } else {
      *this = FromMagnitude(false, static_cast<std::uint64_t>(v));
    }
  }
  // A long double constant would pass through a double and lose its last
  // eleven bits; write 0.3_ext (or FromLongDouble where long double is the
  // x87 type).
  SoftExt(long double) = delete;

  // The raw encoding: bit 15 of signExponent the sign, bits 0-14 the exponent.
  static constexpr SoftExt FromBits(std::uint16_t signExponent, std::uint64_t significand) {
    SoftExt v;
    v.sig_ = significand;
    v.se_ = signExponent;
    return v;
  }
  constexpr std::uint16_t SignExponentBits() const { return se_; }
  constexpr std::uint64_t SignificandBits() const { return sig_; }

  // +-significand x 2^exponent, rounded to nearest even where it does not fit.
  static constexpr SoftExt FromParts(bool negative, std::uint64_t significand, int exponent) {
    using namespace soft_ext_detail;
    if (significand == 0) return Zero(negative);
    const int lz = std::countl_zero(significand);
    // Far beyond the range either way, the exponent is clamped before it can
    // overflow the int arithmetic of the rounding.
    if (exponent > 40000) exponent = 40000;
    if (exponent < -40000) exponent = -40000;
    return Round(negative, exponent + 63 - lz, U128{significand << lz} << 64);
  }
  // +-significand x 2^(exponent - 127), the significand's bit 127 set,
  // rounded to nearest even (its low bits standing for whatever lies below):
  // for results worked out to more than 64 bits.
  static constexpr SoftExt FromWide(bool negative, int exponent,
                                    soft_ext_detail::U128 significand) {
    if (exponent > 40000) exponent = 40000;
    if (exponent < -40000) exponent = -40000;
    return Round(negative, exponent, significand);
  }
  // The parts of a finite nonzero value (see Parts); nothing for zeros,
  // infinities and NaN.
  constexpr std::optional<Parts> Decompose() const {
    Parts p{};
    if (Unpack(p) != Kind::kFinite) return std::nullopt;
    return p;
  }

  // A decimal number ("12", "-0.032", "3.1622776601683793319988935", "1e-12",
  // "2.5E+3"), rounded to nearest even; nothing for any other text or for more
  // than 800 significant digits.
  static constexpr std::optional<SoftExt> Parse(std::string_view text);

  static constexpr SoftExt Infinity(bool negative = false) {
    return FromBits(
        static_cast<std::uint16_t>((negative ? 0x8000 : 0) | soft_ext_detail::kMaxField),
        soft_ext_detail::kTop);
  }
  // The x87's "indefinite": the NaN of an invalid operation.
  static constexpr SoftExt Indefinite() {
    return FromBits(0xFFFF, soft_ext_detail::kTop | soft_ext_detail::kQuiet);
  }
  static constexpr SoftExt Max() { return FromBits(0x7FFE, ~std::uint64_t{0}); }
  static constexpr SoftExt MinNormal() { return FromBits(1, soft_ext_detail::kTop); }
  static constexpr SoftExt MinDenormal() { return FromBits(0, 1); }

  // Bridges to the compiler's long double where it is the x87 type. Templates
  // only so that the check stops a build that uses them where long double is
  // another type, not every build that includes this (WebAssembly).
  template <class LongDouble = long double>
  static SoftExt FromLongDouble(std::type_identity_t<LongDouble> x) {
    static_assert(std::numeric_limits<LongDouble>::digits == 64, "long double is not the x87 type");
    SoftExt v;
    std::memcpy(&v.sig_, &x, sizeof v.sig_);
    std::memcpy(&v.se_, reinterpret_cast<const char*>(&x) + sizeof v.sig_, sizeof v.se_);
    return v;
  }
  template <class LongDouble = long double>
  LongDouble ToLongDouble() const {
    static_assert(std::numeric_limits<LongDouble>::digits == 64, "long double is not the x87 type");
    LongDouble x = 0;
    std::memcpy(&x, &sig_, sizeof sig_);
    std::memcpy(reinterpret_cast<char*>(&x) + sizeof sig_, &se_, sizeof se_);
    return x;
  }

  constexpr explicit operator double() const { return ToDouble(); }
  constexpr explicit operator float() const {
    return static_cast<float>(ToDouble());  // double rounding: not the x87's fst m32
  }
  // Truncates toward zero like a C cast; the lowest value of T where the
  // truncated value does not fit (and for NaN). A sanitizer build reports
  // such a value, as it reports the C cast of the x87's long double.
  template <std::signed_integral T>
  constexpr explicit operator T() const {
    if constexpr (soft_ext_detail::kReportsUndefined) {
      if (!std::is_constant_evaluated() && !FitsIn<T>()) {
        soft_ext_detail::ReportUndefined(
            "a value that does not fit the integer type converted to it");
      }
    }
    return TruncatedAsX87<T>();
  }
  // The conversion above without the sanitizer build's report: the x87's
  // answer where a C cast is undefined.
  template <std::signed_integral T>
  constexpr T TruncatedAsX87() const {
    const std::int64_t t = Truncate();
    if constexpr (sizeof(T) < 8) {
      if (t < std::numeric_limits<T>::min() || t > std::numeric_limits<T>::max()) {
        return std::numeric_limits<T>::min();
      }
    }
    return static_cast<T>(t);
  }
  // Whether the value truncated toward zero fits T (never for NaN).
  template <std::signed_integral T>
  constexpr bool FitsIn() const {
    const std::uint64_t limit = std::uint64_t{1} << std::numeric_limits<T>::digits;
    return Compare(*this, FromMagnitude(false, limit)) == -1 &&
           Compare(*this, FromMagnitude(true, limit + 1)) == 1;
  }

  // --- Arithmetic --------------------------------------------------------
  friend constexpr SoftExt operator+(SoftExt a, SoftExt b) { return Add(a, b, false); }
  friend constexpr SoftExt operator-(SoftExt a, SoftExt b) { return Add(a, b, true); }
  friend constexpr SoftExt operator*(SoftExt a, SoftExt b) { return Multiply(a, b); }
  // A sanitizer build reports a division by zero, as it does the x87's;
  // Quotient gives the x87's infinity or indefinite NaN without the report.
  friend constexpr SoftExt operator/(SoftExt a, SoftExt b) { return CheckedDivide(a, b); }
  static constexpr SoftExt Quotient(SoftExt a, SoftExt b) { return Divide(a, b); }
  constexpr SoftExt operator-() const { return FromBits(se_ ^ 0x8000, sig_); }
  constexpr SoftExt operator+() const { return *this; }
  constexpr SoftExt& operator+=(SoftExt b) { return *this = *this + b; }
  constexpr SoftExt& operator-=(SoftExt b) { return *this = *this - b; }
  constexpr SoftExt& operator*=(SoftExt b) { return *this = *this * b; }
  constexpr SoftExt& operator/=(SoftExt b) { return *this = *this / b; }

  // --- Comparisons (NaN unordered) -------------------------------------
  friend constexpr bool operator==(SoftExt a, SoftExt b) { return Compare(a, b) == 0; }
  friend constexpr bool operator!=(SoftExt a, SoftExt b) { return Compare(a, b) != 0; }
  friend constexpr bool operator<(SoftExt a, SoftExt b) { return Compare(a, b) == -1; }
  friend constexpr bool operator>(SoftExt a, SoftExt b) { return Compare(a, b) == 1; }
  friend constexpr bool operator<=(SoftExt a, SoftExt b) {
    const int c = Compare(a, b);
    return c == -1 || c == 0;
  }
  friend constexpr bool operator>=(SoftExt a, SoftExt b) {
    const int c = Compare(a, b);
    return c == 1 || c == 0;
  }

  // --- Functions (found by argument-dependent lookup) ------------------
  friend constexpr SoftExt sqrt(SoftExt x) { return x.Sqrt(); }
  friend constexpr SoftExt floor(SoftExt x) { return x.Floor(); }
  friend constexpr SoftExt fabs(SoftExt x) { return FromBits(x.se_ & 0x7FFF, x.sig_); }
  friend constexpr bool signbit(SoftExt x) { return (x.se_ & 0x8000) != 0; }
  // True for NaN and for the encodings the x87 refuses (which act as NaN).
  friend constexpr bool isnan(SoftExt x) {
    const int e = x.se_ & 0x7FFF;
    return (e == soft_ext_detail::kMaxField && x.sig_ != soft_ext_detail::kTop) ||
           (e != 0 && (x.sig_ & soft_ext_detail::kTop) == 0);
  }
  friend constexpr bool isinf(SoftExt x) {
    return (x.se_ & 0x7FFF) == soft_ext_detail::kMaxField && x.sig_ == soft_ext_detail::kTop;
  }
  friend constexpr bool isfinite(SoftExt x) { return !isnan(x) && !isinf(x); }
  // Nearest integer, ties to even (as llrint in the default rounding mode).
  friend constexpr std::int64_t llrint(SoftExt x) { return x.RoundToInt64(); }
  // x = fraction x 2^exponent with |fraction| in [0.5, 1); zeros, infinities
  // and NaN come back as they are with exponent 0.
  friend constexpr SoftExt frexp(SoftExt x, int* exponent) {
    Parts p{};
    *exponent = 0;
    if (x.Unpack(p) != Kind::kFinite) return x;
    *exponent = p.exponent + 1;
    return FromBits(
        static_cast<std::uint16_t>((p.negative ? 0x8000 : 0) | (soft_ext_detail::kBias - 1)),
        p.significand);
  }
  // x x 2^n, rounded where the result is a denormal.
  friend constexpr SoftExt ldexp(SoftExt x, int n) {
    Parts p{};
    const Kind k = x.Unpack(p);
    if (k == Kind::kNaN || k == Kind::kUnsupported) return QuietOrIndefinite(x, k);
    if (k != Kind::kFinite) return x;
    if (n > 40000) n = 40000;
    if (n < -40000) n = -40000;
    return Round(p.negative, p.exponent + n, soft_ext_detail::U128{p.significand} << 64);
  }

 private:
  enum class Kind { kZero, kFinite, kInfinity, kNaN, kUnsupported };

  std::uint64_t sig_ = 0;
  std::uint16_t se_ = 0;

  static constexpr SoftExt Zero(bool negative) { return FromBits(negative ? 0x8000 : 0, 0); }

  static constexpr SoftExt FromMagnitude(bool negative, std::uint64_t m) {
    if (m == 0) return Zero(false);
    const int lz = std::countl_zero(m);
    return FromBits(
        static_cast<std::uint16_t>((negative ? 0x8000 : 0) | (soft_ext_detail::kBias + 63 - lz)),
        m << lz);
  }

  // Sorts the encoding; for a finite nonzero value fills `p`.
  constexpr Kind Unpack(Parts& p) const {
    using namespace soft_ext_detail;
    const int e = se_ & 0x7FFF;
    p.negative = (se_ & 0x8000) != 0;
    if (static_cast<unsigned>(e - 1) < kMaxField - 1) [[likely]] {  // 1 to 32766
      if ((sig_ & kTop) == 0) return Kind::kUnsupported;
      p.exponent = e - kBias;
      p.significand = sig_;
      return Kind::kFinite;
    }
    if (e == 0) {
      if (sig_ == 0) return Kind::kZero;
      const int lz = std::countl_zero(sig_);
      p.exponent = 1 - kBias - lz;
      p.significand = sig_ << lz;
      return Kind::kFinite;
    }
    if ((sig_ & kTop) == 0) return Kind::kUnsupported;
    return sig_ == kTop ? Kind::kInfinity : Kind::kNaN;
  }

  // A NaN operand quieted; an unsupported one the indefinite NaN.
  static constexpr SoftExt QuietOrIndefinite(SoftExt x, Kind k) {
    return k == Kind::kNaN ? FromBits(x.se_, x.sig_ | soft_ext_detail::kQuiet) : Indefinite();
  }
  // The result of an operation with at least one NaN or unsupported operand.
  static constexpr SoftExt NaNResult(SoftExt a, Kind ka, SoftExt b, Kind kb) {
    if (ka == Kind::kUnsupported || kb == Kind::kUnsupported) return Indefinite();
    if (ka != Kind::kNaN) return QuietOrIndefinite(b, kb);
    if (kb != Kind::kNaN) return QuietOrIndefinite(a, ka);
    // Two NaNs: a quiet one before a signalling one, then the larger
    // significand, then the positive one.
    const bool quietA = (a.sig_ & soft_ext_detail::kQuiet) != 0;
    const bool quietB = (b.sig_ & soft_ext_detail::kQuiet) != 0;
    bool takeB = false;
    if (quietA != quietB) {
      takeB = quietB;
    } else if (a.sig_ != b.sig_) {
      takeB = b.sig_ > a.sig_;
    } else {
      takeB = (a.se_ & 0x8000) != 0;
    }
    const SoftExt& nan = takeB ? b : a;
    return FromBits(nan.se_, nan.sig_ | soft_ext_detail::kQuiet);
  }

  // Rounds +-m x 2^(exponent - 127) (m's bit 127 set) to nearest even: to 64
  // bits in the normal range, on the denormal grid below it.
  static constexpr SoftExt Round(bool negative, int exponent, soft_ext_detail::U128 m) {
    using namespace soft_ext_detail;
    const std::uint16_t sign = negative ? 0x8000 : 0;
    int e = exponent + kBias;
    if (e >= 1) [[likely]] {
      auto hi = static_cast<std::uint64_t>(m >> 64);
      const auto lo = static_cast<std::uint64_t>(m);
      if (lo > kTop || (lo == kTop && (hi & 1) != 0)) {
        if (++hi == 0) {
          hi = kTop;
          ++e;
        }
      }
      if (e >= kMaxField) return Infinity(negative);
      return FromBits(static_cast<std::uint16_t>(sign | e), hi);
    }
    const int shift = 65 - e;  // at least 65: the denormal grid
    if (shift > 128) return Zero(negative);
    std::uint64_t q = 0;
    U128 rest = m;
    if (shift < 128) {
      q = static_cast<std::uint64_t>(m >> shift);
      rest = m & ((U128{1} << shift) - 1);
    }
    const U128 half = U128{1} << (shift - 1);
    if (rest > half || (rest == half && (q & 1) != 0)) ++q;
    // Rounding up to 2^63 reaches the smallest normal: exponent field 1.
    return FromBits(static_cast<std::uint16_t>(sign | (q >> 63)), q);
  }

  static constexpr bool IsNormal(SoftExt x) {
    return static_cast<unsigned>((x.se_ & 0x7FFF) - 1) < soft_ext_detail::kMaxField - 1 &&
           (x.sig_ & soft_ext_detail::kTop) != 0;
  }

  // The sum of two finite nonzero values.
  static constexpr SoftExt AddFinite(Parts pa, Parts pb) {
    using namespace soft_ext_detail;
    if (pa.exponent < pb.exponent ||
        (pa.exponent == pb.exponent && pa.significand < pb.significand)) {
      const Parts t = pa;
      pa = pb;
      pb = t;
    }
    const int d = pa.exponent - pb.exponent;
    const U128 big = U128{pa.significand} << 64;
    U128 small = U128{pb.significand} << 64;
    if (d != 0) {
      if (d < 128) {
        const bool lost = (small & ((U128{1} << d) - 1)) != 0;
        small = (small >> d) | static_cast<U128>(lost);
      } else {
        small = 1;  // far below: only its being there counts
      }
    }
    int exponent = pa.exponent;
    if (pa.negative == pb.negative) {
      U128 sum = big + small;
      if (sum < big) {  // carried out of the 128 bits
        sum = (sum >> 1) | (sum & 1) | (U128{1} << 127);
        ++exponent;
      }
      return Round(pa.negative, exponent, sum);
    }
    U128 diff = big - small;
    if (diff == 0) return Zero(false);
    const int lz = Clz128(diff);
    return Round(pa.negative, exponent - lz, diff << lz);
  }

  // Two normal operands straight here; the rest in AddOther.
  [[gnu::always_inline]] static constexpr SoftExt Add(SoftExt a, SoftExt b, bool subtract) {
    using namespace soft_ext_detail;
    if (IsNormal(a) && IsNormal(b)) [[likely]] {
      return AddFinite({(a.se_ & 0x8000) != 0, (a.se_ & 0x7FFF) - kBias, a.sig_},
                       {((b.se_ & 0x8000) != 0) != subtract, (b.se_ & 0x7FFF) - kBias, b.sig_});
    }
    return AddOther(a, b, subtract);
  }

  [[gnu::noinline]] static constexpr SoftExt AddOther(SoftExt a, SoftExt b, bool subtract) {
    using namespace soft_ext_detail;
    Parts pa{}, pb{};
    const Kind ka = a.Unpack(pa);
    const Kind kb = b.Unpack(pb);
    if (ka == Kind::kFinite && kb == Kind::kFinite) {
      pb.negative ^= subtract;
      return AddFinite(pa, pb);
    }
    if (ka == Kind::kNaN || ka == Kind::kUnsupported || kb == Kind::kNaN ||
        kb == Kind::kUnsupported) {
      return NaNResult(a, ka, b, kb);
    }
    if (subtract) b = -b;
    if (ka == Kind::kInfinity) {
      if (kb == Kind::kInfinity && a.se_ != b.se_) return Indefinite();
      return a;
    }
    if (kb == Kind::kInfinity) return b;
    if (ka == Kind::kZero && kb == Kind::kZero) {
      return Zero((a.se_ & b.se_ & 0x8000) != 0);  // -0 only for -0 + -0
    }
    return ka == Kind::kZero ? b.Canonical() : a.Canonical();
  }

  [[gnu::always_inline]] static constexpr SoftExt Multiply(SoftExt a, SoftExt b) {
    using namespace soft_ext_detail;
    // Two normal operands and a normal product: the usual case, straight.
    const int ea = a.se_ & 0x7FFF;
    const int eb = b.se_ & 0x7FFF;
    if (static_cast<unsigned>(ea - 1) < kMaxField - 1 &&
        static_cast<unsigned>(eb - 1) < kMaxField - 1 && ((a.sig_ & b.sig_) & kTop) != 0)
        [[likely]] {
      const std::uint16_t sign = (a.se_ ^ b.se_) & 0x8000;
      U128 product = U128{a.sig_} * b.sig_;
      int e = ea + eb - kBias;
      if ((product >> 127) != 0) {
        ++e;
      } else {
        product <<= 1;
      }
      if (static_cast<unsigned>(e - 1) < kMaxField - 1) [[likely]] {
        auto hi = static_cast<std::uint64_t>(product >> 64);
        const auto lo = static_cast<std::uint64_t>(product);
        if (lo > kTop || (lo == kTop && (hi & 1) != 0)) {
          if (++hi == 0) {
            hi = kTop;
            if (++e == kMaxField) return Infinity(sign != 0);
          }
        }
        return FromBits(static_cast<std::uint16_t>(sign | e), hi);
      }
      return Round(sign != 0, e - kBias, product);
    }
    return MultiplyOther(a, b);
  }

  [[gnu::noinline]] static constexpr SoftExt MultiplyOther(SoftExt a, SoftExt b) {
    using namespace soft_ext_detail;
    Parts pa{}, pb{};
    const Kind ka = a.Unpack(pa);
    const Kind kb = b.Unpack(pb);
    const bool negative = ((a.se_ ^ b.se_) & 0x8000) != 0;
    if (ka == Kind::kFinite && kb == Kind::kFinite) [[likely]] {
      U128 product = U128{pa.significand} * pb.significand;
      int exponent = pa.exponent + pb.exponent;
      if ((product >> 127) != 0) {
        ++exponent;
      } else {
        product <<= 1;
      }
      return Round(negative, exponent, product);
    }
    if (ka == Kind::kNaN || ka == Kind::kUnsupported || kb == Kind::kNaN ||
        kb == Kind::kUnsupported) {
      return NaNResult(a, ka, b, kb);
    }
    if (ka == Kind::kInfinity || kb == Kind::kInfinity) {
      if (ka == Kind::kZero || kb == Kind::kZero) return Indefinite();
      return Infinity(negative);
    }
    return Zero(negative);
  }

  static constexpr SoftExt CheckedDivide(SoftExt a, SoftExt b) {
    if constexpr (soft_ext_detail::kReportsUndefined) {
      if (!std::is_constant_evaluated() && (b.se_ & 0x7FFF) == 0 && b.sig_ == 0) {
        soft_ext_detail::ReportUndefined("division by zero");
      }
    }
    return Divide(a, b);
  }

  static constexpr SoftExt Divide(SoftExt a, SoftExt b) {
    using namespace soft_ext_detail;
    Parts pa{}, pb{};
    const Kind ka = a.Unpack(pa);
    const Kind kb = b.Unpack(pb);
    const bool negative = ((a.se_ ^ b.se_) & 0x8000) != 0;
    if (ka == Kind::kFinite && kb == Kind::kFinite) [[likely]] {
      const U128 numerator = U128{pa.significand} << 64;
      const U128 q = numerator / pb.significand;
      const auto r = static_cast<std::uint64_t>(numerator - q * pb.significand);
      if ((q >> 64) != 0) {  // 65 bits: the last is the first of the rest
        return Round(negative, pa.exponent - pb.exponent, (q << 63) | U128{r != 0});
      }
      // 64 bits: the rest compared with a half, and whether there is any.
      std::uint64_t rest = 0;
      if (r != 0) {
        const std::uint64_t other = pb.significand - r;  // 2r against the divisor
        rest = r > other ? kTop | 1 : r == other ? kTop : 1;
      }
      return Round(negative, pa.exponent - pb.exponent - 1, (q << 64) | rest);
    }
    if (ka == Kind::kNaN || ka == Kind::kUnsupported || kb == Kind::kNaN ||
        kb == Kind::kUnsupported) {
      return NaNResult(a, ka, b, kb);
    }
    if (ka == Kind::kInfinity) return kb == Kind::kInfinity ? Indefinite() : Infinity(negative);
    if (kb == Kind::kInfinity) return Zero(negative);
    if (kb == Kind::kZero) return ka == Kind::kZero ? Indefinite() : Infinity(negative);
    return Zero(negative);  // 0 / finite
  }

  // -1, 0, 1, or 2 for unordered.
  static constexpr int Compare(SoftExt a, SoftExt b) {
    using namespace soft_ext_detail;
    if (isnan(a) || isnan(b)) return 2;
    // The magnitude as (exponent, significand), denormals on the scale of
    // exponent 1, zeros below every other value.
    auto key = [](SoftExt x) {
      const unsigned e = x.se_ & 0x7FFFu;
      return (static_cast<U128>(e == 0 ? 1u : e) << 64) | static_cast<U128>(x.sig_);
    };
    const U128 ma = key(a);
    const U128 mb = key(b);
    constexpr U128 kZeroKey = U128{1} << 64;
    if (ma == kZeroKey && mb == kZeroKey) return 0;
    const bool na = (a.se_ & 0x8000) != 0 && ma != kZeroKey;
    const bool nb = (b.se_ & 0x8000) != 0 && mb != kZeroKey;
    if (na != nb) return na ? -1 : 1;
    if (ma == mb) return 0;
    return (ma < mb) != na ? -1 : 1;
  }

  // A pseudo-denormal written as the normal of the same value.
  constexpr SoftExt Canonical() const {
    if ((se_ & 0x7FFF) == 0 && (sig_ & soft_ext_detail::kTop) != 0) {
      return FromBits(se_ | 1, sig_);
    }
    return *this;
  }

  static constexpr SoftExt FromDouble(double d) {
    using namespace soft_ext_detail;
    const auto bits = std::bit_cast<std::uint64_t>(d);
    const bool negative = (bits >> 63) != 0;
    const std::uint16_t sign = negative ? 0x8000 : 0;
    const int e = static_cast<int>((bits >> 52) & 0x7FF);
    const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
    if (e == 0x7FF) {
      if (fraction == 0) return Infinity(negative);
      return FromBits(sign | 0x7FFF, kTop | kQuiet | (fraction << 11));  // quieted
    }
    if (e == 0) {
      if (fraction == 0) return Zero(negative);
      const int lz = std::countl_zero(fraction);
      return FromBits(static_cast<std::uint16_t>(sign | (kBias + 63 - 1074 - lz)), fraction << lz);
    }
    return FromBits(static_cast<std::uint16_t>(sign | (e - 1023 + kBias)), kTop | (fraction << 11));
  }

  constexpr double ToDouble() const {
    using namespace soft_ext_detail;
    Parts p{};
    const Kind k = Unpack(p);
    const std::uint64_t sign = static_cast<std::uint64_t>(se_ >> 15) << 63;
    switch (k) {
      case Kind::kZero:
        return std::bit_cast<double>(sign);
      case Kind::kInfinity:
        return std::bit_cast<double>(sign | (std::uint64_t{0x7FF} << 52));
      case Kind::kNaN:
        return std::bit_cast<double>(sign | (std::uint64_t{0x7FF} << 52) |
                                     (std::uint64_t{1} << 51) |
                                     ((sig_ >> 11) & ((std::uint64_t{1} << 52) - 1)));
      case Kind::kUnsupported:
        return std::bit_cast<double>(std::uint64_t{0xFFF8} << 48);
      case Kind::kFinite:
        break;
    }
    int e = p.exponent + 1023;
    std::uint64_t q = 0;
    if (e >= 1) {
      q = p.significand >> 11;
      const std::uint64_t rest = p.significand & 0x7FF;
      if (rest > 0x400 || (rest == 0x400 && (q & 1) != 0)) {
        if (++q == (std::uint64_t{1} << 53)) {
          q >>= 1;
          ++e;
        }
      }
      if (e >= 0x7FF) return std::bit_cast<double>(sign | (std::uint64_t{0x7FF} << 52));
      return std::bit_cast<double>(sign | (static_cast<std::uint64_t>(e) << 52) |
                                   (q & ((std::uint64_t{1} << 52) - 1)));
    }
    // A double subnormal: units of 2^-1074.
    const int shift = 12 - e;
    if (shift > 64) return std::bit_cast<double>(sign);
    std::uint64_t rest = p.significand;
    std::uint64_t half = kTop;
    if (shift < 64) {
      q = p.significand >> shift;
      rest = p.significand & ((std::uint64_t{1} << shift) - 1);
      half = std::uint64_t{1} << (shift - 1);
    }
    if (rest > half || (rest == half && (q & 1) != 0)) ++q;
    return std::bit_cast<double>(sign | q);  // 2^52 lands as the smallest normal
  }

  // The integer part; the lowest int64 where it does not fit.
  constexpr std::int64_t Truncate() const {
    Parts p{};
    const Kind k = Unpack(p);
    if (k == Kind::kZero) return 0;
    if (k != Kind::kFinite || p.exponent > 62) return std::numeric_limits<std::int64_t>::min();
    if (p.exponent < 0) return 0;
    const std::uint64_t q = p.significand >> (63 - p.exponent);
    return p.negative ? static_cast<std::int64_t>(0 - q) : static_cast<std::int64_t>(q);
  }

  constexpr std::int64_t RoundToInt64() const {
    Parts p{};
    const Kind k = Unpack(p);
    if (k == Kind::kZero) return 0;
    if (k != Kind::kFinite || p.exponent > 62) return std::numeric_limits<std::int64_t>::min();
    if (p.exponent < -1) return 0;
    const int shift = 63 - p.exponent;  // 1 to 64
    std::uint64_t q = 0;
    std::uint64_t rest = p.significand;
    std::uint64_t half = soft_ext_detail::kTop;
    if (shift < 64) {
      q = p.significand >> shift;
      rest = p.significand & ((std::uint64_t{1} << shift) - 1);
      half = std::uint64_t{1} << (shift - 1);
    }
    if (rest > half || (rest == half && (q & 1) != 0)) ++q;
    // 2^63 does not fit: the integer indefinite, which is also -2^63.
    if (q == soft_ext_detail::kTop) return std::numeric_limits<std::int64_t>::min();
    return p.negative ? static_cast<std::int64_t>(0 - q) : static_cast<std::int64_t>(q);
  }

  constexpr SoftExt Floor() const {
    using namespace soft_ext_detail;
    Parts p{};
    const Kind k = Unpack(p);
    if (k == Kind::kNaN || k == Kind::kUnsupported) return QuietOrIndefinite(*this, k);
    if (k != Kind::kFinite || p.exponent >= 63) return Canonical();
    if (p.exponent < 0) return p.negative ? SoftExt(-1) : Zero(false);
    const std::uint64_t fractionMask = (std::uint64_t{1} << (63 - p.exponent)) - 1;
    std::uint64_t whole = p.significand & ~fractionMask;
    int exponent = p.exponent;
    if (p.negative && (p.significand & fractionMask) != 0) {
      whole += fractionMask + 1;  // one more in magnitude
      if (whole == 0) {
        whole = kTop;
        ++exponent;
      }
    }
    return FromBits(static_cast<std::uint16_t>((se_ & 0x8000) | (exponent + kBias)), whole);
  }

  // The integer square root of n (2^126 <= n < 2^128), rounded down, and
  // n less its square.
  static constexpr std::uint64_t IntegerSqrt(soft_ext_detail::U128 n, soft_ext_detail::U128& rest) {
    using namespace soft_ext_detail;
    std::uint64_t y = 0;
    if (std::is_constant_evaluated()) {
      for (int bit = 63; bit >= 0; --bit) {
        const std::uint64_t t = y | (std::uint64_t{1} << bit);
        if (U128{t} * t <= n) y = t;
      }
      rest = n - U128{y} * y;
      return y;
    }
    // An estimate from the top 64 bits, good to some 50 bits (within 2^12 of
    // the root), corrected by the exact remainder (below 2^78) to within one
    // or two, which the last steps settle.
    const auto high = static_cast<std::uint64_t>(n >> 64);  // at least 2^62
    const double estimate = __builtin_sqrt(static_cast<double>(high)) * 4294967296.0;
    y = estimate >= 18446744073709551615.0 ? ~std::uint64_t{0}
                                           : static_cast<std::uint64_t>(estimate);
    S128 r = static_cast<S128>(n - U128{y} * y);
    const double step =
        static_cast<double>(static_cast<std::int64_t>(r >> 16)) * (32768.0 / estimate);
    S128 corrected = static_cast<S128>(y) + static_cast<std::int64_t>(step);
    if (corrected < static_cast<S128>(kTop)) corrected = static_cast<S128>(kTop);
    if (corrected > static_cast<S128>(~std::uint64_t{0})) {
      corrected = static_cast<S128>(~std::uint64_t{0});
    }
    y = static_cast<std::uint64_t>(corrected);
    r = static_cast<S128>(n - U128{y} * y);
    while (r < 0) {  // (y - 1)^2 = y^2 - 2y + 1
      r += 2 * static_cast<S128>(y) - 1;
      --y;
    }
    while (r > 2 * static_cast<S128>(y)) {  // n reaches (y + 1)^2
      r -= 2 * static_cast<S128>(y) + 1;
      ++y;
    }
    rest = static_cast<U128>(r);
    return y;
  }

  constexpr SoftExt Sqrt() const {
    using namespace soft_ext_detail;
    Parts p{};
    const Kind k = Unpack(p);
    if (k == Kind::kNaN || k == Kind::kUnsupported) return QuietOrIndefinite(*this, k);
    if (k == Kind::kZero) return *this;
    if (p.negative) return Indefinite();
    if (k == Kind::kInfinity) return *this;
    // value = n x 2^(2h), n of 127 or 128 bits, so that its root has 64.
    const bool odd = (p.exponent & 1) != 0;
    const U128 n = U128{p.significand} << (odd ? 64 : 63);
    const int half = (p.exponent - (odd ? 127 : 126)) / 2;
    U128 rest = 0;
    std::uint64_t q = IntegerSqrt(n, rest);
    int exponent = half + 63;
    // Above q + 1/2 exactly when n - q^2 > q (it is never equal).
    if (rest > q) {
      if (++q == 0) {
        q = kTop;
        ++exponent;
      }
    }
    return FromBits(static_cast<std::uint16_t>(exponent + kBias), q);
  }
};

// ---------------------------------------------------------------------------
// Decimal constants.

namespace soft_ext_detail {

// A non-negative integer of up to kLimbs 32-bit limbs, little end first.
struct BigInt {
  static constexpr int kLimbs = 640;
  std::uint32_t limb[kLimbs] = {};
  int size = 0;

  constexpr bool MultiplyAdd(std::uint32_t factor, std::uint32_t add) {
    std::uint64_t carry = add;
    for (int i = 0; i < size; ++i) {
      const std::uint64_t t = std::uint64_t{limb[i]} * factor + carry;
      limb[i] = static_cast<std::uint32_t>(t);
      carry = t >> 32;
    }
    if (carry != 0) {
      if (size == kLimbs) return false;
      limb[size++] = static_cast<std::uint32_t>(carry);
    }
    return true;
  }
  // Divides in place; returns whether the remainder was nonzero.
  constexpr bool Divide(std::uint32_t divisor) {
    std::uint64_t rem = 0;
    for (int i = size - 1; i >= 0; --i) {
      const std::uint64_t t = (rem << 32) | limb[i];
      limb[i] = static_cast<std::uint32_t>(t / divisor);
      rem = t % divisor;
    }
    while (size > 0 && limb[size - 1] == 0) --size;
    return rem != 0;
  }
  constexpr bool ShiftLeft(int bits) {
    const int words = bits / 32;
    const int rest = bits % 32;
    if (size + words + 1 > kLimbs) return false;
    for (int i = size + words; i >= 0; --i) {
      std::uint64_t v = 0;
      const int from = i - words;
      if (from >= 0 && from < size) v = std::uint64_t{limb[from]} << rest;
      if (rest != 0 && from - 1 >= 0 && from - 1 < size) v |= limb[from - 1] >> (32 - rest);
      limb[i] = static_cast<std::uint32_t>(v);
    }
    size += words + 1;
    while (size > 0 && limb[size - 1] == 0) --size;
    return true;
  }
  constexpr int BitLength() const {
    return size == 0 ? 0 : 32 * (size - 1) + 32 - std::countl_zero(limb[size - 1]);
  }
  // The top 128 bits (bit 127 set) with a sticky bit for anything below.
  constexpr U128 Top128(bool sticky) const {
    const int bits = BitLength();
    U128 m = 0;
    for (int i = bits - 1, n = 0; n < 128; --i, ++n) {
      m <<= 1;
      if (i >= 0 && ((limb[i / 32] >> (i % 32)) & 1) != 0) m |= 1;
    }
    // Below the 128 bits: the whole limbs, then the bits of the one the
    // 128 bits end in.
    const int below = bits - 128;
    for (int i = 0; i < below / 32 && !sticky; ++i) sticky = limb[i] != 0;
    if (below > 0 && below % 32 != 0 &&
        (limb[below / 32] & ((std::uint32_t{1} << (below % 32)) - 1)) != 0) {
      sticky = true;
    }
    return m | U128{sticky};
  }
};

}  // namespace soft_ext_detail

constexpr std::optional<SoftExt> SoftExt::Parse(std::string_view text) {
  using namespace soft_ext_detail;
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  BigInt digits;
  int count = 0;      // significant digits taken
  long exponent = 0;  // decimal exponent of the last digit taken
  bool any = false;
  bool point = false;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '.' && !point) {
      point = true;
      continue;
    }
    if (c < '0' || c > '9') break;
    any = true;
    if (point) --exponent;
    if (count == 0 && c == '0') continue;
    if (++count > 800) return std::nullopt;
    digits.MultiplyAdd(10, static_cast<std::uint32_t>(c - '0'));
  }
  if (!any) return std::nullopt;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    bool expNegative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) expNegative = text[i++] == '-';
    if (i == text.size()) return std::nullopt;
    long e = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
      if (e < 1000000) e = e * 10 + (text[i] - '0');
    }
    exponent += expNegative ? -e : e;
  }
  if (i != text.size()) return std::nullopt;
  if (count == 0) return Zero(negative);
  // Beyond the range: at least 10^4933 overflows; below 10^-4951 is less than
  // half the smallest denormal.
  if (count + exponent > 4933) return Infinity(negative);
  if (count + exponent <= -4951) return Zero(negative);
  if (exponent >= 0) {
    long left = exponent;
    for (; left >= 9; left -= 9) digits.MultiplyAdd(1000000000, 0);
    for (; left > 0; --left) digits.MultiplyAdd(10, 0);
    return Round(negative, digits.BitLength() - 1, digits.Top128(false));
  }
  // digits x 2^shift / 10^-exponent, with at least 130 bits in the quotient.
  const long scale = -exponent;
  long shift = 132 + (scale * 3322) / 1000 + 1 - digits.BitLength();
  if (shift < 0) shift = 0;
  digits.ShiftLeft(static_cast<int>(shift));
  bool sticky = false;
  long left = scale;
  for (; left >= 9; left -= 9) sticky |= digits.Divide(1000000000);
  std::uint32_t last = 1;
  for (; left > 0; --left) last *= 10;
  if (last != 1) sticky |= digits.Divide(last);
  return Round(negative, digits.BitLength() - 1 - static_cast<int>(shift), digits.Top128(sticky));
}

namespace literals {
// 0.032_ext, 1e-12_ext, 3.16227766016837933199889354443271853_ext: the decimal
// rounded to nearest at compile time.
consteval SoftExt operator""_ext(const char* text) {
  const std::optional<SoftExt> v = SoftExt::Parse(text);
  if (!v) throw "not a decimal number";
  return *v;
}
}  // namespace literals

}  // namespace brennick
