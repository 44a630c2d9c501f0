// Derivations of statblock lines: one per line, each ending in the line's
// figures, with the steps of the worked designs and the reasons for figures
// that are 0 or lines that are missing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/design.h"
#include "tests/support/random_design.h"
#include "tests/support/worked_designs.h"

namespace brennick {
namespace {

bool HasDigit(std::string_view text) {
  return std::any_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The rule every derivation keeps: its last step is "= " and a tail of its
// line that holds every figure of the line (nothing before the tail has a
// digit). The tail is empty only where the line prints no figure (a label
// followed by an empty text as typed, or an empty line).
::testing::AssertionResult EndsInFigures(std::string_view line, const Derivation& steps) {
  if (steps.empty()) return ::testing::AssertionFailure() << "no steps for '" << line << "'";
  const std::string& last = steps.back();
  if (last.rfind("= ", 0) != 0) {
    return ::testing::AssertionFailure() << "last step '" << last << "' of '" << line << "'";
  }
  const std::string_view figures = std::string_view(last).substr(2);
  if (figures.size() > line.size() || !line.ends_with(figures) ||
      HasDigit(line.substr(0, line.size() - figures.size()))) {
    return ::testing::AssertionFailure()
           << "'" << last << "' is not the figures of '" << line << "'";
  }
  return ::testing::AssertionSuccess();
}

bool Contains(const Derivation& steps, std::string_view text) {
  return std::any_of(steps.begin(), steps.end(),
                     [&](const std::string& s) { return s.find(text) != std::string::npos; });
}

// The derivation of the first line that starts with `label`.
const Derivation* StepsOf(const DesignResult& r, std::string_view label) {
  for (std::size_t i = 0; i < r.lines.size(); ++i) {
    if (r.lines[i].starts_with(label)) return &r.explain.at(i);
  }
  return nullptr;
}

TEST(Explain, EveryLineOfRandomDesignsHasADerivationEndingInItsFigures) {
  std::vector<DesignInput> designs = bench::RandomDesigns(600, 20261209);
  // Some with texts the run cannot read, or reads with defaults.
  const char* texts[] = {"", "x", "1e400", "-3", "0", "2.5", "$1F", " 7 "};
  for (std::size_t i = 0; i < 200; ++i) {
    DesignInput in = designs[i];
    const char* t = texts[i % std::size(texts)];
    switch (i % 5) {
      case 0:
        in.BoreSizeEdit = t;
        break;
      case 1:
        in.TLEdit = t;
        break;
      case 2:
        in.PowerModEdit = t;
        break;
      case 3:
        in.RoFEdit = t;
        in.ShotsEdit = t;
        break;
      default:
        in.BarrelsEdit = t;
        in.ChambersEdit = t;
        in.ArbWeight = t;
        break;
    }
    designs.push_back(in);
  }
  std::size_t failed = 0;
  for (const DesignInput& in : designs) {
    for (char dec : {'.', ','}) {
      const DesignResult r = RunDesign(in, dec, Explain::Yes);
      const DesignResult plain = RunDesign(in, dec);
      ASSERT_EQ(r.lines, plain.lines);
      ASSERT_EQ(r.error, plain.error);
      EXPECT_TRUE(plain.explain.empty());
      ASSERT_EQ(r.explain.size(), r.lines.size() + (r.error ? 1 : 0));
      for (std::size_t i = 0; i < r.lines.size(); ++i) {
        ASSERT_TRUE(EndsInFigures(r.lines[i], r.explain[i])) << "line " << i;
      }
      if (r.error) {
        ++failed;
        ASSERT_FALSE(r.explain.back().empty());
        EXPECT_EQ(r.explain.back().back(), "The run stops: " + *r.error);
      }
    }
  }
  EXPECT_GT(failed, 50u);  // the failing reads were exercised
}

TEST(Explain, NoCodeWordsInTheSteps) {
  for (const DesignInput& in : bench::RandomDesigns(200, 7)) {
    for (const Derivation& steps : RunDesign(in, '.', Explain::Yes).explain) {
      for (const std::string& step : steps) {
        for (const char* word : {"BoreMm", "DamageDice", "WeightLb", "Wrap32", "ext(", "Dice{",
                                 "Factor", "Box", "Edit"}) {
          EXPECT_EQ(step.find(word), std::string::npos) << step;
        }
      }
    }
  }
}

struct WorkedSteps {
  const char* name;
  DesignInput input;
  const char* label;
  std::vector<const char*> steps;  // each found in some step of the line's derivation
};

TEST(Explain, WorkedDesignsShowTheirKeySteps) {
  const WorkedSteps cases[] = {
      {"pistol damage",
       examples::TenMmPistol(),
       "Damage: ",
       {"Pistol, Medium barrel, chemical propellant: barrel factor 0.33",
        "10 x 0.33 x 1 x 1 x 1 = 3.3", "adds +1", "= 3d+1 pi+"}},
      {"pistol range",
       examples::TenMmPistol(),
       "Range: ",
       {"x 0.95 x 375 x 1 x 0.25 x 1 = 281.64", ": 282", "282 -> 280", "120 x",
        "rounded 17) = 2320", "2320 -> 2300", "= 280/2300"}},
      {"pistol weight",
       examples::TenMmPistol(),
       "Weight: ",
       {"configuration factor 0.085", "TL factor 1.2", "half its bore, 5 mm",
        "bore class factor 0.25", "= 2.55", "rounded to hundredths: 2.95", "weight per shot 0.013",
        "20 x 0.013", "3.21", "0.51", "= 3.21/0.51"}},
      {"pistol cost",
       examples::TenMmPistol(),
       "Cost ",
       {"$150 a pound", "weight multiplier 1", "150 x 3.21 x 1", ": 481", "iron sights $50",
        "HUD Link $250", "Recognition Grip $100", "$881", "= $881"}},
      {"rifle damage",
       examples::SevenMmLiquidRifle(),
       "Damage: ",
       {"barrel factor 0.84", "7 x 0.84 x 1 x 1 x 1 = 5.88", "one more die", "= 6d pi"}},
      {"rifle boosted damage",
       examples::SevenMmLiquidRifle(),
       "-Boosted Velocity: 7",
       {"5.88 x 1.25 = 7.35", "7d+1"}},
      {"rifle range",
       examples::SevenMmLiquidRifle(),
       "Range: ",
       {"= 640.93", ": 641", "641 -> 640", "rounded 25) = 3640", "3640 -> 3600", "= 640/3600"}},
      {"rifle weight",
       examples::SevenMmLiquidRifle(),
       "Weight: ",
       {"rounded to hundredths: 6.92", "= 0.01225", "x 0.5", "weight per shot 0.006",
        "as much again", "7.28", "= 7.28/0.5"}},
      {"gauss damage",
       examples::FourMmGaussRifle(),
       "Damage: ",
       {"Rifle, Long barrel, Gauss: barrel factor 1.72", "= 6.88", "(3)", "= 7d (3) pi-"}},
      {"gauss range",
       examples::FourMmGaussRifle(),
       "Range: ",
       {"2 x 0.95 x 250 x 1 x 2.7 x 1", "1283", "a hair above the half", "1283 -> 1300", "70 x",
        "rounded 36) = 3820", "= 1300/3800"}},
      {"gauss accuracy",
       examples::FourMmGaussRifle(),
       "Acc: ",
       {"Base accuracy of a Rifle: 5", "Bore below 7 mm: -1 = 4", "Long barrel: +1 = 5", "= 5"}},
  };
  for (const WorkedSteps& c : cases) {
    SCOPED_TRACE(c.name);
    const DesignResult r = RunDesign(c.input, '.', Explain::Yes);
    const Derivation* steps = StepsOf(r, c.label);
    ASSERT_NE(steps, nullptr);
    for (const char* step : c.steps) EXPECT_TRUE(Contains(*steps, step)) << step;
  }
}

TEST(Explain, NumbersUseTheRunsDecimalSeparator) {
  DesignInput in = examples::TenMmPistol();
  const DesignResult r = RunDesign(in, ',', Explain::Yes);
  const Derivation* weight = StepsOf(r, "Weight: ");
  ASSERT_NE(weight, nullptr);
  EXPECT_TRUE(Contains(*weight, "0,013"));
  EXPECT_EQ(weight->back(), "= 3,21/0,51");
}

struct ZeroCase {
  const char* name;
  DesignInput input;
  const char* label;
  const char* why;
};

DesignInput With(DesignInput in, void (*change)(DesignInput&)) {
  change(in);
  return in;
}

TEST(Explain, ZeroFiguresAndMissingLinesSayWhy) {
  const DesignInput pistol = examples::TenMmPistol();
  const ZeroCase cases[] = {
      {"cannon range", With(pistol, [](DesignInput& in) { in.ConfigurationBox = kCannon; }),
       "Range: ", "A Cannon has no range table"},
      {"cannon strength", With(pistol, [](DesignInput& in) { in.ConfigurationBox = kCannon; }),
       "ST ", "A Cannon has no strength table"},
      {"cannon damage", With(pistol, [](DesignInput& in) { in.ConfigurationBox = kCannon; }),
       "Damage: ", "A Cannon has no damage table"},
      {"cannon cost", With(pistol, [](DesignInput& in) { in.ConfigurationBox = kCannon; }), "Cost ",
       "A Cannon has no price per pound"},
      {"no barrel damage", With(pistol, [](DesignInput& in) { in.BarrelBox = -1; }),
       "Damage: ", "No barrel length selected: barrel factor 0"},
      {"no barrel range", With(pistol, [](DesignInput& in) { in.BarrelBox = -1; }),
       "Range: ", "No barrel length selected: range factor 0"},
      {"no barrel weight", With(pistol, [](DesignInput& in) { in.BarrelBox = -1; }),
       "Weight: ", "No barrel length selected"},
      {"TL 13 damage", With(pistol, [](DesignInput& in) { in.TLEdit = "13"; }),
       "Damage: ", "TL factor 0 (TL outside the tables, 0 to 12)"},
      {"TL 13 range", With(pistol, [](DesignInput& in) { in.TLEdit = "13"; }),
       "Range: ", "TL outside the tables"},
      {"TL 13 malfunction", With(pistol, [](DesignInput& in) { in.TLEdit = "13"; }), "Malf ",
       "base malfunction number 0 (TL outside the tables"},
      {"shots default", With(pistol, [](DesignInput& in) { in.ShotsEdit = "many"; }),
       "Weight: ", "Shots \u201cmany\u201d is not a whole number: taken as 1"},
  };
  for (const ZeroCase& c : cases) {
    SCOPED_TRACE(c.name);
    const DesignResult r = RunDesign(c.input, '.', Explain::Yes);
    const Derivation* steps = StepsOf(r, c.label);
    ASSERT_NE(steps, nullptr);
    EXPECT_TRUE(Contains(*steps, c.why));
  }
  // No configuration: the strength line is empty, and says why.
  DesignInput bare;
  bare.BoreSizeEdit = "10";
  const DesignResult r = RunDesign(bare, '.', Explain::Yes);
  ASSERT_FALSE(r.error);
  bool found = false;
  for (std::size_t i = 0; i < r.lines.size(); ++i) {
    if (r.lines[i].empty()) found = found || Contains(r.explain[i], "No configuration selected");
  }
  EXPECT_TRUE(found);
}

struct FailCase {
  const char* name;
  DesignInput input;
  const char* rule;   // "The <rule> reads <field>."
  const char* typed;  // "<field> as typed: “...”"
};

TEST(Explain, AFailingReadNamesItsFieldAndRule) {
  const DesignInput pistol = examples::TenMmPistol();
  const FailCase cases[] = {
      {"empty bore", With(pistol, [](DesignInput& in) { in.BoreSizeEdit = ""; }),
       "The damage reads Bore Size, mm.", "Bore Size, mm as typed: \u201c\u201d"},
      {"power", With(pistol, [](DesignInput& in) { in.PowerModEdit = "lots"; }),
       "The damage reads PowerMod.", "PowerMod as typed: \u201clots\u201d"},
      {"TL on a pistol", With(pistol, [](DesignInput& in) { in.TLEdit = "9.5"; }),
       "The damage reads TL.", "TL as typed: \u201c9.5\u201d"},
      {"TL on a cannon",
       With(pistol,
            [](DesignInput& in) {
              in.TLEdit = "x";
              in.ConfigurationBox = kCannon;
            }),
       "The malfunction and cost reads TL.", "TL as typed: \u201cx\u201d"},
      {"Gauss RoF",
       With(examples::FourMmGaussRifle(), [](DesignInput& in) { in.RoFEdit = "fast"; }),
       "The rate of fire reads RoF.", "RoF as typed: \u201cfast\u201d"},
      // Not a read, but a figure the rules cannot take: the rule is named.
      {"KYOS of a cannon",
       With(pistol,
            [](DesignInput& in) {
              in.ConfigurationBox = kCannon;
              in.KYOSBox = true;
            }),
       "While working out the strength, bulk and recoil", "its logarithm"},
  };
  for (const FailCase& c : cases) {
    SCOPED_TRACE(c.name);
    const DesignResult r = RunDesign(c.input, '.', Explain::Yes);
    ASSERT_TRUE(r.error);
    ASSERT_EQ(r.explain.size(), r.lines.size() + 1);
    const Derivation& failure = r.explain.back();
    EXPECT_TRUE(Contains(failure, c.rule));
    EXPECT_TRUE(Contains(failure, c.typed));
    EXPECT_EQ(failure.back(), "The run stops: " + *r.error);
  }
}

}  // namespace
}  // namespace brennick
