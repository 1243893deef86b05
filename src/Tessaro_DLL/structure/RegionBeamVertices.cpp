#include "Tessaro_DLL/structure/RegionBeamVertices.h"

#include <algorithm>
#include <cmath>

#include "Tessaro_DLL/topology/Topology.h"

namespace tessaro {

namespace {

constexpr double kCoincide = 1e-8;
constexpr int kBeamFace = -6;

bool coincide(double xa, double ya, double xb, double yb) { return std::hypot(xa - xb, ya - yb) < kCoincide; }

// Angle at (x, y) between the directions to (ax, ay) and (bx, by).
double angleAt(double x, double y, double ax, double ay, double bx, double by)
{
    const double ux = ax - x, uy = ay - y, vx = bx - x, vy = by - y;
    const double length = std::hypot(ux, uy) * std::hypot(vx, vy);
    if (!(length > 0.0)) return 0.0;
    return std::acos(std::clamp((ux * vx + uy * vy) / length, -1.0, 1.0));
}

template <typename Visit>
void forEachBoundarySegment(const RegionRecord& region, Visit visit)
{
    for (const RegionSide& side : region.sides)
        for (const SideSegment& seg : side.segments) visit(seg);
}

bool startsAt(const SideSegment& seg, double x, double y) { return coincide(seg.x1, seg.y1, x, y); }
bool endsAt(const SideSegment& seg, double x, double y) { return coincide(seg.x2, seg.y2, x, y); }

// A segment of the region runs from one point to the other, either way.
bool regionJoins(const RegionRecord& region, double x1, double y1, double x2, double y2)
{
    bool joins = false;
    forEachBoundarySegment(region, [&](const SideSegment& seg) {
        if ((startsAt(seg, x1, y1) && endsAt(seg, x2, y2)) || (startsAt(seg, x2, y2) && endsAt(seg, x1, y1)))
            joins = true;
    });
    return joins;
}

const SideSegment* beamSegment(const StructureElementRecord& se)
{
    return se.segments.empty() ? nullptr : &se.segments.front();
}

// Phase 2: one copy of q per kind 1 beam ending there that does not run
// along the region's boundary.
void selectForBeams(const RegionRecord& region, const MeshNode& q, const std::deque<StructureElementRecord>& structures,
                    std::vector<MeshNode>& selection)
{
    std::vector<int> names;
    for (const StructureElementRecord& se : structures) {
        const SideSegment* seg = beamSegment(se);
        if (se.kind != 1 || seg == nullptr) continue;
        if (startsAt(*seg, q.x, q.y) && std::find(names.begin(), names.end(), se.id) == names.end())
            names.push_back(se.id);
        if (endsAt(*seg, q.x, q.y) && std::find(names.begin(), names.end(), se.id) == names.end())
            names.push_back(se.id);
    }
    for (int name : names) {
        const auto it = std::find_if(structures.begin(), structures.end(),
                                     [&](const StructureElementRecord& se) { return se.id == name; });
        if (it == structures.end()) continue;
        const SideSegment* seg = beamSegment(*it);
        if (seg != nullptr && regionJoins(region, seg->x1, seg->y1, seg->x2, seg->y2)) continue;
        selection.push_back(q);
    }
}

// Phase 3: the number of regions meeting at q, the regions along the beam
// from q to its far end aside.
int regionsMeetingAt(const MeshNode& q, const std::deque<StructureElementRecord>& structures,
                     const std::deque<RegionRecord>& regions)
{
    bool hasFar = false;
    double fx = 0.0, fy = 0.0;
    for (const StructureElementRecord& se : structures) {
        const SideSegment* seg = beamSegment(se);
        if (se.kind != 1 || seg == nullptr) continue;
        const bool s = startsAt(*seg, q.x, q.y), e = endsAt(*seg, q.x, q.y);
        if (s == e) continue;
        hasFar = true;
        fx = s ? seg->x2 : seg->x1;
        fy = s ? seg->y2 : seg->y1;
        break;
    }
    int count = 0;
    for (const RegionRecord& region : regions) {
        if (hasFar && regionJoins(region, q.x, q.y, fx, fy)) continue;
        bool touches = false;
        forEachBoundarySegment(region, [&](const SideSegment& seg) {
            if (startsAt(seg, q.x, q.y) || endsAt(seg, q.x, q.y)) touches = true;
        });
        if (touches) ++count;
    }
    return count;
}

// The vertex as the handlers see it: the boundary side starting there
// (element e, side s, far corner b), the side before it (element p, start
// corner pp, side sp) and the angles of the beam to both.
struct VertexSides {
    int a = 0, e = 0, s = 0, b = 0;
    int p = 0, pp = 0, sp = 0;
    double angle1 = 0.0, angle2 = 0.0;
};

int cornerCountOf(const MeshElement& el) { return el.w[4] == 0 ? 3 : 4; }

int cornerIndex(const MeshElement& el, int node)
{
    for (int k = 0; k < cornerCountOf(el); ++k)
        if (el.w[1 + k] == node) return k;
    return -1;
}

bool findVertexSides(const RegionRecord& region, const MeshNode& q,
                     const std::deque<StructureElementRecord>& structures, bool triangles, VertexSides& v)
{
    const int count = static_cast<int>(region.codedSides.size());
    int at = -1;
    for (int i = 0; i < count && at < 0; ++i) {
        const BoundarySide& side = region.codedSides[i];
        const MeshElement& el = region.elements[side.element - 1];
        const int a = el.w[1 + side.side];
        const MeshNode& n = region.nodes[a - 1];
        if (coincide(n.x, n.y, q.x, q.y)) at = i;
    }
    if (at < 0) return false;
    const BoundarySide& side = region.codedSides[at];
    const BoundarySide& before = region.codedSides[at == 0 ? count - 1 : at - 1];
    const MeshElement& el = region.elements[side.element - 1];
    const int c = cornerCountOf(el);
    v.e = side.element;
    v.s = side.side;
    v.a = el.w[1 + side.side];
    v.b = el.w[1 + (side.side + 1) % c];
    v.p = before.element;
    const MeshElement& prev = region.elements[v.p - 1];
    const int pc = cornerCountOf(prev);
    if (triangles) {
        const int ia = cornerIndex(prev, v.a);
        if (ia < 0) return false;
        v.sp = (ia - 1 + pc) % pc;
        v.pp = prev.w[1 + v.sp];
    } else {
        v.sp = before.side;
        v.pp = prev.w[1 + before.side];
    }

    const SideSegment* beam = nullptr;
    bool fromStart = false;
    for (const StructureElementRecord& se : structures) {
        const SideSegment* seg = beamSegment(se);
        if (seg == nullptr) continue;
        if (startsAt(*seg, q.x, q.y) || endsAt(*seg, q.x, q.y)) {
            beam = seg;
            fromStart = startsAt(*seg, q.x, q.y);
            break;
        }
    }
    if (beam == nullptr) return false;
    const double fx = fromStart ? beam->x2 : beam->x1, fy = fromStart ? beam->y2 : beam->y1;
    const MeshNode& nb = region.nodes[v.b - 1];
    const MeshNode& np = region.nodes[v.pp - 1];
    v.angle1 = angleAt(q.x, q.y, fx, fy, nb.x, nb.y);
    v.angle2 = angleAt(q.x, q.y, fx, fy, np.x, np.y);
    return true;
}

void setFace(RegionRecord& region, int e, int side) { region.neighbours[e - 1].n[1 + side] = kBeamFace; }

// A new node at the place of node a, with a fresh adjacency record.
int appendNodeCopy(RegionRecord& region, int a, bool fixed)
{
    const int id = static_cast<int>(region.nodes.size()) + 1;
    MeshNode copy = region.nodes[a - 1];
    copy.name = id;
    region.nodes.push_back(copy);
    NodeAdjacency record;
    record.name = fixed ? -id : id;
    region.adjacency.push_back(record);
    return id;
}

void setElements(NodeAdjacency& record, const std::vector<int>& elements)
{
    record.elementCount = static_cast<int>(elements.size());
    record.elements.assign(elements.begin(), elements.end());
}

void replaceCorner(MeshElement& el, int from, int to)
{
    for (int k = 0; k < cornerCountOf(el); ++k)
        if (el.w[1 + k] == from) el.w[1 + k] = to;
}

// The neighbour-node lists of the nodes around a split, from their
// elements.
void rebuildNodeLists(RegionRecord& region, int a, int split)
{
    const NodeAdjacency& at = region.adjacency[a - 1];
    std::vector<int> nodes(at.neighbours.begin(), at.neighbours.begin() + at.neighbourCount);
    nodes.push_back(a);
    nodes.push_back(split);
    for (int x : nodes) {
        NodeAdjacency& record = region.adjacency[x - 1];
        const std::vector<int> elements(record.elements.begin(), record.elements.begin() + record.elementCount);
        std::vector<int> names = collectElementNodes(region, elements, kMeshElements);
        names.erase(std::remove(names.begin(), names.end(), x), names.end());
        record.neighbourCount = static_cast<int>(names.size());
        record.neighbours.assign(names.begin(), names.end());
    }
}

void refillCodedSides(RegionRecord& region)
{
    region.codedSides.clear();
    for (const BoundarySide& side : region.boundarySides)
        if (side.code < 0 && side.code != -8 && side.code != -9) region.codedSides.push_back(side);
}

// Quadrilateral split: the element before the corner's side keeps A, e
// takes the new node; the interior side between them becomes two faces.
bool splitQuadCorner(RegionRecord& region, const VertexSides& v, std::ostream& /*log*/)
{
    const int inner = (v.s + 3) % 4;
    const int n = region.neighbours[v.e - 1].n[1 + inner];
    if (n < 1 || n > static_cast<int>(region.elements.size())) return true;
    const int split = appendNodeCopy(region, v.a, false);
    const int sideN = cornerIndex(region.elements[n - 1], v.a);
    if (sideN >= 0) setFace(region, n, sideN);
    setFace(region, v.e, inner);
    replaceCorner(region.elements[v.e - 1], v.a, split);
    setElements(region.adjacency[v.a - 1], {n});
    setElements(region.adjacency[split - 1], {v.e});
    rebuildNodeLists(region, v.a, split);
    region.boundarySides.push_back(BoundarySide{n, sideN, kBeamFace});
    region.boundarySides.push_back(BoundarySide{v.e, inner, kBeamFace});
    return true;
}

// Triangle split at a corner of three or four triangles.
bool splitTriangleCorner(RegionRecord& region, const VertexSides& v, const std::vector<int>& around,
                         std::ostream& /*log*/)
{
    const int split = appendNodeCopy(region, v.a, true);
    const int i = cornerIndex(region.elements[v.e - 1], v.a);
    const int t = i > 0 ? i - 1 : 2;
    if (around.size() == 3) {
        int m = 0;
        for (int k = 0; k < 3; ++k)
            if (around[k] != v.e && around[k] != v.p) m = around[k];
        if (m == 0) return true;
        const int sideM = cornerIndex(region.elements[m - 1], v.a);
        setFace(region, m, sideM);
        setFace(region, v.e, t);
        replaceCorner(region.elements[v.e - 1], v.a, split);
        setElements(region.adjacency[v.a - 1], {v.p, m});
        setElements(region.adjacency[split - 1], {v.e});
        rebuildNodeLists(region, v.a, split);
        region.boundarySides.push_back(BoundarySide{m, sideM, kBeamFace});
        region.boundarySides.push_back(BoundarySide{v.e, t, kBeamFace});
        return true;
    }
    const int m1 = region.neighbours[v.e - 1].n[1 + t];
    const int startP = cornerIndex(region.elements[v.p - 1], v.a);
    const int m2 = startP >= 0 ? region.neighbours[v.p - 1].n[1 + startP] : 0;
    if (m1 < 1 || m2 < 1) return true;
    MeshElement& first = region.elements[m1 - 1];
    const int ia = cornerIndex(first, v.a);
    const int c2 = ia >= 0 ? first.w[1 + (ia + 2) % 3] : 0;
    const int sideM1 = cornerIndex(first, c2);
    const int sideM2 = cornerIndex(region.elements[m2 - 1], v.a);
    if (sideM1 >= 0) setFace(region, m1, sideM1);
    if (sideM2 >= 0) setFace(region, m2, sideM2);
    replaceCorner(region.elements[v.e - 1], v.a, split);
    replaceCorner(first, v.a, split);
    setElements(region.adjacency[v.a - 1], {v.p, m2});
    setElements(region.adjacency[split - 1], {v.e, m1});
    rebuildNodeLists(region, v.a, split);
    return true;
}

}  // namespace

bool isStraightBoundaryPoint(const RegionRecord& region, double x, double y, bool& found)
{
    std::vector<std::pair<double, double>> starts;
    forEachBoundarySegment(region, [&](const SideSegment& seg) { starts.emplace_back(seg.x1, seg.y1); });
    const int n = static_cast<int>(starts.size());
    found = false;
    for (int i = 0; i < n; ++i) {
        if (!coincide(starts[i].first, starts[i].second, x, y)) continue;
        found = true;
        const auto& prev = starts[(i - 1 + n) % n];
        const auto& next = starts[(i + 1) % n];
        const double limit = std::atan(1.0) * 150.0 / 45.0;
        return angleAt(x, y, prev.first, prev.second, next.first, next.second) >= limit;
    }
    return false;
}

std::vector<MeshNode> placeBeamVerticesInRegion(const RegionRecord& region, const std::vector<MeshNode>& vertices,
                                                const std::deque<StructureElementRecord>& structures,
                                                const std::deque<RegionRecord>& regions)
{
    std::vector<MeshNode> onBoundary, selection;
    for (const MeshNode& v : vertices)
        forEachBoundarySegment(region, [&](const SideSegment& seg) {
            if (startsAt(seg, v.x, v.y)) onBoundary.push_back(v);
        });
    for (const MeshNode& q : onBoundary) selectForBeams(region, q, structures, selection);
    for (MeshNode& q : selection)
        if (regionsMeetingAt(q, structures, regions) > 2) q.name = -q.name;
    return selection;
}

namespace {

// The side of the vertex that lies further from the beam becomes a face.
void setFaceAwayFromBeam(RegionRecord& region, const VertexSides& v)
{
    if (v.angle1 > v.angle2)
        setFace(region, v.e, v.s);
    else
        setFace(region, v.p, v.sp);
}

enum class VertexStep { next, stop, failRegion };

// Runs `step` on every unmarked vertex the region's sides can place, then
// refills the coded side list; false when a step stops the loop.
template <typename Step>
bool treatVertices(RegionRecord& region, const std::vector<MeshNode>& selection,
                   const std::deque<StructureElementRecord>& structures, bool triangles, bool& regionFailed, Step step)
{
    regionFailed = false;
    for (const MeshNode& q : selection) {
        if (q.name < 0) continue;
        VertexSides v;
        bool found = false;
        if (!findVertexSides(region, q, structures, triangles, v)) continue;
        const bool straight = isStraightBoundaryPoint(region, q.x, q.y, found);
        if (!found) continue;
        const VertexStep result = step(v, straight);
        if (result == VertexStep::next) continue;
        regionFailed = result == VertexStep::failRegion;
        return false;
    }
    refillCodedSides(region);
    return true;
}

}  // namespace

bool handleBeamVertexAtCorner(RegionRecord& region, const std::vector<MeshNode>& selection,
                              const std::deque<StructureElementRecord>& structures, std::ostream& log,
                              bool& regionFailed)
{
    return treatVertices(region, selection, structures, false, regionFailed, [&](const VertexSides& v, bool straight) {
        if (straight) return VertexStep::next;
        const int count = region.adjacency[v.a - 1].elementCount;
        if (count == 1) setFaceAwayFromBeam(region, v);
        if (count == 2 && !splitQuadCorner(region, v, log)) return VertexStep::failRegion;
        if (count == 3) {
            log << "Error: beam vertex locates at region corner" << std::endl;
            return VertexStep::stop;
        }
        return VertexStep::next;
    });
}

bool splitBeamVertexOnEdge(RegionRecord& region, const std::vector<MeshNode>& selection,
                           const std::deque<StructureElementRecord>& structures, std::ostream& log, bool& regionFailed)
{
    return treatVertices(region, selection, structures, true, regionFailed, [&](const VertexSides& v, bool straight) {
        if (straight) {
            setFaceAwayFromBeam(region, v);
            return VertexStep::next;
        }
        const NodeAdjacency& at = region.adjacency[v.a - 1];
        const std::vector<int> around(at.elements.begin(), at.elements.begin() + at.elementCount);
        if (around.size() == 2) {
            log << "Error: two triangle founded when split beam vertex on region edge" << std::endl;
            return VertexStep::stop;
        }
        if (around.size() != 3 && around.size() != 4) {
            log << "Error: Try to split node around firve triangle elements" << std::endl;
            return VertexStep::stop;
        }
        return splitTriangleCorner(region, v, around, log) ? VertexStep::next : VertexStep::failRegion;
    });
}

}  // namespace tessaro
