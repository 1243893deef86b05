#include "Tessaro_DLL/quad/FinalElements.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "Tessaro_DLL/free/Adjacency.h"
#include "Tessaro_DLL/free/SideCodes.h"
#include "Tessaro_DLL/model/CornerAngle.h"
#include "Tessaro_DLL/quad/Smoothing.h"
#include "Tessaro_DLL/topology/Topology.h"
#include "Tessaro_DLL/topology/TriangleMerge.h"

namespace tessaro {

namespace {

bool isSlitCode(int code) { return code == -8 || code == -9; }

// The new lists of the split mesh, filled before they replace the region's.
struct SplitMesh {
    std::vector<MeshNode> nodes;
    std::vector<MeshElement> elements;
    std::vector<ElementNeighbours> neighbours;
    std::vector<BoundarySide> sides;
    std::vector<NodeAdjacency> adjacency;
    std::vector<SplitRecord> records;
    std::vector<std::vector<int>> patches;  // new elements per old element

    int appendNode(double x, double y, double size)
    {
        const int name = static_cast<int>(nodes.size()) + 1;
        nodes.push_back(MeshNode{name, x, y, size});
        return name;
    }
};

// Step 2: two copies of each boundary node, then the interior nodes.
void copyOldNodes(const RegionRecord& region, int nb, SplitMesh& mesh)
{
    for (std::size_t k = 0; k < region.nodes.size(); ++k) {
        const MeshNode& old = region.nodes[k];
        mesh.appendNode(old.x, old.y, old.size);
        if (static_cast<int>(k) < nb) mesh.appendNode(old.x, old.y, old.size);
    }
}

int newNodeName(int old, int nb) { return old <= nb ? 2 * old - 1 : nb + old; }

// Step 3b: the midpoint of side i of old element e.
bool makeMidpoint(const RegionRecord& region, int nb, int e, int i, SplitMesh& mesh,
                  std::vector<BoundarySide>& retained, std::ostream& log)
{
    SplitRecord& rec = mesh.records[e - 1];
    if (rec.midState[i] != 1) {
        rec.midpoints[i] = -rec.midState[i];
        return true;
    }
    const TopoElement& el = region.topoElements[e - 1];
    const int n = rec.cornerCount;
    const MeshNode& a = mesh.nodes[rec.corners[i] - 1];
    const MeshNode& b = mesh.nodes[rec.corners[(i + 1) % n] - 1];
    const double x = 0.5 * (a.x + b.x), y = 0.5 * (a.y + b.y);
    const int across = el.nb[i];
    if (across > 0) {
        rec.midpoints[i] = mesh.appendNode(x, y, 0.5 * (a.size + b.size));
        const int j = sideIndexInElement(el.c[i], el.c[(i + 1) % n], across, region);
        if (j < 0) {
            log << "Error: can not find neighbour element for element" << across << std::endl;
            return false;
        }
        mesh.records[across - 1].midState[j] = -rec.midpoints[i];
        return true;
    }
    const int k = el.c[i];
    if (k > nb) {
        // An interior side without a neighbour: the model is torn.
        log << "Error: can not find neighbour element for element" << e << std::endl;
        return false;
    }
    rec.midpoints[i] = 2 * k;
    mesh.nodes[2 * k - 1].x = x;
    mesh.nodes[2 * k - 1].y = y;
    for (const BoundarySide& side : region.boundarySides)
        if (side.element == e && side.side == i && side.code < 0) retained.push_back(side);
    return true;
}

// Step 3e: each retained side as its two halves on the new elements.
void splitBoundarySides(const SplitRecord& rec, const std::vector<BoundarySide>& retained, SplitMesh& mesh)
{
    const int n = rec.cornerCount;
    for (const BoundarySide& side : retained) {
        const int i = side.side;
        const std::pair<int, int> halves[2] = {{rec.corners[i], rec.midpoints[i]},
                                               {rec.midpoints[i], rec.corners[(i + 1) % n]}};
        for (const auto& [p, q] : halves)
            for (int m = 0; m < n; ++m) {
                const MeshElement& el = mesh.elements[rec.newElements[m] - 1];
                for (int k = 0; k < 4; ++k)
                    if (el.w[1 + k] == p && el.w[1 + (k + 1) % 4] == q)
                        mesh.sides.push_back(BoundarySide{rec.newElements[m], k, side.code});
            }
    }
}

// Step 3: the new nodes and elements of every old element.
bool splitAllElements(const RegionRecord& region, int nb, SplitMesh& mesh, std::ostream& log)
{
    const int oldCount = static_cast<int>(region.topoElements.size());
    int nextElement = oldCount;
    int total = 0;
    for (const TopoElement& el : region.topoElements) total += el.cornerCount;
    mesh.elements.assign(total, MeshElement{});
    mesh.records.resize(oldCount);
    mesh.patches.resize(oldCount);
    for (int e = 1; e <= oldCount; ++e) {
        const TopoElement& el = region.topoElements[e - 1];
        SplitRecord& rec = mesh.records[e - 1];
        rec.name = e;
        rec.cornerCount = el.cornerCount;
        for (int i = 0; i < el.cornerCount; ++i) {
            rec.corners[i] = newNodeName(el.c[i], nb);
            rec.newElements[i] = i == 0 ? e : ++nextElement;
            if (rec.midState[i] == 0) rec.midState[i] = 1;
        }
    }
    for (int e = 1; e <= oldCount; ++e) {
        SplitRecord& rec = mesh.records[e - 1];
        std::vector<BoundarySide> retained;
        for (int i = 0; i < rec.cornerCount; ++i)
            if (!makeMidpoint(region, nb, e, i, mesh, retained, log)) return false;
        double x = 0.0, y = 0.0, size = 0.0;
        for (int i = 0; i < rec.cornerCount; ++i) {
            x += mesh.nodes[rec.corners[i] - 1].x / rec.cornerCount;
            y += mesh.nodes[rec.corners[i] - 1].y / rec.cornerCount;
            size += mesh.nodes[rec.corners[i] - 1].size / rec.cornerCount;
        }
        rec.centroid = mesh.appendNode(x, y, size);
        splitElement(rec, region.topoElements[e - 1].isTriangle, mesh.elements, mesh.patches[e - 1]);
        splitBoundarySides(rec, retained, mesh);
    }
    return true;
}

// Step 3f: neighbours of the new elements, matched within each patch.
void linkNewElements(const RegionRecord& region, SplitMesh& mesh)
{
    mesh.neighbours.assign(mesh.elements.size(), ElementNeighbours{});
    for (std::size_t k = 0; k < mesh.elements.size(); ++k) mesh.neighbours[k].n[0] = static_cast<int>(k) + 1;
    for (std::size_t e = 0; e < region.topoElements.size(); ++e) {
        const TopoElement& old = region.topoElements[e];
        std::vector<int> patch = mesh.patches[e];
        for (int i = 0; i < old.cornerCount; ++i)
            if (old.nb[i] > 0)
                patch.insert(patch.end(), mesh.patches[old.nb[i] - 1].begin(), mesh.patches[old.nb[i] - 1].end());
        for (int a : mesh.patches[e]) {
            const MeshElement& ea = mesh.elements[a - 1];
            for (int k = 0; k < 4; ++k) {
                if (mesh.neighbours[a - 1].n[1 + k] != 0) continue;
                const int p = ea.w[1 + k], q = ea.w[1 + (k + 1) % 4];
                int partner = -1, partnerSide = -1;
                for (int b : patch) {
                    if (b == a) continue;
                    const MeshElement& eb = mesh.elements[b - 1];
                    for (int m = 0; m < 4 && partner < 0; ++m)
                        if (eb.w[1 + m] == q && eb.w[1 + (m + 1) % 4] == p) {
                            partner = b;
                            partnerSide = m;
                        }
                    if (partner > 0) break;
                }
                mesh.neighbours[a - 1].n[1 + k] = partner;
                if (partner > 0) mesh.neighbours[partner - 1].n[1 + partnerSide] = a;
            }
        }
    }
}

// Step 5: one adjacency record per new node.
bool buildAdjacency(SplitMesh& mesh, std::ostream& log)
{
    mesh.adjacency.assign(mesh.nodes.size(), NodeAdjacency{});
    for (std::size_t k = 0; k < mesh.adjacency.size(); ++k) mesh.adjacency[k].name = -(static_cast<int>(k) + 1);
    for (const MeshElement& el : mesh.elements)
        for (int k = 1; k <= 4; ++k)
            if (!addElement(mesh.adjacency[el.w[k] - 1], el.w[0], el.w[k], log)) return false;
    for (std::size_t k = 0; k < mesh.adjacency.size(); ++k) {
        NodeAdjacency& a = mesh.adjacency[k];
        const int node = static_cast<int>(k) + 1;
        for (int m = 0; m < a.elementCount; ++m) {
            const MeshElement& el = mesh.elements[a.elements[m] - 1];
            for (int c = 1; c <= 4; ++c)
                if (el.w[c] != node && !addNeighbour(a, el.w[c], node, log)) return false;
        }
        a.name = node;
    }
    return true;
}

// Step 7: the first corners of boundary sides that lie on a reference node.
std::vector<int> heldNodes(const SplitMesh& mesh, const std::vector<MeshNode>& referenceNodes)
{
    std::vector<int> held;
    for (const MeshNode& ref : referenceNodes)
        for (const BoundarySide& side : mesh.sides) {
            const int node = mesh.elements[side.element - 1].w[1 + side.side];
            const MeshNode& p = mesh.nodes[node - 1];
            if (std::hypot(p.x - ref.x, p.y - ref.y) < 1e-8 && std::find(held.begin(), held.end(), node) == held.end())
                held.push_back(node);
        }
    return held;
}

// The quadrilateral triangle `el` would form with its neighbour `partner`
// across side i: counter-clockwise c[i], apex of the partner, c[i + 1], c[i + 2].
bool mergedQuadValid(const RegionRecord& region, const TopoElement& el, int i, int partner)
{
    const TopoElement& other = region.topoElements[partner - 1];
    const int p = el.c[i], q = el.c[(i + 1) % 3], r = el.c[(i + 2) % 3];
    int apex = 0;
    for (int k = 0; k < 3; ++k)
        if (other.c[k] != p && other.c[k] != q) apex = other.c[k];
    if (apex == 0 || apex == r) return false;
    const MeshNode* corners[4] = {&region.nodes[p - 1], &region.nodes[apex - 1], &region.nodes[q - 1],
                                  &region.nodes[r - 1]};
    return cornersValid(corners, 4);
}

}  // namespace

bool checkTriangleNeighbours(RegionRecord& region, int codeOffset, std::string history, std::ostream& log)
{
    (void)history;
    for (std::size_t k = 0; k < region.topoElements.size(); ++k) {
        const TopoElement& el = region.topoElements[k];
        if (!el.isTriangle || el.name < 0) continue;
        for (int i = 0; i < 3; ++i) {
            const int entry = el.nb[i];
            if (entry == 0) {
                log << "Error: element name is ZERO for element " << el.name << std::endl;
                return false;
            }
            // Only into a convex quadrilateral with no flat corner; an
            // unpaired triangle is split into three valid quadrilaterals.
            if (entry > 0 && mergedQuadValid(region, el, i, entry)) {
                mergeTrianglePair(region, el.name, entry, codeOffset);
                break;
            }
        }
    }
    return true;
}

void compactAndRenumber(RegionRecord& region, int nb, int codeOffset)
{
    std::vector<int> nodeMap(region.topoNodes.size() + 1, 0), elementMap(region.topoElements.size() + 1, 0);
    std::vector<MeshNode> nodes;
    std::vector<TopoNode> topoNodes;
    for (std::size_t k = 0; k < region.topoNodes.size(); ++k) {
        if (region.topoNodes[k].status < -nb) continue;
        nodeMap[k + 1] = static_cast<int>(nodes.size()) + 1;
        nodes.push_back(region.nodes[k]);
        topoNodes.push_back(region.topoNodes[k]);
    }
    std::vector<TopoElement> elements;
    for (std::size_t k = 0; k < region.topoElements.size(); ++k) {
        if (region.topoElements[k].name <= 0) continue;
        elementMap[k + 1] = static_cast<int>(elements.size()) + 1;
        elements.push_back(region.topoElements[k]);
    }
    for (std::size_t k = 0; k < elements.size(); ++k) {
        TopoElement& el = elements[k];
        el.name = static_cast<int>(k) + 1;
        for (int i = 0; i < el.cornerCount; ++i) {
            el.c[i] = nodeMap[el.c[i]];
            const int entry = std::abs(el.nb[i]);
            el.nb[i] = entry > codeOffset ? -1 : elementMap[entry];
        }
    }
    auto remap = [](auto& slots, int& count, const std::vector<int>& map) {
        int kept = 0;
        for (int m = 0; m < count; ++m) {
            const int mapped = map[std::abs(slots[m])];
            if (mapped != 0) slots[kept++] = mapped;
        }
        std::fill(slots.begin() + kept, slots.end(), 0);
        count = kept;
    };
    for (std::size_t k = 0; k < topoNodes.size(); ++k) {
        TopoNode& n = topoNodes[k];
        n.status = static_cast<int>(k) + 1;
        nodes[k].name = n.status;
        remap(n.triangles, n.triangleCount, elementMap);
        remap(n.quads, n.quadCount, elementMap);
        remap(n.neighbours, n.neighbourCount, nodeMap);
    }
    region.nodes.swap(nodes);
    region.topoNodes.swap(topoNodes);
    region.topoElements.swap(elements);
}

namespace {

// Whether the triangle turns left with every corner above a degree.
bool triangleClear(const MeshNode& a, const MeshNode& b, const MeshNode& c)
{
    const MeshNode* corners[3] = {&a, &b, &c};
    for (int k = 0; k < 3; ++k) {
        const double angle = interiorAngleDegrees(*corners[(k + 2) % 3], *corners[k], *corners[(k + 1) % 3]);
        if (!(angle > 1.0 && angle < 178.0)) return false;
    }
    return true;
}

template <int Held>
void addSlot(NodeNames<Held>& slots, int& count, int value)
{
    for (int k = 0; k < count; ++k)
        if (slots[k] == value) return;
    slots[count++] = value;
}

void dropSlot(int* slots, int& count, int value)
{
    for (int k = 0; k < count; ++k)
        if (slots[k] == value) {
            for (int m = k + 1; m < count; ++m) slots[m - 1] = slots[m];
            slots[--count] = 0;
            return;
        }
}

// The sides of the halved boundary in either direction, ordered by their
// first end, and where their final midpoint nodes go.
class HalvedSideLookup {
public:
    explicit HalvedSideLookup(const std::vector<HalvedSide>& halved)
    {
        sides_.reserve(2 * halved.size());
        for (const HalvedSide& h : halved) {
            sides_.push_back(h);
            sides_.push_back(HalvedSide{h.x2, h.y2, h.x1, h.y1, h.x, h.y});
        }
        std::sort(sides_.begin(), sides_.end(), [](const HalvedSide& a, const HalvedSide& b) {
            return a.x1 < b.x1 || (a.x1 == b.x1 && a.y1 < b.y1);
        });
    }

    // The node the final mesh puts on the side from a to b: the input
    // boundary node when a-b is a side of the halved boundary, else the
    // side's midpoint, which lies in the same direction from a as b does.
    MeshNode towards(const MeshNode& a, const MeshNode& b) const
    {
        const double near = 1e-9;  // in the triangulation's unit square
        auto at = std::lower_bound(sides_.begin(), sides_.end(), a.x - near,
                                   [](const HalvedSide& h, double x) { return h.x1 < x; });
        for (; at != sides_.end() && at->x1 <= a.x + near; ++at) {
            if (std::fabs(at->y1 - a.y) > near || std::fabs(at->x2 - b.x) > near || std::fabs(at->y2 - b.y) > near)
                continue;
            MeshNode m = b;
            m.x = at->x;
            m.y = at->y;
            return m;
        }
        return b;
    }

private:
    std::vector<HalvedSide> sides_;
};

// The corner of the quadrilateral at kSplitQuadCornerAngle or more (the
// largest), or -1. A corner between two sides of the halved boundary also
// counts when the input boundary nodes on them make it
// kSplitBoundaryCornerAngle or more, short of straight: a boundary that
// turns a little at every node, as along an arc. (Where the input boundary
// runs straight on through the node, the halved boundary cuts a polygon
// corner beside it; see the refusal of odd side counts.)
int flatCornerOf(const RegionRecord& region, const TopoElement& el, const HalvedSideLookup& halved)
{
    int flat = -1;
    double largestExcess = 0.0;
    for (int k = 0; k < 4; ++k) {
        const MeshNode& previous = region.nodes[el.c[(k + 3) % 4] - 1];
        const MeshNode& corner = region.nodes[el.c[k] - 1];
        const MeshNode& next = region.nodes[el.c[(k + 1) % 4] - 1];
        double excess = interiorAngleDegrees(previous, corner, next) - kSplitQuadCornerAngle;
        const MeshNode before = halved.towards(corner, previous);
        const MeshNode after = halved.towards(corner, next);
        if ((before.x != previous.x || before.y != previous.y) && (after.x != next.x || after.y != next.y)) {
            const double restored = interiorAngleDegrees(before, corner, after);
            if (restored < kStraightBoundaryAngle) excess = std::max(excess, restored - kSplitBoundaryCornerAngle);
        }
        if (excess >= 0.0 && excess >= largestExcess) {
            largestExcess = excess;
            flat = k;
        }
    }
    return flat;
}

// Whether the quadrilateral p, q, r, s (p its flat corner) can be cut along
// p-r: both triangles clear.
bool canSplitAlongDiagonal(const RegionRecord& region, int p, int q, int r, int s)
{
    const MeshNode &np = region.nodes[p - 1], &nq = region.nodes[q - 1], &nr = region.nodes[r - 1],
                   &ns = region.nodes[s - 1];
    return triangleClear(np, nq, nr) && triangleClear(np, nr, ns);
}

// Cuts element `name` (quadrilateral el, flat corner `flat`) along the
// diagonal from that corner: the first triangle keeps the name, the second
// is added at the end; neighbours, boundary sides and node records follow.
void splitAlongDiagonal(RegionRecord& region, int name, const TopoElement& el, int flat)
{
    const int p = el.c[flat], q = el.c[(flat + 1) % 4], r = el.c[(flat + 2) % 4], s = el.c[(flat + 3) % 4];
    const int added = static_cast<int>(region.topoElements.size()) + 1;
    TopoElement first;
    first.name = name;
    first.cornerCount = 3;
    first.isTriangle = true;
    first.c = {p, q, r, 0};
    first.nb = {el.nb[flat], el.nb[(flat + 1) % 4], added, 0};
    TopoElement second;
    second.name = added;
    second.cornerCount = 3;
    second.isTriangle = true;
    second.c = {p, r, s, 0};
    second.nb = {name, el.nb[(flat + 2) % 4], el.nb[(flat + 3) % 4], 0};
    region.topoElements[name - 1] = first;
    region.topoElements.push_back(second);
    // Elements across the second triangle's outer sides now meet it.
    for (int k = 1; k <= 2; ++k) {
        const int across = second.nb[k];
        if (across <= 0) continue;
        TopoElement& other = region.topoElements[across - 1];
        for (int m = 0; m < other.cornerCount; ++m)
            if (other.nb[m] == name && other.c[m] == second.c[(k + 1) % 3] &&
                other.c[(m + 1) % other.cornerCount] == second.c[k])
                other.nb[m] = added;
    }
    for (BoundarySide& side : region.boundarySides) {
        if (side.element != name) continue;
        const int k = (side.side - flat + 4) % 4;
        if (k >= 2) {
            side.element = added;
            side.side = k - 1;
        } else {
            side.side = k;
        }
    }
    for (int node : {p, q, r, s}) {
        TopoNode& n = region.topoNodes[node - 1];
        dropSlot(n.quads.data(), n.quadCount, name);
        if (node != s) addSlot(n.triangles, n.triangleCount, name);
        if (node != q) addSlot(n.triangles, n.triangleCount, added);
    }
    TopoNode &tp = region.topoNodes[p - 1], &tr = region.topoNodes[r - 1];
    addSlot(tp.neighbours, tp.neighbourCount, r);
    addSlot(tr.neighbours, tr.neighbourCount, p);
}

}  // namespace

int splitFlatCornerQuads(RegionRecord& region, const std::vector<HalvedSide>& halvedSides)
{
    const HalvedSideLookup halved(halvedSides);
    int split = 0;
    const std::size_t count = region.topoElements.size();
    for (std::size_t e = 0; e < count; ++e) {
        const TopoElement el = region.topoElements[e];
        if (el.name <= 0 || el.isTriangle || el.cornerCount != 4) continue;
        const int flat = flatCornerOf(region, el, halved);
        if (flat < 0) continue;
        if (!canSplitAlongDiagonal(region, el.c[flat], el.c[(flat + 1) % 4], el.c[(flat + 2) % 4],
                                   el.c[(flat + 3) % 4]))
            continue;
        splitAlongDiagonal(region, static_cast<int>(e) + 1, el, flat);
        ++split;
    }
    return split;
}

void splitElement(const SplitRecord& record, bool isTriangle, std::vector<MeshElement>& elements,
                  std::vector<int>& patch)
{
    const int n = isTriangle ? 3 : 4;
    for (int i = 0; i < n; ++i) {
        MeshElement& el = elements[record.newElements[i] - 1];
        el = MeshElement{};
        el.w[0] = record.newElements[i];
        el.w[1] = record.corners[i];
        el.w[2] = record.midpoints[i];
        el.w[3] = record.centroid;
        el.w[4] = record.midpoints[(i + n - 1) % n];
        patch.push_back(record.newElements[i]);
    }
}

bool buildElementsFromTopology(RegionRecord& region, const std::vector<MeshNode>& referenceNodes, std::ostream& log)
{
    const int nb = static_cast<int>(region.codedSides.size());
    SplitMesh mesh;
    // The old nodes, a second copy of each boundary node, at most one
    // midpoint per element side and a centroid per element.
    std::size_t sides = 0;
    for (const TopoElement& el : region.topoElements) sides += static_cast<std::size_t>(el.cornerCount);
    mesh.nodes.reserve(std::max<std::size_t>(
        100000, region.nodes.size() + static_cast<std::size_t>(std::max(nb, 0)) + sides + region.topoElements.size()));
    mesh.elements.reserve(100000);
    copyOldNodes(region, nb, mesh);
    if (!splitAllElements(region, nb, mesh, log)) return false;
    linkNewElements(region, mesh);

    std::vector<BoundarySide> coded;
    for (const BoundarySide& side : mesh.sides) {
        if (side.code >= 0 || isSlitCode(side.code)) continue;
        coded.push_back(side);
        mesh.neighbours[side.element - 1].n[1 + side.side] = side.code;
    }
    if (!buildAdjacency(mesh, log)) return false;
    const std::vector<int> held = heldNodes(mesh, referenceNodes);

    region.boundarySides.swap(mesh.sides);
    region.codedSides.swap(coded);
    region.elements.swap(mesh.elements);
    region.neighbours.swap(mesh.neighbours);
    region.adjacency.swap(mesh.adjacency);
    region.nodes.swap(mesh.nodes);
    std::vector<int> fixedNodes;
    collectSideNodes(region, fixedNodes, true);
    for (int k : fixedNodes) region.adjacency[k - 1].name = -k;
    laplaceSmooth(region.nodes, region.elements, region.adjacency, held);
    return true;
}

}  // namespace tessaro
