// Structure elements (beams) against the region sides: their end
// coordinates, the regions whose sides they run along, and the free beam
// ends on region sides that the mesh must treat as vertices.
#pragma once

#include <vector>

#include "Tessaro_DLL/model/Records.h"

namespace tessaro {

// Gives every structure element its end coordinates and, for each region
// side segment it runs along (either direction, 1e-8), the region's Obj.
// index as a region value. The ends of elements on sides, told apart at
// 1e-4, that end exactly one element become structure-element vertices
// (name = 1-based position of the point in the point list).
void intersectStructureElementsWithSides(std::vector<MeshNode>& vertices, const std::vector<PointRecord>& points,
                                         ModelLists& lists);

}  // namespace tessaro
