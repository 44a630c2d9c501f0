// The decimal digits of a SoftExt value, for the scientific number texts.
#include <cstdint>
#include <optional>

#include "engine/soft_ext.h"
#include "engine/soft_ext_math.h"

namespace brennick {
namespace {

using soft_ext_detail::BigInt;

constexpr std::uint64_t kLowest15 = 100000000000000;   // 10^14
constexpr std::uint64_t kBeyond15 = 1000000000000000;  // 10^15

void MultiplyByPow10(BigInt& n, int k) {
  for (; k >= 9; k -= 9) n.MultiplyAdd(1000000000, 0);
  std::uint32_t last = 1;
  for (; k > 0; --k) last *= 10;
  if (last != 1) n.MultiplyAdd(last, 0);
}
// Divides by 10^k, rounding down; true where anything was dropped.
bool DivideByPow10(BigInt& n, int k) {
  bool dropped = false;
  for (; k >= 9; k -= 9) dropped |= n.Divide(1000000000);
  std::uint32_t last = 1;
  for (; k > 0; --k) last *= 10;
  if (last != 1) dropped |= n.Divide(last);
  return dropped;
}
bool DivideByPow2(BigInt& n, int k) {
  bool dropped = false;
  for (; k >= 31; k -= 31) dropped |= n.Divide(std::uint32_t{1} << 31);
  if (k > 0) dropped |= n.Divide(std::uint32_t{1} << k);
  return dropped;
}

// floor(2 x value x 10^k) (below 2^64 for the k asked), and whether the
// floor dropped anything.
std::uint64_t TwiceScaled(const SoftExt::Parts& p, int k, bool& dropped) {
  // value = significand x 2^b; every multiplication comes before the
  // divisions, so that the floors of the divisions make the floor of the whole.
  const int b = p.exponent - 63;
  BigInt n;
  n.limb[0] = static_cast<std::uint32_t>(p.significand);
  n.limb[1] = static_cast<std::uint32_t>(p.significand >> 32);
  n.size = 2;
  n.MultiplyAdd(2, 0);
  if (k > 0) MultiplyByPow10(n, k);
  if (b > 0) n.ShiftLeft(b);
  dropped = false;
  if (k < 0) dropped |= DivideByPow10(n, -k);
  if (b < 0) dropped |= DivideByPow2(n, -b);
  if (n.size > 2) return ~std::uint64_t{0};
  return (n.size > 1 ? std::uint64_t{n.limb[1]} << 32 : 0) | (n.size > 0 ? n.limb[0] : 0);
}

}  // namespace

void SoftFifteenDigits(SoftExt value, std::uint64_t& digits, int& exponent) {
  const SoftExt::Parts p = *value.Decompose();
  // The decimal exponent of the first digit is that of the power of two below
  // the value, or one more; the loop settles which.
  int e = (p.exponent * 1233) >> 12;
  bool dropped = false;
  std::uint64_t twice = 0;
  for (int tries = 0; tries < 4; ++tries) {
    twice = TwiceScaled(p, 14 - e, dropped);
    if (twice / 2 >= kBeyond15) {
      ++e;
    } else if (twice / 2 < kLowest15) {
      --e;
    } else {
      break;
    }
  }
  digits = twice / 2;
  // The bit below the last digit, and anything under it: above a half, or an
  // exact half next to an odd digit, rounds up.
  if ((twice & 1) != 0 && (dropped || (digits & 1) != 0)) ++digits;
  exponent = e;
  if (digits == kBeyond15) {
    digits = kLowest15;
    ++exponent;
  }
}

}  // namespace brennick
