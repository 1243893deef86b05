// A free region's triangulation once it is stored in the region record: the
// hand-over from the work lists, the per-node adjacency (the lists grow to
// every neighbour node and triangle of a node), and the clean-up of the stored
// triangles: flipping degenerate pairs, removing free nodes of four
// triangles, compacting the lists and smoothing the final triangle mesh.
#pragma once

#include <ostream>
#include <vector>

#include "Tessaro_DLL/free/Delaunay.h"
#include "Tessaro_DLL/model/Records.h"

namespace tessaro {

// Copies the live triangles (renumbered from 1, links to removed ones 0) and
// every node after the frame into the region.
void storeTriangulation(RegionRecord& region, const Triangulation& tri, const std::vector<int>& deleted);

// One adjacency record per region node; nodes 1..boundaryCount are fixed.
bool initNodeAdjacency(RegionRecord& region, int boundaryCount, std::ostream& log);

// Flips triangle pairs whose fourth node lies on the first one's
// circumcircle. False on a zero neighbour entry or a failed circumcircle.
bool flipDegenerateEdges(RegionRecord& region, std::ostream& log);

// Removes every free node of exactly four triangles, re-cutting its
// quadrilateral along a-c or b-d.
bool removeValence4Nodes(RegionRecord& region, int boundaryCount, std::ostream& log);

// Drops deleted nodes and triangles and renumbers the rest from 1.
void updateAdjacencyLists(RegionRecord& region);

// Moves every free node to the area-weighted mean of its elements' centroids.
void smoothTriangleNodes(RegionRecord& region);

// Appends an element (a neighbour node, once) to the adjacency of `node`;
// the lists grow as needed, so both give true.
bool addElement(NodeAdjacency& a, int element, int node, std::ostream& log);
bool addNeighbour(NodeAdjacency& a, int neighbour, int node, std::ostream& log);

// Adjacency helpers shared with boundary recovery.
bool removeFromList(int* slots, int& count, int value);
bool listContains(const int* slots, int count, int value);
// Side j (0..2) of `t` whose corners are (p, q) in this order, -1 when none.
int sideWithCorners(const DelaunayTriangle& t, int p, int q);
// First and second node of a boundary-side triple: corners j and j + 1 of
// its element in the region's element list, cyclic over `corners`.
void sideEndNodes(const RegionRecord& region, const BoundarySide& side, int corners, int& first, int& second);

}  // namespace tessaro
