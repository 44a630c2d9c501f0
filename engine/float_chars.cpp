#include "engine/internal/float_chars.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <string>
#include <system_error>
#include <vector>

namespace brennick::detail {

namespace {

// A non-negative integer of any size, 32 bits a limb, the lowest limb first
// and no zero limb at the top. Both conversions work exactly in it: they run
// only on the rare texts and values the quick paths leave over.
class BigNum {
 public:
  BigNum() = default;
  explicit BigNum(std::uint64_t v) {
    while (v != 0) {
      limbs_.push_back(static_cast<std::uint32_t>(v));
      v >>= 32;
    }
  }

  bool IsZero() const { return limbs_.empty(); }

  std::size_t BitLength() const {
    if (limbs_.empty()) return 0;
    return 32 * (limbs_.size() - 1) + static_cast<std::size_t>(std::bit_width(limbs_.back()));
  }

  // this = this * factor + addend.
  void MulAdd(std::uint32_t factor, std::uint32_t addend) {
    std::uint64_t carry = addend;
    for (std::uint32_t& limb : limbs_) {
      const std::uint64_t t = std::uint64_t{limb} * factor + carry;
      limb = static_cast<std::uint32_t>(t);
      carry = t >> 32;
    }
    if (carry != 0) limbs_.push_back(static_cast<std::uint32_t>(carry));
  }

  void MulPow(std::uint32_t base, std::uint32_t baseTo9, std::int64_t power) {
    if (IsZero()) return;
    for (; power >= 9; power -= 9) MulAdd(baseTo9, 0);
    std::uint32_t rest = 1;
    for (; power > 0; --power) rest *= base;
    MulAdd(rest, 0);
  }
  void MulPow10(std::int64_t power) { MulPow(10, 1000000000, power); }
  void MulPow5(std::int64_t power) { MulPow(5, 1953125, power); }

  void ShiftLeft(std::size_t bits) {
    if (IsZero() || bits == 0) return;
    const std::size_t whole = bits / 32;
    const unsigned part = static_cast<unsigned>(bits % 32);
    if (part != 0) {
      std::uint32_t carry = 0;
      for (std::uint32_t& limb : limbs_) {
        const std::uint32_t next = limb >> (32 - part);
        limb = (limb << part) | carry;
        carry = next;
      }
      if (carry != 0) limbs_.push_back(carry);
    }
    limbs_.insert(limbs_.begin(), whole, 0);
  }

  // this -= other, where other <= this.
  void Subtract(const BigNum& other) {
    std::int64_t borrow = 0;
    for (std::size_t i = 0; i < limbs_.size(); ++i) {
      std::int64_t t = std::int64_t{limbs_[i]} - borrow;
      if (i < other.limbs_.size()) t -= other.limbs_[i];
      borrow = t < 0 ? 1 : 0;
      limbs_[i] = static_cast<std::uint32_t>(t + (borrow << 32));
    }
    Trim();
  }

  // Divides by `divisor` (not zero) and returns the remainder.
  std::uint32_t DivSmall(std::uint32_t divisor) {
    std::uint64_t rest = 0;
    for (std::size_t i = limbs_.size(); i-- > 0;) {
      const std::uint64_t t = (rest << 32) | limbs_[i];
      limbs_[i] = static_cast<std::uint32_t>(t / divisor);
      rest = t % divisor;
    }
    Trim();
    return static_cast<std::uint32_t>(rest);
  }

  friend int Compare(const BigNum& a, const BigNum& b) {
    if (a.limbs_.size() != b.limbs_.size()) return a.limbs_.size() < b.limbs_.size() ? -1 : 1;
    for (std::size_t i = a.limbs_.size(); i-- > 0;) {
      if (a.limbs_[i] != b.limbs_[i]) return a.limbs_[i] < b.limbs_[i] ? -1 : 1;
    }
    return 0;
  }

  // All the decimal digits, the most significant first ("0" for zero).
  std::string Decimal() const {
    BigNum rest = *this;
    std::string digits;
    while (!rest.IsZero()) {
      std::uint32_t chunk = rest.DivSmall(1000000000);
      for (int i = 0; i < 9; ++i) {
        digits += static_cast<char>('0' + chunk % 10);
        chunk /= 10;
      }
    }
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    if (digits.empty()) digits.push_back('0');
    std::reverse(digits.begin(), digits.end());
    return digits;
  }

 private:
  void Trim() {
    while (!limbs_.empty() && limbs_.back() == 0) limbs_.pop_back();
  }

  std::vector<std::uint32_t> limbs_;
};

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// More significant digits than this never change a double's rounding: a
// value halfway between two doubles has at most 767 of them. Digits beyond
// it count only as "something non-zero follows".
constexpr std::size_t kMostDigits = 800;

// The decimal exponent beyond which a text is out of range whatever its
// digits (the limit keeps the arithmetic on the exponent in range).
constexpr std::int64_t kExponentLimit = 1000000000;

}  // namespace

std::from_chars_result DecimalToDouble(const char* first, const char* last, double& value) {
  const char* p = first;
  const bool negative = p != last && *p == '-';
  if (negative) ++p;

  // The significant digits (no leading zeros) and the decimal exponent of the
  // text's last digit before the exponent part.
  std::string digits;
  bool sticky = false;  // a non-zero digit was dropped beyond kMostDigits
  std::int64_t exponent = 0;
  std::size_t seen = 0;
  auto take = [&](char c, bool fraction) {
    ++seen;
    if (fraction) --exponent;
    if (digits.empty() && c == '0') return;
    if (digits.size() < kMostDigits) {
      digits += c;
    } else {
      ++exponent;
      sticky = sticky || c != '0';
    }
  };
  while (p != last && IsDigit(*p)) take(*p++, false);
  if (p != last && *p == '.') {
    ++p;
    while (p != last && IsDigit(*p)) take(*p++, true);
  }
  if (seen == 0) return {first, std::errc::invalid_argument};

  if (p != last && (*p == 'e' || *p == 'E')) {
    const char* q = p + 1;
    const bool negativeExponent = q != last && *q == '-';
    if (q != last && (*q == '-' || *q == '+')) ++q;
    if (q != last && IsDigit(*q)) {
      std::int64_t written = 0;
      while (q != last && IsDigit(*q)) {
        written = std::min<std::int64_t>(written * 10 + (*q++ - '0'), kExponentLimit);
      }
      exponent += negativeExponent ? -written : written;
      p = q;
    }
  }

  const double sign = negative ? -1.0 : 1.0;
  if (digits.empty()) {
    value = sign * 0.0;
    return {p, std::errc()};
  }
  if (sticky) {
    digits += '1';
    --exponent;
  }
  while (digits.back() == '0') {
    digits.pop_back();
    ++exponent;
  }
  // The value lies in [10^(top - 1), 10^top).
  const std::int64_t top = static_cast<std::int64_t>(digits.size()) + exponent;
  if (top > 310) return {p, std::errc::result_out_of_range};
  if (top < -324) return {p, std::errc::result_out_of_range};  // below 10^-324: rounds to zero

  BigNum num;
  for (char c : digits) num.MulAdd(10, static_cast<std::uint32_t>(c - '0'));
  BigNum den(1);
  if (exponent >= 0) {
    num.MulPow10(exponent);
  } else {
    den.MulPow10(-exponent);
  }

  // The binary exponent: 2^e2 <= num / den < 2^(e2 + 1).
  const auto bitsNum = static_cast<std::int64_t>(num.BitLength());
  const auto bitsDen = static_cast<std::int64_t>(den.BitLength());
  std::int64_t e2 = bitsNum - bitsDen;
  {
    BigNum a = num;
    BigNum b = den;
    if (e2 >= 0) {
      b.ShiftLeft(static_cast<std::size_t>(e2));
    } else {
      a.ShiftLeft(static_cast<std::size_t>(-e2));
    }
    if (Compare(a, b) < 0) --e2;
  }
  if (e2 > 1023) return {p, std::errc::result_out_of_range};

  // The significand: 53 bits for a normal double, fewer for a subnormal one,
  // whose last bit stands for 2^-1074.
  const std::int64_t shift = 52 - std::max<std::int64_t>(e2, -1022);
  if (shift >= 0) {
    num.ShiftLeft(static_cast<std::size_t>(shift));
  } else {
    den.ShiftLeft(static_cast<std::size_t>(-shift));
  }
  std::uint64_t q = 0;
  for (int bit = 53; bit >= 0; --bit) {
    BigNum part = den;
    part.ShiftLeft(static_cast<std::size_t>(bit));
    if (Compare(num, part) >= 0) {
      num.Subtract(part);
      q |= std::uint64_t{1} << bit;
    }
  }
  // Round the rest: above half up, an exact half to the even neighbour.
  num.ShiftLeft(1);
  const int half = Compare(num, den);
  if (half > 0 || (half == 0 && (q & 1) != 0)) ++q;

  std::uint64_t bits = 0;
  constexpr std::uint64_t kHidden = std::uint64_t{1} << 52;
  if (e2 < -1022) {
    if (q == 0) return {p, std::errc::result_out_of_range};
    bits = q;  // a subnormal, or the smallest normal double when it rounded up to 2^52
  } else {
    if (q == 2 * kHidden) {
      q = kHidden;
      ++e2;
    }
    if (e2 > 1023) return {p, std::errc::result_out_of_range};
    bits = (static_cast<std::uint64_t>(e2 + 1023) << 52) | (q - kHidden);
  }
  value = sign * std::bit_cast<double>(bits);
  return {p, std::errc()};
}

std::to_chars_result ScientificText(char* first, char* last, std::uint64_t significand,
                                    int exponent, int precision) {
  const auto count = static_cast<std::size_t>(precision) + 1;  // digits written
  std::string digits;
  std::int64_t decimalExponent = 0;
  if (significand == 0) {
    digits.assign(count, '0');
  } else {
    // The exact value as an integer times a power of ten: m x 2^e is
    // m x 5^-e x 10^e for a negative e.
    BigNum exact(significand);
    std::int64_t shift = 0;
    if (exponent >= 0) {
      exact.ShiftLeft(static_cast<std::size_t>(exponent));
    } else {
      exact.MulPow5(-static_cast<std::int64_t>(exponent));
      shift = exponent;
    }
    digits = exact.Decimal();
    decimalExponent = static_cast<std::int64_t>(digits.size()) - 1 + shift;
    if (digits.size() > count) {
      const char next = digits[count];
      const bool rest = digits.find_first_not_of('0', count + 1) != std::string::npos;
      digits.resize(count);
      const bool odd = ((digits.back() - '0') & 1) != 0;
      if (next > '5' || (next == '5' && (rest || odd))) {
        std::size_t i = count;
        while (i > 0 && digits[i - 1] == '9') digits[--i] = '0';
        if (i == 0) {
          digits[0] = '1';  // 9.99...5 became 10.0...: one digit more to the left
          ++decimalExponent;
        } else {
          ++digits[i - 1];
        }
      }
    } else {
      digits.resize(count, '0');
    }
  }

  std::string text(1, digits[0]);
  if (count > 1) {
    text += '.';
    text.append(digits, 1, std::string::npos);
  }
  text += 'e';
  text += decimalExponent < 0 ? '-' : '+';
  const std::int64_t magnitude = decimalExponent < 0 ? -decimalExponent : decimalExponent;
  if (magnitude < 10) text += '0';
  text += std::to_string(magnitude);
  if (static_cast<std::size_t>(last - first) < text.size()) {
    return {last, std::errc::value_too_large};
  }
  return {std::copy(text.begin(), text.end(), first), std::errc()};
}

}  // namespace brennick::detail
