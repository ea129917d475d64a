// Test helper: builds the program's own boot menu over a settings record.
#include "menu_fixture.h"

#include "framebuffer.h"
#include "menutree.h"

#include <cctype>
#include <cstdio>
#include <cstring>

namespace {

char web_parm[] = "WEB";
char flash_parm[] = "FLASH";
char list_lines[kListMax][41];

uint32_t cell_type(char c, bool last) {
    uint32_t type = MENU_ROW | (isdigit(static_cast<unsigned char>(c)) ? MENU_DIGIT : MENU_SKIP);
    return last ? type | MENU_CLOSE : type;
}

} // namespace

void default_settings(TestSettings &s) {
    memset(&s, 0, sizeof s);
    s.use_dhcp = 1;
    strcpy(s.address, "010.000.000.024");
    strcpy(s.broadcast, "010.000.000.255");
    strcpy(s.netmask, "255.255.255.000");
    strcpy(s.gateway, "010.000.000.001");
}

char *settings_field(TestSettings &s, int row) {
    char *fields[4] = {s.address, s.broadcast, s.netmask, s.gateway};
    return fields[row];
}

const char *list_line(int i) {
    // Varied lengths, up to the 39 characters a list entry can hold.
    static const char *const lines[kListMax] = {
        "rescue", "usb stick image", "", "nfs root 10.0.0.1:/srv/box",
        "123456789012345678901234567890123456789", "image 6", "image 7", "image 8",
        "image 9", "image 10", "the last list line"};
    return lines[i];
}

BootMenu build_boot_menu(TestSettings &s, bool flash, int list_count) {
    BootMenu m{};
    menu_reset();
    m.first = menu_add("BOOTMENU", MENU_LABEL, nullptr);
    m.blank = menu_add("", MENU_LABEL, nullptr);
    m.change_ip = menu_add(kChangeIpText, MENU_OPEN, nullptr);
    m.heading = menu_add("CHANGE IP SETTINGS", MENU_LABEL, nullptr);
    m.sub_blank = menu_add("", MENU_LABEL, nullptr);
    m.use_dhcp = menu_add("Use DHCP :", MENU_OPEN | MENU_NARROW, nullptr);
    m.checkbox = menu_add("", MENU_CLOSE | MENU_ROW | MENU_CHECKBOX, &s.use_dhcp);
    for (int row = 0; row < 4; ++row) {
        const uint32_t label_type = MENU_OPEN | MENU_NARROW | (row == 3 ? MENU_CLOSE : 0);
        m.labels[row] = menu_add(kRowLabels[row], label_type, nullptr);
        char *field = settings_field(s, row);
        for (int i = 0; i < kAddressCells; ++i)
            m.cells[row][i] = menu_add(field + i, cell_type(field[i], i == kAddressCells - 1), field + i);
    }
    m.web = menu_add("Enter WEB mode", MENU_SELECT, web_parm);
    m.def = m.web;
    if (flash) {
        m.flash = menu_add("Boot FLASH image", MENU_SELECT, flash_parm);
        m.def = m.flash;
    }
    m.list_count = list_count;
    for (int i = 0; i < list_count; ++i) {
        snprintf(list_lines[i], sizeof list_lines[i], "%s", list_line(i));
        m.list[i] = menu_add(list_lines[i], MENU_SELECT, list_lines[i]);
    }
    return m;
}

void use_test_screen(unsigned char *memory) {
    UseScreenMemory(memory, kScreenWidth, kScreenHeight, kScreenWidth);
}
