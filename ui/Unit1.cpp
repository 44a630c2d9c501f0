// The design window's own operations: start-up of the window, Design,
// Randomize, the rules as thin calls into the form model, the error report
// and the window's events.
#include "ui/Unit1.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTextOption>
#include <chrono>

#include "ui/ShownText.h"

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
  CreateDerivationPanel();
  CreateMenus();
  // The stored start state, shown before any event is bound: no rule runs.
  ShowState(true);
  LayOutControls();
  PlaceOnScreen();
  SetTabOrder();
  BindEvents();
  CreateFileActions();
  BindDerivationPanel();
  FormCreate();
}

// ---------------------------------------------------------------------------
// The design run

void TForm1::DesignButtonClick() {
  StatblockMemo->clear();
  const brennick::DesignInput input = ReadInput();
  brennick::DesignResult result =
      designRunner_ ? designRunner_(input, DecimalSeparator())
                    : brennick::RunDesign(input, DecimalSeparator(), brennick::Explain::Yes);
  QStringList lines;
  lines.reserve(static_cast<qsizetype>(result.lines.size()));
  for (const auto& line : result.lines) {
    lines << QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()));
  }
  const QString statblock = lines.join(QLatin1Char('\n'));
  // The pane keeps the statblock whole, as Copy Statblock and the exports
  // take it. Wrapping a long run without a space at word boundaries takes
  // time that grows with the square of its length (a name read from a file
  // can be 32,767 characters), so while such a run is in the statblock its
  // lines wrap at any character, which takes time in proportion.
  const QTextOption::WrapMode wrap = brennick::shown::LongestRun(statblock) > brennick::shown::kRun
                                         ? QTextOption::WrapAnywhere
                                         : QTextOption::WrapAtWordBoundaryOrAnywhere;
  if (StatblockMemo->wordWrapMode() != wrap) StatblockMemo->setWordWrapMode(wrap);
  StatblockMemo->setPlainText(statblock);
  const std::optional<std::string> error = result.error;
  const auto failedField = result.failedField;
  TakeDesign(std::move(result));
  if (!error) return;
  // The field whose read stopped the run, as the run names it.
  if (failedField) {
    for (const brennick::FieldInfo& field : brennick::FormFields()) {
      if (field.text == failedField) faultField_ = findChild<QLineEdit*>(QLatin1String(field.name));
    }
  }
  throw DesignError(*error);
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
  ShowErrorBox(this, message);
}

void TForm1::ShowErrorBox(QWidget* parent, const QString& message) {
  QMessageBox box(QMessageBox::Critical, parent->windowTitle(), message, QMessageBox::Ok, parent);
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
  // Unsaved changes are saved, discarded or keep the window open.
  bool close = false;
  UserEvent([this, &close] { close = MaybeSave(); });
  if (!close) {
    event->ignore();
    return;
  }
  SaveGeometry();
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
