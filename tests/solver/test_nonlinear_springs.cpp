// Nonlinear springs: evaluation of a deformation-force profile and entry of
// the spring into the first element that holds its node.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "solver/elements/element_matrices.h"
#include "solver/elements/nonlinear_springs.h"
#include "test_element_fixture.h"

using namespace element_test;
using parvane::RunState;

namespace {

// Profiles given as point lists; the table is (2, mxpts + 1, nprof) with the
// point count in the last slot.
void set_profiles(RunState& st, const std::vector<std::vector<std::pair<double, double>>>& profiles) {
    st.nprof = static_cast<int>(profiles.size());
    st.mxpts = 0;
    for (const auto& p : profiles) st.mxpts = std::max(st.mxpts, static_cast<int>(p.size()));
    st.nonlinear_profiles.allocate(2, st.mxpts + 1, st.nprof);
    for (int m = 1; m <= st.nprof; ++m) {
        const auto& p = profiles[static_cast<std::size_t>(m - 1)];
        for (std::size_t s = 0; s < p.size(); ++s) {
            st.nonlinear_profiles(1, static_cast<long long>(s + 1), m) = p[s].first;
            st.nonlinear_profiles(2, static_cast<long long>(s + 1), m) = p[s].second;
        }
        st.nonlinear_profiles(1, st.mxpts + 1, m) = static_cast<double>(p.size());
    }
}

struct ProfileCase {
    int profile;
    double d;
    int result;
    double tangent, force;
};

}  // namespace

TEST(NonlinearProfile, SegmentSearchTable) {
    RunState st;
    set_profiles(st, {{{0, 0}, {1, 10}, {3, 20}},
                      {{2, 4}},
                      {{0, 0}, {0, 5}, {1, 10}},
                      {{1, 0}, {1, 5}},
                      {{-2, -30}, {0, 0}, {1e-16, 1}, {2, 10}}});
    const ProfileCase cases[] = {
        {1, 1.0, 0, 10.0, 10.0},  // a point shared by two segments takes the lower one
        {1, 2.0, 0, 5.0, 15.0},    {1, 3.0, 0, 5.0, 20.0},  {1, 0.0, 0, 10.0, 0.0}, {1, 0.25, 0, 10.0, 2.5},
        {1, 3.0001, -1, 0, 0},     {1, -1e-9, -1, 0, 0},    {2, 2.0, -1, 0, 0},  // a single point holds nothing, not even itself
        {3, 0.0, 0, 5.0, 5.0},                               // the zero-length first segment is passed over
        {4, 1.0, -1, 0, 0},                                  // only a zero-length segment: outside the profile
        {5, -1.0, 0, 15.0, -15.0}, {5, 1e-16, 0, 4.5, 1.0},  // (0,0)-(1e-16,1) is too short to be searched
        {5, 1.0, 0, 4.5, 5.5},     {6, 0.0, -1, 0, 0},       // no such profile
    };
    for (const auto& c : cases) {
        double t = -7.0, f = -7.0;
        const int r = parvane::evaluate_profile(st, c.profile, c.d, t, f);
        EXPECT_EQ(r, c.result) << "profile " << c.profile << " d " << c.d;
        if (r == 0 && c.result == 0) {
            EXPECT_NEAR(t, c.tangent, 1e-12) << "profile " << c.profile << " d " << c.d;
            EXPECT_NEAR(f, c.force, 1e-12) << "profile " << c.profile << " d " << c.d;
        }
    }
}

namespace {

// 2 x 2 mesh of 4-node elements; the centre node is held by all four.
int nonlinear_mesh(RunState& st, int records) {
    GridSpec g;
    build_grid(st, g, [&](RunState& s) { s.nnlin = records; });
    set_profiles(st, {{{0, 0}, {1, 10}, {3, 20}}, {{-1, -1}, {1, 1}}});
    return st.lnods(3, 1);
}

}  // namespace

TEST(NonlinearSprings, EnterOnceInTheFirstElementWithTangentAndForce) {
    RunState st;
    const int centre = nonlinear_mesh(st, 2);
    st.nonlinear_nodes(1) = centre;
    st.nonlinear_nodes(2) = centre;
    st.nonlinear_profile_index(1, 1) = 1;  // x deflection on profile 1
    st.nonlinear_profile_index(1, 3) = 0;  // no spring
    st.nonlinear_profile_index(2, 5) = 2;  // rotation about y on profile 2
    st.nonlinear_profile_index(2, 1) = -1;
    st.disp_vectors((centre - 1) * 6 + 1, 1) = 1.5;
    st.disp_step((centre - 1) * 6 + 1) = 0.5;  // total 2.0
    st.disp_vectors((centre - 1) * 6 + 5, 1) = 0.25;
    st.disp_vectors((centre - 1) * 6 + 3, 1) = 1000.0;  // far outside, but no profile there
    st.nonlinear_forces.fill(-99.0);
    std::vector<double> ke[4], rhs[4];
    for (int e = 1; e <= 4; ++e) {
        ke[e - 1].assign(54 * 54, 0.0);
        rhs[e - 1].assign(54, 0.0);
        int flag = 7;
        parvane::nonlinear_spring_force(st, e, ke[e - 1].data(), rhs[e - 1].data(), flag);
        EXPECT_EQ(flag, 0);
    }
    const int p1 = 12 + 1, p5 = 12 + 5;  // centre is local node 3 of element 1
    EXPECT_DOUBLE_EQ(ke[0][static_cast<std::size_t>((p1 - 1) * 55)], 5.0);
    EXPECT_DOUBLE_EQ(rhs[0][static_cast<std::size_t>(p1 - 1)], -15.0);
    EXPECT_DOUBLE_EQ(ke[0][static_cast<std::size_t>((p5 - 1) * 55)], 1.0);
    EXPECT_DOUBLE_EQ(rhs[0][static_cast<std::size_t>(p5 - 1)], -0.25);
    EXPECT_EQ(ke[0][static_cast<std::size_t>((12 + 3 - 1) * 55)], 0.0);
    for (int e = 2; e <= 4; ++e)
        for (double v : ke[e - 1]) ASSERT_EQ(v, 0.0) << "element " << e;
    EXPECT_DOUBLE_EQ(st.nonlinear_forces(centre), 15.0);
    EXPECT_EQ(st.nonlinear_forces(1), -99.0);  // nodes without a spring keep their value
    EXPECT_LT(st.nonlinear_nodes(1), 0);
    EXPECT_LT(st.nonlinear_nodes(2), 0);
}

TEST(NonlinearSprings, DisplacementOutsideTheProfileEndsTheElementLoop) {
    RunState st;
    const int centre = nonlinear_mesh(st, 1);
    st.nonlinear_nodes(1) = centre;
    st.nonlinear_profile_index(1, 1) = 1;
    st.disp_vectors((centre - 1) * 6 + 1, 1) = 3.0001;
    ScratchUnit3 unit3(st, "nlfail");
    ScratchText messages(st, parvane::kUnitMessages, "nlfail");
    int status = 0;
    parvane::form_element_matrices(st, status);
    EXPECT_EQ(status, 1);
    const auto lines = messages.lines();
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], "      ");
    EXPECT_EQ(lines[1],
              " Error: Can not find spring force from given nonlinear profile for plate displacement =  0.30001E+01 at "
              "node    5");
    EXPECT_EQ(lines[2], "       ");
    EXPECT_EQ(lines[3], " ********** Error found during calculation. Analysis is terminated. **********");
    EXPECT_EQ(lines[4], "              ");
    // the marks are cleared however the pass ends
    EXPECT_EQ(st.nonlinear_nodes(1), centre);
}

TEST(NonlinearSprings, EveryElementLoopEvaluatesThemAgain) {
    RunState st;
    const int centre = nonlinear_mesh(st, 1);
    st.nonlinear_nodes(1) = centre;
    st.nonlinear_profile_index(1, 1) = 1;
    ScratchUnit3 unit3(st, "nlpass");
    for (double d : {0.5, 2.0}) {
        st.disp_vectors((centre - 1) * 6 + 1, 1) = d;
        st.units.rewind(parvane::kUnitFort3);
        st.element_loads.fill(0.0);
        int status = 0;
        parvane::form_element_matrices(st, status);
        ASSERT_EQ(status, 0);
        EXPECT_EQ(st.nonlinear_nodes(1), centre);
        EXPECT_DOUBLE_EQ(st.nonlinear_forces(centre), d < 1 ? 5.0 : 15.0);
    }
}
