// Plate forces and stresses from element records, and the stress-point tables.
#include <gtest/gtest.h>

#include <unistd.h>

#include <array>
#include <cmath>
#include <filesystem>
#include <limits>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "solver/elements/element_matrices.h"
#include "solver/results/gauss_interp_setup.h"
#include "solver/run/state.h"
#include "solver/results/stresses.h"
#include "test_analysis_model.h"

namespace fs = std::filesystem;

namespace {

constexpr double kG2 = 0.577350269189626;
constexpr double kG3 = 0.774596669241483;

// A run state with a rectangular mesh of nx x 1 elements of w x hgt each in
// the y-z plane, element records written by the test to unit 3.
class StressFixture {
public:
    StressFixture(int nx, int nnode, int ngaus, int ngaus2, double w = 2.0, double hgt = 1.0, int extra_nodes = 0) {
        st = std::make_unique<parvane::RunState>();
        parvane::RunState& s = *st;
        // Node grid: corners and, for 8/9 nodes, mid-side and centre points.
        const analysis_test::GridMesh g = analysis_test::grid_mesh(nx, 1, nnode, w, hgt);
        s.npoin = static_cast<int>(g.nodes.size()) + extra_nodes;
        s.nelem = nx;
        s.nmats = 1;
        s.nnode = nnode;
        s.ngaus = ngaus;
        s.ngaus2 = ngaus2;
        parvane::set_fixed_values(s);
        int status = 0;
        parvane::allocate_work_arrays(s, status);
        EXPECT_EQ(status, 0);
        for (int p = 1; p <= s.npoin; ++p) {
            if (p <= static_cast<int>(g.nodes.size()))
                for (int c = 1; c <= 3; ++c) s.coord(c, p) = g.nodes[p - 1][c - 1];
            s.node_ids(p) = 10 + p;
        }
        for (int e = 1; e <= nx; ++e) {
            for (int k = 1; k <= nnode; ++k) s.lnods(k, e) = g.elements[e - 1][k - 1];
            s.element_ids(e) = 100 + e;
            s.element_material(e) = 1;
            s.element_areas(e) = w * hgt;
        }
        s.props(1, 1) = 1000.0;
        s.props(2, 1) = 0.3;
        s.props(3, 1) = thickness;
        s.istep = 1;
        s.units.open(parvane::kUnitFort3, (dir_ / "fort3").string(), fio::OpenStatus::Unknown, fio::Form::Unformatted);
        s.units.open(parvane::kUnitListing, (dir_ / "listing").string(), fio::OpenStatus::Unknown);
        s.units.open(parvane::kUnitResults, (dir_ / "results").string(), fio::OpenStatus::Unknown);
        s.units.open(parvane::kUnitMessages, (dir_ / "messages").string(), fio::OpenStatus::Unknown);
    }
    ~StressFixture() { st->units.close_all(); }

    struct Record {
        std::vector<double> bending = std::vector<double>(parvane::kRecordBending, 0.0);
        std::vector<double> shear = std::vector<double>(parvane::kRecordShear, 0.0);
        std::vector<double> membrane = std::vector<double>(parvane::kRecordMembrane, 0.0);
        std::vector<double> points = std::vector<double>(parvane::kRecordPoints, 0.0);
        std::vector<double> quad4 = std::vector<double>(parvane::kRecordQuad4, 0.0);
        // Entry (row, column, point), all from 1.
        double& b(int r, int c, int k) { return bending[(k - 1) * 135 + (c - 1) * 5 + r - 1]; }
        double& s(int r, int c, int k) { return shear[(k - 1) * 135 + (c - 1) * 5 + r - 1]; }
        double& m(int r, int c, int k) { return membrane[(k - 1) * 54 + (c - 1) * 3 + r - 1]; }
    };

    void write(Record& r) {
        // As the element loop writes it: each item up to the last point of its rule.
        const parvane::RecordItems n = parvane::record_items(st->ngaus, st->ngaus2);
        std::vector<std::span<const std::byte>> parts = {
            fio::bytes_of(r.bending.data(), n.bending), fio::bytes_of(r.shear.data(), n.shear),
            fio::bytes_of(r.membrane.data(), n.membrane), fio::bytes_of(r.points.data(), n.points)};
        if (st->nnode == 4) parts.push_back(fio::bytes_of(r.quad4.data(), r.quad4.size()));
        ASSERT_EQ(st->units.write_record(parvane::kUnitFort3, parts), 0);
    }

    // Every node deflected by -1 along x: local deflection 1 at every node.
    void unit_local_deflection() {
        for (int p = 1; p <= st->npoin; ++p) st->disp_vectors((p - 1) * 6 + 1, 1) = -1.0;
    }

    void run() {
        st->units.rewind(parvane::kUnitFort3);
        parvane::plate_stresses(*st);
        st->units.flush(parvane::kUnitListing);
        st->units.flush(parvane::kUnitResults);
    }

    std::string text(const char* name) { return solver_test::read_text(scratch_.file(name)); }

    // Gauss point k (first local coordinate slowest) of element e, y and z.
    std::array<double, 2> point(int e, int k) {
        const double* pos = st->ngaus == 2 ? kPos2 : kPos3;
        const int i = (k - 1) / st->ngaus, j = (k - 1) % st->ngaus;
        const double y0 = st->coord(2, st->lnods(1, e)), y1 = st->coord(2, st->lnods(2, e));
        const double z0 = st->coord(3, st->lnods(1, e)), z1 = st->coord(3, st->lnods(4, e));
        return {y0 + (1 + pos[i]) / 2 * (y1 - y0), z0 + (1 + pos[j]) / 2 * (z1 - z0)};
    }

    static constexpr double kPos2[3] = {-kG2, kG2, 0};
    static constexpr double kPos3[3] = {-kG3, 0.0, kG3};
    static constexpr double thickness = 0.2;
    std::unique_ptr<parvane::RunState> st;

private:
    static inline int counter_ = 0;
    solver_test::ScratchDir scratch_{"stresses_" + std::to_string(counter_++)};
    const fs::path& dir_ = scratch_.path();
};

TEST(PlateStresses, OnePointPerElementGivesPlainMeansAtTheNodes) {
    StressFixture f(2, 4, 1, 1);
    f.unit_local_deflection();
    const double my[2] = {3.0, 5.0};
    for (int e = 1; e <= 2; ++e) {
        StressFixture::Record r;
        r.b(1, 1, 1) = my[e - 1];  // My from the deflection of local node 1
        f.write(r);
    }
    f.run();
    parvane::RunState& s = *f.st;
    EXPECT_DOUBLE_EQ(s.gauss_stresses(4, 1, 1), 3.0);
    EXPECT_DOUBLE_EQ(s.gauss_stresses(4, 1, 2), 5.0);
    // Nodes 2 and 5 (bottom and top of the shared side) hold both elements.
    for (int p = 1; p <= s.npoin; ++p) {
        const bool shared = p == 2 || p == 5;
        const bool left = p == 1 || p == 4;
        EXPECT_DOUBLE_EQ(s.nodal_stresses(4, p), shared ? 4.0 : (left ? 3.0 : 5.0)) << p;
        EXPECT_DOUBLE_EQ(s.node_weights(p), shared ? 2.0 : 1.0);
    }
}

struct ExtrapolationCase {
    int nnode, ngaus;
};

TEST(PlateStresses, NodalValuesExtrapolateTheFieldThroughTheGaussPoints) {
    const ExtrapolationCase cases[] = {{4, 2}, {8, 2}, {9, 2}, {8, 3}, {9, 3}};
    for (const ExtrapolationCase& c : cases) {
        SCOPED_TRACE("nnode " + std::to_string(c.nnode) + " ngaus " + std::to_string(c.ngaus));
        StressFixture f(1, c.nnode, c.ngaus, c.ngaus);
        f.unit_local_deflection();
        StressFixture::Record r;
        // A field the points reproduce: bilinear for 2 x 2, biquadratic for 3 x 3.
        auto field = [&](double y, double z) {
            return c.ngaus == 2 ? 2.0 * y - 3.0 * z + y * z : y * y - 2.0 * z * z + y * z;
        };
        for (int k = 1; k <= c.ngaus * c.ngaus; ++k) {
            const auto yz = f.point(1, k);
            r.b(2, 1, k) = field(yz[0], yz[1]);  // Mz
        }
        f.write(r);
        f.run();
        parvane::RunState& s = *f.st;
        for (int p = 1; p <= s.npoin; ++p)
            EXPECT_NEAR(s.nodal_stresses(5, p), field(s.coord(2, p), s.coord(3, p)), 1e-9) << "node " << p;
    }
}

TEST(PlateStresses, FibreStressesOfBendingAndOfMembraneStates) {
    StressFixture f(1, 8, 2, 2);
    parvane::RunState& s = *f.st;
    for (int p = 1; p <= s.npoin; ++p) {
        s.disp_vectors((p - 1) * 6 + 1, 1) = -1.0;  // local deflection 1
        s.disp_vectors((p - 1) * 6 + 2, 1) = 1.0;   // local in-plane u 1
    }
    StressFixture::Record r;
    for (int k = 1; k <= 4; ++k) {
        r.b(1, 1, k) = 0.4;  // My = 0.4
        r.m(2, 1, k) = 7.0;  // sigma zz = 7 (membrane)
    }
    f.write(r);
    f.run();
    const double t = StressFixture::thickness;
    for (int k = 1; k <= 4; ++k) {
        EXPECT_DOUBLE_EQ(s.gauss_stresses(1, k, 1), 0.0);
        EXPECT_DOUBLE_EQ(s.gauss_stresses(2, k, 1), 7.0);
        EXPECT_DOUBLE_EQ(s.gauss_stresses(4, k, 1), 0.4);
    }
    for (int p = 1; p <= s.npoin; ++p) {
        // Pure bending in yy: top and bottom equal and opposite.
        EXPECT_NEAR(s.nodal_stresses(9, p), -6.0 * 0.4 / (t * t), 1e-9);
        EXPECT_NEAR(s.nodal_stresses(12, p), 6.0 * 0.4 / (t * t), 1e-9);
        // Pure membrane in zz: top and bottom equal.
        EXPECT_NEAR(s.nodal_stresses(10, p), 7.0, 1e-9);
        EXPECT_NEAR(s.nodal_stresses(13, p), 7.0, 1e-9);
    }
}

TEST(PlateStresses, SecondRuleOfOnePointAddsTheSameShearEverywhere) {
    StressFixture f(1, 9, 2, 1);
    f.unit_local_deflection();
    StressFixture::Record r;
    r.s(4, 1, 1) = 2.5;                                   // Qy of the single point of the second rule
    for (int k = 1; k <= 4; ++k) r.b(4, 1, k) = 0.5 * k;  // first part differs per point
    f.write(r);
    f.run();
    for (int k = 1; k <= 4; ++k) EXPECT_DOUBLE_EQ(f.st->gauss_stresses(7, k, 1), 2.5 + 0.5 * k);
}

TEST(PlateStresses, QuadFourInternalParametersEnterTheResultants) {
    StressFixture f(1, 4, 2, 2);
    f.unit_local_deflection();
    StressFixture::Record r;
    // alpha_1 = -(R(1, :) b) = -(deflections of nodes 1 and 2) = -2.
    r.quad4[0 * 4 + 0] = 1.0;  // R(1, 1): w of node 1
    r.quad4[3 * 4 + 0] = 1.0;  // R(1, 4): w of node 2
    for (int k = 1; k <= 4; ++k) {
        r.b(1, 13, k) = 1.0;  // My = alpha_1
        r.s(5, 13, k) = 3.0;  // Qz = 3 alpha_1
    }
    f.write(r);
    f.run();
    for (int k = 1; k <= 4; ++k) {
        EXPECT_DOUBLE_EQ(f.st->gauss_stresses(4, k, 1), -2.0);
        EXPECT_DOUBLE_EQ(f.st->gauss_stresses(8, k, 1), -6.0);
    }
}

TEST(PlateStresses, ExtremeTablesKeepTheFirstOccurrence) {
    {
        // Zero displacements: every extreme is 0 at the first element, point 1.
        StressFixture f(2, 4, 2, 2);
        for (int e = 1; e <= 2; ++e) {
            StressFixture::Record r;
            for (int k = 1; k <= 4; ++k) r.b(1, 1, k) = 1.0;
            f.write(r);
        }
        f.run();
        const std::string l = f.text("listing");
        const size_t at = l.find("Maximum Plate Forces and Stresses");
        ASSERT_NE(at, std::string::npos);
        EXPECT_NE(l.find("          elem. " + std::string(19, ' ') + "     101          101", at), std::string::npos);
        EXPECT_NE(l.find("          ip    " + std::string(19, ' ') + "       1            1", at), std::string::npos);
    }
    {
        // The largest My occurs twice: element 2 point 3, then element 3 point 1.
        StressFixture f(3, 4, 2, 2);
        f.unit_local_deflection();
        for (int e = 1; e <= 3; ++e) {
            StressFixture::Record r;
            for (int k = 1; k <= 4; ++k) r.b(1, 1, k) = 1.0;
            if (e == 2) r.b(1, 1, 3) = 9.0;
            if (e == 3) r.b(1, 1, 1) = 9.0;
            if (e == 3) r.b(1, 1, 4) = -4.0;
            f.write(r);
        }
        f.run();
        const std::string l = f.text("listing");
        const size_t max_at = l.find("Maximum Plate Forces and Stresses");
        const size_t min_at = l.find("Minimum Plate Forces and Stresses");
        ASSERT_NE(max_at, std::string::npos);
        ASSERT_NE(min_at, std::string::npos);
        const std::string maxpart = l.substr(max_at, min_at - max_at), minpart = l.substr(min_at);
        EXPECT_NE(maxpart.find("          stress" + std::string(19, ' ') + "  0.90000E+01"), std::string::npos);
        EXPECT_NE(maxpart.find("          elem. " + std::string(19, ' ') + "     102"), std::string::npos);
        EXPECT_NE(maxpart.find("          ip    " + std::string(19, ' ') + "       3"), std::string::npos);
        EXPECT_NE(minpart.find("          stress" + std::string(19, ' ') + " -0.40000E+01"), std::string::npos);
        EXPECT_NE(minpart.find("          elem. " + std::string(19, ' ') + "     103"), std::string::npos);
        EXPECT_NE(minpart.find("          ip    " + std::string(19, ' ') + "       4"), std::string::npos);
    }
}

TEST(PlateStresses, StepResultsBlocksFollowOneHeader) {
    StressFixture f(1, 4, 1, 1);
    parvane::RunState& s = *f.st;
    for (int p = 1; p <= s.npoin; ++p) {
        s.disp_vectors((p - 1) * 6 + 1, 1) = 0.5 * p;
        s.nodal_reactions(1, p) = -1.0 * p;
        s.soil_reactions(1, p) = 2.0;
        s.nonlinear_forces(p) = 0.25;
        s.nodal_soil_results(p) = 4.0;
    }
    for (int step = 1; step <= 2; ++step) {
        s.istep = step;
        s.units.rewind(parvane::kUnitFort3);
        StressFixture::Record r;
        f.write(r);
        f.run();
    }
    const std::string sds = f.text("results");
    EXPECT_EQ(sds.rfind(std::string("step_data\n26\n") + parvane::kStepResultCaptions + "\nSTEP       1\n", 0), 0u);
    EXPECT_EQ(sds.find("step_data", 1), std::string::npos);
    EXPECT_NE(sds.find("\nSTEP       2\n"), std::string::npos);
    // Node 2: identifier 12 in five columns, then 26 values of 12 columns.
    const size_t at = sds.find("\n   12");
    ASSERT_NE(at, std::string::npos);
    const std::string line = sds.substr(at + 1, sds.find('\n', at + 1) - at - 1);
    EXPECT_EQ(line.size(), 5u + 26u * 12u);
    EXPECT_EQ(line.substr(5, 12), "   0.100E+01");            // Disp.X
    EXPECT_EQ(line.substr(5 + 6 * 12, 12), "  -0.200E+01");   // Force_X
    EXPECT_EQ(line.substr(5 + 23 * 12, 12), "   0.400E+01");  // soil pressure
    EXPECT_EQ(line.substr(5 + 24 * 12, 12), "   0.225E+01");  // soil spring plus nonlinear force
    EXPECT_EQ(line.substr(5 + 25 * 12, 12), "  -0.250E+00");  // nonlinear force negated
}

TEST(PlateStresses, NodeOfNoElementGetsZeroNotNaN) {
    StressFixture f(1, 4, 2, 2, 2.0, 1.0, 1);
    parvane::RunState& s = *f.st;
    ASSERT_EQ(s.npoin, 5);
    f.unit_local_deflection();
    StressFixture::Record r;
    for (int k = 1; k <= 4; ++k) r.b(1, 1, k) = 1.0;
    f.write(r);
    f.run();
    EXPECT_EQ(s.node_weights(5), 0.0);
    for (int q = 1; q <= 14; ++q) EXPECT_EQ(s.nodal_stresses(q, 5), 0.0);
    const std::string sds = f.text("results");
    const size_t at = sds.find("\n   15");
    ASSERT_NE(at, std::string::npos);
    EXPECT_EQ(sds.find("nan", at), std::string::npos);
    EXPECT_EQ(sds.find("NaN", at), std::string::npos);
}

TEST(StressPointTables, NodeElementListsAndGaussPointNumbering) {
    struct Case {
        int nnode, ngaus, ngaus2;
    };
    const Case cases[] = {{4, 2, 2}, {8, 2, 2}, {9, 3, 3}, {8, 3, 3}, {8, 2, 1}, {4, 1, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE("nnode " + std::to_string(c.nnode) + " ngaus " + std::to_string(c.ngaus));
        StressFixture f(3, c.nnode, c.ngaus, c.ngaus2, 2.0, 1.0);
        parvane::RunState& s = *f.st;
        parvane::stress_interp_setup(s);
        parvane::stress_interpolation(s);
        const int ngsq = c.ngaus * c.ngaus;
        for (int e = 1; e <= s.nelem; ++e) EXPECT_EQ(s.first_gauss_point(e), (e - 1) * ngsq + 1);
        // Corner node 1 lies in element 1 only; node 2 (shared corner) in 1 and 2.
        EXPECT_EQ(s.node_element_list.count(s.lnods(1, 1)), 1);
        EXPECT_EQ(s.node_element_list.row(s.lnods(2, 1)), (std::vector<int>{1, 2}));
        EXPECT_EQ(s.node_element_pairs.count(s.lnods(2, 1)), 2);
        EXPECT_EQ(s.node_element_pairs.pair(s.lnods(2, 1), 2).local, 1);
        // The positions are those of the stress points.
        if (c.ngaus > 1)
            for (int e = 1; e <= s.nelem; ++e)
                for (int k = 1; k <= ngsq; ++k) {
                    const auto yz = f.point(e, k);
                    EXPECT_NEAR(s.gauss_point_positions(1, k, e), yz[0], 1e-12);
                    EXPECT_NEAR(s.gauss_point_positions(2, k, e), yz[1], 1e-12);
                }
        else
            for (int e = 1; e <= s.nelem; ++e) {
                EXPECT_NEAR(s.gauss_point_positions(1, 1, e), 2.0 * e - 1.0, 1e-12);
                EXPECT_NEAR(s.gauss_point_positions(2, 1, e), 0.5, 1e-12);
            }
    }
}

}  // namespace

// A value that is not finite is never written as a result: the step block is
// left out, the message file names the node or element, and the status says
// so.
TEST(PlateStresses, ValuesThatAreNotFiniteStopTheStepNamingWhere) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        const char* what;
        int nan_node;     // displacement of this node (0: none)
        int nan_element;  // bending record of this element (0: none)
        const char* named;
    };
    const Case cases[] = {
        {"finite", 0, 0, ""},
        {"displacement", 3, 0, "displacement at node 3"},
        {"stress", 0, 2, "plate force or stress at an integration point of element 2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        StressFixture f(2, 4, 1, 1);
        f.unit_local_deflection();
        parvane::RunState& s = *f.st;
        for (int p = 1; p <= s.npoin; ++p) s.node_ids(p) = p;
        for (int e = 1; e <= 2; ++e) s.element_ids(e) = e;
        if (c.nan_node) s.disp_vectors((c.nan_node - 1) * 6 + 1, 1) = nan;
        for (int e = 1; e <= 2; ++e) {
            StressFixture::Record r;
            r.b(1, 1, 1) = e == c.nan_element ? nan : 1.0;
            f.write(r);
        }
        s.units.rewind(parvane::kUnitFort3);
        const int status = parvane::plate_stresses(s);
        s.units.flush(parvane::kUnitResults);
        s.units.flush(parvane::kUnitMessages);
        EXPECT_EQ(status, *c.named ? parvane::kStatusNotFinite : 0);
        EXPECT_EQ(f.text("results").find("STEP") != std::string::npos, *c.named == '\0');
        if (*c.named) {
            EXPECT_NE(f.text("messages").find(std::string(" *** results not finite in step 1: ") + c.named),
                      std::string::npos)
                << f.text("messages");
        }
    }
}

// Element records that cannot be read (fewer than the elements, or of
// another element kind) fail the step naming the element: no step block,
// no plate forces of zero.
TEST(PlateStresses, AnUnreadableElementRecordFailsTheStep) {
    struct Case {
        const char* what;
        int records;       // written for the two elements
        bool short_items;  // records of a 1-point rule where 2 x 2 is read
        const char* named;
    };
    const Case cases[] = {
        {"second record missing", 1, false, "element 102 (2 of 2)"},
        {"records of another rule", 2, true, "element 101 (1 of 2)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        StressFixture f(2, 8, 2, 2);
        f.unit_local_deflection();
        parvane::RunState& s = *f.st;
        for (int e = 1; e <= c.records; ++e) {
            StressFixture::Record r;
            if (c.short_items) {
                s.ngaus = s.ngaus2 = 1;
                f.write(r);
                s.ngaus = s.ngaus2 = 2;
            } else {
                f.write(r);
            }
        }
        s.units.rewind(parvane::kUnitFort3);
        const int status = parvane::plate_stresses(s);
        s.units.flush(parvane::kUnitResults);
        s.units.flush(parvane::kUnitMessages);
        EXPECT_EQ(status, parvane::kStatusRunFiles);
        EXPECT_EQ(f.text("results").find("STEP"), std::string::npos);
        const std::string messages = f.text("messages");
        EXPECT_NE(messages.find(std::string(" *** error in reading the element record of ") + c.named +
                                ": the plate forces and stresses of step 1 cannot be computed"),
                  std::string::npos)
            << messages;
        EXPECT_EQ(messages.find("set to zero"), std::string::npos);
    }
}
