// Mapped regions from geometry file to mesh file: grids of quadrilaterals and
// triangles, side codes, joined regions, quadratic elements and arcs.
#include <cmath>
#include <map>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "MeshTestSupport.h"

using namespace meshtest;

namespace {

const int kOpen[4] = {-2, -2, -2, -2};

FemMesh runAndRead(const std::string& name, const GeometrySpec& g, const std::string& expectedLog = "") {
    const fs::path dir = freshDir(name);
    EXPECT_EQ(runOn(dir, geometryText(g)), 0) << readFile(dir / "temp.msh");
    EXPECT_EQ(readFile(dir / "temp.msh"), expectedLog);
    return g.outputFormat == 0 ? readFemBinary(dir / "temp.fem") : readFemText(dir / "temp.fem");
}

void expectValid(const FemMesh& mesh, const ValidationOptions& options) {
    const std::vector<std::string> problems = validateMesh(mesh, options);
    EXPECT_TRUE(problems.empty()) << problems.front();
}

// Node of the mesh at (x, y), 0 when none lies within 1e-9.
int nodeAt(const FemMesh& mesh, double x, double y) {
    for (std::size_t k = 0; k < mesh.xy.size(); ++k)
        if (std::hypot(mesh.xy[k].first - x, mesh.xy[k].second - y) < 1e-9) return static_cast<int>(k) + 1;
    return 0;
}

}  // namespace

TEST(MappedMesh, SquareGridHasExpectedNodesElementsAndSides) {
    for (int format : {0, 1}) {
        GeometrySpec g;
        g.outputFormat = format;
        // Left side towards region 5 (written -1), right -2, bottom -3, top -2.
        const int codes[4] = {5, -2, -3, -2};
        g.regions.push_back(rectangleRegion(g, 0, 0, 10, 10, 4, 4, codes, 11, 107));
        g.regions.back().group = 3;
        const FemMesh mesh = runAndRead("square" + std::to_string(format), g);
        ASSERT_TRUE(mesh.ok) << mesh.problem;
        ASSERT_EQ(mesh.nodeIds.size(), 25u);
        ASSERT_EQ(mesh.elements.size(), 16u);
        EXPECT_EQ(mesh.npe, 4);
        // Node of grid position (i, j) is i * 5 + j + 1 at (2.5 i, 2.5 j).
        for (int i = 0; i < 5; ++i) {
            for (int j = 0; j < 5; ++j) {
                const auto& p = mesh.xy[i * 5 + j];
                EXPECT_NEAR(p.first, 2.5 * i, 1e-12);
                EXPECT_NEAR(p.second, 2.5 * j, 1e-12);
            }
        }
        const FemElement& first = mesh.elements[0];
        EXPECT_EQ(first.nodes, (std::vector<int>{1, 6, 7, 2}));
        EXPECT_EQ(first.group, 3);
        EXPECT_EQ(first.obj, 107);
        // Side records: bottom-left, bottom-right, top-right and an inner cell.
        EXPECT_EQ(mesh.sides[0], (std::array<int, 6>{1, 4, -3, 5, 2, -1}));
        EXPECT_EQ(mesh.sides[12], (std::array<int, 6>{13, 4, -3, -2, 14, 9}));
        EXPECT_EQ(mesh.sides[15], (std::array<int, 6>{16, 4, 15, -2, -2, 12}));
        EXPECT_EQ(mesh.sides[5], (std::array<int, 6>{6, 4, 5, 10, 7, 2}));
        expectValid(mesh, {false, 100.0});
    }
}

TEST(MappedMesh, QuadraticSquareSharesMidsideNodes) {
    for (int format : {0, 1}) {
        GeometrySpec g;
        g.outputFormat = format;
        g.interfaceFlag = 68;
        g.regions.push_back(rectangleRegion(g, 0, 0, 10, 10, 4, 4, kOpen));
        const FemMesh mesh = runAndRead("quad8-" + std::to_string(format), g);
        ASSERT_TRUE(mesh.ok) << mesh.problem;
        EXPECT_EQ(mesh.npe, 8);
        EXPECT_EQ(mesh.nodeIds.size(), 65u);
        ASSERT_EQ(mesh.elements.size(), 16u);
        std::set<int> midside;
        for (const FemElement& el : mesh.elements) {
            for (int k = 0; k < 4; ++k) {
                const int m = el.nodes[4 + k];
                EXPECT_GT(m, 25);
                midside.insert(m);
                const auto& a = mesh.xy[el.nodes[k] - 1];
                const auto& b = mesh.xy[el.nodes[(k + 1) % 4] - 1];
                EXPECT_NEAR(mesh.xy[m - 1].first, 0.5 * (a.first + b.first), 1e-12);
                EXPECT_NEAR(mesh.xy[m - 1].second, 0.5 * (a.second + b.second), 1e-12);
            }
        }
        EXPECT_EQ(midside.size(), 40u);
        expectValid(mesh, {false, 100.0});
    }
}

TEST(MappedMesh, TextAndBinaryFormsHoldTheSameMesh) {
    GeometrySpec g;
    g.interfaceFlag = 68;
    g.arcs.push_back(ArcSpec{0, 0, 2, 2, 0, 90, 5});
    g.points = {{1, 0}, {2, 0}, {0, 1}, {0, 2}};
    RegionSpec r;
    r.imax = 5;
    r.jmax = 3;
    r.sides = {SideSpec{1, -2, {SegSpec{1, 3, 0, 1, 1, 2, 1, 1}}}, SideSpec{2, -2, {SegSpec{1, 3, 0, 1, 1, 4, 1, 3}}},
               SideSpec{3, -2, {SegSpec{1, 5, 0, 1, 2, 1, 2, 5}}}, SideSpec{4, -2, {SegSpec{1, 5, 0, 1, 1, 1, 1, 3}}}};
    g.regions.push_back(r);
    g.outputFormat = 1;
    const FemMesh text = runAndRead("forms-text", g);
    g.outputFormat = 0;
    const FemMesh binary = runAndRead("forms-binary", g);
    ASSERT_TRUE(text.ok && binary.ok);
    ASSERT_EQ(text.nodeIds.size(), binary.nodeIds.size());
    for (std::size_t k = 0; k < text.xy.size(); ++k) {
        EXPECT_NEAR(text.xy[k].first, binary.xy[k].first, 1e-8);
        EXPECT_NEAR(text.xy[k].second, binary.xy[k].second, 1e-8);
    }
    ASSERT_EQ(text.elements.size(), binary.elements.size());
    for (std::size_t e = 0; e < text.elements.size(); ++e) EXPECT_EQ(text.elements[e].nodes, binary.elements[e].nodes);
    EXPECT_EQ(text.sides, binary.sides);
}

TEST(MappedMesh, TwoSquaresJoinAlongACodedSide) {
    struct Case {
        int seamCode;
        std::size_t nodes;
        bool doubled;
    };
    // Code 0 is an open side like a positive code; -3 and -6 keep the seam
    // nodes doubled.
    for (const Case c : {Case{2, 45, false}, Case{0, 45, false}, Case{-1, 45, false}, Case{-2, 45, false},
                         Case{-3, 50, true}, Case{-6, 50, true}}) {
        GeometrySpec g;
        const int left[4] = {-2, c.seamCode, -2, -2};
        const int right[4] = {c.seamCode, -2, -2, -2};
        g.regions.push_back(rectangleRegion(g, 0, 0, 10, 10, 4, 4, left, 11, 101));
        g.regions.push_back(rectangleRegion(g, 10, 0, 10, 10, 4, 4, right, 11, 102));
        const FemMesh mesh = runAndRead("join" + std::to_string(c.seamCode), g);
        ASSERT_TRUE(mesh.ok);
        EXPECT_EQ(mesh.nodeIds.size(), c.nodes) << c.seamCode;
        ASSERT_EQ(mesh.elements.size(), 32u);
        expectValid(mesh, {c.doubled, 200.0});
        // Seam elements: right column of the first square (13..16), left column
        // of the second (17..20).
        for (int k = 0; k < 4; ++k) {
            const int a = 13 + k, b = 17 + k;
            if (c.doubled) {
                EXPECT_EQ(mesh.sides[a - 1][3], c.seamCode);
                EXPECT_EQ(mesh.sides[b - 1][5], c.seamCode);
            } else {
                EXPECT_EQ(mesh.sides[a - 1][3], b);
                EXPECT_EQ(mesh.sides[b - 1][5], a);
            }
        }
    }
}

TEST(MappedMesh, SideOffByATenthStillJoins) {
    struct Case {
        double shift;
        std::size_t nodes;
    };
    for (const Case c : {Case{0.25, 45}, Case{0.75, 50}}) {
        GeometrySpec g;
        const int codes[4] = {-2, -2, -2, -2};
        g.regions.push_back(rectangleRegion(g, 0, 0, 10, 10, 4, 4, codes, 11, 101));
        g.regions.push_back(rectangleRegion(g, 10, c.shift, 10, 10, 4, 4, codes, 11, 102));
        const FemMesh mesh = runAndRead("offset", g);
        EXPECT_EQ(mesh.nodeIds.size(), c.nodes) << c.shift;
        EXPECT_TRUE(validateMesh(mesh).empty());
    }
}

TEST(MappedMesh, TrianglesAreCounterClockwiseWhateverTheSideOrder) {
    for (bool clockwise : {false, true}) {
        GeometrySpec g;
        g.shape = 0;
        g.regions.push_back(rectangleRegion(g, 0, 0, 10, 10, 4, 4, kOpen, 51, 101, clockwise));
        const FemMesh mesh = runAndRead(clockwise ? "tri-cw" : "tri-ccw", g);
        ASSERT_TRUE(mesh.ok);
        EXPECT_EQ(mesh.npe, 3);
        EXPECT_EQ(mesh.nodeIds.size(), 25u);
        EXPECT_EQ(mesh.elements.size(), 32u);
        expectValid(mesh, {false, 100.0});
        for (std::size_t e = 0; e < mesh.elements.size(); ++e)
            EXPECT_NEAR(cornerArea(mesh, mesh.elements[e]), 3.125, 1e-12);
        for (const auto& s : mesh.sides) EXPECT_EQ(s[5], 0);
    }
}

TEST(MappedMesh, QuadrilateralsListedClockwiseAreReversed) {
    GeometrySpec g;
    const int codes[4] = {-2, -3, -2, -2};
    g.regions.push_back(rectangleRegion(g, 0, 0, 10, 6, 5, 3, codes, 11, 101, true));
    const FemMesh mesh = runAndRead("quad-cw", g);
    ASSERT_EQ(mesh.elements.size(), 15u);
    expectValid(mesh, {false, 60.0});
    // The right side (x = 10) keeps its code after the reversal.
    int onRight = 0;
    for (std::size_t e = 0; e < mesh.elements.size(); ++e) {
        for (int k = 0; k < 4; ++k) {
            const auto& a = mesh.xy[mesh.elements[e].nodes[k] - 1];
            const auto& b = mesh.xy[mesh.elements[e].nodes[(k + 1) % 4] - 1];
            if (std::fabs(a.first - 10) < 1e-12 && std::fabs(b.first - 10) < 1e-12) {
                EXPECT_EQ(mesh.sides[e][2 + k], -3);
                ++onRight;
            }
        }
    }
    EXPECT_EQ(onRight, 3);
}

TEST(MappedMesh, TriangleSidesTakeMinusThreeAndMinusSixFromTheirRegionSide) {
    GeometrySpec g;
    g.shape = 0;
    const int codes[4] = {-3, -6, 4, -2};
    g.regions.push_back(rectangleRegion(g, 0, 0, 4, 4, 2, 2, codes, 51));
    const FemMesh mesh = runAndRead("tri-codes", g);
    std::map<std::string, std::multiset<int>> byEdge;
    for (std::size_t e = 0; e < mesh.elements.size(); ++e) {
        for (int k = 0; k < 3; ++k) {
            const auto& a = mesh.xy[mesh.elements[e].nodes[k] - 1];
            const auto& b = mesh.xy[mesh.elements[e].nodes[(k + 1) % 3] - 1];
            const int code = mesh.sides[e][2 + k];
            if (code > 0) continue;
            const std::string edge = a.first == 0 && b.first == 0     ? "left"
                                     : a.first == 4 && b.first == 4   ? "right"
                                     : a.second == 0 && b.second == 0 ? "bottom"
                                                                      : "top";
            byEdge[edge].insert(code);
        }
    }
    EXPECT_EQ(byEdge["left"], (std::multiset<int>{-3, -3}));
    EXPECT_EQ(byEdge["right"], (std::multiset<int>{-6, -6}));
    EXPECT_EQ(byEdge["bottom"], (std::multiset<int>{-2, -2}));
    EXPECT_EQ(byEdge["top"], (std::multiset<int>{-2, -2}));
}

TEST(MappedMesh, QuarterAnnulusMidsideNodesLieOnTheArcs) {
    for (int shape : {1, 0}) {
        GeometrySpec g;
        g.interfaceFlag = 68;
        g.shape = shape;
        g.outputFormat = 0;
        g.arcs.push_back(ArcSpec{1, 2, 3, 3, 0, 90, 9});  // entity 2, outer
        g.arcs.push_back(ArcSpec{1, 2, 1, 1, 0, 90, 9});  // entity 3, inner
        g.points = {{4, 2}, {2, 2}, {1, 5}, {1, 3}};
        RegionSpec r;
        r.scheme = shape == 1 ? 11 : 51;
        // Grid: columns along the arcs (outer first), rows inward: clockwise.
        r.imax = 9;
        r.jmax = 4;
        r.sides = {
            SideSpec{1, -2, {SegSpec{1, 4, 0, 1, 1, 1, 1, 2}}}, SideSpec{2, -2, {SegSpec{1, 4, 0, 1, 1, 3, 1, 4}}},
            SideSpec{3, -2, {SegSpec{1, 9, 0, 1, 2, 1, 2, 9}}}, SideSpec{4, -2, {SegSpec{1, 9, 0, 1, 3, 1, 3, 9}}}};
        g.regions.push_back(r);
        const FemMesh mesh = runAndRead(shape ? "annulus-q" : "annulus-t", g);
        ASSERT_TRUE(mesh.ok);
        const double pi = 4 * std::atan(1.0);
        expectValid(mesh, {false, pi / 4 * (9 - 1), 2e-2});
        const int corners = shape == 1 ? 4 : 3;
        int onOuter = 0, onInner = 0;
        for (std::size_t e = 0; e < mesh.elements.size(); ++e) {
            const FemElement& el = mesh.elements[e];
            for (int k = 0; k < corners; ++k) {
                if (mesh.sides[e][2 + k] >= 0) continue;
                const auto& a = mesh.xy[el.nodes[k] - 1];
                const auto& b = mesh.xy[el.nodes[(k + 1) % corners] - 1];
                const auto& m = mesh.xy[el.nodes[corners + k] - 1];
                const double ra = std::hypot(a.first - 1, a.second - 2), rb = std::hypot(b.first - 1, b.second - 2);
                const double rm = std::hypot(m.first - 1, m.second - 2);
                for (double radius : {1.0, 3.0}) {
                    if (std::fabs(ra - radius) < 1e-9 && std::fabs(rb - radius) < 1e-9) {
                        EXPECT_NEAR(rm, radius, 1e-9);
                        // Halfway along the arc between the corners.
                        EXPECT_NEAR(std::hypot(m.first - a.first, m.second - a.second),
                                    std::hypot(m.first - b.first, m.second - b.second), 1e-9);
                        ++(radius == 1.0 ? onInner : onOuter);
                    }
                }
            }
        }
        EXPECT_EQ(onOuter, 8);
        EXPECT_EQ(onInner, 8);
    }
}

namespace {

// Centre and radius of the circle through three points.
struct Circle {
    double x, y, r;
};
Circle circleThrough(std::pair<double, double> a, std::pair<double, double> b, std::pair<double, double> c) {
    const double d =
        2 * (a.first * (b.second - c.second) + b.first * (c.second - a.second) + c.first * (a.second - b.second));
    const double a2 = a.first * a.first + a.second * a.second, b2 = b.first * b.first + b.second * b.second,
                 c2 = c.first * c.first + c.second * c.second;
    const double x = (a2 * (b.second - c.second) + b2 * (c.second - a.second) + c2 * (a.second - b.second)) / d;
    const double y = (a2 * (c.first - b.first) + b2 * (a.first - c.first) + c2 * (b.first - a.first)) / d;
    return {x, y, std::hypot(a.first - x, a.second - y)};
}

}  // namespace

// A quarter annulus (R 10 and 5 about the origin) whose two arcs are given by
// three points each and divided into 8: every boundary node on an arc side,
// corner and mid-side alike, lies on the circle through the arc's three
// points, in mapped and free regions of quadrilaterals and triangles.
TEST(MappedMesh, ArcOfThreePointsHoldsItsCornerAndMidsideNodes) {
    const double pi = 4 * std::atan(1.0), h = std::sqrt(0.5);
    const Circle outer = circleThrough({10, 0}, {10 * h, 10 * h}, {0, 10});
    const Circle inner = circleThrough({5, 0}, {5 * h, 5 * h}, {0, 5});
    for (const int scheme : {11, 51, -31, -21}) {
        SCOPED_TRACE(scheme);
        GeometrySpec g;
        g.interfaceFlag = 68;
        g.shape = scheme == 11 || scheme == -31 ? 1 : 0;
        g.arcs.push_back(ArcSpec{0, 0, 10, 10, 0, 90, 3});  // entity 2, outer
        g.arcs.push_back(ArcSpec{0, 0, 5, 5, 0, 90, 3});    // entity 3, inner
        g.points = {{10, 0}, {5, 0}, {0, 10}, {0, 5}};
        RegionSpec r;
        r.scheme = scheme;
        if (scheme > 0) {
            // Grid: columns along the arcs (outer first), rows inward.
            r.imax = 9;
            r.jmax = 3;
            r.sides = {
                SideSpec{1, -2, {SegSpec{1, 3, 0, 1, 1, 1, 1, 2}}}, SideSpec{2, -2, {SegSpec{1, 3, 0, 1, 1, 3, 1, 4}}},
                SideSpec{3, -2, {SegSpec{1, 9, 0, 1, 2, 1, 2, 3}}}, SideSpec{4, -2, {SegSpec{1, 9, 0, 1, 3, 1, 3, 3}}}};
        } else {
            // Counter-clockwise: out along the x axis, the outer arc, in
            // along the y axis, the inner arc back.
            r.imax = r.jmax = 100;
            r.sides = {
                SideSpec{1, -2, {SegSpec{1, 3, 0, 1, 1, 2, 1, 1}}}, SideSpec{2, -2, {SegSpec{1, 9, 0, 1, 2, 1, 2, 3}}},
                SideSpec{3, -2, {SegSpec{1, 3, 0, 1, 1, 3, 1, 4}}}, SideSpec{4, -2, {SegSpec{1, 9, 0, 1, 3, 3, 3, 1}}}};
        }
        g.regions.push_back(r);
        const fs::path dir = freshDir("arc3-" + std::to_string(scheme + 100));
        ASSERT_EQ(runOn(dir, geometryText(g)), 0) << readFile(dir / "temp.msh");
        const FemMesh mesh = readFemText(dir / "temp.fem");
        ASSERT_TRUE(mesh.ok) << mesh.problem;
        expectValid(mesh, {false, pi / 4 * (100 - 25), 3e-2});
        const int corners = g.shape == 1 ? 4 : 3;
        int onOuter = 0, onInner = 0;
        for (std::size_t e = 0; e < mesh.elements.size(); ++e) {
            const FemElement& el = mesh.elements[e];
            for (int k = 0; k < corners; ++k) {
                if (mesh.sides[e][2 + k] >= 0) continue;
                const auto& a = mesh.xy[el.nodes[k] - 1];
                const auto& b = mesh.xy[el.nodes[(k + 1) % corners] - 1];
                const auto& m = mesh.xy[el.nodes[corners + k] - 1];
                const bool straight = (std::fabs(a.second) < 1e-9 && std::fabs(b.second) < 1e-9) ||
                                      (std::fabs(a.first) < 1e-9 && std::fabs(b.first) < 1e-9);
                if (straight) continue;
                const bool isOuter = std::hypot(m.first, m.second) > 7.5;
                const Circle& c = isOuter ? outer : inner;
                for (const auto* p : {&a, &m, &b})
                    EXPECT_NEAR(std::hypot(p->first - c.x, p->second - c.y), c.r, 1e-7)  // text form: 9 digits
                        << "at (" << p->first << ", " << p->second << ")";
                ++(isOuter ? onOuter : onInner);
            }
        }
        EXPECT_EQ(onOuter, 8);
        EXPECT_EQ(onInner, 8);
    }
}

TEST(MappedMesh, SideOfAStraightAndAnArcSegmentPlacesEachMidsideNodeOnItsOwnGeometry) {
    // Bottom side: straight from (-2, 0) to (-1, 0), then the lower half of
    // the unit circle... mirrored: an arc over the top from (-1, 0) to (1, 0)
    // would fold the grid, so the arc bulges downwards.
    GeometrySpec g;
    g.interfaceFlag = 68;
    g.arcs.push_back(ArcSpec{0, 0, 1, 1, 180, 180, 5});  // entity 2: (-1,0) over (0,-1) to (1,0)
    g.points = {{-2, 0}, {-1, 0}, {1, 0}, {1, 3}, {-2, 3}};
    RegionSpec r;
    r.imax = 4;  // 1 straight interval + 2 arc intervals
    r.jmax = 3;
    SegSpec straight{1, 2, 0, 1, 1, 1, 1, 2};
    SegSpec arc{2, 4, 0, 1, 2, 1, 2, 5};
    r.sides = {SideSpec{1, -2, {SegSpec{1, 3, 0, 1, 1, 1, 1, 5}}}, SideSpec{2, -2, {SegSpec{1, 3, 0, 1, 1, 3, 1, 4}}},
               SideSpec{3, -2, {straight, arc}}, SideSpec{4, -2, {SegSpec{1, 4, 0, 1, 1, 5, 1, 4}}}};
    g.regions.push_back(r);
    const FemMesh mesh = runAndRead("mixed-side", g);
    ASSERT_TRUE(mesh.ok);
    expectValid(mesh, {});
    // Bottom sides are side 1 of elements 1, 3 and 5 (cells (i, 0)).
    const int straightMid = mesh.elements[0].nodes[4];
    EXPECT_NEAR(mesh.xy[straightMid - 1].first, -1.5, 1e-12);
    EXPECT_NEAR(mesh.xy[straightMid - 1].second, 0.0, 1e-12);
    for (int e : {2, 4}) {
        const auto& m = mesh.xy[mesh.elements[e].nodes[4] - 1];
        EXPECT_NEAR(std::hypot(m.first, m.second), 1.0, 1e-9);
        EXPECT_LT(m.second, 0.0);
    }
}

TEST(MappedMesh, GradedSideFollowsTheGradingFormula) {
    GeometrySpec g;
    g.outputFormat = 0;
    const int codes[4] = {-2, -2, -2, -2};
    RegionSpec r = rectangleRegion(g, 0, 0, 10, 2, 5, 1, codes);
    for (int s : {2, 3}) {  // bottom and top graded alike
        r.sides[s].segs[0].cpar = 0.1;
        r.sides[s].segs[0].wn = 2.0;
    }
    g.regions.push_back(r);
    const FemMesh mesh = runAndRead("graded", g);
    const double pi = 4 * std::atan(1.0);
    for (int k = 0; k <= 5; ++k) {
        const double t = k / 5.0;
        const double s = t + (0.1 / 2.0) * std::sin(pi * 2.0 * t);
        EXPECT_NE(nodeAt(mesh, 10 * s, 0.0), 0) << k;
        EXPECT_NE(nodeAt(mesh, 10 * s, 2.0), 0) << k;
    }
    expectValid(mesh, {false, 20.0});
}
