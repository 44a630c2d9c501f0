// The armoury without a mouse: sorting from the Sort by boxes in step with
// the header, Tab in and out of the table, Return in the filter opening a
// design, the commands as actions of the window; and what the view shows
// after a sort.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
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

class ArmouryKeyboardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    dialogs->onError = [this](const QString& message) { errors << message; };
    window = std::make_unique<TArmouryWindow>(dialogs);
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QObject::connect(window.get(), &TArmouryWindow::openDesign,
                     [this](const fs::path& file) { opened.push_back(file.filename().string()); });
  }

  // The worked designs, files a.json to c.json, in a folder; then `extra`
  // pistols named "Pistol 01" on.
  void OpenDesigns(int extra = 0) {
    const fs::path folder = fs::path(QFile::encodeName(dir.path()).toStdString()) / "armoury";
    fs::create_directories(folder);
    SaveDesignFile(folder / "a.json", FormOfDesign(examples::TenMmPistol()), '.');
    SaveDesignFile(folder / "b.json", FormOfDesign(examples::SevenMmLiquidRifle()), '.');
    SaveDesignFile(folder / "c.json", FormOfDesign(examples::FourMmGaussRifle()), '.');
    for (int i = 1; i <= extra; ++i) {
      DesignInput pistol = examples::TenMmPistol();
      char name[32];
      std::snprintf(name, sizeof name, "Pistol %02d", i);
      pistol.NameEdit = name;
      SaveDesignFile(folder / (std::string("p") + name + ".json"), FormOfDesign(pistol), '.');
    }
    ASSERT_TRUE(window->OpenFolder(QFile::decodeName(folder.c_str()), '.'));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window->isReading(); }, kGenerous));
  }

  QWidget* Focus() const { return QApplication::focusWidget(); }
  void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(Focus(), key, modifiers);
  }
  QStringList Shown(int column) const {
    QStringList cells;
    const QAbstractItemModel* shown = window->table()->model();
    for (int r = 0; r < shown->rowCount(); ++r) cells << shown->index(r, column).data().toString();
    return cells;
  }
  QHeaderView* Header() const { return window->table()->horizontalHeader(); }

  QTemporaryDir dir;
  std::shared_ptr<ScriptedDialogs> dialogs = std::make_shared<ScriptedDialogs>();
  std::unique_ptr<TArmouryWindow> window;
  QStringList errors;
  std::vector<std::string> opened;
};

TEST_F(ArmouryKeyboardTest, SortsFromTheKeyboardInStepWithTheHeader) {
  OpenDesigns();
  Key(Qt::Key_F, Qt::ControlModifier);
  ASSERT_EQ(Focus(), window->filterEdit());
  Key(Qt::Key_Tab);
  ASSERT_EQ(Focus(), window->sortColumnBox());
  EXPECT_EQ(window->sortColumnBox()->currentText(), QStringLiteral("Folder order"));
  Key(Qt::Key_C);  // "Cost", the one column that begins with C
  EXPECT_EQ(window->sortColumnBox()->currentText(), QStringLiteral("Cost"));
  EXPECT_EQ(Header()->sortIndicatorSection(), kColCost);
  EXPECT_EQ(Header()->sortIndicatorOrder(), Qt::AscendingOrder);
  EXPECT_EQ(Shown(kColCost), (QStringList{"$881", "$1678", "$3417"}));
  Key(Qt::Key_Tab);
  ASSERT_EQ(Focus(), window->sortOrderBox());
  Key(Qt::Key_Down);
  EXPECT_EQ(Header()->sortIndicatorOrder(), Qt::DescendingOrder);
  EXPECT_EQ(Shown(kColCost), (QStringList{"$3417", "$1678", "$881"}));

  // A header's click moves the boxes.
  const QPoint at(Header()->sectionViewportPosition(kColName) + 5, Header()->height() / 2);
  QTest::mouseClick(Header()->viewport(), Qt::LeftButton, {}, at);
  EXPECT_EQ(window->sortColumnBox()->currentText(), QStringLiteral("Name"));
  EXPECT_EQ(window->sortOrderBox()->currentIndex(), Header()->sortIndicatorOrder());

  // Back to the folder's order.
  window->sortColumnBox()->setFocus();
  Key(Qt::Key_Home);
  EXPECT_EQ(Header()->sortIndicatorSection(), -1);
  window->sortOrderBox()->setCurrentIndex(0);
  EXPECT_EQ(Shown(kColName), (QStringList{"Pistol", "LP Rifle", "Gauss Rifle"}));
  EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(ArmouryKeyboardTest, TabAndShiftTabLeaveTheTable) {
  OpenDesigns();
  window->sortOrderBox()->setFocus();
  Key(Qt::Key_Tab);
  ASSERT_EQ(Focus(), window->table());
  Key(Qt::Key_Down);  // the arrows move within it
  ASSERT_EQ(Focus(), window->table());
  Key(Qt::Key_Tab);
  EXPECT_EQ(Focus()->objectName(), QStringLiteral("ArmouryExportMarkdown"));
  Key(Qt::Key_Tab, Qt::ShiftModifier);
  ASSERT_EQ(Focus(), window->table());
  Key(Qt::Key_Tab, Qt::ShiftModifier);
  EXPECT_EQ(Focus(), window->sortOrderBox());
}

TEST_F(ArmouryKeyboardTest, ReturnInTheFilterOpensADesign) {
  OpenDesigns();
  struct Case {
    const char* typed;
    std::vector<std::string> opened;
    bool tableFocused;
  };
  const Case cases[] = {
      {"gauss", {"c.json"}, false},  // the one row left
      {"RIFLE", {}, true},           // two left, none chosen: the table takes the keys
      {"zzz", {}, false},            // none left: nothing
  };
  for (const Case& c : cases) {
    opened.clear();
    window->table()->clearSelection();
    Key(Qt::Key_F, Qt::ControlModifier);
    ASSERT_EQ(Focus(), window->filterEdit());
    QTest::keyClicks(window->filterEdit(), QLatin1String(c.typed));
    Key(Qt::Key_Return);
    EXPECT_EQ(opened, c.opened) << c.typed;
    EXPECT_EQ(Focus() == window->table(), c.tableFocused) << c.typed;
  }
  // From the table, at the first of the two rifles: Down and Return open the
  // second.
  Key(Qt::Key_F, Qt::ControlModifier);
  QTest::keyClicks(window->filterEdit(), QStringLiteral("rifle"));
  Key(Qt::Key_Return);
  ASSERT_EQ(Focus(), window->table());
  Key(Qt::Key_Down);
  Key(Qt::Key_Return);
  EXPECT_EQ(opened, std::vector<std::string>{"c.json"});
  // Back in the filter, the row selected opens.
  opened.clear();
  Key(Qt::Key_F, Qt::ControlModifier);
  Key(Qt::Key_Return);
  EXPECT_EQ(opened, std::vector<std::string>{"c.json"});
}

// Each command with a key is an action of the window, and the key runs it.
TEST_F(ArmouryKeyboardTest, CommandsAreActionsOfTheWindow) {
  struct Case {
    const char* name;
    QKeySequence key;
  };
  const Case cases[] = {
      {"ArmouryFindAction", QKeySequence::Find},
      {"ArmouryPrintAction", QKeySequence::Print},
      {"ArmouryExportPdfAction", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E)},
      {"ArmouryCloseAction", QKeySequence::Close},
  };
  for (const Case& c : cases) {
    QAction* action = nullptr;
    for (QAction* a : window->actions()) {
      if (a->objectName() == QLatin1String(c.name)) action = a;
    }
    ASSERT_NE(action, nullptr) << c.name;
    EXPECT_EQ(action->shortcut(), c.key) << c.name;
    EXPECT_FALSE(action->text().isEmpty()) << c.name;
  }
  OpenDesigns();
  dialogs->ScriptPrint([](QPrinter&) { return false; }).ScriptSave(TDialogServices::ChosenFile());
  window->table()->setFocus();
  Key(Qt::Key_P, Qt::ControlModifier);
  Key(Qt::Key_E, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_TRUE(dialogs->scriptDone());
  EXPECT_EQ(dialogs->asked.mid(0, 2),
            (QStringList{"print", "save: Export Catalogue as PDF | " +
                                      dir.filePath("armoury/armoury.pdf") + " | PDF (*.pdf)"}));
  Key(Qt::Key_W, Qt::ControlModifier);
  EXPECT_FALSE(window->isVisible());
}

// After a sort the view follows the row selected, or shows the top of the
// new order when none is.
TEST_F(ArmouryKeyboardTest, ASortShowsTheSelectedRowOrTheTop) {
  OpenDesigns(60);
  QTableView* table = window->table();
  QScrollBar* bar = table->verticalScrollBar();
  ASSERT_TRUE(QTest::qWaitFor([bar] { return bar->maximum() > 0; }, kGenerous))
      << "the rows must be more than the view shows";

  // None selected, scrolled to the end: the sort shows the top.
  bar->setValue(bar->maximum());
  window->sortColumnBox()->setCurrentIndex(kColName + 1);
  EXPECT_EQ(bar->value(), 0);

  // The last row selected, then sorted descending: it is now near the top.
  const int last = table->model()->rowCount() - 1;
  table->selectRow(last);
  table->scrollToBottom();
  const QString name = table->model()->index(last, kColName).data().toString();
  window->sortOrderBox()->setCurrentIndex(1);
  const QModelIndex selected = table->selectionModel()->selectedRows().value(0);
  ASSERT_TRUE(selected.isValid());
  EXPECT_EQ(selected.data().toString(), name);
  EXPECT_TRUE(table->viewport()->rect().intersects(table->visualRect(selected)));

  // Back ascending: the same row, at the bottom again, still in view.
  window->sortOrderBox()->setCurrentIndex(0);
  const QModelIndex again = table->selectionModel()->selectedRows().value(0);
  EXPECT_EQ(again.row(), last);
  EXPECT_TRUE(table->viewport()->rect().intersects(table->visualRect(again)));
  EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

}  // namespace
