#include "Tessaro_DLL/free/Interfaces.h"

#include <algorithm>

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
std::vector<int> nodesOfRun(const RegionRecord& region, int from, int step, int code, int corners)
{
    const int count = static_cast<int>(region.codedSides.size());
    std::vector<int> nodes;
    for (int k = 0, i = from; k < count && region.codedSides[i].code == code; ++k, i = (i + step + count) % count) {
        int first = 0, second = 0;
        sideEndNodes(region, region.codedSides[i], corners, first, second);
        appendDistinct(nodes, first);
        appendDistinct(nodes, second);
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

    // Without slit faces no node is merged: the segments only lose the slit
    // codes and are numbered afresh.
    std::vector<BoundarySegment> kept;
    for (const BoundarySegment& seg : segments) {
        if (isSlitCode(seg.code)) continue;
        kept.push_back(seg);
        kept.back().number = static_cast<int>(kept.size());
    }
    segments.swap(kept);

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
            log << "error to match recover nodes" << std::endl;
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
