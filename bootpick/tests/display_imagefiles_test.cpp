// Image, palette and background files with small fixtures: keyed 8-bit and
// 4-bit images, the refusal of images that do not fit, palette ranges, the
// background's size check and same-pointer reload, SaveIcon's bytes, and
// restoring areas from colour or image.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "display_support.h"
#include "draw.h"
#include "fbdevice.h"
#include "framebuffer.h"
#include "imagefiles.h"

namespace display_test {
namespace {

using Bytes = std::vector<unsigned char>;

// An image file: the header with little-endian sizes, then the pixel bytes.
Bytes Image(int width, int height, int key, const Bytes &pixels)
{
    Bytes file(5 + pixels.size());
    file[0] = static_cast<unsigned char>(width & 0xFF);
    file[1] = static_cast<unsigned char>((width >> 8) & 0xFF);
    file[2] = static_cast<unsigned char>(height & 0xFF);
    file[3] = static_cast<unsigned char>((height >> 8) & 0xFF);
    file[4] = static_cast<unsigned char>(key);
    std::copy(pixels.begin(), pixels.end(), file.begin() + 5);
    return file;
}

int uploads = 0;
const FbDevice kCountingDevice = {
    [](const char *) { return -1; },
    [](int, unsigned long code, void *) {
        if (code == FBIOPUTCMAP) ++uploads;
        return 0;
    },
    [](int, unsigned long, unsigned long) { return 0; },
    [](int, uint32_t) -> unsigned char * { return nullptr; },
};

// The boot menu's screen (line length 720, as backgrounds require), image
// files in a scratch directory given as the image path.
class ImageFileTest : public ScreenTest {
protected:
    ImageFileTest() : ScreenTest(720)
    {
        prefix_ = dir_.path() + "/";
        SetImagePath(prefix_.c_str());
        frame_buffer.background_name = "";
        uploads = 0;
        UseFbDevice(&kCountingDevice);
    }
    ~ImageFileTest() override
    {
        UseFbDevice(nullptr);
        FreeBackground();
        frame_buffer.background_name = nullptr;
        frame_buffer.image_path = nullptr;
        frame_buffer.use_background = 0;
        frame_buffer.background_color = 0;
    }

    std::string Put(const char *name, const Bytes &bytes)
    {
        WriteFile(dir_ / name, bytes);
        return dir_ / name;
    }
    template <typename Call>
    static std::string ErrorsOf(Call call)
    {
        testing::internal::CaptureStderr();
        call();
        return testing::internal::GetCapturedStderr();
    }

    ScratchDir dir_;
    std::string prefix_;
};

TEST_F(ImageFileTest, IconKeyAndOffset)
{
    Put("a.img", Image(2, 1, 0, {0, 5}));
    int result = 0;
    EXPECT_EQ(ErrorsOf([&] { result = LoadIcon("a.img", 10, 10, 16); }), "");
    EXPECT_EQ(result, 1);
    EXPECT_EQ(Changed(), (std::vector<Pixel>{{11, 10, 21}})) << "the key pixel keeps the screen";

    Snapshot();
    Put("b.img", Image(3, 2, 7, {250, 7, 1, 2, 3, 4}));
    EXPECT_EQ(LoadIcon("b.img", 0, 0, 10), 1);
    EXPECT_EQ(Changed(), (std::vector<Pixel>{{0, 0, 4}, {2, 0, 11}, {0, 1, 12}, {1, 1, 13}, {2, 1, 14}}))
        << "offsets wrap at 256; the key is compared before the offset";
}

TEST_F(ImageFileTest, IconSizesAreLittleEndian)
{
    // 258 x 1: the bytes 0x02 0x01 read the other way round would be 513.
    Put("wide.img", Image(258, 1, 0, Bytes(258, 9)));
    EXPECT_EQ(ErrorsOf([] { EXPECT_EQ(LoadIcon("wide.img", 0, 3, 0), 1); }), "");
    EXPECT_EQ(Changed(), Rect(0, 3, 258, 1, 9));
}

TEST_F(ImageFileTest, FourBitIconsDrawTwoColumnsPerByte)
{
    // Width 3: one byte per row, the odd last column is lost.
    Put("n.img", Image(3, 2, 0x10, {0x01, 0x23}));
    EXPECT_EQ(LoadIcon4("n.img", 100, 50, 0), 1);
    EXPECT_EQ(Changed(), (std::vector<Pixel>{{100, 50, 0}, {101, 50, 1}, {100, 51, 2}, {101, 51, 3}}))
        << "a key above 15 makes no nibble transparent";

    Snapshot();
    Put("k.img", Image(4, 1, 3, {0x3A, 0xF3}));
    EXPECT_EQ(LoadIcon4("k.img", 0, 0, 250), 1);
    EXPECT_EQ(Changed(), (std::vector<Pixel>{{1, 0, 4}, {2, 0, 9}})) << "nibbles 3 keyed, offset wraps";
}

TEST_F(ImageFileTest, EmptyAndMissingIcons)
{
    Put("empty.img", Image(5, 0, 0, {1, 2, 3}));
    EXPECT_EQ(LoadIcon("empty.img", 0, 0, 0), 1);
    EXPECT_EQ(LoadIcon4("empty.img", 0, 0, 0), 1);
    EXPECT_EQ(ErrorsOf([] { EXPECT_EQ(LoadIcon("empty.img", 800, 900, 0), 1); }), "")
        << "no rows: nothing to place on the screen";
    Put("negative.img", Image(5, 0xFFFF, 0, {1, 2, 3}));
    EXPECT_EQ(LoadIcon("negative.img", 0, 0, 0), 1);
    EXPECT_TRUE(Changed().empty());

    int result = 1;
    EXPECT_EQ(ErrorsOf([&] { result = LoadIcon("missing.img", 0, 0, 0); }),
              "error while loading icon: " + prefix_ + "missing.img");
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ErrorsOf([&] { result = LoadIcon4("missing.img", 0, 0, 0); }),
              "error while loading icon: " + prefix_ + "missing.img");
    EXPECT_EQ(result, 0);
}

TEST_F(ImageFileTest, IconsThatDoNotFitAreRefused)
{
    struct Case {
        const char *name;
        bool four_bit;
        int width, height, x, y;
    } const cases[] = {
        {"row longer than the row buffer", false, 800, 1, 0, 0},
        {"4-bit row longer than the row buffer", true, 1540, 1, 0, 0},
        {"past the right edge", false, 4, 4, 717, 0},
        {"past the bottom edge", false, 4, 4, 0, 573},
        {"4-bit past the right edge", true, 9, 1, 713, 0},
        {"left of the screen", false, 4, 4, -1, 0},
        {"above the screen", true, 4, 4, 0, -2},
        {"negative width", false, -1, 2, 0, 0},
        {"position overflowing the sum", false, 4, 4, 0x7FFFFFFF, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const int row_bytes = c.width < 0 ? 4 : c.four_bit ? c.width / 2 : c.width;
        Put("big.img", Image(c.width, c.height, 0, Bytes(static_cast<size_t>(row_bytes) * c.height, 1)));
        int result = 1;
        const std::string errors = ErrorsOf([&] {
            result = c.four_bit ? LoadIcon4("big.img", c.x, c.y, 0) : LoadIcon("big.img", c.x, c.y, 0);
        });
        const std::string start = "error while loading icon: " + prefix_ + "big.img";
        EXPECT_EQ(errors.compare(0, start.size(), start), 0) << errors;
        EXPECT_GT(errors.size(), start.size()) << "a reason follows the path";
        EXPECT_EQ(errors.find('\n'), std::string::npos);
        EXPECT_EQ(result, 0);
        EXPECT_TRUE(Changed().empty()) << "nothing drawn";
    }

    // Exactly at the edges is fine.
    Put("edge.img", Image(4, 4, 0, Bytes(16, 1)));
    EXPECT_EQ(ErrorsOf([] { EXPECT_EQ(LoadIcon("edge.img", 716, 572, 0), 1); }), "");
    Put("edge4.img", Image(9, 1, 0, Bytes(4, 0x11)));
    EXPECT_EQ(ErrorsOf([] { EXPECT_EQ(LoadIcon4("edge4.img", 712, 0, 0), 1); }), "")
        << "an odd 4-bit width draws one column less";
}

TEST_F(ImageFileTest, TruncatedIconDrawsItsCompleteRows)
{
    Put("cut.img", Image(2, 3, 0, {1, 2, 3}));
    EXPECT_EQ(LoadIcon("cut.img", 0, 0, 0), 1);
    EXPECT_EQ(Changed(), (std::vector<Pixel>{{0, 0, 1}, {1, 0, 2}}));
    Put("header.img", {2, 0});
    EXPECT_EQ(LoadIcon("header.img", 0, 0, 0), 1);
}

TEST_F(ImageFileTest, PaletteFillsItsRange)
{
    struct Case {
        const char *name;
        Bytes file;
        int first, last;
        std::vector<int> set;  // the entries expected to change
    } const cases[] = {
        {"file shorter than the range", {1, 2, 3, 4, 5, 6}, 10, 20, {10, 11}},
        {"range shorter than the file", {1, 2, 3, 4, 5, 6}, 10, 10, {10}},
        {"record cut short", {1, 2, 3, 4, 5, 6, 7}, 10, 20, {10, 11}},
        {"empty file", {}, 10, 20, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        for (int i = 0; i < 256; ++i)
            frame_buffer.red[i] = frame_buffer.green[i] = frame_buffer.blue[i] = frame_buffer.transp[i] = 0x5A5A;
        uploads = 0;
        Put("p.pal", c.file);
        EXPECT_EQ(ErrorsOf([&] { LoadPalette("p.pal", c.first, c.last); }), "");
        EXPECT_EQ(uploads, 1) << "uploaded once, also with nothing read";
        for (int i = 0; i < 256; ++i) {
            const auto at = std::find(c.set.begin(), c.set.end(), i);
            if (at == c.set.end()) {
                ASSERT_EQ(frame_buffer.red[i], 0x5A5A) << "entry " << i;
                ASSERT_EQ(frame_buffer.transp[i], 0x5A5A) << "entry " << i;
                continue;
            }
            const int k = static_cast<int>(at - c.set.begin()) * 3;
            EXPECT_EQ(frame_buffer.red[i], c.file[k] << 8) << i;
            EXPECT_EQ(frame_buffer.green[i], c.file[k + 1] << 8) << i;
            EXPECT_EQ(frame_buffer.blue[i], c.file[k + 2] << 8) << i;
            EXPECT_EQ(frame_buffer.transp[i], 0) << i;
        }
    }

    uploads = 0;
    EXPECT_EQ(ErrorsOf([] { LoadPalette("none.pal", 0, 255); }),
              "error while loading palette: " + prefix_ + "none.pal");
    EXPECT_EQ(uploads, 0) << "no upload without a file";
}

TEST_F(ImageFileTest, ReadIconFillsTheCallersBuffer)
{
    Put("r.img", Image(3, 2, 9, {1, 2, 3, 4, 5, 6, 7, 8}));
    unsigned char buffer[8];
    memset(buffer, 0xCC, sizeof buffer);
    EXPECT_EQ(ReadIcon("r.img", buffer), 1);
    const unsigned char expected[8] = {1, 2, 3, 4, 5, 6, 0xCC, 0xCC};
    EXPECT_EQ(0, memcmp(buffer, expected, sizeof buffer)) << "width x height bytes, no more";

    Put("neg.img", Image(0xFFFF, 2, 0, {1, 2, 3}));
    memset(buffer, 0xCC, sizeof buffer);
    EXPECT_EQ(ReadIcon("neg.img", buffer), 1);
    EXPECT_EQ(buffer[0], 0xCC) << "negative sizes announce no pixels";

    EXPECT_EQ(ErrorsOf([&] { ReadIcon("none.img", buffer); }), "error while loading icon: " + prefix_ + "none.img");
    EXPECT_TRUE(Changed().empty());
}

Bytes ScreenImage()
{
    Bytes pixels(kBackgroundSize);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<unsigned char>(i * 7 + i / 720);
    return pixels;
}

TEST_F(ImageFileTest, SaveIconWritesHeaderAndPixelsWithoutTruncating)
{
    const Bytes pixels = ScreenImage();
    EXPECT_EQ(SaveIcon("new.img", pixels.data()), 1);
    Bytes file = ReadFile(dir_ / "new.img");
    ASSERT_EQ(file.size(), 5u + kBackgroundSize);
    EXPECT_EQ(Bytes(file.begin(), file.begin() + 5), (Bytes{0xD0, 0x02, 0x40, 0x02, 0x00}));
    EXPECT_TRUE(std::equal(pixels.begin(), pixels.end(), file.begin() + 5));

    Bytes longer(5 + kBackgroundSize + 10, 0xAB);
    Put("old.img", longer);
    EXPECT_EQ(SaveIcon("old.img", pixels.data()), 1);
    file = ReadFile(dir_ / "old.img");
    ASSERT_EQ(file.size(), longer.size()) << "the file keeps its length";
    EXPECT_EQ(file[4], 0);
    EXPECT_TRUE(std::equal(pixels.begin(), pixels.end(), file.begin() + 5));
    EXPECT_EQ(Bytes(file.end() - 10, file.end()), Bytes(10, 0xAB)) << "and the bytes beyond the image";

    EXPECT_EQ(ErrorsOf([&] { SaveIcon("no/dir.img", pixels.data()); }),
              "error while saving icon: " + prefix_ + "no/dir.img");

    // What SaveIcon writes, LoadBackground reads: 0xD0 0x02 0x40 0x02 is 720 x 576.
    EXPECT_EQ(ErrorsOf([] { EXPECT_EQ(LoadBackground("new.img", 0), 0); }), "");
    ASSERT_NE(frame_buffer.background, nullptr);
    EXPECT_EQ(0, memcmp(frame_buffer.background, pixels.data(), pixels.size()));
}

TEST_F(ImageFileTest, BackgroundOfTheWrongSizeIsRefused)
{
    Put("ntsc.img", Image(720, 480, 0, Bytes(720 * 480, 1)));
    static const char name[] = "ntsc.img";
    for (int attempt = 0; attempt < 2; ++attempt) {  // the same pointer reads again
        int result = 1;
        EXPECT_EQ(ErrorsOf([&] { result = LoadBackground(name, 0); }),
                  "error while loading icon: " + prefix_ + "ntsc.img - invalid resulution = 720x480");
        EXPECT_EQ(result, 0);
        EXPECT_EQ(frame_buffer.background, nullptr);
        EXPECT_STREQ(frame_buffer.background_name, "");
    }
    Put("neg.img", Image(0xFFFF, 576, 0, {}));
    EXPECT_EQ(ErrorsOf([] { LoadBackground("neg.img", 0); }),
              "error while loading icon: " + prefix_ + "neg.img - invalid resulution = -1x576");
}

TEST_F(ImageFileTest, BackgroundLoadsOncePerNamePointer)
{
    Bytes pixels(kBackgroundSize, 0x10);
    pixels[0] = 0xFF;
    pixels[kBackgroundSize - 1] = 0x7F;
    Put("bg.img", Image(720, 576, 0x10, pixels));
    static const char name[] = "bg.img";
    EXPECT_EQ(LoadBackground(name, 1), 0);
    ASSERT_NE(frame_buffer.background, nullptr);
    EXPECT_EQ(frame_buffer.background_name, name);
    EXPECT_EQ(frame_buffer.background[0], 0) << "0xFF plus 1";
    EXPECT_EQ(frame_buffer.background[1], 0x11) << "the key plays no part";
    EXPECT_EQ(frame_buffer.background[kBackgroundSize - 1], 0x80);

    Put("bg.img", Image(720, 576, 0, Bytes(kBackgroundSize, 0x44)));
    EXPECT_EQ(LoadBackground(name, 0), 1) << "same pointer: nothing read";
    EXPECT_EQ(frame_buffer.background[1], 0x11);

    const std::string same_text = name;
    EXPECT_EQ(LoadBackground(same_text.c_str(), 0), 0) << "an equal text is another name";
    EXPECT_EQ(frame_buffer.background[1], 0x44);

    EXPECT_EQ(ErrorsOf([] { LoadBackground("gone.img", 0); }), "error while loading icon: " + prefix_ + "gone.img");
    EXPECT_EQ(frame_buffer.background, nullptr);
    EXPECT_STREQ(frame_buffer.background_name, "");
    EXPECT_TRUE(Changed().empty()) << "loading draws nothing";
}

TEST_F(ImageFileTest, RestoringFromColour)
{
    SetBackgroundColor(0x105);
    RestoreBackground(10, 20, 3, 2);
    EXPECT_EQ(Changed(), Rect(10, 20, 3, 2, 5)) << "the colour's low byte";
    Snapshot();
    RestoreBackgroundBox(30, 40, 32, 41);
    EXPECT_EQ(Changed(), Rect(30, 40, 2, 1, 5));

    Snapshot();
    ClearScreen();
    EXPECT_EQ(Changed(), Rect(0, 0, kWidth, kHeight, 0xFF)) << "index 255 whatever the colour";
}

TEST_F(ImageFileTest, RestoringFromTheImage)
{
    const Bytes pixels = ScreenImage();
    Put("bg.img", Image(720, 576, 0, pixels));
    ASSERT_EQ(LoadBackground("bg.img", 0), 0);
    UseBackground(1);
    SetBackgroundColor(5);
    auto from_image = [&](int x, int y, int width, int height) {
        std::vector<Pixel> expected;
        for (int r = y; r < y + height; ++r)
            for (int c = x; c < x + width; ++c) expected.push_back({c, r, pixels[r * 720 + c]});
        return expected;
    };
    RestoreBackground(700, 570, 20, 6);
    EXPECT_EQ(Changed(), from_image(700, 570, 20, 6));
    std::fill(memory_.begin(), memory_.end(), kUntouched);
    RestoreBackgroundBox(1, 2, 4, 3);
    EXPECT_EQ(Changed(), from_image(1, 2, 3, 1));
    std::fill(memory_.begin(), memory_.end(), kUntouched);
    RestoreBackground(1, 2, 4, 0);
    EXPECT_TRUE(Changed().empty());

    ClearScreen();
    EXPECT_TRUE(std::equal(pixels.begin(), pixels.end(), memory_.begin()));

    // Without an image (a failed load), areas fall back on the colour.
    ErrorsOf([] { LoadBackground("gone.img", 0); });
    std::fill(memory_.begin(), memory_.end(), kUntouched);
    ErrorsOf([] { RestoreBackground(0, 0, 2, 1); });
    EXPECT_EQ(Changed(), Rect(0, 0, 2, 1, 5));
}

}  // namespace
}  // namespace display_test
