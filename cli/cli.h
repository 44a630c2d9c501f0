// brennick-cli: designs weapons from JSON without the window.
//
// The input is a sequence of JSON values separated by white space; each value
// is a design object or an array of design objects. A design object maps field
// names of the form to values (text fields to strings, option groups to an item
// index or caption, check boxes to true or false); absent keys keep the form's
// start values. Each design is run and its statblock written as plain lines or,
// with --json, as one JSON object per line.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "design.h"

namespace brennick::cli {

// Exit statuses of the program.
inline constexpr int kExitOk = 0;            // every design completed
inline constexpr int kExitDesignFailed = 1;  // at least one design run failed
inline constexpr int kExitInputError = 2;    // bad input, bad usage or I/O trouble

// ---------------------------------------------------------------------------
// Reading designs.

// One design read from the input. `position` counts designs from 1 across the
// whole input (each element of an array is a design of its own). When
// `inputError` is set the design could not be read and `input` is incomplete.
struct DesignEntry {
  std::size_t position = 0;
  DesignInput input;
  std::optional<std::string> inputError;
};

// Fills `buffer` with up to `size` bytes and returns how many were read, 0 at
// the end of the input. May throw std::runtime_error on a read failure.
using ReadFn = std::function<std::size_t(char* buffer, std::size_t size)>;
using DesignFn = std::function<void(DesignEntry& entry)>;

// Reads every design from `read`, handing each to `onDesign` as soon as its
// object is complete. Returns nothing when the whole input was read, or the
// message for malformed JSON (with its line and column); reading stops there,
// after the designs before the fault have been handed on.
std::optional<std::string> ReadDesigns(const ReadFn& read, const DesignFn& onDesign);
std::optional<std::string> ReadDesigns(std::string_view text, const DesignFn& onDesign);

// ---------------------------------------------------------------------------
// Writing results.

// `text` as a JSON string literal with its quotes. Bytes that are not valid
// UTF-8 become U+FFFD, so any text gives valid JSON.
std::string JsonQuoted(std::string_view text);
void AppendJsonQuoted(std::string& out, std::string_view text);

// A design object with every key at the form's start value, one key per line.
std::string TemplateText();

// The system's decimal separator, from the LC_NUMERIC category of the
// environment; '.' when the locale names none or a multi-byte one. Leaves
// LC_NUMERIC at "C" so nothing else in the program depends on it.
char DecimalSeparatorFromEnvironment();

// Where output goes. The batch writer buffers standard output itself and calls
// Write with large pieces.
class Sink {
 public:
  virtual ~Sink() = default;
  virtual void Write(std::string_view data) = 0;
};

class StringSink : public Sink {
 public:
  void Write(std::string_view data) override { text.append(data); }
  std::string text;
};

struct Options {
  bool json = false;
  char decimalSeparator = '.';
};

// Reads, runs and writes every design; returns the exit status. Standard
// output is flushed before every read from `read` blocks and before anything
// goes to `err`, so interactive use and interleaved streams stay in order.
int ProcessDesigns(const ReadFn& read, const Options& options, Sink& out, Sink& err);

// The program: parses the command line and runs the batch on standard input
// and output. Returns the exit status.
int Main(int argc, const char* const* argv);

// The program's version, from the build.
const char* Version();

}  // namespace brennick::cli
