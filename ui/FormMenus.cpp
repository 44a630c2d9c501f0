// The window's menu bar and keyboard shortcuts, and the commands behind them
// that are not rules of the form: copying the statblock, the shortcut list
// and the About text.
#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeySequence>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextDocument>
#include <utility>

#include "ui/Unit1.h"

#ifndef BRENNICK_VERSION
#error "the build gives the program's version as BRENNICK_VERSION"
#endif

namespace {

QAction* NewAction(const QString& text, QObject* parent, const char* name,
                   const QList<QKeySequence>& keys) {
  auto* action = new QAction(text, parent);
  action->setObjectName(QLatin1String(name));
  action->setShortcuts(keys);
  return action;
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

}  // namespace

void TForm1::CreateMenus() {
  QuitAction =
      NewAction(QStringLiteral("&Quit"), this, "QuitAction", {QKeySequence(Qt::CTRL | Qt::Key_Q)});
  CopyStatblockAction = NewAction(QStringLiteral("&Copy Statblock"), this, "CopyStatblockAction",
                                  {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C)});
  ShortcutsAction = NewAction(QStringLiteral("&Keyboard Shortcuts"), this, "ShortcutsAction", {});
  AboutAction = NewAction(QStringLiteral("&About Brennick"), this, "AboutAction", {});
  // Design and Randomize from anywhere in the window, the keypad's Enter too.
  DesignAction =
      NewAction(QStringLiteral("Design"), this, "DesignAction",
                {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)});
  RandomizeAction = NewAction(QStringLiteral("Randomize"), this, "RandomizeAction",
                              {QKeySequence(Qt::CTRL | Qt::Key_R)});
  addAction(DesignAction);
  addAction(RandomizeAction);
  ShowDerivationsAction =
      NewAction(QStringLiteral("Show &Derivations"), this, "ShowDerivationsAction",
                {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_D)});
  ShowDerivationsAction->setCheckable(true);
  CompareAction = NewAction(QStringLiteral("&Compare..."), this, "CompareAction",
                            {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_K)});

  QMenuBar* bar = menuBar();
  bar->setObjectName(QStringLiteral("MenuBar"));
  QMenu* file = bar->addMenu(QStringLiteral("&File"));
  file->addAction(QuitAction);
  QMenu* edit = bar->addMenu(QStringLiteral("&Edit"));
  edit->addAction(CopyStatblockAction);
  QMenu* view = bar->addMenu(QStringLiteral("&View"));
  view->setObjectName(QStringLiteral("ViewMenu"));
  view->addAction(ShowDerivationsAction);
  view->addAction(CompareAction);
  QMenu* help = bar->addMenu(QStringLiteral("&Help"));
  help->addAction(ShortcutsAction);
  help->addSeparator();
  help->addAction(AboutAction);

  // A shortcut is a click on its button: the same user event, the same
  // boundary. None of them reaches the window as a key press of its own.
  connect(DesignAction, &QAction::triggered, this, [this] { DesignButton->click(); });
  connect(RandomizeAction, &QAction::triggered, this, [this] { RandomButton->click(); });
  connect(QuitAction, &QAction::triggered, this, &QWidget::close);
  connect(CopyStatblockAction, &QAction::triggered, this, [this] { CopyStatblock(); });
  connect(ShortcutsAction, &QAction::triggered, this, [this] { ShowShortcuts(); });
  connect(AboutAction, &QAction::triggered, this, [this] { ShowAbout(); });
  connect(CompareAction, &QAction::triggered, this, [this] { CompareStatblocks(); });
}

void TForm1::CopyStatblock() {
  // Line by line from the document: the pane's own plain text would turn
  // no-break spaces into spaces.
  QStringList lines;
  const QTextDocument* document = StatblockMemo->document();
  for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
    lines << block.text();
  }
  QGuiApplication::clipboard()->setText(lines.join(QLatin1Char('\n')));
}

void TForm1::ShowShortcuts() {
  QStringList lines = {
      KeyText(DesignAction) + QStringLiteral(": Design"),
      KeyText(RandomizeAction) + QStringLiteral(": Randomize"),
  };
  // The file and edit commands, by the names of their actions.
  const std::pair<const char*, const char*> commands[] = {
      {"NewAction", "new design"},
      {"OpenAction", "open a design file"},
      {"SaveAction", "save"},
      {"SaveAsAction", "save as"},
      {"OpenArmouryAction", "open an armoury"},
      {"ExportStatblockAction", "export the statblock"},
      {"PrintAction", "print"},
      {"ExportPdfAction", "export as PDF"},
      {"UndoAction", "undo"},
      {"RedoAction", "redo"},
  };
  for (const auto& [name, what] : commands) {
    if (const auto* action = findChild<QAction*>(QLatin1String(name))) {
      lines << AllKeysText(action) + QStringLiteral(": ") + QLatin1String(what);
    }
  }
  lines << KeyText(CopyStatblockAction) + QStringLiteral(": copy the statblock");
  if (const auto* action = findChild<QAction*>(QStringLiteral("CopyMarkdownAction"))) {
    lines << KeyText(action) + QStringLiteral(": copy the statblock as Markdown");
  }
  lines << KeyText(ShowDerivationsAction) + QStringLiteral(": show or hide the derivations");
  lines << KeyText(CompareAction) + QStringLiteral(": compare statblocks");
  lines << KeyText(QuitAction) + QStringLiteral(": quit");
  lines += QStringList{
      QString(),
      QStringLiteral("Tab, Shift+Tab: next or previous control; an option group is one stop"),
      QStringLiteral("Arrow keys: select the next or previous option of a group"),
      QStringLiteral("Space: check a box, select the focused option or press a button"),
      QStringLiteral("Return: press the focused button"),
  };
  ShowMessage(QStringLiteral("Keyboard Shortcuts"), lines.join(QLatin1Char('\n')));
}

void TForm1::ShowAbout() {
  ShowMessage(QStringLiteral("About Brennick"),
              QStringLiteral("Brennick ") + Version() +
                  QStringLiteral("\n\nDesigns firearms and electromagnetic guns for a tabletop "
                                 "role-playing game and writes their statblocks."));
}

QString TForm1::Version() {
  return QStringLiteral(BRENNICK_VERSION);
}

void TForm1::setMessagePresenter(
    std::function<void(const QString& title, const QString& text)> presenter) {
  messagePresenter_ = std::move(presenter);
}

void TForm1::ShowMessage(const QString& title, const QString& text) {
  if (messagePresenter_) {
    messagePresenter_(title, text);
    return;
  }
  QMessageBox box(QMessageBox::Information, title, text, QMessageBox::Ok, this);
  box.setTextFormat(Qt::PlainText);
  box.exec();
}
