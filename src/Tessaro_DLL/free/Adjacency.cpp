#include "Tessaro_DLL/free/Adjacency.h"

#include <algorithm>
#include <cmath>
#include <sstream>
#include <utility>

#include "Tessaro_DLL/model/CornerAngle.h"

namespace tessaro {

namespace {

constexpr double kFlipDistance = 1e-15;
constexpr double kSplitTolerance = 1e-6;
constexpr double kFlatShare = 1e-9;        // of the star's area, for a new triangle
constexpr double kStraightCorner = 178.0;  // degrees, for a new triangle

// Doubled signed area of (a, b, c).
double doubledArea(const RegionRecord& region, int a, int b, int c)
{
    const MeshNode& p = region.nodes[a - 1];
    const MeshNode& q = region.nodes[b - 1];
    const MeshNode& r = region.nodes[c - 1];
    return (q.x - p.x) * (r.y - p.y) - (r.x - p.x) * (q.y - p.y);
}

// Whether the triangle (a, b, c) has a corner of kStraightCorner or more.
bool hasStraightCorner(const RegionRecord& region, int a, int b, int c)
{
    const int corners[3] = {a, b, c};
    for (int k = 0; k < 3; ++k) {
        const double angle = interiorAngleDegrees(region.nodes[corners[(k + 2) % 3] - 1], region.nodes[corners[k] - 1],
                                                  region.nodes[corners[(k + 1) % 3] - 1]);
        if (angle >= kStraightCorner) return true;
    }
    return false;
}

int otherCorner(const DelaunayTriangle& t, int u, int v)
{
    for (int c : t.corners)
        if (c != u && c != v) return c;
    return 0;
}

int cornerIndex(const DelaunayTriangle& t, int node)
{
    for (int j = 0; j < 3; ++j)
        if (t.corners[j] == node) return j;
    return -1;
}

// Points the word of triangle `t` (1-based, positive) that names `from` at `to`.
void relink(RegionRecord& region, int t, int from, int to)
{
    if (t <= 0) return;
    for (int j = 1; j <= 3; ++j)
        if (region.neighbours[t - 1].n[j] == from) region.neighbours[t - 1].n[j] = to;
}

// Writes triangle (a, b, c) into slot `slot` with its outer neighbours.
void writeTriangle(RegionRecord& region, int slot, int a, int b, int c, int nab, int nbc, int nca)
{
    DelaunayTriangle& t = region.triangles[slot - 1];
    t.name = slot;
    t.corners = {a, b, c};
    ElementNeighbours& nb = region.neighbours[slot - 1];
    nb.n[0] = slot;
    nb.n[1] = nab;
    nb.n[2] = nbc;
    nb.n[3] = nca;
}

// Turns the corners of a triangle, with their sides' neighbours, one place
// to the left.
void rotateCorners(RegionRecord& region, int slot)
{
    auto& c = region.triangles[slot - 1].corners;
    std::rotate(c.begin(), c.begin() + 1, c.end());
    auto& n = region.neighbours[slot - 1].n;
    std::rotate(n.begin() + 1, n.begin() + 2, n.begin() + 4);
}

// The four triangles around a free node v and its outer nodes a, b, c, d
// (counter-clockwise); false when one is missing.
struct Star {
    int t1 = 0, t2 = 0, t3 = 0, t4 = 0;
    int a = 0, b = 0, c = 0, d = 0;
};

bool starOfValence4(const RegionRecord& region, const NodeAdjacency& adj, int v, Star& s)
{
    s.t1 = adj.elements[0];
    if (s.t1 <= 0) return false;
    const DelaunayTriangle& t1 = region.triangles[s.t1 - 1];
    const int i = cornerIndex(t1, v);
    if (i < 0) return false;
    s.a = t1.corners[(i + 1) % 3];
    s.b = t1.corners[(i + 2) % 3];
    s.t2 = region.neighbours[s.t1 - 1].n[1 + (i + 2) % 3];
    s.t3 = region.neighbours[s.t1 - 1].n[1 + i];
    if (s.t2 <= 0 || s.t3 <= 0) return false;
    s.c = otherCorner(region.triangles[s.t2 - 1], v, s.b);
    s.d = otherCorner(region.triangles[s.t3 - 1], v, s.a);
    for (int k = 0; k < adj.elementCount; ++k) {
        const int e = adj.elements[k];
        if (e != s.t1 && e != s.t2 && e != s.t3) s.t4 = e;
    }
    return s.a > 0 && s.b > 0 && s.c > 0 && s.d > 0 && s.t4 > 0;
}

// The neighbour of triangle t across the side joining p and q (either order).
int neighbourAcross(const RegionRecord& region, int t, int p, int q)
{
    const DelaunayTriangle& tr = region.triangles[t - 1];
    for (int j = 0; j < 3; ++j) {
        const int u = tr.corners[j], w = tr.corners[(j + 1) % 3];
        if ((u == p && w == q) || (u == q && w == p)) return region.neighbours[t - 1].n[1 + j];
    }
    return 0;
}

// Rebuilds the adjacency of outer node x after the removal of v.
bool rebuildOuterNode(RegionRecord& region, int x, int v, const int old[4], const int made[2], int diagonalPartner,
                      std::ostream& log)
{
    NodeAdjacency& adj = region.adjacency[x - 1];
    removeFromList(adj.neighbours.data(), adj.neighbourCount, v);
    for (int k = 0; k < 4; ++k) removeFromList(adj.elements.data(), adj.elementCount, old[k]);
    for (int k = 0; k < 2; ++k)
        if (cornerIndex(region.triangles[made[k] - 1], x) >= 0 && !addElement(adj, made[k], x, log)) return false;
    if (diagonalPartner > 0 && !addNeighbour(adj, diagonalPartner, x, log)) return false;
    return true;
}

bool removeOneValence4Node(RegionRecord& region, int v, const Star& s, int boundaryCount, std::ostream& log)
{
    const int outer[4] = {s.a, s.b, s.c, s.d};
    int onBoundary = 0;
    for (int x : outer)
        if (x <= boundaryCount) ++onBoundary;
    if (onBoundary == 3) return true;

    // A diagonal fits when its two triangles cover the star: on the wrong
    // diagonal of a quadrilateral that is not convex one of them folds over
    // (the signed areas of either split always add up to the star's).
    const double total = doubledArea(region, v, s.a, s.b) + doubledArea(region, v, s.b, s.c) +
                         doubledArea(region, v, s.c, s.d) + doubledArea(region, v, s.d, s.a);
    // Neither may be flat either, nor have a straight corner (three nodes
    // of a side of the region in a row).
    auto covers = [&](int p1, int p2, int p3, int q1, int q2, int q3) {
        const double first = doubledArea(region, p1, p2, p3), second = doubledArea(region, q1, q2, q3);
        const double least = kFlatShare * std::fabs(total);
        return first > least && second > least && std::fabs(first + second - total) < kSplitTolerance &&
               !hasStraightCorner(region, p1, p2, p3) && !hasStraightCorner(region, q1, q2, q3);
    };
    // Around v: outer node o[i], the triangle t[i] between o[i] and o[i + 1]
    // and its neighbour n[i] across that side.
    const int o[4] = {s.a, s.b, s.c, s.d};
    const int t[4] = {s.t1, s.t2, s.t4, s.t3};
    int n[4];
    for (int i = 0; i < 4; ++i) n[i] = neighbourAcross(region, t[i], o[i], o[(i + 1) % 4]);
    int k = 0;  // the diagonal runs from o[k] to o[k + 2]
    if (covers(s.a, s.b, s.c, s.c, s.d, s.a))
        k = 0;
    else if (covers(s.a, s.b, s.d, s.b, s.c, s.d))
        k = 1;
    else
        return true;
    // (o[k], o[k+1], o[k+2]) replaces t[k] and t[k+1], (o[k+2], o[k+3], o[k])
    // the other two, each in the lower of its two slots.
    const int made[2] = {std::min(t[k], t[k + 1]), std::min(t[k + 2], t[(k + 3) % 4])};
    const int gone[2] = {std::max(t[k], t[k + 1]), std::max(t[k + 2], t[(k + 3) % 4])};
    for (int m = 0; m < 2; ++m) {
        const int i = k + 2 * m;
        writeTriangle(region, made[m], o[i % 4], o[(i + 1) % 4], o[(i + 2) % 4], n[i % 4], n[(i + 1) % 4], made[1 - m]);
        relink(region, n[i % 4], t[i % 4], made[m]);
        relink(region, n[(i + 1) % 4], t[(i + 1) % 4], made[m]);
        region.triangles[gone[m] - 1].name = -gone[m];
    }
    if (k == 1) rotateCorners(region, made[1]);  // (d, a, b) is kept as (a, b, d)
    const int diagonal[2] = {o[k], o[k + 2]};
    const int old[4] = {s.t1, s.t2, s.t3, s.t4};
    region.nodes[v - 1].name = -v;
    NodeAdjacency& removed = region.adjacency[v - 1];
    removed.elementCount = 0;
    removed.neighbourCount = 0;
    for (int x : outer) {
        const int partner = x == diagonal[0] ? diagonal[1] : x == diagonal[1] ? diagonal[0] : 0;
        if (!rebuildOuterNode(region, x, v, old, made, partner, log)) return false;
    }
    return true;
}

}  // namespace

bool addElement(NodeAdjacency& a, int element, int /*node*/, std::ostream& /*log*/)
{
    a.elements[a.elementCount++] = element;
    return true;
}

bool addNeighbour(NodeAdjacency& a, int neighbour, int /*node*/, std::ostream& /*log*/)
{
    if (!listContains(a.neighbours.data(), a.neighbourCount, neighbour)) a.neighbours[a.neighbourCount++] = neighbour;
    return true;
}


bool removeFromList(int* slots, int& count, int value)
{
    for (int k = 0; k < count; ++k) {
        if (slots[k] != value) continue;
        for (int m = k; m + 1 < count; ++m) slots[m] = slots[m + 1];
        slots[--count] = 0;
        return true;
    }
    return false;
}

bool listContains(const int* slots, int count, int value)
{
    return std::find(slots, slots + count, value) != slots + count;
}

int sideWithCorners(const DelaunayTriangle& t, int p, int q)
{
    for (int j = 0; j < 3; ++j)
        if (t.corners[j] == p && t.corners[(j + 1) % 3] == q) return j;
    return -1;
}

void sideEndNodes(const RegionRecord& region, const BoundarySide& side, int corners, int& first, int& second)
{
    const MeshElement& el = region.elements[side.element - 1];
    first = el.w[1 + side.side];
    second = el.w[1 + (side.side + 1) % corners];
}

void storeTriangulation(RegionRecord& region, const Triangulation& tri, const std::vector<int>& deleted)
{
    const int count = static_cast<int>(tri.triangles.size());
    region.nodes.reserve(tri.nodes.size());
    region.triangles.reserve(count);
    region.neighbours.reserve(count);
    std::vector<int> number(count, 0);
    int next = 0;
    for (int t = 0; t < count; ++t)
        if (deleted[t] == 0) number[t] = ++next;
    for (int t = 0; t < count; ++t) {
        if (deleted[t] != 0) continue;
        DelaunayTriangle triangle = tri.triangles[t];
        triangle.name = number[t];
        region.triangles.push_back(triangle);
        ElementNeighbours nb = tri.neighbours[t];
        nb.n[0] = number[t];
        for (int j = 1; j <= 3; ++j)
            if (nb.n[j] > 0) nb.n[j] = number[nb.n[j] - 1];
        region.neighbours.push_back(nb);
    }
    for (std::size_t k = 4; k < tri.nodes.size(); ++k) region.nodes.push_back(tri.nodes[k]);
}

bool initNodeAdjacency(RegionRecord& region, int boundaryCount, std::ostream& log)
{
    const int nodeCount = static_cast<int>(region.nodes.size());
    for (int k = 1; k <= nodeCount; ++k) {
        NodeAdjacency a;
        a.name = k;
        region.adjacency.push_back(a);
    }
    for (const DelaunayTriangle& t : region.triangles)
        for (int c : t.corners)
            if (!addElement(region.adjacency[c - 1], t.name, c, log)) return false;
    for (int k = 1; k <= nodeCount; ++k) {
        NodeAdjacency& a = region.adjacency[k - 1];
        for (int e = 0; e < a.elementCount; ++e)
            for (int c : region.triangles[a.elements[e] - 1].corners)
                if (c != k && !addNeighbour(a, c, k, log)) return false;
    }
    for (int k = 1; k <= boundaryCount && k <= nodeCount; ++k) region.adjacency[k - 1].name = -k;
    return true;
}

bool flipDegenerateEdges(RegionRecord& region, std::ostream& log)
{
    for (int t = 1; t <= static_cast<int>(region.triangles.size()); ++t) {
        for (int j = 0; j < 3; ++j) {
            const int n = region.neighbours[t - 1].n[1 + j];
            if (n == -1) continue;
            if (n == 0) {
                log << "Error: triangle " << t << " has no neighbour record on side " << j << std::endl;
                return false;
            }
            if (n < 0) continue;
            DelaunayTriangle& tt = region.triangles[t - 1];
            const int p = tt.corners[j], q = tt.corners[(j + 1) % 3], r = tt.corners[(j + 2) % 3];
            const int o = otherCorner(region.triangles[n - 1], p, q);
            if (o <= 0) continue;
            // The stored circumcentre is in the scaled coordinates of the
            // triangulation; the test takes it in the nodes' own.
            DelaunayTriangle current = tt;
            std::ostringstream quiet;
            if (!computeCircumcircle(current, region.nodes[p - 1], region.nodes[q - 1], region.nodes[r - 1], quiet))
                continue;
            const MeshNode& on = region.nodes[o - 1];
            const double dx = on.x - current.cx, dy = on.y - current.cy;
            if (dx * dx + dy * dy > kFlipDistance) continue;

            // (p, q, r) and (q, p, o) become (q, r, o) and (r, p, o).
            const int nqr = neighbourAcross(region, t, q, r), nrp = neighbourAcross(region, t, r, p);
            const int npo = neighbourAcross(region, n, p, o), noq = neighbourAcross(region, n, o, q);
            DelaunayTriangle first = tt, second = region.triangles[n - 1];
            first.status = -1;
            second.status = -1;
            first.spare = {};
            second.spare = {};
            first.corners = {q, r, o};
            second.corners = {r, p, o};
            if (!computeCircumcircle(first, region.nodes[q - 1], region.nodes[r - 1], region.nodes[o - 1], log))
                return false;
            if (!computeCircumcircle(second, region.nodes[r - 1], region.nodes[p - 1], region.nodes[o - 1], log))
                return false;
            region.triangles[t - 1] = first;
            region.triangles[n - 1] = second;
            writeTriangle(region, t, q, r, o, nqr, n, noq);
            writeTriangle(region, n, r, p, o, nrp, npo, t);
            relink(region, noq, n, t);
            relink(region, nrp, t, n);
            NodeAdjacency& ap = region.adjacency[p - 1];
            NodeAdjacency& aq = region.adjacency[q - 1];
            removeFromList(ap.elements.data(), ap.elementCount, t);
            removeFromList(aq.elements.data(), aq.elementCount, n);
            removeFromList(ap.neighbours.data(), ap.neighbourCount, q);
            removeFromList(aq.neighbours.data(), aq.neighbourCount, p);
            if (!addElement(region.adjacency[r - 1], n, r, log) || !addElement(region.adjacency[o - 1], t, o, log) ||
                !addNeighbour(region.adjacency[r - 1], o, r, log) || !addNeighbour(region.adjacency[o - 1], r, o, log))
                return false;
        }
    }
    return true;
}

bool removeValence4Nodes(RegionRecord& region, int boundaryCount, std::ostream& log)
{
    bool removedAny = false;
    for (int k = 1; k <= static_cast<int>(region.adjacency.size()); ++k) {
        const NodeAdjacency& adj = region.adjacency[k - 1];
        if (adj.elementCount != 4 || adj.name <= 0) continue;
        Star s;
        if (!starOfValence4(region, adj, k, s)) continue;
        if (!removeOneValence4Node(region, k, s, boundaryCount, log)) return false;
        if (region.nodes[k - 1].name < 0) removedAny = true;
    }
    if (removedAny) updateAdjacencyLists(region);
    return true;
}

void updateAdjacencyLists(RegionRecord& region)
{
    const int nodeCount = static_cast<int>(region.nodes.size());
    const int triangleCount = static_cast<int>(region.triangles.size());
    std::vector<int> nodeNumber(nodeCount + 1, 0), triangleNumber(triangleCount + 1, 0);
    int next = 0;
    for (int k = 1; k <= nodeCount; ++k)
        if (region.nodes[k - 1].name >= 1) nodeNumber[k] = ++next;
    next = 0;
    for (int t = 1; t <= triangleCount; ++t)
        if (region.triangles[t - 1].name >= 1) triangleNumber[t] = ++next;
    auto mapTriangle = [&](int t) { return t > 0 && t <= triangleCount ? triangleNumber[t] : t; };
    auto mapNode = [&](int n) { return n > 0 && n <= nodeCount ? nodeNumber[n] : n; };

    std::vector<DelaunayTriangle> triangles;
    std::vector<ElementNeighbours> neighbours;
    triangles.reserve(next);
    neighbours.reserve(next);
    for (int t = 1; t <= triangleCount; ++t) {
        if (triangleNumber[t] == 0) continue;
        DelaunayTriangle tr = region.triangles[t - 1];
        tr.name = triangleNumber[t];
        for (int& c : tr.corners) c = mapNode(c);
        triangles.push_back(tr);
        ElementNeighbours nb = region.neighbours[t - 1];
        nb.n[0] = triangleNumber[t];
        for (int j = 1; j <= 3; ++j) nb.n[j] = mapTriangle(nb.n[j]);
        neighbours.push_back(nb);
    }
    std::vector<MeshNode> nodes;
    std::vector<NodeAdjacency> adjacency;
    nodes.reserve(region.nodes.size());
    adjacency.reserve(region.adjacency.size());
    for (int k = 1; k <= nodeCount; ++k) {
        if (nodeNumber[k] == 0) continue;
        MeshNode node = region.nodes[k - 1];
        node.name = nodeNumber[k];
        nodes.push_back(node);
        if (k > static_cast<int>(region.adjacency.size())) continue;
        NodeAdjacency a = std::move(region.adjacency[k - 1]);
        a.name = a.name < 0 ? -nodeNumber[k] : nodeNumber[k];
        for (int m = 0; m < a.neighbourCount; ++m) a.neighbours[m] = mapNode(a.neighbours[m]);
        for (int m = 0; m < a.elementCount; ++m) a.elements[m] = mapTriangle(a.elements[m]);
        adjacency.push_back(std::move(a));
    }
    region.triangles.swap(triangles);
    region.neighbours.swap(neighbours);
    region.nodes.swap(nodes);
    region.adjacency.swap(adjacency);
}

void smoothTriangleNodes(RegionRecord& region)
{
    const int elementCount = static_cast<int>(region.elements.size());
    std::vector<double> area(elementCount), cx(elementCount), cy(elementCount);
    for (int e = 0; e < elementCount; ++e) {
        const MeshElement& el = region.elements[e];
        const MeshNode& p = region.nodes[el.w[1] - 1];
        const MeshNode& q = region.nodes[el.w[2] - 1];
        const MeshNode& r = region.nodes[el.w[3] - 1];
        area[e] = ((q.x * r.y - r.x * q.y) + (p.x * q.y - q.x * p.y) + (r.x * p.y - p.x * r.y)) / 2.0;
        cx[e] = (p.x + q.x + r.x) / 3.0;
        cy[e] = (p.y + q.y + r.y) / 3.0;
    }
    for (std::size_t k = 0; k < region.adjacency.size() && k < region.nodes.size(); ++k) {
        const NodeAdjacency& a = region.adjacency[k];
        if (a.name < 0 || a.elementCount == 0) continue;
        double sum = 0.0, sx = 0.0, sy = 0.0;
        for (int m = 0; m < a.elementCount; ++m) {
            const int e = a.elements[m] - 1;
            if (e < 0 || e >= elementCount) continue;
            sum += area[e];
            sx += area[e] * cx[e];
            sy += area[e] * cy[e];
        }
        if (sum == 0.0) continue;
        region.nodes[k].x = sx / sum;
        region.nodes[k].y = sy / sum;
    }
}

}  // namespace tessaro
