// The display state of the boot menu and the framebuffer/palette operations:
// open the device, map the screen, set the mode, keep and upload the colour map.
#pragma once

#include <linux/fb.h>
#include <cstdint>

struct FrameBuffer {
    int32_t fd;
    unsigned char *screen;          // mapped screen memory, null without a mapping
    uint32_t screen_size;           // length of the mapping (the device's smem_len)
    unsigned char *background;      // 720 x 576 background image, owned, or null
    int32_t background_color;       // low byte: colour index where no image covers
    const char *background_name;    // name pointer of the loaded background
    const char *image_path;         // prefix for every image file name
    uint8_t use_background;         // restore from the image (non-zero) or colour
    int32_t xres;
    int32_t yres;
    int32_t line_length;            // bytes from one screen line to the next
    int32_t bpp;
    fb_var_screeninfo var_info;
    fb_var_screeninfo saved_var_info;
    fb_cmap cmap;
    uint16_t red[256];
    uint16_t green[256];
    uint16_t blue[256];
    uint16_t transp[256];
};

// The one display state of the program.
extern FrameBuffer frame_buffer;

void InitFrameBuffer(const char *path);
int SetMode(int32_t width, int32_t height, int32_t bpp);
void SetPaletteEntry(int index, uint32_t rgb, uint16_t transparency);
int UploadPalette();
void BlendPaletteEntry(int index, uint32_t c1, uint32_t c2, int weight);
void SetPaletteGradient(int start, uint32_t c1, uint32_t c2, int count, uint16_t transparency);
void SetPaletteTransparency(int start, int count, uint16_t transparency);
void SetBlendLevel(int32_t level);
void FreeBackground();
int GetFbFd();
int GetLineLength();
unsigned char *GetScreen();

// Test seam: draw into the caller's memory as if it were a mapped screen in the
// given mode (no device involved).
void UseScreenMemory(unsigned char *memory, int32_t xres, int32_t yres, int32_t line_length);
