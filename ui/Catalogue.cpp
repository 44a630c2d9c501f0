// The weapon catalogue's pages.
#include "ui/Catalogue.h"

#include <QAbstractTextDocumentLayout>
#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QStringList>
#include <QTextDocument>
#include <algorithm>
#include <memory>

namespace brennick::catalogue {
namespace {

QString FromUtf8(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The statblock's separator: a line of one space between its sections.
bool IsSeparator(const QString& line) {
  return line.trimmed().isEmpty();
}

// The widest line of a statblock's figures, from the line after the title to
// the first separator: the lines a column must hold unbroken. The notes below
// them are sentences that wrap as any paragraph does.
qreal FiguresWidth(const Statblock& statblock, const QFontMetricsF& metrics) {
  qreal widest = 0;
  for (std::size_t i = 1; i < statblock.lines.size(); ++i) {
    const QString line = FromUtf8(statblock.lines[i]);
    if (IsSeparator(line)) break;
    widest = std::max(widest, metrics.horizontalAdvance(line));
  }
  return widest;
}

}  // namespace

QFont StatblockFont() {
  QFont font(QStringLiteral("DejaVu Sans Mono"));
  font.setStyleHint(QFont::TypeWriter);
  font.setPointSize(10);
  return font;
}

void LayOutStatblock(QTextDocument& page, const std::vector<std::string>& lines,
                     const QString& stopped) {
  QString html = QStringLiteral("<html><body>");
  if (!lines.empty()) {
    html +=
        QStringLiteral("<h2>") + FromUtf8(lines.front()).toHtmlEscaped() + QStringLiteral("</h2>");
  }
  QStringList paragraph;
  const auto flush = [&] {
    if (!paragraph.isEmpty()) html += QStringLiteral("<p>") + paragraph.join("<br>") + "</p>";
    paragraph.clear();
  };
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const QString line = FromUtf8(lines[i]);
    if (IsSeparator(line)) {
      flush();
    } else {
      paragraph << line.toHtmlEscaped();
    }
  }
  flush();
  if (!stopped.isEmpty()) html += QStringLiteral("<p>") + stopped.toHtmlEscaped() + "</p>";
  html += QStringLiteral("</body></html>");
  page.setDefaultFont(StatblockFont());
  page.setHtml(html);
}

bool Paint(QPagedPaintDevice& device, const Catalogue& catalogue) {
  QPainter painter;
  if (!painter.begin(&device)) return false;
  // The painter's origin is the page's printable area; a page whose margins
  // are narrower than a centimetre gets the rest inside it.
  const qreal perMm = device.logicalDpiX() / 25.4;
  const QMarginsF margins = device.pageLayout().margins(QPageLayout::Millimeter);
  const auto inset = [](qreal margin) { return std::max<qreal>(0, 10 - margin); };
  const QRectF area =
      QRectF(0, 0, device.width(), device.height())
          .adjusted(inset(margins.left()) * perMm, inset(margins.top()) * perMm,
                    -inset(margins.right()) * perMm, -inset(margins.bottom()) * perMm);
  const qreal gap = 6 * perMm;  // between the columns, and between statblocks
  const QFontMetricsF metrics(StatblockFont(), &device);

  // Every document measures its text on the device it is printed on.
  const auto laidOut = [&device](QTextDocument& document, qreal width) {
    document.documentLayout()->setPaintDevice(&device);
    document.setTextWidth(width);
  };

  QTextDocument heading;
  heading.setDefaultFont(StatblockFont());
  heading.setHtml(QStringLiteral("<h1>") + catalogue.title.toHtmlEscaped() +
                  QStringLiteral("</h1><p>") + catalogue.subtitle.toHtmlEscaped() +
                  QStringLiteral("</p>"));
  laidOut(heading, area.width());

  const qreal half = (area.width() - gap) / 2;
  // The widest figures are measured with the document's margin on each side.
  const qreal margin = heading.documentMargin();

  painter.save();
  painter.translate(area.topLeft());
  heading.drawContents(&painter);
  painter.restore();

  // The statblocks flow in bands: narrow ones down the first column of a
  // band and then the second; a wide one across the page below both, and a
  // new band after it.
  qreal pageTop = area.top() + heading.size().height() + gap;
  qreal columnY[2] = {pageTop, pageTop};
  int column = 0;
  const auto newPage = [&] {
    if (!device.newPage()) return false;
    pageTop = columnY[0] = columnY[1] = area.top();
    column = 0;
    return true;
  };
  // Draws at (x, y), smaller when taller than what is left of the page.
  const auto draw = [&](QTextDocument& block, qreal x, qreal y) {
    const qreal height = block.size().height();
    const qreal scale = std::min<qreal>(1, (area.bottom() - y) / height);
    painter.save();
    painter.translate(x, y);
    painter.scale(scale, scale);
    block.drawContents(&painter);
    painter.restore();
    return height * scale;
  };
  for (const Statblock& statblock : catalogue.statblocks) {
    QTextDocument block;
    LayOutStatblock(block, statblock.lines, statblock.stopped);
    const bool narrow = FiguresWidth(statblock, metrics) + 2 * margin <= half;
    laidOut(block, narrow ? half : area.width());
    const qreal height = block.size().height();
    if (narrow) {
      // The column under way, else the next, else a new page; a block that
      // fits no whole column is drawn smaller at the top of one.
      while (columnY[column] + height > area.bottom() && columnY[column] != pageTop) {
        if (column == 0) {
          column = 1;
        } else if (!newPage()) {
          return false;
        }
      }
      columnY[column] += draw(block, area.left() + column * (half + gap), columnY[column]) + gap;
    } else {
      const qreal y = std::max(columnY[0], columnY[1]);
      if (y + height > area.bottom() && y != pageTop && !newPage()) return false;
      const qreal below = std::max(columnY[0], columnY[1]);
      columnY[0] = columnY[1] = below + draw(block, area.left(), below) + gap;
      column = 0;
    }
  }
  return painter.end();
}

}  // namespace brennick::catalogue
