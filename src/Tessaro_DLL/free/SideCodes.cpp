#include "Tessaro_DLL/free/SideCodes.h"

#include <algorithm>
#include <cmath>

#include "Tessaro_DLL/free/Adjacency.h"
#include "Tessaro_DLL/mapped/MappedMesh.h"

namespace tessaro {

namespace {

bool near(const MeshNode& a, const MeshNode& b, double tolerance)
{
    return std::hypot(a.x - b.x, a.y - b.y) < tolerance;
}

}  // namespace

void coarsenBoundaryForQuads(const std::vector<MeshNode>& nodes, const std::vector<BoundarySegment>& segments,
                             std::vector<MeshNode>& coarseNodes, std::vector<BoundarySegment>& coarseSegments)
{
    const int n = static_cast<int>(nodes.size());
    for (int i = 0; i < n; i += 2) {
        coarseNodes.push_back(nodes[i]);
        coarseNodes.back().name = i / 2 + 1;
    }
    if (n % 2 == 1 && n > 1) {
        coarseNodes.push_back(nodes[n - 1]);
        coarseNodes.back().name = static_cast<int>(coarseNodes.size());
    }
    const int m = static_cast<int>(segments.size());
    for (int j = 0; j < m / 2; ++j)
        coarseSegments.push_back(BoundarySegment{j + 1, segments[2 * j].start / 2 + 1, segments[2 * j + 1].end / 2 + 1,
                                                 segments[2 * j].code});
}

void assignSideCodesFromSegments(RegionRecord& region, int mode, const std::vector<BoundarySegment>& segments)
{
    for (const BoundarySide& side : region.boundarySides) {
        int first = 0, second = 0;
        if (mode == 1) {
            const TopoElement& el = region.topoElements[side.element - 1];
            first = el.c[side.side];
            second = el.c[(side.side + 1) % el.cornerCount];
        } else {
            sideEndNodes(region, side, 3, first, second);
        }
        const MeshNode& a = region.nodes[first - 1];
        const MeshNode& b = region.nodes[second - 1];
        for (const BoundarySegment& seg : segments) {
            if (!near(region.nodes[seg.start - 1], a, 1e-7) || !near(region.nodes[seg.end - 1], b, 1e-7)) continue;
            if (seg.code > 0 || mode != 1) {
                if (side.element <= static_cast<int>(region.neighbours.size()))
                    region.neighbours[side.element - 1].n[side.side + 1] = seg.code > 0 ? -2 : seg.code;
            } else {
                region.topoElements[side.element - 1].nb[side.side] = seg.code;
            }
        }
    }
}

bool restoreFineBoundaryNodes(RegionRecord& region, const std::vector<BoundarySegment>& segments,
                              std::vector<MeshNode> nodes)
{
    const int nb = static_cast<int>(region.codedSides.size());
    std::vector<int> first(nb), second(nb);
    for (int i = 0; i < nb; ++i) sideEndNodes(region, region.codedSides[i], 4, first[i], second[i]);
    for (std::size_t k = 0; k + 1 < segments.size(); ++k) {
        const MeshNode& A = nodes[segments[k].start - 1];
        const MeshNode& B = nodes[segments[k + 1].end - 1];
        for (int i = 0; i + 1 < nb; ++i) {
            if (!near(region.nodes[first[i] - 1], A, 1e-7) || !near(region.nodes[second[i + 1] - 1], B, 1e-7)) continue;
            const MeshNode& fine = nodes[segments[k].end - 1];
            region.nodes[first[i + 1] - 1].x = fine.x;
            region.nodes[first[i + 1] - 1].y = fine.y;
            break;
        }
    }
    return nb > 0;
}

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
            findRecordsAtPoints(region.objIndex, generatedBoundaryPoints, a.x, a.y, b.x, b.y, nb.n[5 + j], nb.n[9 + j]);
        }
    }
    return true;
}

}  // namespace tessaro
