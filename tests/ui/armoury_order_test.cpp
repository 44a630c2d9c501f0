// Sorting an armoury column orders its figures by value, sign and all:
// -10 < -3 < -1 < 0 < 2 < 12, whatever their texts would say, and descending
// is the same order reversed. Texts that are no figure come after them.
#include <gtest/gtest.h>

#include <QHeaderView>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>

#include "files/design_file.h"
#include "form/form_member.h"
#include "tests/support/worked_designs.h"
#include "tests/ui/scripted_dialogs.h"
#include "ui/Armoury.h"

namespace {

namespace fs = std::filesystem;
using namespace brennick;

constexpr int kGenerous = 60000;  // milliseconds: only a failing test waits this long

class ArmouryOrderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    window = std::make_unique<TArmouryWindow>(dialogs);
    window->show();
  }

  // A folder of pistols whose TL (and name) are the given texts, saved in
  // the order given, so the folder's order is not the sorted one.
  void OpenPistols(const std::vector<std::string>& tls) {
    const fs::path folder = fs::path(QFile::encodeName(dir.path()).toStdString()) / "armoury";
    fs::create_directories(folder);
    int n = 0;
    for (const std::string& tl : tls) {
      DesignInput design = examples::TenMmPistol();
      design.NameEdit = tl;
      design.TLEdit = tl;
      char file[32];
      std::snprintf(file, sizeof file, "%02d.json", ++n);
      SaveDesignFile(folder / file, FormOfDesign(design), '.');
    }
    ASSERT_TRUE(window->OpenFolder(QFile::decodeName(folder.c_str()), '.'));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window->isReading(); }, kGenerous));
    ASSERT_EQ(window->table()->model()->rowCount(), static_cast<int>(tls.size()));
  }

  // Clicks the column's header as the user does.
  void ClickHeader(int column) {
    QHeaderView* header = window->table()->horizontalHeader();
    const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                    header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
  }

  // The column top to bottom, as the table shows it.
  std::vector<std::string> Shown(int column) const {
    const QAbstractItemModel* shown = window->table()->model();
    std::vector<std::string> cells;
    for (int r = 0; r < shown->rowCount(); ++r) {
      cells.push_back(shown->index(r, column).data().toString().toStdString());
    }
    return cells;
  }

  // Sorted by a click on the header, ascending and then descending.
  void ExpectSorted(int column, const std::vector<std::string>& ascending) {
    ClickHeader(column);
    QHeaderView* header = window->table()->horizontalHeader();
    ASSERT_EQ(header->sortIndicatorSection(), column);
    if (header->sortIndicatorOrder() != Qt::AscendingOrder) ClickHeader(column);
    ASSERT_EQ(header->sortIndicatorOrder(), Qt::AscendingOrder);
    EXPECT_EQ(Shown(column), ascending) << "column " << column << " ascending";
    ClickHeader(column);
    ASSERT_EQ(header->sortIndicatorOrder(), Qt::DescendingOrder);
    EXPECT_EQ(Shown(column), std::vector<std::string>(ascending.rbegin(), ascending.rend()))
        << "column " << column << " descending";
  }

  QTemporaryDir dir;
  std::unique_ptr<TArmouryWindow> window;
  QStringList errors;
  std::shared_ptr<ScriptedDialogs> dialogs = [this] {
    auto d = std::make_shared<ScriptedDialogs>();
    d->onError = [this](const QString& message) { errors << message; };
    return d;
  }();
};

TEST_F(ArmouryOrderTest, NegativeFiguresSortBelowZeroByTheirValue) {
  OpenPistols({"2", "-1", "0", "-3", "12", "-10"});
  const std::vector<std::string> ascending = {"-10", "-3", "-1", "0", "2", "12"};
  ExpectSorted(kColTL, ascending);
  ExpectSorted(kColName, ascending);
  EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(ArmouryOrderTest, FractionsAndTextsTakeTheirPlaces) {
  // -0.5 lies between -1 and 0, -1.5 between -3 and -1; a name that is no
  // figure comes after every figure.
  OpenPistols({"0", "Zed", "-1.5", "-0.5", "-3", "1.25", "-1"});
  ExpectSorted(kColName, {"-3", "-1.5", "-1", "-0.5", "0", "1.25", "Zed"});
  EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

}  // namespace
