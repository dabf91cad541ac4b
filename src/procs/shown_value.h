#pragma once
// The one text form in which the add-in writes a number into a toolbar box:
// rounded to 4 decimals, half to even, then in general number form.

#include <string>

#include "platform/number_format.h"

namespace frambolist::procs {

// The user's separators, as the platform reports them.
using platform::NumberFormat;

// Rounds to 4 decimal places, a value exactly half-way going to the even
// neighbour. Half-way is decided on the exact binary value (2.25 points is
// exactly 0.03125 inch and goes to 0.0312), and the result is the single
// nearest the rounded decimal.
float RoundToFourDecimals(float value);

// General number form: at most 7 significant digits, no trailing zeros, no
// group separator, the user's decimal separator, none for a whole number;
// exponent form (1.234568E+07, 1E-05) from 10^7 up and below 10^-4; "0" for
// negative zero. A non-finite value, which no box should ever show, is "0".
std::string GeneralNumber(float value, const NumberFormat& format);

// Both, as every box write does. Lengths are converted with PointsToUnit
// first; angles are shown as they are.
inline std::string ShownValue(float value, const NumberFormat& format) {
  return GeneralNumber(RoundToFourDecimals(value), format);
}

}  // namespace frambolist::procs
