// The framebuffer device seam: the few calls through which the display layer
// reaches the Linux framebuffer (open, the screen-information and colour-map
// requests, the mapping). The default device is the Linux driver, or the
// virtual framebuffer when the path names a regular file; tests put in a fake.
#pragma once

#include <cstdint>

struct FbDevice {
    // Opens the device for reading and writing: a descriptor, or -1 with errno set.
    int (*open)(const char *path);
    // A request whose argument is a record: 0 (or the driver's result), -1 with errno.
    int (*request)(int fd, unsigned long code, void *arg);
    // A request whose argument is passed by value (the graphics driver's blend level).
    int (*request_value)(int fd, unsigned long code, unsigned long value);
    // Maps length bytes from offset 0, readable, writable and shared: the
    // address, or null with errno set.
    unsigned char *(*map)(int fd, uint32_t length);
};

// The Linux framebuffer driver, with the virtual framebuffer for regular files.
extern const FbDevice kLinuxFbDevice;

// The device the display layer uses; kLinuxFbDevice unless a test replaced it.
const FbDevice &CurrentFbDevice();
// Test seam: use the given device from now on (null: the Linux device again).
void UseFbDevice(const FbDevice *device);

// The virtual framebuffer file: the screen memory of a 720 x 576 x 8 PAL screen
// followed by the colour map as the last FBIOPUTCMAP sent it (red, green, blue,
// transp; 256 entries each, unsigned 16-bit little-endian).
inline constexpr uint32_t kVirtualScreenSize = 720 * 576;
inline constexpr uint32_t kVirtualColorMapSize = 4 * 256 * 2;
inline constexpr uint32_t kVirtualFileSize = kVirtualScreenSize + kVirtualColorMapSize;
static_assert(kVirtualScreenSize == 414720 && kVirtualFileSize == 416768);
