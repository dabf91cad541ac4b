#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <bit>
#include <limits>

#include "procs/shown_value.h"
#include "procs/units.h"

namespace frambolist::procs {
namespace {

class Units : public ::testing::Test {
 protected:
  void TearDown() override { CurrentUnit = Unit::Inch; }
  static float ToPoints(const char* unit, float v) {
    CurrentUnit = UnitNamed(unit).value();
    return UnitToPoints(v);
  }
  static float ToUnit(const char* unit, float p) {
    CurrentUnit = UnitNamed(unit).value();
    return PointsToUnit(p);
  }
};

TEST_F(Units, ConvertOnTheMetricScaleOfPoint63Over16InchPerMillimetre) {
  EXPECT_EQ(ToPoints("Inch", 1), 72.0f);
  EXPECT_EQ(ToUnit("Inch", 36), 0.5f);
  EXPECT_EQ(ToPoints("mm", 1), 2.835f);
  EXPECT_EQ(ToUnit("mm", 72), 25.396826f);
  EXPECT_EQ(ToPoints("mm", 25.4f), 72.009f);
  EXPECT_EQ(ToPoints("cm", 2.54f), 72.009f);
  EXPECT_EQ(ToUnit("cm", 72), 2.5396826f);
  EXPECT_EQ(ToPoints("m", 1), 2835.0f);
  EXPECT_EQ(ToUnit("m", 72), 0.025396826f);
  EXPECT_EQ(ToPoints("mm", -2), -5.67f);  // nothing is clamped
}

TEST_F(Units, KeepDoubleIntermediatesSoTheSingleResultIsTheNearestOne) {
  // Each of these gives another single when the intermediates are singles.
  EXPECT_EQ(ToPoints("mm", 1.3f), 3.68549991f);
  EXPECT_EQ(ToPoints("mm", 1.9f), 5.38649988f);
  EXPECT_EQ(ToPoints("cm", 1.1f), 31.1850014f);
  EXPECT_EQ(ToPoints("cm", 1.5f), 42.5250015f);
  EXPECT_EQ(ToUnit("mm", 0.5f), 0.176366836f);
  EXPECT_EQ(ToUnit("mm", 0.7f), 0.246913582f);
}

TEST_F(Units, PixelsPassTheValueThroughBitForBitAndOnlyTheFiveNamesAreUnits) {
  const float nan_with_payload = std::bit_cast<float>(0x7FC01234u);
  for (float v : {0.0f, -0.0f, -3.25f, 0.1f, nan_with_payload}) {
    EXPECT_EQ(std::bit_cast<uint32_t>(ToPoints("Px", v)), std::bit_cast<uint32_t>(v));
    EXPECT_EQ(std::bit_cast<uint32_t>(ToUnit("Px", v)), std::bit_cast<uint32_t>(v));
  }
  for (const char* unit : {"inch", "MM", "", "Pixels", "Inch "})
    EXPECT_EQ(UnitNamed(unit), std::nullopt) << unit;
  for (Unit unit : {Unit::Px, Unit::Inch, Unit::mm, Unit::cm, Unit::m})
    EXPECT_EQ(UnitNamed(NameOf(unit)), unit);
}

TEST_F(Units, OverflowGivesAnInfinityWithTheInputsSign) {
  EXPECT_EQ(ToPoints("Inch", 1e37f), std::numeric_limits<float>::infinity());
  EXPECT_EQ(ToPoints("Inch", -1e37f), -std::numeric_limits<float>::infinity());
  EXPECT_EQ(ToPoints("m", 1.3e35f), std::numeric_limits<float>::infinity());
  EXPECT_TRUE(std::isfinite(ToPoints("m", 1.1e35f)));
  EXPECT_TRUE(std::isfinite(ToPoints("mm", 1.1e38f)));
  EXPECT_TRUE(std::isfinite(ToUnit("m", std::numeric_limits<float>::max())));
}

const NumberFormat kPoint{".", ","};
const NumberFormat kComma{",", "."};

TEST_F(Units, ShownValuesOfTheExamples) {
  struct Row {
    const char* unit;
    float points;
    const char* shown;
  } rows[] = {
      {"Inch", 72, "1"},         {"mm", 72, "25.3968"}, {"cm", 72, "2.5397"},
      {"m", 72, "0.0254"},       {"Px", 72, "72"},      {"Px", 1234.5677f, "1234.568"},
      {"Inch", 2.25f, "0.0312"},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(ShownValue(ToUnit(r.unit, r.points), kPoint), r.shown) << r.unit << " " << r.points;
  }
}

}  // namespace
}  // namespace frambolist::procs

namespace frambolist::procs {
namespace {

// The fast digits and printf's must agree everywhere they can both be used:
// every single from 10^-4 to 10^7 in a sweep of bit patterns.
TEST(ShownValue, FastDigitsAgreeWithTheCLibraryAcrossTheBoxRange) {
  const NumberFormat point{".", ","};
  for (uint32_t bits = std::bit_cast<uint32_t>(1e-4f); bits <= std::bit_cast<uint32_t>(1e7f);
       bits += 997) {
    const float value = std::bit_cast<float>(bits);
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.7G", static_cast<double>(value));
    std::string expected = buffer;
    if (expected.find('E') != std::string::npos) {
      // %G writes E-05 style too, but keeps trailing zeros in the mantissa.
      const size_t e = expected.find('E');
      std::string mantissa = expected.substr(0, e);
      if (mantissa.find('.') != std::string::npos) {
        while (mantissa.back() == '0') mantissa.pop_back();
        if (mantissa.back() == '.') mantissa.pop_back();
      }
      expected = mantissa + expected.substr(e);
    }
    ASSERT_EQ(GeneralNumber(value, point), expected) << value;
  }
}

}  // namespace
}  // namespace frambolist::procs
