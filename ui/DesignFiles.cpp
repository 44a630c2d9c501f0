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
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "files/design_file.h"
#include "files/file_io.h"
#include "form/fields.h"
#include "form/statblock_text.h"
#include "ui/Armoury.h"
#include "ui/FileSupport.h"
#include "ui/Unit1.h"

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

namespace {

// The message of a failure, whole: a design message may quote a NUL.
QString MessageOf(const std::exception& error) {
  const auto* design = dynamic_cast<const DesignError*>(&error);
  return FromUtf8(design ? design->message() : std::string(error.what()));
}

// The file a path names, from the root: how the window remembers a file, so
// that a change of the working folder changes nothing.
std::filesystem::path Absolute(const std::filesystem::path& path) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(path, error);
  return error ? path : absolute.lexically_normal();
}

QByteArray BytesOf(const std::filesystem::path& path) {
  return QByteArray(path.native().data(), static_cast<qsizetype>(path.native().size()));
}

}  // namespace

void TForm1::RestoreForm(const FormState& state) {
  model_.Restore(state);
  ShowState(true);
}

bool TForm1::isModified() const {
  return history_.document().Modified(model_.state());
}

QString TForm1::currentFile() const {
  return DisplayName(currentPath());
}

void TForm1::UpdateTitle() {
  // "pistol.json - Brennick", with "*" after the name while it has unsaved
  // changes; a design without a file is "Brennick".
  const bool modified = isModified();
  if (currentPath().empty()) {
    setWindowTitle(modified ? QStringLiteral("Brennick[*]") : QStringLiteral("Brennick"));
  } else {
    setWindowTitle(tr("%1[*] - Brennick").arg(DisplayName(currentPath().filename())));
  }
  setWindowModified(modified);
  if (undoAction_) undoAction_->setEnabled(history_.CanUndo());
  if (redoAction_) redoAction_->setEnabled(history_.CanRedo());
}

void TForm1::Undo() {
  // The history brings back the file the form belonged to with the form.
  if (auto back = history_.Undo(model_.state())) RestoreForm(*back);
  UpdateTitle();
}

void TForm1::Redo() {
  if (auto forward = history_.Redo(model_.state())) RestoreForm(*forward);
  UpdateTitle();
}

void TForm1::Replace(const FormState& state, brennick::FormDocument document) {
  // New and Open are one step to undo, which takes the file back too; the
  // one catch of the event, as UserEvent is for the others.
  try {
    const FormState before = model_.state();
    RestoreForm(state);
    StatblockMemo->clear();
    history_.Replaced(before, model_.state(), std::move(document));
  } catch (const std::exception& error) {
    ReportError(MessageOf(error));
  }
  UpdateTitle();
}

// ---------------------------------------------------------------------------
// Unsaved changes

bool TForm1::MaybeSave() {
  if (!isModified()) return true;
  const QString name =
      currentPath().empty() ? tr("the new design") : DisplayName(currentPath().filename());
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
  Replace(FormState(), brennick::FormDocument{});
}

void TForm1::FileOpen() {
  if (!MaybeSave()) return;
  const QString path = ChooseFile(false, tr("Open Design"), LastFolder(kDesignFolderKey));
  if (!path.isEmpty()) LoadFile(PathOf(path));
}

bool TForm1::OpenFile(const std::filesystem::path& path) {
  return MaybeSave() && LoadFile(path);
}

bool TForm1::OpenFile(const QString& path) {
  return OpenFile(PathOf(path));
}

bool TForm1::LoadFile(const std::filesystem::path& path) {
  // Read whole and checked before anything changes: a bad file leaves the
  // form as it was.
  FormState state;
  try {
    state = brennick::LoadDesignFile(path, DecimalSeparator());
  } catch (const std::exception& error) {
    ReportError(MessageOf(error));
    return false;
  }
  const std::filesystem::path file = Absolute(path);
  Replace(state, brennick::FormDocument{file, state});
  Remember(file, kDesignFolderKey);
  return true;
}

bool TForm1::Save() {
  if (currentPath().empty()) return SaveAs();
  return SaveFile(currentPath());
}

bool TForm1::SaveAs() {
  const QString suggested =
      currentPath().empty() ? SuggestedPath(kDesignFolderKey, tr("design"), QStringLiteral("json"))
                            : DisplayName(currentPath());
  const QString path = ChooseSaveFile(tr("Save Design As"), suggested, DesignFilter());
  if (path.isEmpty()) return false;
  return SaveFile(path);
}

bool TForm1::SaveFile(const QString& path) {
  return SaveFile(PathOf(path));
}

bool TForm1::SaveFile(const std::filesystem::path& path) {
  try {
    brennick::SaveDesignFile(path, model_.state(), DecimalSeparator());
  } catch (const std::exception& error) {
    ReportError(MessageOf(error));
    return false;
  }
  const std::filesystem::path file = Absolute(path);
  history_.Saved(file, model_.state());
  Remember(file, kDesignFolderKey);
  UpdateTitle();
  return true;
}

// ---------------------------------------------------------------------------
// Recent files and folders

// The recent files are kept as the file system's bytes, so that any name it
// holds opens again; names kept as text by earlier versions still read.
std::vector<std::filesystem::path> TForm1::recentPaths() const {
  const QVariant value = Settings().value(kRecentKey);
  QVariantList entries;
  if (value.typeId() == QMetaType::QString || value.typeId() == QMetaType::QByteArray) {
    entries << value;
  } else if (value.isValid()) {
    entries = value.toList();
  }
  std::vector<std::filesystem::path> paths;
  for (const QVariant& entry : entries) {
    const QByteArray bytes = entry.typeId() == QMetaType::QByteArray
                                 ? entry.toByteArray()
                                 : QFile::encodeName(entry.toString());
    if (bytes.isEmpty()) continue;
    paths.emplace_back(bytes.toStdString());
    if (paths.size() == kMaxRecentFiles) break;
  }
  return paths;
}

QStringList TForm1::recentFiles() const {
  QStringList names;
  for (const std::filesystem::path& path : recentPaths()) names << DisplayName(path);
  return names;
}

void TForm1::Remember(const std::filesystem::path& file, const QString& folderKey) {
  std::vector<std::filesystem::path> recent = recentPaths();
  std::erase(recent, file);
  recent.insert(recent.begin(), file);
  if (recent.size() > kMaxRecentFiles) recent.resize(kMaxRecentFiles);
  QVariantList stored;
  for (const std::filesystem::path& path : recent) stored << BytesOf(path);
  QSettings settings = Settings();
  settings.setValue(kRecentKey, stored);
  settings.setValue(folderKey, DisplayName(file.parent_path()));
  UpdateRecentMenu();
}

QString TForm1::LastFolder(const QString& key) const {
  const QString folder = Settings().value(key).toString();
  return folder.isEmpty() || !QFileInfo(folder).isDir() ? QDir::homePath() : folder;
}

void TForm1::UpdateRecentMenu() {
  if (recentMenu_ == nullptr) return;
  recentMenu_->clear();
  const std::vector<std::filesystem::path> recent = recentPaths();
  for (std::size_t i = 0; i < recent.size(); ++i) {
    const std::filesystem::path& file = recent[i];
    // "&1" to "&9", then "1&0": each entry has its own key.
    const QString number = i < 9 ? QStringLiteral("&%1").arg(i + 1) : QStringLiteral("1&0");
    QAction* action = recentMenu_->addAction(
        number + QLatin1Char(' ') +
        DisplayName(file.filename()).replace(QLatin1Char('&'), QStringLiteral("&&")));
    action->setToolTip(QDir::toNativeSeparators(DisplayName(file)));
    action->setStatusTip(QDir::toNativeSeparators(DisplayName(file)));
    connect(action, &QAction::triggered, this, [this, file] { OpenFile(file); });
  }
  recentMenu_->addSeparator();
  QAction* clear = recentMenu_->addAction(tr("&Clear Menu"));
  clear->setEnabled(!recent.empty());
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

void TForm1::OpenStartFile(int argc, const char* const* argv) {
  if (argc > 1 && argv[1] != nullptr) OpenFile(std::filesystem::path(argv[1]));
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
  OpenFile(PathOfUrl(urls.front()));
}
