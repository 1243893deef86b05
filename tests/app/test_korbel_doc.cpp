// The program's document: new, open (early versions, damaged files, large
// models, results), save, the openers of the input dialogs with their slots,
// placement and pick routing, and the closing steps.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <new>

#include "KorbelTestSupport.h"
#include "app/KorbelDoc.h"
#include "app/run/RunLock.h"
#include "model/ModelData.h"
#include "platform/ui/HeadlessTest.h"

using namespace korbeltest;

namespace {

namespace fs = std::filesystem;
class KorbelDocTest : public ui::HeadlessTest {
protected:
    void SetUp() override {
        ui::HeadlessTest::SetUp();
        doc.Factories() = DocDialogFactories{};
        ASSERT_TRUE(doc.OnNewDocument());
    }
    int LiveTestDialogs() const {
        int n = 0;
        for (ui::Window* w : driver.LiveWindows())
            if (dynamic_cast<TestDialog*>(w)) ++n;
        return n;
    }
    CKorbelDoc doc;
    RecordingView view;
    Made made;
};

using KorbelDocOpen = KorbelDocTest;

TEST_F(KorbelDocOpen, VersionsAskOnlyForEarlyFilesAndConvertedFilesStayModified) {
    struct Case {
        const char* what;
        std::string text;
        bool asks;
    };
    const std::string plate = OnePlate("V4.1");
    const std::string body = plate.substr(plate.find('\n') + 1);
    const Case cases[] = {
        {"current", "V4.1\n" + body, false},
        {"V3.0", "V3.0\n" + body, true},
        {"V3.1", "V3.1\n" + body, true},
        {"empty first line", "\n" + body, true},
        {"another word, read from the first line on", body, true},
    };
    for (const Case& c : cases) {
        Scratch dir;
        WriteAll(dir.File("m.slb"), c.text);
        CKorbelDoc d;
        if (c.asks)
            driver.ExpectMessageBox(ui::IDYES, "You are reading a file in early version. Convert to current version?");
        ASSERT_TRUE(d.OnOpenDocument(dir.File("m.slb"))) << c.what;
        EXPECT_EQ(d.IsModified(), c.asks) << c.what;
        EXPECT_EQ(d.GetModelData()->IsChanged(), c.asks) << c.what;
        EXPECT_EQ(d.GetModelData()->GetVersion(), "V4.1") << c.what;
        EXPECT_EQ(d.GetModelData()->GetElementCount(), 1) << c.what;
        EXPECT_EQ(driver.MessageBoxes().size(), c.asks ? 1u : 0u) << c.what;
        driver.ClearLogs();
    }
}

TEST_F(KorbelDocOpen, DeclinedConversionAndDamagedFilesFail) {
    Scratch dir;
    WriteAll(dir.File("old.slb"), OnePlate("V3.0"));
    driver.ExpectMessageBox(ui::IDNO, "early version");
    EXPECT_FALSE(doc.OnOpenDocument(dir.File("old.slb")));

    WriteAll(dir.File("bad.slb"), "V4.1\nNODE_DATA\n*\t1\t0\n");
    driver.ClearLogs();
    EXPECT_FALSE(doc.OnOpenDocument(dir.File("bad.slb")));
    ASSERT_EQ(driver.MessageBoxes().size(), 1u);
    // The message names the file, then where reading stopped and why.
    EXPECT_EQ(driver.MessageBoxes()[0].text.rfind("Error reading file \"" + dir.File("bad.slb") + "\"\n", 0), 0u)
        << driver.MessageBoxes()[0].text;
    EXPECT_NE(driver.MessageBoxes()[0].text.find("block NODE_DATA"), std::string::npos)
        << driver.MessageBoxes()[0].text;
    EXPECT_EQ(driver.MessageBoxes()[0].icon, ui::Icon::Exclamation);

    WriteAll(dir.File("nan.slb"), "V4.1\nNODE_DATA\n*\t1\t0\tnan\t0\nEND_NODE_DATA\nEND_DATA\n");
    driver.ClearLogs();
    EXPECT_FALSE(doc.OnOpenDocument(dir.File("nan.slb")));
    ASSERT_EQ(driver.MessageBoxes().size(), 1u);
    EXPECT_NE(driver.MessageBoxes()[0].text.find("line 3, field 4 of block NODE_DATA: expected a finite number, "
                                                 "found \"nan\""),
              std::string::npos)
        << driver.MessageBoxes()[0].text;
}

// A folder or a pipe named like a model is refused with a message before
// anything is read or asked (a pipe would block the program).
TEST_F(KorbelDocOpen, FoldersAndPipesAreRefusedUnread) {
    Scratch dir;
    std::filesystem::create_directory(dir.File("d.slb"));
    ASSERT_EQ(::mkfifo(dir.File("p.slb").c_str(), 0600), 0);
    const struct {
        const char* name;
        const char* why;
    } cases[] = {{"d.slb", "is a folder"}, {"p.slb", "is not a regular file"}};
    for (const auto& c : cases) {
        driver.ClearLogs();
        EXPECT_FALSE(doc.OnOpenDocument(dir.File(c.name))) << c.name;
        ASSERT_EQ(driver.MessageBoxes().size(), 1u) << c.name;
        EXPECT_EQ(driver.MessageBoxes()[0].text.rfind("Can not open \"" + dir.File(c.name) + "\": " + c.why, 0), 0u)
            << driver.MessageBoxes()[0].text;
    }
}

TEST_F(KorbelDocOpen, LargeModelsOpenWithoutSolidFaces) {
    for (int elements : {1000, 1001}) {
        Scratch dir;
        WriteAll(dir.File("m.slb"), Strip(elements));
        CKorbelDoc d;
        ASSERT_TRUE(d.OnOpenDocument(dir.File("m.slb")));
        ASSERT_EQ(d.GetModelData()->GetElementCount(), elements);
        EXPECT_EQ(d.SolidFaceSetting(), elements > 1000 ? 0 : 1) << elements;
        EXPECT_EQ(d.DisplaySettingsPending(), 1);
    }
}

TEST_F(KorbelDocOpen, StepResultsWithoutCutFileOpenSilently) {
    Scratch dir;
    WriteAll(dir.File("m.slb"), OnePlate());
    ASSERT_TRUE(doc.OnOpenDocument(dir.File("m.slb")));
    EXPECT_FALSE(doc.HasResults());

    WriteAll(dir.File("m.sds"), OneStep());
    CKorbelDoc d;
    ASSERT_TRUE(d.OnOpenDocument(dir.File("m.slb")));
    EXPECT_TRUE(d.HasResults());
    EXPECT_EQ(d.ResultsFlag(), 1);
    EXPECT_EQ(d.GetModelData()->GetStepCount(), 1);
    EXPECT_TRUE(driver.MessageBoxes().empty());
}

// A run killed before it was over leaves its lock with no holder: opening
// the model says that the last run did not finish and loads none of its
// partial results. A lock held by a run in progress, or none, says nothing.
TEST_F(KorbelDocOpen, ModelOfAKilledRunSaysThatTheRunDidNotFinish) {
    Scratch dir;
    const std::string path = dir.File("m.slb");
    WriteAll(path, OnePlate());
    WriteAll(dir.File("m.sds"), OneStep());
    WriteAll(RunLockPath(path), "process 999999999 (brennix-run) on elsewhere\n");
    ASSERT_TRUE(doc.OnOpenDocument(path));
    ASSERT_EQ(driver.MessageBoxes().size(), 1u);
    EXPECT_EQ(driver.MessageBoxes()[0].text, "The last analysis of \"" + path +
                                                 "\" did not finish: its partial results are not loaded.\n"
                                                 "Run the analysis again.");
    EXPECT_EQ(driver.MessageBoxes()[0].icon, ui::Icon::Exclamation);
    EXPECT_FALSE(doc.HasResults());
    EXPECT_EQ(doc.ResultsFlag(), 0);
    EXPECT_TRUE(fs::exists(dir.File("m.sds")));  // nothing deleted

    driver.ClearLogs();
    {
        RunLock running;
        ASSERT_TRUE(running.Acquire(path, "test_app"));
        CKorbelDoc d;
        ASSERT_TRUE(d.OnOpenDocument(path));
        EXPECT_TRUE(driver.MessageBoxes().empty());
    }
    CKorbelDoc d;
    ASSERT_TRUE(d.OnOpenDocument(path));
    EXPECT_TRUE(driver.MessageBoxes().empty());
    EXPECT_EQ(d.ResultsFlag(), 1);
}

// A model that needs more memory than there is is refused with its size,
// the program going on with an empty model. (Under AddressSanitizer memory
// never runs out with an exception, so the open is made to run out.)
TEST_F(KorbelDocOpen, ModelTooLargeForTheMemoryIsRefusedWithItsSize) {
    class StarvedDoc : public CKorbelDoc {
        void DeleteContents() override { throw std::bad_alloc(); }
    };
    Scratch dir;
    const std::string text = OnePlate();
    WriteAll(dir.File("m.slb"), text);
    StarvedDoc doc;
    EXPECT_FALSE(doc.OnOpenDocument(dir.File("m.slb")));
    ASSERT_EQ(driver.MessageBoxes().size(), 1u);
    EXPECT_EQ(driver.MessageBoxes()[0].text, "The model file " + dir.File("m.slb") + " (" +
                                                 std::to_string(text.size()) +
                                                 " bytes) needs more memory than there is.");
    EXPECT_EQ(driver.MessageBoxes()[0].icon, ui::Icon::Stop);
    ASSERT_NE(doc.GetModelData(), nullptr);
    EXPECT_EQ(doc.GetModelData()->GetNodeCount(), 0);
}

TEST_F(KorbelDocTest, NewModelIsUnmodifiedWithoutResults) {
    ASSERT_NE(doc.GetModelData(), nullptr);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_FALSE(doc.GetModelData()->IsChanged());
    EXPECT_EQ(doc.ResultsFlag(), 0);
    EXPECT_NE(doc.GetModelData()->GetNodeTable(), nullptr);
}

TEST_F(KorbelDocTest, SaveWritesTheModelFileOrKeepsBothFlags) {
    Scratch dir;
    WriteAll(dir.File("m.slb"), OnePlate());
    ASSERT_TRUE(doc.OnOpenDocument(dir.File("m.slb")));
    doc.GetModelData()->SetModelTitle("Saved");
    doc.SetModifiedFlag(true);
    ASSERT_TRUE(doc.OnSaveDocument(dir.File("n.slb")));
    EXPECT_FALSE(doc.IsModified());
    EXPECT_FALSE(doc.GetModelData()->IsChanged());
    ModelData back;
    ASSERT_EQ(back.ReadModelFile(dir.File("n.slb"), true), 0);
    EXPECT_EQ(back.GetTitle(), "Saved");
    EXPECT_EQ(back.GetElementCount(), 1);

    // Every scratch name the model file's writer tries is taken, so the
    // write fails after the file itself was found writable.
    doc.GetModelData()->SetModelTitle("Lost");
    doc.SetModifiedFlag(true);
    const std::string target = dir.File("n.slb");
    for (int i = 0; i < 100; ++i)
        fs::create_directory(target + ".tmp" + std::to_string(::getpid()) + "_" + std::to_string(i));
    EXPECT_FALSE(doc.OnSaveDocument(target));
    ASSERT_EQ(driver.MessageBoxes().size(), 1u);
    EXPECT_EQ(driver.MessageBoxes()[0].text, "Can not save the model file\n" + target + "\nPlease Check.");
    EXPECT_EQ(driver.MessageBoxes()[0].icon, ui::Icon::Stop);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_TRUE(doc.GetModelData()->IsChanged());
}

using KorbelDocOpeners = KorbelDocTest;

TEST_F(KorbelDocOpeners, SectionCutTwiceLeavesTheNewestDialogOnly) {
    doc.Factories().sectionCut = made.Factory();
    doc.ShowSectionCutDialog(view);
    doc.ShowSectionCutDialog(view);
    ASSERT_EQ(made.dialogs.size(), 2u);
    EXPECT_EQ(LiveTestDialogs(), 1);
    EXPECT_EQ(doc.SlotDialog(CKorbelDoc::SectionCutSlot), made.dialogs[1]);
    EXPECT_TRUE(made.dialogs[1]->IsWindowVisible());
    // The working cut lines were copied for the dialog.
    EXPECT_NE(doc.GetModelData()->GetCutLineTable(), nullptr);
}

TEST_F(KorbelDocOpeners, ModelessDialogsOpenFiftyPixelsRightAndDown) {
    doc.Factories().xyPlot = made.Factory();
    doc.ShowXYPlotDialog(view);
    ASSERT_EQ(made.dialogs.size(), 1u);
    const ui::Rect was = made.dialogs[0]->createdAt;
    const ui::Rect now = made.dialogs[0]->GetWindowRect();
    EXPECT_EQ(now.x, was.x + 50);
    EXPECT_EQ(now.y, was.y + 50);
    EXPECT_EQ(now.w, was.w);
    EXPECT_EQ(now.h, was.h);
}

TEST_F(KorbelDocOpeners, NodalActionsOfAnotherKindRetargetTheSameWindow) {
    doc.Factories().nodalActions = made.Factory();
    doc.ShowNodalActionsDialog(view, 1);
    doc.ShowNodalActionsDialog(view, 2);
    ASSERT_EQ(made.dialogs.size(), 1u);
    EXPECT_EQ(made.dialogs[0]->kind, 2);
    EXPECT_EQ(made.dialogs[0]->reloads, 1);
    EXPECT_EQ(LiveTestDialogs(), 1);
    EXPECT_EQ(doc.PickMode(), 2);
    doc.ShowNodalActionsDialog(view, 4);  // distributed loads pick elements
    EXPECT_EQ(view.calls, (std::vector<std::string>{"PickTarget 1", "PickTarget 1", "PickTarget 2"}));
}

TEST_F(KorbelDocOpeners, PicksReachOnlyTheDialogOfThePickMode) {
    Made nodal, material, edge;
    doc.Factories().nodalActions = nodal.Factory();
    doc.Factories().materialData = material.Factory();
    doc.Factories().edgeActions = edge.Factory();
    doc.ShowNodalActionsDialog(view, 1);
    doc.ShowMaterialDataDialog(view);
    EXPECT_EQ(doc.PickMode(), 3);
    doc.DispatchPick("7");
    doc.ShowEdgeActionsDialog(view, 1);
    doc.DispatchPick("29");  // element 7, side 1
    doc.SetPickMode(1);      // no set-members dialog is open
    doc.DispatchPick("1");
    doc.SetPickMode(0);
    doc.DispatchPick("2");
    EXPECT_TRUE(nodal.dialogs[0]->picks.empty());
    EXPECT_EQ(material.dialogs[0]->picks, std::vector<std::string>{"7"});
    EXPECT_EQ(edge.dialogs[0]->picks, std::vector<std::string>{"29"});
}

TEST_F(KorbelDocOpeners, WithoutAFactoryNothingOpens) {
    doc.ShowNodalActionsDialog(view, 1);
    doc.ShowSetsDialog(1, view);
    doc.ShowNodeDataDialog(view);
    EXPECT_EQ(doc.PickMode(), 0);
    EXPECT_EQ(doc.SetsDialogOpen(), 0);
    EXPECT_TRUE(view.calls.empty());
    EXPECT_TRUE(driver.LiveWindows().empty());
}

TEST_F(KorbelDocOpeners, ModalDialogsMarkTheDocumentWhenTheModelChanged) {
    bool change = false;
    const ModalRunner runner = [&](const DocDialogRequest& request) {
        if (change) request.doc.GetModelData()->SetChanged();
        return ui::IDOK;
    };
    doc.Factories().nodeData = runner;
    doc.Factories().title = runner;
    // Closed unchanged: the grid's highlight goes all the same.
    doc.ShowNodeDataDialog(view);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(view.calls, (std::vector<std::string>{"HighlightState 0 0", "Rebuild", "Repaint"}));

    view.calls.clear();
    change = true;
    doc.ShowNodeDataDialog(view);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(view.calls, (std::vector<std::string>{"HighlightState 0 0", "Rebuild", "Repaint"}));

    // The title leaves the picture alone.
    view.calls.clear();
    doc.SetModifiedFlag(false);
    doc.ShowTitleDialog(view);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_TRUE(view.calls.empty());
}

TEST_F(KorbelDocOpeners, SetsDialogsAreRecreatedPerKindAndTheSetDialogRetargeted) {
    Made sets, members;
    doc.Factories().sets = sets.Factory();
    doc.Factories().setMembers = members.Factory();
    doc.ShowSetsDialog(1, view);
    doc.ShowSetsDialog(2, view);
    doc.ShowSetsDialog(1, view);
    EXPECT_EQ(LiveTestDialogs(), 2);
    EXPECT_EQ(doc.SetsDialogOpen(), 1);
    EXPECT_EQ(doc.SlotDialog(CKorbelDoc::NodeSetsSlot), sets.dialogs[2]);

    doc.ShowSetDialog(1, "A", sets.dialogs[2], view);
    doc.ShowSetDialog(3, "RIM", sets.dialogs[2], view);
    ASSERT_EQ(members.dialogs.size(), 1u);
    EXPECT_EQ(members.dialogs[0]->kind, 3);
    EXPECT_EQ(members.dialogs[0]->setName, "RIM");
    EXPECT_EQ(doc.PickMode(), 1);
    EXPECT_EQ(view.calls, (std::vector<std::string>{"PickTarget 1", "HighlightState 1 A", "Rebuild", "Repaint",
                                                    "PickTarget 3", "HighlightState 3 RIM", "Rebuild", "Repaint"}));
    view.calls.clear();
    doc.OnSetsDialogClosed();
    EXPECT_EQ(doc.SetsDialogOpen(), 0);
    EXPECT_EQ(view.calls, (std::vector<std::string>{"HighlightState 0 0", "Rebuild", "Repaint"}));
}

TEST_F(KorbelDocOpeners, ClosingAGridEndsItsPickingAndRestoresTheView) {
    doc.Factories().nodalActions = made.Factory();
    doc.ShowNodalActionsDialog(view, 2);
    doc.GetModelData()->SetChanged();
    view.calls.clear();
    doc.OnNodalActionsDialogClosed();
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.PickMode(), 0);
    EXPECT_EQ(view.calls,
              (std::vector<std::string>{"HighlightState 0 0", "Rebuild", "Repaint", "PickTarget 0", "NodalClosed"}));
}

TEST_F(KorbelDocOpeners, SetChosenInThePickerGoesToTheNonlinearDialog) {
    Scratch dir;
    std::string text = OnePlate();
    text.insert(text.find("END_DATA"), "NODESET_DATA\n*\tALL\nEND_ALL\n*\tA\n*\t1\t2\t1\nEND_A\nEND_NODESET_DATA\n");
    WriteAll(dir.File("m.slb"), text);
    ASSERT_TRUE(doc.OnOpenDocument(dir.File("m.slb")));

    Made nonlinear, picker;
    std::string nodeText, setName;
    doc.Factories().nodalNonlinear = [&](const DocDialogRequest& r) {
        DocDialog d = nonlinear.Factory()(r);
        d.takeNodeSet = [&](const std::string& t, const std::string& n) { nodeText = t, setName = n; };
        return d;
    };
    doc.Factories().setSelection = [&](const DocDialogRequest& r) {
        DocDialog d = picker.Factory()(r);
        d.chosenSetName = [] { return std::string("A"); };
        return d;
    };
    doc.ShowNodalNonlinearDialog(view);
    doc.ShowSetSelection(view);
    EXPECT_FALSE(nonlinear.dialogs[0]->IsShown());  // hidden while the picker is open
    doc.OnSetSelected();
    EXPECT_TRUE(nonlinear.dialogs[0]->IsShown());
    EXPECT_FALSE(picker.dialogs[0]->IsShown());
    EXPECT_EQ(nodeText, "UserSet \"A\"");
    EXPECT_EQ(setName, "A");
    EXPECT_EQ(view.calls.back(), "Highlight 1 1,2");
}

TEST_F(KorbelDocOpeners, PickLabelNamesTheNextSetHoldingTheItem) {
    Scratch dir;
    std::string text = OnePlate();
    text.insert(text.find("END_DATA"),
                "NODESET_DATA\n*\tALL\nEND_ALL\n*\tA\n*\t1\t2\t1\nEND_A\n*\tB\n*\t2\t4\t1\n"
                "END_B\nEND_NODESET_DATA\n");
    WriteAll(dir.File("m.slb"), text);
    ASSERT_TRUE(doc.OnOpenDocument(dir.File("m.slb")));
    EXPECT_EQ(doc.FormatPickLabel(2), "0");  // no routed dialog

    Made nodal, members;
    doc.Factories().nodalActions = nodal.Factory();
    doc.Factories().setMembers = members.Factory();
    doc.ShowNodalActionsDialog(view, 1);
    EXPECT_EQ(doc.FormatPickLabel(2), "A");
    EXPECT_EQ(doc.FormatPickLabel(3), "B");
    // The set being edited is passed over.
    doc.ShowSetDialog(1, "A", nullptr, view);
    EXPECT_EQ(doc.FormatPickLabel(2), "B");
    EXPECT_EQ(doc.FormatPickLabel(1), "ALL");
}

}  // namespace
