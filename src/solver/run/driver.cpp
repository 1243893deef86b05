#include "solver/run/driver.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>

#include "solver/results/averaging.h"
#include "solver/cuts/cut_results.h"
#include "solver/run/dense.h"
#include "solver/elements/element_matrices.h"
#include "solver/frontal/frontal.h"
#include "solver/results/gauss_interp_setup.h"
#include "solver/run/load_vectors.h"
#include "solver/soils/mindlin.h"
#include "solver/input/read_input.h"
#include "solver/run/run_files.h"
#include "solver/run/step_plan.h"
#include "solver/run/stop.h"
#include "solver/results/stresses.h"
#include "solver/soils/vlasov.h"

namespace parvane {
namespace {

// Convergence bound: the single-precision 1e-10 widened to double.
constexpr double kConvergenceFloor = static_cast<double>(1.0e-10f);

// Times closer than this fraction of dt to the end time are the end time.
constexpr double kTimeRoundOff = 1e-9;

double seconds_since(std::chrono::steady_clock::time_point t0) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

void clear(FArray<double>& a) { a.fill(0.0); }

bool has_springs(const RunState& st) {
    return st.nnsti > 0 || st.ndsti > 0 || st.ncsti > 0 || st.nedsti > 0 || st.nctsti > 0 || st.nnlin > 0;
}

void message_line(RunState& st, const std::string& text) { fio::Writer(st.units, kUnitMessages).a(text); }

// A run its caller asked to stop: the steps written so far stand, the
// message file says why the run ended.
int stopped(RunState& st) {
    message_line(st, " *** analysis stopped on request: not a finished run");
    return kStatusStopped;
}

// The vectors of the iterations, by what they hold (RunState keeps the names
// of the sets: A, B, N1, N2, V, W).  u stands for the total displacements
// with the increment of the step so far.
struct StepVectors {
    explicit StepVectors(RunState& st)
        : element_residuals(st.element_loads.data()), element_plate_residuals(st.element_loads_b.data()),
          nodal_residuals(st.nodal_n1.data()), nodal_plate_residuals(st.nodal_n2.data()),
          support_forces(st.nodal_v.data()), soil_forces(st.nodal_w.data()), total(st.disp_vectors.data()) {}

    double* const element_residuals;  // A: element loads less K1 u (plate, soil and springs): the right-hand sides
    double* const element_plate_residuals;  // B: element loads less K2 u (the plate alone)
    double* const nodal_residuals;          // N1: A assembled; after the frontal solution its support forces
    double* const nodal_plate_residuals;    // N2: B assembled
    double* const support_forces;           // V: the support forces of the step
    double* const soil_forces;  // W: N1 - N2, the soil and spring forces; with the support forces once converged
    double* const total;        // the total displacements
};

// How an iteration leaves the step.
enum class IterationEnd {
    Again,      // another iteration of the step
    Converged,  // the step is accepted
    Unsettled,  // no convergence within maxiter: the increment is halved
};

// The run files, the head and the numeric input, the soil set-up and the
// first step.  `status` is the caller's (0 or below to go on).
int start(RunState& st, int status) {
    start_run(st, status);
    if (status <= 0) read_head(st, status);
    if (status <= 0) check_sizing_counts(st, status);
    if (status <= 0) {
        set_fixed_values(st);
        allocate_work_arrays(st, status);
    }
    if (status <= 0) read_input(st, status);
    if (status > 0) return status;

    stress_interp_setup(st);
    stress_interpolation(st);

    // Soil set-up (the soil values were checked with the input): the initial
    // nodal soil stiffness and the corners of the Vlasov boundary.
    if (st.isoil == 1 || st.isoil == 2) {
        st.soil_stiffness.fill(st.ksoil0);
        st.soil_stiffness_new.fill(st.ksoil0);
        st.soil_stiffness_restart.fill(st.ksoil0);
    }
    // --- Mindlin soil: the start values.
    if (st.isoil == 1) mindlin_start(st);
    if (st.isoil == 2) vlasov_corners(st);

    // Time-stepping values that could not end.
    if (!(st.dt > 0.0) || !(st.dtmin > 0.0)) {
        message_line(st, " error, time increment and smallest increment must be greater than zero");
        return kStatusInput;
    }

    st.dtcur = st.dt;
    st.tcur = st.tini + st.dt;
    if (std::fabs(st.tcur - st.tend) <= kTimeRoundOff * st.dt) st.tcur = st.tend;
    st.istep = 1;
    // No step at all, too many, or step results beyond the room for them.
    status = 0;
    check_step_plan(st, status);
    if (status > 0) return status;
    st.icase = st.ncase;
    clear(st.disp_vectors);
    clear(st.disp_iter);
    clear(st.disp_step);
    report_unplaced_nodal_loads(st);
    report_unplaced_point_actions(st);
    return 0;
}

void write_step_head(RunState& st) {
    fio::Writer(st.units, kUnitMessages)
        .end()
        .lit("step ")
        .i(st.istep, 5)
        .lit("   tcur   =")
        .f(st.tcur, 10, 4)
        .lit("  dt = ")
        .f(st.dtcur, 10, 4);
}

// The norms of one iteration, each split into the translations and the
// rotations (split_dof_norms): the loads, the correction and the increment of
// the step so far.
struct IterationNorms {
    double rhs = 0, rrhs = 0;  // loads
    double d = 0, r = 0;       // correction
    double un = 0, ru = 0;     // increment of the step
    double err1() const { return un != 0.0 ? d / un : d; }
    double err2() const { return ru != 0.0 ? r / ru : r; }
};

void write_iteration_line(RunState& st, const IterationNorms& n) {
    fio::Units& u = st.units;
    fio::Writer(u, kUnitMessages).lit("Current increment = ").e(st.dtcur, 12, 4);
    fio::Writer(u, kUnitMessages)
        .lit("iter =")
        .i(st.iter, 5)
        .lit(" err1 =")
        .e(n.err1(), 11, 4)
        .lit(" d = ")
        .e(n.d, 11, 4)
        .lit(" u =")
        .e(n.un, 11, 4)
        .lit(" rhs = ")
        .e(n.rhs, 11, 4)
        .end()
        .lit("      ")
        .x(5)
        .lit(" err2 =")
        .e(n.err2(), 11, 4)
        .lit(" r = ")
        .e(n.r, 11, 4)
        .lit(" ru=")
        .e(n.ru, 11, 4)
        .lit(" rrhs= ")
        .e(n.rrhs, 11, 4);
}

// What a frontal solution asks of the run's solver.  The first of the run
// (no iteration counted yet) eliminates.  Without a soil that is updated
// (Mindlin, Vlasov) and without nonlinear springs the element matrices come
// from the input alone, so every later solution uses the factor of the
// first.  Otherwise the soil stiffness or the springs' tangents change from
// one iteration to the next, by amounts that may vanish as they settle: the
// matrices tell.
FrontalCall frontal_call(const RunState& st) {
    if (st.figures.iterations == 0) return FrontalCall::Factorize;
    if (st.isoil == 0 && st.nnlin == 0) return FrontalCall::WithFactor;
    return FrontalCall::Decide;
}

// The frontal solution of one iteration: the correction into st.disp_iter,
// the support forces into N1.
int solve_correction(RunState& st, const StepVectors& v) {
    int status = 0;
    const auto solve_start = std::chrono::steady_clock::now();
    frontal_solve(st, frontal_call(st), v.element_residuals, st.disp_iter.data(), v.nodal_residuals, status);
    st.figures.solve_seconds += seconds_since(solve_start);
    st.figures.elimination_seconds += st.frontal.last_stats().elimination_seconds;
    if (st.frontal.last_stats().refinement_steps > 0) ++st.figures.refined_solutions;
    ++st.figures.iterations;
    return status == kStatusStopped ? stopped(st) : status;
}

// One iteration of the step: the element matrices and vectors, the loads of
// the current time, the frontal solution, the norms of the correction, the
// soil update and the convergence test; `end` says what follows.
int solve_iteration(RunState& st, const StepVectors& v, IterationEnd& end) {
    const int ntotv = st.ntotv;
    int status = 0;
    if (stop_requested()) return stopped(st);
    clear(st.element_loads);
    clear(st.element_loads_b);
    clear(st.disp_iter);
    clear(st.nodal_v);
    clear(st.nodal_w);

    form_element_matrices(st, status);
    if (status > 0) {
        st.units.close(kUnitCut, fio::CloseStatus::Delete);
        return status;
    }
    clear(st.nodal_n1);
    clear(st.nodal_n2);
    assemble_nodal_vector(st, v.element_residuals, v.nodal_residuals);
    assemble_nodal_vector(st, v.element_plate_residuals, v.nodal_plate_residuals);
    for (int i = 0; i < ntotv; ++i) v.soil_forces[i] = v.nodal_residuals[i] - v.nodal_plate_residuals[i];

    const double f = st.tend == st.tini ? 1.0 : (st.tcur - st.tini) / (st.tend - st.tini);
    add_current_loads(st, f, status);
    if (status > 0) return status;
    clear(st.nodal_n1);
    assemble_nodal_vector(st, v.element_residuals, v.nodal_residuals);
    IterationNorms n;
    split_dof_norms(v.nodal_residuals, n.rhs, n.rrhs, ntotv);

    clear(st.nodal_n1);
    status = solve_correction(st, v);
    if (status > 0) return status;
    double* const di = st.disp_iter.data();
    double* const ds = st.disp_step.data();
    for (int i = 0; i < ntotv; ++i) ds[i] += di[i];

    split_dof_norms(di, n.d, n.r, ntotv);
    split_dof_norms(ds, n.un, n.ru, ntotv);
    ++st.iter;
    write_iteration_line(st, n);

    // Soil update; the Mindlin stiffness has its own convergence test.
    bool c0 = true;
    const auto soil_start = std::chrono::steady_clock::now();
    if (st.isoil == 2) {
        vlasov_update(st);
    } else if (st.isoil == 1) {
        // --- Mindlin soil: the update of the iteration.
        mindlin_update(st, c0, status);
        if (status > 0) return status;
    }
    st.figures.soil_seconds += seconds_since(soil_start);

    end = IterationEnd::Again;
    if (st.iter == 1) return 0;
    const bool c1 = n.err1() <= st.toler || n.d <= kConvergenceFloor || n.un <= kConvergenceFloor;
    const bool c2 = n.err2() <= st.toler || n.r <= kConvergenceFloor || n.ru <= kConvergenceFloor;
    if (c0 && c1 && c2)
        end = IterationEnd::Converged;
    else if (st.iter >= st.maxiter)
        end = IterationEnd::Unsettled;
    return 0;
}

// The converged step: its increment into the totals, the reactions, the
// listing, the soil results and stresses written, then the next step.
int accept_step(RunState& st, const StepVectors& v) {
    const int ntotv = st.ntotv;
    const double* const ds = st.disp_step.data();
    for (int i = 0; i < ntotv; ++i) {
        v.total[i] += ds[i];
        v.support_forces[i] += v.nodal_residuals[i];
        v.soil_forces[i] += v.nodal_residuals[i];
    }
    if (!has_springs(st)) clear(st.nodal_w);
    nodal_to_element_average(st, st.element_areas.data(), st.element_soil_pressure.data(), v.soil_forces,
                             st.nodal_soil_results.data(), st.nonlinear_forces.data());
    write_step_listing(st);
    if (has_springs(st))
        nodal_to_element_average(st, st.element_areas.data(), st.element_soil_pressure.data(), v.soil_forces,
                                 st.nodal_soil_results.data(), st.nonlinear_forces.data());
    // --- Mindlin soil: the contact results of the step.
    if (st.isoil == 1) mindlin_contact_results(st);
    std::copy(v.support_forces, v.support_forces + ntotv, st.nodal_reactions.data());
    std::copy(v.soil_forces, v.soil_forces + ntotv, st.soil_reactions.data());
    const int status = plate_stresses(st);
    if (status > 0) return status;
    if (st.converged_step_hook != nullptr) st.converged_step_hook(st, st.converged_step_data);

    st.tcur = next_step_time(st.tcur, st.dtcur, st.dt, st.tend);
    ++st.istep;
    if (st.isoil == 1)
        std::copy(st.soil_stiffness.vec().begin(), st.soil_stiffness.vec().end(),
                  st.soil_stiffness_restart.vec().begin());
    return 0;
}

// No convergence: the increment is retried with half its length from the
// soil state of the last converged step.  `stopped_short` is set, and the
// steps end, when the half falls below dtmin or needs more increments than
// there is room for.
int halve_increment(RunState& st, bool& stopped_short) {
    // --- Mindlin soil: the nodes that did not settle.
    if (st.isoil == 1) mindlin_report_unsettled(st);
    st.dtcur *= 0.5;
    if (st.dtcur < st.dtmin) {
        message_line(st, "error, required increment less than minimun specified");
        stopped_short = true;
        return 0;
    }
    st.tcur -= st.dtcur;
    if (halving_exceeds_increments(st)) {
        stopped_short = true;
        return 0;
    }
    if (st.isoil == 1) {
        std::copy(st.soil_stiffness_restart.vec().begin(), st.soil_stiffness_restart.vec().end(),
                  st.soil_stiffness.vec().begin());
        // --- Mindlin soil: the springs of the restored stiffness.
        mindlin_store_springs(st);
    }
    return 0;
}

// The time steps up to the end time, each iterated to convergence or halved;
// `stopped_short` is set when the increment could not reach the end time.
int time_steps(RunState& st, bool& stopped_short) {
    const StepVectors v(st);
    while (st.tcur <= st.tend) {
        st.iter = 0;
        write_step_head(st);
        clear(st.disp_step);
        IterationEnd end = IterationEnd::Again;
        while (end == IterationEnd::Again)
            if (const int status = solve_iteration(st, v, end); status > 0) return status;
        const int status = end == IterationEnd::Converged ? accept_step(st, v) : halve_increment(st, stopped_short);
        if (status > 0 || stopped_short) return status;
    }
    return 0;
}

}  // namespace

double next_step_time(double tcur, double dtcur, double dt, double tend) {
    const double tol = kTimeRoundOff * dt;
    const double t = tcur + dtcur;
    if (!(tcur < tend - tol)) return std::max(t, std::nextafter(tend, HUGE_VAL));
    return t > tend || std::fabs(t - tend) <= tol ? tend : t;
}

void run_analysis(RunState& st, int& status) {
    st.figures = RunFigures{};
    st.frontal.release();
    status = start(st, status);
    // A run whose increment could not reach the end time ends as a complete
    // one (the steps done so far stand, the cuts are made, the files close),
    // but the caller learns that the end time was not reached.
    bool stopped_short = false;
    if (status == 0) status = time_steps(st, stopped_short);
    if (status == 0) {
        st.units.write_line(kUnitResults, "END_STEP_DATA");
        section_cuts(st, status);
    }
    st.frontal.release();
    end_run(st, status);
    if (status == 0 && stopped_short) status = kStatusIncrement;
}

}  // namespace parvane
