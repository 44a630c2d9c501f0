// The armoury window: a folder of design files as a weapon table.
#include "Armoury.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTableView>
#include <QVBoxLayout>
#include <optional>

#include "FileSupport.h"
#include "Unit1.h"
#include "file_io.h"

using brennick::ArmouryRow;
using brennick::TableFormat;

namespace {

QString FromUtf8(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The figure a cell begins with: "$881" is 881, "-3" is -3, "3.21/0.51" is
// 3.21, "3d+1 pi+" is 3; nothing for "Ver." or a name.
std::optional<double> LeadingFigure(const QString& cell) {
  qsizetype at = 0;
  if (at < cell.size() && cell[at] == QLatin1Char('$')) ++at;
  const bool negative = at < cell.size() && cell[at] == QLatin1Char('-');
  if (negative) ++at;
  double value = 0;
  double scale = 0;  // 0 before the decimal separator
  bool digits = false;
  for (; at < cell.size(); ++at) {
    const QChar c = cell[at];
    if (c.isDigit()) {
      digits = true;
      if (scale == 0) {
        value = value * 10 + c.digitValue();
      } else {
        value += c.digitValue() * scale;
        scale /= 10;
      }
    } else if ((c == QLatin1Char('.') || c == QLatin1Char(',')) && scale == 0 && digits) {
      scale = 0.1;
    } else {
      break;
    }
  }
  if (!digits) return std::nullopt;
  return negative ? -value : value;
}

}  // namespace

// ---------------------------------------------------------------------------
// The table

void TArmouryModel::setRows(std::vector<ArmouryRow> rows) {
  beginResetModel();
  rows_ = std::move(rows);
  cells_.clear();
  cells_.reserve(rows_.size() * (brennick::kWeaponColumns + 1));
  for (const ArmouryRow& row : rows_) {
    for (const std::string& cell : row.row) cells_.push_back(FromUtf8(cell));
    cells_.push_back(FromUtf8(row.file.filename().string()));
  }
  endResetModel();
}

int TArmouryModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int TArmouryModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kFileColumn + 1;
}

QVariant TArmouryModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const auto row = static_cast<std::size_t>(index.row());
  const QString& cell =
      cells_[row * (brennick::kWeaponColumns + 1) + static_cast<std::size_t>(index.column())];
  switch (role) {
    case Qt::DisplayRole:
      return cell;
    case Qt::ToolTipRole:
      // A long message or name is easier read whole.
      return index.column() == brennick::kColError || index.column() == brennick::kColName
                 ? cell
                 : FromUtf8(rows_[row].file.string());
    case Qt::ForegroundRole:
      if (!rows_[row].design || !rows_[row].row[brennick::kColError].empty()) {
        return QColor(Qt::darkRed);
      }
      return {};
    default:
      return {};
  }
}

QVariant TArmouryModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Vertical) return section + 1;
  if (section == kFileColumn) return tr("File");
  if (section < 0 || section > kFileColumn) return {};
  const std::string_view title = brennick::kWeaponColumnTitles[static_cast<std::size_t>(section)];
  return QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size()));
}

bool TArmouryFilter::lessThan(const QModelIndex& left, const QModelIndex& right) const {
  const QString a = left.data().toString();
  const QString b = right.data().toString();
  const std::optional<double> x = LeadingFigure(a);
  const std::optional<double> y = LeadingFigure(b);
  // Figures come before texts such as "Ver.", in the order of their values.
  if (x && y && *x != *y) return *x < *y;
  if (x.has_value() != y.has_value()) return x.has_value();
  const int byText = a.compare(b, Qt::CaseInsensitive);
  if (byText != 0) return byText < 0;
  return left.row() < right.row();  // equal cells keep the folder's order
}

// ---------------------------------------------------------------------------
// The window

TArmouryWindow::TArmouryWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("Armoury"));
  setWindowTitle(tr("Armoury"));
  filter_.setSourceModel(&model_);
  filter_.setFilterKeyColumn(brennick::kColName);
  filter_.setFilterCaseSensitivity(Qt::CaseInsensitive);
  filter_.setSortCaseSensitivity(Qt::CaseInsensitive);

  filterEdit_ = new QLineEdit(this);
  filterEdit_->setObjectName(QStringLiteral("ArmouryFilter"));
  filterEdit_->setPlaceholderText(tr("Filter by name"));
  filterEdit_->setClearButtonEnabled(true);
  filterEdit_->setAccessibleName(tr("Filter by name"));
  auto* filterLabel = new QLabel(tr("&Filter:"), this);
  filterLabel->setBuddy(filterEdit_);
  count_ = new QLabel(this);
  exportMarkdown_ = new QPushButton(tr("Export &Markdown..."), this);
  exportCsv_ = new QPushButton(tr("Export &CSV..."), this);

  table_ = new QTableView(this);
  table_->setObjectName(QStringLiteral("ArmouryTable"));
  table_->setModel(&filter_);
  table_->setSortingEnabled(true);
  table_->sortByColumn(-1, Qt::AscendingOrder);  // the folder's order until a header is clicked
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setAlternatingRowColors(true);
  table_->setWordWrap(false);
  table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
  table_->horizontalHeader()->setStretchLastSection(true);
  // Columns fit the first hundred rows: measuring a thousand would cost more
  // than reading them.
  table_->horizontalHeader()->setResizeContentsPrecision(100);
  table_->setAccessibleName(tr("Designs of the armoury"));

  auto* top = new QHBoxLayout;
  top->addWidget(filterLabel);
  top->addWidget(filterEdit_, 1);
  top->addWidget(count_);
  top->addWidget(exportMarkdown_);
  top->addWidget(exportCsv_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(table_, 1);

  connect(filterEdit_, &QLineEdit::textChanged, this, [this](const QString& text) {
    filter_.setFilterFixedString(text);
    ShowCount();
  });
  // A double click, or Enter on the current row, opens the design.
  connect(table_, &QTableView::activated, this, [this](const QModelIndex& index) {
    const QModelIndex source = filter_.mapToSource(index);
    if (!source.isValid()) return;
    const ArmouryRow& row = model_.rows()[static_cast<std::size_t>(source.row())];
    emit openDesign(FromUtf8(row.file.string()));
  });
  connect(exportMarkdown_, &QPushButton::clicked, this, &TArmouryWindow::ExportMarkdown);
  connect(exportCsv_, &QPushButton::clicked, this, &TArmouryWindow::ExportCsv);
  auto* find = new QShortcut(QKeySequence::Find, this);
  connect(find, &QShortcut::activated, this, [this] {
    filterEdit_->setFocus();
    filterEdit_->selectAll();
  });
  auto* close = new QShortcut(QKeySequence::Close, this);
  connect(close, &QShortcut::activated, this, &QWidget::close);
  resize(1400, 600);
}

bool TArmouryWindow::OpenFolder(const QString& folder, char decimalSeparator) {
  try {
    const QByteArray path = QFile::encodeName(folder);
    model_.setRows(
        brennick::ReadArmoury(std::filesystem::path(path.toStdString()), decimalSeparator));
  } catch (const std::exception& e) {
    ReportError(tr("Cannot open the armoury \"%1\": %2")
                    .arg(QDir::toNativeSeparators(folder), QString::fromUtf8(e.what())));
    return false;
  }
  folder_ = folder;
  setWindowTitle(tr("%1 - Armoury").arg(QFileInfo(folder).fileName()));
  table_->resizeColumnsToContents();
  ShowCount();
  return true;
}

void TArmouryWindow::ShowCount() {
  const int shown = filter_.rowCount();
  const int all = model_.rowCount();
  count_->setText(shown == all ? tr("%n design(s)", "", all)
                               : tr("%1 of %n design(s)", "", all).arg(shown));
}

bool TArmouryWindow::ExportTable(const QString& path, TableFormat format) {
  try {
    const std::string table = brennick::ArmouryTable(model_.rows(), format);
    brennick::WriteFileAtomically(std::filesystem::path(QFile::encodeName(path).toStdString()),
                                  table);
  } catch (const std::exception& e) {
    ReportError(tr("Cannot save \"%1\": %2")
                    .arg(QDir::toNativeSeparators(path), QString::fromUtf8(e.what())));
    return false;
  }
  return true;
}

void TArmouryWindow::Export(TableFormat format) {
  const bool markdown = format == TableFormat::Markdown;
  const QString suggested =
      QDir(folder_).filePath(QFileInfo(folder_).fileName() + (markdown ? ".md" : ".csv"));
  const QString caption = markdown ? tr("Export Table as Markdown") : tr("Export Table as CSV");
  const QString filter = markdown ? tr("Markdown (*.md)") : tr("CSV (*.csv)");
  // A name typed without an extension takes the table's, as every save does.
  const QString path = brennick::files_ui::CompleteSavePath(
      saveChooser_ ? TForm1::ChosenFile(saveChooser_(this, caption, suggested, filter))
                   : brennick::files_ui::RunSaveDialog(this, caption, suggested, filter),
      filter, [this](const QString& file) {
        return replacePrompt_ ? replacePrompt_(file) : brennick::files_ui::AskReplace(this, file);
      });
  if (!path.isEmpty()) ExportTable(path, format);
}

void TArmouryWindow::ExportMarkdown() {
  Export(TableFormat::Markdown);
}

void TArmouryWindow::ExportCsv() {
  Export(TableFormat::Csv);
}

void TArmouryWindow::ReportError(const QString& message) {
  if (errorReporter_) {
    errorReporter_(message);
    return;
  }
  TForm1::ShowErrorBox(this, message);
}
