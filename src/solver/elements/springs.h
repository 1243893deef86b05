// Springs of the element loop. A spring is never an element of its own: each
// spring term s enters the stiffness of an element that contains it as a
// diagonal entry, and minus its force s u at the total displacement u
// (converged displacements plus the current step increment) enters the same
// element's right-hand side.
//
// ke is the 54 x 54 matrix of the current element (leading size 54), in the
// element-variable order (local node - 1) * 6 + freedom; rhs is the
// right-hand-side column of the element (nevab values).
#pragma once

#include "solver/run/state.h"

namespace parvane {

// Threshold below which distributed and concentrated spring values are
// skipped: the single-precision 1e-30.
inline constexpr double spring_value_floor = 1.0000000031710769e-30;

// Common rule of entry: ke(p, p) += s and rhs(p) -= s u(g), p the element
// position (from 1), g the global freedom (from 1) of the same node and
// direction.
void enter_spring_term(const RunState& st, double* ke, double* rhs, int p, int g, double s);

// Nodal springs: every record whose node belongs to element ielem enters
// there, once per element loop: its node number is negated once it has
// entered (restore_spring_marks makes the list positive again).
void nodal_spring_terms(RunState& st, int ielem, double* ke, double* rhs);
// Distributed (area) springs of element ielem, lumped to the nodes with the
// first integration rule. A positive status from jacob2 returns at once.
void distributed_spring_terms(RunState& st, int ielem, double* ke, double* rhs, int& status);
// Concentrated springs located in element ielem, spread to its nodes by the
// shape-function values at the point.
void concentrated_spring_terms(RunState& st, int ielem, double* ke, double* rhs);
// Edge springs along the sides of element ielem (values per unit length at
// the two corners and the mid-side node), integrated along the side.
void edge_spring_terms(RunState& st, int ielem, double* ke, double* rhs);
// Total concentrated springs located in element ielem: their six values, when
// the run keeps them, are spread to the nodes like concentrated springs.
void total_concentrated_spring_terms(RunState& st, int ielem, double* ke, double* rhs);
// The bilinear function of corner c (1..4) of a quadrilateral at (s, t).
inline double bilinear_corner(int c, double s, double t) {
    const double sc = c == 1 || c == 4 ? -1.0 : 1.0, tc = c <= 2 ? -1.0 : 1.0;
    return 0.25 * (1.0 + sc * s) * (1.0 + tc * t);
}
// The area that a unit of the parent square maps to in element ielem at the
// point where sc holds the local derivatives of its nnode shape functions:
// |det J| of the map (s, t) -> (y, z).
double area_jacobian(RunState& st, ShapeCommon& sc, int ielem, int nnode);
// The half-space soil of an 8- or 9-node element: the soil modulus
// interpolated bilinearly from its corner values (st.soil_stiffness),
// integrated with the products of the shape functions over the element
// (3 x 3 points) into the deflection terms; kept in st.soil_blocks.
void mindlin_element_spring_terms(RunState& st, int ielem, double* ke, double* rhs);
// Takes the kept soil terms of element ielem off the coupling (off-diagonal)
// deflection terms of ke.
void remove_mindlin_element_coupling(const RunState& st, int ielem, double* ke);

// Indexes the records of `nodes` (count of them) by the number each names (a
// node, or an element), taken by magnitude; records naming none of
// 1 .. npoin are left out.
void build_record_index(RecordIndex& index, const FArray<int>& nodes, int count, int npoin);

// The records of a node list (entries 1..count of nodes) that enter element
// ielem: for each element node a in order, each record in order whose node n
// is that node and is not yet marked: visit(a, n, i), then the record is
// marked by negating its node, so that it enters once per element loop. A
// visit that returns false ends the walk at once (that record stays unmarked)
// and gives false.  The records are found through `index`, built on first use
// (so a walk costs the element's records, not the whole list).
template <class Visit>
bool for_each_unmarked_record(const RunState& st, int ielem, FArray<int>& nodes, int count, RecordIndex& index,
                              Visit&& visit) {
    if (!index.valid) build_record_index(index, nodes, count, st.npoin);
    for (int a = 1; a <= st.nnode; ++a) {
        const int n = st.lnods(a, ielem);
        if (n < 1 || n > st.npoin) continue;
        for (int k = index.start[static_cast<std::size_t>(n - 1)]; k < index.start[static_cast<std::size_t>(n)]; ++k) {
            const int i = index.list[static_cast<std::size_t>(k)];
            int& node = nodes(i);
            if (node < 0 || node != n) continue;
            if (!visit(a, n, i)) return false;
            node = -node;
        }
    }
    return true;
}

// Makes the node numbers of the nodal-spring and nonlinear-spring lists
// non-negative again after an element loop.
void restore_spring_marks(RunState& st);

}  // namespace parvane
