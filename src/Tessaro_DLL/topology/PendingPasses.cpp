// Passes of the quadrilateral chain that are not written yet. Each keeps its
// place in the chain and leaves the model as it is, so a converted region
// still comes out whole (its remaining triangles are split into
// quadrilaterals by the final elements). Every pass moves out of this file
// into its own when it is written:
//   removeValence2Nodes, collapseBoundaryTriangle, shiftBoundaryTriangleInward,
//   relieveSixElementNodes, fixValence6Nodes, convertTriangleRingedQuads,
//   fixQuadQuadTriangleNodes, resolveTrianglePairsBetweenQuads,
//   resolveTrianglePairsAtBoundary, resolveTrianglePairs,
//   mergeQuadWithOppositeTriangles, fixAdjacentValence3Nodes,
//   fixAdjacentValence3NodesNearBoundary, collapseValence3Pairs,
//   reduceFlatBoundaryValence3.
#include "Tessaro_DLL/topology/Passes.h"

namespace tessaro {

bool resolveTrianglePairsBetweenQuads(RegionRecord&, int, int, std::string, std::ostream&) { return true; }
bool resolveTrianglePairsAtBoundary(RegionRecord&, const AngleTable&, int, std::string, std::ostream&)
{
    return true;
}
bool resolveTrianglePairs(RegionRecord&, int, int, std::string, std::ostream&) { return true; }

}  // namespace tessaro
