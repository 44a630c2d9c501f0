#include "form/design_session.h"

#include <optional>
#include <system_error>
#include <utility>

namespace brennick {

DesignSession::DesignSession(char decimalSeparator) : model_(decimalSeparator) {}

void DesignSession::Changed(const FormState& before, std::string_view typing) {
  history_.Changed(before, model_.state(), typing);
}

void DesignSession::Replace(const FormState& form, FormDocument document) {
  const FormState before = model_.state();
  model_.Restore(form);
  history_.Replaced(before, model_.state(), std::move(document));
}

void DesignSession::New() {
  Replace(FormState(), FormDocument{});
}

void DesignSession::Open(const FormState& form, const std::filesystem::path& file) {
  Replace(form, FormDocument{Absolute(file), form});
}

void DesignSession::Saved(const std::filesystem::path& file) {
  history_.Saved(Absolute(file), model_.state());
}

bool DesignSession::Undo() {
  auto back = history_.Undo(model_.state());
  if (back) model_.Restore(*back);
  return back.has_value();
}

bool DesignSession::Redo() {
  auto forward = history_.Redo(model_.state());
  if (forward) model_.Restore(*forward);
  return forward.has_value();
}

std::filesystem::path DesignSession::Absolute(const std::filesystem::path& path) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(path, error);
  return error ? path : absolute.lexically_normal();
}

}  // namespace brennick
