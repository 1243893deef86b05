#include "solver/elements/springs.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "solver/elements/element_utils.h"
#include "solver/elements/interpolation.h"
#include "solver/run/state.h"

namespace parvane {

namespace {

constexpr int kLd = 54;

// Enters factor N_a k(j) at every node a and freedom j of element ielem whose
// value k(j) (six values) is not below spring_value_floor, N_a the shape
// values of the current point.
void enter_shape_weighted(RunState& st, int ielem, double* ke, double* rhs, const double* k, double factor) {
    for (int a = 1; a <= st.nnode; ++a) {
        const int node = st.lnods(a, ielem);
        const double na = st.shape_common.shape_values[static_cast<std::size_t>(a - 1)];
        for (int j = 1; j <= 6; ++j) {
            if (!(std::fabs(k[j - 1]) >= spring_value_floor)) continue;
            enter_spring_term(st, ke, rhs, (a - 1) * 6 + j, (node - 1) * 6 + j, na * factor * k[j - 1]);
        }
    }
}

// Point springs located in element ielem: spread by the shape values at the
// point's local coordinates (s, t).
void spread_point_springs(RunState& st, int ielem, double* ke, double* rhs, const FArray<int>& elements,
                          const FArray<double>& positions, const FArray<double>& values, int count) {
    if (values.dim1() < 6 || values.dim2() < static_cast<std::size_t>(count)) return;
    for (int i = 1; i <= count; ++i) {
        if (elements(i) != ielem) continue;
        shape_functions(st, positions(1, i), positions(2, i), st.nnode);
        enter_shape_weighted(st, ielem, ke, rhs, &values(1, i), 1.0);
    }
}

}  // namespace

void enter_spring_term(const RunState& st, double* ke, double* rhs, int p, int g, double s) {
    ke[(p - 1) * kLd + (p - 1)] += s;
    const double u = st.disp_vectors(g, 1) + st.disp_step(g);
    rhs[p - 1] -= s * u;
}

void nodal_spring_terms(RunState& st, int ielem, double* ke, double* rhs) {
    for_each_unmarked_record(
        st, ielem, st.nodal_stiffness_nodes, st.nnsti, st.nodal_stiffness_index, [&](int a, int n, int i) {
            for (int j = 1; j <= 6; ++j)
                enter_spring_term(st, ke, rhs, (a - 1) * 6 + j, (n - 1) * 6 + j, st.nodal_stiffness_values(j, i));
            return true;
        });
}

void distributed_spring_terms(RunState& st, int ielem, double* ke, double* rhs, int& status) {
    // The element's records, in record order, through an index built once
    // per element loop (a scan of the whole list per element is quadratic
    // in the size of a mat with a record for every element).
    RecordIndex& index = st.distributed_stiffness_index;
    if (!index.valid) build_record_index(index, st.distributed_stiffness_elements, st.ndsti, st.nelem);
    if (ielem < 1 || ielem > st.nelem) return;
    for (int k = index.start[static_cast<std::size_t>(ielem - 1)]; k < index.start[static_cast<std::size_t>(ielem)];
         ++k) {
        const int i = index.list[static_cast<std::size_t>(k)];
        if (st.distributed_stiffness_elements(i) != ielem) continue;
        if (!for_each_integration_point(st, ielem, 1, status, [&](const IntegrationPoint& p) {
                const double dv = p.wi * p.wj * p.det;
                enter_shape_weighted(st, ielem, ke, rhs, &st.distributed_stiffness_values(1, i), dv);
            }))
            return;
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

double area_jacobian(RunState& st, ShapeCommon& sc, int ielem, int nnode) {
    double ys = 0, yt = 0, zs = 0, zt = 0;
    for (int a = 1; a <= nnode; ++a) {
        const int p = st.lnods(a, ielem);
        ys += sc.dN(1, a) * st.coord(2, p);
        yt += sc.dN(2, a) * st.coord(2, p);
        zs += sc.dN(1, a) * st.coord(3, p);
        zt += sc.dN(2, a) * st.coord(3, p);
    }
    return std::fabs(ys * zt - yt * zs);
}

void mindlin_element_spring_terms(RunState& st, int ielem, double* ke, double* rhs) {
    const int n = st.nnode;
    const std::size_t nn = static_cast<std::size_t>(n) * static_cast<std::size_t>(n);
    if (st.soil_blocks.dim1() != nn || st.soil_blocks.dim2() != static_cast<std::size_t>(st.nelem))
        st.soil_blocks.allocate(nn, st.nelem);
    double* block = &st.soil_blocks(1, ielem);
    std::fill(block, block + nn, 0.0);
    double pos[3], wt[3];
    gauss_rule(3, pos, wt);
    ShapeCommon sc;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            shape_functions(sc, pos[i], pos[j], n);
            double k = 0;
            for (int c = 1; c <= 4; ++c)
                k += bilinear_corner(c, pos[i], pos[j]) * st.soil_stiffness(st.lnods(c, ielem));
            if (!(k > 0.0)) continue;
            const double dv = wt[i] * wt[j] * area_jacobian(st, sc, ielem, n) * k;
            for (int a = 1; a <= n; ++a)
                for (int b = 1; b <= n; ++b) block[(a - 1) * n + (b - 1)] += sc.N(a) * sc.N(b) * dv;
        }
    for (int a = 1; a <= n; ++a) {
        const int r = (a - 1) * 6;
        for (int b = 1; b <= n; ++b) {
            const int c = (b - 1) * 6;
            const double v = block[(a - 1) * n + (b - 1)];
            ke[c * kLd + r] += v;
            const int g = (st.lnods(b, ielem) - 1) * 6 + 1;
            rhs[r] -= v * (st.disp_vectors(g, 1) + st.disp_step(g));
        }
    }
}

void remove_mindlin_element_coupling(const RunState& st, int ielem, double* ke) {
    const int n = st.nnode;
    const std::size_t nn = static_cast<std::size_t>(n) * static_cast<std::size_t>(n);
    if (st.soil_blocks.dim1() != nn || st.soil_blocks.dim2() != static_cast<std::size_t>(st.nelem)) return;
    const double* block = &st.soil_blocks(1, ielem);
    for (int a = 1; a <= n; ++a)
        for (int b = 1; b <= n; ++b)
            if (a != b) ke[(b - 1) * 6 * kLd + (a - 1) * 6] -= block[(a - 1) * n + (b - 1)];
}

void build_record_index(RecordIndex& index, const FArray<int>& nodes, int count, int npoin) {
    const std::size_t n = static_cast<std::size_t>(std::max(npoin, 0));
    index.start.assign(n + 1, 0);
    const int records = std::min<int>(count, static_cast<int>(nodes.size()));
    for (int i = 1; i <= records; ++i) {
        const int p = std::abs(nodes(i));
        if (p >= 1 && p <= npoin) ++index.start[static_cast<std::size_t>(p)];
    }
    for (std::size_t p = 1; p <= n; ++p) index.start[p] += index.start[p - 1];
    index.list.assign(static_cast<std::size_t>(index.start[n]), 0);
    std::vector<int> next(index.start.begin(), index.start.end() - 1);
    for (int i = 1; i <= records; ++i) {
        const int p = std::abs(nodes(i));
        if (p >= 1 && p <= npoin) index.list[static_cast<std::size_t>(next[static_cast<std::size_t>(p - 1)]++)] = i;
    }
    index.valid = true;
}

void restore_spring_marks(RunState& st) {
    st.nodal_stiffness_index.valid = false;
    st.nonlinear_index.valid = false;
    st.distributed_stiffness_index.valid = false;
    auto unmark = [](FArray<int>& nodes, int count) {
        for (int i = 1; i <= count && static_cast<std::size_t>(i) <= nodes.size(); ++i) nodes(i) = std::abs(nodes(i));
    };
    unmark(st.nodal_stiffness_nodes, st.nnsti);
    unmark(st.nonlinear_nodes, st.nnlin);
}

}  // namespace parvane
