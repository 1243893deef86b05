// Whole analyses through the driver: a mat on Mindlin soil, a raft on
// Vlasov soil, and cut lines evaluated after the last step.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "model/ModelData.h"
#include "solver/run/driver.h"
#include "solver/run/state.h"
#include "test_cut_mesh.h"
#include "test_input_support.h"

namespace {

struct SlabRun {
    solver_test::ScratchDir dir;
    int status = -99;

    SlabRun(const std::string& tag, const cut_test::SlabInput& input) : dir(tag) {
        cut_test::write_run_list(dir);
        solver_test::write_text(dir.file("run.sin"), input.text());
        solver_test::CurrentDir here(dir.path());
        parvane::RunState st;
        status = 0;
        parvane::run_analysis(st, status);
    }
    std::string text(const char* ext) const { return solver_test::read_text(dir.file(std::string("run") + ext)); }
    int count(const char* ext, const std::string& what) const {
        const std::string t = text(ext);
        int n = 0;
        for (std::size_t p = t.find(what); p != std::string::npos; p = t.find(what, p + 1)) ++n;
        return n;
    }
    bool has_nan() const {
        for (const char* ext : {".sms", ".sds", ".sou", ".cut"}) {
            const std::string t = text(ext);
            for (const char* bad : {"NaN", " nan", "-nan", "Inf", " inf", "-inf"})
                if (t.find(bad) != std::string::npos) return true;
        }
        return false;
    }
};

cut_test::SlabInput mat() {
    cut_test::SlabInput in;
    in.ny = 4;
    in.nz = 3;
    in.h = 1.0;
    in.q = -50.0;
    // The soil stiffness iteration settles slowly: a few per cent per iteration.
    in.toler = 5.0e-3;
    in.maxiter = 80;
    return in;
}

TEST(SoilRuns, MatOnMindlinSoilConverges) {
    auto in = mat();
    in.isoil = 1;
    in.soil = {2.0e4, 0.3, 5.0e3};
    SlabRun r("mindlinrun", in);
    EXPECT_EQ(r.status, 0);
    const std::string sms = r.text(".sms");
    EXPECT_FALSE(r.has_nan()) << sms;
    EXPECT_NE(sms.find("step     1"), std::string::npos) << sms;
    // The soil stiffness takes several iterations to settle.
    EXPECT_GE(r.count(".sms", "iter ="), 3) << sms;
    EXPECT_EQ(sms.find("error, required increment"), std::string::npos) << sms;
    EXPECT_NE(r.text(".sds").find("END_STEP_DATA"), std::string::npos);
}

TEST(SoilRuns, RaftOnVlasovSoilUpdatesGamma) {
    auto in = mat();
    in.isoil = 2;
    in.soil = {2.0e4, 2.0e4, 0.3, 1.0, 1.0};
    in.soil_edges = true;
    SlabRun r("vlasovrun", in);
    EXPECT_EQ(r.status, 0);
    const std::string sms = r.text(".sms");
    EXPECT_FALSE(r.has_nan()) << sms;
    EXPECT_NE(sms.find("gamma =   1.000000, k = "), std::string::npos) << sms;
    // One parameter line per element loop, the later ones with the new gamma.
    EXPECT_EQ(r.count(".sms", "gamma = "), r.count(".sms", "iter ="));
    EXPECT_GE(r.count(".sms", "gamma = "), 2);
    EXPECT_NE(r.text(".sds").find("END_STEP_DATA"), std::string::npos);
}

TEST(SoilRuns, CutLinesAfterTheLastStep) {
    for (int method : {1, 2}) {
        auto in = mat();
        in.isoil = 1;
        in.soil = {2.0e4, 0.3, 5.0e3};
        in.method = method;
        in.grid = 3;
        in.cuts = {{-1.0, -1.5, 5.0, -1.5}, {10.0, 10.0, 11.0, 10.0}, {2.0, 1.0, 2.0, -4.0}};
        SlabRun r(method == 1 ? "cutrun1" : "cutrun2", in);
        EXPECT_EQ(r.status, 0) << r.text(".sms");
        EXPECT_FALSE(r.has_nan());
        ModelData model;
        ASSERT_EQ(model.ReadCutLineResults(r.dir.file("run.cut")), 0);
        EXPECT_EQ(model.cutLineCount, 3);
        // Horizontal line through the middle of 4 elements; vertical line along
        // the sides between elements 2 and 3 of each row.
        const std::vector<int> expect = method == 1 ? std::vector<int>{9, 0, 7} : std::vector<int>{12, 0, 9};
        EXPECT_EQ(model.cutPointsPerLine, expect) << "method " << method;
        EXPECT_NE(r.text(".sou").find("No intersection found among mesh, no section cut output for cut line        2"),
                  std::string::npos);
        // The deflection under a uniform load on a uniform soil is symmetric
        // about the middle of the horizontal cut.
        const auto& rows = model.cutRows;
        const int n = model.cutPointsPerLine[0];
        ASSERT_GE(static_cast<int>(rows.size()), n);
        EXPECT_NEAR(rows[0][1], rows[static_cast<std::size_t>(n - 1)][1], 1e-3 * std::fabs(rows[0][1]) + 1e-12);
        EXPECT_LT(rows[0][1], 0.0);
        EXPECT_FALSE(std::filesystem::exists(r.dir.file("section_cut.tmp")));
    }
}

}  // namespace
