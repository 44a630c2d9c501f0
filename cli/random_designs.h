// Random designs for scripts: the window's own Randomize, click after click,
// each on a fresh start form, written as design objects ready to be read back.
#pragma once

#include <cstdint>

#include "cli/batch.h"

namespace brennick::cli {

struct RandomDesigns {
  std::uint64_t count = 0;
  // Design k (from 0) is the click seeded with seed + k, modulo 2^32, so one
  // design can be made again alone with its own seed.
  std::uint32_t seed = 0;
  bool onlyAutomatic = false;   // "Only automatic" ticked on the form
  char decimalSeparator = '.';  // the bore is typed with it, and the key says so
};

// Writes the designs as JSON Lines, in large pieces.
void WriteRandomDesigns(const RandomDesigns& designs, Sink& out);

// A seed from a running clock, different from one run to the next.
std::uint32_t ClockSeed();

}  // namespace brennick::cli
