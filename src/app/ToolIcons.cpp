#include "app/ToolIcons.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <utility>

#include "app/KorbelCommands.h"
#include "platform/ui/Commands.h"

namespace korbel {

namespace {

struct Rgb {
    double r, g, b;
};

// The button face the pictures are drawn on; it is their transparent
// colour, so the real face shows around the drawing.
constexpr Rgb kFace{192, 192, 192};
constexpr Rgb kInk{40, 40, 48};
constexpr Rgb kPaper{252, 252, 248};
constexpr Rgb kSlab{70, 120, 200};
constexpr Rgb kSlabLight{170, 200, 240};
constexpr Rgb kLoad{210, 40, 40};
constexpr Rgb kSupport{30, 140, 70};
constexpr Rgb kFolder{235, 190, 60};
constexpr Rgb kGlass{120, 180, 230};
constexpr Rgb kHighlight{250, 210, 40};

struct Pt {
    double x, y;
};

// A 32 x 32 canvas with antialiased shapes: each pixel takes the part of
// a shape that covers it.
class Canvas {
public:
    Canvas() { px_.assign(kToolIconSide * kToolIconSide, kFace); }

    void Blend(int x, int y, const Rgb& c, double a) {
        if (x < 0 || y < 0 || x >= kToolIconSide || y >= kToolIconSide || a <= 0) return;
        a = std::min(a, 1.0);
        Rgb& p = px_[static_cast<size_t>(y) * kToolIconSide + x];
        p = Rgb{p.r + (c.r - p.r) * a, p.g + (c.g - p.g) * a, p.b + (c.b - p.b) * a};
    }

    // Each pixel's cover by a shape given as a signed distance (negative
    // inside), in pixel units.
    template <class Dist>
    void Shape(const Rgb& c, Dist dist) {
        for (int y = 0; y < kToolIconSide; ++y)
            for (int x = 0; x < kToolIconSide; ++x) Blend(x, y, c, 0.5 - dist(x + 0.5, y + 0.5));
    }

    void Line(Pt a, Pt b, double width, const Rgb& c) {
        Shape(c, [&](double x, double y) { return SegmentDistance(a, b, x, y) - width / 2; });
    }
    void Lines(std::initializer_list<Pt> pts, double width, const Rgb& c, bool closed = false) {
        const std::vector<Pt> v(pts);
        Shape(c, [&](double x, double y) {
            double d = 1e9;
            for (size_t i = 0; i + 1 < v.size(); ++i) d = std::min(d, SegmentDistance(v[i], v[i + 1], x, y));
            if (closed && v.size() > 2) d = std::min(d, SegmentDistance(v.back(), v.front(), x, y));
            return d - width / 2;
        });
    }
    void Disc(Pt o, double r, const Rgb& c) {
        Shape(c, [&](double x, double y) { return std::hypot(x - o.x, y - o.y) - r; });
    }
    void Ring(Pt o, double r, double width, const Rgb& c) {
        Shape(c, [&](double x, double y) { return std::abs(std::hypot(x - o.x, y - o.y) - r) - width / 2; });
    }
    // An arc from angle a0 to a1 (degrees, counter-clockwise, 0 to the right).
    void Arc(Pt o, double r, double a0, double a1, double width, const Rgb& c) {
        const double k = 3.14159265358979 / 180;
        const int n = 24;
        std::vector<Pt> v;
        for (int i = 0; i <= n; ++i) {
            const double a = (a0 + (a1 - a0) * i / n) * k;
            v.push_back({o.x + r * std::cos(a), o.y - r * std::sin(a)});
        }
        Shape(c, [&](double x, double y) {
            double d = 1e9;
            for (size_t i = 0; i + 1 < v.size(); ++i) d = std::min(d, SegmentDistance(v[i], v[i + 1], x, y));
            return d - width / 2;
        });
    }
    // A filled polygon, sampled 4 x 4 times per pixel.
    void Fill(std::initializer_list<Pt> pts, const Rgb& c) {
        const std::vector<Pt> v(pts);
        for (int y = 0; y < kToolIconSide; ++y)
            for (int x = 0; x < kToolIconSide; ++x) {
                int in = 0;
                for (int sy = 0; sy < 4; ++sy)
                    for (int sx = 0; sx < 4; ++sx) in += Inside(v, x + (sx + 0.5) / 4, y + (sy + 0.5) / 4);
                Blend(x, y, c, in / 16.0);
            }
    }
    // A filled polygon with an outline.
    void Outlined(std::initializer_list<Pt> pts, const Rgb& fill, const Rgb& ink = kInk, double width = 1.2) {
        Fill(pts, fill);
        Lines(pts, width, ink, true);
    }
    void Rect(double x0, double y0, double x1, double y1, const Rgb& fill, const Rgb& ink = kInk) {
        Outlined({{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}}, fill, ink);
    }
    // An arrow from a to b with its head at b.
    void Arrow(Pt a, Pt b, double width, double head, const Rgb& c) {
        const double dx = b.x - a.x, dy = b.y - a.y, len = std::hypot(dx, dy);
        const double ux = dx / len, uy = dy / len;
        const Pt base{b.x - ux * head, b.y - uy * head};
        Line(a, base, width, c);
        Fill({b,
              {base.x - uy * head * 0.6, base.y + ux * head * 0.6},
              {base.x + uy * head * 0.6, base.y - ux * head * 0.6}},
             c);
    }
    // A vertical spring from y0 down to y1 at x.
    void Spring(double x, double y0, double y1, const Rgb& c) {
        const double h = (y1 - y0);
        Lines({{x, y0},
               {x, y0 + h * 0.2},
               {x - 3, y0 + h * 0.3},
               {x + 3, y0 + h * 0.45},
               {x - 3, y0 + h * 0.6},
               {x + 3, y0 + h * 0.75},
               {x, y0 + h * 0.82},
               {x, y1}},
              1.3, c);
    }
    // A support: a triangle under the point with the ground hatched.
    void Support(Pt p, double size, const Rgb& c) {
        Outlined({p, {p.x - size, p.y + size * 1.4}, {p.x + size, p.y + size * 1.4}}, c);
        const double g = p.y + size * 1.4 + 1.5;
        Line({p.x - size - 2, g}, {p.x + size + 2, g}, 1.3, kInk);
    }
    // The mouse pointer with its tip at p.
    void Pointer(Pt p) {
        Outlined({p,
                  {p.x, p.y + 13},
                  {p.x + 3.2, p.y + 10},
                  {p.x + 5.6, p.y + 15},
                  {p.x + 7.6, p.y + 14},
                  {p.x + 5.4, p.y + 9.2},
                  {p.x + 9.5, p.y + 9.2}},
                 kPaper, kInk, 1.1);
    }
    // A sheet of paper with a folded corner.
    void Sheet(double x0, double y0, double x1, double y1) {
        const double f = 6;
        Outlined({{x0, y0}, {x1 - f, y0}, {x1, y0 + f}, {x1, y1}, {x0, y1}}, kPaper);
        Lines({{x1 - f, y0}, {x1 - f, y0 + f}, {x1, y0 + f}}, 1.0, kInk);
    }
    void TextLines(double x0, double x1, double y0, int n, double step = 3.5) {
        for (int i = 0; i < n; ++i)
            Line({x0, y0 + i * step}, {i == n - 1 ? (x0 + x1) / 2 : x1, y0 + i * step}, 1.2, kSlab);
    }
    void Magnifier(Pt o, double r) {
        Disc(o, r, kGlass);
        Ring(o, r, 2.2, kInk);
        const double k = r * 0.72;
        Line({o.x + k, o.y + k}, {o.x + k + r * 0.9, o.y + k + r * 0.9}, 3.4, kInk);
    }
    // A plan of a square slab cut into 2 x 2 elements.
    void Mesh(double x0, double y0, double x1, double y1, const Rgb& fill = kSlabLight) {
        Rect(x0, y0, x1, y1, fill, kSlab);
        Line({(x0 + x1) / 2, y0}, {(x0 + x1) / 2, y1}, 1.2, kSlab);
        Line({x0, (y0 + y1) / 2}, {x1, (y0 + y1) / 2}, 1.2, kSlab);
    }
    // A slab seen at an angle, as loads and supports act on it.
    void Plate(double y) { Outlined({{4, y}, {22, y}, {28, y - 5}, {10, y - 5}}, kSlabLight, kSlab); }
    // A wire cube; face: 0 none, 1 top, 2 bottom, 3 front, 4 side, 5 the three seen faces.
    void Cube(int face) {
        const Pt f0{5, 11}, f1{21, 11}, f2{21, 27}, f3{5, 27};  // front square
        const double d = 6;
        const Pt b0{f0.x + d, f0.y - d}, b1{f1.x + d, f1.y - d}, b2{f2.x + d, f2.y - d}, b3{f3.x + d, f3.y - d};
        const Rgb pale{215, 225, 240};
        if (face == 5) {
            Fill({f0, f1, f2, f3}, kSlab);
            Fill({f0, b0, b1, f1}, kSlabLight);
            Fill({f1, b1, b2, f2}, Rgb{40, 80, 150});
        } else {
            Fill({f0, f1, f2, f3}, pale);
            Fill({f0, b0, b1, f1}, pale);
            Fill({f1, b1, b2, f2}, pale);
        }
        if (face == 1) Fill({f0, b0, b1, f1}, kHighlight);
        if (face == 2) {
            Fill({f3, b3, b2, f2}, kHighlight);
            Lines({f3, b3, b2}, 1.0, kInk);
        }
        if (face == 3) Fill({f0, f1, f2, f3}, kHighlight);
        if (face == 4) Fill({f1, b1, b2, f2}, kHighlight);
        if (face != 2 && face != 5) Lines({b3, b0}, 0.8, Rgb{150, 150, 160});
        Lines({f0, f1, f2, f3}, 1.2, kInk, true);
        Lines({f0, b0, b1, f1}, 1.2, kInk);
        Lines({b1, b2, f2}, 1.2, kInk);
    }

    ui::Image Picture() const {
        ui::Image img;
        img.width = img.height = kToolIconSide;
        img.rgb.resize(px_.size() * 3);
        for (size_t i = 0; i < px_.size(); ++i) {
            img.rgb[i * 3] = static_cast<std::uint8_t>(std::lround(px_[i].r));
            img.rgb[i * 3 + 1] = static_cast<std::uint8_t>(std::lround(px_[i].g));
            img.rgb[i * 3 + 2] = static_cast<std::uint8_t>(std::lround(px_[i].b));
        }
        img.transparent = ui::Rgb(static_cast<int>(kFace.r), static_cast<int>(kFace.g), static_cast<int>(kFace.b));
        return img;
    }

private:
    static double SegmentDistance(Pt a, Pt b, double x, double y) {
        const double dx = b.x - a.x, dy = b.y - a.y;
        const double l2 = dx * dx + dy * dy;
        double t = l2 > 0 ? ((x - a.x) * dx + (y - a.y) * dy) / l2 : 0;
        t = std::clamp(t, 0.0, 1.0);
        return std::hypot(x - (a.x + t * dx), y - (a.y + t * dy));
    }
    static bool Inside(const std::vector<Pt>& v, double x, double y) {
        bool in = false;
        for (size_t i = 0, j = v.size() - 1; i < v.size(); j = i++)
            if ((v[i].y > y) != (v[j].y > y) && x < (v[j].x - v[i].x) * (y - v[i].y) / (v[j].y - v[i].y) + v[i].x)
                in = !in;
        return in;
    }

    std::vector<Rgb> px_;
};

bool Draw(Canvas& c, int id) {
    switch (id) {
        // File bar.
        case ui::cmd::FileNew:
            c.Sheet(7, 3, 25, 29);
            c.Line({16, 12}, {16, 22}, 2.4, kSupport);
            c.Line({11, 17}, {21, 17}, 2.4, kSupport);
            return true;
        case ui::cmd::FileOpen:
            c.Outlined({{3, 8}, {11, 8}, {13, 11}, {25, 11}, {25, 26}, {3, 26}}, kFolder);
            c.Outlined({{7, 15}, {30, 15}, {25, 26}, {3, 26}}, Rgb{250, 215, 110});
            return true;
        case ui::cmd::FileSave:
            c.Outlined({{4, 4}, {25, 4}, {28, 7}, {28, 28}, {4, 28}}, kSlab);
            c.Rect(9, 4, 22, 12, kPaper);
            c.Rect(18, 5.5, 20.5, 10.5, kInk);
            c.Rect(8, 17, 24, 28, kPaper);
            return true;
        case ID_FILE_NEW_FROM_TEMPLATE:
            c.Sheet(5, 3, 27, 29);
            c.Mesh(9, 12, 23, 26);
            return true;
        case ui::cmd::FilePrint:
            c.Rect(9, 3, 23, 13, kPaper);
            c.Outlined({{3, 12}, {29, 12}, {29, 24}, {3, 24}}, Rgb{150, 150, 160});
            c.Rect(8, 19, 24, 29, kPaper);
            c.TextLines(11, 21, 23, 2);
            c.Disc({25, 15.5}, 1.3, kSupport);
            return true;
        case ui::cmd::FilePrintPreview:
            c.Sheet(4, 3, 22, 28);
            c.TextLines(7, 17, 11, 3);
            c.Magnifier({18, 18}, 6);
            return true;
        case ID_FILE_SAVE_BITMAP:
            c.Rect(3, 6, 29, 26, Rgb{200, 230, 250});
            c.Fill({{4.5, 24.5}, {12, 13}, {18, 21}, {21, 17}, {27.5, 24.5}}, kSupport);
            c.Disc({22, 11}, 2.6, kHighlight);
            return true;
        case ID_RUN_ANALYSIS: c.Outlined({{8, 4}, {27, 16}, {8, 28}}, kSupport); return true;
        case ID_VIEW_INPUT_FILE:
            c.Sheet(10, 3, 28, 29);
            c.TextLines(13, 24, 12, 4);
            c.Arrow({2, 18}, {13, 18}, 2.4, 6, kLoad);
            return true;
        case ID_VIEW_MESSAGE_FILE:
            c.Outlined({{3, 5}, {29, 5}, {29, 21}, {14, 21}, {7, 28}, {9, 21}, {3, 21}}, kPaper);
            c.TextLines(7, 25, 10, 3, 4);
            return true;
        case ui::cmd::AppAbout:
            c.Disc({16, 16}, 13, kSlab);
            c.Disc({16, 9.5}, 2.2, kPaper);
            c.Line({16, 14}, {16, 24}, 3.6, kPaper);
            return true;
        // View bar.
        case ID_PANNING:
            c.Arrow({16, 16}, {16, 2}, 2.2, 6, kInk);
            c.Arrow({16, 16}, {16, 30}, 2.2, 6, kInk);
            c.Arrow({16, 16}, {2, 16}, 2.2, 6, kInk);
            c.Arrow({16, 16}, {30, 16}, 2.2, 6, kInk);
            return true;
        case ID_ROTATE:
            c.Arc({16, 16}, 10, 120, 400, 2.6, kSlab);
            c.Fill({{24.5, 3}, {28, 14}, {18, 11}}, kSlab);
            return true;
        case ID_ZOOM:
            c.Magnifier({13, 13}, 9);
            c.Line({9, 13}, {17, 13}, 2.2, kInk);
            c.Line({13, 9}, {13, 17}, 2.2, kInk);
            return true;
        case ID_ZOOM_WINDOW:
            for (int i = 0; i < 5; ++i) {
                c.Line({3.0 + i * 5, 4}, {5.5 + i * 5, 4}, 1.4, kInk);
                c.Line({3.0 + i * 5, 22}, {5.5 + i * 5, 22}, 1.4, kInk);
            }
            for (int i = 0; i < 4; ++i) {
                c.Line({3, 4.0 + i * 5}, {3, 6.5 + i * 5}, 1.4, kInk);
                c.Line({25, 4.0 + i * 5}, {25, 6.5 + i * 5}, 1.4, kInk);
            }
            c.Magnifier({19, 19}, 5.5);
            return true;
        case ID_RESTART:
            c.Outlined({{16, 4}, {29, 16}, {25, 16}, {25, 28}, {7, 28}, {7, 16}, {3, 16}}, kPaper);
            c.Rect(13, 19, 19, 28, kSlab);
            return true;
        case ID_VIEW_TOP: c.Cube(1); return true;
        case ID_VIEW_BOTTOM: c.Cube(2); return true;
        case ID_VIEW_FRONT: c.Cube(3); return true;
        case ID_VIEW_SIDE: c.Cube(4); return true;
        case ID_VIEW_3D: c.Cube(5); return true;
        case ID_ROTATION_ANGLES:
            c.Line({4, 27}, {29, 27}, 2, kInk);
            c.Line({4, 27}, {22, 6}, 2, kInk);
            c.Arc({4, 27}, 14, 0, 49, 1.8, kLoad);
            c.Fill({{17.5, 25}, {19.5, 20}, {21, 25}}, kLoad);
            return true;
        // Select bar.
        case ID_SELECT_NODE:
            c.Mesh(2, 2, 22, 22, kPaper);
            c.Disc({12, 12}, 3.6, kLoad);
            c.Pointer({14, 14});
            return true;
        case ID_SELECT_ELEMENT:
            c.Mesh(2, 2, 22, 22, kPaper);
            c.Rect(2, 2, 12, 12, kHighlight, kSlab);
            c.Pointer({8, 8});
            return true;
        case ID_SELECT_EDGE:
            c.Mesh(2, 2, 22, 22, kPaper);
            c.Line({2, 12}, {12, 12}, 3.2, kLoad);
            c.Pointer({8, 12});
            return true;
        // Actions bar.
        case ID_NEW_MATERIAL:
            c.Outlined({{3, 22}, {19, 22}, {29, 16}, {13, 16}}, Rgb{160, 120, 80});
            c.Outlined({{3, 16}, {19, 16}, {29, 10}, {13, 10}}, Rgb{190, 190, 200});
            c.Outlined({{3, 10}, {19, 10}, {29, 4}, {13, 4}}, kSlabLight);
            c.Line({16, 26}, {16, 30}, 2, kSupport);
            c.Line({14, 28}, {18, 28}, 2, kSupport);
            return true;
        case ID_NODAL_CONSTRAINTS:
            c.Line({2, 9}, {30, 9}, 2.4, kSlab);
            c.Disc({16, 9}, 3, kInk);
            c.Support({16, 12}, 7, kSupport);
            return true;
        case ID_NODAL_LOADS:
            c.Line({2, 24}, {30, 24}, 2.4, kSlab);
            c.Disc({16, 24}, 3, kInk);
            c.Arrow({16, 2}, {16, 20}, 2.6, 7, kLoad);
            return true;
        case ID_DISTRIBUTED_LOADS:
            c.Plate(29);
            c.Line({4, 4}, {28, 4}, 1.6, kLoad);
            for (double x : {6.0, 12.0, 18.0, 24.0}) c.Arrow({x, 4}, {x, 21}, 1.6, 5, kLoad);
            return true;
        case ID_DISTRIBUTED_STIFFNESS:
            c.Plate(10);
            for (double x : {7.0, 15.0, 23.0}) c.Spring(x, 8, 26, kSupport);
            c.Line({3, 27}, {29, 27}, 1.6, kInk);
            return true;
        case ID_CONCENTRATED_LOADS:
            c.Plate(29);
            c.Arrow({16, 2}, {16, 22}, 3.6, 9, kLoad);
            return true;
        case ID_CONCENTRATED_STIFFNESS:
            c.Plate(10);
            c.Disc({16, 7.5}, 2.4, kInk);
            c.Spring(16, 8, 26, kSupport);
            c.Line({9, 27}, {23, 27}, 1.6, kInk);
            return true;
        case ID_EDGE_LOADS:
            c.Mesh(10, 12, 30, 30, kSlabLight);
            c.Line({10, 12}, {30, 12}, 3, kLoad);
            for (double x : {13.0, 20.0, 27.0}) c.Arrow({x - 6, 1}, {x, 10}, 1.5, 4.5, kLoad);
            return true;
        case ID_EDGE_STIFFNESS:
            c.Mesh(4, 2, 28, 14, kSlabLight);
            c.Line({4, 14}, {28, 14}, 3, kSupport);
            for (double x : {8.0, 16.0, 24.0}) c.Spring(x, 14, 28, kSupport);
            c.Line({3, 29}, {29, 29}, 1.6, kInk);
            return true;
        case ID_SECTION_CUT:
            c.Mesh(3, 3, 29, 29, kSlabLight);
            for (int i = 0; i < 6; ++i) {
                const double t0 = i / 6.0 + 0.02, t1 = t0 + 0.09;
                c.Line({2 + 28 * t0, 26 - 20 * t0}, {2 + 28 * t1, 26 - 20 * t1}, 2.4, kLoad);
            }
            return true;
        // Results bar.
        case ID_SELECT_STEP:
            c.Disc({16, 17}, 12, kPaper);
            c.Ring({16, 17}, 12, 2, kInk);
            c.Rect(13, 1.5, 19, 4.5, kInk);
            c.Line({16, 17}, {16, 8}, 2, kInk);
            c.Line({16, 17}, {22, 20}, 2, kLoad);
            return true;
        case ID_DEFORMED_MESH:
            // The slab as it was (grey) and bent under load, with its nodes.
            c.Line({3, 9}, {29, 9}, 1.6, Rgb{150, 150, 160});
            for (double x : {3.0, 16.0, 29.0}) c.Line({x, 9}, {x, 12}, 1.2, Rgb{150, 150, 160});
            c.Lines({{3, 12}, {6.5, 17.5}, {10, 21.5}, {16, 24}, {22, 21.5}, {25.5, 17.5}, {29, 12}}, 2.2, kSlab);
            for (Pt p : {Pt{3, 12}, Pt{10, 21.5}, Pt{16, 24}, Pt{22, 21.5}, Pt{29, 12}}) c.Disc(p, 2.1, kInk);
            c.Arrow({16, 2}, {16, 15}, 1.8, 5, kLoad);
            return true;
        case ID_CONTOUR_PLOT: {
            const Rgb ramp[] = {{40, 60, 200}, {40, 170, 220}, {60, 190, 80}, {240, 210, 40}, {220, 50, 40}};
            for (int i = 0; i < 5; ++i) c.Disc({16, 16}, 14 - i * 2.8, ramp[i]);
            c.Ring({16, 16}, 14, 1.2, kInk);
            return true;
        }
        case ID_XY_PLOT:
            c.Arrow({5, 29}, {5, 2}, 1.6, 5, kInk);
            c.Arrow({3, 27}, {30, 27}, 1.6, 5, kInk);
            c.Lines({{6, 22}, {11, 10}, {16, 8}, {21, 16}, {26, 12}}, 2, kLoad);
            return true;
        case ID_NODE_RESULTS:
            c.Mesh(2, 14, 18, 30, kSlabLight);
            c.Disc({10, 22}, 3.2, kLoad);
            c.Line({10, 22}, {16, 12}, 1.2, kInk);
            c.Rect(14, 2, 30, 13, kPaper);
            c.Line({17, 5.5}, {27, 5.5}, 1.2, kInk);
            c.Line({17, 9.5}, {24, 9.5}, 1.2, kInk);
            return true;
        default: return false;
    }
}

}  // namespace

ui::Image ToolIcon(int commandId) {
    Canvas c;
    if (!Draw(c, commandId)) return {};
    return c.Picture();
}

ui::Image ToolIconStrip(const std::vector<int>& buttons) {
    std::vector<ui::Image> pictures;
    for (int id : buttons)
        if (id != 0) {
            ui::Image p = ToolIcon(id);
            if (p.Empty()) {
                p = Canvas().Picture();
            }
            pictures.push_back(std::move(p));
        }
    ui::Image strip;
    if (pictures.empty()) return strip;
    strip.width = kToolIconSide * static_cast<int>(pictures.size());
    strip.height = kToolIconSide;
    strip.rgb.assign(static_cast<size_t>(strip.width) * strip.height * 3, 0);
    for (size_t i = 0; i < pictures.size(); ++i)
        for (int y = 0; y < kToolIconSide; ++y)
            std::copy_n(&pictures[i].rgb[static_cast<size_t>(y) * kToolIconSide * 3], kToolIconSide * 3,
                        &strip.rgb[(static_cast<size_t>(y) * strip.width + i * kToolIconSide) * 3]);
    strip.transparent = pictures.front().transparent;
    return strip;
}

}  // namespace korbel
