// Drawing primitives over the mapped screen: pixels, lines, filled rectangles,
// rectangle copies, the additive colour shift and the 12 x 22 bitmap font.
// Every operation writes colour-map indices straight into screen memory; rows
// go as whole runs of bytes, lines and glyphs pixel by pixel. Nothing is
// clipped: the callers keep every pixel on the visible screen.
#include "draw.h"

#include <cstring>

#include "framebuffer.h"

namespace {

// The byte of pixel (x, y); the row stride is the device's line length.
unsigned char *PixelAt(int x, int y)
{
    return frame_buffer.screen + static_cast<long>(y) * frame_buffer.line_length + x;
}

// Bresenham walk along the major axis a (the other axis is b). The walk starts
// at the end with the smaller major coordinate; plot receives (a, b).
template <typename Plot>
void Bresenham(int a1, int b1, int a2, int b2, Plot plot)
{
    if (a1 > a2) {
        int t = a1; a1 = a2; a2 = t;
        t = b1; b1 = b2; b2 = t;
    }
    const int major = a2 - a1;
    const int minor = b2 > b1 ? b2 - b1 : b1 - b2;
    const int step = b2 < b1 ? -1 : 1;
    int decision = 2 * minor - major;
    int a = a1;
    int b = b1;
    plot(a, b);
    while (a < a2) {
        ++a;
        if (decision < 0) {
            decision += 2 * minor;
        } else {
            decision += 2 * (minor - major);
            b += step;
        }
        plot(a, b);
    }
}

}  // namespace

void SetPixel(int x, int y, int color)
{
    *PixelAt(x, y) = static_cast<unsigned char>(color);
}

void FillRect(int x, int y, int width, int height, int color)
{
    if (width <= 0 || height <= 0) return;
    unsigned char *row = PixelAt(x, y);
    for (int r = 0; r < height; ++r, row += frame_buffer.line_length)
        memset(row, color & 0xFF, static_cast<size_t>(width));
}

void FillBox(int x1, int y1, int x2, int y2, int color)
{
    FillRect(x1, y1, x2 - x1, y2 - y1, color);
}

void DrawVLine(int x, int y, int length, int color)
{
    if (length <= 0) return;
    unsigned char *p = PixelAt(x, y);
    for (int r = 0; r < length; ++r, p += frame_buffer.line_length)
        *p = static_cast<unsigned char>(color);
}

void DrawVLineTo(int x, int y1, int y2, int color)
{
    DrawVLine(x, y1, y2 - y1, color);
}

void DrawHLine(int x, int length, int y, int color)
{
    if (length <= 0) return;
    memset(PixelAt(x, y), color & 0xFF, static_cast<size_t>(length));
}

void DrawHLineTo(int x1, int x2, int y, int color)
{
    DrawHLine(x1, x2 - x1, y, color);
}

void DrawLine(int x1, int y1, int x2, int y2, int color)
{
    const int dx = x1 > x2 ? x1 - x2 : x2 - x1;
    const int dy = y1 > y2 ? y1 - y2 : y2 - y1;
    if (dx > dy)
        Bresenham(x1, y1, x2, y2, [color](int x, int y) { SetPixel(x, y, color); });
    else
        Bresenham(y1, x1, y2, x2, [color](int y, int x) { SetPixel(x, y, color); });
}

void GetRect(int x, int y, int width, int height, unsigned char *buffer)
{
    if (width <= 0 || height <= 0) return;
    const unsigned char *row = PixelAt(x, y);
    for (int r = 0; r < height; ++r, row += frame_buffer.line_length, buffer += width)
        memcpy(buffer, row, static_cast<size_t>(width));
}

void PutRect(int x, int y, int width, int height, const unsigned char *buffer)
{
    if (width <= 0 || height <= 0) return;
    unsigned char *row = PixelAt(x, y);
    for (int r = 0; r < height; ++r, row += frame_buffer.line_length, buffer += width)
        memcpy(row, buffer, static_cast<size_t>(width));
}

void AddToRect(int x, int y, int width, int height, int delta)
{
    if (width <= 0 || height <= 0) return;
    unsigned char *row = PixelAt(x, y);
    for (int r = 0; r < height; ++r, row += frame_buffer.line_length)
        for (int c = 0; c < width; ++c)
            row[c] = static_cast<unsigned char>(row[c] + static_cast<unsigned>(delta));
}

void DrawChar(int x, int y, int fg, int bg, int code)
{
    const unsigned index = static_cast<unsigned char>(static_cast<unsigned>(code) - 32u);
    if (index >= kGlyphCount) return;
    const unsigned char *glyph = Font12x22 + index * kGlyphHeight * 2;
    unsigned char *row = PixelAt(x, y);
    for (int r = 0; r < kGlyphHeight; ++r, row += frame_buffer.line_length) {
        // Each row is a 16-bit word stored high byte first; bit 15 is the left pixel.
        const unsigned bits = (glyph[2 * r] << 8) | glyph[2 * r + 1];
        for (int c = 0; c < kGlyphWidth; ++c)
            row[c] = static_cast<unsigned char>((bits >> (15 - c)) & 1 ? fg : bg);
    }
}

void DrawString(int x, int y, int fg, int bg, const char *text)
{
    for (; *text != '\0'; ++text, x += kGlyphWidth)
        DrawChar(x, y, fg, bg, static_cast<unsigned char>(*text));
}

void DrawCheckBox(int x, int y, int fg, int bg, int flag)
{
    DrawChar(x, y, fg, bg, flag ? 'X' : ' ');
    DrawVLine(x, y, kGlyphHeight, fg);
    DrawVLine(x + kGlyphWidth, y, kGlyphHeight, fg);
    DrawHLine(x, kGlyphWidth, y, fg);
    DrawHLine(x, kGlyphWidth, y + kGlyphHeight, fg);
}
