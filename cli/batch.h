// brennick-cli's batch: reads designs, runs each and writes its statblock as
// plain lines or, with --json, as one JSON object per line.
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

struct Options {
  bool json = false;
  char decimalSeparator = '.';
};

// Reads, runs and writes every design; returns the exit status. Standard
// output is flushed before every read from `read` and before anything goes to
// `err`, so interactive use and interleaved streams stay in order.
int ProcessDesigns(const json::ReadFn& read, const Options& options, Sink& out, Sink& err);

}  // namespace brennick::cli
