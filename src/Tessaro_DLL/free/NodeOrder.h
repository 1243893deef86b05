// Numbering of a refined triangulation by place: refinement adds nodes and
// triangles in the order of its queue, which scatters neighbours over the
// whole list; the later steps visit each node's triangles and neighbours,
// and on large regions that order costs a memory miss at almost every step.
#pragma once

#include <cstddef>

#include "Tessaro_DLL/model/Records.h"

namespace tessaro {

// Node count from which a triangulation is numbered by place: smaller
// ones fit the processor's caches in any order, and keep the numbering the
// refinement gave them.
constexpr std::size_t kNumberByPlaceFrom = 20000;

// Renumbers the free nodes (those after the first `fixedNodes`) and all
// triangles of the region in the order of a Hilbert curve over the nodes'
// box, so that nodes and triangles near each other in the plane are near
// each other in the lists. Triangle corners, names and neighbour entries
// follow; fixed nodes keep their numbers.
void numberTriangulationByPlace(RegionRecord& region, int fixedNodes);

}  // namespace tessaro
