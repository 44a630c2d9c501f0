// Writing JSON strings and checking UTF-8, shared by the JSON reader, the
// design objects and brennick-cli's output.
#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace brennick::json {

// Length of the valid UTF-8 sequence at p (p < e), or 0 when it is not valid.
std::size_t Utf8SequenceLength(const unsigned char* p, const unsigned char* e);

// The length a UTF-8 sequence starting with `lead` claims (1 to 4), or 1 for a
// byte that cannot start one.
inline std::size_t Utf8ClaimedLength(unsigned char lead) {
  return lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
}

// Bytes that end a run of plain ASCII that goes into a string literal as it is.
inline constexpr std::array<bool, 256> kNeedsCare = [] {
  std::array<bool, 256> t{};
  for (std::size_t c = 0; c < 256; ++c) t[c] = c < 0x20 || c >= 0x80 || c == '"' || c == '\\';
  return t;
}();

// Bytes from p (p <= e) up to the first one that cannot stand in a JSON string
// as it is: a control character, a quote, a backslash or a byte of a non-ASCII
// character. Looks at sixteen bytes at a time where the processor can, as most
// texts are plain ASCII; `readable` (at least e) is the end of the memory that
// may be read for that, initialised, so a short run at the end of a padded
// buffer need not be looked at byte by byte. Inline, as the reader and the
// writer call it for every key and text.
inline std::size_t PlainAsciiRun(const char* p, const char* e, const char* readable) {
  const char* const start = p;
#if defined(__SSE2__)
  // Sixteen bytes at a time: a signed compare below 0x20 catches both the
  // control characters and every byte of 0x80 and above.
  const __m128i space = _mm_set1_epi8(0x20);
  const __m128i quote = _mm_set1_epi8('"');
  const __m128i backslash = _mm_set1_epi8('\\');
  while (p < e && readable - p >= 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i care =
        _mm_or_si128(_mm_cmplt_epi8(v, space),
                     _mm_or_si128(_mm_cmpeq_epi8(v, quote), _mm_cmpeq_epi8(v, backslash)));
    const auto mask = static_cast<unsigned>(_mm_movemask_epi8(care));
    if (mask != 0) return static_cast<std::size_t>(std::min(p + std::countr_zero(mask), e) - start);
    p += 16;
  }
  if (p >= e) return static_cast<std::size_t>(e - start);
  if (e - start >= 16) {
    // The last few bytes of a longer text: the last sixteen bytes, less those
    // already looked at.
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(e - 16));
    const __m128i care =
        _mm_or_si128(_mm_cmplt_epi8(v, space),
                     _mm_or_si128(_mm_cmpeq_epi8(v, quote), _mm_cmpeq_epi8(v, backslash)));
    const auto mask = static_cast<unsigned>(_mm_movemask_epi8(care)) >> (16 - (e - p));
    return static_cast<std::size_t>((mask != 0 ? p + std::countr_zero(mask) : e) - start);
  }
#else
  (void)readable;
#endif
  while (p < e && !kNeedsCare[static_cast<unsigned char>(*p)]) ++p;
  return static_cast<std::size_t>(p - start);
}
inline std::size_t PlainAsciiRun(const char* p, const char* e) {
  return PlainAsciiRun(p, e, e);
}

// Characters (not bytes) in a piece of UTF-8 text, for column numbers.
std::size_t CountChars(const char* p, const char* e);

// `text` with every byte that is not valid UTF-8 replaced by U+FFFD.
std::string ValidUtf8(std::string_view text);

// `text` as a JSON string literal with its quotes. Bytes that are not valid
// UTF-8 become U+FFFD, so any text gives valid JSON.
void AppendQuoted(std::string& out, std::string_view text);
std::string Quoted(std::string_view text);

// The most bytes the quoted form of a text of `size` bytes takes: six for a
// byte written as \u00XX, and the quotes.
constexpr std::size_t QuotedBound(std::size_t size) {
  return 6 * size + 2;
}
// AppendQuoted into raw memory with room for QuotedBound(text.size()) bytes;
// returns the end of what was written.
char* WriteQuoted(char* out, std::string_view text);

// Lines as JSON string literals separated by ", " (the inside of an array):
// `text` holds them one after another, line i ending at the byte ends[i], a
// newline (as a statblock's text has it) that is not written. Needs room for
// QuotedBound(text.size()) bytes.
char* WriteQuotedLines(char* out, std::string_view text, std::span<const std::size_t> ends);

}  // namespace brennick::json
