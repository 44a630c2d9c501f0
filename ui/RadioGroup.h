// A captioned frame of options of which at most one is selected.
//
// Unlike a plain Qt radio group it can have no option selected at all (index
// -1), which is how the designer shows "not chosen yet" for the configuration,
// barrel length and loading mechanism.
//
// From the keyboard it behaves as a native radio group: the whole group is one
// stop of the Tab order, entered at its selected option (at its first enabled
// option when none is selected); the arrow keys move among the enabled
// options and select the one they reach, and Space selects the focused one.
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
  // The option that Tab enters the group at.
  QRadioButton* tabStop() const;

  // Rows of the options' grid, one option high each: options as tall as
  // their text, a little leading between them.
  void setOptionHeight(int height);

 signals:
  void itemIndexChanged(int index);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  // A click on an option: selects it, or, on the option already selected,
  // puts its mark back and changes nothing.
  void OptionClicked(int index);
  void ShowSelection();
  // An arrow key on the focused option: the next enabled option in the
  // arrow's direction, wrapping round at either end, takes the focus and is
  // selected. Returns false when there is none to move to.
  bool Step(int from, int direction);
  // Only the option Tab enters at takes the focus from Tab; the others take
  // it from a click or an arrow.
  void PlaceTabStop();

  QButtonGroup* group_;
  QList<QRadioButton*> buttons_;
  int index_ = -1;
};
