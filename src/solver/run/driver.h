// Stage "run" of the solver: ITORVE(2) (itorve.cpp) reads the control file
// "torve.dat", opens the run files (run_files) and hands a fresh RunState
// (state) to the driver, which takes each stage below in turn: input, then per
// time step and iteration the elements, the soil update and the frontal
// solution, then results and cuts. It gives the listing, the message file,
// the step results and the status ITORVE returns.
#pragma once

#include "solver/run/state.h"

namespace parvane {

// Runs one whole analysis on a fresh run state: the run files, the numeric
// input, the time steps with their iterations, the step results and the cut
// stage.  `status` starts at 0; on return it is 0 when the analysis completed
// and positive when a routine reported an error.  The figures of the run are
// in st.figures; st.converged_step_hook, when set, is called after the
// results of every converged step are written.
void run_analysis(RunState& st, int& status);

// Time of the step that follows a converged step at `tcur` with increment
// `dtcur`: the last step ends exactly at `tend`, and a time within 1e-9 `dt`
// of `tend` is `tend` itself.  After a step at (or within round-off of) `tend`
// the result lies beyond `tend`, so that step is the last one.
double next_step_time(double tcur, double dtcur, double dt, double tend);

}  // namespace parvane
