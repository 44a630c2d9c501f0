// Design files on disk: opening and saving them, and the window's messages
// about a file. Their text, the design object with its "Form" member, is
// written and read by formats/design_file_format.h.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "form/form_state.h"

namespace brennick {

// The form a design file holds, read as untrusted input (see file_io.h) with
// the reader's `decimalSeparator`. The message of the DesignError names the
// file.
FormState LoadDesignFile(const std::filesystem::path& path, char decimalSeparator);

// Saves `state` to `path` atomically; the DesignError's message names the
// file and gives the system's reason.
void SaveDesignFile(const std::filesystem::path& path, const FormState& state,
                    char decimalSeparator);

// Messages about a file, as the window shows them.
std::string CannotOpen(const std::filesystem::path& path, std::string_view problem);
std::string CannotSave(const std::filesystem::path& path, std::string_view problem);

}  // namespace brennick
