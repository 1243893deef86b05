// Shape functions of the element kinds, point location and the searches for
// contour crossings.

#include <gtest/gtest.h>

#include <cmath>

#include "model/Interpolation.h"
#include "test_solver_input_support.h"

using bridgetest::ReadModelText;

namespace {

struct Kind {
    int kind;
    int nodes;
};
const Kind kKinds[] = {{4, 4}, {8, 8}, {9, 9}};

// Local coordinates of the nodes in element order.
const double kNodeXi[9] = {-1, 1, 1, -1, 0, 1, 0, -1, 0};
const double kNodeEta[9] = {-1, -1, 1, 1, -1, 0, 1, 0, 0};

const double kSamples[][2] = {{0.3, -0.7}, {-0.9, 0.2}, {0.0, 0.0}, {1.0, 0.5}, {-0.45, 0.95}};

}  // namespace

TEST(ShapeFunctions, KroneckerAtTheNodesAndPartitionOfUnity) {
    for (const Kind& k : kKinds) {
        for (int node = 0; node < k.nodes; ++node) {
            double n[9];
            ShapeFunctions(kNodeXi[node], kNodeEta[node], k.kind, n);
            for (int j = 0; j < k.nodes; ++j)
                EXPECT_NEAR(n[j], j == node ? 1.0 : 0.0, 1e-15)
                    << "kind " << k.kind << " node " << node + 1 << " N" << j + 1;
        }
        for (const auto& p : kSamples) {
            double n[9], dxi[9], deta[9];
            ShapeFunctions(p[0], p[1], k.kind, n);
            ShapeFunctionsDXi(p[0], p[1], k.kind, dxi);
            ShapeFunctionsDEta(p[0], p[1], k.kind, deta);
            double sum = 0, sumXi = 0, sumEta = 0;
            for (int j = 0; j < k.nodes; ++j) {
                sum += n[j];
                sumXi += dxi[j];
                sumEta += deta[j];
            }
            EXPECT_NEAR(sum, 1.0, 1e-14) << k.kind;
            EXPECT_NEAR(sumXi, 0.0, 1e-14) << k.kind;
            EXPECT_NEAR(sumEta, 0.0, 1e-14) << k.kind;
            // The derivatives are those of the functions (central differences).
            const double h = 1e-6;
            double a[9], b[9], c[9], d[9];
            ShapeFunctions(p[0] + h, p[1], k.kind, a);
            ShapeFunctions(p[0] - h, p[1], k.kind, b);
            ShapeFunctions(p[0], p[1] + h, k.kind, c);
            ShapeFunctions(p[0], p[1] - h, k.kind, d);
            for (int j = 0; j < k.nodes; ++j) {
                EXPECT_NEAR(dxi[j], (a[j] - b[j]) / (2 * h), 1e-8) << "kind " << k.kind << " dN" << j + 1 << "/dxi";
                EXPECT_NEAR(deta[j], (c[j] - d[j]) / (2 * h), 1e-8) << "kind " << k.kind << " dN" << j + 1 << "/deta";
            }
            // Quadratic kinds reproduce x^2-free bilinear fields exactly: xi * eta.
            double field[9];
            for (int j = 0; j < k.nodes; ++j) field[j] = kNodeXi[j] * kNodeEta[j] + 2 * kNodeXi[j] - kNodeEta[j];
            EXPECT_NEAR(DotProduct(k.nodes, n, field), p[0] * p[1] + 2 * p[0] - p[1], 1e-14) << k.kind;
        }
    }
}

TEST(ShapeFunctions, SideFunctions) {
    struct Case {
        int nodes;
        double s;
        std::vector<double> n;
    };
    const Case cases[] = {
        {2, -1, {1, 0}},   {2, 1, {0, 1}},    {2, 0.5, {0.25, 0.75}},          {3, -1, {1, 0, 0}},
        {3, 1, {0, 1, 0}}, {3, 0, {0, 0, 1}}, {3, 0.5, {-0.125, 0.375, 0.75}},
    };
    for (const Case& c : cases) {
        double n[3] = {};
        EdgeShapeFunctions(c.s, c.nodes, n);
        for (std::size_t j = 0; j < c.n.size(); ++j) EXPECT_DOUBLE_EQ(n[j], c.n[j]) << c.nodes << " " << c.s;
    }
    const double w[3] = {1, 2, 3}, v[3] = {4, 5, 6};
    EXPECT_EQ(DotProduct(3, w, v), 32.0);
    EXPECT_EQ(DotProduct(0, w, v), 0.0);
}

TEST(ContourCrossings, LevelsAlongElementLines) {
    // 4 nodes along xi at eta = -1: values 0 and 1 at nodes 1 and 2.
    const double linear[4] = {0, 1, 1, 0};
    // 8 nodes along xi at eta = -1: 1, -1, 1 at nodes 1, 5, 2, so 2 xi^2 - 1.
    const double quadratic[8] = {1, 1, 0, 0, -1, 0, 0, 0};
    const double constant[8] = {2, 2, 2, 2, 2, 2, 2, 2};
    struct Case {
        const char* what;
        int kind;
        const double* values;
        double level;
        int found;
        double t1, t2;
    };
    const double r = std::sqrt(0.5);
    const Case cases[] = {
        {"linear inside", 4, linear, 0.25, 1, -0.5, 0},
        {"linear at the line end", 4, linear, 0.0, 1, -1, 0},
        {"linear outside the range", 4, linear, 1.5, -1, 0, 0},
        {"quadratic twice", 8, quadratic, 0.0, 2, -r, r},
        {"quadratic at its ends", 8, quadratic, 1.0, 2, -1, 1},
        {"quadratic tangent", 8, quadratic, -1.0, 1, 0, 0},
        {"constant equal to the level", 8, constant, 2.0, 0, 0, 0},
        {"constant other level", 8, constant, 1.0, -1, 0, 0},
    };
    for (const Case& c : cases) {
        double t1 = 9, t2 = 9;
        EXPECT_EQ(FindEdgeLevelCrossings(c.kind, 0, -1.0, c.values, c.level, t1, t2), c.found) << c.what;
        if (c.found >= 1) {
            EXPECT_NEAR(t1, c.t1, 1e-7) << c.what;
        }
        if (c.found == 2) {
            EXPECT_NEAR(t2, c.t2, 1e-8) << c.what;
        }
    }

    // The same field along eta (direction 1) on side 4 (xi = -1): nodes 1, 8, 4.
    const double alongEta[8] = {1, 0, 0, 1, 0, 0, 0, -1};
    double t1 = 0, t2 = 0;
    EXPECT_EQ(FindEdgeLevelCrossings(8, 1, -1.0, alongEta, 0.0, t1, t2), 2);
    EXPECT_NEAR(t1, -r, 1e-8);
    EXPECT_NEAR(t2, r, 1e-8);

    // A single search: a start that runs out of the element reports 0 but
    // leaves where it ended.
    double t = 0.9;
    EXPECT_EQ(FindContourCrossing(4, 0, -1.0, linear, 3.0, t), 0);
    EXPECT_NEAR(t, 5.0, 1e-12);
    const double flat[4] = {1, 1, 1, 1};
    t = 0.2;
    EXPECT_EQ(FindContourCrossing(4, 0, -1.0, flat, 3.0, t), 0);
    EXPECT_EQ(t, 0.2);
}

TEST(PointLocation, FirstElementOnASharedSideAndLocalCoordinates) {
    // Two 8-node elements side by side, the second with a curved far side.
    ModelData m;
    const std::string text =
        "V4.1\nNODE_DATA\n"
        "*\t1\t0\t0\t0\n*\t2\t0\t2\t0\n*\t3\t0\t2\t2\n*\t4\t0\t0\t2\n*\t5\t0\t1\t0\n*\t6\t0\t2\t1\n*\t7\t0\t1\t2\n*\t8\t0\t0\t1\n"
        "*\t9\t0\t4\t0\n*\t10\t0\t4\t2\n*\t11\t0\t3\t0\n*\t12\t0\t4.3\t1\n*\t13\t0\t3\t2\nEND_NODE_DATA\n"
        "ELEMENT_DATA\n\tQUAD8\tNORMAL_INTEGRATION\n*\t1\t1\t1\t2\t3\t4\t5\t6\t7\t8\n*\t2\t1\t2\t9\t10\t3\t11\t12\t13\t6\n"
        "END_ELEMENT_DATA\nEND_DATA\n";
    ASSERT_EQ(ReadModelText(m, text), 0);
    EXPECT_EQ(m.GetNodesPerElement(), 8);
    EXPECT_EQ(m.GetEdgeNodeCount(), 3);

    double xi = 5, eta = 5;
    EXPECT_EQ(m.LocateElementAtPoint(0, 2, 1, xi, eta), 0);
    EXPECT_EQ(xi, 1.0);
    EXPECT_EQ(eta, 0.0);
    EXPECT_EQ(m.LocateElementAtPoint(0, 0.5, 1.5, xi, eta), 0);
    EXPECT_NEAR(xi, -0.5, 1e-12);
    EXPECT_NEAR(eta, 0.5, 1e-12);
    EXPECT_EQ(m.LocateElementAtPoint(0, 5, 1, xi, eta), -1);
    EXPECT_EQ(m.LocateElementAtPoint(0, 1, 1, xi, eta), 0);
    EXPECT_EQ(m.LocateElementAtPoint(0.5, 1, 1, xi, eta), -1);  // off the plane

    // A point of the curved element given by its local coordinates is found
    // again at them.
    double x, y, z;
    m.ElementPointAtLocal(x, y, z, 0, 1, 1, 0.6, -0.3, 0, 0.0);
    EXPECT_EQ(m.LocateElementAtPoint(x, y, z, xi, eta), 1);
    EXPECT_NEAR(xi, 0.6, 1e-8);
    EXPECT_NEAR(eta, -0.3, 1e-8);

    // Side points.
    struct Side {
        int code;
        double s, xi, eta;
    };
    for (const Side& c :
         std::vector<Side>{{0, 0.25, 0.25, -1}, {1, 0.25, 1, 0.25}, {2, -0.5, -0.5, 1}, {3, 0.75, -1, 0.75}}) {
        double a = 7, b = 7;
        ModelData::SideLocalCoordinates(a, b, c.code, c.s);
        EXPECT_EQ(a, c.xi);
        EXPECT_EQ(b, c.eta);
    }
    double a = 7, b = 7;
    ModelData::SideLocalCoordinates(a, b, 4, 0.5);
    EXPECT_EQ(a, 7.0);
    EXPECT_EQ(b, 7.0);

    const double values[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    EXPECT_EQ(m.InterpolateAtLocal(0, 0.3, 0.3, nullptr), 1.0);
    EXPECT_DOUBLE_EQ(m.InterpolateOnSide(0, 1, 0.0, values), 6.0);  // node 6 at the middle of side 2
    EXPECT_DOUBLE_EQ(m.InterpolateOnSide(0, 2, 1.0, values), 3.0);  // corner 3
    m.ElementPointOnSide(x, y, z, 0, 1, 1, 1, 0.0, 0, 0.0);
    EXPECT_DOUBLE_EQ(y, 4.3);
    EXPECT_DOUBLE_EQ(z, 1.0);
}
