// Joining a meshed region into the global mesh of a run.
#pragma once

#include <deque>
#include <vector>

#include "Tessaro_DLL/model/Records.h"

namespace tessaro {

// The mesh of a run as regions are merged into it.
struct GlobalMesh {
    std::vector<FemNode> nodes;
    std::vector<MeshElement> elements;
    std::vector<ElementNeighbours> neighbours;
    std::vector<BoundarySide> openSides;
    std::vector<MeshNode> vertexList;  // structure-element vertices
    std::vector<int> vertexElements;   // global elements at those vertices
    std::vector<BoundarySide> interfaceSides;
};

// Every element side with a negative neighbour entry as (element, side, code).
void collectBoundarySides(RegionRecord& region, int corners);
// The same for the triangles of a free region, the code taken from the
// boundary segment that runs along the side (-1 when none does).
void collectTriangleBoundarySides(RegionRecord& region, const std::vector<BoundarySegment>& segments);
// The fifth value of the structure element that the -8 run of the region
// lies on, 0 when there is none.
int structureElementOfInterfaceRun(const RegionRecord& region, int corners,
                                   const std::deque<StructureElementRecord>& structureElements);
void mergeRegionIntoMesh(RegionRecord& region, GlobalMesh& mesh,
                         const std::deque<StructureElementRecord>& structureElements);

}  // namespace tessaro
