#include "cli/cli.h"

#include <fcntl.h>
#include <unistd.h>

#if defined(__EMSCRIPTEN__)
#include <emscripten/emscripten.h>
#endif

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cerrno>
#include <charconv>
#include <clocale>
#include <cstdint>
#include <cstring>
#include <exception>
#include <functional>
#include <limits>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "cli/batch.h"
#include "cli/compare.h"
#include "cli/random_designs.h"
#include "engine/design.h"
#include "formats/design_object.h"
#include "formats/json_reader.h"

#ifndef BRENNICK_VERSION
#define BRENNICK_VERSION "unknown"
#endif

namespace brennick::cli {
namespace {

// Writes everything to a file descriptor.
class FdSink : public Sink {
 public:
  explicit FdSink(int fd) : fd_(fd) {}
  void Write(std::string_view data) override {
    while (!data.empty()) {
      const ssize_t n = ::write(fd_, data.data(), data.size());
      if (n < 0) {
        if (errno == EINTR) continue;
        // Only where SIGPIPE is ignored: otherwise the signal has ended the
        // program quietly already.
        if (errno == EPIPE) throw OutputClosed("the reader of the output has gone");
        throw std::runtime_error(std::string("write error: ") + std::strerror(errno));
      }
      data.remove_prefix(static_cast<std::size_t>(n));
    }
  }

 private:
  int fd_;
};

}  // namespace

#if defined(__EMSCRIPTEN__)
// WebAssembly's C library knows the C locale alone: under node the separator
// is that of the system's locale, asked for by cmake/wasm-node-pre.js.
EM_JS(int, NodeDecimalSeparator, (),
      { return Module['decimalSeparator'] ? Module['decimalSeparator']() : 46; });
// Its terminal check says yes for the three standard streams whatever they
// are; node knows what they are.
EM_JS(int, NodeIsTerminal, (int fd), { return require('tty').isatty(fd) ? 1 : 0; });
#endif

namespace {

// Whether the output goes to a terminal, where its control characters show
// as escapes.
bool IsTerminal(int fd) {
#if defined(__EMSCRIPTEN__)
  return NodeIsTerminal(fd) == 1;
#else
  return ::isatty(fd) == 1;
#endif
}

}  // namespace

char DecimalSeparatorFromEnvironment() {
#if defined(__EMSCRIPTEN__)
  return static_cast<char>(NodeDecimalSeparator());
#else
  char dec = '.';
  if (std::setlocale(LC_NUMERIC, "") != nullptr) {
    const std::lconv* lc = std::localeconv();
    if (lc != nullptr && lc->decimal_point != nullptr && lc->decimal_point[0] != '\0' &&
        lc->decimal_point[1] == '\0') {
      dec = lc->decimal_point[0];
    }
  }
  std::setlocale(LC_NUMERIC, "C");
  return dec;
#endif
}

const char* Version() {
  return BRENNICK_VERSION;
}

namespace {

constexpr std::uint64_t kMostRandomDesigns = std::numeric_limits<std::uint64_t>::max();
constexpr std::uint64_t kMostSeed = 0xFFFFFFFF;

// A whole number written in decimal digits, as --random and --seed take
// them, when it is no more than `most`. Nothing else is read as one: no sign,
// no spaces, and no octal or hexadecimal (a seed "010" is ten).
std::optional<std::uint64_t> DecimalNumber(const std::string& text, std::uint64_t most) {
  std::uint64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || value > most) {
    return std::nullopt;
  }
  return value;
}

// The check of a numeric option: the message for a text that is no number
// within 0 to `most`.
CLI::Validator NumberCheck(const std::string& what, std::uint64_t most) {
  return CLI::Validator(
      [what, most](const std::string& text) -> std::string {
        if (DecimalNumber(text, most)) return {};
        if (text.starts_with('-')) return what + " cannot be negative: " + text;
        if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) {
          return what + " must be written in decimal digits: " + text;
        }
        return what + " " + text + " is too large; the largest is " + std::to_string(most);
      },
      "");
}

// `--table` takes its format as the next argument only when that is a
// format, so `--table designs.json` reads the file into a Markdown table.
std::vector<std::string> TableFormatJoined(int argc, const char* const* argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  std::vector<std::string> joined;
  bool options = true;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--") options = false;
    if (options && args[i] == "--table") {
      const bool format =
          i + 1 < args.size() && (args[i + 1] == "markdown" || args[i + 1] == "csv");
      joined.push_back("--table=" + (format ? args[++i] : std::string("markdown")));
    } else {
      joined.push_back(args[i]);
    }
  }
  std::reverse(joined.begin(), joined.end());  // CLI11 takes the arguments last first
  return joined;
}

}  // namespace

int Main(int argc, const char* const* argv) {
  CLI::App app("Designs firearms and electromagnetic guns from JSON and prints their statblocks.",
               "brennick-cli");
  std::string file;
  bool jsonOutput = false;
  std::string table;
  bool printTemplate = false;
  bool captions = false;
  std::string separator;
  std::string randomCount;  // read by DecimalNumber, which the options' checks use
  std::string seed;
  bool onlyAutomatic = false;
  bool explain = false;
  auto* fileOption =
      app.add_option("FILE", file, "File of designs; standard input when absent or \"-\".")
          ->type_name("");
  auto* jsonOption =
      app.add_flag("--json", jsonOutput,
                   "Write one JSON object per design: {\"statblock\": [...], \"error\": ...}.");
  auto* explainOption = app.add_flag(
      "--explain", explain,
      "With each statblock line, how it came about: the inputs read, the table rows, factors, "
      "rounding. Plain output indents each line's steps under it; --json adds \"explain\".");
  app.add_option(
         "--table", table,
         "Write a weapon table, one row per design: name, TL, damage, Acc, range, weight, "
         "RoF, shots, ST, bulk, Rcl, Malf, cost, HP, LC and the message of a failed design.")
      ->type_name("[markdown|csv]")
      ->check(CLI::IsMember({"markdown", "csv"}))
      ->excludes(jsonOption)
      ->excludes(explainOption);
  auto* templateOption =
      app.add_flag("--template", printTemplate,
                   "Print a design object with every key at its start value, then exit.")
          ->excludes(fileOption)
          ->excludes("--table")
          ->excludes(explainOption);
  app.add_flag("--captions", captions, "With --template: option groups by caption, not index.")
      ->needs(templateOption);
  auto* randomOption =
      app.add_option("--random", randomCount,
                     "Write N random designs as JSON Lines (or as design files with --out-dir), "
                     "each made by the window's Randomize on a fresh form, then exit.")
          ->type_name("N")
          ->check(NumberCheck("the number of designs", kMostRandomDesigns))
          ->excludes(fileOption)
          ->excludes(jsonOption)
          ->excludes("--table")
          ->excludes(templateOption)
          ->excludes(explainOption);
  auto* seedOption =
      app.add_option("--seed", seed,
                     "With --random: design k (from 0) is the click seeded with S + k (modulo "
                     "2^32); without it the seed comes from the clock and goes to standard error.")
          ->type_name("S")
          ->check(NumberCheck("the seed", kMostSeed))
          ->needs(randomOption);
  app.add_flag("--only-automatic", onlyAutomatic,
               "With --random: tick \"Only automatic\", so every design has an automatic "
               "mechanism.")
      ->needs(randomOption);
  std::string outDir;
  auto* outDirOption =
      app.add_option("--out-dir", outDir,
                     "With --random: save each design as a design file in DIR (made when "
                     "missing), named random-S-K.json for design K of seed S, instead of "
                     "writing JSON Lines; refuses when a name is taken there.")
          ->type_name("DIR")
          ->check(CLI::Validator(
              [](const std::string& text) -> std::string {
                return text.empty() ? "the folder has no name" : "";
              },
              ""))
          ->needs(randomOption);
  app.add_option("--decimal-separator", separator,
                 "Read texts and write numbers with this separator instead of the locale's.")
      ->type_name("C")
      ->check(CLI::IsMember({".", ","}));
  std::vector<std::string> compare;
  auto* compareOption =
      app.add_option("--compare", compare,
                     "Compare the statblocks of two design files and print the lines that "
                     "differ; exit status 0 when identical, 1 when they differ, 2 on error.")
          ->expected(2)
          ->type_name("A B")
          ->excludes(fileOption)
          ->excludes("--table")
          ->excludes(templateOption)
          ->excludes(randomOption);
  app.set_version_flag("--version", std::string("brennick-cli ") + Version());
  app.footer(
      "Input: JSON values, each a design object or an array of design objects. Keys are the\n"
      "form's field names (see --template): text fields take strings or numbers, option groups\n"
      "an item index (-1 for none) or a caption (any case, or a unique leading part), check\n"
      "boxes true or false; \"DecimalSeparator\" names the separator the texts were typed with.\n"
      "Absent keys keep their start values.\n"
      "\n"
      "Exit status: 0 when every design completed, 1 when a design run failed, 2 for input\n"
      "errors (bad keys or values, malformed JSON, an unreadable file, a bad option) and for\n"
      "output that cannot be written. When the reader of the output goes (| head), the program\n"
      "stops quietly: by SIGPIPE, or with 2 where SIGPIPE is ignored.\n"
      "\n"
      "Example: brennick-cli --random 20 --seed 7 --out-dir designs saves "
      "designs/random-7-00.json\n"
      "to designs/random-7-19.json; the file random-7-05.json is made again alone by\n"
      "brennick-cli --random 1 --seed 12 --out-dir DIR, as random-12-0.json (seed S + K).");

  FdSink out(STDOUT_FILENO);
  FdSink err(STDERR_FILENO);
  // A message on standard error, when it can be written at all.
  const auto complain = [&err](const std::string& message) {
    try {
      err.Write(MessageLine("brennick-cli: " + message));
    } catch (const std::exception&) {
    }
  };
  std::string early;  // help or version text
  try {
    std::vector<std::string> args = TableFormatJoined(argc, argv);
    app.parse(args);
  } catch (const CLI::CallForHelp&) {
    early = app.help();
  } catch (const CLI::CallForAllHelp&) {
    early = app.help("", CLI::AppFormatMode::All);
  } catch (const CLI::CallForVersion& e) {
    early = std::string(e.what()) + "\n";
  } catch (const CLI::ParseError& e) {
    // CLI11's message quotes the arguments, so it is written as every other.
    if (e.get_exit_code() == 0) return kExitOk;
    try {
      err.Write(MessageLine(e.what()) + "Run with --help for more information.\n");
    } catch (const std::exception&) {
    }
    return kExitInputError;
  }

  try {
    if (!early.empty()) {
      out.Write(early);
      return kExitOk;
    }
    Options options;
    options.decimalSeparator =
        separator.empty() ? DecimalSeparatorFromEnvironment() : separator.front();
    const bool terminal = IsTerminal(STDOUT_FILENO);
    if (*compareOption) {
      return CompareDesignFiles(compare[0], compare[1], options.decimalSeparator, jsonOutput, out,
                                err, terminal);
    }
    if (printTemplate) {
      out.Write(DesignObjectText(DesignInput{}, {options.decimalSeparator, captions}));
      return kExitOk;
    }
    if (*randomOption) {
      RandomDesigns designs;
      designs.count = *DecimalNumber(randomCount, kMostRandomDesigns);
      designs.onlyAutomatic = onlyAutomatic;
      designs.decimalSeparator = options.decimalSeparator;
      if (*seedOption) {
        designs.seed = static_cast<std::uint32_t>(*DecimalNumber(seed, kMostSeed));
      } else {
        designs.seed = ClockSeed();
        // Told on standard error, so the designs can be made again.
        complain("--seed " + std::to_string(designs.seed));
      }
      if (*outDirOption) {
        try {
          SaveRandomDesigns(designs, outDir);
        } catch (const DesignError& e) {
          complain(e.what());
          return kExitInputError;
        }
      } else {
        WriteRandomDesigns(designs, out);
      }
      return kExitOk;
    }
    options.format = jsonOutput            ? Format::Json
                     : table == "markdown" ? Format::Markdown
                     : table == "csv"      ? Format::Csv
                                           : Format::Plain;
    options.explain = explain;
    options.visibleControls = terminal;

    int fd = STDIN_FILENO;
    std::string source = "standard input";
    if (!file.empty() && file != "-") {
      source = "'" + file + "'";
      options.source = source;
      fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
      if (fd < 0) {
        complain("cannot open " + source + ": " + std::strerror(errno));
        return kExitInputError;
      }
    }
    const json::ReadFn read = [fd, &source](char* buffer, std::size_t size) -> std::size_t {
      for (;;) {
        const ssize_t n = ::read(fd, buffer, size);
        if (n >= 0) return static_cast<std::size_t>(n);
        if (errno != EINTR) {
          throw std::runtime_error("cannot read " + source + ": " + std::strerror(errno));
        }
      }
    };
    const int status = ProcessDesigns(read, options, out, err);
    if (fd != STDIN_FILENO) ::close(fd);
    return status;
  } catch (const OutputClosed&) {
    // Whoever reads the output has had enough: no message, as after SIGPIPE.
    return kExitInputError;
  } catch (const std::exception& e) {
    // Output that cannot be written (a full disk).
    complain(e.what());
    return kExitInputError;
  }
}

}  // namespace brennick::cli
