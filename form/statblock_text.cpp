#include "form/statblock_text.h"

#include <cstring>
#include <memory>

namespace brennick {
namespace {

// Characters that start or end markup wherever they stand: emphasis, code,
// links and images, raw HTML and entities, tables, strikethrough and the
// dollar signs that some renderers take for mathematics ("Cost $881" and
// "CPS $1.5" in one paragraph would otherwise become a formula).
bool AlwaysEscaped(char c) {
  return c != '\0' && std::strchr("\\`*_[]<>&|~$", c) != nullptr;
}

// Characters that make a block of their own at the start of a line:
// headings, list items and the underlines of headings.
bool EscapedAtStart(char c) {
  return c == '#' || c == '-' || c == '+' || c == '=';
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace

std::string StatblockPlainText(const std::vector<std::string>& lines) {
  std::string text;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) text += '\n';
    text += lines[i];
  }
  return text;
}

std::string MarkdownEscapedLine(std::string_view line) {
  std::string out;
  out.reserve(line.size() + 8);
  // Leading blanks would be dropped (and four of them make code): keep them
  // as no-break spaces, which renderers show.
  std::size_t at = 0;
  while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) {
    out += "&nbsp;";
    ++at;
  }
  // An ordered list item starts with up to nine digits and a '.' or ')'.
  std::size_t digits = at;
  while (digits < line.size() && IsDigit(line[digits])) ++digits;
  const std::size_t listMark =
      digits > at && digits < line.size() && (line[digits] == '.' || line[digits] == ')')
          ? digits
          : std::string_view::npos;
  for (std::size_t i = at; i < line.size(); ++i) {
    const char c = line[i];
    if (c == '\n' || c == '\r') {
      out += ' ';
      continue;
    }
    if (AlwaysEscaped(c) || (i == at && EscapedAtStart(c)) || i == listMark) out += '\\';
    out += c;
  }
  // Trailing blanks would make a hard break or vanish; they show nothing.
  while (!out.empty() && (out.back() == ' ' || out.back() == '\t')) out.pop_back();
  return out;
}

std::string StatblockMarkdown(const std::vector<std::string>& lines) {
  std::string md;
  if (lines.empty()) return md;
  md += "# ";
  md += MarkdownEscapedLine(lines.front());
  md += '\n';
  // Paragraphs of the lines between separators; within a paragraph every
  // line but the last ends in a backslash, CommonMark's hard line break.
  std::vector<std::string> paragraph;
  const auto flush = [&] {
    if (paragraph.empty()) return;
    md += '\n';
    for (std::size_t i = 0; i < paragraph.size(); ++i) {
      md += paragraph[i];
      md += i + 1 < paragraph.size() ? "\\\n" : "\n";
    }
    paragraph.clear();
  };
  for (std::size_t i = 1; i < lines.size(); ++i) {
    if (lines[i].find_first_not_of(" \t") == std::string::npos) {
      flush();
    } else {
      paragraph.push_back(MarkdownEscapedLine(lines[i]));
    }
  }
  flush();
  return md;
}

}  // namespace brennick
