// The boot menu on the screen: drawing the lists, the additive highlight
// band, the moves of the current entry and the remote-control loop.
#pragma once

#include "menuentry.h"

#include <cstdint>

// Set once the first wait of the remote control has seen a key; from then on
// menu_run neither opens the remote again nor times out.
extern int32_t rc_active;

// Draws the sibling list that starts at entry, with the rows beside their heads.
void menu_draw(const MenuEntry *entry);
// Add / remove the entry's band: +1 / -1 on RevX x 24 pixels at (PosX, PosY).
void menu_highlight(const MenuEntry *entry);
void menu_unhighlight(const MenuEntry *entry);
// Moves of the current entry; each returns the new current entry, the same
// one when the move is not possible.
MenuEntry *menu_next(MenuEntry *entry);
MenuEntry *menu_prev(MenuEntry *entry);
MenuEntry *menu_back(MenuEntry *entry);
MenuEntry *menu_enter(MenuEntry *entry);
// Shows the list from first with current highlighted and runs the keys until
// a top-level choice; returns its Parm (current's after 5 s without a key).
void *menu_run(MenuEntry *first, MenuEntry *current);
