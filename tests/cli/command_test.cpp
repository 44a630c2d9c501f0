// brennick-cli as a program: arguments, files and standard input, the exact
// bytes on both output streams, exit statuses and the locale's separator.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <clocale>
#include <cstring>
#include <fstream>
#include <initializer_list>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace {

struct Outcome {
  std::string out;
  std::string err;
  int status = -1;
};

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string TempPath(const std::string& name) {
  return ::testing::TempDir() + "brennick_cli_" + std::to_string(::getpid()) + "_" + name;
}

std::string WriteTemp(const std::string& name, const std::string& text) {
  const std::string path = TempPath(name);
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

// Runs the program with `args`, `input` on standard input and LC_ALL set to
// `locale` (every other locale variable removed).
Outcome RunCommand(std::initializer_list<std::string> args, const std::string& input = "",
                   const std::string& locale = "C") {
  const std::string inPath = WriteTemp("stdin", input);
  const std::string outPath = TempPath("stdout");
  const std::string errPath = TempPath("stderr");

  posix_spawn_file_actions_t files;
  posix_spawn_file_actions_init(&files);
  posix_spawn_file_actions_addopen(&files, 0, inPath.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&files, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&files, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);

  std::vector<std::string> argStrings = {BRENNICK_CLI_PATH};
  argStrings.insert(argStrings.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : argStrings) argv.push_back(a.data());
  argv.push_back(nullptr);

  std::vector<std::string> envStrings;
  for (char** e = environ; *e != nullptr; ++e) {
    const std::string var = *e;
    if (var.rfind("LC_", 0) == 0 || var.rfind("LANG=", 0) == 0) continue;
    envStrings.push_back(var);
  }
  envStrings.push_back("LC_ALL=" + locale);
  std::vector<char*> envp;
  for (std::string& v : envStrings) envp.push_back(v.data());
  envp.push_back(nullptr);

  Outcome o;
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, argv[0], &files, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&files);
  if (spawned != 0) {
    ADD_FAILURE() << "cannot start " << argv[0] << ": " << std::strerror(spawned);
    return o;
  }
  int wstatus = 0;
  waitpid(pid, &wstatus, 0);
  o.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
  o.out = Slurp(outPath);
  o.err = Slurp(errPath);
  return o;
}

// 4 mm liquid-propellant Pistol; its boosted-velocity range is 100.1/1560
// (worked out in batch_test.cpp), the seventh line of its statblock.
std::string LiquidPistol(const std::string& bore) {
  return R"({"NameEdit": "LP", "BoreSizeEdit": ")" + bore +
         R"(", "ConfigurationBox": "Pistol", "BarrelBox": "Short",
             "LoadingMechanismBox": 7, "PropellantBox": "Liquid Propellant"})";
}

std::string SeventhLine(const std::string& text) {
  std::istringstream in(text);
  std::string line;
  for (int i = 0; i < 7 && std::getline(in, line); ++i) {
  }
  return line;
}

TEST(Command, TheStartFormFailsAtTheEmptyBore) {
  for (const char* input : {"{}", R"({"BoreSizeEdit": ""})"}) {
    const Outcome o = RunCommand({}, input);
    EXPECT_EQ(o.out, " (TL9)\n");
    EXPECT_EQ(o.err, "'' is not a valid floating point value\n");
    EXPECT_EQ(o.status, 1);
  }
}

TEST(Command, JsonModeGoesOnAfterAnInputError) {
  const Outcome o = RunCommand({"--json"},
                               "{\"TLEdit\": 9}\n"
                               "{\"NameEdit\": \"A\", \"BoreSizeEdit\": \"-1\"}\n");
  EXPECT_EQ(o.out,
            "{\"statblock\": [], \"error\": \"design 1, key \\\"TLEdit\\\": expected a string, got "
            "a number\", \"input_error\": true}\n"
            "{\"statblock\": [\"A (TL9)\", \"Damage: 1d-5 pi-\"], \"error\": \"Invalid floating "
            "point operation\"}\n");
  EXPECT_EQ(o.err, "");
  EXPECT_EQ(o.status, 2);
}

TEST(Command, ReadsAFileOrStandardInput) {
  const std::string designs = R"([{"NameEdit": "X", "BoreSizeEdit": "abc"}, {"BoreSizeEdit": ""}])";
  const std::string path = WriteTemp("designs.json", designs);
  const std::string expectedOut = "X (TL9)\n\n (TL9)\n";
  const std::string expectedErr =
      "'abc' is not a valid floating point value\n'' is not a valid floating point value\n";
  for (const Outcome& o :
       {RunCommand({path}), RunCommand({"-"}, designs), RunCommand({}, designs)}) {
    EXPECT_EQ(o.out, expectedOut);
    EXPECT_EQ(o.err, expectedErr);
    EXPECT_EQ(o.status, 1);
  }

  const std::string missing = TempPath("no_such_file.json");
  const Outcome o = RunCommand({missing});
  EXPECT_EQ(o.out, "");
  EXPECT_EQ(o.err, "brennick-cli: cannot open '" + missing + "': No such file or directory\n");
  EXPECT_EQ(o.status, 2);
}

TEST(Command, MalformedJsonGivesItsPlace) {
  const Outcome o = RunCommand({}, "{\"BoreSizeEdit\": \"\"}\n[{\"NameEdit\": \"B\"}\n");
  EXPECT_EQ(o.out, " (TL9)\n\nB (TL9)\n");
  EXPECT_EQ(o.err,
            "'' is not a valid floating point value\n"
            "'' is not a valid floating point value\n"
            "malformed JSON at line 3, column 1: unexpected end of input; expected ',' or ']'\n");
  EXPECT_EQ(o.status, 2);
}

TEST(Command, TemplateIsAStartingPoint) {
  const Outcome tmpl = RunCommand({"--template"});
  EXPECT_EQ(tmpl.status, 0);
  EXPECT_EQ(tmpl.err, "");
  const auto parsed = nlohmann::json::parse(tmpl.out);
  EXPECT_EQ(parsed["TLEdit"], "9");
  EXPECT_EQ(parsed["ConfigurationBox"], -1);
  EXPECT_EQ(parsed["CaselessBox"], true);
  // Fed back unchanged it is the start form.
  const Outcome back = RunCommand({}, tmpl.out);
  EXPECT_EQ(back.out, " (TL9)\n");
  EXPECT_EQ(back.status, 1);
}

TEST(Command, OptionsAndUsageErrors) {
  const Outcome version = RunCommand({"--version"});
  EXPECT_EQ(version.out.rfind("brennick-cli ", 0), 0u) << version.out;
  EXPECT_GT(version.out.size(), std::strlen("brennick-cli \n"));
  EXPECT_EQ(version.status, 0);

  const Outcome help = RunCommand({"--help"});
  EXPECT_NE(help.out.find("Usage: brennick-cli"), std::string::npos) << help.out;
  EXPECT_EQ(help.status, 0);

  for (const Outcome& bad : {RunCommand({"--bogus"}), RunCommand({"--template", "designs.json"}),
                             RunCommand({"a.json", "b.json"})}) {
    EXPECT_EQ(bad.status, 2);
    EXPECT_EQ(bad.out, "");
    EXPECT_NE(bad.err, "");
  }
}

TEST(Command, DecimalSeparatorComesFromTheLocale) {
  const Outcome c = RunCommand({}, LiquidPistol("4.0"), "C");
  EXPECT_EQ(SeventhLine(c.out), "-Boosted Velocity: 100.1/1560") << c.out << c.err;

  // A locale with a decimal comma, where one is installed.
  std::string comma;
  const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
  for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8", "nl_NL.UTF-8",
                           "ru_RU.UTF-8", "es_ES.UTF-8"}) {
    if (std::setlocale(LC_NUMERIC, name) != nullptr &&
        std::strcmp(std::localeconv()->decimal_point, ",") == 0) {
      comma = name;
      break;
    }
  }
  std::setlocale(LC_NUMERIC, saved.c_str());
  if (comma.empty()) GTEST_SKIP() << "no locale with a decimal comma is installed";
  const Outcome o = RunCommand({}, LiquidPistol("4,0"), comma);
  EXPECT_EQ(SeventhLine(o.out), "-Boosted Velocity: 100,1/1560") << o.out << o.err;
}

}  // namespace
