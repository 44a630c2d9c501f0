#include "cli/batch.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <optional>
#include <stdexcept>
#include <utility>

#include "cli/explain_output.h"
#include "engine/design.h"
#include "formats/design_object.h"
#include "formats/json_text.h"
#include "formats/weapon_table.h"

namespace brennick::cli {

void AppendVisible(std::string& out, std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const auto* const e = p + text.size();
  const auto* run = p;  // start of the bytes that go out as they are
  while (p < e) {
    const unsigned char c = *p;
    std::size_t n = 1;
    if (c >= 0x20 && c < 0x7F) {
      ++p;
      continue;
    }
    if (c >= 0x80) {
      n = json::Utf8SequenceLength(p, e);
      // A C1 control is C2 followed by 80 to 9F; a terminal may act on it.
      const bool c1 = n == 2 && c == 0xC2 && p[1] < 0xA0;
      if (n != 0 && !c1) {
        p += n;
        continue;
      }
      if (n == 0) n = 1;
    }
    out.append(reinterpret_cast<const char*>(run), static_cast<std::size_t>(p - run));
    for (const auto* b = p; b < p + n; ++b) {
      switch (*b) {
        case '\n':
          out += "\\n";
          break;
        case '\r':
          out += "\\r";
          break;
        case '\t':
          out += "\\t";
          break;
        default:
          out += "\\x";
          out += kHex[*b >> 4];
          out += kHex[*b & 0xF];
      }
    }
    p += n;
    run = p;
  }
  out.append(reinterpret_cast<const char*>(run), static_cast<std::size_t>(e - run));
}

std::string MessageLine(std::string_view message) {
  std::string line;
  line.reserve(message.size() + 1);
  AppendVisible(line, message);
  line += '\n';
  return line;
}

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
      AppendExplainedLines(row_, result, options_.visibleControls);
      buf_.Append(row_);
    } else if (options_.visibleControls) {
      // A line break inside a line (a name typed with one) shows as \n, so
      // only the statblock's own lines begin a line on the screen.
      for (std::string_view line : result.lines) {
        row_.clear();
        AppendVisible(row_, line);
        row_ += '\n';
        buf_.Append(row_);
      }
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
    if (!options_.visibleControls) return buf_.Append(row_);
    // On a terminal the cells' control characters show as escapes; the
    // record's own end (LF, or CSV's CR LF) stays.
    const std::size_t end = row_.size() - (options_.format == Format::Csv ? 2 : 1);
    std::string visible;
    AppendVisible(visible, std::string_view(row_).substr(0, end));
    visible += std::string_view(row_).substr(end);
    buf_.Append(visible);
  }

  // A message on standard error. When it cannot be written the batch goes on
  // (standard output may still take every design) and fails at the end.
  void ErrorLine(std::string_view message) {
    Flush();  // keeps standard output and standard error in order on a terminal
    if (errBroken_) return;
    try {
      err_.Write(MessageLine(message));
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
      // Named like the other faults of a file; standard input is the one
      // input when no file is named.
      batch.Fatal(options.source.empty() ? *fault
                                         : "brennick-cli: " + options.source + ": " + *fault);
    }
  } catch (const ReadFailure& e) {
    batch.Fatal(std::string("brennick-cli: ") + e.what());
  }
  batch.Flush();
  return batch.Status();
}

}  // namespace brennick::cli
