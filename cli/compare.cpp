#include "cli/compare.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <exception>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/design.h"
#include "files/file_io.h"
#include "form/line_diff.h"
#include "formats/design_object.h"
#include "formats/json_text.h"

namespace brennick::cli {
namespace {

// Standard input whole, as long as it holds no more than a design file may.
std::string ReadStandardInput() {
  std::string text;
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (n == 0) return text;
    if (n < 0) {
      if (errno == EINTR) continue;
      throw DesignError(std::strerror(errno));
    }
    text.append(buffer, static_cast<std::size_t>(n));
    if (text.size() > kMaxDesignFileBytes) throw DesignError("it is larger than 1 MiB");
  }
}

std::string Source(const std::string& path) {
  return path == "-" ? std::string("standard input") : "'" + path + "'";
}

// The lines one design file's statblock is compared by; a file that cannot
// be read or holds no design throws DesignError with a message naming it.
std::vector<std::string> StatblockOf(const std::string& path, char decimalSeparator) {
  std::string text;
  try {
    text = path == "-" ? ReadStandardInput() : ReadFileText(std::filesystem::path(path));
  } catch (const DesignError& e) {
    throw DesignError("cannot read " + Source(path) + ": " + e.message());
  }
  const DesignEntry entry = ReadDesignObject(text, decimalSeparator);
  if (entry.inputError) throw DesignError(Source(path) + ": " + *entry.inputError);
  return ComparedLines(RunDesign(entry.input, decimalSeparator));
}

void AppendLine(std::string& out, std::size_t index) {
  if (index == kNoLine) {
    out += "null";
  } else {
    out += std::to_string(index + 1);
  }
}

void AppendText(std::string& out, std::size_t index, const std::vector<std::string>& lines) {
  if (index == kNoLine) {
    out += "null";
  } else {
    json::AppendQuoted(out, lines[index]);
  }
}

// {"a": A, "b": B, "identical": ..., "differences": [{"mark": "~", "a_line": 3,
// "a": "...", "b_line": 3, "b": "..."}, ...]}: lines counted from 1, null on
// the side a line is missing from.
std::string JsonComparison(const std::string& nameA, const std::vector<std::string>& a,
                           const std::string& nameB, const std::vector<std::string>& b) {
  std::string out = "{\"a\": ";
  json::AppendQuoted(out, nameA);
  out += ", \"b\": ";
  json::AppendQuoted(out, nameB);
  std::string differences;
  for (const SideBySideRow& row : SideBySide(DiffLines(a, b))) {
    if (row.mark == RowMark::Same) continue;
    if (!differences.empty()) differences += ", ";
    differences += "{\"mark\": \"";
    differences += RowMarker(row.mark);
    differences += "\", \"a_line\": ";
    AppendLine(differences, row.a);
    differences += ", \"a\": ";
    AppendText(differences, row.a, a);
    differences += ", \"b_line\": ";
    AppendLine(differences, row.b);
    differences += ", \"b\": ";
    AppendText(differences, row.b, b);
    differences += '}';
  }
  out += differences.empty() ? ", \"identical\": true" : ", \"identical\": false";
  out += ", \"differences\": [" + differences + "]}\n";
  return out;
}

std::string Visible(std::string_view text) {
  std::string out;
  AppendVisible(out, text);
  return out;
}

// The differences as a terminal is sent them: every line and name through
// AppendVisible, so a line break inside a line shows as \n. The lines pair up
// as they do in a file as long as no two different lines look the same; where
// two would (a line break beside a typed backslash and n), the differences of
// the lines themselves are shown instead, each line break going on after its
// marker.
std::string VisibleDiff(const std::vector<std::string>& a, const std::vector<std::string>& b,
                        const std::string& nameA, const std::string& nameB) {
  std::map<std::string, const std::string*> shownFor;
  bool pairedAlike = true;
  const auto shown = [&](const std::vector<std::string>& lines) {
    std::vector<std::string> visible;
    visible.reserve(lines.size());
    for (const std::string& line : lines) {
      visible.push_back(Visible(line));
      const auto [at, fresh] = shownFor.emplace(visible.back(), &line);
      if (!fresh && *at->second != line) pairedAlike = false;
    }
    return visible;
  };
  const std::vector<std::string> visibleA = shown(a);
  const std::vector<std::string> visibleB = shown(b);
  if (pairedAlike) return UnifiedDiff(visibleA, visibleB, Visible(nameA), Visible(nameB));
  const std::string diff = UnifiedDiff(a, b, nameA, nameB);
  std::string out;
  std::string_view rest = diff;
  while (!rest.empty()) {
    const std::size_t end = std::min(rest.find('\n'), rest.size());
    AppendVisible(out, rest.substr(0, end));
    out += '\n';
    rest.remove_prefix(std::min(end + 1, rest.size()));
  }
  return out;
}

}  // namespace

int CompareDesignFiles(const std::string& a, const std::string& b, char decimalSeparator, bool json,
                       Sink& out, Sink& err, bool visibleControls) {
  std::vector<std::string> linesA;
  std::vector<std::string> linesB;
  try {
    if (a == "-" && b == "-") throw DesignError("only one of A and B can be standard input");
    linesA = StatblockOf(a, decimalSeparator);
    linesB = StatblockOf(b, decimalSeparator);
  } catch (const DesignError& e) {
    try {
      err.Write(MessageLine("brennick-cli: " + e.message()));
    } catch (const std::exception&) {
    }
    return kCompareError;
  }
  const bool identical = linesA == linesB;
  out.Write(json              ? JsonComparison(a, linesA, b, linesB)
            : visibleControls ? VisibleDiff(linesA, linesB, a, b)
                              : UnifiedDiff(linesA, linesB, a, b));
  return identical ? kCompareIdentical : kCompareDiffer;
}

}  // namespace brennick::cli
