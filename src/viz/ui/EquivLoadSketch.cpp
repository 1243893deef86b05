#include "viz/ui/EquivLoadSketch.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "platform/ui/ImageCanvas.h"

namespace equivsketch {

namespace {

constexpr double kPi = 3.14159265358979323846;

// Glyphs of 5 x 7 pixels, one row per byte, bit 4 the leftmost pixel: the
// letters of the labels and the angle sign (written 'p').
struct Glyph {
    char c;
    unsigned char rows[7];
};
constexpr Glyph kGlyphs[] = {
    {'y', {0x00, 0x00, 0x11, 0x11, 0x0F, 0x01, 0x0E}}, {'z', {0x00, 0x00, 0x1F, 0x02, 0x04, 0x08, 0x1F}},
    {'r', {0x00, 0x00, 0x16, 0x19, 0x10, 0x10, 0x10}}, {'n', {0x00, 0x00, 0x16, 0x19, 0x11, 0x11, 0x11}},
    {'i', {0x04, 0x00, 0x0C, 0x04, 0x04, 0x04, 0x0E}}, {'e', {0x00, 0x00, 0x0E, 0x11, 0x1F, 0x10, 0x0E}},
    {'p', {0x04, 0x0E, 0x15, 0x15, 0x15, 0x0E, 0x04}},
};

// A white picture with the slab's centre in the middle, y to the right and
// z downwards.
class Canvas : public ui::ImageCanvas {
public:
    using ui::ImageCanvas::ImageCanvas;

    // An arc of a circle about (cx, cy) from angle a0 to a1 (radians, from
    // the y axis towards z); dashed in pieces of about four pixels.
    void Arc(double cx, double cy, double r, double a0, double a1, ui::Color c, bool dashed) {
        const int pieces = std::max(8, static_cast<int>(std::fabs(a1 - a0) * r / 4.0));
        for (int k = 0; k < pieces; ++k) {
            if (dashed && k % 2) continue;
            const double t0 = a0 + (a1 - a0) * k / pieces, t1 = a0 + (a1 - a0) * (k + 1) / pieces;
            Line(X(cx, r, t0), Y(cy, r, t0), X(cx, r, t1), Y(cy, r, t1), c);
        }
    }
    // An arrow from (x0, y0) to (x1, y1) with a head of two short strokes.
    void Arrow(int x0, int y0, int x1, int y1, ui::Color c) {
        Line(x0, y0, x1, y1, c);
        const double a = std::atan2(y1 - y0, x1 - x0);
        for (double side : {-0.5, 0.5}) {
            const double b = a + kPi + side;
            Line(x1, y1, x1 + static_cast<int>(std::lround(5 * std::cos(b))),
                 y1 + static_cast<int>(std::lround(5 * std::sin(b))), c);
        }
    }
    // Text in the glyphs above, its top left corner at (x, y).
    void Text(int x, int y, const std::string& text, ui::Color c) {
        for (char ch : text) {
            for (const Glyph& g : kGlyphs) {
                if (g.c != ch) continue;
                for (int row = 0; row < 7; ++row)
                    for (int col = 0; col < 5; ++col)
                        if (g.rows[row] & (0x10 >> col)) Put(x + col, y + row, c);
            }
            x += 6;
        }
    }
    static int X(double cx, double r, double angle) { return static_cast<int>(std::lround(cx + r * std::cos(angle))); }
    static int Y(double cy, double r, double angle) { return static_cast<int>(std::lround(cy + r * std::sin(angle))); }
};

// One dashed ring of points: its radius line to the first point, the angle
// arc from the y axis and the labels r<suffix>, n<suffix>, p<suffix>.
struct Ring {
    double radius;  // fraction of the slab radius
    int points;
    double angle;  // radians from the y axis towards z
    ui::Color colour;
    char suffix;
};

void DrawRing(Canvas& c, double cx, double cy, double slab, const Ring& ring) {
    const double r = ring.radius * slab;
    c.Arc(cx, cy, r, 0.0, 2.0 * kPi, ring.colour, true);
    for (int k = 0; k < ring.points; ++k) {
        const double a = ring.angle + 2.0 * kPi * k / ring.points;
        c.Square(Canvas::X(cx, r, a), Canvas::Y(cy, r, a), 2, ring.colour);
    }
    const int fx = Canvas::X(cx, r, ring.angle), fy = Canvas::Y(cy, r, ring.angle);
    c.Line(static_cast<int>(cx), static_cast<int>(cy), fx, fy, ring.colour);
    c.Arc(cx, cy, r * 0.45, 0.0, ring.angle, ring.colour, false);
    const std::string s(1, ring.suffix);
    const double mid = ring.angle / 2.0;
    c.Text(Canvas::X(cx, r * 0.6, mid) + 2, Canvas::Y(cy, r * 0.6, mid) - 3, "p" + s, ring.colour);
    // The radius label below its line, near the ring.
    const double along = r * 0.7, across = 7.0;
    c.Text(static_cast<int>(std::lround(cx + along * std::cos(ring.angle) - across * std::sin(ring.angle))) - 6,
           static_cast<int>(std::lround(cy + along * std::sin(ring.angle) + across * std::cos(ring.angle))) - 3,
           "r" + s, ring.colour);
    // The count beside the point halfway round the ring.
    const double opposite = ring.angle + kPi;
    c.Text(Canvas::X(cx, r + 4, opposite) - 12, Canvas::Y(cy, r + 4, opposite) - 8, "n" + s, ring.colour);
}

}  // namespace

ui::Image DrawRingSketch(bool twoRings, int width, int height) {
    Canvas c(width, height);
    if (width < 16 || height < 16) return c.Take();
    const double cx = width / 2.0, cy = height / 2.0;
    const double slab = std::min(width, height) / 2.0 - 6.0;
    c.Arc(cx, cy, slab, 0.0, 2.0 * kPi, kSlab, false);
    // The axes through the centre: y to the right, z downwards.
    c.Arrow(static_cast<int>(cx), static_cast<int>(cy), static_cast<int>(cx + slab + 4), static_cast<int>(cy), kSlab);
    c.Arrow(static_cast<int>(cx), static_cast<int>(cy), static_cast<int>(cx), static_cast<int>(cy + slab + 4), kSlab);
    c.Text(static_cast<int>(cx + slab) - 4, static_cast<int>(cy) + 4, "y", kSlab);
    c.Text(static_cast<int>(cx) + 4, static_cast<int>(cy + slab) - 6, "z", kSlab);
    if (twoRings) {
        DrawRing(c, cx, cy, slab, {0.45, 6, kPi / 8.0, kInnerRing, 'i'});
        DrawRing(c, cx, cy, slab, {0.8, 10, 3.0 * kPi / 8.0, kOuterRing, 'e'});
    } else {
        DrawRing(c, cx, cy, slab, {0.65, 8, kPi / 5.0, kInnerRing, 'i'});
    }
    return c.Take();
}

ui::Image DrawIcon(int width, int height) {
    Canvas c(width, height);
    const int w = c.Width(), h = c.Height();
    if (w < 8 || h < 8) return c.Take();
    for (int y = 1; y < h - 1; ++y)
        for (int x = 1; x < w - 1; ++x) c.Put(x, y, ui::Rgb(255, 192, 203));
    c.Line(0, 0, w - 1, 0, kSlab);
    c.Line(w - 1, 0, w - 1, h - 1, kSlab);
    c.Line(w - 1, h - 1, 0, h - 1, kSlab);
    c.Line(0, h - 1, 0, 0, kSlab);
    const double r = std::min(w, h) / 2.0 - 5.0;
    for (int k = 0; k < 6; ++k) {
        const double a = 2.0 * kPi * k / 6;
        c.Square(Canvas::X(w / 2.0, r, a), Canvas::Y(h / 2.0, r, a), 1, kInnerRing);
    }
    c.Square(w / 2, h / 2, 1, kOuterRing);
    return c.Take();
}

}  // namespace equivsketch
