// Section points of a cut line: interpolation of the corner values and the
// least-squares fit over element patches.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "solver/cuts/cut_interp.h"
#include "solver/cuts/cut_intersections.h"
#include "solver/cuts/cut_lsq.h"
#include "solver/cuts/cut_lsq_system.h"
#include "solver/run/state.h"
#include "solver/cuts/svd.h"
#include "test_cut_mesh.h"

namespace {

using parvane::CutPoint;
using parvane::CutStretch;
using parvane::RunState;

using Field = std::function<double(double, double)>;

cut_test::Fields linear_fields() {
    cut_test::Fields f;
    f.disp = [](double y, double z) { return 1.0 + 2.0 * y - 3.0 * z; };
    f.roty = [](double y, double) { return 0.5 * y; };
    f.rotz = [](double, double z) { return -z; };
    for (int c = 0; c < 5; ++c) f.resultant[c] = [c](double y, double z) { return c + y + 2.0 * c * z; };
    f.soil = [](double y, double) { return 4.0 - y; };
    return f;
}

void set_line(RunState& st, double sy, double sz, double ey, double ez) { st.cutpt = {sy, ey, sz, ez}; }

std::vector<CutStretch> stretches_of(const RunState& st) {
    const double line[4] = {st.cutpt[0], st.cutpt[1], st.cutpt[2], st.cutpt[3]};
    return parvane::find_cut_stretches(st, line);
}

void expect_on_line(const RunState& st, const CutPoint& p) {
    const double dy = st.cutpt[1] - st.cutpt[0], dz = st.cutpt[3] - st.cutpt[2];
    const double cross = (p.y - st.cutpt[0]) * dz - (p.z - st.cutpt[2]) * dy;
    EXPECT_NEAR(cross / std::hypot(dy, dz), 0.0, 1e-4);
}

TEST(CutInterpolation, ReproducesALinearNodalField) {
    RunState st;
    cut_test::make_grid(st, 3, 3, 1.0);
    st.ngrid = 4;
    const auto f = linear_fields();
    cut_test::set_nodal_fields(st, f);
    set_line(st, -0.2, -2.9, 3.1, -0.3);
    const auto stretches = stretches_of(st);
    ASSERT_GE(stretches.size(), 4u);
    const auto pts = parvane::interpolated_points(st, stretches);
    ASSERT_EQ(pts.size(), 4 * stretches.size());
    EXPECT_NEAR(pts.front().s, 0.0, 1e-12);
    for (std::size_t i = 0; i < pts.size(); ++i) {
        const CutPoint& p = pts[i];
        expect_on_line(st, p);
        if (i > 0) {
            EXPECT_GE(p.s, pts[i - 1].s - 1e-12);
        }
        EXPECT_NEAR(p.v[0], f.disp(p.y, p.z), 1e-9);
        EXPECT_NEAR(p.v[1], f.roty(p.y, p.z), 1e-9);
        EXPECT_NEAR(p.v[2], f.rotz(p.y, p.z), 1e-9);
        for (int c = 0; c < 5; ++c) EXPECT_NEAR(p.v[3 + c], f.resultant[c](p.y, p.z), 1e-9);
        EXPECT_NEAR(p.v[8], f.soil(p.y, p.z), 1e-9);
    }
    // S runs from the start of the first stretch, where the line enters the slab.
    const CutPoint& last = pts.back();
    EXPECT_NEAR(last.s, std::hypot(last.y - pts.front().y, last.z - pts.front().z), 1e-12);
}

TEST(CutInterpolation, StretchesAlongASharedSideAndReversedStretches) {
    RunState st;
    cut_test::make_grid(st, 2, 2, 1.0);
    st.ngrid = 3;
    cut_test::set_nodal_fields(st, linear_fields());
    // Along z = -1: four stretches, two of them given twice.
    set_line(st, -1.0, -1.0, 3.0, -1.0);
    auto pts = parvane::interpolated_points(st, stretches_of(st));
    ASSERT_EQ(pts.size(), 6u);
    const double s_expect[6] = {0.0, 0.5, 1.0, 1.0, 1.5, 2.0};
    for (int i = 0; i < 6; ++i) EXPECT_NEAR(pts[static_cast<std::size_t>(i)].s, s_expect[i], 1e-9);

    // A stretch whose farther end comes first is turned round.
    set_line(st, 0.0, -0.5, 5.0, -0.5);
    const std::vector<CutStretch> reversed = {{2, 2, 3, 6, 5, 2.0, -0.5, 1.0, -0.5},
                                              {1, 1, 2, 5, 4, 1.0, -0.5, 0.0, -0.5}};
    pts = parvane::interpolated_points(st, reversed);
    ASSERT_EQ(pts.size(), 6u);
    const double y_expect[6] = {0.0, 0.5, 1.0, 1.0, 1.5, 2.0};
    for (int i = 0; i < 6; ++i) {
        EXPECT_NEAR(pts[static_cast<std::size_t>(i)].y, y_expect[i], 1e-9);
        EXPECT_NEAR(pts[static_cast<std::size_t>(i)].s, y_expect[i], 1e-9);
        EXPECT_EQ(pts[static_cast<std::size_t>(i)].element, i < 3 ? 1 : 2);
    }
}

// Puts the same field on every stress point.
void gauss_field(RunState& st, const Field& g) {
    const std::function<double(double, double)> r[5] = {g, g, g, g, g};
    cut_test::set_gauss_fields(st, r);
}

TEST(CutLeastSquares, ThreeCrossedElementsGiveThirteenMergedPoints) {
    RunState st;
    cut_test::make_grid(st, 3, 3, 1.0);
    st.ngrid = 5;
    const auto f = linear_fields();
    cut_test::set_nodal_fields(st, f);
    set_line(st, -1.0, -1.5, 4.0, -1.5);
    const auto stretches = stretches_of(st);
    ASSERT_EQ(stretches.size(), 3u);

    struct Case {
        const char* what;
        Field g;
    } cases[] = {{"constant", [](double, double) { return -7.25; }},
                 {"bilinear", [](double y, double z) { return 1.0 + 2.0 * y + 3.0 * z + 0.5 * y * z; }}};
    for (const Case& c : cases) {
        gauss_field(st, c.g);
        int status = 0;
        const auto pts = parvane::least_squares_points(st, stretches, status);
        ASSERT_EQ(status, 0) << c.what;
        ASSERT_EQ(pts.size(), 13u) << c.what;
        for (std::size_t i = 0; i < pts.size(); ++i) {
            const CutPoint& p = pts[i];
            EXPECT_NEAR(p.s, 0.25 * static_cast<double>(i), 1e-9) << c.what;
            EXPECT_NEAR(p.y, 0.25 * static_cast<double>(i), 1e-9);
            EXPECT_NEAR(p.v[0], f.disp(p.y, p.z), 1e-9);
            EXPECT_NEAR(p.v[1], f.roty(p.y, p.z), 1e-9);
            EXPECT_NEAR(p.v[8], f.soil(p.y, p.z), 1e-9);
            for (int q = 3; q < 8; ++q) EXPECT_NEAR(p.v[q], c.g(p.y, p.z), 1e-9) << c.what << " point " << i;
        }
        EXPECT_EQ(pts[4].element, 4);  // merged point: element of the stretch read first
        EXPECT_EQ(pts[5].element, 5);
    }
}

TEST(CutLeastSquares, MergedPointsTakeTheMeanOfBothPatchFits) {
    RunState st;
    cut_test::make_grid(st, 3, 3, 1.0);
    st.ngrid = 3;
    const Field g = [](double y, double z) { return y * y * z * z * z + std::sin(3.0 * y); };
    gauss_field(st, g);
    set_line(st, -1.0, -1.5, 4.0, -1.5);
    int status = 0;
    const auto pts = parvane::least_squares_points(st, stretches_of(st), status);
    ASSERT_EQ(status, 0);
    ASSERT_EQ(pts.size(), 7u);
    // The point y = 1 is shared by the stretches of elements 4 and 5.
    auto fit_at = [&](const std::vector<int>& patch) {
        const double point[3] = {0.0, 1.0, -1.5};
        double out[5] = {};
        int s = 0;
        parvane::lsq_setup(st, patch, 1, point, out, s);
        EXPECT_EQ(s, 0);
        return out[0];
    };
    const double left = fit_at({1, 2, 4, 5, 7, 8});
    const double right = fit_at({1, 2, 3, 4, 5, 6, 7, 8, 9});
    EXPECT_GT(std::fabs(left - right), 1e-6);
    EXPECT_NEAR(pts[2].y, 1.0, 1e-9);
    EXPECT_NEAR(pts[2].v[3], 0.5 * (left + right), 1e-9);
}

TEST(CutLeastSquares, VerticalCutStartsAtTheTop) {
    RunState st;
    cut_test::make_grid(st, 2, 3, 1.0);
    st.ngrid = 3;
    gauss_field(st, [](double, double) { return 1.0; });
    set_line(st, 1.5, -5.0, 1.5, 2.0);  // drawn upwards
    int status = 0;
    const auto pts = parvane::least_squares_points(st, stretches_of(st), status);
    ASSERT_EQ(status, 0);
    ASSERT_EQ(pts.size(), 7u);
    EXPECT_NEAR(pts.front().z, 0.0, 1e-9);
    EXPECT_NEAR(pts.front().s, 0.0, 1e-9);
    EXPECT_NEAR(pts.back().z, -3.0, 1e-9);
    EXPECT_NEAR(pts.back().s, 3.0, 1e-9);
}

TEST(CutLeastSquares, TooFewStressPointsEndTheFit) {
    // One stress point per element: the end element's patch has two points
    // for four coefficients.
    RunState st;
    cut_test::make_grid(st, 3, 1, 1.0);
    st.ngaus = 1;
    st.ngsq = 1;
    st.gauss_stresses.allocate(st.nstre, 1, st.nelem);
    parvane::gauss_points(st);
    parvane::stress_interpolation(st);
    st.ngrid = 3;
    set_line(st, -1.0, -0.5, 4.0, -0.5);
    int status = 0;
    const auto pts = parvane::least_squares_points(st, stretches_of(st), status);
    EXPECT_EQ(status, parvane::kStatusSvdRefused);
    EXPECT_TRUE(pts.empty());
}

TEST(CutLeastSquares, FitOfOneElementAndItsRefusals) {
    RunState st;
    cut_test::make_grid(st, 1, 1, 2.0);
    // Four arbitrary values: the square system passes through them.
    const double values[4] = {3.0, -1.0, 8.5, 0.25};
    for (int g = 1; g <= 4; ++g) st.gauss_stresses(4, g, 1) = values[g - 1];
    std::vector<double> points;
    for (int g = 1; g <= 4; ++g)
        points.insert(points.end(), {0.0, st.gauss_point_positions(1, g, 1), st.gauss_point_positions(2, g, 1)});
    std::vector<double> out(20, 0.0);
    int status = 0;
    parvane::lsq_setup(st, {1}, 4, points.data(), out.data(), status);
    ASSERT_EQ(status, 0);
    for (int g = 0; g < 4; ++g) EXPECT_NEAR(out[static_cast<std::size_t>(5 * g)], values[g], 1e-12);

    // No evaluation points: nothing touched.
    std::vector<double> keep(5, 9.0);
    parvane::lsq_setup(st, {1}, 0, points.data(), keep.data(), status);
    for (double x : keep) EXPECT_EQ(x, 9.0);

    // A patch whose nodes lie on one line has no extent to fit over.
    for (int p = 1; p <= 4; ++p) st.coord(3, p) = 0.0;
    parvane::lsq_setup(st, {1}, 4, points.data(), keep.data(), status);
    EXPECT_EQ(status, parvane::kStatusSvdRefused);
}

}  // namespace

namespace {

TEST(CutInterpolation, QuadraticElementsUseTheirCornersOnly) {
    // One 8-node square [0, 2] x [0, -2] whose mid-side nodes carry values off
    // the corners' linear field.
    RunState st;
    cut_test::make_quad8(st, {{0, 0}, {2, 0}, {2, -2}, {0, -2}, {1, 0}, {2, -1}, {1, -2}, {0, -1}});
    auto f = linear_fields();
    cut_test::set_nodal_fields(st, f);
    for (int p = 5; p <= 8; ++p) {
        st.disp_vectors((p - 1) * 6 + 1, 1) += 100.0;
        st.nodal_stresses(4, p) += 100.0;
    }
    st.ngrid = 5;
    set_line(st, -1.0, -0.7, 3.0, -1.3);
    const auto pts = parvane::interpolated_points(st, stretches_of(st));
    ASSERT_EQ(pts.size(), 5u);
    for (const CutPoint& p : pts) {
        EXPECT_NEAR(p.v[0], f.disp(p.y, p.z), 1e-9);
        EXPECT_NEAR(p.v[3], f.resultant[0](p.y, p.z), 1e-9);
        expect_on_line(st, p);
    }
}

}  // namespace
