// normalize_ip: the dotted address parser that turns what the interfaces file
// says into the fixed ddd.ddd.ddd.ddd form of the settings fields.
#include "netsettings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

struct Case {
    const char *name;
    const char *text;
    const char *expected;  // the field's 15 characters; nullptr: left unchanged
};

constexpr char kBefore[] = "abc.def.ghi.jkl";

const Case kCases[] = {
    {"plain", "192.168.1.10", "192.168.001.010"},
    {"all_zero", "0.0.0.0", "000.000.000.000"},
    {"suffix_ignored", "10.0.0.1/24", "010.000.000.001"},
    {"blank_separators", "10 0 0 1", "010.000.000.001"},
    {"any_separator", "1:2/3,4", "001.002.003.004"},
    {"leading_white_space", " \t\v\f\r\n10.0.0.24", "010.000.000.024"},
    {"line_end_after_fourth", "10.1.2.3\n", "010.001.002.003"},
    {"hwaddress_colons", " 00:11:22:33:44:55", "000.011.022.033"},
    {"long_first_group_cut", "1234.5.6.7", "123.005.006.007"},
    {"long_fourth_group_cut", "1.2.3.4567", "001.002.003.456"},
    {"wraps_to_zero", "4294967296.1.1.1", "000.001.001.001"},
    {"wraps_past_2_32", "99999999999.1.1.1", "121.001.001.001"},
    {"wraps_negative_keeps_minus", "3000000000.1.1.1", "-12.001.001.001"},
    {"negative_fourth_group", "1.2.3.2147483648", "001.002.003.-21"},
    {"minus_sign_in_text", "-1.2.3.4", nullptr},
    {"three_groups", "10.0.0", nullptr},
    {"three_groups_and_dot", "10.0.0.", nullptr},
    {"empty_group", "10..0.0.1", nullptr},
    {"colon_before_digits", ": 10.0.0.1", nullptr},
    {"empty", "", nullptr},
    {"blanks_only", "   ", nullptr},
};

class NormalizeIp : public testing::TestWithParam<Case> {};

TEST_P(NormalizeIp, FieldAfterParse)
{
    const Case &c = GetParam();
    char field[kAddressField + 1];
    memcpy(field, kBefore, kAddressChars);
    field[kAddressChars] = '\x7f';      // the field's 16th byte: never written
    field[kAddressChars + 1] = '\x7e';  // beyond the field
    normalize_ip(c.text, field);
    EXPECT_EQ(std::string(field, kAddressChars), std::string(c.expected != nullptr ? c.expected : kBefore));
    EXPECT_EQ(field[kAddressChars], '\x7f');
    EXPECT_EQ(field[kAddressChars + 1], '\x7e');
}

INSTANTIATE_TEST_SUITE_P(Table, NormalizeIp, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<Case> &p) { return std::string(p.param.name); });

}  // namespace
