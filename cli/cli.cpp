#include "cli.h"

#include <fcntl.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <array>
#include <cerrno>
#include <clocale>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <utility>
#include <vector>

#include "fields.h"

#ifndef BRENNICK_VERSION
#define BRENNICK_VERSION "unknown"
#endif

namespace brennick::cli {
namespace {

constexpr std::size_t kReadChunk = 64 * 1024;
constexpr std::size_t kOutputChunk = 64 * 1024;

bool IsJsonSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}
// Bytes that end a stretch of a scan: inside a string, between the tokens of
// an object or array, after a bare literal, and a run of plain ASCII text.
constexpr unsigned char kStringStop = 1;
constexpr unsigned char kContainerStop = 2;
constexpr unsigned char kBareStop = 4;
constexpr unsigned char kStringRunStop = 8;  // ends a run of plain ASCII in a string
constexpr std::array<unsigned char, 256> kStopTable = [] {
  std::array<unsigned char, 256> t{};
  t['"'] = kStringStop | kContainerStop | kBareStop;
  t['\\'] = kStringStop;
  for (unsigned char c : {'{', '}', '[', ']'}) t[c] = kContainerStop | kBareStop;
  for (unsigned char c : {',', ':', ' ', '\t', '\n', '\r'}) t[c] = kBareStop;
  for (std::size_t c = 0; c < 256; ++c) {
    if (c < 0x20 || c >= 0x80 || c == '"' || c == '\\') t[c] |= kStringRunStop;
  }
  return t;
}();
bool Stops(char c, unsigned char what) {
  return (kStopTable[static_cast<unsigned char>(c)] & what) != 0;
}

bool IsContinuationByte(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Characters (not bytes) in a piece of UTF-8 text, for column numbers.
std::size_t CountChars(const char* p, const char* e) {
  return static_cast<std::size_t>(
      std::count_if(p, e, [](char c) { return !IsContinuationByte(c); }));
}

// Length of the valid UTF-8 sequence at p (p < e), or 0 when it is not valid.
std::size_t Utf8SequenceLength(const unsigned char* p, const unsigned char* e) {
  const unsigned char c = p[0];
  std::size_t n;
  std::uint32_t min;
  std::uint32_t cp;
  if (c < 0x80) return 1;
  if (c >= 0xC2 && c <= 0xDF) {
    n = 2, min = 0x80, cp = c & 0x1F;
  } else if (c >= 0xE0 && c <= 0xEF) {
    n = 3, min = 0x800, cp = c & 0x0F;
  } else if (c >= 0xF0 && c <= 0xF4) {
    n = 4, min = 0x10000, cp = c & 0x07;
  } else {
    return 0;
  }
  if (static_cast<std::size_t>(e - p) < n) return 0;
  for (std::size_t i = 1; i < n; ++i) {
    if ((p[i] & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (p[i] & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return n;
}

// ---------------------------------------------------------------------------
// Splitting the input into top-level JSON values.
//
// The input is read in large chunks; each top-level value is delimited by a
// light scan (brackets, strings and escapes) and then handed whole to the JSON
// parser. The scan never judges the syntax: a broken value is passed on as it
// is, and the parser reports the fault at its exact place.

class ValueSplitter {
 public:
  explicit ValueSplitter(const ReadFn& read) : read_(read) {}

  // The next top-level value; false at the end of the input. The view stays
  // valid until the next call.
  bool Next(std::string_view& value) {
    if (!SkipSpace()) return false;
    valueLine_ = line_;
    valueLineStart_ = lineStart_;
    const std::size_t length = ScanValue();
    value = std::string_view(buf_.data() + pos_, length);
    CountLines(value);
    pos_ += length;
    return true;
  }

  // The 1-based line and column (in characters) of byte `offset` of the value
  // last returned; `offset` may be its length (the end of the input).
  std::pair<std::size_t, std::size_t> PositionIn(std::string_view value, std::size_t offset) const {
    offset = std::min(offset, value.size());
    const char* const at = value.data() + offset;
    std::size_t line = valueLine_;
    const char* lineBegin = nullptr;
    for (const char* p = value.data(); p < at; ++p) {
      if (*p == '\n') {
        ++line;
        lineBegin = p + 1;
      }
    }
    std::size_t chars = 0;
    if (lineBegin == nullptr) {
      // The line began before the value, perhaps in input already let go.
      const char* const data = buf_.data();
      if (valueLineStart_ >= base_) {
        lineBegin = data + (valueLineStart_ - base_);
      } else {
        lineBegin = data;
        chars = carry_;
      }
    }
    chars += CountChars(lineBegin, at);
    return {line, chars + 1};
  }

 private:
  // Reads more input behind the unconsumed bytes; false at the end.
  bool Fill() {
    if (eof_) return false;
    if (pos_ > 0) {
      // Keep the number of characters of the current line that are let go,
      // for the column of a fault further along it.
      const std::size_t newBase = base_ + pos_;
      if (lineStart_ < newBase) {
        const char* const data = buf_.data();
        if (lineStart_ < base_) {
          carry_ += CountChars(data, data + pos_);
        } else {
          carry_ = CountChars(data + (lineStart_ - base_), data + pos_);
        }
      }
      buf_.erase(0, pos_);
      base_ = newBase;
      pos_ = 0;
    }
    const std::size_t old = buf_.size();
    buf_.resize(old + kReadChunk);
    const std::size_t n = read_(buf_.data() + old, kReadChunk);
    buf_.resize(old + n);
    if (n == 0) eof_ = true;
    return n > 0;
  }

  bool SkipSpace() {
    for (;;) {
      if (!bomChecked_) {
        while (buf_.size() - pos_ < 3 && Fill()) {
        }
        if (buf_.compare(pos_, 3, "\xEF\xBB\xBF") == 0) {  // a UTF-8 byte-order mark
          pos_ += 3;
          lineStart_ = base_ + pos_;
        }
        bomChecked_ = true;
      }
      while (pos_ < buf_.size() && IsJsonSpace(buf_[pos_])) {
        if (buf_[pos_] == '\n') {
          ++line_;
          lineStart_ = base_ + pos_ + 1;
        }
        ++pos_;
      }
      if (pos_ < buf_.size()) return true;
      if (!Fill()) return false;
    }
  }

  // The length of the value that starts at pos_, reading more input as needed.
  // At the end of the input the value is whatever is left.
  std::size_t ScanValue() {
    const char first = buf_[pos_];
    if (first == '}' || first == ']' || first == ',' || first == ':') return 1;
    enum class Kind { Container, String, Bare };
    const Kind kind = first == '{' || first == '[' ? Kind::Container
                      : first == '"'               ? Kind::String
                                                   : Kind::Bare;
    int depth = 1;
    bool inString = kind == Kind::String;
    bool escaped = false;
    std::size_t k = 1;
    for (;;) {
      const char* const base = buf_.data() + pos_;
      const char* const end = buf_.data() + buf_.size();
      const char* p = base + k;
      if (kind == Kind::Bare) {
        while (p < end && !Stops(*p, kBareStop)) ++p;
        if (p < end) return static_cast<std::size_t>(p - base);
      }
      while (kind != Kind::Bare && p < end) {
        if (escaped) {
          escaped = false;
          ++p;
        } else if (inString) {
          while (p < end && !Stops(*p, kStringStop)) ++p;
          if (p == end) break;
          if (*p++ == '\\') {
            escaped = true;
          } else {
            inString = false;
            if (kind == Kind::String) return static_cast<std::size_t>(p - base);
          }
        } else {
          while (p < end && !Stops(*p, kContainerStop)) ++p;
          if (p == end) break;
          const char c = *p++;
          if (c == '"') {
            inString = true;
          } else if (c == '{' || c == '[') {
            ++depth;
          } else if (--depth == 0) {
            return static_cast<std::size_t>(p - base);
          }
        }
      }
      k = static_cast<std::size_t>(p - base);
      if (!Fill()) return k;
    }
  }

  // Keeps the line count up to date over a value about to be consumed.
  void CountLines(std::string_view value) {
    const char* p = value.data();
    const char* const end = p + value.size();
    while (p < end) {
      p = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
      if (p == nullptr) break;
      ++p;
      ++line_;
      lineStart_ = base_ + static_cast<std::size_t>(p - buf_.data());
    }
  }

  const ReadFn& read_;
  std::string buf_;
  std::size_t base_ = 0;  // offset in the whole input of buf_[0]
  std::size_t pos_ = 0;   // first byte of buf_ not yet consumed
  bool eof_ = false;
  bool bomChecked_ = false;
  std::size_t line_ = 1;
  std::size_t lineStart_ = 0;  // offset in the whole input where line_ begins
  std::size_t carry_ = 0;      // characters of that line before base_, when it began earlier
  std::size_t valueLine_ = 1;
  std::size_t valueLineStart_ = 0;
};

// ---------------------------------------------------------------------------
// Mapping JSON values to the fields of a design.

// The field named `key`, or null. Designs in bulk name dozens of keys each, so
// the names are indexed once in a small open-addressed table keyed on their
// length and a few of their letters.
const FieldInfo* LookUpField(std::string_view key) {
  constexpr std::size_t kSlots = 256;  // a power of two, well above the field count
  auto hash = [](std::string_view name) {
    const auto at = [&](std::size_t i) { return static_cast<unsigned char>(name[i]); };
    const std::size_t n = name.size();
    return (n * 131 + at(0) * 31 + at(n / 2) * 7 + at(n - 1)) & (kSlots - 1);
  };
  struct Slot {
    std::string_view name;
    const FieldInfo* field = nullptr;
  };
  static const auto* const table = [&] {
    auto* t = new std::array<Slot, kSlots>{};
    for (const FieldInfo& f : DesignFields()) {
      std::size_t i = hash(f.name);
      while ((*t)[i].field != nullptr) i = (i + 1) & (kSlots - 1);
      (*t)[i] = Slot{f.name, &f};
    }
    return t;
  }();
  if (key.empty()) return nullptr;
  for (std::size_t i = hash(key); (*table)[i].field != nullptr; i = (i + 1) & (kSlots - 1)) {
    if ((*table)[i].name == key) return (*table)[i].field;
  }
  return nullptr;
}

std::string DesignPrefix(std::size_t position) {
  return "design " + std::to_string(position);
}

std::string KeyPrefix(std::size_t position, const FieldInfo& field) {
  return DesignPrefix(position) + ", key \"" + field.name + "\": ";
}

std::string ItemRange(const FieldInfo& field) {
  return "-1.." + std::to_string(static_cast<long long>(field.items.size()) - 1);
}

// What a JSON value was, for messages: "got a number".
enum class JsonKind { Null, Boolean, Integer, Float, String, Object, Array };

const char* KindName(JsonKind kind) {
  switch (kind) {
    case JsonKind::Null:
      return "null";
    case JsonKind::Boolean:
      return "a boolean";
    case JsonKind::Integer:
    case JsonKind::Float:
      return "a number";
    case JsonKind::String:
      return "a string";
    case JsonKind::Object:
      return "an object";
    case JsonKind::Array:
      return "an array";
  }
  return "a value";
}

// A fault in the JSON text: the byte of the value where it shows, and what
// is wrong there.
struct SyntaxError {
  std::size_t offset;
  std::string what;
};

// Reads one complete top-level value and hands on its designs, each as soon as
// its closing brace is read, so a large array streams. The grammar is strict
// JSON; a design with an input error is still read to its end, so positions
// stay right and a syntax fault further on is still found, but its remaining
// keys are not looked at.
class DesignParser {
 public:
  explicit DesignParser(const DesignFn& onDesign) : onDesign_(onDesign) {
    seen_.resize(DesignFields().size());
  }

  // Throws SyntaxError.
  void Parse(std::string_view value) {
    begin_ = p_ = value.data();
    end_ = begin_ + value.size();
    SkipSpace();
    if (Peek() == '[') {
      ++p_;
      SkipSpace();
      if (Peek() == ']') {
        ++p_;
      } else {
        for (;;) {
          DesignSlot(false);
          SkipSpace();
          if (Peek() == ',') {
            ++p_;
            SkipSpace();
          } else if (Peek() == ']') {
            ++p_;
            break;
          } else {
            Fail("',' or ']'");
          }
        }
      }
    } else {
      DesignSlot(true);
    }
    SkipSpace();
    if (p_ != end_) Fail("white space after a value");
  }

 private:
  char Peek() const { return p_ < end_ ? *p_ : '\0'; }

  void SkipSpace() {
    while (p_ < end_ && IsJsonSpace(*p_)) ++p_;
  }

  // What stands at `at`, for messages.
  std::string Describe(const char* at) const {
    if (at >= end_) return "end of input";
    const auto c = static_cast<unsigned char>(*at);
    char buf[16];
    if (c > 0x20 && c < 0x7F) {
      std::snprintf(buf, sizeof buf, "'%c'", c);
    } else if (c < 0x80) {
      std::snprintf(buf, sizeof buf, "U+%04X", c);
    } else if (const std::size_t n =
                   Utf8SequenceLength(reinterpret_cast<const unsigned char*>(at),
                                      reinterpret_cast<const unsigned char*>(end_));
               n > 0) {
      return "'" + std::string(at, n) + "'";
    } else {
      std::snprintf(buf, sizeof buf, "byte 0x%02X", c);
    }
    return buf;
  }

  [[noreturn]] void FailAt(const char* at, std::string what) const {
    throw SyntaxError{static_cast<std::size_t>(at - begin_), std::move(what)};
  }
  [[noreturn]] void Fail(const char* expected) const {
    FailAt(p_, "unexpected " + Describe(p_) + "; expected " + expected);
  }

  void Expect(char c, const char* expected) {
    if (Peek() != c) Fail(expected);
    ++p_;
  }

  // One value where a design goes: the whole top-level value or an element of
  // a top-level array.
  void DesignSlot(bool wholeValue) {
    const std::size_t position = ++position_;
    if (Peek() == '{') {
      DesignObject(position);
      return;
    }
    const JsonKind kind = SkipValue();
    if (wholeValue) {
      // A bare scalar such as 12x is one piece of the input: all of it must be valid.
      SkipSpace();
      if (p_ != end_) Fail("white space after a value");
    }
    entry_.position = position;
    entry_.input = DesignInput{};
    entry_.inputError =
        DesignPrefix(position) + ": expected a design object, got " + KindName(kind);
    onDesign_(entry_);
  }

  void DesignObject(std::size_t position) {
    entry_.position = position;
    entry_.input = DesignInput{};
    entry_.inputError.reset();
    std::fill(seen_.begin(), seen_.end(), false);
    ++p_;
    SkipSpace();
    if (Peek() == '}') {
      ++p_;
    } else {
      const char* expectedKey = "a key string or '}'";
      for (;;) {
        if (Peek() != '"') Fail(expectedKey);
        ParseString(key_);
        SkipSpace();
        Expect(':', "':'");
        SkipSpace();
        if (const FieldInfo* field = TakeField(); field != nullptr) {
          Value(*field);
        } else {
          SkipValue();
        }
        SkipSpace();
        if (Peek() == ',') {
          ++p_;
          SkipSpace();
          expectedKey = "a key string";
        } else if (Peek() == '}') {
          ++p_;
          break;
        } else {
          Fail("',' or '}'");
        }
      }
    }
    onDesign_(entry_);
  }

  // The field named by key_, or null when the design already has an error or
  // gets one here (an unknown or repeated key).
  const FieldInfo* TakeField() {
    if (entry_.inputError) return nullptr;
    const FieldInfo* field = LookUpField(key_);
    if (field == nullptr) {
      entry_.inputError = DesignPrefix(entry_.position) + ": unknown key " + JsonQuoted(key_);
      return nullptr;
    }
    const auto slot = static_cast<std::size_t>(field - DesignFields().data());
    if (seen_[slot]) {
      entry_.inputError =
          DesignPrefix(entry_.position) + ": key " + JsonQuoted(key_) + " is given more than once";
      return nullptr;
    }
    seen_[slot] = true;
    return field;
  }

  void WrongType(const FieldInfo& field, JsonKind got) {
    std::string msg = KeyPrefix(entry_.position, field);
    switch (field.kind) {
      case FieldKind::Text:
        msg += "expected a string";
        break;
      case FieldKind::Group:
        msg += "expected an item index (" + ItemRange(field) + ") or an item caption";
        break;
      case FieldKind::Check:
        msg += "expected true or false";
        break;
    }
    entry_.inputError = msg + ", got " + KindName(got);
  }

  // The value of a known field: stored when it has the field's type.
  void Value(const FieldInfo& field) {
    const char c = Peek();
    DesignInput& in = entry_.input;
    if (c == '"') {
      if (field.kind == FieldKind::Text) {
        ParseString(in.*field.text);
        return;
      }
      ParseString(scratch_);
      if (field.kind != FieldKind::Group) return WrongType(field, JsonKind::String);
      const int index = ItemIndex(field, scratch_);
      if (index < 0) {
        entry_.inputError =
            KeyPrefix(entry_.position, field) + "no item is captioned " + JsonQuoted(scratch_);
        return;
      }
      in.*field.group = index;
    } else if (c == '-' || IsDigit(c)) {
      const Number n = ParseNumber();
      if (!n.integer || field.kind != FieldKind::Group) {
        return WrongType(field, n.integer ? JsonKind::Integer : JsonKind::Float);
      }
      const auto last = static_cast<std::uint64_t>(field.items.size()) - 1;
      const bool inRange = !n.tooLarge && (n.negative ? n.magnitude <= 1 : n.magnitude <= last);
      if (!inRange) {
        entry_.inputError = KeyPrefix(entry_.position, field) + "item index " +
                            std::string(n.text) + " is outside " + ItemRange(field);
        return;
      }
      in.*field.group = n.negative ? -static_cast<int>(n.magnitude) : static_cast<int>(n.magnitude);
    } else if (c == 't' || c == 'f') {
      const bool value = c == 't';
      SkipScalar();
      if (field.kind != FieldKind::Check) return WrongType(field, JsonKind::Boolean);
      in.*field.check = value;
    } else {
      WrongType(field, SkipValue());
    }
  }

  static bool IsDigit(char c) { return c >= '0' && c <= '9'; }

  struct Number {
    bool integer = true;  // no fraction and no exponent
    bool negative = false;
    bool tooLarge = false;  // beyond 64 bits
    std::uint64_t magnitude = 0;
    std::string_view text;
  };

  Number ParseNumber() {
    Number n;
    const char* const start = p_;
    if (Peek() == '-') {
      n.negative = true;
      ++p_;
    }
    if (Peek() == '0') {
      ++p_;
      if (IsDigit(Peek())) FailAt(p_, "invalid number: a leading zero is followed by digits");
    } else if (IsDigit(Peek())) {
      while (IsDigit(Peek())) {
        const auto d = static_cast<std::uint64_t>(*p_++ - '0');
        if (n.magnitude > (UINT64_MAX - d) / 10) n.tooLarge = true;
        n.magnitude = n.magnitude * 10 + d;
      }
    } else {
      Fail("a digit");
    }
    if (Peek() == '.') {
      n.integer = false;
      ++p_;
      if (!IsDigit(Peek())) Fail("a digit");
      while (IsDigit(Peek())) ++p_;
    }
    if (Peek() == 'e' || Peek() == 'E') {
      n.integer = false;
      ++p_;
      if (Peek() == '+' || Peek() == '-') ++p_;
      if (!IsDigit(Peek())) Fail("a digit");
      while (IsDigit(Peek())) ++p_;
    }
    n.text = std::string_view(start, static_cast<std::size_t>(p_ - start));
    return n;
  }

  unsigned Hex4(const char* escape) {
    if (end_ - p_ < 4) FailAt(escape, "invalid \\u escape: four hex digits must follow");
    unsigned value = 0;
    for (int i = 0; i < 4; ++i) {
      const char c = *p_++;
      const int d = c >= '0' && c <= '9'   ? c - '0'
                    : c >= 'a' && c <= 'f' ? c - 'a' + 10
                    : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                           : -1;
      if (d < 0) FailAt(escape, "invalid \\u escape: four hex digits must follow");
      value = value * 16 + static_cast<unsigned>(d);
    }
    return value;
  }

  static void AppendUtf8(std::string& out, unsigned cp) {
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (cp >> 18));
      out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }

  // Reads the string at p_ (its opening quote) into `out`, escapes decoded.
  void ParseString(std::string& out) {
    ++p_;
    out.clear();
    for (;;) {
      const char* run = p_;
      while (p_ < end_ && !Stops(*p_, kStringRunStop)) ++p_;
      out.append(run, static_cast<std::size_t>(p_ - run));
      if (p_ == end_) FailAt(p_, "unexpected end of input in a string");
      const auto c = static_cast<unsigned char>(*p_);
      if (c == '"') {
        ++p_;
        return;
      }
      if (c == '\\') {
        Escape(out);
      } else if (c < 0x20) {
        FailAt(p_,
               "unexpected " + Describe(p_) + " in a string; control characters must be escaped");
      } else {
        const std::size_t n = Utf8SequenceLength(reinterpret_cast<const unsigned char*>(p_),
                                                 reinterpret_cast<const unsigned char*>(end_));
        if (n == 0) FailAt(p_, "invalid UTF-8: unexpected " + Describe(p_) + " in a string");
        out.append(p_, n);
        p_ += n;
      }
    }
  }

  void Escape(std::string& out) {
    const char* const escape = p_++;
    if (p_ == end_) FailAt(p_, "unexpected end of input in a string");
    switch (*p_++) {
      case '"':
        out += '"';
        return;
      case '\\':
        out += '\\';
        return;
      case '/':
        out += '/';
        return;
      case 'b':
        out += '\b';
        return;
      case 'f':
        out += '\f';
        return;
      case 'n':
        out += '\n';
        return;
      case 'r':
        out += '\r';
        return;
      case 't':
        out += '\t';
        return;
      case 'u':
        break;
      default:
        FailAt(escape, "invalid escape " + Describe(escape + 1) + " in a string");
    }
    unsigned cp = Hex4(escape);
    if (cp >= 0xDC00 && cp <= 0xDFFF) {
      FailAt(escape, "invalid \\u escape: a low surrogate without a high one");
    }
    if (cp >= 0xD800 && cp <= 0xDBFF) {
      if (end_ - p_ < 2 || p_[0] != '\\' || p_[1] != 'u') {
        FailAt(escape, "invalid \\u escape: a high surrogate must be followed by a low one");
      }
      const char* const second = p_;
      p_ += 2;
      const unsigned low = Hex4(second);
      if (low < 0xDC00 || low > 0xDFFF) {
        FailAt(escape, "invalid \\u escape: a high surrogate must be followed by a low one");
      }
      cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
    }
    AppendUtf8(out, cp);
  }

  JsonKind SkipScalar() {
    switch (Peek()) {
      case '"':
        ParseString(scratch_);
        return JsonKind::String;
      case 't':
        return Literal("true", JsonKind::Boolean);
      case 'f':
        return Literal("false", JsonKind::Boolean);
      case 'n':
        return Literal("null", JsonKind::Null);
      default:
        if (Peek() == '-' || IsDigit(Peek())) {
          return ParseNumber().integer ? JsonKind::Integer : JsonKind::Float;
        }
        Fail("a value");
    }
  }

  template <std::size_t N>
  JsonKind Literal(const char (&word)[N], JsonKind kind) {
    constexpr std::size_t n = N - 1;
    if (static_cast<std::size_t>(end_ - p_) < n || std::memcmp(p_, word, n) != 0) {
      FailAt(p_, "invalid literal; expected true, false or null");
    }
    p_ += n;
    return kind;
  }

  // Reads past any value, checking its syntax; nesting is followed with a
  // stack of brackets, not recursion, so deep input cannot exhaust the stack.
  JsonKind SkipValue() {
    const char first = Peek();
    if (first != '{' && first != '[') return SkipScalar();
    std::string& open = stack_;
    open.clear();
    for (;;) {
      // At a value.
      const char c = Peek();
      if (c == '{' || c == '[') {
        open += c;
        ++p_;
        SkipSpace();
        if (Peek() != (c == '{' ? '}' : ']')) {
          if (c == '{') MemberKey("a key string or '}'");
          continue;
        }
        ++p_;
        open.pop_back();
      } else {
        SkipScalar();
      }
      // After a value: a comma and the next one, or closing brackets.
      for (;;) {
        if (open.empty()) return first == '{' ? JsonKind::Object : JsonKind::Array;
        SkipSpace();
        const bool object = open.back() == '{';
        if (Peek() == ',') {
          ++p_;
          SkipSpace();
          if (object) MemberKey("a key string");
          break;
        }
        if (Peek() != (object ? '}' : ']')) Fail(object ? "',' or '}'" : "',' or ']'");
        ++p_;
        open.pop_back();
      }
    }
  }

  // A key and its colon inside a skipped object.
  void MemberKey(const char* expected) {
    if (Peek() != '"') Fail(expected);
    ParseString(scratch_);
    SkipSpace();
    Expect(':', "':'");
    SkipSpace();
  }

  const DesignFn& onDesign_;
  const char* begin_ = nullptr;
  const char* p_ = nullptr;
  const char* end_ = nullptr;
  std::size_t position_ = 0;
  DesignEntry entry_;
  std::vector<bool> seen_;
  std::string key_;
  std::string scratch_;
  std::string stack_;
};

// ---------------------------------------------------------------------------
// Writing.

// Replaces bytes that are not valid UTF-8 by U+FFFD (messages may quote raw
// input bytes).
std::string ValidUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const auto* e = p + text.size();
  while (p < e) {
    const std::size_t n = Utf8SequenceLength(p, e);
    if (n == 0) {
      out += "\xEF\xBF\xBD";
      ++p;
    } else {
      out.append(reinterpret_cast<const char*>(p), n);
      p += n;
    }
  }
  return out;
}

// Standard output of one batch, buffered, and its exit status.
class Batch {
 public:
  Batch(const Options& options, Sink& out, Sink& err) : options_(options), out_(out), err_(err) {
    buf_.reserve(kOutputChunk * 2);
  }

  void Design(DesignEntry& entry) {
    if (entry.inputError) {
      inputError_ = true;
      if (options_.json) {
        buf_ += "{\"statblock\": [], \"error\": ";
        AppendJsonQuoted(buf_, *entry.inputError);
        buf_ += ", \"input_error\": true}\n";
      } else {
        ErrorLine(*entry.inputError);
      }
    } else {
      const DesignResult result = RunDesign(entry.input, options_.decimalSeparator);
      if (result.error) designFailed_ = true;
      if (options_.json) {
        buf_ += "{\"statblock\": [";
        for (std::size_t i = 0; i < result.lines.size(); ++i) {
          if (i > 0) buf_ += ", ";
          AppendJsonQuoted(buf_, result.lines[i]);
        }
        buf_ += "], \"error\": ";
        if (result.error) {
          AppendJsonQuoted(buf_, *result.error);
        } else {
          buf_ += "null";
        }
        buf_ += "}\n";
      } else {
        if (anyPrinted_) buf_ += '\n';
        anyPrinted_ = true;
        for (const std::string_view line : result.lines) {
          buf_ += line;
          buf_ += '\n';
        }
        if (result.error) ErrorLine(*result.error);
      }
    }
    if (buf_.size() >= kOutputChunk) Flush();
  }

  // Input that stops the batch: malformed JSON, a read failure.
  void Fatal(std::string_view message) {
    inputError_ = true;
    ErrorLine(message);
  }

  void Flush() {
    if (buf_.empty()) return;
    out_.Write(buf_);
    buf_.clear();
  }

  int Status() const {
    return inputError_ ? kExitInputError : designFailed_ ? kExitDesignFailed : kExitOk;
  }

 private:
  void ErrorLine(std::string_view message) {
    Flush();  // keeps standard output and standard error in order on a terminal
    std::string line = ValidUtf8(message);
    line += '\n';
    err_.Write(line);
  }

  const Options& options_;
  Sink& out_;
  Sink& err_;
  std::string buf_;
  bool anyPrinted_ = false;
  bool designFailed_ = false;
  bool inputError_ = false;
};

// Writes everything to a file descriptor.
class FdSink : public Sink {
 public:
  explicit FdSink(int fd) : fd_(fd) {}
  void Write(std::string_view data) override {
    while (!data.empty()) {
      const ssize_t n = ::write(fd_, data.data(), data.size());
      if (n < 0) {
        if (errno == EINTR) continue;
        throw std::runtime_error(std::string("write error: ") + std::strerror(errno));
      }
      data.remove_prefix(static_cast<std::size_t>(n));
    }
  }

 private:
  int fd_;
};

}  // namespace

// ---------------------------------------------------------------------------

std::optional<std::string> ReadDesigns(const ReadFn& read, const DesignFn& onDesign) {
  ValueSplitter splitter(read);
  DesignParser parser(onDesign);
  std::string_view value;
  while (splitter.Next(value)) {
    try {
      parser.Parse(value);
    } catch (const SyntaxError& e) {
      const auto [line, column] = splitter.PositionIn(value, e.offset);
      return "malformed JSON at line " + std::to_string(line) + ", column " +
             std::to_string(column) + ": " + e.what;
    }
  }
  return std::nullopt;
}

std::optional<std::string> ReadDesigns(std::string_view text, const DesignFn& onDesign) {
  ReadFn read = [text](char* buffer, std::size_t size) mutable {
    const std::size_t n = std::min(size, text.size());
    std::memcpy(buffer, text.data(), n);
    text.remove_prefix(n);
    return n;
  };
  return ReadDesigns(read, onDesign);
}

void AppendJsonQuoted(std::string& out, std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  out.reserve(out.size() + text.size() + 2);
  out += '"';
  const char* p = text.data();
  const char* const end = p + text.size();
  while (p < end) {
    const char* const run = p;  // plain ASCII goes out as it is
    while (p < end && !Stops(*p, kStringRunStop)) ++p;
    out.append(run, static_cast<std::size_t>(p - run));
    if (p == end) break;
    const auto c = static_cast<unsigned char>(*p);
    if (c >= 0x80) {
      const std::size_t n = Utf8SequenceLength(reinterpret_cast<const unsigned char*>(p),
                                               reinterpret_cast<const unsigned char*>(end));
      if (n > 0) {
        out.append(p, n);
        p += n;
      } else {
        out += "\xEF\xBF\xBD";  // U+FFFD for a byte that is not UTF-8
        ++p;
      }
      continue;
    }
    ++p;
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\b':
        out += "\\b";
        break;
      case '\f':
        out += "\\f";
        break;
      default:
        out += "\\u00";
        out += kHex[c >> 4];
        out += kHex[c & 0xF];
    }
  }
  out += '"';
}

std::string JsonQuoted(std::string_view text) {
  std::string out;
  AppendJsonQuoted(out, text);
  return out;
}

std::string TemplateText() {
  const DesignInput start;
  std::string out = "{\n";
  const auto fields = DesignFields();
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const FieldInfo& f = fields[i];
    out += "  ";
    AppendJsonQuoted(out, f.name);
    out += ": ";
    switch (f.kind) {
      case FieldKind::Text:
        AppendJsonQuoted(out, start.*f.text);
        break;
      case FieldKind::Group:
        out += std::to_string(start.*f.group);
        break;
      case FieldKind::Check:
        out += start.*f.check ? "true" : "false";
        break;
    }
    out += i + 1 < fields.size() ? ",\n" : "\n";
  }
  out += "}\n";
  return out;
}

char DecimalSeparatorFromEnvironment() {
  char dec = '.';
  if (std::setlocale(LC_NUMERIC, "") != nullptr) {
    const std::lconv* lc = std::localeconv();
    if (lc != nullptr && lc->decimal_point != nullptr && lc->decimal_point[0] != '\0' &&
        lc->decimal_point[1] == '\0') {
      dec = lc->decimal_point[0];
    }
  }
  std::setlocale(LC_NUMERIC, "C");
  return dec;
}

int ProcessDesigns(const ReadFn& read, const Options& options, Sink& out, Sink& err) {
  // A failure of `read` itself, told apart from failures to write output.
  struct ReadFailure : std::runtime_error {
    using std::runtime_error::runtime_error;
  };
  Batch batch(options, out, err);
  // Whatever is ready goes out before a read that may wait for more input.
  const ReadFn flushingRead = [&](char* buffer, std::size_t size) {
    batch.Flush();
    try {
      return read(buffer, size);
    } catch (const std::runtime_error& e) {
      throw ReadFailure(e.what());
    }
  };
  try {
    if (auto fault = ReadDesigns(flushingRead, [&](DesignEntry& e) { batch.Design(e); })) {
      batch.Fatal(*fault);
    }
  } catch (const ReadFailure& e) {
    batch.Fatal(std::string("brennick-cli: ") + e.what());
  }
  batch.Flush();
  return batch.Status();
}

const char* Version() {
  return BRENNICK_VERSION;
}

int Main(int argc, const char* const* argv) {
  CLI::App app("Designs firearms and electromagnetic guns from JSON and prints their statblocks.",
               "brennick-cli");
  std::string file;
  bool jsonOutput = false;
  bool printTemplate = false;
  auto* fileOption =
      app.add_option("FILE", file, "File of designs; standard input when absent or \"-\".")
          ->type_name("");
  app.add_flag("--json", jsonOutput,
               "Write one JSON object per design: {\"statblock\": [...], \"error\": ...}.");
  app.add_flag("--template", printTemplate,
               "Print a design object with every key at its start value, then exit.")
      ->excludes(fileOption);
  app.set_version_flag("--version", std::string("brennick-cli ") + Version());
  app.footer(
      "Input: JSON values separated by white space; each is a design object or an array of\n"
      "design objects. Keys are the form's field names (see --template): text fields take\n"
      "strings, option groups an item index (-1 for none) or an item caption, check boxes\n"
      "true or false. Absent keys keep their start values.\n"
      "\n"
      "Exit status: 0 when every design completed, 1 when a design run failed, 2 for input\n"
      "errors (bad keys or values, malformed JSON, an unreadable file, a bad option).");

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    const int code = app.exit(e);
    return code == 0 ? kExitOk : kExitInputError;
  }

  FdSink out(STDOUT_FILENO);
  FdSink err(STDERR_FILENO);
  try {
    if (printTemplate) {
      out.Write(TemplateText());
      return kExitOk;
    }

    Options options;
    options.json = jsonOutput;
    options.decimalSeparator = DecimalSeparatorFromEnvironment();

    int fd = STDIN_FILENO;
    std::string source = "standard input";
    if (!file.empty() && file != "-") {
      source = "'" + file + "'";
      fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
      if (fd < 0) {
        err.Write("brennick-cli: cannot open " + source + ": " + std::strerror(errno) + "\n");
        return kExitInputError;
      }
    }
    const ReadFn read = [fd, &source](char* buffer, std::size_t size) -> std::size_t {
      for (;;) {
        const ssize_t n = ::read(fd, buffer, size);
        if (n >= 0) return static_cast<std::size_t>(n);
        if (errno != EINTR) {
          throw std::runtime_error("cannot read " + source + ": " + std::strerror(errno));
        }
      }
    };
    const int status = ProcessDesigns(read, options, out, err);
    if (fd != STDIN_FILENO) ::close(fd);
    return status;
  } catch (const std::exception& e) {
    // Output that cannot be written (a full disk, a closed pipe).
    try {
      err.Write(std::string("brennick-cli: ") + e.what() + "\n");
    } catch (const std::exception&) {
    }
    return kExitInputError;
  }
}

}  // namespace brennick::cli
