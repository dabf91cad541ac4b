#include "host/decimal_conversion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "host/testing/decimal_oracle.h"

namespace frambolist::host {
namespace {

TEST(DecimalConversion, WritesWhatPrintfWritesForValuesOfEveryMagnitude) {
  EXPECT_EQ(testing::FirstFormattingDisagreement(200'000, 20261207), std::nullopt);
}

TEST(DecimalConversion, WritesTheEdgesAsPrintfDoes) {
  struct Row {
    double value;
    int precision;
    const char* text;
  } rows[] = {
      {0.0, 17, "0"},
      {-0.0, 9, "-0"},
      {0.0001, 9, "0.0001"},  // the least written without an exponent
      {0.00001, 9, "1e-05"},  // two exponent digits at least
      {123456789.0, 9, "123456789"},
      {1234567890.0, 9, "1.23456789e+09"},
      {999999999.5, 9, "1e+09"},  // rounds up into the next decade
      {0.5, 1, "0.5"},
      {2.5, 1, "2"},  // half to even
      {3.5, 1, "4"},
      {1e300, 17, "1.0000000000000001e+300"},
      {std::numeric_limits<double>::denorm_min(), 17, "4.9406564584124654e-324"},
      {-std::numeric_limits<double>::infinity(), 9, "-inf"},
  };
  for (const Row& r : rows) EXPECT_EQ(GeneralText(r.value, r.precision), r.text) << r.text;
}

TEST(DecimalConversion, RoundsZeroToZeros) {
  const DecimalDigits zero = RoundedDigits(0.0, 3);
  EXPECT_EQ(zero.digits, "000");
  EXPECT_EQ(zero.exponent, 0);
}

TEST(DecimalConversion, ReadsDigitsWithAnyZerosAroundThem) {
  EXPECT_EQ(NearestSingle("", 5), 0.0f);
  EXPECT_EQ(NearestSingle("000", 400), 0.0f);
  EXPECT_EQ(NearestSingle("000125000", -5), 1.25f);
  EXPECT_EQ(NearestSingle("1", 39), std::numeric_limits<float>::infinity());
}

}  // namespace
}  // namespace frambolist::host
