#pragma once
// Mesh refinement of a free model: every element becomes a x b sub-elements
// of its own order, a along its first local direction (from its node 1
// towards node 2), b along its second (from node 1 towards node 4), numbered
// consecutively per old element, row by row. Nodes are renumbered
// (LocalGrid.h); node, element and edge sets, every nodal and distributed
// action, edge actions, material texts and node paths follow (MeshRewrite.h).
// New elements keep their parent's material; integration orders stay.

#include <cstdint>
#include <string>

class ModelData;

// The most nodes a refinement may produce.
constexpr std::int64_t kMaxRefinedNodes = 100000000;

// Nothing happens for a or b below 1, or a = b = 1. Returns the message for
// the user when the model was left unchanged because of a fault (an element
// naming an undefined node, elements whose shared sides would be divided
// differently, a mesh beyond kMaxRefinedNodes), else an empty text.
std::string RefineMesh(ModelData& model, int a, int b);

// True when an a x b refinement of the model's mesh could exceed
// kMaxRefinedNodes nodes.
bool RefinementTooLarge(const ModelData& model, int a, int b);
