// The mesher binding with fake mesher libraries: the messages of a missing
// library, a missing entry and a failed meshing, nothing imported and no
// temporary file left behind; the library taken from the program's folder;
// two meshings in one process; the new-foundation step of the document.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "FoundationDoc.h"
#include "TemplateSupport.h"
#include "meshtools/MesherBinding.h"
#include "meshtools/TemplateGeometry.h"
#include "meshtools/TemplateMeshing.h"
#include "meshtools/ui/DlgTemplateOctagon.h"
#include "meshtools/ui/NewProject.h"
#include "model/ModelData.h"
#include "platform/ui/HeadlessTest.h"

namespace {

namespace fs = std::filesystem;
using templatetest::FakeMesherFolder;
using templatetest::RecordingHost;
using templatetest::StoreDefaults;

class MesherBindingTest : public ui::HeadlessTest {
protected:
    void SetUp() override {
        ui::HeadlessTest::SetUp();
        model.Reset();
    }
    std::vector<std::string> LeftInTmp() const { return tmp.Left(); }
    templatetest::PrivateTmp tmp;
    ModelData model;
    RecordingHost host;
};

TEST_F(MesherBindingTest, MissingLibraryNamesItsPathThenTheImport) {
    StoreDefaults(model, 1);
    const std::string folder = tmp.Path() + "/nowhere";
    EXPECT_FALSE(MeshAndImportTemplate(model, folder, host));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].first, "Can not load Executable Library\n" + folder + "/Tessaro_DLL.so\nPlease Check.");
    EXPECT_EQ(host.messages[0].second, MesherIcon::Stop);
    EXPECT_EQ(model.GetNodeCount(), 0);
    EXPECT_TRUE(LeftInTmp().empty());
}

TEST_F(MesherBindingTest, FailedMeshingImportsNothingAndLeavesNoFile) {
    struct Case {
        const char* mode;
        std::string message;
    } cases[] = {
        {"noentry", "Can not find function in Library\nPlease Check."},
        {"error", "Mesh generation failed\nError: wrong interface flag"},
        {"warning",
         "Mesh generation failed\nWarning: region 1 with free scheme -31 is not meshed, free meshing is not available"},
        {"empty", "Mesh generation failed"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        RecordingHost fresh;
        StoreDefaults(model, 2);
        EXPECT_FALSE(MeshAndImportTemplate(model, FakeMesherFolder(c.mode), fresh));
        ASSERT_EQ(fresh.messages.size(), 1u);  // the cause alone
        EXPECT_EQ(fresh.messages[0].first, c.message);
        EXPECT_EQ(fresh.messages[0].second, MesherIcon::Stop);
        EXPECT_EQ(model.GetNodeCount(), 0);
        EXPECT_EQ(model.GetElementCount(), 0);
        EXPECT_TRUE(LeftInTmp().empty());
    }
}

TEST_F(MesherBindingTest, UnsuitableSizeStopsBeforeTheMesher) {
    StoreDefaults(model, 2, 1, 30.0);
    EXPECT_FALSE(MeshAndImportTemplate(model, FakeMesherFolder("good"), host));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].first.rfind("Typical FE size 30.000 does not suit this template: make it at most ", 0),
              0u)
        << host.messages[0].first;
    EXPECT_TRUE(LeftInTmp().empty());
}

TEST_F(MesherBindingTest, TwoMeshingsInOneProcessBothImport) {
    for (int kind : {2, 1}) {
        SCOPED_TRACE(kind);
        ModelData fresh;
        fresh.Reset();
        StoreDefaults(fresh, kind);
        EXPECT_TRUE(MeshAndImportTemplate(fresh, FakeMesherFolder("good"), host));
        // One square of eight nodes per region.
        const int regions = kind == 1 ? 36 : 16;
        EXPECT_EQ(fresh.GetElementCount(), regions);
        EXPECT_EQ(fresh.GetNodeCount(), 8 * regions);
        for (const char* set : {"set_1", "set_2", "set_3", "set_4"})
            EXPECT_GE(fresh.GetSetTable(2)->FindRowByName(set), 0) << set;
    }
    EXPECT_TRUE(host.messages.empty());
    EXPECT_TRUE(LeftInTmp().empty());
}

TEST_F(MesherBindingTest, LibraryComesFromTheProgramFolderNotTheCurrentOne) {
    // A failing mesher in the current folder must not be the one used.
    slbtest::ScratchDir documents;
    fs::copy_file(FakeMesherFolder("error") + "/Tessaro_DLL.so", documents.File("Tessaro_DLL.so"));
    const fs::path before = fs::current_path();
    fs::current_path(documents.Path());
    StoreDefaults(model, 2);
    const bool meshed = MeshAndImportTemplate(model, FakeMesherFolder("good"), host);
    fs::current_path(before);
    EXPECT_TRUE(meshed);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(fs::directory_iterator(documents.Path())->path().filename(), "Tessaro_DLL.so");
}

TEST_F(MesherBindingTest, ImportRefusesAMeshWithAnEmptyTemplateRegion) {
    StoreDefaults(model, 2);
    const std::string input = tmp.File("temp.i");
    TemplateLists lists;
    ASSERT_EQ(WriteCircularTemplate(model, input, lists), TemplateWrite::Written);
    ASSERT_TRUE(RunMesher(input, FakeMesherFolder("good"), host));
    lists.regionNames.push_back("Region_17");
    lists.regionIds.push_back(117);
    EXPECT_EQ(model.ImportMeshFile(tmp.File("temp.fem"), 1, lists.regionNames, lists.regionIds, lists.setNames,
                                   lists.setRegions, lists.setHeights),
              0);
    EXPECT_EQ(model.GetNodeCount(), 0);
    lists.regionNames.pop_back();
    lists.regionIds.pop_back();
    EXPECT_EQ(model.ImportMeshFile(tmp.File("temp.fem"), 1, lists.regionNames, lists.regionIds, lists.setNames,
                                   lists.setRegions, lists.setHeights),
              1);
    EXPECT_EQ(model.GetElementCount(), 16);
}

// ---------------------------------------------------------------------------
// The document's step

using templatetest::FoundationDoc;

void AcceptDefaults(ui::Headless& driver) {
    driver.ExpectModal([](ui::Dialog& d) { d.UserClick(ui::IDOK); }, DlgTemplateOctagon::kTemplateId);
}

TEST_F(MesherBindingTest, NewFoundationImportsSetsSoilModelAndMarksModified) {
    FoundationDoc program(FakeMesherFolder("good"), host);
    AcceptDefaults(driver);
    EXPECT_TRUE(program.New(1));
    EXPECT_EQ(program.model().GetTemplateKind(), 1);
    EXPECT_EQ(program.model().GetElementCount(), 36);
    EXPECT_EQ(program.model().GetSoilModel(), 2);
    EXPECT_TRUE(program.doc.IsModified());
    EXPECT_GE(program.view.updates, 2);
    EXPECT_TRUE(driver.MessageBoxes().empty());
    EXPECT_TRUE(host.messages.empty());
    EXPECT_TRUE(LeftInTmp().empty());
}

// A failed meshing brings the template dialog back showing what the user
// typed; Cancel then leaves the document as it was.
TEST_F(MesherBindingTest, FailedFoundationReopensTheDialogWithTheTypedValues) {
    FoundationDoc program(FakeMesherFolder("warning"), host);
    using D = DlgTemplateOctagon;
    driver.ExpectModal(
        [](ui::Dialog& d) {
            d.UserType(D::IDC_DIM1, "3.25");
            d.UserType(D::IDC_DIM3, "12.5");
            d.UserType(D::IDC_SIZE, "1.3");
            d.UserType(D::IDC_P, "750");
            d.UserClick(ui::IDOK);
        },
        D::kTemplateId);
    driver.ExpectModal(
        [](ui::Dialog& d) {
            EXPECT_EQ(d.GetDlgItemText(D::IDC_DIM1), "3.25");
            EXPECT_EQ(d.GetDlgItemText(D::IDC_DIM2), "5");
            EXPECT_EQ(d.GetDlgItemText(D::IDC_DIM3), "12.5");
            EXPECT_EQ(d.GetDlgItemText(D::IDC_SIZE), "1.3");
            EXPECT_EQ(d.GetDlgItemText(D::IDC_P), "750");
            d.UserClick(ui::IDCANCEL);
        },
        D::kTemplateId);
    EXPECT_FALSE(program.New(2));
    EXPECT_EQ(program.model().GetNodeCount(), 0);
    EXPECT_NE(program.model().GetSoilModel(), 2);
    EXPECT_FALSE(program.doc.IsModified());
    // The mesher's reason to the host and nothing after it.
    EXPECT_EQ(host.messages.size(), 1u);
    EXPECT_TRUE(driver.MessageBoxes().empty());
}

TEST_F(MesherBindingTest, CancelledDialogMeshesNothing) {
    FoundationDoc program(FakeMesherFolder("good"), host);
    driver.ExpectModal([](ui::Dialog& d) { d.UserClick(ui::IDCANCEL); }, DlgTemplateOctagon::kTemplateId);
    EXPECT_FALSE(program.New(1));
    EXPECT_EQ(program.model().GetTemplateKind(), 0);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_TRUE(driver.MessageBoxes().empty());
    EXPECT_FALSE(program.doc.IsModified());
}

TEST_F(MesherBindingTest, HugeMeshAsksFirstAndNoKeepsTheMeshOnly) {
    struct Case {
        const char* name;
        int nodes;
        int answer;
        bool asked, done;
    } cases[] = {
        {"exactly the limit", kHugeModelNodes, ui::IDYES, false, true},
        {"one node more, Yes", kHugeModelNodes + 1, ui::IDYES, true, true},
        {"one node more, No", kHugeModelNodes + 1, ui::IDNO, true, false},
    };
    const char* const question =
        "This model has huge number of nodes. It may cause memory allocation error or very slow analysis. Continue?";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FoundationDoc program(FakeMesherFolder("padded"), host);
        driver.ClearLogs();
        ::setenv("FAKE_MESHER_NODES", std::to_string(c.nodes).c_str(), 1);
        AcceptDefaults(driver);
        if (c.asked) driver.ExpectMessageBox(c.answer, question);
        EXPECT_EQ(program.New(2), c.done);
        ::unsetenv("FAKE_MESHER_NODES");
        EXPECT_EQ(program.model().GetNodeCount(), c.nodes);
        ASSERT_EQ(driver.MessageBoxes().size(), c.asked ? 1u : 0u);
        if (c.asked) {
            EXPECT_EQ(driver.MessageBoxes()[0].text, question);
        }
        // The mesh is in the model either way: the document is changed.
        EXPECT_TRUE(program.doc.IsModified());
        EXPECT_EQ(program.model().GetSoilModel() == 2, c.done);
    }
}

}  // namespace

// Every error line of a mesher log counts, whatever follows "Error" (older
// meshers wrote "Error in ..." and "error to ..."); other lines do not.
TEST(MesherLog, EveryErrorLineIsAProblem) {
    slbtest::ScratchDir dir;
    const std::string log = dir.File("temp.msh");
    {
        std::ofstream out(log);
        out << "\n used heap = 21\nError in fixing beam vertex: can not find element neighbour\n"
            << "  error to match recover nodes\nWarning: a warning\n node on boundary==3, under construction ...\n"
            << "Error: region 1: a refusal\n";
    }
    EXPECT_EQ(
        MesherLogProblems(log),
        (std::vector<std::string>{"Error in fixing beam vertex: can not find element neighbour",
                                  "error to match recover nodes", "Warning: a warning", "Error: region 1: a refusal"}));
}
