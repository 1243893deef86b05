// Two interior nodes held by three quadrilaterals each that face each other
// across a quadrilateral: the quadrilateral is collapsed along that
// diagonal and the two nodes become one at its centroid.
#include <algorithm>
#include <string>

#include "Tessaro_DLL/topology/PassSupport.h"
#include "Tessaro_DLL/topology/Passes.h"
#include "Tessaro_DLL/topology/Topology.h"

namespace tessaro {

namespace {

// The first quadrilateral of a holding a and b as opposite corners, with
// its other two corners; 0 when none.
int quadWithOppositeCorners(const RegionRecord& region, int a, int b, int& c, int& d)
{
    const TopoNode& node = region.topoNodes[a - 1];
    for (int k = 0; k < node.quadCount; ++k) {
        const TopoElement& q = region.topoElements[node.quads[k] - 1];
        if ((q.c[0] == a && q.c[2] == b) || (q.c[0] == b && q.c[2] == a)) {
            c = q.c[1];
            d = q.c[3];
            return node.quads[k];
        }
        if ((q.c[1] == a && q.c[3] == b) || (q.c[1] == b && q.c[3] == a)) {
            c = q.c[2];
            d = q.c[0];
            return node.quads[k];
        }
    }
    return 0;
}

void appendNodeElements(const RegionRecord& region, int node, bool quads, bool triangles, std::vector<int>& list)
{
    const TopoNode& n = region.topoNodes[node - 1];
    if (quads)
        for (int k = 0; k < n.quadCount; ++k) appendOnce(list, n.quads[k]);
    if (triangles)
        for (int k = 0; k < n.triangleCount; ++k) appendOnce(list, n.triangles[k]);
}

int countQuadrilaterals(const RegionRecord& region, const std::vector<int>& elements, int a, int b)
{
    int count = 0;
    for (int e : elements) {
        const TopoElement& el = region.topoElements[e - 1];
        if (el.name > 0 && el.cornerCount == 4 && (elementHasCorner(el, a) || elementHasCorner(el, b))) ++count;
    }
    return count;
}

}  // namespace

bool collapseQuadDiagonal(RegionRecord& region, int first, int second, int nb, std::ostream& log)
{
    const int a = std::min(first, second), b = std::max(first, second);
    int c = 0, d = 0;
    const int q = quadWithOppositeCorners(region, a, b, c, d);
    if (q == 0) return true;
    if (anotherElementHoldsBoth(region, q, a, b)) return true;  // would repeat a corner

    std::vector<int> patch;
    appendNodeElements(region, a, true, false, patch);
    appendNodeElements(region, b, true, false, patch);
    appendNodeElements(region, c, true, true, patch);
    appendNodeElements(region, d, true, true, patch);
    eraseValue(patch, q);
    if (countQuadrilaterals(region, patch, a, b) == 0) return true;  // a would keep no quadrilateral

    const TopoElement quad = topoElement(region, q);
    double x = 0.0, y = 0.0;
    for (int k = 0; k < 4; ++k) {
        x += region.nodes[quad.c[k] - 1].x;
        y += region.nodes[quad.c[k] - 1].y;
    }
    region.nodes[a - 1].x = 0.25 * x;
    region.nodes[a - 1].y = 0.25 * y;

    std::vector<int> elements;
    if (!mergeNodesAcrossQuad(region, q, a, b, patch, elements, log)) return false;

    TopoElement& gone = topoElement(region, q);
    const int keeper = topoNode(region, a).quads[0];
    gone.name = -keeper;
    gone.c = topoElement(region, keeper).c;

    smoothAroundPatch(region, nb, elements, b, log);
    region.nodes[b - 1].x = region.nodes[a - 1].x;
    region.nodes[b - 1].y = region.nodes[a - 1].y;
    topoNode(region, b).status = -a;
    return true;
}

bool collapseValence3Pairs(RegionRecord& region, int nb, std::string /*history*/, std::ostream& log)
{
    const int count = static_cast<int>(region.topoNodes.size());
    auto isCandidate = [&](int name) {
        const TopoNode& n = topoNode(region, name);
        return name > nb && n.quadCount == 3 && n.triangleCount == 0;
    };
    for (int n = 1; n <= count; ++n) {
        if (topoNode(region, n).status < 0 || !isCandidate(n)) continue;
        const TopoNode& node = topoNode(region, n);
        int partner = 0;
        for (int k = 0; k < node.neighbourCount && partner == 0; ++k)
            if (isCandidate(node.neighbours[k])) partner = node.neighbours[k];
        if (partner != 0 && !collapseQuadDiagonal(region, n, partner, nb, log)) return false;
    }
    return true;
}

}  // namespace tessaro
