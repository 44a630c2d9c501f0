#include "formats/json_reader.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <utility>

#include "formats/internal/json_scan.h"
#include "formats/json_text.h"

namespace brennick::json {
namespace {

// Bytes that may follow a number or literal at the top level.
bool EndsBareValue(char c) {
  switch (c) {
    case ' ':
    case '\t':
    case '\n':
    case '\r':
    case '"':
    case '{':
    case '}':
    case '[':
    case ']':
    case ',':
    case ':':
      return true;
    default:
      return false;
  }
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace

ReadFn ReadFromText(std::string_view text, std::size_t piece) {
  return [text, piece](char* buffer, std::size_t size) mutable {
    const std::size_t n = std::min({size, piece, text.size()});
    std::memcpy(buffer, text.data(), n);
    text.remove_prefix(n);
    return n;
  };
}

const char* KindName(Kind kind) {
  switch (kind) {
    case Kind::Null:
      return "null";
    case Kind::Boolean:
      return "a boolean";
    case Kind::Integer:
    case Kind::Float:
      return "a number";
    case Kind::String:
      return "a string";
    case Kind::Object:
      return "an object";
    case Kind::Array:
      return "an array";
  }
  return "a value";
}

SyntaxError::SyntaxError(std::size_t atLine, std::size_t atColumn, const std::string& detail)
    : std::runtime_error("malformed JSON at line " + std::to_string(atLine) + ", column " +
                         std::to_string(atColumn) + ": " + detail),
      line(atLine),
      column(atColumn) {}

Reader::Reader(ReadFn read, std::size_t maxLength)
    // The padding behind the buffer lets strings be scanned sixteen bytes at a
    // time up to its very end; it is zeroed once, so no byte read is undefined.
    : read_(std::move(read)),
      buf_(new char[kBufferSize + kBufferPadding]()),
      p_(buf_.get()),
      end_(buf_.get()),
      maxLength_(maxLength) {
  lineStart_ = p_;
  open_.reserve(kMaxDepth);
}

Reader::~Reader() = default;

// Reads more input behind the unread bytes, which move to the front of the
// buffer; false when nothing more comes. The characters of the current line
// that are let go are counted, for the column of a fault further along it.
bool Reader::Fill() {
  if (eof_) return false;
  char* const data = buf_.get();
  if (p_ > data) {
    if (lineStart_ == nullptr) {
      carry_ += CountChars(data, p_);
    } else {
      carry_ = CountChars(lineStart_, p_);
      lineStart_ = nullptr;
    }
    const auto keep = static_cast<std::size_t>(end_ - p_);
    std::memmove(data, p_, keep);
    p_ = data;
    end_ = data + keep;
  }
  const std::size_t n =
      read_(data + (end_ - data), kBufferSize - static_cast<std::size_t>(end_ - data));
  if (n == 0) {
    eof_ = true;
    return false;
  }
  end_ += n;
  return true;
}

// At least n unread bytes, unless the input ends first.
bool Reader::Ensure(std::size_t n) {
  while (static_cast<std::size_t>(end_ - p_) < n) {
    if (!Fill()) return false;
  }
  return true;
}

void Reader::SkipSpaceRun() {
  for (;;) {
    while (p_ < end_) {
      const char c = *p_;
      if (c == ' ' || c == '\t' || c == '\r') {
        ++p_;
      } else if (c == '\n') {
        ++line_;
        lineStart_ = ++p_;
      } else {
        return;
      }
    }
    if (!Fill()) return;
  }
}

// What stands at `at`, for messages. A character of several bytes is shown
// whole; the caller has made sure its bytes have been read.
std::string Reader::Describe(const char* at) {
  if (at >= end_) return "end of input";
  const auto c = static_cast<unsigned char>(*at);
  char buf[16];
  if (c > 0x20 && c < 0x7F) {
    std::snprintf(buf, sizeof buf, "'%c'", c);
  } else if (c < 0x80) {
    std::snprintf(buf, sizeof buf, "U+%04X", c);
  } else if (const std::size_t n = Utf8SequenceLength(reinterpret_cast<const unsigned char*>(at),
                                                      reinterpret_cast<const unsigned char*>(end_));
             n > 0) {
    return "'" + std::string(at, n) + "'";
  } else {
    std::snprintf(buf, sizeof buf, "byte 0x%02X", c);
  }
  return buf;
}

void Reader::FailAt(const char* at, const std::string& what) {
  const std::size_t column =
      lineStart_ != nullptr ? CountChars(lineStart_, at) : carry_ + CountChars(buf_.get(), at);
  throw SyntaxError(line_, column + 1, what);
}

void Reader::Fail(const char* expected) {
  if (p_ < end_) Ensure(Utf8ClaimedLength(static_cast<unsigned char>(*p_)));
  FailAt(p_, "unexpected " + Describe(p_) + "; expected " + expected);
}

void Reader::Expect(char c, const char* expected) {
  if (Peek() != c || p_ == end_) Fail(expected);
  ++p_;
}

bool Reader::NextTopLevel() {
  if (!started_) {
    started_ = true;
    if (Peek() == '\xEF' && Ensure(3) && std::memcmp(p_, "\xEF\xBB\xBF", 3) == 0) {
      p_ += 3;  // a UTF-8 byte-order mark
      lineStart_ = p_;
    }
  }
  SkipSpace();
  return p_ < end_;
}

void Reader::EndTopLevelScalar() {
  if (p_ < end_ || Fill()) {
    if (!EndsBareValue(*p_)) Fail("white space after a value");
  }
}

Kind Reader::PeekOtherValue() {
  switch (Peek()) {
    case '{':
      return Kind::Object;
    case '[':
      return Kind::Array;
    case '"':
      return Kind::String;
    case 't':
    case 'f':
      return Kind::Boolean;
    case 'n':
      return Kind::Null;
    default:
      if (p_ < end_ && (*p_ == '-' || IsDigit(*p_))) return Kind::Integer;
      Fail("a value");
  }
}

void Reader::FailTooDeep() {
  FailAt(p_, "nested deeper than " + std::to_string(kMaxDepth) + " levels");
}

void Reader::Open() {
  if (depth_ == kMaxDepth) FailTooDeep();
  ++depth_;
  ++p_;
}

void Reader::BeginObject() {
  Open();
  first_ = true;
}

bool Reader::NextMember(std::string& key) {
  std::string_view view;
  if (!NextMember(view)) return false;
  key.assign(view);
  return true;
}

bool Reader::NextMember(std::string_view& key) {
  SkipSpace();
  const char c = Peek();
  if (c == '}' && p_ < end_) {
    ++p_;
    first_ = false;
    --depth_;
    return false;
  }
  if (first_) {
    first_ = false;
    if (c != '"') Fail("a key string or '}'");
  } else {
    if (c != ',' || p_ == end_) Fail("',' or '}'");
    ++p_;
    SkipSpace();
    if (Peek() != '"') Fail("a key string");
  }
  // Most keys are plain ASCII followed by the colon, perhaps one space (as
  // pretty-printed JSON has it) and the value, all in the buffer: the key is
  // then a view into it, which no read moves before the next call.
  const char* const start = p_ + 1;
  const char* q = start + PlainAsciiRun(start, end_, buf_.get() + kBufferSize + kBufferPadding);
  if (end_ - q >= 4 && q[0] == '"' && q[1] == ':') {
    const char* const value = q + 2 + (q[2] == ' ');
    const auto length = static_cast<std::size_t>(q - start);
    if (static_cast<unsigned char>(*value) > ' ' && length <= maxLength_) {
      key = std::string_view(start, length);
      p_ = value;
      cutKey_ = 0;
      return true;
    }
  }
  ReadKey(&key_);
  key = key_;
  return true;
}

void Reader::ReadKey(std::string* key) {
  cutKey_ = (key != nullptr ? ReadString(*key) : SkipString()).value_or(0);
  SkipSpace();
  if (Peek() != ':' || p_ == end_) Fail("':'");
  ++p_;
  SkipSpace();
}

void Reader::BeginArray() {
  Open();
  first_ = true;
}

bool Reader::NextElement() {
  SkipSpace();
  const char c = Peek();
  if (c == ']' && p_ < end_) {
    ++p_;
    first_ = false;
    --depth_;
    return false;
  }
  if (first_) {
    first_ = false;
    return true;
  }
  if (c != ',' || p_ == end_) Fail("',' or ']'");
  ++p_;
  SkipSpace();
  return true;
}

}  // namespace brennick::json
