// A small raster to draw sketches into: an RGB image filled white, with
// pixels, straight lines and filled squares in pixel coordinates (x to the
// right, y downwards). Anything outside the image is clipped.
#pragma once

#include <utility>

#include "platform/ui/Types.h"

namespace ui {

class ImageCanvas {
public:
    ImageCanvas(int width, int height);
    int Width() const { return image_.width; }
    int Height() const { return image_.height; }

    void Put(int x, int y, Color c);
    // Bresenham's line between two pixels, both ends included.
    void Line(int x0, int y0, int x1, int y1, Color c);
    // The square of side 2 x half + 1 about (x, y).
    void Square(int x, int y, int half, Color c);
    // The image; the canvas is left empty.
    Image Take() { return std::move(image_); }

private:
    Image image_;
};

}  // namespace ui
