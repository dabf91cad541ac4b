#include "procs/shown_value.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace frambolist::procs {

namespace {

// The whole number nearest `exact` (a value held exactly), half-way going to
// the even neighbour. Decided on the value itself, whatever the FPU's mode.
double RoundHalfEven(double exact) {
  double whole = std::floor(exact);
  const double fraction = exact - whole;  // exact
  if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0)) whole += 1.0;
  return whole;
}

}  // namespace

float RoundToFourDecimals(float value) {
  if (!std::isfinite(value)) return value;
  // Exact: a single has 24 significant bits and 10^4 needs 10 more (it is
  // 2^4 * 625), well inside a double's 53.
  const double scaled = static_cast<double>(value) * 10000.0;
  if (std::fabs(scaled) >= 0x1p52) return value;  // already whole at this scale
  const double k = RoundHalfEven(scaled);
  if (k == 0.0) return 0.0f;
  if (k == scaled) return value;

  // The single nearest k / 10^4, from one division. Here |value| < 2^23 (a
  // larger single is whole, returned above), where a half-way point between
  // two singles is p * 2^e with p odd, p < 2^25 and e < 0. Unless k / 10^4 is
  // one exactly, it lies at least 1 / (10^4 * p) of itself, more than 2^-39,
  // away from one; the double quotient errs by at most 2^-53 of itself, so it
  // never crosses a half-way point and rounds to the same single.
  return static_cast<float>(k / 10000.0);
}

namespace {

// Seven significant digits of `magnitude` and the decimal exponent of the
// first, from its exact binary value rounded half to even, as the standard
// library writes it in scientific form ("1.234568e+03").
struct Digits {
  std::string digits;
  int exponent = 0;
};
Digits SevenDigits(double magnitude) {
  char text[32]{};  // zeroed: nothing after the text reads as a digit
  const auto written =
      std::to_chars(text, text + sizeof text, magnitude, std::chars_format::scientific, 6);
  const std::string_view scientific(text, static_cast<size_t>(written.ptr - text));
  Digits d;
  d.digits = scientific.substr(0, 1);
  d.digits += scientific.substr(2, 6);
  const std::string_view exponent = scientific.substr(scientific.find('e') + 1);
  const size_t sign = exponent.front() == '+' ? 1 : 0;
  std::from_chars(exponent.data() + sign, exponent.data() + exponent.size(), d.exponent);
  return d;
}

}  // namespace

std::string GeneralNumber(float value, const NumberFormat& format) {
  if (!std::isfinite(value) || value == 0.0f) return "0";
  const double magnitude = std::fabs(static_cast<double>(value));
  Digits d = SevenDigits(magnitude);
  std::string& digits = d.digits;
  const int exponent = d.exponent;
  digits.erase(digits.find_last_not_of('0') + 1);  // the first digit is never 0

  std::string out = value < 0 ? "-" : "";
  if (exponent >= 7 || exponent < -4) {
    out += digits.substr(0, 1);
    if (digits.size() > 1) out += format.decimal + digits.substr(1);
    const int e = std::abs(exponent);
    out += exponent < 0 ? "E-" : "E+";
    if (e < 10) out += '0';
    out += std::to_string(e);
  } else if (exponent < 0) {
    out += "0" + format.decimal + std::string(static_cast<size_t>(-exponent - 1), '0') + digits;
  } else {
    const size_t whole = static_cast<size_t>(exponent) + 1;
    if (digits.size() <= whole) {
      out += digits + std::string(whole - digits.size(), '0');
    } else {
      out += digits.substr(0, whole) + format.decimal + digits.substr(whole);
    }
  }
  return out;
}

}  // namespace frambolist::procs
