// The text of design files: a form written and read back is the same form,
// whatever its texts hold; the text is the design object with the form's
// member last; and a file is read in one pass over its bytes.
#include "formats/design_file_format.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <vector>

#include "engine/design.h"
#include "form/fields.h"
#include "form/form_member.h"
#include "form/form_model.h"
#include "formats/design_object.h"
#include "tests/support/field_changes.h"

namespace brennick {
namespace {

// The file as a design object with "Form" put in before its closing brace:
// what a design file has always been.
std::string ObjectWithFormMember(const FormState& state, char dec) {
  std::string text = DesignObjectText(state.Input(), {dec, false});
  EXPECT_TRUE(text.ends_with("\n}\n"));
  text.resize(text.size() - 3);
  return text + ",\n  \"Form\": " + FormMemberJson(FormMemberOf(state), 2) + "\n}\n";
}

std::vector<FormState> SomeForms() {
  std::vector<FormState> forms = {FormState()};
  for (std::uint32_t seed = 0; seed < 60; ++seed) {
    FormModel model(seed % 2 ? ',' : '.');
    model.Set(&FormState::OnlyAuto, seed % 3 == 0);
    model.RandomButtonClick(seed);
    forms.push_back(model.state());
  }
  for (const FieldInfo& f : FormFields()) {
    forms.push_back(testing_support::WithFieldChanged(f, false, "12,7 x \"q\""));
  }
  return forms;
}

TEST(DesignFileFormat, TheTextIsTheDesignObjectWithTheFormMemberLast) {
  for (const FormState& s : SomeForms()) {
    for (const char dec : {'.', ','}) {
      ASSERT_EQ(DesignFileText(s, dec), ObjectWithFormMember(s, dec)) << s.NameEdit.text;
    }
  }
}

TEST(DesignFileFormat, FormsOfTheRulesAndTheGeneratorComeBack) {
  for (const FormState& s : SomeForms()) {
    for (const char dec : {'.', ','}) {
      ASSERT_TRUE(ReadDesignFileText(DesignFileText(s, dec), dec) == s) << DesignFileText(s, dec);
    }
  }
}

// Texts that need escapes, or are not ASCII, or are as long as a field
// holds (counted in UTF-16 code units, two for a character beyond U+FFFF),
// come back byte for byte in every text field.
TEST(DesignFileFormat, OddTextsComeBackInEveryField) {
  std::string everyControl;
  for (char c = 0; c < 0x20; ++c) everyControl += c;
  everyControl += "\x7F";
  std::string quotesAtBlockEdges(40, 'x');
  for (const std::size_t at : {0, 15, 16, 17, 31, 32, 39}) quotesAtBlockEdges[at] = '"';
  std::string longEscapes;
  while (longEscapes.size() < kMaxTextLength) longEscapes += "a\\b\"c\n";
  longEscapes.resize(kMaxTextLength);
  std::string longestWide;
  for (std::size_t i = 0; i < kMaxTextLength / 2; ++i) longestWide += "\U0001F52B";
  longestWide += "z";  // 16,383 pairs and one more unit: 32,767

  struct Odd {
    const char* what;
    std::string text;
  };
  const Odd odds[] = {
      {"quotes and backslashes", "Qu\"ote\" \\ back\\\\slash /"},
      {"control characters", everyControl},
      {"NUL inside", std::string("a\0b", 3)},
      {"non-ASCII",
       "\xC3\xA9t\xC3\xA9 \xE2\x80\xA0 \xE2\x80\xA8 \xEF\xBB\xBF \xF0\x9F\x94\xAB 7,62"},
      {"quotes at block edges", quotesAtBlockEdges},
      {"longest plain", std::string(kMaxTextLength, 'k')},
      {"longest with escapes", longEscapes},
      {"longest of wide characters", longestWide},
  };
  for (const Odd& odd : odds) {
    for (const FieldInfo& f : DesignFields()) {
      if (f.kind != FieldKind::Text) continue;
      FormState s;
      (s.*f.textControl).text = odd.text;
      for (const char dec : {'.', ','}) {
        const FormState back = ReadDesignFileText(DesignFileText(s, dec), dec);
        ASSERT_TRUE(back == s) << odd.what << " in " << f.name << " with '" << dec << "'";
      }
    }
  }
}

// A source that hands out a text a few bytes at a time and counts them.
struct CountingSource {
  std::string text;
  std::size_t handedOut = 0;
  std::size_t reads = 0;

  json::ReadFn Fn() {
    return [this](char* buffer, std::size_t size) {
      ++reads;
      const std::size_t n = std::min({size, std::size_t{7}, text.size() - handedOut});
      std::copy_n(text.data() + handedOut, n, buffer);
      handedOut += n;
      return n;
    };
  }
};

TEST(DesignFileFormat, AFileIsReadInOnePass) {
  FormModel model;
  model.RandomButtonClick(5);
  CountingSource source{DesignFileText(model.state(), '.')};
  EXPECT_TRUE(ReadDesignFile(source.Fn(), '.') == model.state());
  // Every byte handed out once, and the end asked for once more at most
  // after it was met.
  EXPECT_EQ(source.handedOut, source.text.size());
  EXPECT_LE(source.reads, (source.text.size() + 6) / 7 + 2);

  // A file refused at its end has been read once to there, with the same
  // message as its text gives.
  CountingSource refused{source.text + "{}"};
  std::string message;
  try {
    ReadDesignFile(refused.Fn(), '.');
  } catch (const DesignError& e) {
    message = e.what();
  }
  EXPECT_EQ(message, "expected one design object, got 2");
  EXPECT_EQ(refused.handedOut, refused.text.size());
  EXPECT_LE(refused.reads, (refused.text.size() + 6) / 7 + 2);
}

// A member left out of "Form" keeps the start form's, however the object
// was written.
TEST(DesignFileFormat, AnEmptyFormMemberOpensAsTheStartForm) {
  DesignInput design;
  design.NameEdit = "Bare";
  const std::string text = DesignObjectText(design, FormMember{}, {'.', false});
  EXPECT_TRUE(text.ends_with(",\n  \"Form\": {}\n}\n")) << text;
  EXPECT_TRUE(ReadDesignFileText(text, '.') == FormOfDesign(design));
}

}  // namespace
}  // namespace brennick
