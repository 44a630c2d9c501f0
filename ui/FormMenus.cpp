// The window's menu bar and keyboard shortcuts, every one of them made here,
// and the commands behind them that are not rules of the form: copying the
// statblock, the shortcut list and the About text.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <utility>

#include "ui/Unit1.h"

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

QString KeyText(const QAction* action) {
  return action->shortcut().toString(QKeySequence::NativeText);
}

// Every shortcut of an action: redo has two of its own.
QString AllKeysText(const QAction* action) {
  QStringList keys;
  for (const QKeySequence& key : action->shortcuts()) {
    keys << key.toString(QKeySequence::NativeText);
  }
  return keys.join(QStringLiteral(", "));
}

// Keeps the form's undo and redo keys from the text fields, which would
// otherwise take them for undoing their own typing: in the window they undo
// changes of the whole form.
class FormUndoKeys : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::ShortcutOverride) {
      auto* key = static_cast<QKeyEvent*>(event);
      const QKeyCombination combination = key->keyCombination();
      if (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo) ||
          combination == QKeyCombination(Qt::CTRL | Qt::SHIFT, Qt::Key_Z) ||
          combination == QKeyCombination(Qt::CTRL, Qt::Key_Y)) {
        event->ignore();  // not the field's: the window's shortcut runs
        return true;
      }
    }
    return QObject::eventFilter(watched, event);
  }
};

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
  QMenu* view = NewMenu(bar, tr("&View"), "ViewMenu");
  view->addAction(a.ShowDerivations);
  view->addAction(a.Compare);
  view->addAction(a.LiveStatblock);
  view->addAction(a.EnlargeDerivations);
  QMenu* help = NewMenu(bar, tr("&Help"), "HelpMenu");
  help->addAction(a.Shortcuts);
  help->addSeparator();
  help->addAction(a.About);

  // A shortcut is a click on its button: the same user event, the same
  // boundary. None of them reaches the window as a key press of its own.
  connect(a.Design, &QAction::triggered, this, [this] { DesignButton->click(); });
  connect(a.Randomize, &QAction::triggered, this, [this] { RandomButton->click(); });
  connect(a.New, &QAction::triggered, this, &TForm1::FileNew);
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

  auto* undoKeys = new FormUndoKeys(this);
  for (QWidget* field : fieldWidgets_) {
    if (auto* text = qobject_cast<QLineEdit*>(field)) text->installEventFilter(undoKeys);
  }
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
  const Actions& a = actions_;
  QStringList lines = {
      tr("%1: Design").arg(KeyText(a.Design)),
      tr("%1: Randomize").arg(KeyText(a.Randomize)),
  };
  // The file and edit commands.
  const std::pair<const QAction*, QString> commands[] = {
      {a.New, tr("new design")},
      {a.Open, tr("open a design file")},
      {a.Save, tr("save")},
      {a.SaveAs, tr("save as")},
      {a.OpenArmoury, tr("open an armoury")},
      {a.ExportStatblock, tr("export the statblock")},
      {a.Print, tr("print")},
      {a.ExportPdf, tr("export as PDF")},
      {a.Undo, tr("undo")},
      {a.Redo, tr("redo")},
  };
  for (const auto& [action, what] : commands) lines << tr("%1: %2").arg(AllKeysText(action), what);
  lines << tr("%1: copy the statblock").arg(KeyText(a.CopyStatblock));
  lines << tr("%1: copy the statblock as Markdown").arg(KeyText(a.CopyMarkdown));
  lines << tr("%1: show or hide the derivations").arg(KeyText(a.ShowDerivations));
  lines << tr("%1: compare statblocks").arg(KeyText(a.Compare));
  lines << tr("%1: quit").arg(KeyText(a.Quit));
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
                           "tabletop role-playing game and writes their statblocks.")
                            .arg(Version()));
}

QString TForm1::Version() {
  return QStringLiteral(BRENNICK_VERSION);
}
