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

bool neighbourMean(const int* neighbours, int count, const std::vector<MeshNode>& nodes, double& x, double& y)
{
    if (count == 0) return false;
    x = 0.0;
    y = 0.0;
    for (int k = 0; k < count; ++k) {
        x += nodes[neighbours[k] - 1].x;
        y += nodes[neighbours[k] - 1].y;
    }
    x /= count;
    y /= count;
    return true;
}

// cos 177 degrees: a corner whose cosine is not above it is too flat.
const double kFlatCornerCosine = std::cos(177.0 * std::acos(-1.0) / 180.0);

double sideOf(const MeshNode& a, const MeshNode& b, const MeshNode& p)
{
    return (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x);
}

bool strictlyCross(const MeshNode& a, const MeshNode& b, const MeshNode& p, const MeshNode& q)
{
    const double s1 = sideOf(a, b, p), s2 = sideOf(a, b, q), s3 = sideOf(p, q, a), s4 = sideOf(p, q, b);
    return ((s1 > 0.0 && s2 < 0.0) || (s1 < 0.0 && s2 > 0.0)) && ((s3 > 0.0 && s4 < 0.0) || (s3 < 0.0 && s4 > 0.0));
}

// Worst corner of the topology element or final element around a node.
struct ElementCorners {
    const MeshNode* p[4] = {nullptr, nullptr, nullptr, nullptr};
    int count = 0;
};

ElementCorners cornersOf(const TopoElement& el, const std::vector<MeshNode>& nodes)
{
    ElementCorners c;
    c.count = el.isTriangle ? 3 : 4;
    for (int k = 0; k < c.count; ++k) c.p[k] = &nodes[el.c[k] - 1];
    return c;
}

ElementCorners cornersOf(const MeshElement& el, const std::vector<MeshNode>& nodes)
{
    ElementCorners c;
    c.count = el.w[4] == 0 ? 3 : 4;
    for (int k = 0; k < c.count; ++k) c.p[k] = &nodes[el.w[1 + k] - 1];
    return c;
}

// Moves `node` to (x, y) when no element of `around` that is valid now
// becomes invalid; with `noWorse`, only when their worst corner does not
// get worse either, trying shorter steps first. Returns whether it moved.
template <typename Elements>
bool moveIfValid(MeshNode& node, double x, double y, const Elements& around, const std::vector<MeshNode>& nodes,
                 bool noWorse)
{
    std::vector<char> validBefore(around.size(), 0);
    double before = 2.0;
    for (std::size_t k = 0; k < around.size(); ++k) {
        const ElementCorners c = cornersOf(*around[k], nodes);
        validBefore[k] = cornersValid(c.p, c.count) ? 1 : 0;
        if (noWorse) before = std::min(before, worstCornerJacobian(c.p, c.count));
    }
    const double x0 = node.x, y0 = node.y;
    for (const double step : {1.0, 0.5, 0.25}) {
        node.x = x0 + step * (x - x0);
        node.y = y0 + step * (y - y0);
        bool keep = true;
        double after = 2.0;
        for (std::size_t k = 0; k < around.size() && keep; ++k) {
            const ElementCorners c = cornersOf(*around[k], nodes);
            if (validBefore[k] && !cornersValid(c.p, c.count)) keep = false;
            if (noWorse) after = std::min(after, worstCornerJacobian(c.p, c.count));
        }
        if (keep && (!noWorse || after >= before)) return true;
        if (!noWorse) break;
    }
    node.x = x0;
    node.y = y0;
    return false;
}

std::vector<const TopoElement*> topoElementsAt(const TopoNode& n, const RegionRecord& region)
{
    std::vector<const TopoElement*> around;
    for (int q = 0; q < n.quadCount; ++q) around.push_back(&region.topoElements[n.quads[q] - 1]);
    for (int t = 0; t < n.triangleCount; ++t) around.push_back(&region.topoElements[n.triangles[t] - 1]);
    return around;
}

std::vector<const MeshElement*> elementsAt(const NodeAdjacency& a, const std::vector<MeshElement>& elements)
{
    std::vector<const MeshElement*> around;
    for (int k = 0; k < a.elementCount; ++k) around.push_back(&elements[a.elements[k] - 1]);
    return around;
}

}  // namespace

double worstCornerJacobian(const MeshNode* const* corners, int count)
{
    double worst = 1.0;
    for (int k = 0; k < count; ++k) {
        const MeshNode& b = *corners[k];
        const MeshNode& a = *corners[(k + count - 1) % count];
        const MeshNode& c = *corners[(k + 1) % count];
        const double nx = c.x - b.x, ny = c.y - b.y, px = a.x - b.x, py = a.y - b.y;
        const double norms = std::hypot(nx, ny) * std::hypot(px, py);
        if (!(norms > 0.0)) return -1.0;
        worst = std::min(worst, (nx * py - ny * px) / norms);
    }
    return worst;
}

bool cornersValid(const MeshNode* const* corners, int count)
{
    for (int k = 0; k < count; ++k) {
        const MeshNode& b = *corners[k];
        const MeshNode& a = *corners[(k + count - 1) % count];
        const MeshNode& c = *corners[(k + 1) % count];
        const double nx = c.x - b.x, ny = c.y - b.y, px = a.x - b.x, py = a.y - b.y;
        const double norms = std::hypot(nx, ny) * std::hypot(px, py);
        if (!(norms > 0.0)) return false;
        if (!((nx * py - ny * px) > 1e-12 * norms)) return false;
        if (!((nx * px + ny * py) > kFlatCornerCosine * norms)) return false;
    }
    if (count == 4 && (strictlyCross(*corners[0], *corners[1], *corners[2], *corners[3]) ||
                       strictlyCross(*corners[1], *corners[2], *corners[3], *corners[0])))
        return false;
    return true;
}

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
            const std::vector<const TopoElement*> around = topoElementsAt(n, region);
            if (n.triangleCount + n.quadCount < 5) {
                double mx = 0.0, my = 0.0;
                if (neighbourMean(n.neighbours.data(), n.neighbourCount, region.nodes, mx, my))
                    moveIfValid(node, mx, my, around, region.nodes, false);
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
            if (weight > 0.0) moveIfValid(node, x / weight, y / weight, around, region.nodes, false);
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
    moveIfValid(nodes[node - 1], x / weight, y / weight, elementsAt(a, elements), nodes, true);
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
            double mx = 0.0, my = 0.0;
            if (neighbourMean(a.neighbours.data(), a.neighbourCount, nodes, mx, my))
                moveIfValid(nodes[k], mx, my, elementsAt(a, elements), nodes, true);
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

void repairInvalidElements(std::vector<MeshNode>& nodes, const std::vector<MeshElement>& elements,
                           const std::vector<NodeAdjacency>& adjacency)
{
    for (int sweep = 0; sweep < 20; ++sweep) {
        std::vector<int> free;
        for (const MeshElement& el : elements) {
            const ElementCorners c = cornersOf(el, nodes);
            if (cornersValid(c.p, c.count)) continue;
            for (int k = 0; k < c.count; ++k) {
                const int node = el.w[1 + k];
                if (adjacency[node - 1].name > 0 && std::find(free.begin(), free.end(), node) == free.end())
                    free.push_back(node);
            }
        }
        if (free.empty()) return;
        bool moved = false;
        for (int node : free) {
            const NodeAdjacency& a = adjacency[node - 1];
            double mx = 0.0, my = 0.0;
            if (!neighbourMean(a.neighbours.data(), a.neighbourCount, nodes, mx, my)) continue;
            if (moveIfValid(nodes[node - 1], mx, my, elementsAt(a, elements), nodes, true)) moved = true;
        }
        if (!moved) return;
    }
}

}  // namespace tessaro
