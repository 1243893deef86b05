// Dense kernels: 6 x 6 products, split norms and small inversions.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "solver/run/dense.h"
#include "solver/run/state.h"
#include "test_input_support.h"

namespace {

using namespace solver_test;

std::vector<double> sample_6x6() {
    std::vector<double> a(36);
    for (int j = 0; j < 6; ++j)
        for (int i = 0; i < 6; ++i)
            a[static_cast<std::size_t>(i + 6 * j)] = (i + 1) * 0.5 - (j + 1) * 0.25 + (i == j ? 3 : 0);
    return a;
}

TEST(MatrixKernel, ProductInPlaceAndNothingForZeroColumns) {
    const std::vector<double> a = sample_6x6();
    std::vector<double> b(12), c(12, 0.0);
    for (int q = 0; q < 12; ++q) b[static_cast<std::size_t>(q)] = q * 0.3 - 1.0;
    parvane::matrix_kernel(c.data(), a.data(), b.data(), 2);
    for (int k = 0; k < 2; ++k)
        for (int i = 0; i < 6; ++i) {
            double want = 0;
            for (int j = 0; j < 6; ++j)
                want += a[static_cast<std::size_t>(i + 6 * j)] * b[static_cast<std::size_t>(j + 6 * k)];
            EXPECT_DOUBLE_EQ(c[static_cast<std::size_t>(i + 6 * k)], want);
        }
    std::vector<double> same = b;
    parvane::matrix_kernel(same.data(), a.data(), same.data(), 2);
    EXPECT_EQ(same, c);

    std::vector<double> untouched(6, 42.0);
    parvane::matrix_kernel(untouched.data(), a.data(), b.data(), 0);
    EXPECT_EQ(untouched, std::vector<double>(6, 42.0));
}

TEST(SplitDofNorms, DisplacementsAndRotationsApart) {
    struct Case {
        std::vector<double> v;
        double n1, n2;
    };
    const Case cases[] = {
        {{3, 4, 0, 1, 0, 0}, 5, 1},
        {{1, 1, 1, 2, 2, 2, 1, 1, 1, 2, 2, 2}, std::sqrt(6.0), std::sqrt(24.0)},
        {{1, 2, 2, 0, 0, 0, 9, 9}, 3, 0},  // trailing entries ignored
        {{5, 5, 5}, 0, 0},                 // fewer than six
    };
    for (const auto& c : cases) {
        double n1 = -1, n2 = -1;
        parvane::split_dof_norms(c.v.data(), n1, n2, static_cast<int>(c.v.size()));
        EXPECT_DOUBLE_EQ(n1, c.n1);
        EXPECT_DOUBLE_EQ(n2, c.n2);
    }
}

TEST(InvertMatrix, IdentityDiagonalAndGeneral) {
    std::vector<double> id = {1, 0, 0, 0, 1, 0, 0, 0, 1}, inv(9, 0.0);
    ASSERT_TRUE(parvane::invert_matrix(id.data(), inv.data(), 3));
    EXPECT_EQ(inv, (std::vector<double>{1, 0, 0, 0, 1, 0, 0, 0, 1}));

    std::vector<double> diag = {2, 0, 0, 0, 0, 4, 0, 0, 0, 0, -8, 0, 0, 0, 0, 0.5};
    std::vector<double> dinv(16, 0.0);
    ASSERT_TRUE(parvane::invert_matrix(diag.data(), dinv.data(), 4));
    EXPECT_DOUBLE_EQ(dinv[0], 0.5);
    EXPECT_DOUBLE_EQ(dinv[5], 0.25);
    EXPECT_DOUBLE_EQ(dinv[10], -0.125);
    EXPECT_DOUBLE_EQ(dinv[15], 2.0);

    const std::vector<double> a = {4, 1, 0.5, 0.2, 1, 5, 1, 0.3, 0.5, 1, 6, 1, 0.2, 0.3, 1, 7};
    std::vector<double> work = a, b(16, 0.0);
    ASSERT_TRUE(parvane::invert_matrix(work.data(), b.data(), 4));
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            double p = 0;
            for (int k = 0; k < 4; ++k)
                p += a[static_cast<std::size_t>(i + 4 * k)] * b[static_cast<std::size_t>(k + 4 * j)];
            EXPECT_NEAR(p, i == j ? 1.0 : 0.0, 1e-13) << i << "," << j;
        }
}

TEST(InvertMatrix, ZeroPivotIsReportedWithoutInfinities) {
    struct Case {
        const char* what;
        int n;
        std::vector<double> a;
    };
    const Case cases[] = {
        {"zero first pivot", 2, {0, 1, 1, 0}},  // needs a row exchange
        {"singular", 2, {1, 2, 2, 4}},          // last pivot zero
        {"zero pivot on the way", 3, {1, 1, 0, 1, 1, 0, 0, 0, 1}},
        {"overflow", 2, {1e-300, 1, 1, 1e300}},
    };
    for (const auto& c : cases) {
        const int n = c.n;
        ScratchDir dir("invert");
        parvane::RunState st;
        ASSERT_EQ(st.units.open(parvane::kUnitListing, dir.file("i.sou"), fio::OpenStatus::Unknown), fio::kOk);
        std::vector<double> a = c.a, b(c.a.size(), 0.0);
        int status = 0;
        parvane::invert_small_matrix(st, a.data(), b.data(), n, 12, status);
        EXPECT_EQ(status, parvane::kStatusPivot) << c.what;
        for (double v : b) EXPECT_TRUE(std::isfinite(v)) << c.what;
        st.units.close_all();
        EXPECT_EQ(read_lines(dir.file("i.sou")),
                  (std::vector<std::string>{"", " zero pivot in the inversion of a matrix of element    12"}))
            << c.what;
    }
}

}  // namespace
