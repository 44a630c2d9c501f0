#include "formats/weapon_table.h"

#include <algorithm>
#include <iterator>

#include "formats/json_text.h"

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

// The first code point of each run of ten decimal digits, 0 to 9, that lies
// below U+10000: the digits a figure may be written in. A character beyond
// U+FFFF is two UTF-16 code units in the window's text, neither of which is a
// digit, so no digit beyond it counts.
constexpr char16_t kDigitZeros[] = {0x0030, 0x0660, 0x06F0, 0x07C0, 0x0966, 0x09E6, 0x0A66, 0x0AE6,
                                    0x0B66, 0x0BE6, 0x0C66, 0x0CE6, 0x0D66, 0x0DE6, 0x0E50, 0x0ED0,
                                    0x0F20, 0x1040, 0x1090, 0x17E0, 0x1810, 0x1946, 0x19D0, 0x1A80,
                                    0x1A90, 0x1B50, 0x1BB0, 0x1C40, 0x1C50, 0xA620, 0xA8D0, 0xA900,
                                    0xA9D0, 0xA9F0, 0xAA50, 0xABF0, 0xFF10};

// The character at p (p < e): its code point and its length in bytes. A byte
// that is not valid UTF-8 is a character of its own that is no digit.
struct Char {
  char32_t code;
  std::size_t length;
};
Char CharAt(const char* p, const char* e) {
  const auto* u = reinterpret_cast<const unsigned char*>(p);
  const std::size_t n = json::Utf8SequenceLength(u, reinterpret_cast<const unsigned char*>(e));
  switch (n) {
    case 1:
      return {u[0], 1};
    case 2:
      return {static_cast<char32_t>((u[0] & 0x1F) << 6 | (u[1] & 0x3F)), 2};
    case 3:
      return {static_cast<char32_t>((u[0] & 0x0F) << 12 | (u[1] & 0x3F) << 6 | (u[2] & 0x3F)), 3};
    case 4:
      return {0x10000, 4};  // beyond U+FFFF: no digit, whichever it is
    default:
      return {0xFFFD, 1};
  }
}

// The value of a decimal digit, or -1 for any other character.
int DigitValue(char32_t c) {
  if (c < 0x80) return c >= '0' && c <= '9' ? static_cast<int>(c - '0') : -1;
  const auto* after = std::upper_bound(std::begin(kDigitZeros), std::end(kDigitZeros), c);
  if (after == std::begin(kDigitZeros)) return -1;
  const char32_t zero = after[-1];
  return c - zero < 10 ? static_cast<int>(c - zero) : -1;
}

}  // namespace

std::optional<double> LeadingFigure(std::string_view cell, std::size_t maxChars) {
  const char* p = cell.data();
  const char* const e = p + cell.size();
  std::size_t chars = 0;
  const auto next = [&](char c) {
    if (chars == maxChars || p == e || *p != c) return false;
    ++p;
    ++chars;
    return true;
  };
  next('$');
  const bool negative = next('-');
  // Digits are taken one by one, each after the separator worth a tenth of
  // the one before.
  double value = 0;
  double scale = 0;  // 0 before the decimal separator
  bool digits = false;
  for (; chars < maxChars && p < e; ++chars) {
    const Char c = CharAt(p, e);
    const int digit = DigitValue(c.code);
    if (digit >= 0) {
      digits = true;
      if (scale == 0) {
        value = value * 10 + digit;
      } else {
        value += digit * scale;
        scale /= 10;
      }
    } else if ((c.code == '.' || c.code == ',') && scale == 0 && digits) {
      scale = 0.1;
    } else {
      break;
    }
    p += c.length;
  }
  if (!digits) return std::nullopt;
  return negative ? -value : value;
}

WeaponFigures WeaponFiguresOf(const WeaponRow& row, std::size_t maxChars) {
  WeaponFigures figures;
  for (std::size_t column = 0; column < kWeaponColumns; ++column) {
    figures[column] = LeadingFigure(row[column], maxChars);
  }
  return figures;
}

std::optional<double> DamageAdds(std::string_view cell, std::size_t maxChars) {
  cell = cell.substr(0, maxChars);  // the statblock writes dice in ASCII: one byte a character
  const std::size_t d = cell.find_first_not_of("0123456789");
  if (d == 0 || d == std::string_view::npos || cell[d] != 'd') return std::nullopt;
  std::string_view adds = cell.substr(d + 1);
  if (adds.empty() || (adds.front() != '+' && adds.front() != '-')) return 0.0;
  const bool negative = adds.front() == '-';
  adds.remove_prefix(1);
  double value = 0;
  bool digits = false;
  for (; !adds.empty() && adds.front() >= '0' && adds.front() <= '9'; adds.remove_prefix(1)) {
    value = value * 10 + (adds.front() - '0');
    digits = true;
  }
  if (!digits) return 0.0;  // "2d-" adds nothing it could say
  return negative ? -value : value;
}

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

void AppendTableHeader(std::string& out, TableFormat format, std::string_view lastTitle) {
  std::array<std::string_view, kWeaponColumns + 1> titles;
  std::copy(kWeaponColumnTitles.begin(), kWeaponColumnTitles.end(), titles.begin());
  titles.back() = lastTitle;
  AppendCells(out, format, titles);
  if (format == TableFormat::Markdown) {
    for (std::size_t i = 0; i < titles.size(); ++i) out += "|---";
    out += "|\n";
  }
}

void AppendTableRow(std::string& out, TableFormat format, const WeaponRow& row,
                    std::string_view last) {
  std::array<std::string_view, kWeaponColumns + 1> cells;
  std::copy(row.begin(), row.end(), cells.begin());
  cells.back() = last;
  AppendCells(out, format, cells);
}

}  // namespace brennick
