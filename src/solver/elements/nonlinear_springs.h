// Nonlinear springs: deformation-force profiles evaluated at the current
// displacement of each spring, entered into the first element that holds the
// spring's node (tangent on the diagonal, minus the profile force on the
// right-hand side).
#pragma once

namespace parvane {

struct RunState;

// Segments whose deformation length is not above this (the single-precision
// 1e-15) are passed over in the search.
inline constexpr double profile_segment_floor = 1.0000000036274937e-15;

// Evaluates profile m (from 1) of the run at deformation d: the first segment
// with d(s) <= d <= d(s + 1) (longer than profile_segment_floor) gives the
// tangent and the force on the segment's line. Returns 0, or -1 when no
// segment holds d (outside the profile, or fewer than two points).
int evaluate_profile(const RunState& st, int m, double d, double& tangent, double& force);

// For every nonlinear record of a node of element ielem (records not yet
// marked): each freedom with a positive profile number gets its tangent at
// ke(p, p) and its force subtracted from rhs(p); the x-deflection force is
// kept in the run's nonlinear_forces. The record is marked by negating its
// node. flag: 0, or -1 when a displacement lies outside its profile; then two
// lines go to the message file and the routine returns at once.
void nonlinear_spring_force(RunState& st, int ielem, double* ke, double* rhs, int& flag);

}  // namespace parvane
