// Every field of the field list is a key of the command-line designer's
// template, is written into a design file and read back from it, and is read
// as a JSON key into its own member of the design.
#include "engine/field_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <optional>
#include <span>
#include <string>

#include "engine/design.h"
#include "files/design_file.h"
#include "form/fields.h"
#include "form/form_state.h"
#include "formats/design_object.h"
#include "tests/files/files_test_util.h"

namespace brennick {
namespace {

using filestest::RunCli;

// A row of the field list: its name, its member of DesignInput and, for an
// option group, its number of items. Made from the list itself, not from the
// field table built on it.
struct Listed {
  const char* name;
  FieldKind kind;
  std::string DesignInput::*text = nullptr;
  int DesignInput::*group = nullptr;
  bool DesignInput::*check = nullptr;
  int items = 0;
};
#define LISTED_TEXT(C, name, ...) {#name, FieldKind::Text, &DesignInput::name},
#define LISTED_GROUP(C, name, caption, items, ...) \
  {#name,   FieldKind::Group,                      \
   nullptr, &DesignInput::name,                    \
   nullptr, static_cast<int>(std::size(items))},
#define LISTED_CHECK(C, name, ...) {#name, FieldKind::Check, nullptr, nullptr, &DesignInput::name},
const Listed kListed[] = {BRENNICK_TEXT_FIELDS(LISTED_TEXT, ) BRENNICK_GROUP_FIELDS(LISTED_GROUP, )
                              BRENNICK_CHECK_FIELDS(LISTED_CHECK, )};
#undef LISTED_TEXT
#undef LISTED_GROUP
#undef LISTED_CHECK

// A value of the field other than its start value, as JSON, and the design
// with that value in place.
std::string OtherValue(const Listed& f, DesignInput& design) {
  switch (f.kind) {
    case FieldKind::Text:
      design.*f.text = "42";
      return "\"42\"";
    case FieldKind::Group:
      // Every group starts at -1 or 0 and has at least two items.
      design.*f.group = f.items - 1;
      return std::to_string(f.items - 1);
    case FieldKind::Check:
      design.*f.check = !(design.*f.check);
      return design.*f.check ? "true" : "false";
  }
  return {};
}

TEST(FieldListTest, EveryFieldIsAKeyOfTheTemplateInTheListsOrder) {
  const std::string tmpl = RunCli("--template");
  ASSERT_FALSE(tmpl.empty());
  std::size_t at = tmpl.find("\"DecimalSeparator\": \".\"");
  ASSERT_NE(at, std::string::npos);
  for (const Listed& f : kListed) {
    const std::size_t key = tmpl.find("\n  \"" + std::string(f.name) + "\": ", at);
    ASSERT_NE(key, std::string::npos) << f.name;
    at = key;
  }
  // Nothing but the separator and the list's fields, each at its start value.
  EXPECT_EQ(static_cast<std::size_t>(std::count(tmpl.begin(), tmpl.end(), '\n')),
            std::size(kListed) + 3);
  const DesignEntry read = ReadDesignObject(tmpl, '.');
  ASSERT_FALSE(read.inputError) << *read.inputError;
  EXPECT_TRUE(read.input == DesignInput{});
}

TEST(FieldListTest, EveryFieldIsReadAsAKeyIntoItsOwnMember) {
  EXPECT_EQ(std::size(kListed), DesignFields().size());
  for (const Listed& f : kListed) {
    DesignInput expected;
    const std::string value = OtherValue(f, expected);
    const DesignEntry read =
        ReadDesignObject("{\"" + std::string(f.name) + "\": " + value + "}", '.');
    ASSERT_FALSE(read.inputError) << f.name << ": " << *read.inputError;
    EXPECT_TRUE(read.input == expected) << f.name;
    EXPECT_FALSE(DesignInput{} == expected) << f.name;
  }
}

TEST(FieldListTest, EveryFieldIsWrittenIntoADesignFileAndReadBack) {
  filestest::Folder folder;
  for (const Listed& f : kListed) {
    DesignInput design;
    OtherValue(f, design);
    // The form state holding that design: every control as the design has it.
    FormState state;
    for (const FieldInfo& field : DesignFields()) {
      switch (field.kind) {
        case FieldKind::Text:
          (state.*field.textControl).text = design.*field.text;
          break;
        case FieldKind::Group:
          (state.*field.groupControl).index = design.*field.group;
          break;
        case FieldKind::Check:
          (state.*field.checkControl).checked = design.*field.check;
          break;
      }
    }
    ASSERT_TRUE(state.Input() == design) << f.name;
    const auto path = folder / (std::string(f.name) + ".json");
    SaveDesignFile(path, state, '.');
    const std::string text = filestest::ReadText(path);
    EXPECT_NE(text.find("\"" + std::string(f.name) + "\": "), std::string::npos) << f.name;
    const FormState back = LoadDesignFile(path, '.');
    EXPECT_TRUE(back.Input() == design) << f.name;
    EXPECT_TRUE(back == state) << f.name;
  }
}

}  // namespace
}  // namespace brennick
