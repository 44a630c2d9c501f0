// The extended type of the design run, `ext`, and the maths the run takes at
// that precision.
//
// Where the compiler's long double is the x87's 80-bit format (x86 with GCC
// and Clang), `ext` is long double and every function here is the library's
// own, inlined: the processor's instructions, nothing in between. Anywhere
// else (64-bit ARM and WebAssembly, where long double is IEEE quad, or a
// plain double elsewhere), and in every build configured with
// -DBRENNICK_SOFT_EXT=ON, `ext` is SoftExt, the same format and the same
// results in software.
//
// Constants are written 0.032_ext (using namespace brennick::literals): the
// decimal rounded to the nearest extended value at compile time, in either
// build the same bits.
#pragma once

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <limits>

#if defined(BRENNICK_SOFT_EXT) || LDBL_MANT_DIG != 64 || LDBL_MAX_EXP != 16384
#define BRENNICK_EXT_IS_SOFT 1
#include "engine/soft_ext.h"
#include "engine/soft_ext_math.h"
#else
#define BRENNICK_EXT_IS_SOFT 0
#endif

namespace brennick {

#if BRENNICK_EXT_IS_SOFT

using ext = SoftExt;

inline constexpr ext ExtInfinity() {
  return SoftExt::Infinity();
}
inline constexpr ext ExtFabs(ext x) {
  return fabs(x);
}
inline constexpr ext ExtFloor(ext x) {
  return floor(x);
}
inline constexpr ext ExtSqrt(ext x) {
  return sqrt(x);
}
inline constexpr bool ExtIsNaN(ext x) {
  return isnan(x);
}
inline constexpr bool ExtIsInf(ext x) {
  return isinf(x);
}
// Nearest integer, ties to even; the lowest int64 where it does not fit.
inline constexpr std::int64_t ExtRoundToInt64(ext x) {
  return llrint(x);
}
inline ext ExtCbrt(ext x) {
  return SoftCbrt(x);
}
inline ext ExtPowThird(ext x) {
  return SoftPowThird(x);
}
inline ext ExtLog10(ext x) {
  return SoftLog10(x);
}

#else

using ext = long double;

namespace literals {
// The compiler reads the literal at the type's own precision already.
consteval long double operator""_ext(long double value) {
  return value;
}
}  // namespace literals

inline constexpr ext ExtInfinity() {
  return std::numeric_limits<long double>::infinity();
}
inline ext ExtFabs(ext x) {
  return std::fabs(x);
}
inline ext ExtFloor(ext x) {
  return std::floor(x);
}
inline ext ExtSqrt(ext x) {
  return std::sqrt(x);
}
inline bool ExtIsNaN(ext x) {
  return std::isnan(x);
}
inline bool ExtIsInf(ext x) {
  return std::isinf(x);
}
inline std::int64_t ExtRoundToInt64(ext x) {
  return std::llrint(x);
}
inline ext ExtCbrt(ext x) {
  return std::cbrt(x);
}
// x to the power of the extended third, which lies a hair above a third.
inline ext ExtPowThird(ext x) {
  return std::pow(x, 1.0L / 3.0L);
}
inline ext ExtLog10(ext x) {
  return std::log10(x);
}

#endif

}  // namespace brennick
