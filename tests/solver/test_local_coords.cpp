// Points of a stretch and their local coordinates in the crossed element.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "solver/cuts/local_coords.h"

namespace {

using parvane::local_coords;
using parvane::local_point;
using parvane::point_shape_values;

const double kNodeXi[9] = {-1, 1, 1, -1, 0, 1, 0, -1, 0};
const double kNodeEta[9] = {-1, -1, 1, 1, -1, 0, 1, 0, 0};

TEST(LocalCoords, ShapeValuesAreOneAtTheirNodeAndSumToOne) {
    for (int nnode : {4, 8, 9}) {
        for (int i = 0; i < nnode; ++i) {
            double v[9] = {};
            point_shape_values(nnode, kNodeXi[i], kNodeEta[i], v);
            for (int k = 0; k < nnode; ++k) EXPECT_NEAR(v[k], k == i ? 1.0 : 0.0, 1e-15) << nnode << " node " << i + 1;
        }
        const double pts[][2] = {{0.3, -0.7}, {-0.9, 0.15}, {0.5, 0.5}};
        for (const auto& p : pts) {
            double v[9] = {}, sum = 0.0;
            point_shape_values(nnode, p[0], p[1], v);
            for (int k = 0; k < nnode; ++k) sum += v[k];
            EXPECT_NEAR(sum, 1.0, 1e-15);
        }
    }
    double v[9] = {5, 5, 5, 5, 5, 5, 5, 5, 5};
    point_shape_values(6, 0.1, 0.2, v);
    for (double x : v) EXPECT_EQ(x, 5.0);
}

TEST(LocalCoords, InverseOfTwoByTwo) {
    double inv[4] = {9, 9, 9, 9}, det = 0.0;
    int status = 7;
    const double a[4] = {2.0, 1.0, 3.0, 4.0};  // [[2, 3], [1, 4]]
    parvane::invert_2x2(a, inv, det, status);
    EXPECT_EQ(status, 0);
    EXPECT_DOUBLE_EQ(det, 5.0);
    EXPECT_DOUBLE_EQ(inv[0], 0.8);
    EXPECT_DOUBLE_EQ(inv[1], -0.2);
    EXPECT_DOUBLE_EQ(inv[2], -0.6);
    EXPECT_DOUBLE_EQ(inv[3], 0.4);
    const double s[4] = {1.0, 2.0, 0.5, 1.0 + 1e-16};
    double keep[4] = {9, 9, 9, 9};
    parvane::invert_2x2(s, keep, det, status);
    EXPECT_EQ(status, -1);
    for (double x : keep) EXPECT_EQ(x, 9.0);
}

TEST(LocalCoords, StretchPointsKeepAConstantCoordinateExactly) {
    std::vector<double> y(5), z(5);
    parvane::stretch_points(5, 0.1, 0.3, 0.9, 0.3 + 5e-9, y.data(), z.data());
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(z[i], 0.3);
        EXPECT_NEAR(y[i], 0.1 + 0.2 * i, 1e-15);
    }
    parvane::stretch_points(3, 0.7, 1.0, 0.7 + 5e-9, 2.0, y.data(), z.data());
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(y[i], 0.7);
        EXPECT_NEAR(z[i], 1.0 + 0.5 * i, 1e-15);
    }
    y.assign(5, -1.0);
    parvane::stretch_points(0, 0, 0, 1, 1, y.data(), z.data());
    EXPECT_EQ(y[0], -1.0);
}

// Geometry table (9 x 2 by columns) from node (y, z) pairs.
std::vector<double> geometry(std::initializer_list<std::pair<double, double>> nodes) {
    std::vector<double> g(18, 0.0);
    int k = 0;
    for (auto [y, z] : nodes) {
        g[static_cast<std::size_t>(k)] = y;
        g[static_cast<std::size_t>(9 + k)] = z;
        ++k;
    }
    return g;
}

TEST(LocalCoords, NewtonFindsPointsOfParallelogramsAndCurvedElements) {
    // A parallelogram: the mapping is affine.
    const auto para = geometry({{0, 0}, {4, 1}, {5, 3}, {1, 2}});
    struct Case {
        double xi, eta;
    } cases[] = {{-1, -1}, {1, 1}, {1, -1}, {0.25, -0.6}, {-1, 0.3}, {1.8, 0.0}};
    for (const Case& c : cases) {
        double n[4];
        point_shape_values(4, c.xi, c.eta, n);
        double y = 0, z = 0;
        for (int k = 0; k < 4; ++k) y += n[k] * para[k], z += n[k] * para[9 + k];
        double xi = 9, eta = 9;
        local_point(4, para.data(), y, z, xi, eta);
        EXPECT_NEAR(xi, c.xi, 1e-6);
        EXPECT_NEAR(eta, c.eta, 1e-6);
    }
    // An 8-node element with a curved side and a distorted 9-node element.
    const auto q8 = geometry({{0, 0}, {2, 0}, {2, 2}, {0, 2}, {1, -0.2}, {2.1, 1}, {1, 2}, {0, 1}});
    const auto q9 = geometry({{0, 0}, {2, 0.2}, {2.2, 2}, {0, 2}, {1, 0.1}, {2.1, 1.1}, {1.1, 2}, {0, 1}, {1.05, 1.0}});
    for (int nnode : {8, 9}) {
        const auto& g = nnode == 8 ? q8 : q9;
        for (const Case& c : {Case{0.3, -0.4}, Case{-0.8, 0.9}, Case{1, 1}}) {
            double n[9] = {};
            point_shape_values(nnode, c.xi, c.eta, n);
            double y = 0, z = 0;
            for (int k = 0; k < nnode; ++k) y += n[k] * g[k], z += n[k] * g[9 + k];
            double xi = 9, eta = 9;
            local_point(nnode, g.data(), y, z, xi, eta);
            EXPECT_NEAR(xi, c.xi, 1e-4) << nnode;
            EXPECT_NEAR(eta, c.eta, 1e-4) << nnode;
        }
    }
}

TEST(LocalCoords, StretchAcrossASquareAndItsEdgeCases) {
    const auto sq = geometry({{1, 1}, {3, 1}, {3, 3}, {1, 3}});
    std::vector<double> xi(5, 9.0), eta(5, 9.0);
    local_coords(4, 5, sq.data(), 1.0, 2.0, 3.0, 2.0, xi.data(), eta.data());
    for (int i = 0; i < 5; ++i) {
        EXPECT_NEAR(xi[i], -1.0 + 0.5 * i, 1e-9);
        EXPECT_NEAR(eta[i], 0.0, 1e-9);
    }
    // A stretch of one point repeated.
    local_coords(4, 5, sq.data(), 2.5, 1.5, 2.5, 1.5, xi.data(), eta.data());
    for (int i = 0; i < 5; ++i) {
        EXPECT_NEAR(xi[i], 0.5, 1e-9);
        EXPECT_NEAR(eta[i], -0.5, 1e-9);
    }
    // n <= 0 leaves the results alone.
    xi.assign(5, 9.0);
    local_coords(4, 0, sq.data(), 1, 1, 3, 3, xi.data(), eta.data());
    EXPECT_EQ(xi[0], 9.0);
    // A collapsed element has no Jacobian: the start point is kept.
    const auto flat = geometry({{1, 1}, {1, 1}, {1, 1}, {1, 1}});
    double x1 = 9, e1 = 9;
    local_point(4, flat.data(), 2.0, 2.0, x1, e1);
    EXPECT_EQ(x1, 0.0);
    EXPECT_EQ(e1, 0.0);
}

}  // namespace
