// The armoury window: every design file of a folder as one weapon table, the
// same columns and rows as brennick-cli --table gives for those files, with a
// filter by name, columns sorted by a header or the Sort by box, export of the
// rows shown as Markdown or CSV, and a printed catalogue of their statblocks.
// Double-clicking a design, or Return on it, asks the design window to open
// its file.
//
// A folder is read off the window thread: a worker reads and runs its files
// one by one (plain C++, no widget), and the window takes the rows when the
// worker is done. A read that lasts more than a moment shows its progress
// with a Cancel button; cancelling shows the files read so far, and opening
// another folder cancels the read under way.
#pragma once

#include <QAbstractTableModel>
#include <QElapsedTimer>
#include <QSortFilterProxyModel>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "files/armoury_folder.h"
#include "ui/Catalogue.h"
#include "ui/DialogServices.h"

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableView;
struct ArmouryReading;

// The rows of an armoury as a Qt table: the weapon table's columns, then the
// design's file. A cell shows at most the first characters of a very long
// text (ShownText.h); the rows keep every character for the exports.
class TArmouryModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  using QAbstractTableModel::QAbstractTableModel;
  static constexpr int kFileColumn = static_cast<int>(brennick::kWeaponColumns);
  // The figure a cell begins with (LeadingFigure of what it shows), as a
  // double; nothing for a cell without one. The columns sort by it.
  static constexpr int kFigureRole = Qt::UserRole;
  // What orders cells of the same figure before their texts: a damage's adds
  // (DamageAdds: 3d-1 before 3d before 3d+1); nothing for other columns.
  static constexpr int kThenRole = Qt::UserRole + 1;
  // Whether the Name cell shows the file's name in place of a design's
  // empty one: a bool.
  static constexpr int kNamedByFileRole = Qt::UserRole + 2;

  void setRows(std::vector<brennick::ArmouryRow> rows);
  const std::vector<brennick::ArmouryRow>& rows() const { return rows_; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

 private:
  std::vector<brennick::ArmouryRow> rows_;
  std::vector<QString> cells_;                  // every cell converted once, row by row
  std::vector<std::optional<double>> figures_;  // the figure of each cell, likewise
  std::vector<std::optional<double>> then_;     // the damage's adds of each row
};

// Sorts figures by their value (kFigureRole: "$881" after "$94", "-10"
// before "-3" for bulk; damage by its dice, then what it adds), figures
// before texts, texts without regard to case; equal cells keep the folder's
// order and empty or "-" cells come last, ascending or descending. Filters by
// the name.
class TArmouryFilter : public QSortFilterProxyModel {
  Q_OBJECT
 public:
  using QSortFilterProxyModel::QSortFilterProxyModel;

 protected:
  bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;
};

class TArmouryWindow : public QWidget {
  Q_OBJECT
 public:
  // Reads one design file on the worker thread: ReadArmouryFile unless
  // replaced (tests pace the worker with it).
  using FileReader =
      std::function<brennick::ArmouryRow(const std::filesystem::path& file, char decimalSeparator)>;

  // Its questions and failures go through `dialogs` (the toolkit's own
  // boxes when none is given). A failure shows over the window that opened
  // the armoury, `parent`, where the user asked for it; over the armoury
  // itself when it has no parent.
  explicit TArmouryWindow(std::shared_ptr<TDialogServices> dialogs = {}, QWidget* parent = nullptr);
  // Stops a read under way and waits for the file its worker is reading.
  ~TArmouryWindow() override;

  // Lists the design files of `folder` and starts reading them (the reader's
  // decimal separator), cancelling a read under way; the table shows them
  // once all are read, and readingFinished() follows. Returns false, after
  // reporting why, when the folder cannot be listed; the table and a read
  // under way are then left as they were.
  bool OpenFolder(const QString& folder, char decimalSeparator);
  // The folder the table shows.
  QString folder() const { return folder_; }
  bool isReading() const { return reading_ != nullptr; }
  // Stops the read under way: the table shows the files read so far, and
  // the count says how many were left unread.
  void CancelReading();
  void setFileReader(FileReader reader) { fileReader_ = std::move(reader); }
  // How long a read goes on before its progress shows, in milliseconds.
  void setProgressDelay(int milliseconds) { progressDelay_ = milliseconds; }
  QProgressBar* progressBar() { return progress_; }
  QPushButton* cancelButton() { return cancel_; }
  QLabel* countLabel() { return count_; }

  // Writes the designs the table shows, in the order shown, to `path`;
  // reports a failure. With no filter and in the folder's order, Markdown is
  // what brennick-cli --table writes for the folder, and CSV the same with
  // the design's file name as one more column, "File".
  bool ExportTable(const QString& path, brennick::TableFormat format);
  // Asks for a file, then exports.
  void ExportMarkdown();
  void ExportCsv();

  // The catalogue: the statblocks of the designs selected (of all shown when
  // none is), in the order shown, printed or written as a PDF. Reports a
  // failure, or that there is no design to print, and then prints nothing.
  void PrintCatalogue();
  void ExportCatalogue();
  bool ExportCatalogueTo(const QString& path);

  // The source rows the table shows, top to bottom.
  std::vector<int> shownRows() const;

  void setDialogs(std::shared_ptr<TDialogServices> dialogs);
  void ReportError(const QString& message);

  TArmouryModel* model() { return &model_; }
  TArmouryFilter* filter() { return &filter_; }
  QTableView* table() { return table_; }
  QLineEdit* filterEdit() { return filterEdit_; }
  QComboBox* sortColumnBox() { return sortColumn_; }
  QComboBox* sortOrderBox() { return sortOrder_; }

 signals:
  // The user asked to open a design file in the design window. The path is
  // the file's name as the system gives it, bytes that need not be UTF-8.
  void openDesign(const std::filesystem::path& file);
  // A read has ended, all read or cancelled, and the table shows it.
  void readingFinished();

 private:
  void Export(brennick::TableFormat format);
  // Keeps the Sort by boxes with the header's sort, and the row selected
  // (else the top) in view after a sort.
  void Sorted(int column, Qt::SortOrder order);
  void SortFromBoxes();
  // Return in the filter: opens the one row left, or the row selected.
  void OpenFromFilter();
  void OpenRow(const QModelIndex& index);
  // The statblocks of the catalogue; nothing, after reporting why, when
  // there is no design to print or one cannot be read.
  std::optional<brennick::catalogue::Catalogue> MakeCatalogue();
  void ShowCount();
  // Follows the worker from the window thread: its progress, and its rows
  // once it is done.
  void Poll();
  void FinishReading(bool cancelled);
  // Hands the read under way to the workers that are stopping.
  void StopReading();

  QString folder_;
  QString readingFolder_;        // the folder being read
  char decimalSeparator_ = '.';  // the reader's, for the folder shown
  char readingSeparator_ = '.';  // and for the folder being read
  std::size_t unread_ = 0;       // files a cancelled read left out of the table
  std::unique_ptr<ArmouryReading> reading_;
  // Reads cancelled whose worker is still within a file; none of their rows
  // is shown.
  std::vector<std::unique_ptr<ArmouryReading>> stopping_;
  FileReader fileReader_;
  QTimer poll_;
  QElapsedTimer readingFor_;
  int progressDelay_;
  QProgressBar* progress_;
  QPushButton* cancel_;
  TArmouryModel model_;
  TArmouryFilter filter_;
  QLineEdit* filterEdit_;
  QTableView* table_;
  QLabel* count_;
  QComboBox* sortColumn_;
  QComboBox* sortOrder_;
  QPushButton* exportMarkdown_;
  QPushButton* exportCsv_;
  QPushButton* exportPdf_;
  QPushButton* print_;
  std::shared_ptr<TDialogServices> dialogs_;
};
