// Element shapes the plate elements cannot integrate, refused with the input.
#pragma once

#include "solver/run/state.h"

namespace parvane {

// Every element whose corners run counter-clockwise in the plate plane
// (y, -z) must turn left by less than 180 degrees at each corner and have a
// positive Jacobian at every point of both Gauss rules. (Clockwise elements
// halt the element loop in its Jacobian.) The first fault of each
// element: " *** error in numeric input, element geometry: element N: ..."
// on the listing and the message file, status kStatusInput. Needs the Gauss
// rules set up; reads node numbers through lnods with the marks of check2.
void check_element_geometry(RunState& st, int& status);

}  // namespace parvane
