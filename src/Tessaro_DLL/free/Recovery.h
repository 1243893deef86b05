// Boundary recovery around the triangulation of a free region: restoring
// boundary segments that the insertion lost, removing free nodes of three
// triangles, renumbering the boundary so that each segment joins k and k+1,
// and ordering the coded boundary sides into one chain.
//
// Recovery rewrites the two or three triangles that a lost segment crosses
// (four or more cannot be recovered) and writes the triangulation after each
// lost segment to "mesh_11.sol" in the current directory, for inspection.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "Tessaro_DLL/free/Delaunay.h"
#include "Tessaro_DLL/model/Records.h"

namespace tessaro {

// Frame-first node list `tri.nodes`; boundary node k is boundaryNodes[k - 1].
bool recoverLostBoundary(Triangulation& tri, const std::vector<MeshNode>& boundaryNodes,
                         const std::vector<BoundarySegment>& segments, std::ostream& log);

// Every segment that no triangle side holds is brought in by flipping the
// sides that cross it; the other sides are then flipped back to Delaunay.
// False when a segment could not be recovered.
bool recoverSegmentsByFlips(Triangulation& tri, const std::vector<BoundarySegment>& segments);

// 1: P1-P2 and P3-P4 cross strictly inside both; 2: their lines cross
// elsewhere; 0: parallel, both vertical, or crossing at an end point.
int segmentIntersection(MeshNode p1, MeshNode p2, MeshNode p3, MeshNode p4);

// Makes the triangle counter-clockwise and computes its circumcircle.
bool orientTriangleAndCircumcircle(DelaunayTriangle& triangle, const Triangulation& tri, std::ostream& log);

// First candidate c such that a listed triangle has c at corner j and n at
// corner j + 1 or j + 2; 0 when none.
int firstNodeSharingTriangle(const std::vector<int>& candidates, int n, const std::vector<int>& triangleNames,
                             const std::vector<DelaunayTriangle>& triangles);

void writeMeshSnapshot(const Triangulation& tri);
void writeSnapshotFile(const Triangulation& tri, const std::string& fileName);

// Merges the three triangles around every free node of three triangles.
bool removeValence3Nodes(RegionRecord& region);

int maxOfIntList(const std::vector<int>& values);

// Renumbers nodes so that each segment runs from k to k + 1 (mode 0: the
// triangle model, mode 1: the topology model). The name word of a moved
// adjacency record becomes its slot's number with the record's sign; the
// status of a moved topology record becomes its slot's number.
bool makeBoundaryNumbersConsecutive(RegionRecord& region, std::vector<BoundarySegment>& segments, int mode);
void exchangeNodeNumbers(int a, int b, RegionRecord& region, int mode);

// Orders the coded boundary sides into a chain from `startNode`. On a gap
// writes "Error to sort external boundary segment" and keeps the order.
bool sortExternalBoundary(RegionRecord& region, bool quadrilateral, int startNode, std::ostream& log);

}  // namespace tessaro
