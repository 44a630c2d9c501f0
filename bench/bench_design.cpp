// Benchmarks of the design run: the three worked designs and a spread of
// random designs. Run with `make bench`, which reports medians of repeated
// runs.
#include <benchmark/benchmark.h>

#include <cstddef>
#include <map>
#include <optional>
#include <vector>

#include "engine/design.h"
#include "tests/support/random_design.h"
#include "tests/support/worked_designs.h"

namespace {

using brennick::DesignInput;

void RunOne(benchmark::State& state, const DesignInput& in,
            brennick::Explain explain = brennick::Explain::No) {
  std::size_t lines = 0;
  for (auto _ : state) {
    brennick::DesignResult result = brennick::RunDesign(in, '.', explain);
    lines = result.lines.size();
    benchmark::DoNotOptimize(result);
  }
  state.counters["lines"] = static_cast<double>(lines);
  state.SetItemsProcessed(state.iterations());
}

void BM_DesignWorkedPistol(benchmark::State& state) {
  RunOne(state, brennick::examples::TenMmPistol());
}
void BM_DesignWorkedRifle(benchmark::State& state) {
  RunOne(state, brennick::examples::SevenMmLiquidRifle());
}
void BM_DesignWorkedGauss(benchmark::State& state) {
  RunOne(state, brennick::examples::FourMmGaussRifle());
}

// One design per iteration, cycling through a fixed set of random designs, so
// the time is the mean over the set.
void RandomDesigns(benchmark::State& state, brennick::Explain explain) {
  static const std::vector<DesignInput> designs = brennick::bench::RandomDesigns(4096, 20261208);
  std::size_t i = 0;
  std::size_t failed = 0;
  for (auto _ : state) {
    brennick::DesignResult result = brennick::RunDesign(designs[i], '.', explain);
    failed += result.error.has_value();
    benchmark::DoNotOptimize(result);
    if (++i == designs.size()) i = 0;
  }
  state.counters["failed"] =
      benchmark::Counter(static_cast<double>(failed), benchmark::Counter::kAvgIterations);
  state.SetItemsProcessed(state.iterations());
}

void BM_DesignRandom(benchmark::State& state) {
  RandomDesigns(state, brennick::Explain::No);
}

// The same runs with every line's derivation.
void BM_DesignWorkedPistolExplained(benchmark::State& state) {
  RunOne(state, brennick::examples::TenMmPistol(), brennick::Explain::Yes);
}
void BM_DesignRandomExplained(benchmark::State& state) {
  RandomDesigns(state, brennick::Explain::Yes);
}

}  // namespace

BENCHMARK(BM_DesignWorkedPistol);
BENCHMARK(BM_DesignWorkedRifle);
BENCHMARK(BM_DesignWorkedGauss);
BENCHMARK(BM_DesignRandom);
BENCHMARK(BM_DesignWorkedPistolExplained);
BENCHMARK(BM_DesignRandomExplained);

BENCHMARK_MAIN();
