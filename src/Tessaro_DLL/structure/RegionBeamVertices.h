// Beam vertices on the boundary of a free region: where a beam that does
// not run along the region's own sides ends on its boundary, either one
// boundary side becomes a beam face (-6) or the node there is split into two
// coinciding nodes with a pair of -6 faces between their elements.
#pragma once

#include <deque>
#include <ostream>
#include <vector>

#include "Tessaro_DLL/model/Records.h"

namespace tessaro {

// True when the region boundary runs nearly straight (150 degrees or more)
// through the point; `found` false when the point starts no boundary
// segment.
bool isStraightBoundaryPoint(const RegionRecord& region, double x, double y, bool& found);

// The structure-element vertices this region must treat: one copy per
// boundary segment starting there and per kind 1 beam ending there that
// does not run along the region's boundary; a vertex where more than two
// regions meet (regions along the beam aside) is marked by a negative name.
std::vector<MeshNode> placeBeamVerticesInRegion(const RegionRecord& region, const std::vector<MeshNode>& vertices,
                                                const std::deque<StructureElementRecord>& structures,
                                                const std::deque<RegionRecord>& regions);

// Quadrilateral mode: a corner held by one element gets a -6 side, one held
// by two is split. "beam vertex locates at region corner" and false at a
// corner of three. `regionFailed` is set when a split node would need more
// than 20 neighbour nodes (logged).
bool handleBeamVertexAtCorner(RegionRecord& region, const std::vector<MeshNode>& selection,
                              const std::deque<StructureElementRecord>& structures, std::ostream& log,
                              bool& regionFailed);

// Triangle mode: on a straight stretch one side becomes -6; a corner of
// three or four triangles is split. False after "two triangle founded when
// split beam vertex on region edge" or "Error: Try to split node around
// firve triangle elements"; `regionFailed` as above.
bool splitBeamVertexOnEdge(RegionRecord& region, const std::vector<MeshNode>& selection,
                           const std::deque<StructureElementRecord>& structures, std::ostream& log, bool& regionFailed);

}  // namespace tessaro
