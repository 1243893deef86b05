// Start and end of an analysis run: the control file "torve.dat", the run
// files on their units, the banners of the message file and the execution
// time.
#pragma once

#include "solver/run/state.h"

namespace parvane {

// Reads "torve.dat" from the current directory into `file_names`, opens
// units 5, 6, 7, 8 (appending), 9 and the scratch units 3, 4, 2, writes the
// "****** Run Analysis ******" banner with the date and time to the message
// file and rewinds the scratch units.  A missing or short control file or a
// run file that cannot be opened gives status kStatusRunFiles (with a line in
// the message file when that file could be opened).
void start_run(RunState& st, int& status);

// Releases the work arrays; with a positive status writes the termination
// banner; writes the execution time to the listing and the message file and
// the date and time to the message file; closes every unit, deleting the
// three scratch files (and an unfinished cut-results file when the status is
// positive).  A listing or step-results file that cannot be closed (its last
// writes failed) is named in the message file and gives status
// kStatusRunFiles; otherwise the status is left as it is.
void end_run(RunState& st, int& status);

// "error <action> file <path>: <cause>" on the message file (when it is
// open), with the cause of the system error `error` (an errno value).
void report_file_failure(RunState& st, const char* action, const std::string& path, int error);

// "error in opening file <name>" and the like: one line on the message file
// (when it is open) and on the listing (when it is open).
void report_run_error(RunState& st, const std::string& text);

}  // namespace parvane
