// Fuzz target: brennick-cli's reading of designs and its batch output.
//
// Input: one control byte (bits 0-1: plain, --json, --table markdown or
// --table csv output; bit 2: ',' as the decimal separator; bits 3-7: the size
// of the pieces the input arrives in), then the input text. The batch must
// never crash or hang, must end with one of its three exit statuses, must give
// the same output however the input is cut into pieces, in --json mode must
// write one valid JSON object per design holding exactly what the design run
// gives for that design, and in Markdown one row per design under a header.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cli/batch.h"
#include "engine/design.h"
#include "formats/design_object.h"
#include "formats/json_reader.h"
#include "formats/json_text.h"
#include "fuzz/fuzz_check.h"

using brennick::fuzz::Require;
namespace cli = brennick::cli;

namespace {

struct BatchOutput {
  int status = 0;
  std::string out;
  std::string err;
};

BatchOutput Run(std::string_view input, std::size_t piece, const cli::Options& options) {
  std::size_t pos = 0;
  const brennick::json::ReadFn read = [&](char* buffer, std::size_t size) {
    const std::size_t n = std::min({size, piece, input.size() - pos});
    std::copy_n(input.data() + pos, n, buffer);
    pos += n;
    return n;
  };
  cli::StringSink out, err;
  BatchOutput result;
  result.status = cli::ProcessDesigns(read, options, out, err);
  result.out = std::move(out.text);
  result.err = std::move(err.text);
  return result;
}

std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    Require(end != std::string_view::npos, "output does not end with a newline", text);
    lines.push_back(text.substr(0, end));
    text.remove_prefix(end + 1);
  }
  return lines;
}

// In --json mode each line is one design's object, in the order the designs
// were read, holding the run's lines and failure message.
void CheckJsonOutput(std::string_view input, const BatchOutput& batch, char dec) {
  std::vector<brennick::DesignEntry> entries;
  (void)brennick::ReadDesigns(input, dec, [&](brennick::DesignEntry& e) { entries.push_back(e); });
  const std::vector<std::string_view> lines = Lines(batch.out);
  Require(lines.size() == entries.size(), "not one JSON line per design read", batch.out);

  bool anyInputError = false;
  bool anyFailure = false;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const nlohmann::json object = nlohmann::json::parse(lines[i], nullptr, false);
    Require(!object.is_discarded() && object.is_object(), "a --json line is not a JSON object",
            lines[i]);
    Require(object.contains("statblock") && object["statblock"].is_array(),
            "a --json line without a statblock array", lines[i]);
    Require(object.contains("error"), "a --json line without an error member", lines[i]);
    const brennick::DesignEntry& entry = entries[i];
    Require(entry.position == i + 1, "designs not numbered from 1 in order");
    if (entry.inputError) {
      anyInputError = true;
      Require(object["statblock"].empty() && object["error"].is_string() &&
                  object.value("input_error", false),
              "an input error not reported as one", lines[i]);
      continue;
    }
    const brennick::DesignResult run = brennick::RunDesign(entry.input, dec);
    const nlohmann::json& statblock = object["statblock"];
    Require(statblock.size() == run.lines.size(), "--json statblock has the wrong line count",
            lines[i]);
    for (std::size_t k = 0; k < run.lines.size(); ++k) {
      const auto expected = nlohmann::json::parse(brennick::json::Quoted(run.lines[k]));
      Require(statblock[k] == expected, "--json statblock line differs from the run", lines[i]);
    }
    if (run.error) {
      anyFailure = true;
      Require(object["error"] == nlohmann::json::parse(brennick::json::Quoted(*run.error)),
              "--json error differs from the run's message", lines[i]);
    } else {
      Require(object["error"].is_null(), "a completed design with an error", lines[i]);
    }
  }
  if (!anyInputError && batch.status != cli::kExitInputError) {
    Require(batch.status == (anyFailure ? cli::kExitDesignFailed : cli::kExitOk),
            "exit status does not match the designs' outcomes");
  }
  if (anyInputError) Require(batch.status == cli::kExitInputError, "input error not exit 2");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1 || size > 65536) return 0;
  const std::uint8_t control = data[0];
  const std::string_view input(reinterpret_cast<const char*>(data + 1), size - 1);
  constexpr cli::Format kFormats[] = {cli::Format::Plain, cli::Format::Json, cli::Format::Markdown,
                                      cli::Format::Csv};
  cli::Options options;
  options.format = kFormats[control & 3];
  options.decimalSeparator = control & 4 ? ',' : '.';
  const std::size_t piece = 1 + (control >> 3);

  const BatchOutput whole = Run(input, input.size() + 1, options);
  Require(whole.status == cli::kExitOk || whole.status == cli::kExitDesignFailed ||
              whole.status == cli::kExitInputError,
          "unknown exit status");
  const BatchOutput pieces = Run(input, piece, options);
  Require(pieces.status == whole.status && pieces.out == whole.out && pieces.err == whole.err,
          "the output depends on how the input is cut into pieces");
  if (options.format == cli::Format::Json) {
    CheckJsonOutput(input, whole, options.decimalSeparator);
  } else if (options.format == cli::Format::Markdown) {
    std::size_t designs = 0;
    (void)brennick::ReadDesigns(input, options.decimalSeparator,
                                [&](brennick::DesignEntry&) { ++designs; });
    Require(Lines(whole.out).size() == designs + 2, "not one Markdown row per design read",
            whole.out);
  }
  return 0;
}
