// Comparing two statblocks line by line, for the window's Compare and
// brennick-cli --compare alike.
//
// The lines are paired by a longest common subsequence: the lines both
// statblocks share, in order, stay paired, so one inserted line marks that
// line alone and not every line after it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "engine/design.h"

namespace brennick {

// What a line of the comparison is: in both statblocks, only in the first
// (removed) or only in the second (added).
enum class LineChange { Same, Removed, Added };

// One line of the comparison, with its 0-based index in the first statblock
// (Same, Removed) and in the second (Same, Added); kNoLine on the side it is
// missing from.
inline constexpr std::size_t kNoLine = static_cast<std::size_t>(-1);
struct LineDiff {
  LineChange change;
  std::size_t a;
  std::size_t b;
  friend bool operator==(const LineDiff&, const LineDiff&) = default;
};

// Every line of both statblocks in order: the shared lines once, and at each
// place where they part the first's lines before the second's.
std::vector<LineDiff> DiffLines(const std::vector<std::string>& a,
                                const std::vector<std::string>& b);

// A row of the two statblocks side by side. Where the first's lines were
// replaced by the second's, they stand beside each other as Changed rows,
// pair by pair; the lines left over are Removed (the first's alone) or Added
// (the second's alone).
enum class RowMark { Same, Changed, Removed, Added };
struct SideBySideRow {
  RowMark mark;
  std::size_t a;  // kNoLine on an Added row
  std::size_t b;  // kNoLine on a Removed row
  friend bool operator==(const SideBySideRow&, const SideBySideRow&) = default;
};
std::vector<SideBySideRow> SideBySide(const std::vector<LineDiff>& diff);

// The character that marks a row, so that a difference shows without
// colour: a space for Same, '~' Changed, '-' Removed, '+' Added.
char RowMarker(RowMark mark);

// The lines a statblock is compared by: the run's lines and, when the run
// stopped, its failure message as one more line "Error: <message>".
std::vector<std::string> ComparedLines(const DesignResult& result);

// The differences as text: "--- <nameA>" and "+++ <nameB>", then each place
// where they part as a hunk "@@ -<start>[,<count>] +<start>[,<count>] @@"
// (lines counted from 1; a count of 0 starts at the line before, a count of 1
// is left out) with the first's lines after "- " and the second's after "+ ".
// A line that holds a line break goes on after the same marker. Empty when
// the statblocks are identical.
std::string UnifiedDiff(const std::vector<std::string>& a, const std::vector<std::string>& b,
                        std::string_view nameA, std::string_view nameB);

}  // namespace brennick
