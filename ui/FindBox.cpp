#include "ui/FindBox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/RadioGroup.h"

namespace {

// A caption as it reads, without its mnemonic mark.
QString Caption(QString text) {
  text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
  text.remove(QLatin1Char('&'));
  return text.replace(QStringLiteral("\x01"), QStringLiteral("&"));
}

// How well a control matches: lower is better, -1 not at all.
enum Rank { kEqual, kStarts, kHolds, kOption, kTooltip };

}  // namespace

TFindBox::TFindBox(QScrollArea* scroller, QWidget* parent) : QFrame(parent), scroller_(scroller) {
  setObjectName(QStringLiteral("FindBox"));
  setFrameShape(QFrame::StyledPanel);
  setAutoFillBackground(true);
  edit_ = new QLineEdit(this);
  edit_->setObjectName(QStringLiteral("FindEdit"));
  edit_->setPlaceholderText(tr("Find a control: a few letters of its caption or tooltip"));
  edit_->setAccessibleName(tr("Find a control"));
  edit_->setClearButtonEnabled(true);
  list_ = new QListWidget(this);
  list_->setObjectName(QStringLiteral("FindList"));
  list_->setAccessibleName(tr("Controls found"));
  list_->setFocusPolicy(Qt::ClickFocus);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 6, 6, 6);
  layout->setSpacing(4);
  layout->addWidget(edit_);
  layout->addWidget(list_);
  connect(edit_, &QLineEdit::textChanged, this, &TFindBox::Update);
  connect(list_, &QListWidget::itemActivated, this, [this] { GoToCurrent(); });
  edit_->installEventFilter(this);
  list_->installEventFilter(this);
  hide();
}

std::vector<TFindBox::Match> TFindBox::Find(const QString& text) const {
  const QString wanted = text.trimmed();
  std::vector<Match> found;
  if (wanted.isEmpty()) return found;
  const auto holds = [&wanted](const QString& in) {
    return in.contains(wanted, Qt::CaseInsensitive);
  };
  std::vector<std::pair<int, Match>> ranked;
  QWidget* form = scroller_->widget();
  for (QWidget* control : form->findChildren<QWidget*>()) {
    // The controls the user works: an option belongs to its group.
    if (qobject_cast<QRadioButton*>(control) != nullptr) continue;
    const bool group = qobject_cast<TRadioGroup*>(control) != nullptr;
    if (!group && (control->focusPolicy() & Qt::TabFocus) == 0) continue;
    const QString caption = Caption(control->accessibleName());
    if (caption.isEmpty()) continue;
    int rank = -1;
    QWidget* target = control;
    QString shown = caption;
    if (caption.compare(wanted, Qt::CaseInsensitive) == 0) {
      rank = kEqual;
    } else if (caption.startsWith(wanted, Qt::CaseInsensitive)) {
      rank = kStarts;
    } else if (holds(caption)) {
      rank = kHolds;
    } else if (auto* options = qobject_cast<TRadioGroup*>(control)) {
      for (int i = 0; i < options->count() && rank < 0; ++i) {
        if (holds(Caption(options->button(i)->text()))) {
          rank = kOption;
          target = options->button(i);
          shown = tr("%1: %2").arg(caption, Caption(options->button(i)->text()));
        }
      }
    }
    if (rank < 0 && holds(control->toolTip())) rank = kTooltip;
    if (rank < 0) continue;
    if (group && target == control) target = static_cast<TRadioGroup*>(control)->tabStop();
    if (!control->isEnabled()) shown = tr("%1 (greyed out)").arg(shown);
    ranked.push_back({rank, {target, shown}});
  }
  std::stable_sort(ranked.begin(), ranked.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  for (auto& [rank, match] : ranked) found.push_back(match);
  return found;
}

void TFindBox::Open() {
  QWidget* focus = window()->focusWidget();
  if (focus != nullptr && !isAncestorOf(focus)) before_ = focus;
  edit_->clear();
  Update();
  Place();
  show();
  raise();
  edit_->setFocus(Qt::ShortcutFocusReason);
}

void TFindBox::Close() {
  hide();
  if (before_ != nullptr) before_->setFocus(Qt::OtherFocusReason);
}

void TFindBox::GoTo(QWidget* control) {
  hide();
  if (control == nullptr) return;
  scroller_->ensureWidgetVisible(control);
  if (control->isEnabled()) {
    control->setFocus(Qt::ShortcutFocusReason);
  } else if (before_ != nullptr) {
    before_->setFocus(Qt::OtherFocusReason);
  }
}

void TFindBox::Update() {
  matches_ = Find(edit_->text());
  list_->clear();
  for (const Match& match : matches_) list_->addItem(match.shown);
  if (!matches_.empty()) list_->setCurrentRow(0);
  list_->setVisible(!matches_.empty());
  if (isVisible()) Place();
}

void TFindBox::GoToCurrent() {
  const int row = list_->currentRow();
  if (row < 0 || row >= static_cast<int>(matches_.size())) return;
  GoTo(matches_[static_cast<std::size_t>(row)].control);
}

void TFindBox::Place() {
  QWidget* over = parentWidget();
  const int width = std::min(over->width() - 16, std::max(360, over->width() / 3));
  const int rows = std::min(list_->count(), 8);
  list_->setFixedHeight(rows == 0 ? 0 : rows * list_->sizeHintForRow(0) + 2 * list_->frameWidth());
  adjustSize();
  resize(width, sizeHint().height());
  const QPoint top = scroller_->mapTo(over, QPoint(0, 0));
  move((over->width() - width) / 2, top.y() + 4);
}

bool TFindBox::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    switch (key->key()) {
      case Qt::Key_Escape:
        Close();
        return true;
      case Qt::Key_Return:
      case Qt::Key_Enter:
        GoToCurrent();
        return true;
      case Qt::Key_Up:
      case Qt::Key_Down:
        if (watched == edit_ && list_->count() > 0) {
          const int step = key->key() == Qt::Key_Down ? 1 : -1;
          list_->setCurrentRow((list_->currentRow() + step + list_->count()) % list_->count());
          return true;
        }
        break;
      default:
        break;
    }
  } else if (event->type() == QEvent::FocusOut && isVisible()) {
    // The focus went elsewhere (a click on the form): the box has done.
    QWidget* focus = QApplication::focusWidget();
    if (focus == nullptr || (!isAncestorOf(focus) && focus->window() == window())) hide();
  }
  return QFrame::eventFilter(watched, event);
}
