// Every field of the field list, and every check box of the form's own, is a
// control of the window: of its name and kind, with its caption (and a text
// field's label beside it), its items, and the window's member of that name.
#include "engine/field_list.h"

#include <iterator>
#include <map>
#include <set>
#include <string>

#include "form/form_state.h"
#include "tests/ui/support.h"

namespace {

using brennick::FieldKind;

// A row of the lists as the window shows it.
struct Listed {
  const char* name;
  FieldKind kind;
  const char* caption;
  const char* label = nullptr;  // a text field's label
  int items = 0;                // an option group's items
};
#define LISTED_TEXT(C, name, label, caption, ...) {#name, FieldKind::Text, caption, #label},
#define LISTED_GROUP(C, name, caption, items, ...) \
  {#name, FieldKind::Group, caption, nullptr, static_cast<int>(std::size(brennick::items))},
#define LISTED_CHECK(C, name, caption, ...) {#name, FieldKind::Check, caption},
const Listed kListed[] = {BRENNICK_TEXT_FIELDS(LISTED_TEXT, ) BRENNICK_GROUP_FIELDS(
    LISTED_GROUP, ) BRENNICK_CHECK_FIELDS(LISTED_CHECK, ) BRENNICK_FORM_CHECKS(LISTED_CHECK, )};
#undef LISTED_TEXT
#undef LISTED_GROUP
#undef LISTED_CHECK

// The names of the window's (private) members for its value controls.
std::set<std::string> MemberNames() {
  std::set<std::string> members;
#define MEMBER(name) members.insert(#name);
  BRENNICK_TEXT_CONTROLS(MEMBER)
  BRENNICK_GROUP_CONTROLS(MEMBER)
  BRENNICK_CHECK_CONTROLS(MEMBER)
#undef MEMBER
  return members;
}

using FieldListTest = FormTest;

TEST_F(FieldListTest, EveryListedFieldIsAControlOfItsKindAndCaption) {
  const std::set<std::string> members = MemberNames();
  EXPECT_EQ(members.size(), std::size(kListed));
  for (const Listed& f : kListed) {
    const QString name = QLatin1String(f.name);
    const QString caption = QString::fromUtf8(f.caption);
    auto* control = form->findChild<QWidget*>(name);
    ASSERT_NE(control, nullptr) << f.name;
    EXPECT_EQ(members.count(f.name), 1u) << f.name;
    switch (f.kind) {
      case FieldKind::Text: {
        auto* edit = qobject_cast<QLineEdit*>(control);
        ASSERT_NE(edit, nullptr) << f.name;
        auto* label = form->findChild<QLabel*>(QLatin1String(f.label));
        ASSERT_NE(label, nullptr) << f.label;
        EXPECT_EQ(ShownCaption(label), caption) << f.name;
        EXPECT_EQ(label->buddy(), edit) << f.name;
        break;
      }
      case FieldKind::Group: {
        auto* group = qobject_cast<TRadioGroup*>(control);
        ASSERT_NE(group, nullptr) << f.name;
        EXPECT_EQ(group->title(), caption) << f.name;
        EXPECT_EQ(group->count(), f.items) << f.name;
        break;
      }
      case FieldKind::Check: {
        auto* box = qobject_cast<QCheckBox*>(control);
        ASSERT_NE(box, nullptr) << f.name;
        EXPECT_EQ(box->text(), caption) << f.name;
        break;
      }
    }
  }
}

}  // namespace
