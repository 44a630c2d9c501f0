// The design window's own operations: start-up of the window, Design,
// Randomize, the rules as thin calls into the form model, the error report
// and the window's events.
#include "Unit1.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <chrono>

using brennick::DesignError;

namespace {

// The low 32 bits of a nanosecond monotonic counter: a different seed for
// every click, however quickly the user clicks.
std::uint32_t MonotonicClock() {
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<std::uint32_t>(
      std::chrono::duration_cast<std::chrono::nanoseconds>(now).count());
}

}  // namespace

TForm1::TForm1(QWidget* parent)
    : QMainWindow(parent), model_(DecimalSeparator()), seedClock_(MonotonicClock) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QStringLiteral("Brennick"));
  CreateControls();
  // The stored start state, shown before any event is bound: no rule runs.
  ShowState(true);
  LayOutControls();
  SetTabOrder();
  BindEvents();
  FormCreate();
}

// ---------------------------------------------------------------------------
// The design run

void TForm1::DesignButtonClick() {
  StatblockMemo->clear();
  const brennick::DesignResult result = brennick::RunDesign(ReadInput(), DecimalSeparator());
  QStringList lines;
  lines.reserve(static_cast<qsizetype>(result.lines.size()));
  for (const auto& line : result.lines) {
    lines << QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()));
  }
  StatblockMemo->setPlainText(lines.join(QLatin1Char('\n')));
  if (result.error) throw DesignError(*result.error);
}

brennick::DesignInput TForm1::ReadInput() const {
  return model_.state().Input();
}

// ---------------------------------------------------------------------------
// The random design generator

void TForm1::RandomButtonClick() {
  ModelStep([this] { model_.RandomButtonClick(seedClock_()); });
}

void TForm1::SeedRandomSource() {
  model_.randomSource().Seed(seedClock_());
}

void TForm1::setSeedClock(std::function<std::uint32_t()> clock) {
  seedClock_ = std::move(clock);
}

// ---------------------------------------------------------------------------
// Rules

#define BRENNICK_RULE(rule)               \
  void TForm1::rule() {                   \
    ModelStep([this] { model_.rule(); }); \
  }
BRENNICK_RULE(LoadingMechanismBoxClick)
BRENNICK_RULE(ConfigurationBoxClick)
BRENNICK_RULE(RecoillessCheckBoxClick)
BRENNICK_RULE(ExtraLowBoxClick)
BRENNICK_RULE(PropellantBoxClick)
BRENNICK_RULE(CaselessBoxClick)
BRENNICK_RULE(QualityAccurateClick)
BRENNICK_RULE(QualityReliableClick)
BRENNICK_RULE(RecognitionGripBoxClick)
BRENNICK_RULE(DiagnosticComputerBoxClick)
BRENNICK_RULE(HUDLinkBoxClick)
BRENNICK_RULE(TinyComputerClick)
BRENNICK_RULE(BoreSizeEditChange)
BRENNICK_RULE(BarrelsEditChange)
BRENNICK_RULE(TLEditChange)
BRENNICK_RULE(FormKeyPress)
#undef BRENNICK_RULE

// ---------------------------------------------------------------------------
// The error report

void TForm1::ReportError(const QString& message) {
  if (errorReporter_) {
    errorReporter_(message);
    return;
  }
  QMessageBox box(QMessageBox::Critical, windowTitle(), message, QMessageBox::Ok, this);
  // The message may quote what the user typed: never read it as markup.
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

void TForm1::setErrorReporter(std::function<void(const QString&)> reporter) {
  errorReporter_ = std::move(reporter);
}

// ---------------------------------------------------------------------------
// Window events

void TForm1::FormCreate() {
  SeedRandomSource();
}

void TForm1::FormClose() {
  QApplication::quit();
}

void TForm1::closeEvent(QCloseEvent* event) {
  FormClose();
  event->accept();
}

void TForm1::keyPressEvent(QKeyEvent* event) {
  // Keys typed into a control belong to that control; Qt hands the ones it
  // does not use on to the window, and those must not count as the window's.
  QWidget* focus = focusWidget();
  if (focus == nullptr || focus == this || focus == surface_) {
    UserEvent([this] { FormKeyPress(); });
  }
  QMainWindow::keyPressEvent(event);
}

char TForm1::DecimalSeparator() {
  const QString point = QLocale::system().decimalPoint();
  // The design run reads single-byte separators; any other falls back to '.'.
  if (point.isEmpty() || point.front().unicode() >= 0x80) return '.';
  return static_cast<char>(point.front().unicode());
}
