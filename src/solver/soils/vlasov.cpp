#include "solver/soils/vlasov.h"

#include <cmath>
#include <string>
#include <vector>

#include "platform/fio/fio.h"
#include "solver/elements/element_matrices.h"
#include "solver/elements/interpolation.h"
#include "solver/run/run_files.h"
#include "solver/elements/springs.h"
#include "solver/run/state.h"

namespace parvane {

namespace {

constexpr double kDirection = 1.0e-5;
// Below this gamma k and 2t are taken from series (see vlasov_k_2t).
constexpr double kSeriesGamma = 0.1;

// Total x deflection of node p.
double deflection(const RunState& st, int p) {
    const int g = (p - 1) * 6 + 1;
    return st.disp_vectors(g, 1) + st.disp_step(g);
}

void find_corners(RunState& st, bool quadratic) {
    for (auto& entry : st.vlasov_corner_table) entry = {0, 0};
    std::vector<int> counter(static_cast<std::size_t>(st.npoin > 0 ? st.npoin : 0) + 1, 0);
    std::size_t next = 0;
    for (int r = 1; r <= st.nvedge; ++r) {
        const int e = st.vlasov_edges(1, r), s = st.vlasov_edges(2, r);
        if (e < 1 || e > st.nelem || s < 1 || s > 4) continue;
        const int c1 = st.lnods(s, e), c2 = st.lnods(s % 4 + 1, e);
        const double dy = std::fabs(st.coord(2, c1) - st.coord(2, c2));
        const double dz = std::fabs(st.coord(3, c1) - st.coord(3, c2));
        int code = 0;
        if (dy > kDirection && dz < kDirection)
            code = 1;
        else if (dy < kDirection && dz > kDirection)
            code = 2;
        else if (dy > kDirection && dz > kDirection)
            code = 5;
        int nodes[3] = {0, 0, 0};
        int count = 0;
        nodes[count++] = c1;
        if (quadratic && st.nnode >= 8) nodes[count++] = st.lnods(s + 4, e);
        nodes[count++] = c2;
        for (int i = 0; i < count; ++i) {
            const int p = nodes[i];
            if (p < 1 || p > st.npoin) continue;
            int& n = counter[static_cast<std::size_t>(p)];
            const int before = n;
            n += code;
            // The first four corners are kept; the table has no room for more.
            if (n == 3 && before != 3 && next < st.vlasov_corner_table.size()) st.vlasov_corner_table[next++] = {p, e};
        }
    }
}

void soil_error(RunState& st, const std::string& text) { report_run_error(st, "*** error in soil values: " + text); }

}  // namespace

void vlasov_k_2t(double gamma, double et, double eb, double nu, double h, double& k, double& t2) {
    // The two formulas divided through by sinh(gamma)^2, with
    //   q = gamma^2 / sinh^2,  gc = gamma coth,
    //   a = 1 / gamma^2 - 1 / sinh^2,  b = coth / gamma - 1 / sinh^2:
    //   k  = [E_t (4 q + 4 gc) + (E_b - E_t)(2 q + 2)] (1 - nu) / (8 H (1 + nu)(1 - 2 nu))
    //   2t = H [4 E_t b + 2 (E_b - E_t) a] / (16 (1 + nu)).
    // a and b are differences of nearly equal terms for a small gamma (the
    // plain formulas lose every digit of 2t below gamma 1e-5), so there they
    // come from their series; gamma 0 gives the limits of k and 2t.
    const double g = std::fabs(gamma), g2 = g * g;
    double q, gc, a, b;
    if (g < kSeriesGamma) {
        a = 1.0 / 3.0 + g2 * (-1.0 / 15.0 + g2 * (2.0 / 189.0 + g2 * (-1.0 / 675.0 + g2 * (2.0 / 10395.0))));
        b = 2.0 / 3.0 + g2 * (-4.0 / 45.0 + g2 * (4.0 / 315.0 + g2 * (-8.0 / 4725.0 + g2 * (4.0 / 18711.0))));
        q = 1.0 - g2 * a;
        gc = q + g2 * b;
    } else {
        const double s = std::sinh(g), th = std::tanh(g);
        const double inv_s2 = 1.0 / (s * s);  // 0 once sinh^2 overflows
        q = g2 * inv_s2;
        gc = g / th;
        a = 1.0 / g2 - inv_s2;
        b = 1.0 / (g * th) - inv_s2;
    }
    k = (et * (4.0 * q + 4.0 * gc) + (eb - et) * (2.0 * q + 2.0)) * (1.0 - nu) /
        (8.0 * h * (1.0 + nu) * (1.0 - 2.0 * nu));
    t2 = h * (4.0 * et * b + 2.0 * (eb - et) * a) / (16.0 * (1.0 + nu));
}

void vlasov_parameters(RunState& st) {
    vlasov_k_2t(st.gamma0, st.esoil, st.ebot, st.psoil, st.hsoil, st.vlasov_k, st.vlasov_2t);
    fio::Writer(st.units, kUnitMessages).list({""});
    fio::Writer(st.units, kUnitMessages)
        .lit("gamma = ")
        .f(st.gamma0, 10, 6)
        .lit(", k = ")
        .e(st.vlasov_k, 12, 4)
        .lit(", 2t = ")
        .e(st.vlasov_2t, 12, 4);
}

void vlasov_corners_linear(RunState& st) { find_corners(st, false); }
void vlasov_corners_quadratic(RunState& st) { find_corners(st, true); }

void vlasov_corners(RunState& st) {
    if (st.nnode == 4)
        vlasov_corners_linear(st);
    else if (st.nnode == 8 || st.nnode == 9)
        vlasov_corners_quadratic(st);
}

void vlasov_edge_terms(RunState& st, int ielem, double c, double* ke, double* rhs) {
    const bool quadratic = st.nnode > 4;
    auto enter = [&](int a, double s) {
        const int p = st.lnods(a, ielem);
        enter_spring_term(st, ke, rhs, (a - 1) * 6 + 1, (p - 1) * 6 + 1, s);
    };
    for (int r = 1; r <= st.nvedge; ++r) {
        if (st.vlasov_edges(1, r) != ielem) continue;
        const int s = st.vlasov_edges(2, r);
        if (s < 1 || s > 4) continue;
        const int a1 = s, a2 = s % 4 + 1;
        const int p1 = st.lnods(a1, ielem), p2 = st.lnods(a2, ielem);
        const double length = std::hypot(st.coord(2, p1) - st.coord(2, p2), st.coord(3, p1) - st.coord(3, p2));
        // c L over the side, spread as the side's shape functions integrate:
        // L/2 at each end of a straight side, L/6, 2L/3, L/6 along a quadratic one.
        const double end_share = quadratic ? length / 6.0 : length / 2.0;
        enter(a1, c * end_share);
        if (quadratic) enter(s + 4, c * length * 2.0 / 3.0);
        enter(a2, c * end_share);
    }
    for (const auto& entry : st.vlasov_corner_table) {
        if (entry[1] == 0 || entry[1] != ielem) continue;
        for (int a = 1; a <= st.nnode; ++a)
            if (st.lnods(a, ielem) == entry[0]) enter(a, 0.75 * st.vlasov_2t);
    }
}

void vlasov_update(RunState& st) {
    const int nnode = st.nnode;
    ShapeCommon& sc = st.shape_common;
    const GaussCommon& gc = st.gauss_common;
    double area_integral = 0.0, slope_integral = 0.0;

    // Over the slab: w^2 and |grad w|^2 with the second rule.
    for (int e = 1; e <= st.nelem; ++e) {
        load_element_coordinates(st, e);
        double w_node[9] = {};
        for (int a = 1; a <= nnode && a <= 9; ++a) w_node[a - 1] = deflection(st, st.lnods(a, e));
        int k = 0;
        for (int ig = 1; ig <= st.ngaus2; ++ig) {
            for (int jg = 1; jg <= st.ngaus2; ++jg) {
                ++k;
                shape_functions(st, gc.gauss_positions2[static_cast<std::size_t>(ig - 1)],
                                gc.gauss_positions2[static_cast<std::size_t>(jg - 1)], nnode);
                int jstatus = 0;
                double det = 0.0;
                jacob2(st, e, det, k, jstatus);
                if (jstatus > 0) return;
                const double da = gc.gauss_weights2[static_cast<std::size_t>(ig - 1)] *
                                  gc.gauss_weights2[static_cast<std::size_t>(jg - 1)] * det;
                double w = 0.0, wy = 0.0, wz = 0.0;
                for (int a = 1; a <= nnode && a <= 9; ++a) {
                    w += sc.N(a) * w_node[a - 1];
                    wy += sc.cart(1, a) * w_node[a - 1];
                    wz += sc.cart(2, a) * w_node[a - 1];
                }
                area_integral += da * w * w;
                slope_integral += da * (wy * wy + wz * wz);
            }
        }
    }

    // Along the soil-spring sides: (r / 2) w^2.
    if (st.nvedge > 0) {
        const int kept = st.ngaus;
        const bool quadratic = nnode > 4;
        st.ngaus = quadratic ? 3 : 2;
        gauss_points(st);
        const double r = std::sqrt(st.vlasov_k / st.vlasov_2t);
        const int nside = quadratic ? 3 : 2;
        for (int q = 1; q <= st.nvedge; ++q) {
            if (!(st.vlasov_edges(3, q) < 1)) continue;
            const int e = st.vlasov_edges(1, q), s = st.vlasov_edges(2, q);
            if (e < 1 || e > st.nelem || s < 1 || s > 4) continue;
            load_element_coordinates(st, e);
            const int local[3] = {s, s % 4 + 1, s + 4};
            double wv[3] = {0.0, 0.0, 0.0};
            for (int i = 0; i < nside; ++i) wv[i] = deflection(st, st.lnods(local[i], e));
            for (int g = 1; g <= st.ngaus; ++g) {
                edge_shape_functions(st, gc.gauss_positions[static_cast<std::size_t>(g - 1)], nside);
                double w = 0.0, dy = 0.0, dz = 0.0;
                for (int i = 0; i < nside; ++i) {
                    w += sc.N(i + 1) * wv[i];
                    dy += sc.dN(1, i + 1) * sc.ecoord(2, local[i]);
                    dz += sc.dN(1, i + 1) * sc.ecoord(3, local[i]);
                }
                slope_integral += (r / 2.0) * w * w * std::sqrt(dy * dy + dz * dz) *
                                  gc.gauss_weights[static_cast<std::size_t>(g - 1)];
            }
        }
        st.ngaus = kept;
        gauss_points(st);
    }

    const double f = 0.5 * (1.0 - 2.0 * st.psoil) / (1.0 - st.psoil);
    const double gamma =
        area_integral > 0.0 ? st.hsoil * std::sqrt(f * slope_integral / area_integral) : st.hsoil * std::sqrt(f);
    if (std::isfinite(gamma)) st.gamma0 = gamma;
}

int vlasov_input_errors(RunState& st) {
    if (st.isoil != 2) return 0;
    int errors = 0;
    if (!(st.psoil < 0.5) || !(st.psoil > -1.0)) {
        soil_error(st, "Poisson's ratio of the Vlasov soil must lie between -1 and 0.5");
        ++errors;
    }
    if (!(st.gamma0 > 0.0)) {
        soil_error(st, "initial gamma of the Vlasov soil must be above 0");
        ++errors;
    }
    if (!(st.hsoil > 0.0)) {
        soil_error(st, "depth of the Vlasov soil must be above 0");
        ++errors;
    }
    return errors;
}

}  // namespace parvane
