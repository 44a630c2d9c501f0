#include "design_file.h"

#include <set>

#include "design_object.h"
#include "file_io.h"
#include "json_reader.h"
#include "json_text.h"

namespace brennick {
namespace {

using json::Kind;

[[noreturn]] void Fail(const std::string& what) {
  throw DesignError("key \"" + std::string(kFormKey) + "\": " + what);
}

// Reads the value of the "Form" member the reader stands at.
FormMember ReadFormMember(json::Reader& reader) {
  if (reader.PeekValue() != Kind::Object) {
    Fail(std::string("expected an object, got ") + json::KindName(reader.SkipValue()));
  }
  FormMember member;
  std::set<std::string> seen;
  std::string key;
  reader.BeginObject();
  while (reader.NextMember(key)) {
    if (!seen.insert(key).second) Fail("member " + json::Quoted(key) + " is given more than once");
    const auto wrongType = [&](const char* expected) {
      Fail("member " + json::Quoted(key) + ": expected " + expected + ", got " +
           json::KindName(reader.SkipValue()));
    };
    if (key == kDisabledKey) {
      if (reader.PeekValue() != Kind::Array) wrongType("an array of control names");
      member.disabled.emplace();
      reader.BeginArray();
      while (reader.NextElement()) {
        if (reader.PeekValue() != Kind::String) wrongType("an array of control names");
        reader.ReadString(member.disabled->emplace_back());
      }
    } else if (key == kMaxRoFLabelKey) {
      if (reader.PeekValue() != Kind::String) wrongType("a string");
      reader.ReadString(member.maxRoFLabel.emplace());
    } else if (key == "GunLauncherCheckBox" || key == "OnlyAuto") {
      if (reader.PeekValue() != Kind::Boolean) wrongType("true or false");
      (key == "OnlyAuto" ? member.onlyAuto : member.gunLauncher) = reader.ReadBoolean();
    } else {
      Fail("unknown member " + json::Quoted(key));
    }
  }
  return member;
}

// The "Form" member of a design object whose JSON is known to be sound, or
// nothing when it has none.
std::optional<FormMember> FindFormMember(std::string_view text) {
  json::Reader reader(json::ReadFromText(text));
  std::optional<FormMember> member;
  if (!reader.NextTopLevel() || reader.PeekValue() != Kind::Object) return member;
  std::string key;
  reader.BeginObject();
  while (reader.NextMember(key)) {
    if (key != kFormKey) {
      reader.SkipValue();
      continue;
    }
    if (member) throw DesignError("key \"" + std::string(kFormKey) + "\" is given more than once");
    member = ReadFormMember(reader);
  }
  return member;
}

// A design file holds one design: the reader's "design 1" says nothing.
std::string WithoutPosition(std::string message) {
  for (std::string_view prefix : {"design 1, ", "design 1: "}) {
    if (message.starts_with(prefix)) return message.substr(prefix.size());
  }
  return message;
}

}  // namespace

std::string DesignFileText(const FormState& state, char decimalSeparator) {
  std::string text = DesignObjectText(state.Input(), {decimalSeparator, false});
  // The design object ends "\n}\n": the form member goes last.
  const std::size_t end = text.rfind('}');
  text.erase(end == std::string::npos || end == 0 ? text.size() : end - 1);
  text += ",\n  \"";
  text += kFormKey;
  text += "\": ";
  text += FormMemberJson(FormMemberOf(state), 2);
  text += "\n}\n";
  return text;
}

FormState ReadDesignFileText(std::string_view text, char decimalSeparator) {
  DesignEntry entry = ReadDesignObject(text, decimalSeparator);
  if (entry.inputError) throw DesignError(WithoutPosition(*entry.inputError));
  try {
    const std::optional<FormMember> member = FindFormMember(text);
    return member ? FormOfDesign(entry.input, *member) : FormOfDesign(entry.input);
  } catch (const json::SyntaxError& e) {
    throw DesignError(e.what());  // not reached for text the design reader took
  }
}

FormState LoadDesignFile(const std::filesystem::path& path, char decimalSeparator) {
  try {
    return ReadDesignFileText(ReadFileText(path), decimalSeparator);
  } catch (const DesignError& e) {
    throw DesignError(CannotOpen(path, e.what()));
  }
}

void SaveDesignFile(const std::filesystem::path& path, const FormState& state,
                    char decimalSeparator) {
  try {
    WriteFileAtomically(path, DesignFileText(state, decimalSeparator));
  } catch (const DesignError& e) {
    throw DesignError(CannotSave(path, e.what()));
  }
}

std::string CannotOpen(const std::filesystem::path& path, std::string_view problem) {
  return "Cannot open \"" + path.string() + "\": " + std::string(problem);
}

std::string CannotSave(const std::filesystem::path& path, std::string_view problem) {
  return "Cannot save \"" + path.string() + "\": " + std::string(problem);
}

}  // namespace brennick
