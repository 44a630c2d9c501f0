#include "formats/json_text.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#include "formats/internal/json_scan.h"

namespace brennick::json {

std::size_t Utf8SequenceLength(const unsigned char* p, const unsigned char* e) {
  const unsigned char c = p[0];
  std::size_t n;
  std::uint32_t min;
  std::uint32_t cp;
  if (c < 0x80) return 1;
  if (c >= 0xC2 && c <= 0xDF) {
    n = 2, min = 0x80, cp = c & 0x1F;
  } else if (c >= 0xE0 && c <= 0xEF) {
    n = 3, min = 0x800, cp = c & 0x0F;
  } else if (c >= 0xF0 && c <= 0xF4) {
    n = 4, min = 0x10000, cp = c & 0x07;
  } else {
    return 0;
  }
  if (static_cast<std::size_t>(e - p) < n) return 0;
  for (std::size_t i = 1; i < n; ++i) {
    if ((p[i] & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (p[i] & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return n;
}

std::size_t CountChars(const char* p, const char* e) {
  return static_cast<std::size_t>(
      std::count_if(p, e, [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

std::string ValidUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const auto* e = p + text.size();
  while (p < e) {
    const std::size_t n = Utf8SequenceLength(p, e);
    if (n == 0) {
      out += "\xEF\xBF\xBD";
      ++p;
    } else {
      out.append(reinterpret_cast<const char*>(p), n);
      p += n;
    }
  }
  return out;
}

namespace {

// Writes the character at p, one that cannot stand in a string literal as it
// is, in its escaped or checked form; returns the byte after it.
const char* WriteCareful(char*& out, const char* p, const char* end) {
  static constexpr char kHex[] = "0123456789abcdef";
  const auto put = [&out](std::string_view s) {
    std::memcpy(out, s.data(), s.size());
    out += s.size();
  };
  const auto c = static_cast<unsigned char>(*p);
  if (c >= 0x80) {
    const std::size_t n = Utf8SequenceLength(reinterpret_cast<const unsigned char*>(p),
                                             reinterpret_cast<const unsigned char*>(end));
    if (n == 0) {
      put("\xEF\xBF\xBD");  // U+FFFD for a byte that is not UTF-8
      return p + 1;
    }
    put(std::string_view(p, n));
    return p + n;
  }
  switch (c) {
    case '"':
      put("\\\"");
      break;
    case '\\':
      put("\\\\");
      break;
    case '\n':
      put("\\n");
      break;
    case '\r':
      put("\\r");
      break;
    case '\t':
      put("\\t");
      break;
    case '\b':
      put("\\b");
      break;
    case '\f':
      put("\\f");
      break;
    default:
      put("\\u00");
      *out++ = kHex[c >> 4];
      *out++ = kHex[c & 0xF];
  }
  return p + 1;
}

// Copies the bytes from p on to `out` up to the first that needs care or the
// end; returns where it stopped. Sixteen bytes at a time are copied whole and
// then looked at, counting only those before the first that needs care. `out`
// has room for at least as many bytes as are left, as every byte takes at
// least one in a string literal.
[[gnu::always_inline]] inline const char* CopyPlain(char*& out, const char* p, const char* end) {
  while (end - p >= static_cast<std::ptrdiff_t>(kScanBlock)) {
    // Taken once: a store through `out` could otherwise have to be read
    // around, as `out` might point into the text.
    char block[kScanBlock];
    std::memcpy(block, p, kScanBlock);
    std::memcpy(out, block, kScanBlock);
    const unsigned mask = CareMask(block);
    if (mask != 0) {
      const int plain = std::countr_zero(mask);
      out += plain;
      return p + plain;
    }
    out += kScanBlock;
    p += kScanBlock;
  }
  const std::size_t run = PlainAsciiRun(p, end);
  std::memcpy(out, p, run);
  out += run;
  return p + run;
}

}  // namespace

char* WriteQuoted(char* out, std::string_view text) {
  *out++ = '"';
  const char* p = text.data();
  const char* const end = p + text.size();
  while (p < end) {
    p = CopyPlain(out, p, end);
    if (p < end) p = WriteCareful(out, p, end);
  }
  *out++ = '"';
  return out;
}

char* WriteQuotedLines(char* out, std::string_view text, std::span<const std::size_t> ends) {
  if (ends.empty()) return out;
  // One pass over the whole text: the newline that ends a line needs care like
  // any control character, and is where one literal closes and the next opens.
  const char* const base = text.data();
  const char* const end = base + text.size();
  const char* p = base;
  std::size_t line = 0;
  const char* lineEnd = base + ends[0];
  *out++ = '"';
  for (;;) {
    p = CopyPlain(out, p, end);
    if (p == end) break;  // no newline at the last line's end: closed all the same
    if (p != lineEnd) {
      p = WriteCareful(out, p, end);
      continue;
    }
    ++p;
    if (++line == ends.size()) break;
    std::memcpy(out, "\", \"", 4);
    out += 4;
    lineEnd = base + ends[line];
  }
  *out++ = '"';
  return out;
}

void AppendQuoted(std::string& out, std::string_view text) {
  // Written in pieces, so a long text needs no more than a little over its own
  // size beyond what it takes quoted. A piece ends before a character's lead
  // byte, never inside a character.
  constexpr std::size_t kPiece = 4096;
  char room[QuotedBound(kPiece)];
  out.reserve(out.size() + text.size() + 2);
  bool first = true;
  do {
    std::size_t n = std::min(text.size(), kPiece);
    if (n < text.size()) {
      for (int back = 0; back < 3 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80; ++back) {
        --n;
      }
    }
    const char* const end = WriteQuoted(room, text.substr(0, n));
    // Each piece is written quoted; the quotes between pieces are left out.
    out.append(room + (first ? 0 : 1),
               static_cast<std::size_t>(end - room) - (first ? 0 : 1) - (n < text.size() ? 1 : 0));
    first = false;
    text.remove_prefix(n);
  } while (!text.empty());
}

std::string Quoted(std::string_view text) {
  std::string out;
  AppendQuoted(out, text);
  return out;
}

}  // namespace brennick::json
