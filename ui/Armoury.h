// The armoury window: every design file of a folder as one weapon table, the
// same columns and rows as brennick-cli --table gives for those files, with a
// filter by name, sortable columns, and export as Markdown or CSV.
// Double-clicking a design asks the design window to open its file.
#pragma once

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>
#include <QString>
#include <QWidget>
#include <functional>
#include <vector>

#include "armoury.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

// The rows of an armoury as a Qt table: the weapon table's columns, then the
// design's file.
class TArmouryModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  using QAbstractTableModel::QAbstractTableModel;
  static constexpr int kFileColumn = static_cast<int>(brennick::kWeaponColumns);

  void setRows(std::vector<brennick::ArmouryRow> rows);
  const std::vector<brennick::ArmouryRow>& rows() const { return rows_; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

 private:
  std::vector<brennick::ArmouryRow> rows_;
  std::vector<QString> cells_;  // every cell converted once, row by row
};

// Sorts figures by their value ("$881" after "$94", "-3" before "-10" for
// bulk) and texts without regard to case; filters by the name.
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
  // Chooses the file a table is exported to: the caption, the suggested path
  // and the filter; an empty result cancels.
  using SaveChooser = std::function<QString(QWidget* parent, const QString& caption,
                                            const QString& path, const QString& filter)>;

  explicit TArmouryWindow(QWidget* parent = nullptr);

  // Reads every design file of `folder` (the reader's decimal separator) and
  // shows it. Returns false, after reporting why, when the folder cannot be
  // listed.
  bool OpenFolder(const QString& folder, char decimalSeparator);
  QString folder() const { return folder_; }

  // Writes the designs of the table (all of them, in the folder's order, as
  // brennick-cli --table does) to `path`; reports a failure.
  bool ExportTable(const QString& path, brennick::TableFormat format);
  // Asks for a file, then exports.
  void ExportMarkdown();
  void ExportCsv();

  void setSaveChooser(SaveChooser chooser) { saveChooser_ = std::move(chooser); }
  // Asks whether to replace the existing file an export would write once the
  // extension was added to the name typed (a message box, No by default).
  void setReplacePrompt(std::function<bool(const QString& path)> prompt) {
    replacePrompt_ = std::move(prompt);
  }
  void setErrorReporter(std::function<void(const QString&)> reporter) {
    errorReporter_ = std::move(reporter);
  }
  void ReportError(const QString& message);

  TArmouryModel* model() { return &model_; }
  TArmouryFilter* filter() { return &filter_; }
  QTableView* table() { return table_; }
  QLineEdit* filterEdit() { return filterEdit_; }

 signals:
  // The user asked to open a design file in the design window.
  void openDesign(const QString& path);

 private:
  void Export(brennick::TableFormat format);
  void ShowCount();

  QString folder_;
  TArmouryModel model_;
  TArmouryFilter filter_;
  QLineEdit* filterEdit_;
  QTableView* table_;
  QLabel* count_;
  QPushButton* exportMarkdown_;
  QPushButton* exportCsv_;
  SaveChooser saveChooser_;
  std::function<bool(const QString&)> replacePrompt_;
  std::function<void(const QString&)> errorReporter_;
};
