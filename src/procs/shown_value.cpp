#include "procs/shown_value.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace frambolist::procs {

float RoundToFourDecimals(float value) {
  if (!std::isfinite(value)) return value;
  // Exact: a single has 24 significant bits and 10^4 needs 10 more (it is
  // 2^4 * 625), well inside a double's 53.
  const double scaled = static_cast<double>(value) * 10000.0;
  if (std::fabs(scaled) >= 0x1p52) return value;  // already whole at this scale
  double k = std::floor(scaled);
  const double fraction = scaled - k;  // exact
  if (fraction > 0.5 || (fraction == 0.5 && std::fmod(k, 2.0) != 0.0)) k += 1.0;
  if (k == 0.0) return 0.0f;
  if (k == scaled) return value;

  // The single nearest k / 10^4: start from the double quotient and settle a
  // double rounding by comparing the neighbours exactly.
  float best = static_cast<float>(k / 10000.0);
  double best_error = std::fabs(static_cast<double>(best) * 10000.0 - k);
  for (float candidate : {std::nextafter(best, -INFINITY), std::nextafter(best, INFINITY)}) {
    const double error = std::fabs(static_cast<double>(candidate) * 10000.0 - k);
    const bool even = (std::bit_cast<uint32_t>(candidate) & 1u) == 0;
    if (error < best_error || (error == best_error && even)) {
      best = candidate;
      best_error = error;
    }
  }
  return best;
}

std::string GeneralNumber(float value, const NumberFormat& format) {
  if (!std::isfinite(value) || value == 0.0f) return "0";

  // Seven significant digits of the exact binary value, rounded half to
  // even: "d.dddddde+XX". The C library's printf does this exactly (and costs
  // the DLL nothing: it is linked anyway, unlike std::to_chars's tables). The
  // radix it prints follows the C locale, which another part of the host
  // process may have set, so only digits, sign and exponent are read.
  char buffer[32];
  const int length = std::snprintf(buffer, sizeof buffer, "%.6e", static_cast<double>(value));
  if (length <= 0 || static_cast<size_t>(length) >= sizeof buffer) return "0";
  std::string_view text(buffer, static_cast<size_t>(length));

  const bool negative = text.front() == '-';
  if (negative) text.remove_prefix(1);
  const size_t e_at = text.find_first_of("eE");
  if (e_at == std::string_view::npos) return "0";
  const int exponent = std::atoi(std::string(text.substr(e_at + 1)).c_str());
  std::string digits;
  for (char c : text.substr(0, e_at)) {
    if (c >= '0' && c <= '9') digits += c;
  }
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

  std::string out = negative ? "-" : "";
  if (exponent >= 7 || exponent < -4) {
    out += digits.substr(0, 1);
    if (digits.size() > 1) out += format.decimal + digits.substr(1);
    const int magnitude = std::abs(exponent);
    out += exponent < 0 ? "E-" : "E+";
    if (magnitude < 10) out += '0';
    out += std::to_string(magnitude);
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
