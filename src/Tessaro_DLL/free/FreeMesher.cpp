#include "Tessaro_DLL/free/FreeMesher.h"
#include "Tessaro_DLL/free/NodeOrder.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <unordered_map>

#include "Tessaro_DLL/free/Adjacency.h"
#include "Tessaro_DLL/free/Delaunay.h"
#include "Tessaro_DLL/free/Interfaces.h"
#include "Tessaro_DLL/free/Recovery.h"
#include "Tessaro_DLL/free/Refine.h"
#include "Tessaro_DLL/free/SideCodes.h"
#include "Tessaro_DLL/free/StripRows.h"
#include "Tessaro_DLL/model/CornerAngle.h"
#include "Tessaro_DLL/quad/FinalElements.h"
#include "Tessaro_DLL/quad/QuadConversion.h"
#include "Tessaro_DLL/quad/QuadValence.h"
#include "Tessaro_DLL/quad/Smoothing.h"
#include "Tessaro_DLL/structure/RegionBeamVertices.h"

namespace tessaro {

namespace {

constexpr std::size_t kWorkReserve = 100000;
constexpr std::size_t kQueueReserve = 500000;
constexpr std::size_t kFlagReserve = 10000;
// Area of the largest triangle the refinement accepts for target size h (an
// equilateral triangle of circumradius h), in units of h * h.
const double kLargestTriangleArea = 3.0 * std::sqrt(3.0) / 4.0;

double cross(double ax, double ay, double bx, double by) { return ax * by - ay * bx; }

// Twice the signed area of (a, b, c).
double orient(const MeshNode& a, const MeshNode& b, const MeshNode& c)
{
    return cross(b.x - a.x, b.y - a.y, c.x - a.x, c.y - a.y);
}

// True when p lies on segment a-b (collinear within eps, inside its box).
bool onSegment(const MeshNode& a, const MeshNode& b, const MeshNode& p, double eps, double margin)
{
    if (std::fabs(orient(a, b, p)) > eps) return false;
    return p.x >= std::min(a.x, b.x) - margin && p.x <= std::max(a.x, b.x) + margin &&
           p.y >= std::min(a.y, b.y) - margin && p.y <= std::max(a.y, b.y) + margin;
}

// Segments without a common node that cross or touch.
bool segmentsMeet(const MeshNode& p1, const MeshNode& p2, const MeshNode& p3, const MeshNode& p4, double eps,
                  double margin)
{
    const double o1 = orient(p1, p2, p3), o2 = orient(p1, p2, p4);
    const double o3 = orient(p3, p4, p1), o4 = orient(p3, p4, p2);
    if (((o1 > eps && o2 < -eps) || (o1 < -eps && o2 > eps)) && ((o3 > eps && o4 < -eps) || (o3 < -eps && o4 > eps)))
        return true;
    return onSegment(p1, p2, p3, eps, margin) || onSegment(p1, p2, p4, eps, margin) ||
           onSegment(p3, p4, p1, eps, margin) || onSegment(p3, p4, p2, eps, margin);
}

std::string chainProblem(const std::vector<MeshNode>& nodes, const std::vector<BoundarySegment>& segments)
{
    const int n = static_cast<int>(nodes.size());
    const int m = static_cast<int>(segments.size());
    const std::string notClosed = "the boundary is not one closed chain of segments";
    if (m < 3 || n != m) return notClosed;
    std::vector<int> starts(n + 1, 0), ends(n + 1, 0), segmentFrom(n + 1, -1);
    for (int k = 0; k < m; ++k) {
        const BoundarySegment& seg = segments[k];
        if (seg.start < 1 || seg.start > n || seg.end < 1 || seg.end > n) return notClosed;
        ++starts[seg.start];
        ++ends[seg.end];
        segmentFrom[seg.start] = k;
    }
    for (int k = 1; k <= n; ++k)
        if (starts[k] != 1 || ends[k] != 1) return notClosed;
    int steps = 0;
    for (int k = 0;; k = segmentFrom[segments[k].end]) {
        if (++steps > m) return notClosed;
        if (segments[k].end == segments[0].start) break;
    }
    return steps == m ? std::string() : notClosed;
}

std::string crossingProblem(const std::vector<MeshNode>& nodes, const std::vector<BoundarySegment>& segments)
{
    double xMin = 1e300, yMin = 1e300, xMax = -1e300, yMax = -1e300;
    for (const MeshNode& p : nodes) {
        xMin = std::min(xMin, p.x);
        yMin = std::min(yMin, p.y);
        xMax = std::max(xMax, p.x);
        yMax = std::max(yMax, p.y);
    }
    const double size = std::max(xMax - xMin, yMax - yMin);
    const double eps = 1e-12 * size * size, margin = 1e-12 * size;
    const int m = static_cast<int>(segments.size());
    auto at = [&](int node) -> const MeshNode& { return nodes[node - 1]; };
    auto pairProblem = [](int i, int j) {
        return "boundary segments " + std::to_string(std::min(i, j) + 1) + " and " +
               std::to_string(std::max(i, j) + 1) + " cross or touch";
    };

    // Consecutive segments must not fold back over each other.
    for (int k = 0; k < m; ++k) {
        const int next = (k + 1) % m;
        const MeshNode& a = at(segments[k].start);
        const MeshNode& mid = at(segments[k].end);
        const MeshNode& c = at(segments[next].end);
        if (std::fabs(orient(a, mid, c)) <= eps && (a.x - mid.x) * (c.x - mid.x) + (a.y - mid.y) * (c.y - mid.y) > 0.0)
            return pairProblem(k, next);
    }

    // Other pairs meet only in a cell of a uniform grid they both cover.
    const int cells = std::max(1, static_cast<int>(std::sqrt(static_cast<double>(m))));
    const double cell = size / cells;
    auto cellOf = [&](double v, double origin) {
        return std::clamp(static_cast<int>((v - origin) / cell), 0, cells - 1);
    };
    std::unordered_map<long long, std::vector<int>> grid;
    for (int k = 0; k < m; ++k) {
        const MeshNode& a = at(segments[k].start);
        const MeshNode& b = at(segments[k].end);
        const int i0 = cellOf(std::min(a.x, b.x) - margin, xMin), i1 = cellOf(std::max(a.x, b.x) + margin, xMin);
        const int j0 = cellOf(std::min(a.y, b.y) - margin, yMin), j1 = cellOf(std::max(a.y, b.y) + margin, yMin);
        for (int i = i0; i <= i1; ++i)
            for (int j = j0; j <= j1; ++j) grid[static_cast<long long>(i) * cells + j].push_back(k);
    }
    for (const auto& [key, list] : grid)
        for (std::size_t x = 0; x < list.size(); ++x)
            for (std::size_t y = x + 1; y < list.size(); ++y) {
                const BoundarySegment& s = segments[list[x]];
                const BoundarySegment& t = segments[list[y]];
                if (s.start == t.start || s.start == t.end || s.end == t.start || s.end == t.end) continue;
                if (segmentsMeet(at(s.start), at(s.end), at(t.start), at(t.end), eps, margin))
                    return pairProblem(list[x], list[y]);
            }

    double area = 0.0;
    for (const BoundarySegment& seg : segments)
        area += cross(at(seg.start).x - xMin, at(seg.start).y - yMin, at(seg.end).x - xMin, at(seg.end).y - yMin);
    if (!(area > eps)) return "the boundary runs clockwise or encloses no area";
    return std::string();
}

// Nodes the refinement is expected to need at least: each live triangle
// split into triangles no larger than its corners' mean target size allows,
// two triangles per node.
double estimatedNodeCount(const Triangulation& tri, const std::vector<int>& deleted,
                          const std::vector<MeshNode>& boundaryNodes)
{
    double triangles = 0.0;
    auto sizeOf = [&](int c) { return boundaryNodes[c - 1].size; };
    for (std::size_t t = 0; t < tri.triangles.size(); ++t) {
        if (deleted[t] != 0) continue;
        const auto& c = tri.triangles[t].corners;
        const double area = 0.5 * std::fabs(orient(tri.nodeAt(c[0]), tri.nodeAt(c[1]), tri.nodeAt(c[2])));
        const double h = (sizeOf(c[0]) + sizeOf(c[1]) + sizeOf(c[2])) / 3.0;
        if (h > 0.0) triangles += area / (kLargestTriangleArea * h * h);
    }
    return boundaryNodes.size() + triangles / 2.0;
}

// The same from the boundary alone, before any triangle exists: the
// enclosed area at the mean target size of the boundary nodes.
double boundaryNodeEstimate(const std::vector<MeshNode>& boundaryNodes, const std::vector<BoundarySegment>& segments)
{
    double area = 0.0, size = 0.0;
    for (const BoundarySegment& seg : segments) {
        const MeshNode& a = boundaryNodes[seg.start - 1];
        const MeshNode& b = boundaryNodes[seg.end - 1];
        area += 0.5 * cross(a.x, a.y, b.x, b.y);
    }
    for (const MeshNode& node : boundaryNodes) size += node.size / boundaryNodes.size();
    if (!(size > 0.0)) return 0.0;
    return boundaryNodes.size() + area / (kLargestTriangleArea * size * size) / 2.0;
}

bool refuseSize(std::ostream& log, int number, double estimate)
{
    log << "Error: region " << number << ": the target sizes need about " << static_cast<long long>(estimate)
        << " nodes, more than " << kMaxFreeRegionNodes << std::endl;
    return false;
}

bool failRegion(std::ostream& log, int number, const std::string& problem)
{
    log << "Error: region " << number << ": " << problem << std::endl;
    return false;
}

// The first segment that no triangle holds, in the input's coordinates,
// with what to change.
std::string lostSegmentProblem(const std::vector<MeshNode>& nodes, const std::vector<BoundarySegment>& segments,
                               const Triangulation& tri, double s, double ox, double oy)
{
    std::unordered_map<long long, int> sides;
    auto key = [](int p, int q) { return static_cast<long long>(std::min(p, q)) * 4294967296LL + std::max(p, q); };
    for (const DelaunayTriangle& t : tri.triangles)
        for (int j = 0; j < 3; ++j) sides[key(t.corners[j], t.corners[(j + 1) % 3])] = 1;
    for (std::size_t k = 0; k < segments.size(); ++k) {
        if (sides.count(key(segments[k].start, segments[k].end))) continue;
        const MeshNode& a = nodes[segments[k].start - 1];
        const MeshNode& b = nodes[segments[k].end - 1];
        char text[240];
        std::snprintf(text, sizeof text,
                      "boundary segment %zu from (%.6g, %.6g) to (%.6g, %.6g) is lost in the triangulation: give the "
                      "sides near it more segments",
                      k + 1, a.x * s + ox, a.y * s + oy, b.x * s + ox, b.y * s + oy);
        return text;
    }
    return "a boundary segment is lost in the triangulation";
}

// Steps 5 to 12: triangulation in the unit square, stored in the region.
// `workTriangles` is the number of work-list triangles, removed ones
// included.
bool triangulateRegion(RegionRecord& region, std::vector<MeshNode>& boundaryNodes,
                       const std::vector<BoundarySegment>& segments, const FreeRegionTarget& target, double& s,
                       double& ox, double& oy, std::size_t& workTriangles, bool stripRows, std::ostream& log)
{
    Triangulation tri;
    tri.nodes.reserve(kWorkReserve);
    tri.triangles.reserve(kWorkReserve);
    tri.neighbours.reserve(kWorkReserve);
    std::vector<int> deleted, removed;
    deleted.reserve(kFlagReserve);
    removed.reserve(kFlagReserve);

    if (!initTriangulation(boundaryNodes, segments, tri, ox, oy, s, log)) return false;
    const double boundaryEstimate = boundaryNodeEstimate(boundaryNodes, segments);
    if (boundaryEstimate > static_cast<double>(kMaxFreeRegionNodes))
        return refuseSize(log, target.regionNumber, boundaryEstimate);
    for (std::size_t i = 0; i < boundaryNodes.size(); ++i)
        insertDelaunayPoint(static_cast<int>(i), tri, nullptr, 0, log, boundaryNodes[i].x, boundaryNodes[i].y);
    recoverLostBoundary(tri, boundaryNodes, segments, log);
    if (!boundaryEdgesPresent(segments, tri.triangles)) {
        log << "Error: Error in inserting boundary node: loss of initial boundary segment" << std::endl;
        return failRegion(log, target.regionNumber, lostSegmentProblem(boundaryNodes, segments, tri, s, ox, oy));
    }
    if (!removeOuterTriangles(segments, tri.triangles, tri.neighbours, deleted, removed, log)) return false;

    const double estimate = estimatedNodeCount(tri, deleted, boundaryNodes);
    if (estimate > static_cast<double>(kMaxFreeRegionNodes)) return refuseSize(log, target.regionNumber, estimate);
    // Quadrilateral mode: rows across thin strips, which refinement by size
    // does not place.
    if (stripRows) seedStripRows(boundaryNodes, segments, tri, deleted, log);
    RefinementQueue queue;
    queue.entries.reserve(kQueueReserve);
    if (!refineTriangulation(boundaryNodes, segments, tri, deleted, queue, kMaxFreeRegionNodes, log))
        return failRegion(log, target.regionNumber,
                          "the refinement needs more than " + std::to_string(kMaxFreeRegionNodes) + " nodes");

    workTriangles = tri.triangles.size();
    deleted.resize(workTriangles, 0);
    storeTriangulation(region, tri, deleted);
    if (region.nodes.size() >= kNumberByPlaceFrom)
        numberTriangulationByPlace(region, static_cast<int>(boundaryNodes.size()));
    return true;
}

// Steps 15 to 17: adjacency and clean-up of the stored triangles.
bool cleanUpTriangles(RegionRecord& region, int boundaryCount, std::ostream& log)
{
    if (!initNodeAdjacency(region, boundaryCount, log)) return false;
    if (!flipDegenerateEdges(region, log)) return false;
    for (int pass = 0; pass < 3; ++pass) {
        removeValence3Nodes(region);
        if (!removeValence4Nodes(region, boundaryCount, log)) return false;
    }
    return true;
}

// Step 20: one element per triangle, in triangle order.
void makeTriangleElements(RegionRecord& region)
{
    region.elements.assign(region.triangles.size(), MeshElement{});
    for (std::size_t k = 0; k < region.triangles.size(); ++k) {
        MeshElement& el = region.elements[k];
        const DelaunayTriangle& t = region.triangles[k];
        el.w[0] = t.name;
        el.w[1] = t.corners[0];
        el.w[2] = t.corners[1];
        el.w[3] = t.corners[2];
        el.w[10] = region.elemGroup;
        el.w[11] = region.objIndex;
    }
}

// Steps 21 and 22: nodes of coded sides are fixed; the codes go into the
// elements' side words.
void fixCodedSides(RegionRecord& region)
{
    std::vector<int> fixedNodes;
    collectSideNodes(region, fixedNodes, false);
    for (int k : fixedNodes) region.adjacency[k - 1].name = -k;
    for (const BoundarySide& side : region.codedSides) region.neighbours[side.element - 1].n[side.side + 1] = side.code;
}

// The triangulation's unit square and the way back to the input's
// coordinates: nodes that stand on a boundary node take its coordinates
// exactly, every other node is scaled back.
struct UnitFrame {
    double s = 1.0, ox = 0.0, oy = 0.0;
    std::unordered_map<long long, std::pair<double, double>> boundary;  // by normalised position

    static long long keyOf(double x, double y)
    {
        return static_cast<long long>(std::llround(x * 1073741824.0)) * 3037000499LL +
               static_cast<long long>(std::llround(y * 1073741824.0));
    }
    MeshNode normalised(const MeshNode& node) const
    {
        MeshNode n = node;
        n.x = normalisedCoordinate(node.x, ox, s);
        n.y = normalisedCoordinate(node.y, oy, s);
        return n;
    }
    void remember(const std::vector<MeshNode>& input)
    {
        for (const MeshNode& node : input) {
            const MeshNode n = normalised(node);
            boundary.emplace(keyOf(n.x, n.y), std::make_pair(node.x, node.y));
        }
    }
    bool mapped = false;  // the region's nodes are in the input's coordinates again

    MeshNode original(const MeshNode& node) const
    {
        MeshNode n = node;
        if (!mapped) {
            n.x = node.x * s + ox;
            n.y = node.y * s + oy;
        }
        return n;
    }
    void mapBack(std::vector<MeshNode>& nodes)
    {
        mapped = true;
        for (MeshNode& node : nodes) {
            const auto it = boundary.find(keyOf(node.x, node.y));
            if (it != boundary.end() && normalisedCoordinate(it->second.first, ox, s) == node.x &&
                normalisedCoordinate(it->second.second, oy, s) == node.y) {
                node.x = it->second.first;
                node.y = it->second.second;
            } else {
                node.x = node.x * s + ox;
                node.y = node.y * s + oy;
            }
        }
    }
};

}  // namespace

namespace {

// The face that must meet a slit face (-8, -9) or the second face of an
// interface (-7) inside the region; 0 for other codes (a -6 face may stand
// alone, as one face of a beam between two regions).
int partnerFaceCode(int code)
{
    switch (code) {
        case -7: return -6;
        case -8: return -9;
        case -9: return -8;
        default: return 0;
    }
}

// True when some side with the partner code meets side `s` where the two
// faces join: the first face's end is the second face's start.
bool hasPartnerFace(const RegionRecord& region, std::size_t s)
{
    const int code = region.sides[s].neighbourCode;
    const bool first = code == -8;
    const SideSegment& a = region.sides[s].segments.front();
    for (const RegionSide& other : region.sides) {
        if (other.neighbourCode != partnerFaceCode(code) || other.segments.empty()) continue;
        const SideSegment& b = other.segments.front();
        const bool meets =
            first ? std::hypot(a.x2 - b.x1, a.y2 - b.y1) < 1e-7 : std::hypot(a.x1 - b.x2, a.y1 - b.y2) < 1e-7;
        if (meets) return true;
    }
    return false;
}

}  // namespace

std::string freeRegionSidesProblem(const RegionRecord& region)
{
    for (std::size_t i = 0; i < region.sides.size(); ++i) {
        const int code = region.sides[i].neighbourCode;
        if (partnerFaceCode(code) != 0 && !region.sides[i].segments.empty() && !hasPartnerFace(region, i))
            return "side " + std::to_string(i + 1) + " is a face coded " + std::to_string(code) +
                   " without its partner face " + std::to_string(partnerFaceCode(code));
    }
    long long nodes = 0;
    for (std::size_t i = 0; i < region.sides.size(); ++i) {
        const RegionSide& side = region.sides[i];
        if (!side.segments.empty())
            nodes += std::llabs(static_cast<long long>(side.segments.front().lim2) - side.segments.front().lim1) + 1;
    }
    if (nodes > kMaxFreeRegionNodes)
        return "the boundary has " + std::to_string(nodes) + " nodes, more than " + std::to_string(kMaxFreeRegionNodes);
    return std::string();
}

std::string freeBoundaryProblem(const std::vector<MeshNode>& nodes, const std::vector<BoundarySegment>& segments)
{
    for (std::size_t k = 0; k < segments.size(); ++k)
        if (segments[k].start == segments[k].end)
            return "boundary segment " + std::to_string(k + 1) + " has coinciding end nodes";
    std::string problem = chainProblem(nodes, segments);
    if (problem.empty()) problem = crossingProblem(nodes, segments);
    return problem;
}

namespace {

// The beam vertices on the region's boundary: a side code or a split node
// each. False only when a split node overflows its neighbour list.
bool placeBeamVertices(RegionRecord& region, const FreeRegionTarget& target, bool quadrilateral, std::ostream& log)
{
    const std::vector<MeshNode> selection =
        placeBeamVerticesInRegion(region, target.beamVertices, target.structureElements, target.regions);
    if (selection.empty()) return true;
    bool regionFailed = false;
    if (quadrilateral)
        handleBeamVertexAtCorner(region, selection, target.structureElements, log, regionFailed);
    else
        splitBeamVertexOnEdge(region, selection, target.structureElements, log, regionFailed);
    return !regionFailed;
}

// Triangle mode, steps 15 to 27.
bool finishTriangleRegion(RegionRecord& region, std::vector<BoundarySegment>& segments, int boundaryCount,
                          int firstStart, const FreeRegionTarget& target, UnitFrame& frame, std::ostream& log)
{
    if (!cleanUpTriangles(region, boundaryCount, log)) return false;
    frame.mapBack(region.nodes);
    connectInterfaceFaces(region, segments, 0);
    makeBoundaryNumbersConsecutive(region, segments, 0);
    makeTriangleElements(region);
    fixCodedSides(region);
    sortExternalBoundary(region, false, firstStart, log);
    matchRecoveredNodes(region, false, log);
    if (!placeBeamVertices(region, target, false, log)) return false;
    sortExternalBoundary(region, false, firstStart, log);
    smoothTriangleNodes(region);
    improvePoorCorners(region.nodes, region.elements, region.adjacency);
    return true;
}

// The boundaries a quadrilateral region works with: the input's (fine) one
// and the halved one that is triangulated.
struct QuadBoundary {
    std::vector<MeshNode> fineNodes;  // in the triangulation's unit square
    const std::vector<BoundarySegment>& fineSegments;
    std::vector<MeshNode> coarseNodes;
    std::vector<BoundarySegment> coarseSegments;
    std::vector<MeshNode> junctions;  // held in place by the final smoothing
    std::size_t workTriangles = 0;    // of the triangulation, removed ones included
};

// A side of a region as its straight chord and its segment count.
struct SideChord {
    double x1 = 0.0, y1 = 0.0, x2 = 0.0, y2 = 0.0;
    int count = 0;
    double length() const { return std::hypot(x2 - x1, y2 - y1); }
    double spacing() const { return count > 0 ? length() / count : 0.0; }
};

std::vector<SideChord> sideChords(const RegionRecord& region)
{
    std::vector<SideChord> chords(region.sides.size());
    for (std::size_t i = 0; i < region.sides.size(); ++i) {
        const RegionSide& side = region.sides[i];
        if (side.segments.empty()) continue;
        SideChord& c = chords[i];
        c.x1 = side.segments.front().x1;
        c.y1 = side.segments.front().y1;
        c.x2 = side.segments.back().x2;
        c.y2 = side.segments.back().y2;
        for (const SideSegment& seg : side.segments) c.count += std::abs(seg.lim2 - seg.lim1);
    }
    return chords;
}

// Sides i and j as "side i has n segments of a m and side j m of b m".
std::string spacingPair(const std::vector<SideChord>& chords, std::size_t i, std::size_t j)
{
    char text[200];
    std::snprintf(text, sizeof text, "side %zu has %d segments of %.3g m and side %zu %d of %.3g m", i + 1,
                  chords[i].count, chords[i].spacing(), j + 1, chords[j].count, chords[j].spacing());
    return text;
}

// What to change where an element of the finished region has a flat or
// reflex corner at `at`: a nearly straight corner of the region itself, or
// sides whose segment lengths differ too much for the elements between them.
std::string changeHint(const RegionRecord& region, const MeshNode& at)
{
    const std::vector<SideChord> chords = sideChords(region);
    const std::size_t n = chords.size();
    double extent = 0.0;
    for (const SideChord& c : chords) extent = std::max(extent, c.length());
    const double near = 1e-9 * std::max(extent, 1e-12);
    std::string sharp;
    for (std::size_t i = 0; i < n && n >= 3; ++i) {
        const SideChord& c = chords[i];
        const SideChord& before = chords[(i + n - 1) % n];
        if (c.count == 0 || before.count == 0) continue;
        const double ux = before.x1 - c.x1, uy = before.y1 - c.y1, vx = c.x2 - c.x1, vy = c.y2 - c.y1;
        double angle = std::atan2(vx * uy - vy * ux, ux * vx + uy * vy) * 180.0 / std::acos(-1.0);
        if (angle < 0.0) angle += 360.0;
        if (angle < 5.0 && sharp.empty()) {
            char text[200];
            std::snprintf(text, sizeof text,
                          "; the region's corner between sides %zu and %zu is %.2f degrees: make it wider",
                          (i + n - 1) % n + 1, i + 1, angle);
            sharp = text;
        }
        if (std::hypot(at.x - c.x1, at.y - c.y1) > near || angle < 170.0 || angle > 190.0) continue;
        char text[200];
        std::snprintf(text, sizeof text,
                      "; the region's corner there, between sides %zu and %zu, is %.2f degrees: leave that point out "
                      "so the sides become one, or make the corner sharper",
                      (i + n - 1) % n + 1, i + 1, angle);
        return text;
    }
    // The side the node lies on, else every side, against the side whose
    // segment length differs most from it.
    if (!sharp.empty()) return sharp;
    std::size_t on = n;
    for (std::size_t i = 0; i < n && on == n; ++i) {
        const SideChord& c = chords[i];
        const double length = c.length();
        if (c.count == 0 || length <= 0.0) continue;
        const double cross = ((c.x2 - c.x1) * (at.y - c.y1) - (c.y2 - c.y1) * (at.x - c.x1)) / length;
        const double along = ((c.x2 - c.x1) * (at.x - c.x1) + (c.y2 - c.y1) * (at.y - c.y1)) / length;
        if (std::fabs(cross) <= 1e-6 * length && along > -near && along < length + near) on = i;
    }
    std::size_t bestI = n, bestJ = n;
    double worstRatio = 1.0;
    for (std::size_t i = 0; i < n; ++i) {
        if (on != n && i != on) continue;
        for (std::size_t j = 0; j < n; ++j) {
            if (j == i || chords[i].spacing() <= 0.0 || chords[j].spacing() <= 0.0) continue;
            const double ratio =
                std::max(chords[i].spacing() / chords[j].spacing(), chords[j].spacing() / chords[i].spacing());
            if (ratio > worstRatio) {
                worstRatio = ratio;
                bestI = i;
                bestJ = j;
            }
        }
    }
    if (bestI == n || worstRatio < 1.5) return "; give the sides near that point more segments";
    return "; " + spacingPair(chords, bestI, bestJ) + ": change the division count of side " +
           std::to_string(bestI + 1) + " or side " + std::to_string(bestJ + 1) + " to bring them closer";
}

// The first element of the finished quadrilateral region that is not
// valid, named with its worst corner; empty when all are. A side of an odd
// number of segments is named as what to change: its halved boundary cuts
// a polygon corner, and the element there can keep a straight corner.
std::string invalidQuadElementProblem(const RegionRecord& region)
{
    for (std::size_t e = 0; e < region.elements.size(); ++e) {
        const MeshElement& el = region.elements[e];
        const int n = el.w[4] == 0 ? 3 : 4;
        const MeshNode* corners[4] = {};
        for (int k = 0; k < n; ++k) corners[k] = &region.nodes[el.w[1 + k] - 1];
        if (cornersValid(corners, n)) continue;
        int worst = 0;
        double largest = -1.0;
        for (int k = 0; k < n; ++k) {
            const double angle = interiorAngleDegrees(*corners[(k + n - 1) % n], *corners[k], *corners[(k + 1) % n]);
            if (angle > largest) {
                largest = angle;
                worst = k;
            }
        }
        char text[200];
        std::snprintf(text, sizeof text, "element %zu has a corner of %.2f degrees at (%.6g, %.6g)", e + 1, largest,
                      corners[worst]->x, corners[worst]->y);
        std::string problem = text;
        for (std::size_t i = 0; i < region.sides.size(); ++i) {
            const RegionSide& side = region.sides[i];
            if (side.segments.empty()) continue;
            const int count = std::abs(side.segments.front().lim2 - side.segments.front().lim1);
            if (count % 2 == 1) {
                return problem + "; side " + std::to_string(i + 1) + " has an odd number of segments (" +
                       std::to_string(count) + "): give every side an even number";
            }
        }
        return problem + changeHint(region, *corners[worst]);
    }
    return std::string();
}

// The sides of the halved boundary with the input boundary node between
// their ends: segment j of the halved boundary spans input segments 2j and
// 2j + 1.
std::vector<HalvedSide> halvedSides(const QuadBoundary& boundary)
{
    std::vector<HalvedSide> sides;
    const auto node = [](const std::vector<MeshNode>& nodes, int name) {
        return name >= 1 && name <= static_cast<int>(nodes.size()) ? &nodes[name - 1] : nullptr;
    };
    for (std::size_t j = 0; j < boundary.coarseSegments.size() && 2 * j < boundary.fineSegments.size(); ++j) {
        const BoundarySegment& s = boundary.coarseSegments[j];
        const MeshNode* a = node(boundary.coarseNodes, s.start);
        const MeshNode* b = node(boundary.coarseNodes, s.end);
        const MeshNode* m = node(boundary.fineNodes, boundary.fineSegments[2 * j].end);
        if (a && b && m) sides.push_back(HalvedSide{a->x, a->y, b->x, b->y, m->x, m->y});
    }
    return sides;
}

// Quadrilateral mode, steps 15 to 30: the triangles on the halved boundary
// become quadrilaterals, are split on the fine boundary and restored onto
// the input's boundary nodes.
bool finishQuadRegion(RegionRecord& region, QuadBoundary& boundary, const FreeRegionTarget& target, UnitFrame& frame,
                      std::ostream& log)
{
    std::vector<BoundarySegment>& coarseSegments = boundary.coarseSegments;
    const int coarseCount = static_cast<int>(boundary.coarseNodes.size());
    if (!initNodeAdjacency(region, coarseCount, log)) return false;
    removeValence3Nodes(region);
    if (!removeValence4Nodes(region, coarseCount, log)) return false;
    collectTriangleBoundarySides(region, coarseSegments);
    const int codeOffset = codeOffsetFor(static_cast<long long>(boundary.workTriangles));
    region.topoElements.reserve(region.triangles.size());
    region.topoNodes.reserve(region.nodes.size());
    if (!optimizeQuadMesh(region, coarseSegments, codeOffset, log)) return false;
    connectInterfaceFaces(region, coarseSegments, 1);
    assignSideCodesFromSegments(region, 1, coarseSegments);
    makeBoundaryNumbersConsecutive(region, coarseSegments, 1);
    improveQuadValence(region);
    splitFlatCornerQuads(region, halvedSides(boundary));
    if (!buildElementsFromTopology(region, boundary.junctions, log)) return false;
    const int firstStart = boundary.fineSegments.front().start;
    sortExternalBoundary(region, true, firstStart, log);
    restoreFineBoundaryNodes(region, boundary.fineSegments, boundary.fineNodes);
    // Restored nodes can turn a corner of an element next to them inward.
    repairInvalidElements(region.nodes, region.elements, region.adjacency);
    improvePoorCorners(region.nodes, region.elements, region.adjacency);
    frame.mapBack(region.nodes);
    matchRecoveredNodes(region, true, log);
    if (!placeBeamVertices(region, target, true, log)) return false;
    sortExternalBoundary(region, true, firstStart, log);
    const std::string invalid = invalidQuadElementProblem(region);
    if (!invalid.empty()) return failRegion(log, target.regionNumber, invalid);
    for (MeshElement& el : region.elements) {
        el.w[10] = region.elemGroup;
        el.w[11] = region.objIndex;
    }
    return true;
}

// Where boundary nodes coincide: the side shortest for its segment count,
// named with what to change.
std::string shortSideHint(const RegionRecord& region)
{
    const std::vector<SideChord> chords = sideChords(region);
    std::size_t shortest = chords.size();
    for (std::size_t i = 0; i < chords.size(); ++i)
        if (chords[i].count > 0 && (shortest == chords.size() || chords[i].spacing() < chords[shortest].spacing()))
            shortest = i;
    if (shortest == chords.size()) return std::string();
    char text[200];
    std::snprintf(text, sizeof text,
                  "; side %zu is %.3g m long for %d segments: lengthen it or leave one of its end "
                  "points out",
                  shortest + 1, chords[shortest].length(), chords[shortest].count);
    return text;
}

// The place where meshing a region stopped: the node of the most elements
// (or triangles), in the input's coordinates; without a mesh, the start of
// the region's first side.
MeshNode crowdedPlace(const RegionRecord& region, const UnitFrame& frame)
{
    std::vector<int> count(region.nodes.size() + 1, 0);
    auto tally = [&](int node) {
        if (node >= 1 && node <= static_cast<int>(region.nodes.size())) ++count[node];
    };
    if (!region.elements.empty()) {
        for (const MeshElement& el : region.elements)
            for (int k = 1; k <= (el.w[4] == 0 ? 3 : 4); ++k) tally(el.w[k]);
    } else {
        for (const DelaunayTriangle& t : region.triangles)
            for (int c : t.corners) tally(c);
    }
    const auto most = std::max_element(count.begin(), count.end());
    if (!region.nodes.empty() && *most > 0)
        return frame.original(region.nodes[static_cast<std::size_t>(most - count.begin()) - 1]);
    // No mesh yet: the start of the region's first side.
    MeshNode start;
    if (!region.sides.empty() && !region.sides.front().segments.empty()) {
        start.x = region.sides.front().segments.front().x1;
        start.y = region.sides.front().segments.front().y1;
    }
    return start;
}

bool meshRegionSteps(RegionRecord& region, std::vector<MeshNode>& boundaryNodes, std::vector<BoundarySegment>& segments,
                     const FreeRegionTarget& target, bool quadrilateral, UnitFrame& frame, std::ostream& log);

}  // namespace

// Every refusal of a region ends with a line that names the region, the
// place and what to change: the steps' own lines say what went wrong, and
// where they do not name the region this line follows them.
bool meshRegion(RegionRecord& region, std::vector<MeshNode>& boundaryNodes, std::vector<BoundarySegment>& segments,
                const FreeRegionTarget& target, bool quadrilateral, std::ostream& log)
{
    std::ostringstream steps;
    UnitFrame frame;
    const bool meshed = meshRegionSteps(region, boundaryNodes, segments, target, quadrilateral, frame, steps);
    log << steps.str();
    const std::string named = "Error: region " + std::to_string(target.regionNumber) + ": ";
    if (meshed || steps.str().find(named) != std::string::npos) return meshed;
    const MeshNode at = crowdedPlace(region, frame);
    char text[200];
    std::snprintf(text, sizeof text, "the mesh could not be finished near (%.6g, %.6g)", at.x, at.y);
    return failRegion(log, target.regionNumber, text + changeHint(region, at));
}

namespace {

bool meshRegionSteps(RegionRecord& region, std::vector<MeshNode>& boundaryNodes, std::vector<BoundarySegment>& segments,
                     const FreeRegionTarget& target, bool quadrilateral, UnitFrame& frame, std::ostream& log)
{
    const std::string problem = freeBoundaryProblem(boundaryNodes, segments);
    if (!problem.empty()) return failRegion(log, target.regionNumber, problem + shortSideHint(region));
    if (quadrilateral && segments.size() % 2 == 1)
        return failRegion(log, target.regionNumber,
                          "the boundary has an odd number of segments (" + std::to_string(segments.size()) +
                              "), which quadrilateral meshing cannot halve");
    const int firstStart = segments.front().start;
    const int boundaryCount = static_cast<int>(boundaryNodes.size());

    // Where interface faces meet; quadrilateral meshing holds them in place.
    QuadBoundary quad{{}, segments, {}, {}, {}, 0};
    collectFaceJunctionNodes(quad.junctions, segments, boundaryNodes);

    if (quadrilateral) {
        coarsenBoundaryForQuads(boundaryNodes, segments, quad.coarseNodes, quad.coarseSegments);
        const std::string coarseProblem = freeBoundaryProblem(quad.coarseNodes, quad.coarseSegments);
        if (!coarseProblem.empty())
            return failRegion(log, target.regionNumber,
                              "the halved boundary: " + coarseProblem + shortSideHint(region));
    }
    std::vector<MeshNode>& nodes = quadrilateral ? quad.coarseNodes : boundaryNodes;
    std::vector<BoundarySegment>& segs = quadrilateral ? quad.coarseSegments : segments;
    pairInterfaceBoundaryNodes(region, target.points, nodes, log);
    collectInterfaceSegments(region, target.points, nodes, segs);

    // The region is meshed in its unit square and mapped back once its
    // elements are made, before interfaces and beam vertices are matched
    // with the input's coordinates.
    const std::vector<MeshNode> inputNodes = boundaryNodes;
    if (!triangulateRegion(region, nodes, segs, target, frame.s, frame.ox, frame.oy, quad.workTriangles, quadrilateral,
                           log))
        return false;
    frame.remember(inputNodes);
    for (const MeshNode& node : inputNodes) quad.fineNodes.push_back(frame.normalised(node));
    for (MeshNode& node : quad.junctions) node = frame.normalised(node);
    region.adjacency.reserve(region.nodes.size());

    const bool meshed = quadrilateral
                            ? finishQuadRegion(region, quad, target, frame, log)
                            : finishTriangleRegion(region, segments, boundaryCount, firstStart, target, frame, log);
    if (!meshed) return false;
    copyBackNodeCoordinates(region, quadrilateral);
    setSideEndRecords(region, target.generatedBoundaryPoints, quadrilateral);
    mergeRegionIntoMesh(region, target.mesh, target.structureElements);
    return true;
}

}  // namespace

}  // namespace tessaro
