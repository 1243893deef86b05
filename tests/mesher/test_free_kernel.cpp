// The free mesher's kernel on small hand-made cases: insertion, merging,
// circumcircles, refinement, node adjacency clean-up and boundary recovery.
#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "MeshTestSupport.h"
#include "Tessaro_DLL/free/Adjacency.h"
#include "Tessaro_DLL/free/Delaunay.h"
#include "Tessaro_DLL/free/Recovery.h"
#include "Tessaro_DLL/free/Refine.h"

using namespace tessaro;
namespace fs = std::filesystem;

namespace {

MeshNode node(int name, double x, double y) { return MeshNode{name, x, y, 0.0}; }

// A closed chain of segments 1 -> 2 -> ... -> n -> 1.
std::vector<BoundarySegment> closedChain(int n, int code = -2) {
    std::vector<BoundarySegment> segments;
    for (int k = 1; k <= n; ++k) segments.push_back(BoundarySegment{k, k, k % n + 1, code});
    return segments;
}

// A triangulation made by hand: the frame nodes, then the given nodes, and
// triangles with neighbours found by their shared sides.
Triangulation handMade(const std::vector<MeshNode>& nodes, const std::vector<std::array<int, 3>>& corners) {
    Triangulation tri;
    tri.nodes = {node(-1, -1.0, -1.0), node(-2, 2.01, -1.02), node(-3, 2.03, 2.01), node(-4, -1.04, 2.0)};
    tri.nodes.insert(tri.nodes.end(), nodes.begin(), nodes.end());
    std::ostringstream log;
    for (std::size_t t = 0; t < corners.size(); ++t) {
        DelaunayTriangle d;
        d.name = static_cast<int>(t) + 1;
        d.corners = corners[t];
        computeCircumcircle(d, tri.nodeAt(d.corners[0]), tri.nodeAt(d.corners[1]), tri.nodeAt(d.corners[2]), log);
        tri.triangles.push_back(d);
        ElementNeighbours nb;
        nb.n[0] = d.name;
        tri.neighbours.push_back(nb);
    }
    for (std::size_t t = 0; t < corners.size(); ++t)
        for (int j = 0; j < 3; ++j) {
            int found = -1;
            for (std::size_t u = 0; u < corners.size(); ++u)
                if (u != t && sideWithCorners(tri.triangles[u], corners[t][(j + 1) % 3], corners[t][j]) >= 0)
                    found = static_cast<int>(u) + 1;
            tri.neighbours[t].n[1 + j] = found;
        }
    return tri;
}

// The Delaunay pipeline of one region up to refinement, on a boundary
// already in the unit square.
struct Refined {
    Triangulation tri;
    std::vector<int> deleted;
    std::vector<MeshNode> boundary;
    std::vector<BoundarySegment> segments;
    std::string log;
};

Refined refinePolygon(const std::vector<MeshNode>& boundary) {
    Refined r;
    r.boundary = boundary;
    r.segments = closedChain(static_cast<int>(boundary.size()));
    std::ostringstream log;
    double ox = 0, oy = 0, s = 0;
    EXPECT_TRUE(initTriangulation(r.boundary, r.segments, r.tri, ox, oy, s, log));
    for (std::size_t i = 0; i < r.boundary.size(); ++i)
        insertDelaunayPoint(static_cast<int>(i), r.tri, nullptr, 0, log, r.boundary[i].x, r.boundary[i].y);
    recoverLostBoundary(r.tri, r.boundary, r.segments, log);
    EXPECT_TRUE(boundaryEdgesPresent(r.segments, r.tri.triangles));
    std::vector<int> removed;
    EXPECT_TRUE(removeOuterTriangles(r.segments, r.tri.triangles, r.tri.neighbours, r.deleted, removed, log));
    RefinementQueue queue;
    EXPECT_TRUE(refineTriangulation(r.boundary, r.segments, r.tri, r.deleted, queue, 4000000, log));
    r.deleted.resize(r.tri.triangles.size(), 0);
    r.log = log.str();
    return r;
}

std::set<std::array<int, 3>> cornerSets(const std::vector<DelaunayTriangle>& triangles) {
    std::set<std::array<int, 3>> sets;
    for (const DelaunayTriangle& t : triangles) {
        std::array<int, 3> c = t.corners;
        std::sort(c.begin(), c.end());
        sets.insert(c);
    }
    return sets;
}

}  // namespace

TEST(FreeKernel, FirstNodeSplitsBothStartingTriangles) {
    std::vector<MeshNode> boundary = {node(1, 0, 0), node(2, 1, 0), node(3, 0, 1)};
    std::vector<BoundarySegment> segments = closedChain(3);
    Triangulation tri;
    std::ostringstream log;
    double ox = 0, oy = 0, s = 0;
    ASSERT_TRUE(initTriangulation(boundary, segments, tri, ox, oy, s, log));
    ASSERT_TRUE(insertDelaunayPoint(0, tri, nullptr, 0, log, 0.0, 0.0));
    ASSERT_EQ(tri.triangles.size(), 4u);
    for (int slot = 0; slot < 4; ++slot) {
        EXPECT_EQ(tri.triangles[slot].name, slot + 1);
        EXPECT_EQ(tri.neighbours[slot].n[0], slot + 1);
    }
    // Every triangle has the new node and two of them reuse slots 1 and 2.
    for (const DelaunayTriangle& t : tri.triangles) EXPECT_EQ(t.corners[2], 1);
    EXPECT_EQ(log.str(), "");
}

TEST(FreeKernel, MergingFollowsTheBoundarysExtent) {
    // Nodes closer than 1e-9 of the extent (1.0000000005 here) are one node;
    // 2e-9 apart they stay two, at any scale of the boundary.
    for (const double scale : {1e-3, 1.0, 1e3}) {
        std::vector<MeshNode> nodes = {node(1, 0, 0), node(2, 2e-9 * scale, 0), node(3, scale, 0),
                                       node(4, (1 + 5e-10) * scale, 0), node(5, 2e-10 * scale, 1e-10 * scale)};
        std::vector<BoundarySegment> segments = {
            {1, 1, 2, -2}, {2, 2, 3, -2}, {3, 3, 4, -2}, {4, 4, 5, -2}, {5, 5, 1, -2}};
        mergeCoincidentNodes(nodes, segments);
        ASSERT_EQ(nodes.size(), 3u) << scale;
        EXPECT_EQ(nodes[1].x, 2e-9 * scale);
        EXPECT_EQ(nodes[2].x, scale);
        const std::vector<std::pair<int, int>> ends = {{1, 2}, {2, 3}, {3, 3}, {3, 1}, {1, 1}};
        for (std::size_t k = 0; k < ends.size(); ++k) {
            EXPECT_EQ(segments[k].start, ends[k].first) << scale << ", segment " << k;
            EXPECT_EQ(segments[k].end, ends[k].second) << scale << ", segment " << k;
        }
    }
}

TEST(FreeKernel, PointOnACircumcircleJoinsOnlyTheSearchWithoutStart) {
    // Triangle (1, 2, 3) has its circumcircle through (0.5, 0.5): centre
    // (0.25, 0.25), squared radius 0.125.
    for (bool fromStart : {false, true}) {
        std::vector<MeshNode> boundary = {node(1, 0, 0), node(2, 0.5, 0), node(3, 0, 0.5), node(4, 1, 1)};
        std::vector<BoundarySegment> segments = closedChain(4);
        Triangulation tri;
        std::ostringstream log;
        double ox = 0, oy = 0, s = 0;
        ASSERT_TRUE(initTriangulation(boundary, segments, tri, ox, oy, s, log));
        for (int i = 0; i < 3; ++i) insertDelaunayPoint(i, tri, nullptr, 0, log, boundary[i].x, boundary[i].y);
        ASSERT_TRUE(cornerSets(tri.triangles).count({1, 2, 3}));
        const double px = 0.5, py = 0.5;
        if (fromStart) {
            const int holder = locatePointInTriangles(0, tri, log, px, py);
            ASSERT_GE(holder, 0);
            tri.nodes.push_back(node(4, px, py));
            ASSERT_TRUE(insertDelaunayPoint(3, tri, nullptr, holder + 1, log, px, py));
        } else {
            ASSERT_TRUE(insertDelaunayPoint(3, tri, nullptr, 0, log, px, py));
        }
        EXPECT_EQ(cornerSets(tri.triangles).count({1, 2, 3}) == 1, fromStart) << "from start " << fromStart;
    }
}

TEST(FreeKernel, ClockwiseTriangleFailsWithNegativeDeterminant) {
    DelaunayTriangle t;
    t.cx = 7.0;
    std::ostringstream log;
    EXPECT_FALSE(computeCircumcircle(t, node(1, 0, 0), node(2, 0, 1), node(3, 1, 0), log));
    EXPECT_EQ(log.str(),
              "\nError: triangle area is negative or almost zero. Det= -4\n"
              "nd1=1  nd2= 2   nd3= 3\n Process is terminated\n\n");
    EXPECT_EQ(t.cx, 7.0);
}

TEST(FreeKernel, CircumcentreStrictlyInsideADiametralCircleEncroaches) {
    Triangulation tri = handMade({node(1, 0, 0), node(2, 0.5, 0), node(3, 0.25, 0.6)}, {{1, 2, 3}});
    const std::vector<BoundarySegment> segments = {{1, 1, 2, -2}};
    const SegmentLookup lookup(segments);
    // Segment 1 -> 2: midpoint (0.25, 0), radius 0.25.
    EXPECT_TRUE(encroachesBoundarySegment(0, tri, lookup, 0.25, 0.2));
    EXPECT_FALSE(encroachesBoundarySegment(0, tri, lookup, 0.25, 0.25));
    EXPECT_FALSE(encroachesBoundarySegment(-1, tri, lookup, 0.25, 0.1));
}

TEST(FreeKernel, RefinementLeavesNoNodeInsideANeighboursCircle) {
    const double r = 0.5;
    std::vector<MeshNode> boundary;
    for (int k = 0; k < 16; ++k) {
        const double a = 2 * M_PI * k / 16;
        boundary.push_back(node(k + 1, r + r * std::cos(a), r + r * std::sin(a)));
    }
    const Refined refined = refinePolygon(boundary);
    const Triangulation& tri = refined.tri;
    ASSERT_GT(tri.nodes.size(), boundary.size() + 4);  // interior nodes were added
    const SegmentLookup lookup(refined.segments);
    int checked = 0;
    for (std::size_t t = 0; t < tri.triangles.size(); ++t) {
        if (refined.deleted[t]) continue;
        for (int j = 0; j < 3; ++j) {
            const int u = tri.neighbours[t].n[1 + j];
            if (u <= 0) continue;
            const DelaunayTriangle& tt = tri.triangles[t];
            const int p = tt.corners[j], q = tt.corners[(j + 1) % 3];
            if (lookup.firstFromTo(p, q) >= 0 || lookup.firstFromTo(q, p) >= 0) continue;
            int other = 0;
            for (int c : tri.triangles[u - 1].corners)
                if (c != p && c != q) other = c;
            const MeshNode& o = tri.nodeAt(other);
            const double d2 = (o.x - tt.cx) * (o.x - tt.cx) + (o.y - tt.cy) * (o.y - tt.cy);
            EXPECT_GE(d2, tt.r2 * (1 - 1e-9)) << "triangle " << t + 1 << " node " << other;
            ++checked;
        }
    }
    EXPECT_GT(checked, 0);
    EXPECT_NE(refined.log.find(" used heap = "), std::string::npos);
}

TEST(FreeKernel, FreeNodeOfFourTrianglesIsRemoved) {
    struct Case {
        const char* name;
        bool reflexAtB;
        int boundaryCount;
        bool removed;
        std::array<int, 3> first;  // corners of the first remaining triangle, sorted
    };
    const Case cases[] = {
        {"convex: a-c", false, 2, true, {1, 2, 3}},
        {"reflex at b: b-d", true, 2, true, {1, 2, 4}},
        {"three boundary neighbours", false, 3, false, {}},
        {"four boundary neighbours", false, 4, true, {1, 2, 3}},
    };
    for (const Case& c : cases) {
        // Node 5 at the origin, outer nodes a = 1, b = 2, c = 3, d = 4
        // counter-clockwise around it.
        RegionRecord region;
        if (c.reflexAtB)
            region.nodes = {node(1, -1, -1), node(2, 0, -0.5), node(3, 1, -1), node(4, 0, 1), node(5, 0, 0)};
        else
            region.nodes = {node(1, -1, 0), node(2, 0, -1), node(3, 1, 0), node(4, 0, 1), node(5, 0, 0)};
        const std::vector<std::array<int, 3>> corners = {{5, 1, 2}, {5, 2, 3}, {5, 3, 4}, {5, 4, 1}};
        for (std::size_t t = 0; t < corners.size(); ++t) {
            DelaunayTriangle d;
            d.name = static_cast<int>(t) + 1;
            d.corners = corners[t];
            region.triangles.push_back(d);
            ElementNeighbours nb;
            nb.n[0] = d.name;
            nb.n[1] = static_cast<int>((t + 3) % 4) + 1;  // across (5, a): the triangle before
            nb.n[2] = -1;
            nb.n[3] = static_cast<int>((t + 1) % 4) + 1;
            region.neighbours.push_back(nb);
        }
        // Sides: (5, x) is shared with the previous triangle, (y, 5) with the next.
        for (std::size_t t = 0; t < 4; ++t) {
            region.neighbours[t].n[1] = static_cast<int>((t + 3) % 4) + 1;
            region.neighbours[t].n[3] = static_cast<int>((t + 1) % 4) + 1;
        }
        std::ostringstream log;
        ASSERT_TRUE(initNodeAdjacency(region, c.boundaryCount, log)) << c.name;
        ASSERT_TRUE(removeValence4Nodes(region, c.boundaryCount, log)) << c.name;
        EXPECT_EQ(log.str(), "") << c.name;
        if (!c.removed) {
            EXPECT_EQ(region.triangles.size(), 4u) << c.name;
            continue;
        }
        ASSERT_EQ(region.triangles.size(), 2u) << c.name;
        ASSERT_EQ(region.nodes.size(), 4u) << c.name;
        std::array<int, 3> first = region.triangles[0].corners;
        std::sort(first.begin(), first.end());
        EXPECT_EQ(first, c.first) << c.name;
        for (std::size_t t = 0; t < 2; ++t) {
            EXPECT_EQ(region.triangles[t].name, static_cast<int>(t) + 1) << c.name;
            const auto& k = region.triangles[t].corners;
            const MeshNode &p = region.nodes[k[0] - 1], &q = region.nodes[k[1] - 1], &r = region.nodes[k[2] - 1];
            EXPECT_GT((q.x - p.x) * (r.y - p.y) - (r.x - p.x) * (q.y - p.y), 0.0) << c.name;
        }
        const auto& n1 = region.neighbours[0].n;
        const auto& n2 = region.neighbours[1].n;
        EXPECT_EQ(std::count(n1.begin() + 1, n1.begin() + 4, 2), 1) << c.name;  // across the diagonal
        EXPECT_EQ(std::count(n2.begin() + 1, n2.begin() + 4, 1), 1) << c.name;
    }
}

TEST(FreeKernel, SnapshotNumbersFrameNodesAfterTheBoundary) {
    std::vector<MeshNode> nodes;
    for (int k = 1; k <= 10; ++k) nodes.push_back(node(k, 0.1 * k, 0.05 * k * k / 10));
    Triangulation tri = handMade(nodes, {{1, -2, 2}, {3, 4, 5}});
    meshtest::ScratchDir dir("snapshot");
    const fs::path file = dir.path() / "snap.sol";
    writeSnapshotFile(tri, file.string());
    const std::vector<std::string> lines = meshtest::readLines(file);
    ASSERT_EQ(lines.size(), 2u + 14u + 2u);
    EXPECT_EQ(lines[0], "14  2  1 3");
    EXPECT_EQ(lines[1], "x");
    EXPECT_EQ(lines[2], "1  0.1  0.005  0.005");
    EXPECT_EQ(lines[12], "11  -1  -1  -1");
    EXPECT_EQ(lines[13], "12  2.01  -1.02  -1.02");
    EXPECT_EQ(lines[16], "1  1  1  12  2");
    EXPECT_EQ(lines[17], "2  1  3  4  5");
}

TEST(FreeKernel, TwoCrossedTrianglesAtASlitCornerAreRewritten) {
    // Segment a = 1 -> b = 2 is crossed by the side 4-3 of triangles
    // (1, 4, 3) and (2, 3, 4); node 4 ends a segment coded -8.
    Triangulation tri =
        handMade({node(1, 0, 0), node(2, 0.4, 0), node(3, 0.2, 0.2), node(4, 0.2, -0.2)}, {{1, 4, 3}, {2, 3, 4}});
    const std::vector<MeshNode> boundary(tri.nodes.begin() + 4, tri.nodes.end());
    const std::vector<BoundarySegment> segments = {{1, 1, 2, -2}, {2, 2, 4, -8}};
    meshtest::ScratchDir dir("recover-two");
    meshtest::CurrentDir here(dir.path());
    std::ostringstream log;
    EXPECT_TRUE(recoverLostBoundary(tri, boundary, segments, log));
    EXPECT_EQ(log.str(), "");
    EXPECT_EQ(tri.triangles[0].corners, (std::array<int, 3>{1, 4, 2}));
    EXPECT_EQ(tri.triangles[1].corners, (std::array<int, 3>{3, 1, 2}));
    EXPECT_TRUE(boundaryEdgesPresent(segments, tri.triangles));
    EXPECT_EQ(tri.neighbours[0].n[3], 2);  // across (2, 1)
    EXPECT_EQ(tri.neighbours[1].n[2], 1);  // across (1, 2)
    EXPECT_TRUE(fs::exists(dir.path() / "mesh_11.sol"));
}

TEST(FreeKernel, FourCrossedTrianglesAreRecoveredByFlips) {
    // Segment 1 -> 2 crosses the sides 3-4, 3-6 and 5-6 of a strip of four
    // triangles; flips bring it in, and the strip stays a triangulation of
    // the same hexagon: counter-clockwise triangles, linked both ways.
    Triangulation tri = handMade(
        {node(1, 0, 0), node(2, 0.8, 0), node(3, 0.2, 0.2), node(4, 0.2, -0.2), node(5, 0.4, 0.2), node(6, 0.4, -0.2)},
        {{1, 4, 3}, {3, 4, 6}, {3, 6, 5}, {5, 6, 2}});
    const std::vector<MeshNode> boundary(tri.nodes.begin() + 4, tri.nodes.end());
    const std::vector<BoundarySegment> segments = {{1, 1, 2, -2}};
    meshtest::ScratchDir dir("recover-four");
    meshtest::CurrentDir here(dir.path());
    std::ostringstream log;
    EXPECT_TRUE(recoverLostBoundary(tri, boundary, segments, log));
    EXPECT_EQ(log.str(), "");
    EXPECT_TRUE(boundaryEdgesPresent(segments, tri.triangles));
    double area = 0.0;
    for (std::size_t t = 0; t < tri.triangles.size(); ++t) {
        const auto& c = tri.triangles[t].corners;
        const MeshNode &a = tri.nodeAt(c[0]), &b = tri.nodeAt(c[1]), &d = tri.nodeAt(c[2]);
        const double twice = (b.x - a.x) * (d.y - a.y) - (b.y - a.y) * (d.x - a.x);
        EXPECT_GT(twice, 0.0) << "triangle " << t + 1;
        area += 0.5 * twice;
        for (int j = 0; j < 3; ++j) {
            const int u = tri.neighbours[t].n[1 + j];
            if (u <= 0) continue;
            EXPECT_GE(sideWithCorners(tri.triangles[u - 1], c[(j + 1) % 3], c[j]), 0) << "triangle " << t + 1;
        }
    }
    EXPECT_NEAR(area, 0.2, 1e-12);  // the hexagon (0, 0) (0.2, -0.2) (0.4, -0.2) (0.8, 0) (0.4, 0.2) (0.2, 0.2)
}

TEST(FreeKernel, SegmentIntersectionCases) {
    EXPECT_EQ(segmentIntersection(node(0, 0, 0), node(0, 1, 1), node(0, 0, 1), node(0, 1, 0)), 1);
    EXPECT_EQ(segmentIntersection(node(0, 0, 0), node(0, 1, 1), node(0, 1, 1), node(0, 2, 0)), 0);
    EXPECT_EQ(segmentIntersection(node(0, 0, 0), node(0, 1, 1), node(0, 3, 0), node(0, 4, 1)), 0);  // parallel
    EXPECT_EQ(segmentIntersection(node(0, 0, 0), node(0, 1, 1), node(0, 2, 3), node(0, 3, 2)), 2);
}

TEST(FreeKernel, FreeNodeOfThreeTrianglesMergesIntoTheLargestName) {
    RegionRecord region;
    region.nodes = {node(1, 0, 0), node(2, 1, 0), node(3, 0, 1), node(4, 0.3, 0.3)};
    const std::vector<std::array<int, 3>> corners = {{4, 1, 2}, {4, 2, 3}, {4, 3, 1}};
    for (std::size_t t = 0; t < 3; ++t) {
        DelaunayTriangle d;
        d.name = static_cast<int>(t) + 1;
        d.corners = corners[t];
        region.triangles.push_back(d);
        ElementNeighbours nb;
        nb.n = {d.name, static_cast<int>((t + 2) % 3) + 1, -1, static_cast<int>((t + 1) % 3) + 1};
        region.neighbours.push_back(nb);
    }
    std::ostringstream log;
    ASSERT_TRUE(initNodeAdjacency(region, 3, log));
    EXPECT_TRUE(removeValence3Nodes(region));
    ASSERT_EQ(region.triangles.size(), 1u);
    EXPECT_EQ(region.triangles[0].name, 1);
    EXPECT_EQ(region.triangles[0].corners, (std::array<int, 3>{1, 2, 3}));
    EXPECT_EQ(region.neighbours[0].n[1], -1);
    ASSERT_EQ(region.nodes.size(), 3u);
    for (const NodeAdjacency& a : region.adjacency) {
        EXPECT_EQ(a.elementCount, 1);
        EXPECT_EQ(a.neighbourCount, 2);
    }
}

TEST(FreeKernel, BoundaryWithAGapKeepsItsOrder) {
    RegionRecord region;
    region.nodes = {node(1, 0, 0), node(2, 1, 0), node(3, 1, 1), node(4, 0, 1)};
    MeshElement first, second;
    first.w = {1, 1, 2, 3};
    second.w = {2, 1, 3, 4};
    region.elements = {first, second};
    // Sides (1, 2), (3, 4) and (4, 1): no side starts at 2, where the chain
    // from 1 leads.
    region.codedSides = {{1, 0, -2}, {2, 1, -2}, {2, 2, -2}};
    std::ostringstream log;
    EXPECT_FALSE(sortExternalBoundary(region, false, 1, log));
    EXPECT_EQ(log.str(), "Error: Error to sort external boundary segment\n");
    EXPECT_EQ(region.codedSides[0].side, 0);
    EXPECT_EQ(region.codedSides[1].side, 1);
    EXPECT_EQ(region.codedSides[2].side, 2);
    log.str("");

    region.codedSides = {{2, 1, -2}, {1, 1, -2}, {1, 0, -2}, {2, 2, -2}};
    EXPECT_TRUE(sortExternalBoundary(region, false, 1, log));
    const int order[4][2] = {{1, 0}, {1, 1}, {2, 1}, {2, 2}};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(region.codedSides[k].element, order[k][0]) << k;
        EXPECT_EQ(region.codedSides[k].side, order[k][1]) << k;
    }
}
