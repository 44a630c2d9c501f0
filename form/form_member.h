// A design file keeps the form exactly as it was saved: the design's values,
// which are the design object's keys, and what the window shows beyond them,
// kept in the design object's member "Form":
//
//   "Form": {
//     "Disabled": ["BarrelsEdit", "ChambersEdit", ...],
//     "MaxRoFLabel": "Max RoF:",
//     "GunLauncherCheckBox": false,
//     "OnlyAuto": true
//   }
//
// "Disabled" lists every disabled control by name, in the field table's
// order; "MaxRoFLabel" is the caption of the Max RoF hint; the two check boxes
// that are not design inputs keep their checked state. A member that is left
// out keeps the start form's: a design object without "Form" (written by
// hand, or by brennick-cli) opens with its values set as the start values
// are, no rule running, and the enabled states and hint of the start form.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/design.h"
#include "form/form_state.h"

namespace brennick {

// The key of the member in a design object, and the keys inside it.
inline constexpr std::string_view kFormKey = "Form";
inline constexpr std::string_view kDisabledKey = "Disabled";
inline constexpr std::string_view kMaxRoFLabelKey = "MaxRoFLabel";

// The "Form" member as read, before it is checked; an absent member is empty.
struct FormMember {
  std::optional<std::vector<std::string>> disabled;
  std::optional<std::string> maxRoFLabel;
  std::optional<bool> gunLauncher;  // GunLauncherCheckBox
  std::optional<bool> onlyAuto;     // OnlyAuto
};

// The member that shows `state` as it is.
FormMember FormMemberOf(const FormState& state);

// The start form with the design's values, set as the start values are: no
// rule runs.
FormState FormOfDesign(const DesignInput& design);

// The form of a design file: the design's values with `member` applied over
// the start form. Throws DesignError naming what is wrong: a control name that
// the form does not have or that is listed twice, or a hint caption that the
// Max RoF hint never shows.
FormState FormOfDesign(const DesignInput& design, const FormMember& member);

// Whether the Max RoF hint can show `caption`: "Max RoF:", "Max RoF: " and a
// whole number, "RoF: 3-16" or "RoF: 3-20".
bool IsMaxRoFCaption(std::string_view caption);

// The checks of FormOfDesign one part at a time, for a reader that checks the
// member while it reads it: each gives the problem in FormOfDesign's words
// (less its "key \"Form\": "), or nothing.
//
// The names of "Disabled", in the order they are listed: Add takes the next
// one, or gives why it cannot be listed (no such control, or listed before).
// What it keeps is bounded by the form's controls, however long the list.
class DisabledList {
 public:
  DisabledList();
  std::optional<std::string> Add(std::string_view name);

 private:
  std::vector<bool> listed_;  // one per control of FormFields()
};
// Why "MaxRoFLabel" cannot be `caption`, or nothing.
std::optional<std::string> MaxRoFLabelProblem(std::string_view caption);

// The member as JSON text, its members one per line indented by `indent`
// spaces plus two, the closing brace by `indent`.
std::string FormMemberJson(const FormMember& member, int indent);

}  // namespace brennick
