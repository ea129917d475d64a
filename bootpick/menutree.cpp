// The boot menu's tree: adding entries (links, positions, band widths) and
// the diagnostic dump.
#include "menutree.h"

#include "draw.h"

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int32_t kScreenWidth = 720;
constexpr int32_t kScreenHeight = 576;
constexpr int32_t kMenuBackground = 1;

constexpr int32_t kListLeft = 100;     // every list starts at (100, 100)
constexpr int32_t kListTop = 100;
constexpr int32_t kLinePitch = 25;     // list entries one under another
constexpr int32_t kRowOffset = 240;    // first cell of a row, right of its head's left edge
constexpr int32_t kBandWide = 480;
constexpr int32_t kBandNarrow = 240;
constexpr int32_t kBandCell = 12;
static_assert(kBandCell == kGlyphWidth, "a cell's band is one character of the font");

// The line that opens each dumped entry: 82 hyphens.
constexpr char kDumpRule[] = "----------------------------------------------------------------------------------";
static_assert(sizeof kDumpRule == 82 + 1);

int32_t band_width(uint32_t type) {
    if (type & MENU_CELL_MASK) return kBandCell;
    if (type & MENU_NARROW) return kBandNarrow;
    return kBandWide;
}

} // namespace

MenuEntry menu_entries[kMenuSlots];
int32_t menu_cursor = -1;

void menu_reset() {
    MenuEntry &root = menu_entries[0];
    root.Text = "";
    menu_cursor = 0;
    root.Levl = -1;
    root.Chld = &menu_entries[1];
    FillBox(0, 0, kScreenWidth, kScreenHeight, kMenuBackground);
}

MenuEntry *menu_add(const char *text, uint32_t type, void *parm) {
    if (menu_cursor >= kMenuSlots - 1) {
        fprintf(stderr, "Cursor too large for statically allocated buffer: %d\n", int(menu_cursor));
        exit(1);
    }
    MenuEntry &e = menu_entries[menu_cursor + 1];
    MenuEntry *const pred = menu_cursor > 0 ? &menu_entries[menu_cursor] : nullptr;

    // Where the entry is linked follows from the entry before: it becomes the
    // first child of an opening entry, else the next sibling of that entry or,
    // after a closing one, of the nearest ancestor that does not close. This is
    // settled (and a climb out of the root refused) before the slot is touched.
    MenuEntry *sibling = nullptr;
    if (pred && !(pred->Type & MENU_OPEN)) {
        sibling = pred;
        if (pred->Type & MENU_CLOSE) {
            sibling = pred->Prnt;
            while (sibling->Type & MENU_CLOSE) sibling = sibling->Prnt;
            if (!sibling->Prnt) {
                fputs("menu_add: a closing entry closes more groups than are open\n", stderr);
                exit(1);
            }
        }
    }

    ++menu_cursor;
    e.Text = text;
    e.Parm = parm;
    e.Type = type;
    e.Next = nullptr;
    e.Chld = nullptr;

    if (!pred) {
        // The first entry heads the top-level list, whatever its flags.
        e.Prnt = &menu_entries[0];
        e.Prev = nullptr;
        e.Levl = 0;
        e.PosX = kListLeft;
        e.PosY = kListTop;
        e.RevX = kBandWide;
        return &e;
    }

    if (!sibling) {
        pred->Chld = &e;
        e.Prnt = pred;
        e.Prev = nullptr;
        e.Levl = pred->Levl + 1;
        if (type & MENU_ROW) {
            e.PosX = pred->PosX + kRowOffset;
            e.PosY = pred->PosY;
        } else {
            // A child list has a screen of its own.
            e.PosX = kListLeft;
            e.PosY = kListTop;
        }
    } else {
        sibling->Next = &e;
        e.Prev = sibling;
        e.Prnt = sibling->Prnt;
        e.Levl = sibling->Prnt->Levl + 1;
        if (type & MENU_ROW) {
            e.PosX = sibling->PosX + sibling->RevX;
            e.PosY = sibling->PosY;
        } else {
            e.PosX = sibling->PosX;
            e.PosY = sibling->PosY + kLinePitch;
        }
    }
    e.RevX = band_width(type);
    return &e;
}

void menu_dump(const MenuEntry *entry) {
    for (; entry; entry = entry->Next) {
        char tabs[kMenuSlots];
        int depth = entry->Levl > 0 ? int(entry->Levl) : 0;
        if (depth > kMenuSlots - 1) depth = kMenuSlots - 1;
        for (int i = 0; i < depth; ++i) tabs[i] = '\t';
        tabs[depth] = '\0';

        printf("%s\n", kDumpRule);

        printf("%sText = %s\n", tabs, entry->Text);
        printf("%sParm = %p\n", tabs, entry->Parm);
        printf("%sType = 0x%04x\n", tabs, unsigned(entry->Type));
        if (entry->Prev) printf("%sPrev = %s\n", tabs, entry->Prev->Text);
        if (entry->Next) printf("%sNext = %s\n", tabs, entry->Next->Text);
        if (entry->Prnt) printf("%sPrnt = %s\n", tabs, entry->Prnt->Text);
        if (entry->Chld) printf("%sChld = %s\n", tabs, entry->Chld->Text);
        printf("%sLevl = %d\n", tabs, int(entry->Levl));
        printf("%sPosX = %d\n", tabs, int(entry->PosX));
        printf("%sPosY = %d\n", tabs, int(entry->PosY));
        printf("%sRevX = %d\n", tabs, int(entry->RevX));

        if (entry->Chld) menu_dump(entry->Chld);
    }
}
