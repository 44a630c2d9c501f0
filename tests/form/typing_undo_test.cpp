// Undo and redo end the typing in a field: the key typed next into the same
// field begins a step of its own rather than joining the step the undo (or
// redo) went past.
#include <gtest/gtest.h>

#include <initializer_list>
#include <optional>
#include <string>

#include "form/form_state.h"
#include "form/history.h"

namespace brennick {
namespace {

FormState With(FormState s, const std::string& name, const std::string& bore) {
  s.NameEdit.text = name;
  s.BoreSizeEdit.text = bore;
  return s;
}

TEST(TypingUndo, TheNextKeyAfterAnUndoOrRedoBeginsAStep) {
  enum class Between { Undo, UndoRedo };
  for (const Between between : {Between::Undo, Between::UndoRedo}) {
    FormHistory history;
    const FormState start;
    // A bore typed, then a name typed key by key.
    const FormState bored = With(start, "", "7");
    history.Changed(start, bored, "BoreSizeEdit");
    history.Changed(bored, With(start, "A", "7"), "NameEdit");
    history.Changed(With(start, "A", "7"), With(start, "Ab", "7"), "NameEdit");
    ASSERT_EQ(history.undoSteps(), 2u);

    FormState now = With(start, "Ab", "7");
    now = *history.Undo(now);
    ASSERT_EQ(now, bored);
    if (between == Between::UndoRedo) {
      now = *history.Redo(now);
      ASSERT_EQ(now, With(start, "Ab", "7"));
    }
    // The name typed again, key by key, in the same field.
    const FormState typed = With(now, now.NameEdit.text + "C", "7");
    history.Changed(now, typed, "NameEdit");
    history.Changed(typed, With(now, now.NameEdit.text + "Cd", "7"), "NameEdit");
    EXPECT_EQ(history.undoSteps(), between == Between::Undo ? 2u : 3u);

    // One undo takes that typing back and leaves the bore.
    EXPECT_EQ(history.Undo(With(now, now.NameEdit.text + "Cd", "7")), now);
  }
}

}  // namespace
}  // namespace brennick
