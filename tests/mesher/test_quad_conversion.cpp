// The quadrilateral conversion of a free region piece by piece, on small
// hand-made topology models: halving the boundary, pairing, the shared
// merge, the topology queries, compaction, the final split and smoothing.
#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <sstream>
#include <vector>

#include <gtest/gtest.h>

#include "TopologyFixture.h"
#include "Tessaro_DLL/free/Recovery.h"
#include "Tessaro_DLL/free/SideCodes.h"
#include "Tessaro_DLL/quad/FinalElements.h"
#include "Tessaro_DLL/quad/QuadConversion.h"
#include "Tessaro_DLL/quad/Smoothing.h"
#include "Tessaro_DLL/quad/TriangleGrid.h"
#include "Tessaro_DLL/topology/Topology.h"
#include "Tessaro_DLL/topology/TriangleMerge.h"

using namespace meshtest;
using namespace tessaro;

namespace {

template <class Slots>
std::vector<int> listOf(const Slots& slots, int count) {
    std::vector<int> list(slots.begin(), slots.begin() + count);
    std::sort(list.begin(), list.end());
    return list;
}

// Area-weighted centroid of a simple polygon (shoelace).
std::pair<double, double> polygonCentroid(const std::vector<std::pair<double, double>>& p) {
    double a = 0.0, cx = 0.0, cy = 0.0;
    for (std::size_t i = 0, j = p.size() - 1; i < p.size(); j = i++) {
        const double cross = p[j].first * p[i].second - p[i].first * p[j].second;
        a += cross;
        cx += (p[j].first + p[i].first) * cross;
        cy += (p[j].second + p[i].second) * cross;
    }
    return {cx / (3.0 * a), cy / (3.0 * a)};
}

// A fan of triangles around node `ring.size() + 1` placed at `centre`.
TopologyFixture fan(const std::vector<std::pair<double, double>>& ring, std::pair<double, double> centre) {
    TopologyFixture f;
    f.nodes = ring;
    f.nodes.push_back(centre);
    const int n = static_cast<int>(ring.size());
    for (int k = 1; k <= n; ++k) f.elements.push_back({k, k % n + 1, n + 1});
    f.nb = n;
    return f;
}

double signedArea(const RegionRecord& r, const MeshElement& el) {
    double a = 0.0;
    for (int k = 0; k < 4; ++k) {
        const MeshNode& p = r.nodes[el.w[1 + k] - 1];
        const MeshNode& q = r.nodes[el.w[1 + (k + 1) % 4] - 1];
        a += 0.5 * (p.x * q.y - q.x * p.y);
    }
    return a;
}

}  // namespace

TEST(QuadBoundary, EightNodesHalveToFourCarryingEveryOtherSegmentsCode) {
    std::vector<MeshNode> nodes;
    std::vector<BoundarySegment> segments;
    for (int k = 1; k <= 8; ++k) {
        nodes.push_back(MeshNode{k, 10.0 * k, 0.0, 1.0});
        segments.push_back(BoundarySegment{k, k, k % 8 + 1, -10 - k});
    }
    std::vector<MeshNode> coarse;
    std::vector<BoundarySegment> coarseSegments;
    coarsenBoundaryForQuads(nodes, segments, coarse, coarseSegments);
    ASSERT_EQ(coarse.size(), 4u);
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(coarse[k].name, k + 1);
        EXPECT_EQ(coarse[k].x, 10.0 * (2 * k + 1));  // input nodes 1, 3, 5, 7
    }
    ASSERT_EQ(coarseSegments.size(), 4u);
    const int expected[4][3] = {{1, 2, -11}, {2, 3, -13}, {3, 4, -15}, {4, 1, -17}};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(coarseSegments[k].number, k + 1);
        EXPECT_EQ(coarseSegments[k].start, expected[k][0]);
        EXPECT_EQ(coarseSegments[k].end, expected[k][1]);
        EXPECT_EQ(coarseSegments[k].code, expected[k][2]);
    }
}

TEST(QuadBoundary, SegmentCodesGoIntoTheSidesTheyLieOn) {
    TopologyFixture f;
    f.nodes = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    f.elements = {{1, 2, 3, 4}};
    RegionRecord r = buildTopology(f);
    r.neighbours.resize(1);
    r.boundarySides = {{1, 0, 3}, {1, 1, -7}, {1, 2, -2}};
    const std::vector<BoundarySegment> segments = {{1, 1, 2, 3}, {2, 2, 3, -7}, {3, 4, 3, -2}};
    assignSideCodesFromSegments(r, 1, segments);
    EXPECT_EQ(r.neighbours[0].n[1], -2);        // a positive code becomes -2
    EXPECT_EQ(r.topoElements[0].nb[1], -7);     // a negative one is kept
    EXPECT_EQ(r.topoElements[0].nb[2], kNone);  // the segment runs the other way
}

TEST(QuadBoundary, AnglesOfAnLShapedBoundary) {
    RegionRecord region;
    const std::vector<std::pair<double, double>> corners = {{0, 0}, {1, 0}, {2, 0}, {2, 1}, {1, 1}, {1, 2}, {0, 2}};
    std::vector<BoundarySegment> segments;
    for (int k = 1; k <= 7; ++k) {
        region.nodes.push_back(MeshNode{k, corners[k - 1].first, corners[k - 1].second, 1.0});
        segments.push_back(BoundarySegment{k, k, k % 7 + 1, -2});
    }
    const std::vector<BoundaryNodeAngle> table = buildBoundaryAngles(region, segments, 7);
    const int expected[7] = {90, 180, 90, 90, 270, 90, 90};
    for (int k = 0; k < 7; ++k) EXPECT_EQ(table[k].angle, expected[k]) << "node " << k + 1;
    EXPECT_EQ(table[4].next, 6);
    EXPECT_EQ(table[4].previous, 4);
}

TEST(QuadPairing, SquareOfTwoRightTrianglesPairsBackIntoTheSquare) {
    TopologyFixture f;
    f.nodes = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    f.elements = {{1, 2, 3}, {1, 3, 4}};
    f.nb = 4;
    RegionRecord r = buildTopology(f);
    EXPECT_NEAR(quadMergeQuality(3, 1, 2, 4, r), 1.0, 1e-12);
    std::ostringstream log;
    ASSERT_TRUE(pairTriangles(r, kOffset, log));
    EXPECT_FALSE(r.topoElements[0].isTriangle);
    EXPECT_EQ(cornersOf(r.topoElements[0]), (std::vector<int>{4, 1, 2, 3}));
    EXPECT_EQ(r.topoElements[1].name, -1);
    EXPECT_NEAR(quadElementQuality(r, r.topoElements[0]), 1.0, 1e-12);
    for (int side = 0; side < 4; ++side) EXPECT_EQ(r.topoElements[0].nb[side], kNone);
    for (int node = 1; node <= 4; ++node) {
        const TopoNode& n = r.topoNodes[node - 1];
        EXPECT_EQ(n.triangleCount, 0);
        EXPECT_EQ(listOf(n.quads, n.quadCount), std::vector<int>{1});
        EXPECT_EQ(n.neighbourCount, 3) << "node " << node;
    }
    EXPECT_TRUE(log.str().empty());
}

TEST(QuadPairing, NonConvexPairNeverMerges) {
    TopologyFixture f;
    f.nodes = {{0, 0}, {2, 0}, {1, 0.3}, {1, 2}};
    f.elements = {{1, 2, 3}, {1, 3, 4}};
    RegionRecord r = buildTopology(f);
    EXPECT_LT(quadMergeQuality(3, 1, 2, 4, r), 0.0);
    std::ostringstream log;
    ASSERT_TRUE(pairTriangles(r, kOffset, log));
    EXPECT_TRUE(r.topoElements[0].isTriangle);
    EXPECT_TRUE(r.topoElements[1].isTriangle);
    EXPECT_EQ(r.topoElements[1].name, 2);
}

TEST(QuadPairing, EqualQualitiesGoToTheLaterSide) {
    // Right isosceles triangle 1 with mirror-image partners below (side 0)
    // and to the left (side 2); its hypotenuse is on the boundary.
    TopologyFixture f;
    f.nodes = {{0, 0}, {1, 0}, {0, 1}, {0.5, -0.5}, {-0.5, 0.5}};
    f.elements = {{1, 2, 3}, {1, 4, 2}, {3, 5, 1}};
    RegionRecord r = buildTopology(f);
    EXPECT_EQ(quadMergeQuality(1, 2, 3, 4, r), quadMergeQuality(3, 1, 2, 5, r));
    std::ostringstream log;
    ASSERT_TRUE(pairTriangles(r, kOffset, log));
    EXPECT_EQ(r.topoElements[2].name, -1);  // the left partner was taken
    EXPECT_TRUE(r.topoElements[1].isTriangle);
    EXPECT_EQ(r.topoElements[1].name, 2);
    EXPECT_EQ(r.topoElements[1].nb[2], -1);  // towards the new quadrilateral
}

TEST(QuadPairing, NodeListsOnTheHeapPairAlike) {
    // The square of two triangles, node 2's lists moved to the heap as a
    // node of many elements has them: the pairing reads and extends them
    // as it does the lists held in place.
    TopologyFixture f;
    f.nodes = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    f.elements = {{1, 2, 3}, {1, 3, 4}};
    f.nb = 4;
    RegionRecord r = buildTopology(f);
    TopoNode& crowded = r.topoNodes[1];
    crowded.neighbours.reserve(3 * TopoNode::kMaxNeighbours);
    crowded.triangles.reserve(3 * TopoNode::kMaxTriangles);
    crowded.quads.reserve(3 * TopoNode::kMaxQuads);
    ASSERT_GT(crowded.neighbours.capacity(), static_cast<std::size_t>(TopoNode::kMaxNeighbours));
    std::ostringstream log;
    ASSERT_TRUE(pairTriangles(r, kOffset, log));
    const TopoNode& n = r.topoNodes[1];
    EXPECT_EQ(n.triangleCount, 0);
    EXPECT_EQ(listOf(n.quads, n.quadCount), std::vector<int>{1});
    EXPECT_EQ(listOf(n.neighbours, n.neighbourCount), (std::vector<int>{1, 3, 4}));
    EXPECT_TRUE(log.str().empty());
}

TEST(QuadChain, FortyEightCallsWithSmoothingAfterNineAndTwentySeven) {
    const std::vector<ChainCall>& calls = quadChainCalls();
    ASSERT_EQ(calls.size(), 48u);
    std::vector<int> checks, smoothed;
    for (std::size_t k = 0; k < calls.size(); ++k) {
        if (std::string(calls[k].pass) == "checkTriangleNeighbours") checks.push_back(static_cast<int>(k) + 1);
        if (calls[k].smoothAfter) smoothed.push_back(static_cast<int>(k) + 1);
    }
    EXPECT_EQ(checks, (std::vector<int>{1, 4, 6, 11, 17, 24, 26, 32, 37, 41}));
    EXPECT_EQ(smoothed, (std::vector<int>{9, 27}));
    EXPECT_STREQ(calls[47].pass, "removeValence2Nodes");
    EXPECT_EQ(codeOffsetFor(999999), 1000000);
    EXPECT_EQ(codeOffsetFor(1000000), 10000000);
}

TEST(TriangleMerge, TwoTrianglesBecomeOneQuadrilateralNamedAfterTheFirst) {
    TopologyFixture f;
    f.nodes = {{0, 0}, {1, 0}, {0, 1}, {1, 1}, {2, 0.5}};
    f.elements = {{1, 2, 3}, {3, 2, 4}, {2, 5, 4}};
    RegionRecord r = buildTopology(f);
    ASSERT_TRUE(mergeTrianglePair(r, 1, 2, kOffset));
    const TopoElement& quad = r.topoElements[0];
    EXPECT_EQ(cornersOf(quad), (std::vector<int>{1, 2, 4, 3}));
    EXPECT_FALSE(quad.isTriangle);
    EXPECT_EQ(quad.nb, (std::array<int, 4>{kNone, 3, kNone, kNone}));  // boundary sides stay boundary
    EXPECT_EQ(r.topoElements[1].name, -1);
    EXPECT_EQ(cornersOf(r.topoElements[1]), (std::vector<int>{1, 2, 4}));  // corner count stays 3
    EXPECT_EQ(r.topoElements[1].c[3], 3);
    EXPECT_EQ(r.topoElements[2].nb[2], -1);
    const TopoNode& two = r.topoNodes[1];
    EXPECT_EQ(listOf(two.triangles, two.triangleCount), std::vector<int>{3});
    EXPECT_EQ(listOf(two.quads, two.quadCount), std::vector<int>{1});
    EXPECT_EQ(listOf(two.neighbours, two.neighbourCount), (std::vector<int>{1, 3, 4, 5}));
}

TEST(TriangleMerge, LinkingAcrossAnEdgeSignsByKind) {
    TopologyFixture f;
    f.nodes = {{0, 0}, {1, 0}, {1, 1}, {0, 1}, {2, 0}};
    f.elements = {{1, 2, 3, 4}, {2, 5, 3}};
    RegionRecord r = buildTopology(f);
    r.topoElements[0].nb[1] = kNone;
    r.topoElements[1].nb[2] = kNone;
    linkElementsAcrossEdge(2, 3, {2, 1}, r);
    EXPECT_EQ(r.topoElements[0].nb[1], 2);
    EXPECT_EQ(r.topoElements[1].nb[2], -1);
    linkElementsAcrossEdge(1, 5, {1, 2}, r);  // no side 1-5: nothing changes
    EXPECT_EQ(r.topoElements[0].nb[0], kNone);
}

TEST(TopologyQueries, NodeListsGrowBeyondTheSlotsHeldInPlace) {
    RegionRecord r;
    r.topoNodes.resize(30);
    setNodeElementLists(1, r, {5, -7, 0, 9});
    EXPECT_EQ(listOf(r.topoNodes[0].triangles, r.topoNodes[0].triangleCount), (std::vector<int>{5, 9}));
    EXPECT_EQ(listOf(r.topoNodes[0].quads, r.topoNodes[0].quadCount), std::vector<int>{7});
    EXPECT_EQ(r.topoNodes[0].neighbourCount, 0);

    // A fan of 40 triangles (1, k, k + 1) round node 1: its lists hold all of
    // them and their 41 other corners, twice the slots held in place.
    std::vector<int> fanElements;
    for (int k = 2; k <= 41; ++k) {
        TopoElement el;
        el.name = k - 1;
        el.c = {1, k, k + 1, 0};
        r.topoElements.push_back(el);
        fanElements.push_back(el.name);
    }
    std::vector<int> expected;
    for (int k = 2; k <= 42; ++k) expected.push_back(k);
    setNodeElementLists(1, r, fanElements);
    rebuildNodeNeighbours(r, 1, fanElements);
    EXPECT_EQ(listOf(r.topoNodes[0].triangles, r.topoNodes[0].triangleCount), fanElements);
    EXPECT_EQ(listOf(r.topoNodes[0].neighbours, r.topoNodes[0].neighbourCount), expected);
    // Refilled from fewer elements, the list keeps no stale names.
    std::vector<int> three(fanElements.begin(), fanElements.begin() + 3);
    rebuildNodeNeighbours(r, 1, three);
    EXPECT_EQ(listOf(r.topoNodes[0].neighbours, r.topoNodes[0].neighbourCount), (std::vector<int>{2, 3, 4, 5}));
    EXPECT_EQ(r.topoNodes[0].neighbours[4], 0);
    // A copied record holds its own list.
    const TopoNode copy = r.topoNodes[0];
    setNodeElementLists(1, r, three);
    EXPECT_EQ(listOf(copy.triangles, copy.triangleCount), fanElements);
    EXPECT_EQ(listOf(r.topoNodes[0].triangles, r.topoNodes[0].triangleCount), three);

    // Element 2 is (1, 3, 4).
    EXPECT_EQ(sideIndexInElement(4, 3, 2, r), 1);
    EXPECT_EQ(sideIndexInElement(1, 4, 2, r), 2);
    EXPECT_EQ(sideIndexInElement(3, 5, 2, r), -1);
    EXPECT_EQ(cornerIndexInElement(4, 2, r), 2);
    EXPECT_EQ(cornerIndexInElement(9, 3, r), -1);
}

TEST(TopologyQueries, ExchangingNodeNumbersSwapsEveryReference) {
    // Boundary 1 -> 3 -> 2 -> 4: exchanging 2 and 3 makes it consecutive.
    TopologyFixture f;
    f.nodes = {{0, 0}, {1, 1}, {1, 0}, {0, 1}};
    f.elements = {{1, 3, 2}, {1, 2, 4}};
    f.nb = 4;
    RegionRecord r = buildTopology(f);
    exchangeNodeNumbers(3, 2, r, 1);
    EXPECT_EQ(cornersOf(r.topoElements[0]), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(cornersOf(r.topoElements[1]), (std::vector<int>{1, 3, 4}));
    EXPECT_EQ(r.nodes[1].x, 1.0);
    EXPECT_EQ(r.nodes[1].y, 0.0);
    EXPECT_EQ(r.topoNodes[1].status, 2);  // the slot's number
    EXPECT_EQ(listOf(r.topoNodes[1].triangles, r.topoNodes[1].triangleCount), std::vector<int>{1});
    EXPECT_EQ(listOf(r.topoNodes[3].neighbours, r.topoNodes[3].neighbourCount), (std::vector<int>{1, 3}));
    EXPECT_EQ(listOf(r.topoNodes[0].neighbours, r.topoNodes[0].neighbourCount), (std::vector<int>{2, 3, 4}));
}

TEST(TopologyQueries, QuadrilateralSideFourAndSharedElementsListedOnce) {
    RegionRecord r = buildTopology(gridFixture(2, 1, false));
    EXPECT_EQ(sideIndexInElement(1, 4, 1, r), 3);
    EXPECT_EQ(sideIndexInElement(4, 1, 1, r), 3);
    EXPECT_EQ(collectNodeElements(r, {2, 5}), (std::vector<int>{1, 2}));
    EXPECT_EQ(collectElementNodes(r, {-2, 1}, kTopoElements), (std::vector<int>{2, 3, 6, 5, 1, 4}));
    EXPECT_TRUE(hasMoreThanTwoBoundaryNodes(3, {1, 2}, r));
    EXPECT_FALSE(hasMoreThanTwoBoundaryNodes(2, {1, 2}, r));
}

TEST(FinalElements, ZeroNeighbourEntryStopsTheCheck) {
    TopologyFixture f;
    f.nodes = {{0, 0}, {1, 0}, {0, 1}};
    f.elements = {{1, 2, 3}};
    RegionRecord r = buildTopology(f);
    r.topoElements[0].nb[1] = 0;
    std::ostringstream log;
    EXPECT_FALSE(checkTriangleNeighbours(r, kOffset, "optimization_history.dat", log));
    EXPECT_EQ(log.str(), "Error: element name is ZERO for element 1\n");
}

TEST(FinalElements, CheckMergesNeighbouringTrianglesAndLeavesLoneOnes) {
    // Two triangles beside a quadrilateral, and a lone triangle beside it.
    TopologyFixture f;
    f.nodes = {{0, 0}, {1, 0}, {1, 1}, {0, 1}, {2, 0}, {2, 1}, {-1, 0.5}};
    f.elements = {{1, 2, 3, 4}, {2, 5, 6}, {2, 6, 3}, {1, 4, 7}};
    RegionRecord r = buildTopology(f);
    std::ostringstream log;
    ASSERT_TRUE(checkTriangleNeighbours(r, kOffset, "optimization_history.dat", log));
    EXPECT_FALSE(r.topoElements[1].isTriangle);
    EXPECT_EQ(r.topoElements[2].name, -2);
    EXPECT_TRUE(r.topoElements[3].isTriangle);
    EXPECT_EQ(r.topoElements[0].nb[1], -2);
    EXPECT_TRUE(log.str().empty());
}

TEST(FinalElements, CompactionNumbersFromOneWithoutSigns) {
    TopologyFixture f = gridFixture(2, 1, true);
    f.nb = 6;
    RegionRecord r = buildTopology(f);
    std::ostringstream log;
    ASSERT_TRUE(pairTriangles(r, kOffset, log));
    compactAndRenumber(r, 6, kOffset);
    ASSERT_EQ(r.topoElements.size(), 2u);
    ASSERT_EQ(r.topoNodes.size(), 6u);
    for (int e = 0; e < 2; ++e) {
        const TopoElement& el = r.topoElements[e];
        EXPECT_EQ(el.name, e + 1);
        int shared = 0, open = 0;
        for (int k = 0; k < 4; ++k) {
            if (el.nb[k] == 2 - e) ++shared;
            if (el.nb[k] == -1) ++open;
        }
        EXPECT_EQ(shared, 1);
        EXPECT_EQ(open, 3);
    }
    for (int k = 0; k < 6; ++k) {
        EXPECT_EQ(r.topoNodes[k].status, k + 1);
        EXPECT_EQ(r.nodes[k].name, k + 1);
        for (int q = 0; q < r.topoNodes[k].quadCount; ++q) EXPECT_LE(r.topoNodes[k].quads[q], 2);
    }
}

TEST(FinalElements, QuadrilateralAndTriangleSplitIntoSevenOnTheDoubledBoundary) {
    // Quadrilateral (1, 2, 4, 5) and triangle (2, 3, 4) share side 2-4; the
    // boundary runs 1..5.
    TopologyFixture f;
    f.nodes = {{0, 0}, {1, 0}, {2, 0.5}, {1, 1}, {0, 1}};
    f.elements = {{1, 2, 4, 5}, {2, 3, 4}};
    f.nb = 5;
    RegionRecord r = buildTopology(f);
    compactAndRenumber(r, 5, kOffset);
    r.boundarySides = {{1, 0, -2}, {2, 0, -2}, {2, 1, -2}, {1, 2, -2}, {1, 3, -2}};
    r.codedSides = r.boundarySides;
    std::ostringstream log;
    ASSERT_TRUE(buildElementsFromTopology(r, {}, log)) << log.str();
    ASSERT_EQ(r.elements.size(), 7u);          // 4 m + 3 t
    EXPECT_EQ(r.nodes.size(), 10u + 1u + 2u);  // doubled boundary, one shared midpoint, two centroids
    double area = 0.0;
    for (const MeshElement& el : r.elements) {
        EXPECT_GT(signedArea(r, el), 0.0);
        area += signedArea(r, el);
    }
    EXPECT_NEAR(area, 1.5, 1e-12);
    // Old boundary nodes keep their place under odd names; even names are
    // the midpoints of the boundary sides.
    for (int k = 1; k <= 5; ++k) {
        const auto& p = f.nodes[k - 1];
        const auto& q = f.nodes[k % 5];
        EXPECT_EQ(r.nodes[2 * k - 2].x, p.first);
        EXPECT_EQ(r.nodes[2 * k - 2].y, p.second);
        EXPECT_DOUBLE_EQ(r.nodes[2 * k - 1].x, 0.5 * (p.first + q.first));
        EXPECT_DOUBLE_EQ(r.nodes[2 * k - 1].y, 0.5 * (p.second + q.second));
    }
    EXPECT_EQ(r.codedSides.size(), 10u);
    // Neighbours are mutual; each side either has one or carries a code.
    int open = 0;
    for (std::size_t e = 0; e < r.elements.size(); ++e)
        for (int k = 0; k < 4; ++k) {
            const int n = r.neighbours[e].n[1 + k];
            if (n > 0) {
                const auto& back = r.neighbours[n - 1].n;
                EXPECT_NE(std::find(back.begin() + 1, back.begin() + 5, static_cast<int>(e) + 1), back.begin() + 5);
            } else {
                EXPECT_EQ(n, -2);
                ++open;
            }
        }
    EXPECT_EQ(open, 10);
    for (int k = 1; k <= 10; ++k) EXPECT_LT(r.adjacency[k - 1].name, 0) << "boundary node " << k << " is fixed";
}

TEST(Smoothing, NodesMoveToTheMeanOrTheWeightedCentroid) {
    // Irregular rings, so that the plain mean and the area-weighted
    // centroid differ.
    const std::vector<std::pair<double, double>> four = {{0, 0}, {3, 0}, {3.5, 2}, {0, 1}};
    const std::vector<std::pair<double, double>> five = {{0, 0}, {3, 0}, {3.5, 2}, {1, 2.5}, {-0.5, 1}};
    {
        RegionRecord r = buildTopology(fan(four, {1, 1}));
        smoothNodes(r);
        EXPECT_NEAR(r.nodes[4].x, (0 + 3 + 3.5 + 0) / 4.0, 1e-12);
        EXPECT_NEAR(r.nodes[4].y, (0 + 0 + 2 + 1) / 4.0, 1e-12);
        for (int k = 0; k < 4; ++k) EXPECT_EQ(r.nodes[k].x, four[k].first);
    }
    {
        RegionRecord r = buildTopology(fan(five, {1, 1}));
        smoothNodes(r);
        const auto [cx, cy] = polygonCentroid(five);
        EXPECT_NEAR(r.nodes[5].x, cx, 1e-12);
        EXPECT_NEAR(r.nodes[5].y, cy, 1e-12);
        for (int k = 0; k < 5; ++k) EXPECT_EQ(r.nodes[k].y, five[k].second);
    }
}

TEST(Smoothing, UnitGridStaysAndBoundaryNodesHold) {
    RegionRecord r = buildTopology(gridFixture(2, 2, false));
    for (TopoNode& n : r.topoNodes) n.status = -std::abs(n.status);
    r.topoNodes[4].status = 5;  // the centre node
    const std::vector<MeshNode> before = r.nodes;
    smoothNodes(r);
    for (std::size_t k = 0; k < r.nodes.size(); ++k) {
        EXPECT_EQ(r.nodes[k].x, before[k].x);
        EXPECT_EQ(r.nodes[k].y, before[k].y);
    }
    r.nodes[4].x = 1.3;
    r.nodes[4].y = 0.8;
    smoothNodes(r);
    EXPECT_NEAR(r.nodes[4].x, 1.0, 1e-12);
    EXPECT_NEAR(r.nodes[4].y, 1.0, 1e-12);
}

TEST(Smoothing, LaplaceKeepsFixedAndHeldNodesAndTheirNeighbours) {
    // A 2 x 2 grid of final quadrilaterals; the centre is moved off.
    RegionRecord r = buildTopology(gridFixture(2, 2, false));
    std::vector<MeshElement> elements;
    for (const TopoElement& el : r.topoElements) {
        MeshElement m;
        m.w[0] = el.name;
        for (int k = 0; k < 4; ++k) m.w[1 + k] = el.c[k];
        elements.push_back(m);
    }
    std::vector<NodeAdjacency> adjacency(9);
    for (int k = 0; k < 9; ++k) {
        const TopoNode& n = r.topoNodes[k];
        adjacency[k].name = k == 4 ? 5 : -(k + 1);
        adjacency[k].neighbourCount = n.neighbourCount;
        std::copy(n.neighbours.begin(), n.neighbours.end(), adjacency[k].neighbours.begin());
        adjacency[k].elementCount = n.quadCount;
        std::copy(n.quads.begin(), n.quads.begin() + 14, adjacency[k].elements.begin());
    }
    std::vector<MeshNode> nodes = r.nodes;
    nodes[4].x = 1.3;
    laplaceSmooth(nodes, elements, adjacency, {});
    EXPECT_NEAR(nodes[4].x, 1.0, 1e-12);
    for (int k = 0; k < 9; ++k) {
        if (k == 4) continue;
        EXPECT_EQ(nodes[k].x, r.nodes[k].x);
    }
    nodes[4].x = 1.3;
    laplaceSmooth(nodes, elements, adjacency, {2});  // a held neighbour keeps the centre
    EXPECT_EQ(nodes[4].x, 1.3);
}

TEST(Smoothing, PoorCornersAreMovedBelowTheLimits) {
    // The centre of a 2 x 2 grid moved towards a corner gives one element a
    // corner of 168.6 degrees; the pattern search brings every corner below
    // 160 degrees and above a scaled Jacobian of 0.2, the fixed nodes stay.
    RegionRecord r = buildTopology(gridFixture(2, 2, false));
    std::vector<MeshElement> elements;
    for (const TopoElement& el : r.topoElements) {
        MeshElement m;
        m.w[0] = el.name;
        for (int k = 0; k < 4; ++k) m.w[1 + k] = el.c[k];
        elements.push_back(m);
    }
    std::vector<NodeAdjacency> adjacency(9);
    for (int k = 0; k < 9; ++k) {
        const TopoNode& n = r.topoNodes[k];
        adjacency[k].name = k == 4 ? 5 : -(k + 1);
        adjacency[k].neighbourCount = n.neighbourCount;
        std::copy(n.neighbours.begin(), n.neighbours.end(), adjacency[k].neighbours.begin());
        adjacency[k].elementCount = n.quadCount;
        std::copy(n.quads.begin(), n.quads.begin() + 14, adjacency[k].elements.begin());
    }
    std::vector<MeshNode> nodes = r.nodes;
    nodes[4].x = 1.45;
    nodes[4].y = 1.45;
    auto extremes = [&](double& largest, double& smallestSine) {
        largest = 0.0;
        smallestSine = 1.0;
        for (const MeshElement& el : elements)
            for (int k = 0; k < 4; ++k) {
                const MeshNode& p = nodes[el.w[1 + (k + 3) % 4] - 1];
                const MeshNode& c = nodes[el.w[1 + k] - 1];
                const MeshNode& q = nodes[el.w[1 + (k + 1) % 4] - 1];
                const double ux = q.x - c.x, uy = q.y - c.y, vx = p.x - c.x, vy = p.y - c.y;
                double angle = std::atan2(ux * vy - uy * vx, ux * vx + uy * vy) * 180.0 / std::acos(-1.0);
                if (angle < 0.0) angle += 360.0;
                largest = std::max(largest, angle);
                smallestSine = std::min(smallestSine, std::sin(angle * std::acos(-1.0) / 180.0));
            }
    };
    double largest = 0.0, smallestSine = 0.0;
    extremes(largest, smallestSine);
    ASSERT_NEAR(largest, 168.58, 0.01);
    improvePoorCorners(nodes, elements, adjacency);
    extremes(largest, smallestSine);
    EXPECT_LT(largest, 160.0);
    EXPECT_GE(smallestSine, 0.2);
    for (int k = 0; k < 9; ++k) {
        if (k == 4) continue;
        EXPECT_EQ(nodes[k].x, r.nodes[k].x);
        EXPECT_EQ(nodes[k].y, r.nodes[k].y);
    }
}

// The nearest listed live triangle found by the grid equals the one a scan
// of the whole list finds, while triangles move, turn into quadrilaterals,
// are removed and thin out to a few far apart (the grid is laid out anew).
TEST(TriangleGrid, NearestEqualsAScanOfAllListedTriangles) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> coordinate(0.0, 50.0);
    RegionRecord r;
    const int count = 400;
    for (int k = 0; k < 3 * count; ++k) r.nodes.push_back(MeshNode{k + 1, coordinate(rng), coordinate(rng) * 0.2, 0.0});
    for (int e = 1; e <= count; ++e) {
        TopoElement el;
        el.name = e;
        el.c = {3 * e - 2, 3 * e - 1, 3 * e, 0};
        r.topoElements.push_back(el);
    }
    std::vector<int> listed;
    for (int e = 1; e <= count; e += 2) listed.push_back(e);  // the odd ones only
    TriangleGrid grid;
    grid.build(r, listed);

    auto scan = [&](double x, double y, int e, int f) {
        double best = std::numeric_limits<double>::infinity();
        for (int t : listed) {
            const TopoElement& el = r.topoElements[t - 1];
            if (t == e || t == f || el.name <= 0 || !el.isTriangle) continue;
            double cx = 0.0, cy = 0.0;
            for (int k = 0; k < 3; ++k) {
                cx += r.nodes[el.c[k] - 1].x / 3.0;
                cy += r.nodes[el.c[k] - 1].y / 3.0;
            }
            best = std::min(best, (cx - x) * (cx - x) + (cy - y) * (cy - y));
        }
        return best;
    };
    auto compare = [&](const char* stage) {
        for (int q = 0; q < 200; ++q) {
            const double x = coordinate(rng), y = coordinate(rng) * 0.2;
            const int e = 1 + static_cast<int>(rng() % count), f = 1 + static_cast<int>(rng() % count);
            ASSERT_EQ(grid.nearest(x, y, e, f), scan(x, y, e, f)) << stage << ", query " << q;
        }
    };
    compare("as built");

    std::uniform_int_distribution<int> pick(1, count);
    for (int step = 0; step < 300; ++step) {
        const int e = pick(rng);
        TopoElement& el = r.topoElements[e - 1];
        switch (step % 3) {
            case 0: el.c = {pick(rng), pick(rng), pick(rng), 0}; break;  // corners change
            case 1: el.isTriangle = !el.isTriangle; break;               // quadrilateral and back
            default: el.name = -el.name; break;                          // removed (or back)
        }
        grid.update(r, e);
    }
    compare("after changes");

    for (int e : listed)
        if (e > 20) {
            r.topoElements[e - 1].name = -e;
            grid.update(r, e);
        }
    compare("a few left");
    for (int e : listed) {
        r.topoElements[e - 1].name = -e;
        grid.update(r, e);
    }
    EXPECT_EQ(grid.nearest(10.0, 5.0, 0, 0), std::numeric_limits<double>::infinity());
}
