// Every mesh the run returns as success is valid: the smallest inputs that
// once gave folded, non-convex or flat quadrilaterals, or were refused
// though valid, now give a valid mesh; inputs that cannot be meshed are
// refused with an "Error:" line. Also checks the test-side mesh checker.
#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "MeshTestSupport.h"
#include "Tessaro_DLL/model/FemWriter.h"

using namespace meshtest;

namespace {

using Polygon = std::vector<std::pair<double, double>>;

// A free quadrilateral region over the polygon with the given divisions per side.
std::string quadRegionText(const Polygon& corners, const std::vector<int>& divisions) {
    GeometrySpec g;
    RegionSpec r = polygonRegion(g, corners, 1);
    r.scheme = -31;
    for (std::size_t k = 0; k < divisions.size(); ++k) r.sides[k].segs[0].lim2 = divisions[k] + 1;
    g.regions.push_back(r);
    return geometryText(g);
}

// A free region over the polygon, scaled by `scale`, with the given
// divisions per side: quadrilaterals or triangles.
std::string freeRegionText(const Polygon& corners, const std::vector<int>& divisions, bool quadrilateral,
                           double scale = 1.0) {
    Polygon scaled = corners;
    for (auto& [x, y] : scaled) {
        x *= scale;
        y *= scale;
    }
    GeometrySpec g;
    g.shape = quadrilateral ? 1 : 0;
    RegionSpec r = polygonRegion(g, scaled, 1);
    r.scheme = quadrilateral ? -31 : -21;
    for (std::size_t k = 0; k < divisions.size(); ++k) r.sides[k].segs[0].lim2 = divisions[k] + 1;
    g.regions.push_back(r);
    return geometryText(g);
}

double polygonArea(const Polygon& p) {
    double twice = 0.0;
    for (std::size_t k = 0; k < p.size(); ++k)
        twice += p[k].first * p[(k + 1) % p.size()].second - p[(k + 1) % p.size()].first * p[k].second;
    return 0.5 * twice;
}

FemMesh meshOf(std::vector<std::pair<double, double>> xy, std::vector<std::vector<int>> elements) {
    FemMesh m;
    m.ok = true;
    m.npe = 4;
    m.xy = std::move(xy);
    for (std::size_t k = 0; k < m.xy.size(); ++k) m.nodeIds.push_back(static_cast<int>(k) + 1);
    for (std::size_t e = 0; e < elements.size(); ++e) {
        m.elements.push_back(FemElement{static_cast<int>(e) + 1, 2, 101, 4, elements[e]});
        m.sides.push_back({static_cast<int>(e) + 1, 4, -2, -2, -2, -2});
    }
    return m;
}

// A free region (scheme -31 or -21) of four sides between the numbered
// points, with the divisions and side codes of each side.
RegionSpec fourSidedRegion(int scheme, int obj, std::array<int, 4> corners, std::array<int, 4> divisions,
                           std::array<int, 4> codes) {
    RegionSpec r;
    r.scheme = scheme;
    r.obj = obj;
    for (int k = 0; k < 4; ++k) {
        SegSpec s;
        s.lim2 = divisions[k] + 1;
        s.p1 = corners[k];
        s.p2 = corners[(k + 1) % 4];
        r.sides.push_back(SideSpec{k + 1, codes[k], {s}});
    }
    return r;
}

// The run meshed and gave the reference's mesh scaled by `factor`: the same
// elements on the same nodes at the scaled places.
void expectScaledMesh(const ToolRun& run, const ToolRun& reference, double factor, const std::string& name) {
    ASSERT_EQ(run.status, 0) << name << "\n" << run.log;
    ASSERT_EQ(run.mesh.elements.size(), reference.mesh.elements.size()) << name;
    ASSERT_EQ(run.mesh.xy.size(), reference.mesh.xy.size()) << name;
    for (std::size_t e = 0; e < run.mesh.elements.size(); ++e)
        ASSERT_EQ(run.mesh.elements[e].nodes, reference.mesh.elements[e].nodes) << name << ", element " << e + 1;
    for (std::size_t k = 0; k < run.mesh.xy.size(); ++k) {
        EXPECT_NEAR(run.mesh.xy[k].first, factor * reference.mesh.xy[k].first, 1e-7 * factor) << name;
        EXPECT_NEAR(run.mesh.xy[k].second, factor * reference.mesh.xy[k].second, 1e-7 * factor) << name;
    }
}

bool mentions(const std::vector<std::string>& problems, const std::string& part) {
    for (const std::string& p : problems)
        if (p.find(part) != std::string::npos) return true;
    return false;
}

}  // namespace

TEST(MeshValidity, CheckerRejectsFlatAndTurnedInCorners) {
    // A square is valid; a quadrilateral with a straight corner, one with a
    // corner turned inward and a bow-tie are not.
    EXPECT_TRUE(validateMesh(meshOf({{0, 0}, {1, 0}, {1, 1}, {0, 1}}, {{1, 2, 3, 4}})).empty());
    EXPECT_TRUE(mentions(validateMesh(meshOf({{0, 0}, {1, 0}, {2, 0}, {1, 1}}, {{1, 2, 3, 4}})),
                         "corner 2 has an angle of 180.00"));
    EXPECT_TRUE(mentions(validateMesh(meshOf({{0, 0}, {2, 0}, {0.5, 0.5}, {0, 2}}, {{1, 2, 3, 4}})),
                         "corner 3 has an angle of 233.13"));
    EXPECT_FALSE(validateMesh(meshOf({{0, 0}, {1, 0}, {0, 1}, {1, 1}}, {{1, 2, 3, 4}})).empty());
}

TEST(MeshValidity, FinalCheckNamesTheElementAndItsCorner) {
    using tessaro::FemNode;
    using tessaro::MeshElement;
    struct Case {
        const char* name;
        std::vector<FemNode> nodes;
        std::array<int, 4> corners;
        const char* errorPart;  // empty: accepted
    };
    const std::vector<FemNode> square = {{1, 0, 0}, {2, 1, 0}, {3, 1, 1}, {4, 0, 1}};
    const Case cases[] = {
        {"square", square, {1, 2, 3, 4}, ""},
        {"inverted", square, {1, 4, 3, 2}, "invalid element 1: area not positive"},
        {"repeated corner", square, {1, 2, 3, 1}, "invalid element 1: repeated corner node"},
        {"self-intersecting",
         {{1, 0, 0}, {2, 4, 0}, {3, 4, 4}, {4, 3, -0.5}},
         {1, 2, 3, 4},
         "invalid element 1: sides cross"},
        {"straight corner",
         {{1, 0, 0}, {2, 1, 0}, {3, 2, 0}, {4, 1, 1}},
         {1, 2, 3, 4},
         "invalid element 1: corner 2 (node 2 at 1, 0) has an angle of 180.00 degrees"},
        {"above 177 degrees",
         {{1, 0, 0}, {2, 1, 0}, {3, 2, 0.05}, {4, 1, 1}},
         {1, 2, 3, 4},
         "invalid element 1: corner 2 (node 2 at 1, 0) has an angle of 177.14 degrees"},
        {"below 177 degrees", {{1, 0, 0}, {2, 1, 0}, {3, 2, 0.06}, {4, 1, 1}}, {1, 2, 3, 4}, ""},
        {"reflex corner",
         {{1, 0, 0}, {2, 2, 0}, {3, 0.5, 0.5}, {4, 0, 2}},
         {1, 2, 3, 4},
         "corner 3 (node 3 at 0.5, 0.5) has an angle of 233.13 degrees"},
    };
    for (const Case& c : cases) {
        MeshElement el;
        for (int k = 0; k < 4; ++k) el.w[1 + k] = c.corners[k];
        std::string error;
        const bool ok = tessaro::validateFinishedMesh(c.nodes, {el}, 4, error);
        if (!*c.errorPart) {
            EXPECT_TRUE(ok) << c.name << ": " << error;
            continue;
        }
        EXPECT_FALSE(ok) << c.name;
        EXPECT_NE(error.find(c.errorPart), std::string::npos) << c.name << ": " << error;
    }
}

TEST(MeshValidity, SmallestFailingRegionsGiveValidMeshes) {
    struct Case {
        const char* name;
        Polygon corners;
        std::vector<int> divisions;
        const char* refusal = "";  // the log line of a refused input
    };
    const Case cases[] = {
        {"L-slab 4 x 5", {{4, 0}, {4, 5}, {2, 5}, {2, 2.5}, {0, 2.5}, {0, 0}}, {4, 2, 2, 2, 2, 4}},
        {"L-slab 6 x 4", {{6, 0}, {6, 4}, {3, 4}, {3, 2}, {0, 2}, {0, 0}}, {4, 2, 2, 2, 2, 2}},
        {"L-slab 5 x 8", {{5, 0}, {5, 4}, {2.5, 4}, {2.5, 8}, {0, 8}, {0, 0}}, {4, 2, 4, 2, 6, 4}},
        {"rectangle 30 x 67", {{0, 0}, {30, 0}, {30, 67}, {0, 67}}, {4, 6, 4, 6}},
        {"hexagon",
         {{-9.4, 6.8}, {-9.3, -5.7}, {4.1, -6.4}, {6.5, -5.5}, {9.3, -3.6}, {9.5, 7.0}},
         {14, 16, 2, 4, 12, 22}},
        {"chamfer triangle", {{0, 0}, {5, 0}, {0, 5}}, {2, 4, 2}},
        {"nearly straight corner", {{0, 0}, {5, -0.02}, {10, 0}, {10, 10}, {0, 10}}, {4, 4, 8, 8, 8}},
        {"odd side counts",
         {{0, 0}, {10, 0}, {10, 10}, {0, 10}},
         {3, 5, 4, 4},
         "Error: region 1: element 4 has a corner of 180.00 degrees at (10, 2); side 1 has an odd number of "
         "segments (3): give every side an even number"},
        // Very unequal side counts left a node of a straight side, or of a
        // nearly straight row inside, as the flat corner of one element.
        {"graded rectangle",
         {{0, 0}, {1.2719855947171201, 0}, {1.2719855947171201, 1.5079710413656235}, {0, 1.5079710413656235}},
         {32, 12, 42, 30}},
        {"graded U-slab",
         {{0, 0},
          {1.5707591082601537, 0},
          {1.5707591082601537, 2.0525079703663787},
          {1.2386905239911572, 2.0525079703663787},
          {1.2386905239911572, 0.74363657207630385},
          {0.33206858426899649, 0.74363657207630385},
          {0.33206858426899649, 2.0525079703663787},
          {0, 2.0525079703663787}},
         {14, 18, 2, 12, 8, 12, 2, 18}},
        {"graded triangle",
         {{2.703593610392975, 2.5920683854889077},
          {0.83461493401972597, 3.6512538719075729},
          {3.3219818370287544, -1.7299345651381894}},
         {12, 34, 26}},
        // Refusals that say what to change.
        {"sliver triangle",
         {{17.166119956267135, 80.235678831608567},
          {15.429882510411044, 80.587583148006757},
          {-61.40964196696892, 54.417788501653398}},
         {2, 12, 12},
         "; the region's corner between sides 2 and 3 is 0.62 degrees: make it wider"},
    };
    for (const Case& c : cases) {
        const ToolRun run = runTool("validity", quadRegionText(c.corners, c.divisions));
        if (*c.refusal) {
            EXPECT_EQ(run.status, 1) << c.name;
            EXPECT_FALSE(run.meshWritten) << c.name;
            EXPECT_NE(run.log.find(c.refusal), std::string::npos) << c.name << "\n" << run.log;
            continue;
        }
        ASSERT_EQ(run.status, 0) << c.name << "\n" << run.log;
        const std::vector<std::string> problems = validateMesh(run.mesh);
        EXPECT_TRUE(problems.empty()) << c.name << ": " << (problems.empty() ? "" : problems.front());
    }
}

// Two free regions whose shared side is divided differently would leave
// hanging nodes: refused, naming both regions.
TEST(MeshValidity, SharedSideDividedDifferentlyIsRefused) {
    GeometrySpec g;
    g.points = {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {20, 0}, {20, 10}};
    g.regions.push_back(fourSidedRegion(-31, 101, {1, 2, 3, 4}, {4, 4, 4, 4}, {-2, 2, -2, -2}));
    g.regions.push_back(fourSidedRegion(-31, 102, {2, 5, 6, 3}, {4, 4, 4, 6}, {-2, -2, -2, 2}));
    const ToolRun run = runTool("unequal", geometryText(g));
    EXPECT_EQ(run.status, 1);
    EXPECT_FALSE(run.meshWritten);
    EXPECT_NE(run.log.find("Error: regions 1 and 2 share the side from (10, 0) to (10, 10) but divide it into 4 and "
                           "6 segments; give both the same division count"),
              std::string::npos)
        << run.log;
    // Divided alike, the two regions join into one valid mesh.
    g.regions[1].sides[3].segs[0].lim2 = 5;
    const ToolRun joined = runTool("equal", geometryText(g));
    ASSERT_EQ(joined.status, 0) << joined.log;
    ValidationOptions options;
    options.expectedArea = 200.0;
    EXPECT_EQ(validateMesh(joined.mesh, options), std::vector<std::string>{});
}

// A beam from the top side of region A up the seam of regions B and C
// (coded as beam faces), triangles: the vertex repair gives the same valid
// mesh in every order of the three regions.
TEST(MeshValidity, BeamVertexRepairInEveryRegionOrder) {
    auto geometry = [](const std::string& order) {
        GeometrySpec g;
        g.shape = 0;
        g.points = {{0, 0}, {20, 0}, {20, 10}, {10, 10}, {0, 10}, {10, 20}, {0, 20}, {20, 20}};
        auto region = [](int obj, std::vector<std::array<int, 4>> sides) {  // from, to, divisions, code
            RegionSpec r;
            r.scheme = -21;
            r.obj = obj;
            for (std::size_t k = 0; k < sides.size(); ++k) {
                SegSpec s;
                s.p1 = sides[k][0];
                s.p2 = sides[k][1];
                s.lim2 = sides[k][2] + 1;
                r.sides.push_back(SideSpec{static_cast<int>(k) + 1, sides[k][3], {s}});
            }
            return r;
        };
        const RegionSpec a = region(101, {{1, 2, 8, -2}, {2, 3, 4, -2}, {3, 4, 4, 2}, {4, 5, 4, 2}, {5, 1, 4, -2}});
        const RegionSpec b = region(102, {{5, 4, 4, 2}, {4, 6, 4, -6}, {6, 7, 4, -2}, {7, 5, 4, -2}});
        const RegionSpec c = region(103, {{4, 3, 4, 2}, {3, 8, 4, -2}, {8, 6, 4, -2}, {6, 4, 4, -6}});
        for (const char name : order) g.regions.push_back(name == 'A' ? a : name == 'B' ? b : c);
        StructSpec beam;
        beam.seg.lim2 = 5;
        beam.seg.p1 = 4;
        beam.seg.p2 = 6;
        g.structs.push_back(beam);
        return geometryText(g);
    };
    const ToolRun first = runTool("beam-order-abc", geometry("ABC"));
    ASSERT_EQ(first.status, 0) << first.log;
    ValidationOptions options;
    options.allowDoubledNodes = true;  // the beam faces keep both rows
    options.expectedArea = 400.0;
    EXPECT_EQ(validateMesh(first.mesh, options), std::vector<std::string>{});
    const int beamSides = sidesCoded(first.mesh, -6);
    EXPECT_GT(beamSides, 0);
    for (const std::string order : {"ACB", "BAC", "BCA", "CAB", "CBA"}) {
        const ToolRun run = runTool("beam-order", geometry(order));
        ASSERT_EQ(run.status, 0) << order << "\n" << run.log;
        EXPECT_EQ(validateMesh(run.mesh, options), std::vector<std::string>{}) << order;
        EXPECT_EQ(run.mesh.elements.size(), first.mesh.elements.size()) << order;
        EXPECT_EQ(run.mesh.xy.size(), first.mesh.xy.size()) << order;
        EXPECT_EQ(sidesCoded(run.mesh, -6), beamSides) << order;
    }
}

// The inputs that were refused although valid, or meshed only at some
// scales: thin strips with coarse long sides, a sharp thin wedge, graded
// side counts and a star. Each gives a valid mesh of the region's area in
// quadrilateral and triangle mode.
TEST(MeshValidity, FormerlyRefusedRegionsGiveValidMeshes) {
    struct Case {
        const char* name;
        Polygon corners;
        std::vector<int> divisions;
        bool quadrilateral;
    };
    const Polygon strip = {{0, 0}, {100, 0}, {100, 1}, {0, 1}};
    const Polygon square = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    const Polygon wedge = {{0, 0}, {0.383, 0}, {0.383, 0.018}};  // tip 2.69 degrees
    Polygon star;
    for (int k = 0; k < 12; ++k) {
        const double a = std::acos(-1.0) * k / 6.0, r = k % 2 == 0 ? 0.39 : 0.15;
        star.emplace_back(r * std::cos(a), r * std::sin(a));
    }
    const Case cases[] = {
        {"strip 100 x 1, 8/2/2/2, triangles", strip, {8, 2, 2, 2}, false},
        {"strip 100 x 1, 40/2/4/2, triangles", strip, {40, 2, 4, 2}, false},
        {"wedge, quadrilaterals", wedge, {424, 20, 426}, true},
        {"wedge, triangles", wedge, {424, 20, 426}, false},
        {"square 2/200/200/2, quadrilaterals", square, {2, 200, 200, 2}, true},
        {"square 2/200/200/2, triangles", square, {2, 200, 200, 2}, false},
        {"square 2/60/2/60, quadrilaterals", square, {2, 60, 2, 60}, true},
        {"12-corner star of 30 divisions, quadrilaterals", star, std::vector<int>(12, 30), true},
        {"12-corner star of 30 divisions, triangles", star, std::vector<int>(12, 30), false},
        // Thin strips: triangles fanning out from one node of a side of 2
        // segments facing one of 38, and three nodes of a short side left
        // in a row as the straight corner of an element. (Campaign strips
        // of millimetres, here in metres: the checker's coincidence
        // distance is absolute.)
        {"strip 3.1 x 0.16 m, 2/2/38/2, quadrilaterals",
         {{0, 0},
          {0.57908675958996745, -3.0256139162156332},
          {0.73532789437240245, -2.9957101760289188},
          {0.15624113478243502, 2.9903740186714365e-02}},
         {2, 2, 38, 2},
         true},
        {"strip 2.0 x 0.19 m, 2/4/4/4, quadrilaterals",
         {{0, 0},
          {-1.4318697596746258, -1.4257532200474851},
          {-1.3003490166571727, -1.5578381924316658},
          {0.13152074301745319, -0.1320849723841808}},
         {2, 4, 4, 4},
         true},
        {"strip 22 x 1.6 mm, 4/4/22/4, quadrilaterals",
         {{0, 0},
          {-0.0011140150997388598, 0.022078593930820185},
          {-0.0027166044989886222, 0.021997732405170514},
          {-0.0016025893992497621, -8.0861525649669934e-05}},
         {4, 4, 22, 4},
         true},
    };
    for (const Case& c : cases) {
        const ToolRun run = runTool("formerly-refused", freeRegionText(c.corners, c.divisions, c.quadrilateral));
        ASSERT_EQ(run.status, 0) << c.name << "\n" << run.log;
        ValidationOptions options;
        // Corners in either turning sense; the tolerance a millionth of
        // the area, also for regions of a few square millimetres.
        options.expectedArea = std::fabs(polygonArea(c.corners));
        options.areaTolerance = 1e-6 * std::min(1.0, options.expectedArea);
        const std::vector<std::string> problems = validateMesh(run.mesh, options);
        EXPECT_TRUE(problems.empty()) << c.name << ": " << (problems.empty() ? "" : problems.front());
    }
}

// A rectangle w x h turned by `angle` radians about its first corner.
Polygon turnedRectangle(double w, double h, double angle) {
    const double c = std::cos(angle), s = std::sin(angle);
    Polygon p;
    for (const auto& [x, y] : Polygon{{0, 0}, {w, 0}, {w, h}, {0, h}}) p.emplace_back(c * x - s * y, s * x + c * y);
    return p;
}

// Thin strips in quadrilateral mode whose segments are several times longer
// than the strip is wide. Where the long sides have the same count the mesh
// is the grid of rectangles: long count times short count elements, every
// corner straight. Where the counts differ (but not so much that an element
// must span a long segment facing several short ones) every corner keeps
// below 160 degrees and a scaled Jacobian (the sine of the corner) of at
// least 0.2.
TEST(MeshValidity, ThinStripsKeepGoodCorners) {
    struct Case {
        const char* name;
        Polygon corners;
        std::vector<int> divisions;
        bool grid;
    };
    const Case cases[] = {
        {"strip 58 x 8 mm, 8/4/8/4, turned", turnedRectangle(0.058, 0.008, 0.6247), {8, 4, 8, 4}, true},
        {"strip 21 x 1 m, 2/4/2/4, turned", turnedRectangle(21.0, 1.0, 2.2), {2, 4, 2, 4}, true},
        {"strip 100 x 1 m, 100/4/100/4", turnedRectangle(100.0, 1.0, 0.0), {100, 4, 100, 4}, false},
        {"strip 20 x 1 m, 20/4/16/4", turnedRectangle(20.0, 1.0, 0.0), {20, 4, 16, 4}, false},
        {"strip 20 x 1 mm, 20/2/16/2, turned", turnedRectangle(0.020, 0.001, 4.0), {20, 2, 16, 2}, false},
    };
    const double kPi = std::acos(-1.0);
    const double leastSine = 0.2, largestCorner = 160.0;
    for (const Case& c : cases) {
        const ToolRun run = runTool("thin-strip", freeRegionText(c.corners, c.divisions, true));
        ASSERT_EQ(run.status, 0) << c.name << "\n" << run.log;
        ValidationOptions options;
        options.expectedArea = std::fabs(polygonArea(c.corners));
        options.areaTolerance = 1e-6 * std::min(1.0, options.expectedArea);
        options.largestCornerAngle = largestCorner;
        const std::vector<std::string> problems = validateMesh(run.mesh, options);
        EXPECT_TRUE(problems.empty()) << c.name << ": " << (problems.empty() ? "" : problems.front());
        if (c.grid) {
            EXPECT_EQ(run.mesh.elements.size(), static_cast<std::size_t>(c.divisions[0] * c.divisions[1])) << c.name;
        }
        double smallestSine = 1.0, worstRightAngleError = 0.0;
        for (const FemElement& el : run.mesh.elements)
            for (const double angle : cornerAngles(run.mesh, el)) {
                smallestSine = std::min(smallestSine, std::sin(angle * kPi / 180.0));
                worstRightAngleError = std::max(worstRightAngleError, std::fabs(angle - 90.0));
            }
        EXPECT_GE(smallestSine, leastSine) << c.name;
        if (c.grid) {
            EXPECT_LT(worstRightAngleError, 0.01) << c.name;
        }
    }
}

// A region and its copy scaled by any factor from 1e-3 to 1e3 give the same
// mesh, scaled: the same elements on the same nodes at the scaled places.
TEST(MeshValidity, ScaledRegionGivesTheScaledMesh) {
    // 16 corners on a grid of 18.4 mm; once meshed differently at 0.1, 0.5
    // and 3 times its size and refused at 1e-3.
    const Polygon rectilinear = {{0.0, 0.0736},    {0.0552, 0.0736}, {0.0552, 0.0184}, {0.1472, 0.0184},
                                 {0.1472, 0.0368}, {0.2024, 0.0368}, {0.2024, 0.0184}, {0.3312, 0.0184},
                                 {0.3312, 0.1472}, {0.2024, 0.1472}, {0.2024, 0.2392}, {0.1472, 0.2392},
                                 {0.1472, 0.2208}, {0.0552, 0.2208}, {0.0552, 0.2392}, {0.0, 0.2392}};
    const std::vector<int> divisions = {4, 4, 4, 2, 4, 2, 8, 8, 8, 4, 4, 2, 4, 2, 4, 8};
    for (const bool quadrilateral : {true, false}) {
        const ToolRun reference = runTool("scale-1", freeRegionText(rectilinear, divisions, quadrilateral));
        ASSERT_EQ(reference.status, 0) << reference.log;
        for (const double factor : {1e-3, 0.1, 0.5, 2.0, 3.0, 10.0, 1e3}) {
            const std::string name = std::to_string(factor) + (quadrilateral ? " quadrilaterals" : " triangles");
            expectScaledMesh(runTool("scaled", freeRegionText(rectilinear, divisions, quadrilateral, factor)),
                             reference, factor, name);
        }
    }
}

// A 1 m wide strip whose long sides have segments of 12.5 or 2.5 m and of 50
// or 25 m leaves a nearly straight corner in quadrilateral mode (triangles
// of the 1 m width under a 50 m side): the refusal names the region, the
// element's place and what to change.
TEST(MeshValidity, RefusalNamesRegionPlaceAndRemedy) {
    struct Case {
        std::vector<int> divisions;
        const char* remedy;
    };
    const Case cases[] = {
        {{8, 2, 2, 2},
         "side 2 has 2 segments of 0.5 m and side 3 2 of 50 m: change the division count of side 2 or "
         "side 3 to bring them closer"},
        {{40, 2, 4, 2},
         "side 2 has 2 segments of 0.5 m and side 3 4 of 25 m: change the division count of side 2 or "
         "side 3 to bring them closer"},
    };
    for (const Case& c : cases) {
        const ToolRun run = runTool("refusal", freeRegionText({{0, 0}, {100, 0}, {100, 1}, {0, 1}}, c.divisions, true));
        ASSERT_EQ(run.status, 1) << c.remedy;
        EXPECT_FALSE(run.meshWritten);
        EXPECT_NE(run.log.find("Error: region 1: element "), std::string::npos) << run.log;
        EXPECT_NE(run.log.find(" degrees at ("), std::string::npos) << run.log;
        EXPECT_NE(run.log.find(c.remedy), std::string::npos) << run.log;
    }
}

// Regions joined into one mesh scale alike: two free regions sharing a side
// (quadrilaterals and triangles), scaled by 1e-3 to 1e3, give the mesh of
// the unscaled pair, scaled: the seam's nodes are shared at every scale.
TEST(MeshValidity, JoinedRegionsGiveTheScaledMesh) {
    auto pair = [](double factor, bool quadrilateral) {
        GeometrySpec g;
        g.shape = quadrilateral ? 1 : 0;
        for (const auto& [x, y] : Polygon{{0, 0}, {0.3, 0}, {0.3, 0.2}, {0, 0.2}, {0.7, 0}, {0.7, 0.2}})
            g.points.emplace_back(factor * x, factor * y);
        const int scheme = quadrilateral ? -31 : -21;
        g.regions.push_back(fourSidedRegion(scheme, 101, {1, 2, 3, 4}, {6, 4, 6, 4}, {-2, 2, -2, -2}));
        g.regions.push_back(fourSidedRegion(scheme, 102, {2, 5, 6, 3}, {8, 4, 8, 4}, {-2, -2, -2, 2}));
        return geometryText(g);
    };
    for (const bool quadrilateral : {true, false}) {
        const ToolRun reference = runTool("joined-1", pair(1.0, quadrilateral));
        ASSERT_EQ(reference.status, 0) << reference.log;
        ValidationOptions options;
        options.expectedArea = 0.14;
        EXPECT_EQ(validateMesh(reference.mesh, options), std::vector<std::string>{});
        for (const double factor : {1e-3, 0.01, 0.5, 3.0, 100.0, 1e3}) {
            const std::string name = std::to_string(factor) + (quadrilateral ? " quadrilaterals" : " triangles");
            expectScaledMesh(runTool("joined", pair(factor, quadrilateral)), reference, factor, name);
        }
    }
}

// Rings cut along their radii into free quadrilateral regions, each with an
// inner and an outer arc: the arcs' polylines turn by a few degrees at each
// node, so an element holding two arc segments beside each other would keep
// a corner of 180 degrees less that turn (168.75 for segments of 11.25
// degrees). Every corner stays below 160 degrees with a scaled Jacobian of
// at least 0.2 (the regions' own corners are right angles), and the mesh
// covers the polylines' area.
TEST(MeshValidity, RingRegionsKeepCornersWithinTheLimits) {
    struct Case {
        const char* name;
        int regions;  // the ring cut into this many equal regions
        double sweep, r1, r2;
        int inner, outer, radial;  // segments of each arc and radial side
    };
    const Case cases[] = {
        {"four quarters, outer segments of 11.25 degrees", 4, 360.0, 0.362, 0.558, 4, 8, 2},
        {"three thirds, outer segments of 15 degrees", 3, 360.0, 0.450, 0.772, 4, 8, 2},
        {"two halves, outer segments of 7.5 degrees", 2, 360.0, 11.16, 16.34, 18, 24, 2},
        {"four quarters of 0.12 m, outer segments of 9 degrees", 4, 360.0, 0.0801, 0.119, 6, 10, 2},
        {"a sector of 120 degrees, outer segments of 10 degrees", 1, 120.0, 2.87, 3.93, 8, 12, 2},
    };
    const double pi = std::acos(-1.0);
    for (const Case& c : cases) {
        GeometrySpec g;
        const double first = 20.0;
        const int cuts = c.regions == 1 ? 2 : c.regions;
        for (int k = 0; k < cuts; ++k) {
            const double a = (first + c.sweep * k / c.regions) * pi / 180.0;
            g.points.emplace_back(c.r1 * std::cos(a), c.r1 * std::sin(a));
            g.points.emplace_back(c.r2 * std::cos(a), c.r2 * std::sin(a));
        }
        double area = 0.0;
        for (int k = 0; k < c.regions; ++k) {
            const double start = first + c.sweep * k / c.regions, sweep = c.sweep / c.regions;
            g.arcs.push_back(ArcSpec{0, 0, c.r1, c.r1, start, sweep, c.inner + 1});
            g.arcs.push_back(ArcSpec{0, 0, c.r2, c.r2, start, sweep, c.outer + 1});
            const int innerArc = 2 + 2 * k, outerArc = 3 + 2 * k;
            const int a1 = 2 * k + 1, a2 = a1 + 1, b1 = (2 * k + 2) % (2 * cuts) + 1, b2 = b1 + 1;
            const int shared = c.regions == 1 ? -2 : 2;
            RegionSpec r;
            r.scheme = -31;
            r.obj = 101 + k;
            r.sides = {SideSpec{1, k == 0 ? shared : 2, {segmentOf(c.radial, 1, a1, 1, a2)}},
                       SideSpec{2, -2, {segmentOf(c.outer, outerArc, 1, outerArc, c.outer + 1)}},
                       SideSpec{3, k == c.regions - 1 ? shared : 2, {segmentOf(c.radial, 1, b2, 1, b1)}},
                       SideSpec{4, -2, {segmentOf(c.inner, innerArc, c.inner + 1, innerArc, 1)}}};
            g.regions.push_back(r);
            // Between the two polylines: n triangles of the arc's segment angle each.
            const double t1 = sweep / c.inner * pi / 180.0, t2 = sweep / c.outer * pi / 180.0;
            area += 0.5 * (c.r2 * c.r2 * c.outer * std::sin(t2) - c.r1 * c.r1 * c.inner * std::sin(t1));
        }
        const ToolRun run = runTool("ring", geometryText(g));
        ASSERT_EQ(run.status, 0) << c.name << "\n" << run.log;
        ValidationOptions options;
        options.expectedArea = area;
        options.areaTolerance = 1e-7;  // the arcs' points are computed apart from the test's
        EXPECT_EQ(validateMesh(run.mesh, options), std::vector<std::string>{}) << c.name;
        double largest = 0.0, smallestSine = 1.0;
        for (const FemElement& el : run.mesh.elements)
            for (const double angle : cornerAngles(run.mesh, el)) {
                largest = std::max(largest, angle);
                smallestSine = std::min(smallestSine, std::sin(angle * pi / 180.0));
            }
        EXPECT_LT(largest, 160.0) << c.name;
        EXPECT_GE(smallestSine, 0.2) << c.name;
    }
}

// Squares whose opposite sides are divided very differently, in
// quadrilateral mode: the halved boundary leaves one long segment on a side
// beside many short ones, and the elements on the long segment must still
// keep every corner below 160 degrees with a scaled Jacobian (the sine of
// the corner) of at least 0.2. A square of 2, 200, 200 and 2 segments is
// only required to give a valid mesh.
TEST(MeshValidity, GradedSquaresKeepCornersWithinTheLimits) {
    struct Case {
        std::vector<int> divisions;
        bool limits;
    };
    const Case cases[] = {
        {{2, 60, 2, 60}, true}, {{40, 2, 40, 2}, true},   {{2, 30, 2, 30}, true},
        {{4, 80, 4, 80}, true}, {{10, 60, 10, 60}, true}, {{2, 200, 200, 2}, false},
    };
    const double pi = std::acos(-1.0);
    const Polygon square{{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    for (const Case& c : cases) {
        std::string name;
        for (int d : c.divisions) name += (name.empty() ? "" : "/") + std::to_string(d);
        const ToolRun run = runTool("graded", freeRegionText(square, c.divisions, true));
        ASSERT_EQ(run.status, 0) << name << "\n" << run.log;
        ValidationOptions options;
        options.expectedArea = 100.0;
        EXPECT_EQ(validateMesh(run.mesh, options), std::vector<std::string>{}) << name;
        if (!c.limits) continue;
        double largest = 0.0, smallestSine = 1.0;
        for (const FemElement& el : run.mesh.elements)
            for (const double angle : cornerAngles(run.mesh, el)) {
                largest = std::max(largest, angle);
                smallestSine = std::min(smallestSine, std::sin(angle * pi / 180.0));
            }
        EXPECT_LT(largest, 160.0) << name;
        EXPECT_GE(smallestSine, 0.2) << name;
    }
}
