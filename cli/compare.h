// brennick-cli --compare A B: the statblocks of two designs, line by line.
#pragma once

#include <string>

#include "cli/batch.h"

namespace brennick::cli {

// Exit statuses of --compare.
inline constexpr int kCompareIdentical = 0;
inline constexpr int kCompareDiffer = 1;
inline constexpr int kCompareError = 2;  // a file that cannot be read, or is no design

// Reads one design object from each of the files `a` and `b` ("-" for
// standard input, for one of them at most; a "Form" member is passed over),
// runs both and writes the lines that differ to `out`: as text, a header
// naming A and B and each place where they part with A's lines after "- "
// and B's after "+ " (nothing when they are identical), or with `json` as one
// JSON object. A failed run is compared with its message as its last line,
// "Error: <message>". A file at fault is told on `err`. Returns one of the
// statuses above. With `visibleControls` (a terminal) the text shows the
// control characters of names and lines as AppendVisible does.
int CompareDesignFiles(const std::string& a, const std::string& b, char decimalSeparator, bool json,
                       Sink& out, Sink& err, bool visibleControls = false);

}  // namespace brennick::cli
