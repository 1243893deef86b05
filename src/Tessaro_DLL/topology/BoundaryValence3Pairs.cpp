// Neighbouring interior nodes of three quadrilaterals each whose four
// quadrilaterals touch the boundary at three or more nodes: the hexagon is
// re-cut from a boundary node where the boundary is nearly straight.
#include <algorithm>
#include <string>

#include "Tessaro_DLL/topology/PassSupport.h"
#include "Tessaro_DLL/topology/Passes.h"
#include "Tessaro_DLL/topology/Topology.h"
#include "Tessaro_DLL/topology/Valence3Pairs.h"

namespace tessaro {

namespace {

bool quadsHoldAsSide(const RegionRecord& region, const Valence3Hexagon& hex, int p, int q)
{
    for (int e : {hex.qn, hex.qm, hex.s1, hex.s2})
        if (sideIndexInElement(p, q, e, region) >= 0) return true;
    return false;
}

// Boundary nodes of the hexagon held by exactly two of the four
// quadrilaterals; false when there are three or more.
bool sharedBoundaryNodes(const RegionRecord& region, const Valence3Hexagon& hex, const std::vector<int>& boundary,
                         std::vector<int>& shared)
{
    for (int node : boundary) {
        int holders = 0;
        for (int e : {hex.qn, hex.qm, hex.s1, hex.s2})
            if (elementHasCorner(region.topoElements[e - 1], node)) ++holders;
        if (holders != 2) continue;
        if (shared.size() == 2) return false;
        shared.push_back(node);
    }
    return true;
}

}  // namespace

bool reduceValence3PairNearBoundary(RegionRecord& region, int n, int m, const AngleTable& table, int nb, int codeOffset,
                                    std::ostream& log)
{
    Valence3Hexagon hex;
    const HexagonLookup found = findValence3Hexagon(region, n, m, hex, log);
    if (found != HexagonLookup::Found) return found == HexagonLookup::NoChange;
    const auto [a1, a2, a3] = hex.a;
    const auto [b1, b2, b3] = hex.b;
    std::vector<int> boundary;
    for (int node : {a1, a2, a3, b1, b2, b3})
        if (node <= nb) boundary.push_back(node);
    std::sort(boundary.begin(), boundary.end());

    std::vector<int> shared;
    if (!sharedBoundaryNodes(region, hex, boundary, shared)) return true;
    if (shared.size() != 2 || !quadsHoldAsSide(region, hex, shared[0], shared[1])) return true;
    if (boundary.size() == 3) {
        log << " node on boundary==3, under construction ..." << std::endl;
        return true;
    }
    if (boundary.size() != 4) return true;
    auto straight = [&](int node) { return table[node - 1].angle >= 160 && table[node - 1].angle <= 200; };
    int c = 0;
    if (straight(shared[0])) c = shared[0];
    if (straight(shared[1])) c = shared[1];
    if (c == 0) return true;
    if (c == a3 || c == b3)
        return rewriteValence3Hexagon(region, n, m, hex, {a1, a2, a3, b3}, {b1, b2, b3, a3}, codeOffset, log);
    if (c == a1 || c == b1)
        return rewriteValence3Hexagon(region, n, m, hex, {a1, a2, a3, b1}, {b1, b2, b3, a1}, codeOffset, log);
    return true;
}

bool fixAdjacentValence3NodesNearBoundary(RegionRecord& region, const AngleTable& table, int codeOffset,
                                          std::string /*history*/, std::ostream& log)
{
    const int nb = static_cast<int>(table.size());
    return scanValence3Pairs(region, nb, true, log, [&](int n, int m) {
        return reduceValence3PairNearBoundary(region, n, m, table, nb, codeOffset, log);
    });
}

}  // namespace tessaro
