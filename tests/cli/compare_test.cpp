// brennick-cli --compare: the lines that differ between two design files'
// statblocks, the exit status and the files at fault.
#include "cli/compare.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <initializer_list>
#include <string>
#include <type_traits>
#include <utility>

#include "tests/support/scratch_folder.h"

namespace brennick::cli {
namespace {

std::string TempFile(const std::string& name, const std::string& text) {
  // In the test program's scratch folder, removed when the program ends.
  const std::string path = testsupport::ProgramScratchFolder("brennick_compare").File(name);
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

// The start form with only a name fails at its empty bore after the title;
// with a bore of -1 it fails a line later.
constexpr const char* kNamedA = R"({"NameEdit": "A"})";
constexpr const char* kNamedB = R"({"NameEdit": "B"})";
constexpr const char* kNegativeBore = R"({"NameEdit": "A", "BoreSizeEdit": "-1"})";
constexpr const char* kEmptyBore = "Error: '' is not a valid floating point value";

struct CompareCase {
  const char* what;
  std::string a;
  std::string b;
  bool json;
  std::string out;  // after the header naming the files, when there are differences
  int status;
};

void PrintTo(const CompareCase& c, std::ostream* os) {
  *os << c.what;
}

const CompareCase kCases[] = {
    {"identical designs", kNamedA, kNamedA, false, "", kCompareIdentical},
    {"the window's Form member is passed over",
     R"({"NameEdit": "A", "Form": {"Disabled": [], "OnlyAuto": true}})", kNamedA, false, "",
     kCompareIdentical},
    {"a changed title", kNamedA, kNamedB, false, "@@ -1 +1 @@\n- A (TL9)\n+ B (TL9)\n",
     kCompareDiffer},
    {"a line more, and the failures compared as last lines", kNamedA, kNegativeBore, false,
     "@@ -2 +2,2 @@\n- " + std::string(kEmptyBore) +
         "\n+ Damage: 1d-5 pi-\n+ Error: Invalid floating point operation\n",
     kCompareDiffer},
    {"a name with a line break keeps the marker on each part", R"({"NameEdit": "A\nZ"})", kNamedA,
     false, "@@ -1 +1 @@\n- A\n- Z (TL9)\n+ A (TL9)\n", kCompareDiffer},
    {"identical as JSON", kNamedA, kNamedA, true,
     R"({"a": "A", "b": "B", "identical": true, "differences": []})"
     "\n",
     kCompareIdentical},
    {"differences as JSON", kNamedA, kNegativeBore, true,
     R"({"a": "A", "b": "B", "identical": false, "differences": [)"
     R"({"mark": "~", "a_line": 2, "a": "Error: '' is not a valid floating point value", )"
     R"("b_line": 2, "b": "Damage: 1d-5 pi-"}, )"
     R"({"mark": "+", "a_line": null, "a": null, "b_line": 3, )"
     R"("b": "Error: Invalid floating point operation"}]})"
     "\n",
     kCompareDiffer},
};

class CompareTest : public ::testing::TestWithParam<CompareCase> {};

TEST_P(CompareTest, PrintsTheDifferingLines) {
  const CompareCase& c = GetParam();
  const std::string a = TempFile("a.json", c.a);
  const std::string b = TempFile("b.json", c.b);
  StringSink out;
  StringSink err;
  // The names are the paths as given; JSON names them "A" and "B" here for
  // a fixed expectation.
  const int status = CompareDesignFiles(a, b, '.', c.json, out, err);
  std::string text = out.text;
  if (c.json) {
    for (const auto& [path, name] : {std::pair{a, "A"}, std::pair{b, "B"}}) {
      const auto at = text.find('"' + path + '"');
      if (at != std::string::npos) text.replace(at + 1, path.size(), name);
    }
    EXPECT_EQ(text, c.out);
  } else {
    EXPECT_EQ(text, c.out.empty() ? "" : "--- " + a + "\n+++ " + b + "\n" + c.out);
  }
  EXPECT_EQ(err.text, "");
  EXPECT_EQ(status, c.status);
}

INSTANTIATE_TEST_SUITE_P(Designs, CompareTest, ::testing::ValuesIn(kCases));

TEST(Compare, AFileAtFaultIsAnErrorNamingIt) {
  const std::string good = TempFile("good.json", kNamedA);
  const std::string missing = ::testing::TempDir() + "brennick_compare_no_such_file.json";
  const struct {
    std::string a;
    std::string b;
    std::string err;
  } cases[] = {
      {good, missing, "brennick-cli: cannot read '" + missing + "': No such file or directory\n"},
      {TempFile("two.json", "{}{}"), good,
       "brennick-cli: '" + TempFile("two.json", "{}{}") + "': expected one design object, got 2\n"},
      {good, TempFile("key.json", R"({"Nope": 1})"),
       "brennick-cli: '" + TempFile("key.json", R"({"Nope": 1})") +
           "': design 1: unknown key \"Nope\"\n"},
      {"-", "-", "brennick-cli: only one of A and B can be standard input\n"},
  };
  for (const auto& c : cases) {
    StringSink out;
    StringSink err;
    EXPECT_EQ(CompareDesignFiles(c.a, c.b, '.', false, out, err), kCompareError) << c.a;
    EXPECT_EQ(out.text, "");
    EXPECT_EQ(err.text, c.err);
  }
}

// The option as the program takes it: its exit statuses and its misuse.
TEST(Compare, TheProgramsExitStatus) {
  const std::string a = TempFile("run_a.json", kNamedA);
  const std::string b = TempFile("run_b.json", kNamedB);
  const struct {
    std::string args;
    int status;
  } cases[] = {
      {"--compare '" + a + "' '" + a + "'", 0},
      {"--compare '" + a + "' '" + b + "'", 1},
      {"--json --compare '" + a + "' '" + b + "'", 1},
      {"--compare - '" + b + "' <'" + a + "'", 1},
      {"--compare '" + a + "'", 2},
      {"--compare '" + a + "' '" + b + "' --table csv", 2},
  };
  for (const auto& c : cases) {
    const std::string command =
        std::string("'") + BRENNICK_CLI_PATH + "' " + c.args + " >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, c.status) << c.args;
  }
}

}  // namespace
}  // namespace brennick::cli
