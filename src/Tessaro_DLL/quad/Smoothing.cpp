#include "Tessaro_DLL/quad/Smoothing.h"

#include <algorithm>
#include <cmath>

namespace tessaro {

namespace {

double heron(const MeshNode& a, const MeshNode& b, const MeshNode& c)
{
    const double p = std::hypot(b.x - a.x, b.y - a.y), q = std::hypot(c.x - b.x, c.y - b.y),
                 r = std::hypot(a.x - c.x, a.y - c.y);
    const double s = 0.5 * (p + q + r);
    return std::sqrt(std::max(0.0, s * (s - p) * (s - q) * (s - r)));
}

double quadArea(const MeshNode& a, const MeshNode& b, const MeshNode& c, const MeshNode& d)
{
    return heron(a, b, d) + heron(b, c, d);
}

void moveToNeighbourMean(MeshNode& node, const int* neighbours, int count, const std::vector<MeshNode>& nodes)
{
    if (count == 0) return;
    double x = 0.0, y = 0.0;
    for (int k = 0; k < count; ++k) {
        x += nodes[neighbours[k] - 1].x;
        y += nodes[neighbours[k] - 1].y;
    }
    node.x = x / count;
    node.y = y / count;
}

}  // namespace

CentroidArea triangleCentroidArea(const TopoElement& element, const RegionRecord& region)
{
    const MeshNode& a = region.nodes[element.c[0] - 1];
    const MeshNode& b = region.nodes[element.c[1] - 1];
    const MeshNode& c = region.nodes[element.c[2] - 1];
    return {(a.x + b.x + c.x) / 3.0, (a.y + b.y + c.y) / 3.0, heron(a, b, c)};
}

CentroidArea quadCentroidArea(const TopoElement& element, const RegionRecord& region)
{
    const MeshNode& a = region.nodes[element.c[0] - 1];
    const MeshNode& b = region.nodes[element.c[1] - 1];
    const MeshNode& c = region.nodes[element.c[2] - 1];
    const MeshNode& d = region.nodes[element.c[3] - 1];
    return {(a.x + b.x + c.x + d.x) * 0.25, (a.y + b.y + c.y + d.y) * 0.25, quadArea(a, b, c, d)};
}

void smoothNodes(RegionRecord& region)
{
    for (int sweep = 0; sweep < 3; ++sweep) {
        for (std::size_t k = 0; k < region.topoNodes.size(); ++k) {
            const TopoNode& n = region.topoNodes[k];
            if (n.status <= 0) continue;
            MeshNode& node = region.nodes[k];
            if (n.triangleCount + n.quadCount < 5) {
                moveToNeighbourMean(node, n.neighbours.data(), n.neighbourCount, region.nodes);
                continue;
            }
            double x = 0.0, y = 0.0, weight = 0.0;
            auto add = [&](const CentroidArea& ca) {
                x += ca.area * ca.x;
                y += ca.area * ca.y;
                weight += ca.area;
            };
            for (int q = 0; q < n.quadCount; ++q) add(quadCentroidArea(region.topoElements[n.quads[q] - 1], region));
            for (int t = 0; t < n.triangleCount; ++t)
                add(triangleCentroidArea(region.topoElements[n.triangles[t] - 1], region));
            if (weight > 0.0) {
                node.x = x / weight;
                node.y = y / weight;
            }
        }
    }
}

void moveToWeightedCentroid(int node, std::vector<MeshNode>& nodes, const std::vector<MeshElement>& elements,
                            const std::vector<NodeAdjacency>& adjacency)
{
    const NodeAdjacency& a = adjacency[node - 1];
    double x = 0.0, y = 0.0, weight = 0.0;
    for (int k = 0; k < a.elementCount; ++k) {
        const MeshElement& el = elements[a.elements[k] - 1];
        const MeshNode& p = nodes[el.w[1] - 1];
        const MeshNode& q = nodes[el.w[2] - 1];
        const MeshNode& r = nodes[el.w[3] - 1];
        const MeshNode& s = nodes[el.w[4] - 1];
        const double area = quadArea(p, q, r, s);
        x += area * (p.x + q.x + r.x + s.x) * 0.25;
        y += area * (p.y + q.y + r.y + s.y) * 0.25;
        weight += area;
    }
    if (weight <= 0.0) return;
    nodes[node - 1].x = x / weight;
    nodes[node - 1].y = y / weight;
}

void laplaceSmooth(std::vector<MeshNode>& nodes, const std::vector<MeshElement>& elements,
                   const std::vector<NodeAdjacency>& adjacency, const std::vector<int>& held)
{
    std::vector<char> isHeld(nodes.size() + 1, 0);
    for (int h : held)
        if (h >= 1 && h <= static_cast<int>(nodes.size())) isHeld[h] = 1;
    auto nextToHeld = [&](const NodeAdjacency& a) {
        for (int k = 0; k < a.neighbourCount; ++k)
            if (isHeld[a.neighbours[k]]) return true;
        return false;
    };
    for (int sweep = 0; sweep < 3; ++sweep)
        for (std::size_t k = 0; k < adjacency.size(); ++k) {
            const NodeAdjacency& a = adjacency[k];
            if (a.name <= 0 || nextToHeld(a)) continue;
            moveToNeighbourMean(nodes[k], a.neighbours.data(), a.neighbourCount, nodes);
        }
    // Fixed and held nodes stay where they are: a moved boundary node would
    // leave the region's outline and tear its seams.
    for (const NodeAdjacency& a : adjacency) {
        if (a.name <= 0 || a.elementCount < 5) continue;
        for (int k = 0; k < a.neighbourCount; ++k) {
            const int m = a.neighbours[k];
            if (adjacency[m - 1].name <= 0 || isHeld[m]) continue;
            moveToWeightedCentroid(m, nodes, elements, adjacency);
        }
    }
}

}  // namespace tessaro
