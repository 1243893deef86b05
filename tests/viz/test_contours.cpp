// Contour lines, element numbers, the legend and the step caption.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <utility>
#include <vector>

#include "VizTestSupport.h"
#include "model/Interpolation.h"
#include "platform/gl/GlIncludes.h"
#include "viz/ElementGeometry.h"
#include "viz/Scene.h"
#include "viz/Text.h"

using viztest::Canvas;
using viztest::Feedback;

namespace {

class ContourTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(canvas.Ok());
        ASSERT_TRUE(viztest::LoadFixture(model, "slab_2x2_q4.slb"));
        canvas.FitModel(model);
        glDisable(GL_LIGHTING);
    }

    Feedback Lines(int style) {
        return canvas.RecordFeedback([&] { viz::DrawContourLines(model, 0, 1, 1, style); });
    }

    Canvas canvas{300, 300};
    ModelData model;
};

TEST_F(ContourTest, FieldLinearInYGivesStraightLinesAtTheLevels) {
    viztest::SetStepValues(model, 1, 0, [](double y, double) { return y; });
    model.SetContourLimits(0.0, 2.0, 8, 0.25);
    const Feedback f = Lines(1);
    ASSERT_FALSE(f.segments.empty());
    std::vector<bool> seen(9, false);
    for (const auto& s : f.segments) {
        EXPECT_NEAR(s.x1, s.x2, 0.01);  // straight lines of constant y
        double wx0, wy;
        canvas.ToWindow(0.0, 0.0, wx0, wy);
        double wx1;
        canvas.ToWindow(0.25, 0.0, wx1, wy);
        const double k = (s.x1 - wx0) / (wx1 - wx0);
        ASSERT_NEAR(k, std::round(k), 0.01);
        const int level = static_cast<int>(std::round(k));
        seen[static_cast<std::size_t>(level)] = true;
        // Each level in its ramp colour.
        const RampColor c = ColorRamp(viz::ContourLevel(0.0, 2.0, 8, level), 2.0, 0.0);
        EXPECT_EQ(s.r, c.r);
        EXPECT_EQ(s.g, c.g);
        EXPECT_EQ(s.b, c.b);
    }
    // Every level is drawn, both ends included (a level at an element's
    // minimum or maximum lies on its side).
    for (int k = 0; k <= 8; ++k) EXPECT_TRUE(seen[static_cast<std::size_t>(k)]) << k;
    for (const auto& s : Lines(2).segments) EXPECT_TRUE(s.r == 127 && s.g == 127 && s.b == 127);
}

TEST_F(ContourTest, CurvedLevelAcrossACornerIsTracedInSixteenSteps) {
    // y + z reaches 1.5 across the corner of sides 0 and 1 in every element
    // it meets.
    viztest::SetStepValues(model, 1, 0, [](double y, double z) { return y + (2.0 - z); });
    model.SetContourLimits(0.0, 4.0, 8, 0.5);
    const Feedback f = canvas.RecordFeedback([&] { viz::DrawContourLines(model, 0, 1, 1, 1); });
    ASSERT_FALSE(f.segments.empty());
    // Consecutive segments of one trace join.
    for (std::size_t i = 1; i < f.segments.size(); ++i) {
        if (i % 16 == 0) continue;
        EXPECT_NEAR(f.segments[i].x1, f.segments[i - 1].x2, 0.01);
        EXPECT_NEAR(f.segments[i].y1, f.segments[i - 1].y2, 0.01);
    }
}

TEST_F(ContourTest, FieldConstantAtALevelDrawsTheFourSides) {
    viztest::SetStepValues(model, 1, 0, [](double, double) { return 1.0; });
    model.SetContourLimits(0.0, 2.0, 2, 1.0);
    EXPECT_EQ(Lines(1).segments.size(), 4u * 4 * 10);
    model.SetContourLimits(0.0, 3.0, 2, 1.5);  // no level at 1
    EXPECT_TRUE(Lines(1).segments.empty());
}

TEST_F(ContourTest, MissingStepAndZeroDivisions) {
    // A step that is not there reads as 0 at every node.
    model.SetContourLimits(-1.0, 1.0, 0, 0.0);
    EXPECT_EQ(Lines(1).segments.size(), 0u);  // levels -1 and 1 only
    model.SetContourLimits(-1.0, 0.0, 0, 0.0);
    EXPECT_EQ(Lines(1).segments.size(), 160u);  // the level 0 lies on every side
    int n = -1;
    double lo, hi, inc;
    model.GetContourLimits(lo, hi, n, inc);
    EXPECT_EQ(n, 0);  // the stored value stays
}

TEST(ContourLevels, SinglePrecisionFractionsBetweenTheLimits) {
    EXPECT_EQ(viz::ContourLevel(-3.0, 7.0, 10, 0), -3.0);
    EXPECT_EQ(viz::ContourLevel(-3.0, 7.0, 10, 10), 7.0);
    const float t = 3.0f / 10.0f;
    EXPECT_EQ(viz::ContourLevel(-3.0, 7.0, 10, 3), double(t) * 7.0 + double(1.0f - t) * -3.0);
    EXPECT_EQ(viz::ContourLevel(1.0, 2.0, 0, 1), 2.0);
}

TEST(ElementLabels, NineNodeNumberStandsOffTheCentre) {
    Canvas canvas(200, 200);
    ASSERT_TRUE(canvas.Ok());
    ModelData model;
    ASSERT_EQ(model.ReadModelFile(std::string(BRENNIX_TEST_DATA) + "/model/slb/minimal_quad9.slb", true), 0);
    canvas.FitModel(model);
    viz::TextRecorder texts;
    model.elementNumberColor = 0x0000FF;  // red
    viz::DrawElementLabels(model, 0, 0);
    ASSERT_EQ(texts.Texts().size(), 1u);
    const viz::RecordedText& t = texts.Texts()[0];
    EXPECT_EQ(t.text, "7");
    EXPECT_NEAR(t.y, 1.5, 1e-12);
    EXPECT_NEAR(t.z, 1.5, 1e-12);
    EXPECT_EQ(t.r, 255);
    EXPECT_EQ(t.g, 0);
}

// ---- Legend and caption ------------------------------------------------------

class LegendTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(canvas.Ok());
        ASSERT_TRUE(viztest::LoadFixture(model, "slab_2x2_q4.slb"));
        viztest::SetStepValues(model, 1, 0, [](double y, double) { return y; });
        canvas.ViewModel(ModelData(), 1.0);  // base orientation, pixels
        glDisable(GL_LIGHTING);
        model.foregroundColor = 0x00FF00;  // green legend text
    }

    static constexpr int W = 800, H = 600;
    Canvas canvas{W, H};
    ModelData model;
};

TEST_F(LegendTest, TenDivisionsGiveElevenBarsFromTheMinimumDown) {
    model.SetContourLimits(-2.0, 3.0, 10, 0.5);
    const int offset = 20;
    viz::TextRecorder texts;
    const Feedback f = canvas.RecordFeedback([&] {
        viz::DrawContourLegend(model, H, W, 1, 0, offset);
        viz::DrawStepCaption(model, H, W, 1, 0, 1, offset);
    });
    const int y0 = W / 2 - 150 - offset, z0 = 50 - H / 2;
    ASSERT_EQ(f.segments.size(), 11u);
    for (int k = 0; k <= 10; ++k) {
        const auto& s = f.segments[static_cast<std::size_t>(k)];
        const double zk = z0 + 20 * k;
        EXPECT_NEAR(s.x1, W / 2.0 + y0, 0.01) << k;
        EXPECT_NEAR(s.x2, W / 2.0 + y0 + 50, 0.01) << k;
        EXPECT_NEAR(s.y1, H / 2.0 - zk, 0.01) << k;
        const RampColor c = ColorRamp(viz::ContourLevel(-2.0, 3.0, 10, k), 3.0, -2.0);
        EXPECT_EQ(s.r, c.r) << k;
        EXPECT_EQ(s.g, c.g) << k;
        EXPECT_EQ(s.b, c.b) << k;
    }
    const auto& t = texts.Texts();
    ASSERT_EQ(t.size(), 13u);
    EXPECT_EQ(t[0].text, "Disp. X");
    EXPECT_EQ(t[0].y, y0 + 52);
    EXPECT_EQ(t[0].z, z0 - 20);
    EXPECT_EQ(t[1].text, "-2.0000E+00");
    EXPECT_EQ(t[11].text, "3.0000E+00");  // "%10.4E" fills ten places at least
    EXPECT_EQ(t[11].y, y0 + 62);
    EXPECT_EQ(t[11].z, z0 + 200 + 5);
    for (std::size_t i = 0; i < 12; ++i) EXPECT_TRUE(t[i].r == 0 && t[i].g == 255 && t[i].b == 0) << i;
    EXPECT_EQ(t[12].text, "Step = 1");
    EXPECT_EQ(t[12].y, y0 + 52);
    EXPECT_EQ(t[12].z, H / 2 - 70);
    // The caption takes the colour the legend left.
    EXPECT_EQ(t[12].g, 255);
    GLfloat width = 0.0f;
    glGetFloatv(GL_LINE_WIDTH, &width);
    EXPECT_EQ(width, 1.0f);
}

TEST_F(LegendTest, LegendBarsAreTwentyPixelsWideInTheRampColours) {
    model.SetContourLimits(0.0, 10.0, 10, 1.0);
    canvas.Clear();
    viz::DrawContourLegend(model, H, W, 1, 0, 0);
    const auto image = canvas.Read();
    const int y0 = W / 2 - 150, z0 = 50 - H / 2;
    for (int k : {0, 5, 10}) {
        const int x = W / 2 + y0 + 25, row = H / 2 + z0 + 20 * k;  // from the top
        const RampColor c = ColorRamp(viz::ContourLevel(0.0, 10.0, 10, k), 10.0, 0.0);
        for (int dy : {-8, 0, 8}) {
            const viztest::Rgb p = viztest::PixelAt(image, x, row + dy);
            EXPECT_EQ(p.r, c.r) << k << " " << dy;
            EXPECT_EQ(p.g, c.g) << k << " " << dy;
            EXPECT_EQ(p.b, c.b) << k << " " << dy;
        }
    }
    viztest::KeepPicture(image, "viz_legend.bmp");
}

TEST_F(LegendTest, ZeroDivisionsDrawTwoRowsFromTheLimits) {
    model.SetContourLimits(1.0, 4.0, 0, 0.0);
    viz::TextRecorder texts;
    const Feedback f = canvas.RecordFeedback([&] { viz::DrawContourLegend(model, H, W, 1, 0, 0); });
    EXPECT_EQ(f.segments.size(), 2u);
    ASSERT_EQ(texts.Texts().size(), 3u);
    EXPECT_EQ(texts.Texts()[1].text, "1.0000E+00");
    EXPECT_EQ(texts.Texts()[2].text, "4.0000E+00");
}

}  // namespace

namespace {

TEST(ContourPicture, BowlOverTheDefaultSlabShadesFromTheRimToTheMiddle) {
    Canvas canvas(400, 400);
    ASSERT_TRUE(canvas.Ok());
    ModelData model;
    ASSERT_TRUE(viztest::LoadFixture(model, "default_slab_q8.slb"));
    const double scale = canvas.FitModel(model);
    // Deepest in the middle: 1 - r^2 / 0.5 from 0 at the corners to 1.
    viztest::SetStepValues(model, 1, 0, [](double y, double z) {
        const double u = y - 0.5, v = z - 0.5;
        return 1.0 - (u * u + v * v) / 0.5;
    });
    model.SetContourLimits(0.0, 1.0, 10, 0.1);
    DisplayOptions o;
    o.contourColumn = 1;
    o.contourStyle = 2;
    o.symbolScale = scale;
    glDisable(GL_LIGHTING);
    canvas.Clear();
    viz::DrawScene(model, o);
    const auto image = canvas.Read();
    viztest::KeepPicture(image, "viz_default_slab_contours.bmp");
    auto colourAt = [&](double y, double z) {
        double wx, wy;
        canvas.ToWindow(y, z, wx, wy);
        return viztest::PixelAt(image, int(wx), canvas.Height() - 1 - int(wy));
    };
    const RampColor top = ColorRamp(1.0, 1.0, 0.0);
    const viztest::Rgb middle = colourAt(0.5, 0.5);
    EXPECT_NEAR(middle.r, top.r, 40);
    EXPECT_NEAR(middle.g, top.g, 60);
    EXPECT_NEAR(middle.b, top.b, 40);
    const viztest::Rgb corner = colourAt(0.02, 0.02);  // value about 0.04: blue
    EXPECT_LT(corner.r, 40);
    EXPECT_GT(corner.b, 150);
}

}  // namespace

// ---- Contour lines of elements with mid-side nodes ---------------------------

namespace {

struct Line2 {
    double x1, y1, x2, y2;
};

double DistanceToSegment(double px, double py, const Line2& s) {
    const double dx = s.x2 - s.x1, dy = s.y2 - s.y1;
    const double len2 = dx * dx + dy * dy;
    double t = len2 > 0.0 ? ((px - s.x1) * dx + (py - s.y1) * dy) / len2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(px - (s.x1 + t * dx), py - (s.y1 + t * dy));
}

// Segments in window pixels, bucketed for distance queries within a few
// pixels.
class SegmentIndex {
public:
    explicit SegmentIndex(std::vector<Line2> lines) : lines_(std::move(lines)) {
        for (std::size_t i = 0; i < lines_.size(); ++i) {
            const Line2& l = lines_[i];
            for (int bx = Bucket(std::min(l.x1, l.x2)); bx <= Bucket(std::max(l.x1, l.x2)); ++bx)
                for (int by = Bucket(std::min(l.y1, l.y2)); by <= Bucket(std::max(l.y1, l.y2)); ++by)
                    buckets_[{bx, by}].push_back(i);
        }
    }
    // Distance to the nearest segment, capped at 3 pixels.
    double Nearest(double x, double y) const {
        double best = 3.0;
        for (int bx = Bucket(x - 3.0); bx <= Bucket(x + 3.0); ++bx)
            for (int by = Bucket(y - 3.0); by <= Bucket(y + 3.0); ++by) {
                const auto it = buckets_.find({bx, by});
                if (it == buckets_.end()) continue;
                for (std::size_t i : it->second) best = std::min(best, DistanceToSegment(x, y, lines_[i]));
            }
        return best;
    }

private:
    static int Bucket(double v) { return static_cast<int>(std::floor(v / 4.0)); }
    std::vector<Line2> lines_;
    std::map<std::pair<int, int>, std::vector<std::size_t>> buckets_;
};

// Calls visit(x, y) at points at most half a pixel apart along a segment;
// returns the length a point stands for.
template <class Visit>
double Walk(const Line2& l, Visit visit) {
    const double length = std::hypot(l.x2 - l.x1, l.y2 - l.y1);
    const int n = std::max(1, static_cast<int>(std::ceil(length / 0.5)));
    for (int i = 0; i < n; ++i) {
        const double t = (i + 0.5) / n;
        visit(l.x1 + t * (l.x2 - l.x1), l.y1 + t * (l.y2 - l.y1));
    }
    return length / n;
}

// The true contours of each level of the elements' shape-function field:
// marching squares on a grid of about half a pixel in each element.
std::vector<std::vector<Line2>> ReferenceContours(const ModelData& model, const Canvas& canvas, int column,
                                                  const std::vector<double>& levels) {
    constexpr int kFine = 120;
    std::vector<std::vector<Line2>> out(levels.size());
    viz::ForEachDrawableElement(model, 0, 1, [&](const viz::ElementNodes& nodes) {
        double values[9];
        nodes.ColumnValues(column, 1, values);
        auto local = [](int i) { return -1.0 + 2.0 * i / kFine; };
        std::vector<double> v((kFine + 1) * (kFine + 1));
        std::vector<std::array<double, 2>> w(v.size());
        for (int j = 0; j <= kFine; ++j)
            for (int i = 0; i <= kFine; ++i) {
                double n[9], x, y, z;
                ShapeFunctions(local(i), local(j), nodes.Kind(), n);
                v[j * (kFine + 1) + i] = DotProduct(nodes.Count(), n, values);
                nodes.Point(local(i), local(j), 0.0, 0, x, y, z);
                canvas.ToWindow(y, z, w[j * (kFine + 1) + i][0], w[j * (kFine + 1) + i][1]);
            }
        for (std::size_t k = 0; k < levels.size(); ++k) {
            const double level = levels[k];
            // A side along which the field sits on the level (its nodes all
            // hold it) is part of the contour, though the field may stay on
            // one side of the level beside it, which the squares miss.
            for (int side = 0; side < 4; ++side) {
                const int a = side, b = (side + 1) % 4, m = side + 4;
                if (values[a] != level || values[b] != level || (nodes.Count() > 4 && values[m] != level)) continue;
                const int ia[4] = {0, kFine, kFine, 0}, ja[4] = {0, 0, kFine, kFine};
                const int di = (ia[b] - ia[a]) / kFine, dj = (ja[b] - ja[a]) / kFine;
                for (int t = 0; t < kFine; ++t) {
                    const auto& p = w[(ja[a] + dj * t) * (kFine + 1) + ia[a] + di * t];
                    const auto& q = w[(ja[a] + dj * (t + 1)) * (kFine + 1) + ia[a] + di * (t + 1)];
                    out[k].push_back({p[0], p[1], q[0], q[1]});
                }
            }
            for (int j = 0; j < kFine; ++j)
                for (int i = 0; i < kFine; ++i) {
                    const int c[4] = {j * (kFine + 1) + i, j * (kFine + 1) + i + 1, (j + 1) * (kFine + 1) + i + 1,
                                      (j + 1) * (kFine + 1) + i};
                    int found = 0;
                    double pts[4][2];
                    for (int e = 0; e < 4; ++e) {
                        const int a = c[e], b = c[(e + 1) % 4];
                        if ((v[a] >= level) == (v[b] >= level)) continue;
                        const double t = (level - v[a]) / (v[b] - v[a]);
                        pts[found][0] = w[a][0] + t * (w[b][0] - w[a][0]);
                        pts[found][1] = w[a][1] + t * (w[b][1] - w[a][1]);
                        ++found;
                    }
                    // A saddle a fraction of a pixel wide: either pairing is within reach.
                    for (int s = 0; s + 1 < found; s += 2)
                        out[k].push_back({pts[s][0], pts[s][1], pts[s + 1][0], pts[s + 1][1]});
                }
        }
    });
    return out;
}

struct LineFit {
    bool coloursMatch = true;
    double trueLength = 0.0;  // pixels of true contour
    double covered = 0.0;     // of it within 2 pixels of a drawn line of its level
    double worst = 0.0;       // farthest a drawn point lies from its level's true contour (capped at 3)
};

// Draws the contour lines of a result column (style 1, the model's limits)
// and measures them against the true contours, level by level.
LineFit MeasureContourLines(ModelData& model, Canvas& canvas, int column) {
    LineFit fit;
    double lo, hi, increment;
    int divisions;
    model.GetContourLimits(lo, hi, divisions, increment);
    glDisable(GL_LIGHTING);
    const Feedback drawn = canvas.RecordFeedback([&] { viz::DrawContourLines(model, 0, 1, column + 1, 1); });
    // Each level has its own colour; every drawn segment carries one.
    std::map<std::array<int, 3>, int> levelOf;
    for (int k = 0; k <= divisions; ++k) {
        const RampColor rc = ColorRamp(viz::ContourLevel(lo, hi, divisions, k), hi, lo);
        levelOf[{rc.r, rc.g, rc.b}] = k;
    }
    std::vector<std::vector<Line2>> drawnOf(static_cast<std::size_t>(divisions + 1));
    for (const auto& s : drawn.segments) {
        const auto it = levelOf.find({s.r, s.g, s.b});
        if (levelOf.size() != drawnOf.size() || it == levelOf.end()) {
            fit.coloursMatch = false;
            return fit;
        }
        drawnOf[static_cast<std::size_t>(it->second)].push_back({s.x1, s.y1, s.x2, s.y2});
    }
    std::vector<double> levels;
    for (int k = 0; k <= divisions; ++k) levels.push_back(viz::ContourLevel(lo, hi, divisions, k));
    const std::vector<std::vector<Line2>> references = ReferenceContours(model, canvas, column, levels);
    for (int k = 0; k <= divisions; ++k) {
        const std::vector<Line2>& reference = references[static_cast<std::size_t>(k)];
        const SegmentIndex truth(reference), lines(drawnOf[static_cast<std::size_t>(k)]);
        for (const Line2& r : reference) {
            double inReach = 0.0;
            const double step = Walk(r, [&](double x, double y) { inReach += lines.Nearest(x, y) <= 2.0; });
            fit.trueLength += std::hypot(r.x2 - r.x1, r.y2 - r.y1);
            fit.covered += step * inReach;
        }
        for (const Line2& d : drawnOf[static_cast<std::size_t>(k)])
            Walk(d, [&](double x, double y) { fit.worst = std::max(fit.worst, truth.Nearest(x, y)); });
    }
    return fit;
}

struct LineCase {
    const char* name;
    const char* fixture;
    std::function<double(double y, double z)> field;
    // The program's automatic range (the nodal extremes), so that levels
    // fall on nodal values, instead of levels strictly inside the field.
    bool nodalRange = false;
};

double Peak(double y, double z, double cy, double cz, double width) {
    return std::exp(-((y - cy) * (y - cy) + (z - cz) * (z - cz)) / (width * width));
}

// Shear beside a pile at (cy, cz): a positive and a negative peak either
// side of it, steep at the pile.
double PileShear(double y, double z, double cy, double cz) {
    const double u = y - cy, v = z - cz;
    return u / (u * u + v * v + 0.004);
}

// Nodal values about a loaded node in the middle of a 2 x 2 mesh of unit
// squares.
double UnderALoad(double y, double z) {
    static constexpr double kValues[3][3] = {
        {-290e-6, -388e-6, -43e-6}, {-379e-6, -629e-6, -5.33e-18}, {-296e-6, -333e-6, 43e-6}};
    return kValues[static_cast<int>(std::lround(z))][static_cast<int>(std::lround(y))];
}

double Bowl(double y, double z) { return 1.0 - ((y - 0.5) * (y - 0.5) + (z - 0.5) * (z - 0.5)) / 0.5; }

TEST(ContourLinesOfHigherElements, FollowTheTrueContoursWithinTwoPixels) {
    const LineCase cases[] = {
        {"bowl, 8 nodes", "default_slab_q8.slb", Bowl},
        {"bowl, 9 nodes", "slab_4x4_q9.slb", Bowl},
        {"bowl, 4 nodes", "slab_2x2_q4.slb", [](double y, double z) { return Bowl(y / 2.0, z / 2.0); }},
        // Above the mid-side nodes of the element around (0.5, 0.5) the
        // field closes into rings that touch no side.
        {"ring in an element, 8 nodes", "default_slab_q8.slb",
         [](double y, double z) { return Peak(y, z, 0.5, 0.5, 0.1); }},
        {"ring in an element, 9 nodes", "slab_4x4_q9.slb",
         [](double y, double z) { return Peak(y, z, 0.375, 0.625, 0.09); }},
        {"pile, 8 nodes", "default_slab_q8.slb", [](double y, double z) { return PileShear(y, z, 0.4, 0.6); }},
        {"pile, 9 nodes", "slab_4x4_q9.slb", [](double y, double z) { return PileShear(y, z, 0.5, 0.5); }},
        // The bottom level held by the middle node alone (a deflection
        // under a point load): each element meets it at one corner only.
        {"lowest value on one node, 4 nodes", "slab_2x2_q4.slb", UnderALoad, true},
        // The bottom level along a row of element sides the field only
        // touches (as a result column that is zero along a line of nodes).
        {"level along sides, 8 nodes", "default_slab_q8.slb", [](double, double z) { return (z - 0.4) * (z - 0.4); },
         true},
        {"level along sides, 9 nodes", "slab_4x4_q9.slb", [](double, double z) { return (z - 0.5) * (z - 0.5); }, true},
    };
    for (const LineCase& c : cases) {
        SCOPED_TRACE(c.name);
        Canvas canvas(400, 400);
        ASSERT_TRUE(canvas.Ok());
        ModelData model;
        ASSERT_TRUE(viztest::LoadFixture(model, c.fixture));
        model.symbolScale = canvas.FitModel(model);
        viztest::SetStepValues(model, 1, 0, c.field);
        // Levels strictly inside the range of the field itself (which goes
        // beyond the nodal values inside the elements).
        double lo = 1e300, hi = -1e300;
        viz::ForEachDrawableElement(model, 0, 1, [&](const viz::ElementNodes& nodes) {
            double values[9], n[9];
            nodes.ColumnValues(0, 1, values);
            for (int j = 0; j <= 40; ++j)
                for (int i = 0; i <= 40; ++i) {
                    ShapeFunctions(-1.0 + i / 20.0, -1.0 + j / 20.0, nodes.Kind(), n);
                    const double v = DotProduct(nodes.Count(), n, values);
                    lo = std::min(lo, v);
                    hi = std::max(hi, v);
                }
        });
        const int divisions = 10;
        const double margin = (hi - lo) / 23.0;
        if (c.nodalRange)
            model.SetContourRange(1, 1);
        else
            model.SetContourLimits(lo + margin, hi - margin, divisions, 0.0);
        const LineFit fit = MeasureContourLines(model, canvas, 0);
        ASSERT_TRUE(fit.coloursMatch);
        ASSERT_GT(fit.trueLength, 100.0);
        EXPECT_GE(fit.covered / fit.trueLength, 0.98) << "of " << fit.trueLength << " px";
        EXPECT_LE(fit.worst, 2.0);
    }
}

TEST(ContourLinesOfHigherElements, FieldConstantAtALevelDrawsTheSides) {
    Canvas canvas(300, 300);
    ASSERT_TRUE(canvas.Ok());
    ModelData model;
    ASSERT_TRUE(viztest::LoadFixture(model, "default_slab_q8.slb"));
    model.symbolScale = canvas.FitModel(model);
    viztest::SetStepValues(model, 1, 0, [](double, double) { return 1.0; });
    model.SetContourLimits(0.0, 2.0, 2, 1.0);
    const Feedback f = canvas.RecordFeedback([&] { viz::DrawContourLines(model, 0, 1, 1, 1); });
    EXPECT_EQ(f.segments.size(), 25u * 4 * 10);
}

}  // namespace
