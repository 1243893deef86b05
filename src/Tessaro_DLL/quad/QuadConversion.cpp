#include "Tessaro_DLL/quad/QuadConversion.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

#include "Tessaro_DLL/quad/FinalElements.h"
#include "Tessaro_DLL/quad/Smoothing.h"
#include "Tessaro_DLL/topology/Passes.h"
#include "Tessaro_DLL/topology/Topology.h"

namespace tessaro {

namespace {

// Twice the signed area of (a, b, c) over the sum of its squared sides.
double shape(const MeshNode& a, const MeshNode& b, const MeshNode& c)
{
    const double area = (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
    auto sq = [](const MeshNode& p, const MeshNode& q) {
        return (q.x - p.x) * (q.x - p.x) + (q.y - p.y) * (q.y - p.y);
    };
    return area / (sq(a, b) + sq(b, c) + sq(c, a));
}

// Quality of the counter-clockwise quadrilateral A, B, C, D.
double quadQuality(const MeshNode& A, const MeshNode& B, const MeshNode& C, const MeshNode& D)
{
    std::array<double, 4> t = {shape(A, B, C), shape(C, D, A), shape(A, B, D), shape(B, C, D)};
    std::sort(t.begin(), t.end());
    const double q = (t[1] * t[0]) / t[2] / t[3];
    // Two negative parts make a positive product: an inverted or
    // self-intersecting shape must still rate below every valid one.
    return t[0] < 0.0 ? -std::abs(q) : q;
}

// Direction of (dx, dy) in radians, 0 to 2 pi.
double direction(double dx, double dy)
{
    const double pi = 4.0 * std::atan(1.0);
    if (dx > 1e-7) return std::atan(dy / dx) + (dy < 0.0 ? 2.0 * pi : 0.0);
    if (dx < -1e-7) return std::atan(dy / dx) + pi;
    return dy > 0.0 ? pi / 2.0 : 3.0 * pi / 2.0;
}

bool isElementReference(int entry, int codeOffset) { return entry != 0 && std::abs(entry) <= codeOffset; }

// Step 5: element e and its partner p across side b become quadrilateral e.
bool mergePair(RegionRecord& region, int e, int p, int b, int codeOffset)
{
    TopoElement& E = topoElement(region, e);
    TopoElement& P = topoElement(region, p);
    const std::array<int, 3> c = {E.c[0], E.c[1], E.c[2]};
    int apex = 0;
    for (int k = 0; k < 3; ++k)
        if (P.c[k] != c[b] && P.c[k] != c[(b + 1) % 3]) apex = P.c[k];
    const std::array<int, 4> quad = {apex, c[(b + 1) % 3], c[(b + 2) % 3], c[b]};

    std::vector<int> around;
    for (int k = 0; k < 3; ++k)
        if (isElementReference(E.nb[k], codeOffset) && std::abs(E.nb[k]) != p) around.push_back(std::abs(E.nb[k]));
    for (int k = 0; k < 3; ++k)
        if (isElementReference(P.nb[k], codeOffset) && std::abs(P.nb[k]) != e) around.push_back(std::abs(P.nb[k]));

    E.isTriangle = false;
    E.cornerCount = 4;
    E.c = quad;
    for (int j = 0; j < 4; ++j) {
        E.nb[j] = -(codeOffset + 1);
        for (int name : around) {
            TopoElement& other = topoElement(region, name);
            const int k = directedSideIndex(other, quad[(j + 1) % 4], quad[j]);
            if (k < 0) continue;
            E.nb[j] = other.isTriangle ? name : -name;
            other.nb[k] = -e;
            break;
        }
    }

    for (int j = 0; j < 4; ++j) {
        TopoNode& n = topoNode(region, quad[j]);
        removeTopoSlot(n.triangles.data(), n.triangleCount, p);
        removeTopoSlot(n.triangles.data(), n.triangleCount, e);
        n.quads[n.quadCount++] = e;
        const int opposite = quad[(j + 2) % 4];
        if (std::find(n.neighbours.begin(), n.neighbours.begin() + n.neighbourCount, opposite) !=
            n.neighbours.begin() + n.neighbourCount)
            continue;
        n.neighbours[n.neighbourCount++] = opposite;
    }

    P.name = -e;
    P.isTriangle = false;
    P.c = quad;
    P.nb = {0, 0, 0, 0};
    return true;
}

// One sweep at `threshold`.
bool pairingSweep(RegionRecord& region, double threshold, int codeOffset, std::ostream& /*log*/)
{
    const int count = static_cast<int>(region.topoElements.size());
    for (int e = 1; e <= count; ++e) {
        const TopoElement& el = topoElement(region, e);
        if (el.name < 0 || !el.isTriangle) continue;
        int best = -1;
        double bestQuality = -1e30;
        for (int i = 0; i < 3; ++i) {
            double quality = 0.0;
            const int n = el.nb[i];
            if (n > 0 && n <= codeOffset && topoElement(region, n).isTriangle) {
                const TopoElement& other = topoElement(region, n);
                int apex = 0;
                for (int k = 0; k < 3; ++k)
                    if (other.c[k] != el.c[i] && other.c[k] != el.c[(i + 1) % 3]) apex = other.c[k];
                quality = quadMergeQuality(el.c[i], el.c[(i + 1) % 3], el.c[(i + 2) % 3], apex, region);
            }
            if (quality >= bestQuality) {
                bestQuality = quality;
                best = i;
            }
        }
        if (best < 0 || !(bestQuality >= threshold)) continue;
        const int partner = el.nb[best];
        if (partner <= 0 || partner > codeOffset) continue;
        if (!mergePair(region, e, partner, best, codeOffset)) return false;
    }
    return true;
}

struct ChainInputs {
    RegionRecord& region;
    const std::vector<BoundaryNodeAngle>& table;
    int nb;
    int offset;
    const std::vector<BoundarySegment>& segments;
    std::ostream& log;
    std::string history;
};

using ChainStep = bool (*)(ChainInputs&);

struct ChainEntry {
    ChainCall call;
    ChainStep run;
};

// The calls in chain order: one adapter per pass, handing it its inputs.
const std::vector<ChainEntry>& chainEntries()
{
    using I = ChainInputs;
    static const ChainStep check = [](I& in) {
        return checkTriangleNeighbours(in.region, in.offset, in.history, in.log);
    };
    static const ChainStep valence2 = [](I& in) {
        return removeValence2Nodes(in.region, in.offset, in.history, in.log);
    };
    static const ChainStep collapse = [](I& in) {
        return collapseBoundaryTriangle(in.region, in.table, in.nb, in.offset, in.log, in.history);
    };
    static const ChainStep shift = [](I& in) {
        return shiftBoundaryTriangleInward(in.region, in.table, in.offset, in.segments, in.history, in.log);
    };
    static const ChainStep relieve = [](I& in) {
        return relieveSixElementNodes(in.region, in.nb, in.offset, in.history, in.log);
    };
    static const ChainStep valence6 = [](I& in) { return fixValence6Nodes(in.region, in.nb, in.history, in.log); };
    static const ChainStep ringed = [](I& in) {
        return convertTriangleRingedQuads(in.region, in.offset, in.history, in.log);
    };
    static const ChainStep qqt = [](I& in) {
        return fixQuadQuadTriangleNodes(in.region, in.offset, in.history, in.log);
    };
    static const ChainStep between = [](I& in) {
        return resolveTrianglePairsBetweenQuads(in.region, in.nb, in.offset, in.history, in.log);
    };
    static const ChainStep atBoundary = [](I& in) {
        return resolveTrianglePairsAtBoundary(in.region, in.table, in.offset, in.history, in.log);
    };
    static const ChainStep pairs = [](I& in) {
        return resolveTrianglePairs(in.region, in.nb, in.offset, in.history, in.log);
    };
    static const ChainStep opposite = [](I& in) {
        return mergeQuadWithOppositeTriangles(in.region, in.nb, in.offset, in.history, in.log);
    };
    static const ChainStep adjacent3 = [](I& in) {
        return fixAdjacentValence3Nodes(in.region, in.nb, in.offset, in.history, in.log);
    };
    static const ChainStep adjacent3Boundary = [](I& in) {
        return fixAdjacentValence3NodesNearBoundary(in.region, in.table, in.offset, in.history, in.log);
    };
    static const ChainStep collapse3 = [](I& in) {
        return collapseValence3Pairs(in.region, in.nb, in.history, in.log);
    };
    static const ChainStep flat3 = [](I& in) {
        return reduceFlatBoundaryValence3(in.region, in.table, in.history, in.log);
    };
    static const std::vector<ChainEntry> entries = {
        {{"checkTriangleNeighbours", false}, check},                           // 1
        {{"removeValence2Nodes", false}, valence2},                            // 2
        {{"collapseBoundaryTriangle", false}, collapse},                       // 3
        {{"checkTriangleNeighbours", false}, check},                           // 4
        {{"shiftBoundaryTriangleInward", false}, shift},                       // 5
        {{"checkTriangleNeighbours", false}, check},                           // 6
        {{"relieveSixElementNodes", false}, relieve},                          // 7
        {{"fixValence6Nodes", false}, valence6},                               // 8
        {{"convertTriangleRingedQuads", true}, ringed},                        // 9
        {{"fixQuadQuadTriangleNodes", false}, qqt},                            // 10
        {{"checkTriangleNeighbours", false}, check},                           // 11
        {{"removeValence2Nodes", false}, valence2},                            // 12
        {{"resolveTrianglePairsBetweenQuads", false}, between},                // 13
        {{"resolveTrianglePairsAtBoundary", false}, atBoundary},               // 14
        {{"mergeQuadWithOppositeTriangles", false}, opposite},                 // 15
        {{"fixQuadQuadTriangleNodes", false}, qqt},                            // 16
        {{"checkTriangleNeighbours", false}, check},                           // 17
        {{"fixAdjacentValence3Nodes", false}, adjacent3},                      // 18
        {{"fixAdjacentValence3NodesNearBoundary", false}, adjacent3Boundary},  // 19
        {{"collapseValence3Pairs", false}, collapse3},                         // 20
        {{"relieveSixElementNodes", false}, relieve},                          // 21
        {{"fixValence6Nodes", false}, valence6},                               // 22
        {{"collapseBoundaryTriangle", false}, collapse},                       // 23
        {{"checkTriangleNeighbours", false}, check},                           // 24
        {{"shiftBoundaryTriangleInward", false}, shift},                       // 25
        {{"checkTriangleNeighbours", false}, check},                           // 26
        {{"reduceFlatBoundaryValence3", true}, flat3},                         // 27
        {{"fixValence6Nodes", false}, valence6},                               // 28
        {{"fixQuadQuadTriangleNodes", false}, qqt},                            // 29
        {{"removeValence2Nodes", false}, valence2},                            // 30
        {{"collapseValence3Pairs", false}, collapse3},                         // 31
        {{"checkTriangleNeighbours", false}, check},                           // 32
        {{"relieveSixElementNodes", false}, relieve},                          // 33
        {{"resolveTrianglePairs", false}, pairs},                              // 34
        {{"mergeQuadWithOppositeTriangles", false}, opposite},                 // 35
        {{"collapseValence3Pairs", false}, collapse3},                         // 36
        {{"checkTriangleNeighbours", false}, check},                           // 37
        {{"fixAdjacentValence3Nodes", false}, adjacent3},                      // 38
        {{"fixQuadQuadTriangleNodes", false}, qqt},                            // 39
        {{"removeValence2Nodes", false}, valence2},                            // 40
        {{"checkTriangleNeighbours", false}, check},                           // 41
        {{"relieveSixElementNodes", false}, relieve},                          // 42
        {{"fixValence6Nodes", false}, valence6},                               // 43
        {{"resolveTrianglePairs", false}, pairs},                              // 44
        {{"relieveSixElementNodes", false}, relieve},                          // 45
        {{"fixValence6Nodes", false}, valence6},                               // 46
        {{"mergeQuadWithOppositeTriangles", false}, opposite},                 // 47
        {{"removeValence2Nodes", false}, valence2},                            // 48
    };
    return entries;
}

}  // namespace

double quadMergeQuality(int p, int q, int r, int s, const RegionRecord& region)
{
    auto at = [&](int n) -> const MeshNode& { return region.nodes[n - 1]; };
    return quadQuality(at(p), at(s), at(q), at(r));
}

double quadElementQuality(const RegionRecord& region, TopoElement element)
{
    auto at = [&](int k) -> const MeshNode& { return region.nodes[element.c[k] - 1]; };
    return quadQuality(at(0), at(1), at(2), at(3));
}

bool vectorContains(int value, const std::vector<int>& values)
{
    return std::find(values.begin(), values.end(), value) != values.end();
}

void buildTopologyModel(RegionRecord& region, int nb, int codeOffset)
{
    region.topoElements.clear();
    for (std::size_t t = 0; t < region.triangles.size(); ++t) {
        TopoElement el;
        el.name = region.triangles[t].name;
        for (int k = 0; k < 3; ++k) {
            const int entry = region.neighbours[t].n[1 + k];
            el.nb[k] = entry < 0 ? entry - codeOffset : entry;
            el.c[k] = region.triangles[t].corners[k];
        }
        region.topoElements.push_back(el);
    }
    region.topoNodes.clear();
    for (std::size_t k = 0; k < region.nodes.size(); ++k) {
        const NodeAdjacency& a = region.adjacency[k];
        TopoNode n;
        n.status = a.name <= nb ? -std::abs(a.name) : a.name;
        n.neighbourCount = a.neighbourCount;
        n.triangleCount = a.elementCount;
        n.neighbours.assign(a.neighbours.begin(), a.neighbours.begin() + a.neighbourCount);
        n.triangles.assign(a.elements.begin(), a.elements.begin() + a.elementCount);
        region.topoNodes.push_back(n);
    }
}

std::vector<BoundaryNodeAngle> buildBoundaryAngles(const RegionRecord& region,
                                                   const std::vector<BoundarySegment>& segments, int nb)
{
    std::vector<BoundaryNodeAngle> table(nb);
    const std::size_t used = std::min<std::size_t>(segments.size(), nb);
    const double pi = 4.0 * std::atan(1.0);
    for (int k = 1; k <= nb; ++k) {
        BoundaryNodeAngle& entry = table[k - 1];
        for (std::size_t s = 0; s < used && entry.next == 0; ++s)
            if (segments[s].start == k) entry.next = segments[s].end;
        for (std::size_t s = 0; s < used && entry.previous == 0; ++s)
            if (segments[s].end == k) entry.previous = segments[s].start;
        if (entry.next == 0 || entry.previous == 0) continue;
        const MeshNode& at = region.nodes[k - 1];
        const MeshNode& next = region.nodes[entry.next - 1];
        const MeshNode& previous = region.nodes[entry.previous - 1];
        double angle = direction(previous.x - at.x, previous.y - at.y) - direction(next.x - at.x, next.y - at.y);
        if (angle < 0.0) angle += 2.0 * pi;
        entry.angle = static_cast<int>(angle / (pi / 4.0) * 45.0);
    }
    return table;
}

bool pairTriangles(RegionRecord& region, int codeOffset, std::ostream& log)
{
    double threshold = 0.5;
    for (int sweep = 0; sweep < 4; ++sweep) {
        if (!pairingSweep(region, sweep == 3 ? 0.001 : threshold, codeOffset, log)) return false;
        threshold -= 0.15;
    }
    return true;
}

const std::vector<ChainCall>& quadChainCalls()
{
    static const std::vector<ChainCall> calls = [] {
        std::vector<ChainCall> list;
        for (const ChainEntry& entry : chainEntries()) list.push_back(entry.call);
        return list;
    }();
    return calls;
}

QuadChainFigures& quadChainFigures()
{
    static QuadChainFigures figures;
    return figures;
}

namespace {

void tallyChainFigures(const RegionRecord& region)
{
    QuadChainFigures& figures = quadChainFigures();
    for (const TopoElement& el : region.topoElements)
        if (el.name > 0 && el.cornerCount == 3) ++figures.triangles;
    for (const TopoNode& node : region.topoNodes) {
        if (node.status <= 0) continue;
        ++figures.interiorNodes;
        if (node.triangleCount + node.quadCount == 4) ++figures.fourElementNodes;
    }
}

}  // namespace

bool optimizeQuadMesh(RegionRecord& region, std::vector<BoundarySegment>& segments, int codeOffset, std::ostream& log)
{
    const int nb = static_cast<int>(region.boundarySides.size());
    buildTopologyModel(region, nb, codeOffset);
    const std::vector<BoundaryNodeAngle> table = buildBoundaryAngles(region, segments, nb);
    if (!pairTriangles(region, codeOffset, log)) return false;

    ChainInputs inputs{region, table, nb, codeOffset, segments, log, "optimization_history.dat"};
    smoothNodes(region);
    for (const ChainEntry& entry : chainEntries()) {
        if (!entry.run(inputs)) return false;
        if (entry.call.smoothAfter) smoothNodes(region);
    }
    tallyChainFigures(region);
    smoothNodes(region);
    compactAndRenumber(region, nb, codeOffset);
    return true;
}

}  // namespace tessaro
