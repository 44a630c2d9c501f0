#include "form/line_diff.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>

namespace brennick {
namespace {

// The most cells the table of common lengths may have. A statblock has some
// fifty lines, so two of them need a few thousand; beyond this the middle
// part is given as all removed, then all added, which is still a correct
// comparison, only not the shortest.
constexpr std::size_t kMaxTableCells = std::size_t{1} << 22;

void AppendLines(std::string& out, std::string_view marker, std::string_view line) {
  // Every output line carries its marker, a line break inside a line too.
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = line.find('\n', start);
    out += marker;
    out += line.substr(start, end == std::string_view::npos ? end : end - start);
    out += '\n';
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
}

// "3", "3,2" or "2,0": where a hunk's lines stand in one statblock.
std::string Range(std::size_t first, std::size_t count) {
  // A hunk without lines on this side names the line after which the other
  // side's lines go.
  const std::size_t start = count == 0 ? first : first + 1;
  std::string text = std::to_string(start);
  if (count != 1) text += "," + std::to_string(count);
  return text;
}

}  // namespace

std::vector<LineDiff> DiffLines(const std::vector<std::string>& a,
                                const std::vector<std::string>& b) {
  std::vector<LineDiff> diff;
  diff.reserve(std::max(a.size(), b.size()));
  // The shared first and last lines need no table.
  std::size_t head = 0;
  while (head < a.size() && head < b.size() && a[head] == b[head]) ++head;
  std::size_t tail = 0;
  while (tail < a.size() - head && tail < b.size() - head &&
         a[a.size() - 1 - tail] == b[b.size() - 1 - tail]) {
    ++tail;
  }
  for (std::size_t i = 0; i < head; ++i) diff.push_back({LineChange::Same, i, i});

  const std::size_t n = a.size() - head - tail;
  const std::size_t m = b.size() - head - tail;
  if (n != 0 && m != 0 && (n + 1) * (m + 1) <= kMaxTableCells) {
    // common[i][j]: the length of the longest common subsequence of the
    // middle lines of a from i and of b from j.
    const std::size_t width = m + 1;
    std::vector<std::uint32_t> common((n + 1) * width, 0);
    for (std::size_t i = n; i-- > 0;) {
      for (std::size_t j = m; j-- > 0;) {
        common[i * width + j] = a[head + i] == b[head + j] ? common[(i + 1) * width + j + 1] + 1
                                                           : std::max(common[(i + 1) * width + j],
                                                                      common[i * width + j + 1]);
      }
    }
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < n || j < m) {
      if (i < n && j < m && a[head + i] == b[head + j]) {
        diff.push_back({LineChange::Same, head + i++, head + j++});
      } else if (j == m || (i < n && common[(i + 1) * width + j] >= common[i * width + j + 1])) {
        diff.push_back({LineChange::Removed, head + i++, kNoLine});
      } else {
        diff.push_back({LineChange::Added, kNoLine, head + j++});
      }
    }
  } else {
    for (std::size_t i = 0; i < n; ++i) diff.push_back({LineChange::Removed, head + i, kNoLine});
    for (std::size_t j = 0; j < m; ++j) diff.push_back({LineChange::Added, kNoLine, head + j});
  }

  for (std::size_t k = 0; k < tail; ++k) {
    diff.push_back({LineChange::Same, head + n + k, head + m + k});
  }
  return diff;
}

std::vector<SideBySideRow> SideBySide(const std::vector<LineDiff>& diff) {
  std::vector<SideBySideRow> rows;
  rows.reserve(diff.size());
  for (std::size_t k = 0; k < diff.size();) {
    if (diff[k].change == LineChange::Same) {
      rows.push_back({RowMark::Same, diff[k].a, diff[k].b});
      ++k;
      continue;
    }
    // One place where the statblocks part: its removed and added lines.
    std::vector<std::size_t> removed;
    std::vector<std::size_t> added;
    for (; k < diff.size() && diff[k].change != LineChange::Same; ++k) {
      if (diff[k].change == LineChange::Removed) {
        removed.push_back(diff[k].a);
      } else {
        added.push_back(diff[k].b);
      }
    }
    const std::size_t pairs = std::min(removed.size(), added.size());
    for (std::size_t p = 0; p < pairs; ++p)
      rows.push_back({RowMark::Changed, removed[p], added[p]});
    for (std::size_t p = pairs; p < removed.size(); ++p) {
      rows.push_back({RowMark::Removed, removed[p], kNoLine});
    }
    for (std::size_t p = pairs; p < added.size(); ++p) {
      rows.push_back({RowMark::Added, kNoLine, added[p]});
    }
  }
  return rows;
}

char RowMarker(RowMark mark) {
  switch (mark) {
    case RowMark::Same:
      return ' ';
    case RowMark::Changed:
      return '~';
    case RowMark::Removed:
      return '-';
    case RowMark::Added:
      return '+';
  }
  return '?';
}

std::vector<std::string> ComparedLines(const DesignResult& result) {
  std::vector<std::string> lines;
  lines.reserve(result.lines.size() + 1);
  for (const std::string_view line : result.lines) lines.emplace_back(line);
  if (result.error) lines.push_back("Error: " + *result.error);
  return lines;
}

std::string UnifiedDiff(const std::vector<std::string>& a, const std::vector<std::string>& b,
                        std::string_view nameA, std::string_view nameB) {
  const std::vector<LineDiff> diff = DiffLines(a, b);
  std::string out;
  // Where the next line of each statblock stands.
  std::size_t nextA = 0;
  std::size_t nextB = 0;
  for (std::size_t k = 0; k < diff.size();) {
    if (diff[k].change == LineChange::Same) {
      nextA = diff[k].a + 1;
      nextB = diff[k].b + 1;
      ++k;
      continue;
    }
    if (out.empty()) {
      AppendLines(out, "--- ", nameA);
      AppendLines(out, "+++ ", nameB);
    }
    std::size_t end = k;
    std::size_t removed = 0;
    std::size_t added = 0;
    for (; end < diff.size() && diff[end].change != LineChange::Same; ++end) {
      (diff[end].change == LineChange::Removed ? removed : added) += 1;
    }
    out += "@@ -" + Range(nextA, removed) + " +" + Range(nextB, added) + " @@\n";
    for (std::size_t r = k; r < end; ++r) {
      if (diff[r].change == LineChange::Removed) AppendLines(out, "- ", a[diff[r].a]);
    }
    for (std::size_t r = k; r < end; ++r) {
      if (diff[r].change == LineChange::Added) AppendLines(out, "+ ", b[diff[r].b]);
    }
    nextA += removed;
    nextB += added;
    k = end;
  }
  return out;
}

}  // namespace brennick
