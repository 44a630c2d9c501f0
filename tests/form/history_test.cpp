// Undo and redo of whole forms: what makes a step, and long random runs of
// user actions undone and redone against the timeline of forms the user saw.
#include "form/history.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <random>
#include <span>
#include <vector>

#include "engine/design_error.h"
#include "form/fields.h"
#include "form/form_model.h"
#include "tests/form/form_test_util.h"

namespace {

using namespace brennick;
using namespace brennick::formtest;

// A user at the form: every action goes through the model as the window's
// events do, and reports the change to the history as the window does.
struct User {
  FormModel model;
  FormHistory history{10000};

  // Whether the form changed.
  bool Do(const std::string& name, const std::string& value, std::string_view typing = {}) {
    const FormState before = model.state();
    try {
      Change(model, name, value);
    } catch (const DesignError&) {
      // A failing rule keeps what it changed; the change is a step all the same.
    }
    history.Changed(before, model.state(), typing);
    return !(before == model.state());
  }
  // Types `text` into a text field key by key, starting from an empty field;
  // whether any key changed the form.
  bool Type(const std::string& name, const std::string& text) {
    bool changed = Do(name, "", name);
    for (std::size_t n = 1; n <= text.size(); ++n) changed |= Do(name, text.substr(0, n), name);
    return changed;
  }
  void Whole(const FormState& next) {  // New and Open: the whole form at once
    const FormState before = model.state();
    model.Restore(next);
    history.Changed(before, model.state());
  }
  void Randomize(std::uint32_t seed) {
    const FormState before = model.state();
    model.RandomButtonClick(seed);
    history.Changed(before, model.state());
  }
  bool Undo() {
    auto back = history.Undo(model.state());
    if (back) model.Restore(*back);
    return back.has_value();
  }
  bool Redo() {
    auto forward = history.Redo(model.state());
    if (forward) model.Restore(*forward);
    return forward.has_value();
  }
};

// How many undos each sequence of actions takes to reach the start form.
struct StepCase {
  const char* what;
  void (*act)(User&);
  std::size_t steps;
};

TEST(FormHistoryTest, WhatMakesOneStep) {
  const StepCase cases[] = {
      {"two clicks are two steps",
       [](User& u) {
         u.Do("ShotgunBox", "x");
         u.Do("ConfigurationBox", "2");
       },
       2},
      {"typing into one field is one step", [](User& u) { u.Type("BoreSizeEdit", "12.7"); }, 1},
      {"typing resumed after the focus left is a second step",
       [](User& u) {
         u.Type("BoreSizeEdit", "12");
         u.history.EndTyping();
         u.Do("BoreSizeEdit", "12.7", "BoreSizeEdit");
       },
       2},
      {"typing into another field is another step",
       [](User& u) {
         u.Type("BoreSizeEdit", "9");
         u.Type("NameEdit", "Carbine");
       },
       2},
      {"a click between keys ends the typing",
       [](User& u) {
         u.Type("NameEdit", "Car");
         u.Do("ShotgunBox", "x");
         u.Do("NameEdit", "Carbine", "NameEdit");
       },
       3},
      {"typing a field back to the text it had is no step",
       [](User& u) {
         u.Type("TLEdit", "9");
         u.history.EndTyping();
         u.Type("TLEdit", "95");
       },
       1},
      {"setting what a control already holds is no step",
       [](User& u) {
         u.Do("PropellantBox", "0");
         u.Do("CaselessBox", "x");
         u.Do("TLEdit", "9");
       },
       0},
      {"a click whose rule fails is still a step",
       [](User& u) {
         u.Type("TLEdit", "9a");
         u.Do("LoadingMechanismBox", "4");  // the revolver reads the TL strictly
       },
       2},
      {"Randomize, New and Open are one step each",
       [](User& u) {
         u.Randomize(7);
         u.Whole(FormState());
         u.Whole(With(FormState(), "NameEdit BoreSizeEdit", "Opened on | 7 on"));
       },
       3},
  };
  for (const StepCase& c : cases) {
    User u;
    c.act(u);
    EXPECT_EQ(u.history.undoSteps(), c.steps) << c.what;
    while (u.Undo()) {
    }
    ExpectSameForm(u.model.state(), FormState());
  }
}

TEST(FormHistoryTest, UndoRestoresTheWholeFormWithoutRunningARule) {
  User u;
  u.Do("LoadingMechanismBox", "10");  // RoF opens, the hint shows the Gatling's ceiling
  u.Type("BoreSizeEdit", "30");
  u.Type("BarrelsEdit", "6");
  EXPECT_EQ(u.model.state().MaxRoFLabel, "Max RoF: 66");  // round(334 / 30) x 6
  const std::uint64_t hintWrites = u.model.hintWrites();
  ASSERT_TRUE(u.Undo());
  // The hint is put back as it stood before the barrels were typed, not
  // worked out again; the start form's "1" barrel is back, disabled fields
  // and all.
  EXPECT_EQ(u.model.state().MaxRoFLabel, "Max RoF: 11");  // round(334 / 30) x 1
  EXPECT_EQ(u.model.state().BarrelsEdit.text, "1");
  EXPECT_EQ(u.model.hintWrites(), hintWrites);
  ASSERT_TRUE(u.Undo());
  ASSERT_TRUE(u.Undo());
  ExpectSameForm(u.model.state(), FormState());  // no rule made the start form plausible
  EXPECT_FALSE(u.Undo());
}

TEST(FormHistoryTest, ANewChangeForgetsWhatCouldBeRedone) {
  User u;
  u.Do("ShotgunBox", "x");
  u.Do("BipodBox", "x");
  ASSERT_TRUE(u.Undo());
  EXPECT_TRUE(u.history.CanRedo());
  u.Do("KYOSBox", "x");
  EXPECT_FALSE(u.history.CanRedo());
  EXPECT_FALSE(u.Redo());
  EXPECT_TRUE(u.model.state().ShotgunBox.checked);
  EXPECT_FALSE(u.model.state().BipodBox.checked);
}

TEST(FormHistoryTest, KeepsOnlyTheNewestStepsOfItsDepth) {
  User u;
  u.history = FormHistory(3);
  for (const char* tl : {"5", "6", "7", "8", "10"}) u.Do("TLEdit", tl);
  int undone = 0;
  while (u.Undo()) ++undone;
  EXPECT_EQ(undone, 3);
  EXPECT_EQ(u.model.state().TLEdit.text, "6");
}

// Random runs: the forms the user saw after each step form a timeline with
// a cursor; every undo must give the form one place back on it and every redo
// the form one place forward, compared whole. A new step cuts the timeline
// after the cursor; so does any key typed, even when the field ends as it was.
TEST(FormHistoryTest, RandomActionsUndoAndRedoToTheFormsSeenBefore) {
  const std::vector<std::string> texts = {"", "1", "3", "9", "12.7", "30", "abc", "-2", "7,62"};
  const auto fields = FormFields();
  for (std::uint32_t seed = 1; seed <= 40; ++seed) {
    std::mt19937 rng(seed);
    const auto pick = [&](std::size_t n) {
      return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng);
    };
    User u;
    std::vector<FormState> timeline = {u.model.state()};
    std::size_t cursor = 0;
    const auto stepped = [&](bool changed = true) {
      if (!changed) return;
      timeline.resize(cursor + 1);
      if (u.model.state() == timeline[cursor]) return;  // no step was made
      timeline.push_back(u.model.state());
      ++cursor;
    };
    for (int action = 0; action < 300; ++action) {
      switch (pick(8)) {
        case 0:
        case 1: {  // a click or a selection
          const FieldInfo& f = fields[pick(fields.size())];
          if (f.kind == FieldKind::Text) continue;
          const std::string value =
              f.kind == FieldKind::Check
                  ? ((u.model.state().*f.checkControl).checked ? "-" : "x")
                  : std::to_string(static_cast<int>(pick(f.items.size() + 1)) - 1);
          stepped(u.Do(f.name, value));
          break;
        }
        case 2: {  // typing into a field until the focus leaves it
          const FieldInfo& f = fields[pick(10)];
          const bool changed = u.Type(f.name, texts[pick(texts.size())]);
          u.history.EndTyping();
          stepped(changed);
          break;
        }
        case 3: {
          const FormState before = u.model.state();
          u.Randomize(static_cast<std::uint32_t>(rng()));
          stepped(!(before == u.model.state()));
          break;
        }
        case 4: {
          const FormState before = u.model.state();
          u.Whole(pick(2) ? FormState() : timeline[pick(timeline.size())]);
          stepped(!(before == u.model.state()));
          break;
        }
        case 5:
        case 6:
          ASSERT_EQ(u.Undo(), cursor > 0);
          if (cursor > 0) --cursor;
          ASSERT_TRUE(u.model.state() == timeline[cursor])
              << "seed " << seed << " action " << action;
          break;
        case 7:
          ASSERT_EQ(u.Redo(), cursor + 1 < timeline.size());
          if (cursor + 1 < timeline.size()) ++cursor;
          ASSERT_TRUE(u.model.state() == timeline[cursor])
              << "seed " << seed << " action " << action;
          break;
      }
    }
    while (u.Undo()) ExpectSameForm(u.model.state(), timeline[--cursor]);
    EXPECT_EQ(cursor, 0u);
  }
}

// ---------------------------------------------------------------------------
// The document each form belongs to

FormState Named(const std::string& name) {
  FormState s;
  s.NameEdit.text = name;
  return s;
}

// The document the present form belongs to, in one line: the file (or
// "new"), then "saved", "modified" or "overwritten" for the present form.
std::string DocumentOf(const FormHistory& history, const FormState& form) {
  const FormDocument& d = history.document();
  const std::string file = d.file.empty() ? "new" : d.file.string();
  if (!d.saved) return file + " overwritten";
  return file + (d.Modified(form) ? " modified" : " saved");
}

// Open, New, Save and edits, as the window reports them to the history, and
// the form and document after each.
TEST(FormHistoryTest, UndoAndRedoBringBackTheDocumentOfTheForm) {
  User u;
  const auto replace = [&u](const std::string& file) {
    const FormState before = u.model.state();
    u.model.Restore(file.empty() ? FormState() : Named(file));
    u.history.Replaced(before, u.model.state(),
                       file.empty() ? FormDocument{} : FormDocument{file, Named(file)});
  };
  const struct {
    const char* action;  // "open A", "new", "save A", "edit B2", "undo", "redo"
    const char* name;
    const char* document;
  } steps[] = {
      {"open A", "A", "A saved"},  {"open B", "B", "B saved"},
      {"undo", "A", "A saved"},  // Save now writes A's form into A
      {"redo", "B", "B saved"},    {"edit B2", "B2", "B modified"},
      {"new", "", "new saved"},    {"undo", "B2", "B modified"},
      {"save B", "B2", "B saved"},  // for every step of B's document
      {"undo", "B", "B modified"}, {"redo", "B2", "B saved"},
      {"save C", "B2", "C saved"},  // Save As: the document follows its file
      {"undo", "B", "C modified"}, {"undo", "A", "A saved"},
      {"undo", "", "new saved"},   {"redo", "A", "A saved"},
      {"redo", "B", "C modified"}, {"redo", "B2", "C saved"},
      {"redo", "", "new saved"},
  };
  for (const auto& step : steps) {
    const std::string action = step.action;
    if (action == "undo" || action == "redo") {
      ASSERT_TRUE(action == "undo" ? u.Undo() : u.Redo()) << action;
    }
    if (action == "new") replace("");
    if (action.starts_with("open ")) replace(action.substr(5));
    if (action.starts_with("save ")) u.history.Saved(action.substr(5), u.model.state());
    if (action.starts_with("edit ")) u.Do("NameEdit", action.substr(5));
    EXPECT_EQ(u.model.state().NameEdit.text, step.name) << action;
    EXPECT_EQ(DocumentOf(u.history, u.model.state()), step.document) << action;
  }
  EXPECT_FALSE(u.Redo());
}

// New or Open that changes neither the form nor its document is no step;
// one that changes only the document is.
TEST(FormHistoryTest, ReplacingIsAStepWhenTheFormOrItsDocumentChanges) {
  const struct {
    const char* what;
    FormState after;
    FormDocument document;
    std::size_t steps;
  } cases[] = {
      {"New on the start form", FormState(), FormDocument{}, 0},
      {"opening a file that holds the start form", FormState(), FormDocument{"A", FormState()}, 1},
      {"opening another form", Named("A"), FormDocument{"A", Named("A")}, 1},
  };
  for (const auto& c : cases) {
    User u;
    u.history.Replaced(u.model.state(), c.after, c.document);
    EXPECT_EQ(u.history.undoSteps(), c.steps) << c.what;
  }
}

// ---------------------------------------------------------------------------
// Memory

// Steps whose name takes 100,000 bytes, under a limit of 1 MiB: a step takes
// the name and the form itself (well under 4 KiB), so ten fit
// (10 x 104,000 < 1,048,576) and eleven never do (11 x 100,000 > 1,048,576).
TEST(FormHistoryTest, KeepsItsStepsWithinItsMemoryNewestFirst) {
  FormHistory history(500, std::size_t{1} << 20);
  FormState form;
  for (int i = 0; i < 60; ++i) {
    FormState next;
    next.NameEdit.text = std::string(100000, static_cast<char>('A' + i % 26));
    next.TLEdit.text = std::to_string(i);
    history.Changed(form, next);
    form = next;
    ASSERT_LE(history.memory(), std::size_t{1} << 20) << i;
  }
  ASSERT_EQ(history.undoSteps(), 10u);
  // The ten newest: the forms before changes 50 to 59, the form of change 49
  // first.
  for (int i = 58; i >= 49; --i) {
    const auto back = history.Undo(form);
    ASSERT_TRUE(back.has_value()) << i;
    EXPECT_EQ(back->TLEdit.text, std::to_string(i));
    form = *back;
    EXPECT_LE(history.memory(), std::size_t{1} << 20);
  }
  EXPECT_FALSE(history.Undo(form));
  // Forgetting every step frees what they held.
  history.Clear();
  EXPECT_EQ(history.memory(), 0u);
}

// The steps of one document share it: a document whose form holds 600,000
// bytes counts once, however many steps belong to it.
TEST(FormHistoryTest, StepsShareTheirDocument) {
  constexpr std::size_t kLimit = std::size_t{2} << 20;
  FormHistory history(500, kLimit);
  const FormState big = Named(std::string(600000, 'x'));
  history.Replaced(FormState(), big, FormDocument{"big.json", big});
  FormState form = big;
  for (int i = 0; i < 100; ++i) {
    FormState next = Named(std::to_string(i));
    history.Changed(form, next);
    form = next;
  }
  // The opening step, the step that holds the big form, 99 small steps of a
  // few KiB at most, and the document with its 600,000 bytes once: 1.2 MB
  // and some, where counting the document per step would pass the 2 MiB
  // with the fourth step.
  EXPECT_EQ(history.undoSteps(), 101u);
  EXPECT_GT(history.memory(), 1200000u);
  EXPECT_LT(history.memory(), kLimit);
}

}  // namespace
