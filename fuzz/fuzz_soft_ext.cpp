// Fuzz target: SoftExt against the x87. Every operation of the software type
// is worked out by the processor's own extended arithmetic as well, and the
// bits must agree; the library functions of the design run too (the cube root
// bit for bit, the power 1/3 and log10 within a unit in the last place).
//
// Input: operands one after the other, two at a time. Each starts with a kind
// byte whose low three bits choose how the bytes after it make the value and
// whose bit 3 negates it:
//   0 any encoding: 8 bytes of significand, 2 of sign and exponent
//   1 near 1: 8 bytes of significand, 1 byte of exponent (-128 to 127)
//   2 few bits: 1 byte n (0-3), n bytes of bit positions under the integer
//     bit, 1 byte of exponent: products and sums of these land on ties
//   3 the denormal boundary: 8 bytes of significand, 1 byte: exponent field
//     0 to 3, bit 2 sets the integer bit
//   4 the top of the range: 8 bytes of significand, 1 byte: 0 to 3 below the
//     largest exponent
//   5 special: 1 byte: +-0, infinity, the indefinite NaN, a quiet or
//     signalling NaN with 8 bytes of payload, an unnormal, a pseudo-infinity
//   6 a double: 8 bytes
//   7 next to the operand before: 1 byte: bit 7 scales it by 2^-(64 + 0..63)
//     (a sum with it lands near a tie), else -64 to 63 units in its last
//     place away
// Bytes that run out read as zero.
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "engine/soft_ext.h"
#include "engine/soft_ext_math.h"
#include "fuzz/fuzz_check.h"

using brennick::SoftExt;
using brennick::fuzz::Fail;

namespace {

constexpr std::uint64_t kTop = std::uint64_t{1} << 63;

struct Reader {
  const std::uint8_t* data;
  std::size_t size;
  std::size_t at = 0;

  bool Done() const { return at >= size; }
  std::uint8_t Byte() { return at < size ? data[at++] : 0; }
  std::uint64_t U64() {
    std::uint64_t v = 0;
    for (int i = 0; i < 8; ++i) v |= std::uint64_t{Byte()} << (8 * i);
    return v;
  }
};

std::string Show(SoftExt x) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%04x:%016llx", x.SignExponentBits(),
                static_cast<unsigned long long>(x.SignificandBits()));
  return buf;
}

SoftExt Hw(long double x) {
  return SoftExt::FromLongDouble(x);
}

bool Same(SoftExt a, SoftExt b) {
  return a.SignExponentBits() == b.SignExponentBits() && a.SignificandBits() == b.SignificandBits();
}

void Expect(SoftExt soft, long double hardware, const char* what, const std::string& operands) {
  if (!Same(soft, Hw(hardware))) {
    Fail(what, operands + " -> " + Show(soft) + " instead of " + Show(Hw(hardware)));
  }
}

SoftExt Encoded(bool negative, int field, std::uint64_t significand) {
  return SoftExt::FromBits(static_cast<std::uint16_t>((negative ? 0x8000 : 0) | (field & 0x7FFF)),
                           significand);
}

SoftExt Operand(Reader& in, const SoftExt* before) {
  const std::uint8_t kind = in.Byte();
  const bool negative = (kind & 8) != 0;
  SoftExt v;
  switch (kind & 7) {
    case 0: {
      const std::uint64_t significand = in.U64();
      const int se = in.Byte() | (in.Byte() << 8);
      return SoftExt::FromBits(static_cast<std::uint16_t>(se), significand);
    }
    case 1: {
      const std::uint64_t significand = in.U64() | kTop;
      v = Encoded(negative, 16383 + static_cast<std::int8_t>(in.Byte()), significand);
      break;
    }
    case 2: {
      std::uint64_t significand = kTop;
      const int n = in.Byte() % 4;
      for (int i = 0; i < n; ++i) significand |= std::uint64_t{1} << (in.Byte() % 63);
      v = Encoded(negative, 16383 + static_cast<std::int8_t>(in.Byte()), significand);
      break;
    }
    case 3: {
      std::uint64_t significand = in.U64() & ~kTop;
      const std::uint8_t b = in.Byte();
      if ((b & 4) != 0) significand |= kTop;
      v = Encoded(negative, b & 3, significand);
      break;
    }
    case 4: {
      const std::uint64_t significand = in.U64() | kTop;
      v = Encoded(negative, 0x7FFE - (in.Byte() & 3), significand);
      break;
    }
    case 5: {
      switch (in.Byte() % 7) {
        case 0:
          v = SoftExt(0);
          break;
        case 1:
          v = SoftExt::Infinity();
          break;
        case 2:
          v = SoftExt::Indefinite();
          break;
        case 3:
          v = Encoded(false, 0x7FFF, in.U64() | kTop | (std::uint64_t{1} << 62));
          break;
        case 4: {
          std::uint64_t payload = in.U64() & ~(std::uint64_t{1} << 62);
          if (payload == 0) payload = 1;
          v = Encoded(false, 0x7FFF, payload | kTop);
          break;
        }
        case 5:
          v = Encoded(false, 1 + in.Byte(), in.U64() & ~kTop);  // unnormal
          break;
        default:
          v = Encoded(false, 0x7FFF, in.U64() & ~kTop);  // pseudo-infinity or pseudo-NaN
          break;
      }
      break;
    }
    case 6: {
      const std::uint64_t bits = in.U64();
      double d = 0;
      std::memcpy(&d, &bits, sizeof d);
      volatile double vd = d;
      Expect(SoftExt(d), static_cast<long double>(vd), "from double", std::to_string(bits));
      return SoftExt(d);
    }
    default: {
      const std::uint8_t b = in.Byte();
      const SoftExt base = before != nullptr ? *before : SoftExt(1);
      if ((b & 0x80) != 0) {
        v = ldexp(base, -64 - (b & 63));
      } else {
        const int units = static_cast<std::int8_t>(static_cast<std::uint8_t>(b << 1)) / 2;
        const auto parts = base.Decompose();
        if (!parts) return base;
        v = base + SoftExt::FromParts(units < 0,
                                      static_cast<std::uint64_t>(units < 0 ? -units : units),
                                      parts->exponent - 63);
        return negative ? -v : v;
      }
      break;
    }
  }
  return negative ? -v : v;
}

// The x87's results, through volatile so that nothing is folded. Division by
// zero is part of what is checked.
[[gnu::noinline]] long double HwAdd(long double a, long double b) {
  volatile long double x = a, y = b;
  return x + y;
}
[[gnu::noinline]] long double HwSub(long double a, long double b) {
  volatile long double x = a, y = b;
  return x - y;
}
[[gnu::noinline]] long double HwMul(long double a, long double b) {
  volatile long double x = a, y = b;
  return x * y;
}
[[gnu::noinline, clang::no_sanitize("float-divide-by-zero")]] long double HwDiv(long double a,
                                                                                long double b) {
  volatile long double x = a, y = b;
  return x / y;
}

bool Unsupported(SoftExt x) {
  const int e = x.SignExponentBits() & 0x7FFF;
  return e != 0 && (x.SignificandBits() & kTop) == 0;
}

// Whether two values lie at most one unit in the last place apart.
bool WithinAnUlp(SoftExt a, long double b) {
  const SoftExt h = Hw(b);
  if (Same(a, h)) return true;
  if (isnan(a) || isnan(h) || isinf(a) || isinf(h)) return false;
  const auto pa = a.Decompose();
  if (!pa) return false;
  const SoftExt ulp = SoftExt::FromParts(false, 1, pa->exponent - 63);
  return fabs(a - h) <= ulp;
}

void CheckOne(SoftExt x) {
  const std::string what = Show(x);
  volatile long double v = x.ToLongDouble();
  Expect(sqrt(x), std::sqrt(v), "sqrt", what);
  Expect(floor(x), std::floor(v), "floor", what);
  Expect(-x, -v, "unary minus", what);
  Expect(fabs(x), std::fabs(v), "fabs", what);
  if (isnan(x) != (v != v)) Fail("isnan", what);
  if (isnan(x)) return;
  const double hd = static_cast<double>(v);
  const double sd = static_cast<double>(x);
  if (std::memcmp(&hd, &sd, sizeof hd) != 0) Fail("to double", what);
  if (llrint(x) != std::llrint(v)) Fail("llrint", what);
  if (isfinite(x) && std::fabs(v) < 9223372036854775808.0L) {
    if (static_cast<std::int64_t>(x) != static_cast<std::int64_t>(v)) Fail("truncation", what);
  }
  if (isfinite(x) && x != 0) {
    int se = 0;
    int he = 0;
    Expect(frexp(x, &se), std::frexp(v, &he), "frexp", what);
    if (se != he) Fail("frexp exponent", what);
  }
  if (!Unsupported(x)) Expect(brennick::SoftCbrt(x), std::cbrt(v), "cbrt", what);
  // The fifteen digits of a number text, against the library's conversion
  // (pseudo-denormals, which no operation makes, left out).
  if (isfinite(x) && x != 0 &&
      !((x.SignExponentBits() & 0x7FFF) == 0 && (x.SignificandBits() & kTop) != 0)) {
    std::uint64_t digits = 0;
    int exponent = 0;
    brennick::SoftFifteenDigits(fabs(x), digits, exponent);
    char buf[64];
    const long double magnitude = std::fabs(v);
    const auto end =
        std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, 14).ptr;
    char mine[64];
    const int n = std::snprintf(mine, sizeof mine, "%c.%014llue%c%02d",
                                static_cast<char>('0' + digits / 100000000000000u),
                                static_cast<unsigned long long>(digits % 100000000000000u),
                                exponent < 0 ? '-' : '+', exponent < 0 ? -exponent : exponent);
    if (std::string(buf, end) != std::string(mine, static_cast<std::size_t>(n))) {
      Fail("fifteen digits", what);
    }
  }
  if (x > 0 && isfinite(x)) {
    if (!WithinAnUlp(brennick::SoftLog10(x), std::log10(v))) Fail("log10 beyond an ulp", what);
    volatile long double third = 1.0L / 3.0L;
    if (!WithinAnUlp(brennick::SoftPowThird(x), std::pow(v, third))) {
      Fail("power 1/3 beyond an ulp", what);
    }
  }
}

void CheckTwo(SoftExt a, SoftExt b) {
  const std::string what = Show(a) + " and " + Show(b);
  const long double x = a.ToLongDouble();
  const long double y = b.ToLongDouble();
  const SoftExt sum = a + b;
  const SoftExt product = a * b;
  Expect(sum, HwAdd(x, y), "+", what);
  Expect(a - b, HwSub(x, y), "-", what);
  Expect(product, HwMul(x, y), "*", what);
  Expect(SoftExt::Quotient(a, b), HwDiv(x, y), "/", what);
  volatile long double vx = x, vy = y;
  if ((a == b) != (vx == vy) || (a != b) != (vx != vy) || (a < b) != (vx < vy) ||
      (a <= b) != (vx <= vy) || (a > b) != (vx > vy) || (a >= b) != (vx >= vy)) {
    Fail("comparison", what);
  }
  CheckOne(sum);
  CheckOne(product);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Reader in{data, size};
  do {
    const SoftExt a = Operand(in, nullptr);
    const SoftExt b = Operand(in, &a);
    CheckOne(a);
    CheckTwo(a, b);
    CheckTwo(b, a);
  } while (!in.Done());
  return 0;
}
