#include "form/tooltips.h"

#include <array>

#include "form/fields.h"

namespace brennick {
namespace {

const std::array<ControlTip, 4> kWindowTips = {{
    {"DesignButton",
     "Writes the statblock of the form as it stands into the pane, replacing what was there; "
     "greyed-out controls count too. A field that cannot be read stops it with a message, keeping "
     "the lines written so far."},
    {"RandomButton",
     "Fills the form with a random design, the form's rules applying as it goes; the name, TL, "
     "power modifier, extra weight and CF, the Houseruled boxes and Knowing Your Own Strength ST "
     "are "
     "kept. Press Design to see the new statblock."},
    {"StatblockMemo",
     "The statblock written by Design, as ordinary editable text: select it and copy it into your "
     "notes. Design replaces it; Randomize leaves it as it is."},
    {"MaxRoFLabel",
     "For the Light Automatic, Heavy Automatic and Electric Gatling: the highest RoF the bore (and "
     "the Electric Gatling's barrels) allows. It follows the loading mechanism, bore and barrels "
     "as you change them."},
}};

}  // namespace

std::span<const ControlTip> WindowTooltips() {
  return kWindowTips;
}

const char* ControlTooltip(std::string_view name) {
  for (const FieldInfo& f : FormFields()) {
    if (name == f.name || (f.label != nullptr && name == f.label)) return f.tooltip;
  }
  for (const ControlTip& tip : kWindowTips) {
    if (name == tip.name) return tip.text;
  }
  return nullptr;
}

}  // namespace brennick
