#pragma once
// Small structured meshes for the mesh-tool tests, built through the model's
// own operations, and the invariants every converted or refined mesh must
// keep.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/ModelData.h"

namespace gridmesh {

struct GridOptions {
    int nx = 1;               // elements along y (the elements' first local direction)
    int ny = 1;               // elements along z
    int nodesPerElement = 4;  // 4, 8 or 9
    double h = 1.0;           // element size
    // Element rows listed from the top row down, so that lower neighbours
    // come later in the table.
    bool fromTop = false;
    // Element row whose nodes are listed starting at its second corner (its
    // local directions turned by 90 degrees); -1 for none.
    int turnedElement = -1;
    // Added to every node number (numbers with a gap below them).
    int nodeOffset = 0;
    // Material index of every element: 1, or 1 and 2 alternating when set.
    bool twoMaterials = false;
};

// A new model holding the grid: nodes numbered row by row from the bottom
// (centres skipped for 8 nodes), elements numbered row by row, one material
// row "ALL" (or "1" and "2" rows by element lists), integration (2, 2).
void BuildGrid(ModelData& model, const GridOptions& options);

// Node number at (y, z); 0 when none is within 1e-9.
int NodeAt(const ModelData& model, double y, double z);

// y and z of a node number.
std::pair<double, double> PointOf(const ModelData& model, int number);

// Area of the mesh from the element corners (straight sides).
double MeshArea(const ModelData& model);

// Invariants of a sound mesh on a rectangle: no two nodes coincide, every
// element side shared by two elements or lying on the rectangle's boundary
// (and the edge flags agree), the number maps find every node and element,
// every element names defined nodes, the area is `area`.
void ExpectSoundMesh(const ModelData& model, double area, const std::string& where);

// The model written to a scratch file and read back holds the same tables
// (coordinates to the file's six digits).
void ExpectSavesAndReadsBack(ModelData& model, const std::string& where);

// Node coordinates in the order in which a walk over the elements (table
// order, local grid points row by row, a x b sub-elements of n nodes) meets
// them first: the numbering the rebuild must give a straight-sided mesh.
std::vector<std::pair<double, double>> FirstMeetingOrder(const ModelData& model, int a, int b, int n);

// Material index of every element row, in table order.
std::vector<int> ElementMaterials(const ModelData& model);

// A node path of mode 2 (a typed node list).
NodePath NodeListPath(const std::string& name, const std::vector<int>& nodes);

// Appends a row to the nodal table of kind k (1 constraints .. 5 distributed
// stiffness) with flag 1 and value v on the first degree of freedom.
void AddNodalRow(ModelData& model, int kind, const std::string& target, double v);
// Appends a row to the edge table of kind k (1 loads, 2 stiffness).
void AddEdgeRow(ModelData& model, int kind, const std::string& target, int side, double v);

// Adds a member row to the named set of the kind, creating the set.
void AddSetMember(ModelData& model, int kind, const std::string& name, const std::string& text, int final,
                  int increment, int side);

}  // namespace gridmesh
