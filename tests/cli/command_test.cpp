// brennick-cli as a program: arguments, files and standard input, the exact
// bytes on both output streams, on a terminal too, exit statuses and the
// locale's separator.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "tests/support/scratch_folder.h"

namespace {

struct Outcome {
  std::string out;
  std::string err;
  int status = -1;
};

// A file of the test program's scratch folder, removed when the program ends.
std::string TempPath(const std::string& name) {
  return brennick::testsupport::ProgramScratchFolder("brennick_cli").File(name);
}

std::string WriteTemp(const std::string& name, const std::string& text) {
  const std::string path = TempPath(name);
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// Runs the program with `args` (already quoted for the shell), `input` on
// standard input and only LC_ALL of the locale variables set. Standard output
// and error go to files of the test, or to `outTo` and `errTo` (such as
// /dev/full), which then read back as empty.
Outcome RunCommand(const std::string& args, const std::string& input = "",
                   const std::string& locale = "C", const std::string& outTo = "",
                   const std::string& errTo = "") {
  const std::string in = WriteTemp("stdin", input);
  const std::string out = TempPath("stdout");
  const std::string err = TempPath("stderr");
  std::ofstream(out, std::ios::trunc).close();
  std::ofstream(err, std::ios::trunc).close();
  const std::string command = "env -u LANG -u LC_NUMERIC LC_ALL='" + locale + "' '" +
                              BRENNICK_CLI_PATH + "' " + args + " <'" + in + "' >'" +
                              (outTo.empty() ? out : outTo) + "' 2>'" +
                              (errTo.empty() ? err : errTo) + "'";
  const int status = std::system(command.c_str());
  return {Slurp(out), Slurp(err), WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

// Starts the program with `args` on the given standard input, output and
// error, with SIGPIPE ignored or as usual.
pid_t Start(const std::vector<std::string>& args, int in, int out, int err, bool ignoreSigpipe) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::signal(SIGPIPE, ignoreSigpipe ? SIG_IGN : SIG_DFL);
    ::dup2(in, STDIN_FILENO);
    ::dup2(out, STDOUT_FILENO);
    ::dup2(err, STDERR_FILENO);
    std::vector<const char*> argv = {BRENNICK_CLI_PATH};
    for (const std::string& a : args) argv.push_back(a.c_str());
    argv.push_back(nullptr);
    ::setenv("LC_ALL", "C", 1);
    ::execv(BRENNICK_CLI_PATH, const_cast<char* const*>(argv.data()));
    ::_exit(127);
  }
  return pid;
}

// Closes the parent's copies of `fds` and waits for the program's status.
int Finish(pid_t pid, std::initializer_list<int> fds) {
  for (const int fd : fds) ::close(fd);
  int status = -1;
  ::waitpid(pid, &status, 0);
  return status;
}

// Runs the program with standard output on the slave side of a pseudo-
// terminal in raw mode (so the bytes arrive as written, no CR put before each
// LF), read from the master; standard error goes to a file, or with
// `errOnTerminal` onto the terminal too. (The poll only keeps a broken build
// from hanging the test run; nothing is timed.)
Outcome RunOnTerminal(const std::vector<std::string>& args, const std::string& input,
                      bool errOnTerminal = false) {
  Outcome o;
  int master = -1;
  int slave = -1;
  if (::openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) {
    ADD_FAILURE() << "openpty: " << std::strerror(errno);
    return o;
  }
  termios raw{};
  ::tcgetattr(slave, &raw);
  ::cfmakeraw(&raw);
  ::tcsetattr(slave, TCSANOW, &raw);
  const int in = ::open(WriteTemp("tty_stdin", input).c_str(), O_RDONLY);
  const std::string err = TempPath("tty_stderr");
  const int errFd = errOnTerminal ? slave : ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  const pid_t pid = Start(args, in, slave, errFd, false);
  ::close(slave);
  // The master reads EIO once the program has closed the slave side.
  char buffer[4096];
  pollfd ready{master, POLLIN, 0};
  ssize_t n = 0;
  while (::poll(&ready, 1, 60000) == 1 && (n = ::read(master, buffer, sizeof buffer)) > 0) {
    o.out.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(master);
  const int status = Finish(pid, {in});
  if (!errOnTerminal) {
    ::close(errFd);
    o.err = Slurp(err);
  }
  o.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return o;
}

// An installed locale with a decimal comma, or empty.
std::string CommaLocale() {
  std::string comma;
  const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
  for (const char* name : {"de_DE.UTF-8", "fr_FR.UTF-8", "nl_NL.UTF-8", "ru_RU.UTF-8"}) {
    if (std::setlocale(LC_NUMERIC, name) != nullptr &&
        std::strcmp(std::localeconv()->decimal_point, ",") == 0) {
      comma = name;
      break;
    }
  }
  std::setlocale(LC_NUMERIC, saved.c_str());
  return comma;
}

TEST(Command, FailingDesignsAndInputErrors) {
  const Outcome start = RunCommand("", "{}");
  EXPECT_EQ(start.out, " (TL9)\n");
  EXPECT_EQ(start.err, "design 1: '' is not a valid floating point value\n");
  EXPECT_EQ(start.status, 1);

  const Outcome json = RunCommand("--json",
                                  "{\"TLEdit\": true}\n"
                                  "{\"NameEdit\": \"A\", \"BoreSizeEdit\": \"-1\"}\n");
  EXPECT_EQ(json.out,
            "{\"statblock\": [], \"error\": \"design 1, key \\\"TLEdit\\\": expected a string or a "
            "number, got a boolean\", \"input_error\": true}\n"
            "{\"statblock\": [\"A (TL9)\", \"Damage: 1d-5 pi-\"], \"error\": \"Invalid floating "
            "point operation\"}\n");
  EXPECT_EQ(json.err, "");
  EXPECT_EQ(json.status, 2);
}

TEST(Command, ReadsAFileOrStandardInput) {
  const std::string designs = R"([{"NameEdit": "X", "BoreSizeEdit": "abc"}, {"BoreSizeEdit": ""}])";
  const std::string path = WriteTemp("designs.json", designs);
  for (const Outcome& o :
       {RunCommand("'" + path + "'"), RunCommand("-", designs), RunCommand("", designs)}) {
    EXPECT_EQ(o.out, "X (TL9)\n\n (TL9)\n");
    EXPECT_EQ(o.err,
              "design 1: 'abc' is not a valid floating point value\n"
              "design 2: '' is not a valid floating point value\n");
    EXPECT_EQ(o.status, 1);
  }
  const std::string missing = TempPath("no_such_file.json");
  const Outcome o = RunCommand("'" + missing + "'");
  EXPECT_EQ(o.err, "brennick-cli: cannot open '" + missing + "': No such file or directory\n");
  EXPECT_EQ(o.status, 2);
}

TEST(Command, TemplateVersionHelpAndBadUsage) {
  const Outcome tmpl = RunCommand("--template");
  EXPECT_EQ(tmpl.status, 0);
  EXPECT_EQ(nlohmann::json::parse(tmpl.out)["TLEdit"], "9");
  EXPECT_EQ(RunCommand("", tmpl.out).out, " (TL9)\n");  // fed back, it is the start form

  const Outcome version = RunCommand("--version");
  EXPECT_EQ(version.out.rfind("brennick-cli ", 0), 0u) << version.out;
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(RunCommand("--help").status, 0);

  for (const char* bad : {"--bogus", "--template designs.json", "a.json b.json"}) {
    const Outcome o = RunCommand(bad);
    EXPECT_EQ(o.status, 2) << bad;
    EXPECT_EQ(o.out, "") << bad;
    EXPECT_NE(o.err, "") << bad;
  }
}

// Without --seed the clock gives the seed, told on standard error so that the
// same designs can be made again; the designs read straight back in.
TEST(Command, RandomDesignsTellTheirSeedAndReadBack) {
  const Outcome first = RunCommand("--random 3 --only-automatic");
  EXPECT_EQ(first.status, 0) << first.err;
  const std::string prefix = "brennick-cli: --seed ";
  ASSERT_EQ(first.err.rfind(prefix, 0), 0u) << first.err;
  const std::string seed = first.err.substr(prefix.size(), first.err.size() - prefix.size() - 1);
  const Outcome again = RunCommand("--random 3 --only-automatic --seed " + seed);
  EXPECT_EQ(again.out, first.out);
  EXPECT_EQ(again.err, "");
  EXPECT_EQ(std::count(first.out.begin(), first.out.end(), '\n'), 3);
  const Outcome designed = RunCommand("--json", first.out);
  EXPECT_EQ(std::count(designed.out.begin(), designed.out.end(), '\n'), 3);
  EXPECT_NE(designed.status, 2) << designed.err;

  for (const char* bad : {"--seed 5", "--random 2 --seed 4294967296", "--random 2 --json",
                          "--random -1", "--only-automatic", "--random 2 designs.json"}) {
    const Outcome o = RunCommand(bad);
    EXPECT_EQ(o.status, 2) << bad;
    EXPECT_EQ(o.out, "") << bad;
  }
}

// --random and --seed take whole numbers in decimal digits that fit: a count
// beyond 2^64 - 1 or a seed beyond 2^32 - 1 is refused, not wrapped round, and
// a leading zero is no octal.
TEST(Command, NumericOptionsTakeDecimalNumbersThatFit) {
  const std::string tooMany = "99999999999999999999999";
  const std::pair<std::string, std::string> refused[] = {
      {"--random " + tooMany, "--random: the number of designs " + tooMany +
                                  " is too large; the largest is 18446744073709551615"},
      {"--random -1", "--random: the number of designs cannot be negative: -1"},
      {"--random 0x10", "--random: the number of designs must be written in decimal digits: 0x10"},
      {"--random +2", "--random: the number of designs must be written in decimal digits: +2"},
      {"--random 2 --seed 4294967296",
       "--seed: the seed 4294967296 is too large; the largest is 4294967295"},
      {"--random 2 --seed 0x10", "--seed: the seed must be written in decimal digits: 0x10"},
  };
  for (const auto& [args, message] : refused) {
    const Outcome o = RunCommand(args);
    EXPECT_EQ(o.status, 2) << args;
    EXPECT_EQ(o.out, "") << args;
    EXPECT_EQ(o.err, message + "\nRun with --help for more information.\n") << args;
  }
  const std::string ten = RunCommand("--random 010 --seed 3").out;
  EXPECT_EQ(std::count(ten.begin(), ten.end(), '\n'), 10);
  EXPECT_EQ(RunCommand("--random 2 --seed 010").out, RunCommand("--random 2 --seed 10").out);
}

// Every message on standard error shows the control characters and the bytes
// that are not UTF-8 of what it quotes (file names, typed texts, arguments),
// whatever standard error is.
TEST(Command, MessagesShowControlCharactersOfWhatTheyQuote) {
  const std::string malformed = R"({"BoreSizeEdit" 1)";
  const std::string evilName = TempPath("a\x1b]0;owned\x07\xff.json");
  const std::string tabName = WriteTemp("b\tc.json", malformed);
  const std::string dir = TempPath("");
  struct Case {
    std::string args;
    std::string input;
    std::string err;
  };
  const Case cases[] = {
      {"", R"({"BoreSizeEdit": "1\u001b[2J\n"})",
       "design 1: '1\\x1B[2J\\n' is not a valid floating point value\n"},
      {"", R"({"TLEdit": "9\u009b31m", "BoreSizeEdit": "4", "ConfigurationBox": "Pistol"})",
       "design 1: '9\\xC2\\x9B31m' is not a valid integer value\n"},
      {"'" + evilName + "'", "",
       "brennick-cli: cannot open '" + dir +
           "a\\x1B]0;owned\\x07\\xFF.json': No such file or "
           "directory\n"},
      {"'" + tabName + "'", "",
       "brennick-cli: '" + dir +
           "b\\tc.json': malformed JSON at line 1, column 17: unexpected "
           "'1'; expected ':'\n"},
      {"", malformed, "malformed JSON at line 1, column 17: unexpected '1'; expected ':'\n"},
      {"--compare '" + tabName + "' '" + tabName + "'", "",
       "brennick-cli: '" + dir +
           "b\\tc.json': malformed JSON at line 1, column 17: unexpected "
           "'1'; expected ':'\n"},
      {"\"--bogus$(printf '\\033[8m')\"", "",
       "The following argument was not expected: --bogus\\x1B[8m\n"
       "Run with --help for more information.\n"},
  };
  for (const Case& c : cases) {
    const Outcome o = RunCommand(c.args, c.input);
    EXPECT_EQ(o.err, c.err) << c.args;
    EXPECT_NE(o.status, 0) << c.args;
  }
}

// A 10 mm pistol whose name fakes a second damage line and hides what follows
// (ESC[8m, concealed text), with a tab, a DEL, a C1 control (CSI, U+009B) and
// an e acute, which is printable and stays.
constexpr const char* kFakeName =
    R"({"NameEdit": "Pistol\nDamage: 9d+2 pi++\u001b[8m\t\u007f\u009b\u00e9",
        "BoreSizeEdit": "10", "ConfigurationBox": "pistol", "BarrelBox": "medium",
        "LoadingMechanismBox": "fast"})";
constexpr const char* kFakeShown = "Pistol\\nDamage: 9d+2 pi++\\x1B[8m\\t\\x7F\\xC2\\x9B\u00e9";

// On a terminal the name shows its control characters and the statblock's
// own lines follow as they are; a file gets the name's bytes.
TEST(Command, OnATerminalTheNameCannotFakeOrHideLines) {
  const Outcome screen = RunOnTerminal({}, kFakeName);
  const Outcome file = RunCommand("", kFakeName);
  EXPECT_EQ(screen.status, 0) << screen.err;
  const std::string title = std::string(kFakeShown) + " (TL9)\n";
  ASSERT_EQ(screen.out.rfind(title, 0), 0u) << screen.out;
  const std::string rawTitle = "Pistol\nDamage: 9d+2 pi++\x1b[8m\t\x7f\xc2\x9b\u00e9 (TL9)\n";
  ASSERT_EQ(file.out.rfind(rawTitle, 0), 0u) << file.out;
  EXPECT_EQ(screen.out.substr(title.size()), file.out.substr(rawTitle.size()));
  EXPECT_EQ(screen.out.substr(title.size()).rfind("Damage: 3d+1 pi+\n", 0), 0u) << screen.out;
}

// Tables, derivations and comparisons on a terminal: nothing reaches it that
// it would act on but the line ends; JSON is the same as in a file.
TEST(Command, OnATerminalEveryTextOutputShowsControlCharacters) {
  const std::string fake = WriteTemp("fake.json", kFakeName);
  const std::string other = WriteTemp("other.json", R"({"NameEdit": "B"})");
  const std::string shown = kFakeShown;
  struct Case {
    std::vector<std::string> args;
    std::string piece;  // of what the screen shows
  };
  const Case cases[] = {
      {{"--table", "csv"}, "\"" + shown + "\",9,3d+1 pi+,"},
      {{"--table", "markdown"},
       "| Pistol Damage: 9d+2 pi++\\x1B\\[8m\\t\\x7F\\xC2\\x9B\u00e9 | 9 | 3d+1 pi+ |"},
      {{"--explain"}, "    Weapon Name as typed: \u201c" + shown + "\u201d\n"},
      {{"--compare", fake, other}, "\n- " + shown + " (TL9)\n"},
  };
  for (const Case& c : cases) {
    const std::string out = RunOnTerminal(c.args, kFakeName).out;
    EXPECT_NE(out.find(c.piece), std::string::npos) << c.args[0] << ":\n" << out;
    for (std::size_t i = 0; i < out.size(); ++i) {
      const auto b = static_cast<unsigned char>(out[i]);
      const bool lineEnd = b == '\n' || (b == '\r' && out[i + 1] == '\n');
      ASSERT_TRUE((b >= 0x20 && b != 0x7F) || lineEnd) << c.args[0] << ": byte " << int(b);
    }
  }
  EXPECT_EQ(RunOnTerminal({"--json"}, kFakeName).out, RunCommand("--json", kFakeName).out);

  // Beside a name typed with a backslash and n, which looks the same as the
  // line break, the lines pair up as in a file and each line break goes on
  // after its marker instead.
  const std::string typed = WriteTemp("typed.json", R"({"NameEdit": "X\\nY"})");
  const std::string broken = WriteTemp("broken.json", R"({"NameEdit": "X\nY"})");
  EXPECT_EQ(RunOnTerminal({"--compare", broken, typed}, "").out,
            "--- " + broken + "\n+++ " + typed + "\n@@ -1 +1 @@\n- X\n- Y (TL9)\n+ X\\nY (TL9)\n");

  // Messages read the same on the terminal as in a file.
  const std::string bore = R"({"BoreSizeEdit": "1\u001b[2J"})";
  EXPECT_EQ(RunOnTerminal({}, bore, true).out,
            " (TL9)\ndesign 1: '1\\x1B[2J' is not a valid floating point value\n");
}

// A reader that has gone (`| head`) stops the program without a message:
// by SIGPIPE as usual, or with status 2 where SIGPIPE is ignored.
TEST(Command, AClosedPipeStopsQuietly) {
  const int in =
      ::open(WriteTemp("pipe_input", RunCommand("--random 200 --seed 1").out).c_str(), O_RDONLY);
  const std::string err = TempPath("pipe_err");
  const std::vector<std::string> modes[] = {
      {}, {"--table", "csv"}, {"--random", "5000", "--seed", "1"}};
  for (const auto& args : modes) {
    for (const bool ignore : {false, true}) {
      int toNobody[2];
      ASSERT_EQ(::pipe(toNobody), 0);
      ::close(toNobody[0]);
      ::lseek(in, 0, SEEK_SET);
      const int errFd = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      const int status = Finish(Start(args, in, toNobody[1], errFd, ignore), {toNobody[1], errFd});
      const std::string what = (args.empty() ? "plain" : args[0]) + (ignore ? ", ignored" : "");
      if (ignore) {
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2) << what << ": " << status;
      } else {
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGPIPE) << what << ": " << status;
      }
      EXPECT_EQ(Slurp(err), "") << what;
    }
  }
  ::close(in);
}

// The 4 mm liquid-propellant Pistol of batch_test.cpp: its seventh line, the
// boosted-velocity range 100.1/1560, shows the decimal separator.
TEST(Command, DecimalSeparatorComesFromTheLocale) {
  auto seventhLine = [](const std::string& bore, const std::string& locale) {
    std::istringstream out(RunCommand("",
                                      R"({"BoreSizeEdit": ")" + bore +
                                          R"(", "ConfigurationBox": 0, "BarrelBox": 0,
                                          "LoadingMechanismBox": 7, "PropellantBox": 1})",
                                      locale)
                               .out);
    std::string line;
    for (int i = 0; i < 7; ++i) std::getline(out, line);
    return line;
  };
  EXPECT_EQ(seventhLine("4.0", "C"), "-Boosted Velocity: 100.1/1560");

  const std::string comma = CommaLocale();
  if (comma.empty()) GTEST_SKIP() << "no locale with a decimal comma is installed";
  EXPECT_EQ(seventhLine("4,0", comma), "-Boosted Velocity: 100,1/1560");
}

// The LP Pistol above typed with either separator: with the key it reads the
// same in every locale and under --decimal-separator, and its numbers are
// written with the reader's separator.
TEST(Command, TheSeparatorKeyReadsTheSameEverywhere) {
  auto seventhLine = [](const std::string& typed, const std::string& args,
                        const std::string& locale) {
    const std::string key =
        typed.empty() ? "" : R"("DecimalSeparator": ")" + typed.substr(1, 1) + R"(", )";
    const Outcome o = RunCommand(args, "{" + key + R"("BoreSizeEdit": ")" + typed + R"(",
                                 "ConfigurationBox": 0, "BarrelBox": 0,
                                 "LoadingMechanismBox": 7, "PropellantBox": 1})",
                                 locale);
    std::istringstream out(o.out);
    std::string line;
    for (int i = 0; i < 7; ++i) std::getline(out, line);
    return line.empty() ? o.err : line;
  };
  const std::string comma = CommaLocale();
  struct Case {
    std::string typed;
    std::string args;
    std::string locale;
    std::string line;
  };
  std::vector<Case> cases = {
      {"4,0", "", "C", "-Boosted Velocity: 100.1/1560"},
      {"4.0", "", "C", "-Boosted Velocity: 100.1/1560"},
      {"4,0", "--decimal-separator ,", "C", "-Boosted Velocity: 100,1/1560"},
      {"4.0", "--decimal-separator ,", "C", "-Boosted Velocity: 100,1/1560"},
  };
  if (!comma.empty()) {
    cases.push_back({"4.0", "", comma, "-Boosted Velocity: 100,1/1560"});
    cases.push_back({"4,0", "", comma, "-Boosted Velocity: 100,1/1560"});
    cases.push_back({"4,0", "--decimal-separator .", comma, "-Boosted Velocity: 100.1/1560"});
  }
  for (const Case& c : cases) {
    EXPECT_EQ(seventhLine(c.typed, c.args, c.locale), c.line)
        << c.typed << " " << c.args << " in " << c.locale;
  }
  // Without the key the reader's separator decides.
  EXPECT_EQ(RunCommand("--json", R"({"BoreSizeEdit": "4,0"})", "C").out,
            "{\"statblock\": [\" (TL9)\"], \"error\": \"'4,0' is not a valid floating point "
            "value\"}\n");

  EXPECT_EQ(nlohmann::json::parse(RunCommand("--template").out)["DecimalSeparator"], ".");
  EXPECT_EQ(
      nlohmann::json::parse(RunCommand("--template --decimal-separator ,").out)["DecimalSeparator"],
      ",");
  if (!comma.empty()) {
    EXPECT_EQ(nlohmann::json::parse(RunCommand("--template", "", comma).out)["DecimalSeparator"],
              ",");
  }
  EXPECT_EQ(RunCommand("--decimal-separator ';'").status, 2);
}

TEST(Command, TemplateWithCaptionsReadsBackAsTheStartForm) {
  const Outcome tmpl = RunCommand("--template --captions");
  EXPECT_EQ(tmpl.status, 0);
  const auto parsed = nlohmann::json::parse(tmpl.out);
  EXPECT_EQ(parsed["PropellantBox"], "Standard Propellant");
  EXPECT_EQ(parsed["QualityReliable"], "Normal");
  EXPECT_EQ(parsed["ConfigurationBox"], -1);  // nothing selected has no caption
  EXPECT_EQ(RunCommand("", tmpl.out).out, " (TL9)\n");
  EXPECT_EQ(RunCommand("--captions").status, 2);  // only with --template
}

// Output that cannot be written fails the program, whichever output it is;
// a standard error that cannot be written costs no design.
TEST(Command, OutputThatCannotBeWrittenFails) {
  for (const char* args : {"--help", "--version", "--template", "--json"}) {
    const Outcome o = RunCommand(args, "{}", "C", "/dev/full");
    EXPECT_EQ(o.status, 2) << args;
    EXPECT_EQ(o.err, "brennick-cli: write error: No space left on device\n") << args;
  }
  const Outcome o = RunCommand("",
                               "{\"NameEdit\":\"one\"}\n"
                               "{\"NameEdit\":\"two\",\"BoreSizeEdit\":\"10\"}\n"
                               "{\"NameEdit\":\"three\",\"BoreSizeEdit\":\"10\"}\n",
                               "C", "", "/dev/full");
  EXPECT_EQ(o.status, 2);
  for (const char* title : {"one (TL9)\n", "\ntwo (TL9)\n", "\nthree (TL9)\n"}) {
    EXPECT_NE(o.out.find(title), std::string::npos) << title;
  }
}

// Through a real pipe: the answer to the first element of an array arrives
// while the array is still open. (The guard only keeps a broken build from
// hanging the test run; nothing is timed.)
TEST(Command, AnArrayIsAnsweredElementByElementThroughAPipe) {
  int toCli[2];
  int fromCli[2];
  ASSERT_EQ(::pipe(toCli), 0);
  ASSERT_EQ(::pipe(fromCli), 0);
  const pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    ::dup2(toCli[0], STDIN_FILENO);
    ::dup2(fromCli[1], STDOUT_FILENO);
    for (int fd : {toCli[0], toCli[1], fromCli[0], fromCli[1]}) ::close(fd);
    ::setenv("LC_ALL", "C", 1);
    ::execl(BRENNICK_CLI_PATH, BRENNICK_CLI_PATH, "--json", static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::close(toCli[0]);
  ::close(fromCli[1]);
  const std::string first = "[\n{\"BoreSizeEdit\": \"10\"},\n";
  ASSERT_EQ(::write(toCli[1], first.data(), first.size()), static_cast<ssize_t>(first.size()));
  std::string answer;
  char c = 0;
  pollfd ready{fromCli[0], POLLIN, 0};
  while (answer.find('\n') == std::string::npos && ::poll(&ready, 1, 60000) == 1 &&
         ::read(fromCli[0], &c, 1) == 1) {
    answer += c;
  }
  EXPECT_EQ(answer.rfind("{\"statblock\": [\" (TL9)\", \"Damage: ", 0), 0u) << answer;
  const std::string rest = "{\"BoreSizeEdit\": \"10\"}]\n";
  ASSERT_EQ(::write(toCli[1], rest.data(), rest.size()), static_cast<ssize_t>(rest.size()));
  ::close(toCli[1]);
  std::string tail;
  while (::read(fromCli[0], &c, 1) == 1) tail += c;
  ::close(fromCli[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  EXPECT_EQ(std::count(tail.begin(), tail.end(), '\n'), 1) << tail;
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

// --out-dir through the program: nothing on standard output, the run's files,
// and every refusal with status 2 before anything is written.
TEST(Command, RandomDesignsAsFiles) {
  const brennick::testsupport::ScratchFolder scratch("brennick_cli_out");
  const std::string dir = scratch.File("a/designs");
  std::ofstream(scratch / "file") << "x";
  const auto names = [](const std::string& folder) {
    std::vector<std::string> found;
    std::error_code ignored;
    for (const auto& e : std::filesystem::directory_iterator(folder, ignored)) {
      found.push_back(e.path().filename().string());
    }
    std::sort(found.begin(), found.end());
    return found;
  };
  const std::string taken = "brennick-cli: '" + dir +
                            "/random-5-0.json' exists already (and 2 more of the run); nothing "
                            "was written: remove the files or choose another folder\n";
  const std::string run = "--random 3 --seed 5 --out-dir '" + dir + "'";
  const std::vector<std::string> three = {"random-5-0.json", "random-5-1.json", "random-5-2.json"};
  std::vector<std::string> five = three;
  five.insert(five.end(), {"random-automatic-5-0.json", "random-automatic-5-1.json"});
  struct Case {
    std::string args;
    int status;
    std::string err;  // "?" for any message
    std::vector<std::string> after;
  };
  const Case cases[] = {
      {run, 0, "", three},
      {run, 2, taken, three},
      {run + " --decimal-separator ,", 2, taken, three},
      {"--random 2 --seed 5 --only-automatic --out-dir '" + dir + "'", 0, "", five},
      {"--out-dir '" + dir + "'", 2,
       "--out-dir requires --random\nRun with --help for more information.\n", five},
      {"--random 2 --out-dir ''", 2,
       "--out-dir: the folder has no name\nRun with --help for more information.\n", five},
      {run + " --json", 2, "?", five},
      {run + " --table csv", 2, "?", five},
      {run + " --explain", 2, "?", five},
      {run + " --template", 2, "?", five},
      {run + " designs.json", 2, "?", five},
      {"--random 1 --seed 9 --out-dir '" + scratch.File("file") + "'", 2,
       "brennick-cli: '" + scratch.File("file") + "' is not a folder\n", five},
  };
  for (const Case& c : cases) {
    const Outcome o = RunCommand(c.args);
    EXPECT_EQ(o.status, c.status) << c.args;
    EXPECT_EQ(o.out, "") << c.args;
    if (c.err == "?") {
      EXPECT_NE(o.err, "") << c.args;
    } else {
      EXPECT_EQ(o.err, c.err) << c.args;
    }
    EXPECT_EQ(names(dir), c.after) << c.args;
  }

  // Each file designs as its line of the JSON Lines does.
  for (int k = 0; k < 3; ++k) {
    const Outcome lines = RunCommand("--random 1 --seed " + std::to_string(5 + k));
    const Outcome fromFile = RunCommand("'" + dir + "/random-5-" + std::to_string(k) + ".json'");
    EXPECT_EQ(fromFile.out, RunCommand("", lines.out).out) << k;
    EXPECT_NE(fromFile.status, 2) << fromFile.err;
  }

  // Without --seed the clock's seed, told on standard error, names the files.
  const std::string clock = scratch.File("clock");
  const Outcome o = RunCommand("--random 2 --out-dir '" + clock + "'");
  EXPECT_EQ(o.status, 0);
  const std::string prefix = "brennick-cli: --seed ";
  ASSERT_EQ(o.err.rfind(prefix, 0), 0u) << o.err;
  const std::string seed = o.err.substr(prefix.size(), o.err.size() - prefix.size() - 1);
  EXPECT_EQ(names(clock),
            (std::vector<std::string>{"random-" + seed + "-0.json", "random-" + seed + "-1.json"}));
}

}  // namespace
