#include "formats/weapon_table.h"

namespace brennick {
namespace {

// The statblock lines whose figure goes into a column, by the label the line
// begins with. Only the weapon's own block counts, from the line after the
// title to the first separator: the notes further down may begin with the
// same words ("Malf Ver. means ...").
struct Label {
  WeaponColumn column;
  std::string_view label;
};
constexpr Label kLabels[] = {
    {kColDamage, "Damage: "}, {kColAcc, "Acc: "},  {kColRange, "Range: "},
    {kColWeight, "Weight: "}, {kColRoF, "RoF: "},  {kColShots, "Shots: "},
    {kColST, "ST "},          {kColBulk, "Bulk "}, {kColRcl, "Rcl "},
    {kColMalf, "Malf "},      {kColCost, "Cost "}, {kColHP, "HP: "},
};
constexpr std::string_view kSeparator = " ";
constexpr std::string_view kLegality = "LC ";

void AppendMarkdownCell(std::string& out, std::string_view cell) {
  for (const char c : cell) {
    switch (c) {
      case '\\':
      case '`':
      case '*':
      case '_':
      case '[':
      case ']':
      case '<':
      case '>':
      case '|':
      case '~':
      case '&':
        out += '\\';
        out += c;
        break;
      case '\n':
      case '\r':
        out += ' ';
        break;
      default:
        out += c;
    }
  }
}

// A figure as the statblock writes a plain number: an optional sign, digits
// and perhaps a decimal point or comma with more digits ("-3", "-3,5", "+2").
bool IsPlainNumber(std::string_view cell) {
  const auto digits = [&cell] {
    const std::size_t n = cell.find_first_not_of("0123456789");
    const std::size_t count = n == std::string_view::npos ? cell.size() : n;
    cell.remove_prefix(count);
    return count;
  };
  if (!cell.empty() && (cell.front() == '-' || cell.front() == '+')) cell.remove_prefix(1);
  if (digits() == 0) return false;
  if (!cell.empty() && (cell.front() == '.' || cell.front() == ',')) {
    cell.remove_prefix(1);
    if (digits() == 0) return false;
  }
  return cell.empty();
}

// A spreadsheet opening the file takes a cell that begins with one of these
// for a formula (or, with a tab or carriage return first, may be led to):
// a name like =HYPERLINK(...) would run as one.
bool ReadAsFormula(std::string_view cell) {
  return !cell.empty() &&
         std::string_view("=+-@\t\r").find(cell.front()) != std::string_view::npos &&
         !IsPlainNumber(cell);
}

void AppendCsvField(std::string& out, std::string_view field) {
  // A leading apostrophe keeps such a text a text; a figure like a Bulk of
  // -3 stays a number.
  const std::string_view guard = ReadAsFormula(field) ? "'" : "";
  if (field.find_first_of(",\"\r\n") == std::string_view::npos) {
    out += guard;
    out += field;
    return;
  }
  out += '"';
  out += guard;
  for (const char c : field) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

template <typename Cells>
void AppendCells(std::string& out, TableFormat format, const Cells& cells) {
  bool first = true;
  for (std::string_view cell : cells) {
    if (format == TableFormat::Markdown) {
      out += first ? "| " : " | ";
      AppendMarkdownCell(out, cell);
    } else {
      if (!first) out += ',';
      AppendCsvField(out, cell);
    }
    first = false;
  }
  out += format == TableFormat::Markdown ? " |\n" : "\r\n";
}

}  // namespace

WeaponRow WeaponRowOf(const DesignInput& design, const DesignResult& result) {
  WeaponRow row;
  row[kColName] = design.NameEdit;
  row[kColTL] = design.TLEdit;
  enum class Block { Title, Weapon, Notes, Ammunition } block = Block::Title;
  for (std::string_view line : result.lines) {
    switch (block) {
      case Block::Title:
        block = Block::Weapon;
        break;
      case Block::Weapon:
        if (line == kSeparator) {
          block = Block::Notes;
          break;
        }
        for (const Label& l : kLabels) {
          if (line.substr(0, l.label.size()) == l.label && row[l.column].empty()) {
            row[l.column] = line.substr(l.label.size());
            break;
          }
        }
        break;
      case Block::Notes:
      case Block::Ammunition:
        // The ammunition block follows the last separator and ends with the
        // legality class.
        if (line == kSeparator) {
          block = Block::Ammunition;
          row[kColLC].clear();
        } else if (block == Block::Ammunition && line.substr(0, kLegality.size()) == kLegality) {
          row[kColLC] = line.substr(kLegality.size());
        }
        break;
    }
  }
  if (result.error) row[kColError] = *result.error;
  return row;
}

void AppendTableHeader(std::string& out, TableFormat format) {
  AppendCells(out, format, kWeaponColumnTitles);
  if (format == TableFormat::Markdown) {
    for (std::size_t i = 0; i < kWeaponColumns; ++i) out += "|---";
    out += "|\n";
  }
}

void AppendTableRow(std::string& out, TableFormat format, const WeaponRow& row) {
  AppendCells(out, format, row);
}

}  // namespace brennick
