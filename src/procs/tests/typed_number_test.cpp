#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>

#include "procs/shown_value.h"
#include "procs/typed_number.h"

namespace frambolist::procs {
namespace {

const NumberFormat kPoint{".", ","};
const NumberFormat kComma{",", "."};
const NumberFormat kSpaceGroup{",", "\xC2\xA0"};       // no-break space, as some locales group
const NumberFormat kBlankGroup{",", " "};              // a plain space, which Windows allows
const NumberFormat kNarrowGroup{".", "\xE2\x80\xAF"};  // narrow no-break space
const NumberFormat kSameSeparators{".", "."};
const NumberFormat kDefaultSeparators{};  // until the user's settings are read: en-US          // a
                                          // user's odd choice: no grouping

TEST(TypedNumber, AcceptsTheGrammarUnderTheUsersSeparators) {
  struct Row {
    const char* text;
    const NumberFormat& format;
    float value;
  } rows[] = {
      {"2", kPoint, 2},
      {"  -3  ", kPoint, -3},
      {"+12.5", kPoint, 12.5f},
      {"12,5", kComma, 12.5f},
      {"1,234.5", kPoint, 1234.5f},
      {"1.234,5", kComma, 1234.5f},
      {"1,2,3", kPoint, 123},
      {".5", kPoint, 0.5f},
      {"5.", kPoint, 5},
      {",25", kComma, 0.25f},
      {"1e3", kPoint, 1000},
      {"2.5E-2", kPoint, 0.025f},
      {"1E+2", kPoint, 100},
      {"\t7\t", kPoint, 7},
      {"-0", kPoint, -0.0f},
      {"1\xC2\xA0"
       "000,5",
       kSpaceGroup, 1000.5f},
      {"3.4028235e38", kPoint, std::numeric_limits<float>::max()},
      {"1.5", kComma, 15},  // a group separator, as Windows reads it there
      {"1e-50", kPoint, 0},
      {"1e-99999999999999999999", kPoint, 0},
      {"1000e-400", kPoint, 0},
      {"1.5", kSameSeparators, 1.5f},
      {"1,234.5", kDefaultSeparators, 1234.5f},
      // Blanks around the number are never part of it, whatever the group
      // separator: the trailing one is no group.
      {"12 ", kBlankGroup, 12},
      {" 12", kBlankGroup, 12},
      {" 1 234,5  ", kBlankGroup, 1234.5f},
      {"45\xC2\xA0", kSpaceGroup, 45},
      {"\xC2\xA0-3", kPoint, -3},
      {"12\xE2\x80\xAF", kNarrowGroup, 12},
      {"\xE2\x80\xAF"
       "1\xE2\x80\xAF"
       "000.25",
       kNarrowGroup, 1000.25f},
  };
  for (const Row& r : rows) {
    EXPECT_TRUE(IsNumericText(r.text, r.format)) << r.text;
    auto v = TextToSingle(r.text, r.format);
    ASSERT_TRUE(v.ok()) << r.text;
    EXPECT_EQ(v.value(), r.value) << r.text;
  }
}

TEST(TypedNumber, RejectsEverythingElseAsTypeMismatch) {
  struct Row {
    const char* text;
    const NumberFormat& format;
  } rows[] = {
      {"", kPoint},      {"   ", kPoint},       {"abc", kPoint},       {"NaN", kPoint},
      {"inf", kPoint},   {"-inf", kPoint},      {"&H10", kPoint},      {"0x10", kPoint},
      {"-", kPoint},     {".", kPoint},         {",", kPoint},         {"1,", kPoint},
      {",1", kPoint},    {"1,,2", kPoint},      {"1.2.3", kPoint},     {"1e", kPoint},
      {"1e+", kPoint},   {"e5", kPoint},        {"5-", kPoint},        {"$5", kPoint},
      {"(5)", kPoint},   {"1 2", kPoint},       {"+-1", kPoint},       {"1.5,2", kPoint},
      {"12abc", kPoint}, {"1 ,5", kBlankGroup}, {"12 a", kBlankGroup}, {"\xC2", kPoint},
  };
  for (const Row& r : rows) {
    EXPECT_FALSE(IsNumericText(r.text, r.format)) << r.text;
    auto v = TextToSingle(r.text, r.format);
    ASSERT_FALSE(v.ok()) << r.text;
    EXPECT_EQ(v.error().number, 13) << r.text;
  }
}

TEST(TypedNumber, BeyondTheSingleRangeIsAnOverflowNotAnInfinity) {
  const std::string whole_too_large = "1" + std::string(400, '0') + "e-10";
  for (const char* text : {"3.5e38", "-1e39", "3.40282357e38", "9.99e38", "1e400", "0.001e400",
                           "1e99999999999999999999", "99999999999999999999999999999999999999999",
                           whole_too_large.c_str()}) {
    EXPECT_TRUE(IsNumericText(text, kPoint)) << text;
    auto v = TextToSingle(text, kPoint);
    ASSERT_FALSE(v.ok()) << text;
    EXPECT_EQ(v.error().number, 6) << text;
  }
}

TEST(TypedNumber, ReadsTheNearestSingleUpToTheEdgesOfItsRange) {
  const std::string long_one = "1" + std::string(400, '0') + "e-400";
  const std::string long_tiny = "0." + std::string(45, '0') + "71";
  struct Row {
    std::string text;
    float value;
  } rows[] = {
      {"3.4028234e38", std::numeric_limits<float>::max()},
      {"-3.40282356e38", -std::numeric_limits<float>::max()},  // rounds down, in range
      {"7.1e-46", std::numeric_limits<float>::denorm_min()},   // above half the least
      {long_tiny, std::numeric_limits<float>::denorm_min()},
      {"7e-46", 0},  // below half the least: zero, not an error
      {"1e-46", 0},
      {"-1e-99999999999999999999", -0.0f},
      {long_one, 1},
      {"0.000000000000000000000000000000000000000000000000001e50", 0.1f},
      {"16777217", 16777216},  // half-way between two singles: to even
      {"16777219", 16777220},
  };
  for (const Row& r : rows) {
    auto v = TextToSingle(r.text, kPoint);
    ASSERT_TRUE(v.ok()) << r.text;
    EXPECT_EQ(v.value(), r.value) << r.text;
    EXPECT_EQ(std::signbit(v.value()), std::signbit(r.value)) << r.text;
  }
}

TEST(TypedNumber, TheTextOfAShownValueReadsBackAsTheRoundedValue) {
  std::mt19937 random(12345);
  std::uniform_real_distribution<float> below_thousand(-999.99f, 999.99f);
  for (const NumberFormat* format : {&kPoint, &kComma}) {
    for (int i = 0; i < 20000; ++i) {
      const float x = below_thousand(random);
      auto back = TextToSingle(ShownValue(x, *format), *format);
      ASSERT_TRUE(back.ok());
      ASSERT_EQ(back.value(), RoundToFourDecimals(x) + 0.0f) << x;
    }
  }
}

}  // namespace
}  // namespace frambolist::procs
