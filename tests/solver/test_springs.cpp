// Springs entering the element matrices: nodal springs once per element
// loop, lumped distributed springs, concentrated springs spread by shape
// values, edge springs along a side.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "solver/elements/element_matrices.h"
#include "solver/elements/interpolation.h"
#include "solver/elements/springs.h"
#include "test_element_fixture.h"

using namespace element_test;
using parvane::RunState;

namespace {

struct Ke {
    std::vector<double> k = std::vector<double>(54 * 54, 0.0);
    std::vector<double> rhs = std::vector<double>(54, 0.0);
    double diag(int p) const { return k[static_cast<std::size_t>((p - 1) * 54 + p - 1)]; }
    double offdiag_sum() const {
        double s = 0.0;
        for (int c = 0; c < 54; ++c)
            for (int r = 0; r < 54; ++r)
                if (r != c) s += std::fabs(k[static_cast<std::size_t>(c * 54 + r)]);
        return s;
    }
};

// 2 x 2 elements of side 1 in the element frame; node 5 of the 4-node mesh
// (centre of the patch) is held by all four elements.
Grid mesh(RunState& st, int nnode, const std::function<void(RunState&)>& counts) {
    GridSpec g;
    g.nnode = nnode;
    return build_grid(st, g, counts);
}

int local_of(const RunState& st, int e, int node) {
    for (int a = 1; a <= st.nnode; ++a)
        if (st.lnods(a, e) == node) return a;
    return 0;
}

}  // namespace

TEST(NodalSprings, EnterOnceInTheFirstElementHoldingTheNode) {
    RunState st;
    mesh(st, 4, [](RunState& s) { s.nnsti = 3; });
    const int centre = st.lnods(3, 1);
    ASSERT_EQ(local_of(st, 4, centre), 1);
    st.nodal_stiffness_nodes(1) = centre;
    st.nodal_stiffness_nodes(2) = 1;
    st.nodal_stiffness_nodes(3) = centre;
    for (int j = 1; j <= 6; ++j) {
        st.nodal_stiffness_values(j, 1) = 10.0 * j;
        st.nodal_stiffness_values(j, 2) = 1.0;
        st.nodal_stiffness_values(j, 3) = j == 2 ? 0.0 : 0.5;
        st.disp_vectors((centre - 1) * 6 + j, 1) = 0.01 * j;
        st.disp_step((centre - 1) * 6 + j) = 0.001;
    }
    Ke ke[4];
    for (int e = 1; e <= 4; ++e) parvane::nodal_spring_terms(st, e, ke[e - 1].k.data(), ke[e - 1].rhs.data());
    for (int j = 1; j <= 6; ++j) {
        const double s = 10.0 * j + (j == 2 ? 0.0 : 0.5);
        const int p = (3 - 1) * 6 + j;
        EXPECT_DOUBLE_EQ(ke[0].diag(p), s) << j;
        EXPECT_NEAR(ke[0].rhs[static_cast<std::size_t>(p - 1)], -s * (0.01 * j + 0.001), 1e-14) << j;
        EXPECT_DOUBLE_EQ(ke[0].diag(j), 1.0);  // node 1 is corner 1 of element 1
    }
    for (int e = 2; e <= 4; ++e) {
        double sum = 0.0;
        for (double v : ke[e - 1].k) sum += std::fabs(v);
        EXPECT_EQ(sum, 0.0) << "element " << e;
    }
    EXPECT_EQ(ke[0].offdiag_sum(), 0.0);
    EXPECT_LT(st.nodal_stiffness_nodes(1), 0);
    EXPECT_LT(st.nodal_stiffness_nodes(3), 0);
    parvane::restore_spring_marks(st);
    EXPECT_EQ(st.nodal_stiffness_nodes(1), centre);
    EXPECT_EQ(st.nodal_stiffness_nodes(2), 1);
}

TEST(NodalSprings, EveryElementLoopEntersThemAgain) {
    RunState st;
    mesh(st, 4, [](RunState& s) { s.nnsti = 1; });
    const int centre = st.lnods(3, 1);
    st.nodal_stiffness_nodes(1) = centre;
    for (int j = 1; j <= 6; ++j) st.nodal_stiffness_values(j, 1) = 1e6;
    ScratchUnit3 unit3(st, "nodalpass");
    std::vector<double> first;
    for (int pass = 0; pass < 2; ++pass) {
        st.units.rewind(parvane::kUnitFort3);
        int status = 0;
        parvane::form_element_matrices(st, status);
        ASSERT_EQ(status, 0);
        EXPECT_EQ(st.nodal_stiffness_nodes(1), centre);
        // element 1 carries the spring, element 4 (same node as corner 1) not
        const double k1 = st.estiff(12 + 1, 12 + 1, 1), k4 = st.estiff(1, 1, 4);
        EXPECT_GT(k1, 1e6);
        EXPECT_LT(k4, 1e6);
        first.push_back(k1);
    }
    EXPECT_EQ(first[0], first[1]);
}

TEST(DistributedSprings, LumpedOverTheNodesAndTinyValuesSkipped) {
    for (int nnode : {4, 9}) {
        RunState st;
        mesh(st, nnode, [](RunState& s) { s.ndsti = 2; });
        st.distributed_stiffness_elements(1) = 2;
        st.distributed_stiffness_elements(2) = 2;
        const double values[6] = {100.0, 1e-31, 1e-29, -1e-31, 0.0, -50.0};
        for (int j = 1; j <= 6; ++j) {
            st.distributed_stiffness_values(j, 1) = values[j - 1];
            st.distributed_stiffness_values(j, 2) = j == 1 ? 1.0 : 0.0;
        }
        Ke ke[2];
        int status = 0;
        for (int e = 1; e <= 2; ++e) {
            load_element(st, e);
            parvane::distributed_spring_terms(st, e, ke[e - 1].k.data(), ke[e - 1].rhs.data(), status);
            ASSERT_EQ(status, 0);
        }
        double sum = 0.0;
        for (double v : ke[0].k) sum += std::fabs(v);
        EXPECT_EQ(sum, 0.0);
        // total over the element's nodes = value x area (area 1)
        double total[6] = {};
        int touched[6] = {};
        for (int a = 1; a <= nnode; ++a)
            for (int j = 1; j <= 6; ++j) {
                const double d = ke[1].diag((a - 1) * 6 + j);
                total[j - 1] += d;
                if (d != 0.0) ++touched[j - 1];
            }
        EXPECT_NEAR(total[0], 101.0, 1e-12);
        EXPECT_EQ(touched[1], 0) << "1e-31 adds nothing";
        EXPECT_NEAR(total[2], 1e-29, 1e-42) << "1e-29 is kept";
        EXPECT_EQ(touched[3], 0);
        EXPECT_NEAR(total[5], -50.0, 1e-12);
        if (nnode == 4) {
            EXPECT_NEAR(ke[1].diag(1), 101.0 / 4.0, 1e-12);
        }
    }
}

// Records naming the elements in any order, some twice, one naming none:
// each element takes the sum of its own; a changed list is seen by the next
// element loop.
TEST(DistributedSprings, EachElementTakesItsOwnRecords) {
    RunState st;
    mesh(st, 4, [](RunState& s) { s.ndsti = 5; });
    const int elements[5] = {3, 1, 3, 0, 2};
    const double values[5] = {10.0, 20.0, 5.0, 99.0, 7.0};
    for (int i = 1; i <= 5; ++i) {
        st.distributed_stiffness_elements(i) = elements[i - 1];
        st.distributed_stiffness_values(1, i) = values[i - 1];
    }
    const auto x_totals = [&st] {
        std::vector<double> totals;
        int status = 0;
        for (int e = 1; e <= 4; ++e) {
            Ke ke;
            load_element(st, e);
            parvane::distributed_spring_terms(st, e, ke.k.data(), ke.rhs.data(), status);
            EXPECT_EQ(status, 0);
            double t = 0.0;
            for (int a = 1; a <= 4; ++a) t += ke.diag((a - 1) * 6 + 1);
            totals.push_back(t);
        }
        return totals;
    };
    std::vector<double> t = x_totals();
    const double expected[4] = {20.0, 7.0, 15.0, 0.0};
    for (int e = 0; e < 4; ++e) EXPECT_NEAR(t[static_cast<std::size_t>(e)], expected[e], 1e-12) << "element " << e + 1;
    parvane::restore_spring_marks(st);  // the end of an element loop
    st.distributed_stiffness_elements(4) = 4;
    t = x_totals();
    EXPECT_NEAR(t[3], 99.0, 1e-12);
}

TEST(ConcentratedSprings, SpreadByTheShapeValuesAtThePoint) {
    {
        // at corner 3 of a 4-node element the whole stiffness goes to that node
        RunState st;
        mesh(st, 4, [](RunState& s) { s.ncsti = 1; });
        st.point_stiffness_elements(1) = 3;
        st.point_stiffness_positions(1, 1) = 1.0;
        st.point_stiffness_positions(2, 1) = 1.0;
        for (int j = 1; j <= 6; ++j) st.point_stiffness_values(j, 1) = 7.0 * j;
        Ke ke;
        parvane::concentrated_spring_terms(st, 3, ke.k.data(), ke.rhs.data());
        for (int j = 1; j <= 6; ++j) EXPECT_DOUBLE_EQ(ke.diag(12 + j), 7.0 * j);
        double sum = 0.0;
        for (double v : ke.k) sum += std::fabs(v);
        EXPECT_DOUBLE_EQ(sum, 7.0 * 21.0);
        Ke other;
        parvane::concentrated_spring_terms(st, 2, other.k.data(), other.rhs.data());
        for (double v : other.k) EXPECT_EQ(v, 0.0);
    }
    {
        // the centre of an 8-node element: corners -1/4 (with their sign), mid-sides 1/2
        RunState st;
        mesh(st, 8, [](RunState& s) { s.ncsti = 1; });
        st.point_stiffness_elements(1) = 1;
        for (int j = 1; j <= 6; ++j) st.point_stiffness_values(j, 1) = j == 1 ? 8.0 : 0.0;
        const int corner = st.lnods(1, 1);
        st.disp_vectors((corner - 1) * 6 + 1, 1) = 2.0;
        Ke ke;
        parvane::concentrated_spring_terms(st, 1, ke.k.data(), ke.rhs.data());
        for (int a = 1; a <= 4; ++a) EXPECT_DOUBLE_EQ(ke.diag((a - 1) * 6 + 1), -2.0);
        for (int a = 5; a <= 8; ++a) EXPECT_DOUBLE_EQ(ke.diag((a - 1) * 6 + 1), 4.0);
        EXPECT_DOUBLE_EQ(ke.rhs[0], 4.0);  // -(-2) x 2
    }
}

TEST(EdgeSprings, IntegratedAlongTheSideAtTheirFreedom) {
    struct Case {
        int nnode;
        double k1, k2, k3;
        double corner1, corner2, mid;
    };
    // side 2 of element 1 runs from corner 2 to corner 3, length 1
    for (const Case c : {Case{4, 6.0, 6.0, 0.0, 3.0, 3.0, 0.0}, Case{4, 6.0, 0.0, 0.0, 2.0, 1.0, 0.0},
                         Case{8, 6.0, 6.0, 6.0, 1.0, 1.0, 4.0}, Case{9, 0.0, 0.0, 6.0, 0.4, 0.4, 3.2}}) {
        RunState st;
        mesh(st, c.nnode, [](RunState& s) {
            s.nedsti = 2;
            s.ngaus = 1;
        });
        st.edge_stiffness_edges(1, 1) = 1;
        st.edge_stiffness_edges(2, 1) = 2;
        st.edge_stiffness_edges(3, 1) = 3;
        st.edge_stiffness_values(1, 1) = c.k1;
        st.edge_stiffness_values(2, 1) = c.k2;
        st.edge_stiffness_values(3, 1) = c.k3;
        // a record without a freedom changes nothing
        st.edge_stiffness_edges(1, 2) = 1;
        st.edge_stiffness_edges(2, 2) = 1;
        st.edge_stiffness_edges(3, 2) = 0;
        st.edge_stiffness_values(1, 2) = 99.0;
        load_element(st, 1);
        Ke ke;
        parvane::edge_spring_terms(st, 1, ke.k.data(), ke.rhs.data());
        EXPECT_EQ(st.ngaus, 1) << "rule restored";
        EXPECT_EQ(st.gauss_common.gauss_weights[0], 2.0);
        EXPECT_NEAR(ke.diag((2 - 1) * 6 + 3), c.corner1, 1e-12) << c.nnode;
        EXPECT_NEAR(ke.diag((3 - 1) * 6 + 3), c.corner2, 1e-12) << c.nnode;
        if (c.nnode > 4) {
            EXPECT_NEAR(ke.diag((6 - 1) * 6 + 3), c.mid, 1e-12) << c.nnode;
        }
        double sum = 0.0;
        for (double v : ke.k) sum += v;
        EXPECT_NEAR(sum, c.corner1 + c.corner2 + c.mid, 1e-12);
    }
}

TEST(TotalConcentratedSprings, SpreadLikeConcentratedWhenTheirValuesAreKept) {
    RunState st;
    mesh(st, 4, [](RunState& s) {
        s.nctsti = 1;
        s.ictsti = 1;
    });
    st.total_stiffness_values.allocate(6, 1);
    st.total_stiffness_elements(1) = 4;
    st.total_stiffness_positions(1, 1) = 0.0;
    st.total_stiffness_positions(2, 1) = 0.0;
    st.total_stiffness_values(1, 1) = 40.0;
    ScratchUnit3 unit3(st, "total");
    int status = 0;
    parvane::form_element_matrices(st, status);
    ASSERT_EQ(status, 0);
    // element 4 with the spring against element 3 without: +10 on each corner's x
    for (int a = 1; a <= 4; ++a)
        EXPECT_NEAR(st.estiff((a - 1) * 6 + 1, (a - 1) * 6 + 1, 4) - st.estiff((a - 1) * 6 + 1, (a - 1) * 6 + 1, 3),
                    10.0, 1e-9);
}

TEST(DistributedSprings, NegativeJacobianReturnsAtOnceWithStatus2) {
    RunState st;
    mesh(st, 4, [](RunState& s) { s.ndsti = 1; });
    st.distributed_stiffness_elements(1) = 1;
    st.distributed_stiffness_values(1, 1) = 5.0;
    std::swap(st.lnods(2, 1), st.lnods(4, 1));  // clockwise
    load_element(st, 1);
    ScratchText listing(st, parvane::kUnitListing, "dsneg");
    Ke ke;
    int status = 0;
    parvane::distributed_spring_terms(st, 1, ke.k.data(), ke.rhs.data(), status);
    EXPECT_EQ(status, parvane::kStatusJacobian);
    for (double v : ke.k) EXPECT_EQ(v, 0.0);
    const auto lines = listing.lines();
    ASSERT_FALSE(lines.empty());
}

// A later element loop of the run takes the kept plate matrices and enters
// the springs anew: element loads, set B and the element matrices are those
// of an element loop that forms everything again, for each element kind, a
// distorted mesh, springs of every kind, displacements changed between the
// loops and a spring stiffness changed as the soil update changes it.
TEST(ElementLoop, LaterLoopEqualsFormingTheElementsAgain) {
    for (int nnode : {4, 8, 9}) {
        SCOPED_TRACE(nnode);
        auto setup = [nnode](RunState& st) {
            GridSpec g;
            g.nnode = nnode;
            g.nx = 3;
            g.ny = 2;
            g.distort = [](double x, double y) { return std::make_pair(x + 0.07 * y * y, y - 0.05 * x); };
            build_grid(st, g, [](RunState& s) {
                s.nnsti = 1;
                s.ndsti = 2;
                s.nedsti = 1;
                s.ncsti = 1;
            });
            st.nodal_stiffness_nodes(1) = st.lnods(3, 2);
            st.distributed_stiffness_elements(1) = 1;
            st.distributed_stiffness_elements(2) = 5;
            st.edge_stiffness_edges(1, 1) = 6;
            st.edge_stiffness_edges(2, 1) = 2;
            st.edge_stiffness_edges(3, 1) = 1;
            st.point_stiffness_elements(1) = 4;
            st.point_stiffness_positions(1, 1) = 0.3;
            st.point_stiffness_positions(2, 1) = -0.6;
            for (int j = 1; j <= 6; ++j) {
                st.nodal_stiffness_values(j, 1) = 1e3 * j;
                st.distributed_stiffness_values(j, 1) = 50.0 + j;
                st.distributed_stiffness_values(j, 2) = 20.0 * j;
                st.point_stiffness_values(j, 1) = 7.0 * j;
            }
            st.edge_stiffness_values(1, 1) = 30.0;
            st.edge_stiffness_values(2, 1) = 40.0;
            st.edge_stiffness_values(3, 1) = 35.0;
        };
        auto displace = [](RunState& st, double f) {
            for (int i = 1; i <= st.ntotv; ++i) {
                st.disp_vectors(i, 1) = f * std::sin(0.37 * i);
                st.disp_step(i) = f * 0.1 * std::cos(0.11 * i);
            }
        };
        auto loop = [](RunState& st) {
            st.element_loads.fill(0.0);
            st.element_loads_b.fill(0.0);
            st.units.rewind(parvane::kUnitFort3);
            int status = 0;
            parvane::form_element_matrices(st, status);
            ASSERT_EQ(status, 0);
        };
        RunState kept, fresh;
        setup(kept);
        setup(fresh);
        ScratchUnit3 unit_a(kept, "kept"), unit_b(fresh, "fresh");
        displace(kept, 1e-3);
        loop(kept);
        ASSERT_TRUE(kept.plate_matrices_kept);
        displace(kept, -2e-3);
        displace(fresh, -2e-3);
        for (RunState* s : {&kept, &fresh}) s->nodal_stiffness_values(3, 1) = 4.5e3;
        loop(kept);
        loop(fresh);
        const int n = kept.nevab;
        for (int e = 1; e <= kept.nelem; ++e)
            for (int c = 1; c <= n; ++c) {
                EXPECT_EQ(kept.element_loads(c, e), fresh.element_loads(c, e)) << e << " " << c;
                EXPECT_EQ(kept.element_loads_b(c, e), fresh.element_loads_b(c, e)) << e << " " << c;
                for (int r = 1; r <= c; ++r)
                    EXPECT_EQ(kept.estiff(r, c, e), fresh.estiff(r, c, e)) << e << " " << r << " " << c;
            }
    }
}
