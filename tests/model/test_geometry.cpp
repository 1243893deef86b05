// View support of the model: node lookup and positions, node paths,
// contour range and colour ramp, view window and viewport tests, normals,
// edge-load shapes.

#include <gtest/gtest.h>

#include <cmath>

#include "model/Interpolation.h"
#include "test_solver_input_support.h"

using bridgetest::ReadModelText;
using bridgetest::Scratch;
using bridgetest::WriteAll;

namespace {

// Three nodes numbered 1, 4, 9 along y, one 4-node element, and one result
// step 1 where node row r has displacement x 0.1 (r + 1), y 0.01 and
// column 12 = 10 r.
void ModelWithResults(ModelData& m) {
    const std::string text =
        "V4.1\nNODE_DATA\n*\t1\t0\t0\t0\n*\t4\t0\t3\t0\n*\t9\t0\t3\t4\n*\t10\t0\t0\t4\nEND_NODE_DATA\n"
        "ELEMENT_DATA\n\tLINEAR4\tNORMAL_INTEGRATION\n*\t1\t1\t1\t4\t9\t10\nEND_ELEMENT_DATA\nEND_DATA\n";
    ASSERT_EQ(ReadModelText(m, text), 0);
    std::string sds = "step_data 26";
    for (int c = 0; c < 26; ++c) sds += " c";
    sds += "\nSTEP 1\n";
    for (int r = 0; r < 4; ++r) {
        sds += std::to_string(r + 1);
        for (int c = 0; c < 26; ++c) {
            const double v = c == 0 ? 0.1 * (r + 1) : c == 1 ? 0.01 : c == 12 ? 10.0 * r : 0.0;
            sds += " " + std::to_string(v);
        }
        sds += "\n";
    }
    sds += "END_STEP_DATA\n";
    Scratch dir;
    WriteAll(dir.File("r.sds"), sds);
    ASSERT_EQ(m.ReadResultsFile(dir.File("r.sds")), 0);
}

}  // namespace

TEST(ModelGeometry, NodesPathsAndDeformedPositions) {
    ModelData m;
    ModelWithResults(m);
    EXPECT_EQ(m.NodeAtPoint(3, 4), 9);
    EXPECT_EQ(m.NodeAtPoint(3, 4 + 1e-9), -1);
    ModelData empty;
    EXPECT_EQ(empty.NodeAtPoint(0, 0), -1);

    std::vector<double> d;
    m.NodePathDistances(d, {1, 4, 9});
    EXPECT_EQ(d, (std::vector<double>{0, 3, 5}));
    m.NodePathDistances(d, {1, 5, 9});  // 5 names no node
    EXPECT_TRUE(d.empty());

    std::vector<double> v;
    m.NodePathValues(v, {9, 4, 5, 1}, 12);
    EXPECT_EQ(v, (std::vector<double>{20, 10, 0, 0}));  // by node row, absent nodes 0

    double x, y, z;
    m.deformationFactor = 2.0;
    m.NodePosition(x, y, z, 2, 1, 1);
    EXPECT_DOUBLE_EQ(x, -0.6);  // x displacement drawn negated
    EXPECT_DOUBLE_EQ(y, 3.02);
    EXPECT_DOUBLE_EQ(z, 4.0);
    m.NodePosition(x, y, z, 2, 0, 1);
    EXPECT_EQ(x, 0.0);
    EXPECT_EQ(y, 3.0);

    // A deformed element point and the half-thickness offset.
    m.ElementPointAtLocal(x, y, z, 1, 1, 0, -1.0, -1.0, 0, 0.0);
    EXPECT_DOUBLE_EQ(x, -0.2);
    double nx[9], ny[9], nz[9], dx[9], dy[9], dz[9], rx[9], ry[9], rz[9];
    m.GetElementNodeCoords(nx, ny, nz, dx, dy, dz, rx, ry, rz, 0, 1, 1);
    EXPECT_EQ(ny[2], 3.0);
    EXPECT_DOUBLE_EQ(dx[3], -0.4);
    EXPECT_DOUBLE_EQ(dy[3], 0.01);

    // Contour range of a column at a step, both copies.
    m.SetContourRange(1, 13);
    EXPECT_EQ(m.contourMax, 30.0);
    EXPECT_EQ(m.contourMin, 0.0);
    EXPECT_EQ(m.contourIncrement, 3.0);
    EXPECT_EQ(m.autoContourMax, 30.0);
    EXPECT_EQ(m.contourLevels, 10);
    m.SetContourRange(-1, 0);
    EXPECT_EQ(m.contourMax, 0.0);
    EXPECT_EQ(m.autoContourIncrement, 0.0);
}

TEST(ModelGeometry, ColorRampStops) {
    struct Case {
        double value, max, min;
        RampColor color;
    };
    const Case cases[] = {
        {5, 1, 1, {0, 0, 128}},                                // degenerate range
        {-3, 18, 0, {0, 0, 160}},                              // below the minimum
        {0, 18, 0, {0, 0, 160}},    {1, 18, 0, {0, 0, 255}},   // min + range / 18
        {6, 18, 0, {0, 255, 255}},                             // min + range / 3
        {9, 18, 0, {63, 255, 63}},                             // middle
        {12, 18, 0, {255, 255, 0}},                            // max - range / 3
        {17, 18, 0, {255, 0, 0}},                              // max - range / 18
        {18, 18, 0, {160, 0, 0}},   {40, 18, 0, {160, 0, 0}},  // above the maximum
    };
    for (const Case& c : cases) {
        const RampColor got = ColorRamp(c.value, c.max, c.min);
        EXPECT_EQ(got, c.color) << c.value << ": " << int(got.r) << " " << int(got.g) << " " << int(got.b);
    }
}

TEST(ModelGeometry, ViewWindowAndViewport) {
    ModelData m;
    m.redrawFlag = 1;
    m.windowXMin = -2;
    m.windowXMax = 6;
    m.windowYMin = 0;
    m.windowYMax = 4;
    m.homeXMin = -1;
    m.homeXMax = 1;
    m.homeYMin = -1;
    m.homeYMax = 1;
    m.viewportLeft = 0;
    m.viewportRight = 800;
    m.viewportTop = 0;
    m.viewportBottom = 400;
    m.viewScale = 5;

    m.SetViewTransform(1, 2, 0);
    EXPECT_EQ(m.viewScale, 2.0);
    EXPECT_EQ(m.windowXMin, 0.0);
    EXPECT_EQ(m.windowXMax, 4.0);
    EXPECT_EQ(m.windowYMin, 1.0);
    EXPECT_EQ(m.windowYMax, 3.0);
    EXPECT_EQ(m.pixelsPerUnitX, 200.0);
    EXPECT_EQ(m.pixelsPerUnitY, -200.0);

    m.SetViewTransform(5, 0.5, 0.25);
    EXPECT_EQ(m.windowXMin, -2.0);
    EXPECT_EQ(m.windowYMin, 1.5);
    m.SetViewTransform(2, 3, 0);
    EXPECT_EQ(m.deformationFactor, 3.0);
    m.SetViewTransform(1, 0, 0);  // no window for a scale of 0
    EXPECT_EQ(m.windowXMin, -2.0);
    m.SetViewTransform(0, 0, 0);
    EXPECT_EQ(m.windowXMax, 1.0);
    EXPECT_EQ(m.viewScale, 1.0);
    EXPECT_EQ(m.deformationFactor, 1.0);
    m.redrawFlag = 0;
    m.SetViewTransform(1, 4, 0);
    EXPECT_EQ(m.viewScale, 1.0);

    EXPECT_TRUE(m.IsPointInViewport(-1.5, 401.5));
    EXPECT_FALSE(m.IsPointInViewport(-2, 10));
    EXPECT_EQ(m.ClipToViewport(5, 5, 5, 5), 0.5);
    EXPECT_DOUBLE_EQ(m.ClipToViewport(-12, 10, 8, 10), 0.5);      // meets left - 2
    EXPECT_DOUBLE_EQ(m.ClipToViewport(100, 300, 100, 504), 0.5);  // meets bottom + 2
}

TEST(ModelGeometry, NormalsMarksAndEdgeLoadShapes) {
    const float x[3] = {0, 2, 0}, y[3] = {0, 0, 3}, z[3] = {0, 0, 0};
    float n[3];
    ComputeFaceNormal(x, y, z, n);
    EXPECT_EQ(n[2], 1.0f);
    const float same[3] = {1, 1, 1};
    ComputeFaceNormal(same, same, same, n);
    EXPECT_EQ(n[0], 0.0f);

    std::vector<int> list;
    std::vector<unsigned char> marks;
    EXPECT_FALSE(TableLookupIndex(7, list, marks));
    EXPECT_TRUE(TableLookupIndex(7, list, marks));
    EXPECT_FALSE(TableLookupIndex(2, list, marks));
    EXPECT_EQ(list, (std::vector<int>{7, 2}));

    ModelData m;
    const std::string text =
        "V4.1\nNODE_DATA\n*\t1\t0\t0\t0\nEND_NODE_DATA\n"
        "ELEMENT_DATA\n\tQUAD8\tNORMAL_INTEGRATION\n*\t1\t1\t1\t1\t1\t1\t1\t1\t1\t1\nEND_ELEMENT_DATA\nEND_DATA\n";
    ASSERT_EQ(ReadModelText(m, text), 0);
    double w[8];
    m.EdgeLoadShape(w, 2, -4, 1, 0, 4, 1);
    EXPECT_EQ(std::vector<double>(w, w + 8), (std::vector<double>{-1, 0, 0, 0.5, 0, 0, 0, 0.25}));
    m.EdgeLoadShape(w, 2, -4, 1, 0, 4, 5);
    EXPECT_EQ(std::vector<double>(w, w + 8), (std::vector<double>{1, 0, 0, 0.5, 0, 0, 0, 0.25}));
    m.EdgeLoadShape(w, 0, 0, 0, 0, 2, 1);
    EXPECT_EQ(std::vector<double>(w, w + 8), std::vector<double>(8, 0.0));
}
