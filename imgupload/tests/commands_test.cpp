// The mount and tar commands: exactly the plain commands for ordinary values,
// one literal word for every other value, and the unpack directory checks.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <string_view>

#include "commands.h"

#include "case_name.h"

namespace {

struct MountCase {
  const char* name;
  std::string_view fs_type, options, device;
  std::string_view command;
};

const MountCase kMountCases[] = {
    {"partition", "ext3", "noatime", "/dev/sda1", "mount -t ext3 -o noatime /dev/sda1 /mnt/tmp"},
    {"nfs", "nfs", "nolock,rsize=8192", "10.0.0.2:/srv/images", "mount -t nfs -o nolock,rsize=8192 10.0.0.2:/srv/images /mnt/tmp"},
    {"cifs", "cifs", "user=box,pass=s3cr%t@x", "//server/share",
     "mount -t cifs -o user=box,pass=s3cr%t@x //server/share /mnt/tmp"},
    {"device_with_further_fields", "ext3", "noatime", "/dev/sda1 extra", "mount -t ext3 -o noatime '/dev/sda1 extra' /mnt/tmp"},
    {"empty_options_stay_a_word", "nfs", "", "h:/s", "mount -t nfs -o '' h:/s /mnt/tmp"},
    {"command_substitution", "nfs", "ro", "h:/$(touch /tmp/x)", "mount -t nfs -o ro 'h:/$(touch /tmp/x)' /mnt/tmp"},
    {"semicolon_and_backquote", "cifs", "user=a;reboot,pass=`id`", "//h/s",
     "mount -t cifs -o 'user=a;reboot,pass=`id`' //h/s /mnt/tmp"},
    {"single_quote", "cifs", "user=o'brien,pass=x", "//h/s", "mount -t cifs -o 'user=o'\\''brien,pass=x' //h/s /mnt/tmp"},
    {"only_quotes", "nfs", "''", "h:/s", "mount -t nfs -o ''\\'''\\''' h:/s /mnt/tmp"},
    {"double_quote_and_backslash", "nfs", "a\"b\\c", "h:/s", "mount -t nfs -o 'a\"b\\c' h:/s /mnt/tmp"},
    {"non_ascii", "nfs", "ro", "h:/\xc3\xa9t\xc3\xa9", "mount -t nfs -o ro 'h:/\xc3\xa9t\xc3\xa9' /mnt/tmp"},
};

class MountCommand : public testing::TestWithParam<MountCase> {};

TEST_P(MountCommand, Assembled) {
  const MountCase& c = GetParam();
  std::array<char, kMountCommandSize> out{};
  ASSERT_TRUE(build_mount_command(out, c.fs_type, c.options, c.device));
  EXPECT_EQ(std::string(c.command), std::string(out.data()));
}

INSTANTIATE_TEST_SUITE_P(Values, MountCommand, testing::ValuesIn(kMountCases), CaseName());

TEST(MountCommandSize, LongestQuotedFieldsFit) {
  const std::string quotes(kMountFieldSize - 1, '\'');
  std::array<char, kMountCommandSize> out{};
  ASSERT_TRUE(build_mount_command(out, "cifs", quotes, quotes));
  EXPECT_EQ(std::string("mount -t cifs -o '"), std::string(out.data(), 18));
}

TEST(FixedText, RefusesWhatDoesNotFit) {
  std::array<char, 8> out{};
  FixedText text(out);
  EXPECT_TRUE(text.add("1234567").ok());
  EXPECT_STREQ("1234567", out.data());
  EXPECT_FALSE(text.add("8").ok());
  EXPECT_STREQ("1234567", out.data()) << "nothing cut in";
  std::array<char, 8> small{};
  EXPECT_FALSE(FixedText(small).add_word("a b c d").ok()) << "quoted word of 9 characters";
}

TEST(PlainWord, SafeCharactersOnly) {
  EXPECT_TRUE(is_plain_word("AZaz09._,:=/+@%-"));
  for (std::string_view word : {"", " ", "a b", "a'b", "a\"b", "$x", "a;b", "a|b", "a&b", "`x`", "a*", "a?", "~",
                                "a\\b", "(x)", "a\tb", "a\rb", "#x", "!x", "a<b", "a>b", "[x]", "{x}", "\x80"}) {
    EXPECT_FALSE(is_plain_word(word)) << word;
  }
}

struct TarCase {
  const char* name;
  std::string_view image_name;
  std::string_view command;
};

const TarCase kTarCases[] = {
    {"plain", "rootfs-1.2", "/bin/tar -xzf - -C '/mnt/tmp/images/rootfs-1.2'"},
    {"blank_and_substitution", "a $(reboot) b", "/bin/tar -xzf - -C '/mnt/tmp/images/a $(reboot) b'"},
    {"single_quotes_escaped", "it's", "/bin/tar -xzf - -C '/mnt/tmp/images/it'\\''s'"},
    {"quote_breaking_out", "x'; reboot; '", "/bin/tar -xzf - -C '/mnt/tmp/images/x'\\''; reboot; '\\'''"},
};

class TarCommand : public testing::TestWithParam<TarCase> {};

TEST_P(TarCommand, UnpackDirectoryInQuotes) {
  const TarCase& c = GetParam();
  std::array<char, 1024> dir{};
  std::array<char, kMountCommandSize> command{};
  ASSERT_TRUE(build_unpack_dir(dir, c.image_name));
  EXPECT_EQ("/mnt/tmp/images/" + std::string(c.image_name), std::string(dir.data()));
  ASSERT_TRUE(build_tar_command(command, dir.data()));
  EXPECT_EQ(std::string(c.command), std::string(command.data()));
}

INSTANTIATE_TEST_SUITE_P(Names, TarCommand, testing::ValuesIn(kTarCases), CaseName());

TEST(ImageNameUnpackable, StaysInsideTheImagesDirectory) {
  for (std::string_view name : {"rootfs", "a.b", "...", ".hidden", "a b", "x'y", "$(reboot)"}) {
    EXPECT_TRUE(image_name_unpackable(name)) << name;
  }
  for (std::string_view name : {"", ".", "..", "../etc", "a/b", "/", "a/", "/abs"}) {
    EXPECT_FALSE(image_name_unpackable(name)) << name;
  }
}

}  // namespace
