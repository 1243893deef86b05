// Location of concentrated actions in the mesh.
#include <gtest/gtest.h>

#include <vector>

#include "solver/input/locate.h"
#include "solver/run/state.h"

namespace {

using parvane::RunState;

// Two elements side by side in the plane x = 0 on the six points (y, z)
// given: nodes 1-3 along the bottom, 4-6 along the top, counter-clockwise.
void two_elements(RunState& st, const double (&yz)[6][2]) {
    st.npoin = 6;
    st.nelem = 2;
    st.nnode = 4;
    parvane::set_fixed_values(st);
    st.coord.allocate(3, 6);
    st.lnods.allocate(4, 2);
    for (int p = 1; p <= 6; ++p) {
        st.coord(2, p) = yz[p - 1][0];
        st.coord(3, p) = yz[p - 1][1];
    }
    const int conn[2][4] = {{1, 2, 5, 4}, {2, 3, 6, 5}};
    for (int e = 1; e <= 2; ++e)
        for (int a = 1; a <= 4; ++a) st.lnods(a, e) = conn[e - 1][a - 1];
}

// Two 2 x 1 elements: element 1 from y = 0 to 2, element 2 from y = 2 to 4,
// z from 0 to 1, moved by the offsets.
void two_elements(RunState& st, double y_offset = 0.0, double z_offset = 0.0) {
    double yz[6][2] = {{0, 0}, {2, 0}, {4, 0}, {0, 1}, {2, 1}, {4, 1}};
    for (auto& p : yz) {
        p[0] += y_offset;
        p[1] += z_offset;
    }
    two_elements(st, yz);
}

TEST(LocatePointLoads, PointsInsideOnSidesAndOutside) {
    struct Case {
        double x, y, z;
        int element;
        double s, t;
    };
    const Case cases[] = {
        {0, 3, 0.5, 2, 0, 0},   {0, 2, 0.25, 1, 1, -0.5},  // on the common side: the lower element number
        {0, 1, 1, 1, 0, 1},     {0, 5, 0.5, 0, 0, 0},      // outside the mesh
        {0, 4, 1, 2, 1, 1},                                // a corner node
        {0.7, 1, 0.5, 1, 0, 0},                            // off the plane: the foot of its projection
    };
    RunState st;
    two_elements(st);
    const int n = static_cast<int>(std::size(cases));
    parvane::FArray<double> pos;
    parvane::FArray<int> el;
    pos.allocate(3, n);
    el.allocate(n);
    for (int i = 1; i <= n; ++i) {
        pos(1, i) = cases[i - 1].x;
        pos(2, i) = cases[i - 1].y;
        pos(3, i) = cases[i - 1].z;
        el(i) = 99;
    }
    parvane::locate_point_loads(st, n, pos, el);
    for (int i = 1; i <= n; ++i) {
        const Case& c = cases[i - 1];
        EXPECT_EQ(el(i), c.element) << i;
        if (c.element != 0) {
            EXPECT_NEAR(pos(1, i), c.s, 1e-12) << i;
            EXPECT_NEAR(pos(2, i), c.t, 1e-12) << i;
        } else {
            EXPECT_EQ(pos(1, i), c.x) << i;
            EXPECT_EQ(pos(2, i), c.y) << i;
        }
        EXPECT_EQ(pos(3, i), c.z) << "component 3 keeps the input, point " << i;
    }
}

TEST(LocatePointLoads, CountZeroChangesNothing) {
    RunState st;
    two_elements(st);
    parvane::FArray<double> pos;
    parvane::FArray<int> el;
    pos.allocate(3, 1);
    el.allocate(1);
    el(1) = 5;
    pos(2, 1) = 3;
    parvane::locate_point_loads(st, 0, pos, el);
    EXPECT_EQ(el(1), 5);
    EXPECT_EQ(pos(2, 1), 3.0);
}

TEST(LocatePointLoads, LaterElementsAreNotVisitedOnceAllAreFound) {
    RunState st;
    two_elements(st);
    st.lnods(1, 2) = 2;  // make element 2 degenerate: it would locate nothing
    st.lnods(2, 2) = 2;
    st.lnods(3, 2) = 2;
    st.lnods(4, 2) = 2;
    parvane::FArray<double> pos;
    parvane::FArray<int> el;
    pos.allocate(3, 2);
    el.allocate(2);
    pos(2, 1) = 0.5;
    pos(3, 1) = 0.5;
    pos(2, 2) = 1.5;
    pos(3, 2) = 0.25;
    parvane::locate_point_loads(st, 2, pos, el);
    EXPECT_EQ(el(1), 1);
    EXPECT_EQ(el(2), 1);
}

// A point whose local coordinate is zero up to rounding (the middle of an
// element placed away from the origin) settles in a few steps and is found.
TEST(LocatePointLoads, CoordinateNearZeroIsFound) {
    for (const double offset : {0.1, 1.0 / 3.0, 12345.678}) {
        RunState st;
        two_elements(st, offset, 0.3);
        // A parallelogram: shift the top nodes so that the mapping is not a scaling.
        st.coord(2, 4) += 0.7;
        st.coord(2, 5) += 0.7;
        st.coord(2, 6) += 0.7;
        parvane::FArray<double> pos;
        parvane::FArray<int> el;
        pos.allocate(3, 1);
        el.allocate(1);
        // The centre of element 2.
        pos(2, 1) = (st.coord(2, 2) + st.coord(2, 3) + st.coord(2, 6) + st.coord(2, 5)) / 4;
        pos(3, 1) = (st.coord(3, 2) + st.coord(3, 3) + st.coord(3, 6) + st.coord(3, 5)) / 4;
        parvane::locate_point_loads(st, 1, pos, el);
        EXPECT_EQ(el(1), 2) << offset;
        EXPECT_NEAR(pos(1, 1), 0.0, 1e-9) << offset;
        EXPECT_NEAR(pos(2, 1), 0.0, 1e-9) << offset;
    }
}

// A node of a distorted mesh comes out of the mapping a rounding error beyond
// the bounds; it still belongs to the first element that holds it.
TEST(LocatePointLoads, NodeOfADistortedMeshIsFound) {
    RunState st;
    const double yz[6][2] = {{0.1, 0.05}, {2.3, -0.17}, {4.1, 0.3}, {-0.2, 1.13}, {1.9, 0.97}, {4.3, 1.4}};
    two_elements(st, yz);
    for (int p : {1, 2, 3, 4, 5, 6}) {
        parvane::FArray<double> pos;
        parvane::FArray<int> el;
        pos.allocate(3, 1);
        el.allocate(1);
        pos(2, 1) = st.coord(2, p);
        pos(3, 1) = st.coord(3, p);
        parvane::locate_point_loads(st, 1, pos, el);
        EXPECT_EQ(el(1), (p == 3 || p == 6) ? 2 : 1) << "node " << p;
        EXPECT_LE(std::abs(pos(1, 1)), 1.0);
        EXPECT_NEAR(std::abs(pos(1, 1)), 1.0, 1e-9) << "node " << p;
        EXPECT_NEAR(std::abs(pos(2, 1)), 1.0, 1e-9) << "node " << p;
    }
}

}  // namespace
