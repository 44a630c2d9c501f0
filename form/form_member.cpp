#include "form/form_member.h"

#include <cstddef>
#include <memory>
#include <span>

#include "form/fields.h"

namespace brennick {
namespace {

// The enabled flag of a control, of a form or of a form being built.
template <class State>
auto& EnabledOf(State& state, const FieldInfo& f) {
  if (f.kind == FieldKind::Text) return (state.*f.textControl).enabled;
  if (f.kind == FieldKind::Group) return (state.*f.groupControl).enabled;
  return (state.*f.checkControl).enabled;
}

// A JSON string. A control name and a hint caption are plain printable
// ASCII; a name read from a file that names no control may hold anything, and
// its control characters are escaped, so a message never carries one.
std::string Quoted(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    if (static_cast<unsigned char>(c) < 0x20) {
      static constexpr char kHex[] = "0123456789abcdef";
      out += "\\u00";
      out += kHex[(c >> 4) & 0xF];
      out += kHex[c & 0xF];
      continue;
    }
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + '"';
}

}  // namespace

DisabledList::DisabledList() : listed_(FormFields().size()) {}

std::optional<std::string> DisabledList::Add(std::string_view name) {
  const FieldInfo* f = FindFormField(name);
  if (f == nullptr) return "\"" + std::string(kDisabledKey) + "\" names no control " + Quoted(name);
  const auto at = static_cast<std::size_t>(f - FormFields().data());
  if (listed_[at]) return "\"" + std::string(kDisabledKey) + "\" lists " + Quoted(name) + " twice";
  listed_[at] = true;
  return std::nullopt;
}

std::optional<std::string> MaxRoFLabelProblem(std::string_view caption) {
  if (IsMaxRoFCaption(caption)) return std::nullopt;
  return "\"" + std::string(kMaxRoFLabelKey) + "\" is not a caption of the Max RoF hint";
}

bool IsMaxRoFCaption(std::string_view caption) {
  if (caption == kMaxRoFStart || caption == "RoF: 3-16" || caption == "RoF: 3-20") return true;
  constexpr std::string_view prefix = "Max RoF: ";
  if (!caption.starts_with(prefix)) return false;
  std::string_view number = caption.substr(prefix.size());
  if (number.starts_with('-')) number.remove_prefix(1);
  // The hint's figures are 64-bit integers: at most 19 digits.
  if (number.empty() || number.size() > 19) return false;
  for (char c : number) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

FormMember FormMemberOf(const FormState& state) {
  FormMember member;
  member.disabled.emplace();
  for (const FieldInfo& f : FormFields()) {
    if (!EnabledOf(state, f)) member.disabled->push_back(f.name);
  }
  member.maxRoFLabel = state.MaxRoFLabel;
  member.gunLauncher = state.GunLauncherCheckBox.checked;
  member.onlyAuto = state.OnlyAuto.checked;
  return member;
}

FormState FormOfDesign(const DesignInput& design) {
  FormState state;
  for (const FieldInfo& f : DesignFields()) {
    switch (f.kind) {
      case FieldKind::Text:
        (state.*f.textControl).text = design.*f.text;
        break;
      case FieldKind::Group:
        (state.*f.groupControl).index = design.*f.group;
        break;
      case FieldKind::Check:
        (state.*f.checkControl).checked = design.*f.check;
        break;
    }
  }
  return state;
}

FormState FormOfDesign(const DesignInput& design, const FormMember& member) {
  FormState state = FormOfDesign(design);
  const auto fail = [](const std::string& what) {
    throw DesignError("key \"" + std::string(kFormKey) + "\": " + what);
  };
  if (member.disabled) {
    DisabledList list;
    for (const std::string& name : *member.disabled) {
      if (auto problem = list.Add(name)) fail(*problem);
    }
    for (const FieldInfo& f : FormFields()) EnabledOf(state, f) = true;
    for (const std::string& name : *member.disabled) EnabledOf(state, *FindFormField(name)) = false;
  }
  if (member.maxRoFLabel) {
    if (auto problem = MaxRoFLabelProblem(*member.maxRoFLabel)) fail(*problem);
    state.MaxRoFLabel = *member.maxRoFLabel;
  }
  if (member.gunLauncher) state.GunLauncherCheckBox.checked = *member.gunLauncher;
  if (member.onlyAuto) state.OnlyAuto.checked = *member.onlyAuto;
  return state;
}

std::string FormMemberJson(const FormMember& member, int indent) {
  const std::string outer(static_cast<std::size_t>(indent), ' ');
  const std::string inner = outer + "  ";
  std::vector<std::string> members;
  if (member.disabled) {
    std::string list = inner + Quoted(kDisabledKey) + ": [";
    for (std::size_t i = 0; i < member.disabled->size(); ++i) {
      if (i > 0) list += ", ";
      list += Quoted((*member.disabled)[i]);
    }
    members.push_back(list + "]");
  }
  if (member.maxRoFLabel) {
    members.push_back(inner + Quoted(kMaxRoFLabelKey) + ": " + Quoted(*member.maxRoFLabel));
  }
  const auto flag = [](bool on) { return on ? "true" : "false"; };
  if (member.gunLauncher) {
    members.push_back(inner + "\"GunLauncherCheckBox\": " + flag(*member.gunLauncher));
  }
  if (member.onlyAuto) members.push_back(inner + "\"OnlyAuto\": " + flag(*member.onlyAuto));
  std::string json = "{";
  for (std::size_t i = 0; i < members.size(); ++i) {
    json += i == 0 ? "\n" : ",\n";
    json += members[i];
  }
  return json + (members.empty() ? "}" : "\n" + outer + "}");
}

}  // namespace brennick
