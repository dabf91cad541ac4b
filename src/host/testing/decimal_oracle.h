#pragma once
// The C library's printf as the oracle for the add-in's own number
// formatting (host/decimal_conversion.h), which the DLL uses instead. The
// native tests compare the two on glibc, the Windows tests on MinGW's C
// library, over random values of every magnitude.

#include <bit>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <random>
#include <string>

#include "host/decimal_conversion.h"

namespace frambolist::host::testing {

// A random finite double: any bit pattern, or one time in two a single's.
inline double RandomFiniteValue(std::mt19937_64& random) {
  while (true) {
    const uint64_t bits = random();
    const double value =
        (bits & 1) ? static_cast<double>(std::bit_cast<float>(static_cast<uint32_t>(bits >> 32)))
                   : std::bit_cast<double>(bits);
    if (std::isfinite(value)) return value;
  }
}

// The first of `count` random values (from `seed`) whose text differs from
// printf's, "%.*g" at 9 and 17 digits and "%.*e" at 1 to 17, as
// "format value: ours, printf's"; nothing when all agree.
inline std::optional<std::string> FirstFormattingDisagreement(int count, uint64_t seed) {
  std::mt19937_64 random(seed);
  char expected[512];
  for (int i = 0; i < count; ++i) {
    const double value = RandomFiniteValue(random);
    for (int precision : {9, 17}) {
      std::snprintf(expected, sizeof expected, "%.*g", precision, value);
      const std::string ours = GeneralText(value, precision);
      if (ours != expected)
        return "%." + std::to_string(precision) + "g " + expected + ": ours " + ours;
    }
    if (value == 0) continue;
    const int digits = 1 + static_cast<int>(random() % 17);
    std::snprintf(expected, sizeof expected, "%.*e", digits - 1, std::fabs(value));
    const DecimalDigits ours = RoundedDigits(std::fabs(value), digits);
    std::string shown = ours.digits.substr(0, 1) + (digits > 1 ? "." + ours.digits.substr(1) : "");
    char exponent[16];
    std::snprintf(exponent, sizeof exponent, "e%+03d", ours.exponent);
    if (shown + exponent != expected)
      return std::string("%e ") + expected + ": ours " + shown + exponent;
  }
  return std::nullopt;
}

}  // namespace frambolist::host::testing
