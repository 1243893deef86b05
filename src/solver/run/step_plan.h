// The time steps a run plans before its first one: a stepping that makes no
// step, one of more increments than a run may take, and step results that
// would not fit where they are written are refused before anything of a step
// is written; a halved increment may not take the run past the same bound.
#pragma once

#include "solver/run/state.h"

namespace parvane {

// Most increments a run may take (each converged one writes a step of
// results); the desktop program's model check allows as many.
inline constexpr double kMaxIncrements = 10000;

// Increments of length `dt` (> 0) from `from` to `tend`, rounded up; a time
// within 1e-9 dt of `tend` is `tend` itself. 0 when the first increment ends
// beyond `tend`.
double planned_increments(double from, double dt, double tend);

// Bytes of the step results of `steps` steps: the header and, per step, its
// line and one line of 26 values per node (the node numbers as read).
double step_results_bytes(const RunState& st, double steps);

// Before the first step (dt and dtmin already positive, tcur the end of the
// first increment): refuses with status kStatusInput a stepping that makes no
// step (naming the initial time, the increment and the end time) or more than
// kMaxIncrements increments, and with status kStatusRunFiles step results
// larger than the room left for them (the free space of the results file's
// disk, or a file-size limit of the process), naming both figures. Each
// refusal is a line of the message file and the listing.
void check_step_plan(RunState& st, int& status);

// After an increment has been halved to dtcur, starting again at tcur -
// dtcur: true (with a line on the message file) when the steps done and the
// increments still to go would pass kMaxIncrements.
bool halving_exceeds_increments(RunState& st);

}  // namespace parvane
