// Stage "results": takes the converged displacements and the element records
// and gives plate forces, stresses and soil pressure at the nodes, the
// listing tables and the step results file.
//
// Plate forces and stresses of a converged step: recovery at the integration
// points from the element records of the last element pass, extrapolation
// and averaging at the nodes, the listing tables and the step block of the
// step results file.
#pragma once

#include <string>

#include "solver/run/state.h"

namespace parvane {

// The 26 captions of the step results file, separated by single blanks.
extern const char* const kStepResultCaptions;

// Reads the nelem element records from unit 3 (standing at the first record
// of the latest element pass) and, from disp_vectors column 1:
// - st.gauss_stresses(1..8, k, e): membrane stresses, My, Mz, Myz, Qy, Qz at
//   point k of element e (first rule, first local coordinate slowest);
// - st.nodal_stresses(1..14, p): the element values extrapolated to node p and
//   averaged over the elements that hold it (0 for a node of no element), with
//   the top and bottom fibre stresses in rows 9..14;
// - st.node_weights(p): the number of elements that gave a value to p.
// Writes the listing tables and appends the step block (with the file header
// when istep is 1) to unit 7, taking columns 7..12 from st.nodal_reactions,
// the soil pressure from st.nodal_soil_results and the soil spring force from
// st.soil_reactions and st.nonlinear_forces.
// A value of the step that is not finite (a displacement or reaction at a
// node, a stress at a point of an element, a nodal force or stress) is
// named on the message file and the listing instead, the step block is not
// written and kStatusNotFinite returned. An element record that cannot be
// read (missing, short or of another run) is named on the message file and
// the listing, the step block is not written and kStatusRunFiles returned.
// Otherwise 0.
int plate_stresses(RunState& st);

}  // namespace parvane
