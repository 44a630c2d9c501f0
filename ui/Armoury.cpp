// The armoury window: a folder of design files as a weapon table.
#include "ui/Armoury.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPdfWriter>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <atomic>
#include <mutex>
#include <optional>
#include <thread>

#include "files/design_file.h"
#include "files/file_io.h"
#include "ui/Catalogue.h"
#include "ui/FileSupport.h"
#include "ui/ShownText.h"
#include "ui/Theme.h"
#include "ui/WindowFit.h"

using brennick::ArmouryRow;
using brennick::TableFormat;

// A folder's read: the worker reads the files in order and appends a row per
// file; the window thread takes the rows. The worker touches nothing else.
struct ArmouryReading {
  std::vector<std::filesystem::path> files;
  char decimalSeparator = '.';
  TArmouryWindow::FileReader reader;
  std::mutex mutex;
  std::vector<ArmouryRow> rows;  // guarded by `mutex`
  std::atomic<std::size_t> read{0};
  std::atomic<bool> done{false};
  // Last, so that it is stopped and joined before the rest goes.
  std::jthread worker;

  void Run(const std::stop_token& stop) noexcept;
  // The rows read so far, taken out.
  std::vector<ArmouryRow> TakeRows() {
    const std::lock_guard lock(mutex);
    return std::move(rows);
  }
};

void ArmouryReading::Run(const std::stop_token& stop) noexcept {
  // No exception leaves the worker: a file that fails in any way is a row
  // that says why, and a failure beyond that ends the read early.
  try {
    for (const std::filesystem::path& file : files) {
      if (stop.stop_requested()) break;
      ArmouryRow row;
      try {
        row = reader(file, decimalSeparator);
      } catch (const std::exception& e) {
        row = ArmouryRow{file, {}, false};
        row.row[brennick::kColName] = file.filename().string();
        row.row[brennick::kColError] = e.what();
      }
      {
        const std::lock_guard lock(mutex);
        rows.push_back(std::move(row));
      }
      read.fetch_add(1);
    }
  } catch (...) {
  }
  done = true;
}

namespace {

// How often the window looks at the worker, and how long a read goes on
// before its progress shows, in milliseconds.
constexpr int kPollInterval = 30;
constexpr int kProgressDelay = 400;

QString FromUtf8(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A file's name as the system encodes it, for showing: bytes that are no
// UTF-8 show as replacement characters, while the path keeps them.
QString FileName(const std::filesystem::path& path) {
  const std::string& bytes = path.native();
  return QFile::decodeName(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

// A row whose Name cell shows its file's name: a file that is no design, or
// a design whose name is empty.
bool NamedByFile(const ArmouryRow& row) {
  return !row.design || row.row[brennick::kColName].empty();
}

// A cell with nothing to sort by: empty, or a dash.
bool IsBlank(const QString& cell) {
  const QString text = cell.trimmed();
  return text.isEmpty() || text == QLatin1String("-");
}

}  // namespace

// ---------------------------------------------------------------------------
// The table

void TArmouryModel::setRows(std::vector<ArmouryRow> rows) {
  // The cells are made before the model changes: a failure leaves it whole.
  std::vector<QString> cells;
  std::vector<std::optional<double>> figures;
  std::vector<std::optional<double>> then;
  cells.reserve(rows.size() * (brennick::kWeaponColumns + 1));
  figures.reserve(cells.capacity());
  then.reserve(rows.size());
  // A cell that shows only the beginning of a long text sorts by what it
  // shows.
  const auto shownChars = static_cast<std::size_t>(brennick::shown::kRun);
  for (const ArmouryRow& row : rows) {
    const brennick::WeaponFigures rowFigures = brennick::WeaponFiguresOf(row.row, shownChars);
    then.push_back(brennick::DamageAdds(row.row[brennick::kColDamage], shownChars));
    for (std::size_t column = 0; column < row.row.size(); ++column) {
      // A file that is no design, or a design with no name, is named by its
      // file in the Name column, and sorts by that name.
      const bool fileName = column == brennick::kColName && NamedByFile(row);
      cells.push_back(brennick::shown::ShownText(fileName ? FileName(row.file.filename())
                                                          : FromUtf8(row.row[column])));
      figures.push_back(fileName ? brennick::LeadingFigure(row.file.filename().native(), shownChars)
                                 : rowFigures[column]);
    }
    cells.push_back(brennick::shown::ShownText(FileName(row.file.filename())));
    figures.push_back(brennick::LeadingFigure(row.file.filename().native(), shownChars));
  }
  beginResetModel();
  rows_ = std::move(rows);
  cells_ = std::move(cells);
  figures_ = std::move(figures);
  then_ = std::move(then);
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
  const std::size_t at =
      row * (brennick::kWeaponColumns + 1) + static_cast<std::size_t>(index.column());
  const QString& cell = cells_[at];
  switch (role) {
    case Qt::DisplayRole:
      return cell;
    case kFigureRole:
      return figures_[at] ? QVariant(*figures_[at]) : QVariant();
    case kThenRole:
      return index.column() == brennick::kColDamage && then_[row] ? QVariant(*then_[row])
                                                                  : QVariant();
    case kNamedByFileRole:
      return index.column() == brennick::kColName && rows_[row].design && NamedByFile(rows_[row]);
    case Qt::ToolTipRole:
      // A long message or name is easier read whole.
      return index.column() == brennick::kColError || index.column() == brennick::kColName
                 ? cell
                 : brennick::shown::ShownText(QDir::toNativeSeparators(FileName(rows_[row].file)));
    case Qt::ForegroundRole:
      // A design's file name standing in for its empty name is greyed as a
      // placeholder is, in the colours of the user's theme.
      if (index.column() == brennick::kColName && rows_[row].design && NamedByFile(rows_[row])) {
        return QApplication::palette().color(QPalette::PlaceholderText);
      }
      if (!rows_[row].design || !rows_[row].row[brennick::kColError].empty()) {
        return brennick::theme::AlarmText(QApplication::palette());
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
  // Descending, the proxy asks whether right < left: what must stay put in
  // either direction (blanks last, equal cells in the folder's order) is
  // answered for the direction under way.
  const bool ascending = sortOrder() == Qt::AscendingOrder;
  const QString leftText = left.data().toString();
  const QString rightText = right.data().toString();
  const bool leftBlank = IsBlank(leftText);
  const bool rightBlank = IsBlank(rightText);
  if (leftBlank != rightBlank) return ascending ? rightBlank : leftBlank;
  if (!leftBlank) {
    // Figures come before texts such as "Ver.", in the order of their values;
    // damage of as many dice by what it adds.
    for (const int role : {TArmouryModel::kFigureRole, TArmouryModel::kThenRole}) {
      const QVariant x = left.data(role);
      const QVariant y = right.data(role);
      if (x.isValid() && y.isValid() && x.toDouble() != y.toDouble()) {
        return x.toDouble() < y.toDouble();
      }
      if (x.isValid() != y.isValid()) return x.isValid();
    }
    const int byText = leftText.compare(rightText, Qt::CaseInsensitive);
    if (byText != 0) return byText < 0;
  }
  // Equal cells keep the folder's order.
  return ascending ? left.row() < right.row() : left.row() > right.row();
}

// ---------------------------------------------------------------------------
// The window

TArmouryWindow::TArmouryWindow(std::shared_ptr<TDialogServices> dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window),
      fileReader_(brennick::ReadArmouryFile),
      progressDelay_(kProgressDelay) {
  setDialogs(std::move(dialogs));
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
  // The keyboard's way to sort, in step with the header: the column (or the
  // folder's order) and the direction.
  sortColumn_ = new QComboBox(this);
  sortColumn_->setObjectName(QStringLiteral("ArmourySortColumn"));
  sortColumn_->setAccessibleName(tr("Sort by"));
  sortColumn_->addItem(tr("Folder order"));
  for (int column = 0; column <= TArmouryModel::kFileColumn; ++column) {
    sortColumn_->addItem(model_.headerData(column, Qt::Horizontal).toString());
  }
  auto* sortLabel = new QLabel(tr("&Sort by:"), this);
  sortLabel->setBuddy(sortColumn_);
  sortOrder_ = new QComboBox(this);
  sortOrder_->setObjectName(QStringLiteral("ArmourySortOrder"));
  sortOrder_->setAccessibleName(tr("Sort order"));
  sortOrder_->addItem(tr("Ascending"));
  sortOrder_->addItem(tr("Descending"));
  count_ = new QLabel(this);
  progress_ = new QProgressBar(this);
  progress_->setObjectName(QStringLiteral("ArmouryProgress"));
  progress_->setAccessibleName(tr("Files read"));
  progress_->setFormat(tr("%v of %m files"));
  progress_->setMinimumWidth(
      progress_->fontMetrics().horizontalAdvance(tr("00000 of 00000 files")) +
      4 * progress_->fontMetrics().averageCharWidth());
  progress_->hide();
  cancel_ = new QPushButton(tr("Cancel"), this);
  cancel_->setObjectName(QStringLiteral("ArmouryCancel"));
  cancel_->setToolTip(tr("Stop reading the folder and show the files read so far."));
  cancel_->hide();

  table_ = new QTableView(this);
  table_->setObjectName(QStringLiteral("ArmouryTable"));
  table_->setModel(&filter_);
  table_->setSortingEnabled(true);
  table_->sortByColumn(-1, Qt::AscendingOrder);  // the folder's order until a header is clicked
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  // Several designs may be selected for the catalogue.
  table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  // Tab and Shift+Tab leave the table: the arrows move within it.
  table_->setTabKeyNavigation(false);
  table_->setAlternatingRowColors(true);
  table_->setWordWrap(false);
  table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
  table_->horizontalHeader()->setStretchLastSection(true);
  // Columns fit the first hundred rows: measuring a thousand would cost more
  // than reading them.
  table_->horizontalHeader()->setResizeContentsPrecision(100);
  table_->setAccessibleName(tr("Designs of the armoury"));

  exportMarkdown_ = new QPushButton(tr("Export &Markdown..."), this);
  exportMarkdown_->setObjectName(QStringLiteral("ArmouryExportMarkdown"));
  exportCsv_ = new QPushButton(tr("Export &CSV..."), this);
  exportCsv_->setObjectName(QStringLiteral("ArmouryExportCsv"));
  exportPdf_ = new QPushButton(tr("Export Catalogue P&DF..."), this);
  exportPdf_->setObjectName(QStringLiteral("ArmouryExportPdf"));
  print_ = new QPushButton(tr("&Print Catalogue..."), this);
  print_->setObjectName(QStringLiteral("ArmouryPrint"));
  const QString catalogueTip =
      tr("The statblocks of the designs selected, or of all shown when none is.");
  exportPdf_->setToolTip(catalogueTip);
  print_->setToolTip(catalogueTip);

  auto* top = new QHBoxLayout;
  top->addWidget(filterLabel);
  top->addWidget(filterEdit_, 1);
  top->addWidget(sortLabel);
  top->addWidget(sortColumn_);
  top->addWidget(sortOrder_);
  top->addWidget(count_);
  top->addWidget(progress_);
  top->addWidget(cancel_);
  auto* bottom = new QHBoxLayout;
  bottom->addStretch(1);
  bottom->addWidget(exportMarkdown_);
  bottom->addWidget(exportCsv_);
  bottom->addWidget(exportPdf_);
  bottom->addWidget(print_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(table_, 1);
  layout->addLayout(bottom);
  setTabOrder(filterEdit_, sortColumn_);
  setTabOrder(sortColumn_, sortOrder_);
  setTabOrder(sortOrder_, cancel_);
  setTabOrder(cancel_, table_);
  setTabOrder(table_, exportMarkdown_);
  setTabOrder(exportMarkdown_, exportCsv_);
  setTabOrder(exportCsv_, exportPdf_);
  setTabOrder(exportPdf_, print_);

  connect(filterEdit_, &QLineEdit::textChanged, this, [this](const QString& text) {
    filter_.setFilterFixedString(text);
    ShowCount();
  });
  connect(filterEdit_, &QLineEdit::returnPressed, this, &TArmouryWindow::OpenFromFilter);
  // A double click, or Return on the current row, opens the design.
  connect(table_, &QTableView::activated, this, &TArmouryWindow::OpenRow);
  connect(table_->horizontalHeader(), &QHeaderView::sortIndicatorChanged, this,
          &TArmouryWindow::Sorted);
  connect(sortColumn_, &QComboBox::currentIndexChanged, this, &TArmouryWindow::SortFromBoxes);
  connect(sortOrder_, &QComboBox::currentIndexChanged, this, &TArmouryWindow::SortFromBoxes);
  connect(cancel_, &QPushButton::clicked, this, &TArmouryWindow::CancelReading);
  poll_.setInterval(kPollInterval);
  connect(&poll_, &QTimer::timeout, this, &TArmouryWindow::Poll);

  // The window's commands, each an action of the window (a list of the
  // shortcuts reads them from actions()); the buttons trigger them.
  const auto command = [this](const QString& text, const char* name,
                              const QList<QKeySequence>& keys, auto slot) {
    auto* action = new QAction(text, this);
    action->setObjectName(QLatin1String(name));
    action->setShortcuts(keys);
    addAction(action);
    connect(action, &QAction::triggered, this, slot);
    return action;
  };
  command(tr("&Find"), "ArmouryFindAction", QKeySequence::keyBindings(QKeySequence::Find), [this] {
    filterEdit_->setFocus(Qt::ShortcutFocusReason);
    filterEdit_->selectAll();
  });
  QAction* markdown = command(exportMarkdown_->text(), "ArmouryExportMarkdownAction", {},
                              [this] { ExportMarkdown(); });
  QAction* csv = command(exportCsv_->text(), "ArmouryExportCsvAction", {}, [this] { ExportCsv(); });
  QAction* pdf =
      command(exportPdf_->text(), "ArmouryExportPdfAction",
              {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E)}, [this] { ExportCatalogue(); });
  QAction* print =
      command(print_->text(), "ArmouryPrintAction", QKeySequence::keyBindings(QKeySequence::Print),
              [this] { PrintCatalogue(); });
  command(tr("&Close"), "ArmouryCloseAction", QKeySequence::keyBindings(QKeySequence::Close),
          [this] { close(); });
  connect(exportMarkdown_, &QPushButton::clicked, markdown, &QAction::trigger);
  connect(exportCsv_, &QPushButton::clicked, csv, &QAction::trigger);
  connect(exportPdf_, &QPushButton::clicked, pdf, &QAction::trigger);
  connect(print_, &QPushButton::clicked, print, &QAction::trigger);
  // Wide enough for every column; on a smaller screen the whole window, its
  // frame included, stays inside the screen's available area and the table
  // scrolls.
  new TWindowFit(
      this, [] { return QSize(1400, 600); }, std::nullopt);
}

TArmouryWindow::~TArmouryWindow() {
  // Every worker is asked to stop before any is waited for.
  if (reading_) reading_->worker.request_stop();
  for (const auto& stopping : stopping_) stopping->worker.request_stop();
}

bool TArmouryWindow::OpenFolder(const QString& folder, char decimalSeparator) {
  auto reading = std::make_unique<ArmouryReading>();
  try {
    reading->files =
        brennick::ListArmoury(std::filesystem::path(QFile::encodeName(folder).toStdString()));
    reading->decimalSeparator = decimalSeparator;
    reading->reader = fileReader_;
    ArmouryReading* worker = reading.get();
    reading->worker = std::jthread([worker](const std::stop_token& stop) { worker->Run(stop); });
  } catch (const std::exception& e) {
    ReportError(tr("Cannot open the armoury \"%1\": %2")
                    .arg(QDir::toNativeSeparators(folder), QString::fromUtf8(e.what())));
    return false;
  }
  StopReading();
  reading_ = std::move(reading);
  readingFolder_ = folder;
  readingSeparator_ = decimalSeparator;
  readingFor_.start();
  progress_->setRange(0, static_cast<int>(reading_->files.size()));
  progress_->setValue(0);
  count_->setText(tr("Reading..."));
  poll_.start();
  return true;
}

void TArmouryWindow::Poll() {
  // A stopped worker is joined once it is past its file: at once.
  std::erase_if(stopping_, [](const auto& stopping) { return stopping->done.load(); });
  if (reading_) {
    if (reading_->done) {
      FinishReading(false);
    } else {
      progress_->setValue(static_cast<int>(reading_->read.load()));
      if (progress_->isHidden() && readingFor_.elapsed() >= progressDelay_) {
        progress_->show();
        cancel_->show();
      }
    }
  }
  if (!reading_ && stopping_.empty()) poll_.stop();
}

void TArmouryWindow::CancelReading() {
  if (reading_) FinishReading(true);
}

void TArmouryWindow::StopReading() {
  if (!reading_) return;
  reading_->worker.request_stop();
  stopping_.push_back(std::move(reading_));
}

void TArmouryWindow::FinishReading(bool cancelled) {
  std::vector<ArmouryRow> rows = reading_->TakeRows();
  const std::size_t unread = reading_->files.size() - rows.size();
  if (cancelled) {
    StopReading();
  } else {
    reading_.reset();  // its worker is done: joined at once
  }
  progress_->hide();
  cancel_->hide();
  // Called from the timer and the Cancel button: nothing may unwind into
  // Qt's dispatch. A table that cannot be made leaves the one shown.
  try {
    model_.setRows(std::move(rows));
    unread_ = unread;
    folder_ = readingFolder_;
    decimalSeparator_ = readingSeparator_;
    setWindowTitle(tr("%1 - Armoury").arg(QFileInfo(folder_).fileName()));
    table_->resizeColumnsToContents();
  } catch (const std::exception& e) {
    ReportError(tr("Cannot open the armoury \"%1\": %2")
                    .arg(QDir::toNativeSeparators(readingFolder_), QString::fromUtf8(e.what())));
  }
  ShowCount();
  emit readingFinished();
}

void TArmouryWindow::ShowCount() {
  const int shown = filter_.rowCount();
  const int all = model_.rowCount();
  QString text =
      shown == all ? tr("%n design(s)", "", all) : tr("%1 of %n design(s)", "", all).arg(shown);
  if (unread_ > 0) {
    text += tr(" (cancelled: %n file(s) not read)", "", static_cast<int>(unread_));
  }
  count_->setText(text);
}

std::vector<int> TArmouryWindow::shownRows() const {
  std::vector<int> rows;
  rows.reserve(static_cast<std::size_t>(filter_.rowCount()));
  for (int r = 0; r < filter_.rowCount(); ++r) {
    rows.push_back(filter_.mapToSource(filter_.index(r, 0)).row());
  }
  return rows;
}

bool TArmouryWindow::ExportTable(const QString& path, TableFormat format) {
  try {
    // The designs shown, in their order: the rows of brennick-cli --table,
    // and in CSV each design's file besides.
    const bool csv = format == TableFormat::Csv;
    std::string table;
    if (csv) {
      brennick::AppendTableHeader(table, format, "File");
    } else {
      brennick::AppendTableHeader(table, format);
    }
    for (const int r : shownRows()) {
      const ArmouryRow& row = model_.rows()[static_cast<std::size_t>(r)];
      if (!row.design) continue;
      if (csv) {
        brennick::AppendTableRow(table, format, row.row,
                                 FileName(row.file.filename()).toUtf8().toStdString());
      } else {
        brennick::AppendTableRow(table, format, row.row);
      }
    }
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
  const QString path =
      brennick::files_ui::ChooseSavePath(*dialogs_, this, caption, suggested, filter);
  if (!path.isEmpty()) ExportTable(path, format);
}

void TArmouryWindow::ExportMarkdown() {
  Export(TableFormat::Markdown);
}

void TArmouryWindow::ExportCsv() {
  Export(TableFormat::Csv);
}

void TArmouryWindow::setDialogs(std::shared_ptr<TDialogServices> dialogs) {
  dialogs_ = dialogs ? std::move(dialogs) : std::make_shared<TStandardDialogs>();
}

void TArmouryWindow::ReportError(const QString& message) {
  dialogs_->ShowError(parentWidget() ? parentWidget()->window() : this, message);
}

// ---------------------------------------------------------------------------
// Sorting and opening from the keyboard

void TArmouryWindow::Sorted(int column, Qt::SortOrder order) {
  {
    const QSignalBlocker columnBox(sortColumn_);
    const QSignalBlocker orderBox(sortOrder_);
    sortColumn_->setCurrentIndex(column >= 0 && column <= TArmouryModel::kFileColumn ? column + 1
                                                                                     : 0);
    sortOrder_->setCurrentIndex(order == Qt::AscendingOrder ? 0 : 1);
  }
  // The rows moved under the view: what it shows follows the row selected,
  // or begins at the top of the new order.
  const QModelIndex current = table_->currentIndex();
  const QModelIndexList selected = table_->selectionModel()->selectedRows();
  if (current.isValid() && table_->selectionModel()->isRowSelected(current.row())) {
    table_->scrollTo(current);
  } else if (!selected.isEmpty()) {
    table_->scrollTo(selected.front());
  } else {
    table_->scrollToTop();
  }
}

void TArmouryWindow::SortFromBoxes() {
  table_->sortByColumn(sortColumn_->currentIndex() - 1,
                       sortOrder_->currentIndex() == 0 ? Qt::AscendingOrder : Qt::DescendingOrder);
}

void TArmouryWindow::OpenRow(const QModelIndex& index) {
  const QModelIndex source = filter_.mapToSource(index);
  if (!source.isValid()) return;
  const ArmouryRow& row = model_.rows()[static_cast<std::size_t>(source.row())];
  emit openDesign(row.file);
}

void TArmouryWindow::OpenFromFilter() {
  if (filter_.rowCount() == 1) {
    OpenRow(filter_.index(0, brennick::kColName));
    return;
  }
  const QModelIndex current = table_->currentIndex();
  if (current.isValid() && table_->selectionModel()->isRowSelected(current.row())) {
    OpenRow(current);
    return;
  }
  // Several rows and none chosen: the table takes the keyboard at the first,
  // for the arrows and Return to choose.
  if (filter_.rowCount() > 0) {
    table_->setFocus(Qt::OtherFocusReason);
    table_->selectionModel()->setCurrentIndex(
        filter_.index(0, brennick::kColName),
        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    table_->scrollToTop();
  }
}

// ---------------------------------------------------------------------------
// The catalogue

std::optional<brennick::catalogue::Catalogue> TArmouryWindow::MakeCatalogue() {
  // The designs selected, else all shown, in the order shown.
  const QItemSelectionModel* selection = table_->selectionModel();
  const bool anySelected = selection->hasSelection();
  brennick::catalogue::Catalogue catalogue;
  catalogue.title = tr("Brennick weapon catalogue");
  catalogue.subtitle =
      tr("%1, %2").arg(QFileInfo(folder_).fileName(), QDate::currentDate().toString(Qt::ISODate));
  try {
    for (int r = 0; r < filter_.rowCount(); ++r) {
      if (anySelected && !selection->isRowSelected(r)) continue;
      const int source = filter_.mapToSource(filter_.index(r, 0)).row();
      const ArmouryRow& row = model_.rows()[static_cast<std::size_t>(source)];
      if (!row.design) continue;
      // Read and run again, as Open and Design would: the statblock is the
      // file's as it is now.
      const brennick::DesignInput input =
          brennick::LoadDesignFile(row.file, decimalSeparator_).Input();
      const brennick::DesignResult result = brennick::RunDesign(input, decimalSeparator_);
      brennick::catalogue::Statblock statblock;
      for (const std::string_view line : result.lines) statblock.lines.emplace_back(line);
      if (result.error) statblock.stopped = tr("Design stopped: ") + FromUtf8(*result.error);
      catalogue.statblocks.push_back(std::move(statblock));
    }
  } catch (const std::exception& e) {
    ReportError(tr("Cannot make the catalogue: %1").arg(QString::fromUtf8(e.what())));
    return std::nullopt;
  }
  if (catalogue.statblocks.empty()) {
    ReportError(tr("There is no design to put in the catalogue: the table shows none."));
    return std::nullopt;
  }
  return catalogue;
}

void TArmouryWindow::PrintCatalogue() {
  const std::optional<brennick::catalogue::Catalogue> catalogue = MakeCatalogue();
  if (!catalogue) return;
  QPrinter printer(QPrinter::HighResolution);
  printer.setDocName(catalogue->title);
  if (!dialogs_->SetUpPrinter(this, printer)) return;
  if (!brennick::catalogue::Paint(printer, *catalogue)) {
    ReportError(tr("Cannot print the catalogue: the printer could not be used."));
  }
}

void TArmouryWindow::ExportCatalogue() {
  const QString suggested =
      QDir(folder_).filePath(QFileInfo(folder_).fileName() + QStringLiteral(".pdf"));
  const QString path = brennick::files_ui::ChooseSavePath(
      *dialogs_, this, tr("Export Catalogue as PDF"), suggested, tr("PDF (*.pdf)"));
  if (!path.isEmpty()) ExportCatalogueTo(path);
}

bool TArmouryWindow::ExportCatalogueTo(const QString& path) {
  const std::optional<brennick::catalogue::Catalogue> catalogue = MakeCatalogue();
  if (!catalogue) return false;
  // Made in memory, then written as every other file is: atomically (as
  // the design window's PDF).
  const QByteArray pdf = brennick::files_ui::PdfOf([&catalogue](QPdfWriter& writer) {
    writer.setTitle(catalogue->title);
    return brennick::catalogue::Paint(writer, *catalogue);
  });
  try {
    if (pdf.isEmpty()) {
      throw brennick::DesignError(tr("the PDF could not be made").toStdString());
    }
    brennick::WriteFileAtomically(
        std::filesystem::path(QFile::encodeName(path).toStdString()),
        std::string_view(pdf.constData(), static_cast<std::size_t>(pdf.size())));
  } catch (const std::exception& e) {
    ReportError(tr("Cannot save \"%1\": %2")
                    .arg(QDir::toNativeSeparators(path), QString::fromUtf8(e.what())));
    return false;
  }
  return true;
}
