// Rows of a weapon table: what a failed or unusual design gives, and the
// escaping of Markdown and CSV.
#include "formats/weapon_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <string>

namespace brennick {
namespace {

WeaponRow Row(const DesignInput& design) {
  return WeaponRowOf(design, RunDesign(design, '.'));
}

// A run that stops keeps the figures written before it stopped; a design
// without a loading mechanism has no RoF line.
TEST(WeaponTable, RowsOfFailedAndUnusualDesigns) {
  DesignInput badBore;
  badBore.NameEdit = "X";
  badBore.BoreSizeEdit = "abc";
  WeaponRow expected;
  expected[kColName] = "X";
  expected[kColTL] = "9";
  expected[kColError] = "'abc' is not a valid floating point value";
  EXPECT_EQ(Row(badBore), expected);

  // A bore of -1: damage 1d-5 pi- is written, then the range fails.
  DesignInput negative;
  negative.BoreSizeEdit = "-1";
  expected = WeaponRow{};
  expected[kColTL] = "9";
  expected[kColDamage] = "1d-5 pi-";
  expected[kColError] = "Invalid floating point operation";
  EXPECT_EQ(Row(negative), expected);

  // 10 mm Pistol with no loading mechanism: no RoF line and "Shots: " alone,
  // every other figure there.
  DesignInput noMechanism;
  noMechanism.BoreSizeEdit = "10";
  noMechanism.ConfigurationBox = kPistol;
  noMechanism.BarrelBox = kMedium;
  const WeaponRow row = Row(noMechanism);
  EXPECT_EQ(row[kColRoF], "");
  EXPECT_EQ(row[kColShots], "");
  for (const WeaponColumn c : {kColDamage, kColAcc, kColRange, kColWeight, kColST, kColBulk,
                               kColRcl, kColMalf, kColCost, kColHP, kColLC}) {
    EXPECT_NE(row[c], "") << kWeaponColumnTitles[c];
  }
  EXPECT_EQ(row[kColError], "");
}

TEST(WeaponTable, MarkdownAndCsvEscapeWhatTheyMust) {
  struct Case {
    std::string name;
    std::string markdown;
    std::string csv;
  };
  const Case cases[] = {
      {"Plain 7.62", "Plain 7.62", "Plain 7.62"},
      {"a|b", "a\\|b", "a|b"},
      {"*Mk* _2_ [x](y) <b> `c` ~d~ &amp; \\",
       "\\*Mk\\* \\_2\\_ \\[x\\](y) \\<b\\> \\`c\\` \\~d\\~ \\&amp; \\\\",
       "*Mk* _2_ [x](y) <b> `c` ~d~ &amp; \\"},
      {"two\nlines\r\n", "two lines  ", "\"two\nlines\r\n\""},
      {"Gun, \"Mk 2\"", "Gun, \"Mk 2\"", "\"Gun, \"\"Mk 2\"\"\""},
      {"", "", ""},
  };
  for (const Case& c : cases) {
    WeaponRow row;
    row[kColName] = c.name;
    row[kColLC] = "3";
    std::string markdown;
    AppendTableRow(markdown, TableFormat::Markdown, row);
    EXPECT_EQ(markdown, "| " + c.markdown + " |  |  |  |  |  |  |  |  |  |  |  |  |  | 3 |  |\n");
    std::string csv;
    AppendTableRow(csv, TableFormat::Csv, row);
    EXPECT_EQ(csv, c.csv + ",,,,,,,,,,,,,,3,\r\n");
  }
}

// Texts a spreadsheet would run as formulas get a leading apostrophe in CSV,
// in whichever cell they stand; figures that are plain numbers stay numbers.
// Markdown is not read by spreadsheets and stays as it was.
TEST(WeaponTable, CsvKeepsFormulasFromRunning) {
  struct Case {
    WeaponColumn column;
    std::string cell;
    std::string csv;
  };
  const Case cases[] = {
      {kColName, "=HYPERLINK(\"http://x\",\"y\")", "\"'=HYPERLINK(\"\"http://x\"\",\"\"y\"\")\""},
      {kColName, "+cmd|' /C calc'!A0", "'+cmd|' /C calc'!A0"},
      {kColName, "@SUM(1+1)", "'@SUM(1+1)"},
      {kColName, "-2+3", "'-2+3"},
      {kColName, "\t=1", "'\t=1"},
      {kColName, "\r=1", "\"'\r=1\""},
      {kColName, "=", "'="},
      {kColName, "Gun =1+1", "Gun =1+1"},
      {kColName, " =1+1", " =1+1"},
      {kColTL, "=1+1", "'=1+1"},
      {kColTL, "+9", "+9"},
      {kColBulk, "-3", "-3"},
      {kColBulk, "-3,5", "\"-3,5\""},
      {kColBulk, "-3.5", "-3.5"},
      {kColBulk, "-0", "-0"},
      {kColBulk, "-", "'-"},
      {kColBulk, "-3.", "'-3."},
      {kColBulk, "-.5", "'-.5"},
      {kColBulk, "--3", "'--3"},
      {kColST, "-1M", "'-1M"},
      {kColDamage, "1d-5 pi-", "1d-5 pi-"},
  };
  for (const Case& c : cases) {
    WeaponRow row;
    row[c.column] = c.cell;
    std::string expected;
    for (std::size_t i = 0; i < kWeaponColumns; ++i) {
      if (i != 0) expected += ',';
      if (i == c.column) expected += c.csv;
    }
    std::string csv;
    AppendTableRow(csv, TableFormat::Csv, row);
    EXPECT_EQ(csv, expected + "\r\n") << c.cell;
    std::string markdown;
    AppendTableRow(markdown, TableFormat::Markdown, row);
    EXPECT_EQ(std::count(markdown.begin(), markdown.end(), '\''),
              std::count(c.cell.begin(), c.cell.end(), '\''))
        << c.cell;
  }
}

}  // namespace
}  // namespace brennick
