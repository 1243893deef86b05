// A foundation template from its geometry input to analysis results: the
// mesher library meshes the input, the mesh is imported into a new model as
// the document does after a template, the model is saved and analysed through
// the shared run with the solver library, and the results are read back.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "app/run/AnalysisRun.h"
#include "test_solver_input_support.h"
#include "test_template_support.h"

using bridgetest::ReadAll;
using bridgetest::Scratch;
using templatetest::ListsOf;
using templatetest::RunMesher;
using templatetest::TemplateLists;

namespace {

namespace fs = std::filesystem;

// Answers every question with Yes and keeps what the run said.
class ScriptedHost : public RunHost {
public:
    bool Ask(const std::string& question) override {
        questions.push_back(question);
        return true;
    }
    void Progress(const std::string&, const std::string&, int) override {}
    void Message(const std::string& text, RunIcon) override { messages.push_back(text); }
    void OpenTextFile(const std::string& path) override { opened.push_back(path); }

    std::vector<std::string> questions, messages, opened;

    std::string Said() const {
        std::string all;
        for (const std::string& m : messages) all += m + "\n";
        return all;
    }
};

struct TemplateCase {
    const char* input;  // geometry input under tests/data/model/template
    int kind;           // 1 octagon, 2 circular
    int elementOption;  // 0 four nodes, 1 eight
    double dims[3];     // L1, L2, D or R1, R2, R3
    double size;        // typical element size of the input
    int nodesPerElement;
    int mappedElements;  // the free regions of the pedestal add theirs
};

}  // namespace

TEST(TemplatePipeline, GeneratedFoundationMeshIsAnalysedToFiniteResults) {
    // Octagon L1 21, L2 17, D 14 at element size 3.5 with 8 nodes; circular
    // R1 3.5, R2 5, R3 14 at the dialog's size 1.1 with 4 nodes. Coarse, so
    // that the analysis takes a moment. Every region is meshed, the free
    // quadrilateral regions of the pedestal included.
    const TemplateCase cases[] = {
        {"octagon-coarse-q8.i", 1, 1, {21.0, 17.0, 14.0}, 3.5, 8, 128},
        {"circular-default-q4.i", 2, 0, {3.5, 5.0, 14.0}, 1.1, 4, 320},
    };
    const double D1 = 1.5, D2 = 5.0, D3 = 3.5, P = 600.0;
    for (const TemplateCase& c : cases) {
        SCOPED_TRACE(c.input);
        Scratch dir;
        const std::string input = dir.File("temp.i");
        fs::copy_file(std::string(BRENNIX_TEST_DATA) + "/model/template/" + c.input, input);

        // New model with the template's values (the vertical load only, so
        // that every boundary load pushes the same way).
        ModelData model;
        model.Reset();
        model.SetTemplateParameters(c.kind, c.elementOption, 1, c.dims[0], c.dims[1], c.dims[2], 0.0, D1, D2, D3, P,
                                    0.0, 0.0, c.size);

        ASSERT_EQ(RunMesher(input), 0) << ReadAll(dir.File("temp.msh"));
        const TemplateLists lists = ListsOf(c.kind, D1, D2, D3);
        ASSERT_EQ(model.ImportMeshFile(dir.File("temp.fem"), 1, lists.regionNames, lists.regionIds, lists.setNames,
                                       lists.setRegions, lists.setHeights),
                  1);
        model.SetSoilModel(2);
        ASSERT_GT(model.GetElementCount(), c.mappedElements);
        ASSERT_EQ(model.GetElementTable()->GetNodesPerElement(), c.nodesPerElement);

        // The applied load: nodal loads on the pedestal edge, all along +x.
        const NodalActionTable* loads = model.GetNodalActionTable(2);
        ASSERT_NE(loads, nullptr);
        ASSERT_GT(loads->GetCount(), 0);
        for (int i = 0; i < loads->GetCount(); ++i) ASSERT_GT(loads->GetValue(i, 0), 0.0) << "load row " << i;

        // Saved, the imported model reads back whole.
        const std::string slb = dir.File("foundation.slb");
        ASSERT_EQ(model.WriteModelFile(slb), 0);
        {
            ModelData reread;
            ASSERT_EQ(reread.ReadModelFile(slb, true), 0);
            EXPECT_EQ(reread.GetNodeCount(), model.GetNodeCount());
            EXPECT_EQ(reread.GetElementCount(), model.GetElementCount());
            EXPECT_FALSE(reread.GetMaterialTable()->CompareMaterialTable(*model.GetMaterialTable()));
            EXPECT_FALSE(reread.GetNodalActionTable(2)->CompareWith(*loads));
            EXPECT_EQ(reread.GetSoilModel(), 2);
        }

        ScriptedHost host;
        RunOutcome outcome;
        RunAnalysis(model, slb, false, BRENNIX_BIN_DIR, host, &outcome);
        const std::string messageFile = ReadAll(dir.File("foundation.sms"));
        ASSERT_FALSE(outcome.modelErrors) << host.Said() << messageFile;
        ASSERT_TRUE(outcome.solverCalled) << host.Said();
        ASSERT_EQ(outcome.solverStatus, 0) << host.Said() << messageFile;
        EXPECT_EQ(messageFile.find("Analysis terminated"), std::string::npos) << messageFile;
        EXPECT_TRUE(host.messages.empty()) << host.Said();
        EXPECT_EQ(host.opened.size(), 1u);  // the message file, after the solver
        ASSERT_TRUE(outcome.resultsFileFound);
        ASSERT_EQ(outcome.resultsStatus, 0);
        EXPECT_TRUE(host.questions.empty());  // no earlier results to delete

        ASSERT_EQ(model.GetStepCount(), 1);
        ASSERT_TRUE(model.HasResults());
        const int deflection = 0, soilPressure = 23;
        ASSERT_EQ(model.resultCaptions[deflection], "Disp. X");
        ASSERT_EQ(model.resultCaptions[soilPressure], "soil_press_q");
        // The whole foundation moves along the load and the soil pushes back
        // under every node.
        int alongLoad = 0, soilAgainstLoad = 0;
        for (int r = 0; r < model.GetNodeCount(); ++r) {
            const double w = model.GetResultValue(deflection, r, 1);
            const double q = model.GetResultValue(soilPressure, r, 1);
            ASSERT_TRUE(std::isfinite(w)) << "node row " << r;
            ASSERT_TRUE(std::isfinite(q)) << "node row " << r;
            if (w > 0.0) ++alongLoad;
            if (q < 0.0) ++soilAgainstLoad;
        }
        EXPECT_EQ(alongLoad, model.GetNodeCount());
        EXPECT_EQ(soilAgainstLoad, model.GetNodeCount());
    }
}
