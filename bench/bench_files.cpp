// Benchmarks of design files: saving and opening one design, its text alone
// written and read, and reading an armoury of 1,000 designs into its table,
// as the window does.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "engine/random.h"
#include "files/armoury_folder.h"
#include "files/design_file.h"
#include "form/form_member.h"
#include "form/form_state.h"
#include "formats/design_file_format.h"
#include "tests/support/random_design.h"

namespace {

namespace fs = std::filesystem;

// A folder of its own, removed at the end.
struct Folder {
  fs::path path = fs::temp_directory_path() / ("brennick_bench_" + std::to_string(::getpid()));
  Folder() { fs::create_directories(path); }
  ~Folder() { fs::remove_all(path); }
};

void BM_SaveAndOpenOneDesign(benchmark::State& state) {
  Folder folder;
  brennick::RandomSource rng(7);
  const brennick::FormState form = brennick::FormOfDesign(brennick::bench::RandomDesign(rng));
  const fs::path file = folder.path / "design.json";
  for (auto _ : state) {
    brennick::SaveDesignFile(file, form, '.');
    benchmark::DoNotOptimize(brennick::LoadDesignFile(file, '.'));
  }
}
BENCHMARK(BM_SaveAndOpenOneDesign)->Unit(benchmark::kMicrosecond);

// A design file's text alone, written and read back, without the disk.
void BM_DesignFileTextRoundTrip(benchmark::State& state) {
  brennick::RandomSource rng(7);
  const brennick::FormState form = brennick::FormOfDesign(brennick::bench::RandomDesign(rng));
  for (auto _ : state) {
    const std::string text = brennick::DesignFileText(form, '.');
    benchmark::DoNotOptimize(brennick::ReadDesignFileText(text, '.'));
  }
}
BENCHMARK(BM_DesignFileTextRoundTrip)->Unit(benchmark::kMicrosecond);

void BM_OpenArmouryOf1000(benchmark::State& state) {
  Folder folder;
  brennick::RandomSource rng(20261208);
  for (int i = 0; i < 1000; ++i) {
    brennick::SaveDesignFile(folder.path / ("design" + std::to_string(i) + ".json"),
                             brennick::FormOfDesign(brennick::bench::RandomDesign(rng)), '.');
  }
  for (auto _ : state) {
    const auto rows = brennick::ReadArmoury(folder.path, '.');
    benchmark::DoNotOptimize(rows.data());
  }
}
BENCHMARK(BM_OpenArmouryOf1000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
