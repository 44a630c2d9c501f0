// The window tests run without a display unless one is asked for.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

namespace {

QtMessageHandler defaultHandler = nullptr;

// The offscreen platform remarks on every window shown that it cannot pass
// size hints on; that remark is noise in the test log.
void QuietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (message.contains(QLatin1String("propagateSizeHints"))) return;
  if (message.startsWith(QLatin1String("QStandardPaths:"))) return;
  defaultHandler(type, context, message);
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  defaultHandler = qInstallMessageHandler(QuietHandler);
  ::testing::InitGoogleTest(&argc, argv);
  // Without a session's runtime folder Qt makes one in the temporary folder
  // and leaves it there: the tests get one of their own, removed at the end.
  QTemporaryDir runtime;
  if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
  }
  QApplication app(argc, argv);
  // Recent files, folders and window geometry go to a folder of the tests'
  // own, never to the user's settings.
  QTemporaryDir settings;
  QCoreApplication::setOrganizationName(QStringLiteral("BrennickTests"));
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
  return RUN_ALL_TESTS();
}
