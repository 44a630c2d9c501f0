#include "cli/random_designs.h"

#include <chrono>
#include <cstddef>
#include <string>

#include "form/form_model.h"
#include "form/form_state.h"
#include "formats/design_object.h"

namespace brennick::cli {

void WriteRandomDesigns(const RandomDesigns& designs, Sink& out) {
  constexpr std::size_t kPiece = 1 << 16;
  std::string buffer;
  buffer.reserve(kPiece + 4096);
  const DesignObjectStyle style{designs.decimalSeparator, false};
  for (std::uint64_t k = 0; k < designs.count; ++k) {
    FormModel form(designs.decimalSeparator);
    form.Set(&FormState::OnlyAuto, designs.onlyAutomatic);
    // The start form's TL is a whole number, so the generator cannot fail.
    form.RandomButtonClick(static_cast<std::uint32_t>(designs.seed + k));
    AppendDesignObjectLine(buffer, form.state().Input(), style);
    buffer += '\n';
    if (buffer.size() >= kPiece) {
      out.Write(buffer);
      buffer.clear();
    }
  }
  if (!buffer.empty()) out.Write(buffer);
}

std::uint32_t ClockSeed() {
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<std::uint32_t>(
      std::chrono::duration_cast<std::chrono::nanoseconds>(now).count());
}

}  // namespace brennick::cli
