#include "solver/cuts/local_coords.h"

#include <cmath>
#include <vector>

#include "solver/run/state.h"

namespace parvane {

namespace {

// Single-precision 1e-8 widened to double.
constexpr double kSameCoordinate = static_cast<double>(1.0e-8f);
constexpr double kSingular = 1.0e-15;
constexpr double kStep = 0.001;
constexpr double kSettled = 1.0e-5;
constexpr int kMaxSteps = 26;

void map_point(int nnode, const double geometry[18], double xi, double eta, double& y, double& z) {
    double n[9] = {0, 0, 0, 0, 0, 0, 0, 0, 0};
    point_shape_values(nnode, xi, eta, n);
    y = 0.0;
    z = 0.0;
    const int count = nnode == 4 || nnode == 8 || nnode == 9 ? nnode : 0;
    for (int k = 0; k < count; ++k) {
        y += n[k] * geometry[k];
        z += n[k] * geometry[9 + k];
    }
}

}  // namespace

void point_shape_values(int nnode, double xi, double eta, double* v) {
    if (nnode == 4) {
        v[0] = 0.25 * (1.0 - xi) * (1.0 - eta);
        v[1] = 0.25 * (1.0 + xi) * (1.0 - eta);
        v[2] = 0.25 * (1.0 + xi) * (1.0 + eta);
        v[3] = 0.25 * (1.0 - xi) * (1.0 + eta);
        return;
    }
    if (nnode != 8 && nnode != 9) return;
    const double c = nnode == 9 ? (1.0 - xi * xi) * (1.0 - eta * eta) : 0.0;
    double m5 = 0.5 * (1.0 - xi * xi) * (1.0 - eta);
    double m6 = 0.5 * (1.0 + xi) * (1.0 - eta * eta);
    double m7 = 0.5 * (1.0 - xi * xi) * (1.0 + eta);
    double m8 = 0.5 * (1.0 - xi) * (1.0 - eta * eta);
    if (nnode == 9) {
        m5 -= 0.5 * c;
        m6 -= 0.5 * c;
        m7 -= 0.5 * c;
        m8 -= 0.5 * c;
    }
    const double q = nnode == 9 ? 0.25 * c : 0.0;
    v[0] = 0.25 * (1.0 - xi) * (1.0 - eta) - q - 0.5 * (m5 + m8);
    v[1] = 0.25 * (1.0 + xi) * (1.0 - eta) - q - 0.5 * (m5 + m6);
    v[2] = 0.25 * (1.0 + xi) * (1.0 + eta) - q - 0.5 * (m6 + m7);
    v[3] = 0.25 * (1.0 - xi) * (1.0 + eta) - q - 0.5 * (m7 + m8);
    v[4] = m5;
    v[5] = m6;
    v[6] = m7;
    v[7] = m8;
    if (nnode == 9) v[8] = c;
}

void invert_2x2(const double a[4], double inverse[4], double& det, int& status) {
    det = a[0] * a[3] - a[2] * a[1];
    if (!(std::fabs(det) >= kSingular)) {
        status = -1;
        return;
    }
    inverse[0] = a[3] / det;
    inverse[1] = -a[1] / det;
    inverse[2] = -a[2] / det;
    inverse[3] = a[0] / det;
    status = 0;
}

void stretch_points(int n, double ya, double za, double yb, double zb, double* y, double* z) {
    if (n <= 0) return;
    // A single point has no spacing: it is the start of the stretch.
    const double parts = n > 1 ? static_cast<double>(n - 1) : 1.0;
    const bool same_z = std::fabs(za - zb) < kSameCoordinate;
    const bool same_y = std::fabs(ya - yb) < kSameCoordinate;
    for (int i = 0; i < n; ++i) {
        const double f = static_cast<double>(i) / parts;
        if (same_z) {
            z[i] = za;
            y[i] = ya + f * (yb - ya);
        } else {
            z[i] = za + f * (zb - za);
            y[i] = same_y ? ya : ya + f * (yb - ya);
        }
    }
}

void local_point(int nnode, const double geometry[18], double y, double z, double& xi, double& eta) {
    xi = 0.0;
    eta = 0.0;
    for (int step = 1; step <= kMaxSteps; ++step) {
        double y0, z0, y1, z1, y2, z2;
        map_point(nnode, geometry, xi, eta, y0, z0);
        map_point(nnode, geometry, xi + kStep, eta, y1, z1);
        map_point(nnode, geometry, xi, eta + kStep, y2, z2);
        const double f1 = y0 - y, f2 = z0 - z;
        const double jac[4] = {(y1 - y0) / kStep, (z1 - z0) / kStep, (y2 - y0) / kStep, (z2 - z0) / kStep};
        double inv[4], det = 0.0;
        int status = 0;
        invert_2x2(jac, inv, det, status);
        if (status != 0) return;  // no direction to go: keep the last iterate
        const double xn = xi - (inv[0] * f1 + inv[2] * f2);
        const double en = eta - (inv[1] * f1 + inv[3] * f2);
        const bool settled = std::fabs(xn - xi) < kSettled && std::fabs(en - eta) < kSettled;
        xi = xn;
        eta = en;
        if (settled) return;
    }
}

void local_coords(int nnode, int n, const double geometry[18], double ya, double za, double yb, double zb, double* xi,
                  double* eta) {
    if (n <= 0) return;
    std::vector<double> y(static_cast<std::size_t>(n)), z(static_cast<std::size_t>(n));
    stretch_points(n, ya, za, yb, zb, y.data(), z.data());
    for (int i = 0; i < n; ++i)
        local_point(nnode, geometry, y[static_cast<std::size_t>(i)], z[static_cast<std::size_t>(i)], xi[i], eta[i]);
}

void element_geometry(const RunState& st, int e, double geometry[18]) {
    for (int a = 1; a <= st.nnode && a <= 9; ++a) {
        const int p = st.lnods(a, e);
        geometry[a - 1] = st.coord(2, p);
        geometry[9 + a - 1] = st.coord(3, p);
    }
}

void local_coords(const RunState& st, const double geometry[18], double ya, double za, double yb, double zb, double* xi,
                  double* eta) {
    local_coords(st.nnode, st.ngrid, geometry, ya, za, yb, zb, xi, eta);
}

}  // namespace parvane
