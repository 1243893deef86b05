// Dense kernels of the solver: 6 x 6 products, the split norms of a vector of
// nodal variables and the inversion of a small matrix.  Matrices are stored
// column by column with the number of rows as leading size.
#pragma once

#include "solver/run/state.h"

namespace parvane {

// C(6, n) = A(6 x 6) B(6, n); C may be the same array as B; n <= 0: nothing.
void matrix_kernel(double* c, const double* a, const double* b, int n);

// Over count / 6 nodes: norm1 = sqrt(sum of squares of components 1-3),
// norm2 = the same of components 4-6.
void split_dof_norms(const double* v, double& norm1, double& norm2, int count);

// B = inverse of the n x n matrix A by elimination without row exchanges;
// A is overwritten.  Returns false (B untouched past the failing point) when a
// pivot is zero or a value stops being finite.
bool invert_matrix(double* a, double* b, int n);

// invert_matrix for the element routines: a zero pivot writes a line naming
// element `ielem` to the listing and sets status kStatusPivot.
void invert_small_matrix(RunState& st, double* a, double* b, int n, int ielem, int& status);

}  // namespace parvane
