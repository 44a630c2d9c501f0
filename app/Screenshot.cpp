// Renders the design window with a finished statblock into a PNG file, for
// the README. The design is entered through the window's controls and the
// statblock comes from the Design button, exactly as a user would get it.
// With --armoury FOLDER it renders the armoury window on that folder instead,
// sorted by damage. With --screen the picture is the whole screen, title
// bars and panel included (run it under a window manager:
// scripts/screenshots.sh), and the armoury shows over the design window;
// with --dark the windows take View > Theme > Dark.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <cstdio>

#include "ui/Armoury.h"
#include "ui/DialogServices.h"
#include "ui/Theme.h"
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

// The design of the picture, a 7.62 mm assault rifle, designed with the
// cursor on its damage line, so that the panel under the pane shows how that
// line came about.
void DesignRifle(TForm1& form) {
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
  Control<QPushButton>(form, "DesignButton")->click();
  auto* pane = Control<QPlainTextEdit>(form, "StatblockMemo");
  QTextCursor cursor = pane->textCursor();
  for (QTextBlock block = pane->document()->begin(); block.isValid(); block = block.next()) {
    if (block.text().startsWith(QStringLiteral("Damage"))) {
      cursor.setPosition(block.position());
      break;
    }
  }
  pane->setTextCursor(cursor);
  pane->setFocus();
}

// The armoury's table sorted by damage, the largest first, the top row
// selected.
void SortByDamage(TArmouryWindow& armoury) {
  armoury.table()->sortByColumn(brennick::kColDamage, Qt::DescendingOrder);
  armoury.table()->selectRow(0);
}

// Saves the picture of `window`, or of the whole screen, once the window
// system has had `delay` milliseconds to frame and paint it; then quits.
void TakeAfter(int delay, QWidget* window, bool screen, const QString& output, int& status) {
  QTimer::singleShot(delay, [window, screen, output, &status] {
    QApplication::processEvents();
    const QPixmap picture = screen ? window->screen()->grabWindow(0) : window->grab();
    if (picture.save(output)) status = 0;
    QApplication::quit();
  });
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QStringList args = QApplication::arguments().mid(1);
  const bool screen = args.removeAll(QStringLiteral("--screen")) > 0;
  const bool dark = args.removeAll(QStringLiteral("--dark")) > 0;
  const bool armoury = args.size() == 3 && args[0] == QLatin1String("--armoury");
  if (args.size() != 1 && !armoury) {
    std::fprintf(stderr,
                 "usage: %s [--screen] [--dark] OUTPUT.png\n"
                 "       %s [--screen] [--dark] --armoury FOLDER OUTPUT.png\n",
                 argv[0], argv[0]);
    return 2;
  }
  const QString output = args.back();
  // A window manager takes a moment to frame a window and place the panel.
  const int settle = screen ? 1500 : 300;
  int status = 1;

  if (armoury && !screen) {
    if (dark) brennick::theme::Apply(brennick::theme::Theme::Dark);
    TArmouryWindow window(std::make_shared<QuietDialogs>("armoury"));
    if (!window.OpenFolder(args[1], TForm1::DecimalSeparator())) return 1;
    window.resize(1300, 360);
    window.show();
    // The folder is read off the window thread: the picture waits for its
    // table.
    QObject::connect(&window, &TArmouryWindow::readingFinished, [&] {
      SortByDamage(window);
      TakeAfter(settle, &window, false, output, status);
    });
    QApplication::exec();
    return status;
  }

  TForm1 form;
  form.setDialogs(std::make_shared<QuietDialogs>("design failed"));
  // The window puts on the theme kept in its settings: the dark one is
  // chosen as the user chooses it, from the menu.
  if (dark) Control<QAction>(form, "ThemeDarkAction")->trigger();
  form.show();
  QTimer::singleShot(settle, [&] {
    DesignRifle(form);
    if (!armoury) {
      TakeAfter(200, &form, screen, output, status);
      return;
    }
    // On the screen, the armoury opens over the design window, as File >
    // Open Armoury opens it.
    if (!form.OpenArmouryFolder(args[1])) {
      QApplication::quit();
      return;
    }
    TArmouryWindow* window = form.armoury();
    QObject::connect(window, &TArmouryWindow::readingFinished, [&, window] {
      SortByDamage(*window);
      // Once framed and fitted, as tall as its rows, so that the design
      // window shows under it.
      QTimer::singleShot(settle, [&, window] {
        window->resize(window->width(), 400);
        TakeAfter(settle / 2, window, true, output, status);
      });
    });
  });
  QApplication::exec();
  return status;
}
