// Whether the pane shows the form as it stands: the note over a statblock
// made from an earlier form (and its going when the form comes back), the
// question before copying or exporting such a statblock, Design after Open,
// Live Statblock, the titled box of a failed Design; and the derivation
// panel beside it: the line between them remembered, reached and read with
// the keyboard, enlarged with F6.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QScrollBar>
#include <QSettings>
#include <QSplitter>
#include <QSplitterHandle>
#include <QTemporaryDir>
#include <QTextBlock>
#include <functional>

#include "tests/ui/support.h"
#include "ui/DerivationPanel.h"
#include "ui/Theme.h"

namespace {

const QString kStaleNote =
    QStringLiteral("The form has changed since this statblock: Design (Ctrl+Return) updates it");

class StatblockState : public FormTest {
 public:
  void SetUp() override {
    FormTest::SetUp();
    TForm1::Settings().clear();
    form->setSeedClock([] { return 7u; });
    pane = Control<QPlainTextEdit>(*form, "StatblockMemo");
    panel = Control<TDerivationPanel>(*form, "DerivationPanel");
  }
  void TearDown() override {
    form->SetLiveStatblock(false);
    TForm1::Settings().clear();
  }

  // The 7 mm Liquid Propellant Rifle, as a user would leave the form.
  void EnterRifle() {
    Type(Control<QLineEdit>(*form, "NameEdit"), QStringLiteral("LP Rifle"));
    Type(Control<QLineEdit>(*form, "BoreSizeEdit"), QStringLiteral("7"));
    Choose(Control<TRadioGroup>(*form, "ConfigurationBox"), brennick::kRifle);
    Choose(Control<TRadioGroup>(*form, "BarrelBox"), brennick::kMedium);
    Choose(Control<TRadioGroup>(*form, "LoadingMechanismBox"), brennick::kLightAutomatic);
    Choose(Control<TRadioGroup>(*form, "PropellantBox"), brennick::kLiquid);
    Type(Control<QLineEdit>(*form, "ShotsEdit"), QStringLiteral("30"));
    Control<QPushButton>(*form, "DesignButton")->setFocus();  // the typing ends
  }
  void Design() { Press(Control<QPushButton>(*form, "DesignButton")); }
  QAction* Action(const char* name) const { return Control<QAction>(*form, name); }
  bool Dimmed() const {
    return pane->palette().color(QPalette::Active, QPalette::Text) ==
           brennick::theme::DimmedText(form->palette());
  }

  QPlainTextEdit* pane = nullptr;
  TDerivationPanel* panel = nullptr;
};

// ---------------------------------------------------------------------------
// The note over the pane

struct ChangeCase {
  const char* name;
  std::function<void(StatblockState&, TForm1&)> before;  // ahead of Design
  std::function<void(StatblockState&, TForm1&)> change;  // after it
  bool stale;                                            // the note expected
  bool emptyPane;                                        // the pane cleared
};

TEST_F(StatblockState, TheNoteSaysWhetherThePaneIsTheFormsAfterEachKindOfChange) {
  const auto none = [](StatblockState&, TForm1&) {};
  const std::vector<ChangeCase> cases = {
      {"typing into a text field", none,
       [](StatblockState&, TForm1& f) {
         Type(Control<QLineEdit>(f, "ShotsEdit"), QStringLiteral("20"));
       },
       true, false},
      {"checking a box", none,
       [](StatblockState&, TForm1& f) { Click(Control<QCheckBox>(f, "BipodBox")); }, true, false},
      {"choosing an option", none,
       [](StatblockState&, TForm1& f) {
         Choose(Control<TRadioGroup>(f, "BarrelBox"), brennick::kLong);
       },
       true, false},
      {"Undo of a change made before Design",
       [](StatblockState&, TForm1& f) { Click(Control<QCheckBox>(f, "BipodBox")); },
       [](StatblockState&, TForm1& f) { f.Undo(); }, true, false},
      {"Redo of a change undone before Design",
       [](StatblockState&, TForm1& f) {
         Click(Control<QCheckBox>(f, "BipodBox"));
         f.Undo();
       },
       [](StatblockState&, TForm1& f) { f.Redo(); }, true, false},
      {"Randomize", none, [](StatblockState&, TForm1& f) { f.RandomButtonClick(); }, true, false},
      // A new design clears the pane: there is no statblock left to pretend.
      {"New", none, [](StatblockState&, TForm1& f) { f.FileNew(); }, false, true},
      // Undo of the change after Design brings back the form of the pane.
      {"a change undone again", none,
       [](StatblockState&, TForm1& f) {
         Choose(Control<TRadioGroup>(f, "BarrelBox"), brennick::kLong);
         f.Undo();
       },
       false, false},
      // Checked and unchecked again: the same form as Design's.
      {"a box checked and unchecked", none,
       [](StatblockState&, TForm1& f) {
         Click(Control<QCheckBox>(f, "BipodBox"));
         Click(Control<QCheckBox>(f, "BipodBox"));
       },
       false, false},
      // A form check box the design never reads changes no statblock.
      {"only automatic for Randomize", none,
       [](StatblockState&, TForm1& f) { Click(Control<QCheckBox>(f, "OnlyAuto")); }, false, false},
  };
  for (const ChangeCase& c : cases) {
    SCOPED_TRACE(c.name);
    form = std::make_unique<TForm1>();
    form->setDialogs(dialogs);
    form->show();
    pane = Control<QPlainTextEdit>(*form, "StatblockMemo");
    dialogs->unsavedAnswer = [](const QString&) { return TDialogServices::UnsavedAnswer::Discard; };
    EnterRifle();
    c.before(*this, *form);
    Design();
    ASSERT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
    ASSERT_FALSE(form->statblockStale());
    EXPECT_EQ(form->statblockNote(), QString());
    const QStringList designed = Pane();
    ASSERT_FALSE(designed.isEmpty());

    c.change(*this, *form);
    EXPECT_EQ(form->statblockStale(), c.stale);
    EXPECT_EQ(form->statblockNote(), c.stale ? kStaleNote : QString());
    EXPECT_EQ(Dimmed(), c.stale);
    EXPECT_EQ(Pane(), c.emptyPane ? QStringList{} : designed);  // the pane itself is kept

    // Design makes the pane the form's again.
    if (!c.emptyPane) {
      Design();
      EXPECT_FALSE(form->statblockStale());
      EXPECT_EQ(form->statblockNote(), QString());
      EXPECT_FALSE(Dimmed());
    }
  }
}

TEST_F(StatblockState, UndoingBackToTheDesignedFormTakesTheNoteAway) {
  EnterRifle();
  Design();
  Type(Control<QLineEdit>(*form, "BoreSizeEdit"), QStringLiteral("9"));
  Click(Control<QCheckBox>(*form, "BipodBox"));
  EXPECT_EQ(form->statblockNote(), kStaleNote);
  form->Undo();  // the box
  EXPECT_EQ(form->statblockNote(), kStaleNote);
  form->Undo();  // the typing: the form of the pane
  EXPECT_EQ(form->statblockNote(), QString());
  EXPECT_FALSE(Dimmed());
  form->Redo();
  EXPECT_EQ(form->statblockNote(), kStaleNote);
  EXPECT_TRUE(Dimmed());
}

// ---------------------------------------------------------------------------
// Copies and exports of a statblock older than the form

struct CommandCase {
  const char* action;
  const char* question;  // the command as the question names it
  const char* next;      // what the command asks for after going ahead, or ""
};

TEST_F(StatblockState, CopiesAndExportsAskOnlyWhenTheStatblockIsOlderThanTheForm) {
  const CommandCase commands[] = {
      {"CopyStatblockAction", "Copy Statblock", ""},
      {"CopyMarkdownAction", "Copy as Markdown", ""},
      {"ExportStatblockAction", "Export Statblock", "save: "},
      {"PrintAction", "Print", "print"},
      {"ExportPdfAction", "Export PDF", "save: "},
  };
  // The file dialogs and the printer are cancelled: only the order counts.
  dialogs->fileAnswer = [](auto, auto&, auto&, auto&) { return TDialogServices::ChosenFile(); };
  dialogs->printAnswer = [](QPrinter&) { return false; };
  EnterRifle();
  Design();
  const QString statblock = Pane().join('\n');
  QClipboard* clipboard = QApplication::clipboard();
  for (const CommandCase& c : commands) {
    SCOPED_TRACE(c.action);
    const bool copy = QString::fromLatin1(c.next).isEmpty();
    for (const int state : {0, 1, 2}) {  // fresh; stale, cancelled; stale, gone ahead
      SCOPED_TRACE(state);
      if (state == 0 && form->statblockStale()) form->Undo();
      if (state == 1) Click(Control<QCheckBox>(*form, "BipodBox"));
      ASSERT_EQ(form->statblockStale(), state != 0);
      dialogs->staleAnswer = [state](const QString&) { return state == 2; };
      dialogs->asked.clear();
      clipboard->setText(QStringLiteral("before"));
      Action(c.action)->trigger();

      QStringList expected;
      if (state != 0) expected << QStringLiteral("stale: ") + QLatin1String(c.question);
      const bool ran = state != 1;
      if (ran && !copy) {
        ASSERT_EQ(dialogs->asked.size(), expected.size() + 1)
            << dialogs->asked.join('\n').toStdString();
        EXPECT_TRUE(dialogs->asked.back().startsWith(QLatin1String(c.next)));
        dialogs->asked.removeLast();
      }
      EXPECT_EQ(dialogs->asked, expected);
      if (copy) {
        EXPECT_EQ(clipboard->text() != QStringLiteral("before"), ran);
        if (ran && QLatin1String(c.action) == QLatin1String("CopyStatblockAction")) {
          EXPECT_EQ(clipboard->text(), statblock);  // the pane's, as asked
        }
      }
      EXPECT_TRUE(dialogs->scriptDone());
    }
    form->Undo();
  }
  EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

// ---------------------------------------------------------------------------
// Open, Live Statblock, a failed Design

TEST_F(StatblockState, OpeningADesignShowsItsStatblockOrWhyItHasNone) {
  QTemporaryDir dir;
  EnterRifle();
  Design();
  const QStringList designed = Pane();
  ASSERT_TRUE(form->SaveFile(dir.filePath(QStringLiteral("rifle.json"))));
  Type(Control<QLineEdit>(*form, "BoreSizeEdit"), QStringLiteral("seven"));
  ASSERT_TRUE(form->SaveFile(dir.filePath(QStringLiteral("broken.json"))));

  struct OpenCase {
    const char* file;
    bool fails;
  };
  for (const OpenCase c : {OpenCase{"rifle.json", false}, OpenCase{"broken.json", true},
                           OpenCase{"rifle.json", false}}) {
    SCOPED_TRACE(c.file);
    form->FileNew();
    ASSERT_TRUE(Pane().isEmpty());
    dialogs->asked.clear();
    ASSERT_TRUE(form->OpenFile(dir.filePath(QLatin1String(c.file))));
    EXPECT_TRUE(dialogs->asked.isEmpty()) << dialogs->asked.join('\n').toStdString();  // no box
    EXPECT_FALSE(form->statblockStale());
    if (!c.fails) {
      EXPECT_EQ(Pane(), designed);
      EXPECT_EQ(form->statblockNote(), QString());
      continue;
    }
    const QString failure = QString::fromStdString(*form->lastDesign().error);
    EXPECT_TRUE(failure.contains(QLatin1String("seven"))) << failure.toStdString();
    EXPECT_EQ(form->statblockNote(), QStringLiteral("Design stopped: ") + failure);
    EXPECT_TRUE(panel->toPlainText().startsWith(QStringLiteral("Design stopped: ") + failure))
        << panel->toPlainText().toStdString();
  }
  EXPECT_TRUE(errors.isEmpty());
}

TEST_F(StatblockState, LiveStatblockDesignsAfterEveryChangeAndShowsFailuresInThePanel) {
  QAction* live = Action("LiveStatblockAction");
  EXPECT_FALSE(live->isChecked());  // off until chosen
  EnterRifle();
  EXPECT_TRUE(Pane().isEmpty());
  live->trigger();
  EXPECT_TRUE(form->liveStatblock());
  const QStringList rifle = Pane();
  ASSERT_FALSE(rifle.isEmpty());

  // Each change designs; a failure is in the note and the panel, not a box.
  auto* bore = Control<QLineEdit>(*form, "BoreSizeEdit");
  Type(bore, QStringLiteral("7x"));
  EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
  EXPECT_FALSE(form->statblockStale());
  ASSERT_TRUE(form->lastDesign().error.has_value());
  EXPECT_EQ(form->statblockNote(),
            QStringLiteral("Design stopped: ") + QString::fromStdString(*form->lastDesign().error));
  EXPECT_TRUE(panel->toPlainText().startsWith(QStringLiteral("Design stopped: ")));
  Type(bore, QStringLiteral("7"));
  EXPECT_EQ(Pane(), rifle);
  EXPECT_EQ(form->statblockNote(), QString());
  Click(Control<QCheckBox>(*form, "BipodBox"));
  EXPECT_NE(Pane(), rifle);
  EXPECT_FALSE(form->statblockStale());
  form->Undo();
  EXPECT_EQ(Pane(), rifle);

  // Remembered: the next window opens with it on; off again, off.
  EXPECT_TRUE(TForm1::Settings().value(QStringLiteral("view/liveStatblock")).toBool());
  {
    TForm1 next;
    EXPECT_TRUE(Control<QAction>(next, "LiveStatblockAction")->isChecked());
    Control<QAction>(next, "LiveStatblockAction")->trigger();
  }
  TForm1 third;
  EXPECT_FALSE(Control<QAction>(third, "LiveStatblockAction")->isChecked());
  EXPECT_TRUE(errors.isEmpty());
}

TEST_F(StatblockState, AFailedDesignNamesTheFieldInTheTitleOfItsBox) {
  struct FailCase {
    const char* field;
    const char* text;
    const char* title;
  };
  const FailCase cases[] = {
      {"BoreSizeEdit", "seven", "Design failed: Bore Size"},
      {"TLEdit", "9.5x", "Design failed: TL"},
      {"PowerModEdit", "strong", "Design failed: PowerMod"},
  };
  for (const FailCase& c : cases) {
    SCOPED_TRACE(c.field);
    form->FileNew();
    dialogs->unsavedAnswer = [](const QString&) { return TDialogServices::UnsavedAnswer::Discard; };
    EnterRifle();
    errors.clear();
    dialogs->errorTitles.clear();
    Type(Control<QLineEdit>(*form, c.field), QLatin1String(c.text));
    Design();
    ASSERT_EQ(errors.size(), 1);
    // The message is the run's own, whole.
    EXPECT_EQ(errors.front(), QString::fromStdString(*form->lastDesign().error));
    EXPECT_EQ(dialogs->errorTitles, QStringList{QLatin1String(c.title)});
  }
}

// ---------------------------------------------------------------------------
// The derivation panel

TEST_F(StatblockState, TheLineBetweenPaneAndPanelIsRemembered) {
  auto* splitter = Control<QSplitter>(*form, "StatblockSplitter");
  QTest::qWait(50);
  const QList<int> before = splitter->sizes();
  ASSERT_EQ(before.size(), 2);
  QSplitterHandle* handle = splitter->handle(1);
  const QPoint middle(handle->width() / 2, handle->height() / 2);
  QTest::mousePress(handle, Qt::LeftButton, {}, middle);
  QTest::mouseMove(handle, middle - QPoint(0, 80));
  QTest::mouseRelease(handle, Qt::LeftButton, {}, middle - QPoint(0, 80));
  const QList<int> after = splitter->sizes();
  ASSERT_EQ(after[1] - before[1], 80) << after[0] << " " << after[1];
  EXPECT_FALSE(TForm1::Settings().value(QStringLiteral("window/statblockSplitter")).isNull());

  TForm1 next;
  next.resize(form->size());
  next.show();
  QTest::qWait(50);
  EXPECT_EQ(Control<QSplitter>(next, "StatblockSplitter")->sizes(), after);
}

TEST_F(StatblockState, TheLongestDerivationIsReadWithTheKeyboard) {
  form->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
  EnterRifle();
  Design();
  // The line whose derivation has the most steps.
  const auto& design = form->lastDesign();
  std::size_t longest = 0;
  for (std::size_t i = 0; i < design.lines.size(); ++i) {
    if (design.explain[i].size() > design.explain[longest].size()) longest = i;
  }
  // The weight's: from the bore to the reload, every factor and rounding.
  ASSERT_EQ(std::string(design.lines[longest]).rfind("Weight: ", 0), 0u);
  ASSERT_GE(design.explain[longest].size(), 22u);

  // From the pane, with the keys only: to the line, then on to the panel.
  pane->setFocus();
  QTest::keyClick(pane, Qt::Key_Home, Qt::ControlModifier);
  for (int presses = 0; presses < 200 && form->LineOfBlock(pane->textCursor().blockNumber()) <
                                             static_cast<int>(longest);
       ++presses) {
    QTest::keyClick(pane, Qt::Key_Down);
  }
  ASSERT_EQ(form->LineOfBlock(pane->textCursor().blockNumber()), static_cast<int>(longest));
  QTest::keyClick(pane, Qt::Key_Tab);
  ASSERT_EQ(form->focusWidget(), panel);
  const QStringList shown = panel->toPlainText().split(QLatin1Char('\n'));
  QStringList steps;
  for (const std::string& step : design.explain[longest]) steps << QString::fromStdString(step);
  EXPECT_EQ(shown, steps);

  // Every step selected with the keys, and the panel scrolls to the last.
  QTest::keyClick(panel, Qt::Key_Home, Qt::ControlModifier);
  QTest::keyClick(panel, Qt::Key_End, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(panel->textCursor().selectedText().split(QChar(0x2029)), steps);
  QScrollBar* scroll = panel->verticalScrollBar();
  EXPECT_GT(scroll->value(), 0);  // scrolled down to the last step
  EXPECT_TRUE(panel->viewport()->rect().contains(panel->cursorRect()));
  QTest::keyClick(panel, Qt::Key_Home, Qt::ControlModifier);
  EXPECT_EQ(scroll->value(), 0);

  // F6 gives the panel most of the column and the focus, and takes it back.
  const int small = panel->height();
  pane->setFocus();
  QTest::keyClick(pane, Qt::Key_F6);
  EXPECT_GT(panel->height(), 2 * small);
  EXPECT_EQ(form->focusWidget(), panel);
  EXPECT_TRUE(Action("EnlargeDerivationsAction")->isChecked());
  QTest::keyClick(panel, Qt::Key_F6);
  EXPECT_EQ(panel->height(), small);
}

}  // namespace
