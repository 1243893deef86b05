// Structure elements against region sides: region values of the regions a
// beam runs along and the free beam ends that become vertices.
#include <deque>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "Tessaro_DLL/structure/RegionBeamVertices.h"
#include "Tessaro_DLL/structure/StructureSides.h"

using namespace tessaro;

namespace {

// Points of entity 1, numbered from 1.
std::vector<PointRecord> pointsAt(const std::vector<std::pair<double, double>>& xy) {
    std::vector<PointRecord> points;
    for (std::size_t k = 0; k < xy.size(); ++k)
        points.push_back(PointRecord{11, 1, static_cast<int>(k) + 1, xy[k].first, xy[k].second, 0});
    return points;
}

SideSegment segmentBetween(const std::vector<PointRecord>& points, int from, int to) {
    SideSegment seg;
    seg.startEntity = seg.endEntity = 1;
    seg.startPoint = from;
    seg.endPoint = to;
    seg.x1 = points[from - 1].x;
    seg.y1 = points[from - 1].y;
    seg.x2 = points[to - 1].x;
    seg.y2 = points[to - 1].y;
    return seg;
}

// A region over a closed polygon of point numbers.
void addRegion(ModelLists& lists, const std::vector<PointRecord>& points, const std::vector<int>& corners, int obj) {
    appendRegion(lists);
    RegionRecord& region = *lastRegion(lists);
    region.objIndex = obj;
    for (std::size_t k = 0; k < corners.size(); ++k) {
        RegionSide side;
        side.sideNumber = static_cast<int>(k) + 1;
        side.segmentCount = 1;
        side.segments.push_back(segmentBetween(points, corners[k], corners[(k + 1) % corners.size()]));
        region.sides.push_back(side);
    }
}

void addBeam(ModelLists& lists, int from, int to) {
    appendStructureElement(lists);
    SideSegment seg;
    seg.startEntity = seg.endEntity = 1;
    seg.startPoint = from;
    seg.endPoint = to;
    StructureElementRecord& beam = *lastStructureElement(lists);
    beam.id = static_cast<int>(lists.structureElements.size());
    beam.kind = 1;
    beam.segments.push_back(seg);
}

std::vector<int> vertexNames(const std::vector<MeshNode>& vertices) {
    std::vector<int> names;
    for (const MeshNode& v : vertices) names.push_back(v.name);
    return names;
}

}  // namespace

TEST(StructureSides, BeamAlongTheSharedSideOfTwoRegions) {
    // Squares 1-2-3-4 and 2-5-6-3 share the side 2-3.
    const auto points = pointsAt({{0, 0}, {1, 0}, {1, 1}, {0, 1}, {2, 0}, {2, 1}});
    ModelLists lists;
    addRegion(lists, points, {1, 2, 3, 4}, 101);
    addRegion(lists, points, {2, 5, 6, 3}, 102);
    addBeam(lists, 2, 3);
    std::vector<MeshNode> vertices;
    intersectStructureElementsWithSides(vertices, points, lists);
    const StructureElementRecord& beam = lists.structureElements.front();
    EXPECT_EQ(beam.regionValues, (std::vector<int>{101, 102}));
    EXPECT_DOUBLE_EQ(beam.segments.front().x1, 1.0);
    EXPECT_DOUBLE_EQ(beam.segments.front().y2, 1.0);
    EXPECT_EQ(vertexNames(vertices), (std::vector<int>{2, 3}));
    EXPECT_DOUBLE_EQ(vertices[1].y, 1.0);
}

TEST(StructureSides, VerticesAreTheFreeEndsOfBeamsOnSides) {
    struct Case {
        const char* name;
        std::vector<std::pair<int, int>> beams;
        std::vector<int> vertices;
    };
    // A triangle 1-2-3 whose side 1-2 carries point 4 in its middle; point
    // 5 lies inside; a second triangle 6-7-8 starts at point 6, 5e-5 from
    // point 2.
    const auto points = pointsAt({{0, 0}, {2, 0}, {1, 2}, {1, 0}, {1, 0.5}, {2 + 5e-5, 0}, {3, 0}, {3, 1}});
    const Case cases[] = {
        {"two beams end to end", {{1, 4}, {4, 2}}, {1, 2}},
        {"a beam along no side", {{5, 3}}, {}},
        {"a beam from inside to a corner", {{1, 4}, {4, 2}, {5, 1}}, {2}},
        {"candidates 5e-5 apart", {{1, 4}, {4, 2}, {6, 7}}, {1, 2, 7}},
    };
    for (const Case& c : cases) {
        ModelLists lists;
        appendRegion(lists);
        RegionRecord& region = *lastRegion(lists);
        region.objIndex = 7;
        for (const auto& [a, b] : std::vector<std::pair<int, int>>{{1, 4}, {4, 2}, {2, 3}, {3, 1}}) {
            RegionSide side;
            side.segments.push_back(segmentBetween(points, a, b));
            region.sides.push_back(side);
        }
        addRegion(lists, points, {6, 7, 8}, 8);
        for (const auto& [a, b] : c.beams) addBeam(lists, a, b);
        std::vector<MeshNode> vertices;
        intersectStructureElementsWithSides(vertices, points, lists);
        EXPECT_EQ(vertexNames(vertices), c.vertices) << c.name;
    }
}

TEST(StructureSides, BeamVerticesSelectedForAFreeRegion) {
    // Square 1-2-3-4 with point 5 = (1, 0.5) on its right side; squares
    // 2-6-7-5 and 5-7-8-3 to its right share the side 5-7.
    const auto points = pointsAt({{0, 0}, {1, 0}, {1, 1}, {0, 1}, {1, 0.5}, {2, 0}, {2, 0.5}, {2, 1}});
    ModelLists lists;
    addRegion(lists, points, {1, 2, 5, 3, 4}, 101);
    addRegion(lists, points, {2, 6, 7, 5}, 102);
    addRegion(lists, points, {5, 7, 8, 3}, 103);
    addBeam(lists, 5, 7);  // along the shared side of the right squares
    addBeam(lists, 1, 2);  // along the left square's own side
    std::vector<MeshNode> vertices;
    intersectStructureElementsWithSides(vertices, points, lists);
    ASSERT_EQ(vertexNames(vertices), (std::vector<int>{5, 7, 1, 2}));

    const RegionRecord& left = lists.regions.front();
    const std::vector<MeshNode> selected =
        placeBeamVerticesInRegion(left, vertices, lists.structureElements, lists.regions);
    EXPECT_EQ(vertexNames(selected), (std::vector<int>{5}));
    bool found = false;
    EXPECT_TRUE(isStraightBoundaryPoint(left, 1, 0.5, found));
    EXPECT_TRUE(found);
    EXPECT_FALSE(isStraightBoundaryPoint(left, 1, 0, found));
    EXPECT_TRUE(found);
    isStraightBoundaryPoint(left, 0.5, 0.5, found);
    EXPECT_FALSE(found);

    // Two more regions touching point 5 make three meet there besides
    // those along the beam: the vertex is marked.
    addRegion(lists, points, {5, 3, 4}, 104);
    EXPECT_EQ(vertexNames(placeBeamVerticesInRegion(left, vertices, lists.structureElements, lists.regions)),
              (std::vector<int>{5}));
    addRegion(lists, points, {1, 2, 5}, 105);
    const std::vector<MeshNode> marked =
        placeBeamVerticesInRegion(left, vertices, lists.structureElements, lists.regions);
    EXPECT_EQ(vertexNames(marked), (std::vector<int>{-5}));
}

namespace {

// A unit square region whose corner node 1 at the origin is held by
// `around` elements; the coded sides start there (element 1) and end there
// (element 2). A beam runs from the corner away from the region.
RegionRecord cornerRegion(bool quadrilaterals, int around) {
    const auto points = pointsAt({{0, 0}, {1, 0}, {1, 1}, {0, 1}});
    ModelLists lists;
    addRegion(lists, points, {1, 2, 3, 4}, 101);
    RegionRecord region = lists.regions.front();
    region.nodes = {{1, 0, 0, 0}, {2, 1, 0, 0}, {3, 0, 1, 0}, {4, 0.5, 0.5, 0}};
    MeshElement first, last;
    first.w = {1, 1, 2, 4, quadrilaterals ? 3 : 0};
    last.w = {2, 3, 1, 4, 0};
    if (quadrilaterals) last.w = {2, 3, 1, 2, 4};
    region.elements = {first, last};
    region.neighbours.resize(2);
    region.adjacency.resize(4);
    region.adjacency[0].elementCount = around;
    for (int k = 0; k < around; ++k) region.adjacency[0].elements[k] = 1 + k % 2;
    region.codedSides = {{1, 0, -2}, {2, 0, -2}};
    return region;
}

}  // namespace

TEST(StructureSides, CornerVerticesTheHandlersRefuse) {
    std::deque<StructureElementRecord> beams(1);
    SideSegment seg;
    seg.x2 = seg.y2 = -1;
    beams.front().segments.push_back(seg);
    const std::vector<MeshNode> selection = {{1, 0, 0, 0}};
    struct Case {
        bool quadrilaterals;
        int around;
        const char* message;
    };
    const Case cases[] = {
        {true, 3, "Error: beam vertex locates at region corner\n"},
        {false, 2, "Error: two triangle founded when split beam vertex on region edge\n"},
        {false, 5, "Error: Try to split node around firve triangle elements\n"},
        {false, 1, "Error: Try to split node around firve triangle elements\n"},
    };
    for (const Case& c : cases) {
        RegionRecord region = cornerRegion(c.quadrilaterals, c.around);
        std::ostringstream log;
        bool regionFailed = true;
        const bool done = c.quadrilaterals ? handleBeamVertexAtCorner(region, selection, beams, log, regionFailed)
                                           : splitBeamVertexOnEdge(region, selection, beams, log, regionFailed);
        EXPECT_FALSE(done) << c.around;
        EXPECT_FALSE(regionFailed) << c.around;
        EXPECT_EQ(log.str(), c.message);
        EXPECT_EQ(region.nodes.size(), 4u);
        // A marked vertex is left alone.
        std::ostringstream quiet;
        const std::vector<MeshNode> marked = {{-1, 0, 0, 0}};
        EXPECT_TRUE(c.quadrilaterals ? handleBeamVertexAtCorner(region, marked, beams, quiet, regionFailed)
                                     : splitBeamVertexOnEdge(region, marked, beams, quiet, regionFailed));
        EXPECT_EQ(quiet.str(), "");
    }
}
