#pragma once
// Element-order conversion of a free model: every element becomes one
// element of 4 (linear), 8 (serendipity) or 9 (Lagrange) nodes with the same
// corners and number. Mid-side and centre nodes are created on the old
// element's geometry or dropped, every node is renumbered element by element
// (LocalGrid.h), and node sets, nodal constraints, loads and stiffnesses and
// node paths follow the new numbers (MeshRewrite.h); rows and members whose
// node is dropped go with it. Integration orders follow the new order.
//
// Each returns the message for the user when the model was left unchanged
// because of a fault, and an empty text otherwise (also when there was
// nothing to do: no elements, or the elements already have that order).

#include <string>

class ModelData;

// nodesPerElement: 4, 8 or 9.
std::string ConvertElementOrder(ModelData& model, int nodesPerElement);
std::string ConvertToQuad9(ModelData& model);
std::string ConvertToLinear4(ModelData& model);
std::string ConvertToQuad8(ModelData& model);
