// Shape functions, side functions, Gauss rules, Jacobian and inverse mapping.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "solver/elements/interpolation.h"
#include "solver/run/state.h"
#include "test_input_support.h"

namespace {

using namespace solver_test;
using parvane::RunState;

TEST(ShapeFunctions, ValuesAtAPointFromTheirFormulas) {
    RunState st;
    parvane::shape_functions(st, 0.3, -0.7, 4);
    const double want4[8] = {0.7 * 1.7 / 4,  1.3 * 1.7 / 4,  1.3 * 0.3 / 4,  0.7 * 0.3 / 4,
                             0.91 * 1.7 / 2, 1.3 * 0.51 / 2, 0.91 * 0.3 / 2, 0.7 * 0.51 / 2};
    for (int i = 1; i <= 8; ++i) EXPECT_NEAR(st.shape_common.N(i), want4[i - 1], 1e-15) << "N" << i;

    parvane::shape_functions(st, 0.3, -0.7, 9);
    EXPECT_NEAR(st.shape_common.N(9), 0.91 * 0.51, 1e-15);
    EXPECT_NEAR(st.shape_common.N(5), (-0.7) * (-1.7) / 2 * 0.91, 1e-15);

    // Serendipity corner: N1 = (1-s)(1-t)(-s-t-1)/4.
    parvane::shape_functions(st, 0.3, -0.7, 8);
    EXPECT_NEAR(st.shape_common.N(1), 0.7 * 1.7 * (-0.3 + 0.7 - 1) / 4, 1e-15);
}

TEST(ShapeFunctions, PartitionOfUnityAndNodalValues) {
    const double nodes[9][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}, {0, -1}, {1, 0}, {0, 1}, {-1, 0}, {0, 0}};
    RunState st;
    for (int n : {4, 8, 9}) {
        for (const auto& p : {std::pair{0.3, -0.7}, std::pair{-0.9, 0.2}, std::pair{1.0, 1.0}}) {
            parvane::shape_functions(st, p.first, p.second, n);
            double sum = 0, ds = 0, dt = 0;
            const int m = n == 4 ? 4 : n;
            for (int i = 1; i <= m; ++i) {
                sum += st.shape_common.N(i);
                ds += st.shape_common.dN(1, i);
                dt += st.shape_common.dN(2, i);
            }
            EXPECT_NEAR(sum, 1.0, 1e-14) << n;
            EXPECT_NEAR(ds, 0.0, 1e-14) << n;
            EXPECT_NEAR(dt, 0.0, 1e-14) << n;
        }
        // Each function is 1 at its own node and 0 at the others.
        for (int j = 1; j <= n; ++j) {
            parvane::shape_functions(st, nodes[j - 1][0], nodes[j - 1][1], n);
            for (int i = 1; i <= n; ++i)
                EXPECT_NEAR(st.shape_common.N(i), i == j ? 1.0 : 0.0, 1e-15) << n << " " << i << "@" << j;
        }
    }
}

TEST(ShapeFunctions, DerivativesMatchDifferenceQuotients) {
    RunState a, b;
    const double s = 0.37, t = -0.21, h = 1e-6;
    for (int n : {4, 8, 9}) {
        parvane::shape_functions(a, s, t, n);
        const int m = n == 4 ? 8 : n;  // the 4-node element carries N5..N8 too
        for (int dir = 1; dir <= 2; ++dir) {
            RunState plus, minus;
            parvane::shape_functions(plus, s + (dir == 1 ? h : 0), t + (dir == 2 ? h : 0), n);
            parvane::shape_functions(minus, s - (dir == 1 ? h : 0), t - (dir == 2 ? h : 0), n);
            for (int i = 1; i <= m; ++i) {
                const double q = (plus.shape_common.N(i) - minus.shape_common.N(i)) / (2 * h);
                EXPECT_NEAR(a.shape_common.dN(dir, i), q, 1e-8) << n << " d" << dir << " N" << i;
            }
        }
    }
    (void)b;
}

TEST(ShapeFunctions, OtherCountsChangeNothingAndNineIsKeptByFourAndEight) {
    RunState st;
    parvane::shape_functions(st, 0.5, 0.5, 9);
    const double n9 = st.shape_common.N(9), d9 = st.shape_common.dN(1, 9);
    const auto before = st.shape_common.shape_values;
    parvane::shape_functions(st, -0.2, 0.1, 5);
    EXPECT_EQ(st.shape_common.shape_values, before);
    parvane::shape_functions(st, -0.2, 0.1, 4);
    EXPECT_EQ(st.shape_common.N(9), n9);
    parvane::shape_functions(st, -0.2, 0.1, 8);
    EXPECT_EQ(st.shape_common.N(9), n9);
    EXPECT_EQ(st.shape_common.dN(1, 9), d9);
}

TEST(EdgeShapeFunctions, TwoAndThreeNodesAndClearing) {
    RunState st;
    parvane::shape_functions(st, 0.1, 0.2, 9);
    parvane::edge_shape_functions(st, 0.4, 3);
    EXPECT_NEAR(st.shape_common.N(1), -0.4 * 0.6 / 2, 1e-15);
    EXPECT_NEAR(st.shape_common.N(2), 0.4 * 1.4 / 2, 1e-15);
    EXPECT_NEAR(st.shape_common.N(3), 1.4 * 0.6, 1e-15);
    EXPECT_NEAR(st.shape_common.dN(1, 1), -0.1, 1e-15);
    EXPECT_NEAR(st.shape_common.dN(1, 2), 0.9, 1e-15);
    EXPECT_NEAR(st.shape_common.dN(1, 3), -0.8, 1e-15);
    for (int i = 4; i <= 9; ++i) EXPECT_EQ(st.shape_common.N(i), 0.0);
    for (int i = 1; i <= 9; ++i) EXPECT_EQ(st.shape_common.dN(2, i), 0.0);

    parvane::edge_shape_functions(st, 0.4, 2);
    EXPECT_NEAR(st.shape_common.N(1), 0.3, 1e-15);
    EXPECT_NEAR(st.shape_common.N(2), 0.7, 1e-15);
    EXPECT_EQ(st.shape_common.N(3), 0.0);
    EXPECT_EQ(st.shape_common.dN(1, 1), -0.5);
    EXPECT_EQ(st.shape_common.dN(1, 2), 0.5);

    parvane::edge_shape_functions(st, 0.4, 4);
    for (int i = 1; i <= 9; ++i) {
        EXPECT_EQ(st.shape_common.N(i), 0.0);
        EXPECT_EQ(st.shape_common.dN(1, i), 0.0);
    }
}

TEST(GaussPoints, BothRulesWithTheirOwnCounts) {
    struct Case {
        int n;
        std::vector<double> pos, w;
    };
    const Case cases[] = {
        {1, {0.0}, {2.0}},
        {2, {-0.577350269189626, 0.577350269189626}, {1.0, 1.0}},
        {3, {-0.774596669241483, 0.0, 0.774596669241483}, {0.5555555555555556, 0.888888888888889, 0.5555555555555556}},
    };
    for (const auto& main : cases)
        for (const auto& second : cases) {
            RunState st;
            st.ngaus = main.n;
            st.ngaus2 = second.n;
            parvane::gauss_points(st);
            for (int i = 0; i < main.n; ++i) {
                EXPECT_EQ(st.gauss_common.gauss_positions[static_cast<std::size_t>(i)],
                          main.pos[static_cast<std::size_t>(i)]);
                EXPECT_EQ(st.gauss_common.gauss_weights[static_cast<std::size_t>(i)],
                          main.w[static_cast<std::size_t>(i)]);
            }
            for (int i = 0; i < second.n; ++i) {
                EXPECT_EQ(st.gauss_common.gauss_positions2[static_cast<std::size_t>(i)],
                          second.pos[static_cast<std::size_t>(i)]);
                EXPECT_EQ(st.gauss_common.gauss_weights2[static_cast<std::size_t>(i)],
                          second.w[static_cast<std::size_t>(i)]);
            }
        }
}

// Loads the corners of a 4-node element into the element block: the plane
// coordinates are (y, -z) of the model's points, the global ones (x, y, z).
void load_element(RunState& st, const double yz[4][2]) {
    for (int i = 1; i <= 4; ++i) {
        st.shape_common.ecoord(1, i) = 0.0;
        st.shape_common.ecoord(2, i) = yz[i - 1][0];
        st.shape_common.ecoord(3, i) = yz[i - 1][1];
        st.shape_common.pcoord(1, i) = yz[i - 1][0];
        st.shape_common.pcoord(2, i) = yz[i - 1][1];
        st.shape_common.pcoord(3, i) = 0.0;
    }
}

TEST(Jacob2, RectangleAndClockwiseElement) {
    ScratchDir dir("jacob2");
    RunState st;
    ASSERT_EQ(st.units.open(parvane::kUnitListing, dir.file("j.sou"), fio::OpenStatus::Unknown), fio::kOk);
    st.nnode = 4;
    st.ngaus = 2;
    st.ngaus2 = 2;
    parvane::gauss_points(st);
    const double ccw[4][2] = {{0, 0}, {2, 0}, {2, 1}, {0, 1}};
    load_element(st, ccw);
    int status = 0, k = 0;
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2; ++j) {
            ++k;
            const double s = st.gauss_common.gauss_positions[static_cast<std::size_t>(i)];
            const double t = st.gauss_common.gauss_positions[static_cast<std::size_t>(j)];
            parvane::shape_functions(st, s, t, 4);
            double det = 0;
            parvane::jacob2(st, 1, det, k, status);
            EXPECT_NEAR(det, 0.5, 1e-15);
            EXPECT_EQ(status, 0);
            // Gauss point coordinates: y = 1 + s, z = (1 + t) / 2.
            EXPECT_NEAR(st.gauss_common.point(2, k), 1.0 + s, 1e-15);
            EXPECT_NEAR(st.gauss_common.point(3, k), (1.0 + t) / 2, 1e-15);
            // d/dy of N2 = (1+s)(1-t)/4 with s = y - 1: (1-t)/4; d/dz = -(1+s)/2.
            EXPECT_NEAR(st.shape_common.cart(1, 2), (1 - t) / 4, 1e-15);
            EXPECT_NEAR(st.shape_common.cart(2, 2), -(1 + s) / 2, 1e-15);
            // The mid-side functions of a 4-node element get derivatives too.
            EXPECT_NEAR(st.shape_common.cart(1, 5), -s * (1 - t), 1e-15);
        }
    EXPECT_NEAR(st.inverse_jacobian[0], 1.0, 1e-15);
    EXPECT_NEAR(st.inverse_jacobian[3], 2.0, 1e-15);

    const auto cart_before = st.shape_common.cartesian_derivatives;
    const double cw[4][2] = {{0, 0}, {0, 1}, {2, 1}, {2, 0}};
    load_element(st, cw);
    parvane::shape_functions(st, 0.1, 0.2, 4);
    double det = 0;
    parvane::jacob2(st, 7, det, 1, status);
    EXPECT_NEAR(det, -0.5, 1e-15);
    EXPECT_EQ(status, parvane::kStatusJacobian);
    EXPECT_EQ(st.shape_common.cartesian_derivatives, cart_before);
    st.units.close_all();
    EXPECT_EQ(read_lines(dir.file("j.sou")),
              (std::vector<std::string>{"", "", " PROGRAM halted in SUBROUTINE jacob2",
                                        "            zero or negative area", "           element number     7"}));
}

TEST(Jacob2, DegenerateElementStopsAsWell) {
    ScratchDir dir("jacob2z");
    RunState st;
    ASSERT_EQ(st.units.open(parvane::kUnitListing, dir.file("j.sou"), fio::OpenStatus::Unknown), fio::kOk);
    st.nnode = 4;
    const double flat[4][2] = {{0, 0}, {1, 0}, {2, 0}, {3, 0}};
    load_element(st, flat);
    parvane::shape_functions(st, 0.0, 0.0, 4);
    int status = 0;
    double det = 1;
    parvane::jacob2(st, 3, det, 1, status);
    EXPECT_EQ(det, 0.0);
    EXPECT_EQ(status, parvane::kStatusJacobian);
}

TEST(StressPointShape, InsideOutsideAndCentre) {
    RunState st;
    const double rect[12] = {0, 0, 0, 0, 2, 0, 0, 2, 1, 0, 0, 1};  // (x, y, z) of 4 points
    double s = 9, t = 9;
    // Outside: an extrapolation, not an error.
    EXPECT_TRUE(parvane::stress_point_shape(st, 4, s, t, 0, 3, 0.5, rect));
    EXPECT_NEAR(s, 2.0, 1e-12);
    EXPECT_NEAR(t, 0.0, 1e-12);
    EXPECT_NEAR(st.shape_common.N(1), -0.25, 1e-12);
    EXPECT_NEAR(st.shape_common.N(2), 0.75, 1e-12);
    EXPECT_NEAR(st.shape_common.N(3), 0.75, 1e-12);
    EXPECT_NEAR(st.shape_common.N(4), -0.25, 1e-12);
    // Centre.
    EXPECT_TRUE(parvane::stress_point_shape(st, 4, s, t, 0, 1, 0.5, rect));
    EXPECT_EQ(s, 0.0);
    EXPECT_EQ(t, 0.0);
    // A corner of a distorted quadrilateral.
    const double quad[12] = {0, 0, 0, 0, 3, 0.2, 0, 2.5, 2, 0, -0.3, 1.5};
    EXPECT_TRUE(parvane::stress_point_shape(st, 4, s, t, 0, 2.5, 2, quad));
    EXPECT_NEAR(s, 1.0, 1e-9);
    EXPECT_NEAR(t, 1.0, 1e-9);
    // A 9-node element curved along one side: its mid-side node maps to (0, -1).
    const double curved[27] = {0, 0, 0, 0, 2, 0, 0, 2, 2, 0, 0, 2, 0, 1, -0.3, 0, 2, 1, 0, 1, 2, 0, 0, 1, 0, 1, 1};
    EXPECT_TRUE(parvane::stress_point_shape(st, 9, s, t, 0, 1, -0.3, curved));
    EXPECT_NEAR(s, 0.0, 1e-9);
    EXPECT_NEAR(t, -1.0, 1e-9);
}

TEST(StressPointShape, ZeroLengthTangentGivesUp) {
    RunState st;
    const double point[12] = {0, 1, 1, 0, 1, 1, 0, 1, 1, 0, 1, 1};
    double s = 5, t = 5;
    EXPECT_FALSE(parvane::stress_point_shape(st, 4, s, t, 0, 2, 2, point));
    EXPECT_EQ(s, 0.0);
    EXPECT_EQ(t, 0.0);
}

TEST(MatrixProduct, LeadingSize54) {
    std::vector<double> a(54 * 54, 7.0), b(54 * 54, 7.0), c(54 * 54, -1.0);
    // A = [[1, 2], [3, 4]], B = [[0, 1], [1, 0]] in the top-left corner.
    a[0] = 1;
    a[54] = 2;
    a[1] = 3;
    a[55] = 4;
    b[0] = 0;
    b[54] = 1;
    b[1] = 1;
    b[55] = 0;
    parvane::matrix_product(c.data(), a.data(), b.data(), 2);
    EXPECT_EQ(c[0], 2);
    EXPECT_EQ(c[54], 1);
    EXPECT_EQ(c[1], 4);
    EXPECT_EQ(c[55], 3);
    EXPECT_EQ(c[2], -1.0);  // outside the n x n block nothing changes
    EXPECT_EQ(c[56], -1.0);
}

}  // namespace
