// Utilities of the element loop: soil interpolation matrices, completion of
// upper-triangle matrices, static condensation of the 4-node element's side
// parameters and the two element-wide corrections of the 4-node element.
#pragma once

#include <cstddef>

#include "solver/elements/interpolation.h"
#include "solver/elements/plate_bmatrix.h"
#include "solver/run/state.h"

namespace parvane {

// One point of an integration rule: its number k (from 1), the Jacobian
// determinant and the two weights.
struct IntegrationPoint {
    int k;
    double det, wi, wj;
    double dv() const { return det * wi * wj; }
};

// The points of one integration rule of element ielem (rule 1: ngaus points
// per direction, rule 2: ngaus2), first direction outer, k counting from 1:
// shape functions and jacob2 at each point, then visit(point). A zero or
// negative Jacobian (status set by jacob2) ends the walk at once and gives
// false. The element's coordinates must be in the shape block.
template <class Visit>
bool for_each_integration_point(RunState& st, int ielem, int rule, int& status, Visit&& visit) {
    const GaussCommon& g = st.gauss_common;
    const int n = rule == 2 ? st.ngaus2 : st.ngaus;
    const auto& pos = rule == 2 ? g.gauss_positions2 : g.gauss_positions;
    const auto& wgt = rule == 2 ? g.gauss_weights2 : g.gauss_weights;
    int k = 0;
    for (std::size_t i = 0; i < static_cast<std::size_t>(n); ++i) {
        for (std::size_t j = 0; j < static_cast<std::size_t>(n); ++j) {
            ++k;
            shape_functions(st, pos[i], pos[j], st.nnode);
            double det = 0.0;
            jacob2(st, ielem, det, k, status);
            if (status > 0) return false;
            visit(IntegrationPoint{k, det, wgt[i], wgt[j]});
        }
    }
    return true;
}

struct ElementUtilBlock {
    // Interpolation matrices of the soil area terms, 3 x (3 nnode), leading size 3.
    double r0[3 * 27];
    double ry[3 * 27];
    double rz[3 * 27];
    // Correction subtracted from every 4-node bending strain matrix (5 x 16):
    // the element mean of the side-parameter curvatures.
    double side_correction[5 * 16];
    // What the condensation leaves for the element record (item 5): first the
    // 4 x 12 matrix R (column stride 4) with side parameters p = -R u, then the
    // 4 x 4 inverse of the internal block, then zeros.
    double condensed_record[92];
};

struct RunState;

// Fills r0, ry, rz from the current point (shape values and cartesian
// derivatives of the run's shape block).
void interpolation_matrices(RunState& st);
void interpolation_matrices_of(int nnode, const PointShape& p, double* r0, double* ry, double* rz);

// Copies the upper triangle of the n x n matrix a (leading size lda) onto its
// lower triangle.
void symmetrize(double* a, int& lda, int& n);

// Static condensation of the last nnode rows and columns of the (4 nnode)
// square matrix k (leading size 27) onto the first 3 nnode ones. Used for
// 4-node elements (internal block 4 x 4).
// The 92 values for the element record go to ElementLoop::util.
void condense_internal_dofs(RunState& st, double* k);
// Explicit form: r kept, m internal (m <= 4), record receives 92 values.
void condense_internal_of(double* k, int r, int m, double record[92]);

// 4-node element corrections, integrated over the current element (its
// coordinates loaded in the shape block, its side geometry in
// ElementLoop::bmatrix.sides). Both return at once on a positive status from jacob2.
//
// Side correction: the side parameters rotate the element along its sides
// with the quadratic mid-side functions; their curvatures are not matched by
// the neighbouring element, so only their departure from the element mean may
// carry energy. The mean over the first rule, (1/A) sum B_p dv, fills
// ElementLoop::util.side_correction; subtracting it from every bending
// strain matrix leaves the parameters no coupling with a constant curvature
// state, which the element then reproduces exactly.
void quad4_side_correction(RunState& st, int ielem, int& status, double t);
// Membrane correction: the drilling columns leave the mode of four equal
// drilling rotations without strain. A one-point penalty at the centre,
// G A t (r_mean - w_c)^2 with w_c = (dv/dx - du/dy) / 2 of the element's
// displacement field (drilling part included), ties the drilling rotations to
// the in-plane rotation. It vanishes for every rigid motion and every constant
// strain state (r_i equal to the exact rotation), so the patch test holds.
// membrane: the 18 x 18 membrane stiffness (12 used); work (3 x 12) receives
// the rows du/dy, dv/dx and the mean drilling rotation at the centre.
void quad4_membrane_correction(RunState& st, int ielem, int& status, double t, double* membrane, double* work);

// Kernel of the membrane correction.
// Adds g_mod * area * h h^T to the membrane stiffness, h the difference
// between the mean drilling rotation and the in-plane rotation of the
// displacement field at the centre; work receives the three rows.
void quad4_membrane_penalty_of(const PointShape& centre, const SideGeometry& g, double area, double g_mod,
                               double* membrane, double* work);

}  // namespace parvane
