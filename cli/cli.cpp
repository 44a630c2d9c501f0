#include "cli.h"

#include <fcntl.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cerrno>
#include <clocale>
#include <cstring>
#include <stdexcept>
#include <string>

#include "batch.h"
#include "design.h"
#include "design_object.h"

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
        throw std::runtime_error(std::string("write error: ") + std::strerror(errno));
      }
      data.remove_prefix(static_cast<std::size_t>(n));
    }
  }

 private:
  int fd_;
};

}  // namespace

char DecimalSeparatorFromEnvironment() {
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
}

const char* Version() {
  return BRENNICK_VERSION;
}

int Main(int argc, const char* const* argv) {
  CLI::App app("Designs firearms and electromagnetic guns from JSON and prints their statblocks.",
               "brennick-cli");
  std::string file;
  bool jsonOutput = false;
  bool printTemplate = false;
  auto* fileOption =
      app.add_option("FILE", file, "File of designs; standard input when absent or \"-\".")
          ->type_name("");
  app.add_flag("--json", jsonOutput,
               "Write one JSON object per design: {\"statblock\": [...], \"error\": ...}.");
  app.add_flag("--template", printTemplate,
               "Print a design object with every key at its start value, then exit.")
      ->excludes(fileOption);
  app.set_version_flag("--version", std::string("brennick-cli ") + Version());
  app.footer(
      "Input: JSON values separated by white space; each is a design object or an array of\n"
      "design objects. Keys are the form's field names (see --template): text fields take\n"
      "strings, option groups an item index (-1 for none) or an item caption, check boxes\n"
      "true or false. Absent keys keep their start values.\n"
      "\n"
      "Exit status: 0 when every design completed, 1 when a design run failed, 2 for input\n"
      "errors (bad keys or values, malformed JSON, an unreadable file, a bad option).");

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    const int code = app.exit(e);
    return code == 0 ? kExitOk : kExitInputError;
  }

  FdSink out(STDOUT_FILENO);
  FdSink err(STDERR_FILENO);
  try {
    if (printTemplate) {
      out.Write(DesignObjectText(DesignInput{}, DesignObjectStyle{}));
      return kExitOk;
    }

    Options options;
    options.json = jsonOutput;
    options.decimalSeparator = DecimalSeparatorFromEnvironment();

    int fd = STDIN_FILENO;
    std::string source = "standard input";
    if (!file.empty() && file != "-") {
      source = "'" + file + "'";
      fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
      if (fd < 0) {
        err.Write("brennick-cli: cannot open " + source + ": " + std::strerror(errno) + "\n");
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
  } catch (const std::exception& e) {
    // Output that cannot be written (a full disk, a closed pipe).
    try {
      err.Write(std::string("brennick-cli: ") + e.what() + "\n");
    } catch (const std::exception&) {
    }
    return kExitInputError;
  }
}

}  // namespace brennick::cli
