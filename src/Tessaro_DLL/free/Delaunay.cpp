#include "Tessaro_DLL/free/Delaunay.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <unordered_set>

#include "Tessaro_DLL/free/Refine.h"
#include "Tessaro_DLL/model/Extent.h"

namespace tessaro {

namespace {

// Boundary nodes closer than this share of the boundary's extent are one
// node: ends of consecutive sides computed from the same point, or from an
// arc's end, differ by round-off only.
constexpr double kMergeShare = 1e-9;
// Normalised coordinates are rounded to multiples of 2^-30, so that a
// region and its scaled copy are meshed from the same numbers.
constexpr double kSnap = 1073741824.0;
constexpr double kCircleTolerance = 1e-10;  // search without a start triangle
constexpr double kFlatDeterminant = 1e-30;

long long cellKey(long long i, long long j)
{
    // Unsigned arithmetic: the shift of a large or negative cell index is
    // then defined (equal keys of different cells only cost a comparison).
    const unsigned long long key =
        (static_cast<unsigned long long>(i) << 32) ^ (static_cast<unsigned long long>(j) & 0xffffffffULL);
    return static_cast<long long>(key);
}

// Twice the signed area of (a, b, p): positive when p lies left of a->b.
double orientation(const MeshNode& a, const MeshNode& b, double px, double py)
{
    return (b.x - a.x) * (py - a.y) - (b.y - a.y) * (px - a.x);
}

bool insideCircle(const DelaunayTriangle& t, double x, double y, double tolerance)
{
    const double dx = t.cx - x, dy = t.cy - y;
    return dx * dx + dy * dy <= t.r2 + tolerance;
}

bool strictlyInsideCircle(const DelaunayTriangle& t, double x, double y)
{
    const double dx = t.cx - x, dy = t.cy - y;
    return dx * dx + dy * dy < t.r2;
}

// Walks from the last triangle towards (x, y) across the side that has the
// point on its outer side; 0-based index of a triangle holding the point, -1
// when the walk leaves the triangulation or does not settle.
int walkToPoint(const Triangulation& tri, double x, double y)
{
    const int count = static_cast<int>(tri.triangles.size());
    if (count == 0) return -1;
    int t = count - 1;
    for (int steps = 0; steps <= count; ++steps) {
        const DelaunayTriangle& tr = tri.triangles[t];
        int next = -2;
        for (int j = 0; j < 3; ++j) {
            const MeshNode& p = tri.nodeAt(tr.corners[j]);
            const MeshNode& q = tri.nodeAt(tr.corners[(j + 1) % 3]);
            if (orientation(p, q, x, y) < 0.0) {
                next = tri.neighbours[t].n[1 + j];
                break;
            }
        }
        if (next == -2) return t;
        if (next <= 0) return -1;
        t = next - 1;
    }
    return -1;
}

void beginMarks(Triangulation& tri)
{
    if (tri.marks.size() < tri.triangles.size()) tri.marks.resize(tri.triangles.size() * 2 + 16, 0);
    if (++tri.stamp == 0) {
        std::fill(tri.marks.begin(), tri.marks.end(), 0);
        std::fill(tri.cornerStamp.begin(), tri.cornerStamp.end(), 0);
        tri.stamp = 1;
    }
}

bool marked(const Triangulation& tri, int index) { return tri.marks[index] == tri.stamp; }
void mark(Triangulation& tri, int index) { tri.marks[index] = tri.stamp; }

// Cavity of a point without a start triangle: every triangle whose
// circumcircle holds the point within 1e-10, in list order. It is grown
// through neighbours from the triangle holding the point; when no triangle
// is found that way the whole list is tested.
void cavityFromPoint(Triangulation& tri, double x, double y, std::vector<int>& cavity)
{
    cavity.clear();
    const int start = walkToPoint(tri, x, y);
    if (start < 0 || !insideCircle(tri.triangles[start], x, y, kCircleTolerance)) {
        for (int t = 0; t < static_cast<int>(tri.triangles.size()); ++t)
            if (insideCircle(tri.triangles[t], x, y, kCircleTolerance)) cavity.push_back(t);
        return;
    }
    beginMarks(tri);
    std::vector<int> stack{start};
    mark(tri, start);
    while (!stack.empty()) {
        const int t = stack.back();
        stack.pop_back();
        cavity.push_back(t);
        for (int j = 1; j <= 3; ++j) {
            const int u = tri.neighbours[t].n[j];
            if (u <= 0 || marked(tri, u - 1)) continue;
            mark(tri, u - 1);
            if (insideCircle(tri.triangles[u - 1], x, y, kCircleTolerance)) stack.push_back(u - 1);
        }
    }
    std::sort(cavity.begin(), cavity.end());
}

// Cavity from start triangle s (1-based): s, then every triangle reached
// through neighbours whose circumcircle strictly holds the point.
void cavityFromStart(Triangulation& tri, int s, double x, double y, std::vector<int>& cavity)
{
    cavity.clear();
    beginMarks(tri);
    cavity.push_back(s - 1);
    mark(tri, s - 1);
    std::vector<int> stack;
    auto pushPassing = [&](int t) {
        for (int j = 1; j <= 3; ++j) {
            const int u = tri.neighbours[t].n[j];
            if (u <= 0 || marked(tri, u - 1)) continue;
            if (!strictlyInsideCircle(tri.triangles[u - 1], x, y)) continue;
            mark(tri, u - 1);
            stack.push_back(u - 1);
        }
    };
    pushPassing(s - 1);
    while (!stack.empty()) {
        const int t = stack.back();
        stack.pop_back();
        cavity.push_back(t);
        pushPassing(t);
    }
}

struct RimSide {
    int cavityTriangle;  // 0-based
    int outer;           // neighbour across the side, -1 when none
    int p, q;
    DelaunayTriangle made;
};

void writeFlatTriangle(std::ostream& log, double det, int n1, int n2, int n3)
{
    log << std::endl;
    log << "Error: triangle area is negative or almost zero. Det= " << det << std::endl;
    log << "nd1=" << n1 << "  "
        << "nd2= " << n2 << "  "
        << " nd3= " << n3 << std::endl;
    log << " Process is terminated" << std::endl;
    log << std::endl;
}

// Moves triangle `from` (0-based) into slot `to`, renaming it and pointing
// its neighbours at the new slot.
void moveTriangle(Triangulation& tri, int from, int to)
{
    for (int j = 1; j <= 3; ++j) {
        const int u = tri.neighbours[from].n[j];
        if (u <= 0) continue;
        for (int k = 1; k <= 3; ++k)
            if (tri.neighbours[u - 1].n[k] == from + 1) tri.neighbours[u - 1].n[k] = to + 1;
    }
    tri.triangles[to] = tri.triangles[from];
    tri.neighbours[to] = tri.neighbours[from];
    tri.triangles[to].name = to + 1;
    tri.neighbours[to].n[0] = to + 1;
}

// The sides of the cavity's rim with the triangle each gets, every
// circumcircle computed before anything changes. False (logged) when a new
// triangle would be flat or clockwise.
bool buildRim(Triangulation& tri, const std::vector<int>& cavity, const MeshNode& point, std::vector<RimSide>& rim,
              std::ostream& log)
{
    beginMarks(tri);
    for (int c : cavity) mark(tri, c);
    rim.reserve(cavity.size() + 2);
    for (int c : cavity) {
        for (int j = 0; j < 3; ++j) {
            const int n = tri.neighbours[c].n[1 + j];
            if (n > 0 && marked(tri, n - 1)) continue;
            RimSide side{c, n, tri.triangles[c].corners[j], tri.triangles[c].corners[(j + 1) % 3], {}};
            side.made.status = -1;
            side.made.corners = {side.p, side.q, point.name};
            if (!computeCircumcircle(side.made, tri.nodeAt(side.p), tri.nodeAt(side.q), point, log)) return false;
            rim.push_back(side);
        }
    }
    return true;
}

// Appends the rim's triangles, linked to the triangles outside the rim and
// among themselves: side 1 (q, new) of one is side 2 (new, p) of the one
// starting at q.
void appendRimTriangles(Triangulation& tri, std::vector<RimSide>& rim)
{
    const int base = static_cast<int>(tri.triangles.size());
    const std::size_t slots = tri.nodes.size() + 5;
    if (tri.firstCornerOf.size() < slots) {
        tri.firstCornerOf.resize(2 * slots, 0);
        tri.cornerStamp.resize(2 * slots, 0);
    }
    auto slotOf = [](int corner) { return static_cast<std::size_t>(corner + 4); };
    for (int k = 0; k < static_cast<int>(rim.size()); ++k) {
        RimSide& side = rim[k];
        const int t = base + k + 1;
        if (side.outer > 0) {
            ElementNeighbours& outer = tri.neighbours[side.outer - 1];
            for (int j = 1; j <= 3; ++j)
                if (outer.n[j] == side.cavityTriangle + 1) {
                    outer.n[j] = t;
                    break;
                }
        }
        side.made.name = t;
        tri.triangles.push_back(side.made);
        ElementNeighbours nb;
        nb.n[0] = t;
        nb.n[1] = side.outer;
        nb.n[2] = -1;
        nb.n[3] = -1;
        tri.neighbours.push_back(nb);
        tri.firstCornerOf[slotOf(side.p)] = base + k;
        tri.cornerStamp[slotOf(side.p)] = tri.stamp;
    }
    for (int k = 0; k < static_cast<int>(rim.size()); ++k) {
        const std::size_t slot = slotOf(rim[k].q);
        if (tri.cornerStamp[slot] != tri.stamp) continue;
        const int other = tri.firstCornerOf[slot];
        tri.neighbours[base + k].n[2] = other + 1;
        tri.neighbours[other].n[3] = base + k + 1;
    }
}

}  // namespace

SegmentLookup::SegmentLookup(const std::vector<BoundarySegment>& segments) : segments_(segments)
{
    for (int k = 0; k < static_cast<int>(segments.size()); ++k) {
        byStart_[segments[k].start].push_back(k);
        firstByEnd_.emplace(segments[k].end, k);
    }
}

int SegmentLookup::firstFromTo(int start, int end) const
{
    const auto it = byStart_.find(start);
    if (it == byStart_.end()) return -1;
    for (int k : it->second)
        if (segments_[k].end == end) return k;
    return -1;
}

int SegmentLookup::countFromTo(int start, int end) const
{
    const auto it = byStart_.find(start);
    if (it == byStart_.end()) return 0;
    int count = 0;
    for (int k : it->second)
        if (segments_[k].end == end) ++count;
    return count;
}

int SegmentLookup::firstEndingAt(int end) const
{
    const auto it = firstByEnd_.find(end);
    return it == firstByEnd_.end() ? -1 : it->second;
}

void mergeCoincidentNodes(std::vector<MeshNode>& nodes, std::vector<BoundarySegment>& segments)
{
    const int n = static_cast<int>(nodes.size());
    const double extent = extentOf(nodes);
    // Cells are counted from the first node: every node lies within the
    // extent of it.
    const double xMin = n > 0 ? nodes[0].x : 0.0, yMin = n > 0 ? nodes[0].y : 0.0;
    const double mergeDistance = extent > 0.0 ? kMergeShare * extent : 1.0;
    // Spatial grid of the merge distance as cell size: nodes within that
    // distance lie in the same or a neighbouring cell.
    std::unordered_map<long long, std::vector<int>> grid;
    auto cellOf = [&](double v, double origin) {
        return static_cast<long long>(std::floor((v - origin) / mergeDistance));
    };
    for (int i = 0; i < n; ++i) grid[cellKey(cellOf(nodes[i].x, xMin), cellOf(nodes[i].y, yMin))].push_back(i);

    std::vector<int> mapsTo(n);
    for (int i = 0; i < n; ++i) {
        mapsTo[i] = i;
        const long long ci = cellOf(nodes[i].x, xMin), cj = cellOf(nodes[i].y, yMin);
        for (long long di = -1; di <= 1; ++di)
            for (long long dj = -1; dj <= 1; ++dj) {
                const auto it = grid.find(cellKey(ci + di, cj + dj));
                if (it == grid.end()) continue;
                for (int j : it->second)
                    if (j < mapsTo[i] && std::hypot(nodes[i].x - nodes[j].x, nodes[i].y - nodes[j].y) < mergeDistance)
                        mapsTo[i] = j;
            }
    }
    std::vector<int> number(n, 0);
    std::vector<MeshNode> kept;
    kept.reserve(n);
    for (int i = 0; i < n; ++i) {
        if (mapsTo[i] != i) continue;
        kept.push_back(nodes[i]);
        kept.back().name = static_cast<int>(kept.size());
        number[i] = kept.back().name;
    }
    // A node merges into a lower one, so its target is numbered already.
    for (int i = 0; i < n; ++i)
        if (mapsTo[i] != i) number[i] = number[mapsTo[i]];
    for (BoundarySegment& seg : segments) {
        if (seg.start >= 1 && seg.start <= n) seg.start = number[seg.start - 1];
        if (seg.end >= 1 && seg.end <= n) seg.end = number[seg.end - 1];
    }
    nodes.swap(kept);
}

bool computeCircumcircle(DelaunayTriangle& triangle, const MeshNode& n1, const MeshNode& n2, const MeshNode& n3,
                         std::ostream& log)
{
    const double a1 = 2.0 * (n2.x - n1.x), b1 = 2.0 * (n2.y - n1.y);
    const double c1 = n2.x * n2.x - n1.x * n1.x + n2.y * n2.y - n1.y * n1.y;
    const double a2 = 2.0 * (n3.x - n2.x), b2 = 2.0 * (n3.y - n2.y);
    const double c2 = n3.x * n3.x - n2.x * n2.x + n3.y * n3.y - n2.y * n2.y;
    const double det = a1 * b2 - a2 * b1;
    if (det < kFlatDeterminant) {
        writeFlatTriangle(log, det, n1.name, n2.name, n3.name);
        return false;
    }
    triangle.cx = (c1 * b2 - c2 * b1) / det;
    triangle.cy = (c2 * a1 - c1 * a2) / det;
    triangle.r2 = (triangle.cx - n1.x) * (triangle.cx - n1.x) + (triangle.cy - n1.y) * (triangle.cy - n1.y);
    return true;
}

double normalisedCoordinate(double v, double origin, double scale)
{
    return std::round((v - origin) / scale * kSnap) / kSnap;
}

bool initTriangulation(std::vector<MeshNode>& boundaryNodes, const std::vector<BoundarySegment>& segments,
                       Triangulation& tri, double& ox, double& oy, double& s, std::ostream& log)
{
    ox = 1e30;
    oy = 1e30;
    double xMax = -1e30, yMax = -1e30;
    for (const MeshNode& node : boundaryNodes) {
        if (!(ox < node.x)) ox = node.x;
        if (!(oy < node.y)) oy = node.y;
        xMax = std::max(xMax, node.x);
        yMax = std::max(yMax, node.y);
    }
    s = xMax - ox;
    if (yMax - oy > s) s = yMax - oy;
    for (MeshNode& node : boundaryNodes) {
        node.x = normalisedCoordinate(node.x, ox, s);
        node.y = normalisedCoordinate(node.y, oy, s);
    }

    tri.nodes.push_back(MeshNode{-1, -1.0, -1.0, 0.0});
    tri.nodes.push_back(MeshNode{-2, 2.01, -1.02, 0.0});
    tri.nodes.push_back(MeshNode{-3, 2.03, 2.01, 0.0});
    tri.nodes.push_back(MeshNode{-4, -1.04, 2.0, 0.0});
    DelaunayTriangle first, second;
    first.name = 1;
    first.corners = {-1, -2, -3};
    second.name = 2;
    second.corners = {-3, -4, -1};
    ElementNeighbours firstNb, secondNb;
    firstNb.n[0] = 1;
    firstNb.n[1] = -1;
    firstNb.n[2] = -1;
    firstNb.n[3] = 2;
    secondNb.n[0] = 2;
    secondNb.n[1] = -1;
    secondNb.n[2] = -1;
    secondNb.n[3] = 1;
    if (!computeCircumcircle(first, tri.nodes[0], tri.nodes[1], tri.nodes[2], log)) return false;
    if (!computeCircumcircle(second, tri.nodes[2], tri.nodes[3], tri.nodes[0], log)) return false;
    tri.triangles.push_back(first);
    tri.triangles.push_back(second);
    tri.neighbours.push_back(firstNb);
    tri.neighbours.push_back(secondNb);

    // Target size: the mean over the node's segments of length / sqrt(3).
    const int n = static_cast<int>(boundaryNodes.size());
    std::vector<double> sum(n, 0.0);
    std::vector<int> count(n, 0);
    for (const BoundarySegment& seg : segments) {
        if (seg.start < 1 || seg.start > n || seg.end < 1 || seg.end > n) continue;
        const MeshNode& a = boundaryNodes[seg.start - 1];
        const MeshNode& b = boundaryNodes[seg.end - 1];
        const double size = std::hypot(a.x - b.x, a.y - b.y) * std::sqrt(3.0) / 3.0;
        for (int k : {seg.start, seg.end}) {
            sum[k - 1] += size;
            ++count[k - 1];
        }
    }
    for (int k = 1; k <= n; ++k) {
        if (count[k - 1] == 0) {
            log << std::endl << "Error: can not find segments connected with node " << k << std::endl << std::endl;
            continue;
        }
        boundaryNodes[k - 1].size = sum[k - 1] / count[k - 1];
    }
    return true;
}

bool insertDelaunayPoint(int nodeIndex, Triangulation& tri, RefinementQueue* queue, int startTriangle,
                         std::ostream& log, double x, double y)
{
    const MeshNode point{nodeIndex + 1, x, y, 0.0};
    std::vector<int> cavity;
    if (startTriangle == 0) {
        cavityFromPoint(tri, x, y, cavity);
        tri.nodes.push_back(point);
    } else {
        cavityFromStart(tri, startTriangle, x, y, cavity);
    }
    if (cavity.empty()) return false;
    std::vector<RimSide> rim;
    if (!buildRim(tri, cavity, point, rim, log)) return false;
    const int cavitySize = static_cast<int>(cavity.size());
    if (static_cast<int>(rim.size()) < cavitySize + 1) return false;  // not a star-shaped cavity

    const int base = static_cast<int>(tri.triangles.size());
    appendRimTriangles(tri, rim);
    // Compaction: the k-th last triangle moves into the k-th cavity slot.
    const int total = static_cast<int>(tri.triangles.size());
    for (int k = 0; k < cavitySize; ++k) moveTriangle(tri, total - 1 - k, cavity[k]);
    tri.triangles.resize(total - cavitySize);
    tri.neighbours.resize(total - cavitySize);

    if (queue) {
        for (int t = base; t < total - cavitySize; ++t) heapInsert(*queue, t, -tri.triangles[t].r2);
        for (int c : cavity) heapInsert(*queue, c, -tri.triangles[c].r2);
    }
    return true;
}

int sharedSideIndex(const DelaunayTriangle& a, const DelaunayTriangle& b, int& i, int& j)
{
    for (int p = 0; p < 3; ++p)
        for (int q = 0; q < 3; ++q)
            if (a.corners[p] == b.corners[(q + 1) % 3] && a.corners[(p + 1) % 3] == b.corners[q]) {
                i = p;
                j = q;
                return a.corners[(p + 1) % 3];
            }
    return 0;
}

bool boundaryEdgesPresent(const std::vector<BoundarySegment>& segments, const std::vector<DelaunayTriangle>& triangles)
{
    if (segments.empty()) return true;
    std::unordered_set<long long> sides;
    sides.reserve(triangles.size() * 3);
    auto key = [](int a, int b) { return cellKey(std::min(a, b), std::max(a, b)); };
    for (const DelaunayTriangle& t : triangles)
        for (int j = 0; j < 3; ++j) sides.insert(key(t.corners[j], t.corners[(j + 1) % 3]));
    for (const BoundarySegment& seg : segments)
        if (!sides.count(key(seg.start, seg.end))) return false;
    return true;
}

bool removeOuterTriangles(const std::vector<BoundarySegment>& segments, const std::vector<DelaunayTriangle>& triangles,
                          std::vector<ElementNeighbours>& neighbours, std::vector<int>& deleted,
                          std::vector<int>& removed, std::ostream& log)
{
    const int count = static_cast<int>(triangles.size());
    const SegmentLookup lookup(segments);
    deleted.assign(count, 0);
    // Triangles at the frame, and triangles lying against a segment on its
    // outer side.
    for (int t = 0; t < count; ++t) {
        const auto& c = triangles[t].corners;
        if (c[0] < 0 || c[1] < 0 || c[2] < 0) {
            deleted[t] = 1;
            removed.push_back(t + 1);
        }
    }
    for (int t = 0; t < count; ++t) {
        if (deleted[t] == 1) continue;
        for (int j = 0; j < 3; ++j) {
            const int p = triangles[t].corners[j], q = triangles[t].corners[(j + 1) % 3];
            for (int k = lookup.countFromTo(q, p); k > 0; --k) {
                deleted[t] = 1;
                removed.push_back(t + 1);
            }
        }
    }
    // Waves through sides that are no segment, until no flag changes.
    for (int m = 1;; ++m) {
        bool changed = false;
        for (int t = 0; t < count; ++t) {
            if (deleted[t] != m) continue;
            for (int j = 1; j <= 3; ++j) {
                const int u = neighbours[t].n[j];
                if (u <= 0 || deleted[u - 1] != 0) continue;
                int a = 0, b = 0;
                sharedEdgeOfTriangles(triangles[t], triangles[u - 1], a, b);
                if (a == 0 && b == 0) {
                    log << "Error: shared edge has wrong node name" << std::endl;
                    return false;
                }
                const int seg = lookup.firstEndingAt(a);
                if (seg < 0 || segments[seg].start != b) {
                    deleted[u - 1] = m + 1;
                    changed = true;
                }
            }
        }
        if (!changed) break;
    }
    for (int& flag : deleted)
        if (flag > 0) flag = 1;
    // The removed triangles' neighbours are read before any word changes.
    std::vector<std::array<int, 3>> around;
    around.reserve(removed.size());
    for (int r : removed) around.push_back({neighbours[r - 1].n[1], neighbours[r - 1].n[2], neighbours[r - 1].n[3]});
    for (std::size_t i = 0; i < removed.size(); ++i) {
        const int r = removed[i];
        for (int u : around[i]) {
            if (u <= 0) continue;
            for (int k = 1; k <= 3; ++k)
                if (neighbours[u - 1].n[k] == r) neighbours[u - 1].n[k] = -1;
        }
    }
    return true;
}

void sharedEdgeOfTriangles(const DelaunayTriangle& first, const DelaunayTriangle& second, int& a, int& b)
{
    a = 0;
    b = 0;
    for (int p = 0; p < 3; ++p)
        for (int q = 0; q < 3; ++q)
            if (first.corners[p] == second.corners[(q + 1) % 3] && first.corners[(p + 1) % 3] == second.corners[q]) {
                a = first.corners[p];
                b = first.corners[(p + 1) % 3];
                return;
            }
}

void findSharedEdge(const MeshElement& first, const MeshElement& second, int n, int& a, int& b)
{
    for (int p = 0; p < n; ++p)
        for (int q = 0; q < n; ++q)
            if (first.w[1 + p] == second.w[1 + (q + 1) % n] && first.w[1 + (p + 1) % n] == second.w[1 + q]) {
                a = first.w[1 + p];
                b = first.w[1 + (p + 1) % n];
                return;
            }
}

}  // namespace tessaro
