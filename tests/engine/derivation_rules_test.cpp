// A derivation names the rule the run took, in the game's terms: the read
// that failed says what the field takes, the range names the bore its
// configuration is measured against, the cost names the RoF band its price
// per pound comes from. Each case sits on the edge between two rules, where
// a derivation naming the neighbouring rule would still read plausibly.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/design.h"
#include "tests/support/worked_designs.h"

namespace brennick {
namespace {

// The derivation of the line that begins with `label`, or of the failing
// read when `label` is empty.
Derivation DerivationOf(const DesignResult& result, std::string_view label) {
  if (label.empty()) {
    if (!result.error || result.explain.size() != result.lines.size() + 1) return {};
    return result.explain.back();
  }
  for (std::size_t i = 0; i < result.lines.size() && i < result.explain.size(); ++i) {
    if (result.lines[i].starts_with(label)) return result.explain[i];
  }
  return {};
}

bool Has(const Derivation& steps, std::string_view step) {
  return std::find(steps.begin(), steps.end(), step) != steps.end();
}

std::string Joined(const Derivation& steps) {
  std::string all;
  for (const std::string& step : steps) all += "\n  " + step;
  return all;
}

DesignInput With(DesignInput design, std::string DesignInput::*field, const char* text) {
  design.*field = text;
  return design;
}

constexpr const char* kWhole =
    "It must be a whole number (hexadecimal after $, x or 0x) between -2147483648 and "
    "2147483647.";
std::string AnyNumber(char dec) {
  return std::string("It must be a number: digits, perhaps with the decimal separator \u201c") +
         dec + "\u201d and a fraction, perhaps a sign and an exponent.";
}

TEST(DerivationRules, AFailedReadSaysWhatTheFieldTakes) {
  const struct {
    const char* what;
    DesignInput design;
    char dec;
    std::string typed;  // the field's caption and its text as the derivation quotes them
    std::string rule;
    std::string stops;
  } cases[] = {
      {"a TL with a fraction", With(examples::TenMmPistol(), &DesignInput::TLEdit, "9.5"), '.',
       "TL as typed: \u201c9.5\u201d", kWhole, "The run stops: '9.5' is not a valid integer value"},
      {"a TL of words", With(examples::SevenMmLiquidRifle(), &DesignInput::TLEdit, "nine"), ',',
       "TL as typed: \u201cnine\u201d", kWhole,
       "The run stops: 'nine' is not a valid integer value"},
      {"a Gauss RoF with a fraction",
       With(examples::FourMmGaussRifle(), &DesignInput::RoFEdit, "7.5"), '.',
       "RoF as typed: \u201c7.5\u201d", kWhole,
       "The run stops: '7.5' is not a valid integer value"},
      {"a bore of words", With(examples::TenMmPistol(), &DesignInput::BoreSizeEdit, "ten"), '.',
       "Bore Size, mm as typed: \u201cten\u201d", AnyNumber('.'),
       "The run stops: 'ten' is not a valid floating point value"},
      {"a PowerMod with the other separator",
       With(examples::TenMmPistol(), &DesignInput::PowerModEdit, "1.5"), ',',
       "PowerMod as typed: \u201c1.5\u201d", AnyNumber(','),
       "The run stops: '1.5' is not a valid floating point value"},
  };
  for (const auto& c : cases) {
    const DesignResult result = RunDesign(c.design, c.dec, Explain::Yes);
    const Derivation steps = DerivationOf(result, "");
    ASSERT_FALSE(steps.empty()) << c.what;
    EXPECT_TRUE(Has(steps, c.typed)) << c.what << Joined(steps);
    EXPECT_TRUE(Has(steps, c.rule)) << c.what << Joined(steps);
    EXPECT_EQ(steps.back(), c.stops) << c.what;
  }
}

// The range's bore factor is 375 from a bore of 6 mm for pistols and SMGs, and
// from 5.9 mm for rifles and support weapons; 250 below.
TEST(DerivationRules, TheRangeNamesTheBoreItsConfigurationIsMeasuredAgainst) {
  const struct {
    Configuration config;
    const char* bore;
    const char* step;
  } cases[] = {
      {kPistol, "5.95", "Bore factor 250 (bore below 6 mm)"},
      {kPistol, "6", "Bore factor 375 (bore at least 6 mm)"},
      {kSMG, "5.9", "Bore factor 250 (bore below 6 mm)"},
      {kSMG, "5.95", "Bore factor 250 (bore below 6 mm)"},
      {kSMG, "6", "Bore factor 375 (bore at least 6 mm)"},
      {kRifle, "5.89", "Bore factor 250 (bore below 5.9 mm)"},
      {kRifle, "5.9", "Bore factor 375 (bore at least 5.9 mm)"},
      {kSupport, "5.95", "Bore factor 375 (bore at least 5.9 mm)"},
  };
  for (const auto& c : cases) {
    DesignInput d = examples::TenMmPistol();
    d.ConfigurationBox = c.config;
    d.BoreSizeEdit = c.bore;
    const DesignResult result = RunDesign(d, '.', Explain::Yes);
    const Derivation steps = DerivationOf(result, "Range: ");
    EXPECT_TRUE(Has(steps, c.step)) << c.config << " " << c.bore << Joined(steps);
  }
}

// A 5.95 mm SMG, Medium barrel, TL 9, Fast Autoloader: range factor 0.25, TL
// factor 0.95, bore factor 250 (below 6 mm), loading factor 1. The half-damage
// range is sqrt(5.95) x 0.95 x 250 x 0.25 = 2.4393 x 59.375 = 144.83, 145
// yards, which in tens (ties to even) is 140; the maximum is 140 + 120 x 12
// (the square root of 140 is 11.83) = 1580, in hundreds 1600.
TEST(DerivationRules, AnSmgJustBelowSixMillimetresHasTheSmallerBoreFactor) {
  DesignInput d = examples::TenMmPistol();
  d.ConfigurationBox = kSMG;
  d.BoreSizeEdit = "5.95";
  const DesignResult result = RunDesign(d, '.', Explain::Yes);
  ASSERT_FALSE(result.error) << *result.error;
  const Derivation steps = DerivationOf(result, "Range: ");
  EXPECT_TRUE(Has(steps, "Range table, SMG, Medium barrel, chemical propellant: range factor 0.25"))
      << Joined(steps);
  EXPECT_TRUE(Has(steps, "Rounded to the nearest whole yard, ties to even: 145")) << Joined(steps);
  ASSERT_FALSE(steps.empty());
  EXPECT_EQ(steps.back(), "= 140/1600");
}

// The price per pound comes from the slow band at RoF 3 or less and from the
// fast band above 3: $150 and $220 for a pistol, $220 and $280 for a support
// weapon. A RoF that is no whole number is taken as 1.
TEST(DerivationRules, TheCostNamesTheRoFBandItsPriceComesFrom) {
  const struct {
    Configuration config;
    const char* rof;
    const char* step;
  } cases[] = {
      {kPistol, "1", "RoF \u201c1\u201d read as 1, 3 or less: $150 a pound for a Pistol"},
      {kPistol, "3", "RoF \u201c3\u201d read as 3, 3 or less: $150 a pound for a Pistol"},
      {kPistol, "4", "RoF \u201c4\u201d read as 4, above 3: $220 a pound for a Pistol"},
      {kPistol, "$4", "RoF \u201c$4\u201d read as 4, above 3: $220 a pound for a Pistol"},
      {kPistol, "-4", "RoF \u201c-4\u201d read as -4, 3 or less: $150 a pound for a Pistol"},
      {kPistol, "x",
       "RoF \u201cx\u201d is not a whole number: taken as 1, 3 or less: $150 a "
       "pound for a Pistol"},
      {kSMG, "3", "RoF \u201c3\u201d read as 3, 3 or less: $150 a pound for a SMG"},
      {kSMG, "4", "RoF \u201c4\u201d read as 4, above 3: $220 a pound for a SMG"},
      {kSupport, "3", "RoF \u201c3\u201d read as 3, 3 or less: $220 a pound for a Support"},
      {kSupport, "4", "RoF \u201c4\u201d read as 4, above 3: $280 a pound for a Support"},
  };
  for (const auto& c : cases) {
    DesignInput d = examples::TenMmPistol();
    d.ConfigurationBox = c.config;
    d.RoFEdit = c.rof;
    const DesignResult result = RunDesign(d, '.', Explain::Yes);
    const Derivation steps = DerivationOf(result, "Cost $");
    EXPECT_TRUE(Has(steps, c.step)) << c.config << " RoF " << c.rof << Joined(steps);
  }
}

}  // namespace
}  // namespace brennick
