// Mid-side nodes of quadratic elements: one node per element edge, shared by
// the two elements on it, on the arc when the edge lies on one.
#pragma once

#include <deque>
#include <vector>

#include "Tessaro_DLL/model/Records.h"

namespace tessaro {

void addQuadMidsideNodes(std::vector<FemNode>& nodes, std::vector<MeshElement>& elements,
                         std::vector<ElementNeighbours>& neighbours, int& nodeCount, int elementCount,
                         const std::deque<GeometryEntityRecord>& entities);
void addTriangleMidsideNodes(std::vector<FemNode>& nodes, std::vector<MeshElement>& elements,
                             std::vector<ElementNeighbours>& neighbours, int& nodeCount, int elementCount,
                             const std::deque<GeometryEntityRecord>& entities);

// Slot position 4 + k of the side k of a quadrilateral neighbour that runs
// from `second` to `first` and has no mid-side node yet; -1 when none.
int findEdgeSlot(int first, int second, MeshElement neighbour);
// Slot position (4 + k quadrilateral, 3 + k triangle) of the last side k of
// an interface neighbour that refers back to `name` across the interface and
// has no mid-side node yet; -1 when none.
int findNeighbourEdgeSlot(bool quadrilateral, const std::vector<ElementNeighbours>& neighbours, MeshElement neighbour,
                          int name);

// Point on the arc of an entity halfway between two points of it.
void arcMidpoint(const GeometryEntityRecord& entity, double x1, double y1, double x2, double y2, double& x, double& y);

}  // namespace tessaro
