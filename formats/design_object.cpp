#include "formats/design_object.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <utility>
#include <vector>

#include "form/fields.h"
#include "form/form_member.h"
#include "formats/json_text.h"

namespace brennick {
namespace {

using json::Kind;

std::string DesignPrefix(std::size_t position) {
  return "design " + std::to_string(position);
}

std::string KeyPrefix(std::size_t position, const FieldInfo& field) {
  return DesignPrefix(position) + ", key \"" + field.name + "\": ";
}

// A text read whole that is longer than a field can hold.
std::string TooLong(std::size_t length, const char* holder) {
  return "the text is " + std::to_string(length) + " characters long; " + holder +
         " holds at most " + std::to_string(kMaxTextLength);
}

std::string ItemRange(const FieldInfo& field) {
  return "-1.." + std::to_string(static_cast<long long>(field.items.size()) - 1);
}

constexpr std::string_view kSeparatorKey = "DecimalSeparator";
// The members of "Form" besides "Disabled" and "MaxRoFLabel": the two check
// boxes that are not inputs of the design run.
constexpr std::string_view kGunLauncherKey = "GunLauncherCheckBox";
constexpr std::string_view kOnlyAutoKey = "OnlyAuto";

char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Whether `part` begins `caption`, without regard to case.
bool BeginsCaption(std::string_view part, std::string_view caption) {
  if (part.size() > caption.size()) return false;
  for (std::size_t i = 0; i < part.size(); ++i) {
    if (Lower(part[i]) != Lower(caption[i])) return false;
  }
  return true;
}

// The item a caption names: its whole caption in any case, else a leading part
// of exactly one caption. -1 when none fits, -2 when several do.
int MatchItem(const FieldInfo& field, std::string_view caption) {
  int found = -1;
  for (std::size_t i = 0; i < field.items.size(); ++i) {
    const std::string_view item = field.items[i];
    if (!BeginsCaption(caption, item)) continue;
    if (caption.size() == item.size()) return static_cast<int>(i);
    found = found == -1 ? static_cast<int>(i) : -2;
  }
  return found;
}

std::string ItemList(const FieldInfo& field) {
  std::string list;
  for (const char* item : field.items) {
    if (!list.empty()) list += ", ";
    json::AppendQuoted(list, item);
  }
  return list;
}

// Reads every design of a stream. A design with an input error is still read
// to its end, so a syntax fault further on is still found, but its remaining
// keys are not looked at.
class StreamReader {
 public:
  StreamReader(const json::ReadFn& read, char dec, const DesignFn& onDesign)
      : reader_(read, kMaxTextLength), dec_(dec), onDesign_(onDesign) {
    seen_.resize(DesignFields().size());
    fromNumber_.resize(DesignFields().size());
  }

  void Run() {
    while (reader_.NextTopLevel()) {
      if (reader_.PeekValue() == Kind::Array) {
        ++arrays_;
        reader_.BeginArray();
        while (reader_.NextElement()) Slot(false);
      } else {
        Slot(true);
      }
    }
  }

  // The top-level arrays read so far.
  std::size_t Arrays() const { return arrays_; }

 private:
  // One value where a design goes: a whole top-level value or an element of a
  // top-level array.
  void Slot(bool topLevel) {
    const std::size_t position = ++position_;
    if (reader_.PeekValue() == Kind::Object) {
      DesignObject(position);
      return;
    }
    const Kind kind = reader_.SkipValue();
    if (topLevel && kind != Kind::String && kind != Kind::Array && kind != Kind::Object) {
      reader_.EndTopLevelScalar();
    }
    entry_.position = position;
    entry_.input = DesignInput{};
    entry_.form.reset();
    entry_.inputError =
        DesignPrefix(position) + ": expected a design object, got " + json::KindName(kind);
    onDesign_(entry_);
  }

  void DesignObject(std::size_t position) {
    entry_.position = position;
    // Copied over the design before, so its texts keep their memory.
    static const DesignInput start;
    entry_.input = start;
    entry_.form.reset();
    entry_.inputError.reset();
    std::fill(seen_.begin(), seen_.end(), 0);
    std::fill(fromNumber_.begin(), fromNumber_.end(), 0);
    separatorSeen_ = false;
    formSeen_ = false;
    typedWith_ = dec_;
    reader_.BeginObject();
    while (reader_.NextMember(key_)) {
      if (key_ == kSeparatorKey && !entry_.inputError) {
        SeparatorValue();
      } else if (key_ == kFormKey) {
        // What a design file keeps of the window beyond the design's values:
        // no input of the design run, but checked wherever a design stands,
        // so what the window refuses to open is refused everywhere.
        if (entry_.inputError) {
          reader_.SkipValue();
        } else if (formSeen_) {
          entry_.inputError = DesignPrefix(entry_.position) + ": key " + json::Quoted(key_) +
                              " is given more than once";
          reader_.SkipValue();
        } else {
          formSeen_ = true;
          FormValue();
        }
      } else if (const FieldInfo* field = TakeField(); field != nullptr) {
        Value(*field);
      } else {
        reader_.SkipValue();
      }
    }
    if (!entry_.inputError && typedWith_ != dec_) TakeOverTexts();
    onDesign_(entry_);
  }

  // "DecimalSeparator": "." or ",".
  void SeparatorValue() {
    const std::string prefix = DesignPrefix(entry_.position) + ", key \"DecimalSeparator\": ";
    if (separatorSeen_) {
      entry_.inputError =
          DesignPrefix(entry_.position) + ": key \"DecimalSeparator\" is given more than once";
      reader_.SkipValue();
      return;
    }
    separatorSeen_ = true;
    const Kind kind = reader_.PeekValue();
    if (kind != Kind::String) {
      entry_.inputError =
          prefix + "expected \".\" or \",\", got " + json::KindName(reader_.SkipValue());
      return;
    }
    if (const auto length = reader_.ReadString(text_)) {
      entry_.inputError = prefix + TooLong(*length, "a field");
      return;
    }
    if (text_ != "." && text_ != ",") {
      entry_.inputError = prefix + "expected \".\" or \",\", got " + json::Quoted(text_);
      return;
    }
    typedWith_ = text_[0];
  }

  // "Form": an object of at most four members, each checked as it is read (a
  // control name of "Disabled" as soon as it is read, so a list of any length
  // keeps no more names than the form has controls).
  // Out of line: the loop over a design's keys stays small.
  [[gnu::noinline]] void FormValue() {
    const std::string prefix =
        DesignPrefix(entry_.position) + ", key " + json::Quoted(kFormKey) + ": ";
    if (reader_.PeekValue() != Kind::Object) {
      entry_.inputError = prefix + "expected an object, got " + json::KindName(reader_.SkipValue());
      return;
    }
    FormMember& member = entry_.form.emplace();
    enum Member { kDisabled, kCaption, kGunLauncher, kOnlyAuto, kUnknown };
    std::array<bool, kUnknown> seen{};
    reader_.BeginObject();
    while (reader_.NextMember(key_)) {
      if (entry_.inputError) {
        reader_.SkipValue();
        continue;
      }
      const std::string name = json::Quoted(key_);
      const auto fail = [&](const std::string& what) { entry_.inputError = prefix + what; };
      // Skips the value, after `name` was taken: the key is let go of.
      const auto wrongType = [&](const char* expected) {
        const Kind got = reader_.SkipValue();
        fail("member " + name + ": expected " + expected + ", got " + json::KindName(got));
      };
      const Member which = key_ == kDisabledKey      ? kDisabled
                           : key_ == kMaxRoFLabelKey ? kCaption
                           : key_ == kGunLauncherKey ? kGunLauncher
                           : key_ == kOnlyAutoKey    ? kOnlyAuto
                                                     : kUnknown;
      if (which == kUnknown) {
        const std::size_t cut = reader_.CutKeyLength();
        fail(cut != 0 ? "unknown member of " + std::to_string(cut) + " characters"
                      : "unknown member " + name);
        reader_.SkipValue();
        continue;
      }
      if (seen[which]) {
        fail("member " + name + " is given more than once");
        reader_.SkipValue();
        continue;
      }
      seen[which] = true;
      switch (which) {
        case kDisabled:
          if (reader_.PeekValue() != Kind::Array) {
            wrongType("an array of control names");
          } else {
            DisabledNames(member.disabled.emplace(), name, prefix);
          }
          break;
        case kCaption:
          if (reader_.PeekValue() != Kind::String) {
            wrongType("a string");
          } else if (const auto length = reader_.ReadString(member.maxRoFLabel.emplace())) {
            fail("member " + name + ": " + TooLong(*length, "a caption"));
          } else if (auto problem = MaxRoFLabelProblem(*member.maxRoFLabel)) {
            fail(*problem);
          }
          break;
        default:
          if (reader_.PeekValue() != Kind::Boolean) {
            wrongType("true or false");
          } else {
            (which == kOnlyAuto ? member.onlyAuto : member.gunLauncher) = reader_.ReadBoolean();
          }
      }
    }
  }

  // The list of "Disabled", at its opening bracket; `name` is the member's
  // name, quoted.
  [[gnu::noinline]] void DisabledNames(std::vector<std::string>& names, const std::string& name,
                                       const std::string& prefix) {
    DisabledList list;
    reader_.BeginArray();
    while (reader_.NextElement()) {
      if (entry_.inputError) {
        reader_.SkipValue();
      } else if (reader_.PeekValue() != Kind::String) {
        const Kind got = reader_.SkipValue();
        entry_.inputError = prefix + "member " + name +
                            ": expected an array of control names, got " + json::KindName(got);
      } else if (const auto length = reader_.ReadString(text_)) {
        entry_.inputError = prefix + "member " + name + ": " + TooLong(*length, "a control name");
      } else if (auto problem = list.Add(text_)) {
        entry_.inputError = prefix + *problem;
      } else {
        names.push_back(text_);
      }
    }
  }

  // Texts typed with the other separator, swapped into the reader's. Numbers
  // are already written with the reader's; the name is no number.
  void TakeOverTexts() {
    const auto fields = DesignFields();
    for (std::size_t i = 0; i < fields.size(); ++i) {
      const FieldInfo& f = fields[i];
      if (f.kind != FieldKind::Text || fromNumber_[i] || f.text == &DesignInput::NameEdit) continue;
      for (char& c : entry_.input.*f.text) {
        if (c == typedWith_) {
          c = dec_;
        } else if (c == dec_) {
          c = typedWith_;
        }
      }
    }
  }

  // The field named by key_, or null when the design already has an error or
  // gets one here (an unknown or repeated key).
  const FieldInfo* TakeField() {
    if (entry_.inputError) return nullptr;
    const std::size_t number = FieldNumber(key_);
    if (number >= fields_.size()) {
      // A key longer than any text is given cut; it names no field either.
      const std::size_t cut = reader_.CutKeyLength();
      entry_.inputError =
          DesignPrefix(entry_.position) + ": unknown key " +
          (cut != 0 ? "of " + std::to_string(cut) + " characters" : json::Quoted(key_));
      return nullptr;
    }
    if (seen_[number]) {
      entry_.inputError = DesignPrefix(entry_.position) + ": key " + json::Quoted(key_) +
                          " is given more than once";
      return nullptr;
    }
    seen_[number] = 1;
    return &fields_[number];
  }

  void WrongType(const FieldInfo& field, Kind got) {
    std::string msg = KeyPrefix(entry_.position, field);
    switch (field.kind) {
      case FieldKind::Text:
        msg += "expected a string or a number";
        break;
      case FieldKind::Group:
        msg += "expected an item index (" + ItemRange(field) + ") or an item caption";
        break;
      case FieldKind::Check:
        msg += "expected true or false";
        break;
    }
    entry_.inputError = msg + ", got " + json::KindName(got);
  }

  // A string, or a number for a text, longer than the limit.
  [[gnu::cold, gnu::noinline]] void LongString(const FieldInfo& field, std::size_t length) {
    if (field.kind == FieldKind::Check) return WrongType(field, Kind::String);
    entry_.inputError = KeyPrefix(entry_.position, field) + TooLong(length, "a field");
  }

  // A number for an option group that is no index of its items.
  [[gnu::cold, gnu::noinline]] void BadIndex(const FieldInfo& field, const json::Number& n) {
    // Of a number too long to keep, its length.
    const bool cut = n.length > n.text.size();
    if (!n.integer) {
      // 1.0 or 1e0 may mean item 1, but an index is counted, not measured.
      entry_.inputError =
          KeyPrefix(entry_.position, field) + "expected an item index (a whole number, " +
          ItemRange(field) + ") or an item caption, got " +
          (cut ? "a number of " + std::to_string(n.length) + " characters" : std::string(n.text));
      return;
    }
    entry_.inputError =
        KeyPrefix(entry_.position, field) + "item index " +
        (cut ? "of " + std::to_string(n.length) + " characters" : std::string(n.text)) +
        " is outside " + ItemRange(field);
  }

  // The value of a known field: stored when it has the field's type.
  void Value(const FieldInfo& field) {
    DesignInput& in = entry_.input;
    switch (reader_.PeekValue()) {
      case Kind::String: {
        std::string& text = field.kind == FieldKind::Text ? in.*field.text : text_;
        if (const auto length = reader_.ReadString(text)) return LongString(field, *length);
        if (field.kind == FieldKind::Text) return;
        if (field.kind != FieldKind::Group) return WrongType(field, Kind::String);
        const int index = MatchItem(field, text_);
        if (index < 0) {
          entry_.inputError =
              KeyPrefix(entry_.position, field) +
              (index == -1 ? "no item is captioned " + json::Quoted(text_)
                           : "caption " + json::Quoted(text_) + " fits more than one item") +
              "; the items are " + ItemList(field);
          return;
        }
        in.*field.group = index;
        return;
      }
      case Kind::Integer: {
        const json::Number n = reader_.ReadNumber();
        if (field.kind == FieldKind::Text) {
          if (n.length > n.text.size()) return LongString(field, n.length);
          // The number's own text, its decimal point the reader's separator.
          std::string& text = in.*field.text;
          text = n.text;
          std::replace(text.begin(), text.end(), '.', dec_);
          fromNumber_[static_cast<std::size_t>(&field - fields_.data())] = 1;
          return;
        }
        if (field.kind != FieldKind::Group) {
          return WrongType(field, n.integer ? Kind::Integer : Kind::Float);
        }
        const auto last = static_cast<std::uint64_t>(field.items.size()) - 1;
        const bool inRange =
            n.integer && !n.tooLarge && (n.negative ? n.magnitude <= 1 : n.magnitude <= last);
        if (!inRange) return BadIndex(field, n);
        const auto magnitude = static_cast<int>(n.magnitude);
        in.*field.group = n.negative ? -magnitude : magnitude;
        return;
      }
      case Kind::Boolean: {
        const bool value = reader_.ReadBoolean();
        if (field.kind != FieldKind::Check) return WrongType(field, Kind::Boolean);
        in.*field.check = value;
        return;
      }
      default:
        WrongType(field, reader_.SkipValue());
    }
  }

  json::Reader reader_;
  const std::span<const FieldInfo> fields_ = DesignFields();
  const char dec_;
  const DesignFn& onDesign_;
  std::size_t position_ = 0;
  std::size_t arrays_ = 0;
  DesignEntry entry_;
  // One byte per field rather than one bit, so clearing them is a memset.
  std::vector<unsigned char> seen_;
  std::vector<unsigned char> fromNumber_;  // text fields given as JSON numbers
  bool separatorSeen_ = false;
  bool formSeen_ = false;
  char typedWith_ = '.';  // the separator the design's texts were typed with
  std::string_view key_;  // valid until the next call on the reader
  std::string text_;
};

}  // namespace

std::optional<std::string> ReadDesigns(const json::ReadFn& read, char decimalSeparator,
                                       const DesignFn& onDesign) {
  try {
    StreamReader(read, decimalSeparator, onDesign).Run();
  } catch (const json::SyntaxError& e) {
    return e.what();
  }
  return std::nullopt;
}

std::optional<std::string> ReadDesigns(std::string_view text, char decimalSeparator,
                                       const DesignFn& onDesign) {
  return ReadDesigns(json::ReadFromText(text), decimalSeparator, onDesign);
}

namespace {

// The members of a design object, `between` before each but the first.
void AppendMembers(std::string& out, const DesignInput& design, const DesignObjectStyle& style,
                   std::string_view between) {
  out += '"';
  out += kSeparatorKey;
  out += "\": ";
  json::AppendQuoted(out, std::string_view(&style.decimalSeparator, 1));
  for (const FieldInfo& f : DesignFields()) {
    out += between;
    json::AppendQuoted(out, f.name);
    out += ": ";
    switch (f.kind) {
      case FieldKind::Text:
        json::AppendQuoted(out, design.*f.text);
        break;
      case FieldKind::Group: {
        const int index = design.*f.group;
        if (style.captions && index >= 0 && static_cast<std::size_t>(index) < f.items.size()) {
          json::AppendQuoted(out, f.items[static_cast<std::size_t>(index)]);
        } else {
          out += std::to_string(index);
        }
        break;
      }
      case FieldKind::Check:
        out += design.*f.check ? "true" : "false";
        break;
    }
  }
}

// The "Form" member's object, its members one per line indented by four
// spaces, its closing brace by two, as it stands inside a design object.
void AppendFormMember(std::string& out, const FormMember& form) {
  constexpr std::string_view kIndent = "\n    ";
  char between = '\n';  // before the first member, ",\n" before the others
  const auto member = [&](std::string_view key) {
    if (between == ',') out += ',';
    between = ',';
    out += kIndent;
    json::AppendQuoted(out, key);
    out += ": ";
  };
  const auto flag = [&out](bool on) { out += on ? "true" : "false"; };
  out += '{';
  if (form.disabled) {
    member(kDisabledKey);
    out += '[';
    for (std::size_t i = 0; i < form.disabled->size(); ++i) {
      if (i > 0) out += ", ";
      json::AppendQuoted(out, (*form.disabled)[i]);
    }
    out += ']';
  }
  if (form.maxRoFLabel) {
    member(kMaxRoFLabelKey);
    json::AppendQuoted(out, *form.maxRoFLabel);
  }
  if (form.gunLauncher) {
    member(kGunLauncherKey);
    flag(*form.gunLauncher);
  }
  if (form.onlyAuto) {
    member(kOnlyAutoKey);
    flag(*form.onlyAuto);
  }
  out += between == ',' ? "\n  }" : "}";
}

}  // namespace

std::string DesignObjectText(const DesignInput& design, const DesignObjectStyle& style) {
  std::string out = "{\n  ";
  AppendMembers(out, design, style, ",\n  ");
  out += "\n}\n";
  return out;
}

std::string DesignObjectText(const DesignInput& design, const FormMember& form,
                             const DesignObjectStyle& style) {
  std::string out = "{\n  ";
  AppendMembers(out, design, style, ",\n  ");
  out += ",\n  ";
  json::AppendQuoted(out, kFormKey);
  out += ": ";
  AppendFormMember(out, form);
  out += "\n}\n";
  return out;
}

void AppendDesignObjectLine(std::string& out, const DesignInput& design,
                            const DesignObjectStyle& style) {
  out += '{';
  AppendMembers(out, design, style, ", ");
  out += '}';
}

DesignEntry ReadDesignObject(std::string_view text, char decimalSeparator) {
  return ReadDesignObject(json::ReadFromText(text), decimalSeparator);
}

DesignEntry ReadDesignObject(const json::ReadFn& read, char decimalSeparator) {
  DesignEntry only;
  std::size_t count = 0;
  const DesignFn onDesign = [&](DesignEntry& e) {
    if (++count == 1) only = std::move(e);
  };
  StreamReader reader(read, decimalSeparator, onDesign);
  try {
    reader.Run();
  } catch (const json::SyntaxError& e) {
    only.inputError = e.what();
    only.position = 1;
    return only;
  }
  if (count != 1) {
    only = DesignEntry{};
    only.inputError = count == 0 ? "expected a design object, got nothing"
                                 : "expected one design object, got " + std::to_string(count);
  } else if (reader.Arrays() != 0 && !only.inputError) {
    // One sound design in an array is still no design object (one value that
    // is no design says what it is instead).
    only = DesignEntry{};
    only.inputError = "expected a design object, got an array";
  }
  only.position = 1;
  return only;
}

}  // namespace brennick
