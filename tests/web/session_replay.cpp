// Replays a session of user steps on the form model as the window runs them,
// and prints, after every step, the form as a design file: what the browser
// tests compare with the web page's form after the same step.
//
//   web_session_replay SEPARATOR < session.jsonl
//
// Each input line is one step, a JSON object:
//   {"op":"text","field":F,"value":V}   F's text typed over with V
//   {"op":"check","field":F}            F's check box clicked
//   {"op":"option","field":F,"index":K} F's item K chosen
//   {"op":"random","seed":S}            Randomize, seeded with S
//   {"op":"key"}                        a key the window itself receives
//   {"op":"design"}                     Design
//   {"op":"undo"} / {"op":"redo"}
// Each output line is a JSON object: {"file": the design file's text} and,
// after Design, "statblock" (the lines) and "failed" (the message or null);
// after a step that failed, "error".
#include <cstdint>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>

#include "engine/design.h"
#include "form/design_session.h"
#include "form/fields.h"
#include "form/form_model.h"
#include "form/form_state.h"
#include "formats/design_file_format.h"
#include "formats/json_reader.h"
#include "formats/json_text.h"

namespace {

using brennick::FieldInfo;
using brennick::FieldKind;
using brennick::FormState;

struct Step {
  std::string op;
  std::string field;
  std::string value;
  std::int64_t number = 0;
};

Step ReadStep(const std::string& line) {
  brennick::json::Reader reader(brennick::json::ReadFromText(line));
  reader.NextTopLevel();
  reader.BeginObject();
  Step step;
  std::string key;
  while (reader.NextMember(key)) {
    if (reader.PeekValue() == brennick::json::Kind::String) {
      std::string text;
      reader.ReadString(text);
      (key == "op" ? step.op : key == "field" ? step.field : step.value) = text;
    } else {
      const brennick::json::Number n = reader.ReadNumber();
      step.number = static_cast<std::int64_t>(n.magnitude) * (n.negative ? -1 : 1);
    }
  }
  return step;
}

}  // namespace

int main(int argc, char** argv) {
  const char sep = argc > 1 && argv[1][0] == ',' ? ',' : '.';
  brennick::DesignSession session(sep);
  std::string typing;  // the field typed into last, while the focus stays in it
  std::string line;
  while (std::getline(std::cin, line)) {
    if (line.empty()) continue;
    const Step step = ReadStep(line);
    // Every step but typing on in the same field moves the focus, which ends
    // the typing as the window's focus change does.
    if (step.op != "text" || step.field != typing) session.EndTyping();
    typing = step.op == "text" ? step.field : "";
    const FormState before = session.form();
    std::optional<std::string> error;
    std::optional<brennick::DesignResult> designed;
    try {
      const FieldInfo* field = brennick::FindFormField(step.field);
      if (step.op == "text" && field && field->kind == FieldKind::Text) {
        session.model().SetText(*field, step.value);
      } else if (step.op == "check" && field && field->kind == FieldKind::Check) {
        session.model().SetChecked(*field, !(session.form().*field->checkControl).checked);
      } else if (step.op == "option" && field && field->kind == FieldKind::Group) {
        session.model().SetIndex(*field, static_cast<int>(step.number));
      } else if (step.op == "random") {
        session.model().RandomButtonClick(static_cast<std::uint32_t>(step.number));
      } else if (step.op == "key") {
        session.model().FormKeyPress();
      } else if (step.op == "design") {
        designed = brennick::RunDesign(session.form().Input(), sep);
      } else if (step.op == "undo") {
        session.Undo();
      } else if (step.op == "redo") {
        session.Redo();
      } else {
        std::cerr << "web_session_replay: no such step: " << line << '\n';
        return 2;
      }
    } catch (const brennick::DesignError& e) {
      error = e.message();
    }
    if (step.op != "undo" && step.op != "redo" && step.op != "design") {
      session.Changed(before, typing);
    }
    std::string out = "{\"file\":";
    brennick::json::AppendQuoted(out, brennick::DesignFileText(session.form(), sep));
    if (designed) {
      out += ",\"statblock\":[";
      bool first = true;
      for (std::string_view text : designed->lines) {
        if (!first) out += ',';
        first = false;
        brennick::json::AppendQuoted(out, text);
      }
      out += "],\"failed\":";
      if (designed->error) {
        brennick::json::AppendQuoted(out, *designed->error);
      } else {
        out += "null";
      }
    }
    if (error) {
      out += ",\"error\":";
      brennick::json::AppendQuoted(out, *error);
    }
    out += "}\n";
    std::cout << out;
  }
  return 0;
}
