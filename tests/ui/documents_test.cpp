// Saving never loses a design, in the window: every save and export dialog
// asks before replacing a file the name typed did not name, undo takes the
// file back with the form, the names suggested are names a file can have,
// a PDF that cannot be written whole fails, and files whose names are no
// valid text open, save and come back through the recent files.
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QDropEvent>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "files/design_file.h"
#include "form/form_member.h"
#include "formats/design_file_format.h"
#include "tests/support/worked_designs.h"
#include "tests/ui/support.h"
#include "ui/Armoury.h"
#include "ui/FileSupport.h"

namespace {

using namespace brennick;
using Answer = TDialogServices::UnsavedAnswer;
namespace fs = std::filesystem;

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream all;
  all << in.rdbuf();
  return all.str();
}

// Writes through the system's own calls, so that a name is taken byte for
// byte.
void WriteAll(const fs::path& path, const std::string& text) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ASSERT_GE(fd, 0) << path;
  ASSERT_EQ(::write(fd, text.data(), text.size()), static_cast<ssize_t>(text.size()));
  ::close(fd);
}

FormState Named(const char* name) {
  FormState s;
  s.NameEdit.text = name;
  return s;
}

class DocumentsTest : public FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(TForm1::Settings().fileName().startsWith(QDir::tempPath()));
    TForm1::Settings().clear();
    // The armoury window the form opens answers through the same dialogs.
    dialogs->unsavedAnswer = [this](const QString&) { return answer; };
    dialogs->fileAnswer = [this](TDialogServices::FileDialog, const QString&, const QString& path,
                                 const QString&) {
      suggested << path;
      return TDialogServices::ChosenFile(typed, chosenFilter);
    };
    dialogs->replaceAnswer = [this](const QString& path) {
      replacePrompts << path;
      return replace;
    };
  }
  QString Path(const QString& name) const { return dir.filePath(name); }
  fs::path FsPath(const char* name) const { return files_ui::PathOf(Path(name)); }
  void WriteDesign(const char* name, const FormState& s) {
    WriteAll(FsPath(name), DesignFileText(s, TForm1::DecimalSeparator()));
  }

  QTemporaryDir dir;
  Answer answer = Answer::Discard;
  QString typed;         // what the chooser returns, as typed
  QString chosenFilter;  // the filter chosen beside it
  bool replace = false;
  QStringList suggested;
  QStringList replacePrompts;
};

// ---------------------------------------------------------------------------
// Replacing a file the name typed did not name

struct DialogCase {
  const char* what;
  const char* file;    // the name typed, with the extension the save adds
  const char* filter;  // the filter chosen, or empty for the first
  const char* starts;  // how the file written begins
  std::function<void(TForm1&)> save;
};

TEST_F(DocumentsTest, EverySaveAsksBeforeReplacingAFileItsExtensionNamed) {
  QDir(dir.path()).mkdir(QStringLiteral("armoury"));
  const char dec = TForm1::DecimalSeparator();
  WriteAll(files_ui::PathOf(Path("armoury/pistol.json")),
           DesignFileText(FormOfDesign(examples::TenMmPistol()), dec));
  form->RestoreForm(FormOfDesign(examples::TenMmPistol()));
  Press(Control<QPushButton>(*form, "DesignButton"));
  ASSERT_TRUE(form->OpenArmouryFolder(Path("armoury")));
  ASSERT_NE(form->armoury(), nullptr);

  const DialogCase cases[] = {
      {"Save As", "pistol.json", "", "{", [](TForm1& f) { f.SaveAs(); }},
      {"Save As, all files shown", "pistol.json", "All files (*)", "{",
       [](TForm1& f) { f.SaveAs(); }},
      {"statblock as text", "pistol.txt", "", "Pistol (TL9)\n",
       [](TForm1& f) { f.ExportStatblock(); }},
      {"statblock, Markdown chosen", "pistol.md", "Markdown (*.md)", "# Pistol (TL9)\n",
       [](TForm1& f) { f.ExportStatblock(); }},
      {"PDF", "pistol.pdf", "", "%PDF", [](TForm1& f) { f.ExportPdf(); }},
      {"armoury as Markdown", "pistol.md", "", "| Name",
       [](TForm1& f) { f.armoury()->ExportMarkdown(); }},
      {"armoury as CSV", "pistol.csv", "", "Name,", [](TForm1& f) { f.armoury()->ExportCsv(); }},
  };
  for (const DialogCase& c : cases) {
    const QString target = Path(QString::fromUtf8(c.file));
    const fs::path file = files_ui::PathOf(target);
    chosenFilter = QString::fromUtf8(c.filter);
    // Typed without the extension: the file it adds names is asked about,
    // and No leaves it as it was.
    for (const bool yes : {false, true}) {
      WriteAll(file, "old");
      replacePrompts.clear();
      typed = Path("pistol");
      replace = yes;
      c.save(*form);
      EXPECT_EQ(replacePrompts, QStringList{target}) << c.what;
      const std::string now = ReadAll(file);
      EXPECT_EQ(now == "old", !yes) << c.what;
      if (yes) {
        EXPECT_TRUE(now.starts_with(c.starts)) << c.what << ": " << now.substr(0, 20);
      }
      EXPECT_FALSE(fs::exists(FsPath("pistol"))) << c.what;
    }
    // Typed whole, the dialog has asked; a new file needs no asking.
    for (const QString& name : {target, Path("pistol")}) {
      if (name == target) WriteAll(file, "old");
      if (name != target) fs::remove(file);
      replacePrompts.clear();
      typed = name;
      c.save(*form);
      EXPECT_TRUE(replacePrompts.isEmpty()) << c.what << " " << name.toStdString();
      EXPECT_TRUE(ReadAll(file).starts_with(c.starts)) << c.what << " " << name.toStdString();
    }
    fs::remove(file);
  }
  EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

// The real save dialog, driven as a user would: the name typed takes the
// extension of the filter chosen, and the dialog itself asks before
// replacing the file so named. A timer plays the user; whatever is still
// open after five seconds is closed, so no test waits on a dialog.
TEST_F(DocumentsTest, TheSaveDialogAddsTheExtensionOfTheFilterChosenAndAsks) {
  // A desktop's own dialog is no widget the timer could drive.
  if (QGuiApplication::platformName() != QLatin1String("offscreen")) {
    GTEST_SKIP() << "drives Qt's own dialog, which the offscreen platform shows";
  }
  const QString filter = QStringLiteral("Plain text (*.txt);;Markdown (*.md)");
  const struct {
    const char* what;
    int filterIndex;
    bool exists;    // the file the extension names exists already
    QString asked;  // the file the dialog asks about replacing
    QString path;   // what the dialog gives
    QString chosen;
  } cases[] = {
      {"text", 0, false, {}, Path("stats.txt"), "Plain text (*.txt)"},
      {"Markdown chosen", 1, false, {}, Path("stats.md"), "Markdown (*.md)"},
      {"Markdown over a file", 1, true, "stats.md", {}, {}},
  };
  for (const auto& c : cases) {
    fs::remove(FsPath("stats.md"));
    if (c.exists) WriteAll(FsPath("stats.md"), "old");
    QString asked;
    int ticks = 0;
    bool entered = false;
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&] {
      QWidget* modal = QApplication::activeModalWidget();
      if (++ticks > 250) {
        if (modal) modal->close();
        return;
      }
      if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        asked = box->text();
        box->button(QMessageBox::No)->click();
        return;
      }
      auto* dialog = qobject_cast<QFileDialog*>(modal);
      if (dialog == nullptr) return;
      if (entered) {  // the dialog stayed open after No
        dialog->reject();
        return;
      }
      auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
      auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
      if (types == nullptr || name == nullptr) return;
      // What the box does when the user picks an item.
      types->setCurrentIndex(c.filterIndex);
      emit types->activated(c.filterIndex);
      emit types->textActivated(types->itemText(c.filterIndex));
      name->setText(QStringLiteral("stats"));
      entered = true;
      // Later, not inside the timer: a timer never fires again while its own
      // slot waits on the question the dialog may ask.
      QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
    });
    user.start(20);
    const TDialogServices::ChosenFile chosen = files_ui::RunSaveDialog(
        form.get(), QStringLiteral("Export"), Path("statblock.txt"), filter);
    user.stop();
    EXPECT_LE(ticks, 250) << c.what;
    EXPECT_EQ(chosen.path, c.path) << c.what;
    EXPECT_EQ(chosen.filter, c.chosen) << c.what;
    EXPECT_EQ(asked.contains(c.asked), true) << c.what << ": " << asked.toStdString();
    EXPECT_EQ(asked.isEmpty(), c.asked.isEmpty()) << c.what << ": " << asked.toStdString();
  }
  EXPECT_EQ(ReadAll(FsPath("stats.md")), "old");
}

// ---------------------------------------------------------------------------
// The names suggested

TEST(SaveDialogRule, TheNameSuggestedIsOneAFileCanHave) {
  const QString e = QString::fromUtf8("\u00e9");         // 2 bytes in UTF-8
  const QString wide = QString::fromUtf8("\U0001D538");  // 4 bytes, two UTF-16 units
  const struct {
    const char* what;
    QString name;
    QString expected;
  } cases[] = {
      {"a plain name", "Pistol", "Pistol.json"},
      {"blanks around", "  Pistol  ", "Pistol.json"},
      {"a slash", "M4/A1", "M4-A1.json"},
      {"slashes alone", "//", "--.json"},
      {"a NUL", QString::fromUtf8("a\0b", 3), "a-b.json"},
      {"control characters", QString::fromUtf8("tab\tand\nline\x7f"), "tab-and-line-.json"},
      {"empty", "", "design.json"},
      {"blanks alone", "   ", "design.json"},
      {"a dot", ".", "design.json"},
      {"two dots", "..", "design.json"},
      {"dots alone", ".....", "design.json"},
      {"a leading dot", ".hidden", ".hidden.json"},
      {"a dot inside", "M1911 .45", "M1911 .45.json"},
      // 255 bytes with ".json": 250 single bytes, 125 two-byte letters, and
      // 62 four-byte letters (63 would take 257 bytes).
      {"300 letters", QString(300, QLatin1Char('x')), QString(250, QLatin1Char('x')) + ".json"},
      {"200 two-byte letters", e.repeated(200), e.repeated(125) + ".json"},
      {"100 four-byte letters", wide.repeated(100), wide.repeated(62) + ".json"},
  };
  for (const auto& c : cases) {
    const QString name =
        files_ui::SuggestedFileName(c.name, QStringLiteral("design"), QStringLiteral("json"));
    EXPECT_EQ(name, c.expected) << c.what;
    EXPECT_LE(QFile::encodeName(name).size(), 255) << c.what;
  }
}

// Every dialog suggests the weapon's name in the folder it last used.
TEST_F(DocumentsTest, TheDialogsSuggestTheWeaponsName) {
  TForm1::Settings().setValue(QStringLiteral("folders/designs"), dir.path());
  TForm1::Settings().setValue(QStringLiteral("folders/export"), dir.path());
  form->RestoreForm(FormOfDesign(examples::TenMmPistol()));
  Press(Control<QPushButton>(*form, "DesignButton"));
  Type(Control<QLineEdit>(*form, "NameEdit"), QStringLiteral("M4/A1"));
  typed.clear();  // cancelled
  // The statblock is the pistol's, made before the name changed: go ahead.
  dialogs->staleAnswer = [](const QString&) { return true; };
  form->SaveAs();
  form->ExportStatblock();
  form->ExportPdf();
  EXPECT_EQ(suggested, (QStringList{Path("M4-A1.json"), Path("M4-A1.txt"), Path("M4-A1.pdf")}));
}

// ---------------------------------------------------------------------------
// Undo takes the file back with the form

struct Seen {
  const char* after;
  const char* name;   // the NameEdit
  const char* title;  // the window's title
  bool modified;
};

void ExpectSeen(TForm1& form, const Seen& s) {
  EXPECT_EQ(Control<QLineEdit>(form, "NameEdit")->text(), QString::fromUtf8(s.name)) << s.after;
  EXPECT_EQ(form.windowTitle(), QString::fromUtf8(s.title)) << s.after;
  EXPECT_EQ(form.isWindowModified(), s.modified) << s.after;
  EXPECT_EQ(form.isModified(), s.modified) << s.after;
}

TEST_F(DocumentsTest, UndoingAnOpenOrANewBringsBackTheFileAndWhetherItWasSaved) {
  WriteDesign("a.json", Named("Alpha"));
  WriteDesign("b.json", Named("Bravo"));
  const std::string a = ReadAll(FsPath("a.json")), b = ReadAll(FsPath("b.json"));

  ASSERT_TRUE(form->OpenFile(Path("a.json")));
  ASSERT_TRUE(form->OpenFile(Path("b.json")));
  ExpectSeen(*form, {"open b", "Bravo", "b.json[*] - Brennick", false});
  form->Undo();
  ExpectSeen(*form, {"undo open b", "Alpha", "a.json[*] - Brennick", false});
  EXPECT_EQ(form->currentFile(), Path("a.json"));
  ASSERT_TRUE(form->Save());
  EXPECT_EQ(ReadAll(FsPath("a.json")), a);  // Alpha stays Alpha's
  EXPECT_EQ(ReadAll(FsPath("b.json")), b);  // and Bravo is not lost
  form->Redo();
  ExpectSeen(*form, {"redo open b", "Bravo", "b.json[*] - Brennick", false});
  form->FileNew();
  ExpectSeen(*form, {"new", "", "Brennick", false});
  form->Undo();
  ExpectSeen(*form, {"undo new", "Bravo", "b.json[*] - Brennick", false});
  form->Redo();
  ExpectSeen(*form, {"redo new", "", "Brennick", false});
  EXPECT_TRUE(form->currentFile().isEmpty());

  // Changes not saved stay unsaved through an undo of the next Open.
  form->Undo();
  form->Undo();
  Type(Control<QLineEdit>(*form, "NameEdit"), QStringLiteral("Alpha 2"));
  ExpectSeen(*form, {"edit a", "Alpha 2", "a.json[*] - Brennick", true});
  answer = Answer::Discard;
  ASSERT_TRUE(form->OpenFile(Path("b.json")));
  form->Undo();
  ExpectSeen(*form, {"undo open b after an edit", "Alpha 2", "a.json[*] - Brennick", true});
  ASSERT_TRUE(form->Save());
  EXPECT_EQ(ReadAll(FsPath("b.json")), b);
  EXPECT_EQ(form->model().state().NameEdit.text, "Alpha 2");
  EXPECT_EQ(LoadDesignFile(FsPath("a.json"), TForm1::DecimalSeparator()).NameEdit.text, "Alpha 2");
  ExpectSeen(*form, {"save a", "Alpha 2", "a.json[*] - Brennick", false});
  form->Undo();  // the edit, before the save: the file holds the edit
  ExpectSeen(*form, {"undo the edit", "Alpha", "a.json[*] - Brennick", true});
}

// Bravo saved over Alpha's file: undoing back to Alpha's form must not pass
// it for what the file holds.
TEST_F(DocumentsTest, UndoToADesignWhoseFileWasSavedOverIsUnsaved) {
  WriteDesign("a.json", Named("Alpha"));
  WriteDesign("b.json", Named("Bravo"));
  ASSERT_TRUE(form->OpenFile(Path("a.json")));
  ASSERT_TRUE(form->OpenFile(Path("b.json")));
  typed = Path("a.json");
  ASSERT_TRUE(form->SaveAs());
  ExpectSeen(*form, {"save b as a", "Bravo", "a.json[*] - Brennick", false});
  form->Undo();
  ExpectSeen(*form, {"undo open b", "Alpha", "a.json[*] - Brennick", true});
  form->Redo();
  ExpectSeen(*form, {"redo open b", "Bravo", "a.json[*] - Brennick", false});
}

// ---------------------------------------------------------------------------
// The PDF

// A disk that takes 4 KiB more at most, as a full one does: the PDF is
// larger, so the export fails with the reason and the old PDF stays whole.
TEST_F(DocumentsTest, APdfThatCannotBeWrittenWholeFailsAndKeepsTheOldOne) {
  form->RestoreForm(FormOfDesign(examples::SevenMmLiquidRifle()));
  Press(Control<QPushButton>(*form, "DesignButton"));
  ASSERT_TRUE(form->ExportPdfTo(Path("rifle.pdf")));
  const std::string good = ReadAll(FsPath("rifle.pdf"));
  ASSERT_GT(good.size(), 8192u);

  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit oldLimit{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &oldLimit), 0);
  rlimit small = oldLimit;
  small.rlim_cur = 4096;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool exported = form->ExportPdfTo(Path("rifle.pdf"));
  ::setrlimit(RLIMIT_FSIZE, &oldLimit);
  std::signal(SIGXFSZ, oldHandler);

  EXPECT_FALSE(exported);
  ASSERT_EQ(errors.size(), 1);
  EXPECT_TRUE(errors[0].startsWith(QStringLiteral("Cannot save \"%1\": ").arg(Path("rifle.pdf"))))
      << errors[0].toStdString();
  EXPECT_EQ(ReadAll(FsPath("rifle.pdf")), good);
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"rifle.pdf"});
}

// The temporary folder plays no part: one where no file can be made (it is
// a file itself) changes nothing.
TEST_F(DocumentsTest, ThePdfNeedsNoTemporaryFolder) {
  form->RestoreForm(FormOfDesign(examples::TenMmPistol()));
  Press(Control<QPushButton>(*form, "DesignButton"));
  WriteAll(FsPath("not a folder"), "");
  const QByteArray tmp = qgetenv("TMPDIR");
  qputenv("TMPDIR", QFile::encodeName(Path("not a folder")));
  const bool exported = form->ExportPdfTo(Path("pistol.pdf"));
  if (tmp.isNull()) {
    qunsetenv("TMPDIR");
  } else {
    qputenv("TMPDIR", tmp);
  }
  EXPECT_TRUE(exported) << errors.join('\n').toStdString();
  EXPECT_TRUE(ReadAll(FsPath("pistol.pdf")).starts_with("%PDF"));
}

// ---------------------------------------------------------------------------
// File names that are no valid text

TEST_F(DocumentsTest, AFileWhoseNameIsNoValidTextOpensSavesAndComesBack) {
  const fs::path bad = files_ui::PathOf(dir.path()) / std::string("bad\xff.json");
  WriteAll(bad, DesignFileText(Named("Odd"), TForm1::DecimalSeparator()));
  // The temporary folder removes what it can name as text: not this file.
  const struct Remove {
    fs::path file;
    ~Remove() { fs::remove(file); }
  } remove{bad};

  ASSERT_TRUE(form->OpenFile(bad)) << errors.join('\n').toStdString();
  EXPECT_EQ(Control<QLineEdit>(*form, "NameEdit")->text(), QStringLiteral("Odd"));
  EXPECT_EQ(form->currentPath(), bad);
  EXPECT_TRUE(form->windowTitle().startsWith(QStringLiteral("bad")));
  EXPECT_TRUE(form->windowTitle().endsWith(QStringLiteral(".json[*] - Brennick")));

  // Save writes the same file, not one named after the text shown.
  Type(Control<QLineEdit>(*form, "NameEdit"), QStringLiteral("Odder"));
  ASSERT_TRUE(form->Save());
  EXPECT_EQ(LoadDesignFile(bad, TForm1::DecimalSeparator()).NameEdit.text, "Odder");
  EXPECT_EQ(std::distance(fs::directory_iterator(files_ui::PathOf(dir.path())), {}), 1);

  // Undo and redo remember the name as it is.
  form->FileNew();
  form->Undo();
  EXPECT_EQ(form->currentPath(), bad);

  // A file manager drops it as a URL with the byte percent-encoded.
  form->FileNew();
  QMimeData data;
  data.setUrls({QUrl::fromEncoded("file://" +
                                  QByteArray::fromStdString(bad.native()).toPercentEncoding("/"))});
  QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(form.get(), &enter);
  QApplication::sendEvent(form.get(), &drop);
  EXPECT_EQ(form->currentPath(), bad);
  EXPECT_EQ(Control<QLineEdit>(*form, "NameEdit")->text(), QStringLiteral("Odder"));

  // The recent files keep it: a new window opens it from the menu.
  TForm1 next;
  next.setDialogs(dialogs);
  ASSERT_FALSE(next.recentPaths().empty());
  EXPECT_EQ(next.recentPaths().front(), bad);
  auto* recent = next.findChild<QMenu*>(QStringLiteral("RecentMenu"));
  ASSERT_NE(recent, nullptr);
  recent->actions().front()->trigger();
  EXPECT_EQ(next.currentPath(), bad);
  EXPECT_EQ(Control<QLineEdit>(next, "NameEdit")->text(), QStringLiteral("Odder"));

  // And so does `brennick FILE`, with the bytes Qt left in argv.
  TForm1 started;
  started.setDialogs(dialogs);
  const std::string argument = bad.native();
  const char* argv[] = {"brennick", argument.c_str(), nullptr};
  started.OpenStartFile(2, argv);
  EXPECT_EQ(started.currentPath(), bad);
  EXPECT_EQ(Control<QLineEdit>(started, "NameEdit")->text(), QStringLiteral("Odder"));
  EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

// Recent files kept as text by earlier versions still read, one or many.
TEST_F(DocumentsTest, RecentFilesKeptAsTextStillRead) {
  WriteDesign("new.json", Named("New"));
  const struct {
    QVariant stored;
    QStringList read;
  } cases[] = {
      {QStringList{Path("a.json"), Path("b.json")}, {Path("a.json"), Path("b.json")}},
      {Path("a.json"), {Path("a.json")}},
      {QVariant(), {}},
  };
  for (const auto& c : cases) {
    TForm1::Settings().setValue(QStringLiteral("recentFiles"), c.stored);
    TForm1 window;
    EXPECT_EQ(window.recentFiles(), c.read);
    ASSERT_TRUE(window.OpenFile(Path("new.json")));
    EXPECT_EQ(window.recentFiles(), QStringList{Path("new.json")} + c.read);
    EXPECT_EQ(TForm1().recentFiles(), QStringList{Path("new.json")} + c.read);
  }
}

}  // namespace
