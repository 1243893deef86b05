// An interior node holding six elements, at least one a triangle: the
// triangle and a quadrilateral beside it are re-cut so that the triangle
// moves one step off the node, and the new triangle pairs with a triangle
// neighbour where it can.
#include <cmath>
#include <cstdlib>
#include <string>

#include "Tessaro_DLL/topology/PassSupport.h"
#include "Tessaro_DLL/topology/Passes.h"
#include "Tessaro_DLL/topology/Topology.h"

namespace tessaro {

double segmentAngle(double x1, double y1, double x2, double y2)
{
    const double pi = 4.0 * std::atan(1.0);
    const double dx = x2 - x1;
    if (dx > 0.0000001) {
        const double angle = std::atan((y2 - y1) / dx);
        return y1 > y2 ? angle + 2.0 * pi : angle;
    }
    if (dx < -0.0000001) return std::atan((y2 - y1) / dx) + pi;
    return y2 > y1 ? pi / 2.0 : 3.0 * pi / 2.0;
}

bool elementTouchesBoundaryTwice(const TopoElement& element, int nb)
{
    std::vector<int> boundary;
    for (int k = 0; k < element.cornerCount; ++k)
        if (element.c[k] <= nb) appendOnce(boundary, element.c[k]);
    return boundary.size() > 1;
}

namespace {

// The angle at n between the directions to p and to q, folded into [0, pi].
double angleAt(const RegionRecord& region, int n, int p, int q)
{
    const double pi = 4.0 * std::atan(1.0);
    const MeshNode &a = region.nodes[n - 1], &b = region.nodes[p - 1], &c = region.nodes[q - 1];
    double d = std::abs(segmentAngle(a.x, a.y, b.x, b.y) - segmentAngle(a.x, a.y, c.x, c.y));
    return d > pi ? 2.0 * pi - d : d;
}

// A live quadrilateral across a side, 0 otherwise (boundary or triangle).
int quadAcross(const RegionRecord& region, int entry)
{
    const int e = std::abs(entry);
    if (e == 0 || e > static_cast<int>(region.topoElements.size())) return 0;
    const TopoElement& el = region.topoElements[e - 1];
    return el.name > 0 && el.cornerCount == 4 ? e : 0;
}

struct Recut {
    int quadCorners[4];
    int triangle;
    int triangleCorners[3];
};

bool recut(RegionRecord& region, int t, const Recut& cut, int codeOffset, std::ostream& log)
{
    TopoElement& quad = topoElement(region, t);
    quad.cornerCount = 4;
    quad.isTriangle = false;
    quad.nb.fill(0);
    for (int k = 0; k < 4; ++k) quad.c[k] = cut.quadCorners[k];
    TopoElement& tri = topoElement(region, cut.triangle);
    tri.cornerCount = 3;
    tri.isTriangle = true;
    tri.nb.fill(0);
    tri.c = {cut.triangleCorners[0], cut.triangleCorners[1], cut.triangleCorners[2], 0};

    std::vector<int> pentagon(cut.quadCorners, cut.quadCorners + 4);
    for (int c : cut.triangleCorners) appendOnce(pentagon, c);
    const std::vector<int> patch = collectNodeElements(region, pentagon);
    linkElementToPatch(region, t, patch, noNeighbourEntry(codeOffset));
    linkElementToPatch(region, cut.triangle, patch, noNeighbourEntry(codeOffset));

    // Only the pentagon and its neighbour nodes have every element in
    // `around`; the outer corners of those elements keep their lists.
    std::vector<int> refilled = pentagon;
    for (int node : collectNeighbourNodes(region, pentagon)) appendOnce(refilled, node);
    const std::vector<int> around = collectNodeElements(region, refilled);
    if (!refillNodeLists(region, refilled, around, log)) return false;

    mergeWithFirstTriangleNeighbour(region, cut.triangle, codeOffset);
    return true;
}

}  // namespace

bool relieveSixElementNodes(RegionRecord& region, int nb, int codeOffset, std::string /*history*/, std::ostream& log)
{
    const int count = static_cast<int>(region.topoNodes.size());
    for (int n = 1; n <= count; ++n) {
        const TopoNode& node = topoNode(region, n);
        if (node.status < 0 || node.triangleCount + node.quadCount != 6 || node.triangleCount == 0) continue;
        const int t = node.triangles[0];
        const TopoElement& tri = topoElement(region, t);
        const int i = cornerIndexInElement(n, t, region);
        const int c1 = tri.c[(i + 1) % 3], c2 = tri.c[(i + 2) % 3];
        const int a = quadAcross(region, tri.nb[(i + 2) % 3]), b = quadAcross(region, tri.nb[i]);
        if (a == 0 && b == 0) continue;
        const bool aTouches = a == 0 || elementTouchesBoundaryTwice(topoElement(region, a), nb);
        const bool bTouches = b == 0 || elementTouchesBoundaryTwice(topoElement(region, b), nb);
        if (aTouches && bTouches) continue;

        Recut cut{};
        bool useA = bTouches;
        int aOpp = 0, bOpp = 0;
        if (a != 0) aOpp = topoElement(region, a).c[(cornerIndexInElement(c2, a, region) + 2) % 4];
        if (b != 0) bOpp = topoElement(region, b).c[(cornerIndexInElement(c1, b, region) + 2) % 4];
        if (!aTouches && !bTouches) useA = angleAt(region, n, c1, bOpp) <= angleAt(region, n, c2, aOpp);
        if (useA) {
            const TopoElement& el = topoElement(region, a);
            const int farFromN = el.c[(cornerIndexInElement(n, a, region) + 2) % 4];
            cut = Recut{{n, c1, c2, aOpp}, a, {c2, farFromN, aOpp}};
        } else {
            const TopoElement& el = topoElement(region, b);
            const int farFromN = el.c[(cornerIndexInElement(n, b, region) + 2) % 4];
            cut = Recut{{n, bOpp, c1, c2}, b, {c1, bOpp, farFromN}};
        }
        if (!recut(region, t, cut, codeOffset, log)) return false;
    }
    return true;
}

}  // namespace tessaro
