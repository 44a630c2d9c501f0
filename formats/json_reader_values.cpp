// The JSON reader's values: strings with their escapes, numbers, literals,
// and skipping whole values.
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "formats/internal/json_scan.h"
#include "formats/json_reader.h"
#include "formats/json_text.h"

namespace brennick::json {
namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

int HexDigit(char c) {
  return c >= '0' && c <= '9'   ? c - '0'
         : c >= 'a' && c <= 'f' ? c - 'a' + 10
         : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                : -1;
}

// The four hex digits at p, or -1.
long Hex4(const char* p) {
  long value = 0;
  for (int i = 0; i < 4; ++i) {
    const int d = HexDigit(p[i]);
    if (d < 0) return -1;
    value = value * 16 + d;
  }
  return value;
}

void AppendUtf8(std::string& out, unsigned long cp) {
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

}  // namespace

std::optional<std::size_t> Reader::ReadString(std::string& out) {
  ++p_;  // the opening quote
  // Mostly a run of plain ASCII that ends at the closing quote, in the buffer.
  const std::size_t run = PlainAsciiRun(p_, end_, buf_.get() + kBufferSize + kBufferPadding);
  if (run > maxLength_) {
    out.clear();
    p_ += run;
    return StringRest(nullptr, run);
  }
  out.clear();
  out.append(p_, run);
  p_ += run;
  if (p_ < end_ && *p_ == '"') {
    ++p_;
    return std::nullopt;
  }
  return StringRest(&out, run);
}

std::optional<std::size_t> Reader::SkipString() {
  ++p_;  // the opening quote
  return StringRest(nullptr, 0);
}

// Its length is counted in UTF-16 code units as it goes, a run of plain ASCII
// at a time, so a string that outgrows the limit is let go of at once and only
// read on, checked, to its end.
std::optional<std::size_t> Reader::StringRest(std::string* keep, std::size_t units) {
  // Whether the bytes just counted are kept: while the string fits, and never
  // again once it does not.
  const auto fits = [&] {
    if (units <= maxLength_) return keep != nullptr;
    if (keep != nullptr) keep->clear();
    keep = nullptr;
    return false;
  };
  const char* const readable = buf_.get() + kBufferSize + kBufferPadding;
  for (;;) {
    const std::size_t run = PlainAsciiRun(p_, end_, readable);
    units += run;
    if (fits()) keep->append(p_, run);
    p_ += run;
    if (p_ == end_) {
      if (!Fill()) FailAt(p_, "unexpected end of input in a string");
      continue;
    }
    const auto c = static_cast<unsigned char>(*p_);
    if (c == '"') {
      ++p_;
      if (units > maxLength_) return units;
      return std::nullopt;
    }
    if (c == '\\') {
      const unsigned long cp = Escape();
      units += cp < 0x10000 ? 1 : 2;
      if (fits()) AppendUtf8(*keep, cp);
    } else if (c < 0x20) {
      FailAt(p_, "unexpected " + Describe(p_) + " in a string; control characters must be escaped");
    } else {
      Ensure(Utf8ClaimedLength(c));
      const std::size_t n = Utf8SequenceLength(reinterpret_cast<const unsigned char*>(p_),
                                               reinterpret_cast<const unsigned char*>(end_));
      if (n == 0) FailAt(p_, "invalid UTF-8: unexpected " + Describe(p_) + " in a string");
      units += n < 4 ? 1 : 2;  // four bytes are a character beyond U+FFFF
      if (fits()) keep->append(p_, n);
      p_ += n;
    }
  }
}

// The escape at p_ (its backslash), its code point; a surrogate pair is one.
// Its bytes are read whole before any of them is let go, so a fault is placed
// at the backslash.
unsigned long Reader::Escape() {
  if (!Ensure(2)) FailAt(end_, "unexpected end of input in a string");
  const char kind = p_[1];
  char simple = 0;
  switch (kind) {
    case '"':
    case '\\':
    case '/':
      simple = kind;
      break;
    case 'b':
      simple = '\b';
      break;
    case 'f':
      simple = '\f';
      break;
    case 'n':
      simple = '\n';
      break;
    case 'r':
      simple = '\r';
      break;
    case 't':
      simple = '\t';
      break;
    case 'u':
      break;
    default:
      Ensure(1 + Utf8ClaimedLength(static_cast<unsigned char>(kind)));
      FailAt(p_, "invalid escape " + Describe(p_ + 1) + " in a string");
  }
  if (simple != 0) {
    p_ += 2;
    return static_cast<unsigned char>(simple);
  }
  Ensure(6);
  const long cp = end_ - p_ >= 6 ? Hex4(p_ + 2) : -1;
  if (cp < 0) FailAt(p_, "invalid \\u escape: four hex digits must follow");
  if (cp >= 0xDC00 && cp <= 0xDFFF) {
    FailAt(p_, "invalid \\u escape: a low surrogate without a high one");
  }
  if (cp < 0xD800 || cp > 0xDBFF) {
    p_ += 6;
    return static_cast<unsigned long>(cp);
  }
  Ensure(12);
  const char* const second = p_ + 6;
  if (end_ - second < 2 || second[0] != '\\' || second[1] != 'u') {
    FailAt(p_, "invalid \\u escape: a high surrogate must be followed by a low one");
  }
  const long low = end_ - second >= 6 ? Hex4(second + 2) : -1;
  if (low < 0) FailAt(second, "invalid \\u escape: four hex digits must follow");
  if (low < 0xDC00 || low > 0xDFFF) {
    FailAt(p_, "invalid \\u escape: a high surrogate must be followed by a low one");
  }
  p_ += 12;
  return 0x10000 + ((static_cast<unsigned long>(cp) - 0xD800) << 10) +
         (static_cast<unsigned long>(low) - 0xDC00);
}

Number Reader::ReadNumber() {
  return ScanNumber(true);
}

// A number; its text is kept up to the limit, or not at all when `keep` is
// false (a number skipped).
Number Reader::ScanNumber(bool keep) {
  Number n;
  // Mostly a short integer whose end is in the buffer: its text is then a view
  // into the buffer, which no read moves before the next call.
  const char* q = p_;
  if (q < end_ && *q == '-') {
    n.negative = true;
    ++q;
  }
  const char* const digits = q;
  if (q < end_ && *q == '0') {
    ++q;
  } else {
    while (q < end_ && IsDigit(*q)) {
      const auto d = static_cast<std::uint64_t>(*q - '0');
      if (n.magnitude > (UINT64_MAX - d) / 10) n.tooLarge = true;
      n.magnitude = n.magnitude * 10 + d;
      ++q;
    }
  }
  if (q > digits && q < end_ && !IsDigit(*q) && *q != '.' && *q != 'e' && *q != 'E' &&
      static_cast<std::size_t>(q - p_) <= maxLength_) {
    n.text = std::string_view(p_, static_cast<std::size_t>(q - p_));
    n.length = n.text.size();
    p_ = q;
    return n;
  }
  // Anything else (a fraction, an exponent, a fault, or a number running to the
  // end of what has been read) is read byte by byte, reading more as needed.
  n = Number{};
  number_.clear();
  const std::size_t kept = keep ? maxLength_ : 0;
  const auto take = [&] {
    if (n.length++ < kept) number_ += *p_;
    ++p_;
  };
  if (Peek() == '-') {
    n.negative = true;
    take();
  }
  if (Peek() == '0' && p_ < end_) {
    take();
    if (IsDigit(Peek())) FailAt(p_, "invalid number: a leading zero is followed by digits");
  } else if (IsDigit(Peek())) {
    while (IsDigit(Peek())) {
      const auto d = static_cast<std::uint64_t>(*p_ - '0');
      if (n.magnitude > (UINT64_MAX - d) / 10) n.tooLarge = true;
      n.magnitude = n.magnitude * 10 + d;
      take();
    }
  } else {
    Fail("a digit");
  }
  if (Peek() == '.') {
    n.integer = false;
    take();
    if (!IsDigit(Peek())) Fail("a digit");
    while (IsDigit(Peek())) take();
  }
  if (Peek() == 'e' || Peek() == 'E') {
    n.integer = false;
    take();
    if (Peek() == '+' || Peek() == '-') take();
    if (!IsDigit(Peek())) Fail("a digit");
    while (IsDigit(Peek())) take();
  }
  n.text = number_;
  return n;
}

bool Reader::ReadBoolean() {
  // Both words whole in the buffer: told by one comparison each.
  if (end_ - p_ >= 5) {
    if (std::memcmp(p_, "true", 4) == 0) {
      p_ += 4;
      return true;
    }
    if (std::memcmp(p_, "false", 5) == 0) {
      p_ += 5;
      return false;
    }
  }
  const bool value = Peek() == 't';
  Literal(value ? "true" : "false", Kind::Boolean);
  return value;
}

Kind Reader::Literal(std::string_view word, Kind kind) {
  Ensure(word.size());
  if (static_cast<std::size_t>(end_ - p_) < word.size() ||
      std::memcmp(p_, word.data(), word.size()) != 0) {
    FailAt(p_, "invalid literal; expected true, false or null");
  }
  p_ += word.size();
  return kind;
}

Kind Reader::SkipScalar() {
  switch (PeekValue()) {
    case Kind::String:
      SkipString();
      return Kind::String;
    case Kind::Boolean:
      return Literal(*p_ == 't' ? "true" : "false", Kind::Boolean);
    case Kind::Null:
      return Literal("null", Kind::Null);
    default:
      return ScanNumber(false).integer ? Kind::Integer : Kind::Float;
  }
}

Kind Reader::SkipValue() {
  const Kind kind = PeekValue();
  if (kind != Kind::Object && kind != Kind::Array) return SkipScalar();
  open_.clear();
  for (;;) {
    // At a value.
    const Kind at = PeekValue();
    if (at == Kind::Object || at == Kind::Array) {
      const bool object = at == Kind::Object;
      if (depth_ + open_.size() == kMaxDepth) FailTooDeep();
      open_ += object ? '}' : ']';
      ++p_;
      SkipSpace();
      if (Peek() != open_.back() || p_ == end_) {
        if (object) {
          if (Peek() != '"') Fail("a key string or '}'");
          ReadKey(nullptr);
        }
        continue;
      }
      ++p_;
      open_.pop_back();
    } else {
      SkipScalar();
    }
    // After a value: a comma and the next one, or closing brackets.
    for (;;) {
      if (open_.empty()) return kind;
      SkipSpace();
      const bool object = open_.back() == '}';
      const char c = Peek();
      if (c == ',' && p_ < end_) {
        ++p_;
        SkipSpace();
        if (object) {
          if (Peek() != '"') Fail("a key string");
          ReadKey(nullptr);
        }
        break;
      }
      if (c != open_.back() || p_ == end_) Fail(object ? "',' or '}'" : "',' or ']'");
      ++p_;
      open_.pop_back();
    }
  }
}

}  // namespace brennick::json
