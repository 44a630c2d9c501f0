// What the window's file operations share: the settings keys, paths and
// texts of design files, and the pane's lines as the exports take them.
#pragma once

#include <QFile>
#include <QString>
#include <filesystem>
#include <string>
#include <vector>

#include "Unit1.h"

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

inline QString FromUtf8(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline QString DesignFilter() {
  return TForm1::tr("Brennick designs (*.json);;All files (*)");
}

// The lines of the pane, as the statblock's exports take them.
inline std::vector<std::string> LinesOf(const QString& pane) {
  std::vector<std::string> lines;
  if (pane.isEmpty()) return lines;
  for (const QString& line : pane.split(QLatin1Char('\n'))) lines.push_back(line.toStdString());
  return lines;
}

}  // namespace brennick::files_ui
