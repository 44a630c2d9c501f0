// Test support: forms written as "Field=value ..." and single-stage runs.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>

#include "engine/design.h"
#include "engine/design_error.h"
#include "engine/internal/run.h"
#include "form/fields.h"
#include "tests/support/worked_designs.h"

namespace brennick::test {

// `base` with edits applied. Option groups take the item index, check boxes
// 0 or 1, text fields the text (which therefore cannot hold a space).
inline DesignInput Form(std::string_view edits, DesignInput in = {}) {
  std::istringstream words{std::string(edits)};
  for (std::string word; words >> word;) {
    const std::size_t eq = word.find('=');
    const FieldInfo* field = FindField(word.substr(0, eq));
    if (field == nullptr || eq == std::string::npos) throw std::invalid_argument(word);
    const std::string value = word.substr(eq + 1);
    if (field->kind == FieldKind::Text) in.*(field->text) = value;
    if (field->kind == FieldKind::Group) in.*(field->group) = std::stoi(value);
    if (field->kind == FieldKind::Check) in.*(field->check) = value == "1";
  }
  return in;
}

inline std::string Joined(const Statblock& lines) {
  std::string out;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) out += '|';
    out += lines[i];
  }
  return out;
}

struct StageOutcome {
  std::string lines;  // joined with "|"
  std::optional<std::string> error;
  DesignQuantities q;
};

// Runs one stage on its own, from the given quantities.
inline StageOutcome RunStage(void (*stage)(DesignRun&), const DesignInput& in, DesignQuantities q,
                             char dec = '.') {
  Statblock lines;
  DesignRun run{in, dec, q, lines};
  StageOutcome out;
  try {
    stage(run);
  } catch (const DesignError& e) {
    out.error = e.what();
  }
  out.lines = Joined(lines);
  out.q = run.q;
  return out;
}

// The lines of a whole run that start with one of the prefixes, joined.
inline std::string LinesOf(const DesignResult& r,
                           std::initializer_list<std::string_view> prefixes) {
  Statblock picked;
  for (const std::string_view line : r.lines) {
    for (std::string_view p : prefixes) {
      if (line.starts_with(p)) {
        picked.push_back(line);
        break;
      }
    }
  }
  return Joined(picked);
}

// The three worked designs that the stages are checked against end to end.
using examples::FourMmGaussRifle;
using examples::SevenMmLiquidRifle;
using examples::TenMmPistol;

}  // namespace brennick::test
