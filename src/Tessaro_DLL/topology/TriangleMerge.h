// The two updates of the topology model that several passes and the
// consistency check share: making two elements that hold one edge
// neighbours of each other, and turning two neighbouring triangles into one
// quadrilateral.
#pragma once

#include <vector>

#include "Tessaro_DLL/model/Records.h"

namespace tessaro {

// Among `elements`, the first with a side a->b and the first with a side
// b->a become neighbours across it (signed by kind); nothing when either is
// missing.
void linkElementsAcrossEdge(int a, int b, std::vector<int> elements, RegionRecord& region);

// Triangles `first` and `second`, neighbours across one side, become the
// quadrilateral named `first`; `second` is marked removed (name -first).
// Refused (false, both stay triangles) when a corner would hold more than 22
// quadrilaterals or more than 20 neighbour nodes.
bool mergeTrianglePair(RegionRecord& region, int first, int second, int codeOffset);

}  // namespace tessaro
