// An export's extension is read without regard to case, as the user's file
// manager reads it: a statblock exported to NAME.MD or NAME.Md is Markdown,
// byte for byte what NAME.md gets, and anything else is plain text. The
// armoury's Markdown and CSV exports keep a name typed with an upper-case
// extension as it is and write their own format into it.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "files/design_file.h"
#include "form/form_member.h"
#include "tests/support/worked_designs.h"
#include "tests/ui/scripted_dialogs.h"
#include "ui/Armoury.h"
#include "ui/Unit1.h"

namespace {

namespace fs = std::filesystem;
using namespace brennick;

constexpr int kGenerous = 60000;  // milliseconds: only a failing test waits this long

std::string ReadAll(const QString& path) {
  std::ifstream in(QFile::encodeName(path).toStdString(), std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

class MarkdownExtensionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    form = std::make_unique<TForm1>();
    form->setDialogs(dialogs);
    form->show();
  }
  QString Path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }

  QTemporaryDir dir;
  std::unique_ptr<TForm1> form;
  QStringList errors;
  std::shared_ptr<ScriptedDialogs> dialogs = [this] {
    auto d = std::make_shared<ScriptedDialogs>();
    d->onError = [this](const QString& message) { errors << message; };
    return d;
  }();
};

TEST_F(MarkdownExtensionTest, AStatblockExportedToAnUpperCaseMdIsMarkdown) {
  form->RestoreForm(FormOfDesign(examples::TenMmPistol()));
  QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("DesignButton")), Qt::LeftButton);
  ASSERT_TRUE(form->ExportStatblockTo(Path("lower.md")));
  ASSERT_TRUE(form->ExportStatblockTo(Path("lower.txt")));
  const std::string markdown = ReadAll(Path("lower.md"));
  const std::string plain = ReadAll(Path("lower.txt"));
  // The title as a heading, the figures each ended by a Markdown line break.
  ASSERT_TRUE(markdown.starts_with("# Pistol (TL9)\n\nDamage: 3d+1 pi+\\\n")) << markdown;
  ASSERT_TRUE(plain.starts_with("Pistol (TL9)\nDamage: 3d+1 pi+\n")) << plain;

  const struct {
    const char* file;
    bool markdown;
  } cases[] = {
      {"upper.MD", true},    {"mixed.Md", true},   {"mixed.mD", true},
      {"two.dots.MD", true}, {"upper.TXT", false}, {"markdown.MDX", false},
      {"md.txt", false},     {"MD", false},        {"notes.MD.txt", false},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(form->ExportStatblockTo(Path(c.file))) << c.file;
    EXPECT_EQ(ReadAll(Path(c.file)), c.markdown ? markdown : plain) << c.file;
  }
  EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(MarkdownExtensionTest, TheArmouryWritesItsFormatToANameWithAnUpperCaseExtension) {
  const fs::path folder = fs::path(QFile::encodeName(dir.path()).toStdString()) / "armoury";
  fs::create_directories(folder);
  SaveDesignFile(folder / "pistol.json", FormOfDesign(examples::TenMmPistol()), '.');
  TArmouryWindow armoury(dialogs);
  ASSERT_TRUE(armoury.OpenFolder(QFile::decodeName(folder.c_str()), '.'));
  ASSERT_TRUE(QTest::qWaitFor([&] { return !armoury.isReading(); }, kGenerous));

  QString typed;
  dialogs->fileAnswer = [&typed](TDialogServices::FileDialog, const QString&, const QString&,
                                 const QString&) { return TDialogServices::ChosenFile(typed); };
  dialogs->replaceAnswer = [](const QString&) { return true; };
  const struct {
    const char* file;
    bool markdown;
    const char* starts;
  } cases[] = {
      {"Arsenal.MD", true, "| Name | TL | Damage |"},
      {"Arsenal.Md", true, "| Name | TL | Damage |"},
      {"Arsenal.CSV", false, "Name,TL,Damage,"},
  };
  for (const auto& c : cases) {
    typed = Path(c.file);
    c.markdown ? armoury.ExportMarkdown() : armoury.ExportCsv();
    const std::string table = ReadAll(typed);
    EXPECT_TRUE(table.starts_with(c.starts)) << c.file << ": " << table;
    EXPECT_NE(table.find(c.markdown ? "| Pistol | 9 | 3d+1 pi+ |" : "\r\nPistol,9,3d+1 pi+,"),
              std::string::npos)
        << c.file << ": " << table;
    // Nothing written beside it under the lower-case extension.
    EXPECT_FALSE(fs::exists(QFile::encodeName(typed + (c.markdown ? ".md" : ".csv")).toStdString()))
        << c.file;
  }
  EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

}  // namespace
