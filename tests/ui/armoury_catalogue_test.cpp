// What the armoury writes: the table's exports hold the rows shown, in the
// order shown (brennick-cli --table's rows, and in CSV each design's file
// besides), and the catalogue holds the statblocks of the designs selected,
// or of all shown, each whole on one page, in the order shown.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QFile>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPrinter>
#include <QProcess>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>
#include <fstream>

#include "files/design_file.h"
#include "form/form_member.h"
#include "tests/support/worked_designs.h"
#include "tests/ui/scripted_dialogs.h"
#include "ui/Armoury.h"

namespace {

namespace fs = std::filesystem;
using namespace brennick;

constexpr int kGenerous = 60000;  // milliseconds: only a failing test waits this long

QString RunProgram(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.start(program, arguments);
  EXPECT_TRUE(process.waitForFinished(30000));
  EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
  return QString::fromUtf8(process.readAllStandardOutput());
}

// Text as the PDF's text gives it, every run of blanks one space: lines a
// column wraps read as the line itself. The PDF's text is taken in the order
// it was laid out (pdftotext -raw), which keeps a line that wraps after a
// hyphen as it is.
QString Flat(const QString& text) {
  return text.simplified();
}

class ArmouryCatalogueTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    dialogs->onError = [this](const QString& message) { errors << message; };
    window = std::make_unique<TArmouryWindow>(dialogs);
    window->show();
    folder = fs::path(QFile::encodeName(dir.path()).toStdString()) / "armoury";
    fs::create_directories(folder);
    Add("a.json", examples::TenMmPistol());
    Add("b.json", examples::SevenMmLiquidRifle());
    Add("c.json", examples::FourMmGaussRifle());
    for (int i = 1; i <= 6; ++i) {
      DesignInput pistol = examples::TenMmPistol();
      pistol.NameEdit = "Pistol 0" + std::to_string(i);
      Add("p" + std::to_string(i) + ".json", pistol);
    }
    std::ofstream(folder / "broken.json") << "{";
    ASSERT_TRUE(window->OpenFolder(Q(folder), '.'));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window->isReading(); }, kGenerous));
    ASSERT_EQ(window->model()->rowCount(), 10);
  }

  void Add(const std::string& file, const DesignInput& design) {
    SaveDesignFile(folder / file, FormOfDesign(design), '.');
    designs[design.NameEdit] = design;
  }
  static QString Q(const fs::path& path) { return QFile::decodeName(path.native().c_str()); }
  QString Path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }
  static QString ReadAll(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return QString::fromUtf8(file.readAll());
  }
  void SortByName(Qt::SortOrder order) {
    window->sortColumnBox()->setCurrentIndex(kColName + 1);
    window->sortOrderBox()->setCurrentIndex(order == Qt::AscendingOrder ? 0 : 1);
  }
  QStringList ShownNames() const {
    QStringList names;
    const QAbstractItemModel* shown = window->table()->model();
    for (int r = 0; r < shown->rowCount(); ++r)
      names << shown->index(r, kColName).data().toString();
    return names;
  }
  void Select(const QStringList& names) {
    QAbstractItemModel* shown = window->table()->model();
    for (int r = 0; r < shown->rowCount(); ++r) {
      if (names.contains(shown->index(r, kColName).data().toString())) {
        window->table()->selectionModel()->select(
            shown->index(r, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
      }
    }
  }
  // The statblock the design window shows for the design named `name`.
  QString Statblock(const std::string& name) const {
    QStringList lines;
    for (const std::string_view line : RunDesign(designs.at(name), '.').lines) {
      lines << QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()));
    }
    return Flat(lines.join(QLatin1Char(' ')));
  }
  // The text of each page of a PDF.
  static QStringList Pages(const QString& pdf) {
    QStringList pages =
        RunProgram(QStringLiteral("pdftotext"), {QStringLiteral("-raw"), pdf, QStringLiteral("-")})
            .split(QLatin1Char('\f'));
    if (!pages.isEmpty() && Flat(pages.back()).isEmpty()) pages.removeLast();
    for (QString& page : pages) page = Flat(page);
    return pages;
  }
  // Each statblock whole on one page, in the order given, and only those.
  void ExpectCatalogue(const QString& pdf, const std::vector<std::string>& names, int leastPages) {
    const QStringList pages = Pages(pdf);
    ASSERT_GE(pages.size(), leastPages);
    EXPECT_TRUE(pages[0].startsWith(QStringLiteral("Brennick weapon catalogue armoury, ")))
        << pages[0].left(80).toStdString();
    std::pair<qsizetype, qsizetype> last{-1, -1};
    for (const std::string& name : names) {
      const QString statblock = Statblock(name);
      std::pair<qsizetype, qsizetype> at{-1, -1};
      for (qsizetype p = 0; p < pages.size() && at.first < 0; ++p) {
        const qsizetype found = pages[p].indexOf(statblock);
        if (found >= 0) at = {p, found};
      }
      ASSERT_GE(at.first, 0) << name << " is not whole on any page:\n" << statblock.toStdString();
      EXPECT_GT(at, last) << name << " is out of order";
      last = at;
    }
    // The designs left out are not there.
    for (const auto& [name, design] : designs) {
      if (std::find(names.begin(), names.end(), name) != names.end()) continue;
      for (const QString& page : pages) {
        EXPECT_FALSE(page.contains(Statblock(name))) << name;
      }
    }
  }

  QTemporaryDir dir;
  fs::path folder;
  std::map<std::string, DesignInput> designs;
  std::shared_ptr<ScriptedDialogs> dialogs = std::make_shared<ScriptedDialogs>();
  std::unique_ptr<TArmouryWindow> window;
  QStringList errors;
};

// A filter and a sort: the exports hold the rows shown, in their order, each
// the row brennick-cli --table gives for its file; CSV names the file last.
TEST_F(ArmouryCatalogueTest, ExportsWriteTheRowsShownInTheOrderShown) {
  QTest::keyClicks(window->filterEdit(), QStringLiteral("o"));  // the pistols and broken.json
  SortByName(Qt::DescendingOrder);
  const QStringList shown = ShownNames();
  ASSERT_EQ(shown, (QStringList{"Pistol 06", "Pistol 05", "Pistol 04", "Pistol 03", "Pistol 02",
                                "Pistol 01", "Pistol", "broken.json"}));
  ASSERT_TRUE(window->ExportTable(Path("shown.csv"), TableFormat::Csv));
  ASSERT_TRUE(window->ExportTable(Path("shown.md"), TableFormat::Markdown));

  const QString cli = QStringLiteral(BRENNICK_CLI_PATH);
  const auto cliRow = [&](const char* file, const char* format) {
    const QString table =
        RunProgram(cli, {QStringLiteral("--table"), QLatin1String(format), Q(folder / file)});
    return table.section(QLatin1Char('\n'), format == std::string_view("csv") ? 1 : 2);
  };
  // broken.json is no design: no row.
  const char* files[] = {"p6.json", "p5.json", "p4.json", "p3.json",
                         "p2.json", "p1.json", "a.json"};
  QString csv = QStringLiteral(
      "Name,TL,Damage,Acc,Range,Weight,RoF,Shots,ST,Bulk,Rcl,Malf,Cost,HP,LC,Error,File\r\n");
  QString markdown =
      RunProgram(cli, {QStringLiteral("--table"), QStringLiteral("markdown"), Q(folder / "a.json")})
          .section(QLatin1Char('\n'), 0, 1) +
      QLatin1Char('\n');
  for (const char* file : files) {
    QString row = cliRow(file, "csv");
    ASSERT_TRUE(row.endsWith(QStringLiteral("\r\n")));
    row.insert(row.size() - 2, QLatin1Char(',') + QLatin1String(file));
    csv += row;
    markdown += cliRow(file, "markdown");
  }
  EXPECT_EQ(ReadAll(Path("shown.csv")), csv);
  EXPECT_EQ(ReadAll(Path("shown.md")), markdown);
  EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(ArmouryCatalogueTest, TheCatalogueHoldsTheSelectedStatblocksWholeInOrder) {
  SortByName(Qt::DescendingOrder);
  // A file that is no design prints nothing.
  Select({"Gauss Rifle", "Pistol 03", "broken.json"});
  ASSERT_TRUE(window->ExportCatalogueTo(Path("selected.pdf")));
  ExpectCatalogue(Path("selected.pdf"), {"Pistol 03", "Gauss Rifle"}, 1);
  EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(ArmouryCatalogueTest, WithNoneSelectedEveryDesignShownOverSeveralPages) {
  SortByName(Qt::AscendingOrder);
  // Printed to a file through the print dialog.
  dialogs->ScriptPrint([this](QPrinter& printer) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(Path("all.pdf"));
    return true;
  });
  window->PrintCatalogue();
  EXPECT_TRUE(dialogs->scriptDone());
  ExpectCatalogue(Path("all.pdf"),
                  {"Gauss Rifle", "LP Rifle", "Pistol", "Pistol 01", "Pistol 02", "Pistol 03",
                   "Pistol 04", "Pistol 05", "Pistol 06"},
                  2);
  EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

// With nothing to print, or a design that can no longer be read, the
// catalogue says why and writes nothing.
TEST_F(ArmouryCatalogueTest, NothingToPrintWritesNothing) {
  struct Case {
    const char* what;
    std::function<void()> before;
    QString error;
  };
  const Case cases[] = {
      {"no row shown", [this] { window->filterEdit()->setText(QStringLiteral("zzz")); },
       QStringLiteral("There is no design to put in the catalogue: the table shows none.")},
      {"only a file that is no design",
       [this] { window->filterEdit()->setText(QStringLiteral("broken")); },
       QStringLiteral("There is no design to put in the catalogue: the table shows none.")},
      {"a design gone since it was read",
       [this] {
         window->filterEdit()->clear();
         fs::remove(folder / "b.json");
       },
       QStringLiteral("Cannot make the catalogue: Cannot open \"") + Q(folder / "b.json")},
  };
  for (const Case& c : cases) {
    errors.clear();
    c.before();
    EXPECT_FALSE(window->ExportCatalogueTo(Path("none.pdf"))) << c.what;
    ASSERT_EQ(errors.size(), 1) << c.what;
    EXPECT_TRUE(errors[0].startsWith(c.error)) << c.what << ": " << errors[0].toStdString();
    EXPECT_FALSE(QFile::exists(Path("none.pdf"))) << c.what;
  }
}

}  // namespace
