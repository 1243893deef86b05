#pragma once
// The display settings of one picture. The view fills a fresh record from its
// own state for every scene build and hands it over by value (strings
// included), so the drawing never reads back into the view.

#include <string>

struct DisplayOptions {
    int boundaryOnly = 0;        // 1: only sides that no other element shares
    int showDeformed = 0;        // non-zero: the displaced shape of the step
    int step = 1;                // result step shown (1-based)
    int showUndeformed = 0;      // with showDeformed: the undisplaced mesh dashed as well
    int contourColumn = 0;       // result column shown as contours plus 1; 0 none
    int contourStyle = 0;        // 0 filled, 1 lines, 2 both
    int nodeDisplay = 0;         // 0 nothing, 1 points, 2 numbers, 3 points and numbers
    int showElementNumbers = 0;  // non-zero: element numbers
    int solidFaces = 1;          // 1: filled element faces (also the symbol style)
    int showThickness = 0;       // non-zero: the slab as a solid of its thickness
    int pickKind = 0;            // 0 none, 1 nodes, 2 elements, 3 element sides, 4 a point
    std::string pickText = "0";  // item text of the current highlight
    int showNodalLoads = 0;
    int showNodalStiffness = 0;
    int showNonlinearNodalStiffness = 0;
    int showConstraints = 0;
    int showEquivalentLoads = 0;
    int showConcentratedLoads = 0;
    int showConcentratedStiffness = 0;
    int showTotalConcentratedStiffness = 0;
    int showDistributedLoads = 0;
    int showDistributedStiffness = 0;
    int showEdgeLoads = 0;
    int showEdgeStiffness = 0;
    int showCutLines = 0;
    int meshOverContours = 0;   // 1: the mesh again over the contours
    double symbolScale = 1.0;   // view magnification; symbols are sized by its inverse
    int setKind = 0;            // set of the set definition dialog: 0 none, 1 node, 2 element, 3 edge
    std::string setText = "0";  // its name or item text

    bool operator==(const DisplayOptions&) const = default;
};
