// Geometry the drawing takes from the model: node lookup and positions,
// node-path abscissas and values, grid-line sums, the view window and
// viewport tests, the contour range and colour ramp, face normals and the
// nodal shape of an edge load.

#include <algorithm>
#include <cmath>

#include "model/Interpolation.h"
#include "model/ModelData.h"
#include "model/SetWalk.h"

int ModelData::NodeAtPoint(double y, double z) const {
    if (!nodeTable) return -1;
    for (const NodeRow* r = nodeTable->GetHead(); r; r = r->next)
        if (std::fabs(r->y - y) < 1e-10 && std::fabs(r->z - z) < 1e-10) return r->id;
    return -1;
}

void ModelData::NodePosition(double& x, double& y, double& z, int nodeRow, int deformed, int step) const {
    const NodeRow* r = nodeTable ? nodeTable->RowOrNull(nodeRow) : nullptr;
    x = y = z = 0.0;
    if (!r) return;
    x = r->x;
    y = r->y;
    z = r->z;
    if (deformed > 0) {
        // The picture's x axis points against the stored displacement x.
        x -= GetDispX(nodeRow, step) * deformationFactor;
        y += GetDispY(nodeRow, step) * deformationFactor;
        z += GetDispZ(nodeRow, step) * deformationFactor;
    }
}

void ModelData::NodePathDistances(std::vector<double>& out, const std::vector<int>& nodes) const {
    out.clear();
    if (!nodeTable || nodes.empty()) return;
    std::vector<const NodeRow*> rows;
    for (int n : nodes) {
        const NodeRow* r = nodeTable->RowOrNull(NodeRowOfNumber(n));
        if (!r) return;
        rows.push_back(r);
    }
    for (const NodeRow* r : rows) {
        const double dy = r->y - rows[0]->y, dz = r->z - rows[0]->z;
        out.push_back(std::sqrt(dy * dy + dz * dz));
    }
}

void ModelData::NodePathValues(std::vector<double>& out, const std::vector<int>& nodes, int column) const {
    out.clear();
    for (int n : nodes) {
        const int row = NodeRowOfNumber(n);
        out.push_back(row >= 0 ? GetResultValue(column, row, 1) : 0.0);
    }
}

SetMemberList* ModelData::FindSetTable(int kind, const std::string& name) const {
    const SetRow* set = setwalk::FindSetRow(GetSetTable(kind), name);
    return set ? set->members.get() : nullptr;
}

double ModelData::SumTableColumn(int direction) const {
    const NodeTable* t = GetGridTable(direction == 1 ? 1 : 2);
    double sum = 0.0;
    if (t)
        for (const NodeRow* r = t->GetHead(); r; r = r->next) sum += r->x;
    return sum;
}

int ModelData::SumTableCounts(int direction) const {
    const NodeTable* t = GetGridTable(direction == 1 ? 1 : 2);
    int sum = 0;
    if (t)
        for (const NodeRow* r = t->GetHead(); r; r = r->next) sum += r->id;
    return sum;
}

void ModelData::SetViewTransform(int type, double a, double b) {
    if (redrawFlag == 0) return;
    const double w = windowXMax - windowXMin;
    const double h = windowYMax - windowYMin;
    const double cx = (windowXMax + windowXMin) / 2.0;
    const double cy = (windowYMax + windowYMin) / 2.0;
    auto centre = [&](double x, double y, double width, double height) {
        windowXMin = x - width / 2.0;
        windowXMax = x + width / 2.0;
        windowYMin = y - height / 2.0;
        windowYMax = y + height / 2.0;
    };
    switch (type) {
        case 0:
            viewScale = 1.0;
            deformationFactor = 1.0;
            windowXMax = homeXMax;
            windowXMin = homeXMin;
            windowYMax = homeYMax;
            windowYMin = homeYMin;
            break;
        case 1:
            // A scale of zero or less has no window; the view stays.
            if (a > 0.0) {
                viewScale = a;
                centre(cx, cy, w / a, h / a);
            }
            break;
        case 2: deformationFactor *= a; break;
        case 3: centre(cx - a * w, cy, w, h); break;
        case 4: centre(cx, cy + a * h, w, h); break;
        case 5: centre(cx - a * w, cy + b * h, w, h); break;
        default: break;
    }
    if (windowXMax != windowXMin) pixelsPerUnitX = (viewportRight - viewportLeft) / (windowXMax - windowXMin);
    if (windowYMax != windowYMin) pixelsPerUnitY = (viewportTop - viewportBottom) / (windowYMax - windowYMin);
}

bool ModelData::IsPointInViewport(double x, double y) const {
    return viewportLeft - 2 < x && x < viewportRight + 2 && viewportTop - 2 < y && y < viewportBottom + 2;
}

double ModelData::ClipToViewport(double x1, double y1, double x2, double y2) const {
    const double left = viewportLeft - 2.0, right = viewportRight + 2.0;
    const double top = viewportTop - 2.0, bottom = viewportBottom + 2.0;
    double t = 0.5;
    if (x2 != x1) {
        t = (left - x1) / (x2 - x1);
        if (t >= 0.0 && t <= 1.0) return t;
        t = (right - x1) / (x2 - x1);
        if (t >= 0.0 && t <= 1.0) return t;
    }
    if (y2 != y1) {
        t = (top - y1) / (y2 - y1);
        if (t >= 0.0 && t <= 1.0) return t;
        return (bottom - y1) / (y2 - y1);
    }
    return t;
}

void ModelData::SetContourRange(int step, int column) {
    double hi = 0.0, lo = 0.0, increment = 0.0;
    if (!(step < 0 && column <= 0)) {
        const int rows = GetNodeCount();
        for (int r = 0; r < rows; ++r) {
            const double v = GetResultValue(column - 1, r, step);
            if (r == 0 || v > hi) hi = v;
            if (r == 0 || v < lo) lo = v;
        }
        increment = (hi - lo) / 10.0;
    }
    contourIncrement = autoContourIncrement = increment;
    contourMax = autoContourMax = hi;
    contourMin = autoContourMin = lo;
    contourLevels = autoContourLevels = 10;
}

void ModelData::EdgeLoadShape(double* weights, double value1, double value2, double value3, int, int side,
                              int style) const {
    const int count = GetNodesPerElement() == 4 ? 4 : GetNodesPerElement() == 8 ? 8 : 9;
    std::fill(weights, weights + count, 0.0);
    if (side < 1 || side > 4) return;
    weights[side - 1] = value1;
    weights[side % 4] = value2;
    if (count > 4) weights[side + 3] = value3;
    double largest = 0.0;
    for (int k = 0; k < count; ++k) largest = std::max(largest, std::fabs(weights[k]));
    if (largest != 0.0)
        for (int k = 0; k < count; ++k) weights[k] /= largest;
    if (style > 3)
        for (int k = 0; k < count; ++k) weights[k] = std::fabs(weights[k]);
}

// ---------------------------------------------------------------------------
// Free helpers of the drawing

RampColor ColorRamp(double value, double max, double min) {
    const float fmin = static_cast<float>(min), fmax = static_cast<float>(max);
    const float v0 = static_cast<float>(value);
    const float third = (fmax - fmin) / 3.0f;
    const float upper = fmax - third, lower = fmin + third;
    auto byte = [](float c) {
        const float clamped = std::clamp(c, 0.0f, 255.0f);
        return static_cast<unsigned char>(clamped);
    };
    if (std::fabs(upper - lower) < 1e-6f) return {0, 0, 128};
    if (v0 <= lower) {
        const float v = std::max(v0, fmin);
        const float r = fmin + (lower - fmin) / 6.0f;
        if (v <= r) return {0, 0, byte(160.0f + 95.0f * (v - fmin) / (r - fmin))};
        return {0, byte(255.0f * (v - r) / (lower - r)), 255};
    }
    if (v0 >= upper) {
        const float v = std::min(v0, fmax);
        const float u = upper + 5.0f * (fmax - upper) / 6.0f;
        if (v >= u) return {byte(160.0f + 95.0f * (fmax - v) / (fmax - u)), 0, 0};
        return {255, byte(255.0f * (u - v) / (u - upper)), 0};
    }
    const float t = (upper - v0) / (upper - lower);
    return {byte(255.0f * (1.0f - t) * (1.0f - t)), 255, byte(255.0f * t * t)};
}

void ComputeFaceNormal(const float* x, const float* y, const float* z, float* normal) {
    const float ux = x[1] - x[0], uy = y[1] - y[0], uz = z[1] - z[0];
    const float vx = x[2] - x[0], vy = y[2] - y[0], vz = z[2] - z[0];
    float nx = uy * vz - uz * vy;
    float ny = uz * vx - ux * vz;
    float nz = ux * vy - uy * vx;
    float length = std::sqrt(nx * nx + ny * ny + nz * nz);
    if (length == 0.0f) length = 1.0f;
    normal[0] = nx / length;
    normal[1] = ny / length;
    normal[2] = nz / length;
}

bool TableLookupIndex(int id, std::vector<int>& list, std::vector<unsigned char>& marks) {
    if (id < 1) return true;
    const std::size_t k = static_cast<std::size_t>(id - 1);
    if (k >= marks.size()) marks.resize(k + 1, 0);
    if (marks[k]) return true;
    marks[k] = 1;
    list.push_back(id);
    return false;
}
