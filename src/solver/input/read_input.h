// Stage "input": takes the numeric input ".sin" (unit 5) and gives the run
// state's control values, mesh, materials, restraints, actions and cut
// lines, echoed to the listing; checks.h and element_geometry.h refuse input
// the later stages cannot use, and locate.h places concentrated actions.
//
// Reading of the numeric input ".sin" on unit 5 with its echo on the listing.
#pragma once

#include <string>

#include "solver/run/state.h"

namespace parvane {

// Head records: title (72 characters, echoed to the listing), soil kind, soil
// values, the 18 counts, the nonlinear counts and the time-stepping values.
// A missing record or a bad number: a line naming the record on the listing
// and the message file, status kStatusInput.
void read_head(RunState& st, int& status);

// The counts of the head that size the work arrays beyond their number of
// rows, checked before anything is reserved: the Gauss-point count must be
// 1, 2 or 3 (its square sizes the tables of every element), and the node
// entries of the element records (nelem x nnode) must fit the input file. A
// count outside: a line naming it, status kStatusInput.
void check_sizing_counts(RunState& st, int& status);

// The body: elements, nodes, restraints, materials, actions, nonlinear index
// and profiles, with their echo; runs check1 first and check2 last, locates the
// concentrated actions and sets up the Gauss rules.  Status -1 when accepted,
// kStatusInput when rejected (by the checks, or for a premature end, a bad
// number or a reference out of range, with a line naming the block).
void read_input(RunState& st, int& status);

// " *** error in numeric input, <block>: <detail>" on the listing and the
// message file, status kStatusInput.
void input_error(RunState& st, int& status, const std::string& block, const std::string& detail);

}  // namespace parvane
