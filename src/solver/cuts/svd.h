// Singular value decomposition of a dense real matrix with at least as many
// rows as columns, for the least-squares fits of the section cuts.
#pragma once

#include "solver/run/status.h"

namespace parvane {

struct RunState;

// A = U diag(w) V^T for the m x n matrix a (column by column, leading size
// m).  On success a holds U, w the n singular values (unsorted, each >= 0
// once its iteration converged) and v the n x n matrix V itself (column j is
// the right singular vector of w[j]).  m < n: "fatal error", m, n and
// "fewer equations than unknowns, svdc_factor" on the listing, status
// kStatusSvdRefused, nothing touched.  A value that does not split off in 30
// sweeps writes "no convergence in 30 iterations" on the listing and keeps
// what the last sweep left (status stays 0).
void svdc_factor(RunState& st, double* a, int m, int n, double* w, double* v, int& status);

}  // namespace parvane
