// Design objects: numbers for texts, captions by any case or a unique leading
// part, the separator the texts were typed with, and writing a design object
// that reads back as the same design.
#include "design_object.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fields.h"
#include "worked_designs.h"

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
      {R"({"NameEdit": "A")",
       "malformed JSON at line 1, column 17: unexpected end of input; expected ',' or '}'"},
  };
  for (const auto& [text, message] : bad) {
    EXPECT_EQ(ReadDesignObject(text, '.').inputError.value_or("(none)"), message) << text;
  }
}

// A design file's "Form" member keeps the window's state beyond the design's
// values; a design run passes over it, whatever it holds and wherever it
// stands, and a key that only looks like it is still unknown.
TEST(DesignObject, TheFormMemberIsPassedOver) {
  const struct {
    const char* json;
    const char* name;  // the design's name read, or null for an input error
    const char* error;
  } cases[] = {
      {R"({"NameEdit": "A", "Form": {"Disabled": ["RoFEdit"], "OnlyAuto": true}})", "A", ""},
      {R"({"Form": {"MaxRoFLabel": "Max RoF: 12"}, "NameEdit": "B"})", "B", ""},
      {R"({"NameEdit": "C", "Form": [1, {"x": [null]}, "y"]})", "C", ""},
      {R"({"NameEdit": "D", "Form": 7, "TLEdit": "9"})", "D", ""},
      {R"({"NameEdit": "E", "form": {}})", nullptr, "design 1: unknown key \"form\""},
      {R"({"NameEdit": "F", "Forms": {}})", nullptr, "design 1: unknown key \"Forms\""},
  };
  for (const auto& c : cases) {
    const DesignEntry e = ReadDesignObject(c.json, '.');
    if (c.name != nullptr) {
      EXPECT_FALSE(e.inputError) << c.json << ": " << e.inputError.value_or("");
      EXPECT_EQ(e.input.NameEdit, c.name) << c.json;
    } else {
      EXPECT_EQ(e.inputError.value_or("(none)"), c.error) << c.json;
    }
  }
  // The rest of the design is read as if the member were not there.
  DesignInput pistol = examples::TenMmPistol();
  std::string text = DesignObjectText(pistol, {'.', false});
  text.insert(1, R"("Form": {"Disabled": ["ChambersEdit"]},)");
  const DesignEntry e = ReadDesignObject(text, '.');
  EXPECT_FALSE(e.inputError) << e.inputError.value_or("");
  EXPECT_TRUE(e.input == pistol);
}

}  // namespace
}  // namespace brennick
