// Program start-up: the application, the main window (which seeds the random
// source), the hidden "Beam Weapons" sheet (which seeds it again), then the
// message loop until the main window is closed. `brennick FILE` opens a
// design file once the window is shown.
#include <QApplication>

#include "ui/Unit1.h"
#include "ui/Unit2.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  // The organisation names where the settings (recent files, last folders,
  // window geometry) are kept.
  QApplication::setOrganizationName(QStringLiteral("Brennick"));
  QApplication::setApplicationName(QStringLiteral("Brennick"));
  QApplication::setApplicationVersion(TForm1::Version());
  // The desktop entry the window belongs to, for the taskbar and its icon.
  QApplication::setDesktopFileName(QStringLiteral("org.brennick.Brennick"));

  TForm1 form1;
  TForm2 form2(form1);  // never shown
  form1.RestoreGeometry();
  form1.show();
  // A design file named after the program opens; a file that cannot be read
  // is reported and the start form stays. QApplication took its own options
  // out of argc and argv: what is left is the program's, as the bytes the
  // file system names the file by (a name that is no valid text opens too).
  form1.OpenStartFile(argc, argv);
  return QApplication::exec();
}
