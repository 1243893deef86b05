// Structure elements in the mesh file: kind 1 lines over structure nodes of
// their own (shared between elements where they coincide), kind 2 lines
// along element sides of the surface mesh, and the middle nodes of the
// kind 1 lines.
#pragma once

#include <deque>
#include <vector>

#include "Tessaro_DLL/model/Records.h"

namespace tessaro {

// The output lists the structure elements fill.
struct StructureOutput {
    std::vector<FemNode> nodes;          // structure nodes, ids above the mesh's
    std::vector<LineElement> ownLines;   // kind 1
    std::vector<LineElement> sideLines;  // kind 2
};

// Adds one structure element's lines. `meshNodeCount` is the node count of
// the finished surface mesh; `quadrilateral` gives 4 element sides, else 3.
// Kind 2 takes the interface sides carrying the element's fifth value, or,
// when there are none at all, the element sides its own lines run along.
void insertStructureElementLines(int meshNodeCount, bool quadrilateral, StructureOutput& out,
                                 const std::vector<MeshElement>& elements, const std::vector<FemNode>& nodes,
                                 const std::vector<BoundarySide>& interfaceSides,
                                 const StructureElementRecord& element);

// Gives every kind 1 line a middle node, on the arc for lines on an arc
// entity (code 31), else halfway.
void addLineMidNodes(int meshNodeCount, const std::deque<GeometryEntityRecord>& entities, StructureOutput& out);

}  // namespace tessaro
