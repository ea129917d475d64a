// Drawing primitives over the mapped screen and the 12 x 22 bitmap font.
// Colours are colour-map indices; only their low 8 bits are stored.
// Nothing is clipped: callers keep every pixel on the visible screen.
#pragma once

#include <cstdint>

inline constexpr int kGlyphWidth = 12;
inline constexpr int kGlyphHeight = 22;
inline constexpr int kGlyphCount = 96;       // codes 32 to 127
extern const unsigned char Font12x22[kGlyphCount * kGlyphHeight * 2];

void SetPixel(int x, int y, int color);
void FillRect(int x, int y, int width, int height, int color);
void FillBox(int x1, int y1, int x2, int y2, int color);
void DrawVLine(int x, int y, int length, int color);
void DrawVLineTo(int x, int y1, int y2, int color);
void DrawHLine(int x, int length, int y, int color);
void DrawHLineTo(int x1, int x2, int y, int color);
void DrawLine(int x1, int y1, int x2, int y2, int color);
void GetRect(int x, int y, int width, int height, unsigned char *buffer);
void PutRect(int x, int y, int width, int height, const unsigned char *buffer);
void AddToRect(int x, int y, int width, int height, int delta);
void DrawChar(int x, int y, int fg, int bg, int code);
void DrawString(int x, int y, int fg, int bg, const char *text);
void DrawCheckBox(int x, int y, int fg, int bg, int flag);
