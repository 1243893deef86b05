#include "solver/elements/element_utils.h"

#include <cmath>

#include "solver/run/dense.h"
#include "solver/elements/element_loop.h"
#include "solver/elements/interpolation.h"
#include "solver/elements/rigidity.h"
#include "solver/run/state.h"

namespace parvane {


namespace {

inline double& at(double* m, int lda, int r, int c) { return m[(c - 1) * lda + (r - 1)]; }
inline double at(const double* m, int lda, int r, int c) { return m[(c - 1) * lda + (r - 1)]; }

// Eigen-decomposition of a symmetric m x m matrix (m <= 4) by Jacobi sweeps;
// a (leading size 4) is destroyed, its diagonal leaves the eigenvalues, v the
// eigenvectors by columns.
void jacobi_eigen(double a[16], int m, double v[16]) {
    for (int i = 0; i < 16; ++i) v[i] = 0.0;
    for (int i = 0; i < m; ++i) v[i * 4 + i] = 1.0;
    for (int sweep = 0; sweep < 60; ++sweep) {
        double off = 0.0;
        for (int p = 0; p < m; ++p)
            for (int q = p + 1; q < m; ++q) off += a[q * 4 + p] * a[q * 4 + p];
        if (off == 0.0) break;
        for (int p = 0; p < m; ++p) {
            for (int q = p + 1; q < m; ++q) {
                const double apq = a[q * 4 + p];
                if (apq == 0.0) continue;
                const double theta = (a[q * 4 + q] - a[p * 4 + p]) / (2.0 * apq);
                const double t = (theta >= 0.0 ? 1.0 : -1.0) / (std::fabs(theta) + std::sqrt(theta * theta + 1.0));
                const double c = 1.0 / std::sqrt(t * t + 1.0), s = t * c;
                for (int k = 0; k < m; ++k) {
                    const double akp = a[p * 4 + k], akq = a[q * 4 + k];
                    a[p * 4 + k] = c * akp - s * akq;
                    a[q * 4 + k] = s * akp + c * akq;
                }
                for (int k = 0; k < m; ++k) {
                    const double apk = a[k * 4 + p], aqk = a[k * 4 + q];
                    a[k * 4 + p] = c * apk - s * aqk;
                    a[k * 4 + q] = s * apk + c * aqk;
                }
                for (int k = 0; k < m; ++k) {
                    const double vkp = v[p * 4 + k], vkq = v[q * 4 + k];
                    v[p * 4 + k] = c * vkp - s * vkq;
                    v[q * 4 + k] = s * vkp + c * vkq;
                }
            }
        }
    }
}

}  // namespace

void interpolation_matrices_of(int nnode, const PointShape& p, double* r0, double* ry, double* rz) {
    for (int i = 0; i < 3 * 3 * nnode; ++i) r0[i] = ry[i] = rz[i] = 0.0;
    for (int a = 0; a < nnode; ++a) {
        for (int i = 1; i <= 3; ++i) {
            const int col = 3 * a + i;
            at(r0, 3, i, col) = p.n[a];
            at(ry, 3, i, col) = p.nx[a];
            at(rz, 3, i, col) = p.ny[a];
        }
    }
}

void symmetrize(double* a, int& lda, int& n) {
    for (int j = 2; j <= n; ++j)
        for (int i = 1; i < j; ++i) at(a, lda, j, i) = at(a, lda, i, j);
}

void condense_internal_of(double* k, int r, int m, double record[92]) {
    constexpr int ld = 27;
    double kmm[16] = {};
    for (int i = 1; i <= m; ++i)
        for (int j = 1; j <= m; ++j) kmm[(j - 1) * 4 + (i - 1)] = at(k, ld, r + i, r + j);

    // Inverse of the internal block. The block of a positive semi-definite
    // element matrix may be singular (a parameter without stiffness under a
    // low integration order); the generalised inverse over its non-zero
    // eigenvalues then still gives the energy minimum over the parameters.
    double work[16], vec[16];
    for (int i = 0; i < 16; ++i) work[i] = kmm[i];
    jacobi_eigen(work, m, vec);
    double largest = 0.0;
    for (int i = 0; i < m; ++i) largest = std::fmax(largest, std::fabs(work[i * 4 + i]));
    bool regular = largest > 0.0;
    for (int e = 0; e < m; ++e) regular = regular && work[e * 4 + e] > 1e-12 * largest;
    double inv[16] = {};
    if (regular) {
        double a[16], b[16];
        for (int j = 0; j < m; ++j)
            for (int i = 0; i < m; ++i) a[j * m + i] = kmm[j * 4 + i];
        regular = invert_matrix(a, b, m);
        if (regular)
            for (int j = 0; j < m; ++j)
                for (int i = 0; i < m; ++i) inv[j * 4 + i] = b[j * m + i];
    }
    if (!regular) {
        for (int i = 0; i < 16; ++i) inv[i] = 0.0;
        for (int e = 0; e < m; ++e) {
            const double lambda = work[e * 4 + e];
            if (!(std::fabs(lambda) > 1e-12 * largest)) continue;
            for (int i = 0; i < m; ++i)
                for (int j = 0; j < m; ++j) inv[j * 4 + i] += vec[e * 4 + i] * vec[e * 4 + j] / lambda;
        }
    }

    // R = inv(Kmm) Kmr (m x r), condensed K_rr - K_rm R.
    double rmat[4 * 12] = {};
    for (int i = 1; i <= m; ++i)
        for (int j = 1; j <= r; ++j) {
            double sum = 0.0;
            for (int l = 1; l <= m; ++l) sum += inv[(l - 1) * 4 + (i - 1)] * at(k, ld, r + l, j);
            rmat[(j - 1) * 4 + (i - 1)] = sum;
        }
    double krr[27 * 27];
    for (int j = 1; j <= r; ++j)
        for (int i = 1; i <= r; ++i) {
            double p = 0.0;
            for (int l = 1; l <= m; ++l) p += at(k, ld, i, r + l) * rmat[(j - 1) * 4 + (l - 1)];
            krr[(j - 1) * ld + (i - 1)] = at(k, ld, i, j) - p;
        }
    for (int i = 0; i < ld * ld; ++i) k[i] = 0.0;
    for (int j = 1; j <= r; ++j)
        for (int i = 1; i <= r; ++i) at(k, ld, i, j) = krr[(j - 1) * ld + (i - 1)];
    // The two halves of the condensed matrix agree only up to rounding; keep
    // it exactly symmetric for the frontal solution.
    for (int j = 2; j <= r; ++j)
        for (int i = 1; i < j; ++i) {
            const double mean = 0.5 * (at(k, ld, i, j) + at(k, ld, j, i));
            at(k, ld, i, j) = mean;
            at(k, ld, j, i) = mean;
        }

    for (int i = 0; i < 92; ++i) record[i] = 0.0;
    for (int i = 0; i < 48; ++i) record[i] = rmat[i];
    for (int i = 0; i < 16; ++i) record[48 + i] = inv[i];
}

void quad4_membrane_penalty_of(const PointShape& centre, const SideGeometry& g, double area, double g_mod,
                               double* membrane, double* work) {
    // Rows of work over the 12 membrane columns (u1 v1 .. u4 v4 r1 .. r4):
    // 1 du/dy, 2 dv/dx, 3 mean drilling rotation, all at the centre.
    for (int i = 0; i < 36; ++i) work[i] = 0.0;
    for (int i = 0; i < 4; ++i) {
        at(work, 3, 1, 2 * i + 1) = centre.ny[i];
        at(work, 3, 2, 2 * i + 2) = centre.nx[i];
    }
    for (int corner = 1; corner <= 4; ++corner) {
        const int sa = (corner == 1 ? 4 : corner - 1) - 1, sb = corner - 1;
        const double la = g.len[sa], lb = g.len[sb];
        const int col = 8 + corner;
        // u and v of the drilling field: (S_a L_a N_a - S_b L_b N_b) / 8 and
        // (C_b L_b N_b - C_a L_a N_a) / 8.
        at(work, 3, 1, col) = (g.sin[sa] * la * centre.ny[4 + sa] - g.sin[sb] * lb * centre.ny[4 + sb]) / 8.0;
        at(work, 3, 2, col) = (g.cos[sb] * lb * centre.nx[4 + sb] - g.cos[sa] * la * centre.nx[4 + sa]) / 8.0;
        at(work, 3, 3, col) = 0.25;
    }
    double h[12];
    for (int c = 1; c <= 12; ++c) h[c - 1] = at(work, 3, 3, c) - 0.5 * (at(work, 3, 2, c) - at(work, 3, 1, c));
    const double factor = g_mod * area;
    // Both halves from the same product, so that the matrix stays exactly symmetric.
    for (int j = 1; j <= 12; ++j)
        for (int i = 1; i <= 12; ++i)
            at(membrane, 18, i, j) += i <= j ? factor * h[i - 1] * h[j - 1] : factor * h[j - 1] * h[i - 1];
}

void interpolation_matrices(RunState& st) {
    interpolation_matrices_of(st.nnode, current_point_shape(st), st.element_loop->util.r0, st.element_loop->util.ry,
                              st.element_loop->util.rz);
}

void condense_internal_dofs(RunState& st, double* k) {
    condense_internal_of(k, 3 * st.nnode, st.nnode, st.element_loop->util.condensed_record);
}

void quad4_side_correction(RunState& st, int ielem, int& status, double /*t*/) {
    double* corr = st.element_loop->util.side_correction;
    for (int i = 0; i < 5 * 16; ++i) corr[i] = 0.0;
    double area = 0.0;
    const bool done = for_each_integration_point(st, ielem, 1, status, [&](const IntegrationPoint& p) {
        const double dv = p.dv();
        area += dv;
        quad4_side_columns(current_point_shape(st), st.element_loop->bmatrix.sides, dv, corr);
    });
    if (done && area > 0.0)
        for (int i = 0; i < 5 * 16; ++i) corr[i] /= area;
}

void quad4_membrane_correction(RunState& st, int ielem, int& status, double t, double* membrane, double* work) {
    shape_functions(st, 0.0, 0.0, st.nnode);
    double det = 0.0;
    jacob2(st, ielem, det, 1, status);
    if (status > 0) return;
    double area = 4.0 * det;
    if (t != 0.0) area *= t;
    const double g_mod = st.element_loop->rigidity.membrane[8];  // (1 - nu) E / (2 (1 - nu^2)) = G
    quad4_membrane_penalty_of(current_point_shape(st), st.element_loop->bmatrix.sides, area, g_mod, membrane, work);
}

}  // namespace parvane
