// Tooltips of the window's controls that are not fields of the form: the two
// buttons, the statblock pane and the Max RoF hint. Each field's own tooltip
// sits in its row of the field table, so the field table stays the one list
// of fields; this file only adds the rest of the window and one look-up over
// both.
#pragma once

#include <span>
#include <string_view>

namespace brennick {

struct ControlTip {
  const char* name;  // the control's name
  const char* text;  // one or two plain sentences for the player
};

// The window's controls that are not form fields, with their tooltips.
std::span<const ControlTip> WindowTooltips();

// The tooltip of the control with this exact name: a form field, a text
// field's label (which explains its field), or one of the window's other
// controls; nullptr for any other name.
const char* ControlTooltip(std::string_view name);

}  // namespace brennick
