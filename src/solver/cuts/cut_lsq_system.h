// Least-squares fit of the plate resultants over the integration points of an
// element patch, evaluated at the points of a cut-line stretch.
#pragma once

#include <vector>

namespace parvane {

struct RunState;

// Singular values not above this fraction of the largest count as zero.
inline constexpr double kLsqRelativeCutoff = 1.0e-12;

// Shape values of the fitting element at (xi, eta): the 8-node serendipity
// functions for k = 8, else the 4-node bilinear ones (k values written).
void lsq_shape_values(int k, double xi, double eta, double* values);

// Fits My, Mz, Myz, Qy, Qz (components 4..8 of st.gauss_stresses) at the
// ngaus^2 stress points of every element of `patch` (positions from
// st.gauss_point_positions, columns from st.first_gauss_point) by the field
// of one quadrilateral laid over the bounding rectangle of the patch's nodes
// (8 coefficients when the patch has more than 8 points, else 4), and
// evaluates it at the m points (x, y, z columns of `points`, 3 x m):
// fitted(c, k), 5 x m, column by column.  m <= 0 leaves `fitted` alone.
// Fewer points than coefficients (the decomposition refuses the system) or a
// patch without extent in y or z: a line on the listing and status
// kStatusSvdRefused, nothing evaluated.
void lsq_setup(RunState& st, const std::vector<int>& patch, int m, const double* points, double* fitted, int& status);

}  // namespace parvane
