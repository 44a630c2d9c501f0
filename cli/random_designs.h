// Random designs for scripts: the window's own Randomize, click after click,
// each on a fresh start form, written as design objects ready to be read back
// or saved as design files, one per design.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

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

// The name of design k's file: "random-S-K.json", or
// "random-automatic-S-K.json" with "Only automatic", where S is the seed of
// the whole run and K is k zero-padded to as many digits as the count has. So
// the name tells the command that makes the file again.
std::string RandomDesignFileName(const RandomDesigns& designs, std::uint64_t k);

// Saves every design as a design file in `folder`, named by
// RandomDesignFileName, with the bytes the window's Save writes for the form
// its Randomize leaves, each file written whole or not at all. The folder is
// made, with its parents, when it is missing. When any of the names is taken
// in the folder nothing is written. Throws DesignError with the message.
void SaveRandomDesigns(const RandomDesigns& designs, const std::filesystem::path& folder);

// A seed from a running clock, different from one run to the next.
std::uint32_t ClockSeed();

}  // namespace brennick::cli
