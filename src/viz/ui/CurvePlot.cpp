#include "viz/ui/CurvePlot.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

namespace {

const ui::Color kBlack = ui::Rgb(0, 0, 0);
const ui::Color kWhite = ui::Rgb(255, 255, 255);
const ui::Color kGrey = ui::Rgb(128, 128, 128);
const ui::Color kLightGrey = ui::Rgb(240, 240, 240);
const ui::Color kBlue = ui::Rgb(0, 0, 255);

std::string Printf(const char* format, double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, format, v);
    return buf;
}

// A pixel coordinate from a computed position: kept within +-1e6 (a value
// that is not a number counts as the lower bound) and truncated toward zero.
int Pixel(double v) {
    if (!(v > -1e6)) return -1000000;
    if (v > 1e6) return 1000000;
    return static_cast<int>(v);
}

// The largest magnitude among the values.
double LargestMagnitude(const std::vector<double>& values) {
    double m = 0.0;
    for (double v : values)
        if (std::isfinite(v)) m = std::max(m, std::fabs(v));
    return m;
}

// Drops the minus sign of a text that reads as zero ("-0.000").
std::string WithoutNegativeZero(std::string text) {
    if (!text.empty() && text[0] == '-' && text.find_first_of("123456789", 1) == std::string::npos) text.erase(0, 1);
    return text;
}

// Drops the trailing zeros of the fraction ("0.04500" -> "0.045",
// "1.200e+05" -> "1.2e+05", "12.000" -> "12").
std::string TrimFraction(const std::string& text) {
    const std::size_t point = text.find('.');
    if (point == std::string::npos) return text;
    const std::size_t exponent = text.find('e');
    const std::size_t end = exponent == std::string::npos ? text.size() : exponent;
    std::size_t last = end;
    while (last > point + 1 && text[last - 1] == '0') --last;
    if (last == point + 1) last = point;
    return text.substr(0, last) + text.substr(end);
}

// Labels of the vertical axis, all in one notation chosen by the largest
// magnitude with the bounds of the tick-label style 0: fixed with three
// decimals up to 9.9, two up to 999.9, otherwise "%.2e". Values within 1e-10
// of zero read as zero.
std::vector<std::string> VerticalAxisLabels(const std::vector<double>& values) {
    const double m = LargestMagnitude(values);
    const char* format = "%.2e";
    if (m > 0.1 && m <= 9.9)
        format = "%.3f";
    else if (m > 9.9 && m <= 999.9)
        format = "%.2f";
    std::vector<std::string> labels;
    for (double v : values) labels.push_back(WithoutNegativeZero(Printf(format, std::fabs(v) <= 1e-10 ? 0.0 : v)));
    return labels;
}

// Labels of the horizontal axis (and of both axes of the compact chart) with
// four significant digits of the largest magnitude, all fixed ("10800",
// "0.045") or, beyond 1e5 and below 1e-3, all scientific ("1.2e+05");
// trailing zeros of the fraction are dropped.
std::vector<std::string> HorizontalAxisLabels(const std::vector<double>& values) {
    const double m = LargestMagnitude(values);
    const bool fixed = m >= 1e-3 && m < 1e5;
    const int decimals = fixed ? std::max(0, 3 - static_cast<int>(std::floor(std::log10(m)))) : 3;
    char format[16];
    std::snprintf(format, sizeof format, fixed ? "%%.%df" : "%%.%de", decimals);
    std::vector<std::string> labels;
    for (double v : values) {
        if (v == 0.0 || !std::isfinite(v) || std::fabs(v) <= m * 1e-12) {
            labels.push_back(std::isfinite(v) ? "0" : Printf("%f", v));
            continue;
        }
        labels.push_back(WithoutNegativeZero(TrimFraction(Printf(format, v))));
    }
    return labels;
}

ui::Font ChartFont(int height, int escapement = 0) {
    ui::Font f;
    f.face = "Arial";
    f.height = height;
    f.escapement = escapement;
    return f;
}

void Segment(ui::Painter& p, int x1, int y1, int x2, int y2) {
    p.MoveTo(x1, y1);
    p.LineTo(x2, y2);
}

// Pen of rule i of last: the ends solid black, the inner rules dotted grey
// with the grid flag and dotted white without it.
void RulePen(ui::Painter& p, int i, int last, int gridFlag) {
    if (i == 0 || i == last)
        p.SetPen(ui::PenStyle::Solid, 1, kBlack);
    else
        p.SetPen(ui::PenStyle::Dot, 1, gridFlag ? kGrey : kWhite);
}

// Pen of tick j: width 2 for even ticks, 1 for odd ones.
void TickPen(ui::Painter& p, int j) { p.SetPen(ui::PenStyle::Solid, j % 2 == 0 ? 2 : 1, kBlack); }

// Rules and ticks of a chart area. Vertical rules at xs from top to bottom,
// horizontal rules at ys from left to right; ticks point up from the bottom
// rule and right from the left rule (10 pixels long when even, 7 when odd).
struct Grid {
    std::vector<int> xs;
    std::vector<int> ys;
    int left, right, top, bottom;
};

void DrawGrid(ui::Painter& p, const Grid& g, int horizontalGrid, int verticalGrid) {
    const int lastX = static_cast<int>(g.xs.size()) - 1;
    const int lastY = static_cast<int>(g.ys.size()) - 1;
    for (int i = 0; i <= lastX; ++i) {
        RulePen(p, i, lastX, verticalGrid);
        Segment(p, g.xs[i], g.top, g.xs[i], g.bottom);
    }
    for (int j = 0; j <= lastX; ++j) {
        TickPen(p, j);
        Segment(p, g.xs[j], g.bottom, g.xs[j], g.bottom - (j % 2 == 0 ? 10 : 7));
    }
    for (int k = 0; k <= lastY; ++k) {
        RulePen(p, k, lastY, horizontalGrid);
        Segment(p, g.left, g.ys[k], g.right, g.ys[k]);
    }
    for (int l = 0; l <= lastY; ++l) {
        TickPen(p, l);
        Segment(p, g.left, g.ys[l], g.left + (l % 2 == 0 ? 10 : 7), g.ys[l]);
    }
}

bool HasExtent(double range) { return std::isfinite(range) && range != 0.0; }

// Least gap in pixels between neighbouring labels of an axis.
constexpr int kLabelGap = 6;

// Left edges of labels centred on their ticks and kept within 0 .. width;
// a label left out is marked -1. When neighbours would come closer than the
// gap, only every 2nd, 5th or 10th label is kept (the first and the last
// always), so that every label drawn is whole and apart from the others.
std::vector<int> SpacedLabelLefts(const std::vector<int>& ticks, const std::vector<int>& widths, int width) {
    const int n = static_cast<int>(ticks.size());
    std::vector<int> lefts(ticks.size());
    for (int i = 0; i < n; ++i) lefts[i] = std::clamp(ticks[i] - widths[i] / 2, 0, std::max(width - widths[i], 0));
    for (int step : {1, 2, 5, 10}) {
        if ((n - 1) % step != 0) continue;
        bool apart = true;
        for (int i = step; i < n && apart; i += step)
            apart = lefts[i] >= lefts[i - step] + widths[i - step] + kLabelGap;
        if (!apart && step != 10) continue;
        std::vector<int> kept(ticks.size(), -1);
        for (int i = 0; i < n; i += step) kept[i] = lefts[i];
        return kept;
    }
    return lefts;
}

}  // namespace

void CCurvePlot::SetCurveData(std::vector<double> x, std::vector<double> y, int count, int horizontalGrid,
                              int verticalGrid, int marker, std::string title, std::string xCaption,
                              std::string yCaption) {
    const int n = std::clamp(count, 0, static_cast<int>(std::min(x.size(), y.size())));
    m_x.assign(x.begin(), x.begin() + n);
    m_y.assign(y.begin(), y.begin() + n);
    m_count = n;
    m_horizontalGrid = horizontalGrid;
    m_verticalGrid = verticalGrid;
    m_marker = marker;
    m_title = std::move(title);
    m_xCaption = std::move(xCaption);
    m_yCaption = std::move(yCaption);
}

std::string CCurvePlot::FormatTickLabel(double v, int style) {
    if (std::isnan(v)) return {};
    if (style == 0) {
        if (v > 999.9) return Printf("%.2e", v);
        if (v > 9.9) return Printf("%.2f", v);
        if (v > 0.1) return Printf("%.3f", v);
        if (v > 1e-10) return Printf("%.2e", v);
        if (v >= -1e-10) return "0.00";
        if (v > -0.1) return Printf("%.2e", v);
        if (v > -9.9) return Printf("%.3f", v);
        if (v > -999.9) return Printf("%.1f", v);
        return Printf("%.2e", v);
    }
    if (style == 1) {
        if (v > 999.9) return Printf("%.0e", v);
        if (v > 0.01) return Printf("%.1f", v);
        if (v > 1e-10) return Printf("%.0e", v);
        if (v >= -1e-10) return "0.00";
        if (v > -0.01) return Printf("%.0e", v);
        if (v > -999.9) return Printf("%.1f", v);
        return Printf("%.0e", v);
    }
    return {};
}

double CCurvePlot::SeriesMax(const std::vector<double>& values, int count) {
    double m = -3e100;
    const int n = std::min(count, static_cast<int>(values.size()));
    for (int i = 0; i < n; ++i)
        if (values[i] > m) m = values[i];
    return m;
}

double CCurvePlot::SeriesMin(const std::vector<double>& values, int count) {
    double m = 3e100;
    const int n = std::min(count, static_cast<int>(values.size()));
    for (int i = 0; i < n; ++i)
        if (values[i] < m) m = values[i];
    return m;
}

void CCurvePlot::DrawMarker(int kind, int x, int y, ui::Painter& p) const {
    if (kind == 1) {
        p.Rectangle(x - 4, y - 4, x + 4, y + 4);
    } else if (kind == 2) {
        p.SetBrush(m_lineColor);
        p.Ellipse(x - 4, y - 4, x + 4, y + 4);
        p.SetNoBrush();
    }
}

bool CCurvePlot::EraseBackground(ui::Painter& p) {
    const ui::Size s = p.GetSize();
    p.FillSolidRect({0, 0, s.cx, s.cy}, kLightGrey);
    return true;
}

void CCurvePlot::Draw(ui::Painter& p) {
    const ui::Size s = p.GetSize();
    p.FillSolidRect({0, 0, s.cx, s.cy}, kWhite);
    if (m_plotMode == 0)
        DrawFullChart(p);
    else
        DrawCompactChart(p);
}

// The full chart: margins of 140 on the left, 40 on the right and 80 at the
// top and bottom. The x scale runs from 0 at the left rule to the range of
// the first and last point at the right rule (a point is placed by its own
// value); the y scale from the smallest y at the bottom rule to the largest
// at the top rule, or -0.5 .. 0.5 for a flat series.
void CCurvePlot::DrawFullChart(ui::Painter& p) const {
    const int n = m_count;
    if (n <= 0) return;
    const ui::Size size = p.GetSize();
    const int W = size.cx, H = size.cy;
    // Texts are drawn opaque on white, as on a fresh device context.
    p.SetBackground(true, kWhite);

    Grid g{{}, {}, 140, W - 40, 80, H - 80};
    for (int i = 0; i <= 20; ++i) g.xs.push_back(static_cast<int>((W - 180) / 20.0 * i) + 140);
    for (int k = 0; k <= 10; ++k) g.ys.push_back(static_cast<int>((H - 160) / 10.0 * k) + 80);
    DrawGrid(p, g, m_horizontalGrid, m_verticalGrid);

    const double xr = m_x[n - 1] - m_x[0];
    const double ymax = SeriesMax(m_y, n);
    const double ymin = SeriesMin(m_y, n);
    const bool flat = ymax - ymin < 1e-10;
    const double yr = flat ? 1.0 : ymax - ymin;
    auto px = [&](double x) { return Pixel(x / xr * (W - 180)) + 140; };
    auto py = [&](double y) {
        if (flat) return Pixel((y - 0.5) * (160 - H)) + 80;
        return Pixel((y - ymax) / yr * (160 - H)) + 80;
    };

    // The line, with one marker on every point.
    if (HasExtent(xr)) {
        for (int u = 0; u + 1 < n; ++u) {
            if (m_solidLine)
                p.SetPen(ui::PenStyle::Solid, m_lineWidth, m_lineColor);
            else
                p.SetPen(ui::PenStyle::Dash, 1, kBlack);
            const int x1 = px(m_x[u]), y1 = py(m_y[u]);
            const int x2 = px(m_x[u + 1]), y2 = py(m_y[u + 1]);
            Segment(p, x1, y1, x2, y2);
            if (m_marker) {
                DrawMarker(2, x1, y1, p);
                if (u == n - 2) DrawMarker(2, x2, y2, p);
            }
        }
    }

    // Labels of the vertical axis, bottom to top.
    p.SetTextColor(kBlue);
    const double lo = std::fabs(ymax - ymin) < 1e-10 ? -0.5 : ymin;
    const double hi = std::fabs(ymax - ymin) < 1e-10 ? 0.5 : ymax;
    std::vector<double> yValues, xValues;
    for (int v = 0; v <= 10; ++v) yValues.push_back((10 - v) / 10.0 * lo + v / 10.0 * hi);
    for (int c = 0; c <= 10; ++c) xValues.push_back(c / 10.0 * xr);
    const std::vector<std::string> yLabels = VerticalAxisLabels(yValues);
    const std::vector<std::string> xLabels = HorizontalAxisLabels(xValues);
    // The vertical labels end a few pixels left of the rule, clear of the
    // rotated caption at the left edge.
    p.SetFont(ChartFont(18));
    for (int v = 0; v <= 10; ++v) {
        std::string text = yLabels[static_cast<std::size_t>(v)];
        if (yValues[static_cast<std::size_t>(v)] > 1e-10) text = " " + text;
        const int left = std::max(140 - kLabelGap - p.TextExtent(text).cx, 40);
        p.TextOut(left, static_cast<int>((H - 160) * (10 - v) / 10.0) + 80 - 8, text);
    }
    // The horizontal labels centred under their rules, whole and apart.
    std::vector<int> ticks, widths;
    for (int c = 0; c <= 10; ++c) {
        ticks.push_back(static_cast<int>((W - 180) / 10.0 * c) + 140);
        widths.push_back(p.TextExtent(xLabels[static_cast<std::size_t>(c)]).cx);
    }
    const std::vector<int> lefts = SpacedLabelLefts(ticks, widths, W);
    for (int c = 0; c <= 10; ++c)
        if (lefts[static_cast<std::size_t>(c)] >= 0)
            p.TextOut(lefts[static_cast<std::size_t>(c)], H - 75, xLabels[static_cast<std::size_t>(c)]);

    p.SetTextColor(kBlack);
    p.SetFont(ChartFont(30));
    int cx = p.TextExtent(m_title).cx;
    p.TextOut(W / 2 - cx / 2 + 20, 20, m_title);
    p.SetFont(ChartFont(24));
    cx = p.TextExtent(m_xCaption).cx;
    p.TextOut(W / 2 - cx / 2 + 20, H - 40, m_xCaption);
    p.SetFont(ChartFont(24, 900));
    cx = p.TextExtent(m_yCaption).cx;
    p.TextOut(15, H / 2 + cx / 2, m_yCaption);
}

// The compact chart on light grey: margins of 40 on the left and 20 at the
// bottom; both scales run from the smallest to the largest value.
void CCurvePlot::DrawCompactChart(ui::Painter& p) const {
    const ui::Size size = p.GetSize();
    const int W = size.cx, H = size.cy;
    p.FillSolidRect({0, 0, W, H}, kLightGrey);
    p.SetBackground(true, kWhite);

    Grid g{{}, {}, 40, W, 0, H - 20};
    for (int i = 0; i <= 10; ++i) g.xs.push_back(static_cast<int>((W - 40) / 10.0 * i) + 40);
    for (int k = 0; k <= 10; ++k) g.ys.push_back(static_cast<int>((H - 20) / 10.0 * k));
    DrawGrid(p, g, m_horizontalGrid, m_verticalGrid);

    const int n = m_count;
    if (n <= 0) return;
    const double xr = m_x[n - 1] - m_x[0];
    const double xmin = SeriesMin(m_x, n);
    const double ymax = SeriesMax(m_y, n);
    const double ymin = SeriesMin(m_y, n);
    const double yr = ymax - ymin;
    const bool xScale = HasExtent(xr);
    const bool yScale = HasExtent(yr);
    auto px = [&](double x) { return Pixel((x - xmin) / xr * (W - 40)) + 40; };
    auto py = [&](double y) { return Pixel((y - ymax) / yr * (20 - H)); };

    if (xScale && yScale) {
        for (int u = 0; u + 1 < n; ++u) {
            p.SetPen(ui::PenStyle::Solid, m_lineWidth, m_lineColor);
            Segment(p, px(m_x[u]), py(m_y[u]), px(m_x[u + 1]), py(m_y[u + 1]));
        }
    }
    p.SetPen(ui::PenStyle::Solid, 1, kBlack);
    if (xScale && m_x[0] < 0 && m_x[n - 1] > 0) Segment(p, px(0.0), 0, px(0.0), H - 20);
    if (yScale && ymin < 0 && ymax > 0) Segment(p, 40, py(0.0), W, py(0.0));

    // Labels at the ends of each axis, each axis in one notation with the
    // digits its values need; the "0"s where they stand clear of them. The
    // x labels stay within the chart: the first starts at its rule or the
    // left edge, the last ends at the right edge.
    p.SetTextColor(kBlack);
    p.SetFont(ChartFont(16));
    const std::vector<std::string> yLabels = HorizontalAxisLabels({ymin, ymax});
    p.TextOut(0, H - 35, yLabels[0]);
    p.TextOut(0, 0, yLabels[1]);
    const int lineHeight = p.TextExtent("0").cy;
    // "0" at the level of zero when it lies more than one division away
    // from the bottom rule and clear of the top label.
    if (yScale && std::abs(py(0.0) - (H - 20)) > static_cast<int>((H - 20) / 10.0) && py(0.0) - 5 >= lineHeight)
        p.TextOut(20, py(0.0) - 5, "0");
    const std::vector<std::string> xLabels = HorizontalAxisLabels({xmin, SeriesMax(m_x, n)});
    const int firstWidth = p.TextExtent(xLabels[0]).cx, lastWidth = p.TextExtent(xLabels[1]).cx;
    const int firstLeft = std::max(40 - firstWidth / 2, 0);
    const int lastLeft = std::max(W - lastWidth, firstLeft + firstWidth + kLabelGap);
    p.TextOut(firstLeft, H - 15, xLabels[0]);
    p.TextOut(lastLeft, H - 15, xLabels[1]);
    if (xScale) {
        const int zeroWidth = p.TextExtent("0").cx;
        const int zeroLeft = px(0.0) - zeroWidth / 2;
        if (zeroLeft >= firstLeft + firstWidth + kLabelGap && zeroLeft + zeroWidth + kLabelGap <= lastLeft)
            p.TextOut(zeroLeft, H - 15, "0");
    }
}
