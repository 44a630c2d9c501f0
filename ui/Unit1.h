// The design window: every input of a weapon design, the Design and Randomize
// buttons and the pane that receives the statblock.
//
// The window is a view of a form model (brennick::FormModel), which holds the
// form's values, enabled states and Max RoF hint, its rules and the random
// generator. Every user event enters through UserEvent(), the one place that
// catches a failure and reports it; it becomes a model operation, and the
// window then shows the model's state, changing its widgets with their
// notifications blocked.
//
// Around the form: a menu bar (File, Edit, View, Help) and the window's
// keyboard shortcuts, Ctrl+Return for Design and Ctrl+R for Randomize; under
// the statblock pane, a panel with the derivation of the line at hand.
//
// The design being worked on (its file, its changes, its steps to undo) is a
// brennick::DesignSession; the window shows it in its title and its Undo and
// Redo. Every dialog and message box goes through the window's dialog
// services (DialogServices.h), which the armoury window shares.
#pragma once

#include <QMainWindow>
#include <QMargins>
#include <QSettings>
#include <QString>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "engine/design.h"
#include "engine/random.h"
#include "form/design_session.h"
#include "form/fields.h"
#include "form/form_model.h"
#include "ui/DialogServices.h"
#include "ui/RadioGroup.h"

class QAction;
class QCheckBox;
class QDragEnterEvent;
class QDropEvent;
class QMenu;
class QPrinter;
class QTextDocument;
class TArmouryWindow;
class TCompareDialog;
class TDerivationPanel;
class TWindowFit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;
class QSplitter;

// The controls of the window that hold a form value, by kind; each is named
// as on the form and built from the field table. X(name) for every row of the
// field list (engine/field_list.h) and the form's own check boxes.
#define BRENNICK_CONTROL_NAME(X, name, ...) X(name)
#define BRENNICK_TEXT_CONTROLS(X) BRENNICK_TEXT_FIELDS(BRENNICK_CONTROL_NAME, X)
#define BRENNICK_GROUP_CONTROLS(X) BRENNICK_GROUP_FIELDS(BRENNICK_CONTROL_NAME, X)
#define BRENNICK_CHECK_CONTROLS(X) \
  BRENNICK_CHECK_FIELDS(BRENNICK_CONTROL_NAME, X) BRENNICK_FORM_CHECKS(BRENNICK_CONTROL_NAME, X)

class TForm1 : public QMainWindow {
  Q_OBJECT
 public:
  explicit TForm1(QWidget* parent = nullptr);
  ~TForm1() override;

  // --- Event operations, named after their control and event. ---
  void FormCreate();
  void FormClose();
  void FormKeyPress();
  void DesignButtonClick();
  void RandomButtonClick();

  // --- Changing controls. ---
  // A program step's change of a control: the model stores the value, and
  // when it differs from the one the control had, the control's rule runs at
  // once. A failing rule throws brennick::DesignError to the caller; the
  // window shows what was changed before it either way.
  void Change(QLineEdit* edit, const QString& text);
  void Change(QCheckBox* box, bool checked);
  void Change(TRadioGroup* group, int index);

  // Runs one user event; a failure inside it goes to the error report, and
  // whatever the event changed before the failure stays. The form before and
  // after it is one step to undo; `typing` names the text field the event
  // typed into, whose typing is one step until the focus leaves it.
  void UserEvent(const std::function<void()>& event, std::string_view typing = {});

  // --- The dialogs and message boxes, for this window and the ones it opens
  // (the toolkit's own by default). ---
  void setDialogs(std::shared_ptr<TDialogServices> dialogs);

  // --- Design files, undo and the statblock's ways out (DesignFiles.cpp,
  // StatblockExport.cpp). ---
  // File menu. New, Open and OpenFile ask about unsaved changes first; a
  // file that cannot be read is reported and leaves the form as it was.
  // Paths are the file system's own bytes; a QString path is a dialog's
  // result, turned into them as the file system names files.
  void FileNew();
  void FileOpen();
  bool OpenFile(const std::filesystem::path& path);
  bool OpenFile(const QString& path);
  bool Save();
  bool SaveAs();
  bool SaveFile(const std::filesystem::path& path);
  bool SaveFile(const QString& path);
  void ExportStatblock();
  bool ExportStatblockTo(const QString& path);  // .md as Markdown, else plain text
  void PrintStatblock();
  void ExportPdf();
  bool ExportPdfTo(const QString& path);
  void OpenArmoury();
  bool OpenArmouryFolder(const QString& folder);
  TArmouryWindow* armoury() const { return armoury_; }
  // Edit menu.
  void Undo();
  void Redo();
  void CopyAsMarkdown();
  // Asks about unsaved changes: true when the form may be replaced.
  bool MaybeSave();

  // The design file of the form (empty for a new design), as the file
  // system names it and as the window shows it.
  const std::filesystem::path& currentPath() const { return session_.file(); }
  QString currentFile() const;
  bool isModified() const { return session_.modified(); }
  // The recent files, newest first, as the window shows them and as the file
  // system names them.
  QStringList recentFiles() const;
  std::vector<std::filesystem::path> recentPaths() const;
  // Puts a whole form in place, as undo and opening a file do: no rule runs.
  void RestoreForm(const brennick::FormState& state);
  const brennick::DesignSession& session() const { return session_; }
  // The window's settings: recent files, last folders, window geometry.
  static QSettings Settings();
  void RestoreGeometry();
  void SaveGeometry();
  // `brennick FILE`: the first argument after the program's name (Qt has
  // taken its own options out) is a design file, opened as File > Open does.
  // The program's own arguments are the bytes Qt left in argv, so that any
  // file name the file system holds opens.
  void OpenStartFile(const QStringList& arguments);
  void OpenStartFile(int argc, const char* const* argv);

  // --- Menu commands. ---
  // Puts the pane's text on the clipboard exactly as the pane holds it.
  void CopyStatblock();
  // The keyboard shortcuts and the About text, as messages.
  void ShowShortcuts();
  void ShowAbout();
  // The program's version, as the build gives it.
  static QString Version();

  // --- How the statblock's lines come about, and comparing statblocks
  // (DerivationPanel.cpp, CompareDialog.cpp). ---
  // Runs the design for Design, derivations included (RunDesign by default).
  using DesignRunner =
      std::function<brennick::DesignResult(const brennick::DesignInput& input, char dec)>;
  void setDesignRunner(DesignRunner runner) { designRunner_ = std::move(runner); }
  // The last Design's result, and whether Design has run at all.
  const brennick::DesignResult& lastDesign() const;
  bool hasDesigned() const;
  // Shows or hides the derivation panel, and remembers the choice.
  void ShowDerivations(bool shown);
  // The statblock line (0-based) a block of the pane shows, or -1 when the
  // pane no longer holds the last Design's statblock or the block is beyond it.
  int LineOfBlock(int block) const;
  // What the derivation panel shows for a block of the pane.
  QString DerivationText(int block) const;
  // --- Whether the pane shows the form as it stands (FormEvents.cpp). ---
  // True while the form differs from the one that produced the pane's
  // statblock: the pane is dimmed under a note that says so.
  bool statblockStale() const;
  // The note over the pane: why its statblock is not the form's, or why the
  // last Design stopped; empty when hidden.
  QString statblockNote() const;
  // View > Live Statblock: Design runs after every change of the form, its
  // failures shown in the panel and the note rather than in a box.
  // Remembered in the settings.
  void SetLiveStatblock(bool live);
  bool liveStatblock() const;
  // View > Enlarge Derivations: the derivation panel takes most of the
  // statblock's column and the keyboard focus, or goes back to its size.
  void EnlargeDerivations(bool large);

  // View > Compare: the current form's statblock beside the last Design's or
  // a design file's, in a dialog that does not block the window.
  void CompareStatblocks();
  void CompareWithLastDesign();
  void CompareWithFile();
  bool CompareWithFileAt(const QString& path);
  TCompareDialog* compareDialog() const { return compareDialog_; }

  // --- The form model behind the window. ---
  const brennick::FormModel& model() const { return session_.model(); }
  // Shows the model's state in the widgets, notifications blocked: what
  // changed since the last time, or `everything`.
  void ShowState(bool everything = false);

  // --- The random source of the generator. ---
  brennick::RandomSource& randomSource() { return session_.model().randomSource(); }
  // Reseeds the random source from the seed clock.
  void SeedRandomSource();
  void setSeedClock(std::function<std::uint32_t()> clock);

  // The whole form with the menu bar, the statblock pane at a comfortable
  // width.
  QSize sizeHint() const override;

  // Every design input as the controls hold it now, enabled or not.
  brennick::DesignInput ReadInput() const;
  // The system's decimal separator, as the design run and the hint read it.
  static char DecimalSeparator();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  // A new palette (View > Theme, or the system's) colours the note and the
  // dimmed statblock again.
  void changeEvent(QEvent* event) override;

 private:
  // Building the window (FormControls.cpp, FormLayout.cpp, FormPlacement.cpp).
  void CreateControls();
  void LayOutControls();
  void SetTabOrder();
  // Opens at the size the form wants, the whole frame inside the screen's
  // available area; placed again once the window system has framed it.
  void PlaceOnScreen();
  // Every menu, action and shortcut of the window (FormMenus.cpp).
  void CreateMenus();
  // Wiring the user's changes into the model (FormEvents.cpp).
  void BindEvents();
  // Runs a model operation for a program step, showing its result even when
  // it fails (the failure goes on to the caller).
  void ModelStep(const std::function<void()>& step);
  // The error report every user event goes through.
  void ReportError(const QString& message);
  // Design on the form as it stands, its statblock in the pane and its
  // derivations in the panel; a failure is in the panel's last result.
  void ShowDesign();
  // Design without a message box, for Open and Live Statblock: a failure
  // shows in the panel and the note over the pane.
  void DesignQuietly();
  // After every change the window shows: the note over the pane, and
  // Design when the statblock is live.
  void AfterFormChange();
  void UpdateStatblockNote();
  // The note's ground and text and the dimmed statblock's text, from the
  // window's palette as it is now.
  void ColourStatblockNote();
  // Before a copy, export or print of a statblock older than the form:
  // whether to go ahead with it.
  bool ConfirmShownStatblock(const QString& command);

  // Files and undo (DesignFiles.cpp).
  bool LoadFile(const std::filesystem::path& path);
  // Puts a whole form in place for New and Open, as the session has it
  // after `replace`: one step to undo.
  void Replace(const std::function<void()>& replace);
  void UpdateTitle();
  // Recent files and folders (RecentFiles.cpp).
  void UpdateRecentMenu();
  void Remember(const std::filesystem::path& file, const QString& folderKey);
  QString LastFolder(const QString& key) const;
  // Choosing files (ChooseFiles.cpp): a design file to open, in the folder
  // designs were last opened from; the file a save or export writes, its
  // extension completed from the filter (the first filter's is the
  // default), empty when cancelled.
  QString ChooseDesignFile(const QString& caption);
  QString ChooseSaveFile(const QString& caption, const QString& path, const QString& filter);
  // The folder to suggest for a save, and a name made of the weapon's.
  QString SuggestedPath(const QString& folderKey, const QString& fallback,
                        const QString& extension) const;
  // The statblock as the pane holds it (StatblockExport.cpp).
  QString StatblockText() const;
  bool HasStatblock();
  void PrintTo(QPrinter& printer);
  // Lays the statblock out as a page; returns the name of the document.
  QString LayOutPage(QTextDocument& page) const;

  brennick::DesignSession session_;
  std::shared_ptr<TDialogServices> dialogs_;
  brennick::FormState shown_;  // the model's state as the widgets last showed it
  std::uint64_t shownHintWrites_ = 0;
  // The text field a failed Design run could not read, focused once the
  // user has acknowledged the message.
  QLineEdit* faultField_ = nullptr;
  // Set by a failed Design: its box names the field in its title.
  bool designFailed_ = false;
  QString faultName_;
  // The design input that produced the pane's statblock; none while the
  // pane holds no Design's result.
  std::optional<brennick::DesignInput> designedInput_;
  QString quietFailure_;    // a failure of a quiet Design outside the run
  bool designing_ = false;  // a Design is filling the pane
  QList<int> smallPanel_;   // the splitter's sizes before the panel was enlarged
  std::function<std::uint32_t()> seedClock_;
  DesignRunner designRunner_;
  TArmouryWindow* armoury_ = nullptr;
  TCompareDialog* compareDialog_ = nullptr;

  QScrollArea* scroller_ = nullptr;
  QWidget* surface_ = nullptr;  // the form's background, inside the scroll area
  int paneWidthHint_ = 0;       // the statblock pane's comfortable width
  TWindowFit* fit_ = nullptr;   // the window's size and place on its screen
  // The widget of each field of the field table, in the table's order, with
  // the label that is enabled together with a text field.
  std::vector<QWidget*> fieldWidgets_;
  std::vector<QLabel*> fieldLabels_;

  // --- Controls, named as on the form; tests and tools find them by name. ---
#define BRENNICK_DECLARE(type, name) type* name = nullptr;
#define BRENNICK_DECLARE_TEXT(name) BRENNICK_DECLARE(QLineEdit, name)
#define BRENNICK_DECLARE_GROUP(name) BRENNICK_DECLARE(TRadioGroup, name)
#define BRENNICK_DECLARE_CHECK(name) BRENNICK_DECLARE(QCheckBox, name)
  BRENNICK_TEXT_CONTROLS(BRENNICK_DECLARE_TEXT)
  BRENNICK_GROUP_CONTROLS(BRENNICK_DECLARE_GROUP)
  BRENNICK_CHECK_CONTROLS(BRENNICK_DECLARE_CHECK)
#undef BRENNICK_DECLARE_TEXT
#undef BRENNICK_DECLARE_GROUP
#undef BRENNICK_DECLARE_CHECK
#undef BRENNICK_DECLARE
  QLabel *Label1, *Label2, *Label17, *Label7, *Label3, *Label5, *Label10, *Label6, *Label4,
      *Label15, *Label8, *Label9;
  QLabel *BarrelsLabel, *ChambersLabel, *RoFLabel, *ShotsLabel, *MaxRoFLabel;
  QGroupBox *GroupBox1, *GroupBox2, *GroupBox3;
  QPushButton *DesignButton, *RandomButton;
  QPlainTextEdit* StatblockMemo;
  TDerivationPanel* DerivationPanel = nullptr;
  QLabel* StatblockNote = nullptr;         // over the pane: stale or failed
  QSplitter* StatblockSplitter = nullptr;  // the pane over the derivation panel

  // The menu commands and the window's shortcuts, named as their objects
  // without "Action".
  struct Actions {
    QAction *New, *Open, *Save, *SaveAs, *OpenArmoury, *ExportStatblock, *Print, *ExportPdf, *Quit;
    QAction *Undo, *Redo, *CopyStatblock, *CopyMarkdown;
    QAction *ShowDerivations, *Compare, *Shortcuts, *About;
    QAction *LiveStatblock = nullptr, *EnlargeDerivations = nullptr;
    QAction *Design, *Randomize;
  };
  Actions actions_{};
  QMenu* recentMenu_ = nullptr;
};
