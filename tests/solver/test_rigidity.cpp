// Bending, shear and membrane rigidities of the material kinds, and the
// rejection of material values that make them meaningless.
#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <string>

#include "solver/elements/element_loop.h"
#include "solver/elements/rigidity.h"
#include "solver/run/state.h"
#include "test_element_fixture.h"

using parvane::RunState;

namespace {

double at(const double* d, int n, int r, int c) { return d[(c - 1) * n + (r - 1)]; }

void set_material(RunState& st, int m, const char* type, double e, double nu, double t) {
    st.props(1, m) = e;
    st.props(2, m) = nu;
    st.props(3, m) = t;
    for (int c = 0; c < 5; ++c) st.material_type_names(c + 1, m) = type[c];
}

void make_materials(RunState& st, int nmats) {
    st.nmats = nmats;
    st.nelem = nmats;
    st.npoin = 1;
    st.nnode = 4;
    parvane::set_fixed_values(st);
    int status = 0;
    parvane::allocate_work_arrays(st, status);
    ASSERT_EQ(status, 0);
}

}  // namespace

TEST(Rigidity, IsotropicUnitMaterial) {
    const double props[3] = {1.0, 0.0, 1.0}, ortho[6] = {};
    double db[25], ds[25], dm[9];
    parvane::plate_rigidity_of(props, "ISOTP", ortho, db);
    parvane::shear_rigidity_of(props, "ISOTP", ortho, ds);
    parvane::membrane_rigidity_of(props, dm);
    EXPECT_DOUBLE_EQ(at(db, 5, 1, 1), 1.0 / 12.0);
    EXPECT_DOUBLE_EQ(at(db, 5, 2, 2), 1.0 / 12.0);
    EXPECT_DOUBLE_EQ(at(db, 5, 3, 3), 1.0 / 24.0);
    EXPECT_DOUBLE_EQ(at(db, 5, 1, 2), 0.0);
    EXPECT_DOUBLE_EQ(at(ds, 5, 4, 4), 1.0 / 2.4);
    EXPECT_DOUBLE_EQ(at(ds, 5, 5, 5), 1.0 / 2.4);
    EXPECT_DOUBLE_EQ(at(dm, 3, 1, 1), 1.0);
    EXPECT_DOUBLE_EQ(at(dm, 3, 3, 3), 0.5);
}

TEST(Rigidity, IsotropicWithPoissonFillsOnlyItsEntries) {
    const double e = 210.0, nu = 0.25, t = 0.4;
    const double props[3] = {e, nu, t}, ortho[6] = {9, 9, 9, 9, 9, 9};
    double db[25], ds[25], dm[9];
    parvane::plate_rigidity_of(props, "ISOTP", ortho, db);
    parvane::shear_rigidity_of(props, "ISOTP", ortho, ds);
    parvane::membrane_rigidity_of(props, dm);
    const double d = e * t * t * t / (12.0 * (1.0 - nu * nu));
    const double c = e / (1.0 - nu * nu);
    for (int r = 1; r <= 5; ++r)
        for (int col = 1; col <= 5; ++col) {
            double want_b = 0.0, want_s = 0.0;
            if (r <= 2 && col <= 2) want_b = r == col ? d : nu * d;
            if (r == 3 && col == 3) want_b = d * (1.0 - nu) / 2.0;
            if (r == col && r >= 4) want_s = e * t / (2.4 * (1.0 + nu));
            EXPECT_NEAR(at(db, 5, r, col), want_b, 1e-14 * d) << r << "," << col;
            EXPECT_NEAR(at(ds, 5, r, col), want_s, 1e-14 * e) << r << "," << col;
        }
    EXPECT_NEAR(at(dm, 3, 1, 2), nu * c, 1e-12);
    EXPECT_NEAR(at(dm, 3, 2, 1), nu * c, 1e-12);
    EXPECT_NEAR(at(dm, 3, 2, 2), c, 1e-12);
    EXPECT_NEAR(at(dm, 3, 3, 3), (1.0 - nu) * c / 2.0, 1e-12);
    EXPECT_EQ(at(dm, 3, 1, 3), 0.0);
}

TEST(Rigidity, OrthotropicKindsTakeTheSixRigiditiesUnchanged) {
    const double props[3] = {30.0, 0.2, 0.5}, ortho[6] = {11.0, 22.0, 3.0, 4.5, 66.0, 77.0};
    for (const char* type : {"ORTH1", "ORTH2"}) {
        double db[25], ds[25], dm[9], dm_iso[9];
        parvane::plate_rigidity_of(props, type, ortho, db);
        parvane::shear_rigidity_of(props, type, ortho, ds);
        parvane::membrane_rigidity_of(props, dm);
        parvane::membrane_rigidity_of(props, dm_iso);
        EXPECT_EQ(at(db, 5, 1, 1), 11.0) << type;
        EXPECT_EQ(at(db, 5, 2, 2), 22.0) << type;
        EXPECT_EQ(at(db, 5, 1, 2), 3.0) << type;
        EXPECT_EQ(at(db, 5, 2, 1), 3.0) << type;
        EXPECT_EQ(at(db, 5, 3, 3), 4.5) << type;
        EXPECT_EQ(at(ds, 5, 4, 4), 66.0) << type;
        EXPECT_EQ(at(ds, 5, 5, 5), 77.0) << type;
        EXPECT_EQ(at(db, 5, 4, 4), 0.0) << type;
        EXPECT_EQ(at(ds, 5, 1, 1), 0.0) << type;
        for (int i = 0; i < 9; ++i) EXPECT_EQ(dm[i], dm_iso[i]);
    }
}

TEST(Rigidity, UnknownTypeWordGivesNoPlateRigidity) {
    const double props[3] = {30.0, 0.2, 0.5}, ortho[6] = {1, 2, 3, 4, 5, 6};
    for (const char* type : {"ISOTp", "ORTH3", "     "}) {
        double db[25], ds[25];
        for (int i = 0; i < 25; ++i) db[i] = ds[i] = 7.0;
        parvane::plate_rigidity_of(props, type, ortho, db);
        parvane::shear_rigidity_of(props, type, ortho, ds);
        for (int i = 0; i < 25; ++i) {
            EXPECT_EQ(db[i], 0.0) << type;
            EXPECT_EQ(ds[i], 0.0) << type;
        }
    }
}

TEST(Rigidity, RunMaterialsUseTheirOwnTypeAndRigidities) {
    RunState st;
    make_materials(st, 2);
    set_material(st, 1, "ISOTP", 1.0, 0.0, 1.0);
    set_material(st, 2, "ORTH2", 5.0, 0.1, 0.3);
    for (int i = 1; i <= 6; ++i) st.orthotropic_rigidities(i, 2) = 10.0 * i;
    parvane::plate_rigidity(st, 1);
    parvane::shear_rigidity(st, 1);
    EXPECT_DOUBLE_EQ(st.element_loop->rigidity.bending[0], 1.0 / 12.0);
    EXPECT_DOUBLE_EQ(st.element_loop->rigidity.shear[3 * 5 + 3], 1.0 / 2.4);
    parvane::plate_rigidity(st, 2);
    parvane::shear_rigidity(st, 2);
    parvane::membrane_rigidity(st, 2);
    EXPECT_EQ(st.element_loop->rigidity.bending[0], 10.0);
    EXPECT_EQ(st.element_loop->rigidity.bending[2 * 5 + 2], 40.0);
    EXPECT_EQ(st.element_loop->rigidity.shear[4 * 5 + 4], 60.0);
    EXPECT_NEAR(st.element_loop->rigidity.membrane[0], 5.0 / 0.99, 1e-12);
}

struct BadMaterial {
    double e, nu, t;
    bool rejected;
};
void PrintTo(const BadMaterial& b, std::ostream* os) {
    *os << "E " << b.e << " nu " << b.nu << " t " << b.t << (b.rejected ? " rejected" : " accepted");
}
class MaterialValues : public ::testing::TestWithParam<BadMaterial> {};

TEST_P(MaterialValues, MeaninglessValuesAreRejectedWithALine) {
    const BadMaterial b = GetParam();
    RunState st;
    make_materials(st, 2);
    set_material(st, 1, "ISOTP", 100.0, 0.3, 0.2);
    set_material(st, 2, "ORTH1", b.e, b.nu, b.t);
    element_test::ScratchText messages(st, parvane::kUnitMessages, "matmsg");
    element_test::ScratchText listing(st, parvane::kUnitListing, "matlst");
    int status = 0;
    parvane::check_material_values(st, status);
    const auto msg = messages.lines();
    const auto lst = listing.lines();
    if (!b.rejected) {
        EXPECT_EQ(status, 0);
        EXPECT_TRUE(msg.empty());
        return;
    }
    EXPECT_EQ(status, parvane::kStatusInput);
    ASSERT_EQ(msg.size(), 1u);
    ASSERT_EQ(lst.size(), 1u);
    EXPECT_EQ(msg[0], lst[0]);
    EXPECT_EQ(msg[0].rfind(" *** error in material     2: ", 0), 0u) << msg[0];
}

INSTANTIATE_TEST_SUITE_P(Cases, MaterialValues,
                         ::testing::Values(BadMaterial{100.0, 0.3, 0.0, true}, BadMaterial{100.0, 0.3, -0.1, true},
                                           BadMaterial{0.0, 0.3, 0.2, true}, BadMaterial{-5.0, 0.3, 0.2, true},
                                           BadMaterial{100.0, 1.0, 0.2, true}, BadMaterial{100.0, -1.0, 0.2, true},
                                           BadMaterial{100.0, 1.5, 0.2, true}, BadMaterial{100.0, NAN, 0.2, true},
                                           BadMaterial{100.0, -0.99, 0.2, false},
                                           BadMaterial{100.0, 0.49, 1e-6, false}));
