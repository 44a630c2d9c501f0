// The derivation panel under the statblock pane.
#include "ui/DerivationPanel.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QTextBlock>
#include <QTextDocument>
#include <QToolTip>
#include <string_view>

#include "ui/ShownText.h"

namespace {

constexpr int kPanelLines = 5;

QString FromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// How many blocks of the pane a statblock line fills. The pane's document
// breaks a paragraph at more than a line feed (a carriage return, a paragraph
// separator, ...), so a line that may hold such a break is measured by a
// document of its own, followed by the line feed the pane puts after every
// line but the last.
int BlocksOf(std::string_view line, bool last) {
  // Every break character is a line feed, a carriage return, or a UTF-8
  // sequence starting with 0xE2 (U+2029) or 0xEF (U+FDD0, U+FDD1).
  if (line.find_first_of("\n\r\xE2\xEF") == std::string_view::npos) return 1;
  QTextDocument document;
  document.setPlainText(last ? FromUtf8(line) : FromUtf8(line) + QLatin1Char('\n'));
  return last ? document.blockCount() : document.blockCount() - 1;
}

// The steps of a derivation, one a line, as the panel and the tooltip show
// them.
QString StepsText(const brennick::Derivation& steps) {
  QStringList lines;
  for (const std::string& step : steps) lines << FromUtf8(step);
  return brennick::shown::ShownText(lines.join(QLatin1Char('\n')));
}

}  // namespace

TDerivationPanel::TDerivationPanel(QPlainTextEdit* pane, QWidget* parent)
    : QPlainTextEdit(parent), pane_(pane) {
  setObjectName(QStringLiteral("DerivationPanel"));
  setAccessibleName(tr("Derivation"));
  setToolTip(
      tr("How the statblock line at the cursor or under the pointer comes about: "
         "the inputs read, the rows chosen, each factor and the rounding."));
  setReadOnly(true);
  // Read with the keys too: a cursor that scrolls and selects, as in the pane.
  setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  setFocusPolicy(Qt::StrongFocus);
  setTabChangesFocus(true);
  setLineWrapMode(QPlainTextEdit::WidgetWidth);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);

  connect(pane_, &QPlainTextEdit::textChanged, this, [this] {
    paneCurrent_ = hasDesigned_ && pane_->toPlainText() == designedText_;
    Update();
  });
  connect(pane_, &QPlainTextEdit::cursorPositionChanged, this, [this] {
    failureShown_ = false;
    Update();
  });
  pane_->viewport()->setMouseTracking(true);
  pane_->viewport()->installEventFilter(this);
}

void TDerivationPanel::TakeDesign(brennick::DesignResult result) {
  blockLines_.clear();
  const std::size_t count = result.lines.size();
  for (std::size_t i = 0; i < count; ++i) {
    blockLines_.insert(blockLines_.end(),
                       static_cast<std::size_t>(BlocksOf(result.lines[i], i + 1 == count)),
                       static_cast<int>(i));
  }
  lastDesign_ = std::move(result);
  hasDesigned_ = true;
  designedText_ = pane_->toPlainText();
  paneCurrent_ = true;
  failureShown_ = lastDesign_.error.has_value();
  Update();
}

int TDerivationPanel::LineOfBlock(int block) const {
  if (!paneCurrent_ || block < 0 || static_cast<std::size_t>(block) >= blockLines_.size()) {
    return -1;
  }
  return blockLines_[static_cast<std::size_t>(block)];
}

QString TDerivationPanel::DerivationText(int block) const {
  if (pane_->document()->isEmpty()) {
    return tr(
        "No statblock yet. Press Design, then select a line of the statblock to see how it "
        "comes about.");
  }
  if (!paneCurrent_) {
    return tr(
        "The statblock has been changed by hand since Design. Press Design again to see how "
        "its lines come about.");
  }
  const int line = LineOfBlock(block);
  const auto& explain = lastDesign_.explain;
  if (line < 0 || static_cast<std::size_t>(line) >= explain.size() ||
      explain[static_cast<std::size_t>(line)].empty()) {
    return tr("This line has no derivation.");
  }
  return StepsText(explain[static_cast<std::size_t>(line)]);
}

void TDerivationPanel::Update() {
  if (isHidden()) return;
  QString text;
  if (failureShown_ && paneCurrent_ && pointedBlock_ < 0 && lastDesign_.error) {
    // After a failed Design: what stopped it, and how the read at fault went.
    text = brennick::shown::ShownText(tr("Design stopped: ") + FromUtf8(*lastDesign_.error));
    const auto& explain = lastDesign_.explain;
    if (explain.size() > lastDesign_.lines.size() && !explain.back().empty()) {
      text += QLatin1Char('\n') + StepsText(explain.back());
    }
  } else {
    text = DerivationText(pointedBlock_ >= 0 ? pointedBlock_ : pane_->textCursor().blockNumber());
  }
  if (toPlainText() != text) setPlainText(text);
}

int TDerivationPanel::HeightOfLines(int lines) const {
  return fontMetrics().lineSpacing() * lines + 2 * frameWidth() +
         2 * static_cast<int>(document()->documentMargin());
}

QSize TDerivationPanel::sizeHint() const {
  // A few lines high, whatever the window's size: the pane takes the room.
  return QSize(QPlainTextEdit::sizeHint().width(), HeightOfLines(kPanelLines));
}

QSize TDerivationPanel::minimumSizeHint() const {
  return QSize(QPlainTextEdit::minimumSizeHint().width(), HeightOfLines(2));
}

int TDerivationPanel::PointedBlock(const QPoint& at) const {
  // Below the last line there is no line to point at.
  const QTextCursor cursor = pane_->cursorForPosition(at);
  if (at.y() > pane_->cursorRect(cursor).bottom()) return -1;
  return cursor.blockNumber();
}

bool TDerivationPanel::eventFilter(QObject* watched, QEvent* event) {
  if (watched == pane_->viewport()) {
    switch (event->type()) {
      case QEvent::MouseMove: {
        const int block = PointedBlock(static_cast<QMouseEvent*>(event)->position().toPoint());
        if (block != pointedBlock_) {
          pointedBlock_ = block;
          Update();
        }
        break;
      }
      case QEvent::MouseButtonPress:
        // A click picks a line, even the one the cursor is already on.
        if (failureShown_) {
          failureShown_ = false;
          Update();
        }
        break;
      case QEvent::Leave:
        if (pointedBlock_ != -1) {
          pointedBlock_ = -1;
          Update();
        }
        break;
      case QEvent::ToolTip: {
        // A line with a derivation shows it; elsewhere the pane's own tip.
        auto* help = static_cast<QHelpEvent*>(event);
        const int line = LineOfBlock(PointedBlock(help->pos()));
        if (line >= 0 && static_cast<std::size_t>(line) < lastDesign_.explain.size() &&
            !lastDesign_.explain[static_cast<std::size_t>(line)].empty()) {
          QToolTip::showText(help->globalPos(),
                             StepsText(lastDesign_.explain[static_cast<std::size_t>(line)]),
                             pane_->viewport());
          return true;
        }
        break;
      }
      default:
        break;
    }
  }
  return QPlainTextEdit::eventFilter(watched, event);
}
