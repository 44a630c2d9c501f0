#include "files/design_file.h"

#include "engine/design_error.h"
#include "files/file_io.h"
#include "formats/design_file_format.h"

namespace brennick {

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
