// Test helper: the boot menu exactly as the program builds it (texts, types,
// order, the IP settings submenu over a settings record, "Boot FLASH image"
// and list-file entries), and an in-memory 720 x 576 screen to draw it on.
#pragma once

#include "menuentry.h"

inline constexpr int kScreenWidth = 720;
inline constexpr int kScreenHeight = 576;
inline constexpr int kScreenBytes = kScreenWidth * kScreenHeight;
inline constexpr int kAddressCells = 15;
inline constexpr int kListMax = 11;

// The network settings the submenu edits: a check box byte and four address
// strings of 15 characters.
struct TestSettings {
    unsigned char use_dhcp;
    char address[16];
    char broadcast[16];
    char netmask[16];
    char gateway[16];
};

// The program's start values: DHCP on and the four default addresses.
void default_settings(TestSettings &settings);
char *settings_field(TestSettings &settings, int row);   // row 0..3: address..gateway

inline constexpr const char *kChangeIpText = "Change IP settings                  -->";
inline constexpr const char *kRowLabels[4] = {"IP address:", "IP broadcast:", "IP netmask:",
                                              "IP gateway:"};

struct BootMenu {
    MenuEntry *first;      // "BOOTMENU"
    MenuEntry *def;        // the entry highlighted at the start
    MenuEntry *blank;
    MenuEntry *change_ip;
    MenuEntry *heading;    // "CHANGE IP SETTINGS"
    MenuEntry *sub_blank;
    MenuEntry *use_dhcp;
    MenuEntry *checkbox;
    MenuEntry *labels[4];
    MenuEntry *cells[4][kAddressCells];
    MenuEntry *web;
    MenuEntry *flash;      // null without "Boot FLASH image"
    MenuEntry *list[kListMax];
    int list_count;
};

// Text of list-file line i (0-based) as the tests' list file would hold it.
const char *list_line(int i);

// menu_reset and the additions in the program's order. With flash the FLASH
// entry is added (and is the default); list_count list lines follow.
BootMenu build_boot_menu(TestSettings &settings, bool flash, int list_count);

// Points the display layer at memory as a 720 x 576 screen, one byte a pixel.
void use_test_screen(unsigned char *memory);
