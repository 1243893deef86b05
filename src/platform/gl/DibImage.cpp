#include "platform/gl/DibImage.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <new>

namespace brennix::gl {

namespace {

void Put16(std::vector<std::uint8_t>& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>((v >> (8 * i)) & 0xFF));
}

std::uint32_t Get32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24);
}

std::uint16_t Get16(const std::uint8_t* p) { return std::uint16_t(p[0] | (p[1] << 8)); }

// Writes all bytes, retrying short writes.
bool WriteAll(int fd, const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

void DibImage::Allocate(int w, int h) {
    width = w > 0 ? w : 0;
    height = h > 0 ? h : 0;
    bits.assign(static_cast<std::size_t>(Stride(width)) * static_cast<std::size_t>(height), 0);
}

void DibImage::PixelAt(int x, int yFromTop, std::uint8_t rgb[3]) const {
    rgb[0] = rgb[1] = rgb[2] = 0;
    if (x < 0 || x >= width || yFromTop < 0 || yFromTop >= height || bits.empty()) return;
    const std::size_t row = static_cast<std::size_t>(height - 1 - yFromTop);
    const std::uint8_t* p = bits.data() + row * static_cast<std::size_t>(stride()) + static_cast<std::size_t>(x) * 3;
    rgb[0] = p[2];
    rgb[1] = p[1];
    rgb[2] = p[0];
}

void RgbaToDib(const std::uint8_t* rgba, int width, int height, DibImage& out) {
    out.Allocate(width, height);
    if (!rgba) return;
    const int stride = out.stride();
    for (int y = 0; y < out.height; ++y) {
        const std::uint8_t* src = rgba + static_cast<std::size_t>(y) * static_cast<std::size_t>(width) * 4;
        std::uint8_t* dst = out.bits.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(stride);
        for (int x = 0; x < out.width; ++x) {
            dst[3 * x + 0] = src[4 * x + 2];
            dst[3 * x + 1] = src[4 * x + 1];
            dst[3 * x + 2] = src[4 * x + 0];
        }
    }
}

std::vector<std::uint8_t> DibToTopDownRgb(const DibImage& image) {
    std::vector<std::uint8_t> rgb;
    if (image.empty()) return rgb;
    const std::size_t w = static_cast<std::size_t>(image.width);
    rgb.resize(w * static_cast<std::size_t>(image.height) * 3);
    const std::size_t stride = static_cast<std::size_t>(image.stride());
    for (int y = 0; y < image.height; ++y) {
        const std::uint8_t* src = image.bits.data() + static_cast<std::size_t>(image.height - 1 - y) * stride;
        std::uint8_t* dst = rgb.data() + static_cast<std::size_t>(y) * w * 3;
        for (std::size_t x = 0; x < w; ++x) {
            dst[3 * x + 0] = src[3 * x + 2];
            dst[3 * x + 1] = src[3 * x + 1];
            dst[3 * x + 2] = src[3 * x + 0];
        }
    }
    return rgb;
}

BitmapInfo MakeBitmapInfo(int width, int height, int planes, int bitsPerPixel) {
    int bits = planes * bitsPerPixel;
    if (bits <= 1)
        bits = 1;
    else if (bits <= 4)
        bits = 4;
    else if (bits <= 8)
        bits = 8;
    else if (bits <= 16)
        bits = 16;
    else if (bits <= 24)
        bits = 24;
    else
        bits = 32;

    BitmapInfo info;
    BitmapInfoHeader& h = info.header;
    h.size = 40;
    h.width = width;
    h.height = height;
    h.planes = static_cast<std::uint16_t>(planes);
    h.bitCount = static_cast<std::uint16_t>(bitsPerPixel);
    h.compression = 0;
    const std::uint64_t rowBytes =
        ((static_cast<std::uint64_t>(width > 0 ? width : 0) * bits + 31) & ~std::uint64_t(31)) / 8;
    h.sizeImage = static_cast<std::uint32_t>(rowBytes * static_cast<std::uint64_t>(height > 0 ? height : 0));
    h.clrUsed = bits < 24 ? (1u << bits) : 0u;
    h.clrImportant = 0;
    info.colorTable.assign(static_cast<std::size_t>(h.clrUsed) * 4, 0);
    return info;
}

std::vector<std::uint8_t> SerializeInfoHeader(const BitmapInfoHeader& h) {
    std::vector<std::uint8_t> out;
    out.reserve(40);
    Put32(out, h.size);
    Put32(out, static_cast<std::uint32_t>(h.width));
    Put32(out, static_cast<std::uint32_t>(h.height));
    Put16(out, h.planes);
    Put16(out, h.bitCount);
    Put32(out, h.compression);
    Put32(out, h.sizeImage);
    Put32(out, static_cast<std::uint32_t>(h.xPelsPerMeter));
    Put32(out, static_cast<std::uint32_t>(h.yPelsPerMeter));
    Put32(out, h.clrUsed);
    Put32(out, h.clrImportant);
    return out;
}

BmpWriteResult WriteBitmapFile(const std::string& path, const BitmapInfo& info, const DibImage& image) {
    // The block that receives the image rows.
    std::vector<std::uint8_t> block;
    try {
        block.resize(info.header.sizeImage);
    } catch (const std::bad_alloc&) {
        return BmpWriteResult::AllocFailed;
    }

    // Copy the rows of the image in the layout the header describes; only a
    // 24-bit image of the described size can be copied.
    if (image.empty() || info.header.bitCount != 24 || info.header.width != image.width ||
        info.header.height != image.height || image.bits.size() != block.size()) {
        return BmpWriteResult::GetBitsFailed;
    }
    std::memcpy(block.data(), image.bits.data(), block.size());

    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return BmpWriteResult::CreateFailed;
    struct stat st {};
    const bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);

    const std::uint32_t colours = info.header.clrUsed;
    const std::uint32_t offset = info.header.size + 4 * colours + 14;
    std::vector<std::uint8_t> fileHeader;
    fileHeader.push_back('B');
    fileHeader.push_back('M');
    Put32(fileHeader, offset + info.header.sizeImage);
    Put16(fileHeader, 0);
    Put16(fileHeader, 0);
    Put32(fileHeader, offset);

    std::vector<std::uint8_t> infoBytes = SerializeInfoHeader(info.header);
    infoBytes.insert(infoBytes.end(), info.colorTable.begin(), info.colorTable.end());
    infoBytes.resize(info.header.size + 4 * colours, 0);

    BmpWriteResult result = BmpWriteResult::Ok;
    if (!WriteAll(fd, fileHeader.data(), fileHeader.size()) || !WriteAll(fd, infoBytes.data(), infoBytes.size()) ||
        !WriteAll(fd, block.data(), block.size())) {
        result = BmpWriteResult::WriteFailed;
    }
    if (::close(fd) != 0 && result == BmpWriteResult::Ok) result = BmpWriteResult::CloseFailed;
    if (result != BmpWriteResult::Ok && regular) ::unlink(path.c_str());
    return result;
}

bool ReadBitmapFile(const std::string& path, DibImage& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::vector<std::uint8_t> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (data.size() < 54 || data[0] != 'B' || data[1] != 'M') return false;
    const std::uint32_t offset = Get32(&data[10]);
    const std::int32_t width = static_cast<std::int32_t>(Get32(&data[18]));
    const std::int32_t height = static_cast<std::int32_t>(Get32(&data[22]));
    if (Get16(&data[28]) != 24 || Get32(&data[30]) != 0 || width <= 0 || height <= 0) return false;
    DibImage image;
    image.Allocate(width, height);
    if (offset > data.size() || data.size() - offset < image.bits.size()) return false;
    std::memcpy(image.bits.data(), data.data() + offset, image.bits.size());
    out = std::move(image);
    return true;
}

}  // namespace brennix::gl
