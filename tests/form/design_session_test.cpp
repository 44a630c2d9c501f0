// The design being worked on, without a window: which file the form belongs
// to and whether it holds changes not saved, through Open, edits, saves, New,
// Undo and Redo.
#include "form/design_session.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <ostream>
#include <string>
#include <vector>

#include "engine/random.h"
#include "tests/form/form_test_util.h"

namespace {

using namespace brennick;
using namespace brennick::formtest;
namespace fs = std::filesystem;

// The files of a case: "a" holds a design called Alpha, "b" one called
// Bravo. The session never reads them; Open is given the form read.
const fs::path kFolder = "/designs";

FormState Named(const std::string& name) {
  FormState form;
  form.NameEdit.text = name;
  return form;
}

FormState Read(const std::string& file) {
  return Named(file == "a" ? "Alpha" : "Bravo");
}

// Runs a session through `script`, operations separated by ", ":
//   open a, open b   Open the file, its form read
//   edit X           the user changes the name to X, one step
//   type X           the user types X into the name key by key
//   save             the form is written to its file
//   save as a        the form is written to another file
//   new, undo, redo
void Play(DesignSession& session, const std::string& script) {
  for (const std::string& op : Split(script, ", ")) {
    if (op.starts_with("open ")) {
      session.Open(Read(op.substr(5)), kFolder / (op.substr(5) + ".json"));
    } else if (op.starts_with("edit ")) {
      const FormState before = session.form();
      Change(session.model(), "NameEdit", op.substr(5));
      session.Changed(before);
    } else if (op.starts_with("type ")) {
      for (std::size_t n = 1; n <= op.size() - 5; ++n) {
        const FormState before = session.form();
        Change(session.model(), "NameEdit", session.form().NameEdit.text + op[4 + n]);
        session.Changed(before, "NameEdit");
      }
      session.EndTyping();
    } else if (op == "save") {
      session.Saved(session.file());
    } else if (op.starts_with("save as ")) {
      session.Saved(kFolder / (op.substr(8) + ".json"));
    } else if (op == "new") {
      session.New();
    } else if (op == "undo") {
      session.Undo();
    } else if (op == "redo") {
      session.Redo();
    } else {
      ADD_FAILURE() << "no operation " << op;
    }
  }
}

struct SessionCase {
  const char* script;
  const char* file;  // the file the form belongs to, "" for none
  const char* name;  // the name on the form
  bool modified;
  bool canUndo;
  bool canRedo;
};

void PrintTo(const SessionCase& c, std::ostream* os) {
  *os << c.script;
}

const SessionCase kCases[] = {
    {"open a", "a", "Alpha", false, true, false},
    {"open a, edit Alpha 2", "a", "Alpha 2", true, true, false},
    // Undo past a save: the file holds the edit, the form no longer does.
    {"open a, edit Alpha 2, save, undo", "a", "Alpha", true, true, true},
    {"open a, edit Alpha 2, save, undo, redo", "a", "Alpha 2", false, true, false},
    // Undoing an Open brings back the file before it, saved as it was.
    {"open a, open b, undo", "a", "Alpha", false, true, true},
    {"open a, open b, undo, redo", "b", "Bravo", false, true, false},
    {"open a, edit Alpha 2, open b, undo", "a", "Alpha 2", true, true, true},
    // A save while an earlier Open is undone belongs to that file.
    {"open a, open b, undo, edit Alpha 2, save", "a", "Alpha 2", false, true, false},
    // Bravo written over a.json: Alpha's form no longer matches that file.
    {"open a, open b, save as a, undo", "a", "Alpha", true, true, true},
    {"open a, open b, save as a, undo, redo", "a", "Bravo", false, true, false},
    {"open a, new", "", "", false, true, false},
    {"open a, new, undo", "a", "Alpha", false, true, true},
    {"edit Gun, new, undo", "", "Gun", true, true, true},
    // Nothing to replace: New on the start form, the same file opened again.
    {"new", "", "", false, false, false},
    {"open a, open a", "a", "Alpha", false, true, false},
    {"open a, open a, undo", "", "", false, false, true},
    // Typing is one step until the focus leaves the field.
    {"type Gun", "", "Gun", true, true, false},
    {"type Gun, undo", "", "", false, false, true},
    {"type Gun, type 2, undo", "", "Gun", true, true, true},
    // Editing back to what the file holds is no change to save.
    {"open a, edit Alpha 2, edit Alpha", "a", "Alpha", false, true, false},
    {"edit Gun, save as b, new, open a, undo, undo", "b", "Gun", false, true, true},
};

class DesignSessionCases : public ::testing::TestWithParam<SessionCase> {};

TEST_P(DesignSessionCases, TheFileAndTheChangesFollowTheSteps) {
  const SessionCase& c = GetParam();
  DesignSession session;
  Play(session, c.script);
  EXPECT_EQ(session.file(), *c.file ? kFolder / (std::string(c.file) + ".json") : fs::path());
  EXPECT_EQ(session.form().NameEdit.text, c.name);
  EXPECT_EQ(session.modified(), c.modified);
  EXPECT_EQ(session.canUndo(), c.canUndo);
  EXPECT_EQ(session.canRedo(), c.canRedo);
}

INSTANTIATE_TEST_SUITE_P(Scripts, DesignSessionCases, ::testing::ValuesIn(kCases));

TEST(DesignSession, UndoAndRedoSayWhetherThereWasAStep) {
  DesignSession session;
  EXPECT_FALSE(session.Undo());
  EXPECT_FALSE(session.Redo());
  Play(session, "edit Gun");
  EXPECT_TRUE(session.Undo());
  EXPECT_FALSE(session.Undo());
  EXPECT_TRUE(session.Redo());
  EXPECT_EQ(session.form().NameEdit.text, "Gun");
}

// The form opened is the one read, whole: no rule runs over it.
TEST(DesignSession, OpenPutsTheFormReadInPlaceAsItIs) {
  FormState read = Named("Odd");
  read.RoFEdit = {"7", true};  // the start form has RoF disabled; its rule would not
  read.MaxRoFLabel = "Max RoF: 50";
  DesignSession session;
  session.Open(read, kFolder / "odd.json");
  ExpectSameForm(session.form(), read);
  EXPECT_FALSE(session.modified());
}

// Files are remembered from the root, so that a later change of the working
// folder changes nothing; "." and ".." are resolved.
TEST(DesignSession, FilesAreKeptFromTheRoot) {
  const fs::path here = fs::current_path();
  DesignSession session;
  session.Open(Named("Alpha"), "a.json");
  EXPECT_EQ(session.file(), here / "a.json");
  session.Saved("sub/../b.json");
  EXPECT_EQ(session.file(), here / "b.json");
  EXPECT_FALSE(session.modified());
  EXPECT_EQ(DesignSession::Absolute("/x/./y/../z.json"), fs::path("/x/z.json"));
}

}  // namespace
