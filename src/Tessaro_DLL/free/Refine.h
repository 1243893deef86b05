// Delaunay refinement of a free region: triangles are taken largest
// circumradius first and get a node at their circumcentre until each is
// within the mean target size of its corners.
//
// The queue is a binary heap on minus the squared circumradius, so its top
// is the largest triangle; entries of triangles whose slot has since been
// rewritten stay queued and are recognised when they reach the top (their
// radius no longer matches) instead of being searched for. Locating a
// circumcentre looks only at the popped triangle and its neighbours up to
// three steps away.
#pragma once

#include <ostream>
#include <vector>

#include "Tessaro_DLL/free/Delaunay.h"

namespace tessaro {

// Position 1 holds the sentinel (identifier 0, key -1e30); entries follow
// from position 2, the top. `count` counts the sentinel; 1 means empty. Key
// and identifier of an entry lie side by side, so that a step of the heap
// reads one place of memory.
struct RefinementQueue {
    struct Entry {
        double key = 0.0;
        int id = 0;
    };
    std::vector<Entry> entries{Entry{}, Entry{-1e30, 0}};  // [0] unused, [1] sentinel
    int count = 1;
    int highWater = 1;
};

// Queue triangle `index` (0-based) under `key`; the identifier is index + 1.
void heapPush(RefinementQueue& queue, int index, double key);
void heapInsert(RefinementQueue& queue, int index, double key);
// Removes the top entry (position 2).
void heapPopLargest(RefinementQueue& queue);

// 0-based index of a triangle holding (x, y): from `start` (1-based) and its
// neighbours within three steps, then by a walk from `start` towards the
// point, or every triangle when `start` is 0; -1 when none does (the walk
// reaches the region's boundary) or a tested triangle is degenerate.
int locatePointInTriangles(int start, const Triangulation& tri, std::ostream& log, double x, double y);

// Triangles within three neighbour steps of `start` (1-based), start excluded.
std::vector<int> collectNearbyTriangles(int start, const std::vector<ElementNeighbours>& neighbours);

// True when (x, y) lies strictly inside the diametral circle of a boundary
// segment that is a side of triangle `index` (0-based, -1 allowed).
bool encroachesBoundarySegment(int index, const Triangulation& tri, const SegmentLookup& segments, double x, double y);

// Refines the triangulation to the boundary nodes' target sizes. Writes
// " used heap = " with the queue's high-water mark at the end. False, with
// nothing logged, when a node beyond `nodeLimit` would be needed.
bool refineTriangulation(const std::vector<MeshNode>& boundaryNodes, const std::vector<BoundarySegment>& segments,
                         Triangulation& tri, const std::vector<int>& deleted, RefinementQueue& queue,
                         long long nodeLimit, std::ostream& log);

}  // namespace tessaro
