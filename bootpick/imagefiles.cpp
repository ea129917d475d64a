// Image, palette and background files of the display layer. Every file name
// gets the image path in front of it. An image file is a 5-byte header (width
// and height as 16-bit little-endian numbers, the transparent key) followed by
// rows of 8-bit or 4-bit pixels; a palette file is 3-byte RGB records.
#include "imagefiles.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "draw.h"
#include "framebuffer.h"

namespace {

constexpr int kPathBuffer = 1024;
constexpr int kHeaderSize = 5;
const char kNoName[] = "";

// A descriptor closed when it goes out of scope.
class File {
public:
    explicit File(int fd) : fd_(fd) {}
    File(const File &) = delete;
    File &operator=(const File &) = delete;
    ~File()
    {
        if (fd_ >= 0) close(fd_);
    }
    int fd() const { return fd_; }
    bool ok() const { return fd_ >= 0; }

private:
    int fd_;
};

// The full name of an image file: the image path, then the name. A name too
// long for the buffer is not opened (a cut name could name another file).
struct Path {
    char text[kPathBuffer];
    bool fits;
};

Path JoinPath(const char *name)
{
    Path path;
    const char *prefix = frame_buffer.image_path ? frame_buffer.image_path : "";
    const int length = snprintf(path.text, sizeof path.text, "%s%s", prefix, name);
    path.fits = length >= 0 && length < kPathBuffer;
    return path;
}

int OpenPath(const Path &path, int flags)
{
    if (!path.fits) {
        errno = ENAMETOOLONG;
        return -1;
    }
    return open(path.text, flags | O_CLOEXEC, 0644);
}

// Reads up to length bytes, going on after short reads; the count read.
long ReadFull(int fd, void *buffer, long length)
{
    auto *p = static_cast<unsigned char *>(buffer);
    long done = 0;
    while (done < length) {
        const ssize_t n = read(fd, p + done, static_cast<size_t>(length - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += n;
    }
    return done;
}

void WriteFull(int fd, const void *buffer, long length)
{
    const auto *p = static_cast<const unsigned char *>(buffer);
    long done = 0;
    while (done < length) {
        const ssize_t n = write(fd, p + done, static_cast<size_t>(length - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += n;
    }
}

struct Header {
    int width;   // signed 16-bit values from the file
    int height;
    unsigned char key;
    bool complete;
};

// Sizes are stored little-endian whatever the machine's byte order.
Header ReadHeader(int fd)
{
    unsigned char bytes[kHeaderSize] = {};
    Header header{};
    header.complete = ReadFull(fd, bytes, kHeaderSize) == kHeaderSize;
    header.width = static_cast<int16_t>(static_cast<uint16_t>(bytes[0] | bytes[1] << 8));
    header.height = static_cast<int16_t>(static_cast<uint16_t>(bytes[2] | bytes[3] << 8));
    header.key = bytes[4];
    return header;
}

// A colour index moved by an offset, modulo 256.
unsigned char Shift(unsigned value, int offset)
{
    return static_cast<unsigned char>(value + static_cast<unsigned>(offset));
}

enum class PixelFormat { k8Bit, k4Bit };

// Refuses an image that would overrun the row buffer or draw off the visible
// screen at (x, y): a damaged file must never write outside the screen.
bool IconFits(const Path &path, const Header &h, PixelFormat format, int x, int y)
{
    if (h.height <= 0) return true;  // no rows: nothing is read or drawn
    if (h.width < 0) {
        fprintf(stderr, "error while loading icon: %s - invalid width = %d", path.text, h.width);
        return false;
    }
    const int row_bytes = format == PixelFormat::k8Bit ? h.width : h.width / 2;
    if (row_bytes > kIconRowBuffer) {
        fprintf(stderr, "error while loading icon: %s - row of %d bytes is too long", path.text,
                row_bytes);
        return false;
    }
    const int columns = format == PixelFormat::k8Bit ? h.width : 2 * row_bytes;
    if (columns > 0 && (x < 0 || y < 0 || x > frame_buffer.xres - columns ||
                        y > frame_buffer.yres - h.height)) {
        fprintf(stderr, "error while loading icon: %s - %dx%d at %d,%d is off the screen",
                path.text, h.width, h.height, x, y);
        return false;
    }
    return true;
}

int LoadIconFile(const char *name, int x, int y, int offset, PixelFormat format)
{
    const Path path = JoinPath(name);
    File file(OpenPath(path, O_RDONLY));
    if (!file.ok()) {
        fprintf(stderr, "error while loading icon: %s", path.text);
        return 0;
    }
    const Header h = ReadHeader(file.fd());
    if (!h.complete) return 1;  // no pixels to draw
    if (!IconFits(path, h, format, x, y)) return 0;
    const int row_bytes = format == PixelFormat::k8Bit ? h.width : h.width / 2;
    unsigned char row[kIconRowBuffer];
    for (int r = 0; r < h.height; ++r) {
        // A file that ends early draws its complete rows only.
        if (ReadFull(file.fd(), row, row_bytes) != row_bytes) break;
        for (int i = 0; i < row_bytes; ++i) {
            if (format == PixelFormat::k8Bit) {
                if (row[i] != h.key) SetPixel(x + i, y + r, Shift(row[i], offset));
            } else {
                const int left = row[i] >> 4;
                const int right = row[i] & 0x0F;
                if (left != h.key) SetPixel(x + 2 * i, y + r, Shift(left, offset));
                if (right != h.key) SetPixel(x + 2 * i + 1, y + r, Shift(right, offset));
            }
        }
    }
    return 1;
}

void DropBackground()
{
    FreeBackground();
    frame_buffer.background_name = kNoName;
}

// Restoring from the image needs one; without it areas get the colour.
bool RestoringFromImage()
{
    return frame_buffer.use_background != 0 && frame_buffer.background != nullptr;
}

}  // namespace

void SetImagePath(const char *prefix)
{
    frame_buffer.image_path = prefix;
}

void SetBackgroundColor(int32_t color)
{
    frame_buffer.background_color = color;
}

void UseBackground(uint8_t flag)
{
    frame_buffer.use_background = flag;
}

int LoadIcon(const char *name, int x, int y, int offset)
{
    return LoadIconFile(name, x, y, offset, PixelFormat::k8Bit);
}

int LoadIcon4(const char *name, int x, int y, int offset)
{
    return LoadIconFile(name, x, y, offset, PixelFormat::k4Bit);
}

void LoadPalette(const char *name, int first, int last)
{
    const Path path = JoinPath(name);
    File file(OpenPath(path, O_RDONLY));
    if (!file.ok()) {
        fprintf(stderr, "error while loading palette: %s", path.text);
        return;
    }
    unsigned char rgb[3];
    // A record cut short at the end of the file is ignored.
    for (int entry = first; entry <= last && ReadFull(file.fd(), rgb, 3) == 3; ++entry)
        SetPaletteEntry(entry, uint32_t{rgb[0]} << 16 | uint32_t{rgb[1]} << 8 | rgb[2], 0);
    UploadPalette();
}

int ReadIcon(const char *name, unsigned char *buffer)
{
    const Path path = JoinPath(name);
    File file(OpenPath(path, O_RDONLY));
    if (!file.ok()) {
        fprintf(stderr, "error while loading icon: %s", path.text);
        return 0;
    }
    const Header h = ReadHeader(file.fd());
    // Negative sizes announce no pixels.
    if (h.width > 0 && h.height > 0)
        ReadFull(file.fd(), buffer, static_cast<long>(h.width) * h.height);
    return 1;
}

int SaveIcon(const char *name, const unsigned char *buffer)
{
    const Path path = JoinPath(name);
    // No truncation: a longer file keeps the bytes beyond the image.
    File file(OpenPath(path, O_WRONLY | O_CREAT));
    if (!file.ok()) {
        fprintf(stderr, "error while saving icon: %s", path.text);
        return 0;
    }
    const unsigned char header[kHeaderSize] = {
        kBackgroundWidth & 0xFF, kBackgroundWidth >> 8, kBackgroundHeight & 0xFF,
        kBackgroundHeight >> 8, 0};
    static_assert(kBackgroundWidth == 0x2D0 && kBackgroundHeight == 0x240);
    WriteFull(file.fd(), header, kHeaderSize);
    WriteFull(file.fd(), buffer, kBackgroundSize);
    return 1;
}

int LoadBackground(const char *name, int offset)
{
    if (frame_buffer.background_name == name) return 1;
    DropBackground();
    const Path path = JoinPath(name);
    File file(OpenPath(path, O_RDONLY));
    if (!file.ok()) {
        fprintf(stderr, "error while loading icon: %s", path.text);
        return 0;
    }
    const Header h = ReadHeader(file.fd());
    if (h.width != kBackgroundWidth || h.height != kBackgroundHeight) {
        fprintf(stderr, "error while loading icon: %s - invalid resulution = %dx%d", path.text,
                h.width, h.height);
        return 0;
    }
    // Zeroed, so that a file ending early leaves index 0 in the rest.
    auto *image = static_cast<unsigned char *>(calloc(kBackgroundSize, 1));
    if (image == nullptr) {
        fprintf(stderr, "error while loading icon: %s - out of memory", path.text);
        return 0;
    }
    ReadFull(file.fd(), image, kBackgroundSize);
    if (offset != 0)
        for (int i = 0; i < kBackgroundSize; ++i)
            image[i] = Shift(image[i], offset);
    frame_buffer.background = image;
    frame_buffer.background_name = name;
    return 0;
}

void RestoreBackground(int x, int y, int width, int height)
{
    if (!RestoringFromImage()) {
        FillRect(x, y, width, height, frame_buffer.background_color & 0xFF);
        return;
    }
    if (width <= 0 || height <= 0) return;
    const long start = static_cast<long>(y) * frame_buffer.line_length + x;
    for (int r = 0; r < height; ++r) {
        const long at = start + static_cast<long>(r) * frame_buffer.line_length;
        memcpy(frame_buffer.screen + at, frame_buffer.background + at, static_cast<size_t>(width));
    }
}

void RestoreBackgroundBox(int x1, int y1, int x2, int y2)
{
    RestoreBackground(x1, y1, x2 - x1, y2 - y1);
}

void ClearScreen()
{
    const size_t size = static_cast<size_t>(frame_buffer.line_length) * kBackgroundHeight;
    if (RestoringFromImage())
        memcpy(frame_buffer.screen, frame_buffer.background, size);
    else
        memset(frame_buffer.screen, 0xFF, size);
}
