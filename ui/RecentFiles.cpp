// The few settings the window keeps: the recent files and their menu, the
// folders last used, the window's place; and `brennick FILE`.
#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QSettings>
#include <algorithm>
#include <filesystem>

#include "ui/FileSupport.h"
#include "ui/Unit1.h"

using namespace brennick::files_ui;

namespace {

QByteArray BytesOf(const std::filesystem::path& path) {
  return QByteArray(path.native().data(), static_cast<qsizetype>(path.native().size()));
}

}  // namespace

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
  recentMenu_->clear();
  recentMenu_->setToolTipsVisible(true);  // each entry's whole path
  const std::vector<std::filesystem::path> recent = recentPaths();
  for (std::size_t i = 0; i < recent.size(); ++i) {
    const std::filesystem::path& file = recent[i];
    // "&1" to "&9", then "1&0": each entry has its own key.
    const QString number = i < 9 ? QStringLiteral("&%1").arg(i + 1) : QStringLiteral("1&0");
    // Two entries of one file name tell themselves apart by their folders.
    QString shown = DisplayName(file.filename());
    const auto sameName = [&file](const std::filesystem::path& other) {
      return other != file && other.filename() == file.filename();
    };
    if (std::any_of(recent.begin(), recent.end(), sameName)) {
      shown =
          tr("%1 (in %2)").arg(shown, QDir::toNativeSeparators(DisplayName(file.parent_path())));
    }
    QAction* action = recentMenu_->addAction(number + QLatin1Char(' ') +
                                             shown.replace(QLatin1Char('&'), QStringLiteral("&&")));
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
