#include "solver/elements/interpolation.h"

#include <cmath>

namespace parvane {

void shape_functions(ShapeCommon& sc, double s, double t, int n) {
    if (n == 9) {
        // Lagrange: product of the one-dimensional quadratics.
        const double ls[3] = {s * (s - 1.0) / 2.0, 1.0 - s * s, s * (s + 1.0) / 2.0};
        const double dls[3] = {s - 0.5, -2.0 * s, s + 0.5};
        const double lt[3] = {t * (t - 1.0) / 2.0, 1.0 - t * t, t * (t + 1.0) / 2.0};
        const double dlt[3] = {t - 0.5, -2.0 * t, t + 0.5};
        // Index of -1, 0, +1 in the tables above for the nine nodes.
        static const int is[9] = {0, 2, 2, 0, 1, 2, 1, 0, 1};
        static const int it[9] = {0, 0, 2, 2, 0, 1, 2, 1, 1};
        for (int i = 1; i <= 9; ++i) {
            const int a = is[i - 1], b = it[i - 1];
            sc.N(i) = ls[a] * lt[b];
            sc.dN(1, i) = dls[a] * lt[b];
            sc.dN(2, i) = ls[a] * dlt[b];
        }
        return;
    }
    if (n != 8 && n != 4) return;
    static const double si[4] = {-1.0, 1.0, 1.0, -1.0};
    static const double ti[4] = {-1.0, -1.0, 1.0, 1.0};
    for (int i = 1; i <= 4; ++i) {
        const double a = si[i - 1], b = ti[i - 1];
        const double fs = 1.0 + s * a, ft = 1.0 + t * b;
        if (n == 4) {
            sc.N(i) = fs * ft / 4.0;
            sc.dN(1, i) = a * ft / 4.0;
            sc.dN(2, i) = fs * b / 4.0;
        } else {
            const double g = s * a + t * b - 1.0;
            sc.N(i) = fs * ft * g / 4.0;
            sc.dN(1, i) = (a * ft * g + fs * ft * a) / 4.0;
            sc.dN(2, i) = (fs * b * g + fs * ft * b) / 4.0;
        }
    }
    // Side functions (mid-side nodes of the 8-node element, the additional
    // functions of the 4-node element).
    const double s2 = 1.0 - s * s, t2 = 1.0 - t * t;
    sc.N(5) = s2 * (1.0 - t) / 2.0;
    sc.dN(1, 5) = -s * (1.0 - t);
    sc.dN(2, 5) = -s2 / 2.0;
    sc.N(6) = (1.0 + s) * t2 / 2.0;
    sc.dN(1, 6) = t2 / 2.0;
    sc.dN(2, 6) = -(1.0 + s) * t;
    sc.N(7) = s2 * (1.0 + t) / 2.0;
    sc.dN(1, 7) = -s * (1.0 + t);
    sc.dN(2, 7) = s2 / 2.0;
    sc.N(8) = (1.0 - s) * t2 / 2.0;
    sc.dN(1, 8) = -t2 / 2.0;
    sc.dN(2, 8) = -(1.0 - s) * t;
}

void shape_functions(RunState& st, double s, double t, int n) { shape_functions(st.shape_common, s, t, n); }

void edge_shape_functions(RunState& st, double s, int n) {
    ShapeCommon& sc = st.shape_common;
    sc.shape_values.fill(0.0);
    sc.local_derivatives.fill(0.0);
    if (n == 2) {
        sc.N(1) = (1.0 - s) / 2.0;
        sc.N(2) = (1.0 + s) / 2.0;
        sc.dN(1, 1) = -0.5;
        sc.dN(1, 2) = 0.5;
    } else if (n == 3) {
        sc.N(1) = -s * (1.0 - s) / 2.0;
        sc.N(2) = s * (1.0 + s) / 2.0;
        sc.N(3) = (1.0 + s) * (1.0 - s);
        sc.dN(1, 1) = s - 0.5;
        sc.dN(1, 2) = s + 0.5;
        sc.dN(1, 3) = -2.0 * s;
    }
}

void gauss_rule(int n, double* pos, double* w) {
    if (n < 1 || n > 3) return;
    if (n == 1) {
        pos[0] = 0.0;
        w[0] = 2.0;
        return;
    }
    if (n == 2) {
        pos[0] = -0.577350269189626;
        w[0] = 1.0;
    } else {
        pos[0] = -0.774596669241483;
        pos[1] = 0.0;
        w[0] = 0.5555555555555556;
        w[1] = 0.888888888888889;
    }
    for (int i = 1; i <= n / 2; ++i) {
        pos[n - i] = -pos[i - 1];
        w[n - i] = w[i - 1];
    }
}

void gauss_points(RunState& st) {
    GaussCommon& g = st.gauss_common;
    gauss_rule(st.ngaus2, g.gauss_positions2.data(), g.gauss_weights2.data());
    gauss_rule(st.ngaus, g.gauss_positions.data(), g.gauss_weights.data());
}

void jacob2(RunState& st, int ielem, double& det, int k, int& status) {
    ShapeCommon& sc = st.shape_common;
    const int nnode = st.nnode < 0 ? 0 : (st.nnode > 9 ? 9 : st.nnode);
    const int ndime = st.ndime < 0 ? 0 : (st.ndime > 3 ? 3 : st.ndime);
    if (k >= 1 && k <= 9) {
        for (int c = 1; c <= ndime; ++c) {
            double x = 0.0;
            for (int i = 1; i <= nnode; ++i) x += sc.ecoord(c, i) * sc.N(i);
            st.gauss_common.point(c, k) = x;
        }
    }
    double j[2][2] = {{0.0, 0.0}, {0.0, 0.0}};
    for (int a = 1; a <= 2; ++a)
        for (int b = 1; b <= 2; ++b) {
            double x = 0.0;
            for (int i = 1; i <= nnode; ++i) x += sc.dN(a, i) * sc.pcoord(b, i);
            j[a - 1][b - 1] = x;
        }
    st.jacobian = {j[0][0], j[1][0], j[0][1], j[1][1]};
    det = j[0][0] * j[1][1] - j[0][1] * j[1][0];
    if (!(det > 0.0)) {
        fio::Writer(st.units, kUnitListing)
            .skip(2)
            .lit(" PROGRAM halted in SUBROUTINE jacob2")
            .end()
            .x(11)
            .lit(" zero or negative area")
            .end()
            .x(10)
            .lit(" element number ")
            .i(ielem, 5);
        status = kStatusJacobian;
        return;
    }
    const double ij[2][2] = {{j[1][1] / det, -j[0][1] / det}, {-j[1][0] / det, j[0][0] / det}};
    st.inverse_jacobian = {ij[0][0], ij[1][0], ij[0][1], ij[1][1]};
    const int m = st.nnode == 4 ? 8 : nnode;
    for (int i = 1; i <= m; ++i)
        for (int a = 1; a <= 2; ++a) sc.cart(a, i) = ij[a - 1][0] * sc.dN(1, i) + ij[a - 1][1] * sc.dN(2, i);
}

int inverse_map(RunState& st, int n, const double target[3], double& s, double& t) {
    ShapeCommon& sc = st.shape_common;
    const int np = n < 0 ? 0 : (n > 9 ? 9 : n);
    s = 0.0;
    t = 0.0;
    int k = 0;
    for (;;) {
        shape_functions(sc, s, t, n);
        double x[3] = {0, 0, 0}, xs[3] = {0, 0, 0}, xt[3] = {0, 0, 0};
        for (int i = 1; i <= np; ++i)
            for (int c = 1; c <= 3; ++c) {
                x[c - 1] += sc.N(i) * sc.pcoord(c, i);
                xs[c - 1] += sc.dN(1, i) * sc.pcoord(c, i);
                xt[c - 1] += sc.dN(2, i) * sc.pcoord(c, i);
            }
        double r[3];
        for (int c = 0; c < 3; ++c) r[c] = target[c] - x[c];
        const double A = xs[0] * xs[0] + xs[1] * xs[1] + xs[2] * xs[2];
        const double B = xs[0] * xt[0] + xs[1] * xt[1] + xs[2] * xt[2];
        const double C = xt[0] * xt[0] + xt[1] * xt[1] + xt[2] * xt[2];
        const double gs = xs[0] * r[0] + xs[1] * r[1] + xs[2] * r[2];
        const double gt = xt[0] * r[0] + xt[1] * r[1] + xt[2] * r[2];
        if (A == 0.0 || C == 0.0) return -1;
        const double dt = (A * gt - B * gs) / (A * C - B * B);
        const double ds = (gs - B * dt) / A;
        const double s0 = s, t0 = t;
        s = s0 + ds;
        t = t0 + dt;
        ++k;
        if (k == 1) continue;
        const double qs = s0 != 0.0 ? ds / s0 : ds;
        const double qt = t0 != 0.0 ? dt / t0 : dt;
        // A coordinate that settles at (nearly) zero has no meaningful relative
        // change: an absolute change below the bound counts as settled too.
        const bool s_ok = std::fabs(qs) < kInverseMapTolerance || std::fabs(ds) < kInverseMapTolerance;
        const bool t_ok = std::fabs(qt) < kInverseMapTolerance || std::fabs(dt) < kInverseMapTolerance;
        if (s_ok && t_ok) return 1;
        if (k >= 50) return 0;
    }
}

bool stress_point_shape(RunState& st, int n, double& s, double& t, double px, double py, double pz,
                        const double* points) {
    ShapeCommon& sc = st.shape_common;
    const int np = n < 0 ? 0 : (n > 9 ? 9 : n);
    const int ndime = st.ndime < 1 ? 3 : (st.ndime > 3 ? 3 : st.ndime);
    for (int i = 1; i <= np; ++i)
        for (int c = 1; c <= 3; ++c) sc.pcoord(c, i) = c <= ndime ? points[(i - 1) * ndime + (c - 1)] : 0.0;
    const double target[3] = {px, py, pz};
    return inverse_map(st, n, target, s, t) == 1;
}

void matrix_product(double* c, const double* a, const double* b, int n) {
    constexpr int ld = 54;
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i) c[i + j * ld] = 0.0;
    for (int j = 0; j < n; ++j)
        for (int k = 0; k < n; ++k) {
            const double bkj = b[k + j * ld];
            for (int i = 0; i < n; ++i) c[i + j * ld] += a[i + k * ld] * bkj;
        }
}

}  // namespace parvane
