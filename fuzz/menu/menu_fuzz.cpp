// libFuzzer target: a menu built from an arbitrary sequence of menu_add flags,
// then driven by arbitrary keys through the key loop of menu_run.
//
// Input:
//   byte 0       number of additions, 1 + byte % 100 (the 100th finds the table full)
//   byte 1       the entry highlighted at the start: the top-level entry of that
//                number, counted modulo the number of top-level entries
//   3 bytes per addition: the flags as a 16-bit big-endian value masked with
//                0x1FF, then the value of the entry's byte (the character of a
//                cell, the state of a check box)
//   the rest     one key a byte (see fake_remote.cpp)
//
// menu_add ends the program on a full table or on a close that climbs past the
// root; here exit is wrapped at link time and comes back to the target while
// an addition is under way. The drawing calls of the menu are wrapped as well,
// so that the target sees every band added and removed and everything drawn.
// Whenever the menu waits for a key exactly one band is on the screen, and it
// is the band of an entry of the table; nothing is drawn inside a band while
// it is on. When the whole menu lies on the 720 x 576 screen, the screen must
// also equal a replay of everything drawn since the last clear with that one
// band added. A layout reaching further is drawn on a 4096 x 4096 screen;
// inputs whose entries leave even that one are skipped.
#include <csetjmp>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

#include "fake_remote.h"
#include "framebuffer.h"
#include "menuentry.h"
#include "menurun.h"
#include "menutree.h"

// The program's exit and drawing primitives, and the wrappers the linker puts
// in their place (-Wl,--wrap; the drawing primitives by their C++ names).
extern "C" {
[[noreturn]] void __real_exit(int status);
[[noreturn]] void __wrap_exit(int status);
void __real__Z7FillBoxiiiii(int x1, int y1, int x2, int y2, int color);
void __real__Z9AddToRectiiiii(int x, int y, int width, int height, int delta);
void __real__Z8DrawChariiiii(int x, int y, int fg, int bg, int code);
void __real__Z10DrawStringiiiiPKc(int x, int y, int fg, int bg, const char *text);
void __real__Z12DrawCheckBoxiiiii(int x, int y, int fg, int bg, int flag);
void __wrap__Z7FillBoxiiiii(int x1, int y1, int x2, int y2, int color);
void __wrap__Z9AddToRectiiiii(int x, int y, int width, int height, int delta);
void __wrap__Z8DrawChariiiii(int x, int y, int fg, int bg, int code);
void __wrap__Z10DrawStringiiiiPKc(int x, int y, int fg, int bg, const char *text);
void __wrap__Z12DrawCheckBoxiiiii(int x, int y, int fg, int bg, int flag);
}

namespace {

constexpr int kTvWidth = 720;
constexpr int kTvHeight = 576;
constexpr int kTvBytes = kTvWidth * kTvHeight;
constexpr int kLargeSide = 4096;
constexpr int kBandHeight = 24;
constexpr int kGlyphWidth = 12;
constexpr int kGlyphHeight = 22;
constexpr int kCheckBoxWidth = 13;   // the frame's right line lies one column beyond the glyph
constexpr int kCheckBoxHeight = 23;
constexpr int kFirstSlot = 1;
constexpr size_t kHeaderBytes = 2;
constexpr size_t kRecordBytes = 3;
constexpr uint32_t kFlagMask = 0x1FF;
static_assert(kCheckBoxHeight <= kBandHeight);

// Screens: the TV's, a replay of it without bands, and the large one.
unsigned char tv_screen[kTvBytes];
unsigned char replay_screen[kTvBytes];
unsigned char large_screen[kLargeSide * kLargeSide];

// Each entry's own text and value (a character, a check box byte, or a
// one-character choice string); one more for the addition that finds the
// table full.
struct EntryData {
    char text[4];
    char value[2];
};
EntryData entry_data[kMenuSlots + 1];

FILE *report = nullptr;

void require(bool holds, const char *what)
{
    if (holds) return;
    fprintf(report, "menu invariant broken: %s\n", what);
    abort();
}

ssize_t discard(void *, const char *, size_t size) { return static_cast<ssize_t>(size); }

// --- menu_add's exit --------------------------------------------------------

bool adding = false;
int exit_status = 0;
std::jmp_buf add_exit;

// --- What the screen holds ----------------------------------------------------

struct Rect {
    int x, y, width, height;
};

bool overlap(const Rect &a, const Rect &b)
{
    return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height &&
           b.y < a.y + a.height;
}

// The bands on the screen since the last clear, with how often each is on.
constexpr int kLedgerSize = 8;
struct Band {
    Rect rect;
    int count;
};
Band ledger[kLedgerSize];
int ledger_used = 0;
bool replaying = false;   // the layout lies on the TV screen: keep replay_screen

bool is_entry_band(int x, int y, int width)
{
    for (int i = kFirstSlot; i <= menu_cursor; ++i) {
        const MenuEntry &e = menu_entries[i];
        if (e.PosX == x && e.PosY == y && e.RevX == width) return true;
    }
    return false;
}

void note_band(const Rect &rect, int delta)
{
    int i = 0;
    while (i < ledger_used && memcmp(&ledger[i].rect, &rect, sizeof rect) != 0) ++i;
    if (i == ledger_used) {
        require(ledger_used < kLedgerSize, "more bands on the screen than entries can explain");
        ledger[ledger_used++] = {rect, 0};
    }
    ledger[i].count += delta;
    require(ledger[i].count >= 0, "a band removed that was not on the screen");
    require(ledger[i].count <= 1, "a band added twice");
    if (ledger[i].count == 0) ledger[i] = ledger[--ledger_used];
}

void require_outside_bands(const Rect &ink)
{
    for (int i = 0; i < ledger_used; ++i)
        require(!overlap(ink, ledger[i].rect), "drawn inside a band while the band is on");
}

// Rows of the TV screen that a call may have changed since the last check;
// the others still hold what that check compared.
int dirty_top = 0;
int dirty_bottom = kTvHeight;

void mark_dirty(int y, int height)
{
    const int top = y < 0 ? 0 : y;
    const int bottom = y + height > kTvHeight ? kTvHeight : y + height;
    if (top >= bottom) return;
    if (dirty_top >= dirty_bottom) {
        dirty_top = top;
        dirty_bottom = bottom;
        return;
    }
    if (top < dirty_top) dirty_top = top;
    if (bottom > dirty_bottom) dirty_bottom = bottom;
}

// Runs a drawing call on the screen and, while replaying, on the replay.
template <typename Draw>
void draw_both(int y, int height, Draw draw)
{
    draw();
    if (!replaying) return;
    mark_dirty(y, height);
    unsigned char *const screen = frame_buffer.screen;
    frame_buffer.screen = replay_screen;
    draw();
    frame_buffer.screen = screen;
}

// Whenever the menu waits for a key, and when it ends (then over the whole
// screen). Left out of the coverage the fuzzer steers by: it is the checker,
// not the menu, and costly.
__attribute__((no_sanitize("coverage"))) void check_one_band(bool whole_screen)
{
    require(ledger_used == 1, "not exactly one band on the screen");
    if (!replaying) return;
    if (whole_screen) {
        dirty_top = 0;
        dirty_bottom = kTvHeight;
    }
    const Rect &band = ledger[0].rect;
    for (int y = dirty_top; y < dirty_bottom; ++y) {
        const unsigned char *shown = tv_screen + y * kTvWidth;
        const unsigned char *drawn = replay_screen + y * kTvWidth;
        if (y < band.y || y >= band.y + band.height) {
            require(memcmp(shown, drawn, kTvWidth) == 0, "the screen is not what was drawn");
            continue;
        }
        const size_t right = static_cast<size_t>(band.x + band.width);
        require(memcmp(shown, drawn, static_cast<size_t>(band.x)) == 0 &&
                    memcmp(shown + right, drawn + right, kTvWidth - right) == 0,
                "the screen beside the band is not what was drawn");
        unsigned differs = 0;
        for (int x = band.x; x < band.x + band.width; ++x)
            differs |= static_cast<unsigned char>(shown[x] - drawn[x] - 1);
        require(differs == 0, "the band is not what was drawn plus one");
    }
    dirty_top = dirty_bottom = 0;
}

void check_while_waiting() { check_one_band(false); }

// --- Building the menu ----------------------------------------------------------

// Whether adding after the entry added last climbs past the root: that entry
// closes, and so do all its ancestors below the root.
bool climbs_past_root()
{
    if (menu_cursor < kFirstSlot) return false;
    const MenuEntry &last = menu_entries[menu_cursor];
    if ((last.Type & MENU_OPEN) || !(last.Type & MENU_CLOSE)) return false;
    const MenuEntry *s = last.Prnt;
    while (s->Type & MENU_CLOSE) s = s->Prnt;
    return s->Prnt == nullptr;
}

bool in_table(const MenuEntry *e)
{
    return e >= &menu_entries[0] && e <= &menu_entries[menu_cursor];
}

// The links menu_run walks stay in the table and agree with each other.
void check_tree()
{
    for (int i = kFirstSlot; i <= menu_cursor; ++i) {
        const MenuEntry &e = menu_entries[i];
        require(e.Text != nullptr, "an entry without a text");
        require(in_table(e.Prnt) && e.Levl == e.Prnt->Levl + 1, "a parent outside the table or depth");
        require(!e.Next || (in_table(e.Next) && e.Next->Prev == &e && e.Next->Prnt == e.Prnt),
                "next and previous sibling disagree");
        require(!e.Prev || (in_table(e.Prev) && e.Prev->Next == &e), "previous and next sibling disagree");
        require(!e.Chld || (in_table(e.Chld) && e.Chld->Prnt == &e && !e.Chld->Prev),
                "a first child that is not its parent's");
    }
}

// Everything an entry covers: its band, and its text or box where that is wider.
Rect extent(const MenuEntry &e)
{
    int ink = static_cast<int>(strlen(e.Text)) * kGlyphWidth;
    if (e.Type & MENU_CHAR_MASK)
        ink = kGlyphWidth;
    else if (e.Type & MENU_CHECKBOX)
        ink = kCheckBoxWidth;
    return {e.PosX, e.PosY, e.RevX > ink ? e.RevX : ink, kBandHeight};
}

bool menu_within(int width, int height)
{
    for (int i = kFirstSlot; i <= menu_cursor; ++i) {
        const Rect r = extent(menu_entries[i]);
        if (r.x < 0 || r.y < 0 || r.x + r.width > width || r.y + r.height > height) return false;
    }
    return true;
}

// Adds the entries; false when menu_add ended the program.
bool build_menu(const uint8_t *records, int count)
{
    menu_reset();
    for (int i = 0; i < count; ++i) {
        const uint8_t *r = records + kRecordBytes * static_cast<size_t>(i);
        const uint32_t type = (uint32_t{r[0]} << 8 | r[1]) & kFlagMask;
        EntryData &d = entry_data[kFirstSlot + i];
        d.value[0] = static_cast<char>(r[2]);
        d.value[1] = '\0';
        // A cell's text is its character, as in the program's own rows.
        const char *text = (type & MENU_CHAR_MASK) ? d.value : d.text;

        const bool full = menu_cursor >= kMenuSlots - 1;
        const bool past_root = climbs_past_root();
        adding = true;
        if (setjmp(add_exit) != 0) {
            adding = false;
            require(exit_status == 1, "menu_add ended with a status other than 1");
            require(full || past_root, "menu_add ended the program without cause");
            return false;
        }
        menu_add(text, type, d.value);
        adding = false;
        require(!full, "menu_add went on with a full table");
    }
    return true;
}

MenuEntry *top_level_entry(int number)
{
    int count = 0;
    for (MenuEntry *e = menu_entries[0].Chld; e; e = e->Next) ++count;
    int n = number % count;
    MenuEntry *e = menu_entries[0].Chld;
    while (n-- > 0) e = e->Next;
    return e;
}

bool chosen_by_ok(const void *parm)
{
    for (int i = kFirstSlot; i <= menu_cursor; ++i) {
        const MenuEntry &e = menu_entries[i];
        if (e.Parm == parm && e.Levl == 0 && (e.Type & MENU_SELECT)) return true;
    }
    return false;
}

}  // namespace

// --- Link-time replacements -------------------------------------------------------

extern "C" void __wrap_exit(int status)
{
    if (adding) {
        exit_status = status;
        std::longjmp(add_exit, 1);
    }
    __real_exit(status);
}

extern "C" void __wrap__Z7FillBoxiiiii(int x1, int y1, int x2, int y2, int color)
{
    const bool clear = x1 == 0 && y1 == 0 && x2 == kTvWidth && y2 == kTvHeight;
    if (clear)
        ledger_used = 0;   // the fill erases every band
    else
        require_outside_bands({x1, y1, x2 - x1, y2 - y1});
    draw_both(y1, y2 - y1, [=] { __real__Z7FillBoxiiiii(x1, y1, x2, y2, color); });
}

extern "C" void __wrap__Z9AddToRectiiiii(int x, int y, int width, int height, int delta)
{
    require(height == kBandHeight && (delta == 1 || delta == -1) && is_entry_band(x, y, width),
            "a colour shift that is not an entry's band");
    note_band({x, y, width, height}, delta);
    if (replaying) mark_dirty(y, height);
    __real__Z9AddToRectiiiii(x, y, width, height, delta);
}

extern "C" void __wrap__Z8DrawChariiiii(int x, int y, int fg, int bg, int code)
{
    require_outside_bands({x, y, kGlyphWidth, kGlyphHeight});
    draw_both(y, kGlyphHeight, [=] { __real__Z8DrawChariiiii(x, y, fg, bg, code); });
}

extern "C" void __wrap__Z10DrawStringiiiiPKc(int x, int y, int fg, int bg, const char *text)
{
    require_outside_bands({x, y, static_cast<int>(strlen(text)) * kGlyphWidth, kGlyphHeight});
    draw_both(y, kGlyphHeight, [=] { __real__Z10DrawStringiiiiPKc(x, y, fg, bg, text); });
}

extern "C" void __wrap__Z12DrawCheckBoxiiiii(int x, int y, int fg, int bg, int flag)
{
    require_outside_bands({x, y, kCheckBoxWidth, kCheckBoxHeight});
    draw_both(y, kCheckBoxHeight, [=] { __real__Z12DrawCheckBoxiiiii(x, y, fg, bg, flag); });
}

// --- The target -----------------------------------------------------------------

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // Findings go to the real standard error; the program's messages nowhere.
    report = fdopen(dup(2), "w");
    setvbuf(report, nullptr, _IONBF, 0);
    stderr = fopencookie(nullptr, "w", {nullptr, discard, nullptr, nullptr});
    for (int i = 0; i <= kMenuSlots; ++i) snprintf(entry_data[i].text, sizeof entry_data[i].text, "%02d", i);
    fake_remote.waiting = check_while_waiting;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < kHeaderBytes + kRecordBytes) return 0;
    int count = 1 + data[0] % kMenuSlots;
    const size_t records = (size - kHeaderBytes) / kRecordBytes;
    if (static_cast<size_t>(count) > records) count = static_cast<int>(records);
    const size_t keys_at = kHeaderBytes + kRecordBytes * static_cast<size_t>(count);

    // Built on the large screen; menu_run shows it on the TV screen when it fits.
    replaying = false;
    ledger_used = 0;
    dirty_top = 0;
    dirty_bottom = kTvHeight;
    UseScreenMemory(large_screen, kLargeSide, kLargeSide, kLargeSide);
    if (!build_menu(data + kHeaderBytes, count)) return 0;
    check_tree();
    if (menu_within(kTvWidth, kTvHeight)) {
        UseScreenMemory(tv_screen, kTvWidth, kTvHeight, kTvWidth);
        replaying = true;
    } else if (!menu_within(kLargeSide, kLargeSide)) {
        return 0;
    }
    ledger_used = 0;

    MenuEntry *const first = menu_entries[0].Chld;
    MenuEntry *const current = top_level_entry(data[1]);
    fake_remote.keys = data + keys_at;
    fake_remote.count = size - keys_at;
    fake_remote.used = 0;
    fake_remote.inits = 0;
    rc_active = 0;
    if (setjmp(fake_remote.out_of_keys) != 0) {
        check_one_band(true);   // every key was used
        return 0;
    }
    const void *chosen = menu_run(first, current);
    check_one_band(true);
    require(fake_remote.inits == 1, "the first wait not made exactly once");
    if (fake_remote.count == 0)
        require(chosen == current->Parm, "no key, but not the default chosen");
    else
        require(chosen_by_ok(chosen), "the menu ended without a top-level choice");
    return 0;
}
