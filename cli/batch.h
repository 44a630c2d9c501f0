// brennick-cli's batch: reads designs, runs each and writes its statblock as
// plain lines, as one JSON object per line, or as a row of a weapon table.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include "formats/json_reader.h"

namespace brennick::cli {

// Exit statuses of the program.
inline constexpr int kExitOk = 0;            // every design completed
inline constexpr int kExitDesignFailed = 1;  // at least one design run failed
inline constexpr int kExitInputError = 2;    // bad input, bad usage or I/O trouble

// Where output goes. The batch buffers standard output itself and calls Write
// with large pieces. Write throws std::runtime_error when it cannot write.
class Sink {
 public:
  virtual ~Sink() = default;
  virtual void Write(std::string_view data) = 0;
};

// What a Sink throws when the reader of its pipe has gone (a `| head` that
// has seen enough): the program then stops without a message.
struct OutputClosed : std::runtime_error {
  using std::runtime_error::runtime_error;
};

class StringSink : public Sink {
 public:
  void Write(std::string_view data) override { text.append(data); }
  std::string text;
};

enum class Format { Plain, Json, Markdown, Csv };

struct Options {
  Format format = Format::Plain;
  char decimalSeparator = '.';  // the reader's: texts are read and numbers written with it
  bool explain = false;         // each line's derivation with it (plain and JSON output)
  // Standard output is a terminal: plain output and tables show the control
  // characters of texts as escapes (see AppendVisible), so that a name cannot
  // move the cursor, hide lines or fake them. JSON output is the same anywhere.
  bool visibleControls = false;
  // The input as messages name it, "'designs.json'"; empty for standard input.
  std::string source = {};
};

// Appends `text` with every byte a terminal would act on shown as an escape:
// \n, \r and \t for those three, \xHH (hex, upper case) for every other
// control character (C0, DEL, and the two bytes of a C1 control, U+0080 to
// U+009F) and for each byte that is not part of valid UTF-8. Every other
// character, printable ASCII or not, stays as it is.
void AppendVisible(std::string& out, std::string_view text);

// One message for standard error, ended by a newline, its text passed through
// AppendVisible. Every message the program writes there is made by it,
// whatever standard error is, so a file name or a typed text cannot act on
// the terminal.
std::string MessageLine(std::string_view message);

// Reads, runs and writes every design; returns the exit status. Standard
// output is flushed before every read from `read` and before anything goes to
// `err`, so interactive use and interleaved streams stay in order. When `err`
// cannot be written the batch still writes every design to `out` and ends
// with kExitInputError; when `out` cannot be written its Write's exception
// ends the batch.
int ProcessDesigns(const json::ReadFn& read, const Options& options, Sink& out, Sink& err);

}  // namespace brennick::cli
