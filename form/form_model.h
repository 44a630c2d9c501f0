// The design form's behaviour without a window: the rules that keep the form
// plausible while it is edited, the Max RoF hint and the random design
// generator, all working on a FormState.
//
// Every change goes through Set(). Setting a control to a value it does not
// hold yet stores the value and runs that control's rule at once; a rule that
// sets another control thereby runs that control's rule nested, before it
// goes on. Setting the value a control already holds runs nothing, and so
// does enabling or disabling. A rule that reads the TL strictly throws
// DesignError for a TL that is not a whole number; whatever it changed before
// that stays.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/random.h"
#include "form/fields.h"
#include "form/form_state.h"

namespace brennick {

class FormModel {
 public:
  // The start form. `decimalSeparator` is the system's: the hint reads the
  // bore with it and the generator writes the bore with it.
  explicit FormModel(char decimalSeparator = '.');

  const FormState& state() const { return state_; }
  char decimalSeparator() const { return dec_; }

  // Replaces the whole form at once, as loading a stored form does: no rule
  // runs.
  void Restore(const FormState& state) { state_ = state; }

  // --- Changes, by the user or by a program step. ---
  void Set(TextControl FormState::*control, std::string_view text);
  void Set(CheckControl FormState::*control, bool checked);
  // An index beyond the last item selects the last; below -1 means -1.
  void Set(GroupControl FormState::*control, int index);
  // The same, for a control named by its field.
  void SetText(const FieldInfo& field, std::string_view text);
  void SetChecked(const FieldInfo& field, bool checked);
  void SetIndex(const FieldInfo& field, int index);

  // --- The rules, each named after its control and event. ---
  void LoadingMechanismBoxClick();
  void ConfigurationBoxClick();
  void RecoillessCheckBoxClick();
  void ExtraLowBoxClick();
  void PropellantBoxClick();
  void CaselessBoxClick();
  void QualityAccurateClick();
  void QualityReliableClick();
  void RecognitionGripBoxClick();
  void DiagnosticComputerBoxClick();
  void HUDLinkBoxClick();
  void TinyComputerClick();
  void BoreSizeEditChange();
  void BarrelsEditChange();
  void TLEditChange();
  // A key press the window receives itself: the Max RoF hint.
  void FormKeyPress();

  // --- The random design generator. ---
  // Seeds the random source with `seed` (the window's clock reading), then
  // fills the form with a random design, the rules running nested.
  void RandomButtonClick(std::uint32_t seed);
  RandomSource& randomSource() { return random_; }

  // How often a rule has written the Max RoF hint, whether or not its text
  // changed: a view rewrites its label each time, as the rule does.
  std::uint64_t hintWrites() const { return hintWrites_; }

 private:
  void RunRule(const FieldInfo& field);
  // The Max RoF hint; `gatlingOnly` limits it to the Electric Gatling rows.
  void ShowMaxRoF(bool gatlingOnly);
  void WriteHint(std::string text);
  // A field is its text field and its label, enabled or disabled together.
  void Enable(TextControl FormState::*control, bool enabled) {
    (state_.*control).enabled = enabled;
  }
  void Enable(CheckControl FormState::*control, bool enabled) {
    (state_.*control).enabled = enabled;
  }
  void Enable(GroupControl FormState::*control, bool enabled) {
    (state_.*control).enabled = enabled;
  }
  void UncheckAndDisable(CheckControl FormState::*control);
  // The revolver fires double-action from TL 6 on (TL read strictly).
  std::string_view RevolverRoF() const;
  bool Checked(CheckControl FormState::*control) const { return (state_.*control).checked; }
  int Mechanism() const { return state_.LoadingMechanismBox.index; }
  int Propellant() const { return state_.PropellantBox.index; }
  int Configuration() const { return state_.ConfigurationBox.index; }

  FormState state_;
  char dec_;
  RandomSource random_;
  std::uint64_t hintWrites_ = 0;
};

}  // namespace brennick
