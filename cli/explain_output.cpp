#include "cli/explain_output.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "cli/batch.h"
#include "formats/json_text.h"

namespace brennick::cli {
namespace {

// A line of plain output: as it is, or on a terminal with its control
// characters shown.
void AppendLine(std::string& out, std::string_view line, bool visible) {
  if (visible) {
    AppendVisible(out, line);
  } else {
    out += line;
  }
  out += '\n';
}

void AppendSteps(std::string& out, const Derivation& steps, bool visible) {
  for (const std::string& step : steps) {
    out += "    ";
    AppendLine(out, step, visible);
  }
}

}  // namespace

void AppendExplainedLines(std::string& out, const DesignResult& result, bool visibleControls) {
  for (std::size_t i = 0; i < result.lines.size(); ++i) {
    AppendLine(out, result.lines[i], visibleControls);
    if (i < result.explain.size()) AppendSteps(out, result.explain[i], visibleControls);
  }
  if (result.error && result.explain.size() > result.lines.size()) {
    out += "  The run stopped:\n";
    AppendSteps(out, result.explain.back(), visibleControls);
  }
}

void AppendJsonExplain(std::string& out, const DesignResult& result) {
  out += ", \"explain\": [";
  for (std::size_t i = 0; i < result.explain.size(); ++i) {
    if (i != 0) out += ", ";
    out += '[';
    for (std::size_t k = 0; k < result.explain[i].size(); ++k) {
      if (k != 0) out += ", ";
      json::AppendQuoted(out, result.explain[i][k]);
    }
    out += ']';
  }
  out += ']';
}

}  // namespace brennick::cli
