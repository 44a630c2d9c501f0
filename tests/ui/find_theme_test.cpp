// The find box, the tooltips' width, Open Recent's entries, the print
// dialog's file name and the light and dark themes.
#include <QAction>
#include <QDir>
#include <QHelpEvent>
#include <QImage>
#include <QListWidget>
#include <QMenu>
#include <QPixmap>
#include <QRadioButton>
#include <QScrollArea>
#include <QSettings>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QToolTip>

#include "engine/field_list.h"
#include "form/fields.h"
#include "tests/ui/support.h"
#include "ui/CompareDialog.h"
#include "ui/FindBox.h"
#include "ui/Theme.h"
#include "ui/WrappedTooltips.h"

namespace {

using namespace brennick;

class FindTest : public FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    // The box is made when first asked for.
    EXPECT_EQ(form->findChild<TFindBox*>(), nullptr);
    Control<QAction>(*form, "FindAction")->trigger();
    box = Control<TFindBox>(*form, "FindBox");
    box->Close();
  }
  void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(form->focusWidget(), key, modifiers);
  }
  // Opens the box with Ctrl+K and types `text` into it.
  void Find(const QString& text) {
    Key(Qt::Key_K, Qt::ControlModifier);
    ASSERT_TRUE(box->isVisible());
    ASSERT_EQ(form->focusWidget(), box->edit());
    QTest::keyClicks(box->edit(), text);
  }
  // The control the focus is in; an option stands for its group.
  QWidget* Focused() const {
    QWidget* focus = form->focusWidget();
    return qobject_cast<QRadioButton*>(focus) ? focus->parentWidget() : focus;
  }
  TFindBox* box = nullptr;
};

// Every field is found by its caption, in any case, and takes the focus;
// the form scrolls to it on a screen too small for the whole form.
TEST_F(FindTest, EveryFieldIsFoundByItsCaption) {
  form->resize(520, 360);
  int fields = 0;
  for (const FieldInfo& field : FormFields()) {
    SCOPED_TRACE(field.name);
    auto* control = form->findChild<QWidget*>(QLatin1String(field.name));
    ASSERT_NE(control, nullptr);
    // The options the rules close are opened by enabling them for the search.
    control->setEnabled(true);
    Control<QLineEdit>(*form, "NameEdit")->setFocus();
    const QString caption = QString::fromUtf8(field.caption);
    Find(fields % 2 == 0 ? caption.toUpper() : caption.toLower());
    Key(Qt::Key_Return);
    EXPECT_FALSE(box->isVisible());
    EXPECT_EQ(Focused(), control);
    EXPECT_FALSE(control->visibleRegion().isEmpty());
    ++fields;
  }
  EXPECT_EQ(fields, static_cast<int>(kFormFieldCount));
}

TEST_F(FindTest, AFewLettersListTheMatchesTheBestFirst) {
  struct Case {
    const char* typed;
    const char* first;  // the object name of the first match's control
    const char* shown;  // how the list shows the first match
    bool several;
  };
  const Case cases[] = {
      // The caption, then the tooltip of "Only automatic".
      {"loading mech", "LoadingMechanismBox", "Loading Mechanism", true},
      {"bipod", "BipodBox", "Bipod (greyed out)", true},  // then the configuration's tooltip
      {"tl", "TLEdit", "TL", true},                       // the caption before the tooltips
      {"BARRE", "BarrelsEdit", "Barrels (greyed out)", true},
      // An option's caption, then the tooltip of "Only automatic".
      {"light auto", "LoadingMechanismBox", "Loading Mechanism: Light Automatic (TL6)", true},
      // A tooltip's words: the TL's, then the barrel length's.
      {"ammunition designation", "TLEdit", "TL", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    const std::vector<TFindBox::Match> found = box->Find(QString::fromUtf8(c.typed));
    ASSERT_FALSE(found.empty());
    QWidget* control = found.front().control;
    if (qobject_cast<QRadioButton*>(control)) control = control->parentWidget();
    EXPECT_EQ(control->objectName(), QLatin1String(c.first));
    EXPECT_EQ(found.front().shown, QString::fromUtf8(c.shown));
    EXPECT_EQ(found.size() > 1, c.several);
  }
  EXPECT_TRUE(box->Find(QStringLiteral("   ")).empty());
  EXPECT_TRUE(box->Find(QStringLiteral("zqzq")).empty());
}

TEST_F(FindTest, ArrowsPickReturnGoesEscapeCloses) {
  auto* shots = Control<QLineEdit>(*form, "ShotsEdit");
  shots->setFocus();
  Find(QStringLiteral("HUD"));
  const int listed = box->list()->count();
  ASSERT_GE(listed, 3);
  EXPECT_TRUE(box->list()->isVisible());
  Key(Qt::Key_Down);
  Key(Qt::Key_Down);
  EXPECT_EQ(box->list()->currentRow(), 2);
  Key(Qt::Key_Up);
  const std::vector<TFindBox::Match> found = box->Find(QStringLiteral("HUD"));
  Key(Qt::Key_Return);
  EXPECT_EQ(form->focusWidget(), found[1].control);

  // Nothing found: Return leaves the box open; Escape gives the focus back.
  shots->setFocus();
  Find(QStringLiteral("zqzq"));
  EXPECT_FALSE(box->list()->isVisible());
  Key(Qt::Key_Return);
  EXPECT_TRUE(box->isVisible());
  Key(Qt::Key_Escape);
  EXPECT_FALSE(box->isVisible());
  EXPECT_EQ(form->focusWidget(), shots);

  // Ctrl+F opens it too, from any control.
  Control<QCheckBox>(*form, "BipodBox")->setFocus();
  Key(Qt::Key_F, Qt::ControlModifier);
  EXPECT_TRUE(box->isVisible());
  EXPECT_EQ(form->focusWidget(), box->edit());
}

// ---------------------------------------------------------------------------
// Tooltips

TEST(WrappedTooltips, KeepEveryWordAndWrap) {
  struct Case {
    const char* tip;
    const char* shown;
  };
  const Case cases[] = {
      {"", ""},
      {"Bore in mm.", "<p>Bore in mm.</p>"},
      {"ST < 9 & weight > 3 kg.", "<p>ST &lt; 9 &amp; weight &gt; 3 kg.</p>"},
      {"One.\nTwo.", "<p>One.<br>Two.</p>"},
      {"<b>Bold</b> already", "<b>Bold</b> already"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(tips::Wrapped(QString::fromUtf8(c.tip)), QString::fromUtf8(c.shown)) << c.tip;
  }
}

TEST_F(FindTest, LongTooltipsShowWrappedAtAReadableWidth) {
  // The widest tooltip of the form.
  QWidget* control = nullptr;
  const QFontMetrics metrics(QToolTip::font());
  for (QWidget* w : form->findChildren<QWidget*>()) {
    if (control == nullptr ||
        metrics.horizontalAdvance(w->toolTip()) > metrics.horizontalAdvance(control->toolTip())) {
      control = w;
    }
  }
  const QString tip = control->toolTip();
  ASSERT_GT(metrics.horizontalAdvance(tip), 900);
  QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), control->mapToGlobal(QPoint(5, 5)));
  QApplication::sendEvent(control, &help);
  ASSERT_TRUE(QToolTip::isVisible());
  EXPECT_EQ(QToolTip::text(), tips::Wrapped(tip));
  auto* shown = qApp->findChild<QLabel*>(QStringLiteral("qtooltip_label"));
  if (shown == nullptr) {
    for (QWidget* top : QApplication::topLevelWidgets()) {
      if (top->objectName() == QLatin1String("qtooltip_label")) shown = qobject_cast<QLabel*>(top);
    }
  }
  ASSERT_NE(shown, nullptr);
  EXPECT_LE(shown->width(), 700);
  EXPECT_EQ(control->toolTip(), tip);  // the control's own text is untouched
  QToolTip::hideText();
}

// ---------------------------------------------------------------------------
// Open Recent, print to a file

TEST_F(FindTest, RecentEntriesOfOneFileNameShowTheirFolders) {
  TForm1::Settings().remove(QStringLiteral("recentFiles"));
  QTemporaryDir dir;
  ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("a")));
  ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("b")));
  const QString a = dir.filePath(QStringLiteral("a/rifle.json"));
  const QString b = dir.filePath(QStringLiteral("b/rifle.json"));
  const QString c = dir.filePath(QStringLiteral("a/pistol.json"));
  for (const QString& path : {a, b, c}) ASSERT_TRUE(form->SaveFile(path));
  QStringList entries;
  QStringList tips;
  auto* menu = Control<QMenu>(*form, "RecentMenu");
  for (QAction* entry : menu->actions()) {
    if (entry->isSeparator() || entry->text() == QLatin1String("&Clear Menu")) continue;
    entries << entry->text();
    tips << entry->toolTip();
  }
  const QString inA = QDir::toNativeSeparators(dir.filePath(QStringLiteral("a")));
  const QString inB = QDir::toNativeSeparators(dir.filePath(QStringLiteral("b")));
  EXPECT_EQ(entries, (QStringList{QStringLiteral("&1 pistol.json"),
                                  QStringLiteral("&2 rifle.json (in %1)").arg(inB),
                                  QStringLiteral("&3 rifle.json (in %1)").arg(inA)}));
  EXPECT_EQ(tips, (QStringList{QDir::toNativeSeparators(c), QDir::toNativeSeparators(b),
                               QDir::toNativeSeparators(a)}));
  EXPECT_TRUE(menu->toolTipsVisible());
  TForm1::Settings().remove(QStringLiteral("recentFiles"));
}

TEST_F(FindTest, PrintingToAFileSuggestsTheWeaponsName) {
  struct Case {
    const char* name;
    const char* document;
  };
  const Case cases[] = {
      {"Marsh Carbine", "Marsh Carbine.pdf"},
      {"", "statblock.pdf"},
      {"Mk 2/3", "Mk 2-3.pdf"},
      {"M1.5 Rifle", "M1.5 Rifle.pdf"},
  };
  Control<QPlainTextEdit>(*form, "StatblockMemo")->setPlainText(QStringLiteral("A statblock"));
  for (const Case& c : cases) {
    form->Change(Control<QLineEdit>(*form, "NameEdit"), QString::fromUtf8(c.name));
    QString document;
    dialogs->ScriptPrint([&document](QPrinter& printer) {
      document = printer.docName();
      return false;
    });
    Control<QAction>(*form, "PrintAction")->trigger();
    EXPECT_EQ(document, QString::fromUtf8(c.document)) << c.name;
  }
}

// ---------------------------------------------------------------------------
// Themes

class ThemeTest : public FormTest {
 protected:
  // Chooses a theme under View > Theme, and lets the event loop hand the
  // new palette to the windows, as it does between two user events.
  void ChooseTheme(const char* action) {
    Control<QAction>(*form, action)->trigger();
    QTRY_COMPARE(form->palette().color(QPalette::Base),
                 QApplication::palette().color(QPalette::Base));
  }
  void TearDown() override {
    Control<QAction>(*form, "ThemeSystemAction")->trigger();
    TForm1::Settings().remove(theme::kThemeKey);
    FormTest::TearDown();
  }
};

TEST_F(ThemeTest, LightAndDarkAreReadableAndKept) {
  const QPalette system = QApplication::palette();
  struct Case {
    const char* action;
    const char* kept;
    bool dark;
  };
  const Case cases[] = {{"ThemeDarkAction", "dark", true},
                        {"ThemeLightAction", "light", false},
                        {"ThemeDarkAction", "dark", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.action);
    auto* action = Control<QAction>(*form, c.action);
    action->trigger();
    EXPECT_TRUE(action->isChecked());
    int checked = 0;
    for (QAction* other : Control<QMenu>(*form, "ThemeMenu")->actions())
      checked += other->isChecked();
    EXPECT_EQ(checked, 1);
    EXPECT_EQ(TForm1::Settings().value(theme::kThemeKey).toString(), QLatin1String(c.kept));
    const QPalette palette = QApplication::palette();
    EXPECT_EQ(theme::IsDark(palette), c.dark);
    EXPECT_EQ(QApplication::style()->name().toLower(), QStringLiteral("fusion"));
    const QColor text = palette.color(QPalette::Text);
    const QColor base = palette.color(QPalette::Base);
    EXPECT_GE(theme::Contrast(text, base), 7.0);
    for (const QColor& hue : {QColor(255, 200, 60), QColor(255, 90, 90), QColor(90, 210, 90)}) {
      EXPECT_GE(theme::Contrast(text, theme::Tint(palette, hue)), 4.5) << hue.name().toStdString();
    }
    EXPECT_GE(theme::Contrast(theme::NoteText(palette), theme::NoteBackground(palette)), 4.5);
    EXPECT_GE(theme::Contrast(theme::AlarmText(palette), base), 4.5);
    const double dimmed = theme::Contrast(theme::DimmedText(palette), base);
    EXPECT_GE(dimmed, 3.0);
    EXPECT_LT(dimmed, theme::Contrast(text, base));
  }
  Control<QAction>(*form, "ThemeSystemAction")->trigger();
  EXPECT_EQ(QApplication::palette(), system);
  EXPECT_EQ(TForm1::Settings().value(theme::kThemeKey).toString(), QLatin1String("system"));

  // A window opened later takes the theme kept.
  Control<QAction>(*form, "ThemeDarkAction")->trigger();
  TForm1 next;
  EXPECT_TRUE(Control<QAction>(next, "ThemeDarkAction")->isChecked());
  EXPECT_TRUE(theme::IsDark(QApplication::palette()));
}

TEST_F(ThemeTest, TheComparisonsMarksFollowTheTheme) {
  TCompareDialog dialog;
  dialog.SetStatblocks(QStringLiteral("A"), {"same", "old"}, QStringLiteral("B"),
                       {"same", "new", "added"});
  auto* table = Control<QTableWidget>(dialog, "CompareTable");
  for (const char* action : {"ThemeLightAction", "ThemeDarkAction"}) {
    SCOPED_TRACE(action);
    ChooseTheme(action);
    const QPalette palette = table->palette();
    EXPECT_EQ(palette.color(QPalette::Base), QApplication::palette().color(QPalette::Base));
    EXPECT_EQ(table->item(0, 1)->background(), QBrush());
    for (int row = 1; row < table->rowCount(); ++row) {
      const QColor tint = table->item(row, 1)->background().color();
      EXPECT_GE(theme::Contrast(palette.color(QPalette::Text), tint), 4.5) << row;
      EXPECT_EQ(theme::IsDark(palette), tint.lightness() < 128) << row;
    }
  }
}

// The note over a statblock older than the form, and the statblock dimmed
// under it, take their colours from the theme: readable in both, dark in
// the dark one, and coloured again when the theme changes while they show.
TEST_F(ThemeTest, TheStaleNoteAndTheDimmedStatblockFollowTheTheme) {
  auto* note = Control<QLabel>(*form, "StatblockNote");
  auto* pane = Control<QPlainTextEdit>(*form, "StatblockMemo");
  auto* name = Control<QLineEdit>(*form, "NameEdit");
  Type(name, QStringLiteral("Needler"));
  Type(Control<QLineEdit>(*form, "BoreSizeEdit"), QStringLiteral("7"));
  Press(Control<QPushButton>(*form, "DesignButton"));
  ASSERT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
  ASSERT_FALSE(Pane().isEmpty());
  Type(name, QStringLiteral("Needle Rifle"));
  ASSERT_TRUE(form->statblockStale());
  for (const char* action : {"ThemeLightAction", "ThemeDarkAction", "ThemeLightAction"}) {
    SCOPED_TRACE(action);
    ChooseTheme(action);
    ASSERT_TRUE(note->isVisible());
    const QPalette palette = QApplication::palette();
    const bool dark = theme::IsDark(palette);
    const QColor ground = note->palette().color(QPalette::Window);
    const QColor text = note->palette().color(QPalette::WindowText);
    EXPECT_GE(theme::Contrast(text, ground), 4.5);
    // A dark note in the dark theme, a light one in the light theme; and
    // the ground is painted, not only chosen.
    EXPECT_EQ(ground.lightness() < 128, dark) << ground.name().toStdString();
    EXPECT_EQ(text.lightness() >= 128, dark) << text.name().toStdString();
    EXPECT_EQ(note->grab().toImage().pixel(1, 1), ground.rgb());
    // The statblock's text is dimmed, yet readable on the pane's ground.
    const QColor dimmed = pane->palette().color(QPalette::Active, QPalette::Text);
    const QColor base = pane->palette().color(QPalette::Base);
    EXPECT_EQ(dimmed, theme::DimmedText(palette));
    EXPECT_GE(theme::Contrast(dimmed, base), 3.0);
    EXPECT_LT(theme::Contrast(dimmed, base), theme::Contrast(palette.color(QPalette::Text), base));
  }
  // The form as Design had it: the statblock is the form's again, in the
  // theme's own text colour.
  Type(name, QStringLiteral("Needler"));
  EXPECT_FALSE(note->isVisible());
  EXPECT_EQ(pane->palette().color(QPalette::Active, QPalette::Text),
            QApplication::palette().color(QPalette::Text));

  // A window opened in the dark theme has its dark note from the start.
  ChooseTheme("ThemeDarkAction");
  TForm1 next;
  EXPECT_EQ(Control<QLabel>(next, "StatblockNote")->palette().color(QPalette::Window),
            theme::NoteBackground(QApplication::palette()));
}

}  // namespace
