// The streaming JSON reader: values read whole however the input is cut,
// faults placed at their line and column, and no read beyond the value at
// hand, so an answer never waits for input it does not need.
#include "formats/json_reader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

namespace brennick::json {
namespace {

// One value as a compact canonical text: strings quoted with their bytes as
// decoded, numbers as written.
void Dump(Reader& r, std::string& out) {
  switch (r.PeekValue()) {
    case Kind::Object: {
      r.BeginObject();
      out += '{';
      std::string key;
      bool first = true;
      while (r.NextMember(key)) {
        out += first ? "" : ",";
        first = false;
        out += "<" + key + ">:";
        Dump(r, out);
      }
      out += '}';
      return;
    }
    case Kind::Array: {
      r.BeginArray();
      out += '[';
      bool first = true;
      while (r.NextElement()) {
        out += first ? "" : ",";
        first = false;
        Dump(r, out);
      }
      out += ']';
      return;
    }
    case Kind::String: {
      std::string s;
      r.ReadString(s);
      out += "<" + s + ">";
      return;
    }
    case Kind::Boolean:
      out += r.ReadBoolean() ? "T" : "F";
      return;
    case Kind::Null:
      r.SkipValue();
      out += "N";
      return;
    default:
      out += std::string(r.ReadNumber().text);
  }
}

// Every top-level value, one dump per value, or the fault's message.
std::vector<std::string> DumpAll(std::string_view text, std::size_t piece) {
  Reader r(ReadFromText(text, piece));
  std::vector<std::string> values;
  try {
    while (r.NextTopLevel()) {
      std::string out;
      const Kind kind = r.PeekValue();
      Dump(r, out);
      if (kind != Kind::Object && kind != Kind::Array && kind != Kind::String) {
        r.EndTopLevelScalar();
      }
      values.push_back(out);
    }
  } catch (const SyntaxError& e) {
    values.push_back(e.what());
  }
  return values;
}

constexpr std::size_t kPieces[] = {1, 2, 3, 5, 11, 1 << 20};

TEST(JsonReader, ValuesAreReadWholeInPiecesOfAnySize) {
  struct Case {
    std::string input;
    std::vector<std::string> values;
  };
  const Case cases[] = {
      {R"({"a": [1, -0, 2.5e-3, 1E+400, true, false, null], "b": {}})",
       {"{<a>:[1,-0,2.5e-3,1E+400,T,F,N],<b>:{}}"}},
      {R"("\"\\\/\b\f\n\r\t\u0041\u00e9\u20ac\ud83d\ude00")",
       {"<\"\\/\b\f\n\r\tA\u00e9\u20ac\U0001F600>"}},
      {"\"\u00e9\u20ac\U0001F600\"", {"<\u00e9\u20ac\U0001F600>"}},
      {std::string("\"a\\u0000b\""), {std::string("<a\0b>", 5)}},
      // Values directly one after another, and a byte-order mark at the start.
      {"\xEF\xBB\xBF{}[]\"x\"{\"k\":1}7\n8 true{}",
       {"{}", "[]", "<x>", "{<k>:1}", "7", "8", "T", "{}"}},
      {" \t\r\n ", {}},
      {"[[[[]]],[{}]]", {"[[[[]]],[{}]]"}},
      // Keys taken straight from the input and keys that must be decoded or
      // are followed by white space, side by side.
      {"{\"a\":1,\"b\\u0041\":2,\"c\" :3,\"d\":\n4,\"\":5,\"\u00e9x\":{\"k\":[]},\"e\":\"v\"}",
       {"{<a>:1,<bA>:2,<c>:3,<d>:4,<>:5,<\u00e9x>:{<k>:[]},<e>:<v>}"}},
  };
  for (const Case& c : cases) {
    for (std::size_t piece : kPieces) {
      EXPECT_EQ(DumpAll(c.input, piece), c.values) << c.input << " in pieces of " << piece;
    }
  }
}

// Columns count characters, not bytes, also where the line began in input
// the reader has already let go of.
TEST(JsonReader, FaultsAreReportedAtTheirLineAndColumn) {
  struct Case {
    std::string input;
    std::string message;
  };
  const std::string longLine(100000, ' ');
  const Case cases[] = {
      {std::string("\0", 1), "line 1, column 1: unexpected U+0000; expected a value"},
      {"\xEF\xBB\xBFx", "line 1, column 1: unexpected 'x'; expected a value"},
      {"{\"a\":\n  \u00e9}", "line 2, column 3: unexpected '\u00e9'; expected a value"},
      {"[1 2]", "line 1, column 4: unexpected '2'; expected ',' or ']'"},
      {"\"\\ud83d\\u12\"", "line 1, column 8: invalid \\u escape: four hex digits must follow"},
      {"\"\\ud83d\\u0041\"",
       "line 1, column 2: invalid \\u escape: a high surrogate must be followed by a low one"},
      {"\"\\", "line 1, column 3: unexpected end of input in a string"},
      {"\"a\nb\"",
       "line 1, column 3: unexpected U+000A in a string; control characters must be escaped"},
      {"\"\xe2\x82\"", "line 1, column 2: invalid UTF-8: unexpected byte 0xE2 in a string"},
      {"nul", "line 1, column 1: invalid literal; expected true, false or null"},
      {"-", "line 1, column 2: unexpected end of input; expected a digit"},
      {"1.e5", "line 1, column 3: unexpected 'e'; expected a digit"},
      {"truex", "line 1, column 5: unexpected 'x'; expected white space after a value"},
      {"{\"a\":1,\n\"bc\":x}", "line 2, column 6: unexpected 'x'; expected a value"},
      {"{\"a\":", "line 1, column 6: unexpected end of input; expected a value"},
      {"{\"a\":}", "line 1, column 6: unexpected '}'; expected a value"},
      {"\n\"\u00e9\u00e9\"" + longLine + "{\"a\" 1}", "line 2, column " +
                                                          std::to_string(4 + longLine.size() + 6) +
                                                          ": unexpected '1'; expected ':'"},
  };
  for (const Case& c : cases) {
    for (std::size_t piece : kPieces) {
      const std::vector<std::string> values = DumpAll(c.input, piece);
      ASSERT_FALSE(values.empty()) << c.input;
      EXPECT_EQ(values.back(), "malformed JSON at " + c.message) << "pieces of " << piece;
    }
  }
}

// Numbers as the design objects take them: their text as written, their sign
// and magnitude, whether they overflow 64 bits, however the input is cut (a
// number that ends where a read ends is only complete once the next byte
// shows it).
TEST(JsonReader, NumbersKeepTheirTextSignAndMagnitude) {
  struct Case {
    const char* input;  // one number inside an array
    const char* text;
    bool negative;
    std::uint64_t magnitude;
    bool tooLarge;
    bool integer;
  };
  const Case cases[] = {
      {"[0]", "0", false, 0, false, true},
      {"[-0]", "-0", true, 0, false, true},
      {"[7 ]", "7", false, 7, false, true},
      {"[-12,1]", "-12", true, 12, false, true},
      {"[18446744073709551615]", "18446744073709551615", false, UINT64_MAX, false, true},
      {"[18446744073709551616]", "18446744073709551616", false, 0, true, true},
      {"[-99999999999999999999]", "-99999999999999999999", true, 0, true, true},
      {"[2.5]", "2.5", false, 2, false, false},
      {"[1e3]", "1e3", false, 1, false, false},
      {"[-4E-2]", "-4E-2", true, 4, false, false},
  };
  for (const Case& c : cases) {
    for (std::size_t piece : kPieces) {
      Reader r(ReadFromText(c.input, piece));
      ASSERT_TRUE(r.NextTopLevel());
      r.BeginArray();
      ASSERT_TRUE(r.NextElement());
      const Number n = r.ReadNumber();
      SCOPED_TRACE(std::string(c.input) + " in pieces of " + std::to_string(piece));
      EXPECT_EQ(n.text, c.text);
      EXPECT_EQ(n.negative, c.negative);
      if (!c.tooLarge) {
        EXPECT_EQ(n.magnitude, c.magnitude);
      }
      EXPECT_EQ(n.tooLarge, c.tooLarge);
      EXPECT_EQ(n.integer, c.integer);
    }
  }
}

// A source that records, for each value read, how many reads it took: a value
// whose last byte has arrived must be complete without another read, which
// might wait for input that a person has not typed yet.
TEST(JsonReader, AValueIsCompleteWithoutReadingPastIt) {
  const std::vector<std::string> pieces = {"[{\"a\": \"x\\u00e9\"},", " {\"b\": [true]}",
                                           ",\n\"\\ud83d\\ude00\"", "]\n{}", "\n"};
  std::size_t reads = 0;
  const ReadFn read = [&](char* buffer, std::size_t size) -> std::size_t {
    if (reads == pieces.size()) return 0;
    const std::string& piece = pieces[reads++];
    EXPECT_LE(piece.size(), size);
    std::memcpy(buffer, piece.data(), piece.size());
    return piece.size();
  };
  Reader r(read);
  std::vector<std::size_t> readsPerValue;
  std::string out;
  ASSERT_TRUE(r.NextTopLevel());
  r.BeginArray();
  while (r.NextElement()) {
    Dump(r, out);
    readsPerValue.push_back(reads);
  }
  ASSERT_TRUE(r.NextTopLevel());
  Dump(r, out);
  readsPerValue.push_back(reads);
  EXPECT_FALSE(r.NextTopLevel());
  EXPECT_EQ(readsPerValue, (std::vector<std::size_t>{1, 2, 3, 4}));
  EXPECT_EQ(out, "{<a>:<x\u00e9>}{<b>:[T]}<\U0001F600>{}");
}

TEST(JsonReader, SkippingChecksWhatItSkips) {
  struct Case {
    const char* input;
    const char* message;  // empty when the value is well formed
  };
  const Case cases[] = {
      {R"({"a": [1, {"b": [null, "]}"]}], "c": {}})", ""},
      {R"({"a": [1, {"b" 2}]})", "line 1, column 16: unexpected '2'; expected ':'"},
      {R"([1, {"b": 2,}])", "line 1, column 13: unexpected '}'; expected a key string"},
      {R"([{]})", "line 1, column 3: unexpected ']'; expected a key string or '}'"},
      {R"([1}])", "line 1, column 3: unexpected '}'; expected ',' or ']'"},
  };
  for (const Case& c : cases) {
    for (std::size_t piece : kPieces) {
      Reader r(ReadFromText(c.input, piece));
      std::string message;
      try {
        ASSERT_TRUE(r.NextTopLevel());
        EXPECT_EQ(r.SkipValue(), *c.input == '{' ? Kind::Object : Kind::Array);
        EXPECT_FALSE(r.NextTopLevel());
      } catch (const SyntaxError& e) {
        message = e.what();
      }
      EXPECT_EQ(message, *c.message ? std::string("malformed JSON at ") + c.message : "")
          << c.input;
    }
  }
}

// A reader keeps no more of a string than its limit, counted in UTF-16 code
// units whatever the bytes (two for a character beyond U+FFFF, escaped or
// not); a longer string is read to its end, its length told, and the next
// value is read as usual, however the input is cut.
TEST(JsonReader, StringsAreKeptUpToTheLimitInUtf16Units) {
  struct Case {
    std::string string;  // the JSON string, quotes and all
    std::string kept;    // when it fits
    std::size_t length;  // when it does not
  };
  const Case cases[] = {
      {R"("abcd")", "abcd", 0},
      {R"("abcde")", "", 5},
      {"\"\u00e9\u00e9\u00e9\u00e9\"", "\u00e9\u00e9\u00e9\u00e9", 0},
      {"\"\u20ac\u20ac\u20ac\u20ac\"", "\u20ac\u20ac\u20ac\u20ac", 0},
      {"\"\u20ac\u20ac\u20ac\u20ac\u20ac\"", "", 5},
      {"\"\U0001F600\U0001F600\"", "\U0001F600\U0001F600", 0},
      {"\"a\U0001F600\U0001F600\"", "", 5},
      {"\"\U0001F600\U0001F600\U0001F600\"", "", 6},
      {R"("\ud83d\ude00\u00e9\n")", "\U0001F600\u00e9\n", 0},
      {R"("\ud83d\ude00\ud83d\ude00\t")", "", 5},
      {"\"" + std::string(100000, 'a') + "\"", "", 100000},
  };
  for (const Case& c : cases) {
    for (std::size_t piece : kPieces) {
      const std::string input = "[" + c.string + ", \"next\"]";
      Reader r(ReadFromText(input, piece), 4);
      SCOPED_TRACE(c.string.substr(0, 40) + " in pieces of " + std::to_string(piece));
      ASSERT_TRUE(r.NextTopLevel());
      r.BeginArray();
      ASSERT_TRUE(r.NextElement());
      std::string out = "old";
      const std::optional<std::size_t> length = r.ReadString(out);
      if (c.length == 0) {
        EXPECT_FALSE(length);
        EXPECT_EQ(out, c.kept);
      } else {
        EXPECT_EQ(length.value_or(0), c.length);
        EXPECT_EQ(out, "");
      }
      ASSERT_TRUE(r.NextElement());
      EXPECT_FALSE(r.ReadString(out));
      EXPECT_EQ(out, "next");
      EXPECT_FALSE(r.NextElement());
    }
  }
}

// Keys and numbers are held to the same limit: a key longer is given empty
// with its length, a number keeps the beginning of its text and its length.
TEST(JsonReader, KeysAndNumbersAreHeldToTheLimit) {
  const std::string input = R"({"abcde": 123456, "a\u00e9\ud83d\ude00": 1.5e10, "abcd": -12})";
  for (std::size_t piece : kPieces) {
    SCOPED_TRACE("pieces of " + std::to_string(piece));
    Reader r(ReadFromText(input, piece), 4);
    ASSERT_TRUE(r.NextTopLevel());
    r.BeginObject();
    std::string_view key;
    const struct {
      const char* key;
      std::size_t cut;
      const char* text;
      std::size_t length;
    } members[] = {
        {"", 5, "1234", 6},
        {"a\u00e9\U0001F600", 0, "1.5e", 6},
        {"abcd", 0, "-12", 3},
    };
    for (const auto& m : members) {
      ASSERT_TRUE(r.NextMember(key));
      EXPECT_EQ(key, m.key);
      EXPECT_EQ(r.CutKeyLength(), m.cut);
      const Number n = r.ReadNumber();
      EXPECT_EQ(n.text, m.text);
      EXPECT_EQ(n.length, m.length);
    }
    EXPECT_FALSE(r.NextMember(key));
  }
}

// Arrays and objects nest up to kMaxDepth levels, counted from the top level
// whether the caller walks them or skips them; the first bracket deeper is a
// fault at its place. Closing a value gives its levels back.
TEST(JsonReader, NestingStopsAtTheDepthLimit) {
  const std::size_t max = kMaxDepth;
  const auto nested = [](std::size_t levels) {
    std::string open;
    std::string close;
    for (std::size_t i = 0; i < levels; ++i) {
      open += i % 2 ? "{\"k\":" : "[";
      close.insert(0, i % 2 ? "}" : "]");
    }
    return open + "0" + close;
  };
  static_assert(kMaxDepth == 256, "the columns below are counted for 256 levels");
  const std::string deepest = nested(max);
  // Before the 257th bracket: 128 arrays of one character, 128 objects of five.
  const std::string tooDeep = "malformed JSON at line 1, column 769: nested deeper than 256 levels";
  for (std::size_t piece : kPieces) {
    SCOPED_TRACE("pieces of " + std::to_string(piece));
    const std::vector<std::string> twice = DumpAll(deepest + deepest, piece);
    EXPECT_EQ(twice.size(), 2u);
    EXPECT_EQ(twice.back().find("malformed"), std::string::npos) << twice.back();
    EXPECT_EQ(DumpAll(nested(max + 1), piece).back(), tooDeep);

    // Skipped inside a value the caller walks: the same limit.
    for (const std::size_t levels : {max - 1, max}) {
      const std::string input = "[" + nested(levels) + "]";
      Reader r(ReadFromText(input, piece));
      std::string message;
      try {
        ASSERT_TRUE(r.NextTopLevel());
        r.BeginArray();
        ASSERT_TRUE(r.NextElement());
        r.SkipValue();
        EXPECT_FALSE(r.NextElement());
      } catch (const SyntaxError& e) {
        message = e.what();
      }
      // Before the 257th bracket: the outer one, then 128 arrays and 127 objects.
      EXPECT_EQ(message, levels < max ? ""
                                      : "malformed JSON at line 1, column 765: nested deeper "
                                        "than 256 levels");
    }
  }
}

// Strings and keys skipped are checked as those read are.
TEST(JsonReader, SkippedStringsAndKeysAreChecked) {
  const struct {
    const char* input;
    const char* message;
  } cases[] = {
      {R"([{"k\q": 1}])", "line 1, column 5: invalid escape 'q' in a string"},
      {"[{\"k\": \"\xff\"}]", "line 1, column 9: invalid UTF-8: unexpected byte 0xFF in a string"},
      {R"([{"\ud800x": 1}])",
       "line 1, column 4: invalid \\u escape: a high surrogate must be "
       "followed by a low one"},
      {"[\"a\tb\"]",
       "line 1, column 4: unexpected U+0009 in a string; control characters must be escaped"},
      {R"([{"k": "abc)", "line 1, column 12: unexpected end of input in a string"},
  };
  for (const auto& c : cases) {
    for (std::size_t piece : kPieces) {
      Reader r(ReadFromText(c.input, piece));
      std::string message;
      try {
        ASSERT_TRUE(r.NextTopLevel());
        r.SkipValue();
      } catch (const SyntaxError& e) {
        message = e.what();
      }
      EXPECT_EQ(message, std::string("malformed JSON at ") + c.message)
          << c.input << " in pieces of " << piece;
    }
  }
}

}  // namespace
}  // namespace brennick::json
