// Designs that last: design files (New, Open, Save, Save As, opening a
// dropped file), undo and redo of the form, and the title bar that shows the
// file and its unsaved changes. The session (form/design_session.h) keeps the
// file, the changes and the steps; the window reads and writes the files,
// asks the questions and shows the session.
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QUrl>
#include <filesystem>

#include "files/design_file.h"
#include "ui/FileSupport.h"
#include "ui/Unit1.h"

using brennick::DesignError;
using brennick::FormState;

using namespace brennick::files_ui;

namespace {

// The message of a failure, whole: a design message may quote a NUL.
QString MessageOf(const std::exception& error) {
  const auto* design = dynamic_cast<const DesignError*>(&error);
  return FromUtf8(design ? design->message() : std::string(error.what()));
}

}  // namespace

// ---------------------------------------------------------------------------
// The form as a whole

void TForm1::RestoreForm(const FormState& state) {
  session_.Restore(state);
  ShowState(true);
}

QString TForm1::currentFile() const {
  return DisplayName(currentPath());
}

void TForm1::UpdateTitle() {
  // "pistol.json - Brennick", with "*" after the name while it has unsaved
  // changes; a design without a file is "Brennick".
  const bool modified = session_.modified();
  if (currentPath().empty()) {
    setWindowTitle(modified ? tr("Brennick[*]") : tr("Brennick"));
  } else {
    setWindowTitle(tr("%1[*] - Brennick").arg(DisplayName(currentPath().filename())));
  }
  setWindowModified(modified);
  actions_.Undo->setEnabled(session_.canUndo());
  actions_.Redo->setEnabled(session_.canRedo());
}

void TForm1::Undo() {
  // The session brings back the file the form belonged to with the form.
  if (session_.Undo()) ShowState(true);
  UpdateTitle();
}

void TForm1::Redo() {
  if (session_.Redo()) ShowState(true);
  UpdateTitle();
}

void TForm1::Replace(const std::function<void()>& replace) {
  // New and Open are one step to undo, which takes the file back too; the
  // one catch of the event, as UserEvent is for the others.
  try {
    replace();
    // The pane leaves the old design's statblock behind (Live Statblock
    // makes the new one as the form is shown).
    StatblockMemo->clear();
    designedInput_.reset();
    quietFailure_.clear();
    ShowState(true);
  } catch (const std::exception& error) {
    ReportError(MessageOf(error));
  }
  UpdateTitle();
}

// ---------------------------------------------------------------------------
// Unsaved changes

bool TForm1::MaybeSave() {
  if (!session_.modified()) return true;
  const QString name =
      currentPath().empty() ? tr("the new design") : DisplayName(currentPath().filename());
  switch (dialogs_->AskUnsaved(this, name)) {
    case TDialogServices::UnsavedAnswer::Save:
      return Save();
    case TDialogServices::UnsavedAnswer::Discard:
      return true;
    case TDialogServices::UnsavedAnswer::Cancel:
      break;
  }
  return false;
}

// ---------------------------------------------------------------------------
// New, Open, Save

void TForm1::FileNew() {
  if (!MaybeSave()) return;
  Replace([this] { session_.New(); });
}

void TForm1::FileOpen() {
  if (!MaybeSave()) return;
  const QString path = ChooseDesignFile(tr("Open Design"));
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
  Replace([this, &state, &path] { session_.Open(state, path); });
  Remember(brennick::DesignSession::Absolute(path), kDesignFolderKey);
  // An opened design shows its statblock at once; a design that does not
  // run says why in the panel and over the pane, not in a box.
  if (!designedInput_) DesignQuietly();
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
    brennick::SaveDesignFile(path, session_.form(), DecimalSeparator());
  } catch (const std::exception& error) {
    ReportError(MessageOf(error));
    return false;
  }
  // A copy: the path may be the session's own file, which Saved replaces.
  const std::filesystem::path file = brennick::DesignSession::Absolute(path);
  session_.Saved(file);
  Remember(file, kDesignFolderKey);
  UpdateTitle();
  return true;
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
