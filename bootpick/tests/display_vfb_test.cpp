// The virtual framebuffer, end to end through the display layer: a regular
// file opened as the device is extended to its fixed size, mapped as screen
// memory, given modes by the fixed rule and receives the colour map in
// little-endian 16-bit values whatever the machine's byte order.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

#include "display_support.h"
#include "draw.h"
#include "fbdevice.h"
#include "framebuffer.h"

namespace display_test {
namespace {

constexpr size_t kScreenBytes = 414720;
constexpr size_t kFileBytes = 416768;

class VirtualFrameBufferTest : public testing::Test {
protected:
    VirtualFrameBufferTest() : path_(dir_ / "vfb") { WriteFile(path_, {}); }
    ~VirtualFrameBufferTest() override
    {
        if (frame_buffer.screen) munmap(frame_buffer.screen, frame_buffer.screen_size);
        if (frame_buffer.fd > 0) close(frame_buffer.fd);
        memset(&frame_buffer, 0, sizeof frame_buffer);
    }

    std::string Open()
    {
        testing::internal::CaptureStderr();
        InitFrameBuffer(path_.c_str());
        return testing::internal::GetCapturedStderr();
    }
    std::string SetModeErrors(int width, int height, int bpp, int expected)
    {
        testing::internal::CaptureStderr();
        EXPECT_EQ(SetMode(width, height, bpp), expected) << width << "x" << height << "x" << bpp;
        return testing::internal::GetCapturedStderr();
    }

    ScratchDir dir_;
    std::string path_;
};

TEST_F(VirtualFrameBufferTest, ShortFileIsExtendedKeepingItsContents)
{
    for (size_t size : {size_t{0}, size_t{3}, kFileBytes - 1}) {
        SCOPED_TRACE(size);
        std::vector<unsigned char> old(size);
        for (size_t i = 0; i < size; ++i) old[i] = static_cast<unsigned char>('a' + i % 26);
        WriteFile(path_, old);
        EXPECT_EQ(Open(), "");
        ASSERT_NE(frame_buffer.screen, nullptr);
        EXPECT_EQ(frame_buffer.screen_size, kScreenBytes);
        const std::vector<unsigned char> file = ReadFile(path_);
        ASSERT_EQ(file.size(), kFileBytes);
        EXPECT_TRUE(std::equal(old.begin(), old.end(), file.begin()));
        for (size_t i = size; i < kFileBytes; ++i) ASSERT_EQ(file[i], 0) << "byte " << i;
        if (size > 1) {
            EXPECT_EQ(frame_buffer.screen[1], 'b') << "mapped from offset 0";
        }
        EXPECT_EQ(frame_buffer.var_info.xres, 720u);
        EXPECT_EQ(frame_buffer.var_info.yres, 576u);
        EXPECT_EQ(frame_buffer.var_info.xres_virtual, 720u);
        EXPECT_EQ(frame_buffer.var_info.yres_virtual, 576u);
        EXPECT_EQ(frame_buffer.var_info.bits_per_pixel, 8u);
        munmap(frame_buffer.screen, frame_buffer.screen_size);
        close(frame_buffer.fd);
        memset(&frame_buffer, 0, sizeof frame_buffer);
    }
}

TEST_F(VirtualFrameBufferTest, LongerFileKeepsItsLength)
{
    std::vector<unsigned char> bytes(kFileBytes + 100, 0x11);
    WriteFile(path_, bytes);
    EXPECT_EQ(Open(), "");
    EXPECT_EQ(ReadFile(path_), bytes);
}

TEST_F(VirtualFrameBufferTest, DrawingLandsInTheFile)
{
    WriteFile(path_, std::vector<unsigned char>(kFileBytes, 0x33));
    EXPECT_EQ(Open(), "");
    EXPECT_EQ(SetModeErrors(720, 576, 8, 0), "");
    EXPECT_EQ(GetLineLength(), 720);
    FillRect(10, 20, 3, 2, 7);
    SetPixel(719, 575, 9);
    std::vector<unsigned char> file = ReadFile(path_);
    ASSERT_EQ(file.size(), kFileBytes);
    std::vector<unsigned char> expected(kScreenBytes, 0);  // cleared by the mode set
    for (int y = 20; y < 22; ++y)
        for (int x = 10; x < 13; ++x) expected[y * 720 + x] = 7;
    expected[575 * 720 + 719] = 9;
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), file.begin())) << "pixel (x, y) at y * 720 + x";
    for (size_t i = kScreenBytes; i < kFileBytes; ++i) ASSERT_EQ(file[i], 0x33) << "colour map untouched";
}

TEST_F(VirtualFrameBufferTest, ModeRequestsFollowTheFixedRule)
{
    EXPECT_EQ(Open(), "");
    const std::string einval = std::string("FBIOPUT_VSCREENINFO: ") + strerror(EINVAL) + "\n";
    EXPECT_EQ(SetModeErrors(720, 576, 16, -1), einval) << "8 bits per pixel only";
    EXPECT_EQ(SetModeErrors(720, 577, 8, -1), einval) << "larger than the screen memory";
    EXPECT_EQ(SetModeErrors(65536, 65536, 8, -1), einval) << "no overflow of the size product";
    EXPECT_EQ(SetModeErrors(640, 480, 8, 0), "");
    EXPECT_EQ(GetLineLength(), 640) << "the line is as long as the virtual width";
    EXPECT_EQ(frame_buffer.xres, 640);
    EXPECT_EQ(frame_buffer.screen_size, kScreenBytes);
    EXPECT_EQ(SetModeErrors(1, 414720, 8, 0), "") << "exactly the screen memory";
    EXPECT_EQ(SetModeErrors(720, 576, 8, 0), "");
    EXPECT_EQ(GetLineLength(), 720);
}

TEST_F(VirtualFrameBufferTest, ColourMapIsStoredLittleEndian)
{
    EXPECT_EQ(Open(), "");
    ASSERT_EQ(SetModeErrors(720, 576, 8, 0), "");
    SetPaletteEntry(0, 0x000000, 0xFFFF);
    SetPaletteEntry(1, 0x101040, 0);
    frame_buffer.red[255] = 0x1234;
    frame_buffer.green[255] = 0x5678;
    frame_buffer.blue[255] = 0x9ABC;
    frame_buffer.transp[255] = 0xDEF0;
    EXPECT_EQ(UploadPalette(), 0);
    std::vector<unsigned char> file = ReadFile(path_);
    ASSERT_EQ(file.size(), kFileBytes);
    auto entry = [&](int channel, int index) {
        const size_t at = kScreenBytes + channel * 512 + index * 2;
        return std::vector<unsigned char>{file[at], file[at + 1]};
    };
    using Bytes = std::vector<unsigned char>;
    EXPECT_EQ(entry(3, 0), (Bytes{0xFF, 0xFF})) << "transp[0]";
    EXPECT_EQ(entry(0, 1), (Bytes{0x00, 0x10})) << "red[1]";
    EXPECT_EQ(entry(2, 1), (Bytes{0x00, 0x40})) << "blue[1]";
    EXPECT_EQ(entry(0, 255), (Bytes{0x34, 0x12})) << "red[255]";
    EXPECT_EQ(entry(1, 255), (Bytes{0x78, 0x56})) << "green[255]";
    EXPECT_EQ(entry(2, 255), (Bytes{0xBC, 0x9A})) << "blue[255]";
    EXPECT_EQ(entry(3, 255), (Bytes{0xF0, 0xDE})) << "transp[255]";

    // A later upload replaces the map as a whole.
    SetPaletteEntry(1, 0xF8F800, 0);
    EXPECT_EQ(UploadPalette(), 0);
    file = ReadFile(path_);
    EXPECT_EQ(entry(0, 1), (Bytes{0x00, 0xF8}));
    EXPECT_EQ(entry(2, 1), (Bytes{0x00, 0x00}));
}

TEST_F(VirtualFrameBufferTest, OtherRequestsAreInvalid)
{
    EXPECT_EQ(Open(), "");
    testing::internal::CaptureStderr();
    SetBlendLevel(8);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              std::string("AVIA_GT_GV_SET_BLEV: ") + strerror(EINVAL) + "\n");
    fb_cmap too_far{};
    too_far.start = 250;
    too_far.len = 7;
    too_far.red = too_far.green = too_far.blue = frame_buffer.red;
    errno = 0;
    EXPECT_EQ(CurrentFbDevice().request(frame_buffer.fd, FBIOPUTCMAP, &too_far), -1);
    EXPECT_EQ(errno, EINVAL);
    int dummy = 0;
    EXPECT_EQ(CurrentFbDevice().request(frame_buffer.fd, FBIOPAN_DISPLAY, &dummy), -1);
    EXPECT_EQ(errno, EINVAL);
}

TEST_F(VirtualFrameBufferTest, FixedInformationReportsTheScreenMemory)
{
    EXPECT_EQ(Open(), "");
    fb_fix_screeninfo fix{};
    ASSERT_EQ(CurrentFbDevice().request(frame_buffer.fd, FBIOGET_FSCREENINFO, &fix), 0);
    EXPECT_EQ(fix.smem_len, kScreenBytes);
    EXPECT_EQ(fix.line_length, 720u);
}

}  // namespace
}  // namespace display_test
