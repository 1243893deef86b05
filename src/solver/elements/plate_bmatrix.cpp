#include "solver/elements/plate_bmatrix.h"

#include <cmath>

#include "solver/elements/element_loop.h"
#include "solver/elements/rigidity.h"
#include "solver/run/state.h"

namespace parvane {


namespace {

inline double& at(double* m, int rows, int r, int c) { return m[(c - 1) * rows + (r - 1)]; }

void clear(double* m, int count) {
    for (int i = 0; i < count; ++i) m[i] = 0.0;
}

// Side that ends at corner i and side that starts at it (corners 1..4).
inline int side_ending_at(int i) { return i == 1 ? 4 : i - 1; }
inline int side_starting_at(int i) { return i; }

}  // namespace

void side_geometry_of(const double corner_x[4], const double corner_y[4], SideGeometry& g) {
    for (int k = 0; k < 4; ++k) {
        const int j = (k + 1) % 4;
        const double dx = corner_x[j] - corner_x[k];
        const double dy = corner_y[j] - corner_y[k];
        const double len = std::sqrt(dx * dx + dy * dy);
        g.len[k] = len;
        g.cos[k] = len > 0.0 ? dx / len : 0.0;
        g.sin[k] = len > 0.0 ? dy / len : 0.0;
    }
}

namespace {

// Curvature rows 1-3 of the columns (w, a, b) of nodes 1..n of a plate strain
// matrix with `rows` rows.
void curvature_columns(int n, const PointShape& p, double* b, int rows) {
    for (int i = 0; i < n; ++i) {
        const int a = 3 * i + 2, bb = 3 * i + 3;
        at(b, rows, 1, bb) = p.nx[i];
        at(b, rows, 2, a) = -p.ny[i];
        at(b, rows, 3, a) = -p.nx[i];
        at(b, rows, 3, bb) = p.ny[i];
    }
}

// Columns (u, v) of nodes 1..n of a membrane strain matrix.
void membrane_columns(int n, const PointShape& p, double* b) {
    for (int i = 0; i < n; ++i) {
        const int u = 2 * i + 1, v = u + 1;
        at(b, 3, 1, u) = p.nx[i];
        at(b, 3, 3, u) = p.ny[i];
        at(b, 3, 2, v) = p.ny[i];
        at(b, 3, 3, v) = p.nx[i];
    }
}

}  // namespace

void plate_strain_of(int nnode, const PointShape& p, double b[5 * 27]) {
    clear(b, 5 * 3 * nnode);
    curvature_columns(nnode, p, b, 5);
    for (int i = 0; i < nnode; ++i) {
        const int w = 3 * i + 1, a = w + 1, bb = w + 2;
        at(b, 5, 4, w) = p.nx[i];
        at(b, 5, 4, bb) = p.n[i];
        at(b, 5, 5, w) = p.ny[i];
        at(b, 5, 5, a) = -p.n[i];
    }
}

void membrane_strain_of(int nnode, const PointShape& p, double b[3 * 18]) {
    clear(b, 3 * 2 * nnode);
    membrane_columns(nnode, p, b);
}

void quad4_side_columns(const PointShape& p, const SideGeometry& g, double scale, double b[5 * 16]) {
    // Side k adds the rotation -p_k N_(4+k) along its own direction (C_k, S_k).
    for (int k = 0; k < 4; ++k) {
        const double c = g.cos[k], s = g.sin[k];
        const double mx = p.nx[4 + k], my = p.ny[4 + k];
        at(b, 5, 1, 13 + k) += -c * mx * scale;
        at(b, 5, 2, 13 + k) += -s * my * scale;
        at(b, 5, 3, 13 + k) += -(c * my + s * mx) * scale;
    }
}

void quad4_bending_strain_of(const PointShape& p, const SideGeometry& g, double b[5 * 16]) {
    clear(b, 5 * 16);
    curvature_columns(4, p, b, 5);
    quad4_side_columns(p, g, 1.0, b);
}

void quad4_shear_strain_of(const PointShape& p, const SideGeometry& g, double b[5 * 16]) {
    clear(b, 5 * 16);
    // 1. Tangential shear strain of every side as a row over the 16 columns.
    double side[4][16] = {};
    for (int k = 0; k < 4; ++k) {
        const int i = k, j = (k + 1) % 4;
        const double c = g.cos[k], s = g.sin[k];
        const double inv_len = g.len[k] > 0.0 ? 1.0 / g.len[k] : 0.0;
        side[k][3 * j] += inv_len;
        side[k][3 * i] -= inv_len;
        side[k][3 * i + 1] -= s / 2.0;
        side[k][3 * j + 1] -= s / 2.0;
        side[k][3 * i + 2] += c / 2.0;
        side[k][3 * j + 2] += c / 2.0;
        side[k][12 + k] = side_parameter_shear;
    }
    // 2. Corner shears from the two sides meeting at the corner, 3. bilinear
    // interpolation of the corner values to the point.
    for (int corner = 1; corner <= 4; ++corner) {
        const int sa = side_ending_at(corner) - 1, sb = side_starting_at(corner) - 1;
        const double ca = g.cos[sa], sna = g.sin[sa], cb = g.cos[sb], snb = g.sin[sb];
        const double det = ca * snb - sna * cb;
        if (det == 0.0) continue;  // sides in line: the corner carries no shear of its own
        const double ni = p.n[corner - 1];
        for (int col = 0; col < 16; ++col) {
            const double gx = (snb * side[sa][col] - sna * side[sb][col]) / det;
            const double gy = (ca * side[sb][col] - cb * side[sa][col]) / det;
            at(b, 5, 4, col + 1) += ni * gx;
            at(b, 5, 5, col + 1) += ni * gy;
        }
    }
}

void quad4_membrane_strain_of(const PointShape& p, const SideGeometry& g, double b[3 * 12]) {
    clear(b, 3 * 12);
    membrane_columns(4, p, b);
    // Drilling rotation r_i moves the mid-points of the two sides at corner i
    // along their outward normals (S, -C) by +L/8 (side ending at i) and -L/8
    // (side starting at i), spread by the mid-side functions.
    for (int corner = 1; corner <= 4; ++corner) {
        const int sa = side_ending_at(corner) - 1, sb = side_starting_at(corner) - 1;
        const double la = g.len[sa], lb = g.len[sb];
        const double ca = g.cos[sa], sna = g.sin[sa], cb = g.cos[sb], snb = g.sin[sb];
        const double nax = p.nx[4 + sa], nay = p.ny[4 + sa];
        const double nbx = p.nx[4 + sb], nby = p.ny[4 + sb];
        const int col = 8 + corner;
        at(b, 3, 1, col) = (sna * la * nax - snb * lb * nbx) / 8.0;
        at(b, 3, 2, col) = (cb * lb * nby - ca * la * nay) / 8.0;
        at(b, 3, 3, col) = ((sna * nay - ca * nax) * la + (cb * nbx - snb * nby) * lb) / 8.0;
    }
}

void stress_product(int rows, int ncol, const double* d, const double* b, double* s) {
    for (int c = 0; c < ncol; ++c) {
        for (int r = 0; r < rows; ++r) {
            double sum = 0.0;
            for (int k = 0; k < rows; ++k) sum += d[k * rows + r] * b[c * rows + k];
            s[c * rows + r] = sum;
        }
    }
}

PointShape current_point_shape(const RunState& st) {
    PointShape p{};
    const ShapeCommon& sc = st.shape_common;
    const int count = st.nnode == 4 ? 8 : (st.nnode > 9 ? 9 : st.nnode);
    for (int i = 0; i < count; ++i) {
        p.n[i] = sc.shape_values[static_cast<std::size_t>(i)];
        p.nx[i] = sc.cartesian_derivatives[static_cast<std::size_t>(i * 3)];
        p.ny[i] = sc.cartesian_derivatives[static_cast<std::size_t>(i * 3 + 1)];
    }
    return p;
}

SideGeometry load_quad4_sides(RunState& st) {
    double x[4], y[4];
    for (int i = 0; i < 4; ++i) {
        x[i] = st.shape_common.element_plane_coords[static_cast<std::size_t>(i * 3)];
        y[i] = st.shape_common.element_plane_coords[static_cast<std::size_t>(i * 3 + 1)];
    }
    side_geometry_of(x, y, st.element_loop->bmatrix.sides);
    return st.element_loop->bmatrix.sides;
}

void plate_strain_matrix(RunState& st) {
    plate_strain_of(st.nnode, current_point_shape(st), st.element_loop->bmatrix.plate_b);
}
void bending_stress_matrix(RunState& st) {
    stress_product(5, 3 * st.nnode, st.element_loop->rigidity.bending, st.element_loop->bmatrix.plate_b,
                   st.element_loop->bmatrix.bending_s);
}
void plate_shear_strain_matrix(RunState& st) {
    plate_strain_of(st.nnode, current_point_shape(st), st.element_loop->bmatrix.shear_b);
}
void shear_stress_matrix(RunState& st) {
    stress_product(5, 3 * st.nnode, st.element_loop->rigidity.shear, st.element_loop->bmatrix.shear_b,
                   st.element_loop->bmatrix.shear_s);
}
void membrane_strain_matrix(RunState& st) {
    membrane_strain_of(st.nnode, current_point_shape(st), st.element_loop->bmatrix.membrane_b);
}
void membrane_stress_matrix(RunState& st) {
    stress_product(3, 2 * st.nnode, st.element_loop->rigidity.membrane, st.element_loop->bmatrix.membrane_b,
                   st.element_loop->bmatrix.membrane_s);
}
void quad4_bending_strain_matrix(RunState& st) {
    quad4_bending_strain_of(current_point_shape(st), st.element_loop->bmatrix.sides,
                            st.element_loop->bmatrix.q4_bending_b);
}
void quad4_bending_stress_matrix(RunState& st) {
    stress_product(5, 16, st.element_loop->rigidity.bending, st.element_loop->bmatrix.q4_bending_b,
                   st.element_loop->bmatrix.q4_bending_s);
}
void quad4_shear_strain_matrix(RunState& st) {
    quad4_shear_strain_of(current_point_shape(st), st.element_loop->bmatrix.sides, st.element_loop->bmatrix.q4_shear_b);
}
void quad4_shear_stress_matrix(RunState& st) {
    stress_product(5, 16, st.element_loop->rigidity.shear, st.element_loop->bmatrix.q4_shear_b,
                   st.element_loop->bmatrix.q4_shear_s);
}
void quad4_membrane_strain_matrix(RunState& st) {
    quad4_membrane_strain_of(current_point_shape(st), st.element_loop->bmatrix.sides,
                             st.element_loop->bmatrix.q4_membrane_b);
}
void quad4_membrane_stress_matrix(RunState& st) {
    stress_product(3, 12, st.element_loop->rigidity.membrane, st.element_loop->bmatrix.q4_membrane_b,
                   st.element_loop->bmatrix.q4_membrane_s);
}

}  // namespace parvane
