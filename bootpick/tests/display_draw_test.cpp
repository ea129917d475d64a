// Drawing primitives over an in-memory screen: exact areas, pixels outside
// every operation untouched, the Bresenham pixel list, the additive highlight,
// glyphs and the check box.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "display_support.h"
#include "draw.h"

namespace display_test {
namespace {

using DrawTest = ScreenTest;

// One drawing call and the rectangle it must paint in one colour (an empty
// rectangle: nothing may change).
struct AreaCase {
    const char *name;
    std::function<void()> draw;
    int x, y, width, height, value;
};

TEST_F(DrawTest, AreasAreExactAndNothingElseChanges)
{
    const AreaCase cases[] = {
        {"FillRect", [] { FillRect(10, 20, 3, 2, 7); }, 10, 20, 3, 2, 7},
        {"FillRect height 0", [] { FillRect(10, 20, 3, 0, 7); }, 0, 0, 0, 0, 0},
        {"FillRect negative height", [] { FillRect(10, 20, 3, -4, 7); }, 0, 0, 0, 0, 0},
        {"FillRect width 0", [] { FillRect(10, 20, 0, 5, 7); }, 0, 0, 0, 0, 0},
        {"FillBox end corner excluded", [] { FillBox(10, 20, 13, 22, 7); }, 10, 20, 3, 2, 7},
        {"FillBox x1 equal x2", [] { FillBox(10, 20, 10, 30, 7); }, 0, 0, 0, 0, 0},
        {"FillBox y2 equal y1", [] { FillBox(10, 20, 30, 20, 7); }, 0, 0, 0, 0, 0},
        {"FillBox y2 above y1", [] { FillBox(10, 20, 30, 15, 7); }, 0, 0, 0, 0, 0},
        {"FillBox last row and column", [] { FillBox(715, 570, 720, 576, 9); }, 715, 570, 5, 6, 9},
        {"colour 257 draws index 1", [] { FillRect(0, 0, 2, 2, 257); }, 0, 0, 2, 2, 1},
        {"colour -1 draws index 255", [] { FillRect(0, 0, 2, 2, -1); }, 0, 0, 2, 2, 255},
        {"SetPixel", [] { SetPixel(719, 575, 3); }, 719, 575, 1, 1, 3},
        {"SetPixel colour 258", [] { SetPixel(4, 5, 258); }, 4, 5, 1, 1, 2},
        {"DrawHLine", [] { DrawHLine(5, 4, 9, 2); }, 5, 9, 4, 1, 2},
        {"DrawHLine length 0", [] { DrawHLine(5, 0, 9, 2); }, 0, 0, 0, 0, 0},
        {"DrawHLineTo", [] { DrawHLineTo(5, 9, 9, 2); }, 5, 9, 4, 1, 2},
        {"DrawHLineTo x1 equal x2", [] { DrawHLineTo(5, 5, 9, 2); }, 0, 0, 0, 0, 0},
        {"DrawVLine", [] { DrawVLine(5, 9, 3, 4); }, 5, 9, 1, 3, 4},
        {"DrawVLine length 0", [] { DrawVLine(5, 9, 0, 4); }, 0, 0, 0, 0, 0},
        {"DrawVLine negative length", [] { DrawVLine(5, 9, -3, 4); }, 0, 0, 0, 0, 0},
        {"DrawVLineTo", [] { DrawVLineTo(5, 9, 12, 260); }, 5, 9, 1, 3, 4},
        {"DrawVLineTo y2 above y1", [] { DrawVLineTo(5, 12, 9, 4); }, 0, 0, 0, 0, 0},
    };
    for (const AreaCase &c : cases) {
        SCOPED_TRACE(c.name);
        std::fill(memory_.begin(), memory_.end(), kUntouched);
        c.draw();
        EXPECT_EQ(Changed(), Rect(c.x, c.y, c.width, c.height, c.value));
    }
}

TEST_F(DrawTest, FillBoxCoversTheWholeScreenAndNotTheStride)
{
    FillBox(0, 0, kWidth, kHeight, 5);
    EXPECT_EQ(Changed(), Rect(0, 0, kWidth, kHeight, 5));
}

struct LineCase {
    const char *name;
    int x1, y1, x2, y2;
    std::vector<Pixel> pixels;  // row by row
};

TEST_F(DrawTest, DrawLineGivesTheSamePixelsInBothDirections)
{
    const LineCase cases[] = {
        {"single point", 7, 8, 7, 8, {{7, 8, 6}}},
        {"x major, gentle slope", 0, 0, 4, 2, {{0, 0, 6}, {1, 1, 6}, {2, 1, 6}, {3, 2, 6}, {4, 2, 6}}},
        {"diagonal", 0, 0, 3, 3, {{0, 0, 6}, {1, 1, 6}, {2, 2, 6}, {3, 3, 6}}},
        {"y major", 0, 0, 2, 4, {{0, 0, 6}, {1, 1, 6}, {1, 2, 6}, {2, 3, 6}, {2, 4, 6}}},
        {"x major, minor falling", 0, 4, 4, 2, {{3, 2, 6}, {4, 2, 6}, {1, 3, 6}, {2, 3, 6}, {0, 4, 6}}},
        {"y major, minor falling", 4, 0, 2, 4, {{4, 0, 6}, {3, 1, 6}, {3, 2, 6}, {2, 3, 6}, {2, 4, 6}}},
        {"horizontal", 2, 5, 5, 5, {{2, 5, 6}, {3, 5, 6}, {4, 5, 6}, {5, 5, 6}}},
        {"vertical", 3, 1, 3, 3, {{3, 1, 6}, {3, 2, 6}, {3, 3, 6}}},
    };
    for (const LineCase &c : cases) {
        SCOPED_TRACE(c.name);
        std::fill(memory_.begin(), memory_.end(), kUntouched);
        DrawLine(c.x1, c.y1, c.x2, c.y2, 6);
        EXPECT_EQ(Changed(), c.pixels) << "forwards";
        std::fill(memory_.begin(), memory_.end(), kUntouched);
        DrawLine(c.x2, c.y2, c.x1, c.y1, 6);
        EXPECT_EQ(Changed(), c.pixels) << "backwards";
    }
}

TEST_F(DrawTest, GetRectAndPutRectCopyPackedRows)
{
    At(700, 574) = 1, At(701, 574) = 2, At(702, 574) = 3;
    At(700, 575) = 4, At(701, 575) = 5, At(702, 575) = 6;
    Snapshot();
    unsigned char buffer[8];
    memset(buffer, 0x77, sizeof buffer);
    GetRect(700, 574, 3, 2, buffer);
    const unsigned char packed[8] = {1, 2, 3, 4, 5, 6, 0x77, 0x77};
    EXPECT_EQ(0, memcmp(buffer, packed, sizeof packed)) << "rows packed without gaps, no more";
    EXPECT_TRUE(Changed().empty()) << "GetRect only reads";

    PutRect(10, 20, 3, 2, buffer);
    EXPECT_EQ(Changed(), (std::vector<Pixel>{{10, 20, 1}, {11, 20, 2}, {12, 20, 3},
                                             {10, 21, 4}, {11, 21, 5}, {12, 21, 6}}));

    Snapshot();
    memset(buffer, 0x77, sizeof buffer);
    GetRect(700, 574, 3, 0, buffer);
    PutRect(10, 20, 3, -1, packed);
    EXPECT_EQ(buffer[0], 0x77) << "height 0 copies nothing";
    EXPECT_TRUE(Changed().empty());
}

TEST_F(DrawTest, AddToRectWrapsAndIsUndoneBySubtracting)
{
    // Every byte value in the rectangle, 255 among them.
    for (int y = 100; y < 104; ++y)
        for (int x = 200; x < 264; ++x) At(x, y) = static_cast<unsigned char>((y - 100) * 64 + x - 200);
    Snapshot();

    AddToRect(200, 100, 64, 4, 1);
    std::vector<Pixel> expected;
    for (int v = 0; v < 256; ++v) expected.push_back({200 + v % 64, 100 + v / 64, (v + 1) & 0xFF});
    EXPECT_EQ(Changed(), expected) << "every pixel of the rectangle, 255 becoming 0";

    AddToRect(200, 100, 64, 4, -1);
    EXPECT_TRUE(Changed().empty()) << "-1 restores every pixel";

    AddToRect(200, 100, 64, 0, 1);
    AddToRect(200, 100, 0, 4, 1);
    AddToRect(200, 100, -3, 4, 1);
    EXPECT_TRUE(Changed().empty()) << "empty rectangles change nothing";
}

TEST_F(DrawTest, HighlightSwapsTextAndMenuBackground)
{
    FillRect(0, 0, 40, 22, 1);
    DrawString(0, 0, 2, 1, "Ok");
    AddToRect(0, 0, 40, 22, 1);
    for (int y = 0; y < 22; ++y)
        for (int x = 0; x < 40; ++x) ASSERT_TRUE(At(x, y) == 2 || At(x, y) == 3) << x << "," << y;
    EXPECT_EQ(At(0, 0), 2) << "background 1 shown in 2";
}

// The pixels of glyph `code` drawn at (x, y): foreground where its bits are set.
std::vector<Pixel> GlyphPixels(int code, int x, int y, int fg, int bg)
{
    std::vector<Pixel> pixels;
    const unsigned char *glyph = Font12x22 + (code - 32) * kGlyphHeight * 2;
    for (int r = 0; r < kGlyphHeight; ++r) {
        const int bits = glyph[2 * r] << 8 | glyph[2 * r + 1];
        for (int c = 0; c < kGlyphWidth; ++c)
            pixels.push_back({x + c, y + r, (bits & (0x8000 >> c)) ? fg : bg});
    }
    return pixels;
}

TEST_F(DrawTest, DrawCharIsOpaqueAndStaysInItsCell)
{
    DrawChar(0, 0, 2, 1, 'X');
    EXPECT_EQ(At(0, 2), 2);
    EXPECT_EQ(At(0, 0), 1);
    EXPECT_EQ(Changed(), GlyphPixels('X', 0, 0, 2, 1));

    std::fill(memory_.begin(), memory_.end(), kUntouched);
    DrawChar(708, 554, 258, 257, 'g');
    EXPECT_EQ(Changed(), GlyphPixels('g', 708, 554, 2, 1)) << "last cell, colours by their low byte";

    std::fill(memory_.begin(), memory_.end(), kUntouched);
    DrawChar(30, 40, 2, 1, 'X' + 256);
    EXPECT_EQ(Changed(), GlyphPixels('X', 30, 40, 2, 1)) << "the code's low 8 bits";
}

TEST_F(DrawTest, DrawCharOutsideThePrintableCodesDrawsNothing)
{
    for (int code : {0, 31, 128, 200, 255, 256 + 31, -1}) {
        DrawChar(50, 50, 2, 1, code);
        EXPECT_TRUE(Changed().empty()) << "code " << code;
    }
}

TEST_F(DrawTest, DrawStringAdvancesTwelvePixelsPerByte)
{
    DrawString(24, 10, 2, 1, "A\x80" "b\x1f");
    std::vector<Pixel> expected;
    for (const Pixel &p : GlyphPixels('A', 24, 10, 2, 1)) expected.push_back(p);
    for (const Pixel &p : GlyphPixels('b', 48, 10, 2, 1)) expected.push_back(p);
    std::sort(expected.begin(), expected.end(),
              [](const Pixel &a, const Pixel &b) { return a.y != b.y ? a.y < b.y : a.x < b.x; });
    EXPECT_EQ(Changed(), expected) << "gap at 36..47 keeps the old pixels, nothing after b";

    Snapshot();
    DrawString(0, 0, 2, 1, "");
    EXPECT_TRUE(Changed().empty());
}

TEST_F(DrawTest, CheckBoxFramesTheGlyph)
{
    for (int flag : {0, 1, 7}) {
        SCOPED_TRACE(flag);
        std::fill(memory_.begin(), memory_.end(), kUntouched);
        const int x = 100, y = 200;
        DrawCheckBox(x, y, 2, 1, flag);
        std::vector<Pixel> expected = GlyphPixels(flag ? 'X' : ' ', x, y, 2, 1);
        for (Pixel &p : expected)
            if (p.x == x || p.y == y) p.value = 2;  // left and top lines cover the glyph
        for (int r = 0; r < kGlyphHeight; ++r) expected.push_back({x + 12, y + r, 2});
        for (int c = 0; c < kGlyphWidth; ++c) expected.push_back({x + c, y + 22, 2});
        std::sort(expected.begin(), expected.end(),
                  [](const Pixel &a, const Pixel &b) { return a.y != b.y ? a.y < b.y : a.x < b.x; });
        EXPECT_EQ(Changed(), expected);
        EXPECT_EQ(At(x + 12, y + 22), kUntouched) << "the corner stays undrawn";
    }
}

}  // namespace
}  // namespace display_test
