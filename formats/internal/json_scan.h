// The scan for plain runs of JSON string text, private to formats/: the JSON
// reader and the string writer look at every byte of every key and text with
// it, so it is inline, and only their sources include it (with the processor's
// own header where it has one).
#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace brennick::json {

// Bytes that end a run of plain ASCII that goes into a string literal as it
// is: a control character, a quote, a backslash or a byte of a non-ASCII
// character.
inline constexpr std::array<bool, 256> kNeedsCare = [] {
  std::array<bool, 256> t{};
  for (std::size_t c = 0; c < 256; ++c) t[c] = c < 0x20 || c >= 0x80 || c == '"' || c == '\\';
  return t;
}();

// The bytes looked at together.
inline constexpr std::size_t kScanBlock = 16;

// The block of sixteen bytes at p as a mask, bit i set when byte p[i] needs
// care (kNeedsCare). Two words of eight bytes, each byte told in place with
// plain integer arithmetic (SWAR, "SIMD within a register"): the low seven
// bits of a byte plus 0x60 reach its top bit exactly when they are at least
// 0x20, and its low seven bits, xor a character, plus 0x7F reach its top bit
// exactly when they are not that character; no sum carries into the next
// byte. A byte whose own top bit is set needs care whatever the rest says.
// Built everywhere, so that its results are checked against the processor's
// own scan wherever that exists.
inline unsigned CareMaskSwar(const char* p) {
  constexpr std::uint64_t kOnes = 0x0101010101010101u;
  constexpr std::uint64_t kLow7 = 0x7F * kOnes;
  constexpr std::uint64_t kTop = 0x80 * kOnes;
  const auto word = [](const char* q) {
    std::uint64_t w;
    std::memcpy(&w, q, sizeof w);
    if constexpr (std::endian::native == std::endian::big) {
      std::uint64_t swapped = 0;
      for (int i = 0; i < 8; ++i) swapped |= ((w >> (8 * i)) & 0xFF) << (56 - 8 * i);
      w = swapped;
    }
    return w;  // byte i of the block in bits 8i to 8i + 7
  };
  const auto mask = [&](std::uint64_t w) {
    const std::uint64_t low = w & kLow7;
    const std::uint64_t atLeastSpace = low + (0x80 - 0x20) * kOnes;
    const std::uint64_t notQuote = (low ^ ('"' * kOnes)) + kLow7;
    const std::uint64_t notBackslash = (low ^ ('\\' * kOnes)) + kLow7;
    const std::uint64_t care = (w | ~(atLeastSpace & notQuote & notBackslash)) & kTop;
    // The top bit of byte i to bit i: the multiplier's bytes gather the eight
    // bits into the top byte without any two products meeting.
    return static_cast<unsigned>(((care >> 7) * 0x0102040810204080u) >> 56);
  };
  return mask(word(p)) | mask(word(p + 8)) << 8;
}

#if defined(__SSE2__)
// The same with the processor's sixteen-byte registers (SSE2 scan): a signed
// compare below 0x20 catches both the control characters and every byte of
// 0x80 and above.
inline unsigned CareMaskSse2(const char* p) {
  const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  const __m128i care = _mm_or_si128(
      _mm_cmplt_epi8(v, _mm_set1_epi8(0x20)),
      _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('"')), _mm_cmpeq_epi8(v, _mm_set1_epi8('\\'))));
  return static_cast<unsigned>(_mm_movemask_epi8(care));
}
inline unsigned CareMask(const char* p) {
  return CareMaskSse2(p);
}
#else
inline unsigned CareMask(const char* p) {
  return CareMaskSwar(p);
}
#endif

// Bytes from p (p <= e) up to the first that needs care, a block at a time
// with `blockMask` (one of the masks above), as most texts are plain ASCII;
// `readable` (at least e) is the end of the memory that may be read for that,
// initialised, so a short run at the end of a padded buffer need not be looked
// at byte by byte.
template <unsigned (*blockMask)(const char*)>
inline std::size_t PlainAsciiRunWith(const char* p, const char* e, const char* readable) {
  const char* const start = p;
  while (p < e && readable - p >= static_cast<std::ptrdiff_t>(kScanBlock)) {
    const unsigned mask = blockMask(p);
    if (mask != 0) return static_cast<std::size_t>(std::min(p + std::countr_zero(mask), e) - start);
    p += kScanBlock;
  }
  if (p >= e) return static_cast<std::size_t>(e - start);
  if (e - start >= static_cast<std::ptrdiff_t>(kScanBlock)) {
    // The last few bytes of a longer text: the last block, less the bytes
    // already looked at.
    const unsigned mask =
        blockMask(e - kScanBlock) >> (kScanBlock - static_cast<std::size_t>(e - p));
    return static_cast<std::size_t>((mask != 0 ? p + std::countr_zero(mask) : e) - start);
  }
  while (p < e && !kNeedsCare[static_cast<unsigned char>(*p)]) ++p;
  return static_cast<std::size_t>(p - start);
}

// The plain run at p with the best mask this processor has.
inline std::size_t PlainAsciiRun(const char* p, const char* e, const char* readable) {
  return PlainAsciiRunWith<CareMask>(p, e, readable);
}
inline std::size_t PlainAsciiRun(const char* p, const char* e) {
  return PlainAsciiRun(p, e, e);
}

}  // namespace brennick::json
