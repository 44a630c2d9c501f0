// The statblock as plain text and as Markdown: the three worked designs
// written out by hand, and the characters Markdown would misread.
#include "form/statblock_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <initializer_list>
#include <optional>

#include "engine/design.h"
#include "tests/support/worked_designs.h"

namespace {

using namespace brennick;

std::vector<std::string> StatblockOf(const DesignInput& design) {
  const DesignResult result = RunDesign(design, '.');
  EXPECT_FALSE(result.error) << *result.error;
  return {result.lines.begin(), result.lines.end()};
}

// The feature paragraph the three designs share (the form's default features).
const std::string kFeatures =
    "Internal B Cell (UT19)\\\n"
    "HUD Link (TL9) (UT149)\\\n"
    "\\- Cable connection\\\n"
    "Multispectral Laser Sight (TL9) (UT149)\\\n"
    "Recognition Grip (TL9) (UT150)\\\n"
    "\\- Requires palm print\\\n"
    "Diagnostic Computer (TL9) (UT151)\\\n"
    "Iron Sights\n";

struct WorkedCase {
  const char* what;
  DesignInput design;
  std::string markdown;
};

TEST(StatblockTextTest, WorkedDesignsInMarkdown) {
  const WorkedCase cases[] = {
      {"10 mm pistol", examples::TenMmPistol(),
       "# Pistol (TL9)\n\n"
       "Damage: 3d+1 pi+\\\nAcc: 2\\\nRange: 280/2300\\\nWeight: 3.21/0.51\\\nRoF: 3\\\n"
       "Shots: 20(3)\\\nST 11\\\nBulk -3\\\nRcl 3\\\nMalf 17\\\nCost \\$881\\\nHP: 4\\\n"
       "HT: 10\\\nDR: 4\n\n" +
           kFeatures + "\nAmmunition\\\n10mmM (TL9)\\\nWPS 0.013\\\nCPS 0.0858\\\nLC 3\n"},
      {"7 mm liquid-propellant rifle", examples::SevenMmLiquidRifle(),
       "# LP Rifle (TL9)\n\n"
       "Damage: 6d pi\\\n"
       "\\-Boosted Velocity: 7d+1 pi. Each shot counts as 1.5 shots for purposes of draining the "
       "propellant bottle.\\\n"
       "\\-Low Velocity: 3d pi. Rolls to hear the weapon fire are made at -3. Each shot counts as "
       "1/4 shot for purposes of draining the propellant bottle.\\\n"
       "Acc: 5\\\nRange: 640/3600\\\n\\-Boosted Velocity: 832/4680\\\n"
       "\\-Low Velocity: 320/1800\\\nWeight: 7.28/0.5\\\nPropellant Bottle Weight: 0.5\\\n"
       "RoF: 1\\\nShots: 30(3)\\\n"
       "A propellant bottle can fire three magazines of shots and takes five seconds to "
       "reload.\\\n"
       "ST 8\u2020\\\n\\- Boosted Velocity ST 8\u2020\\\n\\- Low Velocity ST 8\u2020\\\n"
       "Bulk -4\\\nRcl 2\\\n\\- Boosted Velocity Rcl 2\\\n\\- Low Velocity Rcl 2\\\n"
       "Malf Ver.\\\nCost \\$1678\\\nHP: 8\\\nHT: 10\\\nDR: 4\n\n"
       "Malf Ver. means that the weapon is very reliable: on an unmodified roll of 18, roll "
       "against unmodified weapon skill to verify the critical failure, with only a failure "
       "meaning a malfunction occurs. Otherwise, it is just a miss.\\\n" +
           kFeatures + "\nAmmunition\\\n7mmCLM-LP (TL9)\\\nWPS 0.006\\\nCPS 0.018\\\nLC 3\n"},
      {"4 mm Gauss rifle", examples::FourMmGaussRifle(),
       "# Gauss Rifle (TL10)\n\n"
       "Damage: 7d (3) pi-\\\n"
       "\\-Boosted Velocity: 8d+2 (3) pi-. Each shot counts as 1.5 shots for purposes of "
       "draining the magazine cell.\\\n"
       "\\-Low Velocity: 3d+2 (3) pi-. Rolls to hear the weapon fire are made at -3. Each shot "
       "counts as 1/4 shot for purposes of draining the magazine cell.\\\n"
       "Acc: 5\\\nRange: 1300/3800\\\n\\-Boosted Velocity: 1690/4940\\\n"
       "\\-Low Velocity: 650/1900\\\nWeight: 9.42/1.25\\\nRoF: 1\\\nShots: 50(3)\\\n"
       "The C cell (UT19) that powers the weapon provides enough energy for firing its "
       "specified number of Shots, and is included in the weight.\\\n"
       "ST 10\u2020\\\n\\- Boosted Velocity ST 10\u2020\\\n\\- Low Velocity ST 10\u2020\\\n"
       "Bulk -6\\\nRcl 2\\\n\\- Boosted Velocity Rcl 2\\\n\\- Low Velocity Rcl 2\\\n"
       "Malf 18\\\nCost \\$3417\\\nHP: 8\\\nHT: 10\\\nDR: 4\n\n" +
           kFeatures + "\nAmmunition\\\n4mmCLL-GA (TL10)\\\nWPS 0.005\\\nCPS 0.05\\\nLC 3\n"},
  };
  for (const WorkedCase& c : cases) {
    const std::vector<std::string> lines = StatblockOf(c.design);
    EXPECT_EQ(StatblockMarkdown(lines), c.markdown) << c.what;
  }
}

TEST(StatblockTextTest, PlainTextIsThePaneExactly) {
  EXPECT_EQ(StatblockPlainText(StatblockOf(examples::TenMmPistol())),
            "Pistol (TL9)\nDamage: 3d+1 pi+\nAcc: 2\nRange: 280/2300\nWeight: 3.21/0.51\n"
            "RoF: 3\nShots: 20(3)\nST 11\nBulk -3\nRcl 3\nMalf 17\nCost $881\nHP: 4\nHT: 10\n"
            "DR: 4\n \nInternal B Cell (UT19)\nHUD Link (TL9) (UT149)\n- Cable connection\n"
            "Multispectral Laser Sight (TL9) (UT149)\nRecognition Grip (TL9) (UT150)\n"
            "- Requires palm print\nDiagnostic Computer (TL9) (UT151)\nIron Sights\n \n"
            "Ammunition\n10mmM (TL9)\nWPS 0.013\nCPS 0.0858\nLC 3");
  // The rifles' dagger stays as it is, and no line is lost or added.
  for (const DesignInput& design : {examples::SevenMmLiquidRifle(), examples::FourMmGaussRifle()}) {
    const std::vector<std::string> lines = StatblockOf(design);
    const std::string text = StatblockPlainText(lines);
    EXPECT_EQ(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')),
              lines.size() - 1);
    EXPECT_NE(text.find("\u2020\n- Boosted Velocity ST "), std::string::npos);
  }
  EXPECT_EQ(StatblockPlainText({}), "");
  EXPECT_EQ(StatblockPlainText({"Only a title (TL9)"}), "Only a title (TL9)");
}

// Names are typed by the user, so any character can reach the title and the
// designation; each must show as typed.
TEST(StatblockTextTest, EscapesWhatMarkdownWouldMisread) {
  struct Case {
    std::string line, escaped;
  } cases[] = {
      {"*Bang* _stick_", "\\*Bang\\* \\_stick\\_"},
      {"[link](http://x) ![img](y)", "\\[link\\](http://x) !\\[img\\](y)"},
      {"<b>bold</b> &amp; `code`", "\\<b\\>bold\\</b\\> \\&amp; \\`code\\`"},
      {"a|b ~~gone~~ $5 and $6", "a\\|b \\~\\~gone\\~\\~ \\$5 and \\$6"},
      {"back\\slash", "back\\\\slash"},
      {"# heading", "\\# heading"},
      {"- item", "\\- item"},
      {"+ item", "\\+ item"},
      {"= underline", "\\= underline"},
      {"> quote", "\\> quote"},
      {"12. Ordered", "12\\. Ordered"},
      {"3) Ordered", "3\\) Ordered"},
      {"5.56mm (TL8)", "5\\.56mm (TL8)"},
      {"10mmM (TL9)", "10mmM (TL9)"},
      {"Bulk -3 + 1 = #2", "Bulk -3 + 1 = #2"},  // markers only count at the start
      {"  indented", "&nbsp;&nbsp;indented"},
      {"two\nlines\r", "two lines"},
      {"trailing   ", "trailing"},
  };
  for (const Case& c : cases) EXPECT_EQ(MarkdownEscapedLine(c.line), c.escaped) << c.line;
}

TEST(StatblockTextTest, HeadingAndParagraphsOfAShortStatblock) {
  EXPECT_EQ(StatblockMarkdown({}), "");
  // A run that stopped at the bore leaves only the title.
  EXPECT_EQ(StatblockMarkdown({" (TL9)"}), "# &nbsp;(TL9)\n");
  EXPECT_EQ(StatblockMarkdown({"#1 *Best* (TL9)", "Damage: 1d", " ", "  ", "Ammunition"}),
            "# \\#1 \\*Best\\* (TL9)\n\nDamage: 1d\n\nAmmunition\n");
}

}  // namespace
