#include "Tessaro_DLL/free/Recovery.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>
#include <unordered_map>
#include <unordered_set>

#include "Tessaro_DLL/free/Adjacency.h"

namespace tessaro {

namespace {

constexpr int kMaxTrianglesPerNode = 200;
constexpr double kCrossTolerance = 1e-15;

bool isInterfaceCode(int code) { return code >= -9 && code <= -6; }

void appendDistinct(std::vector<int>& list, int value)
{
    if (std::find(list.begin(), list.end(), value) == list.end()) list.push_back(value);
}


bool hasCorner(const DelaunayTriangle& t, int node)
{
    return t.corners[0] == node || t.corners[1] == node || t.corners[2] == node;
}

// The nodes that start or end a segment coded -6 to -9.
std::unordered_set<int> interfaceNodes(const std::vector<BoundarySegment>& segments)
{
    std::unordered_set<int> nodes;
    for (const BoundarySegment& seg : segments)
        if (isInterfaceCode(seg.code)) {
            nodes.insert(seg.start);
            nodes.insert(seg.end);
        }
    return nodes;
}

// The triangles at a and b, then one ring of their neighbours.
std::vector<int> trianglesAroundSegment(const Triangulation& tri, const std::vector<std::vector<int>>& table, int a,
                                        int b)
{
    std::vector<int> u;
    for (int node : {a, b})
        if (node >= 1 && node <= static_cast<int>(table.size()))
            for (int t : table[node - 1]) appendDistinct(u, t);
    const std::size_t listed = u.size();
    for (std::size_t i = 0; i < listed; ++i)
        for (int j = 1; j <= 3; ++j) {
            const int n = tri.neighbours[u[i] - 1].n[j];
            if (n > 0) appendDistinct(u, n);
        }
    return u;
}

bool segmentPresent(const Triangulation& tri, const std::vector<int>& around, int a, int b)
{
    for (int t : around) {
        const auto& c = tri.triangles[t - 1].corners;
        for (int j = 0; j < 3; ++j) {
            const int p = c[j], q = c[(j + 1) % 3];
            if ((p == a && q == b) || (p == b && q == a)) return true;
        }
    }
    return false;
}

std::vector<int> crossedTriangles(const Triangulation& tri, const std::vector<int>& around, int a, int b)
{
    std::vector<int> x;
    for (int t : around) {
        const auto& c = tri.triangles[t - 1].corners;
        for (int j = 0; j < 3; ++j) {
            const int p = c[j], q = c[(j + 1) % 3];
            if (p < 0 || q < 0) continue;
            if (segmentIntersection(tri.nodeAt(a), tri.nodeAt(b), tri.nodeAt(p), tri.nodeAt(q)) == 1) {
                appendDistinct(x, t);
                break;
            }
        }
    }
    return x;
}

std::vector<int> cornersOf(const Triangulation& tri, const std::vector<int>& triangles)
{
    std::vector<int> q;
    for (int t : triangles)
        for (int c : tri.triangles[t - 1].corners) appendDistinct(q, c);
    return q;
}

void logFlat(std::ostream& log, double det, int a, int c, int b)
{
    log << std::endl << "Error: triangle area is negative or almost zero. Det= " << det << std::endl;
    log << "nd1=" << a << "  "
        << "nd2= " << c << "  "
        << " nd3= " << b << std::endl;
    log << " Process is terminated" << std::endl << std::endl;
}

// Two crossed triangles: when the corner c after a in one of them lies on an
// interface segment, they become (a, c, b) and (q, a, b).
bool recoverAcrossTwo(Triangulation& tri, const std::vector<int>& x, int a, int b,
                      const std::unordered_set<int>& onInterface, std::ostream& log)
{
    const std::vector<int> q = cornersOf(tri, x);
    for (int k = 0; k < 2; ++k) {
        const DelaunayTriangle& t = tri.triangles[x[k] - 1];
        int c = 0;
        for (int j = 0; j < 3; ++j)
            if (t.corners[j] == a) c = t.corners[(j + 1) % 3];
        if (c == 0 || !onInterface.count(c)) continue;
        const MeshNode& na = tri.nodeAt(a);
        const MeshNode& nc = tri.nodeAt(c);
        const MeshNode& nb = tri.nodeAt(b);
        const double dx1 = 2 * (nc.x - na.x), dy1 = 2 * (nc.y - na.y);
        const double dx2 = 2 * (nb.x - nc.x), dy2 = 2 * (nb.y - nc.y);
        const double r1 = nc.x * nc.x + nc.y * nc.y - na.x * na.x - na.y * na.y;
        const double r2 = nb.x * nb.x + nb.y * nb.y - nc.x * nc.x - nc.y * nc.y;
        const double d = dx1 * dy2 - dx2 * dy1;
        if (d < 1e-30) {
            logFlat(log, d, a, c, b);
            return false;
        }
        DelaunayTriangle& first = tri.triangles[x[0] - 1];
        first.corners = {a, c, b};
        first.cx = (r1 * dy2 - r2 * dy1) / d;
        first.cy = (r2 * dx1 - r1 * dx2) / d;
        first.r2 = (first.cx - na.x) * (first.cx - na.x) + (first.cy - na.y) * (first.cy - na.y);
        int other = 0;
        for (int node : q)
            if (node != a && node != b && node != c) {
                other = node;
                break;
            }
        DelaunayTriangle& second = tri.triangles[x[1] - 1];
        second.corners = {other, a, b};
        return computeCircumcircle(second, tri.nodeAt(other), na, nb, log);
    }
    return true;
}

// Three crossed triangles become (a, b, c), (b, d, a) and (a, e, f) around
// the last corner c that lies on an interface segment; without one they stay.
bool recoverAcrossThree(Triangulation& tri, const std::vector<int>& x, int a, int b,
                        const std::unordered_set<int>& onInterface, std::ostream& log)
{
    const std::vector<int> q = cornersOf(tri, x);
    int c = 0;
    for (int node : q)
        if (node != a && node != b && onInterface.count(node)) c = node;
    if (c == 0) return true;
    std::vector<int> rest;
    for (int node : q)
        if (node != a && node != b && node != c) rest.push_back(node);
    if (rest.size() < 2) return true;
    auto rewrite = [&](int slot, int p1, int p2, int p3) {
        DelaunayTriangle& t = tri.triangles[slot - 1];
        t.corners = {p1, p2, p3};
        return orientTriangleAndCircumcircle(t, tri, log);
    };
    if (!rewrite(x[0], a, b, c)) return false;
    const int d = firstNodeSharingTriangle(rest, b, x, tri.triangles);
    if (!rewrite(x[1], b, d, a)) return false;
    const int e = firstNodeSharingTriangle(rest, a, x, tri.triangles);
    const int f = e == rest[0] ? rest[1] : rest[0];
    return rewrite(x[2], a, e, f);
}

// Every neighbour entry of the crossed triangles is matched again among
// those entries by shared corners.
void repairNeighbours(Triangulation& tri, const std::vector<int>& x)
{
    std::vector<int> s;
    for (int t : x)
        for (int j = 1; j <= 3; ++j) appendDistinct(s, tri.neighbours[t - 1].n[j]);
    for (int t : s) {
        if (t <= 0) continue;
        const DelaunayTriangle& tt = tri.triangles[t - 1];
        for (int j = 0; j < 3; ++j) {
            const int p = tt.corners[j], q = tt.corners[(j + 1) % 3];
            for (int u : s) {
                if (u <= 0 || u == t) continue;
                if (sideWithCorners(tri.triangles[u - 1], q, p) >= 0) {
                    tri.neighbours[t - 1].n[1 + j] = u;
                    break;
                }
            }
        }
    }
}


void swapReference(int& value, int a, int b)
{
    if (value == a)
        value = b;
    else if (value == b)
        value = a;
}

// ---- recovery by edge flips ----------------------------------------------

// Twice the signed area of (a, b, c).
double orient(const MeshNode& a, const MeshNode& b, const MeshNode& c)
{
    return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
}

// Side p-q crosses segment a-b at a point inside both.
bool crossesProperly(const Triangulation& tri, int a, int b, int p, int q)
{
    if (p == a || p == b || q == a || q == b) return false;
    const MeshNode& na = tri.nodeAt(a);
    const MeshNode& nb = tri.nodeAt(b);
    const MeshNode& np = tri.nodeAt(p);
    const MeshNode& nq = tri.nodeAt(q);
    const double o1 = orient(na, nb, np), o2 = orient(na, nb, nq);
    const double o3 = orient(np, nq, na), o4 = orient(np, nq, nb);
    return ((o1 > 0.0 && o2 < 0.0) || (o1 < 0.0 && o2 > 0.0)) && ((o3 > 0.0 && o4 < 0.0) || (o3 < 0.0 && o4 > 0.0));
}

int sideIndexOf(const DelaunayTriangle& t, int p, int q)
{
    for (int j = 0; j < 3; ++j)
        if (t.corners[j] == p && t.corners[(j + 1) % 3] == q) return j;
    return -1;
}

// Replaces the link of triangle `at` (0-based) to `from` by `to` (1-based).
void relink(Triangulation& tri, int at, int from, int to)
{
    if (at < 0) return;
    for (int j = 1; j <= 3; ++j)
        if (tri.neighbours[at].n[j] == from) tri.neighbours[at].n[j] = to;
}

// Flips the side that triangle t (0-based) has at index i: t = (p, q, r)
// and its neighbour u = (q, p, s) become (r, p, s) and (s, q, r). False when
// p-q has no neighbour or the quadrilateral p, s, q, r is not strictly
// convex (nothing changes then).
bool flipSide(Triangulation& tri, int t, int i)
{
    const int un = tri.neighbours[t].n[1 + i];
    if (un <= 0) return false;
    const int u = un - 1;
    const int p = tri.triangles[t].corners[i], q = tri.triangles[t].corners[(i + 1) % 3];
    const int r = tri.triangles[t].corners[(i + 2) % 3];
    const int k = sideIndexOf(tri.triangles[u], q, p);
    if (k < 0) return false;
    const int s = tri.triangles[u].corners[(k + 2) % 3];
    const double op = orient(tri.nodeAt(r), tri.nodeAt(s), tri.nodeAt(p));
    const double oq = orient(tri.nodeAt(r), tri.nodeAt(s), tri.nodeAt(q));
    if (!(op < 0.0 && oq > 0.0)) return false;
    const int acrossQR = tri.neighbours[t].n[1 + (i + 1) % 3], acrossRP = tri.neighbours[t].n[1 + (i + 2) % 3];
    const int acrossPS = tri.neighbours[u].n[1 + (k + 1) % 3], acrossSQ = tri.neighbours[u].n[1 + (k + 2) % 3];
    DelaunayTriangle& first = tri.triangles[t];
    DelaunayTriangle& second = tri.triangles[u];
    first.corners = {r, p, s};
    second.corners = {s, q, r};
    std::ostringstream ignored;  // both triangles are counter-clockwise and not flat here
    computeCircumcircle(first, tri.nodeAt(r), tri.nodeAt(p), tri.nodeAt(s), ignored);
    computeCircumcircle(second, tri.nodeAt(s), tri.nodeAt(q), tri.nodeAt(r), ignored);
    tri.neighbours[t].n[1] = acrossRP;
    tri.neighbours[t].n[2] = acrossPS;
    tri.neighbours[t].n[3] = u + 1;
    tri.neighbours[u].n[1] = acrossSQ;
    tri.neighbours[u].n[2] = acrossQR;
    tri.neighbours[u].n[3] = t + 1;
    relink(tri, acrossPS - 1, u + 1, t + 1);
    relink(tri, acrossQR - 1, t + 1, u + 1);
    return true;
}

// Brings segment a-b into the triangulation: every side crossing it is
// flipped, in turn, where its two triangles form a convex quadrilateral,
// until none crosses. The crossed triangles keep their slots, so the
// search runs over them alone. False when it does not settle.
bool recoverSegmentByFlips(Triangulation& tri, int a, int b)
{
    std::vector<int> crossed;
    for (int t = 0; t < static_cast<int>(tri.triangles.size()); ++t) {
        const auto& c = tri.triangles[t].corners;
        for (int j = 0; j < 3; ++j)
            if (crossesProperly(tri, a, b, c[j], c[(j + 1) % 3])) {
                crossed.push_back(t);
                break;
            }
    }
    const std::size_t limit = 50 * crossed.size() * crossed.size() + 100;
    for (std::size_t round = 0; round < limit; ++round) {
        bool crossing = false, flipped = false;
        for (int t : crossed) {
            const auto c = tri.triangles[t].corners;
            for (int j = 0; j < 3 && !flipped; ++j) {
                if (!crossesProperly(tri, a, b, c[j], c[(j + 1) % 3])) continue;
                crossing = true;
                flipped = flipSide(tri, t, j);
            }
            if (flipped) break;
        }
        if (!crossing) return true;
        if (!flipped) return false;
    }
    return false;
}

long long sideKey(int p, int q)
{
    return static_cast<long long>(std::min(p, q)) * 4294967296LL + static_cast<long long>(std::max(p, q));
}

// Lawson flips of every side that is no segment until each such side is
// locally Delaunay again (the circumcircle of one triangle does not hold
// the far corner of the other).
void restoreDelaunayAwayFromSegments(Triangulation& tri, const std::vector<BoundarySegment>& segments)
{
    std::unordered_set<long long> fixed;
    for (const BoundarySegment& seg : segments) fixed.insert(sideKey(seg.start, seg.end));
    std::vector<std::pair<int, int>> stack;
    for (int t = 0; t < static_cast<int>(tri.triangles.size()); ++t)
        for (int j = 0; j < 3; ++j) stack.emplace_back(t, j);
    std::size_t budget = 40 * stack.size() + 1000;
    while (!stack.empty() && budget-- > 0) {
        const auto [t, j] = stack.back();
        stack.pop_back();
        const auto c = tri.triangles[t].corners;
        const int p = c[j], q = c[(j + 1) % 3];
        if (fixed.count(sideKey(p, q))) continue;
        const int u = tri.neighbours[t].n[1 + j] - 1;
        if (u < 0) continue;
        const int k = sideIndexOf(tri.triangles[u], q, p);
        if (k < 0) continue;
        const MeshNode& far = tri.nodeAt(tri.triangles[u].corners[(k + 2) % 3]);
        const DelaunayTriangle& own = tri.triangles[t];
        const double dx = far.x - own.cx, dy = far.y - own.cy;
        if (!(dx * dx + dy * dy < own.r2 * (1.0 - 1e-12))) continue;
        if (!flipSide(tri, t, j)) continue;
        for (int side = 0; side < 3; ++side) {
            stack.emplace_back(t, side);
            stack.emplace_back(u, side);
        }
    }
}

}  // namespace

int segmentIntersection(MeshNode p1, MeshNode p2, MeshNode p3, MeshNode p4)
{
    const bool vertical1 = std::fabs(p1.x - p2.x) < kCrossTolerance;
    const bool vertical2 = std::fabs(p3.x - p4.x) < kCrossTolerance;
    if (vertical1 && vertical2) return 0;
    double x = 0.0, y = 0.0;
    if (vertical1) {
        const double m2 = (p4.y - p3.y) / (p4.x - p3.x);
        x = (p1.x + p2.x) * 0.5;
        y = p3.y + m2 * (x - p3.x);
    } else if (vertical2) {
        const double m1 = (p2.y - p1.y) / (p2.x - p1.x);
        x = (p3.x + p4.x) * 0.5;
        y = p1.y + m1 * (x - p1.x);
    } else {
        const double m1 = (p2.y - p1.y) / (p2.x - p1.x);
        const double m2 = (p4.y - p3.y) / (p4.x - p3.x);
        if (std::fabs(m1 - m2) < kCrossTolerance) return 0;
        x = (p4.y - p2.y + p2.x * m1 - p4.x * m2) / (m1 - m2);
        y = p1.y + m1 * (x - p1.x);
    }
    for (const MeshNode* p : {&p3, &p4, &p1, &p2})
        if (std::hypot(p->x - x, p->y - y) < kCrossTolerance) return 0;
    const double d2 = (p3.y - y) * (p4.y - y) + (p3.x - x) * (p4.x - x);
    const double d1 = (p2.y - y) * (p1.y - y) + (p2.x - x) * (p1.x - x);
    if (!(std::fabs(d2) > kCrossTolerance) || !(std::fabs(d1) > kCrossTolerance)) return 0;
    return d2 < 0.0 && d1 < 0.0 ? 1 : 2;
}

bool orientTriangleAndCircumcircle(DelaunayTriangle& triangle, const Triangulation& tri, std::ostream& log)
{
    auto& c = triangle.corners;
    const MeshNode& n1 = tri.nodeAt(c[0]);
    const MeshNode& n2 = tri.nodeAt(c[1]);
    const MeshNode& n3 = tri.nodeAt(c[2]);
    const double s = 2 * (n2.x - n1.x) * 2 * (n3.y - n2.y) - 2 * (n2.y - n1.y) * 2 * (n3.x - n2.x);
    if (!(s > 0.0)) std::swap(c[0], c[2]);
    return computeCircumcircle(triangle, tri.nodeAt(c[0]), tri.nodeAt(c[1]), tri.nodeAt(c[2]), log);
}

int firstNodeSharingTriangle(const std::vector<int>& candidates, int n, const std::vector<int>& triangleNames,
                             const std::vector<DelaunayTriangle>& triangles)
{
    for (int c : candidates)
        for (int t : triangleNames) {
            const auto& k = triangles[t - 1].corners;
            for (int j = 0; j < 3; ++j)
                if (k[j] == c && (k[(j + 1) % 3] == n || k[(j + 2) % 3] == n)) return c;
        }
    return 0;
}

void writeSnapshotFile(const Triangulation& tri, const std::string& fileName)
{
    std::ofstream out(fileName, std::ios::out | std::ios::trunc);
    if (!out) return;
    const int n = static_cast<int>(tri.nodes.size());
    const int t = static_cast<int>(tri.triangles.size());
    out << n << "  " << t << "  "
        << "1 " << 3 << std::endl;
    out << "x" << std::endl;
    for (int r = 4; r < n; ++r) {
        const MeshNode& node = tri.nodes[r];
        out << r - 3 << "  " << node.x << "  " << node.y << "  " << node.y << std::endl;
    }
    for (int r = 0; r < 4 && r < n; ++r) {
        const MeshNode& node = tri.nodes[r];
        out << n - 3 + r << "  " << node.x << "  " << node.y << "  " << node.y << std::endl;
    }
    auto written = [n](int corner) { return corner < 0 ? n - 4 - corner : corner; };
    for (int k = 0; k < t; ++k) {
        const auto& c = tri.triangles[k].corners;
        out << k + 1 << " "
            << " 1"
            << "  " << written(c[0]) << "  " << written(c[1]) << "  " << written(c[2]) << std::endl;
    }
}

void writeMeshSnapshot(const Triangulation& tri) { writeSnapshotFile(tri, "mesh_" + std::to_string(11) + ".sol"); }

bool recoverSegmentsByFlips(Triangulation& tri, const std::vector<BoundarySegment>& segments)
{
    // Segments do not cross one another, so flips for one never undo another.
    std::unordered_set<long long> sides;
    sides.reserve(tri.triangles.size() * 3);
    for (const DelaunayTriangle& t : tri.triangles)
        for (int j = 0; j < 3; ++j) sides.insert(sideKey(t.corners[j], t.corners[(j + 1) % 3]));
    bool all = true;
    bool changed = false;
    for (const BoundarySegment& seg : segments) {
        if (seg.start == seg.end || sides.count(sideKey(seg.start, seg.end))) continue;
        changed = true;
        if (!recoverSegmentByFlips(tri, seg.start, seg.end)) all = false;
    }
    if (changed) restoreDelaunayAwayFromSegments(tri, segments);
    return all;
}

bool recoverLostBoundary(Triangulation& tri, const std::vector<MeshNode>& boundaryNodes,
                         const std::vector<BoundarySegment>& segments, std::ostream& log)
{
    (void)boundaryNodes;  // boundary node k is frame-first record k + 4, with the same coordinates
    std::vector<std::vector<int>> table(tri.nodes.size());
    for (int t = 1; t <= static_cast<int>(tri.triangles.size()); ++t)
        for (int k : tri.triangles[t - 1].corners) {
            if (k <= 0) continue;
            std::vector<int>& entry = table[k - 1];
            if (static_cast<int>(entry.size()) >= kMaxTrianglesPerNode) {
                log << std::endl
                    << "temporary node neighbour=" << entry.size() << "  " << kMaxTrianglesPerNode << std::endl
                    << std::endl;
                return false;
            }
            entry.push_back(t);
        }

    const std::unordered_set<int> onInterface = interfaceNodes(segments);
    for (const BoundarySegment& seg : segments) {
        const int a = seg.start, b = seg.end;
        const std::vector<int> around = trianglesAroundSegment(tri, table, a, b);
        if (segmentPresent(tri, around, a, b)) continue;
        const std::vector<int> x = crossedTriangles(tri, around, a, b);
        if (x.size() == 2) {
            if (!recoverAcrossTwo(tri, x, a, b, onInterface, log)) return false;
        } else if (x.size() == 3) {
            if (!recoverAcrossThree(tri, x, a, b, onInterface, log)) return false;
        }
        repairNeighbours(tri, x);
        for (int node : cornersOf(tri, x)) {
            if (node <= 0) continue;
            std::vector<int>& entry = table[node - 1];
            entry.clear();
            for (int t : around)
                if (hasCorner(tri.triangles[t - 1], node)) entry.push_back(t);
        }
        writeMeshSnapshot(tri);
    }
    // Segments the rewrites above leave crossed (any number of triangles,
    // interface or not) are recovered by edge flips.
    return recoverSegmentsByFlips(tri, segments);
}

bool removeValence3Nodes(RegionRecord& region)
{
    bool removedAny = false;
    const int records = static_cast<int>(region.adjacency.size());
    for (int k = 0; k < records; ++k) {
        NodeAdjacency& rec = region.adjacency[k];
        if (rec.elementCount != 3 || rec.name <= 0) continue;
        const int p = rec.name;
        const int t1 = rec.elements[0];
        const DelaunayTriangle& first = region.triangles[t1 - 1];
        int i = -1;
        for (int j = 0; j < 3; ++j)
            if (first.corners[j] == p) i = j;
        if (i < 0) continue;
        const int u = first.corners[(i + 1) % 3], v = first.corners[(i + 2) % 3];
        const int t2 = region.neighbours[t1 - 1].n[1 + (i + 2) % 3];
        const int t3 = region.neighbours[t1 - 1].n[1 + i];
        if (t2 <= 0 || t3 <= 0) continue;
        int w = 0;
        for (int c : region.triangles[t2 - 1].corners)
            if (c != p && c != v) w = c;
        if (w <= 0) continue;

        int outer[3] = {0, 0, 0};
        const int around[3] = {t1, t2, t3};
        for (int m = 0; m < 3; ++m) {
            const DelaunayTriangle& t = region.triangles[around[m] - 1];
            for (int j = 0; j < 3; ++j)
                if (t.corners[j] == p) outer[m] = region.neighbours[around[m] - 1].n[1 + (j + 1) % 3];
        }
        for (int t : around) region.triangles[t - 1].name = -t;
        region.nodes[p - 1].name = -p;

        const int n = maxOfIntList({t1, t2, t3});
        DelaunayTriangle& merged = region.triangles[n - 1];
        merged.name = n;
        merged.status = -1;
        merged.corners = {u, v, w};
        ElementNeighbours& nb = region.neighbours[n - 1];
        nb.n[0] = n;
        for (int m = 0; m < 3; ++m) nb.n[1 + m] = outer[m];
        const int sides[3][2] = {{u, v}, {v, w}, {w, u}};
        for (int m = 0; m < 3; ++m) {
            if (outer[m] <= 0) continue;
            const int j = sideWithCorners(region.triangles[outer[m] - 1], sides[m][1], sides[m][0]);
            if (j >= 0) region.neighbours[outer[m] - 1].n[1 + j] = n;
        }
        for (int node : {u, v, w}) {
            NodeAdjacency& a = region.adjacency[node - 1];
            removeFromList(a.neighbours.data(), a.neighbourCount, p);
            for (int t : around) removeFromList(a.elements.data(), a.elementCount, t);
            a.elements[a.elementCount++] = n;
        }
        rec.elementCount = 0;
        rec.neighbourCount = 0;
        removedAny = true;
    }
    if (removedAny) updateAdjacencyLists(region);
    return true;
}

int maxOfIntList(const std::vector<int>& values)
{
    return values.empty() ? 0 : *std::max_element(values.begin(), values.end());
}

namespace {

// Mode 0: the triangles and adjacency records of the triangle model.
void exchangeInTriangleModel(int a, int b, RegionRecord& region)
{
    NodeAdjacency& ra = region.adjacency[a - 1];
    NodeAdjacency& rb = region.adjacency[b - 1];
    std::vector<int> triangles, nodes;
    for (const NodeAdjacency* r : {&ra, &rb}) {
        for (int m = 0; m < r->elementCount; ++m) appendDistinct(triangles, r->elements[m]);
        for (int m = 0; m < r->neighbourCount; ++m) appendDistinct(nodes, r->neighbours[m]);
    }
    for (int t : triangles)
        for (int& c : region.triangles[t - 1].corners) swapReference(c, a, b);
    for (int node : nodes) {
        NodeAdjacency& r = region.adjacency[node - 1];
        for (int m = 0; m < r.neighbourCount; ++m) swapReference(r.neighbours[m], a, b);
    }
    std::swap(ra, rb);
    ra.name = ra.name < 0 ? -a : a;
    rb.name = rb.name < 0 ? -b : b;
}

// Mode 1: the elements and node records of the topology model; a moved
// record's status becomes its slot's number.
void exchangeInTopologyModel(int a, int b, RegionRecord& region)
{
    TopoNode& ra = region.topoNodes[a - 1];
    TopoNode& rb = region.topoNodes[b - 1];
    std::vector<int> elements, nodes;
    for (const TopoNode* r : {&ra, &rb}) {
        for (int m = 0; m < r->triangleCount; ++m) appendDistinct(elements, r->triangles[m]);
        for (int m = 0; m < r->quadCount; ++m) appendDistinct(elements, r->quads[m]);
        for (int m = 0; m < r->neighbourCount; ++m) appendDistinct(nodes, r->neighbours[m]);
    }
    for (int e : elements) {
        TopoElement& el = region.topoElements[e - 1];
        for (int k = 0; k < el.cornerCount; ++k) swapReference(el.c[k], a, b);
    }
    for (int node : nodes) {
        TopoNode& r = region.topoNodes[node - 1];
        for (int m = 0; m < r.neighbourCount; ++m) swapReference(r.neighbours[m], a, b);
    }
    std::swap(ra, rb);
    ra.status = a;
    rb.status = b;
}

}  // namespace

void exchangeNodeNumbers(int a, int b, RegionRecord& region, int mode)
{
    if (a == b) return;
    if (mode == 1)
        exchangeInTopologyModel(a, b, region);
    else
        exchangeInTriangleModel(a, b, region);
    std::swap(region.nodes[a - 1].x, region.nodes[b - 1].x);
    std::swap(region.nodes[a - 1].y, region.nodes[b - 1].y);
}

bool makeBoundaryNumbersConsecutive(RegionRecord& region, std::vector<BoundarySegment>& segments, int mode)
{
    for (std::size_t k = 0; k < segments.size(); ++k) {
        const int s = segments[k].start, e = segments[k].end;
        if (e - s <= 1) continue;
        exchangeNodeNumbers(e, s + 1, region, mode);
        if (k + 1 < segments.size()) segments[k + 1].start = s + 1;
    }
    return true;
}

bool sortExternalBoundary(RegionRecord& region, bool quadrilateral, int startNode, std::ostream& log)
{
    const int corners = quadrilateral ? 4 : 3;
    const int count = static_cast<int>(region.codedSides.size());
    if (count == 0) return true;
    std::unordered_map<int, std::vector<int>> byFirstNode;
    std::vector<int> second(count);
    int start = -1;
    for (int i = 0; i < count; ++i) {
        int first = 0;
        sideEndNodes(region, region.codedSides[i], corners, first, second[i]);
        byFirstNode[first].push_back(i);
        if (start < 0 && first == startNode) start = i;
    }
    auto fail = [&log]() {
        log << "Error: Error to sort external boundary segment" << std::endl;
        return false;
    };
    if (start < 0) return fail();
    std::vector<char> used(count, 0);
    std::vector<int> chain{start};
    used[start] = 1;
    int current = second[start];
    while (static_cast<int>(chain.size()) < count) {
        int next = -1;
        const auto it = byFirstNode.find(current);
        if (it != byFirstNode.end())
            for (int i : it->second)
                if (!used[i]) {
                    next = i;
                    break;
                }
        if (next < 0) return fail();
        used[next] = 1;
        chain.push_back(next);
        current = second[next];
    }
    std::vector<BoundarySide> sorted;
    sorted.reserve(count);
    for (int i : chain) sorted.push_back(region.codedSides[i]);
    region.codedSides.swap(sorted);
    return true;
}

}  // namespace tessaro
