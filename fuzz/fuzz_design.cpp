// Fuzz target: the whole design run on arbitrary forms.
//
// Every field of the form comes from the input (see design_codec.h), so texts
// full of signs, separators and exponents, unselected and out-of-range option
// groups and every combination of check boxes reach every stage. The run must
// never crash or reach undefined behaviour; it must stop only with one of the
// program's own messages, and the same form must always give the same result.
#include <cstdint>
#include <string>

#include "design.h"
#include "design_codec.h"
#include "fields.h"
#include "fuzz_check.h"

using brennick::fuzz::Require;

namespace {

// The failure messages a run may end with: the arithmetic ones, or a reader's
// message quoting one of the form's texts exactly as typed.
bool IsKnownFailure(const std::string& message, const brennick::DesignInput& in) {
  if (message == brennick::kInvalidFloatOp || message == brennick::kDivByZero ||
      message == brennick::kOverflow) {
    return true;
  }
  for (const brennick::FieldInfo& field : brennick::DesignFields()) {
    if (field.kind != brennick::FieldKind::Text) continue;
    const std::string& text = in.*field.text;
    if (message == brennick::InvalidFloatText(text).message() ||
        message == brennick::InvalidIntegerText(text).message()) {
      return true;
    }
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 8192) return 0;
  brennick::DesignInput in;
  const char dec = brennick::fuzz::DecodeDesign(data, size, in);

  const brennick::DesignResult first = brennick::RunDesign(in, dec);
  Require(!first.lines.empty(), "a run without a title line");
  Require(first.lines[0] == in.NameEdit + " (TL" + in.TLEdit + ")", "wrong title line",
          first.lines[0]);
  // Bore and power modifier are read right after the title: a bad one leaves
  // the title alone.
  for (const std::string* text : {&in.BoreSizeEdit, &in.PowerModEdit}) {
    if (brennick::TryParseFloat(*text, dec)) continue;
    Require(first.lines.size() == 1 && first.error == brennick::InvalidFloatText(*text).message(),
            "a bad bore or power modifier did not stop the run after the title", *text);
    break;
  }
  if (first.error) {
    Require(IsKnownFailure(*first.error, in), "a run failed with an unknown message", *first.error);
  } else {
    // A finished run ends with the ammunition block.
    const brennick::Statblock& lines = first.lines;
    const std::size_t n = lines.size();
    Require(n >= 7, "a finished statblock that is too short");
    Require(lines[n - 6] == " " && lines[n - 5] == "Ammunition" &&
                lines[n - 3].starts_with("WPS ") && lines[n - 2].starts_with("CPS ") &&
                (lines[n - 1] == "LC 1" || lines[n - 1] == "LC 2" || lines[n - 1] == "LC 3"),
            "a finished statblock without its ammunition block", lines[n - 1]);
  }

  const brennick::DesignResult second = brennick::RunDesign(in, dec);
  Require(second.lines == first.lines && second.error == first.error,
          "the same form gave two different results");
  return 0;
}
