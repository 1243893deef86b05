// A node with exactly two triangles that share no side: both become
// quadrilaterals, by cutting the quadrilateral between them, by a new node
// beside the node, or (between two quadrilaterals) by removing the node and
// re-cutting its hexagon. Three passes hand nodes over by their own rules.
#include <algorithm>
#include <array>
#include <cstdlib>
#include <string>

#include "Tessaro_DLL/quad/QuadConversion.h"
#include "Tessaro_DLL/topology/PassSupport.h"
#include "Tessaro_DLL/topology/Passes.h"
#include "Tessaro_DLL/topology/Topology.h"

namespace tessaro {

namespace {

bool shareASide(const TopoElement& t1, const TopoElement& t2)
{
    for (int k = 0; k < 3; ++k)
        if (directedSideIndex(t2, t1.c[(k + 1) % 3], t1.c[k]) >= 0) return true;
    return false;
}

bool hasInteriorCorner(const TopoElement& t, int nb)
{
    for (int k = 0; k < 3; ++k)
        if (t.c[k] > nb) return true;
    return false;
}

int elementRef(int entry, int codeOffset) { return std::abs(entry) >= codeOffset + 1 ? 0 : std::abs(entry); }

// The triangle's corners from the start of its side facing x; empty when
// it has none.
std::vector<int> cornersFromSideFacing(const TopoElement& t, int x, int codeOffset)
{
    for (int k = 0; k < 3; ++k)
        if (elementRef(t.nb[k], codeOffset) == x) return {t.c[k], t.c[(k + 1) % 3], t.c[(k + 2) % 3]};
    return {};
}

// Triangle t becomes the quadrilateral (L1, node, L2, L3).
void quadFromTriangleWithNode(RegionRecord& region, int t, const std::vector<int>& l, int node)
{
    TopoElement& el = topoElement(region, t);
    el.cornerCount = 4;
    el.isTriangle = false;
    el.c = {l[0], node, l[1], l[2]};
}

std::vector<int> cornerNodes(const RegionRecord& region, std::initializer_list<int> elements)
{
    return collectElementNodes(region, std::vector<int>(elements), kTopoElements);
}

// Links the rewritten elements within the elements around `nodes` and
// refills those nodes' lists; false on an overflow.
bool relinkAndRefill(RegionRecord& region, const std::vector<int>& rewritten, const std::vector<int>& nodes,
                     int codeOffset, std::ostream& log)
{
    const std::vector<int> around = collectNodeElements(region, nodes);
    for (int e : rewritten) linkElementToPatch(region, e, around, noNeighbourEntry(codeOffset));
    return refillNodeLists(region, nodes, around, log);
}

int bridgingQuad(const RegionRecord& region, int n, int mode, const TopoElement& t1, const TopoElement& t2,
                 int codeOffset)
{
    if (mode == 0) return region.topoNodes[n - 1].quads[0];
    int x = 0;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            const int e = elementRef(t1.nb[i], codeOffset);
            if (e != 0 && e == elementRef(t2.nb[j], codeOffset)) x = e;
        }
    return x;
}

struct TriangleFromSide {
    int name;
    std::vector<int> corners;  // from the start of its side facing the quadrilateral
};

// A new node a quarter of the way from n to d takes n's place in x and
// becomes the fourth corner of both triangles.
bool insertNodeBeside(RegionRecord& region, int n, int d, int x, const TriangleFromSide& t1, const TriangleFromSide& t2,
                      std::vector<int> nodes, int codeOffset, std::ostream& log)
{
    const MeshNode& p = region.nodes[n - 1];
    const MeshNode& q = region.nodes[d - 1];
    const int m = appendNode(region, p.x + 0.25 * (q.x - p.x), p.y + 0.25 * (q.y - p.y), p.size);
    quadFromTriangleWithNode(region, t1.name, t1.corners, m);
    quadFromTriangleWithNode(region, t2.name, t2.corners, m);
    topoElement(region, x).c[cornerIndexInElement(n, x, region)] = m;
    nodes.push_back(m);
    std::vector<int> around = collectNodeElements(region, nodes);
    for (int e : {t1.name, t2.name, x}) appendOnce(around, e);
    for (int e : {t1.name, t2.name, x}) linkElementToPatch(region, e, around, noNeighbourEntry(codeOffset));
    return refillNodeLists(region, nodes, around, log);
}

bool resolveAcrossQuad(RegionRecord& region, int mode, int n, int t1, int t2, int nb, int codeOffset, std::ostream& log)
{
    const int x = bridgingQuad(region, n, mode, topoElement(region, t1), topoElement(region, t2), codeOffset);
    if (x == 0 || topoElement(region, x).cornerCount != 4) return true;
    const std::vector<int> l1 = cornersFromSideFacing(topoElement(region, t1), x, codeOffset);
    const std::vector<int> l2 = cornersFromSideFacing(topoElement(region, t2), x, codeOffset);
    const int at = cornerIndexInElement(n, x, region);
    if (l1.empty() || l2.empty() || at < 0) return true;
    const TopoElement quad = topoElement(region, x);
    const int d = quad.c[(at + 2) % 4];
    const double q1 = quadMergeQuality(l1[0], l1[1], l1[2], d, region);
    const double q2 = quadMergeQuality(l2[0], l2[1], l2[2], d, region);
    const TopoNode& opposite = topoNode(region, d);
    const bool boundaryDiagonal = (quad.c[0] <= nb && quad.c[2] <= nb) || (quad.c[1] <= nb && quad.c[3] <= nb);
    const std::vector<int> nodes = cornerNodes(region, {x, t1, t2});

    if (std::min(q1, q2) >= 0.1 && opposite.triangleCount + opposite.quadCount <= 5 && !boundaryDiagonal) {
        quadFromTriangleWithNode(region, t1, l1, d);
        quadFromTriangleWithNode(region, t2, l2, d);
        TopoElement& gone = topoElement(region, x);
        gone.name = -t1;
        gone.c = topoElement(region, t1).c;
        gone.isTriangle = false;
        return relinkAndRefill(region, {t1, t2}, nodes, codeOffset, log);
    }
    return insertNodeBeside(region, n, d, x, {t1, l1}, {t2, l2}, nodes, codeOffset, log);
}

// The ring about n in mode 1: t1 = (n, a1, b1), quadrilateral qa = (n, b1,
// x, a2), t2 = (n, a2, b2), quadrilateral qb = (n, b2, u, a1); the hexagon
// h = (a1, b1, x, a2, b2, u).
struct HexagonRing {
    int qa = 0, qb = 0;
    std::array<int, 6> h{};
};

// The quadrilateral across the triangle's side from its corner before n to
// n, with the corners following n in it; 0 when there is none.
int quadAfterTriangle(const RegionRecord& region, int n, int t, int codeOffset, std::array<int, 3>& corners)
{
    const TopoElement& tri = region.topoElements[t - 1];
    const int q = elementRef(tri.nb[(cornerIndexInElement(n, t, region) + 2) % 3], codeOffset);
    if (q == 0 || region.topoElements[q - 1].cornerCount != 4) return 0;
    const TopoElement& quad = region.topoElements[q - 1];
    const int at = cornerIndexInElement(n, q, region);
    if (at < 0) return 0;
    for (int k = 0; k < 3; ++k) corners[k] = quad.c[(at + 1 + k) % 4];
    return q;
}

// False when the elements around n do not close in that order.
bool ringAroundNode(const RegionRecord& region, int n, int t1, int t2, int codeOffset, HexagonRing& ring)
{
    const TopoElement &first = region.topoElements[t1 - 1], &second = region.topoElements[t2 - 1];
    const int at1 = cornerIndexInElement(n, t1, region), at2 = cornerIndexInElement(n, t2, region);
    const int a1 = first.c[(at1 + 1) % 3], b1 = first.c[(at1 + 2) % 3];
    const int a2 = second.c[(at2 + 1) % 3], b2 = second.c[(at2 + 2) % 3];
    std::array<int, 3> afterA{}, afterB{};
    ring.qa = quadAfterTriangle(region, n, t1, codeOffset, afterA);
    ring.qb = quadAfterTriangle(region, n, t2, codeOffset, afterB);
    if (ring.qa == 0 || ring.qb == 0 || afterA[0] != b1 || afterA[2] != a2 || afterB[0] != b2 || afterB[2] != a1)
        return false;
    ring.h = {a1, b1, afterA[1], a2, b2, afterB[1]};
    return true;
}

// Mode 1: n goes with its two triangles; the hexagon of the four elements
// around it is cut into two quadrilaterals.
bool resolveBetweenTwoQuads(RegionRecord& region, int n, int t1, int t2, int codeOffset, std::ostream& log)
{
    HexagonRing ring;
    if (!ringAroundNode(region, n, t1, t2, codeOffset, ring)) return true;
    const int qa = ring.qa, qb = ring.qb;
    const std::array<int, 6>& h = ring.h;
    auto split = [&](int i) {
        return std::array<std::array<int, 4>, 2>{
            std::array<int, 4>{h[i], h[(i + 1) % 6], h[(i + 2) % 6], h[(i + 3) % 6]},
            std::array<int, 4>{h[(i + 3) % 6], h[(i + 4) % 6], h[(i + 5) % 6], h[i]}};
    };
    const auto cutA = split(0), cutB = split(1);
    const bool takeB = worseQuadQuality(region, cutB[0], cutB[1]) > worseQuadQuality(region, cutA[0], cutA[1]);
    const auto& cut = takeB ? cutB : cutA;

    const int firstQuad = topoNode(region, n).quads[0], secondQuad = topoNode(region, n).quads[1];
    topoElement(region, qa).c = cut[0];
    topoElement(region, qb).c = cut[1];
    topoElement(region, t1).name = -firstQuad;
    topoElement(region, t2).name = -secondQuad;
    topoNode(region, n).status = -n;
    if (!relinkAndRefill(region, {qa, qb}, {h.begin(), h.end()}, codeOffset, log)) return false;
    for (int t : {t1, t2}) {
        TopoElement& gone = topoElement(region, t);
        gone.isTriangle = false;
        gone.cornerCount = 4;
        gone.c = topoElement(region, -gone.name).c;
    }
    return true;
}

enum class PairPass { Interior, AtBoundary, BetweenQuads };

bool scanTrianglePairs(RegionRecord& region, PairPass pass, int nb, const AngleTable* table, int codeOffset,
                       std::ostream& log)
{
    const int count = static_cast<int>(region.topoNodes.size());
    for (int n = 1; n <= count; ++n) {
        const TopoNode& node = topoNode(region, n);
        if (node.status < -nb || node.triangleCount != 2) continue;
        const int t1 = node.triangles[0], t2 = node.triangles[1];
        const TopoElement &e1 = topoElement(region, t1), &e2 = topoElement(region, t2);
        if (!hasInteriorCorner(e1, nb) || !hasInteriorCorner(e2, nb) || shareASide(e1, e2)) continue;
        if (n <= nb && node.quadCount == 2) continue;
        const int mode = node.quadCount == 2 ? 1 : node.quadCount == 1 ? 0 : 2;
        const bool crowded = hasMoreThanTwoBoundaryNodes(nb, collectNodeElements(region, {n}), region);
        bool treat = false;
        if (pass == PairPass::Interior) {
            const int after1 = e1.c[(cornerIndexInElement(n, t1, region) + 1) % 3];
            const int after2 = e2.c[(cornerIndexInElement(n, t2, region) + 1) % 3];
            treat = after1 > nb && after2 > nb && (mode != 1 || !crowded);
        } else if (pass == PairPass::AtBoundary) {
            treat = (n > nb || (*table)[n - 1].angle < 270) && mode != 1;
        } else {
            treat = mode == 1 && !crowded;
        }
        if (treat && !resolveTrianglePairAtNode(region, mode, n, t1, t2, nb, codeOffset, log)) return false;
    }
    return true;
}

}  // namespace

bool resolveTrianglePairAtNode(RegionRecord& region, int mode, int n, int t1, int t2, int nb, int codeOffset,
                               std::ostream& log)
{
    if (mode == 1) return resolveBetweenTwoQuads(region, n, t1, t2, codeOffset, log);
    return resolveAcrossQuad(region, mode, n, t1, t2, nb, codeOffset, log);
}

bool resolveTrianglePairs(RegionRecord& region, int nb, int codeOffset, std::string /*history*/, std::ostream& log)
{
    return scanTrianglePairs(region, PairPass::Interior, nb, nullptr, codeOffset, log);
}

bool resolveTrianglePairsAtBoundary(RegionRecord& region, const AngleTable& table, int codeOffset,
                                    std::string /*history*/, std::ostream& log)
{
    return scanTrianglePairs(region, PairPass::AtBoundary, static_cast<int>(table.size()), &table, codeOffset, log);
}

bool resolveTrianglePairsBetweenQuads(RegionRecord& region, int nb, int codeOffset, std::string /*history*/,
                                      std::ostream& log)
{
    return scanTrianglePairs(region, PairPass::BetweenQuads, nb, nullptr, codeOffset, log);
}

}  // namespace tessaro
