// The window's Design click: from the click to the statblock painted in the
// pane and the derivation panel, with usual texts and with very long ones;
// with Live Statblock on, from a change of the form to the same;
// and the armoury window reading a folder of large files, with the peak
// memory of the process (run it alone: --benchmark_filter=Armoury). Runs
// headless (offscreen) unless a display is given.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <functional>

#include "ui/Armoury.h"
#include "ui/DialogServices.h"
#include "ui/Unit1.h"

namespace {

// No box stops a run: failures are dropped.
class SilentDialogs : public TStandardDialogs {
 public:
  void ShowError(QWidget*, const QString&) override {}
  void ShowFailure(QWidget*, const QString&, const QString&) override {}
};

template <class T>
T* Control(const QObject& window, const char* name) {
  return window.findChild<T*>(QLatin1String(name));
}

// The 7 mm Liquid Propellant Rifle, entered as a user would leave the form.
void EnterLiquidRifle(TForm1& form) {
  form.Change(Control<QLineEdit>(form, "NameEdit"), QStringLiteral("LP Rifle"));
  form.Change(Control<QLineEdit>(form, "BoreSizeEdit"), QStringLiteral("7"));
  form.Change(Control<TRadioGroup>(form, "ConfigurationBox"), brennick::kRifle);
  form.Change(Control<TRadioGroup>(form, "BarrelBox"), brennick::kMedium);
  form.Change(Control<TRadioGroup>(form, "LoadingMechanismBox"), brennick::kLightAutomatic);
  form.Change(Control<TRadioGroup>(form, "PropellantBox"), brennick::kLiquid);
  form.Change(Control<QCheckBox>(form, "CaselessBox"), true);
  form.Change(Control<QLineEdit>(form, "ShotsEdit"), QStringLiteral("30"));
}

void Click(benchmark::State& state, TForm1& form) {
  auto* design = Control<QPushButton>(form, "DesignButton");
  auto* pane = Control<QPlainTextEdit>(form, "StatblockMemo");
  auto* panel = Control<QPlainTextEdit>(form, "DerivationPanel");
  form.show();
  QApplication::processEvents();
  for (auto _ : state) {
    design->click();
    pane->repaint();  // paint the new text now, not at the next event loop turn
    if (panel != nullptr) panel->repaint();
    benchmark::DoNotOptimize(pane->document()->blockCount());
  }
  state.counters["lines"] = pane->document()->blockCount();
}

void BM_WindowDesignClick(benchmark::State& state) {
  TForm1 form;
  form.setDialogs(std::make_shared<SilentDialogs>());
  EnterLiquidRifle(form);
  Click(state, form);
}
BENCHMARK(BM_WindowDesignClick)->Unit(benchmark::kMicrosecond);

// Live Statblock: from a change of the form, as the user makes it, to the
// new statblock painted in the pane and the panel. The change alternates,
// so that every one is a change: a box checked and unchecked, a number
// typed over.
void Live(benchmark::State& state, TForm1& form, const std::function<void(bool)>& change) {
  auto* pane = Control<QPlainTextEdit>(form, "StatblockMemo");
  auto* panel = Control<QPlainTextEdit>(form, "DerivationPanel");
  form.show();
  form.SetLiveStatblock(true);
  QApplication::processEvents();
  bool flip = false;
  for (auto _ : state) {
    flip = !flip;
    change(flip);
    pane->repaint();
    panel->repaint();
    benchmark::DoNotOptimize(pane->document()->blockCount());
  }
  form.SetLiveStatblock(false);
}

void BM_WindowLiveStatblockCheckBox(benchmark::State& state) {
  TForm1 form;
  form.setDialogs(std::make_shared<SilentDialogs>());
  EnterLiquidRifle(form);
  auto* bipod = Control<QCheckBox>(form, "BipodBox");
  Live(state, form, [bipod](bool) { bipod->click(); });
}
BENCHMARK(BM_WindowLiveStatblockCheckBox)->Unit(benchmark::kMicrosecond);

void BM_WindowLiveStatblockTyping(benchmark::State& state) {
  TForm1 form;
  form.setDialogs(std::make_shared<SilentDialogs>());
  EnterLiquidRifle(form);
  auto* shots = Control<QLineEdit>(form, "ShotsEdit");
  Live(state, form,
       [shots](bool flip) { shots->setText(flip ? QStringLiteral("31") : QStringLiteral("30")); });
}
BENCHMARK(BM_WindowLiveStatblockTyping)->Unit(benchmark::kMicrosecond);

// A name of `length` characters without a space, set in the form model as a
// design file's would be, past what the name field itself holds. The pane
// shows it in the statblock's first line, the derivation panel in the
// derivation of that line, where the cursor stands after Design.
brennick::FormState WithLongName(const TForm1& form, std::int64_t length) {
  brennick::FormState state = form.model().state();
  state.NameEdit.text.assign(static_cast<std::size_t>(length), 'W');
  return state;
}

void BM_WindowDesignLongName(benchmark::State& state) {
  TForm1 form;
  form.setDialogs(std::make_shared<SilentDialogs>());
  EnterLiquidRifle(form);
  form.RestoreForm(WithLongName(form, state.range(0)));
  Click(state, form);
}
BENCHMARK(BM_WindowDesignLongName)
    ->Arg(32767)
    ->Arg(100000)
    ->Arg(1 << 20)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

// The same with the derivation panel hidden: the pane's own share.
void BM_WindowDesignLongNamePaneAlone(benchmark::State& state) {
  TForm1 form;
  form.setDialogs(std::make_shared<SilentDialogs>());
  EnterLiquidRifle(form);
  form.ShowDerivations(false);
  form.RestoreForm(WithLongName(form, state.range(0)));
  Click(state, form);
}
BENCHMARK(BM_WindowDesignLongNamePaneAlone)
    ->Arg(32767)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

// The longest texts the fields hold, typed: a name and a bore of 32,767
// characters. The bore is no number, so Design stops on it and the
// derivation panel quotes it.
void BM_WindowDesignLongestTexts(benchmark::State& state) {
  TForm1 form;
  form.setDialogs(std::make_shared<SilentDialogs>());
  EnterLiquidRifle(form);
  form.Change(Control<QLineEdit>(form, "NameEdit"), QString(32767, QLatin1Char('W')));
  form.Change(Control<QLineEdit>(form, "BoreSizeEdit"), QString(32767, QLatin1Char('9')));
  Click(state, form);
}
BENCHMARK(BM_WindowDesignLongestTexts)->Unit(benchmark::kMillisecond)->Iterations(1);

// A folder of three files of 1 MiB that each hold an array of empty objects
// ("[{},{},...]"), opened in the armoury window until its table shows.
void BM_ArmouryOfThreeArrayFiles(benchmark::State& state) {
  QTemporaryDir dir;
  for (int i = 0; i < 3; ++i) {
    std::string text = "[";
    while (text.size() + 3 < (std::size_t{1} << 20)) text += "{},";
    text += "{}]";
    std::ofstream(QFile::encodeName(dir.filePath(QStringLiteral("a%1.json").arg(i))).toStdString(),
                  std::ios::binary)
        << text;
  }
  TArmouryWindow window(std::make_shared<SilentDialogs>());
  window.show();
  for (auto _ : state) {
    window.OpenFolder(dir.path(), '.');
    while (window.isReading()) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  state.counters["rows"] = window.model()->rowCount();
  state.counters["peak_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}
BENCHMARK(BM_ArmouryOfThreeArrayFiles)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
  if (std::getenv("DISPLAY") == nullptr && std::getenv("QT_QPA_PLATFORM") == nullptr) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
  }
  QApplication app(argc, argv);
  // The window's settings (Live Statblock among them) go to a folder of the
  // run's own, never to the user's.
  QTemporaryDir settings;
  QCoreApplication::setOrganizationName(QStringLiteral("BrennickBench"));
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
