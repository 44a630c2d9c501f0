// A description of every control of the design form that holds a value: its
// name, kind, caption and items, where its value lives in the design input
// and in the form state, whether it is enabled at start, the rule its change
// runs and the tooltip that tells the player what it does.
//
// The window builds its controls from this table, the form model binds its
// rules through it, and the command-line designer maps JSON keys through it,
// so a field exists in exactly one place.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

#include "engine/design.h"
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

// Every field of DesignInput, in the order of the form's tables: the keys of
// a design object.
std::span<const FieldInfo> DesignFields();
// Every control of the form state: the design fields, then the form's own
// check boxes.
std::span<const FieldInfo> FormFields();
// The design field with this exact name, or nullptr.
const FieldInfo* FindField(std::string_view name);
// The form control with this exact name, or nullptr.
const FieldInfo* FindFormField(std::string_view name);
// The index of the item with this exact caption, or -1 when there is none.
int ItemIndex(const FieldInfo& field, std::string_view caption);

}  // namespace brennick
