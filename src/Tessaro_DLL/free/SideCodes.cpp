#include "Tessaro_DLL/free/SideCodes.h"

#include <algorithm>

#include "Tessaro_DLL/free/Adjacency.h"
#include "Tessaro_DLL/mapped/MappedMesh.h"

namespace tessaro {

void collectSideNodes(const RegionRecord& region, std::vector<int>& nodes, bool quadrilateral)
{
    const int corners = quadrilateral ? 4 : 3;
    nodes.clear();
    std::vector<char> listed(region.nodes.size() + 1, 0);
    for (const BoundarySide& side : region.boundarySides) {
        if (side.code == -9) continue;
        int first = 0, second = 0;
        sideEndNodes(region, side, corners, first, second);
        for (int node : {first, second}) {
            if (node < 1 || node > static_cast<int>(region.nodes.size()) || listed[node]) continue;
            listed[node] = 1;
            nodes.push_back(node);
        }
    }
}

void copyBackNodeCoordinates(RegionRecord& region, bool quadrilateral)
{
    const int nodeCount = static_cast<int>(region.nodes.size());
    for (const MeshNode& move : region.pendingMoves) {
        if (move.name < 1 || move.name > nodeCount) continue;
        region.nodes[move.name - 1].x = move.x;
        region.nodes[move.name - 1].y = move.y;
    }
    if (!quadrilateral) return;
    const int count = static_cast<int>(region.codedSides.size());
    for (int i = 0; i < count; ++i) {
        const int p = i == 0 ? count - 1 : i - 1;
        if (region.codedSides[p].code != -7 || region.codedSides[i].code == -7) continue;
        int x = 0, y = 0, unused = 0, z = 0;
        sideEndNodes(region, region.codedSides[i], 4, x, y);
        sideEndNodes(region, region.codedSides[(i + 1) % count], 4, unused, z);
        MeshNode& mid = region.nodes[y - 1];
        mid.x = (region.nodes[x - 1].x + region.nodes[z - 1].x) * 0.5;
        mid.y = (region.nodes[x - 1].y + region.nodes[z - 1].y) * 0.5;
    }
}

bool setSideEndRecords(RegionRecord& region, const std::vector<PointRecord>& generatedBoundaryPoints,
                       bool quadrilateral)
{
    const int corners = quadrilateral ? 4 : 3;
    for (std::size_t e = 0; e < region.neighbours.size(); ++e) {
        ElementNeighbours& nb = region.neighbours[e];
        std::fill(nb.n.begin() + 5, nb.n.end(), 0);
        if (e >= region.elements.size()) continue;
        const MeshElement& el = region.elements[e];
        for (int j = 0; j < corners; ++j) {
            if (nb.n[1 + j] >= 0) continue;
            const MeshNode& a = region.nodes[el.w[1 + j] - 1];
            const MeshNode& b = region.nodes[el.w[1 + (j + 1) % corners] - 1];
            findRecordsAtPoints(region.objIndex, generatedBoundaryPoints, a.x, a.y, b.x, b.y, nb.n[5 + j],
                                nb.n[9 + j]);
        }
    }
    return true;
}

}  // namespace tessaro
