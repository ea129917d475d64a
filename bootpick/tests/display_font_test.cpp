// The bitmap font: the fixed glyphs exactly, and the row rules of every class
// of glyph (blank first and last rows, base line 15, capitals, digits, small
// letters, descenders), so that a regenerated table cannot break the layout.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <set>

#include "draw.h"

namespace {

using Rows = std::array<uint16_t, kGlyphHeight>;

static_assert(sizeof Font12x22 == 4224);

Rows Glyph(int code)
{
    Rows rows{};
    const unsigned char *g = Font12x22 + (code - 32) * 44;
    for (int r = 0; r < kGlyphHeight; ++r) rows[r] = static_cast<uint16_t>(g[2 * r] << 8 | g[2 * r + 1]);
    return rows;
}

struct Ink {
    int top = -1, bottom = -1;
};

Ink InkRows(const Rows &rows)
{
    Ink ink;
    for (int r = 0; r < kGlyphHeight; ++r) {
        if (rows[r] == 0) continue;
        if (ink.top < 0) ink.top = r;
        ink.bottom = r;
    }
    return ink;
}

TEST(Font, FixedGlyphsAreExact)
{
    struct {
        const char *name;
        int code;
        Rows rows;
    } const cases[] = {
        {"X", 'X', {0x0000, 0x0000, 0xF070, 0x6020, 0x3040, 0x3880, 0x1880, 0x0D00, 0x0600, 0x0600,
                    0x0B00, 0x1180, 0x11C0, 0x20C0, 0x4060, 0xE0F0}},
        {"0", '0', {0x0000, 0x0700, 0x0F80, 0x1180, 0x10C0, 0x30C0, 0x30C0, 0x30C0, 0x30C0, 0x30C0,
                    0x30C0, 0x30C0, 0x3080, 0x1880, 0x1F00, 0x0E00}},
        {"space", ' ', {}},
        {"underscore", '_', {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFFF0, 0xFFF0}},
        {"code 127", 127, {0, 0, 0, 0, 0, 0x3FC0, 0x3FC0, 0x3FC0, 0x3FC0, 0x3FC0, 0x3FC0, 0x3FC0,
                           0x3FC0, 0x3FC0, 0x3FC0, 0x3FC0, 0x3FC0}},
    };
    for (const auto &c : cases) EXPECT_EQ(Glyph(c.code), c.rows) << c.name;
    // The layout itself: glyph of code c at byte (c - 32) * 44, high byte first.
    EXPECT_EQ(Font12x22[('X' - 32) * 44 + 4], 0xF0);
    EXPECT_EQ(Font12x22[('X' - 32) * 44 + 5], 0x70);
}

TEST(Font, EveryGlyphKeepsToTheCell)
{
    std::set<Rows> seen;
    for (int code = 32; code < 128; ++code) {
        SCOPED_TRACE(code);
        const Rows rows = Glyph(code);
        EXPECT_EQ(rows[0], 0) << "row 0 blank";
        EXPECT_EQ(rows[21], 0) << "row 21 blank";
        for (uint16_t row : rows) EXPECT_EQ(row & 0x000F, 0) << "bits 3 to 0 unused";
        if (code != ' ') {
            EXPECT_NE(InkRows(rows).top, -1) << "only the space is blank";
            EXPECT_TRUE(seen.insert(rows).second) << "no two characters look alike";
        }
    }
}

struct RowRule {
    const char *name;
    const char *chars;
    int highest_top, lowest_top;        // the first inked row lies in this range
    int highest_bottom, lowest_bottom;  // and the last one in this
};

TEST(Font, GlyphClassesKeepTheirRows)
{
    const RowRule rules[] = {
        {"capitals stand in rows 2 to 15", "ABCDEFGHIJKLMNOPQRSTUVWXYZ", 2, 2, 15, 15},
        {"digits stand in rows 1 to 15", "0123456789", 1, 2, 15, 15},
        {"small letters begin at row 6", "acemnorsuvwxz", 6, 6, 15, 15},
        {"descenders reach below the base line", "gpqy", 6, 6, 16, 20},
        {"ascenders rise above the small letters", "bdfhkl", 2, 5, 15, 15},
        {"dotted small letters", "i", 2, 5, 15, 15},
        {"dotted with descender", "j", 2, 5, 16, 20},
        {"other signs stay within rows 1 to 20", "!\"#$%&'()*+,-./:;<=>?@[\\]^`{|}~", 1, 20, 1, 20},
    };
    for (const RowRule &rule : rules) {
        for (const char *p = rule.chars; *p; ++p) {
            const Ink ink = InkRows(Glyph(*p));
            EXPECT_TRUE(ink.top >= rule.highest_top && ink.top <= rule.lowest_top)
                << rule.name << ": '" << *p << "' begins at row " << ink.top;
            EXPECT_TRUE(ink.bottom >= rule.highest_bottom && ink.bottom <= rule.lowest_bottom)
                << rule.name << ": '" << *p << "' ends at row " << ink.bottom;
        }
    }
}

}  // namespace
