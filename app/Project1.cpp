// Program start-up: the application, the main window (which seeds the random
// source), the hidden "Beam Weapons" sheet (which seeds it again), then the
// message loop until the main window is closed.
#include <QApplication>

#include "Unit1.h"
#include "Unit2.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Brennick"));
  QApplication::setApplicationVersion(TForm1::Version());
  // The desktop entry the window belongs to, for the taskbar and its icon.
  QApplication::setDesktopFileName(QStringLiteral("org.brennick.Brennick"));

  TForm1 form1;
  TForm2 form2(form1);  // never shown
  form1.show();
  return QApplication::exec();
}
