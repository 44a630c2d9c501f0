// The design form as a value: every control that a rule or the design run
// reads or changes, with its value and whether the user may change it, and
// the caption of the Max RoF hint.
//
// A FormState is what undo, design files and comparisons hold; the window
// only shows one. It is plain data: copy it, compare it, store it.
#pragma once

#include <string>

#include "engine/design.h"
#include "engine/field_list.h"

namespace brennick {

// A text field: its text as typed.
struct TextControl {
  std::string text;
  bool enabled = true;
  bool operator==(const TextControl&) const = default;
};

// A check box.
struct CheckControl {
  bool checked = false;
  bool enabled = true;
  bool operator==(const CheckControl&) const = default;
};

// An option group: the selected item, 0 for the first, -1 for none.
struct GroupControl {
  int index = -1;
  bool enabled = true;
  bool operator==(const GroupControl&) const = default;
};

// Check boxes of the form that the design run never reads, so they are no
// fields of DesignInput: the generator flips "Gun/Launcher", and "Only
// automatic" steers the generator. A row: X(C, name, caption, start checked,
// start state), as a check box of the field list without a rule.
// clang-format off
#define BRENNICK_FORM_CHECKS(X, C) \
  X(C, GunLauncherCheckBox, "Gun/Launcher",   false, disabled) \
  X(C, OnlyAuto,            "Only automatic", true,  enabled)
// clang-format on

// The caption the Max RoF hint shows before any rule has rewritten it.
inline constexpr const char* kMaxRoFStart = "Max RoF:";

struct FormState {
  // The form as the window opens: the start values of DesignInput and the
  // start enabled states of the field table. It is not the state the rules
  // would produce (no mechanism is selected, yet RoF is disabled), and no
  // rule runs to make it so.
  FormState();

  // The controls of the design fields, one per row of the field list
  // (engine/field_list.h): text fields, option groups, check boxes.
#define BRENNICK_TEXT_CONTROL(C, name, ...) TextControl name;
#define BRENNICK_GROUP_CONTROL(C, name, ...) GroupControl name;
#define BRENNICK_CHECK_CONTROL(C, name, ...) CheckControl name;
  BRENNICK_TEXT_FIELDS(BRENNICK_TEXT_CONTROL, )
  BRENNICK_GROUP_FIELDS(BRENNICK_GROUP_CONTROL, )
  BRENNICK_CHECK_FIELDS(BRENNICK_CHECK_CONTROL, )
#undef BRENNICK_TEXT_CONTROL
#undef BRENNICK_GROUP_CONTROL
#undef BRENNICK_CHECK_CONTROL

  // Check boxes of the form that the design run never reads.
#define BRENNICK_FORM_CHECK_CONTROL(C, name, caption, checked, state) \
  CheckControl name{checked, FieldStart::state == FieldStart::enabled};
  BRENNICK_FORM_CHECKS(BRENNICK_FORM_CHECK_CONTROL, )
#undef BRENNICK_FORM_CHECK_CONTROL

  // The Max RoF hint beside the RoF field.
  std::string MaxRoFLabel = kMaxRoFStart;

  // Every design input as the controls hold it, enabled or not.
  DesignInput Input() const;

  bool operator==(const FormState&) const = default;
};

}  // namespace brennick
