// Stage "frontal": frontal solution of the assembled plate system.  Takes
// the element matrices, loads and restraints and gives the displacement
// increments and the support forces.  The element order (element_order.h) is
// chosen by the input check; the front and its update (front.h) and the
// stored equations (equation_store.h) serve frontal.cpp.
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
// unit 2 beyond it.  They are the factor a FrontalSolver keeps: a later call
// may solve other loads with it.  The caller says so (solve_with_factor), or
// the solver finds that the element matrices, the connectivity and the
// restraints are those of the factor (solve: the element matrices are
// compared by a fingerprint).  When only the element matrices changed, and
// the caller allows it, the stored equations may serve as the
// preconditioner of conjugate gradients on the new matrices (a refinement)
// instead of a new elimination.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

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
    int nnode = 0;  // nodes per element; nevab = 6 * nnode <= 54
    int nvfix = 0;
    int front_capacity = 0;                    // slots of the front
    const double* restraint_values = nullptr;  // 6 x nvfix
    double* displacement_increment = nullptr;  // 6 * npoin (out: eliminated variables)
    const double* element_loads = nullptr;     // nevab x nelem
    const int* restraint_nodes = nullptr;      // nvfix
    double* support_forces = nullptr;          // 6 * npoin (out)
    // Per element the upper triangle of its nevab x nevab matrix, column by
    // column (column j holds rows 1 .. j): nevab (nevab + 1) / 2 values.
    const double* element_stiffness = nullptr;
    const int* restraint_codes = nullptr;  // 6 x nvfix
    const int* lnods = nullptr;            // nnode x nelem (left unchanged)
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
    bool reused = false;                // the stored equations of the previous call were reused
    int refinement_steps = 0;           // conjugate-gradient steps, when the stored equations preconditioned them
    std::size_t stored_bytes = 0;       // bytes of eliminated equations kept in memory
    std::size_t spilled_bytes = 0;      // bytes written to the equation scratch unit
    long long zero_pivot_variable = 0;  // variable (from 1) whose pivot counted as zero, 0 = none
};

struct FrontalState;

// The solver of one run: keeps the stored equations of its last
// factorization, the working arrays of its refinements, the figures of its
// calls and its settings.  Solvers share nothing: each run holds its own.
//
// Every call takes `units` with the listing (6), the message file (8) and
// the equation scratch file (2); units that are not open are skipped (the
// equation file then stays in memory whatever the budget).  Each returns
// the status: 0 solved, kStatusPivot a zero pivot (for a bending freedom,
// one below 1e-12 of the largest diagonal term assembled into its
// equation: the system is singular to working precision), a front
// overflow, a bad node number or element order, or stored equations that
// could not be read back; kStatusAlloc working storage could not be
// reserved; kStatusStopped a stop request (status.h).
class FrontalSolver {
public:
    FrontalSolver();
    ~FrontalSolver();
    FrontalSolver(const FrontalSolver&) = delete;
    FrontalSolver& operator=(const FrontalSolver&) = delete;

    // Eliminates the problem's matrices anew and solves for its loads; the
    // eliminated equations are kept.
    int factorize(const FrontalProblem& problem, fio::Units* units);
    // Solves for the problem's loads and prescribed values with the kept
    // equations: the caller vouches that the element matrices are those of
    // the last factorization.  A problem of another mesh, element order or
    // restraints, or no kept equations, is refused (kStatusPivot, with a
    // line in the listing and the message file).
    int solve_with_factor(const FrontalProblem& problem, fio::Units* units);
    // Solves with the kept equations when the element matrices are those
    // they were made of, by a refinement where FrontalProblem::refine allows
    // one and it pays, else by a new factorization.
    int solve(const FrontalProblem& problem, fio::Units* units);

    // Figures of the last call, and of the last call that eliminated.
    const FrontalStats& last_stats() const;
    const FrontalStats& factorization_stats() const;

    // Bytes of eliminated equations kept in memory before the rest goes to
    // unit 2 (1 GiB unless set).
    void set_memory_budget(std::size_t bytes);
    std::size_t memory_budget() const;
    // Share of an elimination's operations that a refinement may cost before
    // it gives up; a negative share restores the default.
    void set_refinement_share(double share);

    // Forgets the kept equations and frees the working arrays (end of a
    // run); the settings and figures stay.
    void release();

private:
    std::unique_ptr<FrontalState> state_;
};

// What the driver asks of the run's FrontalSolver.
enum class FrontalCall {
    Factorize,   // FrontalSolver::factorize: the element matrices are new
    WithFactor,  // FrontalSolver::solve_with_factor: they are those of the last factorization
    Decide,      // FrontalSolver::solve: the solver tells from the element matrices
};

// The solution of the run's system through its FrontalSolver as `call` says:
// the element matrices (st.estiff), restraints (st.fixnod, st.fixcod,
// st.fixval), connectivity and element order of the run with the element
// right-hand sides `element_loads` give the displacement correction
// (`displacement_increment`, 6 * npoin) and the support forces
// (`support_forces`, 6 * npoin).  A failure sets `status` (kStatusPivot or
// kStatusAlloc; a zero pivot also named by node and freedom); otherwise it
// is left as it was.
void frontal_solve(RunState& st, FrontalCall call, const double* element_loads, double* displacement_increment,
                   double* support_forces, int& status);

}  // namespace parvane
