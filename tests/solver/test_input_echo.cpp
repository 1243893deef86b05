// Reading of the numeric input: the echo on the listing, what lands in the
// run state, and the rejection of damaged input.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "solver/input/read_input.h"
#include "solver/run/state.h"
#include "test_input_support.h"

namespace {

using namespace solver_test;
using parvane::RunState;

TEST(InputEcho, ListingMatchesTheLayoutsLineByLine) {
    ScratchDir dir("echo");
    RunState st;
    open_units(st, data_path("echo4.sin"), dir);
    const int status = load_input(st);
    EXPECT_EQ(status, -1);
    st.units.close_all();

    const auto got = read_lines(dir.file("out.sou"));
    const auto want = read_lines(data_path("echo4.sou.expected"));
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i) EXPECT_EQ(got[i], want[i]) << "listing line " << i + 1;
    // Nothing goes to the message file when the input is accepted.
    EXPECT_EQ(read_text(dir.file("out.sms")), "");
}

TEST(InputEcho, StateHoldsTheTablesAsRead) {
    ScratchDir dir("state");
    RunState st;
    open_units(st, data_path("echo4.sin"), dir);
    ASSERT_EQ(load_input(st), -1);

    // Element records came in reverse order; each went to its own column.
    const int want_lnods[4][4] = {{1, 2, 5, 4}, {2, 3, 6, 5}, {4, 5, 8, 7}, {5, 6, 9, 8}};
    for (int e = 1; e <= 4; ++e) {
        EXPECT_EQ(st.element_ids(e), 10 + e);
        EXPECT_EQ(st.element_material(e), e % 2 == 1 ? 1 : 2);
        for (int a = 1; a <= 4; ++a) EXPECT_EQ(st.lnods(a, e), want_lnods[e - 1][a - 1]) << e << "," << a;
    }
    EXPECT_EQ(st.node_ids(9), 109);
    EXPECT_EQ(st.coord(2, 6), 2.0);
    EXPECT_EQ(st.coord(3, 6), 1.0);

    // Restraints.
    EXPECT_EQ(st.fixnod(2), 3);
    EXPECT_EQ(st.fixcod(1, 2), 1);
    EXPECT_EQ(st.fixcod(2, 2), 0);
    EXPECT_EQ(st.fixval(1, 2), -0.001);

    // Materials: type words and the rigidities of the orthotropic one.
    EXPECT_EQ(parvane::material_type(st, 1), "ISOTP");
    EXPECT_EQ(parvane::material_type(st, 2), "ORTH1");
    EXPECT_EQ(st.props(1, 2), 3e7);
    EXPECT_EQ(st.props(3, 1), 0.5);
    EXPECT_EQ(st.orthotropic_rigidities(1, 2), 1.2e6);
    EXPECT_EQ(st.orthotropic_rigidities(6, 2), 6000.0);
    EXPECT_EQ(st.orthotropic_rigidities(1, 1), 0.0);

    // Soil flag 1: one stiffness record per node with the initial stiffness.
    EXPECT_EQ(st.nnsti, 9);
    for (int i = 1; i <= 9; ++i) {
        EXPECT_EQ(st.nodal_stiffness_nodes(i), i);
        EXPECT_EQ(st.nodal_stiffness_values(1, i), 2000.0);
        EXPECT_EQ(st.nodal_stiffness_values(2, i), 0.0);
    }

    // Actions.
    EXPECT_EQ(st.nodal_load_nodes(1), 5);
    EXPECT_EQ(st.nodal_load_values(1, 1), -100.0);
    EXPECT_EQ(st.distributed_load_elements(1), 2);
    EXPECT_EQ(st.edge_load_edges(1, 1), 1);
    EXPECT_EQ(st.edge_load_values(2, 1), -2.0);

    // The concentrated load at (0, 1.5, 1.25) lies in element 4 at (0, -0.5);
    // its third component keeps the input.
    EXPECT_EQ(st.point_load_elements(1), 4);
    EXPECT_NEAR(st.point_load_positions(1, 1), 0.0, 1e-12);
    EXPECT_NEAR(st.point_load_positions(2, 1), -0.5, 1e-12);
    EXPECT_EQ(st.point_load_positions(3, 1), 1.25);
    EXPECT_EQ(st.point_load_values(1, 1), -50.0);

    // Nonlinear index and profile with its point count in pair mxpts + 1.
    EXPECT_EQ(st.nonlinear_nodes(1), 5);
    EXPECT_EQ(st.nonlinear_profile_index(1, 1), 1);
    EXPECT_EQ(st.nonlinear_profile_index(1, 2), 0);
    EXPECT_EQ(st.nonlinear_profiles(1, 1, 1), -0.01);
    EXPECT_EQ(st.nonlinear_profiles(2, 3, 1), 100.0);
    EXPECT_EQ(st.nonlinear_profiles(1, 4, 1), 3.0);
    EXPECT_EQ(st.nonlinear_profiles(2, 4, 1), 3.0);

    // Gauss rules, front and element counts per node; connectivity unmarked.
    EXPECT_EQ(st.gauss_common.gauss_positions[0], -0.577350269189626);
    EXPECT_EQ(st.gauss_common.gauss_weights2[1], 1.0);
    EXPECT_EQ(st.front_capacity, 31);
    const int want_count[9] = {1, 2, 1, 2, 4, 2, 1, 2, 1};
    for (int p = 1; p <= 9; ++p) EXPECT_EQ(st.node_element_count(p), want_count[p - 1]) << p;
    for (int v : st.lnods.vec()) EXPECT_GT(v, 0);

    // The reader stops at the cut-line records, which are the driver's.
    fio::ListReader r(st.units, parvane::kUnitInput);
    int ncut = 0, icutm = 0, ngrid = 0;
    r >> ncut >> icutm >> ngrid;
    EXPECT_TRUE(r.ok());
    EXPECT_EQ(ncut, 1);
    EXPECT_EQ(ngrid, 5);
}

// ---------------------------------------------------------------------------
// A one-element model in which single records are replaced.

struct Model {
    std::string soil = "0";
    std::string counts = "4  1  1  4  2  2  1  0  0  0  0  0  0  0  0  0  0  0  ";
    std::string nonlinear = "0  0  0";
    std::string elements = "  1  7  1  1  2  3  4";
    std::string nodes = "  2  202  0 1  0\n  1  201  0 0  0\n  3  203  0 1  1\n  4  204  0 0  1";
    std::string restraints = "  1   1  1  1  1  1  1   0  0  0  0  0  0";
    std::string materials = " 1\t1  1000  0.2  0.1";
    std::string rest = "";
    std::string text() const {
        return "one element\n" + soil + "\n" + counts + "\n" + nonlinear + "\n1  0  1  0.1  10  0.001  \n" + elements +
               "\n" + nodes + "\n" + restraints + "\n" + materials + "\n" + rest + (rest.empty() ? "" : "\n") +
               "0 1\t5\n\n";
    }
};

int run_model(const Model& m, ScratchDir& dir, RunState& st) {
    write_text(dir.file("m.sin"), m.text());
    open_units(st, dir.file("m.sin"), dir);
    const int status = load_input(st);
    st.units.close(parvane::kUnitListing);
    st.units.close(parvane::kUnitMessages);
    return status;
}

TEST(InputReader, NodeBlockEndsAtTheRecordOfTheLastNode) {
    ScratchDir dir("nodes");
    RunState st;
    Model m;
    m.counts = "5  2  1  4  2  2  1  0  0  0  0  0  0  0  0  0  0  0  ";
    // Node 3 has no record; node 5 comes last and ends the block.
    m.nodes = "  2  202  0 1  0\n  4  204  0 0  1\n  1  201  0 0  0\n  5  205  7 8  9";
    m.elements = "  1  7  1  1  2  5  4\n  2  8  1  1  2  5  4";
    ASSERT_EQ(run_model(m, dir, st), 5);  // node 3 is in no element: check2 says so
    EXPECT_EQ(st.coord(1, 5), 7.0);
    EXPECT_EQ(st.coord(1, 3), 0.0);
    EXPECT_EQ(st.coord(2, 3), 0.0);
    EXPECT_EQ(st.coord(3, 3), 0.0);
    EXPECT_EQ(st.node_ids(3), 0);
}

TEST(InputReader, SoilKindTwoReadsNoNodalStiffness) {
    ScratchDir dir("vlasov");
    RunState st;
    Model m;
    m.soil = "2\n100  200  0.3  10  1.5";
    // The stiffness record that a soil model would shift is not there; the
    // profile count after it must still be read in place.
    m.rest = "";
    ASSERT_EQ(run_model(m, dir, st), -1);
    EXPECT_EQ(st.nnsti, 4);
    EXPECT_EQ(st.nodal_stiffness_nodes(1), 0);
    const auto lines = read_lines(dir.file("out.sou"));
    std::vector<std::string> tail;
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (lines[i] == " Nodal Stiffnesses") tail.assign(lines.begin() + static_cast<long>(i), lines.end());
    ASSERT_GE(tail.size(), 3u);
    EXPECT_EQ(tail[1], "     Node      KX           KY           KZ           RX           RY           RZ");
    EXPECT_EQ(tail[2], "");  // no rows: the next thing is the front width
    EXPECT_EQ(tail[4], " maximum frontwidth encountered =   24");
    const std::string listing = read_text(dir.file("out.sou"));
    EXPECT_NE(listing.find("\n\n\n  Using Vlasov Approach \n"
                           "  Young Modulus Top= 0.1000E+03  Young Modulus Bottom= 0.2000E+03\n"
                           "  Poisson Ratio  0.3000  Soil Depth= 0.1000E+02  Initial Gamma=  1.5000\n"),
              std::string::npos);
}

TEST(InputReader, RigidityLinesFollowTheLastMaterialType) {
    struct Case {
        const char* materials;
        bool rigidity_lines;
        const char* last_line;
    };
    const Case cases[] = {
        // An orthotropic material followed by a typed-in one (code 4): no record
        // read for the latter, the lines printed with the set read before.
        {" 1  2  1000  0.2  0.1\n1 2 3 4 5 6\n 2  4  1000  0.2  0.1", true,
         "  Dxx= 0.1000E+01  Dyy= 0.2000E+01  Dv= 0.3000E+01  Dxy= 0.4000E+01  Dsx= 0.5000E+01  Dsy= 0.6000E+01"},
        // Orthotropic then isotropic: no rigidity lines.
        {" 1  3  1000  0.2  0.1\n1 2 3 4 5 6\n 2\t1  1000  0.2  0.1", false, ""},
    };
    for (const auto& c : cases) {
        ScratchDir dir("mats");
        RunState st;
        Model m;
        m.counts = "4  2  2  4  2  2  1  0  0  0  0  0  0  0  0  0  0  0  ";
        m.elements = "  1  7  1  1  2  3  4\n  2  8  2  1  2  3  4";
        m.materials = c.materials;
        run_model(m, dir, st);
        const std::string listing = read_text(dir.file("out.sou"));
        EXPECT_EQ(listing.find("  Flexural and shear rigidity :") != std::string::npos, c.rigidity_lines)
            << c.materials;
        if (c.rigidity_lines) {
            EXPECT_NE(listing.find(std::string(c.last_line) + "\n"), std::string::npos) << c.materials;
        }
        EXPECT_EQ(parvane::material_type(st, 2), c.rigidity_lines ? "     " : "ISOTP");
    }
}

TEST(InputReader, EachOrthotropicMaterialKeepsItsOwnRigidities) {
    ScratchDir dir("ortho");
    RunState st;
    Model m;
    m.counts = "4  2  2  4  2  2  1  0  0  0  0  0  0  0  0  0  0  0  ";
    m.elements = "  1  7  1  1  2  3  4\n  2  8  2  1  2  3  4";
    m.materials = " 1  2  1000  0.2  0.1\n1 2 3 4 5 6\n 2  2  1000  0.2  0.1\n10 20 30 40 50 60";
    run_model(m, dir, st);
    for (int k = 1; k <= 6; ++k) {
        EXPECT_EQ(st.orthotropic_rigidities(k, 1), k);
        EXPECT_EQ(st.orthotropic_rigidities(k, 2), 10 * k);
    }
    // The listing shows the set read last, once, after the material table.
    const std::string listing = read_text(dir.file("out.sou"));
    const std::string lines =
        "\n  Flexural and shear rigidity :\n"
        "  Dxx= 0.1000E+02  Dyy= 0.2000E+02  Dv= 0.3000E+02  Dxy= 0.4000E+02  Dsx= 0.5000E+02  Dsy= 0.6000E+02\n";
    const auto at = listing.find(lines);
    ASSERT_NE(at, std::string::npos);
    EXPECT_EQ(listing.find("Flexural", at + 10), std::string::npos);
}

// The blocks the echo fixture leaves out: distributed stiffnesses, soil-spring
// edges, edge stiffnesses, concentrated and total concentrated stiffnesses.
// The edge records carry freedom 0, which acts nowhere but is a valid record.
TEST(InputReader, EchoOfTheStiffnessBlocks) {
    ScratchDir dir("stiffblocks");
    RunState st;
    Model m;
    m.counts = "4  1  1  4  2  2  1  0  0  0  1  0  1  1  0  1  1  0  ";
    m.rest =
        "  1  7  0  0  0  0  0\n"
        "1  2  0  \n"
        "  1  3  0    5  6  0\n"
        " 0  0.5  0.5   1000  0  0  0  0  0\n"
        " 0  0.25  0.75   9  9  9  9  9  9";
    ASSERT_EQ(run_model(m, dir, st), -1);
    const std::vector<std::string> want = {
        "",
        "",
        " Distributed Stiffnesses",
        "     Element      KX           KY           KZ           RX           RY           RZ",
        "       7    0.70000E+01  0.00000E+00  0.00000E+00  0.00000E+00  0.00000E+00  0.00000E+00",
        "",
        "",
        " Edge Elements for Soil Springs",
        "   Elem    Side    Dof  ",
        "       7       2       0",
        "",
        "",
        " Edge Stiffness",
        "   Elem    Side    Dof                 Values",
        "       7       3       0    0.50000E+01  0.60000E+01  0.00000E+00",
        "",
        "",
        " Concentrated Stiffnesses",
        "       X          Y          Z        KX           KY           KZ           RX           RY           RZ",
        "     0.0000    0.5000    0.5000    0.10000E+04  0.00000E+00  0.00000E+00  0.00000E+00  0.00000E+00  0.00000E+00",
        "",
        "",
        " Concentrated Total Stiffnesses",
        "       X          Y ",
        "     0.0000    0.2500    0.7500",
        "",
        "",
        " maximum frontwidth encountered =   24",
        "",
        "",
    };
    const auto lines = read_lines(dir.file("out.sou"));
    std::vector<std::string> got;
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (lines[i] == " Distributed Stiffnesses") got.assign(lines.begin() + static_cast<long>(i) - 2, lines.end());
    EXPECT_EQ(got, want);

    EXPECT_EQ(st.edge_stiffness_edges(3, 1), 0);
    EXPECT_EQ(st.edge_stiffness_values(2, 1), 6.0);
    EXPECT_EQ(st.vlasov_edges(2, 1), 2);
    EXPECT_EQ(st.point_stiffness_elements(1), 1);
    EXPECT_NEAR(st.point_stiffness_positions(1, 1), 0.0, 1e-12);
    EXPECT_EQ(st.total_stiffness_elements(1), 1);
    EXPECT_NEAR(st.total_stiffness_positions(1, 1), -0.5, 1e-12);
    EXPECT_NEAR(st.total_stiffness_positions(2, 1), 0.5, 1e-12);
}

TEST(RunState, FixedValuesAndReset) {
    ScratchDir dir("reset");
    RunState st;
    st.isoil = 2;
    st.npoin = 7;
    st.nnode = 8;
    st.ngaus = 3;
    st.nnsti = 0;
    st.ngrid = 9;
    parvane::set_fixed_values(st);
    EXPECT_EQ(st.nnsti, 7);
    EXPECT_EQ(st.nevab, 48);
    EXPECT_EQ(st.ntotv, 42);
    EXPECT_EQ(st.ngsq, 9);
    EXPECT_EQ(st.ngrid, 5);
    EXPECT_EQ(st.numeric_constants, (std::array<double, 10>{0, 1, 2, 3, 4, 5, 6, 8, 0.5, 0.25}));
    int status = 0;
    parvane::allocate_work_arrays(st, status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(st.soil_stiffness.size(), 7u);
    for (double v : st.soil_stiffness.vec()) EXPECT_EQ(v, 0.0);
    EXPECT_EQ(st.estiff.size(), 48u * 48u * 0u);
    EXPECT_EQ(st.disp_vectors.size(), 84u);

    ASSERT_EQ(st.units.open(parvane::kUnitListing, dir.file("x.sou"), fio::OpenStatus::Unknown), fio::kOk);
    st.reset();
    EXPECT_FALSE(st.units.is_open(parvane::kUnitListing));
    EXPECT_EQ(st.npoin, 0);
    EXPECT_EQ(st.isoil, 0);
    EXPECT_TRUE(st.soil_stiffness.empty());
    EXPECT_EQ(st.ndofn, 6);
}

// Profile counts whose table no vector can hold: the reservation fails
// before anything is taken, the arrays already reserved are released and the
// failure is told on the standard error and in the message file.
TEST(RunState, AllocationFailureReleasesEverythingAndSaysSo) {
    ScratchDir dir("alloc");
    RunState st;
    ASSERT_EQ(st.units.open(parvane::kUnitMessages, dir.file("m.sms"), fio::OpenStatus::Unknown), fio::kOk);
    st.npoin = 4;
    st.nelem = 1;
    st.nnode = 4;
    st.ngaus = 2;
    st.nprof = 0x7FFFFFFF;
    st.mxpts = 0x7FFFFFFF;
    parvane::set_fixed_values(st);
    int status = 0;
    testing::internal::CaptureStderr();
    parvane::allocate_work_arrays(st, status);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "error in allocating memory\n");
    EXPECT_EQ(status, parvane::kStatusAlloc);
    EXPECT_TRUE(st.coord.empty());
    EXPECT_TRUE(st.lnods.empty());
    EXPECT_TRUE(st.nonlinear_profiles.empty());
    st.units.close_all();
    EXPECT_EQ(read_text(dir.file("m.sms")), "error in allocating memory\n");
}

// Node numbers of the element and restraint tables that are 0 or out of
// range are kept and counted by check2 (errors 15, 16 and 22), with the
// listing of the data cards, instead of stopping the reader.
TEST(InputReader, BadNodeNumbersOfTheTablesAreLeftToCheck2) {
    struct Case {
        const char* what;
        const char* elements;
        const char* restraints;
        int error;
    };
    const Case cases[] = {
        {"zero node", "  1  7  1  1  0  3  4", "  1   1  1  1  1  1  1   0  0  0  0  0  0", 15},
        {"node beyond the last", "  1  7  1  1  2  3  5", "  1   1  1  1  1  1  1   0  0  0  0  0  0", 16},
        {"restraint node", "  1  7  1  1  2  3  4", "  5   1  1  1  1  1  1   0  0  0  0  0  0", 22},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchDir dir("check2nodes");
        RunState st;
        Model m;
        m.elements = c.elements;
        m.restraints = c.restraints;
        EXPECT_EQ(run_model(m, dir, st), parvane::kStatusInput);
        EXPECT_EQ(st.check_errors[static_cast<std::size_t>(c.error)], 1);
        const std::string listing = read_text(dir.file("out.sou"));
        EXPECT_NE(listing.find(" *** diagnosis by check2, error " + std::to_string(c.error)), std::string::npos);
        EXPECT_NE(listing.find("maximum frontwidth encountered"), std::string::npos);
        EXPECT_EQ(listing.find("error in numeric input"), std::string::npos);
    }
}

// A profile of 0 or less leaves a freedom without a nonlinear spring.
TEST(InputReader, NonpositiveProfilesMeanNoSpring) {
    ScratchDir dir("noprofile");
    RunState st;
    Model m;
    m.nonlinear = "1  1  2";
    m.rest = "2  -1  0  0  0  0  1\n2\n0 0\n1 1";
    ASSERT_EQ(run_model(m, dir, st), -1);
    EXPECT_EQ(st.nonlinear_profile_index(1, 1), -1);
    EXPECT_EQ(st.nonlinear_profile_index(1, 6), 1);
}

// A damaged head asks for tables far beyond what the file holds: the count is
// refused before anything is reserved for it.
TEST(InputReader, CountsBeyondTheFileAreRefusedBeforeReserving) {
    struct Case {
        const char* what;
        const char* counts;
        const char* count;
    };
    const Case cases[] = {
        {"restraints", "4  1  1  4  2  2  2000000000  0  0  0  0  0  0  0  0  0  0  0  ", "nvfix 2000000000"},
        {"concentrated loads", "4  1  1  4  2  2  1  0  0  0  0  1000000000  0  0  0  0  0  0  ", "nclod 1000000000"},
        {"nodes", "400000  1  1  4  2  2  1  0  0  0  0  0  0  0  0  0  0  0  ", "npoin 400000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchDir dir("hugecount");
        RunState st;
        Model m;
        m.counts = c.counts;
        write_text(dir.file("m.sin"), m.text());
        open_units(st, dir.file("m.sin"), dir);
        int status = 0;
        parvane::read_head(st, status);
        EXPECT_EQ(status, parvane::kStatusInput);
        st.units.close_all();
        const std::string messages = read_text(dir.file("out.sms"));
        EXPECT_NE(messages.find(std::string(" *** error in numeric input, counts: ") + c.count +
                                " is more than the input file of "),
                  std::string::npos)
            << messages;
    }
}

TEST(InputReader, DamagedInputIsRejectedNamingTheBlock) {
    struct Case {
        const char* what;
        Model model;
        const char* line;
    };
    auto with = [](auto change) {
        Model m;
        change(m);
        return m;
    };
    const Case cases[] = {
        {"element number", with([](Model& m) { m.elements = "  2  7  1  1  2  3  4"; }),
         " *** error in numeric input, elements: element 2 out of range 1..1"},
        {"node number", with([](Model& m) { m.nodes = "  1  201  0 0  0\n  9  209  0 0  0"; }),
         " *** error in numeric input, nodes: node 9 out of range 1..4"},
        {"node block never ends", with([](Model& m) {
             m.nodes = "  1  201  0 0  0";
             m.restraints = "";
             m.materials = "";
         }),
         " *** error in numeric input, nodes: end of file: the node block never names the last node 4"},
        {"node block without its last node",
         with([](Model& m) { m.nodes = "  1  201  0 0  0\n  2  202  0 1  0\n  3  203  0 1  1\n  2  202  0 1  0"; }),
         " *** error in numeric input, nodes: the node block never names the last node 4"},
        {"material number", with([](Model& m) { m.materials = " 2\t1  1000  0.2  0.1"; }),
         " *** error in numeric input, materials: material 2 out of range 1..1"},
        {"bad number", with([](Model& m) { m.materials = " 1\t1  1e3x  0.2  0.1"; }),
         " *** error in numeric input, materials: bad number \"1e3x\""},
        {"rigidity record missing", with([](Model& m) { m.materials = " 1  2  1000  0.2  0.1"; }),
         " *** error in numeric input, materials: end of file"},
        {"nodal load node", with([](Model& m) {
             m.counts = "4  1  1  4  2  2  1  1  0  0  0  0  0  0  0  0  0  0  ";
             m.rest = "  0  1  0  0  0  0  0";
         }),
         " *** error in numeric input, nodal loads: node 0 out of range 1..4"},
        {"edge side", with([](Model& m) {
             m.counts = "4  1  1  4  2  2  1  0  0  0  0  0  0  0  1  0  0  0  ";
             m.rest = "  1  5  1    -2  -2  0";
         }),
         " *** error in numeric input, edge loads: side 5 out of range 1..4"},
        {"edge freedom", with([](Model& m) {
             m.counts = "4  1  1  4  2  2  1  0  0  0  0  0  0  0  0  1  0  0  ";
             m.rest = "  1  2  7    -2  -2  0";
         }),
         " *** error in numeric input, edge stiffnesses: degree of freedom 7 out of range 0..6"},
        {"distributed element", with([](Model& m) {
             m.counts = "4  1  1  4  2  2  1  0  0  1  0  0  0  0  0  0  0  0  ";
             m.rest = "  3  1  0  0  0  0  0";
         }),
         " *** error in numeric input, distributed loads: element 3 out of range 1..1"},
        {"profile reference", with([](Model& m) {
             m.nonlinear = "1  1  2";
             m.rest = "2  2  0  0  0  0  0\n2\n0 0\n1 1";
         }),
         " *** error in numeric input, nonlinear index: profile 2 out of range 0..1"},
        {"profile point count", with([](Model& m) {
             m.nonlinear = "1  1  2";
             m.rest = "2  1  0  0  0  0  0\n3\n0 0\n1 1\n2 2";
         }),
         " *** error in numeric input, nonlinear profiles: point count 3 out of range 0..2"},
        {"five nodes per element", with([](Model& m) {
             m.counts = "4  1  1  5  2  2  1  0  0  0  0  0  0  0  0  0  0  0  ";
             m.elements = "  1  7  1  1  2  3  4  4";
         }),
         " *** error in numeric input, control values: nnode 5 is not 4, 8 or 9"},
        {"ngaus2 too large",
         with([](Model& m) { m.counts = "4  1  1  4  2  4  1  0  0  0  0  0  0  0  0  0  0  0  "; }),
         " *** error in numeric input, control values: ngaus2 4 is neither 1 nor ngaus 2"},
        {"ngaus2 neither 1 nor ngaus",
         with([](Model& m) { m.counts = "4  1  1  4  3  2  1  0  0  0  0  0  0  0  0  0  0  0  "; }),
         " *** error in numeric input, control values: ngaus2 2 is neither 1 nor ngaus 3"},
        {"negative Gauss-point count",
         with([](Model& m) { m.counts = "4  1  1  4  -99999999  2  1  0  0  0  0  0  0  0  0  0  0  0  "; }),
         " *** error in numeric input, counts: ngaus -99999999 is not 1, 2 or 3 (Gauss points per direction)"},
        {"Gauss-point count beyond the rules",
         with([](Model& m) { m.counts = "4  1  1  4  100000  2  1  0  0  0  0  0  0  0  0  0  0  0  "; }),
         " *** error in numeric input, counts: ngaus 100000 is not 1, 2 or 3 (Gauss points per direction)"},
        {"negative count", with([](Model& m) { m.counts = "4  1  1  4  2  2  1  0  0  0  0  -1  0  0  0  0  0  0  "; }),
         " *** error in numeric input, control values: nclod -1 below 0"},
        {"short head", with([](Model& m) { m.counts = "4  1  1  4  2  2  1  0  0  0  0  0  0  0  x  0  0  0"; }),
         " *** error in numeric input, counts: bad number \"x\""},
    };
    for (const auto& c : cases) {
        ScratchDir dir("reject");
        RunState st;
        EXPECT_EQ(run_model(c.model, dir, st), parvane::kStatusInput) << c.what;
        const auto listing = read_lines(dir.file("out.sou"));
        const auto messages = read_lines(dir.file("out.sms"));
        ASSERT_FALSE(listing.empty()) << c.what;
        EXPECT_EQ(listing.back(), c.line) << c.what;
        ASSERT_EQ(messages.size(), 1u) << c.what;
        EXPECT_EQ(messages[0], c.line) << c.what;
    }
}

}  // namespace

// Elements the plate arithmetic cannot take and coordinates beyond its range
// are refused with the input, the element or node named on the message file.
TEST(InputReader, DegenerateElementsAndFarNodesAreRefused) {
    struct Case {
        const char* what;
        const char* nodes;
        const char* elements;
        const char* message;  // "" when accepted
    };
    // Corners counter-clockwise in the plate's frame (y, -z) unless said.
    const Case cases[] = {
        {"square", "  1  201  0 0  0\n  2  202  0 1  0\n  3  203  0 1 -1\n  4  204  0 0 -1", "  1  7  1  1  2  3  4",
         ""},
        {"three corners on a line", "  1  201  0 0  0\n  2  202  0 1  0\n  3  203  0 2  0\n  4  204  0 1 -1",
         "  1  7  1  1  2  3  4", "element geometry: element 7: corner angle of 180 degrees or more at node 202"},
        {"corner turning back", "  1  201  0 0  0\n  2  202  0 1  0\n  3  203  0 0.2 -0.2\n  4  204  0 0 -1",
         "  1  7  1  1  2  3  4", "element geometry: element 7: corner angle of 180 degrees or more at node 203"},
        {"out-of-plane 1e8", "  1  201  1e8 0  0\n  2  202  0 1  0\n  3  203  0 1 -1\n  4  204  0 0 -1",
         "  1  7  1  1  2  3  4", "nodes: node 201: coordinate 1e+08 beyond the range -1e+07 to 1e+07"},
        {"in-plane 2^31",
         "  1  201  0 2147483648  0\n  2  202  0 2147483649  0\n  3  203  0 2147483649 -1\n"
         "  4  204  0 2147483648 -1",
         "  1  7  1  1  2  3  4", "nodes: node 201: coordinate 2.14748e+09 beyond the range"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchDir dir("geometry");
        RunState st;
        Model m;
        m.nodes = c.nodes;
        m.elements = c.elements;
        const int status = run_model(m, dir, st);
        EXPECT_EQ(status, *c.message ? parvane::kStatusInput : -1);
        if (*c.message) {
            EXPECT_NE(read_text(dir.file("out.sms")).find(std::string("*** error in numeric input, ") + c.message),
                      std::string::npos)
                << read_text(dir.file("out.sms"));
        }
    }
}
