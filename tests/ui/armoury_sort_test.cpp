// The armoury's columns sort by the figures the rows keep: figures by value
// (damage by its dice, then what it adds) before texts, texts without regard
// to case, equal cells in the folder's order and empty cells last in either
// direction; a file that is no design, or a design with no name, by its
// file's name; a long text by what its cell shows. The figures read digits
// exactly as the window's text does.
#include <gtest/gtest.h>

#include <QApplication>
#include <QChar>
#include <QColor>
#include <QPalette>
#include <QString>
#include <string>
#include <vector>

#include "formats/weapon_table.h"
#include "ui/Armoury.h"

namespace {

using namespace brennick;

// Every character the window holds as one code unit is a digit for the
// figures exactly when Qt says it is one, with Qt's value.
TEST(ArmourySort, FiguresReadDigitsAsTheWindowDoes) {
  for (char32_t c = 0; c < 0x10000; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;  // half of a pair: no character
    const QChar q(static_cast<char16_t>(c));
    const QByteArray utf8 = QString(q).toUtf8();
    const std::optional<double> figure =
        LeadingFigure(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
    ASSERT_EQ(figure.has_value(), q.isDigit()) << std::hex << static_cast<unsigned>(c);
    if (figure) {
      ASSERT_EQ(*figure, q.digitValue()) << std::hex << static_cast<unsigned>(c);
    }
  }
}

// One column of rows and the order an ascending sort gives them, by the
// rows' places in the folder.
struct SortCase {
  const char* what;
  int column;
  std::vector<std::string> cells;
  std::vector<int> order;
};

std::vector<int> SortedRows(const std::vector<ArmouryRow>& rows, int column,
                            Qt::SortOrder direction = Qt::AscendingOrder) {
  TArmouryModel model;
  TArmouryFilter filter;
  filter.setSourceModel(&model);
  model.setRows(rows);
  filter.sort(column, direction);
  std::vector<int> order;
  for (int r = 0; r < filter.rowCount(); ++r) {
    order.push_back(filter.mapToSource(filter.index(r, column)).row());
  }
  return order;
}

TEST(ArmourySort, ColumnsSortByTheirFigures) {
  // Figures first, then texts, then the empty cell (r2).
  const SortCase cases[] = {
      {"bulk, negative figures and a tie",
       kColBulk,
       {"-3", "-10", "", "Ver.", "-3", "2"},
       {1, 0, 4, 5, 3, 2}},
      {"cost by value, not by text", kColCost, {"$881", "$94", "$3417", "$1678"}, {1, 0, 3, 2}},
      {"range by its first figure", kColRange, {"280/2300", "28/230", "1000/10000"}, {1, 0, 2}},
      // r0 and r2 are both 3 dice: -1 before +1.
      {"damage by its dice, then its adds",
       kColDamage,
       {"3d+1 pi+", "2d pi", "3d-1 pi+", "10d cr"},
       {1, 2, 0, 3}},
      {"either decimal separator; -0 and 0 equal, then by text",
       kColAcc,
       {"3,5", "3.25", "0", "-0"},
       {3, 2, 1, 0}},
      {"malfunction: texts after figures, equal texts in the folder's order",
       kColMalf,
       {"Ver.", "17", "ver.", "16"},
       {3, 1, 0, 2}},
      {"names: leading figures, then texts in any case",
       kColName,
       {"rifle", "Pistol", "10mm", "7mm", "Carbine", "\xD9\xA9mm"},
       {3, 5, 2, 4, 1, 0}},
  };
  for (const SortCase& c : cases) {
    std::vector<ArmouryRow> rows;
    for (std::size_t i = 0; i < c.cells.size(); ++i) {
      ArmouryRow row{"/armoury/design" + std::to_string(i) + ".json", {}, true};
      row.row[static_cast<std::size_t>(c.column)] = c.cells[i];
      row.row[kColName] = "Gun";  // a name, so that no file name stands in for it
      rows.push_back(row);
    }
    if (c.column == kColName) {
      for (std::size_t i = 0; i < c.cells.size(); ++i) rows[i].row[kColName] = c.cells[i];
    }
    EXPECT_EQ(SortedRows(rows, c.column), c.order) << c.what;
  }
}

std::vector<ArmouryRow> RowsOf(int column, const std::vector<std::string>& cells) {
  std::vector<ArmouryRow> rows;
  for (std::size_t i = 0; i < cells.size(); ++i) {
    ArmouryRow row{"/armoury/design" + std::to_string(i) + ".json", {}, true};
    row.row[kColName] = "Gun";
    row.row[static_cast<std::size_t>(column)] = cells[i];
    rows.push_back(row);
  }
  return rows;
}

// Damages the statblock writes, from the least to the most, given shuffled;
// then the same descending.
TEST(ArmourySort, DamageSortsByItsValue) {
  const std::vector<std::string> ascending = {
      "1d-5 pi-", "1d-4 pi-", "1d-3 pi",  "1d-2 pi", "1d-1 pi", "1d pi",
      "1d+1 pi",  "1d+2 pi",  "2d-1 pi",  "2d pi",   "2d+1 pi", "2d+2 pi",
      "3d-1 pi+", "10d cr",   "32d-1 cr", "32d cr",  "32d+2 cr"};
  // Shuffled as a text sort lists them: by the dice's digits, then '+' < '-'.
  const std::vector<int> given = {5, 6, 7, 4, 3, 2, 1, 0, 13, 9, 10, 11, 8, 12, 15, 16, 14};
  std::vector<std::string> cells(given.size());
  for (std::size_t i = 0; i < given.size(); ++i) {
    cells[i] = ascending[static_cast<std::size_t>(given[i])];
  }
  const std::vector<ArmouryRow> rows = RowsOf(kColDamage, cells);
  std::vector<std::string> shown;
  for (const int r : SortedRows(rows, kColDamage))
    shown.push_back(cells[static_cast<std::size_t>(r)]);
  EXPECT_EQ(shown, ascending);
  shown.clear();
  for (const int r : SortedRows(rows, kColDamage, Qt::DescendingOrder)) {
    shown.push_back(cells[static_cast<std::size_t>(r)]);
  }
  EXPECT_EQ(shown, std::vector<std::string>(ascending.rbegin(), ascending.rend()));
}

// Descending reverses the values, but equal cells keep the folder's order and
// empty or dashed cells stay last, whatever the direction.
TEST(ArmourySort, TiesAndBlanksHoldTheirPlacesDescending) {
  const SortCase cases[] = {
      {"bulk", kColBulk, {"-3", "", "-10", "-3", "-", "2"}, {5, 0, 3, 2, 1, 4}},
      {"malfunction", kColMalf, {"Ver.", "17", "", "ver.", "17"}, {0, 3, 1, 4, 2}},
      {"damage", kColDamage, {"2d pi", "", "2d cr", "2d+1 pi", "1d pi"}, {3, 0, 2, 4, 1}},
  };
  for (const SortCase& c : cases) {
    EXPECT_EQ(SortedRows(RowsOf(c.column, c.cells), c.column, Qt::DescendingOrder), c.order)
        << c.what;
  }
}

// A file that is no design shows its file's name in the Name column and
// sorts by it; the File column sorts by the names too.
TEST(ArmourySort, FilesSortByTheirNames) {
  std::vector<ArmouryRow> rows;
  for (const char* name : {"12 gauge.json", "9 mm.json", "broken.json", "3 bad.json"}) {
    ArmouryRow row{std::string("/armoury/") + name, {}, true};
    row.row[kColName] = "Shotgun";
    rows.push_back(row);
  }
  rows[3].design = false;
  rows[3].row[kColError] = "malformed JSON at line 1, column 2: unexpected end of input";
  // Names: 3 (the file that is no design), then the three "Shotgun" designs
  // in the folder's order.
  EXPECT_EQ(SortedRows(rows, kColName), (std::vector<int>{3, 0, 1, 2}));
  EXPECT_EQ(SortedRows(rows, TArmouryModel::kFileColumn), (std::vector<int>{3, 1, 0, 2}));
}

// A design whose name is empty shows its file's name, greyed in the theme's
// placeholder colour, and sorts by it; exports keep the empty name.
TEST(ArmourySort, ADesignWithNoNameShowsItsFileGreyed) {
  std::vector<ArmouryRow> rows;
  for (const char* name : {"zulu.json", "alpha.json", "mike.json", "bravo.json"}) {
    ArmouryRow row{std::string("/armoury/") + name, {}, true};
    rows.push_back(row);
  }
  rows[0].row[kColName] = "Carbine";
  rows[2].row[kColName] = "Musket";
  rows[3].design = false;  // no design: its file's name, in the colour of a failure
  rows[3].row[kColError] = "not a design";
  TArmouryModel model;
  model.setRows(rows);
  struct Shown {
    int row;
    const char* name;
    bool greyed;
  };
  const QColor grey = QApplication::palette().color(QPalette::PlaceholderText);
  for (const Shown& s : {Shown{0, "Carbine", false}, Shown{1, "alpha.json", true},
                         Shown{2, "Musket", false}, Shown{3, "bravo.json", false}}) {
    const QModelIndex name = model.index(s.row, kColName);
    EXPECT_EQ(name.data().toString(), QString::fromUtf8(s.name));
    EXPECT_EQ(name.data(TArmouryModel::kNamedByFileRole).toBool(), s.greyed) << s.name;
    EXPECT_EQ(name.data(Qt::ForegroundRole).value<QColor>() == grey, s.greyed) << s.name;
    // Only the name is greyed.
    EXPECT_NE(model.index(s.row, kColTL).data(Qt::ForegroundRole).value<QColor>(), grey);
  }
  // alpha.json, bravo.json, Carbine, Musket.
  EXPECT_EQ(SortedRows(rows, kColName), (std::vector<int>{1, 3, 0, 2}));
  EXPECT_EQ(model.rows()[1].row[kColName], "");
}

// A name longer than a cell shows sorts by the figure the cell shows: here
// 5e297 (its first 1,000 characters) before 1e300, where the whole name's
// 5e400 would be past every number.
TEST(ArmourySort, ALongTextSortsByWhatItsCellShows) {
  const std::string cut = "0." + std::string(700, '0') + "5" + std::string(400, '0');
  const std::string whole = "1" + std::string(300, '0') + " Rifle";
  std::vector<ArmouryRow> rows(2);
  rows[0].row[kColName] = whole;
  rows[1].row[kColName] = cut;
  EXPECT_EQ(SortedRows(rows, kColName), (std::vector<int>{1, 0}));
}

}  // namespace
