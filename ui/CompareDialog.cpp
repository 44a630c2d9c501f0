// The comparison dialog, and the window's View > Compare: the current form's
// statblock against the last Design's or a design file's.
#include "ui/CompareDialog.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "files/design_file.h"
#include "form/line_diff.h"
#include "ui/DerivationPanel.h"
#include "ui/FileSupport.h"
#include "ui/Theme.h"
#include "ui/Unit1.h"
#include "ui/WindowFit.h"

using brennick::RowMark;

using brennick::files_ui::FromUtf8;

namespace {

// The hues of the marks: changed, only in the first, only in the second;
// laid over the palette's base so that its text stays readable, in a light
// theme and a dark one alike.
QColor Hue(RowMark mark) {
  switch (mark) {
    case RowMark::Changed:
      return QColor(255, 200, 60);
    case RowMark::Removed:
      return QColor(255, 90, 90);
    case RowMark::Added:
      return QColor(90, 210, 90);
    case RowMark::Same:
      break;
  }
  return {};
}

// The item role a cell keeps its row's mark in, for tinting again when the
// theme changes.
constexpr int kMarkRole = Qt::UserRole + 1;

void TintRows(QTableWidget* table) {
  const QPalette palette = table->palette();
  for (int r = 0; r < table->rowCount(); ++r) {
    for (int c = 0; c < table->columnCount(); ++c) {
      QTableWidgetItem* item = table->item(r, c);
      if (item == nullptr) continue;
      const auto mark = static_cast<RowMark>(item->data(kMarkRole).toInt());
      item->setBackground(
          mark == RowMark::Same ? QBrush() : QBrush(brennick::theme::Tint(palette, Hue(mark))));
    }
  }
}

// Tints the rows again when the palette changes (View > Theme).
class Retint : public QObject {
 public:
  explicit Retint(QTableWidget* table) : QObject(table), table_(table) {
    table->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == table_ && event->type() == QEvent::PaletteChange) TintRows(table_);
    return QObject::eventFilter(watched, event);
  }

 private:
  QTableWidget* table_;
};

QString MarkWord(RowMark mark) {
  switch (mark) {
    case RowMark::Changed:
      return TCompareDialog::tr("changed");
    case RowMark::Removed:
      return TCompareDialog::tr("only in the first");
    case RowMark::Added:
      return TCompareDialog::tr("only in the second");
    case RowMark::Same:
      break;
  }
  return TCompareDialog::tr("the same");
}

QPushButton* NewButton(const QString& caption, const char* name, const QString& accessible) {
  auto* button = new QPushButton(caption);
  button->setObjectName(QLatin1String(name));
  button->setAccessibleName(accessible);
  button->setAutoDefault(false);
  return button;
}

}  // namespace

TCompareDialog::TCompareDialog(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("CompareDialog"));
  setWindowTitle(tr("Compare Statblocks"));
  setModal(false);

  Summary = new QLabel(this);
  Summary->setObjectName(QStringLiteral("CompareSummary"));
  Summary->setTextFormat(Qt::PlainText);
  Summary->setAccessibleName(tr("Comparison"));

  Table = new QTableWidget(0, 3, this);
  Table->setObjectName(QStringLiteral("CompareTable"));
  Table->setAccessibleName(tr("Statblocks side by side"));
  Table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  Table->setSelectionBehavior(QAbstractItemView::SelectRows);
  Table->setWordWrap(false);
  Table->verticalHeader()->setVisible(false);
  Table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
  Table->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
  Table->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
  new Retint(Table);

  LastDesignButton =
      NewButton(tr("Against Last &Design"), "CompareLastDesignButton", tr("Against Last Design"));
  FileButton = NewButton(tr("Against a &File..."), "CompareFileButton", tr("Against a File"));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  CloseButton = buttons->button(QDialogButtonBox::Close);
  CloseButton->setObjectName(QStringLiteral("CompareCloseButton"));
  CloseButton->setAccessibleName(tr("Close"));
  buttons->addButton(LastDesignButton, QDialogButtonBox::ActionRole);
  buttons->addButton(FileButton, QDialogButtonBox::ActionRole);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
  connect(LastDesignButton, &QPushButton::clicked, this, &TCompareDialog::lastDesignRequested);
  connect(FileButton, &QPushButton::clicked, this, &TCompareDialog::fileRequested);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Summary);
  layout->addWidget(Table, 1);
  layout->addWidget(buttons);
  // Kept inside the screen's available area, frame included, on a small
  // screen.
  new TWindowFit(
      this, [] { return QSize(760, 560); }, std::nullopt);
}

void TCompareDialog::SetStatblocks(const QString& firstTitle, const std::vector<std::string>& first,
                                   const QString& secondTitle,
                                   const std::vector<std::string>& second) {
  const std::vector<brennick::SideBySideRow> rows =
      brennick::SideBySide(brennick::DiffLines(first, second));
  Table->clearContents();
  Table->setRowCount(static_cast<int>(rows.size()));
  Table->setHorizontalHeaderLabels({QString(), firstTitle, secondTitle});
  differences_ = 0;
  for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
    const brennick::SideBySideRow& row = rows[static_cast<std::size_t>(r)];
    if (row.mark != RowMark::Same) ++differences_;
    auto* marker = new QTableWidgetItem(QString(QLatin1Char(brennick::RowMarker(row.mark))));
    marker->setTextAlignment(Qt::AlignCenter);
    auto* left =
        new QTableWidgetItem(row.a == brennick::kNoLine ? QString() : FromUtf8(first[row.a]));
    auto* right =
        new QTableWidgetItem(row.b == brennick::kNoLine ? QString() : FromUtf8(second[row.b]));
    for (QTableWidgetItem* item : {marker, left, right}) {
      item->setToolTip(MarkWord(row.mark));
      item->setData(kMarkRole, static_cast<int>(row.mark));
    }
    Table->setItem(r, 0, marker);
    Table->setItem(r, 1, left);
    Table->setItem(r, 2, right);
  }
  TintRows(Table);
  Summary->setText(differences_ == 0
                       ? tr("%1 and %2: the statblocks are identical.").arg(firstTitle, secondTitle)
                       : tr("%1 and %2: %n line(s) differ (~ changed, - only in the first, "
                            "+ only in the second).",
                            nullptr, differences_)
                             .arg(firstTitle, secondTitle));
}

// ---------------------------------------------------------------------------
// The window's side

using namespace brennick::files_ui;

void TForm1::CompareStatblocks() {
  if (compareDialog_ == nullptr) {
    compareDialog_ = new TCompareDialog(this);
    connect(compareDialog_, &TCompareDialog::lastDesignRequested, this,
            &TForm1::CompareWithLastDesign);
    connect(compareDialog_, &TCompareDialog::fileRequested, this, &TForm1::CompareWithFile);
  }
  CompareWithLastDesign();
  compareDialog_->show();
  compareDialog_->raise();
  compareDialog_->activateWindow();
}

void TForm1::CompareWithLastDesign() {
  if (compareDialog_ == nullptr) return;
  const char dec = DecimalSeparator();
  const bool designed = DerivationPanel->hasDesigned();
  compareDialog_->SetStatblocks(tr("Current form"),
                                brennick::ComparedLines(brennick::RunDesign(ReadInput(), dec)),
                                designed ? tr("Last Design") : tr("Last Design (none yet)"),
                                designed ? brennick::ComparedLines(DerivationPanel->lastDesign())
                                         : std::vector<std::string>{});
}

void TForm1::CompareWithFile() {
  const QString path = ChooseDesignFile(tr("Compare With Design"));
  if (!path.isEmpty()) CompareWithFileAt(path);
}

bool TForm1::CompareWithFileAt(const QString& path) {
  if (compareDialog_ == nullptr) CompareStatblocks();
  const char dec = DecimalSeparator();
  std::vector<std::string> theirs;
  try {
    const brennick::FormState state = brennick::LoadDesignFile(PathOf(path), dec);
    theirs = brennick::ComparedLines(brennick::RunDesign(state.Input(), dec));
  } catch (const brennick::DesignError& e) {
    ReportError(FromUtf8(e.message()));
    return false;
  }
  compareDialog_->SetStatblocks(tr("Current form"),
                                brennick::ComparedLines(brennick::RunDesign(ReadInput(), dec)),
                                QFileInfo(path).fileName(), theirs);
  return true;
}
