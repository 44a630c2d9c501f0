// Designs that last, in the window: every control through a file and back,
// bad files, the unsaved-changes prompt, undo and redo, the title bar, the
// statblock's copies and exports, the PDF, recent files and the armoury.
#include <sys/stat.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QMenuBar>
#include <QMimeData>
#include <QSettings>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTemporaryDir>
#include <QUrl>
#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>

#include "files/design_file.h"
#include "form/fields.h"
#include "form/form_member.h"
#include "form/statblock_text.h"
#include "formats/design_file_format.h"
#include "tests/support/field_changes.h"
#include "tests/support/worked_designs.h"
#include "tests/ui/support.h"
#include "ui/Armoury.h"

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

QString Shell(const QString& command) {
  FILE* pipe = popen((command + QStringLiteral(" 2>/dev/null")).toLocal8Bit().constData(), "r");
  if (pipe == nullptr) return {};
  QByteArray out;
  char buf[4096];
  std::size_t n;
  // A page of text or a small table; a runaway command is cut off.
  constexpr qsizetype kLimit = qsizetype{1} << 22;
  while (out.size() < kLimit && (n = fread(buf, 1, sizeof buf, pipe)) > 0) {
    out.append(buf, static_cast<qsizetype>(n));
  }
  pclose(pipe);
  return QString::fromUtf8(out);
}

class FilesTest : public FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    ASSERT_TRUE(dir.isValid());
    // The tests keep their settings in a folder of their own (main.cpp).
    ASSERT_TRUE(TForm1::Settings().fileName().startsWith(QDir::tempPath()))
        << TForm1::Settings().fileName().toStdString();
    TForm1::Settings().clear();
    prompts.clear();
    chooserCalls.clear();
    dialogs->unsavedAnswer = [this](const QString& name) {
      prompts << name;
      return answer;
    };
    dialogs->fileAnswer = [this](TDialogServices::FileDialog dialog, const QString&, const QString&,
                                 const QString&) -> TDialogServices::ChosenFile {
      const bool save = dialog == TDialogServices::FileDialog::Save;
      chooserCalls << (save ? QStringLiteral("save") : QStringLiteral("open"));
      return chosen;
    };
  }
  QString Path(const QString& name) const { return dir.filePath(name); }

  // What the window shows of every field, for comparing with a form state.
  void ExpectWindowShows(const FormState& s) {
    const auto fields = FormFields();
    for (const FieldInfo& f : fields) {
      auto* w = form->findChild<QWidget*>(QString::fromUtf8(f.name));
      ASSERT_NE(w, nullptr) << f.name;
      switch (f.kind) {
        case FieldKind::Text:
          EXPECT_EQ(static_cast<QLineEdit*>(w)->text().toStdString(), (s.*f.textControl).text)
              << f.name;
          EXPECT_EQ(w->isEnabled(), (s.*f.textControl).enabled) << f.name;
          break;
        case FieldKind::Check:
          EXPECT_EQ(static_cast<QCheckBox*>(w)->isChecked(), (s.*f.checkControl).checked) << f.name;
          EXPECT_EQ(w->isEnabled(), (s.*f.checkControl).enabled) << f.name;
          break;
        case FieldKind::Group:
          EXPECT_EQ(static_cast<TRadioGroup*>(w)->itemIndex(), (s.*f.groupControl).index) << f.name;
          EXPECT_EQ(w->isEnabled(), (s.*f.groupControl).enabled) << f.name;
          break;
      }
    }
    EXPECT_EQ(Control<QLabel>(*form, "MaxRoFLabel")->text().toStdString(), s.MaxRoFLabel);
  }

  QTemporaryDir dir;
  QStringList prompts;
  QStringList chooserCalls;
  Answer answer = Answer::Cancel;
  QString chosen;
};

// ---------------------------------------------------------------------------
// Files

TEST_F(FilesTest, EveryFieldRoundTripsWindowFileWindow) {
  for (const FieldInfo& f : FormFields()) {
    for (const bool enabled : {true, false}) {
      FormState s = testing_support::WithFieldChanged(f, enabled, "7 & <b>\u2020</b>");
      s.MaxRoFLabel = "Max RoF: 50";
      form->RestoreForm(s);
      ASSERT_TRUE(form->SaveFile(Path("field.json"))) << errors.join('\n').toStdString();
      form->FileNew();
      ASSERT_TRUE(form->model().state() == FormState());
      ASSERT_TRUE(form->OpenFile(Path("field.json"))) << f.name;
      EXPECT_TRUE(form->model().state() == s) << f.name;
      ExpectWindowShows(s);
    }
  }
  EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
  EXPECT_TRUE(prompts.isEmpty());  // every form was saved before New
}

TEST_F(FilesTest, ABadFileGivesOneMessageAndLeavesTheFormAsItWas) {
  WriteAll(Path("malformed.json"), "{\"NameEdit\": \"x\",\n \"TLEdit\" 9}");
  WriteAll(Path("unknown.json"), R"({"Calibre": 9})");
  WriteAll(Path("type.json"), R"({"ShotgunBox": "yes"})");
  WriteAll(Path("index.json"), R"({"PropellantBox": 6})");
  WriteAll(Path("array.json"), "[1]");
  WriteAll(Path("empty.json"), "");
  QDir(dir.path()).mkdir(QStringLiteral("folder.json"));
  WriteAll(Path("locked.json"), "{}");
  ::chmod(QFile::encodeName(Path("locked.json")).constData(), 0);
  ::mkfifo(QFile::encodeName(Path("pipe.json")).constData(), 0600);
  const std::vector<std::pair<const char*, const char*>> cases = {
      {"malformed.json", "malformed JSON at line 2, column 11"},
      {"unknown.json", "unknown key \"Calibre\""},
      {"type.json", "key \"ShotgunBox\": expected true or false, got a string"},
      {"index.json", "key \"PropellantBox\": item index 6 is outside -1..5"},
      {"array.json", "expected a design object, got a number"},
      {"empty.json", "expected a design object, got nothing"},
      {"folder.json", "it is a folder, not a file"},
      {"missing.json", "No such file or directory"},
      {"pipe.json", "it is not a regular file"},
      {"locked.json", ::geteuid() == 0 ? "" : "Permission denied"},
  };
  Type(Control<QLineEdit>(*form, "NameEdit"), QStringLiteral("Kept"));
  ASSERT_TRUE(form->SaveFile(Path("kept.json")));
  Press(Control<QPushButton>(*form, "DesignButton"));
  errors.clear();
  const FormState before = form->model().state();
  const QString title = form->windowTitle();
  const QString pane = Control<QPlainTextEdit>(*form, "StatblockMemo")->toPlainText();
  for (const auto& [name, problem] : cases) {
    if (*problem == '\0') continue;  // the superuser reads a locked file
    errors.clear();
    EXPECT_FALSE(form->OpenFile(Path(QString::fromUtf8(name)))) << name;
    ASSERT_EQ(errors.size(), 1) << name;
    EXPECT_TRUE(errors[0].startsWith(QStringLiteral("Cannot open \"%1\": ").arg(Path(name))))
        << errors[0].toStdString();
    EXPECT_TRUE(errors[0].contains(QString::fromUtf8(problem))) << errors[0].toStdString();
    EXPECT_TRUE(form->model().state() == before) << name;
    EXPECT_EQ(form->windowTitle(), title);
    EXPECT_EQ(form->currentFile(), Path("kept.json"));
    EXPECT_EQ(Control<QPlainTextEdit>(*form, "StatblockMemo")->toPlainText(), pane);
  }
  ExpectWindowShows(before);
}

TEST_F(FilesTest, AFailedSaveReportsTheFileAndKeepsTheDesignUnsaved) {
  Type(Control<QLineEdit>(*form, "NameEdit"), QStringLiteral("Unsaved"));
  EXPECT_FALSE(form->SaveFile(Path("no such folder/x.json")));
  ASSERT_EQ(errors.size(), 1);
  EXPECT_EQ(errors[0], QStringLiteral("Cannot save \"%1\": No such file or directory")
                           .arg(Path("no such folder/x.json")));
  EXPECT_TRUE(form->isModified());
  EXPECT_TRUE(form->currentFile().isEmpty());
}

TEST_F(FilesTest, TheTitleBarShowsTheFileAndTheModifiedMarker) {
  EXPECT_EQ(form->windowTitle(), QStringLiteral("Brennick"));
  EXPECT_FALSE(form->isWindowModified());
  Click(Control<QCheckBox>(*form, "ShotgunBox"));
  EXPECT_TRUE(form->isWindowModified());
  ASSERT_TRUE(form->SaveFile(Path("shotgun.json")));
  EXPECT_EQ(form->windowTitle(), QStringLiteral("shotgun.json[*] - Brennick"));
  EXPECT_FALSE(form->isWindowModified());
  Click(Control<QCheckBox>(*form, "BipodBox"));  // disabled: no change
  EXPECT_FALSE(form->isWindowModified());
  Click(Control<QCheckBox>(*form, "KYOSBox"));
  EXPECT_TRUE(form->isWindowModified());
  form->Undo();  // back to the saved form
  EXPECT_FALSE(form->isWindowModified());
  Press(Control<QPushButton>(*form, "DesignButton"));  // Design changes no control
  EXPECT_FALSE(form->isWindowModified());
}

TEST_F(FilesTest, SaveAsAsksForAFileAndAddsTheExtension) {
  chosen = Path("named");
  Type(Control<QLineEdit>(*form, "NameEdit"), QStringLiteral("Named"));
  EXPECT_TRUE(form->Save());  // no file yet: Save is Save As
  EXPECT_EQ(chooserCalls, QStringList{QStringLiteral("save")});
  EXPECT_EQ(form->currentFile(), Path("named.json"));
  EXPECT_TRUE(QFileInfo::exists(Path("named.json")));
  chosen.clear();  // cancelled
  EXPECT_FALSE(form->SaveAs());
  EXPECT_EQ(form->currentFile(), Path("named.json"));
}

// ---------------------------------------------------------------------------
// The unsaved-changes prompt

TEST_F(FilesTest, UnsavedChangesPromptOnNewOpenAndClose) {
  FormState other;
  other.NameEdit.text = "Other";
  ASSERT_NO_FATAL_FAILURE(
      WriteAll(Path("other.json"), DesignFileText(other, TForm1::DecimalSeparator())));
  enum Action { New, Open, Close };
  for (const Action action : {New, Open, Close}) {
    for (const Answer a : {Answer::Save, Answer::Discard, Answer::Cancel}) {
      SetUp();
      const std::string what = std::to_string(action) + "/" + std::to_string(static_cast<int>(a));
      ASSERT_TRUE(form->SaveFile(Path("mine.json")));
      const std::string saved = ReadAll(Path("mine.json"));
      Type(Control<QLineEdit>(*form, "NameEdit"), QStringLiteral("Changed"));
      const FormState changed = form->model().state();
      answer = a;
      bool closed = false;
      switch (action) {
        case New:
          form->FileNew();
          break;
        case Open:
          chosen = Path("other.json");
          form->FileOpen();
          break;
        case Close:
          closed = form->close();
          break;
      }
      EXPECT_EQ(prompts, QStringList{QStringLiteral("mine.json")}) << what;
      // Save writes the changes; Discard and Cancel leave the file alone.
      EXPECT_EQ(ReadAll(Path("mine.json")) == saved, a != Answer::Save) << what;
      if (a == Answer::Cancel) {
        EXPECT_TRUE(form->model().state() == changed) << what;
        EXPECT_FALSE(closed) << what;
        EXPECT_TRUE(form->isVisible()) << what;
        EXPECT_TRUE(chooserCalls.isEmpty()) << what;  // Open asks nothing more
      } else if (action == New) {
        EXPECT_TRUE(form->model().state() == FormState()) << what;
        EXPECT_TRUE(form->currentFile().isEmpty()) << what;
      } else if (action == Open) {
        EXPECT_TRUE(form->model().state().NameEdit.text == "Other") << what;
        EXPECT_EQ(form->currentFile(), Path("other.json")) << what;
      } else {
        EXPECT_TRUE(closed) << what;
      }
    }
  }
}

TEST_F(FilesTest, NoPromptWithoutChanges) {
  form->FileNew();
  Click(Control<QCheckBox>(*form, "ShotgunBox"));
  form->Undo();
  form->FileNew();
  EXPECT_TRUE(form->close());
  EXPECT_TRUE(prompts.isEmpty());
}

// ---------------------------------------------------------------------------
// Undo and redo

TEST_F(FilesTest, UndoAndRedoHaveTheirShortcuts) {
  const auto shortcuts = [this](const char* name) {
    QStringList keys;
    for (QAction* action : form->findChildren<QAction*>()) {
      if (action->objectName() == QLatin1String(name)) {
        for (const QKeySequence& k : action->shortcuts()) keys << k.toString();
      }
    }
    return keys;
  };
  EXPECT_EQ(shortcuts("UndoAction"), QStringList{QStringLiteral("Ctrl+Z")});
  EXPECT_EQ(shortcuts("RedoAction"),
            (QStringList{QStringLiteral("Ctrl+Shift+Z"), QStringLiteral("Ctrl+Y")}));
}

// Random user actions on the window's controls, Randomize, New and Open;
// every undo must show the form seen one step before, whole, and every redo
// the one a step later.
TEST_F(FilesTest, UndoRedoOverRandomUserActionsRestoresTheFormsSeenBefore) {
  FormState opened;
  opened.NameEdit.text = "Opened";
  opened.LoadingMechanismBox.index = kHeavyAutomatic;
  WriteAll(Path("opened.json"), DesignFileText(opened, TForm1::DecimalSeparator()));
  answer = Answer::Discard;
  chosen = Path("opened.json");
  std::mt19937 rng(20240);
  const auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
  const auto fields = FormFields();
  std::vector<FormState> timeline = {form->model().state()};
  std::size_t cursor = 0;
  const auto stepped = [&](const FormState& before) {
    if (form->model().state() == before) return;
    timeline.resize(cursor + 1);
    timeline.push_back(form->model().state());
    ++cursor;
  };
  for (int i = 0; i < 150; ++i) {
    const FormState before = form->model().state();
    switch (pick(9)) {
      case 0:
      case 1: {
        const FieldInfo& f =
            fields[static_cast<std::size_t>(pick(static_cast<int>(fields.size())))];
        auto* w = form->findChild<QWidget*>(QString::fromUtf8(f.name));
        if (!w->isEnabled()) continue;
        if (f.kind == FieldKind::Check) Click(static_cast<QCheckBox*>(w));
        if (f.kind == FieldKind::Group) {
          Choose(static_cast<TRadioGroup*>(w), pick(static_cast<int>(f.items.size())));
        }
        if (f.kind == FieldKind::Text) {
          auto* edit = static_cast<QLineEdit*>(w);
          edit->setFocus();
          Type(edit, QString::number(pick(40)));
          Control<QPushButton>(*form, "DesignButton")
              ->setFocus();  // the focus leaves the field: typing ends
        }
        stepped(before);
        break;
      }
      case 2:
        Press(Control<QPushButton>(*form, "RandomButton"));
        stepped(before);
        break;
      case 3:
        if (pick(2)) {
          form->FileNew();
        } else {
          form->FileOpen();
        }
        stepped(before);
        break;
      case 4:
        Press(Control<QPushButton>(*form, "DesignButton"));  // no step
        EXPECT_TRUE(form->model().state() == before);
        break;
      case 5:
      case 6:
      case 7:
        form->Undo();
        if (cursor > 0) --cursor;
        ASSERT_TRUE(form->model().state() == timeline[cursor]) << "action " << i;
        ExpectWindowShows(timeline[cursor]);
        break;
      case 8:
        form->Redo();
        if (cursor + 1 < timeline.size()) ++cursor;
        ASSERT_TRUE(form->model().state() == timeline[cursor]) << "action " << i;
        break;
    }
  }
  EXPECT_TRUE(errors.isEmpty() || errors.join('\n').contains(QStringLiteral("not a valid")))
      << errors.join('\n').toStdString();
}

TEST_F(FilesTest, RandomizeAndOpenAreUndoneInOneStep) {
  const FormState start = form->model().state();
  Press(Control<QPushButton>(*form, "RandomButton"));
  const FormState random = form->model().state();
  ASSERT_FALSE(random == start);
  form->Undo();
  EXPECT_TRUE(form->model().state() == start);
  form->Redo();
  EXPECT_TRUE(form->model().state() == random);

  ASSERT_TRUE(form->SaveFile(Path("random.json")));
  form->FileNew();
  ASSERT_TRUE(form->OpenFile(Path("random.json")));
  form->Undo();
  EXPECT_TRUE(form->model().state() == FormState());
  form->Undo();
  EXPECT_TRUE(form->model().state() == random);
}

TEST_F(FilesTest, TypingInOneFieldIsOneStepUntilTheFocusLeaves) {
  Control<QLineEdit>(*form, "NameEdit")->setFocus();
  QTest::keyClicks(Control<QLineEdit>(*form, "NameEdit"), QStringLiteral("Carbine"));
  Control<QLineEdit>(*form, "BoreSizeEdit")->setFocus();
  QTest::keyClicks(Control<QLineEdit>(*form, "BoreSizeEdit"), QStringLiteral("9"));
  Control<QLineEdit>(*form, "NameEdit")->setFocus();
  QTest::keyClicks(Control<QLineEdit>(*form, "NameEdit"), QStringLiteral(" Mk2"));
  form->Undo();
  EXPECT_EQ(Control<QLineEdit>(*form, "NameEdit")->text(), QStringLiteral("Carbine"));
  form->Undo();
  EXPECT_EQ(Control<QLineEdit>(*form, "BoreSizeEdit")->text(), QString());
  form->Undo();
  EXPECT_EQ(Control<QLineEdit>(*form, "NameEdit")->text(), QString());
}

// ---------------------------------------------------------------------------
// Getting the statblock out

TEST_F(FilesTest, CopiesAndExportsOfTheWorkedDesigns) {
  const struct {
    DesignInput design;
    const char* start;
  } cases[] = {
      {examples::TenMmPistol(), "# Pistol (TL9)\n\nDamage: 3d+1 pi+\\\nAcc: 2\\\n"},
      {examples::SevenMmLiquidRifle(), "# LP Rifle (TL9)\n\nDamage: 6d pi\\\n\\-Boosted Velocity"},
      {examples::FourMmGaussRifle(), "# Gauss Rifle (TL10)\n\nDamage: 7d (3) pi-\\\n"},
  };
  for (const auto& c : cases) {
    form->RestoreForm(FormOfDesign(c.design));
    Press(Control<QPushButton>(*form, "DesignButton"));
    const QString pane = Control<QPlainTextEdit>(*form, "StatblockMemo")->toPlainText();
    form->CopyAsMarkdown();
    const QString markdown = QApplication::clipboard()->text();
    EXPECT_TRUE(markdown.startsWith(QString::fromUtf8(c.start))) << markdown.toStdString();
    EXPECT_TRUE(markdown.endsWith(QStringLiteral("\\\nLC 3\n"))) << markdown.toStdString();
    EXPECT_EQ(markdown.count(QStringLiteral("\n\n")), 3);  // title, figures, notes, ammunition
    ASSERT_TRUE(form->ExportStatblockTo(Path("s.md")));
    EXPECT_EQ(QString::fromUtf8(ReadAll(Path("s.md"))), markdown);
    ASSERT_TRUE(form->ExportStatblockTo(Path("s.txt")));
    EXPECT_EQ(QString::fromUtf8(ReadAll(Path("s.txt"))), pane + QLatin1Char('\n'));
  }
  EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(FilesTest, NothingToExportBeforeDesign) {
  chosen = Path("never.txt");
  form->ExportStatblock();
  form->ExportPdf();
  EXPECT_EQ(errors.size(), 2);
  EXPECT_TRUE(chooserCalls.isEmpty());
  EXPECT_FALSE(QFileInfo::exists(Path("never.txt")));
}

TEST_F(FilesTest, ThePdfHoldsTheStatblocksText) {
  form->RestoreForm(FormOfDesign(examples::SevenMmLiquidRifle()));
  Press(Control<QPushButton>(*form, "DesignButton"));
  ASSERT_TRUE(form->ExportPdfTo(Path("rifle.pdf")));
  EXPECT_TRUE(ReadAll(Path("rifle.pdf")).starts_with("%PDF"));
  const QString text = Shell(QStringLiteral("pdftotext -layout '%1' -").arg(Path("rifle.pdf")));
  for (const char* line : {"LP Rifle (TL9)", "Damage: 6d pi", "Range: 640/3600", "Weight: 7.28/0.5",
                           "Cost $1678", "Internal B Cell (UT19)", "Ammunition", "7mmCLM-LP (TL9)",
                           "WPS 0.006", "CPS 0.018", "LC 3"}) {
    const QString expected =
        QString::fromUtf8(line).replace(QLatin1Char('.'), QLatin1Char(TForm1::DecimalSeparator()));
    EXPECT_TRUE(text.contains(QString::fromUtf8(line)) || text.contains(expected))
        << line << "\n"
        << text.toStdString();
  }
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"rifle.pdf"});
}

// A new export is readable as any file the user makes (the umask decides), not
// private like a scratch file; an existing file keeps its permissions.
TEST_F(FilesTest, ExportsTakeTheUsualPermissions) {
  form->RestoreForm(FormOfDesign(examples::TenMmPistol()));
  Press(Control<QPushButton>(*form, "DesignButton"));
  const mode_t old = ::umask(022);
  const bool pdf = form->ExportPdfTo(Path("new.pdf"));
  const bool txt = form->ExportStatblockTo(Path("new.txt"));
  ::umask(old);
  ASSERT_TRUE(pdf && txt) << errors.join('\n').toStdString();
  const auto usual = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther;
  const auto mask = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                    QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther | QFile::WriteOther |
                    QFile::ExeOther;
  EXPECT_EQ(QFile::permissions(Path("new.pdf")) & mask, usual);
  EXPECT_EQ(QFile::permissions(Path("new.txt")) & mask, usual);
  ASSERT_TRUE(QFile::setPermissions(Path("new.pdf"), QFile::ReadOwner | QFile::WriteOwner));
  ASSERT_TRUE(form->ExportPdfTo(Path("new.pdf")));
  EXPECT_EQ(QFile::permissions(Path("new.pdf")) & mask, QFile::ReadOwner | QFile::WriteOwner);
}

// ---------------------------------------------------------------------------
// Start-up: `brennick FILE` and the window's place

TEST_F(FilesTest, AFileNamedAtStartOpens) {
  const FormState saved = FormOfDesign(examples::FourMmGaussRifle());
  form->RestoreForm(saved);
  ASSERT_TRUE(form->SaveFile(Path("gauss.json")));
  WriteAll(Path("broken.json"), "{\"TLEdit\": }");

  struct Case {
    QStringList arguments;
    bool opens;
    int errors;
  };
  const Case cases[] = {
      {{QStringLiteral("brennick")}, false, 0},
      {{QStringLiteral("brennick"), Path("gauss.json")}, true, 0},
      {{QStringLiteral("brennick"), Path("broken.json")}, false, 1},
      {{QStringLiteral("brennick"), Path("missing.json")}, false, 1},
  };
  for (const Case& c : cases) {
    TForm1 fresh;
    fresh.setDialogs(dialogs);
    errors.clear();
    fresh.OpenStartFile(c.arguments);
    EXPECT_EQ(fresh.model().state() == saved, c.opens) << c.arguments.join(' ').toStdString();
    if (!c.opens) {
      EXPECT_EQ(fresh.model().state(), FormState{});
    }
    EXPECT_EQ(fresh.currentFile(), c.opens ? Path("gauss.json") : QString());
    EXPECT_FALSE(fresh.isModified());
    ASSERT_EQ(errors.size(), c.errors);
    if (c.errors > 0) {
      EXPECT_TRUE(errors.front().contains(c.arguments.at(1)));
    }
  }
}

TEST_F(FilesTest, TheWindowReopensWhereItWasLeft) {
  form->show();
  form->setGeometry(40, 50, 1100, 640);
  form->SaveGeometry();
  TForm1 next;
  next.RestoreGeometry();
  EXPECT_EQ(next.geometry(), QRect(40, 50, 1100, 640));

  TForm1::Settings().clear();
  TForm1 first;
  const QRect untouched = first.geometry();
  first.RestoreGeometry();  // nothing kept yet: the window keeps its own size
  EXPECT_EQ(first.geometry(), untouched);
}

// ---------------------------------------------------------------------------
// Recent files, dropping a file

TEST_F(FilesTest, RecentFilesKeepTheNewestTen) {
  for (int i = 0; i < 12; ++i) {
    ASSERT_TRUE(form->SaveFile(Path(QStringLiteral("d%1.json").arg(i))));
  }
  ASSERT_TRUE(form->OpenFile(Path("d3.json")));
  const QStringList recent = form->recentFiles();
  ASSERT_EQ(recent.size(), 10);
  EXPECT_EQ(recent.front(), Path("d3.json"));
  EXPECT_EQ(recent[1], Path("d11.json"));
  EXPECT_FALSE(recent.contains(Path("d1.json")));
  EXPECT_EQ(TForm1::Settings().value("folders/designs").toString(),
            QDir(dir.path()).absolutePath());
}

TEST_F(FilesTest, ADroppedFileOpens) {
  Type(Control<QLineEdit>(*form, "NameEdit"), QStringLiteral("Dropped"));
  ASSERT_TRUE(form->SaveFile(Path("dropped.json")));
  form->FileNew();
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(Path("dropped.json"))});
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(form.get(), &enter);
  EXPECT_TRUE(enter.isAccepted());
  QApplication::sendEvent(form.get(), &drop);
  EXPECT_EQ(Control<QLineEdit>(*form, "NameEdit")->text(), QStringLiteral("Dropped"));
  EXPECT_EQ(form->currentFile(), Path("dropped.json"));
}

// ---------------------------------------------------------------------------
// The armoury

TEST_F(FilesTest, TheArmouryTableEqualsTheCommandLineTable) {
  QDir(dir.path()).mkdir(QStringLiteral("armoury"));
  const QString folder = Path("armoury");
  const char dec = TForm1::DecimalSeparator();
  WriteAll(folder + "/pistol.json", DesignFileText(FormOfDesign(examples::TenMmPistol()), dec));
  WriteAll(folder + "/rifle.json",
           DesignFileText(FormOfDesign(examples::SevenMmLiquidRifle()), dec));
  WriteAll(folder + "/gauss.json", DesignFileText(FormOfDesign(examples::FourMmGaussRifle()), dec));
  WriteAll(folder + "/broken.json", "{");
  WriteAll(folder + "/wrong.json", R"({"BarrelBox": 9})");
  ASSERT_TRUE(form->OpenArmouryFolder(folder));
  TArmouryWindow* armoury = form->armoury();
  ASSERT_NE(armoury, nullptr);
  EXPECT_TRUE(armoury->isVisible());
  // The folder is read off the window thread.
  ASSERT_TRUE(QTest::qWaitFor([armoury] { return !armoury->isReading(); }, 60000));
  EXPECT_EQ(armoury->model()->rowCount(), 5);

  // Export: the rows brennick-cli gives for each file Open reads, in the
  // folder's order; broken.json and wrong.json are rows that say why not.
  QString expectedMarkdown, expectedCsv;
  for (const char* name : {"gauss", "pistol", "rifle"}) {
    const QString file = QStringLiteral("'%1/%2.json'").arg(folder, QLatin1String(name));
    const QString cli = QStringLiteral(BRENNICK_CLI_PATH " --decimal-separator '%1' --table ")
                            .arg(QLatin1Char(dec));
    QString md = Shell(cli + "markdown " + file);
    QString csv = Shell(cli + "csv " + file);
    if (!expectedMarkdown.isEmpty()) {
      md = md.section(QLatin1Char('\n'), 2);
      csv = csv.section(QLatin1Char('\n'), 1);
    } else {
      csv.insert(csv.indexOf(QLatin1String("\r\n")), QLatin1String(",File"));
    }
    // The armoury's CSV names each design's file after the table's columns.
    csv.insert(csv.size() - 2, QLatin1Char(',') + QLatin1String(name) + QLatin1String(".json"));
    expectedMarkdown += md;
    expectedCsv += csv;
  }
  dialogs->fileAnswer = [this](TDialogServices::FileDialog, const QString&, const QString&,
                               const QString& filter) -> TDialogServices::ChosenFile {
    return Path(filter.contains(QLatin1String("csv")) ? "table.csv" : "table.md");
  };
  armoury->ExportMarkdown();
  armoury->ExportCsv();
  EXPECT_EQ(QString::fromUtf8(ReadAll(Path("table.md"))), expectedMarkdown);
  EXPECT_EQ(QString::fromUtf8(ReadAll(Path("table.csv"))), expectedCsv);

  // The filter narrows the rows by name; the columns sort.
  QTest::keyClicks(armoury->filterEdit(), QStringLiteral("rifle"));
  EXPECT_EQ(armoury->filter()->rowCount(), 2);
  armoury->filterEdit()->clear();
  armoury->table()->sortByColumn(kColCost, Qt::AscendingOrder);
  QStringList costs;
  for (int r = 0; r < armoury->filter()->rowCount(); ++r) {
    costs << armoury->filter()->index(r, kColCost).data().toString();
  }
  EXPECT_EQ(costs.mid(0, 3), (QStringList{"$881", "$1678", "$3417"}));

  // A double click opens the design in the form.
  armoury->filterEdit()->setText(QStringLiteral("Gauss"));
  const QModelIndex gauss = armoury->filter()->index(0, kColName);
  ASSERT_EQ(gauss.data().toString(), QStringLiteral("Gauss Rifle"));
  const QPoint at = armoury->table()->visualRect(gauss).center();
  QTest::mouseClick(armoury->table()->viewport(), Qt::LeftButton, {}, at);
  QTest::mouseDClick(armoury->table()->viewport(), Qt::LeftButton, {}, at);
  EXPECT_EQ(form->currentFile(), folder + "/gauss.json");
  EXPECT_EQ(Control<QLineEdit>(*form, "NameEdit")->text(), QStringLiteral("Gauss Rifle"));
}

}  // namespace
