// Writes the committed seed corpus of the fuzz targets:
//   fuzz_make_seeds <corpus directory>
// The seeds are the worked designs, the start form and texts and values near
// the edges the readers and writers must get right. Each seed is a file named
// after what it holds, under <corpus directory>/<target>/.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iostream>
#include <limits>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "engine/design.h"
#include "form/fields.h"
#include "form/form_member.h"
#include "form/form_model.h"
#include "form/form_state.h"
#include "formats/design_file_format.h"
#include "fuzz/design_codec.h"
#include "tests/support/worked_designs.h"

namespace fs = std::filesystem;
using brennick::DesignInput;

namespace {

void Write(const fs::path& dir, const std::string& name, const std::string& bytes) {
  fs::create_directories(dir);
  std::ofstream(dir / name, std::ios::binary) << bytes;
}

void ParserSeeds(const fs::path& dir) {
  const std::vector<std::pair<std::string, std::string>> texts = {
      {"empty", ""},
      {"zero", "0"},
      {"fraction", "1.5"},
      {"comma-fraction", "1,5"},
      {"spaced-exponent", "  -2.5e+3  "},
      {"leading-separator", ".5"},
      {"trailing-separator", "5."},
      {"int-max", "2147483647"},
      {"int-over", "2147483648"},
      {"int-min", "-2147483648"},
      {"hex-dollar", "$7FFFFFFF"},
      {"hex-0x-min", "-0x80000000"},
      {"hex-x", " x1f"},
      {"hex-prefix-only", "0x"},
      {"largest-double", "1.7976931348623157e308"},
      {"beyond-double", "1e309"},
      {"smallest-subnormal", "4.9e-324"},
      {"underflow", "1e-400"},
      {"letters", "abc"},
      {"tl-with-letter", "9a"},
      {"long-digits", "000000000000000000000000000000012345678901234567890.5e-10"},
  };
  for (const auto& [name, text] : texts) {
    Write(dir, name + "-dot", std::string(1, '\0') + text);
    Write(dir, name + "-comma", std::string(1, '\1') + text);
  }
}

void NumberTextSeeds(const fs::path& dir) {
  const std::vector<std::pair<std::string, double>> doubles = {
      {"zero", 0.0},
      {"one", 1.0},
      {"ten-thousandth", 0.0001},
      {"below-ten-thousandth", 0.00005},
      {"small-fraction", 0.000125},
      {"ten-to-15", 1e15},
      {"just-below-ten-to-15", 999999999999999.9},
      {"weight", 3.21},
      {"cps", 0.0858},
      {"dice-pistol", 3.3},
      {"dice-rifle", 5.88},
      {"dice-gauss", 6.88},
      {"tie", 12.5},
      {"largest", std::numeric_limits<double>::max()},
      {"subnormal", std::numeric_limits<double>::denorm_min()},
      {"two-to-63", 9223372036854775808.0},
      {"below-two-to-63", 9223372036854774784.0},
      {"nan", std::numeric_limits<double>::quiet_NaN()},
      {"infinity", std::numeric_limits<double>::infinity()},
      {"negative", -1282.5},
  };
  for (const auto& [name, value] : doubles) {
    std::string bytes(1, '\1');
    bytes.append(reinterpret_cast<const char*>(&value), sizeof value);
    Write(dir, "double-" + name, bytes);
  }
  // Extended values as mantissa * 2^exponent.
  const std::vector<std::pair<std::string, std::pair<std::uint64_t, std::int16_t>>> extended = {
      {"one", {1, 0}},
      {"near-tie", {0xA050000000000001ull, -53}},  // 1282.5 and a little
      {"beyond-double", {1, 2000}},
      {"below-double", {1, -1100}},
      {"beyond-64-bits", {0xFFFFFFFFFFFFFFFFull, 0}},
  };
  for (const auto& [name, parts] : extended) {
    std::string bytes(1, '\0');
    bytes.append(reinterpret_cast<const char*>(&parts.first), sizeof parts.first);
    bytes.append(reinterpret_cast<const char*>(&parts.second), sizeof parts.second);
    Write(dir, "extended-" + name, bytes);
  }
  // Values next to a rounding half of the fifteenth digit: (D + 1/2) * 10^k.
  const std::vector<std::pair<std::string, std::pair<std::uint64_t, int>>> halves = {
      {"half-unit", {128250000000000ull, 26}},  // 1282500000000005 * 10^-12
      {"half-small", {123456789012345ull, 10}},
      {"half-large", {999999999999999ull, 59}},
  };
  for (const auto& [name, parts] : halves) {
    std::string bytes(1, '\2');
    const std::uint64_t d = parts.first - 100000000000000ull;
    bytes.append(reinterpret_cast<const char*>(&d), sizeof d);
    bytes += static_cast<char>(parts.second);
    bytes += static_cast<char>(3);  // three units up
    bytes += static_cast<char>(2);  // also as a double
    Write(dir, "near-" + name, bytes);
  }
}

using brennick::examples::FourMmGaussRifle;
using brennick::examples::SevenMmLiquidRifle;
using brennick::examples::TenMmPistol;

void DesignSeeds(const fs::path& dir) {
  std::vector<std::pair<std::string, DesignInput>> forms;
  forms.emplace_back("start-form", DesignInput{});
  forms.emplace_back("worked-pistol", TenMmPistol());
  forms.emplace_back("worked-rifle", SevenMmLiquidRifle());
  forms.emplace_back("worked-gauss", FourMmGaussRifle());

  DesignInput in = TenMmPistol();
  in.BoreSizeEdit = "abc";
  forms.emplace_back("bad-bore", in);
  in = TenMmPistol();
  in.TLEdit = "9a";
  forms.emplace_back("bad-tl", in);
  in = TenMmPistol();
  in.BoreSizeEdit = "-4";
  forms.emplace_back("negative-bore", in);
  in = SevenMmLiquidRifle();
  in.BoreSizeEdit = "1e300";
  in.PowerModEdit = "1e300";
  forms.emplace_back("huge-bore", in);
  in = FourMmGaussRifle();
  in.PropellantBox = brennick::kGrav;
  in.BoreSizeEdit = "7.99";
  forms.emplace_back("grav", in);
  in = SevenMmLiquidRifle();
  in.ConfigurationBox = brennick::kCannon;
  in.RecoillessCheckBox = true;
  in.ColdCountermassBox = true;
  forms.emplace_back("cannon-recoilless", in);
  in = TenMmPistol();
  in.LoadingMechanismBox = brennick::kRevolver;
  in.ChambersEdit = "6";
  in.RoFEdit = "3";
  forms.emplace_back("revolver", in);
  in = TenMmPistol();
  in.LoadingMechanismBox = brennick::kElectricGatling;
  in.BarrelsEdit = "11";
  in.RoFEdit = "$7FFFFFFF";
  in.ShotsEdit = "2147483647";
  forms.emplace_back("gatling-extremes", in);
  in = SevenMmLiquidRifle();
  in.PropellantBox = brennick::kETK;
  in.HouseETCBox = true;
  in.KYOSBox = true;
  in.BipodBox = true;
  in.QualityAccurate = brennick::kVeryFine;
  in.ArbWeight = "2,5";
  forms.emplace_back("etk-comma", in);

  for (const auto& [name, form] : forms) {
    const char dec = name == "etk-comma" ? ',' : '.';
    Write(dir, name, brennick::fuzz::EncodeDesign(form, dec));
  }
}

void CliSeeds(const fs::path& dir) {
  const std::vector<std::pair<std::string, std::string>> inputs = {
      {"empty", ""},
      {"start-form", "{}"},
      {"worked-pistol",
       R"j({"NameEdit": "Pistol", "BoreSizeEdit": "10", "ConfigurationBox": "Pistol",
 "BarrelBox": "Medium", "LoadingMechanismBox": "Fast Autoloader (TL6)", "ShotsEdit": "20",
 "CaselessBox": false})j"},
      {"worked-rifle-and-gauss-array",
       R"j([{"BoreSizeEdit": "7", "ConfigurationBox": 2, "BarrelBox": 1, "LoadingMechanismBox": 8,
  "PropellantBox": "Liquid Propellant", "ShotsEdit": "30"},
 {"TLEdit": "10", "BoreSizeEdit": "4", "ConfigurationBox": 2, "BarrelBox": 2,
  "LoadingMechanismBox": 8, "PropellantBox": 4, "ShotsEdit": "50"}])j"},
      {"json-lines",
       "{\"BoreSizeEdit\": \"\"}\n{\"BoreSizeEdit\": \"abc\"}\n{\"TLEdit\": \"9a\"}\n"},
      {"input-errors",
       R"j({"Nope": 1} {"ConfigurationBox": 9} {"BipodBox": "yes"} {"BarrelBox": "Huge"} 42)j"},
      {"malformed", R"j({"BoreSizeEdit": "10"} {"BoreSizeEdit": )j"},
      {"escapes",
       R"j({"NameEdit": "\u00e9\ud83d\ude00\u0000\"\\\/\b\f\n\r\t", "BoreSizeEdit": "1e3"})j"},
      {"invalid-utf8", "{\"NameEdit\": \"\xff\xc3\x28\", \"BoreSizeEdit\": \"5\"}"},
      {"nested", R"j([[{}], [], {"PropellantBox": -1}])j"},
      {"numbers", R"j({"ConfigurationBox": 1.0, "BarrelBox": -0, "PLBBox": 1e0})j"},
      {"numbers-for-texts",
       R"j({"BoreSizeEdit": 7.62, "TLEdit": 9, "PowerModEdit": 1e400, "ArbCF": -0,
 "ShotsEdit": 2.5E-3, "ConfigurationBox": "rif", "BarrelBox": "m"})j"},
      {"separator-key",
       R"j({"DecimalSeparator": ",", "NameEdit": "Mk. 2, long", "BoreSizeEdit": "7,62",
 "PowerModEdit": "1.5", "LoadingMechanismBox": "fast"}
{"BoreSizeEdit": "4.0", "DecimalSeparator": ".", "PropellantBox": "liquid"}
{"DecimalSeparator": ";"} {"DecimalSeparator": ".", "DecimalSeparator": "."})j"},
      {"captions",
       R"j([{"ConfigurationBox": "s"}, {"PropellantBox": "ET"}, {"MuzzleBox": "NONE"},
 {"LoadingMechanismBox": "muzzleloader w"}, {"QualityAccurate": ""}])j"},
  };
  // Control bytes: the output mode in bits 0-1, ',' in bit 2, pieces in bits 3-7.
  const std::pair<const char*, char> modes[] = {
      {"-json", '\x09'},      // --json, '.', pieces of 2
      {"-plain", '\xfc'},     // plain, ',', pieces of 32
      {"-markdown", '\x3a'},  // --table markdown, '.', pieces of 8
      {"-csv", '\x17'},       // --table csv, ',', pieces of 3
  };
  for (const auto& [name, text] : inputs) {
    for (const auto& [suffix, control] : modes) {
      Write(dir, name + suffix, std::string(1, control) + text);
    }
  }
}

void JsonSeeds(const fs::path& dir) {
  const std::vector<std::pair<std::string, std::string>> texts = {
      {"object", R"j({"a": [1, -0, 2.5e-3, 1E+400, true, false, null], "b": {}, "a": "x"})j"},
      {"escapes", R"j("\"\\\/\b\f\n\r\t\u0041\u00e9\ud83d\ude00\u0000")j"},
      {"utf8", "[\"\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80\", \"\xed\xa0\x80\"]"},
      {"values-in-a-row", "\xEF\xBB\xBF{}[]\"x\"7\n8 true{}"},
      {"faults", "[1, {\"b\" 2}, \"\\ud83d\\u12\", 01, tru]"},
      {"nested", "[[[[[{\"a\": [[{}]]}]]]]]"},
  };
  for (const auto& [name, text] : texts) {
    Write(dir, name + "-whole", std::string(1, '\x3f') + text);   // pieces of 64
    Write(dir, name + "-pieces", std::string(1, '\x02') + text);  // pieces of 3
  }
}

void DesignFileSeeds(const fs::path& dir) {
  // Control byte: bit 0 the reader's separator is ','.
  const auto write = [&](const std::string& name, char dec, const std::string& text) {
    Write(dir, name, std::string(1, dec == ',' ? '\1' : '\0') + text);
  };
  write("start-form", '.', brennick::DesignFileText(brennick::FormState(), '.'));
  write("worked-pistol", '.', brennick::DesignFileText(brennick::FormOfDesign(TenMmPistol()), '.'));
  DesignInput comma = SevenMmLiquidRifle();
  comma.BoreSizeEdit = "7,62";
  comma.NameEdit = "Carbine, short";
  write("comma-file-read-with-point", '.',
        brennick::DesignFileText(brennick::FormOfDesign(comma), ','));
  for (const std::uint32_t seed : {1u, 2u, 3u}) {
    brennick::FormModel model(seed == 2 ? ',' : '.');
    model.RandomButtonClick(seed);
    write("random-" + std::to_string(seed), seed == 2 ? ',' : '.',
          brennick::DesignFileText(model.state(), seed == 2 ? ',' : '.'));
  }
  const std::vector<std::pair<std::string, std::string>> texts = {
      {"hand-made", R"j({"NameEdit": "Hand-made", "LoadingMechanismBox": "electric", "RoFEdit": 40,
 "Form": {"OnlyAuto": false}})j"},
      {"form-faults", R"j({"Form": {"Disabled": ["RoFEdit", "Label1", "RoFEdit"], "Hidden": 1}})j"},
      {"form-caption",
       R"j({"Form": {"MaxRoFLabel": "Max RoF: -12", "GunLauncherCheckBox": true}})j"},
      {"array-of-one", R"j([{"NameEdit": "A"}])j"},
      {"escapes", R"j({"NameEdit": "\u00e9\ud83d\ude00\u0000\"", "ArbCF": 2.5E-3})j"},
      {"longest-name", "{\"NameEdit\": \"" + std::string(brennick::kMaxTextLength, 'n') + "\"}"},
      {"name-too-long",
       "{\"NameEdit\": \"" + std::string(brennick::kMaxTextLength - 1, 'n') + "\\ud83d\\ude00\"}"},
      {"deep", "{\"Bogus\": " + std::string(255, '[') + std::string(255, ']') + "}"},
  };
  for (const auto& [name, text] : texts) write(name, '.', text);
}

// Pairs of operands for fuzz_soft_ext, one kind byte before each (see the
// target): ties and carries near 1, the denormal boundary, the top of the
// range, NaNs and infinities, sums next to a tie.
void SoftExtSeeds(const fs::path& dir) {
  auto u64 = [](std::uint64_t v) { return std::string(reinterpret_cast<const char*>(&v), 8); };
  auto byte = [](int v) { return std::string(1, static_cast<char>(v)); };
  const std::vector<std::pair<std::string, std::string>> seeds = {
      {"raw-one-and-two", byte(0) + u64(0x8000000000000000) + byte(0xFF) + byte(0x3F) + byte(0) +
                              u64(0x8000000000000000) + byte(0x00) + byte(0x40)},
      {"tie-sum", byte(1) + u64(0x8000000000000001) + byte(0) + byte(7) + byte(0x80)},
      {"carry", byte(1) + u64(0xFFFFFFFFFFFFFFFF) + byte(0) + byte(7) + byte(0x80)},
      {"few-bits-product",
       byte(2) + byte(1) + byte(31) + byte(0) + byte(2) + byte(1) + byte(31) + byte(0)},
      {"denormals", byte(3) + u64(0x0000000000000003) + byte(0) + byte(3) + u64(1) + byte(4)},
      {"near-smallest-normal", byte(3) + u64(0x7FFFFFFFFFFFFFFF) + byte(0) + byte(7) + byte(1)},
      {"overflow",
       byte(4) + u64(0xFFFFFFFFFFFFFFFF) + byte(0) + byte(4) + u64(0x8000000000000000) + byte(0)},
      {"nans", byte(5) + byte(3) + u64(0x123) + byte(5) + byte(4) + u64(0x456)},
      {"infinities", byte(5) + byte(1) + byte(13) + byte(1)},
      {"zeros", byte(5) + byte(0) + byte(13) + byte(0)},
      {"unnormal", byte(5) + byte(5) + byte(0x3F) + u64(0x4000000000000000) + byte(1) +
                       u64(0x8000000000000000) + byte(0)},
      {"doubles", byte(6) + u64(0x3FF0000000000001) + byte(6) + u64(0x0000000000000001)},
      {"one-ulp-away", byte(1) + u64(0xC000000000000000) + byte(0) + byte(7) + byte(0x7F)},
  };
  for (const auto& [name, bytes] : seeds) Write(dir, name, bytes);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: fuzz_make_seeds <corpus directory>\n";
    return 2;
  }
  const fs::path root = argv[1];
  ParserSeeds(root / "fuzz_parse");
  NumberTextSeeds(root / "fuzz_number_text");
  DesignSeeds(root / "fuzz_design");
  JsonSeeds(root / "fuzz_json");
  CliSeeds(root / "fuzz_cli");
  DesignFileSeeds(root / "fuzz_design_file");
  SoftExtSeeds(root / "fuzz_soft_ext");
  return 0;
}
