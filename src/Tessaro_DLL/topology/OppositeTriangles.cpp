// A quadrilateral with triangles across two opposite sides is cut along the
// diagonal whose two resulting quadrilaterals have the better worse quality;
// each half joins the triangle beside it.
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

// The triangle's corners in its own order from `corner`; empty for a
// quadrilateral or a triangle without it.
std::vector<int> triangleCornersFrom(const TopoElement& element, int corner)
{
    if (element.cornerCount != 3) return {};
    for (int k = 0; k < 3; ++k)
        if (element.c[k] == corner) return {corner, element.c[(k + 1) % 3], element.c[(k + 2) % 3]};
    return {};
}

// A's old entries without E, then E's entries without A, as element names.
std::vector<int> relinkCandidates(const RegionRecord& region, int a, int e)
{
    const int count = static_cast<int>(region.topoElements.size());
    std::vector<int> list;
    for (int k = 0; k < 3; ++k) {
        const int entry = std::abs(region.topoElements[a - 1].nb[k]);
        if (entry != e && entry != 0 && entry <= count) list.push_back(entry);
    }
    for (int k = 0; k < 4; ++k) {
        const int entry = std::abs(region.topoElements[e - 1].nb[k]);
        if (entry != a && entry != 0 && entry <= count) list.push_back(entry);
    }
    return list;
}

void makeQuadrilateral(RegionRecord& region, int name, std::array<int, 4> corners)
{
    TopoElement& el = topoElement(region, name);
    el.cornerCount = 4;
    el.isTriangle = false;
    el.c = corners;
}

}  // namespace

bool splitQuadIntoOppositeTriangles(RegionRecord& region, int e, int a, int b, int firstSide, int secondSide, int nb,
                                    int codeOffset, std::ostream& log)
{
    const TopoElement quad = topoElement(region, e);
    const int p = quad.c[(firstSide + 1) % 4], r = quad.c[(secondSide + 1) % 4];
    const std::vector<int> la = triangleCornersFrom(topoElement(region, a), p);
    const std::vector<int> lb = triangleCornersFrom(topoElement(region, b), r);
    if (la.size() != 3 || lb.size() != 3) return true;
    for (int k = 0; k < 4; ++k)
        if (quad.c[k] <= nb) return true;
    for (int node : {la[1], la[2], lb[1], lb[2]})
        if (node <= nb) return true;

    const double q1 = quadMergeQuality(p, la[1], la[2], r, region), q2 = quadMergeQuality(r, lb[1], lb[2], p, region);
    const double q3 = quadMergeQuality(p, la[1], la[2], lb[1], region);
    const double q4 = quadMergeQuality(r, lb[1], lb[2], la[1], region);
    const std::vector<int> candidatesA = relinkCandidates(region, a, e), candidatesB = relinkCandidates(region, b, e);
    if (std::min(q1, q2) < std::min(q3, q4)) {
        makeQuadrilateral(region, a, {p, lb[1], la[1], la[2]});
        makeQuadrilateral(region, b, {r, la[1], lb[1], lb[2]});
    } else {
        makeQuadrilateral(region, a, {p, r, la[1], la[2]});
        makeQuadrilateral(region, b, {r, p, lb[1], lb[2]});
    }
    linkElementToPatch(region, a, candidatesA, noNeighbourEntry(codeOffset));
    linkElementToPatch(region, b, candidatesB, noNeighbourEntry(codeOffset));

    const std::vector<int> nodes{p, la[1], la[2], r, lb[1], lb[2]};
    std::vector<int> around = collectNodeElements(region, nodes);
    eraseValue(around, e);
    if (!refillNodeLists(region, nodes, around, log)) return false;
    TopoElement& gone = topoElement(region, e);
    gone.name = -a;
    gone.c = topoElement(region, a).c;
    gone.isTriangle = false;
    return true;
}

bool mergeQuadWithOppositeTriangles(RegionRecord& region, int nb, int codeOffset, std::string /*history*/,
                                    std::ostream& log)
{
    const int count = static_cast<int>(region.topoElements.size());
    auto triangleAcross = [&](int entry) {
        const int e = std::abs(entry);
        return e != 0 && e != codeOffset + 1 && e <= count && topoElement(region, e).isTriangle ? e : 0;
    };
    for (int e = 1; e <= count; ++e) {
        const TopoElement& el = topoElement(region, e);
        if (el.name < 0 || el.isTriangle) continue;
        for (int first = 0; first < 2; ++first) {
            const int a = triangleAcross(el.nb[first]), b = triangleAcross(el.nb[first + 2]);
            if (a == 0 || b == 0) continue;
            if (!splitQuadIntoOppositeTriangles(region, e, a, b, first, first + 2, nb, codeOffset, log)) return false;
            break;
        }
    }
    return true;
}

}  // namespace tessaro
