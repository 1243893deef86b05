// Small steps the topology passes of the quadrilateral chain share: signed
// element references, side searches within a patch of elements and the
// refilling of a node's lists from such a patch.
#pragma once

#include <array>
#include <ostream>
#include <vector>

#include "Tessaro_DLL/model/Records.h"

namespace tessaro {

// Neighbour entry naming an element: +name for a triangle, -name for a
// quadrilateral.
inline int signedReference(const TopoElement& element)
{
    return element.cornerCount == 3 ? element.name : -element.name;
}

inline int noNeighbourEntry(int codeOffset) { return -(codeOffset + 1); }

bool elementHasCorner(const TopoElement& element, int node);

struct SideMatch {
    int element = 0;  // 0 when none
    int side = -1;
};

// The first live element of `patch` (other than `except`) with a side
// running from `from` to `to`.
SideMatch findDirectedSide(const RegionRecord& region, const std::vector<int>& patch, int from, int to, int except = 0);

// Each side of each live element of `patch` is linked with the first
// element of `patch` holding it in the opposite direction; sides without a
// partner keep their entries.
void relinkWithinPatch(RegionRecord& region, const std::vector<int>& patch);

// Sides of `element` searched in `patch`: a partner gets the element's
// signed reference and gives its own; a side without partner gets
// `noNeighbour`.
void linkElementToPatch(RegionRecord& region, int element, const std::vector<int>& patch, int noNeighbour);

// The node's triangle, quadrilateral and neighbour lists are refilled from
// the live elements of `patch` that have it as a corner, however many there
// are. True; the log is kept for steps that may refuse.
bool refillNodeLists(RegionRecord& region, int node, const std::vector<int>& patch, std::ostream& log);

// refillNodeLists for every node of `nodes` in order.
bool refillNodeLists(RegionRecord& region, const std::vector<int>& nodes, const std::vector<int>& patch,
                     std::ostream& log);

// Removes every occurrence of `value` from the list.
void eraseValue(std::vector<int>& list, int value);

// Appends the value when the list does not hold it yet.
void appendOnce(std::vector<int>& list, int value);

// True when a live element other than q has both nodes a and b as corners:
// merging a and b would give it a repeated corner.
bool anotherElementHoldsBoth(const RegionRecord& region, int q, int a, int b);


// The shared core of the collapses of one quadrilateral q: in every element
// of `patch` the corner `removed` becomes `keep`, the patch is relinked and
// the nodes around q (its corners but `removed`, then the neighbours of
// `removed`) are refilled from the elements around q's corners' neighbours
// (without q), which `around` receives. False when a list overflows.
bool mergeNodesAcrossQuad(RegionRecord& region, int q, int keep, int removed, const std::vector<int>& patch,
                          std::vector<int>& around, std::ostream& log);

// Smooths the live interior corner nodes of the patch and their neighbours
// (three sweeps of smoothNodeList), leaving `removedNode` out.
void smoothAroundPatch(RegionRecord& region, int nb, const std::vector<int>& patch, int removedNode, std::ostream& log);


// Appends a node (MeshNode and an empty TopoNode whose status is its name)
// and gives its name.
int appendNode(RegionRecord& region, double x, double y, double size);

// Appends a quadrilateral with the given corners and no neighbours yet and
// gives its name.
int appendQuadrilateral(RegionRecord& region, int c0, int c1, int c2, int c3);


// Corners named at most nb (repeats counted).
int boundaryCornerCount(const TopoElement& element, int nb);

// The smaller quality of the two quadrilaterals with the given corners.
double worseQuadQuality(const RegionRecord& region, const std::array<int, 4>& p, const std::array<int, 4>& q);

// Scans the triangle's sides in order and pairs it (mergeTrianglePair) with
// the first live triangle across one.
void mergeWithFirstTriangleNeighbour(RegionRecord& region, int triangle, int codeOffset);

}  // namespace tessaro
