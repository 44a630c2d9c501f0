// Fitting a window and its frame inside the screen's available area.
#include "ui/WindowFit.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace {

// How often, and how long, to look for the frame after the first show: a
// window manager frames a window within a few event loop turns; without one
// there is never a frame.
constexpr int kPollMs = 20;
constexpr int kPolls = 100;

}  // namespace

TWindowFit::TWindowFit(QWidget* window, std::function<QSize()> wanted, std::optional<QPoint> place)
    : QObject(window), window_(window), wanted_(std::move(wanted)), place_(place) {
  poll_.setInterval(kPollMs);
  connect(&poll_, &QTimer::timeout, this, &TWindowFit::Poll);
  window_->installEventFilter(this);
  Fit();
}

TWindowFit::Placement TWindowFit::Place(const QRect& area, const QMargins& frame, QSize wanted,
                                        QPoint at) {
  const QSize border(frame.left() + frame.right(), frame.top() + frame.bottom());
  const QSize size = wanted.boundedTo(area.size() - border).expandedTo(QSize(1, 1));
  const QSize whole = size + border;
  // The frame's top left, moved in so that the whole frame lies inside.
  const int x =
      std::clamp(at.x(), area.left(), std::max(area.right() + 1 - whole.width(), area.left()));
  const int y =
      std::clamp(at.y(), area.top(), std::max(area.bottom() + 1 - whole.height(), area.top()));
  return {size, QPoint(x, y)};
}

void TWindowFit::Fit(const QMargins& frame) {
  window_->ensurePolished();
  const QScreen* screen = window_->screen() ? window_->screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr) {
    window_->resize(wanted_());
    return;
  }
  const QRect area = screen->availableGeometry();
  const QPoint at = place_ ? area.topLeft() + *place_ : window_->frameGeometry().topLeft();
  const Placement placed = Place(area, frame, wanted_(), at);
  window_->resize(placed.size);
  // A window without a place of its own keeps the one it is given (a dialog
  // over its parent) unless, shown, that puts it off the area.
  if (place_ || (window_->isVisible() && placed.position != at)) window_->move(placed.position);
}

bool TWindowFit::eventFilter(QObject* watched, QEvent* event) {
  if (watched == window_ && event->type() == QEvent::Show && !shown_) {
    shown_ = true;
    polls_ = 0;
    Poll();
    if (polls_ < kPolls) poll_.start();
  }
  return QObject::eventFilter(watched, event);
}

void TWindowFit::Poll() {
  QWindow* handle = window_->windowHandle();
  const QMargins frame = handle ? handle->frameMargins() : QMargins();
  if (!frame.isNull()) {
    poll_.stop();
    polls_ = kPolls;
    Fit(frame);
    return;
  }
  if (++polls_ >= kPolls) poll_.stop();
}
