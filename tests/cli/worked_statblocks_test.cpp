// The three worked designs, each statblock written out line by line from the
// game's rules, compared whole with what brennick-cli prints for them, and
// their rows of a weapon table, read off those statblocks.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <initializer_list>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

const char* kDesigns = R"json([
 {"NameEdit": "Pistol", "BoreSizeEdit": "10", "ConfigurationBox": "Pistol",
  "BarrelBox": "Medium", "LoadingMechanismBox": "Fast Autoloader (TL6)",
  "ShotsEdit": "20", "CaselessBox": false},
 {"NameEdit": "LP Rifle", "BoreSizeEdit": "7", "ConfigurationBox": "Rifle",
  "BarrelBox": "Medium", "LoadingMechanismBox": "Light Automatic (TL6)",
  "PropellantBox": "Liquid Propellant", "ShotsEdit": "30"},
 {"NameEdit": "Gauss Rifle", "TLEdit": "10", "BoreSizeEdit": "4", "ConfigurationBox": 2,
  "BarrelBox": 2, "LoadingMechanismBox": 8, "PropellantBox": "Gauss", "ShotsEdit": "50"}
])json";

// The feature block every design above shares: the form's default features.
const Lines kDefaultFeatures = {
    "HUD Link (TL9) (UT149)",
    "- Cable connection",
    "Multispectral Laser Sight (TL9) (UT149)",
    "Recognition Grip (TL9) (UT150)",
    "- Requires palm print",
    "Diagnostic Computer (TL9) (UT151)",
    "Iron Sights",
};

Lines Concat(std::initializer_list<Lines> parts) {
  Lines all;
  for (const Lines& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

// 10 mm Pistol: 3.3 dice; body 100 x 0.085 x 1.2 x 0.25 = 2.55, accessories
// 0.05 + 0.1 + magazine 0.25, empty 2.95; 20 shots of 0.013 -> 3.21, reload
// 0.51. Recoil round(3.3 - 0.75) = 3; ST round(sqrt(32.1 + 86.67)) = 11; bulk
// round(log10(3.21 x 260)) = 3. Malf 17. Cost round(150 x 3.21) where the
// stored 3.21 lies a hair below it: 481, + 50 sights + 250 HUD + 100 grip.
// HP 4 x round(cbrt 3.21) = 4. CPS 0.013 x 20 x 0.33.
const Lines kPistol =
    Concat({{
                "Pistol (TL9)",
                "Damage: 3d+1 pi+",
                "Acc: 2",
                "Range: 280/2300",
                "Weight: 3.21/0.51",
                "RoF: 3",
                "Shots: 20(3)",
                "ST 11",
                "Bulk -3",
                "Rcl 3",
                "Malf 17",
                "Cost $881",
                "HP: 4",
                "HT: 10",
                "DR: 4",
                " ",
                "Internal B Cell (UT19)",
            },
            kDefaultFeatures,
            {" ", "Ammunition", "10mmM (TL9)", "WPS 0.013", "CPS 0.0858", "LC 3"}});

// 7 mm Liquid Propellant Rifle: 5.88 dice; body 49 x 0.42 x 1.2 x 0.25 =
// 6.174, + 0.05 + 0.2 + 0.5, empty 6.92; 0.006 per shot counted twice for 30
// shots -> 7.28, reload the bottle 0.5. Recoil round(5.88 / 3.3) = 2 (all
// three raised to 2); ST round(sqrt(2.7 x 7.28 + 3.5 x 7.28 x 2)) = 8; bulk
// round(log10(7.28 x 15 x 260)) = 4. Malf 17 + 1 + 1 = 19. Cost
// round(150 x 7.28 x 0.75) = 819, x 1.5 = 1228.5 -> 1228, + 100 + 250 + 100.
// HP 8. CPS 0.006 x 2 x 1.5.
const Lines kLiquidRifle = Concat(
    {{
         "LP Rifle (TL9)",
         "Damage: 6d pi",
         "-Boosted Velocity: 7d+1 pi. Each shot counts as 1.5 shots for purposes of draining the "
         "propellant bottle.",
         "-Low Velocity: 3d pi. Rolls to hear the weapon fire are made at -3. Each shot counts as "
         "1/4 shot for purposes of draining the propellant bottle.",
         "Acc: 5",
         "Range: 640/3600",
         "-Boosted Velocity: 832/4680",
         "-Low Velocity: 320/1800",
         "Weight: 7.28/0.5",
         "Propellant Bottle Weight: 0.5",
         "RoF: 1",
         "Shots: 30(3)",
         "A propellant bottle can fire three magazines of shots and takes five seconds to reload.",
         "ST 8\u2020",
         "- Boosted Velocity ST 8\u2020",
         "- Low Velocity ST 8\u2020",
         "Bulk -4",
         "Rcl 2",
         "- Boosted Velocity Rcl 2",
         "- Low Velocity Rcl 2",
         "Malf Ver.",
         "Cost $1678",
         "HP: 8",
         "HT: 10",
         "DR: 4",
         " ",
         "Malf Ver. means that the weapon is very reliable: on an unmodified roll of 18, roll "
         "against unmodified weapon skill to verify the critical failure, with only a failure "
         "meaning a malfunction occurs. Otherwise, it is just a miss.",
         "Internal B Cell (UT19)",
     },
     kDefaultFeatures,
     {" ", "Ammunition", "7mmCLM-LP (TL9)", "WPS 0.006", "CPS 0.018", "LC 3"}});

// 4 mm Gauss Rifle: 6.88 dice; body 16 x 1.65 x 1.2 x 0.25 = 7.92, + 0.05 +
// 0.2 + magazine 0.5 + C cell 0.5, empty 9.17; 50 shots of 0.005 -> 9.42,
// reload 1.25. RoF text 1 is below a standard HCCB burst. Recoil
// round(6.88 / 4) = 2; ST round(sqrt(2.7 x 9.42 + 3.5 x 9.42 x 2)) = 10; bulk
// round(log10(9.42 x 175 x 260)) = 6. Malf 17 + 1 = 18. Cost rate 150 x 2.8 =
// 420, round(420 x 9.42 x 0.75) = 2967, + 450. HP 8. CPS 0.005 x 2 x 5.
const Lines kGaussRifle = Concat(
    {{
         "Gauss Rifle (TL10)",
         "Damage: 7d (3) pi-",
         "-Boosted Velocity: 8d+2 (3) pi-. Each shot counts as 1.5 shots for purposes of draining "
         "the magazine cell.",
         "-Low Velocity: 3d+2 (3) pi-. Rolls to hear the weapon fire are made at -3. Each shot "
         "counts as 1/4 shot for purposes of draining the magazine cell.",
         "Acc: 5",
         "Range: 1300/3800",
         "-Boosted Velocity: 1690/4940",
         "-Low Velocity: 650/1900",
         "Weight: 9.42/1.25",
         "RoF: 1",
         "Shots: 50(3)",
         "The C cell (UT19) that powers the weapon provides enough energy for firing its "
         "specified number of Shots, and is included in the weight.",
         "ST 10\u2020",
         "- Boosted Velocity ST 10\u2020",
         "- Low Velocity ST 10\u2020",
         "Bulk -6",
         "Rcl 2",
         "- Boosted Velocity Rcl 2",
         "- Low Velocity Rcl 2",
         "Malf 18",
         "Cost $3417",
         "HP: 8",
         "HT: 10",
         "DR: 4",
         " ",
         "Internal B Cell (UT19)",
     },
     kDefaultFeatures,
     {" ", "Ammunition", "4mmCLL-GA (TL10)", "WPS 0.005", "CPS 0.05", "LC 3"}});

std::string RunCli(const std::string& args, const std::string& input, int* status) {
  // A name of this process's own: the tests run in parallel, each in its own
  // process, and must never read each other's designs.
  static int calls = 0;
  const std::string path = ::testing::TempDir() + "worked_designs_" + std::to_string(::getpid()) +
                           "_" + std::to_string(++calls) + ".json";
  std::ofstream(path) << input;
  const std::string command =
      std::string("LC_ALL=C ") + BRENNICK_CLI_PATH + " " + args + " " + path;
  FILE* pipe = popen(command.c_str(), "r");
  std::string out;
  char buf[4096];
  std::size_t n;
  while ((n = fread(buf, 1, sizeof buf, pipe)) > 0) out.append(buf, n);
  *status = pclose(pipe);
  std::remove(path.c_str());
  return out;
}

TEST(WorkedStatblocks, CompleteAndExactThroughTheCommandLine) {
  int status = -1;
  const std::string out = RunCli("--json", kDesigns, &status);
  EXPECT_EQ(status, 0);

  std::vector<nlohmann::json> results;
  std::size_t start = 0;
  while (start < out.size()) {
    const std::size_t end = out.find('\n', start);
    results.push_back(nlohmann::json::parse(out.substr(start, end - start)));
    start = end == std::string::npos ? out.size() : end + 1;
  }
  ASSERT_EQ(results.size(), 3u) << out;
  const Lines* expected[] = {&kPistol, &kLiquidRifle, &kGaussRifle};
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_TRUE(results[i]["error"].is_null()) << results[i]["error"];
    EXPECT_EQ(results[i]["statblock"].get<Lines>(), *expected[i]) << "design " << i + 1;
  }
}

TEST(WorkedStatblocks, PlainTextIsTheLinesWithAnEmptyLineBetweenDesigns) {
  int status = -1;
  const std::string out = RunCli("", kDesigns, &status);
  EXPECT_EQ(status, 0);
  std::string expected;
  for (const Lines* block : {&kPistol, &kLiquidRifle, &kGaussRifle}) {
    if (!expected.empty()) expected += "\n";
    for (const std::string& line : *block) expected += line + "\n";
  }
  EXPECT_EQ(out, expected);
}

// Each figure of a row is the text after its label on the statblock lines
// above: "Damage: 3d+1 pi+", "Bulk -3", "Cost $881", "Malf Ver.", "LC 3".
TEST(WorkedStatblocks, TableRowsAreTheFiguresOfTheStatblocks) {
  int status = -1;
  EXPECT_EQ(RunCli("--table csv", kDesigns, &status),
            "Name,TL,Damage,Acc,Range,Weight,RoF,Shots,ST,Bulk,Rcl,Malf,Cost,HP,LC,Error\r\n"
            "Pistol,9,3d+1 pi+,2,280/2300,3.21/0.51,3,20(3),11,-3,3,17,$881,4,3,\r\n"
            "LP Rifle,9,6d pi,5,640/3600,7.28/0.5,1,30(3),8\u2020,-4,2,Ver.,$1678,8,3,\r\n"
            "Gauss Rifle,10,7d (3) pi-,5,1300/3800,9.42/1.25,1,50(3),10\u2020,-6,2,18,$3417,8,3,"
            "\r\n");
  EXPECT_EQ(status, 0);
  EXPECT_EQ(
      RunCli("--table", kDesigns, &status),
      "| Name | TL | Damage | Acc | Range | Weight | RoF | Shots | ST | Bulk | Rcl | Malf | "
      "Cost | HP | LC | Error |\n"
      "|---|---|---|---|---|---|---|---|---|---|---|---|---|---|---|---|\n"
      "| Pistol | 9 | 3d+1 pi+ | 2 | 280/2300 | 3.21/0.51 | 3 | 20(3) | 11 | -3 | 3 | 17 | "
      "$881 | 4 | 3 |  |\n"
      "| LP Rifle | 9 | 6d pi | 5 | 640/3600 | 7.28/0.5 | 1 | 30(3) | 8\u2020 | -4 | 2 | Ver. | "
      "$1678 | 8 | 3 |  |\n"
      "| Gauss Rifle | 10 | 7d (3) pi- | 5 | 1300/3800 | 9.42/1.25 | 1 | 50(3) | 10\u2020 | -6 | "
      "2 | 18 | $3417 | 8 | 3 |  |\n");
  EXPECT_EQ(status, 0);
}

}  // namespace
