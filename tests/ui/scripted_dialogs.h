// The windows' dialogs answered by a test: every box and dialog asked for is
// recorded in order with its texts, and answered from a script (each answer
// for the next question, which must be of its kind) or by a standing answer
// the test sets. A question with neither fails the test, as does a scripted
// answer left unasked; the cancelling answer is given then, so the window
// goes on.
#pragma once

#include <gtest/gtest.h>

#include <QPrinter>
#include <QStringList>
#include <QWidget>
#include <deque>
#include <functional>
#include <string>
#include <variant>

#include "ui/DialogServices.h"

class ScriptedDialogs : public TDialogServices {
 public:
  using PrintAnswer = std::function<bool(QPrinter& printer)>;

  ~ScriptedDialogs() override {
    for (const Scripted& left : script_) {
      ADD_FAILURE() << "a scripted answer to " << KindName(left.kind) << " was never asked for";
    }
  }

  // Every box and dialog asked for, one line each:
  //   error: MESSAGE            message: TITLE: TEXT
  //   unsaved: NAME             replace: PATH
  //   stale: COMMAND
  //   open: CAPTION | PATH | FILTER
  //   save: CAPTION | PATH | FILTER
  //   folder: CAPTION | PATH    print
  QStringList asked;
  // The object name of the window each was asked over, in the same order.
  QStringList over;
  // The title of every failure shown under a title of its own, in order.
  QStringList errorTitles;

  // --- Scripted answers, in the order the questions must come. ---
  ScriptedDialogs& ScriptUnsaved(UnsavedAnswer answer) { return Add(Kind::Unsaved, answer); }
  ScriptedDialogs& ScriptReplace(bool replace) { return Add(Kind::Replace, replace); }
  // Goes ahead with a statblock made before the form's changes, or cancels.
  ScriptedDialogs& ScriptStale(bool goAhead) { return Add(Kind::Stale, goAhead); }
  ScriptedDialogs& ScriptOpen(const QString& path) { return Add(Kind::Open, ChosenFile(path)); }
  ScriptedDialogs& ScriptSave(const ChosenFile& file) { return Add(Kind::Save, file); }
  ScriptedDialogs& ScriptFolder(const QString& path) { return Add(Kind::Folder, path); }
  // Sets the printer up (to print to a file, say); false cancels.
  ScriptedDialogs& ScriptPrint(PrintAnswer answer) { return Add(Kind::Print, std::move(answer)); }
  bool scriptDone() const { return script_.empty(); }

  // --- Standing answers, for any number of questions of their kind while
  // no scripted answer waits. Failures and messages need none: they are
  // recorded, and handed on to these when set. ---
  std::function<void(const QString& message)> onError;
  std::function<void(const QString& title, const QString& text)> onMessage;
  std::function<UnsavedAnswer(const QString& name)> unsavedAnswer;
  std::function<bool(const QString& path)> replaceAnswer;
  std::function<bool(const QString& command)> staleAnswer;
  std::function<ChosenFile(FileDialog dialog, const QString& caption, const QString& path,
                           const QString& filter)>
      fileAnswer;
  std::function<QString(const QString& caption, const QString& path)> folderAnswer;
  PrintAnswer printAnswer;

  void ShowError(QWidget* parent, const QString& message) override {
    Record(parent, QStringLiteral("error: ") + message);
    if (onError) onError(message);
  }
  void ShowFailure(QWidget* parent, const QString& title, const QString& message) override {
    Record(parent, QStringLiteral("error: ") + message);
    errorTitles << title;
    if (onError) onError(message);
  }
  void ShowMessage(QWidget* parent, const QString& title, const QString& text) override {
    Record(parent, QStringLiteral("message: ") + title + QStringLiteral(": ") + text);
    if (onMessage) onMessage(title, text);
  }
  UnsavedAnswer AskUnsaved(QWidget* parent, const QString& name) override {
    Record(parent, QStringLiteral("unsaved: ") + name);
    return Answer<UnsavedAnswer>(Kind::Unsaved, UnsavedAnswer::Cancel, unsavedAnswer, name);
  }
  bool AskReplace(QWidget* parent, const QString& path) override {
    Record(parent, QStringLiteral("replace: ") + path);
    return Answer<bool>(Kind::Replace, false, replaceAnswer, path);
  }
  bool AskStaleStatblock(QWidget* parent, const QString& command) override {
    Record(parent, QStringLiteral("stale: ") + command);
    return Answer<bool>(Kind::Stale, false, staleAnswer, command);
  }
  ChosenFile ChooseFile(QWidget* parent, FileDialog dialog, const QString& caption,
                        const QString& path, const QString& filter) override {
    const bool open = dialog == FileDialog::Open;
    Record(parent, (open ? QStringLiteral("open: ") : QStringLiteral("save: ")) + caption +
                       QStringLiteral(" | ") + path + QStringLiteral(" | ") + filter);
    return Answer<ChosenFile>(open ? Kind::Open : Kind::Save, ChosenFile(), fileAnswer, dialog,
                              caption, path, filter);
  }
  QString ChooseFolder(QWidget* parent, const QString& caption, const QString& path) override {
    Record(parent, QStringLiteral("folder: ") + caption + QStringLiteral(" | ") + path);
    return Answer<QString>(Kind::Folder, QString(), folderAnswer, caption, path);
  }
  bool SetUpPrinter(QWidget* parent, QPrinter& printer) override {
    Record(parent, QStringLiteral("print"));
    std::function<PrintAnswer()> standing;
    if (printAnswer) standing = [this] { return printAnswer; };
    const PrintAnswer setUp = Answer<PrintAnswer>(Kind::Print, PrintAnswer(), standing);
    return setUp && setUp(printer);
  }

 private:
  enum class Kind { Unsaved, Replace, Stale, Open, Save, Folder, Print };
  using Value = std::variant<UnsavedAnswer, bool, ChosenFile, QString, PrintAnswer>;
  struct Scripted {
    Kind kind;
    Value answer;
  };

  static const char* KindName(Kind kind) {
    switch (kind) {
      case Kind::Unsaved:
        return "the unsaved-changes question";
      case Kind::Replace:
        return "the replace question";
      case Kind::Stale:
        return "the question about a statblock older than the form";
      case Kind::Open:
        return "an open dialog";
      case Kind::Save:
        return "a save dialog";
      case Kind::Folder:
        return "a folder dialog";
      case Kind::Print:
        return "the print dialog";
    }
    return "?";
  }

  ScriptedDialogs& Add(Kind kind, Value answer) {
    script_.push_back({kind, std::move(answer)});
    return *this;
  }
  void Record(QWidget* parent, const QString& line) {
    asked << line;
    over << (parent ? parent->objectName() : QString());
  }

  // The next scripted answer when it is of `kind`; else the standing one
  // called with `args`; else a failure and `cancel`.
  template <class T, class Standing, class... Args>
  T Answer(Kind kind, T cancel, const Standing& standing, const Args&... args) {
    const std::string question = asked.back().toStdString();
    if (!script_.empty()) {
      if (script_.front().kind != kind) {
        ADD_FAILURE() << "asked \"" << question << "\" where the script answers "
                      << KindName(script_.front().kind) << " next";
        return cancel;
      }
      T answer = std::get<T>(std::move(script_.front().answer));
      script_.pop_front();
      return answer;
    }
    if (standing) return standing(args...);
    ADD_FAILURE() << "asked \"" << question << "\" with no answer scripted";
    return cancel;
  }

  std::deque<Scripted> script_;
};
