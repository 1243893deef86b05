// Beam ends in the joined mesh through the command-line tool: the slit
// between two beam faces is continued through the fan at the beam's end and
// the faces are paired.
#include <array>
#include <deque>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "MeshTestSupport.h"
#include "Tessaro_DLL/structure/BeamVertices.h"

using namespace meshtest;

namespace {

// Two free squares side by side; the lower half of the shared side x = 10
// is a beam face on both (-6), the upper half an ordinary seam.
GeometrySpec beamSeam(int scheme, bool withBeam, int flag = 34) {
    GeometrySpec g;
    g.shape = scheme == -21 ? 0 : 1;
    g.interfaceFlag = flag;
    RegionSpec left = polygonRegion(g, {{0, 0}, {10, 0}, {10, 5}, {10, 10}, {0, 10}}, 4, -2, 101);
    RegionSpec right = polygonRegion(g, {{10, 0}, {20, 0}, {20, 10}, {10, 10}, {10, 5}}, 4, -2, 102);
    left.scheme = right.scheme = scheme;
    left.sides[1].code = -6;
    left.sides[2].code = 2;
    right.sides[3].code = 2;
    right.sides[4].code = -6;
    g.regions = {left, right};
    if (withBeam) {
        StructSpec beam;
        beam.kind = 1;
        beam.seg.lim1 = 1;
        beam.seg.lim2 = 5;
        beam.seg.p1 = 2;  // (10, 0)
        beam.seg.p2 = 3;  // (10, 5)
        g.structs.push_back(beam);
    }
    return g;
}

int pairedFaces(const FemMesh& mesh) {
    int count = 0;
    for (const auto& s : mesh.sides)
        for (int k = 2; k < 6; ++k)
            if (s[k] > static_cast<int>(mesh.elements.size())) ++count;
    return count;
}

}  // namespace

// The beam ends at (10, 5), where the fan around the shared node is cut
// once more along the seam above: one node more, two new faces, which pair
// (and share their mid-side node with eight-node elements, coded -6 again).
TEST(BeamVertices, BeamEndInsideTheJoinedMesh) {
    for (const int scheme : {-21, -31}) {
        SCOPED_TRACE(scheme);
        int pairedLinear = 0, facesLinear = 0;
        for (const int flag : {34, 68}) {
            SCOPED_TRACE(flag);
            const ToolRun plain = runTool("beam-plain", geometryText(beamSeam(scheme, false, flag)));
            const ToolRun beam = runTool("beam-seam", geometryText(beamSeam(scheme, true, flag)));
            ASSERT_EQ(plain.status, 0) << plain.log;
            ASSERT_EQ(beam.status, 0) << beam.log;
            EXPECT_EQ(unexpectedLogLines(beam.log), std::vector<std::string>{}) << beam.log;
            ValidationOptions options;
            options.expectedArea = 200.0;
            EXPECT_EQ(validateMesh(plain.mesh, options), std::vector<std::string>{});
            EXPECT_EQ(validateMesh(beam.mesh, options), std::vector<std::string>{});
            EXPECT_EQ(beam.mesh.xy.size(), plain.mesh.xy.size() + 1);
            EXPECT_GE(sidesCoded(beam.mesh, -6), sidesCoded(plain.mesh, -6));
            if (flag == 34) {
                pairedLinear = pairedFaces(beam.mesh);
                facesLinear = sidesCoded(beam.mesh, -6);
                EXPECT_EQ(pairedLinear, 2);
            } else {
                EXPECT_EQ(pairedFaces(beam.mesh), 0);
                EXPECT_EQ(sidesCoded(beam.mesh, -6), facesLinear + pairedLinear);
            }
        }
    }
}

// A beam along the first face of an open interface ends at its tip, where
// only one beam face (-6) meets: the fix stops with its message and the
// run fails, writing no mesh.
TEST(BeamVertices, TipWithOneBeamFaceStopsTheFix) {
    GeometrySpec g;
    g.shape = 0;
    RegionSpec r = polygonRegion(g, {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 5.1}, {5, 5}, {0, 4.9}}, 4);
    r.scheme = -21;
    r.sides[4].code = -6;
    r.sides[5].code = -7;
    g.regions.push_back(r);
    StructSpec beam;
    beam.seg.lim2 = 5;
    beam.seg.p1 = 5;  // (0, 5.1)
    beam.seg.p2 = 6;  // (5, 5)
    g.structs.push_back(beam);
    const ToolRun run = runTool("beam-tip", geometryText(g));
    EXPECT_EQ(run.status, 1) << run.log;
    EXPECT_FALSE(run.meshWritten);
    EXPECT_EQ(
        unexpectedLogLines(run.log),
        std::vector<std::string>{"Error: Error in fixing beam vertex: number of elements (bd=-6) not equal to 2"});
}

TEST(BeamVertices, SmallQueries) {
    using tessaro::MeshElement;
    MeshElement quad;
    quad.w = {1, 4, 7, 9, 2};
    EXPECT_EQ(tessaro::nextCornerInElement(9, 4, quad), 2);
    EXPECT_EQ(tessaro::nextCornerInElement(2, 4, quad), 4);
    EXPECT_EQ(tessaro::nextCornerInElement(9, 3, quad), 4);
    EXPECT_EQ(tessaro::nextCornerInElement(5, 4, quad), 0);
    EXPECT_EQ(tessaro::nextCornerInElement(4, 5, quad), 0);
    EXPECT_EQ(tessaro::indexOfMaximum({}), -1);
    EXPECT_EQ(tessaro::indexOfMaximum({0.5, 2.0, 2.0, 1.0}), 2);
    std::vector<tessaro::ElementNeighbours> nbs(2);
    nbs[0].n = {1, -1, 7, 3, 5};
    EXPECT_EQ(tessaro::firstNeighbourInList(1, {5, 3}, nbs, 4), 3);
    EXPECT_EQ(tessaro::firstNeighbourInList(1, {5}, nbs, 3), 0);
    EXPECT_EQ(tessaro::firstNeighbourInList(3, {5}, nbs, 4), 0);
}

// Two triangles whose -6 faces share node 1 and run to nodes 3 and 4, the
// latter `gap` apart.
TEST(BeamVertices, FacesPairWhenTheirEndsCoincide) {
    for (const double gap : {1e-6, 2e-5}) {
        tessaro::GlobalMesh mesh;
        mesh.nodes = {{1, 0, 0}, {2, -1, 0.5}, {3, 0, 1}, {4, gap, 1}, {5, 1, 0.5}};
        tessaro::MeshElement a, b;
        a.w = {1, 1, 3, 2};  // side 0 runs 1 -> 3
        b.w = {2, 4, 1, 5};  // side 0 runs 4 -> 1
        mesh.elements = {a, b};
        mesh.neighbours.resize(2);
        mesh.neighbours[0].n = {1, -6, -1, -1};
        mesh.neighbours[1].n = {2, -6, -1, -1};
        mesh.vertexElements = {1, 2};
        tessaro::pairBeamFaces(false, mesh);
        const bool paired = gap < 1e-5;
        EXPECT_EQ(mesh.neighbours[0].n[1], paired ? 2 + 2 : -6) << gap;
        EXPECT_EQ(mesh.neighbours[1].n[1], paired ? 1 + 2 : -6) << gap;
        EXPECT_EQ(mesh.vertexElements, (std::vector<int>{1, 2}));
    }
}

namespace {

// A free region left of x = 10 whose boundary passes (10, 5), two mapped
// squares right of it that share the side from (10, 5) to (20, 5), and a
// beam along that side. The sides on x = 10 are never joined (-3), so the
// free region's beam face stays visible.
GeometrySpec beamEndOnFreeRegion(int scheme, const std::vector<std::pair<double, double>>& corners, int divisions,
                                 bool withBeam) {
    GeometrySpec g;
    g.shape = scheme == -21 ? 0 : 1;
    RegionSpec free = polygonRegion(g, corners, divisions, -2, 101);
    free.scheme = scheme;
    for (std::size_t k = 0; k < corners.size(); ++k)
        if (corners[k].first == 10.0 && corners[(k + 1) % corners.size()].first == 10.0) free.sides[k].code = -3;
    const int lower[4] = {-3, -1, -1, -2};
    const int upper[4] = {-3, -1, -2, -1};
    const int mapped = scheme == -21 ? 51 : 11;
    g.regions = {free, rectangleRegion(g, 10, 0, 10, 5, 4, 2, lower, mapped, 102),
                 rectangleRegion(g, 10, 5, 10, 5, 4, 2, upper, mapped, 103)};
    if (withBeam) {
        g.points.emplace_back(10, 5);
        g.points.emplace_back(20, 5);
        StructSpec beam;
        beam.seg.lim2 = 5;
        beam.seg.p1 = static_cast<int>(g.points.size()) - 1;
        beam.seg.p2 = static_cast<int>(g.points.size());
        g.structs.push_back(beam);
    }
    return g;
}

}  // namespace

// The beam from (10, 5) runs along the mapped seam, not along the free
// region's sides: on a straight stretch of a triangle region one side
// becomes a beam face, at a corner of three or four triangles (or two
// quadrilaterals) the node is split and the two new faces are paired; a
// quadrilateral corner of one element gets one face.
TEST(BeamVertices, BeamEndingOnAFreeRegionBoundary) {
    using Polygon = std::vector<std::pair<double, double>>;
    const Polygon straight = {{0, 0}, {10, 0}, {10, 5}, {10, 10}, {0, 10}};
    const Polygon nearlyStraight = {{0, 0}, {10, 0}, {10, 5}, {9, 10}, {0, 10}};  // 174 degrees
    const Polygon corner = {{0, 0}, {10, 0}, {10, 5}, {5, 10}, {0, 10}};          // 135 degrees
    const Polygon sharp = {{0, 0}, {10, 0}, {10, 5}, {0, 6}};
    struct Case {
        const char* name;
        int scheme;
        Polygon corners;
        std::size_t newNodes;
        int faces, paired;
        std::vector<std::string> log;
    };
    const Case cases[] = {
        {"triangles, straight", -21, straight, 0, 1, 0, {}},
        {"triangles, nearly straight", -21, nearlyStraight, 0, 1, 0, {}},
        {"triangles, corner", -21, corner, 1, 0, 2, {}},
        {"triangles, two at a sharp corner",
         -21,
         sharp,
         0,
         0,
         0,
         {"Error: two triangle founded when split beam vertex on region edge"}},
        {"quadrilaterals, straight", -31, straight, 0, 0, 0, {}},
        {"quadrilaterals, corner of two", -31, corner, 1, 0, 2, {}},
        {"quadrilaterals, corner of one", -31, sharp, 0, 1, 0, {}},
    };
    for (const Case& c : cases) {
        const ToolRun plain = runTool("vertex-plain", geometryText(beamEndOnFreeRegion(c.scheme, c.corners, 4, false)));
        const ToolRun beam = runTool("vertex-beam", geometryText(beamEndOnFreeRegion(c.scheme, c.corners, 4, true)));
        ASSERT_EQ(plain.status, 0) << c.name << "\n" << plain.log;
        EXPECT_EQ(unexpectedLogLines(beam.log), c.log) << c.name;
        // A vertex the repair cannot treat ends the run: no mesh with an
        // unpaired face is returned.
        if (!c.log.empty()) {
            EXPECT_EQ(beam.status, 1) << c.name;
            EXPECT_FALSE(beam.meshWritten) << c.name;
            continue;
        }
        ASSERT_EQ(beam.status, 0) << c.name << "\n" << beam.log;
        ValidationOptions options;
        options.allowDoubledNodes = true;  // the -3 seam keeps both rows
        EXPECT_EQ(validateMesh(beam.mesh, options), std::vector<std::string>{}) << c.name;
        EXPECT_EQ(beam.mesh.xy.size(), plain.mesh.xy.size() + c.newNodes) << c.name;
        EXPECT_EQ(sidesCoded(beam.mesh, -6), c.faces) << c.name;
        EXPECT_EQ(pairedFaces(beam.mesh), c.paired) << c.name;
    }
}

namespace {

// Four triangles around node 1 at the origin; the beam runs from there to
// (-1, 0) with its faces on nodes 2 (upper) and 3 (lower). Elements: 1 = E_s
// below the beam, 2 = E_e above it, 3 and 4 their neighbours on the right.
tessaro::GlobalMesh beamFan() {
    tessaro::GlobalMesh mesh;
    mesh.nodes = {{1, 0, 0}, {2, -1, 0}, {3, -1, 0}, {4, 0, 1}, {5, 1, 0}, {6, 0, -1}};
    const std::array<int, 3> corners[4] = {{1, 3, 6}, {2, 1, 4}, {1, 6, 5}, {1, 5, 4}};
    const std::array<int, 3> sides[4] = {{-6, -1, 3}, {-6, 4, -1}, {1, -1, 4}, {3, -1, 2}};
    for (int e = 0; e < 4; ++e) {
        tessaro::MeshElement el;
        el.w[0] = e + 1;
        for (int k = 0; k < 3; ++k) el.w[1 + k] = corners[e][k];
        el.w[11] = 101;
        mesh.elements.push_back(el);
        tessaro::ElementNeighbours nb;
        nb.n[0] = e + 1;
        for (int k = 0; k < 3; ++k) nb.n[1 + k] = sides[e][k];
        mesh.neighbours.push_back(nb);
    }
    mesh.openSides = {{1, 0, -6}, {2, 0, -6}};
    mesh.vertexList = {{1, 0, 0, 0}};
    mesh.vertexElements = {1, 2, 3, 4};
    return mesh;
}

std::deque<tessaro::StructureElementRecord> beamFromOrigin(int region) {
    std::deque<tessaro::StructureElementRecord> beams(1);
    tessaro::SideSegment seg;
    seg.x2 = -1;
    beams.front().segments.push_back(seg);
    beams.front().regionValues = {region};
    return beams;
}

}  // namespace

TEST(BeamVertices, FanAroundASharedVertexNodeIsCutOnce) {
    tessaro::GlobalMesh mesh = beamFan();
    std::ostringstream log;
    EXPECT_TRUE(tessaro::fixBeamVertices(false, mesh, beamFromOrigin(101), log));
    EXPECT_EQ(log.str(), "");
    ASSERT_EQ(mesh.nodes.size(), 7u);
    EXPECT_EQ(mesh.nodes[6].x, 0.0);
    // The new node goes to E_s and N_s; E_e and N_e keep node 1.
    EXPECT_EQ(mesh.elements[0].w[1], 7);
    EXPECT_EQ(mesh.elements[2].w[1], 7);
    EXPECT_EQ(mesh.elements[1].w[2], 1);
    EXPECT_EQ(mesh.elements[3].w[1], 1);
    // The edge between N_s and N_e becomes two faces, recorded as sides.
    EXPECT_EQ(mesh.neighbours[2].n[3], -6);
    EXPECT_EQ(mesh.neighbours[3].n[1], -6);
    ASSERT_EQ(mesh.openSides.size(), 4u);
    EXPECT_EQ(mesh.openSides[2].element, 3);
    EXPECT_EQ(mesh.openSides[3].element, 4);

    // The new faces share node 5 and pair; the beam's own faces do not
    // share a node and stay -6.
    tessaro::pairBeamFaces(false, mesh);
    EXPECT_EQ(mesh.neighbours[2].n[3], 4 + 4);
    EXPECT_EQ(mesh.neighbours[3].n[1], 3 + 4);
    EXPECT_EQ(mesh.neighbours[0].n[1], -6);
    EXPECT_EQ(mesh.neighbours[1].n[1], -6);
}

TEST(BeamVertices, VerticesLeftAloneOrStoppingTheFix) {
    std::ostringstream log;
    // Elements of another region than the beam's: unchanged.
    tessaro::GlobalMesh other = beamFan();
    EXPECT_TRUE(tessaro::fixBeamVertices(false, other, beamFromOrigin(102), log));
    EXPECT_EQ(other.nodes.size(), 6u);

    // A single element at the vertex is never an error.
    tessaro::GlobalMesh single = beamFan();
    single.vertexElements = {3};
    EXPECT_TRUE(tessaro::fixBeamVertices(false, single, beamFromOrigin(101), log));
    EXPECT_EQ(single.nodes.size(), 6u);
    EXPECT_EQ(log.str(), "");

    // Only one beam face among several elements: the fix stops.
    tessaro::GlobalMesh oneFace = beamFan();
    oneFace.openSides.pop_back();
    EXPECT_FALSE(tessaro::fixBeamVertices(false, oneFace, beamFromOrigin(101), log));
    EXPECT_EQ(log.str(), "Error: Error in fixing beam vertex: number of elements (bd=-6) not equal to 2\n");
    EXPECT_EQ(oneFace.nodes.size(), 6u);
}
