// Work of the analysis driver on element and nodal vectors: the loads of the
// current time added to the element right-hand sides, the listing of a
// converged step, and the moves between element and nodal form.
#pragma once

#include "solver/run/state.h"

namespace parvane {

// Load values with a smaller magnitude are skipped (single-precision 1e-30
// widened to double).
inline constexpr double kLoadSkip = static_cast<double>(1.0e-30f);

// Adds every element vector (nevab values per element) into the nodal vector
// (6 per node) through lnods.  Only adds: the caller clears the nodal vector.
void assemble_nodal_vector(const RunState& st, const double* element_vectors, double* nodal);

// target[(i - 1) * ndofn] = values[i - 1] for i = 1..npoin: the caller passes
// the target positioned at the freedom to be written.
void store_dof_column(const RunState& st, double* target, const double* values);

// Adds the loads at load factor f to both element vector sets
// (st.element_loads and st.element_loads_b): nodal, distributed and
// concentrated loads times f, edge loads in full.  A failing Jacobian sets the
// status and ends the work at once.
void add_current_loads(RunState& st, double f, int& status);

// A nodal load on a node that no element holds cannot enter any element: one
// line per such load on the message file.  Returns how many there are.
int report_unplaced_nodal_loads(RunState& st);

// Concentrated loads, stiffnesses and total stiffnesses whose point lies in no
// element enter no element either: one line per such record on the message
// file.  Returns how many there are.
int report_unplaced_point_actions(RunState& st);

// The listing of a converged increment: step and time, displacements, and
// the reactions (st.nodal_v) of the restrained nodes.
void write_step_listing(RunState& st);

}  // namespace parvane
