// The section-cut stage: blocks of the cut lines, the final ".cut" file and
// what the program's reader takes from it.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "model/ModelData.h"
#include "solver/cuts/cut_results.h"
#include "solver/run/state.h"
#include "solver/cuts/svd.h"
#include "test_cut_mesh.h"
#include "test_input_support.h"

namespace {

using parvane::CutPoint;
using parvane::RunState;

const char* const kCaptions = "Disp_X Rot_y Rot_z My Mz Myz Qy Qz Soil_press_q";

// A run state whose listing, message file and cut results are open in `dir`.
void open_cut_units(RunState& st, const solver_test::ScratchDir& dir) {
    ASSERT_EQ(st.units.open(parvane::kUnitListing, dir.file("run.sou"), fio::OpenStatus::Unknown), fio::kOk);
    ASSERT_EQ(st.units.open(parvane::kUnitMessages, dir.file("run.sms"), fio::OpenStatus::Unknown), fio::kOk);
    st.file_names[4] = dir.file("run.cut");
    ASSERT_EQ(st.units.open(parvane::kUnitCut, st.file_names[4], fio::OpenStatus::Unknown), fio::kOk);
}

std::vector<CutPoint> numbered_points(int n, double base) {
    std::vector<CutPoint> v(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        CutPoint& p = v[static_cast<std::size_t>(i)];
        p.s = 0.5 * i;
        for (int c = 0; c < 9; ++c) p.v[c] = base + 10.0 * i + c;
        p.element = i + 1;
    }
    return v;
}

TEST(CutResultsFile, TwoLinesOfTwelveAndSevenPoints) {
    solver_test::ScratchDir dir("cutfile");
    RunState st;
    open_cut_units(st, dir);
    st.ncut = 2;
    auto first = numbered_points(12, 1.0);
    first[0].v[0] = -12.5;
    first[0].v[1] = 0.0;
    int status = 0;
    parvane::write_cut_block(st, first, status);
    parvane::write_cut_block(st, numbered_points(7, -3.0), status);
    parvane::finish_cut_file(st, 2, status);
    EXPECT_EQ(status, 0);

    const auto lines = solver_test::read_lines(dir.file("run.cut"));
    ASSERT_EQ(lines.size(), 2u + 1u + 12u + 1u + 7u);
    EXPECT_EQ(lines[0], "       2      19       9");
    EXPECT_EQ(lines[1], kCaptions);
    EXPECT_EQ(lines[2], "      12");
    EXPECT_EQ(lines[3].size(), 140u);
    EXPECT_EQ(lines[3].substr(0, 42), "    0.0000E+00   -0.1250E+02    0.0000E+00");
    EXPECT_EQ(lines[15], "       7");
    EXPECT_EQ(lines[16], parvane::format_cut_row(numbered_points(7, -3.0)[0]));

    // The program's reader takes every value back.
    ModelData model;
    ASSERT_EQ(model.ReadCutLineResults(dir.file("run.cut")), 0);
    EXPECT_EQ(model.cutLineCount, 2);
    EXPECT_EQ(model.cutPointTotal, 19);
    EXPECT_EQ(model.cutColumnCount, 9);
    ASSERT_EQ(model.cutPointsPerLine, (std::vector<int>{12, 7}));
    ASSERT_EQ(model.cutRows.size(), 19u);
    EXPECT_EQ(model.cutColumnNames.front(), "Disp_X");
    EXPECT_EQ(model.cutRows[0][1], -12.5);
    EXPECT_EQ(model.cutRows[11][0], 5.5);
    EXPECT_EQ(model.cutRows[12][1], -3.0);
    EXPECT_EQ(model.cutRows[18][9], -3.0 + 60.0 + 8.0);

    // The listing shows each row after its element.
    st.units.close(parvane::kUnitListing);
    const auto listing = solver_test::read_lines(dir.file("run.sou"));
    ASSERT_EQ(listing.size(), 19u);
    EXPECT_EQ(listing[0], "     1" + parvane::format_cut_row(first[0]));
}

TEST(CutResultsFile, NoLinesAndDamagedBlocks) {
    struct Case {
        const char* what;
        const char* intermediate;  // nullptr: no file
        int ncut;
        std::vector<std::string> head;  // first lines of the final file
        int status;
    } cases[] = {
        {"no cut lines", "", 0, {"       0       0       9", kCaptions}, 0},
        {"second block short of a row",
         "           1\n    0.1000E+01 1 2 3 4 5 6 7 8 9\n           2\n    0.2000E+01 1 2 3 4 5 6 7 8 9\n",
         3,
         {"       3       1       9", kCaptions, "       1",
          "    0.1000E+01    0.1000E+01    0.2000E+01    0.3000E+01"
          "    0.4000E+01    0.5000E+01    0.6000E+01    0.7000E+01"
          "    0.8000E+01    0.9000E+01",
          "       0", "       0"},
         parvane::kStatusRunFiles},
        {"row of nine values",
         "           1\n 1 2 3 4 5 6 7 8 9\n",
         1,
         {"       1       0       9", kCaptions, "       0"},
         parvane::kStatusRunFiles},
        {"count that is not a number",
         "           x\n",
         1,
         {"       1       0       9", kCaptions, "       0"},
         parvane::kStatusRunFiles},
        {"missing file",
         nullptr,
         2,
         {"       2       0       9", kCaptions, "       0", "       0"},
         parvane::kStatusRunFiles},
        {"row with more than ten values",
         "           1\n 1 2 3 4 5 6 7 8 9 10 11 12\n",
         1,
         {"       1       1       9", kCaptions, "       1"},
         0},
    };
    for (const Case& c : cases) {
        solver_test::ScratchDir dir("cutdamage");
        RunState st;
        ASSERT_EQ(st.units.open(parvane::kUnitMessages, dir.file("run.sms"), fio::OpenStatus::Unknown), fio::kOk);
        if (c.intermediate) solver_test::write_text(dir.file("run.cut"), c.intermediate);
        st.ncut = c.ncut;
        int status = 0;
        parvane::rewrite_cut_file(st, dir.file("run.cut"), status);
        EXPECT_EQ(status, c.status) << c.what;
        const auto lines = solver_test::read_lines(dir.file("run.cut"));
        ASSERT_GE(lines.size(), c.head.size()) << c.what;
        for (std::size_t i = 0; i < c.head.size(); ++i) EXPECT_EQ(lines[i], c.head[i]) << c.what << " line " << i;
        st.units.close(parvane::kUnitMessages);
        if (c.status > 0) {
            EXPECT_NE(solver_test::read_text(dir.file("run.sms")).find("section cut results"), std::string::npos)
                << c.what;
        }
        ModelData model;
        EXPECT_EQ(model.ReadCutLineResults(dir.file("run.cut")), 0) << c.what;
    }
}

// An 11 x 6 slab of unit squares (y 0..11, z 0..-6) with smooth results, the
// numeric input holding only the cut section.
struct CutRun {
    solver_test::ScratchDir dir{"cutrun"};
    RunState st;
    int status = 0;

    void run(const std::string& cut_section, int ngaus = 2) {
        solver_test::CurrentDir here(dir.path());
        // One stress point per element goes with a single row of elements, whose
        // end elements have patches of two points for four coefficients.
        cut_test::make_grid(st, 11, ngaus == 1 ? 1 : 6, 1.0);
        if (ngaus == 1) {
            st.ngaus = 1;
            st.gauss_stresses.allocate(st.nstre, 1, st.nelem);
            parvane::gauss_points(st);
            parvane::stress_interpolation(st);
        }
        cut_test::Fields f;
        f.disp = [](double y, double z) { return 0.01 * y - 0.02 * z; };
        f.roty = f.rotz = f.soil = [](double y, double) { return y; };
        for (auto& r : f.resultant) r = [](double y, double z) { return y * z; };
        cut_test::set_nodal_fields(st, f);
        const std::function<double(double, double)> g[5] = {f.resultant[0], f.resultant[1], f.resultant[2],
                                                            f.resultant[3], f.resultant[4]};
        cut_test::set_gauss_fields(st, g);
        solver_test::write_text(dir.file("run.sin"), cut_section);
        ASSERT_EQ(st.units.open(parvane::kUnitInput, dir.file("run.sin"), fio::OpenStatus::Old), fio::kOk);
        open_cut_units(st, dir);
        parvane::section_cuts(st, status);
        st.units.close_all();
    }
    std::vector<std::string> cut_lines() const { return solver_test::read_lines(dir.file("run.cut")); }
    std::string listing() const { return solver_test::read_text(dir.file("run.sou")); }
    std::string messages() const { return solver_test::read_text(dir.file("run.sms")); }
    std::vector<int> counts() const {
        ModelData model;
        EXPECT_EQ(model.ReadCutLineResults(dir.file("run.cut")), 0);
        return model.cutPointsPerLine;
    }
};

const char* const kThreeLines = "1 -1 -0.5 12 -0.5\n2 20 20 30 30\n3 0.5 1 0.5 -7\n";

TEST(SectionCutStage, EveryMethodAndGridSize) {
    struct Case {
        const char* header;
        std::vector<int> counts;
    } cases[] = {{"3 1\t2\n", {12, 0, 7}}, {"3 2\t2\n", {22, 0, 12}}, {"3 1\t3\n", {23, 0, 13}},
                 {"3 7\t2\n", {0, 0, 0}},  {"3 1\t1\n", {0, 0, 0}},   {"3 2\t0\n", {0, 0, 0}}};
    for (const Case& c : cases) {
        CutRun r;
        r.run(std::string(c.header) + kThreeLines);
        EXPECT_EQ(r.status, 0) << c.header;
        EXPECT_EQ(r.counts(), c.counts) << c.header;
        int total = 0;
        for (int n : c.counts) total += n;
        const auto lines = r.cut_lines();
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines[0], "       3" + fio::fmt_i(total, 8) + "       9") << c.header;
        EXPECT_FALSE(std::filesystem::exists(r.dir.file("section_cut.tmp"))) << c.header;
    }
}

TEST(SectionCutStage, ListingOfTheCutLines) {
    CutRun r;
    r.run(std::string("3 1\t2\n") + kThreeLines);
    const std::string text = r.listing();
    // Two empty records before the echo of every cut line, no more.
    EXPECT_NE(text.find(" \n \n Section Cut Output\n\n\nCut line=  1  Start"), std::string::npos);
    EXPECT_NE(text.find("\n\n\nCut line=  2  Start"), std::string::npos);
    EXPECT_EQ(text.find("\n\n\n\nCut line="), std::string::npos);
    EXPECT_NE(
        text.find("Cut line=  1  Start at point: y=     -1.0000  z=     -0.5000   End at point: y=     12.0000  z=  "
                  "   -0.5000\nElement      S           Disp. X"),
        std::string::npos);
    EXPECT_NE(text.find("No intersection found among mesh, no section cut output for cut line        2\n"),
              std::string::npos);
    // Horizontal cut: S from the left end; the first row is element 1 at S = 0.
    EXPECT_NE(text.find("\n     1    0.0000E+00"), std::string::npos);
    ModelData model;
    ASSERT_EQ(model.ReadCutLineResults(r.dir.file("run.cut")), 0);
    ASSERT_EQ(model.cutRows.size(), 19u);
    for (int i = 0; i < 12; ++i) {
        EXPECT_NEAR(model.cutRows[static_cast<std::size_t>(i)][0], i, 1e-3);
        // Disp_X = 0.01 y - 0.02 z at z = -0.5, written with four digits.
        EXPECT_NEAR(model.cutRows[static_cast<std::size_t>(i)][1], 0.01 * i + 0.01, 1e-5);
    }
    // Vertical cut: S from the top.
    EXPECT_NEAR(model.cutRows[12][0], 0.0, 1e-3);
    EXPECT_NEAR(model.cutRows[18][0], 6.0, 1e-3);
    EXPECT_NEAR(model.cutRows[18][1], 0.005 + 0.12, 1e-5);
}

TEST(SectionCutStage, FailuresStillLeaveTheFinalFile) {
    struct Case {
        const char* what;
        std::string input;
        int ngaus;
        int status;
        std::vector<int> counts;
        const char* header;
    } cases[] = {
        {"no cut lines", "0 1\t5\n", 2, 0, {}, "       0       0       9"},
        {"no cut header", "", 2, parvane::kStatusInput, {}, "       0       0       9"},
        {"second record damaged",
         "3 1\t2\n1 -1 -0.5 12 -0.5\n2 abc 20 30 30\n3 0.5 1 0.5 -7\n",
         2,
         parvane::kStatusInput,
         {12, 0},
         "       2      12       9"},
        {"records missing",
         "3 2\t2\n1 -1 -0.5 12 -0.5\n",
         2,
         parvane::kStatusInput,
         {22, 0},
         "       2      22       9"},
        {"absurd line count",
         "2000000000 2\t2\n1 -1 -0.5 12 -0.5\n",
         2,
         parvane::kStatusInput,
         {22, 0},
         "       2      22       9"},
        {"fit with too few stress points",
         std::string("3 1\t2\n") + kThreeLines,
         1,
         parvane::kStatusSvdRefused,
         {0, 0, 0},
         "       3       0       9"},
    };
    for (const Case& c : cases) {
        CutRun r;
        r.run(c.input, c.ngaus);
        EXPECT_EQ(r.status, c.status) << c.what;
        const auto lines = r.cut_lines();
        ASSERT_GE(lines.size(), 2u) << c.what;
        EXPECT_EQ(lines[0], c.header) << c.what;
        EXPECT_EQ(lines[1], kCaptions) << c.what;
        EXPECT_EQ(r.counts(), c.counts) << c.what;
        if (c.status > 0 && !c.counts.empty()) {
            EXPECT_NE(r.messages().find("Section cut of cut line"), std::string::npos) << c.what;
        }
        EXPECT_FALSE(std::filesystem::exists(r.dir.file("section_cut.tmp"))) << c.what;
    }
}

}  // namespace
