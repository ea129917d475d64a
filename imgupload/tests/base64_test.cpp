// decode_base64_line: groups, pads, skipped characters and dropped partial
// groups, on lines as they come from the body (with their CR LF).
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <string_view>

#include "base64.h"

#include "case_name.h"

namespace {

struct DecodeCase {
  const char* name;
  std::string_view line;
  std::string_view bytes;
};

const DecodeCase kDecodeCases[] = {
    {"three_bytes", "QUJD\r\n", "ABC"},
    {"one_pad_two_bytes", "QUI=\r\n", "AB"},
    {"two_pads_one_byte", "QQ==\r\n", "A"},
    {"incomplete_group_dropped", "QUJDRA\r\n", "ABC"},
    {"several_groups", "SGVsbG8sIHdvcmxk\r\n", "Hello, world"},
    {"pad_after_groups", "SGVsbG8=\r\n", "Hello"},
    {"blanks_and_junk_skipped", " QU\tJ-D*\r\n", "ABC"},
    {"bare_lf_line", "\n", ""},
    {"group_split_by_junk", "Q!U\"J#D\r\n", "ABC"},
    {"plus_and_slash", "+/+/\r\n", "\xfb\xff\xbf"},
    {"all_zero_group", "AAAA\r\n", std::string_view("\0\0\0", 3)},
    {"high_bytes", "AAECA/z9/v8=\r\n", std::string_view("\x00\x01\x02\x03\xfc\xfd\xfe\xff", 8)},
    // Pads where they do not belong never give bytes that were not decoded.
    {"lone_pad_in_incomplete_group", "QQ=\r\n", ""},
    {"pads_before_last_group", "QQ==QUJD\r\n", "AA"},
    {"three_pads", "Q===\r\n", ""},
    {"missing_pad_drops_partial_group", "QUJDQQ=\r\n", "AB"},
    {"no_symbols", "\r\n", ""},
};

class DecodeBase64Line : public testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeBase64Line, DecodesInPlace) {
  const DecodeCase& c = GetParam();
  std::array<char, 1024> buffer{};
  std::memcpy(buffer.data(), c.line.data(), c.line.size());
  const std::size_t n = decode_base64_line(buffer.data(), c.line.size());
  EXPECT_EQ(std::string(c.bytes), std::string(buffer.data(), n));
}

INSTANTIATE_TEST_SUITE_P(Lines, DecodeBase64Line, testing::ValuesIn(kDecodeCases), CaseName());

TEST(DecodeBase64LineLong, LongestLineDecodesEveryByteValue) {
  // The longest line: 1020 symbols (255 groups, 765 bytes), every byte value.
  std::string encoded;
  constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string expected;
  for (int i = 0; i < 765; ++i) expected.push_back(static_cast<char>(i % 256));
  for (std::size_t i = 0; i < expected.size(); i += 3) {
    const unsigned v = (static_cast<unsigned char>(expected[i]) << 16) | (static_cast<unsigned char>(expected[i + 1]) << 8) |
                       static_cast<unsigned char>(expected[i + 2]);
    for (int shift = 18; shift >= 0; shift -= 6) encoded.push_back(kAlphabet[(v >> shift) & 63]);
  }
  encoded += "\r\n";
  ASSERT_EQ(1022u, encoded.size());
  std::array<char, 1024> buffer{};
  std::memcpy(buffer.data(), encoded.data(), encoded.size());
  const std::size_t n = decode_base64_line(buffer.data(), encoded.size());
  EXPECT_EQ(expected, std::string(buffer.data(), n));
}

}  // namespace
