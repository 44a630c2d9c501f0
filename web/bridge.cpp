#include "web/bridge.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <iterator>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/design.h"
#include "form/fields.h"
#include "form/form_model.h"
#include "form/form_state.h"
#include "form/statblock_text.h"
#include "form/tooltips.h"
#include "formats/design_file_format.h"
#include "formats/design_object.h"
#include "formats/json_reader.h"
#include "formats/json_text.h"
#include "formats/weapon_table.h"

namespace brennick::web {
namespace {

// ---------------------------------------------------------------------------
// Where each control stands on the page, as the window places it: the
// section (the window's headings), a block of controls that stay together,
// and the frame around related options. In the page's order.

struct Place {
  const char* name;
  const char* section;
  const char* block;
  const char* frame = nullptr;
};

constexpr const char* kInput = "Input";
constexpr const char* kOutput = "Output";
constexpr const char* kFeatures = "Additional Features";
constexpr const char* kOptions = "Feature options";
constexpr const char* kRails = "Accessory Rails (TL9) (UT150)";

constexpr Place kPlaces[] = {
    {"NameEdit", kInput, "top"},
    {"BoreSizeEdit", kInput, "top"},
    {"ConfigurationBox", kInput, "build"},
    {"BarrelBox", kInput, "build"},
    {"ExtraLowBox", kInput, "build"},
    {"RecoillessCheckBox", kInput, "build"},
    {"ColdCountermassBox", kInput, "build"},
    {"LoadingMechanismBox", kInput, "mechanism"},
    {"ElectricBox", kInput, "mechanism"},
    {"TLEdit", kInput, "numbers"},
    {"PowerModEdit", kInput, "numbers"},
    {"BarrelsEdit", kInput, "numbers"},
    {"ChambersEdit", kInput, "numbers"},
    {"RoFEdit", kInput, "numbers"},
    {"ShotsEdit", kInput, "numbers"},
    {"ClosedBoltBox", kInput, "numbers"},
    {"CaselessBox", kInput, "numbers"},
    {"BipodBox", kInput, "numbers"},
    {"ShotgunBox", kInput, "numbers"},
    {"GunLauncherCheckBox", kInput, "numbers"},
    {"PropellantBox", kInput, "propellant"},
    {"HouseETCBox", kInput, "propellant"},
    {"HouseGauss", kInput, "propellant"},
    {"GaussHCCBBox", kInput, "propellant"},
    {"StylingBox", kInput, "propellant"},
    {"AccRailU", kInput, "propellant", kRails},
    {"AccRailO", kInput, "propellant", kRails},
    {"AccRailS", kInput, "propellant", kRails},
    {"AccRailT", kInput, "propellant", kRails},
    {"PLBBox", kInput, "attachments"},
    {"MuzzleBox", kInput, "attachments"},
    {"CamouflageBox", kInput, "attachments"},
    {"HouseDRBox", kInput, "attachments"},
    {"KYOSBox", kInput, "attachments"},
    {"PaperBox", kInput, "attachments"},
    {"OnlyAuto", kOutput, "buttons"},
    {"HUDLinkBox", kFeatures, "features"},
    {"MultispectralLaserSightBox", kFeatures, "features"},
    {"TransponderRingBox", kFeatures, "features"},
    {"RecognitionGripBox", kFeatures, "features"},
    {"DiagnosticComputerBox", kFeatures, "features"},
    {"IronSightsBox", kFeatures, "features"},
    {"SDATBox", kFeatures, "features"},
    {"DTagBox", kFeatures, "features"},
    {"IFFBox", kFeatures, "features"},
    {"GravCompBox", kFeatures, "features"},
    {"SmartgripBox", kFeatures, "features"},
    {"SpaceProof", kFeatures, "features"},
    {"MuzzleWeightBox", kFeatures, "features"},
    {"FoldingStockBox", kFeatures, "features"},
    {"DisguisedBox", kFeatures, "features"},
    {"RuggedBox", kFeatures, "features"},
    {"CTSBox", kFeatures, "features"},
    {"ETSBox", kFeatures, "features"},
    {"QualityAccurate", kFeatures, "quality"},
    {"QualityReliable", kFeatures, "quality"},
    {"RGPalm", kOptions, "options", "Recognition Grip Features"},
    {"RGVoice", kOptions, "options", "Recognition Grip Features"},
    {"RGGlove", kOptions, "options", "Recognition Grip Features"},
    {"RGIFF", kOptions, "options", "Recognition Grip Features"},
    {"RGGPS", kOptions, "options", "Recognition Grip Features"},
    {"AntiTamper", kOptions, "options", "Diagnostic Computer Features"},
    {"DataChip", kOptions, "options", "HUD Link Features"},
    {"GreenEyes", kOptions, "options", "HUD Link Features"},
    {"HUDCable", kOptions, "options", "HUD Link Features"},
    {"MicroRadio", kOptions, "options", "HUD Link Features"},
    {"SecureEncryption", kOptions, "options", "HUD Link Features"},
    {"TinyComputer", kOptions, "options", "HUD Link Features"},
    {"TargetingSoftware", kOptions, "options", "HUD Link Features"},
    {"ArbWeight", kOptions, "extra"},
    {"ArbCF", kOptions, "extra"},
};
static_assert(std::size(kPlaces) == kFormFieldCount, "every control has its place on the page");

// ---------------------------------------------------------------------------
// Writing answers.

void Quote(std::string& out, std::string_view text) {
  json::AppendQuoted(out, text);
}

void AppendNumber(std::string& out, double value) {
  char buffer[40];
  const int n = std::snprintf(buffer, sizeof buffer, "%.17g", value);
  for (int i = 0; i < n; ++i) out += buffer[i] == ',' ? '.' : buffer[i];
}

const char* KindName(FieldKind kind) {
  switch (kind) {
    case FieldKind::Text:
      return "text";
    case FieldKind::Group:
      return "group";
    case FieldKind::Check:
      return "check";
  }
  return "";
}

// The form as the page holds it: every control by its name, then the hint.
void AppendState(std::string& out, const FormState& state) {
  out += '{';
  for (const FieldInfo& field : FormFields()) {
    Quote(out, field.name);
    out += ':';
    bool enabled = true;
    if (field.textControl) {
      const TextControl& c = state.*field.textControl;
      out += "{\"text\":";
      Quote(out, c.text);
      enabled = c.enabled;
    } else if (field.groupControl) {
      const GroupControl& c = state.*field.groupControl;
      out += "{\"index\":" + std::to_string(c.index);
      enabled = c.enabled;
    } else {
      const CheckControl& c = state.*field.checkControl;
      out += std::string("{\"checked\":") + (c.checked ? "true" : "false");
      enabled = c.enabled;
    }
    out += std::string(",\"enabled\":") + (enabled ? "true}," : "false},");
  }
  out += "\"MaxRoFLabel\":";
  Quote(out, state.MaxRoFLabel);
  out += '}';
}

std::string ErrorAnswer(std::string_view message) {
  std::string out = "{\"error\":";
  Quote(out, message);
  out += '}';
  return out;
}

// ---------------------------------------------------------------------------
// Reading requests.

// A request that cannot be carried out as sent: a fault of the page's.
struct BadRequest {
  std::string message;
};

std::int64_t ReadInteger(json::Reader& reader, std::string_view what) {
  if (reader.PeekValue() != json::Kind::Integer)
    throw BadRequest{std::string(what) + ": not a number"};
  const json::Number n = reader.ReadNumber();
  if (!n.integer || n.tooLarge || n.magnitude > (std::uint64_t{1} << 53)) {
    throw BadRequest{std::string(what) + ": not a whole number in range"};
  }
  const auto magnitude = static_cast<std::int64_t>(n.magnitude);
  return n.negative ? -magnitude : magnitude;
}

std::string ReadText(json::Reader& reader, std::string_view what) {
  if (reader.PeekValue() != json::Kind::String)
    throw BadRequest{std::string(what) + ": not a text"};
  std::string text;
  reader.ReadString(text);
  return text;
}

bool ReadFlag(json::Reader& reader, std::string_view what) {
  if (reader.PeekValue() != json::Kind::Boolean) {
    throw BadRequest{std::string(what) + ": not true or false"};
  }
  return reader.ReadBoolean();
}

// One control's member of a state: {"text": ..., "enabled": ...} and the like.
void ReadControl(json::Reader& reader, const FieldInfo& field, FormState& state) {
  if (reader.PeekValue() != json::Kind::Object) {
    throw BadRequest{std::string(field.name) + ": not an object"};
  }
  reader.BeginObject();
  std::string key;
  while (reader.NextMember(key)) {
    if (key == "enabled") {
      const bool enabled = ReadFlag(reader, field.name);
      if (field.textControl) (state.*field.textControl).enabled = enabled;
      if (field.groupControl) (state.*field.groupControl).enabled = enabled;
      if (field.checkControl) (state.*field.checkControl).enabled = enabled;
    } else if (key == "text" && field.textControl) {
      (state.*field.textControl).text = ReadText(reader, field.name);
    } else if (key == "checked" && field.checkControl) {
      (state.*field.checkControl).checked = ReadFlag(reader, field.name);
    } else if (key == "index" && field.groupControl) {
      const std::int64_t index = ReadInteger(reader, field.name);
      const auto last = static_cast<std::int64_t>(field.items.size()) - 1;
      if (index < -1 || index > last) throw BadRequest{std::string(field.name) + ": no such item"};
      (state.*field.groupControl).index = static_cast<int>(index);
    } else {
      throw BadRequest{std::string(field.name) + ": unknown member \"" + key + "\""};
    }
  }
}

// A whole form; a control left out keeps the start form's.
FormState ReadState(json::Reader& reader) {
  if (reader.PeekValue() != json::Kind::Object) throw BadRequest{"state: not an object"};
  FormState state;
  reader.BeginObject();
  std::string key;
  while (reader.NextMember(key)) {
    if (key == "MaxRoFLabel") {
      state.MaxRoFLabel = ReadText(reader, key);
    } else if (const FieldInfo* field = FindFormField(key)) {
      ReadControl(reader, *field, state);
    } else {
      throw BadRequest{"state: no control \"" + key + "\""};
    }
  }
  return state;
}

// The value of a change: a text, a check or an item's index.
struct Value {
  std::optional<std::string> text;
  std::optional<bool> checked;
  std::optional<std::int64_t> index;
};

struct Request {
  std::string op;
  std::optional<FormState> state;
  char sep = '.';
  std::string field;
  Value value;
  std::optional<std::int64_t> seed;
  std::optional<std::int64_t> line;
  std::optional<bool> onlyAuto;
  bool withExplain = false;
  std::optional<std::string> text;
  std::vector<std::string> files;
};

[[gnu::noinline]] Request ReadRequest(std::string_view text) {
  json::Reader reader(json::ReadFromText(text));
  if (!reader.NextTopLevel() || reader.PeekValue() != json::Kind::Object) {
    throw BadRequest{"the request is no object"};
  }
  Request request;
  reader.BeginObject();
  std::string key;
  while (reader.NextMember(key)) {
    if (key == "op") {
      request.op = ReadText(reader, key);
    } else if (key == "state") {
      request.state = ReadState(reader);
    } else if (key == "sep") {
      const std::string sep = ReadText(reader, key);
      if (sep != "." && sep != ",") throw BadRequest{"sep: \".\" or \",\""};
      request.sep = sep[0];
    } else if (key == "field") {
      request.field = ReadText(reader, key);
    } else if (key == "value") {
      switch (reader.PeekValue()) {
        case json::Kind::String:
          request.value.text = ReadText(reader, key);
          break;
        case json::Kind::Boolean:
          request.value.checked = reader.ReadBoolean();
          break;
        default:
          request.value.index = ReadInteger(reader, key);
          break;
      }
    } else if (key == "seed") {
      const std::int64_t seed = ReadInteger(reader, key);
      if (seed < 0 || seed > 0xFFFFFFFF) throw BadRequest{"seed: from 0 to 4294967295"};
      request.seed = seed;
    } else if (key == "line") {
      request.line = ReadInteger(reader, key);
    } else if (key == "explain") {
      request.withExplain = ReadFlag(reader, key);
    } else if (key == "onlyAuto") {
      request.onlyAuto = ReadFlag(reader, key);
    } else if (key == "text") {
      request.text = ReadText(reader, key);
    } else if (key == "files") {
      reader.BeginArray();
      while (reader.NextElement()) request.files.push_back(ReadText(reader, key));
    } else {
      throw BadRequest{"no member \"" + key + "\" in a request"};
    }
  }
  if (reader.NextTopLevel()) throw BadRequest{"more than one request"};
  return request;
}

const FormState& StateOf(const Request& request) {
  if (!request.state) throw BadRequest{request.op + ": no state"};
  return *request.state;
}

// ---------------------------------------------------------------------------
// The operations.
//
// Each is kept out of line: the browser compiles a function when it is first
// called, and the operations all inlined into one made the page's first call
// of any kind compile every one of them (a function of 23,000 instructions).

[[gnu::noinline]] std::string Fields() {
  std::string out = "{\"fields\":[";
  const std::span<const FieldInfo> fields = FormFields();
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const FieldInfo& field = fields[i];
    const Place* place = nullptr;
    for (const Place& p : kPlaces) {
      if (std::string_view(p.name) == field.name) place = &p;
    }
    if (i > 0) out += ',';
    out += "{\"name\":";
    Quote(out, field.name);
    out += ",\"kind\":";
    Quote(out, KindName(field.kind));
    out += ",\"caption\":";
    Quote(out, field.caption);
    if (field.label) {
      out += ",\"label\":";
      Quote(out, field.label);
    }
    out += ",\"items\":[";
    for (std::size_t k = 0; k < field.items.size(); ++k) {
      if (k > 0) out += ',';
      Quote(out, field.items[k]);
    }
    out += "],\"tooltip\":";
    Quote(out, field.tooltip ? field.tooltip : "");
    out += ",\"section\":";
    Quote(out, place ? place->section : kInput);
    out += ",\"block\":";
    Quote(out, place ? place->block : "");
    if (place && place->frame) {
      out += ",\"frame\":";
      Quote(out, place->frame);
    }
    out += std::string(",\"design\":") + (field.IsDesignInput() ? "true" : "false");
    out += '}';
  }
  // The window's other controls with their tooltips: the buttons, the
  // statblock, the hint.
  out += "],\"controls\":{";
  bool first = true;
  for (const ControlTip& tip : WindowTooltips()) {
    if (!first) out += ',';
    first = false;
    Quote(out, tip.name);
    out += ':';
    Quote(out, tip.text);
  }
  // The controls in the page's order.
  out += "},\"order\":[";
  for (std::size_t i = 0; i < std::size(kPlaces); ++i) {
    if (i > 0) out += ',';
    Quote(out, kPlaces[i].name);
  }
  out += "],\"start\":";
  AppendState(out, FormState());
  out += '}';
  return out;
}

// The form after `change`, which may stop with a DesignError (a TL that is
// no whole number); whatever it changed before that stays, as in the window.
template <class Change>
[[gnu::noinline]] std::string Changed(const Request& request, Change change) {
  FormModel model(request.sep);
  model.Restore(StateOf(request));
  std::optional<std::string> error;
  try {
    change(model);
  } catch (const DesignError& e) {
    error = e.message();
  }
  std::string out = "{\"state\":";
  AppendState(out, model.state());
  if (error) {
    out += ",\"error\":";
    Quote(out, *error);
  }
  out += '}';
  return out;
}

[[gnu::noinline]] std::string Apply(const Request& request) {
  const FieldInfo* field = FindFormField(request.field);
  if (!field) throw BadRequest{"apply: no control \"" + request.field + "\""};
  const Value& value = request.value;
  switch (field->kind) {
    case FieldKind::Text:
      if (!value.text) throw BadRequest{"apply: a text for " + request.field};
      return Changed(request, [&](FormModel& m) { m.SetText(*field, *value.text); });
    case FieldKind::Check:
      if (!value.checked) throw BadRequest{"apply: true or false for " + request.field};
      return Changed(request, [&](FormModel& m) { m.SetChecked(*field, *value.checked); });
    case FieldKind::Group:
      if (!value.index) throw BadRequest{"apply: an item's index for " + request.field};
      // The model takes any index (beyond the last is the last); an int it is.
      const std::int64_t index = *value.index < -1 ? -1 : *value.index > 1000 ? 1000 : *value.index;
      return Changed(request, [&](FormModel& m) { m.SetIndex(*field, static_cast<int>(index)); });
  }
  throw BadRequest{"apply: unknown kind of control"};
}

[[gnu::noinline]] std::string Randomize(const Request& request) {
  if (!request.seed) throw BadRequest{"randomize: no seed"};
  const auto seed = static_cast<std::uint32_t>(*request.seed);
  return Changed(request, [&](FormModel& m) {
    if (request.onlyAuto) m.Set(&FormState::OnlyAuto, *request.onlyAuto);
    m.RandomButtonClick(seed);
  });
}

const FieldInfo* FailedField(const DesignResult& result) {
  if (!result.failedField) return nullptr;
  for (const FieldInfo& field : DesignFields()) {
    if (field.text == result.failedField) return &field;
  }
  return nullptr;
}

void AppendDerivation(std::string& out, const Derivation& derivation) {
  out += '[';
  for (std::size_t i = 0; i < derivation.size(); ++i) {
    if (i > 0) out += ',';
    Quote(out, derivation[i]);
  }
  out += ']';
}

[[gnu::noinline]] std::string Design(const Request& request) {
  // The derivations only when asked for: they take many times the run's own
  // time, and the page asks for one line's when it is looked at.
  const DesignResult result = RunDesign(StateOf(request).Input(), request.sep,
                                        request.withExplain ? Explain::Yes : Explain::No);
  std::string out = "{\"lines\":[";
  bool first = true;
  for (std::string_view line : result.lines) {
    if (!first) out += ',';
    first = false;
    Quote(out, line);
  }
  out += "],\"explain\":[";
  for (std::size_t i = 0; i < result.explain.size(); ++i) {
    if (i > 0) out += ',';
    AppendDerivation(out, result.explain[i]);
  }
  out += ']';
  // The statblock as the window copies it: plain text, and Markdown.
  const std::vector<std::string> lines(result.lines.begin(), result.lines.end());
  out += ",\"plain\":";
  Quote(out, StatblockPlainText(lines));
  out += ",\"markdown\":";
  Quote(out, StatblockMarkdown(lines));
  if (result.error) {
    // "failed", not "error": the run went as it should; its message is the
    // statblock's.
    out += ",\"failed\":";
    Quote(out, *result.error);
    if (const FieldInfo* field = FailedField(result)) {
      out += ",\"field\":";
      Quote(out, field->name);
      out += ",\"caption\":";
      Quote(out, field->caption);
    }
  }
  out += '}';
  return out;
}

[[gnu::noinline]] std::string ExplainLine(const Request& request) {
  if (!request.line) throw BadRequest{"explain: no line"};
  const DesignResult result = RunDesign(StateOf(request).Input(), request.sep, Explain::Yes);
  if (*request.line < 0 || static_cast<std::uint64_t>(*request.line) >= result.explain.size()) {
    throw BadRequest{"explain: no such line"};
  }
  std::string out = "{\"derivation\":";
  AppendDerivation(out, result.explain[static_cast<std::size_t>(*request.line)]);
  out += '}';
  return out;
}

[[gnu::noinline]] std::string ReadFile(const Request& request) {
  if (!request.text) throw BadRequest{"readDesignFile: no text"};
  FormState state;
  try {
    state = ReadDesignFileText(*request.text, request.sep);
  } catch (const DesignError& e) {
    return ErrorAnswer(e.message());
  }
  std::string out = "{\"state\":";
  AppendState(out, state);
  out += '}';
  return out;
}

[[gnu::noinline]] std::string WriteFile(const Request& request) {
  std::string out = "{\"text\":";
  Quote(out, DesignFileText(StateOf(request), request.sep));
  out += '}';
  return out;
}

// One row per design of the files, as brennick-cli --table writes it for the
// files one after another; a file that is no JSON at all is a row of its own
// with the message.
[[gnu::noinline]] std::string Table(const Request& request) {
  std::vector<WeaponRow> rows;
  for (const std::string& file : request.files) {
    const std::optional<std::string> fatal =
        ReadDesigns(file, request.sep, [&](DesignEntry& entry) {
          WeaponRow row;
          if (entry.inputError) {
            row[kColError] = *entry.inputError;
          } else {
            row = WeaponRowOf(entry.input, RunDesign(entry.input, request.sep));
          }
          rows.push_back(std::move(row));
        });
    if (fatal) {
      WeaponRow row;
      row[kColError] = *fatal;
      rows.push_back(std::move(row));
    }
  }
  std::string markdown;
  std::string csv;
  AppendTableHeader(markdown, TableFormat::Markdown);
  AppendTableHeader(csv, TableFormat::Csv);
  std::string out = "{\"columns\":[";
  for (std::size_t c = 0; c < kWeaponColumns; ++c) {
    if (c > 0) out += ',';
    Quote(out, kWeaponColumnTitles[c]);
  }
  out += "],\"rows\":[";
  for (std::size_t r = 0; r < rows.size(); ++r) {
    const WeaponRow& row = rows[r];
    AppendTableRow(markdown, TableFormat::Markdown, row);
    AppendTableRow(csv, TableFormat::Csv, row);
    if (r > 0) out += ',';
    out += "{\"cells\":[";
    for (std::size_t c = 0; c < kWeaponColumns; ++c) {
      if (c > 0) out += ',';
      Quote(out, row[c]);
    }
    out += "],\"figures\":[";
    const WeaponFigures figures = WeaponFiguresOf(row);
    for (std::size_t c = 0; c < kWeaponColumns; ++c) {
      if (c > 0) out += ',';
      if (figures[c]) {
        AppendNumber(out, *figures[c]);
      } else {
        out += "null";
      }
    }
    out += "],\"damageAdds\":";
    if (const std::optional<double> adds = DamageAdds(row[kColDamage])) {
      AppendNumber(out, *adds);
    } else {
      out += "null";
    }
    out += '}';
  }
  out += "],\"markdown\":";
  Quote(out, markdown);
  out += ",\"csv\":";
  Quote(out, csv);
  out += '}';
  return out;
}

std::string Dispatch(const Request& request) {
  const std::string& op = request.op;
  if (op == "fields") return Fields();
  if (op == "apply") return Apply(request);
  if (op == "keypress") return Changed(request, [](FormModel& m) { m.FormKeyPress(); });
  if (op == "hint") {
    std::string out = "{\"hint\":";
    Quote(out, StateOf(request).MaxRoFLabel);
    return out + '}';
  }
  if (op == "design") return Design(request);
  if (op == "explain") return ExplainLine(request);
  if (op == "randomize") return Randomize(request);
  if (op == "readDesignFile") return ReadFile(request);
  if (op == "writeDesignFile") return WriteFile(request);
  if (op == "table") return Table(request);
  throw BadRequest{"no operation \"" + op + "\""};
}

}  // namespace

std::string Call(std::string_view request) {
  try {
    return Dispatch(ReadRequest(request));
  } catch (const BadRequest& bad) {
    return ErrorAnswer("bad request: " + bad.message);
  } catch (const DesignError& e) {
    return ErrorAnswer(e.message());
  } catch (const std::exception& e) {
    return ErrorAnswer(e.what());
  } catch (...) {
    return ErrorAnswer("unexpected failure");
  }
}

}  // namespace brennick::web
