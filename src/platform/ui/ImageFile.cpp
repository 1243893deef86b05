// PNG pictures decoded in the layer with libpng, so that the headless back
// end sees the same pixels as the desktop.
#include <png.h>

#include <cstring>

#include "platform/ui/Services.h"

namespace ui {

namespace {

// Larger pictures are refused rather than allocated (about 200 MB of RGB).
constexpr unsigned long kMaxPixels = 64ul * 1024 * 1024;

}  // namespace

Image LoadImage(const std::string& path, std::optional<Color> transparent) {
    Image result;
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&png, path.c_str())) return result;
    png.format = PNG_FORMAT_RGB;
    const unsigned long pixels = static_cast<unsigned long>(png.width) * png.height;
    if (png.width == 0 || png.height == 0 || pixels > kMaxPixels) {
        png_image_free(&png);
        return result;
    }
    std::vector<std::uint8_t> rgb(PNG_IMAGE_SIZE(png));
    png_color white{255, 255, 255};
    if (!png_image_finish_read(&png, &white, rgb.data(), 0, nullptr)) {
        png_image_free(&png);
        return result;
    }
    result.width = static_cast<int>(png.width);
    result.height = static_cast<int>(png.height);
    result.rgb = std::move(rgb);
    result.transparent = transparent;
    return result;
}

}  // namespace ui
