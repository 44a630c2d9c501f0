#include "history.h"

namespace brennick {

FormHistory::FormHistory(std::size_t depth) : depth_(depth == 0 ? 1 : depth) {}

void FormHistory::Changed(const FormState& before, const FormState& after,
                          std::string_view typing) {
  if (before == after) return;
  // Later keys in the same field belong to the step of the first one.
  const bool sameTyping = !typing.empty() && typing == typing_ && !undo_.empty();
  typing_ = typing;
  redo_.clear();
  if (sameTyping) {
    // Typed back to where the step began: no step after all, and the next
    // key begins a new one.
    if (after == undo_.back()) {
      undo_.pop_back();
      typing_.clear();
    }
    return;
  }
  undo_.push_back(before);
  if (undo_.size() > depth_) undo_.pop_front();
}

std::optional<FormState> FormHistory::Undo(const FormState& current) {
  typing_.clear();
  if (undo_.empty()) return std::nullopt;
  FormState back = std::move(undo_.back());
  undo_.pop_back();
  redo_.push_back(current);
  return back;
}

std::optional<FormState> FormHistory::Redo(const FormState& current) {
  typing_.clear();
  if (redo_.empty()) return std::nullopt;
  FormState forward = std::move(redo_.back());
  redo_.pop_back();
  undo_.push_back(current);
  return forward;
}

void FormHistory::Clear() {
  undo_.clear();
  redo_.clear();
  typing_.clear();
}

}  // namespace brennick
