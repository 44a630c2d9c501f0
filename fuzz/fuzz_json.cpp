// Fuzz target: the streaming JSON reader against a reference parser.
//
// Input: one control byte (the size of the pieces the input arrives in, 1 to
// 64 bytes), then the text. The reader must never crash or hang; it must read
// the same values and stop at the same fault however the input is cut; where
// the reference accepts the text as one JSON value the reader must read
// exactly that value, and where the reader reads exactly one value the
// reference must accept it (or reject only a number too large for a double,
// which the reader keeps as text).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "formats/json_reader.h"
#include "fuzz/fuzz_check.h"

using brennick::fuzz::Require;
namespace json = brennick::json;

namespace {

constexpr int kMaxDepth = 200;  // deeper values are only skipped, not built

// The value at the reader's place, built as the reference would.
nlohmann::json Build(json::Reader& r, int depth) {
  if (depth > kMaxDepth) {
    r.SkipValue();
    return nullptr;
  }
  switch (r.PeekValue()) {
    case json::Kind::Object: {
      nlohmann::json object = nlohmann::json::object();
      r.BeginObject();
      std::string key;
      while (r.NextMember(key)) {
        std::string name = key;
        object[name] = Build(r, depth + 1);  // the last of a repeated key wins, as there
      }
      return object;
    }
    case json::Kind::Array: {
      nlohmann::json array = nlohmann::json::array();
      r.BeginArray();
      while (r.NextElement()) array.push_back(Build(r, depth + 1));
      return array;
    }
    case json::Kind::String: {
      std::string s;
      r.ReadString(s);
      return s;
    }
    case json::Kind::Boolean:
      return r.ReadBoolean();
    case json::Kind::Null:
      r.SkipValue();
      return nullptr;
    default: {
      // A number beyond a double stays text (a discarded value equals nothing).
      const std::string text(r.ReadNumber().text);
      nlohmann::json number = nlohmann::json::parse(text, nullptr, false);
      return number.is_discarded() ? nlohmann::json("number " + text) : number;
    }
  }
}

struct Reading {
  std::vector<nlohmann::json> values;
  std::string fault;
};

Reading ReadAll(std::string_view text, std::size_t piece) {
  Reading reading;
  json::Reader r(json::ReadFromText(text, piece));
  try {
    while (r.NextTopLevel()) {
      const json::Kind kind = r.PeekValue();
      reading.values.push_back(Build(r, 0));
      if (kind != json::Kind::Object && kind != json::Kind::Array && kind != json::Kind::String) {
        r.EndTopLevelScalar();
      }
    }
  } catch (const json::SyntaxError& e) {
    reading.fault = e.what();
  }
  return reading;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1 || size > 65536) return 0;
  const std::size_t piece = 1 + data[0] % 64;
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

  const Reading whole = ReadAll(text, text.size() + 1);
  const Reading pieces = ReadAll(text, piece);
  Require(pieces.fault == whole.fault && pieces.values == whole.values,
          "the reading depends on how the input is cut into pieces", text);

  // Deep nesting is left to the reader alone (counted roughly: brackets in
  // strings count too).
  int depth = 0;
  for (const char c : text) {
    depth += c == '[' || c == '{' ? 1 : c == ']' || c == '}' ? -1 : 0;
    if (depth > kMaxDepth) return 0;
  }
  // A raw NUL is never JSON; the reference takes it for the end of the input.
  if (text.find('\0') != std::string_view::npos) {
    Require(!whole.fault.empty(), "the reader accepts a NUL byte", text);
    return 0;
  }
  const bool oneValue = whole.fault.empty() && whole.values.size() == 1;
  try {
    const nlohmann::json reference = nlohmann::json::parse(text);
    Require(oneValue, "a JSON value the reader does not read as one", text);
    Require(whole.values[0] == reference, "the reader reads another value", text);
  } catch (const nlohmann::json::out_of_range&) {
    // A number beyond a double: the reader keeps its text and may accept it.
  } catch (const nlohmann::json::parse_error&) {
    Require(!oneValue, "the reader accepts what is no JSON value", text);
  }
  return 0;
}
