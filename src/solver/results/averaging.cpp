#include "solver/results/averaging.h"

#include "solver/run/state.h"

namespace parvane {

void nodal_to_element_average(const RunState& st, const double* w, double* e, const double* disp, double* n,
                              const double* c) {
    const NodeElementList& list = st.node_element_list;
    const int listed = list.npoin();
    auto count_of = [&](int p) { return p >= 1 && p <= listed ? list.count(p) : 0; };
    for (int j = 1; j <= st.nelem; ++j) {
        double s = 0.0;
        for (int a = 1; a <= st.nnode; ++a) {
            const int p = st.lnods(a, j);
            if (p < 1 || p > st.npoin) continue;
            const int m = count_of(p);
            if (m <= 0) continue;
            s += (disp[(p - 1) * 6] + c[p - 1]) / m;
        }
        e[j - 1] = w[j - 1] != 0.0 ? s / w[j - 1] : 0.0;
    }
    for (int p = 1; p <= st.npoin; ++p) {
        const int m = count_of(p);
        double s = 0.0;
        int used = 0;
        for (int k = 1; k <= m; ++k) {
            const int j = list.element(p, k);
            if (j < 1 || j > st.nelem) continue;
            s += e[j - 1];
            ++used;
        }
        n[p - 1] = used > 0 ? s / used : 0.0;
    }
}

}  // namespace parvane
