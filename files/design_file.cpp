#include "files/design_file.h"

#include "files/file_io.h"
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
  std::string text = DesignObjectText(state.Input(), {decimalSeparator, false});
  // The design object ends "\n}\n": the form member goes last.
  const std::size_t end = text.rfind('}');
  text.erase(end == std::string::npos || end == 0 ? text.size() : end - 1);
  text += ",\n  \"";
  text += kFormKey;
  text += "\": ";
  text += FormMemberJson(FormMemberOf(state), 2);
  text += "\n}\n";
  return text;
}

FormState ReadDesignFileText(std::string_view text, char decimalSeparator) {
  // The design reader reads the whole file in one pass, "Form" and all, and
  // checks the member as brennick-cli and the armoury do.
  const DesignEntry entry = ReadDesignObject(text, decimalSeparator);
  if (entry.inputError) throw DesignError(WithoutPosition(*entry.inputError));
  return entry.form ? FormOfDesign(entry.input, *entry.form) : FormOfDesign(entry.input);
}

FormState LoadDesignFile(const std::filesystem::path& path, char decimalSeparator) {
  try {
    return ReadDesignFileText(ReadFileText(path), decimalSeparator);
  } catch (const DesignError& e) {
    throw DesignError(CannotOpen(path, e.what()));
  }
}

void SaveDesignFile(const std::filesystem::path& path, const FormState& state,
                    char decimalSeparator) {
  try {
    WriteFileAtomically(path, DesignFileText(state, decimalSeparator));
  } catch (const DesignError& e) {
    throw DesignError(CannotSave(path, e.what()));
  }
}

std::string CannotOpen(const std::filesystem::path& path, std::string_view problem) {
  return "Cannot open \"" + path.string() + "\": " + std::string(problem);
}

std::string CannotSave(const std::filesystem::path& path, std::string_view problem) {
  return "Cannot save \"" + path.string() + "\": " + std::string(problem);
}

}  // namespace brennick
