// Section cut of one line by least squares: displacements and soil pressure
// interpolated in the crossed elements, plate resultants fitted over the
// integration points of each element's patch.
#pragma once

#include <vector>

#include "solver/cuts/cut_intersections.h"
#include "solver/cuts/cut_results.h"

namespace parvane {

struct RunState;

// Section points of the stretches (ngrid points on each, from the end nearer
// the cut line's start), merged where neighbouring stretches share a point
// and ordered by S.  A failed fit returns its status and no points.
std::vector<CutPoint> least_squares_points(RunState& st, const std::vector<CutStretch>& stretches, int& status);

// Reads the `count` records of "section_cut.tmp", appends the line's block to
// unit 9 and its rows to the listing, and deletes the scratch file.  A failed
// fit or a scratch file that cannot be read: that status, nothing written.
void cut_least_squares(RunState& st, int count, int& status);

}  // namespace parvane
