// The analysis driver of the solver library.
#pragma once

#include "solver/state.h"

namespace parvane {

// Runs one whole analysis on a fresh run state: the run files, the numeric
// input, the time steps with their iterations, the step results and the cut
// stage.  `status` starts at 0; on return it is 0 when the analysis completed
// and positive when a routine reported an error.
void run_analysis(RunState& st, int& status);

// Called after the results of every converged step are written, with the run
// state as it stands (for tests and tools that look at the values).
using ConvergedStepHook = void (*)(const RunState& st, void* data);
void set_converged_step_hook(ConvergedStepHook hook, void* data);

}  // namespace parvane
