// The design run: form values in, statblock lines out.
//
// Everything here is plain C++ with no toolkit dependency, so the window, the
// command-line designer, the tests and the fuzzers all share one calculation.
#pragma once

#include <cmath>
#include <compare>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

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

// ---------------------------------------------------------------------------
// One field per control of the design form that the run reads, named after
// the control. Text fields keep the text exactly as typed; option groups hold
// the 0-based index of the selected item (-1 for none); check boxes are bools.
// The initialisers are the form's start values, so a default-constructed
// DesignInput is the form as the window opens.
struct DesignInput {
  // Text fields.
  std::string NameEdit;
  std::string TLEdit = "9";
  std::string BoreSizeEdit;
  std::string PowerModEdit = "1";
  std::string BarrelsEdit = "1";
  std::string ChambersEdit = "1";
  std::string RoFEdit = "1";
  std::string ShotsEdit = "1";
  std::string ArbWeight = "0";
  std::string ArbCF = "0";

  // Option groups.
  int ConfigurationBox = -1;
  int BarrelBox = -1;
  int LoadingMechanismBox = -1;
  int PropellantBox = 0;
  int PLBBox = 0;
  int GaussHCCBBox = 0;
  int MuzzleBox = 0;
  int CamouflageBox = 0;
  int StylingBox = 0;
  int QualityAccurate = 0;
  int QualityReliable = 0;
  int TargetingSoftware = 0;

  // Check boxes.
  bool RecoillessCheckBox = false;
  bool ColdCountermassBox = false;
  bool ShotgunBox = false;
  bool ExtraLowBox = false;
  bool BipodBox = false;
  bool ElectricBox = false;
  bool ClosedBoltBox = false;
  bool CaselessBox = true;
  bool HouseETCBox = false;
  bool HouseGauss = false;
  bool HouseDRBox = false;
  bool KYOSBox = false;
  bool PaperBox = false;
  bool HUDLinkBox = true;
  bool DataChip = false;
  bool GreenEyes = false;
  bool HUDCable = true;
  bool MicroRadio = false;
  bool SecureEncryption = false;
  bool TinyComputer = false;
  bool MultispectralLaserSightBox = true;
  bool CTSBox = false;
  bool ETSBox = false;
  bool TransponderRingBox = false;
  bool RecognitionGripBox = true;
  bool RGPalm = true;
  bool RGVoice = false;
  bool RGGlove = false;
  bool RGGPS = false;
  bool RGIFF = false;
  bool SDATBox = false;
  bool DiagnosticComputerBox = true;
  bool AntiTamper = false;
  bool DTagBox = false;
  bool IFFBox = false;
  bool IronSightsBox = true;
  bool AccRailU = false;
  bool AccRailO = false;
  bool AccRailS = false;
  bool AccRailT = false;
  bool GravCompBox = false;
  bool SmartgripBox = false;
  bool MuzzleWeightBox = false;
  bool SpaceProof = false;
  bool FoldingStockBox = false;
  bool DisguisedBox = false;
  bool RuggedBox = false;

  bool operator==(const DesignInput&) const = default;
};

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
  // Filled only when derivations are asked for (see RunDesign): one per line,
  // in order, and one more for the failing read when the run stopped.
  std::vector<Derivation> explain;
};

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

// ---------------------------------------------------------------------------
// Reading text fields. `dec` is the system's decimal separator.

// The usual texts, a few digits with perhaps a separator and a fraction, are
// read where they are asked for; the readers below take every other text.
namespace detail {
std::optional<double> TryParseFloatGeneral(std::string_view text, char dec);
std::optional<std::int32_t> TryParseIntGeneral(std::string_view text);
[[noreturn]] void ThrowInvalidFloatText(std::string_view text);
[[noreturn]] void ThrowInvalidIntegerText(std::string_view text);
// Powers of ten that are exact doubles.
inline constexpr double kExactPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                         1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                         1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
}  // namespace detail

// Strict decimal number: spaces, sign, digits with an optional separator and
// fraction, an optional exponent, trailing spaces. Anything else is nothing.
inline std::optional<double> TryParseFloat(std::string_view text, char dec) {
  // At most fifteen digits and a separator: the digits as a whole number
  // divided by an exact power of ten is one correctly rounded operation, the
  // same double the general reading gives.
  const std::size_t n = text.size();
  if (n != 0 && n <= 16) {
    std::uint64_t digits = 0;
    std::size_t point = n;  // where the separator is, n for none
    std::size_t i = 0;
    for (; i < n; ++i) {
      const char c = text[i];
      if (c >= '0' && c <= '9') {
        digits = digits * 10 + static_cast<unsigned>(c - '0');
      } else if (c == dec && point == n) {
        point = i;
      } else {
        break;
      }
    }
    if (i == n && (point == n ? n <= 15 : n >= 2)) {
      const double whole = static_cast<double>(digits);
      return point >= n - 1 ? whole : whole / detail::kExactPow10[n - 1 - point];
    }
  }
  return detail::TryParseFloatGeneral(text, dec);
}
// As TryParseFloat, but anything else throws the floating point message.
inline double ParseFloatStrict(std::string_view text, char dec) {
  if (const std::optional<double> v = TryParseFloat(text, dec)) return *v;
  detail::ThrowInvalidFloatText(text);
}
inline double FloatOr(std::string_view text, char dec, double fallback) {
  return TryParseFloat(text, dec).value_or(fallback);
}

// Strict integer: leading spaces, sign, decimal digits or hex introduced by
// $, x, X, 0x or 0X; nothing may follow; must fit 32 bits. Anything else is
// nothing.
inline std::optional<std::int32_t> TryParseInt(std::string_view text) {
  // One to nine decimal digits always fit.
  const std::size_t n = text.size();
  if (n != 0 && n <= 9) {
    std::int32_t value = 0;
    std::size_t i = 0;
    for (; i < n && text[i] >= '0' && text[i] <= '9'; ++i) value = value * 10 + (text[i] - '0');
    if (i == n) return value;
  }
  return detail::TryParseIntGeneral(text);
}
// As TryParseInt, but anything else throws the integer message.
inline std::int32_t ParseIntStrict(std::string_view text) {
  if (const std::optional<std::int32_t> v = TryParseInt(text)) return *v;
  detail::ThrowInvalidIntegerText(text);
}
inline std::int32_t IntOr(std::string_view text, std::int32_t fallback) {
  return TryParseInt(text).value_or(fallback);
}

// ---------------------------------------------------------------------------
// Number texts.

std::string IntText(std::int64_t value);
// At most 15 significant digits, no trailing zeros, scientific form below
// 0.0001 and from 10^15.
std::string GeneralNumberText(long double value, char dec);
// Damage in dice as the game writes it: 1d-5 ... 1d, 3d+1, 7d-1, ...
std::string DiceText(double dice);

// ---------------------------------------------------------------------------
// Rounding and arithmetic.

// Extended precision: the products and sums of a run are formed in this type
// and stored into double quantities.
using ext = long double;

namespace detail {
[[noreturn]] void ThrowArithmetic(const char* message);
inline bool FitsInt64(long double x) {  // false for NaN
  // One comparison in the usual case; -2^63 is the one value it leaves over.
  return std::fabs(x) < 9223372036854775808.0L || x == -9223372036854775808.0L;
}
}  // namespace detail

// Nearest integer, ties to even; |x| beyond 64 bits (or NaN) throws the
// "Invalid floating point operation" message.
inline std::int64_t RoundHalfEven(long double x) {
  if (!detail::FitsInt64(x)) detail::ThrowArithmetic(kInvalidFloatOp);
  // The default rounding mode: nearest, ties to even. Every extended value
  // below 2^63 rounds to at most 2^63 - 1, so the result always fits.
  return std::llrint(x);
}

// ---------------------------------------------------------------------------
// The run.

// Runs the whole design. Never throws: a failure ends the run and is returned
// as the message, with the lines appended before it.
DesignResult RunDesign(const DesignInput& input, char decimalSeparator = '.');
// The same run, with each line's derivation in `explain` when asked for.
DesignResult RunDesign(const DesignInput& input, char decimalSeparator, Explain explain);

}  // namespace brennick
