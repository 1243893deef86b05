#include "solver/input/locate.h"

#include <algorithm>
#include <cmath>

#include "solver/elements/interpolation.h"

namespace parvane {

namespace {
constexpr double kBoundSlack = 1.0e-9;
}

void locate_point_loads(RunState& st, int count, FArray<double>& positions, FArray<int>& elements) {
    if (count <= 0) return;
    for (int i = 1; i <= count; ++i) elements(i) = 0;
    const int nnode = st.nnode < 0 ? 0 : (st.nnode > 9 ? 9 : st.nnode);
    const int ndime = st.ndime < 1 ? 3 : (st.ndime > 3 ? 3 : st.ndime);
    ShapeCommon& sc = st.shape_common;
    int located = 0;
    for (int e = 1; e <= st.nelem; ++e) {
        for (int a = 1; a <= nnode; ++a) {
            const int p = st.lnods(a, e);
            for (int c = 1; c <= 3; ++c)
                sc.pcoord(c, a) = (c <= ndime && p >= 1 && p <= st.npoin) ? st.coord(c, p) : 0.0;
        }
        for (int i = 1; i <= count; ++i) {
            if (elements(i) != 0) continue;
            double target[3] = {0.0, 0.0, 0.0};
            for (int c = 1; c <= ndime; ++c) target[c - 1] = positions(c, i);
            double s = 0.0, t = 0.0;
            if (inverse_map(st, st.nnode, target, s, t) != 1) continue;
            // A point on a side or at a node comes out a rounding error beyond the
            // bound; it belongs to the element all the same.
            if (std::fabs(s) <= 1.0 + kBoundSlack && std::fabs(t) <= 1.0 + kBoundSlack) {
                elements(i) = e;
                positions(1, i) = std::clamp(s, -1.0, 1.0);
                positions(2, i) = std::clamp(t, -1.0, 1.0);
                ++located;
            }
        }
        if (located >= count) break;
    }
}

}  // namespace parvane
