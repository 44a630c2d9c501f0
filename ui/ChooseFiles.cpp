// Choosing the files the window opens and saves: the file and folder
// dialogs (or the tests' doubles in their place), and the one rule every save
// and export dialog follows: a name typed without an extension gets the chosen
// file type's, and a file that extension makes the name of is only replaced
// when the user says so.
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <algorithm>
#include <filesystem>
#include <system_error>

#include "ui/FileSupport.h"
#include "ui/Unit1.h"

using namespace brennick::files_ui;

// ---------------------------------------------------------------------------
// Choosing files

QString TForm1::ChooseFile(bool save, const QString& caption, const QString& path,
                           const QString& filter) {
  const QString f = filter.isEmpty() ? DesignFilter() : filter;
  if (fileChooser_) return fileChooser_(save, caption, path, f).path;
  return save ? QFileDialog::getSaveFileName(this, caption, path, f)
              : QFileDialog::getOpenFileName(this, caption, path, f);
}

QString TForm1::ChooseSaveFile(const QString& caption, const QString& path, const QString& filter) {
  const ChosenFile chosen = fileChooser_ ? fileChooser_(true, caption, path, filter)
                                         : RunSaveDialog(this, caption, path, filter);
  return CompleteSavePath(chosen, filter, [this](const QString& file) {
    return replacePrompt_ ? replacePrompt_(file) : AskReplace(this, file);
  });
}

QString TForm1::SuggestedPath(const QString& folderKey, const QString& fallback,
                              const QString& extension) const {
  const QString name = QString::fromStdString(model_.state().NameEdit.text);
  return QDir(LastFolder(folderKey)).filePath(SuggestedFileName(name, fallback, extension));
}

QString TForm1::ChooseFolder(const QString& caption, const QString& path) {
  if (folderChooser_) return folderChooser_(caption, path);
  return QFileDialog::getExistingDirectory(this, caption, path);
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

TForm1::ChosenFile RunSaveDialog(QWidget* parent, const QString& caption, const QString& path,
                                 const QString& filter) {
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

bool AskReplace(QWidget* parent, const QString& path) {
  QMessageBox box(QMessageBox::Warning, QStringLiteral("Brennick"),
                  TForm1::tr("\"%1\" already exists. Replace it?")
                      .arg(QDir::toNativeSeparators(QFileInfo(path).fileName())),
                  QMessageBox::Yes | QMessageBox::No, parent);
  box.setTextFormat(Qt::PlainText);
  box.setInformativeText(TForm1::tr("Replacing it overwrites what it holds."));
  box.setDefaultButton(QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}

QString CompleteSavePath(const TForm1::ChosenFile& chosen, const QString& filter,
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

}  // namespace brennick::files_ui
