// brennick-cli --explain: each line with its derivation, in plain and JSON
// output, and the failing read's derivation after a failed design.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/batch.h"
#include "formats/json_reader.h"

namespace brennick::cli {
namespace {

constexpr const char* kPistol =
    R"({"NameEdit": "Pistol", "BoreSizeEdit": "10", "ConfigurationBox": 0, "BarrelBox": 1,
        "LoadingMechanismBox": 7, "ShotsEdit": "20", "CaselessBox": false})";
constexpr const char* kBadBore = R"({"NameEdit": "Bad", "BoreSizeEdit": "ten"})";

std::string Output(std::string_view input, Format format, bool explain) {
  StringSink out;
  StringSink err;
  const json::ReadFn read = [input](char* buffer, std::size_t size) mutable {
    const std::size_t n = std::min(size, input.size());
    std::memcpy(buffer, input.data(), n);
    input.remove_prefix(n);
    return n;
  };
  ProcessDesigns(read, Options{format, '.', explain}, out, err);
  return out.text;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(ExplainOutput, PlainIndentsEachLinesStepsUnderIt) {
  const std::vector<std::string> plain = Lines(Output(kPistol, Format::Plain, false));
  const std::vector<std::string> explained = Lines(Output(kPistol, Format::Plain, true));
  // Taking out the indented steps leaves the statblock as it is without them.
  std::vector<std::string> statblock;
  std::size_t steps = 0;
  for (std::size_t i = 0; i < explained.size(); ++i) {
    if (explained[i].rfind("    ", 0) == 0) {
      ++steps;
      // A line's last step carries its figures.
      const bool last = i + 1 == explained.size() || explained[i + 1].rfind("    ", 0) != 0;
      if (last) {
        EXPECT_EQ(explained[i].rfind("    = ", 0), 0u) << explained[i];
      }
    } else {
      statblock.push_back(explained[i]);
    }
  }
  EXPECT_EQ(statblock, plain);
  EXPECT_GT(steps, 2 * plain.size());
  const auto damage = std::find(explained.begin(), explained.end(), "Damage: 3d+1 pi+");
  ASSERT_NE(damage, explained.end());
  EXPECT_EQ(damage[1].rfind("    Bore Size, mm", 0), 0u);
}

TEST(ExplainOutput, PlainShowsTheFailingReadAfterTheLines) {
  const std::vector<std::string> lines = Lines(Output(kBadBore, Format::Plain, true));
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ(lines[0], "Bad (TL9)");
  const auto stopped = std::find(lines.begin(), lines.end(), "  The run stopped:");
  ASSERT_NE(stopped, lines.end());
  EXPECT_EQ(stopped[1], "    The damage reads Bore Size, mm.");
  EXPECT_EQ(lines.back(), "    The run stops: 'ten' is not a valid floating point value");
}

TEST(ExplainOutput, JsonGainsAnExplainArrayParallelToTheStatblock) {
  const std::string text =
      Output(std::string(kPistol) + kBadBore + "{\"Nope\": 1}", Format::Json, true);
  const std::vector<std::string> objects = Lines(text);
  ASSERT_EQ(objects.size(), 3u);
  const nlohmann::json done = nlohmann::json::parse(objects[0]);
  ASSERT_TRUE(done["error"].is_null());
  ASSERT_EQ(done["explain"].size(), done["statblock"].size());
  for (std::size_t i = 0; i < done["explain"].size(); ++i) {
    const nlohmann::json& steps = done["explain"][i];
    ASSERT_TRUE(steps.is_array());
    ASSERT_FALSE(steps.empty());
    for (const nlohmann::json& step : steps) ASSERT_TRUE(step.is_string());
  }
  EXPECT_EQ(done["explain"][1].back(), "= 3d+1 pi+");

  const nlohmann::json failed = nlohmann::json::parse(objects[1]);
  ASSERT_EQ(failed["explain"].size(), failed["statblock"].size() + 1);
  EXPECT_EQ(failed["explain"].back().back(),
            "The run stops: " + failed["error"].get<std::string>());

  const nlohmann::json inputError = nlohmann::json::parse(objects[2]);
  EXPECT_TRUE(inputError["input_error"].get<bool>());
  EXPECT_TRUE(inputError["explain"].empty());
}

TEST(ExplainOutput, WithoutTheOptionNothingChanges) {
  const std::string json = Output(kPistol, Format::Json, false);
  EXPECT_EQ(json.find("explain"), std::string::npos);
  EXPECT_EQ(Output(kPistol, Format::Plain, false).find("    "), std::string::npos);
}

}  // namespace
}  // namespace brennick::cli
