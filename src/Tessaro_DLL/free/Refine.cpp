#include "Tessaro_DLL/free/Refine.h"

#include <algorithm>
#include <cmath>

namespace tessaro {

namespace {

constexpr double kKeyTolerance = 1e-30;
constexpr double kStaleRadius = 1e-6;
constexpr double kDegenerate = 1e-10;
// Largest corner, in radians, under which a new node may see a boundary segment.
const double kBluntCorner = 150.0 * std::acos(-1.0) / 180.0;

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

// Target sizes that grow towards long boundary segments. The sizes
// interpolated from the boundary nodes fill a region between closely and
// widely divided sides at the close spacing right up to the wide sides, so
// the triangles on a long segment get flat. The field bounds a size from
// above by the boundary, min over segments of (size + g * distance), and
// lets it grow near a segment up to max over segments of (size - g *
// distance), with a segment's size counted as the boundary nodes' target
// sizes are; where every segment has the same size the second is not
// above the interpolated size, which then stands. Both are kept on a
// grid of square cells over the region (a few cells per segment) and
// spread from the segments by two chamfer sweeps, so building it costs
// time proportional to the boundary and a look-up is constant.
class GradedSizeField {
public:
    GradedSizeField(const std::vector<MeshNode>& boundaryNodes, const std::vector<BoundarySegment>& segments)
    {
        if (segments.empty() || boundaryNodes.empty() || !placeGrid(boundaryNodes, segments.size())) return;
        writeSegments(boundaryNodes, segments);
        sweep();
        ready_ = true;
    }

    // The graded size at (x, y), or 0 when the field is empty.
    double at(double x, double y) const
    {
        if (!ready_) return 0.0;
        const double fx = std::clamp((x - x0_) / cell_, 0.0, nx_ - 1.0);
        const double fy = std::clamp((y - y0_) / cell_, 0.0, ny_ - 1.0);
        const int i = std::min(static_cast<int>(fx), nx_ - 2), j = std::min(static_cast<int>(fy), ny_ - 2);
        const double u = fx - i, v = fy - j;
        auto blend = [&](const std::vector<double>& f) {
            return (1 - u) * (1 - v) * f[index(i, j)] + u * (1 - v) * f[index(i + 1, j)] +
                   (1 - u) * v * f[index(i, j + 1)] + u * v * f[index(i + 1, j + 1)];
        };
        return std::max(0.0, std::min(blend(low_), blend(high_)));
    }

private:
    static constexpr double kGrowth = 0.5;
    static constexpr double kCellsPerRootSegment = 2.0;
    static constexpr int kMinCells = 8;
    static constexpr int kMaxCells = 1024;
    static constexpr double kFar = 1e300;

    std::size_t index(int i, int j) const { return static_cast<std::size_t>(j) * nx_ + i; }

    // The grid over the boundary's bounding box: square cells, a few per
    // segment across; false when the boundary has no extent.
    bool placeGrid(const std::vector<MeshNode>& boundaryNodes, std::size_t segmentCount)
    {
        double xMax = -1e300, yMax = -1e300;
        x0_ = y0_ = 1e300;
        for (const MeshNode& n : boundaryNodes) {
            x0_ = std::min(x0_, n.x), y0_ = std::min(y0_, n.y);
            xMax = std::max(xMax, n.x), yMax = std::max(yMax, n.y);
        }
        const double extent = std::max(xMax - x0_, yMax - y0_);
        if (!(extent > 0.0)) return false;
        const int across =
            std::clamp(static_cast<int>(std::ceil(kCellsPerRootSegment * std::sqrt(static_cast<double>(segmentCount)))),
                       kMinCells, kMaxCells);
        cell_ = extent / across;
        nx_ = static_cast<int>(std::ceil((xMax - x0_) / cell_)) + 1;
        ny_ = static_cast<int>(std::ceil((yMax - y0_) / cell_)) + 1;
        nx_ = std::max(nx_, 2), ny_ = std::max(ny_, 2);
        low_.assign(static_cast<std::size_t>(nx_) * ny_, kFar);
        high_.assign(low_.size(), -kFar);
        return true;
    }

    // Each segment's bounds at the grid points of the cells it passes.
    void writeSegments(const std::vector<MeshNode>& boundaryNodes, const std::vector<BoundarySegment>& segments)
    {
        const int count = static_cast<int>(boundaryNodes.size());
        for (const BoundarySegment& seg : segments) {
            if (seg.start < 1 || seg.end < 1 || seg.start > count || seg.end > count) continue;
            const MeshNode& a = boundaryNodes[seg.start - 1];
            const MeshNode& b = boundaryNodes[seg.end - 1];
            // A segment's size as the boundary nodes' target sizes count it.
            const double length = std::hypot(b.x - a.x, b.y - a.y), size = length / std::sqrt(3.0);
            const int samples = static_cast<int>(std::ceil(length / cell_)) + 1;
            for (int k = 0; k <= samples; ++k) {
                const double u = static_cast<double>(k) / samples;
                const int i0 = std::clamp(static_cast<int>((a.x + u * (b.x - a.x) - x0_) / cell_), 0, nx_ - 2);
                const int j0 = std::clamp(static_cast<int>((a.y + u * (b.y - a.y) - y0_) / cell_), 0, ny_ - 2);
                for (int j = j0; j <= j0 + 1; ++j)
                    for (int i = i0; i <= i0 + 1; ++i) {
                        const double d = distanceToSegment(x0_ + i * cell_, y0_ + j * cell_, a, b);
                        const std::size_t at = index(i, j);
                        low_[at] = std::min(low_[at], size + kGrowth * d);
                        high_[at] = std::max(high_[at], size - kGrowth * d);
                    }
            }
        }
    }

    static double distanceToSegment(double x, double y, const MeshNode& a, const MeshNode& b)
    {
        const double dx = b.x - a.x, dy = b.y - a.y, l2 = dx * dx + dy * dy;
        double t = l2 > 0.0 ? ((x - a.x) * dx + (y - a.y) * dy) / l2 : 0.0;
        t = std::clamp(t, 0.0, 1.0);
        return std::hypot(x - a.x - t * dx, y - a.y - t * dy);
    }

    void relax(std::size_t at, int i, int j, double step)
    {
        if (i < 0 || j < 0 || i >= nx_ || j >= ny_) return;
        const std::size_t from = index(i, j);
        low_[at] = std::min(low_[at], low_[from] + step);
        high_[at] = std::max(high_[at], high_[from] - step);
    }

    void sweep()
    {
        const double straight = kGrowth * cell_, diagonal = straight * std::sqrt(2.0);
        for (int j = 0; j < ny_; ++j)
            for (int i = 0; i < nx_; ++i) {
                const std::size_t at = index(i, j);
                relax(at, i - 1, j, straight), relax(at, i, j - 1, straight);
                relax(at, i - 1, j - 1, diagonal), relax(at, i + 1, j - 1, diagonal);
            }
        for (int j = ny_ - 1; j >= 0; --j)
            for (int i = nx_ - 1; i >= 0; --i) {
                const std::size_t at = index(i, j);
                relax(at, i + 1, j, straight), relax(at, i, j + 1, straight);
                relax(at, i + 1, j + 1, diagonal), relax(at, i - 1, j + 1, diagonal);
            }
    }

    double x0_ = 0.0, y0_ = 0.0, cell_ = 1.0;
    int nx_ = 0, ny_ = 0;
    bool ready_ = false;
    std::vector<double> low_, high_;
};

// True when a node at (x, y) would join a boundary segment on the rim of its
// cavity (the triangles whose circumcircle holds the point, reached from
// `host` without crossing a boundary segment) under a corner of more than
// kBluntCorner: such a node, close to a long segment, leaves a flat
// triangle on it.
// `cavity` and `seen` are scratch lists kept between calls.
bool seesSegmentBluntly(int host, const Triangulation& tri, const SegmentLookup& segments, double x, double y,
                        std::vector<int>& cavity, std::vector<int>& seen)
{
    cavity.assign(1, host);
    seen.assign(1, host);
    const double limit = std::cos(kBluntCorner);
    for (std::size_t k = 0; k < cavity.size(); ++k) {
        const int t = cavity[k];
        const DelaunayTriangle& tr = tri.triangles[t];
        for (int j = 0; j < 3; ++j) {
            const int p = tr.corners[j], q = tr.corners[(j + 1) % 3];
            if (segments.firstFromTo(p, q) >= 0 || segments.firstFromTo(q, p) >= 0) {
                const MeshNode& a = tri.nodeAt(p);
                const MeshNode& b = tri.nodeAt(q);
                const double ux = a.x - x, uy = a.y - y, vx = b.x - x, vy = b.y - y;
                const double lengths = std::sqrt((ux * ux + uy * uy) * (vx * vx + vy * vy));
                if (lengths > 0.0 && ux * vx + uy * vy < limit * lengths) return true;
                continue;
            }
            const int u = tri.neighbours[t].n[1 + j] - 1;
            if (u < 0 || std::find(seen.begin(), seen.end(), u) != seen.end()) continue;
            seen.push_back(u);
            const DelaunayTriangle& other = tri.triangles[u];
            if ((x - other.cx) * (x - other.cx) + (y - other.cy) * (y - other.cy) < other.r2) cavity.push_back(u);
        }
    }
    return false;
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
    const GradedSizeField graded(boundaryNodes, segments);
    std::vector<int> cavity, seen;

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
        if (seesSegmentBluntly(s, tri, lookup, px, py, cavity, seen)) continue;

        const int name = tri.nodes.back().name + 1;
        if (static_cast<long long>(name) > nodeLimit) return false;
        const DelaunayTriangle& host = tri.triangles[s];
        const Barycentric b = barycentric(tri, host, px, py);
        const double interpolated = (1.0 - b.l2 - b.l3) * tri.nodeAt(host.corners[0]).size +
                                    b.l2 * tri.nodeAt(host.corners[1]).size + b.l3 * tri.nodeAt(host.corners[2]).size;
        const double size = std::max(interpolated, graded.at(px, py));
        tri.nodes.push_back(MeshNode{name, px, py, size});
        if (!insertDelaunayPoint(name - 1, tri, &queue, s + 1, log, px, py)) tri.nodes.pop_back();
    }
}

}  // namespace tessaro
