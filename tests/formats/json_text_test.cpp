// Plain runs of string text, found sixteen bytes at a time: every byte that
// needs care stops the run exactly where it stands, wherever that falls in a
// block, and a run never passes the end it was given, whatever lies behind it.
#include "formats/json_text.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "engine/design.h"
#include "formats/internal/json_scan.h"
#include "formats/json_reader.h"

namespace brennick::json {
namespace {

struct StopByte {
  char byte;
  const char* what;
};

// Bytes that end a plain run; 0x20 and 0x7F just inside the plain range are
// covered by the runs around them.
constexpr StopByte kStops[] = {{'\x00', "NUL"},         {'\x1F', "last control character"},
                               {'"', "quote"},          {'\\', "backslash"},
                               {'\x80', "lowest high"}, {'\xC3', "UTF-8 lead byte"},
                               {'\xFF', "highest byte"}};

// Plain text that uses both edges of the plain range, space and DEL.
std::string PlainText(std::size_t n) {
  std::string text;
  for (std::size_t i = 0; i < n; ++i) text += i % 3 == 0 ? ' ' : i % 3 == 1 ? '\x7F' : 'k';
  return text;
}

TEST(PlainAsciiRun, StopsAtTheFirstByteThatNeedsCare) {
  for (const StopByte& stop : kStops) {
    for (std::size_t at = 0; at <= 40; ++at) {
      std::string text = PlainText(48);
      text[at] = stop.byte;
      text[at + 3] = stop.byte;  // a second one behind does not matter
      const char* p = text.data();
      SCOPED_TRACE(std::string(stop.what) + " at " + std::to_string(at));
      EXPECT_EQ(PlainAsciiRun(p, p + text.size()), at);
      EXPECT_EQ(PlainAsciiRun(p, p + text.size(), p + text.size()), at);
      // The stop byte last, in a short tail behind the whole blocks.
      EXPECT_EQ(PlainAsciiRun(p, p + at + 1), at);
      // An end before the stop byte ends the run there, even when the memory
      // behind may be read.
      EXPECT_EQ(PlainAsciiRun(p, p + at / 2, p + text.size()), at / 2);
    }
  }
}

TEST(PlainAsciiRun, WholePlainTextsRunToTheirEnd) {
  for (std::size_t n = 0; n <= 40; ++n) {
    std::string padded = PlainText(n) + std::string(16, '"');
    const char* p = padded.data();
    SCOPED_TRACE(n);
    EXPECT_EQ(PlainAsciiRun(p, p + n), n);
    EXPECT_EQ(PlainAsciiRun(p, p + n, p + padded.size()), n);
  }
}

TEST(AppendQuoted, EscapesWhateverStopsAPlainRun) {
  struct Row {
    std::string text;
    std::string quoted;
  };
  const Row rows[] = {
      {"", "\"\""},
      {"0123456789abcdef\"", "\"0123456789abcdef\\\"\""},
      {"0123456789abcde\\", "\"0123456789abcde\\\\\""},
      {std::string("0123456789abcdefghij\x01", 21), "\"0123456789abcdefghij\\u0001\""},
      {"0123456789abcdef\xC3\xA9z", "\"0123456789abcdef\xC3\xA9z\""},
      {"0123456789abcdef\xC3z", "\"0123456789abcdef\xEF\xBF\xBDz\""},
      {"tab\there\nand more than sixteen", "\"tab\\there\\nand more than sixteen\""},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(Quoted(row.text), row.quoted) << row.quoted;
  }
}

// Long texts are quoted in pieces of 4096 bytes: a character, an escape or a
// byte that is not UTF-8 at the seam comes out as it would anywhere else.
TEST(AppendQuoted, LongTextsAreWholeAcrossPieces) {
  struct Row {
    std::size_t before;  // plain bytes before the part at the seam
    std::string part;
    std::string quotedPart;
  };
  const Row rows[] = {
      {4095, "\xC3\xA9", "\xC3\xA9"},                  // a two-byte character across the seam
      {4094, "\xE2\x82\xAC", "\xE2\x82\xAC"},          // a three-byte one
      {4093, "\xF0\x9F\x94\xAB", "\xF0\x9F\x94\xAB"},  // a four-byte one
      {4095, "\"", "\\\""},
      {4096, "\n", "\\n"},
      {4095, "\xC3", "\xEF\xBF\xBD"},  // a lead byte cut off by the end
      {4096, "\xBF\xBF\xBF\xBF",
       "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},  // stray continuation bytes
  };
  for (const Row& row : rows) {
    const std::string text = std::string(row.before, 'a') + row.part + "z";
    const std::string expected = "\"" + std::string(row.before, 'a') + row.quotedPart + "z\"";
    std::string out = "x";
    AppendQuoted(out, text);
    EXPECT_EQ(out, "x" + expected) << row.before;
    std::string raw(QuotedBound(text.size()), '\0');
    raw.resize(static_cast<std::size_t>(WriteQuoted(raw.data(), text) - raw.data()));
    EXPECT_EQ(raw, expected) << row.before;
  }
}

// A statblock's lines go out as the inside of a JSON array in one pass over
// its text: each line exactly as it is quoted alone, whatever stands at a
// block's seam, and a newline inside a line escaped rather than taken for the
// line's end.
TEST(WriteQuotedLines, EachLineAsItIsQuotedAlone) {
  struct Row {
    std::vector<std::string> lines;
    std::string written;
  };
  const Row rows[] = {
      {{}, ""},
      {{""}, "\"\""},
      {{"", ""}, "\"\", \"\""},
      {{"Acc: 2", "Rcl 1"}, "\"Acc: 2\", \"Rcl 1\""},
      {{"Name\nwith a break", "(TL9)"}, "\"Name\\nwith a break\", \"(TL9)\""},
      {{"0123456789abcdef", "- \"Green eyes\" backglow"},
       "\"0123456789abcdef\", \"- \\\"Green eyes\\\" backglow\""},
      {{"Cost \xE2\x80\xA0", "\xC3"}, "\"Cost \xE2\x80\xA0\", \"\xEF\xBF\xBD\""},
  };
  for (const Row& row : rows) {
    Statblock block;
    for (const std::string& line : row.lines) block.push_back(line);
    const std::string_view text = block.Text();
    std::string out(QuotedBound(text.size()), '\0');
    out.resize(
        static_cast<std::size_t>(WriteQuotedLines(out.data(), text, block.Ends()) - out.data()));
    EXPECT_EQ(out, row.written) << row.written;
  }
  // Lines of every length up to three blocks, with a byte that needs care at
  // every place, against each line quoted on its own.
  for (const StopByte& stop : kStops) {
    for (std::size_t n = 0; n <= 40; ++n) {
      Statblock block;
      std::string expected;
      for (std::size_t at = 0; at <= n; ++at) {
        std::string line = PlainText(n);
        if (at < n) line[at] = stop.byte;
        block.push_back(line);
        expected += (expected.empty() ? "" : ", ") + Quoted(line);
      }
      const std::string_view text = block.Text();
      std::string out(QuotedBound(text.size()), '\0');
      out.resize(
          static_cast<std::size_t>(WriteQuotedLines(out.data(), text, block.Ends()) - out.data()));
      EXPECT_EQ(out, expected) << stop.what << ", lines of " << n;
    }
  }
}

// Strings of every length across the sixteen-byte blocks, their closing quote
// or an escape at every place, read whole and read a byte at a time.
TEST(ReadString, EveryLengthAcrossBlocksReadsTheSame) {
  for (std::size_t n = 0; n <= 40; ++n) {
    for (const bool escaped : {false, true}) {
      const std::string plain = PlainText(n);
      const std::string text = "\"" + plain + (escaped ? "\\u00e9\"" : "\"") + " ";
      const std::string expected = plain + (escaped ? "\xC3\xA9" : "");
      for (const std::size_t piece : {std::size_t{1}, std::size_t{7}, std::size_t{1} << 20}) {
        Reader r(ReadFromText(text, piece));
        ASSERT_TRUE(r.NextTopLevel());
        std::string out = "left over";
        r.ReadString(out);
        EXPECT_EQ(out, expected) << n << " bytes, pieces of " << piece;
        EXPECT_FALSE(r.NextTopLevel());
      }
    }
  }
}

}  // namespace
}  // namespace brennick::json
