// Random designs for scripts: each line is the window's Randomize on a fresh
// form with its own seed, and reads back as exactly that design.
#include "cli/random_designs.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <limits>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "engine/design.h"
#include "form/form_model.h"
#include "form/form_state.h"
#include "formats/design_file_format.h"
#include "formats/design_object.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/worked_designs.h"

namespace brennick::cli {
namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::vector<std::string> Generate(std::uint64_t count, std::uint32_t seed, bool onlyAutomatic,
                                  char dec = '.') {
  StringSink out;
  WriteRandomDesigns({count, seed, onlyAutomatic, dec}, out);
  return Lines(out.text);
}

DesignInput ReadOne(const std::string& line, char dec) {
  const DesignEntry entry = ReadDesignObject(line, dec);
  EXPECT_FALSE(entry.inputError) << *entry.inputError;
  return entry.input;
}

// Seed 0 with "Only automatic" ticked is the design worked out by hand.
TEST(RandomDesigns, SeedZeroIsTheDesignWorkedOutByHand) {
  const DesignInput expected = examples::SeedZeroOnlyAutomatic();
  const auto lines = Generate(1, 0, true);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(ReadOne(lines[0], '.'), expected);
  // With a comma the bore is typed 10,02, and the key says so: read on a
  // machine with a point it is the same design.
  const auto comma = Generate(1, 0, true, ',');
  EXPECT_NE(comma[0].find("\"BoreSizeEdit\": \"10,02\""), std::string::npos) << comma[0];
  EXPECT_EQ(ReadOne(comma[0], '.'), expected);
}

// Design k is the click seeded with S + k, wrapping at 2^32, so each can be
// made again alone; and it is the form's own generator on a fresh form.
TEST(RandomDesigns, EachDesignIsItsOwnSeedsClickOnAFreshForm) {
  for (const bool onlyAutomatic : {false, true}) {
    const std::uint32_t start = 0xFFFFFFFEu;
    const auto batch = Generate(5, start, onlyAutomatic);
    ASSERT_EQ(batch.size(), 5u);
    for (std::uint32_t k = 0; k < 5; ++k) {
      const std::uint32_t seed = start + k;
      EXPECT_EQ(Generate(1, seed, onlyAutomatic)[0], batch[k]) << k;
      FormModel form;
      form.Set(&FormState::OnlyAuto, onlyAutomatic);
      form.RandomButtonClick(seed);
      EXPECT_EQ(ReadOne(batch[k], '.'), form.state().Input()) << k;
    }
  }
}

// Without "Only automatic" every mechanism comes up; with it only the three
// automatic ones.
TEST(RandomDesigns, OnlyAutomaticLimitsTheMechanisms) {
  for (const bool onlyAutomatic : {false, true}) {
    std::vector<bool> seen(11);
    for (const std::string& line : Generate(400, 77, onlyAutomatic)) {
      seen.at(static_cast<std::size_t>(ReadOne(line, '.').LoadingMechanismBox)) = true;
    }
    for (int m = 0; m < 11; ++m) {
      EXPECT_EQ(seen[static_cast<std::size_t>(m)], !onlyAutomatic || m >= kLightAutomatic)
          << m << (onlyAutomatic ? " only automatic" : "");
    }
  }
}

TEST(RandomDesigns, NoDesignsWriteNothing) {
  EXPECT_TRUE(Generate(0, 1, false).empty());
}

// --out-dir: each design as a design file, named so the name gives the command.

namespace fs = std::filesystem;
using testsupport::ScratchFolder;

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::vector<std::string> Names(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// The number is padded to the digits of the count, so the files sort in the
// order of the designs; the seed is the run's, unpadded.
TEST(RandomDesignFiles, NamesGiveTheRunAndTheNumber) {
  constexpr std::uint64_t kMost = std::numeric_limits<std::uint64_t>::max();
  struct Case {
    std::uint64_t count;
    std::uint32_t seed;
    bool onlyAutomatic;
    std::uint64_t k;
    const char* name;
  };
  const Case cases[] = {
      {1, 0, false, 0, "random-0-0.json"},
      {9, 7, false, 8, "random-7-8.json"},
      {10, 7, false, 3, "random-7-03.json"},
      {10, 7, false, 9, "random-7-09.json"},
      {11, 7, false, 10, "random-7-10.json"},
      {100, 4294967295u, false, 42, "random-4294967295-042.json"},
      {1000, 5, true, 1, "random-automatic-5-0001.json"},
      {kMost, 1, false, 12, "random-1-00000000000000000012.json"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RandomDesignFileName({c.count, c.seed, c.onlyAutomatic, '.'}, c.k), c.name)
        << c.count << " " << c.k;
  }
}

// Each file is the window's Save after one Randomize click with the design's
// own seed, separator and "Only automatic"; it reads back as the design the
// JSON Lines of the same run give, and design K alone (seed S + K, wrapping
// at 2^32) is the same bytes.
TEST(RandomDesignFiles, EachFileIsTheSaveOfItsClick) {
  struct Case {
    std::uint32_t seed;
    bool onlyAutomatic;
    char dec;
    std::vector<std::string> names;
  };
  const Case cases[] = {
      {0xFFFFFFFEu,
       false,
       '.',
       {"random-4294967294-0.json", "random-4294967294-1.json", "random-4294967294-2.json"}},
      {40,
       true,
       ',',
       {"random-automatic-40-0.json", "random-automatic-40-1.json", "random-automatic-40-2.json"}},
  };
  for (const Case& c : cases) {
    const ScratchFolder folder;
    const RandomDesigns run{3, c.seed, c.onlyAutomatic, c.dec};
    SaveRandomDesigns(run, folder.path());
    ASSERT_EQ(Names(folder.path()), c.names);
    const auto lines = Generate(3, c.seed, c.onlyAutomatic, c.dec);
    for (std::uint32_t k = 0; k < 3; ++k) {
      FormModel form(c.dec);
      form.Set(&FormState::OnlyAuto, c.onlyAutomatic);
      form.RandomButtonClick(c.seed + k);  // wraps: 0xFFFFFFFE, 0xFFFFFFFF, 0
      const std::string text = ReadAll(folder / c.names[k]);
      EXPECT_EQ(text, DesignFileText(form.state(), c.dec)) << c.names[k];
      EXPECT_EQ(ReadDesignFileText(text, c.dec).Input(), ReadOne(lines[k], c.dec)) << k;

      const ScratchFolder alone;
      SaveRandomDesigns({1, c.seed + k, c.onlyAutomatic, c.dec}, alone.path());
      const auto names = Names(alone.path());
      ASSERT_EQ(names.size(), 1u);
      EXPECT_EQ(ReadAll(alone / names[0]), text) << k;
    }
  }
}

// The folder is made with its parents; none at all is written for no designs.
TEST(RandomDesignFiles, MissingFoldersAreMade) {
  const ScratchFolder scratch;
  SaveRandomDesigns({2, 9, false, '.'}, scratch / "a/b/c");
  EXPECT_EQ(Names(scratch / "a/b/c"),
            (std::vector<std::string>{"random-9-0.json", "random-9-1.json"}));
  SaveRandomDesigns({0, 9, false, '.'}, scratch / "none");
  EXPECT_TRUE(fs::is_directory(scratch / "none"));
  EXPECT_TRUE(Names(scratch / "none").empty());
}

// A name of the run taken in the folder, by a file, a folder or a dangling
// link, stops the run before it writes anything; a name of another run does
// not.
TEST(RandomDesignFiles, TakenNamesRefuseTheWholeRun) {
  enum class Kind { kFile, kFolder, kLink };
  struct Case {
    std::vector<std::string> there;
    Kind kind;
    const char* refusal;  // after the folder's path; nullptr when the run goes ahead
  };
  const Case cases[] = {
      {{"random-3-07.json"},
       Kind::kFile,
       "/random-3-07.json' exists already; nothing was written: remove the files or choose "
       "another folder"},
      {{"random-3-11.json", "random-3-00.json", "random-3-05.json"},
       Kind::kFile,
       "/random-3-00.json' exists already (and 2 more of the run); nothing was written: remove "
       "the files or choose another folder"},
      {{"random-3-00.json"},
       Kind::kFolder,
       "/random-3-00.json' exists already; nothing was written: remove the files or choose "
       "another folder"},
      {{"random-3-04.json"},
       Kind::kLink,
       "/random-3-04.json' exists already; nothing was written: remove the files or choose "
       "another folder"},
      // Another width, seed, "Only automatic", a number past the run, no
      // extension: all names of other runs.
      {{"random-3-7.json", "random-3-007.json", "random-4-07.json", "random-automatic-3-07.json",
        "random-3-12.json", "random-3-07", "random-3-0a.json", "random-3--1.json"},
       Kind::kFile,
       nullptr},
  };
  for (const Case& c : cases) {
    const ScratchFolder folder;
    for (const std::string& name : c.there) {
      switch (c.kind) {
        case Kind::kFile:
          std::ofstream(folder / name) << "mine";
          break;
        case Kind::kFolder:
          fs::create_directory(folder / name);
          break;
        case Kind::kLink:
          fs::create_symlink(folder / "nowhere", folder / name);
          break;
      }
    }
    const std::vector<std::string> before = Names(folder.path());
    const RandomDesigns run{12, 3, false, '.'};
    if (c.refusal != nullptr) {
      try {
        SaveRandomDesigns(run, folder.path());
        ADD_FAILURE() << c.there[0] << ": no refusal";
      } catch (const DesignError& e) {
        EXPECT_EQ(e.what(), "'" + folder.path().string() + c.refusal);
      }
      EXPECT_EQ(Names(folder.path()), before) << c.there[0];
    } else {
      SaveRandomDesigns(run, folder.path());
      EXPECT_EQ(Names(folder.path()).size(), before.size() + 12);
      EXPECT_EQ(ReadAll(folder / "random-3-7.json"), "mine");
    }
  }
}

// A folder that cannot be one or cannot be written: the message names it and
// gives the reason.
TEST(RandomDesignFiles, UnusableFoldersAreRefusedWithTheirReason) {
  const ScratchFolder scratch;
  std::ofstream(scratch / "file") << "x";
  struct Case {
    fs::path folder;
    std::string message;
  };
  const Case cases[] = {
      {scratch / "file", "'" + scratch.File("file") + "' is not a folder"},
      {scratch / "file/sub",
       "cannot make the folder '" + scratch.File("file/sub") + "': Not a directory"},
      {fs::path(), "the folder for the designs has no name"},
  };
  for (const Case& c : cases) {
    try {
      SaveRandomDesigns({2, 1, false, '.'}, c.folder);
      ADD_FAILURE() << c.folder << ": no refusal";
    } catch (const DesignError& e) {
      EXPECT_EQ(e.what(), c.message);
    }
  }
  if (::geteuid() != 0) {  // root writes into any folder
    fs::create_directory(scratch / "locked");
    fs::permissions(scratch / "locked", fs::perms::owner_read | fs::perms::owner_exec);
    try {
      SaveRandomDesigns({2, 1, false, '.'}, scratch / "locked");
      ADD_FAILURE() << "a read-only folder took the designs";
    } catch (const DesignError& e) {
      EXPECT_EQ(std::string(e.what()).rfind(
                    "cannot save '" + scratch.File("locked/random-1-0.json") + "': ", 0),
                0u)
          << e.what();
    }
  }
}

}  // namespace
}  // namespace brennick::cli
