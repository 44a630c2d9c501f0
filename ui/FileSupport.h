// What the window's file operations share: the settings keys, paths and
// texts of design files, the save dialogs' rule, and the pane's lines as the
// exports take them.
#pragma once

#include <QCoreApplication>
#include <QFile>
#include <QString>
#include <QUrl>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "ui/DialogServices.h"

class QPdfWriter;

namespace brennick::files_ui {

inline constexpr int kMaxRecentFiles = 10;
inline const QString kRecentKey = QStringLiteral("recentFiles");
inline const QString kDesignFolderKey = QStringLiteral("folders/designs");
inline const QString kArmouryFolderKey = QStringLiteral("folders/armoury");
inline const QString kExportFolderKey = QStringLiteral("folders/export");
inline const QString kGeometryKey = QStringLiteral("window/geometry");

inline std::filesystem::path PathOf(const QString& file) {
  return std::filesystem::path(QFile::encodeName(file).toStdString());
}

// A path as the window shows it: the file system's bytes decoded as it
// names files (a byte it cannot decode shows as a replacement character).
inline QString DisplayName(const std::filesystem::path& path) {
  const std::string& bytes = path.native();
  return QFile::decodeName(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

// The file a local URL names, as the file system's bytes: the path's
// percent-encoded bytes taken as they are, so that a dropped file whose name
// is no valid text opens too.
inline std::filesystem::path PathOfUrl(const QUrl& url) {
  if (!url.host().isEmpty()) return PathOf(url.toLocalFile());  // a shared folder's //host/path
  return std::filesystem::path(
      QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()).toStdString());
}

inline QString FromUtf8(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline QString DesignFilter() {
  return QCoreApplication::translate("TForm1", "Brennick designs (*.json);;All files (*)");
}

// A PDF made in memory, on the page of a PDF printer (as Print to a file lays
// it out): `paint` names the document and paints it on the writer, true when
// it painted. Empty when it did not, or when the result is no PDF; the caller
// writes it to its file atomically, as every other file is written.
QByteArray PdfOf(const std::function<bool(QPdfWriter&)>& paint);

// The lines of the pane, as the statblock's exports take them.
inline std::vector<std::string> LinesOf(const QString& pane) {
  std::vector<std::string> lines;
  if (pane.isEmpty()) return lines;
  for (const QString& line : pane.split(QLatin1Char('\n'))) lines.push_back(line.toStdString());
  return lines;
}

// --- Saving and exporting to a file the user names. ---

// The longest file name most file systems hold, in bytes.
inline constexpr qsizetype kMaxFileNameBytes = 255;

// The file name a save or export suggests for a design called `name`, with
// `extension` ("json"): a character a file name cannot hold (a slash, NUL or
// another control character) becomes '-', the name is cut to fit the file
// system with its extension, and an empty name or one of dots alone gives
// `fallback` instead.
QString SuggestedFileName(const QString& name, const QString& fallback, const QString& extension);

// The extension a filter item of a file dialog stands for: "md" for
// "Markdown (*.md)"; empty for "All files (*)".
QString SuffixOfFilter(const QString& item);

// The extension a name typed without one takes: the chosen filter item's,
// or the first item's of `filter` (items split by ";;") when the chosen one
// stands for none.
QString DefaultSuffix(const QString& filter, const QString& chosen);

// The save dialog: its default suffix follows the filter chosen, and it asks
// itself before replacing the file so named. Nothing when cancelled.
TDialogServices::ChosenFile RunSaveDialog(QWidget* parent, const QString& caption,
                                          const QString& path, const QString& filter);

// The rule every save and export shares for the file a dialog gave: a name
// without an extension takes DefaultSuffix's, and when the file so named
// exists, `replace` is asked first (the name typed was not the file's, so
// nobody has yet agreed to replace it). Empty when cancelled or not replaced.
QString CompleteSavePath(const TDialogServices::ChosenFile& chosen, const QString& filter,
                         const std::function<bool(const QString& path)>& replace);

// Chooses the file a save or export writes, through `dialogs` over `parent`:
// the save dialog, then the rule above with the replace question. Empty
// when cancelled.
QString ChooseSavePath(TDialogServices& dialogs, QWidget* parent, const QString& caption,
                       const QString& path, const QString& filter);

}  // namespace brennick::files_ui
