#include "form/fields.h"

#include <iterator>

#include "form/form_model.h"
#include "form/tooltips.h"

namespace brennick {
namespace {

using Rule = void (FormModel::*)();

// The field list names a field's rule by its name in FormModel, or NoRule for
// none. Named through this class, a rule is FormModel's own member, while
// NoRule is this class's, which RuleOf tells apart by its type.
struct RuleNames : FormModel {
  void NoRule() {}
};
template <typename Member>
constexpr Rule RuleOf(Member rule) {
  if constexpr (std::is_same_v<Member, Rule>) {
    return rule;
  } else {
    return nullptr;
  }
}

// The captions of an option group's items, in index order.
template <const auto& Items>
constexpr auto kItemCaptions = [] {
  std::array<const char*, std::size(Items)> captions{};
  for (std::size_t i = 0; i < captions.size(); ++i) captions[i] = Items[i].caption;
  return captions;
}();

constexpr bool Enabled(FieldStart state) {
  return state == FieldStart::enabled;
}

FieldInfo Text(const char* name, const char* label, const char* caption,
               std::string DesignInput::*member, TextControl FormState::*control, Rule rule,
               bool enabled) {
  FieldInfo f{name, FieldKind::Text, caption};
  f.text = member;
  f.textControl = control;
  f.label = label;
  f.rule = rule;
  f.startEnabled = enabled;
  return f;
}
FieldInfo Group(const char* name, const char* caption, int DesignInput::*member,
                std::span<const char* const> items, GroupControl FormState::*control, Rule rule,
                bool enabled) {
  FieldInfo f{name, FieldKind::Group, caption};
  f.group = member;
  f.items = items;
  f.groupControl = control;
  f.rule = rule;
  f.startEnabled = enabled;
  return f;
}
FieldInfo Check(const char* name, const char* caption, bool DesignInput::*member,
                CheckControl FormState::*control, Rule rule, bool enabled) {
  FieldInfo f{name, FieldKind::Check, caption};
  f.check = member;
  f.checkControl = control;
  f.rule = rule;
  f.startEnabled = enabled;
  return f;
}
// A check box of the form that the design run does not read.
FieldInfo FormCheck(const char* name, const char* caption, CheckControl FormState::*control,
                    bool enabled) {
  FieldInfo f{name, FieldKind::Check, caption};
  f.checkControl = control;
  f.startEnabled = enabled;
  return f;
}

using D = DesignInput;
using F = FormState;

#define BRENNICK_TEXT_ROW(C, name, label, caption, start, state, read, rule) \
  Text(#name, #label, caption, &D::name, &F::name, RuleOf(&RuleNames::rule), \
       Enabled(FieldStart::state)),
#define BRENNICK_GROUP_ROW(C, name, caption, items, start, state, rule)                     \
  Group(#name, caption, &D::name, kItemCaptions<items>, &F::name, RuleOf(&RuleNames::rule), \
        Enabled(FieldStart::state)),
#define BRENNICK_CHECK_ROW(C, name, caption, start, state, rule) \
  Check(#name, caption, &D::name, &F::name, RuleOf(&RuleNames::rule), Enabled(FieldStart::state)),
#define BRENNICK_FORM_CHECK_ROW(C, name, caption, checked, state) \
  FormCheck(#name, caption, &F::name, Enabled(FieldStart::state)),

// The design fields first, in the order of the design object's keys, then the
// form's own check boxes; each with its tooltip (tooltips.cpp).
const std::array<FieldInfo, kFormFieldCount> kFields = [] {
  std::array<FieldInfo, kFormFieldCount> fields = {
      BRENNICK_TEXT_FIELDS(BRENNICK_TEXT_ROW, ) BRENNICK_GROUP_FIELDS(BRENNICK_GROUP_ROW, )
          BRENNICK_CHECK_FIELDS(BRENNICK_CHECK_ROW, )
              BRENNICK_FORM_CHECKS(BRENNICK_FORM_CHECK_ROW, )};
  const std::span<const char* const> tips = FieldTooltips();
  for (std::size_t i = 0; i < fields.size(); ++i) fields[i].tooltip = tips[i];
  return fields;
}();

#undef BRENNICK_TEXT_ROW
#undef BRENNICK_GROUP_ROW
#undef BRENNICK_CHECK_ROW
#undef BRENNICK_FORM_CHECK_ROW

}  // namespace

std::span<const FieldInfo> DesignFields() {
  return std::span<const FieldInfo>(kFields).first(kDesignFieldCount);
}

std::span<const FieldInfo> FormFields() {
  return kFields;
}

const FieldInfo* FindField(std::string_view name) {
  const std::size_t i = FieldNumber(name);
  return i < kDesignFieldCount ? &kFields[i] : nullptr;
}

const FieldInfo* FindFormField(std::string_view name) {
  const std::size_t i = FieldNumber(name);
  return i < kFormFieldCount ? &kFields[i] : nullptr;
}

int ItemIndex(const FieldInfo& field, std::string_view caption) {
  for (std::size_t i = 0; i < field.items.size(); ++i) {
    if (caption == field.items[i]) return static_cast<int>(i);
  }
  return -1;
}

FormState::FormState() {
  const DesignInput start;
  for (const FieldInfo& f : kFields) {
    switch (f.kind) {
      case FieldKind::Text:
        (this->*f.textControl).text = start.*f.text;
        (this->*f.textControl).enabled = f.startEnabled;
        break;
      case FieldKind::Group:
        (this->*f.groupControl).index = start.*f.group;
        (this->*f.groupControl).enabled = f.startEnabled;
        break;
      case FieldKind::Check:
        if (f.check) (this->*f.checkControl).checked = start.*f.check;
        (this->*f.checkControl).enabled = f.startEnabled;
        break;
    }
  }
}

DesignInput FormState::Input() const {
  DesignInput in;
  for (const FieldInfo& f : DesignFields()) {
    switch (f.kind) {
      case FieldKind::Text:
        in.*f.text = (this->*f.textControl).text;
        break;
      case FieldKind::Group:
        in.*f.group = (this->*f.groupControl).index;
        break;
      case FieldKind::Check:
        in.*f.check = (this->*f.checkControl).checked;
        break;
    }
  }
  return in;
}

}  // namespace brennick
