// Joining regions into the global mesh and adding mid-side nodes, on meshes
// built directly in memory.
#include <cmath>
#include <sstream>

#include <gtest/gtest.h>

#include "Tessaro_DLL/mapped/Discretize.h"
#include "Tessaro_DLL/mapped/MappedMesh.h"
#include "Tessaro_DLL/mapped/Midside.h"
#include "Tessaro_DLL/model/Merge.h"

using namespace tessaro;

namespace {

const double kPi = 4 * std::atan(1.0);

// A rectangle meshed as a mapped region, with its own points in `points`
// (entity 1) and `lists`.
RegionRecord mappedRectangle(double x0, double y0, double w, double h, int ni, int nj, const int codes[4], int scheme,
                             int obj, std::vector<PointRecord>& points, ModelLists& lists,
                             std::vector<PointRecord>& generated) {
    if (lists.entities.empty()) {
        appendGeometryEntity(lists);
        lastGeometryEntity(lists)->index = 1;
        lastGeometryEntity(lists)->libCode = 11;
    }
    const int base = static_cast<int>(points.size());
    const double xy[4][2] = {{x0, y0}, {x0 + w, y0}, {x0 + w, y0 + h}, {x0, y0 + h}};
    for (int k = 0; k < 4; ++k) points.push_back(PointRecord{11, 1, base + k + 1, xy[k][0], xy[k][1], 0});
    RegionRecord r;
    r.scheme = scheme;
    r.elementShape = scheme == 51 ? 0 : 1;
    r.objIndex = obj;
    r.elemGroup = 2;
    r.imax = ni + 1;
    r.jmax = nj + 1;
    const int ends[4][3] = {{nj, 1, 4}, {nj, 2, 3}, {ni, 1, 2}, {ni, 4, 3}};
    for (int s = 0; s < 4; ++s) {
        RegionSide side;
        side.sideNumber = s + 1;
        side.neighbourCode = codes[s];
        SideSegment seg;
        seg.lim1 = 1;
        seg.lim2 = ends[s][0] + 1;
        seg.wn = 1;
        seg.startEntity = seg.endEntity = 1;
        seg.startPoint = base + ends[s][1];
        seg.endPoint = base + ends[s][2];
        side.segments = {seg};
        r.sides.push_back(side);
        r.sideCodes.push_back(codes[s]);
    }
    MappedGrid grid(r.imax, r.jmax);
    std::ostringstream log;
    for (int s = 0; s < 4; ++s) discretizeMappedSegment(r, s, 0, points, {}, generated, log, grid);
    std::string error;
    EXPECT_TRUE(fillMappedGrid(r, grid, error)) << error;
    if (scheme == 11) {
        emitMappedQuads(r, r.imax, r.jmax, r.elemGroup, obj, lists);
        collectBoundarySides(r, 4);
        adjustMappedQuads(r);
    } else {
        emitMappedTriangles(r, r.imax, r.jmax, r.elemGroup, obj, generated);
        collectBoundarySides(r, 3);
    }
    buildRegionBoundarySides(r);
    return r;
}

// Points, model lists and global mesh shared by the regions of one test.
struct Model {
    std::vector<PointRecord> points, generated;
    ModelLists lists;
    GlobalMesh mesh;

    RegionRecord rectangle(double x0, double y0, double w, double h, int ni, int nj, const int codes[4], int scheme,
                           int obj) {
        return mappedRectangle(x0, y0, w, h, ni, nj, codes, scheme, obj, points, lists, generated);
    }
    void merge(RegionRecord& region) { mergeRegionIntoMesh(region, mesh, lists.structureElements); }
};

}  // namespace

TEST(Merge, JoinedSquaresShareNodesAndNameEachOther) {
    Model m;
    const int codes[4] = {-2, -1, -2, -2};
    const int codes2[4] = {-1, -2, -2, -2};
    RegionRecord a = m.rectangle(0, 0, 1, 1, 1, 1, codes, 11, 101);
    RegionRecord b = m.rectangle(1, 0, 1, 1, 1, 1, codes2, 11, 102);
    m.merge(a);
    EXPECT_EQ(m.mesh.openSides.size(), 4u);
    m.merge(b);
    EXPECT_EQ(m.mesh.nodes.size(), 6u);
    ASSERT_EQ(m.mesh.elements.size(), 2u);
    EXPECT_EQ(m.mesh.neighbours[0].n[2], 2);  // right side of the first
    EXPECT_EQ(m.mesh.neighbours[1].n[4], 1);  // left side of the second
    EXPECT_EQ(m.mesh.openSides.size(), 6u);
    for (const BoundarySide& s : m.mesh.openSides) EXPECT_FALSE(s.element == 1 && s.side == 1);
    // Entity words of the second region are not shifted by the element count.
    EXPECT_EQ(m.mesh.neighbours[1].n[5], 1);
    EXPECT_EQ(m.mesh.neighbours[1].n[9], 11);
    EXPECT_EQ(m.mesh.neighbours[1].n[0], 2);
    // Mid-side words start empty.
    for (const MeshElement& el : m.mesh.elements)
        for (int k = 5; k <= 9; ++k) EXPECT_EQ(el.w[k], 0);
}

TEST(Merge, TriangleRecordsKeepTheirFourthWordEmpty) {
    Model m;
    const int codes[4] = {-2, -2, -2, -2};
    RegionRecord a = m.rectangle(0, 0, 2, 2, 2, 2, codes, 51, 101);
    RegionRecord b = m.rectangle(2, 0, 2, 2, 2, 2, codes, 51, 102);
    m.merge(a);
    m.merge(b);
    EXPECT_EQ(m.mesh.nodes.size(), 15u);
    ASSERT_EQ(m.mesh.neighbours.size(), 16u);
    for (const ElementNeighbours& nb : m.mesh.neighbours) EXPECT_EQ(nb.n[4], 0);
    for (const MeshElement& el : m.mesh.elements) EXPECT_EQ(el.w[4], 0);
}

TEST(Merge, MinusThreeSideOnOneRegionOnlyStaysOpen) {
    Model m;
    const int left[4] = {-2, -3, -2, -2};
    const int right[4] = {-1, -2, -2, -2};
    RegionRecord a = m.rectangle(0, 0, 1, 1, 1, 2, left, 11, 101);
    RegionRecord b = m.rectangle(1, 0, 1, 1, 1, 2, right, 11, 102);
    m.merge(a);
    m.merge(b);
    EXPECT_EQ(m.mesh.nodes.size(), 12u);
    ASSERT_EQ(m.mesh.neighbours.size(), 4u);
    for (int e : {0, 1}) EXPECT_EQ(m.mesh.neighbours[e].n[2], -3);
    for (int e : {2, 3}) EXPECT_EQ(m.mesh.neighbours[e].n[4], -1);
}

TEST(Merge, StructureElementOfAnInterfaceRun) {
    Model m;
    const int codes[4] = {-8, -2, -2, -2};
    RegionRecord r = m.rectangle(0, 0, 1, 3, 1, 3, codes, 11, 101);
    appendStructureElement(m.lists);
    StructureElementRecord& other = *lastStructureElement(m.lists);
    other.value5 = 5;
    other.segments.resize(1);
    other.segments[0].x2 = 2;
    appendStructureElement(m.lists);
    StructureElementRecord& se = *lastStructureElement(m.lists);
    se.value5 = 9;
    se.segments.resize(1);
    se.segments[0].x1 = 0;
    se.segments[0].y1 = 3;  // listed from the far end
    EXPECT_EQ(structureElementOfInterfaceRun(r, 4, m.lists.structureElements), 9);

    m.merge(r);
    ASSERT_EQ(m.mesh.interfaceSides.size(), 3u);
    for (const BoundarySide& s : m.mesh.interfaceSides) {
        EXPECT_EQ(s.side, 3);
        EXPECT_EQ(s.code, 9);
    }

    const int plain[4] = {-2, -2, -2, -2};
    RegionRecord none = m.rectangle(5, 0, 1, 1, 1, 1, plain, 11, 102);
    EXPECT_EQ(structureElementOfInterfaceRun(none, 4, m.lists.structureElements), 0);
}

TEST(Merge, ElementsAtStructureElementVerticesAreCollected) {
    Model m;
    const int codes[4] = {-2, -2, -2, -2};
    RegionRecord a = m.rectangle(0, 0, 2, 2, 2, 2, codes, 11, 101);
    m.merge(a);
    RegionRecord b = m.rectangle(3, 0, 2, 2, 2, 2, codes, 11, 102);
    m.mesh.vertexList.push_back(MeshNode{1, 4, 0, 0});  // middle of the bottom side of b
    m.merge(b);
    std::vector<int> got = m.mesh.vertexElements;
    std::sort(got.begin(), got.end());
    got.erase(std::unique(got.begin(), got.end()), got.end());
    EXPECT_EQ(got, (std::vector<int>{5, 7}));
}

TEST(Midside, ArcMidpoint) {
    GeometryEntityRecord circle;
    circle.centreX = 1;
    circle.centreY = -1;
    circle.radiusX = circle.radiusY = 2;
    struct Case {
        double a1, a2, expected;  // degrees
    };
    const Case cases[] = {{350, 10, 0}, {10, 350, 0}, {90, 180, 135}, {170, 190, 180}, {270, 0, 315}, {-90, 90, 0}};
    for (const Case& c : cases) {
        double x = 0, y = 0;
        const double t1 = c.a1 * kPi / 180, t2 = c.a2 * kPi / 180, t = c.expected * kPi / 180;
        arcMidpoint(circle, 1 + 2 * std::cos(t1), -1 + 2 * std::sin(t1), 1 + 2 * std::cos(t2), -1 + 2 * std::sin(t2), x,
                    y);
        EXPECT_NEAR(x, 1 + 2 * std::cos(t), 1e-12) << c.a1 << " " << c.a2;
        EXPECT_NEAR(y, -1 + 2 * std::sin(t), 1e-12) << c.a1 << " " << c.a2;
    }
    // Corners straight above and below the centre.
    double x = 0, y = 0;
    arcMidpoint(circle, 1, 1, 3, -1, x, y);
    EXPECT_NEAR(x, 1 + std::sqrt(2.0), 1e-12);
    EXPECT_NEAR(y, -1 + std::sqrt(2.0), 1e-12);
    // An ellipse uses both radii.
    GeometryEntityRecord ellipse;
    ellipse.radiusX = 3;
    ellipse.radiusY = 1;
    arcMidpoint(ellipse, 3, 0, 0, 1, x, y);
    EXPECT_NEAR(x, 3 * std::cos(kPi / 4), 1e-12);
    EXPECT_NEAR(y, std::sin(kPi / 4), 1e-12);
}

TEST(Midside, QuadMeshOfFourGainsTwelveSharedNodes) {
    Model m;
    const int codes[4] = {-2, -2, -2, -2};
    RegionRecord r = m.rectangle(0, 0, 2, 2, 2, 2, codes, 11, 101);
    m.merge(r);
    int count = static_cast<int>(m.mesh.nodes.size());
    addQuadMidsideNodes(m.mesh.nodes, m.mesh.elements, m.mesh.neighbours, count, 4, m.lists.entities);
    EXPECT_EQ(count, 21);
    ASSERT_EQ(m.mesh.nodes.size(), 21u);
    for (int k = 0; k < 21; ++k) EXPECT_EQ(m.mesh.nodes[k].id, k + 1);
    // Numbered in element order: the first element takes 10 to 13, and its
    // shared sides hand 11 and 12 to the elements across.
    EXPECT_EQ(std::vector<int>(m.mesh.elements[0].w.begin() + 5, m.mesh.elements[0].w.begin() + 9),
              (std::vector<int>{10, 11, 12, 13}));
    EXPECT_EQ(m.mesh.elements[1].w[5], 12);
    EXPECT_EQ(m.mesh.elements[2].w[8], 11);
    EXPECT_EQ(std::vector<int>(m.mesh.elements[3].w.begin() + 5, m.mesh.elements[3].w.begin() + 9),
              (std::vector<int>{19, 20, 21, 14}));
}

TEST(Midside, InterfaceNeighboursShareOneNodeAndBecomeMinusSix) {
    std::vector<FemNode> nodes = {{1, 0, 0}, {2, 1, 0}, {3, 1, 1}, {4, 0, 1},
                                  {5, 1, 0}, {6, 2, 0}, {7, 2, 1}, {8, 1, 1}};
    std::vector<MeshElement> elements(2);
    elements[0].w = {1, 1, 2, 3, 4, 0, 0, 0, 0, 0, 2, 101};
    elements[1].w = {2, 5, 6, 7, 8, 0, 0, 0, 0, 0, 2, 101};
    std::vector<ElementNeighbours> neighbours(2);
    neighbours[0].n = {1, -2, 2 + 2, -2, -2};
    neighbours[1].n = {2, -2, -2, -2, 2 + 1};
    int count = 8;
    addQuadMidsideNodes(nodes, elements, neighbours, count, 2, {});
    EXPECT_EQ(count, 15);
    EXPECT_EQ(elements[0].w[6], elements[1].w[8]);
    EXPECT_EQ(neighbours[0].n[2], -6);
    EXPECT_EQ(neighbours[1].n[4], -6);
    EXPECT_EQ(findNeighbourEdgeSlot(true, neighbours, elements[1], 1), -1);
}

TEST(Midside, TrianglesShareTheNodeOfTheirCommonEdge) {
    std::vector<FemNode> nodes = {{1, 0, 0}, {2, 1, 0}, {3, 1, 1}, {4, 0, 1}};
    std::vector<MeshElement> elements(2);
    elements[0].w = {1, 1, 2, 3, 0, 0, 0, 0, 0, 0, 2, 101};
    elements[1].w = {2, 1, 3, 4, 0, 0, 0, 0, 0, 0, 2, 101};
    std::vector<ElementNeighbours> neighbours(2);
    neighbours[0].n = {1, -2, -2, 2, 0};
    neighbours[1].n = {2, 1, -2, -2, 0};
    int count = 4;
    addTriangleMidsideNodes(nodes, elements, neighbours, count, 2, {});
    EXPECT_EQ(count, 9);
    EXPECT_EQ(elements[0].w[6], 7);
    EXPECT_EQ(elements[1].w[4], 7);
    EXPECT_DOUBLE_EQ(nodes[6].x, 0.5);
    EXPECT_DOUBLE_EQ(nodes[6].y, 0.5);
    EXPECT_EQ(findEdgeSlot(3, 1, elements[0]), -1);
}

TEST(Merge, TriangleBoundarySidesTakeTheCodeOfTheirSegment) {
    RegionRecord r;
    r.elements.resize(2);
    r.elements[0].w[0] = 1;
    r.elements[1].w[0] = 2;
    r.neighbours.resize(2);
    r.neighbours[0].n = {1, -1, 2, -1, 0};
    r.neighbours[1].n = {2, -1, -1, 1, 0};
    r.triangles.resize(2);
    r.triangles[0].corners = {1, 2, 3};
    r.triangles[1].corners = {1, 3, 4};
    const std::vector<BoundarySegment> segments = {{1, 1, 2, -3}, {2, 2, 3, -2}, {3, 3, 4, -6}, {4, 3, 4, -2}};
    collectTriangleBoundarySides(r, segments);
    ASSERT_EQ(r.boundarySides.size(), 4u);
    const int expected[4][3] = {{1, 0, -3}, {1, 2, -1}, {2, 0, -1}, {2, 1, -6}};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(r.boundarySides[k].element, expected[k][0]);
        EXPECT_EQ(r.boundarySides[k].side, expected[k][1]);
        EXPECT_EQ(r.boundarySides[k].code, expected[k][2]);
    }
}
