// brennick-cli's batch: reads designs, runs each and writes its statblock as
// plain lines, as one JSON object per line, or as a row of a weapon table.
#pragma once

#include <string>
#include <string_view>

#include "json_reader.h"

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
};

// Reads, runs and writes every design; returns the exit status. Standard
// output is flushed before every read from `read` and before anything goes to
// `err`, so interactive use and interleaved streams stay in order. When `err`
// cannot be written the batch still writes every design to `out` and ends
// with kExitInputError; when `out` cannot be written its Write's exception
// ends the batch.
int ProcessDesigns(const json::ReadFn& read, const Options& options, Sink& out, Sink& err);

}  // namespace brennick::cli
