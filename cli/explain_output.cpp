#include "explain_output.h"

#include "json_text.h"

namespace brennick::cli {
namespace {

void AppendSteps(std::string& out, const Derivation& steps) {
  for (const std::string& step : steps) {
    out += "    ";
    out += step;
    out += '\n';
  }
}

}  // namespace

void AppendExplainedLines(std::string& out, const DesignResult& result) {
  for (std::size_t i = 0; i < result.lines.size(); ++i) {
    out += result.lines[i];
    out += '\n';
    if (i < result.explain.size()) AppendSteps(out, result.explain[i]);
  }
  if (result.error && result.explain.size() > result.lines.size()) {
    out += "  The run stopped:\n";
    AppendSteps(out, result.explain.back());
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
