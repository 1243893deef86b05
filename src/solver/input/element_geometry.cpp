#include "solver/input/element_geometry.h"

#include <cmath>
#include <cstdlib>
#include <string>

#include "solver/elements/interpolation.h"
#include "solver/input/read_input.h"

namespace parvane {

namespace {

// Why element e cannot be integrated; "" when it can.
std::string geometry_fault(RunState& st, int e) {
    const int n = st.nnode;
    double y[9] = {}, z[9] = {};
    int ids[9] = {};
    for (int a = 1; a <= n; ++a) {
        const int p = std::abs(st.lnods(a, e));
        if (p < 1 || p > st.npoin) return {};  // counted by check2
        y[a - 1] = st.coord(2, p);
        z[a - 1] = -st.coord(3, p);  // the plate frame is (y, -z)
        ids[a - 1] = st.node_ids(p);
    }
    // Corners that run clockwise (or enclose nothing) are left to the
    // Jacobian of the element loop, which halts the run on them.
    const double area2 = (y[0] - y[2]) * (z[1] - z[3]) - (y[1] - y[3]) * (z[0] - z[2]);
    if (!(area2 > 0.0)) return {};
    for (int i = 0; i < 4; ++i) {
        const int h = (i + 3) % 4, j = (i + 1) % 4;
        const double ay = y[i] - y[h], az = z[i] - z[h];
        const double by = y[j] - y[i], bz = z[j] - z[i];
        const double cross = ay * bz - az * by;
        // A turn to the right is an inner angle of more than 180 degrees; no
        // turn at all (three corners on a line) is refused for the 4-node
        // element, whose sides are straight. Mid-side nodes can shape an element
        // around a straight corner: the Jacobian at the Gauss points decides.
        const double tolerance = 1e-10 * std::hypot(ay, az) * std::hypot(by, bz);
        if (n == 4 ? !(cross > tolerance) : !(cross >= -tolerance))
            return "corner angle of 180 degrees or more at node " + std::to_string(ids[i]);
    }
    const GaussCommon& g = st.gauss_common;
    ShapeCommon sc;
    const struct {
        int count;
        const double* positions;
    } rules[2] = {{st.ngaus, g.gauss_positions.data()}, {st.ngaus2, g.gauss_positions2.data()}};
    for (const auto& rule : rules)
        for (int i = 0; i < rule.count && i < 4; ++i)
            for (int j = 0; j < rule.count && j < 4; ++j) {
                shape_functions(sc, rule.positions[i], rule.positions[j], n);
                double ys = 0, yt = 0, zs = 0, zt = 0;
                for (int a = 1; a <= n; ++a) {
                    ys += sc.dN(1, a) * y[a - 1];
                    yt += sc.dN(2, a) * y[a - 1];
                    zs += sc.dN(1, a) * z[a - 1];
                    zt += sc.dN(2, a) * z[a - 1];
                }
                if (!(ys * zt - yt * zs > 0.0))
                    return "Jacobian not positive at an integration point (zero or negative area)";
            }
    return {};
}

}  // namespace

void check_element_geometry(RunState& st, int& status) {
    if (st.nnode != 4 && st.nnode != 8 && st.nnode != 9) return;
    for (int e = 1; e <= st.nelem; ++e) {
        const std::string fault = geometry_fault(st, e);
        if (!fault.empty())
            input_error(st, status, "element geometry", "element " + std::to_string(st.element_ids(e)) + ": " + fault);
    }
}

}  // namespace parvane
