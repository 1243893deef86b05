// A boundary node holding one triangle between two quadrilaterals: the
// triangle's inner side collapses to its midpoint, the quadrilateral across
// it becomes a triangle and pairs with a triangle neighbour where it can.
#include <algorithm>
#include <array>
#include <cstdlib>
#include <string>

#include "Tessaro_DLL/topology/PassSupport.h"
#include "Tessaro_DLL/topology/Passes.h"
#include "Tessaro_DLL/topology/Topology.h"
#include "Tessaro_DLL/topology/TriangleMerge.h"

namespace tessaro {

namespace {

int elementCount(const TopoNode& node) { return node.triangleCount + node.quadCount; }

// E, a quadrilateral with corners `old` before the merge, becomes the
// triangle of its three corners after hi, linked to the first partners in `patch` (triangles +name, quadrilaterals
// -name; partners get +E).
void turnIntoTriangle(RegionRecord& region, int e, const std::array<int, 4>& old, int hi, const std::vector<int>& patch,
                      int codeOffset)
{
    TopoElement& el = topoElement(region, e);
    const int at = static_cast<int>(std::find(old.begin(), old.end(), hi) - old.begin());
    el.cornerCount = 3;
    el.isTriangle = true;
    el.nb.fill(0);
    el.c.fill(0);
    for (int k = 0; k < 3; ++k) el.c[k] = old[(at + 1 + k) % 4];
    for (int s = 0; s < 3; ++s) {
        const SideMatch m = findDirectedSide(region, patch, el.c[(s + 1) % 3], el.c[s], e);
        if (m.element == 0) {
            el.nb[s] = noNeighbourEntry(codeOffset);
            continue;
        }
        TopoElement& f = topoElement(region, m.element);
        el.nb[s] = signedReference(f);
        f.nb[m.side] = e;
    }
}

// The collapse at boundary node n with triangle t, its inner side a-b and the
// quadrilateral e across it. False when a node list overflows.
bool collapseAtNode(RegionRecord& region, int n, int t, int a, int b, int e, int codeOffset, std::ostream& log)
{
    std::vector<int> nodes(topoElement(region, e).c.begin(), topoElement(region, e).c.begin() + 4);
    appendOnce(nodes, n);
    const int lo = std::min(a, b), hi = std::max(a, b);
    MeshNode &pa = region.nodes[a - 1], &pb = region.nodes[b - 1];
    const double x = 0.5 * (pa.x + pb.x), y = 0.5 * (pa.y + pb.y);
    pa.x = pb.x = x;
    pa.y = pb.y = y;

    const std::array<int, 4> oldCorners = topoElement(region, e).c;
    std::vector<int> patch = collectNodeElements(region, nodes);
    for (int name : patch) {
        TopoElement& el = topoElement(region, name);
        for (int k = 0; k < el.cornerCount; ++k)
            if (el.c[k] == hi) el.c[k] = lo;
    }
    topoElement(region, t).name = -t;
    turnIntoTriangle(region, e, oldCorners, hi, patch, codeOffset);
    eraseValue(patch, t);
    linkElementsAcrossEdge(n, lo, patch, region);

    const std::vector<int> around = collectNodeElements(region, collectNeighbourNodes(region, nodes));
    const TopoNode& removed = topoNode(region, hi);
    for (int k = 0; k < removed.neighbourCount; ++k) appendOnce(nodes, removed.neighbours[k]);
    if (!refillNodeLists(region, nodes, around, log)) return false;
    topoNode(region, hi).status = -hi;

    mergeWithFirstTriangleNeighbour(region, e, codeOffset);
    return true;
}

}  // namespace

bool collapseBoundaryTriangle(RegionRecord& region, const AngleTable& table, int nb, int codeOffset, std::ostream& log,
                              std::string /*history*/)
{
    for (int n = 1; n <= nb; ++n) {
        const TopoNode& node = topoNode(region, n);
        if (node.status > 0 || std::abs(node.status) > nb || table[n - 1].angle >= 270) continue;
        if (node.triangleCount != 1 || node.quadCount != 2) continue;
        const int t = node.triangles[0];
        const TopoElement& tri = topoElement(region, t);
        const int at = cornerIndexInElement(n, t, region);
        const int a = tri.c[(at + 1) % 3], b = tri.c[(at + 2) % 3];
        const int e = std::abs(tri.nb[(at + 1) % 3]);
        if (a <= nb || b <= nb) continue;
        if (elementCount(topoNode(region, a)) + elementCount(topoNode(region, b)) > 9) continue;
        if (e == codeOffset + 1 || e == 0 || topoElement(region, e).cornerCount != 4) continue;
        if (!collapseAtNode(region, n, t, a, b, e, codeOffset, log)) return false;
    }
    return true;
}

}  // namespace tessaro
