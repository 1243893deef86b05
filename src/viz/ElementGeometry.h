#pragma once
// The nodes of one element gathered once for the drawing: coordinates, the
// step's displacements when displaced drawing is on, and the nodal values of
// a result column. Points are evaluated through the model's shape functions.

#include <vector>

#include "model/ModelData.h"

namespace viz {

// Nodes of the model's element kind: 4, 8 or 9.
int ElementNodeCount(const ModelData& model);

class ElementNodes {
public:
    // Gathers element row `element`; Complete() is false when the row is
    // missing or names a node that is not in the node table.
    ElementNodes(const ModelData& model, int element, int deformed, int step);

    bool Complete() const { return complete_; }
    int Kind() const { return kind_; }
    int Count() const { return count_; }
    int Element() const { return element_; }

    // Point at (xi, eta); with the thickness view x grows by zeta x t / 2.
    void Point(double xi, double eta, double zeta, int thickness, double& x, double& y, double& z) const;
    // Point of parameter s on side 0..3.
    void SidePoint(int side, double s, double zeta, int thickness, double& x, double& y, double& z) const;
    // The weights' shape-function sum at (xi, eta); 1 without weights.
    double Weight(double xi, double eta, const double* weights) const {
        return model_.InterpolateAtLocal(element_, xi, eta, weights);
    }
    // Distance between corner nodes a and b (undisplaced).
    double CornerDistance(int a, int b) const;
    // Row position of node k of the element.
    int NodeRow(int k) const { return rows_[k]; }

    // Nodal values of a result column (from 0) at a step; rows a step does
    // not hold read as 0.
    void ColumnValues(int column, int step, double* values) const;

private:
    const ModelData& model_;
    int element_;
    int deformed_;
    int kind_;
    int count_;
    bool complete_ = false;
    int rows_[9] = {};
    double x_[9] = {}, y_[9] = {}, z_[9] = {};
    double dx_[9] = {}, dy_[9] = {}, dz_[9] = {};
    double rx_[9] = {}, ry_[9] = {}, rz_[9] = {};
};

// Side flag (0..3) of side s of element row e; 0 when the flags were not
// built for the current element table.
int EdgeFlag(const ModelData& model, int element, int side);

// Pieces of a length on screen: one per `pixels` at the symbol scale, raised
// to the next even number and to at least 2.
int ScreenSegments(double symbolScale, double length, double pixels);

// Calls visit(nodes) for every element row whose nodes all exist, gathered
// with the displacements of the step when deformed.
template <class Visit>
void ForEachDrawableElement(const ModelData& model, int deformed, int step, Visit visit) {
    const int count = model.GetElementCount();
    for (int e = 0; e < count; ++e) {
        const ElementNodes nodes(model, e, deformed, step);
        if (nodes.Complete()) visit(nodes);
    }
}

// Filled faces and contour fills lie a little behind lines drawn in their
// own plane for as long as it lives: the thickness view draws the element
// sides with the depth test on, exactly on the surfaces of the solid.
class FacesBehindLines {
public:
    FacesBehindLines();
    ~FacesBehindLines();
    FacesBehindLines(const FacesBehindLines&) = delete;
    FacesBehindLines& operator=(const FacesBehindLines&) = delete;
};

// One element's face without a pick name (highlights and sets).
void DrawElementFace(const ModelData& model, int deformed, int step, int element, int showThickness);

}  // namespace viz
