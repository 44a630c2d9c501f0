// Notes and features: what the numbers above do not say, and what is fitted.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>
#include <string_view>
#include <utility>

#include "engine/ext.h"
#include "engine/internal/run.h"

namespace brennick {
namespace {

using namespace std::string_view_literals;

// A line written when its check box is ticked. A sub-line (an option of a
// feature) is written only when its parent feature is fitted as well.
struct CheckedLine {
  bool DesignInput::*box;
  std::string_view text;
  bool DesignInput::*parent = nullptr;
};

// Whether a line's box, and its parent's, are ticked (both read, so that
// no branch is taken).
constexpr bool Applies(const DesignInput& in, const CheckedLine& l) {
  const bool parent = l.parent == nullptr || in.*l.parent;
  return in.*l.box & parent;
}

// One bit per line of the table, set where the line applies; spelled out line
// by line, so that each reads its own boxes directly.
template <const auto& kLines, std::size_t... i>
std::uint64_t ApplyingLines(const DesignInput& in, std::index_sequence<i...>) {
  return ((std::uint64_t{Applies(in, kLines[i])} << i) | ...);
}

// The lines of a table that apply are marked first, and then written: the
// boxes of a design follow no pattern, and deciding line by line whether to
// write each would keep the processor guessing wrong.
// Why a checked line is there: its box, under its parent feature.
[[gnu::cold, gnu::noinline]] void ExplainCheckedLine(DesignRun& r, const CheckedLine& l) {
  std::string parent;
  if (l.parent == &DesignInput::HUDLinkBox) parent = "HUD Link";
  if (l.parent == &DesignInput::RecognitionGripBox) parent = "Recognition Grip";
  if (l.parent == &DesignInput::DiagnosticComputerBox) parent = "Diagnostic Computer";
  ExplainLine(r, 0, [&] {
    return Derivation{parent.empty() ? "Listed because its box is ticked"
                                     : "Listed because this option of the " + parent +
                                           " is ticked and the " + parent + " is fitted"};
  });
}

template <const auto& kLines>
void AppendCheckedLines(DesignRun& r) {
  std::uint64_t applies =
      ApplyingLines<kLines>(r.in, std::make_index_sequence<std::size(kLines)>{});
  for (; applies != 0; applies &= applies - 1) {
    const CheckedLine& line = kLines[std::countr_zero(applies)];
    r.Line(line.text);
    if (r.explain) [[unlikely]]
      ExplainCheckedLine(r, line);
  }
}

// The line for the selected item of an option group; item 0 ("None") and no
// selection write nothing.
template <std::size_t N>
void AppendItemLine(DesignRun& r, const std::string_view (&texts)[N], int index,
                    const char* group) {
  if (const std::string_view text = ItemOr(texts, index, ""); !text.empty()) {
    r.Line(text);
    if (r.explain) [[unlikely]] {
      ExplainLine(r, 0, [&] {
        return Derivation{std::string("Listed because it is selected under ") + group};
      });
    }
  }
}

constexpr std::string_view kMalfVerNote =
    "Malf Ver. means that the weapon is very reliable: on an unmodified roll of 18, roll against "
    "unmodified weapon skill to verify the critical failure, with only a failure meaning a "
    "malfunction occurs. Otherwise, it is just a miss.";
constexpr std::string_view kMalfVerCritNote =
    "Malf Ver. (Crit.) means that the weapon is very reliable: on an unmodified roll of 18, roll "
    "against unmodified weapon skill to verify the critical failure, with only a critical failure "
    "meaning a malfunction occurs. Otherwise, it is just a miss.";

// The HUD link's options, in the order they are listed under it.
constexpr CheckedLine kHUDLinkLines[] = {
    {&DesignInput::DataChip, "- Datachip (TL9) (UT51) for \"muzzle\" footage"},
    {&DesignInput::GreenEyes, "- \"Green eyes\" backglow in non-enclosed helmets"},
    {&DesignInput::HUDCable, "- Cable connection"},
    {&DesignInput::MicroRadio, "- Wireless connection via a micro radio communicator (TL9) (UT44)"},
    {&DesignInput::SecureEncryption, "- Secure Encryption (UT47)"},
    {&DesignInput::TinyComputer, "- Integral tiny computer (UT22)"},
};

// Complexity of the integral tiny computer at TL 0 to 9, 10, 11 and 12.
constexpr std::string_view kTinyComputerComplexity[] = {" - Complexity 3", " - Complexity 5",
                                                        " - Complexity 6", " - Complexity 7"};

constexpr std::string_view kTargetingSoftwareLines[] = {
    "",
    "  - Runs Targeting Software (UT149) (+1; Complexity 3)",
    "  - Runs Targeting Software (UT149) (+2; Complexity 4)",
};

// Fitted features from the laser sight to the muzzle weight, with the
// options of the recognition grip and the diagnostic computer beneath them.
constexpr CheckedLine kFeatureLines[] = {
    {&DesignInput::MultispectralLaserSightBox, "Multispectral Laser Sight (TL9) (UT149)"},
    {&DesignInput::CTSBox, "Compact Targeting Scope (TL9) (UT149)"},
    {&DesignInput::ETSBox, "Enhanced Targeting Scope (TL9) (UT149)"},
    {&DesignInput::TransponderRingBox, "Transponder Ring (TL9) (UT150)"},
    {&DesignInput::RecognitionGripBox, "Recognition Grip (TL9) (UT150)"},
    {&DesignInput::RGPalm, "- Requires palm print", &DesignInput::RecognitionGripBox},
    {&DesignInput::RGVoice, "- Requires voice print", &DesignInput::RecognitionGripBox},
    {&DesignInput::RGGlove, "- Works through gloves", &DesignInput::RecognitionGripBox},
    {&DesignInput::RGGPS, "- Requires GPS input or HUD link to work",
     &DesignInput::RecognitionGripBox},
    {&DesignInput::RGIFF, "- Requires IFF interrogator to work", &DesignInput::RecognitionGripBox},
    {&DesignInput::SDATBox, "Self-Destruct Anti-Theft (TL10^) (UT150)"},
    {&DesignInput::DiagnosticComputerBox, "Diagnostic Computer (TL9) (UT151)"},
    {&DesignInput::AntiTamper,
     "- Prevents maintenance unless performed by a certified armorer of the manufacturing company",
     &DesignInput::DiagnosticComputerBox},
    {&DesignInput::DTagBox, "D-Tag (TL9) (UT151)"},
    {&DesignInput::IFFBox, "IFF Interrogator (TL9) (UT151)"},
    {&DesignInput::IronSightsBox, "Iron Sights"},
    {&DesignInput::AccRailU, "Accessory Rail (Under barrel) (TL9) (UT150)"},
    {&DesignInput::AccRailO, "Accessory Rail (Over barrel) (TL9) (UT150)"},
    {&DesignInput::AccRailS, "Accessory Rail (Side of stock) (TL9) (UT150)"},
    {&DesignInput::AccRailT, "Accessory Rail (Top of stock) (TL9) (UT150)"},
    {&DesignInput::GravCompBox, "Gravitic Compensator (TL11^) (UT152)"},
    {&DesignInput::SmartgripBox, "Smartgrip (TL10) (UT152)"},
    {&DesignInput::MuzzleWeightBox, "Muzzle Weight (TL7) (TS76)"},
};

constexpr std::string_view kCamouflageLines[] = {
    "",
    "Weapon Camouflage (TL6) (TS76)",
    "Programmable Camouflage (TL9) (UT99)",
    "Thermo-Optic Chameleon Surface (TL9) (UT98)",
    "Multispectral Chameleon Surface (TL10) (UT99)",
    "Dynamic Multispectral Chameleon Surface (TL11) (UT99)",
    "Ultimate Chameleon Surface (TL12) (UT99)",
};

// The muzzle-port line cites (TS76) while the form's option reads (TS77); both
// texts are kept as they stand.
constexpr std::string_view kMuzzleAttachmentLines[] = {
    "",
    "Compensator (TL6) (TS76)",
    "Flash Hider (TL6) (TS76)",
    "Muzzle Port (TL7) (TS76)",
    "Zero-G Compensator (TL9) (P55-7)",
};

// Features listed after the camouflage and the muzzle attachment.
constexpr CheckedLine kLateFeatureLines[] = {
    {&DesignInput::SpaceProof, "Space-Proof (TL9) (P55-7)"},
    {&DesignInput::FoldingStockBox, "Folding Stock (TL7) (HT160)"},
    {&DesignInput::DisguisedBox, "Disguised (UT15)"},
    {&DesignInput::RuggedBox, "Rugged (UT15)"},
};

constexpr std::string_view kStylingLines[] = {
    "",
    "Styling (+1): Grants a +1 bonus to reaction rolls from collectors and potential buyers, and "
    "to Merchant skill rolls made as Influence rolls (p. B359).",
    "Styling (+2): Grants a +2 bonus to reaction rolls from collectors and potential buyers, and "
    "to Merchant skill rolls made as Influence rolls (p. B359).",
    "Styling (+3): Grants a +3 bonus to reaction rolls from collectors and potential buyers, and "
    "to Merchant skill rolls made as Influence rolls (p. B359).",
};

void AppendBackblast(DesignRun& r) {
  if (!r.in.RecoillessCheckBox) return;
  if (r.in.ColdCountermassBox) {
    r.Line("Produces a harmless backblast of plastic flakes or cold gas when fired.");
    if (r.explain) [[unlikely]]
      ExplainLine(r, 0, [&] { return Derivation{"Recoilless with cold counter-mass"}; });
    return;
  }
  // The bigger the round, the hotter and longer the cone of exhaust.
  const std::int32_t n = Wrap32(RoundHalfEven(ext(r.q.BoreMm) / 10));
  r.Line("Produces a dangerous backblast when fired, doing ", n,
         "d burning damage to everyone within a cone up to ", n, " yards behind the launcher.");
  if (r.explain) [[unlikely]] {
    ExplainLine(r, 0, [&] {
      return Derivation{"Recoilless without cold counter-mass: a hot backblast",
                        "Dice and yards = bore / 10 = " + r.Num(ext(r.q.BoreMm) / 10) +
                            ", rounded, ties to even: " + IntText(n)};
    });
  }
}

void AppendHUDLink(DesignRun& r) {
  const DesignInput& in = r.in;
  if (!in.HUDLinkBox) return;
  r.Line("HUD Link (TL9) (UT149)");
  if (r.explain) [[unlikely]]
    ExplainLine(r, 0, [&] { return Derivation{"Listed because its box is ticked"}; });
  AppendCheckedLines<kHUDLinkLines>(r);
  if (!in.TinyComputer) return;

  const std::int32_t tl = r.StrictTL();
  if (tl >= 0 && tl <= 9) r.Line(kTinyComputerComplexity[0]);
  if (tl >= 10 && tl <= 12) r.Line(kTinyComputerComplexity[tl - 9]);
  if (r.explain) [[unlikely]] {
    if (tl >= 0 && tl <= 12) {
      ExplainLine(r, 0, [&] {
        return Derivation{"The integral tiny computer's complexity by TL: " + r.TLRead() +
                          " (TL 0 to 9: 3; 10: 5; 11: 6; 12: 7)"};
      });
    }
  }
  AppendItemLine(r, kTargetingSoftwareLines, in.TargetingSoftware, "Targeting Software");
}

}  // namespace

void RunNotesStage(DesignRun& r) {
  const DesignInput& in = r.in;
  r.Line(" ");
  if (r.explain) [[unlikely]]
    ExplainLine(r, 0, [&] { return Derivation{"A blank line before the notes"}; });
  AppendBackblast(r);

  if (r.q.MalfNumber == 19) r.Line(kMalfVerNote);
  if (r.q.MalfNumber > 19) r.Line(kMalfVerCritNote);
  if (r.explain && r.q.MalfNumber >= 19) [[unlikely]] {
    ExplainLine(r, 0, [&] {
      return Derivation{"The malfunction number is " + IntText(r.q.MalfNumber) +
                        ", so the Malf line reads Ver.; this note says what that means"};
    });
  }

  if (r.StrictTL() > 8) {
    r.Line(in.PaperBox ? "Internal B Paper Cell (P#3-12, p. 12)"sv : "Internal B Cell (UT19)"sv);
    if (r.explain) [[unlikely]] {
      ExplainLine(r, 0, [&] {
        return Derivation{r.TLRead() +
                          ", above 8: the gun's electronics run from an internal B cell" +
                          (in.PaperBox ? ", a paper cell as Uses Paper Cells is ticked" : "")};
      });
    }
  }
  if (in.LoadingMechanismBox == kElectricGatling) {
    r.Line(in.PaperBox
               ? "A separately loaded B Paper Cell (P#3-12, p. 12) provides power for 19,500 "
                 "shots."sv
               : "A separately loaded B Cell (UT19) provides power for 19,500 shots."sv);
    if (r.explain) [[unlikely]]
      ExplainLine(r, 0,
                  [&] { return Derivation{"An electric Gatling's motor has a cell of its own"}; });
  }

  AppendHUDLink(r);

  AppendCheckedLines<kFeatureLines>(r);
  AppendItemLine(r, kCamouflageLines, in.CamouflageBox, "Camouflage");
  AppendItemLine(r, kMuzzleAttachmentLines, in.MuzzleBox, "Muzzle Attachment");
  AppendCheckedLines<kLateFeatureLines>(r);
  AppendItemLine(r, kStylingLines, in.StylingBox, "Styling");
}

}  // namespace brennick
