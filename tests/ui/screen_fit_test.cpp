// The window on the screen it opens on: inside the screen's available area,
// without scrolling from a laptop's 1366 x 768 screen (with room for a
// 32-pixel panel) upwards, scrolling on anything smaller; when enlarged, the
// statblock pane takes the extra room. Run headless the screen is the
// offscreen platform's small one; ctest also runs these tests under Xvfb on
// a 1366 x 768 screen, at 100% and at 2x scale.
#include <QGroupBox>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTextDocument>
#include <map>

#include "tests/ui/support.h"

namespace {

constexpr QSize kLaptop(1366, 768);
constexpr int kPanel = 32;

class ScreenFit : public ::testing::Test {
 protected:
  void SetUp() override {
    form = std::make_unique<TForm1>();
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    scroller = form->findChild<QScrollArea*>();
    area = form->screen()->availableGeometry();
  }
  // Whether the screen is a laptop's or larger.
  bool Roomy() const {
    const QSize screen = form->screen()->size();
    return screen.width() >= kLaptop.width() && screen.height() >= kLaptop.height();
  }
  std::unique_ptr<TForm1> form;
  QScrollArea* scroller = nullptr;
  QRect area;
};

// The controls of the form, and the frames and labels around them.
QList<QWidget*> Controls(const TForm1& form) {
  QList<QWidget*> controls;
  for (QWidget* w : form.centralWidget()->findChildren<QWidget*>()) {
    if (qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w) ||
        qobject_cast<QGroupBox*>(w) || qobject_cast<QLabel*>(w) ||
        w == Control<QPlainTextEdit>(form, "StatblockMemo")) {
      controls << w;
    }
  }
  return controls;
}

TEST_F(ScreenFit, TheWindowOpensInsideTheAvailableArea) {
  EXPECT_TRUE(area.contains(form->frameGeometry()))
      << "frame " << form->frameGeometry().x() << "," << form->frameGeometry().y() << " "
      << form->frameGeometry().width() << "x" << form->frameGeometry().height();
  if (!Roomy()) {
    // A smaller screen: the form scrolls rather than leaving the screen.
    EXPECT_TRUE(scroller->horizontalScrollBar()->isVisible() ||
                scroller->verticalScrollBar()->isVisible());
    return;
  }
  EXPECT_LE(form->frameGeometry().height(), kLaptop.height() - kPanel);
  EXPECT_FALSE(scroller->horizontalScrollBar()->isVisible());
  EXPECT_FALSE(scroller->verticalScrollBar()->isVisible());
  const QRect viewport = scroller->viewport()->rect();
  for (QWidget* control : Controls(*form)) {
    if (!control->isVisible()) continue;
    const QRect shown(control->mapTo(scroller->viewport(), QPoint(0, 0)), control->size());
    EXPECT_TRUE(viewport.contains(shown)) << control->objectName().toStdString();
    // Every caption at its full width.
    if (auto* button = qobject_cast<QAbstractButton*>(control)) {
      EXPECT_GE(button->width(), button->sizeHint().width()) << control->objectName().toStdString();
    }
  }
  // The usual statblock lines fit the pane without wrapping.
  const QFontMetrics metrics(Control<QPlainTextEdit>(*form, "StatblockMemo")->font());
  const int room =
      Control<QPlainTextEdit>(*form, "StatblockMemo")->viewport()->width() -
      2 * static_cast<int>(
              Control<QPlainTextEdit>(*form, "StatblockMemo")->document()->documentMargin());
  for (const char* line : {"ST 9B\u2020 (ST 6 on a bipod)", "7mmCLM-LP (TL9)",
                           "Recognition Grip (TL9) (UT150)", "Diagnostic Computer (TL9) (UT151)"}) {
    EXPECT_LE(metrics.horizontalAdvance(QString::fromUtf8(line)), room) << line;
  }
}

TEST_F(ScreenFit, EnlargingTheWindowWidensAndLengthensOnlyThePane) {
  form->resize(form->sizeHint());
  QCoreApplication::processEvents();
  std::map<QWidget*, QSize> before;
  for (QWidget* control : Controls(*form)) before[control] = control->size();
  const QSize pane = Control<QPlainTextEdit>(*form, "StatblockMemo")->size();

  form->resize(form->size() + QSize(200, 100));
  QCoreApplication::processEvents();
  EXPECT_EQ(Control<QPlainTextEdit>(*form, "StatblockMemo")->size(), pane + QSize(200, 100));
  for (const auto& [control, size] : before) {
    if (control == Control<QPlainTextEdit>(*form, "StatblockMemo") ||
        control == Control<QLabel>(*form, "Label1") ||
        control == Control<QLabel>(*form, "Label17")) {
      continue;  // the pane, and the headings over the full width and over the pane
    }
    EXPECT_EQ(control->size(), size) << control->objectName().toStdString();
  }
}

}  // namespace
