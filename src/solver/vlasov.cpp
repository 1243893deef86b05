#include "solver/vlasov.h"

#include <cmath>
#include <string>
#include <vector>

#include "platform/fio/fio.h"
#include "solver/interpolation.h"
#include "solver/springs.h"
#include "solver/state.h"

namespace parvane {

namespace {

constexpr double kDirection = 1.0e-5;
// Below this gamma the differences in the formulas of k and 2t cancel to
// noise (2t reaches 0 at about 1e-8), so such a gamma is not taken.
constexpr double kSmallestGamma = 1.0e-6;

// Global coordinates and element-frame coordinates (local x = y, local y =
// -z, local z = -x) of element e into the shape block, as the element loop
// loads them; a 4-node element gets its virtual mid-side points too.
void load_element(RunState& st, int e) {
  ShapeCommon& sc = st.shape_common;
  for (int a = 1; a <= st.nnode && a <= 9; ++a) {
    const int p = st.lnods(a, e);
    const double x = st.coord(1, p), y = st.coord(2, p), z = st.coord(3, p);
    sc.ecoord(1, a) = x;
    sc.ecoord(2, a) = y;
    sc.ecoord(3, a) = z;
    sc.pcoord(1, a) = y;
    sc.pcoord(2, a) = -z;
    sc.pcoord(3, a) = -x;
  }
  if (st.nnode == 4) {
    for (int k = 1; k <= 4; ++k) {
      const int j = k % 4 + 1;
      for (int c = 1; c <= 3; ++c) {
        sc.ecoord(c, k + 4) = 0.5 * (sc.ecoord(c, k) + sc.ecoord(c, j));
        sc.pcoord(c, k + 4) = 0.5 * (sc.pcoord(c, k) + sc.pcoord(c, j));
      }
    }
  }
}

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

void soil_error(RunState& st, const std::string& text) {
  fio::Writer(st.units, kUnitMessages).list({"*** error in soil values: " + text});
  fio::Writer(st.units, kUnitListing).list({"*** error in soil values: " + text});
}

}  // namespace

void vlasov_k_2t(double gamma, double et, double eb, double nu, double h, double& k, double& t2) {
  const double s = std::sinh(gamma), s2 = std::sinh(2.0 * gamma), c2 = std::cosh(2.0 * gamma);
  const double g2 = gamma * gamma;
  k = ((4.0 * g2 + 2.0 * gamma * s2) * et + (2.0 * g2 + c2 - 1.0) * (eb - et)) * (1.0 - nu) /
      (8.0 * h * (1.0 + nu) * (1.0 - 2.0 * nu) * s * s);
  t2 = h * (et * (2.0 * gamma * s2 - 4.0 * g2) + (eb - et) * (c2 - 1.0 - 2.0 * g2)) / (16.0 * (1.0 + nu) * g2 * s * s);
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
    enter(a1, c * length / 2.0);
    if (quadratic) enter(s + 4, c * length / 4.0);
    enter(a2, c * length / 2.0);
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
    load_element(st, e);
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
      load_element(st, e);
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
  const double gamma = area_integral > 0.0 ? st.hsoil * std::sqrt(f * slope_integral / area_integral)
                                           : st.hsoil * std::sqrt(f);
  if (std::isfinite(gamma) && gamma >= kSmallestGamma) st.gamma0 = gamma;
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
