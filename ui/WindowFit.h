// A window on its screen: the size it wants, bounded so that the whole
// window, title bar and borders included, lies inside the screen's available
// area (what panels and docks leave free). A window manager frames a window
// only once it is shown, so the window is fitted when made, with the frame
// it has then (none), and once more as soon as the frame is known.
#pragma once

#include <QMargins>
#include <QObject>
#include <QPoint>
#include <QSize>
#include <QTimer>
#include <functional>
#include <optional>

class QWidget;

class TWindowFit : public QObject {
 public:
  // Fits `window` to `wanted()`, at `place` inside the available area when
  // there is room (kept where it is when none is given), moved in when not.
  TWindowFit(QWidget* window, std::function<QSize()> wanted, std::optional<QPoint> place);

  // Fits the window now, with `frame` around it.
  void Fit(const QMargins& frame = {});

  // The frame and client sizes a window of `wanted` gets in `area`: the
  // client shrinks by the frame, and the frame's top left is placed at
  // `place` (inside the area) or moved in from `at`.
  struct Placement {
    QSize size;       // the client area
    QPoint position;  // the frame's top left
  };
  static Placement Place(const QRect& area, const QMargins& frame, QSize wanted, QPoint at);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Poll();

  QWidget* window_;
  std::function<QSize()> wanted_;
  std::optional<QPoint> place_;
  QTimer poll_;
  int polls_ = 0;
  bool shown_ = false;
};
