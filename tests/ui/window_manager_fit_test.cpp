// The windows under a real window manager, which frames them with a title bar
// and borders, with a panel along the bottom of the screen: the whole frame
// of the design window, the armoury and the comparison lies inside the
// screen's available area, and every control of the form the keyboard can
// reach is shown inside the form's visible part when it has the focus, never
// behind the panel. tests/ui/tools/wm_fit.sh starts the X server, the window
// manager and the panel and runs these; anywhere else they are skipped.
#include <QAbstractScrollArea>
#include <QApplication>
#include <QPixmap>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QWindow>

#include "tests/ui/support.h"
#include "ui/Armoury.h"
#include "ui/CompareDialog.h"

namespace {

QString Describe(const QRect& r) {
  return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

class WindowManagerFit : public FormTest {
 protected:
  void SetUp() override {
    if (qEnvironmentVariableIsEmpty("BRENNICK_WM_PANEL")) {
      GTEST_SKIP() << "runs under a window manager with a panel: tests/ui/tools/wm_fit.sh";
    }
    FormTest::SetUp();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    WaitForFrame(form.get());
    area = form->screen()->availableGeometry();
    scroller = form->findChild<QScrollArea*>();
  }

  // Waits until the window manager has framed `window` and the window has
  // been fitted to its frame.
  static void WaitForFrame(QWidget* window) {
    EXPECT_TRUE(QTest::qWaitFor(
        [window] {
          return window->windowHandle() && !window->windowHandle()->frameMargins().isNull();
        },
        5000))
        << "no frame from the window manager";
    QTest::qWait(300);
  }

  // The panel's strip is taken off the screen, in the window's own pixels.
  void ExpectPanelReserved() const {
    const int panel = qEnvironmentVariableIntValue("BRENNICK_WM_PANEL");
    const QScreen* screen = form->screen();
    EXPECT_EQ(area.bottom() + 1,
              screen->geometry().height() - qRound(panel / screen->devicePixelRatio()))
        << "work area " << Describe(area).toStdString();
  }

  // The whole frame of `window`, title bar included, inside the area.
  void ExpectFrameInside(QWidget* window) const {
    const QRect frame = window->frameGeometry();
    EXPECT_GT(window->windowHandle()->frameMargins().top(), 0) << "no title bar";
    EXPECT_TRUE(area.contains(frame))
        << window->objectName().toStdString() << ": frame " << Describe(frame).toStdString()
        << " outside " << Describe(area).toStdString();
    std::printf("%s frame %s in %s\n", qPrintable(window->objectName()),
                qPrintable(Describe(frame)), qPrintable(Describe(area)));
  }

  static QRect GlobalRect(const QWidget* w) {
    return QRect(w->mapToGlobal(QPoint(0, 0)), w->size());
  }

  QRect area;
  QScrollArea* scroller = nullptr;
};

TEST_F(WindowManagerFit, TheDesignWindowsFrameLiesAboveThePanel) {
  ExpectPanelReserved();
  ExpectFrameInside(form.get());
  // The form's visible part is inside the area too, and so is the pane.
  EXPECT_TRUE(area.contains(GlobalRect(scroller->viewport())));
  // How far the form scrolls, for the log: at 1366 x 768 with the panel it
  // fits without scrolling.
  std::printf("Form1 scrolls by %d px\n", scroller->verticalScrollBar()->maximum());
  const QString shot = qEnvironmentVariable("BRENNICK_WM_SCREENSHOT");
  if (!shot.isEmpty()) {
    QTest::qWait(200);
    EXPECT_TRUE(form->screen()->grabWindow(0).save(shot)) << shot.toStdString();
  }
}

TEST_F(WindowManagerFit, EveryControlTheKeyboardReachesIsShownWhenFocused) {
  // Tab through the whole form: each control that takes the focus is
  // scrolled into the visible part of the form, which lies above the panel.
  QWidget* first = Control<QLineEdit>(*form, "BoreSizeEdit");
  first->setFocus();
  QTRY_COMPARE(QApplication::focusWidget(), first);
  const QRect visible = GlobalRect(scroller->viewport());
  ASSERT_TRUE(area.contains(visible)) << Describe(visible).toStdString();
  int stops = 0;
  QWidget* focus = first;
  do {
    if (form->centralWidget()->isAncestorOf(focus)) {
      QCoreApplication::processEvents();
      const QRect shown = GlobalRect(focus);
      EXPECT_TRUE(visible.contains(shown))
          << focus->objectName().toStdString() << " at " << Describe(shown).toStdString()
          << " outside " << Describe(visible).toStdString() << "; scrolled "
          << scroller->verticalScrollBar()->value() << " of "
          << scroller->verticalScrollBar()->maximum() << ", form "
          << Describe(scroller->widget()->geometry()).toStdString() << " at least "
          << scroller->widget()->minimumSizeHint().height();
    }
    QTest::keyClick(focus, Qt::Key_Tab);
    focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
  } while (focus != first && ++stops < 400);
  EXPECT_GT(stops, 60);  // every field, option group and button
  EXPECT_EQ(focus, first) << "the tab order comes round";
}

TEST_F(WindowManagerFit, TheArmouryAndTheComparisonFitWithTheirFrames) {
  QTemporaryDir folder;
  ASSERT_TRUE(form->OpenArmouryFolder(folder.path()));
  TArmouryWindow* armoury = form->armoury();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(armoury));
  WaitForFrame(armoury);
  ExpectFrameInside(armoury);
  // Its buttons, the table's scroll bars and its edges on the screen.
  for (QWidget* child : armoury->findChildren<QWidget*>()) {
    if (!child->isVisible() || child->isWindow()) continue;
    EXPECT_TRUE(area.contains(GlobalRect(child))) << child->objectName().toStdString();
  }
  armoury->close();

  form->CompareStatblocks();
  TCompareDialog* compare = form->compareDialog();
  ASSERT_NE(compare, nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(compare));
  WaitForFrame(compare);
  ExpectFrameInside(compare);
  compare->close();
}

}  // namespace
