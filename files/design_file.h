// Design files: a design object exactly as brennick-cli reads it (every key
// in the field table's order, the DecimalSeparator key first) with one more
// member, "Form", which keeps what the window shows beyond the design's
// values (see form_member.h). One reader, the design objects', reads every
// design file in one pass: the window's Open, the armoury and brennick-cli
// all check "Form" alike and refuse the same files with the same messages.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "form/form_member.h"
#include "form/form_state.h"

namespace brennick {

// The text of a design file for `state`, its texts typed with
// `decimalSeparator`. UTF-8, ending with a line feed.
std::string DesignFileText(const FormState& state, char decimalSeparator);

// The form a design file's text holds, its texts taken over into
// `decimalSeparator` (the reader's) when it was written with the other one.
// Throws DesignError with the problem: malformed JSON with its line and
// column, anything but one design object, a text longer than a field holds,
// or the key at fault and what is wrong with its value.
FormState ReadDesignFileText(std::string_view text, char decimalSeparator);

// The same for a file on disk. The message of the DesignError names the file.
FormState LoadDesignFile(const std::filesystem::path& path, char decimalSeparator);

// Saves `state` to `path` atomically; the DesignError's message names the
// file and gives the system's reason.
void SaveDesignFile(const std::filesystem::path& path, const FormState& state,
                    char decimalSeparator);

// Messages about a file, as the window shows them.
std::string CannotOpen(const std::filesystem::path& path, std::string_view problem);
std::string CannotSave(const std::filesystem::path& path, std::string_view problem);

}  // namespace brennick
