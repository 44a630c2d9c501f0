// A description of every control of the design form that holds a value: its
// name, kind, caption and items, where its value lives in the design input
// and in the form state, whether it is enabled at start, the rule its change
// runs and the tooltip that tells the player what it does.
//
// The table is made from the field list (engine/field_list.h) and the form's
// own check boxes (form_state.h). The window builds its controls from it, the
// form model binds its rules through it, and the command-line designer maps
// JSON keys through it, so a field exists in exactly one place.
#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>

#include "engine/design.h"
#include "engine/field_list.h"
#include "form/form_state.h"

namespace brennick {

class FormModel;

// The longest text a text field holds: the window's line edits hold 32,767
// UTF-16 code units (a character beyond U+FFFF takes two), so every reader of
// designs counts a text in those units and refuses a longer one while reading
// it, rather than take a text the window would cut when it shows it.
inline constexpr std::size_t kMaxTextLength = 32767;

enum class FieldKind { Text, Group, Check };

struct FieldInfo {
  const char* name;  // the control's name and the JSON key
  FieldKind kind;
  // Group caption or check-box caption; for a text field the caption of the
  // label beside it.
  const char* caption;
  // Where the design run reads the value; all three are null for the form's
  // own check boxes that the run never reads.
  std::string DesignInput::*text = nullptr;
  int DesignInput::*group = nullptr;
  bool DesignInput::*check = nullptr;
  std::span<const char* const> items = {};  // option-group items, in index order
  // Where the form state keeps the control (exactly one is set).
  TextControl FormState::*textControl = nullptr;
  GroupControl FormState::*groupControl = nullptr;
  CheckControl FormState::*checkControl = nullptr;
  // The name of a text field's label, which is enabled together with it.
  const char* label = nullptr;
  bool startEnabled = true;
  // The rule a change of the value runs, or null.
  void (FormModel::*rule)() = nullptr;
  // One or two plain sentences for the player: what the control changes in
  // the statblock, and which other controls its rule enables or disables.
  const char* tooltip = nullptr;

  bool IsDesignInput() const { return text || group || check; }
};

// The form's own check boxes, and every control of the form that holds a
// value (kDesignFieldCount is in the field list).
inline constexpr std::size_t kFormCheckCount = 0 BRENNICK_FORM_CHECKS(BRENNICK_COUNT_ROW, );
inline constexpr std::size_t kFormFieldCount = kDesignFieldCount + kFormCheckCount;

// The names of the form's controls, in the order of FormFields().
#define BRENNICK_FIELD_NAME(C, name, ...) #name,
inline constexpr std::array<std::string_view, kFormFieldCount> kFormFieldNames = {
    BRENNICK_TEXT_FIELDS(BRENNICK_FIELD_NAME, ) BRENNICK_GROUP_FIELDS(BRENNICK_FIELD_NAME, )
        BRENNICK_CHECK_FIELDS(BRENNICK_FIELD_NAME, ) BRENNICK_FORM_CHECKS(BRENNICK_FIELD_NAME, )};
#undef BRENNICK_FIELD_NAME

// Every field of DesignInput, in the order of the form's tables: the keys of
// a design object.
std::span<const FieldInfo> DesignFields();
// Every control of the form state: the design fields, then the form's own
// check boxes.
std::span<const FieldInfo> FormFields();
// The number of the form control with this exact name (its index in
// FormFields(); a design field's is below kDesignFieldCount), or
// kNoFieldNumber. Designs in bulk name dozens of fields each, so a name is
// told by one look into a table (see FieldNumber below).
inline constexpr std::size_t kNoFieldNumber = kFormFieldCount;
std::size_t FieldNumber(std::string_view name);  // inline, below
// The design field with this exact name, or nullptr.
const FieldInfo* FindField(std::string_view name);
// The form control with this exact name, or nullptr.
const FieldInfo* FindFormField(std::string_view name);
// The index of the item with this exact caption, or -1 when there is none.
int ItemIndex(const FieldInfo& field, std::string_view caption);

// ---------------------------------------------------------------------------
// The perfect hash of the field names, made from the field list as the
// program is built. A name is hashed on its length and its first and last
// eight bytes, with a multiplier chosen (the first of a fixed sequence that
// does) so that no two field names share a slot of the table of field
// numbers. The name in a key's slot is the key when its length and those two
// words are the same (which covers every byte of a name of up to sixteen)
// and, for a longer name, the bytes between them.
namespace field_hash {

inline constexpr std::size_t kSlotBits = 10;
inline constexpr unsigned char kEmpty = 0xFF;  // more field numbers than there are fields
static_assert(kFormFieldCount < kEmpty, "too many fields for a byte");

// A name with its first eight bytes and its last eight (after the first), as
// little-endian numbers; fewer bytes are padded with zeros.
struct Words {
  std::uint64_t first = 0;
  std::uint64_t last = 0;
};
constexpr std::uint64_t LittleEndian(std::string_view bytes) {
  std::uint64_t word = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    word |= std::uint64_t{static_cast<unsigned char>(bytes[i])} << (8 * i);
  }
  return word;
}
constexpr Words WordsOf(std::string_view text) {
  const std::size_t n = text.size();
  return {LittleEndian(text.substr(0, 8)), n > 8 ? LittleEndian(text.substr(n - 8)) : 0};
}
// The same, read as the machine reads words.
inline Words ReadWords(std::string_view text) {
  Words w;
  const std::size_t n = text.size();
  if (n >= 8) {  // most names: two words read whole
    std::memcpy(&w.first, text.data(), 8);
    if (n > 8) std::memcpy(&w.last, text.data() + n - 8, 8);
  } else {
    std::memcpy(&w.first, text.data(), n);
  }
  if constexpr (std::endian::native == std::endian::big) {
    w.first = __builtin_bswap64(w.first);
    w.last = __builtin_bswap64(w.last);
  }
  return w;
}
constexpr std::size_t Slot(const Words& w, std::size_t size, std::uint64_t multiplier) {
  const std::uint64_t h = (w.first ^ std::rotl(w.last, 29) ^ size) * multiplier;
  return static_cast<std::size_t>(h >> (64 - kSlotBits));
}

struct Table {
  std::uint64_t multiplier = 0;
  std::array<unsigned char, std::size_t{1} << kSlotBits> numbers{};
  std::array<Words, kFormFieldCount> words{};
};
inline constexpr Table kTable = [] {
  Table t;
  for (std::size_t i = 0; i < kFormFieldCount; ++i) t.words[i] = WordsOf(kFormFieldNames[i]);
  // Odd multipliers from a fixed sequence until one separates every name;
  // with far more slots than names the first few do.
  for (std::uint64_t m = 0x9E3779B97F4A7C15u;;
       m = m * 6364136223846793005u + 1442695040888963407u) {
    t.multiplier = m | 1;
    t.numbers.fill(kEmpty);
    bool clash = false;
    for (std::size_t i = 0; i < kFormFieldCount && !clash; ++i) {
      unsigned char& slot = t.numbers[Slot(t.words[i], kFormFieldNames[i].size(), t.multiplier)];
      clash = slot != kEmpty;
      slot = static_cast<unsigned char>(i);
    }
    if (!clash) return t;
  }
}();

}  // namespace field_hash

inline std::size_t FieldNumber(std::string_view key) {
  using namespace field_hash;
  if (key.empty()) return kNoFieldNumber;
  const Words k = ReadWords(key);
  const unsigned char i = kTable.numbers[Slot(k, key.size(), kTable.multiplier)];
  if (i == kEmpty) return kNoFieldNumber;
  const std::string_view name = kFormFieldNames[i];
  const Words& w = kTable.words[i];
  if (name.size() != key.size() || w.first != k.first || w.last != k.last) return kNoFieldNumber;
  if (key.size() > 16 && std::memcmp(name.data() + 8, key.data() + 8, key.size() - 16) != 0) {
    return kNoFieldNumber;
  }
  return i;
}

}  // namespace brennick
