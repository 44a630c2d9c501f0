// Tooltips of the window's controls: each field of the form's (the field
// table takes them from here) and the controls that are not fields: the two
// buttons, the statblock pane and the Max RoF hint; and one look-up over both.
#pragma once

#include <span>
#include <string_view>

namespace brennick {

struct ControlTip {
  const char* name;  // the control's name
  const char* text;  // one or two plain sentences for the player
};

// The tooltip of each form field, in the order of FormFields().
std::span<const char* const> FieldTooltips();

// The window's controls that are not form fields, with their tooltips.
std::span<const ControlTip> WindowTooltips();

// The tooltip of the control with this exact name: a form field, a text
// field's label (which explains its field), or one of the window's other
// controls; nullptr for any other name.
const char* ControlTooltip(std::string_view name);

}  // namespace brennick
