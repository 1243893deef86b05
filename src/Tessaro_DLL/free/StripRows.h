// Rows of nodes across thin four-sided regions. A strip whose long sides
// have segments much longer than the strip is wide gets no interior nodes
// from size-driven refinement, or a cluster near its short sides; its
// triangles then span the strip and pair into flat quadrilaterals. Seeding
// the rows that the short sides' nodes start, one node across from each node
// of the long sides, gives triangles that pair into the strip's grid.
#pragma once

#include <ostream>
#include <vector>

#include "Tessaro_DLL/free/Delaunay.h"
#include "Tessaro_DLL/model/Records.h"

namespace tessaro {

// Inserts the interior row nodes of a thin four-sided region into its
// triangulation (after the outer triangles are removed and before
// refinement). The region qualifies when its boundary turns at exactly four
// corners and runs straight between them, the two sides that face each other
// across the strip are at most a quarter as long as each of the other two and
// have the same count of at least two segments, and the two long sides have
// the same count. Row j of r (the short sides' count) lies at the share j / r
// across the strip, its node k between node k of either long side. The
// target sizes of the short sides' nodes become at least the long sides'
// mean segment length (over the square root of 3), so that refinement keeps
// the rows. Returns the number of nodes inserted (0 when the region does not
// qualify).
int seedStripRows(std::vector<MeshNode>& boundaryNodes, const std::vector<BoundarySegment>& segments,
                  Triangulation& tri, const std::vector<int>& deleted, std::ostream& log);

}  // namespace tessaro
