// Opening an armoury of 1,000 designs: the folder read alone, as the
// armoury's worker reads it, and the armoury window from OpenFolder until
// its table is filled and painted. The designs are the ones brennick-cli
// --random 1000 --seed 20261210 --out-dir writes, made once in a folder of
// the run's own. Runs headless (offscreen) unless a display is given.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QSettings>
#include <QTableView>
#include <QTemporaryDir>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "cli/random_designs.h"
#include "files/armoury_folder.h"
#include "ui/Armoury.h"
#include "ui/DialogServices.h"

namespace {

constexpr int kDesigns = 1000;
constexpr std::uint32_t kSeed = 20261210;

// No box stops a run: failures are dropped.
class SilentDialogs : public TStandardDialogs {
 public:
  void ShowError(QWidget*, const QString&) override {}
  void ShowFailure(QWidget*, const QString&, const QString&) override {}
};

// The folder of the 1,000 designs, written on first use and removed with
// the program.
const QString& ArmouryFolder() {
  static QTemporaryDir dir;
  static const bool written = [] {
    brennick::cli::RandomDesigns designs;
    designs.count = kDesigns;
    designs.seed = kSeed;
    brennick::cli::SaveRandomDesigns(
        designs, std::filesystem::path(QFile::encodeName(dir.path()).toStdString()));
    return true;
  }();
  static_cast<void>(written);
  static const QString path = dir.path();
  return path;
}

std::filesystem::path FolderPath() {
  return {QFile::encodeName(ArmouryFolder()).toStdString()};
}

// The files listed, read and run, one after another: the worker's share.
void BM_ReadArmouryOf1000(benchmark::State& state) {
  const std::filesystem::path folder = FolderPath();
  for (auto _ : state) {
    const auto rows = brennick::ReadArmoury(folder, '.');
    benchmark::DoNotOptimize(rows.data());
  }
}
BENCHMARK(BM_ReadArmouryOf1000)->Unit(benchmark::kMillisecond)->UseRealTime();

// The window: from OpenFolder until the table shows every row, painted.
// Each iteration opens the folder again in a window already shown, as a
// second Open Folder does; the first opening's window is made outside the
// timing.
void BM_ArmouryWindowOpen1000(benchmark::State& state) {
  const QString folder = ArmouryFolder();
  TArmouryWindow window(std::make_shared<SilentDialogs>());
  window.resize(1200, 700);
  window.show();
  QApplication::processEvents();
  for (auto _ : state) {
    window.OpenFolder(folder, '.');
    while (window.isReading()) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    window.table()->viewport()->repaint();
    benchmark::DoNotOptimize(window.model()->rowCount());
  }
  state.counters["rows"] = window.model()->rowCount();
}
BENCHMARK(BM_ArmouryWindowOpen1000)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same in a new window each time, sorted by damage as a user may keep
// it: the window made and shown, the folder read, the table sorted and
// painted.
void BM_ArmouryNewWindowSortedOpen1000(benchmark::State& state) {
  const QString folder = ArmouryFolder();
  for (auto _ : state) {
    TArmouryWindow window(std::make_shared<SilentDialogs>());
    window.resize(1200, 700);
    window.show();
    window.table()->sortByColumn(brennick::kColDamage, Qt::DescendingOrder);
    window.OpenFolder(folder, '.');
    while (window.isReading()) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    window.table()->viewport()->repaint();
    benchmark::DoNotOptimize(window.model()->rowCount());
  }
}
BENCHMARK(BM_ArmouryNewWindowSortedOpen1000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  if (std::getenv("DISPLAY") == nullptr && std::getenv("QT_QPA_PLATFORM") == nullptr) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
  }
  QApplication app(argc, argv);
  // The window's settings go to a folder of the run's own, never to the
  // user's.
  QTemporaryDir settings;
  QCoreApplication::setOrganizationName(QStringLiteral("BrennickBench"));
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
