// A triangle on a nearly straight boundary edge beside a quadrilateral that
// touches the boundary at one node: the two are re-cut so that the triangle
// becomes a quadrilateral and the quadrilateral a triangle one layer in,
// which then pairs with a triangle neighbour where it can.
#include <array>
#include <string>

#include "Tessaro_DLL/topology/PassSupport.h"
#include "Tessaro_DLL/topology/Passes.h"
#include "Tessaro_DLL/topology/Topology.h"

namespace tessaro {

namespace {

struct Shift {
    int t = 0, q = 0;  // the triangle and the quadrilateral
    int b = 0, m = 0;  // the triangle's boundary and inner corners besides n
};

// The triangle and quadrilateral at boundary node n that qualify, t = 0
// when none.
Shift findShift(const RegionRecord& region, const AngleTable& table, int n, int nb)
{
    Shift s;
    const TopoNode& node = region.topoNodes[n - 1];
    if (node.triangleCount != 1 || node.quadCount < 1) return s;
    for (int k = 0; k < node.quadCount && s.q == 0; ++k)
        if (boundaryCornerCount(region.topoElements[node.quads[k] - 1], nb) == 1) s.q = node.quads[k];
    if (s.q == 0) return s;
    const TopoElement& tri = region.topoElements[node.triangles[0] - 1];
    for (int k = 0; k < 3; ++k) {
        if (tri.c[k] == n) continue;
        (tri.c[k] <= nb ? s.b : s.m) = tri.c[k];
    }
    if (s.b == 0 || s.m == 0 || table[n - 1].angle >= 210 || table[s.b - 1].angle >= 210) return s;
    if (sideIndexInElement(n, s.m, s.q, region) < 0) return s;
    s.t = node.triangles[0];
    return s;
}

bool shiftAt(RegionRecord& region, int n, const Shift& s, bool forward, int codeOffset, std::ostream& log)
{
    const TopoElement quad = topoElement(region, s.q);
    const int at = cornerIndexInElement(s.m, s.q, region);
    const int o = quad.c[(at + 2) % 4];
    std::array<int, 3> rest{};
    for (int k = 0, r = 0; k < 4; ++k) {
        const int corner = quad.c[(at + k) % 4];
        if (corner != n) rest[r++] = corner;
    }
    TopoElement& tri = topoElement(region, s.t);
    tri.cornerCount = 4;
    tri.isTriangle = false;
    tri.c = forward ? std::array<int, 4>{n, s.b, s.m, o} : std::array<int, 4>{s.b, n, o, s.m};
    TopoElement& shrunk = topoElement(region, s.q);
    shrunk.cornerCount = 3;
    shrunk.isTriangle = true;
    shrunk.c = {rest[0], rest[1], rest[2], 0};
    shrunk.nb[3] = 0;

    std::vector<int> pentagon(tri.c.begin(), tri.c.end());
    for (int c : rest) appendOnce(pentagon, c);
    const std::vector<int> around = collectNodeElements(region, pentagon);
    linkElementToPatch(region, s.t, around, noNeighbourEntry(codeOffset));
    linkElementToPatch(region, s.q, around, noNeighbourEntry(codeOffset));
    if (!refillNodeLists(region, pentagon, around, log)) return false;

    mergeWithFirstTriangleNeighbour(region, s.q, codeOffset);
    return true;
}

}  // namespace

bool shiftBoundaryTriangleInward(RegionRecord& region, const AngleTable& table, int codeOffset,
                                 const std::vector<BoundarySegment>& segments, std::string /*history*/,
                                 std::ostream& log)
{
    const int nb = static_cast<int>(table.size());
    for (int n = 1; n <= nb; ++n) {
        const Shift s = findShift(region, table, n, nb);
        if (s.t == 0) continue;
        const bool segmentLeavesN = n <= static_cast<int>(segments.size()) && segments[n - 1].start == n;
        const bool forward = segmentLeavesN ? segments[n - 1].end == s.b : table[n - 1].next == s.b;
        if (!shiftAt(region, n, s, forward, codeOffset, log)) return false;
    }
    return true;
}

}  // namespace tessaro
