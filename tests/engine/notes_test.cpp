// The notes and the feature list after the durability lines.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/design.h"
#include "engine/design_error.h"
#include "engine/internal/run.h"

namespace brennick {
namespace {

struct Outcome {
  Statblock lines;
  std::optional<std::string> error;
};

Outcome RunNotes(const DesignInput& in, double boreMm = 9, std::int32_t malf = 18) {
  Outcome out;
  DesignRun r{in, '.', {}, out.lines};
  r.q.BoreMm = boreMm;
  r.q.MalfNumber = malf;
  try {
    RunNotesStage(r);
  } catch (const DesignError& e) {
    out.error = e.what();
  }
  return out;
}

// TL 8 (no built-in cell) and nothing fitted: only the separator.
DesignInput Plain() {
  DesignInput in;
  in.TLEdit = "8";
  in.HUDLinkBox = in.HUDCable = in.MultispectralLaserSightBox = false;
  in.RecognitionGripBox = in.RGPalm = in.DiagnosticComputerBox = in.IronSightsBox = false;
  return in;
}

constexpr const char* kMalfVer =
    "Malf Ver. means that the weapon is very reliable: on an unmodified roll of 18, roll against "
    "unmodified weapon skill to verify the critical failure, with only a failure meaning a "
    "malfunction occurs. Otherwise, it is just a miss.";
constexpr const char* kMalfVerCrit =
    "Malf Ver. (Crit.) means that the weapon is very reliable: on an unmodified roll of 18, roll "
    "against unmodified weapon skill to verify the critical failure, with only a critical failure "
    "meaning a malfunction occurs. Otherwise, it is just a miss.";

TEST(Notes, FormStartValues) {
  const Outcome out = RunNotes(DesignInput{});
  ASSERT_FALSE(out.error);
  EXPECT_EQ(out.lines, (Statblock{" ", "Internal B Cell (UT19)", "HUD Link (TL9) (UT149)",
                                  "- Cable connection", "Multispectral Laser Sight (TL9) (UT149)",
                                  "Recognition Grip (TL9) (UT150)", "- Requires palm print",
                                  "Diagnostic Computer (TL9) (UT151)", "Iron Sights"}));
}

TEST(Notes, Backblast) {
  auto dangerous = [](const char* n) {
    return std::string("Produces a dangerous backblast when fired, doing ") + n +
           "d burning damage to everyone within a cone up to " + n + " yards behind the launcher.";
  };
  struct Case {
    double bore;
    bool recoilless;
    bool cold;
    std::optional<std::string> line;
  };
  const Case cases[] = {
      {84, true, false, dangerous("8")},
      {25, true, false, dangerous("2")},  // 2.5 to even
      {35, true, false, dangerous("4")},  // 3.5 to even
      {4, true, false, dangerous("0")},
      {84, true, true, "Produces a harmless backblast of plastic flakes or cold gas when fired."},
      {84, false, true, std::nullopt},
      {84, false, false, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bore);
    DesignInput in = Plain();
    in.RecoillessCheckBox = c.recoilless;
    in.ColdCountermassBox = c.cold;
    const Outcome out = RunNotes(in, c.bore);
    ASSERT_FALSE(out.error);
    Statblock expected{" "};
    if (c.line) expected.push_back(*c.line);
    EXPECT_EQ(out.lines, expected);
  }
}

TEST(Notes, ReliabilityNote) {
  struct Case {
    std::int32_t malf;
    const char* note;
  };
  const Case cases[] = {
      {-1, nullptr}, {18, nullptr}, {19, kMalfVer}, {20, kMalfVerCrit}, {25, kMalfVerCrit}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.malf);
    const Outcome out = RunNotes(Plain(), 9, c.malf);
    Statblock expected{" "};
    if (c.note) expected.push_back(c.note);
    EXPECT_EQ(out.lines, expected);
  }
}

TEST(Notes, PowerCells) {
  constexpr const char* kInternal = "Internal B Cell (UT19)";
  constexpr const char* kInternalPaper = "Internal B Paper Cell (P#3-12, p. 12)";
  constexpr const char* kLoaded =
      "A separately loaded B Cell (UT19) provides power for 19,500 shots.";
  constexpr const char* kLoadedPaper =
      "A separately loaded B Paper Cell (P#3-12, p. 12) provides power for 19,500 shots.";
  struct Case {
    const char* tl;
    bool gatling;
    bool paper;
    Statblock lines;
  };
  const Case cases[] = {
      {"8", false, false, {" "}},
      {"9", false, false, {" ", kInternal}},
      {"13", false, false, {" ", kInternal}},
      {"9", true, true, {" ", kInternalPaper, kLoadedPaper}},
      {"9", true, false, {" ", kInternal, kLoaded}},
      {"8", true, true, {" ", kLoadedPaper}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("TL ") + c.tl);
    DesignInput in = Plain();
    in.TLEdit = c.tl;
    in.PaperBox = c.paper;
    if (c.gatling) in.LoadingMechanismBox = kElectricGatling;
    EXPECT_EQ(RunNotes(in).lines, c.lines);
  }
}

TEST(Notes, HUDLinkBlock) {
  constexpr const char* kCell = "Internal B Cell (UT19)";
  constexpr const char* kHUD = "HUD Link (TL9) (UT149)";
  constexpr const char* kTiny = "- Integral tiny computer (UT22)";
  constexpr const char* kSoftware1 = "  - Runs Targeting Software (UT149) (+1; Complexity 3)";
  constexpr const char* kSoftware2 = "  - Runs Targeting Software (UT149) (+2; Complexity 4)";
  struct Case {
    const char* tl;
    int software;
    Statblock lines;
  };
  const Case cases[] = {
      {"8", 1, {" ", kHUD, kTiny, " - Complexity 3", kSoftware1}},
      {"10", 2, {" ", kCell, kHUD, kTiny, " - Complexity 5", kSoftware2}},
      {"11", 0, {" ", kCell, kHUD, kTiny, " - Complexity 6"}},
      {"12", 1, {" ", kCell, kHUD, kTiny, " - Complexity 7", kSoftware1}},
      {"13", 2, {" ", kCell, kHUD, kTiny, kSoftware2}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("TL ") + c.tl);
    DesignInput in = Plain();
    in.TLEdit = c.tl;
    in.HUDLinkBox = in.TinyComputer = true;
    in.TargetingSoftware = c.software;
    EXPECT_EQ(RunNotes(in).lines, c.lines);
  }
}

TEST(Notes, HUDLinkOptionsInOrder) {
  DesignInput in = Plain();
  in.HUDLinkBox = in.DataChip = in.GreenEyes = in.HUDCable = in.MicroRadio = true;
  in.SecureEncryption = true;
  EXPECT_EQ(
      RunNotes(in).lines,
      (Statblock{" ", "HUD Link (TL9) (UT149)", "- Datachip (TL9) (UT51) for \"muzzle\" footage",
                 "- \"Green eyes\" backglow in non-enclosed helmets", "- Cable connection",
                 "- Wireless connection via a micro radio communicator (TL9) (UT44)",
                 "- Secure Encryption (UT47)"}));

  // Without the link none of its options is listed, nor the software; and
  // software without the tiny computer has nothing to run on.
  in.HUDLinkBox = false;
  in.TinyComputer = true;
  in.TargetingSoftware = 2;
  EXPECT_EQ(RunNotes(in).lines, (Statblock{" "}));
  in.HUDLinkBox = true;
  in.TinyComputer = in.DataChip = in.GreenEyes = in.HUDCable = in.MicroRadio = false;
  in.SecureEncryption = false;
  EXPECT_EQ(RunNotes(in).lines, (Statblock{" ", "HUD Link (TL9) (UT149)"}));
}

TEST(Notes, EveryFeatureInOrder) {
  DesignInput in = Plain();
  in.MultispectralLaserSightBox = in.CTSBox = in.ETSBox = in.TransponderRingBox = true;
  in.RecognitionGripBox = in.RGPalm = in.RGVoice = in.RGGlove = in.RGGPS = in.RGIFF = true;
  in.SDATBox = in.DiagnosticComputerBox = in.AntiTamper = in.DTagBox = in.IFFBox = true;
  in.IronSightsBox = in.AccRailU = in.AccRailO = in.AccRailS = in.AccRailT = true;
  in.GravCompBox = in.SmartgripBox = in.MuzzleWeightBox = true;
  in.CamouflageBox = 6;
  in.MuzzleBox = kMuzzlePort;
  in.SpaceProof = in.FoldingStockBox = in.DisguisedBox = in.RuggedBox = true;
  in.StylingBox = 3;
  EXPECT_EQ(
      RunNotes(in).lines,
      (Statblock{
          " ",
          "Multispectral Laser Sight (TL9) (UT149)",
          "Compact Targeting Scope (TL9) (UT149)",
          "Enhanced Targeting Scope (TL9) (UT149)",
          "Transponder Ring (TL9) (UT150)",
          "Recognition Grip (TL9) (UT150)",
          "- Requires palm print",
          "- Requires voice print",
          "- Works through gloves",
          "- Requires GPS input or HUD link to work",
          "- Requires IFF interrogator to work",
          "Self-Destruct Anti-Theft (TL10^) (UT150)",
          "Diagnostic Computer (TL9) (UT151)",
          "- Prevents maintenance unless performed by a certified armorer of the manufacturing "
          "company",
          "D-Tag (TL9) (UT151)",
          "IFF Interrogator (TL9) (UT151)",
          "Iron Sights",
          "Accessory Rail (Under barrel) (TL9) (UT150)",
          "Accessory Rail (Over barrel) (TL9) (UT150)",
          "Accessory Rail (Side of stock) (TL9) (UT150)",
          "Accessory Rail (Top of stock) (TL9) (UT150)",
          "Gravitic Compensator (TL11^) (UT152)",
          "Smartgrip (TL10) (UT152)",
          "Muzzle Weight (TL7) (TS76)",
          "Ultimate Chameleon Surface (TL12) (UT99)",
          "Muzzle Port (TL7) (TS76)",
          "Space-Proof (TL9) (P55-7)",
          "Folding Stock (TL7) (HT160)",
          "Disguised (UT15)",
          "Rugged (UT15)",
          "Styling (+3): Grants a +3 bonus to reaction rolls from collectors and potential buyers, "
          "and to Merchant skill rolls made as Influence rolls (p. B359).",
      }));
}

TEST(Notes, NothingForOptionsWithoutTheirFeature) {
  DesignInput in = Plain();
  in.RGPalm = in.RGVoice = in.RGGlove = in.RGGPS = in.RGIFF = in.AntiTamper = true;
  in.CamouflageBox = in.StylingBox = -1;
  in.MuzzleBox = kMuzzleNone;
  EXPECT_EQ(RunNotes(in).lines, (Statblock{" "}));
}

TEST(Notes, InvalidTLKeepsTheLinesBeforeIt) {
  DesignInput in = Plain();
  in.TLEdit = "nine";
  in.RecoillessCheckBox = in.ColdCountermassBox = true;
  const Outcome out = RunNotes(in, 9, 19);
  EXPECT_EQ(out.error, "'nine' is not a valid integer value");
  EXPECT_EQ(
      out.lines,
      (Statblock{" ", "Produces a harmless backblast of plastic flakes or cold gas when fired.",
                 kMalfVer}));
}

}  // namespace
}  // namespace brennick
