// Node smoothing for quadrilateral regions. `smoothNodes` runs on the
// topology model between the passes of the conversion chain; `laplaceSmooth`
// on the final quadrilateral mesh. Both move only free nodes, in place, in
// three sweeps whose moves take effect at once; neither reports failure.
#pragma once

#include <vector>

#include "Tessaro_DLL/model/Records.h"

namespace tessaro {

struct CentroidArea {
    double x = 0.0, y = 0.0, area = 0.0;
};

// Centroid and (Heron) area of a triangle or a quadrilateral of the model;
// the quadrilateral split along its diagonal from corner 2 to corner 4.
CentroidArea triangleCentroidArea(const TopoElement& element, const RegionRecord& region);
CentroidArea quadCentroidArea(const TopoElement& element, const RegionRecord& region);

// Smallest corner scaled Jacobian (sine of the corner angle, negative for a
// reflex or inverted corner) of the counter-clockwise polygon of `count`
// corners (3 or 4).
double worstCornerJacobian(const MeshNode* const* corners, int count);

// True when every corner of the counter-clockwise polygon turns left and
// stays below the largest corner angle the final check accepts (four left
// turns also mean that no two sides of a quadrilateral cross).
bool cornersValid(const MeshNode* const* corners, int count);

// Interior nodes of fewer than five elements go to the mean of their
// neighbours, the others to the area-weighted mean of their elements'
// centroids. With `noWorse` a move is kept only when the worst corner of
// the elements around the node does not get worse, trying half and quarter
// steps before it leaves the node where it is.
void smoothNodes(RegionRecord& region, bool noWorse = false);

// Every move of both smoothers is kept only when the elements around the
// node stay valid (see cornersValid); the final smoothing also keeps a move
// only when the worst corner around the node does not get worse, trying a
// half and a quarter step before it leaves the node where it is.
//
// Three sweeps moving free nodes (positive adjacency name) none of whose
// neighbours is held to the mean of their neighbours; then each neighbour
// of a free node with five or more elements that is itself free and not
// held goes to the weighted centroid of its elements.
void laplaceSmooth(std::vector<MeshNode>& nodes, const std::vector<MeshElement>& elements,
                   const std::vector<NodeAdjacency>& adjacency, const std::vector<int>& held);

// Moves the free corners of elements that are not valid (see cornersValid)
// towards the mean of their neighbours while that improves the worst corner
// around them, e.g. after boundary nodes were put back onto the input's
// boundary.
void repairInvalidElements(std::vector<MeshNode>& nodes, const std::vector<MeshElement>& elements,
                           const std::vector<NodeAdjacency>& adjacency);

// Moves the free corners of elements with a corner of 160 degrees or more,
// or of a scaled Jacobian below 0.2, and their free neighbours, to where the
// worst corner around each is best (pattern search); every element stays
// valid. Near an input corner sharper than that it does what it can.
// Then raisePoorestCorners lifts the poorest corners further.
void improvePoorCorners(std::vector<MeshNode>& nodes, const std::vector<MeshElement>& elements,
                        const std::vector<NodeAdjacency>& adjacency);

// Moves the free corners of quadrilaterals with a corner sharper than 53
// or blunter than 127 degrees (a sine below 0.8), and of triangles with a
// corner sharper than 30 degrees, to where the smallest sine of the corners
// each changes is largest (pattern search), never further from the limits
// improvePoorCorners works to nor making an element invalid.
// improvePoorCorners ends with it.
void raisePoorestCorners(std::vector<MeshNode>& nodes, const std::vector<MeshElement>& elements,
                         const std::vector<NodeAdjacency>& adjacency);

// Area-weighted mean of the vertex means of the (four-cornered) elements
// listed in the node's adjacency record.
void moveToWeightedCentroid(int node, std::vector<MeshNode>& nodes, const std::vector<MeshElement>& elements,
                            const std::vector<NodeAdjacency>& adjacency);

}  // namespace tessaro
