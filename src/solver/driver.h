// The analysis driver of the solver library.
#pragma once

#include "solver/state.h"

namespace parvane {

// Runs one whole analysis on a fresh run state.  `status` starts at 0; on
// return it is 0 when the analysis completed and positive when a routine
// reported an error.
void run_analysis(RunState& st, int& status);

}  // namespace parvane
