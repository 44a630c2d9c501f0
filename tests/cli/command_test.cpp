// brennick-cli as a program: arguments, files and standard input, the exact
// bytes on both output streams, exit statuses and the locale's separator.
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Outcome {
  std::string out;
  std::string err;
  int status = -1;
};

std::string TempPath(const std::string& name) {
  return ::testing::TempDir() + "brennick_cli_" + std::to_string(::getpid()) + "_" + name;
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

}  // namespace
