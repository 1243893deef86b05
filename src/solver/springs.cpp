#include "solver/springs.h"

#include <cmath>
#include <cstdlib>

#include "solver/interpolation.h"
#include "solver/state.h"

namespace parvane {

namespace {

constexpr int kLd = 54;

// Shape values at the local point (s, t) of the current element.
void spread_point_springs(RunState& st, int ielem, double* ke, double* rhs, const FArray<int>& elements,
                          const FArray<double>& positions, const FArray<double>& values, int count) {
    if (values.dim1() < 6 || values.dim2() < static_cast<std::size_t>(count)) return;
    for (int i = 1; i <= count; ++i) {
        if (elements(i) != ielem) continue;
        shape_functions(st, positions(1, i), positions(2, i), st.nnode);
        for (int a = 1; a <= st.nnode; ++a) {
            const int node = st.lnods(a, ielem);
            const double na = st.shape_common.shape_values[static_cast<std::size_t>(a - 1)];
            for (int j = 1; j <= 6; ++j) {
                const double k = values(j, i);
                if (!(std::fabs(k) >= spring_value_floor)) continue;
                enter_spring_term(st, ke, rhs, (a - 1) * 6 + j, (node - 1) * 6 + j, na * k);
            }
        }
    }
}

}  // namespace

void enter_spring_term(const RunState& st, double* ke, double* rhs, int p, int g, double s) {
    ke[(p - 1) * kLd + (p - 1)] += s;
    const double u = st.disp_vectors(g, 1) + st.disp_step(g);
    rhs[p - 1] -= s * u;
}

void nodal_spring_terms(RunState& st, int ielem, double* ke, double* rhs) {
    for (int a = 1; a <= st.nnode; ++a) {
        const int n = st.lnods(a, ielem);
        for (int i = 1; i <= st.nnsti; ++i) {
            int& node = st.nodal_stiffness_nodes(i);
            if (node < 0 || node != n) continue;
            for (int j = 1; j <= 6; ++j)
                enter_spring_term(st, ke, rhs, (a - 1) * 6 + j, (n - 1) * 6 + j, st.nodal_stiffness_values(j, i));
            node = -node;
        }
    }
}

void distributed_spring_terms(RunState& st, int ielem, double* ke, double* rhs, int& status) {
    for (int i = 1; i <= st.ndsti; ++i) {
        if (st.distributed_stiffness_elements(i) != ielem) continue;
        int kgasp = 0;
        for (int ig = 1; ig <= st.ngaus; ++ig) {
            for (int jg = 1; jg <= st.ngaus; ++jg) {
                ++kgasp;
                const GaussCommon& g = st.gauss_common;
                const double xi = g.gauss_positions[static_cast<std::size_t>(ig - 1)];
                const double eta = g.gauss_positions[static_cast<std::size_t>(jg - 1)];
                const double weight = g.gauss_weights[static_cast<std::size_t>(ig - 1)] *
                                      g.gauss_weights[static_cast<std::size_t>(jg - 1)];
                shape_functions(st, xi, eta, st.nnode);
                double det = 0.0;
                jacob2(st, ielem, det, kgasp, status);
                if (status > 0) return;
                const double dv = weight * det;
                for (int a = 1; a <= st.nnode; ++a) {
                    const int node = st.lnods(a, ielem);
                    const double na = st.shape_common.shape_values[static_cast<std::size_t>(a - 1)];
                    for (int j = 1; j <= 6; ++j) {
                        const double k = st.distributed_stiffness_values(j, i);
                        if (!(std::fabs(k) >= spring_value_floor)) continue;
                        enter_spring_term(st, ke, rhs, (a - 1) * 6 + j, (node - 1) * 6 + j, na * dv * k);
                    }
                }
            }
        }
    }
}

void concentrated_spring_terms(RunState& st, int ielem, double* ke, double* rhs) {
    spread_point_springs(st, ielem, ke, rhs, st.point_stiffness_elements, st.point_stiffness_positions,
                         st.point_stiffness_values, st.ncsti);
}

void total_concentrated_spring_terms(RunState& st, int ielem, double* ke, double* rhs) {
    spread_point_springs(st, ielem, ke, rhs, st.total_stiffness_elements, st.total_stiffness_positions,
                         st.total_stiffness_values, st.nctsti);
}

void edge_spring_terms(RunState& st, int ielem, double* ke, double* rhs) {
    const int kept = st.ngaus;
    const bool quadratic = st.nnode > 4;
    st.ngaus = quadratic ? 3 : 2;
    gauss_points(st);
    for (int r = 1; r <= st.nedsti; ++r) {
        if (st.edge_stiffness_edges(1, r) != ielem) continue;
        const int side = st.edge_stiffness_edges(2, r);
        const int dof = st.edge_stiffness_edges(3, r);
        // A freedom of 0 means no spring; sides and freedoms outside their
        // ranges name nothing in the element.
        if (dof < 1 || dof > 6 || side < 1 || side > 4) continue;
        const int local[3] = {side, side % 4 + 1, side + 4};
        const int nside = quadratic ? 3 : 2;
        const double k1 = st.edge_stiffness_values(1, r), k2 = st.edge_stiffness_values(2, r),
                     k3 = st.edge_stiffness_values(3, r);
        for (int g = 1; g <= st.ngaus; ++g) {
            const double pos = st.gauss_common.gauss_positions[static_cast<std::size_t>(g - 1)];
            const double weight = st.gauss_common.gauss_weights[static_cast<std::size_t>(g - 1)];
            edge_shape_functions(st, pos, nside);
            ShapeCommon& sc = st.shape_common;
            double n[3], dn[3];
            for (int q = 0; q < nside; ++q) {
                n[q] = sc.N(q + 1);
                dn[q] = sc.dN(1, q + 1);
            }
            double kg = k1 * n[0] + k2 * n[1];
            if (quadratic) kg += k3 * n[2];
            double dy = 0.0, dz = 0.0;
            for (int q = 0; q < nside; ++q) {
                dy += dn[q] * sc.ecoord(2, local[q]);
                dz += dn[q] * sc.ecoord(3, local[q]);
            }
            const double w = kg * weight * std::sqrt(dy * dy + dz * dz);
            for (int q = 0; q < nside; ++q) {
                const int node = st.lnods(local[q], ielem);
                enter_spring_term(st, ke, rhs, (local[q] - 1) * 6 + dof, (node - 1) * 6 + dof, w * n[q]);
            }
        }
    }
    st.ngaus = kept;
    gauss_points(st);
}

void restore_spring_marks(RunState& st) {
    for (int i = 1; i <= st.nnsti && static_cast<std::size_t>(i) <= st.nodal_stiffness_nodes.size(); ++i)
        st.nodal_stiffness_nodes(i) = std::abs(st.nodal_stiffness_nodes(i));
    for (int i = 1; i <= st.nnlin && static_cast<std::size_t>(i) <= st.nonlinear_nodes.size(); ++i)
        st.nonlinear_nodes(i) = std::abs(st.nonlinear_nodes(i));
}

}  // namespace parvane
