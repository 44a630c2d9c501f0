// Two statblocks side by side, the lines that differ marked by colour and by
// a marker character ("~" changed, "-" only in the first, "+" only in the
// second), so a difference shows without colour too. The window's
// View > Compare opens it beside the form, without blocking it.
#pragma once

#include <QDialog>
#include <QString>
#include <string>
#include <vector>

class QLabel;
class QPushButton;
class QTableWidget;

class TCompareDialog : public QDialog {
  Q_OBJECT
 public:
  explicit TCompareDialog(QWidget* parent = nullptr);

  // Shows `first` beside `second` under their titles.
  void SetStatblocks(const QString& firstTitle, const std::vector<std::string>& first,
                     const QString& secondTitle, const std::vector<std::string>& second);
  // How many rows differ.
  int differences() const { return differences_; }

 signals:
  // The user asks for the form against the last Design, or against a file.
  void lastDesignRequested();
  void fileRequested();

 private:
  // Named CompareSummary, CompareTable, CompareLastDesignButton,
  // CompareFileButton and CompareCloseButton.
  QLabel* Summary = nullptr;
  QTableWidget* Table = nullptr;
  QPushButton* LastDesignButton = nullptr;
  QPushButton* FileButton = nullptr;
  QPushButton* CloseButton = nullptr;
  int differences_ = 0;
};
