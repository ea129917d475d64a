// Network settings of the boot menu: defaults, the address normaliser, the
// reader of /etc/network/interfaces and the writer of /tmp/interfaces.
#include "netsettings.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr char kDefaultAddress[kAddressField] = "010.000.000.024";
constexpr char kDefaultBroadcast[kAddressField] = "010.000.000.255";
constexpr char kDefaultNetmask[kAddressField] = "255.255.255.000";
constexpr char kDefaultGateway[kAddressField] = "010.000.000.001";
static_assert(sizeof kDefaultAddress == 16 && sizeof kDefaultGateway == 16);

// Lines of the interfaces file are handled in parts of at most 1023 bytes.
constexpr int kLineBuffer = 1024;

// The interface line that can switch eth0 to static addresses; only its
// first 15 characters are compared ("inet6" matches too).
constexpr char kEth0Line[] = "iface eth0 inet";
constexpr size_t kEth0LineLength = sizeof kEth0Line - 1;
static_assert(kEth0LineLength == 15);

// Widest rendering of the fourth group: it starts at offset 12 and may take
// 11 characters ("-2147483648") and a terminator.
constexpr size_t kScratch = 24;
static_assert(kScratch >= 12 + 11 + 1);

bool is_blank(char c)
{
    // White space as the C locale classifies it.
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

void net_settings_default(NetSettings &settings)
{
    settings.use_dhcp = 1;
    memcpy(settings.address, kDefaultAddress, kAddressField);
    memcpy(settings.broadcast, kDefaultBroadcast, kAddressField);
    memcpy(settings.netmask, kDefaultNetmask, kAddressField);
    memcpy(settings.gateway, kDefaultGateway, kAddressField);
}

void normalize_ip(const char *text, char *field)
{
    char scratch[kScratch];
    const char *p = text;
    while (is_blank(*p)) {
        ++p;
    }
    for (int group = 0; group < 4; ++group) {
        if (!is_digit(*p)) {
            return;
        }
        uint32_t value = 0;  // wraps modulo 2^32, as the box's 32-bit arithmetic does
        while (is_digit(*p)) {
            value = value * 10u + static_cast<uint32_t>(*p - '0');
            ++p;
        }
        // "%03.3d" renders as "%.3d": a precision makes printf ignore the 0 flag.
        // Three digits with leading zeros; longer renderings are cut by the dot
        // below or by the next group.
        const size_t at = static_cast<size_t>(4 * group);
        snprintf(scratch + at, kScratch - at, "%.3d", static_cast<int32_t>(value));
        scratch[at + 3] = '.';
        if (group < 3) {
            // Whatever ends the digit run is the separator, but the text must go on.
            if (*p == '\0') {
                return;
            }
            ++p;
        }
    }
    memcpy(field, scratch, kAddressChars);
}

void read_interfaces_from(NetSettings &settings, const char *path)
{
    FILE *file = fopen(path, "r");
    if (file == nullptr) {
        return;
    }
    struct Key {
        const char *word;
        char *field;
    };
    // The order of the tests decides between keys on one line.
    const Key keys[] = {
        {"address", settings.address},
        {"broadcast", settings.broadcast},
        {"netmask", settings.netmask},
        {"gateway", settings.gateway},
    };
    char line[kLineBuffer];
    while (fgets(line, sizeof line, file) != nullptr) {
        if (line[0] == '#') {
            continue;  // only a comment in the first column
        }
        if (strncmp(line, kEth0Line, kEth0LineLength) == 0) {
            if (strstr(line, "static") != nullptr) {
                settings.use_dhcp = 0;
            }
            continue;
        }
        if (settings.use_dhcp != 0) {
            continue;
        }
        for (const Key &key : keys) {
            const char *found = strstr(line, key.word);
            if (found != nullptr) {
                normalize_ip(found + strlen(key.word), key.field);
                break;
            }
        }
    }
    fclose(file);
}

void read_interfaces(NetSettings &settings) { read_interfaces_from(settings, kInterfacesInPath); }

void write_interfaces_to(const NetSettings &settings, const char *path)
{
    FILE *file = fopen(path, "w");
    if (file == nullptr) {
        return;
    }
    fputs("auto lo\niface lo inet loopback\n\n", file);
    fputs("auto eth0\niface eth0 inet ", file);
    fprintf(file, "%s\n", settings.use_dhcp != 0 ? "dhcp" : "static");
    if (settings.use_dhcp == 0) {
        // Each field's 15 characters; the 16th byte is always its zero.
        fprintf(file, "\taddress %.15s\n", settings.address);
        fprintf(file, "\tbroadcast %.15s\n", settings.broadcast);
        fprintf(file, "\tgateway %.15s\n", settings.gateway);
        fprintf(file, "\tnetmask %.15s\n", settings.netmask);
    }
    fclose(file);
}

void write_interfaces(const NetSettings &settings) { write_interfaces_to(settings, kInterfacesOutPath); }
