// The find box: a few letters of a control's caption, of one of its
// options or of its tooltip, and the focus moves to that control, the form
// scrolled to show it. It opens over the top of the window (Ctrl+K or
// Ctrl+F); the list under it holds every control that matches, the best
// first: the arrow keys pick one, Return goes there, Escape closes the box
// and gives the focus back.
#pragma once

#include <QFrame>
#include <QPointer>
#include <QString>
#include <vector>

class QLineEdit;
class QListWidget;
class QScrollArea;

class TFindBox : public QFrame {
  Q_OBJECT
 public:
  // Finds the controls of `form`, the widget `scroller` shows; sits over
  // `parent`, the window.
  TFindBox(QScrollArea* scroller, QWidget* parent);

  // A control that matches, with what the list shows for it.
  struct Match {
    QWidget* control;  // the control that takes the focus
    QString shown;
  };
  // Every control of the form that matches `text` (case-insensitive), the
  // best first: its caption equal to it, beginning with it, holding it; then
  // an option's caption holding it; then its tooltip. Empty for a blank text.
  std::vector<Match> Find(const QString& text) const;

  // Opens the box, empty, with the focus in it.
  void Open();
  // Closes the box; the focus goes back where it was when it opened.
  void Close();
  // Focuses `control` and scrolls the form to it; closes the box.
  void GoTo(QWidget* control);

  QLineEdit* edit() const { return edit_; }
  QListWidget* list() const { return list_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Update();
  void GoToCurrent();
  void Place();

  QScrollArea* scroller_;
  QLineEdit* edit_;
  QListWidget* list_;
  std::vector<Match> matches_;
  QPointer<QWidget> before_;  // where the focus was when the box opened
};
