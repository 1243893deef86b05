#include "Tessaro_DLL/topology/Topology.h"

#include <algorithm>
#include <cstdlib>

namespace tessaro {

namespace {

void appendDistinct(std::vector<int>& list, int value)
{
    if (std::find(list.begin(), list.end(), value) == list.end()) list.push_back(value);
}

}  // namespace

bool removeTopoSlot(int* slots, int& count, int value)
{
    for (int i = 0; i < count; ++i) {
        if (slots[i] != value) continue;
        slots[i] = slots[count - 1];
        slots[count - 1] = 0;
        --count;
        return true;
    }
    return false;
}

void clearTopoNode(int node, RegionRecord& region)
{
    TopoNode& n = topoNode(region, node);
    n.neighbourCount = n.triangleCount = n.quadCount = 0;
    n.neighbours.fill(0);
    n.triangles.fill(0);
    n.quads.fill(0);
}

void setNodeElementLists(int node, RegionRecord& region, const std::vector<int>& elements)
{
    TopoNode& n = topoNode(region, node);
    n.triangles.fill(0);
    n.quads.fill(0);
    n.neighbours.fill(0);
    n.triangleCount = n.quadCount = n.neighbourCount = 0;
    for (int e : elements) {
        if (e > 0) n.triangles[n.triangleCount++] = e;
        if (e < 0) n.quads[n.quadCount++] = -e;
    }
}

void rebuildNodeNeighbours(RegionRecord& region, int node, const std::vector<int>& elements)
{
    TopoNode& n = topoNode(region, node);
    n.neighbours.fill(0);
    n.neighbourCount = 0;
    std::vector<int> found;
    for (int e : elements) {
        if (e == 0) continue;
        const TopoElement& el = topoElement(region, std::abs(e));
        for (int k = 0; k < el.cornerCount; ++k)
            if (el.c[k] != node) appendDistinct(found, el.c[k]);
    }
    n.neighbours.assign(found.begin(), found.end());
    n.neighbourCount = static_cast<int>(found.size());
}

int cornerIndexInElement(int node, int element, const RegionRecord& region)
{
    const TopoElement& el = region.topoElements[element - 1];
    for (int k = 0; k < el.cornerCount; ++k)
        if (el.c[k] == node) return k;
    return -1;
}

int sideIndexInElement(int a, int b, int element, const RegionRecord& region)
{
    const TopoElement& el = region.topoElements[element - 1];
    for (int k = 0; k < el.cornerCount; ++k) {
        const int p = el.c[k], q = el.c[(k + 1) % el.cornerCount];
        if ((p == a && q == b) || (p == b && q == a)) return k;
    }
    return -1;
}

int directedSideIndex(const TopoElement& element, int from, int to)
{
    for (int k = 0; k < element.cornerCount; ++k)
        if (element.c[k] == from && element.c[(k + 1) % element.cornerCount] == to) return k;
    return -1;
}

bool hasMoreThanTwoBoundaryNodes(int nb, const std::vector<int>& elements, const RegionRecord& region)
{
    std::vector<int> boundary;
    for (int node : collectElementNodes(region, elements, kTopoElements))
        if (node <= nb) boundary.push_back(node);
    return boundary.size() > 2;
}

std::vector<int> collectElementNodes(const RegionRecord& region, const std::vector<int>& elements, int mode)
{
    std::vector<int> nodes;
    if (elements.empty()) return nodes;
    if (mode == kDelaunayTriangles) {
        for (int e : elements)
            for (int c : region.triangles[std::abs(e) - 1].corners) appendDistinct(nodes, c);
    } else if (mode == kTopoElements) {
        for (int e : elements) {
            const TopoElement& el = region.topoElements[std::abs(e) - 1];
            for (int k = 0; k < el.cornerCount; ++k) appendDistinct(nodes, el.c[k]);
        }
    } else if (mode == kMeshElements) {
        const int corners = region.elements[std::abs(elements.front()) - 1].w[4] == 0 ? 3 : 4;
        for (int e : elements)
            for (int k = 1; k <= corners; ++k) appendDistinct(nodes, region.elements[std::abs(e) - 1].w[k]);
    }
    return nodes;
}

std::vector<int> collectNeighbourNodes(const RegionRecord& region, const std::vector<int>& nodes)
{
    std::vector<int> result;
    for (int node : nodes) {
        const TopoNode& n = region.topoNodes[node - 1];
        for (int k = 0; k < n.neighbourCount; ++k) appendDistinct(result, n.neighbours[k]);
    }
    return result;
}

std::vector<int> collectNodeElements(const RegionRecord& region, const std::vector<int>& nodes)
{
    std::vector<int> result;
    for (int node : nodes) {
        const TopoNode& n = region.topoNodes[node - 1];
        for (int k = 0; k < n.quadCount; ++k) appendDistinct(result, n.quads[k]);
        for (int k = 0; k < n.triangleCount; ++k) appendDistinct(result, n.triangles[k]);
    }
    return result;
}

bool smoothNodeList(RegionRecord& region, int nb, const std::vector<int>& nodes, std::ostream& log)
{
    for (int sweep = 0; sweep < 3; ++sweep) {
        for (int node : nodes) {
            if (node <= nb) continue;
            const TopoNode& n = region.topoNodes[node - 1];
            if (n.neighbourCount == 0) {
                log << "Error: zero number of nodes in neighbour for node " << node << std::endl;
                return false;
            }
            double x = 0.0, y = 0.0;
            for (int k = 0; k < n.neighbourCount; ++k) {
                x += region.nodes[n.neighbours[k] - 1].x;
                y += region.nodes[n.neighbours[k] - 1].y;
            }
            region.nodes[node - 1].x = x / n.neighbourCount;
            region.nodes[node - 1].y = y / n.neighbourCount;
        }
    }
    return true;
}

}  // namespace tessaro
