#include "Tessaro_DLL/structure/BeamVertices.h"

#include <algorithm>
#include <cmath>

#include "Tessaro_DLL/free/Delaunay.h"

namespace tessaro {

namespace {

constexpr double kVertexTolerance = 1e-8;
constexpr double kFaceTolerance = 1e-5;
constexpr int kBeamFace = -6;

bool contains(const std::vector<int>& list, int value)
{
    return std::find(list.begin(), list.end(), value) != list.end();
}

void removeAll(std::vector<int>& list, int value)
{
    list.erase(std::remove(list.begin(), list.end(), value), list.end());
}

// The mesh and the vertex being fixed, with the small geometric queries the
// cases share.
struct VertexFix {
    GlobalMesh& mesh;
    int nc;
    double vx, vy;

    MeshElement& element(int e) { return mesh.elements[e - 1]; }
    const FemNode* node(int id) const
    {
        return id >= 1 && id <= static_cast<int>(mesh.nodes.size()) ? &mesh.nodes[id - 1] : nullptr;
    }
    bool atVertex(int id) const
    {
        const FemNode* p = node(id);
        return p != nullptr && std::hypot(p->x - vx, p->y - vy) < kVertexTolerance;
    }
    int corner(int e, int k) { return element(e).w[1 + ((k % nc) + nc) % nc]; }
    int cornerIndex(int e, int id)
    {
        for (int k = 0; k < nc; ++k)
            if (corner(e, k) == id) return k;
        return -1;
    }
    int sideEndingAt(int e, int id)
    {
        const int i = cornerIndex(e, id);
        return i < 0 ? -1 : (i - 1 + nc) % nc;
    }
    int sideStartingAt(int e, int id) { return cornerIndex(e, id); }
    int newNode()
    {
        const int id = static_cast<int>(mesh.nodes.size()) + 1;
        mesh.nodes.push_back(FemNode{id, vx, vy});
        return id;
    }
    // Corners at the vertex (or equal to one of the given nodes) become `to`.
    void moveCornersAtVertex(const std::vector<int>& elements, int to)
    {
        for (int e : elements)
            for (int k = 0; k < nc; ++k)
                if (atVertex(element(e).w[1 + k])) element(e).w[1 + k] = to;
    }
    void moveCorners(const std::vector<int>& elements, int from1, int from2, int to)
    {
        for (int e : elements)
            for (int k = 0; k < nc; ++k) {
                int& c = element(e).w[1 + k];
                if (c == from1 || c == from2) c = to;
            }
    }
    // Side `side` of e becomes a beam face, recorded in the side list.
    void markFace(int e, int side)
    {
        if (e < 1 || side < 0) return;
        mesh.neighbours[e - 1].n[1 + side] = kBeamFace;
        mesh.openSides.push_back(BoundarySide{e, side, kBeamFace});
    }
    // Angle at the vertex between direction u and the direction to node id.
    double angleTo(double ux, double uy, int id) const
    {
        const FemNode* p = node(id);
        if (p == nullptr) return 0.0;
        const double dx = p->x - vx, dy = p->y - vy;
        const double length = std::hypot(dx, dy) * std::hypot(ux, uy);
        if (!(length > 0.0)) return 0.0;
        return std::acos(std::clamp((ux * dx + uy * dy) / length, -1.0, 1.0));
    }
};

// The beam faces at the vertex: E_s starts a -6 side there, E_e ends one.
struct FaceEnds {
    int es = 0, as = 0, fs = 0;
    int ee = 0, be = 0;
};

FaceEnds findFaceEnds(VertexFix& fix, const std::vector<int>& candidates)
{
    FaceEnds ends;
    for (int c : candidates)
        for (const BoundarySide& side : fix.mesh.openSides) {
            if (side.element != c || side.code != kBeamFace) continue;
            const int a = fix.corner(c, side.side), b = fix.corner(c, side.side + 1);
            if (fix.atVertex(a) && !fix.atVertex(b)) {
                ends.es = c;
                ends.as = a;
                ends.fs = b;
            }
            if (fix.atVertex(b) && !fix.atVertex(a)) {
                ends.ee = c;
                ends.be = b;
            }
        }
    return ends;
}

// Removes every neighbour of `e` found in `rest`; the last one found.
int takeNeighbours(const GlobalMesh& mesh, int e, int nc, std::vector<int>& rest)
{
    int last = 0;
    for (int k = 1; k <= nc; ++k) {
        const int nb = mesh.neighbours[e - 1].n[k];
        if (nb > 0 && contains(rest, nb)) {
            removeAll(rest, nb);
            last = nb;
        }
    }
    return last;
}

bool neighbourError(std::ostream& log)
{
    log << "Error: Error in fixing beam vertex: can not find element neighbour" << std::endl;
    return false;
}

struct Chains {
    std::vector<int> s, e;  // E_s side and E_e side of the cut, outer ends first
};

// Cases r = 1 and r = 3: the cut runs on one side of the element m, chosen
// by the angles at its corners next to the vertex.
void cutBesideElement(VertexFix& fix, const FaceEnds& f, int m, const Chains& chains, double ux, double uy)
{
    const int from = fix.cornerIndex(m, f.as) >= 0 ? f.as : f.be;
    const int c1 = nextCornerInElement(from, fix.nc, fix.element(m));
    int cl = nextCornerInElement(c1, fix.nc, fix.element(m));
    if (fix.nc == 4) cl = nextCornerInElement(cl, fix.nc, fix.element(m));
    const double angle1 = fix.angleTo(ux, uy, c1), angle2 = fix.angleTo(ux, uy, cl);
    if (angle1 == angle2) return;
    const bool shared = f.as == f.be;
    if (angle1 > angle2) {
        const int outer = chains.s.back();
        int faceNode = f.as;
        if (shared) {
            faceNode = fix.newNode();
            fix.moveCorners(chains.s, f.as, f.as, faceNode);
        } else {
            fix.moveCorners(std::vector<int>(chains.s.begin() + 1, chains.s.end()), f.as, f.be, f.as);
        }
        const int sideN = fix.sideEndingAt(outer, faceNode);
        const int sideM = fix.sideStartingAt(m, shared ? f.as : f.be);
        fix.markFace(outer, sideN);
        fix.markFace(m, sideM);
    } else {
        const int outer = chains.e.back();
        int faceNode = f.be;
        if (shared) {
            faceNode = fix.newNode();
            fix.moveCorners(chains.e, f.as, f.as, faceNode);
        } else {
            fix.moveCorners(std::vector<int>(chains.e.begin() + 1, chains.e.end()), f.as, f.be, f.be);
        }
        const int sideN = fix.sideStartingAt(outer, faceNode);
        const int sideM = fix.sideEndingAt(m, f.as);
        fix.markFace(outer, sideN);
        fix.markFace(m, sideM);
    }
}

// Case r = 0: the fan E_s, N_s, N_e, E_e is cut between N_s and N_e.
void cutFan(VertexFix& fix, const FaceEnds& f, int ns, int ne)
{
    int faceNode = f.as;
    if (f.as == f.be) {
        faceNode = fix.newNode();
        fix.moveCornersAtVertex({f.es, ns}, faceNode);
    } else {
        fix.moveCornersAtVertex({f.es, ns}, f.as);
        fix.moveCornersAtVertex({f.ee, ne}, f.be);
    }
    const int sideS = fix.sideEndingAt(ns, faceNode), sideE = fix.sideStartingAt(ne, f.be);
    fix.markFace(ns, sideS);
    fix.markFace(ne, sideE);
}

// Case r = 2: the cut runs between X_s and X_e.
void cutBetweenNeighbours(VertexFix& fix, const FaceEnds& f, int ns, int ne, const std::vector<int>& candidates)
{
    auto firstNeighbourIn = [&](int e, int except) {
        for (int k = 1; k <= fix.nc; ++k) {
            const int nb = fix.mesh.neighbours[e - 1].n[k];
            if (nb > 0 && nb != except && contains(candidates, nb)) return nb;
        }
        return 0;
    };
    const int xs = firstNeighbourIn(ns, f.es), xe = firstNeighbourIn(ne, f.ee);
    if (xs == 0 || xe == 0) return;
    int sideS = -1, sideE = -1;
    for (int k = 0; k < fix.nc; ++k) {
        if (fix.mesh.neighbours[xs - 1].n[1 + k] == xe) sideS = k;
        if (fix.mesh.neighbours[xe - 1].n[1 + k] == xs) sideE = k;
    }
    if (f.as == f.be) {
        const int faceNode = fix.newNode();
        fix.moveCorners({f.es, ns, xs}, f.as, f.as, faceNode);
    } else {
        // The faces have their own nodes already: a new node would leave
        // a_s without elements.
        fix.moveCornersAtVertex({f.es, ns, xs}, f.as);
        fix.moveCornersAtVertex({f.ee, ne, xe}, f.be);
    }
    fix.markFace(xs, sideS);
    fix.markFace(xe, sideE);
}

// Case r = 4: the cut runs along the edge that A2 and B2 share.
bool cutAlongSharedEdge(VertexFix& fix, const FaceEnds& f, int ns, int ne, const std::vector<int>& rest,
                        std::ostream& log)
{
    const std::vector<ElementNeighbours>& nbs = fix.mesh.neighbours;
    const int a1 = firstNeighbourInList(ns, rest, nbs, fix.nc);
    const int a2 = a1 ? firstNeighbourInList(a1, rest, nbs, fix.nc) : 0;
    const int b1 = firstNeighbourInList(ne, rest, nbs, fix.nc);
    const int b2 = b1 ? firstNeighbourInList(b1, rest, nbs, fix.nc) : 0;
    if (a1 == 0 || a2 == 0 || b1 == 0 || b2 == 0) return neighbourError(log);
    int a = 0, b = 0;
    findSharedEdge(fix.element(a2), fix.element(b2), fix.nc, a, b);
    if (a <= 0 || b <= 0) return neighbourError(log);
    const int sideA = fix.sideStartingAt(a2, a), sideB = fix.sideStartingAt(b2, b);
    if (f.as == f.be) {
        const int faceNode = fix.newNode();
        fix.moveCorners({f.es, ns, a1, a2}, f.as, f.as, faceNode);
    } else {
        fix.moveCornersAtVertex({f.es, ns, a1, a2}, f.as);
        fix.moveCornersAtVertex({f.ee, ne, b1, b2}, f.be);
    }
    fix.markFace(a2, sideA);
    fix.markFace(b2, sideB);
    return true;
}

// Walks from `start` over the untaken elements of `pool` to `target`; the
// elements passed (with the target when `withTarget`). False when the walk
// runs out of neighbours first.
bool walkTo(const GlobalMesh& mesh, int nc, int start, int target, std::vector<int> pool, bool withTarget,
            std::vector<int>& chain)
{
    chain = {start};
    for (int current = start;;) {
        const int next = firstNeighbourInList(current, pool, mesh.neighbours, nc);
        if (next == 0) return false;
        removeAll(pool, next);
        if (next == target) {
            if (withTarget) chain.push_back(next);
            return true;
        }
        chain.push_back(next);
        current = next;
    }
}

// Case r > 4: the cut runs beside T, the element whose corner before the
// vertex lies furthest from the beam.
void cutBesideFurthest(VertexFix& fix, const FaceEnds& f, const std::vector<int>& candidates, double ux, double uy)
{
    std::vector<int> others, pool;
    std::vector<double> angles;
    for (int g : candidates) {
        if (g == f.es || g == f.ee) continue;
        if (!contains(pool, g)) pool.push_back(g);
        const int i = fix.cornerIndex(g, f.as);
        if (i < 0) continue;
        others.push_back(g);
        angles.push_back(fix.angleTo(ux, uy, fix.corner(g, i - 1)));
    }
    const int best = indexOfMaximum(angles);
    if (best < 1) return;
    const int t = others[best - 1];
    std::vector<int> chainS, chainE;
    if (!walkTo(fix.mesh, fix.nc, f.es, t, pool, true, chainS)) return;
    if (!walkTo(fix.mesh, fix.nc, f.ee, t, pool, false, chainE)) return;
    int faceNode = f.as;
    if (f.as == f.be) {
        faceNode = fix.newNode();
        fix.moveCornersAtVertex(chainS, faceNode);
        fix.moveCornersAtVertex(chainE, f.as);
    } else {
        fix.moveCornersAtVertex(chainS, f.as);
        fix.moveCornersAtVertex(chainE, f.be);
    }
    const int sideT = fix.sideEndingAt(t, faceNode);
    if (sideT < 0) return;
    const int w = fix.mesh.neighbours[t - 1].n[1 + sideT];
    fix.markFace(t, sideT);
    if (w > 0) fix.markFace(w, fix.sideStartingAt(w, f.be));
}

// One vertex; false after a logged error that ends the loop.
bool fixVertex(VertexFix& fix, const std::deque<StructureElementRecord>& structures, std::ostream& log)
{
    GlobalMesh& mesh = fix.mesh;
    std::vector<int> candidates;
    for (int g : mesh.vertexElements) {
        if (g < 1 || g > static_cast<int>(mesh.elements.size())) continue;
        for (int k = 0; k < fix.nc; ++k)
            if (fix.atVertex(fix.corner(g, k))) candidates.push_back(g);
    }
    if (candidates.empty()) return true;
    const std::vector<int> regions = collectBeamRegionValues(fix.vx, fix.vy, structures);
    const bool ours = std::any_of(candidates.begin(), candidates.end(),
                                  [&](int c) { return contains(regions, fix.element(c).w[11]); });
    if (!ours) return true;

    // No beam face at all (a beam along a closed seam): nothing to continue.
    const FaceEnds f = findFaceEnds(fix, candidates);
    if (f.es == 0 && f.ee == 0) return true;
    if (candidates.size() > 1 && (f.es == 0 || f.ee == 0)) {
        log << "Error: Error in fixing beam vertex: number of elements (bd=-6) not equal to 2" << std::endl;
        return false;
    }
    std::vector<int> rest = candidates;
    removeAll(rest, f.es);
    removeAll(rest, f.ee);
    if (rest.empty() || f.es == 0 || f.ee == 0) return true;
    const int ns = takeNeighbours(mesh, f.es, fix.nc, rest);
    const int ne = takeNeighbours(mesh, f.ee, fix.nc, rest);
    if (ns == 0 || ne == 0) return true;

    const FemNode* far = fix.node(f.fs);
    const double ux = far ? far->x - fix.vx : 0.0, uy = far ? far->y - fix.vy : 0.0;
    switch (rest.size()) {
        case 0: cutFan(fix, f, ns, ne); return true;
        case 1: {
            const int m = rest.front();
            int a = 0, b = 0, c = 0, d = 0;
            findSharedEdge(fix.element(m), fix.element(ns), fix.nc, a, b);
            findSharedEdge(fix.element(m), fix.element(ne), fix.nc, c, d);
            if (a > 0 && b > 0 && c > 0 && d > 0) cutBesideElement(fix, f, m, Chains{{f.es, ns}, {f.ee, ne}}, ux, uy);
            return true;
        }
        case 2: cutBetweenNeighbours(fix, f, ns, ne, candidates); return true;
        case 3: {
            const int ys = firstNeighbourInList(ns, rest, mesh.neighbours, fix.nc);
            removeAll(rest, ys);
            const int ye = firstNeighbourInList(ne, rest, mesh.neighbours, fix.nc);
            removeAll(rest, ye);
            if (ys == 0 || ye == 0 || rest.empty()) return neighbourError(log);
            cutBesideElement(fix, f, rest.front(), Chains{{f.es, ns, ys}, {f.ee, ne, ye}}, ux, uy);
            return true;
        }
        case 4: return cutAlongSharedEdge(fix, f, ns, ne, rest, log);
        default: cutBesideFurthest(fix, f, candidates, ux, uy); return true;
    }
}

bool sidesCoincide(const FemNode& a, const FemNode& b, const FemNode& c, const FemNode& d)
{
    auto near = [](const FemNode& p, const FemNode& q) { return std::hypot(p.x - q.x, p.y - q.y) < kFaceTolerance; };
    return (near(a, d) && near(b, c)) || (near(a, c) && near(b, d));
}

}  // namespace

std::vector<int> collectBeamRegionValues(double x, double y, const std::deque<StructureElementRecord>& structures)
{
    std::vector<int> values;
    for (const StructureElementRecord& se : structures) {
        if (se.segments.empty()) continue;
        const SideSegment& seg = se.segments.front();
        if (std::hypot(seg.x1 - x, seg.y1 - y) < kVertexTolerance ||
            std::hypot(seg.x2 - x, seg.y2 - y) < kVertexTolerance)
            values.insert(values.end(), se.regionValues.begin(), se.regionValues.end());
    }
    return values;
}

int firstNeighbourInList(int element, const std::vector<int>& list, const std::vector<ElementNeighbours>& neighbours,
                         int nc)
{
    if (element < 1 || element > static_cast<int>(neighbours.size())) return 0;
    for (int k = 1; k <= nc && k <= 4; ++k)
        if (contains(list, neighbours[element - 1].n[k])) return neighbours[element - 1].n[k];
    return 0;
}

int nextCornerInElement(int node, int nc, MeshElement element)
{
    if (nc != 3 && nc != 4) return 0;
    for (int k = 0; k < nc; ++k)
        if (element.w[1 + k] == node) return element.w[1 + (k + 1) % nc];
    return 0;
}

int indexOfMaximum(const std::vector<double>& values)
{
    if (values.empty()) return -1;
    double best = -1e30;
    int index = -1;
    for (std::size_t k = 0; k < values.size(); ++k)
        if (values[k] > best) {
            best = values[k];
            index = static_cast<int>(k) + 1;
        }
    return index;
}

bool fixBeamVertices(bool quadrilateral, GlobalMesh& mesh, const std::deque<StructureElementRecord>& structures,
                     std::ostream& log)
{
    const int nc = quadrilateral ? 4 : 3;
    const std::vector<MeshNode> vertices = mesh.vertexList;
    for (const MeshNode& vertex : vertices) {
        VertexFix fix{mesh, nc, vertex.x, vertex.y};
        if (!fixVertex(fix, structures, log)) return false;
    }
    return true;
}

void pairBeamFaces(bool quadrilateral, GlobalMesh& mesh)
{
    const int nc = quadrilateral ? 4 : 3;
    const int nE = static_cast<int>(mesh.elements.size());
    std::vector<int> w = mesh.vertexElements;
    auto corner = [&](int e, int k) { return mesh.elements[e - 1].w[1 + (k % nc)]; };
    auto nodeAt = [&](int id) -> const FemNode* {
        return id >= 1 && id <= static_cast<int>(mesh.nodes.size()) ? &mesh.nodes[id - 1] : nullptr;
    };
    for (std::size_t i = 0; i < w.size(); ++i) {
        if (w[i] < 0) continue;
        const int e1 = w[i];
        if (e1 < 1 || e1 > nE) continue;
        for (int k = 0; k < nc; ++k) {
            if (mesh.neighbours[e1 - 1].n[1 + k] != kBeamFace) continue;
            const int a = corner(e1, k), b = corner(e1, k + 1);
            for (std::size_t j = 0; j < w.size() && mesh.neighbours[e1 - 1].n[1 + k] == kBeamFace; ++j) {
                const int e2 = w[j];
                if (e2 < 0 || e2 == e1 || e2 > nE) continue;
                for (int m = 0; m < nc; ++m) {
                    if (mesh.neighbours[e2 - 1].n[1 + m] != kBeamFace) continue;
                    const int c = corner(e2, m), d = corner(e2, m + 1);
                    const FemNode *pa = nodeAt(a), *pb = nodeAt(b), *pc = nodeAt(c), *pd = nodeAt(d);
                    if (!pa || !pb || !pc || !pd) continue;
                    if ((a != d && b != c) || !sidesCoincide(*pa, *pb, *pc, *pd)) continue;
                    mesh.neighbours[e1 - 1].n[1 + k] = e2 + nE;
                    mesh.neighbours[e2 - 1].n[1 + m] = e1 + nE;
                    w[i] = -e1;
                    w[j] = -e2;
                    break;
                }
            }
        }
    }
}

}  // namespace tessaro
