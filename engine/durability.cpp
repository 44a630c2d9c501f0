// Durability: how much punishment the weapon itself can take.
#include <cstdint>
#include <string>
#include <utility>

#include "engine/internal/run.h"

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

[[gnu::cold, gnu::noinline]] void ExplainToughness(DesignRun& r, bool ht) {
  const DesignInput& in = r.in;
  Derivation d;
  if (in.HouseDRBox) {
    const Toughness t = HouseRuleToughness(r.LenientTL());
    d.push_back("Houseruled DR and HT, " + r.TLRead() + ": " + (ht ? "HT " : "DR ") +
                IntText(ht ? t.ht : t.dr) + (t.ht == 0 ? " (TL outside the table, 0 to 12)" : ""));
  } else {
    d.push_back(ht ? "A gun's HT: 10" : "A gun's DR: 4");
  }
  if (in.RuggedBox) d.push_back(ht ? "Rugged: +2" : "Rugged: x 2");
  r.Explained(std::move(d), 4);
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
  if (r.explain) [[unlikely]] {
    ExplainLine(r, 4, [&] {
      return Derivation{"Loaded weight " + r.Num(r.q.LoadedWeightLb) + " lb: cube root " +
                            r.Num(CheckedCbrt(r.q.LoadedWeightLb)) +
                            ", rounded, ties to even: " + IntText(root),
                        "Hit points = 4 x " + IntText(root)};
    });
  }
  r.Line("HT: ", t.ht);
  if (r.explain) [[unlikely]]
    ExplainToughness(r, true);
  r.Line("DR: ", t.dr);
  if (r.explain) [[unlikely]]
    ExplainToughness(r, false);
}

}  // namespace brennick
