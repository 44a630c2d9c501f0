// Design files: every control kept through a file, the separator a file was
// typed with, what brennick-cli makes of one, the files that are refused and
// saves that fail.
#include "files/design_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <span>
#include <vector>

#include "engine/design.h"
#include "files/file_io.h"
#include "form/fields.h"
#include "form/form_member.h"
#include "form/form_model.h"
#include "formats/design_file_format.h"
#include "formats/design_object.h"
#include "tests/files/files_test_util.h"
#include "tests/support/worked_designs.h"

namespace {

using namespace brennick;
using namespace brennick::filestest;

std::string MessageOf(const std::function<void()>& act) {
  try {
    act();
  } catch (const DesignError& e) {
    return e.what();
  }
  return "(no error)";
}

// Each control of the field table with a value other than its start value,
// enabled and disabled, written to a file and read back.
TEST(DesignFileTest, EveryControlRoundTripsThroughAFile) {
  Folder folder;
  const fs::path file = folder / "design.json";
  for (const FieldInfo& f : FormFields()) {
    for (const bool enabled : {true, false}) {
      FormState s;
      switch (f.kind) {
        case FieldKind::Text:
          s.*f.textControl = {"Qu\"ote \\ \u2020 12.5", enabled};
          break;
        case FieldKind::Group:
          s.*f.groupControl = {(s.*f.groupControl).index == 1 ? 2 : 1, enabled};
          break;
        case FieldKind::Check:
          s.*f.checkControl = {!(s.*f.checkControl).checked, enabled};
          break;
      }
      s.MaxRoFLabel = "RoF: 3-20";
      SaveDesignFile(file, s, '.');
      EXPECT_TRUE(LoadDesignFile(file, '.') == s) << f.name << (enabled ? " enabled" : " disabled");
    }
  }
}

TEST(DesignFileTest, RandomFormsRoundTripWithEitherSeparator) {
  for (std::uint32_t seed = 0; seed < 200; ++seed) {
    const char dec = seed % 2 ? ',' : '.';
    FormModel model(dec);
    model.Set(&FormState::OnlyAuto, seed % 3 == 0);
    model.RandomButtonClick(seed);
    const FormState& s = model.state();
    ASSERT_TRUE(ReadDesignFileText(DesignFileText(s, dec), dec) == s) << "seed " << seed;
  }
}

// A design typed under a decimal comma, saved there and opened where the
// separator is a point, gives the statblock the same design typed with points
// gives.
TEST(DesignFileTest, ASavedCommaDesignOpensUnderAPointWithTheSameStatblock) {
  DesignInput comma = examples::SevenMmLiquidRifle();
  comma.NameEdit = "Carbine, short";
  comma.BoreSizeEdit = "7,62";
  comma.PowerModEdit = "1,25";
  comma.ArbWeight = "0,5";
  DesignInput point = comma;
  point.BoreSizeEdit = "7.62";
  point.PowerModEdit = "1.25";
  point.ArbWeight = "0.5";

  const std::string text = DesignFileText(FormOfDesign(comma), ',');
  EXPECT_NE(text.find("\"DecimalSeparator\": \",\""), std::string::npos);
  const FormState opened = ReadDesignFileText(text, '.');
  EXPECT_EQ(opened.BoreSizeEdit.text, "7.62");
  EXPECT_EQ(opened.NameEdit.text, "Carbine, short");  // a name is no number
  const DesignResult expected = RunDesign(point, '.');
  ASSERT_FALSE(expected.error);
  EXPECT_EQ(RunDesign(opened.Input(), '.').lines, expected.lines);
  // And back where it was typed.
  EXPECT_TRUE(ReadDesignFileText(text, ',') == FormOfDesign(comma));
}

TEST(DesignFileTest, WritesEveryKeyInTheTableOrderThenTheForm) {
  const std::string text = DesignFileText(FormState(), '.');
  EXPECT_TRUE(text.starts_with("{\n  \"DecimalSeparator\": \".\",\n  \"NameEdit\": \"\",\n"))
      << text;
  std::size_t at = 0;
  for (const FieldInfo& f : DesignFields()) {
    const std::size_t next = text.find("\n  \"" + std::string(f.name) + "\": ", at);
    ASSERT_NE(next, std::string::npos) << f.name << " missing or out of order";
    at = next;
  }
  EXPECT_TRUE(text.ends_with(
      ",\n  \"Form\": {\n    \"Disabled\": [\"BarrelsEdit\", \"ChambersEdit\", \"RoFEdit\", "
      "\"GaussHCCBBox\", \"TargetingSoftware\", \"ColdCountermassBox\", \"BipodBox\", "
      "\"ElectricBox\", \"GunLauncherCheckBox\"],\n    \"MaxRoFLabel\": \"Max RoF:\",\n"
      "    \"GunLauncherCheckBox\": false,\n    \"OnlyAuto\": true\n  }\n}\n"))
      << text;
}

// brennick-cli reads a design file as a design; its "Form" is no input.
TEST(DesignFileTest, TheCommandLineDesignerReadsADesignFile) {
  Folder folder;
  FormModel model;
  model.SetText(*FindField("NameEdit"), "Pistol");
  model.SetText(*FindField("BoreSizeEdit"), "10");
  model.SetIndex(*FindField("ConfigurationBox"), kPistol);
  model.SetIndex(*FindField("BarrelBox"), kMedium);
  model.SetIndex(*FindField("LoadingMechanismBox"), kFastAutoloader);
  model.SetText(*FindField("ShotsEdit"), "20");
  model.SetChecked(*FindField("CaselessBox"), false);
  SaveDesignFile(folder / "pistol.json", model.state(), '.');
  int status = -1;
  const std::string out = RunCli(Quote(folder / "pistol.json"), &status);
  EXPECT_EQ(status, 0);
  std::string expected;
  for (const std::string_view line : RunDesign(examples::TenMmPistol(), '.').lines) {
    (expected += line) += '\n';
  }
  EXPECT_EQ(out, expected);
}

TEST(DesignFileTest, ADesignWithoutTheFormOpensAsTheStartForm) {
  const FormState s = ReadDesignFileText(
      R"({"NameEdit": "Hand-made", "LoadingMechanismBox": "Electric Gatling", "RoFEdit": 40})",
      '.');
  FormState expected;
  expected.NameEdit.text = "Hand-made";
  expected.LoadingMechanismBox.index = kElectricGatling;
  expected.RoFEdit.text = "40";  // still disabled, as at start: no rule ran
  EXPECT_TRUE(s == expected);
}

TEST(DesignFileTest, TextsThatAreNoDesignFileSayWhy) {
  const struct {
    const char* what;
    const char* text;
    const char* message;
  } cases[] = {
      {"empty", "", "expected a design object, got nothing"},
      {"only white space", " \n\t", "expected a design object, got nothing"},
      {"malformed", "{\n  \"NameEdit\" 1\n}",
       "malformed JSON at line 2, column 14: unexpected '1'; expected ':'"},
      {"cut short", "{\"NameEdit\": \"Pis", nullptr},
      {"not an object", "[1, 2]", nullptr},
      {"a number", "42", "expected a design object, got a number"},
      {"two designs", "{} {}", "expected one design object, got 2"},
      {"an array of one design", R"([{"NameEdit": "A"}])",
       "expected a design object, got an array"},
      {"a design and an empty array", "{} []", "expected a design object, got an array"},
      {"unknown key", R"({"Calibre": "9"})", "unknown key \"Calibre\""},
      {"repeated key", R"({"TLEdit": "9", "TLEdit": "8"})",
       "key \"TLEdit\" is given more than once"},
      {"wrong type", R"({"ShotgunBox": 1})",
       "key \"ShotgunBox\": expected true or false, got a number"},
      {"index out of range", R"({"BarrelBox": 3})",
       "key \"BarrelBox\": item index 3 is outside -1..2"},
      {"index with a fraction", R"({"BarrelBox": 1.0})",
       "key \"BarrelBox\": expected an item index (a whole number, -1..2) or an item caption, "
       "got 1.0"},
      {"form not an object", R"({"Form": []})", "key \"Form\": expected an object, got an array"},
      {"form twice", R"({"Form": {}, "Form": {}})", "key \"Form\" is given more than once"},
      {"form member unknown", R"({"Form": {"Hidden": []}})",
       "key \"Form\": unknown member \"Hidden\""},
      {"form member twice", R"({"Form": {"OnlyAuto": true, "OnlyAuto": false}})",
       "key \"Form\": member \"OnlyAuto\" is given more than once"},
      {"disabled not a list", R"({"Form": {"Disabled": "RoFEdit"}})",
       "key \"Form\": member \"Disabled\": expected an array of control names, got a string"},
      {"disabled holds a number", R"({"Form": {"Disabled": ["RoFEdit", 3]}})",
       "key \"Form\": member \"Disabled\": expected an array of control names, got a number"},
      {"disabled names no control", R"({"Form": {"Disabled": ["Label1"]}})",
       "key \"Form\": \"Disabled\" names no control \"Label1\""},
      {"caption of no hint", R"({"Form": {"MaxRoFLabel": "Max RoF: many"}})",
       "key \"Form\": \"MaxRoFLabel\" is not a caption of the Max RoF hint"},
      {"flag not a boolean", R"({"Form": {"OnlyAuto": "yes"}})",
       "key \"Form\": member \"OnlyAuto\": expected true or false, got a string"},
  };
  for (const auto& c : cases) {
    const std::string message = MessageOf([&] { ReadDesignFileText(c.text, '.'); });
    if (c.message) {
      EXPECT_EQ(message, c.message) << c.what;
    } else {
      EXPECT_NE(message, "(no error)") << c.what;
    }
  }
}

// One reader decides what a design file holds: the window's Open and
// brennick-cli (and with it the armoury, which reads files as it does) refuse
// the same files with the same message, found in one pass.
TEST(DesignFileTest, TheWindowAndTheCommandLineRefuseTheSameFiles) {
  const std::string longName(kMaxTextLength + 1, 'n');
  const std::string deep = std::string(300, '[') + std::string(300, ']');
  const struct {
    std::string text;
    std::string message;
  } cases[] = {
      {R"({"NameEdit": "A", "Form": {"Hidden": true}})", "key \"Form\": unknown member \"Hidden\""},
      {R"({"Form": {"Disabled": ["Label1"]}, "NameEdit": "A"})",
       "key \"Form\": \"Disabled\" names no control \"Label1\""},
      {R"({"Form": {"MaxRoFLabel": "Max RoF: 12x"}})",
       "key \"Form\": \"MaxRoFLabel\" is not a caption of the Max RoF hint"},
      {R"({"Form": 1})", "key \"Form\": expected an object, got a number"},
      {R"({"NameEdit": ")" + longName + R"("})",
       "key \"NameEdit\": the text is 32768 characters long; a field holds at most 32767"},
      {R"({"Form": {"MaxRoFLabel": ")" + longName + R"("}})",
       "key \"Form\": member \"MaxRoFLabel\": the text is 32768 characters long; a caption "
       "holds at most 32767"},
      // 300 levels inside the design object: the 256th of them is one too deep.
      {R"({"Bogus": )" + deep + "}",
       "malformed JSON at line 1, column 266: nested deeper than 256 levels"},
  };
  for (const auto& c : cases) {
    const std::string what = c.text.substr(0, 60);
    EXPECT_EQ(MessageOf([&] { ReadDesignFileText(c.text, '.'); }), c.message) << what;
    std::vector<std::string> messages;
    const auto fault = ReadDesigns(
        c.text, '.', [&](DesignEntry& e) { messages.push_back(e.inputError.value_or("(none)")); });
    if (fault) messages.push_back(*fault);
    std::string cli = messages.empty() ? "(nothing)" : messages.front();
    for (const std::string_view prefix : {"design 1, ", "design 1: "}) {
      if (cli.starts_with(prefix)) cli.erase(0, prefix.size());
    }
    EXPECT_EQ(cli, c.message) << what;
  }
  // The longest name a field holds opens whole.
  FormState longest;
  longest.NameEdit.text = std::string(kMaxTextLength, 'n');
  EXPECT_TRUE(ReadDesignFileText(DesignFileText(longest, '.'), '.') == longest);
}

TEST(DesignFileTest, FilesThatCannotBeOpenedAreNamedWithTheReason) {
  Folder folder;
  WriteText(folder / "bad.json", "{\"BarrelBox\": 7}");
  fs::create_directory(folder / "folder.json");
  WriteText(folder / "huge.json", std::string(kMaxDesignFileBytes + 1, ' '));
  ASSERT_EQ(::mkfifo((folder / "pipe.json").c_str(), 0600), 0);
  const struct {
    std::string name;
    std::string problem;
  } cases[] = {
      {"bad.json", "key \"BarrelBox\": item index 7 is outside -1..2"},
      {"missing.json", "No such file or directory"},
      {"folder.json", "it is a folder, not a file"},
      {"huge.json", "it is larger than 1024 KiB, too large for a design"},
      {"pipe.json", "it is not a regular file"},
  };
  for (const auto& c : cases) {
    const fs::path path = folder / c.name;
    EXPECT_EQ(MessageOf([&] { LoadDesignFile(path, '.'); }),
              "Cannot open \"" + path.string() + "\": " + c.problem);
  }
  if (::geteuid() != 0) {  // the superuser reads any file
    WriteText(folder / "locked.json", "{}");
    fs::permissions(folder / "locked.json", fs::perms::none);
    EXPECT_EQ(MessageOf([&] { LoadDesignFile(folder / "locked.json", '.'); }),
              "Cannot open \"" + (folder / "locked.json").string() + "\": Permission denied");
  }
}

// A save that cannot be completed leaves the old file as it was and no
// temporary file behind.
TEST(DesignFileTest, AFailedSaveLeavesTheOldFileIntact) {
  Folder folder;
  const fs::path file = folder / "keep.json";
  FormState old;
  old.NameEdit.text = "Old";
  SaveDesignFile(file, old, '.');
  const std::string before = ReadText(file);
  FormState changed;
  changed.NameEdit.text = "New";

  // The disk takes no more than a few bytes: writing the new file fails.
  rlimit limit{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &limit), 0);
  const rlimit small{64, limit.rlim_max};
  auto* const previous = ::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const std::string message = MessageOf([&] { SaveDesignFile(file, changed, '.'); });
  ::setrlimit(RLIMIT_FSIZE, &limit);
  ::signal(SIGXFSZ, previous);
  EXPECT_EQ(message, "Cannot save \"" + file.string() + "\": File too large");
  EXPECT_EQ(ReadText(file), before);
  EXPECT_EQ(Names(folder.path()), std::vector<std::string>{"keep.json"});

  if (::geteuid() != 0) {  // the superuser writes into any folder
    fs::permissions(folder.path(), fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_EQ(MessageOf([&] { SaveDesignFile(file, changed, '.'); }),
              "Cannot save \"" + file.string() + "\": Permission denied");
    fs::permissions(folder.path(), fs::perms::owner_all);
    EXPECT_EQ(ReadText(file), before);
  }
  // A folder that does not exist.
  EXPECT_EQ(
      MessageOf([&] { SaveDesignFile(folder / "none" / "x.json", changed, '.'); }),
      "Cannot save \"" + (folder / "none" / "x.json").string() + "\": No such file or directory");
}

TEST(DesignFileTest, ASaveKeepsTheFilesPermissions) {
  Folder folder;
  const fs::path file = folder / "shared.json";
  WriteText(file, "{}");
  fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  SaveDesignFile(file, FormState(), '.');
  EXPECT_EQ(fs::status(file).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_TRUE(LoadDesignFile(file, '.') == FormState());
}

}  // namespace
