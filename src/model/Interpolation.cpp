// Shape functions of the element kinds, interpolation of nodal values
// inside elements and on their sides, the point-in-element search and the
// contour-level searches.

#include "model/Interpolation.h"

#include <algorithm>
#include <cmath>

#include "model/ModelData.h"

void ShapeFunctions(double xi, double eta, int kind, double* n) {
    const double a = xi, b = eta;
    if (kind == 4) {
        n[0] = (1 - a) * (1 - b) / 4;
        n[1] = (1 + a) * (1 - b) / 4;
        n[2] = (1 + a) * (1 + b) / 4;
        n[3] = (1 - a) * (1 + b) / 4;
    } else if (kind == 8) {
        n[0] = -(1 - a) * (1 - b) * (1 + a + b) / 4;
        n[1] = -(1 + a) * (1 - b) * (1 - a + b) / 4;
        n[2] = -(1 + a) * (1 + b) * (1 - a - b) / 4;
        n[3] = -(1 - a) * (1 + b) * (1 + a - b) / 4;
        n[4] = (1 - a * a) * (1 - b) / 2;
        n[5] = (1 + a) * (1 - b * b) / 2;
        n[6] = (1 - a * a) * (1 + b) / 2;
        n[7] = (1 - a) * (1 - b * b) / 2;
    } else {
        n[0] = a * b * (1 - a) * (1 - b) / 4;
        n[1] = -a * b * (1 + a) * (1 - b) / 4;
        n[2] = a * b * (1 + a) * (1 + b) / 4;
        n[3] = -a * b * (1 - a) * (1 + b) / 4;
        n[4] = -b * (1 - a * a) * (1 - b) / 2;
        n[5] = a * (1 + a) * (1 - b * b) / 2;
        n[6] = b * (1 - a * a) * (1 + b) / 2;
        n[7] = -a * (1 - a) * (1 - b * b) / 2;
        n[8] = (1 - a * a) * (1 - b * b);
    }
}

void ShapeFunctionsDXi(double xi, double eta, int kind, double* d) {
    const double a = xi, b = eta;
    if (kind == 4) {
        d[0] = -(1 - b) / 4;
        d[1] = (1 - b) / 4;
        d[2] = (1 + b) / 4;
        d[3] = -(1 + b) / 4;
    } else if (kind == 8) {
        d[0] = (1 - b) * (2 * a + b) / 4;
        d[1] = (1 - b) * (2 * a - b) / 4;
        d[2] = (1 + b) * (2 * a + b) / 4;
        d[3] = (1 + b) * (2 * a - b) / 4;
        d[4] = -a * (1 - b);
        d[5] = (1 - b * b) / 2;
        d[6] = -a * (1 + b);
        d[7] = -(1 - b * b) / 2;
    } else {
        d[0] = b * (1 - b) * (1 - 2 * a) / 4;
        d[1] = -b * (1 - b) * (1 + 2 * a) / 4;
        d[2] = b * (1 + b) * (1 + 2 * a) / 4;
        d[3] = -b * (1 + b) * (1 - 2 * a) / 4;
        d[4] = a * b * (1 - b);
        d[5] = (1 + 2 * a) * (1 - b * b) / 2;
        d[6] = -a * b * (1 + b);
        d[7] = -(1 - 2 * a) * (1 - b * b) / 2;
        d[8] = -2 * a * (1 - b * b);
    }
}

void ShapeFunctionsDEta(double xi, double eta, int kind, double* d) {
    const double a = xi, b = eta;
    if (kind == 4) {
        d[0] = -(1 - a) / 4;
        d[1] = -(1 + a) / 4;
        d[2] = (1 + a) / 4;
        d[3] = (1 - a) / 4;
    } else if (kind == 8) {
        d[0] = (1 - a) * (a + 2 * b) / 4;
        d[1] = (1 + a) * (2 * b - a) / 4;
        d[2] = (1 + a) * (a + 2 * b) / 4;
        d[3] = (1 - a) * (2 * b - a) / 4;
        d[4] = -(1 - a * a) / 2;
        d[5] = -b * (1 + a);
        d[6] = (1 - a * a) / 2;
        d[7] = -b * (1 - a);
    } else {
        d[0] = a * (1 - a) * (1 - 2 * b) / 4;
        d[1] = -a * (1 + a) * (1 - 2 * b) / 4;
        d[2] = a * (1 + a) * (1 + 2 * b) / 4;
        d[3] = -a * (1 - a) * (1 + 2 * b) / 4;
        d[4] = -(1 - a * a) * (1 - 2 * b) / 2;
        d[5] = -a * b * (1 + a);
        d[6] = (1 - a * a) * (1 + 2 * b) / 2;
        d[7] = a * b * (1 - a);
        d[8] = -2 * b * (1 - a * a);
    }
}

void EdgeShapeFunctions(double s, int nodes, double* n) {
    if (nodes == 3) {
        n[0] = -s * (1 - s) / 2;
        n[1] = s * (1 + s) / 2;
        n[2] = (1 + s) * (1 - s);
    } else {
        n[0] = (1 - s) / 2;
        n[1] = (1 + s) / 2;
    }
}

double DotProduct(int count, const double* weights, const double* values) {
    double sum = 0.0;
    for (int i = 0; i < count; ++i) sum += weights[i] * values[i];
    return sum;
}

namespace {

int NodeCountOfKind(int kind) { return kind == 4 ? 4 : kind == 8 ? 8 : 9; }

double FieldAt(int kind, int direction, double fixed, double t, const double* values) {
    double n[9];
    if (direction == 0)
        ShapeFunctions(t, fixed, kind, n);
    else
        ShapeFunctions(fixed, t, kind, n);
    return DotProduct(NodeCountOfKind(kind), n, values);
}

double SlopeAt(int kind, int direction, double fixed, double t, const double* values) {
    double d[9];
    if (direction == 0)
        ShapeFunctionsDXi(t, fixed, kind, d);
    else
        ShapeFunctionsDEta(fixed, t, kind, d);
    return DotProduct(NodeCountOfKind(kind), d, values);
}

}  // namespace

int FindContourCrossing(int kind, int direction, double fixed, const double* values, double level, double& t) {
    double current = t;
    for (int steps = 1;; ++steps) {
        const double f = FieldAt(kind, direction, fixed, current, values);
        const double slope = SlopeAt(kind, direction, fixed, current, values);
        if (slope == 0.0) return 0;
        const double next = current - (f - level) / slope;
        if (steps > 1) {
            const double rel = std::fabs(next) > 1e-10 ? (next - current) / next : next - current;
            if (std::fabs(rel) < 1e-10) {
                t = next;
                return next >= -1.0 && next <= 1.0 ? 1 : 0;
            }
            if (steps > 50) return 0;
        }
        current = next;
    }
}

int FindEdgeLevelCrossings(int kind, int direction, double fixed, const double* values, double level, double& t1,
                           double& t2) {
    t1 = t2 = 0.0;
    std::vector<double> ends{FieldAt(kind, direction, fixed, -1.0, values),
                             FieldAt(kind, direction, fixed, 1.0, values)};
    if (kind != 4) ends.push_back(FieldAt(kind, direction, fixed, 0.0, values));
    const bool anyAbove = std::any_of(ends.begin(), ends.end(), [&](double v) { return v >= level; });
    const bool anyBelow = std::any_of(ends.begin(), ends.end(), [&](double v) { return v <= level; });
    if (!anyAbove || !anyBelow) return -1;
    if (std::all_of(ends.begin(), ends.end(), [&](double v) { return v == ends[0]; })) return 0;
    if (kind == 4) {
        t1 = 0.0;
        return FindContourCrossing(kind, direction, fixed, values, level, t1) ? 1 : -1;
    }
    t1 = -1.0;
    t2 = 1.0;
    const bool first = FindContourCrossing(kind, direction, fixed, values, level, t1) == 1;
    bool second = FindContourCrossing(kind, direction, fixed, values, level, t2) == 1;
    // Two starts that end on one root count once. Newton stalls near a
    // tangent root about 1e-8 away from it (where the field's change drops
    // below its rounding), so the two ends of a tangent are allowed that much
    // further apart.
    if (first && second && std::fabs(t1 - t2) <= 1e-6) second = false;
    if (!first && second) t1 = t2;
    const int found = (first ? 1 : 0) + (second ? 1 : 0);
    return found ? found : -1;
}

double NodeDistance(int i, int j, const double* x, const double* y, const double* z) {
    const double dx = x[i] - x[j], dy = y[i] - y[j], dz = z[i] - z[j];
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

// ---------------------------------------------------------------------------
// Model members

int ModelData::GetNodesPerElement() const {
    return elementTable ? elementTable->GetNodesPerElement() : nodesPerElement;
}

int ModelData::GetEdgeNodeCount() const { return GetNodesPerElement() > 7 ? 3 : 2; }

double ModelData::InterpolateAtLocal(int, double xi, double eta, const double* values) const {
    if (!values) return 1.0;
    const int kind = GetNodesPerElement();
    double n[9];
    ShapeFunctions(xi, eta, kind, n);
    return DotProduct(NodeCountOfKind(kind), n, values);
}

void ModelData::SideLocalCoordinates(double& xi, double& eta, int side, double s) {
    switch (side) {
        case 0:
            xi = s;
            eta = -1.0;
            break;
        case 1:
            xi = 1.0;
            eta = s;
            break;
        case 2:
            xi = s;
            eta = 1.0;
            break;
        case 3:
            xi = -1.0;
            eta = s;
            break;
        default: break;
    }
}

double ModelData::InterpolateOnSide(int element, int side, double s, const double* values) const {
    double xi = 0.0, eta = 0.0;
    SideLocalCoordinates(xi, eta, side, s);
    return InterpolateAtLocal(element, xi, eta, values);
}

int ModelData::LocateElementAtPoint(double x, double y, double z, double& xi, double& eta) const {
    xi = eta = 0.0;
    if (!elementTable || !nodeTable) return -1;
    const int kind = GetNodesPerElement();
    const int count = NodeCountOfKind(kind);
    const int rows = elementTable->GetCount();
    for (int e = 0; e < rows; ++e) {
        const ElementRow* row = elementTable->GetRow(e);
        double nx[9] = {}, ny[9] = {}, nz[9] = {};
        bool complete = static_cast<int>(row->nodes.size()) >= count;
        for (int k = 0; k < count && complete; ++k) {
            const NodeRow* node = nodeTable->RowOrNull(NodeRowOfNumber(row->nodes[static_cast<std::size_t>(k)]));
            if (!node) {
                complete = false;
                break;
            }
            nx[k] = node->x;
            ny[k] = node->y;
            nz[k] = node->z;
        }
        if (!complete) continue;
        const auto outside = [count](const double* c, double v) {
            const double lo = *std::min_element(c, c + count);
            const double hi = *std::max_element(c, c + count);
            return v < lo || v > hi;
        };
        if (outside(nx, x) || outside(ny, y) || outside(nz, z)) continue;

        double a = 0.0, b = 0.0;
        for (int iteration = 1;; ++iteration) {
            double n[9], da[9], db[9];
            ShapeFunctions(a, b, kind, n);
            ShapeFunctionsDXi(a, b, kind, da);
            ShapeFunctionsDEta(a, b, kind, db);
            const double r[3] = {x - DotProduct(count, n, nx), y - DotProduct(count, n, ny),
                                 z - DotProduct(count, n, nz)};
            const double j1[3] = {DotProduct(count, da, nx), DotProduct(count, da, ny), DotProduct(count, da, nz)};
            const double j2[3] = {DotProduct(count, db, nx), DotProduct(count, db, ny), DotProduct(count, db, nz)};
            const double g1 = j1[0] * r[0] + j1[1] * r[1] + j1[2] * r[2];
            const double g2 = j2[0] * r[0] + j2[1] * r[1] + j2[2] * r[2];
            const double a11 = j1[0] * j1[0] + j1[1] * j1[1] + j1[2] * j1[2];
            const double a12 = j1[0] * j2[0] + j1[1] * j2[1] + j1[2] * j2[2];
            const double a22 = j2[0] * j2[0] + j2[1] * j2[1] + j2[2] * j2[2];
            const double det = a11 * a22 - a12 * a12;
            if (a11 == 0.0 || a22 == 0.0 || det == 0.0) break;
            const double dEta = (a11 * g2 - a12 * g1) / det;
            const double dXi = (g1 - a12 * dEta) / a11;
            const double oldA = a, oldB = b;
            a += dXi;
            b += dEta;
            if (iteration >= 2) {
                const double relA = std::fabs(oldA) > 1e-10 ? dXi / oldA : dXi;
                const double relB = std::fabs(oldB) > 1e-10 ? dEta / oldB : dEta;
                if (std::fabs(relA) < 1e-10 && std::fabs(relB) < 1e-10) {
                    if (a >= -1.0 && a <= 1.0 && b >= -1.0 && b <= 1.0) {
                        xi = a;
                        eta = b;
                        return e;
                    }
                    break;
                }
            }
            if (iteration > 50) break;
        }
    }
    return -1;
}

void ModelData::GetElementNodeCoords(double* x, double* y, double* z, double* dx, double* dy, double* dz, double* rx,
                                     double* ry, double* rz, int element, int deformed, int step) const {
    const ElementRow* row = elementTable ? elementTable->RowOrNull(element) : nullptr;
    const int count = NodeCountOfKind(GetNodesPerElement());
    for (int k = 0; k < count; ++k) {
        x[k] = y[k] = z[k] = dx[k] = dy[k] = dz[k] = rx[k] = ry[k] = rz[k] = 0.0;
        if (!row || k >= static_cast<int>(row->nodes.size())) continue;
        const int r = NodeRowOfNumber(row->nodes[static_cast<std::size_t>(k)]);
        const NodeRow* node = nodeTable ? nodeTable->RowOrNull(r) : nullptr;
        if (!node) continue;
        x[k] = node->x;
        y[k] = node->y;
        z[k] = node->z;
        if (deformed > 0) {
            dx[k] = -GetResultValue(0, r, step);
            dy[k] = GetResultValue(1, r, step);
            dz[k] = GetResultValue(2, r, step);
            rx[k] = GetResultValue(3, r, step);
            ry[k] = GetResultValue(4, r, step);
            rz[k] = GetResultValue(5, r, step);
        }
    }
}

void ModelData::InterpolateAtPoint(double& x, double& y, double& z, const double* nx, const double* ny,
                                   const double* nz, const double* dx, const double* dy, const double* dz, double c,
                                   int element, double xi, double eta, int deformed, int thickness) const {
    const int kind = GetNodesPerElement();
    const int count = NodeCountOfKind(kind);
    double n[9];
    ShapeFunctions(xi, eta, kind, n);
    x = DotProduct(count, n, nx);
    y = DotProduct(count, n, ny);
    z = DotProduct(count, n, nz);
    if (deformed > 0) {
        x += DotProduct(count, n, dx) * deformationFactor;
        y += DotProduct(count, n, dy) * deformationFactor;
        z += DotProduct(count, n, dz) * deformationFactor;
    }
    if (thickness) {
        const int material = GetElementMaterial(element);
        const MaterialRow* m = materialTable ? materialTable->RowOrNull(material - 1) : nullptr;
        if (m) x += c * m->thickness / 2.0;
    }
}

void ModelData::ElementPointAtLocal(double& x, double& y, double& z, int deformed, int step, int element, double xi,
                                    double eta, int thickness, double c) const {
    double nx[9], ny[9], nz[9], dx[9], dy[9], dz[9], rx[9], ry[9], rz[9];
    GetElementNodeCoords(nx, ny, nz, dx, dy, dz, rx, ry, rz, element, deformed, step);
    InterpolateAtPoint(x, y, z, nx, ny, nz, dx, dy, dz, c, element, xi, eta, deformed, thickness);
}

void ModelData::ElementPointOnSide(double& x, double& y, double& z, int deformed, int step, int element, int side,
                                   double s, int thickness, double c) const {
    double xi = 0.0, eta = 0.0;
    SideLocalCoordinates(xi, eta, side, s);
    ElementPointAtLocal(x, y, z, deformed, step, element, xi, eta, thickness, c);
}
