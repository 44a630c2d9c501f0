// Times the design run without a benchmark library, so that the same program
// runs natively and under node (the WebAssembly build, `make bench-wasm`):
//   design_timing [ROUNDS]
// Each round designs the same 4,096 random designs (the ones bench_design
// uses) and the 10 mm pistol 4,096 times; prints the median time per design
// over the rounds, in microseconds.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ratio>
#include <vector>

#include "engine/design.h"
#include "tests/support/random_design.h"
#include "tests/support/worked_designs.h"

namespace {

using Clock = std::chrono::steady_clock;

// Microseconds per design of one round over `designs`; `lines` keeps the
// results in use.
double Round(const std::vector<brennick::DesignInput>& designs, std::size_t& lines) {
  const Clock::time_point start = Clock::now();
  for (const brennick::DesignInput& in : designs) {
    lines += brennick::RunDesign(in, '.', brennick::Explain::No).lines.size();
  }
  const std::chrono::duration<double, std::micro> spent = Clock::now() - start;
  return spent.count() / static_cast<double>(designs.size());
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
  const std::vector<brennick::DesignInput> random = brennick::bench::RandomDesigns(4096, 20261208);
  const std::vector<brennick::DesignInput> pistol(4096, brennick::examples::TenMmPistol());
  std::size_t lines = 0;
  std::vector<double> randomTimes;
  std::vector<double> pistolTimes;
  Round(random, lines);  // warm-up
  for (int r = 0; r < rounds; ++r) {
    randomTimes.push_back(Round(random, lines));
    pistolTimes.push_back(Round(pistol, lines));
  }
  std::printf("random designs: %.3f us per design (median of %d rounds of 4096)\n",
              Median(randomTimes), rounds);
  std::printf("10 mm pistol:   %.3f us per design (median of %d rounds of 4096)\n",
              Median(pistolTimes), rounds);
  return lines == 0 ? 1 : 0;
}
