// Durability: how much punishment the weapon itself can take.
#include "internal/run.h"

namespace brennick {
namespace {

struct Toughness {
  std::int32_t ht;
  std::int32_t dr;
};

// Under the house rule, better materials make higher-TL guns tougher.
Toughness HouseRuleToughness(std::int32_t tl) {
  if (tl >= 0 && tl <= 9) return {10, 6};
  if (tl == 10) return {11, 9};
  if (tl == 11) return {11, 14};
  if (tl == 12) return {12, 20};
  return {0, 0};  // beyond the table
}

}  // namespace

void RunDurabilityStage(DesignRun& r) {
  const DesignInput& in = r.in;

  // Hit points grow with the cube root of the weight, as for any object.
  const std::int32_t root = Wrap32(RoundedCbrt(r.q.LoadedWeightLb));
  const std::int32_t hp = Wrap32(std::int64_t{4} * root);

  Toughness t{10, 4};
  if (in.HouseDRBox) t = HouseRuleToughness(r.StrictTL());
  if (in.RuggedBox) {
    t.ht += 2;
    t.dr *= 2;
  }

  r.Line("HP: ", hp);
  r.Line("HT: ", t.ht);
  r.Line("DR: ", t.dr);
}

}  // namespace brennick
