// Every dialog a session of work asks, in order, with its texts and the
// window it shows over: the window and the armoury ask through the dialog
// services alone, and a scripted answer steers each question.
#include <gtest/gtest-spi.h>

#include <QAction>
#include <QDir>
#include <QTemporaryDir>
#include <fstream>
#include <sstream>

#include "files/design_file.h"
#include "formats/design_file_format.h"
#include "tests/ui/support.h"
#include "ui/Armoury.h"
#include "ui/FileSupport.h"

namespace {

using namespace brennick;
using Answer = TDialogServices::UnsavedAnswer;

std::string ReadAll(const QString& path) {
  std::ifstream in(QFile::encodeName(path).toStdString(), std::ios::binary);
  std::stringstream all;
  all << in.rdbuf();
  return all.str();
}

void WriteAll(const QString& path, const std::string& text) {
  std::ofstream(QFile::encodeName(path).toStdString(), std::ios::binary) << text;
}

class DialogSessionTest : public FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(TForm1::Settings().fileName().startsWith(QDir::tempPath()));
    TForm1::Settings().clear();
    TForm1::Settings().setValue(QStringLiteral("folders/designs"), dir.path());
  }
  QString Path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }
  void Trigger(const char* action) { Control<QAction>(*form, action)->trigger(); }

  QTemporaryDir dir;
};

TEST_F(DialogSessionTest, EveryQuestionOfASessionInOrder) {
  FormState old;
  old.NameEdit.text = "Old";
  const char dec = TForm1::DecimalSeparator();
  WriteAll(Path("old.json"), DesignFileText(old, dec));
  QDir(dir.path()).mkdir(QStringLiteral("armoury"));
  WriteAll(Path("armoury/old.json"), DesignFileText(old, dec));
  WriteAll(Path("old.md"), "old");
  const std::string oldJson = ReadAll(Path("old.json"));

  dialogs
      ->ScriptUnsaved(Answer::Cancel)  // New, with the name typed
      .ScriptSave(Path("old"))         // Save As: "old" names old.json, which exists
      .ScriptReplace(false)            // and is kept
      .ScriptSave(Path("mine"))        // Save, no file yet: Save As again
      .ScriptPrint([this](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(Path("printed.pdf"));
        return true;
      })
      .ScriptUnsaved(Answer::Discard)  // Open, after another change
      .ScriptOpen(Path("old.json"))
      .ScriptFolder(Path("armoury"))   // Open Armoury
      .ScriptSave(Path("old"))         // its Markdown: "old" names old.md, which exists
      .ScriptReplace(true)             // and is replaced
      .ScriptUnsaved(Answer::Cancel);  // closing with a change: the window stays

  auto* name = Control<QLineEdit>(*form, "NameEdit");
  Type(name, QStringLiteral("Carbine"));
  Trigger("NewAction");
  EXPECT_EQ(name->text(), QStringLiteral("Carbine"));
  Trigger("SaveAsAction");
  EXPECT_EQ(ReadAll(Path("old.json")), oldJson);
  EXPECT_EQ(form->windowTitle(), QStringLiteral("Brennick[*]"));
  Trigger("SaveAction");
  EXPECT_EQ(form->windowTitle(), QStringLiteral("mine.json[*] - Brennick"));
  Trigger("ExportStatblockAction");                    // no statblock yet: a failure, no dialog
  Press(Control<QPushButton>(*form, "DesignButton"));  // the title line, then the empty bore
  Trigger("PrintAction");
  EXPECT_TRUE(ReadAll(Path("printed.pdf")).starts_with("%PDF"));
  Type(name, QStringLiteral("Carbine Mk2"));
  Trigger("OpenAction");
  EXPECT_EQ(name->text(), QStringLiteral("Old"));
  Trigger("OpenArmouryAction");
  ASSERT_NE(form->armoury(), nullptr);
  ASSERT_TRUE(QTest::qWaitFor([this] { return !form->armoury()->isReading(); }, 60000));
  form->armoury()->ExportMarkdown();
  EXPECT_TRUE(ReadAll(Path("old.md")).starts_with("| Name")) << ReadAll(Path("old.md"));
  Trigger("AboutAction");
  Type(name, QStringLiteral("Older"));
  EXPECT_FALSE(form->close());

  const QString designs = files_ui::DesignFilter();
  const QStringList expected = {
      "unsaved: the new design",
      "save: Save Design As | " + Path("Carbine.json") + " | " + designs,
      "replace: " + Path("old.json"),
      "save: Save Design As | " + Path("Carbine.json") + " | " + designs,
      "error: There is no statblock yet: press Design first.",
      "error: '' is not a valid floating point value",  // Design stops at the empty bore
      "print",
      "unsaved: mine.json",
      "open: Open Design | " + dir.path() + " | " + designs,
      "folder: Open Armoury | " + dir.path(),  // the folder of the design last opened
      "save: Export Table as Markdown | " + Path("armoury/armoury.md") + " | Markdown (*.md)",
      "replace: " + Path("old.md"),
      "message: About Brennick: Brennick " BRENNICK_VERSION
      "\n\nDesigns firearms and electromagnetic guns for a tabletop role-playing game and "
      "writes their statblocks.\n\nBrennick is free software: you can share and change it "
      "under the terms of the GNU General Public License, version 3 or any later version. It "
      "comes with no warranty.",
      "unsaved: old.json",
  };
  EXPECT_EQ(dialogs->asked, expected);
  // The armoury's own dialogs show over it; the rest over the design window.
  QStringList over(expected.size(), QStringLiteral("Form1"));
  over[10] = over[11] = QStringLiteral("Armoury");
  EXPECT_EQ(dialogs->over, over);
  EXPECT_TRUE(dialogs->scriptDone());
  EXPECT_EQ(errors, (QStringList{"There is no statblock yet: press Design first.",
                                 "'' is not a valid floating point value"}));
}

// A failure of the armoury shows over the window that opened it, and over
// the armoury itself when it stands alone.
TEST_F(DialogSessionTest, TheArmourysFailuresShowOverTheWindowThatOpenedIt) {
  const QString missing = Path("no such folder");
  EXPECT_FALSE(form->OpenArmouryFolder(missing));
  TArmouryWindow alone(dialogs);
  alone.setObjectName(QStringLiteral("Alone"));
  EXPECT_FALSE(alone.OpenFolder(missing, '.'));
  ASSERT_EQ(dialogs->asked.size(), 2);
  EXPECT_TRUE(dialogs->asked[0].startsWith("error: Cannot open the armoury"))
      << dialogs->asked[0].toStdString();
  EXPECT_EQ(dialogs->asked[1], dialogs->asked[0]);
  EXPECT_EQ(dialogs->over, (QStringList{"Form1", "Alone"}));
}

// The double itself: a question it has no answer for fails the test and is
// cancelled, as is one that comes out of the script's order.
TEST(ScriptedDialogsTest, AQuestionWithoutAnAnswerFailsAndIsCancelled) {
  static ScriptedDialogs* dialogs = nullptr;
  static Answer answer = Answer::Save;
  ScriptedDialogs scripted;
  dialogs = &scripted;
  EXPECT_NONFATAL_FAILURE(answer = dialogs->AskUnsaved(nullptr, QStringLiteral("gun")),
                          "asked \"unsaved: gun\" with no answer scripted");
  EXPECT_EQ(answer, Answer::Cancel);
  scripted.ScriptReplace(true);
  answer = Answer::Save;
  EXPECT_NONFATAL_FAILURE(answer = dialogs->AskUnsaved(nullptr, QStringLiteral("gun")),
                          "where the script answers the replace question next");
  EXPECT_EQ(answer, Answer::Cancel);
  EXPECT_TRUE(scripted.AskReplace(nullptr, QStringLiteral("/x.json")));
  EXPECT_TRUE(scripted.scriptDone());
}

}  // namespace
