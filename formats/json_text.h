// Writing JSON strings and checking UTF-8, shared by the JSON reader, the
// design objects and brennick-cli's output.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace brennick::json {

// Length of the valid UTF-8 sequence at p (p < e), or 0 when it is not valid.
std::size_t Utf8SequenceLength(const unsigned char* p, const unsigned char* e);

// The length a UTF-8 sequence starting with `lead` claims (1 to 4), or 1 for a
// byte that cannot start one.
inline std::size_t Utf8ClaimedLength(unsigned char lead) {
  return lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
}

// Characters (not bytes) in a piece of UTF-8 text, for column numbers.
std::size_t CountChars(const char* p, const char* e);

// `text` with every byte that is not valid UTF-8 replaced by U+FFFD.
std::string ValidUtf8(std::string_view text);

// `text` as a JSON string literal with its quotes. Bytes that are not valid
// UTF-8 become U+FFFD, so any text gives valid JSON.
void AppendQuoted(std::string& out, std::string_view text);
std::string Quoted(std::string_view text);

// The most bytes the quoted form of a text of `size` bytes takes: six for a
// byte written as \u00XX, and the quotes.
constexpr std::size_t QuotedBound(std::size_t size) {
  return 6 * size + 2;
}
// AppendQuoted into raw memory with room for QuotedBound(text.size()) bytes;
// returns the end of what was written.
char* WriteQuoted(char* out, std::string_view text);

// Lines as JSON string literals separated by ", " (the inside of an array):
// `text` holds them one after another, line i ending at the byte ends[i], a
// newline (as a statblock's text has it) that is not written. Needs room for
// QuotedBound(text.size()) bytes.
char* WriteQuotedLines(char* out, std::string_view text, std::span<const std::size_t> ends);

}  // namespace brennick::json
