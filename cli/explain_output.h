// brennick-cli --explain: each statblock line's derivation written with it.
#pragma once

#include <string>

#include "engine/design.h"

namespace brennick::cli {

// Plain output: the lines of a run, each followed by its derivation, one step
// per line indented by four spaces; after a failed run, "  The run stopped:"
// and the failing read's derivation, indented the same way. With
// `visibleControls` (a terminal) each line and step is written through
// AppendVisible, so a name's line break or escape sequence shows as such.
void AppendExplainedLines(std::string& out, const DesignResult& result,
                          bool visibleControls = false);

// JSON output: `, "explain": [...]`, one array of step strings per statblock
// line, in order, and one more at the end for the failing read of a failed
// run.
void AppendJsonExplain(std::string& out, const DesignResult& result);

}  // namespace brennick::cli
