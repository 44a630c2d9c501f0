#include "batch.h"

#include <stdexcept>

#include "design.h"
#include "design_object.h"
#include "json_text.h"

namespace brennick::cli {
namespace {

constexpr std::size_t kOutputChunk = 64 * 1024;

// Standard output of one batch, buffered, and its exit status.
class Batch {
 public:
  Batch(const Options& options, Sink& out, Sink& err) : options_(options), out_(out), err_(err) {
    buf_.reserve(kOutputChunk * 2);
  }

  void Design(DesignEntry& entry) {
    if (entry.inputError) {
      inputError_ = true;
      if (options_.json) {
        buf_ += "{\"statblock\": [], \"error\": ";
        json::AppendQuoted(buf_, *entry.inputError);
        buf_ += ", \"input_error\": true}\n";
      } else {
        ErrorLine(*entry.inputError);
      }
    } else {
      const DesignResult result = RunDesign(entry.input, options_.decimalSeparator);
      if (result.error) designFailed_ = true;
      if (options_.json) {
        buf_ += "{\"statblock\": [";
        bool first = true;
        for (std::string_view line : result.lines) {
          if (!first) buf_ += ", ";
          first = false;
          json::AppendQuoted(buf_, line);
        }
        buf_ += "], \"error\": ";
        if (result.error) {
          json::AppendQuoted(buf_, *result.error);
        } else {
          buf_ += "null";
        }
        buf_ += "}\n";
      } else {
        if (anyPrinted_) buf_ += '\n';
        anyPrinted_ = true;
        for (std::string_view line : result.lines) {
          buf_ += line;
          buf_ += '\n';
        }
        if (result.error) ErrorLine(*result.error);
      }
    }
    if (buf_.size() >= kOutputChunk) Flush();
  }

  // Input that stops the batch: malformed JSON, a read failure.
  void Fatal(std::string_view message) {
    inputError_ = true;
    ErrorLine(message);
  }

  void Flush() {
    if (buf_.empty()) return;
    out_.Write(buf_);
    buf_.clear();
  }

  int Status() const {
    return inputError_ ? kExitInputError : designFailed_ ? kExitDesignFailed : kExitOk;
  }

 private:
  void ErrorLine(std::string_view message) {
    Flush();  // keeps standard output and standard error in order on a terminal
    std::string line = json::ValidUtf8(message);
    line += '\n';
    err_.Write(line);
  }

  const Options& options_;
  Sink& out_;
  Sink& err_;
  std::string buf_;
  bool anyPrinted_ = false;
  bool designFailed_ = false;
  bool inputError_ = false;
};

}  // namespace

int ProcessDesigns(const json::ReadFn& read, const Options& options, Sink& out, Sink& err) {
  // A failure of `read` itself, told apart from failures to write output.
  struct ReadFailure : std::runtime_error {
    using std::runtime_error::runtime_error;
  };
  Batch batch(options, out, err);
  // Whatever is ready goes out before a read that may wait for more input.
  const json::ReadFn flushingRead = [&](char* buffer, std::size_t size) {
    batch.Flush();
    try {
      return read(buffer, size);
    } catch (const std::runtime_error& e) {
      throw ReadFailure(e.what());
    }
  };
  try {
    if (auto fault = ReadDesigns(flushingRead, options.decimalSeparator,
                                 [&](DesignEntry& e) { batch.Design(e); })) {
      batch.Fatal(*fault);
    }
  } catch (const ReadFailure& e) {
    batch.Fatal(std::string("brennick-cli: ") + e.what());
  }
  batch.Flush();
  return batch.Status();
}

}  // namespace brennick::cli
