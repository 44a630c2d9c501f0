// The one error of the program and its messages: a failure anywhere in a
// design run, a number read or a file read is a DesignError whose message is
// exactly what the user is told.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

namespace brennick {

// The single error type of the program. Its message is exactly the text the
// user sees in the error report.
// message() is the whole text; what() ends at a NUL character that a quoted
// text may hold.
class DesignError : public std::runtime_error {
 public:
  explicit DesignError(const std::string& message)
      : std::runtime_error(message), message_(std::make_shared<const std::string>(message)) {}
  explicit DesignError(const char* message) : DesignError(std::string(message)) {}
  const std::string& message() const { return *message_; }

 private:
  std::shared_ptr<const std::string> message_;  // shared: copying an exception must not throw
};

// The user-facing failure messages.
inline constexpr const char* kInvalidFloatOp = "Invalid floating point operation";
inline constexpr const char* kDivByZero = "Floating point division by zero";
inline constexpr const char* kOverflow = "Floating point overflow";
DesignError InvalidFloatText(std::string_view text);  // "'%s' is not a valid floating point value"
DesignError InvalidIntegerText(std::string_view text);  // "'%s' is not a valid integer value"

}  // namespace brennick
