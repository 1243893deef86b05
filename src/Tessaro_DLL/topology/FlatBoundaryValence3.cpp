// A boundary node on a nearly straight stretch held by three quadrilaterals
// and no triangle: the one whose only boundary corner is that node is
// collapsed along its interior diagonal, the two corners beside the node
// merging at their midpoint.
#include <algorithm>
#include <string>

#include "Tessaro_DLL/topology/PassSupport.h"
#include "Tessaro_DLL/topology/Passes.h"
#include "Tessaro_DLL/topology/Topology.h"

namespace tessaro {

namespace {

void appendNodeElements(const RegionRecord& region, int node, std::vector<int>& list)
{
    for (int e : collectNodeElements(region, {node})) appendOnce(list, e);
}

}  // namespace

bool collapseQuadAtBoundaryNode(RegionRecord& region, int k, int q, int c3, int c1, int c2, int nb, std::ostream& log)
{
    const int a = std::min(c1, c3), b = std::max(c1, c3);
    MeshNode& na = region.nodes[a - 1];
    const MeshNode& nbNode = region.nodes[b - 1];
    na.x = 0.5 * (na.x + nbNode.x);
    na.y = 0.5 * (na.y + nbNode.y);

    std::vector<int> patch;
    appendNodeElements(region, c3, patch);
    appendNodeElements(region, c1, patch);
    appendNodeElements(region, c2, patch);
    eraseValue(patch, q);
    std::vector<int> around;
    if (!mergeNodesAcrossQuad(region, q, a, b, patch, around, log)) return false;

    const int keeper = topoNode(region, k).quads[0];
    TopoElement& gone = topoElement(region, q);
    gone.name = -keeper;
    gone.c = topoElement(region, keeper).c;
    topoNode(region, b).status = -std::abs(topoNode(region, b).status);
    smoothAroundPatch(region, nb, around, b, log);
    return true;
}

bool reduceFlatBoundaryValence3(RegionRecord& region, const AngleTable& table, std::string /*history*/,
                                std::ostream& log)
{
    const int nb = static_cast<int>(table.size());
    for (int k = 1; k <= nb; ++k) {
        const TopoNode& node = topoNode(region, k);
        if (node.quadCount != 3 || node.triangleCount != 0) continue;
        if (table[k - 1].angle <= 149 || table[k - 1].angle >= 211) continue;
        int q = 0;
        for (int i = 0; i < 3 && q == 0; ++i)
            if (boundaryCornerCount(topoElement(region, node.quads[i]), nb) == 1) q = node.quads[i];
        if (q == 0) continue;
        const TopoElement& quad = topoElement(region, q);
        const int at = cornerIndexInElement(k, q, region);
        const int c1 = quad.c[(at + 1) % 4], c2 = quad.c[(at + 2) % 4], c3 = quad.c[(at + 3) % 4];
        const TopoNode &n1 = topoNode(region, c1), &n2 = topoNode(region, c2), &n3 = topoNode(region, c3);
        const bool threeAtSide = n3.triangleCount + n3.quadCount == 3 || n1.triangleCount + n1.quadCount == 3;
        if (n3.triangleCount >= 2 || n1.triangleCount >= 2 || !threeAtSide || n2.triangleCount >= 2) continue;
        if (anotherElementHoldsBoth(region, q, c1, c3)) continue;  // would repeat a corner
        if (!collapseQuadAtBoundaryNode(region, k, q, c3, c1, c2, nb, log)) return false;
    }
    return true;
}

}  // namespace tessaro
