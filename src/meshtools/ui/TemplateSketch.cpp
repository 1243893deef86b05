#include "meshtools/ui/TemplateSketch.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "meshtools/StructuredMesh.h"
#include "platform/ui/ImageCanvas.h"

namespace sketch {

namespace {

// A white picture to draw into, with the model's y to the right and z up.
class Canvas : public ui::ImageCanvas {
public:
    Canvas(int w, int h) : ui::ImageCanvas(w, h) { scale_ = std::max(std::min(Width(), Height()) / 2.0 - 8.0, 1.0); }
    int X(double y) const { return static_cast<int>(std::lround(Width() / 2.0 + y * scale_)); }
    int Y(double z) const { return static_cast<int>(std::lround(Height() / 2.0 - z * scale_)); }
    void Square(double y, double z, int half, ui::Color c) { ui::ImageCanvas::Square(X(y), Y(z), half, c); }

private:
    double scale_ = 1.0;
};

// A sketch mesh: its division lines in y and z and whether it is bent onto
// the disc of radius 1.
struct SketchMesh {
    std::vector<double> ys;
    std::vector<double> zs;
    bool round = false;

    void Map(double y, double z, double& yOut, double& zOut) const {
        MapSquareToRound(y, z, yOut, zOut, 2.0, 2.0, round ? 1 : 2);
    }
};

SketchMesh MeshOf(int shape) {
    switch (shape) {
        case 0: return {{-1.0, -0.5, 0.0, 0.5, 1.0}, {1.0, 0.5, 0.0, -0.5, -1.0}, true};
        case 1: return {{-1.0, -0.5, 0.0, 0.5, 1.0}, {0.7, 0.2333, -0.2333, -0.7}, false};
        default: return {{-1.0, -0.6, 0.1, 0.4, 1.0}, {0.7, 0.35, -0.1, -0.7}, false};
    }
}

// The line from (y0, z0) to (y1, z1) of the square grid, drawn through the
// mesh's map in short pieces so that bent lines stay smooth.
void DrawGridLine(Canvas& c, const SketchMesh& m, double y0, double z0, double y1, double z1) {
    constexpr int kPieces = 24;
    int px = 0, py = 0;
    for (int i = 0; i <= kPieces; ++i) {
        const double t = static_cast<double>(i) / kPieces;
        double y, z;
        m.Map(y0 + (y1 - y0) * t, z0 + (z1 - z0) * t, y, z);
        const int x = c.X(y), yy = c.Y(z);
        if (i > 0) c.Line(px, py, x, yy, kEdge);
        px = x;
        py = yy;
    }
}

void DrawNode(Canvas& c, const SketchMesh& m, double y, double z, int half, ui::Color colour) {
    double my, mz;
    m.Map(y, z, my, mz);
    c.Square(my, mz, half, colour);
}

}  // namespace

ui::Image DrawTemplateSketch(int shape, int elementType, int width, int height) {
    Canvas canvas(width, height);
    if (shape < 0 || shape > 2 || elementType < 0 || elementType > 2) return canvas.Take();
    const SketchMesh m = MeshOf(shape);
    const double yFirst = m.ys.front(), yLast = m.ys.back();
    const double zFirst = m.zs.front(), zLast = m.zs.back();
    for (double y : m.ys) DrawGridLine(canvas, m, y, zFirst, y, zLast);
    for (double z : m.zs) DrawGridLine(canvas, m, yFirst, z, yLast, z);

    for (size_t i = 0; i < m.ys.size(); ++i)
        for (size_t j = 0; j < m.zs.size(); ++j) {
            const bool yMid = i + 1 < m.ys.size(), zMid = j + 1 < m.zs.size();
            const double ym = yMid ? (m.ys[i] + m.ys[i + 1]) / 2.0 : 0.0;
            const double zm = zMid ? (m.zs[j] + m.zs[j + 1]) / 2.0 : 0.0;
            if (elementType > 0 && yMid) DrawNode(canvas, m, ym, m.zs[j], 1, kMidSide);
            if (elementType > 0 && zMid) DrawNode(canvas, m, m.ys[i], zm, 1, kMidSide);
            if (elementType == 2 && yMid && zMid) DrawNode(canvas, m, ym, zm, 1, kCentre);
            DrawNode(canvas, m, m.ys[i], m.zs[j], 2, kCorner);
        }
    return canvas.Take();
}

}  // namespace sketch
