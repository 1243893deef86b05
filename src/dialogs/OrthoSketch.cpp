#include "dialogs/OrthoSketch.h"

#include <algorithm>
#include <cmath>

#include "model/MaterialTable.h"
#include "platform/ui/Painter.h"

namespace orthosketch {

namespace {

constexpr ui::Color kConcrete = ui::Rgb(96, 96, 96);
constexpr ui::Color kSteel = ui::Rgb(200, 0, 0);
constexpr ui::Color kMeasure = ui::Rgb(0, 0, 200);

// Drawing in fractions of the surface: (0, 0) top left, (1, 1) bottom right.
class Sketch {
public:
    explicit Sketch(ui::Painter& p) : m_p(p) {
        const ui::Size s = p.GetSize();
        m_w = std::max(s.cx, 1);
        m_h = std::max(s.cy, 1);
        m_font.height = std::clamp(m_h / 7, 9, 14);
    }
    int X(double f) const { return static_cast<int>(std::lround(f * (m_w - 1))); }
    int Y(double f) const { return static_cast<int>(std::lround(f * (m_h - 1))); }

    void Line(double x0, double y0, double x1, double y1, ui::Color c, ui::PenStyle style = ui::PenStyle::Solid) {
        m_p.SetPen(style, 1, c);
        m_p.MoveTo(X(x0), Y(y0));
        m_p.LineTo(X(x1), Y(y1));
    }
    void Box(double x0, double y0, double x1, double y1, ui::Color c) {
        Line(x0, y0, x1, y0, c);
        Line(x1, y0, x1, y1, c);
        Line(x1, y1, x0, y1, c);
        Line(x0, y1, x0, y0, c);
    }
    // A filled bar end seen in the section.
    void Dot(double x, double y, ui::Color c) {
        m_p.SetPen(ui::PenStyle::Solid, 1, c);
        m_p.SetBrush(c);
        m_p.Ellipse(X(x) - 2, Y(y) - 2, X(x) + 3, Y(y) + 3);
        m_p.SetNoBrush();
    }
    // A dimension between two points with short ticks at its ends.
    void Measure(double x0, double y0, double x1, double y1) {
        Line(x0, y0, x1, y1, kMeasure);
        const bool vertical = std::fabs(x1 - x0) < std::fabs(y1 - y0);
        const double tx = vertical ? 0.03 : 0.0, ty = vertical ? 0.0 : 0.05;
        Line(x0 - tx, y0 - ty, x0 + tx, y0 + ty, kMeasure);
        Line(x1 - tx, y1 - ty, x1 + tx, y1 + ty, kMeasure);
    }
    // Text centred on (x, y).
    void Label(double x, double y, const std::string& text, ui::Color c = kMeasure) {
        m_p.SetFont(m_font);
        m_p.SetTextColor(c);
        m_p.SetBackground(false, ui::Rgb(255, 255, 255));
        const int w = m_font.height * static_cast<int>(text.size() + 1);
        m_p.DrawText({X(x) - w / 2, Y(y) - m_font.height / 2 - 1, w, m_font.height + 2}, text,
                     ui::text::Center | ui::text::VCenter | ui::text::SingleLine);
    }

private:
    ui::Painter& m_p;
    int m_w = 1, m_h = 1;
    ui::Font m_font;
};

// The slab cut across, the middle plane dashed; layers of bars about it: the
// bars along z seen as dots (As1 above at x1, As2 below at x2), those along
// y as lines (As3 above at x3, As4 below at x4).
void Rebar(Sketch& s) {
    const double top = 0.22, bottom = 0.78, mid = 0.5;
    s.Box(0.08, top, 0.92, bottom, kConcrete);
    s.Line(0.08, mid, 0.92, mid, kConcrete, ui::PenStyle::Dash);
    const double up = 0.34, down = 0.66;
    for (double x = 0.14; x < 0.5; x += 0.07) {
        s.Dot(x, up, kSteel);
        s.Dot(x, down, kSteel);
    }
    s.Line(0.52, up + 0.04, 0.88, up + 0.04, kSteel);
    s.Line(0.52, down - 0.04, 0.88, down - 0.04, kSteel);
    s.Label(0.25, 0.1, "As1");
    s.Label(0.25, 0.9, "As2");
    s.Label(0.7, 0.1, "As3");
    s.Label(0.7, 0.9, "As4");
    s.Measure(0.47, mid, 0.47, up);
    s.Label(0.42, 0.42, "x1");
    s.Measure(0.47, mid, 0.47, down);
    s.Label(0.42, 0.58, "x2");
    s.Measure(0.56, mid, 0.56, up + 0.04);
    s.Label(0.62, 0.43, "x3");
    s.Measure(0.56, mid, 0.56, down - 0.04);
    s.Label(0.62, 0.57, "x4");
    s.Measure(0.96, top, 0.96, bottom);
    s.Label(0.96, 0.12, "t");
}

// One stiffened section between x0 and x1: the slab on top, two webs under
// it `c` apart, each `b` wide and `h` deep; the labels carry the suffix.
void Stiffeners(Sketch& s, double x0, double x1, const std::string& suffix, const std::string& axis) {
    const double top = 0.2, slab = 0.36, foot = 0.78;
    const double span = x1 - x0, web = span * 0.12;
    const double w1 = x0 + span * 0.22, w2 = x0 + span * 0.72;
    s.Line(x0, top, x1, top, kConcrete);
    s.Line(x0, slab, w1, slab, kConcrete);
    s.Line(w1 + web, slab, w2, slab, kConcrete);
    s.Line(w2 + web, slab, x1, slab, kConcrete);
    for (double w : {w1, w2}) {
        s.Line(w, slab, w, foot, kConcrete);
        s.Line(w + web, slab, w + web, foot, kConcrete);
        s.Line(w, foot, w + web, foot, kConcrete);
    }
    s.Line(x0, top, x0, slab, kConcrete, ui::PenStyle::Dash);
    s.Line(x1, top, x1, slab, kConcrete, ui::PenStyle::Dash);
    s.Label((x0 + x1) / 2, 0.08, "along " + axis, kConcrete);
    s.Measure(w1 - span * 0.06, slab, w1 - span * 0.06, foot);
    s.Label(w1 - span * 0.14, (slab + foot) / 2, "h" + suffix);
    s.Measure(w2, foot + 0.06, w2 + web, foot + 0.06);
    s.Label(w2 + web / 2, 0.93, "b" + suffix);
    s.Measure(w1 + web / 2, 0.5, w2 + web / 2, 0.5);
    s.Label((w1 + w2 + web) / 2, 0.58, "c" + suffix);
}

// The stiffeners along y and along z, side by side.
void Rib(Sketch& s) {
    Stiffeners(s, 0.03, 0.47, "1", "y");
    Stiffeners(s, 0.53, 0.97, "2", "z");
}

// Box cells in a row between a top and a bottom plate: n cells, each b wide
// and h high.
void Box(Sketch& s) {
    const double top = 0.25, bottom = 0.7, left = 0.06, right = 0.86;
    const int cells = 4;
    const double pitch = (right - left) / cells;
    s.Box(left, top, right, bottom, kConcrete);
    s.Box(left + 0.015, top + 0.06, right - 0.015, bottom - 0.06, kConcrete);
    for (int k = 1; k < cells; ++k) {
        const double x = left + k * pitch;
        s.Line(x - 0.012, top + 0.06, x - 0.012, bottom - 0.06, kConcrete);
        s.Line(x + 0.012, top + 0.06, x + 0.012, bottom - 0.06, kConcrete);
    }
    s.Measure(left, 0.14, left + pitch, 0.14);
    s.Label(left + pitch / 2, 0.06, "b");
    s.Measure(0.93, top, 0.93, bottom);
    s.Label(0.93, 0.8, "h");
    s.Measure(left, 0.82, right, 0.82);
    s.Label((left + right) / 2, 0.92, "n cells");
}

// The slab of the user's rigidities: its thickness and the y axis the
// rigidities refer to.
void User(Sketch& s) {
    s.Box(0.1, 0.4, 0.82, 0.6, kConcrete);
    s.Measure(0.9, 0.4, 0.9, 0.6);
    s.Label(0.9, 0.3, "t");
    s.Line(0.2, 0.85, 0.45, 0.85, kConcrete);
    s.Line(0.42, 0.82, 0.45, 0.85, kConcrete);
    s.Line(0.42, 0.88, 0.45, 0.85, kConcrete);
    s.Label(0.52, 0.85, "y", kConcrete);
}

void DrawType(Sketch& s, int type) {
    switch (type) {
        case kMaterialRebar: Rebar(s); break;
        case kMaterialRib: Rib(s); break;
        case kMaterialBox: Box(s); break;
        case kMaterialUserOrtho: User(s); break;
        default: break;
    }
}

}  // namespace

void Draw(ui::Painter& p, int materialType) {
    Sketch s(p);
    DrawType(s, materialType);
}

}  // namespace orthosketch

bool OrthoSketch::EraseBackground(ui::Painter& p) {
    const ui::Size s = p.GetSize();
    p.FillSolidRect({0, 0, s.cx, s.cy}, ui::Rgb(255, 255, 255));
    return true;
}
