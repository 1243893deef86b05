// A thin clamped square plate under uniform pressure, meshed with 4-node and
// with 8-node elements: both meshes converge to the same central deflection,
// the 4-node element without shear locking at span / thickness 100.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "solver/elements/element_matrices.h"
#include "test_element_fixture.h"

using namespace element_test;
using parvane::RunState;

namespace {

// Plate freedoms of a node in the global order: deflection x, rotations y, z.
constexpr int kPlateDofs[3] = {1, 5, 6};

enum class Support { clamped, simple };

// Banded Cholesky solution of the plate freedoms of the assembled elements.
// Clamped: every plate freedom of a boundary node is held; simple (hard):
// the deflection and the rotation about the side's normal (a on sides of
// constant X, b on sides of constant Y). Returns the central deflection.
double centre_deflection(Support support, int nnode, int n, double thick, double young, double nu, double q) {
    RunState st;
    GridSpec g;
    g.nx = g.ny = n;
    g.nnode = nnode;
    g.lx = g.ly = 1.0;
    g.young = young;
    g.nu = nu;
    g.thick = thick;
    g.ngaus = g.ngaus2 = 2;
    Grid grid = build_grid(st, g);
    ScratchUnit3 unit3(st, "conv" + std::to_string(nnode));
    int status = 0;
    parvane::form_element_matrices(st, status);
    EXPECT_EQ(status, 0);

    // Equation numbers of the free plate freedoms.
    const int last = nnode == 4 ? n : 2 * n;
    std::vector<int> eq(static_cast<std::size_t>(3 * st.npoin), -1);
    int neq = 0;
    for (int p = 1; p <= st.npoin; ++p) {
        const double X = grid.x[static_cast<std::size_t>(p - 1)], Y = grid.y[static_cast<std::size_t>(p - 1)];
        const bool x_side = X < 1e-12 || X > 1.0 - 1e-12, y_side = Y < 1e-12 || Y > 1.0 - 1e-12;
        for (int d = 0; d < 3; ++d) {
            bool held = x_side || y_side;
            if (support == Support::simple) held = (d == 0 && held) || (d == 1 && x_side) || (d == 2 && y_side);
            if (!held) eq[static_cast<std::size_t>(3 * (p - 1) + d)] = neq++;
        }
    }
    int band = 0;
    for (int e = 1; e <= st.nelem; ++e)
        for (int a = 1; a <= nnode; ++a)
            for (int b = 1; b <= nnode; ++b)
                for (int d = 0; d < 3; ++d)
                    for (int f = 0; f < 3; ++f) {
                        const int ra = eq[static_cast<std::size_t>(3 * (st.lnods(a, e) - 1) + d)];
                        const int rb = eq[static_cast<std::size_t>(3 * (st.lnods(b, e) - 1) + f)];
                        if (ra >= 0 && rb >= 0) band = std::max(band, std::abs(ra - rb));
                    }
    // lower band storage: L[i][k] for column i - band + k
    const int w = band + 1;
    std::vector<double> k(static_cast<std::size_t>(neq) * static_cast<std::size_t>(w), 0.0),
        f(static_cast<std::size_t>(neq), 0.0);
    auto K = [&](int i, int j) -> double& {
        return k[static_cast<std::size_t>(i) * static_cast<std::size_t>(w) + static_cast<std::size_t>(j - i + band)];
    };
    const double area = 1.0 / (static_cast<double>(n) * n);
    for (int e = 1; e <= st.nelem; ++e) {
        for (int a = 1; a <= nnode; ++a) {
            for (int d = 0; d < 3; ++d) {
                const int i = eq[static_cast<std::size_t>(3 * (st.lnods(a, e) - 1) + d)];
                if (i < 0) continue;
                if (d == 0) {
                    // consistent pressure on a rectangle: corners A/4 (4-node) or
                    // -A/12 with mid-sides A/3 (8-node)
                    const double share = nnode == 4 ? 0.25 : (a <= 4 ? -1.0 / 12.0 : 1.0 / 3.0);
                    f[static_cast<std::size_t>(i)] += q * area * share;
                }
                for (int b = 1; b <= nnode; ++b)
                    for (int c = 0; c < 3; ++c) {
                        const int j = eq[static_cast<std::size_t>(3 * (st.lnods(b, e) - 1) + c)];
                        if (j < 0 || j > i) continue;
                        K(i, j) += st.estiff(6 * (a - 1) + kPlateDofs[d], 6 * (b - 1) + kPlateDofs[c], e);
                    }
            }
        }
    }
    // Cholesky in band form, then the two substitutions.
    for (int i = 0; i < neq; ++i) {
        for (int j = std::max(0, i - band); j <= i; ++j) {
            double s = K(i, j);
            for (int m = std::max(0, i - band); m < j; ++m)
                if (m >= j - band) s -= K(i, m) * K(j, m);
            if (j == i) {
                EXPECT_GT(s, 0.0);
                K(i, i) = std::sqrt(s);
            } else {
                K(i, j) = s / K(j, j);
            }
        }
    }
    for (int i = 0; i < neq; ++i) {
        double s = f[static_cast<std::size_t>(i)];
        for (int m = std::max(0, i - band); m < i; ++m) s -= K(i, m) * f[static_cast<std::size_t>(m)];
        f[static_cast<std::size_t>(i)] = s / K(i, i);
    }
    for (int i = neq - 1; i >= 0; --i) {
        double s = f[static_cast<std::size_t>(i)];
        for (int m = i + 1; m <= std::min(neq - 1, i + band); ++m) s -= K(m, i) * f[static_cast<std::size_t>(m)];
        f[static_cast<std::size_t>(i)] = s / K(i, i);
    }
    const int centre = grid.at.at({last / 2, last / 2});
    return f[static_cast<std::size_t>(eq[static_cast<std::size_t>(3 * (centre - 1))])];
}

}  // namespace

TEST(PlateConvergence, FourNodeMeshMatchesEightNodeMeshWithoutLocking) {
    const double young = 10920.0, nu = 0.3, thick = 0.01, q = 1.0;  // span / thickness 100
    const double d = young * thick * thick * thick / (12.0 * (1.0 - nu * nu));
    {
        // simply supported: thin-plate value 0.00406235 q a^4 / D
        const double kirchhoff = 0.00406235 * q / d;
        const double w4 = centre_deflection(Support::simple, 4, 16, thick, young, nu, q);
        const double w8 = centre_deflection(Support::simple, 8, 16, thick, young, nu, q);
        EXPECT_NEAR(w4 / w8, 1.0, 0.01) << "w4 " << w4 << " w8 " << w8;
        EXPECT_NEAR(w8 / kirchhoff, 1.0, 0.01) << w8;
        EXPECT_NEAR(w4 / kirchhoff, 1.0, 0.01) << w4;
    }
    {
        // clamped: 0.00126532 q a^4 / D; the 4-node mesh approaches the 8-node
        // value at the rate h^2
        const double kirchhoff = 0.00126532 * q / d;
        const double w8 = centre_deflection(Support::clamped, 8, 16, thick, young, nu, q);
        const double w4_8 = centre_deflection(Support::clamped, 4, 8, thick, young, nu, q);
        const double w4_16 = centre_deflection(Support::clamped, 4, 16, thick, young, nu, q);
        const double w4_32 = centre_deflection(Support::clamped, 4, 32, thick, young, nu, q);
        EXPECT_NEAR(w8 / kirchhoff, 1.0, 0.01) << w8;
        EXPECT_NEAR(w4_16 / w8, 1.0, 0.02) << "w4 " << w4_16 << " w8 " << w8;
        EXPECT_NEAR(w4_32 / w8, 1.0, 0.01) << "w4 " << w4_32 << " w8 " << w8;
        const double ratio = (w4_8 - w8) / (w4_16 - w8), ratio2 = (w4_16 - w8) / (w4_32 - w8);
        EXPECT_GT(ratio, 3.0);
        EXPECT_GT(ratio2, 3.0);
    }
    // a coarse 4-node mesh is already near: no locking
    const double w4_coarse = centre_deflection(Support::clamped, 4, 4, thick, young, nu, q);
    EXPECT_GT(w4_coarse * d / 0.00126532, 0.9);
}
