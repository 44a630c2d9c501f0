// A weapon table: one row per design with the figures a game master copies
// into a table of weapons, taken from the lines of the design's statblock so
// that the table always says what the statblock says.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "engine/design.h"

namespace brennick {

enum WeaponColumn : std::size_t {
  kColName,
  kColTL,
  kColDamage,
  kColAcc,
  kColRange,
  kColWeight,
  kColRoF,
  kColShots,
  kColST,
  kColBulk,
  kColRcl,
  kColMalf,
  kColCost,
  kColHP,
  kColLC,
  kColError,  // the message of a design that failed; empty when it completed
  kWeaponColumns
};

inline constexpr std::array<std::string_view, kWeaponColumns> kWeaponColumnTitles = {
    "Name", "TL",   "Damage", "Acc",  "Range", "Weight", "RoF", "Shots",
    "ST",   "Bulk", "Rcl",    "Malf", "Cost",  "HP",     "LC",  "Error"};

// The cells of one row, each figure exactly as the statblock writes it after
// its label ("3d+1 pi+", "280/2300", "-3", "$881", "Ver."). A figure the run
// did not reach, or a line the design does not have (RoF without a loading
// mechanism), is empty.
using WeaponRow = std::array<std::string, kWeaponColumns>;

// The row of a design run. The name and TL are the design's texts as typed,
// which the statblock's title line shows as they are.
WeaponRow WeaponRowOf(const DesignInput& design, const DesignResult& result);

// The figure a cell begins with, by which a table sorts its column: "$881" is
// 881, "-3" is -3, "3.21/0.51" and "3,21" are 3.21, "3d+1 pi+" is 3; nothing
// for "Ver.", an empty cell or a name that begins with no figure. A name or a
// TL is a text as typed, and its figure may be written in the decimal digits
// of any script that the window's text holds as single characters (U+0660 to
// U+0669 are 0 to 9 as well). At most `maxChars` characters are looked at, as
// a cell that shows only the beginning of a very long text is sorted by what
// it shows.
std::optional<double> LeadingFigure(std::string_view cell,
                                    std::size_t maxChars = std::string_view::npos);

// The figures of a row's cells, each its column's sort key.
using WeaponFigures = std::array<std::optional<double>, kWeaponColumns>;
WeaponFigures WeaponFiguresOf(const WeaponRow& row, std::size_t maxChars = std::string_view::npos);

// What a damage adds to its dice, by which damages of as many dice are
// ordered: "3d+1 pi+" is +1, "1d-5 pi-" -5, "2d pi" and "2d" 0. Nothing for
// a cell that begins with no dice ("", "Ver.", a name). Looks at no more
// than `maxChars` characters, as LeadingFigure.
std::optional<double> DamageAdds(std::string_view cell,
                                 std::size_t maxChars = std::string_view::npos);

enum class TableFormat { Markdown, Csv };

// Rows of a table in Markdown (a pipe table; characters Markdown would act on
// are escaped and line breaks become spaces) or in CSV (RFC 4180: fields
// quoted where they must be, records ended by CR LF; a text a spreadsheet
// would take for a formula, one beginning with =, +, -, @, a tab or a
// carriage return that is not a plain number, gets a leading apostrophe).
// The header row comes first; Markdown's includes the line under the titles.
void AppendTableHeader(std::string& out, TableFormat format);
void AppendTableRow(std::string& out, TableFormat format, const WeaponRow& row);
// The same with one more column after the weapon's: `lastTitle` heads it, and
// each row's `last` fills it (the armoury's design files, say).
void AppendTableHeader(std::string& out, TableFormat format, std::string_view lastTitle);
void AppendTableRow(std::string& out, TableFormat format, const WeaponRow& row,
                    std::string_view last);

}  // namespace brennick
