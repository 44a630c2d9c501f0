// The scan for plain string text gives the same answers whichever way a block
// is looked at: the processor's sixteen-byte compare where it has one, the
// eight-byte words that stand in for it where it has none, and one byte at a
// time. Bytes next to the edges of the plain range, next to each other, are
// where word arithmetic would go wrong if a sum carried from byte to byte.
#include "formats/internal/json_scan.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace brennick::json {
namespace {

// Whether a byte cannot stand in a JSON string as it is, told directly.
bool Careful(unsigned char c) {
  return c < 0x20 || c >= 0x80 || c == '"' || c == '\\';
}

unsigned ExpectedMask(const char* p) {
  unsigned mask = 0;
  for (unsigned i = 0; i < kScanBlock; ++i) {
    if (Careful(static_cast<unsigned char>(p[i]))) mask |= 1u << i;
  }
  return mask;
}

std::size_t ExpectedRun(const char* p, const char* e) {
  std::size_t n = 0;
  while (p + n < e && !Careful(static_cast<unsigned char>(p[n]))) ++n;
  return n;
}

// Each byte around an edge of the plain range, and the bytes whose low seven
// bits are a quote, a backslash or below a space while their top bit is set.
constexpr unsigned char kEdges[] = {0x00, 0x01, 0x1F, 0x20, 0x21, 0x22, 0x23, 0x5B, 0x5C, 0x5D,
                                    0x7E, 0x7F, 0x80, 0x81, 0x9F, 0xA0, 0xA2, 0xDC, 0xFF};

// Every mask that exists in this build, by name.
struct MaskFn {
  const char* name;
  unsigned (*fn)(const char*);
};
const std::vector<MaskFn>& Masks() {
  static const std::vector<MaskFn> masks = {
    {"SWAR", CareMaskSwar},
#if defined(__SSE2__)
    {"SSE2", CareMaskSse2},
#endif
    {"chosen", CareMask},
  };
  return masks;
}

void ExpectMasks(const std::string& block, const std::string& what) {
  const unsigned expected = ExpectedMask(block.data());
  for (const MaskFn& m : Masks()) EXPECT_EQ(m.fn(block.data()), expected) << m.name << ": " << what;
}

std::string Hex(const std::string& block) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  for (const char c : block) {
    out += kHex[static_cast<unsigned char>(c) >> 4];
    out += kHex[static_cast<unsigned char>(c) & 0xF];
  }
  return out;
}

TEST(CareMask, EveryByteInEveryPlaceOfABlock) {
  for (unsigned byte = 0; byte < 256; ++byte) {
    for (unsigned at = 0; at < kScanBlock; ++at) {
      // Among plain bytes, and among bytes that all need care.
      for (const char around : {'k', '\x1F'}) {
        std::string block(kScanBlock, around);
        block[at] = static_cast<char>(byte);
        ExpectMasks(block, "byte " + std::to_string(byte) + " at " + std::to_string(at));
      }
    }
  }
}

TEST(CareMask, EdgeBytesSideBySide) {
  for (const unsigned char a : kEdges) {
    for (const unsigned char b : kEdges) {
      // Across the middle of a word, and across the two words of a block.
      for (unsigned at = 0; at + 1 < kScanBlock; ++at) {
        std::string block(kScanBlock, 'k');
        block[at] = static_cast<char>(a);
        block[at + 1] = static_cast<char>(b);
        ExpectMasks(block, Hex(block));
      }
    }
  }
}

TEST(CareMask, RandomBlocks) {
  std::mt19937 rng(20261208);
  std::uniform_int_distribution<int> byte(0, 255);
  std::uniform_int_distribution<std::size_t> edge(0, std::size(kEdges) - 1);
  for (int n = 0; n < 100000; ++n) {
    std::string block(kScanBlock, '\0');
    // Half the blocks of any bytes; half of edge bytes only, so that
    // neighbouring edges meet often.
    for (char& c : block) c = static_cast<char>(n % 2 == 0 ? byte(rng) : kEdges[edge(rng)]);
    ExpectMasks(block, Hex(block));
    if (HasFailure()) return;
  }
}

// A plain run stops at the same byte whether its blocks are looked at with
// the words or with the processor's compare, for any length, stop and end,
// and with or without memory to read behind the end.
TEST(PlainAsciiRun, WordsAndProcessorAgreeOnRandomTexts) {
  std::mt19937 rng(7);
  std::uniform_int_distribution<std::size_t> length(0, 80);
  std::uniform_int_distribution<int> plain(0x20, 0x7E);
  std::uniform_int_distribution<std::size_t> edge(0, std::size(kEdges) - 1);
  std::uniform_int_distribution<int> percent(0, 99);
  for (int n = 0; n < 20000; ++n) {
    const std::size_t size = length(rng);
    // Mostly plain, some texts with no byte that needs care at all.
    const int careRate = n % 4 == 0 ? 0 : percent(rng) / 10;
    std::string text(size + kScanBlock, '"');  // padding that needs care
    for (std::size_t i = 0; i < size; ++i) {
      text[i] = static_cast<char>(percent(rng) < careRate ? kEdges[edge(rng)] : plain(rng));
    }
    const char* p = text.data();
    const std::size_t cut = std::uniform_int_distribution<std::size_t>(0, size)(rng);
    for (const char* e : {p + size, p + cut}) {
      const std::size_t expected = ExpectedRun(p, e);
      for (const char* readable : {e, p + text.size()}) {
        const std::string what = Hex(std::string(p, e)) + " readable " +
                                 std::to_string(readable - e) + " behind the end";
        EXPECT_EQ(PlainAsciiRunWith<CareMaskSwar>(p, e, readable), expected) << what;
        EXPECT_EQ(PlainAsciiRun(p, e, readable), expected) << what;
      }
    }
    if (HasFailure()) return;
  }
}

}  // namespace
}  // namespace brennick::json
