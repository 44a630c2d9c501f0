// Random designs for scripts: each line is the window's Randomize on a fresh
// form with its own seed, and reads back as exactly that design.
#include "cli/random_designs.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <initializer_list>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "engine/design.h"
#include "form/form_model.h"
#include "form/form_state.h"
#include "formats/design_object.h"
#include "tests/support/worked_designs.h"

namespace brennick::cli {
namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::vector<std::string> Generate(std::uint64_t count, std::uint32_t seed, bool onlyAutomatic,
                                  char dec = '.') {
  StringSink out;
  WriteRandomDesigns({count, seed, onlyAutomatic, dec}, out);
  return Lines(out.text);
}

DesignInput ReadOne(const std::string& line, char dec) {
  const DesignEntry entry = ReadDesignObject(line, dec);
  EXPECT_FALSE(entry.inputError) << *entry.inputError;
  return entry.input;
}

// Seed 0 with "Only automatic" ticked is the design worked out by hand.
TEST(RandomDesigns, SeedZeroIsTheDesignWorkedOutByHand) {
  const DesignInput expected = examples::SeedZeroOnlyAutomatic();
  const auto lines = Generate(1, 0, true);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(ReadOne(lines[0], '.'), expected);
  // With a comma the bore is typed 10,02, and the key says so: read on a
  // machine with a point it is the same design.
  const auto comma = Generate(1, 0, true, ',');
  EXPECT_NE(comma[0].find("\"BoreSizeEdit\": \"10,02\""), std::string::npos) << comma[0];
  EXPECT_EQ(ReadOne(comma[0], '.'), expected);
}

// Design k is the click seeded with S + k, wrapping at 2^32, so each can be
// made again alone; and it is the form's own generator on a fresh form.
TEST(RandomDesigns, EachDesignIsItsOwnSeedsClickOnAFreshForm) {
  for (const bool onlyAutomatic : {false, true}) {
    const std::uint32_t start = 0xFFFFFFFEu;
    const auto batch = Generate(5, start, onlyAutomatic);
    ASSERT_EQ(batch.size(), 5u);
    for (std::uint32_t k = 0; k < 5; ++k) {
      const std::uint32_t seed = start + k;
      EXPECT_EQ(Generate(1, seed, onlyAutomatic)[0], batch[k]) << k;
      FormModel form;
      form.Set(&FormState::OnlyAuto, onlyAutomatic);
      form.RandomButtonClick(seed);
      EXPECT_EQ(ReadOne(batch[k], '.'), form.state().Input()) << k;
    }
  }
}

// Without "Only automatic" every mechanism comes up; with it only the three
// automatic ones.
TEST(RandomDesigns, OnlyAutomaticLimitsTheMechanisms) {
  for (const bool onlyAutomatic : {false, true}) {
    std::vector<bool> seen(11);
    for (const std::string& line : Generate(400, 77, onlyAutomatic)) {
      seen.at(static_cast<std::size_t>(ReadOne(line, '.').LoadingMechanismBox)) = true;
    }
    for (int m = 0; m < 11; ++m) {
      EXPECT_EQ(seen[static_cast<std::size_t>(m)], !onlyAutomatic || m >= kLightAutomatic)
          << m << (onlyAutomatic ? " only automatic" : "");
    }
  }
}

TEST(RandomDesigns, NoDesignsWriteNothing) {
  EXPECT_TRUE(Generate(0, 1, false).empty());
}

}  // namespace
}  // namespace brennick::cli
