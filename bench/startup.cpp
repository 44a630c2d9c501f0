// Start-up to first paint. `bench_startup brennick` builds the program's own
// windows as the program does; `bench_startup bare` a plain window with one
// button, the floor any Qt Widgets program starts from. Each prints the time
// from entering main to the first paint of its window in microseconds, then
// exits; scripts/bench.sh runs both in turns and compares whole-process times.
#include <QApplication>
#include <QEvent>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>

#include "Unit1.h"
#include "Unit2.h"

namespace {

const auto kStart = std::chrono::steady_clock::now();

// Quits at the first paint of the watched window.
class FirstPaint : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && !seen_) {
      seen_ = true;
      const auto us = std::chrono::duration_cast<std::chrono::microseconds>(
                          std::chrono::steady_clock::now() - kStart)
                          .count();
      std::printf("%lld\n", static_cast<long long>(us));
      QMetaObject::invokeMethod(qApp, &QApplication::quit, Qt::QueuedConnection);
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
