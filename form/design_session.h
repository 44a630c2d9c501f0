// A design being worked on: the form, the design file it belongs to, whether
// it holds changes not saved yet, and the steps to undo.
//
// The window shows a session and turns the user's events into its
// operations: a change of the form, New, Open, a save, Undo and Redo. Reading
// and writing the file is the caller's: Open takes the form already read,
// and Saved is told once the file is written.
#pragma once

#include <filesystem>
#include <string_view>

#include "form/form_model.h"
#include "form/form_state.h"
#include "form/history.h"

namespace brennick {

class DesignSession {
 public:
  // The start form, belonging to no file, with nothing to undo.
  // `decimalSeparator` is the system's, as the form model takes it.
  explicit DesignSession(char decimalSeparator = '.');

  // The form and its rules; a change made through it becomes a step once
  // Changed() is told.
  FormModel& model() { return model_; }
  const FormModel& model() const { return model_; }
  const FormState& form() const { return model_.state(); }
  const FormHistory& history() const { return history_; }

  // The design file the form belongs to, from the root; empty for a design
  // never saved.
  const std::filesystem::path& file() const { return history_.document().file; }
  // Whether the form differs from what its file holds (from the start form
  // for a new design).
  bool modified() const { return history_.document().Modified(model_.state()); }
  bool canUndo() const { return history_.CanUndo(); }
  bool canRedo() const { return history_.CanRedo(); }

  // One event of the user's took the form from `before` to the form now:
  // one step to undo, unless nothing changed. `typing` names the text field
  // typed into, whose keys make one step until EndTyping().
  void Changed(const FormState& before, std::string_view typing = {});
  void EndTyping() { history_.EndTyping(); }

  // Puts a whole form in place without a step; no rule runs.
  void Restore(const FormState& form) { model_.Restore(form); }

  // New: the start form, belonging to no file. One step to undo, which
  // brings back the form and the file it belonged to.
  void New();
  // Open: `form`, as read from `file`, belongs to that file now. One step to
  // undo, as New is.
  void Open(const FormState& form, const std::filesystem::path& file);
  // The form now was written to `file`: it belongs to that file, and holds
  // no changes. A form of an earlier step that belonged to the same file no
  // longer matches what the file holds.
  void Saved(const std::filesystem::path& file);

  // Puts back the form of the step before (after) and the file it belonged
  // to; false when there is no step to go to.
  bool Undo();
  bool Redo();

  // The file a path names, from the root, as the session keeps it: a later
  // change of the working folder changes nothing. A path that cannot be made
  // absolute stays as given.
  static std::filesystem::path Absolute(const std::filesystem::path& path);

 private:
  void Replace(const FormState& form, FormDocument document);

  FormModel model_;
  FormHistory history_;
};

}  // namespace brennick
