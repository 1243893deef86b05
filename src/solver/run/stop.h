// A request to stop the analysis that runs now, made from another thread of
// the calling program (the export ITORVE_STOP). The driver looks at it before
// every iteration and the frontal solution before every element it
// assembles; a run that sees it ends with kStatusStopped.
#pragma once

#include "solver/run/status.h"

namespace parvane {

void request_stop();
bool stop_requested();
// A new run starts without a request.
void clear_stop_request();

}  // namespace parvane
