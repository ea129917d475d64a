// Settings-file lines (NFS, CIFS) and partition-list lines filling the mount
// description.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <string_view>

#include "settings.h"

#include "case_name.h"

namespace {

struct Parsed {
  std::string device, options;
  unsigned seen = 0;
  bool too_long = false;
};

// Lines as the destinations unit hands them over: newline already removed.
Parsed parse(const SettingsFile& file, std::initializer_list<std::string_view> lines) {
  MountDescription mount{};
  Parsed parsed;
  for (std::string_view line : lines) {
    if (apply_setting_line(file, line, mount, parsed.seen) == SettingResult::too_long) parsed.too_long = true;
  }
  parsed.device = mount.mount_device.data();
  parsed.options = mount.mount_options.data();
  return parsed;
}

TEST(NfsSettings, HostShareOpts) {
  const Parsed p = parse(kNfsSettings, {"host=10.0.0.2", "share=/srv/images", "opts=nolock", "# comment"});
  EXPECT_EQ("10.0.0.2:/srv/images", p.device);
  EXPECT_EQ("nolock", p.options);
  EXPECT_EQ(unsigned{key_host | key_share | key_opts}, p.seen);
}

TEST(NfsSettings, ShareBeforeHostIsLostTwoSharesAppend) {
  EXPECT_EQ("h:", parse(kNfsSettings, {"share=/lost", "host=h"}).device);
  EXPECT_EQ("h:/a/b", parse(kNfsSettings, {"host=h", "share=/a", "share=/b"}).device);
  EXPECT_EQ("second:", parse(kNfsSettings, {"host=first", "host=second"}).device);
}

TEST(NfsSettings, KeysComparedAtTheLineStartOnly) {
  const Parsed p = parse(kNfsSettings, {" host=x", "HOST=y", "hostname=z", "user=u"});
  EXPECT_EQ("", p.device);
  EXPECT_EQ(0u, p.seen);
}

TEST(CifsSettings, HostShareUserPass) {
  const Parsed p = parse(kCifsSettings, {"host=server", "share=images", "user=box", "pass=word"});
  EXPECT_EQ("//server/images", p.device);
  EXPECT_EQ("user=box,pass=word", p.options);
  EXPECT_EQ(unsigned{key_host | key_share | key_user | key_pass}, p.seen);
}

TEST(CifsSettings, PassBeforeUserIsLost) {
  EXPECT_EQ("user=box,", parse(kCifsSettings, {"pass=word", "user=box"}).options);
}

TEST(CifsSettings, OptsIsNotACifsKey) { EXPECT_EQ("", parse(kCifsSettings, {"opts=ro"}).options); }

TEST(SettingsLength, LongestValueFitsLongerIsRefusedUntouched) {
  const std::string host_fits = "host=" + std::string(254, 'h');  // 254 + ":" = 255
  const std::string host_too_long = "host=" + std::string(255, 'h');
  EXPECT_EQ(std::string(254, 'h') + ":", parse(kNfsSettings, {host_fits}).device);
  const Parsed refused = parse(kNfsSettings, {"host=h", host_too_long});
  EXPECT_TRUE(refused.too_long);
  EXPECT_EQ("h:", refused.device);

  EXPECT_FALSE(parse(kNfsSettings, {"host=h", "share=" + std::string(253, 's')}).too_long) << "h: plus 253 is 255";
  EXPECT_TRUE(parse(kNfsSettings, {"host=h", "share=" + std::string(254, 's')}).too_long);

  // CIFS options: "user=NAME," then the whole "pass=WORD" line.
  const std::string user = "user=" + std::string(240, 'u');
  EXPECT_FALSE(parse(kCifsSettings, {user, "pass=" + std::string(4, 'p')}).too_long);
  EXPECT_TRUE(parse(kCifsSettings, {user, "pass=" + std::string(5, 'p')}).too_long);
}

struct PartitionCase {
  const char* name;
  std::string_view line;
  std::string_view destination;
  PartitionMatch match;
  std::string_view device;
};

const PartitionCase kPartitionCases[] = {
    {"match", "sda1 /dev/sda1\n", "sda1", PartitionMatch::found, "/dev/sda1"},
    {"prefix_matches_longer_name", "sda10 /dev/sda10\n", "sda1", PartitionMatch::found, "/dev/sda10"},
    {"other_name", "sdb1 /dev/sdb1\n", "sda1", PartitionMatch::other_line, ""},
    {"further_fields_in_device", "data /dev/mtdblock3 extra\n", "data", PartitionMatch::found, "/dev/mtdblock3 extra"},
    {"no_final_newline_loses_a_character", "sda1 /dev/sda1", "sda1", PartitionMatch::found, "/dev/sda"},
    {"no_blank", "sda1\n", "sda1", PartitionMatch::no_blank, ""},
    {"blank_is_last_character", "sda1 ", "sda1", PartitionMatch::no_blank, ""},
    {"empty_device", "sda1 \n", "sda1", PartitionMatch::found, ""},
    {"destination_longer_than_line", "sda\n", "sda1", PartitionMatch::other_line, ""},
    {"exact_case", "SDA1 /dev/sda1\n", "sda1", PartitionMatch::other_line, ""},
};

class PartitionLine : public testing::TestWithParam<PartitionCase> {};

TEST_P(PartitionLine, Matched) {
  const PartitionCase& c = GetParam();
  MountDescription mount{};
  ASSERT_EQ(c.match, match_partition_line(c.line, c.destination, mount));
  EXPECT_EQ(std::string(c.device), std::string(mount.mount_device.data()));
  const bool found = c.match == PartitionMatch::found;
  EXPECT_EQ(found ? "noatime" : "", std::string(mount.mount_options.data()));
  EXPECT_EQ(found ? "ext3" : "", std::string(mount.fs_type.data()));
}

INSTANTIATE_TEST_SUITE_P(Lines, PartitionLine, testing::ValuesIn(kPartitionCases), CaseName());

TEST(PartitionLineLength, LongestDeviceFitsLongerIsRefused) {
  MountDescription mount{};
  EXPECT_EQ(PartitionMatch::found, match_partition_line("p " + std::string(255, 'd') + "\n", "p", mount));
  EXPECT_EQ(PartitionMatch::too_long, match_partition_line("p " + std::string(256, 'd') + "\n", "p", mount));
}

}  // namespace
