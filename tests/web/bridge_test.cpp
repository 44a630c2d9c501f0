// The web page's bridge: every answer is JSON, every fault an answer with
// "error" rather than an exception, and what it gives is what the form model,
// the design run and the design files give.
#include "web/bridge.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <initializer_list>
#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <vector>

#include "engine/design.h"
#include "form/fields.h"
#include "tests/support/worked_designs.h"

namespace {

using nlohmann::json;

json Call(const json& request) {
  return json::parse(brennick::web::Call(request.dump()));
}

json StartState() {
  return Call({{"op", "fields"}})["start"];
}

// A change through the bridge, failing the test when it answers an error.
json Applied(const json& state, const std::string& field, const json& value) {
  const json answer =
      Call({{"op", "apply"}, {"state", state}, {"field", field}, {"value", value}, {"sep", "."}});
  EXPECT_FALSE(answer.contains("error")) << field << ": " << answer.dump();
  return answer["state"];
}

TEST(WebBridge, FaultyRequestsAreAnsweredWithAnError) {
  const std::string start = StartState().dump();
  const std::vector<std::string> requests = {
      "",
      "[]",
      "{\"op\": \"design\"} {}",
      "{\"op\": \"launch\"}",
      "{\"op\": \"design\"}",
      "{\"op\": \"design\", \"state\": {\"NoSuchEdit\": {\"text\": \"\"}}}",
      "{\"op\": \"design\", \"state\": {\"TLEdit\": {\"checked\": true}}}",
      "{\"op\": \"design\", \"state\": {\"BarrelBox\": {\"index\": 3}}}",
      "{\"op\": \"design\", \"state\": {\"BarrelBox\": {\"index\": -2}}}",
      "{\"op\": \"design\", \"state\": " + start + ", \"sep\": \";\"}",
      "{\"op\": \"apply\", \"state\": " + start + ", \"field\": \"TLEdit\", \"value\": true}",
      "{\"op\": \"apply\", \"state\": " + start + ", \"field\": \"Label7\", \"value\": \"x\"}",
      "{\"op\": \"apply\", \"state\": " + start + ", \"field\": \"ShotgunBox\", \"value\": 1}",
      "{\"op\": \"randomize\", \"state\": " + start + ", \"seed\": 4294967296}",
      "{\"op\": \"randomize\", \"state\": " + start + ", \"seed\": -1}",
      "{\"op\": \"explain\", \"state\": " + start + ", \"line\": 999}",
      "{\"op\": \"readDesignFile\"}",
      "{\"op\": \"table\", \"files\": [1]}",
      "{\"op\": \"design\", \"state\": " + std::string(300, '[') + "}",
  };
  for (const std::string& request : requests) {
    const json answer = json::parse(brennick::web::Call(request));
    EXPECT_TRUE(answer.contains("error")) << request << " -> " << answer.dump();
    EXPECT_FALSE(answer.contains("state")) << request;
  }
}

TEST(WebBridge, EveryControlHasOnePlaceOnThePage) {
  const json table = Call({{"op", "fields"}});
  ASSERT_EQ(table["fields"].size(), brennick::kFormFieldCount);
  std::set<std::string> placed;
  for (const auto& name : table["order"]) placed.insert(name.get<std::string>());
  EXPECT_EQ(placed.size(), brennick::kFormFieldCount);
  for (const auto& field : table["fields"]) {
    EXPECT_TRUE(placed.count(field["name"].get<std::string>())) << field["name"];
    EXPECT_FALSE(field["tooltip"].get<std::string>().empty()) << field["name"];
    const std::string section = field["section"];
    EXPECT_TRUE(section == "Input" || section == "Output" || section == "Additional Features" ||
                section == "Feature options")
        << field["name"];
  }
  // The start form as the window opens: RoF disabled, TL 9, caseless ticked.
  const json& start = table["start"];
  EXPECT_EQ(start["RoFEdit"]["enabled"], false);
  EXPECT_EQ(start["TLEdit"]["text"], "9");
  EXPECT_EQ(start["CaselessBox"]["checked"], true);
  EXPECT_EQ(start["ConfigurationBox"]["index"], -1);
  EXPECT_EQ(start["MaxRoFLabel"], "Max RoF:");
}

// A rule that stops on a TL that is no whole number keeps what it changed
// and says why, as the window's error report does.
TEST(WebBridge, ARuleThatFailsGivesTheFormAndTheMessage) {
  const json typed = Applied(StartState(), "TLEdit", "abc");
  const json answer = Call({{"op", "apply"},
                            {"state", typed},
                            {"field", "LoadingMechanismBox"},
                            {"value", brennick::kRevolver},
                            {"sep", "."}});
  EXPECT_EQ(answer["error"], "'abc' is not a valid integer value");
  ASSERT_TRUE(answer.contains("state"));
  EXPECT_EQ(answer["state"]["LoadingMechanismBox"]["index"], brennick::kRevolver);
}

TEST(WebBridge, DesignGivesTheRunsLinesAndTheFieldAtFault) {
  const brennick::DesignInput pistol = brennick::examples::TenMmPistol();
  json state = StartState();
  state = Applied(state, "NameEdit", pistol.NameEdit);
  state = Applied(state, "BoreSizeEdit", pistol.BoreSizeEdit);
  state = Applied(state, "ConfigurationBox", pistol.ConfigurationBox);
  state = Applied(state, "BarrelBox", pistol.BarrelBox);
  state = Applied(state, "LoadingMechanismBox", pistol.LoadingMechanismBox);
  state = Applied(state, "ShotsEdit", pistol.ShotsEdit);
  state = Applied(state, "CaselessBox", false);
  const json designed = Call({{"op", "design"}, {"state", state}, {"sep", "."}, {"explain", true}});
  const brennick::DesignResult native = brennick::RunDesign(pistol, '.');
  ASSERT_EQ(designed["lines"].size(), native.lines.size());
  for (std::size_t i = 0; i < native.lines.size(); ++i) {
    EXPECT_EQ(designed["lines"][i], std::string(native.lines[i]));
  }
  EXPECT_FALSE(designed.contains("failed"));
  EXPECT_EQ(designed["explain"].size(), native.lines.size());
  EXPECT_EQ(designed["lines"][0], "Pistol (TL9)");

  // The bore typed with the other separator: the run stops at the bore.
  state = Applied(state, "BoreSizeEdit", "10,5");
  const json failed = Call({{"op", "design"}, {"state", state}, {"sep", "."}, {"explain", true}});
  EXPECT_EQ(failed["failed"], "'10,5' is not a valid floating point value");
  EXPECT_EQ(failed["field"], "BoreSizeEdit");
  EXPECT_EQ(failed["caption"], "Bore Size, mm");
  // One derivation more than lines: the failing read's.
  EXPECT_EQ(failed["explain"].size(), failed["lines"].size() + 1);
}

// A design file written with one separator and read with the other: the
// numbers' separators are swapped, the name keeps its own.
TEST(WebBridge, DesignFilesTakeTheSeparatorOver) {
  json state = Applied(StartState(), "BoreSizeEdit", "7.62");
  state = Applied(state, "NameEdit", "M1.5");
  const json written = Call({{"op", "writeDesignFile"}, {"state", state}, {"sep", "."}});
  const json read = Call({{"op", "readDesignFile"}, {"text", written["text"]}, {"sep", ","}});
  ASSERT_TRUE(read.contains("state")) << read.dump();
  EXPECT_EQ(read["state"]["BoreSizeEdit"]["text"], "7,62");
  EXPECT_EQ(read["state"]["NameEdit"]["text"], "M1.5");
  const json same = Call({{"op", "readDesignFile"}, {"text", written["text"]}, {"sep", "."}});
  EXPECT_EQ(same["state"], state);

  const json refused = Call({{"op", "readDesignFile"}, {"text", "{\"TLEdit\": 9"}, {"sep", "."}});
  EXPECT_TRUE(refused.contains("error"));
  EXPECT_FALSE(refused.contains("state"));
}

// A file that is no JSON is a row with its message; the others still count.
TEST(WebBridge, TableGivesARowPerDesign) {
  const json answer = Call({{"op", "table"},
                            {"files",
                             {"{\"NameEdit\": \"A\", \"BoreSizeEdit\": 9}", "{oops",
                              "[{\"NameEdit\": \"B\"}, {\"NameEdit\": \"C\"}]"}},
                            {"sep", "."}});
  ASSERT_EQ(answer["rows"].size(), 4u);
  EXPECT_EQ(answer["rows"][0]["cells"][0], "A");
  EXPECT_EQ(answer["rows"][0]["figures"][1], 9.0);  // TL 9
  EXPECT_NE(answer["rows"][1]["cells"][15], "");    // the message
  EXPECT_EQ(answer["rows"][3]["cells"][0], "C");
  // Header, rule line and one line per row.
  const std::string markdown = answer["markdown"];
  EXPECT_EQ(std::count(markdown.begin(), markdown.end(), '\n'), 6);
}

}  // namespace
