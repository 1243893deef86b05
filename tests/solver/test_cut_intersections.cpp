// Crossings of cut lines with the mesh and the scratch records that carry
// them to the evaluations.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "solver/cuts/cut_intersections.h"
#include "solver/run/state.h"
#include "test_cut_mesh.h"
#include "test_input_support.h"

namespace {

using parvane::CutStretch;
using parvane::RunState;

// line as start (y, z), end (y, z).
std::vector<CutStretch> cross(const RunState& st, double sy, double sz, double ey, double ez) {
    const double line[4] = {sy, ey, sz, ez};
    return parvane::find_cut_stretches(st, line);
}

std::set<int> elements_of(const std::vector<CutStretch>& v) {
    std::set<int> e;
    for (const auto& s : v) e.insert(s.element);
    return e;
}

// 2 x 2 grid of unit squares: y in [0, 2], z in [-2, 0]; element 1 upper
// left, 2 upper right, 3 lower left, 4 lower right; node 5 at the centre.
class TwoByTwo : public ::testing::Test {
protected:
    void SetUp() override { cut_test::make_grid(st, 2, 2, 1.0); }
    RunState st;
};

TEST_F(TwoByTwo, WhichElementsALineCrosses) {
    struct Case {
        const char* what;
        double sy, sz, ey, ez;
        std::set<int> elements;
    } cases[] = {
        {"touches the corner node 3 only", 1.0, 1.0, 3.0, -1.0, {}},
        {"touches the corner node 1 only", -1.0, -1.0, 1.0, 1.0, {}},
        {"through the centre node at slope 0.5", -1.0, -2.0, 3.0, 0.0, {2, 3}},
        {"through the centre node at slope -2", 0.5, 0.0, 1.5, -2.0, {1, 4}},
        {"horizontal, end points inside the mesh", 0.5, -0.5, 0.6, -0.5, {1, 2}},
        {"vertical, end points inside the mesh", 1.5, -1.2, 1.5, -1.3, {2, 4}},
        {"oblique past the centre", -0.5, -2.4, 2.5, 0.6, {1, 2, 3}},
        {"horizontal above the mesh", 0.0, 1.0, 1.0, 1.0, {}},
        {"oblique beside the mesh", 3.0, 0.0, 4.0, -0.5, {}},
    };
    for (const Case& c : cases) {
        const auto found = cross(st, c.sy, c.sz, c.ey, c.ez);
        EXPECT_EQ(elements_of(found), c.elements) << c.what;
        EXPECT_EQ(found.size(), c.elements.size()) << c.what;
    }
}

TEST_F(TwoByTwo, ALineThroughANodeKeepsTheNodeOnce) {
    const auto found = cross(st, -1.0, -2.0, 3.0, 0.0);
    ASSERT_EQ(found.size(), 2u);
    for (const CutStretch& s : found) {
        const bool first_at_node = std::abs(s.y1 - 1.0) < 1e-12 && std::abs(s.z1 + 1.0) < 1e-12;
        const bool second_at_node = std::abs(s.y2 - 1.0) < 1e-12 && std::abs(s.z2 + 1.0) < 1e-12;
        EXPECT_NE(first_at_node, second_at_node) << "element " << s.element;
    }
}

TEST_F(TwoByTwo, ALineAlongASharedSideGivesBothElementsTheSide) {
    // z = -1 is the side between the upper and the lower row.
    const auto found = cross(st, -1.0, -1.0, 3.0, -1.0);
    ASSERT_EQ(found.size(), 4u);
    for (const CutStretch& s : found) {
        const double lo = std::min(s.y1, s.y2), hi = std::max(s.y1, s.y2);
        EXPECT_EQ(s.z1, -1.0);
        EXPECT_EQ(s.z2, -1.0);
        EXPECT_EQ(hi - lo, 1.0) << "element " << s.element;
        EXPECT_EQ(lo, s.element % 2 == 1 ? 0.0 : 1.0);
    }
    // Vertical, along y = 1: the corners found are the side's nodes.
    const auto vertical = cross(st, 1.0, 1.0, 1.0, -3.0);
    ASSERT_EQ(vertical.size(), 4u);
    const CutStretch& e1 = vertical[0];
    EXPECT_EQ(e1.element, 1);
    EXPECT_EQ(std::set<double>({e1.z1, e1.z2}), std::set<double>({0.0, -1.0}));
    EXPECT_EQ(e1.y1, 1.0);
    EXPECT_EQ(e1.y2, 1.0);
}

TEST_F(TwoByTwo, CrossingPointsAndTheirSides) {
    // Element 1 crossed from its left side to its top side.
    const auto found = cross(st, -0.5, -1.0, 1.0, 0.5);
    ASSERT_EQ(found.size(), 1u);
    const CutStretch& s = found[0];
    EXPECT_EQ(s.element, 1);
    // Top side (1, 2) is visited before the left side (4, 1).
    EXPECT_EQ(s.a1, 1);
    EXPECT_EQ(s.b1, 2);
    EXPECT_NEAR(s.y1, 0.5, 1e-12);
    EXPECT_NEAR(s.z1, 0.0, 1e-12);
    EXPECT_EQ(s.a2, 4);
    EXPECT_EQ(s.b2, 1);
    EXPECT_NEAR(s.y2, 0.0, 1e-12);
    EXPECT_NEAR(s.z2, -0.5, 1e-12);
}

// The points where the line through (sy, sz) and (ey, ez) meets the sides
// of the quadrilateral q (corners in order), each point once: a side the
// line runs along gives both its ends.
std::vector<std::array<double, 2>> line_meets_sides(const double (&q)[4][2], double sy, double sz, double ey,
                                                    double ez) {
    std::vector<std::array<double, 2>> points;
    auto add = [&](double y, double z) {
        for (const auto& p : points)
            if (std::hypot(p[0] - y, p[1] - z) < 1e-9) return;
        points.push_back({y, z});
    };
    const double dy = ey - sy, dz = ez - sz;
    for (int s = 0; s < 4; ++s) {
        const double* a = q[s];
        const double* b = q[(s + 1) % 4];
        // a + u (b - a) = (sy, sz) + t (dy, dz), solved for u by Cramer's rule.
        const double ry = b[0] - a[0], rz = b[1] - a[1];
        const double det = dy * rz - dz * ry;
        const double side_a = dy * (a[1] - sz) - dz * (a[0] - sy);  // zero: a on the line
        if (std::fabs(det) < 1e-14) {
            if (std::fabs(side_a) < 1e-12) {
                add(a[0], a[1]);
                add(b[0], b[1]);
            }
            continue;
        }
        const double u = -side_a / det;
        if (u >= -1e-12 && u <= 1 + 1e-12) add(a[0] + u * ry, a[1] + u * rz);
    }
    return points;
}

// A skewed element with a side along each axis: cut lines in both
// directions through each corner and across it, each also run from its
// other end, give the points where the line meets the element's sides,
// as a direct line-side intersection finds them: a corner met by two sides
// counts once, and a line that only touches a corner crosses nothing.
TEST(CutCrossings, ASkewedElementIsCrossedWhereTheLineMeetsItsSides) {
    RunState st;
    cut_test::make_grid(st, 1, 1, 1.0);
    // Corners in element order: side 1-2 along y, side 2-4 along z, the other
    // two oblique.
    const double q[4][2] = {{0.0, 0.0}, {2.0, 0.0}, {2.0, -1.5}, {-0.5, -1.0}};
    const int corner_nodes[4] = {1, 2, 4, 3};
    for (int k = 0; k < 4; ++k) {
        st.coord(2, corner_nodes[k]) = q[k][0];
        st.coord(3, corner_nodes[k]) = q[k][1];
    }
    struct Line {
        const char* what;
        double sy, sz, ey, ez;
    };
    const Line lines[] = {
        {"rising through corner 2", 1.0, -1.0, 3.0, 1.0},  {"falling, touching corner 2 only", 1.0, 1.0, 3.0, -1.0},
        {"rising through corner 4", 1.0, -2.5, 3.0, -0.5}, {"falling through corner 4", 1.0, -0.5, 3.0, -2.5},
        {"steep through corner 1", -0.2, -3.0, 0.1, 1.5},  {"shallow through corner 3", -2.5, -0.6, 3.5, -1.8},
        {"through corners 1 and 4", 0.0, 0.0, 2.0, -1.5},  {"across, rising", -1.0, -1.2, 3.0, -0.2},
        {"across, falling", -1.0, 0.3, 3.0, -1.1},         {"along side 1-2", -1.0, 0.0, 1.0, 0.0},
        {"along side 2-4", 2.0, 1.0, 2.0, -0.5},           {"touching corner 3 only", -1.0, -2.5, 0.0, 0.5},
    };
    for (const Line& l : lines) {
        for (const bool reversed : {false, true}) {
            SCOPED_TRACE(std::string(l.what) + (reversed ? ", run from its other end" : ""));
            const double sy = reversed ? l.ey : l.sy, sz = reversed ? l.ez : l.sz;
            const double ey = reversed ? l.sy : l.ey, ez = reversed ? l.sz : l.ez;
            const auto expected = line_meets_sides(q, sy, sz, ey, ez);
            const auto found = cross(st, sy, sz, ey, ez);
            if (expected.size() < 2) {
                EXPECT_TRUE(found.empty());
                continue;
            }
            ASSERT_EQ(expected.size(), 2u);
            ASSERT_EQ(found.size(), 1u);
            const CutStretch& s = found[0];
            const bool same = std::hypot(s.y1 - expected[0][0], s.z1 - expected[0][1]) < 1e-9 &&
                              std::hypot(s.y2 - expected[1][0], s.z2 - expected[1][1]) < 1e-9;
            const bool swapped = std::hypot(s.y1 - expected[1][0], s.z1 - expected[1][1]) < 1e-9 &&
                                 std::hypot(s.y2 - expected[0][0], s.z2 - expected[0][1]) < 1e-9;
            EXPECT_TRUE(same || swapped) << "found (" << s.y1 << ", " << s.z1 << ") (" << s.y2 << ", " << s.z2
                                         << "), expected (" << expected[0][0] << ", " << expected[0][1] << ") ("
                                         << expected[1][0] << ", " << expected[1][1] << ")";
        }
    }
}

TEST(CutRecords, FixedFieldsAndWidenedFields) {
    CutStretch s{12, 3, 4, 8, 7, 1.5, -2.25, 100.0, 0.0};
    EXPECT_EQ(parvane::format_stretch_record(s),
              "    12     3     4     8     7      1.5000     -2.2500    100.0000      0.0000");
    // Fields that would touch their neighbours are widened by a blank.
    CutStretch wide{7, 123456, 99999, 1234567, 2, -100000.0, 1.0e7, -123456.78, 99999.99999};
    const std::string r = parvane::format_stretch_record(wide);
    std::istringstream in(r);
    long long iv[5];
    double rv[4];
    for (long long& v : iv) in >> v;
    for (double& v : rv) in >> v;
    ASSERT_TRUE(in) << r;
    EXPECT_EQ(iv[1], 123456);
    EXPECT_EQ(iv[3], 1234567);
    EXPECT_EQ(rv[0], -100000.0);
    EXPECT_EQ(rv[1], 1.0e7);
    EXPECT_EQ(rv[2], -123456.78);
    EXPECT_EQ(rv[3], 100000.0);  // four decimals
    std::string rest;
    EXPECT_FALSE(in >> rest);
}

TEST(CutRecords, ScratchFileRoundTripAndItsFailures) {
    solver_test::ScratchDir dir("cutrec");
    solver_test::CurrentDir here(dir.path());
    RunState st;
    cut_test::make_grid(st, 2, 2, 1.0);
    ASSERT_EQ(st.units.open(parvane::kUnitMessages, dir.file("out.sms"), fio::OpenStatus::Unknown), fio::kOk);
    const double line[4] = {-1.0 / 3.0, 3.0, -2.0, 0.0};  // start y, end y, start z, end z
    int count = -1, status = 0;
    parvane::cut_intersections(st, line, count, status);
    EXPECT_EQ(status, 0);
    const auto direct = parvane::find_cut_stretches(st, line);
    ASSERT_EQ(count, static_cast<int>(direct.size()));
    ASSERT_GT(count, 0);
    EXPECT_EQ(solver_test::read_lines(dir.file("section_cut.tmp")).size(), static_cast<std::size_t>(count));

    std::vector<CutStretch> back;
    parvane::read_cut_stretches(st, count, back, status);
    EXPECT_EQ(status, 0);
    ASSERT_EQ(back.size(), direct.size());
    for (std::size_t i = 0; i < back.size(); ++i) {
        EXPECT_EQ(back[i].element, direct[i].element);
        EXPECT_NEAR(back[i].y1, direct[i].y1, 5e-5);
        EXPECT_EQ(back[i].y1 * 1e4, std::round(back[i].y1 * 1e4));  // kept to four decimals
        EXPECT_NEAR(back[i].z2, direct[i].z2, 5e-5);
    }
    parvane::delete_cut_scratch(st);
    EXPECT_FALSE(std::filesystem::exists(dir.file("section_cut.tmp")));

    // A missing file, too few records, a record that is not numbers.
    struct Case {
        const char* text;  // nullptr: no file
        int count;
    } bad[] = {{nullptr, 1},
               {"     1     1     2     5     4      0.0000      0.0000      1.0000     -1.0000\n", 2},
               {"     1     1     2     5     4      0.0000      x.0000      1.0000     -1.0000\n", 1},
               {"     9     1     2     5     4      0.0000      0.0000      1.0000     -1.0000\n", 1},
               {"     1     1     2     5     4      0.0000      0.0000      1.0000\n", 1}};
    for (const Case& c : bad) {
        std::filesystem::remove(dir.file("section_cut.tmp"));
        if (c.text) solver_test::write_text(dir.file("section_cut.tmp"), c.text);
        int s = 0;
        parvane::read_cut_stretches(st, c.count, back, s);
        EXPECT_EQ(s, parvane::kStatusRunFiles) << (c.text ? c.text : "no file");
        parvane::delete_cut_scratch(st);
    }
    st.units.close(parvane::kUnitMessages);
    EXPECT_NE(solver_test::read_text(dir.file("out.sms")).find("section_cut.tmp"), std::string::npos);
}

}  // namespace
