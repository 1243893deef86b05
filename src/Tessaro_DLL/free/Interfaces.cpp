#include "Tessaro_DLL/free/Interfaces.h"

#include <algorithm>
#include <cmath>

#include "Tessaro_DLL/free/Adjacency.h"
#include "Tessaro_DLL/topology/Topology.h"

namespace tessaro {

namespace {

bool isSlitCode(int code) { return code == -8 || code == -9; }


void appendDistinct(std::vector<int>& list, int value)
{
    if (std::find(list.begin(), list.end(), value) == list.end()) list.push_back(value);
}

// The distinct nodes of a run of sides with `code`, walking from triple
// `from` forward (step 1) or backward (step -1), wrapping around the list.
// Each side is read in the walking direction (backward: second node
// first), so that both runs start at the node where the faces meet.
std::vector<int> nodesOfRun(const RegionRecord& region, int from, int step, int code, int corners)
{
    const int count = static_cast<int>(region.codedSides.size());
    std::vector<int> nodes;
    for (int k = 0, i = from; k < count && region.codedSides[i].code == code; ++k, i = (i + step + count) % count) {
        int first = 0, second = 0;
        sideEndNodes(region, region.codedSides[i], corners, first, second);
        appendDistinct(nodes, step > 0 ? first : second);
        appendDistinct(nodes, step > 0 ? second : first);
    }
    return nodes;
}

}  // namespace

void collectFaceJunctionNodes(std::vector<MeshNode>& junctions, const std::vector<BoundarySegment>& segments,
                              const std::vector<MeshNode>& nodes)
{
    auto append = [&](int node) {
        if (node < 1 || node > static_cast<int>(nodes.size())) return;
        const MeshNode& n = nodes[node - 1];
        junctions.push_back(MeshNode{node, n.x, n.y, 0.0});
    };
    for (std::size_t k = 0; k + 1 < segments.size(); ++k) {
        const int c1 = segments[k].code, c2 = segments[k + 1].code;
        if ((c1 == -8 && c2 == -9) || (c1 == -9 && c2 == -8) || (c1 == -6 && c2 == -7)) append(segments[k].end);
    }
    if (!segments.empty() && segments.back().code == -9) append(segments.back().end);
}

namespace {

// Mode 0: the first live triangle at the segment's start node (lowest name)
// with the segment as a side in its direction.
bool findTriangleSide(const RegionRecord& region, const BoundarySegment& seg, BoundarySide& found)
{
    if (seg.start < 1 || seg.start > static_cast<int>(region.adjacency.size())) return false;
    const NodeAdjacency& at = region.adjacency[seg.start - 1];
    found.element = 0;
    for (int m = 0; m < at.elementCount; ++m) {
        const int t = at.elements[m];
        if (t <= 0 || region.triangles[t - 1].name <= 0) continue;
        const int j = sideWithCorners(region.triangles[t - 1], seg.start, seg.end);
        if (j >= 0 && (found.element == 0 || t < found.element)) {
            found.element = t;
            found.side = j;
        }
    }
    return found.element > 0;
}

// Mode 1: the same among the topology elements at the start node.
bool findTopologySide(const RegionRecord& region, const BoundarySegment& seg, BoundarySide& found)
{
    if (seg.start < 1 || seg.start > static_cast<int>(region.topoNodes.size())) return false;
    const TopoNode& at = region.topoNodes[seg.start - 1];
    found.element = 0;
    auto consider = [&](int e) {
        const TopoElement& el = region.topoElements[e - 1];
        const int j = directedSideIndex(el, seg.start, seg.end);
        if (el.name <= 0 || j < 0 || (found.element != 0 && e > found.element)) return;
        found.element = e;
        found.side = j;
    };
    for (int m = 0; m < at.triangleCount; ++m) consider(at.triangles[m]);
    for (int m = 0; m < at.quadCount; ++m) consider(at.quads[m]);
    return found.element > 0;
}

}  // namespace

namespace {

// Boundary node index (0-based) within 1e-7 of a point, -1 when none.
int boundaryNodeIndexAt(const std::vector<MeshNode>& nodes, const MeshNode& p)
{
    for (std::size_t k = 0; k < nodes.size(); ++k)
        if (std::hypot(nodes[k].x - p.x, nodes[k].y - p.y) < 1e-7) return static_cast<int>(k);
    return -1;
}

// Boundary node indices of the two end points of a region side.
void sideEndIndices(const RegionRecord& region, int side, const std::vector<PointRecord>& points,
                    const std::vector<MeshNode>& nodes, int& first, int& second)
{
    MeshNode p, q;
    first = sideEndPointCoordinates(1, side, region, points, p) ? boundaryNodeIndexAt(nodes, p) : -1;
    second = sideEndPointCoordinates(2, side, region, points, q) ? boundaryNodeIndexAt(nodes, q) : -1;
}

// First segment starting (ending) at a node name, -1 when none.
int firstSegmentFrom(const std::vector<BoundarySegment>& segments, int node)
{
    for (std::size_t k = 0; k < segments.size(); ++k)
        if (segments[k].start == node) return static_cast<int>(k);
    return -1;
}

int firstSegmentTo(const std::vector<BoundarySegment>& segments, int node)
{
    for (std::size_t k = 0; k < segments.size(); ++k)
        if (segments[k].end == node) return static_cast<int>(k);
    return -1;
}

bool contains(const std::vector<int>& list, int value)
{
    return std::find(list.begin(), list.end(), value) != list.end();
}

// The adjacency of either model seen the same way: the elements and the
// neighbour nodes at a node, the corners of an element.
struct FaceModel {
    RegionRecord& region;
    int mode;

    int nodeCount() const { return static_cast<int>(mode == 1 ? region.topoNodes.size() : region.adjacency.size()); }
    std::vector<int> elementsAt(int node) const
    {
        std::vector<int> list;
        if (node < 1 || node > nodeCount()) return list;
        if (mode == 1) {
            const TopoNode& n = region.topoNodes[node - 1];
            list.assign(n.triangles.begin(), n.triangles.begin() + n.triangleCount);
            list.insert(list.end(), n.quads.begin(), n.quads.begin() + n.quadCount);
        } else {
            const NodeAdjacency& a = region.adjacency[node - 1];
            list.assign(a.elements.begin(), a.elements.begin() + a.elementCount);
        }
        return list;
    }
    int* neighbourSlots(int node, int*& count) const
    {
        if (mode == 1) {
            count = &region.topoNodes[node - 1].neighbourCount;
            return region.topoNodes[node - 1].neighbours.data();
        }
        count = &region.adjacency[node - 1].neighbourCount;
        return region.adjacency[node - 1].neighbours.data();
    }
    int corners(int e) const
    {
        if (mode == 1) return region.topoElements[e - 1].isTriangle ? 3 : 4;
        return 3;
    }
    int& corner(int e, int k) const
    {
        if (mode == 1) return region.topoElements[e - 1].c[k];
        return region.triangles[e - 1].corners[k];
    }
    bool live(int e) const
    {
        if (mode == 1)
            return e >= 1 && e <= static_cast<int>(region.topoElements.size()) && region.topoElements[e - 1].name > 0;
        return e >= 1 && e <= static_cast<int>(region.triangles.size()) && region.triangles[e - 1].name > 0;
    }
    // Side index of element e running from a to b, -1 when none.
    int directedSide(int e, int a, int b) const
    {
        const int c = corners(e);
        for (int j = 0; j < c; ++j)
            if (corner(e, j) == a && corner(e, (j + 1) % c) == b) return j;
        return -1;
    }
    // The element at `node` with the directed side (a, b); 0 when none.
    int elementWithSide(int node, int a, int b, int& side) const
    {
        for (int e : elementsAt(node)) {
            if (!live(e)) continue;
            side = directedSide(e, a, b);
            if (side >= 0) return e;
        }
        return 0;
    }
    void makeNeighbours(int e, int j, int other) const
    {
        // The topology model is compacted by now: neighbours are plain
        // element names.
        if (mode == 1)
            region.topoElements[e - 1].nb[j] = other;
        else
            region.neighbours[e - 1].n[j + 1] = other;
    }
    // Appends an element of another node to the lists of `node`.
    void takeElement(int node, int e) const
    {
        if (mode == 1) {
            TopoNode& n = region.topoNodes[node - 1];
            if (region.topoElements[e - 1].isTriangle)
                n.triangles[n.triangleCount++] = e;
            else
                n.quads[n.quadCount++] = e;
            return;
        }
        NodeAdjacency& a = region.adjacency[node - 1];
        a.elements[a.elementCount++] = e;
    }
    // Appends node v to the neighbour list of `node` unless it is there.
    void takeNeighbour(int node, int v) const
    {
        if (mode == 1) {
            TopoNode& n = region.topoNodes[node - 1];
            if (!listContains(n.neighbours.data(), n.neighbourCount, v)) n.neighbours[n.neighbourCount++] = v;
            return;
        }
        NodeAdjacency& a = region.adjacency[node - 1];
        if (!listContains(a.neighbours.data(), a.neighbourCount, v)) a.neighbours[a.neighbourCount++] = v;
    }
};

// The partner lists of step 3: each node of the first (-9) face that does not
// lie on the second face, with the node of the second face it is merged into.
void slitPartners(const RegionRecord& region, std::vector<int>& p9, std::vector<int>& p8)
{
    std::vector<int> f8;
    for (const BoundarySegment& seg : region.interfaceFaces2) {
        appendDistinct(f8, seg.start);
        appendDistinct(f8, seg.end);
    }
    for (std::size_t k = 0; k < region.interfaceFaces1.size(); ++k) {
        const BoundarySegment& nine = region.interfaceFaces1[k];
        const BoundarySegment& eight = region.interfaceFaces2[k];
        if (!contains(f8, nine.start) && !contains(p9, nine.start)) {
            p9.push_back(nine.start);
            p8.push_back(eight.end);
        }
        if (!contains(f8, nine.end) && !contains(p9, nine.end)) {
            p9.push_back(nine.end);
            p8.push_back(eight.start);
        }
    }
}

// Step 4: the elements on the two faces name each other; each node of the
// second face takes over the elements and neighbours of its partner.
void joinFaceElements(const FaceModel& model, const std::vector<int>& p9)
{
    RegionRecord& region = model.region;
    for (std::size_t k = 0; k < region.interfaceFaces1.size(); ++k) {
        const BoundarySegment& nine = region.interfaceFaces1[k];
        const BoundarySegment& eight = region.interfaceFaces2[k];
        if (eight.start < 1 || eight.start > model.nodeCount() || nine.end < 1 || nine.end > model.nodeCount())
            continue;
        int j8 = -1, j9 = -1;
        const int e8 = model.elementWithSide(eight.start, eight.start, eight.end, j8);
        const int e9 = model.elementWithSide(nine.end, nine.start, nine.end, j9);
        if (e8 > 0 && e9 > 0) {
            model.makeNeighbours(e8, j8, e9);
            model.makeNeighbours(e9, j9, e8);
        }
        const std::vector<int> own = model.elementsAt(eight.start);
        for (int e : model.elementsAt(nine.end))
            if (!contains(own, e)) model.takeElement(eight.start, e);
        int* otherCount = nullptr;
        const int* other = model.neighbourSlots(nine.end, otherCount);
        const std::vector<int> theirs(other, other + *otherCount);
        for (int v : theirs)
            if (v > 0 && !contains(p9, v)) model.takeNeighbour(eight.start, v);
    }
}

// Step 5: corners and neighbour lists name the partner instead of the
// merged node.
void replaceMergedNodes(const FaceModel& model, const std::vector<int>& p9, const std::vector<int>& p8)
{
    for (std::size_t i = 0; i < p9.size(); ++i) {
        const int from = p9[i], to = p8[i];
        if (from < 1 || from > model.nodeCount()) continue;
        for (int e : model.elementsAt(from)) {
            if (e < 1 || !model.live(e)) continue;
            for (int k = 0; k < model.corners(e); ++k)
                if (model.corner(e, k) == from) model.corner(e, k) = to;
        }
        int* count = nullptr;
        const int* around = model.neighbourSlots(from, count);
        const std::vector<int> neighbours(around, around + *count);
        for (int v : neighbours) {
            if (v < 1 || v > model.nodeCount()) continue;
            int* vCount = nullptr;
            int* slots = model.neighbourSlots(v, vCount);
            if (listContains(slots, *vCount, to)) continue;
            for (int m = 0; m < *vCount; ++m)
                if (slots[m] == from) slots[m] = to;
        }
    }
}

// Old node name -> new name once the merged nodes are gone: survivors count
// from 1 in their old order, a merged node takes its partner's number.
struct NodeRenumbering {
    std::vector<int> partner, renumbered;

    NodeRenumbering(int n, const std::vector<int>& p9, const std::vector<int>& p8)
        : partner(static_cast<std::size_t>(n) + 1, 0), renumbered(static_cast<std::size_t>(n) + 1, 0)
    {
        for (std::size_t i = 0; i < p9.size(); ++i)
            if (p9[i] >= 1 && p9[i] <= n) partner[p9[i]] = p8[i];
        int next = 0;
        for (int v = 1; v <= n; ++v)
            if (partner[v] == 0) renumbered[v] = ++next;
    }
    int count() const { return static_cast<int>(partner.size()) - 1; }
    bool merged(int v) const { return partner[v] != 0; }
    int operator()(int v) const
    {
        if (v < 1 || v > count()) return v;
        const int kept = partner[v] >= 1 && partner[v] <= count() ? partner[v] : v;
        return renumbered[kept];
    }
    // A neighbour-node list in new names, each once, without the node itself,
    // gathered in `list` (kept by the caller to spare an allocation a node).
    template <int Held>
    void renameNeighbours(int self, const int* from, int count, std::vector<int>& list, NodeNames<Held>& to,
                          int& toCount) const
    {
        list.clear();
        for (int m = 0; m < count; ++m) {
            const int v = from[m] > 0 ? (*this)(from[m]) : from[m];
            if (v != self && !contains(list, v)) list.push_back(v);
        }
        toCount = static_cast<int>(list.size());
        to.assign(list.begin(), list.end());
    }
};

// The adjacency records of the surviving nodes in the new order, moved
// down in place over the merged ones (the topology model's as from a clean
// record, its status the new number).
void renumberAdjacency(const FaceModel& model, const NodeRenumbering& names)
{
    RegionRecord& region = model.region;
    const int n = names.count();
    std::vector<int> list;
    if (model.mode == 1) {
        std::vector<TopoNode>& records = region.topoNodes;
        const int last = std::min(n, static_cast<int>(records.size()));
        int kept = 0;
        for (int v = 1; v <= last; ++v) {
            if (names.merged(v)) continue;
            TopoNode& old = records[v - 1];
            TopoNode& fresh = records[kept++];
            fresh.status = names(v);
            if (&fresh != &old) {
                fresh.triangleCount = old.triangleCount;
                fresh.quadCount = old.quadCount;
                fresh.triangles = std::move(old.triangles);
                fresh.quads = std::move(old.quads);
            }
            NodeNames<TopoNode::kMaxNeighbours> neighbours;
            names.renameNeighbours(names(v), old.neighbours.data(), old.neighbourCount, list, neighbours,
                                   fresh.neighbourCount);
            fresh.neighbours = std::move(neighbours);
        }
        records.resize(static_cast<std::size_t>(kept));
        return;
    }
    std::vector<NodeAdjacency>& records = region.adjacency;
    const int last = std::min(n, static_cast<int>(records.size()));
    int kept = 0;
    std::vector<int> from;
    for (int v = 1; v <= last; ++v) {
        if (names.merged(v)) continue;
        NodeAdjacency& old = records[v - 1];
        const int oldName = old.name;
        from.assign(old.neighbours.data(), old.neighbours.data() + old.neighbourCount);
        NodeAdjacency& fresh = records[kept++];
        if (&fresh != &old) fresh = std::move(old);
        fresh.name = oldName < 0 ? -names(v) : names(v);
        names.renameNeighbours(names(v), from.data(), static_cast<int>(from.size()), list, fresh.neighbours,
                               fresh.neighbourCount);
    }
    records.resize(static_cast<std::size_t>(kept));
}

// Step 6: the surviving nodes are numbered from 1 in their old order; every
// list that names nodes follows, and the segments lose the slit faces.
void renumberAfterMerge(const FaceModel& model, std::vector<BoundarySegment>& segments, const std::vector<int>& p9,
                        const std::vector<int>& p8)
{
    RegionRecord& region = model.region;
    const NodeRenumbering names(static_cast<int>(region.nodes.size()), p9, p8);
    const int elements = static_cast<int>(model.mode == 1 ? region.topoElements.size() : region.triangles.size());
    for (int e = 1; e <= elements; ++e)
        for (int k = 0; k < model.corners(e); ++k) model.corner(e, k) = names(model.corner(e, k));
    renumberAdjacency(model, names);

    std::vector<MeshNode> nodes;
    nodes.reserve(region.nodes.size());
    for (int v = 1; v <= names.count(); ++v) {
        if (names.merged(v)) continue;
        nodes.push_back(region.nodes[v - 1]);
        nodes.back().name = names(v);
    }
    region.nodes.swap(nodes);
    for (MeshNode& move : region.pendingMoves) move.name = names(move.name);

    std::vector<BoundarySegment> kept;
    for (const BoundarySegment& seg : segments) {
        if (isSlitCode(seg.code)) continue;
        kept.push_back(BoundarySegment{static_cast<int>(kept.size()) + 1, names(seg.start), names(seg.end), seg.code});
    }
    segments.swap(kept);
}

}  // namespace

void clearTopoNode(TopoNode& node) { node = TopoNode{}; }

bool sideEndPointCoordinates(int end, int side, const RegionRecord& region, const std::vector<PointRecord>& points,
                             MeshNode& out)
{
    if (side < 0 || side >= static_cast<int>(region.sides.size()) || region.sides[side].segments.empty()) return false;
    const SideSegment& seg = region.sides[side].segments.front();
    const int entity = end == 1 ? seg.startEntity : seg.endEntity;
    const int number = end == 1 ? seg.startPoint : seg.endPoint;
    for (const PointRecord& p : points) {
        if (p.entity == entity && p.pointNumber == number) {
            out.x = p.x;
            out.y = p.y;
            return true;
        }
    }
    return false;
}

void collectInterfaceSegments(RegionRecord& region, const std::vector<PointRecord>& points,
                              const std::vector<MeshNode>& nodes, const std::vector<BoundarySegment>& segments)
{
    if (region.scheme >= 1) return;
    const int sides = static_cast<int>(region.sides.size());
    for (int s = 0; s < sides; ++s) {
        if (region.sides[s].neighbourCode != -8) continue;
        int i1 = -1, i2 = -1;
        sideEndIndices(region, s, points, nodes, i1, i2);
        const int k1 = firstSegmentFrom(segments, i1 + 1), k2 = firstSegmentTo(segments, i2 + 1);
        if (k1 >= 0 && k2 >= 0 && k1 <= k2)
            region.interfaceFaces2.insert(region.interfaceFaces2.end(), segments.begin() + k1,
                                          segments.begin() + k2 + 1);
        for (int t = 0; t < sides; ++t) {
            if (region.sides[t].neighbourCode != -9) continue;
            int j1 = -1, j2 = -1;
            sideEndIndices(region, t, points, nodes, j1, j2);
            const bool meets = (i1 >= 0 && j2 >= 0 && i1 == j2) || (i2 >= 0 && j1 >= 0 && i2 == j1);
            if (!meets) continue;
            const int m1 = firstSegmentFrom(segments, j1 + 1), m2 = firstSegmentTo(segments, j2 + 1);
            if (m1 >= 0 && m2 >= 0 && m1 <= m2)
                for (int m = m2; m >= m1; --m) region.interfaceFaces1.push_back(segments[m]);
            break;
        }
    }
}

void pairInterfaceBoundaryNodes(RegionRecord& region, const std::vector<PointRecord>& points,
                                const std::vector<MeshNode>& nodes, std::ostream& log)
{
    if (region.scheme >= 1) return;
    const int n = static_cast<int>(nodes.size());
    const int sides = static_cast<int>(region.sides.size());
    for (int s = 0; s < sides; ++s) {
        if (region.sides[s].neighbourCode != -6) continue;
        int i1 = -1, i2 = -1;
        sideEndIndices(region, s, points, nodes, i1, i2);
        for (int t = 0; t < sides; ++t) {
            if (region.sides[t].neighbourCode != -7) continue;
            int j1 = -1, j2 = -1;
            sideEndIndices(region, t, points, nodes, j1, j2);
            if (i1 < 0 || i2 < 0 || j1 < 0 || j2 < 0 || j1 != i2) continue;
            const int d7 = ((j2 - j1) % n + n) % n;
            if (i2 - i1 != d7) {
                log << "Error: No matched boundary nodes on zero thickness interface" << std::endl;
                return;
            }
            for (int m = 0; m <= i2 - i1; ++m) {
                const int name = j1 + 1 + m > n ? j1 + 1 + m - n : j1 + 1 + m;
                const MeshNode& from = nodes[i2 - m];
                region.pendingMoves.push_back(MeshNode{name, from.x, from.y, 0.0});
            }
            break;
        }
    }
}

bool connectInterfaceFaces(RegionRecord& region, std::vector<BoundarySegment>& segments, int mode)
{
    if (region.interfaceFaces1.size() != region.interfaceFaces2.size()) return false;

    // Boundary-side triples: the element with the segment as a side in its
    // direction.
    region.boundarySides.clear();
    for (const BoundarySegment& seg : segments) {
        BoundarySide side{0, -1, seg.code};
        const bool found = mode == 1 ? findTopologySide(region, seg, side) : findTriangleSide(region, seg, side);
        if (found) region.boundarySides.push_back(side);
    }

    const FaceModel model{region, mode};
    std::vector<int> p9, p8;
    slitPartners(region, p9, p8);
    joinFaceElements(model, p9);
    replaceMergedNodes(model, p9, p8);
    renumberAfterMerge(model, segments, p9, p8);

    for (const BoundarySide& side : region.boundarySides)
        if (side.code < 0 && !isSlitCode(side.code)) region.codedSides.push_back(side);
    return true;
}

bool matchRecoveredNodes(RegionRecord& region, bool quadrilateral, std::ostream& log)
{
    const int corners = quadrilateral ? 4 : 3;
    region.pendingMoves.clear();
    const int count = static_cast<int>(region.codedSides.size());
    std::vector<int> a, b;
    for (int i = 0; i < count; ++i) {
        const int p = i == 0 ? count - 1 : i - 1;
        if (region.codedSides[p].code == -6 && region.codedSides[i].code == -7) {
            a.push_back(p);
            b.push_back(i);
        }
    }
    if (a.size() != b.size()) return false;
    for (std::size_t j = 0; j < a.size(); ++j) {
        const std::vector<int> c = nodesOfRun(region, b[j], 1, -7, corners);
        const std::vector<int> d = nodesOfRun(region, a[j], -1, -6, corners);
        if (c.size() != d.size()) {
            log << "Error: error to match recover nodes" << std::endl;
            return false;
        }
        for (std::size_t i = 0; i < c.size(); ++i) {
            const MeshNode& from = region.nodes[d[i] - 1];
            region.pendingMoves.push_back(MeshNode{c[i], from.x, from.y, 0.0});
        }
    }
    return true;
}

}  // namespace tessaro
