// Load vectors of the current time, element-to-node assembly and the step
// listing of the analysis driver.
#include <gtest/gtest.h>

#include <unistd.h>

#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "solver/run/driver.h"
#include "solver/results/gauss_interp_setup.h"
#include "solver/elements/interpolation.h"
#include "solver/run/load_vectors.h"
#include "solver/run/state.h"
#include "test_analysis_model.h"

namespace fs = std::filesystem;

namespace {

// Two elements of 2 x 1 side by side along y, numbered so that they map
// positively in the plate frame (y, -z).
class LoadFixture {
public:
    LoadFixture(int nnode, int nloads = 0, int ndloads = 0, int nclods = 0, int nedlods = 0, int nvfix = 0) {
        st = std::make_unique<parvane::RunState>();
        parvane::RunState& s = *st;
        const analysis_test::GridMesh g = analysis_test::grid_mesh(2, 1, nnode, 2.0, -1.0);
        s.npoin = static_cast<int>(g.nodes.size());
        s.nelem = 2;
        s.nmats = 1;
        s.nnode = nnode;
        s.ngaus = nnode == 9 ? 3 : 2;
        s.ngaus2 = s.ngaus;
        s.nnlod = nloads;
        s.ndlod = ndloads;
        s.nclod = nclods;
        s.nedlod = nedlods;
        s.nvfix = nvfix;
        parvane::set_fixed_values(s);
        int status = 0;
        parvane::allocate_work_arrays(s, status);
        EXPECT_EQ(status, 0);
        for (int p = 1; p <= s.npoin; ++p) {
            for (int c = 1; c <= 3; ++c) s.coord(c, p) = g.nodes[p - 1][c - 1];
            s.node_ids(p) = 100 + p;
        }
        for (int e = 1; e <= 2; ++e) {
            for (int k = 1; k <= nnode; ++k) s.lnods(k, e) = g.elements[e - 1][k - 1];
            s.element_ids(e) = e;
            s.element_material(e) = 1;
        }
        parvane::gauss_points(s);
        parvane::stress_interp_setup(s);
        s.units.open(parvane::kUnitListing, (dir_ / "listing").string(), fio::OpenStatus::Unknown);
        s.units.open(parvane::kUnitMessages, (dir_ / "messages").string(), fio::OpenStatus::Unknown);
    }
    ~LoadFixture() { st->units.close_all(); }
    // Sum of component m over the element vectors of set A (and check B equal).
    double total(int m) const {
        double a = 0, b = 0;
        for (int e = 1; e <= st->nelem; ++e)
            for (int n = 1; n <= st->nnode; ++n) {
                a += st->element_loads((n - 1) * 6 + m, e);
                b += st->element_loads_b((n - 1) * 6 + m, e);
            }
        EXPECT_DOUBLE_EQ(a, b);
        return a;
    }
    std::string text(const char* name) {
        st->units.flush(parvane::kUnitListing);
        st->units.flush(parvane::kUnitMessages);
        return solver_test::read_text(scratch_.file(name));
    }
    std::unique_ptr<parvane::RunState> st;

private:
    static inline int counter_ = 0;
    solver_test::ScratchDir scratch_{"loads_" + std::to_string(counter_++)};
    const fs::path& dir_ = scratch_.path();
};

TEST(DriverLoads, DistributedLoadsIntegrateToLoadTimesAreaTimesFactor) {
    for (int nnode : {4, 8, 9}) {
        SCOPED_TRACE(nnode);
        LoadFixture f(nnode, 0, 2);
        parvane::RunState& s = *f.st;
        s.distributed_load_elements(1) = 1;
        s.distributed_load_elements(2) = 2;
        for (int m = 1; m <= 6; ++m) {
            s.distributed_load_values(m, 1) = 1.0 * m;
            s.distributed_load_values(m, 2) = 0.5;
        }
        int status = 0;
        parvane::add_current_loads(s, 0.4, status);
        ASSERT_EQ(status, 0);
        for (int m = 1; m <= 6; ++m) EXPECT_NEAR(f.total(m), 0.4 * (2.0 * m + 2.0 * 0.5), 1e-12);
    }
}

TEST(DriverLoads, TinyLoadValuesAreSkipped) {
    struct Case {
        double value, factor;
        bool enters;
    };
    const Case cases[] = {{1e-31, 1.0, false}, {1.5e-30, 0.5, false}, {1e-29, 0.5, true}, {-1e-31, 1.0, false}};
    for (const Case& c : cases) {
        LoadFixture f(8, 1, 1, 1);
        parvane::RunState& s = *f.st;
        s.nodal_load_nodes(1) = 3;
        s.nodal_load_values(1, 1) = c.value;
        s.distributed_load_elements(1) = 1;
        s.distributed_load_values(2, 1) = c.value;
        s.point_load_elements(1) = 2;
        s.point_load_values(3, 1) = c.value;
        int status = 0;
        parvane::add_current_loads(s, c.factor, status);
        for (int m = 1; m <= 3; ++m) {
            if (c.enters)
                EXPECT_NE(f.total(m), 0.0) << m;
            else
                EXPECT_EQ(f.total(m), 0.0) << m;
        }
    }
}

TEST(DriverLoads, NodalLoadGoesToTheFirstElementHoldingTheNode) {
    LoadFixture f(4, 1);
    parvane::RunState& s = *f.st;
    // Node 2 is local node 2 of element 1 and local node 1 of element 2.
    s.nodal_load_nodes(1) = 2;
    s.nodal_load_values(1, 1) = 7.0;
    s.nodal_load_values(6, 1) = -3.0;
    int status = 0;
    parvane::add_current_loads(s, 1.0, status);
    EXPECT_EQ(s.element_loads((2 - 1) * 6 + 1, 1), 7.0);
    EXPECT_EQ(s.element_loads((2 - 1) * 6 + 6, 1), -3.0);
    EXPECT_EQ(s.element_loads(1, 2), 0.0);
    EXPECT_EQ(f.total(1), 7.0);

    // A node of no element: skipped, with a line in the message file.
    LoadFixture g(4, 1);
    g.st->nodal_load_nodes(1) = 99;
    g.st->nodal_load_values(1, 1) = 1.0;
    EXPECT_EQ(parvane::report_unplaced_nodal_loads(*g.st), 1);
    parvane::add_current_loads(*g.st, 1.0, status);
    EXPECT_EQ(g.total(1), 0.0);
    EXPECT_NE(g.text("messages").find("nodal load on node"), std::string::npos);
}

// A concentrated load whose point lies in no element: one line saying so.
TEST(DriverLoads, ConcentratedLoadOutsideTheMeshIsReported) {
    LoadFixture f(4, 0, 0, 2);
    parvane::RunState& s = *f.st;
    s.point_load_elements(1) = 1;
    s.point_load_elements(2) = 0;
    s.point_load_positions(1, 2) = 0.0;
    s.point_load_positions(2, 2) = 12.5;
    s.point_load_positions(3, 2) = -3.0;
    EXPECT_EQ(parvane::report_unplaced_point_actions(s), 1);
    EXPECT_NE(f.text("messages").find("concentrated load at (0, 12.5, -3) skipped: the point lies in no element"),
              std::string::npos);
}

TEST(DriverLoads, ConcentratedLoadIsSpreadByTheShapeFunctions) {
    LoadFixture f(9, 0, 0, 1);
    parvane::RunState& s = *f.st;
    s.point_load_elements(1) = 2;
    s.point_load_positions(1, 1) = 0.3;
    s.point_load_positions(2, 1) = -0.7;
    s.point_load_values(1, 1) = 10.0;
    int status = 0;
    parvane::add_current_loads(s, 0.5, status);
    parvane::ShapeCommon sc;
    parvane::shape_functions(sc, 0.3, -0.7, 9);
    for (int n = 1; n <= 9; ++n) EXPECT_NEAR(s.element_loads((n - 1) * 6 + 1, 2), 5.0 * sc.N(n), 1e-14);
    EXPECT_NEAR(f.total(1), 5.0, 1e-13);
}

TEST(DriverLoads, EdgeLoadsActInFullAndLeaveTheRuleAsItWas) {
    for (int nnode : {4, 8}) {
        SCOPED_TRACE(nnode);
        LoadFixture f(nnode, 0, 0, 0, 2);
        parvane::RunState& s = *f.st;
        s.ngaus = 1;
        parvane::gauss_points(s);
        // Side 1 of element 1 (length 2), z force varying linearly 1 -> 3;
        // side 2 of element 2 (length 1), constant moment 4.
        s.edge_load_edges(1, 1) = 1;
        s.edge_load_edges(2, 1) = 1;
        s.edge_load_edges(3, 1) = 3;
        s.edge_load_values(1, 1) = 1.0;
        s.edge_load_values(2, 1) = 3.0;
        s.edge_load_values(3, 1) = 2.0;
        s.edge_load_edges(1, 2) = 2;
        s.edge_load_edges(2, 2) = 2;
        s.edge_load_edges(3, 2) = 5;
        for (int k = 1; k <= 3; ++k) s.edge_load_values(k, 2) = 4.0;
        int status = 0;
        parvane::add_current_loads(s, 0.25, status);
        EXPECT_NEAR(f.total(3), 2.0 * 2.0, 1e-12);
        EXPECT_NEAR(f.total(5), 4.0 * 1.0, 1e-12);
        // The linear load puts more on the corner where it is larger.
        EXPECT_GT(s.element_loads((2 - 1) * 6 + 3, 1), s.element_loads((1 - 1) * 6 + 3, 1));
        EXPECT_EQ(s.ngaus, 1);
        EXPECT_EQ(s.gauss_common.gauss_weights[0], 2.0);
    }
}

TEST(DriverLoads, NodalAssemblyAndDofColumn) {
    LoadFixture f(4);
    parvane::RunState& s = *f.st;
    std::vector<double> ev(static_cast<size_t>(s.nevab) * s.nelem);
    for (size_t i = 0; i < ev.size(); ++i) ev[i] = 1.0 + i % 6;
    std::vector<double> nodal(static_cast<size_t>(s.ntotv), 0.5);
    parvane::assemble_nodal_vector(s, ev.data(), nodal.data());
    // Nodes 2 and 5 are shared by both elements.
    for (int p = 1; p <= s.npoin; ++p)
        for (int c = 1; c <= 6; ++c)
            EXPECT_EQ(nodal[(p - 1) * 6 + c - 1], 0.5 + (p == 2 || p == 5 ? 2.0 : 1.0) * c) << p << " " << c;

    std::vector<double> target(static_cast<size_t>(s.ntotv), -1.0), values(s.npoin);
    for (int p = 1; p <= s.npoin; ++p) values[p - 1] = 10.0 * p;
    parvane::store_dof_column(s, target.data() + 2, values.data());
    for (int p = 1; p <= s.npoin; ++p)
        for (int c = 1; c <= 6; ++c) EXPECT_EQ(target[(p - 1) * 6 + c - 1], c == 3 ? 10.0 * p : -1.0);
}

TEST(DriverListing, StepDisplacementsAndReactions) {
    {
        LoadFixture f(4);
        parvane::RunState& s = *f.st;
        s.istep = 3;
        s.tcur = 0.8;
        s.disp_vectors(7, 1) = 0.125;
        parvane::write_step_listing(s);
        const std::string l = f.text("listing");
        EXPECT_EQ(l.rfind("   Step =    3   Time =    0.8000\n\n      Displacements\n\n      Node     Disp X", 0), 0u);
        EXPECT_NE(l.find("\n       102  0.125000E+00  0.000000E+00"), std::string::npos);
        EXPECT_NE(l.find("\n No output of reactions at fixed boundary\n"), std::string::npos);
    }
    {
        LoadFixture f(4, 0, 0, 0, 0, 1);
        parvane::RunState& s = *f.st;
        s.istep = 1;
        s.fixnod(1) = 4;
        s.fixcod(3, 1) = 1;
        for (int c = 1; c <= 6; ++c) s.nodal_v(18 + c) = c;
        parvane::write_step_listing(s);
        const std::string l = f.text("listing");
        EXPECT_NE(
            l.find("\n      Reactions at fixed boundary\n\n      Node    Force X       Force Y       Force Z       "
                   "Moment X      Moment Y      Moment Z\n       104  0.100000E+01  0.200000E+01  0.300000E+01  "
                   "0.400000E+01  0.500000E+01  0.600000E+01\n"),
            std::string::npos);
        EXPECT_EQ(l.find("\n       101 ", l.find("Reactions")), std::string::npos);
    }
}

}  // namespace

TEST(DriverTime, NextStepTimeEndsExactlyAtTheEndTimeAndThenStops) {
    struct Case {
        const char* name;
        double tcur, dtcur, dt, tend;
        double expected;  // NaN: any time beyond tend
    };
    const double beyond = std::nan("");
    const Case cases[] = {
        {"ordinary step", 0.4, 0.4, 0.4, 1.0, 0.8},
        {"last step shortened to tend", 0.8, 0.4, 0.4, 1.0, 1.0},
        {"round-off just below tend", 0.7, 0.1 + 0.2, 0.3, 1.0, 1.0},
        {"round-off just above tend", 0.1, 0.2, 0.2, 0.3, 0.3},
        {"step at tend is the last", 1.0, 0.4, 0.4, 1.0, beyond},
        {"tiny halved increment at tend", 1.0, 1e-12, 1.0, 1.0, beyond},
        {"tiny increment within round-off of tend", 1.0 - 1e-12, 1e-12, 1.0, 1.0, beyond},
        {"halved increment before tend", 0.5, 0.25, 1.0, 1.0, 0.75},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const double t = parvane::next_step_time(c.tcur, c.dtcur, c.dt, c.tend);
        if (std::isnan(c.expected))
            EXPECT_GT(t, c.tend);
        else
            EXPECT_EQ(t, c.expected);
    }
}
