// The derivation panel: it shows the derivation of the statblock line at the
// cursor or under the pointer, says so plainly when there is none, shows why
// a failed Design stopped, and can be hidden, each window opening with it shown;
// a very long text shows its start there while the statblock keeps it whole.
// Design's run is replaced by one that gives known lines and derivations.
#include <QAction>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QToolTip>

#include "tests/ui/support.h"
#include "ui/CompareDialog.h"
#include "ui/ShownText.h"

namespace {

using Lines = std::vector<std::string>;

// A run that writes `lines`, each with the derivation {"how <i>", "= <i>"}
// but for the lines named in `bare`, which have none; with `error` it stops
// there, and its read at fault is explained as {"read at fault"}.
TForm1::DesignRunner Runner(Lines lines, std::vector<std::size_t> bare = {},
                            std::optional<std::string> error = {}) {
  return [=](const brennick::DesignInput&, char) {
    brennick::DesignResult result;
    for (std::size_t i = 0; i < lines.size(); ++i) {
      result.lines.push_back(lines[i]);
      const bool none = std::find(bare.begin(), bare.end(), i) != bare.end();
      result.explain.push_back(
          none ? brennick::Derivation{}
               : brennick::Derivation{"how " + std::to_string(i), "= " + std::to_string(i)});
    }
    if (error) {
      result.error = error;
      result.explain.push_back({"read at fault"});
    }
    return result;
  };
}

QString Steps(int line) {
  return QStringLiteral("how %1\n= %1").arg(line);
}

const QString kNone = QStringLiteral("This line has no derivation.");

class ExplainTest : public FormTest {
 protected:
  QPlainTextEdit* Memo() const { return Control<QPlainTextEdit>(*form, "StatblockMemo"); }
  QString Panel() const { return Control<QPlainTextEdit>(*form, "DerivationPanel")->toPlainText(); }
  // Puts the pane's cursor at the start of a block, as the keyboard does.
  void CursorToBlock(int block) {
    Memo()->setFocus();
    QTest::keyClick(Memo(), Qt::Key_Home, Qt::ControlModifier);
    // Down moves by lines as shown, so a block with a line separator takes two.
    for (int i = 0; i < 10 && Memo()->textCursor().blockNumber() < block; ++i) {
      QTest::keyClick(Memo(), Qt::Key_Down);
    }
    ASSERT_EQ(Memo()->textCursor().blockNumber(), block);
  }
  QPoint PointOf(int block) const {
    QTextCursor cursor(Memo()->document()->findBlockByNumber(block));
    return Memo()->cursorRect(cursor).center();
  }
};

struct BlockCase {
  const char* what;
  Lines lines;
  std::vector<std::size_t> bare;
  std::vector<int> lineOfBlock;  // the line each block of the pane shows
};

void PrintTo(const BlockCase& c, std::ostream* os) {
  *os << c.what;
}

const BlockCase kBlockCases[] = {
    {"one block per line", {"Gun (TL9)", "Damage: 2d pi", "Acc: 3"}, {}, {0, 1, 2}},
    {"a line without a derivation", {"Gun (TL9)", " ", "Acc: 3"}, {1}, {0, 1, 2}},
    {"a name with a line feed fills two blocks", {"A\nB (TL9)", "Acc: 3"}, {}, {0, 0, 1}},
    {"a carriage return and line feed is one break", {"A\r\nB (TL9)", "Acc: 3"}, {}, {0, 0, 1}},
    {"a lone carriage return breaks too", {"A\rB (TL9)", "Acc: 3"}, {}, {0, 0, 1}},
    {"a carriage return at the end of a line", {"A (TL9)\r", "Acc: 3"}, {}, {0, 1}},
    {"a paragraph separator breaks", {"A\u2029B (TL9)", "Acc: 3"}, {}, {0, 0, 1}},
    {"a line separator does not", {"A\u2028B (TL9)", "Acc: 3"}, {}, {0, 1}},
    {"a break in the last line", {"Gun (TL9)", "Acc\n3"}, {}, {0, 1, 1}},
};

class ExplainBlocks : public ExplainTest, public ::testing::WithParamInterface<BlockCase> {};

TEST_P(ExplainBlocks, ThePanelFollowsTheCursorLineByLine) {
  const BlockCase& c = GetParam();
  form->setDesignRunner(Runner(c.lines, c.bare));
  Press(Control<QPushButton>(*form, "DesignButton"));
  ASSERT_EQ(Memo()->document()->blockCount(), static_cast<int>(c.lineOfBlock.size()));
  for (int block = 0; block < static_cast<int>(c.lineOfBlock.size()); ++block) {
    const int line = c.lineOfBlock[static_cast<std::size_t>(block)];
    CursorToBlock(block);
    EXPECT_EQ(form->LineOfBlock(block), line) << "block " << block;
    const bool bare =
        std::find(c.bare.begin(), c.bare.end(), static_cast<std::size_t>(line)) != c.bare.end();
    EXPECT_EQ(Panel(), bare ? kNone : Steps(line)) << "block " << block;
  }
  EXPECT_TRUE(errors.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Statblocks, ExplainBlocks, ::testing::ValuesIn(kBlockCases));

TEST_F(ExplainTest, AClickOrThePointerPicksTheLine) {
  form->setDesignRunner(Runner({"Gun (TL9)", "Damage: 2d pi", "Acc: 3"}));
  Press(Control<QPushButton>(*form, "DesignButton"));
  QWidget* viewport = Memo()->viewport();

  QTest::mouseClick(viewport, Qt::LeftButton, {}, PointOf(2));
  EXPECT_EQ(Panel(), Steps(2));

  // Pointing shows the pointed line, in the panel and as the tooltip; leaving
  // the pane gives the panel back to the cursor's line.
  QTest::mouseMove(viewport, PointOf(1));
  EXPECT_EQ(Panel(), Steps(1));
  QHelpEvent help(QEvent::ToolTip, PointOf(1), viewport->mapToGlobal(PointOf(1)));
  QApplication::sendEvent(viewport, &help);
  EXPECT_EQ(QToolTip::text(), Steps(1));
  QToolTip::hideText();
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(viewport, &leave);
  EXPECT_EQ(Panel(), Steps(2));
}

TEST_F(ExplainTest, ThePanelSaysWhenThereIsNothingToExplain) {
  EXPECT_TRUE(Panel().startsWith(QStringLiteral("No statblock yet.")));
  form->setDesignRunner(Runner({"Gun (TL9)", "Acc: 3"}));
  Press(Control<QPushButton>(*form, "DesignButton"));
  CursorToBlock(1);
  EXPECT_EQ(Panel(), Steps(1));

  // Typed into: the derivations no longer belong to the pane's lines.
  QTest::keyClicks(Memo(), QStringLiteral("x"));
  EXPECT_TRUE(Panel().startsWith(QStringLiteral("The statblock has been changed by hand")));
  EXPECT_EQ(form->LineOfBlock(1), -1);
  // Typed back as it was: they do again.
  QTest::keyClick(Memo(), Qt::Key_Backspace);
  EXPECT_EQ(Panel(), Steps(1));

  Memo()->clear();
  EXPECT_TRUE(Panel().startsWith(QStringLiteral("No statblock yet.")));
}

TEST_F(ExplainTest, AFailedDesignShowsTheReadAtFault) {
  form->setDesignRunner(Runner({"Gun (TL9)"}, {}, "'x' is not a valid integer value"));
  Press(Control<QPushButton>(*form, "DesignButton"));
  EXPECT_EQ(errors, QStringList{"'x' is not a valid integer value"});
  EXPECT_EQ(Panel(), QStringLiteral("Design stopped: 'x' is not a valid integer value\n"
                                    "read at fault"));
  // The lines before the failure keep their own: a click on the line the
  // cursor is on already, or a move along it.
  QTest::mouseClick(Memo()->viewport(), Qt::LeftButton, {}, PointOf(0));
  EXPECT_EQ(Panel(), Steps(0));
  form->setDesignRunner(Runner({"Gun (TL9)"}, {}, "'x' is not a valid integer value"));
  Press(Control<QPushButton>(*form, "DesignButton"));
  EXPECT_TRUE(Panel().startsWith(QStringLiteral("Design stopped:")));
  Memo()->setFocus();
  QTest::keyClick(Memo(), Qt::Key_End);
  EXPECT_EQ(Panel(), Steps(0));
}

TEST_F(ExplainTest, DesignAsksTheRunForDerivationsAndLeavesThePaneAsItWas) {
  // The window's own run, on the start form: it stops at the empty bore.
  Press(Control<QPushButton>(*form, "DesignButton"));
  EXPECT_EQ(Pane(), QStringList{" (TL9)"});
  ASSERT_TRUE(form->hasDesigned());
  EXPECT_EQ(form->lastDesign().explain.size(), 2u);
  EXPECT_TRUE(
      Panel().startsWith(QStringLiteral("Design stopped: '' is not a valid floating point value")));
}

TEST_F(ExplainTest, TheToggleHidesThePanelForThisWindowOnly) {
  ASSERT_TRUE(Control<QAction>(*form, "ShowDerivationsAction")->isChecked());
  EXPECT_TRUE(Control<QPlainTextEdit>(*form, "DerivationPanel")->isVisible());
  const int paneHeight = Memo()->height();

  const QStringList keptBefore = TForm1::Settings().allKeys();
  Control<QAction>(*form, "ShowDerivationsAction")->trigger();
  QApplication::processEvents();
  EXPECT_FALSE(Control<QPlainTextEdit>(*form, "DerivationPanel")->isVisible());
  EXPECT_GT(Memo()->height(),
            paneHeight);                                // the pane takes the room
  EXPECT_EQ(TForm1::Settings().allKeys(), keptBefore);  // no setting kept for it
  {
    TForm1 again;
    EXPECT_TRUE(Control<QAction>(again, "ShowDerivationsAction")->isChecked());
    EXPECT_FALSE(Control<QPlainTextEdit>(again, "DerivationPanel")->isHidden());
  }
  Control<QAction>(*form, "ShowDerivationsAction")->trigger();
  EXPECT_TRUE(Control<QPlainTextEdit>(*form, "DerivationPanel")->isVisible());
  EXPECT_EQ(Control<QPlainTextEdit>(*form, "DerivationPanel")->accessibleName(),
            QStringLiteral("Derivation"));
}

}  // namespace

namespace {

TEST_F(ExplainTest, TheViewCommandsHaveTheirKeysFromAnywhere) {
  form->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
  Control<QLineEdit>(*form, "NameEdit")->setFocus();
  QTest::keyClick(Control<QLineEdit>(*form, "NameEdit"), Qt::Key_D,
                  Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_TRUE(Control<QPlainTextEdit>(*form, "DerivationPanel")->isHidden());
  QTest::keyClick(Control<QLineEdit>(*form, "NameEdit"), Qt::Key_D,
                  Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_FALSE(Control<QPlainTextEdit>(*form, "DerivationPanel")->isHidden());
  EXPECT_EQ(Control<QLineEdit>(*form, "NameEdit")->text(), QString());

  QTest::keyClick(Control<QLineEdit>(*form, "NameEdit"), Qt::Key_K,
                  Qt::ControlModifier | Qt::ShiftModifier);
  ASSERT_NE(form->compareDialog(), nullptr);
  EXPECT_TRUE(form->compareDialog()->isVisible());
}

}  // namespace

// ---------------------------------------------------------------------------
// Long texts: what is shown of them, and that the statblock keeps them whole.

namespace {

struct ShownCase {
  const char* what;
  QString text;
  QString shown;
};

void PrintTo(const ShownCase& c, std::ostream* os) {
  *os << c.what;
}

QString Letters(qsizetype n, char16_t c = u'x') {
  return QString(n, QChar(c));
}

QString More(const char* count) {
  return QStringLiteral(u"\u2026(") + QLatin1String(count) + QStringLiteral(" more characters)");
}

const QString kGun = QString::fromUtf16(u"\U0001F52B");  // one character, two UTF-16 units

const ShownCase kShownCases[] = {
    {"a short line is kept", QStringLiteral("Gun (TL9)"), QStringLiteral("Gun (TL9)")},
    {"a run of 1,000 is kept", Letters(1000), Letters(1000)},
    {"a run of 1,001 shows 1,000", Letters(1001),
     Letters(1000) + QStringLiteral(u"\u2026(1 more character)")},
    {"the words around a long run stay", "a " + Letters(1500) + " b",
     "a " + Letters(1000) + More("500") + " b"},
    {"each run is measured from its last space", Letters(900) + " " + Letters(900),
     Letters(900) + " " + Letters(900)},
    {"a line break ends a run", Letters(900) + "\n" + Letters(900),
     Letters(900) + "\n" + Letters(900)},
    {"a no-break space holds a run together", Letters(600) + QChar(0xA0) + Letters(600),
     Letters(600) + QChar(0xA0) + Letters(399) + More("201")},
    {"a line of words over 10,000 shows 10,000", QString("ab ").repeated(4000) + "\nnext",
     QString("ab ").repeated(3333) + "a" + More("2,000") + "\nnext"},
    {"a character of two units counts once and is not split", kGun.repeated(1001),
     kGun.repeated(1000) + QStringLiteral(u"\u2026(1 more character)")},
    {"large counts are grouped", Letters(1001000), Letters(1000) + More("1,000,000")},
};

class ShownTextCases : public ::testing::TestWithParam<ShownCase> {};

TEST_P(ShownTextCases, ShowsTheStartOfLongRunsAndLines) {
  const ShownCase& c = GetParam();
  EXPECT_EQ(brennick::shown::ShownText(c.text), c.shown);
}

INSTANTIATE_TEST_SUITE_P(Texts, ShownTextCases, ::testing::ValuesIn(kShownCases));

TEST(ShownText, TheLongestRun) {
  EXPECT_EQ(brennick::shown::LongestRun(QString()), 0);
  EXPECT_EQ(brennick::shown::LongestRun(QStringLiteral("Gun (TL9)")), 5);
  EXPECT_EQ(brennick::shown::LongestRun("ab\n" + Letters(7) + " c"), 7);
  EXPECT_EQ(brennick::shown::LongestRun(kGun.repeated(3)), 3);
}

// A design whose name is `name`: one line with the name, its derivation
// quoting it; with `error` the run stops on it.
TForm1::DesignRunner NameRunner(std::string name, std::optional<std::string> error = {}) {
  return [=](const brennick::DesignInput&, char) {
    brennick::DesignResult result;
    result.lines = {name + " (TL9)", "Acc: 3"};
    result.explain = {{"Weapon Name as typed: '" + name + "'"}, {"Acc = 3"}};
    if (error) {
      result.error = error;
      result.explain.push_back({"read at fault"});
    }
    return result;
  };
}

TEST_F(ExplainTest, ALongNameShowsItsStartWhileThePaneAndDerivationsKeepIt) {
  const std::string name(5000, 'W');
  form->setDesignRunner(NameRunner(name));
  Press(Control<QPushButton>(*form, "DesignButton"));
  // The pane holds the statblock whole; its long run wraps anywhere.
  EXPECT_EQ(Pane(), (QStringList{QString::fromStdString(name) + " (TL9)", "Acc: 3"}));
  EXPECT_EQ(Memo()->wordWrapMode(), QTextOption::WrapAnywhere);
  EXPECT_EQ(form->lastDesign().explain[0][0], "Weapon Name as typed: '" + name + "'");
  // The run shown is the quote and 999 letters of the name.
  const QString shown = "Weapon Name as typed: '" + Letters(999, u'W') + More("4,002");
  CursorToBlock(0);
  EXPECT_EQ(Panel(), shown);
  QHelpEvent help(QEvent::ToolTip, PointOf(0), Memo()->viewport()->mapToGlobal(PointOf(0)));
  QApplication::sendEvent(Memo()->viewport(), &help);
  EXPECT_EQ(QToolTip::text(), shown);
  QToolTip::hideText();

  // A statblock of usual lines wraps at word boundaries again.
  form->setDesignRunner(Runner({"Gun (TL9)", "Acc: 3"}));
  Press(Control<QPushButton>(*form, "DesignButton"));
  EXPECT_EQ(Memo()->wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);
}

TEST_F(ExplainTest, AFailureQuotingALongTextShowsItsStart) {
  const std::string bore(3000, '9');
  const std::string error = "'" + bore + "' is not a valid floating point value";
  form->setDesignRunner(NameRunner("Gun", error));
  Press(Control<QPushButton>(*form, "DesignButton"));
  ASSERT_EQ(errors, QStringList{QString::fromStdString(error)});  // the report quotes it whole
  EXPECT_EQ(Panel(), "Design stopped: '" + Letters(999, u'9') + More("2,002") +
                         " is not a valid floating point value\nread at fault");
}

}  // namespace
