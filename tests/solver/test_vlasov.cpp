// Vlasov soil: k and 2t from gamma, the corner search, the edge and corner
// springs, the gamma update and the refused soil values.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

#include "solver/run/state.h"
#include "solver/soils/vlasov.h"
#include "test_cut_mesh.h"
#include "test_input_support.h"

namespace {

using parvane::RunState;

TEST(Vlasov, ParametersOfTheUniformLayerAndTheirMessageLine) {
    solver_test::ScratchDir dir("vlasov");
    RunState st;
    ASSERT_EQ(st.units.open(parvane::kUnitMessages, dir.file("out.sms"), fio::OpenStatus::Unknown), fio::kOk);
    const double e = 3.0e4;
    st.gamma0 = 1.0;
    st.esoil = e;
    st.ebot = e;
    st.psoil = 0.3;
    st.hsoil = 1.0;
    parvane::vlasov_parameters(st);
    const double s1 = std::sinh(1.0);
    const double k = e * (4.0 + 2.0 * std::sinh(2.0)) * 0.7 / (8.0 * 1.3 * 0.4 * s1 * s1);
    const double t2 = e * (2.0 * std::sinh(2.0) - 4.0) / (16.0 * 1.3 * s1 * s1);
    EXPECT_NEAR(st.vlasov_k, k, 1e-12 * k);
    EXPECT_NEAR(st.vlasov_2t, t2, 1e-12 * t2);
    st.units.close(parvane::kUnitMessages);
    const auto lines = solver_test::read_lines(dir.file("out.sms"));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], " ");
    EXPECT_EQ(lines[1], "gamma =   1.000000, k = " + fio::fmt_e(k, 12, 4) + ", 2t = " + fio::fmt_e(t2, 12, 4));

    // A stiffer bottom raises both.
    double kb = 0, tb = 0;
    parvane::vlasov_k_2t(1.0, e, 2.0 * e, 0.3, 1.0, kb, tb);
    EXPECT_GT(kb, k);
    EXPECT_GT(tb, t2);
}

// k and 2t as the layer formulas give them, in extended precision.
void layer_formulas(long double g, long double et, long double eb, long double nu, long double h, long double& k,
                    long double& t2) {
    const long double s = std::sinh(g), s2 = std::sinh(2 * g), c2 = std::cosh(2 * g), g2 = g * g;
    k = ((4 * g2 + 2 * g * s2) * et + (2 * g2 + c2 - 1) * (eb - et)) * (1 - nu) /
        (8 * h * (1 + nu) * (1 - 2 * nu) * s * s);
    t2 = h * (et * (2 * g * s2 - 4 * g2) + (eb - et) * (c2 - 1 - 2 * g2)) / (16 * (1 + nu) * g2 * s * s);
}

TEST(Vlasov, LayerValuesKeepTheirPrecisionForEveryGamma) {
    // A nearly uniform deflection makes gamma tiny: the layer must still get
    // its k and 2t, not the noise of cancelling terms (2t went negative and
    // huge below gamma 1e-5, and the run's right-hand side with it).
    const double et = 150.0, eb = 250.0, nu = 0.3, h = 20.0;
    const double k0 = (et + eb) * (1.0 - nu) / (2.0 * h * (1.0 + nu) * (1.0 - 2.0 * nu));
    const double t0 = h * (3.0 * et + eb) / (24.0 * (1.0 + nu));
    struct Case {
        double gamma;
        bool limit;  // compare with the values at gamma 0
        double tol;  // relative
    } cases[] = {{0.0, true, 1e-14},   {1e-12, true, 1e-14},   {1e-7, true, 1e-12},    {1e-5, true, 1e-9},
                 {0.03, false, 1e-11}, {0.0999, false, 1e-12}, {0.1001, false, 1e-12}, {0.7, false, 1e-12},
                 {3.0, false, 1e-12},  {40.0, false, 1e-12},   {400.0, false, 1e-12}};
    for (const Case& c : cases) {
        double k = 0, t2 = 0;
        parvane::vlasov_k_2t(c.gamma, et, eb, nu, h, k, t2);
        long double kr = k0, tr = t0;
        if (!c.limit) layer_formulas(c.gamma, et, eb, nu, h, kr, tr);
        EXPECT_NEAR(k, static_cast<double>(kr), c.tol * std::fabs(static_cast<double>(kr))) << c.gamma;
        EXPECT_NEAR(t2, static_cast<double>(tr), c.tol * std::fabs(static_cast<double>(tr))) << c.gamma;
        EXPECT_GT(t2, 0.0) << c.gamma;
    }
}

// The sides of a grid's elements that have no neighbour, in element order.
void list_free_sides(RunState& st, int ny, int nz) {
    const auto edges = cut_test::free_sides(ny, nz);
    st.nvedge = static_cast<int>(edges.size());
    st.vlasov_edges.allocate(3, st.nvedge);
    for (int r = 1; r <= st.nvedge; ++r) {
        st.vlasov_edges(1, r) = edges[static_cast<std::size_t>(r - 1)].first;
        st.vlasov_edges(2, r) = edges[static_cast<std::size_t>(r - 1)].second;
    }
}

using CornerTable = std::array<std::array<int, 2>, 4>;

TEST(Vlasov, CornersOfARectangularRaftAndOfAnObliqueSide) {
    RunState st;
    cut_test::make_grid(st, 3, 2, 1.0);
    list_free_sides(st, 3, 2);
    parvane::vlasov_corners(st);
    EXPECT_EQ(st.vlasov_corner_table, (CornerTable{{{1, 1}, {4, 3}, {9, 4}, {12, 6}}}));

    // One element with a side at 45 degrees: its end nodes are no corners.
    RunState ob;
    cut_test::make_grid(ob, 1, 1, 1.0);
    ob.coord(2, 2) = 2.0;  // corners (0, 0), (2, 0), (1, 1), (0, 1)
    list_free_sides(ob, 1, 1);
    parvane::vlasov_corners_linear(ob);
    EXPECT_EQ(ob.vlasov_corner_table, (CornerTable{{{3, 1}, {1, 1}, {0, 0}, {0, 0}}}));

    // An L-shaped boundary has six corners; the table keeps the first four.
    RunState el;
    cut_test::make_grid(el, 2, 2, 1.0);
    // Drop element 4 (upper right) from the boundary: list the sides of the L.
    el.nvedge = 8;
    el.vlasov_edges.allocate(3, 8);
    const int sides[8][2] = {{1, 1}, {1, 4}, {2, 1}, {2, 2}, {2, 3}, {3, 2}, {3, 3}, {3, 4}};
    for (int r = 0; r < 8; ++r) {
        el.vlasov_edges(1, r + 1) = sides[r][0];
        el.vlasov_edges(2, r + 1) = sides[r][1];
    }
    parvane::vlasov_corners(el);
    for (const auto& entry : el.vlasov_corner_table) EXPECT_NE(entry[0], 0);
}

TEST(Vlasov, QuadraticSidesCountTheirMidSideNodeOnce) {
    // One 8-node square: corners 1..4, mid-side nodes 5..8.
    RunState st;
    cut_test::make_quad8(st, {{0, 0}, {2, 0}, {2, 2}, {0, 2}, {1, 0}, {2, 1}, {1, 2}, {0, 1}});
    list_free_sides(st, 1, 1);
    parvane::vlasov_corners(st);
    EXPECT_EQ(st.vlasov_corner_table, (CornerTable{{{2, 1}, {3, 1}, {4, 1}, {1, 1}}}));
}

TEST(Vlasov, EdgeAndCornerSpringsOfAnElement) {
    RunState st;
    cut_test::make_grid(st, 3, 2, 2.0);
    list_free_sides(st, 3, 2);
    parvane::vlasov_corners(st);
    st.vlasov_2t = 8.0;
    const double c = 3.0;
    // Element 1: sides 1 and 4 on the boundary (length 2), corner node 1.
    std::vector<double> ke(54 * 54, 0.0), rhs(24, 0.0);
    st.disp_vectors((2 - 1) * 6 + 1, 1) = 0.5;  // node 2 deflects
    parvane::vlasov_edge_terms(st, 1, c, ke.data(), rhs.data());
    auto diag = [&](int a) { return ke[static_cast<std::size_t>(((a - 1) * 6) * 54 + (a - 1) * 6)]; };
    EXPECT_DOUBLE_EQ(diag(1), c * 2.0 / 2.0 * 2.0 + 0.75 * 8.0);
    EXPECT_DOUBLE_EQ(diag(2), c * 2.0 / 2.0);
    EXPECT_DOUBLE_EQ(diag(3), 0.0);
    EXPECT_DOUBLE_EQ(diag(4), c * 2.0 / 2.0);
    EXPECT_DOUBLE_EQ(rhs[6], -c * 0.5);
    double off = 0.0;
    for (std::size_t i = 0; i < ke.size(); ++i)
        if (i % 55 != 0) off += std::fabs(ke[i]);
    EXPECT_EQ(off, 0.0);
    // Over the whole raft, with no edge constant: each of the four corner
    // nodes receives (3/4) 2t once, every other node nothing.
    std::vector<double> node_sum(static_cast<std::size_t>(st.npoin) + 1, 0.0);
    for (int e = 1; e <= st.nelem; ++e) {
        std::fill(ke.begin(), ke.end(), 0.0);
        parvane::vlasov_edge_terms(st, e, 0.0, ke.data(), rhs.data());
        for (int a = 1; a <= 4; ++a) node_sum[static_cast<std::size_t>(st.lnods(a, e))] += diag(a);
    }
    for (int p = 1; p <= st.npoin; ++p) {
        const bool corner = p == 1 || p == 4 || p == 9 || p == 12;
        EXPECT_DOUBLE_EQ(node_sum[static_cast<std::size_t>(p)], corner ? 6.0 : 0.0) << "node " << p;
    }
    // Element 5 (top middle) has one boundary side and no corner.
    std::fill(ke.begin(), ke.end(), 0.0);
    parvane::vlasov_edge_terms(st, 5, c, ke.data(), rhs.data());
    EXPECT_DOUBLE_EQ(diag(3) + diag(4), 2.0 * c);
    EXPECT_DOUBLE_EQ(diag(1) + diag(2), 0.0);
}

TEST(Vlasov, GammaFromTheDeflectedShape) {
    RunState st;
    cut_test::make_grid(st, 2, 1, 1.0);  // slab [0, 2] x [0, 1]
    st.isoil = 2;
    st.hsoil = 4.0;
    st.psoil = 0.25;
    st.gamma0 = 0.7;
    const double f = 0.5 * (1.0 - 2.0 * 0.25) / (1.0 - 0.25);

    // No deflection: A = 0.
    parvane::vlasov_update(st);
    EXPECT_NEAR(st.gamma0, 4.0 * std::sqrt(f), 1e-14);

    // w = y over the slab: A = 8/3, B = 2 (exact with the 2 x 2 rule).
    for (int p = 1; p <= st.npoin; ++p) st.disp_step((p - 1) * 6 + 1) = st.coord(2, p);
    parvane::vlasov_update(st);
    EXPECT_NEAR(st.gamma0, 4.0 * std::sqrt(f * 2.0 / (8.0 / 3.0)), 1e-12);

    // With the two sides y = 0 and y = 2 as soil-spring edges: B += (r / 2) 4.
    st.nvedge = 2;
    st.vlasov_edges.allocate(3, 2);
    st.vlasov_edges(1, 1) = 1, st.vlasov_edges(2, 1) = 4;
    st.vlasov_edges(1, 2) = 2, st.vlasov_edges(2, 2) = 2;
    st.vlasov_k = 9.0;
    st.vlasov_2t = 4.0;
    parvane::vlasov_update(st);
    const double r = std::sqrt(9.0 / 4.0);
    EXPECT_NEAR(st.gamma0, 4.0 * std::sqrt(f * (2.0 + r / 2.0 * 4.0) / (8.0 / 3.0)), 1e-12);
    EXPECT_EQ(st.ngaus, 2);

    // A uniform deflection without edges makes gamma 0 (up to round-off),
    // and k and 2t take their values at gamma 0.
    st.nvedge = 0;
    for (int p = 1; p <= st.npoin; ++p) st.disp_step((p - 1) * 6 + 1) = 0.01;
    parvane::vlasov_update(st);
    EXPECT_LT(st.gamma0, 1e-6);
    st.esoil = st.ebot = 100.0;
    double k = 0, t2 = 0;
    parvane::vlasov_k_2t(st.gamma0, st.esoil, st.ebot, st.psoil, st.hsoil, k, t2);
    EXPECT_NEAR(k, 100.0 * 0.75 / (4.0 * 1.25 * 0.5), 1e-9);
    EXPECT_NEAR(t2, 4.0 * 400.0 / (24.0 * 1.25), 1e-9);

    // A folded element leaves gamma alone.
    st.gamma0 = 0.7;
    st.coord(2, 2) = -3.0;
    parvane::vlasov_update(st);
    EXPECT_EQ(st.gamma0, 0.7);
}

TEST(Vlasov, SoilValuesTheFormulasCannotTakeAreRefused) {
    struct Case {
        double nu, gamma, depth;
        int errors;
    } cases[] = {{0.3, 1.0, 2.0, 0}, {0.5, 1.0, 2.0, 1},  {0.7, 1.0, 2.0, 1}, {-1.0, 1.0, 2.0, 1},
                 {0.3, 0.0, 2.0, 1}, {0.3, -1.0, 2.0, 1}, {0.3, 1.0, 0.0, 1}, {0.5, 0.0, -1.0, 3}};
    for (const Case& c : cases) {
        RunState st;
        st.isoil = 2;
        st.psoil = c.nu;
        st.gamma0 = c.gamma;
        st.hsoil = c.depth;
        EXPECT_EQ(parvane::vlasov_input_errors(st), c.errors) << c.nu << " " << c.gamma << " " << c.depth;
    }
    RunState other;
    other.isoil = 1;
    EXPECT_EQ(parvane::vlasov_input_errors(other), 0);
}

}  // namespace

namespace {

TEST(Vlasov, InputChecksRefuseTheSoilValues) {
    struct Case {
        std::vector<double> soil;  // Etop, Ebottom, nu, depth, gamma
        int status;
        const char* line;
    } cases[] = {{{2.0e4, 4.0e4, 0.3, 5.0, 1.0}, -1, nullptr},
                 {{2.0e4, 4.0e4, 0.5, 5.0, 1.0}, parvane::kStatusInput, "Poisson's ratio of the Vlasov soil"},
                 {{2.0e4, 4.0e4, 0.3, 0.0, 1.0}, parvane::kStatusInput, "depth of the Vlasov soil"},
                 {{2.0e4, 4.0e4, 0.3, 5.0, -0.5}, parvane::kStatusInput, "gamma of the Vlasov soil"}};
    for (const Case& c : cases) {
        cut_test::SlabInput in;
        in.ny = in.nz = 2;
        in.isoil = 2;
        in.soil = c.soil;
        in.soil_edges = true;
        parvane::RunState st;
        std::string sms;
        EXPECT_EQ(cut_test::load_slab_input(in, "vlasovcheck", st, sms), c.status);
        if (c.line) {
            EXPECT_NE(sms.find(c.line), std::string::npos) << sms;
        } else {
            EXPECT_EQ(sms.find("error"), std::string::npos) << sms;
            EXPECT_EQ(st.nvedge, 8);
        }
    }
}

}  // namespace
