// The framebuffer device seam: the Linux driver through open, ioctl and mmap,
// and the virtual framebuffer, a regular file that stands in for the driver
// on a development machine (screen memory, then the last colour map sent).
#include "fbdevice.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/fb.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const FbDevice *current_device = nullptr;

// The state of the one virtual framebuffer in use (the last one opened).
struct VirtualScreen {
    int fd = -1;
    fb_var_screeninfo var{};
    uint32_t line_length = 0;
};
VirtualScreen virtual_screen;

void StartVirtualScreen(int fd)
{
    virtual_screen.fd = fd;
    virtual_screen.var = fb_var_screeninfo{};
    virtual_screen.var.xres = virtual_screen.var.xres_virtual = 720;
    virtual_screen.var.yres = virtual_screen.var.yres_virtual = 576;
    virtual_screen.var.bits_per_pixel = 8;
    virtual_screen.line_length = 720;
}

int VirtualPutVar(const fb_var_screeninfo &request)
{
    const uint64_t needed = uint64_t{request.xres_virtual} * request.yres_virtual;
    if (request.bits_per_pixel != 8 || needed > kVirtualScreenSize) {
        errno = EINVAL;
        return -1;
    }
    virtual_screen.var = request;
    virtual_screen.line_length = request.xres_virtual;
    return 0;
}

void VirtualGetFix(fb_fix_screeninfo &fix)
{
    fix = fb_fix_screeninfo{};
    strncpy(fix.id, "virtual fb", sizeof fix.id - 1);
    fix.smem_len = kVirtualScreenSize;
    fix.type = FB_TYPE_PACKED_PIXELS;
    fix.visual = FB_VISUAL_PSEUDOCOLOR;
    fix.line_length = virtual_screen.line_length;
}

// Stores the sent entries of the colour map in the file, each channel value
// as two bytes, low byte first, whatever the byte order of the machine.
int VirtualPutColorMap(int fd, const fb_cmap &cmap)
{
    if (cmap.start > 256 || cmap.len > 256 - cmap.start || !cmap.red || !cmap.green ||
        !cmap.blue) {
        errno = EINVAL;
        return -1;
    }
    const uint16_t *channels[4] = {cmap.red, cmap.green, cmap.blue, cmap.transp};
    for (int k = 0; k < 4; ++k) {
        if (channels[k] == nullptr) continue;  // no transparency sent: keep the old one
        unsigned char bytes[256 * 2];
        for (uint32_t i = 0; i < cmap.len; ++i) {
            bytes[2 * i] = static_cast<unsigned char>(channels[k][i] & 0xFF);
            bytes[2 * i + 1] = static_cast<unsigned char>(channels[k][i] >> 8);
        }
        const off_t at = kVirtualScreenSize + k * 512 + cmap.start * 2;
        const size_t length = cmap.len * 2;
        if (pwrite(fd, bytes, length, at) != static_cast<ssize_t>(length)) {
            if (errno == 0) errno = EIO;
            return -1;
        }
    }
    return 0;
}

int VirtualRequest(int fd, unsigned long code, void *arg)
{
    switch (code) {
    case FBIOGET_VSCREENINFO:
        *static_cast<fb_var_screeninfo *>(arg) = virtual_screen.var;
        return 0;
    case FBIOPUT_VSCREENINFO: {
        auto &var = *static_cast<fb_var_screeninfo *>(arg);
        if (VirtualPutVar(var) != 0) return -1;
        var = virtual_screen.var;
        return 0;
    }
    case FBIOGET_FSCREENINFO:
        VirtualGetFix(*static_cast<fb_fix_screeninfo *>(arg));
        return 0;
    case FBIOPUTCMAP:
        return VirtualPutColorMap(fd, *static_cast<const fb_cmap *>(arg));
    default:
        errno = EINVAL;
        return -1;
    }
}

int LinuxOpen(const char *path)
{
    const int fd = ::open(path, O_RDWR | O_CLOEXEC);
    if (fd < 0) return -1;
    struct stat st;
    if (fstat(fd, &st) != 0) {
        const int saved = errno;
        close(fd);
        errno = saved;
        return -1;
    }
    if (S_ISREG(st.st_mode)) {
        // Extending with zeros keeps what the file already holds.
        if (st.st_size < static_cast<off_t>(kVirtualFileSize) &&
            ftruncate(fd, kVirtualFileSize) != 0) {
            const int saved = errno;
            close(fd);
            errno = saved;
            return -1;
        }
        StartVirtualScreen(fd);
    } else if (fd == virtual_screen.fd) {
        virtual_screen.fd = -1;  // the number now names a real device
    }
    return fd;
}

int LinuxRequest(int fd, unsigned long code, void *arg)
{
    if (fd >= 0 && fd == virtual_screen.fd) return VirtualRequest(fd, code, arg);
    return ioctl(fd, code, arg);
}

int LinuxRequestValue(int fd, unsigned long code, unsigned long value)
{
    if (fd >= 0 && fd == virtual_screen.fd) {
        errno = EINVAL;  // the virtual screen has no graphics driver behind it
        return -1;
    }
    return ioctl(fd, code, value);
}

unsigned char *LinuxMap(int fd, uint32_t length)
{
    void *p = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    return p == MAP_FAILED ? nullptr : static_cast<unsigned char *>(p);
}

}  // namespace

const FbDevice kLinuxFbDevice = {LinuxOpen, LinuxRequest, LinuxRequestValue, LinuxMap};

const FbDevice &CurrentFbDevice()
{
    return current_device ? *current_device : kLinuxFbDevice;
}

void UseFbDevice(const FbDevice *device)
{
    current_device = device;
}
