// Status values of the solver library: what ITORVE returns and every routine
// passes on through its `int& status`.  0 means success; a positive value
// names the first failure, which ends the run with the termination banner.
// The calling program and the message files of earlier runs hold these
// numbers: they never change.
#pragma once

namespace parvane {

inline constexpr int kStatusMode = 1;           // ITORVE called with a mode other than 2
inline constexpr int kStatusSpringCurve = 1;    // a nonlinear spring's displacement beyond its curve
inline constexpr int kStatusJacobian = 2;       // an element with a zero or negative Jacobian determinant
inline constexpr int kStatusPivot = 3;          // the system could not be solved: a zero pivot, a front
                                                // overflow, a bad node number or element order, or stored
                                                // equations that could not be written or read back
inline constexpr int kStatusIncrement = 4;      // the increment fell below dtmin before the end time
inline constexpr int kStatusInput = 5;          // the numeric input was rejected
inline constexpr int kStatusRunFiles = 7;       // the control file or a run file missing or unreadable
inline constexpr int kStatusAlloc = 10;         // working storage could not be reserved
inline constexpr int kStatusSvdRefused = 11;    // a section-cut fit with fewer points than unknowns
inline constexpr int kStatusSoilGeometry = 12;  // an element whose area gives no finite Mindlin soil pressure
inline constexpr int kStatusNotFinite = 13;     // a result of the step that is not finite
inline constexpr int kStatusStopped = 14;       // the caller asked the run to stop (ITORVE_STOP)

}  // namespace parvane
