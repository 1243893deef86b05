#include "platform/ui/ImageCanvas.h"

#include <algorithm>
#include <cstdlib>

namespace ui {

ImageCanvas::ImageCanvas(int width, int height) {
    image_.width = std::max(width, 0);
    image_.height = std::max(height, 0);
    image_.rgb.assign(static_cast<size_t>(image_.width) * image_.height * 3, 255);
}

void ImageCanvas::Put(int x, int y, Color c) {
    if (x < 0 || y < 0 || x >= image_.width || y >= image_.height) return;
    unsigned char* p = &image_.rgb[(static_cast<size_t>(y) * image_.width + x) * 3];
    p[0] = static_cast<unsigned char>(RedOf(c));
    p[1] = static_cast<unsigned char>(GreenOf(c));
    p[2] = static_cast<unsigned char>(BlueOf(c));
}

void ImageCanvas::Line(int x0, int y0, int x1, int y1, Color c) {
    const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        Put(x0, y0, c);
        if (x0 == x1 && y0 == y1) return;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

void ImageCanvas::Square(int x, int y, int half, Color c) {
    for (int dy = -half; dy <= half; ++dy)
        for (int dx = -half; dx <= half; ++dx) Put(x + dx, y + dy, c);
}

}  // namespace ui
