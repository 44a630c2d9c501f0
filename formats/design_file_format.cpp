#include "formats/design_file_format.h"

#include <initializer_list>
#include <optional>

#include "engine/design_error.h"
#include "form/form_member.h"
#include "formats/design_object.h"

namespace brennick {
namespace {

// A design file holds one design: the reader's "design 1" says nothing.
std::string WithoutPosition(std::string message) {
  for (std::string_view prefix : {"design 1, ", "design 1: "}) {
    if (message.starts_with(prefix)) return message.substr(prefix.size());
  }
  return message;
}

}  // namespace

std::string DesignFileText(const FormState& state, char decimalSeparator) {
  return DesignObjectText(state.Input(), FormMemberOf(state), {decimalSeparator, false});
}

FormState ReadDesignFile(const json::ReadFn& read, char decimalSeparator) {
  // The design reader checks "Form" as it reads it, as brennick-cli and the
  // armoury do; what it hands back is applied to the start form.
  const DesignEntry entry = ReadDesignObject(read, decimalSeparator);
  if (entry.inputError) throw DesignError(WithoutPosition(*entry.inputError));
  return entry.form ? FormOfDesign(entry.input, *entry.form) : FormOfDesign(entry.input);
}

FormState ReadDesignFileText(std::string_view text, char decimalSeparator) {
  return ReadDesignFile(json::ReadFromText(text), decimalSeparator);
}

}  // namespace brennick
