// A statblock written out for the places players keep it: as plain text,
// exactly as the pane shows it, and as Markdown for notes, wikis and virtual
// tabletops.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace brennick {

// The lines as the pane shows them: one per line, joined by line feeds, with
// no line feed after the last.
std::string StatblockPlainText(const std::vector<std::string>& lines);

// The statblock in Markdown (CommonMark): the first line, the weapon's name
// and TL, as a heading, then the other lines as paragraphs whose lines each
// end in a hard line break, so that a renderer shows them line by line; each
// one-space separator line of the statblock starts a new paragraph. Every
// character that Markdown would read as markup is escaped with a backslash,
// so the rendering shows the text exactly. Ends with a line feed.
std::string StatblockMarkdown(const std::vector<std::string>& lines);

// One line of text made safe to stand inside a Markdown paragraph or heading:
// markup characters escaped, line breaks turned into spaces, and leading
// blanks kept.
std::string MarkdownEscapedLine(std::string_view line);

}  // namespace brennick
