// Open Armoury's folder dialog starts in the last folder of designs used: the
// armoury last opened, or the folder of a design opened or saved after it.
#include <QAction>
#include <QDir>
#include <QSettings>
#include <QTemporaryDir>

#include "tests/ui/support.h"
#include "ui/Armoury.h"

namespace {

class ArmouryStartTest : public FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    ASSERT_TRUE(dir.isValid());
    QSettings settings = TForm1::Settings();
    for (const char* key :
         {"folders/designs", "folders/armoury", "folders/recentAtArmoury", "recentFiles"}) {
      settings.remove(QLatin1String(key));
    }
    for (const char* folder : {"designs", "armoury", "saved"}) QDir(dir.path()).mkdir(folder);
    dialogs->folderAnswer = [](const QString&, const QString&) { return QString(); };
  }
  QString Path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }
  // Where the folder dialog starts.
  QString Start() {
    Control<QAction>(*form, "OpenArmouryAction")->trigger();
    const QString asked = dialogs->asked.value(dialogs->asked.size() - 1);
    const QString prefix = QStringLiteral("folder: Open Armoury | ");
    EXPECT_TRUE(asked.startsWith(prefix)) << asked.toStdString();
    return asked.mid(prefix.size());
  }

  QTemporaryDir dir;
};

TEST_F(ArmouryStartTest, TheDialogStartsInTheLastFolderOfDesigns) {
  struct Step {
    const char* what;
    std::function<void()> act;
    QString start;
  };
  const Step steps[] = {
      {"nothing used yet", [] {}, QDir::homePath()},
      {"two designs saved",
       [this] {
         ASSERT_TRUE(form->SaveFile(Path("designs/first.json")));
         ASSERT_TRUE(form->SaveFile(Path("designs/second.json")));
       },
       Path("designs")},
      {"an armoury opened after it",
       [this] {
         ASSERT_TRUE(form->OpenArmouryFolder(Path("armoury")));
         ASSERT_TRUE(QTest::qWaitFor([this] { return !form->armoury()->isReading(); }, 60000));
       },
       Path("armoury")},
      {"the first design opened again, in the same folder as before",
       [this] { ASSERT_TRUE(form->OpenFile(Path("designs/first.json"))); }, Path("designs")},
      {"the armoury opened again",
       [this] {
         ASSERT_TRUE(form->OpenArmouryFolder(Path("armoury")));
         ASSERT_TRUE(QTest::qWaitFor([this] { return !form->armoury()->isReading(); }, 60000));
       },
       Path("armoury")},
      {"a design saved elsewhere after the armoury",
       [this] { ASSERT_TRUE(form->SaveFile(Path("saved/third.json"))); }, Path("saved")},
      {"that folder gone: the armoury's",
       [this] {
         ASSERT_TRUE(QFile::remove(Path("saved/third.json")));
         ASSERT_TRUE(QDir(dir.path()).rmdir(QStringLiteral("saved")));
       },
       Path("armoury")},
  };
  for (const Step& step : steps) {
    step.act();
    EXPECT_EQ(Start(), step.start) << step.what;
  }
  EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

}  // namespace
