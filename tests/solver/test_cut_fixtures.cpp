// The library's export on two fixture models with cut lines: a mat on
// Mindlin soil cut by least squares, a raft on Vlasov soil cut by
// interpolation.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "model/ModelData.h"
#include "test_cut_mesh.h"
#include "test_input_support.h"

namespace {

using ItorveFn = int (*)(int);

struct Case {
    const char* fixture;
    std::vector<int> counts;  // -1: some points
    const char* soil_line;
};

int count_of(const std::string& text, const std::string& what) {
    int n = 0;
    for (std::size_t p = text.find(what); p != std::string::npos; p = text.find(what, p + 1)) ++n;
    return n;
}

TEST(CutFixtures, WholeRunsThroughTheExport) {
    void* lib = dlopen(BRENNIX_BIN_DIR "/Parvane_DLL.so", RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(lib, nullptr) << dlerror();
    auto itorve = reinterpret_cast<ItorveFn>(dlsym(lib, "ITORVE"));
    ASSERT_NE(itorve, nullptr);

    const Case cases[] = {{"mindlin_mat.sin", {19, 13, -1, 0}, "iter =    3"},
                          {"vlasov_raft.sin", {24, 16, -1, 0}, "gamma =   1.000000, k = "}};
    for (const Case& c : cases) {
        solver_test::ScratchDir dir("cutfixture");
        std::filesystem::copy_file(solver_test::data_path(std::string("cuts/") + c.fixture), dir.file("run.sin"));
        cut_test::write_run_list(dir);
        int result = -99;
        {
            solver_test::CurrentDir here(dir.path());
            result = itorve(2);
        }
        EXPECT_EQ(result, 0) << c.fixture;
        const std::string sms = solver_test::read_text(dir.file("run.sms"));
        EXPECT_NE(sms.find(c.soil_line), std::string::npos) << sms;
        EXPECT_EQ(sms.find("error"), std::string::npos) << sms;
        EXPECT_EQ(sms.find("NaN"), std::string::npos) << sms;
        EXPECT_EQ(count_of(solver_test::read_text(dir.file("run.sds")), "END_STEP_DATA"), 1);
        EXPECT_EQ(count_of(solver_test::read_text(dir.file("run.sou")), "No intersection found among mesh"), 1);
        for (const char* scratch : {"fort2", "fort3", "fort4", "section_cut.tmp"})
            EXPECT_FALSE(std::filesystem::exists(dir.file(scratch))) << scratch;

        ModelData model;
        ASSERT_EQ(model.ReadCutLineResults(dir.file("run.cut")), 0) << c.fixture;
        ASSERT_EQ(model.cutPointsPerLine.size(), c.counts.size());
        int total = 0;
        for (std::size_t k = 0; k < c.counts.size(); ++k) {
            const int n = model.cutPointsPerLine[k];
            if (c.counts[k] < 0)
                EXPECT_GT(n, 0) << c.fixture << " line " << k + 1;
            else
                EXPECT_EQ(n, c.counts[k]) << c.fixture << " line " << k + 1;
            total += n;
        }
        EXPECT_EQ(model.cutPointTotal, total);
        // Every line's S starts at 0 and grows; the deflection under the load is downwards.
        std::size_t row = 0;
        for (int n : model.cutPointsPerLine) {
            for (int i = 0; i < n; ++i, ++row) {
                const auto& r = model.cutRows[row];
                if (i == 0) {
                    EXPECT_NEAR(r[0], 0.0, 1e-3);
                } else {
                    EXPECT_GE(r[0], model.cutRows[row - 1][0]);
                }
                EXPECT_LT(r[1], 0.0);
            }
        }
    }
    dlclose(lib);
}

}  // namespace
