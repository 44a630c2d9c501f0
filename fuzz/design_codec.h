// The byte encoding of a design form used by the design fuzz target and its
// seed corpus.
//
// Byte 0 chooses the decimal separator. Then every field of the form follows
// in the order of the field table, one after the other:
//   check box:    one byte, the low bit is the state;
//   option group: one byte, taken modulo (items + 2), minus 1, so every index
//                 from -1 ("nothing selected") to one past the last item occurs;
//   text field:   a length byte (low 6 bits), then that many characters; a
//                 byte below 0xFF picks a character from a small alphabet of
//                 the characters that matter to the number readers, 0xFF takes
//                 the next byte as it is.
// When the bytes run out the remaining fields keep their start values, so a
// short input is the form as the window opens with a few changes.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "engine/design.h"
#include "form/fields.h"

namespace brennick::fuzz {

inline constexpr std::string_view kTextAlphabet = "0123456789 +-.,eE$xXaF";
inline constexpr std::uint8_t kRawByte = 0xFF;
inline constexpr std::size_t kMaxTextLength = 63;

class ByteReader {
 public:
  ByteReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  bool Next(std::uint8_t& b) {
    if (pos_ >= size_) return false;
    b = data_[pos_++];
    return true;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

// Decodes a form; returns the decimal separator.
inline char DecodeDesign(const std::uint8_t* data, std::size_t size, DesignInput& in) {
  ByteReader reader(data, size);
  std::uint8_t b = 0;
  if (!reader.Next(b)) return '.';
  const char dec = b & 1 ? ',' : '.';
  for (const FieldInfo& field : DesignFields()) {
    if (!reader.Next(b)) break;
    switch (field.kind) {
      case FieldKind::Check:
        in.*field.check = b & 1;
        break;
      case FieldKind::Group:
        in.*field.group = static_cast<int>(b % (field.items.size() + 2)) - 1;
        break;
      case FieldKind::Text: {
        std::string text;
        const std::size_t length = b & kMaxTextLength;
        for (std::size_t k = 0; k < length && reader.Next(b); ++k) {
          if (b != kRawByte) {
            text += kTextAlphabet[b % kTextAlphabet.size()];
          } else if (reader.Next(b)) {
            text += static_cast<char>(b);
          }
        }
        in.*field.text = std::move(text);
        break;
      }
    }
  }
  return dec;
}

// Encodes a form so that DecodeDesign gives it back (texts longer than the
// length byte allows are cut).
inline std::string EncodeDesign(const DesignInput& in, char dec) {
  std::string out(1, dec == ',' ? '\1' : '\0');
  for (const FieldInfo& field : DesignFields()) {
    switch (field.kind) {
      case FieldKind::Check:
        out += static_cast<char>(in.*field.check ? 1 : 0);
        break;
      case FieldKind::Group:
        out += static_cast<char>(in.*field.group + 1);
        break;
      case FieldKind::Text: {
        const std::string& text = in.*field.text;
        const std::size_t length = std::min(text.size(), kMaxTextLength);
        out += static_cast<char>(length);
        for (std::size_t k = 0; k < length; ++k) {
          const std::size_t pos = kTextAlphabet.find(text[k]);
          if (pos != std::string_view::npos) {
            out += static_cast<char>(pos);
          } else {
            out += static_cast<char>(kRawByte);
            out += text[k];
          }
        }
        break;
      }
    }
  }
  return out;
}

}  // namespace brennick::fuzz
