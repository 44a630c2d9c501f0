// The figure a weapon table's cell begins with, by which its column sorts:
// a dollar sign and a minus before it, a decimal point or comma inside it,
// decimal digits of any script the window holds as single characters, and
// no more characters than it is told to look at.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "formats/weapon_table.h"

namespace brennick {
namespace {

TEST(LeadingFigure, OfCellsAsTheStatblockAndUsersWriteThem) {
  struct Case {
    std::string cell;
    std::optional<double> figure;
  };
  const Case cases[] = {
      {"$881", 881},
      {"$3417", 3417},
      {"-3", -3},
      {"-10", -10},
      {"$-5", -5},
      {"280/2300", 280},
      {"3.5/0.5", 3.5},
      {"3,5", 3.5},
      {"3d+1 pi+", 3},
      {"12.", 12},  // a separator with no digits after it adds nothing
      {"1.5.7", 1.5},
      {"1,5,7", 1.5},
      {"007", 7},
      {"-0", -0.0},
      {"10mm Pistol", 10},
      {"Ver.", std::nullopt},
      {"", std::nullopt},
      {"$", std::nullopt},
      {"-", std::nullopt},
      {"-$5", std::nullopt},  // the dollar comes first
      {"+2", std::nullopt},
      {".5", std::nullopt},
      {" 5", std::nullopt},
      {"Pistol 10", std::nullopt},
      // Arabic-Indic 3 and 4, extended Arabic-Indic 7, Devanagari 1 and 2,
      // fullwidth 1 and 2.
      {"\xD9\xA3\xD9\xA4", 34},
      {"\xDB\xB7.5", 7.5},
      {"\xE0\xA5\xA7\xE0\xA5\xA8", 12},
      {"\xEF\xBC\x91\xEF\xBC\x92 mm", 12},
      // Digits beyond U+FFFF (mathematical bold 1) are two code units in the
      // window, neither of them a digit; superscript two is no decimal digit.
      {"\xF0\x9D\x9F\x8F", std::nullopt},
      {"1\xF0\x9D\x9F\x8F", 1},
      {"\xC2\xB2", std::nullopt},
      // Bytes that are no UTF-8: an overlong '1', a lone continuation byte.
      {"\xC0\xB1", std::nullopt},
      {"2\x80"
       "3",
       2},
  };
  for (const Case& c : cases) {
    const std::optional<double> figure = LeadingFigure(c.cell);
    ASSERT_EQ(figure.has_value(), c.figure.has_value()) << c.cell;
    if (figure) {
      EXPECT_DOUBLE_EQ(*figure, *c.figure) << c.cell;
      EXPECT_EQ(std::signbit(*figure), std::signbit(*c.figure)) << c.cell;
    }
  }
}

// A long cell shows only its first characters: the figure is what it shows.
// Every character counts once, the sign, the dollar and a digit of three
// bytes alike.
TEST(LeadingFigure, LooksAtNoMoreCharactersThanItIsTold) {
  struct Case {
    std::string cell;
    std::size_t maxChars;
    std::optional<double> figure;
  };
  const Case cases[] = {
      {"12345", 3, 123},
      {"12345", 5, 12345},
      {"12345", 0, std::nullopt},
      {"$12", 2, 1},
      {"$12", 1, std::nullopt},
      {"-$12", 1, std::nullopt},
      {"-12", 2, -1},
      {"1.25", 2, 1},
      {"1.25", 3, 1.2},
      {"\xD9\xA3\xD9\xA4\xD9\xA5", 2, 34},
  };
  for (const Case& c : cases) {
    const std::optional<double> figure = LeadingFigure(c.cell, c.maxChars);
    ASSERT_EQ(figure.has_value(), c.figure.has_value()) << c.cell << " / " << c.maxChars;
    if (figure) {
      EXPECT_DOUBLE_EQ(*figure, *c.figure) << c.cell << " / " << c.maxChars;
    }
  }
}

TEST(LeadingFigure, EachCellOfARowHasItsOwn) {
  WeaponRow row;
  row[kColName] = "7mm Carbine";
  row[kColCost] = "$881";
  row[kColBulk] = "-4";
  row[kColMalf] = "Ver.";
  const WeaponFigures figures = WeaponFiguresOf(row);
  for (std::size_t column = 0; column < kWeaponColumns; ++column) {
    switch (column) {
      case kColName:
        EXPECT_EQ(figures[column], 7.0);
        break;
      case kColCost:
        EXPECT_EQ(figures[column], 881.0);
        break;
      case kColBulk:
        EXPECT_EQ(figures[column], -4.0);
        break;
      default:
        EXPECT_FALSE(figures[column]) << kWeaponColumnTitles[column];
    }
  }
  EXPECT_EQ(WeaponFiguresOf(row, 1)[kColCost], std::nullopt);
}

}  // namespace
}  // namespace brennick
