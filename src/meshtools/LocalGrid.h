#pragma once
// The local-grid rebuild behind element-order conversion and mesh
// refinement: every element of the model becomes a x b sub-elements of n
// nodes (a = b = 1 for a conversion), and every node is renumbered.
//
// Method. Each element is laid over a grid of R = m b + 1 rows and
// C = m a + 1 columns of local points (m = 1 for 4-node, 2 for 8- and 9-node
// sub-elements); row r lies at eta = 2r/(R - 1) - 1, column c at
// xi = 2c/(C - 1) - 1. Elements are visited in table order. A grid point
// that an earlier element already numbered is taken over: the element's old
// nodes through the old-to-new node map, the points along a side through a
// map from the side's two corner nodes (whatever side numbers and
// orientation the two elements give it) to the new nodes along that side.
// The remaining points are numbered row by row from eta = -1, each placed by
// the old element's shape functions, so straight sides stay straight and
// curved quadratic sides keep their curve. The sub-elements are then built
// row by row along eta, in each row along xi.
//
// Costs: one pass over the elements with a hash map of their sides, so time
// and memory grow with the size of the new mesh.
//
// For meshes whose shared sides meet the earlier element as its right or
// upper side (every structured mesh numbered row by row), the numbering is
// the one of a walk that only looks at left and lower neighbours.

#include <cstdint>
#include <string>
#include <vector>

class ModelData;

// The new mesh of a rebuild, in working arrays; the model is not touched.
struct LocalGridMesh {
    int nodesPerElement = 0;  // of the new elements: 4, 8 or 9
    int a = 1;                // sub-elements of an old element along xi
    int b = 1;                // and along eta
    // New nodes by index (new node number = index + 1).
    std::vector<double> x, y, z;
    // nodesPerElement new node indices per new element, in element order;
    // old element row i owns new elements i*a*b .. (i+1)*a*b - 1.
    std::vector<int> elementNodes;
    // Per old node row: the index of the new node at its place, -1 when the
    // node has no place in the new mesh.
    std::vector<int> nodeMap;
    // Empty when the rebuild succeeded; otherwise what stopped it.
    std::string error;

    int NodeCount() const { return static_cast<int>(x.size()); }
    int ElementCount() const {
        return nodesPerElement > 0 ? static_cast<int>(elementNodes.size()) / nodesPerElement : 0;
    }
};

// Sub-element k (0-based, row by row: k = row * a + column) of old element
// row i in the new element order.
inline int SubElementIndex(int oldRow, int k, int a, int b) { return oldRow * a * b + k; }

// Rebuilds every element of the model into a x b sub-elements of n nodes
// (a, b >= 1; n 4, 8 or 9). Nodes are found through the model's number map,
// so node numbers may have gaps. Fails, with the message in `error`, when an
// order is not 4, 8 or 9, when an element names a node that is not defined,
// or when two elements divide a shared side differently (a side along xi of
// one is a side along eta of the other and a differs from b).
LocalGridMesh RebuildLocalGrids(const ModelData& model, int a, int b, int n);

// Upper bound of the new node count of an a x b refinement of `elements`
// elements of n nodes: elements (m a + 1)(m b + 1), m = 1 for 4 nodes and 2
// otherwise; computed without overflow and capped at the
// largest 64-bit value.
std::int64_t RefinedNodeBound(std::int64_t elements, int a, int b, int n);
