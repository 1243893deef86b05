// An interior node held by six quadrilaterals and no triangle is relieved by
// three new nodes and three new quadrilaterals around it: afterwards it
// belongs to three quadrilaterals and each new node to four.
#include <algorithm>
#include <array>
#include <cstdlib>
#include <string>

#include "Tessaro_DLL/topology/PassSupport.h"
#include "Tessaro_DLL/topology/Passes.h"
#include "Tessaro_DLL/topology/Topology.h"

namespace tessaro {

namespace {

struct Ring {
    std::array<int, 6> quads{};
    std::array<int, 6> edges{};
    std::array<int, 6> diagonals{};
};

std::vector<int> quadsOf(const TopoNode& node) { return {node.quads.begin(), node.quads.begin() + node.quadCount}; }

int quadCountWithCorner(const RegionRecord& region, const std::vector<int>& quads, int node)
{
    int count = 0;
    for (int q : quads)
        if (elementHasCorner(region.topoElements[q - 1], node)) ++count;
    return count;
}

// With three boundary neighbours: the corner before the lowest of them in
// the element across its side with n, when that corner is a boundary node,
// else the lowest itself.
int chosenBoundaryNode(const RegionRecord& region, int n, int lowest, const std::vector<int>& quads, int nb)
{
    for (int q : quads) {
        const int side = sideIndexInElement(n, lowest, q, region);
        if (side < 0) continue;
        const int across = std::abs(region.topoElements[q - 1].nb[side]);
        if (across == 0 || across > static_cast<int>(region.topoElements.size())) return lowest;
        const TopoElement& e = region.topoElements[across - 1];
        const int at = cornerIndexInElement(lowest, across, region);
        if (at < 0) return lowest;
        const int before = e.c[(at + e.cornerCount - 1) % e.cornerCount];
        return before <= nb ? before : lowest;
    }
    return lowest;
}

// The first element of the ring and its start node (the corner after n);
// false when none is found.
bool findRingStart(const RegionRecord& region, int n, int nb, int& first, int& start)
{
    const TopoNode& node = region.topoNodes[n - 1];
    const std::vector<int> quads = quadsOf(node);
    int boundaryCount = 0, lowest = 0;
    for (int k = 0; k < node.neighbourCount; ++k) {
        const int v = node.neighbours[k];
        if (v > nb) continue;
        ++boundaryCount;
        if (lowest == 0 || v < lowest) lowest = v;
    }
    if (boundaryCount == 3) {
        const int chosen = chosenBoundaryNode(region, n, lowest, quads, nb);
        for (int q : quads) {
            const TopoElement& el = region.topoElements[q - 1];
            const int at = cornerIndexInElement(n, q, region);
            if (el.c[(at + 2) % 4] != chosen) continue;
            first = q;
            start = el.c[(at + 1) % 4];
            return true;
        }
        // The chosen node is an edge node of the ring: the ring starts at it.
        if (quadCountWithCorner(region, quads, chosen) == 2) start = chosen;
    } else {
        for (int k = 0; k < node.neighbourCount && start == 0; ++k)
            if (quadCountWithCorner(region, quads, node.neighbours[k]) == 2) start = node.neighbours[k];
    }
    for (int q : quads) {
        const TopoElement& el = region.topoElements[q - 1];
        if (start != 0 && el.c[(cornerIndexInElement(n, q, region) + 1) % 4] == start) {
            first = q;
            return true;
        }
    }
    return false;
}

// Walks the six quadrilaterals counter-clockwise from `first`; false when
// they do not close into a ring of six around n.
bool walkRing(const RegionRecord& region, int n, int first, int start, Ring& ring)
{
    const std::vector<int> quads = quadsOf(region.topoNodes[n - 1]);
    int q = first, edge = start;
    for (int k = 0; k < 6; ++k) {
        if (std::find(quads.begin(), quads.end(), q) == quads.end()) return false;
        const TopoElement& el = region.topoElements[q - 1];
        const int at = cornerIndexInElement(edge, q, region);
        if (at < 0) return false;
        ring.quads[k] = q;
        ring.edges[k] = edge;
        ring.diagonals[k] = el.c[(at + 1) % 4];
        edge = el.c[(at + 2) % 4];
        q = std::abs(el.nb[(at + 2) % 4]);
    }
    return edge == start;
}

bool splitNode(RegionRecord& region, int n, const Ring& ring, std::ostream& log)
{
    const MeshNode centre = region.nodes[n - 1];
    std::array<int, 3> added{};
    for (int k = 0; k < 3; ++k) {
        const MeshNode& e = region.nodes[ring.edges[2 * k + 1] - 1];
        added[k] = appendNode(region, 0.5 * (centre.x + e.x), 0.5 * (centre.y + e.y), 0.5 * (centre.size + e.size));
    }
    for (int k = 0; k < 6; ++k) {
        TopoElement& q = topoElement(region, ring.quads[k]);
        q.c[cornerIndexInElement(n, ring.quads[k], region)] = added[k / 2];
    }
    std::vector<int> fresh;
    for (int k = 0; k < 3; ++k)
        fresh.push_back(appendQuadrilateral(region, n, added[(k + 2) % 3], ring.edges[2 * k], added[k]));

    std::vector<int> linked(ring.quads.begin(), ring.quads.end());
    linked.insert(linked.end(), fresh.begin(), fresh.end());
    for (int q : fresh) {
        TopoElement& el = topoElement(region, q);
        for (int s = 0; s < 4; ++s) {
            const SideMatch m = findDirectedSide(region, linked, el.c[(s + 1) % 4], el.c[s], q);
            if (m.element == 0) continue;
            el.nb[s] = -m.element;
            topoElement(region, m.element).nb[m.side] = -q;
        }
    }

    std::vector<int> nodes(ring.edges.begin(), ring.edges.end());
    nodes.insert(nodes.end(), ring.diagonals.begin(), ring.diagonals.end());
    std::vector<int> patch = collectNodeElements(region, nodes);
    for (int q : fresh) appendOnce(patch, q);
    nodes.insert(nodes.end(), added.begin(), added.end());
    nodes.push_back(n);
    return refillNodeLists(region, nodes, patch, log);
}

}  // namespace

bool fixValence6Nodes(RegionRecord& region, int nb, std::string /*history*/, std::ostream& log)
{
    const int count = static_cast<int>(region.topoNodes.size());
    for (int n = 1; n <= count; ++n) {
        const TopoNode& node = topoNode(region, n);
        if (node.status < 0 || node.quadCount != 6 || node.triangleCount != 0) continue;
        // A node whose quadrilaterals fold (no start node, or a ring that
        // does not close) is left as it is.
        int first = 0, start = 0;
        if (!findRingStart(region, n, nb, first, start)) continue;
        Ring ring;
        if (!walkRing(region, n, first, start, ring)) continue;
        if (!splitNode(region, n, ring, log)) return false;
    }
    return true;
}

}  // namespace tessaro
