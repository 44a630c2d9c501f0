// Every dialog and message box the windows show, in one place: a failure, a
// message, the question about unsaved changes, the question before replacing
// a file, the file and folder dialogs and the print dialog.
//
// The design window, the armoury window and the comparison go through the
// services they were given and never open a box themselves, so that another
// implementation (the tests' scripted one) can answer in the boxes' place.
#pragma once

#include <QCoreApplication>
#include <QString>
#include <utility>

class QPrinter;
class QWidget;

class TDialogServices {
  Q_DECLARE_TR_FUNCTIONS(TDialogServices)

 public:
  enum class UnsavedAnswer { Save, Discard, Cancel };
  enum class FileDialog { Open, Save };
  // A file chosen in a file dialog, with the filter item chosen beside it
  // ("Markdown (*.md)"; empty for the first). Not explicit: a chooser may
  // give a path alone.
  struct ChosenFile {
    ChosenFile(QString chosenPath = {}, QString chosenFilter = {})
        : path(std::move(chosenPath)), filter(std::move(chosenFilter)) {}
    QString path;
    QString filter;
  };

  virtual ~TDialogServices() = default;

  // Every box belongs to the window `parent` and stays over it.
  // A failure, in `parent`'s title, its message as plain text.
  virtual void ShowError(QWidget* parent, const QString& message) = 0;
  // A failure under a title of its own ("Design failed: Bore Size"), its
  // message as plain text.
  virtual void ShowFailure(QWidget* parent, const QString& title, const QString& message) = 0;
  // A message to read, the keyboard shortcuts or About.
  virtual void ShowMessage(QWidget* parent, const QString& title, const QString& text) = 0;
  // Whether to save the changes to the design called `name` first.
  virtual UnsavedAnswer AskUnsaved(QWidget* parent, const QString& name) = 0;
  // Whether to replace the existing file `path` that a save or export would
  // write once the extension was added to the name typed; No by default.
  virtual bool AskReplace(QWidget* parent, const QString& path) = 0;
  // Whether `command` (copying, exporting or printing) is to go ahead with
  // the statblock the pane shows, made before the form's latest changes:
  // true goes ahead with it, false cancels.
  virtual bool AskStaleStatblock(QWidget* parent, const QString& command) = 0;
  // A file to open or to save to, from a caption, a suggested path and a
  // filter ("Markdown (*.md);;All files (*)"); an empty path cancels. A path
  // to save to comes as typed: the caller adds the extension of the filter
  // chosen when it has none.
  virtual ChosenFile ChooseFile(QWidget* parent, FileDialog dialog, const QString& caption,
                                const QString& path, const QString& filter) = 0;
  // A folder; empty cancels.
  virtual QString ChooseFolder(QWidget* parent, const QString& caption, const QString& path) = 0;
  // Sets the printer up before printing; false cancels.
  virtual bool SetUpPrinter(QWidget* parent, QPrinter& printer) = 0;
};

// The toolkit's own boxes and dialogs.
class TStandardDialogs : public TDialogServices {
 public:
  void ShowError(QWidget* parent, const QString& message) override;
  void ShowFailure(QWidget* parent, const QString& title, const QString& message) override;
  void ShowMessage(QWidget* parent, const QString& title, const QString& text) override;
  UnsavedAnswer AskUnsaved(QWidget* parent, const QString& name) override;
  bool AskReplace(QWidget* parent, const QString& path) override;
  bool AskStaleStatblock(QWidget* parent, const QString& command) override;
  ChosenFile ChooseFile(QWidget* parent, FileDialog dialog, const QString& caption,
                        const QString& path, const QString& filter) override;
  QString ChooseFolder(QWidget* parent, const QString& caption, const QString& path) override;
  bool SetUpPrinter(QWidget* parent, QPrinter& printer) override;
};
