// A streaming JSON reader: strict JSON (RFC 8259) read from any source in
// pieces, value by value, without ever holding more of the input than the
// token at hand.
//
// The caller walks the values with the calls below; the reader keeps only the
// unread rest of its last read and the open brackets of a value it skips, so a
// top-level array of any length takes no more memory than its largest string.
// Every fault is reported, as a SyntaxError with the line and column (in
// characters) of the byte at fault, as soon as that byte has been read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

namespace brennick::json {

// Fills `buffer` with up to `size` bytes and returns how many were read, 0 at
// the end of the input. A source that waits for more input (a pipe) returns
// whatever has arrived. May throw on a read failure; the reader lets it pass.
using ReadFn = std::function<std::size_t(char* buffer, std::size_t size)>;

// A ReadFn that hands out `text`, at most `piece` bytes per read.
ReadFn ReadFromText(std::string_view text, std::size_t piece = std::size_t{1} << 20);

// What a JSON value is, for messages such as "got a number".
enum class Kind { Null, Boolean, Integer, Float, String, Object, Array };
const char* KindName(Kind kind);  // "null", "a boolean", "a number", ...

// A fault in the JSON text. what() is the whole message,
// "malformed JSON at line 2, column 13: unexpected '1'; expected ':'".
class SyntaxError : public std::runtime_error {
 public:
  SyntaxError(std::size_t line, std::size_t column, const std::string& detail);
  std::size_t line;
  std::size_t column;
};

// A number as written. `text` stays valid until the next call on the reader.
struct Number {
  std::string_view text;
  bool integer = true;  // no fraction and no exponent
  bool negative = false;
  bool tooLarge = false;  // the magnitude does not fit 64 bits
  std::uint64_t magnitude = 0;
};

class Reader {
 public:
  explicit Reader(ReadFn read);
  ~Reader();
  Reader(const Reader&) = delete;
  Reader& operator=(const Reader&) = delete;

  // Moves to the next top-level value, past white space (and a UTF-8
  // byte-order mark at the very start); false at the end of the input.
  // Values may follow one another directly; a number or literal must be
  // followed by white space, a bracket, a brace, a quote, a comma or a colon.
  bool NextTopLevel();
  // Call after a number or literal read at the top level: checks what follows.
  void EndTopLevelScalar();

  // The kind of the value that starts here. Numbers are reported as Integer;
  // throws when no value can start here.
  Kind PeekValue() {
    if (p_ < end_) {
      switch (*p_) {
        case '"':
          return Kind::String;
        case 't':
        case 'f':
          return Kind::Boolean;
        case '{':
          return Kind::Object;
        default:
          break;
      }
    }
    return PeekOtherValue();
  }

  // An object: BeginObject, then NextMember until it returns false (having
  // read the closing brace); after each true the reader stands at the value,
  // which the caller reads or skips.
  void BeginObject();
  bool NextMember(std::string& key);
  // As above, the key a view that stays valid until the next call on the
  // reader: into the input where it stands there plainly, as keys mostly do.
  bool NextMember(std::string_view& key);
  // An array, likewise: NextElement is true before each element.
  void BeginArray();
  bool NextElement();

  // Scalars; each throws SyntaxError unless the value has that form.
  void ReadString(std::string& out);  // escapes decoded, UTF-8 checked
  Number ReadNumber();
  bool ReadBoolean();
  // Reads past any value, checking it; nesting costs a byte per level and no
  // recursion. Returns its kind.
  Kind SkipValue();

 private:
  Kind PeekOtherValue();
  // A member's key at its opening quote, its colon and the white space up to
  // the value.
  void ReadKey(std::string& key);
  bool Fill();
  bool Ensure(std::size_t n);
  char Peek() { return p_ < end_ || Fill() ? *p_ : '\0'; }
  // Most tokens are not preceded by white space: that is told at once.
  void SkipSpace() {
    if (p_<end_&& static_cast<unsigned char>(*p_)> ' ') return;
    SkipSpaceRun();
  }
  void SkipSpaceRun();
  std::string Describe(const char* at);
  [[noreturn]] void FailAt(const char* at, const std::string& what);
  [[noreturn]] void Fail(const char* expected);
  void Expect(char c, const char* expected);
  void Escape(std::string& out);
  Kind SkipScalar();
  Kind Literal(std::string_view word, Kind kind);

  static constexpr std::size_t kBufferSize = 64 * 1024;
  static constexpr std::size_t kBufferPadding = 16;

  ReadFn read_;
  std::unique_ptr<char[]> buf_;
  const char* p_;    // the next byte to read
  const char* end_;  // the end of what has been read
  bool eof_ = false;
  bool started_ = false;
  bool first_ = false;  // just inside an object or array, before its first member
  // Where the fault of a SyntaxError lies: line_ is the current line; it began
  // at lineStart_ in the buffer or, when that is null, carry_ characters
  // before the start of the buffer.
  std::size_t line_ = 1;
  const char* lineStart_;
  std::size_t carry_ = 0;
  std::string key_;  // a key that could not be a view into the input
  std::string number_;
  std::string scratch_;
  std::string open_;
};

}  // namespace brennick::json
