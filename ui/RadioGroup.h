// A captioned frame of options of which at most one is selected.
//
// Unlike a plain Qt radio group it can have no option selected at all (index
// -1), which is how the designer shows "not chosen yet" for the configuration,
// barrel length and loading mechanism.
#pragma once

#include <QGroupBox>
#include <QList>
#include <QStringList>

class QButtonGroup;
class QRadioButton;

class TRadioGroup : public QGroupBox {
  Q_OBJECT
 public:
  // The options are laid out top to bottom, filling `columns` columns.
  TRadioGroup(const QString& name, const QString& caption, const QStringList& items,
              int columns = 1, QWidget* parent = nullptr);

  // The selected option, 0 for the first, -1 when none is selected.
  int itemIndex() const { return index_; }
  // Selects an option. An index beyond the last option selects the last one;
  // anything below -1 means -1. Emits itemIndexChanged only on a real change.
  void setItemIndex(int index);

  int count() const { return static_cast<int>(buttons_.size()); }
  QRadioButton* button(int index) const { return buttons_.value(index); }

 signals:
  void itemIndexChanged(int index);

 private:
  // A click on an option: selects it, or, on the option already selected,
  // puts its mark back and changes nothing.
  void OptionClicked(int index);
  void ShowSelection();

  QButtonGroup* group_;
  QList<QRadioButton*> buttons_;
  int index_ = -1;
};
