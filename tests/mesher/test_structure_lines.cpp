// Structure elements in the mesh file through the command-line tool: own
// lines with shared structure nodes and middle nodes, lines along element
// sides of a slit seam, and the file layout of the three sections.
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "MeshTestSupport.h"

using namespace meshtest;

namespace {

// A mapped 10 x 10 square of 4 x 4 cells (points 1 to 4).
GeometrySpec squareWithBeams(const std::vector<StructSpec>& beams, int flag = 34) {
    GeometrySpec g;
    g.interfaceFlag = flag;
    const int codes[4] = {-1, -1, -1, -1};
    g.regions.push_back(rectangleRegion(g, 0, 0, 10, 10, 4, 4, codes));
    g.points.emplace_back(2, 2);  // 5
    g.points.emplace_back(6, 4);  // 6
    g.points.emplace_back(8, 9);  // 7
    g.structs = beams;
    return g;
}

StructSpec beam(int id, int kind, int from, int to, int nodes, int v4 = 0, int v5 = 0) {
    StructSpec s;
    s.id = id;
    s.kind = kind;
    s.v4 = v4;
    s.v5 = v5;
    s.seg.lim1 = 1;
    s.seg.lim2 = nodes;
    s.seg.p1 = from;
    s.seg.p2 = to;
    return s;
}

// Two mapped squares side by side whose shared side x = 10 is a slit
// (-8 on the left square, -9 on the right), with eight-node elements for
// flag 68.
GeometrySpec slitSeamWithBeams(int flag, const std::vector<StructSpec>& beams) {
    GeometrySpec g;
    g.interfaceFlag = flag;
    const int left[4] = {-1, -8, -1, -1};
    const int right[4] = {-9, -1, -1, -1};
    g.regions.push_back(rectangleRegion(g, 0, 0, 10, 10, 4, 4, left, 11, 101));
    g.regions.push_back(rectangleRegion(g, 10, 0, 10, 10, 4, 4, right, 11, 102));
    g.structs = beams;
    return g;
}

}  // namespace

TEST(StructureLines, OwnLinesShareEndNodesAndGainMiddleNodes) {
    // Beam 1: 5 -> 6 in two lines; beam 2: 6 -> 7 in one line.
    const ToolRun run =
        runTool("own-lines", geometryText(squareWithBeams({beam(1, 1, 5, 6, 3, 4, 11), beam(2, 1, 6, 7, 2, 5, 12)})));
    ASSERT_EQ(run.status, 0) << run.log;
    EXPECT_EQ(unexpectedLogLines(run.log), std::vector<std::string>{}) << run.log;
    const int n = static_cast<int>(run.mesh.xy.size());
    ASSERT_EQ(n, 25);
    // Four end nodes (the shared point once), then three middle nodes.
    ASSERT_EQ(run.mesh.structIds, (std::vector<int>{n + 1, n + 2, n + 3, n + 4, n + 5, n + 6, n + 7}));
    EXPECT_EQ(run.mesh.structXY[2], std::make_pair(6.0, 4.0));
    EXPECT_EQ(run.mesh.structXY[4], std::make_pair(3.0, 2.5));
    ASSERT_EQ(run.mesh.lines.size(), 3u);
    // Number, kind, fourth value, fifth value, first, middle, second node.
    EXPECT_EQ(run.mesh.lines[0].w, (std::array<int, 7>{1, 1, 4, 11, n + 1, n + 5, n + 2}));
    EXPECT_EQ(run.mesh.lines[1].w, (std::array<int, 7>{2, 1, 4, 11, n + 2, n + 6, n + 3}));
    EXPECT_EQ(run.mesh.lines[2].w, (std::array<int, 7>{3, 1, 5, 12, n + 3, n + 7, n + 4}));
    EXPECT_TRUE(run.mesh.third.empty());
}

TEST(StructureLines, SideLinesFollowTheSlitSeamOrTheMeshSides) {
    struct Case {
        const char* name;
        GeometrySpec geometry;
        std::size_t lines;
        bool middleNodes;
    };
    // The slit runs from point 2 (10, 0) to point 3 (10, 10).
    const Case cases[] = {
        {"seam, linear", slitSeamWithBeams(34, {beam(1, 2, 2, 3, 5, 3, 7)}), 4, false},
        {"seam, quadratic", slitSeamWithBeams(68, {beam(1, 2, 2, 3, 5, 3, 7)}), 4, true},
        // A second kind 2 beam whose value names no interface side adds
        // nothing, not even along the mesh sides it runs on.
        {"seam and another value", slitSeamWithBeams(68, {beam(1, 2, 2, 3, 5, 3, 7), beam(2, 2, 1, 4, 5, 3, 9)}), 4,
         true},
        {"along mesh sides", squareWithBeams({beam(1, 2, 1, 2, 5, 3, 7)}, 68), 4, true},
    };
    for (const Case& c : cases) {
        const ToolRun run = runTool("side-lines", geometryText(c.geometry));
        ASSERT_EQ(run.status, 0) << c.name << "\n" << run.log;
        EXPECT_EQ(unexpectedLogLines(run.log), std::vector<std::string>{}) << c.name << "\n" << run.log;
        EXPECT_TRUE(run.mesh.structIds.empty()) << c.name;
        ASSERT_EQ(run.mesh.third.size(), c.lines) << c.name;
        for (std::size_t k = 0; k < c.lines; ++k) {
            const auto& w = run.mesh.third[k].w;
            EXPECT_EQ(w[0], static_cast<int>(k) + 1) << c.name;
            EXPECT_EQ(w[1], 2) << c.name;
            EXPECT_EQ(w[2], 3) << c.name;
            EXPECT_EQ(w[3], 7) << c.name;
            // Both ends on the line, the middle node halfway or absent.
            const auto& a = run.mesh.xy[w[4] - 1];
            const auto& b = run.mesh.xy[w[6] - 1];
            const bool onSeam = c.name[0] == 's';
            EXPECT_DOUBLE_EQ(onSeam ? a.first : a.second, onSeam ? 10.0 : 0.0) << c.name;
            EXPECT_DOUBLE_EQ(onSeam ? b.first : b.second, onSeam ? 10.0 : 0.0) << c.name;
            if (!c.middleNodes) {
                EXPECT_EQ(w[5], 0) << c.name;
                continue;
            }
            ASSERT_GE(w[5], 1) << c.name;
            const auto& m = run.mesh.xy[w[5] - 1];
            EXPECT_NEAR(m.first, 0.5 * (a.first + b.first), 1e-12) << c.name;
            EXPECT_NEAR(m.second, 0.5 * (a.second + b.second), 1e-12) << c.name;
        }
    }
}

TEST(StructureLines, FileLayoutInBothForms) {
    GeometrySpec g = squareWithBeams({beam(1, 1, 5, 6, 3, 4, 11)});
    const ToolRun text = runTool("layout-text", geometryText(g));
    ASSERT_EQ(text.status, 0) << text.log;
    // After the side lines: "nA  nB", the nodes, the lines, then the third
    // list's count.
    const std::string& file = text.meshBytes;
    const std::size_t at = file.find("\n5  2\n");
    ASSERT_NE(at, std::string::npos) << file;
    EXPECT_NE(file.find("\n26  2  2\n", at), std::string::npos) << file;
    EXPECT_NE(file.find("\n1  1  4  11  26  29  27\n", at), std::string::npos) << file;
    EXPECT_EQ(file.substr(file.size() - 4), " 0 \n");

    g.outputFormat = 0;
    const ToolRun binary = runTool("layout-binary", geometryText(g));
    ASSERT_EQ(binary.status, 0) << binary.log;
    const std::size_t nN = 25, nE = 16, npe = 4, nA = 5, nB = 2, nC = 0;
    EXPECT_EQ(binary.meshBytes.size(), 24 + 20 * nN + (4 + npe) * 4 * nE + 24 * nE + 20 * nA + 28 * nB + 28 * nC);
    EXPECT_EQ(binary.mesh.lines.size(), 2u);
}

TEST(StructureLines, BeamNamingAMissingPointEndsTheRun) {
    const ToolRun run = runTool("missing-point", geometryText(squareWithBeams({beam(1, 1, 5, 99, 3)})));
    EXPECT_EQ(run.status, 1);
    EXPECT_FALSE(run.meshWritten);
    EXPECT_NE(run.log.find("Not a valid geometry definition"), std::string::npos) << run.log;
}

TEST(StructureLines, MiddleNodesOfABeamOnAnEllipticArc) {
    GeometrySpec g = squareWithBeams({});
    ArcSpec arc;
    arc.cx = 5;
    arc.cy = 5;
    arc.rx = 3;
    arc.ry = 2;
    arc.start = 0;
    arc.sweep = 90;
    arc.n = 3;
    g.arcs.push_back(arc);
    StructSpec s = beam(1, 1, 1, 3, 3);
    s.seg.e1 = s.seg.e2 = 2;
    g.structs.push_back(s);
    const ToolRun run = runTool("arc-beam", geometryText(g));
    ASSERT_EQ(run.status, 0) << run.log;
    // Three nodes of the beam from (8, 5) to (5, 7), then the two middle
    // nodes, which lie on the ellipse (both radii).
    ASSERT_EQ(run.mesh.structXY.size(), 5u);
    EXPECT_EQ(run.mesh.structXY[0], std::make_pair(8.0, 5.0));
    EXPECT_EQ(run.mesh.structXY[2], std::make_pair(5.0, 7.0));
    for (std::size_t k = 3; k < 5; ++k) {
        const double u = (run.mesh.structXY[k].first - 5) / 3, v = (run.mesh.structXY[k].second - 5) / 2;
        EXPECT_NEAR(u * u + v * v, 1.0, 1e-7) << k;
    }
    ASSERT_EQ(run.mesh.lines.size(), 2u);
    EXPECT_EQ(run.mesh.lines[0].w[5], 25 + 4);
}
