// Design objects: a design as a JSON object that maps the form's field names
// to values, read into DesignInput and written back.
//
// Text fields take a string, the text as typed in the window; option groups
// take the 0-based index of an item (-1 for none) or the item's caption;
// check boxes take true or false. Absent keys keep the form's start values,
// so {} is the form as the window opens.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "design.h"
#include "json_reader.h"

namespace brennick {

// One design read from a stream of design objects. `position` counts designs
// from 1 across the whole stream (each element of an array is a design of its
// own). When `inputError` is set the design could not be read and `input` is
// incomplete.
struct DesignEntry {
  std::size_t position = 0;
  DesignInput input;
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

// How a design object is written.
struct DesignObjectStyle {
  char decimalSeparator = '.';  // the separator the texts are typed with
};

// A design object with every key of the form, one key per line.
std::string DesignObjectText(const DesignInput& design, const DesignObjectStyle& style);

}  // namespace brennick
