// Helpers of the form-model tests: controls named as in the field table,
// written and read as one compact line.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "form/fields.h"
#include "form/form_model.h"
#include "form/form_state.h"

namespace brennick::formtest {

inline std::vector<std::string> Split(std::string_view text, std::string_view separator) {
  std::vector<std::string> parts;
  for (std::size_t at = 0, end = 0; end != std::string_view::npos; at = end + separator.size()) {
    end = text.find(separator, at);
    parts.emplace_back(text.substr(at, end - at));
  }
  return parts;
}

// The named controls, separated by " | ": a text field as its text, a check
// box as "x" or "-", a group as its index, each followed by " on" or " off";
// "MaxRoFLabel" as the hint's caption.
inline std::string Snap(const FormState& s, std::string_view names) {
  std::string line;
  for (const std::string& name : Split(names, " ")) {
    if (!line.empty()) line += " | ";
    const FieldInfo* f = FindFormField(name);
    if (name == "MaxRoFLabel") {
      line += s.MaxRoFLabel;
    } else if (!f) {
      ADD_FAILURE() << "no control " << name;
    } else if (f->kind == FieldKind::Text) {
      line += (s.*f->textControl).text + ((s.*f->textControl).enabled ? " on" : " off");
    } else if (f->kind == FieldKind::Check) {
      line += std::string((s.*f->checkControl).checked ? "x" : "-") +
              ((s.*f->checkControl).enabled ? " on" : " off");
    } else {
      line += std::to_string((s.*f->groupControl).index) +
              ((s.*f->groupControl).enabled ? " on" : " off");
    }
  }
  return line;
}

// `s` with the named controls set to values written as Snap writes them, as
// a stored form is loaded: no rule runs.
inline FormState With(FormState s, std::string_view names, std::string_view values) {
  const std::vector<std::string> controls = Split(names, " "), parts = Split(values, " | ");
  EXPECT_EQ(controls.size(), parts.size()) << names;
  for (std::size_t i = 0; i < controls.size() && i < parts.size(); ++i) {
    const FieldInfo* f = FindFormField(controls[i]);
    const std::size_t blank = parts[i].rfind(' ');
    const std::string value = parts[i].substr(0, blank);
    const bool enabled = parts[i].ends_with(" on");
    if (controls[i] == "MaxRoFLabel") {
      s.MaxRoFLabel = parts[i];
    } else if (!f || blank == std::string::npos) {
      ADD_FAILURE() << "cannot set " << controls[i] << " to '" << parts[i] << "'";
    } else if (f->kind == FieldKind::Text) {
      s.*f->textControl = {value, enabled};
    } else if (f->kind == FieldKind::Check) {
      s.*f->checkControl = {value == "x", enabled};
    } else {
      s.*f->groupControl = {std::stoi(value), enabled};
    }
  }
  return s;
}

// Changes one control as the user or a program step does, so its rule runs:
// a text, "x" or "-" for a check box, an index for a group.
inline void Change(FormModel& model, std::string_view name, const std::string& value) {
  const FieldInfo* f = FindFormField(name);
  ASSERT_NE(f, nullptr) << name;
  if (f->kind == FieldKind::Text) model.SetText(*f, value);
  if (f->kind == FieldKind::Check) model.SetChecked(*f, value == "x");
  if (f->kind == FieldKind::Group) model.SetIndex(*f, std::stoi(value));
}

inline FormModel ModelWith(const FormState& s, char decimalSeparator = '.') {
  FormModel model(decimalSeparator);
  model.Restore(s);
  return model;
}

// Compares two forms control by control, so that a failure names the control.
inline void ExpectSameForm(const FormState& actual, const FormState& expected) {
  for (const FieldInfo& f : FormFields()) {
    EXPECT_EQ(Snap(actual, f.name), Snap(expected, f.name)) << f.name;
  }
  EXPECT_EQ(actual.MaxRoFLabel, expected.MaxRoFLabel);
  EXPECT_TRUE(actual == expected);
}

}  // namespace brennick::formtest
