// A form with one control of the field table moved off its start state: a
// text field given `text`, an option group its last item, a check box
// flipped, each enabled or disabled as asked. Round trips through files and
// the form member run every control through this.
#pragma once

#include <span>
#include <string>

#include "form/fields.h"
#include "form/form_state.h"

namespace brennick::testing_support {

inline FormState WithFieldChanged(const FieldInfo& f, bool enabled, const std::string& text) {
  FormState s;
  switch (f.kind) {
    case FieldKind::Text:
      s.*f.textControl = {text, enabled};
      break;
    case FieldKind::Group:
      s.*f.groupControl = {static_cast<int>(f.items.size()) - 1, enabled};
      break;
    case FieldKind::Check:
      s.*f.checkControl = {!(s.*f.checkControl).checked, enabled};
      break;
  }
  return s;
}

}  // namespace brennick::testing_support
