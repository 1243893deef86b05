#pragma once
// The support and action symbols and the cut lines of the scene, each drawn
// with (showDeformed, step, solidFaces) when its display flag is set. Symbols
// are sized by the inverse of the model's symbol scale so that they keep
// their size on screen.

#include "viz/DisplayOptions.h"

class ModelData;

namespace viz {

// Every symbol whose flag is set, in the scene's order: constraints, nodal
// loads, nodal stiffness, nonlinear nodal stiffness, equivalent loads,
// concentrated loads, concentrated stiffness, total concentrated stiffness,
// distributed loads, distributed stiffness, edge loads, edge stiffness, cut
// lines.
void DrawSymbols(const ModelData& model, const DisplayOptions& options);

void DrawConstraintSymbols(const ModelData& model, int deformed, int step, int solidFaces);
void DrawNodalLoadSymbols(const ModelData& model, int deformed, int step, int solidFaces);
void DrawNodalStiffnessSymbols(const ModelData& model, int deformed, int step, int solidFaces);
void DrawNonlinearNodalStiffnessSymbols(const ModelData& model, int deformed, int step, int solidFaces);
void DrawEquivalentLoadSymbols(const ModelData& model, int deformed, int step, int solidFaces);
void DrawConcentratedLoadSymbols(const ModelData& model, int deformed, int step, int solidFaces);
void DrawConcentratedStiffnessSymbols(const ModelData& model, int deformed, int step, int solidFaces);
void DrawTotalConcentratedStiffnessSymbols(const ModelData& model, int deformed, int step, int solidFaces);
void DrawDistributedLoadSymbols(const ModelData& model, int deformed, int step, int solidFaces);
void DrawDistributedStiffnessSymbols(const ModelData& model, int deformed, int step, int solidFaces);
void DrawEdgeLoadSymbols(const ModelData& model, int deformed, int step, int solidFaces);
void DrawEdgeStiffnessSymbols(const ModelData& model, int deformed, int step, int solidFaces);
void DrawCutLines(const ModelData& model, int deformed, int step, int solidFaces);

} // namespace viz
