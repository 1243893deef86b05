// A quadrilateral whose four sides all border triangles is replaced by a
// node at its centroid: each triangle takes the node as a fourth corner, so
// four triangles and the quadrilateral become four quadrilaterals.
#include <cstdlib>
#include <string>

#include "Tessaro_DLL/topology/PassSupport.h"
#include "Tessaro_DLL/topology/Passes.h"
#include "Tessaro_DLL/topology/Topology.h"

namespace tessaro {

namespace {

// Inserts node n into the first triangle of `ring` holding the side from
// `from` to `to` reversed.
void insertNodeIntoSide(RegionRecord& region, const std::vector<int>& ring, int from, int to, int n)
{
    for (int t : ring) {
        TopoElement& el = topoElement(region, t);
        if (el.cornerCount != 3) continue;
        const int j = directedSideIndex(el, to, from);
        if (j < 0) continue;
        for (int k = 3; k > j + 1; --k) el.c[k] = el.c[k - 1];
        el.c[j + 1] = n;
        el.cornerCount = 4;
        el.isTriangle = false;
        return;
    }
}

}  // namespace

bool splitQuadIntoTriangleRing(RegionRecord& region, int e, int codeOffset, std::ostream& log)
{
    const TopoElement quad = topoElement(region, e);
    double x = 0.0, y = 0.0, size = 0.0;
    for (int k = 0; k < 4; ++k) {
        const MeshNode& c = region.nodes[quad.c[k] - 1];
        x += c.x;
        y += c.y;
        size += c.size;
    }
    const int n = appendNode(region, 0.25 * x, 0.25 * y, 0.25 * size);

    std::vector<int> ring;
    for (int k = 0; k < 4; ++k) ring.push_back(std::abs(quad.nb[k]));
    const std::vector<int> corners = collectElementNodes(region, ring, kTopoElements);
    std::vector<int> linked = ring;
    for (int t : ring)
        for (int k = 0; k < 3; ++k) {
            const int entry = std::abs(topoElement(region, t).nb[k]);
            if (entry != e && entry != 0 && entry < codeOffset + 1) appendOnce(linked, entry);
        }

    for (int k = 0; k < 4; ++k) insertNodeIntoSide(region, ring, quad.c[k], quad.c[(k + 1) % 4], n);
    for (int t : ring) linkElementToPatch(region, t, linked, noNeighbourEntry(codeOffset));

    std::vector<int> around = collectNodeElements(region, corners);
    eraseValue(around, e);
    if (!refillNodeLists(region, corners, around, log)) return false;

    TopoElement& gone = topoElement(region, e);
    gone.name = -ring[0];
    gone.c = topoElement(region, ring[0]).c;
    return refillNodeLists(region, n, ring, log);
}

bool convertTriangleRingedQuads(RegionRecord& region, int codeOffset, std::string /*history*/, std::ostream& log)
{
    const int count = static_cast<int>(region.topoElements.size());
    for (int e = 1; e <= count; ++e) {
        const TopoElement& el = topoElement(region, e);
        if (el.name < 0 || el.isTriangle) continue;
        int triangles = 0;
        for (int k = 0; k < 4; ++k) {
            const int entry = std::abs(el.nb[k]);
            if (entry != 0 && entry != codeOffset + 1 && topoElement(region, entry).isTriangle) ++triangles;
        }
        if (triangles == 4 && !splitQuadIntoTriangleRing(region, e, codeOffset, log)) return false;
    }
    return true;
}

}  // namespace tessaro
