#include "Tessaro_DLL/topology/TriangleMerge.h"

#include <algorithm>
#include <array>
#include <cstdlib>

#include "Tessaro_DLL/topology/Topology.h"

namespace tessaro {

namespace {

int signedName(const TopoElement& el) { return el.isTriangle ? el.name : -el.name; }

bool holds(const TopoElement& el, int node)
{
    for (int k = 0; k < el.cornerCount; ++k)
        if (el.c[k] == node) return true;
    return false;
}

// Neighbour nodes `node` would have once triangles a and b are replaced by
// the quadrilateral `quad`.
std::size_t neighboursAfterMerge(const RegionRecord& region, int node, int a, int b, const std::array<int, 4>& quad)
{
    const TopoNode& n = region.topoNodes[node - 1];
    std::vector<int> found;
    auto add = [&](int c) {
        if (c != node && std::find(found.begin(), found.end(), c) == found.end()) found.push_back(c);
    };
    for (int c : quad) add(c);
    for (int k = 0; k < n.triangleCount; ++k) {
        const int t = n.triangles[k];
        if (t == a || t == b) continue;
        const TopoElement& el = region.topoElements[t - 1];
        for (int m = 0; m < el.cornerCount; ++m) add(el.c[m]);
    }
    for (int k = 0; k < n.quadCount; ++k) {
        const TopoElement& el = region.topoElements[n.quads[k] - 1];
        for (int m = 0; m < el.cornerCount; ++m) add(el.c[m]);
    }
    return found.size();
}

}  // namespace

void linkElementsAcrossEdge(int a, int b, std::vector<int> elements, RegionRecord& region)
{
    int forward = 0, backward = 0;
    for (int e : elements) {
        const TopoElement& el = topoElement(region, std::abs(e));
        if (forward == 0 && directedSideIndex(el, a, b) >= 0) forward = std::abs(e);
        if (backward == 0 && directedSideIndex(el, b, a) >= 0) backward = std::abs(e);
    }
    if (forward == 0 || backward == 0) return;
    TopoElement& f = topoElement(region, forward);
    TopoElement& g = topoElement(region, backward);
    f.nb[directedSideIndex(f, a, b)] = signedName(g);
    g.nb[directedSideIndex(g, b, a)] = signedName(f);
}

bool mergeTrianglePair(RegionRecord& region, int first, int second, int codeOffset)
{
    const int none = -(codeOffset + 1);
    TopoElement& A = topoElement(region, first);
    TopoElement& B = topoElement(region, second);

    // 1. The quadrilateral (U, P, Q, R).
    int u = -1;
    for (int k = 0; k < 3 && u < 0; ++k)
        if (!holds(B, A.c[k])) u = k;
    if (u < 0) return false;
    const int U = A.c[u], P = A.c[(u + 1) % 3];
    int p = -1;
    for (int k = 0; k < 3; ++k)
        if (B.c[k] == P) p = k;
    if (p < 0) return false;
    const std::array<int, 4> quad = {U, P, B.c[(p + 1) % 3], B.c[(p + 2) % 3]};

    for (int node : quad) {
        if (topoNode(region, node).quadCount >= TopoNode::kMaxQuads) return false;
        if (neighboursAfterMerge(region, node, first, second, quad) > TopoNode::kMaxNeighbours) return false;
    }

    // 2. Candidate neighbours: A's entries, then B's new ones.
    std::vector<int> candidates;
    for (const TopoElement* el : {&A, &B})
        for (int k = 0; k < 3; ++k) {
            const int entry = el->nb[k];
            if (entry == 0 || std::abs(entry) == codeOffset + 1 || std::abs(entry) > codeOffset) continue;
            if (std::abs(entry) == first || std::abs(entry) == second) continue;
            if (std::find(candidates.begin(), candidates.end(), entry) == candidates.end()) candidates.push_back(entry);
        }

    // 3. Entries of the four sides, each matched in its candidate.
    std::array<int, 4> entries{};
    for (int s = 0; s < 4; ++s) {
        entries[s] = none;
        for (int entry : candidates) {
            TopoElement& other = topoElement(region, std::abs(entry));
            const int k = directedSideIndex(other, quad[(s + 1) % 4], quad[s]);
            if (k < 0) continue;
            entries[s] = entry;
            other.nb[k] = -first;
            break;
        }
    }

    // 4. Node lists.
    for (int node : quad) {
        TopoNode& n = topoNode(region, node);
        removeTopoSlot(n.triangles.data(), n.triangleCount, first);
        removeTopoSlot(n.triangles.data(), n.triangleCount, second);
        n.quads[n.quadCount++] = first;
    }

    // 5. The records: B forwards to A.
    A.cornerCount = 4;
    A.isTriangle = false;
    A.nb = entries;
    A.c = quad;
    B.name = -first;
    B.c = quad;
    B.isTriangle = false;

    // 6. Neighbour lists of the four corners.
    for (int node : quad) {
        const TopoNode& n = topoNode(region, node);
        std::vector<int> elements;
        for (int k = 0; k < n.triangleCount; ++k) elements.push_back(n.triangles[k]);
        for (int k = 0; k < n.quadCount; ++k) elements.push_back(-n.quads[k]);
        std::vector<int> nodes = collectElementNodes(region, elements, kTopoElements);
        nodes.erase(std::remove(nodes.begin(), nodes.end(), node), nodes.end());
        TopoNode& target = topoNode(region, node);
        target.neighbours.fill(0);
        std::copy(nodes.begin(), nodes.end(), target.neighbours.begin());
        target.neighbourCount = static_cast<int>(nodes.size());
    }

    // Records removed earlier that forward to A keep the corners they had:
    // nothing reads the corners of a removed record, and looking for them
    // would cost a pass over every record after each merge.
    return true;
}

}  // namespace tessaro
