// Averaging of nodal deflections over elements and back to the nodes.
#include <gtest/gtest.h>

#include <vector>

#include "solver/results/averaging.h"
#include "test_element_fixture.h"

using namespace element_test;
using parvane::RunState;

namespace {

void incidence(RunState& st) {
    st.node_element_list.clear(st.npoin);
    for (int e = 1; e <= st.nelem; ++e)
        for (int a = 1; a <= st.nnode; ++a) st.node_element_list.add(st.lnods(a, e), e);
}

}  // namespace

TEST(Averaging, SharedNodeGivesAQuarterToEachOfItsElements) {
    RunState st;
    GridSpec g;  // 2 x 2 four-node elements, nodes 1..9, node 5 in all four
    build_grid(st, g);
    incidence(st);
    const int centre = st.lnods(3, 1);
    std::vector<double> disp(static_cast<std::size_t>(6 * st.npoin), 0.0), c(static_cast<std::size_t>(st.npoin), 0.0),
        w(4, 1.0), e(4), n(static_cast<std::size_t>(st.npoin));
    disp[static_cast<std::size_t>((centre - 1) * 6)] = 8.0;
    disp[static_cast<std::size_t>((centre - 1) * 6 + 1)] = 100.0;  // not the deflection: ignored
    c[static_cast<std::size_t>(centre - 1)] = 4.0;
    w[2] = 2.0;
    parvane::nodal_to_element_average(st, w.data(), e.data(), disp.data(), n.data(), c.data());
    EXPECT_DOUBLE_EQ(e[0], 3.0);
    EXPECT_DOUBLE_EQ(e[1], 3.0);
    EXPECT_DOUBLE_EQ(e[2], 1.5);
    EXPECT_DOUBLE_EQ(e[3], 3.0);
    EXPECT_DOUBLE_EQ(n[static_cast<std::size_t>(centre - 1)], (3.0 + 3.0 + 1.5 + 3.0) / 4.0);
    EXPECT_DOUBLE_EQ(n[0], 3.0);  // corner node: element 1 alone
    EXPECT_DOUBLE_EQ(n[1], 3.0);  // node 2: elements 1 and 2
}

TEST(Averaging, UniformDeflectionWithInverseCountWeightsIsKept) {
    for (int nnode : {4, 8, 9}) {
        RunState st;
        GridSpec g;
        g.nx = 3;
        g.ny = 2;
        g.nnode = nnode;
        build_grid(st, g);
        incidence(st);
        const double d = -0.0123;
        std::vector<double> disp(static_cast<std::size_t>(6 * st.npoin), 0.0),
            c(static_cast<std::size_t>(st.npoin), 0.0), w(static_cast<std::size_t>(st.nelem), 0.0),
            e(static_cast<std::size_t>(st.nelem)), n(static_cast<std::size_t>(st.npoin));
        for (int p = 1; p <= st.npoin; ++p) disp[static_cast<std::size_t>((p - 1) * 6)] = d;
        for (int el = 1; el <= st.nelem; ++el)
            for (int a = 1; a <= nnode; ++a)
                w[static_cast<std::size_t>(el - 1)] += 1.0 / st.node_element_list.count(st.lnods(a, el));
        parvane::nodal_to_element_average(st, w.data(), e.data(), disp.data(), n.data(), c.data());
        for (double v : e) EXPECT_NEAR(v, d, 1e-15) << nnode;
        for (double v : n) EXPECT_NEAR(v, d, 1e-15) << nnode;
    }
}

TEST(Averaging, NodeWithoutElementsAndZeroWeightDoNotDivideByZero) {
    RunState st;
    st.npoin = 5;  // node 5 belongs to no element
    st.nelem = 1;
    st.nnode = 4;
    st.lnods.allocate(4, 1);
    for (int a = 1; a <= 4; ++a) st.lnods(a, 1) = a;
    st.node_element_list.clear(st.npoin);
    for (int a = 1; a <= 4; ++a) st.node_element_list.add(st.lnods(a, 1), 1);
    std::vector<double> disp(30, 1.0), c(5, 0.0), w(1, 0.0), e(1, -1.0), n(5, -1.0);
    parvane::nodal_to_element_average(st, w.data(), e.data(), disp.data(), n.data(), c.data());
    EXPECT_EQ(e[0], 0.0);
    EXPECT_EQ(n[4], 0.0);
}
