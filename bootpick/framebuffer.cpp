// The display state of the boot menu and its lowest layer: open the
// framebuffer device, map the screen, set the mode, and keep the 256-entry
// colour map that turns one-byte pixels into colours.
#include "framebuffer.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "fbdevice.h"

FrameBuffer frame_buffer;

namespace {

// The graphics driver's blend-level request, issued with request code 0.
constexpr unsigned long kAviaGtGvSetBlev = 0;

const char kNoName[] = "";

void NotAvailable()
{
    fputs("framebuffer not available.\n", stderr);
}

// The high byte of a 16-bit channel value from an 8-bit one (low byte 0).
constexpr uint16_t Channel(uint32_t rgb, int shift)
{
    return static_cast<uint16_t>(((rgb >> shift) & 0xFF) << 8);
}

}  // namespace

void InitFrameBuffer(const char *path)
{
    FrameBuffer &fb = frame_buffer;
    fb.cmap.start = 0;
    fb.cmap.len = 256;
    fb.cmap.red = fb.red;
    fb.cmap.green = fb.green;
    fb.cmap.blue = fb.blue;
    fb.cmap.transp = fb.transp;
    fb.background_name = kNoName;
    fb.fd = 0;
    fb.screen_size = 0;
    fb.background = nullptr;
    fb.background_color = 0;
    fb.use_background = 0;
    fb.screen = nullptr;

    const FbDevice &device = CurrentFbDevice();
    fb.fd = device.open(path);
    if (fb.fd < 0) {
        perror(path);
        NotAvailable();
        return;
    }
    if (device.request(fb.fd, FBIOGET_VSCREENINFO, &fb.var_info) < 0) {
        perror("FBIOGET_VSCREENINFO");
        NotAvailable();
        return;
    }
    fb.saved_var_info = fb.var_info;
    fb_fix_screeninfo fix{};
    if (device.request(fb.fd, FBIOGET_FSCREENINFO, &fix) < 0) {
        perror("FBIOGET_FSCREENINFO");
        NotAvailable();
        return;
    }
    fb.screen_size = fix.smem_len;
    unsigned char *screen = device.map(fb.fd, fb.screen_size);
    if (screen == nullptr) {
        perror("mmap");
        NotAvailable();
        return;
    }
    fb.screen = screen;
}

int SetMode(int32_t width, int32_t height, int32_t bpp)
{
    FrameBuffer &fb = frame_buffer;
    if (fb.screen == nullptr) return -1;
    const FbDevice &device = CurrentFbDevice();
    fb.var_info.xres = fb.var_info.xres_virtual = static_cast<uint32_t>(width);
    fb.var_info.yres = fb.var_info.yres_virtual = static_cast<uint32_t>(height);
    fb.var_info.bits_per_pixel = static_cast<uint32_t>(bpp);
    if (device.request(fb.fd, FBIOPUT_VSCREENINFO, &fb.var_info) < 0) {
        perror("FBIOPUT_VSCREENINFO");
        return -1;
    }
    const auto got_width = static_cast<int32_t>(fb.var_info.xres);
    const auto got_height = static_cast<int32_t>(fb.var_info.yres);
    const auto got_bpp = static_cast<int32_t>(fb.var_info.bits_per_pixel);
    if (got_width != width || got_height != height || got_bpp != bpp) {
        fprintf(stderr, "SetMode failed: wanted: %dx%dx%d, got %dx%dx%d\n", static_cast<int>(width),
                static_cast<int>(height), static_cast<int>(bpp), static_cast<int>(got_width),
                static_cast<int>(got_height), static_cast<int>(got_bpp));
        return -1;
    }
    fb.xres = got_width;
    fb.yres = got_height;
    fb.bpp = got_bpp;
    fb_fix_screeninfo fix{};
    if (device.request(fb.fd, FBIOGET_FSCREENINFO, &fix) < 0) {
        perror("FBIOGET_FSCREENINFO");
        return -1;
    }
    fb.line_length = static_cast<int32_t>(fix.line_length);
    memset(fb.screen, 0, static_cast<size_t>(fb.line_length) * static_cast<size_t>(fb.yres));
    return 0;
}

void SetPaletteEntry(int index, uint32_t rgb, uint16_t transparency)
{
    frame_buffer.red[index] = Channel(rgb, 16);
    frame_buffer.green[index] = Channel(rgb, 8);
    frame_buffer.blue[index] = Channel(rgb, 0);
    frame_buffer.transp[index] = transparency;
}

int UploadPalette()
{
    frame_buffer.cmap.start = 0;
    frame_buffer.cmap.len = 256;
    return CurrentFbDevice().request(frame_buffer.fd, FBIOPUTCMAP, &frame_buffer.cmap);
}

void BlendPaletteEntry(int index, uint32_t c1, uint32_t c2, int weight)
{
    // Weights run 0 to 255, so each channel is scaled by 255, at most 65025.
    auto blend = [weight](uint32_t a, uint32_t b) {
        return static_cast<uint16_t>((b & 0xFF) * weight + (a & 0xFF) * (255 - weight));
    };
    frame_buffer.red[index] = blend(c1 >> 16, c2 >> 16);
    frame_buffer.green[index] = blend(c1 >> 8, c2 >> 8);
    frame_buffer.blue[index] = blend(c1, c2);
}

void SetPaletteGradient(int start, uint32_t c1, uint32_t c2, int count, uint16_t transparency)
{
    if (count <= 0) return;
    const int step = count > 1 ? 255 / (count - 1) : 0;
    for (int i = 0; i < count; ++i) {
        BlendPaletteEntry(start + i, c1, c2, i * step);
        frame_buffer.transp[start + i] = static_cast<uint16_t>(transparency + i);
    }
}

void SetPaletteTransparency(int start, int count, uint16_t transparency)
{
    for (int i = 0; i < count; ++i)
        frame_buffer.transp[start + i] = transparency;
}

void SetBlendLevel(int32_t level)
{
    if (level > 8) level = 8;
    const unsigned long value = static_cast<unsigned long>((level << 8) | level);
    if (CurrentFbDevice().request_value(frame_buffer.fd, kAviaGtGvSetBlev, value) != 0)
        perror("AVIA_GT_GV_SET_BLEV");
}

void FreeBackground()
{
    if (frame_buffer.background != nullptr) {
        free(frame_buffer.background);
        frame_buffer.background = nullptr;
    }
}

int GetFbFd()
{
    return frame_buffer.fd;
}

int GetLineLength()
{
    return frame_buffer.line_length;
}

unsigned char *GetScreen()
{
    return frame_buffer.screen;
}

void UseScreenMemory(unsigned char *memory, int32_t xres, int32_t yres, int32_t line_length)
{
    frame_buffer.screen = memory;
    frame_buffer.screen_size = static_cast<uint32_t>(line_length) * static_cast<uint32_t>(yres);
    frame_buffer.xres = xres;
    frame_buffer.yres = yres;
    frame_buffer.bpp = 8;
    frame_buffer.line_length = line_length;
}
