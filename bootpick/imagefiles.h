// Image, palette and background files of the display layer: small images
// drawn onto the screen, palette files filling colour-map entries, and the
// full-screen background that areas of the screen are restored from.
#pragma once

#include <cstdint>

// Background images are full PAL screens.
inline constexpr int kBackgroundWidth = 720;
inline constexpr int kBackgroundHeight = 576;
inline constexpr int kBackgroundSize = kBackgroundWidth * kBackgroundHeight;
// Longest image row read from a file.
inline constexpr int kIconRowBuffer = 768;

void SetImagePath(const char *prefix);
void SetBackgroundColor(int32_t color);
void UseBackground(uint8_t flag);
int LoadIcon(const char *name, int x, int y, int offset);
int LoadIcon4(const char *name, int x, int y, int offset);
void LoadPalette(const char *name, int first, int last);
int ReadIcon(const char *name, unsigned char *buffer);
int SaveIcon(const char *name, const unsigned char *buffer);
int LoadBackground(const char *name, int offset);
void RestoreBackground(int x, int y, int width, int height);
void RestoreBackgroundBox(int x1, int y1, int x2, int y2);
void ClearScreen();
