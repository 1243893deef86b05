// The scene drawn into an off-screen context: what feedback, selection,
// recorded texts and pixels show for the options of the view.

#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "VizTestSupport.h"
#include "model/Interpolation.h"
#include "platform/gl/GlIncludes.h"
#include "viz/ItemWalk.h"
#include "viz/Scene.h"
#include "viz/Text.h"

using viztest::Canvas;
using viztest::Feedback;

namespace {

int CountColored(const Feedback& f, int r, int g, int b) {
    int n = 0;
    for (const auto& c : f.triangleColors) n += c[0] == r && c[1] == g && c[2] == b;
    return n;
}

class SceneTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(canvas.Ok());
        ASSERT_TRUE(viztest::LoadFixture(model, "slab_2x2_q4.slb"));
        ASSERT_EQ(model.GetElementCount(), 4);
        canvas.FitModel(model);
        glDisable(GL_LIGHTING);
    }

    Feedback Scene(const DisplayOptions& o) {
        return canvas.RecordFeedback([&] { viz::DrawScene(model, o); });
    }

    Canvas canvas{300, 300};
    ModelData model;
};

TEST_F(SceneTest, FacesSidesAndOutlinesOfTheTwoByTwoSlab) {
    // No level of 1..2 lies in the (missing, so zero) results: contour
    // options change only what happens to the faces.
    model.SetContourLimits(1.0, 2.0, 10, 0.1);
    const struct {
        const char* name;
        void (*set)(DisplayOptions&);
        int pinkTriangles;
        int segments;
    } cases[] = {
        {"faces and sides", [](DisplayOptions&) {}, 64, 120},
        {"boundary only", [](DisplayOptions& o) { o.boundaryOnly = 1; }, 64, 80},
        {"deformed with undeformed", [](DisplayOptions& o) { o.showDeformed = 1, o.showUndeformed = 1; }, 64, 192},
        {"undeformed alone", [](DisplayOptions& o) { o.showUndeformed = 1; }, 64, 120},
        {"no solid faces", [](DisplayOptions& o) { o.solidFaces = 0; }, 0, 120},
        {"contour lines keep faces", [](DisplayOptions& o) { o.contourColumn = 1, o.contourStyle = 1; }, 64, 120},
        {"contour fill drops faces", [](DisplayOptions& o) { o.contourColumn = 1, o.contourStyle = 0; }, 0, 120},
        {"fill and lines drop faces", [](DisplayOptions& o) { o.contourColumn = 1, o.contourStyle = 2; }, 0, 120},
        {"mesh over contours", [](DisplayOptions& o) { o.contourColumn = 1, o.meshOverContours = 1; }, 0, 240},
    };
    for (const auto& c : cases) {
        DisplayOptions o;
        c.set(o);
        const Feedback f = Scene(o);
        EXPECT_EQ(CountColored(f, 255, 192, 203), c.pinkTriangles) << c.name;
        EXPECT_EQ(static_cast<int>(f.segments.size()), c.segments) << c.name;
    }
}

TEST_F(SceneTest, ContourFillShadesTheFacesInRampColours) {
    viztest::SetStepValues(model, 1, 0, [](double y, double) { return y; });
    model.SetContourLimits(0.0, 2.0, 10, 0.2);
    DisplayOptions o;
    o.contourColumn = 1;
    const Feedback f = Scene(o);
    EXPECT_EQ(f.triangles, 64);  // 2 x 2 cells of four triangles per element
    // Feedback gives each triangle the colour of its first vertex, the cell
    // centre: y = 0.25, 0.75, 1.25 or 1.75.
    std::set<std::array<int, 3>> expected, seen;
    for (double y : {0.25, 0.75, 1.25, 1.75}) {
        const RampColor c = ColorRamp(y, 2.0, 0.0);
        expected.insert({c.r, c.g, c.b});
    }
    seen.insert(f.triangleColors.begin(), f.triangleColors.end());
    EXPECT_EQ(seen, expected);
}

TEST_F(SceneTest, ThicknessViewDrawsBothSurfacesAndTheWalls) {
    DisplayOptions o;
    o.showThickness = 1;
    o.symbolScale = 100.0;  // sides of length 1: 100 / 20 = 5 segments, raised to 6
    const int faces = 4 * 2 * 16;
    const int wall = 6 * 4;
    // 12 distinct sides carry a wall; a shared side of one material once.
    Feedback f = Scene(o);
    EXPECT_EQ(CountColored(f, 255, 192, 203), faces + 12 * wall);
    // Every side is drawn at both surfaces, its corners joined through the
    // thickness.
    EXPECT_EQ(f.segments.size(), 16u * (2 * 10 + 2));
    // Elements of different materials each draw their wall on the shared side.
    for (int e = 0; e < 4; ++e) model.GetElementTable()->GetRow(e)->material = e + 1;
    model.BuildEdgeFlags();
    f = Scene(o);
    EXPECT_EQ(CountColored(f, 255, 192, 203), faces + 16 * wall);
    o.showThickness = 0;
    EXPECT_EQ(Scene(o).segments.size(), 120u);  // the plain view still draws shared sides once
}

TEST_F(SceneTest, SideOffsetMovesThePolylineByTheWeights) {
    const double weights[4] = {1.0, 1.0, 0.0, 0.0};  // full at corners 1 and 2, none at 3 and 4
    viz::SideLine line;
    line.element = 0;
    line.running = 1;  // side 0: eta = -1, from corner 1 to corner 2
    line.fixed = -1.0;
    const Feedback plain = canvas.RecordFeedback([&] { viz::DrawElementSide(model, line); });
    line.oz = -0.5;  // towards the middle of the slab
    const Feedback moved = canvas.RecordFeedback([&] { viz::DrawElementSide(model, line); });
    line.weights = weights;
    line.fixed = 1.0;  // side 2 has weight 0 everywhere
    const Feedback far = canvas.RecordFeedback([&] { viz::DrawElementSide(model, line); });
    line.oz = 0.0;
    const Feedback farPlain = canvas.RecordFeedback([&] { viz::DrawElementSide(model, line); });
    ASSERT_EQ(plain.segments.size(), 10u);
    ASSERT_EQ(moved.segments.size(), 10u);
    double wx, y0, y1;
    canvas.ToWindow(0.0, 0.0, wx, y0);
    canvas.ToWindow(0.0, -0.5, wx, y1);
    for (std::size_t i = 0; i < 10; ++i) {
        EXPECT_NEAR(moved.segments[i].y1 - plain.segments[i].y1, y1 - y0, 0.01);
        EXPECT_NEAR(far.segments[i].y1, farPlain.segments[i].y1, 0.01);
    }
}

TEST_F(SceneTest, OneElementAloneDrawsItsFourSides) {
    ElementTable& elements = *model.GetElementTable();
    while (elements.GetCount() > 1) elements.RemoveElementRow(1);
    model.RebuildNodeIndex();
    model.BuildEdgeFlags();
    for (int boundaryOnly : {0, 1}) {
        DisplayOptions o;
        o.boundaryOnly = boundaryOnly;
        EXPECT_EQ(Scene(o).segments.size(), 40u) << boundaryOnly;
    }
}

TEST_F(SceneTest, AnElementNamingAMissingNodeIsLeftOut) {
    model.GetElementTable()->SetNodeNumber(3, 2, 999);
    DisplayOptions o;
    o.showElementNumbers = 1;
    viz::TextRecorder texts;
    const Feedback f = Scene(o);
    EXPECT_EQ(CountColored(f, 255, 192, 203), 48);
    EXPECT_EQ(texts.Texts().size(), 3u);
}

TEST_F(SceneTest, NothingIsDrawnBeforeAModelIsLoaded) {
    ModelData empty;
    empty.Reset();
    DisplayOptions o;
    o.nodeDisplay = 3;
    o.symbolScale = 2.5;
    o.pickKind = 2;
    viz::TextRecorder texts;
    const Feedback f = canvas.RecordFeedback([&] {
        viz::DrawScene(empty, o);
        viz::DrawContourLegend(empty, 300, 300, 1, 0, 0);
        viz::DrawStepCaption(empty, 300, 300, 1, 0, 1, 0);
    });
    EXPECT_EQ(f.triangles + f.points + static_cast<int>(f.segments.size()), 0);
    EXPECT_TRUE(texts.Texts().empty());
    // The drawing state is stored all the same.
    EXPECT_EQ(empty.symbolScale, 2.5);
    EXPECT_EQ(empty.drawPickKind, 2);
}

TEST_F(SceneTest, NodePointsAndNumbersFollowTheNodeDisplay) {
    const struct {
        int display;
        int points;
        std::size_t texts;
    } cases[] = {{0, 0, 0}, {1, 9, 0}, {2, 0, 9}, {3, 9, 9}};
    for (const auto& c : cases) {
        DisplayOptions o;
        o.nodeDisplay = c.display;
        viz::TextRecorder texts;
        EXPECT_EQ(Scene(o).points, c.points) << c.display;
        EXPECT_EQ(texts.Texts().size(), c.texts) << c.display;
    }
}

// ---- Highlights ---------------------------------------------------------------

class HighlightTest : public SceneTest {
protected:
    Feedback Highlight(int kind, const std::string& text, int picked = 0) {
        DisplayOptions o;
        return canvas.RecordFeedback([&] { viz::DrawSelectionScene(model, o, kind, text, picked); });
    }

    // Window position of node n.
    std::pair<float, float> NodeAt(int n) {
        double x, y, z, wx, wy;
        model.NodePosition(x, y, z, model.NodeRowOfNumber(n), 0, 0);
        canvas.ToWindow(y, z, wx, wy);
        return {float(wx), float(wy)};
    }
};

TEST_F(HighlightTest, NodeRangesNameEveryStepUpToTheLast) {
    EXPECT_EQ(Highlight(1, "3;9;3").points, 3);
    EXPECT_EQ(Highlight(1, "9;3").points, 1);
    EXPECT_EQ(Highlight(1, "2,4,ALL").points, 11);
    EXPECT_EQ(Highlight(2, "ALL").triangles, 64);
}

TEST_F(HighlightTest, EmptyZeroAndUnknownTextsDrawNothing) {
    for (int kind : {1, 2, 3, 4}) {
        for (const char* text : {"0", "", "NOSUCHSET"}) {
            if (kind == 4 && std::string(text) != "0") continue;
            const Feedback f = Highlight(kind, text);
            EXPECT_EQ(f.points + f.triangles + static_cast<int>(f.segments.size()), 0) << kind << " " << text;
        }
    }
    EXPECT_EQ(Highlight(0, "1").points, 0);
    EXPECT_EQ(Highlight(1, "10").points, 0);  // beyond the largest node number
}

TEST_F(HighlightTest, EdgeCodeNamesOneSideOfItsElement) {
    ASSERT_TRUE(viztest::LoadFixture(model, "default_slab_q8.slb"));
    canvas.FitModel(model);
    // 50 = 4 x 12 + 2: side index 1 (xi = +1) of element 12, from its second
    // to its third corner.
    const Feedback f = Highlight(3, "50");
    ASSERT_EQ(f.segments.size(), 10u);
    const ElementRow* e = model.GetElementTable()->GetRow(model.ElementRowOfNumber(12));
    const auto a = NodeAt(e->nodes[1]), b = NodeAt(e->nodes[2]);
    EXPECT_NEAR(f.segments.front().x1, a.first, 0.5);
    EXPECT_NEAR(f.segments.front().y1, a.second, 0.5);
    EXPECT_NEAR(f.segments.back().x2, b.first, 0.5);
    EXPECT_NEAR(f.segments.back().y2, b.second, 0.5);
    EXPECT_EQ(f.segments.front().r, 255);
    EXPECT_EQ(f.segments.front().g, 0);
    EXPECT_EQ(f.segments.front().b, 255);
    // A range names the side of every element of it.
    EXPECT_EQ(Highlight(3, "1;25;1;3").segments.size(), 250u);
}

TEST_F(HighlightTest, PickedItemsAreGreyAndElementsKeepADarkOutline) {
    const Feedback element = Highlight(2, "1", 1);
    EXPECT_EQ(CountColored(element, 125, 125, 125), 16);
    ASSERT_EQ(element.segments.size(), 40u);
    EXPECT_EQ(element.segments[0].r, 50);
    const Feedback current = Highlight(2, "1", 0);
    EXPECT_EQ(CountColored(current, 0, 255, 255), 16);
    const Feedback node = Highlight(1, "5", 1);
    ASSERT_EQ(node.points, 1);
    const Feedback side = Highlight(3, "5", 1);
    ASSERT_FALSE(side.segments.empty());
    EXPECT_EQ(side.segments[0].r, 100);
}

TEST_F(HighlightTest, PickedElementIsTranslucentGreyOverTheHighlight) {
    canvas.Clear();
    DisplayOptions o;
    viz::DrawSelectionScene(model, o, 2, "1", 0);
    viz::DrawSelectionScene(model, o, 2, "1", 1);
    const auto image = canvas.Read();
    // Element 1 (y 0..1, z 1..2): its centre at (0.5, 1.5).
    double wx, wy;
    canvas.ToWindow(0.5, 1.5, wx, wy);
    const viztest::Rgb p = viztest::PixelAt(image, int(wx), canvas.Height() - 1 - int(wy));
    // Cyan over white, then grey at 0.75 over that.
    const double cyanR = 0.75 * 0 + 0.25 * 255, cyanG = 255.0;
    EXPECT_NEAR(p.r, 0.75 * 125 + 0.25 * cyanR, 3);
    EXPECT_NEAR(p.g, 0.75 * 125 + 0.25 * cyanG, 3);
    EXPECT_NEAR(p.b, 0.75 * 125 + 0.25 * cyanG, 3);
}

TEST_F(HighlightTest, APointHighlightReadsThreeCoordinateFields) {
    char text[80];
    std::snprintf(text, sizeof text, "%18.8f  %18.8f  %18.8f  ", 0.0, 1.5, 0.5);
    const Feedback f = Highlight(4, text);
    ASSERT_EQ(f.points, 1);
}

TEST_F(HighlightTest, SetsNamingThemselvesAndHugeRangesStopAtTheNumbersInUse) {
    SetTable* nodeSets = model.GetSetTable(1);
    ASSERT_NE(nodeSets, nullptr);
    SetMemberList members;
    members.AddSetMemberRow("LOOP", 0, 1, 1);
    members.AddSetMemberRow("2", 4, 2, 1);
    nodeSets->AddSetRow("LOOP", &members);
    EXPECT_EQ(Highlight(1, "LOOP").points, 2);
    EXPECT_EQ(Highlight(1, "1;2000000000").points, 9);
    EXPECT_EQ(Highlight(2, "1;2000000000;1").triangles, 64);
    // The work: the set once, the ranges up to the largest number in use.
    const struct {
        int kind;
        const char* text;
        long steps;
    } walks[] = {{1, "LOOP", 2},
                 {1, "1;2000000000", static_cast<long>(model.nodeLookup.size())},
                 {2, "1;2000000000;1", static_cast<long>(model.elementLookup.size())}};
    for (const auto& w : walks) {
        viz::ItemWalk walk(model, w.kind, [](int, int) {});
        walk.Text(w.text);
        EXPECT_LE(walk.Steps(), w.steps) << w.text;
    }
}

// ---- Selection names ---------------------------------------------------------

class PickTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(canvas.Ok());
        ASSERT_TRUE(viztest::LoadFixture(model, "default_slab_q8.slb"));
        ASSERT_EQ(model.GetNodeCount(), 96);
        ASSERT_EQ(model.GetElementCount(), 25);
        canvas.FitModel(model);
    }

    std::vector<unsigned> PickAt(double y, double z, const DisplayOptions& o) {
        double wx, wy;
        canvas.ToWindow(y, z, wx, wy);
        return canvas.Select(wx, wy, 3.0, [&] { viz::DrawScene(model, o); });
    }

    Canvas canvas{400, 400};
    ModelData model;
};

TEST_F(PickTest, CentrePixelWithSolidFacesNamesTheMiddleElement) {
    DisplayOptions o;
    o.pickKind = 2;
    const std::vector<unsigned> names = canvas.Select(200, 200, 1.0, [&] { viz::DrawScene(model, o); });
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(names[0], 13u);
    o.solidFaces = 0;
    EXPECT_TRUE(canvas.Select(200, 200, 1.0, [&] { viz::DrawScene(model, o); }).empty());
}

TEST_F(PickTest, SideNamesAreFourTimesTheElementPlusTheSide) {
    DisplayOptions o;
    o.pickKind = 3;
    // The side between elements 13 and 14 (y = 0.6) is carried by 13 as its
    // side xi = +1.
    const std::vector<unsigned> names = PickAt(0.6, 0.5, o);
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(names[0], 4u * 13 + 2);
}

TEST_F(PickTest, NodesAreNamedOnlyWhenShownAsPoints) {
    const int node = model.NodeAtPoint(0.4, 0.6);
    ASSERT_GT(node, 0);
    for (int display : {0, 1, 2, 3}) {
        DisplayOptions o;
        o.pickKind = 1;
        o.nodeDisplay = display;
        const std::vector<unsigned> names = PickAt(0.4, 0.6, o);
        if (display == 1 || display == 3) {
            ASSERT_EQ(names.size(), 1u) << display;
            EXPECT_EQ(names[0], unsigned(node));
        } else {
            EXPECT_TRUE(names.empty()) << display;
        }
    }
}

TEST_F(PickTest, UnderAContourFillNoElementIsNamed) {
    DisplayOptions o;
    o.pickKind = 2;
    o.contourColumn = 1;
    for (int style : {0, 2}) {
        o.contourStyle = style;
        EXPECT_TRUE(canvas.Select(200, 200, 1.0, [&] { viz::DrawScene(model, o); }).empty()) << style;
    }
    o.contourStyle = 1;
    EXPECT_EQ(canvas.Select(200, 200, 1.0, [&] { viz::DrawScene(model, o); }).size(), 1u);
}

}  // namespace
