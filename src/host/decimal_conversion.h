#pragma once
// Exact conversions between decimal text and binary floating point, for the
// typed numbers the add-in reads and the values it shows or coerces to text.
//
// The C++ library's from_chars and the C library's strtof and printf do the
// same, but weigh 20 to 33 KB each in the DLL; these do it in a few hundred
// lines with one small big-integer type, exactly (no double rounding), and
// whatever the C locale. The tests and the fuzzer hold them to the standard
// library's results.

#include <string>
#include <string_view>

namespace frambolist::host {

// The single nearest to digits x 10^exponent (ties to even), or +infinity
// beyond the single range. `digits` holds decimal digits only, any number
// of them, leading and trailing zeros allowed; an empty text is zero.
float NearestSingle(std::string_view digits, long long exponent);

// The first `count` (1 to 40) significant digits of a finite positive
// double, rounded half to even from its exact binary value, and the decimal
// exponent of the first of them: 1234.5 to 3 digits is {"123", 3}.
struct DecimalDigits {
  std::string digits;
  int exponent = 0;
};
DecimalDigits RoundedDigits(double magnitude, int count);

// What C's printf writes for "%.*g" with this precision in the C locale.
std::string GeneralText(double value, int precision);

}  // namespace frambolist::host
