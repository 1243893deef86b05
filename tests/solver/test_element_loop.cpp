// Strain matrices at integration points and the element loop's own
// bookkeeping: drilling constant, membrane weight, Jacobian failure, element
// records.
#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <filesystem>
#include <vector>

#include "solver/elements/element_loop.h"
#include "solver/elements/element_matrices.h"
#include "solver/elements/element_utils.h"
#include "solver/elements/interpolation.h"
#include "solver/elements/plate_bmatrix.h"
#include "solver/elements/rigidity.h"
#include "solver/soils/vlasov.h"
#include "test_element_fixture.h"

using namespace element_test;
using parvane::RunState;

namespace {

// A single distorted element whose coordinates are loaded in the shape block
// (the element loop leaves them there).
void single_element(RunState& st, int nnode, int ngaus = 2, int ngaus2 = 2) {
    GridSpec g;
    g.nx = g.ny = 1;
    g.nnode = nnode;
    g.ngaus = ngaus;
    g.ngaus2 = ngaus2;
    g.distort = [](double x, double y) {
        const double u = x / 2.0, v = y / 2.0;
        return std::make_pair(2.2 * u - 0.3 * v + 0.25 * u * v + 0.1, 0.15 * u + 1.7 * v - 0.2 * u * v);
    };
    build_grid(st, g);
    ScratchUnit3 unit3(st, "single");
    int status = 0;
    parvane::form_element_matrices(st, status);
    ASSERT_EQ(status, 0);
}

// Visits every point of both rules with shape values and derivatives set.
template <class F>
void each_point(RunState& st, F f) {
    for (int rule = 1; rule <= 2; ++rule) {
        const int n = rule == 1 ? st.ngaus : st.ngaus2;
        const auto& pos = rule == 1 ? st.gauss_common.gauss_positions : st.gauss_common.gauss_positions2;
        int k = 0;
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j) {
                parvane::shape_functions(st, pos[static_cast<std::size_t>(i)], pos[static_cast<std::size_t>(j)],
                                         st.nnode);
                double det = 0.0;
                int status = 0;
                parvane::jacob2(st, 1, det, ++k, status);
                ASSERT_EQ(status, 0);
                f();
            }
    }
}

// Soil kind and the values of a soil layer: E 5000 at the top, 8000 at the
// bottom, nu 0.3, depth 4, gamma 1.2.
void layer_soil(RunState& s, int kind) {
    s.isoil = kind;
    s.esoil = 5000.0;
    s.ebot = 8000.0;
    s.psoil = 0.3;
    s.hsoil = 4.0;
    s.gamma0 = 1.2;
}

// Plate strains B u of a local nodal field (w, a, b per node; side
// parameters 0).
std::vector<double> plate_strains(const double* b, int rows, int ncol, const std::vector<double>& u) {
    std::vector<double> e(static_cast<std::size_t>(rows), 0.0);
    for (int c = 0; c < ncol; ++c)
        for (int r = 0; r < rows; ++r)
            e[static_cast<std::size_t>(r)] += b[c * rows + r] * u[static_cast<std::size_t>(c)];
    return e;
}

// Nodal plate values (w, a, b) of the loaded element from field(X, Y, wab) at
// its nodes in the element frame; side parameters 0. Loads the 4-node side
// geometry for the strain matrices.
template <class Field>
std::vector<double> plate_field(RunState& st, Field field) {
    std::vector<double> u(static_cast<std::size_t>(st.nnode == 4 ? 16 : 3 * st.nnode), 0.0);
    for (int a = 1; a <= st.nnode; ++a)
        field(st.shape_common.pcoord(1, a), st.shape_common.pcoord(2, a), &u[static_cast<std::size_t>(3 * (a - 1))]);
    if (st.nnode == 4) parvane::load_quad4_sides(st);
    return u;
}

// Bending and shear strains of the nodal field u at the current point, from
// the strain matrices of the element kind (the 4-node ones with their side
// parameters).
std::pair<std::vector<double>, std::vector<double>> point_strains(RunState& st, const std::vector<double>& u) {
    auto& m = st.element_loop->bmatrix;
    if (st.nnode == 4) {
        parvane::quad4_bending_strain_matrix(st);
        parvane::quad4_shear_strain_matrix(st);
        return {plate_strains(m.q4_bending_b, 5, 16, u), plate_strains(m.q4_shear_b, 5, 16, u)};
    }
    parvane::plate_strain_matrix(st);
    parvane::plate_shear_strain_matrix(st);
    return {plate_strains(m.plate_b, 5, 3 * st.nnode, u), plate_strains(m.shear_b, 5, 3 * st.nnode, u)};
}

}  // namespace

class StrainStates : public ::testing::TestWithParam<int> {};

TEST_P(StrainStates, LinearDeflectionWithConstantRotationsGivesExactShearAndNoCurvature) {
    const int nnode = GetParam();
    RunState st;
    single_element(st, nnode, 3, 2);
    // w = 0.4 X - 0.3 Y + 1, a = 0.05, b = -0.1: shear xz = w,X + b = 0.3,
    // shear yz = w,Y - a = -0.35.
    const auto u = plate_field(st, [](double X, double Y, double* wab) {
        wab[0] = 0.4 * X - 0.3 * Y + 1.0;
        wab[1] = 0.05;
        wab[2] = -0.1;
    });
    each_point(st, [&] {
        const auto [bend, shear] = point_strains(st, u);
        for (int r = 0; r < 3; ++r) {
            EXPECT_NEAR(bend[static_cast<std::size_t>(r)], 0.0, 1e-13);
            EXPECT_NEAR(shear[static_cast<std::size_t>(r)], 0.0, 1e-13);
        }
        EXPECT_NEAR(shear[3], 0.3, 1e-13);
        EXPECT_NEAR(shear[4], -0.35, 1e-13);
    });
}

TEST_P(StrainStates, QuadraticDeflectionWithLinearRotationsGivesExactCurvature) {
    const int nnode = GetParam();
    RunState st;
    single_element(st, nnode, 3, 3);
    // w = -(kx X^2 + ky Y^2 + kxy X Y) / 2, a = w,Y, b = -w,X.
    const double kx = 0.3, ky = -0.2, kxy = 0.15;
    const auto u = plate_field(st, [&](double X, double Y, double* wab) {
        wab[0] = -(kx * X * X + ky * Y * Y + kxy * X * Y) / 2.0;
        wab[1] = -(ky * Y + kxy * X / 2.0);
        wab[2] = kx * X + kxy * Y / 2.0;
    });
    each_point(st, [&] {
        const auto [bend, shear] = point_strains(st, u);
        EXPECT_NEAR(bend[0], kx, 1e-13);
        EXPECT_NEAR(bend[1], ky, 1e-13);
        EXPECT_NEAR(bend[2], kxy, 1e-13);
        if (nnode != 8) {  // the serendipity element is not quadratic on this shape
            EXPECT_NEAR(shear[3], 0.0, 1e-13);
            EXPECT_NEAR(shear[4], 0.0, 1e-13);
        }
    });
}

INSTANTIATE_TEST_SUITE_P(AllKinds, StrainStates, ::testing::Values(4, 8, 9));

TEST(Quad4Membrane, EqualDrillingRotationsGiveNoStrainButCarryStiffness) {
    RunState st;
    single_element(st, 4);
    parvane::load_quad4_sides(st);
    each_point(st, [&] {
        parvane::quad4_membrane_strain_matrix(st);
        for (int r = 0; r < 3; ++r) {
            double sum = 0.0;
            for (int c = 9; c <= 12; ++c) sum += st.element_loop->bmatrix.q4_membrane_b[(c - 1) * 3 + r];
            EXPECT_NEAR(sum, 0.0, 1e-14);
        }
    });
    // The centre penalty holds the mode: all four drilling freedoms (global
    // rotation about x, freedom 4) turned by 1 store energy.
    double energy = 0.0;
    for (int a = 0; a < 4; ++a)
        for (int c = 0; c < 4; ++c) energy += st.estiff(6 * a + 4, 6 * c + 4, 1);
    const double g_mod = 1000.0 / (2.0 * 1.3);
    EXPECT_NEAR(energy, g_mod * st.element_areas(1) * 0.1, 1e-9 * energy);
}

TEST(ElementLoop, OnePointRulePolarMomentOfSquare) {
    // Square of side 2, one point: Ip = a^4 / 6 from dv^2 / 6 alone, kd = Ip G / t
    // shared equally over the nodes' drilling freedoms (global rotation x).
    for (int nnode : {8, 9}) {
        RunState st;
        GridSpec g;
        g.nx = g.ny = 1;
        g.nnode = nnode;
        g.ngaus = g.ngaus2 = 1;
        build_grid(st, g);
        ScratchUnit3 unit3(st, "polar");
        int status = 0;
        parvane::form_element_matrices(st, status);
        ASSERT_EQ(status, 0);
        const double kd = (16.0 / 6.0) * (1000.0 * 0.5 / 1.3) / 0.1;
        for (int a = 1; a <= nnode; ++a) {
            EXPECT_NEAR(st.estiff(6 * (a - 1) + 4, 6 * (a - 1) + 4, 1), kd / nnode, 1e-9 * kd);
            EXPECT_EQ(st.estiff(6 * (a - 1) + 4, 6 * (a - 1) + 5, 1), 0.0);
        }
        EXPECT_DOUBLE_EQ(st.element_areas(1), 4.0);
    }
}

TEST(ElementLoop, ZeroThicknessMembraneUsesThePlainWeight) {
    // With t = 1 the membrane weight is dv x 1; with t = 0 it is dv: the
    // in-plane entries agree.
    for (int nnode : {4, 8}) {
        std::vector<double> kept[2];
        for (int i = 0; i < 2; ++i) {
            RunState st;
            GridSpec g;
            g.nx = g.ny = 1;
            g.nnode = nnode;
            g.thick = i == 0 ? 1.0 : 0.0;
            build_grid(st, g);
            ScratchUnit3 unit3(st, "thick");
            int status = 0;
            parvane::form_element_matrices(st, status);
            ASSERT_EQ(status, 0);
            for (int a = 0; a < nnode; ++a)
                for (int c = 0; c < nnode; ++c)
                    for (int i2 : {2, 3})
                        for (int j2 : {2, 3}) kept[i].push_back(st.estiff(6 * a + i2, 6 * c + j2, 1));
        }
        ASSERT_EQ(kept[0].size(), kept[1].size());
        for (std::size_t i = 0; i < kept[0].size(); ++i) EXPECT_NEAR(kept[0][i], kept[1][i], 1e-12) << nnode;
    }
}

TEST(ElementLoop, ClockwiseElementStopsWithStatus2) {
    RunState st;
    GridSpec g;
    g.nx = 2;
    g.ny = 1;
    build_grid(st, g);
    // reverse the second element: corners 1 4 3 2
    std::swap(st.lnods(2, 2), st.lnods(4, 2));
    ScratchUnit3 unit3(st, "cw");
    ScratchText listing(st, parvane::kUnitListing, "cw");
    int status = 0;
    parvane::form_element_matrices(st, status);
    EXPECT_EQ(status, parvane::kStatusJacobian);
    const auto lines = listing.lines();
    bool named = false;
    for (const auto& l : lines) named = named || l.find(" element number     2") != std::string::npos;
    EXPECT_TRUE(named);
    // the first element's record stays: with the (2,2) rule the D B items at
    // four points, the nine point coordinates, the 4-node recovery terms
    st.units.flush(parvane::kUnitFort3);
    EXPECT_EQ(std::filesystem::file_size(unit3.path), 8u * (135 * 4 + 135 * 4 + 54 * 4 + 27 + 92) + 8u);
}

struct RecordCase {
    int nnode;
    std::uintmax_t bytes;
};
void PrintTo(const RecordCase& c, std::ostream* os) { *os << c.nnode << "-node " << c.bytes << " bytes"; }
class ElementRecord : public ::testing::TestWithParam<RecordCase> {};

TEST_P(ElementRecord, OneRecordPerElementPerPassWithTheIntegrationPoints) {
    const RecordCase rc = GetParam();
    RunState st;
    GridSpec g;
    g.nx = 3;
    g.ny = 2;
    g.nnode = rc.nnode;
    g.ngaus = 3;
    g.ngaus2 = 2;
    build_grid(st, g);
    ScratchUnit3 unit3(st, "record");
    int status = 0;
    for (int pass = 0; pass < 2; ++pass) {
        st.units.rewind(parvane::kUnitFort3);
        parvane::form_element_matrices(st, status);
        ASSERT_EQ(status, 0);
    }
    st.units.flush(parvane::kUnitFort3);
    // each record is framed by its 4-byte length before and after
    EXPECT_EQ(std::filesystem::file_size(unit3.path), 6u * (rc.bytes + 8u));

    st.units.rewind(parvane::kUnitFort3);
    ElementRecordItems rec;
    ASSERT_EQ(read_element_record(st, rec, rc.nnode == 4), 0);
    const std::vector<double>& i1 = rec.bending;
    const std::vector<double>& i4 = rec.points;
    // Element 1 spans y 0..2/3, z 0..-1 (the frame's Y is -z). Points 1-4 are
    // those of the second rule (2 x 2), 5-9 the first rule's (3 x 3).
    const double p2 = 0.577350269189626, p3 = 0.774596669241483;
    auto y_of = [](double s) { return (1.0 + s) / 3.0; };
    auto z_of = [](double t) { return -(1.0 + t) / 2.0; };
    const double s2[4][2] = {{-p2, -p2}, {-p2, p2}, {p2, -p2}, {p2, p2}};
    for (int k = 0; k < 4; ++k) {
        EXPECT_NEAR(i4[static_cast<std::size_t>(3 * k)], 0.0, 1e-15);
        EXPECT_NEAR(i4[static_cast<std::size_t>(3 * k + 1)], y_of(s2[k][0]), 1e-12) << k;
        EXPECT_NEAR(i4[static_cast<std::size_t>(3 * k + 2)], z_of(s2[k][1]), 1e-12) << k;
    }
    const double s3[3] = {-p3, 0.0, p3};
    for (int k = 4; k < 9; ++k) {
        EXPECT_NEAR(i4[static_cast<std::size_t>(3 * k + 1)], y_of(s3[k / 3]), 1e-12) << k;
        EXPECT_NEAR(i4[static_cast<std::size_t>(3 * k + 2)], z_of(s3[k % 3]), 1e-12) << k;
    }
    // Item 1 at a point holds D_b B: for an 8/9-node element the moment rows
    // over the b-column of node 1 are D(:, 1) dN1/dx.
    if (rc.nnode != 4) {
        const double d = 1000.0 * 0.001 / (12.0 * (1.0 - 0.09));
        // at point 1 of the first rule the column is not zero
        EXPECT_NE(i1[static_cast<std::size_t>(2 * 5)], 0.0);
        EXPECT_NEAR(i1[static_cast<std::size_t>(2 * 5 + 1)], 0.3 * i1[static_cast<std::size_t>(2 * 5)], 1e-12 * d);
    }
}

INSTANTIATE_TEST_SUITE_P(AllKinds, ElementRecord,
                         // (3,2) rule: bending and membrane D B at nine points, shear at four
                         ::testing::Values(RecordCase{4, 18880u}, RecordCase{8, 18144u}, RecordCase{9, 18144u}));

TEST(ElementLoop, SoilAreaTermsEnterTheFirstMatrixOnly) {
    // Under the Vlasov soil model the element matrix gains k N^T N + 2t (Ny^T Ny
    // + Nz^T Nz) on the deflection; set B is reduced by the plate alone.
    for (int nnode : {4, 9}) {
        GridSpec g;
        g.nx = g.ny = 1;
        g.nnode = nnode;
        g.lx = 2.0;
        g.ly = 3.0;
        RunState st;
        build_grid(st, g, [](RunState& s) { layer_soil(s, 2); });
        double k = 0.0, t2 = 0.0;
        parvane::vlasov_k_2t(1.2, 5000.0, 8000.0, 0.3, 4.0, k, t2);
        ASSERT_GT(k, 0.0);
        ASSERT_GT(t2, 0.0);
        for (int p = 1; p <= st.npoin; ++p) st.disp_vectors((p - 1) * 6 + 1, 1) = 0.01;  // uniform deflection
        ScratchUnit3 unit3(st, "soil");
        int status = 0;
        parvane::form_element_matrices(st, status);
        ASSERT_EQ(status, 0);
        EXPECT_EQ(st.vlasov_k, k);
        // uniform deflection: the soil force is k w over the area (the shear
        // layer acts on gradients only), the plate's none
        double with_soil = 0.0, plate = 0.0;
        for (int a = 1; a <= nnode; ++a) {
            with_soil += st.element_loads((a - 1) * 6 + 1, 1);
            plate += st.element_loads_b((a - 1) * 6 + 1, 1);
        }
        EXPECT_NEAR(with_soil, -k * 6.0 * 0.01, 1e-9 * k) << nnode;
        EXPECT_NEAR(plate, 0.0, 1e-12) << nnode;

        RunState plain;
        build_grid(plain, g);
        ScratchUnit3 unit3c(plain, "soil3");
        parvane::form_element_matrices(plain, status);
        ASSERT_EQ(status, 0);
        EXPECT_GT(st.estiff(1, 1, 1), plain.estiff(1, 1, 1));
        for (int r = 2; r <= 6; ++r)  // membrane, rotations and drilling untouched
            EXPECT_EQ(st.estiff(r, r, 1), plain.estiff(r, r, 1)) << r;
    }
}

TEST(ElementLoop, WithoutTheVlasovModelNoSoilLayerTermEnters) {
    // Soil-spring edges and layer values present, but the soil kind is not 2:
    // the element matrices are those of the plain plate and nothing is
    // reported.
    for (int soil : {0, 1}) {
        GridSpec g;
        g.nx = 2;
        g.ny = 1;
        RunState st, plain;
        build_grid(st, g, [soil](RunState& s) {
            layer_soil(s, soil);
            s.nvedge = 1;
        });
        build_grid(plain, g);
        st.vlasov_edges(1, 1) = 1;
        st.vlasov_edges(2, 1) = 1;
        st.vlasov_k = 100.0;
        st.vlasov_2t = 4.0;
        ScratchUnit3 unit3(st, "novlasov"), unit3p(plain, "novlasovp");
        ScratchText messages(st, parvane::kUnitMessages, "novlasov");
        int status = 0;
        parvane::form_element_matrices(st, status);
        ASSERT_EQ(status, 0);
        parvane::form_element_matrices(plain, status);
        ASSERT_EQ(status, 0);
        EXPECT_EQ(element_matrix(st, 1), element_matrix(plain, 1)) << soil;
        EXPECT_EQ(element_matrix(st, 2), element_matrix(plain, 2)) << soil;
        EXPECT_TRUE(messages.lines().empty()) << soil;
    }
}

namespace {

// The global frame as an index remap gives exactly the dense T K T^t.
TEST(ElementFrame, RemapEqualsTheDenseTransformation) {
    constexpr int ld = 54;
    for (int nnode : {4, 8, 9}) {
        SCOPED_TRACE(nnode);
        const int n = 6 * nnode;
        std::vector<double> k(ld * ld, 0.0), t(ld * ld, 0.0), tt(ld * ld, 0.0), work(ld * ld), dense(ld * ld);
        unsigned seed = 12345u + static_cast<unsigned>(nnode);
        for (int j = 0; j < n; ++j)
            for (int i = 0; i <= j; ++i) {
                seed = seed * 1103515245u + 12345u;
                k[i + j * ld] = k[j + i * ld] = static_cast<double>(seed % 20001) / 100.0 - 100.0;
            }
        double block[36];
        parvane::local_to_global_block(block);
        for (int a = 0; a < nnode; ++a)
            for (int c = 0; c < 6; ++c)
                for (int r = 0; r < 6; ++r) {
                    t[(6 * a + c) * ld + 6 * a + r] = block[c * 6 + r];
                    tt[(6 * a + r) * ld + 6 * a + c] = block[c * 6 + r];
                }
        parvane::matrix_product(work.data(), t.data(), k.data(), n);
        parvane::matrix_product(dense.data(), work.data(), tt.data(), n);
        parvane::to_global_frame(k.data(), work.data(), n);
        for (int j = 0; j < n; ++j)
            for (int i = 0; i < n; ++i) ASSERT_EQ(k[i + j * ld], dense[i + j * ld]) << i << "," << j;
    }
}

}  // namespace
