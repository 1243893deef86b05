#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

#include "platform/gl/DibImage.h"

using namespace brennix::gl;

namespace {

std::vector<unsigned char> ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

unsigned Le32(const std::vector<unsigned char>& d, size_t at) {
    return d[at] | (d[at + 1] << 8) | (d[at + 2] << 16) | (unsigned(d[at + 3]) << 24);
}

std::string TempPath(const char* name) {
    return (std::filesystem::temp_directory_path() / (std::string("brennix_gl_") + name)).string();
}

}  // namespace

TEST(DibImage, RgbaRowsBecomePaddedBgrRowsInTheSameOrder) {
    // 3 x 2 picture; OpenGL row 0 is the bottom.
    const unsigned char rgba[] = {
        10, 20, 30, 255, 11, 21, 31, 255, 12, 22, 32, 255,  // bottom row
        40, 50, 60, 255, 41, 51, 61, 255, 42, 52, 62, 255,  // top row
    };
    DibImage img;
    RgbaToDib(rgba, 3, 2, img);
    ASSERT_EQ(img.stride(), 12);  // 9 bytes padded to 12
    ASSERT_EQ(img.bits.size(), 24u);
    EXPECT_EQ(img.bits[0], 30);
    EXPECT_EQ(img.bits[1], 20);
    EXPECT_EQ(img.bits[2], 10);
    EXPECT_EQ(img.bits[9], 0);  // padding
    EXPECT_EQ(img.bits[12 + 6], 62);
    unsigned char px[3];
    img.PixelAt(2, 0, px);  // top row, right pixel
    EXPECT_EQ(px[0], 42);
    EXPECT_EQ(px[1], 52);
    EXPECT_EQ(px[2], 62);
    std::vector<unsigned char> rgb = DibToTopDownRgb(img);
    ASSERT_EQ(rgb.size(), 18u);
    EXPECT_EQ(rgb[0], 40);
    EXPECT_EQ(rgb[9], 10);
}

TEST(DibImage, StrideIsPaddedToFourBytes) {
    const struct { int width, stride; } cases[] = {{1, 4}, {2, 8}, {3, 12}, {4, 12}, {5, 16}, {640, 1920}, {641, 1924}};
    for (const auto& c : cases) EXPECT_EQ(DibImage::Stride(c.width), c.stride) << c.width;
}

TEST(BitmapInfo, BitsAreRaisedAndColourTablesOnlyBelow24) {
    const struct {
        int planes, bits, raised, colours;
    } cases[] = {
        {1, 1, 1, 2}, {1, 2, 4, 16}, {1, 5, 8, 256}, {1, 12, 16, 65536}, {1, 24, 24, 0}, {1, 32, 32, 0}, {3, 8, 24, 0},
    };
    for (const auto& c : cases) {
        BitmapInfo info = MakeBitmapInfo(10, 3, c.planes, c.bits);
        EXPECT_EQ(info.header.size, 40u);
        EXPECT_EQ(info.header.clrUsed, unsigned(c.colours)) << c.bits;
        EXPECT_EQ(info.colorTable.size(), size_t(c.colours) * 4);
        EXPECT_EQ(info.header.sizeImage, unsigned(((10 * c.raised + 31) & ~31) / 8 * 3)) << c.bits;
    }
    EXPECT_EQ(SerializeInfoHeader(MakeBitmapInfo(7, 5, 1, 24).header).size(), 40u);
}

TEST(BitmapFile, HeaderLayoutAndPixelsOfA24BitImage) {
    DibImage img;
    img.Allocate(5, 3);
    for (size_t i = 0; i < img.bits.size(); ++i) img.bits[i] = static_cast<unsigned char>(i * 7);
    const std::string path = TempPath("layout.bmp");
    ASSERT_EQ(WriteBitmapFile(path, MakeBitmapInfo(5, 3, 1, 24), img), BmpWriteResult::Ok);
    std::vector<unsigned char> d = ReadAll(path);
    const unsigned image = 16 * 3;  // 15 bytes padded to 16, 3 rows
    ASSERT_EQ(d.size(), 54u + image);
    EXPECT_EQ(d[0], 'B');
    EXPECT_EQ(d[1], 'M');
    EXPECT_EQ(Le32(d, 2), 54u + image);
    EXPECT_EQ(Le32(d, 6), 0u);
    EXPECT_EQ(Le32(d, 10), 54u);
    EXPECT_EQ(Le32(d, 14), 40u);
    EXPECT_EQ(Le32(d, 18), 5u);
    EXPECT_EQ(Le32(d, 22), 3u);
    EXPECT_EQ(d[26] | (d[27] << 8), 1);
    EXPECT_EQ(d[28] | (d[29] << 8), 24);
    EXPECT_EQ(Le32(d, 34), image);
    EXPECT_TRUE(std::equal(img.bits.begin(), img.bits.end(), d.begin() + 54));
    DibImage back;
    ASSERT_TRUE(ReadBitmapFile(path, back));
    EXPECT_EQ(back.bits, img.bits);
    std::remove(path.c_str());
}

TEST(BitmapFile, FailuresStopAndLeaveNoPartialFile) {
    DibImage img;
    img.Allocate(4, 4);
    // Image and header disagree: nothing is created.
    const std::string path = TempPath("mismatch.bmp");
    std::remove(path.c_str());
    EXPECT_EQ(WriteBitmapFile(path, MakeBitmapInfo(8, 4, 1, 24), img), BmpWriteResult::GetBitsFailed);
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(WriteBitmapFile(path, MakeBitmapInfo(4, 4, 1, 24), DibImage{}), BmpWriteResult::GetBitsFailed);
    EXPECT_FALSE(std::filesystem::exists(path));
    // A folder that does not exist.
    EXPECT_EQ(WriteBitmapFile(TempPath("no_such_dir/x.bmp"), MakeBitmapInfo(4, 4, 1, 24), img),
              BmpWriteResult::CreateFailed);
    // A device without space fails in writing (and is of course not removed).
    if (std::filesystem::exists("/dev/full")) {
        EXPECT_EQ(WriteBitmapFile("/dev/full", MakeBitmapInfo(4, 4, 1, 24), img), BmpWriteResult::WriteFailed);
        EXPECT_TRUE(std::filesystem::exists("/dev/full"));
    }
}

TEST(BitmapFile, AWriteThatFailsHalfwayRemovesThePartFile) {
    // A file-size limit below the size of the file makes the image write
    // fail after the headers went out.
    DibImage img;
    img.Allocate(16, 16);
    const std::string path = TempPath("partial.bmp");
    std::remove(path.c_str());
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 200;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const BmpWriteResult result = WriteBitmapFile(path, MakeBitmapInfo(16, 16, 1, 24), img);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(result, BmpWriteResult::WriteFailed);
    EXPECT_FALSE(std::filesystem::exists(path));
}
