// The armoury: a folder of design files as a weapon table, exported with
// exactly the rows brennick-cli --table gives for the same files.
#include <gtest/gtest.h>

#include <array>
#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "engine/design.h"
#include "engine/random.h"
#include "files/armoury_folder.h"
#include "files/design_file.h"
#include "form/form_member.h"
#include "form/form_state.h"
#include "formats/weapon_table.h"
#include "tests/files/files_test_util.h"
#include "tests/support/random_design.h"
#include "tests/support/worked_designs.h"

namespace {

using namespace brennick;
using namespace brennick::filestest;

// The table brennick-cli writes for each file in turn, its header once.
std::string CliTable(const std::vector<fs::path>& files, const std::string& format) {
  std::string table;
  for (const fs::path& file : files) {
    std::string out = RunCli("--table " + format + " " + Quote(file));
    // Markdown's header is two lines, CSV's one.
    std::size_t header = out.find('\n');
    if (format == "markdown" && header != std::string::npos) header = out.find('\n', header + 1);
    if (table.empty()) {
      table = out;
    } else if (header != std::string::npos) {
      table += out.substr(header + 1);
    }
  }
  return table;
}

// A folder with the three worked designs, a few random ones, a design whose
// run fails, and files the window's Open refuses: a wrong key, an array of two
// designs, malformed JSON and an empty file; and a folder and a text file that
// are no design files at all.
struct Armoury {
  Folder folder;
  std::vector<fs::path> designFiles;  // the files Open reads, by name

  Armoury() {
    const auto save = [&](const std::string& name, const DesignInput& design) {
      SaveDesignFile(folder / name, FormOfDesign(design), '.');
      designFiles.push_back(folder / name);
    };
    save("a_pistol.json", examples::TenMmPistol());
    save("b_rifle.json", examples::SevenMmLiquidRifle());
    save("c_gauss.json", examples::FourMmGaussRifle());
    DesignInput noBore;
    noBore.NameEdit = "No bore | yet";
    save("d_failed.json", noBore);
    RandomSource rng(42);
    for (int i = 0; i < 6; ++i) {
      save("r" + std::to_string(i) + ".json", bench::RandomDesign(rng));
    }
    WriteText(folder / "e_wrong_key.json", R"({"NameEdit": "X", "Calibre": 9})");
    WriteText(folder / "f_two.json",
              R"([{"NameEdit": "One", "BoreSizeEdit": "5"}, {"BoreSizeEdit": "6"}])");
    WriteText(folder / "g_malformed.json", "{\"NameEdit\": ");
    WriteText(folder / "h_empty.json", "");
    WriteText(folder / "notes.txt", "not a design");
    fs::create_directory(folder / "sub.json");
  }
};

TEST(ArmouryTest, ExportsExactlyTheRowsOfTheCommandLineDesigner) {
  Armoury armoury;
  const std::vector<ArmouryRow> rows = ReadArmoury(armoury.folder.path(), '.');
  EXPECT_EQ(ArmouryTable(rows, TableFormat::Markdown), CliTable(armoury.designFiles, "markdown"));
  EXPECT_EQ(ArmouryTable(rows, TableFormat::Csv), CliTable(armoury.designFiles, "csv"));
}

// A file Open refuses was a design row when the designs reader took it (a
// wrong key, each design of an array): now it is one row that is no design.
TEST(ArmouryTest, ARowPerDesignFileAndOneForEachFileOpenRefuses) {
  Armoury armoury;
  const std::vector<ArmouryRow> rows = ReadArmoury(armoury.folder.path(), '.');
  std::vector<std::string> seen;
  for (const ArmouryRow& r : rows) {
    seen.push_back(r.file.filename().string() + (r.design ? "" : " (no design)") + ": " +
                   r.row[kColName] + " / " + r.row[kColError]);
  }
  std::vector<std::string> expected = {
      "a_pistol.json: Pistol / ",
      "b_rifle.json: LP Rifle / ",
      "c_gauss.json: Gauss Rifle / ",
      "d_failed.json: No bore | yet / '' is not a valid floating point value",
      "e_wrong_key.json (no design): e_wrong_key.json / unknown key \"Calibre\"",
      "f_two.json (no design): f_two.json / expected one design object, got 2",
      "g_malformed.json (no design): g_malformed.json / malformed JSON at line 1, column 14",
      "h_empty.json (no design): h_empty.json / expected a design object, got nothing",
  };
  for (int i = 0; i < 6; ++i) expected.push_back("r" + std::to_string(i) + ".json: ");
  ASSERT_EQ(seen.size(), expected.size());
  for (std::size_t i = 0; i < seen.size(); ++i) {
    EXPECT_TRUE(seen[i].starts_with(expected[i])) << seen[i] << "\nexpected " << expected[i];
  }
}

// The armoury and Open read every file alike: a file is a design row exactly
// when Open takes it, with Open's name; otherwise the row holds the problem
// Open reports after the file's name.
TEST(ArmouryTest, TheArmouryAndOpenAgreeOnEveryFile) {
  Armoury armoury;
  const std::vector<ArmouryRow> rows = ReadArmoury(armoury.folder.path(), '.');
  ASSERT_EQ(rows.size(), 14u);
  for (const ArmouryRow& row : rows) {
    SCOPED_TRACE(row.file.string());
    try {
      const FormState state = LoadDesignFile(row.file, '.');
      EXPECT_TRUE(row.design);
      EXPECT_EQ(row.row[kColName], state.NameEdit.text);
    } catch (const DesignError& e) {
      EXPECT_FALSE(row.design);
      EXPECT_EQ(CannotOpen(row.file, row.row[kColError]), e.what());
    }
  }
}

// A file of the largest size read, filled with empty objects, is one row:
// it does not turn into a row for each of its 349,525 objects.
TEST(ArmouryTest, AnArrayOfManyObjectsIsOneRow) {
  Folder folder;
  std::string text = "[";
  while (text.size() + 3 < (std::size_t{1} << 20)) text += "{},";
  text += "{}]";
  ASSERT_EQ(text.size(), std::size_t{1} << 20);
  WriteText(folder / "many.json", text);
  const std::vector<ArmouryRow> rows = ReadArmoury(folder.path(), '.');
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_FALSE(rows[0].design);
  EXPECT_EQ(rows[0].row[kColName], "many.json");
  EXPECT_FALSE(rows[0].row[kColError].empty());
  // No design to export: the header alone.
  EXPECT_EQ(ArmouryTable(rows, TableFormat::Csv), ArmouryTable({}, TableFormat::Csv));
}

// File names are bytes: a name that is no UTF-8 is listed in byte order (the
// byte 0xFF after every ASCII letter) with its path intact.
TEST(ArmouryTest, FileNamesAreKeptAsBytes) {
  Folder folder;
  const std::string odd = "caf\xFF.json";
  SaveDesignFile(folder / odd, FormOfDesign(examples::TenMmPistol()), '.');
  SaveDesignFile(folder / "cafe.json", FormOfDesign(examples::FourMmGaussRifle()), '.');
  SaveDesignFile(folder / "Z.json", FormOfDesign(examples::FourMmGaussRifle()), '.');
  const std::vector<fs::path> files = ListArmoury(folder.path());
  ASSERT_EQ(files.size(), 3u);
  EXPECT_EQ(files[0].filename().native(), "Z.json");
  EXPECT_EQ(files[1].filename().native(), "cafe.json");
  EXPECT_EQ(files[2].native(), (folder / odd).native());
  const ArmouryRow row = ReadArmouryFile(files[2], '.');
  EXPECT_TRUE(row.design);
  EXPECT_EQ(row.row[kColName], "Pistol");
}

TEST(ArmouryTest, AFolderThatCannotBeListedSaysWhy) {
  Folder folder;
  try {
    ReadArmoury(folder / "absent", '.');
    ADD_FAILURE() << "listed a folder that is not there";
  } catch (const DesignError& e) {
    EXPECT_NE(std::string(e.what()).find("No such file or directory"), std::string::npos)
        << e.what();
  }
  EXPECT_TRUE(ReadArmoury(folder.path(), '.').empty());
}

}  // namespace
