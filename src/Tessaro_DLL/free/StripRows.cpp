#include "Tessaro_DLL/free/StripRows.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <unordered_map>

namespace tessaro {

namespace {

// A boundary node is a corner of the region where its segments turn by
// more than this (radians, 30 degrees); along a side they turn by less than
// kStraightTurn (10 degrees).
const double kCornerTurn = std::acos(-1.0) / 6.0;
const double kStraightTurn = std::acos(-1.0) / 18.0;
// Short sides at most this share of each long side.
constexpr double kThinShare = 0.25;

// One side between two corners: its node names in boundary order.
struct StripSide {
    std::vector<int> nodes;
    double length = 0.0;  // corner to corner
    int count() const { return static_cast<int>(nodes.size()) - 1; }
};

// The boundary nodes in the order of the segment chain from segment 1;
// empty when the segments are not one closed chain.
std::vector<int> chainOrder(const std::vector<MeshNode>& nodes, const std::vector<BoundarySegment>& segments)
{
    std::unordered_map<int, int> next;
    for (const BoundarySegment& s : segments) next[s.start] = s.end;
    std::vector<int> order;
    if (segments.empty()) return order;
    int node = segments.front().start;
    for (std::size_t k = 0; k < segments.size(); ++k) {
        if (node < 1 || node > static_cast<int>(nodes.size())) return {};
        order.push_back(node);
        const auto it = next.find(node);
        if (it == next.end()) return {};
        node = it->second;
    }
    if (node != order.front()) return {};
    return order;
}

double turnAt(const MeshNode& a, const MeshNode& b, const MeshNode& c)
{
    const double ux = b.x - a.x, uy = b.y - a.y, vx = c.x - b.x, vy = c.y - b.y;
    return std::fabs(std::atan2(ux * vy - uy * vx, ux * vx + uy * vy));
}

// The live triangle that holds (x, y), also on one of its sides (a row node
// of an axis-parallel strip can lie on a diagonal); -1 when none.
int holdingTriangle(const Triangulation& tri, const std::vector<int>& deleted, double x, double y)
{
    for (int t = 0; t < static_cast<int>(tri.triangles.size()); ++t) {
        if (t < static_cast<int>(deleted.size()) && deleted[t] == 1) continue;
        const DelaunayTriangle& tr = tri.triangles[t];
        bool inside = true;
        for (int j = 0; j < 3 && inside; ++j) {
            const MeshNode& p = tri.nodeAt(tr.corners[j]);
            const MeshNode& q = tri.nodeAt(tr.corners[(j + 1) % 3]);
            const double edge = std::hypot(q.x - p.x, q.y - p.y);
            inside = (q.x - p.x) * (y - p.y) - (q.y - p.y) * (x - p.x) >= -1e-12 * edge * edge;
        }
        if (inside) return t;
    }
    return -1;
}

}  // namespace

int seedStripRows(std::vector<MeshNode>& boundaryNodes, const std::vector<BoundarySegment>& segments,
                  Triangulation& tri, const std::vector<int>& deleted, std::ostream& log)
{
    const std::vector<int> order = chainOrder(boundaryNodes, segments);
    const int n = static_cast<int>(order.size());
    if (n < 6) return 0;
    auto at = [&](int k) -> const MeshNode& { return boundaryNodes[order[((k % n) + n) % n] - 1]; };
    std::vector<int> corners;
    for (int k = 0; k < n; ++k) {
        const double turn = turnAt(at(k - 1), at(k), at(k + 1));
        if (turn > kCornerTurn)
            corners.push_back(k);
        else if (turn > kStraightTurn)
            return 0;
    }
    if (corners.size() != 4) return 0;
    StripSide sides[4];
    for (int i = 0; i < 4; ++i) {
        const int from = corners[i], to = corners[(i + 1) % 4] + (i == 3 ? n : 0);
        for (int k = from; k <= to; ++k) sides[i].nodes.push_back(order[k % n]);
        const MeshNode& a = boundaryNodes[sides[i].nodes.front() - 1];
        const MeshNode& b = boundaryNodes[sides[i].nodes.back() - 1];
        sides[i].length = std::hypot(b.x - a.x, b.y - a.y);
    }
    // Short sides 0 and 2 (or 1 and 3) across the strip, long ones between.
    int first = -1;
    for (int i = 0; i < 2 && first < 0; ++i) {
        const double shortest = std::max(sides[i].length, sides[i + 2].length);
        const double longest = std::min(sides[i + 1].length, sides[(i + 3) % 4].length);
        if (shortest <= kThinShare * longest && sides[i].count() == sides[i + 2].count() && sides[i].count() >= 2)
            first = i;
    }
    if (first < 0) return 0;
    // Long side A runs from the end of short side `first` to the start of the
    // other short side; long side B, reversed, runs alongside it with as many
    // segments.
    const StripSide& a = sides[(first + 1) % 4];
    StripSide b = sides[(first + 3) % 4];
    std::reverse(b.nodes.begin(), b.nodes.end());
    if (a.count() != b.count()) return 0;
    const int rows = sides[first].count();
    // Sizes along the strip: the short sides' nodes take the long sides'
    // segment length, so that refinement does not fill the strip's ends with
    // elements of the short sides' segment length.
    const double along = 0.5 * (a.length + b.length) / a.count() / std::sqrt(3.0);
    for (int side : {first, (first + 2) % 4})
        for (int name : sides[side].nodes) {
            MeshNode& node = boundaryNodes[name - 1];
            node.size = std::max(node.size, along);
            tri.nodes[name + 3].size = node.size;
        }
    // Row j at the share t of the way from A to B, node k between node k of A
    // and node k of B.
    int inserted = 0;
    for (int j = 1; j < rows; ++j) {
        const double t = 1.0 - static_cast<double>(j) / rows;
        for (int k = 1; k < a.count(); ++k) {
            const MeshNode& pa = boundaryNodes[a.nodes[k] - 1];
            const MeshNode& pb = boundaryNodes[b.nodes[k] - 1];
            const double x = (1.0 - t) * pa.x + t * pb.x, y = (1.0 - t) * pa.y + t * pb.y;
            const int s = holdingTriangle(tri, deleted, x, y);
            if (s < 0) continue;
            const int name = tri.nodes.back().name + 1;
            const double size = (1.0 - t) * pa.size + t * pb.size;
            tri.nodes.push_back(MeshNode{name, x, y, size});
            if (insertDelaunayPoint(name - 1, tri, nullptr, s + 1, log, x, y))
                ++inserted;
            else
                tri.nodes.pop_back();
        }
    }
    return inserted;
}

}  // namespace tessaro
