// The weapon catalogue: the statblocks of several designs on printed pages,
// each whole on one page, in two columns where the weapons' figures fit.
#pragma once

#include <QString>
#include <string>
#include <vector>

class QFont;
class QPagedPaintDevice;
class QTextDocument;

namespace brennick::catalogue {

// The face statblocks are printed in: a typewriter face, as the statblock
// reads in the pane; it joins no letters, so text taken from the page is the
// statblock's own.
QFont StatblockFont();

// One statblock laid out as a page of its own: the title line as a heading,
// then the statblock's sections (the figures, the notes and features, the
// ammunition block) as paragraphs; `stopped`, when not empty, is a last
// paragraph that says where the run stopped.
void LayOutStatblock(QTextDocument& page, const std::vector<std::string>& lines,
                     const QString& stopped = {});

struct Statblock {
  std::vector<std::string> lines;
  QString stopped;  // why the run stopped early; empty when it went through
};

struct Catalogue {
  QString title;
  QString subtitle;
  std::vector<Statblock> statblocks;
};

// Paints the catalogue on `device` (a printer, a PDF writer): the title at
// the top of the first page, then the statblocks in order. One whose figure
// lines fit half the page goes in two columns, down the first and then the
// second; a wider one goes across the page below both. A statblock that does
// not fit where its column has got to starts the next column or page, and
// one taller than a whole column is printed smaller, so that none is ever
// split. False when the device cannot be painted on.
bool Paint(QPagedPaintDevice& device, const Catalogue& catalogue);

}  // namespace brennick::catalogue
