// Hit points, health and damage resistance of the weapon itself.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "engine/design.h"
#include "engine/design_error.h"
#include "engine/internal/run.h"

namespace brennick {
namespace {

struct Outcome {
  Statblock lines;
  std::optional<std::string> error;
};

Outcome RunDurability(const DesignInput& in, double loadedLb) {
  Outcome out;
  DesignRun r{in, '.', {}, out.lines};
  r.q.LoadedWeightLb = loadedLb;
  try {
    RunDurabilityStage(r);
  } catch (const DesignError& e) {
    out.error = e.what();
  }
  return out;
}

TEST(Durability, HitPointsFromTheCubeRootOfTheLoadedWeight) {
  struct Case {
    double loadedLb;
    const char* hp;
  };
  // The cube roots: 0, 1.475, 1.938, 2, 2.112, 2.154, 3.107 and 10. The last
  // weight is exactly 41286.5 cubed: the power 1/3, with a third held at
  // extended precision (a hair above it), lands just above the half and
  // rounds up, where an exact cube root would round to even.
  const Case cases[] = {{0, "HP: 0"},   {3.21, "HP: 4"},  {7.28, "HP: 8"},
                        {8, "HP: 8"},   {9.42, "HP: 8"},  {10, "HP: 8"},
                        {30, "HP: 12"}, {1000, "HP: 40"}, {70375939133314.625, "HP: 165148"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.loadedLb);
    const Outcome out = RunDurability(DesignInput{}, c.loadedLb);
    ASSERT_FALSE(out.error);
    EXPECT_EQ(out.lines, (Statblock{c.hp, "HT: 10", "DR: 4"}));
  }
}

TEST(Durability, HealthAndDamageResistance) {
  struct Case {
    const char* tl;
    bool houseRule;
    bool rugged;
    const char* ht;
    const char* dr;
  };
  const Case cases[] = {
      {"9", false, false, "HT: 10", "DR: 4"},        {"9", false, true, "HT: 12", "DR: 8"},
      {"not a TL", false, false, "HT: 10", "DR: 4"},  // TL is not read without the house rule
      {"0", true, false, "HT: 10", "DR: 6"},         {"9", true, false, "HT: 10", "DR: 6"},
      {"10", true, false, "HT: 11", "DR: 9"},        {"11", true, false, "HT: 11", "DR: 14"},
      {"11", true, true, "HT: 13", "DR: 28"},        {"12", true, false, "HT: 12", "DR: 20"},
      {"13", true, false, "HT: 0", "DR: 0"},         {"13", true, true, "HT: 2", "DR: 0"},
      {"-1", true, false, "HT: 0", "DR: 0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("TL ") + c.tl + (c.houseRule ? " house" : "") +
                 (c.rugged ? " rugged" : ""));
    DesignInput in;
    in.TLEdit = c.tl;
    in.HouseDRBox = c.houseRule;
    in.RuggedBox = c.rugged;
    const Outcome out = RunDurability(in, 8);
    ASSERT_FALSE(out.error);
    EXPECT_EQ(out.lines, (Statblock{"HP: 8", c.ht, c.dr}));
  }
}

TEST(Durability, FailuresAppendNothing) {
  Outcome out = RunDurability(DesignInput{}, -1);
  EXPECT_EQ(out.error, kInvalidFloatOp);
  EXPECT_TRUE(out.lines.empty());

  DesignInput in;
  in.TLEdit = "IX";
  in.HouseDRBox = true;
  out = RunDurability(in, 8);
  EXPECT_EQ(out.error, "'IX' is not a valid integer value");
  EXPECT_TRUE(out.lines.empty());
}

TEST(Durability, NegativeWeightStopsAfterTheCostLine) {
  DesignInput in;
  in.ConfigurationBox = kPistol;
  Statblock lines;
  DesignRun r{in, '.', {}, lines};
  r.q.LoadedWeightLb = -2.5;
  EXPECT_THROW(
      {
        RunCostStage(r);
        RunDurabilityStage(r);
      },
      DesignError);
  // -375 for the gun, then +400 for sights, HUD link and grip.
  EXPECT_EQ(lines, (Statblock{"Malf 18", "Cost $25"}));
}

}  // namespace
}  // namespace brennick
