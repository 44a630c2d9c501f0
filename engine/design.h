// The design run: form values in, statblock lines out.
//
// Everything here is plain C++ with no toolkit dependency, so the window, the
// command-line designer, the tests and the fuzzers all share one calculation.
#pragma once

#include <compare>  // IWYU pragma: keep (the ordering type of <=> below)
#include <cstddef>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Passed on: the window and the other callers that report a failed run catch
// its DesignError through this header.
#include "engine/design_error.h"  // IWYU pragma: export
#include "engine/field_list.h"

namespace brennick {

// ---------------------------------------------------------------------------
// Item indices of the option groups. -1 always means "nothing selected".

enum Configuration : int { kPistol = 0, kSMG = 1, kRifle = 2, kSupport = 3, kCannon = 4 };
enum BarrelLength : int { kShort = 0, kMedium = 1, kLong = 2 };
enum LoadingMechanism : int {
  kMuzzleloader = 0,
  kMuzzleloaderCarriage = 1,
  kBreechloader = 2,
  kManualRepeater = 3,
  kRevolver = 4,
  kMechanicalGatling = 5,
  kSlowAutoloader = 6,
  kFastAutoloader = 7,
  kLightAutomatic = 8,
  kHeavyAutomatic = 9,
  kElectricGatling = 10,
};
enum Propellant : int { kStandard = 0, kLiquid = 1, kETC = 2, kETK = 3, kGauss = 4, kGrav = 5 };
enum CaselessMods : int { kPLBNone = 0, kHighCyclic = 1, kPreloaded = 2 };
enum MuzzleAttachment : int {
  kMuzzleNone = 0,
  kCompensator = 1,
  kFlashHider = 2,
  kMuzzlePort = 3,
  kZeroGCompensator = 4
};
enum Quality : int { kNormal = 0, kFine = 1, kVeryFine = 2, kCheap = 3 };

// Each group's items in the field list, one for every value above.
static_assert(std::size(kConfigurationItems) == kCannon + 1);
static_assert(std::size(kBarrelItems) == kLong + 1);
static_assert(std::size(kMechanismItems) == kElectricGatling + 1);
static_assert(std::size(kPropellantItems) == kGrav + 1);
static_assert(std::size(kPLBItems) == kPreloaded + 1);
static_assert(std::size(kMuzzleItems) == kZeroGCompensator + 1);
static_assert(std::size(kQualityAccurateItems) == kCheap + 1);
static_assert(std::size(kQualityReliableItems) == kCheap + 1);

// ---------------------------------------------------------------------------
// One field per control of the design form that the run reads, named after
// the control and made from the field list (field_list.h). Text fields keep
// the text exactly as typed; option groups hold the 0-based index of the
// selected item (-1 for none); check boxes are bools. The initialisers are the
// form's start values, so a default-constructed DesignInput is the form as the
// window opens.
struct DesignInput {
#define BRENNICK_TEXT_MEMBER(C, name, label, caption, start, ...) std::string name = start;
#define BRENNICK_GROUP_MEMBER(C, name, caption, items, start, ...) int name = start;
#define BRENNICK_CHECK_MEMBER(C, name, caption, start, ...) bool name = start;
  BRENNICK_TEXT_FIELDS(BRENNICK_TEXT_MEMBER, )
  BRENNICK_GROUP_FIELDS(BRENNICK_GROUP_MEMBER, )
  BRENNICK_CHECK_FIELDS(BRENNICK_CHECK_MEMBER, )
#undef BRENNICK_TEXT_MEMBER
#undef BRENNICK_GROUP_MEMBER
#undef BRENNICK_CHECK_MEMBER

  bool operator==(const DesignInput&) const = default;
};

// A text field the run reads strictly: a text that is not a number of the
// field's kind stops the run with the message that quotes it.
struct StrictField {
  std::string DesignInput::*text;
  const char* caption;  // the field's caption, by which a failing read names it
  bool wholeNumber;     // only a whole number will do, else any number
};

// Every strict field, in the order of the field list.
#define BRENNICK_STRICT_Lenient(name, caption)
#define BRENNICK_STRICT_AnyNumber(name, caption) {&DesignInput::name, caption, false},
#define BRENNICK_STRICT_WholeNumber(name, caption) {&DesignInput::name, caption, true},
#define BRENNICK_STRICT_ROW(C, name, label, caption, start, state, read, rule) \
  BRENNICK_STRICT_##read(name, caption)
inline constexpr StrictField kStrictFields[] = {BRENNICK_TEXT_FIELDS(BRENNICK_STRICT_ROW, )};
#undef BRENNICK_STRICT_ROW
#undef BRENNICK_STRICT_Lenient
#undef BRENNICK_STRICT_AnyNumber
#undef BRENNICK_STRICT_WholeNumber

// The strict field whose text is `text`, or null for a field read leniently.
constexpr const StrictField* FindStrictField(std::string DesignInput::*text) {
  for (const StrictField& field : kStrictFields) {
    if (field.text == text) return &field;
  }
  return nullptr;
}
// How the run reads a field strictly, for the checks made while compiling
// (a pointer into the table is no constant where the sanitizers instrument
// the comparison): 1 any number, 2 a whole number, 0 not strictly.
constexpr int StrictReadKind(std::string DesignInput::*text) {
  for (const StrictField& field : kStrictFields) {
    if (field.text == text) return field.wholeNumber ? 2 : 1;
  }
  return 0;
}

struct DesignRun;

// The statblock: the lines of one run, in order, only ever appended to.
//
// All lines live in one text, each followed by a newline, and the end of each
// line is noted beside it, both in one block of memory, so a run allocates
// once rather than once per line; a line itself may hold any byte, a newline
// included. Lines are read as string views, valid until the statblock changes.
class Statblock {
 public:
  class const_iterator;
  using iterator = const_iterator;
  using value_type = std::string_view;
  using size_type = std::size_t;

  Statblock() = default;
  Statblock(std::initializer_list<std::string_view> lines);
  Statblock(const Statblock& other);
  Statblock(Statblock&& other) noexcept { Take(other); }
  Statblock& operator=(const Statblock& other);
  Statblock& operator=(Statblock&& other) noexcept {
    if (this != &other) Take(other);
    return *this;
  }
  ~Statblock();

  size_type size() const { return lines_; }
  bool empty() const { return lines_ == 0; }
  std::string_view operator[](size_type i) const {
    const size_type begin = i == 0 ? 0 : ends_[i - 1] + 1;
    return {text_ + begin, ends_[i] - begin};
  }
  // As [], but an index beyond the last line throws std::out_of_range.
  std::string_view at(size_type i) const;
  std::string_view front() const { return (*this)[0]; }
  std::string_view back() const { return (*this)[lines_ - 1]; }
  const_iterator begin() const;
  const_iterator end() const;

  // Every line followed by a newline, as one text.
  std::string_view Text() const { return {text_, size_}; }
  // Where in Text() each line's own newline stands, line by line: a line may
  // hold newlines of its own, so these tell where the lines end.
  std::span<const size_type> Ends() const { return {ends_, lines_}; }

  void push_back(std::string_view line);
  // Makes room for `lines` lines of `bytes` bytes in all (newlines included).
  void reserve(size_type lines, size_type bytes);

  friend bool operator==(const Statblock& a, const Statblock& b);
  // The same lines, in the same order.
  friend bool operator==(const Statblock& a, const std::vector<std::string>& b);

 private:
  friend struct DesignRun;  // writes its lines in place

  // Room for one more line of up to `bytes` bytes, at the end of the text.
  char* LineRoom(size_type bytes) {
    if (lines_ == lineCapacity_ || textCapacity_ - size_ <= bytes) {
      Reallocate(lines_ + 1, size_ + bytes + 1);
    }
    return text_ + size_;
  }
  // Ends the line written into LineRoom's room at `end`.
  void EndLine(const char* end) {
    const auto at = static_cast<size_type>(end - text_);
    ends_[lines_++] = at;
    text_[at] = '\n';
    size_ = at + 1;
  }
  // A block for at least `lines` line ends and `bytes` bytes, growing
  // geometrically, with the current contents copied over.
  void Reallocate(size_type lines, size_type bytes);
  void Take(Statblock& other) noexcept;

  std::unique_ptr<std::byte[]> block_;  // the line ends, then the text
  size_type* ends_ = nullptr;           // where each line ends in the text (at its newline)
  char* text_ = nullptr;
  size_type lines_ = 0;
  size_type lineCapacity_ = 0;
  size_type size_ = 0;
  size_type textCapacity_ = 0;
};

class Statblock::const_iterator {
 public:
  using iterator_category = std::random_access_iterator_tag;
  using value_type = std::string_view;
  using difference_type = std::ptrdiff_t;
  using pointer = void;
  using reference = std::string_view;

  const_iterator() = default;
  const_iterator(const Statblock* s, size_type i) : s_(s), i_(static_cast<difference_type>(i)) {}

  std::string_view operator*() const { return (*s_)[static_cast<size_type>(i_)]; }
  std::string_view operator[](difference_type n) const { return *(*this + n); }
  const_iterator& operator++() { return ++i_, *this; }
  const_iterator operator++(int) { return {s_, static_cast<size_type>(i_++)}; }
  const_iterator& operator--() { return --i_, *this; }
  const_iterator operator--(int) { return {s_, static_cast<size_type>(i_--)}; }
  const_iterator& operator+=(difference_type n) { return i_ += n, *this; }
  const_iterator& operator-=(difference_type n) { return i_ -= n, *this; }
  friend const_iterator operator+(const_iterator it, difference_type n) { return it += n; }
  friend const_iterator operator+(difference_type n, const_iterator it) { return it += n; }
  friend const_iterator operator-(const_iterator it, difference_type n) { return it -= n; }
  friend difference_type operator-(const const_iterator& a, const const_iterator& b) {
    return a.i_ - b.i_;
  }
  friend bool operator==(const const_iterator& a, const const_iterator& b) { return a.i_ == b.i_; }
  friend auto operator<=>(const const_iterator& a, const const_iterator& b) {
    return a.i_ <=> b.i_;
  }

 private:
  const Statblock* s_ = nullptr;
  difference_type i_ = 0;
};

inline Statblock::const_iterator Statblock::begin() const {
  return {this, 0};
}
inline Statblock::const_iterator Statblock::end() const {
  return {this, size()};
}

// How one statblock line (or the failing read) came about, in the game's
// words: the inputs read, the table rows chosen, each factor, the unrounded
// result and the rounding applied, one step per text. The last step of a
// line's derivation is "= " and the line's figures exactly as printed: the
// line after its label ("= 3d+1 pi+" for "Damage: 3d+1 pi+"), the whole line
// for a line of text; nothing before them in the line has a digit. The last
// step of the failing read's is "The run stops: " and the failure message.
using Derivation = std::vector<std::string>;

// Whether a run also gives each line's derivation.
enum class Explain { No, Yes };

// The outcome of one run: every line appended, and the failure message when
// the run stopped early (the lines before the failure are kept).
struct DesignResult {
  Statblock lines;
  std::optional<std::string> error;
  // Where the run stopped (both null when it went through): the rule it was
  // working out ("damage", "range", ...; the bore and the power modifier are
  // read for the damage), and the text field whose strict read stopped it
  // (one of kStrictFields; null when its arithmetic did).
  const char* failedRule = nullptr;
  std::string DesignInput::*failedField = nullptr;
  // Filled only when derivations are asked for (see RunDesign): one per line,
  // in order, and one more for the failing read when the run stopped.
  std::vector<Derivation> explain;
};

// ---------------------------------------------------------------------------
// The run.

// Runs the whole design. Never throws: a failure ends the run and is returned
// as the message, with the lines appended before it.
DesignResult RunDesign(const DesignInput& input, char decimalSeparator = '.');
// The same run, with each line's derivation in `explain` when asked for.
DesignResult RunDesign(const DesignInput& input, char decimalSeparator, Explain explain);

}  // namespace brennick
