#include "form/history.h"

#include <initializer_list>
#include <span>
#include <type_traits>
#include <utility>
#include <vector>

#include "form/fields.h"

namespace brennick {

namespace {

// Where the form keeps its texts: the text fields of the field table.
const std::vector<TextControl FormState::*>& TextFields() {
  static const std::vector<TextControl FormState::*> fields = [] {
    std::vector<TextControl FormState::*> all;
    for (const FieldInfo& field : FormFields()) {
      if (field.textControl != nullptr) all.push_back(field.textControl);
    }
    return all;
  }();
  return fields;
}

}  // namespace

std::size_t FormHistory::BytesOf(const FormState& form) {
  std::size_t bytes = sizeof(FormState);
  for (const auto field : TextFields()) bytes += (form.*field).text.size();
  return bytes + form.MaxRoFLabel.size();
}

std::size_t FormHistory::BytesOf(const FormDocument& document) {
  return sizeof(Document) + document.file.native().size() +
         (document.saved ? BytesOf(*document.saved) : 0);
}

FormHistory::FormHistory(std::size_t depth, std::size_t memory)
    : depth_(depth == 0 ? 1 : depth), memory_(memory), document_(std::make_shared<Document>()) {}

void FormHistory::Push(std::deque<Step>& steps, FormState form,
                       std::shared_ptr<Document> document) {
  bytes_ += BytesOf(form);
  if (document->steps++ == 0) bytes_ += BytesOf(document->value);
  steps.push_back(Step{std::move(form), std::move(document)});
}

FormHistory::Step FormHistory::PopBack(std::deque<Step>& steps) {
  Step step = std::move(steps.back());
  steps.pop_back();
  bytes_ -= BytesOf(step.form);
  if (--step.document->steps == 0) bytes_ -= BytesOf(step.document->value);
  return step;
}

void FormHistory::PopFront(std::deque<Step>& steps) {
  Step& step = steps.front();
  bytes_ -= BytesOf(step.form);
  if (--step.document->steps == 0) bytes_ -= BytesOf(step.document->value);
  steps.pop_front();
}

void FormHistory::ClearSteps(std::deque<Step>& steps) {
  while (!steps.empty()) PopBack(steps);
}

void FormHistory::Trim() {
  // The newest steps are the ones the user is likeliest to undo: the oldest
  // go first, until both the depth and the memory hold.
  while (!undo_.empty() && (undo_.size() > depth_ || bytes_ > memory_)) PopFront(undo_);
}

void FormHistory::Edit(Document& document, FormDocument value) {
  if (document.steps > 0) bytes_ -= BytesOf(document.value);
  document.value = std::move(value);
  if (document.steps > 0) bytes_ += BytesOf(document.value);
}

void FormHistory::Changed(const FormState& before, const FormState& after,
                          std::string_view typing) {
  if (before == after) return;
  // Later keys in the same field belong to the step of the first one.
  const bool sameTyping = !typing.empty() && typing == typing_ && !undo_.empty();
  typing_ = typing;
  ClearSteps(redo_);
  if (sameTyping) {
    // Typed back to where the step began: no step after all, and the next
    // key begins a new one.
    if (after == undo_.back().form) {
      PopBack(undo_);
      typing_.clear();
    }
    return;
  }
  Push(undo_, before, document_);
  Trim();
}

void FormHistory::Replaced(const FormState& before, const FormState& after, FormDocument document) {
  if (before == after && document == document_->value) return;
  typing_.clear();
  ClearSteps(redo_);
  Push(undo_, before, document_);
  document_ = std::make_shared<Document>(Document{std::move(document)});
  Trim();
}

void FormHistory::Saved(const std::filesystem::path& file, const FormState& form) {
  // Another design saved over a file leaves the forms that belonged to that
  // file unsaved: what the file held is gone.
  for (std::deque<Step>* steps : {&undo_, &redo_}) {
    for (Step& step : *steps) {
      Document& other = *step.document;
      if (&other != document_.get() && other.value.file == file && other.value.saved) {
        Edit(other, FormDocument{file, std::nullopt});
      }
    }
  }
  Edit(*document_, FormDocument{file, form});
  Trim();
}

std::optional<FormState> FormHistory::Undo(const FormState& current) {
  typing_.clear();
  if (undo_.empty()) return std::nullopt;
  Step back = PopBack(undo_);
  Push(redo_, current, std::move(document_));
  document_ = std::move(back.document);
  Trim();
  return std::move(back.form);
}

std::optional<FormState> FormHistory::Redo(const FormState& current) {
  typing_.clear();
  if (redo_.empty()) return std::nullopt;
  Step forward = PopBack(redo_);
  Push(undo_, current, std::move(document_));
  document_ = std::move(forward.document);
  Trim();
  return std::move(forward.form);
}

void FormHistory::Clear() {
  ClearSteps(undo_);
  ClearSteps(redo_);
  typing_.clear();
}

}  // namespace brennick
