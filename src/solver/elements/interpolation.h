// Element interpolation: shape functions of the 4-, 8- and 9-node
// quadrilaterals, side functions, the two Gauss-Legendre rules, the Jacobian
// at a Gauss point, the inverse mapping of a point into a quadrilateral and
// the square matrix product of the element formation.  Results go to
// st.shape_common, st.gauss_common, st.jacobian and st.inverse_jacobian.
#pragma once

#include "solver/run/state.h"

namespace parvane {

// N1..Nn and dN/ds, dN/dt at (s, t) for n = 4, 8 or 9; other n: no change.
// For n = 4 also the four side functions N5..N8 of the 8-node element.
void shape_functions(RunState& st, double s, double t, int n);
// Pure form on a ShapeCommon block.
void shape_functions(ShapeCommon& sc, double s, double t, int n);

// One-dimensional functions of a side with n = 2 or 3 nodes at s; everything
// cleared first (other n: everything stays cleared).
void edge_shape_functions(RunState& st, double s, int n);

// Both rules from st.ngaus and st.ngaus2 (1, 2 or 3 points each).
void gauss_points(RunState& st);
// One rule of n points (n = 1..3; other n leaves the arrays as they are).
void gauss_rule(int n, double* positions, double* weights);

// Jacobian of element `ielem` at Gauss point k from the current shape values
// and the element's coordinates (shape_common.element_coords and
// element_plane_coords).  A determinant that is not above 0 writes the halt
// lines to the listing and sets status kStatusJacobian.
void jacob2(RunState& st, int ielem, double& det, int k, int& status);

// Local coordinates (s, t) of the target point in the quadrilateral of the
// n points given (ndime x n, column by column); leaves the shape values of the
// last evaluation.  Returns true when the iteration converged.
bool stress_point_shape(RunState& st, int n, double& s, double& t, double px, double py, double pz,
                        const double* points);

// C = A B for n x n matrices stored column by column with leading size 54.
void matrix_product(double* c, const double* a, const double* b, int n);
inline void square_matrix_product(double* out, const double* a, const double* b, int n) {
    matrix_product(out, a, b, n);
}

// Convergence bound of the inverse mapping: single-precision 1e-10 widened.
inline constexpr double kInverseMapTolerance = static_cast<double>(1.0e-10f);

// The inverse-mapping iteration on the points already in
// shape_common.element_plane_coords (n of them).  s and t are updated at every
// step.  Returns 1 when converged, 0 after 50 steps, -1 when a tangent has
// zero length.
int inverse_map(RunState& st, int n, const double target[3], double& s, double& t);

}  // namespace parvane
