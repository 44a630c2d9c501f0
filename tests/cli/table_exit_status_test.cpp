// brennick-cli's exit status as a script sees it, for every output format
// alike: 0 when every design completed, 1 when a design run failed, 2 when a
// design could not be read at all (an unknown key, a value of the wrong
// type), whichever of the others it comes with. A weapon table still gets a
// row for the design it could not read, with the message in its Error cell.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>

#include "tests/support/scratch_folder.h"

namespace {

struct Outcome {
  std::string out;
  int status = -1;
};

// A file of the test program's scratch folder, removed when the program ends.
std::string Temp(const std::string& name) {
  return brennick::testsupport::ProgramScratchFolder("brennick_exit").File(name);
}

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// brennick-cli with `args`, the designs on standard input, under the C locale.
Outcome RunCli(const std::string& args, const std::string& designs) {
  const std::string in = Temp("in");
  const std::string out = Temp("out");
  std::ofstream(in, std::ios::binary) << designs;
  const std::string command = "env -u LANG -u LC_NUMERIC LC_ALL=C '" +
                              std::string(BRENNICK_CLI_PATH) + "' " + args + " <'" + in + "' >'" +
                              out + "' 2>/dev/null";
  const int status = std::system(command.c_str());
  return {Slurp(out), WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

// A pistol that completes: 10 mm, Medium barrel, Fast Autoloader.
const std::string kGood =
    R"({"NameEdit": "Good", "BoreSizeEdit": "10", "ConfigurationBox": 0, "BarrelBox": 1,)"
    R"( "LoadingMechanismBox": 7, "ShotsEdit": "20", "CaselessBox": false})";
// The same pistol with a bore that is no number: it is read, and its run fails.
const std::string kRunFails =
    R"({"NameEdit": "Fails", "BoreSizeEdit": "ten", "ConfigurationBox": 0, "BarrelBox": 1,)"
    R"( "LoadingMechanismBox": 7})";
// Designs that cannot be read: a key the form does not have, a check box
// given a number, an option group given a caption it does not have.
const std::string kUnknownKey = R"({"NameEdit": "Odd", "Nope": 1})";
const std::string kWrongType = R"({"NameEdit": "Odd", "BipodBox": 3})";
const std::string kNoSuchItem = R"({"NameEdit": "Odd", "ConfigurationBox": "Trebuchet"})";

TEST(TableExitStatus, AnInputErrorExitsTwoInEveryFormat) {
  const struct {
    const char* what;
    std::string designs;
    int status;
  } cases[] = {
      {"one good design", kGood, 0},
      {"two good designs", kGood + kGood, 0},
      {"a failed run", kRunFails, 1},
      {"a good design and a failed run", kGood + kRunFails, 1},
      {"an unknown key", kUnknownKey, 2},
      {"a wrong type", kWrongType, 2},
      {"an item there is not", kNoSuchItem, 2},
      {"an unknown key after a good design", kGood + kUnknownKey, 2},
      {"an unknown key before a good design", kUnknownKey + kGood, 2},
      {"an unknown key and a failed run", kRunFails + kUnknownKey + kGood, 2},
      {"an array holding an unreadable design", "[" + kGood + ", " + kWrongType + "]", 2},
  };
  for (const char* format : {"--table csv", "--table markdown", "--table", "", "--json"}) {
    for (const auto& c : cases) {
      EXPECT_EQ(RunCli(format, c.designs).status, c.status) << format << ": " << c.what;
    }
  }
}

TEST(TableExitStatus, TheUnreadableDesignIsARowThatSaysWhy) {
  const Outcome csv = RunCli("--table csv", kGood + kUnknownKey + kGood);
  EXPECT_EQ(csv.status, 2);
  // The header and a row per design, the second naming the key at fault.
  std::istringstream rows(csv.out);
  std::string header, first, second, third, beyond;
  std::getline(rows, header);
  std::getline(rows, first);
  std::getline(rows, second);
  std::getline(rows, third);
  EXPECT_TRUE(header.starts_with("Name,TL,")) << header;
  EXPECT_TRUE(first.starts_with("Good,9,")) << first;
  EXPECT_NE(second.find("design 2: unknown key"), std::string::npos) << second;
  EXPECT_NE(second.find("Nope"), std::string::npos) << second;
  EXPECT_TRUE(third.starts_with("Good,9,")) << third;
  EXPECT_FALSE(std::getline(rows, beyond)) << beyond;

  const Outcome markdown = RunCli("--table markdown", kWrongType);
  EXPECT_EQ(markdown.status, 2);
  EXPECT_NE(markdown.out.find("design 1, key \"BipodBox\": expected true or false"),
            std::string::npos)
      << markdown.out;
}

}  // namespace
