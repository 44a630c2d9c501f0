// The statblock's text and line ends, and the rounded roots and logarithms
// that the run finds by comparison.
#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/design.h"
#include "engine/design_error.h"
#include "engine/ext.h"
#include "engine/internal/run.h"
#include "engine/number_text.h"
#include "tests/support/worked_designs.h"

namespace brennick {
namespace {

using Lines = std::vector<std::string>;

TEST(Statblock, LinesMayBeEmptyOrHoldNewlines) {
  Statblock s;
  EXPECT_TRUE(s.empty());
  EXPECT_EQ(s.Text(), "");
  s.push_back("x");
  s.push_back("");
  s.push_back("a\nb");
  ASSERT_EQ(s.size(), 3u);
  EXPECT_EQ(s[0], "x");
  EXPECT_EQ(s[1], "");
  EXPECT_EQ(s[2], "a\nb");
  EXPECT_EQ(s.front(), "x");
  EXPECT_EQ(s.back(), "a\nb");
  EXPECT_EQ(s.Text(), "x\n\na\nb\n");
  EXPECT_EQ(s, (Lines{"x", "", "a\nb"}));
  EXPECT_FALSE(s == (Lines{"x", "", "a", "b"}));  // the same text, other lines
  EXPECT_FALSE(s == (Statblock{"x", "\na", "b"}));
  EXPECT_THROW(s.at(3), std::out_of_range);
  EXPECT_EQ(s.at(2), "a\nb");
}

TEST(Statblock, IteratesBothWays) {
  const Statblock s{"one", "two", "three"};
  EXPECT_EQ(Lines(s.begin(), s.end()), (Lines{"one", "two", "three"}));
  EXPECT_EQ(std::distance(s.begin(), s.end()), 3);
  EXPECT_EQ(*std::prev(s.end()), "three");
  EXPECT_EQ(s.begin()[1], "two");
  EXPECT_EQ(Lines(std::make_reverse_iterator(s.end()), std::make_reverse_iterator(s.begin())),
            (Lines{"three", "two", "one"}));
}

TEST(Statblock, CopiesAreIndependentAndMovesEmptyTheSource) {
  Statblock a{"alpha", "beta"};
  Statblock b = a;
  b.push_back("gamma");
  EXPECT_EQ(a, (Lines{"alpha", "beta"}));
  EXPECT_EQ(b, (Lines{"alpha", "beta", "gamma"}));
  a = b;
  EXPECT_EQ(a, b);
  const Statblock& self = a;
  a = self;
  EXPECT_EQ(a, b);
  Statblock c = std::move(a);
  EXPECT_EQ(c, b);
  EXPECT_TRUE(a.empty());  // what was moved from is empty
  a.push_back("again");
  EXPECT_EQ(a, (Lines{"again"}));
}

TEST(Statblock, GrowsPastItsFirstBlock) {
  Statblock s;
  Lines expected;
  for (int i = 0; i < 500; ++i) {
    expected.push_back(std::string(static_cast<std::size_t>(i * 7 % 300), 'a' + i % 26));
    s.push_back(expected.back());
  }
  EXPECT_EQ(s, expected);
}

// One design after another reuses the memory of the last statblock: a long
// statblock and then a short one, and the same form twice, come out whole.
TEST(Statblock, RunsAfterLongRunsAreWhole) {
  DesignInput big = examples::SevenMmLiquidRifle();
  big.NameEdit = std::string(100000, 'N');
  const DesignResult first = RunDesign(big);
  ASSERT_FALSE(first.error);
  EXPECT_EQ(first.lines.front(), big.NameEdit + " (TL9)");
  EXPECT_EQ(first.lines.back(), "LC 3");
  EXPECT_EQ(first.lines.size(), 41u);

  const DesignInput pistol = examples::TenMmPistol();
  const Statblock once = RunDesign(pistol).lines;
  { const DesignResult between = RunDesign(big); }
  const Statblock twice = RunDesign(pistol).lines;
  EXPECT_EQ(once, twice);
  EXPECT_EQ(once.front(), "Pistol (TL9)");
  EXPECT_EQ(once[4], "Weight: 3.21/0.51");
  EXPECT_EQ(once.back(), "LC 3");
}

// A failure inside a line leaves no part of it behind.
TEST(Statblock, ALineThatFailsLeavesNothing) {
  DesignInput in = examples::TenMmPistol();
  in.BoreSizeEdit = "1e305";  // damage in dice beyond 64 bits
  const DesignResult r = RunDesign(in);
  EXPECT_EQ(r.error, kInvalidFloatOp);
  EXPECT_EQ(r.lines, (Lines{"Pistol (TL9)"}));
  EXPECT_EQ(r.lines.Text(), "Pistol (TL9)\n");
}

// The rounded cube root of weights and the rounded logarithm of bulk, found
// by comparing with the cubes of halves and the powers of ten: on both sides
// of every boundary they agree with rounding the root or logarithm itself,
// including exact cubes of halves, where the power 1/3 at extended precision
// (a hair above a third) decides. 1.5 and 3.5 cubed round up either way,
// 0.5 cubed down.
TEST(RoundedRoots, CubeRootsOfWeights) {
  const std::pair<double, std::int64_t> cases[] = {
      {0, 0},      {0.1, 0},   {0.125, 0},     {0.13, 1},  {1, 1},
      {3.21, 1},   {3.375, 2}, {7.28, 2},      {9.42, 2},  {26.9, 3},
      {42.875, 4}, {1e6, 100}, {1030301, 101}, {2e6, 126}, {8e9, 2000},
  };
  for (auto [weight, root] : cases) EXPECT_EQ(RoundedCbrt(weight), root) << weight;
  for (int k = 0; k <= 102; ++k) {
    const double half = (2.0 * k + 1) / 2;
    double w = half * half * half;
    for (int step = 0; step < 4; ++step) w = std::nextafter(w, 0.0);
    for (int step = 0; step < 9; ++step, w = std::nextafter(w, 1e300)) {
      EXPECT_EQ(RoundedCbrt(w), RoundHalfEven(CheckedCbrt(w))) << w;
    }
    for (double f : {0.999999, 0.9999999, 1.0000001, 1.000001}) {
      EXPECT_EQ(RoundedCbrt(half * half * half * f),
                RoundHalfEven(CheckedCbrt(half * half * half * f)))
          << k << " " << f;
    }
  }
  EXPECT_THROW(RoundedCbrt(-1), DesignError);
  EXPECT_THROW(RoundedCbrt(std::nan("")), DesignError);
}

// The neighbours of a positive extended value, in either build.
ext NextUp(ext x) {
#if BRENNICK_EXT_IS_SOFT
  int e = 0;
  frexp(x, &e);  // x from 2^(e-1) to below 2^e: a step of 2^(e-64)
  return x + ldexp(ext(1), e - 64);
#else
  return std::nextafter(x, ExtInfinity());
#endif
}
ext NextDown(ext x) {
#if BRENNICK_EXT_IS_SOFT
  int e = 0;
  const ext fraction = frexp(x, &e);
  return x - ldexp(ext(1), fraction == 0.5 ? e - 65 : e - 64);
#else
  return std::nextafter(x, ext(0));
#endif
}

TEST(RoundedRoots, LogarithmsOfBulk) {
  const std::pair<ext, std::int64_t> cases[] = {
      {1, 0},           {3.16_ext, 0},  {3.17_ext, 1},  {0.3_ext, -1},
      {0.32_ext, 0},    {316.2_ext, 2}, {316.3_ext, 3}, {1e20_ext, 20},
      {1e-12_ext, -12}, {1e40_ext, 40}, {260, 2},       {7.28_ext * 4 * 260, 4},
  };
  for (auto [x, log] : cases) EXPECT_EQ(RoundedLog10(x), log) << static_cast<double>(x);
  ext half = 3.16227766016837933199889354443271853_ext * 1e-12_ext;
  for (int k = -12; k <= 32; ++k, half *= 10) {
    for (ext f : {0.999999_ext, 1.0_ext, 1.000001_ext}) {
      ext x = half * f;
      for (int step = 0; step < 3; ++step) x = NextDown(x);
      for (int step = 0; step < 7; ++step, x = NextUp(x)) {
        EXPECT_EQ(RoundedLog10(x), RoundHalfEven(CheckedLog10(x))) << k;
      }
    }
  }
  EXPECT_THROW(RoundedLog10(0), DesignError);
  EXPECT_THROW(RoundedLog10(-5), DesignError);
}

}  // namespace
}  // namespace brennick
