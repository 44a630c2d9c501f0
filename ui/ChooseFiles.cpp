// Choosing the files the window opens and saves: the file and folder
// dialogs through the window's dialog services, and the one rule every save
// and export dialog follows: a name typed without an extension gets the chosen
// file type's, and a file that extension makes the name of is only replaced
// when the user says so.
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <algorithm>
#include <filesystem>
#include <system_error>

#include "ui/FileSupport.h"
#include "ui/Unit1.h"

using namespace brennick::files_ui;

// ---------------------------------------------------------------------------
// Choosing files

QString TForm1::ChooseDesignFile(const QString& caption) {
  return dialogs_
      ->ChooseFile(this, TDialogServices::FileDialog::Open, caption, LastFolder(kDesignFolderKey),
                   DesignFilter())
      .path;
}

QString TForm1::ChooseSaveFile(const QString& caption, const QString& path, const QString& filter) {
  return ChooseSavePath(*dialogs_, this, caption, path, filter);
}

QString TForm1::SuggestedPath(const QString& folderKey, const QString& fallback,
                              const QString& extension) const {
  const QString name = QString::fromStdString(session_.form().NameEdit.text);
  return QDir(LastFolder(folderKey)).filePath(SuggestedFileName(name, fallback, extension));
}

// ---------------------------------------------------------------------------
// The save dialogs' rule

namespace brennick::files_ui {

QString SuggestedFileName(const QString& name, const QString& fallback, const QString& extension) {
  QString base = name.trimmed();
  for (QChar& c : base) {
    if (c == QLatin1Char('/') || c.category() == QChar::Other_Control) c = QLatin1Char('-');
  }
  const auto dotsOnly = [](const QString& text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c == QLatin1Char('.'); });
  };
  if (dotsOnly(base)) base = fallback;  // also the empty name
  const QString tail = QLatin1Char('.') + extension;
  // Every character takes a byte at least: what is beyond the limit in
  // characters is beyond it in bytes, and cut at once.
  base.truncate(kMaxFileNameBytes);
  if (!base.isEmpty() && base.back().isHighSurrogate()) base.chop(1);
  while (!base.isEmpty() && QFile::encodeName(base + tail).size() > kMaxFileNameBytes) {
    base.chop(base.size() > 1 && base.back().isLowSurrogate() ? 2 : 1);
  }
  if (dotsOnly(base)) base = fallback;
  return base + tail;
}

QString SuffixOfFilter(const QString& item) {
  // "Markdown (*.md *.markdown)": the first pattern that names one
  // extension.
  const qsizetype open = item.lastIndexOf(QLatin1Char('('));
  const qsizetype close = item.lastIndexOf(QLatin1Char(')'));
  if (open < 0 || close < open) return {};
  for (const QString& pattern :
       item.mid(open + 1, close - open - 1).split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
    if (!pattern.startsWith(QLatin1String("*."))) continue;
    const QString suffix = pattern.mid(2);
    if (!suffix.isEmpty() && !suffix.contains(QLatin1Char('*')) &&
        !suffix.contains(QLatin1Char('?')) && !suffix.contains(QLatin1Char('['))) {
      return suffix;
    }
  }
  return {};
}

QString DefaultSuffix(const QString& filter, const QString& chosen) {
  const QString suffix = SuffixOfFilter(chosen);
  if (!suffix.isEmpty()) return suffix;
  return SuffixOfFilter(filter.section(QStringLiteral(";;"), 0, 0));
}

TDialogServices::ChosenFile RunSaveDialog(QWidget* parent, const QString& caption,
                                          const QString& path, const QString& filter) {
  QFileDialog dialog(parent, caption, QFileInfo(path).absolutePath(), filter);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.selectFile(QFileInfo(path).fileName());
  // The dialog adds the suffix before it checks for a file to replace.
  dialog.setDefaultSuffix(DefaultSuffix(filter, {}));
  QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                   [&dialog, &filter](const QString& item) {
                     dialog.setDefaultSuffix(DefaultSuffix(filter, item));
                   });
  if (dialog.exec() != QDialog::Accepted) return {};
  const QStringList files = dialog.selectedFiles();
  if (files.isEmpty()) return {};
  return {files.front(), dialog.selectedNameFilter()};
}

QString CompleteSavePath(const TDialogServices::ChosenFile& chosen, const QString& filter,
                         const std::function<bool(const QString& path)>& replace) {
  if (chosen.path.isEmpty()) return {};
  // A name with a dot keeps its own extension, as the file dialog keeps it.
  if (QFileInfo(chosen.path).fileName().contains(QLatin1Char('.'))) return chosen.path;
  const QString suffix = DefaultSuffix(filter, chosen.filter);
  if (suffix.isEmpty()) return chosen.path;
  const QString path = chosen.path + QLatin1Char('.') + suffix;
  std::error_code error;
  const bool exists = std::filesystem::exists(std::filesystem::symlink_status(PathOf(path), error));
  if (exists && !replace(path)) return {};
  return path;
}

QString ChooseSavePath(TDialogServices& dialogs, QWidget* parent, const QString& caption,
                       const QString& path, const QString& filter) {
  return CompleteSavePath(
      dialogs.ChooseFile(parent, TDialogServices::FileDialog::Save, caption, path, filter), filter,
      [&dialogs, parent](const QString& file) { return dialogs.AskReplace(parent, file); });
}

}  // namespace brennick::files_ui
