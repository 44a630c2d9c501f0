// Random designs for the benchmarks, made by the window's own generator on a
// fresh start form, so the benchmarks time the designs users actually get.
// Half of them come with "Only automatic" checked, half without.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/design.h"
#include "engine/random.h"
#include "form/form_model.h"
#include "form/form_state.h"

namespace brennick::bench {

// One design; `rng` chooses "Only automatic" and the seed of the click.
inline DesignInput RandomDesign(RandomSource& rng) {
  FormModel form;
  form.Set(&FormState::OnlyAuto, rng.Coin());
  // The state of the source after that draw runs through every 32-bit value.
  form.RandomButtonClick(rng.seed());
  return form.state().Input();
}

inline std::vector<DesignInput> RandomDesigns(std::size_t count, std::uint32_t seed) {
  RandomSource rng(seed);
  std::vector<DesignInput> designs;
  designs.reserve(count);
  for (std::size_t i = 0; i < count; ++i) designs.push_back(RandomDesign(rng));
  return designs;
}

}  // namespace brennick::bench
