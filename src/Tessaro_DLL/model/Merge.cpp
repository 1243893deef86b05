#include "Tessaro_DLL/model/Merge.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <set>

#include "Tessaro_DLL/model/Extent.h"

namespace tessaro {

namespace {

// Room for `more` records at the end of `list`, grown at least twofold so
// that a run of regions still costs one copy of the list on average, and a
// single large region none.
template <class T>
void makeRoom(std::vector<T>& list, std::size_t more)
{
    const std::size_t needed = list.size() + more;
    if (needed > list.capacity()) list.reserve(std::max(needed, 2 * list.capacity()));
}

// Points of a region closer than this share of its extent are one point, so
// that a region and its scaled copy join alike.
constexpr double kCoincideShare = 1e-9;

double distance(double xa, double ya, double xb, double yb) { return std::hypot(xa - xb, ya - yb); }

double coincideDistance(const RegionRecord& region) { return kCoincideShare * extentOf(region.nodes); }

int globalCorners(const MeshElement& el) { return el.w[4] == 0 ? 3 : 4; }

// Sides that are joined to an open side of an earlier region: ordinary ones
// (-1, -2) with each other, and the two faces of a slit (-8 with -9), which
// close like an ordinary seam. Interfaces (-6, -7) and -3 stay open.
bool ordinaryJoin(int code) { return code > -3; }
bool joinable(int code, int openCode)
{
    if (ordinaryJoin(code)) return ordinaryJoin(openCode);
    return (code == -8 && openCode == -9) || (code == -9 && openCode == -8);
}

// A coded side looks for an open side when its element's entry and its code
// agree on a joinable kind. An ordinary side that the region made a beam
// face itself (beside the end of a beam on its boundary) joins a region
// meshed before it as it would be joined by one meshed after it.
bool seeksPartner(int entry, int code)
{
    return ((ordinaryJoin(entry) || entry == -6) && ordinaryJoin(code)) ||
           (entry == code && (code == -8 || code == -9));
}

// Nodes of these faces are never fused with coinciding nodes.
bool keepsOwnNodes(int code) { return code == -3 || code == -6 || code == -7; }

// End nodes (global names) of an open side.
void openSideEnds(const GlobalMesh& mesh, const BoundarySide& side, int& first, int& second)
{
    const MeshElement& el = mesh.elements[side.element - 1];
    const int c = globalCorners(el);
    first = el.w[1 + side.side];
    second = el.w[1 + (side.side + 1) % c];
}

// Each pair of global nodes becomes one node (the lower number); the nodes
// after a removed one move down, and element corners follow.
void joinGlobalNodes(GlobalMesh& mesh, const std::vector<std::pair<int, int>>& pairs)
{
    if (pairs.empty()) return;
    const int n = static_cast<int>(mesh.nodes.size());
    std::vector<int> root(static_cast<std::size_t>(n) + 1);
    for (int v = 0; v <= n; ++v) root[v] = v;
    auto find = [&](int v) {
        while (root[v] != v) v = root[v] = root[root[v]];
        return v;
    };
    for (const auto& [a, b] : pairs) {
        if (a < 1 || a > n || b < 1 || b > n) continue;
        const int ra = find(a), rb = find(b);
        if (ra != rb) root[std::max(ra, rb)] = std::min(ra, rb);
    }
    std::vector<int> renamed(static_cast<std::size_t>(n) + 1, 0);
    std::vector<FemNode> kept;
    kept.reserve(mesh.nodes.size());
    for (int v = 1; v <= n; ++v) {
        if (find(v) != v) continue;
        const FemNode& p = mesh.nodes[v - 1];
        kept.push_back(FemNode{static_cast<int>(kept.size()) + 1, p.x, p.y});
        renamed[v] = static_cast<int>(kept.size());
    }
    for (int v = 1; v <= n; ++v) renamed[v] = renamed[find(v)];
    for (MeshElement& el : mesh.elements)
        for (int k = 1; k <= 4; ++k)
            if (el.w[k] >= 1 && el.w[k] <= n) el.w[k] = renamed[el.w[k]];
    mesh.nodes.swap(kept);
}

}  // namespace

void collectBoundarySides(RegionRecord& region, int corners)
{
    region.boundarySides.clear();
    for (std::size_t e = 0; e < region.neighbours.size(); ++e)
        for (int k = 0; k < corners; ++k)
            if (region.neighbours[e].n[1 + k] < 0)
                region.boundarySides.push_back(BoundarySide{region.elements[e].w[0], k, region.neighbours[e].n[1 + k]});
}

void collectTriangleBoundarySides(RegionRecord& region, const std::vector<BoundarySegment>& segments)
{
    region.boundarySides.clear();
    for (std::size_t e = 0; e < region.neighbours.size() && e < region.triangles.size(); ++e) {
        for (int k = 0; k < 3; ++k) {
            if (region.neighbours[e].n[1 + k] >= 0) continue;
            const int a = region.triangles[e].corners[k];
            const int b = region.triangles[e].corners[(k + 1) % 3];
            int code = -1;
            for (const BoundarySegment& seg : segments) {
                if (seg.start == a && seg.end == b) {
                    code = seg.code;
                    break;
                }
            }
            region.boundarySides.push_back(BoundarySide{static_cast<int>(e) + 1, k, code});
        }
    }
}

int structureElementOfInterfaceRun(const RegionRecord& region, int corners,
                                   const std::deque<StructureElementRecord>& structureElements)
{
    std::map<int, int> endCount;
    for (const BoundarySide& side : region.boundarySides) {
        if (side.code != -8) continue;
        if (side.element < 1 || side.element > static_cast<int>(region.elements.size())) continue;
        const MeshElement& el = region.elements[side.element - 1];
        ++endCount[el.w[1 + side.side]];
        ++endCount[el.w[1 + (side.side + 1) % corners]];
    }
    std::vector<int> ends;
    for (const auto& [node, count] : endCount)
        if (count == 1) ends.push_back(node);
    if (ends.size() != 2) return 0;
    for (int node : ends)
        if (node < 1 || node > static_cast<int>(region.nodes.size())) return 0;
    const MeshNode& p = region.nodes[ends[0] - 1];
    const MeshNode& q = region.nodes[ends[1] - 1];
    const double coincide = coincideDistance(region);
    for (const StructureElementRecord& se : structureElements) {
        if (se.segments.empty()) continue;
        const SideSegment& seg = se.segments.front();
        const bool forward =
            distance(seg.x1, seg.y1, p.x, p.y) < coincide && distance(seg.x2, seg.y2, q.x, q.y) < coincide;
        const bool backward =
            distance(seg.x1, seg.y1, q.x, q.y) < coincide && distance(seg.x2, seg.y2, p.x, p.y) < coincide;
        if (forward || backward) return se.value5;
    }
    return 0;
}

void mergeRegionIntoMesh(RegionRecord& region, GlobalMesh& mesh,
                         const std::deque<StructureElementRecord>& structureElements)
{
    const int M = static_cast<int>(mesh.elements.size());
    const int c = cornerCount(region.elementShape);
    const int nodeCount = static_cast<int>(region.nodes.size());
    auto corner = [&](int element, int k) { return region.elements[element - 1].w[1 + (k % c)]; };
    auto globalXY = [&](int name) -> const FemNode& { return mesh.nodes[name - 1]; };
    const double coincide = coincideDistance(region);

    // 1. Structure element that an interface run of the region lies on.
    const int s = structureElementOfInterfaceRun(region, c, structureElements);

    // 2. Nodes of sides that are never joined (-3), globally and in the region.
    std::set<int> minus3Global, minus3Region;
    for (const BoundarySide& side : mesh.openSides) {
        if (side.code != -3) continue;
        int a = 0, b = 0;
        openSideEnds(mesh, side, a, b);
        minus3Global.insert(a);
        minus3Global.insert(b);
    }
    std::set<int> onMinus3or6;
    for (std::size_t e = 0; e < region.neighbours.size(); ++e) {
        for (int k = 0; k < c; ++k) {
            const int code = region.neighbours[e].n[1 + k];
            const int a = corner(static_cast<int>(e) + 1, k), b = corner(static_cast<int>(e) + 1, k + 1);
            if (code == -3) {
                minus3Region.insert(a);
                minus3Region.insert(b);
            }
        }
    }
    for (const BoundarySide& side : region.codedSides) {
        if (!keepsOwnNodes(side.code)) continue;
        onMinus3or6.insert(corner(side.element, side.side));
        onMinus3or6.insert(corner(side.element, side.side + 1));
    }

    // 3. Elements at structure-element vertices.
    for (const MeshNode& vertex : mesh.vertexList) {
        for (const BoundarySide& side : region.codedSides) {
            const int a = corner(side.element, side.side);
            if (a < 1 || a > nodeCount) continue;
            const MeshNode& p = region.nodes[a - 1];
            if (distance(p.x, p.y, vertex.x, vertex.y) >= coincide) continue;
            if (a > static_cast<int>(region.adjacency.size())) continue;
            const NodeAdjacency& adj = region.adjacency[a - 1];
            for (int q = 0; q < adj.elementCount; ++q) mesh.vertexElements.push_back(adj.elements[q] + M);
        }
    }

    // 4. Neighbour records with global element names.
    makeRoom(mesh.neighbours, region.neighbours.size());
    for (const ElementNeighbours& local : region.neighbours) {
        ElementNeighbours nb = local;
        nb.n[0] += M;
        for (int k = 1; k <= 4; ++k)
            if (nb.n[k] > 0) nb.n[k] += M;
        if (c == 3) nb.n[4] = 0;
        mesh.neighbours.push_back(nb);
    }

    // 5. Join coded sides with the open sides of earlier regions. A node
    // that joins two earlier regions whose nodes there were kept apart (at
    // the end of a beam face between them) makes those nodes one, as they
    // are when this region is meshed first.
    std::vector<int> fusedTo(static_cast<std::size_t>(nodeCount) + 1, 0);
    std::vector<std::pair<int, int>> sameNodes;
    auto fuse = [&](int local, int global) {
        if (fusedTo[local] > 0 && fusedTo[local] != global) sameNodes.emplace_back(fusedTo[local], global);
        fusedTo[local] = global;
    };
    std::vector<BoundarySide> coded = region.codedSides;
    for (BoundarySide& side : coded) {
        const int e = side.element, k = side.side;
        const int a = corner(e, k), b = corner(e, k + 1);
        const MeshNode& pa = region.nodes[a - 1];
        const MeshNode& pb = region.nodes[b - 1];
        const double L = distance(pa.x, pa.y, pb.x, pb.y);
        bool joined = false;
        const int entry = region.neighbours[e - 1].n[1 + k];
        if (seeksPartner(entry, side.code)) {
            for (std::size_t o = 0; o < mesh.openSides.size(); ++o) {
                const BoundarySide& open = mesh.openSides[o];
                if (!joinable(side.code, open.code)) continue;
                int A = 0, B = 0;
                openSideEnds(mesh, open, A, B);
                const FemNode& gA = globalXY(A);
                const FemNode& gB = globalXY(B);
                if (distance(pa.x, pa.y, gB.x, gB.y) < 0.2 * L && distance(pb.x, pb.y, gA.x, gA.y) < 0.2 * L) {
                    mesh.neighbours[e + M - 1].n[1 + k] = open.element;
                    mesh.neighbours[open.element - 1].n[1 + open.side] = e + M;
                    fuse(a, B);
                    fuse(b, A);
                    mesh.openSides[o] = mesh.openSides.back();
                    mesh.openSides.pop_back();
                    joined = true;
                    break;
                }
            }
        }
        side.element = joined ? -1 : e + M;
    }

    // 6. Fuse further boundary nodes that coincide with open-side nodes.
    std::vector<std::pair<int, int>> pairs;
    for (const BoundarySide& side : coded) {
        if (side.element <= 0) continue;
        if (keepsOwnNodes(side.code) || side.code == -2) continue;
        const int e = side.element - M;
        for (int end = 0; end < 2; ++end) {
            const int p = corner(e, side.side + end);
            if (onMinus3or6.count(p)) continue;
            const MeshNode& pn = region.nodes[p - 1];
            for (const BoundarySide& open : mesh.openSides) {
                int A = 0, B = 0;
                openSideEnds(mesh, open, A, B);
                const FemNode& gA = globalXY(A);
                if (distance(pn.x, pn.y, gA.x, gA.y) < coincide) {
                    pairs.emplace_back(p, A);
                    break;
                }
            }
        }
    }
    for (const auto& [p, g] : pairs)
        if (!minus3Region.count(p) && !minus3Global.count(g)) fusedTo[p] = g;

    // 7. Sides left open wait for later regions.
    for (const BoundarySide& side : coded)
        if (side.element > 0) mesh.openSides.push_back(side);

    // 8. Nodes: fused ones map to their global node, the others are new.
    std::vector<int> map(static_cast<std::size_t>(nodeCount) + 1, 0);
    makeRoom(mesh.nodes, static_cast<std::size_t>(nodeCount));
    for (int k = 1; k <= nodeCount; ++k) {
        if (fusedTo[k] > 0) {
            region.nodes[k - 1].name = -fusedTo[k];
            map[k] = fusedTo[k];
        } else {
            const int id = static_cast<int>(mesh.nodes.size()) + 1;
            mesh.nodes.push_back(FemNode{id, region.nodes[k - 1].x, region.nodes[k - 1].y});
            map[k] = id;
        }
    }

    // 9. Elements with global names; mid-side words start empty.
    makeRoom(mesh.elements, region.elements.size());
    for (std::size_t i = 0; i < region.elements.size(); ++i) {
        const MeshElement& local = region.elements[i];
        MeshElement el;
        el.w[0] = M + static_cast<int>(i) + 1;
        for (int k = 1; k <= c; ++k) el.w[k] = (local.w[k] >= 1 && local.w[k] <= nodeCount) ? map[local.w[k]] : 0;
        el.w[10] = local.w[10];
        el.w[11] = local.w[11];
        mesh.elements.push_back(el);
    }

    joinGlobalNodes(mesh, sameNodes);

    // 10. Interface sides along the structure element of the -8 run.
    if (s > 0) {
        for (const BoundarySide& side : region.boundarySides)
            if (side.code == -8) mesh.interfaceSides.push_back(BoundarySide{side.element + M, side.side, s});
    }
}

}  // namespace tessaro
