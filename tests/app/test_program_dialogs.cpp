// The program's dialogs behind the document's hooks: New from template runs
// the slab-type and template dialogs into a meshed model; the input grids
// open from the document's openers.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "ProgramFixture.h"
#include "app/DialogFactories.h"
#include "app/KorbelApp.h"
#include "app/KorbelCommands.h"
#include "app/KorbelDoc.h"
#include "dialogs/DlgConcentratedActions.h"
#include "dialogs/DlgEdgeActions.h"
#include "dialogs/DlgNodalActions.h"
#include "dialogs/DlgNodeData.h"
#include "dialogs/DlgTitle.h"
#include "dialogs/GridPage.h"
#include "model/ModelData.h"
#include "platform/ui/HeadlessTest.h"
#include "platform/ui/Settings.h"

using namespace korbeltest;
using namespace korbel;

namespace {

using ProgramDialogs = ProgramFixture;

TEST_F(ProgramDialogs, NewFromTemplateWithTheDefaultsMeshesTheSlab) {
    driver.ExpectModal([](ui::Dialog& d) {
        EXPECT_EQ(d.GetWindowText(), "Slab Type");
        d.UserClick(ui::IDOK);
    });
    driver.ExpectModal([](ui::Dialog& d) {
        EXPECT_EQ(d.GetWindowText(), "New Project from Template");
        d.UserClick(ui::IDOK);
    });
    app.MainFrame()->ExecuteCommand(ID_FILE_NEW_FROM_TEMPLATE);
    CKorbelDoc* doc = app.FindOpenDocument();
    ASSERT_NE(doc, nullptr);
    ModelData& model = *doc->GetModelData();
    EXPECT_EQ(model.GetNodeCount(), 96);
    EXPECT_EQ(model.GetElementCount(), 25);
    EXPECT_EQ(model.GetSoilModel(), 0);
    EXPECT_TRUE(doc->IsModified());
    EXPECT_TRUE(driver.AllScriptsUsed());
}

TEST_F(ProgramDialogs, InputGridsOpenFromTheDocument) {
    CKorbelDoc& doc = *app.FindOpenDocument();
    RecordingView view;
    driver.ExpectModal([](ui::Dialog& d) {
        EXPECT_EQ(d.GetWindowText(), "Node Coordinates");
        d.UserClick(ui::IDCANCEL);
    });
    doc.ShowNodeDataDialog(view);
    driver.ExpectModal([](ui::Dialog& d) {
        EXPECT_EQ(d.GetWindowText(), "Element Connectivity");
        d.UserClick(ui::IDCANCEL);
    });
    doc.ShowElementConnectivityDialog(view);
    EXPECT_TRUE(driver.AllScriptsUsed());

    // The material grid is modeless and stays with the document; the view
    // picks elements for it.
    doc.ShowMaterialDataDialog(view);
    EXPECT_EQ(doc.PickMode(), 3);
    EXPECT_NE(std::find(view.calls.begin(), view.calls.end(), "PickTarget 2"), view.calls.end());
}

// An Apply in a modeless grid belongs to the document at once: while the
// grid stays open, Save is enabled and leaving the file asks to save it.
TEST_F(ProgramDialogs, ApplyInAModelessGridIsAskedForOnExitAndSaved) {
    const std::string path = dir.File("m.slb");
    std::filesystem::copy_file(std::string(BRENNIX_TEST_DATA) + "/../../examples/slab-point-loads.slb", path);
    ASSERT_NE(app.OpenDocumentFile(path), nullptr);
    CKorbelDoc& doc = *app.FindOpenDocument();
    ui::Frame& frame = *app.MainFrame();
    ASSERT_FALSE(frame.UpdateCommand(ui::cmd::FileSave).Enabled());
    RecordingView view;
    doc.ShowNodalActionsDialog(view, 1);
    ui::Dialog* grid = doc.SlotDialog(CKorbelDoc::NodalActionsSlot);
    ASSERT_NE(grid, nullptr);
    ASSERT_EQ(grid->IsDlgButtonChecked(DlgNodalActions::CheckId(1, 1)), 0);
    grid->UserClick(DlgNodalActions::CheckId(1, 1));
    grid->UserClick(GridPage::kApplyId);
    EXPECT_TRUE(grid->IsWindowVisible());
    EXPECT_TRUE(doc.IsModified());
    EXPECT_TRUE(frame.UpdateCommand(ui::cmd::FileSave).Enabled());

    driver.ExpectMessageBox(ui::IDCANCEL, "Save changes to " + path + "?");
    frame.ExecuteCommand(ui::cmd::AppExit);
    EXPECT_TRUE(driver.AllScriptsUsed());
    ASSERT_EQ(app.FindOpenDocument(), &doc);

    driver.ExpectMessageBox(ui::IDYES, "Save changes to " + path + "?");
    frame.ExecuteCommand(ui::cmd::FileNew);
    EXPECT_TRUE(driver.AllScriptsUsed());
    ModelData saved;
    ASSERT_EQ(saved.ReadModelFile(path, true), 0);
    EXPECT_EQ(saved.GetNodalActionTable(1)->GetHead()->flags[0], 1);
}

// A concentrated load outside the model, as a mesh change may leave one,
// can still be deleted.
TEST_F(ProgramDialogs, ConcentratedLoadOutsideTheModelCanBeDeleted) {
    CKorbelDoc& doc = OpenExample("slab-point-loads.slb");
    const ConcentratedActionTable& loads = *doc.GetModelData()->GetConcentratedActionTable(1);
    ASSERT_EQ(loads.GetCount(), 2);
    RecordingView view;
    driver.ExpectModal([](ui::Dialog& d) {
        d.UserClick(DlgConcentratedActions::IDC_ADD_ROW);
        d.UserType(GridPage::CellId(3, 2), "100");
        d.UserClick(DlgConcentratedActions::IDC_DELETE_ROW);
        EXPECT_FALSE(d.GetDlgItem(GridPage::CellId(3, 2))->IsShown());
        d.UserClick(ui::IDOK);
    });
    doc.ShowConcentratedActionsDialog(view, 1);
    EXPECT_TRUE(driver.AllScriptsUsed());
    EXPECT_TRUE(driver.MessageBoxes().empty());
    EXPECT_EQ(loads.GetCount(), 2);
}

// A new edge row is filled cell by cell without a word; it is checked when
// it is left (Add Row) or written (OK).
TEST_F(ProgramDialogs, NewEdgeRowIsCheckedWhenLeftOrWritten) {
    using D = DlgEdgeActions;
    CKorbelDoc& doc = OpenExample("winkler-mat.slb");
    ASSERT_EQ(doc.GetModelData()->GetEdgeActionTable(1)->GetCount(), 0);
    RecordingView view;
    doc.ShowEdgeActionsDialog(view, 1);
    ui::Dialog& d = *doc.SlotDialog(CKorbelDoc::EdgeActionsSlot);
    d.UserClick(D::IDC_ADD_ROW);
    d.UserType(GridPage::CellId(1, D::kTarget), "5");
    d.UserFocus(GridPage::CellId(1, D::kSide));
    d.UserType(GridPage::CellId(1, D::kSide), "3");
    d.UserFocus(GridPage::CellId(1, D::kDof));
    EXPECT_TRUE(driver.MessageBoxes().empty());

    const std::string dof = " Dof number should be between 1 and 6\n Check row 1";
    for (const int button : {static_cast<int>(ui::IDOK), static_cast<int>(D::IDC_ADD_ROW)}) {
        driver.ClearLogs();
        d.UserClick(button);
        ASSERT_EQ(driver.MessageBoxes().size(), 1u) << button;
        EXPECT_EQ(driver.MessageBoxes().back().text, dof) << button;
        EXPECT_TRUE(d.IsWindowVisible()) << button;
    }
    d.UserType(GridPage::CellId(1, D::kDof), "3");
    d.UserClick(ui::IDOK);
    const EdgeActionTable& edges = *doc.GetModelData()->GetEdgeActionTable(1);
    ASSERT_EQ(edges.GetCount(), 1);
    EXPECT_EQ(edges.GetTarget(0), "5");
    EXPECT_EQ(edges.GetSide(0), 3);
}

}  // namespace

namespace {

// Section Cut and X-Y Curve Plot: one window each, made anew at every
// opening, with the document's working cut lines.
TEST_F(ProgramDialogs, SectionCutAndPlotWindowsAreMadeAnewEachTime) {
    CKorbelDoc& doc = *app.FindOpenDocument();
    RecordingView view;
    doc.ShowSectionCutDialog(view);
    const ui::Dialog* first = doc.SlotDialog(CKorbelDoc::SectionCutSlot);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->GetWindowText(), "Section Cut");
    EXPECT_TRUE(first->IsWindowVisible());
    doc.ShowXYPlotDialog(view);
    const ui::Dialog* plot = doc.SlotDialog(CKorbelDoc::XYPlotSlot);
    ASSERT_NE(plot, nullptr);
    EXPECT_EQ(plot->GetWindowText(), "X-Y Plot");
    EXPECT_TRUE(plot->IsWindowVisible());
}

}  // namespace

// The modal grids and the title through the document's openers: the
// document is marked only after a change, and a grid's highlight is cleared
// however the grid closed.
TEST_F(ProgramDialogs, ModalOpenersMarkTheDocumentOnlyAfterAChange) {
    CKorbelDoc& doc = OpenExample("winkler-mat.slb");
    ModelData& model = *doc.GetModelData();
    RecordingView view;
    const auto highlightCleared = [&view] {
        return std::find(view.calls.begin(), view.calls.end(), "HighlightState 0 0") != view.calls.end();
    };
    driver.ExpectModal([](ui::Dialog& d) { d.UserClick(ui::IDCANCEL); }, DlgNodeData::kTemplateId);
    doc.ShowNodeDataDialog(view);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_TRUE(highlightCleared()) << ::testing::PrintToString(view.calls);

    // Enter does nothing in the element grid; Escape ends it unchanged.
    const int firstNode = model.GetElementTable()->GetNodeNumber(0, 0);
    view.calls.clear();
    driver.ExpectModal([firstNode](ui::Dialog& d) {
        d.UserType(GridPage::CellId(1, 2), std::to_string(firstNode + 1));
        d.UserKey(ui::key::Enter);
        EXPECT_FALSE(d.IsEnded());
        d.UserKey(ui::key::Escape);
    });
    doc.ShowElementConnectivityDialog(view);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(model.GetElementTable()->GetNodeNumber(0, 0), firstNode);
    EXPECT_TRUE(highlightCleared());

    // The title dialog OK as shown leaves the document as it was; an empty
    // title is stored and marks it.
    driver.ExpectModal([](ui::Dialog& d) { d.UserClick(ui::IDOK); });
    doc.ShowTitleDialog(view);
    EXPECT_FALSE(doc.IsModified());
    driver.ExpectModal([](ui::Dialog& d) {
        d.UserType(DlgTitle::IDC_TITLE, "");
        d.UserKey(ui::key::Enter);
    });
    doc.ShowTitleDialog(view);
    EXPECT_EQ(model.GetTitle(), "");
    EXPECT_TRUE(doc.IsModified());

    // OK after an edit in the element grid changes the model: marked.
    doc.SetModifiedFlag(false);
    model.ClearChanged();
    const int firstElement = model.GetElementTable()->GetId(0);
    const int unused = model.GetElementTable()->MaxId() + 1;
    driver.ExpectModal([unused](ui::Dialog& d) {
        d.UserType(GridPage::CellId(1, 1), std::to_string(unused));
        d.UserClick(ui::IDOK);
    });
    doc.ShowElementConnectivityDialog(view);
    EXPECT_TRUE(doc.IsModified());
    std::vector<int> ids;
    for (int i = 0; i < model.GetElementTable()->GetCount(); ++i) ids.push_back(model.GetElementTable()->GetId(i));
    EXPECT_NE(std::find(ids.begin(), ids.end(), unused), ids.end());
    EXPECT_EQ(std::find(ids.begin(), ids.end(), firstElement), ids.end());
    EXPECT_TRUE(driver.AllScriptsUsed());
}

// The concentrated-actions grid through the document's opener: a new load
// reaches the model and marks the document; the highlight is cleared.
TEST_F(ProgramDialogs, ConcentratedActionsOpenerRunsTheGridAndMarksTheDocument) {
    CKorbelDoc& doc = OpenExample("winkler-mat.slb");
    ModelData& model = *doc.GetModelData();
    const int before = model.GetConcentratedActionTable(1)->GetCount();
    RecordingView view;
    driver.ExpectModal(
        [before](ui::Dialog& grid) {
            grid.UserClick(DlgConcentratedActions::IDC_ADD_ROW);
            grid.UserType(GridPage::CellId(before + 1, 2), "3");
            grid.UserType(GridPage::CellId(before + 1, DlgConcentratedActions::kFirstComponent), "-12.5");
            grid.UserClick(ui::IDOK);
        },
        DlgConcentratedActions::kTemplateId);
    doc.ShowConcentratedActionsDialog(view, 1);
    ASSERT_EQ(model.GetConcentratedActionTable(1)->GetCount(), before + 1);
    EXPECT_EQ(model.GetConcentratedActionTable(1)->GetValue(before, 0), -12.5);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_NE(std::find(view.calls.begin(), view.calls.end(), "HighlightState 0 0"), view.calls.end());
}
