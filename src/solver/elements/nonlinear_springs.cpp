#include "solver/elements/nonlinear_springs.h"

#include <cmath>

#include "solver/elements/springs.h"
#include "solver/run/state.h"

namespace parvane {

int evaluate_profile(const RunState& st, int m, double d, double& tangent, double& force) {
    const FArray<double>& table = st.nonlinear_profiles;
    const int slots = st.mxpts + 1;
    if (m < 1 || m > st.nprof || table.dim2() < static_cast<std::size_t>(slots) ||
        table.dim3() < static_cast<std::size_t>(m))
        return -1;
    const double stored = table(1, slots, m);
    int np = std::isfinite(stored) ? static_cast<int>(stored) : 0;
    if (np > st.mxpts) np = st.mxpts;
    for (int s = 1; s <= np - 1; ++s) {
        const double d0 = table(1, s, m), d1 = table(1, s + 1, m);
        if (!(d1 - d0 > profile_segment_floor)) continue;
        if (!(d0 <= d && d <= d1)) continue;
        const double f0 = table(2, s, m), f1 = table(2, s + 1, m);
        tangent = (f1 - f0) / (d1 - d0);
        force = f0 + tangent * (d - d0);
        return 0;
    }
    return -1;
}

void nonlinear_spring_force(RunState& st, int ielem, double* ke, double* rhs, int& flag) {
    constexpr int ld = 54;
    flag = 0;
    for_each_unmarked_record(st, ielem, st.nonlinear_nodes, st.nnlin, st.nonlinear_index, [&](int a, int n, int i) {
        for (int j = 1; j <= 6; ++j) {
            const int m = st.nonlinear_profile_index(i, j);
            if (m <= 0) continue;
            const int g = (n - 1) * 6 + j;
            const double d = st.disp_vectors(g, 1) + st.disp_step(g);
            double tangent = 0.0, force = 0.0;
            if (evaluate_profile(st, m, d, tangent, force) != 0) {
                flag = -1;
                fio::Writer(st.units, kUnitMessages).list({"     "});
                fio::Writer(st.units, kUnitMessages)
                    .x(1)
                    .lit("Error: Can not find spring force from given nonlinear profile for plate displacement = ")
                    .e(d, 12, 5)
                    .lit(" at node")
                    .i(n, 5);
                return false;
            }
            const int p = (a - 1) * 6 + j;
            ke[(p - 1) * ld + (p - 1)] += tangent;
            rhs[p - 1] -= force;
            if (j == 1 && static_cast<std::size_t>(n) <= st.nonlinear_forces.size()) st.nonlinear_forces(n) = force;
        }
        return true;
    });
}

}  // namespace parvane
