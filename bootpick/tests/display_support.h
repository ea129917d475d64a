// Test support for the display layer: an in-memory screen to draw on, a
// record of which pixels an operation changed, and a scratch directory.
#pragma once

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <ftw.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "framebuffer.h"

namespace display_test {

inline constexpr int kWidth = 720;
inline constexpr int kHeight = 576;
// No drawn pixel may spill into the stride beyond the visible width.
inline constexpr unsigned char kUntouched = 0xEE;

struct Pixel {
    int x, y, value;
    bool operator==(const Pixel &) const = default;
};

inline void PrintTo(const Pixel &p, std::ostream *os)
{
    *os << "(" << p.x << "," << p.y << ")=" << p.value;
}

// A 720 x 576 screen in memory with the given line length, filled with
// kUntouched, standing in for the mapped device.
class ScreenTest : public testing::Test {
protected:
    explicit ScreenTest(int line_length = 736) : line_length_(line_length)
    {
        memory_.assign(static_cast<size_t>(line_length_) * kHeight, kUntouched);
        UseScreenMemory(memory_.data(), kWidth, kHeight, line_length_);
        Snapshot();
    }
    ~ScreenTest() override { UseScreenMemory(nullptr, 0, 0, 0); }

    unsigned char &At(int x, int y) { return memory_[static_cast<size_t>(y) * line_length_ + x]; }
    void Snapshot() { before_ = memory_; }

    // The pixels that differ from the snapshot, row by row; a change in the
    // bytes beyond the visible width shows as an x of 720 or more.
    std::vector<Pixel> Changed() const
    {
        std::vector<Pixel> changed;
        for (size_t i = 0; i < memory_.size(); ++i)
            if (memory_[i] != before_[i])
                changed.push_back({static_cast<int>(i % line_length_),
                                   static_cast<int>(i / line_length_), memory_[i]});
        return changed;
    }

    // Every pixel of the rectangle, in the order Changed() lists them.
    static std::vector<Pixel> Rect(int x, int y, int width, int height, int value)
    {
        std::vector<Pixel> pixels;
        for (int r = y; r < y + height; ++r)
            for (int c = x; c < x + width; ++c) pixels.push_back({c, r, value});
        return pixels;
    }

    int line_length_;
    std::vector<unsigned char> memory_;
    std::vector<unsigned char> before_;
};

// A scratch directory removed with everything in it at the end of the test.
class ScratchDir {
public:
    ScratchDir()
    {
        const char *tmp = getenv("TMPDIR");
        path_ = std::string(tmp && *tmp ? tmp : "/tmp") + "/displaytest.XXXXXX";
        if (mkdtemp(path_.data()) == nullptr) {
            fprintf(stderr, "SETUP FAILED: cannot create a scratch directory: %s\n", strerror(errno));
            abort();  // no sandbox, no test
        }
    }
    ~ScratchDir()
    {
        nftw(
            path_.c_str(),
            [](const char *p, const struct stat *, int, FTW *) { return remove(p); }, 8,
            FTW_DEPTH | FTW_PHYS);
    }
    const std::string &path() const { return path_; }
    std::string operator/(const std::string &name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

inline void WriteFile(const std::string &path, const std::vector<unsigned char> &bytes)
{
    FILE *f = fopen(path.c_str(), "wb");
    if (f == nullptr || (!bytes.empty() && fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) ||
        fclose(f) != 0) {
        fprintf(stderr, "SETUP FAILED: cannot write %s: %s\n", path.c_str(), strerror(errno));
        abort();
    }
}

inline std::vector<unsigned char> ReadFile(const std::string &path)
{
    std::vector<unsigned char> bytes;
    FILE *f = fopen(path.c_str(), "rb");
    if (f == nullptr) return bytes;
    unsigned char buffer[65536];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, f)) > 0) bytes.insert(bytes.end(), buffer, buffer + n);
    fclose(f);
    return bytes;
}

}  // namespace display_test
