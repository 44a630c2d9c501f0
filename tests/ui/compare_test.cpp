// View > Compare: the current form's statblock beside the last Design's or a
// design file's, every differing row marked by a character and a colour, in
// a dialog that leaves the window free.
#include <QAction>
#include <QTableWidget>
#include <QTemporaryDir>

#include "tests/ui/support.h"
#include "ui/CompareDialog.h"

namespace {

using Lines = std::vector<std::string>;

// The start form stops at its empty bore after its title line.
const std::string kTitle = " (TL9)";
const std::string kEmptyBore = "Error: '' is not a valid floating point value";

// A Design run that writes `lines`, failing with the start form's message
// when the last is that error line.
TForm1::DesignRunner Runner(Lines lines) {
  return [=](const brennick::DesignInput&, char) {
    brennick::DesignResult result;
    for (const std::string& line : lines) {
      if (line == kEmptyBore) {
        result.error = line.substr(7);
      } else {
        result.lines.push_back(line);
      }
    }
    return result;
  };
}

QTableWidget* Table(const TCompareDialog* dialog) {
  return Control<QTableWidget>(*dialog, "CompareTable");
}

QPushButton* Button(const TCompareDialog* dialog, const char* name) {
  return Control<QPushButton>(*dialog, name);
}

class CompareTest : public FormTest {
 protected:
  TCompareDialog* Open() {
    Control<QAction>(*form, "CompareAction")->trigger();
    return form->compareDialog();
  }
  // Each row as "<marker>|<first>|<second>".
  static QStringList Rows(const TCompareDialog* dialog) {
    QStringList rows;
    for (int r = 0; r < Table(dialog)->rowCount(); ++r) {
      QStringList cells;
      for (int c = 0; c < 3; ++c) cells << Table(dialog)->item(r, c)->text();
      rows << cells.join(QLatin1Char('|'));
    }
    return rows;
  }
};

struct MarkCase {
  const char* what;
  Lines lastDesign;
  QStringList rows;
};

void PrintTo(const MarkCase& c, std::ostream* os) {
  *os << c.what;
}

const MarkCase kMarkCases[] = {
    {"identical",
     {kTitle, kEmptyBore},
     {" | (TL9)| (TL9)",
      " |" + QString::fromStdString(kEmptyBore) + "|" + QString::fromStdString(kEmptyBore)}},
    {"a line only in the current form",
     {kTitle},
     {" | (TL9)| (TL9)", "-|" + QString::fromStdString(kEmptyBore) + "|"}},
    {"a line inserted marks that line alone",
     {kTitle, "Extra", kEmptyBore},
     {" | (TL9)| (TL9)", "+||Extra",
      " |" + QString::fromStdString(kEmptyBore) + "|" + QString::fromStdString(kEmptyBore)}},
    {"a changed line",
     {"X (TL9)", kEmptyBore},
     {"~| (TL9)|X (TL9)",
      " |" + QString::fromStdString(kEmptyBore) + "|" + QString::fromStdString(kEmptyBore)}},
};

class CompareMarks : public CompareTest, public ::testing::WithParamInterface<MarkCase> {};

TEST_P(CompareMarks, MarksExactlyTheDifferingRows) {
  const MarkCase& c = GetParam();
  form->setDesignRunner(Runner(c.lastDesign));
  Press(Control<QPushButton>(*form, "DesignButton"));
  TCompareDialog* dialog = Open();
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_FALSE(dialog->isModal());
  EXPECT_EQ(Rows(dialog), c.rows);
  int marked = 0;
  for (int r = 0; r < Table(dialog)->rowCount(); ++r) {
    const bool differs = Table(dialog)->item(r, 0)->text() != QStringLiteral(" ");
    marked += differs;
    // The colour goes with the marker, never alone.
    EXPECT_EQ(Table(dialog)->item(r, 1)->background().style() != Qt::NoBrush, differs) << r;
  }
  EXPECT_EQ(dialog->differences(), marked);
  EXPECT_EQ(Table(dialog)->horizontalHeaderItem(1)->text(), QStringLiteral("Current form"));
  EXPECT_EQ(Table(dialog)->horizontalHeaderItem(2)->text(), QStringLiteral("Last Design"));
}

INSTANTIATE_TEST_SUITE_P(Statblocks, CompareMarks, ::testing::ValuesIn(kMarkCases));

TEST_F(CompareTest, BeforeAnyDesignTheLastDesignIsEmpty) {
  TCompareDialog* dialog = Open();
  EXPECT_EQ(Rows(dialog),
            (QStringList{"-| (TL9)|", "-|" + QString::fromStdString(kEmptyBore) + "|"}));
  EXPECT_EQ(Table(dialog)->horizontalHeaderItem(2)->text(),
            QStringLiteral("Last Design (none yet)"));
}

TEST_F(CompareTest, AgainstADesignFileChosenThroughTheFileChooser) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString saved = dir.filePath(QStringLiteral("start.json"));
  ASSERT_TRUE(form->SaveFile(saved));
  QString chosen = saved;
  QStringList captions;
  dialogs->fileAnswer = [&](TDialogServices::FileDialog dialog, const QString& caption,
                            const QString&, const QString&) -> TDialogServices::ChosenFile {
    EXPECT_EQ(dialog, TDialogServices::FileDialog::Open);
    captions << caption;
    return chosen;
  };
  Type(Control<QLineEdit>(*form, "NameEdit"), QStringLiteral("Other"));
  TCompareDialog* dialog = Open();

  Button(dialog, "CompareFileButton")->click();
  EXPECT_EQ(captions, QStringList{"Compare With Design"});
  EXPECT_EQ(Table(dialog)->horizontalHeaderItem(2)->text(), QStringLiteral("start.json"));
  EXPECT_EQ(Rows(dialog),
            (QStringList{"~|Other (TL9)| (TL9)", " |" + QString::fromStdString(kEmptyBore) + "|" +
                                                     QString::fromStdString(kEmptyBore)}));

  // A cancelled choice leaves the comparison as it was; a file that is no
  // design is reported and leaves it too.
  chosen.clear();
  Button(dialog, "CompareFileButton")->click();
  EXPECT_EQ(Table(dialog)->horizontalHeaderItem(2)->text(), QStringLiteral("start.json"));
  const QString broken = dir.filePath(QStringLiteral("broken.json"));
  QFile file(broken);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("{\"NameEdit\": ");
  file.close();
  chosen = broken;
  Button(dialog, "CompareFileButton")->click();
  ASSERT_EQ(errors.size(), 1);
  EXPECT_TRUE(errors[0].contains(QStringLiteral("broken.json"))) << errors[0].toStdString();
  EXPECT_EQ(Table(dialog)->horizontalHeaderItem(2)->text(), QStringLiteral("start.json"));

  // Back to the last Design; the window stayed free all along.
  Button(dialog, "CompareLastDesignButton")->click();
  EXPECT_EQ(Table(dialog)->horizontalHeaderItem(2)->text(),
            QStringLiteral("Last Design (none yet)"));
  EXPECT_TRUE(form->isEnabled());
  for (QPushButton* button :
       {Button(dialog, "CompareLastDesignButton"), Button(dialog, "CompareFileButton"),
        Button(dialog, "CompareCloseButton")}) {
    EXPECT_FALSE(button->accessibleName().isEmpty()) << button->objectName().toStdString();
  }
  Button(dialog, "CompareCloseButton")->click();
  EXPECT_FALSE(dialog->isVisible());
}

}  // namespace
