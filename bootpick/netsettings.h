// The boot menu's network settings for eth0: the record the IP settings
// submenu edits in place, the dotted-address normaliser, and the two files:
// /etc/network/interfaces (read) and /tmp/interfaces (written).
#pragma once

#include <cstddef>
#include <cstdint>

// Each address field holds 15 characters in the form ddd.ddd.ddd.ddd and a
// zero byte; the submenu's cells point at single characters of these fields.
inline constexpr size_t kAddressChars = 15;
inline constexpr size_t kAddressField = kAddressChars + 1;

struct NetSettings {
    uint8_t use_dhcp;                 // non-zero: DHCP; 0: the static addresses below
    char address[kAddressField];
    char broadcast[kAddressField];
    char netmask[kAddressField];
    char gateway[kAddressField];
};

static_assert(sizeof(NetSettings) == 1 + 4 * kAddressField, "byte-aligned record, no padding");
static_assert(offsetof(NetSettings, address) == 1);
static_assert(offsetof(NetSettings, gateway) == 1 + 3 * kAddressField);

inline constexpr const char *kInterfacesInPath = "/etc/network/interfaces";
inline constexpr const char *kInterfacesOutPath = "/tmp/interfaces";

// DHCP on and the built-in addresses, each with its terminating zero byte.
void net_settings_default(NetSettings &settings);

// Parses the dotted IPv4 address at the start of text and, when four groups
// are found, overwrites the first 15 characters of field (never its 16th).
void normalize_ip(const char *text, char *field);

// Takes over the static eth0 settings of /etc/network/interfaces; a missing
// or unreadable file leaves the record alone.
void read_interfaces(NetSettings &settings);
// Writes the settings as a complete interfaces file to /tmp/interfaces;
// failure is silent.
void write_interfaces(const NetSettings &settings);

// The same two operations on a file named by the caller (tests).
void read_interfaces_from(NetSettings &settings, const char *path);
void write_interfaces_to(const NetSettings &settings, const char *path);
