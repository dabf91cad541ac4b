#pragma once
// Reading a number that the user typed into a toolbar box, under the user's
// number format. One grammar serves the size and rotation boxes:
//
//   text     = blank* [sign] mantissa [exponent] blank*
//   mantissa = digits *(group digits) [decimal *digit] | decimal digits
//   exponent = ("E" | "e") [sign] digits
//   sign     = "+" | "-";  blank = space or tab
//
// where decimal and group are the user's separators and a group separator
// stands only between digits of the whole part. Nothing else is numeric:
// not the empty text, letters, NaN or infinity words, hexadecimal, currency
// signs, parentheses, a trailing sign, or a lone sign or separator.

#include <string_view>

#include "host/outcome.h"
#include "platform/number_format.h"

namespace frambolist::procs {

// The user's separators, as the platform reports them.
using platform::NumberFormat;

bool IsNumericText(std::string_view text, const NumberFormat& format);

// The nearest single to a numeric text. Fails with Type mismatch (13) for
// text that is not numeric and with Overflow (6) beyond the single range; it
// never yields NaN or an infinity. Magnitudes too small for a single give 0.
host::Outcome<float> TextToSingle(std::string_view text, const NumberFormat& format);

}  // namespace frambolist::procs
