// Designs that last: design files (New, Open, Save, Save As, Open Recent,
// opening a dropped file), undo and redo of the form, the statblock copied as
// Markdown, exported, printed or written as PDF, the armoury window, and the
// few settings the window keeps.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPageLayout>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryFile>
#include <QTextBlock>
#include <QTextDocument>
#include <QUrl>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "Armoury.h"
#include "FileSupport.h"
#include "Unit1.h"
#include "design_file.h"
#include "fields.h"
#include "file_io.h"
#include "statblock_text.h"

using brennick::DesignError;
using brennick::FormState;

using namespace brennick::files_ui;

// ---------------------------------------------------------------------------
// The menus

namespace {

// The menu bar's menu of this title ("&File"), made when there is none yet.
QMenu* MenuOf(QMenuBar* bar, const QString& title, const QString& name) {
  for (QAction* action : bar->actions()) {
    if (QMenu* menu = action->menu(); menu != nullptr && menu->title() == title) return menu;
  }
  QMenu* menu = bar->addMenu(title);
  menu->setObjectName(name);
  return menu;
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

QAction* NewAction(QObject* parent, const QString& text, const char* name,
                   const QList<QKeySequence>& keys = {}) {
  auto* action = new QAction(text, parent);
  action->setObjectName(QLatin1String(name));
  action->setShortcuts(keys);
  return action;
}

}  // namespace

void TForm1::CreateFileActions() {
  QMenuBar* bar = menuBar();
  QMenu* file = MenuOf(bar, tr("&File"), QStringLiteral("FileMenu"));
  QMenu* edit = MenuOf(bar, tr("&Edit"), QStringLiteral("EditMenu"));

  // File: the design's own commands first, then what the menu already holds.
  QAction* before = file->actions().isEmpty() ? nullptr : file->actions().front();
  const auto add = [&](QMenu* menu, QAction* action, QAction* at) {
    menu->insertAction(at, action);
    return action;
  };
  connect(add(file, NewAction(this, tr("&New"), "NewAction", {QKeySequence::New}), before),
          &QAction::triggered, this, &TForm1::FileNew);
  connect(add(file, NewAction(this, tr("&Open..."), "OpenAction", {QKeySequence::Open}), before),
          &QAction::triggered, this, &TForm1::FileOpen);
  recentMenu_ = new QMenu(tr("Open &Recent"), this);
  recentMenu_->setObjectName(QStringLiteral("RecentMenu"));
  file->insertMenu(before, recentMenu_);
  connect(add(file, NewAction(this, tr("&Save"), "SaveAction", {QKeySequence::Save}), before),
          &QAction::triggered, this, [this] { Save(); });
  connect(add(file,
              NewAction(this, tr("Save &As..."), "SaveAsAction",
                        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)}),
              before),
          &QAction::triggered, this, [this] { SaveAs(); });
  file->insertSeparator(before);
  connect(add(file,
              NewAction(this, tr("Open Ar&moury..."), "OpenArmouryAction",
                        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O)}),
              before),
          &QAction::triggered, this, &TForm1::OpenArmoury);
  file->insertSeparator(before);
  connect(add(file,
              NewAction(this, tr("&Export Statblock..."), "ExportStatblockAction",
                        {QKeySequence(Qt::CTRL | Qt::Key_E)}),
              before),
          &QAction::triggered, this, &TForm1::ExportStatblock);
  connect(add(file, NewAction(this, tr("&Print..."), "PrintAction", {QKeySequence::Print}), before),
          &QAction::triggered, this, &TForm1::PrintStatblock);
  connect(add(file,
              NewAction(this, tr("Export P&DF..."), "ExportPdfAction",
                        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E)}),
              before),
          &QAction::triggered, this, &TForm1::ExportPdf);
  if (before != nullptr) file->insertSeparator(before);

  // Edit: undo and redo first, Copy as Markdown at the end.
  QAction* first = edit->actions().isEmpty() ? nullptr : edit->actions().front();
  undoAction_ = add(edit, NewAction(this, tr("&Undo"), "UndoAction", {QKeySequence::Undo}), first);
  redoAction_ = add(edit,
                    NewAction(this, tr("&Redo"), "RedoAction",
                              {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
                               QKeySequence(Qt::CTRL | Qt::Key_Y)}),
                    first);
  if (first != nullptr) edit->insertSeparator(first);
  connect(undoAction_, &QAction::triggered, this, &TForm1::Undo);
  connect(redoAction_, &QAction::triggered, this, &TForm1::Redo);
  connect(add(edit,
              NewAction(this, tr("Copy as &Markdown"), "CopyMarkdownAction",
                        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_M)}),
              nullptr),
          &QAction::triggered, this, &TForm1::CopyAsMarkdown);
  auto* undoKeys = new FormUndoKeys(this);
  for (QLineEdit* field : findChildren<QLineEdit*>()) {
    if (brennick::FindFormField(field->objectName().toStdString())) {
      field->installEventFilter(undoKeys);
    }
  }
  // Typing into a field is one step until the focus leaves it.
  connect(qApp, &QApplication::focusChanged, this, [this] { history_.EndTyping(); });

  UpdateRecentMenu();
  setAcceptDrops(true);
  UpdateTitle();
}

// ---------------------------------------------------------------------------
// The form as a whole

void TForm1::RestoreForm(const FormState& state) {
  model_.Restore(state);
  ShowState(true);
}

bool TForm1::isModified() const {
  return !(model_.state() == savedState_);
}

void TForm1::UpdateTitle() {
  // "pistol.json - Brennick", with "*" after the name while it has unsaved
  // changes; a design without a file is "Brennick".
  const bool modified = isModified();
  if (currentFile_.isEmpty()) {
    setWindowTitle(modified ? QStringLiteral("Brennick[*]") : QStringLiteral("Brennick"));
  } else {
    setWindowTitle(tr("%1[*] - Brennick").arg(QFileInfo(currentFile_).fileName()));
  }
  setWindowModified(modified);
  if (undoAction_) undoAction_->setEnabled(history_.CanUndo());
  if (redoAction_) redoAction_->setEnabled(history_.CanRedo());
}

void TForm1::Undo() {
  if (auto back = history_.Undo(model_.state())) RestoreForm(*back);
  UpdateTitle();
}

void TForm1::Redo() {
  if (auto forward = history_.Redo(model_.state())) RestoreForm(*forward);
  UpdateTitle();
}

// ---------------------------------------------------------------------------
// Unsaved changes

bool TForm1::MaybeSave() {
  if (!isModified()) return true;
  const QString name =
      currentFile_.isEmpty() ? tr("the new design") : QFileInfo(currentFile_).fileName();
  UnsavedAnswer answer = UnsavedAnswer::Cancel;
  if (unsavedPrompt_) {
    answer = unsavedPrompt_(name);
  } else {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Brennick"),
                    tr("Save the changes to %1?").arg(name),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
    box.setTextFormat(Qt::PlainText);
    box.setInformativeText(tr("Your changes are lost if you don't save them."));
    box.setDefaultButton(QMessageBox::Save);
    const int button = box.exec();
    answer = button == QMessageBox::Save      ? UnsavedAnswer::Save
             : button == QMessageBox::Discard ? UnsavedAnswer::Discard
                                              : UnsavedAnswer::Cancel;
  }
  switch (answer) {
    case UnsavedAnswer::Save:
      return Save();
    case UnsavedAnswer::Discard:
      return true;
    case UnsavedAnswer::Cancel:
      break;
  }
  return false;
}

// ---------------------------------------------------------------------------
// New, Open, Save

void TForm1::FileNew() {
  if (!MaybeSave()) return;
  UserEvent([this] {
    RestoreForm(FormState());
    StatblockMemo->clear();
    currentFile_.clear();
    savedState_ = FormState();
  });
}

void TForm1::FileOpen() {
  if (!MaybeSave()) return;
  const QString path = ChooseFile(false, tr("Open Design"), LastFolder(kDesignFolderKey));
  if (!path.isEmpty()) LoadFile(path);
}

bool TForm1::OpenFile(const QString& path) {
  return MaybeSave() && LoadFile(path);
}

bool TForm1::LoadFile(const QString& path) {
  bool loaded = false;
  UserEvent([this, &path, &loaded] {
    // Read whole and checked before anything changes: a bad file leaves the
    // form as it was.
    const FormState state = brennick::LoadDesignFile(PathOf(path), DecimalSeparator());
    RestoreForm(state);
    StatblockMemo->clear();
    currentFile_ = QFileInfo(path).absoluteFilePath();
    savedState_ = state;
    loaded = true;
  });
  if (loaded) Remember(currentFile_, kDesignFolderKey);
  return loaded;
}

bool TForm1::Save() {
  if (currentFile_.isEmpty()) return SaveAs();
  return SaveFile(currentFile_);
}

bool TForm1::SaveAs() {
  QString suggested = currentFile_;
  if (suggested.isEmpty()) {
    const QString name = QString::fromStdString(model_.state().NameEdit.text).trimmed();
    suggested = QDir(LastFolder(kDesignFolderKey))
                    .filePath((name.isEmpty() ? tr("design") : name) + QStringLiteral(".json"));
  }
  QString path = ChooseFile(true, tr("Save Design As"), suggested);
  if (path.isEmpty()) return false;
  if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".json");
  return SaveFile(path);
}

bool TForm1::SaveFile(const QString& path) {
  try {
    brennick::SaveDesignFile(PathOf(path), model_.state(), DecimalSeparator());
  } catch (const std::exception& e) {
    ReportError(FromUtf8(e.what()));
    return false;
  }
  currentFile_ = QFileInfo(path).absoluteFilePath();
  savedState_ = model_.state();
  Remember(currentFile_, kDesignFolderKey);
  UpdateTitle();
  return true;
}

// ---------------------------------------------------------------------------
// Recent files and folders

QStringList TForm1::recentFiles() const {
  return Settings().value(kRecentKey).toStringList();
}

void TForm1::Remember(const QString& file, const QString& folderKey) {
  QSettings settings = Settings();
  QStringList recent = settings.value(kRecentKey).toStringList();
  recent.removeAll(file);
  recent.prepend(file);
  while (recent.size() > kMaxRecentFiles) recent.removeLast();
  settings.setValue(kRecentKey, recent);
  settings.setValue(folderKey, QFileInfo(file).absolutePath());
  UpdateRecentMenu();
}

QString TForm1::LastFolder(const QString& key) const {
  const QString folder = Settings().value(key).toString();
  return folder.isEmpty() || !QFileInfo(folder).isDir() ? QDir::homePath() : folder;
}

void TForm1::UpdateRecentMenu() {
  if (recentMenu_ == nullptr) return;
  recentMenu_->clear();
  const QStringList recent = recentFiles();
  for (int i = 0; i < recent.size(); ++i) {
    const QString& file = recent[i];
    // "&1" to "&9", then "1&0": each entry has its own key.
    const QString number = i < 9 ? QStringLiteral("&%1").arg(i + 1) : QStringLiteral("1&0");
    QAction* action = recentMenu_->addAction(
        number + QLatin1Char(' ') +
        QFileInfo(file).fileName().replace(QLatin1Char('&'), QStringLiteral("&&")));
    action->setToolTip(QDir::toNativeSeparators(file));
    action->setStatusTip(QDir::toNativeSeparators(file));
    connect(action, &QAction::triggered, this, [this, file] { OpenFile(file); });
  }
  recentMenu_->addSeparator();
  QAction* clear = recentMenu_->addAction(tr("&Clear Menu"));
  clear->setEnabled(!recent.isEmpty());
  connect(clear, &QAction::triggered, this, [this] {
    Settings().remove(kRecentKey);
    UpdateRecentMenu();
  });
  recentMenu_->setEnabled(true);
}

QSettings TForm1::Settings() {
  return QSettings(QSettings::NativeFormat, QSettings::UserScope,
                   QCoreApplication::organizationName().isEmpty()
                       ? QStringLiteral("Brennick")
                       : QCoreApplication::organizationName(),
                   QStringLiteral("Brennick"));
}

void TForm1::RestoreGeometry() {
  const QByteArray geometry = Settings().value(kGeometryKey).toByteArray();
  if (!geometry.isEmpty()) restoreGeometry(geometry);
}

void TForm1::SaveGeometry() {
  Settings().setValue(kGeometryKey, saveGeometry());
}

void TForm1::OpenStartFile(const QStringList& arguments) {
  if (arguments.size() > 1) OpenFile(arguments.at(1));
}

// ---------------------------------------------------------------------------
// Choosing files

QString TForm1::ChooseFile(bool save, const QString& caption, const QString& path,
                           const QString& filter) {
  const QString f = filter.isEmpty() ? DesignFilter() : filter;
  if (fileChooser_) return fileChooser_(save, caption, path, f);
  return save ? QFileDialog::getSaveFileName(this, caption, path, f)
              : QFileDialog::getOpenFileName(this, caption, path, f);
}

QString TForm1::ChooseFolder(const QString& caption, const QString& path) {
  if (folderChooser_) return folderChooser_(caption, path);
  return QFileDialog::getExistingDirectory(this, caption, path);
}

// ---------------------------------------------------------------------------
// Dropping a file on the window

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
  const QMimeData* mime = event->mimeData();
  if (mime->hasUrls() && !mime->urls().isEmpty() && mime->urls().front().isLocalFile()) {
    event->acceptProposedAction();
  }
}

void TForm1::dropEvent(QDropEvent* event) {
  const QList<QUrl> urls = event->mimeData()->urls();
  if (urls.isEmpty() || !urls.front().isLocalFile()) return;
  event->acceptProposedAction();
  OpenFile(urls.front().toLocalFile());
}
