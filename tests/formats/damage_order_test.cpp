// What a damage adds to its dice, the second key its column sorts by, and a
// table with one more column after the weapon's.
#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <string>

#include "formats/weapon_table.h"

namespace brennick {
namespace {

TEST(DamageAdds, OfDamagesAsTheStatblockWritesThem) {
  struct Case {
    const char* cell;
    std::optional<double> adds;
  };
  const Case cases[] = {
      {"3d+1 pi+", 1},       {"1d-5 pi-", -5},
      {"2d pi", 0},          {"2d", 0},
      {"1d+2", 2},           {"32d-1 cr", -1},
      {"10d+12", 12},        {"2d- pi", 0},
      {"", std::nullopt},    {"Ver.", std::nullopt},
      {"d+1", std::nullopt}, {"7mm Carbine", std::nullopt},
      {"12", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DamageAdds(c.cell), c.adds) << c.cell;
  }
  // No further than a cell shows: "3d" of "3d-1".
  EXPECT_EQ(DamageAdds("3d-1", 2), 0.0);
  EXPECT_EQ(DamageAdds("3d-1", 1), std::nullopt);
}

TEST(WeaponTable, OneMoreColumnAfterTheWeapons) {
  WeaponRow row;
  row[kColName] = "Pistol, \"Mk 2\"";
  row[kColCost] = "$881";
  struct Case {
    TableFormat format;
    std::string last;
    std::string header;
    std::string line;
  };
  const Case cases[] = {
      {TableFormat::Csv, "pistol.json",
       "Name,TL,Damage,Acc,Range,Weight,RoF,Shots,ST,Bulk,Rcl,Malf,Cost,HP,LC,Error,File\r\n",
       "\"Pistol, \"\"Mk 2\"\"\",,,,,,,,,,,,$881,,,,pistol.json\r\n"},
      // A file name a spreadsheet would take for a formula stays a text.
      {TableFormat::Csv, "=1+2.json",
       "Name,TL,Damage,Acc,Range,Weight,RoF,Shots,ST,Bulk,Rcl,Malf,Cost,HP,LC,Error,File\r\n",
       "\"Pistol, \"\"Mk 2\"\"\",,,,,,,,,,,,$881,,,,'=1+2.json\r\n"},
      {TableFormat::Markdown, "a_b.json",
       "| Name | TL | Damage | Acc | Range | Weight | RoF | Shots | ST | Bulk | Rcl | Malf | Cost "
       "| "
       "HP | LC | Error | File |\n"
       "|---|---|---|---|---|---|---|---|---|---|---|---|---|---|---|---|---|\n",
       "| Pistol, \"Mk 2\" |  |  |  |  |  |  |  |  |  |  |  | $881 |  |  |  | a\\_b.json |\n"},
  };
  for (const Case& c : cases) {
    std::string header;
    AppendTableHeader(header, c.format, "File");
    EXPECT_EQ(header, c.header);
    std::string line;
    AppendTableRow(line, c.format, row, c.last);
    EXPECT_EQ(line, c.line);
  }
}

}  // namespace
}  // namespace brennick
