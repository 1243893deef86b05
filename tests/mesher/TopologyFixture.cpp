#include "TopologyFixture.h"

#include <algorithm>

namespace meshtest {

using namespace tessaro;

RegionRecord buildTopology(const TopologyFixture& fixture)
{
    RegionRecord region;
    for (std::size_t k = 0; k < fixture.nodes.size(); ++k)
        region.nodes.push_back(MeshNode{static_cast<int>(k) + 1, fixture.nodes[k].first, fixture.nodes[k].second, 1.0});
    for (std::size_t e = 0; e < fixture.elements.size(); ++e) {
        TopoElement el;
        el.name = static_cast<int>(e) + 1;
        el.cornerCount = static_cast<int>(fixture.elements[e].size());
        el.isTriangle = el.cornerCount == 3;
        for (int k = 0; k < el.cornerCount; ++k) el.c[k] = fixture.elements[e][k];
        region.topoElements.push_back(el);
    }
    for (TopoElement& el : region.topoElements)
        for (int k = 0; k < el.cornerCount; ++k) {
            const int a = el.c[k], b = el.c[(k + 1) % el.cornerCount];
            el.nb[k] = -(fixture.codeOffset + 1);
            for (const TopoElement& other : region.topoElements)
                for (int m = 0; m < other.cornerCount; ++m)
                    if (other.c[m] == b && other.c[(m + 1) % other.cornerCount] == a)
                        el.nb[k] = other.isTriangle ? other.name : -other.name;
        }
    for (std::size_t k = 0; k < fixture.nodes.size(); ++k) {
        const int node = static_cast<int>(k) + 1;
        TopoNode n;
        n.status = node <= fixture.nb ? -node : node;
        for (const TopoElement& el : region.topoElements) {
            if (std::find(el.c.begin(), el.c.begin() + el.cornerCount, node) == el.c.begin() + el.cornerCount)
                continue;
            if (el.isTriangle)
                n.triangles[n.triangleCount++] = el.name;
            else
                n.quads[n.quadCount++] = el.name;
            for (int m = 0; m < el.cornerCount; ++m)
                if (el.c[m] != node &&
                    std::find(n.neighbours.begin(), n.neighbours.begin() + n.neighbourCount, el.c[m]) ==
                        n.neighbours.begin() + n.neighbourCount)
                    n.neighbours[n.neighbourCount++] = el.c[m];
        }
        region.topoNodes.push_back(n);
    }
    return region;
}

TopologyFixture gridFixture(int nx, int ny, bool triangles)
{
    TopologyFixture f;
    for (int j = 0; j <= ny; ++j)
        for (int i = 0; i <= nx; ++i) f.nodes.emplace_back(i, j);
    auto at = [&](int i, int j) { return j * (nx + 1) + i + 1; };
    for (int j = 0; j < ny; ++j)
        for (int i = 0; i < nx; ++i) {
            const int a = at(i, j), b = at(i + 1, j), c = at(i + 1, j + 1), d = at(i, j + 1);
            if (triangles) {
                f.elements.push_back({a, b, c});
                f.elements.push_back({a, c, d});
            } else {
                f.elements.push_back({a, b, c, d});
            }
        }
    return f;
}

}  // namespace meshtest
