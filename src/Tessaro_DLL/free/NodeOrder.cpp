#include "Tessaro_DLL/free/NodeOrder.h"

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <utility>
#include <vector>

namespace tessaro {

namespace {

// Position of the cell (x, y) of a 2^16 x 2^16 grid along the Hilbert curve.
std::uint64_t hilbertIndex(std::uint32_t x, std::uint32_t y)
{
    std::uint64_t d = 0;
    for (std::uint32_t s = 1u << 15; s > 0; s >>= 1) {
        const std::uint32_t rx = (x & s) ? 1 : 0;
        const std::uint32_t ry = (y & s) ? 1 : 0;
        d += static_cast<std::uint64_t>(s) * s * ((3 * rx) ^ ry);
        if (ry == 0) {
            if (rx == 1) {
                x = s - 1 - (x & (s - 1));
                y = s - 1 - (y & (s - 1));
            } else {
                x &= s - 1;
                y &= s - 1;
            }
            std::swap(x, y);
        } else {
            x &= s - 1;
            y &= s - 1;
        }
    }
    return d;
}

struct Box {
    double left = 0.0, bottom = 0.0, scale = 1.0;
    std::uint64_t key(double x, double y) const
    {
        auto cell = [&](double v) {
            const double q = v * scale;
            return static_cast<std::uint32_t>(std::clamp(q, 0.0, 65535.0));
        };
        return hilbertIndex(cell(x - left), cell(y - bottom));
    }
};

}  // namespace

void numberTriangulationByPlace(RegionRecord& region, int fixedNodes)
{
    const int nodeCount = static_cast<int>(region.nodes.size());
    const int triangleCount = static_cast<int>(region.triangles.size());
    if (nodeCount == 0 || triangleCount == 0 || region.neighbours.size() != region.triangles.size()) return;
    fixedNodes = std::clamp(fixedNodes, 0, nodeCount);

    Box box;
    double right = region.nodes[0].x, top = region.nodes[0].y;
    box.left = right;
    box.bottom = top;
    for (const MeshNode& n : region.nodes) {
        box.left = std::min(box.left, n.x);
        box.bottom = std::min(box.bottom, n.y);
        right = std::max(right, n.x);
        top = std::max(top, n.y);
    }
    const double span = std::max(right - box.left, top - box.bottom);
    box.scale = span > 0.0 ? 65535.0 / span : 1.0;

    // New number of each node (1-based by old position).
    std::vector<std::pair<std::uint64_t, int>> order;
    order.reserve(static_cast<std::size_t>(nodeCount - fixedNodes));
    for (int k = fixedNodes; k < nodeCount; ++k) order.emplace_back(box.key(region.nodes[k].x, region.nodes[k].y), k);
    std::sort(order.begin(), order.end());
    std::vector<int> nodeNumber(static_cast<std::size_t>(nodeCount) + 1);
    std::iota(nodeNumber.begin(), nodeNumber.end(), 0);
    std::vector<MeshNode> nodes(region.nodes.begin(), region.nodes.begin() + fixedNodes);
    nodes.reserve(region.nodes.size());
    for (const auto& [key, k] : order) {
        nodeNumber[k + 1] = static_cast<int>(nodes.size()) + 1;
        MeshNode n = region.nodes[k];
        if (n.name == k + 1) n.name = static_cast<int>(nodes.size()) + 1;
        nodes.push_back(n);
    }
    region.nodes = std::move(nodes);

    // Triangles by the place of their centroid.
    std::vector<std::pair<std::uint64_t, int>> triangles;
    triangles.reserve(static_cast<std::size_t>(triangleCount));
    for (int t = 0; t < triangleCount; ++t) {
        double x = 0.0, y = 0.0;
        for (int c : region.triangles[t].corners) {
            const MeshNode& n = region.nodes[nodeNumber[c] - 1];
            x += n.x;
            y += n.y;
        }
        triangles.emplace_back(box.key(x / 3.0, y / 3.0), t);
    }
    std::sort(triangles.begin(), triangles.end());
    std::vector<int> triangleNumber(static_cast<std::size_t>(triangleCount) + 1, 0);
    for (int k = 0; k < triangleCount; ++k) triangleNumber[triangles[k].second + 1] = k + 1;
    std::vector<DelaunayTriangle> sortedTriangles;
    std::vector<ElementNeighbours> sortedNeighbours;
    sortedTriangles.reserve(region.triangles.size());
    sortedNeighbours.reserve(region.neighbours.size());
    for (const auto& [key, t] : triangles) {
        DelaunayTriangle triangle = region.triangles[t];
        triangle.name = triangleNumber[t + 1];
        for (int& c : triangle.corners) c = nodeNumber[c];
        sortedTriangles.push_back(triangle);
        ElementNeighbours nb = region.neighbours[t];
        nb.n[0] = triangle.name;
        for (int j = 1; j <= 3; ++j)
            if (nb.n[j] > 0) nb.n[j] = triangleNumber[nb.n[j]];
        sortedNeighbours.push_back(nb);
    }
    region.triangles = std::move(sortedTriangles);
    region.neighbours = std::move(sortedNeighbours);
}

}  // namespace tessaro
