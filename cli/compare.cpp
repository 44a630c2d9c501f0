#include "compare.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <exception>
#include <string_view>
#include <vector>

#include "design.h"
#include "design_object.h"
#include "file_io.h"
#include "json_text.h"
#include "line_diff.h"

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

}  // namespace

int CompareDesignFiles(const std::string& a, const std::string& b, char decimalSeparator, bool json,
                       Sink& out, Sink& err) {
  std::vector<std::string> linesA;
  std::vector<std::string> linesB;
  try {
    if (a == "-" && b == "-") throw DesignError("only one of A and B can be standard input");
    linesA = StatblockOf(a, decimalSeparator);
    linesB = StatblockOf(b, decimalSeparator);
  } catch (const DesignError& e) {
    try {
      err.Write("brennick-cli: " + e.message() + "\n");
    } catch (const std::exception&) {
    }
    return kCompareError;
  }
  const bool identical = linesA == linesB;
  out.Write(json ? JsonComparison(a, linesA, b, linesB) : UnifiedDiff(linesA, linesB, a, b));
  return identical ? kCompareIdentical : kCompareDiffer;
}

}  // namespace brennick::cli
