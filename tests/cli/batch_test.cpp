// A batch of designs: plain and JSON output, failures and input errors, the
// exit status, the order of the two output streams, and JSON string writing.
#include "cli/batch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <nlohmann/json.hpp>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/design.h"
#include "form/fields.h"
#include "formats/design_object.h"
#include "formats/json_text.h"

namespace brennick::cli {
namespace {

struct BatchResult {
  std::string out;
  std::string err;
  int status = -1;
};

json::ReadFn FromText(std::string_view text) {
  return [text](char* buffer, std::size_t size) mutable {
    const std::size_t n = std::min(size, text.size());
    std::memcpy(buffer, text.data(), n);
    text.remove_prefix(n);
    return n;
  };
}

BatchResult Process(std::string_view input, Format format, char dec = '.') {
  StringSink out;
  StringSink err;
  BatchResult r;
  r.status = ProcessDesigns(FromText(input), Options{format, dec}, out, err);
  r.out = out.text;
  r.err = err.text;
  return r;
}

BatchResult Process(std::string_view input, bool json = false, char dec = '.') {
  return Process(input, json ? Format::Json : Format::Plain, dec);
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find('\n', start);
    lines.push_back(text.substr(start, end - start));
    start = end == std::string::npos ? text.size() : end + 1;
  }
  return lines;
}

// A bore of -1 with no configuration: the damage line is written, then the
// square root of the bore in the range stage fails.
constexpr const char* kNegativeBore = R"({"NameEdit": "A", "BoreSizeEdit": "-1"})";
// A TL that is not a whole number fails the Pistol's damage stage at once.
constexpr const char* kBadTL =
    R"({"NameEdit": "B", "TLEdit": "9a", "BoreSizeEdit": "4", "ConfigurationBox": "Pistol"})";

TEST(ProcessDesigns, PlainTextSeparatesDesignsAndReportsFailuresOnErr) {
  const std::string input = std::string(R"({"BoreSizeEdit": ""})") + kNegativeBore + kBadTL;
  const BatchResult r = Process(input);
  EXPECT_EQ(r.out, " (TL9)\n\nA (TL9)\nDamage: 1d-5 pi-\n\nB (TL9a)\n");
  EXPECT_EQ(r.err,
            "design 1: '' is not a valid floating point value\n"
            "design 2: Invalid floating point operation\n"
            "design 3: '9a' is not a valid integer value\n");
  EXPECT_EQ(r.status, kExitDesignFailed);
}

TEST(ProcessDesigns, PlainTextSkipsDesignsWithInputErrors) {
  const BatchResult r = Process(R"({"BoreSizeEdit": ""} {"Foo": 1} {"BoreSizeEdit": ""})");
  EXPECT_EQ(r.out, " (TL9)\n\n (TL9)\n");
  EXPECT_EQ(r.err,
            "design 1: '' is not a valid floating point value\n"
            "design 2: unknown key \"Foo\"\n"
            "design 3: '' is not a valid floating point value\n");
  EXPECT_EQ(r.status, kExitInputError);
}

TEST(ProcessDesigns, JsonModeWritesOneObjectPerDesign) {
  const std::string input =
      std::string(R"({"BoreSizeEdit": ""} {"Foo": 1})") + kNegativeBore + R"([{"BarrelBox": 9}])";
  const BatchResult r = Process(input, true);
  EXPECT_EQ(r.out,
            "{\"statblock\": [\" (TL9)\"], \"error\": \"'' is not a valid floating point value\"}\n"
            "{\"statblock\": [], \"error\": \"design 2: unknown key \\\"Foo\\\"\", "
            "\"input_error\": true}\n"
            "{\"statblock\": [\"A (TL9)\", \"Damage: 1d-5 pi-\"], "
            "\"error\": \"Invalid floating point operation\"}\n"
            "{\"statblock\": [], \"error\": \"design 4, key \\\"BarrelBox\\\": item index 9 is "
            "outside -1..2\", \"input_error\": true}\n");
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.status, kExitInputError);
}

TEST(ProcessDesigns, CompletedDesignsAndNoDesignsExitWithZero) {
  EXPECT_EQ(Process("").status, kExitOk);
  EXPECT_EQ(Process(R"j({"BoreSizeEdit": "10", "ConfigurationBox": "Pistol", "BarrelBox": 1,
                         "LoadingMechanismBox": "Fast Autoloader (TL6)"})j",
                    true)
                .status,
            kExitOk);
}

TEST(ProcessDesigns, MalformedJsonStopsTheBatchAfterWhatCameBefore) {
  const char* input = "{\"BoreSizeEdit\": \"\"}\n{\"NameEdit\" 1}\n{\"BoreSizeEdit\": \"\"}";
  const BatchResult plain = Process(input);
  EXPECT_EQ(plain.out, " (TL9)\n");
  EXPECT_EQ(plain.err,
            "design 1: '' is not a valid floating point value\n"
            "malformed JSON at line 2, column 13: unexpected '1'; expected ':'\n");
  EXPECT_EQ(plain.status, kExitInputError);

  // In JSON mode too the message goes to standard error, not into the output.
  EXPECT_EQ(Process(input, true).err,
            "malformed JSON at line 2, column 13: unexpected '1'; expected ':'\n");
}

// 4 mm liquid-propellant Pistol, Short barrel, TL 9: 4 x 0.25 = 1 die; half
// range round(2 x 0.95 x 250 x 0.162) = 77, maximum 77 + 120 x 9 = 1157 ->
// 1200; boosted range 77 x 1.3 = 100.1 and 1560, the one place here where the
// decimal separator shows.
TEST(ProcessDesigns, DecimalSeparatorReadsAndWritesNumbers) {
  auto design = [](const char* bore) {
    return std::string(R"({"NameEdit": "LP", "BoreSizeEdit": ")") + bore +
           R"j(", "ConfigurationBox": "Pistol", "BarrelBox": "Short",
               "LoadingMechanismBox": "Fast Autoloader (TL6)",
               "PropellantBox": "Liquid Propellant"})j";
  };
  auto expected = [](const char* boosted) {
    return std::vector<std::string>{
        "LP (TL9)",
        "Damage: 1d pi-",
        "-Boosted Velocity: 1d+1 pi-. Each shot counts as 1.5 shots for purposes of draining the "
        "propellant bottle.",
        "-Low Velocity: 1d-3 pi-. Rolls to hear the weapon fire are made at -3. Each shot counts "
        "as 1/4 shot for purposes of draining the propellant bottle.",
        "Acc: 0",
        "Range: 77/1200",
        std::string("-Boosted Velocity: ") + boosted + "/1560",
        "-Low Velocity: 38/600",
    };
  };
  struct Case {
    char dec;
    const char* bore;
    const char* boosted;
  };
  for (const Case& c : {Case{'.', "4.0", "100.1"}, Case{',', "4,0", "100,1"}}) {
    const BatchResult r = Process(design(c.bore), false, c.dec);
    std::vector<std::string> lines = SplitLines(r.out);
    ASSERT_GE(lines.size(), 8u) << r.out << r.err;
    lines.resize(8);
    EXPECT_EQ(lines, expected(c.boosted)) << c.dec;
  }
  const BatchResult wrong = Process(design("4.0"), false, ',');
  EXPECT_EQ(wrong.out, "LP (TL9)\n");
  EXPECT_EQ(wrong.err, "design 1: '4.0' is not a valid floating point value\n");
}

// Both streams written into one log: each message follows the lines of its
// own design, as on a terminal.
TEST(ProcessDesigns, StandardOutputIsFlushedBeforeEachMessage) {
  struct Tagged : Sink {
    Tagged(std::string& into, char mark) : log(into), tag(mark) {}
    void Write(std::string_view data) override { (log += tag) += data; }
    std::string& log;
    char tag;
  };
  std::string log;
  Tagged out(log, 'O');
  Tagged err(log, 'E');
  ProcessDesigns(FromText(R"({"BoreSizeEdit": ""} {"BoreSizeEdit": ""})"), Options{}, out, err);
  EXPECT_EQ(log,
            "O (TL9)\n"
            "Edesign 1: '' is not a valid floating point value\n"
            "O\n (TL9)\n"
            "Edesign 2: '' is not a valid floating point value\n");
}

// Output that is ready goes out before the reader waits for more input, so a
// design piped in interactively gets its answer at once; a read failure ends
// the batch with a message.
TEST(ProcessDesigns, FlushesBeforeEachReadAndReportsReadFailures) {
  StringSink out;
  StringSink err;
  int calls = 0;
  std::string seenBySecondRead;
  const json::ReadFn read = [&](char* buffer, std::size_t size) -> std::size_t {
    if (++calls == 1) {
      const std::string piece = "{\"NameEdit\": \"A\", \"BoreSizeEdit\": \"\"}\n";
      EXPECT_GE(size, piece.size());
      std::memcpy(buffer, piece.data(), piece.size());
      return piece.size();
    }
    seenBySecondRead = out.text;
    throw std::runtime_error("cannot read 'pipe': Input/output error");
  };
  const int status = ProcessDesigns(read, Options{Format::Json, '.'}, out, err);
  EXPECT_EQ(seenBySecondRead,
            "{\"statblock\": [\"A (TL9)\"], \"error\": \"'' is not a valid floating point "
            "value\"}\n");
  EXPECT_EQ(out.text, seenBySecondRead);
  EXPECT_EQ(err.text, "brennick-cli: cannot read 'pipe': Input/output error\n");
  EXPECT_EQ(status, kExitInputError);
}

TEST(JsonQuoted, EscapesWhatJsonRequiresAndRepairsBadUtf8) {
  struct Case {
    std::string text;
    std::string quoted;
  };
  const std::string fffd = "\xEF\xBF\xBD";
  const Case cases[] = {
      {"", R"("")"},
      {"say \"hi\" \\ there", R"("say \"hi\" \\ there")"},
      {"\n\r\t\b\f", R"("\n\r\t\b\f")"},
      {std::string("a\0b\x1f\x7f", 5), "\"a\\u0000b\\u001f\x7f\""},
      {"ST 8\u2020 \u00e9 \U0001F600", "\"ST 8\u2020 \u00e9 \U0001F600\""},
      {"a\xff", "\"a" + fffd + "\""},
      {"\xe2\x80", "\"" + fffd + fffd + "\""},                        // cut short
      {"\xc0\xaf", "\"" + fffd + fffd + "\""},                        // overlong
      {"\xed\xa0\x80", "\"" + fffd + fffd + fffd + "\""},             // a surrogate
      {"\xf4\x90\x80\x80", "\"" + fffd + fffd + fffd + fffd + "\""},  // beyond U+10FFFF
  };
  for (const Case& c : cases) {
    EXPECT_EQ(json::Quoted(c.text), c.quoted);
    EXPECT_TRUE(nlohmann::json::accept(c.quoted)) << c.quoted;
  }
}

TEST(TemplateText, ListsTheSeparatorAndEveryFieldAndReadsBackAsTheStartForm) {
  const std::string text = DesignObjectText(DesignInput{}, DesignObjectStyle{});
  const auto parsed = nlohmann::ordered_json::parse(text);
  std::vector<std::string> keys;
  for (const auto& item : parsed.items()) keys.push_back(item.key());
  std::vector<std::string> names = {"DecimalSeparator"};
  for (const FieldInfo& f : DesignFields()) names.push_back(f.name);
  EXPECT_EQ(keys, names);

  std::vector<DesignEntry> designs;
  EXPECT_FALSE(ReadDesigns(text, '.', [&](DesignEntry& e) { designs.push_back(e); }));
  ASSERT_EQ(designs.size(), 1u);
  EXPECT_FALSE(designs[0].inputError);
  EXPECT_TRUE(designs[0].input == DesignInput{});
}

}  // namespace
}  // namespace brennick::cli

namespace brennick::cli {
namespace {

// A full disk or a closed terminal behind standard error costs no design:
// every statblock still goes to standard output, and the batch fails.
TEST(ProcessDesigns, StandardErrorThatCannotBeWrittenLosesNoDesign) {
  struct Broken : Sink {
    void Write(std::string_view) override { throw std::runtime_error("write error"); }
  };
  StringSink out;
  Broken err;
  const int status = ProcessDesigns(
      FromText("{\"NameEdit\":\"one\"}\n{\"NameEdit\":\"two\",\"BoreSizeEdit\":\"10\"}\n"
               "{\"NameEdit\":\"three\",\"BoreSizeEdit\":\"10\"}\n"),
      Options{}, out, err);
  EXPECT_EQ(status, kExitInputError);
  EXPECT_EQ(out.text.find("one (TL9)\n\ntwo (TL9)\n"), 0u) << out.text;
  EXPECT_NE(out.text.find("\n\nthree (TL9)\n"), std::string::npos) << out.text;
  EXPECT_EQ(out.text.substr(out.text.size() - 5), "LC 3\n");
}

// On standard error the NUL shows as \x00, as every control character does.
TEST(ProcessDesigns, MessagesCarryTheWholeTextAfterANul) {
  const std::string input = R"({"BoreSizeEdit": "10\u0000x"})";
  EXPECT_EQ(Process(input, true).out,
            "{\"statblock\": [\" (TL9)\"], \"error\": \"'10\\u0000x' is not a valid floating "
            "point value\"}\n");
  EXPECT_EQ(Process(input).err, "design 1: '10\\x00x' is not a valid floating point value\n");
}

// The answer to each design goes out before the batch reads on, in every
// shape of input and every output mode: linesAtRead[k] is the number of
// lines written when the (k+1)-th read began (a table's header goes first).
TEST(ProcessDesigns, EachDesignIsAnsweredBeforeTheNextRead) {
  struct Case {
    std::vector<std::string> pieces;
    Format format;
    std::vector<std::size_t> linesAtRead;
  };
  const std::string design = R"({"NameEdit": "A", "BoreSizeEdit": ""})";
  const Case cases[] = {
      {{"[\n", design + ",\n", design + "]\n"}, Format::Json, {0, 0, 1, 2}},
      {{design + "\n", design + "\n"}, Format::Json, {0, 1, 2}},
      {{"[" + design, ", " + design, "]"}, Format::Csv, {1, 2, 3, 3}},
      {{"{\n  \"NameEdit\": \"A\",\n", "  \"BoreSizeEdit\": \"\"\n}\n"},
       Format::Markdown,
       {2, 2, 3}},
      {{design, design}, Format::Plain, {0, 1, 3}},
  };
  for (const Case& c : cases) {
    StringSink out;
    StringSink err;
    std::vector<std::size_t> linesAtRead;
    std::size_t next = 0;
    const json::ReadFn read = [&](char* buffer, std::size_t size) -> std::size_t {
      linesAtRead.push_back(
          static_cast<std::size_t>(std::count(out.text.begin(), out.text.end(), '\n')));
      if (next == c.pieces.size()) return 0;
      const std::string& piece = c.pieces[next++];
      EXPECT_LE(piece.size(), size);
      std::memcpy(buffer, piece.data(), piece.size());
      return piece.size();
    };
    ProcessDesigns(read, Options{c.format, '.'}, out, err);
    EXPECT_EQ(linesAtRead, c.linesAtRead) << c.pieces[0];
  }
}

// A fault is reported from the piece that holds it: endless input after it
// (or made of it) is never read.
TEST(ProcessDesigns, AFaultIsReportedWithoutReadingOn) {
  struct Case {
    std::string first;
    const char* message;
  };
  const Case cases[] = {
      {R"({"BoreSizeEdit" 1)",
       "malformed JSON at line 1, column 17: unexpected '1'; expected ':'\n"},
      {std::string(4096, '\0'),
       "malformed JSON at line 1, column 1: unexpected U+0000; expected a value\n"},
      {"[{}, {}}", "malformed JSON at line 1, column 8: unexpected '}'; expected ',' or ']'\n"},
  };
  for (const Case& c : cases) {
    std::size_t reads = 0;
    const json::ReadFn endless = [&](char* buffer, std::size_t size) -> std::size_t {
      if (reads++ > 0) {
        std::memset(buffer, 0, size);
        return size;
      }
      std::memcpy(buffer, c.first.data(), c.first.size());
      return c.first.size();
    };
    StringSink out;
    StringSink err;
    EXPECT_EQ(ProcessDesigns(endless, Options{Format::Json, '.'}, out, err), kExitInputError);
    EXPECT_EQ(err.text, c.message);
    EXPECT_EQ(reads, 1u) << c.message;
  }
}

}  // namespace
}  // namespace brennick::cli

namespace brennick::cli {
namespace {

// JSON lines are written in place into the output buffer, which grows for an
// answer larger than itself, up to the longest name a field holds (written in
// escapes, six bytes a character). Every answer comes out whole and in order.
TEST(ProcessDesigns, JsonAnswersOfEverySizeComeOutWhole) {
  struct Row {
    std::size_t plain;  // U+0001 in the name, between its quote and its other escapes
    const char* what;
  };
  const Row rows[] = {
      {0, "short"},
      {11'700, "larger than a flush"},
      {23'400, "larger than the buffer"},
      {kMaxTextLength - 3, "the longest name"},
  };
  const auto escapes = [](std::size_t n) {
    std::string text;
    for (std::size_t i = 0; i < n; ++i) text += "\\u0001";
    return text;
  };
  std::string input;
  std::string expected;
  for (const Row& row : rows) {
    const std::string plain = escapes(row.plain);
    input += R"({"NameEdit": "\")" + plain + "\xC3\xA9\\u0001\"}\n";
    expected += R"({"statblock": ["\")" + plain + "\xC3\xA9\\u0001 (TL9)\"], " +
                R"("error": "'' is not a valid floating point value"})" + "\n";
  }
  const BatchResult r = Process(input, true);
  ASSERT_EQ(r.out.size(), expected.size());
  EXPECT_TRUE(r.out == expected);
  EXPECT_EQ(r.status, kExitDesignFailed);
  // Each on its own, so a fault names its row.
  for (const Row& row : rows) {
    const std::string plain = escapes(row.plain);
    const BatchResult one = Process(R"({"NameEdit": ")" + plain + "\"}", true);
    EXPECT_TRUE(one.out == R"({"statblock": [")" + plain + " (TL9)\"], " +
                               R"("error": "'' is not a valid floating point value"})" + "\n")
        << row.what;
  }
}

}  // namespace
}  // namespace brennick::cli

namespace brennick::cli {
namespace {

TEST(AppendVisible, ShowsWhatATerminalWouldActOn) {
  struct Case {
    std::string text;
    std::string shown;
  };
  const Case cases[] = {
      {"", ""},
      {"Pistol 7.62 \u2020 \u00e9 \u201cx\u201d \U0001F600",
       "Pistol 7.62 \u2020 \u00e9 \u201cx\u201d \U0001F600"},
      {"C:\\guns\\n", "C:\\guns\\n"},  // a typed backslash stays one
      {"a\nb\r\tc", "a\\nb\\r\\tc"},
      {"\x1b[8mhidden\x1b[0m", "\\x1B[8mhidden\\x1B[0m"},
      {std::string("\0\x01\x1f\x7f~", 5), "\\x00\\x01\\x1F\\x7F~"},
      {"\xc2\x85|\xc2\x9b|\xc2\x9f|\xc2\xa0",
       "\\xC2\\x85|\\xC2\\x9B|\\xC2\\x9F|\xc2\xa0"},  // C1 only
      {"a\xff", "a\\xFF"},
      {"\xe2\x80", "\\xE2\\x80"},                    // cut short
      {"\xc0\xaf", "\\xC0\\xAF"},                    // overlong
      {"\xed\xa0\x80", "\\xED\\xA0\\x80"},           // a surrogate
      {"\xf4\x90\x80\x80", "\\xF4\\x90\\x80\\x80"},  // beyond U+10FFFF
  };
  for (const Case& c : cases) {
    std::string shown = "[";
    AppendVisible(shown, c.text);
    EXPECT_EQ(shown, "[" + c.shown) << c.shown;
  }
  EXPECT_EQ(MessageLine("cannot open 'a\nb\xff'"), "cannot open 'a\\nb\\xFF'\n");
}

}  // namespace
}  // namespace brennick::cli
