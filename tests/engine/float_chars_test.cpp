// The decimal conversions that stand in for the library's floating-point
// from_chars and to_chars where it has none (emscripten's libc++): hard cases
// worked out by hand, then, where the library has its own, thousands of hard
// texts and values compared with it byte for byte.
#include "engine/internal/float_chars.h"

#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <system_error>
#include <vector>

namespace brennick::detail {
namespace {

struct ReadCase {
  std::string text;
  std::errc ec;
  std::size_t used;  // characters taken
  double value;      // the result, or what `value` keeps when out of range
};

constexpr double kUntouched = -7.25;

TEST(DecimalToDouble, HardTextsByHand) {
  const double maxDouble = std::numeric_limits<double>::max();
  const double minSubnormal = std::numeric_limits<double>::denorm_min();
  const double largestSubnormal = std::bit_cast<double>(std::uint64_t{0x000FFFFFFFFFFFFF});
  const double minNormal = std::numeric_limits<double>::min();
  const std::string zeros800(800, '0');
  const std::vector<ReadCase> cases = {
      {"0.1", std::errc(), 3, 0.1},
      {"1e23", std::errc(), 4, 1e23},
      // Above 2^53 the doubles are two apart: the halves go to the even one.
      {"9007199254740993", std::errc(), 16, 9007199254740992.0},
      {"9007199254740995", std::errc(), 16, 9007199254740996.0},
      {"9007199254740993.0000000000000000000001", std::errc(), 39, 9007199254740994.0},
      // A digit far beyond the ones kept still breaks the tie; zeros do not.
      {"9007199254740993." + zeros800 + "1", std::errc(), 818, 9007199254740994.0},
      {"9007199254740993." + zeros800 + "0", std::errc(), 818, 9007199254740992.0},
      {"1" + zeros800 + "e-800", std::errc(), 806, 1.0},
      // Either side of the midpoint between the largest subnormal and the
      // smallest normal double (2.22507385850720113605...e-308).
      {"2.2250738585072011e-308", std::errc(), 23, largestSubnormal},
      {"2.2250738585072012e-308", std::errc(), 23, minNormal},
      // Half the smallest subnormal is 2.47032822920623272088...e-324.
      {"4.9406564584124654e-324", std::errc(), 23, minSubnormal},
      {"2.4703282292062328e-324", std::errc(), 23, minSubnormal},
      {"2.4703282292062327e-324", std::errc::result_out_of_range, 23, kUntouched},
      {"1e-400", std::errc::result_out_of_range, 6, kUntouched},
      // Half way from the largest double to 2^1024 is 1.79769313486231580793...e308.
      {"1.7976931348623157e308", std::errc(), 22, maxDouble},
      {"1.7976931348623158e308", std::errc(), 22, maxDouble},
      {"1.7976931348623159e308", std::errc::result_out_of_range, 22, kUntouched},
      {"1e309", std::errc::result_out_of_range, 5, kUntouched},
      {"1e99999999999999999999", std::errc::result_out_of_range, 22, kUntouched},
      {"0e99999999999999999999", std::errc(), 22, 0.0},
      {"-0", std::errc(), 2, -0.0},
      {"-1.5e-3x", std::errc(), 7, -0.0015},
      {"12.5E+2", std::errc(), 7, 1250.0},
      // An exponent without digits is not part of the number.
      {"1e", std::errc(), 1, 1.0},
      {"1e+", std::errc(), 1, 1.0},
      {"1.", std::errc(), 2, 1.0},
      {".5", std::errc(), 2, 0.5},
      {"+1", std::errc::invalid_argument, 0, kUntouched},
      {"", std::errc::invalid_argument, 0, kUntouched},
      {".", std::errc::invalid_argument, 0, kUntouched},
      {"-", std::errc::invalid_argument, 0, kUntouched},
      {"inf", std::errc::invalid_argument, 0, kUntouched},
  };
  for (const ReadCase& c : cases) {
    double value = kUntouched;
    const auto [ptr, ec] = DecimalToDouble(c.text.data(), c.text.data() + c.text.size(), value);
    const std::string shown = c.text.substr(0, 40);
    EXPECT_EQ(ec, c.ec) << shown;
    EXPECT_EQ(static_cast<std::size_t>(ptr - c.text.data()), c.used) << shown;
    EXPECT_EQ(std::bit_cast<std::uint64_t>(value), std::bit_cast<std::uint64_t>(c.value))
        << shown << " gave " << value;
  }
}

struct WriteCase {
  std::uint64_t significand;
  int exponent;
  int precision;
  std::string text;
};

TEST(ScientificText, HardValuesByHand) {
  const std::vector<WriteCase> cases = {
      {0, 0, 14, "0.00000000000000e+00"},
      {1, 0, 14, "1.00000000000000e+00"},
      {1, 0, 0, "1e+00"},
      // Ties at the fifteenth digit go to the even digit.
      {1000000000000005, 0, 14, "1.00000000000000e+15"},
      {1000000000000015, 0, 14, "1.00000000000002e+15"},
      {1000000000000005001, 0, 14, "1.00000000000001e+18"},
      // Rounding up through nines moves the exponent.
      {9999999999999995, 0, 14, "1.00000000000000e+16"},
      {1, 70, 14, "1.18059162071741e+21"},   // 2^70 = 1180591620717411303424
      {1, -20, 14, "9.53674316406250e-07"},  // 2^-20 = 9.5367431640625e-07
      {1, -3, 2, "1.25e-01"},
      {1, -3, 1, "1.2e-01"},
      {3, -3, 1, "3.8e-01"},
      {1, -1, 0, "5e-01"},
      // The smallest subnormal double, 4.94065645841246544...e-324.
      {1, -1074, 14, "4.94065645841247e-324"},
      {1, 400, 3, "2.582e+120"},  // 2^400 = 2.58224987808690858965...e120
  };
  for (const WriteCase& c : cases) {
    char buf[64];
    const auto [ptr, ec] =
        ScientificText(buf, buf + sizeof buf, c.significand, c.exponent, c.precision);
    EXPECT_EQ(ec, std::errc()) << c.text;
    EXPECT_EQ(std::string(buf, ptr), c.text);
  }
  char small[8];
  EXPECT_EQ(ScientificText(small, small + sizeof small, 1, 0, 14).ec, std::errc::value_too_large);
}

#if defined(__cpp_lib_to_chars)

// Texts close to the hard spots: exact midpoints between neighbouring
// doubles and the texts one unit in their last digit either side, shortest
// round trips, and 14- and 17-digit texts, over the whole exponent range.
std::vector<std::string> HardTexts() {
  std::mt19937_64 rng(20261210);
  std::vector<std::string> texts;
  char buf[1200];
  auto add = [&](char* end) { texts.emplace_back(buf, end); };
  for (int i = 0; i < 3000; ++i) {
    const double d = std::bit_cast<double>(rng() & 0x7FFFFFFFFFFFFFFF);
    if (!std::isfinite(d)) continue;
    add(std::to_chars(buf, buf + sizeof buf, d).ptr);
    add(std::to_chars(buf, buf + sizeof buf, d, std::chars_format::scientific, 13).ptr);
    add(std::to_chars(buf, buf + sizeof buf, d, std::chars_format::scientific, 16).ptr);
#if LDBL_MANT_DIG == 64
    // The exact midpoint, which the x87 format holds exactly (normal doubles).
    const double up = std::nextafter(d, std::numeric_limits<double>::infinity());
    if (std::fpclassify(d) == FP_NORMAL && std::isfinite(up)) {
      const long double mid = (static_cast<long double>(d) + up) / 2;
      char* end =
          std::to_chars(buf, buf + sizeof buf, mid, std::chars_format::scientific, 1100).ptr;
      std::string exact(buf, end);
      const std::size_t e = exact.find('e');
      std::string mantissa = exact.substr(0, e);
      while (mantissa.back() == '0') mantissa.pop_back();
      const std::string exponent = exact.substr(e);
      texts.push_back(mantissa + exponent);
      texts.push_back(mantissa + "1" + exponent);
      std::string below = mantissa;
      std::size_t j = below.size();
      while (below[j - 1] == '0' || below[j - 1] == '.') --j;
      --below[j - 1];  // the last non-zero digit, one less
      texts.push_back(below + exponent);
    }
#endif
  }
  return texts;
}

TEST(DecimalToDouble, AgreesWithTheLibrary) {
  const std::vector<std::string> texts = HardTexts();
  ASSERT_GT(texts.size(), 9000u);
  for (const std::string& text : texts) {
    double ours = kUntouched;
    double library = kUntouched;
    const char* first = text.data();
    const char* last = first + text.size();
    const auto a = DecimalToDouble(first, last, ours);
    const auto b = std::from_chars(first, last, library);
    ASSERT_EQ(a.ec, b.ec) << text;
    ASSERT_EQ(a.ptr, b.ptr) << text;
    ASSERT_EQ(std::bit_cast<std::uint64_t>(ours), std::bit_cast<std::uint64_t>(library)) << text;
  }
}

#if LDBL_MANT_DIG == 64
TEST(ScientificText, AgreesWithTheLibraryOnExtendedValues) {
  std::mt19937_64 rng(1210);
  for (int i = 0; i < 20000; ++i) {
    // Any exponent of the format, subnormals included, and significands
    // that end in long runs of zeros or ones (ties and carries).
    std::uint64_t significand = rng() | (std::uint64_t{1} << 63);
    const int zeros = static_cast<int>(rng() % 64);
    if (i % 3 == 0) significand &= ~((std::uint64_t{1} << zeros) - 1);
    if (i % 3 == 1) significand |= (std::uint64_t{1} << zeros) - 1;
    // Mostly the exponents of the run's figures; now and then any of the
    // format's (their exact digits run to thousands, which takes a while).
    int exponent = static_cast<int>(rng() % 400) - 200 - 63;
    if (i % 50 == 0) exponent = static_cast<int>(rng() % 32766) - 16382 - 63;
    if (i % 501 == 0) {  // a subnormal: integer bit clear, the smallest exponent
      significand >>= 1 + rng() % 63;
      exponent = -16382 - 63;
    }
    const long double v = std::ldexp(static_cast<long double>(significand), exponent);
    const int precision = i % 4 == 0 ? static_cast<int>(rng() % 25) : 14;
    char ours[128];
    char library[128];
    const auto a = ScientificText(ours, ours + sizeof ours, significand, exponent, precision);
    const auto b = std::to_chars(library, library + sizeof library, v,
                                 std::chars_format::scientific, precision);
    ASSERT_EQ(std::string(ours, a.ptr), std::string(library, b.ptr))
        << significand << " x 2^" << exponent;
  }
}
#endif

#endif  // __cpp_lib_to_chars

}  // namespace
}  // namespace brennick::detail
