// Zero-thickness faces in free and mapped regions through the command-line
// tool: a slit (-8/-9) is closed again after meshing, an interface (-6/-7)
// keeps two coinciding rows of nodes.
#include <cmath>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "MeshTestSupport.h"
#include "Tessaro_DLL/free/Interfaces.h"

using namespace meshtest;

namespace {

// A 10 x 10 square with a thin wedge cut from the middle of its left side to
// the centre: face 1 runs from the upper mouth point to the tip, face 2 back
// to the lower mouth point.
GeometrySpec slitSquare(int scheme, int face1, int face2, int divisions = 4, int face2Divisions = -1) {
    GeometrySpec g;
    g.shape = scheme == -21 ? 0 : 1;
    RegionSpec r = polygonRegion(g, {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 5.1}, {5, 5}, {0, 4.9}}, divisions);
    r.scheme = scheme;
    r.sides[4].code = face1;
    r.sides[5].code = face2;
    if (face2Divisions > 0) r.sides[5].segs[0].lim2 = r.sides[5].segs[0].lim1 + face2Divisions;
    g.regions.push_back(r);
    return g;
}

// The same square listed from the corner below the mouth: the second face
// is the last side, so the first side takes the mouth point of the first
// face for its placement.
GeometrySpec slitSquareFacesLast(int scheme, int face1, int face2) {
    GeometrySpec g;
    g.shape = scheme == -21 ? 0 : 1;
    RegionSpec r = polygonRegion(g, {{0, 4.9}, {0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 5.1}, {5, 5}}, 4);
    r.scheme = scheme;
    r.sides[5].code = face1;
    r.sides[6].code = face2;
    g.regions.push_back(r);
    return g;
}

// Pairs of nodes at the same place.
int coincidingPairs(const FemMesh& mesh) {
    int pairs = 0;
    for (std::size_t i = 0; i < mesh.xy.size(); ++i)
        for (std::size_t j = i + 1; j < mesh.xy.size(); ++j)
            if (std::hypot(mesh.xy[i].first - mesh.xy[j].first, mesh.xy[i].second - mesh.xy[j].second) < 1e-8) ++pairs;
    return pairs;
}

ValidationOptions squareArea() {
    ValidationOptions options;
    options.expectedArea = 100.0;
    return options;
}

}  // namespace

// The slit closes again: no node doubled, the elements across it name each
// other and fill the whole square. The interface keeps every node of its
// second face but the tip on its partner, both faces written -6; the slit
// merges exactly the nodes the interface keeps doubled.
static void expectSlitClosedInterfaceOpen(const GeometrySpec& slitGeometry, const GeometrySpec& interfaceGeometry) {
    const ToolRun slit = runTool("slit", geometryText(slitGeometry));
    ASSERT_EQ(slit.status, 0) << slit.log;
    EXPECT_EQ(unexpectedLogLines(slit.log), std::vector<std::string>{}) << slit.log;
    EXPECT_EQ(validateMesh(slit.mesh, squareArea()), std::vector<std::string>{});
    EXPECT_EQ(coincidingPairs(slit.mesh), 0);

    const ToolRun open = runTool("interface", geometryText(interfaceGeometry));
    ASSERT_EQ(open.status, 0) << open.log;
    EXPECT_EQ(unexpectedLogLines(open.log), std::vector<std::string>{}) << open.log;
    EXPECT_EQ(validateMesh(open.mesh, squareArea()), std::vector<std::string>{});
    EXPECT_EQ(sidesCoded(open.mesh, -7), 0);
    EXPECT_EQ(sidesCoded(open.mesh, -6), 8);
    EXPECT_EQ(coincidingPairs(open.mesh), 4);
    EXPECT_EQ(slit.mesh.xy.size() + 4, open.mesh.xy.size());
}

TEST(ZeroThicknessFaces, SlitClosesAndInterfaceStaysOpen) {
    for (const int scheme : {-21, -31}) {
        SCOPED_TRACE(scheme);
        expectSlitClosedInterfaceOpen(slitSquare(scheme, -8, -9), slitSquare(scheme, -6, -7));
    }
}

// Faces that cannot be matched end the run: no mesh with an open wedge is
// returned as a success.
TEST(ZeroThicknessFaces, InterfaceFacesOfDifferentNodeCountsAreRefused) {
    const ToolRun run = runTool("unmatched", geometryText(slitSquare(-21, -6, -7, 4, 5)));
    EXPECT_EQ(run.status, 1) << run.log;
    EXPECT_FALSE(run.meshWritten);
    EXPECT_NE(run.log.find("Error: No matched boundary nodes on zero thickness interface"), std::string::npos)
        << run.log;
    EXPECT_NE(run.log.find("Error: error to match recover nodes"), std::string::npos) << run.log;
}

TEST(ZeroThicknessFaces, QuadrilateralInterface) {
    const ToolRun open = runTool("quad-interface", geometryText(slitSquare(-31, -6, -7)));
    ASSERT_EQ(open.status, 0) << open.log;
    EXPECT_EQ(validateMesh(open.mesh, squareArea()), std::vector<std::string>{});
    EXPECT_EQ(sidesCoded(open.mesh, -7), 0);
    EXPECT_EQ(coincidingPairs(open.mesh), 4);
}

// Two mapped 10 x 10 squares of 4 x 4 eight-node elements side by side, the
// shared side coded `left` on the left square and `right` on the right one.
ToolRun mappedPair(int left, int right, bool leftFirst) {
    GeometrySpec g;
    g.interfaceFlag = 68;
    const int codesA[4] = {-1, left, -1, -1};
    const int codesB[4] = {right, -1, -1, -1};
    const RegionSpec a = rectangleRegion(g, 0, 0, 10, 10, 4, 4, codesA, 11, 101);
    const RegionSpec b = rectangleRegion(g, 10, 0, 10, 10, 4, 4, codesB, 11, 102);
    g.regions = leftFirst ? std::vector<RegionSpec>{a, b} : std::vector<RegionSpec>{b, a};
    return runTool("mapped-faces", geometryText(g));
}

TEST(ZeroThicknessFaces, MappedSeams) {
    // 9 x 5 corner nodes and 76 mid-side nodes when the seam is shared.
    const std::size_t shared = 45 + 76;
    for (const bool leftFirst : {true, false}) {
        SCOPED_TRACE(leftFirst);
        ValidationOptions options;
        options.expectedArea = 200.0;
        // A slit closes like an ordinary seam: one node per place, the
        // elements across it neighbours.
        for (const auto& [left, right] : {std::pair{-8, -9}, std::pair{-9, -8}, std::pair{-2, -2}}) {
            const ToolRun run = mappedPair(left, right, leftFirst);
            ASSERT_EQ(run.status, 0) << run.log;
            EXPECT_EQ(validateMesh(run.mesh, options), std::vector<std::string>{}) << left << " " << right;
            EXPECT_EQ(run.mesh.xy.size(), shared) << left << " " << right;
            EXPECT_EQ(coincidingPairs(run.mesh), 0);
        }
        // An interface keeps both faces' nodes, corners and mid-side nodes.
        for (const auto& [left, right] : {std::pair{-6, -7}, std::pair{-7, -6}}) {
            const ToolRun run = mappedPair(left, right, leftFirst);
            ASSERT_EQ(run.status, 0) << run.log;
            EXPECT_EQ(validateMesh(run.mesh, options), std::vector<std::string>{}) << left << " " << right;
            EXPECT_EQ(run.mesh.xy.size(), shared + 9) << left << " " << right;
            EXPECT_EQ(coincidingPairs(run.mesh), 9);
            EXPECT_EQ(sidesCoded(run.mesh, -6), 8);
        }
    }
}

TEST(ZeroThicknessFaces, FacesAtTheEndOfTheSideList) {
    for (const int scheme : {-21, -31}) {
        SCOPED_TRACE(scheme);
        expectSlitClosedInterfaceOpen(slitSquareFacesLast(scheme, -8, -9), slitSquareFacesLast(scheme, -6, -7));
    }
}

TEST(ZeroThicknessFaces, JunctionNodesOnlyWhereTheFirstFaceEnds) {
    const std::vector<tessaro::MeshNode> nodes = {{1, 0, 0, 0}, {2, 1, 0, 0}, {3, 2, 0, 0}};
    struct Case {
        int first, second;
        std::size_t junctions;
    };
    for (const Case c : {Case{-6, -7, 1}, Case{-7, -6, 0}, Case{-8, -9, 2}, Case{-9, -8, 1}, Case{-2, -9, 1}}) {
        const std::vector<tessaro::BoundarySegment> segments = {{1, 1, 2, c.first}, {2, 2, 3, c.second}};
        std::vector<tessaro::MeshNode> junctions;
        tessaro::collectFaceJunctionNodes(junctions, segments, nodes);
        EXPECT_EQ(junctions.size(), c.junctions) << c.first << " " << c.second;
        if (!junctions.empty()) {
            EXPECT_EQ(junctions.front().name, c.second == -9 && c.first == -2 ? 3 : 2);
        }
    }
}

TEST(ZeroThicknessFaces, SecondFaceRunWrappingPastTheListEndPairsAsOneRun) {
    // First face 1 -> 2 -> 3 (tip), second face 3 -> 4 -> 5; the second
    // face's run starts at the last triple and goes on at the first.
    tessaro::RegionRecord region;
    region.nodes = {{1, 0, 1, 0}, {2, 0.5, 1, 0}, {3, 1, 1, 0}, {4, 0.5, 0.9, 0}, {5, 0, 0.9, 0}, {6, 0.5, 0, 0}};
    const int corners[4][3] = {{4, 5, 6}, {1, 2, 6}, {2, 3, 6}, {3, 4, 6}};
    for (int e = 0; e < 4; ++e) {
        tessaro::MeshElement el;
        el.w[0] = e + 1;
        for (int k = 0; k < 3; ++k) el.w[1 + k] = corners[e][k];
        region.elements.push_back(el);
    }
    region.codedSides = {{1, 0, -7}, {2, 0, -6}, {3, 0, -6}, {4, 0, -7}};
    std::ostringstream log;
    ASSERT_TRUE(tessaro::matchRecoveredNodes(region, false, log));
    ASSERT_EQ(region.pendingMoves.size(), 3u);
    const double expected[3][3] = {{3, 1, 1}, {4, 0.5, 1}, {5, 0, 1}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(region.pendingMoves[i].name, expected[i][0]);
        EXPECT_DOUBLE_EQ(region.pendingMoves[i].x, expected[i][1]);
        EXPECT_DOUBLE_EQ(region.pendingMoves[i].y, expected[i][2]);
    }
    EXPECT_EQ(log.str(), "");

    // A second face one node longer than its partner is refused.
    region.codedSides = {{1, 0, -7}, {2, 0, -2}, {3, 0, -6}, {4, 0, -7}};
    EXPECT_FALSE(tessaro::matchRecoveredNodes(region, false, log));
    EXPECT_EQ(log.str(), "Error: error to match recover nodes\n");
}

// A free square whose right side carries `code`.
static ToolRun squareWithCodedSide(int scheme, int code) {
    GeometrySpec g;
    g.shape = scheme == -21 ? 0 : 1;
    RegionSpec r = polygonRegion(g, {{0, 0}, {10, 0}, {10, 10}, {0, 10}}, 2);
    r.scheme = scheme;
    r.sides[1].code = code;
    g.regions.push_back(r);
    return runTool("coded-side", geometryText(g));
}

TEST(ZeroThicknessFaces, FaceWithoutItsPartnerIsRefused) {
    for (const int scheme : {-21, -31}) {
        for (const int code : {-7, -8, -9}) {
            const ToolRun run = squareWithCodedSide(scheme, code);
            EXPECT_EQ(run.status, 1) << scheme << " " << code;
            EXPECT_FALSE(run.meshWritten);
            EXPECT_NE(run.log.find("Error: region 1: side 2 is a face coded " + std::to_string(code) +
                                   " without its partner face"),
                      std::string::npos)
                << run.log;
        }
    }
}

// A -6 face alone in its region (its partner lies in a neighbouring region)
// is an ordinary coded side here.
TEST(ZeroThicknessFaces, LoneFirstInterfaceFace) {
    for (const int scheme : {-21, -31}) {
        const ToolRun run = squareWithCodedSide(scheme, -6);
        ASSERT_EQ(run.status, 0) << scheme << "\n" << run.log;
        EXPECT_EQ(validateMesh(run.mesh, squareArea()), std::vector<std::string>{}) << scheme;
        EXPECT_EQ(sidesCoded(run.mesh, -6), 2) << scheme;
    }
}
