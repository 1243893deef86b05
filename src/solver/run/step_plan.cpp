#include "solver/run/step_plan.h"

#include <sys/resource.h>
#include <sys/statvfs.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "solver/results/stresses.h"
#include "solver/run/run_files.h"

namespace parvane {
namespace {

// Times closer than this fraction of dt to the end time are the end time
// (as the step loop takes them).
constexpr double kTimeRoundOff = 1e-9;

// A time or increment as the refusals print it.
std::string value(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", v);
    return text;
}

std::string megabytes(double bytes) {
    char text[48];
    std::snprintf(text, sizeof text, "%.1f MB", bytes / 1e6);
    return text;
}

void refuse(RunState& st, int& status, int code, const std::string& text) {
    report_run_error(st, text);
    status = code;
}

// Bytes that can still be written to the file at `path`: the free space of
// its disk, and no more than the process's file-size limit. `what` names the
// bound that is the smaller. Negative when the file is no regular file (a
// device takes what it takes) or its disk cannot be asked.
double room_for(const std::string& path, std::string& what) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return -1.0;
    const std::filesystem::path parent = std::filesystem::absolute(path, ec).parent_path();
    struct statvfs disk {};
    if (ec || ::statvfs(parent.c_str(), &disk) != 0) return -1.0;
    double room = static_cast<double>(disk.f_bavail) * static_cast<double>(disk.f_frsize);
    what = "free on its disk";
    struct rlimit limit {};
    if (::getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY &&
        static_cast<double>(limit.rlim_cur) < room) {
        room = static_cast<double>(limit.rlim_cur);
        what = "the file-size limit of the run";
    }
    return room;
}

}  // namespace

double planned_increments(double from, double dt, double tend) {
    const double first = from + dt;
    if (!(first <= tend) && !(std::fabs(first - tend) <= kTimeRoundOff * dt)) return 0.0;
    return std::max(1.0, std::ceil((tend - from) / dt - kTimeRoundOff));
}

double step_results_bytes(const RunState& st, double steps) {
    // "step_data", "26", the captions; per step "STEP" and its number; per
    // node the number (five places at least) and 26 values of twelve.
    const double header = 10.0 + 3.0 + static_cast<double>(std::strlen(kStepResultCaptions)) + 1.0;
    double per_step = 13.0;
    for (int p = 1; p <= st.npoin; ++p)
        per_step += static_cast<double>(fio::fmt_i_wide(st.node_ids(p), 5).size()) + 26.0 * 12.0 + 1.0;
    return header + steps * per_step;
}

void check_step_plan(RunState& st, int& status) {
    const double increments = planned_increments(st.tini, st.dt, st.tend);
    if (increments == 0.0) {
        refuse(st, status, kStatusInput,
               "error, the time stepping makes no step: the initial time " + value(st.tini) + " plus the increment " +
                   value(st.dt) + " lies beyond the end time " + value(st.tend));
        return;
    }
    if (increments > kMaxIncrements) {
        refuse(st, status, kStatusInput,
               "error, the time stepping takes " + (std::isfinite(increments) ? value(increments) : "endless") +
                   " increments (increment " + value(st.dt) + " from " + value(st.tini) + " to " + value(st.tend) +
                   "); at most " + value(kMaxIncrements) + " are allowed");
        return;
    }
    std::string what;
    const std::string& path = st.file_names[3];
    const double room = room_for(path, what);
    const double need = step_results_bytes(st, increments);
    if (room >= 0.0 && need > room)
        refuse(st, status, kStatusRunFiles,
               "error, the step results of " + value(increments) + " steps of " + std::to_string(st.npoin) +
                   " nodes need about " + megabytes(need) + ", but " + path + " has room for " + megabytes(room) +
                   " (" + what + ")");
}

bool halving_exceeds_increments(RunState& st) {
    const double to_go = planned_increments(st.tcur - st.dtcur, st.dtcur, st.tend);
    const double total = (st.istep - 1) + to_go;
    if (total <= kMaxIncrements) return false;
    report_run_error(st, "error, the halved increment " + value(st.dtcur) + " would take " + value(total) +
                             " increments to the end time; at most " + value(kMaxIncrements) + " are allowed");
    return true;
}

}  // namespace parvane
