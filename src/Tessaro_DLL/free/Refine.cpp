#include "Tessaro_DLL/free/Refine.h"

#include <algorithm>
#include <cmath>

namespace tessaro {

namespace {

constexpr double kKeyTolerance = 1e-30;
constexpr double kStaleRadius = 1e-6;
constexpr double kDegenerate = 1e-10;

// Heap entry h (0-based) sits at position h + 2.
void siftUp(RefinementQueue& q, int position)
{
    auto& e = q.entries;
    while (position > 2) {
        const int parent = (position - 2 - 1) / 2 + 2;
        if (!(e[position].key < e[parent].key + kKeyTolerance)) break;
        std::swap(e[position], e[parent]);
        position = parent;
    }
}

void siftDown(RefinementQueue& q, int position)
{
    auto& e = q.entries;
    for (;;) {
        const int first = 2 * (position - 2) + 1 + 2;
        if (first > q.count) return;
        // The grandchildren lie side by side: asked for now, they are at
        // hand when the next step compares them.
        const int grandchild = 2 * (first - 2) + 1 + 2;
        if (grandchild + 3 <= q.count) {
            __builtin_prefetch(&e[grandchild]);
            __builtin_prefetch(&e[grandchild + 3]);
        }
        int child = first;
        if (first + 1 <= q.count && e[first + 1].key < e[first].key + kKeyTolerance) child = first + 1;
        if (!(e[position].key > e[child].key)) return;
        std::swap(e[position], e[child]);
        position = child;
    }
}

void place(RefinementQueue& q, int index, double key, bool append)
{
    ++q.count;
    q.highWater = std::max(q.highWater, q.count);
    if (append || static_cast<int>(q.entries.size()) <= q.count) q.entries.resize(q.count + 1);
    q.entries[q.count] = RefinementQueue::Entry{key, index + 1};
    siftUp(q, q.count);
}

struct Barycentric {
    double det = 0.0, l2 = 0.0, l3 = 0.0;
};

Barycentric barycentric(const Triangulation& tri, const DelaunayTriangle& t, double px, double py)
{
    const MeshNode& a = tri.nodeAt(t.corners[0]);
    const MeshNode& b = tri.nodeAt(t.corners[1]);
    const MeshNode& c = tri.nodeAt(t.corners[2]);
    Barycentric r;
    r.det = (c.y - a.y) * (b.x - a.x) - (b.y - a.y) * (c.x - a.x);
    if (std::fabs(r.det) < kDegenerate) return r;
    r.l2 = ((px - a.x) * (c.y - a.y) - (py - a.y) * (c.x - a.x)) / r.det;
    r.l3 = ((py - a.y) * (b.x - a.x) - (px - a.x) * (b.y - a.y)) / r.det;
    return r;
}

// 1 inside, 0 outside, -1 degenerate (logged).
int holds(const Triangulation& tri, int index, std::ostream& log, double x, double y)
{
    const Barycentric b = barycentric(tri, tri.triangles[index], x, y);
    if (std::fabs(b.det) < kDegenerate) {
        log << std::endl << "Error: det=0 in transition calculation" << std::endl << std::endl;
        return -1;
    }
    return b.l2 > -kKeyTolerance && b.l3 > -kKeyTolerance && 1.0 - b.l2 - b.l3 > -kKeyTolerance ? 1 : 0;
}

// The circumcentre of a thin triangle lies many triangles away: a walk
// from `from` across the side that has the point outside, until a triangle
// holds it; -1 when the walk reaches the region's boundary or does not
// settle.
int walkToHolder(int from, const Triangulation& tri, std::ostream& log, double x, double y)
{
    int t = from;
    const int limit = static_cast<int>(tri.triangles.size());
    for (int steps = 0; steps < limit; ++steps) {
        const DelaunayTriangle& tr = tri.triangles[t];
        int next = 0;
        for (int j = 0; j < 3 && next == 0; ++j) {
            const MeshNode& p = tri.nodeAt(tr.corners[j]);
            const MeshNode& q = tri.nodeAt(tr.corners[(j + 1) % 3]);
            if ((q.x - p.x) * (y - p.y) - (q.y - p.y) * (x - p.x) >= 0.0) continue;
            next = tri.neighbours[t].n[1 + j] > 0 ? tri.neighbours[t].n[1 + j] : -1;
        }
        if (next == 0) return holds(tri, t, log, x, y) == 1 ? t : -1;
        if (next < 0) return -1;
        t = next - 1;
    }
    return -1;
}

}  // namespace

void heapPush(RefinementQueue& queue, int index, double key) { place(queue, index, key, true); }
void heapInsert(RefinementQueue& queue, int index, double key) { place(queue, index, key, false); }

void heapPopLargest(RefinementQueue& queue)
{
    if (queue.count < 2) return;
    queue.entries[2] = queue.entries[queue.count];
    --queue.count;
    if (queue.count >= 2) siftDown(queue, 2);
}

std::vector<int> collectNearbyTriangles(int start, const std::vector<ElementNeighbours>& neighbours)
{
    std::vector<int> list;
    auto listed = [&](int u) { return u == start || std::find(list.begin(), list.end(), u) != list.end(); };
    for (int j = 1; j <= 3; ++j) {
        const int u = neighbours[start - 1].n[j];
        if (u > 0 && !listed(u)) list.push_back(u);
    }
    for (int ring = 0; ring < 2; ++ring) {
        const std::size_t size = list.size();
        for (std::size_t i = 0; i < size; ++i)
            for (int j = 1; j <= 3; ++j) {
                const int u = neighbours[list[i] - 1].n[j];
                if (u > 0 && !listed(u)) list.push_back(u);
            }
    }
    return list;
}

int locatePointInTriangles(int start, const Triangulation& tri, std::ostream& log, double x, double y)
{
    if (start == 0) {
        for (int t = 0; t < static_cast<int>(tri.triangles.size()); ++t) {
            const int h = holds(tri, t, log, x, y);
            if (h < 0) return -1;
            if (h == 1) return t;
        }
        return -1;
    }
    int h = holds(tri, start - 1, log, x, y);
    if (h != 0) return h == 1 ? start - 1 : -1;
    for (int u : collectNearbyTriangles(start, tri.neighbours)) {
        h = holds(tri, u - 1, log, x, y);
        if (h != 0) return h == 1 ? u - 1 : -1;
    }
    return walkToHolder(start - 1, tri, log, x, y);
}

bool encroachesBoundarySegment(int index, const Triangulation& tri, const SegmentLookup& segments, double x, double y)
{
    if (index < 0) return false;
    const DelaunayTriangle& t = tri.triangles[index];
    for (int j = 0; j < 3; ++j) {
        const int p = t.corners[j], q = t.corners[(j + 1) % 3];
        if (segments.firstFromTo(p, q) < 0) continue;
        const MeshNode& a = tri.nodeAt(p);
        const MeshNode& b = tri.nodeAt(q);
        const double mx = 0.5 * (a.x + b.x), my = 0.5 * (a.y + b.y);
        if (std::hypot(x - mx, y - my) < std::hypot(a.x - mx, a.y - my)) return true;
    }
    return false;
}

bool refineTriangulation(const std::vector<MeshNode>& boundaryNodes, const std::vector<BoundarySegment>& segments,
                         Triangulation& tri, const std::vector<int>& deleted, RefinementQueue& queue,
                         long long nodeLimit, std::ostream& log)
{
    queue = RefinementQueue{};
    for (int t = 0; t < static_cast<int>(tri.triangles.size()); ++t) heapPush(queue, t, -tri.triangles[t].r2);
    for (std::size_t k = 0; k < boundaryNodes.size(); ++k) tri.nodes[k + 4].size = boundaryNodes[k].size;
    const SegmentLookup lookup(segments);

    for (;;) {
        if (queue.count == 1) {
            log << std::endl << " used heap = " << queue.highWater << std::endl << std::endl;
            return true;
        }
        const int t = queue.entries[2].id - 1;
        const double r2 = -queue.entries[2].key;
        heapPopLargest(queue);
        if (t < static_cast<int>(deleted.size()) && deleted[t] == 1) continue;
        const DelaunayTriangle& triangle = tri.triangles[t];
        if (std::fabs(r2 - triangle.r2) > kStaleRadius) {
            heapInsert(queue, t, -triangle.r2);
            continue;
        }
        const MeshNode& n1 = tri.nodeAt(triangle.corners[0]);
        const MeshNode& n2 = tri.nodeAt(triangle.corners[1]);
        const MeshNode& n3 = tri.nodeAt(triangle.corners[2]);
        const double h = (n1.size + n2.size + n3.size) / 3.0;
        if (!(r2 > h * h)) continue;
        const double px = triangle.cx, py = triangle.cy;
        const int s = locatePointInTriangles(t + 1, tri, log, px, py);
        if (s < 0 || encroachesBoundarySegment(s, tri, lookup, px, py)) continue;

        const int name = tri.nodes.back().name + 1;
        if (static_cast<long long>(name) > nodeLimit) return false;
        const DelaunayTriangle& host = tri.triangles[s];
        const Barycentric b = barycentric(tri, host, px, py);
        const double size = (1.0 - b.l2 - b.l3) * tri.nodeAt(host.corners[0]).size +
                            b.l2 * tri.nodeAt(host.corners[1]).size + b.l3 * tri.nodeAt(host.corners[2]).size;
        tri.nodes.push_back(MeshNode{name, px, py, size});
        if (!insertDelaunayPoint(name - 1, tri, &queue, s + 1, log, px, py)) tri.nodes.pop_back();
    }
}

}  // namespace tessaro
