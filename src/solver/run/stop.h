// A request to stop the analysis that runs now, made from another thread of
// the calling program (the export ITORVE_STOP). The driver looks at it before
// every iteration and the frontal solution before every element it
// assembles; a run that sees it ends with kStatusStopped.
#pragma once

namespace parvane {

// The run ended early because the caller asked it to stop.
inline constexpr int kStatusStopped = 14;

void request_stop();
bool stop_requested();
// A new run starts without a request.
void clear_stop_request();

}  // namespace parvane
