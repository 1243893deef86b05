#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace brennix::gl {

// A 24-bit device-independent image: rows stored bottom-up, each row holding
// blue, green, red bytes per pixel and padded to a multiple of 4 bytes.
struct DibImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> bits;

    static int Stride(int width) { return ((width * 24 + 31) & ~31) / 8; }
    int stride() const { return Stride(width); }
    bool empty() const { return width <= 0 || height <= 0 || bits.empty(); }
    // Allocates a zeroed (black) image of the given size.
    void Allocate(int w, int h);
    // Pixel (x, y) with y counted from the top row of the picture, as
    // red, green, blue.
    void PixelAt(int x, int yFromTop, std::uint8_t rgb[3]) const;
};

// Converts a bottom-up RGBA buffer (OpenGL row order: first row is the
// bottom of the picture) into the image rows.
void RgbaToDib(const std::uint8_t* rgba, int width, int height, DibImage& out);

// Top-down RGB rows (3 bytes per pixel, no padding), as screen blitting
// wants them.
std::vector<std::uint8_t> DibToTopDownRgb(const DibImage& image);

// The 40-byte information header of a device-independent bitmap.
struct BitmapInfoHeader {
    std::uint32_t size = 40;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint16_t planes = 1;
    std::uint16_t bitCount = 24;
    std::uint32_t compression = 0;  // uncompressed
    std::uint32_t sizeImage = 0;
    std::int32_t xPelsPerMeter = 0;
    std::int32_t yPelsPerMeter = 0;
    std::uint32_t clrUsed = 0;
    std::uint32_t clrImportant = 0;
};

// Header plus colour table, as a bitmap file stores them after the file
// header.
struct BitmapInfo {
    BitmapInfoHeader header;
    std::vector<std::uint8_t> colorTable;  // 4 bytes per entry, zeroed
};

// Describes a bitmap of the given size: bits per pixel = planes x bits,
// raised to the next of 1, 4, 8, 16, 24, 32; a colour table only below 24.
BitmapInfo MakeBitmapInfo(int width, int height, int planes, int bitsPerPixel);

// Serialises the information header in little-endian byte order.
std::vector<std::uint8_t> SerializeInfoHeader(const BitmapInfoHeader& h);

enum class BmpWriteResult { Ok, AllocFailed, GetBitsFailed, CreateFailed, WriteFailed, CloseFailed };

// Writes a ".bmp" file: the 14-byte file header ("BM", file size, two
// reserved words, bits offset), the information header with its colour
// table, then the image rows. Stops at the first failing step; a partly
// written regular file is removed.
BmpWriteResult WriteBitmapFile(const std::string& path, const BitmapInfo& info, const DibImage& image);

// Reads back a 24-bit uncompressed bitmap file (used to check exports).
bool ReadBitmapFile(const std::string& path, DibImage& out);

}  // namespace brennix::gl
