// The topology passes of the quadrilateral chain, each on a small hand-made
// patch: the rewrite of one pass, the cases it must leave alone, and the
// consistency of the model afterwards (links both ways, node lists).
#include <algorithm>
#include <cmath>
#include <sstream>
#include <vector>

#include <gtest/gtest.h>

#include "MeshTestSupport.h"
#include "TopologyFixture.h"
#include "Tessaro_DLL/model/RunDriver.h"
#include "Tessaro_DLL/quad/QuadConversion.h"
#include "Tessaro_DLL/topology/PassSupport.h"
#include "Tessaro_DLL/topology/Passes.h"
#include "Tessaro_DLL/topology/Topology.h"

using namespace meshtest;
using namespace tessaro;

namespace {

int liveElements(const RegionRecord& r) {
    return static_cast<int>(
        std::count_if(r.topoElements.begin(), r.topoElements.end(), [](const TopoElement& e) { return e.name > 0; }));
}

int elementsAt(const RegionRecord& r, int node) {
    return r.topoNodes[node - 1].triangleCount + r.topoNodes[node - 1].quadCount;
}

bool sameElements(const RegionRecord& a, const RegionRecord& b) {
    if (a.topoElements.size() != b.topoElements.size()) return false;
    for (std::size_t k = 0; k < a.topoElements.size(); ++k) {
        const TopoElement &p = a.topoElements[k], &q = b.topoElements[k];
        if (p.name != q.name || p.c != q.c || p.nb != q.nb || p.cornerCount != q.cornerCount) return false;
    }
    return true;
}

AngleTable straightTable(int nb) {
    AngleTable table(nb);
    for (BoundaryNodeAngle& a : table) a.angle = 180;
    return table;
}

// Two quadrilaterals around interior node 8 sharing its two sides, with a
// triangle beyond side 2-3 and a quadrilateral beyond side 1-2; nodes 1..7
// are boundary nodes.
TopologyFixture twoQuadsAroundNode() {
    TopologyFixture f;
    f.nodes = {{0, -1}, {1, 0}, {0, 1}, {-1, 0}, {1, 1}, {1, -2}, {2, -1}, {0, 0}};
    f.elements = {{8, 1, 2, 3}, {8, 3, 4, 1}, {3, 2, 5}, {2, 1, 6, 7}};
    f.nb = 7;
    return f;
}

}  // namespace

TEST(RemoveValence2Nodes, TwoQuadrilateralsSharingTwoSidesBecomeOne) {
    TopologyFixture pair;
    pair.nodes = {{0, 0}, {0, -1}, {1, 0}, {0, 1}, {-1, 0}};
    pair.elements = {{1, 2, 3, 4}, {1, 4, 5, 2}};
    RegionRecord r = buildTopology(pair);
    std::ostringstream log;
    ASSERT_TRUE(removeValence2Nodes(r, kOffset, "optimization_history.dat", log));
    EXPECT_EQ(cornersOf(r.topoElements[0]), (std::vector<int>{5, 2, 3, 4}));
    EXPECT_EQ(r.topoElements[1].name, -1);
    EXPECT_EQ(cornersOf(r.topoElements[1]), (std::vector<int>{5, 2, 3, 4}));
    EXPECT_EQ(r.topoNodes[0].status, -1);
    EXPECT_EQ(log.str(), "");

    RegionRecord withNeighbours = buildTopology(twoQuadsAroundNode());
    ASSERT_TRUE(removeValence2Nodes(withNeighbours, kOffset, "", log));
    const TopoElement& a = withNeighbours.topoElements[0];
    EXPECT_EQ(cornersOf(a), (std::vector<int>{4, 1, 2, 3}));
    EXPECT_EQ(a.nb, (std::array<int, 4>{kNone, -4, 3, kNone}));  // quadrilateral -, triangle +, boundary
    EXPECT_EQ(withNeighbours.topoNodes[7].status, -8);
    EXPECT_EQ(topologyFaults(withNeighbours, 7, kOffset), "");
}

TEST(RemoveValence2Nodes, BoundaryNodeTriangleAtTheNodeOrSharedFarCornerStays) {
    TopologyFixture boundary = twoQuadsAroundNode();
    boundary.nb = 8;
    TopologyFixture withTriangle;
    withTriangle.nodes = {{1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, -1}, {0, 0}};
    withTriangle.elements = {{6, 1, 2, 3}, {6, 3, 4, 5}, {6, 5, 1}};
    withTriangle.nb = 5;
    // the far corner of (5, 4, 3, 1) from node 5 is already a corner of (5, 2, 3, 4)
    TopologyFixture sharedFarCorner;
    sharedFarCorner.nodes = {{-1, 2}, {1, 0}, {1, 1}, {0, 1}, {0, 0}};
    sharedFarCorner.elements = {{5, 2, 3, 4}, {5, 4, 3, 1}};
    sharedFarCorner.nb = 4;
    for (const TopologyFixture& f : {boundary, withTriangle, sharedFarCorner}) {
        RegionRecord r = buildTopology(f);
        const RegionRecord before = r;
        std::ostringstream log;
        ASSERT_TRUE(removeValence2Nodes(r, kOffset, "", log));
        EXPECT_TRUE(sameElements(r, before));
    }
}

namespace {

// Interior node 13 at the origin held by six quadrilaterals; ring position
// p (0..11, counter-clockwise from the x axis) alternates edge nodes (even,
// radius 1) and diagonal nodes (odd, radius 1.5) and is named names[p].
TopologyFixture sixQuadrilateralNode(const std::array<int, 12>& names = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12},
                                     int nb = 12) {
    TopologyFixture f;
    const double pi = 4.0 * std::atan(1.0);
    f.nodes.resize(13);
    for (int p = 0; p < 12; ++p) {
        const double radius = p % 2 == 0 ? 1.0 : 1.5;
        f.nodes[names[p] - 1] = {radius * std::cos(p * pi / 6), radius * std::sin(p * pi / 6)};
    }
    f.nodes[12] = {0.0, 0.0};
    for (int k = 0; k < 6; ++k) f.elements.push_back({13, names[2 * k], names[2 * k + 1], names[(2 * k + 2) % 12]});
    f.nb = nb;
    return f;
}

}  // namespace

TEST(FixValence6Nodes, SixQuadrilateralNodeEndsWithThreeAndNewNodesWithFour) {
    RegionRecord r = buildTopology(sixQuadrilateralNode());
    std::ostringstream log;
    ASSERT_TRUE(fixValence6Nodes(r, 12, "", log));
    EXPECT_EQ(log.str(), "");
    ASSERT_EQ(r.nodes.size(), 16u);
    ASSERT_EQ(r.topoElements.size(), 9u);
    EXPECT_EQ(r.topoNodes[12].quadCount, 3);
    for (int node : {14, 15, 16}) {
        EXPECT_EQ(r.topoNodes[node - 1].quadCount, 4) << node;
        EXPECT_EQ(r.topoNodes[node - 1].status, node);
    }
    // the new nodes halve the spokes to the edge nodes 3, 7 and 11
    EXPECT_NEAR(r.nodes[13].x, 0.5 * r.nodes[2].x, 1e-12);
    EXPECT_NEAR(r.nodes[13].y, 0.5 * r.nodes[2].y, 1e-12);
    EXPECT_EQ(topologyFaults(r, 12, kOffset), "");

    // a second call finds nothing to do: no node holds six quadrilaterals
    RegionRecord again = r;
    ASSERT_TRUE(fixValence6Nodes(again, 12, "", log));
    EXPECT_EQ(again.topoElements.size(), 9u);
}

TEST(FixValence6Nodes, ThreeBoundaryNeighboursChooseTheRingStart) {
    struct Case {
        const char* name;
        std::array<int, 12> names;
        std::pair<double, double> firstNewNode;  // halves the spoke to ring edge 1
    };
    const Case cases[] = {
        // boundary e0, d0, e1: the lowest (e0) is an edge node and stays chosen; the ring starts at it
        {"edge node", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, {0.25, 0.4330127018922193}},
        // boundary e0, d5, d0: d5 comes before e0 in the quadrilateral across n-e0; the ring starts at e5
        {"diagonal before it", {1, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 2}, {0.5, 0.0}},
    };
    for (const Case& c : cases) {
        RegionRecord r = buildTopology(sixQuadrilateralNode(c.names, 3));
        std::ostringstream log;
        ASSERT_TRUE(fixValence6Nodes(r, 3, "", log)) << c.name << log.str();
        ASSERT_EQ(r.nodes.size(), 16u) << c.name;
        EXPECT_NEAR(r.nodes[13].x, c.firstNewNode.first, 1e-12) << c.name;
        EXPECT_NEAR(r.nodes[13].y, c.firstNewNode.second, 1e-12) << c.name;
        EXPECT_EQ(r.topoNodes[12].quadCount, 3) << c.name;
        EXPECT_EQ(topologyFaults(r, 3, kOffset), "") << c.name;
    }
}

// A node with no start for its ring (as at a fold left by an earlier pass)
// is left as it is, like a ring that does not close; the run goes on.
TEST(FixValence6Nodes, RingWithoutAStartIsSkipped) {
    RegionRecord r = buildTopology(sixQuadrilateralNode());
    r.topoNodes[12].neighbourCount = 0;  // no edge node to start from
    const std::size_t nodes = r.nodes.size();
    std::ostringstream log;
    EXPECT_TRUE(fixValence6Nodes(r, 12, "", log));
    EXPECT_EQ(log.str(), "");
    EXPECT_EQ(r.nodes.size(), nodes);
    EXPECT_EQ(r.topoNodes[12].quadCount, 6);
}

namespace {

// Interior nodes 9 and 10 of three quadrilaterals each, opposite in the
// diamond (9, 4, 10, 8); the other eight nodes are boundary nodes.
TopologyFixture valence3Pair() {
    TopologyFixture f;
    f.nodes = {{-0.75, 1}, {-1.5, 0}, {-0.75, -1}, {0, -0.5}, {0.75, -1},
               {1.5, 0},   {0.75, 1}, {0, 0.5},    {-0.5, 0}, {0.5, 0}};
    f.elements = {{9, 4, 10, 8}, {9, 8, 1, 2}, {9, 2, 3, 4}, {10, 4, 5, 6}, {10, 6, 7, 8}};
    f.nb = 8;
    return f;
}

}  // namespace

TEST(CollapseValence3Pairs, OppositeNodesMergeIntoTheSmallerName) {
    RegionRecord r = buildTopology(valence3Pair());
    std::ostringstream log;
    ASSERT_TRUE(collapseValence3Pairs(r, 8, "", log));
    EXPECT_EQ(log.str(), "");
    EXPECT_EQ(liveElements(r), 4);
    EXPECT_LT(r.topoElements[0].name, 0);
    EXPECT_EQ(r.topoNodes[9].status, -9);
    EXPECT_EQ(r.topoNodes[8].quadCount, 4);
    EXPECT_NEAR(r.nodes[8].x, 0.0, 1e-12);  // the diamond's centroid
    EXPECT_NEAR(r.nodes[8].y, 0.0, 1e-12);
    EXPECT_EQ(r.nodes[9].x, r.nodes[8].x);
    for (const TopoElement& el : r.topoElements)
        if (el.name > 0) {
            EXPECT_FALSE(std::count(el.c.begin(), el.c.end(), 10)) << el.name;
        }
    EXPECT_EQ(topologyFaults(r, 8, kOffset), "");
}

TEST(CollapseValence3Pairs, PairAlongASideStays) {
    RegionRecord r = buildTopology(gridFixture(2, 1, false));
    const RegionRecord before = r;
    std::ostringstream log;
    EXPECT_TRUE(collapseQuadDiagonal(r, 2, 5, 0, log));
    EXPECT_TRUE(sameElements(r, before));
}

TEST(CollapseValence3Pairs, MergedNodeKeepsItsTwentyTwoNeighbours) {
    // A (1) holds seven quadrilaterals, B (2) six; they face each other in
    // Q = (1, 3, 2, 4): merged, A sees 22 neighbour nodes, more than its
    // record holds in place.
    TopologyFixture f;
    f.nodes = {{0, 0}, {2, 0}, {1, -1}, {1, 1}};
    const double pi = 4.0 * std::atan(1.0);
    auto fan = [&](int centre, double cx, int from, int to, int count, double start, double end) {
        int previous = from;
        for (int k = 1; k <= count; ++k) {
            const double mid = start + (end - start) * (k - 0.5) / count, edge = start + (end - start) * k / count;
            f.nodes.emplace_back(cx + 2 * std::cos(mid), 2 * std::sin(mid));
            const int far = static_cast<int>(f.nodes.size());
            int next = to;
            if (k < count) {
                f.nodes.emplace_back(cx + 1.5 * std::cos(edge), 1.5 * std::sin(edge));
                next = static_cast<int>(f.nodes.size());
            }
            f.elements.push_back({centre, previous, far, next});
            previous = next;
        }
    };
    f.elements.push_back({1, 3, 2, 4});
    fan(1, 0.0, 4, 3, 6, pi / 4, 7 * pi / 4);
    fan(2, 2.0, 3, 4, 5, -3 * pi / 4, 3 * pi / 4);
    RegionRecord r = buildTopology(f);
    ASSERT_EQ(r.topoNodes[0].quadCount, 7);
    ASSERT_EQ(r.topoNodes[1].quadCount, 6);
    std::ostringstream log;
    EXPECT_TRUE(collapseQuadDiagonal(r, 2, 1, 0, log));
    EXPECT_EQ(log.str(), "");
    const TopoNode& a = r.topoNodes[0];
    EXPECT_EQ(a.quadCount, 11);
    EXPECT_EQ(a.neighbourCount, 22);
    std::vector<int> neighbours(a.neighbours.begin(), a.neighbours.begin() + a.neighbourCount);
    std::sort(neighbours.begin(), neighbours.end());
    EXPECT_EQ(std::adjacent_find(neighbours.begin(), neighbours.end()), neighbours.end());
    EXPECT_EQ(std::count(neighbours.begin(), neighbours.end(), 1), 0);
    EXPECT_EQ(std::count(neighbours.begin(), neighbours.end(), 2), 0);
}

TEST(PassSupport, RefilledListsHoldEveryElement) {
    struct Case {
        const char* name;
        int triangles;
    };
    for (const Case& c : {Case{"fourteen triangles", 14}, Case{"thirty triangles", 30}}) {
        TopologyFixture f;
        f.nodes.emplace_back(0.0, 0.0);
        const double pi = 4.0 * std::atan(1.0);
        for (int k = 0; k < c.triangles; ++k)
            f.nodes.emplace_back(std::cos(2 * pi * k / c.triangles), std::sin(2 * pi * k / c.triangles));
        std::vector<int> all;
        for (int k = 0; k < c.triangles; ++k) {
            f.elements.push_back({1, k + 2, (k + 1) % c.triangles + 2});
            all.push_back(k + 1);
        }
        RegionRecord r = buildTopology(f);
        std::ostringstream log;
        EXPECT_TRUE(refillNodeLists(r, 1, all, log)) << c.name;
        EXPECT_EQ(log.str(), "") << c.name;
        EXPECT_EQ(r.topoNodes[0].triangleCount, c.triangles) << c.name;
        EXPECT_EQ(r.topoNodes[0].neighbourCount, c.triangles) << c.name;
    }
    // 21 neighbour nodes from 7 quadrilaterals sharing only the centre
    TopologyFixture f;
    f.nodes.emplace_back(0.0, 0.0);
    std::vector<int> all;
    for (int k = 0; k < 7; ++k) {
        const double x = 3.0 * k;
        f.nodes.insert(f.nodes.end(), {{x + 1, 0}, {x + 1, 1}, {x, 1}});
        f.elements.push_back({1, 3 * k + 2, 3 * k + 3, 3 * k + 4});
        all.push_back(-(k + 1));
    }
    RegionRecord r = buildTopology(f);
    std::ostringstream log;
    EXPECT_TRUE(refillNodeLists(r, 1, {1, 2, 3, 4, 5, 6, 7}, log));
    EXPECT_EQ(log.str(), "");
    EXPECT_EQ(r.topoNodes[0].quadCount, 7);
    EXPECT_EQ(r.topoNodes[0].neighbourCount, 21);
}

namespace {

// Boundary node 2 on a straight bottom edge holding three quadrilaterals;
// the middle one (2, 8, 9, 10) has no other boundary corner.
TopologyFixture flatBoundaryNode() {
    TopologyFixture f;
    f.nodes = {{-2, 0}, {0, 0}, {2, 0}, {2, 1.5}, {1.5, 2.5}, {-1.5, 2.5}, {-2, 1.5}, {0.7, 1}, {0, 2}, {-0.7, 1}};
    f.elements = {{1, 2, 10, 7}, {2, 8, 9, 10}, {2, 3, 4, 8}, {8, 4, 5, 9}, {7, 10, 9, 6}, {9, 5, 6}};
    f.nb = 7;
    return f;
}

}  // namespace

TEST(ReduceFlatBoundaryValence3, AnglesFrom150To210Collapse) {
    struct Case {
        int angle;
        bool collapses;
    };
    for (const Case& c : {Case{149, false}, Case{150, true}, Case{210, true}, Case{211, false}}) {
        RegionRecord r = buildTopology(flatBoundaryNode());
        const RegionRecord before = r;
        AngleTable table = straightTable(7);
        table[1].angle = c.angle;
        std::ostringstream log;
        ASSERT_TRUE(reduceFlatBoundaryValence3(r, table, "", log));
        if (!c.collapses) {
            EXPECT_TRUE(sameElements(r, before)) << c.angle;
            continue;
        }
        EXPECT_EQ(r.topoNodes[1].quadCount, 2) << c.angle;
        EXPECT_EQ(r.topoElements[1].name, -r.topoNodes[1].quads[0]);
        EXPECT_EQ(r.topoNodes[9].status, -10);  // the larger name goes, its position stays
        EXPECT_EQ(r.nodes[9].x, -0.7);
        EXPECT_EQ(liveElements(r), 5);
        EXPECT_EQ(topologyFaults(r, 7, kOffset), "") << c.angle;
    }
}

namespace {

// Boundary node 1 at the origin holds triangle (1, a, b) between two
// quadrilaterals; quadrilateral E lies across a-b with a triangle above it.
// Fans of `fanA` and `fanB` triangles fill the gaps at a and b, which are
// the only interior nodes.
struct BoundaryTriangleCase {
    TopologyFixture fixture;
    int a = 0, b = 0, t = 0, e = 0;
};

BoundaryTriangleCase boundaryTriangle(int fanA, int fanB) {
    BoundaryTriangleCase c;
    TopologyFixture& f = c.fixture;
    // boundary: 1 N, 2 R, 3 r1, fan points, 4 e1, 5 top, 6 e2, fan points, 7 l1, 8 L
    f.nodes = {{0, 0}, {2, 0}, {2, 1}, {0.5, 2}, {0, 3}, {-0.5, 2}, {-2, 1}, {-2, 0}};
    const double pi = 4.0 * std::atan(1.0);
    auto fan = [&](double cx, double cy, int first, int last, int count, double from, double to) {
        std::vector<int> points{first};
        for (int k = 1; k < count; ++k) {
            const double angle = from + (to - from) * k / count;
            f.nodes.emplace_back(cx + 1.2 * std::cos(angle), cy + 1.2 * std::sin(angle));
            points.push_back(static_cast<int>(f.nodes.size()));
        }
        points.push_back(last);
        return points;
    };
    const std::vector<int> aFan = fan(0.5, 1, 3, 4, fanA, 0.0, pi / 2);
    const std::vector<int> bFan = fan(-0.5, 1, 6, 7, fanB, pi / 2, pi);
    f.nb = static_cast<int>(f.nodes.size());
    f.nodes.emplace_back(0.5, 1);   // a
    f.nodes.emplace_back(-0.5, 1);  // b
    c.a = f.nb + 1;
    c.b = f.nb + 2;
    f.elements = {{1, c.a, c.b}, {c.a, 4, 6, c.b}, {6, 4, 5}, {8, 1, c.b, 7}, {1, 2, 3, c.a}};
    c.t = 1;
    c.e = 2;
    for (std::size_t k = 0; k + 1 < aFan.size(); ++k) f.elements.push_back({c.a, aFan[k], aFan[k + 1]});
    for (std::size_t k = 0; k + 1 < bFan.size(); ++k) f.elements.push_back({c.b, bFan[k], bFan[k + 1]});
    return c;
}

}  // namespace

TEST(CollapseBoundaryTriangle, InnerSideCollapsesAndTheNewTriangleMerges) {
    const BoundaryTriangleCase c = boundaryTriangle(2, 1);  // a and b with 5 and 4 elements
    RegionRecord r = buildTopology(c.fixture);
    ASSERT_EQ(elementsAt(r, c.a), 5);
    ASSERT_EQ(elementsAt(r, c.b), 4);
    AngleTable table = straightTable(c.fixture.nb);
    table[0].angle = 269;
    std::ostringstream log;
    ASSERT_TRUE(collapseBoundaryTriangle(r, table, c.fixture.nb, kOffset, log, ""));
    EXPECT_EQ(log.str(), "");
    const int lo = std::min(c.a, c.b), hi = std::max(c.a, c.b);
    EXPECT_EQ(r.topoNodes[hi - 1].status, -hi);
    EXPECT_EQ(r.topoElements[c.t - 1].name, -c.t);
    EXPECT_EQ(r.nodes[c.a - 1].x, r.nodes[c.b - 1].x);
    EXPECT_EQ(r.nodes[c.a - 1].y, 1.0);
    // the two quadrilaterals at node 1 now meet along 1-lo
    const TopoElement& left = r.topoElements[3];
    const TopoElement& right = r.topoElements[4];
    EXPECT_EQ(left.nb[directedSideIndex(left, 1, lo)], -5);
    EXPECT_EQ(right.nb[directedSideIndex(right, lo, 1)], -4);
    // E, a triangle after the collapse, merged with its first triangle neighbour
    EXPECT_EQ(r.topoElements[c.e - 1].cornerCount, 4);
    EXPECT_EQ(std::count_if(r.topoElements.begin(), r.topoElements.end(),
                            [&](const TopoElement& el) { return el.name == -c.e; }),
              1);
    EXPECT_EQ(topologyFaults(r, c.fixture.nb, kOffset), "");
}

TEST(CollapseBoundaryTriangle, LeftAloneByAngleOrCrowdedSides) {
    struct Case {
        const char* name;
        int fanA, fanB, angle;
    };
    for (const Case& c :
         {Case{"angle 270", 1, 1, 270}, Case{"5 and 5 elements", 2, 2, 180}, Case{"6 and 4 elements", 3, 1, 180}}) {
        const BoundaryTriangleCase bt = boundaryTriangle(c.fanA, c.fanB);
        RegionRecord r = buildTopology(bt.fixture);
        const RegionRecord before = r;
        AngleTable table = straightTable(bt.fixture.nb);
        table[0].angle = c.angle;
        std::ostringstream log;
        ASSERT_TRUE(collapseBoundaryTriangle(r, table, bt.fixture.nb, kOffset, log, "")) << c.name;
        EXPECT_TRUE(sameElements(r, before)) << c.name;
    }
}

TEST(RelieveSixElementNodes, SegmentAngles) {
    const double pi = 4.0 * std::atan(1.0);
    EXPECT_DOUBLE_EQ(segmentAngle(0, 0, 1, 0), 0.0);
    EXPECT_DOUBLE_EQ(segmentAngle(0, 0, 0, 1), pi / 2);
    EXPECT_DOUBLE_EQ(segmentAngle(0, 0, -1, 0), pi);
    EXPECT_DOUBLE_EQ(segmentAngle(0, 0, 0, -1), 3 * pi / 2);
    EXPECT_DOUBLE_EQ(segmentAngle(0, 0, 1, -1), 7 * pi / 4);
    EXPECT_DOUBLE_EQ(segmentAngle(0, 0, 0.00000005, -1), 3 * pi / 2);  // half the tolerance: vertical
}

namespace {

// A node at the origin, named last, with five quadrilaterals and a triangle
// (or six quadrilaterals) around it; no boundary nodes.
TopologyFixture sixElementNode(bool triangle) {
    TopologyFixture f;
    const double pi = 4.0 * std::atan(1.0);
    // spokes 0..5 at 60 degrees; the triangle sits between spokes 0 and 1
    std::vector<int> spoke(6), far(6);
    for (int k = 0; k < 6; ++k) {
        f.nodes.emplace_back(std::cos(k * pi / 3), std::sin(k * pi / 3));
        spoke[k] = static_cast<int>(f.nodes.size());
        if (k == 0 && triangle) continue;
        f.nodes.emplace_back(1.5 * std::cos((k + 0.5) * pi / 3), 1.5 * std::sin((k + 0.5) * pi / 3));
        far[k] = static_cast<int>(f.nodes.size());
    }
    f.nodes.emplace_back(0.0, 0.0);
    const int n = static_cast<int>(f.nodes.size());
    for (int k = 0; k < 6; ++k) {
        if (k == 0 && triangle)
            f.elements.push_back({n, spoke[0], spoke[1]});
        else
            f.elements.push_back({n, spoke[k], far[k], spoke[(k + 1) % 6]});
    }
    return f;
}

}  // namespace

TEST(RelieveSixElementNodes, FiveQuadrilateralsAndATriangleLoseOneAtTheNode) {
    const TopologyFixture f = sixElementNode(true);
    RegionRecord r = buildTopology(f);
    const int n = static_cast<int>(f.nodes.size());
    std::ostringstream log;
    ASSERT_TRUE(relieveSixElementNodes(r, f.nb, kOffset, "", log));
    EXPECT_EQ(log.str(), "");
    EXPECT_EQ(elementsAt(r, n), 5);
    EXPECT_EQ(r.topoElements[0].cornerCount, 4);  // the triangle became a quadrilateral
    // equal angles at the node: A, the quadrilateral across the triangle's side from c2 to the node
    EXPECT_EQ(r.topoElements[1].cornerCount, 3);
    EXPECT_EQ(topologyFaults(r, f.nb, kOffset), "");

    RegionRecord six = buildTopology(sixElementNode(false));
    const RegionRecord before = six;
    ASSERT_TRUE(relieveSixElementNodes(six, 0, kOffset, "", log));
    EXPECT_TRUE(sameElements(six, before));
}

TEST(RelieveSixElementNodes, QuadrilateralTouchingTheBoundaryTwiceIsNotUsed) {
    // nodes 1..3 on the boundary: A = (12, 2, 3, 4) touches it twice, B = (12, 10, 11, 1) once
    RegionRecord r = buildTopology(sixElementNode(true));
    std::ostringstream log;
    ASSERT_TRUE(relieveSixElementNodes(r, 3, kOffset, "", log));
    EXPECT_EQ(cornersOf(r.topoElements[0]), (std::vector<int>{12, 10, 1, 2}));
    EXPECT_EQ(cornersOf(r.topoElements[5]), (std::vector<int>{1, 10, 11}));
    EXPECT_EQ(cornersOf(r.topoElements[1]), (std::vector<int>{12, 2, 3, 4}));
    EXPECT_EQ(elementsAt(r, 12), 5);
    EXPECT_EQ(topologyFaults(r, 3, kOffset), "");
}

TEST(ConvertTriangleRingedQuads, FourTrianglesAroundAQuadrilateralBecomeFourQuadrilaterals) {
    TopologyFixture f;
    f.nodes = {{0, 0}, {1, 0}, {1, 1}, {0, 1}, {0.5, -1}, {2, 0.5}, {0.5, 2}, {-1, 0.5}};
    f.elements = {{1, 2, 3, 4}, {2, 1, 5}, {3, 2, 6}, {4, 3, 7}, {1, 4, 8}};
    f.nb = 8;
    RegionRecord r = buildTopology(f);
    std::ostringstream log;
    ASSERT_TRUE(convertTriangleRingedQuads(r, kOffset, "", log));
    ASSERT_EQ(r.nodes.size(), 9u);
    EXPECT_DOUBLE_EQ(r.nodes[8].x, 0.5);
    EXPECT_DOUBLE_EQ(r.nodes[8].y, 0.5);
    EXPECT_EQ(r.topoElements[0].name, -2);
    EXPECT_EQ(cornersOf(r.topoElements[0]), cornersOf(r.topoElements[1]));
    for (int e = 2; e <= 5; ++e) EXPECT_EQ(r.topoElements[e - 1].cornerCount, 4) << e;
    EXPECT_EQ(r.topoNodes[8].quadCount, 4);
    EXPECT_EQ(topologyFaults(r, 8, kOffset), "");

    // with one side on the boundary the quadrilateral stays
    f.elements.pop_back();
    RegionRecord open = buildTopology(f);
    const RegionRecord before = open;
    ASSERT_TRUE(convertTriangleRingedQuads(open, kOffset, "", log));
    EXPECT_TRUE(sameElements(open, before));
}

TEST(MergeQuadWithOppositeTriangles, SymmetricSquareIsCutFromPToR) {
    TopologyFixture f;
    f.nodes = {{0, 0}, {1, 0}, {1, 1}, {0, 1}, {0.5, -1}, {0.5, 2}};
    f.elements = {{1, 2, 3, 4}, {2, 1, 5}, {4, 3, 6}};
    RegionRecord r = buildTopology(f);
    std::ostringstream log;
    ASSERT_TRUE(mergeQuadWithOppositeTriangles(r, 0, kOffset, "", log));
    EXPECT_EQ(cornersOf(r.topoElements[1]), (std::vector<int>{2, 4, 1, 5}));
    EXPECT_EQ(cornersOf(r.topoElements[2]), (std::vector<int>{4, 2, 3, 6}));
    EXPECT_EQ(r.topoElements[0].name, -2);
    EXPECT_EQ(liveElements(r), 2);
    EXPECT_EQ(r.topoElements[1].nb[0], -3);  // neighbours across the cut
    EXPECT_EQ(topologyFaults(r, 0, kOffset), "");

    f.nb = 1;  // a boundary node among the six
    RegionRecord held = buildTopology(f);
    const RegionRecord before = held;
    ASSERT_TRUE(mergeQuadWithOppositeTriangles(held, 1, kOffset, "", log));
    EXPECT_TRUE(sameElements(held, before));
}

TEST(QuadChainWholeRuns, TemplatesMeshWithNoCornerTurnedInward) {
    const std::pair<const char*, const char*> inputs[] = {
        {"mesher", "circular-default-q8.i"},         {"mesher", "circular-fine-q4.i"},
        {"mesher", "octagon-default-q4.i"},          {"mesher", "octagon-default-q8.i"},
        {"model/template", "circular-default-q4.i"}, {"model/template", "octagon-coarse-q8.i"},
    };
    for (const auto& [folder, name] : inputs) {
        SCOPED_TRACE(name);
        ScratchDir dir(std::string("passes-") + name);
        fs::copy_file(fs::path(BRENNIX_TEST_DATA) / folder / name, dir.path() / "temp.i");
        ASSERT_EQ(tessaro::runTessaro((dir.path() / "temp.i").string()), 0);
        EXPECT_EQ(unexpectedLogLines(readFile(dir.path() / "temp.msh")), std::vector<std::string>{});
        const FemMesh mesh = readFemBinary(dir.path() / "temp.fem");
        ASSERT_TRUE(mesh.ok) << mesh.problem;
        int inward = 0;
        for (const FemElement& el : mesh.elements)
            for (int k = 0; k < 4; ++k) {
                const auto& p = mesh.xy[el.nodes[k] - 1];
                const auto& q = mesh.xy[el.nodes[(k + 1) % 4] - 1];
                const auto& o = mesh.xy[el.nodes[(k + 3) % 4] - 1];
                const double cross =
                    (q.first - p.first) * (o.second - p.second) - (q.second - p.second) * (o.first - p.first);
                if (cross < -1e-12) ++inward;  // straight corners (cross 0) occur in mapped triangles
            }
        EXPECT_EQ(inward, 0);
    }
}

namespace {

// Interior node 6 with triangle (6, 1, 2) and quadrilaterals (6, 2, 3, 4)
// and (4, 5, 1, 6); the pentagon 1..5 around it is boundary. Candidate 1's
// triangle (2, 3, 4) is equilateral, candidate 2's (1, 4, 5) has quality
// about 0.72.
TopologyFixture quadQuadTriangleFan() {
    TopologyFixture f;
    f.nodes = {{1, 0}, {0.5, 0.866}, {-1.382, 1.396}, {-0.9, -0.5}, {0.5, -0.9}, {0, 0}};
    f.elements = {{6, 1, 2}, {6, 2, 3, 4}, {4, 5, 1, 6}};
    f.nb = 5;
    return f;
}

}  // namespace

TEST(FixQuadQuadTriangleNodes, NodeGoesAndTheBetterTriangleIsCut) {
    RegionRecord r = buildTopology(quadQuadTriangleFan());
    TopoElement equilateral;
    equilateral.c = {2, 3, 4, 0};
    EXPECT_NEAR(triangleQuality(r, equilateral), 1.0, 2e-3);
    std::ostringstream log;
    ASSERT_TRUE(fixQuadQuadTriangleNodes(r, kOffset, "", log));
    EXPECT_EQ(log.str(), "");
    EXPECT_EQ(r.topoNodes[5].status, -6);
    EXPECT_EQ(cornersOf(r.topoElements[2]), (std::vector<int>{4, 5, 1, 2}));  // candidate 1
    EXPECT_EQ(cornersOf(r.topoElements[1]), (std::vector<int>{2, 3, 4}));
    EXPECT_EQ(r.topoElements[0].name, -3);  // the former triangle forwards to the quadrilateral
    EXPECT_EQ(liveElements(r), 2);
    EXPECT_EQ(topologyFaults(r, 5, kOffset), "");
}

TEST(FixQuadQuadTriangleNodes, BetterSecondTriangleTakesCandidateTwo) {
    // (1, 4, 5) equilateral, (2, 3, 4) about 0.72
    TopologyFixture f = quadQuadTriangleFan();
    f.nodes[2] = {-0.4, 1.1};
    f.nodes[4] = {0.482, -1.895};
    RegionRecord r = buildTopology(f);
    std::ostringstream log;
    ASSERT_TRUE(fixQuadQuadTriangleNodes(r, kOffset, "", log));
    EXPECT_EQ(cornersOf(r.topoElements[1]), (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(cornersOf(r.topoElements[2]), (std::vector<int>{1, 4, 5}));
    EXPECT_EQ(r.topoElements[0].name, -2);
    EXPECT_EQ(topologyFaults(r, 5, kOffset), "");
}

namespace {

// Interior nodes N and M at (-0.5, 0) and (0.5, 0), three quadrilaterals
// each, in the hexagon a1 (top left), a2, a3, b1, b2, b3 (top right).
// `names` gives the node names of a1, a2, a3, b1, b2, b3, N, M.
TopologyFixture valence3Hexagon(const std::array<int, 8>& names, int nb) {
    const std::pair<double, double> at[8] = {{-0.5, 1}, {-1.5, 0}, {-0.5, -1}, {0.5, -1},
                                             {1.5, 0},  {0.5, 1},  {-0.5, 0},  {0.5, 0}};
    TopologyFixture f;
    f.nodes.resize(8);
    for (int k = 0; k < 8; ++k) f.nodes[names[k] - 1] = at[k];
    const auto [a1, a2, a3, b1, b2, b3, n, m] = names;
    f.elements = {{n, a1, a2, a3}, {m, b1, b2, b3}, {n, a3, b1, m}, {m, b3, a1, n}};
    f.nb = nb;
    return f;
}

}  // namespace

TEST(FixAdjacentValence3Nodes, PairAwayFromTheBoundaryIsRecutAlongA3B3) {
    // a2 and b2 on the boundary: two boundary nodes, treated here
    RegionRecord r = buildTopology(valence3Hexagon({3, 1, 4, 5, 2, 6, 7, 8}, 2));
    std::ostringstream log;
    ASSERT_TRUE(fixAdjacentValence3Nodes(r, 2, kOffset, "", log));
    EXPECT_EQ(log.str(), "");
    EXPECT_EQ(cornersOf(r.topoElements[0]), (std::vector<int>{4, 6, 3, 1}));  // equal qualities: a3-b3
    EXPECT_EQ(cornersOf(r.topoElements[1]), (std::vector<int>{6, 4, 5, 2}));
    EXPECT_EQ(r.topoElements[2].name, -1);
    EXPECT_EQ(r.topoElements[3].name, -1);
    EXPECT_EQ(r.topoNodes[6].status, -7);
    EXPECT_EQ(r.topoNodes[7].status, -8);
    EXPECT_EQ(topologyFaults(r, 2, kOffset), "");

    // a1 as well: three boundary nodes, left to the boundary variant
    RegionRecord three = buildTopology(valence3Hexagon({3, 1, 4, 5, 2, 6, 7, 8}, 3));
    const RegionRecord before = three;
    ASSERT_TRUE(fixAdjacentValence3Nodes(three, 3, kOffset, "", log));
    EXPECT_TRUE(sameElements(three, before));

    // a diagonal pair goes to the collapse
    RegionRecord diagonal = buildTopology(valence3Pair());
    ASSERT_TRUE(fixAdjacentValence3NodesNearBoundary(diagonal, straightTable(8), kOffset, "", log));
    EXPECT_LT(diagonal.topoElements[0].name, 0);
    EXPECT_EQ(diagonal.topoNodes[9].status, -9);
}

TEST(FixAdjacentValence3Nodes, MissingCornerFailsWithItsMessage) {
    RegionRecord r = buildTopology(valence3Hexagon({3, 1, 4, 5, 2, 6, 7, 8}, 2));
    r.topoElements[0].c[0] = 9;  // N no longer a corner of its own quadrilateral
    std::ostringstream log;
    EXPECT_FALSE(reduceValence3PairToTwoQuads(r, 7, 8, kOffset, log));
    EXPECT_EQ(log.str(), "Error: Can not find edge for node 7 in element 1\n");
}

TEST(FixAdjacentValence3NodesNearBoundary, CutStartsAtAStraightSharedBoundaryNode) {
    // boundary a2 (1), b2 (2), a3 (3), b1 (4): a3 and b1 are each held by two quadrilaterals
    const std::array<int, 8> names{5, 1, 3, 4, 2, 6, 7, 8};
    struct Case {
        int a3Angle, b1Angle;
        std::vector<int> qn, qm;  // empty: unchanged
    };
    const Case cases[] = {
        {180, 180, {5, 1, 3, 4}, {4, 2, 6, 5}},  // both straight: the second (b1) cuts a1-b1
        {180, 159, {5, 1, 3, 6}, {4, 2, 6, 3}},  // a3 only: cut a3-b3
        {159, 201, {}, {}},
    };
    for (const Case& c : cases) {
        RegionRecord r = buildTopology(valence3Hexagon(names, 4));
        const RegionRecord before = r;
        AngleTable table = straightTable(4);
        table[2].angle = c.a3Angle;
        table[3].angle = c.b1Angle;
        std::ostringstream log;
        ASSERT_TRUE(fixAdjacentValence3NodesNearBoundary(r, table, kOffset, "", log));
        EXPECT_EQ(log.str(), "");
        if (c.qn.empty()) {
            EXPECT_TRUE(sameElements(r, before)) << c.a3Angle << " " << c.b1Angle;
            continue;
        }
        EXPECT_EQ(cornersOf(r.topoElements[0]), c.qn) << c.a3Angle << " " << c.b1Angle;
        EXPECT_EQ(cornersOf(r.topoElements[1]), c.qm);
        EXPECT_EQ(topologyFaults(r, 4, kOffset), "");
    }

    // three boundary nodes (a2, a3, b1): the line, once from N and once from
    // M, and no change
    RegionRecord three = buildTopology(valence3Hexagon({5, 1, 2, 3, 4, 6, 7, 8}, 3));
    const RegionRecord before = three;
    std::ostringstream log;
    ASSERT_TRUE(fixAdjacentValence3NodesNearBoundary(three, straightTable(3), kOffset, "", log));
    const std::string line = " node on boundary==3, under construction ...\n";
    EXPECT_EQ(log.str(), line + line);
    EXPECT_TRUE(sameElements(three, before));
}

namespace {

// Boundary nodes N (1) and B (2) on the bottom edge; triangle (1, 2, 5)
// between them and interior node m (5); quadrilateral (1, 5, 6, 7) touches
// the boundary at N only.
TopologyFixture boundaryTriangleBesideQuad() {
    TopologyFixture f;
    f.nodes = {{0, 0}, {1, 0}, {-1, 0}, {2, 0}, {0.5, 0.8}, {-0.3, 1.5}, {-0.8, 0.6}, {-1.5, 0.8}, {2, 1}};
    f.elements = {{1, 2, 5}, {1, 5, 6, 7}, {3, 1, 7, 8}, {5, 2, 4, 9}};
    f.nb = 4;
    return f;
}

}  // namespace

TEST(ShiftBoundaryTriangleInward, BelowTwoHundredTenDegreesTheTriangleMovesIn) {
    for (int angle : {209, 210}) {
        RegionRecord r = buildTopology(boundaryTriangleBesideQuad());
        const RegionRecord before = r;
        AngleTable table = straightTable(4);
        table[0] = {2, 3, angle};
        table[1] = {4, 1, 209};
        std::ostringstream log;
        ASSERT_TRUE(shiftBoundaryTriangleInward(r, table, kOffset, {}, "", log));
        if (angle == 210) {
            EXPECT_TRUE(sameElements(r, before));
            continue;
        }
        EXPECT_EQ(cornersOf(r.topoElements[0]), (std::vector<int>{1, 2, 5, 7}));  // two boundary corners
        EXPECT_EQ(cornersOf(r.topoElements[1]), (std::vector<int>{5, 6, 7}));
        EXPECT_EQ(r.topoElements[0].nb[0], kNone);
        EXPECT_EQ(topologyFaults(r, 4, kOffset), "");
    }
}

TEST(ShiftBoundaryTriangleInward, TriangleWithoutASecondBoundaryCornerStays) {
    TopologyFixture f = boundaryTriangleBesideQuad();
    f.nb = 1;
    RegionRecord r = buildTopology(f);
    const RegionRecord before = r;
    AngleTable table = straightTable(1);
    table[0].next = 2;
    std::ostringstream log;
    ASSERT_TRUE(shiftBoundaryTriangleInward(r, table, kOffset, {}, "", log));
    EXPECT_TRUE(sameElements(r, before));
}

namespace {

// Node N (named `n`) with the unit square X = (N, e1, D, e2) and the
// triangles (N, f1, e1) and (N, e2, f2) on two of its sides.
TopologyFixture trianglesBesideSquare(const std::array<int, 6>& names, int nb) {
    const std::pair<double, double> at[6] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}, {0.5, -0.8}, {-0.8, 0.5}};
    TopologyFixture f;
    f.nodes.resize(6);
    for (int k = 0; k < 6; ++k) f.nodes[names[k] - 1] = at[k];
    const auto [n, e1, d, e2, f1, f2] = names;
    f.elements = {{n, e1, d, e2}, {n, f1, e1}, {n, e2, f2}};
    f.nb = nb;
    return f;
}

}  // namespace

TEST(ResolveTrianglePairs, QuadrilateralBetweenTheTrianglesIsCutOrGetsANode) {
    // all interior: both qualities above 0.1, D with one element -> the cut
    RegionRecord cut = buildTopology(trianglesBesideSquare({1, 2, 3, 4, 5, 6}, 0));
    std::ostringstream log;
    ASSERT_TRUE(resolveTrianglePairsAtBoundary(cut, {}, kOffset, "", log));
    EXPECT_EQ(cut.nodes.size(), 6u);
    EXPECT_EQ(cut.topoElements[0].name, -2);
    EXPECT_EQ(cornersOf(cut.topoElements[1]), (std::vector<int>{2, 3, 1, 5}));
    EXPECT_EQ(cornersOf(cut.topoElements[2]), (std::vector<int>{1, 3, 4, 6}));
    EXPECT_EQ(liveElements(cut), 2);
    EXPECT_EQ(topologyFaults(cut, 0, kOffset), "");

    // e1 and e2 on the boundary: a boundary diagonal, so a new node a quarter of the way to D
    RegionRecord node = buildTopology(trianglesBesideSquare({3, 1, 4, 2, 5, 6}, 2));
    ASSERT_TRUE(resolveTrianglePairsAtBoundary(node, straightTable(2), kOffset, "", log));
    ASSERT_EQ(node.nodes.size(), 7u);
    EXPECT_DOUBLE_EQ(node.nodes[6].x, 0.25);
    EXPECT_DOUBLE_EQ(node.nodes[6].y, 0.25);
    EXPECT_EQ(cornersOf(node.topoElements[0]), (std::vector<int>{7, 1, 4, 2}));
    EXPECT_EQ(liveElements(node), 3);
    EXPECT_EQ(topologyFaults(node, 2, kOffset), "");
    EXPECT_EQ(log.str(), "");
}

TEST(ResolveTrianglePairs, BoundaryAngleOf270IsNeverHandedOver) {
    for (int angle : {269, 270}) {
        RegionRecord r = buildTopology(trianglesBesideSquare({1, 2, 3, 4, 5, 6}, 1));
        const RegionRecord before = r;
        AngleTable table = straightTable(1);
        table[0].angle = angle;
        std::ostringstream log;
        ASSERT_TRUE(resolveTrianglePairsAtBoundary(r, table, kOffset, "", log));
        EXPECT_EQ(sameElements(r, before), angle == 270) << angle;
    }
}

TEST(ResolveTrianglePairs, NodeBetweenTwoQuadrilateralsGoesWithItsTriangles) {
    TopologyFixture f;
    const double pi = 4.0 * std::atan(1.0);
    auto at = [&](double degrees, double radius) {
        return std::make_pair(radius * std::cos(degrees * pi / 180), radius * std::sin(degrees * pi / 180));
    };
    // a1, b1, x, a2, b2, u around N (7)
    f.nodes = {at(0, 1), at(60, 1), at(120, 1.5), at(180, 1), at(240, 1), at(300, 1.5), {0, 0}};
    f.elements = {{7, 1, 2}, {7, 2, 3, 4}, {7, 4, 5}, {7, 5, 6, 1}};
    RegionRecord r = buildTopology(f);
    std::ostringstream log;
    ASSERT_TRUE(resolveTrianglePairsBetweenQuads(r, 0, kOffset, "", log));
    EXPECT_EQ(r.topoNodes[6].status, -7);
    EXPECT_EQ(liveElements(r), 2);
    EXPECT_EQ(r.topoElements[1].cornerCount, 4);
    EXPECT_EQ(r.topoElements[3].cornerCount, 4);
    EXPECT_EQ(topologyFaults(r, 0, kOffset), "");
}

TEST(QuadChainWholeRuns, FalseFromAPassEndsTheChainBeforeTheCompaction) {
    // One triangle whose first side has a zero neighbour entry: the first
    // call of the chain refuses it.
    RegionRecord r;
    for (auto [x, y] : std::vector<std::pair<double, double>>{{0, 0}, {1, 0}, {0, 1}})
        r.nodes.push_back(MeshNode{static_cast<int>(r.nodes.size()) + 1, x, y, 1.0});
    r.triangles.resize(1);
    r.triangles[0].name = 1;
    r.triangles[0].corners = {1, 2, 3};
    r.neighbours.resize(1);
    r.neighbours[0].n = {1, 0, -1, -1};
    for (int k = 0; k < 3; ++k) {
        NodeAdjacency a;
        a.name = -(k + 1);
        for (int n = 1; n <= 3; ++n)
            if (n != k + 1) a.neighbours[a.neighbourCount++] = n;
        a.elements[a.elementCount++] = 1;
        r.adjacency.push_back(a);
    }
    std::vector<BoundarySegment> segments = {{1, 1, 2, -2}, {2, 2, 3, -2}, {3, 3, 1, -2}};
    r.boundarySides = {{1, 0, -2}, {1, 1, -2}, {1, 2, -2}};
    std::ostringstream log;
    EXPECT_FALSE(optimizeQuadMesh(r, segments, kOffset, log));
    EXPECT_EQ(log.str(), "Error: element name is ZERO for element 1\n");
    EXPECT_EQ(r.topoNodes[0].status, -1);  // not renumbered: the compaction did not run
}
