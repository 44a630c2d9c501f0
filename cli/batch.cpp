#include "batch.h"

#include <stdexcept>

#include "design.h"
#include "design_object.h"
#include "explain_output.h"
#include "json_text.h"
#include "weapon_table.h"

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
    switch (options_.format) {
      case Format::Plain:
        Plain(entry);
        break;
      case Format::Json:
        Json(entry);
        break;
      case Format::Markdown:
      case Format::Csv:
        Row(entry);
        break;
    }
    if (buf_.size() >= kOutputChunk) Flush();
  }

  // The table's header, before the first design.
  void Begin() {
    if (options_.format == Format::Markdown || options_.format == Format::Csv) {
      AppendTableHeader(buf_, TableFormatOf());
    }
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
  TableFormat TableFormatOf() const {
    return options_.format == Format::Csv ? TableFormat::Csv : TableFormat::Markdown;
  }

  DesignResult Run(const DesignEntry& entry) {
    DesignResult result = RunDesign(entry.input, options_.decimalSeparator,
                                    options_.explain ? Explain::Yes : Explain::No);
    if (result.error) designFailed_ = true;
    return result;
  }

  // The statblock's lines, one empty line between designs; the messages go to
  // standard error, named by the design's place in the input.
  void Plain(const DesignEntry& entry) {
    if (entry.inputError) {
      inputError_ = true;
      return ErrorLine(*entry.inputError);
    }
    const DesignResult result = Run(entry);
    if (anyPrinted_) buf_ += '\n';
    anyPrinted_ = true;
    if (options_.explain) {
      AppendExplainedLines(buf_, result);
    } else {
      for (std::string_view line : result.lines) {
        buf_ += line;
        buf_ += '\n';
      }
    }
    if (result.error) {
      ErrorLine("design " + std::to_string(entry.position) + ": " + *result.error);
    }
  }

  // {"statblock": [...], "error": ...}, the message exactly as the window's.
  void Json(const DesignEntry& entry) {
    if (entry.inputError) {
      inputError_ = true;
      buf_ += "{\"statblock\": [], \"error\": ";
      json::AppendQuoted(buf_, *entry.inputError);
      buf_ += ", \"input_error\": true";
      if (options_.explain) buf_ += ", \"explain\": []";
      buf_ += "}\n";
      return;
    }
    const DesignResult result = Run(entry);
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
    if (options_.explain) AppendJsonExplain(buf_, result);
    buf_ += "}\n";
  }

  void Row(const DesignEntry& entry) {
    WeaponRow row;
    if (entry.inputError) {
      inputError_ = true;
      row[kColError] = *entry.inputError;
    } else {
      row = WeaponRowOf(entry.input, Run(entry));
    }
    AppendTableRow(buf_, TableFormatOf(), row);
  }

  // A message on standard error. When it cannot be written the batch goes on
  // (standard output may still take every design) and fails at the end.
  void ErrorLine(std::string_view message) {
    Flush();  // keeps standard output and standard error in order on a terminal
    if (errBroken_) return;
    std::string line = json::ValidUtf8(message);
    line += '\n';
    try {
      err_.Write(line);
    } catch (const std::runtime_error&) {
      errBroken_ = true;
      inputError_ = true;
    }
  }

  const Options& options_;
  Sink& out_;
  Sink& err_;
  std::string buf_;
  bool anyPrinted_ = false;
  bool designFailed_ = false;
  bool inputError_ = false;
  bool errBroken_ = false;
};

}  // namespace

int ProcessDesigns(const json::ReadFn& read, const Options& options, Sink& out, Sink& err) {
  // A failure of `read` itself, told apart from failures to write output.
  struct ReadFailure : std::runtime_error {
    using std::runtime_error::runtime_error;
  };
  Batch batch(options, out, err);
  batch.Begin();
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
