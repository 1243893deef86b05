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

ConvergedStepHook g_hook = nullptr;
RunFigures g_figures;

double seconds_since(std::chrono::steady_clock::time_point t0) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}
void* g_hook_data = nullptr;

void clear(FArray<double>& a) { a.fill(0.0); }

bool has_springs(const RunState& st) {
    return st.nnsti > 0 || st.ndsti > 0 || st.ncsti > 0 || st.nedsti > 0 || st.nctsti > 0 || st.nnlin > 0;
}

void message_line(RunState& st, const std::string& text) { fio::Writer(st.units, kUnitMessages).a(text); }

void finish(RunState& st, int& status) {
    st.frontal.release();
    end_run(st, status);
}

// Ends a run its caller asked to stop: the steps written so far stand, the
// message file says why the run ended.
void stop_run(RunState& st, int& status) {
    message_line(st, " *** analysis stopped on request: not a finished run");
    status = kStatusStopped;
    finish(st, status);
}

}  // namespace

void set_converged_step_hook(ConvergedStepHook hook, void* data) {
    g_hook = hook;
    g_hook_data = data;
}

double next_step_time(double tcur, double dtcur, double dt, double tend) {
    const double tol = kTimeRoundOff * dt;
    const double t = tcur + dtcur;
    if (!(tcur < tend - tol)) return std::max(t, std::nextafter(tend, HUGE_VAL));
    return t > tend || std::fabs(t - tend) <= tol ? tend : t;
}

const RunFigures& last_run_figures() { return g_figures; }

void run_analysis(RunState& st, int& status) {
    g_figures = RunFigures{};
    st.frontal.release();
    start_run(st, status);
    if (status <= 0) read_head(st, status);
    if (status <= 0) check_sizing_counts(st, status);
    if (status <= 0) {
        set_fixed_values(st);
        allocate_work_arrays(st, status);
    }
    if (status <= 0) read_input(st, status);
    if (status > 0) {
        finish(st, status);
        return;
    }
    status = 0;

    stress_interp_setup(st);
    stress_interpolation(st);

    fio::Units& u = st.units;

    // Soil set-up (the soil values were checked with the input): the initial
    // nodal soil stiffness and the corners of the Vlasov boundary.
    if (st.isoil == 1 || st.isoil == 2) {
        st.soil_stiffness.fill(st.ksoil0);
        st.soil_stiffness_new.fill(st.ksoil0);
        st.soil_stiffness_restart.fill(st.ksoil0);
    }
    if (st.isoil == 1) mindlin_start(st);
    if (st.isoil == 2) vlasov_corners(st);

    // Time-stepping values that could not end.
    if (!(st.dt > 0.0) || !(st.dtmin > 0.0)) {
        message_line(st, " error, time increment and smallest increment must be greater than zero");
        status = kStatusInput;
        finish(st, status);
        return;
    }

    st.dtcur = st.dt;
    st.tcur = st.tini + st.dt;
    if (std::fabs(st.tcur - st.tend) <= kTimeRoundOff * st.dt) st.tcur = st.tend;
    st.istep = 1;
    // No step at all, too many, or step results beyond the room for them.
    check_step_plan(st, status);
    if (status > 0) {
        finish(st, status);
        return;
    }
    st.icase = st.ncase;
    clear(st.disp_vectors);
    clear(st.disp_iter);
    clear(st.disp_step);
    report_unplaced_nodal_loads(st);
    report_unplaced_point_actions(st);

    const int ntotv = st.ntotv;
    double* const A = st.element_loads.data();
    double* const B = st.element_loads_b.data();
    double* const N1 = st.nodal_n1.data();
    double* const N2 = st.nodal_n2.data();
    double* const V = st.nodal_v.data();
    double* const W = st.nodal_w.data();
    double* const total = st.disp_vectors.data();

    bool stopped_short = false;
    while (st.tcur <= st.tend) {
        st.iter = 0;
        fio::Writer(u, kUnitMessages)
            .end()
            .lit("step ")
            .i(st.istep, 5)
            .lit("   tcur   =")
            .f(st.tcur, 10, 4)
            .lit("  dt = ")
            .f(st.dtcur, 10, 4);
        clear(st.disp_step);

        bool converged = false;
        for (;;) {
            if (stop_requested()) {
                stop_run(st, status);
                return;
            }
            clear(st.element_loads);
            clear(st.element_loads_b);
            clear(st.disp_iter);
            clear(st.nodal_v);
            clear(st.nodal_w);

            form_element_matrices(st, status);
            if (status > 0) {
                u.close(kUnitCut, fio::CloseStatus::Delete);
                finish(st, status);
                return;
            }
            clear(st.nodal_n1);
            clear(st.nodal_n2);
            assemble_nodal_vector(st, A, N1);
            assemble_nodal_vector(st, B, N2);
            for (int i = 0; i < ntotv; ++i) W[i] = N1[i] - N2[i];

            const double f = st.tend == st.tini ? 1.0 : (st.tcur - st.tini) / (st.tend - st.tini);
            add_current_loads(st, f, status);
            if (status > 0) {
                finish(st, status);
                return;
            }
            clear(st.nodal_n1);
            assemble_nodal_vector(st, A, N1);
            double rhs = 0, rrhs = 0;
            split_dof_norms(N1, rhs, rrhs, ntotv);

            clear(st.nodal_n1);
            const auto solve_start = std::chrono::steady_clock::now();
            frontal_solve(st, st.fixval.data(), st.disp_iter.data(), A, st.fixnod.data(), N1, st.estiff.data(),
                          st.fixcod.data(), st.lnods.data(), status);
            g_figures.solve_seconds += seconds_since(solve_start);
            g_figures.elimination_seconds += st.frontal.last_stats().elimination_seconds;
            if (st.frontal.last_stats().refinement_steps > 0) ++g_figures.refined_solutions;
            ++g_figures.iterations;
            if (status == kStatusStopped) {
                stop_run(st, status);
                return;
            }
            if (status > 0) {
                finish(st, status);
                return;
            }
            double* const di = st.disp_iter.data();
            double* const ds = st.disp_step.data();
            for (int i = 0; i < ntotv; ++i) ds[i] += di[i];

            double d = 0, r = 0, un = 0, ru = 0;
            split_dof_norms(di, d, r, ntotv);
            split_dof_norms(ds, un, ru, ntotv);
            ++st.iter;
            const double err1 = un != 0.0 ? d / un : d;
            const double err2 = ru != 0.0 ? r / ru : r;
            fio::Writer(u, kUnitMessages).lit("Current increment = ").e(st.dtcur, 12, 4);
            fio::Writer(u, kUnitMessages)
                .lit("iter =")
                .i(st.iter, 5)
                .lit(" err1 =")
                .e(err1, 11, 4)
                .lit(" d = ")
                .e(d, 11, 4)
                .lit(" u =")
                .e(un, 11, 4)
                .lit(" rhs = ")
                .e(rhs, 11, 4)
                .end()
                .lit("      ")
                .x(5)
                .lit(" err2 =")
                .e(err2, 11, 4)
                .lit(" r = ")
                .e(r, 11, 4)
                .lit(" ru=")
                .e(ru, 11, 4)
                .lit(" rrhs= ")
                .e(rrhs, 11, 4);

            // Soil update; the Mindlin stiffness has its own convergence test.
            bool c0 = true;
            const auto soil_start = std::chrono::steady_clock::now();
            if (st.isoil == 2) {
                vlasov_update(st);
            } else if (st.isoil == 1) {
                mindlin_update(st, c0, status);
                if (status > 0) {
                    finish(st, status);
                    return;
                }
            }
            g_figures.soil_seconds += seconds_since(soil_start);

            if (st.iter == 1) continue;
            const bool c1 = err1 <= st.toler || d <= kConvergenceFloor || un <= kConvergenceFloor;
            const bool c2 = err2 <= st.toler || r <= kConvergenceFloor || ru <= kConvergenceFloor;
            if (c0 && c1 && c2) {
                converged = true;
                break;
            }
            if (st.iter < st.maxiter) continue;
            break;
        }

        if (converged) {
            const double* const ds = st.disp_step.data();
            for (int i = 0; i < ntotv; ++i) {
                total[i] += ds[i];
                V[i] += N1[i];
                W[i] += N1[i];
            }
            if (!has_springs(st)) clear(st.nodal_w);
            nodal_to_element_average(st, st.element_areas.data(), st.element_soil_pressure.data(), W,
                                     st.nodal_soil_results.data(), st.nonlinear_forces.data());
            write_step_listing(st);
            if (has_springs(st))
                nodal_to_element_average(st, st.element_areas.data(), st.element_soil_pressure.data(), W,
                                         st.nodal_soil_results.data(), st.nonlinear_forces.data());
            if (st.isoil == 1) mindlin_contact_results(st);
            std::copy(V, V + ntotv, st.nodal_reactions.data());
            std::copy(W, W + ntotv, st.soil_reactions.data());
            status = plate_stresses(st);
            if (status > 0) {
                finish(st, status);
                return;
            }
            if (g_hook != nullptr) g_hook(st, g_hook_data);

            st.tcur = next_step_time(st.tcur, st.dtcur, st.dt, st.tend);
            ++st.istep;
            if (st.isoil == 1) std::copy(st.soil_stiffness.vec().begin(), st.soil_stiffness.vec().end(),
                                         st.soil_stiffness_restart.vec().begin());
            continue;
        }

        // No convergence: the increment is retried with half its length.
        if (st.isoil == 1) mindlin_report_unsettled(st);
        st.dtcur *= 0.5;
        if (st.dtcur < st.dtmin) {
            message_line(st, "error, required increment less than minimun specified");
            stopped_short = true;
            break;
        }
        st.tcur -= st.dtcur;
        if (halving_exceeds_increments(st)) {
            stopped_short = true;
            break;
        }
        if (st.isoil == 1) {
            std::copy(st.soil_stiffness_restart.vec().begin(), st.soil_stiffness_restart.vec().end(),
                      st.soil_stiffness.vec().begin());
            mindlin_store_springs(st);
        }
    }

    u.write_line(kUnitResults, "END_STEP_DATA");
    section_cuts(st, status);
    finish(st, status);
    // The steps done so far stand and the files close as after a complete
    // run, but the caller learns that the end time was not reached.
    if (status == 0 && stopped_short) status = kStatusIncrement;
}

}  // namespace parvane
