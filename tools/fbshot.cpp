// fbshot: writes the screen of a virtual framebuffer file as an indexed PNG
// whose palette is the file's colour map, so that a person can see what the
// television would show. Host tool; never built for the box.
//
//   fbshot VFB_FILE OUT.png
//
// The file holds 720 x 576 one-byte pixels, then the colour map: red, green,
// blue and transparency, 256 unsigned 16-bit little-endian values each. The
// PNG takes the high byte of each colour value.
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <png.h>
#include <unistd.h>

namespace {

constexpr int kWidth = 720;
constexpr int kHeight = 576;
constexpr long kScreenSize = long{kWidth} * kHeight;
constexpr long kFileSize = kScreenSize + 4 * 256 * 2;
static_assert(kFileSize == 416768);

unsigned char file_bytes[kFileSize];

// The 8-bit channel from entry i of colour-map channel k (0 red, 1 green, 2 blue).
unsigned char Channel(int k, int i)
{
    const unsigned char *value = file_bytes + kScreenSize + k * 512 + i * 2;
    return value[1];  // high byte of the little-endian value
}

bool ReadScreenFile(const char *path)
{
    const int fd = open(path, O_RDONLY);
    if (fd < 0) {
        perror(path);
        return false;
    }
    long done = 0;
    while (done < kFileSize) {
        const ssize_t n = read(fd, file_bytes + done, static_cast<size_t>(kFileSize - done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            perror(path);
            close(fd);
            return false;
        }
        if (n == 0) break;
        done += n;
    }
    close(fd);
    if (done < kFileSize) {
        fprintf(stderr, "fbshot: %s: not a virtual framebuffer file (%ld bytes, need %ld)\n",
                path, done, kFileSize);
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc != 3) {
        fputs("usage: fbshot VFB_FILE OUT.png\n", stderr);
        return 2;
    }
    if (!ReadScreenFile(argv[1])) return 1;

    unsigned char colormap[256 * 3];
    for (int i = 0; i < 256; ++i)
        for (int k = 0; k < 3; ++k)
            colormap[i * 3 + k] = Channel(k, i);

    png_image image;
    memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = kWidth;
    image.height = kHeight;
    image.format = PNG_FORMAT_RGB_COLORMAP;
    image.colormap_entries = 256;
    if (!png_image_write_to_file(&image, argv[2], 0, file_bytes, kWidth, colormap)) {
        fprintf(stderr, "fbshot: %s: %s\n", argv[2], image.message);
        return 1;
    }
    return 0;
}
