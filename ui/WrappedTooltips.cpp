#include "ui/WrappedTooltips.h"

#include <QCoreApplication>
#include <QHelpEvent>
#include <QTextDocument>
#include <QToolTip>
#include <QWidget>

namespace brennick::tips {

QString Wrapped(const QString& tip) {
  if (tip.isEmpty() || Qt::mightBeRichText(tip)) return tip;
  QString html = tip.toHtmlEscaped();
  html.replace(QLatin1Char('\n'), QStringLiteral("<br>"));
  return QStringLiteral("<p>") + html + QStringLiteral("</p>");
}

TWrappedTooltips::TWrappedTooltips(QWidget* window) : QObject(window), window_(window) {
  QCoreApplication::instance()->installEventFilter(this);
}

bool TWrappedTooltips::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::ToolTip && watched->isWidgetType()) {
    auto* control = static_cast<QWidget*>(watched);
    const QString tip = control->toolTip();
    if (control->window() == window_ && !tip.isEmpty() && !Qt::mightBeRichText(tip)) {
      const auto* help = static_cast<QHelpEvent*>(event);
      QToolTip::showText(help->globalPos(), Wrapped(tip), control, {}, control->toolTipDuration());
      return true;
    }
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace brennick::tips
