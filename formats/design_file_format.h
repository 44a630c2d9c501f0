// Design files: a design object exactly as brennick-cli reads it (every key
// in the field table's order, the DecimalSeparator key first) with one more
// member, "Form", which keeps what the window shows beyond the design's
// values (see form_member.h). Written by the design objects' writer and read
// by their reader in one pass, "Form" and all, so the window's Open, the
// armoury and brennick-cli check "Form" alike and refuse the same files with
// the same messages. The files themselves are read and written in files/.
#pragma once

#include <string>
#include <string_view>

#include "form/form_state.h"
#include "formats/json_reader.h"

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
// The same read from any source, in one pass.
FormState ReadDesignFile(const json::ReadFn& read, char decimalSeparator);

}  // namespace brennick
