// Triangulation kernel of the free mesher: merging coincident boundary nodes,
// the bounding frame, circumcircles, point insertion by cavity
// re-triangulation, the boundary edge check and the removal of the triangles
// outside the region.
//
// Method (Bowyer-Watson): a new point removes every triangle whose
// circumcircle holds it (the cavity) and is joined to each side of the
// cavity's rim. Costs per insertion are local: the cavity is found by a walk
// to the triangle holding the point and a search through neighbours from
// there, new triangles are linked among themselves, and compaction moves the
// last triangles of the list into the cavity's slots, relinking only the
// moved triangles' neighbours. The list therefore stays dense: a triangle's
// number is its position from 1.
//
// Node references in triangle corners: -1 to -4 are the frame nodes, k >= 1
// is node k. In the frame-first node list the frame nodes are records 1..4
// and node k is record k + 4 (counted from 1):
//     nodeAt(-2) -> nodes[1]      nodeAt(1) -> nodes[4]      nodeAt(k) -> nodes[k + 3]
#pragma once

#include <ostream>
#include <unordered_map>
#include <vector>

#include "Tessaro_DLL/model/Records.h"

namespace tessaro {

// The work lists of one free region's triangulation.
struct Triangulation {
    std::vector<MeshNode> nodes;  // frame-first node list
    std::vector<DelaunayTriangle> triangles;
    std::vector<ElementNeighbours> neighbours;  // parallel to the triangles
    // Scratch marks for the cavity search (one per triangle, compared with
    // the current stamp), kept so that an insertion allocates nothing.
    std::vector<unsigned> marks;
    unsigned stamp = 0;
    // Scratch for linking new triangles: per node, the new triangle that
    // starts at it (valid where `cornerStamp` equals `stamp`).
    std::vector<int> firstCornerOf;
    std::vector<unsigned> cornerStamp;

    const MeshNode& nodeAt(int reference) const
    {
        return nodes[reference < 0 ? static_cast<std::size_t>(-reference - 1)
                                   : static_cast<std::size_t>(reference) + 3];
    }
};

// Boundary segments indexed by their end nodes.
class SegmentLookup {
public:
    explicit SegmentLookup(const std::vector<BoundarySegment>& segments);
    // 0-based index of the first segment from `start` to `end`, -1 when none.
    int firstFromTo(int start, int end) const;
    // Number of segments from `start` to `end`.
    int countFromTo(int start, int end) const;
    // 0-based index of the first segment ending at `end`, -1 when none.
    int firstEndingAt(int end) const;

private:
    const std::vector<BoundarySegment>& segments_;
    std::unordered_map<int, std::vector<int>> byStart_;
    std::unordered_map<int, int> firstByEnd_;
};

// The refinement queue (see Refine.h); insertion queues what it creates.
struct RefinementQueue;

// Replaces every boundary node within 1e-9 of the boundary's extent of a
// lower-numbered one by the lowest such node and renumbers the rest 1..m in
// order; segment ends follow.
void mergeCoincidentNodes(std::vector<MeshNode>& nodes, std::vector<BoundarySegment>& segments);

// (v - origin) / scale rounded to a multiple of 2^-30: the same number for
// a region and its copy scaled by any factor.
double normalisedCoordinate(double v, double origin, double scale);

// Scales the boundary nodes into the unit square (normalisedCoordinate), starts the triangulation
// with the frame and its two triangles and sets the nodes' target sizes.
bool initTriangulation(std::vector<MeshNode>& boundaryNodes, const std::vector<BoundarySegment>& segments,
                       Triangulation& tri, double& ox, double& oy, double& s, std::ostream& log);

// Circumcentre and squared radius of a counter-clockwise triangle; false with
// the log lines when the triangle is clockwise or flat (record unchanged).
bool computeCircumcircle(DelaunayTriangle& triangle, const MeshNode& n1, const MeshNode& n2, const MeshNode& n3,
                         std::ostream& log);

// Inserts node `nodeIndex` + 1 at (x, y). Without a start triangle (0) the
// node is appended to the node list here; with one the caller has appended
// it. With a queue, every triangle made is queued. A failure (a new triangle
// flat or clockwise) leaves the triangles and neighbours unchanged.
bool insertDelaunayPoint(int nodeIndex, Triangulation& tri, RefinementQueue* queue, int startTriangle,
                         std::ostream& log, double x, double y);

// Side i of `a` and side j of `b` holding the same two corners in opposite
// order; returns corner i + 1 of `a`, or 0 (outputs untouched) when none.
int sharedSideIndex(const DelaunayTriangle& a, const DelaunayTriangle& b, int& i, int& j);

// True when every segment is a side of some triangle.
bool boundaryEdgesPresent(const std::vector<BoundarySegment>& segments, const std::vector<DelaunayTriangle>& triangles);

// Flags the triangles outside the region (deletion flag 1) and cuts the
// neighbour links to those next to the region.
bool removeOuterTriangles(const std::vector<BoundarySegment>& segments, const std::vector<DelaunayTriangle>& triangles,
                          std::vector<ElementNeighbours>& neighbours, std::vector<int>& deleted,
                          std::vector<int>& removed, std::ostream& log);

// Consecutive corners (a, b) of `first` that `second` holds as (b, a); 0 and 0
// when none.
void sharedEdgeOfTriangles(const DelaunayTriangle& first, const DelaunayTriangle& second, int& a, int& b);

// The same for elements with `n` corners from word 1; outputs untouched when
// none.
void findSharedEdge(const MeshElement& first, const MeshElement& second, int n, int& a, int& b);

}  // namespace tessaro
