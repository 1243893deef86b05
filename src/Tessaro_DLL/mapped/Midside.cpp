#include "Tessaro_DLL/mapped/Midside.h"

#include <cmath>

namespace tessaro {

void arcMidpoint(const GeometryEntityRecord& entity, double x1, double y1, double x2, double y2, double& x, double& y)
{
    const double rx = entity.radiusX, ry = entity.radiusY;
    if (rx == 0.0 || ry == 0.0) {
        x = 0.5 * (x1 + x2);
        y = 0.5 * (y1 + y2);
        return;
    }
    const double pi = 4.0 * std::atan(1.0);
    const double cx = entity.centreX, cy = entity.centreY;
    // Parameter angles on the ellipse x = cx + rx cos t, y = cy + ry sin t.
    const double t1 = std::atan2((y1 - cy) / ry, (x1 - cx) / rx);
    const double t2 = std::atan2((y2 - cy) / ry, (x2 - cx) / rx);
    // The edge runs the short way round, whichever side of the cut of
    // atan2 its corners lie on.
    double d = t2 - t1;
    if (d > pi) d -= 2.0 * pi;
    if (d <= -pi) d += 2.0 * pi;
    const double mid = t1 + 0.5 * d;
    x = cx + rx * std::cos(mid);
    y = cy + ry * std::sin(mid);
}

int findEdgeSlot(int first, int second, MeshElement neighbour)
{
    for (int k = 0; k < 4; ++k) {
        const int a = neighbour.w[1 + k], b = neighbour.w[1 + (k + 1) % 4];
        if (a == second && b == first && neighbour.w[5 + k] == 0) return 4 + k;
    }
    return -1;
}

int findNeighbourEdgeSlot(bool quadrilateral, const std::vector<ElementNeighbours>& neighbours, MeshElement neighbour,
                          int name)
{
    const int sides = quadrilateral ? 4 : 3;
    const int base = quadrilateral ? 4 : 3;
    const int index = neighbour.w[0];
    if (index < 1 || index > static_cast<int>(neighbours.size())) return -1;
    const ElementNeighbours& nb = neighbours[index - 1];
    const int target = static_cast<int>(neighbours.size()) + name;
    int slot = -1;
    for (int k = 0; k < sides; ++k)
        if (nb.n[1 + k] == target && neighbour.w[1 + base + k] == 0) slot = base + k;
    return slot;
}

namespace {

const GeometryEntityRecord* findEntity(const std::deque<GeometryEntityRecord>& entities, int index)
{
    for (const GeometryEntityRecord& e : entities)
        if (e.index == index) return &e;
    return nullptr;
}

void addMidsideNodes(bool quadrilateral, std::vector<FemNode>& nodes, std::vector<MeshElement>& elements,
                     std::vector<ElementNeighbours>& neighbours, int& nodeCount, int elementCount,
                     const std::deque<GeometryEntityRecord>& entities)
{
    const int sides = quadrilateral ? 4 : 3;
    const int base = quadrilateral ? 5 : 4;  // word of the mid-side node of side 0
    for (std::size_t e = 0; e < elements.size() && e < neighbours.size(); ++e) {
        for (int s = 0; s < sides; ++s) {
            MeshElement& el = elements[e];
            const int word = el.w[base + s];
            if (quadrilateral ? word >= 1 : word != 0) continue;
            const int id = ++nodeCount;
            el.w[base + s] = id;
            const int na = el.w[1 + s], nb = el.w[1 + (s + 1) % sides];
            const FemNode& a = nodes[na - 1];
            const FemNode& b = nodes[nb - 1];
            double x = 0.5 * (a.x + b.x), y = 0.5 * (a.y + b.y);
            ElementNeighbours& own = neighbours[e];
            if (own.n[9 + s] == 31) {
                if (const GeometryEntityRecord* arc = findEntity(entities, own.n[5 + s]))
                    arcMidpoint(*arc, a.x, a.y, b.x, b.y, x, y);
            }
            nodes.push_back(FemNode{id, x, y});

            const int other = own.n[1 + s];
            if (other <= 0) continue;
            if (other > elementCount) {
                const int index = other - elementCount;
                if (index >= 1 && index <= static_cast<int>(elements.size())) {
                    const int slot = findNeighbourEdgeSlot(quadrilateral, neighbours, elements[index - 1], el.w[0]);
                    if (slot >= 0) {
                        const int k = slot - (quadrilateral ? 4 : 3);
                        elements[index - 1].w[base + k] = id;
                        neighbours[index - 1].n[1 + k] = -6;
                    }
                }
                own.n[1 + s] = -6;
            } else if (quadrilateral) {
                const int slot = findEdgeSlot(na, nb, elements[other - 1]);
                if (slot >= 0) elements[other - 1].w[1 + slot] = id;
            } else {
                MeshElement& o = elements[other - 1];
                for (int k = 0; k < 3; ++k)
                    if (o.w[1 + k] == nb && o.w[1 + (k + 1) % 3] == na) o.w[base + k] = id;
            }
        }
    }
}

}  // namespace

void addQuadMidsideNodes(std::vector<FemNode>& nodes, std::vector<MeshElement>& elements,
                         std::vector<ElementNeighbours>& neighbours, int& nodeCount, int elementCount,
                         const std::deque<GeometryEntityRecord>& entities)
{
    addMidsideNodes(true, nodes, elements, neighbours, nodeCount, elementCount, entities);
}

void addTriangleMidsideNodes(std::vector<FemNode>& nodes, std::vector<MeshElement>& elements,
                             std::vector<ElementNeighbours>& neighbours, int& nodeCount, int elementCount,
                             const std::deque<GeometryEntityRecord>& entities)
{
    addMidsideNodes(false, nodes, elements, neighbours, nodeCount, elementCount, entities);
}

}  // namespace tessaro
