#pragma once
// Rounding a double to a single as the hardware does on a store (to nearest,
// ties to even), with overflow to an infinity of the same sign. A plain cast
// of an out-of-range double is undefined behaviour in C++.

#include <cmath>
#include <limits>

namespace frambolist::host {

inline float RoundToSingle(double d) {
  // Half-way between the largest single and 2^128: from here up, rounding to
  // nearest gives infinity.
  constexpr double kOverflowThreshold = 340282356779733661637539395458142568448.0;
  if (std::isnan(d)) return std::numeric_limits<float>::quiet_NaN();
  if (std::fabs(d) >= kOverflowThreshold) {
    constexpr float kInfinity = std::numeric_limits<float>::infinity();
    return std::signbit(d) ? -kInfinity : kInfinity;
  }
  return static_cast<float>(d);
}

}  // namespace frambolist::host
