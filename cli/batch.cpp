#include "batch.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <stdexcept>

#include "design.h"
#include "design_object.h"
#include "explain_output.h"
#include "json_text.h"
#include "weapon_table.h"

namespace brennick::cli {
namespace {

constexpr std::size_t kOutputChunk = 64 * 1024;
// The most room taken at once for a design's JSON line written in place.
constexpr std::size_t kInPlaceLimit = 1024 * 1024;

// Standard output on its way: one block of memory, written into in place and
// handed to the sink whole. It grows only for a design whose answer does not
// fit, and is used again from its start after every flush.
class OutputBuffer {
 public:
  OutputBuffer() : data_(new char[kOutputChunk * 2]), capacity_(kOutputChunk * 2) {}

  // Room for n more bytes, at the end of what is held.
  char* Room(std::size_t n) {
    if (capacity_ - size_ < n) Grow(n);
    return data_.get() + size_;
  }
  // What was written into the room ends at `end`.
  void Took(const char* end) { size_ = static_cast<std::size_t>(end - data_.get()); }
  void Append(std::string_view text) {
    std::memcpy(Room(text.size()), text.data(), text.size());
    size_ += text.size();
  }
  void Append(char c) { *Room(1) = c, ++size_; }

  std::string_view Held() const { return {data_.get(), size_}; }
  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  void clear() { size_ = 0; }

 private:
  void Grow(std::size_t n) {
    const std::size_t capacity = std::max(capacity_ * 2, size_ + n);
    std::unique_ptr<char[]> data(new char[capacity]);
    std::memcpy(data.get(), data_.get(), size_);
    data_ = std::move(data);
    capacity_ = capacity;
  }

  std::unique_ptr<char[]> data_;
  std::size_t capacity_;
  std::size_t size_ = 0;
};

// Writes `text` at `out`; returns its end.
char* Put(char* out, std::string_view text) {
  std::memcpy(out, text.data(), text.size());
  return out + text.size();
}

// Standard output of one batch, buffered, and its exit status.
class Batch {
 public:
  Batch(const Options& options, Sink& out, Sink& err) : options_(options), out_(out), err_(err) {}

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
      row_.clear();
      AppendTableHeader(row_, TableFormatOf());
      buf_.Append(row_);
    }
  }

  // Input that stops the batch: malformed JSON, a read failure.
  void Fatal(std::string_view message) {
    inputError_ = true;
    ErrorLine(message);
  }

  void Flush() {
    if (buf_.empty()) return;
    out_.Write(buf_.Held());
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
    if (anyPrinted_) buf_.Append('\n');
    anyPrinted_ = true;
    if (options_.explain) {
      row_.clear();
      AppendExplainedLines(row_, result);
      buf_.Append(row_);
    } else {
      for (std::string_view line : result.lines) {
        buf_.Append(line);
        buf_.Append('\n');
      }
    }
    if (result.error) {
      ErrorLine("design " + std::to_string(entry.position) + ": " + *result.error);
    }
  }

  // {"statblock": [...], "error": ...}, the message exactly as the window's.
  // Written in place: the room for the longest form of every line is taken
  // first.
  void Json(const DesignEntry& entry) {
    if (entry.inputError) {
      inputError_ = true;
      buf_.Append("{\"statblock\": [], \"error\": ");
      row_.clear();
      json::AppendQuoted(row_, *entry.inputError);
      buf_.Append(row_);
      buf_.Append(", \"input_error\": true");
      if (options_.explain) buf_.Append(", \"explain\": []");
      buf_.Append("}\n");
      return;
    }
    const DesignResult result = Run(entry);
    // Every line takes at most QuotedBound of its size, with its separator.
    const std::string_view text = result.lines.Text();
    const std::size_t room = 64 + json::QuotedBound(text.size()) +
                             (result.error ? json::QuotedBound(result.error->size()) : 0);
    if (room > kInPlaceLimit || options_.explain) return JsonOfLongTexts(result);
    char* out = Put(buf_.Room(room), "{\"statblock\": [");
    out = json::WriteQuotedLines(out, text, result.lines.Ends());
    out = Put(out, "], \"error\": ");
    out = result.error ? json::WriteQuoted(out, *result.error) : Put(out, "null");
    buf_.Took(Put(out, "}\n"));
  }

  // A design with texts so long (a name of megabytes) that room for six times
  // their size is not taken: quoted piece by piece instead. Derivations take
  // this way too, being long and asked for rarely.
  void JsonOfLongTexts(const DesignResult& result) {
    buf_.Append("{\"statblock\": [");
    bool first = true;
    for (std::string_view line : result.lines) {
      if (!first) buf_.Append(", ");
      first = false;
      row_.clear();
      json::AppendQuoted(row_, line);
      buf_.Append(row_);
    }
    buf_.Append("], \"error\": ");
    row_.clear();
    if (result.error) {
      json::AppendQuoted(row_, *result.error);
    } else {
      row_ = "null";
    }
    buf_.Append(row_);
    if (options_.explain) {
      row_.clear();
      AppendJsonExplain(row_, result);
      buf_.Append(row_);
    }
    buf_.Append("}\n");
  }

  void Row(const DesignEntry& entry) {
    WeaponRow row;
    if (entry.inputError) {
      inputError_ = true;
      row[kColError] = *entry.inputError;
    } else {
      row = WeaponRowOf(entry.input, Run(entry));
    }
    row_.clear();
    AppendTableRow(row_, TableFormatOf(), row);
    buf_.Append(row_);
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
  OutputBuffer buf_;
  std::string row_;  // a table row on its way into buf_
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
