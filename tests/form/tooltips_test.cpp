// The tooltips of the design window: every control explains itself in one or
// two plain sentences, and each tooltip sits on the control it describes.

#include "form/tooltips.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstddef>
#include <initializer_list>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "form/fields.h"

namespace brennick {
namespace {

struct Control {
  std::string name;
  const char* tooltip;
};

// Every control that carries a tooltip: the form's fields, then the rest of
// the window.
std::vector<Control> AllControls() {
  std::vector<Control> all;
  for (const FieldInfo& f : FormFields()) all.push_back({f.name, f.tooltip});
  for (const ControlTip& tip : WindowTooltips()) all.push_back({tip.name, tip.text});
  return all;
}

// Sentence ends: a full stop, question or exclamation mark followed by a
// blank or the end of the text, so "0.5" is no end.
int SentenceCount(std::string_view text) {
  int count = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if ((c == '.' || c == '!' || c == '?') &&
        (i + 1 == text.size() || std::isspace(static_cast<unsigned char>(text[i + 1])))) {
      ++count;
    }
  }
  return count;
}

std::vector<std::string> Words(std::string_view text) {
  std::vector<std::string> words;
  std::string word;
  for (const char c : text) {
    if (std::isalnum(static_cast<unsigned char>(c)) || c == '_') {
      word += c;
    } else if (!word.empty()) {
      words.push_back(word);
      word.clear();
    }
  }
  if (!word.empty()) words.push_back(word);
  return words;
}

bool EndsWith(std::string_view word, std::string_view end) {
  return word.size() > end.size() && word.substr(word.size() - end.size()) == end;
}

// A word written the way code names things: camel case (a small letter
// followed by a capital; the game's own "RoF" is the one such word a player
// reads) or a control-kind suffix.
bool LooksLikeCode(const std::string& word) {
  if (word.find('_') != std::string::npos) return true;
  for (const char* suffix : {"Edit", "Box", "Label", "Button", "Memo"}) {
    if (EndsWith(word, suffix) && std::isupper(static_cast<unsigned char>(word.front()))) {
      return true;
    }
  }
  if (word == "RoF") return false;
  for (std::size_t i = 1; i < word.size(); ++i) {
    if (std::islower(static_cast<unsigned char>(word[i - 1])) &&
        std::isupper(static_cast<unsigned char>(word[i]))) {
      return true;
    }
  }
  return false;
}

TEST(Tooltips, SentenceCountIgnoresDecimalPoints) {
  EXPECT_EQ(SentenceCount("Adds 0.5 lb."), 1);
  EXPECT_EQ(SentenceCount("Adds $1,000. Enabled only while HUD Link is checked."), 2);
  EXPECT_EQ(SentenceCount("No end"), 0);
}

TEST(Tooltips, EveryControlHasOneOrTwoPlainSentences) {
  std::set<std::string> codeNames;
  for (const FieldInfo& f : FormFields()) {
    codeNames.insert(f.name);
    if (f.label != nullptr) codeNames.insert(f.label);
  }
  for (const ControlTip& tip : WindowTooltips()) codeNames.insert(tip.name);

  for (const Control& control : AllControls()) {
    SCOPED_TRACE(control.name);
    ASSERT_NE(control.tooltip, nullptr);
    const std::string_view text = control.tooltip;
    ASSERT_FALSE(text.empty());
    EXPECT_LE(text.size(), 300u);
    EXPECT_GE(SentenceCount(text), 1);
    EXPECT_LE(SentenceCount(text), 2);
    EXPECT_EQ(text.back(), '.');
    // Plain text: no code quotes, nothing a tooltip would take for markup,
    // one paragraph.
    EXPECT_EQ(text.find_first_of("`<>\n\t"), std::string_view::npos);
    for (const std::string& word : Words(text)) {
      EXPECT_FALSE(codeNames.count(word)) << "names the control " << word;
      EXPECT_FALSE(LooksLikeCode(word)) << "code-like word " << word;
    }
  }
}

TEST(Tooltips, WindowTableHoldsTheControlsThatAreNoFields) {
  std::set<std::string> names;
  for (const ControlTip& tip : WindowTooltips()) {
    EXPECT_EQ(FindFormField(tip.name), nullptr) << tip.name << " is a field of the form";
    names.insert(tip.name);
  }
  EXPECT_EQ(names, (std::set<std::string>{"DesignButton", "RandomButton", "StatblockMemo",
                                          "MaxRoFLabel", "Label5"}));
}

TEST(Tooltips, LookUpByControlOrLabelName) {
  struct Case {
    const char* name;
    const char* sameAs;  // the control whose tooltip it shows, or null for none
  };
  const Case cases[] = {
      {"CaselessBox", "CaselessBox"},   {"BoreSizeEdit", "BoreSizeEdit"},
      {"Label3", "BoreSizeEdit"},       {"ChambersLabel", "ChambersEdit"},
      {"OnlyAuto", "OnlyAuto"},         {"MaxRoFLabel", "MaxRoFLabel"},
      {"DesignButton", "DesignButton"}, {"Label1", nullptr},
      {"GroupBox1", nullptr},           {"", nullptr},
      {"caselessbox", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const char* tip = ControlTooltip(c.name);
    if (c.sameAs == nullptr) {
      EXPECT_EQ(tip, nullptr);
      continue;
    }
    const FieldInfo* field = FindFormField(c.sameAs);
    const char* expected = nullptr;
    if (field != nullptr) {
      expected = field->tooltip;
    } else {
      for (const ControlTip& t : WindowTooltips()) {
        if (std::string_view(t.name) == c.sameAs) expected = t.text;
      }
    }
    ASSERT_NE(expected, nullptr);
    EXPECT_STREQ(tip, expected);
  }
}

// Each tooltip sits on its own control and names what that control changes:
// the figures it moves and, for a control with a rule, the controls the rule
// enables, disables or resets, by their captions. `never` holds what the
// control does not do (a free option has no price).
TEST(Tooltips, TellTheKeyFactsOfTheirControl) {
  struct Case {
    const char* control;
    std::initializer_list<const char*> mentions;
    std::initializer_list<const char*> never;
  };
  const Case cases[] = {
      {"CaselessBox", {"weight", "Malf", "cost", "CL", "Caseless Mods"}, {}},
      {"TLEdit", {"Revolver", "RoF"}, {}},
      {"BoreSizeEdit", {"damage", "Max RoF"}, {}},
      {"PowerModEdit", {"damage", "range", "weight"}, {}},
      {"BarrelsEdit", {"Electric Gatling", "Max RoF", "muzzleloader"}, {}},
      {"ChambersEdit", {"Revolver", "Shots"}, {}},
      {"RoFEdit", {"15", "Mechanical Gatling", "Revolver", "cost"}, {}},
      {"ShotsEdit", {"weight", "Revolver"}, {}},
      {"ArbCF", {"cost factor", "0.2"}, {}},
      {"ConfigurationBox", {"Bipod", "Recoilless"}, {}},
      {"LoadingMechanismBox", {"Barrels", "Chambers", "Electric Autoloader/Automatic"}, {}},
      {"PropellantBox",
       {"Recoilless", "Cold Counter-Mass", "Caseless", "Closed-Bolt", "Gauss HCCB"},
       {}},
      {"PLBBox", {"Caseless", "Malf", "bursts"}, {}},
      {"GaussHCCBBox", {"Gauss", "Grav", "bursts"}, {}},
      {"MuzzleBox", {"Compensator", "ST", "Muzzle Port", "damage"}, {}},
      {"RecoillessCheckBox", {"Cold Counter-Mass", "backblast", "RL", "1"}, {}},
      {"ColdCountermassBox", {"Recoilless", "RL-C", "backblast"}, {}},
      {"ExtraLowBox", {"damage", "Recoilless"}, {}},
      {"ShotgunBox", {"range", "recoil", "Pistol"}, {}},
      {"BipodBox", {"ST", "Rifle"}, {}},
      {"ElectricBox", {"Malf", "cost factor", "Gauss"}, {}},
      {"ClosedBoltBox", {"Shots", "+1", "propellant"}, {}},
      {"QualityAccurate", {"Acc", "Cheap", "Quality (Reliable)"}, {}},
      {"QualityReliable", {"Malf", "Cheap", "Quality (Accurate)"}, {}},
      {"HouseDRBox", {"HT", "DR", "TL"}, {}},
      {"KYOSBox", {"ST"}, {"$"}},
      {"HUDLinkBox", {"$250", "Targeting Software"}, {}},
      {"TinyComputer", {"$50", "Complexity", "Targeting Software"}, {}},
      {"TargetingSoftware", {"$500", "Tiny Computer"}, {}},
      {"HUDCable", {"HUD Link"}, {"$"}},
      {"RecognitionGripBox", {"$100", "Recognition Grip Features"}, {}},
      {"RGPalm", {"Recognition Grip"}, {"$"}},
      {"RGGlove", {"$50", "Recognition Grip"}, {}},
      {"DiagnosticComputerBox", {"Anti-tampering protection"}, {"$"}},
      {"AntiTamper", {"$50", "Diagnostic Computer"}, {}},
      {"MultispectralLaserSightBox", {"feature"}, {"$", "lb"}},
      {"CTSBox", {"$1,000", "0.5 lb"}, {}},
      {"ETSBox", {"$8,000", "2 lb"}, {}},
      {"SmartgripBox", {"ST", "$500"}, {}},
      {"MuzzleWeightBox", {"Bulk", "$100"}, {}},
      {"FoldingStockBox", {"0.5 lb", "$100"}, {"Bulk"}},
      {"RuggedBox", {"HT", "DR", "cost factor"}, {}},
      {"OnlyAuto", {"Randomize"}, {}},
      {"GunLauncherCheckBox", {"Randomize", "disabled"}, {}},
      {"DesignButton", {"statblock"}, {}},
      {"RandomButton", {"Design"}, {}},
      {"MaxRoFLabel", {"Electric Gatling", "bore", "barrels"}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.control);
    const char* tip = ControlTooltip(c.control);
    ASSERT_NE(tip, nullptr);
    const std::string_view text = tip;
    for (const char* word : c.mentions) {
      EXPECT_NE(text.find(word), std::string_view::npos) << "does not mention " << word;
    }
    for (const char* word : c.never) {
      EXPECT_EQ(text.find(word), std::string_view::npos) << "mentions " << word;
    }
  }
}

// A control that starts disabled tells when the form opens it, or that it
// stays closed.
TEST(Tooltips, ControlsThatStartDisabledSayWhenTheyOpen) {
  for (const FieldInfo& f : FormFields()) {
    if (f.startEnabled) continue;
    SCOPED_TRACE(f.name);
    const std::string_view text = f.tooltip;
    const bool says = text.find("nabled") != std::string_view::npos ||
                      text.find("open") != std::string_view::npos ||
                      text.find("disabled") != std::string_view::npos;
    EXPECT_TRUE(says);
  }
}

}  // namespace
}  // namespace brennick
