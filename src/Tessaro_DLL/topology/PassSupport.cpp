#include "Tessaro_DLL/topology/PassSupport.h"

#include <algorithm>

#include "Tessaro_DLL/quad/QuadConversion.h"
#include "Tessaro_DLL/topology/Topology.h"
#include "Tessaro_DLL/topology/TriangleMerge.h"

namespace tessaro {

bool elementHasCorner(const TopoElement& element, int node)
{
    return std::find(element.c.begin(), element.c.begin() + element.cornerCount, node) !=
           element.c.begin() + element.cornerCount;
}

SideMatch findDirectedSide(const RegionRecord& region, const std::vector<int>& patch, int from, int to, int except)
{
    for (int name : patch) {
        if (name == except) continue;
        const TopoElement& el = region.topoElements[name - 1];
        if (el.name <= 0) continue;
        const int side = directedSideIndex(el, from, to);
        if (side >= 0) return {name, side};
    }
    return {};
}

void relinkWithinPatch(RegionRecord& region, const std::vector<int>& patch)
{
    for (int name : patch) {
        TopoElement& e = topoElement(region, name);
        if (e.name <= 0) continue;
        for (int k = 0; k < e.cornerCount; ++k) {
            const SideMatch m = findDirectedSide(region, patch, e.c[(k + 1) % e.cornerCount], e.c[k], name);
            if (m.element == 0) continue;
            TopoElement& f = topoElement(region, m.element);
            e.nb[k] = signedReference(f);
            f.nb[m.side] = signedReference(e);
        }
    }
}

void linkElementToPatch(RegionRecord& region, int element, const std::vector<int>& patch, int noNeighbour)
{
    TopoElement& e = topoElement(region, element);
    for (int k = 0; k < e.cornerCount; ++k) {
        const SideMatch m = findDirectedSide(region, patch, e.c[(k + 1) % e.cornerCount], e.c[k], element);
        if (m.element == 0) {
            e.nb[k] = noNeighbour;
            continue;
        }
        TopoElement& f = topoElement(region, m.element);
        e.nb[k] = signedReference(f);
        f.nb[m.side] = signedReference(e);
    }
}

bool refillNodeLists(RegionRecord& region, int node, const std::vector<int>& patch, std::ostream& /*log*/)
{
    clearTopoNode(node, region);
    std::vector<int> signedList;
    for (int name : patch) {
        const TopoElement& el = region.topoElements[name - 1];
        if (el.name <= 0 || !elementHasCorner(el, node)) continue;
        if (std::find(signedList.begin(), signedList.end(), signedReference(el)) != signedList.end()) continue;
        signedList.push_back(signedReference(el));
    }
    setNodeElementLists(node, region, signedList);
    rebuildNodeNeighbours(region, node, signedList);
    return true;
}

bool refillNodeLists(RegionRecord& region, const std::vector<int>& nodes, const std::vector<int>& patch,
                     std::ostream& log)
{
    for (int node : nodes) refillNodeLists(region, node, patch, log);
    return true;
}

void eraseValue(std::vector<int>& list, int value)
{
    list.erase(std::remove(list.begin(), list.end(), value), list.end());
}

void appendOnce(std::vector<int>& list, int value)
{
    if (std::find(list.begin(), list.end(), value) == list.end()) list.push_back(value);
}

bool anotherElementHoldsBoth(const RegionRecord& region, int q, int a, int b)
{
    const TopoNode& n = region.topoNodes[a - 1];
    auto holdsBoth = [&](int name) {
        const TopoElement& el = region.topoElements[name - 1];
        return name != q && el.name > 0 && elementHasCorner(el, a) && elementHasCorner(el, b);
    };
    for (int k = 0; k < n.triangleCount; ++k)
        if (holdsBoth(n.triangles[k])) return true;
    for (int k = 0; k < n.quadCount; ++k)
        if (holdsBoth(n.quads[k])) return true;
    return false;
}

namespace {

void replaceCorner(RegionRecord& region, const std::vector<int>& elements, int from, int to)
{
    for (int e : elements) {
        TopoElement& el = topoElement(region, e);
        for (int k = 0; k < el.cornerCount; ++k)
            if (el.c[k] == from) el.c[k] = to;
    }
}

// Q's corners other than the removed node, then that node's neighbours.
std::vector<int> nodesAroundCollapse(const RegionRecord& region, const TopoElement& q, int removedNode)
{
    std::vector<int> nodes;
    for (int k = 0; k < 4; ++k)
        if (q.c[k] != removedNode) appendOnce(nodes, q.c[k]);
    const TopoNode& b = region.topoNodes[removedNode - 1];
    for (int k = 0; k < b.neighbourCount; ++k) appendOnce(nodes, b.neighbours[k]);
    return nodes;
}

}  // namespace

bool mergeNodesAcrossQuad(RegionRecord& region, int q, int keep, int removed, const std::vector<int>& patch,
                          std::vector<int>& around, std::ostream& log)
{
    replaceCorner(region, patch, removed, keep);
    relinkWithinPatch(region, patch);
    const TopoElement& quad = topoElement(region, q);
    const std::vector<int> corners(quad.c.begin(), quad.c.begin() + 4);
    around = collectNodeElements(region, collectNeighbourNodes(region, corners));
    eraseValue(around, q);
    return refillNodeLists(region, nodesAroundCollapse(region, quad, removed), around, log);
}

void smoothAroundPatch(RegionRecord& region, int nb, const std::vector<int>& patch, int removedNode, std::ostream& log)
{
    std::vector<int> nodes;
    for (int e : patch) {
        const TopoElement& el = region.topoElements[e - 1];
        if (el.name <= 0) continue;
        for (int k = 0; k < el.cornerCount; ++k) appendOnce(nodes, el.c[k]);
    }
    for (int node : collectNeighbourNodes(region, nodes)) appendOnce(nodes, node);
    std::vector<int> live;
    for (int node : nodes)
        if (node != removedNode && region.topoNodes[node - 1].status > 0) live.push_back(node);
    smoothNodeList(region, nb, live, log);
}


int appendNode(RegionRecord& region, double x, double y, double size)
{
    const int name = static_cast<int>(region.nodes.size()) + 1;
    region.nodes.push_back(MeshNode{name, x, y, size});
    TopoNode node;
    node.status = name;
    region.topoNodes.push_back(node);
    return name;
}

int appendQuadrilateral(RegionRecord& region, int c0, int c1, int c2, int c3)
{
    TopoElement el;
    el.name = static_cast<int>(region.topoElements.size()) + 1;
    el.cornerCount = 4;
    el.isTriangle = false;
    el.c = {c0, c1, c2, c3};
    region.topoElements.push_back(el);
    return el.name;
}


int boundaryCornerCount(const TopoElement& element, int nb)
{
    int count = 0;
    for (int k = 0; k < element.cornerCount; ++k)
        if (element.c[k] <= nb) ++count;
    return count;
}

double worseQuadQuality(const RegionRecord& region, const std::array<int, 4>& p, const std::array<int, 4>& q)
{
    TopoElement a, b;
    a.cornerCount = b.cornerCount = 4;
    a.isTriangle = b.isTriangle = false;
    a.c = p;
    b.c = q;
    return std::min(quadElementQuality(region, a), quadElementQuality(region, b));
}

void mergeWithFirstTriangleNeighbour(RegionRecord& region, int triangle, int codeOffset)
{
    const TopoElement& el = topoElement(region, triangle);
    for (int s = 0; s < 3; ++s) {
        const int entry = el.nb[s];
        if (entry <= 0 || entry > codeOffset || !topoElement(region, entry).isTriangle) continue;
        mergeTrianglePair(region, triangle, entry, codeOffset);
        return;
    }
}

}  // namespace tessaro
