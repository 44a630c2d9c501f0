// Design objects: numbers for texts, captions by any case or a unique leading
// part, the separator the texts were typed with, and writing a design object
// that reads back as the same design.
#include "formats/design_object.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "form/fields.h"
#include "tests/support/worked_designs.h"

namespace brennick {
namespace {

DesignEntry ReadOne(const std::string& json, char dec = '.') {
  std::vector<DesignEntry> designs;
  const auto fault = ReadDesigns(json, dec, [&](DesignEntry& e) { designs.push_back(e); });
  EXPECT_FALSE(fault) << json << ": " << *fault;
  EXPECT_EQ(designs.size(), 1u) << json;
  return designs.empty() ? DesignEntry{} : designs[0];
}

// A JSON number stands for its own text, its '.' the reader's separator.
TEST(DesignObject, NumbersForTextsAreTheirOwnText) {
  struct Case {
    const char* json;
    char dec;
    std::string DesignInput::*field;
    const char* text;
  };
  const Case cases[] = {
      {R"({"BoreSizeEdit": 7.62})", '.', &DesignInput::BoreSizeEdit, "7.62"},
      {R"({"BoreSizeEdit": 7.62})", ',', &DesignInput::BoreSizeEdit, "7,62"},
      {R"({"TLEdit": 9})", '.', &DesignInput::TLEdit, "9"},
      {R"({"TLEdit": 9.0})", '.', &DesignInput::TLEdit, "9.0"},
      {R"({"ShotsEdit": 30, "RoFEdit": -3})", '.', &DesignInput::RoFEdit, "-3"},
      {R"({"ArbCF": 2.5E-3})", ',', &DesignInput::ArbCF, "2,5E-3"},
      {R"({"PowerModEdit": 1e400})", '.', &DesignInput::PowerModEdit, "1e400"},
      {R"({"PowerModEdit": -0})", '.', &DesignInput::PowerModEdit, "-0"},
      {R"({"NameEdit": 1.5})", ',', &DesignInput::NameEdit, "1,5"},
      // A number is written with the reader's separator whatever the design's.
      {R"({"DecimalSeparator": ",", "BoreSizeEdit": 7.62})", '.', &DesignInput::BoreSizeEdit,
       "7.62"},
      {R"({"BoreSizeEdit": 7.62, "DecimalSeparator": "."})", ',', &DesignInput::BoreSizeEdit,
       "7,62"},
  };
  for (const Case& c : cases) {
    const DesignEntry e = ReadOne(c.json, c.dec);
    ASSERT_FALSE(e.inputError) << c.json << ": " << *e.inputError;
    EXPECT_EQ(e.input.*c.field, c.text) << c.json << " read with " << c.dec;
  }
}

// What the window shows for the same texts typed: too large a number is no
// floating point value, -0 is a bore like 0.
TEST(DesignObject, NumbersRunAsTheTextsTheyStandFor) {
  const DesignEntry huge = ReadOne(R"({"BoreSizeEdit": 1e400})");
  EXPECT_EQ(RunDesign(huge.input, '.').error.value_or(""),
            "'1e400' is not a valid floating point value");
  DesignInput zero;
  zero.BoreSizeEdit = "-0";
  const DesignEntry negativeZero = ReadOne(R"({"BoreSizeEdit": -0})");
  EXPECT_EQ(RunDesign(negativeZero.input, '.').lines, RunDesign(zero, '.').lines);
}

TEST(DesignObject, CaptionsMatchInAnyCaseOrByAUniqueLeadingPart) {
  struct Case {
    const char* key;
    const char* caption;
    int index;
  };
  const Case cases[] = {
      {"ConfigurationBox", "rifle", kRifle},
      {"ConfigurationBox", "RIFLE", kRifle},
      {"ConfigurationBox", "sm", kSMG},
      {"ConfigurationBox", "Su", kSupport},
      {"LoadingMechanismBox", "fast autoloader", kFastAutoloader},
      {"LoadingMechanismBox", "Muzzleloader (TL3)", kMuzzleloader},
      {"LoadingMechanismBox", "muzzleloader w", kMuzzleloaderCarriage},
      {"PropellantBox", "etk", kETK},
      {"PropellantBox", "gauss", kGauss},
      // A whole caption wins although it begins another one: "Fine" and "Fine
      // (only if ...)" are in different groups, "None" begins no other item.
      {"QualityReliable", "fine", kFine},
      {"QualityAccurate", "fine", kFine},
      {"MuzzleBox", "none", kMuzzleNone},
      {"StylingBox", "+2", 2},
  };
  for (const Case& c : cases) {
    const std::string json = std::string("{\"") + c.key + "\": \"" + c.caption + "\"}";
    const DesignEntry e = ReadOne(json);
    ASSERT_FALSE(e.inputError) << json << ": " << *e.inputError;
    EXPECT_EQ(e.input.*FindField(c.key)->group, c.index) << json;
  }
}

TEST(DesignObject, UnknownAndAmbiguousCaptionsListTheGroupsCaptions) {
  const std::string configurations =
      R"(; the items are "Pistol", "SMG", "Rifle", "Support", "Cannon")";
  struct Case {
    const char* json;
    std::string message;
  };
  const Case cases[] = {
      {R"({"ConfigurationBox": "s"})",
       R"(design 1, key "ConfigurationBox": caption "s" fits more than one item)" + configurations},
      {R"({"ConfigurationBox": ""})",
       R"(design 1, key "ConfigurationBox": caption "" fits more than one item)" + configurations},
      {R"({"ConfigurationBox": "Rifles"})",
       R"(design 1, key "ConfigurationBox": no item is captioned "Rifles")" + configurations},
      {R"({"PropellantBox": "ET"})",
       R"(design 1, key "PropellantBox": caption "ET" fits more than one item; the items are )"
       R"("Standard Propellant", "Liquid Propellant", "ETC", "ETK", "Gauss", "Grav")"},
      {R"({"LoadingMechanismBox": "muzzleloader"})",
       R"x(design 1, key "LoadingMechanismBox": caption "muzzleloader" fits more than one item; )x"
       R"x(the items are "Muzzleloader (TL3)", "Muzzleloader with a carriage (TL3)", )x"
       R"x("Breechloader (TL3)", "Manual Repeater (TL5)", "Revolver (TL5)", )x"
       R"x("Mechanical Gatling (TL5)", "Slow Autoloader (TL6)", "Fast Autoloader (TL6)", )x"
       R"x("Light Automatic (TL6)", "Heavy Automatic (TL6)", "Electric Gatling (TL7)")x"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ReadOne(c.json).inputError.value_or("(none)"), c.message) << c.json;
  }
}

// Texts typed with the other separator are swapped into the reader's, the
// name excepted; an invalid text stays invalid.
TEST(DesignObject, TheSeparatorKeyTakesTextsOverIntoTheReaders) {
  const char* typedWithComma =
      R"({"DecimalSeparator": ",", "NameEdit": "Mk. 2, long", "BoreSizeEdit": "7,62",
          "PowerModEdit": "1.5", "ArbWeight": "0,5"})";
  const char* typedWithPoint =
      R"({"NameEdit": "Mk. 2, long", "BoreSizeEdit": "7.62", "PowerModEdit": "1,5",
          "ArbWeight": "0.5", "DecimalSeparator": "."})";
  struct Case {
    const char* json;
    char dec;
    const char* bore;
    const char* power;
    const char* weight;
  };
  const Case cases[] = {
      {typedWithComma, '.', "7.62", "1,5", "0.5"},
      {typedWithComma, ',', "7,62", "1.5", "0,5"},
      {typedWithPoint, ',', "7,62", "1.5", "0,5"},
      {typedWithPoint, '.', "7.62", "1,5", "0.5"},
  };
  for (const Case& c : cases) {
    const DesignEntry e = ReadOne(c.json, c.dec);
    ASSERT_FALSE(e.inputError) << *e.inputError;
    EXPECT_EQ(e.input.NameEdit, "Mk. 2, long");
    EXPECT_EQ(e.input.BoreSizeEdit, c.bore) << c.json << " read with " << c.dec;
    EXPECT_EQ(e.input.PowerModEdit, c.power) << c.json << " read with " << c.dec;
    EXPECT_EQ(e.input.ArbWeight, c.weight) << c.json << " read with " << c.dec;
  }

  const char* bad[][2] = {
      {R"({"DecimalSeparator": ";"})",
       R"(design 1, key "DecimalSeparator": expected "." or ",", got ";")"},
      {R"({"DecimalSeparator": 1})",
       R"(design 1, key "DecimalSeparator": expected "." or ",", got a number)"},
      {R"({"DecimalSeparator": ",", "DecimalSeparator": ","})",
       R"(design 1: key "DecimalSeparator" is given more than once)"},
  };
  for (const auto& [json, message] : bad) {
    EXPECT_EQ(ReadOne(json).inputError.value_or("(none)"), message) << json;
  }
}

// Written with one separator and read with the other, a design comes back
// with its texts in the reader's separator; by index or by caption alike.
TEST(DesignObject, WrittenDesignsReadBackAsTheSameDesign) {
  DesignInput decimals = examples::SevenMmLiquidRifle();
  decimals.BoreSizeEdit = "7.62";
  decimals.ArbWeight = "0.5";
  decimals.NameEdit = "Mk. 2, long";
  DesignInput withComma = decimals;
  withComma.BoreSizeEdit = "7,62";
  withComma.ArbWeight = "0,5";
  for (const bool captions : {false, true}) {
    for (const DesignInput& design :
         {DesignInput{}, examples::TenMmPistol(), examples::FourMmGaussRifle(), decimals}) {
      std::string line;
      AppendDesignObjectLine(line, design, {'.', captions});
      EXPECT_EQ(line.find('\n'), std::string::npos);
      EXPECT_TRUE(ReadOne(line).input == design) << line;
      EXPECT_TRUE(ReadDesignObject(DesignObjectText(design, {'.', captions}), '.').input == design);
    }
    const DesignEntry e = ReadDesignObject(DesignObjectText(decimals, {'.', captions}), ',');
    EXPECT_FALSE(e.inputError);
    EXPECT_TRUE(e.input == withComma);
  }
}

TEST(DesignObject, ADesignFileHoldsExactlyOneObject) {
  EXPECT_EQ(ReadDesignObject(R"({"NameEdit": "A"})", '.').input.NameEdit, "A");
  const char* bad[][2] = {
      {"", "expected a design object, got nothing"},
      {"{} {}", "expected one design object, got 2"},
      {"[]", "expected a design object, got nothing"},
      {"7", "design 1: expected a design object, got a number"},
      // An array is no design object, even of one design.
      {R"([{"NameEdit": "A"}])", "expected a design object, got an array"},
      {"[7]", "design 1: expected a design object, got a number"},
      {"{} []", "expected a design object, got an array"},
      {"[{}, {}]", "expected one design object, got 2"},
      {R"({"NameEdit": "A")",
       "malformed JSON at line 1, column 17: unexpected end of input; expected ',' or '}'"},
  };
  for (const auto& [text, message] : bad) {
    EXPECT_EQ(ReadDesignObject(text, '.').inputError.value_or("(none)"), message) << text;
  }
}

// A design file's "Form" member keeps the window's state beyond the design's
// values. The design run does not read it, but it is checked, and handed on,
// wherever a design stands: alone, in a stream, in an array, with the same
// message. A key that only looks like it is still unknown.
TEST(DesignObject, TheFormMemberIsCheckedWhereverADesignStands) {
  const struct {
    const char* json;
    const char* name;   // the design's name read, or null for an input error
    const char* error;  // after "design N"
  } cases[] = {
      {R"({"NameEdit": "A", "Form": {"Disabled": ["RoFEdit"], "OnlyAuto": true}})", "A", ""},
      {R"({"Form": {"MaxRoFLabel": "Max RoF: 12"}, "NameEdit": "B"})", "B", ""},
      {R"({"NameEdit": "C", "Form": [1, {"x": [null]}, "y"]})", nullptr,
       ", key \"Form\": expected an object, got an array"},
      {R"({"NameEdit": "D", "Form": 7, "TLEdit": "9"})", nullptr,
       ", key \"Form\": expected an object, got a number"},
      {R"({"NameEdit": "E", "form": {}})", nullptr, ": unknown key \"form\""},
      {R"({"NameEdit": "F", "Forms": {}})", nullptr, ": unknown key \"Forms\""},
      {R"({"Form": {"Hidden": [], "OnlyAuto": 1}})", nullptr,
       ", key \"Form\": unknown member \"Hidden\""},
      {R"({"Form": {"Disabled": ["RoFEdit", ["x"]]}})", nullptr,
       ", key \"Form\": member \"Disabled\": expected an array of control names, got an array"},
      {R"({"Form": {"Disabled": ["RoFEdit", "Label1\n"]}})", nullptr,
       ", key \"Form\": \"Disabled\" names no control \"Label1\\u000a\""},
      {R"({"Form": {"Disabled": ["RoFEdit", "BipodBox", "RoFEdit"]}})", nullptr,
       ", key \"Form\": \"Disabled\" lists \"RoFEdit\" twice"},
      {R"({"Form": {"MaxRoFLabel": "RoF: 3-17"}})", nullptr,
       ", key \"Form\": \"MaxRoFLabel\" is not a caption of the Max RoF hint"},
      {R"({"Form": {"GunLauncherCheckBox": null}})", nullptr,
       ", key \"Form\": member \"GunLauncherCheckBox\": expected true or false, got null"},
      // The first fault is the one told, the rest of the design read on.
      {R"({"Form": {"OnlyAuto": true, "OnlyAuto": 3}, "Bogus": 1})", nullptr,
       ", key \"Form\": member \"OnlyAuto\" is given more than once"},
      {R"({"Bogus": 1, "Form": {"Hidden": 1}})", nullptr, ": unknown key \"Bogus\""},
  };
  for (const auto& c : cases) {
    const DesignEntry alone = ReadDesignObject(c.json, '.');
    // Second in an array, and second in a stream after an array.
    std::vector<DesignEntry> read;
    const std::string stream = std::string("[{}, ") + c.json + "] {}\n" + c.json;
    ASSERT_FALSE(ReadDesigns(stream, '.', [&](DesignEntry& e) { read.push_back(e); }));
    ASSERT_EQ(read.size(), 4u) << c.json;
    EXPECT_FALSE(read[2].inputError) << "the design after " << c.json;
    for (const DesignEntry* e : std::vector<const DesignEntry*>{&alone, &read[1], &read[3]}) {
      if (c.name != nullptr) {
        EXPECT_FALSE(e->inputError) << c.json << ": " << e->inputError.value_or("");
        EXPECT_EQ(e->input.NameEdit, c.name) << c.json;
        EXPECT_TRUE(e->form) << c.json;
      } else {
        EXPECT_EQ(e->inputError.value_or("(none)"),
                  "design " + std::to_string(e->position) + c.error)
            << c.json;
      }
    }
  }
  // The member is handed on as read, and the rest of the design is read as if
  // it were not there.
  DesignInput pistol = examples::TenMmPistol();
  std::string text = DesignObjectText(pistol, {'.', false});
  text.insert(1, R"("Form": {"Disabled": ["ChambersEdit", "OnlyAuto"], "OnlyAuto": false},)");
  const DesignEntry e = ReadDesignObject(text, '.');
  EXPECT_FALSE(e.inputError) << e.inputError.value_or("");
  EXPECT_TRUE(e.input == pistol);
  ASSERT_TRUE(e.form);
  EXPECT_EQ(e.form->disabled, (std::vector<std::string>{"ChambersEdit", "OnlyAuto"}));
  EXPECT_EQ(e.form->onlyAuto, false);
  EXPECT_FALSE(e.form->maxRoFLabel);
  EXPECT_FALSE(e.form->gunLauncher);
  EXPECT_FALSE(ReadDesignObject("{}", '.').form);
}

// A text may be as long as a window's text field holds, 32,767 UTF-16 code
// units, however many bytes they take; one unit more is an input error of the
// design alone, whatever the value is for and however it is written.
TEST(DesignObject, TextsLongerThanAFieldHoldsAreRefused) {
  const auto repeat = [](std::string_view piece, std::size_t n) {
    std::string text;
    for (std::size_t i = 0; i < n; ++i) text += piece;
    return text;
  };
  const std::size_t max = kMaxTextLength;
  const std::string field = "a field holds at most 32767";
  const struct {
    std::string json;
    std::string error;  // empty when the design is read
  } cases[] = {
      {R"({"NameEdit": ")" + repeat("a", max) + "\"}", ""},
      {R"({"NameEdit": ")" + repeat("a", max + 1) + "\"}",
       R"(design 1, key "NameEdit": the text is 32768 characters long; )" + field},
      // Two bytes and three bytes a unit; a character beyond U+FFFF is two.
      {R"({"NameEdit": ")" + repeat("\u00e9", max) + "\"}", ""},
      {R"({"NameEdit": ")" + repeat("\u20ac", max) + "\"}", ""},
      {R"({"NameEdit": ")" + repeat("\U0001F600", max / 2) + "a\"}", ""},
      {R"({"NameEdit": ")" + repeat("\U0001F600", max / 2 + 1) + "\"}",
       R"(design 1, key "NameEdit": the text is 32768 characters long; )" + field},
      // Escapes count as what they stand for.
      {R"({"ArbCF": ")" + repeat("\\u0041", max) + "\"}", ""},
      {R"({"ArbCF": ")" + repeat("\\ud83d\\ude00", 20000) + "\"}",
       R"(design 1, key "ArbCF": the text is 40000 characters long; )" + field},
      // A number for a text field is its text.
      {R"({"TLEdit": )" + repeat("9", max) + "}", ""},
      {R"({"TLEdit": )" + repeat("9", max) + ".5}",
       R"(design 1, key "TLEdit": the text is 32769 characters long; )" + field},
      {R"({"ConfigurationBox": ")" + repeat("r", 40000) + "\"}",
       R"(design 1, key "ConfigurationBox": the text is 40000 characters long; )" + field},
      {R"({"BarrelBox": -)" + repeat("1", 40000) + "}",
       R"(design 1, key "BarrelBox": item index of 40001 characters is outside -1..2)"},
      {R"({"DecimalSeparator": ")" + repeat(".", 40000) + "\"}",
       R"(design 1, key "DecimalSeparator": the text is 40000 characters long; )" + field},
      {R"({")" + repeat("k", 40000) + "\": 1}", R"(design 1: unknown key of 40000 characters)"},
      {R"({"Form": {"MaxRoFLabel": ")" + repeat("M", 40000) + "\"}}",
       R"(design 1, key "Form": member "MaxRoFLabel": the text is 40000 characters long; )"
       R"(a caption holds at most 32767)"},
      {R"({"Form": {"Disabled": [")" + repeat("R", 40000) + "\"]}}",
       R"(design 1, key "Form": member "Disabled": the text is 40000 characters long; )"
       R"(a control name holds at most 32767)"},
      // Skipped, a long text is no fault: the design is wrong for its first key.
      {R"({"Bogus": 1, "NameEdit": ")" + repeat("a", 40000) + "\"}",
       R"(design 1: unknown key "Bogus")"},
  };
  for (const auto& c : cases) {
    const std::string what = c.json.substr(0, 40) + "... (" + std::to_string(c.json.size()) + ")";
    std::vector<DesignEntry> read;
    const auto fault = ReadDesigns(c.json + R"({"NameEdit": "next"})", '.',
                                   [&](DesignEntry& e) { read.push_back(e); });
    ASSERT_FALSE(fault) << what << ": " << *fault;
    ASSERT_EQ(read.size(), 2u) << what;
    EXPECT_EQ(read[0].inputError.value_or(""), c.error) << what;
    EXPECT_FALSE(read[1].inputError) << what;
    EXPECT_EQ(read[1].input.NameEdit, "next") << what;
  }
  EXPECT_EQ(ReadOne(R"({"TLEdit": )" + repeat("9", max) + "}").input.TLEdit, repeat("9", max));
  EXPECT_EQ(ReadOne(R"({"NameEdit": ")" + repeat("\\u20ac", max) + "\"}").input.NameEdit,
            repeat("\u20ac", max));
}

// An option group counts its items: a number with a fraction or an exponent
// is no index, even where it stands for a whole one.
TEST(DesignObject, AnItemIndexIsAWholeNumber) {
  const char* cases[][2] = {
      {R"({"BarrelBox": 1.0})",
       R"(design 1, key "BarrelBox": expected an item index (a whole number, -1..2) or an item caption, got 1.0)"},
      {R"({"BarrelBox": 2e0})",
       R"(design 1, key "BarrelBox": expected an item index (a whole number, -1..2) or an item caption, got 2e0)"},
      {R"({"StylingBox": -0.5})",
       R"(design 1, key "StylingBox": expected an item index (a whole number, -1..3) or an item caption, got -0.5)"},
  };
  for (const auto& [json, message] : cases) {
    EXPECT_EQ(ReadOne(json).inputError.value_or("(none)"), message) << json;
  }
}

}  // namespace
}  // namespace brennick
