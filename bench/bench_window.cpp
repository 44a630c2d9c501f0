// The window's Design click: from the click to the statblock painted in the
// pane. Runs headless (offscreen) unless a display is given.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <cstdlib>

#include "Unit1.h"

namespace {

// The 7 mm Liquid Propellant Rifle, entered as a user would leave the form.
void EnterLiquidRifle(TForm1& form) {
  form.Change(form.NameEdit, QStringLiteral("LP Rifle"));
  form.Change(form.BoreSizeEdit, QStringLiteral("7"));
  form.Change(form.ConfigurationBox, brennick::kRifle);
  form.Change(form.BarrelBox, brennick::kMedium);
  form.Change(form.LoadingMechanismBox, brennick::kLightAutomatic);
  form.Change(form.PropellantBox, brennick::kLiquid);
  form.Change(form.CaselessBox, true);
  form.Change(form.ShotsEdit, QStringLiteral("30"));
}

void BM_WindowDesignClick(benchmark::State& state) {
  TForm1 form;
  form.setErrorReporter([](const QString&) {});
  EnterLiquidRifle(form);
  form.show();
  QApplication::processEvents();
  for (auto _ : state) {
    form.DesignButton->click();
    form.StatblockMemo->repaint();  // paint the new text now, not at the next event loop turn
    benchmark::DoNotOptimize(form.StatblockMemo->document()->blockCount());
  }
  state.counters["lines"] = form.StatblockMemo->document()->blockCount();
}
BENCHMARK(BM_WindowDesignClick)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  if (std::getenv("DISPLAY") == nullptr && std::getenv("QT_QPA_PLATFORM") == nullptr) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
  }
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
