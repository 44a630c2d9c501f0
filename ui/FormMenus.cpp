// The window's menu bar and keyboard shortcuts, every one of them made here,
// and the commands behind them that are not rules of the form: copying the
// statblock, the shortcut list and the About text.
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>
#include <memory>
#include <utility>

#include "ui/Armoury.h"
#include "ui/FindBox.h"
#include "ui/ShortcutList.h"
#include "ui/Theme.h"
#include "ui/Unit1.h"
#include "ui/WrappedTooltips.h"

#ifndef BRENNICK_VERSION
#error "the build gives the program's version as BRENNICK_VERSION"
#endif

namespace {

QAction* NewAction(const QString& text, QObject* parent, const char* name,
                   const QList<QKeySequence>& keys = {}) {
  auto* action = new QAction(text, parent);
  action->setObjectName(QLatin1String(name));
  action->setShortcuts(keys);
  return action;
}

QMenu* NewMenu(QMenuBar* bar, const QString& title, const char* name) {
  QMenu* menu = bar->addMenu(title);
  menu->setObjectName(QLatin1String(name));
  return menu;
}

// View > Theme: the system's colours, light or dark; the choice is kept.
void AddThemeMenu(QMenu* view, QWidget* window) {
  using brennick::theme::Theme;
  QMenu* menu = view->addMenu(TForm1::tr("&Theme"));
  menu->setObjectName(QStringLiteral("ThemeMenu"));
  auto* group = new QActionGroup(window);
  group->setExclusive(true);
  const Theme chosen = brennick::theme::ThemeFromName(
      TForm1::Settings().value(brennick::theme::kThemeKey).toString());
  const std::pair<Theme, QString> themes[] = {{Theme::System, TForm1::tr("&System")},
                                              {Theme::Light, TForm1::tr("&Light")},
                                              {Theme::Dark, TForm1::tr("&Dark")}};
  for (const auto& [theme, text] : themes) {
    const QString name = brennick::theme::ThemeName(theme);
    QAction* action = menu->addAction(text);
    action->setObjectName(QStringLiteral("Theme") + name.left(1).toUpper() + name.mid(1) +
                          QStringLiteral("Action"));
    action->setCheckable(true);
    action->setChecked(theme == chosen);
    group->addAction(action);
    QObject::connect(action, &QAction::triggered, window, [theme, name] {
      brennick::theme::Apply(theme);
      TForm1::Settings().setValue(brennick::theme::kThemeKey, name);
    });
  }
  brennick::theme::Apply(chosen);
}

}  // namespace

void TForm1::CreateMenus() {
  Actions& a = actions_;
  // File.
  a.New = NewAction(tr("&New"), this, "NewAction", {QKeySequence::New});
  a.Open = NewAction(tr("&Open..."), this, "OpenAction", {QKeySequence::Open});
  a.Save = NewAction(tr("&Save"), this, "SaveAction", {QKeySequence::Save});
  a.SaveAs = NewAction(tr("Save &As..."), this, "SaveAsAction",
                       {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)});
  a.OpenArmoury = NewAction(tr("Open Ar&moury..."), this, "OpenArmouryAction",
                            {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O)});
  a.ExportStatblock = NewAction(tr("&Export Statblock..."), this, "ExportStatblockAction",
                                {QKeySequence(Qt::CTRL | Qt::Key_E)});
  a.Print = NewAction(tr("&Print..."), this, "PrintAction", {QKeySequence::Print});
  a.ExportPdf = NewAction(tr("Export P&DF..."), this, "ExportPdfAction",
                          {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E)});
  a.Quit = NewAction(tr("&Quit"), this, "QuitAction", {QKeySequence(Qt::CTRL | Qt::Key_Q)});
  // Edit.
  a.Undo = NewAction(tr("&Undo"), this, "UndoAction", {QKeySequence::Undo});
  a.Redo = NewAction(
      tr("&Redo"), this, "RedoAction",
      {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
  a.CopyStatblock = NewAction(tr("&Copy Statblock"), this, "CopyStatblockAction",
                              {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C)});
  a.CopyMarkdown = NewAction(tr("Copy as &Markdown"), this, "CopyMarkdownAction",
                             {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_M)});
  // View.
  a.ShowDerivations = NewAction(tr("Show &Derivations"), this, "ShowDerivationsAction",
                                {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_D)});
  a.ShowDerivations->setCheckable(true);
  a.Compare = NewAction(tr("&Compare..."), this, "CompareAction",
                        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_K)});
  // Find a control: Ctrl+K as in many programs' command boxes, and Find.
  QAction* find = NewAction(tr("&Find Control..."), this, "FindAction",
                            {QKeySequence(Qt::CTRL | Qt::Key_K), QKeySequence::Find});
  a.LiveStatblock = NewAction(tr("&Live Statblock"), this, "LiveStatblockAction");
  a.LiveStatblock->setCheckable(true);
  a.EnlargeDerivations = NewAction(tr("&Enlarge Derivations"), this, "EnlargeDerivationsAction",
                                   {QKeySequence(Qt::Key_F6)});
  a.EnlargeDerivations->setCheckable(true);
  // Help.
  a.Shortcuts = NewAction(tr("&Keyboard Shortcuts"), this, "ShortcutsAction");
  a.About = NewAction(tr("&About Brennick"), this, "AboutAction");
  // Design and Randomize from anywhere in the window, the keypad's Enter too.
  a.Design =
      NewAction(tr("Design"), this, "DesignAction",
                {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)});
  a.Randomize =
      NewAction(tr("Randomize"), this, "RandomizeAction", {QKeySequence(Qt::CTRL | Qt::Key_R)});
  addAction(a.Design);
  addAction(a.Randomize);
  // What the keyboard list says the commands do, where their menu text
  // says too little.
  const std::pair<QAction*, QString> keyHelp[] = {
      {a.New, tr("new design")},
      {a.Open, tr("open a design file")},
      {a.Save, tr("save")},
      {a.SaveAs, tr("save as")},
      {a.OpenArmoury, tr("open an armoury")},
      {a.ExportStatblock, tr("export the statblock")},
      {a.Print, tr("print")},
      {a.ExportPdf, tr("export as PDF")},
      {a.Quit, tr("quit")},
      {a.Undo, tr("undo")},
      {a.Redo, tr("redo")},
      {a.CopyStatblock, tr("copy the statblock")},
      {a.CopyMarkdown, tr("copy the statblock as Markdown")},
      {a.ShowDerivations, tr("show or hide the derivations")},
      {a.Compare, tr("compare statblocks")},
      {find, tr("find a control by its caption or tooltip")},
  };
  for (const auto& [action, help] : keyHelp) brennick::keys::SetKeyHelp(action, help);

  QMenuBar* bar = menuBar();
  bar->setObjectName(QStringLiteral("MenuBar"));
  QMenu* file = NewMenu(bar, tr("&File"), "FileMenu");
  file->addAction(a.New);
  file->addAction(a.Open);
  recentMenu_ = new QMenu(tr("Open &Recent"), this);
  recentMenu_->setObjectName(QStringLiteral("RecentMenu"));
  file->addMenu(recentMenu_);
  file->addAction(a.Save);
  file->addAction(a.SaveAs);
  file->addSeparator();
  file->addAction(a.OpenArmoury);
  file->addSeparator();
  file->addAction(a.ExportStatblock);
  file->addAction(a.Print);
  file->addAction(a.ExportPdf);
  file->addSeparator();
  file->addAction(a.Quit);
  QMenu* edit = NewMenu(bar, tr("&Edit"), "EditMenu");
  edit->addAction(a.Undo);
  edit->addAction(a.Redo);
  edit->addSeparator();
  edit->addAction(a.CopyStatblock);
  edit->addAction(a.CopyMarkdown);
  edit->addSeparator();
  edit->addAction(find);
  QMenu* view = NewMenu(bar, tr("&View"), "ViewMenu");
  view->addAction(a.ShowDerivations);
  view->addAction(a.Compare);
  view->addAction(a.LiveStatblock);
  view->addAction(a.EnlargeDerivations);
  view->addSeparator();
  AddThemeMenu(view, this);
  QMenu* help = NewMenu(bar, tr("&Help"), "HelpMenu");
  help->addAction(a.Shortcuts);
  help->addSeparator();
  help->addAction(a.About);

  // A shortcut is a click on its button: the same user event, the same
  // boundary. None of them reaches the window as a key press of its own.
  connect(a.Design, &QAction::triggered, this, [this] { DesignButton->click(); });
  connect(a.Randomize, &QAction::triggered, this, [this] { RandomButton->click(); });
  connect(a.New, &QAction::triggered, this, [this] {
    FileNew();
    // A new design starts at the first control of the keyboard's order.
    if (isModified() || !currentPath().empty()) return;
    for (QWidget* w = nextInFocusChain(); w != this; w = w->nextInFocusChain()) {
      if (surface_->isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus) != 0 && w->isEnabled() &&
          w->isVisibleTo(this)) {
        w->setFocus(Qt::TabFocusReason);
        break;
      }
    }
  });
  connect(a.Open, &QAction::triggered, this, &TForm1::FileOpen);
  connect(a.Save, &QAction::triggered, this, [this] { Save(); });
  connect(a.SaveAs, &QAction::triggered, this, [this] { SaveAs(); });
  connect(a.OpenArmoury, &QAction::triggered, this, &TForm1::OpenArmoury);
  connect(a.ExportStatblock, &QAction::triggered, this, &TForm1::ExportStatblock);
  connect(a.Print, &QAction::triggered, this, &TForm1::PrintStatblock);
  connect(a.ExportPdf, &QAction::triggered, this, &TForm1::ExportPdf);
  connect(a.Quit, &QAction::triggered, this, &QWidget::close);
  connect(a.Undo, &QAction::triggered, this, &TForm1::Undo);
  connect(a.Redo, &QAction::triggered, this, &TForm1::Redo);
  connect(a.CopyStatblock, &QAction::triggered, this, [this] { CopyStatblock(); });
  connect(a.CopyMarkdown, &QAction::triggered, this, &TForm1::CopyAsMarkdown);
  connect(a.ShowDerivations, &QAction::toggled, this, &TForm1::ShowDerivations);
  connect(a.Compare, &QAction::triggered, this, [this] { CompareStatblocks(); });
  connect(a.LiveStatblock, &QAction::toggled, this, &TForm1::SetLiveStatblock);
  connect(a.EnlargeDerivations, &QAction::toggled, this, &TForm1::EnlargeDerivations);
  connect(a.Shortcuts, &QAction::triggered, this, [this] { ShowShortcuts(); });
  connect(a.About, &QAction::triggered, this, [this] { ShowAbout(); });

  // The find box is made the first time it is asked for.
  connect(find, &QAction::triggered, this, [this] {
    auto* box = findChild<TFindBox*>(QStringLiteral("FindBox"), Qt::FindDirectChildrenOnly);
    if (box == nullptr) box = new TFindBox(scroller_, this);
    box->Open();
  });

  // The window's shortcuts go through the control with the focus, which
  // would otherwise keep some of their keys: a text field takes Ctrl+E and
  // Ctrl+K for moving and deleting, and Ctrl+Z for undoing its own typing
  // (in the window, undo takes back changes of the whole form). The
  // statblock pane keeps undo and redo while it holds edits of its own.
  new brennick::keys::TWindowShortcuts(this, [this](QWidget* control, const QKeyEvent& key) {
    if (control != StatblockMemo) return false;
    const QKeySequence pressed(key.keyCombination());
    const auto is = [&pressed](const QAction* action) {
      return action->shortcuts().contains(pressed);
    };
    const QTextDocument* pane = StatblockMemo->document();
    return (is(actions_.Undo) && pane->isUndoAvailable()) ||
           (is(actions_.Redo) && pane->isRedoAvailable());
  });
  new brennick::tips::TWrappedTooltips(this);
  // Typing into a field is one step until the focus leaves it.
  connect(qApp, &QApplication::focusChanged, this, [this] { session_.EndTyping(); });
  UpdateRecentMenu();
  setAcceptDrops(true);
}

void TForm1::CopyStatblock() {
  if (!ConfirmShownStatblock(tr("Copy Statblock"))) return;
  QGuiApplication::clipboard()->setText(StatblockText());
}

void TForm1::ShowShortcuts() {
  // Made from the actions themselves: every key they have, and no other.
  QStringList lines;
  for (const brennick::keys::ShortcutLine& line :
       brennick::keys::ShortcutLines(brennick::keys::WindowActions(this))) {
    lines << line.text;
  }
  lines << QString() << brennick::keys::MenuKeyLines(this);
  lines << tr("1 to 9, 0 in Open Recent: open that design again");
  lines << tr("Alt and the underlined letter of a field's caption: go to that field");
  // The armoury's keys, from an armoury window: the one open, or one made
  // for the reading.
  std::unique_ptr<TArmouryWindow> probe;
  const TArmouryWindow* armoury = armoury_;
  if (armoury == nullptr) {
    probe = std::make_unique<TArmouryWindow>(dialogs_);
    armoury = probe.get();
  }
  const std::vector<brennick::keys::ShortcutLine> armouryLines =
      brennick::keys::ShortcutLines(brennick::keys::WindowActions(armoury));
  if (!armouryLines.empty()) {
    lines << QString() << tr("In the armoury window:");
    for (const brennick::keys::ShortcutLine& line : armouryLines) lines << line.text;
  }
  lines += QStringList{
      QString(),
      tr("Tab, Shift+Tab: next or previous control; an option group is one stop"),
      tr("Arrow keys: select the next or previous option of a group"),
      tr("Space: check a box, select the focused option or press a button"),
      tr("Return: press the focused button"),
  };
  dialogs_->ShowMessage(this, tr("Keyboard Shortcuts"), lines.join(QLatin1Char('\n')));
}

void TForm1::ShowAbout() {
  dialogs_->ShowMessage(this, tr("About Brennick"),
                        tr("Brennick %1\n\nDesigns firearms and electromagnetic guns for a "
                           "tabletop role-playing game and writes their statblocks.\n\n"
                           "Brennick is free software: you can share and change it under the "
                           "terms of the GNU General Public License, version 3 or any later "
                           "version. It comes with no warranty.")
                            .arg(Version()));
}

QString TForm1::Version() {
  return QStringLiteral(BRENNICK_VERSION);
}
