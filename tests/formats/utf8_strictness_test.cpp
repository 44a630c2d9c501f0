// The JSON reader takes only well-formed UTF-8: a character written with more
// bytes than it needs, a UTF-16 surrogate written as UTF-8 and anything beyond
// U+10FFFF are refused with the message every other bad byte gets, in a key
// as in a value, read or skipped, however the input arrives in pieces. The
// characters at the edges of each length pass unchanged.
#include <gtest/gtest.h>

#include <cstddef>
#include <initializer_list>
#include <optional>
#include <string>

#include "engine/design.h"
#include "formats/design_object.h"
#include "formats/json_reader.h"

namespace brennick::json {
namespace {

// Byte sequences that are no UTF-8, each with the byte the message names.
const struct {
  const char* what;
  std::string bytes;
  const char* first;
} kRefused[] = {
    {"NUL in two bytes", "\xC0\x80", "0xC0"},
    {"'?' in two bytes", "\xC1\xBF", "0xC1"},
    {"NUL in three bytes", "\xE0\x80\x80", "0xE0"},
    {"U+07FF in three bytes", "\xE0\x9F\xBF", "0xE0"},
    {"NUL in four bytes", "\xF0\x80\x80\x80", "0xF0"},
    {"U+FFFF in four bytes", "\xF0\x8F\xBF\xBF", "0xF0"},
    {"the first high surrogate", "\xED\xA0\x80", "0xED"},
    {"the last low surrogate", "\xED\xBF\xBF", "0xED"},
    {"U+110000", "\xF4\x90\x80\x80", "0xF4"},
    {"a lead byte beyond U+10FFFF", "\xF5\x80\x80\x80", "0xF5"},
};

// The characters at the edges: the first of two, three and four bytes, the
// last before the surrogates, the first after them, the last of all.
const std::string kAccepted[] = {
    "\xC2\x80",     "\xDF\xBF",     "\xE0\xA0\x80",     "\xED\x9F\xBF",
    "\xEE\x80\x80", "\xEF\xBF\xBF", "\xF0\x90\x80\x80", "\xF4\x8F\xBF\xBF",
};

enum class Way { Read, Skip };

// Reads the one object of `text` member by member, or skips it whole; the
// message of the fault, or the key and the string value read.
std::string Outcome(const std::string& text, Way way, std::size_t piece) {
  try {
    Reader reader(ReadFromText(text, piece));
    if (!reader.NextTopLevel()) return "no value";
    if (way == Way::Skip) {
      reader.SkipValue();
      return "skipped";
    }
    reader.BeginObject();
    std::string key, value;
    if (!reader.NextMember(key)) return "no member";
    if (reader.ReadString(value)) return "too long";
    return key + "=" + value;
  } catch (const SyntaxError& e) {
    return e.what();
  }
}

TEST(Utf8Strictness, OverlongSurrogateAndTooLargeSequencesAreRefusedInKeysAndValues) {
  for (const auto& c : kRefused) {
    // The bad character stands in column 4 of the key, column 9 of the value.
    const std::string inKey = "{\"k" + c.bytes + "\": \"v\"}";
    const std::string inValue = "{\"k\": \"v" + c.bytes + "\"}";
    const std::string message = std::string("invalid UTF-8: unexpected byte ") + c.first;
    for (const Way way : {Way::Read, Way::Skip}) {
      for (const std::size_t piece : {std::size_t{1}, std::size_t{2}, std::size_t{1} << 20}) {
        EXPECT_EQ(Outcome(inKey, way, piece),
                  "malformed JSON at line 1, column 4: " + message + " in a string")
            << c.what << " in a key, piece " << piece;
        EXPECT_EQ(Outcome(inValue, way, piece),
                  "malformed JSON at line 1, column 9: " + message + " in a string")
            << c.what << " in a value, piece " << piece;
      }
    }
  }
}

TEST(Utf8Strictness, TheCharactersAtTheEdgesPassUnchanged) {
  for (const std::string& bytes : kAccepted) {
    for (const std::size_t piece : {std::size_t{1}, std::size_t{1} << 20}) {
      EXPECT_EQ(Outcome("{\"k" + bytes + "\": \"v" + bytes + "\"}", Way::Read, piece),
                "k" + bytes + "=v" + bytes)
          << piece;
      EXPECT_EQ(Outcome("{\"k" + bytes + "\": \"v" + bytes + "\"}", Way::Skip, piece), "skipped");
    }
  }
}

// A design's name holding such a sequence stops the reading of designs with
// the same message, after the designs before it; the design is not handed on.
TEST(Utf8Strictness, ADesignNamedWithAnOverlongSequenceIsMalformedJson) {
  for (const auto& c : kRefused) {
    std::string names;
    const std::optional<std::string> fault =
        ReadDesigns("{\"NameEdit\": \"A\"}\n{\"NameEdit\": \"B" + c.bytes + "\"}", '.',
                    [&](DesignEntry& e) { names += e.input.NameEdit + ";"; });
    EXPECT_EQ(fault, std::string("malformed JSON at line 2, column 16: invalid UTF-8: "
                                 "unexpected byte ") +
                         c.first + " in a string")
        << c.what;
    EXPECT_EQ(names, "A;") << c.what;
  }
}

}  // namespace
}  // namespace brennick::json
