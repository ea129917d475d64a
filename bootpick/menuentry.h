// One entry of the boot menu and its type flags: the record that the menu
// tree links and lays out and that the interaction draws and walks.
#pragma once

#include <cstddef>
#include <cstdint>

struct MenuEntry {
    const char *Text;   // label; never null ("" for blank lines and the check box)
    void *Parm;         // choice string, edited character or check box byte; not owned
    uint32_t Type;      // MENU_* flags
    MenuEntry *Prev;    // previous sibling
    MenuEntry *Next;    // next sibling
    MenuEntry *Chld;    // first child
    MenuEntry *Prnt;    // parent; the root for top-level entries, none for the root
    int32_t Levl;       // depth: -1 root, 0 top level, parent's + 1 below
    int32_t PosX;       // left edge on the screen, pixels
    int32_t PosY;       // top edge on the screen, pixels
    int32_t RevX;       // width of the highlight band, pixels (always 24 high)
};

// The eleven fields, in this order and nothing else (pointers are 4 bytes on
// the box, 8 on a 64-bit development host).
static_assert(offsetof(MenuEntry, Text) == 0);
static_assert(offsetof(MenuEntry, Parm) == sizeof(void *));
static_assert(offsetof(MenuEntry, Type) == 2 * sizeof(void *));
static_assert(offsetof(MenuEntry, Prev) < offsetof(MenuEntry, Next));
static_assert(offsetof(MenuEntry, Next) < offsetof(MenuEntry, Chld));
static_assert(offsetof(MenuEntry, Chld) < offsetof(MenuEntry, Prnt));
static_assert(offsetof(MenuEntry, Levl) == offsetof(MenuEntry, Prnt) + sizeof(void *));
static_assert(offsetof(MenuEntry, RevX) == offsetof(MenuEntry, Levl) + 3 * sizeof(int32_t));
static_assert(sizeof(void *) != 4 || sizeof(MenuEntry) == 44, "44-byte record on the box");

// Type flags.
inline constexpr uint32_t MENU_LABEL = 0x001;     // never landed on moving up; passed over entering a list
inline constexpr uint32_t MENU_SELECT = 0x002;    // a choice: OK at the top level ends the menu
inline constexpr uint32_t MENU_DIGIT = 0x004;     // editable character cell
inline constexpr uint32_t MENU_CHECKBOX = 0x008;  // check box over the byte at Parm
inline constexpr uint32_t MENU_NARROW = 0x010;    // 240-pixel band: a row of cells stands to the right
inline constexpr uint32_t MENU_SKIP = 0x020;      // fixed character cell, passed over by moves
inline constexpr uint32_t MENU_ROW = 0x040;       // laid out right of its predecessor
inline constexpr uint32_t MENU_OPEN = 0x080;      // the next entry added is the first child
inline constexpr uint32_t MENU_CLOSE = 0x100;     // the next entry added climbs out of this group

// Entries drawn as the one character at Parm.
inline constexpr uint32_t MENU_CHAR_MASK = MENU_DIGIT | MENU_SKIP;
// Entries that fill one character cell and get a 12-pixel band.
inline constexpr uint32_t MENU_CELL_MASK = MENU_DIGIT | MENU_CHECKBOX | MENU_SKIP;

static_assert(MENU_CHAR_MASK == 0x24 && MENU_CELL_MASK == 0x2C);
// Nine disjoint single bits (their sum equals their union), none above 0x100.
static_assert((MENU_LABEL | MENU_SELECT | MENU_DIGIT | MENU_CHECKBOX | MENU_NARROW | MENU_SKIP |
               MENU_ROW | MENU_OPEN | MENU_CLOSE) == 0x1FF);
static_assert(MENU_LABEL + MENU_SELECT + MENU_DIGIT + MENU_CHECKBOX + MENU_NARROW + MENU_SKIP +
              MENU_ROW + MENU_OPEN + MENU_CLOSE == 0x1FF);
