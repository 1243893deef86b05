#include "Tessaro_DLL/quad/QuadValence.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <vector>

#include "Tessaro_DLL/model/CornerAngle.h"
#include "Tessaro_DLL/quad/Smoothing.h"
#include "Tessaro_DLL/quad/TriangleGrid.h"

namespace tessaro {

namespace {

int cornerOf(const TopoElement& el, int k) { return el.c[((k % el.cornerCount) + el.cornerCount) % el.cornerCount]; }

int directedSide(const TopoElement& el, int from, int to)
{
    for (int k = 0; k < el.cornerCount; ++k)
        if (cornerOf(el, k) == from && cornerOf(el, k + 1) == to) return k;
    return -1;
}

// Whether nodes a and b are the ends of a side of some element at a.
bool sideExists(const RegionRecord& region, int a, int b)
{
    const TopoNode& n = region.topoNodes[a - 1];
    auto hasSide = [&](int e) {
        const TopoElement& el = region.topoElements[e - 1];
        for (int k = 0; k < el.cornerCount; ++k)
            if ((cornerOf(el, k) == a && cornerOf(el, k + 1) == b) ||
                (cornerOf(el, k) == b && cornerOf(el, k + 1) == a))
                return true;
        return false;
    };
    for (int k = 0; k < n.quadCount; ++k)
        if (hasSide(n.quads[k])) return true;
    for (int k = 0; k < n.triangleCount; ++k)
        if (hasSide(n.triangles[k])) return true;
    return false;
}

// A new split of the polygon two neighbouring elements form: the first
// element's number goes to `a`, the second's to `b` (3 or 4 corners each,
// counter-clockwise).
struct Turn {
    std::array<int, 4> a{}, b{};
    int aCount = 0, bCount = 0;
    int gainA = 0, gainB = 0;  // the ends of the new diagonal
    int cost = 0;
    double score = -3.0;
    // The pentagon's new triangle merged at once with the triangle across
    // its side (mergeFrom, mergeTo); mergeWith is zero when there is none.
    int mergeWith = 0, mergeFrom = 0, mergeTo = 0;
};

std::array<int, 4> cornersArray(const TopoElement& el)
{
    return {el.c[0], el.c[1], el.c[2], el.cornerCount == 4 ? el.c[3] : 0};
}

bool holds(const std::array<int, 4>& c, int count, int node)
{
    for (int k = 0; k < count; ++k)
        if (c[k] == node) return true;
    return false;
}

// Worst corner scaled Jacobian of a triangle or quadrilateral, -2 when it is
// not valid.
double polygonScore(const std::vector<MeshNode>& nodes, const std::array<int, 4>& c, int count)
{
    const MeshNode* p[4] = {};
    for (int k = 0; k < count; ++k) p[k] = &nodes[c[k] - 1];
    return cornersValid(p, count) ? worstCornerJacobian(p, count) : -2.0;
}

// Sweeps over every side at most; they stop once a sweep turns nothing.
constexpr int kSweeps = 20;
// Rounds of sweeps, each followed by smoothing: the smoothed nodes open
// turns that were too poor before it.
constexpr int kRounds = 3;
// After the first round an interior node with too many elements costs
// double, and a turn must keep this worst corner scaled Jacobian and stay
// within kLaterTurnLoss of the worse of the two elements it replaces.
constexpr double kLaterTurnJacobian = 0.45;
constexpr double kLaterTurnLoss = 0.2;

class ValenceImprover {
public:
    explicit ValenceImprover(RegionRecord& region) : region_(region)
    {
        const std::size_t count = region.nodes.size();
        valence_.assign(count + 1, 0);
        goal_.assign(count + 1, 4);
        boundary_.assign(count + 1, 0);
        std::vector<double> angle(count + 1, 0.0);
        for (const TopoElement& el : region.topoElements) {
            if (el.name <= 0) continue;
            for (int k = 0; k < el.cornerCount; ++k) {
                const int node = el.c[k];
                ++valence_[node];
                angle[node] += interiorAngleDegrees(region.nodes[cornerOf(el, k - 1) - 1], region.nodes[node - 1],
                                                    region.nodes[cornerOf(el, k + 1) - 1]);
                if (el.nb[k] <= 0) boundary_[node] = boundary_[cornerOf(el, k + 1)] = 1;
            }
        }
        for (std::size_t n = 1; n <= count; ++n)
            if (boundary_[n]) goal_[n] = std::max(1, static_cast<int>(std::lround(angle[n] / 90.0)));
        listTriangles();
    }

    int run()
    {
        int turned = 0;
        for (round_ = 0; round_ < kRounds; ++round_) {
            int inRound = 0;
            // Only elements next to a change are looked at again.
            active_.assign(region_.topoElements.size() + 1, 1);
            for (int sweep = 0; sweep < kSweeps; ++sweep) {
                int now = 0;
                for (std::size_t e = 1; e <= region_.topoElements.size(); ++e) {
                    if (!active_[e]) continue;
                    active_[e] = 0;
                    for (int k = 0; k < 4; ++k)
                        if (tryTurn(static_cast<int>(e), k)) ++now;
                }
                inRound += now;
                if (now == 0) break;
            }
            if (removed_) {
                compactElements();
                removed_ = false;
                listTriangles();
            }
            if (inRound == 0) break;
            turned += inRound;
            smoothInterior();
        }
        return turned;
    }

private:
    void listTriangles()
    {
        triangles_.clear();
        for (const TopoElement& el : region_.topoElements)
            if (el.name > 0 && el.isTriangle) triangles_.push_back(el.name);
        triangleGrid_.build(region_, triangles_);
    }

    double turnFloor() const { return round_ > 0 ? kLaterTurnJacobian : kTurnedQuadJacobian; }

    int cost(int node, int change) const
    {
        const int d = valence_[node] + change - goal_[node];
        return d * d * (round_ > 0 && d > 0 && !boundary_[node] ? 2 : 1);
    }

    // Squared distance from the centroid of triangle `tri` to the nearest
    // centroid of another listed triangle (not e or f); infinite when none.
    double nearestTriangle(const std::array<int, 4>& tri, int e, int f) const
    {
        double x = 0.0, y = 0.0;
        for (int k = 0; k < 3; ++k) {
            x += region_.nodes[tri[k] - 1].x / 3.0;
            y += region_.nodes[tri[k] - 1].y / 3.0;
        }
        return triangleGrid_.nearest(x, y, e, f);
    }

    bool allowed(int node, int change) const { return valence_[node] + change >= (boundary_[node] ? 1 : 3); }

    // Two neighbouring elements e and f (across e's side k, from u to v)
    // and the polygon of their corners: v, the first's other corners, u,
    // the second's.
    struct Pair {
        int e = 0, f = 0, u = 0, v = 0, n = 0;
        std::array<int, 6> p{};
        std::array<int, 4> oldA{}, oldB{};
        int countA = 0, countB = 0;
    };

    // The change of the element count at `node` when t replaces the pair.
    static int countChange(const Turn& t, const Pair& pr, int node)
    {
        return (holds(t.a, t.aCount, node) ? 1 : 0) + (holds(t.b, t.bCount, node) ? 1 : 0) -
               (holds(pr.oldA, pr.countA, node) ? 1 : 0) - (holds(pr.oldB, pr.countB, node) ? 1 : 0);
    }

    // The pair across side k of e, looked at once from its lower element;
    // false when there is none or the polygon repeats a corner.
    bool pairAt(int e, int k, Pair& pr) const
    {
        const std::vector<TopoElement>& els = region_.topoElements;
        const TopoElement& first = els[e - 1];
        if (first.name <= 0 || k >= first.cornerCount) return false;
        const int f = first.nb[k];
        if (f <= e || f > static_cast<int>(els.size())) return false;
        const TopoElement& second = els[f - 1];
        if (second.name <= 0) return false;
        pr.e = e;
        pr.f = f;
        pr.u = cornerOf(first, k);
        pr.v = cornerOf(first, k + 1);
        const int j = directedSide(second, pr.v, pr.u);
        if (j < 0) return false;
        int n = 0;
        for (int m = 1; m < first.cornerCount; ++m) pr.p[n++] = cornerOf(first, k + m);
        for (int m = 1; m < second.cornerCount; ++m) pr.p[n++] = cornerOf(second, j + m);
        for (int a = 0; a < n; ++a)
            for (int b = a + 1; b < n; ++b)
                if (pr.p[a] == pr.p[b]) return false;
        pr.n = n;
        pr.oldA = cornersArray(first);
        pr.oldB = cornersArray(second);
        pr.countA = first.cornerCount;
        pr.countB = second.cornerCount;
        return true;
    }

    // The pair cut along the diagonal from the polygon's corner i to corner
    // i + s instead, its cost and score; false when it may not be taken:
    // a node would fall below its least count, it neither lowers the cost
    // nor moves a triangle on (nor pays with a merge after it), it costs
    // more than `best`, node records are full, the side exists already or
    // the new elements are not good enough.
    bool judgeTurn(const Pair& pr, int i, int s, int base, const Turn& best, Turn& t) const
    {
        const TopoElement& first = region_.topoElements[pr.e - 1];
        const TopoElement& second = region_.topoElements[pr.f - 1];
        const int n = pr.n;
        t.gainA = pr.p[i];
        t.gainB = pr.p[(i + s) % n];
        if ((t.gainA == pr.u && t.gainB == pr.v) || (t.gainA == pr.v && t.gainB == pr.u)) return false;
        // The part that keeps the first element's corner count goes to it.
        std::array<int, 4> one{}, two{};
        int oneCount = 0, twoCount = 0;
        for (int m = 0; m <= s; ++m) one[oneCount++] = pr.p[(i + m) % n];
        for (int m = s; m <= n; ++m) two[twoCount++] = pr.p[(i + m) % n];
        if (oneCount == pr.countA) {
            t.a = one, t.aCount = oneCount, t.b = two, t.bCount = twoCount;
        } else {
            t.a = two, t.aCount = twoCount, t.b = one, t.bCount = oneCount;
        }
        bool ok = true;
        t.cost = 0;
        for (int m = 0; m < n && ok; ++m) {
            const int node = pr.p[m];
            const int change = countChange(t, pr, node);
            if (change < 0 && !allowed(node, change)) ok = false;
            t.cost += cost(node, change);
        }
        // At equal cost a triangle may move on towards its nearest other
        // triangle, to be merged with it once they meet.
        double approach = 0.0;
        if (ok && t.cost == base && n == 5) {
            const std::array<int, 4>& tri = t.aCount == 3 ? t.a : t.b;
            const std::array<int, 4>& was = first.isTriangle ? pr.oldA : pr.oldB;
            const double before = nearestTriangle(was, pr.e, pr.f), after = nearestTriangle(tri, pr.e, pr.f);
            if (after < 0.64 * before) approach = before - after;
        }
        if (ok && n == 5 && t.cost >= base && approach <= 0.0) followingMerge(t, first, second, pr);
        if (!ok || (t.cost >= base && approach <= 0.0) || (best.gainA != 0 && t.cost > best.cost)) return false;
        const TopoNode &na = region_.topoNodes[t.gainA - 1], &nb = region_.topoNodes[t.gainB - 1];
        if (na.quadCount >= TopoNode::kMaxQuads || nb.quadCount >= TopoNode::kMaxQuads ||
            na.triangleCount >= TopoNode::kMaxTriangles || nb.triangleCount >= TopoNode::kMaxTriangles ||
            na.neighbourCount + 2 > TopoNode::kMaxNeighbours || nb.neighbourCount + 2 > TopoNode::kMaxNeighbours)
            return false;
        if (sideExists(region_, t.gainA, t.gainB)) return false;
        t.score = std::min(polygonScore(region_.nodes, t.a, t.aCount), polygonScore(region_.nodes, t.b, t.bCount));
        if (t.mergeWith != 0) t.score = std::min(t.score, mergedScore(t));
        if (t.score < turnFloor()) return false;
        if (round_ > 0 && t.score < std::min(polygonScore(region_.nodes, pr.oldA, pr.countA),
                                             polygonScore(region_.nodes, pr.oldB, pr.countB)) -
                                        kLaterTurnLoss)
            return false;
        return true;
    }

    // Makes the turn: element counts, the two elements, the elements next
    // to them looked at again, and the merge the turn paid for.
    void commitTurn(const Pair& pr, const Turn& best)
    {
        for (int m = 0; m < pr.n; ++m) valence_[pr.p[m]] += countChange(best, pr, pr.p[m]);
        apply(pr.e, pr.f, best);
        wake(pr.e);
        wake(pr.f);
        if (best.mergeWith == 0) return;
        const std::vector<TopoElement>& els = region_.topoElements;
        const int triangle = best.aCount == 3 ? pr.e : pr.f;
        const TopoElement& tri = els[triangle - 1];
        const int side = directedSide(tri, best.mergeFrom, best.mergeTo);
        const TopoElement& other = els[best.mergeWith - 1];
        const int back = directedSide(other, best.mergeTo, best.mergeFrom);
        if (side >= 0 && back >= 0 && tri.nb[side] == best.mergeWith) {
            const std::array<int, 6> quad = {
                best.mergeTo, cornerOf(tri, side + 2), best.mergeFrom, cornerOf(other, back + 2), 0, 0};
            mergeTriangles(triangle, best.mergeWith, best.mergeFrom, best.mergeTo, quad, true);
        }
    }

    // The side k of e turned (or its two triangles merged) when that brings
    // the element counts of its nodes nearer their goals.
    bool tryTurn(int e, int k)
    {
        Pair pr;
        if (!pairAt(e, k, pr)) return false;
        if (pr.n == 4) return mergeTriangles(pr.e, pr.f, pr.u, pr.v, pr.p);
        int base = 0;
        for (int m = 0; m < pr.n; ++m) base += cost(pr.p[m], 0);
        // Diagonals (i, i + s) that cut the polygon into parts of three or
        // four corners, the present one (u, v) left out.
        const int s = pr.n == 5 ? 2 : 3;
        const int diagonals = pr.n == 5 ? 5 : 3;
        Turn best;
        for (int i = 0; i < diagonals; ++i) {
            Turn t;
            if (!judgeTurn(pr, i, s, base, best, t)) continue;
            if (best.gainA == 0 || t.cost < best.cost || t.score > best.score) best = t;
        }
        if (best.gainA == 0) return false;
        commitTurn(pr, best);
        return true;
    }

    // Split t's triangle and the triangle across its side (mergeFrom,
    // mergeTo) as one quadrilateral: its worst corner scaled Jacobian, -2
    // when it is not valid.
    double mergedScore(const Turn& t) const
    {
        const std::array<int, 4>& tri = t.aCount == 3 ? t.a : t.b;
        int third = 0;
        for (int k = 0; k < 3; ++k)
            if (tri[k] != t.mergeFrom && tri[k] != t.mergeTo) third = tri[k];
        const TopoElement& other = region_.topoElements[t.mergeWith - 1];
        const int back = directedSide(other, t.mergeTo, t.mergeFrom);
        const std::array<int, 4> quad = {t.mergeTo, third, t.mergeFrom, cornerOf(other, back + 2)};
        return polygonScore(region_.nodes, quad, 4);
    }

    // A split t of a pentagon that does not lower the cost by itself may
    // still pay when its triangle meets another triangle across an outer
    // side of the pentagon: merging the two at once saves their two
    // irregular centres. When the cost of both steps together is below the
    // pentagon's present cost, t takes the cheapest such merge and that
    // cost.
    void followingMerge(Turn& t, const TopoElement& first, const TopoElement& second, const Pair& pr) const
    {
        const std::array<int, 4>& tri = t.aCount == 3 ? t.a : t.b;
        auto changeAt = [&](int node) { return countChange(t, pr, node); };
        int bestCost = t.cost;
        for (int k = 0; k < 3; ++k) {
            const int from = tri[k], to = tri[(k + 1) % 3];
            int across = 0;
            for (const TopoElement* old : {&first, &second}) {
                const int side = directedSide(*old, from, to);
                if (side >= 0) across = old->nb[side];
            }
            if (across <= 0 || across == pr.e || across == pr.f) continue;
            const TopoElement& other = region_.topoElements[across - 1];
            if (other.name <= 0 || !other.isTriangle) continue;
            const int back = directedSide(other, to, from);
            if (back < 0 || holds(tri, 3, cornerOf(other, back + 2))) continue;
            const int atFrom = changeAt(from), atTo = changeAt(to);
            if (!allowed(from, atFrom - 1) || !allowed(to, atTo - 1)) continue;
            const int total =
                t.cost - cost(from, atFrom) - cost(to, atTo) + cost(from, atFrom - 1) + cost(to, atTo - 1) - 2;
            if (total >= bestCost) continue;
            bestCost = total;
            t.mergeWith = across;
            t.mergeFrom = from;
            t.mergeTo = to;
        }
        t.cost = bestCost;
    }

    // Two triangles into the quadrilateral p when that saves the two
    // irregular centres their split would make, less what the element
    // counts of u and v lose (unless `paid`: the turn before it already
    // counted the merge), and the quadrilateral is valid and good enough.
    // The second triangle is left removed (negative name).
    bool mergeTriangles(int e, int f, int u, int v, const std::array<int, 6>& p, bool paid = false)
    {
        if (!allowed(u, -1) || !allowed(v, -1)) return false;
        const int change = cost(u, -1) + cost(v, -1) - cost(u, 0) - cost(v, 0) - 2;
        if (change > 0 && !paid) return false;
        Turn t;
        t.a = {p[0], p[1], p[2], p[3]};
        t.aCount = 4;
        if (polygonScore(region_.nodes, t.a, 4) < turnFloor()) return false;
        std::vector<TopoElement>& els = region_.topoElements;
        const TopoElement oldE = els[e - 1], oldF = els[f - 1];
        TopoElement& merged = els[e - 1];
        merged.cornerCount = 4;
        merged.isTriangle = false;
        merged.c = t.a;
        merged.nb = {0, 0, 0, 0};
        for (const TopoElement* old : {&oldE, &oldF})
            for (int k = 0; k < 3; ++k) {
                const int from = cornerOf(*old, k), to = cornerOf(*old, k + 1);
                const int side = directedSide(merged, from, to);
                if (side < 0) continue;  // the shared side
                const int across = old->nb[k];
                merged.nb[side] = across;
                if (across > 0 && across != e && across != f) {
                    TopoElement& other = els[across - 1];
                    const int back = directedSide(other, to, from);
                    if (back >= 0) other.nb[back] = e;
                }
            }
        for (BoundarySide& bs : region_.boundarySides) {
            if (bs.element != e && bs.element != f) continue;
            const TopoElement& old = bs.element == e ? oldE : oldF;
            const int side = directedSide(merged, cornerOf(old, bs.side), cornerOf(old, bs.side + 1));
            if (side >= 0) {
                bs.element = e;
                bs.side = side;
            }
        }
        els[f - 1].name = -f;
        triangleGrid_.update(region_, e);
        triangleGrid_.update(region_, f);
        removed_ = true;
        --valence_[u];
        --valence_[v];
        for (int m = 0; m < 4; ++m) relist(p[m], e, f);
        wake(e);
        return true;
    }

    // Drops the removed elements and numbers the rest from 1 again.
    void compactElements()
    {
        std::vector<TopoElement>& els = region_.topoElements;
        std::vector<int> map(els.size() + 1, 0);
        std::vector<TopoElement> kept;
        kept.reserve(els.size());
        for (std::size_t k = 0; k < els.size(); ++k) {
            if (els[k].name <= 0) continue;
            kept.push_back(els[k]);
            map[k + 1] = static_cast<int>(kept.size());
        }
        for (TopoElement& el : kept) {
            el.name = map[el.name];
            for (int k = 0; k < el.cornerCount; ++k)
                if (el.nb[k] > 0) el.nb[k] = map[el.nb[k]];
        }
        els.swap(kept);
        for (BoundarySide& bs : region_.boundarySides) bs.element = map[bs.element];
        for (TopoNode& n : region_.topoNodes) {
            for (int k = 0; k < n.quadCount; ++k) n.quads[k] = map[n.quads[k]];
            for (int k = 0; k < n.triangleCount; ++k) n.triangles[k] = map[n.triangles[k]];
        }
    }

    // The two elements get the new corners; the polygon's sides keep their
    // neighbour entries (and the neighbours across them point back to the
    // element now holding the side); the new diagonal joins the two; the
    // boundary side list and the nodes' element and neighbour lists follow.
    void apply(int e, int f, const Turn& t)
    {
        std::vector<TopoElement>& els = region_.topoElements;
        const TopoElement oldE = els[e - 1], oldF = els[f - 1];
        auto place = [&](int from, int to, int& element, int& side) {
            side = -1;
            for (int k = 0; k < t.aCount && side < 0; ++k)
                if (t.a[k] == from && t.a[(k + 1) % t.aCount] == to) {
                    element = e;
                    side = k;
                }
            for (int k = 0; k < t.bCount && side < 0; ++k)
                if (t.b[k] == from && t.b[(k + 1) % t.bCount] == to) {
                    element = f;
                    side = k;
                }
            return side >= 0;
        };
        auto reshape = [](TopoElement& el, const std::array<int, 4>& c, int count) {
            el.cornerCount = count;
            el.isTriangle = count == 3;
            el.c = {c[0], c[1], c[2], count == 4 ? c[3] : 0};
            el.nb = {0, 0, 0, 0};
        };
        reshape(els[e - 1], t.a, t.aCount);
        reshape(els[f - 1], t.b, t.bCount);
        for (const TopoElement* old : {&oldE, &oldF}) {
            for (int k = 0; k < old->cornerCount; ++k) {
                const int from = cornerOf(*old, k), to = cornerOf(*old, k + 1);
                int element = 0, side = 0;
                if (!place(from, to, element, side)) continue;  // the old shared side
                const int across = old->nb[k];
                els[element - 1].nb[side] = across;
                if (across > 0 && across != e && across != f) {
                    TopoElement& other = els[across - 1];
                    const int back = directedSide(other, to, from);
                    if (back >= 0) other.nb[back] = element;
                }
            }
        }
        int element = 0, side = 0;
        if (place(t.gainA, t.gainB, element, side)) els[element - 1].nb[side] = element == e ? f : e;
        if (place(t.gainB, t.gainA, element, side)) els[element - 1].nb[side] = element == e ? f : e;
        for (BoundarySide& bs : region_.boundarySides) {
            if (bs.element != e && bs.element != f) continue;
            const TopoElement& old = bs.element == e ? oldE : oldF;
            int to = 0, index = 0;
            if (place(cornerOf(old, bs.side), cornerOf(old, bs.side + 1), to, index)) {
                bs.element = to;
                bs.side = index;
            }
        }
        std::array<int, 8> touched{};
        int count = 0;
        for (const TopoElement* old : {&oldE, &oldF})
            for (int k = 0; k < old->cornerCount; ++k)
                if (std::find(touched.begin(), touched.begin() + count, old->c[k]) == touched.begin() + count)
                    touched[count++] = old->c[k];
        for (int m = 0; m < count; ++m) relist(touched[m], e, f);
        triangleGrid_.update(region_, e);
        triangleGrid_.update(region_, f);
    }

    void relist(int node, int e, int f)
    {
        TopoNode& n = region_.topoNodes[node - 1];
        int quads = 0, triangles = 0;
        for (int k = 0; k < n.quadCount; ++k)
            if (n.quads[k] != e && n.quads[k] != f) n.quads[quads++] = n.quads[k];
        for (int k = 0; k < n.triangleCount; ++k)
            if (n.triangles[k] != e && n.triangles[k] != f) n.triangles[triangles++] = n.triangles[k];
        for (int element : {e, f}) {
            const TopoElement& el = region_.topoElements[element - 1];
            if (el.name <= 0 || !holds(el.c, el.cornerCount, node)) continue;
            if (el.isTriangle)
                n.triangles[triangles++] = element;
            else
                n.quads[quads++] = element;
        }
        std::fill(n.quads.begin() + quads, n.quads.end(), 0);
        std::fill(n.triangles.begin() + triangles, n.triangles.end(), 0);
        n.quadCount = quads;
        n.triangleCount = triangles;
        std::vector<int> found;
        auto addCorners = [&](int element) {
            const TopoElement& el = region_.topoElements[element - 1];
            for (int k = 0; k < el.cornerCount; ++k)
                if (el.c[k] != node && std::find(found.begin(), found.end(), el.c[k]) == found.end())
                    found.push_back(el.c[k]);
        };
        for (int k = 0; k < n.quadCount; ++k) addCorners(n.quads[k]);
        for (int k = 0; k < n.triangleCount; ++k) addCorners(n.triangles[k]);
        n.neighbours.assign(found.begin(), found.end());
        n.neighbourCount = static_cast<int>(found.size());
    }

    // The smoother moves the nodes of positive status: the boundary nodes
    // are held by a negative one meanwhile. A move is kept only when the
    // worst corner around the node does not get worse, so the smoothing
    // cannot undo the quality floor of the turned elements' neighbours.
    void smoothInterior()
    {
        std::vector<TopoNode>& nodes = region_.topoNodes;
        for (std::size_t k = 0; k < nodes.size(); ++k)
            if (boundary_[k + 1]) nodes[k].status = -std::abs(nodes[k].status);
        smoothNodes(region_, true);
        for (std::size_t k = 0; k < nodes.size(); ++k)
            if (boundary_[k + 1]) nodes[k].status = std::abs(nodes[k].status);
        triangleGrid_.build(region_, triangles_);
    }

    RegionRecord& region_;
    std::vector<int> valence_, goal_;
    std::vector<char> boundary_;
    bool removed_ = false;
    int round_ = 0;
    std::vector<char> active_;

    void wake(int e)
    {
        const TopoElement& el = region_.topoElements[e - 1];
        active_[e] = 1;
        for (int k = 0; k < el.cornerCount; ++k)
            if (el.nb[k] > 0) active_[el.nb[k]] = 1;
    }
    std::vector<int> triangles_;  // triangle element numbers (some removed by merges)
    TriangleGrid triangleGrid_;   // the live triangles of triangles_ by centroid
};

}  // namespace

int improveQuadValence(RegionRecord& region)
{
    if (region.topoNodes.size() != region.nodes.size()) return 0;
    return ValenceImprover(region).run();
}

}  // namespace tessaro
