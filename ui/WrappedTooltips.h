// Tooltips that wrap: a control's tooltip is one long sentence or two, which
// the toolkit would show on a single line as wide as the screen. Shown as a
// paragraph, it wraps at a readable width; the control's tooltip text stays
// as it is.
#pragma once

#include <QObject>
#include <QString>

namespace brennick::tips {

// The tooltip as it is shown: a plain text as a paragraph of rich text,
// every word kept; rich text as it is.
QString Wrapped(const QString& tip);

// Shows the plain tooltips of `window`'s controls wrapped. Watches the whole
// application; ends with `window`.
class TWrappedTooltips : public QObject {
 public:
  explicit TWrappedTooltips(QWidget* window);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* window_;
};

}  // namespace brennick::tips
