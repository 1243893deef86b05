// The free region mesher: one region of scheme -21 (triangles) or -31
// (quadrilaterals) from its discretised boundary to elements merged into the
// run's mesh.
//
// Steps: the boundary is checked (one closed counter-clockwise chain that
// neither crosses nor touches itself), scaled into the unit square and
// inserted into a frame of two triangles; lost segments are recovered, the
// triangles outside are removed, the rest refined to the nodes' target
// sizes, stored in the region and cleaned up (degenerate pairs, free nodes
// of three and four triangles); the boundary is renumbered consecutively,
// the triangles become elements with their side codes, the mesh is smoothed
// and merged. Quadrilateral regions are triangulated on every other boundary
// node; the triangles are paired into quadrilaterals, each element is split
// through its side midpoints and centroid, and the midpoints on the boundary
// are put back onto the input's boundary nodes.
#pragma once

#include <deque>
#include <ostream>
#include <string>
#include <vector>

#include "Tessaro_DLL/model/Merge.h"
#include "Tessaro_DLL/model/Records.h"

namespace tessaro {

// Largest node count of one free region (the mapped-grid limit).
constexpr long long kMaxFreeRegionNodes = 4000000;

// What a free region is meshed into and reads besides its own boundary.
struct FreeRegionTarget {
    int regionNumber;                        // for messages
    const std::vector<PointRecord>& points;  // geometry input
    GlobalMesh& mesh;
    const std::deque<StructureElementRecord>& structureElements;
    const std::vector<PointRecord>& generatedBoundaryPoints;
    const std::vector<MeshNode>& beamVertices;  // structure-element vertices
    const std::deque<RegionRecord>& regions;
};

// Refuses a region with a slit face (-8, -9) or a second interface face (-7)
// that no partner face of the region meets (-9 starting where -8 ends, -7
// where -6 ends), or with more boundary nodes than the limit. Empty when it
// can be meshed.
std::string freeRegionSidesProblem(const RegionRecord& region);

// Checks that the merged boundary is one closed chain without a zero-length
// segment, without segments that cross or touch except consecutive ones at
// their shared node, enclosing a positive area. Empty when it is.
std::string freeBoundaryProblem(const std::vector<MeshNode>& nodes, const std::vector<BoundarySegment>& segments);

// Meshes the region into triangles, or quadrilaterals with the flag, and
// merges them into the run's mesh. In triangle mode the boundary nodes keep
// the scaled coordinates and target sizes. False with the reason in the
// log; a quadrilateral region needs an even number of boundary segments.
bool meshRegion(RegionRecord& region, std::vector<MeshNode>& boundaryNodes, std::vector<BoundarySegment>& segments,
                const FreeRegionTarget& target, bool quadrilateral, std::ostream& log);

}  // namespace tessaro
