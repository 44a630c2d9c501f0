// Start-up to first paint. `bench_startup brennick` builds the program's own
// windows as the program does; `bench_startup bare` a plain window with one
// button, the floor any Qt Widgets program starts from. When the first frame of
// its window is painted each prints the microseconds since BRENNICK_LAUNCH_NS (the
// wall-clock time, in nanoseconds, at which the caller started it; so loading
// the program and its libraries counts) and exits. scripts/bench.sh runs both
// in turns and compares the medians.
#include <QApplication>
#include <QEvent>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "ui/Unit1.h"
#include "ui/Unit2.h"

namespace {

// The launch time given by the caller, or else the entry into main.
std::int64_t LaunchNs() {
  if (const char* launch = std::getenv("BRENNICK_LAUNCH_NS")) return std::atoll(launch);
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}
const std::int64_t kLaunchNs = LaunchNs();

// Quits once the first frame of the watched window is painted: the first
// paint event starts the frame, and a queued call runs when every control of
// it has been painted and flushed.
class FirstPaint : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && !seen_) {
      seen_ = true;
      QMetaObject::invokeMethod(
          qApp,
          [] {
            const std::int64_t now = std::chrono::duration_cast<std::chrono::nanoseconds>(
                                         std::chrono::system_clock::now().time_since_epoch())
                                         .count();
            std::printf("%lld\n", static_cast<long long>((now - kLaunchNs) / 1000));
            std::fflush(stdout);
            QApplication::quit();
          },
          Qt::QueuedConnection);
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  bool seen_ = false;
};

}  // namespace

int main(int argc, char** argv) {
  const bool bare = argc > 1 && std::strcmp(argv[1], "bare") == 0;
  QApplication app(argc, argv);
  FirstPaint watcher;
  if (bare) {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(new QPushButton(QStringLiteral("Design")));
    window.installEventFilter(&watcher);
    window.show();
    return QApplication::exec();
  }
  TForm1 form1;
  TForm2 form2(form1);
  form1.installEventFilter(&watcher);
  form1.show();
  return QApplication::exec();
}
