// Free quadrilateral regions meshed through the command-line tool: the
// octagon keeps its boundary nodes and area in four- and eight-node form,
// graded sides come back exactly, and boundaries that cannot be halved or
// meshed end the run.
#include <cmath>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "MeshTestSupport.h"

using namespace meshtest;

namespace {

std::string octagonText(bool quadrilaterals, const std::string& flag = "34", bool graded = false) {
    std::string text = readFile(fs::path(BRENNIX_TEST_DATA) / "mesher/octagon-free-tri.i");
    auto replace = [&](const std::string& from, const std::string& to) {
        const std::size_t at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        if (at != std::string::npos) text.replace(at, from.size(), to);
    };
    if (quadrilaterals) {
        replace("    -21  8", "    -31  8");
        replace("34    0", "34    1");
    }
    replace("34    ", flag + "    ");
    if (graded) replace("1  5      0      1   1 1  1 2", "1  5      0.3      1   1 1  1 2");
    return text;
}

// Nodes on the sides that carry a boundary code.
std::vector<std::pair<double, double>> boundaryNodes(const FemMesh& mesh) {
    std::set<int> ids;
    for (std::size_t e = 0; e < mesh.elements.size(); ++e) {
        const FemElement& el = mesh.elements[e];
        const int corners = el.npe == 3 || el.npe == 6 ? 3 : 4;
        for (int k = 0; k < corners; ++k)
            if (mesh.sides[e][2 + k] < 0) {
                ids.insert(el.nodes[k]);
                ids.insert(el.nodes[(k + 1) % corners]);
            }
    }
    std::vector<std::pair<double, double>> xy;
    for (int id : ids) xy.push_back(mesh.xy[id - 1]);
    return xy;
}

int missingFrom(const FemMesh& mesh, const std::vector<std::pair<double, double>>& wanted, double tolerance) {
    int missing = 0;
    for (const auto& [x, y] : wanted) {
        bool found = false;
        for (const auto& [px, py] : mesh.xy) found = found || std::hypot(px - x, py - y) < tolerance;
        if (!found) ++missing;
    }
    return missing;
}

}  // namespace

TEST(FreeQuadrilaterals, OctagonKeepsItsBoundaryNodesAndArea) {
    const ToolRun triangles = runTool("octagon-tri", octagonText(false));
    const ToolRun run = runTool("octagon-quad", octagonText(true));
    ASSERT_EQ(run.status, 0) << run.log;
    EXPECT_EQ(unexpectedLogLines(run.log), std::vector<std::string>{}) << run.log;
    const FemMesh& mesh = run.mesh;
    ASSERT_TRUE(mesh.ok) << mesh.problem;
    EXPECT_EQ(mesh.npe, 4);
    ValidationOptions options;
    options.expectedArea = 282.84271247445;
    EXPECT_EQ(validateMesh(mesh, options), std::vector<std::string>{});
    const int nN = static_cast<int>(mesh.xy.size()), nE = static_cast<int>(mesh.elements.size());
    EXPECT_EQ(nN - nE, 17);  // quadrilaterals only, 32 boundary sides
    EXPECT_EQ(sidesCoded(mesh, -2), 32);
    // The triangle mesh keeps the 32 input boundary nodes; so must this one.
    const std::vector<std::pair<double, double>> inputBoundary = boundaryNodes(triangles.mesh);
    ASSERT_EQ(inputBoundary.size(), 32u);
    EXPECT_EQ(missingFrom(mesh, inputBoundary, 1e-12), 0);
}

TEST(FreeQuadrilaterals, OctagonWithMidsideNodes) {
    const ToolRun corners = runTool("octagon-q4", octagonText(true));
    const ToolRun run = runTool("octagon-q8", octagonText(true, "68"));
    ASSERT_EQ(run.status, 0) << run.log;
    ASSERT_TRUE(run.mesh.ok) << run.mesh.problem;
    EXPECT_EQ(run.mesh.npe, 8);
    const std::size_t nN = corners.mesh.xy.size(), nE = corners.mesh.elements.size();
    EXPECT_EQ(run.mesh.elements.size(), nE);
    EXPECT_EQ(run.mesh.xy.size(), nN + 2 * nE + 16);  // one mid-side node per edge
    EXPECT_EQ(validateMesh(run.mesh), std::vector<std::string>{});
}

TEST(FreeQuadrilaterals, GradedSideKeepsEveryInputBoundaryNode) {
    const ToolRun triangles = runTool("graded-tri", octagonText(false, "34", true));
    const ToolRun run = runTool("graded-quad", octagonText(true, "34", true));
    ASSERT_EQ(triangles.status, 0) << triangles.log;
    ASSERT_EQ(run.status, 0) << run.log;
    const std::vector<std::pair<double, double>> inputBoundary = boundaryNodes(triangles.mesh);
    ASSERT_EQ(inputBoundary.size(), 32u);
    EXPECT_EQ(missingFrom(run.mesh, inputBoundary, 1e-12), 0);
    EXPECT_EQ(boundaryNodes(run.mesh).size(), 32u);
    ValidationOptions options;
    options.expectedArea = 282.84271247445;
    EXPECT_EQ(validateMesh(run.mesh, options), std::vector<std::string>{});
}

TEST(FreeQuadrilaterals, BoundariesThatCannotBeMeshedEndTheRun) {
    using Polygon = std::vector<std::pair<double, double>>;
    using Edit = std::function<void(GeometrySpec&, RegionSpec&)>;
    struct Case {
        const char* name;
        Polygon corners;
        int divisions;
        Edit edit;
        const char* logPart;
    };
    const Polygon square = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    const Edit none = [](GeometrySpec&, RegionSpec&) {};
    const Case cases[] = {
        {"odd segment total", square, 2, [](GeometrySpec&, RegionSpec& r) { r.sides[0].segs[0].lim2 = 4; },
         "odd number of segments (9)"},
        {"too short to halve",
         {{0, 0}, {10, 0}, {0, 10}},
         2,
         [](GeometrySpec&, RegionSpec& r) { r.sides[0].segs[0].lim2 = 2; },
         "odd number of segments (5)"},
        {"halved into two segments", {{0, 0}, {10, 0}, {0, 10}, {-1, 5}}, 1, none, "the halved boundary:"},
        {"open chain", square, 2,
         [](GeometrySpec& g, RegionSpec& r) {
             g.points.emplace_back(-1, 5);
             r.sides[3].segs[0].p2 = static_cast<int>(g.points.size());
         },
         "not one closed chain"},
        {"clockwise", {{0, 0}, {0, 10}, {10, 10}, {10, 0}}, 2, none, "clockwise"},
        {"crossing", {{0, 0}, {10, 10}, {10, 0}, {0, 10}}, 3, none, "cross or touch"},
        {"self-touching", {{0, 0}, {10, 0}, {10, 10}, {5, 0}, {0, 10}}, 3, none, "cross or touch"},
        {"collinear", {{0, 0}, {5, 0}, {10, 0}}, 2, none, "Error: region 1:"},
        {"boundary above the node limit",
         {{0, 0}, {10, 0}, {10, 10}, {5, 15}, {0, 10}},
         999999,
         none,
         "more than 4000000"},
    };
    for (const Case& c : cases) {
        GeometrySpec g;
        RegionSpec r = polygonRegion(g, c.corners, c.divisions);
        r.scheme = -31;
        c.edit(g, r);
        g.regions.push_back(r);
        const ToolRun run = runTool("refused", geometryText(g));
        EXPECT_EQ(run.status, 1) << c.name << "\n" << run.log;
        EXPECT_FALSE(run.meshWritten) << c.name;
        EXPECT_EQ(run.log.rfind("Error: region 1: ", 0), 0u) << c.name << "\n" << run.log;
        EXPECT_NE(run.log.find(c.logPart), std::string::npos) << c.name << "\n" << run.log;
    }
}

TEST(FreeQuadrilaterals, BesideAMappedRegionTheSeamCloses) {
    GeometrySpec g;
    const int mappedCodes[4] = {2, -2, -2, -2};  // left side shared
    RegionSpec freeSquare = polygonRegion(g, {{0, 0}, {10, 0}, {10, 10}, {0, 10}}, 4);
    freeSquare.scheme = -31;
    freeSquare.sides[1].code = 2;
    RegionSpec mapped = rectangleRegion(g, 10, 0, 10, 10, 4, 4, mappedCodes, 11, 102);
    g.regions = {freeSquare, mapped};
    const ToolRun run = runTool("quad-seam", geometryText(g));
    ASSERT_EQ(run.status, 0) << run.log;
    ValidationOptions options;
    options.expectedArea = 200.0;
    EXPECT_EQ(validateMesh(run.mesh, options), std::vector<std::string>{});
    EXPECT_EQ(sidesCoded(run.mesh, -1), 0);
}
