// The random source of the design generator: a 32-bit linear congruential
// generator, so that a given seed always yields the same design.
#pragma once

#include <cstdint>

namespace brennick {

class RandomSource {
 public:
  explicit RandomSource(std::uint32_t seed = 0) : seed_(seed) {}

  void Seed(std::uint32_t seed) { seed_ = seed; }
  std::uint32_t seed() const { return seed_; }

  // One draw: advances the seed, then scales it to 0 .. n-1.
  std::uint32_t Next(std::uint32_t n) {
    seed_ = seed_ * 134775813u + 1u;
    return static_cast<std::uint32_t>((std::uint64_t{seed_} * n) >> 32);
  }
  // A draw from a to b inclusive.
  int Between(int a, int b) {
    return a + static_cast<int>(Next(static_cast<std::uint32_t>(b - a + 1)));
  }
  // A coin: true means checked.
  bool Coin() { return Next(2) == 1; }

 private:
  std::uint32_t seed_;
};

}  // namespace brennick
