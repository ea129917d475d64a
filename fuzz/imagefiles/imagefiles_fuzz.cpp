// libFuzzer target: the image, palette and background file loaders of the
// display layer, over an in-memory 720 x 576 screen with no framebuffer
// device behind it. The input is a 16-byte header of call arguments followed
// by the file content, which every loader reads in turn:
//
//   0-1  x of the images, signed 16-bit little-endian    2-3  y, likewise
//   4    colour index offset (signed 8-bit)               5, 6 first and last palette entry
//   7    background colour                                8-15 a rectangle to restore:
//        x, y, width, height as 16-bit little-endian values, reduced onto the screen
//
// A missing header byte counts as 0. Besides the sanitizers' findings, the
// target checks that an image or a restored area changes no pixel outside its
// rectangle, that a palette file sets no entry outside its range, and that a
// background is held exactly when the file has the 720 x 576 header.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "framebuffer.h"
#include "imagefiles.h"

namespace {

constexpr int kWidth = 720;
constexpr int kHeight = 576;
constexpr int kScreenBytes = kWidth * kHeight;
constexpr size_t kArgumentBytes = 16;
constexpr unsigned char kUntouched = 0xA5;      // what the screen holds before each call
constexpr uint16_t kUntouchedEntry = 0xBEEF;    // likewise every colour-map value
constexpr int kHeaderSize = 5;

// The private folder the file lives in, and the names built from it.
char folder[64];
char prefix[80];
char file_path[96];
char missing_device[96];
char file_name[] = "image";

// The screen: a global array, so that a write off the screen reaches a red zone.
unsigned char screen[kScreenBytes];
unsigned char untouched_row[kWidth];

// Findings go to the real standard error; the layer's own messages nowhere.
FILE *report = nullptr;

void require(bool holds, const char *what)
{
    if (holds) return;
    fprintf(report, "imagefiles invariant broken: %s\n", what);
    abort();
}

ssize_t discard(void *, const char *, size_t size) { return static_cast<ssize_t>(size); }

void quiet_program_output()
{
    report = fdopen(dup(2), "w");
    setvbuf(report, nullptr, _IONBF, 0);
    stderr = fopencookie(nullptr, "w", {nullptr, discard, nullptr, nullptr});
}

void remove_folder()
{
    unlink(file_path);
    rmdir(folder);
}

struct Rect {
    int x, y, width, height;   // may lie partly or wholly off the screen
};

// Fails when a pixel outside rect (clipped to the screen) differs from kUntouched.
void require_only_inside(const Rect &r, const char *what)
{
    const long left = r.x < 0 ? 0 : r.x;
    const long top = r.y < 0 ? 0 : r.y;
    long right = r.width > 0 ? long{r.x} + r.width : left;
    long bottom = r.height > 0 ? long{r.y} + r.height : top;
    if (right > kWidth) right = kWidth;
    if (bottom > kHeight) bottom = kHeight;
    const bool empty = left >= right || top >= bottom;
    for (long y = 0; y < kHeight; ++y) {
        const unsigned char *row = screen + y * kWidth;
        if (empty || y < top || y >= bottom) {
            require(memcmp(row, untouched_row, kWidth) == 0, what);
        } else {
            require(memcmp(row, untouched_row, static_cast<size_t>(left)) == 0, what);
            require(memcmp(row + right, untouched_row, static_cast<size_t>(kWidth - right)) == 0,
                    what);
        }
    }
}

uint16_t u16(const unsigned char *bytes) { return static_cast<uint16_t>(bytes[0] | bytes[1] << 8); }

void check_icon(int (*load)(const char *, int, int, int), bool four_bit, int x, int y, int offset,
                int width, int height)
{
    memset(screen, kUntouched, sizeof screen);
    load(file_name, x, y, offset);
    // A 4-bit row of an odd width loses its last column.
    const int columns = four_bit ? 2 * (width / 2) : width;
    require_only_inside({x, y, columns, height}, "an image drew outside its rectangle");
}

void check_palette(int first, int last, size_t file_size)
{
    uint16_t *const channels[] = {frame_buffer.red, frame_buffer.green, frame_buffer.blue,
                                  frame_buffer.transp};
    for (uint16_t *channel : channels)
        for (int i = 0; i < 256; ++i) channel[i] = kUntouchedEntry;
    LoadPalette(file_name, first, last);
    // One entry per whole record, from first on, none beyond last.
    const long records = static_cast<long>(file_size / 3);
    const long range = last < first ? 0 : last - first + 1;
    const long set_end = first + (records < range ? records : range);
    for (int i = 0; i < 256; ++i) {
        if (i >= first && i < set_end) {
            require(frame_buffer.transp[i] == 0, "a palette entry set with a transparency");
            continue;
        }
        for (const uint16_t *channel : channels)
            require(channel[i] == kUntouchedEntry, "a palette entry outside the file's range changed");
    }
}

// ReadIcon trusts its caller with the buffer size: it gets one of exactly
// the size the header announces, and only for headers that fit a screen.
void check_read_icon(int width, int height)
{
    if (width > 0 && height > 0 && long{width} * height > kScreenBytes) return;
    const size_t size = width > 0 && height > 0 ? static_cast<size_t>(width) * height : 1;
    auto *buffer = static_cast<unsigned char *>(malloc(size));
    require(buffer != nullptr, "no memory for the ReadIcon buffer");
    ReadIcon(file_name, buffer);
    free(buffer);
}

// size_known: whether the file holds a whole header, so that it tells
// whether a background is to be held.
void check_background(int offset, bool size_known, bool is_background, const Rect &area)
{
    LoadBackground(file_name, offset);
    const bool held = frame_buffer.background != nullptr;
    require(!size_known || held == is_background,
            "a background held other than for a 720 x 576 file");
    require(held ? frame_buffer.background_name == file_name : frame_buffer.background_name[0] == '\0',
            "the background's name does not tell what is held");
    // The same name pointer again: nothing is read when that image is held.
    require(LoadBackground(file_name, offset) == (held ? 1 : 0), "a held background read again");

    // Restoring from the image is allowed only while one is held (the line
    // length is 720 here); from the plain colour always.
    const uint8_t uses[] = {1, 0};
    for (uint8_t use : uses) {
        if (use && !held) continue;
        UseBackground(use);
        memset(screen, kUntouched, sizeof screen);
        RestoreBackground(area.x, area.y, area.width, area.height);
        require_only_inside(area, "a restored area reached outside its rectangle");
        RestoreBackgroundBox(area.x, area.y, area.x + area.width, area.y + area.height);
        ClearScreen();
    }
    UseBackground(0);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    quiet_program_output();
    // In memory where there is a tmpfs: a file is written for every input.
    snprintf(folder, sizeof folder, "%s/imagefiles-fuzz.XXXXXX",
             access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp");
    require(mkdtemp(folder) != nullptr, "cannot make the private folder");
    snprintf(prefix, sizeof prefix, "%s/", folder);
    snprintf(file_path, sizeof file_path, "%s%s", prefix, file_name);
    // Nothing by this name: the layer runs without a framebuffer device.
    snprintf(missing_device, sizeof missing_device, "%sno-framebuffer", prefix);
    atexit(remove_folder);
    memset(untouched_row, kUntouched, sizeof untouched_row);

    InitFrameBuffer(missing_device);
    require(frame_buffer.fd < 0 && GetScreen() == nullptr, "a framebuffer where there is none");
    // Without a device the colour map upload fails and changes nothing.
    require(UploadPalette() < 0, "a colour map upload without a device succeeded");
    SetImagePath(prefix);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    unsigned char args[kArgumentBytes] = {};
    const size_t argument_bytes = size < kArgumentBytes ? size : kArgumentBytes;
    memcpy(args, data, argument_bytes);
    const unsigned char *content = data + argument_bytes;
    const size_t content_size = size - argument_bytes;

    const int fd = open(file_path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    require(fd >= 0 && write(fd, content, content_size) == static_cast<ssize_t>(content_size),
            "cannot write the image file");
    close(fd);

    // A fresh display state each run, as the program has after start-up.
    FreeBackground();
    InitFrameBuffer(missing_device);
    UseScreenMemory(screen, kWidth, kHeight, kWidth);

    const int x = static_cast<int16_t>(u16(args));
    const int y = static_cast<int16_t>(u16(args + 2));
    const int offset = static_cast<int8_t>(args[4]);
    SetBackgroundColor(args[7]);
    Rect area;
    area.x = u16(args + 8) % kWidth;
    area.y = u16(args + 10) % kHeight;
    area.width = u16(args + 12) % (kWidth - area.x + 1);
    area.height = u16(args + 14) % (kHeight - area.y + 1);

    // The header as the loaders read it (an incomplete one reads as zeros).
    unsigned char header[kHeaderSize] = {};
    memcpy(header, content, content_size < kHeaderSize ? content_size : kHeaderSize);
    const int width = static_cast<int16_t>(u16(header));
    const int height = static_cast<int16_t>(u16(header + 2));
    const bool complete = content_size >= kHeaderSize;

    check_icon(LoadIcon, false, x, y, offset, width, height);
    check_icon(LoadIcon4, true, x, y, offset, width, height);
    check_palette(args[5], args[6], content_size);
    check_read_icon(width, height);
    check_background(offset, complete, width == kWidth && height == kHeight, area);
    return 0;
}
