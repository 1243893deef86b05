// Element matrix utilities: completion of upper triangles, soil interpolation
// matrices and the condensation of internal freedoms.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "solver/elements/element_loop.h"
#include "solver/elements/element_utils.h"
#include "solver/elements/interpolation.h"
#include "test_element_fixture.h"

using parvane::RunState;

TEST(Symmetrize, CopiesTheUpperTriangleOnly) {
    double a[9] = {4, 9, 9, 1, 5, 9, 2, 3, 6};  // column-major, lower part junk
    int lda = 3, n = 3;
    parvane::symmetrize(a, lda, n);
    const double want[9] = {4, 1, 2, 1, 5, 3, 2, 3, 6};
    for (int i = 0; i < 9; ++i) EXPECT_EQ(a[i], want[i]) << i;
    // a leading size larger than the order, and orders below 2
    double b[16];
    for (int i = 0; i < 16; ++i) b[i] = i;
    int ld4 = 4, n2 = 2;
    parvane::symmetrize(b, ld4, n2);
    EXPECT_EQ(b[1], b[4]);
    EXPECT_EQ(b[2], 2.0);
    EXPECT_EQ(b[6], 6.0);
    int one = 1;
    parvane::symmetrize(b, ld4, one);
    EXPECT_EQ(b[1], 4.0);
}

TEST(InterpolationMatrices, IdentityBlocksOfValuesAndDerivatives) {
    for (int nnode : {4, 9}) {
        RunState st;
        element_test::GridSpec g;
        g.nx = g.ny = 1;
        g.nnode = nnode;
        element_test::build_grid(st, g);
        element_test::load_element(st, 1);
        parvane::shape_functions(st, 0.3, -0.6, nnode);
        double det = 0.0;
        int status = 0;
        parvane::jacob2(st, 1, det, 1, status);
        ASSERT_EQ(status, 0);
        auto& u = st.element_loop->util;
        for (int i = 0; i < 3 * 27; ++i) u.r0[i] = u.ry[i] = u.rz[i] = 42.0;
        parvane::interpolation_matrices(st);
        for (int col = 1; col <= 27; ++col)
            for (int row = 1; row <= 3; ++row) {
                const int idx = (col - 1) * 3 + row - 1;
                if (col > 3 * nnode) {
                    EXPECT_EQ(u.r0[idx], 42.0);  // beyond the element's columns: untouched
                    continue;
                }
                const int a = (col - 1) / 3 + 1, i = (col - 1) % 3 + 1;
                const bool on = i == row;
                EXPECT_EQ(u.r0[idx], on ? st.shape_common.N(a) : 0.0);
                EXPECT_EQ(u.ry[idx], on ? st.shape_common.cart(1, a) : 0.0);
                EXPECT_EQ(u.rz[idx], on ? st.shape_common.cart(2, a) : 0.0);
            }
    }
}

TEST(CondenseInternal, UncoupledBlockLeavesTheKeptPartUnchanged) {
    std::vector<double> k(27 * 27, 0.0);
    for (int j = 1; j <= 16; ++j)
        for (int i = 1; i <= 16; ++i) {
            const bool kept = i <= 12 && j <= 12;
            const bool internal = i > 12 && j > 12;
            if (kept) k[static_cast<std::size_t>((j - 1) * 27 + i - 1)] = (i == j ? 20.0 : 1.0 / (i + j));
            if (internal) k[static_cast<std::size_t>((j - 1) * 27 + i - 1)] = (i == j ? 3.0 : 0.5);
        }
    const std::vector<double> before = k;
    double record[92];
    parvane::condense_internal_of(k.data(), 12, 4, record);
    for (int j = 1; j <= 27; ++j)
        for (int i = 1; i <= 27; ++i) {
            const double want = i <= 12 && j <= 12 ? before[static_cast<std::size_t>((j - 1) * 27 + i - 1)] : 0.0;
            EXPECT_EQ(k[static_cast<std::size_t>((j - 1) * 27 + i - 1)], want) << i << "," << j;
        }
    for (int i = 0; i < 48; ++i) EXPECT_EQ(record[i], 0.0);
}

TEST(CondenseInternal, EliminatesTheParametersByTheirEnergyMinimum) {
    // K = [A B; Bt C] with C regular: condensed A - B C^-1 Bt, and the record's
    // R = C^-1 Bt gives the parameters as -R u.
    std::vector<double> k(27 * 27, 0.0);
    auto K = [&](int i, int j) -> double& { return k[static_cast<std::size_t>((j - 1) * 27 + i - 1)]; };
    for (int i = 1; i <= 16; ++i) K(i, i) = 10.0 + i;
    for (int i = 1; i <= 12; ++i)
        for (int m = 13; m <= 16; ++m) K(i, m) = K(m, i) = 0.1 * std::sin(i * m);
    K(13, 14) = K(14, 13) = 2.0;
    const std::vector<double> before = k;
    double record[92];
    parvane::condense_internal_of(k.data(), 12, 4, record);
    // check: for any u, the condensed energy equals the minimum over p
    std::vector<double> u(12);
    for (int i = 0; i < 12; ++i) u[static_cast<std::size_t>(i)] = std::cos(1.0 + i);
    double p[4] = {};
    for (int m = 0; m < 4; ++m)
        for (int j = 0; j < 12; ++j) p[m] -= record[j * 4 + m] * u[static_cast<std::size_t>(j)];
    // gradient of the full energy with respect to p is zero at -R u
    for (int m = 13; m <= 16; ++m) {
        double grad = 0.0;
        for (int j = 1; j <= 12; ++j)
            grad += before[static_cast<std::size_t>((j - 1) * 27 + m - 1)] * u[static_cast<std::size_t>(j - 1)];
        for (int q = 13; q <= 16; ++q) grad += before[static_cast<std::size_t>((q - 1) * 27 + m - 1)] * p[q - 13];
        EXPECT_NEAR(grad, 0.0, 1e-13);
    }
    // and the condensed matrix reproduces the full forces on the kept freedoms
    for (int i = 1; i <= 12; ++i) {
        double full = 0.0, condensed = 0.0;
        for (int j = 1; j <= 12; ++j) {
            full += before[static_cast<std::size_t>((j - 1) * 27 + i - 1)] * u[static_cast<std::size_t>(j - 1)];
            condensed += k[static_cast<std::size_t>((j - 1) * 27 + i - 1)] * u[static_cast<std::size_t>(j - 1)];
        }
        for (int q = 13; q <= 16; ++q) full += before[static_cast<std::size_t>((q - 1) * 27 + i - 1)] * p[q - 13];
        EXPECT_NEAR(condensed, full, 1e-12);
    }
}

TEST(CondenseInternal, SingularInternalBlockUsesItsStiffPart) {
    // The fourth parameter has no stiffness and no coupling: it is left out
    // instead of dividing by zero.
    std::vector<double> k(27 * 27, 0.0);
    auto K = [&](int i, int j) -> double& { return k[static_cast<std::size_t>((j - 1) * 27 + i - 1)]; };
    for (int i = 1; i <= 15; ++i) K(i, i) = 4.0;
    K(1, 13) = K(13, 1) = 2.0;
    double record[92];
    parvane::condense_internal_of(k.data(), 12, 4, record);
    for (double v : k) EXPECT_TRUE(std::isfinite(v));
    EXPECT_DOUBLE_EQ(K(1, 1), 4.0 - 2.0 * 2.0 / 4.0);
    EXPECT_DOUBLE_EQ(K(2, 2), 4.0);
    EXPECT_DOUBLE_EQ(record[0], 0.5);  // R(1,1) = C^-1 Bt
    for (int j = 0; j < 12; ++j) EXPECT_EQ(record[j * 4 + 3], 0.0);
}
