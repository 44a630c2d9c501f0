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
#include "ui/DialogServices.h"
#include "ui/Unit1.h"

namespace {

// The picture is taken without a box in the way: a failure goes to the
// terminal, and the design, never saved, is discarded without asking.
class QuietDialogs : public TStandardDialogs {
 public:
  explicit QuietDialogs(const char* what) : what_(what) {}
  void ShowError(QWidget*, const QString& message) override {
    std::fprintf(stderr, "%s: %s\n", what_, qPrintable(message));
  }
  UnsavedAnswer AskUnsaved(QWidget*, const QString&) override { return UnsavedAnswer::Discard; }

 private:
  const char* what_;
};

template <class T>
T* Control(const QObject& window, const char* name) {
  return window.findChild<T*>(QLatin1String(name));
}

}  // namespace

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
    TArmouryWindow window(std::make_shared<QuietDialogs>("armoury"));
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
  form.setDialogs(std::make_shared<QuietDialogs>("design failed"));
  // A 7.62 mm assault rifle.
  form.Change(Control<QLineEdit>(form, "NameEdit"), QStringLiteral("Marsh Carbine"));
  form.Change(Control<QLineEdit>(form, "BoreSizeEdit"),
              QStringLiteral("7") + QLatin1Char(TForm1::DecimalSeparator()) + QStringLiteral("62"));
  form.Change(Control<TRadioGroup>(form, "ConfigurationBox"), 2);
  form.Change(Control<TRadioGroup>(form, "BarrelBox"), 1);
  form.Change(Control<TRadioGroup>(form, "LoadingMechanismBox"), 8);
  form.Change(Control<QLineEdit>(form, "RoFEdit"), QStringLiteral("12"));
  form.Change(Control<QLineEdit>(form, "ShotsEdit"), QStringLiteral("30"));
  form.Change(Control<QCheckBox>(form, "CaselessBox"), false);
  form.Change(Control<QCheckBox>(form, "BipodBox"), true);
  form.show();

  int status = 1;
  QTimer::singleShot(300, [&] {
    Control<QPushButton>(form, "DesignButton")->click();
    // The cursor on the damage line, so the panel under the pane shows how
    // that line came about.
    QTextCursor cursor = Control<QPlainTextEdit>(form, "StatblockMemo")->textCursor();
    for (QTextBlock block = Control<QPlainTextEdit>(form, "StatblockMemo")->document()->begin();
         block.isValid(); block = block.next()) {
      if (block.text().startsWith(QStringLiteral("Damage"))) {
        cursor.setPosition(block.position());
        break;
      }
    }
    Control<QPlainTextEdit>(form, "StatblockMemo")->setTextCursor(cursor);
    QApplication::processEvents();
    if (form.grab().save(output)) status = 0;
    QApplication::quit();
  });
  QApplication::exec();
  return status;
}
