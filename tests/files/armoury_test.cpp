// The armoury: a folder of design files as a weapon table, exported with
// exactly the rows brennick-cli --table gives for the same files.
#include "armoury.h"

#include "design_file.h"
#include "files_test_util.h"
#include "form_member.h"
#include "random_design.h"
#include "worked_designs.h"

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
// run fails, one with a wrong key, an array of two designs, and files that
// are no design: malformed, empty, and a folder and a text file that are no
// design files at all.
struct Armoury {
  Folder folder;
  std::vector<fs::path> designFiles;  // every .json file, by name

  Armoury() {
    const auto save = [&](const std::string& name, const DesignInput& design) {
      SaveDesignFile(folder / name, FormOfDesign(design), '.');
    };
    save("a_pistol.json", examples::TenMmPistol());
    save("b_rifle.json", examples::SevenMmLiquidRifle());
    save("c_gauss.json", examples::FourMmGaussRifle());
    RandomSource rng(42);
    for (int i = 0; i < 6; ++i) {
      save("r" + std::to_string(i) + ".json", bench::RandomDesign(rng));
    }
    DesignInput noBore;
    noBore.NameEdit = "No bore | yet";
    save("d_failed.json", noBore);
    WriteText(folder / "e_wrong_key.json", R"({"NameEdit": "X", "Calibre": 9})");
    WriteText(folder / "f_two.json",
              R"([{"NameEdit": "One", "BoreSizeEdit": "5"}, {"BoreSizeEdit": "6"}])");
    WriteText(folder / "g_malformed.json", "{\"NameEdit\": ");
    WriteText(folder / "h_empty.json", "");
    WriteText(folder / "notes.txt", "not a design");
    fs::create_directory(folder / "sub.json");
    for (const std::string& name : Names(folder.path())) {
      if (name.ends_with(".json") && name != "sub.json") designFiles.push_back(folder / name);
    }
  }
};

TEST(ArmouryTest, ExportsExactlyTheRowsOfTheCommandLineDesigner) {
  Armoury armoury;
  const std::vector<ArmouryRow> rows = ReadArmoury(armoury.folder.path(), '.');
  EXPECT_EQ(ArmouryTable(rows, TableFormat::Markdown), CliTable(armoury.designFiles, "markdown"));
  EXPECT_EQ(ArmouryTable(rows, TableFormat::Csv), CliTable(armoury.designFiles, "csv"));
}

TEST(ArmouryTest, ARowPerDesignAndOneForEachFileThatCannotBeRead) {
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
      "e_wrong_key.json:  / design 1: unknown key \"Calibre\"",
      "f_two.json: One / ",
      "f_two.json:  / ",
      "g_malformed.json (no design): g_malformed.json / malformed JSON at line 1, column 14",
      "h_empty.json (no design): h_empty.json / the file holds no design",
  };
  for (int i = 0; i < 6; ++i) expected.push_back("r" + std::to_string(i) + ".json: ");
  ASSERT_EQ(seen.size(), expected.size());
  for (std::size_t i = 0; i < seen.size(); ++i) {
    EXPECT_TRUE(seen[i].starts_with(expected[i])) << seen[i] << "\nexpected " << expected[i];
  }
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
