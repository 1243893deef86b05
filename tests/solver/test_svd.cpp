// Singular value decomposition: the factors rebuild the matrix, V is
// orthogonal, U orthonormal on the non-zero values, and the refusals.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "solver/run/state.h"
#include "solver/cuts/svd.h"
#include "test_input_support.h"

namespace {

using parvane::RunState;

struct Factors {
    std::vector<double> u, w, v;
    int status = 0;
};

Factors factor(RunState& st, const std::vector<double>& a, int m, int n) {
    Factors f;
    f.u = a;
    f.w.assign(static_cast<std::size_t>(n), -7.0);
    f.v.assign(static_cast<std::size_t>(n * n), -7.0);
    parvane::svdc_factor(st, f.u.data(), m, n, f.w.data(), f.v.data(), f.status);
    return f;
}

void expect_decomposition(const std::vector<double>& a, const Factors& f, int m, int n) {
    ASSERT_EQ(f.status, 0);
    double scale = 0.0;
    for (double x : a) scale = std::max(scale, std::fabs(x));
    const double tol = 1e-12 * std::max(scale, 1.0) * m;
    for (int j = 0; j < n; ++j) EXPECT_GE(f.w[j], 0.0) << "w" << j;
    // A = U diag(w) V^T.
    for (int i = 0; i < m; ++i)
        for (int j = 0; j < n; ++j) {
            double s = 0.0;
            for (int k = 0; k < n; ++k) s += f.u[i + m * k] * f.w[k] * f.v[j + n * k];
            EXPECT_NEAR(s, a[i + m * j], tol) << i << "," << j;
        }
    // V^T V = I; U^T U = I on the columns of non-zero singular values.
    double wmax = 0.0;
    for (double x : f.w) wmax = std::max(wmax, x);
    for (int p = 0; p < n; ++p)
        for (int q = 0; q < n; ++q) {
            double vv = 0.0, uu = 0.0;
            for (int k = 0; k < n; ++k) vv += f.v[k + n * p] * f.v[k + n * q];
            for (int k = 0; k < m; ++k) uu += f.u[k + m * p] * f.u[k + m * q];
            EXPECT_NEAR(vv, p == q ? 1.0 : 0.0, 1e-12) << p << "," << q;
            if (f.w[p] > 1e-10 * wmax && f.w[q] > 1e-10 * wmax) {
                EXPECT_NEAR(uu, p == q ? 1.0 : 0.0, 1e-12);
            }
        }
}

TEST(Svd, RandomMatricesAreRebuiltFromTheirFactors) {
    std::mt19937 gen(20261210);
    std::uniform_real_distribution<double> d(-10.0, 10.0);
    const int shapes[][2] = {{12, 8}, {9, 8}, {8, 8}, {180, 8}, {5, 4}, {3, 1}};
    for (const auto& s : shapes) {
        for (int trial = 0; trial < 5; ++trial) {
            const int m = s[0], n = s[1];
            std::vector<double> a(static_cast<std::size_t>(m * n));
            for (double& x : a) x = d(gen);
            RunState st;
            SCOPED_TRACE(::testing::Message() << m << " x " << n << " trial " << trial);
            expect_decomposition(a, factor(st, a, m, n), m, n);
        }
    }
}

TEST(Svd, SingularValuesOfKnownMatrices) {
    RunState st;
    // Diagonal matrix with a row of zeros below: values unsorted, signs removed.
    {
        const int m = 4, n = 3;
        std::vector<double> a(12, 0.0);
        a[0 + m * 0] = 3.0;
        a[1 + m * 1] = -5.0;
        a[2 + m * 2] = 2.0;
        Factors f = factor(st, a, m, n);
        expect_decomposition(a, f, m, n);
        std::vector<double> w = f.w;
        std::sort(w.begin(), w.end());
        EXPECT_NEAR(w[0], 2.0, 1e-14);
        EXPECT_NEAR(w[1], 3.0, 1e-14);
        EXPECT_NEAR(w[2], 5.0, 1e-14);
    }
    // Two equal columns: rank 2 of 3, one value negligible next to the others.
    {
        const int m = 5, n = 3;
        std::vector<double> a = {1, 2, 3, 4, 5, 1, 2, 3, 4, 5, 2, -1, 0, 7, 1};
        Factors f = factor(st, a, m, n);
        expect_decomposition(a, f, m, n);
        const double wmax = *std::max_element(f.w.begin(), f.w.end());
        const double wmin = *std::min_element(f.w.begin(), f.w.end());
        EXPECT_LT(wmin, 1e-12 * wmax);
    }
    // A zero matrix gives exact zeros.
    {
        std::vector<double> a(12, 0.0);
        Factors f = factor(st, a, 4, 3);
        ASSERT_EQ(f.status, 0);
        for (double x : f.w) EXPECT_EQ(x, 0.0);
    }
}

TEST(Svd, FewerRowsThanColumnsIsRefusedWithoutTouchingAnything) {
    solver_test::ScratchDir dir("svd");
    RunState st;
    ASSERT_EQ(st.units.open(parvane::kUnitListing, dir.file("out.sou"), fio::OpenStatus::Unknown), fio::kOk);
    std::vector<double> a(7 * 8, 1.5);
    Factors f = factor(st, a, 7, 8);
    EXPECT_GT(f.status, 0);
    EXPECT_EQ(f.u, a);
    for (double x : f.w) EXPECT_EQ(x, -7.0);
    for (double x : f.v) EXPECT_EQ(x, -7.0);
    st.units.close(parvane::kUnitListing);
    const auto lines = solver_test::read_lines(dir.file("out.sou"));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[0].find("fatal error"), std::string::npos);
    EXPECT_NE(lines[0].find(" 7"), std::string::npos);
    EXPECT_NE(lines[0].find(" 8"), std::string::npos);
    EXPECT_EQ(lines[1], " fewer equations than unknowns, svdc_factor");
}

}  // namespace
