#include "solver/elements/element_matrices.h"

#include <cerrno>

#include <cmath>
#include <cstring>

#include "solver/run/dense.h"
#include "solver/elements/element_loop.h"
#include "solver/elements/element_utils.h"
#include "solver/elements/interpolation.h"
#include "solver/elements/nonlinear_springs.h"
#include "solver/elements/plate_bmatrix.h"
#include "solver/run/run_files.h"
#include "solver/elements/rigidity.h"
#include "solver/elements/springs.h"
#include "solver/run/state.h"
#include "solver/soils/vlasov.h"

namespace parvane {

namespace {

constexpr int kLd = kElementLd;

template <std::size_t N>
void clear(double (&a)[N]) {
    std::memset(a, 0, sizeof a);
}

// a(lda) += b^T s * w over the upper triangle of the ncol x ncol block, b and
// s being rows x ncol.
void add_upper(double* a, int lda, const double* b, const double* s, int rows, int ncol, double w) {
    for (int j = 0; j < ncol; ++j) {
        for (int i = 0; i <= j; ++i) {
            double sum = 0.0;
            for (int r = 0; r < rows; ++r) sum += b[i * rows + r] * s[j * rows + r];
            a[j * lda + i] += sum * w;
        }
    }
}

// A strain matrix routine with its stress partner, their buffers (rows x ncol
// used) at the current point.
struct PointPair {
    void (*strain)(RunState&);
    void (*stress)(RunState&);
    const double* b;
    const double* s;
    int rows, ncol;

    // After strain: forms S = D B, adds B^T S w to the upper triangle of a
    // (leading size lda: 27 for 5 rows, 18 for 3) and copies S into point k's
    // block of its record item (rows x lda per point).
    void accumulate(RunState& st, double* a, double w, double* item, int k) const {
        const int lda = rows == 5 ? 27 : 18;
        stress(st);
        add_upper(a, lda, b, s, rows, ncol, w);
        std::memcpy(item + (k - 1) * rows * lda, s, sizeof(double) * static_cast<std::size_t>(rows * ncol));
    }
};

void write_termination_lines(RunState& st) {
    fio::Writer(st.units, kUnitMessages).list({"      "});
    fio::Writer(st.units, kUnitMessages)
        .list({"********** Error found during calculation. Analysis is terminated. **********"});
    fio::Writer(st.units, kUnitMessages).list({"             "});
}

}  // namespace

void local_to_global_block(double t[36]) {
    for (int i = 0; i < 36; ++i) t[i] = 0.0;
    auto at = [&](int r, int c) -> double& { return t[(c - 1) * 6 + (r - 1)]; };
    at(2, 1) = 1.0;
    at(3, 2) = -1.0;
    at(1, 3) = -1.0;
    at(5, 4) = 1.0;
    at(6, 5) = -1.0;
    at(4, 6) = -1.0;
}

void to_global_frame(double* k, double* work, int nevab) {
    // T has one entry of +-1 per row: global freedom r of a node is local
    // freedom kFrom[r] times kSign[r] (the block of local_to_global_block).
    static constexpr int kFrom[6] = {2, 0, 1, 5, 3, 4};
    static constexpr double kSign[6] = {-1.0, 1.0, -1.0, -1.0, 1.0, -1.0};
    int from[54];
    double sign[54];
    for (int i = 0; i < nevab; ++i) {
        from[i] = i - i % 6 + kFrom[i % 6];
        sign[i] = kSign[i % 6];
    }
    for (int j = 0; j < nevab; ++j)
        for (int i = 0; i < nevab; ++i) work[i + j * kLd] = k[i + j * kLd];
    for (int j = 0; j < nevab; ++j) {
        const double* column = work + from[j] * kLd;
        for (int i = 0; i < nevab; ++i) k[i + j * kLd] = sign[i] * sign[j] * column[from[i]];
    }
}

void load_element_coordinates(RunState& st, int e) {
    ShapeCommon& sc = st.shape_common;
    // Coordinates into the element frame: the transpose of the nodal block.
    double block[36], to_local[36];
    local_to_global_block(block);
    for (int c = 0; c < 6; ++c)
        for (int r = 0; r < 6; ++r) to_local[c * 6 + r] = block[r * 6 + c];
    const int nnode = st.nnode < 9 ? st.nnode : 9;
    for (int a = 1; a <= nnode; ++a) {
        const int n = st.lnods(a, e);
        double g[6] = {st.coord(1, n), st.coord(2, n), st.coord(3, n), 0.0, 0.0, 0.0};
        double l[6];
        matrix_kernel(l, to_local, g, 1);
        for (int c = 1; c <= 3; ++c) {
            sc.ecoord(c, a) = g[c - 1];
            sc.pcoord(c, a) = l[c - 1];
        }
    }
    // Virtual mid-side points of a 4-node element.
    if (st.nnode == 4) {
        for (int k = 1; k <= 4; ++k) {
            const int j = k % 4 + 1;
            for (int c = 1; c <= 3; ++c) {
                sc.ecoord(c, k + 4) = 0.5 * (sc.ecoord(c, k) + sc.ecoord(c, j));
                sc.pcoord(c, k + 4) = 0.5 * (sc.pcoord(c, k) + sc.pcoord(c, j));
            }
        }
    }
}

namespace {

// 14. The springs of element e into K1 and set A.  The spring routines
// evaluate shape functions and Jacobians of their own: the integration-point
// coordinates of the record are kept.  False when a spring ends the pass.
bool add_spring_terms(RunState& st, int e, double edge_constant, LoopBuffers& b, int& status) {
    GaussCommon& gc = st.gauss_common;
    std::memcpy(b.saved_points, gc.gauss_point_coords.data(), sizeof b.saved_points);
    double* rhs = &st.element_loads(1, e);
    if (st.nnsti > 0) nodal_spring_terms(st, e, b.k1, rhs);
    if (st.nnlin > 0) {
        int flag = 0;
        nonlinear_spring_force(st, e, b.k1, rhs, flag);
        if (flag != 0) {
            status = kStatusSpringCurve;
            write_termination_lines(st);
            return false;
        }
    }
    if (st.ndsti > 0) {
        distributed_spring_terms(st, e, b.k1, rhs, status);
        if (status > 0) return false;
    }
    if (st.ncsti > 0) concentrated_spring_terms(st, e, b.k1, rhs);
    if (st.isoil == 2 && st.nvedge > 0) vlasov_edge_terms(st, e, edge_constant, b.k1, rhs);
    if (st.nedsti > 0) edge_spring_terms(st, e, b.k1, rhs);
    if (st.ictsti > 0 && st.nctsti > 0) total_concentrated_spring_terms(st, e, b.k1, rhs);
    if (st.isoil == 1 && st.nnode > 4) mindlin_element_spring_terms(st, e, b.k1, rhs);
    std::memcpy(gc.gauss_point_coords.data(), b.saved_points, sizeof b.saved_points);
    return true;
}

// 16. The record of element e for the stress recovery on unit 3.  Without it
// the element's stresses could not be recovered: a failed write ends the
// pass with the run-file status.
bool write_element_record(RunState& st, int e, const LoopBuffers& b, int& status) {
    const RecordItems n = record_items(st.ngaus, st.ngaus2);
    const std::span<const std::byte> items[5] = {
        fio::bytes_of(static_cast<const double*>(b.item_bending), n.bending),
        fio::bytes_of(static_cast<const double*>(b.item_shear), n.shear),
        fio::bytes_of(static_cast<const double*>(b.item_membrane), n.membrane),
        fio::bytes_of(static_cast<const double*>(st.gauss_common.gauss_point_coords.data()), n.points),
        fio::bytes_of(static_cast<const double*>(st.element_loop->util.condensed_record), kRecordQuad4),
    };
    const std::size_t count = st.nnode == 4 ? 5 : 4;
    if (st.units.write_record(kUnitFort3, std::span<const std::span<const std::byte>>(items, count)) == 0) return true;
    const int error = errno;
    fio::Writer(st.units, kUnitListing).lit(" error writing the element record of element").i(e, 6);
    report_file_failure(st, "writing", st.units.path(kUnitFort3), error);
    status = kStatusRunFiles;
    return false;
}

}  // namespace

namespace {

// What a pass knows of the element kind: its sizes, the strain and stress
// matrix pairs of its rules and the constant of the soil's edge springs.
struct ElementKind {
    int nnode, nevab;
    bool quad4, vlasov;
    int pcol;  // plate columns (with the 4-node side parameters)
    int mcol;  // membrane columns (with drilling)
    int vcol;  // soil columns (deflection and its derivatives per node)
    PointPair bending, membrane, shear;
    double edge_constant;  // c = sqrt(k 2t) of the Vlasov edge springs
};

// The element being formed, filled step by step.
struct ElementState {
    int e = 0;
    int m = 0;  // material
    double thick = 0.0;
    double centre[3] = {0.0, 0.0, 0.0};  // in the element frame
    double area = 0.0;
    double polar = 0.0;  // polar moment of the area about the centre
    double kd = 0.0;     // drilling constant
};

ElementKind element_kind(RunState& st) {
    const int nnode = st.nnode;
    const bool quad4 = nnode == 4;
    const int pcol = quad4 ? 16 : 3 * nnode;
    const int mcol = quad4 ? 12 : 2 * nnode;
    auto& bm = st.element_loop->bmatrix;
    ElementKind kind{
        nnode,
        6 * nnode,
        quad4,
        st.isoil == 2,
        pcol,
        mcol,
        3 * nnode,
        quad4 ? PointPair{quad4_bending_strain_matrix, quad4_bending_stress_matrix, bm.q4_bending_b, bm.q4_bending_s, 5,
                          pcol}
              : PointPair{plate_strain_matrix, bending_stress_matrix, bm.plate_b, bm.bending_s, 5, pcol},
        quad4 ? PointPair{quad4_membrane_strain_matrix, quad4_membrane_stress_matrix, bm.q4_membrane_b,
                          bm.q4_membrane_s, 3, mcol}
              : PointPair{membrane_strain_matrix, membrane_stress_matrix, bm.membrane_b, bm.membrane_s, 3, mcol},
        quad4 ? PointPair{quad4_shear_strain_matrix, quad4_shear_stress_matrix, bm.q4_shear_b, bm.q4_shear_s, 5, pcol}
              : PointPair{plate_shear_strain_matrix, shear_stress_matrix, bm.shear_b, bm.shear_s, 5, pcol},
        0.0,
    };
    if (kind.vlasov) {
        vlasov_parameters(st);
        kind.edge_constant = std::sqrt(std::fabs(st.vlasov_k * st.vlasov_2t));
    }
    return kind;
}

// 1-3. Node coordinates of element e, global and in the element frame (with
// the virtual mid-side points of a 4-node element), and its centre.
void place_element(RunState& st, const ElementKind& kind, ElementState& el) {
    ShapeCommon& sc = st.shape_common;
    shape_functions(st, 0.0, 0.0, kind.nnode);
    double centre_n[9];
    for (int a = 0; a < 9; ++a) centre_n[a] = sc.shape_values[static_cast<std::size_t>(a)];
    el.m = st.element_material(el.e);
    load_element_coordinates(st, el.e);
    for (int a = 1; a <= kind.nnode; ++a)
        for (int c = 0; c < 3; ++c) el.centre[c] += centre_n[a - 1] * sc.pcoord(c + 1, a);
}

// 4. Empty element buffers; the rigidities of the element's material.
void start_element(RunState& st, LoopBuffers& b, ElementState& el) {
    clear(b.bending);
    clear(b.shear);
    clear(b.membrane);
    clear(b.vlasov1);
    clear(b.vlasov2);
    clear(b.item_bending);
    clear(b.item_shear);
    clear(b.item_membrane);
    el.thick = st.props(3, el.m);
    plate_rigidity(st, el.m);
    shear_rigidity(st, el.m);
    membrane_rigidity(st, el.m);
}

// 5-7. First rule: bending (with the side correction of the 4-node bending
// field) and membrane, the area and the polar moment; the drilling
// stabilisation of the 4-node membrane.  False when a step ends the pass.
bool integrate_first_rule(RunState& st, const ElementKind& kind, LoopBuffers& b, ElementState& el, int& status) {
    ShapeCommon& sc = st.shape_common;
    auto& bm = st.element_loop->bmatrix;
    if (kind.quad4) {
        load_quad4_sides(st);
        quad4_side_correction(st, el.e, status, el.thick);
        if (status > 0) return false;
    }
    if (!for_each_integration_point(st, el.e, 1, status, [&](const IntegrationPoint& p) {
            const double dv = p.dv();
            el.area += dv;
            kind.bending.strain(st);
            if (kind.quad4)
                for (int i = 0; i < 5 * 16; ++i) bm.q4_bending_b[i] -= st.element_loop->util.side_correction[i];
            kind.bending.accumulate(st, b.bending, dv, b.item_bending, p.k);
            kind.membrane.strain(st);
            kind.membrane.accumulate(st, b.membrane, el.thick != 0.0 ? dv * el.thick : dv, b.item_membrane, p.k);

            double r[3] = {-el.centre[0], -el.centre[1], -el.centre[2]};
            for (int a = 1; a <= kind.nnode; ++a)
                for (int c = 0; c < 3; ++c)
                    r[c] += sc.shape_values[static_cast<std::size_t>(a - 1)] * sc.pcoord(c + 1, a);
            el.polar += (r[0] * r[0] + r[1] * r[1] + r[2] * r[2]) * dv;
            if (st.ngaus == 1) el.polar += dv * dv / 6.0;
        }))
        return false;
    st.element_areas(el.e) = el.area;
    if (kind.quad4) {
        quad4_membrane_correction(st, el.e, status, el.thick, b.membrane, b.membrane_work);
        if (status > 0) return false;
    }
    return true;
}

// 8. Second rule: transverse shear and the soil's area terms.
bool integrate_second_rule(RunState& st, const ElementKind& kind, LoopBuffers& b, ElementState& el, int& status) {
    return for_each_integration_point(st, el.e, 2, status, [&](const IntegrationPoint& p) {
        const double dv = p.dv();
        kind.shear.strain(st);
        kind.shear.accumulate(st, b.shear, dv, b.item_shear, p.k);
        if (kind.vlasov) {
            interpolation_matrices(st);
            const ElementUtilBlock& u = st.element_loop->util;
            add_upper(b.vlasov1, 27, u.r0, u.r0, 3, kind.vcol, st.vlasov_k * dv);
            add_upper(b.vlasov2, 27, u.ry, u.ry, 3, kind.vcol, st.vlasov_2t * dv);
            add_upper(b.vlasov2, 27, u.rz, u.rz, 3, kind.vcol, st.vlasov_2t * dv);
        }
    });
}

// 9-10. The drilling constant; the symmetric matrices completed and the
// 4-node side parameters condensed.
void complete_matrices(RunState& st, const ElementKind& kind, LoopBuffers& b, ElementState& el) {
    const double young = st.props(1, el.m), nu = st.props(2, el.m);
    const double g_mod = young * 0.5 / (1.0 + nu);
    el.kd = el.thick != 0.0 ? el.polar * g_mod / el.thick : 0.0;

    int n27 = 27, n18 = 18, np = kind.pcol, nm = kind.mcol, nv = kind.vcol;
    symmetrize(b.bending, n27, np);
    symmetrize(b.shear, n27, np);
    symmetrize(b.membrane, n18, nm);
    if (kind.quad4) {
        for (int i = 0; i < 27 * 27; ++i) {
            b.bending[i] += b.shear[i];
            b.shear[i] = 0.0;
        }
        condense_internal_dofs(st, b.bending);
    }
    if (kind.vlasov) {
        symmetrize(b.vlasov1, n27, nv);
        symmetrize(b.vlasov2, n27, nv);
    }
}

// 11-12. K1 (plate and soil) and K2 (plate alone) in the element frame, then
// turned to the global frame: K = T K Tt, T a signed permutation.
void assemble_element(const ElementKind& kind, LoopBuffers& b, const ElementState& el) {
    const int nnode = kind.nnode;
    clear(b.k1);
    clear(b.k2);
    auto add_both = [&](int r, int c, double v) {
        b.k1[(c - 1) * kLd + (r - 1)] += v;
        b.k2[(c - 1) * kLd + (r - 1)] += v;
    };
    for (int a = 1; a <= nnode; ++a) {
        for (int c = 1; c <= nnode; ++c) {
            for (int i = 1; i <= 3; ++i)
                for (int j = 1; j <= 3; ++j) {
                    const int pr = 3 * (a - 1) + i, pc = 3 * (c - 1) + j;
                    const double v = b.bending[(pc - 1) * 27 + pr - 1] + b.shear[(pc - 1) * 27 + pr - 1];
                    add_both(6 * (a - 1) + 2 + i, 6 * (c - 1) + 2 + j, v);
                    // The soil layer acts on the deflection alone: its energy
                    // k w^2 + 2t |grad w|^2 has no rotation terms.
                    if (kind.vlasov && i == 1 && j == 1)
                        b.k1[(6 * (c - 1) + 2 + j - 1) * kLd + 6 * (a - 1) + 2 + i - 1] +=
                            b.vlasov1[(pc - 1) * 27 + pr - 1] + b.vlasov2[(pc - 1) * 27 + pr - 1];
                }
            if (kind.quad4) {
                // Membrane columns u, v of the four nodes, then their drilling rotations.
                const int mr[3] = {2 * (a - 1) + 1, 2 * (a - 1) + 2, 8 + a};
                const int mc[3] = {2 * (c - 1) + 1, 2 * (c - 1) + 2, 8 + c};
                const int lr[3] = {1, 2, 6};
                for (int i = 0; i < 3; ++i)
                    for (int j = 0; j < 3; ++j)
                        add_both(6 * (a - 1) + lr[i], 6 * (c - 1) + lr[j], b.membrane[(mc[j] - 1) * 18 + mr[i] - 1]);
            } else {
                for (int i = 1; i <= 2; ++i)
                    for (int j = 1; j <= 2; ++j)
                        add_both(6 * (a - 1) + i, 6 * (c - 1) + j,
                                 b.membrane[(2 * (c - 1) + j - 1) * 18 + 2 * (a - 1) + i - 1]);
            }
        }
        // Drilling freedom of the 8- and 9-node elements: an equal share of kd
        // on every node (shape-function values of a point can be negative or
        // zero at some nodes and would leave the freedom without stiffness).
        if (!kind.quad4) add_both(6 * a, 6 * a, el.kd / nnode);
    }
    to_global_frame(b.k1, b.work, kind.nevab);
    to_global_frame(b.k2, b.work, kind.nevab);
}

// 13. The element vectors reduced by the matrices times the total displacement.
void reduce_element_vectors(RunState& st, const ElementKind& kind, const LoopBuffers& b, int e) {
    double u[54];
    for (int a = 1; a <= kind.nnode; ++a) {
        const int n = st.lnods(a, e);
        for (int j = 1; j <= 6; ++j) {
            const int g = (n - 1) * 6 + j;
            u[6 * (a - 1) + j - 1] = st.disp_vectors(g, 1) + st.disp_step(g);
        }
    }
    for (int r = 1; r <= kind.nevab; ++r) {
        double s1 = 0.0, s2 = 0.0;
        for (int c = 1; c <= kind.nevab; ++c) {
            s1 += b.k1[(c - 1) * kLd + r - 1] * u[c - 1];
            s2 += b.k2[(c - 1) * kLd + r - 1] * u[c - 1];
        }
        st.element_loads(r, e) -= s1;
        st.element_loads_b(r, e) -= s2;
    }
}

// 15. The element matrix for the frontal solution: its upper triangle.
void keep_element_matrix(RunState& st, const ElementKind& kind, const LoopBuffers& b, int e) {
    double* k = st.estiff.element(e);
    for (int c = 1; c <= kind.nevab; ++c) {
        const double* column = b.k1 + (c - 1) * kLd;
        for (int r = 1; r <= c; ++r) *k++ = column[r - 1];
    }
}

// The diagonal of K1 before the springs, kept for the later loops of the run.
void keep_plate_diagonal(RunState& st, const ElementKind& kind, const LoopBuffers& b, int e) {
    for (int r = 1; r <= kind.nevab; ++r) st.plate_diagonal(r, e) = b.k1[(r - 1) * kLd + r - 1];
}

// An element formed by an earlier loop of the run: K1 before the springs
// (equal to K2 without the Vlasov soil) from the kept upper triangle and
// plate diagonal, the element vectors reduced by it, the springs entered
// anew and the new diagonal kept.  The same values as forming the element
// again: the plate matrices are exactly symmetric and the springs touch the
// diagonal alone, but for the half-space soil terms of 8- and 9-node elements,
// which are taken off as they were entered.  Its record on unit 3 stands as
// written.
bool reuse_element(RunState& st, const ElementKind& kind, LoopBuffers& b, int e, int& status) {
    ElementState el;
    el.e = e;
    place_element(st, kind, el);
    const int n = kind.nevab;
    const double* kept = st.estiff.element(e);
    for (int c = 1; c <= n; ++c) {
        for (int r = 1; r < c; ++r) {
            const double v = *kept++;
            b.k1[(c - 1) * kLd + r - 1] = v;
            b.k1[(r - 1) * kLd + c - 1] = v;
        }
        ++kept;
        b.k1[(c - 1) * kLd + c - 1] = st.plate_diagonal(c, e);
    }
    if (st.isoil == 1 && st.nnode > 4) remove_mindlin_element_coupling(st, e, b.k1);
    double u[54];
    for (int a = 1; a <= kind.nnode; ++a) {
        const int node = st.lnods(a, e);
        for (int j = 1; j <= 6; ++j) {
            const int g = (node - 1) * 6 + j;
            u[6 * (a - 1) + j - 1] = st.disp_vectors(g, 1) + st.disp_step(g);
        }
    }
    for (int r = 1; r <= n; ++r) {
        double s = 0.0;
        for (int c = 1; c <= n; ++c) s += b.k1[(c - 1) * kLd + r - 1] * u[c - 1];
        st.element_loads(r, e) -= s;
        st.element_loads_b(r, e) -= s;
    }
    if (!add_spring_terms(st, e, kind.edge_constant, b, status)) return false;
    double* k = st.estiff.element(e);
    for (int c = 1; c <= n; ++c) k[ElementMatrices::packed_index(c, c)] = b.k1[(c - 1) * kLd + c - 1];
    if (st.isoil == 1 && st.nnode > 4)
        for (int c = 1; c <= n; c += 6)
            for (int r = 1; r < c; r += 6) k[ElementMatrices::packed_index(r, c)] = b.k1[(c - 1) * kLd + r - 1];
    return true;
}

}  // namespace

void form_element_matrices(RunState& st, int& status) {
    LoopBuffers& b = st.element_loop->buffers;
    const ElementKind kind = element_kind(st);

    // The spring routines mark the records they have entered; the marks are
    // cleared however the pass ends.
    struct Unmark {
        RunState& st;
        ~Unmark() { restore_spring_marks(st); }
    } unmark{st};

    if (st.plate_matrices_kept && !kind.vlasov) {
        for (int e = 1; e <= st.nelem; ++e)
            if (!reuse_element(st, kind, b, e, status)) return;
        return;
    }
    st.plate_matrices_kept = false;
    for (int e = 1; e <= st.nelem; ++e) {
        ElementState el;
        el.e = e;
        place_element(st, kind, el);
        start_element(st, b, el);
        if (!integrate_first_rule(st, kind, b, el, status)) return;
        if (!integrate_second_rule(st, kind, b, el, status)) return;
        complete_matrices(st, kind, b, el);
        assemble_element(kind, b, el);
        reduce_element_vectors(st, kind, b, e);
        if (!kind.vlasov) keep_plate_diagonal(st, kind, b, e);
        // 14. Springs, into K1 and set A.
        if (!add_spring_terms(st, e, kind.edge_constant, b, status)) return;
        keep_element_matrix(st, kind, b, e);
        // 16. The element record for the stress recovery.
        if (!write_element_record(st, e, b, status)) return;
    }
    st.plate_matrices_kept = !kind.vlasov && !st.plate_diagonal.empty();
}

}  // namespace parvane
