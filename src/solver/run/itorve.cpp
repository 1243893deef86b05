// The exported entries of the solver library: the analysis and the request
// to stop it.
#include <memory>
#include <new>

#include "solver/run/driver.h"
#include "solver/run/run_files.h"
#include "solver/run/state.h"
#include "solver/run/stop.h"

extern "C" __attribute__((visibility("default"))) int ITORVE(int mode) {
    if (mode != 2) return parvane::kStatusMode;
    parvane::clear_stop_request();
    int status = 0;
    std::unique_ptr<parvane::RunState> st;
    try {
        st = std::make_unique<parvane::RunState>();
    } catch (...) {
        return parvane::kStatusAlloc;
    }
    try {
        parvane::run_analysis(*st, status);
    } catch (const std::bad_alloc&) {
        if (status <= 0) status = parvane::kStatusAlloc;
        try {
            parvane::end_run(*st, status);
        } catch (...) {}
    } catch (...) {
        if (status <= 0) status = parvane::kStatusRunFiles;
        try {
            parvane::end_run(*st, status);
        } catch (...) {}
    }
    return status;
}

// Asks the ITORVE(2) running on another thread to stop: it ends at its next
// iteration or element with status 14, its files closed and the steps done so
// far written. A call while no analysis runs is forgotten at the next one.
extern "C" __attribute__((visibility("default"))) void ITORVE_STOP() { parvane::request_stop(); }
