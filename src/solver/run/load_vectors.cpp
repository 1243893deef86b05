#include "solver/run/load_vectors.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "solver/elements/element_matrices.h"
#include "solver/elements/interpolation.h"

namespace parvane {
namespace {

// The first element (by number, then local node) that holds node p, or 0.
void first_holder(const RunState& st, int p, int& element, int& local) {
    element = 0;
    local = 0;
    if (p < 1 || p > st.node_element_list.npoin() || st.node_element_list.count(p) == 0) return;
    const int e = st.node_element_list.element(p, 1);
    for (int k = 1; k <= st.nnode; ++k)
        if (st.lnods(k, e) == p) {
            element = e;
            local = k;
            return;
        }
}

void add_both(RunState& st, int e, int n, int m, double value) {
    st.element_loads((n - 1) * st.ndofn + m, e) += value;
    st.element_loads_b((n - 1) * st.ndofn + m, e) += value;
}

bool element_ok(const RunState& st, int e) { return e >= 1 && e <= st.nelem; }

}  // namespace

void assemble_nodal_vector(const RunState& st, const double* element_vectors, double* nodal) {
    if (st.nelem < 1 || st.nnode < 1) return;
    const int nevab = st.nnode * st.ndofn;
    for (int e = 1; e <= st.nelem; ++e) {
        const double* ev = element_vectors + static_cast<std::size_t>(e - 1) * nevab;
        for (int n = 1; n <= st.nnode; ++n) {
            const int p = st.lnods(n, e);
            if (p < 1 || p > st.npoin) continue;
            for (int k = 1; k <= st.ndofn; ++k)
                nodal[static_cast<std::size_t>(p - 1) * st.ndofn + k - 1] += ev[(n - 1) * st.ndofn + k - 1];
        }
    }
}

void store_dof_column(const RunState& st, double* target, const double* values) {
    for (int i = 1; i <= st.npoin; ++i) target[static_cast<std::size_t>(i - 1) * st.ndofn] = values[i - 1];
}

int report_unplaced_nodal_loads(RunState& st) {
    int count = 0;
    for (int k = 1; k <= st.nnlod; ++k) {
        int e = 0, n = 0;
        first_holder(st, st.nodal_load_nodes(k), e, n);
        if (e != 0) continue;
        ++count;
        const int p = st.nodal_load_nodes(k);
        const int id = p >= 1 && p <= st.npoin ? st.node_ids(p) : p;
        fio::Writer(st.units, kUnitMessages)
            .list({"nodal load on node ", std::to_string(id), " skipped: no element holds the node"});
    }
    return count;
}

int report_unplaced_point_actions(RunState& st) {
    struct Block {
        const char* what;
        int count;
        const FArray<double>& positions;
        const FArray<int>& elements;
    };
    const Block blocks[] = {
        {"concentrated load", st.nclod, st.point_load_positions, st.point_load_elements},
        {"concentrated stiffness", st.ncsti, st.point_stiffness_positions, st.point_stiffness_elements},
        {"concentrated total stiffness", st.nctsti, st.total_stiffness_positions, st.total_stiffness_elements},
    };
    int count = 0;
    for (const Block& b : blocks)
        for (int i = 1; i <= b.count && static_cast<std::size_t>(i) <= b.elements.size(); ++i) {
            if (b.elements(i) != 0) continue;
            ++count;
            char at[96];
            std::snprintf(at, sizeof at, "%g, %g, %g", b.positions(1, i), b.positions(2, i), b.positions(3, i));
            fio::Writer(st.units, kUnitMessages)
                .list({std::string(b.what) + " at (" + at + ") skipped: the point lies in no element"});
        }
    return count;
}

void add_current_loads(RunState& st, double f, int& status) {
    ShapeCommon& sc = st.shape_common;
    const int nnode = st.nnode;

    // Nodal loads.
    for (int k = 1; k <= st.nnlod; ++k) {
        int e = 0, n = 0;
        first_holder(st, st.nodal_load_nodes(k), e, n);
        if (e == 0) continue;
        for (int m = 1; m <= st.ndofn; ++m) {
            const double v = f * st.nodal_load_values(m, k);
            if (std::fabs(v) >= kLoadSkip) add_both(st, e, n, m, v);
        }
    }

    // Distributed loads.
    for (int k = 1; k <= st.ndlod; ++k) {
        const int e = st.distributed_load_elements(k);
        if (!element_ok(st, e)) continue;
        load_element_coordinates(st, e);
        int point = 0;
        for (int i = 0; i < st.ngaus; ++i)
            for (int j = 0; j < st.ngaus; ++j) {
                ++point;
                shape_functions(st, st.gauss_common.gauss_positions[i], st.gauss_common.gauss_positions[j], nnode);
                double det = 0.0;
                jacob2(st, e, det, point, status);
                if (status > 0) return;
                const double dv = det * st.gauss_common.gauss_weights[i] * st.gauss_common.gauss_weights[j];
                for (int n = 1; n <= nnode; ++n)
                    for (int m = 1; m <= st.ndofn; ++m) {
                        const double v = f * st.distributed_load_values(m, k);
                        if (std::fabs(v) >= kLoadSkip) add_both(st, e, n, m, sc.N(n) * dv * v);
                    }
            }
    }

    // Concentrated loads, at the local coordinates found when they were read.
    for (int k = 1; k <= st.nclod; ++k) {
        const int e = st.point_load_elements(k);
        if (!element_ok(st, e)) continue;
        shape_functions(st, st.point_load_positions(1, k), st.point_load_positions(2, k), nnode);
        for (int n = 1; n <= nnode; ++n)
            for (int m = 1; m <= st.ndofn; ++m) {
                const double v = f * st.point_load_values(m, k);
                if (std::fabs(v) >= kLoadSkip) add_both(st, e, n, m, sc.N(n) * v);
            }
    }

    // Edge loads, in full, with a rule of 2 (4-node) or 3 points along the side.
    if (st.nedlod > 0) {
        const int saved = st.ngaus;
        st.ngaus = nnode == 4 ? 2 : 3;
        gauss_points(st);
        const int nside = nnode == 4 ? 2 : 3;
        for (int k = 1; k <= st.nedlod; ++k) {
            const int e = st.edge_load_edges(1, k), side = st.edge_load_edges(2, k), m = st.edge_load_edges(3, k);
            if (!element_ok(st, e) || side < 1 || side > 4 || m < 1 || m > st.ndofn) continue;
            const int local[3] = {side, side % 4 + 1, side + 4};
            for (int g = 0; g < st.ngaus; ++g) {
                edge_shape_functions(st, st.gauss_common.gauss_positions[g], nside);
                double q = 0.0, dy = 0.0, dz = 0.0;
                for (int a = 0; a < nside; ++a) {
                    const int p = st.lnods(local[a], e);
                    q += sc.N(a + 1) * st.edge_load_values(a + 1, k);
                    dy += sc.dN(1, a + 1) * st.coord(2, p);
                    dz += sc.dN(1, a + 1) * -st.coord(3, p);
                }
                const double dl = q * st.gauss_common.gauss_weights[g] * std::sqrt(dy * dy + dz * dz);
                for (int a = 0; a < nside; ++a) add_both(st, e, local[a], m, sc.N(a + 1) * dl);
            }
        }
        st.ngaus = saved;
        gauss_points(st);
    }
}

void write_step_listing(RunState& st) {
    fio::Units& u = st.units;
    fio::Writer(u, kUnitListing).lit("   Step =").i(st.istep, 5).lit("   Time =").f(st.tcur, 10, 4);
    fio::Writer(u, kUnitListing).end().lit(" ").x(5).lit("Displacements");
    fio::Writer(u, kUnitListing)
        .end()
        .lit(" ")
        .x(5)
        .lit("Node")
        .x(5)
        .lit("Disp X")
        .x(8)
        .lit("Disp Y")
        .x(7)
        .lit("Disp Z")
        .x(8)
        .lit("Rot. X")
        .x(8)
        .lit("Rot. Y")
        .x(8)
        .lit("Rot. Z");
    for (int i = 1; i <= st.npoin; ++i)
        fio::Writer(u, kUnitListing)
            .i(st.node_ids(i), 10)
            .e(std::span<const double>(st.disp_vectors.data() + static_cast<std::size_t>(i - 1) * 6, 6), 14, 6);

    std::vector<int> marks(static_cast<std::size_t>(st.ntotv > 0 ? st.ntotv : 0), 0);
    for (int r = 1; r <= st.nvfix; ++r) {
        const int p = st.fixnod(r);
        if (p < 1 || p > st.npoin) continue;
        for (int c = 1; c <= 6; ++c) marks[static_cast<std::size_t>(p - 1) * 6 + c - 1] = st.fixcod(c, r);
    }
    bool any = false;
    for (int m : marks) any = any || m > 0;
    if (!any) {
        fio::Writer(u, kUnitListing).end().lit(" ").lit("No output of reactions at fixed boundary");
        return;
    }
    fio::Writer(u, kUnitListing).end().lit(" ").x(5).lit("Reactions at fixed boundary");
    fio::Writer(u, kUnitListing)
        .end()
        .lit(" ")
        .x(5)
        .lit("Node")
        .x(4)
        .lit("Force X")
        .x(7)
        .lit("Force Y")
        .x(7)
        .lit("Force Z")
        .x(7)
        .lit("Moment X")
        .x(6)
        .lit("Moment Y")
        .x(6)
        .lit("Moment Z");
    for (int i = 1; i <= st.npoin; ++i) {
        bool marked = false;
        for (int c = 0; c < 6; ++c) marked = marked || marks[static_cast<std::size_t>(i - 1) * 6 + c] > 0;
        if (!marked) continue;
        fio::Writer(u, kUnitListing)
            .i(st.node_ids(i), 10)
            .e(std::span<const double>(st.nodal_v.data() + static_cast<std::size_t>(i - 1) * 6, 6), 14, 6);
    }
}

}  // namespace parvane
