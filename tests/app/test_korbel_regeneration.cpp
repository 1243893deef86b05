// Foundation templates meshed through the mesher library from a canned
// geometry input: a new foundation, the large-mesh question, a failed
// import, refinement and element-type change of a template model, the
// scratch files, and the nonlinear nodal actions after a refinement.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>

#include "../model/test_template_support.h"
#include "KorbelTestSupport.h"
#include "app/KorbelCommands.h"
#include "app/KorbelDoc.h"
#include "app/KorbelView.h"
#include "meshtools/TemplateGeometry.h"
#include "meshtools/ui/NewProject.h"
#include "model/ModelData.h"
#include "platform/ui/HeadlessTest.h"
#include "platform/ui/Services.h"

using namespace korbeltest;

namespace {

namespace fs = std::filesystem;

// Circular foundation R1 3.5, R2 5, R3 14 with 4 nodes at element size 1.1.
constexpr double kD1 = 1.5, kD2 = 5.0, kD3 = 3.5;

// Counts the documents' updates.
class CountingView : public CKorbelView {
public:
    void OnUpdate(ui::View* sender, long hint) override {
        ++updates;
        CKorbelView::OnUpdate(sender, hint);
    }
    int updates = 0;
};

// A mesh output in the binary form: two rows of `columns` nodes with
// columns - 1 linear elements between them, and `loose` nodes beyond.
void WriteStripMesh(const std::string& path, int columns, int loose) {
    std::ofstream out(path, std::ios::binary);
    auto put = [&out](auto v) { out.write(reinterpret_cast<const char*>(&v), sizeof v); };
    const std::int32_t n = 2 * columns + loose, e = columns - 1;
    put(n), put(e), put(std::int32_t{4});
    for (std::int32_t i = 0; i < n; ++i) {
        put(i + 1);
        put(static_cast<double>(i < 2 * columns ? i / 2 : columns + i));
        put(static_cast<double>(i < 2 * columns ? i % 2 : 5));
    }
    for (std::int32_t k = 0; k < e; ++k) {
        put(k + 1), put(std::int32_t{0}), put(std::int32_t{101}), put(std::int32_t{0});
        put(2 * k + 1), put(2 * k + 3), put(2 * k + 4), put(2 * k + 2);
    }
    for (std::int32_t k = 0; k < e; ++k)
        for (int j = 0; j < 6; ++j) put(std::int32_t{0});
}

class RegenerationTest : public ui::HeadlessTest {
protected:
    void SetUp() override {
        ui::HeadlessTest::SetUp();
        home = ui::CurrentDirectory();
        // A user's own file of a scratch name beside the work.
        ASSERT_TRUE(ui::SetCurrentDirectory(dir.Path()));
        WriteAll(dir.File("temp.txt"), "mine");
        doc.Factories() = DocDialogFactories{};
        doc.Factories().octagonTemplate = [](const DocDialogRequest& r) {
            r.doc.GetModelData()->SetTemplateParameters(r.kind, 0, 1, 3.5, 5.0, 14.0, 0.0, kD1, kD2, kD3, 600.0, 0.0,
                                                        0.0, 1.1);
            return ui::IDOK;
        };
        UseCannedInput("circular-default-q4.i");
        view.SetDocument(&doc);
        ASSERT_TRUE(doc.OnNewDocument());
    }
    void TearDown() override {
        view.SetDocument(nullptr);
        ui::SetCurrentDirectory(home);
        ui::HeadlessTest::TearDown();
    }

    // The mesher runs on the canned input in place of the template writer.
    void UseCannedInput(const std::string& name) {
        doc.Factories().meshTemplate = [this, name](const ModelData& model, const std::string& geometry,
                                                    const std::string& second, TemplateLists& lists) {
            asked.push_back({model.typicalElementSize, model.templateElementOption, model.templateIntegration});
            folders.push_back(ui::DirectoryOfPath(geometry));
            EXPECT_EQ(fs::path(geometry).filename(), "temp.i");
            EXPECT_EQ(fs::path(second).filename(), "temp.rgd");
            std::string canned = std::string(BRENNIX_TEST_DATA) + "/model/template/" + name;
            if (!fs::exists(canned)) canned = std::string(BRENNIX_TEST_DATA) + "/mesher/" + name;
            fs::copy_file(canned, geometry);
            WriteAll(second, "");
            EXPECT_EQ(templatetest::RunMesher(geometry), 0);
            const templatetest::TemplateLists made = templatetest::ListsOf(model.GetTemplateKind(), kD1, kD2, kD3);
            lists = {made.regionNames, made.regionIds, made.setNames, made.setRegions, made.setHeights};
            return true;
        };
    }
    // Every scratch folder of the mesher is gone and nothing was left here.
    void ExpectNoScratchFiles() {
        for (const std::string& folder : folders) EXPECT_FALSE(fs::exists(folder)) << folder;
        for (const char* name : {"temp.i", "temp.rgd", "temp.fem", "temp.msh"})
            EXPECT_FALSE(fs::exists(dir.File(name))) << name;
        EXPECT_EQ(ReadAll(dir.File("temp.txt")), "mine");
    }

    struct Asked {
        double size;
        int element, integration;
    };
    std::string home;
    Scratch dir;
    std::vector<Asked> asked;
    std::vector<std::string> folders;
    CKorbelDoc doc;
    CountingView view;
};

TEST_F(RegenerationTest, NewCircularFoundationIsMeshedAndImported) {
    doc.NewOctagonFoundation(2);
    const ModelData& model = *doc.GetModelData();
    // The canned input's mapped regions make 320 elements, its free centre more.
    EXPECT_GT(model.GetElementCount(), 320);
    EXPECT_EQ(model.GetElementTable()->GetNodesPerElement(), 4);
    EXPECT_EQ(model.GetSoilModel(), 2);
    EXPECT_EQ(model.GetTemplateKind(), 2);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_TRUE(driver.MessageBoxes().empty());
    ExpectNoScratchFiles();
}

TEST_F(RegenerationTest, AFailedImportKeepsTheModel) {
    doc.NewOctagonFoundation(2);
    const ModelData* before = doc.GetModelData();
    const int nodes = before->GetNodeCount();
    doc.SetModifiedFlag(false);
    // The mesher refuses an input: no mesh file.
    // The meshing step claims a mesh, but the file is none: the import
    // refuses it.
    doc.Factories().meshTemplate = [this](const ModelData&, const std::string& geometry, const std::string&,
                                          TemplateLists&) {
        folders.push_back(ui::DirectoryOfPath(geometry));
        WriteAll(ui::DirectoryOfPath(geometry) + "temp.fem", "not a mesh\n");
        return true;
    };
    driver.ExpectMessageBox(ui::IDYES, "Current Finite Element Mesh will be refined");
    view.RefineMesh(0, 0, 2.0);
    ASSERT_FALSE(driver.MessageBoxes().empty());
    const auto& box = driver.MessageBoxes().back();
    EXPECT_EQ(box.text, "Error reading file temp.fem ");
    EXPECT_EQ(box.icon, ui::Icon::Exclamation);
    EXPECT_EQ(doc.GetModelData(), before);
    EXPECT_EQ(doc.GetModelData()->GetNodeCount(), nodes);
    EXPECT_FALSE(doc.IsModified());
    ExpectNoScratchFiles();
}

// A new foundation whose meshing fails brings the template dialog back
// (showing what was typed); Cancel there ends it with the model unmeshed.
TEST_F(RegenerationTest, FailedNewFoundationReopensTheTemplateDialog) {
    int opened = 0;
    doc.Factories().octagonTemplate = [&opened](const DocDialogRequest& r) {
        ++opened;
        r.doc.GetModelData()->SetTemplateParameters(r.kind, 0, 1, 3.5, 5.0, 14.0, 0.0, kD1, kD2, kD3, 600.0, 0.0, 0.0,
                                                    1.1);
        return opened == 1 ? ui::IDOK : ui::IDCANCEL;
    };
    // The meshing step fails and says why, as the mesher's binding does.
    doc.Factories().meshTemplate = [this](const ModelData&, const std::string& geometry, const std::string&,
                                          TemplateLists&) {
        folders.push_back(ui::DirectoryOfPath(geometry));
        UiMesherHost().Message("Mesh generation failed", MesherIcon::Stop);
        return false;
    };
    doc.NewOctagonFoundation(2);
    EXPECT_EQ(opened, 2);
    ASSERT_EQ(driver.MessageBoxes().size(), 1u);  // the reason alone
    EXPECT_EQ(driver.MessageBoxes().back().text, "Mesh generation failed");
    EXPECT_EQ(doc.GetModelData()->GetElementCount(), 0);
    EXPECT_EQ(doc.GetModelData()->GetTemplateKind(), 2);
    ExpectNoScratchFiles();
}

TEST_F(RegenerationTest, HugeMeshesAskBeforeTheyAreTaken) {
    const struct {
        int columns, loose;
        int answer;  // 0: no question
        bool taken;
    } cases[] = {{7500, 0, 0, true}, {7500, 1, ui::IDNO, false}, {7500, 1, ui::IDYES, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(2 * c.columns + c.loose);
        ASSERT_TRUE(doc.OnNewDocument());
        doc.SetModifiedFlag(false);
        view.updates = 0;
        // Without template loads: the strip has no ring for them.
        doc.Factories().octagonTemplate = [](const DocDialogRequest& r) {
            r.doc.GetModelData()->SetTemplateParameters(r.kind, 0, 1, 3.5, 5.0, 14.0, 0.0, kD1, kD2, kD3, 0.0, 0.0, 0.0,
                                                        1.1);
            return ui::IDOK;
        };
        doc.Factories().meshTemplate = [&c](const ModelData&, const std::string& geometry, const std::string&,
                                            TemplateLists&) {
            WriteStripMesh(ui::DirectoryOfPath(geometry) + "temp.fem", c.columns, c.loose);
            return true;
        };
        driver.ClearLogs();
        if (c.answer)
            driver.ExpectMessageBox(c.answer,
                                    "This model has huge number of nodes. It may cause memory allocation "
                                    "error or very slow analysis. Continue?");
        doc.NewOctagonFoundation(2);
        EXPECT_EQ(driver.MessageBoxes().size(), c.answer ? 1u : 0u);
        const ModelData& model = *doc.GetModelData();
        // The mesh stays in the model either way.
        EXPECT_EQ(model.GetNodeCount(), 2 * c.columns + c.loose);
        EXPECT_EQ(model.GetSoilModel() == 2, c.taken);
        EXPECT_EQ(view.updates, c.taken ? 2 : 1);
    }
}

TEST_F(RegenerationTest, RefiningATemplateModelMeshesItAgainWithTheNewSize) {
    doc.NewOctagonFoundation(2);
    WriteAll(dir.File("f.sds"), "");
    doc.GetModelData()->resultsFlag = 1;
    doc.UpdateResultsFlag();
    view.display.contourColumn = 4;
    const ModelData* before = doc.GetModelData();
    doc.SetModifiedFlag(false);
    driver.ExpectMessageBox(ui::IDYES, "refine");
    view.RefineMesh(0, 0, 2.0);
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked.back().size, 2.0);
    EXPECT_NE(doc.GetModelData(), before);
    EXPECT_GT(doc.GetModelData()->GetElementCount(), 320);  // the canned input meshed again
    EXPECT_EQ(doc.GetModelData()->typicalElementSize, 2.0);
    EXPECT_FALSE(doc.HasResults());
    EXPECT_EQ(view.display.contourColumn, 0);
    EXPECT_TRUE(doc.IsModified());
    ExpectNoScratchFiles();
}

TEST_F(RegenerationTest, ElementTypeChangeOfATemplateModelRegeneratesIt) {
    doc.NewOctagonFoundation(2);
    ModelData& model = *doc.GetModelData();
    model.templateIntegration = 0;
    UseCannedInput("circular-default-q8.i");
    doc.SetModifiedFlag(false);
    driver.ExpectMessageBox(ui::IDYES, "Quadratic 8 noded");
    ui::RouteCommand({&view, &doc}, korbel::ID_EDIT_TO_QUAD8);
    ASSERT_EQ(asked.size(), 2u);
    // The integration option follows the element: 8 nodes have no option 0.
    EXPECT_EQ(asked.back().element, 1);
    EXPECT_EQ(asked.back().integration, 1);
    const ElementTable& elements = *doc.GetModelData()->GetElementTable();
    EXPECT_EQ(elements.GetNodesPerElement(), 8);
    EXPECT_GT(elements.GetCount(), 0);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(view.display.nodeLabels, 1);
    ExpectNoScratchFiles();

    // To 9 nodes the option is 2 whatever it was.
    driver.ExpectMessageBox(ui::IDYES, "Lagrangian 9 noded");
    ui::RouteCommand({&view, &doc}, korbel::ID_EDIT_TO_LAGRANGE9);
    ASSERT_EQ(asked.size(), 3u);
    EXPECT_EQ(asked.back().element, 2);
    EXPECT_EQ(asked.back().integration, 2);
    EXPECT_EQ(doc.GetModelData()->GetElementTable()->GetNodesPerElement(), 9);
}

TEST_F(RegenerationTest, NonlinearActionsFollowTheirPointsAfterARefinement) {
    WriteAll(dir.File("m.slb"), OnePlate());
    ASSERT_TRUE(doc.OnOpenDocument(dir.File("m.slb")));
    ModelData& model = *doc.GetModelData();
    auto add = [&model](const std::string& text, int selector, std::vector<int> nodes, std::vector<double> y,
                        std::vector<double> z) {
        NonlinearAction* a = model.AppendNonlinearAction();
        a->nodeText = text;
        a->setSelector = static_cast<unsigned char>(selector);
        a->nodes = std::move(nodes);
        a->nodeY = std::move(y);
        a->nodeZ = std::move(z);
        return a;
    };
    NonlinearAction* corners = add("1,3", 0, {1, 3}, {0.0, 1.0}, {0.0, 1.0});
    NonlinearAction* named = add("CORNERS", 1, {2}, {1.0}, {0.0});
    NonlinearAction* lost = add("4", 0, {4}, {0.3}, {0.7});
    driver.ExpectMessageBox(ui::IDYES, "refine");
    view.RefineMesh(2, 2, 1.0);
    ASSERT_EQ(model.GetElementCount(), 4);
    const int a = model.NodeAtPoint(0.0, 0.0), b = model.NodeAtPoint(1.0, 1.0);
    ASSERT_GT(a, 0);
    ASSERT_GT(b, 0);
    EXPECT_EQ(corners->nodeText, std::to_string(a) + "," + std::to_string(b));
    EXPECT_EQ(corners->nodes, (std::vector<int>{a, b}));
    EXPECT_EQ(named->nodeText, "CORNERS");
    EXPECT_EQ(named->nodes, std::vector<int>{model.NodeAtPoint(1.0, 0.0)});
    EXPECT_TRUE(lost->nodeText.empty());
    EXPECT_TRUE(lost->nodes.empty());
    EXPECT_TRUE(lost->nodeY.empty());
    EXPECT_TRUE(lost->nodeZ.empty());
}

}  // namespace
