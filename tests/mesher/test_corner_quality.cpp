// Corner quality of finished free meshes and the numbering of refined
// triangulations by place: the lift of the poorest corners on small
// hand-made patches, and the renumbering checked against the triangulation
// it came from.
#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <random>
#include <set>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "TopologyFixture.h"
#include "Tessaro_DLL/free/NodeOrder.h"
#include "Tessaro_DLL/quad/Smoothing.h"

using namespace meshtest;
using namespace tessaro;

namespace {

const double kPi = std::acos(-1.0);

// Final elements and adjacency of a fixture whose nodes listed in `free`
// may move (the others are fixed).
struct FinalPatch {
    std::vector<MeshNode> nodes;
    std::vector<MeshElement> elements;
    std::vector<NodeAdjacency> adjacency;
};

FinalPatch finalPatch(const TopologyFixture& fixture, const std::set<int>& free) {
    FinalPatch p;
    const int count = static_cast<int>(fixture.nodes.size());
    for (int k = 0; k < count; ++k)
        p.nodes.push_back(MeshNode{k + 1, fixture.nodes[k].first, fixture.nodes[k].second, 0.0});
    p.adjacency.resize(count);
    for (int k = 0; k < count; ++k) p.adjacency[k].name = free.count(k + 1) ? k + 1 : -(k + 1);
    for (std::size_t e = 0; e < fixture.elements.size(); ++e) {
        const std::vector<int>& c = fixture.elements[e];
        MeshElement m;
        m.w[0] = static_cast<int>(e) + 1;
        for (std::size_t k = 0; k < c.size(); ++k) m.w[1 + k] = c[k];
        p.elements.push_back(m);
        for (int node : c) {
            NodeAdjacency& a = p.adjacency[node - 1];
            a.elements[a.elementCount++] = m.w[0];
            for (int other : c)
                if (other != node && std::find(a.neighbours.begin(), a.neighbours.begin() + a.neighbourCount, other) ==
                                         a.neighbours.begin() + a.neighbourCount)
                    a.neighbours[a.neighbourCount++] = other;
        }
    }
    return p;
}

// Largest corner (degrees) and smallest corner sine of the patch.
std::pair<double, double> cornerExtremes(const FinalPatch& p) {
    double largest = 0.0, smallestSine = 1.0;
    for (const MeshElement& el : p.elements) {
        const int count = el.w[4] == 0 ? 3 : 4;
        for (int k = 0; k < count; ++k) {
            const MeshNode& a = p.nodes[el.w[1 + (k + count - 1) % count] - 1];
            const MeshNode& c = p.nodes[el.w[1 + k] - 1];
            const MeshNode& b = p.nodes[el.w[1 + (k + 1) % count] - 1];
            const double ux = b.x - c.x, uy = b.y - c.y, vx = a.x - c.x, vy = a.y - c.y;
            double angle = std::atan2(ux * vy - uy * vx, ux * vx + uy * vy) * 180.0 / kPi;
            if (angle < 0.0) angle += 360.0;
            largest = std::max(largest, angle);
            smallestSine = std::min(smallestSine, std::sin(angle * kPi / 180.0));
        }
    }
    return {largest, smallestSine};
}

}  // namespace

// The centre of a 2 x 2 grid of unit squares pushed off within the limits
// (largest corner 131 degrees): the one position where every corner is
// square is the centre of the grid, and the lift brings the node there.
// The same with the patch cut into triangles (corners of 45 and 90 degrees
// at the centre): a node pulled close to one side leaves a corner below 30
// degrees, which the lift raises above 30 degrees (the regular patch has
// 45).
TEST(CornerQuality, PoorestCornersAreLiftedToTheRegularPatch) {
    struct Case {
        bool triangles;
        double x, y;
        double smallestSine;  // of the regular patch
    };
    for (const Case c : {Case{false, 1.35, 1.2, 1.0}, Case{true, 1.1, 1.75, std::sin(kPi / 4)}}) {
        SCOPED_TRACE(c.triangles ? "triangles" : "quadrilaterals");
        FinalPatch p = finalPatch(gridFixture(2, 2, c.triangles), {5});
        p.nodes[4].x = c.x;
        p.nodes[4].y = c.y;
        const auto [largestBefore, sineBefore] = cornerExtremes(p);
        ASSERT_LT(largestBefore, 160.0);
        ASSERT_LT(sineBefore, c.triangles ? 0.5 : 0.8);
        raisePoorestCorners(p.nodes, p.elements, p.adjacency);
        const auto [largest, smallestSine] = cornerExtremes(p);
        if (c.triangles) {
            // Lifted past 30 degrees, the triangles' mark, short of the
            // regular patch's 45.
            EXPECT_GE(smallestSine, 0.5);
            EXPECT_LE(smallestSine, c.smallestSine + 1e-9);
        } else {
            EXPECT_NEAR(smallestSine, c.smallestSine, 0.01);
            EXPECT_NEAR(p.nodes[4].x, 1.0, 0.02);
            EXPECT_NEAR(p.nodes[4].y, 1.0, 0.02);
        }
        EXPECT_LT(largest, 160.0);
        for (int k = 0; k < 9; ++k) {
            if (k == 4) continue;
            EXPECT_EQ(p.nodes[k].x, static_cast<double>(k % 3));
            EXPECT_EQ(p.nodes[k].y, static_cast<double>(k / 3));
        }
    }
}

// A corner the node cannot change (the region's own 8 degree corner at the
// tip of a wedge) does not keep the node from lifting the corners it does
// change: a node pressed towards one side of the wedge, leaving corners of
// 34 and 146 degrees, moves until no other corner is sharper than 30 or
// blunter than 150 degrees, while the tip stays the sharpest corner.
TEST(CornerQuality, AFixedSharpCornerDoesNotHoldTheLiftBack) {
    const double tip = 8.0 * kPi / 180.0;
    TopologyFixture f;
    f.nodes = {{0, 0}, {4, 0},      {4 * std::cos(tip), 4 * std::sin(tip)},
               {2, 0}, {2.15, 0.1}, {2 * std::cos(tip), 2 * std::sin(tip)}};
    f.elements = {{1, 4, 5, 6}, {4, 2, 3, 5}};
    FinalPatch p = finalPatch(f, {5});
    // Smallest sine and largest angle of the corners other than the tip.
    auto others = [&]() {
        double sine = 1.0, largest = 0.0;
        for (const MeshElement& el : p.elements)
            for (int k = 0; k < 4; ++k) {
                if (el.w[1 + k] == 1) continue;
                const MeshNode& a = p.nodes[el.w[1 + (k + 3) % 4] - 1];
                const MeshNode& c = p.nodes[el.w[1 + k] - 1];
                const MeshNode& b = p.nodes[el.w[1 + (k + 1) % 4] - 1];
                const double ux = b.x - c.x, uy = b.y - c.y, vx = a.x - c.x, vy = a.y - c.y;
                double angle = std::atan2(ux * vy - uy * vx, ux * vx + uy * vy) * 180.0 / kPi;
                if (angle < 0.0) angle += 360.0;
                largest = std::max(largest, angle);
                sine = std::min(sine, std::sin(angle * kPi / 180.0));
            }
        return std::make_pair(sine, largest);
    };
    ASSERT_NEAR(cornerExtremes(p).second, std::sin(tip), 1e-9);
    const auto [sineBefore, largestBefore] = others();
    ASSERT_LT(sineBefore, 0.6);
    ASSERT_GT(largestBefore, 145.0);
    raisePoorestCorners(p.nodes, p.elements, p.adjacency);
    EXPECT_NEAR(cornerExtremes(p).second, std::sin(tip), 1e-9);
    const auto [sine, largest] = others();
    EXPECT_GT(sine, 0.7);
    EXPECT_LT(largest, 135.0);
}

// A triangulated grid whose free nodes and triangles were shuffled: after
// the numbering by place the fixed nodes keep their numbers, every triangle
// has the corners (as points) and neighbours (found anew from shared sides)
// it had, and consecutive free nodes lie near each other.
TEST(NodeOrder, TriangulationNumberedByPlaceKeepsItsTriangles) {
    const int n = 24;
    const TopologyFixture grid = gridFixture(n, n, true);
    const int nodeCount = static_cast<int>(grid.nodes.size());
    // Boundary nodes first, as a free region numbers them.
    std::vector<int> order;
    auto onBoundary = [&](int k) {
        const auto [x, y] = grid.nodes[k];
        return x == 0 || y == 0 || x == n || y == n;
    };
    for (int k = 0; k < nodeCount; ++k)
        if (onBoundary(k)) order.push_back(k);
    const int fixed = static_cast<int>(order.size());
    std::vector<int> interior;
    for (int k = 0; k < nodeCount; ++k)
        if (!onBoundary(k)) interior.push_back(k);
    std::mt19937 rng(11);
    std::shuffle(interior.begin(), interior.end(), rng);
    order.insert(order.end(), interior.begin(), interior.end());
    std::vector<int> numberOf(nodeCount);
    RegionRecord region;
    for (int k = 0; k < nodeCount; ++k) {
        numberOf[order[k]] = k + 1;
        region.nodes.push_back(MeshNode{k + 1, grid.nodes[order[k]].first, grid.nodes[order[k]].second, 0.0});
    }
    std::vector<std::vector<int>> triangles = grid.elements;
    std::shuffle(triangles.begin(), triangles.end(), rng);
    for (std::size_t t = 0; t < triangles.size(); ++t) {
        DelaunayTriangle d;
        d.name = static_cast<int>(t) + 1;
        for (int k = 0; k < 3; ++k) d.corners[k] = numberOf[triangles[t][k] - 1];
        region.triangles.push_back(d);
    }
    // Neighbour entries: the triangle across each side, -1 on the boundary.
    auto link = [](RegionRecord& r) {
        std::map<std::pair<int, int>, int> side;
        for (const DelaunayTriangle& d : r.triangles)
            for (int k = 0; k < 3; ++k) side[{d.corners[k], d.corners[(k + 1) % 3]}] = d.name;
        std::vector<ElementNeighbours> result;
        for (const DelaunayTriangle& d : r.triangles) {
            ElementNeighbours nb;
            nb.n[0] = d.name;
            for (int k = 0; k < 3; ++k) {
                const auto it = side.find({d.corners[(k + 1) % 3], d.corners[k]});
                nb.n[1 + k] = it == side.end() ? -1 : it->second;
            }
            result.push_back(nb);
        }
        return result;
    };
    region.neighbours = link(region);
    auto points = [](const RegionRecord& r) {
        std::multiset<std::array<double, 6>> set;
        for (const DelaunayTriangle& d : r.triangles) {
            std::array<std::pair<double, double>, 3> c;
            for (int k = 0; k < 3; ++k) c[k] = {r.nodes[d.corners[k] - 1].x, r.nodes[d.corners[k] - 1].y};
            std::rotate(c.begin(), std::min_element(c.begin(), c.end()), c.end());  // same turn, one start
            set.insert({c[0].first, c[0].second, c[1].first, c[1].second, c[2].first, c[2].second});
        }
        return set;
    };
    auto walk = [&](const RegionRecord& r) {
        double length = 0.0;
        for (int k = fixed + 1; k < nodeCount; ++k)
            length += std::hypot(r.nodes[k].x - r.nodes[k - 1].x, r.nodes[k].y - r.nodes[k - 1].y);
        return length;
    };
    const RegionRecord before = region;

    numberTriangulationByPlace(region, fixed);

    ASSERT_EQ(region.nodes.size(), before.nodes.size());
    ASSERT_EQ(region.triangles.size(), before.triangles.size());
    for (int k = 0; k < fixed; ++k) {
        EXPECT_EQ(region.nodes[k].x, before.nodes[k].x);
        EXPECT_EQ(region.nodes[k].y, before.nodes[k].y);
    }
    for (std::size_t k = 0; k < region.nodes.size(); ++k) EXPECT_EQ(region.nodes[k].name, static_cast<int>(k) + 1);
    for (std::size_t t = 0; t < region.triangles.size(); ++t)
        EXPECT_EQ(region.triangles[t].name, static_cast<int>(t) + 1);
    EXPECT_EQ(points(region), points(before));
    const std::vector<ElementNeighbours> expected = link(region);
    for (std::size_t t = 0; t < region.triangles.size(); ++t)
        for (int j = 0; j <= 3; ++j) EXPECT_EQ(region.neighbours[t].n[j], expected[t].n[j]) << "triangle " << t + 1;
    // Along the curve consecutive free nodes are mostly grid neighbours: the
    // walk is about one unit a step, against about n / 2 for the shuffle.
    const int steps = nodeCount - fixed - 1;
    EXPECT_LT(walk(region), 1.5 * steps);
    EXPECT_GT(walk(before), 5.0 * steps);
}
