// CONTENT_LENGTH conversion, the budget and the raw content length.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "body_length.h"

#include "case_name.h"

namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

struct LengthCase {
  const char* name;
  const char* text;
  std::int32_t value;
};

const LengthCase kLengthCases[] = {
    {"plain", "1234", 1234},
    {"leading_blanks_and_plus", " \t+42", 42},
    {"negative", "-17", -17},
    {"stops_at_non_digit", "12abc", 12},
    {"no_digits", "abc", 0},
    {"empty", "", 0},
    {"largest", "2147483647", kMax},
    {"beyond_32_bits_saturates", "99999999999", kMax},
    {"below_32_bits_saturates", "-99999999999", kMin},
};

class ParseContentLength : public testing::TestWithParam<LengthCase> {};

TEST_P(ParseContentLength, AsTheBoxConvertsIt) { EXPECT_EQ(GetParam().value, parse_content_length(GetParam().text)); }

INSTANTIATE_TEST_SUITE_P(Texts, ParseContentLength, testing::ValuesIn(kLengthCases), CaseName());

TEST(Budget, ReducedByLineLengthAndSaturatesAtTheLowest) {
  EXPECT_EQ(90, reduce_budget(100, 10));
  EXPECT_EQ(-1, reduce_budget(0, 1));
  EXPECT_EQ(kMin, reduce_budget(kMin + 5, 1022));
  EXPECT_EQ(kMin, reduce_budget(kMin, 1));
}

TEST(Boundary, EverythingAfterTheFirstBoundaryKey) {
  EXPECT_STREQ("XyZ", find_boundary("multipart/form-data; boundary=XyZ"));
  EXPECT_STREQ("a; boundary=b", find_boundary("multipart/form-data; boundary=a; boundary=b"));
  EXPECT_STREQ("", find_boundary("boundary="));
  EXPECT_EQ(nullptr, find_boundary("multipart/form-data"));
  EXPECT_EQ(nullptr, find_boundary("multipart/form-data; Boundary=x"));
  EXPECT_EQ(nullptr, find_boundary(nullptr));
}

TEST(RawContentLength, RemainingBodyLessBoundaryAndClosingPart) {
  // "content" + "\r\n--" + "XyZ" + "--\r\n": 7 + 4 + 3 + 4.
  EXPECT_EQ(7, raw_content_length(18, "XyZ"));
  EXPECT_EQ(0, raw_content_length(11, "XyZ"));
  EXPECT_EQ(-1, raw_content_length(10, "XyZ"));
  EXPECT_LT(raw_content_length(kMin, "XyZ"), 0);
}

}  // namespace
