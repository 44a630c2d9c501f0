// Fuzz target: the whole design run on arbitrary forms.
//
// Every field of the form comes from the input (see design_codec.h), so texts
// full of signs, separators and exponents, unselected and out-of-range option
// groups and every combination of check boxes reach every stage. The run must
// never crash or reach undefined behaviour; it must stop only with one of the
// program's own messages, and the same form must always give the same result.
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/design.h"
#include "engine/number_text.h"
#include "form/fields.h"
#include "fuzz/design_codec.h"
#include "fuzz/fuzz_check.h"

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

  // Asked for derivations, the run gives the same statblock, one derivation
  // per line ending in the line's figures, and one more for a failing read.
  const brennick::DesignResult explained = brennick::RunDesign(in, dec, brennick::Explain::Yes);
  Require(explained.lines == first.lines && explained.error == first.error,
          "derivations changed the statblock");
  Require(explained.explain.size() == first.lines.size() + (first.error ? 1 : 0),
          "not one derivation per line");
  for (std::size_t i = 0; i < first.lines.size(); ++i) {
    const std::string_view line = first.lines[i];
    const brennick::Derivation& steps = explained.explain[i];
    Require(!steps.empty() && steps.back().starts_with("= "), "a derivation without its figures",
            line);
    const std::string_view figures = std::string_view(steps.back()).substr(2);
    Require(line.ends_with(figures), "a derivation ending in other figures than its line's", line);
    const std::string_view before = line.substr(0, line.size() - figures.size());
    Require(before.find_first_of("0123456789") == std::string_view::npos,
            "a figure of the line left out of its derivation's end", line);
  }
  if (first.error) {
    const brennick::Derivation& failing = explained.explain.back();
    Require(!failing.empty() && failing.back() == "The run stops: " + *first.error,
            "the failing read's derivation does not end in the message", *first.error);
  }
  return 0;
}
