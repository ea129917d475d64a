// The settings files: the exact bytes of the interfaces file that is written,
// and how the reader handles long lines and lines with several keys.
#include "netsettings.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

// A private directory for the files of one test, removed afterwards.
class NetFiles : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(mkdtemp(dir_), nullptr) << "cannot create a temporary directory";
        path_ = std::string(dir_) + "/interfaces";
    }
    void TearDown() override
    {
        unlink(path_.c_str());
        rmdir(dir_);
    }
    std::string Slurp() const
    {
        std::string content;
        FILE *f = fopen(path_.c_str(), "rb");
        if (f == nullptr) {
            ADD_FAILURE() << "no file " << path_;
            return content;
        }
        char buf[512];
        size_t n;
        while ((n = fread(buf, 1, sizeof buf, f)) > 0) {
            content.append(buf, n);
        }
        fclose(f);
        return content;
    }
    void Put(const std::string &content) const
    {
        FILE *f = fopen(path_.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        ASSERT_EQ(fwrite(content.data(), 1, content.size(), f), content.size());
        ASSERT_EQ(fclose(f), 0);
    }
    char dir_[32] = "/tmp/net_files_test.XXXXXX";
    std::string path_;
};

const char kDhcpFile[] =
    "auto lo\niface lo inet loopback\n\n"
    "auto eth0\niface eth0 inet dhcp\n";

TEST_F(NetFiles, DefaultsWriteTheDhcpFile)
{
    NetSettings s;
    memset(&s, 0x55, sizeof s);
    net_settings_default(s);
    EXPECT_EQ(s.use_dhcp, 1);
    EXPECT_EQ(std::string(s.address, kAddressField), std::string("010.000.000.024", kAddressField));
    EXPECT_EQ(std::string(s.broadcast, kAddressField), std::string("010.000.000.255", kAddressField));
    EXPECT_EQ(std::string(s.netmask, kAddressField), std::string("255.255.255.000", kAddressField));
    EXPECT_EQ(std::string(s.gateway, kAddressField), std::string("010.000.000.001", kAddressField));

    write_interfaces_to(s, path_.c_str());
    const std::string written = Slurp();
    EXPECT_EQ(written.size(), 63u);
    EXPECT_EQ(written, kDhcpFile);
}

TEST_F(NetFiles, StaticFileHasGatewayBeforeNetmask)
{
    NetSettings s;
    net_settings_default(s);
    s.use_dhcp = 0;
    memcpy(s.address, "192.168.001.010", kAddressChars);
    memcpy(s.broadcast, "192.168.001.255", kAddressChars);
    memcpy(s.netmask, "255.255.255.000", kAddressChars);
    memcpy(s.gateway, "192.168.001.001", kAddressChars);
    write_interfaces_to(s, path_.c_str());
    const std::string written = Slurp();
    EXPECT_EQ(written.size(), 167u);
    EXPECT_EQ(written,
              "auto lo\niface lo inet loopback\n\n"
              "auto eth0\niface eth0 inet static\n"
              "\taddress 192.168.001.010\n"
              "\tbroadcast 192.168.001.255\n"
              "\tgateway 192.168.001.001\n"
              "\tnetmask 255.255.255.000\n");
}

TEST_F(NetFiles, AnyNonZeroFlagIsDhcpAndAnOldFileIsReplaced)
{
    Put(std::string(400, 'x'));
    NetSettings s;
    net_settings_default(s);
    s.use_dhcp = 0x80;
    write_interfaces_to(s, path_.c_str());
    EXPECT_EQ(Slurp(), kDhcpFile);
}

TEST_F(NetFiles, UnwritablePlaceIsSilent)
{
    NetSettings s;
    net_settings_default(s);
    const std::string inside = path_ + "/no/such/dir";
    write_interfaces_to(s, inside.c_str());
    EXPECT_NE(access(inside.c_str(), F_OK), 0);
}

TEST_F(NetFiles, MissingFileKeepsDefaults)
{
    NetSettings s, defaults;
    net_settings_default(s);
    net_settings_default(defaults);
    read_interfaces_from(s, path_.c_str());
    EXPECT_EQ(memcmp(&s, &defaults, sizeof s), 0);
}

// Files the reader takes apart line by line; a line longer than 1023 bytes is
// handled in parts, each part like a line of its own.
struct ReadCase {
    const char *name;
    std::string content;
    const char *address;
    const char *netmask;
};

const ReadCase kReadCases[] = {
    {"key_split_over_two_parts",
     "iface eth0 inet static\n" + std::string(1019, ' ') + "address 10.1.1.1\n",
     "010.000.000.024", "255.255.255.000"},
    {"value_cut_at_part_end",
     "iface eth0 inet static\n" + std::string(1012, ' ') + "address 10.1.1.1\n",
     "010.000.000.024", "255.255.255.000"},
    {"line_just_fits_one_part",
     "iface eth0 inet static\n" + std::string(1006, ' ') + "address 10.1.1.1\n",
     "010.001.001.001", "255.255.255.000"},
    {"second_part_read_as_a_line",
     "iface eth0 inet static\n" + std::string(1023, 'x') + "netmask 255.0.0.0\n",
     "010.000.000.024", "255.000.000.000"},
    {"second_part_with_hash_is_a_comment",
     "iface eth0 inet static\n" + std::string(1023, 'x') + "#netmask 255.0.0.0\n",
     "010.000.000.024", "255.255.255.000"},
    {"first_key_of_the_order_wins",
     "iface eth0 inet static\n  netmask 255.0.0.0 address 10.9.9.9\n",
     "010.009.009.009", "255.255.255.000"},
    {"unparsable_value_keeps_field",
     "iface eth0 inet static\naddress 10.0.0\nnetmask: 255.0.0.0\n",
     "010.000.000.024", "255.255.255.000"},
    {"no_newline_at_end",
     "iface eth0 inet static\naddress 172.16.5.4",
     "172.016.005.004", "255.255.255.000"},
};

class ReadInterfaces : public NetFiles, public testing::WithParamInterface<ReadCase> {};

TEST_P(ReadInterfaces, Fields)
{
    const ReadCase &c = GetParam();
    Put(c.content);
    NetSettings s;
    net_settings_default(s);
    read_interfaces_from(s, path_.c_str());
    EXPECT_EQ(s.use_dhcp, 0);
    EXPECT_STREQ(s.address, c.address);
    EXPECT_STREQ(s.netmask, c.netmask);
    EXPECT_STREQ(s.broadcast, "010.000.000.255");
    EXPECT_STREQ(s.gateway, "010.000.000.001");
}

INSTANTIATE_TEST_SUITE_P(Table, ReadInterfaces, testing::ValuesIn(kReadCases),
                         [](const testing::TestParamInfo<ReadCase> &p) { return std::string(p.param.name); });

}  // namespace
