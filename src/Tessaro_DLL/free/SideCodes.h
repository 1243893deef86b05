// Side nodes, queued coordinates and side end records of a meshed free region.
#pragma once

#include <vector>

#include "Tessaro_DLL/model/Records.h"

namespace tessaro {

// Halves the boundary for quadrilateral meshing: every other node (named
// i/2 + 1; the last one too when the count is odd) and one segment per
// pair of input segments with the first one's code (an odd last segment
// has no counterpart).
void coarsenBoundaryForQuads(const std::vector<MeshNode>& nodes, const std::vector<BoundarySegment>& segments,
                             std::vector<MeshNode>& coarseNodes, std::vector<BoundarySegment>& coarseSegments);

// Writes the code of the segment lying on each boundary-side triple (ends
// within 1e-7) into the side: a positive code as -2 into the neighbour
// record, a negative one into the topology element (mode 1) or the
// neighbour record (mode 0).
void assignSideCodesFromSegments(RegionRecord& region, int mode, const std::vector<BoundarySegment>& segments);

// Moves the final boundary node between two halved-boundary nodes onto the
// input node it stands for. True when the coded side list is not empty.
bool restoreFineBoundaryNodes(RegionRecord& region, const std::vector<BoundarySegment>& segments,
                              std::vector<MeshNode> nodes);

// The distinct end nodes of the boundary-side triples not coded -9.
void collectSideNodes(const RegionRecord& region, std::vector<int>& nodes, bool quadrilateral);

// Applies the pending node moves; with the quadrilateral flag also puts the
// node after a run of -7 sides midway between its boundary neighbours.
void copyBackNodeCoordinates(RegionRecord& region, bool quadrilateral);

// Fills the entity index and code under every boundary side of an element.
bool setSideEndRecords(RegionRecord& region, const std::vector<PointRecord>& generatedBoundaryPoints,
                       bool quadrilateral);

}  // namespace tessaro
