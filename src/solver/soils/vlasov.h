// Stage "soils" (see mindlin.h), the Vlasov layer.
//
// Vlasov soil (soil kind 2): a layer of depth H whose modulus varies from
// E_t at the top to E_b at the bottom, acting on the slab's x deflection as
// an area spring k and a shear layer 2t computed from the parameter gamma,
// with edge springs along the free boundary and springs at its corners.
#pragma once

namespace parvane {

struct RunState;

// k and 2t of the layer for a given gamma >= 0, to full precision also for a
// small gamma; gamma 0 gives their limits, k = (E_t + E_b)(1 - nu) /
// (2 H (1 + nu)(1 - 2 nu)) and 2t = H (3 E_t + E_b) / (24 (1 + nu)).
void vlasov_k_2t(double gamma, double e_top, double e_bottom, double nu, double depth, double& k, double& t2);

// k and 2t from the run's gamma into st.vlasov_k and st.vlasov_2t, and the
// lines " " and "gamma = ..., k = ..., 2t = ..." on the message file.
void vlasov_parameters(RunState& st);

// Corners of the boundary formed by the soil-spring edges (4-node and 8/9-node
// elements): st.vlasov_corner_table gets (node, element) of the first four
// nodes where a side along y meets a side along z.
void vlasov_corners_linear(RunState& st);
void vlasov_corners_quadratic(RunState& st);
// The one of the two that fits nnode (none for another node count).
void vlasov_corners(RunState& st);

// Edge springs c L / 2 at the corners (and c L / 4 at the mid-side node) of
// each soil-spring side of element ielem, and (3/4) 2t at the corner nodes of
// the table that belong to it, on the x deflection of ke (leading size 54)
// and rhs.
void vlasov_edge_terms(RunState& st, int ielem, double c, double* ke, double* rhs);

// New gamma from the total deflection: H sqrt(f B / A) with f = (1 - 2 nu) /
// (2 (1 - nu)), A the integral of w^2 over the slab and B that of |grad w|^2
// plus the edge term (r / 2) w^2 along the soil-spring sides, r = sqrt(k / 2t);
// H sqrt(f) when A is 0.  A failing Jacobian, or a value that is not a
// number, leaves gamma as it is.
void vlasov_update(RunState& st);

// Soil values that the Vlasov formulas cannot take (Poisson's ratio of 0.5 or
// more, or of -1 or less, gamma or depth not above 0), for soil kind 2: one
// line each on the message file and the listing.  Returns their number.
int vlasov_input_errors(RunState& st);

}  // namespace parvane
