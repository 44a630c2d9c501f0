// What the window shows of a text that may be very long. A name or a bore
// read from a file can be tens of thousands of characters without a space,
// and laying out such a run where it wraps takes time that grows with the
// square of its length. The derivation panel, the tooltips and the armoury's
// cells show at most the first characters of such a run or line, then a mark
// that says how many more there are; the text itself (the statblock, the
// derivations, the table's exports) keeps every character.
#pragma once

#include <QCoreApplication>
#include <QString>

namespace brennick::shown {

// The most characters shown of a run without a space or a line break, and of
// a line.
inline constexpr qsizetype kRun = 1000;
inline constexpr qsizetype kLine = 10000;

namespace detail {

inline bool IsLineBreak(char16_t c) {
  return c == u'\n' || c == u'\r' || c == u'\u2028' || c == u'\u2029';
}

// A space a line may wrap at: no-break spaces hold their run together.
inline bool IsBreakingSpace(QChar c) {
  return c.isSpace() && c != u'\u00A0' && c != u'\u2007' && c != u'\u202F' && c != u'\uFEFF';
}

// The length of the character starting at `at`: 2 for a surrogate pair.
inline qsizetype CharLength(const QString& text, qsizetype at) {
  return at + 1 < text.size() && text[at].isHighSurrogate() && text[at + 1].isLowSurrogate() ? 2
                                                                                             : 1;
}

}  // namespace detail

// "…(12,345 more characters)": what stands for the characters left out.
inline QString MoreMark(qsizetype count) {
  QString digits = QString::number(count);
  for (qsizetype at = digits.size() - 3; at > 0; at -= 3) digits.insert(at, QLatin1Char(','));
  return count == 1 ? QCoreApplication::translate("brennick::shown", "\u2026(%1 more character)")
                          .arg(digits)
                    : QCoreApplication::translate("brennick::shown", "\u2026(%1 more characters)")
                          .arg(digits);
}

// The longest run of `text` without a space or a line break, in characters.
inline qsizetype LongestRun(const QString& text) {
  qsizetype longest = 0;
  qsizetype run = 0;
  for (qsizetype at = 0; at < text.size(); at += detail::CharLength(text, at)) {
    const QChar c = text[at];
    run = detail::IsLineBreak(c.unicode()) || detail::IsBreakingSpace(c) ? 0 : run + 1;
    if (run > longest) longest = run;
  }
  return longest;
}

// `text` as shown: a run longer than `run` characters shows its first `run`,
// a line longer than `line` its first `line`, each followed by MoreMark() of
// what is left out of it. A text within both limits is returned unchanged.
// Characters are counted whole: a surrogate pair is one, and is never split.
inline QString ShownText(const QString& text, qsizetype run = kRun, qsizetype line = kLine) {
  if (text.size() <= run && text.size() <= line) return text;
  QString shown;
  qsizetype inRun = 0;
  qsizetype inLine = 0;
  qsizetype copied = 0;  // text before this is in `shown`
  qsizetype at = 0;
  while (at < text.size()) {
    const QChar c = text[at];
    if (detail::IsLineBreak(c.unicode())) {
      inRun = inLine = 0;
      ++at;
      continue;
    }
    const bool space = detail::IsBreakingSpace(c);
    if (inLine == line || (!space && inRun == run)) {
      // Leave out the rest of the line, or of the run up to its next space.
      const bool wholeLine = inLine == line;
      qsizetype left = 0;
      qsizetype end = at;
      while (end < text.size() && !detail::IsLineBreak(text[end].unicode()) &&
             (wholeLine || !detail::IsBreakingSpace(text[end]))) {
        end += detail::CharLength(text, end);
        ++left;
      }
      shown += QStringView(text).mid(copied, at - copied);
      shown += MoreMark(left);
      copied = at = end;
      inRun = 0;
      continue;
    }
    inRun = space ? 0 : inRun + 1;
    ++inLine;
    at += detail::CharLength(text, at);
  }
  if (copied == 0) return text;
  shown += QStringView(text).mid(copied);
  return shown;
}

}  // namespace brennick::shown
