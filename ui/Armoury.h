// The armoury window: every design file of a folder as one weapon table, the
// same columns and rows as brennick-cli --table gives for those files, with a
// filter by name, sortable columns, and export as Markdown or CSV.
// Double-clicking a design asks the design window to open its file.
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
#include "ui/DialogServices.h"

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
};

// Sorts figures by their value (kFigureRole: "$881" after "$94", "-10"
// before "-3" for bulk) and texts without regard to case; filters by the name.
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

  // Writes the designs of the table (all of them, in the folder's order, as
  // brennick-cli --table does) to `path`; reports a failure.
  bool ExportTable(const QString& path, brennick::TableFormat format);
  // Asks for a file, then exports.
  void ExportMarkdown();
  void ExportCsv();

  void setDialogs(std::shared_ptr<TDialogServices> dialogs);
  void ReportError(const QString& message);

  TArmouryModel* model() { return &model_; }
  TArmouryFilter* filter() { return &filter_; }
  QTableView* table() { return table_; }
  QLineEdit* filterEdit() { return filterEdit_; }

 signals:
  // The user asked to open a design file in the design window. The path is
  // the file's name as the system gives it, bytes that need not be UTF-8.
  void openDesign(const std::filesystem::path& file);
  // A read has ended, all read or cancelled, and the table shows it.
  void readingFinished();

 private:
  void Export(brennick::TableFormat format);
  void ShowCount();
  // Follows the worker from the window thread: its progress, and its rows
  // once it is done.
  void Poll();
  void FinishReading(bool cancelled);
  // Hands the read under way to the workers that are stopping.
  void StopReading();

  QString folder_;
  QString readingFolder_;   // the folder being read
  std::size_t unread_ = 0;  // files a cancelled read left out of the table
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
  QPushButton* exportMarkdown_;
  QPushButton* exportCsv_;
  std::shared_ptr<TDialogServices> dialogs_;
};
