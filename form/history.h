// Undo and redo of the user's changes to the design form.
//
// A step is the whole form as it stood before one change the user made: a
// click, a selection, Randomize, New or Open. Typing into one field is one
// step however many keys it takes, until the focus leaves the field. Undo
// puts the whole form back as it was (values, enabled states and the Max RoF
// hint) without running a rule, so the form is exactly what the user saw.
// Design changes no control and is no step.
//
// Every form belongs to a document: the design file it was opened from or
// saved to, and the form as that file holds it. New and Open begin another
// document, so undoing them brings back the file the earlier form belongs to
// and whether it was saved; a save changes the document in place, for every
// step of it. The steps of one document share it rather than copy it.
#pragma once

#include <cstddef>
#include <deque>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "form/form_state.h"

namespace brennick {

// The design file a form belongs to.
struct FormDocument {
  std::filesystem::path file;  // empty for a design never saved
  // The form as the file holds it (the start form for a new design); nothing
  // once another document was saved over the file.
  std::optional<FormState> saved = FormState();

  // Whether `form` differs from what the file holds.
  bool Modified(const FormState& form) const { return !saved || !(*saved == form); }
  bool operator==(const FormDocument&) const = default;
};

class FormHistory {
 public:
  // The steps an undo can go back by default.
  static constexpr std::size_t kDefaultDepth = 500;
  // The most memory the steps may take by default. A form of a few short
  // texts takes about 1 KiB, so this holds the whole depth many times over;
  // it counts when the texts are long, where 500 copies would take gigabytes.
  static constexpr std::size_t kDefaultMemory = std::size_t{32} << 20;

  // Keeps at most `depth` steps and at most `memory` bytes of them (see
  // memory()); the oldest are forgotten first. The present document is a new
  // design.
  explicit FormHistory(std::size_t depth = kDefaultDepth, std::size_t memory = kDefaultMemory);
  FormHistory(FormHistory&&) = default;
  FormHistory& operator=(FormHistory&&) = default;
  // The steps count how many of them share a document: never two histories.
  FormHistory(const FormHistory&) = delete;
  FormHistory& operator=(const FormHistory&) = delete;

  // One change by the user took the form from `before` to `after`. A change
  // that left the form as it was is no step. `typing` names the field being
  // typed into: a change in the field that is being typed into joins the step
  // its first key began, and typing the form back to where that step began
  // takes the step away. Any other change, an undo or a redo ends the typing.
  void Changed(const FormState& before, const FormState& after, std::string_view typing = {});
  // New or Open: the form went from `before` to `after`, which belongs to
  // `document`. One step, unless neither the form nor the document changed.
  void Replaced(const FormState& before, const FormState& after, FormDocument document);
  // The present form `form` was saved to `file`: the present document is
  // that file now, for the steps that share it too. Any other document of the
  // steps that named `file` no longer holds what the file holds.
  void Saved(const std::filesystem::path& file, const FormState& form);
  // The focus left the field being typed into: its next key begins a step.
  void EndTyping() { typing_.clear(); }

  // The document of the present form.
  const FormDocument& document() const { return document_->value; }

  bool CanUndo() const { return !undo_.empty(); }
  bool CanRedo() const { return !redo_.empty(); }

  // The form to put back for an undo while the form is `current`, which redo
  // then brings back; nothing when there is no step to undo. The document
  // becomes the one of the form given back.
  std::optional<FormState> Undo(const FormState& current);
  std::optional<FormState> Redo(const FormState& current);

  // Forgets every step; the present document stays.
  void Clear();

  std::size_t undoSteps() const { return undo_.size(); }
  std::size_t redoSteps() const { return redo_.size(); }
  // The memory the steps take as the limit counts it: each step's form with
  // its texts, and once each document the steps hold.
  std::size_t memory() const { return bytes_; }

  // What a form takes in memory: the form itself and its texts.
  static std::size_t BytesOf(const FormState& form);
  static std::size_t BytesOf(const FormDocument& document);

 private:
  struct Document {
    FormDocument value;
    std::size_t steps = 0;  // the steps that hold it
  };
  struct Step {
    FormState form;
    std::shared_ptr<Document> document;
  };

  // Steps enter and leave the stacks only through these, which keep the
  // count of memory.
  void Push(std::deque<Step>& steps, FormState form, std::shared_ptr<Document> document);
  Step PopBack(std::deque<Step>& steps);
  void PopFront(std::deque<Step>& steps);
  void ClearSteps(std::deque<Step>& steps);
  // Forgets the oldest steps while there are too many or they take too much.
  void Trim();
  // Changes a document the steps may hold, keeping the count of memory.
  void Edit(Document& document, FormDocument value);

  std::size_t depth_;
  std::size_t memory_;
  std::size_t bytes_ = 0;
  std::deque<Step> undo_;
  std::deque<Step> redo_;
  std::shared_ptr<Document> document_;
  std::string typing_;  // the field whose typing the newest step holds
};

}  // namespace brennick
