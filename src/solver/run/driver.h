// Stage "run" of the solver: ITORVE(2) (itorve.cpp) reads the control file
// "torve.dat", opens the run files (run_files) and hands a fresh RunState
// (state) to the driver, which takes each stage below in turn: input, then per
// time step and iteration the elements, the soil update and the frontal
// solution, then results and cuts. It gives the listing, the message file,
// the step results and the status ITORVE returns.
//
// The analysis driver of the solver library.
#pragma once

#include "solver/run/state.h"

namespace parvane {

// Runs one whole analysis on a fresh run state: the run files, the numeric
// input, the time steps with their iterations, the step results and the cut
// stage.  `status` starts at 0; on return it is 0 when the analysis completed
// and positive when a routine reported an error.
void run_analysis(RunState& st, int& status);

// Time of the step that follows a converged step at `tcur` with increment
// `dtcur`: the last step ends exactly at `tend`, and a time within 1e-9 `dt`
// of `tend` is `tend` itself.  After a step at (or within round-off of) `tend`
// the result lies beyond `tend`, so that step is the last one.
double next_step_time(double tcur, double dtcur, double dt, double tend);

// Called after the results of every converged step are written, with the run
// state as it stands (for tests and tools that look at the values).
using ConvergedStepHook = void (*)(const RunState& st, void* data);
void set_converged_step_hook(ConvergedStepHook hook, void* data);

// Figures of the last run_analysis (for the benchmark): the iterations of
// all increments, the seconds of the frontal solutions (and of their
// eliminations) and of the soil updates.
struct RunFigures {
    int iterations = 0;
    double solve_seconds = 0;
    double elimination_seconds = 0;   // with the refinement steps of solutions that eliminated nothing
    int refined_solutions = 0;        // solutions by refinement through stored equations
    double soil_seconds = 0;
};
const RunFigures& last_run_figures();

}  // namespace parvane
