// Beam faces in the joined mesh: where a beam ends inside a fan of elements
// the slit between its two -6 faces is continued across one more interior
// edge, and the two faces of every beam segment are paired so that each
// names the element on the other face (partner + element count).
#pragma once

#include <deque>
#include <ostream>
#include <vector>

#include "Tessaro_DLL/model/Merge.h"
#include "Tessaro_DLL/model/Records.h"

namespace tessaro {

// Continues the beam slits at every structure-element vertex. False after
// "Error: Error in fixing beam vertex: ..." (the later vertices are left alone).
bool fixBeamVertices(bool quadrilateral, GlobalMesh& mesh, const std::deque<StructureElementRecord>& structures,
                     std::ostream& log);

// Pairs the -6 faces of the elements at beam vertices: faces sharing a node
// at one end whose ends coincide (1e-5) name each other's element plus the
// element count. Unpaired faces stay -6.
void pairBeamFaces(bool quadrilateral, GlobalMesh& mesh);

// Helpers, exposed for tests.
std::vector<int> collectBeamRegionValues(double x, double y, const std::deque<StructureElementRecord>& structures);
int firstNeighbourInList(int element, const std::vector<int>& list, const std::vector<ElementNeighbours>& neighbours,
                         int nc);
int nextCornerInElement(int node, int nc, MeshElement element);
int indexOfMaximum(const std::vector<double>& values);

}  // namespace tessaro
