// The virtual framebuffer photographed: a screen drawn through the display
// layer into the file, fbshot run on it, its PNG decoded and compared with
// the file's pixels and colour map. Host only, like fbshot.
#include <gtest/gtest.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <png.h>
#include <spawn.h>
#include <string>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "display_support.h"
#include "draw.h"
#include "framebuffer.h"

extern char **environ;

namespace display_test {
namespace {

struct Decoded {
    bool ok = false;
    std::string error;
    png_uint_32 width = 0, height = 0;
    int bit_depth = 0, color_type = 0;
    std::vector<png_color> palette;
    bool has_transparency = false;
    std::vector<unsigned char> pixels;  // one index per pixel
};

Decoded DecodePng(const std::string &path)
{
    Decoded d;
    FILE *f = fopen(path.c_str(), "rb");
    if (f == nullptr) {
        d.error = "cannot open " + path;
        return d;
    }
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    std::vector<png_bytep> rows;
    if (setjmp(png_jmpbuf(png))) {
        d.error = "libpng could not decode " + path;
        png_destroy_read_struct(&png, &info, nullptr);
        fclose(f);
        d.ok = false;
        return d;
    }
    png_init_io(png, f);
    png_read_info(png, info);
    d.width = png_get_image_width(png, info);
    d.height = png_get_image_height(png, info);
    d.bit_depth = png_get_bit_depth(png, info);
    d.color_type = png_get_color_type(png, info);
    png_colorp palette = nullptr;
    int entries = 0;
    if (png_get_PLTE(png, info, &palette, &entries) & PNG_INFO_PLTE)
        d.palette.assign(palette, palette + entries);
    d.has_transparency = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    if (d.color_type == PNG_COLOR_TYPE_PALETTE && d.bit_depth == 8) {
        d.pixels.resize(static_cast<size_t>(d.width) * d.height);
        for (png_uint_32 y = 0; y < d.height; ++y) rows.push_back(d.pixels.data() + y * d.width);
        png_read_image(png, rows.data());
        png_read_end(png, nullptr);
        d.ok = true;
    } else {
        d.error = "not an 8-bit indexed PNG";
    }
    png_destroy_read_struct(&png, &info, nullptr);
    fclose(f);
    return d;
}

// Runs fbshot; its exit status, -1 if it could not be run.
int RunFbshot(const std::vector<std::string> &args)
{
    std::vector<char *> argv = {const_cast<char *>(FBSHOT_PATH)};
    for (const std::string &a : args) argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid;
    if (posix_spawn(&pid, FBSHOT_PATH, nullptr, nullptr, argv.data(), environ) != 0) return -1;
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

class FbshotTest : public testing::Test {
protected:
    ~FbshotTest() override
    {
        if (frame_buffer.screen) munmap(frame_buffer.screen, frame_buffer.screen_size);
        if (frame_buffer.fd > 0) close(frame_buffer.fd);
        memset(&frame_buffer, 0, sizeof frame_buffer);
    }
    ScratchDir dir_;
};

TEST_F(FbshotTest, PngShowsTheScreenInTheUploadedColours)
{
    const std::string vfb = dir_ / "vfb";
    const std::string png = dir_ / "shot.png";
    WriteFile(vfb, {});
    testing::internal::CaptureStderr();
    InitFrameBuffer(vfb.c_str());
    ASSERT_EQ(SetMode(720, 576, 8), 0);
    ASSERT_EQ(testing::internal::GetCapturedStderr(), "");
    // The boot menu's colours, and a colour with distinct high and low bytes.
    SetPaletteEntry(0, 0x000000, 0xFFFF);
    SetPaletteEntry(1, 0x101040, 0);
    SetPaletteEntry(2, 0x808080, 0);
    SetPaletteEntry(3, 0x101040, 0);
    SetPaletteEntry(4, 0xF8F800, 0);
    frame_buffer.red[200] = 0x12FF;
    frame_buffer.green[200] = 0xAB01;
    frame_buffer.blue[200] = 0x0080;
    ASSERT_EQ(UploadPalette(), 0);
    FillBox(100, 100, 620, 476, 1);
    DrawString(120, 120, 2, 1, "Boot FLASH image");
    DrawCheckBox(120, 160, 4, 1, 1);
    SetPixel(719, 575, 200);

    ASSERT_EQ(RunFbshot({vfb, png}), 0);
    const Decoded d = DecodePng(png);
    ASSERT_TRUE(d.ok) << d.error;
    EXPECT_EQ(d.width, 720u);
    EXPECT_EQ(d.height, 576u);
    ASSERT_EQ(d.palette.size(), 256u);
    const auto entry = [&](int i) {
        return std::vector<int>{d.palette[i].red, d.palette[i].green, d.palette[i].blue};
    };
    EXPECT_EQ(entry(0), (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(entry(1), (std::vector<int>{0x10, 0x10, 0x40}));
    EXPECT_EQ(entry(2), (std::vector<int>{0x80, 0x80, 0x80}));
    EXPECT_EQ(entry(4), (std::vector<int>{0xF8, 0xF8, 0x00}));
    EXPECT_EQ(entry(200), (std::vector<int>{0x12, 0xAB, 0x00})) << "the high byte of each value";
    const std::vector<unsigned char> file = ReadFile(vfb);
    ASSERT_GE(file.size(), d.pixels.size());
    EXPECT_TRUE(std::equal(d.pixels.begin(), d.pixels.end(), file.begin())) << "every pixel index";
    EXPECT_EQ(d.pixels[575 * 720 + 719], 200);
}

TEST_F(FbshotTest, RefusesWhatIsNotAScreenFile)
{
    const std::string short_file = dir_ / "short";
    WriteFile(short_file, std::vector<unsigned char>(414720, 0));
    testing::internal::CaptureStderr();
    EXPECT_EQ(RunFbshot({short_file, dir_ / "a.png"}), 1) << "no colour map";
    EXPECT_EQ(RunFbshot({dir_ / "missing", dir_ / "b.png"}), 1);
    EXPECT_EQ(RunFbshot({short_file}), 2) << "usage";
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_NE(errors.find("not a virtual framebuffer file"), std::string::npos) << errors;
    EXPECT_NE(errors.find("usage: fbshot VFB_FILE OUT.png"), std::string::npos) << errors;
    EXPECT_NE(access((dir_ / "a.png").c_str(), F_OK), 0) << "no picture written";
}

}  // namespace
}  // namespace display_test
