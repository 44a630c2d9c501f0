// Decimal text to double and an extended value to scientific text, for the
// standard libraries that lack the floating-point std::from_chars and
// std::to_chars (the libc++ of emscripten 3.1.6 has only the integer ones).
//
// FromChars and ToCharsScientific take the standard functions wherever the
// library has them (__cpp_lib_to_chars), so the native build keeps them; the
// replacements below are compiled everywhere, so they are tested against the
// standard functions on the native build too.
#pragma once

#include <charconv>
#include <cstdint>

namespace brennick::detail {

// std::from_chars for a double in the general format, on decimal texts: an
// optional '-', digits with an optional '.' and fraction (at least one digit
// in all), and an optional exponent 'e' or 'E', sign and digits, taken only
// when it is complete. The value is correctly rounded, ties to even. A value
// beyond the largest double, or one that rounds to zero from a non-zero text,
// is result_out_of_range and leaves `value` as it was, as libstdc++ does;
// subnormal results are in range. "inf", "nan" and hexadecimal texts are not
// read (invalid_argument).
std::from_chars_result DecimalToDouble(const char* first, const char* last, double& value);

// std::to_chars(first, last, v, std::chars_format::scientific, precision)
// for the positive value significand x 2^exponent: `precision` digits after
// the point (0 to 40), correctly rounded with ties to even, and an exponent of
// at least two digits ("1.25e+03", "7e-05"). A zero significand writes zero.
std::to_chars_result ScientificText(char* first, char* last, std::uint64_t significand,
                                    int exponent, int precision);

// The call sites' conversions: the library's own where it has them.
inline std::from_chars_result FromChars(const char* first, const char* last, double& value) {
#if defined(__cpp_lib_to_chars)
  return std::from_chars(first, last, value);
#else
  return DecimalToDouble(first, last, value);
#endif
}

}  // namespace brennick::detail
