#pragma once
// The support and action symbols and the cut lines of the scene.
//
// Symbols are small 3-D shapes drawn in a local frame whose first axis is the
// axis of their degree of freedom (0, 1, 2 translations along x, y, z; 3, 4,
// 5 rotations about them). Each drawer translates to its point, turns the
// frame, draws and undoes both, so the modelview matrix is unchanged after
// every symbol. Sizes are multiples of a unit u, the inverse of the model's
// symbol scale (the view magnification), so that a symbol keeps its size on
// screen: u is about one pixel.
//
// Style 1 (the view's solid faces) draws solid symbols as filled triangles
// with plane normals, any other style wire symbols as lines; rotational
// supports take the other style.
//
// A valued or stiffness symbol is drawn only when the absolute value of its
// component exceeds 1e-14; a constraint only when its flag, taken as the
// integer part of (value + 0.5), is not 0.

#include "viz/DisplayOptions.h"

class ModelData;

namespace viz {

// Every symbol whose flag is set, in the scene's order: constraints, nodal
// loads, nodal stiffness, nonlinear nodal stiffness, equivalent loads,
// concentrated loads, concentrated stiffness, total concentrated stiffness,
// distributed loads, distributed stiffness, edge loads, edge stiffness, cut
// lines; each with (showDeformed, step, solidFaces).
void DrawSymbols(const ModelData& model, const DisplayOptions& options);

// ---- One symbol at a point ------------------------------------------------

// The smallest value a valued or stiffness symbol is drawn for (exclusive).
constexpr double kSymbolThreshold = 1e-14;

// A support of one component: translations a rod and a comb (solid rod in
// style 1), rotations about y and z a double ring (wire in style 1),
// rotation about x nothing.
void DrawDofSymbol(int component, float x, float y, float z, float unit, double flag, int style);
// A load of one component: translations an arrow whose tip touches the point
// (its rod on the -axis side for a negative value, the +axis side for a
// positive one), rotations a half ring with an arrow head at the ring end
// that the sign chooses.
void DrawValueSymbol(int component, float x, float y, float z, float unit, double value, int style);
// A stiffness of one component: translations a zigzag spring, rotations a
// coil spring; the sign is ignored.
void DrawScaledSymbol(int component, float x, float y, float z, float unit, double value, int style);
// For each component i in colour (0, 192, 50 i): type 1 the support, 2 the
// load, 3 the stiffness symbol of the value.
void DrawSixComponentSymbols(int type, float x, float y, float z, float unit, const double values[6], int style);

// ---- Table drawers (kind, deformed, step, style) ---------------------------

// Kinds 1 NODAL_CONSTRAINT (the flags), 2 NODAL_LOAD, 3 NODAL_STIFFNESS:
// every node a row names, a point and its six-component symbol.
void DrawNodalTableSymbols(const ModelData& model, int kind, int deformed, int step, int style);
// The nodes of the nonlinear nodal stiffness groups: a helix spring along x.
void DrawNodalActions(const ModelData& model, int kind, int deformed, int step, int style);
// The points of the equivalent load pattern: axial force and shears as
// loads, the largest of the pattern at twice the normal size.
void DrawEquivalentLoads(const ModelData& model, int kind, int deformed, int step, int style);
// Kinds 1 CONCENTRATED_LOAD, 2 CONCENTRATED_STIFFNESS at their points.
void DrawConcentratedTable(const ModelData& model, int kind, int deformed, int step, int style);
void DrawTotalConcentratedStiffness(const ModelData& model, int kind, int deformed, int step, int style);
// Kinds 4 DISTRIBUTED_LOAD, 5 DISTRIBUTED_STIFFNESS over every element a row
// names: six offset lines across the element and nine symbols.
void DrawNodalTable(const ModelData& model, int kind, int deformed, int step, int style);
// Kinds 1 EDGE_LOAD, 2 EDGE_STIFFNESS along every element side a row names:
// the load diagram and five symbols.
void DrawEdgeTable(const ModelData& model, int kind, int deformed, int step, int style);
// The drawing copy of the cut lines: blue at width 2, flagged lines red at
// width 4; the line width is left as the last line set it.
void DrawCutLines(const ModelData& model);

}  // namespace viz
