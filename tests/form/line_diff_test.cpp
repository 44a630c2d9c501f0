// Comparing two statblocks: which lines pair up, how they stand side by side
// and the text brennick-cli prints. Every expectation is worked out by hand
// from the two line lists.
#include "form/line_diff.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace brennick {
namespace {

using Lines = std::vector<std::string>;

std::string Side(std::size_t index) {
  return index == kNoLine ? std::string() : std::to_string(index);
}

// "=0:0 +:1": each line's change ('=' same, '-' removed, '+' added) and its
// index in the first and the second statblock.
std::string Describe(const std::vector<LineDiff>& diff) {
  std::string text;
  for (const LineDiff& line : diff) {
    if (!text.empty()) text += ' ';
    text += line.change == LineChange::Same ? '=' : line.change == LineChange::Removed ? '-' : '+';
    text += Side(line.a) + ":" + Side(line.b);
  }
  return text;
}

std::string Describe(const std::vector<SideBySideRow>& rows) {
  std::string text;
  for (const SideBySideRow& row : rows) {
    if (!text.empty()) text += ' ';
    text += row.mark == RowMark::Same ? '=' : RowMarker(row.mark);
    text += Side(row.a) + ":" + Side(row.b);
  }
  return text;
}

struct DiffCase {
  const char* what;
  Lines a;
  Lines b;
  const char* diff;
  const char* rows;
  const char* unified;  // after the "--- A" and "+++ B" header
};

void PrintTo(const DiffCase& c, std::ostream* os) {
  *os << c.what;
}

const DiffCase kCases[] = {
    {"identical", {"x", "y", "z"}, {"x", "y", "z"}, "=0:0 =1:1 =2:2", "=0:0 =1:1 =2:2", ""},
    {"both empty", {}, {}, "", "", ""},
    {"a line inserted marks that line alone",
     {"x", "y", "z"},
     {"x", "N", "y", "z"},
     "=0:0 +:1 =1:2 =2:3",
     "=0:0 +:1 =1:2 =2:3",
     "@@ -1,0 +2 @@\n+ N\n"},
    {"a line deleted",
     {"x", "y", "z"},
     {"x", "z"},
     "=0:0 -1: =2:1",
     "=0:0 -1: =2:1",
     "@@ -2 +1,0 @@\n- y\n"},
    {"a line changed",
     {"x", "y", "z"},
     {"x", "Y", "z"},
     "=0:0 -1: +:1 =2:2",
     "=0:0 ~1:1 =2:2",
     "@@ -2 +2 @@\n- y\n+ Y\n"},
    {"everything added", {}, {"x", "y"}, "+:0 +:1", "+:0 +:1", "@@ -0,0 +1,2 @@\n+ x\n+ y\n"},
    {"everything removed", {"x"}, {}, "-0:", "-0:", "@@ -1 +0,0 @@\n- x\n"},
    {"two changes apart are two hunks",
     {"a", "b", "c", "d", "e"},
     {"a", "B", "c", "d", "E"},
     "=0:0 -1: +:1 =2:2 =3:3 -4: +:4",
     "=0:0 ~1:1 =2:2 =3:3 ~4:4",
     "@@ -2 +2 @@\n- b\n+ B\n@@ -5 +5 @@\n- e\n+ E\n"},
    {"two lines replaced by one",
     {"x", "p", "q", "z"},
     {"x", "P", "z"},
     "=0:0 -1: -2: +:1 =3:2",
     "=0:0 ~1:1 -2: =3:2",
     "@@ -2,2 +2 @@\n- p\n- q\n+ P\n"},
    {"the common lines stay paired across a shift",
     {"h", "1", "2", "3", "t"},
     {"h", "2", "3", "4", "t"},
     "=0:0 -1: =2:1 =3:2 +:3 =4:4",
     "=0:0 -1: =2:1 =3:2 +:3 =4:4",
     "@@ -2 +1,0 @@\n- 1\n@@ -4,0 +4 @@\n+ 4\n"},
    {"a repeated line removed once",
     {"x", "x", "y"},
     {"x", "y"},
     "=0:0 -1: =2:1",
     "=0:0 -1: =2:1",
     "@@ -2 +1,0 @@\n- x\n"},
    {"a line with a line break keeps its marker on each part",
     {"n\nm"},
     {"k"},
     "-0: +:0",
     "~0:0",
     "@@ -1 +1 @@\n- n\n- m\n+ k\n"},
};

class LineDiffTest : public ::testing::TestWithParam<DiffCase> {};

TEST_P(LineDiffTest, PairsMarksAndPrintsTheDifferences) {
  const DiffCase& c = GetParam();
  const std::vector<LineDiff> diff = DiffLines(c.a, c.b);
  EXPECT_EQ(Describe(diff), c.diff);
  EXPECT_EQ(Describe(SideBySide(diff)), c.rows);
  const std::string unified = UnifiedDiff(c.a, c.b, "A", "B");
  EXPECT_EQ(unified, *c.unified ? std::string("--- A\n+++ B\n") + c.unified : std::string());
}

INSTANTIATE_TEST_SUITE_P(Statblocks, LineDiffTest, ::testing::ValuesIn(kCases));

TEST(LineDiff, ALongStatblockWithOneLineInsertedMarksOneLine) {
  Lines a;
  for (int i = 0; i < 60; ++i) a.push_back("line " + std::to_string(i));
  Lines b = a;
  b.insert(b.begin() + 5, "new");
  const std::vector<SideBySideRow> rows = SideBySide(DiffLines(a, b));
  ASSERT_EQ(rows.size(), 61u);
  for (std::size_t r = 0; r < rows.size(); ++r) {
    EXPECT_EQ(rows[r].mark, r == 5 ? RowMark::Added : RowMark::Same) << "row " << r;
  }
}

TEST(LineDiff, AFailedRunComparesItsMessageAsItsLastLine) {
  DesignResult failed;
  failed.lines.push_back("Pistol");
  failed.lines.push_back("TL9");
  failed.error = "'x' is not a valid integer value";
  EXPECT_EQ(ComparedLines(failed),
            (Lines{"Pistol", "TL9", "Error: 'x' is not a valid integer value"}));
  DesignResult completed;
  completed.lines.push_back("Pistol");
  EXPECT_EQ(ComparedLines(completed), Lines{"Pistol"});
}

TEST(LineDiff, TheHeaderNamesBothStatblocks) {
  EXPECT_EQ(UnifiedDiff({"a"}, {"b"}, "old.json", "new\nfile.json"),
            "--- old.json\n+++ new\n+++ file.json\n@@ -1 +1 @@\n- a\n+ b\n");
}

}  // namespace
}  // namespace brennick
