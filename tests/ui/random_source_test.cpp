// The generator's random source: seed = seed x 134775813 + 1 (mod 2^32), and
// a draw from n values is the high half of the 64-bit product seed x n.
#include <gtest/gtest.h>

#include <vector>

#include "random.h"

namespace {

using brennick::RandomSource;

// Seeds worked out from the formula:
//   from 0: 1, 134775814, 3698175007, 870078620
//   from 1: 134775814, 3698175007, 870078620
// A coin is 1 exactly when the seed is 2^31 or more; a draw from 8..10 is
// 8 + floor(seed x 3 / 2^32): 3698175007 x 3 = 11094525021 = 2.58 x 2^32.
TEST(RandomSource, FixedSeedsGiveKnownSequences) {
  struct Row {
    std::uint32_t seed;
    std::vector<bool> coins;
    std::vector<int> eightToTen;
    std::vector<std::uint32_t> seeds;
  };
  for (const Row& row :
       {Row{0, {false, false, true}, {8, 8, 10}, {1, 134775814, 3698175007u}},
        Row{1, {false, true, false}, {8, 10, 8}, {134775814, 3698175007u, 870078620}}}) {
    RandomSource coins(row.seed);
    RandomSource range(row.seed);
    for (std::size_t i = 0; i < 3; ++i) {
      EXPECT_EQ(coins.Coin(), row.coins[i]) << "seed " << row.seed << " draw " << i;
      EXPECT_EQ(coins.seed(), row.seeds[i]);
      EXPECT_EQ(range.Between(8, 10), row.eightToTen[i]) << "seed " << row.seed << " draw " << i;
    }
  }
}

TEST(RandomSource, SeedWrapsAndDrawsStayInRange) {
  // (2^32 - 1) x 134775813 + 1 = -134775812 = 4160191484 (mod 2^32).
  RandomSource source(0xFFFFFFFFu);
  EXPECT_EQ(source.Next(1000), 968u);  // 4160191484 x 1000 / 2^32 = 968.6
  EXPECT_EQ(source.seed(), 4160191484u);

  source.Seed(12345);
  for (int i = 0; i < 1000; ++i) {
    const int value = source.Between(100, 1999);
    EXPECT_GE(value, 100);
    EXPECT_LE(value, 1999);
  }
}

}  // namespace
