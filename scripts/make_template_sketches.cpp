// Draws the four sketches of the foundation template dialog (octagonal and
// circular, normal and large) into PNG files. Run once when the pictures
// change; the results live in resources/images/.
//
//   g++ -std=c++20 -O2 scripts/make_template_sketches.cpp -o /tmp/sketches \
//       $(pkg-config --cflags --libs freetype2 libpng) && /tmp/sketches resources/images
#include <ft2build.h>
#include FT_FREETYPE_H
#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Rgb {
    unsigned char r, g, b;
};
constexpr Rgb kInk{0, 0, 0}, kOutline{30, 60, 150}, kFill{215, 225, 240}, kDim{180, 0, 0}, kGrey{120, 120, 120};
const double kPi = 4.0 * std::atan(1.0);

class Canvas {
public:
    Canvas(int w, int h, double scale, FT_Face face) : w_(w), h_(h), s_(scale), face_(face), px_(w * h * 3, 255) {}

    void Dot(double x, double y, double radius, Rgb c) {
        const int r = static_cast<int>(std::ceil(radius));
        for (int dy = -r; dy <= r; ++dy)
            for (int dx = -r; dx <= r; ++dx)
                if (dx * dx + dy * dy <= radius * radius + 0.25) Put(static_cast<int>(std::lround(x)) + dx,
                                                                     static_cast<int>(std::lround(y)) + dy, c);
    }
    // Coordinates in units of the normal size; the large picture doubles them.
    void Line(double x0, double y0, double x1, double y1, Rgb c, double width = 1.0, bool dashed = false) {
        x0 *= s_, y0 *= s_, x1 *= s_, y1 *= s_;
        const double length = std::hypot(x1 - x0, y1 - y0);
        const int steps = std::max(1, static_cast<int>(length * 2));
        for (int i = 0; i <= steps; ++i) {
            const double t = static_cast<double>(i) / steps;
            if (dashed && static_cast<int>(t * length / (6 * s_)) % 2 == 1) continue;
            Dot(x0 + (x1 - x0) * t, y0 + (y1 - y0) * t, width * s_ / 2.0, c);
        }
    }
    void Polygon(const std::vector<std::pair<double, double>>& p, Rgb c, double width = 1.0, bool dashed = false) {
        for (std::size_t k = 0; k < p.size(); ++k) {
            const auto& a = p[k];
            const auto& b = p[(k + 1) % p.size()];
            Line(a.first, a.second, b.first, b.second, c, width, dashed);
        }
    }
    // Even-odd fill of a polygon.
    void Fill(const std::vector<std::pair<double, double>>& p, Rgb c) {
        for (int y = 0; y < h_; ++y) {
            const double yy = (y + 0.5) / s_;
            std::vector<double> xs;
            for (std::size_t k = 0; k < p.size(); ++k) {
                const auto& a = p[k];
                const auto& b = p[(k + 1) % p.size()];
                if ((a.second <= yy) != (b.second <= yy))
                    xs.push_back(a.first + (yy - a.second) / (b.second - a.second) * (b.first - a.first));
            }
            std::sort(xs.begin(), xs.end());
            for (std::size_t k = 0; k + 1 < xs.size(); k += 2)
                for (int x = static_cast<int>(xs[k] * s_); x < static_cast<int>(xs[k + 1] * s_); ++x) Put(x, y, c);
        }
    }
    void Circle(double cx, double cy, double r, Rgb c, double width = 1.0, bool dashed = false) {
        std::vector<std::pair<double, double>> p;
        for (int k = 0; k < 96; ++k) p.emplace_back(cx + r * std::cos(2 * kPi * k / 96), cy + r * std::sin(2 * kPi * k / 96));
        Polygon(p, c, width, dashed);
    }
    void Arrow(double x0, double y0, double x1, double y1, Rgb c) {
        Line(x0, y0, x1, y1, c);
        const double a = std::atan2(y1 - y0, x1 - x0);
        for (double side : {-0.4, 0.4}) Line(x1, y1, x1 - 7 * std::cos(a + side), y1 - 7 * std::sin(a + side), c);
    }
    // A dimension: arrows at both ends and the label beside its middle.
    void Dimension(double x0, double y0, double x1, double y1, const std::string& label, double lx, double ly) {
        const double mx = (x0 + x1) / 2, my = (y0 + y1) / 2;
        Arrow(mx, my, x0, y0, kDim);
        Arrow(mx, my, x1, y1, kDim);
        Text(lx, ly, label, kDim);
    }
    void Text(double x, double y, const std::string& text, Rgb c, int size = 13) {
        FT_Set_Pixel_Sizes(face_, 0, static_cast<FT_UInt>(size * s_));
        int pen = static_cast<int>(x * s_);
        const int base = static_cast<int>(y * s_);
        for (char ch : text) {
            if (FT_Load_Char(face_, static_cast<unsigned char>(ch), FT_LOAD_RENDER)) continue;
            const FT_GlyphSlot g = face_->glyph;
            for (unsigned row = 0; row < g->bitmap.rows; ++row)
                for (unsigned col = 0; col < g->bitmap.width; ++col) {
                    const int a = g->bitmap.buffer[row * g->bitmap.pitch + col];
                    if (a > 0) Blend(pen + g->bitmap_left + static_cast<int>(col),
                                     base - g->bitmap_top + static_cast<int>(row), c, a);
                }
            pen += static_cast<int>(g->advance.x >> 6);
        }
    }
    bool Save(const std::string& path) const {
        png_image png;
        std::memset(&png, 0, sizeof png);
        png.version = PNG_IMAGE_VERSION;
        png.width = static_cast<png_uint_32>(w_);
        png.height = static_cast<png_uint_32>(h_);
        png.format = PNG_FORMAT_RGB;
        return png_image_write_to_file(&png, path.c_str(), 0, px_.data(), 0, nullptr) != 0;
    }

private:
    void Put(int x, int y, Rgb c) { Blend(x, y, c, 255); }
    void Blend(int x, int y, Rgb c, int a) {
        if (x < 0 || y < 0 || x >= w_ || y >= h_) return;
        unsigned char* p = &px_[(static_cast<std::size_t>(y) * w_ + x) * 3];
        p[0] = static_cast<unsigned char>((p[0] * (255 - a) + c.r * a) / 255);
        p[1] = static_cast<unsigned char>((p[1] * (255 - a) + c.g * a) / 255);
        p[2] = static_cast<unsigned char>((p[2] * (255 - a) + c.b * a) / 255);
    }
    int w_, h_;
    double s_;
    FT_Face face_;
    std::vector<unsigned char> px_;
};

// The section through the foundation (right part of both sketches): outer
// edge D1, a slope of D2 up to the pedestal, the pedestal D3, and the loads.
void DrawSection(Canvas& c) {
    const double base = 200, edge = 172, top = 120, pedestal = 92;
    const std::vector<std::pair<double, double>> outline = {
        {262, base}, {262, edge}, {322, top}, {322, pedestal}, {362, pedestal}, {362, top}, {422, edge}, {422, base}};
    c.Fill(outline, kFill);
    c.Polygon(outline, kOutline, 1.5);
    c.Text(300, 228, "Section", kInk, 13);
    c.Dimension(250, base, 250, edge, "D1", 228, 191);
    c.Dimension(250, edge, 250, top, "D2", 228, 150);
    c.Dimension(305, top, 305, pedestal, "D3", 283, 111);
    c.Line(250, top, 322, top, kGrey, 1.0, true);
    c.Arrow(342, 50, 342, pedestal - 2, kDim);
    c.Text(347, 62, "P", kDim);
    c.Arrow(318, 84, 352, 84, kDim);
    c.Text(300, 80, "V", kDim);
    c.Line(372, 60, 380, 70, kDim);
    c.Arrow(380, 70, 376, 82, kDim);
    c.Text(384, 64, "M", kDim);
}

void DrawOctagon(Canvas& c) {
    const double cx = 120, cy = 122, k = 3.4;  // 1 m = k units
    const double l = 10.5 * k, h = (10.5 + 17) * k, t = (21 + 17) / 2.0 * k, m = 7 * k;
    auto ring = [&](double a) {
        return std::vector<std::pair<double, double>>{{cx - a, cy - l}, {cx - l, cy - a}, {cx + l, cy - a}, {cx + a, cy - l},
                                                      {cx + a, cy + l}, {cx + l, cy + a}, {cx - l, cy + a}, {cx - a, cy + l}};
    };
    c.Fill(ring(h), kFill);
    c.Polygon(ring(h), kOutline, 1.5);
    c.Polygon(ring(t), kGrey, 1.0, true);
    c.Polygon({{cx - l, cy - l}, {cx + l, cy - l}, {cx + l, cy + l}, {cx - l, cy + l}}, kOutline, 1.0);
    c.Circle(cx, cy, m, kOutline, 1.5);
    c.Dimension(cx - l, cy - h - 6, cx + l, cy - h - 6, "L1", cx - 8, cy - h - 9);
    c.Dimension(cx + l + 4, cy - l, cx + h, cy - l, "L2", cx + l + 18, cy - l - 5);
    c.Dimension(cx - m, cy, cx + m, cy, "D", cx - 4, cy - 5);
    c.Arrow(cx, cy, cx + 0.9 * l * std::cos(kPi / 6), cy + 0.9 * l * std::sin(kPi / 6), kInk);
    c.Text(cx + 12, cy + 30, "Angle", kInk, 11);
    c.Text(cx - 14, 244, "Plan", kInk, 13);
}

void DrawCircular(Canvas& c) {
    const double cx = 120, cy = 120, k = 7.4;  // 1 m = k units
    const double r1 = 3.5 * k, r2 = 5 * k, r3 = 14 * k;
    std::vector<std::pair<double, double>> disc;
    for (int i = 0; i < 96; ++i) disc.emplace_back(cx + r3 * std::cos(2 * kPi * i / 96), cy + r3 * std::sin(2 * kPi * i / 96));
    c.Fill(disc, kFill);
    c.Circle(cx, cy, r3, kOutline, 1.5);
    c.Circle(cx, cy, r2, kOutline, 1.5);
    c.Circle(cx, cy, r1, kGrey, 1.0, true);
    c.Arrow(cx, cy, cx + r1 * std::cos(-kPi / 2), cy + r1 * std::sin(-kPi / 2), kDim);
    c.Text(cx + 3, cy - r1 / 2, "R1", kDim);
    c.Arrow(cx, cy, cx + r2 * std::cos(kPi * 0.8), cy + r2 * std::sin(kPi * 0.8), kDim);
    c.Text(cx + r2 * std::cos(kPi * 0.8) - 22, cy + r2 * std::sin(kPi * 0.8) + 8, "R2", kDim);
    c.Arrow(cx, cy, cx + r3 * std::cos(-kPi / 6), cy + r3 * std::sin(-kPi / 6), kDim);
    c.Text(cx + 40, cy - 34, "R3", kDim);
    c.Arrow(cx, cy, cx + 0.8 * r3 * std::cos(kPi / 6), cy + 0.8 * r3 * std::sin(kPi / 6), kInk);
    c.Text(cx + 30, cy + 46, "Angle", kInk, 11);
    c.Text(cx - 14, 244, "Plan", kInk, 13);
}

}  // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : ".";
    FT_Library ft;
    FT_Face face;
    if (FT_Init_FreeType(&ft) ||
        FT_New_Face(ft, "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf", 0, &face)) {
        std::fprintf(stderr, "no font\n");
        return 1;
    }
    for (int large = 0; large < 2; ++large)
        for (int kind = 1; kind <= 2; ++kind) {
            const double scale = large ? 2.0 : 1.0;
            Canvas c(static_cast<int>(432 * scale), static_cast<int>(252 * scale), scale, face);
            if (kind == 1) DrawOctagon(c); else DrawCircular(c);
            DrawSection(c);
            const std::string name = std::string(kind == 1 ? "TemplateOctagon" : "TemplateCircular") +
                                     (large ? "Large" : "") + ".png";
            if (!c.Save(folder + "/" + name)) return 1;
        }
    return 0;
}
