// Stage "elements": takes the mesh, materials, springs and current
// displacements of the run state and gives each element's matrix and load
// vectors for the frontal solution and its record (unit 3) for the results
// stage. Shape functions, strain matrices and rigidities are in the headers
// beside this one.
//
// The element loop of the solver: plate element matrices in the element
// frame, turned to the global frame, with the element's springs, and the
// per-element records for the stress recovery.
#pragma once

#include <cstddef>

namespace parvane {

struct RunState;

// Sizes of the per-element record written to unit 3 (values of 8 bytes).
inline constexpr std::size_t kRecordBending = 5 * 27 * 9;   // D_b B at the first rule's points
inline constexpr std::size_t kRecordShear = 5 * 27 * 9;     // D_s B at the second rule's points
inline constexpr std::size_t kRecordMembrane = 3 * 18 * 9;  // D_m B at the first rule's points
inline constexpr std::size_t kRecordPoints = 3 * 9;         // x, y, z of the integration points
inline constexpr std::size_t kRecordQuad4 = 92;             // 4-node side-parameter recovery

// The D B items are stored point after point; a record holds each up to the
// last point of its rule (all nine where the rule is not one of 1, 2 or 3
// points a side), so a two-point rule writes less than half the bytes.  The
// point coordinates are kept whole.
struct RecordItems {
    std::size_t bending, shear, membrane, points;
};
inline RecordItems record_items(int ngaus, int ngaus2) {
    const auto points = [](int n) -> std::size_t { return n >= 1 && n <= 3 ? static_cast<std::size_t>(n * n) : 9; };
    const std::size_t p1 = points(ngaus), p2 = points(ngaus2);
    return {kRecordBending / 9 * p1, kRecordShear / 9 * p2, kRecordMembrane / 9 * p1, kRecordPoints};
}

// One pass of the element loop over all elements, in element order:
// - st.estiff(:, :, e): the element matrix (plate, soil terms and springs),
//   global freedoms (local node - 1) * 6 + freedom;
// - st.element_loads(:, e) (set A) and st.element_loads_b(:, e) (set B) are
//   reduced by the element matrix with and without springs times the total
//   displacement (disp_vectors column 1 plus disp_step); the springs put minus
//   their forces into set A;
// - st.element_areas(e);
// - one record per element on unit 3 (items of record_items(); item 5 for
//   4-node elements only).
// A positive status (zero or negative Jacobian: 2) ends the pass at once; a
// nonlinear spring whose displacement lies outside its profile sets status 1
// and writes the termination lines to the message file; a record that cannot
// be written to unit 3 gives a line on the listing and status 7.
// After the pass the nodal-spring and nonlinear node lists are unmarked.
// Under the Vlasov soil model (isoil 2) the area terms k N^T N and
// 2t (Ny^T Ny + Nz^T Nz), with st.vlasov_k and st.vlasov_2t, enter set A's
// matrix on the deflection freedoms; vlasov_parameters runs before the
// elements and vlasov_edge_terms (with c = sqrt(k 2t)) among the springs.
void form_element_matrices(RunState& st, int& status);

// Loads the node coordinates of element e into the shape block: the global
// ones and the same points turned into the element frame; a 4-node element
// gets the mid-points of its sides as virtual nodes 5 to 8 (global and local).
void load_element_coordinates(RunState& st, int e);

// Element frame: local x = global y, local y = -global z, local z = -global x.
// The per-node transformation T (global = T local) for the six freedoms
// (u, v, w, rotation about local x, about local y, drilling).
void local_to_global_block(double t[36]);

// K <- T K T^t for the block-diagonal T of local_to_global_block over the
// element's nodes (nevab = 6 per node; K and the scratch `work` have the
// leading dimension 54).  T is a signed permutation, so this only moves and
// negates entries: the same values as the dense products, without their cost.
void to_global_frame(double* k, double* work, int nevab);

}  // namespace parvane
