// How the statblock's lines come about: a panel under the statblock pane that
// shows the derivation of the line the pane's cursor is on or the pointer is
// over (the pointed line's also as its tooltip). It says plainly when there is
// none to show: no statblock yet, a pane changed by hand since Design, or a
// line without one; after a failed Design it says why Design stopped. It
// takes the keyboard focus after the pane: its text scrolls and is selected
// with the keys, every step of the longest derivation there to read. A long
// run of a typed text in a derivation shows its first characters
// (ShownText.h); the derivations themselves keep every character.
#pragma once

#include <QPlainTextEdit>
#include <QString>
#include <vector>

#include "engine/design.h"

class TDerivationPanel : public QPlainTextEdit {
  Q_OBJECT

 public:
  // A panel that follows `pane`, the statblock pane it explains.
  TDerivationPanel(QPlainTextEdit* pane, QWidget* parent);

  // Takes over a Design run's result, once the pane holds the text it wrote.
  void TakeDesign(brennick::DesignResult result);
  // The last Design's result, and whether Design has run at all.
  const brennick::DesignResult& lastDesign() const { return lastDesign_; }
  bool hasDesigned() const { return hasDesigned_; }

  // The statblock line (0-based) a block of the pane shows, or -1 when the
  // pane no longer holds the last Design's statblock or the block is beyond it.
  int LineOfBlock(int block) const;
  // What the panel shows for a block of the pane.
  QString DerivationText(int block) const;
  // Shows what the panel explains now; nothing while it is hidden.
  void Update();

  // A few lines high; two at the least.
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  // The pane's pointer: the derivation of the line under it, in the panel
  // and as the line's tooltip.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  int PointedBlock(const QPoint& at) const;
  int HeightOfLines(int lines) const;

  QPlainTextEdit* pane_;
  // The last Design run and the pane's blocks: the statblock line each block
  // shows (a line that holds a line break fills several blocks).
  brennick::DesignResult lastDesign_;
  bool hasDesigned_ = false;
  QString designedText_;         // the pane's text as Design wrote it
  std::vector<int> blockLines_;  // by block of the pane
  bool paneCurrent_ = false;     // the pane holds the last Design's text as written
  bool failureShown_ = false;    // the panel shows why Design stopped
  int pointedBlock_ = -1;        // the block under the mouse, -1 for none
};
