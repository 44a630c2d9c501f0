// A description of every design field: its name, kind, caption and items.
//
// The window builds its option groups from these captions and reads its
// controls by these names; the command-line designer maps JSON keys through
// the same table, so a field exists in exactly one place.
#pragma once

#include <span>
#include <string_view>

#include "design.h"

namespace brennick {

enum class FieldKind { Text, Group, Check };

struct FieldInfo {
  const char* name;  // the control's name and the JSON key
  FieldKind kind;
  const char* caption;  // group caption or check-box caption; empty for text fields
  std::string DesignInput::*text = nullptr;
  int DesignInput::*group = nullptr;
  bool DesignInput::*check = nullptr;
  std::span<const char* const> items = {};  // option-group items, in index order
};

// Every field of DesignInput, in the order of the form's tables.
std::span<const FieldInfo> DesignFields();
// The field with this exact name, or nullptr.
const FieldInfo* FindField(std::string_view name);
// The index of the item with this exact caption, or -1 when there is none.
int ItemIndex(const FieldInfo& field, std::string_view caption);

}  // namespace brennick
