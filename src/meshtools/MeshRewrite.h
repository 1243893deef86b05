#pragma once
// Installing a rebuilt mesh (LocalGrid.h) in the model, with every table
// that names nodes or elements following the new numbers.
//
// All new tables are made from the model as it was, then handed to the
// model's replace operations in this order: nodes, elements, node, element
// and edge sets, nodal tables, edge tables, materials; then the node paths
// follow and the number maps are rebuilt.
//
// Rewrite rules for a target or member text (a comma list):
// - a text of one number, with a member row's progression first..final by
//   its step: every number reached is rewritten; node numbers become the new
//   number of the node (none when the node has no place in the new mesh or
//   does not exist); element numbers become their sub-elements, all of them,
//   or for edge rows those along the row's side. A member row becomes one
//   comma list with final and step 0; an edge member, a nodal row and an edge
//   row become one row per new number, in order. Nothing left: the row goes.
// - a text of one set name: member rows of node and element sets get final
//   and step 0, everything else stays.
// - a text of several items: each number item is rewritten as above and set
//   names stay, joined by commas; a row left with no item goes.

#include <memory>
#include <vector>

#include "meshtools/LocalGrid.h"

class ModelData;

// What a rebuild changes beside nodes and elements.
struct MeshRewritePlan {
    // Refinement: element numbers become sub-element numbers (creation
    // index + 1), so element sets, edge sets, distributed and edge actions
    // and material texts follow. Conversion: every element keeps its
    // number, and only node references change.
    bool elementsRenumbered = false;
    // Conversion: the integration orders of the new element table, which
    // otherwise keeps the model's.
    bool adjustIntegration = false;
};

// Makes the new tables from the model and `mesh` and installs them; `mesh`
// must have been rebuilt from this model without error.
void InstallRebuiltMesh(ModelData& model, const LocalGridMesh& mesh, const MeshRewritePlan& plan);

// Integration orders of an element table converted to n nodes: 4 nodes
// lower a 3 to 2, 8 nodes raise a 1 to 2, 9 nodes raise anything below 3 to
// 3 (each order separately).
int IntegrationOrderFor(int nodesPerElement, int order);
