// Undo and redo of the user's changes to the design form.
//
// A step is the whole form as it stood before one change the user made: a
// click, a selection, Randomize, New or Open. Typing into one field is one
// step however many keys it takes, until the focus leaves the field. Undo
// puts the whole form back as it was (values, enabled states and the Max RoF
// hint) without running a rule, so the form is exactly what the user saw.
// Design changes no control and is no step.
#pragma once

#include <cstddef>
#include <deque>
#include <optional>
#include <string>

#include "form_state.h"

namespace brennick {

class FormHistory {
 public:
  // Keeps at most `depth` steps; the oldest are forgotten first.
  explicit FormHistory(std::size_t depth = 500);

  // One change by the user took the form from `before` to `after`. A change
  // that left the form as it was is no step. `typing` names the field being
  // typed into: a change in the field that is being typed into joins the step
  // its first key began, and typing the form back to where that step began
  // takes the step away. Any other change, an undo or a redo ends the typing.
  void Changed(const FormState& before, const FormState& after, std::string_view typing = {});
  // The focus left the field being typed into: its next key begins a step.
  void EndTyping() { typing_.clear(); }

  bool CanUndo() const { return !undo_.empty(); }
  bool CanRedo() const { return !redo_.empty(); }

  // The form to put back for an undo while the form is `current`, which redo
  // then brings back; nothing when there is no step to undo.
  std::optional<FormState> Undo(const FormState& current);
  std::optional<FormState> Redo(const FormState& current);

  // Forgets every step.
  void Clear();

  std::size_t undoSteps() const { return undo_.size(); }
  std::size_t redoSteps() const { return redo_.size(); }

 private:
  std::size_t depth_;
  std::deque<FormState> undo_;
  std::deque<FormState> redo_;
  std::string typing_;  // the field whose typing the newest step holds
};

}  // namespace brennick
