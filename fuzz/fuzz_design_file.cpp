// Fuzz target: a design file's text, "Form" member and all, read as the
// window's Open reads it.
//
// Input: one control byte (bit 0: the reader's decimal separator is ','
// instead of '.'), then the file's text. Reading must never crash or hang; a
// text is either refused with one DesignError or opens as a form. An opened
// form must come through a save unchanged: written (DesignFileText) and read
// back it is the same form, and writing that gives the same bytes again, also
// by way of a machine whose separator is the other one. brennick-cli must read
// the same text as one sound design of the same values, and no text of the
// form may be longer than a field holds.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "engine/design.h"
#include "form/fields.h"
#include "form/form_state.h"
#include "formats/design_file_format.h"
#include "formats/design_object.h"
#include "fuzz/fuzz_check.h"

using brennick::fuzz::Fail;
using brennick::fuzz::Require;

namespace {

brennick::FormState Read(std::string_view text, char dec, const char* what) {
  try {
    return brennick::ReadDesignFileText(text, dec);
  } catch (const brennick::DesignError& e) {
    Fail(what, e.what());
  }
}

// UTF-16 code units of a UTF-8 text the reader has checked.
std::size_t Utf16Length(std::string_view text) {
  std::size_t units = 0;
  for (const char c : text) {
    const auto b = static_cast<unsigned char>(c);
    if ((b & 0xC0) != 0x80) units += b >= 0xF0 ? 2 : 1;
  }
  return units;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1 || size > 65536) return 0;
  const char dec = data[0] & 1 ? ',' : '.';
  const char other = dec == '.' ? ',' : '.';
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

  brennick::FormState form;
  try {
    form = brennick::ReadDesignFileText(text, dec);
  } catch (const brennick::DesignError& e) {
    Require(!e.message().empty(), "a file refused without a message", text);
    return 0;
  }

  for (const brennick::FieldInfo& f : brennick::DesignFields()) {
    if (f.kind != brennick::FieldKind::Text) continue;
    Require(Utf16Length((form.*f.textControl).text) <= brennick::kMaxTextLength,
            "a text longer than a field holds was opened", f.name);
  }

  std::size_t designs = 0;
  const auto fault = brennick::ReadDesigns(text, dec, [&](brennick::DesignEntry& e) {
    ++designs;
    Require(!e.inputError, "brennick-cli refuses a file the window opens",
            e.inputError.value_or(""));
    Require(e.input == form.Input(), "brennick-cli reads other values than the window", text);
  });
  Require(!fault && designs == 1, "brennick-cli reads a file the window opens otherwise", text);

  const std::string written = brennick::DesignFileText(form, dec);
  const brennick::FormState again = Read(written, dec, "a saved form does not open");
  Require(again == form, "a saved form opens as another form", written);
  Require(brennick::DesignFileText(again, dec) == written, "a second save writes other bytes",
          written);

  // Opened where the separator is the other one and saved there, the file
  // opens here as the same form.
  const brennick::FormState there = Read(written, other, "a saved form does not open elsewhere");
  const std::string savedThere = brennick::DesignFileText(there, other);
  Require(Read(savedThere, dec, "a form saved elsewhere does not open") == form,
          "a form saved elsewhere opens as another form", savedThere);
  return 0;
}
