// An interior node held by two quadrilaterals and one triangle is removed:
// the pentagon its three elements leave is refilled with one quadrilateral
// and one triangle, cut the way that gives the better shapes. Where a cut
// would leave a straight corner (a node of the region's side between two
// others of it), that cut is not taken; with neither, the node stays.
#include <cmath>
#include <cstdlib>
#include <string>

#include "Tessaro_DLL/quad/QuadConversion.h"
#include "Tessaro_DLL/topology/PassSupport.h"
#include "Tessaro_DLL/topology/Passes.h"
#include "Tessaro_DLL/topology/Topology.h"

namespace tessaro {

namespace {

std::vector<int> patchNodesOfThree(const RegionRecord& region, int t, int a, int b, int excluded)
{
    std::vector<int> nodes;
    for (int e : {t, a, b}) {
        const TopoElement& el = region.topoElements[e - 1];
        for (int k = 0; k < el.cornerCount; ++k)
            if (el.c[k] != excluded) appendOnce(nodes, el.c[k]);
    }
    return nodes;
}

std::vector<int> elementsAroundNodesExcept(const RegionRecord& region, const std::vector<int>& nodes, int excluded)
{
    std::vector<int> elements = collectNodeElements(region, nodes);
    eraseValue(elements, excluded);
    return elements;
}

int firstElementWithCorner(const RegionRecord& region, int node, const std::vector<int>& elements)
{
    for (int e : elements)
        if (elementHasCorner(region.topoElements[e - 1], node)) return e;
    return 0;
}

struct Candidate {
    TopoElement quad;
    TopoElement triangle;
};

// Below these the quadrilateral has a corner of about 178 degrees or more,
// or the triangle is about as flat.
constexpr double kLeastQuadQuality = 0.035;
constexpr double kLeastTriangleQuality = 0.02;

Candidate makeCandidate(const RegionRecord& region, int n, int keptQuad, int into, int turned)
{
    Candidate c{region.topoElements[keptQuad - 1], region.topoElements[turned - 1]};
    for (int k = 0; k < 4; ++k)
        if (c.quad.c[k] == n) c.quad.c[k] = into;
    const TopoElement& old = region.topoElements[turned - 1];
    const int at = cornerIndexInElement(into, turned, region);
    c.triangle.cornerCount = 3;
    c.triangle.isTriangle = true;
    c.triangle.nb.fill(0);
    c.triangle.c = {into, old.c[(at + 1) % 4], old.c[(at + 2) % 4], 0};
    c.quad.nb.fill(0);
    return c;
}

// Candidate 2's triangle starts at c1 and takes the corners two and three
// places after it.
Candidate makeSecondCandidate(const RegionRecord& region, int n, int a, int b, int c1)
{
    Candidate c = makeCandidate(region, n, b, c1, a);
    const TopoElement& old = region.topoElements[a - 1];
    const int at = cornerIndexInElement(c1, a, region);
    c.triangle.c = {c1, old.c[(at + 2) % 4], old.c[(at + 3) % 4], 0};
    return c;
}

std::vector<int> neighbourCandidates(const RegionRecord& region, int t, int a, int b)
{
    const int count = static_cast<int>(region.topoElements.size());
    std::vector<int> list;
    auto add = [&](int entry, int skip1, int skip2) {
        const int e = std::abs(entry);
        if (e != 0 && e <= count && e != skip1 && e != skip2) list.push_back(e);
    };
    const TopoElement &tri = region.topoElements[t - 1], &qa = region.topoElements[a - 1],
                      &qb = region.topoElements[b - 1];
    for (int k = 0; k < 3; ++k) add(tri.nb[k], a, b);
    for (int k = 0; k < 4; ++k) add(qa.nb[k], t, t);
    for (int k = 0; k < 4; ++k) add(qb.nb[k], t, t);
    return list;
}

}  // namespace

double triangleQuality(const RegionRecord& region, const TopoElement& triangle)
{
    const MeshNode &p0 = region.nodes[triangle.c[0] - 1], &p1 = region.nodes[triangle.c[1] - 1],
                   &p2 = region.nodes[triangle.c[2] - 1];
    const double cross = (p1.x - p0.x) * (p2.y - p0.y) - (p1.y - p0.y) * (p2.x - p0.x);
    auto sq = [](const MeshNode& u, const MeshNode& v) {
        return (u.x - v.x) * (u.x - v.x) + (u.y - v.y) * (u.y - v.y);
    };
    return 2.0 * std::sqrt(3.0) * cross / (sq(p0, p1) + sq(p1, p2) + sq(p2, p0));
}

bool resolveQuadQuadTriangleNode(RegionRecord& region, int n, int codeOffset, std::ostream& log)
{
    const TopoNode& node = topoNode(region, n);
    const int t = node.triangles[0];
    const TopoElement& tri = topoElement(region, t);
    const int i = cornerIndexInElement(n, t, region);
    const int c1 = tri.c[(i + 1) % 3], c2 = tri.c[(i + 2) % 3];
    const std::vector<int> quads{node.quads[0], node.quads[1]};
    const int a = firstElementWithCorner(region, c1, quads), b = firstElementWithCorner(region, c2, quads);
    if (a == 0 || b == 0 || a == b) return true;  // not a fan of three elements around n

    const std::vector<int> patchNodes = patchNodesOfThree(region, t, a, b, n);
    const Candidate first = makeCandidate(region, n, a, c2, b);
    const Candidate second = makeSecondCandidate(region, n, a, b, c1);
    const double q1 = triangleQuality(region, first.triangle), q2 = triangleQuality(region, second.triangle);
    auto proper = [&](const Candidate& c, double triangle) {
        return triangle > kLeastTriangleQuality && quadElementQuality(region, c.quad) > kLeastQuadQuality;
    };
    const bool firstProper = proper(first, q1), secondProper = proper(second, q2);
    if (!firstProper && !secondProper) return true;
    bool takeFirst;
    if (firstProper != secondProper)
        takeFirst = firstProper;
    else if (q1 >= 0.8 && q2 <= 0.8)
        takeFirst = true;
    else if (q1 <= 0.8 && q2 >= 0.8)
        takeFirst = false;
    else
        takeFirst = quadElementQuality(region, first.quad) > quadElementQuality(region, second.quad);
    const Candidate& chosen = takeFirst ? first : second;

    const std::vector<int> candidates = neighbourCandidates(region, t, a, b);
    const int quadName = chosen.quad.name, triangleName = chosen.triangle.name;
    topoElement(region, quadName) = chosen.quad;
    topoElement(region, triangleName) = chosen.triangle;
    linkElementToPatch(region, quadName, candidates, noNeighbourEntry(codeOffset));
    linkElementToPatch(region, triangleName, candidates, noNeighbourEntry(codeOffset));

    if (!refillNodeLists(region, patchNodes, elementsAroundNodesExcept(region, patchNodes, t), log)) return false;
    topoNode(region, n).status = -n;
    TopoElement& gone = topoElement(region, t);
    gone = topoElement(region, quadName);
    gone.name = -quadName;
    return true;
}

bool fixQuadQuadTriangleNodes(RegionRecord& region, int codeOffset, std::string /*history*/, std::ostream& log)
{
    const int count = static_cast<int>(region.topoNodes.size());
    for (int n = 1; n <= count; ++n) {
        const TopoNode& node = topoNode(region, n);
        if (node.status < 0 || node.quadCount != 2 || node.triangleCount != 1) continue;
        if (!resolveQuadQuadTriangleNode(region, n, codeOffset, log)) return false;
    }
    return true;
}

}  // namespace tessaro
