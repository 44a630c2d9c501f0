// A monkey test of the design window: thousands of random user actions in
// random order (clicks on every kind of control, enabled or not, typed texts
// including garbage, editing keys, keys on the bare form, "Randomize" and
// "Design"), checking after each one that the window is still sound.
//
// Watched throughout:
// - every error goes through the error report, and exactly the errors the
//   user's actions call for: a Design run that stops, or a TL read by the
//   revolver rule that is not an integer;
// - after each "Design" the pane holds exactly the statblock of the controls'
//   current values, read here by name, independently of the window;
// - the pane changes only through "Design" or the user typing into it, so
//   "Randomize" and the rules never touch it;
// - no option group ever shows more than one selected option, and the one it
//   shows is the one it reports;
// - a click on a disabled control, or on the option already selected,
//   changes nothing at all;
// - Qt itself never warns (an exception escaping into its event dispatch, a
//   bad connection, ...).
//
// The run is deterministic for a seed. BRENNICK_MONKEY_SEED and
// BRENNICK_MONKEY_ACTIONS override the seed and the number of actions for
// longer local runs; a failure prints both, with the last actions taken.
#include <QAbstractButton>
#include <QApplication>
#include <QList>
#include <QScrollArea>
#include <QTextBlock>
#include <QTextDocument>
#include <cstdint>
#include <deque>
#include <iostream>
#include <random>
#include <sstream>
#include <string>

#include "engine/design.h"
#include "engine/number_text.h"
#include "engine/random.h"
#include "form/fields.h"
#include "tests/ui/support.h"

namespace {

using namespace brennick;

constexpr std::uint32_t kDefaultSeed = 20261208;
constexpr long kDefaultActions = 3000;

long EnvNumber(const char* name, long fallback) {
  bool ok = false;
  const long value = qEnvironmentVariable(name).toLong(&ok, 0);
  return ok && value >= 0 ? value : fallback;
}

// Texts a careless, hurried or hostile user might type into any field.
const char* const kGarbage[] = {
    "", " ", "   ", "abc", "9a", "x", "-", "+", ".", ",", "e", "E5", "5e", "5e+", "1e", "--5",
    "+-5", "1..2", "1.2.3", "1e308", "-1e308", "1.7976931348623157e308", "1e309", "1e-320",
    "1e-400", "1E15", "4.9e-324", "99999999999", "-99999999999", "2147483647", "2147483648",
    "-2147483648", "-2147483649", "4294967296", "123456789012345678901234567890",
    "000000000000000000009", "$FF", "$ff", "$7FFFFFFF", "$80000000", "$FFFFFFFF", "$", "0x", "0x1F",
    "0X1f", "x10", "X7", "$-1", "-$5", "$1.5", "1,5", "7,62", "0,0001", " 9", "9 ", " 9 ", "9 9",
    " -7.62 ", "-7.62", "-1", "-0", "0", "0.0", "0.00005", "1e-5", "nan", "NaN", "inf", "-inf",
    "Infinity", "1/2", "1_000", "<b>1</b>", "'", "%s", "%d%n%x", "\\", "\"", "&amp;",
    // Beyond ASCII: dagger, e acute, sharp s, no-break space alone and inside
    // a number, euro sign, an emoji outside the basic plane, Arabic-Indic and
    // full-width digits, a zero-width space between digits, omega.
    "\u2020", "\u00E9", "\u00DF", "\u00A0", "7\u00A062", "\u20AC5", "\U0001F600", "\u0661\u0662",
    "\uFF11\uFF12", "1\u200B2", "\u03A9"};

// Editing keys a user presses in whatever has the focus.
struct EditKey {
  Qt::Key key;
  Qt::KeyboardModifiers modifiers;
  const char* name;
};
const EditKey kEditKeys[] = {
    {Qt::Key_Backspace, Qt::NoModifier, "Backspace"},
    {Qt::Key_Delete, Qt::NoModifier, "Delete"},
    {Qt::Key_Left, Qt::NoModifier, "Left"},
    {Qt::Key_Right, Qt::NoModifier, "Right"},
    {Qt::Key_Up, Qt::NoModifier, "Up"},
    {Qt::Key_Down, Qt::NoModifier, "Down"},
    {Qt::Key_Home, Qt::NoModifier, "Home"},
    {Qt::Key_End, Qt::ShiftModifier, "Shift+End"},
    {Qt::Key_Space, Qt::NoModifier, "Space"},
    {Qt::Key_Return, Qt::NoModifier, "Return"},
    {Qt::Key_Escape, Qt::NoModifier, "Escape"},
    {Qt::Key_Tab, Qt::NoModifier, "Tab"},
    {Qt::Key_Backtab, Qt::ShiftModifier, "Shift+Tab"},
    {Qt::Key_A, Qt::ControlModifier, "Ctrl+A"},
    {Qt::Key_C, Qt::ControlModifier, "Ctrl+C"},
    {Qt::Key_X, Qt::ControlModifier, "Ctrl+X"},
    {Qt::Key_V, Qt::ControlModifier, "Ctrl+V"},
    {Qt::Key_Z, Qt::ControlModifier, "Ctrl+Z"},
    {Qt::Key_Y, Qt::ControlModifier, "Ctrl+Y"},
};

// Qt's own warnings during the run; the offscreen platform's remarks on size
// hints and paths are noise, anything else is a fault.
QStringList* qtWarnings = nullptr;
QtMessageHandler previousHandler = nullptr;

void RecordingHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  const bool noise = message.contains(QLatin1String("propagateSizeHints")) ||
                     message.startsWith(QLatin1String("QStandardPaths:"));
  if (type != QtDebugMsg && type != QtInfoMsg && !noise && qtWarnings) *qtWarnings << message;
  if (previousHandler) previousHandler(type, context, message);
}

class MonkeyTest : public FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    seed_ = static_cast<std::uint32_t>(EnvNumber("BRENNICK_MONKEY_SEED", kDefaultSeed));
    actions_ = EnvNumber("BRENNICK_MONKEY_ACTIONS", kDefaultActions);
    monkey_.seed(seed_);
    clock_.seed(seed_ ^ 0x5eed5eedu);
    // "Randomize" seeds from the clock; a clock of our own keeps the run
    // repeatable and tells which design the generator starts from.
    form->setSeedClock([this] { return lastSeed_ = static_cast<std::uint32_t>(clock_()); });
    form->activateWindow();
    (void)QTest::qWaitForWindowActive(form.get());

    for (QCheckBox* box : form->findChildren<QCheckBox*>()) checkBoxes_ << box;
    for (TRadioGroup* group : form->findChildren<TRadioGroup*>()) groups_ << group;
    for (QLineEdit* edit : form->findChildren<QLineEdit*>()) edits_ << edit;
    surface_ = form->findChild<QScrollArea*>()->widget();
    // Points on the bare form, between the controls: a click there takes
    // the focus away from every control, so keys reach the window itself.
    for (int y = 2; y < surface_->height(); y += 5) {
      for (int x = 2; x < surface_->width(); x += 5) {
        if (!surface_->childAt(x, y)) barePoints_ << QPoint(x, y);
      }
    }

    // Observers, connected after the window's own bindings so that they see
    // what each user event has done.
    QObject::connect(Control<QPushButton>(*form, "DesignButton"), &QPushButton::clicked, form.get(),
                     [this] { AfterDesign(); });
    QObject::connect(Control<QPushButton>(*form, "RandomButton"), &QPushButton::pressed, form.get(),
                     [this] {
                       paneBeforeRandomize_ = PaneText();
                       mechanismBeforeRandomize_ =
                           SelectedOption(Control<TRadioGroup>(*form, "LoadingMechanismBox"));
                     });
    QObject::connect(Control<QPushButton>(*form, "RandomButton"), &QPushButton::clicked, form.get(),
                     [this] { AfterRandomize(); });
    // The revolver's rate of fire follows the TL: a user change of TL or
    // PowerMod, or choosing the revolver, reads TL strictly. Typing a field's
    // own text over it is no change.
    for (QLineEdit* edit :
         {Control<QLineEdit>(*form, "TLEdit"), Control<QLineEdit>(*form, "PowerModEdit")}) {
      QObject::connect(
          edit, &QLineEdit::textChanged, form.get(),
          [this, edit, seen = edit->text()](const QString& text) mutable {
            if (text == seen) return;
            seen = text;
            if (SelectedOption(Control<TRadioGroup>(*form, "LoadingMechanismBox")) == kRevolver) {
              ExpectStrictTL();
            }
          });
    }
    QObject::connect(Control<TRadioGroup>(*form, "LoadingMechanismBox"),
                     &TRadioGroup::itemIndexChanged, form.get(), [this](int m) {
                       if (m == kRevolver) ExpectStrictTL();
                     });

    qtWarnings = &warnings_;
    previousHandler = qInstallMessageHandler(RecordingHandler);
  }

  void TearDown() override {
    qInstallMessageHandler(previousHandler);
    qtWarnings = nullptr;
    form.reset();
  }

  // --- Reading the window independently of it. ---

  // The option whose mark is shown; -1 when none is.
  static int SelectedOption(const TRadioGroup* group) {
    int selected = -1;
    for (int i = 0; i < group->count(); ++i) {
      if (group->button(i)->isChecked()) selected = i;
    }
    return selected;
  }

  // Every design input as the controls show it, found by name.
  DesignInput InputFromControls() const {
    DesignInput input;
    for (const FieldInfo& field : DesignFields()) {
      const QString name = QLatin1String(field.name);
      switch (field.kind) {
        case FieldKind::Text:
          input.*field.text = form->findChild<QLineEdit*>(name)->text().toStdString();
          break;
        case FieldKind::Group:
          input.*field.group = SelectedOption(form->findChild<TRadioGroup*>(name));
          break;
        case FieldKind::Check:
          input.*field.check = form->findChild<QCheckBox*>(name)->isChecked();
          break;
      }
    }
    return input;
  }

  // The pane's lines as its document holds them (no-break spaces and all).
  QString PaneText() const {
    QStringList lines;
    const QTextDocument* document = Control<QPlainTextEdit>(*form, "StatblockMemo")->document();
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
      lines << block.text();
    }
    return lines.join(QLatin1Char('\n'));
  }

  // Every named control's value and enabled state, and the pane.
  QString State() const {
    QStringList parts;
    for (const QWidget* w : form->findChildren<QWidget*>()) {
      if (w->objectName().isEmpty()) continue;
      QString part = w->objectName() + (w->isEnabled() ? QLatin1Char('+') : QLatin1Char('-'));
      if (auto* edit = qobject_cast<const QLineEdit*>(w)) {
        part += edit->text();
      } else if (auto* group = qobject_cast<const TRadioGroup*>(w)) {
        part += QString::number(group->itemIndex());
      } else if (auto* button = qobject_cast<const QAbstractButton*>(w)) {
        part += button->isChecked() ? QLatin1Char('x') : QLatin1Char('-');
      } else if (auto* label = qobject_cast<const QLabel*>(w)) {
        part += label->text();
      }
      parts << part;
    }
    parts << PaneText();
    return parts.join(QLatin1Char('|'));
  }

  // --- What the user's events must lead to. ---

  void AfterDesign() {
    ++designs_;
    const DesignResult run = RunDesign(InputFromControls(), TForm1::DecimalSeparator());
    QStringList lines;
    for (const std::string_view line : run.lines) {
      lines << QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()));
    }
    expectedPane_ = lines.join(QLatin1Char('\n'));
    if (PaneText() != expectedPane_) {
      Fail("after Design the pane holds\n" + PaneText().toStdString() + "\ninstead of\n" +
           expectedPane_.toStdString());
    }
    if (run.error) {
      expectedErrors_ << QString::fromStdString(*run.error);
    } else {
      ++completeDesigns_;
    }
  }

  void AfterRandomize() {
    ++randomizes_;
    if (PaneText() != paneBeforeRandomize_) Fail("Randomize changed the pane");
    // The generator's first draw is the loading mechanism; choosing the
    // revolver reads TL, which the generator never writes.
    RandomSource draw(lastSeed_);
    const int m = Control<QCheckBox>(*form, "OnlyAuto")->isChecked()
                      ? draw.Between(kLightAutomatic, kElectricGatling)
                      : draw.Between(kMuzzleloader, kElectricGatling);
    if (m == kRevolver && mechanismBeforeRandomize_ != kRevolver) ExpectStrictTL();
  }

  void ExpectStrictTL() {
    const QString tl = Control<QLineEdit>(*form, "TLEdit")->text();
    if (!TryParseInt(tl.toStdString())) {
      expectedErrors_ << QLatin1Char('\'') + tl + QStringLiteral("' is not a valid integer value");
    }
  }

  void Fail(const std::string& what) {
    if (failure_.empty()) failure_ = what;
  }

  // --- Acting as the user. ---

  int Draw(int n) { return static_cast<int>(monkey_() % static_cast<std::uint32_t>(n)); }
  bool Chance(int percent) { return Draw(100) < percent; }
  template <class T>
  T Pick(const QList<T>& list) {
    return list[Draw(static_cast<int>(list.size()))];
  }

  // Where the window system delivers a key: the control holding the focus.
  QWidget* KeyTarget() const {
    QWidget* focus = form->focusWidget();
    return focus ? focus : form.get();
  }

  void SendKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* target = KeyTarget();
    if (target == Control<QPlainTextEdit>(*form, "StatblockMemo") ||
        Control<QPlainTextEdit>(*form, "StatblockMemo")->isAncestorOf(target)) {
      paneTyped_ = true;
    }
    QTest::keyClick(target, key, modifiers);
  }

  // Types a text key by key into whatever has the focus; characters beyond
  // Latin-1 arrive as key events carrying the character, as from an input
  // method.
  void TypeText(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
      QString character(text[i]);
      if (text[i].isHighSurrogate() && i + 1 < text.size()) character += text[++i];
      QWidget* target = KeyTarget();
      if (target == Control<QPlainTextEdit>(*form, "StatblockMemo") ||
          Control<QPlainTextEdit>(*form, "StatblockMemo")->isAncestorOf(target)) {
        paneTyped_ = true;
      }
      if (character.size() == 1 && character[0].unicode() < 0x80) {
        QTest::keyClicks(target, character);
      } else {
        QTest::sendKeyEvent(QTest::Click, target, Qt::Key_unknown, character, Qt::NoModifier);
      }
    }
  }

  QPoint Anywhere(const QWidget* w) {
    return QPoint(Draw(std::max(w->width(), 1)), Draw(std::max(w->height(), 1)));
  }
  // Mostly on the indicator, sometimes anywhere on the control (its caption,
  // or the blank beside it).
  QPoint OnButton(const QWidget* w) {
    return Chance(70) ? QPoint(7, w->height() / 2) : Anywhere(w);
  }
  void MouseClick(QWidget* w, QPoint at) { QTest::mouseClick(w, Qt::LeftButton, {}, at); }

  QString Separator() const { return QString(QLatin1Char(TForm1::DecimalSeparator())); }
  QString Decimal(int hundredths) {
    const QString sign = hundredths < 0 ? QStringLiteral("-") : QString();
    hundredths = std::abs(hundredths);
    QString text = sign + QString::number(hundredths / 100);
    if (hundredths % 100 || Chance(30)) {
      text += Separator() + QStringLiteral("%1").arg(hundredths % 100, 2, 10, QLatin1Char('0'));
    }
    return text;
  }

  // A value that makes sense for the field, so that designs get far.
  QString Sensible(const QLineEdit* edit) {
    const QString name = edit->objectName();
    if (name == QLatin1String("NameEdit")) {
      static const QStringList names = {"Mk 1", "Field Rifle", "Kestrel-9", "Lancer", "X"};
      return Pick(names);
    }
    if (name == QLatin1String("BoreSizeEdit")) return Decimal(100 + Draw(2900));
    if (name == QLatin1String("TLEdit")) return QString::number(3 + Draw(10));
    if (name == QLatin1String("PowerModEdit")) return Decimal(25 + Draw(300));
    if (name == QLatin1String("BarrelsEdit")) return QString::number(1 + Draw(11));
    if (name == QLatin1String("ChambersEdit")) return QString::number(1 + Draw(12));
    if (name == QLatin1String("RoFEdit")) return QString::number(1 + Draw(30));
    if (name == QLatin1String("ShotsEdit")) return QString::number(1 + Draw(200));
    if (name == QLatin1String("ArbWeight")) return Decimal(Draw(1000));
    return Decimal(Draw(300));  // ArbCF
  }

  // Any number at all: integers of every size, decimals, exponents.
  QString AnyNumber() {
    switch (Draw(4)) {
      case 0:
        return QString::number(static_cast<std::int64_t>(monkey_()) - (1LL << 31));
      case 1:
        return QString::number(Draw(41) - 20);
      case 2:
        return Decimal(Draw(200001) - 100000);
      default:
        return Decimal(Draw(2001) - 1000) + (Chance(50) ? "e" : "E") +
               QString::number(Draw(801) - 400);
    }
  }

  QString RandomText(const QLineEdit* edit) {
    const int kind = Draw(100);
    if (kind < 70) return Sensible(edit);
    if (kind < 80) return AnyNumber();
    return QString::fromUtf8(kGarbage[Draw(std::size(kGarbage))]);
  }

  // One random action; returns what it did, for the failure report.
  std::string Act() {
    const int kind = Draw(100);
    if (kind < 24) {  // a check box, any one, enabled or not
      QCheckBox* box = Pick(checkBoxes_);
      const bool inert = !box->isEnabled();
      const QString before = inert ? State() : QString();
      MouseClick(box, OnButton(box));
      if (inert && State() != before) Fail("a click on a disabled check box changed the form");
      return "click " + box->objectName().toStdString() + (inert ? " (disabled)" : "");
    }
    if (kind < 44) {  // an option of a group
      TRadioGroup* group = Pick(groups_);
      const int index = Draw(group->count());
      QRadioButton* option = group->button(index);
      const bool inert = !option->isEnabled() || group->itemIndex() == index;
      const QString before = inert ? State() : QString();
      MouseClick(option, OnButton(option));
      if (inert && State() != before) {
        Fail("a click on a disabled or already selected option changed the form");
      }
      return "choose " + group->objectName().toStdString() + " " + std::to_string(index) +
             (option->isEnabled() ? "" : " (disabled)");
    }
    if (kind < 70) {  // click into a text field, maybe select it all, type
      QLineEdit* edit = Pick(edits_);
      MouseClick(edit, Anywhere(edit));
      const std::string target = KeyTarget()->objectName().toStdString();
      const bool replace = Chance(80);
      if (replace) SendKey(Qt::Key_A, Qt::ControlModifier);
      const QString text = RandomText(edit);
      TypeText(text);
      return "type \"" + text.toStdString() + "\" into " + edit->objectName().toStdString() +
             (replace ? " (all replaced)" : "") +
             (edit->isEnabled() ? "" : " (disabled: keys went to " + target + ")");
    }
    if (kind < 78) {  // an editing key into whatever has the focus
      const EditKey& key = kEditKeys[Draw(std::size(kEditKeys))];
      const std::string target = KeyTarget()->objectName().toStdString();
      const int times = key.key == Qt::Key_Backspace ? 1 + Draw(4) : 1;
      for (int i = 0; i < times; ++i) SendKey(key.key, key.modifiers);
      return std::string(key.name) + " x" + std::to_string(times) + " in " + target;
    }
    if (kind < 88) {
      MouseClick(Control<QPushButton>(*form, "DesignButton"),
                 Anywhere(Control<QPushButton>(*form, "DesignButton")));
      return "Design";
    }
    if (kind < 93) {
      MouseClick(Control<QPushButton>(*form, "RandomButton"),
                 Anywhere(Control<QPushButton>(*form, "RandomButton")));
      return "Randomize";
    }
    if (kind < 98) {  // a click on the bare form, then a key for the window
      const QPoint at = Pick(barePoints_);
      MouseClick(surface_, at);
      if (!surface_->childAt(at) && KeyTarget() != surface_) {
        Fail("a click on the bare form left the focus on " +
             KeyTarget()->objectName().toStdString());
      }
      const QString key = QString(QLatin1Char("a1 .Zq9"[Draw(7)]));
      TypeText(key);
      return "key \"" + key.toStdString() + "\" on the form";
    }
    // Into the pane, which the user may edit
    MouseClick(Control<QPlainTextEdit>(*form, "StatblockMemo")->viewport(),
               Anywhere(Control<QPlainTextEdit>(*form, "StatblockMemo")->viewport()));
    const QString text = QString::fromUtf8(kGarbage[Draw(std::size(kGarbage))]);
    TypeText(text);
    return "type \"" + text.toStdString() + "\" into the pane";
  }

  // The invariants every action must keep.
  void Verify(const QString& paneBefore) {
    for (const TRadioGroup* group : groups_) {
      int marks = 0;
      for (int i = 0; i < group->count(); ++i) marks += group->button(i)->isChecked();
      if (marks > 1) Fail(group->objectName().toStdString() + " shows several options selected");
      if (SelectedOption(group) != group->itemIndex()) {
        Fail(group->objectName().toStdString() + " shows another option than it reports");
      }
    }
    if (paneTyped_) {
      expectedPane_ = PaneText();
    } else if (PaneText() != expectedPane_) {
      Fail(designs_ == designsBefore_ && PaneText() != paneBefore
               ? "the pane changed without a Design"
               : "the pane does not hold the last statblock");
    }
    if (errors != expectedErrors_) {
      // Only the first difference: the lists hold every error of the run.
      qsizetype i = 0;
      while (i < errors.size() && i < expectedErrors_.size() && errors[i] == expectedErrors_[i])
        ++i;
      const auto at = [i](const QStringList& list) {
        return i < list.size() ? "\"" + list[i].toStdString() + "\"" : std::string("nothing");
      };
      Fail("error report " + std::to_string(i + 1) + " is " + at(errors) + ", expected " +
           at(expectedErrors_));
    }
    if (QApplication::activeModalWidget()) Fail("a modal window is open");
    if (!warnings_.isEmpty())
      Fail("Qt warned: " + warnings_.join(QStringLiteral("; ")).toStdString());
  }

  std::uint32_t seed_ = kDefaultSeed;
  long actions_ = kDefaultActions;
  std::mt19937 monkey_;
  std::mt19937 clock_;
  std::uint32_t lastSeed_ = 0;

  QList<QCheckBox*> checkBoxes_;
  QList<TRadioGroup*> groups_;
  QList<QLineEdit*> edits_;
  QWidget* surface_ = nullptr;
  QList<QPoint> barePoints_;

  QString expectedPane_;
  QStringList expectedErrors_;
  QString paneBeforeRandomize_;
  int mechanismBeforeRandomize_ = -1;
  bool paneTyped_ = false;
  QStringList warnings_;
  std::string failure_;

  long designs_ = 0;
  long designsBefore_ = 0;
  long completeDesigns_ = 0;
  long randomizes_ = 0;
};

TEST_F(MonkeyTest, RandomUserActionsKeepTheWindowSound) {
  const std::string seed = "BRENNICK_MONKEY_SEED=" + std::to_string(seed_);
  SCOPED_TRACE("monkey " + seed + " BRENNICK_MONKEY_ACTIONS=" + std::to_string(actions_));
  ASSERT_EQ(checkBoxes_.size(), 49);  // 47 design inputs, "Gun/Launcher", "Only automatic"
  ASSERT_EQ(groups_.size(), 12);
  ASSERT_EQ(edits_.size(), 10);
  ASSERT_FALSE(barePoints_.isEmpty());
  for (const FieldInfo& field : DesignFields()) {
    ASSERT_NE(form->findChild<QWidget*>(QLatin1String(field.name)), nullptr) << field.name;
  }

  std::deque<std::string> recent;
  for (long step = 1; step <= actions_; ++step) {
    const QString paneBefore = PaneText();
    designsBefore_ = designs_;
    paneTyped_ = false;
    recent.push_back("#" + std::to_string(step) + " " + Act());
    if (recent.size() > 20) recent.pop_front();
    // Now and then the window system's own work between two events: layout,
    // painting, deferred deletions.
    if (step % 10 == 0) QCoreApplication::processEvents();
    Verify(paneBefore);
    if (!failure_.empty()) {
      std::ostringstream log;
      for (const std::string& action : recent) log << "\n  " << action;
      FAIL() << "action " << step << ": " << failure_ << "\nlast actions:" << log.str()
             << "\nrepeat with " << seed << " BRENNICK_MONKEY_ACTIONS=" << step;
    }
  }

  std::cout << "[ monkey   ] seed " << seed_ << ": " << actions_ << " actions, " << designs_
            << " designs (" << completeDesigns_ << " complete), " << randomizes_ << " randomizes, "
            << errors.size() << " errors reported\n";
  // The monkey reaches the end of the statblock, not only the bore check.
  if (actions_ >= kDefaultActions) {
    EXPECT_GT(completeDesigns_, 0);
  }
}

}  // namespace
