// A weapon table: one row per design with the figures a game master copies
// into a table of weapons, taken from the lines of the design's statblock so
// that the table always says what the statblock says.
#pragma once

#include <array>
#include <cstddef>
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

enum class TableFormat { Markdown, Csv };

// Rows of a table in Markdown (a pipe table; characters Markdown would act on
// are escaped and line breaks become spaces) or in CSV (RFC 4180: fields
// quoted where they must be, records ended by CR LF; a text a spreadsheet
// would take for a formula, one beginning with =, +, -, @, a tab or a
// carriage return that is not a plain number, gets a leading apostrophe).
// The header row comes first; Markdown's includes the line under the titles.
void AppendTableHeader(std::string& out, TableFormat format);
void AppendTableRow(std::string& out, TableFormat format, const WeaponRow& row);

}  // namespace brennick
