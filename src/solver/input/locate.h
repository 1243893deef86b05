// Location of concentrated actions in the mesh.
#pragma once

#include "solver/run/state.h"

namespace parvane {

// For every one of `count` points (positions: ndime x count) finds the first
// element, in numbering order, that contains it and its local coordinates:
// elements(i) = element (0 when none), positions(1, i) = s, positions(2, i) = t
// for a located point; component 3 and unlocated points keep their input.
void locate_point_loads(RunState& st, int count, FArray<double>& positions, FArray<int>& elements);

}  // namespace parvane
