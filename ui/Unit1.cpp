// The design window's own operations: start-up of the window, Design,
// Randomize, the error report and the window's events.
#include "ui/Unit1.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QTextOption>
#include <chrono>

#include "ui/Armoury.h"
#include "ui/DerivationPanel.h"
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
    : QMainWindow(parent),
      session_(DecimalSeparator()),
      dialogs_(std::make_shared<TStandardDialogs>()),
      seedClock_(MonotonicClock) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(tr("Brennick"));
  CreateControls();
  CreateMenus();
  // The stored start state, shown before any event is bound: no rule runs.
  ShowState(true);
  LayOutControls();
  PlaceOnScreen();
  SetTabOrder();
  BindEvents();
  // Every window opens with the derivation panel shown (the toggle shows
  // it): the program keeps no settings beyond files, folders and the
  // window's place.
  actions_.ShowDerivations->setChecked(true);
  // Live Statblock is remembered, off until chosen.
  SetLiveStatblock(Settings().value(QStringLiteral("view/liveStatblock"), false).toBool());
  UpdateTitle();
  FormCreate();
}

TForm1::~TForm1() {
  // The controls go after the window's own members, once this body is done:
  // a focus change as they go must not reach the session any more, and the
  // derivation panel, which follows the statblock pane, goes before it.
  disconnect(qApp, nullptr, this, nullptr);
  delete DerivationPanel;
}

void TForm1::setDialogs(std::shared_ptr<TDialogServices> dialogs) {
  dialogs_ = dialogs ? std::move(dialogs) : std::make_shared<TStandardDialogs>();
  if (armoury_ != nullptr) armoury_->setDialogs(dialogs_);
}

// ---------------------------------------------------------------------------
// The design run

void TForm1::DesignButtonClick() {
  ShowDesign();
  const brennick::DesignResult& result = DerivationPanel->lastDesign();
  if (!result.error) return;
  // The field whose read stopped the run, as the run names it: its box
  // names it ("Bore Size, mm" as "Bore Size") and it takes the focus.
  designFailed_ = true;
  if (result.failedField) {
    for (const brennick::FieldInfo& field : brennick::FormFields()) {
      if (field.text != result.failedField) continue;
      faultField_ = findChild<QLineEdit*>(QLatin1String(field.name));
      faultName_ = QString::fromUtf8(field.caption).section(QStringLiteral(", "), 0, 0);
    }
  }
  throw DesignError(*result.error);
}

void TForm1::ShowDesign() {
  const brennick::DesignInput input = ReadInput();
  designing_ = true;
  StatblockMemo->clear();
  brennick::DesignResult result;
  try {
    result = designRunner_ ? designRunner_(input, DecimalSeparator())
                           : brennick::RunDesign(input, DecimalSeparator(), brennick::Explain::Yes);
  } catch (...) {
    designing_ = false;
    designedInput_.reset();
    UpdateStatblockNote();
    throw;
  }
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
  designedInput_ = input;
  quietFailure_.clear();
  designing_ = false;
  DerivationPanel->TakeDesign(std::move(result));
  UpdateStatblockNote();
}

void TForm1::DesignQuietly() {
  try {
    ShowDesign();
  } catch (const std::exception& error) {
    // Not a failure of the design itself (those are in its result): the
    // note says what happened, the pane stays empty.
    const auto* design = dynamic_cast<const DesignError*>(&error);
    quietFailure_ = QString::fromStdString(design ? design->message() : std::string(error.what()));
    UpdateStatblockNote();
  }
}

// ---------------------------------------------------------------------------
// The derivations of the last Design

const brennick::DesignResult& TForm1::lastDesign() const {
  return DerivationPanel->lastDesign();
}

bool TForm1::hasDesigned() const {
  return DerivationPanel->hasDesigned();
}

int TForm1::LineOfBlock(int block) const {
  return DerivationPanel->LineOfBlock(block);
}

QString TForm1::DerivationText(int block) const {
  return DerivationPanel->DerivationText(block);
}

void TForm1::ShowDerivations(bool shown) {
  DerivationPanel->setHidden(!shown);
  if (actions_.ShowDerivations->isChecked() != shown) actions_.ShowDerivations->setChecked(shown);
  DerivationPanel->Update();
}

brennick::DesignInput TForm1::ReadInput() const {
  return session_.form().Input();
}

// ---------------------------------------------------------------------------
// The random design generator

void TForm1::RandomButtonClick() {
  ModelStep([this] { session_.model().RandomButtonClick(seedClock_()); });
}

void TForm1::SeedRandomSource() {
  session_.model().randomSource().Seed(seedClock_());
}

void TForm1::setSeedClock(std::function<std::uint32_t()> clock) {
  seedClock_ = std::move(clock);
}

void TForm1::FormKeyPress() {
  ModelStep([this] { session_.model().FormKeyPress(); });
}

// ---------------------------------------------------------------------------
// The error report

void TForm1::ReportError(const QString& message) {
  // The message may quote what the user typed: the box shows it as plain
  // text.
  dialogs_->ShowError(this, message);
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
