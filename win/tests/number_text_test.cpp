// Numbers read and written by the add-in's own conversions agree with the
// standard library's reading and with MinGW's printf, the C library beside
// the DLL (the native tests check the same against glibc).

#include <gtest/gtest.h>

#include "host/testing/decimal_oracle.h"
#include "procs/testing/reading_oracle.h"

namespace frambolist {
namespace {

TEST(NumberText, ReadsAsTheStandardLibraryOverMillionsOfRandomTexts) {
  EXPECT_EQ(procs::testing::FirstDisagreement(3'000'000, 20261207), std::nullopt);
}

TEST(NumberText, WritesAsPrintfOverRandomValuesOfEveryMagnitude) {
  EXPECT_EQ(host::testing::FirstFormattingDisagreement(200'000, 20261207), std::nullopt);
}

}  // namespace
}  // namespace frambolist
