// The action grids as the program's document opens them through its hooks:
// the nodal grid made once and reloaded per kind, picks routed into it and
// its closing steps; the edge grid's side picks; the modal concentrated grid.
#include <gtest/gtest.h>

#include <algorithm>

#include "../dialogs/ActionGridSupport.h"
#include "KorbelTestSupport.h"
#include "app/ActionDialogHooks.h"
#include "app/KorbelDoc.h"
#include "dialogs/DlgConcentratedActions.h"
#include "dialogs/DlgEdgeActions.h"
#include "dialogs/DlgNodalActions.h"
#include "platform/ui/HeadlessTest.h"

namespace {

using G = GridPage;

class ActionDialogHooksTest : public ui::HeadlessTest {
protected:
    void SetUp() override {
        ui::HeadlessTest::SetUp();
        doc.Factories() = DocDialogFactories{};
        InstallActionDialogHooks(doc.Factories());
        ASSERT_TRUE(doc.OnNewDocument());
        dialogtest::BuildSquareMesh(*doc.GetModelData());
    }
    bool Logged(const std::string& call) const {
        return std::find(view.calls.begin(), view.calls.end(), call) != view.calls.end();
    }
    CKorbelDoc doc;
    korbeltest::RecordingView view;
};

TEST_F(ActionDialogHooksTest, NodalGridIsMadeOnceReloadedPerKindAndTakesPicks) {
    doc.ShowNodalActionsDialog(view, 2);
    auto* grid = dynamic_cast<DlgNodalActions*>(doc.SlotDialog(CKorbelDoc::NodalActionsSlot));
    ASSERT_NE(grid, nullptr);
    EXPECT_TRUE(grid->IsWindowVisible());
    EXPECT_EQ(grid->GetWindowText(), "Nodal Loads");
    EXPECT_EQ(doc.PickMode(), 2);
    EXPECT_TRUE(Logged("PickTarget 1"));

    grid->UserClick(DlgNodalActions::IDC_ADD_ROW);
    doc.DispatchPick("7");
    EXPECT_EQ(grid->GetDlgItemText(G::CellId(1, 1)), "7");
    grid->UserClick(ui::IDCANCEL);
    EXPECT_FALSE(grid->IsWindowVisible());
    EXPECT_EQ(doc.PickMode(), 0);
    EXPECT_TRUE(Logged("NodalClosed"));

    doc.ShowNodalActionsDialog(view, 4);
    EXPECT_EQ(doc.SlotDialog(CKorbelDoc::NodalActionsSlot), grid);
    EXPECT_TRUE(grid->IsWindowVisible());
    EXPECT_EQ(grid->GetWindowText(), "Distributed Loads");
    EXPECT_EQ(grid->GetDlgItemText(G::kCountLabelId), "0");  // the unapplied row is gone
    EXPECT_TRUE(Logged("PickTarget 2"));
    grid->UserClick(DlgNodalActions::IDC_ADD_ROW);
    doc.DispatchPick("MID");
    grid->UserClick(ui::IDOK);
    EXPECT_EQ(doc.GetModelData()->GetNodalActionTable(4)->GetTarget(0), "MID");
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(ActionDialogHooksTest, EdgeGridTakesSidePicks) {
    doc.ShowEdgeActionsDialog(view, 2);
    auto* grid = dynamic_cast<DlgEdgeActions*>(doc.SlotDialog(CKorbelDoc::EdgeActionsSlot));
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->GetWindowText(), "Edge Stiffnesses");
    EXPECT_EQ(doc.PickMode(), 4);
    EXPECT_TRUE(Logged("PickTarget 3"));
    grid->UserClick(DlgEdgeActions::IDC_ADD_ROW);
    doc.DispatchPick("27");
    EXPECT_EQ(grid->GetDlgItemText(G::CellId(1, DlgEdgeActions::kTarget)), "6");
    EXPECT_EQ(grid->GetDlgItemText(G::CellId(1, DlgEdgeActions::kSide)), "3");
    grid->UserClick(ui::IDCANCEL);
    EXPECT_TRUE(Logged("EdgeClosed"));
    EXPECT_EQ(doc.PickMode(), 0);
}

TEST_F(ActionDialogHooksTest, ConcentratedGridRunsModally) {
    driver.ExpectModal(
        [](ui::Dialog& grid) {
            EXPECT_EQ(grid.GetWindowText(), "Concentrated Stiffnesses");
            grid.UserClick(DlgConcentratedActions::IDC_ADD_ROW);
            grid.UserType(G::CellId(1, 2), "2");
            grid.UserType(G::CellId(1, 3), "1");
            grid.UserClick(ui::IDOK);
        },
        DlgConcentratedActions::kTemplateId);
    doc.ShowConcentratedActionsDialog(view, 2);
    ASSERT_EQ(doc.GetModelData()->GetConcentratedActionTable(2)->GetCount(), 1);
    EXPECT_EQ(doc.GetModelData()->GetConcentratedActionTable(2)->GetCoordinate(0, 1), 2.0);
    EXPECT_TRUE(doc.IsModified());
}

}  // namespace
