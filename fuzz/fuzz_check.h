// Shared helpers of the fuzz targets: a failed invariant prints what broke and
// aborts, which libFuzzer records as a crash with the input that caused it.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace brennick::fuzz {

[[noreturn]] inline void Fail(const char* what, std::string_view detail) {
  std::fprintf(stderr, "invariant broken: %s\n  detail: '%.*s'\n", what,
               static_cast<int>(detail.size()), detail.data());
  std::abort();
}

inline void Require(bool ok, const char* what, std::string_view detail = {}) {
  if (!ok) Fail(what, detail);
}

// The decimal separators the program meets: '.' and ','.
inline char SeparatorFrom(unsigned char byte) {
  return byte & 1 ? ',' : '.';
}

}  // namespace brennick::fuzz
