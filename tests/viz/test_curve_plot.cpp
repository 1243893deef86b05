// The chart control painted into a recording painter: tick-label texts,
// the full chart's rules, line, markers and labels, and the compact chart.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "platform/ui/Headless.h"
#include "viz/ui/CurvePlot.h"

namespace {

const std::string kRed = "#ff0000";

std::vector<std::string> Paint(CCurvePlot& plot, int w, int h, bool erase = false) {
    ui::RecordingPainter p({w, h});
    if (erase) plot.EraseBackground(p);
    plot.Draw(p);
    return p.Ops();
}

bool Has(const std::vector<std::string>& ops, const std::string& op) {
    return std::find(ops.begin(), ops.end(), op) != ops.end();
}

// Index of the first op equal to `op` at or after `from`; -1 when absent.
int Find(const std::vector<std::string>& ops, const std::string& op, int from = 0) {
    for (int i = from; i < static_cast<int>(ops.size()); ++i)
        if (ops[i] == op) return i;
    return -1;
}

// The pen in force at op i.
std::string PenAt(const std::vector<std::string>& ops, int i) {
    for (; i >= 0; --i)
        if (ops[i].rfind("Pen ", 0) == 0) return ops[i];
    return "";
}

// Every op of a kind ("TextOut", "Ellipse", ...), in order.
std::vector<std::string> OpsOf(const std::vector<std::string>& ops, const std::string& kind) {
    std::vector<std::string> out;
    for (const std::string& s : ops)
        if (s.rfind(kind + " ", 0) == 0) out.push_back(s);
    return out;
}

// The pen of the line from (x1, y1) to (x2, y2); "" when it is not drawn.
std::string PenOfLine(const std::vector<std::string>& ops, int x1, int y1, int x2, int y2) {
    const std::string from = "MoveTo " + std::to_string(x1) + " " + std::to_string(y1);
    const std::string to = "LineTo " + std::to_string(x2) + " " + std::to_string(y2);
    for (int i = 0; i + 1 < static_cast<int>(ops.size()); ++i)
        if (ops[i] == from && ops[i + 1] == to) return PenAt(ops, i);
    return "";
}

CCurvePlot FullChart(std::vector<double> x, std::vector<double> y) {
    CCurvePlot plot;
    plot.SetLineColor(ui::Rgb(255, 0, 0));
    plot.SetLineWidth(2);
    const int n = static_cast<int>(x.size());
    plot.SetCurveData(x, y, n, 1, 1, 1, "Title", "x caption", "y caption");
    return plot;
}

}  // namespace

TEST(CurvePlotLabels, TickLabelTextsOfBothStyles) {
    struct Case {
        double value;
        int style;
        const char* text;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Case cases[] = {
        {1500, 0, "1.50e+03"},
        {999.9, 0, "999.90"},
        {12.5, 0, "12.50"},
        {9.9, 0, "9.900"},
        {5, 0, "5.000"},
        {0.1, 0, "1.00e-01"},
        {0.05, 0, "5.00e-02"},
        {1e-11, 0, "0.00"},
        {-1e-10, 0, "0.00"},
        {-0.05, 0, "-5.00e-02"},
        {-0.1, 0, "-0.100"},
        {-5, 0, "-5.000"},
        {-12.5, 0, "-12.5"},
        {-999.9, 0, "-1.00e+03"},
        {-1500, 0, "-1.50e+03"},
        {1500, 1, "2e+03"},
        {5, 1, "5.0"},
        {0.005, 1, "5e-03"},
        {1e-11, 1, "0.00"},
        {-0.005, 1, "-5e-03"},
        {-5, 1, "-5.0"},
        {-1500, 1, "-2e+03"},
        {nan, 0, ""},
        {nan, 1, ""},
        {5, 2, ""},
        {5, -1, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CCurvePlot::FormatTickLabel(c.value, c.style), c.text) << c.value << " style " << c.style;
}

TEST(CurvePlotLabels, SeriesExtremesOfTheFirstCountValues) {
    const std::vector<double> v{3, -1, 7, 100};
    EXPECT_EQ(CCurvePlot::SeriesMax(v, 3), 7);
    EXPECT_EQ(CCurvePlot::SeriesMin(v, 3), -1);
    EXPECT_EQ(CCurvePlot::SeriesMax(v, 0), -3e100);
    EXPECT_EQ(CCurvePlot::SeriesMin(v, 0), 3e100);
    EXPECT_EQ(CCurvePlot::SeriesMax({}, 5), -3e100);
}

TEST(CurvePlotFull, RulesTicksLineMarkersAndLabels) {
    CCurvePlot plot = FullChart({0, 1, 2}, {0, 2, 1});
    const auto ops = Paint(plot, 760, 440);
    ASSERT_FALSE(ops.empty());
    EXPECT_EQ(ops[0], "Fill 0 0 760 440 #ffffff");
    for (int i = 0; i <= 20; ++i) {
        const int x = 140 + 29 * i;
        const bool end = i == 0 || i == 20;
        EXPECT_EQ(PenOfLine(ops, x, 80, x, 360), end ? "Pen solid 1 #000000" : "Pen dot 1 #808080") << i;
        EXPECT_EQ(PenOfLine(ops, x, 360, x, i % 2 ? 353 : 350), i % 2 ? "Pen solid 1 #000000" : "Pen solid 2 #000000")
            << i;
    }
    for (int k = 0; k <= 10; ++k) {
        const int y = 80 + 28 * k;
        const bool end = k == 0 || k == 10;
        EXPECT_EQ(PenOfLine(ops, 140, y, 720, y), end ? "Pen solid 1 #000000" : "Pen dot 1 #808080") << k;
        EXPECT_EQ(PenOfLine(ops, 140, y, k % 2 ? 147 : 150, y), k % 2 ? "Pen solid 1 #000000" : "Pen solid 2 #000000")
            << k;
    }
    EXPECT_EQ(PenOfLine(ops, 140, 360, 430, 80), "Pen solid 2 " + kRed);
    EXPECT_EQ(PenOfLine(ops, 430, 80, 720, 220), "Pen solid 2 " + kRed);
    const auto markers = OpsOf(ops, "Ellipse");
    EXPECT_EQ(markers, (std::vector<std::string>{"Ellipse 136 356 144 364", "Ellipse 426 76 434 84",
                                                 "Ellipse 716 216 724 224"}));
    for (const std::string& m : markers) EXPECT_EQ(ops[Find(ops, m) - 1], "Brush " + kRed) << m;

    // Blue labels: the vertical axis bottom to top, then the horizontal one.
    const int blue = Find(ops, "TextColor #0000ff");
    ASSERT_GE(blue, 0);
    const char* vertical[] = {"0.000",  " 0.200", " 0.400", " 0.600", " 0.800", " 1.000",
                              " 1.200", " 1.400", " 1.600", " 1.800", " 2.000"};
    const char* horizontal[] = {"0", "0.2", "0.4", "0.6", "0.8", "1", "1.2", "1.4", "1.6", "1.8", "2"};
    // The vertical labels end 6 pixels left of the rule, the horizontal ones
    // are centred under theirs (9 pixels a character).
    for (int v = 0; v <= 10; ++v) {
        const int vw = 9 * static_cast<int>(std::string(vertical[v]).size());
        const int hw = 9 * static_cast<int>(std::string(horizontal[v]).size());
        EXPECT_GT(
            Find(ops, "TextOut " + std::to_string(134 - vw) + " " + std::to_string(352 - 28 * v) + " " + vertical[v],
                 blue),
            blue)
            << v;
        EXPECT_GT(Find(ops, "TextOut " + std::to_string(140 + 58 * v - hw / 2) + " 365 " + horizontal[v], blue), blue)
            << v;
    }
    EXPECT_TRUE(Has(ops, "Font Arial 18 400 0"));
    // Title (30 high, 15 pixels a character), captions (24 high, 12 a character).
    const int black = Find(ops, "TextColor #000000", blue);
    EXPECT_GT(Find(ops, "TextOut " + std::to_string(380 - 75 / 2 + 20) + " 20 Title", black), black);
    EXPECT_GT(Find(ops, "TextOut " + std::to_string(380 - 108 / 2 + 20) + " 400 x caption", black), black);
    EXPECT_GT(Find(ops, "Font Arial 24 400 900", black), black);
    EXPECT_GT(Find(ops, "TextOut 15 " + std::to_string(220 + 108 / 2) + " y caption", black), black);
}

TEST(CurvePlotFull, OptionsChangeRulesLineAndMarkers) {
    // Without the grid flags the inner rules are dotted white; the ends stay black.
    CCurvePlot plot = FullChart({0, 1, 2}, {0, 2, 1});
    plot.SetCurveData({0, 1, 2}, {0, 2, 1}, 3, 0, 0, 0, "", "", "");
    auto ops = Paint(plot, 760, 440);
    EXPECT_EQ(PenOfLine(ops, 169, 80, 169, 360), "Pen dot 1 #ffffff");
    EXPECT_EQ(PenOfLine(ops, 140, 108, 720, 108), "Pen dot 1 #ffffff");
    EXPECT_EQ(PenOfLine(ops, 720, 80, 720, 360), "Pen solid 1 #000000");
    EXPECT_TRUE(OpsOf(ops, "Ellipse").empty());

    // The solid flag 0: a dashed black line of width 1, markers still red.
    plot = FullChart({0, 1, 2}, {0, 2, 1});
    plot.SetLineWidth(4);
    plot.m_solidLine = 0;
    ops = Paint(plot, 760, 440);
    EXPECT_EQ(PenOfLine(ops, 140, 360, 430, 80), "Pen dash 1 #000000");
    EXPECT_EQ(PenOfLine(ops, 430, 80, 720, 220), "Pen dash 1 #000000");
    const int marker = Find(ops, "Ellipse 426 76 434 84");
    ASSERT_GT(marker, 0);
    EXPECT_EQ(ops[marker - 1], "Brush " + kRed);
}

TEST(CurvePlotFull, DegenerateSeries) {
    // A flat series: labels from -0.500 to 0.500, the line in the middle.
    CCurvePlot flat = FullChart({0, 1, 2}, {3, 3, 3});
    auto ops = Paint(flat, 760, 440);
    EXPECT_TRUE(Has(ops, "TextOut 80 352 -0.500"));
    EXPECT_TRUE(Has(ops, "TextOut 89 212 0.000"));
    EXPECT_TRUE(Has(ops, "TextOut 80 72  0.500"));
    // y = 3 on the scale -0.5 .. 0.5 lies above the chart: kept as computed.
    EXPECT_EQ(PenOfLine(ops, 140, int((3 - 0.5) * -280) + 80, 430, int((3 - 0.5) * -280) + 80), "Pen solid 2 " + kRed);

    // No points: only the white fill.
    CCurvePlot empty = FullChart({}, {});
    EXPECT_EQ(Paint(empty, 760, 440), (std::vector<std::string>{"Fill 0 0 760 440 #ffffff"}));

    // One point, and two points with the same x: grid and labels, no line, no marker.
    for (const auto& xs : {std::vector<double>{1}, std::vector<double>{1, 1}}) {
        CCurvePlot one = FullChart(xs, std::vector<double>(xs.size(), 2.0));
        ops = Paint(one, 760, 440);
        EXPECT_TRUE(OpsOf(ops, "Ellipse").empty());
        EXPECT_EQ(PenOfLine(ops, 140, 80, 140, 360), "Pen solid 1 #000000");
        EXPECT_TRUE(Has(ops, "TextOut 136 365 0"));
        EXPECT_TRUE(Has(ops, "TextOut 80 72  0.500"));
        for (const std::string& s : OpsOf(ops, "Pen")) EXPECT_EQ(s.find(kRed), std::string::npos) << s;
    }

    // Far-off points stay within +-1e6 pixels.
    CCurvePlot far = FullChart({0, 1e200, 1}, {0, 1e200, -1e200});
    ops = Paint(far, 760, 440);
    for (const std::string& s : OpsOf(ops, "LineTo")) {
        int x = 0, y = 0;
        ASSERT_EQ(std::sscanf(s.c_str(), "LineTo %d %d", &x, &y), 2);
        EXPECT_LE(std::abs(x), 1000000 + 1000);
        EXPECT_LE(std::abs(y), 1000000 + 1000);
    }
}

namespace {

// The eleven labels of each axis of the full chart, bottom to top and left
// to right.
std::vector<std::string> AxisLabels(const std::vector<std::string>& ops, bool vertical) {
    std::vector<std::string> labels;
    const int blue = Find(ops, "TextColor #0000ff");
    for (int i = blue; i >= 0 && i < static_cast<int>(ops.size()) && labels.size() < 22; ++i) {
        // "TextOut x y text": the text keeps its leading blank.
        if (ops[i].rfind("TextOut ", 0) != 0) continue;
        const std::size_t afterX = ops[i].find(' ', 8);
        labels.push_back(ops[i].substr(ops[i].find(' ', afterX + 1) + 1));
    }
    if (labels.size() != 22) return {};
    return vertical ? std::vector<std::string>(labels.begin(), labels.begin() + 11)
                    : std::vector<std::string>(labels.begin() + 11, labels.end());
}

}  // namespace

TEST(CurvePlotFull, AxisLabelsKeepFourSignificantDigitsInOneNotation) {
    struct Case {
        double length;
        std::vector<std::pair<int, std::string>> expected;  // tick, label
    };
    const Case cases[] = {
        {12000, {{0, "0"}, {1, "1200"}, {9, "10800"}, {10, "12000"}}},
        {12345, {{10, "12345"}, {2, "2469"}}},
        {0.05, {{1, "0.005"}, {3, "0.015"}, {9, "0.045"}, {10, "0.05"}}},
        {-5, {{5, "-2.5"}, {10, "-5"}}},
        {2e6, {{1, "2e+05"}, {10, "2e+06"}, {0, "0"}}},
        {3e-4, {{1, "3e-05"}, {9, "2.7e-04"}}},
    };
    for (const Case& c : cases) {
        CCurvePlot plot = FullChart({0, c.length}, {0, 1});
        // Wide enough for all eleven labels apart.
        const auto labels = AxisLabels(Paint(plot, 2000, 440), false);
        ASSERT_EQ(labels.size(), 11u) << c.length;
        for (const auto& [tick, text] : c.expected) EXPECT_EQ(labels[tick], text) << c.length << " tick " << tick;
        // Every tick has its own text.
        for (std::size_t i = 1; i < labels.size(); ++i) EXPECT_NE(labels[i], labels[i - 1]) << c.length << " " << i;
    }

    // The vertical axis never mixes notations: 0 .. 1 reads fixed throughout,
    // millimetre-sized displacements in metres read scientific throughout.
    struct YCase {
        double lo, hi;
        std::vector<std::string> labels;
    };
    const YCase yCases[] = {
        {0.0,
         1.0,
         {"0.000", " 0.100", " 0.200", " 0.300", " 0.400", " 0.500", " 0.600", " 0.700", " 0.800", " 0.900", " 1.000"}},
        {-0.00144,
         0.0,
         {"-1.44e-03", "-1.30e-03", "-1.15e-03", "-1.01e-03", "-8.64e-04", "-7.20e-04", "-5.76e-04", "-4.32e-04",
          "-2.88e-04", "-1.44e-04", "0.00e+00"}},
        {-50,
         150,
         {"-50.00", "-30.00", "-10.00", " 10.00", " 30.00", " 50.00", " 70.00", " 90.00", " 110.00", " 130.00",
          " 150.00"}},
    };
    for (const YCase& c : yCases) {
        CCurvePlot plot = FullChart({0, 1}, {c.lo, c.hi});
        EXPECT_EQ(AxisLabels(Paint(plot, 760, 440), true), c.labels) << c.lo << " .. " << c.hi;
    }
}

namespace {

// The labels drawn on the line y of the chart, as (left, right, text) with
// the recording painter's widths (half the font height a character).
struct Placed {
    int left, right;
    std::string text;
};
std::vector<Placed> LabelsOnLine(const std::vector<std::string>& ops, int y, int charWidth) {
    std::vector<Placed> placed;
    for (const std::string& op : OpsOf(ops, "TextOut")) {
        int x = 0, at = 0, used = 0;
        if (std::sscanf(op.c_str(), "TextOut %d %d %n", &x, &at, &used) != 2 || at != y) continue;
        const std::string text = op.substr(static_cast<std::size_t>(used));
        placed.push_back({x, x + charWidth * static_cast<int>(text.size()), text});
    }
    std::sort(placed.begin(), placed.end(), [](const Placed& a, const Placed& b) { return a.left < b.left; });
    return placed;
}

// Every label within 0 .. width and at least 6 pixels from its neighbour.
void ExpectWholeAndApart(const std::vector<Placed>& labels, int width, const std::string& where) {
    for (std::size_t i = 0; i < labels.size(); ++i) {
        EXPECT_GE(labels[i].left, 0) << where << " " << labels[i].text;
        EXPECT_LE(labels[i].right, width) << where << " " << labels[i].text;
        if (i > 0) {
            EXPECT_GE(labels[i].left, labels[i - 1].right + 6) << where << " " << labels[i].text;
        }
    }
}

}  // namespace

// The x labels of the full chart at the widths the X-Y plot takes on
// screens 1024 and 1280 pixels wide: the first and the last always drawn,
// each whole and apart from the others, also "12000" at the end of a long
// cut line.
TEST(CurvePlotFull, HorizontalLabelsStayWholeAndApartAtEveryWidth) {
    for (int w : {420, 600, 760, 1040}) {
        for (double length : {12000.0, 12345.0, 0.05, 2e6, -5.0}) {
            const std::string where = std::to_string(w) + " px, length " + std::to_string(length);
            CCurvePlot plot = FullChart({0, length}, {0, 1});
            const auto labels = LabelsOnLine(Paint(plot, w, 440), 440 - 75, 9);
            ASSERT_GE(labels.size(), 2u) << where;
            EXPECT_EQ(labels.front().text, "0") << where;
            EXPECT_EQ(labels.back().text, AxisLabels(Paint(plot, 2000, 440), false).back()) << where;
            ExpectWholeAndApart(labels, w, where);
        }
    }
    // The vertical labels end left of the rule, clear of the caption.
    CCurvePlot plot = FullChart({0, 1}, {-1.44e-3, 0});
    for (const std::string& op : OpsOf(Paint(plot, 760, 440), "TextOut")) {
        int x = 0, y = 0, used = 0;
        ASSERT_EQ(std::sscanf(op.c_str(), "TextOut %d %d %n", &x, &y, &used), 2);
        if (y >= 440 - 80 || y < 70 || op.find("caption") != std::string::npos) continue;
        EXPECT_GE(x, 40) << op;
        EXPECT_LE(x + 9 * static_cast<int>(op.size() - static_cast<std::size_t>(used)), 140) << op;
    }
}

// The compact chart of a spring profile (deformations of a few hundredths,
// forces of hundreds) in the nonlinear spring dialog: end labels with the
// digits their values need, inside the chart and apart.
TEST(CurvePlotCompact, EndLabelsAreWholeInsideTheChart) {
    CCurvePlot plot;
    plot.SetPlotMode(1);
    plot.SetCurveData({-0.04, 0, 0.02, 0.1}, {-500, 0, 300, 1200}, 4, 1, 1, 1, "", "", "");
    const auto ops = Paint(plot, 285, 240);
    const auto bottom = LabelsOnLine(ops, 240 - 15, 8);
    std::vector<std::string> texts;
    for (const Placed& l : bottom) texts.push_back(l.text);
    EXPECT_EQ(texts, (std::vector<std::string>{"-0.04", "0", "0.1"}));
    ExpectWholeAndApart(bottom, 285, "x axis");
    EXPECT_TRUE(Has(ops, "TextOut 0 205 -500"));
    EXPECT_TRUE(Has(ops, "TextOut 0 0 1200"));
}

TEST(CurvePlotCompact, RulesZeroLinesAndEndLabels) {
    CCurvePlot plot;
    plot.SetPlotMode(1);
    plot.SetLineColor(ui::Rgb(255, 0, 0));
    plot.SetLineWidth(2);
    plot.SetCurveData({-1, 0, 2}, {-2, 0, 4}, 3, 1, 1, 1, "t", "x", "y");
    const auto ops = Paint(plot, 300, 200, true);
    EXPECT_EQ(ops[0], "Fill 0 0 300 200 #f0f0f0");
    EXPECT_TRUE(Has(ops, "Fill 0 0 300 200 #ffffff"));
    EXPECT_GT(Find(ops, "Fill 0 0 300 200 #f0f0f0", 1), 1);  // the painter's own grey fill after the white one
    for (int i = 0; i <= 10; ++i) {
        const int x = 40 + 26 * i;
        EXPECT_EQ(PenOfLine(ops, x, 0, x, 180), (i == 0 || i == 10) ? "Pen solid 1 #000000" : "Pen dot 1 #808080");
        EXPECT_EQ(PenOfLine(ops, x, 180, x, i % 2 ? 173 : 170), i % 2 ? "Pen solid 1 #000000" : "Pen solid 2 #000000");
        const int y = 18 * i;
        EXPECT_EQ(PenOfLine(ops, 40, y, 300, y), (i == 0 || i == 10) ? "Pen solid 1 #000000" : "Pen dot 1 #808080");
    }
    // The line: PX(-1) = 40, PX(0) = 126, PX(2) = 300; PY(-2) = 180, PY(0) = 120, PY(4) = 0.
    EXPECT_EQ(PenOfLine(ops, 40, 180, 126, 120), "Pen solid 2 " + kRed);
    EXPECT_EQ(PenOfLine(ops, 126, 120, 300, 0), "Pen solid 2 " + kRed);
    EXPECT_EQ(PenOfLine(ops, 126, 0, 126, 180), "Pen solid 1 #000000");
    EXPECT_EQ(PenOfLine(ops, 40, 120, 300, 120), "Pen solid 1 #000000");
    EXPECT_TRUE(OpsOf(ops, "Ellipse").empty());
    const auto texts = OpsOf(ops, "TextOut");
    // The x labels: the first centred on the left rule, the last ending at
    // the right edge, "0" centred on its place (8 pixels a character).
    EXPECT_EQ(texts, (std::vector<std::string>{"TextOut 0 165 -2", "TextOut 0 0 4", "TextOut 20 115 0",
                                               "TextOut 32 185 -1", "TextOut 292 185 2", "TextOut 122 185 0"}));
    EXPECT_TRUE(Has(ops, "Font Arial 16 400 0"));
}

TEST(CurvePlotCompact, ZeroLabelNearTheBottomAndDegenerateSeries) {
    CCurvePlot plot;
    plot.SetPlotMode(1);
    // Zero within one division of the bottom rule: no "0" on the y axis.
    plot.SetCurveData({0, 1}, {-0.05, 10}, 2, 1, 1, 1, "", "", "");
    auto ops = Paint(plot, 300, 200);
    for (const std::string& s : OpsOf(ops, "TextOut")) EXPECT_NE(s.rfind("TextOut 20 ", 0), 0u) << s;
    EXPECT_TRUE(Has(ops, "TextOut 36 185 0"));

    // No points: background, rules and ticks only.
    plot.SetCurveData({}, {}, 0, 1, 1, 1, "", "", "");
    ops = Paint(plot, 300, 200);
    EXPECT_TRUE(OpsOf(ops, "TextOut").empty());
    EXPECT_EQ(PenOfLine(ops, 300, 0, 300, 180), "Pen solid 1 #000000");
    EXPECT_EQ(PenOfLine(ops, 40, 180, 300, 180), "Pen solid 1 #000000");

    // All y equal, or no x range: grid and end labels without the line.
    const struct {
        std::vector<double> xs, ys;
        const char *top, *right;
    } flat[] = {{{0, 1, 2}, {5, 5, 5}, "TextOut 0 0 5", "TextOut 292 185 2"},
                {{1, 1}, {0, 3}, "TextOut 0 0 3", "TextOut 292 185 1"}};
    for (const auto& c : flat) {
        plot.SetCurveData(c.xs, c.ys, static_cast<int>(c.xs.size()), 1, 1, 1, "", "", "");
        ops = Paint(plot, 300, 200);
        for (const std::string& s : OpsOf(ops, "Pen")) EXPECT_EQ(s.find(kRed), std::string::npos) << s;
        EXPECT_TRUE(Has(ops, c.top));
        EXPECT_TRUE(Has(ops, c.right));
    }
}

TEST(CurvePlotControl, EraseFillsGreyAndTheCopyIsBounded) {
    // The erase fills grey; the paint fills white over it first.
    CCurvePlot plot = FullChart({0, 1}, {0, 1});
    ui::RecordingPainter p({100, 50});
    EXPECT_TRUE(plot.EraseBackground(p));
    EXPECT_EQ(p.Ops(), (std::vector<std::string>{"Fill 0 0 100 50 #f0f0f0"}));
    // The stored copy holds at most the arrays' length.
    plot.SetCurveData({0, 1, 2}, {0, 1}, 5, 1, 1, 1, "", "", "");
    EXPECT_EQ(plot.PointCount(), 2);
    plot.SetCurveData({0, 1, 2}, {0, 1, 2}, 2, 1, 1, 1, "", "", "");
    EXPECT_EQ(plot.XValues(), (std::vector<double>{0, 1}));
}
