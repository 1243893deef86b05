#include "Tessaro_DLL/topology/Valence3Pairs.h"

#include <cstdlib>
#include <string>

#include "Tessaro_DLL/quad/QuadConversion.h"
#include "Tessaro_DLL/topology/PassSupport.h"
#include "Tessaro_DLL/topology/Passes.h"
#include "Tessaro_DLL/topology/Topology.h"

namespace tessaro {

namespace {

bool cornersAfter(const RegionRecord& region, int node, int element, std::array<int, 3>& corners, std::ostream& log)
{
    const int at = element == 0 ? -1 : cornerIndexInElement(node, element, region);
    if (at < 0) {
        log << "Error: Can not find edge for node " << node << " in element " << element << std::endl;
        return false;
    }
    const TopoElement& el = region.topoElements[element - 1];
    for (int k = 0; k < 3; ++k) corners[k] = el.c[(at + 1 + k) % 4];
    return true;
}

bool isDiagonalPair(const RegionRecord& region, const std::vector<int>& quads, int n, int m)
{
    for (int q : quads) {
        const TopoElement& el = region.topoElements[q - 1];
        for (int k = 0; k < 2; ++k)
            if ((el.c[k] == n && el.c[k + 2] == m) || (el.c[k] == m && el.c[k + 2] == n)) return true;
    }
    return false;
}

bool isValence3(const TopoNode& node) { return node.quadCount == 3 && node.triangleCount == 0; }

}  // namespace

HexagonLookup findValence3Hexagon(const RegionRecord& region, int n, int m, Valence3Hexagon& hex, std::ostream& log)
{
    const TopoNode &nn = region.topoNodes[n - 1], &mm = region.topoNodes[m - 1];
    if (nn.quadCount != 3 && mm.quadCount != 3) return HexagonLookup::NoChange;
    int shared = 0;
    for (int k = 0; k < nn.quadCount; ++k) {
        const int q = nn.quads[k];
        if (!elementHasCorner(region.topoElements[q - 1], m))
            hex.qn = q;
        else if (shared++ == 0)
            hex.s1 = q;
        else
            hex.s2 = q;
    }
    for (int k = 0; k < mm.quadCount; ++k)
        if (!elementHasCorner(region.topoElements[mm.quads[k] - 1], n)) hex.qm = mm.quads[k];
    if (shared != 2) return HexagonLookup::NoChange;
    if (!cornersAfter(region, n, hex.qn, hex.a, log) || !cornersAfter(region, m, hex.qm, hex.b, log))
        return HexagonLookup::Failed;
    return HexagonLookup::Found;
}

bool rewriteValence3Hexagon(RegionRecord& region, int n, int m, const Valence3Hexagon& hex,
                            const std::array<int, 4>& qnCorners, const std::array<int, 4>& qmCorners, int codeOffset,
                            std::ostream& log)
{
    topoElement(region, hex.qn).c = qnCorners;
    topoElement(region, hex.qm).c = qmCorners;
    auto candidates = [&](const std::array<int, 3>& nodes, int other) {
        std::vector<int> list = collectNodeElements(region, {nodes.begin(), nodes.end()});
        eraseValue(list, hex.s1);
        eraseValue(list, hex.s2);
        list.push_back(other);
        return list;
    };
    const std::vector<int> aroundA = candidates(hex.a, hex.qm), aroundB = candidates(hex.b, hex.qn);
    linkElementToPatch(region, hex.qn, aroundA, noNeighbourEntry(codeOffset));
    linkElementToPatch(region, hex.qm, aroundB, noNeighbourEntry(codeOffset));

    std::vector<int> elements = aroundA;
    for (int e : aroundB) appendOnce(elements, e);
    const std::vector<int> nodes{hex.a[0], hex.a[1], hex.a[2], hex.b[0], hex.b[1], hex.b[2]};
    if (!refillNodeLists(region, nodes, elements, log)) return false;
    for (int s : {hex.s1, hex.s2}) {
        TopoElement& gone = topoElement(region, s);
        gone.name = -hex.qn;
        gone.c = qnCorners;
    }
    topoNode(region, n).status = -n;
    topoNode(region, m).status = -m;
    return true;
}

bool scanValence3Pairs(RegionRecord& region, int nb, bool nearBoundary, std::ostream& log,
                       const std::function<bool(int n, int m)>& reduce)
{
    const int count = static_cast<int>(region.topoNodes.size());
    for (int n = 1; n <= count; ++n) {
        const TopoNode& node = topoNode(region, n);
        if (node.status < 0 || !isValence3(node) || node.neighbourCount == 0) continue;
        int m = 0;
        for (int k = 0; k < node.neighbourCount && m == 0; ++k)
            if (isValence3(topoNode(region, node.neighbours[k]))) m = node.neighbours[k];
        if (m == 0 || m <= nb || topoNode(region, m).status < 0) continue;
        std::vector<int> quads(node.quads.begin(), node.quads.begin() + 3);
        const TopoNode& other = topoNode(region, m);
        for (int k = 0; k < 3; ++k) appendOnce(quads, other.quads[k]);
        if (hasMoreThanTwoBoundaryNodes(nb, quads, region) != nearBoundary) continue;
        // A failed collapse leaves a half-rewritten neighbourhood: the chain stops.
        const bool ok =
            isDiagonalPair(region, quads, n, m) ? collapseQuadDiagonal(region, n, m, nb, log) : reduce(n, m);
        if (!ok) return false;
    }
    return true;
}

}  // namespace tessaro
