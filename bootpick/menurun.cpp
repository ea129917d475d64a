// The boot menu on the screen and the remote-control loop over it. The
// highlight is additive (+1 on every pixel of the band), so each band is
// removed exactly once for each time it was added, and anything redrawn
// inside a band is redrawn while the band is off.
#include "menurun.h"

#include "draw.h"
#include "remote.h"

namespace {

constexpr int kScreenWidth = 720;
constexpr int kScreenHeight = 576;
constexpr int kForeground = 2;   // menu text
constexpr int kBackground = 1;   // menu background
constexpr int kBandHeight = 24;
static_assert(kBandHeight == kGlyphHeight + 2, "the band covers the glyphs and two rows below them");
constexpr const char *kMenuKeys = "0123456789UDLRXO";

void clear_screen() { FillBox(0, 0, kScreenWidth, kScreenHeight, kBackground); }

unsigned char *char_at(const MenuEntry *entry) { return static_cast<unsigned char *>(entry->Parm); }

void toggle_checkbox(MenuEntry *entry) {
    menu_unhighlight(entry);
    unsigned char *state = char_at(entry);
    *state = *state == 0 ? 1 : 0;
    DrawCheckBox(entry->PosX, entry->PosY, kForeground, kBackground, *state);
    menu_highlight(entry);
}

MenuEntry *type_digit(MenuEntry *entry, char digit) {
    menu_unhighlight(entry);
    *char_at(entry) = static_cast<unsigned char>(digit);
    DrawChar(entry->PosX, entry->PosY, kForeground, kBackground, static_cast<unsigned char>(digit));
    menu_highlight(entry);
    return menu_next(entry);
}

// The action of one key on the current entry; the result is the new current
// entry, or null when the key chose the entry (the menu ends).
MenuEntry *act(MenuEntry *c, char key) {
    const bool row = c->Type & MENU_ROW;
    switch (key) {
    case 'O':
        if (c->Levl == 0 && (c->Type & MENU_SELECT)) return nullptr;
        if (c->Type & MENU_CHECKBOX) {
            toggle_checkbox(c);
            return c;
        }
        return c->Chld ? menu_enter(c) : menu_back(c);
    case 'U':
        return row ? menu_back(c) : menu_prev(c);
    case 'D':
        return row ? menu_back(c) : menu_next(c);
    case 'L':
        if (row) return menu_prev(c);
        return c->Levl > 0 ? menu_back(c) : c;
    case 'R':
        if (row) return menu_next(c);
        return c->Chld ? menu_enter(c) : c;
    default:   // "X", and the digits
        return (key >= '0' && key <= '9' && (c->Type & MENU_DIGIT)) ? type_digit(c, key) : c;
    }
}

} // namespace

int32_t rc_active = 0;

void menu_draw(const MenuEntry *entry) {
    for (const MenuEntry *l = entry; l; l = l->Next) {
        if (l->Type & MENU_CHAR_MASK)
            DrawChar(l->PosX, l->PosY, kForeground, kBackground, *char_at(l));
        else if (l->Type & MENU_CHECKBOX)
            DrawCheckBox(l->PosX, l->PosY, kForeground, kBackground, *char_at(l));
        else
            DrawString(l->PosX, l->PosY, kForeground, kBackground, l->Text);
        // A row stands beside its head; any other child list has a screen of its own.
        if (l->Chld && (l->Chld->Type & MENU_ROW)) menu_draw(l->Chld);
    }
}

void menu_highlight(const MenuEntry *entry) { AddToRect(entry->PosX, entry->PosY, entry->RevX, kBandHeight, 1); }

void menu_unhighlight(const MenuEntry *entry) { AddToRect(entry->PosX, entry->PosY, entry->RevX, kBandHeight, -1); }

MenuEntry *menu_next(MenuEntry *entry) {
    if (!entry->Next) return entry;
    menu_unhighlight(entry);
    MenuEntry *n = entry->Next;
    // One fixed cell is passed over, not two.
    if ((n->Type & MENU_SKIP) && n->Next) n = n->Next;
    menu_highlight(n);
    return n;
}

MenuEntry *menu_prev(MenuEntry *entry) {
    MenuEntry *p = entry->Prev;
    if (!p) return (entry->Type & MENU_ROW) ? menu_back(entry) : entry;
    // The labels at the head of a list stop upward movement.
    if (p->Type & MENU_LABEL) return entry;
    menu_unhighlight(entry);
    if ((p->Type & MENU_SKIP) && p->Prev) p = p->Prev;
    menu_highlight(p);
    return p;
}

MenuEntry *menu_back(MenuEntry *entry) {
    MenuEntry *parent = entry->Prnt;
    if (entry->Levl <= 0 || !parent) return entry;
    if (entry->Type & MENU_ROW) {
        // The row's head is on the same screen.
        menu_unhighlight(entry);
        menu_highlight(parent);
        return parent;
    }
    // Back to the list that holds the parent; the fill erases the old band.
    clear_screen();
    menu_draw(parent->Prnt->Chld);
    menu_highlight(parent);
    return parent;
}

MenuEntry *menu_enter(MenuEntry *entry) {
    MenuEntry *c = entry->Chld;
    if (!c) return entry;
    menu_unhighlight(entry);
    if (!(c->Type & MENU_ROW)) {
        clear_screen();
        menu_draw(c);
    }
    // Headings and blank lines at the top of a submenu are passed over.
    while ((c->Type & MENU_LABEL) && c->Next) c = c->Next;
    menu_highlight(c);
    return c;
}

void *menu_run(MenuEntry *first, MenuEntry *current) {
    clear_screen();
    menu_draw(first);
    menu_highlight(current);
    if (rc_active == 0) {
        // No key within the first wait: the default is chosen. A key that
        // ends the wait stays queued and is the first one acted on.
        if (rc_init() == 0) return current->Parm;
        rc_active = 1;
    }
    for (;;) {
        MenuEntry *next = act(current, rc_getkey(kMenuKeys));
        if (!next) return current->Parm;
        current = next;
    }
}
