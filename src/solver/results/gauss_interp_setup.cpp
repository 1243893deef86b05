#include "solver/results/gauss_interp_setup.h"

#include "solver/elements/interpolation.h"

namespace parvane {

void stress_interp_setup(RunState& st) {
    const int npoin = st.npoin > 0 ? st.npoin : 0;
    st.node_element_list.clear(npoin);
    st.node_element_pairs.clear(npoin);
    for (int e = 1; e <= st.nelem; ++e)
        for (int k = 1; k <= st.nnode; ++k) {
            const int p = st.lnods(k, e);
            if (p < 1 || p > npoin) continue;
            st.node_element_list.add(p, e);
            st.node_element_pairs.add(p, e, k);
        }
}

void element_point_coordinates(const RunState& st, ShapeCommon& sc, int e, double xi, double eta, double xyz[3]) {
    const int nshape = st.nnode == 8 || st.nnode == 9 ? st.nnode : 4;
    shape_functions(sc, xi, eta, nshape);
    xyz[0] = xyz[1] = xyz[2] = 0.0;
    for (int k = 1; k <= nshape && k <= st.nnode; ++k) {
        const int p = st.lnods(k, e);
        if (p < 1 || p > st.npoin) continue;
        for (int c = 0; c < 3; ++c) xyz[c] += sc.N(k) * st.coord(c + 1, p);
    }
}

void stress_interpolation(RunState& st) {
    const int ng = st.ngaus;
    const int ngsq = ng > 0 ? ng * ng : 0;
    const int nelem = st.nelem > 0 ? st.nelem : 0;
    if (st.gauss_point_positions.size() != static_cast<std::size_t>(2) * ngsq * nelem)
        st.gauss_point_positions.allocate(2, ngsq, nelem);
    else
        st.gauss_point_positions.fill(0.0);
    if (st.first_gauss_point.size() != static_cast<std::size_t>(nelem)) st.first_gauss_point.allocate(nelem);

    double pos[4] = {0, 0, 0, 0}, wts[4] = {0, 0, 0, 0};
    gauss_rule(ng, pos, wts);
    ShapeCommon sc;
    for (int e = 1; e <= nelem; ++e) {
        st.first_gauss_point(e) = (e - 1) * ngsq + 1;
        if (ngsq == 0 || (ng < 1 || ng > 3)) continue;
        int g = 0;
        for (int i = 0; i < ng; ++i)
            for (int j = 0; j < ng; ++j) {
                ++g;
                double xyz[3];
                element_point_coordinates(st, sc, e, pos[i], pos[j], xyz);
                st.gauss_point_positions(1, g, e) = xyz[1];
                st.gauss_point_positions(2, g, e) = xyz[2];
            }
    }
}

}  // namespace parvane
