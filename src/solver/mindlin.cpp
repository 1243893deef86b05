#include "solver/mindlin.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "solver/load_vectors.h"
#include "solver/run_files.h"
#include "solver/state.h"

namespace parvane {

namespace {

// Single-precision 1e-14 widened to double.
constexpr double kOnLine = static_cast<double>(1.0e-14f);

struct Constants {
  double c, a, b;
};

Constants constants_of(double nu) {
  return {(1.0 + nu) / ((1.0 - nu) * 8.0 * std::numbers::pi), 3.0 - 4.0 * nu, (8.0 * nu - 12.0) * nu + 5.0};
}

double influence(double a, double b, double p, double e, const Constants& k) {
  const double l = std::max(a, b), w = std::min(a, b);
  const double m = l / w;
  const double r = std::sqrt(m * m + 1.0);
  const double phi = m * std::log((r + 1.0) / m) + std::log(r + m);
  return p * w * k.c * (k.a * phi + k.b * phi) / e;
}

// Iterates of the soil iteration that the acceleration combines.
constexpr std::size_t kAndersonDepth = 3;



bool g_accelerate = true;

// The differences of consecutive residuals of `h`, orthonormalised (modified
// Gram-Schmidt) into Q R = dF; columns that add nothing are dropped.  For each
// kept column, dx holds dX + dF (iterate plus residual difference), the step
// that the Anderson mixture combines with the same coefficients.
void residual_differences(const AndersonHistory& h, std::size_t n, std::vector<std::vector<double>>& q,
                          std::vector<std::vector<double>>& r, std::vector<std::vector<double>>& dx) {
  const std::size_t m = h.iterates.size() - 1;
  for (std::size_t j = 0; j < m; ++j) {
    std::vector<double> df(n), step(n);
    for (std::size_t i = 0; i < n; ++i) {
      df[i] = h.residuals[j + 1][i] - h.residuals[j][i];
      step[i] = h.iterates[j + 1][i] - h.iterates[j][i] + df[i];
    }
    double before = 0;
    for (double v : df) before += v * v;
    std::vector<double> rj(q.size() + 1, 0.0);  // r[j][i], i <= j
    for (std::size_t k = 0; k < q.size(); ++k) {
      double d = 0;
      for (std::size_t i = 0; i < n; ++i) d += q[k][i] * df[i];
      rj[k] = d;
      for (std::size_t i = 0; i < n; ++i) df[i] -= d * q[k][i];
    }
    double norm = 0;
    for (double v : df) norm += v * v;
    if (!(norm > 1e-20 * before) || !(norm > 0)) continue;
    norm = std::sqrt(norm);
    for (double& v : df) v /= norm;
    rj.back() = norm;
    q.push_back(std::move(df));
    r.push_back(std::move(rj));
    dx.push_back(std::move(step));
  }
}

}  // namespace

// Anderson mixing of the iteration x <- G(x) with the residual f = G(x) - x:
// the step that the last few iterates predict would leave no residual
// (least squares over the residual differences), taken when every stiffness
// it gives is positive and finite; otherwise the plain step G(x).  The fixed
// point is the same, since the mixed step equals G(x) when the residual is 0.
void anderson_step(AndersonHistory& h, const std::vector<double>& x, const std::vector<double>& fresh,
                   std::vector<double>& next) {
  const std::size_t n = x.size();
  next = fresh;
  std::vector<double> f(n);
  for (std::size_t i = 0; i < n; ++i) f[i] = fresh[i] - x[i];
  h.iterates.push_back(x);
  h.residuals.push_back(f);
  if (h.iterates.size() > kAndersonDepth + 1) {
    h.iterates.erase(h.iterates.begin());
    h.residuals.erase(h.residuals.begin());
  }
  if (h.iterates.size() < 2) return;

  std::vector<std::vector<double>> q, r, dx;
  residual_differences(h, n, q, r, dx);
  const std::size_t k = q.size();
  if (k == 0) return;
  // gamma = R^-1 Q^T f.
  std::vector<double> g(k, 0.0);
  for (std::size_t j = 0; j < k; ++j)
    for (std::size_t i = 0; i < n; ++i) g[j] += q[j][i] * f[i];
  for (std::size_t j = k; j-- > 0;) {
    for (std::size_t l = j + 1; l < k; ++l) g[j] -= r[l][j] * g[l];
    g[j] /= r[j][j];
  }
  std::vector<double> mixed(n);
  for (std::size_t i = 0; i < n; ++i) {
    double v = x[i] + f[i];
    for (std::size_t j = 0; j < k; ++j) v -= g[j] * dx[j][i];
    if (!std::isfinite(v)) {
      // The prediction is lost: plain step, fresh history.
      h.clear();
      return;
    }
    // A value the prediction drives to zero or below (a stiffness that the
    // plain update shrinks towards zero) takes the plain step.
    mixed[i] = v > 0.0 ? v : fresh[i];
  }
  next = std::move(mixed);
}


void mindlin_set_acceleration(bool on) { g_accelerate = on; }

double mindlin_influence(double a, double b, double p, double e, double nu) {
  return influence(a, b, p, e, constants_of(nu));
}

void mindlin_soil(double* settlement, const double* element_load, const double* coord, const int* lnods, double e,
                  double nu, int nnode, int nelem, int ndime, int npoin, int& bad_element) {
  bad_element = 0;
  if (npoin <= 0) return;
  const Constants k = constants_of(nu);
  auto y = [&](int p) { return coord[static_cast<std::size_t>(p - 1) * ndime + 1]; };
  auto z = [&](int p) { return coord[static_cast<std::size_t>(p - 1) * ndime + 2]; };
  auto node = [&](int c, int el) { return lnods[static_cast<std::size_t>(el - 1) * nnode + (c - 1)]; };

  // Every element needs a rectangle with area.
  for (int el = 1; el <= nelem; ++el) {
    const double sy = std::fabs(y(node(3, el)) - y(node(1, el))), sz = std::fabs(z(node(3, el)) - z(node(1, el)));
    if (!(sy > 0.0) || !(sz > 0.0)) {
      bad_element = el;
      return;
    }
  }

  for (int i = 1; i <= npoin; ++i) {
    double sum = 0.0;
    for (int el = 1; el <= nelem; ++el) {
      const int c1 = node(1, el), c3 = node(3, el);
      const double sy = std::fabs(y(c3) - y(c1)), sz = std::fabs(z(c3) - z(c1));
      const double p = element_load[el - 1] / sy / sz;
      double dy = 1.0e300, dz = 1.0e300;
      for (int c = 1; c <= 4; ++c) {
        dy = std::min(dy, std::fabs(y(i) - y(node(c, el))));
        dz = std::min(dz, std::fabs(z(i) - z(node(c, el))));
      }
      const bool off_y = dy >= kOnLine, off_z = dz >= kOnLine;
      double contribution;
      if (off_y && off_z)
        contribution = influence(sy + dy, sz + dz, p, e, k) - influence(dy, sz + dz, p, e, k) -
                       influence(sy + dy, dz, p, e, k) + influence(dy, dz, p, e, k);
      else if (off_y)
        contribution = influence(sy + dy, sz, p, e, k) - influence(dy, sz, p, e, k);
      else if (off_z)
        contribution = influence(sy, sz + dz, p, e, k) - influence(sy, dz, p, e, k);
      else
        contribution = influence(sy, sz, p, e, k);
      sum += contribution;
    }
    settlement[i - 1] = sum;
  }
}

void mindlin_update(RunState& st, bool& converged, int& status) {
  const int npoin = st.npoin, nelem = st.nelem;
  // Nodal soil reactions at the total deflection.
  std::vector<double> reaction(static_cast<std::size_t>(std::max(npoin, 0)), 0.0);
  for (int p = 1; p <= npoin; ++p) {
    const int g = (p - 1) * 6 + 1;
    reaction[static_cast<std::size_t>(p - 1)] = (st.disp_vectors(g, 1) + st.disp_step(g)) * st.soil_stiffness(p);
  }
  // Element loads: each node's reaction shared among its elements.
  for (int el = 1; el <= nelem; ++el) {
    double load = 0.0;
    for (int a = 1; a <= st.nnode; ++a) {
      const int p = st.lnods(a, el);
      if (p < 1 || p > npoin) continue;
      const int count = p <= st.node_element_list.npoin() ? st.node_element_list.count(p) : 0;
      if (count > 0) load += reaction[static_cast<std::size_t>(p - 1)] / count;
    }
    st.element_soil_loads(el) = load;
  }
  int bad = 0;
  mindlin_soil(st.settlements.data(), st.element_soil_loads.data(), st.coord.data(), st.lnods.data(), st.esoil,
               st.psoil, st.nnode, nelem, st.ndime, npoin, bad);
  if (bad > 0) {
    const int id = static_cast<std::size_t>(bad) <= st.element_ids.size() ? st.element_ids(bad) : bad;
    report_run_error(st, "Mindlin soil: element " + std::to_string(id) +
                             " has no extent in y or z between its first and third nodes; no soil pressure");
    status = kStatusSoilGeometry;
    converged = false;
    return;
  }

  double change = 0.0, size = 0.0;
  for (int p = 1; p <= npoin; ++p) {
    const double s = st.settlements(p);
    const double current = st.soil_stiffness(p);
    double fresh = current;
    if (s != 0.0 && std::isfinite(s)) {
      const double k = reaction[static_cast<std::size_t>(p - 1)] / s;
      if (std::isfinite(k)) fresh = k;
    }
    st.soil_stiffness_new(p) = fresh;
    change += (fresh - current) * (fresh - current);
    size += fresh * fresh;
  }
  change = std::sqrt(change);
  size = std::sqrt(size);
  converged = change == 0.0 || change / size <= st.toler;

  std::vector<double> x(static_cast<std::size_t>(npoin)), fresh(x.size()), next;
  bool positive = true;
  for (int p = 1; p <= npoin; ++p) {
    const std::size_t i = static_cast<std::size_t>(p - 1);
    x[i] = st.soil_stiffness(p);
    fresh[i] = st.soil_stiffness_new(p);
    positive = positive && x[i] > 0.0 && fresh[i] > 0.0 && std::isfinite(x[i]) && std::isfinite(fresh[i]);
  }
  if (!positive || !g_accelerate) {
    st.mindlin_history.clear();
    for (int p = 1; p <= npoin; ++p) st.soil_stiffness(p) = st.soil_stiffness_new(p);
  } else {
    anderson_step(st.mindlin_history, x, fresh, next);
    for (int p = 1; p <= npoin; ++p) st.soil_stiffness(p) = next[static_cast<std::size_t>(p - 1)];
  }
  if (st.nodal_stiffness_values.dim1() >= 6 && st.nodal_stiffness_values.dim2() >= static_cast<std::size_t>(npoin))
    store_dof_column(st, st.nodal_stiffness_values.data(), st.soil_stiffness.data());
}

int mindlin_input_errors(RunState& st) {
  if (st.isoil != 1) return 0;
  int errors = 0;
  auto error = [&](const std::string& text) {
    report_run_error(st, "*** error in soil values: " + text);
    ++errors;
  };
  if (!(st.esoil > 0.0)) error("Young's modulus of the Mindlin soil must be above 0");
  if (!(st.psoil < 1.0) || !(st.psoil > -1.0)) error("Poisson's ratio of the Mindlin soil must lie between -1 and 1");
  return errors;
}

}  // namespace parvane
