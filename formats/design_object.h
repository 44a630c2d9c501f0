// Design objects: a design as a JSON object that maps the form's field names
// to values, read into DesignInput and written back.
//
// Text fields take a string, the text as typed in the window, or a number,
// which stands for its own JSON text with the decimal separator in place of
// its '.' (7.62 is the text "7,62" where the separator is a comma). Option
// groups take the 0-based index of an item (-1 for none) or a caption: an
// item's caption in any case, or a leading part of exactly one caption. Check
// boxes take true or false. Absent keys keep the form's start values, so {}
// is the form as the window opens.
//
// A text may be at most kMaxTextLength characters long (UTF-16 code units, as
// the window's text fields count them); a longer one is an input error, found
// without holding it. A design file's member "Form" (see form_member.h) is
// read and checked wherever a design object stands, as the window checks it.
//
// The key "DecimalSeparator" (".", or ",") names the separator the design's
// texts were typed with. A design that has it reads the same everywhere: where
// the reader's separator is the other one, the two characters are swapped in
// every text but the name, so a number text stays valid and an invalid one
// stays invalid. Without it the texts are taken as typed with the reader's.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "engine/design.h"
#include "form/form_member.h"
#include "formats/json_reader.h"

namespace brennick {

// One design read from a stream of design objects. `position` counts designs
// from 1 across the whole stream (each element of an array is a design of its
// own). `form` is the design's "Form" member when it has one, checked. When
// `inputError` is set the design could not be read and `input` and `form` are
// incomplete.
struct DesignEntry {
  std::size_t position = 0;
  DesignInput input;
  std::optional<FormMember> form;
  std::optional<std::string> inputError;
};
using DesignFn = std::function<void(DesignEntry& entry)>;

// Reads a stream of JSON values, each a design object or an array of design
// objects, and hands on every design as soon as its closing brace has been
// read. `decimalSeparator` is the reader's: texts are read as the design
// run on this machine will read them. An unknown or repeated key, a value of
// the wrong type or a value that is not a design object is an input error of
// that design alone. Returns nothing when the whole input was read, or the
// message for malformed JSON (with its line and column); reading stops there,
// after the designs before the fault have been handed on.
std::optional<std::string> ReadDesigns(const json::ReadFn& read, char decimalSeparator,
                                       const DesignFn& onDesign);
std::optional<std::string> ReadDesigns(std::string_view text, char decimalSeparator,
                                       const DesignFn& onDesign);

// Reads a text that holds exactly one design object, such as a design file.
// Malformed JSON, anything but one object (several values, or an array even of
// one sound design), and the input errors above are given in `inputError`,
// with the design counted as design 1.
DesignEntry ReadDesignObject(std::string_view text, char decimalSeparator);
// The same from any source, read in one pass.
DesignEntry ReadDesignObject(const json::ReadFn& read, char decimalSeparator);

// How a design object is written.
struct DesignObjectStyle {
  char decimalSeparator = '.';  // the separator the texts are typed with, written as a key
  bool captions = false;        // option groups by caption (-1 stays -1) instead of index
};

// A design object with the DecimalSeparator key and every key of the form, one
// key per line.
std::string DesignObjectText(const DesignInput& design, const DesignObjectStyle& style);
// The same with the member "Form" last, `form`'s members each on a line of
// their own: what a design file holds.
std::string DesignObjectText(const DesignInput& design, const FormMember& form,
                             const DesignObjectStyle& style);
// The same on one line, as for JSON Lines (no line break at the end).
void AppendDesignObjectLine(std::string& out, const DesignInput& design,
                            const DesignObjectStyle& style);

}  // namespace brennick
