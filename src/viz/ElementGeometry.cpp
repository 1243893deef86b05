#include "viz/ElementGeometry.h"

#include <cmath>

#include "model/Interpolation.h"
#include "platform/gl/GlIncludes.h"

namespace viz {

int ElementNodeCount(const ModelData& model) {
    const int kind = model.GetNodesPerElement();
    return kind == 4 ? 4 : kind == 8 ? 8 : 9;
}

ElementNodes::ElementNodes(const ModelData& model, int element, int deformed, int step)
    : model_(model), element_(element), deformed_(deformed), kind_(model.GetNodesPerElement()),
      count_(ElementNodeCount(model)) {
    const ElementTable* table = model.GetElementTable();
    const ElementRow* row = table ? table->RowOrNull(element) : nullptr;
    const NodeTable* nodes = model.GetNodeTable();
    if (!row || !nodes || static_cast<int>(row->nodes.size()) < count_) return;
    for (int k = 0; k < count_; ++k) {
        rows_[k] = model.NodeRowOfNumber(row->nodes[static_cast<std::size_t>(k)]);
        if (!nodes->RowOrNull(rows_[k])) return;
    }
    model.GetElementNodeCoords(x_, y_, z_, dx_, dy_, dz_, rx_, ry_, rz_, element, deformed, step);
    complete_ = true;
}

void ElementNodes::Point(double xi, double eta, double zeta, int thickness, double& x, double& y, double& z) const {
    model_.InterpolateAtPoint(x, y, z, x_, y_, z_, dx_, dy_, dz_, zeta, element_, xi, eta, deformed_, thickness);
}

void ElementNodes::SidePoint(int side, double s, double zeta, int thickness, double& x, double& y, double& z) const {
    double xi = 0.0, eta = 0.0;
    ModelData::SideLocalCoordinates(xi, eta, side, s);
    Point(xi, eta, zeta, thickness, x, y, z);
}

double ElementNodes::CornerDistance(int a, int b) const { return NodeDistance(a, b, x_, y_, z_); }

void ElementNodes::ColumnValues(int column, int step, double* values) const {
    for (int k = 0; k < count_; ++k) values[k] = model_.GetResultValue(column, rows_[k], step);
}

FacesBehindLines::FacesBehindLines() {
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(1.0f, 1.0f);
}

FacesBehindLines::~FacesBehindLines() { glDisable(GL_POLYGON_OFFSET_FILL); }

int ScreenSegments(double symbolScale, double length, double pixels) {
    const double raw = symbolScale * length / pixels;
    int m = raw > 1e6 ? 1000000 : static_cast<int>(raw);
    if (m % 2) ++m;
    return m < 2 ? 2 : m;
}

int EdgeFlag(const ModelData& model, int element, int side) {
    const std::size_t at = static_cast<std::size_t>(element) * 4 + static_cast<std::size_t>(side);
    if (model.edgeFlags.size() != static_cast<std::size_t>(model.GetElementCount()) * 4) return 0;
    return model.edgeFlags[at];
}

}  // namespace viz
