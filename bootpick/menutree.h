// The boot menu's tree: a static table of entries, linked and laid out on
// the 720 x 576 screen as each entry is added.
#pragma once

#include "menuentry.h"

#include <cstdint>

// Slot 0 is the root, slots 1 to 99 the entries in the order of addition.
inline constexpr int32_t kMenuSlots = 100;

extern MenuEntry menu_entries[kMenuSlots];
// Slot of the entry added last: -1 before the first menu_reset, 0 after it.
extern int32_t menu_cursor;

// Starts a new menu (only the root) and fills the screen with the menu background.
void menu_reset();
// Adds one entry after the one added last; OPEN and CLOSE of that entry decide
// where it is linked. Ends the program when the table is full.
MenuEntry *menu_add(const char *text, uint32_t type, void *parm);
// Diagnostic print of an entry, its descendants and its later siblings on stdout.
void menu_dump(const MenuEntry *entry);
