#pragma once
// The model picture: immediate-mode OpenGL drawn from a ModelData into the
// rendering context the view has made current. The view compiles DrawScene
// into its display list and draws the highlights, picked items, legend and
// step caption after it on every paint.
//
// Orientation: the view turns the model so that y runs to the right and z
// downwards, one unit per pixel times the symbol scale. Colours are bytes
// (r, g, b); colour words hold red in the low byte, then green, then blue.
//
// The scene routines store the symbol scale and the pick kind in the model
// (ModelData::symbolScale, drawPickKind) before they draw; the element,
// label, contour and symbol routines read them.
//
// Pick names (OpenGL selection): pick kind 1 names node points by their
// number, 2 element faces by the element number, 3 element sides by
// 4 x element number + side index + 1 (side index 0 eta = -1, 1 xi = +1,
// 2 eta = +1, 3 xi = -1).
//
// An element that names a node missing from the node table is not drawn.

#include <cstdint>
#include <string>

#include "viz/DisplayOptions.h"

class ModelData;

namespace viz {

// ---- Entry points of the view --------------------------------------------

// The whole static scene: elements, contours, the undeformed outline, node
// points and numbers, element numbers, symbols and the set of the set
// definition dialog. Nothing while the model holds no mesh.
void DrawScene(ModelData& model, DisplayOptions options);

// One highlight: kind 1 nodes, 2 elements, 3 element sides, 4 a point; the
// text as for the set drawers. picked 0: the current highlight (cyan
// elements, yellow nodes, magenta sides), 1: a picked item (grey). Of the
// display values only showDeformed, step, showThickness and symbolScale are
// read.
void DrawSelectionScene(ModelData& model, const DisplayOptions& display, int kind, const std::string& text, int picked);

// The contour legend and the step caption in window pixels about the window
// centre (x = 0, y to the right, z downwards), at the upper right, shifted
// left by legendOffset.
void DrawContourLegend(const ModelData& model, int height, int width, int contourColumn, int contourStyle,
                       int legendOffset);
void DrawStepCaption(const ModelData& model, int height, int width, int contourColumn, int contourStyle, int step,
                     int legendOffset);

// ---- Sets and highlights --------------------------------------------------
// Item texts: comma items; an item beginning with a digit 1..9 is a number or
// a range first;last;step (edge sides: a number is the code 4 x element +
// side, a range is first;last;step;side); any other item is a set name, "ALL"
// every item of the kind. Ranges stop at the largest number in use; a set
// naming itself (or an enclosing set) is expanded once.

// Smooth points of the given size; under pick kind 4 the text is a point:
// three numbers in the fields starting at characters 0, 20 and 40.
void DrawNodeSet(const ModelData& model, int deformed, int step, const std::string& text, float pointSize);
// Each element's face in the current colour, then its sides in (50,50,50);
// the current colour is restored after.
void DrawElementSet(const ModelData& model, int deformed, int step, const std::string& text, int showThickness);
// Each element side as a solid line of the given width.
void DrawEdgeSet(const ModelData& model, int deformed, int step, const std::string& text, int showThickness,
                 int lineWidth);

// ---- Elements and labels --------------------------------------------------

// Every element: faces (pink) when faces is 1, then sides (dark grey), each
// shared side once; boundaryOnly keeps the mesh outline only.
void DrawElementsForPick(const ModelData& model, int boundaryOnly, int deformed, int step, int dashed, int faces,
                         int showThickness);
// One element's face (2 x 2 cells of four triangles) and, with the thickness
// view, its second surface and side walls. The element is a row position.
void DrawDeformedElements(const ModelData& model, int deformed, int step, int element, int showThickness);

// One element side as a polyline of ten segments (dashed: segments 1, 3, 5
// of each half).
struct SideLine {
    int deformed = 0;
    int step = 0;
    int element = 0;      // row position
    int running = 1;      // 1 xi runs, 2 eta runs
    double fixed = -1.0;  // the other coordinate
    int showThickness = 0;
    int dashed = 0;
    int lineWidth = 1;
    // Offset of the edge symbols: each point moves by (ox, oy, oz) times the
    // element's weight interpolation there (1 without weights).
    double ox = 0.0, oy = 0.0, oz = 0.0;
    const double* weights = nullptr;
};
void DrawElementSide(const ModelData& model, const SideLine& line);
// The side of index 0..3 (number 1..4) of an element row.
void DrawElementSideIndex(const ModelData& model, int deformed, int step, int element, int sideIndex, int showThickness,
                          int dashed, int lineWidth);
void DrawElementSideNumber(const ModelData& model, int deformed, int step, int element, int side, int showThickness,
                           int dashed, int lineWidth);

void DrawNodesForPick(const ModelData& model, int deformed, int step);
void DrawNodeLabels(const ModelData& model, int deformed, int step);
void DrawElementLabels(const ModelData& model, int deformed, int step);

// ---- Contours ---------------------------------------------------------------
// contourColumn is the result column plus 1. Levels k = 0..n of the model's
// contour limits (n below 1 counts as 1).

void DrawFilledContours(const ModelData& model, int deformed, int step, int contourColumn);
void DrawContourLines(const ModelData& model, int deformed, int step, int contourColumn, int contourStyle);
// Level k of lo..hi in n divisions: t = k / n and 1 - t in single precision.
double ContourLevel(double lo, double hi, int n, int k);

// ---- Primitives -------------------------------------------------------------

void DrawLine(double x1, double y1, double z1, double x2, double y2, double z2);
// A smooth point of the given size.
void DrawPoint(double x, double y, double z, float size);
// A filled triangle with the unit normal of its plane.
void DrawTriangle(const float* x, const float* y, const float* z);
void SetColor(int r, int g, int b);
// Colour word and alpha, each byte divided by 255.
void SetColorWord(std::uint32_t color, float alpha);

}  // namespace viz
