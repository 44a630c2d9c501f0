// The armoury window: a folder is read off the window thread, with progress
// and Cancel; a second folder cancels the first; a file the window cannot
// open is one row beside the designs; file names are bytes; long texts show
// their start while the exports keep them whole. A file reader that waits at
// a gate paces the worker, so no test depends on timing.
#include "ui/Armoury.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <condition_variable>
#include <fstream>
#include <mutex>
#include <sstream>
#include <thread>

#include "files/design_file.h"
#include "form/form_member.h"
#include "tests/support/worked_designs.h"
#include "tests/ui/scripted_dialogs.h"
#include "ui/ShownText.h"

namespace {

namespace fs = std::filesystem;
using namespace brennick;

constexpr int kGenerous = 60000;  // milliseconds: only a failing test waits this long

// Holds the worker at one file until the test opens it.
class Gate {
 public:
  void Wait() {
    std::unique_lock lock(mutex_);
    opened_.wait(lock, [this] { return open_; });
  }
  void Open() {
    {
      const std::lock_guard lock(mutex_);
      open_ = true;
    }
    opened_.notify_all();
  }

 private:
  std::mutex mutex_;
  std::condition_variable opened_;
  bool open_ = false;
};

class ArmouryWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    dialogs->onError = [this](const QString& message) { errors << message; };
    window = std::make_unique<TArmouryWindow>(dialogs);
    window->setProgressDelay(0);
    window->show();
  }
  void TearDown() override {
    gate.Open();  // a worker still within a file may finish before the window goes
    window.reset();
    // By bytes: QTemporaryDir passes over a name that is no UTF-8 and leaves it.
    std::error_code ignored;
    fs::remove_all(QFile::encodeName(dir.path()).toStdString(), ignored);
  }

  fs::path Folder(const std::string& name) const {
    const fs::path folder = fs::path(QFile::encodeName(dir.path()).toStdString()) / name;
    fs::create_directories(folder);
    return folder;
  }
  static QString Q(const fs::path& path) { return QFile::decodeName(path.native().c_str()); }
  static void Save(const fs::path& file, const DesignInput& design) {
    SaveDesignFile(file, FormOfDesign(design), '.');
  }
  // A reader that stops at the file named `held` until the gate opens, and
  // notes whether it ran off the window thread.
  void HoldAt(const std::string& held) {
    window->setFileReader([this, held](const fs::path& file, char dec) {
      if (std::this_thread::get_id() != windowThread) offThread = true;
      if (file.filename() == held) gate.Wait();
      ArmouryRow row = ReadArmouryFile(file, dec);
      if (file.filename() == held) heldDone = true;
      return row;
    });
  }
  bool WaitForProgress(int read) {
    return QTest::qWaitFor(
        [&] {
          return window->progressBar()->isVisible() && window->progressBar()->value() == read;
        },
        kGenerous);
  }
  bool WaitForRead() {
    return QTest::qWaitFor([&] { return !window->isReading(); }, kGenerous);
  }
  QString Cell(int row, int column) const {
    return window->model()->index(row, column).data().toString();
  }
  QStringList Names() const {
    QStringList names;
    for (int r = 0; r < window->model()->rowCount(); ++r) names << Cell(r, kColName);
    return names;
  }

  QTemporaryDir dir;
  std::shared_ptr<ScriptedDialogs> dialogs = std::make_shared<ScriptedDialogs>();
  std::unique_ptr<TArmouryWindow> window;
  QStringList errors;
  Gate gate;
  std::thread::id windowThread = std::this_thread::get_id();
  std::atomic<bool> offThread{false};
  std::atomic<bool> heldDone{false};
};

TEST_F(ArmouryWindowTest, AReadShowsProgressAndCancelShowsTheFilesReadSoFar) {
  const fs::path folder = Folder("armoury");
  Save(folder / "a.json", examples::TenMmPistol());
  Save(folder / "b.json", examples::SevenMmLiquidRifle());
  Save(folder / "c.json", examples::FourMmGaussRifle());
  HoldAt("b.json");
  QSignalSpy finished(window.get(), &TArmouryWindow::readingFinished);

  ASSERT_TRUE(window->OpenFolder(Q(folder), '.'));
  EXPECT_TRUE(window->isReading());
  // The window thread goes on with its events while the worker is held.
  ASSERT_TRUE(WaitForProgress(1));
  EXPECT_EQ(window->progressBar()->maximum(), 3);
  EXPECT_TRUE(window->cancelButton()->isVisible());
  EXPECT_TRUE(offThread);
  EXPECT_EQ(window->model()->rowCount(), 0);

  QTest::mouseClick(window->cancelButton(), Qt::LeftButton);
  EXPECT_FALSE(window->isReading());
  EXPECT_EQ(finished.count(), 1);
  EXPECT_EQ(Names(), QStringList{"Pistol"});
  EXPECT_FALSE(window->progressBar()->isVisible());
  EXPECT_FALSE(window->cancelButton()->isVisible());
  EXPECT_EQ(window->countLabel()->text(),
            QStringLiteral("1 design(s) (cancelled: 2 file(s) not read)"));
  EXPECT_EQ(window->folder(), Q(folder));

  // The cancelled worker ends its file; nothing of it reaches the table.
  gate.Open();
  ASSERT_TRUE(QTest::qWaitFor([&] { return heldDone.load(); }, kGenerous));
  QTest::qWait(100);
  EXPECT_EQ(Names(), QStringList{"Pistol"});
  EXPECT_EQ(finished.count(), 1);

  // Read again to the end: the whole folder, and the count says no more.
  ASSERT_TRUE(window->OpenFolder(Q(folder), '.'));
  ASSERT_TRUE(WaitForRead());
  EXPECT_EQ(Names(), (QStringList{"Pistol", "LP Rifle", "Gauss Rifle"}));
  EXPECT_EQ(window->countLabel()->text(), QStringLiteral("3 design(s)"));
  EXPECT_TRUE(errors.isEmpty());
}

TEST_F(ArmouryWindowTest, ASecondFolderCancelsTheFirst) {
  const fs::path first = Folder("first");
  Save(first / "a.json", examples::TenMmPistol());
  Save(first / "b.json", examples::SevenMmLiquidRifle());
  const fs::path second = Folder("second");
  Save(second / "c.json", examples::FourMmGaussRifle());
  HoldAt("b.json");
  QSignalSpy finished(window.get(), &TArmouryWindow::readingFinished);

  ASSERT_TRUE(window->OpenFolder(Q(first), '.'));
  ASSERT_TRUE(WaitForProgress(1));
  ASSERT_TRUE(window->OpenFolder(Q(second), '.'));
  ASSERT_TRUE(WaitForRead());
  EXPECT_EQ(finished.count(), 1);
  EXPECT_EQ(Names(), QStringList{"Gauss Rifle"});
  EXPECT_EQ(window->folder(), Q(second));
  EXPECT_EQ(window->windowTitle(), QStringLiteral("second - Armoury"));

  gate.Open();
  ASSERT_TRUE(QTest::qWaitFor([&] { return heldDone.load(); }, kGenerous));
  QTest::qWait(100);
  EXPECT_EQ(Names(), QStringList{"Gauss Rifle"});
  EXPECT_EQ(finished.count(), 1);

  // A folder that cannot be listed says why and leaves the table as it was.
  EXPECT_FALSE(window->OpenFolder(Q(second / "absent"), '.'));
  ASSERT_EQ(errors.size(), 1);
  EXPECT_TRUE(errors[0].startsWith(QStringLiteral("Cannot open the armoury")))
      << errors[0].toStdString();
  EXPECT_FALSE(window->isReading());
  EXPECT_EQ(Names(), QStringList{"Gauss Rifle"});
}

// A file of 1 MiB holding an array of empty objects is one row that says why
// it is no design, beside the designs; a name that is no UTF-8 shows with a
// replacement character and reaches the design window as the same bytes.
TEST_F(ArmouryWindowTest, AFileOpenRefusesIsOneRowAndNamesAreBytes) {
  const fs::path folder = Folder("mixed");
  const std::string odd = "caf\xFF.json";
  Save(folder / odd, examples::TenMmPistol());
  std::string many = "[";
  while (many.size() + 3 < (std::size_t{1} << 20)) many += "{},";
  many += "{}]";
  std::ofstream(folder / "many.json", std::ios::binary) << many;
  Save(folder / "rifle.json", examples::SevenMmLiquidRifle());

  ASSERT_TRUE(window->OpenFolder(Q(folder), '.'));
  ASSERT_TRUE(WaitForRead());
  ASSERT_EQ(window->model()->rowCount(), 3);
  const int file = TArmouryModel::kFileColumn;
  EXPECT_EQ(Cell(0, file), QStringLiteral(u"caf\uFFFD.json"));
  EXPECT_EQ(Cell(0, kColName), QStringLiteral("Pistol"));
  EXPECT_EQ(Cell(1, kColName), QStringLiteral("many.json"));
  EXPECT_FALSE(window->model()->rows()[1].design);
  EXPECT_FALSE(Cell(1, kColError).isEmpty());
  EXPECT_EQ(window->model()->index(1, kColError).data(Qt::ForegroundRole).value<QColor>(),
            QColor(Qt::darkRed));
  EXPECT_EQ(Cell(2, kColName), QStringLiteral("LP Rifle"));

  fs::path opened;
  QObject::connect(window.get(), &TArmouryWindow::openDesign,
                   [&opened](const fs::path& path) { opened = path; });
  const QPoint at = window->table()->visualRect(window->filter()->index(0, kColName)).center();
  QTest::mouseClick(window->table()->viewport(), Qt::LeftButton, {}, at);
  QTest::mouseDClick(window->table()->viewport(), Qt::LeftButton, {}, at);
  EXPECT_EQ(opened.native(), (folder / odd).native());
}

TEST_F(ArmouryWindowTest, ALongNameShowsItsStartAndIsExportedWhole) {
  const fs::path folder = Folder("long");
  DesignInput pistol = examples::TenMmPistol();
  pistol.NameEdit = std::string(5000, 'W');
  Save(folder / "long.json", pistol);
  ASSERT_TRUE(window->OpenFolder(Q(folder), '.'));
  ASSERT_TRUE(WaitForRead());
  const QString shown =
      QString(1000, QLatin1Char('W')) + QStringLiteral(u"\u2026(4,000 more characters)");
  EXPECT_EQ(Cell(0, kColName), shown);
  EXPECT_EQ(window->model()->index(0, kColName).data(Qt::ToolTipRole).toString(), shown);

  const QString table = dir.filePath(QStringLiteral("table.csv"));
  ASSERT_TRUE(window->ExportTable(table, TableFormat::Csv));
  std::ifstream in(QFile::encodeName(table).toStdString(), std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_NE(text.str().find("\n" + std::string(5000, 'W') + ","), std::string::npos);
}

}  // namespace
