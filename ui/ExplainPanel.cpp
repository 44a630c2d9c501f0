// How the statblock's lines come about: Design keeps each line's derivation,
// and the panel under the pane shows the derivation of the line the cursor is
// on or the pointer is over (the pointed line's also as its tooltip). The
// panel says plainly when there is none to show: no statblock yet, a pane
// changed by hand since Design, or a line without one. A long run of a typed
// text in a derivation shows its first characters (ShownText.h); the
// derivations themselves keep every character.
#include <QAction>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QToolTip>
#include <string_view>

#include "ui/ShownText.h"
#include "ui/Unit1.h"

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

void TForm1::CreateDerivationPanel() {
  DerivationPanel = new QPlainTextEdit(StatblockMemo->parentWidget());
  DerivationPanel->setObjectName(QStringLiteral("DerivationPanel"));
  DerivationPanel->setAccessibleName(QStringLiteral("Derivation"));
  DerivationPanel->setToolTip(
      QStringLiteral("How the statblock line at the cursor or under the pointer comes about: "
                     "the inputs read, the rows chosen, each factor and the rounding."));
  DerivationPanel->setReadOnly(true);
  DerivationPanel->setTabChangesFocus(true);
  DerivationPanel->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  DerivationPanel->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  // A few lines high, whatever the window's size: the pane takes the room.
  DerivationPanel->setFixedHeight(
      DerivationPanel->fontMetrics().lineSpacing() * kPanelLines +
      2 * DerivationPanel->frameWidth() +
      2 * static_cast<int>(DerivationPanel->document()->documentMargin()));
}

void TForm1::BindDerivationPanel() {
  connect(StatblockMemo, &QPlainTextEdit::textChanged, this, [this] {
    paneCurrent_ = hasDesigned_ && StatblockMemo->toPlainText() == designedText_;
    UpdateDerivation();
  });
  connect(StatblockMemo, &QPlainTextEdit::cursorPositionChanged, this, [this] {
    failureShown_ = false;
    UpdateDerivation();
  });
  StatblockMemo->viewport()->setMouseTracking(true);
  StatblockMemo->viewport()->installEventFilter(this);
  connect(ShowDerivationsAction, &QAction::toggled, this, &TForm1::ShowDerivations);
  // Every window opens with the panel shown (the toggle shows it): the
  // program keeps no settings beyond files, folders and the window's place.
  ShowDerivationsAction->setChecked(true);
}

void TForm1::ShowDerivations(bool shown) {
  DerivationPanel->setHidden(!shown);
  if (ShowDerivationsAction->isChecked() != shown) ShowDerivationsAction->setChecked(shown);
  UpdateDerivation();
}

void TForm1::TakeDesign(brennick::DesignResult result) {
  blockLines_.clear();
  const std::size_t count = result.lines.size();
  for (std::size_t i = 0; i < count; ++i) {
    blockLines_.insert(blockLines_.end(),
                       static_cast<std::size_t>(BlocksOf(result.lines[i], i + 1 == count)),
                       static_cast<int>(i));
  }
  lastDesign_ = std::move(result);
  hasDesigned_ = true;
  designedText_ = StatblockMemo->toPlainText();
  paneCurrent_ = true;
  failureShown_ = lastDesign_.error.has_value();
  UpdateDerivation();
}

int TForm1::LineOfBlock(int block) const {
  if (!paneCurrent_ || block < 0 || static_cast<std::size_t>(block) >= blockLines_.size()) {
    return -1;
  }
  return blockLines_[static_cast<std::size_t>(block)];
}

QString TForm1::DerivationText(int block) const {
  if (StatblockMemo->document()->isEmpty()) {
    return QStringLiteral(
        "No statblock yet. Press Design, then select a line of the statblock to see how it "
        "comes about.");
  }
  if (!paneCurrent_) {
    return QStringLiteral(
        "The statblock has been changed by hand since Design. Press Design again to see how "
        "its lines come about.");
  }
  const int line = LineOfBlock(block);
  const auto& explain = lastDesign_.explain;
  if (line < 0 || static_cast<std::size_t>(line) >= explain.size() ||
      explain[static_cast<std::size_t>(line)].empty()) {
    return QStringLiteral("This line has no derivation.");
  }
  return StepsText(explain[static_cast<std::size_t>(line)]);
}

void TForm1::UpdateDerivation() {
  if (DerivationPanel == nullptr || DerivationPanel->isHidden()) return;
  QString text;
  if (failureShown_ && paneCurrent_ && pointedBlock_ < 0 && lastDesign_.error) {
    // After a failed Design: what stopped it, and how the read at fault went.
    text = brennick::shown::ShownText(QStringLiteral("Design stopped: ") +
                                      FromUtf8(*lastDesign_.error));
    const auto& explain = lastDesign_.explain;
    if (explain.size() > lastDesign_.lines.size() && !explain.back().empty()) {
      text += QLatin1Char('\n') + StepsText(explain.back());
    }
  } else {
    text = DerivationText(pointedBlock_ >= 0 ? pointedBlock_
                                             : StatblockMemo->textCursor().blockNumber());
  }
  if (DerivationPanel->toPlainText() != text) DerivationPanel->setPlainText(text);
}

int TForm1::PointedBlock(const QPoint& at) const {
  // Below the last line there is no line to point at.
  const QTextCursor cursor = StatblockMemo->cursorForPosition(at);
  if (at.y() > StatblockMemo->cursorRect(cursor).bottom()) return -1;
  return cursor.blockNumber();
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  if (StatblockMemo != nullptr && watched == StatblockMemo->viewport()) {
    switch (event->type()) {
      case QEvent::MouseMove: {
        const int block = PointedBlock(static_cast<QMouseEvent*>(event)->position().toPoint());
        if (block != pointedBlock_) {
          pointedBlock_ = block;
          UpdateDerivation();
        }
        break;
      }
      case QEvent::MouseButtonPress:
        // A click picks a line, even the one the cursor is already on.
        if (failureShown_) {
          failureShown_ = false;
          UpdateDerivation();
        }
        break;
      case QEvent::Leave:
        if (pointedBlock_ != -1) {
          pointedBlock_ = -1;
          UpdateDerivation();
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
                             StatblockMemo->viewport());
          return true;
        }
        break;
      }
      default:
        break;
    }
  }
  return QMainWindow::eventFilter(watched, event);
}
