// Derivations the run writes around its stages: the title line's, a short one
// for lines a stage leaves without one, and the failing read's.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/design_error.h"
#include "engine/field_list.h"
#include "engine/internal/run.h"

namespace brennick {

std::string Quoted(std::string_view text) {
  std::string quoted = "\u201c";
  quoted.append(text);
  quoted += "\u201d";
  return quoted;
}

std::string RuleStepText(std::string_view why, std::int64_t by, std::int64_t now) {
  return std::string(why) + (by > 0 ? ": +" : ": ") + IntText(by) + " = " + IntText(now);
}

namespace {

// The name a derivation's sentence gives the selected item: its own where the
// item has one, else its caption; `none` when nothing is selected.
template <std::size_t N>
std::string_view ItemName(const OptionItem (&items)[N], int index, std::string_view none) {
  if (index < 0 || index >= static_cast<int>(N)) return none;
  const OptionItem& item = items[index];
  return item.named != nullptr ? item.named : item.caption;
}

}  // namespace

std::string_view ConfigurationName(int config) {
  return ItemName(kConfigurationItems, config, "no configuration");
}

std::string_view BarrelName(int barrel) {
  return ItemName(kBarrelItems, barrel, "no barrel length");
}

std::string_view PropellantName(int propellant) {
  return ItemName(kPropellantItems, propellant, "no propellant");
}

std::string_view MechanismName(int mechanism) {
  return ItemName(kMechanismItems, mechanism, "no loading mechanism");
}

std::string DesignRun::TLRead() const {
  if (const auto& value = TL()) return "TL " + Quoted(in.TLEdit) + " read as " + IntText(*value);
  return "TL " + Quoted(in.TLEdit) + " is not a whole number";
}

std::string DesignRun::NumberRead(std::string_view caption, std::string_view text,
                                  double fallback) const {
  const std::string typed = std::string(caption) + " " + Quoted(text);
  if (const auto value = TryParseFloat(text, dec)) return typed + " read as " + Num(*value);
  return typed + " is not a number: taken as " + Num(fallback);
}

std::string DesignRun::WholeRead(std::string_view caption, std::string_view text,
                                 std::int32_t fallback) const {
  const std::string typed = std::string(caption) + " " + Quoted(text);
  if (const auto value = TryParseInt(text)) return typed + " read as " + IntText(*value);
  return typed + " is not a whole number: taken as " + IntText(fallback);
}

void DesignRun::Explained(Derivation steps, std::size_t labelSize) {
  const std::string_view line = out.back();
  steps.push_back("= " + std::string(line.substr(std::min(labelSize, line.size()))));
  explain->resize(out.size());
  explain->back() = std::move(steps);
}

void ExplainTitle(DesignRun& r) {
  r.Explained({"Weapon Name as typed: " + Quoted(r.in.NameEdit),
               "TL as typed, written as it stands: " + Quoted(r.in.TLEdit)});
}

void ExplainRemainingLines(DesignRun& r, std::size_t first) {
  std::vector<Derivation>& explain = *r.explain;
  explain.resize(r.out.size());
  for (std::size_t i = first; i < r.out.size(); ++i) {
    if (!explain[i].empty()) continue;
    explain[i] = {std::string("Written by the ") + r.rule + " rules for the design's choices.",
                  "= " + std::string(r.out[i])};
  }
}

void ExplainFailure(DesignRun& r, const std::string& message) {
  // The lines the failing stage wrote before it stopped keep their
  // derivations; the failing read's follows them.
  ExplainRemainingLines(r, 0);
  Derivation failure;
  const std::string rule = r.rule ? r.rule : "design";
  if (const StrictField* field = FindStrictField(r.failedField)) {
    const std::string_view caption = field->caption;
    const std::string_view typed = r.in.*field->text;
    failure.push_back("The " + rule + " reads " + std::string(caption) + ".");
    failure.push_back(std::string(caption) + " as typed: " + Quoted(typed));
    if (!field->wholeNumber) {
      failure.push_back(std::string("It must be a number: digits, perhaps with the decimal "
                                    "separator ") +
                        Quoted(std::string(1, r.dec)) +
                        " and a fraction, perhaps a sign and an exponent.");
    } else {
      failure.push_back(
          "It must be a whole number (hexadecimal after $, x or 0x) between -2147483648 and "
          "2147483647.");
    }
  } else {
    std::string why =
        "a figure could not be worked out: the square root or logarithm of a "
        "negative number, or a whole number too large to hold";
    if (message == kOverflow) why = "a figure grew beyond the largest number the run can hold";
    if (message == kDivByZero) why = "a figure came to 0 where its logarithm was to be taken";
    failure.push_back("While working out the " + rule + ", " + why + ".");
  }
  failure.push_back("The run stops: " + message);
  r.explain->push_back(std::move(failure));
}

}  // namespace brennick
