#include "Tessaro_DLL/quad/Smoothing.h"

#include <algorithm>
#include <cmath>

namespace tessaro {

namespace {

// Quadrilaterals whose worst corner has a smaller sine than this (corners
// sharper than 53 or blunter than 127 degrees), and triangles with a corner
// sharper than 30 degrees, are worked on by raisePoorestCorners once the
// limits are met.
const double kQuadRaiseBelow = 0.8;
const double kTriangleRaiseBelow = 0.5;

// Area of the triangle (a, b, c), whichever way it turns.
double heron(const MeshNode& a, const MeshNode& b, const MeshNode& c)
{
    return 0.5 * std::fabs((b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x));
}

double quadArea(const MeshNode& a, const MeshNode& b, const MeshNode& c, const MeshNode& d)
{
    return heron(a, b, d) + heron(b, c, d);
}

bool neighbourMean(const int* neighbours, int count, const std::vector<MeshNode>& nodes, double& x, double& y)
{
    if (count == 0) return false;
    x = 0.0;
    y = 0.0;
    for (int k = 0; k < count; ++k) {
        x += nodes[neighbours[k] - 1].x;
        y += nodes[neighbours[k] - 1].y;
    }
    x /= count;
    y /= count;
    return true;
}

// cos 177 degrees: a corner whose cosine is not above it is too flat.
const double kFlatCornerCosine = std::cos(177.0 * std::acos(-1.0) / 180.0);

// Worst corner of the topology element or final element around a node.
struct ElementCorners {
    const MeshNode* p[4] = {nullptr, nullptr, nullptr, nullptr};
    int count = 0;
};

ElementCorners cornersOf(const TopoElement& el, const std::vector<MeshNode>& nodes)
{
    ElementCorners c;
    c.count = el.isTriangle ? 3 : 4;
    for (int k = 0; k < c.count; ++k) c.p[k] = &nodes[el.c[k] - 1];
    return c;
}

ElementCorners cornersOf(const MeshElement& el, const std::vector<MeshNode>& nodes)
{
    ElementCorners c;
    c.count = el.w[4] == 0 ? 3 : 4;
    for (int k = 0; k < c.count; ++k) c.p[k] = &nodes[el.w[1 + k] - 1];
    return c;
}

// The turn at corner b between its sides towards the next corner c and the
// previous corner a: the product of the squared side lengths, the cross
// product (positive for a left turn) and the dot product of the sides.
struct CornerTurn {
    double lengths = 0.0, cross = 0.0, dot = 0.0;
};

CornerTurn turnAt(const MeshNode& a, const MeshNode& b, const MeshNode& c)
{
    const double nx = c.x - b.x, ny = c.y - b.y, px = a.x - b.x, py = a.y - b.y;
    return {(nx * nx + ny * ny) * (px * px + py * py), nx * py - ny * px, nx * px + ny * py};
}

// A valid corner: sides of some length, a left turn clearly off the
// straight, and not as flat as kFlatCornerCosine allows.
bool turnValid(const CornerTurn& t)
{
    static const double flatSquared = kFlatCornerCosine * kFlatCornerCosine;
    return t.lengths > 0.0 && t.cross > 0.0 && t.cross * t.cross > 1e-24 * t.lengths &&
           (t.dot >= 0.0 || t.dot * t.dot < flatSquared * t.lengths);
}

// Whether the element is valid (see cornersValid), with its worst corner
// scaled Jacobian in `worst`, in one pass over the corners. The corners are
// compared by the signed square of their scaled Jacobian, so only the worst
// one needs a square root.
bool cornerState(const MeshNode* const* corners, int count, double& worst)
{
    double key = 2.0;
    bool valid = true;
    for (int k = 0; k < count; ++k) {
        const CornerTurn t = turnAt(*corners[(k + count - 1) % count], *corners[k], *corners[(k + 1) % count]);
        if (!(t.lengths > 0.0)) {
            worst = -1.0;
            return false;
        }
        const double squared = t.cross * t.cross / t.lengths;
        key = std::min(key, t.cross < 0.0 ? -squared : squared);
        if (!turnValid(t)) valid = false;
    }
    worst = key < 0.0 ? -std::sqrt(-key) : std::sqrt(key);
    // Four left turns close only once round: the sides cannot cross.
    return valid;
}

// The validity of cornerState alone, without square roots.
bool cornersValidQuick(const MeshNode* const* corners, int count)
{
    for (int k = 0; k < count; ++k)
        if (!turnValid(turnAt(*corners[(k + count - 1) % count], *corners[k], *corners[(k + 1) % count]))) return false;
    return true;
}

// Elements around a node, at most the slots a node record holds in place;
// a node with more is `partial` and stays where it is.
template <typename Element>
struct Around {
    static constexpr int kCapacity = TopoNode::kMaxQuads + TopoNode::kMaxTriangles;
    const Element* element[kCapacity] = {};
    int count = 0;
    bool partial = false;
    void add(const Element* el)
    {
        if (count < kCapacity)
            element[count++] = el;
        else
            partial = true;
    }
};

// Validity (-1 not known yet, 0 or 1) and worst corner of each element as
// one smoother run last saw them. Every move of the run goes through
// moveIfValid, which refreshes the elements around the moved node, so the
// states before a move need not be computed again.
struct StateCache {
    explicit StateCache(std::size_t count) : valid(count, -1), worst(count, 0.0) {}
    std::vector<signed char> valid;
    std::vector<double> worst;
};

// Moves `node` to (x, y) when no element around it that is valid now
// becomes invalid; with `noWorse`, only when their worst corner does not
// get worse either, trying shorter steps first. Returns whether it moved.
// `first` is the start of the element list `cache` is indexed by.
template <typename Element>
bool moveIfValid(MeshNode& node, double x, double y, const Around<Element>& around, const std::vector<MeshNode>& nodes,
                 bool noWorse, const Element* first = nullptr, StateCache* cache = nullptr)
{
    constexpr int kCapacity = Around<Element>::kCapacity;
    if (around.partial) return false;
    bool validBefore[kCapacity];
    bool validAfter[kCapacity];
    double worstAfter[kCapacity];
    double before = 2.0;
    int worstFirst = 0;  // the element measured first after a move: the worst now
    for (int k = 0; k < around.count; ++k) {
        const std::size_t index = cache ? static_cast<std::size_t>(around.element[k] - first) : 0;
        if (cache && cache->valid[index] >= 0) {
            validBefore[k] = cache->valid[index] != 0;
            if (noWorse && cache->worst[index] < before) {
                before = cache->worst[index];
                worstFirst = k;
            }
            continue;
        }
        const ElementCorners c = cornersOf(*around.element[k], nodes);
        double worst = 0.0;
        if (noWorse) {
            validBefore[k] = cornerState(c.p, c.count, worst);
            if (worst < before) {
                before = worst;
                worstFirst = k;
            }
        } else {
            validBefore[k] = cornersValidQuick(c.p, c.count);
        }
        if (cache) {
            cache->valid[index] = validBefore[k] ? 1 : 0;
            cache->worst[index] = worst;
        }
    }
    const double x0 = node.x, y0 = node.y;
    for (const double step : {1.0, 0.5, 0.25}) {
        node.x = x0 + step * (x - x0);
        node.y = y0 + step * (y - y0);
        bool keep = true;
        for (int m = 0; m < around.count && keep; ++m) {
            const int k = m == 0 ? worstFirst : m == worstFirst ? 0 : m;
            const ElementCorners c = cornersOf(*around.element[k], nodes);
            worstAfter[k] = 0.0;
            validAfter[k] = noWorse ? cornerState(c.p, c.count, worstAfter[k]) : cornersValidQuick(c.p, c.count);
            if (validBefore[k] && !validAfter[k]) keep = false;
            if (noWorse && worstAfter[k] < before) keep = false;
        }
        if (keep) {
            if (cache)
                for (int k = 0; k < around.count; ++k) {
                    const std::size_t index = static_cast<std::size_t>(around.element[k] - first);
                    cache->valid[index] = validAfter[k] ? 1 : 0;
                    cache->worst[index] = worstAfter[k];
                }
            return true;
        }
        if (!noWorse) break;
    }
    node.x = x0;
    node.y = y0;
    return false;
}

Around<TopoElement> topoElementsAt(const TopoNode& n, const RegionRecord& region)
{
    Around<TopoElement> around;
    for (int q = 0; q < n.quadCount; ++q) around.add(&region.topoElements[n.quads[q] - 1]);
    for (int t = 0; t < n.triangleCount; ++t) around.add(&region.topoElements[n.triangles[t] - 1]);
    return around;
}

Around<MeshElement> elementsAt(const NodeAdjacency& a, const std::vector<MeshElement>& elements)
{
    Around<MeshElement> around;
    for (int k = 0; k < a.elementCount; ++k) around.add(&elements[a.elements[k] - 1]);
    return around;
}

}  // namespace

double worstCornerJacobian(const MeshNode* const* corners, int count)
{
    double worst = 1.0;
    cornerState(corners, count, worst);
    return worst;
}

bool cornersValid(const MeshNode* const* corners, int count) { return cornersValidQuick(corners, count); }

CentroidArea triangleCentroidArea(const TopoElement& element, const RegionRecord& region)
{
    const MeshNode& a = region.nodes[element.c[0] - 1];
    const MeshNode& b = region.nodes[element.c[1] - 1];
    const MeshNode& c = region.nodes[element.c[2] - 1];
    return {(a.x + b.x + c.x) / 3.0, (a.y + b.y + c.y) / 3.0, heron(a, b, c)};
}

CentroidArea quadCentroidArea(const TopoElement& element, const RegionRecord& region)
{
    const MeshNode& a = region.nodes[element.c[0] - 1];
    const MeshNode& b = region.nodes[element.c[1] - 1];
    const MeshNode& c = region.nodes[element.c[2] - 1];
    const MeshNode& d = region.nodes[element.c[3] - 1];
    return {(a.x + b.x + c.x + d.x) * 0.25, (a.y + b.y + c.y + d.y) * 0.25, quadArea(a, b, c, d)};
}

void smoothNodes(RegionRecord& region, bool noWorse)
{
    StateCache cache(region.topoElements.size());
    const TopoElement* first = region.topoElements.data();
    for (int sweep = 0; sweep < 3; ++sweep) {
        for (std::size_t k = 0; k < region.topoNodes.size(); ++k) {
            const TopoNode& n = region.topoNodes[k];
            if (n.status <= 0) continue;
            MeshNode& node = region.nodes[k];
            const Around<TopoElement> around = topoElementsAt(n, region);
            if (n.triangleCount + n.quadCount < 5) {
                double mx = 0.0, my = 0.0;
                if (neighbourMean(n.neighbours.data(), n.neighbourCount, region.nodes, mx, my))
                    moveIfValid(node, mx, my, around, region.nodes, noWorse, first, &cache);
                continue;
            }
            double x = 0.0, y = 0.0, weight = 0.0;
            auto add = [&](const CentroidArea& ca) {
                x += ca.area * ca.x;
                y += ca.area * ca.y;
                weight += ca.area;
            };
            for (int q = 0; q < n.quadCount; ++q) add(quadCentroidArea(region.topoElements[n.quads[q] - 1], region));
            for (int t = 0; t < n.triangleCount; ++t)
                add(triangleCentroidArea(region.topoElements[n.triangles[t] - 1], region));
            if (weight > 0.0) moveIfValid(node, x / weight, y / weight, around, region.nodes, noWorse, first, &cache);
        }
    }
}

namespace {

void moveToWeightedCentroid(int node, std::vector<MeshNode>& nodes, const std::vector<MeshElement>& elements,
                            const std::vector<NodeAdjacency>& adjacency, StateCache* cache)
{
    const NodeAdjacency& a = adjacency[node - 1];
    double x = 0.0, y = 0.0, weight = 0.0;
    for (int k = 0; k < a.elementCount; ++k) {
        const MeshElement& el = elements[a.elements[k] - 1];
        const MeshNode& p = nodes[el.w[1] - 1];
        const MeshNode& q = nodes[el.w[2] - 1];
        const MeshNode& r = nodes[el.w[3] - 1];
        const MeshNode& s = nodes[el.w[4] - 1];
        const double area = quadArea(p, q, r, s);
        x += area * (p.x + q.x + r.x + s.x) * 0.25;
        y += area * (p.y + q.y + r.y + s.y) * 0.25;
        weight += area;
    }
    if (weight <= 0.0) return;
    moveIfValid(nodes[node - 1], x / weight, y / weight, elementsAt(a, elements), nodes, true, elements.data(), cache);
}

}  // namespace

void moveToWeightedCentroid(int node, std::vector<MeshNode>& nodes, const std::vector<MeshElement>& elements,
                            const std::vector<NodeAdjacency>& adjacency)
{
    moveToWeightedCentroid(node, nodes, elements, adjacency, nullptr);
}

void laplaceSmooth(std::vector<MeshNode>& nodes, const std::vector<MeshElement>& elements,
                   const std::vector<NodeAdjacency>& adjacency, const std::vector<int>& held)
{
    std::vector<char> isHeld(nodes.size() + 1, 0);
    for (int h : held)
        if (h >= 1 && h <= static_cast<int>(nodes.size())) isHeld[h] = 1;
    auto nextToHeld = [&](const NodeAdjacency& a) {
        for (int k = 0; k < a.neighbourCount; ++k)
            if (isHeld[a.neighbours[k]]) return true;
        return false;
    };
    StateCache cache(elements.size());
    for (int sweep = 0; sweep < 3; ++sweep)
        for (std::size_t k = 0; k < adjacency.size(); ++k) {
            const NodeAdjacency& a = adjacency[k];
            if (a.name <= 0 || nextToHeld(a)) continue;
            double mx = 0.0, my = 0.0;
            if (neighbourMean(a.neighbours.data(), a.neighbourCount, nodes, mx, my))
                moveIfValid(nodes[k], mx, my, elementsAt(a, elements), nodes, true, elements.data(), &cache);
        }
    // Fixed and held nodes stay where they are: a moved boundary node would
    // leave the region's outline and tear its seams.
    for (const NodeAdjacency& a : adjacency) {
        if (a.name <= 0 || a.elementCount < 5) continue;
        for (int k = 0; k < a.neighbourCount; ++k) {
            const int m = a.neighbours[k];
            if (adjacency[m - 1].name <= 0 || isHeld[m]) continue;
            moveToWeightedCentroid(m, nodes, elements, adjacency, &cache);
        }
    }
}

void repairInvalidElements(std::vector<MeshNode>& nodes, const std::vector<MeshElement>& elements,
                           const std::vector<NodeAdjacency>& adjacency)
{
    for (int sweep = 0; sweep < 20; ++sweep) {
        std::vector<int> free;
        for (const MeshElement& el : elements) {
            const ElementCorners c = cornersOf(el, nodes);
            if (cornersValid(c.p, c.count)) continue;
            for (int k = 0; k < c.count; ++k) {
                const int node = el.w[1 + k];
                if (adjacency[node - 1].name > 0 && std::find(free.begin(), free.end(), node) == free.end())
                    free.push_back(node);
            }
        }
        if (free.empty()) return;
        bool moved = false;
        for (int node : free) {
            const NodeAdjacency& a = adjacency[node - 1];
            double mx = 0.0, my = 0.0;
            if (!neighbourMean(a.neighbours.data(), a.neighbourCount, nodes, mx, my)) continue;
            if (moveIfValid(nodes[node - 1], mx, my, elementsAt(a, elements), nodes, true)) moved = true;
        }
        if (!moved) return;
    }
}

namespace {

// How well a corner keeps the limits the finished mesh aims at: its sine
// over that of 11.5 degrees (a scaled Jacobian of 0.2) for a sharp corner,
// over that of 160 degrees for a blunt one; 1 or more is within them, a
// corner turned inward or flat is below 0.
double cornerScore(const MeshNode& previous, const MeshNode& corner, const MeshNode& next)
{
    static const double bluntSine = std::sin(20.0 * std::acos(-1.0) / 180.0);
    const CornerTurn t = turnAt(previous, corner, next);
    if (!(t.lengths > 0.0)) return -1.0;
    const double sine = t.cross / std::sqrt(t.lengths);
    return t.dot >= 0.0 ? sine / 0.2 : sine / bluntSine;
}

// How far the corners of the elements around a node fall short of the
// limits (the sum of the squared shortfalls of their scores, so that a
// corner the node cannot change, such as a sharp corner of the region,
// does not stop the others from improving), and how many of the elements
// are not valid (see cornersValid).
struct AroundScore {
    double shortfall = 0.0;
    int invalid = 0;
    bool betterThan(const AroundScore& other) const
    {
        return invalid <= other.invalid && shortfall < other.shortfall - 1e-12;
    }
};

AroundScore scoreAround(const Around<MeshElement>& around, const std::vector<MeshNode>& nodes)
{
    AroundScore score;
    for (int k = 0; k < around.count; ++k) {
        const ElementCorners c = cornersOf(*around.element[k], nodes);
        if (!cornersValidQuick(c.p, c.count)) ++score.invalid;
        for (int m = 0; m < c.count; ++m) {
            const double s = cornerScore(*c.p[(m + c.count - 1) % c.count], *c.p[m], *c.p[(m + 1) % c.count]);
            if (s < 1.0) score.shortfall += (1.0 - s) * (1.0 - s);
        }
    }
    return score;
}

double worstScoreOf(const MeshElement& el, const std::vector<MeshNode>& nodes)
{
    const ElementCorners c = cornersOf(el, nodes);
    double worst = 1e30;
    for (int m = 0; m < c.count; ++m)
        worst = std::min(worst, cornerScore(*c.p[(m + c.count - 1) % c.count], *c.p[m], *c.p[(m + 1) % c.count]));
    return worst;
}

double nearestNeighbourSquared(const MeshNode& n, const NodeAdjacency& a, const std::vector<MeshNode>& nodes)
{
    double nearest = 1e300;
    for (int k = 0; k < a.neighbourCount; ++k) {
        const MeshNode& m = nodes[a.neighbours[k] - 1];
        nearest = std::min(nearest, (m.x - n.x) * (m.x - n.x) + (m.y - n.y) * (m.y - n.y));
    }
    return nearest;
}

// Whether (x, y) lies within `reach` of (x0, y0).
bool within(double x, double y, double x0, double y0, double reach)
{
    return (x - x0) * (x - x0) + (y - y0) * (y - y0) <= reach * reach;
}

// The mean length of the node's edges: the reach of its pattern search. A
// node pressed against one neighbour (say next to a boundary node put back
// after the halving) has a much shorter nearest edge and could not get away
// from it in steps of that length.
double meanNeighbourDistance(const MeshNode& n, const NodeAdjacency& a, const std::vector<MeshNode>& nodes)
{
    if (a.neighbourCount == 0) return 0.0;
    double sum = 0.0;
    for (int k = 0; k < a.neighbourCount; ++k) {
        const MeshNode& m = nodes[a.neighbours[k] - 1];
        sum += std::hypot(m.x - n.x, m.y - n.y);
    }
    return sum / a.neighbourCount;
}

// Pattern search for a free node: eight directions, steps from the node's
// mean edge length over `first` down to over `last`, never more than half
// that length from where it was nor closer to a neighbour than 0.3 of its
// shortest edge. `betterHere` rates the node's present position and says
// whether it is better than the best so far (taking it as the best when it
// is); the node ends at the best position. Returns whether it moved.
template <typename BetterHere>
bool patternSearch(MeshNode& n, const NodeAdjacency& a, const std::vector<MeshNode>& nodes, double first, double last,
                   BetterHere betterHere)
{
    const double shortestSquared = nearestNeighbourSquared(n, a, nodes);
    if (!(shortestSquared > 0.0) || shortestSquared > 1e299) return false;
    const double guardSquared = 0.09 * shortestSquared;  // 0.3 of the shortest edge
    const double reach = meanNeighbourDistance(n, a, nodes);
    const double x0 = n.x, y0 = n.y;
    bool moved = false;
    static const double kDiagonal = std::sqrt(0.5);
    const double directions[8][2] = {{1, 0},
                                     {0, 1},
                                     {-1, 0},
                                     {0, -1},
                                     {kDiagonal, kDiagonal},
                                     {-kDiagonal, kDiagonal},
                                     {-kDiagonal, -kDiagonal},
                                     {kDiagonal, -kDiagonal}};
    for (double step = reach / first; step > reach / last; step *= 0.5) {
        bool better = true;
        while (better) {
            better = false;
            const double bx = n.x, by = n.y;
            double bestX = bx, bestY = by;
            for (const auto& d : directions) {
                n.x = bx + step * d[0];
                n.y = by + step * d[1];
                if (!within(n.x, n.y, x0, y0, 0.5 * reach) || nearestNeighbourSquared(n, a, nodes) < guardSquared)
                    continue;
                if (betterHere()) {
                    bestX = n.x;
                    bestY = n.y;
                    better = true;
                }
            }
            n.x = bestX;
            n.y = bestY;
            moved = moved || better;
        }
    }
    return moved;
}

// Moves a free node by a pattern search (steps from a third of its mean
// edge length down to a two-hundred-fifty-sixth) to where the corners
// around it fall least short of the limits, without more invalid elements
// around it than before.
bool improveNode(int node, std::vector<MeshNode>& nodes, const std::vector<MeshElement>& elements,
                 const NodeAdjacency& a)
{
    const Around<MeshElement> around = elementsAt(a, elements);
    if (around.partial) return false;
    AroundScore best = scoreAround(around, nodes);
    return patternSearch(nodes[node - 1], a, nodes, 3.0, 256.0, [&]() {
        const AroundScore score = scoreAround(around, nodes);
        if (!score.betterThan(best)) return false;
        best = score;
        return true;
    });
}

// The smallest sine among the corners a move of `node` changes: in each
// element around it, its own corner and the corners at its two neighbours
// along the element's sides (negative for a corner turned inward).
double smallestMovableSine(int node, const Around<MeshElement>& around, const std::vector<MeshNode>& nodes)
{
    double smallest = 2.0;
    for (int k = 0; k < around.count; ++k) {
        const MeshElement& el = *around.element[k];
        const int count = el.w[4] == 0 ? 3 : 4;
        int at = 0;
        while (at < count && el.w[1 + at] != node) ++at;
        if (at == count) continue;
        for (const int m : {at + count - 1, at, at + 1}) {
            const MeshNode& previous = nodes[el.w[1 + (m + count - 1) % count] - 1];
            const MeshNode& corner = nodes[el.w[1 + m % count] - 1];
            const MeshNode& next = nodes[el.w[1 + (m + 1) % count] - 1];
            const CornerTurn t = turnAt(previous, corner, next);
            if (!(t.lengths > 0.0)) return -1.0;
            smallest = std::min(smallest, t.cross / std::sqrt(t.lengths));
        }
    }
    return smallest;
}

// Moves a free node by a pattern search (steps from a quarter of its mean
// edge length down to a sixty-fourth) to where the smallest sine of the
// corners it changes is largest, without falling further short of the
// limits (see AroundScore) or making more elements invalid.
bool raiseSmallestSine(int node, std::vector<MeshNode>& nodes, const std::vector<MeshElement>& elements,
                       const NodeAdjacency& a)
{
    const Around<MeshElement> around = elementsAt(a, elements);
    if (around.partial) return false;
    const AroundScore limits = scoreAround(around, nodes);
    double best = smallestMovableSine(node, around, nodes);
    return patternSearch(nodes[node - 1], a, nodes, 4.0, 64.0, [&]() {
        const double sine = smallestMovableSine(node, around, nodes);
        if (!(sine > best + 1e-9)) return false;
        const AroundScore score = scoreAround(around, nodes);
        if (score.invalid > limits.invalid || score.shortfall > limits.shortfall + 1e-12) return false;
        best = sine;
        return true;
    });
}

// The free corners (positive adjacency name) of the elements that `poor`
// picks, each once, in ascending order.
template <typename Poor>
std::vector<int> freeCornersOf(const std::vector<MeshElement>& elements, const std::vector<NodeAdjacency>& adjacency,
                               Poor poor)
{
    std::vector<int> free;
    for (const MeshElement& el : elements) {
        if (!poor(el)) continue;
        const int count = el.w[4] == 0 ? 3 : 4;
        for (int k = 0; k < count; ++k) {
            const int node = el.w[1 + k];
            if (adjacency[node - 1].name > 0) free.push_back(node);
        }
    }
    std::sort(free.begin(), free.end());
    free.erase(std::unique(free.begin(), free.end()), free.end());
    return free;
}

// Worst corner sine of an element.
double worstSineOf(const MeshElement& el, const std::vector<MeshNode>& nodes)
{
    const ElementCorners c = cornersOf(el, nodes);
    double worst = 2.0;
    cornerState(c.p, c.count, worst);
    return worst;
}

}  // namespace

void raisePoorestCorners(std::vector<MeshNode>& nodes, const std::vector<MeshElement>& elements,
                         const std::vector<NodeAdjacency>& adjacency)
{
    for (int sweep = 0; sweep < 4; ++sweep) {
        const std::vector<int> free = freeCornersOf(elements, adjacency, [&](const MeshElement& el) {
            return worstSineOf(el, nodes) < (el.w[4] == 0 ? kTriangleRaiseBelow : kQuadRaiseBelow);
        });
        bool moved = false;
        for (int node : free)
            if (raiseSmallestSine(node, nodes, elements, adjacency[node - 1])) moved = true;
        if (!moved) return;
    }
}

void improvePoorCorners(std::vector<MeshNode>& nodes, const std::vector<MeshElement>& elements,
                        const std::vector<NodeAdjacency>& adjacency)
{
    for (int sweep = 0; sweep < 8; ++sweep) {
        std::vector<int> free =
            freeCornersOf(elements, adjacency, [&](const MeshElement& el) { return worstScoreOf(el, nodes) < 1.0; });
        // The neighbours of those nodes get room to move as well.
        const std::size_t direct = free.size();
        for (std::size_t i = 0; i < direct; ++i) {
            const NodeAdjacency& a = adjacency[free[i] - 1];
            for (int k = 0; k < a.neighbourCount; ++k)
                if (adjacency[a.neighbours[k] - 1].name > 0) free.push_back(a.neighbours[k]);
        }
        std::sort(free.begin(), free.end());
        free.erase(std::unique(free.begin(), free.end()), free.end());
        bool moved = false;
        for (int node : free)
            if (improveNode(node, nodes, elements, adjacency[node - 1])) moved = true;
        if (!moved) break;
    }
    raisePoorestCorners(nodes, elements, adjacency);
}

}  // namespace tessaro
