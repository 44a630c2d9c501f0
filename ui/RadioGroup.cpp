#include "RadioGroup.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QRadioButton>
#include <QSignalBlocker>
#include <algorithm>

TRadioGroup::TRadioGroup(const QString& name, const QString& caption, const QStringList& items,
                         int columns, QWidget* parent)
    : QGroupBox(caption, parent), group_(new QButtonGroup(this)) {
  setObjectName(name);
  // The buttons are not exclusive by themselves: the group keeps the one
  // selected index so that "nothing selected" is a state it can show.
  group_->setExclusive(false);

  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(6, 2, 6, 4);
  grid->setHorizontalSpacing(12);
  grid->setVerticalSpacing(0);
  columns = std::max(columns, 1);
  const int rows = (static_cast<int>(items.size()) + columns - 1) / columns;
  for (int i = 0; i < items.size(); ++i) {
    auto* option = new QRadioButton(items[i], this);
    option->setObjectName(name + QStringLiteral("Item") + QString::number(i));
    option->setAutoExclusive(false);
    group_->addButton(option, i);
    grid->addWidget(option, i % rows, i / rows);
    buttons_.append(option);
  }
  grid->setRowStretch(rows, 1);
  connect(group_, &QButtonGroup::idClicked, this, &TRadioGroup::OptionClicked);
}

void TRadioGroup::setItemIndex(int index) {
  index = std::min(index, count() - 1);
  if (index < -1) index = -1;
  if (index == index_) return;
  index_ = index;
  ShowSelection();
  emit itemIndexChanged(index_);
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
}
