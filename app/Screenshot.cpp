// Renders the design window with a finished statblock into a PNG file, for
// the README. The design is entered through the window's controls and the
// statblock comes from the Design button, exactly as a user would get it.
// With --armoury FOLDER it renders the armoury window on that folder instead.
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <cstdio>

#include "ui/Armoury.h"
#include "ui/Unit1.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const bool armoury = argc == 4 && QString::fromLocal8Bit(argv[1]) == QStringLiteral("--armoury");
  if (argc != 2 && !armoury) {
    std::fprintf(stderr, "usage: %s OUTPUT.png\n       %s --armoury FOLDER OUTPUT.png\n", argv[0],
                 argv[0]);
    return 2;
  }
  const QString output = QString::fromLocal8Bit(argv[argc - 1]);
  if (armoury) {
    TArmouryWindow window;
    window.setErrorReporter(
        [](const QString& message) { std::fprintf(stderr, "armoury: %s\n", qPrintable(message)); });
    if (!window.OpenFolder(QString::fromLocal8Bit(argv[2]), TForm1::DecimalSeparator())) return 1;
    window.resize(1300, 360);
    window.show();
    int status = 1;
    // The folder is read off the window thread: the picture waits for its
    // table.
    QObject::connect(&window, &TArmouryWindow::readingFinished, [&] {
      QTimer::singleShot(300, [&] {
        if (window.grab().save(output)) status = 0;
        QApplication::quit();
      });
    });
    QApplication::exec();
    return status;
  }

  TForm1 form;
  form.setErrorReporter([](const QString& message) {
    std::fprintf(stderr, "design failed: %s\n", qPrintable(message));
  });
  // The design is never saved: quitting discards it without asking.
  form.setUnsavedPrompt([](const QString&) { return TForm1::UnsavedAnswer::Discard; });
  // A 7.62 mm assault rifle.
  form.Change(form.NameEdit, QStringLiteral("Marsh Carbine"));
  form.Change(form.BoreSizeEdit,
              QStringLiteral("7") + QLatin1Char(TForm1::DecimalSeparator()) + QStringLiteral("62"));
  form.Change(form.ConfigurationBox, 2);
  form.Change(form.BarrelBox, 1);
  form.Change(form.LoadingMechanismBox, 8);
  form.Change(form.RoFEdit, QStringLiteral("12"));
  form.Change(form.ShotsEdit, QStringLiteral("30"));
  form.Change(form.CaselessBox, false);
  form.Change(form.BipodBox, true);
  form.show();

  int status = 1;
  QTimer::singleShot(300, [&] {
    form.DesignButton->click();
    // The cursor on the damage line, so the panel under the pane shows how
    // that line came about.
    QTextCursor cursor = form.StatblockMemo->textCursor();
    for (QTextBlock block = form.StatblockMemo->document()->begin(); block.isValid();
         block = block.next()) {
      if (block.text().startsWith(QStringLiteral("Damage"))) {
        cursor.setPosition(block.position());
        break;
      }
    }
    form.StatblockMemo->setTextCursor(cursor);
    QApplication::processEvents();
    if (form.grab().save(output)) status = 0;
    QApplication::quit();
  });
  QApplication::exec();
  return status;
}
