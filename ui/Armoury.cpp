// The armoury window: a folder of design files as a weapon table.
#include "ui/Armoury.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QTableView>
#include <QVBoxLayout>
#include <atomic>
#include <mutex>
#include <optional>
#include <thread>

#include "files/file_io.h"
#include "ui/FileSupport.h"
#include "ui/ShownText.h"
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

}  // namespace

// ---------------------------------------------------------------------------
// The table

void TArmouryModel::setRows(std::vector<ArmouryRow> rows) {
  // The cells are made before the model changes: a failure leaves it whole.
  std::vector<QString> cells;
  std::vector<std::optional<double>> figures;
  cells.reserve(rows.size() * (brennick::kWeaponColumns + 1));
  figures.reserve(cells.capacity());
  // A cell that shows only the beginning of a long text sorts by what it
  // shows.
  const auto shownChars = static_cast<std::size_t>(brennick::shown::kRun);
  for (const ArmouryRow& row : rows) {
    const brennick::WeaponFigures rowFigures = brennick::WeaponFiguresOf(row.row, shownChars);
    for (std::size_t column = 0; column < row.row.size(); ++column) {
      // A file that is no design is named by its file in the Name column.
      const bool fileName = column == brennick::kColName && !row.design;
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
    case Qt::ToolTipRole:
      // A long message or name is easier read whole.
      return index.column() == brennick::kColError || index.column() == brennick::kColName
                 ? cell
                 : brennick::shown::ShownText(QDir::toNativeSeparators(FileName(rows_[row].file)));
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
  const QVariant x = left.data(TArmouryModel::kFigureRole);
  const QVariant y = right.data(TArmouryModel::kFigureRole);
  // Figures come before texts such as "Ver.", in the order of their values.
  if (x.isValid() && y.isValid() && x.toDouble() != y.toDouble()) {
    return x.toDouble() < y.toDouble();
  }
  if (x.isValid() != y.isValid()) return x.isValid();
  const int byText = left.data().toString().compare(right.data().toString(), Qt::CaseInsensitive);
  if (byText != 0) return byText < 0;
  return left.row() < right.row();  // equal cells keep the folder's order
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
  count_ = new QLabel(this);
  exportMarkdown_ = new QPushButton(tr("Export &Markdown..."), this);
  exportCsv_ = new QPushButton(tr("Export &CSV..."), this);
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
  top->addWidget(progress_);
  top->addWidget(cancel_);
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
    emit openDesign(row.file);
  });
  connect(cancel_, &QPushButton::clicked, this, &TArmouryWindow::CancelReading);
  poll_.setInterval(kPollInterval);
  connect(&poll_, &QTimer::timeout, this, &TArmouryWindow::Poll);
  connect(exportMarkdown_, &QPushButton::clicked, this, &TArmouryWindow::ExportMarkdown);
  connect(exportCsv_, &QPushButton::clicked, this, &TArmouryWindow::ExportCsv);
  auto* find = new QShortcut(QKeySequence::Find, this);
  connect(find, &QShortcut::activated, this, [this] {
    filterEdit_->setFocus();
    filterEdit_->selectAll();
  });
  auto* close = new QShortcut(QKeySequence::Close, this);
  connect(close, &QShortcut::activated, this, &QWidget::close);
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
