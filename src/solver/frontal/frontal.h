// Stage "frontal": takes the element matrices, loads and restraints and
// gives the displacement increments and the support forces. The element
// order (element_order.h) is chosen by the input check; the front and its update
// (front.h) and the stored equations (equation_store.h) serve frontal.cpp.
//
// Frontal solution of the assembled plate system.
//
// The element matrices are assembled one element after the other into a small
// dense front; a variable is eliminated as soon as the last element that holds
// it has been assembled, and its reduced equation is kept for the
// back-substitution.  Only the front is held as a matrix: its size follows the
// largest number of variables active at once, not the number of equations.
//
// Fully summed variables wait in the front until a few dozen have gathered
// and are then eliminated together: their rows are reduced among themselves in
// elimination order and the rest of the front receives one rank-k update, a
// BLAS matrix product (same pivots in the same order, same results within
// rounding as one-by-one elimination).  The front keeps the bending, in-plane
// and drilling freedoms in slot regions of their own, so that a flat plate,
// which couples none of them, updates each region as one dense product; where
// the elements couple the in-plane and the drilling freedoms (4-node
// membranes), those two regions are updated together and the bending region
// on its own.
// Couplings that are exactly zero are skipped.
//
// Eliminated equations stay in memory up to a budget and go to the scratch
// unit 2 beyond it.  When the element matrices, the connectivity and the
// restraints are the same as in the previous call, the stored equations are
// reused and only the loads are reduced and back-substituted.  When only the
// element matrices changed, and the caller allows it, the stored equations
// may serve as the preconditioner of conjugate gradients on the new matrices
// (a refinement) instead of a new elimination.
#pragma once

#include <cstddef>
#include <cstdint>

namespace fio {
class Units;
}

namespace parvane {

struct RunState;

// Everything one solution reads and writes.  Arrays are column-major with
// 1-based meaning (variable v of node p, component c: v = (p - 1) * 6 + c,
// stored at index v - 1).
struct FrontalProblem {
    int npoin = 0;
    int nelem = 0;
    int nnode = 0;            // nodes per element; nevab = 6 * nnode <= 54
    int nvfix = 0;
    int front_capacity = 0;   // slots of the front
    const double* restraint_values = nullptr;   // 6 x nvfix
    double* displacement_increment = nullptr;   // 6 * npoin (out: eliminated variables)
    const double* element_loads = nullptr;      // nevab x nelem
    const int* restraint_nodes = nullptr;       // nvfix
    double* support_forces = nullptr;           // 6 * npoin (out)
    // Per element the upper triangle of its nevab x nevab matrix, column by
    // column (column j holds rows 1 .. j): nevab (nevab + 1) / 2 values.
    const double* element_stiffness = nullptr;
    const int* restraint_codes = nullptr;       // 6 x nvfix
    const int* lnods = nullptr;                 // nnode x nelem (left unchanged)
    // The elements (from 0, each once) in the order of assembly; null: the
    // model's order.  Only the elimination order follows it: the solution is
    // the same within rounding.
    const int* element_order = nullptr;
    // When only the element matrices differ from those of the stored
    // equations (same mesh, order and restraints), the system may be solved
    // by conjugate gradients with the stored equations as preconditioner,
    // as long as that promises to cost less than a new elimination; the
    // solution is the same within rounding, the stored equations stay.
    bool refine = false;
};

// Figures of the last call (for the benchmark and the tests).
struct FrontalStats {
    long long equations = 0;       // variables eliminated
    int max_front = 0;             // largest front width met
    double elimination_flops = 0;  // floating-point operations of the elimination
    double elimination_seconds = 0;
    double total_seconds = 0;
    bool reused = false;           // the stored equations of the previous call were reused
    int refinement_steps = 0;      // conjugate-gradient steps, when the stored equations preconditioned them
    std::size_t stored_bytes = 0;  // bytes of eliminated equations kept in memory
    std::size_t spilled_bytes = 0; // bytes written to the equation scratch unit
    long long zero_pivot_variable = 0;  // variable (from 1) whose pivot counted as zero, 0 = none
};

// Solves one system.  `units` carries the listing (6), the message file (8)
// and the equation scratch file (2); units that are not open are skipped (the
// equation file then stays in memory whatever the budget).  Returns the status:
// 0 solved, 3 a zero pivot (for a bending freedom, one below 1e-12 of the
// largest diagonal term assembled into its equation: the system is singular
// to working precision) or a front overflow or a bad node number,
// 10 working storage could not be reserved.
int frontal_solve_problem(const FrontalProblem& problem, fio::Units* units);

// The solver routine with the control values and units of the run (npoin,
// nelem, nnode, nvfix, front_capacity).  A failure sets `status` (3 or 10);
// otherwise it is left as it was.
void frontal_solve(RunState& st, const double* restraint_values, double* displacement_increment,
                   const double* element_loads, const int* restraint_nodes, double* support_forces,
                   const double* element_stiffness, const int* restraint_codes, const int* lnods, int& status);

const FrontalStats& frontal_last_stats();
// Figures of the last call that eliminated (did not reuse stored equations).
const FrontalStats& frontal_factorization_stats();

// Bytes of eliminated equations kept in memory before the rest goes to unit 2.
void frontal_set_memory_budget(std::size_t bytes);
// Share of an elimination's operations that a refinement (FrontalProblem::
// refine) may cost before it gives up; a negative share restores the default.
void frontal_set_refinement_share(double share);
std::size_t frontal_memory_budget();

// Forgets the stored equations of the previous call (end of a run).
void frontal_release();

}  // namespace parvane
