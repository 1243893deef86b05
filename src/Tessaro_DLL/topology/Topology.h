// The topology model of a quadrilateral region: one TopoElement per triangle
// or quadrilateral and one TopoNode per node, held in the region record and
// kept consistent by every pass (element k lists node n among its corners
// exactly when n lists k among its triangles or quadrilaterals). Records are
// marked removed by a negative name or status, never erased, until the final
// compaction. These are the small queries and updates all passes share.
#pragma once

#include <ostream>
#include <vector>

#include "Tessaro_DLL/model/Records.h"

namespace tessaro {

inline TopoElement& topoElement(RegionRecord& region, int name) { return region.topoElements[name - 1]; }
inline TopoNode& topoNode(RegionRecord& region, int name) { return region.topoNodes[name - 1]; }

// Zero counts and empty lists; the status stays.
void clearTopoNode(int node, RegionRecord& region);

// Positive entries go to the triangle list, negative ones (as their absolute
// value) to the quadrilateral list, zeros are skipped; the neighbour list is
// cleared. The lists grow to hold every element.
void setNodeElementLists(int node, RegionRecord& region, const std::vector<int>& elements);

// The distinct corners of the listed elements other than the node itself
// become its neighbour list, however many there are.
void rebuildNodeNeighbours(RegionRecord& region, int node, const std::vector<int>& elements);

// 0-based corner position of the node in the element, -1 when none.
int cornerIndexInElement(int node, int element, const RegionRecord& region);

// 0-based side joining a and b (either order), -1 when none.
int sideIndexInElement(int a, int b, int element, const RegionRecord& region);

// 0-based side running from `from` to `to` in this direction, -1 when none.
int directedSideIndex(const TopoElement& element, int from, int to);

// More than two distinct boundary nodes (names <= nb) among the corners.
bool hasMoreThanTwoBoundaryNodes(int nb, const std::vector<int>& elements, const RegionRecord& region);

enum ElementListMode { kDelaunayTriangles = 1, kTopoElements = 2, kMeshElements = 3 };

// Distinct corner nodes of the listed elements (by absolute value) in order
// of first appearance, read from the list that `mode` names.
std::vector<int> collectElementNodes(const RegionRecord& region, const std::vector<int>& elements, int mode);

// The union of the listed nodes' neighbour lists.
std::vector<int> collectNeighbourNodes(const RegionRecord& region, const std::vector<int>& nodes);

// Node by node, its quadrilaterals then its triangles, each element once.
std::vector<int> collectNodeElements(const RegionRecord& region, const std::vector<int>& nodes);

// Three sweeps moving the listed interior nodes to the mean of their
// neighbours. " Error: zero number of nodes in neighbour for node n" and
// false for an interior node without neighbours.
bool smoothNodeList(RegionRecord& region, int nb, const std::vector<int>& nodes, std::ostream& log);

// Removes `value` from a counted slot list (the last entry fills the gap).
bool removeTopoSlot(int* slots, int& count, int value);

}  // namespace tessaro
