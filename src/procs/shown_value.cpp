#include "procs/shown_value.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "host/decimal_conversion.h"

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

// Seven significant digits of |value| and the decimal exponent of the
// first, from the exact binary value rounded half to even.
using Digits = host::DecimalDigits;

constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10};

// From 10^-4 up to below 10^7, |value| * 10^(6 - exponent) is exact in a
// double (a single's 24 bits times 5^k for k <= 10 fit in 53), so the
// rounding decision is exact without big numbers. This is every box value but
// the largest.
bool FastDigits(double magnitude, Digits& out) {
  if (!(magnitude < 1e7 && magnitude >= 1e-4)) return false;
  for (int exponent = 6; exponent >= -4; --exponent) {
    const double low = exponent >= 0 ? kPowersOfTen[exponent] : 1.0 / kPowersOfTen[-exponent];
    if (magnitude < low) continue;
    if (exponent < 0 && magnitude * kPowersOfTen[-exponent] < 1.0) continue;  // 1/10^k is inexact
    double whole = RoundHalfEven(magnitude * kPowersOfTen[6 - exponent]);
    out.exponent = exponent;
    if (whole >= 1e7) {  // 9999999.5 rounds up to the next decade
      whole /= 10.0;
      ++out.exponent;
    }
    out.digits = std::to_string(static_cast<long long>(whole));
    return true;
  }
  return false;
}

}  // namespace

std::string GeneralNumber(float value, const NumberFormat& format) {
  if (!std::isfinite(value) || value == 0.0f) return "0";
  const double magnitude = std::fabs(static_cast<double>(value));
  Digits d;
  if (!FastDigits(magnitude, d)) d = host::RoundedDigits(magnitude, 7);
  std::string& digits = d.digits;
  const int exponent = d.exponent;
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

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
