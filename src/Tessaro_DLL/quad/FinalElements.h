// The steps that close the quadrilateral conversion of a region: the
// consistency check between passes, the compaction of the topology model,
// and the final elements: every element split through its side midpoints
// and centroid into one quadrilateral per corner, so the region's mesh is
// made of quadrilaterals only with twice the triangulated boundary
// resolution (boundary node k becomes 2k - 1, the midpoint of the boundary
// side from k becomes 2k, interior node k becomes nb + k).
#pragma once

#include <array>
#include <ostream>
#include <string>
#include <vector>

#include "Tessaro_DLL/model/Records.h"

namespace tessaro {

// Merges every live triangle with a neighbouring triangle. "Error: element
// name is ZERO for element n" and false on a zero neighbour entry.
bool checkTriangleNeighbours(RegionRecord& region, int codeOffset, std::string history, std::ostream& log);

// Drops removed nodes (status below -nb) and elements and numbers the rest
// from 1; afterwards neighbour entries are unsigned element numbers, -1 for
// none, and every status is the node's new number.
void compactAndRenumber(RegionRecord& region, int nb, int codeOffset);

// Corner angle (degrees) of a quadrilateral of the compacted model from
// which it is split into two triangles.
inline constexpr double kSplitQuadCornerAngle = 165.0;

// Corner angle (degrees) of a quadrilateral between two sides of the halved
// boundary, with the nodes put back onto the input boundary, from which it
// is split into two triangles: the finished element keeps that corner
// whatever the smoothing does, as both its sides lie on the boundary.
inline constexpr double kSplitBoundaryCornerAngle = 160.0;
// From this corner angle (degrees) on the input boundary counts as straight.
inline constexpr double kStraightBoundaryAngle = 179.9;

// A side of the halved boundary, from (x1, y1) to (x2, y2), and the input
// boundary node (x, y) that the final node at its midpoint is put onto.
struct HalvedSide {
    double x1 = 0.0, y1 = 0.0, x2 = 0.0, y2 = 0.0;
    double x = 0.0, y = 0.0;
};

// Splits every quadrilateral of the compacted model with a corner of
// kSplitQuadCornerAngle or more into two triangles along the diagonal from
// that corner, when both triangles turn left clearly: the split elements
// then give that corner two quadrilaterals instead of one with a flat
// corner (e.g. a boundary node of one element where the outline is
// straight). Neighbour entries, node lists and the boundary side list
// follow. Returns the number of quadrilaterals split.
//
// With the sides of the halved boundary, a corner between two of them is
// split as well when the input boundary nodes on them make a corner of
// kSplitBoundaryCornerAngle or more, below kStraightBoundaryAngle (say on an
// arc, where the halved boundary cuts the curve's corners): the final
// element would keep that corner.
int splitFlatCornerQuads(RegionRecord& region, const std::vector<HalvedSide>& halved = {});

// Work record of one old element while it is split.
struct SplitRecord {
    int name = 0;
    int cornerCount = 0;
    std::array<int, 4> corners{};
    std::array<int, 4> midpoints{};
    std::array<int, 4> midState{};  // 1 still to make, -n made by the element across
    int centroid = 0;
    std::array<int, 4> newElements{};
};

// Writes the new elements of one old element at their names' positions and
// appends them to `patch`.
void splitElement(const SplitRecord& record, bool isTriangle, std::vector<MeshElement>& elements,
                  std::vector<int>& patch);

// Replaces the region's element, neighbour, side, adjacency and node lists
// by the split mesh; nodes near the reference nodes hold their neighbours
// while the mesh is smoothed. False (lists unchanged) after "Error: can not
// find neighbour element for element n" or an adjacency overflow.
bool buildElementsFromTopology(RegionRecord& region, const std::vector<MeshNode>& referenceNodes, std::ostream& log);

}  // namespace tessaro
