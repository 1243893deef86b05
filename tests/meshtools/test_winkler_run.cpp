// The Winkler mat example converted and refined, saved, read back and
// analysed through the shared run with the solver library: a uniform load q
// on uniform springs k moves every node by q / k, whatever the mesh.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/run/AnalysisRun.h"
#include "meshtools/ElementOrder.h"
#include "meshtools/Refine.h"
#include "model/ModelData.h"
#include "QuietRunHost.h"

namespace {

namespace fs = std::filesystem;

class ScratchFolder {
public:
    ScratchFolder() {
        std::string pattern = (fs::temp_directory_path() / "meshtools_run_XXXXXX").string();
        if (::mkdtemp(pattern.data())) dir_ = pattern;
    }
    ~ScratchFolder() {
        std::error_code ec;
        if (!dir_.empty()) fs::remove_all(dir_, ec);
    }
    std::string File(const std::string& name) const { return dir_ + "/" + name; }

private:
    std::string dir_;
};

// Reads the example, changes its mesh, saves it, reads it back and analyses
// it; every node must move by q / k.
void ExpectUniformDeflection(const std::function<std::string(ModelData&)>& change, int nodes, int elements) {
    const std::string example = std::string(BRENNIX_TEST_DATA) + "/../../examples/winkler-mat.slb";
    const double q = 50.0, k = 10000.0;
    ScratchFolder dir;
    const std::string slb = dir.File("mat.slb");
    {
        ModelData original;
        ASSERT_EQ(original.ReadModelFile(example, true), 0);
        ASSERT_EQ(change(original), "");
        ASSERT_EQ(original.WriteModelFile(slb), 0);
    }
    ModelData model;
    ASSERT_EQ(model.ReadModelFile(slb, true), 0);
    EXPECT_EQ(model.GetNodeCount(), nodes);
    EXPECT_EQ(model.GetElementCount(), elements);

    QuietRunHost host;
    RunOutcome outcome;
    RunAnalysis(model, slb, false, BRENNIX_BIN_DIR, host, &outcome);
    ASSERT_FALSE(outcome.modelErrors) << host.said;
    ASSERT_TRUE(outcome.solverCalled) << host.said;
    ASSERT_EQ(outcome.solverStatus, 0) << host.said;
    ASSERT_EQ(outcome.resultsStatus, 0) << host.said;
    ASSERT_EQ(model.GetStepCount(), 1);
    for (int r = 0; r < model.GetNodeCount(); ++r)
        ASSERT_NEAR(model.GetResultValue(0, r, 1), q / k, 1e-9 * q / k) << "node " << model.nodeTable->GetNodeId(r);
}

}  // namespace

// The example's 6 x 6 mat of 8-node elements.
TEST(WinklerRun, MatConvertedToFourNodes) {
    ExpectUniformDeflection([](ModelData& m) { return ConvertToLinear4(m); }, 7 * 7, 36);
}

TEST(WinklerRun, MatConvertedToNineNodes) {
    ExpectUniformDeflection([](ModelData& m) { return ConvertToQuad9(m); }, 13 * 13, 36);
}

TEST(WinklerRun, MatRefinedTwoByThree) {
    ExpectUniformDeflection([](ModelData& m) { return RefineMesh(m, 2, 3); }, 25 * 37 - 12 * 18, 216);
}
