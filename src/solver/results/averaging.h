// Averaging of a nodal quantity over the elements and back to the nodes.
#pragma once

namespace parvane {

struct RunState;

// For every element j: e(j) = sum over its nodes p of (u_x(p) + c(p)) / m(p),
// divided by w(j), m(p) being the number of elements that hold p (the run's
// node-element list); then for every node p: n(p) = mean of e over the
// elements listed for p. disp is a (6, npoin) nodal vector of which only
// component 1 (the x deflection) is read; c, n have npoin values, w, e nelem.
// A node held by no element adds nothing and gets 0; an element of zero
// weight gets 0.
void nodal_to_element_average(const RunState& st, const double* w, double* e, const double* disp, double* n,
                              const double* c);

}  // namespace parvane
