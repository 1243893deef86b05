// Points of a cut-line stretch and their local coordinates in the crossed
// element, for the section cuts.
#pragma once

namespace parvane {

struct RunState;

// Shape-function values of the 4-, 8- or 9-node quadrilateral at (xi, eta)
// into values[0..nnode-1]; any other node count writes nothing.
void point_shape_values(int nnode, double xi, double eta, double* values);

// det = a11 a22 - a12 a21 of the 2 x 2 matrix a (column by column); when
// |det| >= 1e-15 the inverse goes to `inverse` and status is 0, otherwise
// status is -1 and `inverse` is left untouched.
void invert_2x2(const double a[4], double inverse[4], double& det, int& status);

// The n points spaced equally from A = (ya, za) to B = (yb, zb), both ends
// included (n = 1: the point A; n <= 0: nothing), into y[0..n-1], z[0..n-1].
// A stretch with equal z (within 1e-8) keeps z = za exactly at every point,
// one with equal y keeps y = ya exactly.
void stretch_points(int n, double ya, double za, double yb, double zb, double* y, double* z);

// Local coordinates of the point (y, z) in the element whose nnode nodes are
// geometry(k, 1) = y_k, geometry(k, 2) = z_k (9 x 2, column by column).  Newton
// steps from the centre with a forward-difference Jacobian (step 0.001); stops
// when both coordinates move by less than 1e-5, after 26 steps, or when the
// Jacobian cannot be inverted, and gives the last iterate.
void local_point(int nnode, const double geometry[18], double y, double z, double& xi, double& eta);

// The element geometry table of element e: y_k into geometry[k - 1] and z_k
// into geometry[9 + k - 1] for its nodes k = 1..nnode (at most 9).
void element_geometry(const RunState& st, int e, double geometry[18]);

// The n points of the stretch A..B and their local coordinates: xi[0..n-1],
// eta[0..n-1] (n <= 0 leaves them untouched).
void local_coords(int nnode, int n, const double geometry[18], double ya, double za, double yb, double zb, double* xi,
                  double* eta);
// The same with nnode and the cut grid size of the run.
void local_coords(const RunState& st, const double geometry[18], double ya, double za, double yb, double zb, double* xi,
                  double* eta);

}  // namespace parvane
