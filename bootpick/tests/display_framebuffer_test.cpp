// Framebuffer and palette: every failure message of opening the device and
// setting the mode (through a fake driver), the mode request itself, the
// colour-map arithmetic, the upload and the blend-level request.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "display_support.h"
#include "fbdevice.h"
#include "framebuffer.h"

namespace display_test {
namespace {

// A scriptable driver: what it reports at open, what it grants, which step fails.
struct FakeDriver {
    bool fail_open = false;
    int fail_get_var = 0;   // errno of a failing FBIOGET_VSCREENINFO, 0: succeeds
    int fail_get_fix = 0;   // errno of a failing FBIOGET_FSCREENINFO at open
    int fail_fix_after_put = 0;
    int fail_map = 0;
    int fail_put = 0;
    int grant_bpp = 0;      // non-zero: grant this depth instead of the request
    int grant_width = 0;
    int grant_height = 0;
    int fail_blend = 0;
    uint32_t line_length = 736;

    fb_var_screeninfo var{};
    bool put_done = false;
    std::vector<fb_var_screeninfo> puts;
    std::vector<fb_cmap> cmaps;
    std::vector<unsigned long> blend_values;
    std::vector<unsigned long> blend_codes;
    std::vector<unsigned char> memory = std::vector<unsigned char>(736 * 600, kUntouched);
};

FakeDriver *driver = nullptr;

int Fail(int error)
{
    errno = error;
    return -1;
}

const FbDevice kFakeDevice = {
    [](const char *) { return driver->fail_open ? Fail(ENOENT) : 42; },
    [](int fd, unsigned long code, void *arg) -> int {
        EXPECT_EQ(fd, 42);
        switch (code) {
        case FBIOGET_VSCREENINFO:
            if (driver->fail_get_var) return Fail(driver->fail_get_var);
            *static_cast<fb_var_screeninfo *>(arg) = driver->var;
            return 0;
        case FBIOGET_FSCREENINFO: {
            const int error = driver->put_done ? driver->fail_fix_after_put : driver->fail_get_fix;
            if (error) return Fail(error);
            auto &fix = *static_cast<fb_fix_screeninfo *>(arg);
            fix.smem_len = static_cast<uint32_t>(driver->memory.size());
            fix.line_length = driver->line_length;
            return 0;
        }
        case FBIOPUT_VSCREENINFO: {
            auto &var = *static_cast<fb_var_screeninfo *>(arg);
            driver->puts.push_back(var);
            driver->put_done = true;
            if (driver->fail_put) return Fail(driver->fail_put);
            if (driver->grant_bpp) var.bits_per_pixel = driver->grant_bpp;
            if (driver->grant_width) var.xres = driver->grant_width;
            if (driver->grant_height) var.yres = driver->grant_height;
            return 0;
        }
        case FBIOPUTCMAP:
            driver->cmaps.push_back(*static_cast<fb_cmap *>(arg));
            return 0;
        }
        ADD_FAILURE() << "unexpected request " << code;
        return Fail(EINVAL);
    },
    [](int, unsigned long code, unsigned long value) {
        driver->blend_codes.push_back(code);
        driver->blend_values.push_back(value);
        return driver->fail_blend ? Fail(driver->fail_blend) : 0;
    },
    [](int, uint32_t length) -> unsigned char * {
        EXPECT_EQ(length, driver->memory.size());
        if (driver->fail_map) {
            errno = driver->fail_map;
            return nullptr;
        }
        return driver->memory.data();
    },
};

class FrameBufferTest : public testing::Test {
protected:
    FrameBufferTest()
    {
        driver = &fake_;
        fake_.var.xres = fake_.var.xres_virtual = 640;
        fake_.var.yres = fake_.var.yres_virtual = 480;
        fake_.var.bits_per_pixel = 16;
        fake_.var.pixclock = 74074;
        fake_.var.left_margin = 68;
        UseFbDevice(&kFakeDevice);
    }
    ~FrameBufferTest() override
    {
        UseFbDevice(nullptr);
        FreeBackground();
        memset(&frame_buffer, 0, sizeof frame_buffer);
        driver = nullptr;
    }

    // The standard error output of the call.
    template <typename Call>
    static std::string ErrorsOf(Call call)
    {
        testing::internal::CaptureStderr();
        call();
        return testing::internal::GetCapturedStderr();
    }

    FakeDriver fake_;
};

std::string PerrorLine(const char *tag, int error)
{
    return std::string(tag) + ": " + strerror(error) + "\n";
}

const std::string kNotAvailable = "framebuffer not available.\n";

TEST_F(FrameBufferTest, OpenFailuresReportTheStepAndLeaveNoMapping)
{
    struct Case {
        const char *name;
        void (*setup)(FakeDriver &);
        std::string errors;
    } const cases[] = {
        {"the device refuses the screen information",
         [](FakeDriver &d) { d.fail_get_var = EIO; },
         PerrorLine("FBIOGET_VSCREENINFO", EIO) + kNotAvailable},
        {"the fixed information fails", [](FakeDriver &d) { d.fail_get_fix = ENOTTY; },
         PerrorLine("FBIOGET_FSCREENINFO", ENOTTY) + kNotAvailable},
        {"the mapping fails", [](FakeDriver &d) { d.fail_map = ENOMEM; },
         PerrorLine("mmap", ENOMEM) + kNotAvailable},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        fake_ = FakeDriver{};
        c.setup(fake_);
        frame_buffer.screen = reinterpret_cast<unsigned char *>(&fake_);  // stale from before
        EXPECT_EQ(ErrorsOf([] { InitFrameBuffer("/dev/fb/0"); }), c.errors);
        EXPECT_EQ(frame_buffer.screen, nullptr);
        int result = 0;
        EXPECT_EQ(ErrorsOf([&] { result = SetMode(720, 576, 8); }), "") << "silent without mapping";
        EXPECT_EQ(result, -1);
        EXPECT_TRUE(fake_.puts.empty()) << "the device is not touched";
    }
}

TEST_F(FrameBufferTest, MissingDeviceNamesThePath)
{
    UseFbDevice(nullptr);  // the real open
    ScratchDir dir;
    const std::string path = dir / "fb0";
    EXPECT_EQ(ErrorsOf([&] { InitFrameBuffer(path.c_str()); }), PerrorLine(path.c_str(), ENOENT) + kNotAvailable);
    EXPECT_EQ(frame_buffer.screen, nullptr);
    EXPECT_LT(frame_buffer.fd, 0);
    int result = 0;
    EXPECT_EQ(ErrorsOf([&] { result = SetMode(720, 576, 8); }), "");
    EXPECT_EQ(result, -1);
}

TEST_F(FrameBufferTest, InitPreparesTheRecord)
{
    frame_buffer.background_color = 9;
    frame_buffer.use_background = 1;
    frame_buffer.image_path = "/images/";
    EXPECT_EQ(ErrorsOf([] { InitFrameBuffer("/dev/fb/0"); }), "");
    EXPECT_EQ(frame_buffer.screen, fake_.memory.data());
    EXPECT_EQ(frame_buffer.screen_size, fake_.memory.size());
    EXPECT_EQ(GetScreen(), fake_.memory.data());
    EXPECT_EQ(GetFbFd(), 42);
    EXPECT_EQ(frame_buffer.cmap.start, 0u);
    EXPECT_EQ(frame_buffer.cmap.len, 256u);
    EXPECT_EQ(frame_buffer.cmap.red, frame_buffer.red);
    EXPECT_EQ(frame_buffer.cmap.green, frame_buffer.green);
    EXPECT_EQ(frame_buffer.cmap.blue, frame_buffer.blue);
    EXPECT_EQ(frame_buffer.cmap.transp, frame_buffer.transp);
    EXPECT_STREQ(frame_buffer.background_name, "");
    EXPECT_EQ(frame_buffer.background_color, 0);
    EXPECT_EQ(frame_buffer.use_background, 0);
    EXPECT_STREQ(frame_buffer.image_path, "/images/") << "the prefix is left alone";
    EXPECT_EQ(frame_buffer.saved_var_info.pixclock, 74074u);
    EXPECT_EQ(frame_buffer.saved_var_info.xres, 640u);
}

TEST_F(FrameBufferTest, SetModeClearsTheScreenWhenGrantedExactly)
{
    ErrorsOf([] { InitFrameBuffer("/dev/fb/0"); });
    EXPECT_EQ(ErrorsOf([] { EXPECT_EQ(SetMode(720, 576, 8), 0); }), "");
    ASSERT_EQ(fake_.puts.size(), 1u);
    const fb_var_screeninfo &sent = fake_.puts[0];
    EXPECT_EQ(sent.xres, 720u);
    EXPECT_EQ(sent.xres_virtual, 720u);
    EXPECT_EQ(sent.yres, 576u);
    EXPECT_EQ(sent.yres_virtual, 576u);
    EXPECT_EQ(sent.bits_per_pixel, 8u);
    EXPECT_EQ(sent.pixclock, 74074u) << "other fields as the device reported them";
    EXPECT_EQ(sent.left_margin, 68u);
    EXPECT_EQ(frame_buffer.xres, 720);
    EXPECT_EQ(frame_buffer.yres, 576);
    EXPECT_EQ(frame_buffer.bpp, 8);
    EXPECT_EQ(GetLineLength(), 736);
    const size_t cleared = 736 * 576;
    for (size_t i = 0; i < fake_.memory.size(); ++i)
        ASSERT_EQ(fake_.memory[i], i < cleared ? 0 : kUntouched) << "byte " << i;
    EXPECT_EQ(frame_buffer.saved_var_info.xres, 640u) << "the mode found at open is kept aside";
}

TEST_F(FrameBufferTest, SetModeFailures)
{
    struct Case {
        const char *name;
        void (*setup)(FakeDriver &);
        std::string errors;
    } const cases[] = {
        {"16 bits granted", [](FakeDriver &d) { d.grant_bpp = 16; },
         "SetMode failed: wanted: 720x576x8, got 720x576x16\n"},
        {"other width granted", [](FakeDriver &d) { d.grant_width = 704; },
         "SetMode failed: wanted: 720x576x8, got 704x576x8\n"},
        {"other height granted", [](FakeDriver &d) { d.grant_height = 480; },
         "SetMode failed: wanted: 720x576x8, got 720x480x8\n"},
        {"the request is refused", [](FakeDriver &d) { d.fail_put = EINVAL; },
         PerrorLine("FBIOPUT_VSCREENINFO", EINVAL)},
        {"the fixed information fails after the mode change",
         [](FakeDriver &d) { d.fail_fix_after_put = EIO; }, PerrorLine("FBIOGET_FSCREENINFO", EIO)},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        fake_ = FakeDriver{};
        memset(&frame_buffer, 0, sizeof frame_buffer);
        ErrorsOf([] { InitFrameBuffer("/dev/fb/0"); });
        c.setup(fake_);
        frame_buffer.line_length = 11;  // left from an earlier mode
        int result = 0;
        EXPECT_EQ(ErrorsOf([&] { result = SetMode(720, 576, 8); }), c.errors);
        EXPECT_EQ(result, -1);
        EXPECT_EQ(frame_buffer.line_length, 11);
        EXPECT_EQ(fake_.memory[0], kUntouched) << "the screen is not cleared";
    }
}

TEST_F(FrameBufferTest, RefusedModeKeepsThePreviousGeometry)
{
    ErrorsOf([] { InitFrameBuffer("/dev/fb/0"); });
    ASSERT_EQ(SetMode(720, 576, 8), 0);
    fake_.memory[5] = 7;
    fake_.grant_bpp = 16;
    ErrorsOf([] { EXPECT_EQ(SetMode(720, 576, 8), -1); });
    EXPECT_EQ(frame_buffer.var_info.bits_per_pixel, 16u) << "var_info holds what was granted";
    EXPECT_EQ(frame_buffer.bpp, 8);
    EXPECT_EQ(frame_buffer.xres, 720);
    EXPECT_EQ(frame_buffer.line_length, 736);
    EXPECT_EQ(fake_.memory[5], 7);
}

TEST_F(FrameBufferTest, PaletteEntriesTakeTheHighByte)
{
    struct Case {
        int index;
        uint32_t rgb;
        uint16_t transparency;
        uint16_t red, green, blue;
    } const cases[] = {
        {1, 0x101040, 0, 0x1000, 0x1000, 0x4000},
        {0, 0x000000, 0xFFFF, 0, 0, 0},
        {4, 0xF8F800, 0, 0xF800, 0xF800, 0},
        {255, 0xFF12AB, 7, 0xFF00, 0x1200, 0xAB00},
        {2, 0x7F808080, 0, 0x8000, 0x8000, 0x8000},  // bits above 23 play no part
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.index);
        SetPaletteEntry(c.index, c.rgb, c.transparency);
        EXPECT_EQ(frame_buffer.red[c.index], c.red);
        EXPECT_EQ(frame_buffer.green[c.index], c.green);
        EXPECT_EQ(frame_buffer.blue[c.index], c.blue);
        EXPECT_EQ(frame_buffer.transp[c.index], c.transparency);
    }
}

TEST_F(FrameBufferTest, BlendingScalesByTwoHundredFiftyFive)
{
    struct Case {
        const char *name;
        int weight;
        uint16_t red, green, blue;
    } const cases[] = {
        {"weight 0 gives the first colour", 0, 65025, 0, 0},
        {"weight 255 gives the second", 255, 0, 0, 65025},
        {"weight 128 mixes", 128, 255 * 127, 0, 255 * 128},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        frame_buffer.transp[9] = 1234;
        BlendPaletteEntry(9, 0xFF0000, 0x0000FF, c.weight);
        EXPECT_EQ(frame_buffer.red[9], c.red);
        EXPECT_EQ(frame_buffer.green[9], c.green);
        EXPECT_EQ(frame_buffer.blue[9], c.blue);
        EXPECT_EQ(frame_buffer.transp[9], 1234) << "transparency unchanged";
    }
    BlendPaletteEntry(3, 0x204060, 0x6040A0, 64);
    EXPECT_EQ(frame_buffer.red[3], 0x60 * 64 + 0x20 * 191);
    EXPECT_EQ(frame_buffer.green[3], 0x40 * 255);
    EXPECT_EQ(frame_buffer.blue[3], 0xA0 * 64 + 0x60 * 191);
}

TEST_F(FrameBufferTest, GradientStepsAndTransparencies)
{
    for (int i = 0; i < 256; ++i) frame_buffer.red[i] = frame_buffer.transp[i] = 0x5555;

    SetPaletteGradient(20, 0x000000, 0xFF0000, 0, 1);
    SetPaletteGradient(20, 0x000000, 0xFF0000, -2, 1);
    for (int i = 0; i < 256; ++i) ASSERT_EQ(frame_buffer.red[i], 0x5555) << "count 0 or less: no change";

    SetPaletteGradient(30, 0x800000, 0xFF0000, 1, 77);
    EXPECT_EQ(frame_buffer.red[30], 0x80 * 255) << "one entry: the first colour";
    EXPECT_EQ(frame_buffer.transp[30], 77);
    EXPECT_EQ(frame_buffer.red[31], 0x5555);

    SetPaletteGradient(40, 0x000000, 0xFF0000, 3, 10);
    EXPECT_EQ(frame_buffer.red[40], 0);
    EXPECT_EQ(frame_buffer.red[41], 255 * 127);
    EXPECT_EQ(frame_buffer.red[42], 255 * 254) << "the last weight falls short of 255";
    EXPECT_EQ(frame_buffer.transp[40], 10);
    EXPECT_EQ(frame_buffer.transp[41], 11);
    EXPECT_EQ(frame_buffer.transp[42], 12);
    EXPECT_EQ(frame_buffer.red[39], 0x5555);
    EXPECT_EQ(frame_buffer.red[43], 0x5555);

    SetPaletteGradient(0, 0x000000, 0x0000FF, 256, 0);
    EXPECT_EQ(frame_buffer.blue[255], 255 * 255) << "256 entries: step 1, last weight 255";
    EXPECT_EQ(frame_buffer.transp[255], 255);
}

TEST_F(FrameBufferTest, TransparencyRuns)
{
    for (int i = 0; i < 256; ++i) frame_buffer.transp[i] = 1;
    SetPaletteTransparency(5, 0, 9);
    SetPaletteTransparency(5, -1, 9);
    SetPaletteTransparency(5, 3, 9);
    for (int i = 0; i < 256; ++i) EXPECT_EQ(frame_buffer.transp[i], i >= 5 && i < 8 ? 9 : 1) << i;
}

TEST_F(FrameBufferTest, UploadSendsTheWholeMap)
{
    ErrorsOf([] { InitFrameBuffer("/dev/fb/0"); });
    frame_buffer.cmap.start = 3;  // whatever was changed before
    frame_buffer.cmap.len = 2;
    EXPECT_EQ(UploadPalette(), 0);
    ASSERT_EQ(fake_.cmaps.size(), 1u);
    EXPECT_EQ(fake_.cmaps[0].start, 0u);
    EXPECT_EQ(fake_.cmaps[0].len, 256u);
    EXPECT_EQ(fake_.cmaps[0].red, frame_buffer.red);
    EXPECT_EQ(fake_.cmaps[0].transp, frame_buffer.transp);
}

TEST_F(FrameBufferTest, BlendLevelIsCappedAndPassedByValue)
{
    ErrorsOf([] { InitFrameBuffer("/dev/fb/0"); });
    const struct {
        int level;
        unsigned long value;
    } cases[] = {{12, 0x0808}, {8, 0x0808}, {3, 0x0303}, {0, 0}};
    for (const auto &c : cases) {
        fake_.blend_values.clear();
        EXPECT_EQ(ErrorsOf([&] { SetBlendLevel(c.level); }), "");
        ASSERT_EQ(fake_.blend_values.size(), 1u);
        EXPECT_EQ(fake_.blend_values[0], c.value) << "level " << c.level;
        EXPECT_EQ(fake_.blend_codes.back(), 0u);
    }
    fake_.fail_blend = ENOTTY;
    EXPECT_EQ(ErrorsOf([] { SetBlendLevel(2); }), PerrorLine("AVIA_GT_GV_SET_BLEV", ENOTTY));
}

TEST_F(FrameBufferTest, FreeBackgroundReleasesOnlyTheImage)
{
    ErrorsOf([] { InitFrameBuffer("/dev/fb/0"); });
    frame_buffer.background = static_cast<unsigned char *>(malloc(414720));
    FreeBackground();
    EXPECT_EQ(frame_buffer.background, nullptr);
    FreeBackground();
    EXPECT_EQ(frame_buffer.screen, fake_.memory.data()) << "still mapped";
}

}  // namespace
}  // namespace display_test
