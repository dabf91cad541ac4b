// The shown value: the one text form in which a number goes into a box.

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdio>
#include <limits>

#include "procs/shown_value.h"

namespace frambolist::procs {
namespace {

const NumberFormat kPoint{".", ","};
const NumberFormat kComma{",", "."};

TEST(ShownValue, RoundsHalfWayToEvenOnTheExactBinaryValue) {
  struct Row {
    float in;
    float out;
  } rows[] = {
      {0.03125f, 0.0312f},
      {0.09375f, 0.0938f},
      {-0.03125f, -0.0312f},
      {0.40625f, 0.4062f},
      {2.71828f, 2.7183f},
      {45.5f, 45.5f},
      // Stored just above and just below half-way: the decimal reading would
      // round these the other way.
      {0.00025f, 0.0003f},
      {0.00035f, 0.0003f},
      {8388607.5f, 8388607.5f},
      {1e30f, 1e30f},
  };
  for (const Row& r : rows) EXPECT_EQ(RoundToFourDecimals(r.in), r.out) << r.in;
}

TEST(ShownValue, WritesGeneralNumberFormAtTheDigitAndExponentBoundaries) {
  struct Row {
    float value;
    const char* point;
    const char* comma;
  } rows[] = {
      {9999999.0f, "9999999", "9999999"},
      {10000000.0f, "1E+07", "1E+07"},
      {12345678.0f, "1.234568E+07", "1,234568E+07"},
      {1.5e38f, "1.5E+38", "1,5E+38"},
      {999999.94f, "999999.9", "999999,9"},
      {0.0001f, "0.0001", "0,0001"},
      {0.00001f, "1E-05", "1E-05"},
      {-25.3968f, "-25.3968", "-25,3968"},
      {1234567.0f, "1234567", "1234567"},
      {-0.0f, "0", "0"},
      {100.0f, "100", "100"},
      // Stored just below 0.01: its seventh digit carries into the next decade.
      {0.01f, "0.01", "0,01"},
      {1e10f, "1E+10", "1E+10"},
      {1.0203e8f, "1.0203E+08", "1,0203E+08"},
      // The exponent keeps two digits up to 9, and takes no third at 10.
      {1e9f, "1E+09", "1E+09"},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(GeneralNumber(r.value, kPoint), r.point);
    EXPECT_EQ(GeneralNumber(r.value, kComma), r.comma);
  }
  EXPECT_EQ(ShownValue(-0.00001f, kPoint), "0");  // rounds to negative zero
  EXPECT_EQ(GeneralNumber(std::numeric_limits<float>::infinity(), kPoint), "0");
}

}  // namespace
}  // namespace frambolist::procs
