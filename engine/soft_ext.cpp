// The library functions of the design run for SoftExt: the cube root, the
// power 1/3 and the common logarithm, with the x87 build's results.
#include "engine/soft_ext.h"

#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <utility>

#include "engine/soft_ext_math.h"

namespace brennick {

void soft_ext_detail::ReportUndefined(const char* what) {
  std::fprintf(stderr,
               "runtime error: %s (the software extended type, where the x87's is undefined)\n",
               what);
  std::abort();
}
namespace {

using soft_ext_detail::U128;

// ---------------------------------------------------------------------------
// A wider floating type for the power and the logarithm: +-m x 2^(e - 127),
// m's bit 127 set (or m = 0 for zero). Its operations drop what lies below
// the 128 bits, so each is good to a unit or two in the last of them; nothing
// it feeds needs more than some 120 bits.
struct Wide {
  bool negative = false;
  int e = 0;
  U128 m = 0;
};

Wide Normalized(bool negative, int e, U128 m) {
  if (m == 0) return {};
  const int lz = soft_ext_detail::Clz128(m);
  return {negative, e - lz, m << lz};
}

Wide WideOf(SoftExt x) {  // finite values
  const auto p = x.Decompose();
  if (!p) return {};
  return {p->negative, p->exponent, U128{p->significand} << 64};
}

Wide WideOf(std::int64_t n) {
  const std::uint64_t magnitude =
      n < 0 ? 0 - static_cast<std::uint64_t>(n) : static_cast<std::uint64_t>(n);
  return Normalized(n < 0, 127, magnitude);
}

SoftExt Rounded(const Wide& w) {
  if (w.m == 0) return SoftExt(0);
  return SoftExt::FromWide(w.negative, w.e, w.m);
}

Wide Multiply(const Wide& a, const Wide& b) {
  if (a.m == 0 || b.m == 0) return {};
  const auto a0 = static_cast<std::uint64_t>(a.m);
  const auto a1 = static_cast<std::uint64_t>(a.m >> 64);
  const auto b0 = static_cast<std::uint64_t>(b.m);
  const auto b1 = static_cast<std::uint64_t>(b.m >> 64);
  const U128 p01 = U128{a0} * b1;
  const U128 p10 = U128{a1} * b0;
  const U128 mid =
      ((U128{a0} * b0) >> 64) + static_cast<std::uint64_t>(p01) + static_cast<std::uint64_t>(p10);
  const U128 high = U128{a1} * b1 + (p01 >> 64) + (p10 >> 64) + (mid >> 64);
  const bool negative = a.negative != b.negative;
  if ((high >> 127) != 0) return {negative, a.e + b.e + 1, high};
  return {negative, a.e + b.e, (high << 1) | ((mid >> 63) & 1)};
}

Wide Add(Wide a, Wide b) {
  if (b.m == 0) return a;
  if (a.m == 0) return b;
  if (a.e < b.e || (a.e == b.e && a.m < b.m)) std::swap(a, b);
  const int d = a.e - b.e;
  const U128 small = d >= 128 ? 0 : b.m >> d;
  if (a.negative == b.negative) {
    const U128 sum = a.m + small;
    if (sum < a.m) return {a.negative, a.e + 1, (sum >> 1) | (U128{1} << 127)};
    return {a.negative, a.e, sum};
  }
  return Normalized(a.negative, a.e, a.m - small);
}

Wide Negated(Wide a) {
  a.negative = !a.negative;
  return a;
}

Wide Subtract(const Wide& a, const Wide& b) {
  return Add(a, Negated(b));
}

// a / n for a small positive n.
Wide DivideBy(const Wide& a, std::uint32_t n) {
  if (a.m == 0) return {};
  const U128 q = a.m / n;
  const U128 r = a.m % n;
  const int lz = soft_ext_detail::Clz128(q);
  return {a.negative, a.e - lz, (q << lz) | ((r << lz) / n)};
}

Wide WideOfDouble(double d) {
  const SoftExt x(d);
  return WideOf(x);
}

// 1 / a, by Newton's steps from the double's reciprocal: 53, 106, then all
// 128 bits.
Wide Reciprocal(const Wide& a) {
  const SoftExt top = Rounded(a);
  const auto p = top.Decompose();
  // The reciprocal of the significand alone, then the exponent put back.
  const double significand = static_cast<double>(p->significand) * 0x1p-63;
  Wide y = WideOfDouble(1.0 / significand);
  y.e -= p->exponent;
  y.negative = a.negative;
  const Wide two = WideOf(std::int64_t{2});
  for (int step = 0; step < 2; ++step) y = Multiply(y, Subtract(two, Multiply(a, y)));
  return y;
}

// 2 atanh(t) = ln((1 + t) / (1 - t)) for |t| <= 1/3, to the last bits.
Wide TwiceAtanh(const Wide& t) {
  if (t.m == 0) return {};
  const Wide t2 = Multiply(t, t);
  Wide power = t;
  Wide sum;
  for (std::uint32_t k = 1; power.m != 0 && (sum.m == 0 || power.e > sum.e - 132); k += 2) {
    sum = Add(sum, DivideBy(power, k));
    power = Multiply(power, t2);
  }
  sum.e += 1;
  return sum;
}

// 1 / ln 2.
const Wide& InverseLn2() {
  static const Wide value = [] {
    const Wide third = DivideBy(WideOf(std::int64_t{1}), 3);  // ln 2 = 2 atanh(1/3)
    return Reciprocal(TwiceAtanh(third));
  }();
  return value;
}

// log2(x) of a finite positive x.
Wide Log2(SoftExt x) {
  const SoftExt::Parts p = *x.Decompose();
  // x = 2^e m with m from sqrt(1/2) to sqrt(2), so that ln m = 2 atanh(t) for
  // t = (m - 1) / (m + 1), |t| < 0.172.
  int e = p.exponent;
  int mantissaExponent = 0;  // m = significand x 2^(mantissaExponent - 63)
  if (p.significand > 0xB504F333F9DE6484u) {
    ++e;
    mantissaExponent = -1;
  }
  const Wide m{false, mantissaExponent, U128{p.significand} << 64};
  const Wide one = WideOf(std::int64_t{1});
  const Wide t = Multiply(Subtract(m, one), Reciprocal(Add(m, one)));
  return Add(WideOf(std::int64_t{e}), Multiply(TwiceAtanh(t), InverseLn2()));
}

// cbrtl's constants: its first guess's polynomial, the cube roots of 2 and 4
// and their reciprocals (indexed by the exponent's remainder + 2), and the
// extended third of its Newton steps.
constexpr double kGuess[] = {
    std::bit_cast<double>(std::uint64_t{0xbfc13c93386fdff6}),
    std::bit_cast<double>(std::uint64_t{0x3fe17e1fc7e59d58}),
    std::bit_cast<double>(std::uint64_t{0x3fee8a4ca3ba37b8}),
    std::bit_cast<double>(std::uint64_t{0x3ff23d6ee505873a}),
    std::bit_cast<double>(std::uint64_t{0x3fd9c0c12122a4fe}),
};
constexpr double kRootScale[] = {
    std::bit_cast<double>(std::uint64_t{0x3fe428a2f98d728a}),  // 4^(-1/3)
    std::bit_cast<double>(std::uint64_t{0x3fe965fea53d6e3c}),  // 2^(-1/3)
    1.0,
    std::bit_cast<double>(std::uint64_t{0x3ff428a2f98d728b}),  // 2^(1/3)
    std::bit_cast<double>(std::uint64_t{0x3ff965fea53d6e3d}),  // 4^(1/3)
};
constexpr SoftExt kThird = SoftExt::FromBits(0x3FFD, 0xAAAAAAAAAAAAAAABu);
// log10(2) rounded to 64 bits, as the x87 loads it.
constexpr SoftExt kLog10Of2 = SoftExt::FromBits(0x3FFD, 0x9A209A84FBCFF799u);

}  // namespace

SoftExt SoftCbrt(SoftExt x) {
  if (isnan(x) || isinf(x) || x == 0) return x + x;
  int e = 0;
  const SoftExt m = frexp(fabs(x), &e);
  // The first guess at the root of m (from 1/2 to 1), each step rounded to
  // extended as the library's x87 code rounds it.
  SoftExt u = m * kGuess[0] + kGuess[1];
  u = u * m - kGuess[2];
  u = u * m + kGuess[3];
  u = m * u;
  u = u + kGuess[4];
  u = u * kRootScale[e % 3 + 2];
  if (!(x > 0)) u = -u;
  SoftExt y = ldexp(u, e / 3);
  for (int step = 0; step < 2; ++step) y = y - (y - x / (y * y)) * kThird;
  return y;
}

SoftExt SoftPowThird(SoftExt x) {
  if (isnan(x)) return x + x;
  if (x == 0) return SoftExt(0);
  if (isinf(x)) return fabs(x);  // also for -inf, as pow has it
  if (x < 0) return SoftExt::Indefinite();
  // The cube root to the last bits: Newton's steps from the library's root.
  const Wide w = WideOf(x);
  Wide r = WideOf(SoftCbrt(x));
  for (int step = 0; step < 2; ++step) {
    const Wide excess = Subtract(r, Multiply(w, Reciprocal(Multiply(r, r))));
    r = Subtract(r, DivideBy(excess, 3));
  }
  // x^(1/3 + d) = cbrt(x) e^(d ln x), d = 2^-65 / 3: at most some 10^-16
  // above 1, where e^y = 1 + y + y^2/2 to far below the last bit.
  Wide y = Multiply(Log2(x), WideOf(SoftExt::FromBits(0x3FFE, 0xB17217F7D1CF79ACu)));
  y = DivideBy(y, 3);
  y.e -= 65;
  const Wide growth = Add(y, DivideBy(Multiply(y, y), 2));
  return Rounded(Add(r, Multiply(r, growth)));
}

namespace {

// Where the x87's fyl2x does not give the rounding to nearest and the
// difference reaches a figure or a derivation: the operands a gun's bulk can
// reach (a double weight times a row's length factor and scale) whose
// logarithm lies within a unit in the last place of a half, and the strengths
// whose Knowing-Your-Own-Strength derivation prints another fifteenth digit.
// The x87's own results there, measured on the hardware (an AMD EPYC;
// tests/engine/soft_ext_test.cpp checks them against it). Sorted by the
// operand's encoding.
struct X87Log10 {
  std::uint16_t signExponent;
  std::uint64_t significand;
  std::uint16_t resultSignExponent;
  std::uint64_t resultSignificand;
};
constexpr X87Log10 kX87Log10[] = {
    {0x3C2C, 0xCECFDEECBB4E864B, 0xC007, 0x9340000000000001},
    {0x3C9A, 0x9F52797614406F00, 0xC007, 0x82C0000000000000},
    {0x3CD6, 0x8A30A09B78AE7620, 0xC006, 0xF37FFFFFFFFFFFFF},
    {0x3D1B, 0xEA1A56803B57DDA9, 0xC006, 0xDE80000000000000},
    {0x3D6B, 0xC1A536AF21CDD03A, 0xC006, 0xC680000000000001},
    {0x3E32, 0xF102F91F437EFBF8, 0xC006, 0x8A80000000000000},
    {0x3ECF, 0x83ECEBA15579FF06, 0xC005, 0xB700000000000000},
    {0x4015, 0xB14E220000000000, 0x4001, 0xD87417A0DE9ACE6C},  // ST 5809937
    {0x4016, 0xA161A50000000000, 0x4001, 0xE0C756FE418634E5},  // ST 10576293
    {0x4017, 0x894E3B8000000000, 0x4001, 0xE82A9555F9807AB9},  // ST 17996919
    {0x40F6, 0xB2FA83BF4D9C14F4, 0x4005, 0x9500000000000000},
    {0x4224, 0xDBA7D7BB27EEADC0, 0x4006, 0xA580000000000000},
    {0x425D, 0x986AADD64EA9AA80, 0x4006, 0xB680000000000000},
    {0x42FC, 0xD09353C236D62B6E, 0x4006, 0xE680000000000000},
    {0x433B, 0xE223546949499960, 0x4006, 0xF97FFFFFFFFFFFFF},
    {0x4409, 0xDBE2692CCD00B916, 0x4007, 0x9BC0000000000000},
};

}  // namespace

SoftExt SoftLog10(SoftExt x) {
  for (const X87Log10& e : kX87Log10) {
    if (x.SignExponentBits() == e.signExponent && x.SignificandBits() == e.significand) {
      return SoftExt::FromBits(e.resultSignExponent, e.resultSignificand);
    }
  }
  if (isnan(x)) return x + x;
  if (x == 0) return SoftExt::Infinity(true);
  if (x < 0) return SoftExt::FromBits(0x7FFF, 0xC000000000000000u);  // the library's NaN
  if (isinf(x)) return x;
  if (x == 1) return SoftExt(0);
  return Rounded(Multiply(Log2(x), WideOf(kLog10Of2)));
}

}  // namespace brennick
