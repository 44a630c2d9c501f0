// brennick-cli as a program: arguments, files and standard input, the exact
// bytes on both output streams, exit statuses and the locale's separator.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

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
// standard input and only LC_ALL of the locale variables set.
Outcome RunCommand(const std::string& args, const std::string& input = "",
                   const std::string& locale = "C") {
  const std::string in = WriteTemp("stdin", input);
  const std::string out = TempPath("stdout");
  const std::string err = TempPath("stderr");
  const std::string command = "env -u LANG -u LC_NUMERIC LC_ALL='" + locale + "' '" +
                              BRENNICK_CLI_PATH + "' " + args + " <'" + in + "' >'" + out +
                              "' 2>'" + err + "'";
  const int status = std::system(command.c_str());
  return {Slurp(out), Slurp(err), WIFEXITED(status) ? WEXITSTATUS(status) : -1};
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

  std::string comma;  // a locale with a decimal comma, where one is installed
  const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
  for (const char* name : {"de_DE.UTF-8", "fr_FR.UTF-8", "nl_NL.UTF-8", "ru_RU.UTF-8"}) {
    if (std::setlocale(LC_NUMERIC, name) != nullptr &&
        std::strcmp(std::localeconv()->decimal_point, ",") == 0) {
      comma = name;
      break;
    }
  }
  std::setlocale(LC_NUMERIC, saved.c_str());
  if (comma.empty()) GTEST_SKIP() << "no locale with a decimal comma is installed";
  EXPECT_EQ(seventhLine("4,0", comma), "-Boosted Velocity: 100,1/1560");
}

}  // namespace
