// A streaming JSON reader: strict JSON (RFC 8259) read from any source in
// pieces, value by value, without ever holding more of the input than the
// token at hand.
//
// The caller walks the values with the calls below; the reader keeps only the
// unread rest of its last read, the open brackets of a value it skips (at most
// kMaxDepth) and, of a string, key or number, at most the length it was given,
// so its memory is bounded whatever the input: a string it skips, or one too
// long to keep, is read to its end through the buffer and not held.
// Every fault is reported, as a SyntaxError with the line and column (in
// characters) of the byte at fault, as soon as that byte has been read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
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

// The deepest the reader lets arrays and objects nest: a design object needs
// four levels (an array of designs, the design, its "Form" member and the list
// in that), so this leaves plenty for hand-written input while the open
// brackets of a value skipped cost no more than this many bytes. The first
// bracket deeper is a SyntaxError, "nested deeper than 256 levels".
inline constexpr std::size_t kMaxDepth = 256;

// No limit on the length of what the reader keeps.
inline constexpr std::size_t kNoLimit = static_cast<std::size_t>(-1);

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

// A number as written. `text` stays valid until the next call on the reader;
// of a number longer than the reader's limit it holds only the beginning.
struct Number {
  std::string_view text;
  std::size_t length = 0;  // characters of the whole number
  bool integer = true;     // no fraction and no exponent
  bool negative = false;
  bool tooLarge = false;  // the magnitude does not fit 64 bits
  std::uint64_t magnitude = 0;
};

class Reader {
 public:
  // `maxLength` is the most the reader keeps of one string, key or number, in
  // UTF-16 code units (a character beyond U+FFFF counts as two), so a caller
  // can bound what it takes to what a text field of the window can hold.
  explicit Reader(ReadFn read, std::size_t maxLength = kNoLimit);
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
  // which the caller reads or skips. A key longer than the limit is given
  // empty, CutKeyLength() then its length.
  void BeginObject();
  bool NextMember(std::string& key);
  // As above, the key a view that stays valid until the next call on the
  // reader: into the input where it stands there plainly, as keys mostly do.
  bool NextMember(std::string_view& key);
  // The length in UTF-16 code units of the last key when it was longer than
  // the limit, else 0.
  std::size_t CutKeyLength() const { return cutKey_; }
  // An array, likewise: NextElement is true before each element.
  void BeginArray();
  bool NextElement();

  // Scalars; each throws SyntaxError unless the value has that form.
  // A string, escapes decoded, UTF-8 checked: nothing when it is in `out`,
  // else, for a string longer than the limit, its length in UTF-16 code units
  // (it has been read to its end, `out` is empty).
  std::optional<std::size_t> ReadString(std::string& out);
  Number ReadNumber();
  bool ReadBoolean();
  // Reads past any value, checking it and keeping none of it; nesting costs a
  // byte per level and no recursion. Returns its kind.
  Kind SkipValue();

 private:
  Kind PeekOtherValue();
  // A member's key at its opening quote, its colon and the white space up to
  // the value; the key is read into `key`, or skipped when that is null.
  void ReadKey(std::string* key);
  // Past a string at its opening quote, keeping none of it.
  std::optional<std::size_t> SkipString();
  // The rest of a string from p_ on, `units` of it read: kept in `keep` while
  // it fits, not kept when that is null.
  std::optional<std::size_t> StringRest(std::string* keep, std::size_t units);
  void Open();                      // past an opening bracket, one level deeper
  [[noreturn]] void FailTooDeep();  // at the opening bracket at p_
  unsigned long Escape();
  Number ScanNumber(bool keep);
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
  const std::size_t maxLength_;
  std::size_t depth_ = 0;   // arrays and objects open by BeginObject and BeginArray
  std::size_t cutKey_ = 0;  // see CutKeyLength
  std::string key_;         // a key that could not be a view into the input
  std::string number_;
  std::string open_;  // the closing brackets of a value being skipped
};

}  // namespace brennick::json
