#include "ui/RadioGroup.h"

#include <QApplication>
#include <QButtonGroup>
#include <QEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QRadioButton>
#include <QSignalBlocker>
#include <algorithm>

TRadioGroup::TRadioGroup(const QString& name, const QString& caption, const QStringList& items,
                         int columns, QWidget* parent)
    : QGroupBox(caption, parent), group_(new QButtonGroup(this)) {
  setObjectName(name);
  setAccessibleName(caption);
  // The buttons are not exclusive by themselves: the group keeps the one
  // selected index so that "nothing selected" is a state it can show.
  group_->setExclusive(false);

  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(6, 0, 6, 2);
  grid->setHorizontalSpacing(12);
  grid->setVerticalSpacing(0);
  columns = std::max(columns, 1);
  const int rows = (static_cast<int>(items.size()) + columns - 1) / columns;
  for (int i = 0; i < items.size(); ++i) {
    auto* option = new QRadioButton(items[i], this);
    option->setObjectName(name + QStringLiteral("Item") + QString::number(i));
    option->setAccessibleName(items[i]);
    option->setAutoExclusive(false);
    option->installEventFilter(this);
    group_->addButton(option, i);
    grid->addWidget(option, i % rows, i / rows);
    buttons_.append(option);
  }
  grid->setRowStretch(rows, 1);
  connect(group_, &QButtonGroup::idClicked, this, &TRadioGroup::OptionClicked);
  PlaceTabStop();
}

void TRadioGroup::setItemIndex(int index) {
  index = std::min(index, count() - 1);
  if (index < -1) index = -1;
  if (index == index_) return;
  index_ = index;
  ShowSelection();
  emit itemIndexChanged(index_);
}

void TRadioGroup::setOptionHeight(int height) {
  for (QRadioButton* option : buttons_) option->setFixedHeight(height);
}

void TRadioGroup::OptionClicked(int index) {
  if (index == index_) {
    ShowSelection();
    return;
  }
  setItemIndex(index);
}

void TRadioGroup::ShowSelection() {
  for (int i = 0; i < count(); ++i) {
    const QSignalBlocker quiet(buttons_[i]);
    buttons_[i]->setChecked(i == index_);
  }
  PlaceTabStop();
}

QRadioButton* TRadioGroup::tabStop() const {
  // While the focus is inside the group it stays on the focused option, so
  // that Tab and Shift+Tab leave the group from wherever the user is.
  for (QRadioButton* option : buttons_) {
    if (option->hasFocus()) return option;
  }
  if (QRadioButton* selected = button(index_); selected && selected->isEnabled()) return selected;
  for (QRadioButton* option : buttons_) {
    if (option->isEnabled()) return option;
  }
  // A group that is disabled as a whole keeps its place in the Tab order.
  return button(std::max(index_, 0));
}

void TRadioGroup::PlaceTabStop() {
  const QRadioButton* stop = tabStop();
  for (QRadioButton* option : buttons_) {
    option->setFocusPolicy(option == stop ? Qt::StrongFocus : Qt::ClickFocus);
  }
}

bool TRadioGroup::Step(int from, int direction) {
  for (int step = 1; step < count(); ++step) {
    const int to = ((from + direction * step) % count() + count()) % count();
    QRadioButton* option = buttons_[to];
    if (!option->isEnabled()) continue;
    // The focus moves first: the selection's rule may disable this very
    // group, and a disabled option cannot take the focus.
    option->setFocus(direction > 0 ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    setItemIndex(to);
    return true;
  }
  return false;
}

bool TRadioGroup::eventFilter(QObject* watched, QEvent* event) {
  const int option = static_cast<int>(buttons_.indexOf(static_cast<QRadioButton*>(watched)));
  if (option < 0) return QGroupBox::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::KeyPress: {
      auto* key = static_cast<QKeyEvent*>(event);
      if (key->modifiers() & ~Qt::KeypadModifier) break;
      const bool mirrored = layoutDirection() == Qt::RightToLeft;
      switch (key->key()) {
        case Qt::Key_Up:
          Step(option, -1);
          return true;
        case Qt::Key_Down:
          Step(option, +1);
          return true;
        case Qt::Key_Left:
          Step(option, mirrored ? +1 : -1);
          return true;
        case Qt::Key_Right:
          Step(option, mirrored ? -1 : +1);
          return true;
        default:
          break;
      }
      break;
    }
    case QEvent::FocusIn:
    case QEvent::FocusOut:
    case QEvent::EnabledChange:
      PlaceTabStop();
      break;
    default:
      break;
  }
  return QGroupBox::eventFilter(watched, event);
}

void TRadioGroup::changeEvent(QEvent* event) {
  if (event->type() == QEvent::EnabledChange) PlaceTabStop();
  QGroupBox::changeEvent(event);
}
