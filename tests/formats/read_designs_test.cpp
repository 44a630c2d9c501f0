// Reading designs: JSON keys and values onto the form's fields, the shapes of
// input accepted, input errors per design and malformed JSON with its place.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "engine/design.h"
#include "form/fields.h"
#include "formats/design_object.h"
#include "formats/json_reader.h"
#include "formats/json_text.h"

namespace brennick::cli {
namespace {

struct ReadResult {
  std::vector<DesignEntry> designs;
  std::optional<std::string> fault;
};

// Reads `text` handing out at most `chunk` bytes per read, as a pipe may.
ReadResult ReadAll(std::string_view text, std::size_t chunk = std::size_t{1} << 20) {
  ReadResult r;
  const json::ReadFn read = [text, chunk](char* buffer, std::size_t size) mutable {
    const std::size_t n = std::min({size, chunk, text.size()});
    std::memcpy(buffer, text.data(), n);
    text.remove_prefix(n);
    return n;
  };
  r.fault = ReadDesigns(read, '.', [&](DesignEntry& e) { r.designs.push_back(e); });
  return r;
}

std::vector<std::string> Names(const ReadResult& r) {
  std::vector<std::string> names;
  for (const DesignEntry& e : r.designs) names.push_back(e.input.NameEdit);
  return names;
}

// Escapes are decoded, texts kept exactly as typed, -1 clears a group.
TEST(ReadDesigns, ValuesAreTakenAsWritten) {
  const ReadResult r = ReadAll(
      R"({"NameEdit": "K\u00e4fer \"Mk 2\"\t\/\ud83d\ude00", "TLEdit": "", "BoreSizeEdit": " 7,62 ",)"
      R"( "PropellantBox": -1, "QualityAccurate": 2, "CaselessBox": false})");
  ASSERT_EQ(r.designs.size(), 1u);
  ASSERT_FALSE(r.designs[0].inputError) << *r.designs[0].inputError;
  DesignInput expected;
  expected.NameEdit = "K\u00e4fer \"Mk 2\"\t/\U0001F600";
  expected.TLEdit = "";
  expected.BoreSizeEdit = " 7,62 ";
  expected.PropellantBox = -1;
  expected.QualityAccurate = kVeryFine;
  expected.CaselessBox = false;
  EXPECT_TRUE(r.designs[0].input == expected);
}

// Every field is reachable by its name, and every item of every group by its
// caption; nothing else changes.
TEST(ReadDesigns, EveryFieldAndEveryCaptionIsReachable) {
  for (const FieldInfo& f : DesignFields()) {
    std::vector<std::pair<std::string, std::function<void(DesignInput&)>>> cases;
    const std::string key = json::Quoted(f.name);
    switch (f.kind) {
      case FieldKind::Text:
        cases.push_back({"{" + key + ": \"x\"}", [&](DesignInput& d) { d.*f.text = "x"; }});
        break;
      case FieldKind::Check:
        cases.push_back({"{" + key + ": " + (DesignInput{}.*f.check ? "false" : "true") + "}",
                         [&](DesignInput& d) { d.*f.check = !(d.*f.check); }});
        break;
      case FieldKind::Group:
        for (std::size_t i = 0; i < f.items.size(); ++i) {
          const auto index = static_cast<int>(i);
          cases.push_back({"{" + key + ": " + json::Quoted(f.items[i]) + "}",
                           [&, index](DesignInput& d) { d.*f.group = index; }});
          cases.push_back({"{" + key + ": " + std::to_string(i) + "}",
                           [&, index](DesignInput& d) { d.*f.group = index; }});
        }
        break;
    }
    for (const auto& [json, expect] : cases) {
      const ReadResult r = ReadAll(json);
      ASSERT_EQ(r.designs.size(), 1u) << json;
      ASSERT_FALSE(r.designs[0].inputError) << json << ": " << *r.designs[0].inputError;
      DesignInput expected;
      expect(expected);
      EXPECT_TRUE(r.designs[0].input == expected) << json;
    }
  }
}

// Names one byte away from a field's name, in every way a name is looked up
// (its length, its first, middle and last bytes, the words inside it), are
// unknown keys; so are the names of nothing at all.
TEST(ReadDesigns, NamesNearAFieldsNameAreUnknownKeys) {
  std::vector<std::string> names;
  for (const FieldInfo& f : DesignFields()) names.emplace_back(f.name);
  const auto isName = [&](const std::string& key) {
    return key == "DecimalSeparator" || key == "Form" ||
           std::find(names.begin(), names.end(), key) != names.end();
  };
  const auto flip = [](char c) { return static_cast<char>(c ^ 0x20); };
  for (const std::string& name : names) {
    const std::size_t n = name.size();
    // The name with its byte at i changed.
    const auto changed = [&](std::size_t i, char c) {
      std::string miss = name;
      miss[i] = c;
      return miss;
    };
    const std::string misses[] = {
        name.substr(0, n - 1),
        name + "x",
        "x" + name,
        name.substr(1),
        changed(0, flip(name[0])),
        changed(n - 1, flip(name[n - 1])),
        changed(n / 2, flip(name[n / 2])),
        changed(n >= 9 ? n - 9 : 0, '_'),  // in a whole word before the last
        name + std::string(1, '\0'),
    };
    for (const std::string& miss : misses) {
      if (isName(miss)) continue;
      const ReadResult r = ReadAll("{" + json::Quoted(miss) + ": 1}");
      ASSERT_EQ(r.designs.size(), 1u) << miss;
      EXPECT_EQ(r.designs[0].inputError.value_or("(none)"),
                "design 1: unknown key " + json::Quoted(miss))
          << name;
    }
  }
  for (const char* key : {"", "x", "Box", "Edit", "decimalseparator", "form"}) {
    const ReadResult r = ReadAll("{" + json::Quoted(key) + ": 1}");
    ASSERT_EQ(r.designs.size(), 1u) << key;
    EXPECT_EQ(r.designs[0].inputError.value_or("(none)"),
              "design 1: unknown key " + json::Quoted(key));
  }
}

TEST(ReadDesigns, InputErrorsNameTheDesignAndTheKey) {
  struct Case {
    const char* json;
    const char* message;
  };
  const Case cases[] = {
      {R"({"Foo": 1})", R"(design 1: unknown key "Foo")"},
      {R"({"TLEdit": "8", "TLEdit": "9"})", R"(design 1: key "TLEdit" is given more than once)"},
      {R"({"Form": {}, "TLEdit": "8", "Form": 1})",
       R"(design 1: key "Form" is given more than once)"},
      {R"({"ConfigurationBox": 5})",
       R"(design 1, key "ConfigurationBox": item index 5 is outside -1..4)"},
      {R"({"BarrelBox": -2})", R"(design 1, key "BarrelBox": item index -2 is outside -1..2)"},
      {R"({"BarrelBox": 18446744073709551616})",
       R"(design 1, key "BarrelBox": item index 18446744073709551616 is outside -1..2)"},
      {R"({"ConfigurationBox": "Rifel"})",
       R"(design 1, key "ConfigurationBox": no item is captioned "Rifel"; the items are "Pistol", "SMG", "Rifle", "Support", "Cannon")"},
      {R"({"ConfigurationBox": true})",
       R"(design 1, key "ConfigurationBox": expected an item index (-1..4) or an item caption, got a boolean)"},
      {R"({"ConfigurationBox": 1.0})",
       R"(design 1, key "ConfigurationBox": expected an item index (a whole number, -1..4) or an item caption, got 1.0)"},
      {R"({"CaselessBox": 1})",
       R"(design 1, key "CaselessBox": expected true or false, got a number)"},
      {R"({"TLEdit": null})", R"(design 1, key "TLEdit": expected a string or a number, got null)"},
      {R"({"RGPalm": []})", R"(design 1, key "RGPalm": expected true or false, got an array)"},
      {R"(7)", R"(design 1: expected a design object, got a number)"},
      {R"(null)", R"(design 1: expected a design object, got null)"},
      {R"([[{}]])", R"(design 1: expected a design object, got an array)"},
  };
  for (const Case& c : cases) {
    const ReadResult r = ReadAll(c.json);
    ASSERT_FALSE(r.fault) << c.json << ": " << *r.fault;
    ASSERT_EQ(r.designs.size(), 1u) << c.json;
    EXPECT_EQ(r.designs[0].inputError.value_or("(none)"), c.message) << c.json;
  }
}

// The same three designs in every shape the input may take.
TEST(ReadDesigns, AcceptsAnySequenceOfObjectsAndArrays) {
  const char* inputs[] = {
      "{\"NameEdit\": \"A\"}\n{\"NameEdit\": \"B\"}\n{\"NameEdit\": \"C\"}\n",
      ("{\r\n  \"NameEdit\": \"A\"\r\n}\r\n{\r\n  \"NameEdit\": \"B\"\r\n}\r\n\t"
       "{\"NameEdit\": \"C\"}"),
      R"([] [{"NameEdit": "A"}] {"NameEdit": "B"} [{"NameEdit": "C"}] [])",
      "\xEF\xBB\xBF{\"NameEdit\": \"A\"}{\"NameEdit\": \"B\"}[{\"NameEdit\": \"C\"}]",
  };
  for (const char* input : inputs) {
    const ReadResult r = ReadAll(input);
    EXPECT_FALSE(r.fault) << input << ": " << *r.fault;
    EXPECT_EQ(Names(r), (std::vector<std::string>{"A", "B", "C"})) << input;
    for (std::size_t i = 0; i < r.designs.size(); ++i) EXPECT_EQ(r.designs[i].position, i + 1);
  }
  for (const char* empty : {"", " \n\t\r\n", "[]", "[ ]\n[]"}) {
    const ReadResult r = ReadAll(empty);
    EXPECT_FALSE(r.fault) << empty;
    EXPECT_TRUE(r.designs.empty()) << empty;
  }
}

// An input error spoils only its own design: positions go on counting, and
// whatever the bad value holds is read past.
TEST(ReadDesigns, InputErrorsDoNotDisturbTheDesignsAround) {
  const ReadResult r = ReadAll(
      R"([{"Foo": {"NameEdit": "x", "k": [1, {"y": "}]\"{"}]}, "NameEdit": "no"}, {"NameEdit": "B"}] 7 )"
      R"({"NameEdit": "D", "TLEdit": false, "Bar": 1})"
      R"({"NameEdit": "E"})");
  ASSERT_FALSE(r.fault) << *r.fault;
  ASSERT_EQ(r.designs.size(), 5u);
  EXPECT_EQ(r.designs[0].inputError.value_or(""), R"(design 1: unknown key "Foo")");
  EXPECT_FALSE(r.designs[1].inputError);
  EXPECT_EQ(r.designs[1].input.NameEdit, "B");
  EXPECT_EQ(r.designs[2].inputError.value_or(""),
            "design 3: expected a design object, got a number");
  EXPECT_EQ(r.designs[3].inputError.value_or(""),
            R"(design 4, key "TLEdit": expected a string or a number, got a boolean)");
  EXPECT_FALSE(r.designs[4].inputError);
  EXPECT_EQ(r.designs[4].input.NameEdit, "E");
  EXPECT_EQ(r.designs[4].position, 5u);
}

TEST(ReadDesigns, MalformedJsonStopsWithLineAndColumn) {
  struct Case {
    std::string input;
    std::size_t designsBefore;
    const char* message;
  };
  const Case cases[] = {
      {"{\"NameEdit\": \"A\"}\n{\"NameEdit\" \"B\"}\n{\"NameEdit\": \"C\"}", 1,
       "malformed JSON at line 2, column 13: unexpected '\"'; expected ':'"},
      {R"([{"NameEdit": "A"}, {"NameEdit": "B"},])", 2,
       "malformed JSON at line 1, column 39: unexpected ']'; expected a value"},
      {R"({"NameEdit": "A)", 0,
       "malformed JSON at line 1, column 16: unexpected end of input in a string"},
      {"[{}\n", 1,
       "malformed JSON at line 2, column 1: unexpected end of input; expected ',' or ']'"},
      {R"({"NameEdit": "ééé" x})", 0,
       "malformed JSON at line 1, column 20: unexpected 'x'; expected ',' or '}'"},
      {"{\"NameEdit\": \"a\xff\"}", 0,
       "malformed JSON at line 1, column 16: invalid UTF-8: unexpected byte 0xFF in a string"},
      {R"({"NameEdit": "\udc00"})", 0,
       "malformed JSON at line 1, column 15: invalid \\u escape: a low surrogate without a high "
       "one"},
      {R"({"NameEdit": "\q"})", 0,
       "malformed JSON at line 1, column 15: invalid escape 'q' in a string"},
      {R"({"ConfigurationBox": 01})", 0,
       "malformed JSON at line 1, column 23: invalid number: a leading zero is followed by digits"},
      {R"({"CaselessBox": tru})", 0,
       "malformed JSON at line 1, column 17: invalid literal; expected true, false or null"},
      {"{} , {}", 1, "malformed JSON at line 1, column 4: unexpected ','; expected a value"},
      {"12x", 0,
       "malformed JSON at line 1, column 3: unexpected 'x'; expected white space after a value"},
  };
  for (const Case& c : cases) {
    for (std::size_t chunk : {std::size_t{1}, std::size_t{1} << 20}) {
      const ReadResult r = ReadAll(c.input, chunk);
      EXPECT_EQ(r.fault.value_or("(no fault)"), c.message) << c.input << " chunk " << chunk;
      EXPECT_EQ(r.designs.size(), c.designsBefore) << c.input;
    }
  }
}

// Reading in pieces of any size gives the same designs: strings holding
// brackets, quotes and escapes may straddle the pieces.
TEST(ReadDesigns, PieceSizesDoNotMatter) {
  const std::string input =
      "[{\"NameEdit\": \"a}]\\\"{[\\\\\", \"TLEdit\": \"\\u00e9\"},\n {\"NameEdit\": \"b\"}]"
      "\"str\" {\"NameEdit\": \"c\", \"Foo\": [[], {}, \"]\"]}\t{\"NameEdit\":\"d\"}";
  const ReadResult whole = ReadAll(input);
  ASSERT_FALSE(whole.fault) << *whole.fault;
  EXPECT_EQ(Names(whole), (std::vector<std::string>{"a}]\"{[\\", "b", "", "c", "d"}));
  EXPECT_EQ(whole.designs[0].input.TLEdit, "\u00e9");
  for (std::size_t chunk : {1, 2, 3, 5, 7, 64}) {
    const ReadResult r = ReadAll(input, chunk);
    EXPECT_FALSE(r.fault) << chunk;
    EXPECT_EQ(Names(r), Names(whole)) << chunk;
  }
}

// A fault far along a very long line, after the reader has let go of the
// start of that line, still gets its column right (counted in characters).
TEST(ReadDesigns, ColumnsSurviveLongLines) {
  constexpr std::size_t kCopies = 5000;  // 5000 x 17 characters, 90000 bytes
  std::string input = "\n\n";
  for (std::size_t i = 0; i < kCopies; ++i) input += "{\"NameEdit\":\"\u00e9\"} ";
  input += "{\"NameEdit\" 1}";
  const std::string expected = "malformed JSON at line 3, column " +
                               std::to_string(17 * kCopies + 13) + ": unexpected '1'; expected ':'";
  for (std::size_t chunk : {std::size_t{1000}, std::size_t{4099}, std::size_t{1} << 20}) {
    const ReadResult r = ReadAll(input, chunk);
    EXPECT_EQ(r.fault.value_or(""), expected) << chunk;
    EXPECT_EQ(r.designs.size(), kCopies);
  }
}

// Nesting is read without recursion up to the reader's depth limit (the
// design object is the first level); one level more is malformed.
TEST(ReadDesigns, DeepNestingIsReadWithoutRecursion) {
  const std::size_t depth = json::kMaxDepth - 1;
  const std::string nested = std::string(depth, '[') + std::string(depth, ']');
  const ReadResult skipped = ReadAll("{\"Foo\": " + nested + "}");
  ASSERT_FALSE(skipped.fault);
  ASSERT_EQ(skipped.designs.size(), 1u);
  EXPECT_EQ(skipped.designs[0].inputError.value_or(""), R"(design 1: unknown key "Foo")");

  const ReadResult deeper = ReadAll("{\"Foo\": [" + nested + "]}");
  EXPECT_EQ(deeper.fault.value_or(""),
            "malformed JSON at line 1, column " + std::to_string(8 + json::kMaxDepth) +
                ": nested deeper than " + std::to_string(json::kMaxDepth) + " levels");
  EXPECT_TRUE(deeper.designs.empty());

  const ReadResult open = ReadAll(std::string(200000, '['));
  EXPECT_EQ(open.fault.value_or(""),
            "malformed JSON at line 1, column " + std::to_string(json::kMaxDepth + 1) +
                ": nested deeper than " + std::to_string(json::kMaxDepth) + " levels");
}

}  // namespace
}  // namespace brennick::cli
