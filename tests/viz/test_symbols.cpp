// Support and action symbols drawn into an off-screen context and read back
// through GL feedback: counts of segments and triangles, colours, positions
// against the symbol unit, and the matrix and line width they leave.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <set>

#include "VizTestSupport.h"
#include "model/ModelData.h"
#include "platform/gl/GlIncludes.h"
#include "viz/Scene.h"
#include "viz/SymbolShapes.h"
#include "viz/Symbols.h"

using viztest::Canvas;
using viztest::Feedback;

namespace {

constexpr int kSize = 400;
constexpr float kCentre = kSize / 2.0f;

// Extent of triangle vertices in window coordinates.
struct Box {
    float minX = 1e9f, maxX = -1e9f, minY = 1e9f, maxY = -1e9f;
};

Box TriangleBox(const Feedback& f) {
    Box b;
    for (const auto& t : f.triangleVertices)
        for (int k = 0; k < 3; ++k) {
            b.minX = std::min(b.minX, t[3 * k]);
            b.maxX = std::max(b.maxX, t[3 * k]);
            b.minY = std::min(b.minY, t[3 * k + 1]);
            b.maxY = std::max(b.maxY, t[3 * k + 1]);
        }
    return b;
}

std::set<std::array<int, 3>> SegmentColours(const Feedback& f) {
    std::set<std::array<int, 3>> colours;
    for (const auto& s : f.segments) colours.insert({s.r, s.g, s.b});
    return colours;
}

std::array<double, 16> Modelview() {
    std::array<double, 16> m{};
    glGetDoublev(GL_MODELVIEW_MATRIX, m.data());
    return m;
}

class SymbolTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(canvas.Ok());
        glDisable(GL_LIGHTING);
        // Model x to the right, y up, one unit per pixel about the centre.
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }

    Feedback Record(const std::function<void()>& draw) { return canvas.RecordFeedback(draw); }

    Canvas canvas{kSize, kSize};
};

TEST_F(SymbolTest, PrimitivesHaveTheirSegmentCounts) {
    const struct {
        const char* name;
        std::function<void()> draw;
        int segments;
    } cases[] = {
        {"zigzag spring", [] { viz::shapes::ZigzagSpring(1.0); }, 8 + 2},
        {"coil spring", [] { viz::shapes::CoilSpring(1.0); }, 80 + 2},
        {"helix spring", [] { viz::shapes::HelixSpring(1.0); }, 119},
        {"wire double ring", [] { viz::shapes::DoubleRing(1.0, false); }, 8 + 8 + 4 + 8},
        {"wire cone", [] { viz::shapes::Cone(0.0, 5.0, 10.0, false); }, 16},
        {"wire rod", [] { viz::shapes::Rod(0.0, 10.0, 5.0, false); }, 16 * 4 + 2 * 16},
        {"wire half ring", [] { viz::shapes::HalfRing(20.0, 4.0, false); }, 5 * 8 + 9 * 4 + 2 * 16},
        {"comb", [] { viz::shapes::Comb(0.0, 20.0, 15.0); }, 1 + 6},
    };
    for (const auto& c : cases) {
        const Feedback f = Record(c.draw);
        EXPECT_EQ(static_cast<int>(f.segments.size()), c.segments) << c.name;
        EXPECT_EQ(f.triangles, 0) << c.name;
    }
    EXPECT_EQ(Record([] { viz::shapes::HalfRing(20.0, 4.0, true); }).triangles, 8 * 16 * 4 + 2 * 16);
    EXPECT_EQ(Record([] { viz::shapes::Rod(0.0, 10.0, 5.0, true); }).triangles, 16 * 4 + 2 * 16);
}

TEST_F(SymbolTest, ForceArrowLiesOnTheSideOfItsSign) {
    const float u = 2.0f;
    for (double value : {-3.0, 3.0}) {
        const Feedback f = Record([&] { viz::DrawValueSymbol(0, 0.0f, 0.0f, 0.0f, u, value, 1); });
        ASSERT_GT(f.triangles, 0);
        const Box b = TriangleBox(f);
        const float sign = value > 0 ? 1.0f : -1.0f;
        // The tip touches the point, the tail is 54u away.
        EXPECT_NEAR(value > 0 ? b.minX : b.maxX, kCentre, 1e-3) << value;
        EXPECT_NEAR(value > 0 ? b.maxX : b.minX, kCentre + sign * 54 * u, 1e-3) << value;
        // Only the rod (radius 2u) lies farther than 24u from the point.
        for (const auto& t : f.triangleVertices)
            for (int k = 0; k < 3; ++k)
                if (std::fabs(t[3 * k] - kCentre) > 24 * u + 1e-3) {
                    EXPECT_LE(std::fabs(t[3 * k + 1] - kCentre), 2 * u + 1e-3) << value;
                }
    }
}

TEST_F(SymbolTest, MomentHeadSitsAtTheRingEndOfItsSign) {
    const float u = 2.0f;
    // The head (radius 12u) reaches 32u from the centre on its side; the
    // tube (20u + 4u) 24u on the other.
    for (double value : {5.0, -5.0}) {
        const Box b = TriangleBox(Record([&] { viz::DrawValueSymbol(3, 0.0f, 0.0f, 0.0f, u, value, 1); }));
        if (value > 0) {
            EXPECT_NEAR(b.minY, kCentre - 32 * u, 1e-2);
            EXPECT_NEAR(b.maxY, kCentre + 24 * u, 1e-2);
        } else {
            EXPECT_NEAR(b.maxY, kCentre + 32 * u, 1e-2);
            EXPECT_NEAR(b.minY, kCentre - 24 * u, 1e-2);
        }
    }
}

TEST_F(SymbolTest, ThresholdsOfValuesAndFlags) {
    auto count = [&](const std::function<void()>& draw) {
        const Feedback f = Record(draw);
        return f.triangles + static_cast<int>(f.segments.size());
    };
    EXPECT_EQ(count([] { viz::DrawValueSymbol(0, 0, 0, 0, 1, 1e-15, 1); }), 0);
    EXPECT_GT(count([] { viz::DrawValueSymbol(0, 0, 0, 0, 1, -1e-13, 1); }), 0);
    EXPECT_EQ(count([] { viz::DrawScaledSymbol(0, 0, 0, 0, 1, -1e-15, 1); }), 0);
    EXPECT_EQ(count([] { viz::DrawDofSymbol(0, 0, 0, 0, 1, 0.4, 1); }), 0);
    EXPECT_GT(count([] { viz::DrawDofSymbol(0, 0, 0, 0, 1, 0.6, 1); }), 0);
    for (int style : {0, 1}) EXPECT_EQ(count([&] { viz::DrawDofSymbol(3, 0, 0, 0, 1, 1.0, style); }), 0);
}

TEST_F(SymbolTest, StyleChoosesSolidOrWire) {
    const struct {
        const char* name;
        std::function<void(int style)> draw;
        bool solidInStyle1;
    } cases[] = {
        {"translational support", [](int s) { viz::DrawDofSymbol(1, 0, 0, 0, 1, 1.0, s); }, true},
        {"force arrow", [](int s) { viz::DrawValueSymbol(2, 0, 0, 0, 1, 1.0, s); }, true},
        {"moment", [](int s) { viz::DrawValueSymbol(4, 0, 0, 0, 1, 1.0, s); }, true},
        {"rotational support", [](int s) { viz::DrawDofSymbol(4, 0, 0, 0, 1, 1.0, s); }, false},
    };
    for (const auto& c : cases)
        for (int style : {1, 0, 2}) {
            const bool solid = (style == 1) == c.solidInStyle1;
            const Feedback f = Record([&] { c.draw(style); });
            EXPECT_EQ(f.triangles > 0, solid) << c.name << " style " << style;
        }
    // Wire double ring: two circles of 8, 4 spokes, 8 ticks.
    EXPECT_EQ(Record([] { viz::DrawDofSymbol(5, 0, 0, 0, 1, 1.0, 1); }).segments.size(), 28u);
}

TEST_F(SymbolTest, EverySymbolLeavesTheModelviewMatrixAsItFoundIt) {
    glTranslated(3.0, -2.0, 1.0);
    glRotated(30.0, 1.0, 1.0, 0.0);
    const auto before = Modelview();
    for (int component = 0; component < 6; ++component)
        for (int style : {0, 1})
            for (double value : {-2.0, 2.0}) {
                viz::DrawDofSymbol(component, 1, 2, 3, 1.5f, value, style);
                EXPECT_EQ(Modelview(), before);
                viz::DrawValueSymbol(component, 1, 2, 3, 1.5f, value, style);
                EXPECT_EQ(Modelview(), before);
                viz::DrawScaledSymbol(component, 1, 2, 3, 1.5f, value, style);
                EXPECT_EQ(Modelview(), before) << component << " " << style << " " << value;
            }
}

TEST_F(SymbolTest, ComponentsTakeTheirColours) {
    const double ones[6] = {1, 1, 1, 1, 1, 1};
    const Feedback f = Record([&] { viz::DrawSixComponentSymbols(2, 0, 0, 0, 1, ones, 1); });
    std::set<std::array<int, 3>> seen(f.triangleColors.begin(), f.triangleColors.end()), expected;
    for (int i = 0; i < 6; ++i) expected.insert({0, 192, 50 * i});
    EXPECT_EQ(seen, expected);
}

// Symbols of the model's tables on the 2 x 2 slab (nodes 1..9 at y, z in
// 0..2), seen as the view sees it.
class TableSymbolTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(canvas.Ok());
        ASSERT_TRUE(viztest::LoadFixture(model, "slab_2x2_q4.slb"));
        glDisable(GL_LIGHTING);
        canvas.ViewModel(model, 100.0);
        model.symbolScale = 100.0;
    }

    Feedback Draw(const std::function<void()>& draw) { return canvas.RecordFeedback(draw); }

    static std::array<double, 6> Only(int component, double value) {
        std::array<double, 6> v{};
        v[static_cast<std::size_t>(component)] = value;
        return v;
    }

    Canvas canvas{kSize, kSize};
    ModelData model;
};

TEST_F(TableSymbolTest, NodalLoadRowDrawsEveryNodeItNames) {
    const auto values = Only(0, -10.0);
    const std::array<int, 6> flags{1, 0, 0, 0, 0, 0};
    model.GetNodalActionTable(2)->AddNodalActionRow("1,5", values, flags);
    const Feedback f = Draw([&] { viz::DrawNodalTableSymbols(model, 2, 0, 0, 1); });
    ASSERT_EQ(f.points, 2);
    double wx, wy;
    int k = 0;
    for (int node : {1, 5}) {
        const NodeRow* n = model.GetNodeTable()->GetRow(model.NodeRowOfNumber(node));
        canvas.ToWindow(n->y, n->z, wx, wy);
        EXPECT_NEAR(f.pointVertices[k][0], wx, 1e-2) << node;
        EXPECT_NEAR(f.pointVertices[k][1], wy, 1e-2) << node;
        ++k;
    }
    EXPECT_EQ(f.triangles, 2 * (16 * 4 + 2 * 16 + 2 * 16));  // rod with its discs and a head per node
}

TEST_F(TableSymbolTest, DoublingTheSymbolScaleHalvesTheSymbols) {
    // A y load seen in the view: its arrow spans 54 pixels at any scale.
    const auto values = Only(1, 4.0);
    const std::array<int, 6> flags{0, 1, 0, 0, 0, 0};
    model.GetNodalActionTable(2)->AddNodalActionRow("5", values, flags);
    float widths[2];
    for (int k = 0; k < 2; ++k) {
        model.symbolScale = 100.0 * (k + 1);
        canvas.ViewModel(model, 100.0);  // the same view: only the symbol unit changes
        const Box b = TriangleBox(Draw([&] { viz::DrawNodalTableSymbols(model, 2, 0, 0, 1); }));
        widths[k] = b.maxX - b.minX;
    }
    EXPECT_NEAR(widths[0], 54.0f, 1e-2);
    EXPECT_NEAR(widths[1], widths[0] / 2, 1e-2);
}

TEST_F(TableSymbolTest, ConstraintsDrawTheirFlags) {
    const std::array<double, 6> values{};
    model.GetNodalActionTable(1)->AddNodalActionRow("ALL", values, std::array<int, 6>{0, 1, 1, 1, 0, 0});
    const Feedback f = Draw([&] { viz::DrawNodalTableSymbols(model, 1, 0, 0, 0); });
    EXPECT_EQ(f.points, 9);
    // Per node: two wire rods with combs; the rotation about x has none.
    EXPECT_EQ(f.segments.size(), 9u * 2 * (16 * 4 + 2 * 16 + 7));
}

TEST_F(TableSymbolTest, DistributedLoadOnOneElementDrawsSixLinesAndNineSymbols) {
    const auto values = Only(0, -5.0);
    model.GetNodalActionTable(4)->AddNodalActionRow("1", values, std::array<int, 6>{1, 0, 0, 0, 0, 0});
    const Feedback f = Draw([&] { viz::DrawNodalTable(model, 4, 0, 0, 1); });
    EXPECT_EQ(f.segments.size(), 6u * 10);
    EXPECT_EQ(f.triangles, 9 * (16 * 4 + 2 * 16 + 2 * 16));
    EXPECT_EQ(SegmentColours(f), (std::set<std::array<int, 3>>{{0, 255, 0}}));

    // Component i of a distributed action is drawn in (0, 255, 10 i).
    model.GetNodalActionTable(4)->GetHead()->values = {0, 0, 5.0, 0, 0, 0};
    EXPECT_EQ(SegmentColours(Draw([&] { viz::DrawNodalTable(model, 4, 0, 0, 1); })),
              (std::set<std::array<int, 3>>{{0, 255, 20}}));
}

TEST_F(TableSymbolTest, EdgeLoadDrawsItsDiagramAndFiveSymbols) {
    model.GetEdgeActionTable(1)->AddEdgeActionRow("1", 1, 3, std::array<double, 3>{3.0, 3.0, 3.0});
    const Feedback f = Draw([&] { viz::DrawEdgeTable(model, 1, 0, 0, 1); });
    EXPECT_EQ(f.segments.size(), 10u);
    EXPECT_EQ(f.triangles, 5 * (16 * 4 + 2 * 16 + 2 * 16));
    // The diagram lies 18 pixels off the side (eta = -1 of element 1: z = 2).
    double wx, wy;
    canvas.ToWindow(0.0, 2.0, wx, wy);
    for (const auto& s : f.segments) EXPECT_NEAR(std::fabs(s.y1 - wy), 18.0, 1e-2);
}

TEST_F(TableSymbolTest, CutLinesAndTheLineWidthTheyLeave) {
    model.GetCutLineDataTable()->AddCutLineRow(0.0, 0.5, 2.0, 0.5);
    model.GetCutLineDataTable()->AddCutLineRow(1.0, 0.0, 1.0, 2.0);
    model.CopyCutLines();
    CutLineTable* drawn = model.GetCutLineTable();
    drawn->CountCutLineRows();
    drawn->RebuildCutLineIndex();

    Feedback f = Draw([&] { viz::DrawCutLines(model); });
    ASSERT_EQ(f.segments.size(), 2u);
    EXPECT_EQ(SegmentColours(f), (std::set<std::array<int, 3>>{{0, 0, 255}}));
    GLfloat width = 0;
    glGetFloatv(GL_LINE_WIDTH, &width);
    EXPECT_EQ(width, 2.0f);

    drawn->SetHighlight(1, 1);
    f = Draw([&] { viz::DrawCutLines(model); });
    EXPECT_EQ(f.segments[1].r, 255);
    EXPECT_EQ(f.segments[1].b, 0);
    glGetFloatv(GL_LINE_WIDTH, &width);
    EXPECT_EQ(width, 4.0f);
}

TEST_F(TableSymbolTest, NonlinearGroupsDrawAHelixAtEachNode) {
    NonlinearAction* empty = model.AppendNonlinearAction();
    empty->nodeText = "NOTHING";  // a node set without members
    empty->setSelector = 1;
    model.GetSetTable(1)->AddSetRow("NOTHING", nullptr);
    EXPECT_EQ(Draw([&] { viz::DrawNodalActions(model, 0, 0, 0, 1); }).segments.size(), 0u);

    NonlinearAction* listed = model.AppendNonlinearAction();
    listed->nodeText = "2,7,99";  // 99 names no node
    const Feedback f = Draw([&] { viz::DrawNodalActions(model, 0, 0, 0, 1); });
    EXPECT_EQ(f.points, 2);
    EXPECT_EQ(f.segments.size(), 2u * (119 + 16 * 4 + 2 * 16));
}

TEST_F(TableSymbolTest, LargestEquivalentLoadIsDrawnAtTwiceTheNormalSize) {
    // Four points of one ring: each carries a quarter of Fx, all at the
    // largest size.
    model.SetEquivLoadParameters(-100, 0, 0, 0, 0, 0, 0, 1, 1, 0, 0.5, 4, 0, 1, 0, 0);
    ASSERT_EQ(model.GetEquivLoadPointCount(), 4);
    const Feedback f = Draw([&] { viz::DrawEquivalentLoads(model, 0, 0, 0, 1); });
    EXPECT_EQ(f.points, 4);
    EXPECT_EQ(f.triangles, 4 * (16 * 4 + 2 * 16 + 2 * 16));

    // An x arrow is seen end-on: its head's base disc has radius 6u, 12 pixels
    // at twice the size.
    const Box b = TriangleBox(f);
    double left, bottom;
    canvas.ToWindow(1.5, 1.0, left, bottom);  // the point at angle 0
    EXPECT_NEAR(b.maxX, left + 12.0, 1e-2);
}

TEST_F(TableSymbolTest, ConcentratedActionOutsideEveryElementStaysAtItsCoordinates) {
    viztest::SetStepValues(model, 1, 1, [](double, double) { return 0.25; });  // y displacement
    model.GetConcentratedActionTable(1)->AddConcentratedActionRow(Only(0, -1.0), std::array<double, 3>{0, 1.5, 1.5});
    model.GetConcentratedActionTable(1)->AddConcentratedActionRow(Only(0, -1.0), std::array<double, 3>{0, 3.0, 1.0});
    const Feedback f = Draw([&] { viz::DrawConcentratedTable(model, 1, 1, 1, 1); });
    ASSERT_EQ(f.points, 2);
    double wx, wy;
    canvas.ToWindow(1.5 + 0.25, 1.5, wx, wy);  // inside: moved with its element
    EXPECT_NEAR(f.pointVertices[0][0], wx, 1e-2);
    EXPECT_NEAR(f.pointVertices[0][1], wy, 1e-2);
    canvas.ToWindow(3.0, 1.0, wx, wy);  // outside: where it is
    EXPECT_NEAR(f.pointVertices[1][0], wx, 1e-2);
    EXPECT_NEAR(f.pointVertices[1][1], wy, 1e-2);
}

}  // namespace

namespace {

// The example slab with every symbol shown: five column supports, two nodal
// and two concentrated loads, a distributed load and two cut lines. Kept as
// pictures for a person to look at: straight on as the view opens, and tilted
// so that the symbols along x show their length.
TEST(SymbolPicture, SlabWithPointLoadsShowsItsSymbols) {
    Canvas canvas(640, 560);
    ASSERT_TRUE(canvas.Ok());
    ModelData model;
    ASSERT_TRUE(viztest::LoadExample(model, "slab-point-loads.slb"));
    model.CopyCutLines();
    DisplayOptions o;
    o.solidFaces = 1;
    o.symbolScale = canvas.FitModel(model) * 0.8;
    for (int* flag :
         {&o.showConstraints, &o.showNodalLoads, &o.showConcentratedLoads, &o.showDistributedLoads, &o.showCutLines})
        *flag = 1;
    canvas.ViewModel(model, o.symbolScale);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_COLOR_MATERIAL);
    glEnable(GL_NORMALIZE);

    auto countColour = [](const brennix::gl::DibImage& image, auto match) {
        int n = 0;
        for (int y = 0; y < image.height; ++y)
            for (int x = 0; x < image.width; ++x) n += match(viztest::PixelAt(image, x, y)) ? 1 : 0;
        return n;
    };
    // Lit colours: green symbols, blue cut lines (darkened by the light).
    auto greenish = [](viztest::Rgb p) { return p.g > 60 && p.g > 2 * std::max(p.r, p.b); };
    auto blue = [](viztest::Rgb p) { return p.b > 40 && p.b > 2 * std::max(p.r, p.g); };

    canvas.Clear();
    viz::DrawScene(model, o);
    const brennix::gl::DibImage straight = canvas.Read();
    viztest::KeepPicture(straight, "viz_slab_point_loads_symbols.bmp");
    EXPECT_GT(countColour(straight, greenish), 500);
    EXPECT_GT(countColour(straight, blue), 200);

    // Tilted: turned 35 degrees about the screen's vertical and 20 about its
    // horizontal.
    std::array<double, 16> m{};
    glGetDoublev(GL_MODELVIEW_MATRIX, m.data());
    glLoadIdentity();
    glRotated(20.0, 1.0, 0.0, 0.0);
    glRotated(35.0, 0.0, 1.0, 0.0);
    glMultMatrixd(m.data());
    canvas.Clear();
    viz::DrawScene(model, o);
    const brennix::gl::DibImage tilted = canvas.Read();
    viztest::KeepPicture(tilted, "viz_slab_point_loads_symbols_tilted.bmp");
    EXPECT_GT(countColour(tilted, greenish), 500);
    glDisable(GL_LIGHTING);
}

}  // namespace
