// bootpick: the boot menu program. Sets up the TV screen, builds the boot menu
// (IP settings submenu, WEB, FLASH on the right box, the list file's lines),
// lets the viewer choose with the remote control, writes /tmp/interfaces and
// prints the chosen entry's parameter as one line for the start-up scripts.
//
//   bootpick [list-file [default-line]]
#include "draw.h"
#include "framebuffer.h"
#include "menurun.h"
#include "menutree.h"
#include "netsettings.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr const char *kFrameBufferPath = "/dev/fb/0";
constexpr int kScreenWidth = 720;
constexpr int kScreenHeight = 576;
constexpr int kScreenDepth = 8;

// The colour map: entry 0 is what the screen is left in; 1 and 2 are the menu's
// background and text; 3 is the background again, so that the additive
// highlight band (+1) turns text 2 on 1 into 3 on 2, inverse video.
struct PaletteEntry {
    int index;
    uint32_t rgb;
    uint16_t transparency;
};
constexpr PaletteEntry kPalette[] = {
    {0, 0x000000, 0xFFFF},
    {1, 0x101040, 0},
    {2, 0x808080, 0},
    {3, 0x101040, 0},
    {4, 0xF8F800, 0},
};
static_assert(sizeof kPalette / sizeof kPalette[0] == 5);
static_assert(kPalette[1].rgb == kPalette[3].rgb, "highlighted text shows in the background colour");

// List file: at most 11 lines, each read into a zero-filled 41-byte buffer
// with a 40-byte limit (39 characters and the zero).
constexpr int kListEntriesMax = 11;
constexpr size_t kListLineBuffer = 41;
constexpr int kListLineLimit = 40;
static_assert(kListLineLimit < static_cast<int>(kListLineBuffer));
// The program's menu fits the menu table: 72 fixed entries, FLASH and the list.
static_assert(72 + 1 + kListEntriesMax < kMenuSlots);

constexpr const char *kBoxWithFlash = "VX4410";

// The choices' parameters; the menu hands one of them back.
char web_parm[] = "WEB";
char flash_parm[] = "FLASH";

// The network settings: the submenu's entries point straight into this record
// for the whole run, so what the viewer edits is what is written.
NetSettings net_settings;

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// One row cell per character of an address field: editable where the field
// holds a digit now, fixed otherwise; the last cell closes the row.
void add_address_cells(char *field)
{
    for (size_t i = 0; i < kAddressChars; ++i) {
        uint32_t type = MENU_ROW | (is_digit(field[i]) ? MENU_DIGIT : MENU_SKIP);
        if (i == kAddressChars - 1) {
            type |= MENU_CLOSE;
        }
        menu_add(&field[i], type, &field[i]);
    }
}

// The list file's lines as further top-level choices; returns the entry that
// equals default_line (the last one that does), or null.
MenuEntry *add_list_entries(const char *path, const char *default_line)
{
    FILE *list = fopen(path, "r");
    if (list == nullptr) {
        return nullptr;
    }
    MenuEntry *chosen = nullptr;
    for (int n = 0; n < kListEntriesMax; ++n) {
        // The buffer stays with its menu entry until the program ends.
        char *line = static_cast<char *>(calloc(kListLineBuffer, 1));
        if (line == nullptr) {
            break;
        }
        if (fgets(line, kListLineLimit, list) == nullptr) {
            free(line);
            break;
        }
        char *newline = strrchr(line, '\n');
        if (newline != nullptr) {
            *newline = '\0';
        }
        MenuEntry *entry = menu_add(line, MENU_SELECT, line);
        if (default_line != nullptr && strcmp(line, default_line) == 0) {
            chosen = entry;
        }
    }
    fclose(list);
    return chosen;
}

}  // namespace

int main(int argc, char **argv)
{
    net_settings_default(net_settings);

    InitFrameBuffer(kFrameBufferPath);
    if (SetMode(kScreenWidth, kScreenHeight, kScreenDepth) != 0) {
        fputs("Error setting up fb\n", stderr);
        return 1;
    }

    read_interfaces(net_settings);

    for (const PaletteEntry &entry : kPalette) {
        SetPaletteEntry(entry.index, entry.rgb, entry.transparency);
    }
    UploadPalette();

    menu_reset();
    MenuEntry *first = menu_add("BOOTMENU", MENU_LABEL, nullptr);
    menu_add("", MENU_LABEL, nullptr);
    menu_add("Change IP settings                  -->", MENU_OPEN, nullptr);
    menu_add("CHANGE IP SETTINGS", MENU_LABEL, nullptr);
    menu_add("", MENU_LABEL, nullptr);
    menu_add("Use DHCP :", MENU_OPEN | MENU_NARROW, nullptr);
    menu_add("", MENU_CLOSE | MENU_ROW | MENU_CHECKBOX, &net_settings.use_dhcp);
    menu_add("IP address:", MENU_OPEN | MENU_NARROW, nullptr);
    add_address_cells(net_settings.address);
    menu_add("IP broadcast:", MENU_OPEN | MENU_NARROW, nullptr);
    add_address_cells(net_settings.broadcast);
    menu_add("IP netmask:", MENU_OPEN | MENU_NARROW, nullptr);
    add_address_cells(net_settings.netmask);
    // Closes the submenu too: the entry after its row is a top-level one.
    menu_add("IP gateway:", MENU_OPEN | MENU_NARROW | MENU_CLOSE, nullptr);
    add_address_cells(net_settings.gateway);
    MenuEntry *chosen = menu_add("Enter WEB mode", MENU_SELECT, web_parm);

    const char *box_type = getenv("BOX_TYPE");
    if ((box_type != nullptr && strcmp(box_type, kBoxWithFlash) == 0) || getenv("FAKE_4410") != nullptr) {
        chosen = menu_add("Boot FLASH image", MENU_SELECT, flash_parm);
    }

    if (argc > 1) {
        MenuEntry *listed = add_list_entries(argv[1], argc > 2 ? argv[2] : nullptr);
        if (listed != nullptr) {
            chosen = listed;
        }
    }

    const char *choice = static_cast<const char *>(menu_run(first, chosen));

    write_interfaces(net_settings);
    FillBox(0, 0, kScreenWidth, kScreenHeight, 0);
    FreeBackground();
    printf("%s\n", choice);
    return 0;
}
