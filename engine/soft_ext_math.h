// The maths of SoftExt beyond its arithmetic: the library functions the
// design run takes, with the results of the x87 build's library (glibc on
// x86-64), and the decimal digits of a number text.
#pragma once

#include <cstdint>

#include "engine/soft_ext.h"

namespace brennick {

// The functions the design run takes from the library, as the x87 build's
// library (glibc on x86-64) gives them.

// cbrtl: the same steps at the same precision (a polynomial first guess,
// scaled by the cube root of 2 or 4, and two Newton steps), so the same bits.
SoftExt SoftCbrt(SoftExt x);
// powl(x, 1.0L / 3.0L): x to the power of the extended third, which lies a
// hair (2^-65 / 3) above a third, rounded to nearest from a result good to
// some 120 bits. The library's own result is within a unit in the last place
// of it and differs in that unit for some one input in ten; the two never
// differ on which side of a half the power lies for the exact cubes of halves
// (see the tests). NaN for a negative x, +inf for either infinity.
SoftExt SoftPowThird(SoftExt x);
// log10l: log2(x) times log10(2) rounded to 64 bits (the x87's fldlg2), the
// product rounded once, as the x87's fyl2x does it; log2(x) is worked out to
// some 120 bits. The x87's own fyl2x misses that rounding for a few inputs in
// a hundred (by a unit in the last place; see the tests); at the few operands
// of a gun's bulk where that unit decides the figure, the x87's own result is
// taken. -inf for zero, NaN for a negative x.
SoftExt SoftLog10(SoftExt x);

// The fifteen significant digits of a finite positive value as an integer
// from 10^14 to 10^15 - 1, rounded to nearest (an exact half to the even
// neighbour), and the decimal exponent of the first digit: worked out exactly,
// for any value of the type.
void SoftFifteenDigits(SoftExt value, std::uint64_t& digits, int& exponent);

}  // namespace brennick
