#include "TopologyFixture.h"

#include <algorithm>

namespace meshtest {

using namespace tessaro;

RegionRecord buildTopology(const TopologyFixture& fixture) {
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
            if (std::find(el.c.begin(), el.c.begin() + el.cornerCount, node) == el.c.begin() + el.cornerCount) continue;
            if (el.isTriangle)
                n.triangles[n.triangleCount++] = el.name;
            else
                n.quads[n.quadCount++] = el.name;
            for (int m = 0; m < el.cornerCount; ++m)
                if (el.c[m] != node && std::find(n.neighbours.begin(), n.neighbours.begin() + n.neighbourCount,
                                                 el.c[m]) == n.neighbours.begin() + n.neighbourCount)
                    n.neighbours[n.neighbourCount++] = el.c[m];
        }
        region.topoNodes.push_back(n);
    }
    return region;
}

TopologyFixture gridFixture(int nx, int ny, bool triangles) {
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

namespace meshtest {

namespace {

bool hasCorner(const TopoElement& el, int node) {
    return std::find(el.c.begin(), el.c.begin() + el.cornerCount, node) != el.c.begin() + el.cornerCount;
}

std::vector<int> sorted(std::vector<int> v) {
    std::sort(v.begin(), v.end());
    return v;
}

std::string sideFault(const RegionRecord& region, const TopoElement& el, int k, int codeOffset) {
    const int a = el.c[k], b = el.c[(k + 1) % el.cornerCount];
    int partner = 0, partnerSide = -1;
    for (const TopoElement& other : region.topoElements) {
        if (other.name <= 0 || other.name == el.name) continue;
        for (int m = 0; m < other.cornerCount; ++m)
            if (other.c[m] == b && other.c[(m + 1) % other.cornerCount] == a) {
                partner = other.name;
                partnerSide = m;
            }
    }
    const std::string where = "element " + std::to_string(el.name) + " side " + std::to_string(k) + ": ";
    if (partner == 0)
        return el.nb[k] == -(codeOffset + 1) ? "" : where + "no partner but entry " + std::to_string(el.nb[k]);
    const TopoElement& p = region.topoElements[partner - 1];
    const int expected = p.cornerCount == 3 ? partner : -partner;
    if (el.nb[k] != expected) return where + "entry " + std::to_string(el.nb[k]) + " for " + std::to_string(expected);
    const int back = el.cornerCount == 3 ? el.name : -el.name;
    if (p.nb[partnerSide] != back) return where + "partner " + std::to_string(partner) + " does not point back";
    return "";
}

std::string nodeFault(const RegionRecord& region, int node) {
    const TopoNode& n = region.topoNodes[node - 1];
    std::vector<int> triangles, quads, neighbours;
    for (const TopoElement& el : region.topoElements) {
        if (el.name <= 0 || !hasCorner(el, node)) continue;
        (el.cornerCount == 3 ? triangles : quads).push_back(el.name);
        for (int k = 0; k < el.cornerCount; ++k)
            if (el.c[k] != node && std::find(neighbours.begin(), neighbours.end(), el.c[k]) == neighbours.end())
                neighbours.push_back(el.c[k]);
    }
    const std::string where = "node " + std::to_string(node) + ": ";
    if (sorted(triangles) != sorted({n.triangles.begin(), n.triangles.begin() + n.triangleCount}))
        return where + "triangle list";
    if (sorted(quads) != sorted({n.quads.begin(), n.quads.begin() + n.quadCount})) return where + "quadrilateral list";
    if (sorted(neighbours) != sorted({n.neighbours.begin(), n.neighbours.begin() + n.neighbourCount}))
        return where + "neighbour list";
    return "";
}

}  // namespace

std::string topologyFaults(const RegionRecord& region, int nb, int codeOffset) {
    for (const TopoElement& el : region.topoElements) {
        if (el.name <= 0) continue;
        if (el.isTriangle != (el.cornerCount == 3)) return "element " + std::to_string(el.name) + ": flag";
        for (int k = 0; k < el.cornerCount; ++k) {
            const std::string fault = sideFault(region, el, k, codeOffset);
            if (!fault.empty()) return fault;
        }
    }
    for (int node = 1; node <= static_cast<int>(region.topoNodes.size()); ++node) {
        const int status = region.topoNodes[node - 1].status;
        if (status < 0 && node > nb) continue;  // removed
        const std::string fault = nodeFault(region, node);
        if (!fault.empty()) return fault;
    }
    return "";
}

}  // namespace meshtest
