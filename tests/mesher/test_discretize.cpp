// Boundary discretisation: grading, the curve through entity points, and the
// node rows of mapped sides, free-region sides and structure elements.
#include <cmath>
#include <sstream>

#include <gtest/gtest.h>

#include "Tessaro_DLL/mapped/Discretize.h"

using namespace tessaro;

namespace {

// Straight entities only: no arc records.
const std::deque<GeometryEntityRecord> kNoArcs;

std::vector<PointRecord> entityPoints(int entity, int code, std::initializer_list<Point2> xy) {
    std::vector<PointRecord> points;
    int k = 0;
    for (const Point2& p : xy) points.push_back(PointRecord{code, entity, ++k, p.first, p.second, 0});
    return points;
}

SideSegment segment(int lim1, int lim2, int e1, int p1, int e2, int p2, double cpar = 0.0, double wn = 1.0) {
    SideSegment s;
    s.lim1 = lim1;
    s.lim2 = lim2;
    s.cpar = cpar;
    s.wn = wn;
    s.startEntity = e1;
    s.startPoint = p1;
    s.endEntity = e2;
    s.endPoint = p2;
    return s;
}

RegionRecord regionWithSide(int sideNumber, const SideSegment& seg, int code = -2) {
    RegionRecord r;
    r.objIndex = 104;
    RegionSide side;
    side.sideNumber = sideNumber;
    side.neighbourCode = code;
    side.segmentCount = 1;
    side.segments = {seg};
    r.sides = {side};
    r.sideCodes = {code};
    return r;
}

// The work lists and holders that the driver keeps across the sides of one
// free region.
struct FreeSides {
    explicit FreeSides(const std::vector<PointRecord>& pointList) : points(pointList) {}

    const std::vector<PointRecord>& points;
    std::vector<PointRecord> generated;
    std::vector<MeshNode> nodes;
    std::vector<BoundarySegment> segments;
    MeshNode a, b;
    int counter = 0;
    std::ostringstream log;

    void side(RegionRecord& region, int index, int previousCode, int code) {
        discretizeFreeRegionSide(region, index, counter, generated, points, kNoArcs, nodes, segments, previousCode,
                                 code, a, b, false, log);
    }
};

}  // namespace

TEST(Discretize, GradedParameter) {
    const std::vector<double> equal = {0.0, 0.25, 0.5, 0.75, 1.0};
    EXPECT_EQ(gradedParameter(5, 0.0, 1.0), equal);
    EXPECT_EQ(gradedParameter(5, 0.3, 0.0), equal);  // weight 0: uniform
    EXPECT_EQ(gradedParameter(1, 0.3, 1.0), std::vector<double>{0.0});
    EXPECT_TRUE(gradedParameter(0, 0.0, 1.0).empty());
    const double pi = 4 * std::atan(1.0);
    for (double wn : {1.0, 2.0, 3.0}) {
        const std::vector<double> s = gradedParameter(6, 0.2, wn);
        EXPECT_DOUBLE_EQ(s.front(), 0.0);
        EXPECT_NEAR(s.back(), 1.0, 1e-15);
        EXPECT_NEAR(s[2], 0.4 + 0.2 / wn * std::sin(pi * wn * 0.4), 1e-15);
    }
}

TEST(Discretize, CurveThroughThreePointsWithEqualChordsIsTheirParabola) {
    const auto points = entityPoints(2, 31, {{0, 0}, {1, 1}, {2, 0}});
    std::vector<Point2> nodes;
    ASSERT_TRUE(curveSpline(2, 1, 3, points, {0.0, 0.25, 0.5, 0.75, 1.0}, nodes));
    ASSERT_EQ(nodes.size(), 5u);
    // With u = x / 2 the parabola is y = 4 u (1 - u).
    for (int k = 0; k < 5; ++k) {
        const double u = k * 0.25;
        EXPECT_NEAR(nodes[k].first, 2 * u, 1e-12);
        EXPECT_NEAR(nodes[k].second, 4 * u * (1 - u), 1e-12);
    }
    // Reversed point order walks the same curve backwards.
    ASSERT_TRUE(curveSpline(2, 3, 1, points, {0.0, 0.25, 1.0}, nodes));
    EXPECT_NEAR(nodes[1].first, 1.5, 1e-12);
    EXPECT_NEAR(nodes[1].second, 0.75, 1e-12);
    EXPECT_FALSE(curveSpline(2, 1, 4, points, {0.0, 1.0}, nodes));
}

TEST(Discretize, ClosedCurveUsesThePeriodicTangent) {
    const auto points = entityPoints(3, 31, {{1, 0}, {0, 1}, {-1, 0}, {0, -1}, {1, 0}});
    std::vector<Point2> nodes;
    ASSERT_TRUE(curveSpline(3, 1, 5, points, {0.0, 0.125, 1.0}, nodes));
    EXPECT_EQ(nodes.front(), nodes.back());
    // Tangent (0, 4) at the start (an open end would give (-4, 8) and the node
    // (0.5, 0.75)).
    EXPECT_NEAR(nodes[1].first, 0.625, 1e-12);
    EXPECT_NEAR(nodes[1].second, 0.625, 1e-12);
}

TEST(Discretize, OvershootFallsBackToTheChord) {
    const auto points = entityPoints(2, 31, {{0, 0}, {1, 0}, {2, 1}});
    const double u1 = 1.0 / (1.0 + std::sqrt(2.0));
    std::vector<Point2> nodes;
    ASSERT_TRUE(curveSpline(2, 1, 3, points, {0.0, 0.5 * u1, 1.0}, nodes));
    EXPECT_DOUBLE_EQ(nodes[1].second, 0.0);
    EXPECT_NEAR(nodes[1].first, 0.5, 1e-12);
}

TEST(Discretize, MappedSegmentsFillTheirGridEdge) {
    const auto points = entityPoints(1, 11, {{0, 0}, {4, 0}, {0, 6}});
    struct Case {
        int side;
        SideSegment seg;
        int i0, j0, di, dj, count;
    };
    const Case cases[] = {
        {1, segment(1, 4, 1, 1, 1, 3), 0, 0, 0, 1, 4},
        {2, segment(2, 4, 1, 1, 1, 3), 4, 1, 0, 1, 3},
        {3, segment(1, 5, 1, 1, 1, 2), 0, 0, 1, 0, 5},
        {4, segment(3, 5, 1, 1, 1, 2), 2, 3, 1, 0, 3},
    };
    for (const Case& c : cases) {
        RegionRecord r = regionWithSide(c.side, c.seg);
        MappedGrid grid(5, 4);
        std::vector<PointRecord> generated;
        std::ostringstream log;
        discretizeMappedSegment(r, 0, 0, points, kNoArcs, generated, log, grid);
        EXPECT_EQ(log.str(), "");
        ASSERT_EQ(static_cast<int>(generated.size()), c.count) << c.side;
        const SideSegment& s = r.sides[0].segments[0];
        for (int k = 0; k < c.count; ++k) {
            const int i = c.i0 + k * c.di, j = c.j0 + k * c.dj;
            const double t = c.count == 1 ? 0.0 : static_cast<double>(k) / (c.count - 1);
            EXPECT_TRUE(grid.filled[grid.at(i, j)]);
            EXPECT_NEAR(grid.x[grid.at(i, j)], s.x1 + t * (s.x2 - s.x1), 1e-12);
            EXPECT_NEAR(grid.y[grid.at(i, j)], s.y1 + t * (s.y2 - s.y1), 1e-12);
            EXPECT_EQ(generated[k].owner, 104);
            EXPECT_EQ(generated[k].libCode, 11);
        }
    }
    // Reversed limits place nothing on the straight path.
    RegionRecord r = regionWithSide(1, segment(3, 1, 1, 1, 1, 3));
    MappedGrid grid(2, 3);
    std::vector<PointRecord> generated;
    std::ostringstream log;
    discretizeMappedSegment(r, 0, 0, points, kNoArcs, generated, log, grid);
    EXPECT_TRUE(generated.empty());
}

TEST(Discretize, EndPointsOnDifferentKindsAreNotAValidGeometry) {
    std::vector<PointRecord> points = entityPoints(1, 11, {{0, 0}, {1, 0}});
    const std::vector<PointRecord> arc = entityPoints(2, 31, {{1, 0}, {0, 1}});
    points.insert(points.end(), arc.begin(), arc.end());
    RegionRecord r = regionWithSide(3, segment(1, 2, 1, 1, 2, 2));
    MappedGrid grid(2, 2);
    std::vector<PointRecord> generated;
    std::ostringstream log;
    discretizeMappedSegment(r, 0, 0, points, kNoArcs, generated, log, grid);
    EXPECT_EQ(log.str(), "Error: Not a valid geometry definition\n");
    EXPECT_TRUE(generated.empty());
}

TEST(Discretize, FreeRegionSidesGiveNodesAndSegments) {
    const auto points = entityPoints(1, 11, {{0, 0}, {3, 0}, {3, 2}});
    RegionRecord r = regionWithSide(1, segment(1, 4, 1, 1, 1, 2), 5);
    RegionSide second;
    second.sideNumber = 2;
    second.neighbourCode = -3;
    second.segments = {segment(1, 3, 1, 2, 1, 3)};
    r.sides.push_back(second);
    FreeSides w(points);
    w.side(r, 0, 5, 5);
    w.side(r, 1, 5, -3);
    EXPECT_EQ(w.log.str(), "");
    EXPECT_EQ(w.counter, 7);
    ASSERT_EQ(w.nodes.size(), 7u);
    // The corner shared by the two sides exists twice.
    EXPECT_EQ(w.nodes[3].x, 3.0);
    EXPECT_EQ(w.nodes[4].x, 3.0);
    EXPECT_EQ(w.nodes[4].y, 0.0);
    for (int k = 0; k < 7; ++k) EXPECT_EQ(w.nodes[k].name, k + 1);
    ASSERT_EQ(w.segments.size(), 5u);
    EXPECT_EQ(w.segments[2].start, 3);
    EXPECT_EQ(w.segments[2].end, 4);
    EXPECT_EQ(w.segments[2].code, -1);  // towards a neighbouring region
    EXPECT_EQ(w.segments[3].number, 4);
    EXPECT_EQ(w.segments[3].start, 5);
    EXPECT_EQ(w.segments[3].code, -3);
    EXPECT_EQ(w.generated.size(), 7u);

    // A side on a missing point places nothing and leaves the counter.
    RegionRecord bad = regionWithSide(1, segment(1, 4, 1, 1, 1, 9));
    w.side(bad, 0, -2, -2);
    EXPECT_EQ(w.counter, 7);
    EXPECT_EQ(w.nodes.size(), 7u);
    EXPECT_EQ(w.log.str(), "Error: Not a valid geometry definition\n");
}

TEST(Discretize, InterfaceSidesSubstituteTheirStartPoint) {
    const auto points = entityPoints(1, 11, {{0, 0}, {4, 0}, {4, 4}, {0, 4}});
    FreeSides w(points);

    // -2 followed by -8 keeps the start of the -8 side.
    RegionRecord r1 = regionWithSide(1, segment(1, 3, 1, 2, 1, 3), -8);
    w.side(r1, 0, -2, -8);
    EXPECT_EQ(w.a.x, 4.0);
    EXPECT_EQ(w.a.y, 0.0);

    // -9 followed by -2: placed from the kept point, first node on its own start.
    w.nodes.clear();
    RegionRecord r2 = regionWithSide(1, segment(1, 3, 1, 4, 1, 3), -2);
    w.side(r2, 0, -9, -2);
    ASSERT_EQ(w.nodes.size(), 3u);
    EXPECT_EQ(w.b.x, 0.0);
    EXPECT_EQ(w.b.y, 4.0);
    EXPECT_EQ(w.nodes[0].x, 0.0);  // moved to the side's own start
    EXPECT_EQ(w.nodes[0].y, 4.0);
    EXPECT_EQ(w.nodes[1].x, 4.0);  // halfway from (4, 0) to (4, 4)
    EXPECT_EQ(w.nodes[1].y, 2.0);
    EXPECT_EQ(r2.sides[0].segments[0].x1, 4.0);
    EXPECT_EQ(w.log.str(), "");
}

TEST(Discretize, StructureElementGetsNodesAndLineElements) {
    const auto points = entityPoints(1, 11, {{0, 0}, {3, 0}});
    StructureElementRecord se;
    se.id = 7;
    se.kind = 1;
    se.value4 = 44;
    se.value5 = 55;
    se.segments = {segment(1, 4, 1, 1, 1, 2)};
    std::ostringstream log;
    ASSERT_TRUE(discretizeStructureElement(se, points, kNoArcs, log));
    ASSERT_EQ(se.nodes.size(), 4u);
    EXPECT_EQ(se.nodes[2].id, 3);
    EXPECT_DOUBLE_EQ(se.nodes[2].x, 2.0);
    ASSERT_EQ(se.lines.size(), 3u);
    EXPECT_EQ(se.lines[1].w, (std::array<int, 9>{2, 2, 0, 3, 44, 1, 0, 1, 11}));

    StructureElementRecord bad;
    bad.segments = {segment(1, 4, 1, 1, 1, 5)};
    EXPECT_FALSE(discretizeStructureElement(bad, points, kNoArcs, log));
    EXPECT_EQ(log.str(), "Error: Not a valid geometry definition\n");
}
