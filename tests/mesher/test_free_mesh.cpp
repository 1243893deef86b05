// Free triangle regions meshed through the command-line tool, in a scratch
// current directory: valid meshes with the input boundary, seams with mapped
// regions, bays, and the boundaries and sizes that are refused.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "MeshTestSupport.h"

using namespace meshtest;

namespace {

using Polygon = std::vector<std::pair<double, double>>;

GeometrySpec triangleGeometry() {
    GeometrySpec g;
    g.shape = 0;
    return g;
}

std::string polygonText(const Polygon& corners, int divisions, int code = -2, double spacing = 0.0) {
    GeometrySpec g = triangleGeometry();
    g.regions.push_back(polygonRegion(g, corners, divisions, code, 101, spacing));
    return geometryText(g);
}

double polygonArea(const Polygon& poly) {
    double area = 0.0;
    for (std::size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++)
        area += 0.5 * (poly[j].first * poly[i].second - poly[i].first * poly[j].second);
    return area;
}

// A square around a round bay of 64 sides that opens to the top through a
// channel. The bay's corners lie slightly inside its circle, the more the
// more often their number halves, so that its triangles nest five deep:
// the two innermost touch no wall and lie four neighbour steps from every
// triangle that does.
Polygon squareWithRoundBay() {
    Polygon circle;
    for (int k = 0; k < 64; ++k) {
        int halvings = k == 0 ? 6 : 0;
        for (int m = k; m > 0 && m % 2 == 0; m /= 2) ++halvings;
        const double a = (90.0 + 360.0 / 64 * k) * M_PI / 180.0, r = 10.0 * (1.0 - 0.002 * halvings);
        circle.emplace_back(r * std::cos(a), r * std::sin(a));
    }
    Polygon poly = {{15, 15}, {0, 15}, circle[0]};
    for (int k = 63; k >= 1; --k) poly.push_back(circle[k]);
    poly.emplace_back(circle[1].first, 15);
    poly.insert(poly.end(), {{-15, 15}, {-15, -15}, {15, -15}});
    return poly;
}

bool insidePolygon(const Polygon& poly, double x, double y) {
    bool inside = false;
    for (std::size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
        const auto [xi, yi] = poly[i];
        const auto [xj, yj] = poly[j];
        if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) inside = !inside;
    }
    return inside;
}

int elementsOutside(const FemMesh& mesh, const Polygon& poly) {
    int outside = 0;
    for (const FemElement& el : mesh.elements) {
        double cx = 0.0, cy = 0.0;
        for (int k = 0; k < 3; ++k) {
            cx += mesh.xy[el.nodes[k] - 1].first / 3.0;
            cy += mesh.xy[el.nodes[k] - 1].second / 3.0;
        }
        if (!insidePolygon(poly, cx, cy)) ++outside;
    }
    return outside;
}

}  // namespace

TEST(FreeTriangles, OctagonKeepsItsBoundaryAndArea) {
    const std::string text = readFile(fs::path(BRENNIX_TEST_DATA) / "mesher/octagon-free-tri.i");
    const ToolRun run = runTool("octagon", text);
    ASSERT_EQ(run.status, 0) << run.log;
    EXPECT_TRUE(unexpectedLogLines(run.log).empty()) << run.log;
    EXPECT_FALSE(run.snapshotWritten);
    const FemMesh& mesh = run.mesh;
    ASSERT_TRUE(mesh.ok) << mesh.problem;
    EXPECT_EQ(mesh.npe, 3);
    ValidationOptions options;
    options.expectedArea = 282.84271247445;
    EXPECT_EQ(validateMesh(mesh, options), std::vector<std::string>{});
    const int nN = static_cast<int>(mesh.xy.size()), nE = static_cast<int>(mesh.elements.size());
    EXPECT_EQ(2 * nN, nE + 34);
    EXPECT_EQ(sidesCoded(mesh, -2), 32);

    // The 32 input boundary nodes: the corners as the fixture writes them
    // (12 significant digits) and three nodes between them on each side.
    auto corner = [](int k, double (*f)(double)) {
        char text[32];
        std::snprintf(text, sizeof text, "%.12g", 10.0 * f((22.5 + 45.0 * (k % 8)) * M_PI / 180.0));
        return std::stod(text);
    };
    int found = 0;
    for (int k = 0; k < 8; ++k) {
        const double x0 = corner(k, std::cos), y0 = corner(k, std::sin);
        const double x1 = corner(k + 1, std::cos), y1 = corner(k + 1, std::sin);
        for (int m = 0; m < 4; ++m) {
            const double x = x0 + (x1 - x0) * m / 4.0, y = y0 + (y1 - y0) * m / 4.0;
            for (const auto& [px, py] : mesh.xy)
                if (std::hypot(px - x, py - y) < 1e-12) {
                    ++found;
                    break;
                }
        }
    }
    EXPECT_EQ(found, 32);
}

TEST(FreeTriangles, OctagonWithMidsideNodes) {
    std::string text = readFile(fs::path(BRENNIX_TEST_DATA) / "mesher/octagon-free-tri.i");
    const ToolRun corners = runTool("octagon34", text);
    const std::string flag = "34    0";
    text.replace(text.find(flag), flag.size(), "68    0");
    const ToolRun run = runTool("octagon68", text);
    ASSERT_EQ(run.status, 0) << run.log;
    ASSERT_TRUE(run.mesh.ok) << run.mesh.problem;
    EXPECT_EQ(run.mesh.npe, 6);
    const std::size_t nN = corners.mesh.xy.size(), nE = corners.mesh.elements.size();
    EXPECT_EQ(run.mesh.elements.size(), nE);
    EXPECT_EQ(run.mesh.xy.size(), nN + (3 * nE + 32) / 2);
    EXPECT_EQ(validateMesh(run.mesh), std::vector<std::string>{});
}

TEST(FreeTriangles, EquilateralTriangleOfOneDivisionIsOneElement) {
    const Polygon tri = {{0, 0}, {1, 0}, {0.5, std::sqrt(3.0) / 2}};
    const ToolRun run = runTool("equilateral", polygonText(tri, 1));
    ASSERT_EQ(run.status, 0) << run.log;
    EXPECT_EQ(run.log, "\n used heap = 9\n\n");
    EXPECT_EQ(run.mesh.xy.size(), 3u);
    EXPECT_EQ(run.mesh.elements.size(), 1u);
}

TEST(FreeTriangles, BesideMappedTrianglesInEitherOrder) {
    for (bool freeFirst : {true, false}) {
        GeometrySpec g = triangleGeometry();
        const int mappedCodes[4] = {2, -2, -2, -2};  // left side shared
        RegionSpec freeSquare = polygonRegion(g, {{0, 0}, {10, 0}, {10, 10}, {0, 10}}, 4);
        freeSquare.sides[1].code = 2;
        RegionSpec mapped = rectangleRegion(g, 10, 0, 10, 10, 4, 4, mappedCodes, 51, 102);
        g.regions =
            freeFirst ? std::vector<RegionSpec>{freeSquare, mapped} : std::vector<RegionSpec>{mapped, freeSquare};
        const ToolRun run = runTool(freeFirst ? "seam-free-first" : "seam-mapped-first", geometryText(g));
        ASSERT_EQ(run.status, 0) << run.log;
        ValidationOptions options;
        options.expectedArea = 200.0;
        EXPECT_EQ(validateMesh(run.mesh, options), std::vector<std::string>{}) << "free first " << freeFirst;
        EXPECT_EQ(sidesCoded(run.mesh, -1), 0) << "free first " << freeFirst;
    }
}

TEST(FreeTriangles, FourRegionsAroundAHoleShareTheirSeams) {
    // Quadrant q runs from the hole along an axis to the edge, round the
    // corner, back along the next axis and along the hole's arc (entity q + 2).
    GeometrySpec g = triangleGeometry();
    g.points = {{5, 0},  {10, 0},  {10, 10},   {0, 5},  {0, 10},  {-10, 10},
                {-5, 0}, {-10, 0}, {-10, -10}, {0, -5}, {0, -10}, {10, -10}};
    for (int q = 0; q < 4; ++q) g.arcs.push_back(ArcSpec{0, 0, 5, 5, 90.0 * q, 90.0, 5});
    for (int q = 0; q < 4; ++q) {
        const int a = 3 * q + 1, b = a + 1, corner = a + 2, na = (3 * q + 3) % 12 + 1, nb = na + 1;
        RegionSpec r;
        r.scheme = -21;
        r.obj = 101 + q;
        r.sides = {SideSpec{1, 2, {segmentOf(5, 1, a, 1, b)}}, SideSpec{2, -2, {segmentOf(10, 1, b, 1, corner)}},
                   SideSpec{3, -2, {segmentOf(10, 1, corner, 1, nb)}}, SideSpec{4, 2, {segmentOf(5, 1, nb, 1, na)}},
                   SideSpec{5, -2, {segmentOf(8, q + 2, 5, q + 2, 1)}}};
        g.regions.push_back(r);
    }
    const ToolRun run = runTool("hole", geometryText(g));
    ASSERT_EQ(run.status, 0) << run.log;
    ValidationOptions options;
    options.expectedArea = 400.0 - 25.0 * M_PI;  // the hole is a polygon of 32 sides inside its circle
    options.areaTolerance = 3e-3;
    EXPECT_EQ(validateMesh(run.mesh, options), std::vector<std::string>{});
    EXPECT_EQ(sidesCoded(run.mesh, -1), 0);
    EXPECT_EQ(sidesCoded(run.mesh, -2), 4 * (10 + 10 + 8));
}

TEST(FreeTriangles, BaysAreLeftEmpty) {
    struct Case {
        const char* name;
        Polygon polygon;
        int divisions;
        double area;
        double spacing = 0.0;
    };
    // A corridor from the right with saw-tooth walls; its tooth tips line up
    // with the corner (0, 0), so a careless clean-up leaves flat triangles.
    Polygon corridor = {{0, 0}, {20, 0}, {20, 4}};
    for (int x = 19; x >= 3; x -= 2) {
        corridor.emplace_back(x, 5);
        corridor.emplace_back(x - 1, 4);
    }
    corridor.emplace_back(2, 8);
    for (int x = 3; x <= 19; x += 2) {
        corridor.emplace_back(x, 7);
        corridor.emplace_back(x + 1, 8);
    }
    corridor.emplace_back(20, 12);
    corridor.emplace_back(0, 12);
    const Case cases[] = {
        {"L", {{0, 0}, {10, 0}, {10, 5}, {5, 5}, {5, 10}, {0, 10}}, 3, 75.0},
        {"C", {{0, 0}, {10, 0}, {10, 3}, {3, 3}, {3, 7}, {10, 7}, {10, 10}, {0, 10}}, 2, 72.0},
        {"corridor", corridor, 1, 240.0 - 54.0},
        {"round bay", squareWithRoundBay(), 1, polygonArea(squareWithRoundBay()), 1.0},
    };
    for (const Case& c : cases) {
        const ToolRun run = runTool(c.name, polygonText(c.polygon, c.divisions, -2, c.spacing));
        ASSERT_EQ(run.status, 0) << c.name << "\n" << run.log;
        ValidationOptions options;
        options.expectedArea = c.area;
        EXPECT_EQ(validateMesh(run.mesh, options), std::vector<std::string>{}) << c.name;
        EXPECT_EQ(elementsOutside(run.mesh, c.polygon), 0) << c.name;
    }
}

TEST(FreeTriangles, RefusedBoundariesEndTheRun) {
    struct Case {
        const char* name;
        std::string text;
        const char* logPart;
    };
    const Polygon square = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    auto edited = [&](auto edit) {
        GeometrySpec g = triangleGeometry();
        g.regions.push_back(polygonRegion(g, square, 2));
        edit(g, g.regions[0]);
        return geometryText(g);
    };
    const Case cases[] = {
        {"open chain", edited([](GeometrySpec& g, RegionSpec& r) {
             g.points.emplace_back(-1, 5);
             r.sides[3].segs[0].p2 = static_cast<int>(g.points.size());
         }),
         "not one closed chain"},
        {"clockwise", polygonText({{0, 0}, {0, 10}, {10, 10}, {10, 0}}, 2), "clockwise"},
        {"crossing", polygonText({{0, 0}, {10, 10}, {10, 0}, {0, 10}}, 3), "cross or touch"},
        {"self-touching", polygonText({{0, 0}, {10, 0}, {10, 10}, {5, 0}, {0, 10}}, 3), "cross or touch"},
        {"zero-length side", edited([](GeometrySpec&, RegionSpec& r) {
             SegSpec s = r.sides[2].segs[0];
             s.p1 = s.p2;
             r.sides.insert(r.sides.begin() + 3, SideSpec{4, -2, {s}});
             r.sides[4].number = 5;
         }),
         "coinciding end nodes"},
        {"collinear", polygonText({{0, 0}, {5, 0}, {10, 0}}, 2), "Error: region 1:"},
        {"boundary above the node limit", polygonText({{0, 0}, {10, 0}, {10, 10}, {5, 15}, {0, 10}}, 999999),
         "the boundary has 5000000 nodes, more than 4000000"},
        {"absurd refinement", polygonText({{0, 0}, {1e4, 0}, {1e4, 1e4}, {0, 1e4}}, 2000), "more than 4000000"},
    };
    for (const Case& c : cases) {
        const ToolRun run = runTool("refused", c.text);
        EXPECT_EQ(run.status, 1) << c.name << "\n" << run.log;
        EXPECT_FALSE(run.meshWritten) << c.name;
        EXPECT_NE(run.log.find("Error:"), std::string::npos) << c.name << "\n" << run.log;
        EXPECT_NE(run.log.find(c.logPart), std::string::npos) << c.name << "\n" << run.log;
    }
}

TEST(FreeTriangles, LostSegmentIsRecoveredAndLeavesTheSnapshot) {
    // The notch node lies inside the diametral circle of the long bottom
    // side, which a frame node keeps from being a Delaunay edge: flips
    // bring the side back, and the recovery leaves its snapshot.
    const Polygon notch = {{0, 0}, {10, 0}, {10, 3}, {5, 0.5}, {0, 3}};
    const ToolRun run = runTool("lost", polygonText(notch, 1));
    ASSERT_EQ(run.status, 0) << run.log;
    EXPECT_TRUE(run.snapshotWritten);
    ValidationOptions options;
    options.expectedArea = polygonArea(notch);
    EXPECT_EQ(validateMesh(run.mesh, options), std::vector<std::string>{});
}
