// Section cut of one line by interpolation of the corner values of the
// crossed elements.
#pragma once

#include <vector>

#include "solver/cuts/cut_intersections.h"
#include "solver/cuts/cut_results.h"

namespace parvane {

struct RunState;

// Section points of the stretches: ngrid points on each, every quantity the
// bilinear interpolation of the element's four corner values; a stretch that
// another crossed element gives again (a cut along a shared side) is kept
// once with the mean of both; stretches ordered by the distance of their
// start from the cut line's start, S measured from the start of the first.
std::vector<CutPoint> interpolated_points(const RunState& st, const std::vector<CutStretch>& stretches);

// Reads the `count` records of "section_cut.tmp", appends the line's block to
// unit 9 and its rows to the listing, and deletes the scratch file.  A
// scratch file that cannot be read: its status, nothing written.
void cut_interpolate(RunState& st, int count, int& status);

}  // namespace parvane
