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
#pragma once

#include <QMainWindow>
#include <QMargins>
#include <QSettings>
#include <QString>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string_view>
#include <vector>

#include "engine/design.h"
#include "engine/random.h"
#include "form/fields.h"
#include "form/form_model.h"
#include "form/history.h"
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
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;

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

  // --- Event operations, named after their control and event. ---
  void FormCreate();
  void FormClose();
  void FormKeyPress();
  void DesignButtonClick();
  void RandomButtonClick();

  // The rules: each runs the model's rule of the same name and shows the
  // result. A failing rule throws brennick::DesignError to the caller.
  void LoadingMechanismBoxClick();
  void ConfigurationBoxClick();
  void RecoillessCheckBoxClick();
  void ExtraLowBoxClick();
  void PropellantBoxClick();
  void CaselessBoxClick();
  void QualityAccurateClick();
  void QualityReliableClick();
  void RecognitionGripBoxClick();
  void DiagnosticComputerBoxClick();
  void HUDLinkBoxClick();
  void TinyComputerClick();
  void BoreSizeEditChange();
  void BarrelsEditChange();
  void TLEditChange();

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
  // The error report every user event goes through (a message box by default).
  void ReportError(const QString& message);
  // The default report: a critical message box over `parent`, the message as
  // plain text. The armoury window reports the same way.
  static void ShowErrorBox(QWidget* parent, const QString& message);
  void setErrorReporter(std::function<void(const QString&)> reporter);

  // --- Design files, undo and the statblock's ways out (DesignFiles.cpp). ---
  enum class UnsavedAnswer { Save, Discard, Cancel };
  // Asks whether to save the changes to the design called `name` (a message
  // box by default).
  void setUnsavedPrompt(std::function<UnsavedAnswer(const QString& name)> prompt) {
    unsavedPrompt_ = std::move(prompt);
  }
  // A file chosen in a file dialog, with the filter item chosen beside it
  // ("Markdown (*.md)"; empty for the first). Not explicit: a chooser may
  // give a path alone.
  struct ChosenFile {
    ChosenFile(QString chosenPath = {}, QString chosenFilter = {})
        : path(std::move(chosenPath)), filter(std::move(chosenFilter)) {}
    QString path;
    QString filter;
  };
  // Chooses a file to open (`save` false) or to save to, from a caption, a
  // suggested path and a filter; an empty result cancels (a file dialog by
  // default). A path to save to comes as typed: the window adds the
  // extension of the chosen filter when it has none.
  using FileChooser = std::function<ChosenFile(bool save, const QString& caption,
                                               const QString& path, const QString& filter)>;
  void setFileChooser(FileChooser chooser) { fileChooser_ = std::move(chooser); }
  // Asks whether to replace the existing file `path` that a save or export
  // would write once the extension was added to the name typed; true
  // replaces it (a message box, No by default).
  using ReplacePrompt = std::function<bool(const QString& path)>;
  void setReplacePrompt(ReplacePrompt prompt) { replacePrompt_ = std::move(prompt); }
  void setFolderChooser(std::function<QString(const QString& caption, const QString& path)> c) {
    folderChooser_ = std::move(c);
  }
  // Sets up the printer before printing; false cancels (a print dialog by
  // default).
  void setPrintDialog(std::function<bool(QPrinter& printer)> dialog) {
    printDialog_ = std::move(dialog);
  }

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
  const std::filesystem::path& currentPath() const { return history_.document().file; }
  QString currentFile() const;
  bool isModified() const;
  // The recent files, newest first, as the window shows them and as the file
  // system names them.
  QStringList recentFiles() const;
  std::vector<std::filesystem::path> recentPaths() const;
  // Puts a whole form in place, as undo and opening a file do: no rule runs.
  void RestoreForm(const brennick::FormState& state);
  const brennick::FormHistory& history() const { return history_; }
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
  // The keyboard shortcuts and the About text, shown through the presenter
  // (a message box by default).
  void ShowShortcuts();
  void ShowAbout();
  void setMessagePresenter(
      std::function<void(const QString& title, const QString& text)> presenter);
  // The program's version, as the build gives it.
  static QString Version();

  // --- How the statblock's lines come about, and comparing statblocks
  // (ExplainPanel.cpp, CompareDialog.cpp). ---
  // Runs the design for Design, derivations included (RunDesign by default).
  using DesignRunner =
      std::function<brennick::DesignResult(const brennick::DesignInput& input, char dec)>;
  void setDesignRunner(DesignRunner runner) { designRunner_ = std::move(runner); }
  // The last Design's result, and whether Design has run at all.
  const brennick::DesignResult& lastDesign() const { return lastDesign_; }
  bool hasDesigned() const { return hasDesigned_; }
  // Shows or hides the derivation panel, and remembers the choice.
  void ShowDerivations(bool shown);
  // The statblock line (0-based) a block of the pane shows, or -1 when the
  // pane no longer holds the last Design's statblock or the block is beyond it.
  int LineOfBlock(int block) const;
  // What the panel shows for a block of the pane.
  QString DerivationText(int block) const;
  // View > Compare: the current form's statblock beside the last Design's or
  // a design file's, in a dialog that does not block the window.
  void CompareStatblocks();
  void CompareWithLastDesign();
  void CompareWithFile();
  bool CompareWithFileAt(const QString& path);
  TCompareDialog* compareDialog() const { return compareDialog_; }

  // --- The form model behind the window. ---
  const brennick::FormModel& model() const { return model_; }
  // Shows the model's state in the widgets, notifications blocked: what
  // changed since the last time, or `everything`.
  void ShowState(bool everything = false);

  // --- The random source of the generator. ---
  brennick::RandomSource& randomSource() { return model_.randomSource(); }
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

  // --- Controls, named as on the form. ---
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
  QPlainTextEdit* DerivationPanel = nullptr;
  // The menu commands and the window's shortcuts.
  QAction *QuitAction, *CopyStatblockAction, *ShortcutsAction, *AboutAction;
  QAction *DesignAction, *RandomizeAction;
  QAction *ShowDerivationsAction = nullptr, *CompareAction = nullptr;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void showEvent(QShowEvent* event) override;
  // The pane's pointer: the derivation of the line under it, in the panel
  // and as the line's tooltip.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Building the window (FormLayout.cpp).
  void CreateControls();
  void LayOutControls();
  void SetTabOrder();
  // Opens at the size the form wants, inside the screen's available area
  // with the window's frame around it.
  void PlaceOnScreen(const QMargins& frame = {});
  // The menu bar and the shortcuts (FormMenus.cpp).
  void CreateMenus();
  void ShowMessage(const QString& title, const QString& text);
  // The derivation panel (ExplainPanel.cpp): made before the layout, wired
  // once the menus are there.
  void CreateDerivationPanel();
  void BindDerivationPanel();
  // Takes over a Design run's result and the pane's text it wrote.
  void TakeDesign(brennick::DesignResult result);
  void UpdateDerivation();
  int PointedBlock(const QPoint& at) const;
  // Wiring the user's changes into the model (FormEvents.cpp).
  void BindEvents();
  // Runs a model operation for a program step, showing its result even when
  // it fails (the failure goes on to the caller).
  void ModelStep(const std::function<void()>& step);

  QScrollArea* scroller_ = nullptr;
  QWidget* surface_ = nullptr;  // the form's background, inside the scroll area
  int paneWidthHint_ = 0;       // the statblock pane's comfortable width
  bool framePlaced_ = false;    // placed again once the frame was known
  // The widget of each field of the field table, in the table's order, with
  // the label that is enabled together with a text field.
  std::vector<QWidget*> fieldWidgets_;
  std::vector<QLabel*> fieldLabels_;
  // Files, undo and exports (DesignFiles.cpp).
  void CreateFileActions();
  bool LoadFile(const std::filesystem::path& path);
  // Puts a whole form in place for New and Open, with the document it
  // belongs to: one step to undo.
  void Replace(const brennick::FormState& state, brennick::FormDocument document);
  void UpdateTitle();
  void UpdateRecentMenu();
  void Remember(const std::filesystem::path& file, const QString& folderKey);
  QString LastFolder(const QString& key) const;
  QString ChooseFile(bool save, const QString& caption, const QString& path,
                     const QString& filter = {});
  // Chooses the file a save or export writes, its extension completed from
  // the filter (the first filter's is the default); empty when cancelled.
  QString ChooseSaveFile(const QString& caption, const QString& path, const QString& filter);
  // The folder to suggest for a save, and a name made of the weapon's.
  QString SuggestedPath(const QString& folderKey, const QString& fallback,
                        const QString& extension) const;
  QString ChooseFolder(const QString& caption, const QString& path);
  QString StatblockText() const;
  bool HasStatblock();
  void PrintTo(QPrinter& printer);
  // Lays the statblock out as a page; returns the name of the document.
  QString LayOutPage(QTextDocument& page) const;

  brennick::FormModel model_;
  // The steps to undo, and the document the form belongs to: its file and
  // the form as last saved or opened.
  brennick::FormHistory history_;
  QMenu* recentMenu_ = nullptr;
  QAction* undoAction_ = nullptr;
  QAction* redoAction_ = nullptr;
  TArmouryWindow* armoury_ = nullptr;
  std::function<UnsavedAnswer(const QString&)> unsavedPrompt_;
  FileChooser fileChooser_;
  ReplacePrompt replacePrompt_;
  std::function<QString(const QString&, const QString&)> folderChooser_;
  std::function<bool(QPrinter&)> printDialog_;
  brennick::FormState shown_;  // the model's state as the widgets last showed it
  std::uint64_t shownHintWrites_ = 0;
  std::function<void(const QString&)> errorReporter_;
  std::function<void(const QString&, const QString&)> messagePresenter_;
  // The text field a failed Design run could not read, focused once the
  // user has acknowledged the message.
  QLineEdit* faultField_ = nullptr;
  std::function<std::uint32_t()> seedClock_;
  // The last Design run and the pane's blocks: the statblock line each block
  // shows (a line that holds a line break fills several blocks).
  DesignRunner designRunner_;
  brennick::DesignResult lastDesign_;
  bool hasDesigned_ = false;
  QString designedText_;         // the pane's text as Design wrote it
  std::vector<int> blockLines_;  // by block of the pane
  bool paneCurrent_ = false;     // the pane holds the last Design's text as written
  bool failureShown_ = false;    // the panel shows why Design stopped
  int pointedBlock_ = -1;        // the block under the mouse, -1 for none
  TCompareDialog* compareDialog_ = nullptr;
};
