// An interior node held by exactly two quadrilaterals and no triangle makes
// the two share two sides: the lower-named one takes the other's far corner
// in place of the node and the other goes.
#include <algorithm>
#include <string>

#include "Tessaro_DLL/topology/PassSupport.h"
#include "Tessaro_DLL/topology/Passes.h"
#include "Tessaro_DLL/topology/Topology.h"

namespace tessaro {

namespace {

// Merges the two quadrilaterals at node n; false when a corner's lists
// overflow.
bool mergeAroundNode(RegionRecord& region, int n, int codeOffset, std::ostream& log)
{
    const TopoNode& node = topoNode(region, n);
    const int survivor = std::min(node.quads[0], node.quads[1]);
    const int removed = std::max(node.quads[0], node.quads[1]);
    const TopoElement& r = topoElement(region, removed);
    const int far = r.c[(cornerIndexInElement(n, removed, region) + 2) % 4];
    TopoElement& s = topoElement(region, survivor);
    if (elementHasCorner(s, far)) return true;  // the two do not share both sides at n
    s.c[cornerIndexInElement(n, survivor, region)] = far;

    const std::vector<int> corners(s.c.begin(), s.c.begin() + 4);
    std::vector<int> patch = collectNodeElements(region, corners);
    eraseValue(patch, removed);
    linkElementToPatch(region, survivor, patch, noNeighbourEntry(codeOffset));
    if (!refillNodeLists(region, corners, patch, log)) return false;

    topoNode(region, n).status = -n;
    TopoElement& gone = topoElement(region, removed);
    gone.name = -survivor;
    gone.c = topoElement(region, survivor).c;
    return true;
}

}  // namespace

bool removeValence2Nodes(RegionRecord& region, int codeOffset, std::string /*history*/, std::ostream& log)
{
    const int count = static_cast<int>(region.topoNodes.size());
    for (int n = 1; n <= count; ++n) {
        const TopoNode& node = topoNode(region, n);
        if (node.status < 0 || node.quadCount != 2 || node.triangleCount != 0) continue;
        if (!mergeAroundNode(region, n, codeOffset, log)) return false;
    }
    return true;
}

}  // namespace tessaro
