// Reading typed numbers, writing number texts, and the rounding rules.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/design_error.h"
#include "engine/ext.h"
#include "engine/internal/run.h"
#include "engine/number_text.h"

namespace brennick {
namespace {

struct FloatCase {
  const char* text;
  char dec;
  std::optional<double> value;
};

TEST(ParseFloat, AcceptsOnlyPlainDecimalNumbers) {
  const FloatCase cases[] = {
      {"1.5", '.', 1.5},
      {" 1.5 ", '.', 1.5},
      {"+2", '.', 2.0},
      {"-3e2", '.', -300.0},
      {"1E+3", '.', 1000.0},
      {"2.5e-1", '.', 0.25},
      {"1,5", ',', 1.5},
      {".5", '.', 0.5},
      {"5.", '.', 5.0},
      {"007", '.', 7.0},
      {"1e-400", '.', 0.0},
      {"0e999", '.', 0.0},
      {"0.001e-400", '.', 0.0},
      {"1000e-330", '.', 0.0},
      {"0.01e400", '.', std::nullopt},
      {"", '.', std::nullopt},
      {" ", '.', std::nullopt},
      {"abc", '.', std::nullopt},
      {"1.5", ',', std::nullopt},
      {"1,5", '.', std::nullopt},
      {".", '.', std::nullopt},
      {"e5", '.', std::nullopt},
      {"1e", '.', std::nullopt},
      {"1e+", '.', std::nullopt},
      {"1 2", '.', std::nullopt},
      {"\t1", '.', std::nullopt},
      {"0x10", '.', std::nullopt},
      {"1e400", '.', std::nullopt},
      {"--1", '.', std::nullopt},
      {"inf", '.', std::nullopt},
      {"nan", '.', std::nullopt},
      {"9a", '.', std::nullopt},
      // Around the limits of reading digits directly: up to 2^53 and 22
      // decimals, then the general conversion (2^53 + 1 lies halfway between
      // two doubles and goes to the even one).
      {"9007199254740992", '.', 9007199254740992.0},
      {"9007199254740993", '.', 9007199254740992.0},
      {"1234567890123456789", '.', 1234567890123456768.0},
      {"00000000000000000001", '.', 1.0},
      {"0.1", '.', 0.1},
      {"123.456", '.', 123.456},
      {"0.30000000000000004", '.', 0.30000000000000004},
      {"0.0000000000000000000001", '.', 1e-22},
      {"0.00000000000000000000001", '.', 1e-23},
      {"1.0000000000000000000001", '.', 1.0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TryParseFloat(c.text, c.dec), c.value) << '"' << c.text << '"';
  }
  EXPECT_TRUE(std::signbit(*TryParseFloat("-0", '.')));
  EXPECT_TRUE(std::signbit(*TryParseFloat("-0,000", ',')));
}

TEST(ParseFloat, StrictFailureQuotesTheTextAsTyped) {
  try {
    ParseFloatStrict(" 12x", '.');
    FAIL();
  } catch (const DesignError& e) {
    EXPECT_STREQ(e.what(), "' 12x' is not a valid floating point value");
  }
  EXPECT_DOUBLE_EQ(FloatOr("junk", '.', 1.0), 1.0);
  EXPECT_DOUBLE_EQ(FloatOr("-0.5", '.', 1.0), -0.5);
}

struct IntCase {
  const char* text;
  std::optional<std::int32_t> value;
};

TEST(ParseInt, DecimalAndHexWithin32Bits) {
  const IntCase cases[] = {
      {"9", 9},
      {"  9", 9},
      {"-7", -7},
      {"+7", 7},
      {"$1F", 31},
      {"x1f", 31},
      {"X10", 16},
      {"0X10", 16},
      {"0x10", 16},
      {"-$10", -16},
      {"2147483647", 2147483647},
      {"-2147483648", std::numeric_limits<std::int32_t>::min()},
      {"$7FFFFFFF", 2147483647},
      {"000000000000000000000009", 9},
      {"999999999", 999999999},
      {"0000000012", 12},
      {"1234567890", 1234567890},
      {"2147483648", std::nullopt},
      {"-2147483649", std::nullopt},
      {"$80000000", std::nullopt},
      {"99999999999999999999", std::nullopt},
      {"9 ", std::nullopt},
      {"", std::nullopt},
      {" ", std::nullopt},
      {"9a", std::nullopt},
      {"0x", std::nullopt},
      {"$", std::nullopt},
      {"-", std::nullopt},
      {"1.0", std::nullopt},
      {"1e3", std::nullopt},
      {"$G", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TryParseInt(c.text), c.value) << '"' << c.text << '"';
  }
}

TEST(ParseInt, StrictFailureQuotesTheTextAsTyped) {
  try {
    ParseIntStrict("9a");
    FAIL();
  } catch (const DesignError& e) {
    EXPECT_STREQ(e.what(), "'9a' is not a valid integer value");
  }
  try {
    ParseIntStrict("");
    FAIL();
  } catch (const DesignError& e) {
    EXPECT_STREQ(e.what(), "'' is not a valid integer value");
  }
  EXPECT_EQ(IntOr("x", 1), 1);
  EXPECT_EQ(IntOr("12", 1), 12);
}

struct TextCase {
  ext value;
  char dec;
  const char* text;
};

TEST(GeneralNumberText, FifteenDigitsNoTrailingZerosScientificAtTheEnds) {
  const TextCase cases[] = {
      {0, '.', "0"},
      {2, '.', "2"},
      {0.25, '.', "0.25"},
      {1.5, '.', "1.5"},
      {-0.5, '.', "-0.5"},
      {12.5, ',', "12,5"},
      {100, '.', "100"},
      {0.0001, '.', "0.0001"},
      {0.000125, '.', "0.000125"},
      {0.00005, '.', "5E-5"},
      {0.000015, ',', "1,5E-5"},
      {-0.00005, '.', "-5E-5"},
      {1e14, '.', "100000000000000"},
      {123456789012345.0_ext, '.', "123456789012345"},
      {1e15, '.', "1E15"},
      {1234567890123456.0_ext, ',', "1,23456789012346E15"},
      {1.0_ext / 3, '.', "0.333333333333333"},
      {2.0_ext / 3, '.', "0.666666666666667"},
      {0.1 + 0.2, '.', "0.3"},
      {ext(37) * 1.3, '.', "48.1"},
      {ext(0.013) * 20 * 0.33, '.', "0.0858"},
      {0.99999999999999999_ext, '.', "1"},
      // Doubles a few decimals long, and others: nine decimals, a sum that
      // misses its decimal by an ulp, 2.675 held as 2.67499999999999982...,
      // the largest whole number of fifteen digits, ties at the fifteenth
      // digit to the even neighbour.
      {7.28, '.', "7.28"},
      {-0.006, ',', "-0,006"},
      {0.123456789, '.', "0.123456789"},
      {0.1 + 0.7, '.', "0.8"},
      {2.675, '.', "2.675"},
      {12345678901234.5, '.', "12345678901234.5"},
      {999999999999999.0, '.', "999999999999999"},
      {100000000000000.5_ext, '.', "100000000000000"},
      {100000000000001.5_ext, '.', "100000000000002"},
      {ext(1300) * 1.3, '.', "1690"},
      {ext(-3801) * 1.3, ',', "-4941,3"},
      // The form follows the value, not its rounded digits.
      {9.999999999999999e-5_ext, '.', "1E-4"},
      {999999999999999.7_ext, '.', "1000000000000000"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(GeneralNumberText(c.value, c.dec), c.text) << static_cast<double>(c.value);
  }
}

struct DiceCase {
  double dice;
  const char* text;
};

TEST(DiceText, BandsBelowOneDieAndFractionsAbove) {
  const DiceCase cases[] = {
      // Worked values of the damage rules.
      {0.5, "1d-3"},
      {0.8, "1d-1"},
      {1.0, "1d"},
      {1.2, "1d+1"},
      {2.5, "2d+2"},
      {2.7, "3d-1"},
      {2.97, "3d"},
      {6.4, "6d+1"},
      {3.3, "3d+1"},
      {5.88, "6d"},
      {7.35, "7d+1"},
      {2.94, "3d"},
      {6.88, "7d"},
      {8.6, "8d+2"},
      {3.44, "3d+2"},
      // Nothing, or less than nothing, is still the smallest roll.
      {0, "1d-5"},
      {-3, "1d-5"},
      // Limits held at extended precision: the double nearest 0.032 and 0.56
      // lies above the limit, the one nearest 0.42 and 0.95 below it.
      {0.032, "1d-4"},
      {0.031, "1d-5"},
      {0.42, "1d-4"},
      {0.56, "1d-2"},
      {0.55, "1d-3"},
      {0.75, "1d-2"},
      {0.95, "1d-1"},
      {0.96, "1d"},
      // Fraction bands.
      {4.1, "4d"},
      {4.2, "4d+1"},
      {4.5, "4d+2"},
      {4.7, "5d-1"},
      {4.9, "5d"},
  };
  for (const auto& c : cases) EXPECT_EQ(DiceText(c.dice), c.text) << c.dice;
}

TEST(DiceText, CountsBeyondSixtyFourBitsAreAnInvalidOperation) {
  EXPECT_EQ(DiceText(9.2e18), "9200000000000000000d");
  try {
    DiceText(9.3e18);
    FAIL();
  } catch (const DesignError& e) {
    EXPECT_STREQ(e.what(), "Invalid floating point operation");
  }
}

TEST(Rounding, HalfToEvenTruncateHalve) {
  const std::pair<ext, std::int64_t> rounds[] = {{0.5, 0},  {1.5, 2},   {2.5, 2},    {12.5, 12},
                                                 {-0.5, 0}, {-1.5, -2}, {2.4999, 2}, {-2.6, -3}};
  for (auto [x, r] : rounds) EXPECT_EQ(RoundHalfEven(x), r) << static_cast<double>(x);
  EXPECT_EQ(Truncate(-2.9_ext), -2);
  EXPECT_EQ(Truncate(2.9_ext), 2);
  EXPECT_EQ(Halve(7), 3);
  EXPECT_EQ(Halve(-7), -3);
  EXPECT_EQ(Wrap32((std::int64_t{1} << 32) + 5), 5);
  EXPECT_EQ(Wrap32(std::int64_t{1} << 31), std::numeric_limits<std::int32_t>::min());
  EXPECT_DOUBLE_EQ(RoundToScale(ext(0.0052), 1000), 0.005);
  EXPECT_DOUBLE_EQ(RoundToScale(ext(6.125) / 1000, 1000), 0.006);
}

TEST(Rounding, ArithmeticFaultsCarryTheirMessages) {
  const auto message = [](auto&& f) {
    try {
      f();
    } catch (const DesignError& e) {
      return std::string(e.what());
    }
    return std::string("no error");
  };
  const std::string invalid = "Invalid floating point operation";
  EXPECT_EQ(message([] { RoundHalfEven(1e19_ext); }), invalid);
  EXPECT_EQ(message([] { RoundHalfEven(-1e19_ext); }), invalid);
  EXPECT_EQ(message([] { Truncate(ext(std::nan(""))); }), invalid);
  EXPECT_EQ(message([] { CheckedSqrt(-1); }), invalid);
  EXPECT_EQ(message([] { CheckedCbrt(-8); }), invalid);
  EXPECT_EQ(message([] { CheckedLog10(-1); }), invalid);
  EXPECT_EQ(message([] { CheckedLog10(0); }), "Floating point division by zero");
  EXPECT_EQ(message([] { StoreDouble(1e308_ext * 10); }), "Floating point overflow");
  EXPECT_EQ(message([] { StoreDouble(-1e308_ext * 10); }), "Floating point overflow");
  EXPECT_EQ(CheckedCbrt(0), 0);
  EXPECT_EQ(RoundHalfEven(CheckedCbrt(8)), 2);
}

TEST(RoundRange, TensHundredsThousandsTiesToEven) {
  const std::pair<int, int> cases[] = {
      {100, 100},     {101, 100},   {125, 120},   {135, 140},   {996, 1000},
      {1000, 1000},   {1250, 1200}, {1283, 1300}, {3640, 3600}, {10000, 10000},
      {12500, 12000}, {0, 0},       {-500, -500}, {99, 99},
  };
  for (auto [in, out] : cases) EXPECT_EQ(RoundRange(in), out) << in;
  // The largest range wraps like any 32-bit quantity instead of misbehaving.
  EXPECT_EQ(RoundRange(2147483647), Wrap32(2147484000LL));
}

}  // namespace
}  // namespace brennick

namespace brennick {
namespace {

// The library's correctly rounded conversion, reshaped by hand into the
// general number text: the reference the fast formatter must agree with.
std::string ReferenceText(ext v) {
  char buf[64];
#if BRENNICK_EXT_IS_SOFT
  // The library converts the x87's own type; this build runs on the x87.
  const long double native = v.ToLongDouble();
#else
  const long double native = v;
#endif
  auto end = std::to_chars(buf, buf + sizeof buf, native, std::chars_format::scientific, 14).ptr;
  std::string sci(buf, end);
  const bool negative = sci[0] == '-';
  if (negative) sci.erase(0, 1);
  const std::size_t e = sci.find('e');
  std::string digits = sci.substr(0, 1) + sci.substr(2, e - 2);
  const int exponent = std::stoi(sci.substr(e + 1));
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  std::string out = negative ? "-" : "";
  const ext magnitude = v < 0 ? -v : v;
  if (magnitude < 1e-4_ext || magnitude >= 1e15_ext) {
    out += digits.substr(0, 1);
    if (digits.size() > 1) out += "." + digits.substr(1);
    return out + "E" + std::to_string(exponent);
  }
  if (exponent < 0) return out + "0." + std::string(-exponent - 1, '0') + digits;
  const std::size_t whole = exponent + 1;
  if (digits.size() <= whole) return out + digits + std::string(whole - digits.size(), '0');
  return out + digits.substr(0, whole) + "." + digits.substr(whole);
}

TEST(GeneralNumberText, AgreesWithCorrectRoundingAcrossMagnitudes) {
  // Products of small decimals as the run forms them, ties at the fifteenth
  // digit, and a sweep of awkward binary fractions across every magnitude.
  std::vector<ext> values = {0.5e-4_ext,
                             1e-4_ext,
                             0.000123456789012345_ext,
                             9.99999999999999e14_ext,
                             999999999999999.5_ext,
                             123456789012345.5_ext,
                             0.1234567890123455_ext};
  for (int h = -2000; h <= 2000; h += 7) values.push_back(ext(h) * 1.3);
  for (int k = 1; k < 3000; ++k) {
    values.push_back(ext(k) * 0.013 * 20 * 0.33);
    values.push_back(ext(k) / 7 * 1e-3_ext);
    values.push_back(ext(k) * 1234567.891_ext);
  }
  ext v = 1e-6_ext;
  while (v < 1e17_ext) {
    values.push_back(v);
    v *= 1.37_ext;
  }
  for (ext x : values) {
    EXPECT_EQ(GeneralNumberText(x, '.'), ReferenceText(x)) << static_cast<double>(x);
    EXPECT_EQ(GeneralNumberText(-x, '.'), ReferenceText(-x)) << static_cast<double>(x);
  }
}

}  // namespace
}  // namespace brennick
