// Side nodes, queued coordinates and side end records of a meshed free region.
#pragma once

#include <vector>

#include "Tessaro_DLL/model/Records.h"

namespace tessaro {

// The distinct end nodes of the boundary-side triples not coded -9.
void collectSideNodes(const RegionRecord& region, std::vector<int>& nodes, bool quadrilateral);

// Applies the pending node moves; with the quadrilateral flag also puts the
// node after a run of -7 sides midway between its boundary neighbours.
void copyBackNodeCoordinates(RegionRecord& region, bool quadrilateral);

// Fills the entity index and code under every boundary side of an element.
bool setSideEndRecords(RegionRecord& region, const std::vector<PointRecord>& generatedBoundaryPoints,
                       bool quadrilateral);

}  // namespace tessaro
